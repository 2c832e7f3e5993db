// The ships' tank calibration tables on the company's catalogue server (a real PostgreSQL server,
// started for this program alone by tools/pg_server.sh): a ship's tanks written by one surveyor
// reach another's copy to the digit, a write made on older tables is refused with the other
// change shown, a ship deleted on the server takes her tanks out of every copy, and the command
// line's --import-tanks goes to the server.

#include "core/MessageService.h"
#include "core/VbError.h"
#include "db/ChangeCount.h"
#include "db/Connection.h"
#include "db/Database.h"
#include "db/TankStore.h"
#include "model/TankTable.h"
#include "server/CatalogueCopy.h"
#include "server/CatalogueServer.h"
#include "server/PgSession.h"
#include "ships/TankTableWindow.h"
#include "tests/TankTestTables.h"
#include "tests/ServerSurveyor.h"
#include "tests/TestSupport.h"
#include "ui/CatalogueBanner.h"
#include "ui/CatalogueWrites.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <sqlite3.h>

namespace {

using ServerTestSupport::serverScript;
using ServerTestSupport::uriFor;

// One surveyor's program, with what these tests read of its copy.
struct Surveyor : ServerTestSupport::Surveyor {
    using ServerTestSupport::Surveyor::Surveyor;
    int count(const QString& sql)
    {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(copy.handle(), sql.toUtf8().constData(), -1, &stmt, nullptr) != SQLITE_OK)
            return -1;
        const int n = sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int(stmt, 0) : -1;
        sqlite3_finalize(stmt);
        return n;
    }
    // The count of writes of the ship's tank tables in this copy (0: never written).
    qint64 tankCount(int shipId)
    {
        qint64 n = 0;
        TankStore::load(copy, shipId, &n);
        return n;
    }
    // A ship added on the server (and so in this copy), with a port of her own.
    int addShip(const QString& name)
    {
        const int portId = server.savePort(copy, 0, name + QStringLiteral(" port"), QString(), QString()).id;
        SqlCatalogue::ShipValues v;
        v.shipName = name;
        v.portOfRegistry = QString::number(portId);
        v.lbp = QStringLiteral("189.99");
        v.breadth = QStringLiteral("32.26");
        return server.saveShip(copy, 0, v).id;
    }
};

// Tanks whose figures are written in every way a booklet writes them: trailing zeros, negative
// trims, heel columns, an ullage tank, a tank without a density.
QVector<TankStore::StoredTank> bookletTanks()
{
    TankStore::StoredTank ballast{QStringLiteral("No.1 DB WBT (P)"), QStringLiteral("Ballast"),
        QStringLiteral("sounding"), QStringLiteral("1.0250"), QStringLiteral("-1.0;0;0.50;2"),
        QStringLiteral("-2;1.5"),
        {{QStringLiteral("0"), QStringLiteral("0;0;0;0"), QStringLiteral("0;0")},
            {QStringLiteral("12.5"), QStringLiteral("10.125;12.000;14.3;16"), QStringLiteral("-0.40;0.6")},
            {QStringLiteral("100.00"), QStringLiteral("30.1;32.02;34.003;36.0004"),
                QStringLiteral("-0.8;1.00")}}};
    TankStore::StoredTank fresh{QStringLiteral("FWT \"aft\""), QStringLiteral("Fresh Water"),
        QStringLiteral("ullage"), QStringLiteral("1.000"), QStringLiteral("0;1"), QString(),
        {{QStringLiteral("0"), QStringLiteral("100;98"), QString()},
            {QStringLiteral("200.5"), QStringLiteral("0;0"), QString()}}};
    TankStore::StoredTank fuel{QStringLiteral("FO1 'centre'"), QStringLiteral("Fuel Oil"),
        QStringLiteral("sounding"), QString(), QStringLiteral("-0.5;0.5"), QString(),
        {{QStringLiteral("0.0"), QStringLiteral("0.000;0.000"), QString()},
            {QStringLiteral("10"), QStringLiteral("5.0000000001;5.0000000002"), QString()}}};
    return {ballast, fresh, fuel};
}

// Every field of every tank and row, or the first that differs.
void compareTanks(const QVector<TankStore::StoredTank>& got, const QVector<TankStore::StoredTank>& want)
{
    QCOMPARE(got.size(), want.size());
    for (int t = 0; t < want.size(); ++t) {
        QCOMPARE(got[t].name, want[t].name);
        QCOMPARE(got[t].group, want[t].group);
        QCOMPARE(got[t].gauge, want[t].gauge);
        QCOMPARE(got[t].density, want[t].density);
        QCOMPARE(got[t].trims, want[t].trims);
        QCOMPARE(got[t].heels, want[t].heels);
        QCOMPARE(got[t].rows.size(), want[t].rows.size());
        for (int r = 0; r < want[t].rows.size(); ++r) {
            QCOMPARE(got[t].rows[r].gauge, want[t].rows[r].gauge);
            QCOMPARE(got[t].rows[r].volumes, want[t].rows[r].volumes);
            QCOMPARE(got[t].rows[r].heel, want[t].rows[r].heel);
        }
    }
}

} // namespace

class TestCatalogueServerTanks : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void tankTablesReachAnotherCopyToTheDigit();
    void aWriteOnOlderTankTablesIsRefused();
    void theServersOwnChangesReachTheCopies();
    void deletingAShipTakesHerTanksFromEveryCopy();
    void theWindowsWritePath();
    void theTankTablesWindowThroughTheServer();
    void importTanksGoesToTheServer();

private:
    QString m_admin;
    QString m_editor;
    QString m_reader;
};

void TestCatalogueServerTanks::initTestCase()
{
    TestSupport::initTestEnvironment();
    serverScript(QStringLiteral("stop"));
    m_admin = serverScript(QStringLiteral("start"));
    QVERIFY2(m_admin.startsWith(QLatin1String("postgresql://")), "the test server did not start");
    const TestSupport::Run init = TestSupport::runProgram(
        QStringLiteral(QUORVANE_MKDB_BIN), {QStringLiteral("--server"), m_admin, QStringLiteral("--init")});
    QVERIFY2(init.status == 0, qPrintable(init.err));
    PgSession admin;
    admin.connect(m_admin);
    admin.execScript(QStringLiteral("CREATE ROLE alice LOGIN IN ROLE quorvane_reader;"
                                    "CREATE ROLE bob LOGIN IN ROLE quorvane_editor;"));
    m_editor = uriFor(m_admin, QStringLiteral("bob"));
    m_reader = uriFor(m_admin, QStringLiteral("alice"));
}

void TestCatalogueServerTanks::cleanupTestCase()
{
    serverScript(QStringLiteral("stop"));
}

void TestCatalogueServerTanks::tankTablesReachAnotherCopyToTheDigit()
{
    Surveyor one(m_editor);
    Surveyor two(m_editor);
    QVERIFY(one.server.update(one.copy).done);
    QVERIFY(two.server.update(two.copy).done);
    const int shipId = one.addShip(QStringLiteral("Tank Tern"));
    QVERIFY(shipId > 0);
    QVector<TankStore::StoredTank> tanks = bookletTanks();
    const CatalogueServer::WriteOutcome saved = one.server.saveTanks(one.copy, shipId, tanks);
    QVERIFY2(saved.done, qPrintable(saved.message));
    // The writer's copy holds them at once, as the server has them.
    compareTanks(TankStore::load(one.copy, shipId), tanks);

    // Into a copy brought up to date before, and into an empty one: every gauge, volume, trim,
    // heel and density as it was written.
    Surveyor fresh(m_reader);
    for (Surveyor* other : {&two, &fresh}) {
        const CatalogueServer::UpdateOutcome update = other->server.update(other->copy);
        QVERIFY2(update.done, qPrintable(update.error));
        compareTanks(TankStore::load(other->copy, shipId), tanks);
        QCOMPARE(TankTables::loadForShip(shipId, &other->copy), TankTables::loadForShip(shipId, &one.copy));
    }
    // The model reads them as the same figures: a volume worked out on either copy is the same.
    const TankTables read = TankTables::loadForShip(shipId, &two.copy);
    QCOMPARE(read.tanks.size(), 3);
    QCOMPARE(read.tanks[0].rows[1].volumes[2].toString(), QStringLiteral("14.3"));
    QVERIFY(!read.tanks[2].density);

    // Nothing new: the copy's tanks are not written again, and their count of writes stays.
    const qint64 counted = two.tankCount(shipId);
    QVERIFY(counted >= 1);
    QCOMPARE(two.server.update(two.copy).rows, 0);
    QCOMPARE(two.tankCount(shipId), counted);

    // One figure corrected by one surveyor: the other's copy takes the ship's tanks whole, with
    // only her changed, and counts it as a write the window did not see.
    tanks[0].rows[2].volumes = QStringLiteral("30.1;32.02;34.004;36.0004");
    tanks.removeAt(1);
    QVERIFY(one.server.saveTanks(one.copy, shipId, tanks).done);
    QCOMPARE(two.server.update(two.copy).rows, 1);
    compareTanks(TankStore::load(two.copy, shipId), tanks);
    QCOMPARE(two.tankCount(shipId), counted + 1);
    QCOMPARE(two.count(QStringLiteral("SELECT count(*) FROM TankRow WHERE ShipID = %1").arg(shipId)), 5);

    // All her tanks taken off: gone from the other copy too, the ship stays.
    QVERIFY(one.server.saveTanks(one.copy, shipId, {}).done);
    QCOMPARE(two.server.update(two.copy).rows, 1);
    QVERIFY(TankStore::load(two.copy, shipId).isEmpty());
    QCOMPARE(two.count(QStringLiteral("SELECT count(*) FROM TankRow WHERE ShipID = %1").arg(shipId)), 0);
    QCOMPARE(two.count(QStringLiteral("SELECT count(*) FROM Ship WHERE ShipID = %1").arg(shipId)), 1);
    QCOMPARE(two.tankCount(shipId), counted + 2);
    // And given again.
    QVERIFY(two.server.saveTanks(two.copy, shipId, bookletTanks()).done);
    QVERIFY(one.server.update(one.copy).done);
    compareTanks(TankStore::load(one.copy, shipId), bookletTanks());
}

void TestCatalogueServerTanks::aWriteOnOlderTankTablesIsRefused()
{
    Surveyor one(m_editor);
    Surveyor two(m_editor);
    QVERIFY(one.server.update(one.copy).done);
    const int shipId = one.addShip(QStringLiteral("Slack Tern"));
    QVERIFY(one.server.saveTanks(one.copy, shipId, bookletTanks()).done);
    QVERIFY(two.server.update(two.copy).done);

    // One surveyor corrects a volume and adds a tank; the other, on the tables as read before,
    // changes a density.
    QVector<TankStore::StoredTank> corrected = bookletTanks();
    corrected[0].rows[1].volumes = QStringLiteral("10.125;12.000;14.4;16");
    TankStore::StoredTank apt{QStringLiteral("APT"), QStringLiteral("Ballast"), QStringLiteral("sounding"),
        QStringLiteral("1.025"), QStringLiteral("0"), QString(),
        {{QStringLiteral("0"), QStringLiteral("0"), QString()},
            {QStringLiteral("100"), QStringLiteral("55.5"), QString()}}};
    corrected.append(apt);
    QVERIFY(one.server.saveTanks(one.copy, shipId, corrected).done);
    QVector<TankStore::StoredTank> stale = bookletTanks();
    stale[1].density = QStringLiteral("1.005");
    const CatalogueServer::WriteOutcome refused = two.server.saveTanks(two.copy, shipId, stale);
    QVERIFY(!refused.done);
    QVERIFY(refused.conflict);
    // The message shows the other change: the tank and the gauge corrected, the tank added.
    QVERIFY2(refused.message.startsWith(QLatin1String(
                 "The tank tables of the ship \"Slack Tern\" were changed in the catalogue by someone else "
                 "since this copy read them; your tables were not saved.")),
        qPrintable(refused.message));
    QVERIFY2(refused.message.contains(QLatin1String("tank \"No.1 DB WBT (P)\" changed (gauges 12.5)")),
        qPrintable(refused.message));
    QVERIFY2(refused.message.contains(QLatin1String("tank \"APT\" added")), qPrintable(refused.message));
    // Never a silent overwrite: the server keeps the first surveyor's tables, and the refused
    // copy now holds them too.
    Surveyor third(m_reader);
    QVERIFY(third.server.update(third.copy).done);
    compareTanks(TankStore::load(third.copy, shipId), corrected);
    compareTanks(TankStore::load(two.copy, shipId), corrected);

    // Two surveyors both giving tanks to a ship that had none: the second is refused too.
    const int bare = one.addShip(QStringLiteral("Bare Tern"));
    QVERIFY(two.server.update(two.copy).done);
    QVERIFY(one.server.saveTanks(one.copy, bare, {apt}).done);
    const CatalogueServer::WriteOutcome second = two.server.saveTanks(two.copy, bare, bookletTanks());
    QVERIFY(second.conflict);
    QVERIFY2(second.message.contains(QLatin1String("tank \"APT\" added")), qPrintable(second.message));
    compareTanks(TankStore::load(two.copy, bare), {apt});

    // A ship deleted by someone else meanwhile: refused, and said so.
    QVERIFY(one.server.deleteShip(one.copy, bare).done);
    const CatalogueServer::WriteOutcome gone = two.server.saveTanks(two.copy, bare, {apt});
    QVERIFY(!gone.done);
    QVERIFY2(
        gone.message.contains(QLatin1String("was deleted from the catalogue")), qPrintable(gone.message));
}

void TestCatalogueServerTanks::theServersOwnChangesReachTheCopies()
{
    // A correction made on the server itself (by SQL, by the company's administrator) is a
    // change of the ship's tank tables like any other.
    Surveyor one(m_editor);
    QVERIFY(one.server.update(one.copy).done);
    const int shipId = one.addShip(QStringLiteral("Sql Tern"));
    QVERIFY(one.server.saveTanks(one.copy, shipId, bookletTanks()).done);
    Surveyor two(m_reader);
    QVERIFY(two.server.update(two.copy).done);
    PgSession bob;
    bob.connect(m_editor);
    const QString id = QString::number(shipId);
    QCOMPARE(bob.exec(QStringLiteral("UPDATE TankRow SET Volumes = '0;100' WHERE ShipID = $1 AND TankNo = 2 "
                                     "AND RowNo = 1"),
                 {id}),
        1);
    QCOMPARE(two.server.update(two.copy).rows, 1);
    QCOMPARE(TankStore::load(two.copy, shipId).at(1).rows.at(0).volumes, QStringLiteral("0;100"));
    QCOMPARE(bob.exec(QStringLiteral("DELETE FROM TankTable WHERE ShipID = $1 AND TankNo = 3"), {id}), 1);
    QCOMPARE(two.server.update(two.copy).rows, 1);
    QCOMPARE(TankStore::load(two.copy, shipId).size(), 2);
    // Only the tables' owner takes a ship's row of tank tables away: it goes with the ship.
    try {
        bob.exec(QStringLiteral("DELETE FROM TankTableChanges WHERE ShipID = $1"), {id});
        QFAIL("the editor deleted a ship's row of tank tables");
    } catch (const ServerError& e) {
        QVERIFY2(e.message().contains(QLatin1String("permission denied")), qPrintable(e.message()));
    }

    // The reading role may give a ship tanks, but not change them: the server says so.
    Surveyor reader(m_reader);
    QVERIFY(reader.server.update(reader.copy).done);
    const int bare = one.addShip(QStringLiteral("Reader Tern"));
    QVERIFY(reader.server.update(reader.copy).done);
    const CatalogueServer::WriteOutcome given = reader.server.saveTanks(reader.copy, bare, bookletTanks());
    QVERIFY2(given.done, qPrintable(given.message));
    const CatalogueServer::WriteOutcome changed = reader.server.saveTanks(reader.copy, bare, {});
    QVERIFY(!changed.done);
    QVERIFY(!changed.conflict);
    QVERIFY2(changed.message.contains(QLatin1String("permission denied")), qPrintable(changed.message));
    compareTanks(TankStore::load(reader.copy, bare), bookletTanks());
}

void TestCatalogueServerTanks::deletingAShipTakesHerTanksFromEveryCopy()
{
    Surveyor one(m_editor);
    Surveyor two(m_editor);
    QVERIFY(one.server.update(one.copy).done);
    const int shipId = one.addShip(QStringLiteral("Gone Tern"));
    const int other = one.addShip(QStringLiteral("Staying Tern"));
    QVERIFY(one.server.saveTanks(one.copy, shipId, bookletTanks()).done);
    QVERIFY(one.server.saveTanks(one.copy, other, bookletTanks()).done);
    QVERIFY(two.server.update(two.copy).done);
    QCOMPARE(TankStore::load(two.copy, shipId).size(), 3);

    QVERIFY(one.server.deleteShip(one.copy, shipId).done);
    QVERIFY(TankStore::load(one.copy, shipId).isEmpty());
    QVERIFY(two.server.update(two.copy).done);
    for (Surveyor* s : {&one, &two}) {
        for (const char* table : {"Ship", "TankTable", "TankRow", "TankTableChanges"})
            QCOMPARE(s->count(QStringLiteral("SELECT count(*) FROM %1 WHERE ShipID = %2")
                                  .arg(QLatin1String(table))
                                  .arg(shipId)),
                0);
        compareTanks(TankStore::load(s->copy, other), bookletTanks());
    }
    PgSession admin;
    admin.connect(m_admin);
    QCOMPARE(admin
                 .query(QStringLiteral("SELECT count(*) FROM TankRow WHERE ShipID = $1"),
                     {QString::number(shipId)})
                 .value(0)
                 .value(0),
        QStringLiteral("0"));
    // Her port deleted: the other ship and her tanks leave the copies the same way.
    const int portId
        = one.count(QStringLiteral("SELECT PortOfRegistry FROM Ship WHERE ShipID = %1").arg(other));
    QVERIFY(one.server.deletePort(one.copy, portId).done);
    QVERIFY(two.server.update(two.copy).done);
    QVERIFY(TankStore::load(two.copy, other).isEmpty());
    QCOMPARE(two.count(QStringLiteral("SELECT count(*) FROM TankRow WHERE ShipID = %1").arg(other)), 0);
}

void TestCatalogueServerTanks::theWindowsWritePath()
{
    // What the Tank Tables window's Save calls: CatalogueWrites::saveTankTables, with the count
    // of writes it read with the tables.
    QTemporaryDir dir;
    QVERIFY(TestSupport::openFreshDatabaseCopy(dir));
    CatalogueServer& server = CatalogueServer::shared();
    server.setUri(m_editor);
    QVERIFY(server.update(sharedConnection()).done);
    const int portId
        = server.savePort(sharedConnection(), 0, QStringLiteral("Hay Point"), QString(), QString()).id;
    SqlCatalogue::ShipValues v;
    v.shipName = QStringLiteral("Window Tern");
    v.portOfRegistry = QString::number(portId);
    const int shipId = server.saveShip(sharedConnection(), 0, v).id;
    QVERIFY(shipId > 0);

    TankTables tables;
    tables.tanks = {TankTestTables::ballastTank(), TankTestTables::ullageTank()};
    qint64 count = -1;
    QVERIFY(TankTables::loadForShip(shipId, nullptr, &count).isEmpty());
    QCOMPARE(count, 0);
    QVERIFY(CatalogueWrites::saveTankTables(shipId, tables, count));
    QVERIFY(count >= 1);
    QCOMPARE(count, CatalogueWrites::countInCopy(QStringLiteral("TankTableChanges"), shipId));
    QCOMPARE(TankTables::loadForShip(shipId), tables);
    Surveyor other(m_editor);
    QVERIFY(other.server.update(other.copy).done);
    QCOMPARE(TankTables::loadForShip(shipId, &other.copy), tables);

    // Saved again by the window on what it saved: its count is the copy's, the server takes it.
    tables.tanks.append(TankTestTables::fuelTank());
    QVERIFY(CatalogueWrites::saveTankTables(shipId, tables, count));
    QVERIFY(other.server.update(other.copy).done);
    QCOMPARE(TankTables::loadForShip(shipId, &other.copy), tables);

    // Someone else's change brought into the copy while the window was open: the window's save is
    // refused before it reaches the server (the window then offers the tables as stored now).
    TankTables theirs = tables;
    theirs.tanks.removeLast();
    QVERIFY(other.server.saveTanks(other.copy, shipId, TankTables::stored(theirs)).done);
    QVERIFY(server.update(sharedConnection()).done);
    try {
        CatalogueWrites::saveTankTables(shipId, tables, count);
        QFAIL("a save over tables changed meanwhile went through");
    } catch (const VbError& e) {
        QCOMPARE(e.number(), ChangeCount::ChangedMeanwhile);
    }
    QCOMPARE(TankTables::loadForShip(shipId), theirs);

    // Someone else's change not yet in the copy: the server refuses, the window is told, and the
    // copy takes the other tables.
    TankTables before;
    TankTables::loadForShip(shipId, nullptr, &count);
    theirs.tanks.first().density = TankTestTables::d("1.0125");
    QVERIFY(other.server.saveTanks(other.copy, shipId, TankTables::stored(theirs)).done);
    MessageService::clearRecords();
    QVERIFY(!CatalogueWrites::saveTankTables(shipId, tables, count));
    const QString told = TestSupport::messageTexts().value(0);
    QVERIFY2(told.contains(QLatin1String("were changed in the catalogue by someone else")), qPrintable(told));
    QVERIFY2(told.contains(QLatin1String("tank \"DB1P\" changed (density)")), qPrintable(told));
    QCOMPARE(TankTables::loadForShip(shipId), theirs);

    // The server out of reach: nothing is written anywhere, and the window says why.
    serverScript(QStringLiteral("pause"));
    TankTables::loadForShip(shipId, nullptr, &count);
    MessageService::clearRecords();
    QVERIFY(!CatalogueWrites::saveTankTables(shipId, tables, count));
    QVERIFY2(TestSupport::messageTexts().value(0).startsWith(
                 QLatin1String("The catalogue server is out of reach")),
        qPrintable(TestSupport::messageTexts().value(0)));
    QCOMPARE(TankTables::loadForShip(shipId), theirs);
    MessageService::clearRecords();
    QVERIFY(!CatalogueWrites::saveTankTables(shipId, tables, count));
    QCOMPARE(TestSupport::messageTexts().size(), 1);
    serverScript(QStringLiteral("resume"));
    QVERIFY(server.update(sharedConnection()).done);
    QVERIFY(CatalogueWrites::saveTankTables(shipId, tables, count));
    QVERIFY(other.server.update(other.copy).done);
    QCOMPARE(TankTables::loadForShip(shipId, &other.copy), tables);

    // Without a server the window writes into DS.dat as before.
    server.setUri(QString());
    tables.tanks.removeFirst();
    const qint64 read = count;
    QVERIFY(CatalogueWrites::saveTankTables(shipId, tables, count));
    QCOMPARE(count, read + 1);
    QCOMPARE(TankTables::loadForShip(shipId), tables);
    closeDatabase();
}

// The Tank Tables window with a server set: a volume corrected by keys and saved reaches another
// copy; newer tables brought in while it is open are shown when it holds no edits; out of reach
// it says it is read-only, and why, and its save is refused with the reason, the edit kept.
void TestCatalogueServerTanks::theTankTablesWindowThroughTheServer()
{
    QTemporaryDir dir;
    QVERIFY(TestSupport::openFreshDatabaseCopy(dir));
    CatalogueServer& server = CatalogueServer::shared();
    server.setUri(m_editor);
    QVERIFY(server.update(sharedConnection()).done);
    const int portId
        = server.savePort(sharedConnection(), 0, QStringLiteral("Gladstone"), QString(), QString()).id;
    SqlCatalogue::ShipValues v;
    v.shipName = QStringLiteral("Window Petrel");
    v.portOfRegistry = QString::number(portId);
    const int shipId = server.saveShip(sharedConnection(), 0, v).id;
    TankTables tables;
    tables.tanks = {TankTestTables::ballastTank(), TankTestTables::ullageTank()};
    qint64 count = 0;
    QVERIFY(CatalogueWrites::saveTankTables(shipId, tables, count));
    Surveyor other(m_editor);
    QVERIFY(other.server.update(other.copy).done);

    auto* window = new TankTableWindow(shipId, v.shipName);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    auto* grid = window->findChild<QTableWidget*>(QStringLiteral("grdTankTable"));
    auto* banner = window->findChild<QLabel*>(QStringLiteral("lblCatalogue"));
    QVERIFY(grid && banner);
    QVERIFY(!banner->isVisible());
    const auto typeInto = [&](int row, int column, const QString& text) {
        grid->setFocus();
        grid->setCurrentCell(row, column);
        QTest::keyClick(grid, Qt::Key_F2);
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(grid->item(row, column)->text(), text);
    };
    const QString was = grid->item(3, 1)->text();
    const QString corrected = was + QStringLiteral("1");
    typeInto(3, 1, corrected);
    MessageService::clearRecords();
    QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("cmdSave")), Qt::LeftButton);
    QVERIFY2(TestSupport::messageTexts().isEmpty(), qPrintable(TestSupport::messageTexts().join('|')));
    QVERIFY(other.server.update(other.copy).done);
    const TankTables theirs = TankTables::loadForShip(shipId, &other.copy);
    QCOMPARE(theirs.tanks.first().rows.at(3).volumes.first().toString(), corrected);

    // Another surveyor's newer tables, brought in while the window holds no edits: shown.
    TankTables newer = theirs;
    newer.tanks.append(TankTestTables::fuelTank());
    QVERIFY(other.server.saveTanks(other.copy, shipId, TankTables::stored(newer)).done);
    QVERIFY(server.update(sharedConnection()).done);
    CatalogueBanner::announceCopyChanged();
    auto* tankList = window->findChild<QTableWidget*>(QStringLiteral("grdTanks"));
    QCOMPARE(tankList->rowCount(), 3);

    // Out of reach: read-only, and why; the table takes no typing, and an edit made before the
    // server went is refused at the save with the reason and stays on show.
    typeInto(3, 1, was);
    server.setUri(QStringLiteral("postgresql://bob@127.0.0.1:1/catalogue"));
    QVERIFY(server.update(sharedConnection()).unreachable);
    QVERIFY(banner->isVisible());
    QVERIFY2(banner->text().startsWith(QLatin1String("Read-only:")), qPrintable(banner->text()));
    QCOMPARE(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
    grid->setFocus();
    grid->setCurrentCell(4, 1);
    QTest::keyClick(grid, Qt::Key_F2);
    QVERIFY(!qobject_cast<QLineEdit*>(QApplication::focusWidget()));
    MessageService::clearRecords();
    QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("cmdSave")), Qt::LeftButton);
    QCOMPARE(TestSupport::messageTexts().size(), 1);
    const QString told = TestSupport::messageTexts().first();
    QVERIFY2(told.startsWith(QLatin1String("The catalogue server is out of reach")), qPrintable(told));
    QCOMPARE(grid->item(3, 1)->text(), was);
    QCOMPARE(TankTables::loadForShip(shipId), newer);
    // In reach again, the table takes typing as before.
    server.setUri(m_editor);
    QVERIFY(server.update(sharedConnection()).done);
    QVERIFY(grid->editTriggers() != QAbstractItemView::NoEditTriggers);

    MessageService::setNextAnswer(Msg::Answer::No); // leave the edit unsaved on closing
    delete window;
    server.setUri(QString());
    closeDatabase();
}

void TestCatalogueServerTanks::importTanksGoesToTheServer()
{
    Surveyor one(m_editor);
    QVERIFY(one.server.update(one.copy).done);
    const int shipId = one.addShip(QStringLiteral("Tern Hedland"));
    one.copy.close();

    QTemporaryDir fresh;
    TestSupport::copyDatabaseFiles(TestSupport::deliveredDir(), fresh.path());
    const QString csv = fresh.filePath(QStringLiteral("tanks.csv"));
    {
        QFile f(csv);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("Tank,Group,Sounding,Trim -1,Trim 0.5,Trim 1\n"
                "DB1P,Ballast,0,0,0,0\n"
                "DB1P,Ballast,50,10.5,12,13.25\n"
                "DB1P,Ballast,100,30,32.125,34\n"
                "FPT,Ballast,0,0,0,0\n"
                "FPT,Ballast,80,40,41,42\n");
    }
    // The ship came into the copy from the server first; the tables go to the server, and from
    // there into every copy.
    const QStringList server{QStringLiteral("--server"), m_editor};
    const TestSupport::Run import = TestSupport::runProgram(QStringLiteral(QUORVANE_LT_BIN),
        server
            + QStringList{QStringLiteral("--data-dir"), fresh.path(), QStringLiteral("--import-tanks"),
                QStringLiteral("Tern Hedland"), csv, QStringLiteral("--trim-sign"),
                QStringLiteral("stern-negative")});
    QVERIFY2(import.status == 0, qPrintable(import.err));
    PgSession s;
    s.connect(m_admin);
    QCOMPARE(
        s.query(QStringLiteral("SELECT count(*) FROM TankRow WHERE ShipID = $1"), {QString::number(shipId)})
            .value(0)
            .value(0),
        QStringLiteral("5"));
    // Stern-negative trims turned into the program's own: the file's trim 1 (by the head) is the
    // program's -1, its first column.
    QCOMPARE(
        s.query(QStringLiteral("SELECT Trims, Volumes FROM TankTable t JOIN TankRow r USING (ShipID, TankNo) "
                               "WHERE ShipID = $1 AND TankName = 'DB1P' AND r.Gauge = 50"),
             {QString::number(shipId)})
            .value(0),
        QStringList({QStringLiteral("-1;-0.5;1"), QStringLiteral("13.25;12;10.5")}));
    Surveyor other(m_reader);
    QVERIFY(other.server.update(other.copy).done);
    const QString exported = fresh.filePath(QStringLiteral("out.csv"));
    const TestSupport::Run back = TestSupport::runProgram(QStringLiteral(QUORVANE_LT_BIN),
        server
            + QStringList{QStringLiteral("--data-dir"), fresh.path(), QStringLiteral("--export-tanks"),
                QStringLiteral("Tern Hedland"), exported});
    QVERIFY2(back.status == 0, qPrintable(back.err));
    Connection copy;
    openOnDir(copy, fresh.path());
    QCOMPARE(TankTables::loadForShip(shipId, &other.copy), TankTables::loadForShip(shipId, &copy));
    copy.close();

    // Out of reach: the export serves the copy and says so; an import changes nothing.
    const QStringList nowhere{
        QStringLiteral("--server"), QStringLiteral("postgresql://bob@127.0.0.1:1/catalogue")};
    const TestSupport::Run offline = TestSupport::runProgram(QStringLiteral(QUORVANE_LT_BIN),
        nowhere
            + QStringList{QStringLiteral("--data-dir"), fresh.path(), QStringLiteral("--export-tanks"),
                QStringLiteral("Tern Hedland"), exported});
    QVERIFY2(offline.status == 0, qPrintable(offline.err));
    QVERIFY2(offline.err.contains(QLatin1String("out of reach")), qPrintable(offline.err));
    const TestSupport::Run refused = TestSupport::runProgram(QStringLiteral(QUORVANE_LT_BIN),
        nowhere
            + QStringList{QStringLiteral("--data-dir"), fresh.path(), QStringLiteral("--import-tanks"),
                QStringLiteral("Tern Hedland"), csv});
    QCOMPARE(refused.status, 1);
    QVERIFY2(refused.err.contains(QLatin1String("catalogue server")), qPrintable(refused.err));
    QCOMPARE(s.query(QStringLiteral("SELECT Trims FROM TankTable WHERE ShipID = $1 AND TankName = 'DB1P'"),
                  {QString::number(shipId)})
                 .value(0)
                 .value(0),
        QStringLiteral("-1;-0.5;1"));
}

QTEST_MAIN(TestCatalogueServerTanks)
#include "test_catalogue_server_tanks.moc"
