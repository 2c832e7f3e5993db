// How long the program takes to start, to open its windows and to print a survey file, on the
// delivered database and on one with a large catalogue (10,000 ships, 2,000 ports). Prints the
// median of several runs of each, side by side; it checks nothing.
//
//   bench_catalogue [--runs N] [--lt PATH] [--mkdb PATH]
//
// --lt and --mkdb name the program and the database tool to time (by default the ones built
// beside this benchmark), so that another build can be timed against the same catalogues.
// The start is timed as a process of its own: this program run again with --child-start DIR,
// which starts as quorvane-lt does, goes on from the About box as soon as it is drawn and ends
// once the main window has been drawn. The windows are timed inside this process, opened from
// the main window as the menu opens them, until they are drawn.
#include "bench/DarkPalette.h"
#include "core/AppPaths.h"
#include "core/MessageService.h"
#include "db/Connection.h"
#include "db/Database.h"
#include "shell/ChildRegistry.h"
#include "shell/Startup.h"
#include "shell/MainWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMdiSubWindow>
#include <QPointer>
#include <QAbstractItemView>
#include <QComboBox>
#include <QPainter>
#include <QPalette>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <sys/resource.h>
#include <functional>
#include <vector>

namespace {

constexpr int kShips = 10000;
constexpr int kPorts = 2000;

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n == 0 ? 0.0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

// A median of the wall clock and one of the processor time, in milliseconds.
struct Timing {
    double wall = 0;
    double cpu = 0;
};

// Runs `once` one time to warm the caches, then `runs` times; `once` returns its own timing.
Timing timed(int runs, const std::function<Timing()>& once)
{
    once();
    std::vector<double> wall;
    std::vector<double> cpu;
    for (int i = 0; i < runs; ++i) {
        const Timing t = once();
        wall.push_back(t.wall);
        cpu.push_back(t.cpu);
    }
    return {median(wall), median(cpu)};
}

// The processor time of the finished child processes so far, in milliseconds.
double childrenCpuMs()
{
    rusage u{};
    getrusage(RUSAGE_CHILDREN, &u);
    return (double(u.ru_utime.tv_sec) + double(u.ru_stime.tv_sec)) * 1e3
        + (double(u.ru_utime.tv_usec) + double(u.ru_stime.tv_usec)) / 1e3;
}

bool run(const QString& program, const QStringList& arguments, const QProcessEnvironment& env,
         Timing* timing = nullptr)
{
    const double cpuBefore = childrenCpuMs();
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer clock;
    clock.start();
    p.start(program, arguments);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        std::fprintf(stderr, "failed: %s %s (%s)\n", qPrintable(program), qPrintable(arguments.join(' ')),
                     qPrintable(QString::fromLocal8Bit(p.readAllStandardOutput())));
        return false;
    }
    if (timing)
        *timing = {double(clock.nsecsElapsed()) / 1e6, childrenCpuMs() - cpuBefore};
    return true;
}

// Names of the kind a fleet list holds, all different: "Atlantic Star 0042", "Port 1234 (Rio)".
QString shipName(int i)
{
    static const char* first[] = {"Atlantic", "Baltic", "Coral", "Eastern", "Golden", "Iron", "Nordic",
                                  "Ocean", "Pacific", "Royal", "Silver", "Western"};
    static const char* second[] = {"Bulker", "Carrier", "Dawn", "Explorer", "Harmony", "Meridian",
                                   "Pioneer", "Spirit", "Star", "Trader", "Venture", "Wave"};
    return QStringLiteral("%1 %2 %3").arg(QLatin1String(first[i % 12]), QLatin1String(second[(i / 12) % 12]))
        .arg(i, 4, 10, QLatin1Char('0'));
}

// Adds the ports and the ships of a large catalogue in one transaction.
void addLargeCatalogue(Connection& db)
{
    db.execute(QStringLiteral("BEGIN"));
    for (int p = 1; p <= kPorts; ++p)
        db.execute(QStringLiteral("INSERT INTO Port (PortName, City, Country) VALUES ('Harbour %1', 'City %1', "
                                  "'Country %2')")
                       .arg(p, 4, 10, QLatin1Char('0'))
                       .arg(p % 150));
    for (int s = 0; s < kShips; ++s)
        db.execute(QStringLiteral("INSERT INTO Ship (ShipName, PortOfRegistry, LBP, LOA, Breadth, LightShip, "
                                  "CallSign, Flag, OfficialNo, IMONo, SummerDraft, SummerDeadweight, "
                                  "GrossTonnage, NetTonnage) VALUES ('%1', %2, 180.5, 189.99, 32.26, 8450.7, "
                                  "'9VAB%3', 'Panama', %3, %4, 12.35, 52000, 30000.5, 17000.4)")
                       .arg(shipName(s))
                       .arg(1 + s % kPorts)
                       .arg(s)
                       .arg(9000000 + s));
    db.execute(QStringLiteral("COMMIT"));
}

// --- The start, in a process of its own ----------------------------------------------------------

// Goes on from the About box once it is drawn, and ends the process once the main window is.
class StartWatcher : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Paint)
            return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget)
            return false;
        if (auto* about = qobject_cast<QDialog*>(widget->window()); about && about->objectName() == QLatin1String("frmAbout")
            && !m_continued) {
            m_continued = true;
            QTimer::singleShot(0, about, [about] {
                if (auto* go = about->findChild<QAbstractButton*>(QStringLiteral("cmdContinue")))
                    go->click();
            });
        } else if (widget->window() == MainWindow::instance() && MainWindow::instance() && !m_done) {
            m_done = true;
            QTimer::singleShot(0, [] {
                std::fflush(nullptr);
                std::_Exit(0);  // the run ends here; tearing the windows down is not part of it
            });
        }
        return false;
    }

private:
    bool m_continued = false;
    bool m_done = false;
};

int childStart(int argc, char** argv, const QString& dir)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quorvane-lt"));
    QApplication::setOrganizationName(QStringLiteral("quorvane-lt"));
    AppPaths::setAppDir(dir);
    StartWatcher watcher;
    app.installEventFilter(&watcher);
    const Startup::Outcome outcome = Startup::start({});
    if (!outcome.windowShown)
        return 1;
    QTimer::singleShot(10000, [] { std::_Exit(3); });
    return app.exec();
}

// --- The windows, in this process ----------------------------------------------------------------

// The processor time this process has used, in milliseconds: on a machine shared with other work
// it says what a run costs when the wall clock also counts the waiting.
double processCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

class PaintSeen : public QObject {
public:
    bool seen = false;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            seen = true;
        return false;
    }
};

// Opens the child window from the main window and waits until it has been drawn; closes it again.
Timing openWindow(MainWindow* mdi, const QString& name)
{
    const double cpuStart = processCpuMs();
    QElapsedTimer clock;
    clock.start();
    QWidget* child = mdi->openChild(name);
    if (!child)
        return {-1, -1};
    PaintSeen paint;
    child->installEventFilter(&paint);
    QElapsedTimer limit;
    limit.start();
    while (!paint.seen && limit.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const Timing timing{double(clock.nsecsElapsed()) / 1e6, processCpuMs() - cpuStart};
    child->removeEventFilter(&paint);
    QPointer<QWidget> frame = child->parentWidget();
    if (auto* sub = qobject_cast<QMdiSubWindow*>(frame.data()))
        sub->close();
    else
        child->close();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return timing;
}

// One window opened again and again on the database in `dir` (for a profiler).
int windowOnly(int argc, char** argv, const QString& dir, const QString& name, int times)
{
    QApplication app(argc, argv);
    MessageService::setTestMode(true);
    AppPaths::setAppDir(dir);
    openDatabase();
    if (startupFailed())
        return 1;
    registerChildWindows();
    MainWindow* mdi = MainWindow::showMainWindow();
    QCoreApplication::processEvents();
    const Timing t = timed(times, [&] { return openWindow(mdi, name); });
    std::printf("%s: %.1f ms median of %d, processor %.1f ms\n", qPrintable(name), t.wall, times, t.cpu);
    std::fflush(stdout);
    std::_Exit(0);
}

// A picture of the main window at 1366x768 with one child window open on the database in `dir`,
// for looking at the lists (QT_SCALE_FACTOR=1.5 for a larger scale, BENCH_DARK=1 for a dark
// palette).
int screenshot(int argc, char** argv, const QString& dir, const QString& name, const QString& png)
{
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsSet("BENCH_DARK"))
        useDarkPalette();
    MessageService::setTestMode(true);
    AppPaths::setAppDir(dir);
    openDatabase();
    if (startupFailed())
        return 1;
    registerChildWindows();
    auto* mdi = new MainWindow;
    mdi->setGeometry(0, 0, 1366, 768);
    mdi->show();
    QWidget* child = mdi->openChild(name);
    if (!child)
        return 1;
    if (auto* sub = qobject_cast<QMdiSubWindow*>(child->parentWidget()))
        sub->showMaximized();
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    // BENCH_POPUP=objectName: that list dropped down, as the user opens it, and pictured alone.
    if (auto* list = child->findChild<QComboBox*>(qEnvironmentVariable("BENCH_POPUP"))) {
        list->setCurrentIndex(list->count() / 2);
        list->showPopup();
        for (int i = 0; i < 20; ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (QWidget* popup = list->view()->window()) {
            QPixmap picture = mdi->grab();
            QPainter painter(&picture);
            painter.drawPixmap(popup->pos() - mdi->pos(), popup->grab());
            painter.end();
            picture.save(png);
            std::_Exit(0);
        }
    }
    mdi->grab().save(png);
    std::_Exit(0);
}

struct Figures {
    Timing start;
    Timing ship;
    Timing port;
    Timing survey;
    Timing pdf;
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && qstrcmp(argv[1], "--child-start") == 0)
        return childStart(argc, argv, QString::fromLocal8Bit(argv[2]));
    if (argc >= 5 && qstrcmp(argv[1], "--shot") == 0)
        return screenshot(argc, argv, QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                          QString::fromLocal8Bit(argv[4]));
    if (argc >= 5 && qstrcmp(argv[1], "--window") == 0)
        return windowOnly(argc, argv, QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                          QString::fromLocal8Bit(argv[4]).toInt());

    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const QString here = QCoreApplication::applicationDirPath();
    int runs = 9;
    QString lt = QDir(here).filePath(QStringLiteral("../quorvane-lt"));
    QString mkdb = QDir(here).filePath(QStringLiteral("../tools/quorvane-mkdb"));
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--runs"))
            runs = qMax(1, args[i + 1].toInt());
        else if (args[i] == QLatin1String("--lt"))
            lt = args[i + 1];
        else if (args[i] == QLatin1String("--mkdb"))
            mkdb = args[i + 1];
    }
    const QString example = QStringLiteral(QUORVANE_SOURCE_DIR "/examples/loading-port-hedland.json");

    QTemporaryDir root;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QString::fromLocal8Bit(qgetenv("QT_QPA_PLATFORM")));
    // The settings of a first run (tips at start on), never the user's own.
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), root.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("HOME"), root.filePath(QStringLiteral("home")));
    QDir().mkpath(root.filePath(QStringLiteral("home")));
    qputenv("XDG_CONFIG_HOME", root.filePath(QStringLiteral("config")).toLocal8Bit());

    const QString delivered = root.filePath(QStringLiteral("delivered"));
    const QString large = root.filePath(QStringLiteral("large"));
    for (const QString& dir : {delivered, large}) {
        QDir().mkpath(dir);
        if (!run(mkdb, {dir}, env) || !run(mkdb, {dir, QStringLiteral("--examples")}, env))
            return 1;
    }
    MessageService::setTestMode(true);
    AppPaths::setAppDir(large);
    openDatabase();
    if (startupFailed())
        return 1;
    addLargeCatalogue(sharedConnection());
    closeDatabase();
    if (qEnvironmentVariableIsSet("BENCH_KEEP_LARGE")) {
        // Keeps the large catalogue for a profiler (--window DIR NAME TIMES) and stops here.
        const QString keep = qEnvironmentVariable("BENCH_KEEP_LARGE");
        QDir().mkpath(keep);
        for (const char* file : {"DS.dat", "DS.lib"}) {
            QFile::remove(QDir(keep).filePath(QLatin1String(file)));
            QFile::copy(QDir(large).filePath(QLatin1String(file)), QDir(keep).filePath(QLatin1String(file)));
        }
        return 0;
    }

    std::printf("median of %d runs after one to warm up, in ms: wall clock (processor time)\n", runs);
    std::printf("%-44s %18s %18s\n", "", "delivered", "10,000 ships");
    std::fflush(stdout);

    Figures f[2];
    const QString dirs[2] = {delivered, large};
    const QString self = QCoreApplication::applicationFilePath();
    for (int k = 0; k < 2; ++k) {
        const QString pdf = root.filePath(QStringLiteral("out.pdf"));
        f[k].pdf = timed(runs, [&] {
            Timing t{-1, -1};
            run(lt, {QStringLiteral("--survey"), example, QStringLiteral("--pdf"), pdf, QStringLiteral("--data-dir"),
                     dirs[k]},
                env, &t);
            return t;
        });
        f[k].start = timed(runs, [&] {
            Timing t{-1, -1};
            run(self, {QStringLiteral("--child-start"), dirs[k]}, env, &t);
            return t;
        });
    }

    registerChildWindows();
    MainWindow* mdi = nullptr;
    for (int k = 0; k < 2; ++k) {
        AppPaths::setAppDir(dirs[k]);
        openDatabase();
        if (startupFailed())
            return 1;
        if (!mdi) {
            mdi = MainWindow::showMainWindow();
            QCoreApplication::processEvents();
        }
        f[k].ship = timed(runs, [&] { return openWindow(mdi, QStringLiteral("frmShipParticulars")); });
        f[k].port = timed(runs, [&] { return openWindow(mdi, QStringLiteral("frmPortMaster")); });
        f[k].survey = timed(runs, [&] { return openWindow(mdi, QStringLiteral("frmQuorvane")); });
        closeDatabase();
    }

    const auto line = [&](const char* what, Timing Figures::*field) {
        const Timing a = f[0].*field;
        const Timing b = f[1].*field;
        std::printf("%-44s %9.1f (%6.1f) %9.1f (%6.1f)\n", what, a.wall, a.cpu, b.wall, b.cpu);
    };
    line("start to the main window drawn", &Figures::start);
    line("open Ship Particulars", &Figures::ship);
    line("open Port Master", &Figures::port);
    line("open a Loading survey window", &Figures::survey);
    line("survey file to a PDF (quorvane-lt --survey)", &Figures::pdf);
    std::printf("%-44s %9.2f (%6.2f)\n", "report, 10,000 ships against delivered", f[1].pdf.wall / f[0].pdf.wall,
                f[1].pdf.cpu / f[0].pdf.cpu);
    std::printf("(the start reads its two files on two threads: its processor time counts both)\n");
    std::fflush(stdout);
    std::_Exit(0);  // the main window is left standing: closing it is not timed

}
