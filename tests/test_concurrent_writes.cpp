// Two writers on one catalogue: two connections on the same DS.dat (two windows of two running
// programs, or a window and the command line). A record written by one since the other read it is
// never written over by the other: its save or delete is refused and says what changed, and a
// save writes only the columns the user changed.

#include "core/MessageService.h"
#include "core/VbError.h"
#include "db/ChangeCount.h"
#include "db/Connection.h"
#include "db/Database.h"
#include "db/RowSet.h"
#include "db/SchemaUpgrade.h"
#include "db/SqlCatalogue.h"
#include "files/HydrostaticTableFile.h"
#include "model/HydrostaticTable.h"
#include "shell/Startup.h"
#include "ships/HydrostaticTableWindow.h"
#include "ships/PortMasterWindow.h"
#include "ships/ShipParticularsWindow.h"
#include "tests/TestSupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {

const QString kLt = QStringLiteral(QUORVANE_LT_BIN);
const QString kMkdb = QStringLiteral(QUORVANE_MKDB_BIN);
const QString kShip = QStringLiteral("Coral Meridian");

template <typename F> VbError expectError(F body)
{
    try {
        body();
    } catch (const VbError& e) {
        return e;
    }
    QTest::qFail("expected a VbError, nothing was thrown", __FILE__, __LINE__);
    return VbError(0, QStringLiteral("nothing was thrown"));
}

QString valueOf(Connection& c, const QString& sql, const QString& column)
{
    RowSet rs;
    rs.open(sql, c);
    return rs.eof() ? QStringLiteral("<none>") : rs.value(column).toText();
}

SqlCatalogue::ShipValues shipValues(const QString& name, int port)
{
    SqlCatalogue::ShipValues v;
    v.shipName = name;
    v.lbp = QStringLiteral("180.5");
    v.loa = QStringLiteral("189.99");
    v.breadth = QStringLiteral("32.26");
    v.lightShip = QStringLiteral("8450.7");
    v.callSign = QStringLiteral("9VAB4");
    v.portOfRegistry = QString::number(port);
    v.officialNo = QStringLiteral("398112");
    v.imoNo = QStringLiteral("9301234");
    v.flag = QStringLiteral("Singapore");
    v.grossTonnage = QStringLiteral("0");
    v.netTonnage = QStringLiteral("0");
    v.summerDraft = QStringLiteral("12.35");
    v.summerDeadweight = QStringLiteral("52000");
    return v;
}

QStringList messages()
{
    QStringList out;
    for (const MessageRecord& r : MessageService::records())
        out.append(r.text);
    return out;
}

}  // namespace

class TestConcurrentWrites : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_data;
    // The other writer: a connection of its own on the same files.
    std::unique_ptr<Connection> m_other;

    int portId(Connection& c, const QString& name)
    {
        return valueOf(c, SqlCatalogue::portsNamed(name), QStringLiteral("PortID")).toInt();
    }
    int shipId(Connection& c, const QString& name)
    {
        return valueOf(c, SqlCatalogue::shipsNamed(name), QStringLiteral("ShipID")).toInt();
    }

private slots:
    void initTestCase()
    {
        TestSupport::initTestEnvironment();
        Startup::initResources();
        m_data = TestSupport::useFreshDatabaseCopy(m_dir);
        const TestSupport::Run mk = TestSupport::runProgram(kMkdb, {m_data, QStringLiteral("--examples")});
        QVERIFY2(mk.status == 0, qPrintable(mk.err));
        openDatabase();
        QVERIFY(!startupFailed());
    }

    void cleanupTestCase()
    {
        m_other.reset();
        closeDatabase();
    }

    void init()
    {
        m_other = std::make_unique<Connection>();
        openOnDir(*m_other, m_data);
        MessageService::clearRecords();
        MessageService::clearAnswers();
    }

    void cleanup()
    {
        m_other.reset();
        MessageService::clearAnswers();
    }

    // ---- the files ---------------------------------------------------------------------------

    void everyRecordCountsItsWrites()
    {
        // The file of the previous release gains the counters on opening; its rows start at 1.
        QTemporaryDir old;
        QVERIFY(TestSupport::copyDatabaseFiles(
            TestSupport::sourceDir() + QStringLiteral("/tests/data/previous-release"), old.path()));
        Connection c;
        openOnDir(c, old.path());
        QCOMPARE(valueOf(c, QStringLiteral("PRAGMA user_version"), QStringLiteral("user_version")),
                 QString::number(SchemaUpgrade::CurrentVersion));
        for (const char* table : {"Ship", "Port", "HydrostaticTable"}) {
            RowSet rs;
            rs.open(QStringLiteral("SELECT * FROM %1").arg(QLatin1String(table)), c);
            QVERIFY2(rs.hasColumn(QStringLiteral("ChangeCount")), table);
        }
        c.execute(QStringLiteral("INSERT INTO Port (PortName) VALUES ('Kandla')"));
        QCOMPARE(valueOf(c, QStringLiteral("SELECT ChangeCount FROM Port WHERE PortName = 'Kandla'"),
                         QStringLiteral("ChangeCount")),
                 QStringLiteral("1"));
        // A writer that knows nothing of the counter still raises it.
        c.execute(QStringLiteral("UPDATE Port SET City = 'Gandhidham' WHERE PortName = 'Kandla'"));
        QCOMPARE(valueOf(c, QStringLiteral("SELECT ChangeCount FROM Port WHERE PortName = 'Kandla'"),
                         QStringLiteral("ChangeCount")),
                 QStringLiteral("2"));
        c.close();

        // quorvane-mkdb writes them into a new file.
        QTemporaryDir fresh;
        const TestSupport::Run mk = TestSupport::runProgram(kMkdb, {fresh.path()});
        QVERIFY2(mk.status == 0, qPrintable(mk.err));
        openOnDir(c, fresh.path());
        RowSet ships;
        ships.open(QStringLiteral("SELECT * FROM Ship"), c);
        QVERIFY(ships.hasColumn(QStringLiteral("ChangeCount")));
    }

    // ---- the model and the database, two connections ------------------------------------------

    void secondSaveOfAChangedShipIsRefused()
    {
        Connection& mine = sharedConnection();
        const int port = portId(mine, QStringLiteral("Port Hedland"));
        QVERIFY(port > 0);
        mine.execute(SqlCatalogue::insertShip(shipValues(QStringLiteral("Twin Reader"), port)));
        const int id = shipId(mine, QStringLiteral("Twin Reader"));
        const auto count = [&](Connection& c) {
            return valueOf(c, SqlCatalogue::shipById(id), QStringLiteral("ChangeCount")).toLongLong();
        };
        const qint64 read = count(mine);
        QCOMPARE(count(*m_other), read);

        // The other writer changes the light ship; this one, having read the ship before, saves
        // its flag and is refused: the light ship stays theirs, the flag is not written.
        SqlCatalogue::ShipValues theirs = shipValues(QStringLiteral("Twin Reader"), port);
        theirs.lightShip = QStringLiteral("8460.2");
        QCOMPARE(m_other->execute(SqlCatalogue::updateShipColumns(theirs, {"LightShip"}, id, read)), 1);
        SqlCatalogue::ShipValues ours = shipValues(QStringLiteral("Twin Reader"), port);
        ours.flag = QStringLiteral("Panama");
        QCOMPARE(mine.execute(SqlCatalogue::updateShipColumns(ours, {"Flag"}, id, read)), 0);
        QCOMPARE(valueOf(mine, SqlCatalogue::shipById(id), QStringLiteral("LightShip")),
                 QStringLiteral("8460.2"));
        QCOMPARE(valueOf(mine, SqlCatalogue::shipById(id), QStringLiteral("Flag")),
                 QStringLiteral("Singapore"));
        // Read again, the save goes through and writes the flag alone.
        QCOMPARE(mine.execute(SqlCatalogue::updateShipColumns(ours, {"Flag"}, id, count(mine))), 1);
        QCOMPARE(valueOf(mine, SqlCatalogue::shipById(id), QStringLiteral("LightShip")),
                 QStringLiteral("8460.2"));
        QCOMPARE(valueOf(mine, SqlCatalogue::shipById(id), QStringLiteral("Flag")),
                 QStringLiteral("Panama"));
        QCOMPARE(SqlCatalogue::updateShipColumns(ours, {"Flag"}, 5, 3),
                 QStringLiteral("UPDATE Ship SET Flag = 'Panama', ChangeCount = ChangeCount + 1 "
                                "WHERE ShipID = 5 AND ChangeCount = 3"));

        // A delete with the count read before the other writer's change deletes nothing.
        const qint64 before = count(mine);
        m_other->execute(SqlCatalogue::updateShipColumns(theirs, {"CallSign"}, id, before));
        QCOMPARE(mine.execute(SqlCatalogue::deleteShip(id, before)), 0);
        QCOMPARE(mine.execute(SqlCatalogue::deleteShip(id, count(mine))), 1);
    }

    void secondSaveOfAChangedPortIsRefused()
    {
        Connection& mine = sharedConnection();
        mine.execute(
            QStringLiteral("INSERT INTO Port (PortName, City, Country) VALUES ('Paradip', 'Paradip', "
                           "'India')"));
        RowSet ours;
        ours.open(SqlCatalogue::portMaster(), mine, RowSet::Mode::WriteBack);
        RowSet theirs;
        theirs.open(SqlCatalogue::portMaster(), *m_other, RowSet::Mode::WriteBack);
        QVERIFY(ours.find(QStringLiteral("PortName = 'Paradip'")));
        QVERIFY(theirs.find(QStringLiteral("PortName = 'Paradip'")));

        theirs.setValue(QStringLiteral("City"), Variant(QStringLiteral("Jagatsinghpur")));
        theirs.update();
        ours.setValue(QStringLiteral("Country"), Variant(QStringLiteral("IN")));
        const VbError e = expectError([&] { ours.update(); });
        QCOMPARE(e.number(), ChangeCount::ChangedMeanwhile);
        ours.cancelUpdate();
        QCOMPARE(valueOf(mine, QStringLiteral("SELECT City FROM Port WHERE PortName = 'Paradip'"),
                         QStringLiteral("City")),
                 QStringLiteral("Jagatsinghpur"));
        QCOMPARE(valueOf(mine, QStringLiteral("SELECT Country FROM Port WHERE PortName = 'Paradip'"),
                         QStringLiteral("Country")),
                 QStringLiteral("India"));
        // Nor is it deleted unseen; read again, it is.
        QCOMPARE(expectError([&] { ours.deleteCurrent(); }).number(), ChangeCount::ChangedMeanwhile);
        QVERIFY(portId(mine, QStringLiteral("Paradip")) > 0);
        ours.requery();
        QVERIFY(ours.find(QStringLiteral("PortName = 'Paradip'")));
        ours.setValue(QStringLiteral("Country"), Variant(QStringLiteral("IN")));
        ours.update();
        QCOMPARE(valueOf(mine,
                         QStringLiteral("SELECT City || '/' || Country AS Both FROM Port WHERE PortName = "
                                        "'Paradip'"),
                         QStringLiteral("Both")),
                 QStringLiteral("Jagatsinghpur/IN"));
        // The other set, behind now in its turn, is refused.
        theirs.setValue(QStringLiteral("City"), Variant(QStringLiteral("Cuttack")));
        QCOMPARE(expectError([&] { theirs.update(); }).number(), ChangeCount::ChangedMeanwhile);
        theirs.cancelUpdate();
        ours.deleteCurrent();
        QCOMPARE(portId(mine, QStringLiteral("Paradip")), 0);
    }

    void secondSaveOfAChangedTableIsRefused()
    {
        Connection& mine = sharedConnection();
        const int id = HydrostaticTable::shipIdByName(kShip, &mine);
        QVERIFY(id > 0);
        qint64 ourCount = 0;
        qint64 theirCount = 0;
        const HydrostaticTable original = *HydrostaticTable::loadForShip(id, &mine, &ourCount);
        QVERIFY(HydrostaticTable::loadForShip(id, m_other.get(), &theirCount));
        QCOMPARE(theirCount, ourCount);
        QVERIFY(ourCount > 0);

        HydrostaticTable theirs = original;
        theirs.rows[3].tpc = theirs.rows[3].tpc + Decimal(1);
        theirCount = HydrostaticTable::saveForShip(id, theirs, m_other.get(), theirCount);
        QVERIFY(theirCount > ourCount);
        HydrostaticTable ours = original;
        ours.rows[7].lcf = ours.rows[7].lcf + Decimal(1);
        QCOMPARE(expectError([&] { HydrostaticTable::saveForShip(id, ours, &mine, ourCount); }).number(),
                 ChangeCount::ChangedMeanwhile);
        QCOMPARE(*HydrostaticTable::loadForShip(id, &mine), theirs);
        QCOMPARE(expectError([&] { HydrostaticTable::removeForShip(id, &mine, ourCount); }).number(),
                 ChangeCount::ChangedMeanwhile);

        // A table removed and made again never takes the count it had: a window that read it
        // before the removal cannot write it back.
        const qint64 beforeRemoval = theirCount;
        theirCount = HydrostaticTable::removeForShip(id, m_other.get(), theirCount);
        QVERIFY(!HydrostaticTable::loadForShip(id, &mine));
        qint64 none = -5;
        QVERIFY(!HydrostaticTable::loadForShip(id, m_other.get(), &none));
        QCOMPARE(none, theirCount);
        theirCount = HydrostaticTable::saveForShip(id, original, m_other.get(), none);
        QVERIFY(theirCount > beforeRemoval + 1);
        QCOMPARE(
            expectError([&] { HydrostaticTable::saveForShip(id, ours, &mine, beforeRemoval); }).number(),
            ChangeCount::ChangedMeanwhile);
        // The command line's import writes whatever is stored, and is counted as a write.
        const qint64 imported = HydrostaticTable::saveForShip(id, original, &mine);
        QCOMPARE(imported, theirCount + 1);
        QCOMPARE(*HydrostaticTable::loadForShip(id, &mine), original);
    }

    // ---- the windows -------------------------------------------------------------------------

    void shipParticularsRefusesASaveOverAnotherWriter()
    {
        Connection& mine = sharedConnection();
        const int port = portId(mine, QStringLiteral("Port Hedland"));
        mine.execute(SqlCatalogue::insertShip(shipValues(QStringLiteral("Aaron Window"), port)));
        const int id = shipId(mine, QStringLiteral("Aaron Window"));
        ShipParticularsWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* name = window.findChild<QComboBox*>(QStringLiteral("cmbShipName"));
        QCOMPARE(name->currentText(), QStringLiteral("Aaron Window"));  // first by name

        // Another program changes her light ship while she is on show.
        m_other->execute(QStringLiteral("UPDATE Ship SET LightShip = 9001.5 WHERE ShipID = %1").arg(id));
        auto* flag = window.findChild<QLineEdit*>(QStringLiteral("txtFlag"));
        flag->setFocus();
        flag->selectAll();
        QTest::keyClicks(flag, QStringLiteral("Liberia"));
        MessageService::setNextAnswer(Msg::Answer::Yes);  // "Are you sure to update ...?"
        MessageService::setNextAnswer(Msg::Answer::No);  // keep the edits on the form
        window.saveRecord();
        QVERIFY2(messages().size() == 2, qPrintable(messages().join('|')));
        const MessageRecord refusal = MessageService::records().last();
        QCOMPARE(refusal.title, QStringLiteral("Ship Particulars"));
        QCOMPARE(refusal.buttons, Msg::Buttons::YesNo);
        QCOMPARE(refusal.defaultButton, std::optional<Msg::Answer>(Msg::Answer::No));
        QVERIFY2(
            refusal.text.startsWith(QStringLiteral("The ship Aaron Window was changed by another user or "
                                                   "program after this window read her (changed: Light "
                                                   "Ship).")),
            qPrintable(refusal.text));
        QVERIFY(refusal.text.contains(QStringLiteral("Your changes were not saved")));
        QCOMPARE(valueOf(mine, SqlCatalogue::shipById(id), QStringLiteral("LightShip")),
                 QStringLiteral("9001.5"));
        QCOMPARE(valueOf(mine, SqlCatalogue::shipById(id), QStringLiteral("Flag")),
                 QStringLiteral("Singapore"));
        QCOMPARE(flag->text(), QStringLiteral("Liberia"));  // No: the edit stays on the form
        QVERIFY(window.isDirty());

        // Again, with Yes: the ship as stored now is shown; the flag typed again is saved alone.
        MessageService::clearRecords();
        MessageService::setNextAnswer(Msg::Answer::Yes);
        MessageService::setNextAnswer(Msg::Answer::Yes);
        window.saveRecord();
        QCOMPARE(MessageService::records().size(), 2);
        auto* lightShip = window.findChild<QLineEdit*>(QStringLiteral("txtLightShip"));
        QCOMPARE(lightShip->text(), QStringLiteral("9001.5"));
        QCOMPARE(flag->text(), QStringLiteral("Singapore"));
        QVERIFY(!window.isDirty());
        flag->setFocus();
        flag->selectAll();
        QTest::keyClicks(flag, QStringLiteral("Liberia"));
        MessageService::clearRecords();
        window.saveRecord();
        QCOMPARE(messages(),
                 QStringList({QStringLiteral("Are you sure to update the current record ?"),
                              QStringLiteral("One record has been updated successfully.")}));
        QCOMPARE(valueOf(mine, SqlCatalogue::shipById(id), QStringLiteral("LightShip")),
                 QStringLiteral("9001.5"));
        QCOMPARE(valueOf(mine, SqlCatalogue::shipById(id), QStringLiteral("Flag")),
                 QStringLiteral("Liberia"));

        // Saved once, the window saves again without a refusal: it counts its own writes.
        flag->setFocus();
        flag->selectAll();
        QTest::keyClicks(flag, QStringLiteral("Malta"));
        MessageService::clearRecords();
        window.saveRecord();
        QCOMPARE(messages().last(), QStringLiteral("One record has been updated successfully."));
        QCOMPARE(valueOf(mine, SqlCatalogue::shipById(id), QStringLiteral("Flag")), QStringLiteral("Malta"));

        // A delete after another writer's change is refused the same way, and deletes nothing.
        m_other->execute(QStringLiteral("UPDATE Ship SET CallSign = 'ZZ9' WHERE ShipID = %1").arg(id));
        MessageService::clearRecords();
        MessageService::setNextAnswer(Msg::Answer::Yes);  // "Are you sure to delete ...?"
        MessageService::setNextAnswer(Msg::Answer::No);
        window.deleteRecord();
        QVERIFY2(messages().last().contains(QStringLiteral("(changed: Call Sign)")),
                 qPrintable(messages().last()));
        QVERIFY(shipId(mine, QStringLiteral("Aaron Window")) > 0);
        window.close();
        mine.execute(SqlCatalogue::deleteShip(id));
    }

    void shipParticularsCountsTheKeelPlateWithTheParticulars()
    {
        // The keel plate is kept apart from the first particulars, but a save writes it in the
        // statement that compares the count: one write, counted once, refused over another's.
        Connection& mine = sharedConnection();
        const int port = portId(mine, QStringLiteral("Port Hedland"));
        mine.execute(SqlCatalogue::insertShip(shipValues(QStringLiteral("Aaron Keel"), port)));
        const int id = shipId(mine, QStringLiteral("Aaron Keel"));
        const QString countSql = QStringLiteral("SELECT ChangeCount FROM Ship WHERE ShipID = %1").arg(id);
        const QString before = valueOf(mine, countSql, QStringLiteral("ChangeCount"));
        ShipParticularsWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* name = window.findChild<QComboBox*>(QStringLiteral("cmbShipName"));
        QCOMPARE(name->currentText(), QStringLiteral("Aaron Keel"));  // first by name
        auto* keel = window.findChild<QLineEdit*>(QStringLiteral("txtKeelPlate"));
        QVERIFY(keel);
        keel->setFocus();
        keel->selectAll();
        QTest::keyClicks(keel, QStringLiteral("25"));
        MessageService::setNextAnswer(Msg::Answer::Yes);  // "Are you sure to update ...?"
        window.saveRecord();
        QCOMPARE(messages().last(), QStringLiteral("One record has been updated successfully."));
        QCOMPARE(valueOf(mine, SqlCatalogue::shipById(id), QStringLiteral("KeelPlate")),
                 QStringLiteral("25"));
        QCOMPARE(valueOf(mine, countSql, QStringLiteral("ChangeCount")),
                 QString::number(before.toLongLong() + 1));

        // Its own keel plate write counted once: the next save goes through.
        auto* flag = window.findChild<QLineEdit*>(QStringLiteral("txtFlag"));
        flag->setFocus();
        flag->selectAll();
        QTest::keyClicks(flag, QStringLiteral("Malta"));
        MessageService::clearRecords();
        MessageService::setNextAnswer(Msg::Answer::Yes);
        window.saveRecord();
        QCOMPARE(messages().last(), QStringLiteral("One record has been updated successfully."));
        QCOMPARE(valueOf(mine, SqlCatalogue::shipById(id), QStringLiteral("KeelPlate")),
                 QStringLiteral("25"));

        // Another writer's keel plate is named in the refusal and stays as they wrote it.
        m_other->execute(SqlCatalogue::shipKeelPlate(QStringLiteral("30"), id));
        flag->setFocus();
        flag->selectAll();
        QTest::keyClicks(flag, QStringLiteral("Liberia"));
        MessageService::clearRecords();
        MessageService::setNextAnswer(Msg::Answer::Yes);
        MessageService::setNextAnswer(Msg::Answer::No);  // keep the edits on the form
        window.saveRecord();
        QVERIFY2(messages().last().contains(QStringLiteral("(changed: Keel Plate)")),
                 qPrintable(messages().last()));
        QCOMPARE(valueOf(mine, SqlCatalogue::shipById(id), QStringLiteral("KeelPlate")),
                 QStringLiteral("30"));
        QCOMPARE(valueOf(mine, SqlCatalogue::shipById(id), QStringLiteral("Flag")), QStringLiteral("Malta"));
        window.close();
        mine.execute(SqlCatalogue::deleteShip(id));
    }

    void portMasterRefusesASaveOverAnotherWriter()
    {
        Connection& mine = sharedConnection();
        mine.execute(
            QStringLiteral("INSERT INTO Port (PortName, City, Country) VALUES ('AAA Haldia', 'Haldia', "
                           "'India')"));
        const int id = portId(mine, QStringLiteral("AAA Haldia"));
        PortMasterWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* list = window.findChild<QListWidget*>(QStringLiteral("dlstPortMaster"));
        list->setCurrentRow(0);
        auto* country = window.findChild<QLineEdit*>(QStringLiteral("txtCountry"));
        QCOMPARE(country->text(), QStringLiteral("India"));

        m_other->execute(QStringLiteral("UPDATE Port SET City = 'Kolkata' WHERE PortID = %1").arg(id));
        country->setText(QStringLiteral("Bharat"));
        MessageService::setNextAnswer(Msg::Answer::Yes);
        MessageService::setNextAnswer(Msg::Answer::Yes);  // show the port as stored now
        window.saveRecord();
        QCOMPARE(messages().size(), 2);
        const MessageRecord refusal = MessageService::records().last();
        QCOMPARE(refusal.title, QStringLiteral("Port Master"));
        QVERIFY2(refusal.text.startsWith(
                     QStringLiteral("The port AAA Haldia was changed by another user or program "
                                    "after this window read it (changed: City).")),
                 qPrintable(refusal.text));
        QCOMPARE(valueOf(mine, SqlCatalogue::portById(id), QStringLiteral("Country")),
                 QStringLiteral("India"));
        QCOMPARE(window.findChild<QLineEdit*>(QStringLiteral("txtCity"))->text(), QStringLiteral("Kolkata"));
        QCOMPARE(country->text(), QStringLiteral("India"));

        // Shown again, the port saves.
        country->setText(QStringLiteral("Bharat"));
        MessageService::clearRecords();
        window.saveRecord();
        QCOMPARE(messages().last(), QStringLiteral("One record has been updated successfully."));
        QCOMPARE(valueOf(mine, SqlCatalogue::portById(id), QStringLiteral("City")),
                 QStringLiteral("Kolkata"));
        QCOMPARE(valueOf(mine, SqlCatalogue::portById(id), QStringLiteral("Country")),
                 QStringLiteral("Bharat"));

        // Deleted by the other writer meanwhile: said so, nothing written back.
        list->setCurrentRow(0);
        m_other->execute(QStringLiteral("DELETE FROM Port WHERE PortID = %1").arg(id));
        country->setText(QStringLiteral("IN"));
        MessageService::clearRecords();
        MessageService::setNextAnswer(Msg::Answer::Yes);
        MessageService::setNextAnswer(Msg::Answer::No);
        window.saveRecord();
        QVERIFY2(
            messages().last().startsWith(QStringLiteral("The port AAA Haldia was deleted by another user")),
            qPrintable(messages().last()));
        QCOMPARE(portId(mine, QStringLiteral("AAA Haldia")), 0);
        window.close();
    }

    void tableWindowSaveAfterACommandLineImportIsRefused()
    {
        const int id = HydrostaticTable::shipIdByName(kShip);
        const HydrostaticTable original = *HydrostaticTable::loadForShip(id);
        HydrostaticTableWindow editor(id, kShip);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));

        // The command line imports a table with one TPC changed while the window is open.
        HydrostaticTable imported = original;
        imported.rows[10].tpc
            = imported.rows[10].tpc + *Decimal::parse(QStringLiteral("0.01"), QLocale::c());
        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("table.csv"));
        QFile f(csv);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(HydrostaticTableFile::toCsv(imported));
        f.close();
        const TestSupport::Run run
            = TestSupport::runProgram(kLt, {"--data-dir", m_data, "--import-hydrostatics", kShip, csv});
        QVERIFY2(run.status == 0, qPrintable(run.err));
        QCOMPARE(*HydrostaticTable::loadForShip(id), imported);

        // The window's next save is refused and names the row; the import stays.
        auto* grid = editor.findChild<QTableWidget*>(QStringLiteral("grdHydrostatics"));
        grid->item(20, 3)->setText(grid->item(20, 3)->text()
                                   + QLatin1Char('0'));  // the same figure, retyped
        MessageService::clearRecords();
        MessageService::setNextAnswer(Msg::Answer::No);
        QVERIFY(!editor.save());
        QVERIFY2(messages().last().startsWith(
                     QStringLiteral("The hydrostatic table of Coral Meridian was changed "
                                    "by another user or program after this window read "
                                    "it (rows 11 differ).")),
                 qPrintable(messages().join('|')));
        QCOMPARE(*HydrostaticTable::loadForShip(id), imported);
        QVERIFY(editor.isDirty());
        // Yes shows the imported table; saved from there, it is written.
        MessageService::clearRecords();
        MessageService::setNextAnswer(Msg::Answer::Yes);
        QVERIFY(!editor.save());
        QCOMPARE(*editor.tableOnShow(false), imported);
        grid->item(0, 1)->setText(grid->item(0, 1)->text());
        MessageService::clearRecords();
        QVERIFY(editor.save());
        QCOMPARE(*HydrostaticTable::loadForShip(id), imported);
        HydrostaticTable::saveForShip(id, original);
    }
};

QTEST_MAIN(TestConcurrentWrites)
#include "test_concurrent_writes.moc"
