// A ship's tank calibration tables without a window: volumes worked out by hand from small
// tables (between rows and trims, on them, heeled, by ullage, and refused outside), the audit of
// a table before it is kept, and where the tables live in DS.dat.

#include "core/AppPaths.h"
#include "db/CipherFile.h"
#include "db/Connection.h"
#include "db/Database.h"
#include "db/RowSet.h"
#include "db/Schema.h"
#include "db/SchemaUpgrade.h"
#include "db/SqlCatalogue.h"
#include "files/SurveyFile.h"
#include "files/SurveyFileModel.h"
#include "files/TankTableFile.h"
#include "model/HydrostaticTable.h"
#include "model/SurveyDraft.h"
#include "model/SurveyModel.h"
#include "model/TankTable.h"
#include "tests/SurveyTestShips.h"
#include "tests/TankTestTables.h"
#include "tests/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace TankTestTables;

namespace {

TankTables exampleTanks()
{
    QString error;
    const std::optional<TankTables> t = TankTableFile::readFile(
        TestSupport::sourceDir() + QStringLiteral("/examples/coral-meridian-tanks.csv"),
        TankTableFile::TrimSign::SternPositive, &error);
    if (!t)
        qFatal("%s", qPrintable(error));
    return *t;
}

// The example ship in a fresh database copy, with her hydrostatic and tank tables.
int insertExampleShip()
{
    Connection& c = sharedConnection();
    for (const char* port : {"Monrovia", "Port Hedland", "Qingdao"})
        c.execute(QStringLiteral("INSERT INTO Port (PortName) VALUES ('%1')").arg(QLatin1String(port)));
    SqlCatalogue::ShipValues v;
    v.shipName = QStringLiteral("Coral Meridian");
    v.lbp = QStringLiteral("217");
    v.loa = QStringLiteral("225");
    v.breadth = QStringLiteral("32.26");
    v.lightShip = QStringLiteral("10850");
    v.portOfRegistry = QStringLiteral("1");
    v.officialNo = v.imoNo = v.grossTonnage = v.netTonnage = v.summerDraft = v.summerDeadweight
        = QStringLiteral("0");
    c.execute(SqlCatalogue::insertShip(v));
    const int ship = HydrostaticTable::shipIdByName(v.shipName);
    TankTables::saveForShip(ship, exampleTanks());
    return ship;
}

QStringList results(const SurveyModel& m, int draft)
{
    QStringList out;
    for (const Variant& f : m.draft(draft).finalResult())
        out.append(f.isEmpty() ? QString() : f.toText());
    return out;
}

SurveyModel::Kind kindOf(const SurveyFileData& d)
{
    return d.kind == SurveyFileData::Kind::Loading ? SurveyModel::Kind::Loading
                                                   : SurveyModel::Kind::Discharging;
}

} // namespace

class TestTanks : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { TestSupport::initTestEnvironment(); }

    // --- Volumes --------------------------------------------------------------------------

    void volumeWorkedByHand_data()
    {
        QTest::addColumn<QString>("tank");
        QTest::addColumn<QString>("reading");
        QTest::addColumn<QString>("trim");
        QTest::addColumn<QString>("heel");
        QTest::addColumn<QString>("volume");
        // At 1 m: 14 + 20 x 12.5 / 50 = 19; at 2 m: 16 + 20 x 12.5 / 50 = 21; at 1.3 m: 19 + 2 x 0.3.
        QTest::newRow("between gauges and trims") << "DB1P"
                                                  << "62.5"
                                                  << "1.3"
                                                  << "0"
                                                  << "19.6";
        // At -1 m: 10 + 20 x 7 / 50 = 12.8; at 0 m: 14.8; at -0.25 m: 12.8 + 2 x 0.75.
        QTest::newRow("by the head") << "DB1P"
                                     << "57"
                                     << "-0.25"
                                     << "0"
                                     << "14.3";
        QTest::newRow("on a gauge and a trim") << "DB1P"
                                               << "100"
                                               << "1"
                                               << "0"
                                               << "34";
        QTest::newRow("on the table's ends") << "DB1P"
                                             << "150"
                                             << "2"
                                             << "0"
                                             << "56";
        QTest::newRow("empty") << "DB1P"
                               << "0"
                               << "-1"
                               << "0"
                               << "0";
        // On a gauge between trims: 32 + 2 x 0.45.
        QTest::newRow("on a gauge between trims") << "DB1P"
                                                  << "100"
                                                  << "0.45"
                                                  << "0"
                                                  << "32.9";
        // Between gauges on a trim, a third of the way: 32 + 20 x 1/3 = 38.666..., to 3 places.
        QTest::newRow("rounded to litres") << "DB1P"
                                           << "116.6666"
                                           << "0"
                                           << "0"
                                           << "38.667";
        // Even keel 22 at 75 cm, trim 0; the 2P column there -0.6, half of it at 1 degree.
        QTest::newRow("heeled to port") << "DB1P"
                                        << "75"
                                        << "0"
                                        << "-1"
                                        << "21.7";
        // The 2S column at 75 cm is 0.8; at 1.5 degrees three quarters of it.
        QTest::newRow("heeled to starboard") << "DB1P"
                                             << "75"
                                             << "0"
                                             << "1.5"
                                             << "22.6";
        QTest::newRow("on a heel column") << "DB1P"
                                          << "150"
                                          << "1"
                                          << "-2"
                                          << "53";
        // Ullage 150 cm: at 0 m 60 - 60 x 0.5 = 30, at 1 m 29; at 0.5 m 29.5.
        QTest::newRow("by ullage") << "FWT"
                                   << "150"
                                   << "0.5"
                                   << "0"
                                   << "29.5";
        QTest::newRow("ullage nought: pressed up") << "FWT"
                                                   << "0"
                                                   << "1"
                                                   << "0"
                                                   << "98";
        // A table without heel columns takes no heel correction.
        QTest::newRow("no heel columns") << "FWT"
                                         << "100"
                                         << "0"
                                         << "1.2"
                                         << "60";
    }
    void volumeWorkedByHand()
    {
        QFETCH(QString, tank);
        QFETCH(QString, reading);
        QFETCH(QString, trim);
        QFETCH(QString, heel);
        QFETCH(QString, volume);
        const Tank t = tank == QLatin1String("FWT") ? ullageTank() : ballastTank();
        const TankVolume::Result r = TankVolume::at(t, *Decimal::parse(reading, QLocale::c()),
            *Decimal::parse(trim, QLocale::c()), *Decimal::parse(heel, QLocale::c()));
        QVERIFY2(r.volume, qPrintable(r.reason));
        QCOMPARE(r.volume->toString(), volume);
        QVERIFY(r.reason.isEmpty());
    }

    void neverExtrapolated_data()
    {
        QTest::addColumn<QString>("tank");
        QTest::addColumn<QString>("reading");
        QTest::addColumn<QString>("trim");
        QTest::addColumn<QString>("heel");
        QTest::addColumn<QString>("reason");
        QTest::newRow("above the table")
            << "DB1P"
            << "150.5"
            << "0"
            << "0"
            << "Tank DB1P: the sounding 150.5 cm lies outside its table (0 cm to 150 cm).";
        QTest::newRow("below the table")
            << "DB1P"
            << "-1"
            << "0"
            << "0"
            << "Tank DB1P: the sounding -1 cm lies outside its table (0 cm to 150 cm).";
        QTest::newRow("trim by the stern")
            << "DB1P"
            << "75"
            << "2.01"
            << "0"
            << "Tank DB1P: the trim 2.01 m lies outside its table (-1 m to 2 m).";
        QTest::newRow("trim by the head") << "FWT"
                                          << "75"
                                          << "-0.5"
                                          << "0"
            << "Tank FWT: the trim -0.5 m lies outside its table (0 m to 1 m).";
        QTest::newRow("ullage beyond")
            << "FWT"
            << "201"
            << "0"
            << "0"
            << "Tank FWT: the ullage 201 cm lies outside its table (0 cm to 200 cm).";
        QTest::newRow("list beyond the columns")
            << "DB1P"
            << "75"
            << "0"
            << "2.5"
            << "Tank DB1P: the list of 2.5 degrees to starboard lies beyond its heel columns.";
    }
    void neverExtrapolated()
    {
        QFETCH(QString, tank);
        QFETCH(QString, reading);
        QFETCH(QString, trim);
        QFETCH(QString, heel);
        QFETCH(QString, reason);
        const Tank t = tank == QLatin1String("FWT") ? ullageTank() : ballastTank();
        const TankVolume::Result r = TankVolume::at(t, *Decimal::parse(reading, QLocale::c()),
            *Decimal::parse(trim, QLocale::c()), *Decimal::parse(heel, QLocale::c()));
        QVERIFY(!r.volume);
        QCOMPARE(r.reason, reason);
    }

    void listFromTheMidshipDrafts()
    {
        // 10 cm deeper to port across 32.26 m: atan(0.1 / 32.26) = 0.0030998 rad = 0.1776 degrees.
        QCOMPARE(
            TankVolume::heelDegrees(d("7.10"), d("7.00"), d("32.26"))->toString(), QStringLiteral("-0.18"));
        QCOMPARE(
            TankVolume::heelDegrees(d("7.00"), d("7.10"), d("32.26"))->toString(), QStringLiteral("0.18"));
        // 1 m across 20 m: atan(0.05) = 2.8624 degrees.
        QCOMPARE(TankVolume::heelDegrees(d("6"), d("7"), d("20"))->toString(), QStringLiteral("2.86"));
        QCOMPARE(TankVolume::heelDegrees(d("7"), d("7"), d("20"))->toString(), QStringLiteral("0"));
        QVERIFY(!TankVolume::heelDegrees(d("7"), d("7"), d("0")));
    }

    void groupsFillTheirDeductibles()
    {
        QCOMPARE(TankGroups::deductionItem(TankGroup::Ballast), 26);
        QCOMPARE(TankGroups::deductionItem(TankGroup::FreshWater), 25);
        QCOMPARE(TankGroups::deductionItem(TankGroup::FuelOil), 2);
        QCOMPARE(TankGroups::deductionItem(TankGroup::DieselOil), 3);
        QCOMPARE(TankGroups::deductionItem(TankGroup::LubOil), 24);
        QCOMPARE(TankGroups::deductionItem(TankGroup::Other), 28);
        QCOMPARE(TankGroups::fromName(QStringLiteral(" fresh  water")), TankGroup::FreshWater);
        QVERIFY(!TankGroups::fromName(QStringLiteral("Slops")));
    }

    // --- Audit ----------------------------------------------------------------------------

    void soundTablesPass()
    {
        TankTables t;
        t.tanks = {ballastTank(), ullageTank(), fuelTank()};
        QVERIFY2(TankAudit::audit(t).isEmpty(), qPrintable(TankAudit::describe(TankAudit::audit(t))));
    }

    void oneWrongDigit()
    {
        TankTables t;
        t.tanks = {fuelTank()};
        // 20 m3 at 40 cm read as 23: still increasing, but off the line of its neighbours.
        t.tanks[0].rows[4].volumes[1] = d("23");
        QList<TankAudit::Finding> f = TankAudit::audit(t);
        QCOMPARE(f.size(), 1);
        QCOMPARE(f[0].severity, TankAudit::Finding::Doubt);
        QCOMPARE(f[0].row, 5);
        QCOMPARE(f[0].text,
            QStringLiteral("Tank FO1, row 5: the volume 23 m3 at trim 1 m breaks the trend of "
                           "the rows around it."));
        QVERIFY(!TankAudit::hasErrors(f));

        // 35 m3 at 70 cm read as 85: the row after it holds less.
        t.tanks = {fuelTank()};
        t.tanks[0].rows[7].volumes[0] = d("85");
        f = TankAudit::audit(t);
        QVERIFY(TankAudit::hasErrors(f));
        QCOMPARE(f[0].text,
            QStringLiteral("Tank FO1, row 9: the volume 40 m3 at trim -1 m is below the volume "
                           "85 m3 of row 8; the volume must not decrease as the sounding deepens."));

        // A gauge typed 60 where 80 belongs.
        t.tanks = {fuelTank()};
        t.tanks[0].rows[8].gauge = d("60");
        f = TankAudit::audit(t);
        QCOMPARE(f.size(), 1);
        QCOMPARE(f[0].text,
            QStringLiteral("Tank FO1, row 9: the gauge 60 cm does not follow the gauge 70 cm of "
                           "row 8; gauges must increase from row to row."));
    }

    void auditTheTanksAsAWhole()
    {
        TankTables t;
        Tank u = ullageTank();
        u.rows[1].volumes[0] = d("101"); // an ullage deeper than the one above it holds more
        Tank twice = ballastTank(QStringLiteral("db1p"));
        twice.trims = ds({"-1", "0", "0", "2"});
        twice.rows[2].volumes.removeLast();
        t.tanks = {ballastTank(), u, twice};
        const QString all = TankAudit::describe(TankAudit::audit(t));
        QVERIFY2(all.contains(
                     QStringLiteral("Tank FWT, row 2: the volume 101 m3 at trim 0 m is above the volume "
                                    "100 m3 of row 1; the volume must not increase as the ullage deepens.")),
            qPrintable(all));
        QVERIFY(all.contains(QStringLiteral("Tank db1p is given twice.")));
        QVERIFY(
            all.contains(QStringLiteral("Tank db1p: the trim 0 m does not follow the trim 0 m; trims must "
                                        "increase from column to column.")));
        QVERIFY(all.contains(
            QStringLiteral("Tank db1p, row 3: the row has 5 figures where the table has 6 columns.")));
    }

    // --- In the database ------------------------------------------------------------------

    void keptWithTheShipAndGoneWithHer()
    {
        QTemporaryDir dir;
        QVERIFY(TestSupport::openFreshDatabaseCopy(dir));
        Connection& c = sharedConnection();
        QCOMPARE(SchemaUpgrade::version(c.handle()), SchemaUpgrade::CurrentVersion);
        c.execute(QStringLiteral("INSERT INTO Port (PortName) VALUES ('Durban')"));
        c.execute(
            QStringLiteral("INSERT INTO Ship (ShipName, LBP, PortOfRegistry) VALUES ('Kestrel', 180, 1)"));
        c.execute(
            QStringLiteral("INSERT INTO Ship (ShipName, LBP, PortOfRegistry) VALUES ('Osprey', 190, 1)"));
        const int kestrel = HydrostaticTable::shipIdByName(QStringLiteral("Kestrel"));
        const int osprey = HydrostaticTable::shipIdByName(QStringLiteral("Osprey"));
        QVERIFY(TankTables::loadForShip(kestrel).isEmpty());

        TankTables a;
        a.tanks = {ballastTank(), ullageTank(), fuelTank()};
        a.tanks[2].density.reset();
        a.tanks[0].rows[1].volumes[0] = d("10.0500"); // the digits as the booklet gives them
        TankTables b;
        b.tanks = {ballastTank(QStringLiteral("O'Hara's tank"))};
        TankTables::saveForShip(kestrel, a);
        TankTables::saveForShip(osprey, b);
        const TankTables back = TankTables::loadForShip(kestrel);
        QCOMPARE(back, a);
        QCOMPARE(back.tanks[0].rows[1].volumes[0].toString(), QStringLiteral("10.05"));
        QVERIFY(!back.tanks[2].density);
        QCOMPARE(TankTables::loadForShip(osprey), b);
        // Replacing keeps only the new tanks.
        TankTables::saveForShip(kestrel, b);
        QCOMPARE(TankTables::loadForShip(kestrel), b);

        c.execute(SqlCatalogue::deleteShip(kestrel));
        QVERIFY(TankTables::loadForShip(kestrel).isEmpty());
        RowSet rows;
        rows.open(QStringLiteral("SELECT count(*) AS n FROM TankRow WHERE ShipID = %1").arg(kestrel), c);
        QCOMPARE(rows.value(QStringLiteral("n")).toInt32(), 0);
        // The count of writes of her tables goes with her too.
        rows.open(QStringLiteral("SELECT count(*) AS n FROM TankTableChanges WHERE ShipID = %1").arg(kestrel), c);
        QCOMPARE(rows.value(QStringLiteral("n")).toInt32(), 0);
        c.execute(QStringLiteral("DELETE FROM Port WHERE PortID = 1"));
        rows.open(QStringLiteral("SELECT count(*) AS n FROM TankRow"), c);
        QCOMPARE(rows.value(QStringLiteral("n")).toInt32(), 0);
        rows.open(QStringLiteral("SELECT count(*) AS n FROM TankTable"), c);
        QCOMPARE(rows.value(QStringLiteral("n")).toInt32(), 0);
        closeDatabase();
    }

    void olderFileGainsTheTables()
    {
        // A DS.dat of version 4: the first tables and the versions up to 4, no tank tables.
        QTemporaryDir dir;
        const QString dat = dir.filePath(QStringLiteral("DS.dat"));
        Schema::writeWorkgroupFile(
            dir.filePath(QStringLiteral("DS.lib")), Schema::userName(), Schema::userPassword(), true);
        sqlite3* db
            = CipherFile::open(dat, Schema::databasePassword(), true, QStringLiteral("cannot create"));
        for (const QString& s : Schema::tableStatements())
            CipherFile::exec(db, s);
        SchemaUpgrade::addAllVersions(db);
        CipherFile::exec(db, QStringLiteral("DROP TABLE TankTableChanges"));
        CipherFile::exec(db, QStringLiteral("DROP TABLE TankRow"));
        CipherFile::exec(db, QStringLiteral("DROP TABLE TankTable"));
        CipherFile::exec(db, QStringLiteral("PRAGMA user_version = 4"));
        CipherFile::exec(db, QStringLiteral("INSERT INTO Port (PortName) VALUES ('Santos')"));
        CipherFile::exec(db,
            QStringLiteral(
                "INSERT INTO Ship (ShipName, PortOfRegistry, LBP) VALUES ('Old Timer', 1, '175.25')"));
        CipherFile::close(db);

        AppPaths::setAppDir(dir.path());
        openDatabase();
        QVERIFY(!startupFailed());
        QCOMPARE(SchemaUpgrade::version(sharedConnection().handle()), SchemaUpgrade::CurrentVersion);
        const int ship = HydrostaticTable::shipIdByName(QStringLiteral("Old Timer"));
        QVERIFY(ship > 0);
        QVERIFY(TankTables::loadForShip(ship).isEmpty());
        TankTables t;
        t.tanks = {ullageTank()};
        TankTables::saveForShip(ship, t);
        QCOMPARE(TankTables::loadForShip(ship), t);
        closeDatabase();
    }

    // --- Files ----------------------------------------------------------------------------

    void importExportImportUnchanged()
    {
        const TankTables first = exampleTanks();
        QCOMPARE(first.tanks.size(), 12);
        const QList<TankAudit::Finding> audited = TankAudit::audit(first);
        QVERIFY2(audited.isEmpty(), qPrintable(TankAudit::describe(audited)));
        for (bool comma : {false, true}) {
            QString error;
            const QByteArray csv = TankTableFile::toCsv(first, comma);
            const std::optional<TankTables> again = TankTableFile::parse(
                QString::fromUtf8(csv), TankTableFile::TrimSign::SternPositive, &error);
            QVERIFY2(again, qPrintable(error));
            QCOMPARE(*again, first);
            QCOMPARE(TankTableFile::toCsv(*again, comma), csv);
        }
        // The hand-made tables too: ullage, heel columns, a tank without a density, other trims.
        TankTables small;
        small.tanks = {ballastTank(), ullageTank(), fuelTank()};
        small.tanks[2].density.reset();
        QString error;
        const auto back = TankTableFile::parse(QString::fromUtf8(TankTableFile::toCsv(small, true)),
            TankTableFile::TrimSign::SternPositive, &error);
        QVERIFY2(back, qPrintable(error));
        QCOMPARE(*back, small);
    }

    void readingTheFile()
    {
        // By the stern negative, decimal commas, columns in the booklet's own order.
        const QString text = QStringLiteral("Tank;Group;Sounding;Trim 1,5;Trim 0;Trim -1;Heel 1S;Heel 1P\n"
                                            "No. 1 DB (P);ballast;0;0;0;0;0;0\n"
                                            "No. 1 DB (P);Ballast;10,5;3,25;3;2,75;0,1;-0,1\n");
        QString error;
        std::optional<TankTables> t
            = TankTableFile::parse(text, TankTableFile::TrimSign::SternNegative, &error);
        QVERIFY2(t, qPrintable(error));
        const Tank& tank = t->tanks.at(0);
        QCOMPARE(tank.name, QStringLiteral("No. 1 DB (P)"));
        QCOMPARE(tank.trims, ds({"-1.5", "0", "1"}));
        QCOMPARE(tank.rows[1].volumes, ds({"3.25", "3", "2.75"}));
        QCOMPARE(tank.heels, ds({"-1", "1"}));
        QCOMPARE(tank.rows[1].heel, ds({"-0.1", "0.1"}));
        QCOMPARE(tank.rows[1].gauge, d("10.5"));

        const struct {
            const char* text;
            const char* error;
        } refused[] = {
            {"Tank,Group,Sounding,Trim 0\nA,Ballast,0,0\nA,Ballast,10,1x\n",
                "Line 3, column 4 (Trim 0): \"1x\" is not a number."},
            {"Tank,Group,Sounding,Trim 0\nA,Slops,0,0\n",
                "Line 2, column 2 (Group): \"Slops\" is no group (Ballast, Fresh Water, Fuel Oil, Diesel "
                "Oil, Lub Oil "
                "or Other)."},
            {"Tank,Group,Sounding,Trim 0,Trim 1\nA,Ballast,0,0,0\nA,Ballast,10,1,\n",
                "Line 3, column 5 (Trim 1): the figure is missing."},
            {"Tank,Group,Depth,Trim 0\n",
                "Line 1, column 3: \"Depth\" names no column of a tank table (Tank, "
                "Group, Sounding, Ullage, Density, Trim <m>, Heel <deg>P or Heel <deg>S)."},
            {"Tank,Group,Sounding\nA,Ballast,0\n",
                "Line 1: the first line must name the columns: Tank, Group, "
                "Sounding or Ullage, and a Trim <m> column for each trim of the "
                "tables."},
        };
        for (const auto& r : refused) {
            QVERIFY(!TankTableFile::parse(
                QString::fromLatin1(r.text), TankTableFile::TrimSign::SternPositive, &error));
            QCOMPARE(error, QString::fromLatin1(r.error));
        }
    }

    // --- The survey -----------------------------------------------------------------------

    // The example loading survey from soundings gives, to the digit, the figures of the same
    // survey with its group totals typed as deductibles.
    void soundingsGiveTheTypedSurvey()
    {
        QTemporaryDir dir;
        QVERIFY(TestSupport::openFreshDatabaseCopy(dir));
        insertExampleShip();
        const SurveyFileData sounded
            = SurveyTestShips::readExample(QStringLiteral("loading-port-hedland-soundings.json"));
        QVERIFY(!sounded.initial.tanks.isEmpty() && sounded.final && !sounded.final->tanks.isEmpty());
        SurveyModel a(kindOf(sounded));
        const SurveyLoadResult r = SurveyFileModel::load(a, sounded, QStringLiteral("soundings"));
        QVERIFY2(r.loaded(), qPrintable(r.message));

        SurveyFileData typed = sounded;
        for (SurveyDraftData* d : {&typed.initial, &*typed.final}) {
            d->tanks.clear();
            d->deductibles.clear();
        }
        for (int draft : {SurveyModel::Initial, SurveyModel::Final}) {
            const TankSheetWork::Result w = a.tankWork(draft);
            QVERIFY(w.ok());
            QCOMPARE(w.lines.size(), 12);
            // Every group read fills its deductible with the sum of its tanks' weights.
            Decimal all;
            for (auto it = w.totals.begin(); it != w.totals.end(); ++it) {
                Decimal sum;
                for (const TankSheetWork::Line& line : w.lines)
                    if (line.group == it.key())
                        sum += *Decimal::parse(line.weight, QLocale::c());
                QCOMPARE(it.value(), sum);
                QCOMPARE(
                    a.inputs(draft).deductibles.value(TankGroups::deductionItem(it.key())), sum.toString());
                all += sum;
            }
            QCOMPARE(w.totals.size(), 5); // no tank of the group Other: Misc-1 stays as typed
            QVERIFY(!a.inputs(draft).deductibles.contains(28));
            SurveyDraftData& d = draft == SurveyModel::Initial ? typed.initial : *typed.final;
            const QMap<int, QString>& quantities = a.inputs(draft).deductibles;
            for (auto it = quantities.begin(); it != quantities.end(); ++it)
                d.deductibles.append({it.key(), it.value()});
            QVERIFY(all > Decimal(0));
        }
        SurveyModel b(kindOf(typed));
        QVERIFY(SurveyFileModel::load(b, typed, QStringLiteral("typed")).loaded());
        for (int draft : {SurveyModel::Initial, SurveyModel::Final}) {
            QVERIFY(a.calculated(draft));
            QCOMPARE(results(a, draft), results(b, draft));
        }
        QVERIFY(a.cargoQuantity());
        QCOMPARE(a.cargoQuantity()->toString(), b.cargoQuantity()->toString());

        // The sheet goes back into the file as it came, and the groups' totals with it.
        const SurveyFileData back = SurveyFileModel::read(a);
        QCOMPARE(back.initial.tanks.size(), sounded.initial.tanks.size());
        QCOMPARE(back.final->tanks.value(QStringLiteral("HFO 1C")).density, QStringLiteral("0.9862"));
        QString error;
        const auto reparsed = SurveyFile::parse(SurveyFile::serialize(back), QStringLiteral("back"), &error);
        QVERIFY2(reparsed, qPrintable(error));
        QCOMPARE(reparsed->initial.tanks.value(QStringLiteral("DB3P")).reading, QStringLiteral("185.5"));
        closeDatabase();
    }

    void sheetRefusesAndFinds()
    {
        QTemporaryDir dir;
        QVERIFY(TestSupport::openFreshDatabaseCopy(dir));
        insertExampleShip();
        SurveyFileData data
            = SurveyTestShips::readExample(QStringLiteral("loading-port-hedland-soundings.json"));
        data.final.reset();
        data.initial.tanks[QStringLiteral("DB1P")].reading = QStringLiteral("200.5");
        SurveyModel m(kindOf(data));
        SurveyFileModel::load(m, data, QStringLiteral("x"));
        QVERIFY(!m.calculated(SurveyModel::Initial));
        const SurveyModel::Calculation c = m.calculate(SurveyModel::Initial);
        QVERIFY(!c.calculated);
        QCOMPARE(c.field, QStringLiteral("tanks"));
        QVERIFY2(c.messages.value(0).text.startsWith(QStringLiteral(
                     "Tank DB1P: the sounding 200.5 cm lies outside its table (0 cm to 200 cm).")),
            qPrintable(c.messages.value(0).text));
        // The volume typed by hand stands in for the table, marked typed.
        QVERIFY(m.enterTank(SurveyModel::Initial, QStringLiteral("DB1P"), TankSheetWork::Field::Volume,
                     QStringLiteral("1262.0004"))
                    .accepted);
        QVERIFY(m.calculate(SurveyModel::Initial).calculated);
        const TankSheetWork::Result w = m.tankWork(SurveyModel::Initial);
        const auto db1p = std::find_if(
            w.lines.begin(), w.lines.end(), [](const auto& l) { return l.tank == QLatin1String("DB1P"); });
        QVERIFY(db1p->typedVolume);
        QCOMPARE(db1p->volume, QStringLiteral("1262"));
        QCOMPARE(db1p->weight, QStringLiteral("1293.55")); // 1262 x 1.025

        // DB3P at 185.5 cm of 200 is slack.
        bool slack = false;
        for (const SurveyFinding& f : m.findings())
            slack = slack
                || (f.code == QLatin1String("tank-slack")
                    && f.text.startsWith(QLatin1String("Ballast tank DB3P is slack")));
        QVERIFY(slack);

        // Unknown tanks and figures out of range are refused with the tank named.
        SurveyInputRules::Outcome o = m.enterTank(SurveyModel::Initial, QStringLiteral("No Such"),
            TankSheetWork::Field::Reading, QStringLiteral("1"));
        QVERIFY(!o.accepted);
        QCOMPARE(o.message, QStringLiteral("There is no tank No Such in the ship's tank tables."));
        o = m.enterTank(
            SurveyModel::Initial, QStringLiteral("apt"), TankSheetWork::Field::Density, QStringLiteral("0"));
        QVERIFY(!o.accepted);
        QVERIFY2(o.message.contains(
                     QStringLiteral("The density of tank APT can be a number greater than 0 and less "
                                    "than 10 t/m3.")),
            qPrintable(o.message));
        // A reading changed after Calculate makes the results stand no more.
        QVERIFY(m.calculated(SurveyModel::Initial));
        QVERIFY(m.enterTank(SurveyModel::Initial, QStringLiteral("APT"), TankSheetWork::Field::Reading,
                     QStringLiteral("1100"))
                    .accepted);
        QVERIFY(m.outdated(SurveyModel::Initial));
        closeDatabase();
    }

    // The command line: the example ship's tables out and in again, a table refused by its audit
    // with the row named, and the example survey from soundings reported.
    void commandLine()
    {
        QTemporaryDir dir;
        const QString data = TestSupport::useFreshDatabaseCopy(dir);
        const QString lt = QStringLiteral(QUORVANE_LT_BIN);
        TestSupport::Run run
            = TestSupport::runProgram(QStringLiteral(QUORVANE_MKDB_BIN), {data, "--examples"});
        QVERIFY2(run.status == 0, qPrintable(run.err));
        QVERIFY2(run.out.contains(QStringLiteral("added the tank tables of Coral Meridian (12 tanks)")),
            qPrintable(run.out));

        const QString out = dir.filePath(QStringLiteral("tanks.csv"));
        run = TestSupport::runProgram(lt, {"--data-dir", data, "--export-tanks", "Coral Meridian", out});
        QVERIFY2(run.status == 0, qPrintable(run.err));
        QString error;
        const auto exported = TankTableFile::readFile(out, TankTableFile::TrimSign::SternPositive, &error);
        QVERIFY2(exported, qPrintable(error));
        QCOMPARE(*exported, exampleTanks());

        // Written by the stern negative, read back as such: the same tables.
        TankTables turned = exampleTanks();
        for (Tank& t : turned.tanks) {
            std::reverse(t.trims.begin(), t.trims.end());
            for (Decimal& trim : t.trims)
                trim = -trim;
        }
        const QString negative = dir.filePath(QStringLiteral("negative.csv"));
        QVERIFY(TankTableFile::writeCsv(negative, turned, &error, true));
        run = TestSupport::runProgram(lt,
            {"--data-dir", data, "--import-tanks", "Coral Meridian", negative, "--trim-sign",
                "stern-negative"});
        QVERIFY2(run.status == 0, qPrintable(run.err));
        QCOMPARE(run.out.trimmed(), QStringLiteral("quorvane-lt: 12 tanks imported for Coral Meridian"));

        // One wrong digit: DB1P holds 1189.4 m3 at 190 cm and trim 0, typed 1819.4, more than the
        // 1260 m3 at 200 cm.
        QFile f(out);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QString text = QString::fromUtf8(f.readAll());
        f.close();
        const QString right = QStringLiteral("DB1P,Ballast,190,,1.025,1198.9,1189.4,");
        QVERIFY2(text.contains(right), qPrintable(text.left(2000)));
        text.replace(right, QStringLiteral("DB1P,Ballast,190,,1.025,1198.9,1819.4,"));
        const QString bad = dir.filePath(QStringLiteral("bad.csv"));
        QFile b(bad);
        QVERIFY(b.open(QIODevice::WriteOnly));
        b.write(text.toUtf8());
        b.close();
        run = TestSupport::runProgram(lt, {"--data-dir", data, "--import-tanks", "Coral Meridian", bad});
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.contains(
                     QStringLiteral("bad.csv: error: Tank DB1P, row 21: the volume 1260 m3 at trim 0 m "
                                    "is below the volume 1819.4 m3 of row 20; the volume must not "
                                    "decrease as the sounding deepens.")),
            qPrintable(run.err));
        QVERIFY(
            run.err.contains(QStringLiteral("the tank tables of Coral Meridian were left as they were.")));
        run = TestSupport::runProgram(
            lt, {"--data-dir", data, "--import-tanks", "Coral Meridian", out, "--trim-sign", "sideways"});
        QCOMPARE(run.status, 1);

        // The survey from soundings through the command line.
        const QString pdf = dir.filePath(QStringLiteral("pdf"));
        QVERIFY(QDir().mkpath(pdf));
        run = TestSupport::runProgram(lt,
            {"--data-dir", data, "--survey",
                TestSupport::sourceDir() + "/examples/loading-port-hedland-soundings.json", "--pdf-dir",
                pdf});
        QVERIFY2(run.status == 0, qPrintable(run.err + run.out));
        QVERIFY(QFile::exists(pdf + QStringLiteral("/loading-port-hedland-soundings.pdf")));
    }

    void ballastReadDifferentlyWithoutANote()
    {
        QTemporaryDir dir;
        QVERIFY(TestSupport::openFreshDatabaseCopy(dir));
        insertExampleShip();
        SurveyFileData data
            = SurveyTestShips::readExample(QStringLiteral("loading-port-hedland-soundings.json"));
        const auto changed = [](const SurveyModel& m) {
            QStringList tanks;
            for (const SurveyFinding& f : m.findings())
                if (f.code == QLatin1String("tank-changed"))
                    tanks.append(f.text.section(QLatin1Char(' '), 2, 2));
            return tanks;
        };
        {
            SurveyModel m(kindOf(data));
            QVERIFY(SurveyFileModel::load(m, data, QStringLiteral("x")).loaded());
            QVERIFY(changed(m).isEmpty()); // the comments note the deballasting
        }
        data.initial.comments = QStringLiteral("Calm.");
        data.final->comments.clear();
        SurveyModel m(kindOf(data));
        QVERIFY(SurveyFileModel::load(m, data, QStringLiteral("x")).loaded());
        QCOMPARE(changed(m), QStringList({"FPT", "DB1P", "DB1S", "DB2P", "DB2S", "DB3P", "DB3S", "APT"}));
        closeDatabase();
    }
};

QTEST_MAIN(TestTanks)
#include "test_tanks.moc"
