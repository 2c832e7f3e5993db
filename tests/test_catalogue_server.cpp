// The company's catalogue on a real PostgreSQL server (tools/pg_server.sh starts one for this
// program in a temporary folder, as an unprivileged user, and stops it at the end): copies that
// learn of each other's ships, a change refused for someone else's, the server's own refusals,
// a server lost and found again mid-session, and a large catalogue brought into an empty copy.

#include "core/AppPaths.h"
#include "core/MessageService.h"
#include "db/Connection.h"
#include "db/Database.h"
#include "db/HydrostaticStore.h"
#include "db/NameLookup.h"
#include "model/HydrostaticTable.h"
#include "server/CatalogueCopy.h"
#include "server/CatalogueServer.h"
#include "server/PgSession.h"
#include "server/ServerSchema.h"
#include "shell/CatalogueLink.h"
#include "shell/MainWindow.h"
#include "ships/PortMasterWindow.h"
#include "ships/ShipParticularsWindow.h"
#include "tests/ServerSurveyor.h"
#include "tests/TestSupport.h"
#include "ui/CatalogueBanner.h"
#include "ui/CatalogueWrites.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <sqlite3.h>

namespace {

using ServerTestSupport::serverScript;
using ServerTestSupport::uriFor;

// One surveyor's program, with what these tests read of its copy.
struct Surveyor : ServerTestSupport::Surveyor {
    using ServerTestSupport::Surveyor::Surveyor;
    int count(const char* sql) { return text(QString::fromLatin1(sql)).toInt(); }
    QString shipField(int shipId, const QString& column)
    {
        return text(QStringLiteral("SELECT %1 FROM Ship WHERE ShipID = %2").arg(column).arg(shipId));
    }
    // The first column of the first row, as the file holds it; "<no ship>" when there is no row.
    QString text(const QString& sql)
    {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(copy.handle(), sql.toUtf8().constData(), -1, &stmt, nullptr) != SQLITE_OK)
            return QStringLiteral("<error>");
        QString out = QStringLiteral("<no ship>");
        if (sqlite3_step(stmt) == SQLITE_ROW)
            out = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
        sqlite3_finalize(stmt);
        return out;
    }
};

SqlCatalogue::ShipValues ship(const QString& name, const QString& port)
{
    SqlCatalogue::ShipValues v;
    v.shipName = name;
    v.portOfRegistry = port;
    v.lbp = QStringLiteral("189.990");
    v.loa = QStringLiteral("199.9");
    v.breadth = QStringLiteral("32.26");
    v.lightShip = QStringLiteral("9876.5");
    v.callSign = QStringLiteral("V7AB3");
    v.flag = QStringLiteral("Marshall Islands");
    v.officialNo = QStringLiteral("0");
    v.imoNo = QStringLiteral("9412345");
    v.grossTonnage = QStringLiteral("36000");
    v.netTonnage = QStringLiteral("21000");
    v.summerDraft = QStringLiteral("12.85");
    v.summerDeadweight = QStringLiteral("63500.25");
    return v;
}

} // namespace

class TestCatalogueServer : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void initRefusesASecondTime();
    void initGivesAnOlderCatalogueItsNewColumns();
    void keelPlateAndTableKindTravelToTheDigit();
    void theCopyCountsOnlyNewerVersionsAsWrites();
    void theShipWindowThroughTheServer();
    void thePortWindowThroughTheServer();
    void aShipAddedByOneIsInTheOthersCopy();
    void aChangeToARowChangedMeanwhileIsRefused();
    void theServerDecidesWhoMayDelete();
    void hydrostaticTablesTravelWithTheirShips();
    void serverLostMidSessionThenBack();
    void commandLineBringsTheCopyUpToDateFirst();
    void theMainWindowSaysWhereTheCopyStands();
    void aLargeCatalogueIntoAnEmptyCopy();

private:
    void largeCatalogue();
    QString m_admin; // superuser of the test server
    QString m_editor; // bob, member of quorvane_editor
    QString m_reader; // alice, member of quorvane_reader
};

void TestCatalogueServer::initTestCase()
{
    TestSupport::initTestEnvironment();
    serverScript(QStringLiteral("stop")); // one left by a run that crashed
    m_admin = serverScript(QStringLiteral("start"));
    QVERIFY2(m_admin.startsWith(QLatin1String("postgresql://")), "the test server did not start");
    // The database tool makes the catalogue, as the README tells a team to.
    const TestSupport::Run init = TestSupport::runProgram(
        QStringLiteral(QUORVANE_MKDB_BIN), {QStringLiteral("--server"), m_admin, QStringLiteral("--init")});
    QVERIFY2(init.status == 0, qPrintable(init.err));
    QVERIFY(init.out.contains(QLatin1String("quorvane_reader")));
    PgSession admin;
    admin.connect(m_admin);
    admin.execScript(QStringLiteral("CREATE ROLE alice LOGIN IN ROLE quorvane_reader;"
                                    "CREATE ROLE bob LOGIN IN ROLE quorvane_editor;"));
    m_editor = uriFor(m_admin, QStringLiteral("bob"));
    m_reader = uriFor(m_admin, QStringLiteral("alice"));
}

void TestCatalogueServer::cleanupTestCase()
{
    serverScript(QStringLiteral("stop"));
}

void TestCatalogueServer::initRefusesASecondTime()
{
    const TestSupport::Run again = TestSupport::runProgram(
        QStringLiteral(QUORVANE_MKDB_BIN), {QStringLiteral("--server"), m_admin, QStringLiteral("--init")});
    QCOMPARE(again.status, 1);
    QVERIFY2(again.err.contains(QLatin1String("already on this server")), qPrintable(again.err));
    // The deductible items went up with the tables, in the ids the report looks them up by.
    PgSession s;
    s.connect(m_admin);
    QCOMPARE(
        s.query(QStringLiteral("SELECT ItemName FROM DeductionMaster WHERE ItemID = 24")).value(0).value(0),
        QStringLiteral("Lub Oil"));
}

void TestCatalogueServer::initGivesAnOlderCatalogueItsNewColumns()
{
    // A catalogue made before the keel plate and the table's kind went to the server.
    PgSession s;
    s.connect(m_admin);
    s.execScript(
        QStringLiteral("ALTER TABLE Ship DROP COLUMN KeelPlate;"
                       "ALTER TABLE HydrostaticTable DROP COLUMN Drafts, DROP COLUMN LcfConvention;"));
    const QString columns = QStringLiteral(
        "SELECT count(*) FROM information_schema.columns WHERE table_schema = current_schema() AND "
        "column_name IN ('keelplate', 'drafts', 'lcfconvention')");
    QCOMPARE(s.query(columns).value(0).value(0), QStringLiteral("0"));
    const TestSupport::Run upgraded = TestSupport::runProgram(
        QStringLiteral(QUORVANE_MKDB_BIN), {QStringLiteral("--server"), m_admin, QStringLiteral("--init")});
    QVERIFY2(upgraded.status == 0, qPrintable(upgraded.err));
    QCOMPARE(s.query(columns).value(0).value(0), QStringLiteral("3"));
    // A catalogue made before the ships' tank tables went to the server gains them, with the
    // readers' and editors' rights, and the rest of it is left as it was.
    const QString shipsBefore = s.query(QStringLiteral("SELECT count(*) FROM Ship")).value(0).value(0);
    s.execScript(QStringLiteral("DROP TABLE TankRow, TankTable, TankTableChanges;"));
    const TestSupport::Run tanks = TestSupport::runProgram(
        QStringLiteral(QUORVANE_MKDB_BIN), {QStringLiteral("--server"), m_admin, QStringLiteral("--init")});
    QVERIFY2(tanks.status == 0, qPrintable(tanks.err));
    for (const char* table : {"tanktablechanges", "tanktable", "tankrow"}) {
        QVERIFY2(!s.query(QStringLiteral("SELECT to_regclass('%1')").arg(QLatin1String(table)))
                      .value(0)
                      .value(0)
                      .isNull(),
            table);
        QCOMPARE(s.query(QStringLiteral("SELECT has_table_privilege('quorvane_reader', '%1', 'INSERT')")
                             .arg(QLatin1String(table)))
                     .value(0)
                     .value(0),
            QStringLiteral("t"));
    }
    // Nobody but the tables' owner removes a ship's row of tank tables: it goes with her.
    QCOMPARE(s.query(QStringLiteral("SELECT has_table_privilege('quorvane_editor', 'tanktablechanges', "
                                    "'DELETE'), has_table_privilege('quorvane_editor', 'tankrow', 'DELETE')"))
                 .value(0),
        QStringList({QStringLiteral("f"), QStringLiteral("t")}));
    QCOMPARE(s.query(QStringLiteral("SELECT count(*) FROM Ship")).value(0).value(0), shipsBefore);
    // Up to date, it is refused as before.
    const TestSupport::Run again = TestSupport::runProgram(
        QStringLiteral(QUORVANE_MKDB_BIN), {QStringLiteral("--server"), m_admin, QStringLiteral("--init")});
    QCOMPARE(again.status, 1);
    QVERIFY2(again.err.contains(QLatin1String("already on this server")), qPrintable(again.err));
}

void TestCatalogueServer::keelPlateAndTableKindTravelToTheDigit()
{
    Surveyor one(m_editor);
    Surveyor two(m_editor);
    QVERIFY(one.server.update(one.copy).done);
    QVERIFY(two.server.update(two.copy).done);
    const int portId
        = one.server.savePort(one.copy, 0, QStringLiteral("Dampier"), QString(), QStringLiteral("Australia"))
              .id;
    const CatalogueServer::WriteOutcome added = one.server.saveShip(
        one.copy, 0, ship(QStringLiteral("Keel Tern"), QString::number(portId)), QStringLiteral("0.0250"));
    QVERIFY2(added.done, qPrintable(added.message));
    // A table of moulded drafts whose LCF was written forward positive: read as extreme, aft
    // positive, every figure of a survey on it would be wrong.
    HydrostaticStore::StoredTable table;
    table.density = QStringLiteral("1.0250");
    table.drafts = QStringLiteral("moulded");
    table.lcfConvention = LcfConventions::key(LcfConvention::MidshipForward);
    table.rows = {{QStringLiteral("6.000"), QStringLiteral("30210.5"), QStringLiteral("55.12"),
                      QStringLiteral("1.95"), QStringLiteral("720.10")},
        {QStringLiteral("6.500"), QStringLiteral("33000.0"), QStringLiteral("55.60"), QStringLiteral("1.70"),
            QStringLiteral("730.0")}};
    const CatalogueServer::WriteOutcome saved = one.server.saveHydrostatics(one.copy, added.id, table);
    QVERIFY2(saved.done, qPrintable(saved.message));

    // Into a copy brought up to date before, and into an empty one.
    Surveyor fresh(m_reader);
    for (Surveyor* other : {&two, &fresh}) {
        const CatalogueServer::UpdateOutcome update = other->server.update(other->copy);
        QVERIFY2(update.done, qPrintable(update.error));
        QCOMPARE(other->shipField(added.id, QStringLiteral("KeelPlate")), QStringLiteral("0.0250"));
        const std::optional<HydrostaticStore::StoredTable> stored
            = HydrostaticStore::load(other->copy, added.id);
        QVERIFY(stored);
        QCOMPARE(stored->density, table.density);
        QCOMPARE(stored->drafts, QStringLiteral("moulded"));
        QCOMPARE(stored->lcfConvention, table.lcfConvention);
        QCOMPARE(stored->rows, table.rows);
        const std::optional<HydrostaticTable> read = HydrostaticTable::loadForShip(added.id, &other->copy);
        QVERIFY(read);
        QVERIFY(read->mouldedDrafts);
        QCOMPARE(read->lcfSource, LcfConvention::MidshipForward);
        QCOMPARE(*read, *HydrostaticTable::loadForShip(added.id, &one.copy));
    }

    // A keel plate changed, and taken off, reaches the other copy too.
    QVERIFY(one.server
                .saveShip(one.copy, added.id, ship(QStringLiteral("Keel Tern"), QString::number(portId)),
                    QStringLiteral("0.030"))
                .done);
    QCOMPARE(two.server.update(two.copy).rows, 1);
    QCOMPARE(two.shipField(added.id, QStringLiteral("KeelPlate")), QStringLiteral("0.030"));
    QVERIFY(
        one.server.saveShip(one.copy, added.id, ship(QStringLiteral("Keel Tern"), QString::number(portId)))
            .done);
    QCOMPARE(two.server.update(two.copy).rows, 1);
    QCOMPARE(two.text(QStringLiteral("SELECT KeelPlate IS NULL FROM Ship WHERE ShipID = %1").arg(added.id)),
        QStringLiteral("1"));
}

void TestCatalogueServer::theCopyCountsOnlyNewerVersionsAsWrites()
{
    Surveyor one(m_editor);
    Surveyor two(m_editor);
    QVERIFY(one.server.update(one.copy).done);
    const int portId = one.server.savePort(one.copy, 0, QStringLiteral("Esbjerg"), QString(), QString()).id;
    const int shipId
        = one.server.saveShip(one.copy, 0, ship(QStringLiteral("Count Tern"), QString::number(portId))).id;
    QVERIFY(shipId > 0);
    QVERIFY(two.server.update(two.copy).done);
    const auto count = [&](Surveyor& s) {
        return s.text(QStringLiteral("SELECT ChangeCount FROM Ship WHERE ShipID = %1").arg(shipId))
            .toLongLong();
    };
    const qint64 read = count(two);
    QVERIFY(read >= 1);
    // Nothing new on the server: a window that read the ship sees her unchanged.
    QCOMPARE(two.server.update(two.copy).rows, 0);
    QCOMPARE(count(two), read);
    // Another surveyor's change is a write the window did not see: one more.
    SqlCatalogue::ShipValues changed = ship(QStringLiteral("Count Tern"), QString::number(portId));
    changed.flag = QStringLiteral("Denmark");
    QVERIFY(one.server.saveShip(one.copy, shipId, changed).done);
    QCOMPARE(two.server.update(two.copy).rows, 1);
    QCOMPARE(count(two), read + 1);
    // This copy's own change is taken back from the server once; the next update brings the same
    // version again and does not count it a second time.
    changed.flag = QStringLiteral("Norway");
    QVERIFY(two.server.saveShip(two.copy, shipId, changed).done);
    QCOMPARE(count(two), read + 2);
    QVERIFY(two.server.update(two.copy).done);
    QCOMPARE(count(two), read + 2);
    QCOMPARE(two.shipField(shipId, QStringLiteral("Flag")), QStringLiteral("Norway"));
}

void TestCatalogueServer::theShipWindowThroughTheServer()
{
    QTemporaryDir dir;
    QVERIFY(TestSupport::openFreshDatabaseCopy(dir));
    CatalogueServer& server = CatalogueServer::shared();
    server.setUri(m_editor);
    QVERIFY(server.update(sharedConnection()).done);
    const int portId
        = server.savePort(sharedConnection(), 0, QStringLiteral("Aabenraa"), QString(), QString()).id;
    SqlCatalogue::ShipValues first = ship(QStringLiteral("Aaron Window"), QString::number(portId));
    first.officialNo = QStringLiteral("712345"); // the form takes no 0
    const int shipId = server.saveShip(sharedConnection(), 0, first).id;
    QVERIFY(shipId > 0);
    Surveyor other(m_editor);
    QVERIFY(other.server.update(other.copy).done);
    const auto onServer = [&](const QString& column) {
        PgSession s;
        s.connect(m_admin);
        return s
            .query(QStringLiteral("SELECT %1 FROM Ship WHERE ShipID = $1").arg(column),
                {QString::number(shipId)})
            .value(0)
            .value(0);
    };
    const auto messages = [] { return TestSupport::messageTexts(); };

    auto* window = new ShipParticularsWindow;
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QCOMPARE(window->findChild<QComboBox*>(QStringLiteral("cmbShipName"))->currentText(),
        QStringLiteral("Aaron Window"));
    auto* banner = window->findChild<QLabel*>(QStringLiteral("lblCatalogue"));
    QVERIFY(banner);
    QVERIFY(!banner->isVisible()); // in reach, nothing to say
    auto* flag = window->findChild<QLineEdit*>(QStringLiteral("txtFlag"));
    auto* lightShip = window->findChild<QLineEdit*>(QStringLiteral("txtLightShip"));
    const auto typeFlag = [&](const QString& text) {
        flag->setFocus();
        flag->selectAll();
        QTest::keyClicks(flag, text);
    };

    // Another surveyor changes her light ship on the server; this copy has not seen it. The save
    // goes to the server, which refuses it and shows the other change.
    SqlCatalogue::ShipValues theirs = first;
    theirs.lightShip = QStringLiteral("9001.5");
    QVERIFY(other.server.saveShip(other.copy, shipId, theirs).done);
    typeFlag(QStringLiteral("Liberia"));
    MessageService::clearRecords();
    MessageService::setNextAnswer(Msg::Answer::Yes); // "Are you sure to update ...?"
    window->saveRecord();
    QVERIFY2(messages().size() == 2, qPrintable(messages().join(QLatin1Char('|'))));
    QCOMPARE(messages().at(0), QStringLiteral("Are you sure to update the current record ?"));
    QVERIFY2(messages().at(1).startsWith(QLatin1String(
                 "The ship \"Aaron Window\" was changed in the catalogue by someone else since this copy "
                 "read her; your change was not saved.")),
        qPrintable(messages().at(1)));
    QVERIFY2(messages().at(1).contains(QLatin1String("The other change: LightShip 9001.5.")),
        qPrintable(messages().at(1)));
    QCOMPARE(onServer(QStringLiteral("Flag")), QStringLiteral("Marshall Islands"));
    QCOMPARE(onServer(QStringLiteral("LightShip")), QStringLiteral("9001.5"));
    QCOMPARE(flag->text(), QStringLiteral("Liberia")); // the edit stays on the form

    // The copy is brought up to date meanwhile: the edited window keeps its edits and says so.
    theirs.callSign = QStringLiteral("ZZ9");
    QVERIFY(other.server.saveShip(other.copy, shipId, theirs).done);
    QVERIFY(server.update(sharedConnection()).done);
    CatalogueBanner::announceCopyChanged();
    QVERIFY(banner->isVisible());
    QVERIFY2(banner->text().contains(QLatin1String("brought up to date")), qPrintable(banner->text()));
    QCOMPARE(flag->text(), QStringLiteral("Liberia"));
    // Its save is refused here, before the server: the copy holds a ship it did not show.
    MessageService::clearRecords();
    MessageService::setNextAnswer(Msg::Answer::Yes); // update
    MessageService::setNextAnswer(Msg::Answer::Yes); // show the ship as stored now
    window->saveRecord();
    QCOMPARE(messages().size(), 2);
    QVERIFY2(messages().at(1).startsWith(QLatin1String(
                 "The ship Aaron Window was changed by another user or program after this window read "
                 "her (changed: Light Ship, Call Sign).")),
        qPrintable(messages().at(1)));
    QCOMPARE(lightShip->text(), QStringLiteral("9001.5"));
    QCOMPARE(flag->text(), QStringLiteral("Marshall Islands"));
    QCOMPARE(onServer(QStringLiteral("Flag")), QStringLiteral("Marshall Islands"));

    // Not edited, the window shows what an update brought, without a word.
    theirs.flag = QStringLiteral("Panama");
    QVERIFY(other.server.saveShip(other.copy, shipId, theirs).done);
    QVERIFY(server.update(sharedConnection()).done);
    MessageService::clearRecords();
    CatalogueBanner::announceCopyChanged();
    QVERIFY(messages().isEmpty());
    QCOMPARE(flag->text(), QStringLiteral("Panama"));
    QVERIFY(!banner->isVisible());
    // And saves over it as the server's own next version.
    typeFlag(QStringLiteral("Liberia"));
    MessageService::setNextAnswer(Msg::Answer::Yes);
    window->saveRecord();
    QCOMPARE(messages().last(), QStringLiteral("One record has been updated successfully."));
    QCOMPARE(onServer(QStringLiteral("Flag")), QStringLiteral("Liberia"));
    QCOMPARE(onServer(QStringLiteral("CallSign")), QStringLiteral("ZZ9"));

    // Out of reach: the window says it is read-only, and why; its boxes take no typing, and an edit
    // made before the server went is refused at the save with the reason.
    flag->setText(QStringLiteral("Malta"));
    server.setUri(QStringLiteral("postgresql://bob@127.0.0.1:1/catalogue"));
    QVERIFY(server.update(sharedConnection()).unreachable);
    QVERIFY(banner->isVisible());
    QVERIFY2(banner->text().startsWith(QLatin1String(
                 "Read-only: The catalogue server is out of reach: ships, ports and tables can be read")),
        qPrintable(banner->text()));
    QVERIFY(flag->isReadOnly());
    QVERIFY(lightShip->isReadOnly());
    QTest::keyClicks(lightShip, QStringLiteral("9"));
    QCOMPARE(lightShip->text(), QStringLiteral("9001.5"));
    MessageService::clearRecords();
    MessageService::setNextAnswer(Msg::Answer::Yes);
    window->saveRecord();
    QCOMPARE(messages().size(), 2);
    QVERIFY(messages().at(1).startsWith(QLatin1String("The catalogue server is out of reach")));
    QCOMPARE(onServer(QStringLiteral("Flag")), QStringLiteral("Liberia"));
    // Back in reach, the banner goes and the boxes take typing again.
    server.setUri(m_editor);
    QVERIFY(server.update(sharedConnection()).done);
    QVERIFY(!banner->isVisible());
    QVERIFY(!flag->isReadOnly());

    delete window;
    closeDatabase();
    server.setUri(QString());
}

// The Port Master window of a surveyor whose role only reads and adds: a port typed and saved
// goes to the server and reaches another copy; its delete is refused in the server's words and
// the port stays; out of reach, a save is refused with the reason.
void TestCatalogueServer::thePortWindowThroughTheServer()
{
    QTemporaryDir dir;
    QVERIFY(TestSupport::openFreshDatabaseCopy(dir));
    CatalogueServer& server = CatalogueServer::shared();
    server.setUri(m_reader);
    QVERIFY(server.update(sharedConnection()).done);
    const auto messages = [] { return TestSupport::messageTexts(); };
    const auto portsOnServer = [&](const QString& name) {
        PgSession s;
        s.connect(m_admin);
        return s.query(QStringLiteral("SELECT count(*) FROM Port WHERE PortName = $1"), {name})
            .value(0)
            .value(0);
    };

    auto* window = new PortMasterWindow;
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    auto* name = window->findChild<QLineEdit*>(QStringLiteral("txtPortName"));
    auto* city = window->findChild<QLineEdit*>(QStringLiteral("txtCity"));
    auto* country = window->findChild<QLineEdit*>(QStringLiteral("txtCountry"));
    auto* list = window->findChild<QListWidget*>(QStringLiteral("dlstPortMaster"));
    QVERIFY(name && city && country && list);
    name->setFocus();
    QTest::keyClicks(name, QStringLiteral("Kamsar"));
    city->setText(QStringLiteral("Kamsar"));
    country->setText(QStringLiteral("Guinea"));
    MessageService::clearRecords();
    MessageService::setNextAnswer(Msg::Answer::Yes); // add a new record
    window->saveRecord();
    QCOMPARE(messages().last(), QStringLiteral("One record has been added successfully."));
    QCOMPARE(portsOnServer(QStringLiteral("Kamsar")), QStringLiteral("1"));
    QVERIFY(!list->findItems(QStringLiteral("Kamsar"), Qt::MatchExactly).isEmpty());
    Surveyor other(m_editor);
    QVERIFY(other.server.update(other.copy).done);
    QVERIFY(NameLookup::portId(other.copy, QStringLiteral("Kamsar")).has_value());

    // The reading role may not delete: the server's words, and the port stays everywhere.
    list->setCurrentItem(list->findItems(QStringLiteral("Kamsar"), Qt::MatchExactly).first());
    QCOMPARE(country->text(), QStringLiteral("Guinea"));
    MessageService::clearRecords();
    MessageService::setNextAnswer(Msg::Answer::Yes); // delete the port
    window->deleteRecord();
    QVERIFY2(messages().size() == 2, qPrintable(messages().join(QLatin1Char('|'))));
    QVERIFY2(messages().at(1).startsWith(QLatin1String("The catalogue server refused the change.")),
        qPrintable(messages().at(1)));
    QVERIFY2(messages().at(1).contains(QLatin1String("permission denied for table port")),
        qPrintable(messages().at(1)));
    QCOMPARE(portsOnServer(QStringLiteral("Kamsar")), QStringLiteral("1"));
    QVERIFY(!list->findItems(QStringLiteral("Kamsar"), Qt::MatchExactly).isEmpty());

    // Out of reach: a new port is refused with the reason, and stays in the boxes.
    server.setUri(QStringLiteral("postgresql://alice@127.0.0.1:1/catalogue"));
    QVERIFY(server.update(sharedConnection()).unreachable);
    window->newRecord();
    name->setText(QStringLiteral("Conakry"));
    MessageService::clearRecords();
    MessageService::setNextAnswer(Msg::Answer::Yes);
    window->saveRecord();
    QVERIFY2(messages().size() == 2, qPrintable(messages().join(QLatin1Char('|'))));
    QVERIFY(messages().at(1).startsWith(QLatin1String("The catalogue server is out of reach")));
    QCOMPARE(portsOnServer(QStringLiteral("Conakry")), QStringLiteral("0"));
    QCOMPARE(name->text(), QStringLiteral("Conakry"));

    delete window;
    closeDatabase();
    server.setUri(QString());
}

void TestCatalogueServer::aShipAddedByOneIsInTheOthersCopy()
{
    Surveyor one(m_editor);
    Surveyor two(m_editor);
    QVERIFY(one.server.update(one.copy).done);
    QVERIFY(two.server.update(two.copy).done);
    // The server's catalogue replaced the delivered one; the deductible items are the server's.
    QCOMPARE(one.count("SELECT count(*) FROM DeductionMaster"), 8);

    const CatalogueServer::WriteOutcome port = one.server.savePort(one.copy, 0,
        QStringLiteral("Port Hedland"), QStringLiteral("Port Hedland"), QStringLiteral("Australia"));
    QVERIFY2(port.done, qPrintable(port.message));
    const CatalogueServer::WriteOutcome added
        = one.server.saveShip(one.copy, 0, ship(QStringLiteral("O'Brien's Pride"), QString::number(port.id)));
    QVERIFY2(added.done, qPrintable(added.message));
    // In the copy that made it at once, with the server's id.
    QCOMPARE(one.shipField(added.id, QStringLiteral("ShipName")), QStringLiteral("O'Brien's Pride"));

    QCOMPARE(two.shipField(added.id, QStringLiteral("ShipName")), QStringLiteral("<no ship>"));
    const CatalogueServer::UpdateOutcome update = two.server.update(two.copy);
    QVERIFY2(update.done, qPrintable(update.error));
    QCOMPARE(update.rows, 2);
    QVERIFY(!update.updatedAt.isEmpty());
    // Every figure to the digit, as it was typed, trailing zero and all.
    QCOMPARE(two.shipField(added.id, QStringLiteral("ShipName")), QStringLiteral("O'Brien's Pride"));
    QCOMPARE(two.shipField(added.id, QStringLiteral("LBP")), QStringLiteral("189.990"));
    QCOMPARE(two.shipField(added.id, QStringLiteral("SummerDeadweight")), QStringLiteral("63500.25"));
    QCOMPARE(two.shipField(added.id, QStringLiteral("IMONo")), QStringLiteral("9412345"));
    QCOMPARE(NameLookup::portId(two.copy, QStringLiteral("Port Hedland")), std::optional<int>(port.id));
    // Nothing new: the next update brings nothing.
    QCOMPARE(two.server.update(two.copy).rows, 0);

    // A delete reaches the other copy too.
    const CatalogueServer::WriteOutcome deleted = one.server.deleteShip(one.copy, added.id);
    QVERIFY2(deleted.done, qPrintable(deleted.message));
    QCOMPARE(two.server.update(two.copy).rows, 1);
    QCOMPARE(two.shipField(added.id, QStringLiteral("ShipName")), QStringLiteral("<no ship>"));
}

void TestCatalogueServer::aChangeToARowChangedMeanwhileIsRefused()
{
    Surveyor one(m_editor);
    Surveyor two(m_editor);
    QVERIFY(one.server.update(one.copy).done);
    const int portId
        = one.server.savePort(one.copy, 0, QStringLiteral("Santos"), QString(), QStringLiteral("Brazil")).id;
    const int shipId
        = one.server.saveShip(one.copy, 0, ship(QStringLiteral("Coral Tern"), QString::number(portId))).id;
    QVERIFY(shipId > 0);
    QVERIFY(two.server.update(two.copy).done);

    SqlCatalogue::ShipValues mine = ship(QStringLiteral("Coral Tern"), QString::number(portId));
    mine.lbp = QStringLiteral("190.5");
    QVERIFY(one.server.saveShip(one.copy, shipId, mine).done);

    // The second surveyor read the ship before that change and changes her flag.
    SqlCatalogue::ShipValues theirs = ship(QStringLiteral("Coral Tern"), QString::number(portId));
    theirs.flag = QStringLiteral("Panama");
    const CatalogueServer::WriteOutcome refused = two.server.saveShip(two.copy, shipId, theirs);
    QVERIFY(!refused.done);
    QVERIFY(refused.conflict);
    QVERIFY2(refused.message.contains(QLatin1String("was changed in the catalogue by someone else")),
        qPrintable(refused.message));
    QVERIFY2(refused.message.contains(QLatin1String("LBP 190.5")), qPrintable(refused.message));
    // Never a silent overwrite: the server keeps the first change, and the refused copy now
    // holds it, so that the window shows what the other surveyor did.
    PgSession s;
    s.connect(m_admin);
    QCOMPARE(
        s.query(QStringLiteral("SELECT Flag, LBP FROM Ship WHERE ShipID = $1"), {QString::number(shipId)})
            .value(0),
        (QStringList{QStringLiteral("Marshall Islands"), QStringLiteral("190.5")}));
    QCOMPARE(two.shipField(shipId, QStringLiteral("LBP")), QStringLiteral("190.5"));
    // Having seen it, the second surveyor's change goes through.
    QVERIFY(two.server.saveShip(two.copy, shipId, theirs).done);
    QCOMPARE(two.shipField(shipId, QStringLiteral("Flag")), QStringLiteral("Panama"));

    // An update read in the background before this copy's own change, and written after it, does
    // not take the copy back to the older ship (nor make the next change look like a conflict).
    std::future<CatalogueServer::Fetched> behind = two.server.beginUpdate(two.copy);
    CatalogueServer::Fetched fetched = behind.get();
    theirs.callSign = QStringLiteral("V7ZZ9");
    QVERIFY(two.server.saveShip(two.copy, shipId, theirs).done);
    QVERIFY(two.server.finishUpdate(two.copy, std::move(fetched)).done);
    QCOMPARE(two.shipField(shipId, QStringLiteral("CallSign")), QStringLiteral("V7ZZ9"));
    theirs.callSign = QStringLiteral("V7ZZ8");
    QVERIFY(two.server.saveShip(two.copy, shipId, theirs).done);

    // A delete of a row someone changed meanwhile is refused in the same way.
    QVERIFY(!one.server.deleteShip(one.copy, shipId).done);
    QCOMPARE(one.shipField(shipId, QStringLiteral("Flag")), QStringLiteral("Panama"));
}

void TestCatalogueServer::theServerDecidesWhoMayDelete()
{
    Surveyor editor(m_editor);
    Surveyor reader(m_reader);
    QVERIFY(editor.server.update(editor.copy).done);
    QVERIFY(reader.server.update(reader.copy).done);
    // The reading role may add...
    const int portId
        = reader.server.savePort(reader.copy, 0, QStringLiteral("Dampier"), QString(), QString()).id;
    const CatalogueServer::WriteOutcome added = reader.server.saveShip(
        reader.copy, 0, ship(QStringLiteral("Kestrel Bay"), QString::number(portId)));
    QVERIFY2(added.done, qPrintable(added.message));
    // ...but neither change nor delete: the server says so, in its own words, and the ship stays.
    const CatalogueServer::WriteOutcome refused = reader.server.deleteShip(reader.copy, added.id);
    QVERIFY(!refused.done);
    QVERIFY(!refused.conflict);
    QVERIFY(!refused.unreachable);
    QCOMPARE(refused.message, QStringLiteral("permission denied for table ship"));
    QCOMPARE(reader.shipField(added.id, QStringLiteral("ShipName")), QStringLiteral("Kestrel Bay"));
    // A refusal is not the server out of reach: the catalogue stays writable.
    QVERIFY(reader.server.inReach());
    QVERIFY(!reader.server
                 .saveShip(reader.copy, added.id, ship(QStringLiteral("Kestrel"), QString::number(portId)))
                 .done);
    // The editor may.
    QVERIFY(editor.server.update(editor.copy).done);
    QVERIFY(editor.server.deleteShip(editor.copy, added.id).done);
    QVERIFY(reader.server.update(reader.copy).done);
    QCOMPARE(reader.shipField(added.id, QStringLiteral("ShipName")), QStringLiteral("<no ship>"));
}

void TestCatalogueServer::hydrostaticTablesTravelWithTheirShips()
{
    Surveyor one(m_editor);
    Surveyor two(m_editor);
    QVERIFY(one.server.update(one.copy).done);
    const int portId = one.server.savePort(one.copy, 0, QStringLiteral("Newcastle"), QString(), QString()).id;
    const int shipId
        = one.server.saveShip(one.copy, 0, ship(QStringLiteral("Ore Linnet"), QString::number(portId))).id;
    HydrostaticStore::StoredTable table;
    table.density = QStringLiteral("1.025");
    table.rows = {{QStringLiteral("6.0"), QStringLiteral("30210.50"), QStringLiteral("55.12"),
                      QStringLiteral("-1.95"), QStringLiteral("720.1")},
        {QStringLiteral("6.1"), QStringLiteral("30762.10"), QStringLiteral("55.20"), QStringLiteral("-1.90"),
            QStringLiteral("722.4")}};
    const CatalogueServer::WriteOutcome saved = one.server.saveHydrostatics(one.copy, shipId, table);
    QVERIFY2(saved.done, qPrintable(saved.message));
    QVERIFY(two.server.update(two.copy).done);
    std::optional<HydrostaticStore::StoredTable> got = HydrostaticStore::load(two.copy, shipId);
    QVERIFY(got);
    QCOMPARE(got->density, table.density);
    QCOMPARE(got->rows, table.rows);

    // Corrected by one: the other's copy takes the corrected table whole.
    table.rows[1][2] = QStringLiteral("55.21");
    QVERIFY(one.server.saveHydrostatics(one.copy, shipId, table).done);
    QVERIFY(two.server.update(two.copy).done);
    QCOMPARE(HydrostaticStore::load(two.copy, shipId)->rows, table.rows);
    // A correction made on an older table is refused.
    HydrostaticStore::StoredTable stale = table;
    stale.rows[0][0] = QStringLiteral("5.9");
    QVERIFY(one.server.saveHydrostatics(one.copy, shipId, table).done);
    const CatalogueServer::WriteOutcome refused = two.server.saveHydrostatics(two.copy, shipId, stale);
    QVERIFY(refused.conflict);
    QVERIFY(refused.message.contains(QLatin1String("hydrostatic table")));

    // The ship's port deleted: the ship and her table leave every copy.
    QVERIFY(one.server.deletePort(one.copy, portId).done);
    QVERIFY(!HydrostaticStore::load(one.copy, shipId));
    QVERIFY(two.server.update(two.copy).done);
    QCOMPARE(two.shipField(shipId, QStringLiteral("ShipName")), QStringLiteral("<no ship>"));
    QVERIFY(!HydrostaticStore::load(two.copy, shipId));
}

void TestCatalogueServer::serverLostMidSessionThenBack()
{
    Surveyor one(m_editor);
    Surveyor two(m_editor);
    QVERIFY(one.server.update(one.copy).done);
    QVERIFY(two.server.update(two.copy).done);
    const int portId
        = one.server.savePort(one.copy, 0, QStringLiteral("Richards Bay"), QString(), QString()).id;
    QVERIFY(one.server.inReach());
    QVERIFY(one.server.writable());

    serverScript(QStringLiteral("pause"));
    const CatalogueServer::UpdateOutcome lost = one.server.update(one.copy);
    QVERIFY(!lost.done);
    QVERIFY(lost.unreachable);
    QVERIFY(!one.server.inReach());
    QVERIFY(!one.server.writable());
    // The copy still reads as before: the port the session added is there.
    QCOMPARE(NameLookup::portId(one.copy, QStringLiteral("Richards Bay")), std::optional<int>(portId));
    // A change cannot reach the server and goes nowhere: not into the copy either.
    const CatalogueServer::WriteOutcome refused
        = one.server.saveShip(one.copy, 0, ship(QStringLiteral("Lost Heron"), QString::number(portId)));
    QVERIFY(!refused.done);
    QVERIFY(refused.unreachable);
    QVERIFY(!NameLookup::hasShip(one.copy, QStringLiteral("Lost Heron")));

    serverScript(QStringLiteral("resume"));
    const CatalogueServer::WriteOutcome added
        = two.server.saveShip(two.copy, 0, ship(QStringLiteral("Found Heron"), QString::number(portId)));
    QVERIFY2(added.done, qPrintable(added.message));
    // The first program catches up with what happened meanwhile, and may change things again.
    const CatalogueServer::UpdateOutcome back = one.server.update(one.copy);
    QVERIFY2(back.done, qPrintable(back.error));
    QVERIFY(one.server.writable());
    QVERIFY(NameLookup::hasShip(one.copy, QStringLiteral("Found Heron")));
}

void TestCatalogueServer::commandLineBringsTheCopyUpToDateFirst()
{
    Surveyor one(m_editor);
    QVERIFY(one.server.update(one.copy).done);
    const int portId = one.server.savePort(one.copy, 0, QStringLiteral("Gladstone"), QString(), QString()).id;
    QVERIFY(one.server.saveShip(one.copy, 0, ship(QStringLiteral("Tern Gladstone"), QString::number(portId)))
                .done);
    one.copy.close();

    QTemporaryDir fresh;
    TestSupport::copyDatabaseFiles(TestSupport::deliveredDir(), fresh.path());
    const QString csv = fresh.filePath(QStringLiteral("table.csv"));
    {
        QFile f(csv);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(
            "Draft,Displacement,TPC,LCF,MCTC\n6.0,30210.5,55.12,-1.95,720.1\n6.5,33000.0,55.6,-1.7,730.0\n");
    }
    // The import goes to the server; the ship came into the copy from the server first.
    const TestSupport::Run import = TestSupport::runProgram(QStringLiteral(QUORVANE_LT_BIN),
        {QStringLiteral("--server"), m_editor, QStringLiteral("--data-dir"), fresh.path(),
            QStringLiteral("--import-hydrostatics"), QStringLiteral("Tern Gladstone"), csv});
    QVERIFY2(import.status == 0, qPrintable(import.err));
    PgSession s;
    s.connect(m_admin);
    QCOMPARE(s.query(QStringLiteral("SELECT count(*) FROM HydrostaticRow r JOIN Ship USING (ShipID) "
                                    "WHERE ShipName = 'Tern Gladstone'"))
                 .value(0)
                 .value(0),
        QStringLiteral("2"));

    // Out of reach: said on standard error, and the copy serves the export.
    const QString nowhere = QStringLiteral("postgresql://bob@127.0.0.1:1/catalogue");
    const TestSupport::Run exported = TestSupport::runProgram(QStringLiteral(QUORVANE_LT_BIN),
        {QStringLiteral("--server"), nowhere, QStringLiteral("--data-dir"), fresh.path(),
            QStringLiteral("--export-hydrostatics"), QStringLiteral("Tern Gladstone"),
            fresh.filePath(QStringLiteral("out.csv"))});
    QVERIFY2(exported.status == 0, qPrintable(exported.err));
    QVERIFY2(exported.err.contains(QLatin1String("out of reach")), qPrintable(exported.err));
    // An import with the server out of reach changes nothing.
    const TestSupport::Run refused = TestSupport::runProgram(QStringLiteral(QUORVANE_LT_BIN),
        {QStringLiteral("--server"), nowhere, QStringLiteral("--data-dir"), fresh.path(),
            QStringLiteral("--import-hydrostatics"), QStringLiteral("Tern Gladstone"), csv});
    QCOMPARE(refused.status, 1);
}

void TestCatalogueServer::theMainWindowSaysWhereTheCopyStands()
{
    QTemporaryDir dir;
    QVERIFY(TestSupport::openFreshDatabaseCopy(dir));
    auto* mdi = new MainWindow;
    mdi->show();
    // No server set: no panel, nothing connected, the windows write into DS.dat as always.
    CatalogueLink::start(*mdi, QString());
    QTest::qWait(50);
    QVERIFY(!mdi->findChild<QLabel*>(QStringLiteral("sbCatalogue")));
    QVERIFY(CatalogueWrites::allowed());

    CatalogueLink::start(*mdi, m_editor);
    // The update starts once the window is up, behind it.
    QTRY_VERIFY(mdi->findChild<QLabel*>(QStringLiteral("sbCatalogue")));
    auto* panel = mdi->findChild<QLabel*>(QStringLiteral("sbCatalogue"));
    QTRY_VERIFY2(panel->text().startsWith(QLatin1String("Catalogue up to date ")), qPrintable(panel->text()));
    // The copy is the server's now: the ports added by the earlier cases are in it.
    QVERIFY(NameLookup::hasPort(sharedConnection(), QStringLiteral("Richards Bay")));
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("DS.dat.before-server"))));

    serverScript(QStringLiteral("pause"));
    CatalogueLink::updateNow(*mdi);
    QTRY_COMPARE(panel->text(), QStringLiteral("Catalogue server out of reach"));
    // A catalogue window's change is refused, and says why.
    MessageService::clearRecords();
    QVERIFY(!CatalogueWrites::allowed());
    QVERIFY(TestSupport::messageTexts().value(0).startsWith(QLatin1String(
        "The catalogue server is out of reach: ships, ports and tables can be read but not changed")));

    serverScript(QStringLiteral("resume"));
    CatalogueLink::updateNow(*mdi);
    QTRY_VERIFY(panel->text().startsWith(QLatin1String("Catalogue up to date ")));
    QVERIFY(CatalogueWrites::allowed());
    delete mdi;
    closeDatabase();
    CatalogueServer::shared().setUri(QString());
}

void TestCatalogueServer::aLargeCatalogueIntoAnEmptyCopy()
{
    try {
        largeCatalogue();
    } catch (const ServerError& e) {
        QFAIL(qPrintable(e.message()));
    }
}

void TestCatalogueServer::largeCatalogue()
{
    PgSession s;
    s.connect(m_admin);
    // 10,000 ships, 500 of them with a table of 60 rows.
    s.execScript(QStringLiteral(
        "BEGIN;"
        "INSERT INTO Port (PortName) SELECT 'Bulk port ' || g FROM generate_series(1, 50) g;"
        "INSERT INTO Ship (ShipName, PortOfRegistry, LBP, LOA, Breadth, LightShip, CallSign, Flag, "
        "OfficialNo,"
        " IMONo, SummerDraft, SummerDeadweight, GrossTonnage, NetTonnage)"
        " SELECT 'Bulk ship ' || g, (SELECT min(PortID) FROM Port WHERE PortName = 'Bulk port 1') + g % 50,"
        " 180 + g % 40 * 0.25, 190.5, 32.26, 9000 + g, 'C' || g, 'Panama', g, 9000000 + g, 12.85, 63500.25,"
        " 36000, 21000 FROM generate_series(1, 10000) g;"
        "INSERT INTO HydrostaticTable (ShipID, Density) SELECT ShipID, 1.025 FROM Ship"
        " WHERE ShipName LIKE 'Bulk ship %' ORDER BY ShipID LIMIT 500;"
        "INSERT INTO HydrostaticRow SELECT t.ShipID, r, 4 + r * 0.1, 20000 + r * 55.5, 55.1, -1.9, 700 + r"
        " FROM HydrostaticTable t JOIN Ship s ON s.ShipID = t.ShipID, generate_series(0, 59) r"
        " WHERE s.ShipName LIKE 'Bulk ship %';"
        "COMMIT;"));
    Surveyor empty(m_reader);
    const CatalogueServer::UpdateOutcome update = empty.server.update(empty.copy);
    QVERIFY2(update.done, qPrintable(update.error));
    QVERIFY(empty.count("SELECT count(*) FROM Ship WHERE ShipName LIKE 'Bulk ship %'") == 10000);
    QCOMPARE(empty.count("SELECT count(*) FROM HydrostaticTable JOIN Ship USING (ShipID) "
                         "WHERE ShipName LIKE 'Bulk ship %'"),
        500);
    QCOMPARE(empty.count("SELECT count(*) FROM HydrostaticRow JOIN Ship USING (ShipID) "
                         "WHERE ShipName LIKE 'Bulk ship %'"),
        500 * 60);
    const int id = NameLookup::shipId(empty.copy, QStringLiteral("Bulk ship 7")).value_or(0);
    QCOMPARE(empty.shipField(id, QStringLiteral("LBP")), QStringLiteral("181.75"));
    // One ship changed: the next update brings that ship alone.
    s.exec(QStringLiteral("UPDATE Ship SET Flag = 'Liberia' WHERE ShipName = 'Bulk ship 7'"));
    QCOMPARE(empty.server.update(empty.copy).rows, 1);
    QCOMPARE(empty.shipField(id, QStringLiteral("Flag")), QStringLiteral("Liberia"));
}

QTEST_MAIN(TestCatalogueServer)
#include "test_catalogue_server.moc"
