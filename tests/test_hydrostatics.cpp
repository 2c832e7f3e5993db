// A ship's hydrostatic table without a window: files in the shapes surveyors get them, the audit
// of a table before it is kept, the rows picked for a true mean draft, and where the table lives
// in DS.dat (an older file gains it, a deleted ship takes hers along).

#include "core/AppPaths.h"
#include "core/VbError.h"
#include "db/CipherFile.h"
#include "db/Connection.h"
#include "db/Database.h"
#include "db/RowSet.h"
#include "db/Schema.h"
#include "db/SchemaUpgrade.h"
#include "db/SqlCatalogue.h"
#include "files/HydrostaticTableFile.h"
#include "files/SurveyFile.h"
#include "files/SurveyFileModel.h"
#include "model/SurveyModel.h"
#include "model/SurveyDraft.h"
#include "model/HydrostaticTable.h"
#include "model/ShipRecord.h"
#include "tests/SurveyTestShips.h"
#include "tests/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using Role = HydrostaticTableFile::Role;

namespace {

Decimal d(const char* text)
{
    return *Decimal::parse(QString::fromLatin1(text), QLocale::c());
}

HydrostaticRow row(const char* draft, const char* disp, const char* tpc, const char* lcf, const char* mctc)
{
    return {d(draft), d(disp), d(tpc), d(lcf), d(mctc)};
}

// Six rows of a handy-size bulker, 10 cm apart, consistent with themselves.
HydrostaticTable smallTable()
{
    HydrostaticTable t;
    t.rows = {
        row("7.0", "30000", "40.00", "-2.50", "400"), row("7.1", "30401", "40.20", "-2.45", "402"),
        row("7.2", "30804", "40.40", "-2.40", "404"), row("7.3", "31209", "40.60", "-2.35", "406"),
        row("7.4", "31616", "40.80", "-2.30", "408"), row("7.5", "32025", "41.00", "-2.25", "410"),
    };
    return t;
}

HydrostaticTable exampleTable()
{
    QString error;
    const auto layout = HydrostaticTableFile::readFile(
        TestSupport::sourceDir() + QStringLiteral("/examples/coral-meridian-hydrostatics.csv"), &error);
    if (!layout)
        qWarning("%s", qPrintable(error));
    const auto t = layout ? HydrostaticTableFile::build(*layout, layout->proposed, &error) : std::nullopt;
    return t.value_or(HydrostaticTable());
}

QList<HydrostaticAudit::Finding> findingsAt(const QList<HydrostaticAudit::Finding>& all, int row)
{
    QList<HydrostaticAudit::Finding> out;
    for (const auto& f : all)
        if (f.row == row)
            out.append(f);
    return out;
}

}  // namespace

class TestHydrostatics : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { TestSupport::initTestEnvironment(); }

    // --- Files as surveyors get them ------------------------------------------------------

    void importsTheShapesOfRealFiles_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("lastRow");  // draft|disp|tpc|lcf|mctc of the last row

        QTest::newRow("header with extra columns LCB, KM, in another order")
            << QStringLiteral("T (m),Displ. (t),LCB,TPC,MTC,KM,LCF\n"
                              "7.00,30000,-1.2,40.00,400,13.1,-2.50\n"
                              "7.10,30401,-1.1,40.20,402,13.0,-2.45\n")
            << 2 << QStringLiteral("7.1|30401|40.2|-2.45|402");
        QTest::newRow("semicolons with decimal commas")
            << QStringLiteral("Draft;Displacement;TPC;LCF;MCTC\r\n7,00;30000;40,00;-2,50;400\r\n"
                              "7,10;30401,5;40,20;-2,45;402,3\r\n")
            << 2 << QStringLiteral("7.1|30401.5|40.2|-2.45|402.3");
        QTest::newRow("lined up with spaces, no header")
            << QStringLiteral("  7.00   30000.0   40.00   -2.50   400.0\n"
                              "  7.10   30401.0   40.20   -2.45   402.0\n"
                              "  7.20   30804.0   40.40   -2.40   404.0\n")
            << 3 << QStringLiteral("7.2|30804|40.4|-2.4|404");
        QTest::newRow("spaces with decimal commas, no header, MCTC before LCF")
            << QStringLiteral("7,00 30000 40,00 400 -2,50\n7,10 30401 40,20 402 -2,45\n"
                              "7,20 30804 40,40 404 -2,40\n")
            << 3 << QStringLiteral("7.2|30804|40.4|-2.4|404");
        QTest::newRow("tabs from a spreadsheet, remark with a river-water density")
            << QStringLiteral("# Water density 1,000 t/m3\nDraft\tDisp\tTPC\tLCF\tMCTC\n"
                              "7\t30000\t40\t-2.5\t400\n7.1\t30401\t40.2\t-2.45\t402\n")
            << 2 << QStringLiteral("7.1|30401|40.2|-2.45|402");
    }

    void importsTheShapesOfRealFiles()
    {
        QFETCH(QString, text);
        QFETCH(int, rows);
        QFETCH(QString, lastRow);
        QString error;
        const auto layout = HydrostaticTableFile::split(text, &error);
        QVERIFY2(layout, qPrintable(error));
        const auto table = HydrostaticTableFile::build(*layout, layout->proposed, &error);
        QVERIFY2(table, qPrintable(error));
        QCOMPARE(table->rows.size(), rows);
        QStringList figures;
        for (int c = 0; c < HydrostaticTable::ColumnCount; ++c)
            figures.append(HydrostaticTable::value(table->rows.last(), c).toString());
        QCOMPARE(figures.join(QLatin1Char('|')), lastRow);
        if (text.contains(QLatin1String("1,000 t/m3")))
            QCOMPARE(table->density, Decimal(1));
        else
            QCOMPARE(table->density, HydrostaticTable::seaWater());
    }

    void refusedTextNamesItsLineAndColumn()
    {
        QString error;
        const QString text = QStringLiteral("Draft,Displacement,TPC,LCF,MCTC,KM\n"
                                            "7.0,30000,40.0,-2.5,400,13.1\n"
                                            "7.1,30401,40.2x,-2.45,402,bad\n");
        const auto layout = HydrostaticTableFile::split(text, &error);
        QVERIFY(layout);
        QVERIFY(!HydrostaticTableFile::build(*layout, layout->proposed, &error));
        // The ignored KM column holds text too: only the figures the table takes are read.
        QCOMPARE(error, QStringLiteral("Line 3, column 3 (TPC): \"40.2x\" is not a number."));

        const auto shortRow = HydrostaticTableFile::split(QStringLiteral("7.0;30000;40;-2.5;400\n7.1;30401;40.2\n"),
                                                          &error);
        QVERIFY(shortRow);
        QVERIFY(!HydrostaticTableFile::build(*shortRow, shortRow->proposed, &error));
        QCOMPARE(error, QStringLiteral("Line 2, column 4 (LCF): the figure is missing."));

        // A role given twice or not at all is refused before any figure is read.
        QVector<Role> roles = layout->proposed;
        roles[5] = Role::Draft;
        QVERIFY(!HydrostaticTableFile::build(*layout, roles, &error));
        QCOMPARE(error, QStringLiteral("Columns 1 and 6 are both taken for the Draft."));
        roles[5] = Role::Ignore;
        roles[4] = Role::Ignore;
        QVERIFY(!HydrostaticTableFile::build(*layout, roles, &error));
        QCOMPARE(error, QStringLiteral("No column is taken for the MCTC."));
    }

    void roundTripKeepsEveryDigit()
    {
        HydrostaticTable original = exampleTable();
        QCOMPARE(original.rows.size(), 111);
        original.density = d("1.0250");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("out.csv"));
        QString error;
        QVERIFY(HydrostaticTableFile::writeCsv(path, original, &error));
        const auto layout = HydrostaticTableFile::readFile(path, &error);
        QVERIFY(layout);
        const auto again = HydrostaticTableFile::build(*layout, layout->proposed, &error);
        QVERIFY(again);
        QCOMPARE(*again, original);
        // And the second export is the first, byte for byte.
        QCOMPARE(HydrostaticTableFile::toCsv(*again), HydrostaticTableFile::toCsv(original));
        QVERIFY(HydrostaticTableFile::toCsv(original).startsWith(
            "# Water density 1.025 t/m3\n# LCF from midships, positive aft (m)\n"
            "# Drafts extreme, from the underside of the keel\n"
            "Draft,Displacement,TPC,LCF,MCTC\n4,20703.9,59.9,3.1,845\n"));
    }

    void pasteTakesTheEditorsColumnOrder()
    {
        QString error;
        const auto t = HydrostaticTableFile::fromPaste(QStringLiteral("7,0\t30000\t40\t-2,5\t400\t13.2\n"
                                                                      "7,1\t30401\t40,2\t-2,45\t402\t13.1\n"),
                                                       &error);
        QVERIFY2(t, qPrintable(error));
        QCOMPARE(t->rows.last(), row("7.1", "30401", "40.2", "-2.45", "402"));
    }

    // --- Audit ----------------------------------------------------------------------------

    void exampleTableIsClean()
    {
        const auto findings = HydrostaticAudit::audit(exampleTable());
        QVERIFY2(findings.isEmpty(), qPrintable(HydrostaticAudit::describe(findings)));
        QVERIFY(HydrostaticAudit::audit(smallTable()).isEmpty());
    }

    void oneWrongDigitIsFoundAtItsRow()
    {
        // Row 51 of the booklet (draft 9.00 m): 52595.8 t misread as 52895.8 t.
        HydrostaticTable t = exampleTable();
        QCOMPARE(t.rows[50].draft, d("9"));
        t.rows[50].displacement = t.rows[50].displacement + Decimal(300);
        const auto findings = HydrostaticAudit::audit(t);
        QVERIFY(!HydrostaticAudit::hasErrors(findings));
        // The TPC disagrees with the steps on both sides of the row, and the row alone breaks
        // the trend of its neighbours.
        const auto jumps = findingsAt(findings, 51);
        QCOMPARE(jumps.size(), 2);
        QCOMPARE(jumps.at(0).column, int(HydrostaticTable::Tpc));
        QCOMPARE(jumps.at(1).column, int(HydrostaticTable::Displacement));
        QVERIFY2(jumps.at(1).text.startsWith(QLatin1String("Row 51: the Displacement ")), qPrintable(jumps.at(1).text));
        QVERIFY(jumps.at(1).text.endsWith(QLatin1String(" breaks the trend of the rows around it.")));
        QCOMPARE(findingsAt(findings, 52).size(), 1);
        QCOMPARE(findingsAt(findings, 52).at(0).column, int(HydrostaticTable::Tpc));
        QCOMPARE(findings.size(), 3);

        // The same slip in an MCTC, and in the last row of the table.
        HydrostaticTable m = exampleTable();
        m.rows[20].mctc = m.rows[20].mctc + Decimal(10);
        auto mf = HydrostaticAudit::audit(m);
        QCOMPARE(mf.size(), 1);
        QCOMPARE(mf.at(0).row, 21);
        QCOMPARE(mf.at(0).column, int(HydrostaticTable::Mctc));
        HydrostaticTable e = exampleTable();
        e.rows.last().lcf = e.rows.last().lcf + d("0.5");
        mf = HydrostaticAudit::audit(e);
        QCOMPARE(mf.size(), 1);
        QCOMPARE(mf.at(0).row, 111);
        QCOMPARE(mf.at(0).column, int(HydrostaticTable::Lcf));
    }

    void errorsAndDoubts()
    {
        // A draft typed twice and a displacement that falls: errors, each at its row.
        HydrostaticTable t = smallTable();
        t.rows[3].draft = d("7.2");
        t.rows[5].displacement = d("31600");
        auto f = HydrostaticAudit::audit(t);
        QVERIFY(HydrostaticAudit::hasErrors(f));
        QCOMPARE(f.at(0).row, 4);
        QCOMPARE(f.at(0).text, QStringLiteral("Row 4: the draft 7.2 m does not follow the draft 7.2 m of row 3; "
                                              "drafts must increase from row to row."));
        QCOMPARE(f.at(1).text,
                 QStringLiteral("Row 6: the displacement 31600 t is not above the displacement 31616 t of row 5."));
        QCOMPARE(f.size(), 2);

        // A figure typed too high: its own row is named, not the row below it that lies in line
        // with the rows around it (the first row when it stands above the third as well).
        auto errorsOf = [](const HydrostaticTable& table) {
            QList<HydrostaticAudit::Finding> errors;
            for (const auto& x : HydrostaticAudit::audit(table))
                if (x.isError())
                    errors.append(x);
            return errors;
        };
        HydrostaticTable high = smallTable();
        high.rows[2].draft = d("7.45");
        f = errorsOf(high);
        QCOMPARE(f.size(), 1);
        QCOMPARE(f.at(0).row, 3);
        QCOMPARE(f.at(0).column, int(HydrostaticTable::Draft));
        QCOMPARE(f.at(0).text, QStringLiteral("Row 3: the draft 7.45 m is not below the draft 7.3 m of "
                                              "row 4; drafts must increase from row to row."));
        high = smallTable();
        high.rows[2].displacement = d("31800");
        f = errorsOf(high);
        QCOMPARE(f.size(), 1);
        QCOMPARE(f.at(0).row, 3);
        QCOMPARE(f.at(0).column, int(HydrostaticTable::Displacement));
        QCOMPARE(f.at(0).text,
                 QStringLiteral("Row 3: the displacement 31800 t is not below the displacement 31209 t "
                                "of row 4."));
        high = smallTable();
        high.rows[0].draft = d("7.25");
        f = errorsOf(high);
        QCOMPARE(f.size(), 1);
        QCOMPARE(f.at(0).row, 1);
        // Too low on the last row: that row is named as before.
        high = smallTable();
        high.rows[5].draft = d("7.35");
        f = errorsOf(high);
        QCOMPARE(f.size(), 1);
        QCOMPARE(f.at(0).row, 6);

        // A step that changes (a row left out) and a TPC column that does not fit: doubts only.
        HydrostaticTable s = smallTable();
        s.rows.removeAt(2);
        s.rows[0].tpc = d("45");
        f = HydrostaticAudit::audit(s);
        QVERIFY(!HydrostaticAudit::hasErrors(f));
        QStringList texts;
        for (const auto& x : f)
            texts.append(x.text);
        QCOMPARE(texts, QStringList({
            QStringLiteral("Row 1: the TPC 45 breaks the trend of the rows around it."),
            QStringLiteral("Row 2: the TPC (45 and 40.2 t/cm on rows 1 and 2) is more than 5% away from the "
                           "40.1 t/cm that the displacements give between those rows."),
            QStringLiteral("Row 3: the step between drafts changes from 0.1 m to 0.2 m."),
            QStringLiteral("Row 4: the step between drafts changes from 0.2 m to 0.1 m."),
        }));

        // A figure the survey grids would refuse, and a table of one row.
        HydrostaticTable z = smallTable();
        z.rows[0].tpc = Decimal(0);
        QCOMPARE(HydrostaticAudit::audit(z).at(0).text, QStringLiteral("Row 1: the TPC 0 is not between 0 and 10000."));
        z.rows.resize(1);
        QVERIFY(HydrostaticAudit::hasErrors(HydrostaticAudit::audit(z)));
    }

    // --- Picking --------------------------------------------------------------------------

    void picksTheRowsAroundTheDraft()
    {
        const HydrostaticTable t = smallTable();
        HydrostaticPicking::Pick p = HydrostaticPicking::pick(t, d("7.256"));
        QVERIFY(!p.picked);  // 7.2 + 0.5 lies above the table's last draft
        QCOMPARE(p.reason, QStringLiteral("The MCTC at 7.7 m, 50 cm above the Below row, lies outside the "
                                          "ship's hydrostatic table (7 m to 7.5 m): no rows were picked."));

        const HydrostaticTable e = exampleTable();
        p = HydrostaticPicking::pick(e, d("6.04625"));
        QVERIFY(p.picked);
        QCOMPARE(e.rows[p.below].draft, d("6.0"));
        QCOMPARE(e.rows[p.above].draft, d("6.1"));
        QCOMPARE(p.plusDraft[0], d("6.5"));
        QCOMPARE(p.minusDraft[1], d("5.6"));
        // The example surveys' own MCTC figures stand in the table at those drafts.
        QCOMPARE(p.mctcPlus[0], d("905.2"));
        QCOMPARE(p.mctcPlus[1], d("907.9"));
        QCOMPARE(p.mctcMinus[0], d("884.3"));
        QCOMPARE(p.mctcMinus[1], d("886.6"));
    }

    void draftOnARowAndAtTheEnds()
    {
        const HydrostaticTable e = exampleTable();
        // On a row: that row is Below and the next Above.
        auto p = HydrostaticPicking::pick(e, d("13.9"));
        QVERIFY(p.picked);
        QCOMPARE(e.rows[p.below].draft, d("13.9"));
        QCOMPARE(e.rows[p.above].draft, d("14"));
        // Between rows of the table, the MCTC is interpolated and read off to three places.
        QCOMPARE(*HydrostaticPicking::mctcAt(e, d("13.45")), (d("1019.4") + d("1022.3")) / Decimal(2));
        QCOMPARE(*HydrostaticPicking::mctcAt(smallTable(), d("7.0333")), d("400.666"));
        QCOMPARE(HydrostaticPicking::bracket(smallTable(), d("7.5")), 4);  // the last row: the last two
        QCOMPARE(HydrostaticPicking::bracket(smallTable(), d("7.50001")), -1);
        QCOMPARE(HydrostaticPicking::bracket(smallTable(), d("6.99999")), -1);
        // The deepest pair whose MCTC drafts still lie inside: 14.4 and 14.5 need 14.9 and 15.0. A
        // draft on the 14.5 m row is that pair's Above row; just over it, nothing is picked.
        QVERIFY(HydrostaticPicking::pick(e, d("14.45")).picked);
        p = HydrostaticPicking::pick(e, d("14.5"));
        QVERIFY(p.picked);
        QCOMPARE(e.rows[p.below].draft, d("14.4"));
        QCOMPARE(e.rows[p.above].draft, d("14.5"));
        p = HydrostaticPicking::pick(e, d("14.5001"));
        QVERIFY(!p.picked);
        QCOMPARE(p.reason, QStringLiteral("The MCTC at 15.1 m, 50 cm above the Above row, lies outside the "
                                          "ship's hydrostatic table (4 m to 15 m): no rows were picked."));
        p = HydrostaticPicking::pick(e, d("15.2"));
        QCOMPARE(p.reason, QStringLiteral("The true mean draft 15.2 m lies outside the ship's hydrostatic "
                                          "table (4 m to 15 m): no rows were picked."));
    }

    // --- In the database ------------------------------------------------------------------

    void keptWithTheShipAndGoneWithHer()
    {
        QTemporaryDir dir;
        QVERIFY(TestSupport::openFreshDatabaseCopy(dir));
        Connection& c = sharedConnection();
        c.execute(QStringLiteral("INSERT INTO Port (PortName) VALUES ('Durban')"));
        c.execute(QStringLiteral("INSERT INTO Ship (ShipName, LBP, PortOfRegistry) VALUES ('Kestrel', 180, 1)"));
        c.execute(QStringLiteral("INSERT INTO Ship (ShipName, LBP, PortOfRegistry) VALUES ('O''Hara', 190, 1)"));
        const int kestrel = HydrostaticTable::shipIdByName(QStringLiteral("Kestrel"));
        const int ohara = HydrostaticTable::shipIdByName(QStringLiteral("O'Hara"));
        QVERIFY(kestrel > 0 && ohara > kestrel);
        QCOMPARE(HydrostaticTable::shipIdByName(QStringLiteral("Nobody")), 0);
        QVERIFY(!HydrostaticTable::loadForShip(kestrel));

        HydrostaticTable t = exampleTable();
        t.density = d("1.0251");
        HydrostaticTable::saveForShip(kestrel, t);
        HydrostaticTable::saveForShip(ohara, smallTable());
        QCOMPARE(*HydrostaticTable::loadForShip(kestrel), t);
        // Replacing keeps only the new rows.
        HydrostaticTable::saveForShip(kestrel, smallTable());
        QCOMPARE(*HydrostaticTable::loadForShip(kestrel), smallTable());

        c.execute(SqlCatalogue::deleteShip(kestrel));
        QVERIFY(!HydrostaticTable::loadForShip(kestrel));
        RowSet rows;
        rows.open(QStringLiteral("SELECT count(*) AS n FROM HydrostaticRow WHERE ShipID = %1").arg(kestrel), c);
        QCOMPARE(rows.value(QStringLiteral("n")).toInt32(), 0);
        // A port deleted takes her ships and so their tables.
        c.execute(QStringLiteral("DELETE FROM Port WHERE PortID = 1"));
        rows.open(QStringLiteral("SELECT count(*) AS n FROM HydrostaticRow"), c);
        QCOMPARE(rows.value(QStringLiteral("n")).toInt32(), 0);
        closeDatabase();
    }

    // A survey file that leaves out its rows, run on the survey model as the command line runs
    // it, gives the figures of the same file with the rows typed (both kinds, both drafts).
    void modelTakesMissingRowsFromTheTable()
    {
        QTemporaryDir dir;
        QVERIFY(TestSupport::openFreshDatabaseCopy(dir));
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
        v.officialNo = v.imoNo = v.grossTonnage = v.netTonnage = v.summerDraft = v.summerDeadweight =
            QStringLiteral("0");
        c.execute(SqlCatalogue::insertShip(v));
        HydrostaticTable::saveForShip(HydrostaticTable::shipIdByName(v.shipName), exampleTable());

        for (const char* name : {"loading-port-hedland.json", "discharging-qingdao.json"}) {
            const SurveyFileData typed = SurveyTestShips::readExample(QLatin1String(name));
            QVERIFY(typed.final);
            SurveyFileData picked = typed;
            SurveyTestShips::dropRows(picked.initial);
            SurveyTestShips::dropRows(*picked.final);
            const auto kind = typed.kind == SurveyFileData::Kind::Loading ? SurveyModel::Kind::Loading
                                                                            : SurveyModel::Kind::Discharging;
            SurveyModel a(kind);
            SurveyModel b(kind);
            QVERIFY(SurveyFileModel::load(a, typed, QLatin1String(name)).loaded());
            const SurveyLoadResult r = SurveyFileModel::load(b, picked, QLatin1String(name));
            QVERIFY2(r.loaded(), qPrintable(r.message));
            for (int draft : {SurveyModel::Initial, SurveyModel::Final}) {
                QStringList x, y;
                for (const Variant& f : a.draft(draft).finalResult())
                    x.append(f.isEmpty() ? QString() : f.toText());
                for (const Variant& f : b.draft(draft).finalResult())
                    y.append(f.isEmpty() ? QString() : f.toText());
                QCOMPARE(y, x);
                QCOMPARE(b.draft(draft).ipFactor().toText(), a.draft(draft).ipFactor().toText());
            }
            QVERIFY(a.cargoQuantity());
            QCOMPARE(b.cargoQuantity()->toString(), a.cargoQuantity()->toString());
        }
        closeDatabase();
    }

    void olderFileGainsTheTableAndKeepsItsShips()
    {
        // A DS.dat as the program wrote it before it kept hydrostatic tables: the first tables
        // only, user_version 0, with a port and a ship in it.
        QTemporaryDir dir;
        const QString dat = dir.filePath(QStringLiteral("DS.dat"));
        Schema::writeWorkgroupFile(dir.filePath(QStringLiteral("DS.lib")), Schema::userName(),
                                   Schema::userPassword(), true);
        sqlite3* db = CipherFile::open(dat, Schema::databasePassword(), true, QStringLiteral("cannot create"));
        for (const QString& s : Schema::tableStatements())
            CipherFile::exec(db, s);
        CipherFile::exec(db, QStringLiteral("INSERT INTO Port (PortName, City, Country) VALUES ('Santos', 'Santos', 'Brazil')"));
        CipherFile::exec(db, QStringLiteral("INSERT INTO Ship (ShipName, PortOfRegistry, LBP, LightShip, IMONo) "
                                            "VALUES ('Old Timer', 1, '175.25', '7012.5', '9012345')"));
        QCOMPARE(SchemaUpgrade::version(db), 0);
        CipherFile::close(db);
        const QByteArray before = QFile(dat).exists() ? QByteArray("there") : QByteArray();
        QVERIFY(!before.isEmpty());

        AppPaths::setAppDir(dir.path());
        openDatabase();
        QVERIFY(!startupFailed());
        Connection& c = sharedConnection();
        QCOMPARE(SchemaUpgrade::version(c.handle()), SchemaUpgrade::CurrentVersion);
        RowSet ships;
        ships.open(QStringLiteral("SELECT * FROM Ship ORDER BY ShipName"), c);  // every column: the list holds names only
        QCOMPARE(ships.recordCount(), 1);
        QCOMPARE(ships.value(QStringLiteral("ShipName")).toText(), QStringLiteral("Old Timer"));
        QCOMPARE(ships.value(QStringLiteral("LBP")).toDecimal(), d("175.25"));
        QCOMPARE(ships.value(QStringLiteral("LightShip")).toDecimal(), d("7012.5"));
        QCOMPARE(ships.value(QStringLiteral("IMONo")).toText(), QStringLiteral("9012345"));
        RowSet ports;
        ports.open(QStringLiteral("SELECT * FROM Port ORDER BY PortName"), c);
        QCOMPARE(ports.recordCount(), 1);
        QCOMPARE(ports.value(QStringLiteral("City")).toText(), QStringLiteral("Santos"));
        // The ship gains a keel plate she has none of yet: no correction.
        QVERIFY(ships.value(QStringLiteral("KeelPlate")).isNull());
        {
            ShipRecord old;
            QCOMPARE(old.load(ships.value(QStringLiteral("ShipID")).toInt32()), 1);
            QCOMPARE(old.keelPlateMm(), Decimal(0));
        }
        const int id = ships.value(QStringLiteral("ShipID")).toInt32();
        HydrostaticTable::saveForShip(id, smallTable());
        closeDatabase();

        // Opened again: nothing is added twice, the table is there, with the drafts and the LCF
        // convention a table kept before them reads as: extreme, from midships positive aft.
        openDatabase();
        QVERIFY(!startupFailed());
        QCOMPARE(*HydrostaticTable::loadForShip(id), smallTable());
        sharedConnection().execute(
            QStringLiteral("UPDATE HydrostaticTable SET Drafts = NULL, LcfConvention = NULL WHERE ShipID = %1")
                .arg(id));
        QCOMPARE(*HydrostaticTable::loadForShip(id), smallTable());
        closeDatabase();
    }
};

QTEST_MAIN(TestHydrostatics)
#include "test_hydrostatics.moc"
