#include "core/MessageService.h"
#include "core/VbError.h"
#include "report/ReportLayout.h"
#include "ui/ReportPreview.h"
#include "tests/ReportTestSupport.h"
#include "tests/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The value captions of the Initial / Final table, by stem.
const QStringList Stems = {
    "Date", "Time", "FO", "DO", "LO", "FW", "Ballast", "Provisions", "Misc1", "Misc2", "TotDeductibles",
    "FwdMeanDraft", "FwdCorrection", "CorrDraftFwd", "AftMeanDraft", "AftCorrection", "CorrDraftAft",
    "FwdAftMean", "MidPortDraft", "MidStbdDraft", "MeanMidDraft", "Deflection", "KeelCorr", "TrueMeanDraft",
    "TPC", "LCF", "dMCTC", "DispInSeaWater", "1stTrimCorr", "2ndTrimCorr", "TotTrimCorr", "ListCorr",
    "DispAtEvenKeel",
    "Density", "TrueDisplacement", "TotDeductibles2", "NGDisp", "Comments"};

const QStringList ShipCaptions = {
    "lblReportTitle", "lblShipName", "lblCallSign", "lblPortOfRegistry", "lblOfficialNo", "lblFlag",
    "lblLOA", "lblLBP", "lblGrossTonnage", "lblNetTonnage", "lblSummerDraft", "lblSummerDeadweight",
    "lblBreadth", "lblLightShip", "lblFwdX", "lblMidX", "lblAftX", "lblPortName", "lblVoyageID", "lblCargo",
    "lblConstant", "lblTotCargoLoaded", "lblShipName2"};

QString expectedDesignText(const QString& stem, bool initial, bool loading)
{
    static const QStringList tonnes = {"FO", "DO", "LO", "FW", "Ballast", "Provisions", "Misc1", "Misc2",
                                       "TotDeductibles", "DispInSeaWater", "1stTrimCorr", "2ndTrimCorr",
                                       "TotTrimCorr", "ListCorr", "DispAtEvenKeel", "TrueDisplacement",
                                       "TotDeductibles2", "NGDisp"};
    static const QStringList metres = {"FwdMeanDraft", "FwdCorrection", "CorrDraftFwd", "AftMeanDraft",
                                       "AftCorrection", "CorrDraftAft", "FwdAftMean", "MidPortDraft",
                                       "MidStbdDraft", "MeanMidDraft", "KeelCorr", "TrueMeanDraft"};
    if (tonnes.contains(stem))
        return "0 MT";
    if (metres.contains(stem))
        return "0 m";
    if (stem == "Deflection")
        return "0 cm";
    if (stem == "Density" && initial && loading)
        return "0 MT";
    return QString();
}

bool havePdfToText()
{
    return !QStandardPaths::findExecutable("pdftotext").isEmpty();
}

// Worst cases a real survey can bring: a long ship and port name, seven-digit tonnages with five
// decimals, long comments.
void fillWorstCase(ReportLayout& layout)
{
    for (const QString& name : layout.captionNames())
        layout.setCaption(name, "-1234567.12345 MT");
    layout.setCaption("lblShipName", "MV ATLANTIC PIONEER OF THE NORTHERN SEAS AND THE BALTIC TRADE");
    layout.setCaption("lblShipName2", "Atlantic Pioneer of the Northern Seas and the Baltic Trade");
    layout.setCaption("lblPortOfRegistry",
                      "Santa Cruz de Tenerife (Canary Islands), Spain and its Territories");
    layout.setCaption("lblPortName", "Port Louis Harbour Bulk Terminal Berth No. 7 North Quay, Mauritius");
    layout.setCaption("lblCargo",
                      "Granulated Sugar in Bulk, Very Raw Grade Brown Crystals Tropical Harvest");
    layout.setCaption("lblVoyageID", "VOY-2024/117-LONG-REFERENCE-AAAA");
    layout.setCaption("lblInitComments", QString("Heavy swell at the forward marks, readings averaged over "
                                                 "several waves; ballast tanks sounded twice. ")
                                             .repeated(6));
    layout.setCaption("lblFinComments", "Calm.\r\nAll tanks sounded.");
    layout.setCaption("lblInitDate", "31-12-2024");
    layout.setCaption("lblInitDeflection", "Sag 1234567.1234567 cm");
}

}  // namespace

class TestReportLayout : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    // The page as data.
    void layoutsHoldEveryCaptionAtItsDesignText_data();
    void layoutsHoldEveryCaptionAtItsDesignText();
    void layoutsDifferOnlyWhereTheReportsDo();
    void eachCopyStartsFresh();
    void unknownCaptionIsAFault();
    void captionsDoNotOverlapAndStayOnThePaper();
    void longTextsShrinkOrElideButNeverSpill_data();
    void longTextsShrinkOrElideButNeverSpill();

    // Getting the page out.
    void pdfHoldsTheFilledTexts();
    void pdfToAnUnwritablePlaceIsReported();
    void printWithoutPrinterOffersPdf();
    void printerThatRefusesIsNotSuccess();
    void printerThatTakesTheJob();
    void previewWindowHasTitleAndItsOwnPrinter();

private:
    QTemporaryDir m_dir;
};

void TestReportLayout::initTestCase()
{
    TestSupport::initTestEnvironment();
    QVERIFY(m_dir.isValid());
}

void TestReportLayout::init()
{
    MessageService::clearRecords();
    MessageService::clearAnswers();
}

void TestReportLayout::cleanup()
{
    ReportOutput::setFileNameProvider({});
    ReportOutput::setPrinterProvider({});
}

void TestReportLayout::layoutsHoldEveryCaptionAtItsDesignText_data()
{
    QTest::addColumn<bool>("loading");
    QTest::newRow("loading") << true;
    QTest::newRow("discharging") << false;
}

void TestReportLayout::layoutsHoldEveryCaptionAtItsDesignText()
{
    QFETCH(bool, loading);
    const ReportLayout layout = loading ? ReportLayout::loadingReport() : ReportLayout::dischargingReport();
    QStringList expected = ShipCaptions;
    for (const QString& stem : Stems) {
        expected << "lblInit" + stem << "lblFin" + stem;
        QCOMPARE(layout.caption("lblInit" + stem), expectedDesignText(stem, true, loading));
        QCOMPARE(layout.caption("lblFin" + stem), expectedDesignText(stem, false, loading));
    }
    QStringList names = layout.captionNames();
    QCOMPARE(names.size(), expected.size());
    std::sort(names.begin(), names.end());
    std::sort(expected.begin(), expected.end());
    QCOMPARE(names, expected);
    for (const QString& name : ShipCaptions) {
        if (name == "lblReportTitle")
            continue;
        // The midship mark's distance shows "0 m" until the report fills it.
        QCOMPARE(layout.caption(name), name == "lblMidX" ? QString("0 m") : QString());
    }
    QVERIFY(layout.filledCaptionTexts().isEmpty());

    // The fixed captions, in the order a reader meets them.
    const QStringList fixed = layout.staticTexts();
    const QStringList rowCaptions = {
        "INITIAL", "FINAL", "Date", "Time", "Fuel Oil", "Diesel Oil", "Lub Oil", "Fresh Water", "Ballast",
        "Provisions", "Misc-1", "Misc-2", "TOTAL DEDUCTIBLES", "Forward Mean Draft", "Forward Correction",
        "Corrected Draft Foward", "Aft Mean Draft", "Aft Correction", "Corrected Draft Aft",
        "Mean of Fwd. & Aft. Draft", "Midship Port Draft", "Midship Starboard Draft", "Mean Midship Draft",
        "Hull Deflection", "Keel Correction", "True Mean Draft", "TPC", "LCF", "dMCTC",
        "Displacement in Sea Water", "1st Trim Correction", "2nd Trim Correction", "Total Trim Correction",
        "List Correction", "Disp. Corrected for Trim & List", "Density", "Disp. Corrected for Density", "Deductions",
        "Initial/Final Net Displacement"};
    int at = fixed.indexOf("INITIAL");
    QVERIFY(at >= 0);
    QCOMPARE(fixed.mid(at, rowCaptions.size()), rowCaptions);
    for (const char* text : {"CALL SIGN", "PORT OF REG", "FLAG", "L.O.A.", "L.B.P.", "GRT", "NRT",
                             "SUMMER DRAFT", "SUMMER DWT", "BREADTH", "LIGHT SHIP", "FWD X", "AFT X",
                             "MID X", "PORT", "Voyage", "Cargo", "CONSTANT", "Comments", "Initial", "Final",
                             "Suyveyor", "Chief Officer"})
        QVERIFY2(fixed.contains(text), text);
    // The midship mark's distance is a value of the survey, not a fixed text.
    QVERIFY(!fixed.contains("0 m"));
}

void TestReportLayout::layoutsDifferOnlyWhereTheReportsDo()
{
    const ReportLayout load = ReportLayout::loadingReport();
    const ReportLayout disch = ReportLayout::dischargingReport();
    QCOMPARE(load.layoutName(), QString("drptQuorvane"));
    QCOMPARE(disch.layoutName(), QString("drptZODuraduza"));
    QCOMPARE(load.windowTitle(), QString("Loadport Draft Survey Report"));
    QCOMPARE(disch.windowTitle(), QString("Discharge Port Draft Survey Report"));
    QVERIFY(load.staticTexts().contains("OFFICIAL NO"));
    QVERIFY(!load.staticTexts().contains("OFFICIAL NO."));
    QVERIFY(disch.staticTexts().contains("OFFICIAL NO."));
    QVERIFY(load.staticTexts().contains("TOTAL CARGO LOADED"));
    QVERIFY(disch.staticTexts().contains("TOTAL CARGO DISCHARGED"));
    QVERIFY(!disch.staticTexts().contains("TOTAL CARGO LOADED"));
    QCOMPARE(load.captionNames(), disch.captionNames());
    QCOMPARE(load.captions().size(), disch.captions().size());
}

void TestReportLayout::eachCopyStartsFresh()
{
    ReportLayout first = ReportLayout::loadingReport();
    first.setCaption("lblInitFO", "120.5 MT");
    first.setCaption("lblConstant", "300 MT");
    QCOMPARE(first.caption("lblInitFO"), QString("120.5 MT"));
    QVERIFY(first.isFilled("lblInitFO"));
    QCOMPARE(first.filledCaptionTexts().size(), 2);
    QCOMPARE(first.designText("lblInitFO"), QString("0 MT"));

    const ReportLayout second = ReportLayout::loadingReport();
    QCOMPARE(second.caption("lblInitFO"), QString("0 MT"));
    QCOMPARE(second.caption("lblConstant"), QString());
    QVERIFY(!second.isFilled("lblInitFO"));
}

void TestReportLayout::unknownCaptionIsAFault()
{
    ReportLayout layout = ReportLayout::dischargingReport();
    QVERIFY(!layout.hasCaption("lblInitLubOil"));
    QVERIFY_THROWS_EXCEPTION(VbError, layout.setCaption("lblInitLubOil", "1 MT"));
    QVERIFY_THROWS_EXCEPTION(VbError, layout.caption("lblMidY"));
}

void TestReportLayout::captionsDoNotOverlapAndStayOnThePaper()
{
    for (const ReportLayout& layout : {ReportLayout::loadingReport(), ReportLayout::dischargingReport()}) {
        const auto& captions = layout.captions();
        for (int i = 0; i < captions.size(); ++i) {
            const QRectF a = captions[i].rect;
            const QString ai = captions[i].name.isEmpty() ? captions[i].text : captions[i].name;
            QVERIFY2(a.left() >= 10 && a.right() <= 200 && a.top() >= 8 && a.bottom() <= 289,
                     qPrintable(ai));
            for (int j = i + 1; j < captions.size(); ++j) {
                const QRectF both = a.intersected(captions[j].rect);
                const QString bj = captions[j].name.isEmpty() ? captions[j].text : captions[j].name;
                QVERIFY2(both.width() < 0.01 || both.height() < 0.01, qPrintable(ai + " over " + bj));
            }
        }
    }
}

void TestReportLayout::longTextsShrinkOrElideButNeverSpill_data()
{
    QTest::addColumn<int>("dpi");
    QTest::newRow("screen 96 dpi") << 96;
    QTest::newRow("printer 600 dpi") << 600;
}

void TestReportLayout::longTextsShrinkOrElideButNeverSpill()
{
    QFETCH(int, dpi);
    QImage device(10, 10, QImage::Format_RGB32);
    device.setDotsPerMeterX(qRound(dpi / 0.0254));
    device.setDotsPerMeterY(qRound(dpi / 0.0254));
    const qreal pxPerMM = dpi / 25.4;

    ReportLayout layout = ReportLayout::dischargingReport();
    fillWorstCase(layout);
    for (const ReportLayout::Caption& c : layout.captions()) {
        const ReportLayout::Fitted f = ReportLayout::fit(c, &device, pxPerMM);
        const QFontMetricsF fm(f.font, &device);
        const qreal w = c.rect.width() * pxPerMM;
        const QString label = c.name.isEmpty() ? c.text : c.name;
        if (c.wrap) {
            const QRectF need = fm.boundingRect(QRectF(0, 0, w, 1e9), Qt::TextWordWrap, f.text);
            QVERIFY2(need.height() <= c.rect.height() * pxPerMM + 0.01, qPrintable(label));
        } else {
            QVERIFY2(fm.horizontalAdvance(f.text) <= w + 0.01, qPrintable(label));
        }
        // Never below the smallest size that still reads on paper.
        const qreal printedPt = f.font.pointSizeF() * dpi / (pxPerMM * 25.4);
        QVERIFY2(printedPt >= ReportLayout::MinPointSize - 0.01, qPrintable(label));
        // A figure is shrunk until it fits, never cut: a tonnage with a missing digit is worse than
        // no tonnage at all.
        if (c.text == "-1234567.12345 MT")
            QVERIFY2(!f.elided && f.text == c.text, qPrintable(label));
    }
    // Texts that fit are drawn at their own size.
    const ReportLayout fresh = ReportLayout::dischargingReport();
    for (const ReportLayout::Caption& c : fresh.captions()) {
        const ReportLayout::Fitted f = ReportLayout::fit(c, &device, pxPerMM);
        QVERIFY2(!f.shrunk && !f.elided, qPrintable(c.text));
    }
    // The long comment shrinks and is then cut with an ellipsis; the short one keeps its lines.
    const int initComments = layout.captionNames().indexOf("lblInitComments");
    QVERIFY(initComments >= 0);
    for (const ReportLayout::Caption& c : layout.captions()) {
        if (c.name == "lblInitComments") {
            const ReportLayout::Fitted f = ReportLayout::fit(c, &device, pxPerMM);
            QVERIFY(f.elided);
            QVERIFY(f.text.endsWith(QChar(0x2026)));
        }
        if (c.name == "lblFinComments") {
            const ReportLayout::Fitted f = ReportLayout::fit(c, &device, pxPerMM);
            QCOMPARE(f.text, QString("Calm.\nAll tanks sounded."));
            QVERIFY(!f.elided);
        }
    }
}

void TestReportLayout::pdfHoldsTheFilledTexts()
{
    if (!havePdfToText())
        QSKIP("pdftotext is not installed");
    ReportLayout layout = ReportLayout::loadingReport();
    layout.setCaption("lblShipName", "OCEAN STAR");
    layout.setCaption("lblTotCargoLoaded", "1234567.12345 MT");
    layout.setCaption("lblInitFO", "120.5 MT");
    const QString file = m_dir.filePath("fresh.pdf");
    QString error;
    QVERIFY(ReportOutput::writePdf(layout, file, &error));
    QVERIFY(error.isEmpty());
    const QString text = pdfText(file);
    QVERIFY2(text.contains("LOADPORT DRAFT SURVEY REPORT"), qPrintable(text));
    QVERIFY(text.contains("OCEAN STAR"));
    QVERIFY(text.contains("1234567.12345 MT"));
    QVERIFY(text.contains("120.5 MT"));
    QVERIFY(text.contains("Corrected Draft Foward"));
}

void TestReportLayout::pdfToAnUnwritablePlaceIsReported()
{
    const ReportLayout layout = ReportLayout::loadingReport();
    const QString file = m_dir.filePath("no/such/folder/report.pdf");
    QString error;
    QVERIFY(!ReportOutput::writePdf(layout, file, &error));
    QVERIFY(error.contains("could not be written"));

    ReportOutput::setFileNameProvider([&](QWidget*, const QString&) { return file; });
    QVERIFY(!ReportOutput::saveAsPdf(layout));
    QCOMPARE(MessageService::records().size(), 1);
    QVERIFY(MessageService::records().at(0).text.startsWith("The report could not be saved.\r\n\r\n"));
    QVERIFY(!QFile::exists(file));
}

void TestReportLayout::printWithoutPrinterOffersPdf()
{
    ReportOutput::setPrinterProvider([] { return std::unique_ptr<QPrinter>(); });
    const QString file = m_dir.filePath("instead.pdf");
    QString suggested;
    ReportOutput::setFileNameProvider([&](QWidget*, const QString& s) {
        suggested = s;
        return file;
    });
    ReportLayout layout = ReportLayout::dischargingReport();
    layout.setCaption("lblShipName2", "Ocean Star");

    // No: nothing is printed, nothing is saved, and nobody is told it was printed.
    MessageService::setNextAnswer(Msg::Answer::No);
    QVERIFY(!ReportOutput::printToDefaultPrinter(layout));
    QCOMPARE(MessageService::records().size(), 1);
    const MessageRecord r = MessageService::records().at(0);
    QCOMPARE(r.text, QString("No printer is installed.\r\n\r\n"
                             "Would you like to save the report as a PDF file instead?"));
    QCOMPARE(r.buttons, Msg::Buttons::YesNo);
    QCOMPARE(r.title, QString("Quorvane Lt"));
    QVERIFY(suggested.isEmpty());
    QVERIFY(!QFile::exists(file));

    // Yes: the page is saved where the user says, still without claiming it was printed.
    MessageService::clearRecords();
    MessageService::setNextAnswer(Msg::Answer::Yes);
    QVERIFY(!ReportOutput::printToDefaultPrinter(layout));
    QVERIFY(QFile::exists(file));
    QVERIFY(suggested.endsWith("Discharge Port Draft Survey Report - Ocean Star.pdf"));
    QCOMPARE(MessageService::records().size(), 1);
}

void TestReportLayout::printerThatRefusesIsNotSuccess()
{
    const QString target = m_dir.filePath("missing/dir/job.pdf");
    ReportOutput::setPrinterProvider([&] {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(target);
        return printer;
    });
    MessageService::setNextAnswer(Msg::Answer::No);
    QVERIFY(!ReportOutput::printToDefaultPrinter(ReportLayout::loadingReport()));
    QCOMPARE(MessageService::records().size(), 1);
    QVERIFY(MessageService::records().at(0).text.endsWith(
        "did not accept the report.\r\n\r\nWould you like to save the report as a PDF file instead?"));
    QVERIFY(!QFile::exists(target));
}

void TestReportLayout::printerThatTakesTheJob()
{
    const QString target = m_dir.filePath("printed.pdf");
    ReportOutput::setPrinterProvider([&] {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(target);
        return printer;
    });
    ReportLayout layout = ReportLayout::dischargingReport();
    layout.setCaption("lblShipName", "OCEAN STAR");
    QVERIFY(ReportOutput::printToDefaultPrinter(layout));
    QVERIFY(MessageService::records().isEmpty());
    QVERIFY(QFile::exists(target));
    if (havePdfToText()) {
        const QString text = pdfText(target);
        QVERIFY(text.contains("DISCHARGE PORT DRAFT SURVEY REPORT"));
        QVERIFY(text.contains("OCEAN STAR"));
    }
}

void TestReportLayout::previewWindowHasTitleAndItsOwnPrinter()
{
    ReportLayout layout = ReportLayout::loadingReport();
    layout.setCaption("lblShipName", "OCEAN STAR");
    ReportPreview* a = ReportPreview::open(layout);
    ReportPreview* b = ReportPreview::open(ReportLayout::dischargingReport());
    QCOMPARE(a->windowTitle(), QString("Loadport Draft Survey Report"));
    QCOMPARE(b->windowTitle(), QString("Discharge Port Draft Survey Report"));
    QCOMPARE(a->objectName(), QString("drptQuorvane"));
    QCOMPARE(a->layout().caption("lblShipName"), QString("OCEAN STAR"));
    // The preview keeps its own copy: filling the layout again does not change what it shows.
    layout.setCaption("lblShipName", "OTHER");
    QCOMPARE(a->layout().caption("lblShipName"), QString("OCEAN STAR"));

    // Print from the preview with no printer: told so, and the status says nothing was printed.
    ReportOutput::setPrinterProvider([] { return std::unique_ptr<QPrinter>(); });
    MessageService::setNextAnswer(Msg::Answer::No);
    QAction* print = a->findChild<QAction*>("actPrint");
    QVERIFY(print);
    print->trigger();
    QCOMPARE(MessageService::records().size(), 1);
    QVERIFY(MessageService::records().at(0).text.startsWith("No printer is installed."));
    QVERIFY(a->statusText().isEmpty());

    const QString file = m_dir.filePath("from-preview.pdf");
    ReportOutput::setFileNameProvider([&](QWidget*, const QString&) { return file; });
    a->findChild<QAction*>("actSavePdf")->trigger();
    QVERIFY(QFile::exists(file));
    QCOMPARE(a->statusText(), QString("The report was saved as a PDF file."));

    QPointer<ReportPreview> pa(a), pb(b);
    a->close();
    b->close();
    QTRY_VERIFY(pa.isNull() && pb.isNull());
}

QTEST_MAIN(TestReportLayout)
#include "test_report_layout.moc"
