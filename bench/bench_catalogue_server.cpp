// The company's catalogue server, timed on a throw-away local PostgreSQL server
// (tools/pg_server.sh): the start of the main window with no server set, with one out of reach
// and with one in reach (the copy is brought up to date behind the window, so the start should
// not move); the first update of 10,000 ships and 500 hydrostatic tables into an empty copy; a
// later update with one ship changed; the same with 100 ships' tank tables, and one ship's tanks
// changed. Prints timings; it checks nothing.
//
//   bench_catalogue_server [--runs N] [--pictures DIR]
//                      --pictures: the main window (1366x768) with the copy up to date, with the
//                      server out of reach, and Tools, Catalogue Server, as PNG files in DIR
#include "core/AppPaths.h"
#include "core/MessageService.h"
#include "db/Connection.h"
#include "db/Database.h"
#include "server/CatalogueServer.h"
#include "server/PgSession.h"
#include "server/ServerSchema.h"
#include "shell/CatalogueLink.h"
#include "shell/ChildRegistry.h"
#include "shell/MainWindow.h"
#include "shell/Startup.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

QString script()
{
    return QStringLiteral(QUORVANE_SOURCE_DIR "/tools/pg_server.sh");
}

QString runScript(const QString& command, const QString& state)
{
    QProcess p;
    p.start(QStringLiteral("bash"), {script(), command, state});
    p.waitForFinished(120000);
    if (p.exitCode() != 0)
        std::fprintf(
            stderr, "pg_server.sh %s: %s\n", qPrintable(command), p.readAllStandardError().constData());
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

void copyDelivered(const QString& to)
{
    for (const char* name : {"DS.dat", "DS.lib"}) {
        const QString target = to + QLatin1Char('/') + QLatin1String(name);
        QFile::remove(target);
        QFile::copy(QStringLiteral(QUORVANE_DELIVERED_DIR "/") + QLatin1String(name), target);
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    }
}

// The window's start as the user waits for it: the database opened, the main window shown, the
// catalogue link started. The update it starts is waited for afterwards, outside the timing.
double startOnce(const QString& uri)
{
    const auto start = Clock::now();
    openDatabase();
    auto* mdi = new MainWindow;
    mdi->show();
    CatalogueLink::start(*mdi, uri);
    QApplication::processEvents();
    const double ms = msSince(start);
    auto* link = mdi->findChild<QObject*>(QStringLiteral("catalogueLink"));
    // Until the panel shows the outcome: the update finished.
    if (link)
        for (int i = 0; i < 500; ++i) {
            QApplication::processEvents(QEventLoop::AllEvents, 10);
            const auto* panel = mdi->findChild<QWidget*>(QStringLiteral("sbCatalogue"));
            const QString text = panel ? panel->property("text").toString() : QString();
            if (!text.contains(QLatin1String("bringing")))
                break;
        }
    delete mdi;
    closeDatabase();
    CatalogueServer::shared().setUri(QString());
    return ms;
}

// The three kinds of start in turn, round after round, so that the machine's own ups and downs
// fall on all three alike.
void startUps(const QStringList& what, const QStringList& uris, int runs)
{
    std::vector<std::vector<double>> times(uris.size());
    for (const QString& uri : uris)
        startOnce(uri); // warm
    for (int i = 0; i < runs; ++i)
        for (int k = 0; k < uris.size(); ++k)
            times[k].push_back(startOnce(uris.at(k)));
    for (int k = 0; k < uris.size(); ++k) {
        std::sort(times[k].begin(), times[k].end());
        std::printf("%-44s median %8.1f ms  (min %.1f, max %.1f, %d runs)\n", qPrintable(what.at(k)),
            times[k][times[k].size() / 2], times[k].front(), times[k].back(), runs);
    }
}

// The main window as the user sees it with a server in reach and then out of reach.
void pictures(const QString& dir, const QString& uri, const QString& state)
{
    openDatabase();
    auto* mdi = new MainWindow;
    mdi->resize(1366, 768);
    mdi->show();
    mdi->openChild(QStringLiteral("frmShipParticulars"));
    CatalogueLink::start(*mdi, uri);
    auto settle = [mdi](const char* waitFor) {
        for (int i = 0; i < 500; ++i) {
            QApplication::processEvents(QEventLoop::AllEvents, 10);
            const auto* panel = mdi->findChild<QWidget*>(QStringLiteral("sbCatalogue"));
            if (panel && panel->property("text").toString().startsWith(QLatin1String(waitFor)))
                return;
        }
    };
    settle("Catalogue up to date");
    mdi->grab().save(dir + QStringLiteral("/catalogue-in-reach.png"));
    runScript(QStringLiteral("pause"), state);
    CatalogueLink::updateNow(*mdi);
    settle("Catalogue server out of reach");
    mdi->grab().save(dir + QStringLiteral("/catalogue-out-of-reach.png"));
    runScript(QStringLiteral("resume"), state);
    QTimer::singleShot(300, [mdi, dir] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != mdi && w->isVisible() && w->inherits("QInputDialog")) {
                mdi->grab().save(dir + QStringLiteral("/catalogue-settings-behind.png"));
                w->grab().save(dir + QStringLiteral("/catalogue-settings.png"));
                w->close();
            }
    });
    mdi->findChild<QAction*>(QStringLiteral("mnuTools(20)"))->trigger();
    delete mdi;
    closeDatabase();
    CatalogueServer::shared().setUri(QString());
}

} // namespace

int main(int argc, char** argv)
{
    qputenv(
        "QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    MessageService::setTestMode(true);
    Startup::initResources();
    registerChildWindows();
    CatalogueLink::registerCommands();
    int runs = 9;
    QString pictureDir;
    for (int i = 1; i + 1 < argc; ++i) {
        if (qstrcmp(argv[i], "--runs") == 0)
            runs = std::max(1, QByteArray(argv[i + 1]).toInt());
        if (qstrcmp(argv[i], "--pictures") == 0)
            pictureDir = QString::fromLocal8Bit(argv[i + 1]);
    }

    QTemporaryDir stateDir;
    const QString state = stateDir.filePath(QStringLiteral("server.state"));
    const QString uri = runScript(QStringLiteral("start"), state);
    if (!uri.startsWith(QLatin1String("postgresql://")))
        return 1;
    try {
        PgSession admin;
        admin.connect(uri);
        ServerSchema::init(admin);
        admin.execScript(QStringLiteral(
            "BEGIN;"
            "INSERT INTO Port (PortName) SELECT 'Port ' || g FROM generate_series(1, 500) g;"
            "INSERT INTO Ship (ShipName, PortOfRegistry, LBP, LOA, Breadth, LightShip, CallSign, Flag,"
            " OfficialNo, IMONo, SummerDraft, SummerDeadweight, GrossTonnage, NetTonnage)"
            " SELECT 'Ship ' || g, 1 + g % 500, 180 + g % 40 * 0.25, 190.5, 32.26, 9000 + g, 'C' || g,"
            " 'Panama', g, 9000000 + g, 12.85, 63500.25, 36000, 21000 FROM generate_series(1, 10000) g;"
            "INSERT INTO HydrostaticTable (ShipID, Density) SELECT ShipID, 1.025 FROM Ship"
            " ORDER BY ShipID LIMIT 500;"
            "INSERT INTO HydrostaticRow SELECT t.ShipID, r, 4 + r * 0.1, 20000 + r * 55.5, 55.1, -1.9, 700 + "
            "r"
            " FROM HydrostaticTable t, generate_series(0, 99) r;"
            "COMMIT;"));
    } catch (const ServerError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        runScript(QStringLiteral("stop"), state);
        return 1;
    }
    std::printf("server: 10,000 ships, 500 ports, 500 hydrostatic tables of 100 rows\n");

    QTemporaryDir dir;
    AppPaths::setAppDir(dir.path());

    if (!pictureDir.isEmpty()) {
        copyDelivered(dir.path());
        pictures(pictureDir, uri, state);
        runScript(QStringLiteral("stop"), state);
        return 0;
    }

    // The first update into an empty copy, and a later one with one ship changed.
    std::vector<double> first;
    std::vector<double> later;
    for (int i = 0; i < std::max(3, runs / 3); ++i) {
        copyDelivered(dir.path());
        Connection copy;
        openOnDir(copy, dir.path());
        CatalogueServer server;
        server.setUri(uri);
        server.session(); // connected before the timing, as the window's session is
        auto start = Clock::now();
        const CatalogueServer::UpdateOutcome o = server.update(copy);
        first.push_back(msSince(start));
        if (!o.done)
            std::fprintf(stderr, "update failed: %s\n", qPrintable(o.error));
        for (int k = 0; k < runs; ++k) {
            server.session().exec(QStringLiteral("UPDATE Ship SET Flag = $1 WHERE ShipName = 'Ship 77'"),
                {QStringLiteral("Flag %1").arg(k)});
            start = Clock::now();
            server.update(copy);
            later.push_back(msSince(start));
        }
    }
    std::sort(first.begin(), first.end());
    std::sort(later.begin(), later.end());
    std::printf("%-44s median %8.1f ms  (min %.1f, max %.1f)\n", "first update into an empty copy",
        first[first.size() / 2], first.front(), first.back());
    std::printf("%-44s median %8.1f ms  (min %.1f, max %.1f)\n", "later update, one ship changed",
        later[later.size() / 2], later.front(), later.back());

    // The same with 100 ships' tank tables (12 tanks of 60 gauges at 4 trims each), and a later
    // update with one tank's row changed (the ship's tanks come whole).
    try {
        PgSession admin;
        admin.connect(uri);
        admin.execScript(QStringLiteral(
            "BEGIN;"
            "INSERT INTO TankTableChanges (ShipID) SELECT ShipID FROM Ship ORDER BY ShipID LIMIT 100;"
            "INSERT INTO TankTable SELECT h.ShipID, k, 'Tank ' || k, 'Ballast', 'sounding', 1.025,"
            " '-1;0;1;2', '' FROM TankTableChanges h, generate_series(1, 12) k;"
            "INSERT INTO TankRow SELECT t.ShipID, t.TankNo, g, g * 5, (g * 2.5) || ';' || (g * 2.5 + 0.1)"
            " || ';' || (g * 2.5 + 0.2) || ';' || (g * 2.5 + 0.3), '' FROM TankTable t,"
            " generate_series(1, 60) g;"
            "COMMIT;"));
    } catch (const ServerError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
    }
    std::vector<double> withTanks;
    std::vector<double> oneTank;
    for (int i = 0; i < std::max(3, runs / 3); ++i) {
        copyDelivered(dir.path());
        Connection copy;
        openOnDir(copy, dir.path());
        CatalogueServer server;
        server.setUri(uri);
        server.session();
        auto start = Clock::now();
        const CatalogueServer::UpdateOutcome o = server.update(copy);
        withTanks.push_back(msSince(start));
        if (!o.done)
            std::fprintf(stderr, "update failed: %s\n", qPrintable(o.error));
        for (int k = 0; k < runs; ++k) {
            server.session().exec(
                QStringLiteral("UPDATE TankRow SET Volumes = $1 WHERE ShipID = (SELECT min(ShipID) FROM "
                               "TankTableChanges) AND TankNo = 1 AND RowNo = 1"),
                {QStringLiteral("2.5;2.6;2.7;%1").arg(k)});
            start = Clock::now();
            server.update(copy);
            oneTank.push_back(msSince(start));
        }
    }
    std::sort(withTanks.begin(), withTanks.end());
    std::sort(oneTank.begin(), oneTank.end());
    std::printf("%-44s median %8.1f ms  (min %.1f, max %.1f)\n", "first update, 100 ships' tank tables too",
        withTanks[withTanks.size() / 2], withTanks.front(), withTanks.back());
    std::printf("%-44s median %8.1f ms  (min %.1f, max %.1f)\n", "later update, one ship's tanks changed",
        oneTank[oneTank.size() / 2], oneTank.front(), oneTank.back());

    // The starts, on a copy already brought up to date (the everyday start).
    startUps({QStringLiteral("start-up, no server"), QStringLiteral("start-up, server out of reach"),
                 QStringLiteral("start-up, server in reach")},
        {QString(), QStringLiteral("postgresql://nobody@127.0.0.1:1/catalogue"), uri}, runs);

    runScript(QStringLiteral("stop"), state);
    return 0;
}
