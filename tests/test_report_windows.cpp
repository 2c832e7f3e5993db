// The report from a survey window, as the surveyor gets it: a survey typed and calculated in the
// window, then Print Preview or Print, and every caption of the page checked.

#include "db/Database.h"
#include "core/MessageService.h"
#include "db/Connection.h"
#include "db/RowSet.h"
#include "db/SqlCatalogue.h"
#include "model/SurveyDraft.h"
#include "ui/ReportPreview.h"
#include "survey/LoadingSurveyWindow.h"
#include "survey/DischargingSurveyWindow.h"
#include "tests/SurveyWindowDriver.h"
#include "tests/ReportTestSupport.h"
#include "tests/TestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using Draft = SurveyWindowDriver::Draft;

// After loading: sagging 5 cm, fuel, diesel and fresh water only.
Draft ladenDraft()
{
    return {"1.02",
            {"8.40", "8.40", "9.05", "9.05", "9.60", "9.60"},
            {"1.5", "0", "-2"},
            {"8.95", "38000", "41.0", "-1.0"},
            {"9.05", "38420", "41.2", "-0.8"},
            {"440", "444"},
            {"420", "423"},
            {"150", "100", "", "50", "", "", "", ""},
            ""};
}

// The report's Initial or Final column for the light draft: the drafts corrected to the
// perpendiculars over a length between marks of 183.5 m, the tables entered at 7.24959128 m.
Captions lightColumn(const QString& p, const QString& date, const QString& time)
{
    return {
        {p + "Date", date},
        {p + "Time", time},
        {p + "FO", "310.5 MT"},
        {p + "DO", "42.25 MT"},
        {p + "LO", "3.1 MT"},
        {p + "FW", "120 MT"},
        {p + "Ballast", "1500.75 MT"},
        {p + "Provisions", "2 MT"},
        {p + "Misc1", "0 MT"},
        {p + "Misc2", "0.5 MT"},
        {p + "TotDeductibles", "1979.1 MT"},
        {p + "FwdMeanDraft", "6.65 m"},
        {p + "FwdCorrection", "0.01 m"},
        {p + "CorrDraftFwd", "6.66 m"},
        {p + "AftMeanDraft", "7.85 m"},
        {p + "AftCorrection", "-0.013 m"},
        {p + "CorrDraftAft", "7.837 m"},
        {p + "FwdAftMean", "7.25 m"},
        {p + "MidPortDraft", "7.24 m"},
        {p + "MidStbdDraft", "7.26 m"},
        {p + "MeanMidDraft", "7.25 m"},
        {p + "Deflection", "0 cm"},  // level: the line keeps its drawn text
        {p + "KeelCorr", "0 m"},
        {p + "TrueMeanDraft", "7.24959128 m"},
        {p + "TPC", "40.099"},
        {p + "LCF", "-2.45"},
        {p + "dMCTC", "20.496"},
        {p + "DispInSeaWater", "30198.36512 MT"},
        {p + "1stTrimCorr", "-64.2507 MT"},
        {p + "2ndTrimCorr", "7.8871 MT"},
        {p + "TotTrimCorr", "-56.3636 MT"},
        {p + "ListCorr", "0 MT"},
        {p + "DispAtEvenKeel", "30142.00151 MT"},
        {p + "Density", "1.015"},
        {p + "TrueDisplacement", "29847.9332 MT"},
        {p + "TotDeductibles2", "1979.1 MT"},
        {p + "NGDisp", "27868.8332 MT"},
        {p + "Comments", "Ballast sounded twice"},
    };
}

Captions ladenColumn(const QString& p, const QString& date, const QString& time)
{
    return {
        {p + "Date", date},
        {p + "Time", time},
        {p + "FO", "150 MT"},
        {p + "DO", "100 MT"},
        {p + "LO", "0 MT"},
        {p + "FW", "50 MT"},
        {p + "Ballast", "0 MT"},
        {p + "Provisions", "0 MT"},
        {p + "Misc1", "0 MT"},
        {p + "Misc2", "0 MT"},
        {p + "TotDeductibles", "300 MT"},
        {p + "FwdMeanDraft", "8.4 m"},
        {p + "FwdCorrection", "0.01 m"},
        {p + "CorrDraftFwd", "8.41 m"},
        {p + "AftMeanDraft", "9.6 m"},
        {p + "AftCorrection", "-0.013 m"},
        {p + "CorrDraftAft", "9.587 m"},
        {p + "FwdAftMean", "9 m"},
        {p + "MidPortDraft", "9.05 m"},
        {p + "MidStbdDraft", "9.05 m"},
        {p + "MeanMidDraft", "9.05 m"},
        {p + "Deflection", "Sag 5 cm"},  // 50 x (2 x 9.05 - 8.4 - 9.6)
        {p + "KeelCorr", "0 m"},
        {p + "TrueMeanDraft", "9.03709128 m"},
        {p + "TPC", "41.174"},
        {p + "LCF", "-0.826"},
        {p + "dMCTC", "20.871"},
        {p + "DispInSeaWater", "38365.78338 MT"},
        {p + "1stTrimCorr", "-22.2338 MT"},
        {p + "2ndTrimCorr", "8.0314 MT"},
        {p + "TotTrimCorr", "-14.2024 MT"},
        {p + "ListCorr", "0 MT"},
        {p + "DispAtEvenKeel", "38351.58103 MT"},
        {p + "Density", "1.02"},
        {p + "TrueDisplacement", "38164.50014 MT"},
        {p + "TotDeductibles2", "300 MT"},
        {p + "NGDisp", "37864.50014 MT"},
        {p + "Comments", ""},
    };
}

// Every caption of the ship and voyage blocks of Ocean Star's report at Vizag, voyage V-117.
Captions shipBlock(const QString& title)
{
    return {
        {"lblReportTitle", title},
        {"lblShipName", "OCEAN STAR"},
        {"lblCallSign", "V7AB2"},
        {"lblPortOfRegistry", "Majuro, Marshall Islands"},
        {"lblOfficialNo", "4567"},
        {"lblFlag", "Marshall Islands"},
        {"lblLOA", "189.99 m"},
        {"lblLBP", "180 m"},
        {"lblGrossTonnage", "31250"},
        {"lblNetTonnage", "18540.5"},
        {"lblSummerDraft", "12.35 m"},
        {"lblSummerDeadweight", "56012.8 MT"},
        {"lblBreadth", "32.26 m"},
        {"lblLightShip", "8000 MT"},
        {"lblFwdX", "1.5 m"},
        {"lblMidX", "0 m"},
        {"lblAftX", "-2 m"},
        {"lblPortName", "Vizag, India"},
        {"lblVoyageID", "V-117"},
        {"lblCargo", "Iron ore fines"},
        {"lblShipName2", "Ocean Star"},
    };
}

}  // namespace

class TestReportWindows : public QObject, private SurveyWindowDriver {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void loadingSurveyPreviewedFromTheFinalTab();
    void loadingSurveyPrintedToPdfAndSavedFromPreview();
    void dischargingSurveyPreviewedFromTheFinalTab();
    void dischargingSurveyPrintedToPdf();
    void initialOnlySurveyLeavesTheFinalColumnAsDrawn();
    void printingFromTheFinalTabStillFillsTheInitialColumn();
    void portMissing();
    void declinedIncompleteInitialPrintsNothing();

private:
    SurveyWindow* w = nullptr;
    std::unique_ptr<QTemporaryDir> m_dir;

    void openLoadingWindow() { openWindow(new LoadingSurveyWindow); }
    void openDischargingWindow() { openWindow(new DischargingSurveyWindow); }
    void openWindow(SurveyWindow* window)
    {
        w = window;
        showWindow(w);
        MessageService::clearRecords();
    }
    void fillHeader(bool withPort = true)
    {
        pickShip("Ocean Star");
        QCOMPARE(box("txtLBP")->text(), QString("180"));
        typeInto(box("txtVoyageID"), "V-117");
        pressEnter();
        if (withPort)
            pickPort("Vizag");
        pressEnter();
        typeHere("Iron ore fines");
        pressEnter();
    }
    // From the density box down the Enter route to the Calculate button, the remarks, and Calculate.
    void fillAndCalculate(const Draft& d)
    {
        fillDraft(d);
        find<QPlainTextEdit>("txtComments")->setPlainText(d.comments);
        calculate();
        QCOMPARE(messages(), QStringList());
    }
    // The printer is one that writes the page into a PDF file.
    static void printInto(const QString& file)
    {
        ReportOutput::setPrinterProvider([file] {
            auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(file);
            return printer;
        });
    }
    // The preview windows open now.
    QList<ReportPreview*> previews() const
    {
        QList<ReportPreview*> out;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* p = qobject_cast<ReportPreview*>(top))
                out << p;
        return out;
    }
};

void TestReportWindows::initTestCase()
{
    TestSupport::initTestEnvironment();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(TestSupport::openFreshDatabaseCopy(*m_dir));
    Connection& db = sharedConnection();
    db.execute("INSERT INTO Port (PortID, PortName, City, Country) VALUES (1, 'Majuro', 'Majuro', "
               "'Marshall Islands')");
    db.execute("INSERT INTO Port (PortID, PortName, City, Country) VALUES (2, 'Vizag', 'Visakhapatnam', "
               "'India')");
    db.execute(SqlCatalogue::insertShip(oceanStar(1)));
}

void TestReportWindows::cleanupTestCase()
{
    closeDatabase();
}

void TestReportWindows::init()
{
    MessageService::clearRecords();
    MessageService::clearAnswers();
}

void TestReportWindows::cleanup()
{
    ReportOutput::setPrinterProvider({});
    ReportOutput::setFileNameProvider({});
    qDeleteAll(previews());
    delete w;
    w = nullptr;
}

void TestReportWindows::loadingSurveyPreviewedFromTheFinalTab()
{
    openLoadingWindow();
    fillHeader();
    const QString initialDate = box("mbxDate")->text();
    const QString initialTime = box("mbxTime")->text();
    fillAndCalculate(lightDraft());
    QCOMPARE(box("txtConstant")->text(), QString("19868.8332"));
    switchTo(2);
    const QString finalDate = box("mbxDate")->text();
    const QString finalTime = box("mbxTime")->text();
    fillAndCalculate(ladenDraft());
    QCOMPARE(box("txtTotCargoLoaded")->text(), QString("9995.66694"));

    w->print(true);
    QCOMPARE(messages(), QStringList());
    QCOMPARE(previews().size(), 1);
    ReportPreview* preview = previews().first();
    QCOMPARE(preview->windowTitle(), QString("Loadport Draft Survey Report"));
    QVERIFY(preview->isVisible());

    Captions expected = shipBlock("LOADPORT DRAFT SURVEY REPORT");
    expected.insert(lightColumn("lblInit", initialDate, initialTime));
    expected.insert(ladenColumn("lblFin", finalDate, finalTime));
    expected.insert("lblConstant", "19868.8332 MT");
    expected.insert("lblTotCargoLoaded", "9995.66694 MT");
    compareCaptions(preview->layout().captionTexts(), expected);

    // A second preview starts from a fresh page and leaves the first one as it was.
    w->print(true);
    QCOMPARE(previews().size(), 2);
    QCOMPARE(previews().at(0)->layout().caption("lblTotCargoLoaded"), QString("9995.66694 MT"));
    QCOMPARE(previews().at(1)->layout().caption("lblTotCargoLoaded"), QString("9995.66694 MT"));
}

void TestReportWindows::loadingSurveyPrintedToPdfAndSavedFromPreview()
{
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        QSKIP("pdftotext is not installed");
    openLoadingWindow();
    fillHeader();
    fillAndCalculate(lightDraft());
    switchTo(2);
    fillAndCalculate(ladenDraft());

    // Print: the page goes to the printer (here one that writes a PDF file) without a dialog.
    const QString printed = m_dir->filePath("printed.pdf");
    printInto(printed);
    w->print(false);
    QCOMPARE(messages(), QStringList());
    QVERIFY(previews().isEmpty());
    QString text = pdfText(printed);
    QVERIFY2(text.contains("LOADPORT DRAFT SURVEY REPORT"), qPrintable(text));
    QVERIFY(text.contains("OCEAN STAR"));
    QVERIFY(text.contains("9995.66694 MT"));

    // Save as PDF from the preview.
    w->print(true);
    const QString saved = m_dir->filePath("saved.pdf");
    ReportOutput::setFileNameProvider([&](QWidget*, const QString&) { return saved; });
    QVERIFY(previews().first()->savePdf());
    text = pdfText(saved);
    QVERIFY(text.contains("LOADPORT DRAFT SURVEY REPORT"));
    QVERIFY(text.contains("OCEAN STAR"));
    QVERIFY(text.contains("9995.66694 MT"));
    QVERIFY(text.contains("27868.8332 MT"));
    QVERIFY(text.contains("Sag 5 cm"));
    const QString keep = qEnvironmentVariable("QUORVANE_KEEP_REPORT");
    if (!keep.isEmpty()) {
        QFile::remove(keep);
        QFile::copy(saved, keep);
    }
}

// The same two drafts the other way round: the ship arrives laden at Vizag and leaves light.
// The report puts the constant after discharge and the cargo discharged where the loading report
// has the constant before loading and the cargo loaded.
void TestReportWindows::dischargingSurveyPreviewedFromTheFinalTab()
{
    openDischargingWindow();
    fillHeader();
    const QString initialDate = box("mbxDate")->text();
    const QString initialTime = box("mbxTime")->text();
    fillAndCalculate(ladenDraft());
    typeInto(box("txtBLQty"), "10000");
    pressTab();
    QCOMPARE(box("txtAssumedConstant")->text(), QString("19864.50014"));
    switchTo(2);
    const QString finalDate = box("mbxDate")->text();
    const QString finalTime = box("mbxTime")->text();
    fillAndCalculate(lightDraft());
    QCOMPARE(box("txtFinTotCargoDis")->text(), QString("9995.66694"));
    QCOMPARE(box("txtConstant")->text(), QString("19868.8332"));

    w->print(true);
    QCOMPARE(messages(), QStringList());
    QCOMPARE(previews().size(), 1);
    ReportPreview* preview = previews().first();
    QCOMPARE(preview->windowTitle(), QString("Discharge Port Draft Survey Report"));
    QVERIFY(preview->isVisible());

    Captions expected = shipBlock("DISCHARGE PORT DRAFT SURVEY REPORT");
    expected.insert(ladenColumn("lblInit", initialDate, initialTime));
    expected.insert(lightColumn("lblFin", finalDate, finalTime));
    expected.insert("lblConstant", "19868.8332 MT");        // final net less the light ship
    expected.insert("lblTotCargoLoaded", "9995.66694 MT");  // initial net less final net
    compareCaptions(preview->layout().captionTexts(), expected);
    QVERIFY(preview->layout().staticTexts().contains("TOTAL CARGO DISCHARGED"));

    // From the Initial tab the page is the same: the Final column comes from the Final draft.
    switchTo(0);
    w->print(true);
    QCOMPARE(messages(), QStringList());
    QCOMPARE(previews().size(), 2);
    compareCaptions(previews().at(1)->layout().captionTexts(), expected);

    // Only the arrival calculated: the Final column keeps its drawn texts, and no constant
    // is known before the discharge.
    // The previews of a survey window close with it.
    delete w;
    QVERIFY(previews().isEmpty());
    openDischargingWindow();
    fillHeader();
    fillAndCalculate(ladenDraft());
    w->print(true);
    QCOMPARE(messages(), QStringList());
    QCOMPARE(previews().size(), 1);
    const ReportLayout& page = previews().first()->layout();
    compareCaptions(column(page, "lblFin"), designColumn(ReportLayout::dischargingReport(), "lblFin"));
    QCOMPARE(page.caption("lblConstant"), ReportLayout::dischargingReport().designText("lblConstant"));
    QCOMPARE(page.caption("lblTotCargoLoaded"), ReportLayout::dischargingReport().designText("lblTotCargoLoaded"));
}

void TestReportWindows::dischargingSurveyPrintedToPdf()
{
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        QSKIP("pdftotext is not installed");
    openDischargingWindow();
    fillHeader();
    fillAndCalculate(ladenDraft());
    switchTo(2);
    fillAndCalculate(lightDraft());
    const QString printed = m_dir->filePath("discharge.pdf");
    printInto(printed);
    w->print(false);
    QCOMPARE(messages(), QStringList());
    const QString text = pdfText(printed);
    QVERIFY2(text.contains("DISCHARGE PORT DRAFT SURVEY REPORT"), qPrintable(text));
    QVERIFY(text.contains("TOTAL CARGO DISCHARGED"));
    QVERIFY(text.contains("OCEAN STAR"));
    QVERIFY(text.contains("9995.66694 MT"));
    const QString keep = qEnvironmentVariable("QUORVANE_KEEP_DISCHARGE_REPORT");
    if (!keep.isEmpty()) {
        QFile::remove(keep);
        QFile::copy(printed, keep);
    }
}

void TestReportWindows::initialOnlySurveyLeavesTheFinalColumnAsDrawn()
{
    openLoadingWindow();
    fillHeader();
    const QString date = box("mbxDate")->text();
    const QString time = box("mbxTime")->text();
    fillAndCalculate(lightDraft());
    w->print(true);
    QCOMPARE(messages(), QStringList());
    QCOMPARE(previews().size(), 1);
    const ReportLayout& page = previews().first()->layout();
    compareCaptions(column(page, "lblInit"), lightColumn("lblInit", date, time));
    compareCaptions(column(page, "lblFin"), designColumn(ReportLayout::loadingReport(), "lblFin"));
    QCOMPARE(page.caption("lblFinNGDisp"), QString("0 MT"));
    QCOMPARE(page.caption("lblFinCorrDraftAft"), QString("0 m"));
    QCOMPARE(page.caption("lblFinDeflection"), QString("0 cm"));
    QCOMPARE(page.caption("lblConstant"), QString("19868.8332 MT"));
    QCOMPARE(page.caption("lblTotCargoLoaded"), QString());
}

void TestReportWindows::printingFromTheFinalTabStillFillsTheInitialColumn()
{
    openLoadingWindow();
    fillHeader();
    const QString date = box("mbxDate")->text();
    const QString time = box("mbxTime")->text();
    fillAndCalculate(lightDraft());
    switchTo(2);
    // Readings typed on the Final tab but not calculated: no cargo yet, so no Final column.
    typeInto(box("txtFwdPort"), "8.4");
    pressEnter();
    w->print(true);
    QCOMPARE(messages(), QStringList());
    QCOMPARE(previews().size(), 1);
    const ReportLayout& page = previews().first()->layout();
    compareCaptions(column(page, "lblInit"), lightColumn("lblInit", date, time));
    QCOMPARE(page.caption("lblFinFwdMeanDraft"), QString("0 m"));
    // The readings on show went into the Final draft; the Initial draft kept its own.
    QCOMPARE(w->finalDraft().fwdPort().toText(), QString("8.4"));
    QCOMPARE(w->initialDraft().fwdPort().toText(), QString("6.6"));
}

void TestReportWindows::portMissing()
{
    openLoadingWindow();
    fillHeader(false);
    w->print(true);
    QCOMPARE(messages(), QStringList{"Please select port name first."});
    QCOMPARE(MessageService::records().first().icon, Msg::Icon::Exclamation);
    QCOMPARE(MessageService::records().first().title, QString("Quorvane Lt"));
    QVERIFY(previews().isEmpty());

    // And before that, the ship.
    delete w;
    MessageService::clearRecords();
    openLoadingWindow();
    w->print(false);
    QCOMPARE(messages(), QStringList{"Please select ship name first."});
    QCOMPARE(MessageService::records().first().icon, Msg::Icon::Exclamation);
}

void TestReportWindows::declinedIncompleteInitialPrintsNothing()
{
    openLoadingWindow();
    fillHeader();
    bool printerAsked = false;
    ReportOutput::setPrinterProvider([&] {
        printerAsked = true;
        return std::unique_ptr<QPrinter>();
    });
    MessageService::setNextAnswer(Msg::Answer::No);
    w->print(false);
    QCOMPARE(messages(), QStringList{"Incomplete Initial draft...!\r\n\r\n"
                                         "Would you like to discard initial draft details and continue ?"});
    const MessageRecord question = MessageService::records().first();
    QCOMPARE(question.buttons, Msg::Buttons::YesNo);
    QCOMPARE(question.icon, Msg::Icon::Exclamation);
    QCOMPARE(question.title, QString("Quorvane Lt"));
    QVERIFY(!printerAsked);

    // Yes, with nothing calculated on the Final tab either.
    MessageService::clearRecords();
    MessageService::setNextAnswer(Msg::Answer::Yes);
    w->print(false);
    QCOMPARE(messages().size(), 2);
    QCOMPARE(messages().at(1), QString("Incomplete Final draft...!\r\n\r\n"
                                           "Please enter all the values and press Calculate button "
                                           "before printing/preview."));
    QCOMPARE(MessageService::records().at(1).icon, Msg::Icon::Exclamation);
    QVERIFY(!printerAsked);
}

QTEST_MAIN(TestReportWindows)
#include "test_report_windows.moc"
