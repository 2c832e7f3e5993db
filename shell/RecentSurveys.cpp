#include "shell/RecentSurveys.h"

#include "core/AppPaths.h"
#include "core/MessageService.h"
#include "shell/SurveyFileCommands.h"
#include "shell/MainWindow.h"
#include "survey/SurveyRecovery.h"
#include "survey/SurveyWindow.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QSettings>

namespace {

const char* const kFilesKey = "Recent Surveys/Files";

// "&1 voyage.json" for the first nine, so that each entry has a key of its own.
QString numbered(int number, const QString& text)
{
    QString safe = text;
    safe.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return number < 10 ? QStringLiteral("&%1 %2").arg(number).arg(safe)
                       : QStringLiteral("%1 %2").arg(number).arg(safe);
}

QString closedCaption(const SurveyRecovery::Entry& e)
{
    QString text = QStringLiteral("%1: %2").arg(e.kind, e.ship.isEmpty() ? QStringLiteral("(no ship)") : e.ship);
    if (!e.voyage.isEmpty())
        text += QStringLiteral(", voyage ") + e.voyage;
    // A survey lost with the program was never closed: its time is that of its last entry.
    text += (e.lost ? QStringLiteral(" - not closed, last entry ") : QStringLiteral(" - closed "))
            + QLocale().toString(e.closed, QStringLiteral("dd-MM-yyyy HH:mm"));
    return text;
}

// "the Loading survey of Ocean Pride, voyage V-042"
QString surveyNamed(const SurveyRecovery::Entry& e)
{
    QString text = QStringLiteral("the %1 survey").arg(e.kind);
    if (!e.ship.isEmpty())
        text += QStringLiteral(" of ") + e.ship;
    if (!e.voyage.isEmpty())
        text += QStringLiteral(", voyage ") + e.voyage;
    return text;
}

// The greyed entry of an empty menu.
void addNone(QMenu* menu)
{
    QAction* none = menu->addAction(QStringLiteral("(none)"));
    none->setObjectName(QStringLiteral("mnuRecentNone"));
    none->setEnabled(false);
}

}  // namespace

namespace RecentSurveys {

QStringList files()
{
    QStringList list = AppPaths::settings().value(QLatin1String(kFilesKey)).toStringList();
    list.removeAll(QString());
    return list.mid(0, kMaxFiles);
}

void remember(const QString& path)
{
    const QString full = QFileInfo(path).absoluteFilePath();
    QStringList list = files();
    list.removeAll(full);
    list.prepend(full);
    QSettings settings = AppPaths::settings();
    settings.setValue(QLatin1String(kFilesKey), list.mid(0, kMaxFiles));
    AppPaths::keepSettingsPrivate(settings);
}

int offerLost(MainWindow& mdi)
{
    int reopened = 0;
    for (const SurveyRecovery::Entry& e : SurveyRecovery::leftBehind()) {
        if (!e.unanswered)
            continue;
        QString named = surveyNamed(e);
        named[0] = named.at(0).toUpper();
        if (!e.voyage.isEmpty())
            named += QLatin1Char(',');  // "..., voyage V-042, was not closed"
        MessageRecord offer;
        offer.text = MessageService::join(
            QStringLiteral("%1 was not closed: the program ended while its window was open (last entry %2).")
                .arg(named, QLocale().toString(e.closed, QStringLiteral("dd-MM-yyyy HH:mm"))),
            QStringLiteral("Reopen it now, keep it for later (Draft Survey, Recent Surveys), or discard "
                           "it?"));
        offer.icon = Msg::Icon::Question;
        offer.buttons = Msg::Buttons::YesNoCancel;
        offer.defaultButton = Msg::Answer::Yes;
        offer.buttonTexts = {{Msg::Answer::Yes, QStringLiteral("&Reopen")},
                             {Msg::Answer::No, QStringLiteral("&Discard")},
                             {Msg::Answer::Cancel, QStringLiteral("&Keep for Later")}};
        const Msg::Answer answer = MessageService::show(offer);
        if (answer == Msg::Answer::Yes) {
            if (SurveyFileCommands::reopenRecovered(mdi, e.path))
                ++reopened;
            else
                SurveyRecovery::keepForLater(e.path);  // still there for Recent Surveys
            continue;
        }
        if (answer == Msg::Answer::No) {
            const Msg::Answer sure = MessageService::show(
                MessageService::join(QStringLiteral("Discard %1?").arg(surveyNamed(e)),
                                     QStringLiteral("Its figures cannot be brought back.")),
                Msg::Buttons::YesNo, Msg::Icon::Exclamation, QString(), Msg::Answer::No);
            if (sure == Msg::Answer::Yes && SurveyRecovery::discard(e.path))
                continue;
        }
        SurveyRecovery::keepForLater(e.path);
    }
    return reopened;
}

QMenu* menu(const MainWindow& mdi)
{
    return mdi.recentSurveysMenu();
}

void fill(MainWindow& mdi, QMenu* menu)
{
    menu->clear();
    QPointer<MainWindow> frame(&mdi);
    int number = 0;
    const QList<SurveyRecovery::Entry> closed = SurveyRecovery::leftBehind();
    for (const SurveyRecovery::Entry& e : closed) {
        // Each survey closed unsaved: reopen it, or let it go.
        QMenu* item = menu->addMenu(numbered(++number, closedCaption(e)));
        item->setObjectName(QStringLiteral("mnuRecentClosed(%1)").arg(number));
        item->setToolTip(QDir::toNativeSeparators(e.path));
        const QString path = e.path;
        QAction* reopen = item->addAction(QStringLiteral("&Reopen"));
        reopen->setObjectName(QStringLiteral("mnuRecentReopen(%1)").arg(number));
        QObject::connect(reopen, &QAction::triggered, &mdi, [frame, path] {
            if (frame)
                SurveyFileCommands::reopenRecovered(*frame, path);
        });
        QAction* discard = item->addAction(QStringLiteral("&Discard"));
        discard->setObjectName(QStringLiteral("mnuRecentDiscard(%1)").arg(number));
        QObject::connect(discard, &QAction::triggered, &mdi, [path] { SurveyRecovery::discard(path); });
    }
    if (closed.size() > 1) {
        QAction* all = menu->addAction(QStringLiteral("Discard All &Unsaved"));
        all->setObjectName(QStringLiteral("mnuRecentDiscardAll"));
        QObject::connect(all, &QAction::triggered, &mdi, [] {
            for (const SurveyRecovery::Entry& e : SurveyRecovery::leftBehind())
                SurveyRecovery::discard(e.path);
        });
    }
    const QStringList list = files();
    if (!closed.isEmpty() && !list.isEmpty())
        menu->addSeparator();
    for (const QString& file : list) {
        QAction* a = menu->addAction(numbered(++number, QFileInfo(file).fileName()));
        a->setObjectName(QStringLiteral("mnuRecentFile(%1)").arg(number));
        a->setToolTip(QDir::toNativeSeparators(file));
        a->setStatusTip(QDir::toNativeSeparators(file));
        QObject::connect(a, &QAction::triggered, &mdi, [frame, file] {
            if (frame)
                SurveyFileCommands::openFile(*frame, file);
        });
    }
    if (number == 0)
        addNone(menu);
}

QMenu* install(MainWindow& mdi)
{
    QMenu* survey = mdi.surveyMenu();
    if (!survey)
        return nullptr;
    survey->addSeparator()->setObjectName(QStringLiteral("mnuQuorvane(30)"));
    QMenu* recent = survey->addMenu(QStringLiteral("&Recent Surveys"));
    recent->setObjectName(QStringLiteral("mnuQuorvaneRecent"));
    recent->menuAction()->setObjectName(QStringLiteral("mnuQuorvane(35)"));
    QPointer<MainWindow> frame(&mdi);
    QObject::connect(recent, &QMenu::aboutToShow, &mdi, [frame, recent] {
        if (frame)
            fill(*frame, recent);
    });
    // The menu is filled as it opens, when the recovery files are read; until then it holds one
    // greyed entry, so that it is never an empty submenu.
    addNone(recent);
    // Every survey window is kept from the moment it opens.
    QObject::connect(&mdi, &MainWindow::childOpened, &mdi, [](QWidget* child) {
        SurveyRecovery::attach(dynamic_cast<SurveyWindow*>(child));
    });
    return recent;
}

}  // namespace RecentSurveys
