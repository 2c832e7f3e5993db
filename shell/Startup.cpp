#include "shell/Startup.h"

#include "core/AppPaths.h"
#include "shell/AppIcons.h"
#include "shell/CatalogueLink.h"
#include "shell/ChildRegistry.h"
#include "db/Connection.h"
#include "db/Database.h"
#include "shell/AboutDialog.h"
#include "shell/MainWindow.h"
#include "shell/RecentSurveys.h"
#include "cli/CommandLineStart.h"
#include "cli/HydrostaticCommandLine.h"
#include "cli/TankCommandLine.h"
#include "cli/SurveyCommandLine.h"
#include "shell/SurveyFileCommands.h"
#include "shell/DatabaseProtection.h"
#include "cli/WindowCommandLine.h"
#include "ui/MessageBoxes.h"

#include <QApplication>
#include <QGuiApplication>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

namespace {
bool g_debug = false;
}

// Outside any namespace, as the resource macro requires.
static void registerCompiledResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace Startup {

bool debugMode()
{
    return g_debug;
}

void setDebugMode(bool on)
{
    g_debug = on;
}

void initResources()
{
    static bool done = false;
    if (!done) {
        done = true;
        registerCompiledResources();
    }
}

bool displayAvailable()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
#else
    return true;
#endif
}

bool platformShowsBoxes()
{
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

Outcome start(const QStringList& arguments)
{
    const WindowCommandLine::Options options = WindowCommandLine::parse(arguments);
    if (!options.error.isEmpty())
        return {WindowCommandLine::refuse(options.error), false};
    initResources();
    // A box on a platform that shows nothing would wait for an answer nobody can give: there the
    // message service prints each box on standard error instead, and a failed start ends at once.
    if (platformShowsBoxes())
        MessageBoxes::install();
    setDebugMode(options.debug);
    registerChildWindows();
    SurveyFileCommands::registerCommands();
    CatalogueLink::registerCommands();
    DatabaseProtection::registerCommands();
    // A protected database asks for its passphrase, unless the command line gave it.
    DatabaseProtection::installStartAsker();
    if (!CommandLineStart::usePassphrase(options.passphraseFile))
        return {1, false};

    // A first start without a database beside the program: the delivered one goes into the
    // user's data folder. When that fails, the open below tells the user; the reason is logged.
    // (The command line has found the folder of --data-dir already.)
    const CommandLineStart::Outcome folder = CommandLineStart::prepareDataFolder(options.dataDir);
    if (!folder.go)
        return {WindowCommandLine::refuse(folder.refusal), false};
    if (!folder.prepared)
        qWarning("%s", qPrintable(folder.prepareError));
    // The files are keyed and read while the About box is made.
    beginOpeningDatabase(WholeCheck::InBackground);
    // Continue on the About box opens the main window (with the tips, when they are on).
    AboutDialog about;
    finishOpeningDatabase();
    if (startupFailed())
        return {1, false};
    // Every page of DS.dat is read while the box is up. A damaged one closes the box and ends the
    // start; Continue waits for the verdict before it opens the main window (AboutDialog).
    QTimer verdict;
    QObject::connect(&verdict, &QTimer::timeout, &about, [&verdict, &about] {
        if (sharedConnection().wholeCheckPending())
            return;
        verdict.stop();
        if (!confirmDatabaseWhole())
            about.abandon();
    });
    verdict.start(2);
    about.exec();
    if (startupFailed())
        return {1, false};
    MainWindow* mdi = MainWindow::instance();
    const bool shown = mdi && mdi->isVisible();
    // Surveys the last run lost (killed, or the machine went down) are offered before anything
    // else is opened.
    if (shown)
        RecentSurveys::offerLost(*mdi);
    // The copy is brought up to date behind the window, which reads it meanwhile as always.
    if (shown)
        CatalogueLink::start(*mdi, options.server);
    if (shown && !options.surveyFile.isEmpty())
        SurveyFileCommands::openFile(*mdi, options.surveyFile);
    return {0, shown};
}

int main(int argc, char** argv)
{
    // A ship's table to or from a file, like a survey report from the command line, needs no
    // display and shows no window.
    if (HydrostaticCommandLine::wanted(argc, argv))
        return HydrostaticCommandLine::main(argc, argv);
    if (TankCommandLine::wanted(argc, argv))
        return TankCommandLine::main(argc, argv);
    if (SurveyCommandLine::wanted(argc, argv))
        return SurveyCommandLine::main(argc, argv);
    if (!displayAvailable()) {
        const QString name = argc > 0 ? QFileInfo(QString::fromLocal8Bit(argv[0])).fileName()
                                      : QStringLiteral("quorvane-lt");
        std::fprintf(stderr, "%s: no display found; start it from a desktop session or under xvfb-run\n",
                     qPrintable(name));
        return 2;
    }
    QApplication app(argc, argv);
    AppPaths::setApplicationNames();
    QApplication::setWindowIcon(AppIcons::icon(QStringLiteral("Application")));

    const Outcome outcome = start(app.arguments().mid(1));
    if (!outcome.windowShown)
        return outcome.status != 0 ? outcome.status : 1;
    return app.exec();
}

}  // namespace Startup
