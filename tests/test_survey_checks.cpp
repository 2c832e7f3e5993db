// The checks before signing: each finding appears just over its threshold and not at it, for the
// draft it concerns; a sound survey has none; the survey windows list them under the results and
// clear them with the results; the command line writes them into the captions file, warns on
// standard error and, with --strict, fails the run.
#include "core/MessageService.h"
#include "db/Database.h"
#include "files/SurveyFile.h"
#include "files/SurveyFileModel.h"
#include "model/SurveyModel.h"
#include "model/SurveyDraft.h"
#include "shell/ChildRegistry.h"
#include "shell/Startup.h"
#include "shell/SurveyFileCommands.h"
#include "shell/MainWindow.h"
#include "survey/SurveyWindow.h"
#include "tests/SurveyTestShips.h"
#include "tests/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>
#include <functional>

namespace {

const QString kLt = QStringLiteral(QUORVANE_LT_BIN);
const QString kMkdb = QStringLiteral(QUORVANE_MKDB_BIN);

using TestSupport::Run;
using TestSupport::runProgram;

// The example surveys with the readings that make them sound: the same port-starboard
// difference at every mark (the examples read one aft mark the other way round).
SurveyFileData soundSurvey(bool discharging)
{
    SurveyFileData d = SurveyTestShips::readExample(discharging ? QStringLiteral("discharging-qingdao.json")
                                                                : QStringLiteral("loading-port-hedland.json"));
    SurveyDraftData& straight = discharging ? *d.final : d.initial;
    std::swap(straight.aftPort, straight.aftStbd);
    // The bill as the drafts find it: the constant after discharge is the one assumed on arrival.
    if (discharging)
        d.blQuantity = QStringLiteral("73230.20082");
    return d;
}

// A draft floating level at one draft: every reading the same, so that the true mean draft is
// that draft exactly and no trim correction arises.
void level(SurveyDraftData& d, const char* draft)
{
    for (QString* r : {&d.fwdPort, &d.fwdStbd, &d.midPort, &d.midStbd, &d.aftPort, &d.aftStbd})
        *r = QLatin1String(draft);
}

// The draft's rows all typed by the surveyor, none picked from the ship's table: they stay where
// they are whatever the readings.
void typedRows(SurveyDraftData& d)
{
    d.typedOverTable = QStringList{};
    for (const char* row : {"below", "above"}) {
        for (const char* column : {"draft", "displacement", "tpc", "lcf"})
            d.typedOverTable->append(QStringLiteral("hydrostatics.%1.%2").arg(QLatin1String(row), QLatin1String(column)));
        for (const char* table : {"mctcPlus50", "mctcMinus50"})
            d.typedOverTable->append(QStringLiteral("%1.%2").arg(QLatin1String(table), QLatin1String(row)));
    }
}

struct Case {
    const char* name;
    bool discharging;
    std::function<void(SurveyFileData&)> change;
    const char* code;
    const char* draft;    // "initial", "final" or "survey"; nothing at the threshold: no such finding
    const char* severity;
    const char* text;     // the whole sentence of the finding when it is there
};

const Case& caseAt(int i);
int caseCount();

}  // namespace

class TestSurveyChecks : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void eachCheckJustOverItsThreshold_data();
    void eachCheckJustOverItsThreshold();
    void soundSurveysHaveNone();
    void aNewCalculationReplacesTheFindings();
    void windowListsTheFindingsOfTheTabAndClearsThem();
    void dischargingWindowShowsTheSurveyOnTheFinalTab();
    void commandLineWritesWarnsAndFailsWhenStrict();

private:
    QTemporaryDir m_dir;
    QString m_dataDir;
    MainWindow* m_mdi = nullptr;
    QString m_chosen;  // what the file dialog would answer

    // The main window with the survey file opened into its survey window, as the surveyor opens it.
    SurveyWindow* openInWindow(const QString& path, const char* windowClass)
    {
        m_mdi = new MainWindow;
        m_mdi->resize(1500, 900);
        m_mdi->show();
        m_mdi->activateWindow();
        if (!QTest::qWaitForWindowActive(m_mdi))
            return nullptr;
        m_chosen = path;
        m_mdi->action(QStringLiteral("mnuQuorvane(20)"))->trigger();
        QApplication::processEvents();
        return dynamic_cast<SurveyWindow*>(m_mdi->findChildWindow(QLatin1String(windowClass)));
    }
    void closeWindow()
    {
        delete m_mdi;
        m_mdi = nullptr;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    static QString listedText(const SurveyWindow* w) { return listed(w).join(u'\n'); }
    static QStringList listed(const SurveyWindow* w)
    {
        QStringList out;
        const auto* list = w->findChild<QListWidget*>(QStringLiteral("lstFindings"));
        if (!list)
            return {QStringLiteral("no lstFindings")};
        for (int i = 0; i < list->count(); ++i) {
            const QListWidgetItem* item = list->item(i);
            // Every line carries its icon: a warning and an information look different.
            if (item->icon().isNull())
                out << QStringLiteral("(no icon)");
            out << item->data(Qt::UserRole).toString() + QStringLiteral(": ") + item->text();
        }
        return out;
    }
    static void switchTo(SurveyWindow* w, int index)
    {
        QTabBar* bar = w->findChild<QTabWidget*>(QStringLiteral("sstQuorvane"))->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
        QApplication::processEvents();
    }
    static void typeInto(SurveyWindow* w, const char* box, const QString& text)
    {
        auto* e = w->findChild<QLineEdit*>(QLatin1String(box));
        QTest::mouseClick(e, Qt::LeftButton, {}, QPoint(4, e->height() / 2));
        QTest::keyClick(e, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(e, text);
        QTest::keyClick(e, Qt::Key_Return);
        QApplication::processEvents();
    }
    static void calculate(SurveyWindow* w)
    {
        QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("cmdCalculate")), Qt::LeftButton);
        QApplication::processEvents();
    }

    std::unique_ptr<SurveyModel> load(const SurveyFileData& d)
    {
        auto m = std::make_unique<SurveyModel>(d.kind == SurveyFileData::Kind::Discharging
                                                   ? SurveyModel::Kind::Discharging
                                                   : SurveyModel::Kind::Loading);
        const SurveyLoadResult r = SurveyFileModel::load(*m, d, QStringLiteral("case.json"));
        if (!r.loaded())
            qWarning("%s", qPrintable(r.message));
        return r.loaded() ? std::move(m) : nullptr;
    }
    QString write(const QString& name, const SurveyFileData& d)
    {
        const QString path = m_dir.filePath(name);
        QString error;
        if (!SurveyFile::write(path, d, &error))
            qFatal("%s", qPrintable(error));
        return path;
    }
};

void TestSurveyChecks::initTestCase()
{
    TestSupport::initTestEnvironment();
    Startup::initResources();
    m_dataDir = TestSupport::useFreshDatabaseCopy(m_dir);
    // The examples' ship (LBP 217 m, breadth 32.26 m, summer draft 14.12 m, summer deadweight
    // 76498.5 t, light ship 10850 t) and ports.
    const Run mk = runProgram(kMkdb, {m_dataDir, QStringLiteral("--examples")});
    QVERIFY2(mk.status == 0, qPrintable(mk.err));
    openDatabase();
    QVERIFY(!startupFailed());
    registerChildWindows();
    SurveyFileCommands::registerCommands();
    SurveyFileCommands::setFileChooser([this](QWidget*, bool, const QString&) { return m_chosen; });
}

void TestSurveyChecks::cleanupTestCase()
{
    SurveyFileCommands::setFileChooser({});
    closeDatabase();
}

void TestSurveyChecks::init()
{
    MessageService::clearRecords();
    MessageService::clearAnswers();
}

void TestSurveyChecks::eachCheckJustOverItsThreshold_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < caseCount(); ++i)
        QTest::newRow(caseAt(i).name) << i;
}

void TestSurveyChecks::eachCheckJustOverItsThreshold()
{
    QFETCH(int, index);
    const Case& c = caseAt(index);
    SurveyFileData d = soundSurvey(c.discharging);
    c.change(d);
    const std::unique_ptr<SurveyModel> m = load(d);
    QVERIFY(m);
    const SurveyFindings all = m->findings();
    QStringList seen;
    for (const SurveyFinding& f : all)
        seen << f.draftName() + QLatin1Char(':') + f.code;
    if (!c.draft) {
        // At the threshold: nothing found on that score.
        for (const SurveyFinding& f : all)
            QVERIFY2(f.code != QLatin1String(c.code), qPrintable(seen.join(u' ')));
        return;
    }
    const auto it = std::find_if(all.begin(), all.end(), [&c](const SurveyFinding& f) {
        return f.code == QLatin1String(c.code) && f.draftName() == QLatin1String(c.draft);
    });
    QVERIFY2(it != all.end(), qPrintable(seen.join(u' ')));
    QCOMPARE(it->severityName(), QLatin1String(c.severity));
    QCOMPARE(it->text, QString::fromUtf8(c.text));
    // Only once, and a finding is no message box: the messages are the survey's own.
    QCOMPARE(std::count_if(all.begin(), all.end(),
                           [&c](const SurveyFinding& f) { return f.code == QLatin1String(c.code); }),
             1);
    for (const MessageRecord& r : MessageService::records())
        QVERIFY2(!r.text.contains(it->text.left(30)), qPrintable(r.text));
}

void TestSurveyChecks::soundSurveysHaveNone()
{
    for (bool discharging : {false, true}) {
        const std::unique_ptr<SurveyModel> m = load(soundSurvey(discharging));
        QVERIFY(m);
        QVERIFY(m->calculated(SurveyModel::Initial) && m->calculated(SurveyModel::Final));
        QStringList seen;
        for (const SurveyFinding& f : m->findings())
            seen << f.text;
        QVERIFY2(seen.isEmpty(), qPrintable(seen.join(u'\n')));
    }
}

void TestSurveyChecks::aNewCalculationReplacesTheFindings()
{
    SurveyFileData d = soundSurvey(false);
    d.initial.density = QStringLiteral("1.04");
    const std::unique_ptr<SurveyModel> m = load(d);
    QVERIFY(m);
    QCOMPARE(m->findings().size(), 1);
    QCOMPARE(m->findings().at(0).code, QStringLiteral("density"));

    // Corrected and calculated again: gone.
    QVERIFY(m->enter(SurveyModel::Initial, SurveyModel::Field::Density, QStringLiteral("1.025")).accepted);
    QVERIFY(m->calculate(SurveyModel::Initial).calculated);
    QVERIFY(m->findings().isEmpty());

    // A calculation that is refused takes the draft's findings with it.
    QVERIFY(m->enter(SurveyModel::Initial, SurveyModel::Field::Density, QStringLiteral("1.04")).accepted);
    QVERIFY(m->calculate(SurveyModel::Initial).calculated);
    QCOMPARE(m->findings().size(), 1);
    // (the Above displacement under the Below one)
    using Table = SurveyModel::Table;
    QVERIFY(m->enterTable(SurveyModel::Initial, Table::Hydrostatics, 1, 1, QStringLiteral("33000")).accepted);
    QVERIFY(!m->calculate(SurveyModel::Initial).calculated);
    QVERIFY(m->findings().isEmpty());
    m->clear();
    QVERIFY(m->findings().isEmpty());
}

void TestSurveyChecks::windowListsTheFindingsOfTheTabAndClearsThem()
{
    SurveyFileData d = soundSurvey(false);
    d.initial.density = QStringLiteral("1.04");
    d.final->fwdPort = QStringLiteral("13.80");  // 10 cm to starboard forward, 2 cm midships
    SurveyWindow* w = openInWindow(write(QStringLiteral("window.json"), d), "frmQuorvane");
    QVERIFY(w);
    const QString density = QStringLiteral("density: Initial draft: a dock water density of 1.04 t/m3 lies "
                                           "outside 0.990 to 1.035.");
    const QString twist = QStringLiteral("twist: Final draft: port less starboard is -10 cm forward against -2 cm "
                                         "midships, more than 5 cm apart: a twisted hull or a misread mark.");
    // The file leaves the Final tab on show, with what concerns the Final draft.
    QCOMPARE(w->findChild<QTabWidget*>(QStringLiteral("sstQuorvane"))->currentIndex(), int(SurveyWindow::FinalTab));
    QCOMPARE(listed(w), QStringList{twist});
    switchTo(w, SurveyWindow::InitialTab);
    QCOMPARE(listed(w), QStringList{density});
    QCOMPARE(MessageService::records().size(), 0);

    // Corrected and calculated again: the list follows.
    typeInto(w, "txtDensity", QStringLiteral("1.025"));
    calculate(w);
    QVERIFY2(listed(w).isEmpty(), qPrintable(listedText(w)));
    typeInto(w, "txtDensity", QStringLiteral("1.04"));
    calculate(w);
    QCOMPARE(listed(w), QStringList{density});
    QCOMPARE(MessageService::records().size(), 0);  // the list asks nothing

    // Mark distances that leave no length between the marks: the results go, and the findings
    // with them; the Final draft keeps its own.
    typeInto(w, "txtFwdX", QStringLiteral("-212.9"));
    calculate(w);
    QCOMPARE(MessageService::records().size(), 1);
    QVERIFY(MessageService::records().at(0).text.startsWith(
        QStringLiteral("The true mean draft is 0: nothing was calculated.")));
    QVERIFY2(listed(w).isEmpty(), qPrintable(listedText(w)));
    switchTo(w, SurveyWindow::FinalTab);
    QCOMPARE(listed(w), QStringList{twist});

    // A new survey starts with none.
    w->newRecord();
    QApplication::processEvents();
    QVERIFY2(listed(w).isEmpty(), qPrintable(listedText(w)));
    switchTo(w, SurveyWindow::FinalTab);
    QVERIFY2(listed(w).isEmpty(), qPrintable(listedText(w)));
    closeWindow();
}

void TestSurveyChecks::dischargingWindowShowsTheSurveyOnTheFinalTab()
{
    SurveyFileData d = soundSurvey(true);
    d.blQuantity = QStringLiteral("74000");
    SurveyWindow* w = openInWindow(write(QStringLiteral("discharge-window.json"), d), "frmZODuraduza");
    QVERIFY(w);
    QCOMPARE(w->findChild<QTabWidget*>(QStringLiteral("sstQuorvane"))->currentIndex(), int(SurveyWindow::FinalTab));
    const QStringList onFinal = listed(w);
    QVERIFY2(onFinal.size() == 2, qPrintable(onFinal.join(u'\n')));
    QCOMPARE(onFinal.at(0), QStringLiteral("bl-difference: The cargo discharged, 73230.201 t, differs from the B/L "
                                           "quantity of 74000 t by -769.799 t (-1.04%)."));
    QVERIFY(onFinal.at(1).startsWith(QStringLiteral("constant-difference: ")));
    // The same survey worked without a window finds the same.
    const std::unique_ptr<SurveyModel> m = load(d);
    QVERIFY(m);
    QStringList fromModel;
    for (const SurveyFinding& f : m->findings())
        fromModel << f.code + QStringLiteral(": ") + f.text;
    QCOMPARE(onFinal, fromModel);
    switchTo(w, SurveyWindow::InitialTab);
    QVERIFY2(listed(w).isEmpty(), qPrintable(listedText(w)));
    closeWindow();
}

void TestSurveyChecks::commandLineWritesWarnsAndFailsWhenStrict()
{
    SurveyFileData d = soundSurvey(false);
    d.initial.density = QStringLiteral("1.04");
    d.final->fwdPort = QStringLiteral("13.80");
    const QString warned = write(QStringLiteral("warned.json"), d);
    const QString sound = write(QStringLiteral("sound.json"), soundSurvey(false));
    const QString captions = m_dir.filePath(QStringLiteral("warned-captions.json"));
    const QString warning = QStringLiteral("warning: %1: Initial draft: a dock water density of 1.04 t/m3 lies "
                                           "outside 0.990 to 1.035.\n")
                                .arg(warned);

    // Warned, and the report is made all the same; the information is only in the file.
    const Run run = runProgram(kLt, {"--survey", warned, "--captions", captions, "--data-dir", m_dataDir});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.err, warning);
    QFile f(captions);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QJsonObject json = QJsonDocument::fromJson(f.readAll()).object();
    QCOMPARE(json.value("lblReportTitle").toString(), QStringLiteral("LOADPORT DRAFT SURVEY REPORT"));
    const QJsonArray checks = json.value("checks").toArray();
    QCOMPARE(checks.size(), 2);
    const QJsonObject first = checks.at(0).toObject();
    QCOMPARE(first.value("code").toString(), QStringLiteral("density"));
    QCOMPARE(first.value("severity").toString(), QStringLiteral("warning"));
    QCOMPARE(first.value("draft").toString(), QStringLiteral("initial"));
    QCOMPARE(first.value("text").toString(),
             QStringLiteral("Initial draft: a dock water density of 1.04 t/m3 lies outside 0.990 to 1.035."));
    const QJsonObject second = checks.at(1).toObject();
    QCOMPARE(second.value("code").toString(), QStringLiteral("twist"));
    QCOMPARE(second.value("severity").toString(), QStringLiteral("information"));
    QCOMPARE(second.value("draft").toString(), QStringLiteral("final"));
    QCOMPARE(first.keys(), QStringList({"code", "draft", "severity", "text"}));

    // --strict: the same warning fails the run, after the report is written.
    QFile::remove(captions);
    const Run strict =
        runProgram(kLt, {"--survey", warned, "--captions", captions, "--strict", "--data-dir", m_dataDir});
    QCOMPARE(strict.status, 3);
    QCOMPARE(strict.err, warning);
    QVERIFY(QFile::exists(captions));

    // A sound survey passes --strict with an empty list; with several files the worst counts.
    const QString soundCaptions = m_dir.filePath(QStringLiteral("sound-captions.json"));
    const Run clean =
        runProgram(kLt, {"--survey", sound, "--captions", soundCaptions, "--strict", "--data-dir", m_dataDir});
    QCOMPARE(clean.status, 0);
    QCOMPARE(clean.err, QString());
    QFile s(soundCaptions);
    QVERIFY(s.open(QIODevice::ReadOnly));
    const QJsonValue none = QJsonDocument::fromJson(s.readAll()).object().value("checks");
    QVERIFY(none.isArray());
    QVERIFY(none.toArray().isEmpty());
    const Run both = runProgram(kLt, {"--survey", sound, warned, "--strict", "--data-dir", m_dataDir});
    QCOMPARE(both.status, 3);
    QCOMPARE(both.err, warning);
}

namespace {

const Case kCases[] = {
    // The hydrostatic rows: a factor of 1 is the Above row itself.
    {"extrapolated: level at the Above row", false, [](SurveyFileData& d) { level(d.initial, "6.10"); },
     "extrapolated", nullptr, nullptr, nullptr},
    {"extrapolated: 1 mm above the Above row", false,
     [](SurveyFileData& d) { level(d.initial, "6.101"), typedRows(d.initial); },
     "extrapolated", "initial", "warning",
     "Initial draft: the true mean draft of 6.101 m lies outside the hydrostatic rows typed (6 m to 6.1 m), "
     "interpolation factor 1.01."},
    {"extrapolated: rows of one draft", false,
     [](SurveyFileData& d) { d.final->below[0] = d.final->above[0], typedRows(*d.final); }, "extrapolated",
     "final", "warning",
     "Final draft: the Below and Above hydrostatic rows are both for a draft of 14 m, so the true mean draft "
     "of 13.958 m cannot be interpolated between them."},

    // The list: breadth 32.26 m, so 0.5 degrees is a midship difference of 28.15 cm.
    {"list: 28.1 cm midships", false,
     [](SurveyFileData& d) { d.initial.midPort = "5.90"; d.initial.midStbd = "6.181"; }, "list", nullptr,
     nullptr, nullptr},
    {"list: 28.2 cm midships", false,
     [](SurveyFileData& d) { d.initial.midPort = "5.90"; d.initial.midStbd = "6.182"; }, "list", "initial",
     "warning",
     "Initial draft: a list of 0.501 degrees from the midship readings (port 5.9 m, starboard 6.182 m, breadth "
     "32.26 m); a midship difference of at most 28.1 cm instead of 28.2 cm would bring it under 0.5 degrees."},
    {"list: to port on the Final draft", true,
     [](SurveyFileData& d) { d.final->midPort = "6.50"; d.final->midStbd = "6.08"; }, "list", "final", "warning",
     "Final draft: a list of 0.75 degrees from the midship readings (port 6.5 m, starboard 6.08 m, breadth "
     "32.26 m); a midship difference of at most 28.1 cm instead of 42 cm would bring it under 0.5 degrees."},

    // A twisted hull: -4 cm midships, 5 cm apart is still straight.
    {"twist: 5 cm apart aft", false,
     [](SurveyFileData& d) { d.initial.aftPort = "7.035"; d.initial.aftStbd = "7.025"; }, "twist", nullptr,
     nullptr, nullptr},
    {"twist: 5.1 cm apart aft", false,
     [](SurveyFileData& d) { d.initial.aftPort = "7.036"; d.initial.aftStbd = "7.025"; }, "twist", "initial",
     "information",
     "Initial draft: port less starboard is 1.1 cm aft against -4 cm midships, more than 5 cm apart: a twisted "
     "hull or a misread mark."},
    {"twist: both ends", true,
     [](SurveyFileData& d) { d.initial.fwdPort = "13.94"; d.initial.aftStbd = "14.10"; }, "twist", "initial",
     "information",
     "Initial draft: port less starboard is 8 cm forward and -12 cm aft against -2 cm midships, more than 5 cm "
     "apart: a twisted hull or a misread mark."},

    // The trim: even keel is no trim by the head.
    {"trim-by-head: even keel", false,
     [](SurveyFileData& d) { d.final->aftPort = "13.88"; d.final->aftStbd = "13.90"; }, "trim-by-head", nullptr,
     nullptr, nullptr},
    {"trim-by-head: 1 mm by the head", false,
     [](SurveyFileData& d) { d.final->aftPort = "13.879"; d.final->aftStbd = "13.90"; }, "trim-by-head", "final",
     "information", "Final draft: the ship is trimmed by the head, true trim -0.001 m."},

    // The dock water: 0.990 to 1.035 inclusive.
    {"density: 1.035", false, [](SurveyFileData& d) { d.initial.density = "1.035"; }, "density", nullptr, nullptr,
     nullptr},
    {"density: 1.0351", false, [](SurveyFileData& d) { d.initial.density = "1.0351"; }, "density", "initial",
     "warning", "Initial draft: a dock water density of 1.0351 t/m3 lies outside 0.990 to 1.035."},
    {"density: 0.99", true, [](SurveyFileData& d) { d.initial.density = "0.99"; }, "density", nullptr, nullptr,
     nullptr},
    {"density: 0.9899", true, [](SurveyFileData& d) { d.initial.density = "0.9899"; }, "density", "initial",
     "warning", "Initial draft: a dock water density of 0.9899 t/m3 lies outside 0.990 to 1.035."},
    {"density: fresh water on the Final draft", true, [](SurveyFileData& d) { d.final->density = "0.9899"; },
     "density", "final", "warning", "Final draft: a dock water density of 0.9899 t/m3 lies outside 0.990 to 1.035."},

    // The hull deflection: LBP 217 m, so 21.7 cm.
    {"deflection: a sag of 21.7 cm", false,
     [](SurveyFileData& d) { d.final->midPort = "14.167"; d.final->midStbd = "14.167"; }, "deflection", nullptr,
     nullptr, nullptr},
    {"deflection: a sag of 21.75 cm", false,
     [](SurveyFileData& d) { d.final->midPort = "14.168"; d.final->midStbd = "14.167"; }, "deflection", "final",
     "warning", "Final draft: a sag of 21.75 cm is more than LBP/1000 (21.7 cm): probably a misread mark."},
    {"deflection: a hog of 21.7 cm", true,
     [](SurveyFileData& d) { d.initial.midPort = "13.703"; d.initial.midStbd = "13.703"; }, "deflection", nullptr,
     nullptr, nullptr},
    {"deflection: a hog of 21.75 cm", true,
     [](SurveyFileData& d) { d.initial.midPort = "13.702"; d.initial.midStbd = "13.703"; }, "deflection",
     "initial", "warning",
     "Initial draft: a hog of 21.75 cm is more than LBP/1000 (21.7 cm): probably a misread mark."},

    // The MCTC rows: equal tables give no second trim correction at all.
    {"second-trim-negative: equal tables", false,
     [](SurveyFileData& d) { d.initial.mctcPlus50Below = "884.3"; d.initial.mctcPlus50Above = "886.6"; },
     "second-trim-negative", nullptr, nullptr, nullptr},
    {"second-trim-negative: +50 a tenth lower", false,
     [](SurveyFileData& d) { d.initial.mctcPlus50Below = "884.2"; d.initial.mctcPlus50Above = "886.5"; },
     "second-trim-negative", "initial", "warning",
     "Initial draft: MCTC at +50 cm (885.445) is below MCTC at -50 cm (885.545): the MCTC rows are suspect."},

    // TPC and MCTC falling between the rows: taken as they are, and said.
    {"table-decreasing: TPC level", false, [](SurveyFileData& d) { d.initial.above[2] = "63.18"; },
     "table-decreasing", nullptr, nullptr, nullptr},
    {"table-decreasing: TPC a hundredth lower", false,
     [](SurveyFileData& d) { d.initial.above[2] = "63.17"; }, "table-decreasing", "initial", "information",
     "Initial draft: the TPC falls from 63.18 t/cm on the Below row to 63.17 t/cm on the Above row; the rows "
     "were taken as the table gives them."},
    {"table-decreasing: MCTC-50 on the Final draft", false,
     [](SurveyFileData& d) { d.final->mctcMinus50Above = "1019.3"; }, "table-decreasing", "final",
     "information",
     "Final draft: the MCTC-50 falls from 1019.4 t m/cm on the Below row to 1019.3 t m/cm on the Above row; "
     "the rows were taken as the table gives them."},

    // The load line: summer draft 14.12 m.
    {"summer-draft: at the summer draft", false, [](SurveyFileData& d) { level(*d.final, "14.12"); },
     "summer-draft", nullptr, nullptr, nullptr},
    {"summer-draft: 1 mm above it", false, [](SurveyFileData& d) { level(*d.final, "14.121"); }, "summer-draft",
     "final", "warning", "Final draft: the true mean draft of 14.121 m is above the ship's summer draft of 14.12 m."},

    // The deadweight: level on the Below row in table water, so that the true displacement is the
    // row's displacement to the tonne: 10850 t light ship + 76498.5 t summer deadweight.
    {"deadweight: at the summer deadweight", false,
     [](SurveyFileData& d) {
         level(*d.final, "13.90");
         d.final->density = "1.025";
         d.final->below[1] = "87348.5";
         d.final->above[1] = "87500";
     },
     "deadweight", nullptr, nullptr, nullptr},
    {"deadweight: 0.1 t above it", false,
     [](SurveyFileData& d) {
         level(*d.final, "13.90");
         d.final->density = "1.025";
         d.final->below[1] = "87348.6";
         d.final->above[1] = "87500";
     },
     "deadweight", "final", "warning",
     "Final draft: true displacement less light ship is 76498.6 t, above the ship's summer deadweight of "
     "76498.5 t."},

    // The constant: 319.99161 t after discharge; on arrival 73550.19243 t of cargo and constant,
    // less the B/L. 10 % either way.
    {"constant-difference: 10 % under the assumed one", true, [](SurveyFileData& d) { d.blQuantity = "73259.29096"; },
     "constant-difference", nullptr, nullptr, nullptr},
    {"constant-difference: just over 10 % under it", true, [](SurveyFileData& d) { d.blQuantity = "73259.29097"; },
     "constant-difference", "survey", "warning",
     "The constant after discharge, 319.992 t, differs from the assumed constant of 290.901 t by 29.09 t (10%)."},
    {"constant-difference: 10 % over the assumed one", true, [](SurveyFileData& d) { d.blQuantity = "73194.6462"; },
     "constant-difference", nullptr, nullptr, nullptr},
    {"constant-difference: just over 10 % over it", true, [](SurveyFileData& d) { d.blQuantity = "73194.64619"; },
     "constant-difference", "survey", "warning",
     "The constant after discharge, 319.992 t, differs from the assumed constant of 355.546 t by -35.555 t "
     "(-10%)."},
    {"constant-difference: a negative assumed constant", true, [](SurveyFileData& d) { d.blQuantity = "74000"; },
     "constant-difference", "survey", "warning",
     "The constant after discharge, 319.992 t, differs from the assumed constant of -449.808 t by 769.799 t "
     "(171.14%)."},

    // The B/L: the example discharges 73230.20082 t; 0.5 % either way.
    {"bl-difference: 0.5 % under the B/L", true, [](SurveyFileData& d) { d.blQuantity = "73598.19177"; },
     "bl-difference", nullptr, nullptr, nullptr},
    {"bl-difference: just over 0.5 % under the B/L", true, [](SurveyFileData& d) { d.blQuantity = "73598.19178"; },
     "bl-difference", "survey", "warning",
     "The cargo discharged, 73230.201 t, differs from the B/L quantity of 73598.192 t by -367.991 t (-0.5%)."},
    {"bl-difference: 0.5 % over the B/L", true, [](SurveyFileData& d) { d.blQuantity = "72865.87147"; },
     "bl-difference", nullptr, nullptr, nullptr},
    {"bl-difference: just over 0.5 % over the B/L", true, [](SurveyFileData& d) { d.blQuantity = "72865.87146"; },
     "bl-difference", "survey", "warning",
     "The cargo discharged, 73230.201 t, differs from the B/L quantity of 72865.871 t by 364.329 t (0.5%)."},
    {"bl-difference: none on a loading survey", false, [](SurveyFileData& d) { d.blQuantity = "10"; },
     "bl-difference", nullptr, nullptr, nullptr},
};

const Case& caseAt(int i)
{
    return kCases[i];
}

int caseCount()
{
    return int(std::size(kCases));
}

}  // namespace

QTEST_MAIN(TestSurveyChecks)
#include "test_survey_checks.moc"
