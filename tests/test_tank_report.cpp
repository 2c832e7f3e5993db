// The tank sheet after the report page of a survey from soundings: each tank read with the figures
// the model worked out, the group totals equal to the report's deductions and to the calculation
// sheet's lines, the pages laid out within the frame (a long sheet going on over pages with its
// heads), the captions file's "tanks", and a survey without soundings reported as before to the
// byte.

#include "core/MessageService.h"
#include "db/Database.h"
#include "files/SurveyFile.h"
#include "files/SurveyFileModel.h"
#include "model/HydrostaticTable.h"
#include "model/SurveyDraft.h"
#include "model/SurveyModel.h"
#include "model/TankTable.h"
#include "report/CalculationSheet.h"
#include "report/ReportDocument.h"
#include "report/ReportFiller.h"
#include "report/ReportOutput.h"
#include "report/TankSheetPages.h"
#include "tests/SurveyTestShips.h"
#include "tests/TestSupport.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {

const QString kMkdb = QStringLiteral(QUORVANE_MKDB_BIN);
const QString kLt = QStringLiteral(QUORVANE_LT_BIN);
const QString kSoundings = QStringLiteral("loading-port-hedland-soundings.json");

struct Loaded {
    std::unique_ptr<SurveyModel> model;
    std::optional<ReportLayout> page;
};

Loaded load(const SurveyFileData& data)
{
    Loaded l;
    l.model = std::make_unique<SurveyModel>(data.kind == SurveyFileData::Kind::Discharging
            ? SurveyModel::Kind::Discharging
            : SurveyModel::Kind::Loading);
    const SurveyLoadResult r = SurveyFileModel::load(*l.model, data, QStringLiteral("survey.json"));
    if (!r.loaded()) {
        qWarning() << r.message;
        return l;
    }
    l.page = ReportFiller::fill(*l.model, false);
    return l;
}

int pdfPages(const ReportDocument& document)
{
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    if (!ReportOutput::writePdf(document, &buffer))
        return -1;
    return int(QString::fromLatin1(pdf).count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
}

// The report page's row of each deductions item a tank group fills.
const QMap<int, QString> kItemRow
    = {{2, "FO"}, {3, "DO"}, {24, "LO"}, {25, "FW"}, {26, "Ballast"}, {28, "Misc1"}};

} // namespace

class TestTankReport : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void everyTankReadIsOnTheSheet();
    void onlyTheDraftsThePagePrinted();
    void aLongSheetGoesOnOverPages();
    void theCaptionsFile();
    void aDraftCheckFromSoundings();
    void aSurveyWithoutSoundingsIsUnchanged();

private:
    QTemporaryDir m_dir;
    QString m_dataDir;
    int m_shipId = 0;
    TankTables m_stored;
};

void TestTankReport::initTestCase()
{
    TestSupport::initTestEnvironment();
    m_dataDir = TestSupport::useFreshDatabaseCopy(m_dir);
    const TestSupport::Run mk = TestSupport::runProgram(kMkdb, {m_dataDir, QStringLiteral("--examples")});
    QVERIFY2(mk.status == 0, qPrintable(mk.err));
    openDatabase();
    QVERIFY(!startupFailed());
    m_shipId = HydrostaticTable::shipIdByName(QStringLiteral("Coral Meridian"));
    m_stored = TankTables::loadForShip(m_shipId);
    QCOMPARE(m_stored.tanks.size(), 12);
}

void TestTankReport::cleanupTestCase()
{
    closeDatabase();
}

void TestTankReport::init()
{
    MessageService::clearRecords();
    TankTables::saveForShip(m_shipId, m_stored);
}

void TestTankReport::everyTankReadIsOnTheSheet()
{
    const Loaded l = load(SurveyTestShips::readExample(kSoundings));
    QVERIFY(l.page);
    const std::optional<TankSheetPages> tanks = TankSheetPages::build(*l.model, *l.page);
    QVERIFY(tanks);
    QCOMPARE(tanks->drafts().size(), 2);
    const CalculationSheet sheet = CalculationSheet::build(*l.model, *l.page);

    for (int draft : {SurveyModel::Initial, SurveyModel::Final}) {
        const QString key
            = draft == SurveyModel::Initial ? QStringLiteral("initial") : QStringLiteral("final");
        const QString prefix
            = draft == SurveyModel::Initial ? QStringLiteral("lblInit") : QStringLiteral("lblFin");
        const TankSheetPages::Draft* d = tanks->draft(key);
        QVERIFY(d);
        QCOMPARE(d->title,
            draft == SurveyModel::Initial ? QStringLiteral("INITIAL DRAFT") : QStringLiteral("FINAL DRAFT"));
        // Each tank in the order of the ship's tables, with the figures the model worked out.
        const TankSheetWork::Result worked = l.model->tankWork(draft);
        QCOMPARE(d->rows.size(), 12);
        const QString trim = l.model->panel(draft).trueTrim.round(3).toString();
        for (int i = 0; i < d->rows.size(); ++i) {
            const TankSheetPages::Row& r = d->rows[i];
            const TankSheetWork::Line& w = worked.lines[i];
            QCOMPARE(r.tank, m_stored.tanks[i].name);
            QCOMPARE(r.group, TankGroups::name(m_stored.tanks[i].group));
            QCOMPARE(r.reading, l.model->tankSheet(draft).readings.value(r.tank).reading);
            QCOMPARE(r.trim, trim);
            QCOMPARE(r.volume, w.volume);
            QCOMPARE(r.density, w.density);
            QCOMPARE(r.weight, w.weight);
        }
        // Each group's total is the report's deduction of its item, and the calculation sheet's.
        QCOMPARE(d->totals.size(), 5);
        Decimal ballast;
        for (const TankSheetPages::Row& r : d->rows)
            if (r.group == QLatin1String("Ballast"))
                ballast += *Decimal::parse(r.weight, QLocale::c());
        QCOMPARE(d->totals.first().group, QStringLiteral("Ballast"));
        QCOMPARE(d->totals.first().tanks, 8);
        QCOMPARE(d->totals.first().weight, ballast.toString());
        for (const TankSheetPages::Total& t : d->totals) {
            QVERIFY(kItemRow.contains(t.item));
            QCOMPARE(t.weight + QStringLiteral(" MT"), l.page->caption(prefix + kItemRow.value(t.item)));
            const CalculationSheet::Line* line = sheet.line(key + QStringLiteral(".tanks.") + t.key);
            QVERIFY2(line, qPrintable(t.key));
            QCOMPARE(line->cells, QStringList{t.weight + QStringLiteral(" MT")});
        }
        QCOMPARE(sheet.line(key + QStringLiteral(".tanks.ballast"))->label,
            QStringLiteral("Ballast (8 tanks, into Ballast)"));
    }

    // On the page: every tank and figure, within the frame and above the foot line.
    QCOMPARE(tanks->pageCount(), 1);
    QStringList texts;
    for (const ReportLayout::Caption& c : tanks->pageCaptions(0)) {
        texts << c.text;
        QVERIFY2(
            c.rect.left() >= 15 && c.rect.right() <= 195 && c.rect.bottom() <= 291.5, qPrintable(c.text));
    }
    QVERIFY(texts.contains(QStringLiteral("TANK SHEET")));
    QVERIFY(texts.contains(QStringLiteral("INITIAL DRAFT")));
    QVERIFY(texts.contains(QStringLiteral("FINAL DRAFT")));
    QVERIFY(texts.contains(QStringLiteral("Ballast (8 tanks)")));
    for (const TankSheetPages::Draft& d : tanks->drafts())
        for (const TankSheetPages::Row& r : d.rows)
            for (const QString& figure : {r.reading, r.volume, r.weight})
                QVERIFY2(texts.contains(figure), qPrintable(r.tank + QLatin1Char(' ') + figure));

    // The document: the report page, the tank sheet, then the calculation sheet, all in the PDF.
    const ReportDocument whole(*l.page, tanks, sheet);
    QCOMPARE(whole.pageCount(), 1 + 1 + sheet.pageCount());
    QCOMPARE(pdfPages(whole), whole.pageCount());
}

void TestTankReport::onlyTheDraftsThePagePrinted()
{
    // Only the Initial draft worked out: the sheet holds it alone.
    SurveyFileData data = SurveyTestShips::readExample(kSoundings);
    data.final.reset();
    const Loaded l = load(data);
    QVERIFY(l.page);
    const std::optional<TankSheetPages> tanks = TankSheetPages::build(*l.model, *l.page);
    QVERIFY(tanks);
    QCOMPARE(tanks->drafts().size(), 1);
    QCOMPARE(tanks->drafts().first().key, QStringLiteral("initial"));
    QCOMPARE(tanks->captions().keys(), QStringList{QStringLiteral("initial")});

    // A Final draft worked out from typed deductibles alone: no tank of it on the sheet, nor on the
    // calculation sheet.
    SurveyFileData mixed = SurveyTestShips::readExample(kSoundings);
    const Loaded sounded = load(mixed);
    const QMap<int, QString> quantities = sounded.model->inputs(SurveyModel::Final).deductibles;
    mixed.final->deductibles.clear();
    for (auto it = quantities.begin(); it != quantities.end(); ++it)
        mixed.final->deductibles.append({it.key(), it.value()});
    mixed.final->tanks.clear();
    const Loaded m = load(mixed);
    QVERIFY(m.page);
    const std::optional<TankSheetPages> some = TankSheetPages::build(*m.model, *m.page);
    QVERIFY(some);
    QCOMPARE(some->captions().keys(), QStringList{QStringLiteral("initial")});
    const CalculationSheet sheet = CalculationSheet::build(*m.model, *m.page);
    QVERIFY(sheet.line(QStringLiteral("initial.tanks.ballast")));
    for (const QString& key : sheet.figureTexts().keys())
        QVERIFY2(!key.startsWith(QLatin1String("final.tanks.")), qPrintable(key));
    // The cargo is the same as worked from the Final's soundings.
    QCOMPARE(m.page->caption(QStringLiteral("lblTotCargoLoaded")),
        sounded.page->caption(QStringLiteral("lblTotCargoLoaded")));
}

void TestTankReport::aLongSheetGoesOnOverPages()
{
    // Seventy tanks, each a copy of DB1P's table, all read on the Initial draft.
    TankTables many;
    QVector<QString> names;
    for (int i = 1; i <= 70; ++i) {
        Tank t = m_stored.tanks[1];
        t.name = QStringLiteral("WB %1").arg(i, 2, 10, QLatin1Char('0'));
        names.append(t.name);
        many.tanks.append(t);
    }
    TankTables::saveForShip(m_shipId, many);
    SurveyFileData data = SurveyTestShips::readExample(kSoundings);
    data.final.reset();
    data.initial.tanks.clear();
    for (const QString& name : names)
        data.initial.tanks.insert(name, {QStringLiteral("95"), QString(), QString()});
    const Loaded l = load(data);
    QVERIFY(l.page);
    const std::optional<TankSheetPages> tanks = TankSheetPages::build(*l.model, *l.page);
    QVERIFY(tanks);
    QCOMPARE(tanks->drafts().first().rows.size(), 70);
    QCOMPARE(tanks->pageCount(), 2);

    // The second page goes on under the draft's title and the column heads again; no line runs
    // past the foot, every tank is on one page only.
    QStringList seen;
    for (int p = 0; p < tanks->pageCount(); ++p) {
        const QList<ReportLayout::Caption> captions = tanks->pageCaptions(p);
        QStringList texts;
        for (const ReportLayout::Caption& c : captions) {
            texts << c.text;
            if (c.rect.top() < 286)
                QVERIFY2(c.rect.bottom() <= 281.0 + 1e-9, qPrintable(c.text));
            if (c.text.startsWith(QLatin1String("WB ")))
                seen << c.text;
        }
        QVERIFY(texts.contains(
            p == 0 ? QStringLiteral("INITIAL DRAFT") : QStringLiteral("INITIAL DRAFT (continued)")));
        QVERIFY(texts.contains(QStringLiteral("Volume m3")));
        QVERIFY(texts.contains(QStringLiteral("Tank sheet, page %1 of 2").arg(p + 1)));
    }
    QCOMPARE(seen, QStringList(names.begin(), names.end()));
    const ReportDocument whole(*l.page, tanks, CalculationSheet::build(*l.model, *l.page));
    QCOMPARE(pdfPages(whole), whole.pageCount());
}

void TestTankReport::theCaptionsFile()
{
    const QString out = m_dir.filePath(QStringLiteral("soundings.json"));
    const TestSupport::Run run = TestSupport::runProgram(kLt,
        {"--data-dir", m_dataDir, "--survey",
            TestSupport::sourceDir() + QStringLiteral("/examples/loading-port-hedland-soundings.json"),
            "--captions", out});
    QVERIFY2(run.status == 0, qPrintable(run.err));
    QFile f(out);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QJsonObject captions = QJsonDocument::fromJson(f.readAll()).object();
    const QJsonObject tanks = captions.value(QStringLiteral("tanks")).toObject();
    QCOMPARE(tanks.keys(), (QStringList{"final", "initial"}));

    const Loaded l = load(SurveyTestShips::readExample(kSoundings));
    const std::optional<TankSheetPages> sheet = TankSheetPages::build(*l.model, *l.page);
    for (const TankSheetPages::Draft& d : sheet->drafts()) {
        const QJsonArray rows = tanks.value(d.key).toArray();
        QCOMPARE(rows.size(), 12);
        for (int i = 0; i < rows.size(); ++i) {
            const QJsonObject r = rows[i].toObject();
            QCOMPARE(
                r.keys(), (QStringList{"density", "group", "reading", "tank", "trim", "volume", "weight"}));
            const TankSheetPages::Row& row = d.rows[i];
            const QStringList expected{
                row.density, row.group, row.reading, row.tank, row.trim, row.volume, row.weight};
            QStringList actual;
            for (const QString& k : r.keys())
                actual << r.value(k).toString();
            QCOMPARE(actual, expected);
        }
    }
    // The group totals reach the report's captions as deductions.
    QCOMPARE(captions.value(QStringLiteral("lblInitBallast")).toString(),
        sheet->draft(QStringLiteral("initial"))->totals.first().weight + QStringLiteral(" MT"));
}

void TestTankReport::aDraftCheckFromSoundings()
{
    // A draft check read between the two drafts with the Final's soundings, then one of its
    // ballast tanks half full.
    SurveyFileData data = SurveyTestShips::readExample(kSoundings);
    SurveyDraftData check = *data.final;
    data.draftChecks = {check};
    const Loaded l = load(data);
    QVERIFY(l.page);
    SurveyModel& m = *l.model;
    QCOMPARE(m.checkCount(), 1);
    const int first = SurveyModel::FirstCheck;
    QVERIFY(m.calculated(first));
    // The check's tanks worked out as the Final's, into the same deductibles and cargo.
    QCOMPARE(m.tankWork(first).lines.size(), 12);
    for (int i = 0; i < 12; ++i)
        QCOMPARE(m.tankWork(first).lines[i].weight, m.tankWork(SurveyModel::Final).lines[i].weight);
    QCOMPARE(m.inputs(first).deductibles, m.inputs(SurveyModel::Final).deductibles);
    QCOMPARE(
        m.draft(first).netDisplacement().toText(), m.draft(SurveyModel::Final).netDisplacement().toText());

    // The survey file keeps the check's tanks under its own "tanks".
    const SurveyFileData back = SurveyFileModel::read(m);
    QCOMPARE(back.draftChecks.size(), 1);
    QCOMPARE(back.draftChecks[0].tanks.keys(), check.tanks.keys());
    QCOMPARE(back.draftChecks[0].tanks.value(QStringLiteral("HFO 1C")).reading,
        check.tanks.value(QStringLiteral("HFO 1C")).reading);
    QString error;
    const auto reparsed = SurveyFile::parse(SurveyFile::serialize(back), QStringLiteral("back"), &error);
    QVERIFY2(reparsed, qPrintable(error));
    QCOMPARE(reparsed->draftChecks.value(0).tanks.value(QStringLiteral("FWT")).reading,
        check.tanks.value(QStringLiteral("FWT")).reading);

    // The tank sheet and the calculation sheet put the check between the drafts, in the order taken.
    const std::optional<TankSheetPages> tanks = TankSheetPages::build(m, *l.page);
    QVERIFY(tanks);
    QStringList keys;
    for (const TankSheetPages::Draft& d : tanks->drafts())
        keys << d.key;
    QCOMPARE(keys, (QStringList{"initial", "check1", "final"}));
    QVERIFY(tanks->captions().contains(QStringLiteral("check1")));
    const CalculationSheet sheet = CalculationSheet::build(m, *l.page);
    QCOMPARE(sheet.line(QStringLiteral("check1.tanks.ballast"))->cells,
        sheet.line(QStringLiteral("final.tanks.ballast"))->cells);

    // A ballast tank half full on the check is slack there, told of the check.
    check.tanks[QStringLiteral("DB3P")].reading = QStringLiteral("100");
    data.draftChecks = {check};
    const Loaded slack = load(data);
    bool told = false;
    for (const SurveyFinding& f : slack.model->draftFindings(first))
        told = told
            || (f.code == QLatin1String("tank-slack") && f.draft == SurveyFinding::Draft::Check
                && f.text.startsWith(QLatin1String("Ballast tank DB3P is slack")));
    QVERIFY(told);
}

void TestTankReport::aSurveyWithoutSoundingsIsUnchanged()
{
    // The typed example survey of the same ship: with her tank tables or without them, the same
    // captions file to the byte and the same pages; no tank sheet.
    const QString survey = TestSupport::sourceDir() + QStringLiteral("/examples/loading-port-hedland.json");
    const auto report = [&](const QString& name) {
        const QString out = m_dir.filePath(name);
        const TestSupport::Run run
            = TestSupport::runProgram(kLt, {"--data-dir", m_dataDir, "--survey", survey, "--captions", out});
        QFile f(out);
        return run.status == 0 && f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray withTanks = report(QStringLiteral("typed-with.json"));
    QVERIFY(!withTanks.isEmpty());
    QVERIFY(!QJsonDocument::fromJson(withTanks).object().contains(QStringLiteral("tanks")));
    TankTables::saveForShip(m_shipId, TankTables{});
    QCOMPARE(report(QStringLiteral("typed-without.json")), withTanks);

    TankTables::saveForShip(m_shipId, m_stored);
    const Loaded l = load(SurveyTestShips::readExample(QStringLiteral("loading-port-hedland.json")));
    QVERIFY(l.page);
    QVERIFY(!TankSheetPages::build(*l.model, *l.page));
    const CalculationSheet sheet = CalculationSheet::build(*l.model, *l.page);
    for (const QString& key : sheet.figureTexts().keys())
        QVERIFY2(!key.contains(QLatin1String(".tanks.")), qPrintable(key));
    const ReportDocument whole(*l.page, TankSheetPages::build(*l.model, *l.page), sheet);
    QCOMPARE(whole.pageCount(), ReportDocument(*l.page, sheet).pageCount());
}

QTEST_MAIN(TestTankReport)
#include "test_tank_report.moc"
