// The "Daily" tab of the survey windows, driven by the keys: the list of draft checks, adding,
// choosing and removing one, every box of a check in Enter order, Ctrl+Tab to the tab, and the
// figures of a check against the Final draft's.
#include "survey/DischargingSurveyWindow.h"
#include "survey/LoadingSurveyWindow.h"
#include "tests/SurveyWindowDriver.h"

#include <QGroupBox>

class TestDailyTab : public QObject, private SurveyWindowDriver {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    SurveyWindow* w = nullptr;

    QComboBox* checks() const { return find<QComboBox>("cmbDraftCheck"); }
    QPushButton* button(const char* name) const { return find<QPushButton>(name); }
    QWidget* draftBoxes() const { return find<QWidget>("surveyContent"); }

    static Draft initialDraft() { return typed(SurveySamples::loadingInitial()); }
    static Draft finalDraft() { return typed(SurveySamples::loadingFinal()); }

    // Ctrl+Tab (or another tab key) from the focused control.
    static void ctrlKey(Qt::Key key, Qt::KeyboardModifiers extra = {})
    {
        QTest::keyClick(focused(), key, Qt::ControlModifier | extra);
        QApplication::processEvents();
    }

    // A new check by the keyboard: Space on the Add button.
    void addCheckByKeys()
    {
        button("cmdAddCheck")->setFocus(Qt::TabFocusReason);
        QTest::keyClick(focused(), Qt::Key_Space);
        QApplication::processEvents();
    }

    // Both drafts of the shared loading survey typed and calculated; the Daily tab on show.
    void loadingSurveyTyped()
    {
        fillHeader();
        fillDraft(initialDraft());
        calculate();
        switchTo(SurveyWindow::FinalTab);
        fillDraft(finalDraft());
        calculate();
        QCOMPARE(box("txtTotCargoLoaded")->text(),
            Decimal::parse(u"8358.60187", QLocale::c())->toLocaleString(QLocale()));
        ctrlKey(Qt::Key_PageUp);
        QCOMPARE(tabs()->currentIndex(), int(SurveyWindow::DailyTab));
    }

private slots:
    void initTestCase() { openFreshDatabase(m_dir); }

    void init()
    {
        w = new LoadingSurveyWindow;
        showWindow(w);
    }

    void cleanup()
    {
        delete w;
        w = nullptr;
        forgetMessages();
    }

    void ctrlTabReachesTheDailyTab()
    {
        QVERIFY(tabs()->isTabEnabled(SurveyWindow::DailyTab));
        // No ship yet: the keys follow the rule of a click on the tab.
        ctrlKey(Qt::Key_Tab);
        QCOMPARE(tabs()->currentIndex(), int(SurveyWindow::InitialTab));
        QCOMPARE(messages(), QStringList{QStringLiteral("Please select a ship first.")});
        forgetMessages();

        fillHeader();
        ctrlKey(Qt::Key_Tab);
        QCOMPARE(tabs()->currentIndex(), int(SurveyWindow::DailyTab));
        QCOMPARE(focused(), static_cast<QWidget*>(box("txtVoyageID")));
        // No check yet: the list and its buttons, no draft to type into.
        QCOMPARE(checks()->count(), 0);
        QVERIFY(!button("cmdRemoveCheck")->isEnabled());
        QVERIFY(!draftBoxes()->isVisible());
        // Nor the density, date and time above the tabs, which belong to a draft.
        QVERIFY(!box("txtDensity")->isEnabled());
        QVERIFY(!box("mbxDate")->isEnabled());
        ctrlKey(Qt::Key_Tab);
        QCOMPARE(tabs()->currentIndex(), int(SurveyWindow::FinalTab));
        QVERIFY(draftBoxes()->isVisible());
        QVERIFY(box("txtDensity")->isEnabled());
        ctrlKey(Qt::Key_Tab);
        QCOMPARE(tabs()->currentIndex(), int(SurveyWindow::InitialTab));
        ctrlKey(Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(tabs()->currentIndex(), int(SurveyWindow::FinalTab));
        ctrlKey(Qt::Key_PageUp);
        QCOMPARE(tabs()->currentIndex(), int(SurveyWindow::DailyTab));
        ctrlKey(Qt::Key_PageDown);
        QCOMPARE(tabs()->currentIndex(), int(SurveyWindow::FinalTab));
        // Passing over the Daily tab adds no check.
        QCOMPARE(w->model().checkCount(), 0);
        QCOMPARE(messages(), QStringList());
    }

    void everyBoxOfACheckInEnterOrder()
    {
        fillHeader();
        fillDraft(initialDraft());
        calculate();
        ctrlKey(Qt::Key_Tab);
        QCOMPARE(tabs()->currentIndex(), int(SurveyWindow::DailyTab));
        addCheckByKeys();
        QCOMPARE(w->model().checkCount(), 1);
        QCOMPARE(focused(), static_cast<QWidget*>(box("txtDensity")));
        QCOMPARE(checks()->count(), 1);
        QVERIFY(checks()->currentText().startsWith(QStringLiteral("Check 1 - ")));
        // A check is stamped with the date and time it was added, and takes the Initial marks.
        QCOMPARE(box("mbxDate")->text(), QDate::currentDate().toString(QStringLiteral("dd-MM-yyyy")));
        QCOMPARE(box("txtFwdX")->text(), QStringLiteral("0"));

        // From the header down: the list, its buttons and the planned cargo, then the draft.
        typeInto(box("txtCargo"), SurveySamples::header(SurveyFileData::Kind::Loading).cargo);
        pressEnter();
        QCOMPARE(focused(), static_cast<QWidget*>(checks()));
        pressEnter();
        QCOMPARE(focused(), static_cast<QWidget*>(button("cmdAddCheck")));
        pressEnter();
        QCOMPARE(focused(), static_cast<QWidget*>(button("cmdRemoveCheck")));
        pressEnter();
        QCOMPARE(focused(), static_cast<QWidget*>(box("txtPlannedCargo")));
        enter(QStringLiteral("9000"));
        QCOMPARE(focused(), static_cast<QWidget*>(box("txtDensity")));
        // Every box of the check, Enter after Enter, to Calculate.
        fillDraft(finalDraft());
        calculate();
        QCOMPARE(messages(), QStringList());
        QCOMPARE(box("txtCheckNetDisp")->text(), QStringLiteral("37707.23005"));
        QCOMPARE(box("txtCheckCargo")->text(),
            Decimal::parse(u"8358.60187", QLocale::c())->toLocaleString(QLocale()));
        QCOMPARE(box("txtCheckRemaining")->text(),
            Decimal::parse(u"641.39813", QLocale::c())->toLocaleString(QLocale()));
        QCOMPARE(result()->text(11, 0), QStringLiteral("Cargo Loaded"));
        QCOMPARE(result()->text(9, 1), QStringLiteral("37707.23005"));
        // Shift+Tab goes back up the same road.
        box("txtDensity")->setFocus(Qt::TabFocusReason);
        QTest::keyClick(focused(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(focused(), static_cast<QWidget*>(box("txtPlannedCargo")));
        // A planned cargo that is no figure is refused where it is typed.
        typeHere(QStringLiteral("abc"));
        pressEnter();
        QCOMPARE(focused(), static_cast<QWidget*>(box("txtPlannedCargo")));
        QCOMPARE(lastMessage(),
            QStringLiteral("Invalid value for Planned cargo.\r\n\r\nPlease enter numeric value."));
    }

    void twoChecksWithTheFinalReadingsGiveTheFinalCargo()
    {
        loadingSurveyTyped();
        const QString finalNet = box("txtFinalNetDisp")->text();
        const QString finalCargo = box("txtTotCargoLoaded")->text();
        for (int n = 1; n <= 2; ++n) {
            addCheckByKeys();
            fillDraft(finalDraft());
            calculate();
            QCOMPARE(checks()->count(), n);
            QCOMPARE(box("txtCheckNetDisp")->text(), finalNet);
            QCOMPARE(box("txtCheckCargo")->text(), finalCargo);
            QCOMPARE(result()->text(11, 1), finalCargo);
        }
        QCOMPARE(messages(), QStringList());
        // The first chosen again from the list: its own figures in the boxes.
        checks()->setFocus(Qt::TabFocusReason);
        QTest::keyClick(checks(), Qt::Key_Up);
        QApplication::processEvents();
        QCOMPARE(checks()->currentIndex(), 0);
        QCOMPARE(w->model().chosenCheck(), int(SurveyModel::FirstCheck));
        QCOMPARE(box("txtAftPort")->text(), QStringLiteral("9.6"));
        QCOMPARE(box("txtCheckCargo")->text(), finalCargo);

        // Removed, after a Yes: nothing else changes.
        MessageService::setNextAnswer(Msg::Answer::Yes);
        click(button("cmdRemoveCheck"));
        QCOMPARE(lastMessage(), QStringLiteral("Remove draft check 1 ?"));
        QCOMPARE(w->model().checkCount(), 1);
        QCOMPARE(checks()->count(), 1);
        QVERIFY(checks()->currentText().startsWith(QStringLiteral("Check 1 - ")));
        QCOMPARE(box("txtCheckCargo")->text(), finalCargo);
        switchTo(SurveyWindow::FinalTab);
        QCOMPARE(box("txtFinalNetDisp")->text(), finalNet);
        QCOMPARE(box("txtTotCargoLoaded")->text(), finalCargo);
        QCOMPARE(box("txtAftPort")->text(), QStringLiteral("9.6"));
        QCOMPARE(box("txtConstant")->text().isEmpty(), false);
        // The report of the Final is as it was; on the Daily tab, the check's.
        const std::optional<ReportLayout> finalPage = w->fillReport(true);
        QVERIFY(finalPage);
        QCOMPARE(finalPage->caption("lblReportTitle"), QStringLiteral("LOADPORT DRAFT SURVEY REPORT"));
        switchTo(SurveyWindow::DailyTab);
        const std::optional<ReportLayout> checkPage = w->fillReport(true);
        QVERIFY(checkPage);
        QVERIFY2(checkPage->caption("lblReportTitle")
                     .startsWith("LOADPORT DRAFT SURVEY REPORT - DRAFT CHECK 1, "),
            qPrintable(checkPage->caption("lblReportTitle")));
        QCOMPARE(checkPage->caption("lblTotCargoLoaded"), finalPage->caption("lblTotCargoLoaded"));
        QCOMPARE(checkPage->caption("lblInitNGDisp"), finalPage->caption("lblInitNGDisp"));

        // A No keeps the check; the last one removed leaves the list empty and no boxes to type in.
        MessageService::setNextAnswer(Msg::Answer::No);
        click(button("cmdRemoveCheck"));
        QCOMPARE(w->model().checkCount(), 1);
        MessageService::setNextAnswer(Msg::Answer::Yes);
        click(button("cmdRemoveCheck"));
        QCOMPARE(w->model().checkCount(), 0);
        QVERIFY(!draftBoxes()->isVisible());
        QCOMPARE(focused(), static_cast<QWidget*>(checks()));
        switchTo(SurveyWindow::FinalTab);
        QCOMPARE(box("txtTotCargoLoaded")->text(), finalCargo);
        QCOMPARE(box("txtAftPort")->text(), QStringLiteral("9.6"));
    }

    void aSurveyFileWithChecksOpensWithThem()
    {
        SurveyFileData data = SurveySamples::loading();
        SurveyDraftData partWay = SurveySamples::loadingFinal();
        partWay.deductibles = {{2, "150"}, {3, "100"}, {25, "150"}};
        partWay.time = QStringLiteral("14:30");
        data.draftChecks = {partWay};
        data.plannedCargo = QStringLiteral("9000");
        QVERIFY(w->enterFile(data, "checks.json").loaded());
        switchTo(SurveyWindow::DailyTab);
        QCOMPARE(checks()->count(), 1);
        QVERIFY(draftBoxes()->isVisible());
        QCOMPARE(box("mbxTime")->text(), QStringLiteral("14:30"));
        QCOMPARE(box("txtPlannedCargo")->text(), QStringLiteral("9000"));
        QCOMPARE(box("txtCheckNetDisp")->text(), QStringLiteral("37607.23005"));
        QCOMPARE(box("txtCheckRemaining")->text(),
            Decimal::parse(u"741.39813", QLocale::c())->toLocaleString(QLocale()));
        // Written again as it came.
        const SurveyFileData again = w->surveyData();
        QCOMPARE(again.draftChecks.size(), 1);
        QCOMPARE(again.draftChecks.at(0).deductibles, partWay.deductibles);
        QCOMPARE(again.plannedCargo.value_or(QString()), QStringLiteral("9000"));
        QCOMPARE(messages(), QStringList());
    }

    void theDischargingWindowHasTheDailyTabToo()
    {
        delete w;
        w = new DischargingSurveyWindow;
        showWindow(w);
        SurveyFileData data = SurveySamples::discharging();
        data.draftChecks = {SurveySamples::departure()};
        QVERIFY(w->enterFile(data, "dis.json").loaded());
        QVERIFY(tabs()->isTabEnabled(SurveyWindow::DailyTab));
        switchTo(SurveyWindow::DailyTab);
        QCOMPARE(checks()->count(), 1);
        QCOMPARE(box("txtCheckCargo")->text(),
            Decimal::parse(u"30332.47128", QLocale::c())->toLocaleString(QLocale()));
        QCOMPARE(box("txtCheckRemaining")->text(),
            Decimal::parse(u"67.52872", QLocale::c())->toLocaleString(QLocale()));
        QVERIFY(!m_window->findChild<QLineEdit*>(QStringLiteral("txtPlannedCargo")));
        QCOMPARE(result()->text(11, 0), QStringLiteral("Cargo Discharged"));
        if (!qEnvironmentVariableIsEmpty("QUORVANE_SCREENSHOTS"))
            w->grab().save(qEnvironmentVariable("QUORVANE_SCREENSHOTS") + "/daily-discharging.png");
    }

    void screenshotOfTheLoadingDailyTab()
    {
        loadingSurveyTyped();
        addCheckByKeys();
        fillDraft(finalDraft());
        calculate();
        QVERIFY(draftBoxes()->isVisible());
        if (!qEnvironmentVariableIsEmpty("QUORVANE_SCREENSHOTS"))
            w->grab().save(qEnvironmentVariable("QUORVANE_SCREENSHOTS") + "/daily-loading.png");
    }
};

QTEST_MAIN(TestDailyTab)
#include "test_daily_tab.moc"
