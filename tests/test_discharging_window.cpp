// The Discharging survey window driven as a surveyor drives it: the draft on arrival, the Bill of
// Lading quantity set against the cargo and constant found, the draft after discharge, and what
// this window says and shows otherwise than the Loading window.
#include "shell/ChildRegistry.h"
#include "shell/MainWindow.h"
#include "model/SurveyDraft.h"
#include "survey/DischargingSurveyWindow.h"
#include "tests/SurveyWindowDriver.h"

#include <QAction>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTemporaryDir>

class TestDischargingWindow : public QObject, private SurveyWindowDriver {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    DischargingSurveyWindow* w = nullptr;

    // The shared discharging survey (SurveySamples). On arrival, loaded: 0.8 m by the stern on
    // marks 2.5 m abaft the forward and 3 m forward of the aft perpendicular, about a true mean
    // draft of 9.51 m; fuel, diesel, lube oil, water.
    static Draft arrival() { return typed(SurveySamples::arrival()); }
    // After discharge, light: 1.11 m by the stern about 3.12 m, with ballast taken in.
    static Draft departure() { return typed(SurveySamples::departure()); }
    // Even keel on the Below row's draft in standard sea water with nothing to deduct: the net
    // displacement is the table's displacement, so cargo + constant is it less 8000 light ship.
    static Draft evenKeel(const QString& displacement)
    {
        return {"1.025",
                {"7", "7", "7", "7", "7", "7"},
                {"0", "0", "0"},
                {"7", displacement, "40", "1"},
                {"7.1", displacement, "40", "1"},
                {"400", "400"},
                {"400", "400"},
                {"", "", "", "", "", "", "", ""}};
    }

    bool redCell(int row, int column) const { return result()->cellForeground(row, column) == Red; }

    // Leaves the B/L box with Tab after typing the quantity.
    void typeBillOfLading(const QString& quantity)
    {
        typeInto(box("txtBLQty"), quantity);
        pressTab();
    }

    // A header, an even-keel Initial draft calculated, and the Bill of Lading quantity given.
    void arriveWithCargoAndConstant(const QString& displacement, const QString& billOfLading)
    {
        fillHeader();
        fillDraft(evenKeel(displacement));
        calculate();
        if (!billOfLading.isEmpty())
            typeBillOfLading(billOfLading);
    }

private slots:
    void initTestCase()
    {
        openFreshDatabase(m_dir);
        // Dates of a stored survey: this window keeps no list of them.
        sharedConnection().execute(QStringLiteral(
            "INSERT INTO DraftDetails (RecordID, DraftType, DateTime) VALUES (0, 2, '200401021230')"));
    }

    void init()
    {
        w = new DischargingSurveyWindow;
        showWindow(w);
    }

    void cleanup()
    {
        delete w;
        w = nullptr;
        forgetMessages();
    }

    void looksLikeADischarge()
    {
        QCOMPARE(w->windowTitle(), QStringLiteral("Draft Survey-[Discharging]"));
        QCOMPARE(w->objectName(), QStringLiteral("frmZODuraduza"));
        // The Daily tab holds the draft checks read during the discharge.
        QVERIFY(tabs()->isTabEnabled(1));
        QVERIFY(tabs()->isTabEnabled(2));
        QVERIFY(find<QGroupBox>("fmeAssumedConstant")->isVisible());
        QVERIFY(!find<QGroupBox>("fmeConstant")->isVisible());
        QVERIFY(!w->findChild<QWidget*>(QStringLiteral("fmeInitNetDisp")));
        QVERIFY(!w->findChild<QWidget*>(QStringLiteral("txtTotCargoLoaded")));
        QVERIFY(!box("txtBLQty")->isReadOnly());
        for (const char* name : {"txtAssumedConstant", "txtConstant", "txtFinTotCargoDis"}) {
            QVERIFY(box(name)->isReadOnly());
            QCOMPARE(box(name)->palette().color(QPalette::Base), QColor(253, 252, 210));
        }
        QCOMPARE(find<QComboBox>("dcbDate")->count(), 0);
        QVERIFY(!find<QComboBox>("dcbDate")->isEnabled());
        QCOMPARE(finalResultColumn(0).mid(9),
                 (QStringList{"Net Displacement", "Light Ship", "Cargo + Constant"}));
        for (int r : {0, 9, 11})
            QVERIFY(result()->cellBold(r, 0));
    }

    // Opened from the menu; Ctrl+F4 closes it from any control, here the Calculate button.
    void livesInTheMainWindow()
    {
        w->hide();  // the test's own copy would count as a window of the application
        registerChildWindows();
        auto* mdi = new MainWindow;
        mdi->show();
        mdi->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(mdi));
        QWidget* child = mdi->openChild(QStringLiteral("frmZODuraduza"));
        QVERIFY(qobject_cast<DischargingSurveyWindow*>(child));
        QCOMPARE(mdi->openChild(QStringLiteral("frmZODuraduza")), child);
        QCOMPARE(MainWindow::openChildCount, 1);
        QVERIFY(mdi->action(QStringLiteral("mnuFile(14)"))->isEnabled());
        QVERIFY(!mdi->action(QStringLiteral("mnuFile(0)"))->isEnabled());
        QPointer<QWidget> survey(child);
        auto* calculateButton = child->findChild<QPushButton*>(QStringLiteral("cmdCalculate"));
        calculateButton->setFocus();
        QTest::keyClick(calculateButton, Qt::Key_F4, Qt::ControlModifier);
        QTRY_VERIFY(survey.isNull());
        QCOMPARE(MainWindow::openChildCount, 0);
        QCOMPARE(messages(), QStringList());
        delete mdi;
    }

    void ctrlF4ClosesFromATypingBox()
    {
        pickShip(QStringLiteral("Ocean Pride"));
        typeInto(box("txtDensity"), QStringLiteral("1.02"));
        QTest::keyClick(focused(), Qt::Key_F4, Qt::ControlModifier);
        QVERIFY(!w->isVisible());
    }

    // --- The survey from end to end ----------------------------------------------------------

    // Worked by hand (python3, decimal, 28 digits, half to even), ship LBP 180, light ship 8000.
    // Arrival: means 9.11, 9.51, 9.91, apparent trim 0.8, LBM 180 + 2.5 + 3 = 185.5; corrections
    // 0.8 x 2.5 / 185.5 = 0.0107817 and 0.8 x -3 / 185.5 = -0.0129380; true drafts 9.1207817,
    // 9.51, 9.8970620; true trim 0.776; TMD (9.1207817 + 6 x 9.51 + 9.8970620) / 8 = 9.50973046.
    // k = 0.00973046 / 0.1 = 0.0973046; displacement 40000 + 450k = 40043.78706, TPC 45.00973,
    // LCF -1.48054, MCTC 480.48652 and 450.38918. First trim correction 45.00973 x -1.48054 x
    // 0.776 x 100 / 180 = -28.7287; second 50 x 0.776^2 x 30.09734 / 180 = 5.0344; even keel
    // 40020.0928; x 1.018 / 1.025 = 39746.78485; less 995.75 deductibles = 38751.03485 net;
    // cargo + constant 30751.03485; against a bill of 30400 the assumed constant is 351.03485.
    // Departure: means 2.61, 3.11, 3.72, trim 1.11; true drafts 2.6249596, 3.11, 3.7020485; true
    // trim 1.077; TMD 3.12337601; k 0.2337601; displacement 9689.99764, TPC 38.04675, LCF
    // 2.02338; trim corrections 46.0614 and 6.5194; even keel 9742.57844; x 1.022 / 1.025 =
    // 9714.06357; less 1295.5 = 8418.56357 net. Discharged 38751.03485 - 8418.56357 =
    // 30332.47128; constant left on board 8418.56357 - 8000 = 418.56357.
    void dischargingSurveyFromEndToEnd()
    {
        fillHeader();
        fillDraft(arrival());
        QCOMPARE(box("txtLBM")->text(), QStringLiteral("185.5"));
        QCOMPARE(box("txtFwdCorrection")->text(), QStringLiteral("0.011"));
        QCOMPARE(box("txtAftCorrection")->text(), QStringLiteral("-0.013"));
        QCOMPARE(box("txtTrueTrim")->text(), QStringLiteral("0.776"));
        QCOMPARE(box("txtTrueMeanDraft")->text(), QStringLiteral("9.50973046"));
        calculate();
        QCOMPARE(messages(), QStringList());
        QCOMPARE(box("txtIpFactor")->text(), QStringLiteral("0.0973046"));
        QCOMPARE(finalResultColumn(1),
                 (QStringList{"40043.78706", "-28.7287", "5.0344", "-23.6943", "0", "40020.0928",
                              "-273.30795", "39746.78485", "995.75", "38751.03485", "8000", "30751.03485"}));
        QCOMPARE(finalResultColumn(0).mid(9),
                 (QStringList{"Net Displacement", "LightShip", "Cargo + Constant"}));
        QVERIFY(!redCell(11, 1));
        // A stored list shows every item, those without a figure as 0.
        QCOMPARE(grid("fgrdDeduction")->text(3, 1), QStringLiteral("210"));
        QCOMPARE(grid("fgrdDeduction")->text(4, 1), QStringLiteral("0"));
        // The draft keeps the panel as shown, to 3 places.
        QCOMPARE(w->initialDraft().fwdCorrection().toText(), QStringLiteral("0.011"));
        QCOMPARE(w->initialDraft().aftTrueDraft().toText(), QStringLiteral("9.897"));

        // The bill comes after the remarks.
        click(find<QPlainTextEdit>("txtComments"));
        pressTab();
        QCOMPARE(focused(), static_cast<QWidget*>(box("txtBLQty")));
        enter(SurveySamples::billOfLading());
        QCOMPARE(messages(), QStringList());
        QCOMPARE(box("txtAssumedConstant")->text(), QStringLiteral("351.03485"));
        QVERIFY(!isRed(box("txtAssumedConstant")));

        switchTo(2);
        QVERIFY(find<QGroupBox>("fmeConstant")->isVisible());
        QVERIFY(!find<QGroupBox>("fmeAssumedConstant")->isVisible());
        QCOMPARE(finalResultColumn(0).mid(9),
                 (QStringList{"Final Net Displacement", "Initial Net Displacement",
                              "Total Cargo Discharged"}));
        QVERIFY(result()->cellBold(11, 0));
        fillDraft(departure());
        QCOMPARE(box("txtTrueMeanDraft")->text(), QStringLiteral("3.12337601"));
        calculate();
        QCOMPARE(messages(), QStringList());
        QCOMPARE(box("txtIpFactor")->text(), QStringLiteral("0.2337601"));
        QCOMPARE(finalResultColumn(1),
                 (QStringList{"9689.99764", "46.0614", "6.5194", "52.5808", "0", "9742.57844", "-28.51486",
                              "9714.06357", "1295.5", "8418.56357", "38751.03485", "30332.47128"}));
        QCOMPARE(finalResultColumn(0).mid(9),
                 (QStringList{"Final Net Displacement", "Initial Net Displacement",
                              "Total Cargo Discharged"}));
        QVERIFY(!result()->cellBold(9, 0));
        QCOMPARE(box("txtFnlGrdTxtBox")->text(), QStringLiteral("38751.03485"));
        QCOMPARE(box("txtFinTotCargoDis")->text(), QStringLiteral("30332.47128"));
        QCOMPARE(box("txtConstant")->text(), QStringLiteral("418.56357"));
        QVERIFY(!isRed(box("txtFinTotCargoDis")));
        QVERIFY(!isRed(box("txtConstant")));
        QCOMPARE(w->cargoResultText(), QStringLiteral("30332.47128"));

        // Back on arrival: its results, the bill and the assumed constant worked out again.
        switchTo(0);
        QCOMPARE(result()->text(11, 1), QStringLiteral("30751.03485"));
        QCOMPARE(box("txtBLQty")->text(), QStringLiteral("30400"));
        QCOMPARE(box("txtAssumedConstant")->text(), QStringLiteral("351.03485"));
        QCOMPARE(messages(), QStringList());
    }

    // --- The Bill of Lading quantity ---------------------------------------------------------

    void assumedConstantFromTheBill_data()
    {
        QTest::addColumn<QString>("billOfLading");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("assumed");
        QTest::addColumn<bool>("red");
        QTest::newRow("less than found") << "12300" << "12300" << "200" << false;
        QTest::newRow("more than found") << "12600" << "12600" << "-100" << true;
        QTest::newRow("to 5 places") << "12345.678912" << "12345.67891" << "154.32109" << false;
        QTest::newRow("as found") << "12500" << "12500" << "0" << false;
    }

    // Cargo + constant 20500 - 8000 = 12500 against the bill.
    void assumedConstantFromTheBill()
    {
        QFETCH(QString, billOfLading);
        QFETCH(QString, shown);
        QFETCH(QString, assumed);
        QFETCH(bool, red);
        arriveWithCargoAndConstant(QStringLiteral("20500"), billOfLading);
        QCOMPARE(result()->text(11, 1), QStringLiteral("12500"));
        QCOMPARE(messages(), QStringList());
        QCOMPARE(box("txtBLQty")->text(), shown);
        QCOMPARE(box("txtAssumedConstant")->text(), assumed);
        QCOMPARE(isRed(box("txtAssumedConstant")), red);
    }

    void refusedBillQuantities_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        const QString range = QStringLiteral("Invalid value for Invalid value for Bill of Lading quantity."
                                             "\r\n\r\nPlease enter value  0 and 1000000.");
        QTest::newRow("1000000") << "1000000" << range;
        QTest::newRow("-1") << "-1" << range;
        QTest::newRow("letters")
            << "12300t" << "Invalid value for Bill of Lading quantity.\r\n\r\nPlease enter numeric value.";
    }

    // Refused: the box is emptied, the focus stays, the assumed constant keeps its figure.
    void refusedBillQuantities()
    {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        arriveWithCargoAndConstant(QStringLiteral("20500"), QStringLiteral("12300"));
        QCOMPARE(box("txtAssumedConstant")->text(), QStringLiteral("200"));
        typeInto(box("txtBLQty"), typed);
        pressEnter();
        QCOMPARE(messages(), QStringList{message});
        QCOMPARE(MessageService::records().last().icon, Msg::Icon::Exclamation);
        QCOMPARE(box("txtBLQty")->text(), QString());
        QCOMPARE(focused(), static_cast<QWidget*>(box("txtBLQty")));
        QCOMPARE(box("txtAssumedConstant")->text(), QStringLiteral("200"));
    }

    void aZeroBillLeavesTheAssumedConstant()
    {
        arriveWithCargoAndConstant(QStringLiteral("20500"), QStringLiteral("12600"));
        typeBillOfLading(QStringLiteral("0"));
        QCOMPARE(messages(), QStringList());
        QCOMPARE(box("txtBLQty")->text(), QStringLiteral("0"));
        QCOMPARE(box("txtAssumedConstant")->text(), QStringLiteral("-100"));
        QVERIFY(isRed(box("txtAssumedConstant")));
    }

    void aBillBeforeAnyCalculation()
    {
        pickShip(QStringLiteral("Ocean Pride"));
        typeBillOfLading(QStringLiteral("12300"));
        QCOMPARE(messages(), QStringList());
        QCOMPARE(box("txtAssumedConstant")->text(), QStringLiteral("-12300"));
        QVERIFY(isRed(box("txtAssumedConstant")));
        // Nothing is typed before a ship is chosen, the bill neither.
        w->newRecord();
        find<QComboBox>("dcbShip")->setCurrentIndex(-1);
        MessageService::clearRecords();
        click(box("txtBLQty"));
        QCOMPARE(messages(), QStringList{"Please select a ship first."});
        QCOMPARE(focused(), static_cast<QWidget*>(find<QComboBox>("dcbShip")));
    }

    // The bill belongs to the survey, not to a draft: a new survey keeps it and its constant.
    void theBillSurvivesANewSurvey()
    {
        arriveWithCargoAndConstant(QStringLiteral("20500"), QStringLiteral("12300"));
        switchTo(2);
        w->newRecord();
        QCOMPARE(tabs()->currentIndex(), 0);
        QCOMPARE(box("txtBLQty")->text(), QStringLiteral("12300"));
        QCOMPARE(box("txtAssumedConstant")->text(), QStringLiteral("200"));
        QVERIFY(find<QGroupBox>("fmeAssumedConstant")->isVisible());
        QVERIFY(!find<QGroupBox>("fmeConstant")->isVisible());
        // The Daily tab holds the draft checks read during the discharge.
        QVERIFY(tabs()->isTabEnabled(1));
        QVERIFY(tabs()->isTabEnabled(2));
        for (const char* name : {"txtVoyageID", "txtDensity", "txtFwdPort", "txtAftStbd", "txtFwdMean",
                                 "txtTrueMeanDraft", "txtLBP", "txtConstant", "txtFinTotCargoDis"})
            QCOMPARE(box(name)->text(), QString());
        QCOMPARE(finalResultColumn(1), QStringList(12, QString()));
        QCOMPARE(messages(), QStringList());
    }

    // --- Results and their messages ----------------------------------------------------------

    // Less than her light ship on arrival: told each time the draft is shown, with no range check.
    void aNegativeCargoAndConstantIsToldEachTimeItIsShown()
    {
        const QString invalid =
            QStringLiteral("Value of constant is invalid.\r\n\r\nPlease check your input values.");
        arriveWithCargoAndConstant(QStringLiteral("7000"), QString());
        QCOMPARE(messages(), QStringList{invalid});
        QCOMPARE(result()->text(11, 1), QStringLiteral("-1000"));
        QVERIFY(redCell(11, 1));
        switchTo(2);
        switchTo(0);
        QCOMPARE(messages(), (QStringList{invalid, invalid}));
        // A cargo + constant of 100000 or more raises nothing.
        MessageService::clearRecords();
        click(box("txtAftX"));
        pressEnter();
        enter(QStringLiteral("7"));
        enter(QStringLiteral("7.1"));
        enter(QStringLiteral("110000"));
        typeHere(QStringLiteral("110000"));
        calculate();
        QCOMPARE(result()->text(11, 1), QStringLiteral("102000"));
        QCOMPARE(messages(), QStringList());
    }

    // After discharge a Final net displacement above the Initial one and below the light ship.
    void finalTabMessages()
    {
        fillHeader();
        switchTo(2);
        fillDraft(evenKeel(QStringLiteral("7000")));
        calculate();
        const QString check = QStringLiteral("\r\n\r\nPlease check your input values.");
        QCOMPARE(messages(), (QStringList{"Current value for Total cargo discharged is invalid." + check,
                                          "Current value for Constant is invalid." + check}));
        QCOMPARE(box("txtFinTotCargoDis")->text(), QStringLiteral("-7000"));
        QVERIFY(isRed(box("txtFinTotCargoDis")));
        QVERIFY(redCell(11, 1));
        QCOMPARE(box("txtConstant")->text(), QStringLiteral("-1000"));
        QVERIFY(isRed(box("txtConstant")));
        // With the initial net displacement typed over cell (10, 1) the cargo comes right.
        MessageService::clearRecords();
        typeInto(box("txtFnlGrdTxtBox"), QStringLiteral("19000.123456"));
        pressTab();
        QCOMPARE(box("txtFnlGrdTxtBox")->text(), QStringLiteral("19000.12346"));
        calculate();
        QCOMPARE(box("txtFinTotCargoDis")->text(), QStringLiteral("12000.12346"));
        QVERIFY(!isRed(box("txtFinTotCargoDis")));
        QCOMPARE(messages(), QStringList{"Current value for Constant is invalid." + check});
        // A refused table takes the Final results away, and the window's own captions stand.
        click(box("txtAftX"));
        pressEnter();
        pressEnter();
        typeHere(QStringLiteral("6.9"));
        calculate();
        QCOMPARE(finalResultColumn(0).mid(9),
                 (QStringList{"Final Net Displacement", "Initial Displacement", "Total Cargo Discharged"}));
        QCOMPARE(box("txtFinTotCargoDis")->text(), QString());
        QCOMPARE(box("txtConstant")->text(), QString());
    }

    void aRefusedTableClearsTheAssumedConstant()
    {
        arriveWithCargoAndConstant(QStringLiteral("20500"), QStringLiteral("12300"));
        click(box("txtAftX"));
        pressEnter();
        pressEnter();
        typeHere(QStringLiteral("6.9"));  // Above lower than Below
        MessageService::clearRecords();
        calculate();
        QCOMPARE(messages(), QStringList{"Invalid hydrostatic details...!\r\n\r\nDifference of Above & "
                                         "Below can't be negative."});
        QCOMPARE(box("txtAssumedConstant")->text(), QString());
        QCOMPARE(box("txtBLQty")->text(), QStringLiteral("12300"));
        QCOMPARE(finalResultColumn(1), QStringList(12, QString()));
        QCOMPARE(box("txtIpFactor")->text(), QString());
    }

    // --- What this window says otherwise -----------------------------------------------------

    void messagesOfThisWindow_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("title");
        QTest::newRow("density")
            << "txtDensity" << "10"
            << "Invalid density value.\r\n\r\nPlease enter values greater than 0 and less 10." << "";
        QTest::newRow("aft X")
            << "txtAftX" << "1000"
            << "Invalid value.\r\n\r\nValue of Aft-X can be greater than -1000 and less than 1000." << "";
        QTest::newRow("displacement")
            << "Displacement" << "1000000"
            << "Value of Displacement can only be a positive number greater than 0 and less 1000000."
            << "Hydrostatic Data Table";
        QTest::newRow("deduction")
            << "txtGridTextbox" << "100000"
            << "Invalid value.\r\n\r\nValue of deduction can be greater than 0 and less than 100000." << "";
    }

    void messagesOfThisWindow()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(QString, title);
        pickShip(QStringLiteral("Ocean Pride"));
        if (field == QLatin1String("Displacement")) {
            click(box("txtAftX"));
            pressEnter();
            enter(QStringLiteral("7"));
            enter(QStringLiteral("7.1"));
            typeHere(typed);
        } else if (field == QLatin1String("txtGridTextbox")) {
            click(box("txtAftX"));
            pressEnter();
            for (int i = 0; i < 12; ++i)
                enter(QString());
            QCOMPARE(focused(), static_cast<QWidget*>(box("txtGridTextbox")));
            typeHere(typed);
        } else {
            typeInto(box(field.toLatin1().constData()), typed);
        }
        pressTab();
        QCOMPARE(messages(), QStringList{message});
        if (!title.isEmpty())
            QCOMPARE(MessageService::records().last().title, title);
    }

    // The offending keystroke goes; the figure typed before it stays and the tables follow it.
    void aLetterInTheHydrostaticTableIsTakenBack()
    {
        pickShip(QStringLiteral("Ocean Pride"));
        click(box("txtAftX"));
        pressEnter();
        QCOMPARE(focused(), static_cast<QWidget*>(box("txtHDTGridTextbox")));
        QTest::keyClicks(focused(), QStringLiteral("8a"));
        QCOMPARE(messages(), QStringList{"Invalid value...!\r\n\r\nOnly numbers are allowed."});
        QCOMPARE(box("txtHDTGridTextbox")->text(), QStringLiteral("8"));
        QCOMPARE(box("txtHDTGridTextbox")->selectedText(), QStringLiteral("8"));
        QCOMPARE(cell("fgrdMCTCP50", 1, 1), QStringLiteral("8.5"));
        QCOMPARE(cell("fgrdMCTCM50", 1, 1), QStringLiteral("7.5"));
    }

    void markDistancesSelectTheirTextOnEntry()
    {
        pickShip(QStringLiteral("Ocean Pride"));
        typeInto(box("txtFwdX"), QStringLiteral("2.5"));
        pressTab();
        QCOMPARE(focused(), static_cast<QWidget*>(box("txtMidX")));
        click(box("txtFwdX"));
        QTRY_COMPARE(box("txtFwdX")->selectedText(), QStringLiteral("2.5"));
    }

    // A reading taken away leaves no mean standing on it.
    void emptyingAReadingWorksThePanelOutAgain()
    {
        pickShip(QStringLiteral("Ocean Pride"));
        typeInto(box("txtFwdPort"), QStringLiteral("7.5"));
        pressTab();
        QCOMPARE(box("txtFwdMean")->text(), QStringLiteral("3.75"));
        typeInto(box("txtFwdPort"), QString());
        QTest::keyClick(focused(), Qt::Key_Delete);
        pressTab();
        QCOMPARE(box("txtFwdPort")->text(), QString());
        QCOMPARE(box("txtFwdMean")->text(), QStringLiteral("0"));
        QCOMPARE(messages(), QStringList());
    }
};

QTEST_MAIN(TestDischargingWindow)
#include "test_discharging_window.moc"
