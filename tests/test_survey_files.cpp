// Survey files: a survey typed into the Loading window and saved comes back with the same figures
// on screen; the same file run from the command line gives the report of the windows; a refused
// figure, an unknown ship, a file that is no survey each give one clear message; and the example
// surveys, once their ship and ports are in a fresh database, make their reports.
#include "core/AppPaths.h"
#include "shell/ChildRegistry.h"
#include "db/Database.h"
#include "core/MessageService.h"
#include "shell/Startup.h"
#include "shell/MainWindow.h"
#include "db/Connection.h"
#include "db/RowSet.h"
#include "db/SqlCatalogue.h"
#include "survey/GridEditor.h"
#include "report/CalculationSheet.h"
#include "ui/ReportPreview.h"
#include "files/SurveyFile.h"
#include "shell/SurveyFileCommands.h"
#include "survey/SurveyWindow.h"
#include "tests/ReportTestSupport.h"
#include "tests/SurveyWindowDriver.h"
#include "tests/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using Figures = Captions;

const QString kLt = QStringLiteral(QUORVANE_LT_BIN);
const QString kMkdb = QStringLiteral(QUORVANE_MKDB_BIN);

QString example(const QString& name)
{
    return TestSupport::sourceDir() + QStringLiteral("/examples/") + name;
}

using TestSupport::Run;
using TestSupport::runProgram;

// The captions file the command line wrote, caption name to text (empty when it is missing).
Figures captionsWritten(const QString& path)
{
    QFile f(path);
    Figures out;
    if (!f.open(QIODevice::ReadOnly))
        return out;
    const QJsonObject json = QJsonDocument::fromJson(f.readAll()).object();
    for (auto it = json.begin(); it != json.end(); ++it)
        // The findings and the calculation sheet's figures beside the captions.
        if (it.key() != QLatin1String("checks") && it.key() != QLatin1String("sheet"))
            out.insert(it.key(), it.value().toString());
    return out;
}

using TestSupport::messageTexts;

using SurveyTestShips::readExample;

}  // namespace

class TestSurveyFiles : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void typedSurveySavedAndOpenedShowsTheSameFigures();
    void dischargingSurveySavedFromTheInitialTab();
    void commandLineGivesTheReportOfTheWindows();
    void refusedFigureStopsTheFileWhereItStands();
    void refusedFigureOnTheCommandLine_data();
    void refusedFigureOnTheCommandLine();
    void plausibilityWarningsLetTheRunGoOn();
    void unknownShipChangesNothing();
    void filesThatAreNoSurvey();
    void saveNeedsASurveyWindow();
    void tablesTypedOnTheOtherTabAreSaved();
    void examplesMakeTheirReportsOnAFreshDatabase();

private:
    QTemporaryDir m_dir;
    QString m_dataDir;
    MainWindow* m_mdi = nullptr;
    QString m_chosen;  // what the file dialog would answer
    QString m_saved;
    Figures m_reportOfWindows;
    QString m_pdfOfWindows;

    QString m_windowClass = QStringLiteral("frmQuorvane");

    SurveyWindow* surveyWindow() const
    {
        return dynamic_cast<SurveyWindow*>(m_mdi->findChildWindow(m_windowClass));
    }
    template <typename T = QLineEdit>
    T* find(const char* name) const
    {
        T* child = surveyWindow()->findChild<T*>(QLatin1String(name));
        if (!child)
            qFatal("no control %s", name);
        return child;
    }
    QLineEdit* box(const char* name) const { return find<QLineEdit>(name); }
    QWidget* focused() const { return QApplication::focusWidget(); }
    void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    void click(QWidget* target)
    {
        QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(4, target->height() / 2));
        QApplication::processEvents();
    }
    void typeHere(const QString& text)
    {
        QWidget* f = focused();
        QVERIFY(f);
        QTest::keyClick(f, Qt::Key_A, Qt::ControlModifier);
        if (!text.isEmpty())
            QTest::keyClicks(f, text);
    }
    void pressEnter() { QTest::keyClick(focused(), Qt::Key_Return); }
    void enter(const QString& text)
    {
        typeHere(text);
        pressEnter();
    }
    void enterMasked(const QString& text)
    {
        QTest::keyClick(focused(), Qt::Key_Home);
        QString digits = text;
        digits.remove(QRegularExpression(QStringLiteral("[^0-9]")));
        QTest::keyClicks(focused(), digits);
        pressEnter();
    }
    void switchTo(int index)
    {
        QTabBar* bar = find<QTabWidget>("sstQuorvane")->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
        QApplication::processEvents();
    }
    QAction* act(const char* name) const { return m_mdi->action(QLatin1String(name)); }

    // A survey typed in from the keyboard, the Enter route from the density box down to the last
    // deductible, then Calculate.
    void typeDraft(const SurveyDraftData& d);
    QString writeVariant(const QString& name, const std::function<void(SurveyFileData&)>& change);
};

void TestSurveyFiles::initTestCase()
{
    TestSupport::initTestEnvironment();
    Startup::initResources();
    m_dataDir = TestSupport::useFreshDatabaseCopy(m_dir);
    // The example ship and ports, as a newcomer adds them.
    const Run mk = runProgram(kMkdb, {m_dataDir, QStringLiteral("--examples")});
    QVERIFY2(mk.status == 0, qPrintable(mk.err));
    openDatabase();
    QVERIFY(!startupFailed());
    registerChildWindows();
    SurveyFileCommands::registerCommands();
    SurveyFileCommands::setFileChooser([this](QWidget*, bool, const QString&) { return m_chosen; });
}

void TestSurveyFiles::cleanupTestCase()
{
    SurveyFileCommands::setFileChooser({});
    closeDatabase();
}

void TestSurveyFiles::init()
{
    MessageService::clearRecords();
    MessageService::clearAnswers();
    m_chosen.clear();
    m_windowClass = QStringLiteral("frmQuorvane");
    m_mdi = new MainWindow;
    m_mdi->resize(1500, 900);
    m_mdi->show();
    m_mdi->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_mdi));
}

void TestSurveyFiles::cleanup()
{
    delete m_mdi;
    m_mdi = nullptr;
    flushDeletes();
}

void TestSurveyFiles::typeDraft(const SurveyDraftData& d)
{
    click(box("txtDensity"));
    enter(d.density);
    QCOMPARE(focused(), static_cast<QWidget*>(box("mbxDate")));
    enterMasked(d.date);
    QCOMPARE(focused(), static_cast<QWidget*>(box("mbxTime")));
    enterMasked(d.time);
    QCOMPARE(focused(), static_cast<QWidget*>(box("txtFwdPort")));
    for (const QString& r : {d.fwdPort, d.fwdStbd, d.midPort, d.midStbd, d.aftPort, d.aftStbd})
        enter(r);
    for (const QString& m : {d.fwdX, d.midX, d.aftX})
        enter(m);
    QCOMPARE(focused(), static_cast<QWidget*>(box("txtHDTGridTextbox")));
    for (int c = 0; c < 4; ++c) {
        enter(d.below[c]);
        enter(d.above[c]);
    }
    enter(d.mctcPlus50Below);
    enter(d.mctcPlus50Above);
    enter(d.mctcMinus50Below);
    enter(d.mctcMinus50Above);
    QCOMPARE(focused(), static_cast<QWidget*>(box("txtGridTextbox")));
    for (int item : {2, 3, 24, 25, 26, 27, 28, 29}) {
        QString quantity;
        for (const auto& [id, q] : d.deductibles)
            if (id == item)
                quantity = q;
        enter(quantity);
    }
    auto* comments = find<QPlainTextEdit>("txtComments");
    click(comments);
    QTest::keyClicks(comments, d.comments);
    click(find<QPushButton>("cmdCalculate"));
}

QString TestSurveyFiles::writeVariant(const QString& name,
                                      const std::function<void(SurveyFileData&)>& change)
{
    SurveyFileData data = readExample(QStringLiteral("loading-port-hedland.json"));
    change(data);
    const QString path = m_dir.filePath(name);
    QString error;
    if (!SurveyFile::write(path, data, &error))
        qFatal("%s", qPrintable(error));
    return path;
}

void TestSurveyFiles::typedSurveySavedAndOpenedShowsTheSameFigures()
{
    const SurveyFileData survey = readExample(QStringLiteral("loading-port-hedland.json"));
    act("mnuQuorvane(5)")->trigger();
    SurveyWindow* typed = surveyWindow();
    QVERIFY(typed);
    auto* ship = find<QComboBox>("dcbShip");
    click(ship);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);  // the list's pop-up
    ship->setCurrentIndex(ship->findText(survey.ship));
    click(box("txtVoyageID"));
    enter(survey.voyage);
    find<QComboBox>("dcbPort")->setCurrentIndex(find<QComboBox>("dcbPort")->findText(survey.port));
    pressEnter();
    enter(survey.cargo);
    typeDraft(survey.initial);
    QCOMPARE(box("txtConstant")->text(), QStringLiteral("320.14483"));
    switchTo(2);
    typeDraft(*survey.final);
    QCOMPARE(box("txtTotCargoLoaded")->text(), QStringLiteral("73364.1757"));
    QCOMPARE(messageTexts(), QStringList());

    const Figures finalTab = SurveyWindowDriver::onScreen(typed);
    const std::optional<ReportLayout> typedReport = typed->fillReport(true);
    QVERIFY(typedReport);

    // Save Survey As: the inputs as typed, the figures as the boxes took them.
    m_saved = m_dir.filePath(QStringLiteral("saved-from-window.json"));
    m_chosen = m_saved;
    act("mnuQuorvane(25)")->trigger();
    QCOMPARE(messageTexts(), QStringList());
    QString error;
    const std::optional<SurveyFileData> saved = SurveyFile::read(m_saved, &error);
    QVERIFY2(saved, qPrintable(error));
    QCOMPARE(saved->ship, QStringLiteral("Coral Meridian"));
    QCOMPARE(saved->initial.fwdPort, QStringLiteral("5.1"));  // the box wrote 5.10 back as 5.1
    QCOMPARE(saved->initial.below[1], QStringLiteral("33012"));
    QCOMPARE(saved->final->aftStbd, QStringLiteral("14.02"));
    QCOMPARE(saved->final->deductibles.size(), 6);
    QVERIFY(!saved->final->initialNetDisplacement);  // worked out on the Initial tab, not typed
    QCOMPARE(saved->final->comments, survey.final->comments);

    switchTo(0);
    const Figures initialTab = SurveyWindowDriver::onScreen(typed);
    QCOMPARE(initialTab.value("txtConstant"), QStringLiteral("320.14483"));

    // Open Survey replaces the window that holds a survey only when the user agrees.
    m_chosen = m_saved;
    MessageService::clearRecords();
    MessageService::setNextAnswer(Msg::Answer::No);
    act("mnuQuorvane(20)")->trigger();
    QCOMPARE(MessageService::records().size(), 1);
    QCOMPARE(MessageService::records().first().buttons, Msg::Buttons::YesNo);
    QCOMPARE(MessageService::records().first().text,
             QStringLiteral("The Loading survey on screen is closed (Draft Survey, Recent Surveys brings it "
                            "back).\r\n\r\n"
                            "Open %1 in its place?")
                 .arg(QDir::toNativeSeparators(m_saved)));
    QCOMPARE(surveyWindow(), typed);
    compareCaptions(SurveyWindowDriver::onScreen(typed), initialTab);

    MessageService::clearRecords();
    MessageService::setNextAnswer(Msg::Answer::Yes);
    act("mnuQuorvane(20)")->trigger();
    flushDeletes();
    QCOMPARE(MessageService::records().size(), 1);  // the question, and nothing more
    SurveyWindow* opened = surveyWindow();
    QVERIFY(opened);
    QCOMPARE(m_mdi->activeChild(), static_cast<QWidget*>(opened));
    QCOMPARE(find<QTabWidget>("sstQuorvane")->currentIndex(), 2);
    compareCaptions(SurveyWindowDriver::onScreen(opened), finalTab);

    const std::optional<ReportLayout> openedReport = opened->fillReport(true);
    QVERIFY(openedReport);
    QCOMPARE(openedReport->filledCaptionTexts(), typedReport->filledCaptionTexts());
    m_reportOfWindows = openedReport->filledCaptionTexts();
    const QString pdf = m_dir.filePath(QStringLiteral("windows.pdf"));
    // The whole document, as Print Preview shows it: the page and the calculation sheet.
    QVERIFY(ReportOutput::writePdf(
        ReportDocument(*openedReport, CalculationSheet::build(opened->model(), *openedReport)), pdf));
    m_pdfOfWindows = pdfText(pdf);

    switchTo(0);
    compareCaptions(SurveyWindowDriver::onScreen(opened), initialTab);
    QCOMPARE(messageTexts(), QStringList({MessageService::records().first().text}));
}

void TestSurveyFiles::dischargingSurveySavedFromTheInitialTab()
{
    m_windowClass = QStringLiteral("frmZODuraduza");
    m_chosen = example(QStringLiteral("discharging-qingdao.json"));
    // Open Survey from the keyboard: Ctrl+Shift+O (Ctrl+O stays the Open box's).
    QTest::keyClick(m_mdi, Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
    QApplication::processEvents();
    SurveyWindow* first = surveyWindow();
    QVERIFY(first);
    QCOMPARE(messageTexts(), QStringList());
    // The window names the file it shows.
    QCOMPARE(first->windowTitle(), QStringLiteral("Draft Survey-[Discharging] - discharging-qingdao.json"));
    QCOMPARE(find<QTabWidget>("sstQuorvane")->currentIndex(), 2);
    QCOMPARE(box("txtFinTotCargoDis")->text(), QStringLiteral("73230.20082"));
    const Figures finalTab = SurveyWindowDriver::onScreen(first);
    switchTo(0);
    QCOMPARE(box("txtBLQty")->text(), QStringLiteral("73350"));
    QCOMPARE(box("txtAssumedConstant")->text(), QStringLiteral("200.19243"));
    const Figures initialTab = SurveyWindowDriver::onScreen(first);

    // Saved from the Initial tab: the Final draft comes from what the window keeps of it.
    const QString saved = m_dir.filePath(QStringLiteral("discharge.json"));
    m_chosen = saved;
    act("mnuQuorvane(25)")->trigger();
    QCOMPARE(messageTexts(), QStringList());
    QString error;
    const std::optional<SurveyFileData> data = SurveyFile::read(saved, &error);
    QVERIFY2(data, qPrintable(error));
    QCOMPARE(data->kind, SurveyFileData::Kind::Discharging);
    QCOMPARE(data->blQuantity.value_or(QString()), QStringLiteral("73350"));
    QVERIFY(data->final);
    QCOMPARE(data->final->density, QStringLiteral("1.0195"));
    QCOMPARE(data->final->below[0], QStringLiteral("6"));
    QCOMPARE(data->final->deductibles.size(), 6);

    MessageService::setNextAnswer(Msg::Answer::Yes);
    act("mnuQuorvane(20)")->trigger();
    flushDeletes();
    SurveyWindow* again = surveyWindow();
    QVERIFY(again && again != first);
    compareCaptions(SurveyWindowDriver::onScreen(again), finalTab);
    switchTo(0);
    compareCaptions(SurveyWindowDriver::onScreen(again), initialTab);

    // The same file on the command line gives the report of the window.
    const std::optional<ReportLayout> report = again->fillReport(true);
    QVERIFY(report);
    const QString captions = m_dir.filePath(QStringLiteral("discharge-captions.json"));
    const Run run = runProgram(kLt, {"--survey", saved, "--pdf", m_dir.filePath(QStringLiteral("discharge.pdf")),
                                     "--captions", captions, "--data-dir", m_dataDir});
    QVERIFY2(run.status == 0, qPrintable(run.err));
    const Figures fromCli = captionsWritten(captions);
    compareCaptions(fromCli, report->filledCaptionTexts());
    QCOMPARE(fromCli.value("lblReportTitle"), QStringLiteral("DISCHARGE PORT DRAFT SURVEY REPORT"));
    QCOMPARE(fromCli.value("lblTotCargoLoaded"), QStringLiteral("73230.20082 MT"));
}

void TestSurveyFiles::commandLineGivesTheReportOfTheWindows()
{
    if (m_saved.isEmpty() || m_reportOfWindows.isEmpty())
        QSKIP("needs the survey saved from the windows");
    const QString pdf = m_dir.filePath(QStringLiteral("cli.pdf"));
    const QString captions = m_dir.filePath(QStringLiteral("cli.json"));
    const Run run = runProgram(kLt, {"--survey", m_saved, "--pdf", pdf, "--captions", captions,
                                     "--data-dir", m_dataDir});
    QVERIFY2(run.status == 0, qPrintable(run.err));
    QCOMPARE(run.err, QString());  // no message: the survey is plausible throughout

    const Figures fromCli = captionsWritten(captions);
    compareCaptions(fromCli, m_reportOfWindows);
    QCOMPARE(fromCli.value("lblInitNGDisp"), QStringLiteral("11170.14483 MT"));
    QCOMPARE(fromCli.value("lblTotCargoLoaded"), QStringLiteral("73364.1757 MT"));
    // The mid mark lies 0.50 m from midships; the report gives its distance as the window keeps it.
    QCOMPARE(fromCli.value("lblMidX"), QStringLiteral("0.5 m"));
    // The calculation sheet's figures come beside the page's, and agree with them.
    {
        QFile f(captions);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QJsonObject sheet = QJsonDocument::fromJson(f.readAll()).object().value("sheet").toObject();
        QCOMPARE(sheet.value("initial.netDisplacement").toString(), fromCli.value("lblInitNGDisp"));
        QCOMPARE(sheet.value("result.cargo").toString(), QStringLiteral("73364.1757 MT"));
        QCOMPARE(sheet.value("final.forward").toArray().size(), 3);
    }

    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        QSKIP("pdftotext is not installed");
    const QString text = pdfText(pdf);
    QVERIFY(text.contains(QStringLiteral("LOADPORT DRAFT SURVEY REPORT")));
    // --pdf writes the whole document: the sheet's pages follow the report page.
    QVERIFY(text.contains(QStringLiteral("DRAFT SURVEY CALCULATION")));
    QVERIFY(text.contains(QStringLiteral("Page 1 of ")));
    QCOMPARE(text, m_pdfOfWindows);
}

void TestSurveyFiles::refusedFigureStopsTheFileWhereItStands()
{
    const QString path = writeVariant(QStringLiteral("reading-100.json"),
                                      [](SurveyFileData& d) { d.initial.fwdPort = QStringLiteral("100"); });
    m_chosen = path;
    act("mnuQuorvane(20)")->trigger();
    SurveyWindow* w = surveyWindow();
    QVERIFY(w);
    QCOMPARE(messageTexts(),
             QStringList({"Invalid value for Foward Port draft.\r\n\r\n"
                          "Please enter value greater than 0 and less than 100.",
                          "The survey file was not opened completely.\r\n\r\n" + path
                              + ": field \"initial.drafts.fwdPort\": the value \"100\" was refused. The "
                                "window shows the survey as far as it was entered."}));
    // What came before the refused reading is on screen; the reading box shows the text the file
    // gave it and has the focus, to be put right; nothing after it was entered or calculated.
    QCOMPARE(find<QComboBox>("dcbShip")->currentText(), QStringLiteral("Coral Meridian"));
    QCOMPARE(box("txtVoyageID")->text(), QStringLiteral("CM-2611"));
    QCOMPARE(find<QComboBox>("dcbPort")->currentText(), QStringLiteral("Port Hedland"));
    QCOMPARE(box("txtCargo")->text(), QStringLiteral("Iron ore fines"));
    QCOMPARE(box("txtDensity")->text(), QStringLiteral("1.0235"));
    QCOMPARE(box("mbxDate")->text(), QStringLiteral("14-03-2026"));
    QCOMPARE(box("mbxTime")->text(), QStringLiteral("06:40"));
    QCOMPARE(box("txtFwdPort")->text(), QStringLiteral("100"));
    QCOMPARE(w->focusWidget(), static_cast<QWidget*>(box("txtFwdPort")));
    QCOMPARE(box("txtFwdStbd")->text(), QString());
    QCOMPARE(box("txtConstant")->text(), QString());

    // A table that fails the check before the calculation: every figure is entered, the draft
    // is not calculated, and the message names the column.
    const QString shrunk = writeVariant(QStringLiteral("displacement.json"), [](SurveyFileData& d) {
        d.initial.above[1] = QStringLiteral("33000");
        d.final.reset();
    });
    m_chosen = shrunk;
    MessageService::clearRecords();
    MessageService::setNextAnswer(Msg::Answer::Yes);  // replace the window
    act("mnuQuorvane(20)")->trigger();
    flushDeletes();
    QCOMPARE(messageTexts().mid(1),
             QStringList({"Invalid hydrostatic details...!\r\n\r\n"
                          "Difference of Above & Below can't be negative.",
                          "The survey file was opened, but not calculated.\r\n\r\n" + shrunk
                              + ": field \"initial.hydrostatics.above.displacement\": the Initial draft "
                                "could not be calculated."}));
    QCOMPARE(find<GridEditor>("fgrdDeduction")->text(4, 1), QStringLiteral("20808"));
    QCOMPARE(box("txtConstant")->text(), QString());
}

void TestSurveyFiles::refusedFigureOnTheCommandLine_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("message");  // the window's own, with its title
    QTest::addColumn<QString>("named");
    QTest::newRow("reading of 100")
        << "initial.fwdPort" << "100"
        << "[Quorvane Lt]\nInvalid value for Foward Port draft.\n\n"
           "Please enter value greater than 0 and less than 100."
        << "field \"initial.drafts.fwdPort\": the value \"100\" was refused.";
    QTest::newRow("final density")
        << "final.density" << "abc"
        << "[Quorvane Lt]\nInvalid density value.\n\nOnly numbers are allowed."
        << "field \"final.density\": the value \"abc\" was refused.";
    QTest::newRow("TPC out of range")
        << "initial.tpc" << "10000"
        << "[Hydrostatic Data Table]\n"
           "Value of TPC can only be a positive number greater than 0 and less than 10000."
        << "field \"initial.hydrostatics.below.tpc\": the value \"10000\" was refused.";
    // A comment longer than the window's box takes, with no space to break it at.
    QTest::newRow("comments of 2001 characters")
        << "initial.comments" << QString(2001, QLatin1Char('x'))
        << "[Quorvane Lt]\nNo report was written."
        << "field \"initial.comments\": the value \"" + QString(40, QLatin1Char('x'))
               + "...\" was not taken: comments hold at most 2000 characters, the file has 2001.";
    QTest::newRow("no Voyage-ID")
        << "voyage" << ""
        << "[Quorvane Lt]\nIncomplete data.\n\nPlease enter Voyage-ID."
        << "field \"voyage\": the Initial draft could not be calculated.";
}

void TestSurveyFiles::refusedFigureOnTheCommandLine()
{
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(QString, message);
    QFETCH(QString, named);
    const QString path = writeVariant(QStringLiteral("refused.json"), [&](SurveyFileData& d) {
        if (field == QLatin1String("initial.fwdPort"))
            d.initial.fwdPort = value;
        else if (field == QLatin1String("final.density"))
            d.final->density = value;
        else if (field == QLatin1String("initial.tpc"))
            d.initial.below[2] = value;
        else if (field == QLatin1String("initial.comments"))
            d.initial.comments = value;
        else
            d.voyage = value;
    });
    const QString pdf = m_dir.filePath(QStringLiteral("refused.pdf"));
    const QString captions = m_dir.filePath(QStringLiteral("refused.json.out"));
    QFile::remove(pdf);
    QFile::remove(captions);
    const Run run = runProgram(kLt, {"--survey", path, "--pdf", pdf, "--captions", captions, "--data-dir",
                                     m_dataDir});
    QCOMPARE(run.status, 2);
    QVERIFY2(run.err.contains(message + "\n"), qPrintable(run.err));
    QVERIFY2(run.err.contains(path + ": " + named), qPrintable(run.err));
    QVERIFY(run.err.indexOf(message) < run.err.indexOf(named));
    QVERIFY(!QFile::exists(pdf));
    QVERIFY(!QFile::exists(captions));
}

void TestSurveyFiles::plausibilityWarningsLetTheRunGoOn()
{
    // More ballast sounded than the ship displaces beyond her light ship: a negative constant.
    const QString path = writeVariant(QStringLiteral("implausible.json"), [](SurveyFileData& d) {
        d.initial.deductibles[4].second = QStringLiteral("22000");
        d.final.reset();
    });
    const QString pdf = m_dir.filePath(QStringLiteral("implausible.pdf"));
    const Run run = runProgram(kLt, {"--survey", path, "--pdf", pdf, "--data-dir", m_dataDir});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.err, QStringLiteral("[Quorvane Lt]\nInvalid constant value.\n\n"
                                     "Please check your input values.\n\n"));
    QVERIFY(QFileInfo(pdf).size() > 0);
}

void TestSurveyFiles::unknownShipChangesNothing()
{
    const QString path = writeVariant(QStringLiteral("unknown-ship.json"),
                                      [](SurveyFileData& d) { d.ship = QStringLiteral("Flying Dutchman"); });
    const QString expected =
        path + ": field \"ship\": there is no ship \"Flying Dutchman\" in the database.";
    const Run run = runProgram(kLt, {"--survey", path, "--data-dir", m_dataDir});
    QCOMPARE(run.status, 1);
    QCOMPARE(run.err, "[Quorvane Lt]\nThe survey file cannot be opened.\n\n" + expected + "\n\n");

    // In the windows: the Loading survey on screen stays as it is, and no question is asked.
    act("mnuQuorvane(5)")->trigger();
    SurveyWindow* w = surveyWindow();
    auto* ship = find<QComboBox>("dcbShip");
    ship->setCurrentIndex(ship->findText("Coral Meridian"));
    click(box("txtVoyageID"));
    QTest::keyClicks(focused(), "V-9");
    const Figures before = SurveyWindowDriver::onScreen(w);
    MessageService::clearRecords();
    m_chosen = path;
    act("mnuQuorvane(20)")->trigger();
    QCOMPARE(messageTexts(), QStringList({"The survey file cannot be opened.\r\n\r\n" + expected}));
    QCOMPARE(surveyWindow(), w);
    compareCaptions(SurveyWindowDriver::onScreen(w), before);
    QCOMPARE(m_mdi->mdiArea()->subWindowList().size(), 1);

    // A port or a deductible item the database does not hold is refused the same way.
    const QString port = writeVariant(QStringLiteral("unknown-port.json"),
                                      [](SurveyFileData& d) { d.port = QStringLiteral("Atlantis"); });
    MessageService::clearRecords();
    m_chosen = port;
    act("mnuQuorvane(20)")->trigger();
    QCOMPARE(messageTexts(), QStringList({"The survey file cannot be opened.\r\n\r\n" + port
                                         + ": field \"port\": there is no port \"Atlantis\" in the "
                                           "database."}));
    const QString item = writeVariant(QStringLiteral("unknown-item.json"), [](SurveyFileData& d) {
        d.final->deductibles.append({99, QStringLiteral("5")});
    });
    MessageService::clearRecords();
    m_chosen = item;
    act("mnuQuorvane(20)")->trigger();
    QCOMPARE(messageTexts(),
             QStringList({"The survey file cannot be opened.\r\n\r\n" + item
                          + ": field \"final.deductibles.99\": there is no deductible item 99 in the "
                            "database."}));
    compareCaptions(SurveyWindowDriver::onScreen(w), before);
}

void TestSurveyFiles::filesThatAreNoSurvey()
{
    const QString missing = m_dir.filePath(QStringLiteral("nowhere.json"));
    m_chosen = missing;
    act("mnuQuorvane(20)")->trigger();
    QCOMPARE(MessageService::records().size(), 1);
    QVERIFY(messageTexts().first().startsWith("The survey file cannot be opened.\r\n\r\n" + missing
                                             + ": the file cannot be read"));

    const QString notJson = m_dir.filePath(QStringLiteral("notes.json"));
    QFile f(notJson);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("Drafts 7.1 fwd, 8.0 aft");
    f.close();
    MessageService::clearRecords();
    m_chosen = notJson;
    act("mnuQuorvane(20)")->trigger();
    QCOMPARE(messageTexts(), QStringList({"The survey file cannot be opened.\r\n\r\n" + notJson
                                         + ": is not a survey file (not a JSON object)."}));
    QCOMPARE(m_mdi->mdiArea()->subWindowList().size(), 0);

    // The dialog cancelled: nothing at all.
    MessageService::clearRecords();
    m_chosen.clear();
    act("mnuQuorvane(20)")->trigger();
    QCOMPARE(messageTexts(), QStringList());

    const Run cli = runProgram(kLt, {"--survey", notJson, "--data-dir", m_dataDir});
    QCOMPARE(cli.status, 1);
    QVERIFY(cli.err.contains(notJson + ": is not a survey file"));
    const Run help = runProgram(kLt, {"--help"});
    QCOMPARE(help.status, 0);
    QVERIFY(help.out.contains("--survey FILE [--pdf OUT.pdf] [--captions OUT.json] [--data-dir DIR]"));
    QVERIFY(help.out.contains("quorvane-mkdb DIR --examples"));
    const Run wrong = runProgram(kLt, {"--survey", notJson, "--pfd", "x.pdf"});
    QCOMPARE(wrong.status, 1);
    QVERIFY(wrong.err.startsWith("quorvane-lt: unknown argument \"--pfd\""));
}

void TestSurveyFiles::saveNeedsASurveyWindow()
{
    m_chosen = m_dir.filePath(QStringLiteral("never.json"));
    act("mnuQuorvane(25)")->trigger();
    QCOMPARE(messageTexts(), QStringList({"Please open a Loading or Discharging survey first."}));

    act("mnuQuorvane(5)")->trigger();
    MessageService::clearRecords();
    act("mnuQuorvane(25)")->trigger();
    QCOMPARE(messageTexts(), QStringList({"Please select ship name first."}));
    QVERIFY(!QFile::exists(m_chosen));

    // A figure being typed that its box refuses is not saved: the box's own message, no file.
    auto* ship = find<QComboBox>("dcbShip");
    ship->setCurrentIndex(ship->findText("Coral Meridian"));
    click(box("txtDensity"));
    QTest::keyClicks(focused(), "12");
    MessageService::clearRecords();
    act("mnuQuorvane(25)")->trigger();
    QCOMPARE(messageTexts(),
             QStringList({"Invalid density value.\r\n\r\n"
                          "Please enter values greater than 0 and less than 10."}));
    QVERIFY(!QFile::exists(m_chosen));

    // An Initial draft only: the file has no Final draft, and the name it is given gets the
    // survey files' own ending, .qsurvey.json.
    QTest::keyClicks(focused(), "1.025");
    MessageService::clearRecords();
    m_chosen = m_dir.filePath(QStringLiteral("initial-only"));
    act("mnuQuorvane(25)")->trigger();
    QCOMPARE(messageTexts(), QStringList());
    QString error;
    const std::optional<SurveyFileData> d = SurveyFile::read(m_chosen + ".qsurvey.json", &error);
    QVERIFY2(d, qPrintable(error));
    QCOMPARE(d->initial.density, QStringLiteral("1.025"));
    QVERIFY(!d->final);
}

void TestSurveyFiles::tablesTypedOnTheOtherTabAreSaved()
{
    // Hydrostatic rows typed on the Initial tab, not calculated, and the Final tab shown: the
    // window keeps them for the Initial draft, and so does the file.
    act("mnuQuorvane(5)")->trigger();
    auto* ship = find<QComboBox>("dcbShip");
    ship->setCurrentIndex(ship->findText("Coral Meridian"));
    find<GridEditor>("fgrdHDT")->moveTo(1, 1);
    QCOMPARE(focused(), static_cast<QWidget*>(box("txtHDTGridTextbox")));
    for (const char* figure : {"6.0", "6.1", "33012", "33645.5"})
        enter(QLatin1String(figure));
    find<GridEditor>("fgrdMCTCP50")->moveTo(1, 2);
    enter("905.2");
    switchTo(2);
    QCOMPARE(find<GridEditor>("fgrdHDT")->text(1, 1), QString());

    m_chosen = m_dir.filePath(QStringLiteral("tables.json"));
    act("mnuQuorvane(25)")->trigger();
    QCOMPARE(messageTexts(), QStringList());
    QString error;
    const std::optional<SurveyFileData> d = SurveyFile::read(m_chosen, &error);
    QVERIFY2(d, qPrintable(error));
    QCOMPARE(d->initial.below[0], QStringLiteral("6"));
    QCOMPARE(d->initial.above[0], QStringLiteral("6.1"));
    QCOMPARE(d->initial.below[1], QStringLiteral("33012"));
    QCOMPARE(d->initial.above[1], QStringLiteral("33645.5"));
    QCOMPARE(d->initial.mctcPlus50Below, QStringLiteral("905.2"));
    QCOMPARE(d->initial.mctcMinus50Below, QString());
    QVERIFY(d->final);
    QCOMPARE(d->final->below[0], QString());
}

void TestSurveyFiles::examplesMakeTheirReportsOnAFreshDatabase()
{
    QTemporaryDir fresh;
    QVERIFY(fresh.isValid());
    QVERIFY(TestSupport::copyDatabaseFiles(TestSupport::deliveredDir(), fresh.path()));
    // The user's own ship and port are there before: the examples never touch them.
    AppPaths::setAppDir(fresh.path());
    const QString freshConnection = databaseConnectionString();
    AppPaths::setAppDir(m_dataDir);
    {
        Connection db;
        db.open(freshConnection);
        db.execute("INSERT INTO Port (PortID, PortName, City, Country) VALUES (1, 'Vizag', 'Visakhapatnam', "
                   "'India')");
        db.execute(SqlCatalogue::insertShip(oceanStar(1)));
    }
    const Run first = runProgram(kMkdb, {"--examples", fresh.path()});
    QCOMPARE(first.status, 0);
    QCOMPARE(first.out, QStringLiteral("quorvane-mkdb: added the port Monrovia\n"
                                       "quorvane-mkdb: added the port Port Hedland\n"
                                       "quorvane-mkdb: added the port Qingdao\n"
                                       "quorvane-mkdb: added the ship Coral Meridian\n"
                                       "quorvane-mkdb: added the hydrostatic table of Coral Meridian (111 rows)\n"
                                       "quorvane-mkdb: added the tank tables of Coral Meridian (12 tanks)\n"));
    const Run again = runProgram(kMkdb, {fresh.path(), "--examples"});
    QCOMPARE(again.status, 0);
    QCOMPARE(again.out, QString());
    {
        Connection db;
        db.open(freshConnection);
        RowSet ships;
        ships.open("SELECT ShipName, LBP, PortOfRegistry FROM Ship ORDER BY ShipID", db);
        QCOMPARE(ships.recordCount(), 2);
        QCOMPARE(ships.value("ShipName").toText(), QStringLiteral("Ocean Star"));
        QCOMPARE(ships.value("LBP").toText(), QStringLiteral("180"));
        QCOMPARE(ships.value("PortOfRegistry").toInt32(), 1);
        ships.moveNext();
        QCOMPARE(ships.value("ShipName").toText(), QStringLiteral("Coral Meridian"));
        RowSet ports;
        ports.open("SELECT PortName FROM Port ORDER BY PortID", db);
        QCOMPARE(ports.recordCount(), 4);
        QCOMPARE(ports.value("PortName").toText(), QStringLiteral("Vizag"));
    }
    const Run noDatabase = runProgram(kMkdb, {"--examples", m_dir.filePath("nowhere")});
    QCOMPARE(noDatabase.status, 1);
    QVERIFY(noDatabase.err.contains("there is no DS.dat in"));

    struct Expected {
        const char* file;
        const char* caption;
        const char* text;
    };
    const Expected examples[] = {
        {"loading-port-hedland.json", "lblTotCargoLoaded", "73364.1757 MT"},
        {"initial-only-port-hedland.json", "lblConstant", "322.96295 MT"},
        {"discharging-qingdao.json", "lblTotCargoLoaded", "73230.20082 MT"},
    };
    for (const Expected& e : examples) {
        const QString pdf = fresh.filePath(QString(e.file) + ".pdf");
        const QString captions = fresh.filePath(QString(e.file) + ".captions");
        const Run run = runProgram(kLt, {"--survey", example(e.file), "--pdf", pdf, "--captions", captions,
                                         "--data-dir", fresh.path()});
        QVERIFY2(run.status == 0, qPrintable(e.file + (": " + run.err)));
        QFile f(pdf);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.read(5) == "%PDF-");
        QFile c(captions);
        QVERIFY(c.open(QIODevice::ReadOnly));
        const QJsonObject json = QJsonDocument::fromJson(c.readAll()).object();
        QCOMPARE(json.value(e.caption).toString(), QString(e.text));
        QCOMPARE(json.value("lblShipName").toString(), QStringLiteral("CORAL MERIDIAN"));
    }
}

QTEST_MAIN(TestSurveyFiles)
#include "test_survey_files.moc"
