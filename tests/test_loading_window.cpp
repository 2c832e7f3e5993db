// The Loading survey window driven as a surveyor drives it: a ship picked from the list, the
// header and readings typed, Enter and Tab from box to box, the hydrostatic rows and the
// deductibles filled, Calculate on each tab, and every figure, colour and message checked.
#include "shell/ChildRegistry.h"
#include "db/Database.h"
#include "shell/MainWindow.h"
#include "core/MessageService.h"
#include "db/Connection.h"
#include "db/RowSet.h"
#include "model/SurveyDraft.h"
#include "model/ShipRecord.h"
#include "survey/GridEditor.h"
#include "model/SurveyInputRules.h"
#include "survey/LoadingSurveyWindow.h"
#include "tests/SurveyWindowDriver.h"
#include "tests/TestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

class TestLoadingWindow : public QObject, private SurveyWindowDriver {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    LoadingSurveyWindow* w = nullptr;

    void openWindow()
    {
        w = new LoadingSurveyWindow;
        showWindow(w);
    }

    // --- Filling a survey as the surveyor does ----------------------------------------------

    // The shared loading survey (SurveySamples). Before loading: trimmed 1.2 m by the stern about
    // a true mean draft of 7.25 m.
    static Draft initialDraft() { return typed(SurveySamples::loadingInitial()); }
    // After loading: the same trim about 9.0 m.
    static Draft finalDraft() { return typed(SurveySamples::loadingFinal()); }

private slots:
    void initTestCase()
    {
        openFreshDatabase(m_dir);
    }

    void init() { openWindow(); }

    void cleanup()
    {
        delete w;
        w = nullptr;
        forgetMessages();
    }


    // --- The tests --------------------------------------------------------------------------

    void looksRightOnALaptopScreen()
    {
        QCOMPARE(w->windowTitle(), QStringLiteral("Draft Survey-[Loading]"));
        QCOMPARE(tabs()->count(), 3);
        QCOMPARE(tabs()->tabText(0), QStringLiteral("Initial"));
        QCOMPARE(tabs()->tabText(1), QStringLiteral("Daily"));
        QCOMPARE(tabs()->tabText(2), QStringLiteral("Final"));
        // The Daily tab holds the draft checks read during the loading.
        QVERIFY(tabs()->isTabEnabled(1));
        QVERIFY(w->minimumSizeHint().width() <= 1340);
        QVERIFY(w->minimumSizeHint().height() <= 600);
        QCOMPARE(box("txtFwdMean")->palette().color(QPalette::Base), QColor(253, 252, 210));
        QVERIFY(box("txtFwdMean")->isReadOnly());
        QVERIFY(box("txtLBP")->isReadOnly());
        QVERIFY(box("txtConstant")->isReadOnly());
        QCOMPARE(box("txtDeflection")->palette().color(QPalette::Base), QColor(255, 192, 192));
        QCOMPARE(find<QComboBox>("dcbShip")->count(), 2);
        QCOMPARE(find<QComboBox>("dcbShip")->itemText(0), QStringLiteral("Bay Trader"));
        QCOMPARE(find<QComboBox>("dcbShip")->currentText(), QString());
        QCOMPARE(find<QComboBox>("dcbPort")->itemText(1), QStringLiteral("Kandla"));
        QVERIFY(!find<QComboBox>("dcbDate")->isEnabled());
        QVERIFY(!find<QComboBox>("cmbTime")->isEnabled());
        QCOMPARE(box("mbxDate")->text(), QDate::currentDate().toString(QStringLiteral("dd-MM-yyyy")));
        QVERIFY(find<QGroupBox>("fmeInitNetDisp")->isVisible());
        QVERIFY(!find<QGroupBox>("fmeFinalNetDisp")->isVisible());
        QCOMPARE(finalResultColumn(0).mid(9), (QStringList{"Net Displacement", "Light Ship", "Constant"}));
        QVERIFY(result()->cellBold(11, 0));
        QCOMPARE(w->offeredCommands(),
                 ChildCommand::Print | ChildCommand::PrintPreview | ChildCommand::Close);
    }

    // The stored dates of the survey record, day first, in text order.
    void theDateListShowsStoredDates()
    {
        Connection& db = sharedConnection();
        db.execute(QStringLiteral("INSERT INTO DraftDetails (RecordID, DraftType, DateTime) VALUES "
                                  "(0, 2, '200401021230'), (0, 2, '200403011015'), (0, 2, '200403011400'), "
                                  "(0, 1, '200405051000'), (7, 2, '200406061000')"));
        delete w;
        openWindow();
        auto* dates = find<QComboBox>("dcbDate");
        QCOMPARE(dates->count(), 2);
        QCOMPARE(dates->itemText(0), QStringLiteral("01-03-2004"));
        QCOMPARE(dates->itemText(1), QStringLiteral("02-01-2004"));
        QVERIFY(!dates->isEnabled());
        db.execute(QStringLiteral("DELETE FROM DraftDetails"));
    }

    // The lists of ships and ports may run to thousands: a name's first letters, typed into the
    // closed list, go to that name, and the ship is taken as if picked.
    void typingANamesFirstLettersFindsIt()
    {
        Connection& db = sharedConnection();
        db.execute(QStringLiteral("INSERT INTO Ship (ShipID, ShipName, PortOfRegistry, LBP, LightShip) VALUES "
                                  "(3, 'Baltic Star', 2, 200, 9000)"));
        db.execute(QStringLiteral("INSERT INTO Port (PortID, PortName, Country) VALUES (3, 'Ancona', 'Italy')"));
        delete w;
        openWindow();
        auto* ships = find<QComboBox>("dcbShip");
        auto* ports = find<QComboBox>("dcbPort");
        QCOMPARE(ships->count(), 3);

        ships->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(ships, QStringLiteral("bay"));
        QCOMPARE(ships->currentText(), QStringLiteral("Bay Trader"));
        QCOMPARE(ships->currentData().toInt(), 2);
        QCOMPARE(box("txtLBP")->text(), QStringLiteral("150"));  // her particulars, read as she is picked

        ports->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(ports, QStringLiteral("ANT"));
        QCOMPARE(ports->currentText(), QStringLiteral("Antwerp"));
        QCOMPARE(messages(), QStringList());

        db.execute(QStringLiteral("DELETE FROM Ship WHERE ShipID = 3"));
        db.execute(QStringLiteral("DELETE FROM Port WHERE PortID = 3"));
    }

    // Opened from the Draft Survey menu and closed again: no question, the commands put back.
    void livesInTheMainWindow()
    {
        w->hide();  // the test's own copy would count as a window of the application
        registerChildWindows();
        auto* mdi = new MainWindow;
        mdi->show();
        mdi->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(mdi));
        QWidget* child = mdi->openChild(QStringLiteral("frmQuorvane"));
        QVERIFY(qobject_cast<LoadingSurveyWindow*>(child));
        QCOMPARE(MainWindow::openChildCount, 1);
        QCOMPARE(mdi->openChild(QStringLiteral("frmQuorvane")), child);
        QCOMPARE(MainWindow::openChildCount, 1);
        // Print and Print Preview on, New, Save and Delete off.
        QVERIFY(mdi->action(QStringLiteral("mnuFile(14)"))->isEnabled());
        QVERIFY(mdi->action(QStringLiteral("mnuFile(12)"))->isEnabled());
        QVERIFY(!mdi->action(QStringLiteral("mnuFile(0)"))->isEnabled());
        QVERIFY(!mdi->action(QStringLiteral("mnuFile(4)"))->isEnabled());
        QPointer<QWidget> survey(child);
        auto* ship = child->findChild<QComboBox*>(QStringLiteral("dcbShip"));
        ship->setFocus();
        QTest::keyClick(ship, Qt::Key_F4, Qt::ControlModifier);
        QTRY_VERIFY(survey.isNull());
        QCOMPARE(MainWindow::openChildCount, 0);
        QCOMPARE(mdi->statusText(), MainWindow::statusHint());
        QVERIFY(!mdi->action(QStringLiteral("mnuFile(14)"))->isEnabled());
        QCOMPARE(messages(), QStringList());
        delete mdi;
    }

    // Maximised, restored and maximised again before a ship is chosen (as a small screen opens
    // it): the window says nothing, and the ship list keeps the focus.
    void resizingBeforeAShipIsChosenSaysNothing()
    {
        w->hide();
        registerChildWindows();
        auto* mdi = new MainWindow;
        mdi->resize(1366, 768);
        mdi->show();
        mdi->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(mdi));
        QWidget* child = mdi->openChild(QStringLiteral("frmQuorvane"));
        auto* frame = qobject_cast<QMdiSubWindow*>(child->parentWidget());
        QVERIFY(frame);
        for (int i = 0; i < 2; ++i) {
            frame->showMaximized();
            QApplication::processEvents();
            frame->showNormal();
            QApplication::processEvents();
        }
        frame->showMaximized();
        QApplication::processEvents();
        QCOMPARE(messages(), QStringList());
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(child->findChild<QComboBox*>("dcbShip")));
        delete mdi;
    }

    void nothingIsTypedBeforeAShipIsChosen()
    {
        for (const char* name : {"txtVoyageID", "txtCargo", "txtDensity", "txtFwdPort", "txtAftX"}) {
            MessageService::clearRecords();
            click(box(name));
            QCOMPARE(lastMessage(), QStringLiteral("Please select a ship first."));
            QCOMPARE(MessageService::records().last().icon, Msg::Icon::Exclamation);
            QCOMPARE(focused(), static_cast<QWidget*>(find<QComboBox>("dcbShip")));
        }
        // Tab from the ship list runs into the same guard.
        MessageService::clearRecords();
        pressTab();
        QCOMPARE(messages(), QStringList{"Please select a ship first."});
        QCOMPARE(focused(), static_cast<QWidget*>(find<QComboBox>("dcbShip")));
    }

    void pickingAShipShowsItsLengthAndFreesTheInputs()
    {
        pickShip(QStringLiteral("Ocean Pride"));
        QCOMPARE(box("txtLBP")->text(), QStringLiteral("180"));
        QCOMPARE(w->shipRecord().shipName(), QStringLiteral("Ocean Pride"));
        pickShip(QStringLiteral("Bay Trader"));
        QCOMPARE(box("txtLBP")->text(), QStringLiteral("150"));
        // The panel follows the new length at once.
        QCOMPARE(box("txtLBM")->text(), QStringLiteral("150"));
        click(box("txtCargo"));
        QCOMPARE(messages(), QStringList());
        QCOMPARE(focused(), static_cast<QWidget*>(box("txtCargo")));
    }

    void ctrlF4InTheShipListClosesTheWindow()
    {
        QVERIFY(w->isVisible());
        find<QComboBox>("dcbShip")->setFocus();
        QTest::keyClick(find<QComboBox>("dcbShip"), Qt::Key_F4, Qt::ControlModifier);
        QVERIFY(!w->isVisible());
        QCOMPARE(messages(), QStringList());
    }

    void draftPanelFollowsTheReadings_data()
    {
        QTest::addColumn<QStringList>("readings");
        QTest::addColumn<QStringList>("marks");
        QTest::addColumn<QStringList>("panel");  // means, trim, LBM, TMD
        QTest::newRow("trim by the stern, marks at the perpendiculars")
            << QStringList{"10", "10.2", "10.5", "10.5", "11", "11"} << QStringList{"0", "0", "0"}
            << QStringList{"10.1", "10.5", "11", "0.9", "180", "10.5125"};
        QTest::newRow("an empty reading counts as 0")
            << QStringList{"7.5", "", "7.5", "7.5", "7.5", "7.5"} << QStringList{"0", "0", "0"}
            << QStringList{"3.75", "7.5", "7.5", "3.75", "180", "7.03125"};
        QTest::newRow("marks off the perpendiculars")
            << QStringList{"8", "8", "8", "8", "8", "8"} << QStringList{"2.5", "", "-3.0"}
            << QStringList{"8", "8", "8", "0", "185.5", "8"};
    }

    void draftPanelFollowsTheReadings()
    {
        QFETCH(QStringList, readings);
        QFETCH(QStringList, marks);
        QFETCH(QStringList, panel);
        pickShip(QStringLiteral("Ocean Pride"));
        typeInto(box("txtFwdPort"), readings[0]);
        pressEnter();
        for (int i = 1; i < 6; ++i)
            enter(readings[i]);
        for (const QString& m : marks)
            enter(m);
        QCOMPARE(messages(), QStringList());
        QStringList shown;
        for (const char* name : {"txtFwdMean", "txtMidshipMean", "txtAftMean", "txtApparentTrim", "txtLBM",
                                 "txtTrueMeanDraft"})
            shown << box(name)->text();
        QCOMPARE(shown, panel);
        QCOMPARE(box("txtFwdTrueDraft")->text(), panel[0]);
        QCOMPARE(box("txtFwdCorrection")->text(), QStringLiteral("0"));
        if (marks[2] == QLatin1String("-3.0"))
            QCOMPARE(box("txtAftX")->text(), QStringLiteral("-3"));
    }

    void marksCancellingTheLengthLeaveTheCorrectionsBlank()
    {
        pickShip(QStringLiteral("Ocean Pride"));
        typeInto(box("txtFwdPort"), QStringLiteral("7"));
        pressEnter();
        for (const char* r : {"7", "7.5", "7.5", "8", "8"})
            enter(QLatin1String(r));
        enter(QStringLiteral("-90"));
        enter(QStringLiteral("0"));
        typeHere(QStringLiteral("90"));
        pressTab();
        QCOMPARE(box("txtLBM")->text(), QStringLiteral("0"));
        QCOMPARE(box("txtApparentTrim")->text(), QStringLiteral("1"));
        for (const char* name : {"txtFwdCorrection", "txtMidshipCorrection", "txtAftCorrection",
                                 "txtFwdTrueDraft", "txtMidshipTrueDraft", "txtAftTrueDraft", "txtTrueTrim",
                                 "txtTrueMeanDraft"})
            QCOMPARE(box(name)->text(), QString());
        QCOMPARE(messages(), QStringList());
    }

    // What the field checks make of a typed text, without the window.
    void fieldRules_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("message");
        const QString fwd = QStringLiteral("Invalid value for Foward Port draft.");
        const QString range100 =
            QStringLiteral("\r\n\r\nPlease enter value greater than 0 and less than 100.");
        const QString density = QStringLiteral("Invalid density value.\r\n\r\n");
        const QString aftRange = QStringLiteral(
            "Invalid value.\r\n\r\nValue of Aft-X can be  a number greater than -1000 and less than 1000.");
        QTest::newRow("reading to 3 places") << "reading" << "7.12345" << true << "7.123" << "";
        QTest::newRow("reading 99.9996 stands as 100")
            << "reading" << "99.9996" << false << "" << fwd + range100;
        QTest::newRow("reading 100") << "reading" << "100" << false << "" << fwd + range100;
        QTest::newRow("reading 0") << "reading" << "0" << false << "" << fwd + range100;
        QTest::newRow("reading 0.0004 stands as 0") << "reading" << "0.0004" << false << "" << fwd + range100;
        QTest::newRow("reading letters") << "reading" << "7,5x" << false << ""
                                         << fwd + QStringLiteral("\r\n\r\nPlease enter numeric value.");
        QTest::newRow("reading blanks") << "reading" << "   " << true << "" << "";
        QTest::newRow("density to 4 places") << "density" << "1.02567" << true << "1.0257" << "";
        QTest::newRow("density 9.99996 stands as 10")
            << "density" << "9.99996" << false << ""
            << density + QStringLiteral("Please enter values greater than 0 and less than 10.");
        QTest::newRow("density letters") << "density" << "one" << false << ""
                                         << density + QStringLiteral("Only numbers are allowed.");
        QTest::newRow("mark -999.99996 passes as typed") << "aftX" << "-999.99996" << true << "-1000" << "";
        QTest::newRow("mark -1000") << "aftX" << "-1000" << false << "" << aftRange;
        QTest::newRow("mark 1e30") << "aftX" << "1e30" << false << "" << aftRange;
        QTest::newRow("mark letters") << "aftX" << "fwd" << false << ""
                                      << "Invalid value. Only numbers are allowed.";
        QTest::newRow("date month first") << "date" << "12-25-2004" << true << "25-12-2004" << "";
        QTest::newRow("date day first") << "date" << "05-03-2004" << true << "05-03-2004" << "";
        QTest::newRow("date 31 February") << "date" << "31-02-2004" << false << "today" << "Invalid Date";
        QTest::newRow("date nothing typed") << "date" << "__-__-____" << false << "today" << "Invalid Date";
        QTest::newRow("time") << "time" << "08:30" << true << "08:30" << "";
        QTest::newRow("time 25:00") << "time" << "25:00" << false << "now" << "Invalid Time";
        QTest::newRow("initial net 0") << "initialNet" << "0" << true << "0" << "";
        QTest::newRow("initial net to 5 places")
            << "initialNet" << "12000.123456" << true << "12000.12346" << "";
        QTest::newRow("initial net 1000000")
            << "initialNet" << "1000000" << false << ""
            << "Invalid value.\r\n\r\nValue of initial net displacement can be greater than 0 and less "
               "than 1000000.";
        QTest::newRow("initial net letters") << "initialNet" << "abc" << false << ""
                                             << "Invalid quantity.\r\n\r\nPlease enter numeric value only.";
    }

    void fieldRules()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        QFETCH(QString, shown);
        QFETCH(QString, message);
        const QDate today(2026, 1, 2);
        const QTime now(9, 5);
        using namespace SurveyInputRules;
        Outcome o;
        if (field == QLatin1String("reading"))
            o = draftReading(typed, QStringLiteral("Invalid value for Foward Port draft."));
        else if (field == QLatin1String("density"))
            o = density(typed, densityRangeDetail());
        else if (field == QLatin1String("aftX"))
            o = markDistance(typed, QStringLiteral("Value of Aft-X can be  a number greater than -1000 "
                                                   "and less than 1000."));
        else if (field == QLatin1String("date"))
            o = date(typed, today);
        else if (field == QLatin1String("time"))
            o = time(typed, now);
        else
            o = initialNetDisplacement(typed);
        if (shown == QLatin1String("today"))
            shown = QStringLiteral("02-01-2026");
        if (shown == QLatin1String("now"))
            shown = QStringLiteral("09:05");
        QCOMPARE(o.accepted, accepted);
        QCOMPARE(o.text, shown);
        QCOMPARE(o.message, message);
    }

    // The same checks in the window: the box is emptied (or set to today), the focus kept.
    void refusedFieldsKeepTheFocus_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("message");
        QTest::newRow("reading to 3 places") << "txtFwdStbd" << "7.12345" << "7.123" << "";
        QTest::newRow("a reading of six characters at most") << "txtFwdPort" << "99.9996" << "99.999" << "";
        QTest::newRow("reading 100") << "txtMidshipStbd" << "100"
                                     << "" << "Invalid value for Midship Starboard draft.\r\n\r\n"
                                              "Please enter value greater than 0 and less than 100.";
        QTest::newRow("reading 8a") << "txtAftPort" << "8a"
                                    << ""
                                    << "Invalid value for Aft Port draft.\r\n\r\nPlease enter numeric value.";
        QTest::newRow("density rounded") << "txtDensity" << "1.02567" << "1.0257" << "";
        QTest::newRow("density 9.99996") << "txtDensity" << "9.99996"
                                         << "" << "Invalid density value.\r\n\r\n"
                                                  "Please enter values greater than 0 and less than 10.";
        QTest::newRow("Fwd X out of range") << "txtFwdX" << "1000"
                                            << "" << "Invalid value.\r\n\r\nValue of Fwd-X can be a number "
                                                     "greater than -1000 and less than 1000.";
        QTest::newRow("Mid X rounded") << "txtMidX" << "-1.23456" << "-1.2346" << "";
        QTest::newRow("date month first") << "mbxDate" << "12252004" << "25-12-2004" << "";
        QTest::newRow("date 31 February") << "mbxDate" << "31022004" << "today" << "Invalid Date";
        QTest::newRow("time 24:61") << "mbxTime" << "2461" << "now" << "Invalid Time";
    }

    void refusedFieldsKeepTheFocus()
    {
        QFETCH(QString, name);
        QFETCH(QString, typed);
        QFETCH(QString, left);
        QFETCH(QString, message);
        pickShip(QStringLiteral("Ocean Pride"));
        QLineEdit* target = box(name.toLatin1().constData());
        typeInto(target, typed);
        MessageService::clearRecords();
        pressTab();
        if (left == QLatin1String("today"))
            left = QDate::currentDate().toString(QStringLiteral("dd-MM-yyyy"));
        if (left == QLatin1String("now")) {
            // The minute may turn while the test runs: only the form is checked.
            QVERIFY(QTime::fromString(target->text(), QStringLiteral("HH:mm")).isValid());
            left = target->text();
        }
        QCOMPARE(target->text(), left);
        if (message.isEmpty()) {
            QCOMPARE(messages(), QStringList());
            QVERIFY(focused() != target);
        } else {
            QCOMPARE(messages(), QStringList{message});
            QCOMPARE(MessageService::records().last().icon, Msg::Icon::Exclamation);
            QCOMPARE(focused(), static_cast<QWidget*>(target));
            // A click elsewhere is refused the same way.
            typeHere(typed);
            MessageService::clearRecords();
            click(find<QPlainTextEdit>("txtComments"));
            QCOMPARE(messages(), QStringList{message});
            QCOMPARE(focused(), static_cast<QWidget*>(target));
        }
    }

    // --- The hydrostatic and deductibles grids in the window -------------------------------

    void aBlankAboveTpcIsFoundBeforeCalculating()
    {
        fillHeader();
        Draft d = initialDraft();
        d.above[2] = QString();
        fillDraft(d);
        MessageService::clearRecords();
        calculate();
        QCOMPARE(messages(), QStringList{"Value of TPC can't be left blank."});
        QCOMPARE(MessageService::records().last().title, QStringLiteral("Hydrostatic Data Table"));
        QCOMPARE(grid("fgrdHDT")->row(), 2);
        QCOMPARE(grid("fgrdHDT")->col(), 3);
        QCOMPARE(focused(), static_cast<QWidget*>(box("txtHDTGridTextbox")));
        QCOMPARE(result()->text(0, 1), QString());
    }

    // --- The survey from end to end ----------------------------------------------------------

    void loadingSurveyFromEndToEnd()
    {
        const QString started = box("mbxDate")->text();
        fillHeader();
        fillDraft(initialDraft());
        QCOMPARE(cell("fgrdMCTCP50", 1, 1), QStringLiteral("7.7"));
        QCOMPARE(cell("fgrdMCTCP50", 2, 1), QStringLiteral("7.8"));
        QCOMPARE(cell("fgrdMCTCM50", 1, 1), QStringLiteral("6.7"));
        QCOMPARE(cell("fgrdMCTCM50", 2, 1), QStringLiteral("6.8"));
        QCOMPARE(box("txtTrueMeanDraft")->text(), QStringLiteral("7.25"));
        QCOMPARE(box("txtTrueTrim")->text(), QStringLiteral("1.2"));
        QCOMPARE(box("txtLBM")->text(), QStringLiteral("180"));
        calculate();
        QCOMPARE(messages(), QStringList());
        QCOMPARE(focused(), static_cast<QWidget*>(box("txtFwdPort")));

        // Above less Below, then the interpolation at 7.25 m: half way between the rows.
        for (int c = 1; c <= 4; ++c)
            QCOMPARE(cell("fgrdHDT", 3, c), (QStringList{"0.1", "400", "0.2", "0.1"}[c - 1]));
        QCOMPARE(cell("fgrdMCTCP50", 3, 2), QStringLiteral("4"));
        QCOMPARE(cell("fgrdMCTCM50", 3, 2), QStringLiteral("3"));
        QCOMPARE(box("txtIpFactor")->text(), QStringLiteral("0.5"));
        const QStringList increments{"200", "0.1", "0.05", "2", "1.5"};
        const QStringList values{"30200", "40.1", "-2.45", "422", "401.5"};
        for (int c = 1; c <= 5; ++c) {
            QCOMPARE(cell("fgrdIpResult", 0, c), increments[c - 1]);
            QCOMPARE(cell("fgrdIpResult", 1, c), values[c - 1]);
        }
        QCOMPARE(cell("fgrdIpResultMCTCP50", 0, 1), QStringLiteral("2"));
        QCOMPARE(cell("fgrdIpResultMCTCP50", 1, 1), QStringLiteral("422"));
        QCOMPARE(cell("fgrdIpResultMCTCM50", 0, 1), QStringLiteral("1.5"));
        QCOMPARE(cell("fgrdIpResultMCTCM50", 1, 1), QStringLiteral("401.5"));
        for (int r = 0; r < 5; ++r)
            QCOMPARE(cell("fgrdResult", r, 1), (QStringList{"40.1", "-2.45", "422", "401.5", "20.5"}[r]));

        // TPC x LCF x trim x 100 / LBP = 40.1 x -2.45 x 1.2 x 100 / 180; 50 x trim^2 x dMCTC / LBP
        // = 50 x 1.44 x 20.5 / 180; density 1.015 / 1.025; deductibles 300 + 200; light ship 8000.
        QCOMPARE(finalResultColumn(1),
                 (QStringList{"30200", "-65.4967", "8.2", "-57.2967", "0", "30142.70333", "-294.07515",
                              "29848.62818", "500", "29348.62818", "8000", "21348.62818"}));
        QCOMPARE(finalResultColumn(0).mid(9), (QStringList{"Net Displacement", "LightShip", "Constant"}));
        QVERIFY(result()->cellBold(9, 0));
        QCOMPARE(box("txtInitNetDisp")->text(), QStringLiteral("29348.62818"));
        QCOMPARE(box("txtConstant")->text(), QStringLiteral("21348.62818"));
        QVERIFY(box("txtConstant")->palette().color(QPalette::Text) != Red);
        QVERIFY(result()->cellForeground(11, 1) != Red);
        QCOMPARE(Variant(*w->model().constant()).toText(), QStringLiteral("21348.62818"));
        // Level midships: no deflection.
        QCOMPARE(box("txtDeflection")->text(), QStringLiteral("0"));
        QVERIFY(!find<QLabel>("lblHogSag")->isVisible());

        // Calculating again gives the same figures and no second list of deductions.
        calculate();
        QCOMPARE(result()->text(11, 1), QStringLiteral("21348.62818"));
        QCOMPARE(w->initialDraft().deductions().recordCount(), 8);

        switchTo(2);
        QCOMPARE(tabs()->currentIndex(), 2);
        QVERIFY(find<QGroupBox>("fmeQuorvane")->isVisible());
        QVERIFY(find<QGroupBox>("fmeFinalNetDisp")->isVisible());
        QVERIFY(!find<QGroupBox>("fmeInitNetDisp")->isVisible());
        QVERIFY(!find<QComboBox>("dcbShip")->isEnabled());
        QVERIFY(box("txtFnlGrdTxtBox")->isVisible());
        QCOMPARE(box("txtFnlGrdTxtBox")->geometry(), result()->visualItemRect(result()->item(10, 1)));
        QCOMPARE(focused(), static_cast<QWidget*>(box("txtVoyageID")));
        QCOMPARE(box("txtFwdPort")->text(), QString());
        QCOMPARE(box("mbxDate")->text(), started);
        QCOMPARE(finalResultColumn(0).mid(9),
                 (QStringList{"Final Net Displacement", "Initial Net Displacement", "Total Cargo Loaded"}));
        QVERIFY(!result()->cellBold(11, 0));
        QCOMPARE(finalResultColumn(1), QStringList(12, QString()));

        fillDraft(finalDraft());
        calculate();
        QCOMPARE(messages(), QStringList());
        QCOMPARE(box("txtIpFactor")->text(), QStringLiteral("0.5"));
        // 41.1 x -0.9 x 1.2 x 100 / 180 = -24.66; 50 x 1.44 x 20.5 / 180 = 8.2; density 1.02.
        QCOMPARE(finalResultColumn(1),
                 (QStringList{"38210", "-24.66", "8.2", "-16.46", "0", "38193.54", "-186.30995",
                              "38007.23005", "300", "37707.23005", "29348.62818", "8358.60187"}));
        QCOMPARE(finalResultColumn(0).mid(9),
                 (QStringList{"Final Net Displacement", "Initial Net Displacement", "Total Cargo Loaded"}));
        QVERIFY(!result()->cellBold(9, 0));
        QCOMPARE(box("txtFnlGrdTxtBox")->text(), QStringLiteral("29348.62818"));
        QCOMPARE(box("txtFinalNetDisp")->text(), QStringLiteral("37707.23005"));
        QCOMPARE(box("txtTotCargoLoaded")->text(), QStringLiteral("8358.60187"));
        QVERIFY(box("txtTotCargoLoaded")->palette().color(QPalette::Text) != Red);
        // The constant stays the Initial draft's.
        QCOMPARE(Variant(*w->model().constant()).toText(), QStringLiteral("21348.62818"));

        // What the report reads.
        QCOMPARE(w->shipText(), QStringLiteral("Ocean Pride"));
        QCOMPARE(w->portText(), QStringLiteral("Kandla"));
        QCOMPARE(w->portId().toInt32(), 1);
        QCOMPARE(w->voyageIdText(), QStringLiteral("V-042"));
        QCOMPARE(w->cargoText(), QStringLiteral("Iron ore fines"));
        QCOMPARE(w->lbpText(), QStringLiteral("180"));
        QCOMPARE(w->draftOnShow(), int(SurveyModel::Final));
        QCOMPARE(w->cargoResultText(), QStringLiteral("8358.60187"));
        QCOMPARE(w->initialNetDisplacementText(), QStringLiteral("29348.62818"));
        QCOMPARE(w->finalResultText(9, 1), QStringLiteral("37707.23005"));
        QCOMPARE(w->constantText(), QStringLiteral("21348.62818"));
        // The draft keeps the panel's means, corrections and corrected drafts as figures.
        QCOMPARE(w->initialDraft().fwdMean().toText(), QStringLiteral("6.65"));
        QCOMPARE(w->initialDraft().midTrueDraft().toText(), QStringLiteral("7.25"));
        QCOMPARE(w->initialDraft().aftCorrection().toText(), QStringLiteral("0"));
        QCOMPARE(w->finalDraft().trueMeanDraft().toText(), QStringLiteral("9"));

        // Back on Initial the Initial results come back with its inputs.
        switchTo(0);
        QCOMPARE(box("txtFwdPort")->text(), QStringLiteral("6.65"));
        QCOMPARE(box("txtDensity")->text(), QStringLiteral("1.015"));
        QCOMPARE(result()->text(11, 1), QStringLiteral("21348.62818"));
        QCOMPARE(box("txtConstant")->text(), QStringLiteral("21348.62818"));
        QVERIFY(find<QGroupBox>("fmeInitNetDisp")->isVisible());
        QVERIFY(!box("txtFnlGrdTxtBox")->isVisible());
        QCOMPARE(messages(), QStringList());
    }

    void valuesSurviveInitialFinalInitial()
    {
        fillHeader();
        Draft d = initialDraft();
        d.marks = QStringList{"2.5", "0.5", "-3"};
        fillDraft(d);
        find<QPlainTextEdit>("txtComments")->setFocus();
        QTest::keyClicks(focused(), QStringLiteral("Swell 0.2 m"));
        typeInto(box("mbxDate"), QStringLiteral("15012026"));
        typeInto(box("mbxTime"), QStringLiteral("0745"));
        const QString tmd = box("txtTrueMeanDraft")->text();

        switchTo(2);
        QCOMPARE(box("txtFwdPort")->text(), QString());
        QCOMPARE(box("txtDensity")->text(), QString());
        QCOMPARE(cell("fgrdHDT", 1, 1), QString());
        QCOMPARE(grid("fgrdDeduction")->text(0, 1), QString());
        // The Final draft of a first survey: the marks read on Initial, the survey's start.
        QCOMPARE(box("txtFwdX")->text(), QStringLiteral("2.5"));
        QCOMPARE(box("txtAftX")->text(), QStringLiteral("-3"));
        QCOMPARE(box("mbxDate")->text(), QDate::currentDate().toString(QStringLiteral("dd-MM-yyyy")));
        QCOMPARE(find<QPlainTextEdit>("txtComments")->toPlainText(), QString());

        switchTo(0);
        const QStringList readings{"6.65", "6.65", "7.25", "7.25", "7.85", "7.85"};
        const char* names[6] = {"txtFwdPort", "txtFwdStbd", "txtMidShipPort", "txtMidshipStbd", "txtAftPort",
                                "txtAftStbd"};
        for (int i = 0; i < 6; ++i)
            QCOMPARE(box(names[i])->text(), readings[i]);
        QCOMPARE(box("txtDensity")->text(), QStringLiteral("1.015"));
        QCOMPARE(box("txtMidX")->text(), QStringLiteral("0.5"));
        QCOMPARE(box("mbxDate")->text(), QStringLiteral("15-01-2026"));
        QCOMPARE(box("mbxTime")->text(), QStringLiteral("07:45"));
        QCOMPARE(find<QPlainTextEdit>("txtComments")->toPlainText(), QStringLiteral("Swell 0.2 m"));
        QCOMPARE(box("txtTrueMeanDraft")->text(), tmd);
        // The hydrostatic rows typed but not yet calculated are still there.
        for (int c = 1; c <= 4; ++c) {
            QCOMPARE(cell("fgrdHDT", 1, c), (QStringList{"7.2", "30000", "40", "-2.5"}[c - 1]));
            QCOMPARE(cell("fgrdHDT", 2, c), (QStringList{"7.3", "30400", "40.2", "-2.4"}[c - 1]));
        }
        QCOMPARE(cell("fgrdMCTCP50", 2, 2), QStringLiteral("424"));
        QCOMPARE(cell("fgrdMCTCM50", 1, 1), QStringLiteral("6.7"));
        QCOMPARE(grid("fgrdDeduction")->text(0, 1), QStringLiteral("300"));
        QCOMPARE(grid("fgrdDeduction")->text(1, 1), QStringLiteral("200"));
        QCOMPARE(box("txtVoyageID")->text(), QStringLiteral("V-042"));
        QCOMPARE(messages(), QStringList());
        // And they calculate as if never left.
        calculate();
        QCOMPARE(messages(), QStringList());
        QVERIFY(!result()->text(9, 1).isEmpty());
    }

    void leavingInitialWithoutAShipIsRefused()
    {
        switchTo(2);
        QCOMPARE(tabs()->currentIndex(), 0);
        QCOMPARE(messages(), QStringList{"Please select a ship first."});
        QVERIFY(find<QGroupBox>("fmeQuorvane")->isVisible());
        QVERIFY(find<QComboBox>("dcbShip")->isEnabled());
        // With a ship the move goes through.
        pickShip(QStringLiteral("Bay Trader"));
        switchTo(2);
        QCOMPARE(tabs()->currentIndex(), 2);
    }

    void rNewStartsAfreshKeepingTheShip()
    {
        fillHeader();
        typeInto(box("txtFwdX"), QStringLiteral("2.5"));
        pressTab();
        switchTo(2);
        QCOMPARE(box("txtFwdX")->text(), QStringLiteral("2.5"));
        switchTo(0);  // the Final draft takes the distance with it
        switchTo(2);
        w->newRecord();
        QCOMPARE(tabs()->currentIndex(), 0);
        QCOMPARE(find<QComboBox>("dcbShip")->currentText(), QStringLiteral("Ocean Pride"));
        QVERIFY(find<QComboBox>("dcbShip")->isEnabled());
        QCOMPARE(box("txtLBP")->text(), QString());
        QCOMPARE(box("txtVoyageID")->text(), QString());
        QCOMPARE(box("txtCargo")->text(), QString());
        QCOMPARE(find<QComboBox>("dcbPort")->currentText(), QString());
        QCOMPARE(box("txtFwdX")->text(), QString());
        QVERIFY(find<QGroupBox>("fmeInitNetDisp")->isVisible());
        QVERIFY(!find<QGroupBox>("fmeFinalNetDisp")->isVisible());
        QVERIFY(!box("txtFnlGrdTxtBox")->isVisible());
        QCOMPARE(finalResultColumn(0).mid(9), (QStringList{"Net Displacement", "Light Ship", "Constant"}));
        QCOMPARE(focused(), static_cast<QWidget*>(find<QComboBox>("dcbShip")));
        QCOMPARE(messages(), QStringList());
        // The Final draft kept its mark distances through the reset and shows them again.
        switchTo(2);
        QCOMPARE(box("txtFwdX")->text(), QStringLiteral("2.5"));
    }

    void aboveLowerThanBelowIsRefusedAndClearsTheResults()
    {
        fillHeader();
        fillDraft(initialDraft());
        calculate();
        QVERIFY(!box("txtConstant")->text().isEmpty());
        click(box("txtAftX"));
        pressEnter();
        pressEnter();
        QCOMPARE(grid("fgrdHDT")->row(), 2);
        typeHere(QStringLiteral("7.1"));
        MessageService::clearRecords();
        calculate();
        QCOMPARE(messages(), QStringList{"Invalid hydrostatic details...!\r\n\r\nDifference of Above & Below "
                                         "can't be negative."});
        QCOMPARE(cell("fgrdHDT", 3, 1), QStringLiteral("-0.1"));
        QCOMPARE(box("txtIpFactor")->text(), QString());
        QCOMPARE(box("txtInitNetDisp")->text(), QString());
        QCOMPARE(box("txtConstant")->text(), QString());
        QCOMPARE(cell("fgrdIpResult", 1, 1), QString());
        QCOMPARE(finalResultColumn(1), QStringList(12, QString()));
        // Nor do the refused results come back when the draft is shown again.
        switchTo(2);
        switchTo(0);
        QCOMPARE(box("txtConstant")->text(), QString());
        QCOMPARE(result()->text(9, 1), QString());
    }

    void aTypedInitialNetDisplacementStandsInForAMissingInitialDraft()
    {
        fillHeader();
        switchTo(2);
        typeInto(box("txtFnlGrdTxtBox"), QStringLiteral("12000"));
        pressTab();
        QCOMPARE(messages(), QStringList());
        fillDraft(finalDraft());
        calculate();
        QCOMPARE(messages(), QStringList());
        QCOMPARE(result()->text(10, 1), QStringLiteral("0"));
        QCOMPARE(box("txtFnlGrdTxtBox")->text(), QStringLiteral("12000"));
        QCOMPARE(result()->text(11, 1), QStringLiteral("25707.23005"));
        QCOMPARE(box("txtTotCargoLoaded")->text(), QStringLiteral("25707.23005"));
    }

    void aNegativeCargoIsShownRedWithoutAMessage()
    {
        fillHeader();
        fillDraft(finalDraft());
        calculate();
        switchTo(2);
        fillDraft(initialDraft());
        calculate();
        QCOMPARE(messages(), QStringList());
        QCOMPARE(box("txtTotCargoLoaded")->text(), QStringLiteral("-8358.60187"));
        QCOMPARE(box("txtTotCargoLoaded")->palette().color(QPalette::Text), Red);
        QCOMPARE(result()->cellForeground(11, 1), Red);
        QVERIFY(box("txtFinalNetDisp")->palette().color(QPalette::Text) != Red);
    }

    void implausibleResultsAreTold_data()
    {
        QTest::addColumn<QString>("displacement");
        QTest::addColumn<QString>("density");
        QTest::addColumn<QString>("deduction");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("netRed");
        QTest::addColumn<bool>("constantRed");
        const QString check = QStringLiteral("\r\n\r\nPlease check your input values.");
        const QString net = QStringLiteral("Invalid Net Displacement value.") + check;
        const QString constant = QStringLiteral("Invalid constant value.") + check;
        QTest::newRow("net displacement over 1000000") << "999999" << "1.026" << "" << net << true << true;
        QTest::newRow("net displacement 0") << "5000" << "1.025" << "5000" << net << true << false;
        QTest::newRow("constant 100000") << "108000" << "1.025" << "" << constant << false << true;
        QTest::newRow("constant 0") << "8000" << "1.025" << "" << constant << false << true;
        QTest::newRow("plausible") << "30000" << "1.025" << "" << "" << false << false;
    }

    void implausibleResultsAreTold()
    {
        QFETCH(QString, displacement);
        QFETCH(QString, density);
        QFETCH(QString, deduction);
        QFETCH(QString, message);
        QFETCH(bool, netRed);
        QFETCH(bool, constantRed);
        fillHeader();
        // Even keel at the Below row's draft: the displacement is the table's.
        fillDraft({density,
                   {"7", "7", "7", "7", "7", "7"},
                   {"0", "0", "0"},
                   {"7", displacement, "40", "1"},
                   {"7.1", displacement, "40", "1"},
                   {"400", "400"},
                   {"400", "400"},
                   {deduction, "", "", "", "", "", "", ""}});
        calculate();
        QCOMPARE(messages(), message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(result()->cellForeground(9, 1) == Red, netRed);
        QCOMPARE(box("txtInitNetDisp")->palette().color(QPalette::Text) == Red, netRed);
        QCOMPARE(result()->cellForeground(11, 1) == Red, constantRed);
        QCOMPARE(box("txtConstant")->palette().color(QPalette::Text) == Red, constantRed);
        QCOMPARE(focused(), static_cast<QWidget*>(box("txtFwdPort")));
    }

    void aZeroTrueMeanDraftCalculatesNothing()
    {
        fillHeader();
        Draft d = initialDraft();
        d.marks = QStringList{"-90", "0", "90"};  // the marks cancel the LBP
        fillDraft(d);
        QCOMPARE(box("txtTrueMeanDraft")->text(), QString());
        calculate();
        QCOMPARE(messages(), QStringList{"The true mean draft is 0: nothing was calculated.\r\n\r\n"
                                         "Please check the draft readings, the mark distances and the LBP "
                                         "of the ship."});
        QCOMPARE(finalResultColumn(1), QStringList(12, QString()));
        QCOMPARE(box("txtConstant")->text(), QString());
        QCOMPARE(box("txtIpFactor")->text(), QString());
    }

    void theCompletenessCheckNamesWhatIsMissingInOrder()
    {
        struct Step {
            const char* missing;
            const char* focus;
            const char* value;  // typed into the focused box; empty: a list pick
        };
        const Step steps[] = {
            {"Please select ship name.", "dcbShip", ""},
            {"Please enter Voyage-ID.", "txtVoyageID", "V1"},
            {"Please select port name.", "dcbPort", ""},
            {"Please enter value for cargo.", "txtCargo", "Coal"},
            {"Please enter value for Density.", "txtDensity", "1.025"},
            {"Please enter value for Forward Port.", "txtFwdPort", "7"},
            {"Please enter value for Forward Starboard.", "txtFwdStbd", "7"},
            {"Please enter value for Midship Port.", "txtMidShipPort", "7"},
            {"Please enter value for Midship Starboard.", "txtMidshipStbd", "7"},
            {"Please enter value for Aft Port.", "txtAftPort", "7"},
            {"Please enter value for Aft Starboard.", "txtAftStbd", "7"},
            {"Please enter value for Fwd X.", "txtFwdX", "0"},
            {"Please enter value for Mid X.", "txtMidX", "0"},
            {"Please enter value for Aft X.", "txtAftX", "0"},
        };
        for (const Step& step : steps) {
            MessageService::clearRecords();
            calculate();
            const QString expected = QStringLiteral("Incomplete data.\r\n\r\n") + QLatin1String(step.missing);
            QCOMPARE(messages(), QStringList{expected});
            QCOMPARE(MessageService::records().last().icon, Msg::Icon::Exclamation);
            QCOMPARE(focused()->objectName(), QLatin1String(step.focus));
            if (qstrcmp(step.focus, "dcbShip") == 0)
                pickShip(QStringLiteral("Ocean Pride"));
            else if (qstrcmp(step.focus, "dcbPort") == 0)
                pickPort(QStringLiteral("Antwerp"));
            else
                typeHere(QLatin1String(step.value));
        }
        MessageService::clearRecords();
        calculate();
        QCOMPARE(messages(), QStringList{"Value of Hyd. Draft can't be left blank."});
        QCOMPARE(focused(), static_cast<QWidget*>(box("txtHDTGridTextbox")));
    }

    // A reading changed after Calculate: the panel follows it at once, but no result of the old
    // readings stays beside it, on the screen or in the report, until Calculate runs again.
    void aChangedReadingWithdrawsTheResultsUntilCalculate()
    {
        fillHeader();
        fillDraft(initialDraft());
        calculate();
        QCOMPARE(messages(), QStringList());
        const QString constant = box("txtConstant")->text();
        const QString trueMeanDraft = box("txtTrueMeanDraft")->text();
        QVERIFY(!constant.isEmpty());
        QVERIFY(!result()->text(9, 1).isEmpty());

        typeInto(box("txtFwdPort"), QStringLiteral("6.75"));
        pressEnter();
        QVERIFY(box("txtTrueMeanDraft")->text() != trueMeanDraft);
        for (const char* name : {"txtConstant", "txtInitNetDisp", "txtIpFactor"})
            QCOMPARE(box(name)->text(), QString());
        QCOMPARE(result()->text(9, 1), QString());
        QCOMPARE(result()->text(11, 1), QString());
        QCOMPARE(cell("fgrdHDT", 3, 2), QString());
        QCOMPARE(cell("fgrdIpResult", 1, 1), QString());
        QVERIFY(!w->model().calculated(SurveyModel::Initial));
        QCOMPARE(messages(), QStringList());

        // The report does not print the old figures beside the new readings.
        MessageService::setNextAnswer(Msg::Answer::No);
        QVERIFY(!w->fillReport(true));
        QCOMPARE(messages(), QStringList{"Incomplete Initial draft...!\r\n\r\n"
                                         "Would you like to discard initial draft details and continue ?"});
        forgetMessages();

        // Calculate works them out from the new readings.
        calculate();
        QCOMPARE(messages(), QStringList());
        QVERIFY(!box("txtConstant")->text().isEmpty());
        QVERIFY(box("txtConstant")->text() != constant);

        // The Final draft calculated, then the Initial changed again: the cargo worked from the
        // old Initial draft is not shown on the Final tab, nor the Initial's deflection.
        switchTo(2);
        QCOMPARE(box("txtDeflection")->text(), QString());
        fillDraft(finalDraft());
        calculate();
        QCOMPARE(messages(), QStringList());
        QVERIFY(!box("txtTotCargoLoaded")->text().isEmpty());
        switchTo(0);
        typeInto(box("txtAftPort"), QStringLiteral("7.95"));
        pressEnter();
        switchTo(2);
        QVERIFY(!box("txtFinalNetDisp")->text().isEmpty());
        QVERIFY(w->model().calculated(SurveyModel::Final));
        switchTo(0);
        calculate();
        switchTo(2);
        QVERIFY(!box("txtTotCargoLoaded")->text().isEmpty());
        QCOMPARE(messages(), QStringList());
    }

    void hullDeflectionOfAShownDraft_data()
    {
        QTest::addColumn<QString>("midships");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("centimetres");
        QTest::newRow("sagging") << "7.6" << "Sag" << "10";
        QTest::newRow("hogging") << "7.45" << "Hog" << "5";
    }

    void hullDeflectionOfAShownDraft()
    {
        QFETCH(QString, midships);
        QFETCH(QString, kind);
        QFETCH(QString, centimetres);
        pickShip(QStringLiteral("Ocean Pride"));
        typeInto(box("txtFwdPort"), QStringLiteral("7"));
        pressEnter();
        for (const QString& r : QStringList{"7", midships, midships, "8", "8"})
            enter(r);
        switchTo(2);
        switchTo(0);
        QCOMPARE(find<QLabel>("lblHogSag")->text(), kind);
        QVERIFY(find<QLabel>("lblHogSag")->isVisible());
        QCOMPARE(box("txtDeflection")->text(), centimetres);
    }
};

QTEST_MAIN(TestLoadingWindow)
#include "test_loading_window.moc"
