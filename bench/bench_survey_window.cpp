// What a surveyor waits for in a survey window: the Loading and the Discharging window opened from
// the main window, the example surveys (examples/loading-port-hedland.json and
// discharging-qingdao.json) typed into them box by box as the surveyor types them, and the time
// of each step that makes the surveyor wait timed until the window has been drawn again. Prints
// the median of several runs of each; it checks nothing.
//
//   bench_survey_window [--runs N] [--mkdb PATH] [--shots DIR]
//
// Each run opens a window afresh and types both drafts of its survey into it; timed are the
// window's opening, a reading box left with Tab (a reading changed and left, then put back and
// left: two per run), Calculate on the Initial and on the Final draft, and the tabs switched
// Initial -> Final -> Initial once both drafts are calculated. What the typing itself costs is
// not timed. --mkdb names the database tool that makes the delivered database and adds the
// example ship and ports to it (by default the one built beside this benchmark).
//
// --shots DIR types each survey once, calculates both drafts and saves pictures of the main
// window: as the survey window opens in it (loading-opened.png), then with the window maximised
// on the Initial and on the Final tab (loading-initial.png, loading-final.png; the same for
// discharging), and the Daily tab with a draft check added (loading-daily.png). The window
// takes the screen's size (xvfb-run -s "-screen 0 1366x768x24");
// QT_SCALE_FACTOR=1.5 for a larger scale, BENCH_DARK=1 for a dark palette, BENCH_FONT_PT=12 for
// a larger font. The caret does not
// blink, so that two pictures of the same window are the same; the clock in the status bar
// still moves (run under faketime to hold it).
//
// Runs on the screen it is given (xvfb-run -a for a real window), offscreen without one.
#include "core/AppPaths.h"
#include "core/MessageService.h"
#include "db/Database.h"
#include "shell/ChildRegistry.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

#include "bench/DarkPalette.h"
#include "shell/MainWindow.h"

namespace {

bool openTheDatabase()
{
    openDatabase();
    return !startupFailed();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n == 0 ? 0.0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

// The processor time this process has used, in milliseconds: on a machine shared with other work
// it says what a step costs when the wall clock also counts the waiting.
double processCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// A wall clock and a processor time, in milliseconds.
struct Timing {
    double wall = 0;
    double cpu = 0;
};

// Every sample of one step, and their medians.
struct Samples {
    std::vector<double> wall;
    std::vector<double> cpu;
    void add(const Timing& t)
    {
        wall.push_back(t.wall);
        cpu.push_back(t.cpu);
    }
    Timing medians() const { return {median(wall), median(cpu)}; }
};

// Sees the main window drawn: a paint of any widget in it.
class PaintSeen : public QObject {
public:
    explicit PaintSeen(QWidget* window) : m_window(window) {}
    bool seen = false;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (widget && widget->window() == m_window)
                seen = true;
        }
        return false;
    }

private:
    QWidget* m_window;
};

// One step the surveyor waits for: `step` and then the events it posted, until the main window
// has been drawn again.
Timing timeStep(QWidget* mainWindow, const std::function<void()>& step)
{
    PaintSeen paint(mainWindow);
    qApp->installEventFilter(&paint);
    const double cpuStart = processCpuMs();
    QElapsedTimer clock;
    clock.start();
    step();
    // Waits for the drawing asleep, as the program does, so that the processor time is the
    // window's own work.
    QTimer limit;
    limit.setSingleShot(true);
    limit.start(5000);
    while (!paint.seen && limit.isActive())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents();
    const Timing timing{double(clock.nsecsElapsed()) / 1e6, processCpuMs() - cpuStart};
    qApp->removeEventFilter(&paint);
    if (!paint.seen)
        std::fprintf(stderr, "a step drew nothing within 5 s\n");
    return timing;
}

// --- The survey as the surveyor types it ---------------------------------------------------------

struct DraftTyped {
    QString date;  // the digits the date box takes: ddMMyyyy
    QString time;  // hhmm
    QString density;
    QStringList readings;    // FP, FS, MP, MS, AP, AS
    QStringList marks;       // Fwd X, Mid X, Aft X
    QStringList below;       // Hyd. Draft, Displacement, TPC, LCF
    QStringList above;
    QStringList mctcPlus;    // Below, Above
    QStringList mctcMinus;   // Below, Above
    QStringList deductions;  // in the deductibles grid's order, blank for none
    QString comments;
};

struct SurveyTyped {
    QString window;  // the child window's class name
    QString ship;
    QString port;
    QString voyage;
    QString cargo;
    QString billOfLading;  // discharging only
    DraftTyped initial;
    DraftTyped final;
};

// The deductible items in the order the deductibles grid lists them (the delivered catalogue).
const int kDeductibleItems[8] = {2, 3, 24, 25, 26, 27, 28, 29};

DraftTyped draftFrom(const QJsonObject& d)
{
    DraftTyped t;
    t.date = d.value("date").toString().remove(QLatin1Char('-'));
    t.time = d.value("time").toString().remove(QLatin1Char(':'));
    t.density = d.value("density").toString();
    const QJsonObject drafts = d.value("drafts").toObject();
    for (const char* key : {"fwdPort", "fwdStbd", "midPort", "midStbd", "aftPort", "aftStbd"})
        t.readings << drafts.value(QLatin1String(key)).toString();
    const QJsonObject marks = d.value("marks").toObject();
    for (const char* key : {"fwdX", "midX", "aftX"})
        t.marks << marks.value(QLatin1String(key)).toString();
    const QJsonObject hyd = d.value("hydrostatics").toObject();
    for (const char* key : {"draft", "displacement", "tpc", "lcf"}) {
        t.below << hyd.value("below").toObject().value(QLatin1String(key)).toString();
        t.above << hyd.value("above").toObject().value(QLatin1String(key)).toString();
    }
    for (const char* key : {"below", "above"}) {
        t.mctcPlus << d.value("mctcPlus50").toObject().value(QLatin1String(key)).toString();
        t.mctcMinus << d.value("mctcMinus50").toObject().value(QLatin1String(key)).toString();
    }
    const QJsonObject deductibles = d.value("deductibles").toObject();
    for (int item : kDeductibleItems)
        t.deductions << deductibles.value(QString::number(item)).toString();
    t.comments = d.value("comments").toString();
    return t;
}

bool readSurvey(const QString& file, SurveyTyped* out)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QJsonObject s = QJsonDocument::fromJson(f.readAll()).object();
    const bool discharging = s.value("kind").toString() == QLatin1String("discharging");
    out->window = discharging ? QStringLiteral("frmZODuraduza") : QStringLiteral("frmQuorvane");
    out->ship = s.value("ship").toString();
    out->port = s.value("port").toString();
    out->voyage = s.value("voyage").toString();
    out->cargo = s.value("cargo").toString();
    out->billOfLading = s.value("blQuantity").toString();
    out->initial = draftFrom(s.value("initial").toObject());
    out->final = draftFrom(s.value("final").toObject());
    return !out->ship.isEmpty();
}

// --- The surveyor at the keyboard ----------------------------------------------------------------

class Surveyor {
public:
    explicit Surveyor(QWidget* window) : m_window(window) {}

    template <typename T = QLineEdit>
    T* find(const char* name) const
    {
        T* child = m_window->findChild<T*>(QLatin1String(name));
        if (!child)
            qFatal("no control %s", name);
        return child;
    }

    static QWidget* focused() { return QApplication::focusWidget(); }

    // Says on stderr when the focus is not where the surveyor expects it; the typing goes on.
    void expect(const char* name)
    {
        QWidget* f = focused();
        const QString at = f ? QStringLiteral("%1 %2").arg(QLatin1String(f->metaObject()->className()),
                                                           f->objectName())
                             : QStringLiteral("(none)");
        if (!f || f->objectName() != QLatin1String(name)) {
            ++routeMisses;
            std::fprintf(stderr, "the focus is on %s, not on %s\n", qPrintable(at), name);
        }
    }

    static void click(QWidget* target)
    {
        QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(4, target->height() / 2));
        QApplication::processEvents();
    }
    // Types into the focused control over what it holds.
    static void typeHere(const QString& text)
    {
        QWidget* f = focused();
        if (!f)
            return;
        if (auto* box = qobject_cast<QLineEdit*>(f); box && !box->inputMask().isEmpty()) {
            QTest::keyClick(f, Qt::Key_Home);
        } else {
            QTest::keyClick(f, Qt::Key_A, Qt::ControlModifier);
        }
        if (!text.isEmpty())
            QTest::keyClicks(f, text);
    }
    static void pressEnter() { QTest::keyClick(focused(), Qt::Key_Return); }
    static void pressTab() { QTest::keyClick(focused(), Qt::Key_Tab); }
    static void enter(const QString& text)
    {
        typeHere(text);
        pressEnter();
    }
    void typeInto(const char* name, const QString& text)
    {
        click(find(name));
        expect(name);
        typeHere(text);
    }

    void header(const SurveyTyped& s)
    {
        auto* ships = find<QComboBox>("dcbShip");
        click(ships);
        QTest::keyClick(focused(), Qt::Key_Escape);  // the list's pop-up
        ships->setFocus();
        ships->setCurrentIndex(ships->findText(s.ship));
        typeInto("txtVoyageID", s.voyage);
        pressEnter();
        expect("dcbPort");
        auto* ports = find<QComboBox>("dcbPort");
        ports->setCurrentIndex(ports->findText(s.port));
        pressEnter();
        expect("txtCargo");
        typeHere(s.cargo);
        pressEnter();
    }

    // From the density box down the Enter route to the Calculate button, then the remarks.
    void draft(const DraftTyped& d)
    {
        typeInto("txtDensity", d.density);
        pressEnter();
        expect("mbxDate");
        enter(d.date);
        expect("mbxTime");
        enter(d.time);
        expect("txtFwdPort");
        for (const QString& r : d.readings)
            enter(r);
        for (const QString& m : d.marks)
            enter(m);
        expect("txtHDTGridTextbox");
        for (int c = 0; c < 4; ++c) {
            enter(d.below[c]);
            enter(d.above[c]);
        }
        expect("txtMPGridTextbox");
        enter(d.mctcPlus[0]);
        enter(d.mctcPlus[1]);
        expect("txtMMGridTextbox");
        enter(d.mctcMinus[0]);
        enter(d.mctcMinus[1]);
        expect("txtGridTextbox");
        for (const QString& q : d.deductions)
            enter(q);
        expect("cmdCalculate");
        click(find<QPlainTextEdit>("txtComments"));
        QTest::keyClicks(focused(), d.comments);
    }

    void calculate() { click(find<QPushButton>("cmdCalculate")); }

    void switchTo(int index)
    {
        QTabBar* bar = find<QTabWidget>("sstQuorvane")->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
        QApplication::processEvents();
    }

    int routeMisses = 0;

private:
    QWidget* m_window;
};

// --- One survey typed into a window opened afresh ------------------------------------------------

struct Steps {
    Samples open;
    Samples boxLeft;
    Samples calculateInitial;
    Samples calculateFinal;
    Samples tabs;
};

// What the window shows at the end, so that a run can be told to have reached the figures.
struct Shown {
    QString cargo;
    QString constant;
    QStringList messages;
    int routeMisses = 0;
};

QMdiSubWindow* frameOf(QWidget* child)
{
    return qobject_cast<QMdiSubWindow*>(child->parentWidget());
}

void settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

// Opens the window from the main window, types the survey and calculates both drafts; timings into
// `steps` (when given), pictures into `shots` (when not empty). Ends on the Initial tab, the
// window left open.
QWidget* survey(MainWindow* mdi, const SurveyTyped& s, Steps* steps, const QString& shots, Shown* shown)
{
    MessageService::clearRecords();
    QWidget* child = nullptr;
    const Timing open = timeStep(mdi, [&] { child = mdi->openChild(s.window); });
    if (!child)
        qFatal("no window %s", qPrintable(s.window));
    settle();
    const bool discharging = s.window == QLatin1String("frmZODuraduza");
    const QString stem = shots.isEmpty() ? QString()
                                         : QDir(shots).filePath(discharging ? QStringLiteral("discharging")
                                                                            : QStringLiteral("loading"));
    if (!shots.isEmpty())
        mdi->grab().save(stem + QStringLiteral("-opened.png"));
    Surveyor who(child);
    who.header(s);
    if (!shots.isEmpty()) {
        // Maximised once the ship is chosen: the focus leaves the ship list on the way, and a
        // window without a ship would say so.
        frameOf(child)->showMaximized();
        settle();
    }
    who.draft(s.initial);

    // A reading changed and left, then put back and left.
    const QString reading = s.initial.readings[0];
    const QString changed
        = reading.left(reading.size() - 1) + QLatin1Char(reading.endsWith(QLatin1Char('1')) ? '2' : '1');
    Timing left[2];
    int i = 0;
    for (const QString& typed : {changed, reading}) {
        who.typeInto("txtFwdPort", typed);
        left[i++] = timeStep(mdi, [] { Surveyor::pressTab(); });
        who.expect("txtFwdStbd");
    }

    const Timing initial = timeStep(mdi, [&] { who.calculate(); });
    if (!s.billOfLading.isEmpty()) {
        who.typeInto("txtBLQty", s.billOfLading);
        Surveyor::pressTab();
    }
    who.switchTo(2);
    who.draft(s.final);
    const Timing final = timeStep(mdi, [&] { who.calculate(); });
    who.switchTo(0);
    const Timing tabs = timeStep(mdi, [&] {
        who.switchTo(2);
        who.switchTo(0);
    });
    settle();

    if (!shots.isEmpty()) {
        mdi->grab().save(stem + QStringLiteral("-initial.png"));
        who.switchTo(2);
        settle();
        mdi->grab().save(stem + QStringLiteral("-final.png"));
        // The Daily tab with one draft check added.
        who.switchTo(1);
        settle();
        if (auto* add = child->findChild<QPushButton*>(QStringLiteral("cmdAddCheck")))
            add->click();
        settle();
        mdi->grab().save(stem + QStringLiteral("-daily.png"));
        who.switchTo(0);
        settle();
    }
    if (steps) {
        steps->open.add(open);
        steps->boxLeft.add(left[0]);
        steps->boxLeft.add(left[1]);
        steps->calculateInitial.add(initial);
        steps->calculateFinal.add(final);
        steps->tabs.add(tabs);
    }
    if (shown) {
        shown->cargo = who.find(discharging ? "txtFinTotCargoDis" : "txtTotCargoLoaded")->text();
        shown->constant = who.find(discharging ? "txtAssumedConstant" : "txtConstant")->text();
        for (const MessageRecord& m : MessageService::records())
            shown->messages << m.text;
        shown->routeMisses = who.routeMisses;
    }
    return child;
}

// Closes the window as the surveyor does, from its frame, and lets it go.
void close(QWidget* child)
{
    QPointer<QWidget> gone(child);
    if (QMdiSubWindow* frame = frameOf(child))
        frame->close();
    else
        child->close();
    settle();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (gone)
        std::fprintf(stderr, "the window did not close\n");
}

bool run(const QString& program, const QStringList& arguments)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(program, arguments);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        std::fprintf(stderr, "failed: %s %s\n", qPrintable(program), qPrintable(arguments.join(' ')));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir root;
    // The settings of a first run, never the user's own.
    qputenv("XDG_CONFIG_HOME", root.filePath(QStringLiteral("config")).toLocal8Bit());
    QApplication app(argc, argv);
    int runs = 9;
    const QString here = QCoreApplication::applicationDirPath();
    QString mkdb = QDir(here).filePath(QStringLiteral("../tools/quorvane-mkdb"));
    QString shots;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--runs"))
            runs = qMax(1, args[i + 1].toInt());
        else if (args[i] == QLatin1String("--mkdb"))
            mkdb = args[i + 1];
        else if (args[i] == QLatin1String("--shots"))
            shots = args[i + 1];
    }

    SurveyTyped surveys[2];
    const QString examples = QStringLiteral(QUORVANE_SOURCE_DIR "/examples/");
    if (!readSurvey(examples + QStringLiteral("loading-port-hedland.json"), &surveys[0])
        || !readSurvey(examples + QStringLiteral("discharging-qingdao.json"), &surveys[1]))
        return 1;

    const QString dir = root.filePath(QStringLiteral("data"));
    QDir().mkpath(dir);
    if (!run(mkdb, {dir}) || !run(mkdb, {dir, QStringLiteral("--examples")}))
        return 1;
    MessageService::setTestMode(true);
    AppPaths::setAppDir(dir);
    if (!openTheDatabase())
        return 1;
    registerChildWindows();
    if (!shots.isEmpty()) {
        if (qEnvironmentVariableIsSet("BENCH_DARK"))
            useDarkPalette();
        if (const int points = qEnvironmentVariableIntValue("BENCH_FONT_PT"); points > 0) {
            QFont font = QApplication::font();
            font.setPointSize(points);
            QApplication::setFont(font);
        }
        QApplication::setCursorFlashTime(0);
    }
    MainWindow* mdi = MainWindow::showMainWindow();
    mdi->activateWindow();
    if (!QTest::qWaitForWindowActive(mdi))
        std::fprintf(stderr, "the main window did not become active\n");
    settle();

    if (!shots.isEmpty()) {
        QDir().mkpath(shots);
        for (const SurveyTyped& s : surveys) {
            Shown shown;
            QWidget* child = survey(mdi, s, nullptr, shots, &shown);
            std::printf("%s: cargo %s, constant %s, messages [%s]\n", qPrintable(s.window),
                        qPrintable(shown.cargo), qPrintable(shown.constant),
                        qPrintable(shown.messages.join(QStringLiteral(" | "))));
            close(child);
        }
        std::fflush(stdout);
        std::_Exit(0);
    }

    Steps steps[2];
    Shown shown[2];
    for (int k = 0; k < 2; ++k) {
        close(survey(mdi, surveys[k], nullptr, QString(), nullptr));  // warms the caches
        for (int r = 0; r < runs; ++r)
            close(survey(mdi, surveys[k], &steps[k], QString(), &shown[k]));
    }

    std::printf("median of %d runs after one to warm up, in ms: wall clock (processor time)\n", runs);
    std::printf("%-44s %18s %18s\n", "", "Loading", "Discharging");
    const auto line = [&](const char* what, Samples Steps::*field) {
        const Timing a = (steps[0].*field).medians();
        const Timing b = (steps[1].*field).medians();
        std::printf("%-44s %9.1f (%6.1f) %9.1f (%6.1f)\n", what, a.wall, a.cpu, b.wall, b.cpu);
    };
    line("open the window from the main window", &Steps::open);
    line("a reading box left with Tab", &Steps::boxLeft);
    line("Calculate, Initial draft", &Steps::calculateInitial);
    line("Calculate, Final draft", &Steps::calculateFinal);
    line("tabs Initial -> Final -> Initial", &Steps::tabs);
    for (int k = 0; k < 2; ++k)
        std::printf("%s shows cargo %s, constant %s; %d focus misses; messages [%s]\n",
                    qPrintable(surveys[k].window), qPrintable(shown[k].cargo), qPrintable(shown[k].constant),
                    shown[k].routeMisses, qPrintable(shown[k].messages.join(QStringLiteral(" | "))));
    std::fflush(stdout);
    std::_Exit(0);  // the main window is left standing: closing it is not timed
}
