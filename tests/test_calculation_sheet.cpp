// The calculation sheet after the report page, without any window: its lines read from the filled
// sheet and held against the survey model's own figures (and the report page's, where the page
// shows the same figure), its pages laid out without a cut, an overlap or a split block, the
// survey's particulars through the sheet and the survey file, and the whole document in the PDF.
#include "core/MessageService.h"
#include "core/Numeric.h"
#include "db/Database.h"
#include "db/RowSet.h"
#include "files/SurveyFile.h"
#include "files/SurveyFileModel.h"
#include "model/ShipRecord.h"
#include "model/SurveyDraft.h"
#include "model/SurveyModel.h"
#include "report/CalculationSheet.h"
#include "report/ReportDocument.h"
#include "report/ReportFiller.h"
#include "report/ReportOutput.h"
#include "tests/SurveySamples.h"
#include "tests/SurveyTestShips.h"
#include "tests/TestSupport.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QRegularExpression>
#include <QtTest>

namespace {

using Kind = SurveyModel::Kind;
using Line = CalculationSheet::Line;

// The figure as the report rounds it, worked out here from the draft's own value.
QString rounded(const Variant& v, int places)
{
    return toNumeric(v, places, 0).toText();
}

QString asIs(const Variant& v)
{
    return v.isNull() ? QString() : v.toText();
}

QStringList cells(const CalculationSheet& sheet, const QString& key)
{
    const Line* l = sheet.line(key);
    return l ? l->cells : QStringList{QStringLiteral("<no line %1>").arg(key)};
}

QString cell(const CalculationSheet& sheet, const QString& key)
{
    return cells(sheet, key).value(0);
}

struct Loaded {
    std::unique_ptr<SurveyModel> model;
    std::optional<ReportLayout> page;
    std::optional<CalculationSheet> sheet;
};

Loaded load(const SurveyFileData& data)
{
    Loaded l;
    l.model = std::make_unique<SurveyModel>(
        data.kind == SurveyFileData::Kind::Discharging ? Kind::Discharging : Kind::Loading);
    const SurveyLoadResult r = SurveyFileModel::load(*l.model, data, QStringLiteral("survey.json"));
    if (!r.loaded()) {
        qWarning() << r.message;
        return l;
    }
    l.page = ReportFiller::fill(*l.model, false);
    if (l.page)
        l.sheet = CalculationSheet::build(*l.model, *l.page);
    return l;
}

// The sheet's lines that show a figure the report page shows too, by the page's caption stem.
const QList<QPair<const char*, const char*>> kSameAsPage = {
    {"trueMeanDraft", "TrueMeanDraft"},
    {"fwdAftMean", "FwdAftMean"},
    {"keelCorrection", "KeelCorr"},
    {"tpc", "TPC"},
    {"lcf", "LCF"},
    {"dMctc", "dMCTC"},
    {"displacement", "DispInSeaWater"},
    {"firstTrimCorrection", "1stTrimCorr"},
    {"secondTrimCorrection", "2ndTrimCorr"},
    {"totalTrimCorrection", "TotTrimCorr"},
    {"listCorrection", "ListCorr"},
    {"displacementTrimList", "DispAtEvenKeel"},
    {"displacementDensity", "TrueDisplacement"},
    {"totalDeductibles", "TotDeductibles"},
    {"netDisplacement", "NGDisp"},
};

} // namespace

class TestCalculationSheet : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void everyFigureIsTheModels_data();
    void everyFigureIsTheModels();
    void resultAgainstTheBill();
    void surveyWithoutParticularsIsComplete();
    void onlyTheDraftsThePagePrinted();
    void pagesNeverCutSplitOrOverlap_data();
    void pagesNeverCutSplitOrOverlap();
    void particularsOnTheSheet();
    void particularsInTheSurveyFile();
    void particularsRefusedInTheFile_data();
    void particularsRefusedInTheFile();
    void theDocumentHasEveryPage();
    void draftsInOrder();

private:
    QTemporaryDir m_dir;
};

void TestCalculationSheet::initTestCase()
{
    TestSupport::initTestEnvironment();
    QVERIFY(TestSupport::openFreshDatabaseCopy(m_dir));
    SurveyTestShips::insert();
}

void TestCalculationSheet::cleanupTestCase()
{
    closeDatabase();
}

void TestCalculationSheet::init()
{
    MessageService::clearRecords();
    MessageService::clearAnswers();
}

void TestCalculationSheet::everyFigureIsTheModels_data()
{
    QTest::addColumn<bool>("discharging");
    QTest::newRow("loading") << false;
    QTest::newRow("discharging") << true;
}

// Each line of each draft's block, against the draft as the model holds it.
void TestCalculationSheet::everyFigureIsTheModels()
{
    QFETCH(bool, discharging);
    const Loaded l = load(discharging ? SurveySamples::discharging() : SurveySamples::loading());
    QVERIFY(l.sheet);
    const CalculationSheet& sheet = *l.sheet;
    const QString m = QStringLiteral(" m");
    const QString t = QStringLiteral(" MT");

    for (int index : {int(SurveyModel::Initial), int(SurveyModel::Final)}) {
        const QString b
            = index == SurveyModel::Initial ? QStringLiteral("initial.") : QStringLiteral("final.");
        const QString prefix
            = index == SurveyModel::Initial ? QStringLiteral("lblInit") : QStringLiteral("lblFin");
        SurveyDraft& d = l.model->draft(index);

        QCOMPARE(cell(sheet, b + "dateTime"), d.surveyDate() + ' ' + d.surveyTime());
        QCOMPARE(cell(sheet, b + "density"), asIs(d.specificGravity()));
        QCOMPARE(cells(sheet, b + "forward"),
            (QStringList{asIs(d.fwdPort()) + m, asIs(d.fwdStbd()) + m, rounded(d.fwdMean(), 3) + m}));
        QCOMPARE(cells(sheet, b + "midships"),
            (QStringList{asIs(d.midPort()) + m, asIs(d.midStbd()) + m, rounded(d.midMean(), 3) + m}));
        QCOMPARE(cells(sheet, b + "aft"),
            (QStringList{asIs(d.aftPort()) + m, asIs(d.aftStbd()) + m, rounded(d.aftMean(), 3) + m}));
        QCOMPARE(cells(sheet, b + "forwardCorrection"),
            (QStringList{
                asIs(d.fwdX()) + m, rounded(d.fwdCorrection(), 3) + m, rounded(d.fwdTrueDraft(), 3) + m}));
        QCOMPARE(cells(sheet, b + "midshipsCorrection"),
            (QStringList{
                asIs(d.midX()) + m, rounded(d.midCorrection(), 3) + m, rounded(d.midTrueDraft(), 3) + m}));
        QCOMPARE(cells(sheet, b + "aftCorrection"),
            (QStringList{
                asIs(d.aftX()) + m, rounded(d.aftCorrection(), 3) + m, rounded(d.aftTrueDraft(), 3) + m}));
        QCOMPARE(cell(sheet, b + "lbm"), asIs(d.lbm()) + m);
        QCOMPARE(cell(sheet, b + "trueTrim"), rounded(d.trueTrim(), 3) + m);
        QCOMPARE(cell(sheet, b + "trueMeanDraft"), rounded(d.trueMeanDraft(), 8) + m);

        const VariantArray2D hdt = d.hdt();
        QCOMPARE(cells(sheet, b + "rowsDraft"),
            (QStringList{
                asIs(hdt.at(0, SurveyDraft::HydDraft)) + m, asIs(hdt.at(1, SurveyDraft::HydDraft)) + m}));
        QCOMPARE(cells(sheet, b + "rowsDisplacement"),
            (QStringList{asIs(hdt.at(0, SurveyDraft::Displacement)) + t,
                asIs(hdt.at(1, SurveyDraft::Displacement)) + t}));
        QCOMPARE(cells(sheet, b + "rowsTpc"),
            (QStringList{asIs(hdt.at(0, SurveyDraft::Tpc)), asIs(hdt.at(1, SurveyDraft::Tpc))}));
        QCOMPARE(cells(sheet, b + "rowsLcf"),
            (QStringList{asIs(hdt.at(0, SurveyDraft::Lcf)), asIs(hdt.at(1, SurveyDraft::Lcf))}));
        QCOMPARE(cells(sheet, b + "rowsMctcPlus50"),
            (QStringList{asIs(d.mctcPlus50().at(0, 1)), asIs(d.mctcPlus50().at(1, 1))}));
        QCOMPARE(cells(sheet, b + "rowsMctcMinus50"),
            (QStringList{asIs(d.mctcMinus50().at(0, 1)), asIs(d.mctcMinus50().at(1, 1))}));
        QCOMPARE(cell(sheet, b + "rowsFrom"), QStringLiteral("Typed from the ship's hydrostatic tables"));
        const VariantArray2D ip = d.ipResult();
        QCOMPARE(cells(sheet, b + "mctc"),
            (QStringList{asIs(ip.at(1, SurveyDraft::IpMctcP50)), asIs(ip.at(1, SurveyDraft::IpMctcM50))}));

        const QVector<Variant> r = d.finalResult();
        QCOMPARE(cell(sheet, b + "displacement"), rounded(r.at(SurveyDraft::DisplacementAtTmd), 5) + t);
        QCOMPARE(
            cell(sheet, b + "firstTrimCorrection"), rounded(r.at(SurveyDraft::FirstTrimCorrection), 4) + t);
        QCOMPARE(cell(sheet, b + "secondTrimCorrection"),
            rounded(r.at(SurveyDraft::SecondTrimCorrection), 4) + t);
        QCOMPARE(
            cell(sheet, b + "totalTrimCorrection"), rounded(r.at(SurveyDraft::TotalTrimCorrection), 4) + t);
        QCOMPARE(cell(sheet, b + "listCorrection"), rounded(r.at(SurveyDraft::ListCorrection), 4) + t);
        QCOMPARE(cell(sheet, b + "displacementTrimList"),
            rounded(r.at(SurveyDraft::DisplacementEvenKeel), 5) + t);
        QCOMPARE(cell(sheet, b + "densityCorrection"), rounded(r.at(SurveyDraft::DensityCorrection), 5) + t);
        QCOMPARE(
            cell(sheet, b + "displacementDensity"), rounded(r.at(SurveyDraft::TrueDisplacement), 5) + t);
        QCOMPARE(cell(sheet, b + "totalDeductibles"), rounded(r.at(SurveyDraft::TotalDeductibles), 5) + t);
        QCOMPARE(
            cell(sheet, b + "netDisplacement"), rounded(r.at(SurveyDraft::NetDisplacementResult), 5) + t);

        // Each item on board, as the deductions list holds it.
        const SurveyDraftData typed = index == SurveyModel::Initial
            ? (discharging ? SurveySamples::arrival() : SurveySamples::loadingInitial())
            : (discharging ? SurveySamples::departure() : SurveySamples::loadingFinal());
        for (const auto& [item, quantity] : typed.deductibles)
            QCOMPARE(cell(sheet, b + "deductible." + QString::number(item)), quantity + t);

        // What the page shows as well, the sheet shows in the same words.
        for (const auto& [key, stem] : kSameAsPage)
            QCOMPARE(cell(sheet, b + key), l.page->caption(prefix + stem));
    }

    // The worked examples, to the digit (SurveySamples).
    if (!discharging) {
        QCOMPARE(cell(sheet, "initial.firstTrimCorrection"), QStringLiteral("-65.4967 MT"));
        QCOMPARE(cell(sheet, "initial.densityCorrection"), QStringLiteral("-294.07515 MT"));
        QCOMPARE(cell(sheet, "initial.netDisplacement"), QStringLiteral("29348.62818 MT"));
        QCOMPARE(cell(sheet, "final.netDisplacement"), QStringLiteral("37707.23005 MT"));
        QCOMPARE(cell(sheet, "result.constant"), QStringLiteral("21348.62818 MT"));
        QCOMPARE(cell(sheet, "result.cargo"), QStringLiteral("8358.60187 MT"));
        QCOMPARE(cell(sheet, "initial.trueMeanDraft"), QStringLiteral("7.25 m"));
        // (6.65 + 7.85) / 2 meaned with 7.25: no deflection, no keel.
        QCOMPARE(cell(sheet, "initial.meanOfMeans"), QStringLiteral("7.25 m"));
        QCOMPARE(cell(sheet, "initial.deflection"), QStringLiteral("None"));
    } else {
        QCOMPARE(cell(sheet, "initial.netDisplacement"), QStringLiteral("38751.03485 MT"));
        QCOMPARE(cell(sheet, "final.netDisplacement"), QStringLiteral("8418.56357 MT"));
        QCOMPARE(cell(sheet, "result.cargo"), QStringLiteral("30332.47128 MT"));
        QCOMPARE(cell(sheet, "result.constant"), QStringLiteral("418.56357 MT"));
        QCOMPARE(cell(sheet, "initial.trueMeanDraft"), QStringLiteral("9.50973046 m"));
        QCOMPARE(cells(sheet, "initial.forwardCorrection"), (QStringList{"2.5 m", "0.011 m", "9.121 m"}));
    }
    QCOMPARE(cell(sheet, "result.lightShip"), l.page->caption("lblLightShip"));
    QCOMPARE(cell(sheet, "result.initialNetDisplacement"), l.page->caption("lblInitNGDisp"));
    QCOMPARE(cell(sheet, "result.finalNetDisplacement"), l.page->caption("lblFinNGDisp"));
    QCOMPARE(cell(sheet, "result.constant"), l.page->caption("lblConstant"));
    QCOMPARE(cell(sheet, "result.cargo"), l.page->caption("lblTotCargoLoaded"));

    // The captions file's "sheet" carries the same texts, line by line.
    const QVariantMap captions = sheet.captions();
    QCOMPARE(captions.value("final.netDisplacement").toString(), cell(sheet, "final.netDisplacement"));
    QCOMPARE(captions.value("initial.forward").toStringList(), cells(sheet, "initial.forward"));
}

void TestCalculationSheet::resultAgainstTheBill()
{
    const Loaded l = load(SurveySamples::discharging());
    QVERIFY(l.sheet);
    QCOMPARE(cell(*l.sheet, "result.blQuantity"), QStringLiteral("30400 MT"));
    // 30332.47128 - 30400 = -67.52872 t, of 30400 t: -0.2221339... %, to 3 places.
    QCOMPARE(cells(*l.sheet, "result.blDifference"), (QStringList{"-67.52872 MT", "-0.222 %"}));
    QCOMPARE(l.sheet->block("result")->title, QStringLiteral("CARGO DISCHARGED"));

    // A loading survey has no bill to hold the cargo against.
    const Loaded loading = load(SurveySamples::loading());
    QVERIFY(loading.sheet);
    QVERIFY(!loading.sheet->line("result.blQuantity"));
    QCOMPARE(loading.sheet->block("result")->title, QStringLiteral("CARGO LOADED"));
}

// No particulars, no keel plate, no list, no tank sheet, no draft checks: every block is there
// and every figure filled.
void TestCalculationSheet::surveyWithoutParticularsIsComplete()
{
    const Loaded l = load(SurveySamples::loading());
    QVERIFY(l.sheet);
    QVERIFY(l.model->particulars().isEmpty());
    QStringList keys;
    for (const CalculationSheet::Block& b : l.sheet->blocks())
        keys << b.key;
    QCOMPARE(keys, (QStringList{"initial", "final", "result", "findings", "particulars", "signatures"}));
    for (const char* draft : {"initial", "final"}) {
        for (const Line& line : l.sheet->block(draft)->lines) {
            if (line.kind != Line::Kind::Figure || line.key.endsWith("readingsStart")
                || line.key.endsWith("readingsEnd"))
                continue;
            for (const QString& c : line.cells)
                QVERIFY2(!c.trimmed().isEmpty() && c != QLatin1String(" m") && c != QLatin1String(" MT"),
                    qPrintable(line.key));
        }
    }
    QCOMPARE(cell(*l.sheet, "initial.keelCorrection"), QStringLiteral("0 m"));
    QCOMPARE(cell(*l.sheet, "initial.listCorrection"), QStringLiteral("0 MT"));
    // Each particular has its line, blank for the surveyor to write in.
    const CalculationSheet::Block* particulars = l.sheet->block("particulars");
    QCOMPARE(particulars->lines.size(), SurveyParticulars::items().size());
    for (const Line& line : particulars->lines)
        QCOMPARE(line.cells, QStringList{QString()});
    const Line* signatures = l.sheet->line("signatures");
    QVERIFY(signatures);
    QCOMPARE(signatures->cells.value(0), QStringLiteral("Surveyor"));
    QCOMPARE(signatures->cells.value(2), QStringLiteral("Master / Chief Officer"));
    QVERIFY(l.sheet->pageCount() >= 2);
}

// A survey with only its Initial draft calculated: the sheet has that draft's block, and the
// result shows what the page shows (no Final net displacement, no cargo).
void TestCalculationSheet::onlyTheDraftsThePagePrinted()
{
    SurveyFileData data = SurveySamples::loading();
    data.final.reset();
    const Loaded l = load(data);
    QVERIFY(l.sheet);
    QVERIFY(l.sheet->block("initial"));
    QVERIFY(!l.sheet->block("final"));
    QCOMPARE(cell(*l.sheet, "result.constant"), QStringLiteral("21348.62818 MT"));
    QCOMPARE(cell(*l.sheet, "result.cargo"), QString());
    QCOMPARE(cell(*l.sheet, "result.finalNetDisplacement"), QString());
}

void TestCalculationSheet::pagesNeverCutSplitOrOverlap_data()
{
    QTest::addColumn<bool>("discharging");
    QTest::addColumn<bool>("particulars");
    QTest::newRow("loading") << false << false;
    QTest::newRow("discharging, every particular at its longest") << true << true;
}

void TestCalculationSheet::pagesNeverCutSplitOrOverlap()
{
    QFETCH(bool, discharging);
    QFETCH(bool, particulars);
    SurveyFileData data = discharging ? SurveySamples::discharging() : SurveySamples::loading();
    if (particulars) {
        for (const SurveyParticulars::Item& item : SurveyParticulars::items())
            data.particulars.setValue(
                item.key, QStringLiteral("WMWMW ").repeated(item.maxLength).left(item.maxLength));
        QString remarks;
        while (remarks.size() + 60 < 1000)
            remarks += QStringLiteral("Swell from the south-west made the forward marks hard to read.\n");
        data.particulars.setValue(QStringLiteral("remarks"), remarks.left(1000));
    }
    const Loaded l = load(data);
    QVERIFY(l.sheet);
    const CalculationSheet& sheet = *l.sheet;

    // Every block once, in order, on one page; the blocks of a page fit above its foot.
    QList<int> seen;
    for (int p = 0; p < sheet.pageCount(); ++p) {
        qreal height = 0;
        for (int b : sheet.blocksOnPage(p)) {
            seen << b;
            height += CalculationSheet::blockHeight(sheet.blocks().at(b)) + 3.0;
        }
        QVERIFY2(height <= 281.0 - 29.0 + 3.0,
            qPrintable(QStringLiteral("page %1: %2 mm").arg(p + 1).arg(height)));
    }
    QList<int> all;
    for (int b = 0; b < sheet.blocks().size(); ++b)
        all << b;
    QCOMPARE(seen, all);

    // Drawn at 100% and 150% of a 96 dpi screen: no text cut, none over another, none off the
    // paper, and each page says which of how many it is.
    for (qreal scale : {1.0, 1.5}) {
        QImage image(
            QSize(qRound(210 / 25.4 * 96 * scale), qRound(297 / 25.4 * 96 * scale)), QImage::Format_RGB32);
        image.setDotsPerMeterX(qRound(96 * scale / 0.0254));
        image.setDotsPerMeterY(qRound(96 * scale / 0.0254));
        const qreal pxPerMM = image.width() / 210.0;
        for (int p = 0; p < sheet.pageCount(); ++p) {
            const QList<ReportLayout::Caption> captions = sheet.pageCaptions(p);
            QStringList texts;
            for (const ReportLayout::Caption& c : captions) {
                texts << c.text;
                QVERIFY(QRectF(0, 0, 210, 297).contains(c.rect));
                if (c.text.isEmpty())
                    continue;
                const ReportLayout::Fitted f = ReportLayout::fit(c, &image, pxPerMM);
                // The longest particulars may be drawn smaller; nothing is ever cut.
                QVERIFY2(!f.elided, qPrintable(QStringLiteral("cut on page %1: %2").arg(p + 1).arg(c.text)));
                if (!particulars)
                    QVERIFY2(!f.shrunk, qPrintable(c.text));
            }
            for (int i = 0; i < captions.size(); ++i)
                for (int j = i + 1; j < captions.size(); ++j) {
                    const QRectF both = captions[i].rect.intersected(captions[j].rect);
                    QVERIFY2(both.width() < 0.01 || both.height() < 0.01,
                        qPrintable(captions[i].text + " / " + captions[j].text));
                }
            QVERIFY(texts.contains(QStringLiteral("DRAFT SURVEY CALCULATION")));
            QVERIFY(texts.contains(QStringLiteral("Page %1 of %2").arg(p + 1).arg(sheet.pageCount())));
            QPainter painter(&image);
            image.fill(Qt::white);
            sheet.renderPage(painter, QRectF(QPointF(0, 0), image.size()), p);
        }
    }
}

void TestCalculationSheet::particularsOnTheSheet()
{
    SurveyFileData data = SurveySamples::loading();
    data.particulars.setValue("surveyor", "J. Okafor");
    data.particulars.setValue("role", "Umpire");
    data.particulars.setValue("chiefOfficer", "R. Santos");
    data.particulars.setValue("weather", "Fine, clear");
    data.particulars.setValue("remarks", "Swell 0.5 m.\nReadings from a launch.");
    data.initial.readingsStart = "07:40";
    data.initial.readingsEnd = "08:15";
    data.final->readingsStart = "18:05";
    const Loaded l = load(data);
    QVERIFY(l.sheet);
    QCOMPARE(cell(*l.sheet, "particulars.surveyor"), QStringLiteral("J. Okafor"));
    QCOMPARE(cell(*l.sheet, "particulars.role"), QStringLiteral("Umpire"));
    QCOMPARE(cell(*l.sheet, "particulars.remarks"), QStringLiteral("Swell 0.5 m.\nReadings from a launch."));
    QCOMPARE(cell(*l.sheet, "particulars.master"), QString());
    QCOMPARE(cell(*l.sheet, "initial.readingsStart"), QStringLiteral("07:40"));
    QCOMPARE(cell(*l.sheet, "initial.readingsEnd"), QStringLiteral("08:15"));
    QCOMPARE(cell(*l.sheet, "final.readingsStart"), QStringLiteral("18:05"));
    QCOMPARE(cell(*l.sheet, "final.readingsEnd"), QString());
    // The names under the lines to sign on: the chief officer when no master is named.
    const QStringList signatures = cells(*l.sheet, "signatures");
    QCOMPARE(signatures.value(1), QStringLiteral("J. Okafor"));
    QCOMPARE(signatures.value(3), QStringLiteral("R. Santos"));
    QCOMPARE(signatures.value(4), QStringLiteral("Ocean Pride"));

    // A new survey starts without them.
    l.model->clear();
    QVERIFY(l.model->particulars().isEmpty());
    QCOMPARE(l.model->draft(SurveyModel::Initial).readingsStart(), QString());
}

void TestCalculationSheet::particularsInTheSurveyFile()
{
    // A survey without particulars writes its file as before: no key of theirs.
    {
        const Loaded l = load(SurveySamples::loading());
        const QByteArray text = SurveyFile::serialize(SurveyFileModel::read(*l.model));
        QVERIFY(!text.contains("particulars"));
        QVERIFY(!text.contains("readingsStart"));
        QVERIFY(!text.contains("readingsEnd"));
    }
    SurveyFileData data = SurveySamples::discharging();
    data.particulars.setValue("surveyor", "J. Okafor");
    data.particulars.setValue("instruments", "Hydrometer H-12 (cal. 02-2026), tape T-7 (cal. 11-2025)");
    data.particulars.setValue("remarks", "Line one.\nLine two.");
    data.initial.readingsStart = "07:40";
    data.final->readingsEnd = "16:30";
    const Loaded l = load(data);
    const SurveyFileData out = SurveyFileModel::read(*l.model);
    QCOMPARE(out.particulars, data.particulars);
    QCOMPARE(out.initial.readingsStart, QStringLiteral("07:40"));
    QCOMPARE(out.final->readingsEnd, QStringLiteral("16:30"));

    // Through the file's text and back, into a survey of its own.
    QString error;
    const std::optional<SurveyFileData> again
        = SurveyFile::parse(SurveyFile::serialize(out), QStringLiteral("again.json"), &error);
    QVERIFY2(again, qPrintable(error));
    QCOMPARE(again->particulars, data.particulars);
    const Loaded reopened = load(*again);
    QVERIFY(reopened.sheet);
    QCOMPARE(reopened.model->particulars(), data.particulars);
    QCOMPARE(reopened.model->draft(SurveyModel::Initial).readingsStart(), QStringLiteral("07:40"));
    QCOMPARE(reopened.model->draft(SurveyModel::Final).readingsEnd(), QStringLiteral("16:30"));
    QCOMPARE(reopened.sheet->figureTexts(), l.sheet->figureTexts());
}

void TestCalculationSheet::particularsRefusedInTheFile_data()
{
    QTest::addColumn<QByteArray>("particulars");
    QTest::addColumn<QByteArray>("initialExtra");
    QTest::addColumn<bool>("refused"); // refused like a bad figure, rather than no survey file
    QTest::addColumn<QString>("says");
    QTest::newRow("unknown particular")
        << QByteArray(R"({"surveyr": "J. Okafor"})") << QByteArray() << false
        << QStringLiteral("field \"particulars.surveyr\": is not a particular of the survey.");
    QTest::newRow("not a text") << QByteArray(R"({"surveyor": ["J. Okafor"]})") << QByteArray() << false
                                << QStringLiteral(
                                       "field \"particulars.surveyor\": must be a text or a number.");
    QTest::newRow("longer than its box")
        << QByteArray("{\"surveyor\": \"" + QByteArray(61, 'x') + "\"}") << QByteArray() << true
        << QStringLiteral("field \"particulars.surveyor\": the box takes at most 60 characters.");
    QTest::newRow("line break outside the remarks")
        << QByteArray(R"({"weather": "Fine\nclear"})") << QByteArray() << true
        << QStringLiteral("field \"particulars.weather\": holds a control");
    QTest::newRow("not an object") << QByteArray(R"("J. Okafor")") << QByteArray() << false
                                   << QStringLiteral("field \"particulars\": must be an object.");
    QTest::newRow("readings time too long")
        << QByteArray("{}") << QByteArray(R"("readingsStart": "07:40 on the twelfth",)") << true
        << QStringLiteral("field \"initial.readingsStart\": the box takes at most 16");
}

void TestCalculationSheet::particularsRefusedInTheFile()
{
    QFETCH(QByteArray, particulars);
    QFETCH(QByteArray, initialExtra);
    QFETCH(bool, refused);
    QFETCH(QString, says);
    const QByteArray text = R"({"format": "quorvane-survey/1", "kind": "loading", "ship": "Ocean Pride",
        "particulars": )"
        + particulars + R"(, "initial": {)" + initialExtra + R"( "density": "1.015"}})";
    QString error;
    SurveyFile::Failure failure = SurveyFile::Failure::None;
    QVERIFY(!SurveyFile::parse(text, QStringLiteral("s.json"), &error, &failure));
    QVERIFY2(error.startsWith(QStringLiteral("s.json: ") + says), qPrintable(error));
    QCOMPARE(failure, refused ? SurveyFile::Failure::Refused : SurveyFile::Failure::NotRead);

    // The remarks take line breaks.
    const QByteArray remarks = R"({"format": "quorvane-survey/1", "kind": "loading", "ship": "Ocean Pride",
        "particulars": {"remarks": "One.\nTwo."}, "initial": {}})";
    const std::optional<SurveyFileData> ok = SurveyFile::parse(remarks, QStringLiteral("r.json"), &error);
    QVERIFY2(ok, qPrintable(error));
    QCOMPARE(ok->particulars.value("remarks"), QStringLiteral("One.\nTwo."));
}

// The PDF holds the report page and every page of the sheet; the page alone is still one page.
void TestCalculationSheet::theDocumentHasEveryPage()
{
    const Loaded l = load(SurveySamples::discharging());
    QVERIFY(l.sheet);
    const auto pagesOf = [](const ReportDocument& document) {
        QByteArray pdf;
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        if (!ReportOutput::writePdf(document, &buffer))
            return -1;
        // Each page object, not the page tree ("/Type /Pages").
        return int(
            QString::fromLatin1(pdf).count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
    };
    const ReportDocument whole(*l.page, *l.sheet);
    QCOMPARE(whole.pageCount(), 1 + l.sheet->pageCount());
    QCOMPARE(pagesOf(whole), whole.pageCount());
    QCOMPARE(pagesOf(ReportDocument(*l.page)), 1);

    // The report page of the document is the page as filled, caption for caption.
    QCOMPARE(whole.page().captionTexts(), l.page->captionTexts());
}

void TestCalculationSheet::draftsInOrder()
{
    SurveyModel m(Kind::Loading);
    const QList<SurveyModel::DraftTaken> drafts = m.draftsInOrder();
    QCOMPARE(drafts.size(), 2);
    QCOMPARE(drafts[0].index, int(SurveyModel::Initial));
    QCOMPARE(drafts[0].draft, &m.draft(SurveyModel::Initial));
    QCOMPARE(drafts[0].title, QStringLiteral("INITIAL DRAFT"));
    QCOMPARE(drafts[1].index, int(SurveyModel::Final));
    QCOMPARE(drafts[1].draft, &m.draft(SurveyModel::Final));
}

QTEST_MAIN(TestCalculationSheet)
#include "test_calculation_sheet.moc"
