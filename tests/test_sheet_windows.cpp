// The survey's particulars typed in the survey window, and the calculation sheet the preview pages
// through after the report page: reached by keyboard, cancelled without a trace, and what was
// typed on the sheet the preview shows.
#include "model/SurveyDraft.h"
#include "report/CalculationSheet.h"
#include "survey/LoadingSurveyWindow.h"
#include "survey/ParticularsDialog.h"
#include "tests/SurveyWindowDriver.h"
#include "ui/ReportPreview.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QtTest>

class TestSheetWindows : public QObject, private SurveyWindowDriver {
    Q_OBJECT

private slots:
    void initTestCase() { openFreshDatabase(m_dir); }
    void init()
    {
        w = new LoadingSurveyWindow;
        showWindow(w);
        forgetMessages();
    }
    void cleanup()
    {
        // The dialog and the previews are the window's own and go with it.
        delete w;
        w = nullptr;
        forgetMessages();
    }

    void particularsByKeyboardReachTheSheet();
    void cancelledParticularsLeaveTheSurvey();
    void previewPagesThroughTheSheet();
    void aCheckHasItsReadingsTimes();

private:
    ParticularsDialog* dialog() const { return w->findChild<ParticularsDialog*>(); }
    void calculateBoth()
    {
        fillHeader();
        fillDraft(typed(SurveySamples::loadingInitial()));
        calculate();
        switchTo(2);
        fillDraft(typed(SurveySamples::loadingFinal()));
        calculate();
        QCOMPARE(messages(), QStringList());
    }

    QTemporaryDir m_dir;
    SurveyWindow* w = nullptr;
};

void TestSheetWindows::particularsByKeyboardReachTheSheet()
{
    calculateBoth();
    // Ctrl+Shift+P from wherever the focus is in the window.
    QTest::keyClick(focused(), Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
    QTRY_VERIFY(dialog());
    ParticularsDialog* d = dialog();
    QVERIFY(d->isVisible());
    QTRY_COMPARE(QApplication::focusWidget(), d->box("surveyor"));
    QTest::keyClicks(QApplication::focusWidget(), "J. Okafor");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), d->box("company"));
    QTest::keyClicks(QApplication::focusWidget(), "Meridian Marine Surveys");
    // The box takes no more than it holds.
    auto* weather = qobject_cast<QLineEdit*>(d->box("weather"));
    QCOMPARE(weather->maxLength(), 60);
    weather->setText("Fine");
    d->readingsStartBox(SurveyModel::Initial)->setText("07:40");
    d->readingsEndBox(SurveyModel::Final)->setText("18:15");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); // OK is the default
    QTRY_VERIFY2(!dialog(),
        qPrintable(QStringLiteral("%1 dialogs, %2 visible, said: %3")
                       .arg(w->findChildren<ParticularsDialog*>().size())
                       .arg(dialog() && dialog()->isVisible())
                       .arg(messages().join(" | "))));
    QCOMPARE(messages(), QStringList());

    const SurveyParticulars& p = w->model().particulars();
    QCOMPARE(p.value("surveyor"), QStringLiteral("J. Okafor"));
    QCOMPARE(p.value("company"), QStringLiteral("Meridian Marine Surveys"));
    QCOMPARE(p.value("weather"), QStringLiteral("Fine"));
    QCOMPARE(w->model().draft(SurveyModel::Initial).readingsStart(), QStringLiteral("07:40"));
    QCOMPARE(w->model().draft(SurveyModel::Final).readingsEnd(), QStringLiteral("18:15"));

    // The survey window has the keys again once the dialog is gone (the offscreen platform
    // does not hand the activation back by itself).
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QTRY_VERIFY(focused() && w->isAncestorOf(focused()));
    // The button (Alt+R) opens them again as given.
    QTest::keyClick(focused(), Qt::Key_R, Qt::AltModifier);
    QTRY_VERIFY(dialog());
    QCOMPARE(qobject_cast<QLineEdit*>(dialog()->box("surveyor"))->text(), QStringLiteral("J. Okafor"));
    QCOMPARE(dialog()->readingsStartBox(SurveyModel::Initial)->text(), QStringLiteral("07:40"));
    dialog()->reject();
    QTRY_VERIFY(!dialog());

    // The survey file keeps them; the sheet of the preview shows them.
    const SurveyFileData data = w->surveyData();
    QCOMPARE(data.particulars.value("surveyor"), QStringLiteral("J. Okafor"));
    QCOMPARE(data.initial.readingsStart, QStringLiteral("07:40"));
    w->print(true);
    QCOMPARE(messages(), QStringList());
    ReportPreview* preview = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* candidate = qobject_cast<ReportPreview*>(top))
            preview = candidate;
    QVERIFY(preview);
    QVERIFY(preview->document().sheet());
    const CalculationSheet& sheet = *preview->document().sheet();
    QCOMPARE(sheet.line("particulars.surveyor")->cells, QStringList{"J. Okafor"});
    QCOMPARE(sheet.line("initial.readingsStart")->cells, QStringList{"07:40"});
    QCOMPARE(sheet.line("signatures")->cells.value(1), QStringLiteral("J. Okafor"));
    QCOMPARE(
        sheet.line("final.netDisplacement")->cells, QStringList{preview->layout().caption("lblFinNGDisp")});
    QCOMPARE(sheet.line("result.cargo")->cells, QStringList{"8358.60187 MT"});
}

// A draft check added on the Daily tab has its own row of readings times, between the Initial's
// and the Final's in Tab order, kept by the check's draft and its survey file.
void TestSheetWindows::aCheckHasItsReadingsTimes()
{
    fillHeader();
    switchTo(1);
    QTest::mouseClick(w->findChild<QPushButton*>("cmdAddCheck"), Qt::LeftButton);
    QCOMPARE(w->model().checkCount(), 1);
    forgetMessages();
    QTest::keyClick(focused(), Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
    QTRY_VERIFY(dialog());
    ParticularsDialog* d = dialog();
    QLineEdit* start = d->readingsStartBox(SurveyModel::FirstCheck);
    QVERIFY(start);
    QCOMPARE(start->objectName(), QStringLiteral("txtCheck1ReadingsStart"));
    QTRY_COMPARE(QApplication::focusWidget(), d->box("surveyor"));
    d->readingsEndBox(SurveyModel::Initial)->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), d->readingsEndBox(SurveyModel::Initial));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), start);
    QTest::keyClicks(start, "12:05");
    QTest::keyClick(start, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), d->readingsEndBox(SurveyModel::FirstCheck));
    QTest::keyClicks(QApplication::focusWidget(), "12:40");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), d->readingsStartBox(SurveyModel::Final));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_VERIFY(!dialog());
    QCOMPARE(messages(), QStringList());
    QCOMPARE(w->model().draft(SurveyModel::FirstCheck).readingsStart(), QStringLiteral("12:05"));
    QCOMPARE(w->model().draft(SurveyModel::FirstCheck).readingsEnd(), QStringLiteral("12:40"));
    const SurveyFileData data = w->surveyData();
    QCOMPARE(data.draftChecks.size(), 1);
    QCOMPARE(data.draftChecks.at(0).readingsEnd, QStringLiteral("12:40"));
}

void TestSheetWindows::cancelledParticularsLeaveTheSurvey()
{
    click(find<QPushButton>("cmdParticulars"));
    QTRY_VERIFY(dialog());
    qobject_cast<QLineEdit*>(dialog()->box("master"))->setText("A. Lindqvist");
    dialog()->readingsEndBox(SurveyModel::Initial)->setText("09:00");
    QTest::keyClick(dialog(), Qt::Key_Escape);
    QTRY_VERIFY(!dialog());
    QVERIFY(w->model().particulars().isEmpty());
    QCOMPARE(w->model().draft(SurveyModel::Initial).readingsEnd(), QString());

    // A pasted tab is refused where it stands, with the box keeping the focus.
    click(find<QPushButton>("cmdParticulars"));
    QTRY_VERIFY(dialog());
    auto* master = qobject_cast<QLineEdit*>(dialog()->box("master"));
    master->setText("A.\tLindqvist");
    MessageService::setNextAnswer(Msg::Answer::Ok);
    dialog()->accept();
    QCOMPARE(messages().size(), 1);
    QVERIFY2(lastMessage().startsWith("Master cannot be taken: it holds a control character"),
        qPrintable(lastMessage()));
    QVERIFY(dialog());
    QVERIFY(w->model().particulars().isEmpty());
    dialog()->reject();
}

// The preview holds the report page and the sheet's pages, and pages through them.
void TestSheetWindows::previewPagesThroughTheSheet()
{
    calculateBoth();
    w->print(true);
    ReportPreview* preview = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* candidate = qobject_cast<ReportPreview*>(top))
            preview = candidate;
    QVERIFY(preview);
    QPrintPreviewWidget* pages = preview->previewWidget();
    const int count = preview->document().pageCount();
    QVERIFY(count >= 3);
    QTRY_COMPARE(pages->pageCount(), count);
    QCOMPARE(pages->currentPage(), 1);
    preview->findChild<QAction*>("actNextPage")->trigger();
    QCOMPARE(pages->currentPage(), 2);
    for (int i = 0; i < count + 2; ++i)
        preview->findChild<QAction*>("actNextPage")->trigger();
    QCOMPARE(pages->currentPage(), count);
    preview->findChild<QAction*>("actPreviousPage")->trigger();
    QCOMPARE(pages->currentPage(), count - 1);
    // The report page itself is the page as filled, with no sheet caption on it.
    QCOMPARE(preview->layout().caption("lblTotCargoLoaded"), QStringLiteral("8358.60187 MT"));
}

QTEST_MAIN(TestSheetWindows)
#include "test_sheet_windows.moc"
