// Real ships' tables as their booklets give them, through the survey model: the example ship
// calculated at every draft her table covers, whatever her LCF, TPC and MCTC do between two rows.

#include "core/Decimal.h"
#include "db/Database.h"
#include "db/SqlCatalogue.h"
#include "files/HydrostaticTableFile.h"
#include "files/SurveyFile.h"
#include "files/SurveyFileModel.h"
#include "model/HydrostaticTable.h"
#include "model/SurveyDraft.h"
#include "model/SurveyModel.h"
#include "tests/SurveySamples.h"
#include "tests/SurveyTestShips.h"
#include "tests/TestSupport.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

Decimal dec(const QString& text)
{
    return *Decimal::parse(text, QLocale::c());
}

// The example ship's table as the examples folder gives it.
HydrostaticTable exampleTable()
{
    QString error;
    const auto layout = HydrostaticTableFile::readFile(
        TestSupport::sourceDir() + QStringLiteral("/examples/coral-meridian-hydrostatics.csv"), &error);
    if (!layout)
        qFatal("%s", qPrintable(error));
    const auto t = HydrostaticTableFile::build(*layout, layout->proposed, &error);
    if (!t)
        qFatal("%s", qPrintable(error));
    return *t;
}

// The results of a draft as texts, to be compared to the digit.
QStringList results(const SurveyModel& m, int draft)
{
    QStringList out;
    for (const Variant& f : m.draft(draft).finalResult())
        out.append(f.isEmpty() ? QString() : f.toText());
    return out;
}

// A draft with its six readings about a true mean draft `tmd`, `trim` m by the stern, the marks on
// the perpendiculars and midships (so the true mean draft is the quarter mean of the readings),
// and its rows left for the ship's table to give.
void levelAt(SurveyDraftData& d, const Decimal& tmd, const Decimal& trim)
{
    const Decimal half = trim / Decimal(2);
    d.fwdPort = d.fwdStbd = (tmd - half).toString();
    d.midPort = d.midStbd = tmd.toString();
    d.aftPort = d.aftStbd = (tmd + half).toString();
    d.fwdX = d.midX = d.aftX = QStringLiteral("0");
    SurveyTestShips::dropRows(d);
}

}  // namespace

class TestRealTables : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void exampleShipCalculatesAtEveryDraftHerTableCovers();
    void refusalStaysForRowsWhoseDraftOrDisplacementFalls();
    void tableForFreshWaterGivesTheDisplacementInDockWater();
    void everyLcfConventionGivesTheSameSurvey();
    void lcfConventionsReadAndWritten();
    void mouldedTableWithKeelPlateGivesTheExtremeTablesFigures();
    void listCorrectionWorkedByHand();
    void listCorrectionFromTheShipsTable();
    void listCorrectionInTheSurveyFile();

private:
    // The loading example with only its Initial draft.
    static SurveyFileData initialOnly();
    // Every result of both drafts of a survey loaded into a fresh model, and its cargo.
    static QStringList surveyFigures(const SurveyFileData& data);
    void keepTable(const HydrostaticTable& table);
    void setKeelPlate(const QString& mm);

    QTemporaryDir m_dir;
    int m_shipId = 0;
};

void TestRealTables::initTestCase()
{
    TestSupport::initTestEnvironment();
    QVERIFY(TestSupport::openFreshDatabaseCopy(m_dir));
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
    m_shipId = HydrostaticTable::shipIdByName(v.shipName);
    HydrostaticTable::saveForShip(m_shipId, exampleTable());
    // Her sister, whose rows are typed: no table of her own.
    v.shipName = QStringLiteral("Plain Trader");
    c.execute(SqlCatalogue::insertShip(v));
}

void TestRealTables::cleanupTestCase()
{
    closeDatabase();
}

SurveyFileData TestRealTables::initialOnly()
{
    SurveyFileData data = SurveyTestShips::readExample(QStringLiteral("loading-port-hedland.json"));
    data.final.reset();
    return data;
}

// Her LCF falls from 4.36 m to about -1 m between 6.9 and 13.5 m, and her TPC and MCTC grow: every
// draft from 4.5 to 14.5 m, by the stern and by the head, is calculated from the rows her table
// gives, and the rows the window would be given are the table's own.
void TestRealTables::exampleShipCalculatesAtEveryDraftHerTableCovers()
{
    const HydrostaticTable table = exampleTable();
    int lcfFalling = 0;
    for (Decimal tmd = dec("4.5"); tmd <= dec("14.5"); tmd = tmd + dec("0.25")) {
        for (const char* trim : {"1.2", "-0.4"}) {
            SurveyFileData data = initialOnly();
            levelAt(data.initial, tmd, dec(QLatin1String(trim)));
            SurveyModel m(SurveyModel::Kind::Loading);
            const SurveyLoadResult r = SurveyFileModel::load(m, data, QStringLiteral("sweep.json"));
            const QString at = tmd.toString() + QStringLiteral(" m, trim ") + QLatin1String(trim);
            QVERIFY2(r.loaded(), qPrintable(at + QStringLiteral(": ") + r.message));
            QVERIFY2(m.calculated(SurveyModel::Initial), qPrintable(at));
            QCOMPARE(m.draft(SurveyModel::Initial).trueMeanDraft().toDecimal(), tmd);
            const SurveyModel::DraftInputs& in = m.inputs(SurveyModel::Initial);
            const HydrostaticPicking::Pick pick = HydrostaticPicking::pick(table, tmd);
            QVERIFY(pick.picked);
            const int i = pick.below;
            QCOMPARE(dec(in.hydrostatics[SurveyModel::Below][0]), table.rows[i].draft);
            QCOMPARE(dec(in.hydrostatics[SurveyModel::Above][3]), table.rows[i + 1].lcf);
            if (table.rows[i + 1].lcf < table.rows[i].lcf)
                ++lcfFalling;
            // The displacement lies between the two rows' (interpolated, never extrapolated).
            const Decimal displacement = m.draft(SurveyModel::Initial)
                                             .finalResult()
                                             .at(SurveyDraft::DisplacementAtTmd)
                                             .toDecimal();
            QVERIFY2(displacement >= table.rows[i].displacement
                         && displacement <= table.rows[i + 1].displacement,
                     qPrintable(at));
        }
    }
    // The sweep did go through the range where the table's LCF falls.
    QVERIFY2(lcfFalling >= 40, qPrintable(QString::number(lcfFalling)));
}

QStringList TestRealTables::surveyFigures(const SurveyFileData& data)
{
    SurveyModel m(data.kind == SurveyFileData::Kind::Loading ? SurveyModel::Kind::Loading
                                                              : SurveyModel::Kind::Discharging);
    const SurveyLoadResult r = SurveyFileModel::load(m, data, QStringLiteral("survey.json"));
    if (!r.loaded())
        return {r.message};
    QStringList out;
    for (int draft : {SurveyModel::Initial, SurveyModel::Final}) {
        if (!m.calculated(draft))
            continue;
        out += results(m, draft);
        out.append(m.draft(draft).ipFactor().toText());
    }
    out.append(m.cargoQuantity() ? m.cargoQuantity()->toString() : QStringLiteral("no cargo"));
    return out;
}

void TestRealTables::keepTable(const HydrostaticTable& table)
{
    HydrostaticTable::saveForShip(m_shipId, table);
}

void TestRealTables::setKeelPlate(const QString& mm)
{
    sharedConnection().execute(SqlCatalogue::shipKeelPlate(mm, m_shipId));
}

// Only a pair of rows whose draft or displacement does not grow is the wrong pair: the check
// stays for those, on the example ship's own figures.
void TestRealTables::refusalStaysForRowsWhoseDraftOrDisplacementFalls()
{
    for (int column : {0, 1}) {
        SurveyFileData data = initialOnly();
        data.initial.above[column] = data.initial.below[column];
        data.initial.above[column].prepend(QLatin1Char('0'));  // same figure: not refused
        SurveyModel level(SurveyModel::Kind::Loading);
        QVERIFY(SurveyFileModel::load(level, data, QStringLiteral("level.json")).loaded());
        data.initial.above[column] = column == 0 ? QStringLiteral("5.99") : QStringLiteral("33011.9");
        SurveyModel m(SurveyModel::Kind::Loading);
        const SurveyLoadResult r = SurveyFileModel::load(m, data, QStringLiteral("falls.json"));
        QCOMPARE(r.outcome, SurveyLoadResult::Outcome::NotCalculated);
        QCOMPARE(r.field, QStringLiteral("initial.hydrostatics.above.") + (column == 0 ? "draft" : "displacement"));
        QVERIFY(!m.calculated(SurveyModel::Initial));
    }
    // LCF, TPC and both MCTCs falling together: calculated, and the falls are found.
    SurveyFileData data = initialOnly();
    data.initial.above[2] = QStringLiteral("63.1");
    data.initial.above[3] = QStringLiteral("-4");
    data.initial.mctcPlus50Above = QStringLiteral("905.1");
    data.initial.mctcMinus50Above = QStringLiteral("884.2");
    SurveyModel m(SurveyModel::Kind::Loading);
    QVERIFY(SurveyFileModel::load(m, data, QStringLiteral("falls.json")).loaded());
    QStringList codes;
    for (const SurveyFinding& f : m.findings())
        if (f.code == QLatin1String("table-decreasing"))
            codes.append(f.text.section(QStringLiteral(" falls"), 0, 0));
    QCOMPARE(codes, QStringList({"Initial draft: the TPC", "Initial draft: the MCTC+50",
                                 "Initial draft: the MCTC-50"}));
}

// The same rows kept for fresh water (1.000) and for sea water (1.025): in dock water of 1.025 the
// fresh-water table gives 1.025 times the displacement, to the digit; rows typed by hand stay
// for 1.025.
void TestRealTables::tableForFreshWaterGivesTheDisplacementInDockWater()
{
    SurveyFileData data = initialOnly();
    levelAt(data.initial, dec("6.05"), Decimal(0));
    data.initial.density = QStringLiteral("1.025");
    HydrostaticTable table = exampleTable();

    keepTable(table);
    SurveyModel sea(SurveyModel::Kind::Loading);
    QVERIFY(SurveyFileModel::load(sea, data, QStringLiteral("sea.json")).loaded());
    table.density = dec("1.000");
    keepTable(table);
    SurveyModel fresh(SurveyModel::Kind::Loading);
    QVERIFY(SurveyFileModel::load(fresh, data, QStringLiteral("fresh.json")).loaded());
    keepTable(exampleTable());

    const auto figure = [](const SurveyModel& m, int result) {
        return m.draft(SurveyModel::Initial).finalResult().at(result).toDecimal();
    };
    // Level at 6.05 m: half way between 33012 and 33645.5.
    QCOMPARE(figure(sea, SurveyDraft::DisplacementEvenKeel), dec("33328.75"));
    QCOMPARE(figure(fresh, SurveyDraft::DisplacementEvenKeel), dec("33328.75"));
    QCOMPARE(figure(sea, SurveyDraft::TrueDisplacement), dec("33328.75"));
    QCOMPARE(figure(fresh, SurveyDraft::TrueDisplacement), figure(sea, SurveyDraft::TrueDisplacement) * dec("1.025"));
    QCOMPARE(figure(fresh, SurveyDraft::TrueDisplacement).toString(), QStringLiteral("34161.96875"));
    QCOMPARE(figure(fresh, SurveyDraft::DensityCorrection).toString(), QStringLiteral("833.21875"));
    QCOMPARE(fresh.draft(SurveyModel::Initial).tableDensity(), dec("1.000"));
    bool said = false;
    for (const SurveyFinding& f : fresh.findings())
        said = said || f.code == QLatin1String("table-density");
    QVERIFY(said);

    // Typed rows of a ship without a table are for 1.025: the figures of today.
    SurveyFileData typed = SurveyTestShips::readExample(QStringLiteral("loading-port-hedland.json"));
    typed.ship = QStringLiteral("Plain Trader");
    SurveyModel plain(SurveyModel::Kind::Loading);
    QVERIFY(SurveyFileModel::load(plain, typed, QStringLiteral("typed.json")).loaded());
    QCOMPARE(plain.draft(SurveyModel::Initial).tableDensity(), dec("1.025"));
    SurveyFileData same = typed;
    same.ship = QStringLiteral("Coral Meridian");
    QCOMPARE(surveyFigures(same), surveyFigures(typed));
}

// The example ship's table written in each convention a booklet uses, imported as the user says it
// is written: every figure of both surveys is the same, to the digit.
void TestRealTables::everyLcfConventionGivesTheSameSurvey()
{
    const HydrostaticTable own = exampleTable();
    const Decimal lbp = dec("217");
    const QStringList surveys = {"loading-port-hedland.json", "discharging-qingdao.json"};
    QList<QStringList> expected;
    keepTable(own);
    for (const QString& name : surveys) {
        SurveyFileData data = SurveyTestShips::readExample(name);
        SurveyTestShips::dropRows(data.initial);
        SurveyTestShips::dropRows(*data.final);
        expected.append(surveyFigures(data));
        QVERIFY2(expected.last().size() > 20, qPrintable(expected.last().join(u'|')));
    }

    const struct {
        LcfConvention convention;
        std::function<QString(const Decimal&)> write;
    } written[] = {
        {LcfConvention::MidshipAft, [](const Decimal& lcf) { return lcf.toString(); }},
        {LcfConvention::MidshipForward, [](const Decimal& lcf) { return (-lcf).toString(); }},
        {LcfConvention::AftPerpendicular, [lbp](const Decimal& lcf) { return (lbp / 2 - lcf).toString(); }},
        // Lettered: read as such whatever the user says of the table.
        {LcfConvention::AftPerpendicular,
         [](const Decimal& lcf) {
             return lcf.isNegative() ? (-lcf).toString() + QStringLiteral("F") : lcf.toString() + QStringLiteral("A");
         }},
    };
    for (const auto& w : written) {
        QString csv = QStringLiteral("Draft,Displacement,TPC,LCF,MCTC\n");
        for (const HydrostaticRow& r : own.rows)
            csv += QStringLiteral("%1,%2,%3,%4,%5\n")
                       .arg(r.draft.toString(), r.displacement.toString(), r.tpc.toString(), w.write(r.lcf),
                            r.mctc.toString());
        QString error;
        const auto layout = HydrostaticTableFile::split(csv, &error);
        QVERIFY2(layout, qPrintable(error));
        std::optional<HydrostaticTable> t = HydrostaticTableFile::build(*layout, layout->proposed, &error);
        QVERIFY2(t, qPrintable(error));
        t->convertLcf(w.convention, lbp);
        const bool lettered = csv.contains(QLatin1Char('A'));
        QCOMPARE(t->lcfSource, lettered ? LcfConvention::Lettered : w.convention);
        for (int i = 0; i < own.rows.size(); ++i)
            QCOMPARE(t->rows[i].lcf, own.rows[i].lcf);
        keepTable(*t);
        QCOMPARE(HydrostaticTable::loadForShip(m_shipId)->lcfSource, t->lcfSource);
        for (int k = 0; k < surveys.size(); ++k) {
            SurveyFileData data = SurveyTestShips::readExample(surveys[k]);
            SurveyTestShips::dropRows(data.initial);
            SurveyTestShips::dropRows(*data.final);
            QCOMPARE(surveyFigures(data), expected[k]);
        }
    }
    keepTable(own);
}

void TestRealTables::lcfConventionsReadAndWritten()
{
    QCOMPARE(LcfConventions::lettered(QStringLiteral("2.46A"), false), dec("2.46"));
    QCOMPARE(LcfConventions::lettered(QStringLiteral(" 7.71 f"), false), dec("-7.71"));
    QCOMPARE(LcfConventions::lettered(QStringLiteral("A 0,5"), true), dec("0.5"));
    QVERIFY(!LcfConventions::lettered(QStringLiteral("2.46"), false));
    QVERIFY(!LcfConventions::lettered(QStringLiteral("-2.46A"), false));
    QVERIFY(!LcfConventions::lettered(QStringLiteral("2.4xA"), false));
    QCOMPARE(LcfConventions::toOwn(dec("110"), LcfConvention::AftPerpendicular, dec("217")), dec("-1.5"));
    QCOMPARE(LcfConventions::toOwn(dec("1.5"), LcfConvention::MidshipForward, dec("217")), dec("-1.5"));
    for (const char* key : {"midship-aft", "midship-forward", "aft-perpendicular", "lettered"})
        QCOMPARE(LcfConventions::key(*LcfConventions::fromKey(QLatin1String(key))), QLatin1String(key));
    QVERIFY(!LcfConventions::fromKey(QStringLiteral("forward")));

    // A plain figure among lettered ones is refused, naming its line; midships itself is plain.
    QString error;
    auto layout = HydrostaticTableFile::split(
        QStringLiteral("Draft,Displacement,TPC,LCF,MCTC\n7.0,30000,40,2.5A,400\n7.1,30401,40.2,0,402\n"
                       "7.2,30804,40.4,2.4,404\n"),
        &error);
    QVERIFY(layout);
    QVERIFY(!HydrostaticTableFile::build(*layout, layout->proposed, &error));
    QCOMPARE(error, QStringLiteral("Line 4, column 4 (LCF): \"2.4\" carries no A (aft) or F (forward) as the "
                                   "other LCF figures do."));

    // Exported in the program's own convention, naming the one it came in; moulded drafts say so
    // and come back so.
    HydrostaticTable t = exampleTable();
    t.convertLcf(LcfConvention::MidshipForward, Decimal(0));
    t.mouldedDrafts = true;
    const QString csv = QString::fromUtf8(HydrostaticTableFile::toCsv(t));
    QVERIFY2(csv.startsWith(QStringLiteral("# Water density 1.025 t/m3\n# LCF from midships, positive aft (m); the "
                                           "table came with its LCF from midships, positive forward\n# Drafts "
                                           "moulded, from the top of the keel plate\nDraft,")),
             qPrintable(csv.left(300)));
    layout = HydrostaticTableFile::split(csv, &error);
    QVERIFY(layout);
    const auto again = HydrostaticTableFile::build(*layout, layout->proposed, &error);
    QVERIFY(again);
    QVERIFY(again->mouldedDrafts);
    QCOMPARE(again->rows, t.rows);
    QCOMPARE(again->lcfSource, LcfConvention::MidshipAft);  // the rows are in the program's own now
}

// A booklet of moulded drafts is the extreme table with every draft lowered by the keel plate:
// with the keel plate kept for the ship, both give every figure alike; a keel plate of 0, or an
// extreme table, changes nothing.
void TestRealTables::mouldedTableWithKeelPlateGivesTheExtremeTablesFigures()
{
    const QStringList surveys = {"loading-port-hedland.json", "discharging-qingdao.json"};
    auto figuresOf = [&](const HydrostaticTable& t, const QString& keel) {
        keepTable(t);
        setKeelPlate(keel);
        QList<QStringList> out;
        for (const QString& name : surveys) {
            SurveyFileData data = SurveyTestShips::readExample(name);
            SurveyTestShips::dropRows(data.initial);
            SurveyTestShips::dropRows(*data.final);
            out.append(surveyFigures(data));
        }
        return out;
    };
    const HydrostaticTable extreme = exampleTable();
    const QList<QStringList> today = figuresOf(extreme, QStringLiteral("0"));
    HydrostaticTable moulded = extreme;
    moulded.mouldedDrafts = true;
    for (HydrostaticRow& r : moulded.rows)
        r.draft = r.draft - dec("0.025");
    QCOMPARE(figuresOf(moulded, QStringLiteral("25")), today);
    // The keel plate of an extreme table is no correction.
    QCOMPARE(figuresOf(extreme, QStringLiteral("25")), today);
    // A moulded table with no keel plate kept is entered at the true mean draft itself.
    moulded = extreme;
    moulded.mouldedDrafts = true;
    QCOMPARE(figuresOf(moulded, QStringLiteral("0")), today);

    // The keel correction the report shows.
    HydrostaticTable lowered = extreme;
    lowered.mouldedDrafts = true;
    for (HydrostaticRow& r : lowered.rows)
        r.draft = r.draft - dec("0.025");
    keepTable(lowered);
    setKeelPlate(QStringLiteral("25"));
    SurveyModel m(SurveyModel::Kind::Loading);
    QVERIFY(SurveyFileModel::load(m, initialOnly(), QStringLiteral("keel.json")).loaded());
    QCOMPARE(m.draft(SurveyModel::Initial).keelCorrection(), dec("0.025"));
    bool said = false;
    for (const SurveyFinding& f : m.findings())
        said = said || (f.code == QLatin1String("keel-plate") && f.text.contains(QLatin1String("25 mm")));
    QVERIFY(said);
    setKeelPlate(QStringLiteral("0"));
    keepTable(extreme);
}

// A ship without a table: the TPCs typed. Midship port 7.30 m, starboard 7.20 m, TPC 40.3 and
// 40.1 t/cm: 6 x 0.1 x 0.2 = 0.12 t, added to the displacement corrected for trim; everything
// before it is today's.
void TestRealTables::listCorrectionWorkedByHand()
{
    SurveyFileData data = SurveySamples::loading();
    data.ship = QStringLiteral("Plain Trader");
    data.port = QStringLiteral("Monrovia");
    data.final.reset();
    data.initial.midPort = QStringLiteral("7.30");
    data.initial.midStbd = QStringLiteral("7.20");
    SurveyModel off(SurveyModel::Kind::Loading);
    QVERIFY(SurveyFileModel::load(off, data, QStringLiteral("off.json")).loaded());
    QCOMPARE(off.draft(SurveyModel::Initial).finalResult().at(SurveyDraft::ListCorrection).toText(),
             QStringLiteral("0"));

    data.listCorrection = true;
    SurveyModel missing(SurveyModel::Kind::Loading);
    SurveyLoadResult r = SurveyFileModel::load(missing, data, QStringLiteral("missing.json"));
    QCOMPARE(r.outcome, SurveyLoadResult::Outcome::NotCalculated);
    QCOMPARE(r.field, QStringLiteral("initial.listTpc.port"));
    QCOMPARE(r.told.at(0).text, QStringLiteral("Incomplete data.\r\n\r\nPlease enter the TPC at the midship port "
                                               "draft for the list correction."));

    data.initial.listTpc[0] = QStringLiteral("40.3");
    data.initial.listTpc[1] = QStringLiteral("40.1");
    SurveyModel on(SurveyModel::Kind::Loading);
    r = SurveyFileModel::load(on, data, QStringLiteral("on.json"));
    QVERIFY2(r.loaded(), qPrintable(r.message));
    const QVector<Variant> a = off.draft(SurveyModel::Initial).finalResult();
    const QVector<Variant> b = on.draft(SurveyModel::Initial).finalResult();
    QCOMPARE(b.at(SurveyDraft::ListCorrection).toDecimal(), dec("0.12"));
    for (int k : {SurveyDraft::DisplacementAtTmd, SurveyDraft::FirstTrimCorrection, SurveyDraft::SecondTrimCorrection,
                  SurveyDraft::TotalTrimCorrection})
        QCOMPARE(b.at(k).toText(), a.at(k).toText());
    QCOMPARE(b.at(SurveyDraft::DisplacementEvenKeel).toDecimal(),
             a.at(SurveyDraft::DisplacementEvenKeel).toDecimal() + dec("0.12"));
    // Into the dock water with the rest: 0.12 x 1.015 / 1.025 more.
    QCOMPARE(b.at(SurveyDraft::TrueDisplacement).toDecimal(),
             (a.at(SurveyDraft::DisplacementEvenKeel).toDecimal() + dec("0.12")) * dec("1.015") / dec("1.025"));
}

// The example ship's own table gives the TPCs: at 6.02 m, 63.18 + 0.2 x 0.18 = 63.216; at 6.06 m,
// 63.18 + 0.6 x 0.18 = 63.288; 6 x 0.04 x 0.072 = 0.01728 t. Outside the table nothing is
// extrapolated.
void TestRealTables::listCorrectionFromTheShipsTable()
{
    SurveyFileData data = initialOnly();
    data.listCorrection = true;
    SurveyModel m(SurveyModel::Kind::Loading);
    QVERIFY(m.listTpcFromTable() == false);  // no ship yet
    const SurveyLoadResult r = SurveyFileModel::load(m, data, QStringLiteral("list.json"));
    QVERIFY2(r.loaded(), qPrintable(r.message));
    QVERIFY(m.listTpcFromTable());
    QCOMPARE(m.draft(SurveyModel::Initial).finalResult().at(SurveyDraft::ListCorrection).toDecimal(),
             dec("0.01728"));
    bool said = false;
    for (const SurveyFinding& f : m.findings())
        said = said
               || (f.code == QLatin1String("list-correction")
                   && f.text == QStringLiteral("Initial draft: a list correction of 0.017 t was added (midship port "
                                               "6.02 m, starboard 6.06 m)."));
    QVERIFY(said);

    data.initial.midStbd = QStringLiteral("3.95");  // below the table's 4 m
    SurveyModel outside(SurveyModel::Kind::Loading);
    const SurveyLoadResult o = SurveyFileModel::load(outside, data, QStringLiteral("outside.json"));
    QCOMPARE(o.outcome, SurveyLoadResult::Outcome::NotCalculated);
    QCOMPARE(o.field, QStringLiteral("initial.drafts.midStbd"));
    QCOMPARE(o.told.at(0).text, QStringLiteral("The list correction cannot be worked out.\r\n\r\nThe midship "
                                               "starboard draft of 3.95 m lies outside the ship's hydrostatic "
                                               "table (4 m to 15 m)."));
}

// "listCorrection" and "listTpc" go to and come from the survey file; a file without them is
// written back without them, and opens with the correction off.
void TestRealTables::listCorrectionInTheSurveyFile()
{
    const QByteArray older = SurveyFile::serialize(SurveyTestShips::readExample(QStringLiteral("loading-port-hedland.json")));
    QVERIFY(!older.contains("listCorrection"));
    QVERIFY(!older.contains("listTpc"));
    QString error;
    const std::optional<SurveyFileData> back = SurveyFile::parse(older, QStringLiteral("older.json"), &error);
    QVERIFY(back);
    QVERIFY(!back->listCorrection);

    SurveyFileData data = SurveySamples::loading();
    data.ship = QStringLiteral("Plain Trader");
    data.port = QStringLiteral("Monrovia");
    data.listCorrection = true;
    data.initial.listTpc[0] = QStringLiteral("40.3");
    data.initial.listTpc[1] = QStringLiteral("40.1");
    data.final->listTpc[0] = QStringLiteral("41.1");
    data.final->listTpc[1] = QStringLiteral("41.1");
    const QByteArray json = SurveyFile::serialize(data);
    QVERIFY(json.contains("\"listCorrection\": true"));
    QVERIFY(json.contains("\"listTpc\": {"));
    SurveyModel m(SurveyModel::Kind::Loading);
    const SurveyLoadResult r = SurveyFileModel::load(m, data, QStringLiteral("list.json"));
    QVERIFY2(r.loaded(), qPrintable(r.message));
    QVERIFY(m.listCorrection());
    const SurveyFileData saved = SurveyFileModel::read(m);
    QVERIFY(saved.listCorrection);
    QCOMPARE(saved.initial.listTpc[0], QStringLiteral("40.3"));
    QCOMPARE(saved.final->listTpc[1], QStringLiteral("41.1"));

    const QByteArray wrong = QByteArray(json).replace("\"listCorrection\": true", "\"listCorrection\": \"yes\"");
    QVERIFY(!SurveyFile::parse(wrong, QStringLiteral("wrong.json"), &error));
    QVERIFY2(error.contains(QLatin1String("listCorrection")), qPrintable(error));
}

QTEST_MAIN(TestRealTables)
#include "test_real_tables.moc"
