// The tank sheet in both survey windows, driven by keys: hidden for a ship without tank tables (the
// window's keys as they were), shown for one with them, reached by Enter from the last deductible,
// a reading typed into it, a refused figure told and put back, and Calculate filling the
// deductibles with the group totals the survey works out.
#include "core/MessageService.h"
#include "db/Database.h"
#include "model/SurveyModel.h"
#include "model/TankTable.h"
#include "survey/DischargingSurveyWindow.h"
#include "survey/GridEditor.h"
#include "survey/LoadingSurveyWindow.h"
#include "survey/SurveyWindow.h"
#include "survey/TankSheetPanel.h"
#include "tests/SurveyWindowDriver.h"
#include "tests/TankTestTables.h"
#include "tests/TestSupport.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace TankTestTables;

class TestTankSheetWindow : public QObject, private SurveyWindowDriver {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    SurveyWindow* w = nullptr;

    TankSheetPanel* sheet() const { return find<TankSheetPanel>("fgrdTanks"); }

    // Typing into the current cell opens its box with the first key; the rest goes to the box.
    void typeInSheet(const QString& text)
    {
        QTest::keyClick(sheet(), text.at(0).toLatin1());
        QTest::keyClicks(QApplication::focusWidget(), text.mid(1));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }

    // The window filled down the Enter route to the last deductible, as the driver does, by
    // default with the light draft of Ocean Pride (trimmed about 1.2 m by the stern).
    void fillToTheDeductibles(const Draft& d = lightDraft())
    {
        typeInto(box("txtDensity"), d.density);
        pressEnter();
        pressEnter();
        pressEnter();
        QCOMPARE(focused(), static_cast<QWidget*>(box("txtFwdPort")));
        for (const QString& r : d.readings)
            enter(r);
        for (const QString& m : d.marks)
            enter(m);
        for (int c = 0; c < 4; ++c) {
            enter(d.below[c]);
            enter(d.above[c]);
        }
        enter(d.mctcPlus[0]);
        enter(d.mctcPlus[1]);
        enter(d.mctcMinus[0]);
        enter(d.mctcMinus[1]);
        QCOMPARE(focused(), static_cast<QWidget*>(box("txtGridTextbox")));
        for (const QString& q : d.deductions)
            enter(q);
    }

private slots:
    void initTestCase()
    {
        openFreshDatabase(m_dir);
        // Ocean Pride has tank tables; Bay Trader has none.
        TankTables t;
        t.tanks = {ballastTank(), ullageTank()};
        TankTables::saveForShip(1, t);
    }

    void cleanup()
    {
        delete w;
        w = nullptr;
        forgetMessages();
    }

    void sheetInBothWindows_data()
    {
        QTest::addColumn<bool>("discharging");
        QTest::newRow("loading") << false;
        QTest::newRow("discharging") << true;
    }
    void sheetInBothWindows()
    {
        QFETCH(bool, discharging);
        w = discharging ? static_cast<SurveyWindow*>(new DischargingSurveyWindow)
                        : static_cast<SurveyWindow*>(new LoadingSurveyWindow);
        showWindow(w);
        pickShip(QStringLiteral("Bay Trader"));
        QVERIFY(!sheet()->isVisible());
        fillHeader(); // Ocean Pride
        QVERIFY(sheet()->isVisible());
        QCOMPARE(sheet()->rowCount(), 2);
        QCOMPARE(sheet()->item(0, TankSheetPanel::TankColumn)->text(), QStringLiteral("DB1P"));
        QCOMPARE(sheet()->item(1, TankSheetPanel::GroupColumn)->text(), QStringLiteral("Fresh Water"));
        // The tank's own density stands until another is typed.
        QCOMPARE(sheet()->item(0, TankSheetPanel::DensityColumn)->text(), QStringLiteral("1.025"));

        fillToTheDeductibles();
        // Enter on the last deductible goes on to the tank sheet, and Tab from it to Calculate.
        QCOMPARE(focused(), static_cast<QWidget*>(sheet()));
        sheet()->setCurrentCell(0, TankSheetPanel::ReadingColumn);
        typeInSheet(QStringLiteral("75"));
        QTRY_COMPARE(
            w->model().tankSheet(SurveyModel::Initial).readings.value(QStringLiteral("DB1P")).reading,
            QStringLiteral("75"));

        // A reading below nought is refused with the tank named, and the cell shows what stands.
        forgetMessages();
        sheet()->setFocus();
        sheet()->setCurrentCell(1, TankSheetPanel::ReadingColumn);
        typeInSheet(QStringLiteral("-5"));
        QTRY_VERIFY(!messages().isEmpty());
        QVERIFY2(lastMessage().contains(
                     QStringLiteral("The reading of tank FWT can be a number 0 or more and less "
                                    "than 10000 cm.")),
            qPrintable(lastMessage()));
        QTRY_COMPARE(sheet()->item(1, TankSheetPanel::ReadingColumn)->text(), QString());
        QVERIFY(!w->model().tankSheet(SurveyModel::Initial).readings.contains(QStringLiteral("FWT")));

        sheet()->setFocus();
        QTest::keyClick(sheet(), Qt::Key_Tab);
        QCOMPARE(focused(), static_cast<QWidget*>(find<QPushButton>("cmdCalculate")));
        forgetMessages();
        calculate();
        QVERIFY2(w->model().calculated(SurveyModel::Initial), qPrintable(messages().join(u'|')));
        // The Ballast line (the fifth) holds the weight of DB1P; Fresh Water keeps its typed 120.
        const TankSheetWork::Result worked = w->model().tankWork(SurveyModel::Initial);
        QCOMPARE(worked.lines.size(), 1);
        const TankSheetWork::Line& line = worked.lines.first();
        QTRY_COMPARE(sheet()->item(0, TankSheetPanel::WeightColumn)->text(), line.weight);
        QCOMPARE(sheet()->item(0, TankSheetPanel::TrimColumn)->text(), line.trim);
        QCOMPARE(sheet()->item(0, TankSheetPanel::VolumeColumn)->text(), line.volume);
        QCOMPARE(grid("fgrdDeduction")->text(4, 1), line.weight);
        QCOMPARE(grid("fgrdDeduction")->text(3, 1), QStringLiteral("120"));
        QCOMPARE(w->model().inputs(SurveyModel::Initial).deductibles.value(26), line.weight);
    }

    // A draft check on the Daily tab has a tank sheet of its own: read and worked out at the
    // check's trim into the check's deductibles, the Initial draft's sheet left as it was.
    void sheetOfADraftCheck()
    {
        w = new LoadingSurveyWindow;
        showWindow(w);
        fillHeader(); // Ocean Pride
        fillToTheDeductibles(typed(SurveySamples::loadingInitial()));
        QCOMPARE(focused(), static_cast<QWidget*>(sheet()));
        calculate();
        QVERIFY2(w->model().calculated(SurveyModel::Initial), qPrintable(messages().join(u'|')));
        QTest::keyClick(focused(), Qt::Key_Tab, Qt::ControlModifier);
        QApplication::processEvents();
        QCOMPARE(tabs()->currentIndex(), int(SurveyWindow::DailyTab));
        find<QPushButton>("cmdAddCheck")->setFocus(Qt::TabFocusReason);
        QTest::keyClick(focused(), Qt::Key_Space);
        QApplication::processEvents();
        const int check = SurveyModel::FirstCheck;
        QCOMPARE(w->model().checkCount(), 1);
        QVERIFY(sheet()->isVisible());
        QCOMPARE(sheet()->draft(), check);
        QCOMPARE(sheet()->item(0, TankSheetPanel::ReadingColumn)->text(), QString());

        fillToTheDeductibles();
        QCOMPARE(focused(), static_cast<QWidget*>(sheet()));
        sheet()->setCurrentCell(0, TankSheetPanel::ReadingColumn);
        typeInSheet(QStringLiteral("75"));
        QTRY_COMPARE(w->model().tankSheet(check).readings.value(QStringLiteral("DB1P")).reading,
            QStringLiteral("75"));
        forgetMessages();
        calculate();
        QVERIFY2(w->model().calculated(check), qPrintable(messages().join(u'|')));
        const TankSheetWork::Result worked = w->model().tankWork(check);
        QCOMPARE(worked.lines.size(), 1);
        QTRY_COMPARE(sheet()->item(0, TankSheetPanel::WeightColumn)->text(), worked.lines.first().weight);
        QCOMPARE(w->model().inputs(check).deductibles.value(26), worked.lines.first().weight);
        QVERIFY(w->model().tankSheet(SurveyModel::Initial).isEmpty());

        // The Initial tab shows the Initial draft's sheet, without the check's reading.
        switchTo(SurveyWindow::InitialTab);
        QCOMPARE(sheet()->draft(), int(SurveyModel::Initial));
        QCOMPARE(sheet()->item(0, TankSheetPanel::ReadingColumn)->text(), QString());
    }
};

QTEST_MAIN(TestTankSheetWindow)
#include "test_tank_sheet_window.moc"
