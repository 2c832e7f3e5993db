#include "survey/SurveyRecovery.h"

#include "core/AppPaths.h"
#include "files/InputFiles.h"
#include "files/OutputPaths.h"
#include "files/SurveyFile.h"
#include "model/SurveyDraft.h"
#include "survey/ResultDisplay.h"
#include "survey/SurveyWindow.h"
#include "ui/FieldGuard.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QLockFile>
#include <QSet>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTimer>
#include <QUuid>

#include <algorithm>

namespace {

const char* const kKeeper = "quorvaneRecovery";
const QString kNote = QStringLiteral("recovery");

QString& folderOverride()
{
    static QString folder;
    return folder;
}

// The recovery files of windows open in this run: they are no survey left behind.
QSet<QString>& liveFiles()
{
    static QSet<QString> files;
    return files;
}

QString canonical(const QString& path)
{
    return QFileInfo(path).absoluteFilePath();
}

// A recovery file is a survey file: read up to the same limit, and only when it is a plain file
// (one linked to /dev/zero would otherwise hold up the Recent Surveys menu for ever).
QJsonObject readJson(const QString& path)
{
    const std::optional<QByteArray> bytes = InputFiles::read(path, InputFiles::kSurveyLimit, nullptr);
    return bytes ? QJsonDocument::fromJson(*bytes).object() : QJsonObject();
}

// The lock a window holds on its recovery file while it is open.
QString lockPath(const QString& path)
{
    return path + QStringLiteral(".lock");
}

// A file whose window is open in another copy of the program running now. The lock of a program
// that has ended (killed, or the machine went down) is stale and taken over: that survey was lost.
bool heldElsewhere(const QString& path)
{
    QLockFile probe(lockPath(path));
    // Held for as long as the window is open, however long that is: only a lock whose program
    // is gone counts as stale.
    probe.setStaleLockTime(0);
    if (!probe.tryLock(0))
        return probe.error() == QLockFile::LockFailedError;
    probe.unlock();
    return false;
}

// Whole or not at all, readable by the user alone: it holds a whole survey in plain text.
bool writeJson(const QString& path, const QJsonObject& root)
{
    return OutputPaths::write(path, QJsonDocument(root).toJson(QJsonDocument::Indented), nullptr,
                              OutputPaths::Access::OwnerOnly);
}

}  // namespace

// --- Where -------------------------------------------------------------------------------------

QString SurveyRecovery::folder()
{
    if (!folderOverride().isEmpty())
        return folderOverride();
    return QDir(AppPaths::userDataDir()).filePath(QStringLiteral("recovery"));
}

void SurveyRecovery::setFolder(const QString& folder)
{
    folderOverride() = folder;
}

// --- One window ----------------------------------------------------------------------------------

SurveyRecovery* SurveyRecovery::attach(SurveyWindow* window)
{
    if (!window)
        return nullptr;
    if (SurveyRecovery* keeper = of(window))
        return keeper;
    return new SurveyRecovery(window);
}

SurveyRecovery* SurveyRecovery::of(const QWidget* window)
{
    return window ? window->property(kKeeper).value<SurveyRecovery*>() : nullptr;
}

SurveyRecovery::SurveyRecovery(SurveyWindow* window) : QObject(window), m_window(window)
{
    window->setProperty(kKeeper, QVariant::fromValue(this));
    m_baseTitle = window->windowTitle();
    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    m_timer->setInterval(0);
    connect(m_timer, &QTimer::timeout, this, &SurveyRecovery::writeNow);

    connect(qApp, &QApplication::focusChanged, this, &SurveyRecovery::focusMoved);
    qApp->installEventFilter(this);
    window->installEventFilter(this);
    connect(window, &SurveyWindow::surveyTaken, this, &SurveyRecovery::schedule);
}

void SurveyRecovery::detach()
{
    m_window = nullptr;
    m_timer->stop();
    if (qApp) {
        qApp->removeEventFilter(this);
        disconnect(qApp, nullptr, this, nullptr);
    }
}

SurveyRecovery::~SurveyRecovery()
{
    if (qApp)
        qApp->removeEventFilter(this);
    stampClosed();
}

void SurveyRecovery::schedule()
{
    if (m_paused == 0)
        m_timer->start();
}

void SurveyRecovery::focusMoved(QWidget* old, QWidget* now)
{
    // An entry is accepted when the focus moves on from it to another control of the window;
    // a refused one keeps the focus, and a message box taking it is no move.
    if (m_window && old && now && m_window->isAncestorOf(old) && m_window->isAncestorOf(now))
        schedule();
}

bool SurveyRecovery::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window && event->type() == QEvent::Close) {
        // The last entry may not have been written yet: the window goes before the next turn.
        if (m_timer->isActive() && m_paused == 0) {
            m_timer->stop();
            writeNow();
            m_timer->stop();
        }
        stampClosed();
        return false;
    }
    if (event->type() != QEvent::KeyPress || !m_window)
        return false;
    // Enter in a table commits the cell and moves along the table without leaving it.
    auto* key = static_cast<QKeyEvent*>(event);
    auto* w = qobject_cast<QWidget*>(watched);
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && w
        && w == QApplication::focusWidget() && m_window->isAncestorOf(w))
        schedule();
    return false;
}

void SurveyRecovery::writeNow()
{
    if (!m_window || m_paused > 0)
        return;
    // A message box up, a field being checked or the window filling itself: later.
    if (QApplication::activeModalWidget() || m_window->fieldGuard().checking() || m_window->isFilling()) {
        m_timer->start(250);
        return;
    }
    if (m_window->tableEntryInProgress())
        return;
    snapshot();
}

void SurveyRecovery::snapshot()
{
    // Nothing can be entered before a ship is chosen: such a window leaves nothing to recover.
    if (!m_window || m_window->shipText().isEmpty())
        return;
    const SurveyFileData data = m_window->surveyData();
    QJsonObject root = SurveyFile::toJson(data);
    // A survey file shown as it was opened or saved holds everything already: going from tab to
    // tab, or calculating what the file gives, is no entry.
    if (m_path.isEmpty() && !m_fileState.isEmpty()
        && QJsonDocument(root).toJson(QJsonDocument::Compact) == m_fileState)
        return;
    QJsonObject note;
    if (!m_surveyFile.isEmpty())
        note.insert(QStringLiteral("surveyFile"), m_surveyFile);
    const int tab = m_window->currentTab();
    note.insert(QStringLiteral("tab"), tab);
    // Which drafts stand calculated: only those are calculated again on reopening, so that a
    // draft left half typed comes back half typed, without a word about what it still lacks.
    const bool shownCalculated =
        !m_window->finalResultText(ResultDisplay::NetDisplacementRow, 1).trimmed().isEmpty();
    const auto worked = [](const SurveyDraft& d) {
        const std::optional<Decimal> net = ResultFigures::number(d.netDisplacement());
        return net && !net->isZero();
    };
    const bool finalShown = tab == SurveyWindow::FinalTab;
    note.insert(QStringLiteral("calculated"),
                QJsonObject{{QStringLiteral("initial"), finalShown ? worked(m_window->initialDraft()) : shownCalculated},
                            {QStringLiteral("final"), finalShown ? shownCalculated : worked(m_window->finalDraft())}});
    root.insert(kNote, note);

    if (m_path.isEmpty()) {
        if (!AppPaths::makePrivateFolder(folder()))
            return;
        const QString name = QStringLiteral("survey-%1-%2.json")
                                 .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")),
                                      QUuid::createUuid().toString(QUuid::Id128).left(8));
        takeFile(canonical(QDir(folder()).filePath(name)));
    }
    // A disk that refuses the file costs the safety net, never the survey on screen.
    if (writeJson(m_path, root))
        emit changed();
}

QByteArray SurveyRecovery::surveyState() const
{
    if (!m_window)
        return {};
    return QJsonDocument(SurveyFile::toJson(m_window->surveyData())).toJson(QJsonDocument::Compact);
}

void SurveyRecovery::takeFile(const QString& path)
{
    m_path = path;
    liveFiles().insert(m_path);
    m_lock = std::make_unique<QLockFile>(lockPath(m_path));
    m_lock->setStaleLockTime(0);
    // A lock left by a program that died on this file is stale and taken over; one that cannot be
    // taken costs only the guard against another copy of the program, never the entries.
    m_lock->tryLock(0);
}

void SurveyRecovery::releaseFile()
{
    liveFiles().remove(m_path);
    m_lock.reset();  // unlocked, the lock file goes
    m_path.clear();
}

void SurveyRecovery::stampClosed()
{
    if (m_path.isEmpty())
        return;
    QJsonObject root = readJson(m_path);
    if (!root.isEmpty()) {
        QJsonObject note = root.value(kNote).toObject();
        if (!note.contains(QStringLiteral("closed"))) {
            note.insert(QStringLiteral("closed"), QDateTime::currentDateTime().toString(Qt::ISODate));
            root.insert(kNote, note);
            writeJson(m_path, root);
        }
    }
    releaseFile();
    m_timer->stop();
    m_paused = 1;  // the window is on its way out: nothing more is written
    emit changed();
}

void SurveyRecovery::setSurveyFile(const QString& file)
{
    m_surveyFile = file;
    m_fileState = file.isEmpty() ? QByteArray() : surveyState();
    m_timer->stop();
    if (!m_path.isEmpty()) {
        QFile::remove(m_path);
        releaseFile();
        emit changed();
    }
    updateTitle();
}

void SurveyRecovery::adopt(const QString& recoveryPath)
{
    const std::optional<Entry> left = entry(recoveryPath);
    if (!m_path.isEmpty() && m_path != canonical(recoveryPath)) {
        QFile::remove(m_path);
        releaseFile();
    }
    if (m_path != canonical(recoveryPath))
        takeFile(canonical(recoveryPath));
    // What it holds differs from any survey file it came from: every entry is kept.
    m_fileState.clear();
    // Open again: no longer closed.
    QJsonObject root = readJson(m_path);
    QJsonObject note = root.value(kNote).toObject();
    note.remove(QStringLiteral("closed"));
    note.remove(QStringLiteral("lost"));
    root.insert(kNote, note);
    writeJson(m_path, root);
    m_surveyFile = left ? left->surveyFile : QString();
    updateTitle();
    emit changed();
}

void SurveyRecovery::updateTitle()
{
    if (!m_window)
        return;
    m_window->setWindowTitle(m_surveyFile.isEmpty()
                                 ? m_baseTitle
                                 : m_baseTitle + QStringLiteral(" - ") + QFileInfo(m_surveyFile).fileName());
}

SurveyRecovery::Pause::Pause(const QWidget* window) : m_keeper(SurveyRecovery::of(window))
{
    if (m_keeper) {
        ++m_keeper->m_paused;
        m_keeper->m_timer->stop();
    }
}

SurveyRecovery::Pause::~Pause()
{
    if (m_keeper) {
        --m_keeper->m_paused;
        m_keeper->m_timer->stop();
    }
}

// --- Surveys left behind -------------------------------------------------------------------------

std::optional<SurveyRecovery::Entry> SurveyRecovery::entry(const QString& recoveryPath)
{
    const QJsonObject root = readJson(recoveryPath);
    if (root.value(QStringLiteral("format")).toString() != SurveyFile::formatName())
        return std::nullopt;
    const QJsonObject note = root.value(kNote).toObject();
    Entry e;
    e.path = canonical(recoveryPath);
    e.kind = root.value(QStringLiteral("kind")).toString() == QLatin1String("discharging")
                 ? QStringLiteral("Discharging")
                 : QStringLiteral("Loading");
    // Shown in a menu: a name longer than any box takes is cut rather than laid out whole.
    constexpr int kShown = 200;
    e.ship = root.value(QStringLiteral("ship")).toString().left(kShown);
    e.voyage = root.value(QStringLiteral("voyage")).toString().left(kShown);
    e.surveyFile = note.value(QStringLiteral("surveyFile")).toString();
    e.tab = note.value(QStringLiteral("tab")).toInt();
    const QJsonObject calculated = note.value(QStringLiteral("calculated")).toObject();
    e.initialCalculated = calculated.value(QStringLiteral("initial")).toBool(true);
    e.finalCalculated = calculated.value(QStringLiteral("final")).toBool(true);
    e.closed = QDateTime::fromString(note.value(QStringLiteral("closed")).toString(), Qt::ISODate);
    e.unanswered = !note.contains(QStringLiteral("closed"));
    e.lost = e.unanswered || note.value(QStringLiteral("lost")).toBool();
    // Lost with the program: the time of its last entry.
    if (!e.closed.isValid())
        e.closed = QFileInfo(recoveryPath).lastModified();
    return e;
}

QList<SurveyRecovery::Entry> SurveyRecovery::leftBehind()
{
    QList<Entry> entries;
    const QDir dir(folder());
    const QStringList names = dir.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name);
    for (const QString& name : names) {
        const QString path = canonical(dir.filePath(name));
        if (liveFiles().contains(path) || heldElsewhere(path))
            continue;
        if (const std::optional<Entry> e = entry(path))
            entries.append(*e);
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry& a, const Entry& b) { return a.closed > b.closed; });
    return entries;
}

bool SurveyRecovery::discard(const QString& recoveryPath)
{
    const QString path = canonical(recoveryPath);
    if (liveFiles().contains(path) || heldElsewhere(path))
        return false;
    return QFile::remove(path);
}

bool SurveyRecovery::keepForLater(const QString& recoveryPath)
{
    const QString path = canonical(recoveryPath);
    if (liveFiles().contains(path) || heldElsewhere(path))
        return false;
    QJsonObject root = readJson(path);
    if (root.isEmpty())
        return false;
    QJsonObject note = root.value(kNote).toObject();
    if (note.contains(QStringLiteral("closed")))
        return true;
    // The time it was lost by is its last entry's, the file's time before this stamp.
    note.insert(QStringLiteral("closed"), QFileInfo(path).lastModified().toString(Qt::ISODate));
    note.insert(QStringLiteral("lost"), true);
    root.insert(kNote, note);
    return writeJson(path, root);
}
