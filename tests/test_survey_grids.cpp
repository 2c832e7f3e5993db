// The grids of a survey window, driven as a surveyor drives them: typing into the floating boxes,
// Enter, Tab, the arrow keys and clicks, and checking what the cells, the boxes, the messages and
// the focus then show. The grids sit in a small stand-in window that answers the few questions
// the grids ask of a survey window; the last case but one looks at them in the Loading window.
#include "shell/ChildRegistry.h"
#include "db/Database.h"
#include "ui/FieldGuard.h"
#include "core/MessageService.h"
#include "shell/MainWindow.h"
#include "db/Connection.h"
#include "db/RowSet.h"
#include "db/SqlCatalogue.h"
#include "model/VariantArray2D.h"
#include "model/SurveyDraft.h"
#include "survey/GridEditor.h"
#include "survey/SurveyGrids.h"
#include "survey/LoadingSurveyWindow.h"
#include "tests/SurveySamples.h"
#include "tests/TestSupport.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

#include <utility>

namespace {

using TestSupport::messageTexts;

const QString Hydrostatic = QStringLiteral("Hydrostatic Data Table");

QString joined(const char* headline, const char* detail)
{
    return QString::fromLatin1(headline) + QStringLiteral("\r\n\r\n") + QString::fromLatin1(detail);
}

// A survey window reduced to what the grids need: a ship list, the Aft X box (Enter there leads
// into the hydrostatic grid) and the Calculate button that follows the deductibles.
class StandInWindow : public QWidget, public SurveyGridsHost {
public:
    explicit StandInWindow(bool discharging) : m_discharging(discharging)
    {
        guard = new FieldGuard(this);
        ship = new QComboBox(this);
        ship->setObjectName(QStringLiteral("dcbShip"));
        ship->addItems({QString(), QStringLiteral("MV Kestrel Bay")});
        ship->setCurrentIndex(1);
        aftX = new QLineEdit(this);
        aftX->setObjectName(QStringLiteral("txtAftX"));
        grids = new SurveyGrids(*this, *guard, this);
        calculate = new QPushButton(QStringLiteral("&Calculate"), this);
        calculate->setObjectName(QStringLiteral("cmdCalculate"));

        auto* layout = new QVBoxLayout(this);
        layout->addWidget(ship);
        layout->addWidget(aftX);
        auto* tables = new QHBoxLayout;
        tables->addWidget(grids->hdtGrid());
        tables->addWidget(grids->mctcp50Grid());
        tables->addWidget(grids->mctcm50Grid());
        layout->addLayout(tables);
        layout->addWidget(grids->ipResultGrid());
        layout->addWidget(grids->ipResultMctcp50Grid());
        layout->addWidget(grids->ipResultMctcm50Grid());
        layout->addWidget(grids->resultGrid());
        layout->addWidget(grids->deductionGrid());
        layout->addWidget(calculate);
        setTabOrder(ship, aftX);
        setTabOrder(aftX, grids->hdtEditor());
        setTabOrder(grids->hdtEditor(), grids->mpEditor());
        setTabOrder(grids->mpEditor(), grids->mmEditor());
        setTabOrder(grids->mmEditor(), grids->deductionEditor());
        setTabOrder(grids->deductionEditor(), calculate);
        aftX->installEventFilter(this);
    }

    bool isFilling() const override { return loading; }
    bool requireShip() override
    {
        if (!ship->currentText().isEmpty())
            return true;
        MessageService::show(QStringLiteral("Please select a ship first."), Msg::Buttons::Ok,
                             Msg::Icon::Exclamation);
        ship->setFocus();
        return false;
    }
    QString className() const override
    {
        return m_discharging ? QStringLiteral("frmZODuraduza") : QStringLiteral("frmQuorvane");
    }
    bool isDischarging() const override { return m_discharging; }
    // The grids hand their figures to a survey of the window's kind, as the Initial draft's.
    SurveyInputRules::Outcome enterTableFigure(SurveyModel::Table table, int row, int column,
                                               const QString& typed) override
    {
        return survey.enterTable(SurveyModel::Initial, table, row, column, typed);
    }
    SurveyInputRules::Outcome enterDeduction(int itemId, const QString& typed) override
    {
        return survey.enterDeductible(SurveyModel::Initial, itemId, typed);
    }
    void tablesEdited() override { ++tableEdits; }
    void resetResultGrids() override
    {
        ++resultResets;
        grids->resetInterpolationGrids();
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // The window's Enter rule for the last mark distance.
        if (watched == aftX && event->type() == QEvent::KeyPress
            && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Return) {
            grids->enterFromAftX();
            return true;
        }
        return QWidget::eventFilter(watched, event);
    }

    FieldGuard* guard;
    QComboBox* ship;
    QLineEdit* aftX;
    SurveyGrids* grids;
    QPushButton* calculate;
    bool loading = false;
    int tableEdits = 0;
    int resultResets = 0;

private:
    bool m_discharging;

public:
    SurveyModel survey{m_discharging ? SurveyModel::Kind::Discharging : SurveyModel::Kind::Loading};
};

// A ship of LBP 180 m and light ship 8,000 t with nothing else, for the cases that need one.
void addShip(const QString& name)
{
    SqlCatalogue::ShipValues v;
    v.shipName = name;
    v.lbp = QStringLiteral("180");
    v.loa = v.breadth = v.officialNo = v.grossTonnage = v.netTonnage = QStringLiteral("0");
    v.lightShip = QStringLiteral("8000");
    v.portOfRegistry = QStringLiteral("NULL");
    v.imoNo = v.summerDraft = v.summerDeadweight = QStringLiteral("0");
    sharedConnection().execute(SqlCatalogue::insertShip(v));
}

}  // namespace

class TestSurveyGrids : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    StandInWindow* w = nullptr;

    SurveyGrids& grids() { return *w->grids; }
    GridEditor* hdt() { return w->grids->hdtGrid(); }
    GridEditor* mp() { return w->grids->mctcp50Grid(); }
    GridEditor* mm() { return w->grids->mctcm50Grid(); }
    GridEditor* ded() { return w->grids->deductionGrid(); }

    void open(bool discharging)
    {
        delete w;
        w = new StandInWindow(discharging);
        w->grids->initializeAllGrids(true);
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        MessageService::clearRecords();
    }

    // A click on a cell, as the user picks it with the mouse.
    static void click(GridEditor* grid, int row, int column)
    {
        const QRect cell = grid->visualRect(grid->model()->index(row, column));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    }

    static void type(GridEditor* grid, const QString& text)
    {
        QTest::keyClicks(grid->editor(), text);
    }

    static void enter(GridEditor* grid) { QTest::keyClick(grid->editor(), Qt::Key_Return); }

    // The cell's text fits its column in the grid's font (bold where the cell is), with the
    // margins the view keeps either side.
    static bool showsWhole(const SurveyGrid* grid, int row, int column)
    {
        const QString text = grid->text(row, column);
        if (text.isEmpty())
            return true;
        QFont f = grid->font();
        f.setBold(grid->cellBold(row, column));
        const int margin = grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1;
        return QFontMetrics(f).horizontalAdvance(text) + 2 * margin < grid->columnWidth(column);
    }

    // Whether anything but the cell's background is drawn in the cell (the box kept elsewhere).
    static bool inkIn(GridEditor* grid, int row, int column)
    {
        grid->setCurrentQuietly(1, 1);
        const QRect cell = grid->visualRect(grid->model()->index(row, column)).adjusted(1, 1, -2, -2);
        const QImage image = grid->viewport()->grab(cell).toImage();
        const QRgb background = image.pixel(0, 0);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) != background)
                    return true;
        return false;
    }

    void expectOneMessage(const QString& text, const QString& title = MessageService::appTitle())
    {
        const QList<MessageRecord> records = MessageService::records();
        QCOMPARE(messageTexts(), QStringList{text});
        QCOMPARE(records.first().title, title);
        MessageService::clearRecords();
    }

    // The tables of the shared loading survey's Initial draft (SurveySamples): the Below and Above
    // rows of the hydrostatic table in the order Enter walks them, and the MCTC+50 and MCTC-50
    // rows, Below then Above.
    static QStringList workedExample()
    {
        const SurveyDraftData d = SurveySamples::loadingInitial();
        QStringList rows;
        for (int c = 0; c < 4; ++c)
            rows << d.below[c] << d.above[c];
        return rows;
    }
    static QStringList workedMctc()
    {
        const SurveyDraftData d = SurveySamples::loadingInitial();
        return {d.mctcPlus50Below, d.mctcPlus50Above, d.mctcMinus50Below, d.mctcMinus50Above};
    }

    // Types the Below and Above rows of all three tables with Enter, from Aft X on.
    void fillTables(const QStringList& hdtBelowAbove, const QStringList& mctc)
    {
        w->aftX->setFocus();
        QTRY_VERIFY(w->aftX->hasFocus());
        QTest::keyClick(w->aftX, Qt::Key_Return);
        for (const QString& v : hdtBelowAbove) {
            QWidget* box = QApplication::focusWidget();
            QVERIFY(box == hdt()->editor() || box == mp()->editor());
            QTest::keyClicks(box, v);
            QTest::keyClick(box, Qt::Key_Return);
        }
        for (const QString& v : mctc) {
            QWidget* box = QApplication::focusWidget();
            QTest::keyClicks(box, v);
            QTest::keyClick(box, Qt::Key_Return);
        }
    }

private Q_SLOTS:
    void initTestCase()
    {
        TestSupport::initTestEnvironment();
        QVERIFY(m_dir.isValid());
        QVERIFY(TestSupport::openFreshDatabaseCopy(m_dir));
    }

    void init() { open(false); }

    void cleanupTestCase()
    {
        delete w;
        w = nullptr;
    }

    void gridsAreLaidOutWithTheirCaptionsWidthsAndColours()
    {
        QCOMPARE(w->findChild<QWidget*>(QStringLiteral("fgrdHDT")), hdt());
        for (const char* name : {"fgrdMCTCP50", "fgrdMCTCM50", "fgrdDeduction", "fgrdIpResult",
                                 "fgrdIpResultMCTCP50", "fgrdIpResultMCTCM50", "fgrdResult"})
            QVERIFY2(w->findChild<QTableWidget*>(QLatin1String(name)), name);
        for (const char* name :
             {"txtHDTGridTextbox", "txtMPGridTextbox", "txtMMGridTextbox", "txtGridTextbox"})
            QVERIFY2(w->findChild<QLineEdit*>(QLatin1String(name)), name);

        QCOMPARE(hdt()->rowCount(), 4);
        QCOMPARE(hdt()->columnCount(), 7);
        const QStringList hdtCaptions = {"",    "Hyd. Draft", "Displacement", "TPC",
                                         "LCF", "MCTC+50",    "MCTC-50"};
        for (int c = 1; c < 7; ++c)
            QCOMPARE(hdt()->text(0, c), hdtCaptions.at(c));
        QCOMPARE(hdt()->text(3, 0), QStringLiteral("Difference"));
        QCOMPARE(mp()->text(0, 1), QStringLiteral("Hyd. Draft"));
        QCOMPARE(mm()->text(0, 1), QStringLiteral("Hyd.Draft"));
        QCOMPARE(mm()->text(0, 2), QStringLiteral("MCTC-50"));
        QCOMPARE(grids().resultGrid()->text(4, 0), QStringLiteral("dMCTC"));
        QCOMPARE(grids().ipResultGrid()->text(0, 0), QStringLiteral("Interpolated Values"));
        QCOMPARE(grids().ipResultMctcm50Grid()->text(1, 0), QStringLiteral("Result"));

        // Twips at 96 dots to the inch: fifteen to the pixel. The measured widths are the least a
        // column gets; a caption that needs more in today's font widens its column.
        QCOMPARE(hdt()->twipsToPixels(900), hdt()->logicalDpiX() == 96 ? 60 : hdt()->twipsToPixels(900));
        QVERIFY(hdt()->columnWidth(0) >= hdt()->twipsToPixels(900));
        QVERIFY(hdt()->columnWidth(2) >= hdt()->twipsToPixels(1100));
        QVERIFY(ded()->columnWidth(1) >= ded()->twipsToPixels(1630));
        QVERIFY(grids().ipResultGrid()->columnWidth(0) >= hdt()->twipsToPixels(1850));
        QVERIFY(grids().ipResultGrid()->columnWidth(1) >= hdt()->twipsToPixels(1130));
        QVERIFY(grids().ipResultMctcp50Grid()->columnWidth(1) >= hdt()->twipsToPixels(985));
        QVERIFY(grids().resultGrid()->columnWidth(0) >= hdt()->twipsToPixels(1014));

        const QColor yellow(253, 252, 210);
        for (int c = 1; c <= 4; ++c)
            QCOMPARE(hdt()->cellBackground(3, c), yellow);
        QVERIFY(hdt()->cellBackground(1, 1) != yellow);
        QCOMPARE(mp()->cellBackground(1, 1), yellow);
        QCOMPARE(mp()->cellBackground(3, 2), yellow);
        QVERIFY(mp()->cellBackground(2, 2) != yellow);
        QCOMPARE(grids().resultGrid()->cellBackground(2, 1), yellow);
        QVERIFY(hdt()->item(1, 2)->textAlignment() & Qt::AlignRight);

        // The catalogue in its stored order, one row per item.
        QCOMPARE(ded()->rowCount(), 8);
        QCOMPARE(ded()->text(0, 0), QStringLiteral("Fuel Oil"));
        QCOMPARE(ded()->text(7, 0), QStringLiteral("Misc-2"));
        QCOMPARE(w->resultResets, 1);

        // Captions never become current; each box lies over its grid's current cell.
        QCOMPARE(hdt()->row(), 1);
        QCOMPARE(hdt()->col(), 1);
        click(hdt(), 0, 3);
        click(hdt(), 2, 0);
        QCOMPARE(hdt()->row(), 1);
        QCOMPARE(hdt()->col(), 1);
        QCOMPARE(mp()->col(), 2);
        QCOMPARE(ded()->row(), 0);
        QCOMPARE(ded()->col(), 1);
        QCOMPARE(hdt()->editor()->geometry(), hdt()->visualRect(hdt()->model()->index(1, 1)));
        click(hdt(), 2, 3);
        QCOMPARE(hdt()->editor()->geometry(), hdt()->visualRect(hdt()->model()->index(2, 3)));
        QTRY_VERIFY(hdt()->editor()->hasFocus());
    }

    // Every caption, and the figures a survey puts in the cells, read whole: nothing is cut
    // short to "Displace..." or "Interpolated Valu...".
    void captionsAndFiguresShowWhole()
    {
        const QList<SurveyGrid*> all = {hdt(), mp(), mm(), ded(), grids().ipResultGrid(),
                                        grids().ipResultMctcp50Grid(), grids().ipResultMctcm50Grid(),
                                        grids().resultGrid()};
        for (SurveyGrid* g : all)
            for (int r = 0; r < g->rowCount(); ++r)
                for (int c = 0; c < g->columnCount(); ++c)
                    if (!g->isColumnHidden(c))
                        QVERIFY2(showsWhole(g, r, c), qPrintable(g->objectName() + ": " + g->text(r, c)));

        // Figures as a capesize's survey gives them, in the columns that take them.
        const struct {
            SurveyGrid* grid;
            int row, column;
            const char* figure;
        } figures[] = {
            {hdt(), 1, 1, "12.3456"},   {hdt(), 1, 2, "201234.5678"}, {hdt(), 1, 3, "121.345"},
            {hdt(), 1, 4, "-65.4967"},  {mp(), 2, 1, "12.8456"},      {mp(), 2, 2, "2345.678"},
            {grids().ipResultGrid(), 1, 1, "201234.56789"}, {grids().ipResultGrid(), 0, 3, "-65.497"},
            {grids().ipResultMctcm50Grid(), 1, 1, "2345.678"}, {grids().resultGrid(), 1, 1, "-65.497"},
            {grids().resultGrid(), 4, 1, "52.345"},
            {ded(), 0, 1, "123456.7891"},
        };
        for (const auto& f : figures) {
            f.grid->setText(f.row, f.column, QLatin1String(f.figure));
            QVERIFY2(showsWhole(f.grid, f.row, f.column), f.figure);
        }
    }

    // fgrdIpResult stands under fgrdHDT column for column, and each MCTC result grid under its
    // table, so that the tables' captions head the interpolated figures.
    void interpolationGridsLineUpUnderTheirTables()
    {
        SurveyGrid* ip = grids().ipResultGrid();
        QCOMPARE(ip->columnWidth(0), hdt()->columnWidth(0) + hdt()->columnWidth(1));
        for (int c = 1; c < 6; ++c)
            QCOMPARE(ip->columnWidth(c), hdt()->columnWidth(c + 1));
        for (const auto& [table, result] : {std::pair{mp(), grids().ipResultMctcp50Grid()},
                                            std::pair{mm(), grids().ipResultMctcm50Grid()}}) {
            QCOMPARE(result->columnWidth(0), table->columnWidth(0) + table->columnWidth(1));
            QCOMPARE(result->columnWidth(1), table->columnWidth(2));
            // The third column is never written: the grid is no wider than its table.
            QVERIFY(result->isColumnHidden(2));
            QCOMPARE(result->sizeHint().width(), table->sizeHint().width());
        }
        QCOMPARE(ip->sizeHint().width(), hdt()->sizeHint().width());
        // The layout is the same after a reset.
        const int displacement = hdt()->columnWidth(2);
        grids().initializeAllGrids(true);
        QCOMPARE(hdt()->columnWidth(2), displacement);
        QCOMPARE(ip->columnWidth(1), displacement);
    }

    // The whole deductibles catalogue is in view, no scroll bar; moving down it scrolls nothing.
    void theDeductiblesShowEveryItem()
    {
        QCOMPARE(ded()->rowCount(), 8);
        QTRY_COMPARE(ded()->height(), ded()->sizeHint().height());
        QVERIFY(!ded()->verticalScrollBar()->isVisible());
        const int lastBottom = ded()->visualRect(ded()->model()->index(7, 1)).bottom();
        QVERIFY(lastBottom < ded()->viewport()->height());
        click(ded(), 0, 1);
        for (int r = 0; r < 7; ++r)
            enter(ded());
        QCOMPARE(ded()->row(), 7);
        QCOMPARE(ded()->verticalScrollBar()->value(), 0);
        QCOMPARE(ded()->editor()->geometry(), ded()->visualRect(ded()->model()->index(7, 1)));
    }

    // A figure is typed where the cell shows it: right in the figure columns.
    void boxesStandWhereTheirCellsShowText()
    {
        click(hdt(), 1, 2);
        QTRY_VERIFY(hdt()->editor()->hasFocus());
        QVERIFY(hdt()->editor()->alignment() & Qt::AlignRight);
        QCOMPARE(hdt()->editor()->geometry(), hdt()->visualRect(hdt()->model()->index(1, 2)));
        click(ded(), 3, 1);
        QTRY_VERIFY(ded()->editor()->hasFocus());
        QVERIFY(ded()->editor()->alignment() & Qt::AlignRight);
        QCOMPARE(ded()->editor()->geometry(), ded()->visualRect(ded()->model()->index(3, 1)));
    }

    void draftTypedIntoHdtFollowsIntoTheMctcTables()
    {
        click(hdt(), 1, 1);
        QTRY_VERIFY(hdt()->editor()->hasFocus());
        type(hdt(), QStringLiteral("8.2"));
        QCOMPARE(mp()->text(1, 1), QStringLiteral("8.7"));
        QCOMPARE(mm()->text(1, 1), QStringLiteral("7.7"));
        QCOMPARE(hdt()->text(1, 1), QString());  // not committed while typing
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(hdt()->editor(), Qt::Key_Backspace);
        QCOMPARE(mp()->text(1, 1), QString());
        QCOMPARE(mm()->text(1, 1), QString());

        // The Above row likewise; an MCTC box standing on the cell follows too.
        click(mp(), 2, 1);
        QVERIFY(mp()->editor()->isReadOnly());
        QCOMPARE(mp()->editor()->palette().color(QPalette::Base), QColor(253, 252, 210));
        click(hdt(), 2, 1);
        type(hdt(), QStringLiteral("7.25"));
        QCOMPARE(mp()->editor()->text(), QStringLiteral("7.75"));
        QCOMPARE(mm()->text(2, 1), QStringLiteral("6.75"));
        // Leaving commits 4 places; the MCTC drafts keep the figure as typed.
        click(hdt(), 2, 2);
        QCOMPARE(hdt()->text(2, 1), QStringLiteral("7.25"));
        click(hdt(), 2, 1);
        QCOMPARE(hdt()->editor()->text(), QStringLiteral("7.25"));
        hdt()->editor()->clear();
        type(hdt(), QStringLiteral("7.123456"));
        click(hdt(), 1, 2);
        QCOMPARE(hdt()->text(2, 1), QStringLiteral("7.1235"));
        QCOMPARE(mp()->text(2, 1), QStringLiteral("7.623456"));
        QVERIFY(messageTexts().isEmpty());
    }

    void typingCheckRefusesLettersInTheLoadingWindow()
    {
        click(hdt(), 1, 1);
        QTRY_VERIFY(hdt()->editor()->hasFocus());
        type(hdt(), QStringLiteral("-"));
        hdt()->editor()->clear();
        type(hdt(), QStringLiteral("."));
        hdt()->editor()->clear();
        QVERIFY(messageTexts().isEmpty());
        type(hdt(), QStringLiteral("8a"));
        expectOneMessage(joined("Invalid value...!", "Only numbers are allowed."));
        QCOMPARE(MessageService::records().size(), 0);
        QCOMPARE(hdt()->editor()->text(), QString());
        QCOMPARE(mp()->text(1, 1), QString());
        QCOMPARE(mm()->text(1, 1), QString());
        QVERIFY(hdt()->editor()->hasFocus());
    }

    void enterLeadsFromAftXThroughEveryTableToTheDeductibles()
    {
        fillTables(workedExample(), workedMctc());
        QCOMPARE(QApplication::focusWidget(), grids().deductionEditor());
        QCOMPARE(ded()->row(), 0);
        const QStringList below = {"7.2", "30000", "40", "-2.5"};
        const QStringList above = {"7.3", "30400", "40.2", ""};
        for (int c = 1; c <= 4; ++c) {
            QCOMPARE(hdt()->text(1, c), below.at(c - 1));
            QCOMPARE(hdt()->text(2, c), above.at(c - 1));
        }
        // The last HDT figure still stands in its box: leaving for another table commits nothing.
        QCOMPARE(hdt()->editor()->text(), QStringLiteral("-2.4"));
        QCOMPARE(mp()->text(1, 1), QStringLiteral("7.7"));
        QCOMPARE(mp()->text(2, 1), QStringLiteral("7.8"));
        QCOMPARE(mm()->text(2, 1), QStringLiteral("6.8"));
        QCOMPARE(mp()->text(1, 2), QStringLiteral("420"));
        QCOMPARE(mp()->editor()->text(), QStringLiteral("424"));
        QCOMPARE(mm()->text(1, 2), QStringLiteral("400"));
        QCOMPARE(mm()->editor()->text(), QStringLiteral("403"));
        QVERIFY(messageTexts().isEmpty());

        // Down the deductibles with Enter, and out of the grid from the last row.
        for (int r = 0; r < 7; ++r) {
            QTest::keyClicks(ded()->editor(), QString::number(10 + r));
            enter(ded());
            QCOMPARE(ded()->row(), r + 1);
        }
        QCOMPARE(ded()->text(6, 1), QStringLiteral("16"));
        enter(ded());
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w->calculate));
        QVERIFY(messageTexts().isEmpty());
    }

    void enterRefusesATextThatIsNoFigure()
    {
        click(mp(), 1, 2);
        QTRY_VERIFY(mp()->editor()->hasFocus());
        type(mp(), QStringLiteral("42x"));  // the MCTC boxes have no check while typing
        enter(mp());
        expectOneMessage(QStringLiteral("Invalid value. Only numbers are allowed."), Hydrostatic);
        QCOMPARE(mp()->row(), 1);
        QCOMPARE(mp()->editor()->text(), QString());
        // A range error still travels with Enter; the calculation checks it later.
        type(mp(), QStringLiteral("100000"));
        enter(mp());
        QCOMPARE(mp()->row(), 2);
        QCOMPARE(mp()->text(1, 2), QStringLiteral("100000"));
        QVERIFY(messageTexts().isEmpty());
    }

    void leavingABoxChecksTheRangeOfItsColumn_data()
    {
        QTest::addColumn<bool>("discharging");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("committed");  // the cell's text before the entry
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");     // empty: accepted
        QTest::addColumn<QString>("box");         // the box afterwards

        const QString draftRange =
            "Value of Hyd. Draft can only be a positive number greater than 0 and less than 100.";
        const QString lcfRange =
            "Value of LCF can only be a positive number greater than -10000 and less than 10000.";
        const QString numbers = "Invalid value. Only numbers are allowed.";
        const QString displacementRange =
            "Value of Displacement can only be a positive number greater than 0 and less than 1000000.";
        QTest::newRow("draft 100") << false << 1 << "7.5" << "100" << draftRange << "7.5";
        QTest::newRow("draft 0") << false << 1 << "" << "0" << draftRange << "";
        QTest::newRow("draft 99.5") << false << 1 << "" << "99.5" << "" << "99.5";
        QTest::newRow("draft 8 places") << false << 1 << "" << "7.123456785" << "" << "7.12345678";
        QTest::newRow("lcf -9999") << false << 4 << "" << "-9999" << "" << "-9999";
        QTest::newRow("lcf -10000") << false << 4 << "-2.5" << "-10000" << lcfRange << "-2.5";
        QTest::newRow("lcf 10000") << false << 4 << "" << "10000" << lcfRange << "";
        QTest::newRow("lcf 3 places") << false << 4 << "" << "-2.4565" << "" << "-2.456";
        QTest::newRow("tpc 10000 empties") << false << 3 << "40" << "10000" <<
            "Value of TPC can only be a positive number greater than 0 and less than 10000." << "";
        QTest::newRow("displacement 1000000 goes back") << false << 2 << "30000" << "1000000" <<
            displacementRange << "30000";
        QTest::newRow("displacement, discharging") << true << 2 << "30000" << "1000000" <<
            "Value of Displacement can only be a positive number greater than 0 and less 1000000." << "30000";
        // A number too large to hold is still a number: its column's range is what it misses.
        QTest::newRow("displacement 1e40") << false << 2 << "30000" << "1e40" << displacementRange
                                           << "30000";
        QTest::newRow("displacement of 40 digits")
            << false << 2 << "30000" << "1234567890123456789012345678901234567890" << displacementRange
            << "30000";
        QTest::newRow("tpc of 40 digits empties")
            << false << 3 << "40" << "9999999999999999999999999999999999999999"
            << "Value of TPC can only be a positive number greater than 0 and less than 10000." << "";
        QTest::newRow("lone minus") << false << 4 << "" << "-" << numbers << "";
        QTest::newRow("headers-only column") << false << 5 << "" << "77777777" << "" << "77777777";
    }

    void leavingABoxChecksTheRangeOfItsColumn()
    {
        QFETCH(bool, discharging);
        QFETCH(int, column);
        QFETCH(QString, committed);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(QString, box);
        if (discharging)
            open(true);
        click(hdt(), 2, column);
        hdt()->setText(1, column, committed);
        // The survey holds what the cells hold, as the window hands it over.
        grids().tablesInto(w->survey.editInputs(SurveyModel::Initial));
        click(hdt(), 1, column);
        QTRY_VERIFY(hdt()->editor()->hasFocus());
        QCOMPARE(hdt()->editor()->text(), committed);
        hdt()->editor()->clear();
        hdt()->editor()->insert(typed);  // pasted in
        QTest::keyClick(hdt()->editor(), Qt::Key_Tab);
        if (message.isEmpty()) {
            QVERIFY(messageTexts().isEmpty());
            QTRY_VERIFY(!hdt()->editor()->hasFocus());
        } else {
            expectOneMessage(message, Hydrostatic);
            QCOMPARE(MessageService::records().size(), 0);
            QVERIFY(hdt()->editor()->hasFocus());
            QCOMPARE(hdt()->editor()->selectedText(), box);
        }
        QCOMPARE(hdt()->editor()->text(), box);
        QCOMPARE(hdt()->text(1, column), committed);  // the cell changes only when it is left
    }

    void clickingAnotherCellChecksFirstAndCommitsFourPlaces()
    {
        click(hdt(), 1, 2);
        QTRY_VERIFY(hdt()->editor()->hasFocus());
        type(hdt(), QStringLiteral("2000000"));
        click(hdt(), 1, 3);
        expectOneMessage("Value of Displacement can only be a positive number greater than 0 and less than "
                         "1000000.",
                         Hydrostatic);
        QCOMPARE(hdt()->col(), 2);
        QVERIFY(hdt()->editor()->hasFocus());
        hdt()->editor()->clear();
        type(hdt(), QStringLiteral("30123.45678"));
        click(hdt(), 1, 3);
        QCOMPARE(hdt()->col(), 3);
        // Checked to 3 places in the box, then committed.
        QCOMPARE(hdt()->text(1, 2), QStringLiteral("30123.457"));
        QVERIFY(messageTexts().isEmpty());

        // The MCTC box's check takes the same road; its drafts and Difference are never checked.
        click(mm(), 2, 2);
        type(mm(), QStringLiteral("0"));
        click(mm(), 1, 2);
        expectOneMessage(
            "Value of MCTC-50 can only be a positive number greater than 0 and less than 100000.",
            Hydrostatic);
        mm()->editor()->clear();
        click(mm(), 3, 2);
        QVERIFY(mm()->editor()->isReadOnly());
        click(hdt(), 3, 1);
        QVERIFY(hdt()->editor()->isReadOnly());
        click(hdt(), 1, 1);
        QVERIFY(!hdt()->editor()->isReadOnly());
        QVERIFY(messageTexts().isEmpty());
    }

    void theCellTheSurveyNamesTakesTheFocus()
    {
        fillTables({"7.2", "7.3", "30000", "30400", "40"}, {});
        // The survey names a blank Above TPC: that cell becomes current, its box focused.
        QVERIFY(grids().focusCell(QStringLiteral("hydrostatics.above.tpc")));
        QCOMPARE(hdt()->row(), 2);
        QCOMPARE(hdt()->col(), 3);
        QTRY_VERIFY(hdt()->editor()->hasFocus());
        // The figure still being typed over the current cell is the table's figure.
        type(hdt(), QStringLiteral("40.2"));
        SurveyModel::DraftInputs typed;
        grids().tablesInto(typed);
        QCOMPARE(typed.hydrostatics[SurveyModel::Above][2], QStringLiteral("40.2"));
        QCOMPARE(typed.hydrostatics[SurveyModel::Below][2], QStringLiteral("40"));
        QCOMPARE(typed.hydrostatics[SurveyModel::Below][0], QStringLiteral("7.2"));

        QVERIFY(grids().focusCell(QStringLiteral("mctcPlus50.below")));
        QCOMPARE(mp()->row(), 1);
        QCOMPARE(mp()->col(), 2);
        QTRY_VERIFY(mp()->editor()->hasFocus());
        QVERIFY(grids().focusCell(QStringLiteral("mctcMinus50.above")));
        QCOMPARE(mm()->row(), 2);
        QCOMPARE(mm()->col(), 2);
        QTRY_VERIFY(mm()->editor()->hasFocus());
        // What is no cell of a table is the window's to find.
        QVERIFY(!grids().focusCell(QStringLiteral("drafts.fwdPort")));
        QVERIFY(!grids().focusCell(QStringLiteral("hydrostatics.above.mctc")));
        QTRY_VERIFY(mm()->editor()->hasFocus());
        QVERIFY(messageTexts().isEmpty());
    }

    void tablesGoToTheDraftAndDifferencesComeBack()
    {
        fillTables(workedExample(), workedMctc());
        QVERIFY(w->tableEdits > 0);
        SurveyModel::DraftInputs typed;
        grids().tablesInto(typed);
        const std::array<QString, 4> below = {"7.2", "30000", "40", "-2.5"};
        const std::array<QString, 4> above = {"7.3", "30400", "40.2", "-2.4"};
        QCOMPARE(typed.hydrostatics[SurveyModel::Below], below);
        QCOMPARE(typed.hydrostatics[SurveyModel::Above], above);
        QCOMPARE(typed.mctcPlus50[SurveyModel::Below], QStringLiteral("420"));
        QCOMPARE(typed.mctcMinus50[SurveyModel::Above], QStringLiteral("403"));

        // The Difference rows as the survey worked them out, negative ones included.
        SurveyModel::Differences d;
        d.hydrostatics = {"0.1", "400", "0.2", "0.1"};
        d.mctcPlus50 = {"0.1", "4"};
        d.mctcMinus50 = {"0.1", "-0.5"};
        grids().showDifferences(d);
        QCOMPARE(hdt()->text(3, 1), QStringLiteral("0.1"));
        QCOMPARE(hdt()->text(3, 2), QStringLiteral("400"));
        QCOMPARE(hdt()->text(3, 4), QStringLiteral("0.1"));
        QCOMPARE(mp()->text(3, 2), QStringLiteral("4"));
        QCOMPARE(mm()->text(3, 1), QStringLiteral("0.1"));
        QCOMPARE(mm()->text(3, 2), QStringLiteral("-0.5"));

        // A draft's rows back into emptied grids; the MCTC drafts 50 cm either side of its rows.
        grids().initializeAllGrids(true);
        QCOMPARE(hdt()->text(1, 1), QString());
        grids().showTables(typed, d);
        QCOMPARE(hdt()->text(2, 4), QStringLiteral("-2.4"));
        QCOMPARE(hdt()->text(3, 2), QStringLiteral("400"));
        QCOMPARE(mp()->text(1, 1), QStringLiteral("7.7"));
        QCOMPARE(mm()->text(2, 1), QStringLiteral("6.8"));
        QCOMPARE(mm()->text(1, 2), QStringLiteral("400"));
        QCOMPARE(hdt()->editor()->text(), hdt()->text(hdt()->row(), hdt()->col()));
        QVERIFY(messageTexts().isEmpty());
    }

    void hydrostaticBoxIsCheckedBeforeItIsLeft()
    {
        click(hdt(), 2, 3);
        QTRY_VERIFY(hdt()->editor()->hasFocus());
        type(hdt(), QStringLiteral("0"));
        QVERIFY(!w->guard->validate(hdt()->editor()));
        expectOneMessage("Value of TPC can only be a positive number greater than 0 and less than 10000.",
                         Hydrostatic);
        QTRY_VERIFY(hdt()->editor()->hasFocus());
        // The survey took nothing of it.
        QCOMPARE(w->survey.inputs(SurveyModel::Initial).hydrostatics[SurveyModel::Above][2], QString());
        type(hdt(), QStringLiteral("40.2"));
        QVERIFY(w->guard->validate(hdt()->editor()));
        QCOMPARE(w->survey.inputs(SurveyModel::Initial).hydrostatics[SurveyModel::Above][2], QStringLiteral("40.2"));
    }

    void aShipComesFirst()
    {
        w->ship->setCurrentIndex(0);
        click(ded(), 2, 1);
        expectOneMessage(QStringLiteral("Please select a ship first."));
        QTRY_VERIFY(w->ship->hasFocus());
        // While the window fills itself the boxes keep quiet.
        w->loading = true;
        grids().hdtEditor()->setFocus();
        QTRY_VERIFY(grids().hdtEditor()->hasFocus());
        QVERIFY(messageTexts().isEmpty());
    }

    void deductibleQuantities_data()
    {
        QTest::addColumn<bool>("discharging");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("cell");

        const QString range = joined(
            "Invalid value.", "Value of deduction can be a number greater than 0 and less than 100000.");
        QTest::newRow("rounded to 4") << false << "12.34567" << "" << "12.3457";
        QTest::newRow("zero") << false << "0" << "" << "0";
        QTest::newRow("minus one") << false << "-1" << range << "";
        QTest::newRow("100000") << false << "100000" << range << "";
        QTest::newRow("99999.99996 rounds up") << false << "99999.99996" << range << "";
        QTest::newRow("40 digits") << false << "1234567890123456789012345678901234567890" << range << "";
        QTest::newRow("letters") << false << "abc"
                                 << joined("Invalid quantity.", "Please enter numeric value only.") << "";
        QTest::newRow("discharging range") << true << "-1"
            << joined("Invalid value.", "Value of deduction can be greater than 0 and less than 100000.")
            << "";
    }

    void deductibleQuantities()
    {
        QFETCH(bool, discharging);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(QString, cell);
        if (discharging)
            open(true);
        click(ded(), 3, 1);
        QTRY_VERIFY(ded()->editor()->hasFocus());
        type(ded(), typed);
        QTest::keyClick(ded()->editor(), Qt::Key_Tab);
        QCOMPARE(ded()->text(3, 1), cell);
        // A quantity taken marks the draft changed; the survey holds it as the cell shows it.
        SurveyDraft& draft = w->survey.draft(SurveyModel::Initial);
        if (message.isEmpty()) {
            QVERIFY(messageTexts().isEmpty());
            QCOMPARE(ded()->editor()->text(), cell);
            QVERIFY(draft.needsSaving());
            QCOMPARE(w->survey.inputs(SurveyModel::Initial).deductibles.size(), 1);
            QCOMPARE(w->survey.inputs(SurveyModel::Initial).deductibles.first(), cell);
        } else {
            expectOneMessage(message);
            QVERIFY(ded()->editor()->hasFocus());
            QCOMPARE(ded()->editor()->text(), QString());
            QVERIFY(!draft.needsSaving());
            QVERIFY(w->survey.inputs(SurveyModel::Initial).deductibles.isEmpty());
        }
    }

    void arrowKeysWalkTheDeductibles()
    {
        click(ded(), 0, 1);
        QTRY_VERIFY(ded()->editor()->hasFocus());
        QTest::keyClick(ded()->editor(), Qt::Key_Up);
        QCOMPARE(ded()->row(), 0);
        type(ded(), QStringLiteral("150.5"));
        QTest::keyClick(ded()->editor(), Qt::Key_Down);
        QCOMPARE(ded()->row(), 1);
        QCOMPARE(ded()->text(0, 1), QStringLiteral("150.5"));
        type(ded(), QStringLiteral("-3"));
        QTest::keyClick(ded()->editor(), Qt::Key_Down);
        QCOMPARE(ded()->row(), 1);
        MessageService::clearRecords();
        QTest::keyClick(ded()->editor(), Qt::Key_Up);
        QCOMPARE(ded()->row(), 0);
        QCOMPARE(ded()->editor()->text(), QStringLiteral("150.5"));
        // Emptying a quantity empties its cell at once.
        ded()->editor()->clear();
        QTest::keyClick(ded()->editor(), Qt::Key_Down);
        QCOMPARE(ded()->text(0, 1), QString());
        click(ded(), 7, 1);
        QTest::keyClick(ded()->editor(), Qt::Key_Down);
        QCOMPARE(ded()->row(), 7);
        QVERIFY(ded()->editor()->hasFocus());
        QVERIFY(messageTexts().isEmpty());
    }

    void deductionsTravelToTheDraftAndBack()
    {
        // The survey window hands its quantities to the draft, as Calculate and a tab switch do.
        const QString shipName = QStringLiteral("Deduction Test Ship");
        addShip(shipName);
        w->hide();
        LoadingSurveyWindow survey;
        survey.show();
        survey.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&survey));
        auto* ship = survey.findChild<QComboBox*>(QStringLiteral("dcbShip"));
        ship->setCurrentIndex(ship->findText(shipName));
        QVERIFY(ship->currentIndex() >= 0);
        auto* quantities = survey.findChild<GridEditor*>(QStringLiteral("fgrdDeduction"));
        QVERIFY(quantities);
        click(quantities, 0, 1);
        QTRY_VERIFY(quantities->editor()->hasFocus());
        type(quantities, QStringLiteral("310.25"));
        enter(quantities);
        type(quantities, QStringLiteral("0"));
        enter(quantities);
        type(quantities, QStringLiteral("45"));  // still in the box: the copy checks it first
        QVERIFY(survey.copyInputsToDraft(0));
        QVERIFY(survey.copyInputsToDraft(0));  // a second calculation adds no rows
        SurveyDraft& draft = survey.initialDraft();
        RowSet& list = draft.deductions();
        QCOMPARE(list.recordCount(), 8);
        QVERIFY(list.find(SqlCatalogue::findItem(2)));
        QCOMPARE(list.value("Quantity").toText(), QStringLiteral("310.25"));
        QVERIFY(list.find(SqlCatalogue::findItem(24)));
        QCOMPARE(list.value("Quantity").toText(), QStringLiteral("45"));
        QVERIFY(list.find(SqlCatalogue::findItem(29)));
        QCOMPARE(list.value("Quantity").toText(), QStringLiteral("0"));
        QCOMPARE(draft.sumDeductibles().toText(), QStringLiteral("355.25"));

        // An unchanged draft shows nothing; a changed one its figures, an empty tank blank.
        draft.setNeedsSaving(false);  // the quantities typed above marked it changed
        w->show();
        grids().showDeductions(survey.model().inputs(SurveyModel::Initial).deductibles, draft);
        QCOMPARE(ded()->text(0, 1), QString());
        draft.setNeedsSaving(true);
        grids().showDeductions(survey.model().inputs(SurveyModel::Initial).deductibles, draft);
        QCOMPARE(ded()->text(0, 1), QStringLiteral("310.25"));
        QCOMPARE(ded()->text(1, 1), QString());
        QCOMPARE(ded()->text(2, 1), QStringLiteral("45"));
        QCOMPARE(ded()->editor()->text(), ded()->text(ded()->row(), 1));

        // The Discharging window shows the stored list in full, 0 where nothing is on board.
        open(true);
        grids().showDeductions(survey.model().inputs(SurveyModel::Initial).deductibles, draft);
        QCOMPARE(ded()->text(0, 1), QStringLiteral("310.25"));
        QCOMPARE(ded()->text(1, 1), QStringLiteral("0"));
        QCOMPARE(ded()->text(7, 1), QStringLiteral("0"));

        // A refused quantity stops the copy: nothing reaches the list.
        survey.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&survey));
        click(quantities, 0, 1);
        QTRY_VERIFY(quantities->editor()->hasFocus());
        quantities->editor()->clear();
        type(quantities, QStringLiteral("x"));
        QVERIFY(!survey.copyInputsToDraft(0));
        expectOneMessage(joined("Invalid quantity.", "Please enter numeric value only."));
        QVERIFY(list.find(SqlCatalogue::findItem(2)));
        QCOMPARE(list.value("Quantity").toText(), QStringLiteral("310.25"));
    }

    void tablesAndInterpolationOfACalculatedDraft()
    {
        // The worked example of a draft at 7.25 m between the 7.20 and 7.30 rows.
        const QString shipName = QStringLiteral("Grid Test Ship");
        addShip(shipName);
        RowSet ships;
        ships.open(SqlCatalogue::shipList(), sharedConnection());
        QVERIFY(ships.find(SqlCatalogue::findShipByName(shipName)));

        SurveyDraft draft;
        draft.setShipId(ships.value("ShipID"));
        draft.setTrueMeanDraft(Variant("7.25"));
        draft.setTrueTrim(Variant("1.20"));
        draft.setSpecificGravity(Variant(SurveySamples::loadingInitial().density));
        // The tables as the survey hands them to a draft: Below, Above, Difference.
        const auto table = [](const QList<QStringList>& rows) {
            VariantArray2D t(3, int(rows.first().size()));
            for (int r = 0; r < 3; ++r)
                for (int c = 0; c < rows.first().size(); ++c)
                    t(r, c) = Variant(rows.at(r).at(c));
            return t;
        };
        draft.setHdt(table({{"7.2", "30000", "40.0", "-2.5", "", ""},
                            {"7.3", "30400", "40.2", "-2.4", "", ""},
                            {"0.1", "400", "0.2", "0.1", "", ""}}));
        draft.setMctcPlus50(table({{"7.7", "420"}, {"7.8", "424"}, {"0.1", "4"}}));
        draft.setMctcMinus50(table({{"6.7", "400"}, {"6.8", "403"}, {"0.1", "3"}}));
        draft.calculate();
        QVERIFY(messageTexts().isEmpty());

        QCOMPARE(grids().ipFactorText(draft), QStringLiteral("0.5"));
        grids().showInterpolation(draft);

        SurveyGrid* ip = grids().ipResultGrid();
        const QStringList increments = {"200", "0.1", "0.05", "2", "1.5"};
        const QStringList values = {"30200", "40.1", "-2.45", "422", "401.5"};
        for (int q = 0; q < 5; ++q) {
            QCOMPARE(ip->text(0, q + 1), increments.at(q));
            QCOMPARE(ip->text(1, q + 1), values.at(q));
        }
        QCOMPARE(grids().ipResultMctcp50Grid()->text(0, 1), QStringLiteral("2"));
        QCOMPARE(grids().ipResultMctcm50Grid()->text(1, 1), QStringLiteral("401.5"));
        SurveyGrid* result = grids().resultGrid();
        QCOMPARE(result->text(0, 1), QStringLiteral("40.1"));
        QCOMPARE(result->text(1, 1), QStringLiteral("-2.45"));
        QCOMPARE(result->text(3, 1), QStringLiteral("401.5"));
        QCOMPARE(result->text(4, 1), QStringLiteral("20.5"));

        // The MCTC columns of fgrdHDT head the interpolated MCTC figures; a 0 there is not drawn,
        // as a figure in any other column is.
        hdt()->setText(1, 5, QStringLiteral("0"));
        hdt()->setText(3, 6, QStringLiteral("0"));
        hdt()->setText(1, 4, QStringLiteral("-2.5"));
        QVERIFY(!inkIn(hdt(), 1, 5));
        QVERIFY(!inkIn(hdt(), 3, 6));
        QVERIFY(inkIn(hdt(), 1, 4));
        hdt()->setText(2, 5, QStringLiteral("424"));
        QVERIFY(inkIn(hdt(), 2, 5));

        // A fresh draft: no factor (0 in the Loading window, blank in the Discharging one), no
        // dMCTC.
        SurveyDraft fresh;
        QCOMPARE(grids().ipFactorText(fresh), QStringLiteral("0"));
        grids().showInterpolation(fresh);
        QCOMPARE(result->text(4, 1), QString());
        QCOMPARE(ip->text(1, 1), QString());
        open(true);
        QCOMPARE(grids().ipFactorText(fresh), QString());
    }

    // The grids in the Loading window. On a 1366 x 768 laptop screen the window opens whole in
    // the main window's working area, the interpolated figures under the captions of their
    // tables. In a main window that is not maximised it keeps within the working area and
    // scrolls rather than being cut off, and a box that takes the focus is scrolled into view.
    void theLoadingWindowFitsALaptopScreen()
    {
        SqlCatalogue::ShipValues v;
        v.shipName = QStringLiteral("Layout Test Ship");
        v.lbp = v.loa = QStringLiteral("180");
        v.breadth = v.officialNo = v.grossTonnage = v.netTonnage = QStringLiteral("0");
        v.lightShip = QStringLiteral("8000");
        v.portOfRegistry = QStringLiteral("NULL");
        v.imoNo = v.summerDraft = v.summerDeadweight = QStringLiteral("0");
        sharedConnection().execute(SqlCatalogue::insertShip(v));
        w->hide();
        registerChildWindows();
        auto* mdi = new MainWindow;
        mdi->setGeometry(0, 0, 1366, 768);
        mdi->show();
        mdi->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(mdi));
        QWidget* survey = mdi->openChild(QStringLiteral("frmQuorvane"));
        auto* frame = qobject_cast<QMdiSubWindow*>(survey->parentWidget());
        QVERIFY(frame);
        QMdiArea* area = frame->mdiArea();
        // Menu, toolbar and status bar leave about 1366 x 650 of the screen.
        QVERIFY(frame->width() <= 1366);
        QVERIFY(frame->height() <= 650);
        QTRY_VERIFY(area->viewport()->rect().contains(frame->geometry()));
        auto* scroller = survey->findChild<QScrollArea*>(QStringLiteral("surveyScroller"));
        QVERIFY(scroller);
        QVERIFY(!scroller->horizontalScrollBar()->isVisible());
        QVERIFY(!scroller->verticalScrollBar()->isVisible());

        const auto left = [survey](QWidget* grid, int x) { return grid->mapTo(survey, QPoint(x, 0)).x(); };
        auto* hdt = survey->findChild<SurveyGrid*>(QStringLiteral("fgrdHDT"));
        auto* interpolated = survey->findChild<SurveyGrid*>(QStringLiteral("fgrdIpResult"));
        for (int c = 1; c < 6; ++c)
            QCOMPARE(left(interpolated, interpolated->columnViewportPosition(c)),
                     left(hdt, hdt->columnViewportPosition(c + 1)));
        auto* mctc = survey->findChild<SurveyGrid*>(QStringLiteral("fgrdMCTCM50"));
        auto* mctcInterpolated = survey->findChild<SurveyGrid*>(QStringLiteral("fgrdIpResultMCTCM50"));
        QCOMPARE(left(mctcInterpolated, mctcInterpolated->columnViewportPosition(1)),
                 left(mctc, mctc->columnViewportPosition(2)));
        auto* deductions = survey->findChild<SurveyGrid*>(QStringLiteral("fgrdDeduction"));
        QVERIFY(!deductions->verticalScrollBar()->isVisible());

        // The main window not maximised: four fifths of the screen. The deductibles and the
        // displacement go under the hydrostatic tables, and the survey scrolls down, not sideways.
        mdi->setGeometry(0, 0, 1093, 614);
        QTRY_VERIFY(area->viewport()->rect().contains(frame->geometry()));
        QTRY_VERIFY(scroller->verticalScrollBar()->isVisible());
        QTRY_VERIFY(!scroller->horizontalScrollBar()->isVisible());
        QVERIFY(deductions->mapTo(survey, QPoint(0, 0)).y()
                > mctc->mapTo(survey, QPoint(0, mctc->height())).y());
        auto* ship = survey->findChild<QComboBox*>(QStringLiteral("dcbShip"));
        ship->setCurrentIndex(ship->findText(v.shipName));
        QLineEdit* quantity = survey->findChild<QLineEdit*>(QStringLiteral("txtGridTextbox"));
        quantity->setFocus();
        QTRY_VERIFY(quantity->hasFocus());
        const auto inView = [&] {
            const QPoint at = quantity->mapTo(scroller->viewport(), QPoint(0, 0));
            return scroller->viewport()->rect().contains(QRect(at, quantity->size()));
        };
        QTRY_VERIFY(inView());
        QCOMPARE(messageTexts(), QStringList());
        delete mdi;
    }

    void aFailingCatalogueIsReportedWithItsSource()
    {
        closeDatabase();
        grids().initializeAllGrids(true);
        openDatabase();
        const QList<MessageRecord> records = MessageService::records();
        QCOMPARE(records.size(), 1);
        QVERIFY(records.first().text.endsWith(
            QStringLiteral("\r\n\r\nSource :  frmQuorvane::InitializeAllGrids")));
        QCOMPARE(records.first().icon, Msg::Icon::Critical);
        // The hydrostatic part was laid out before the failure.
        QCOMPARE(hdt()->text(0, 1), QStringLiteral("Hyd. Draft"));
    }
};

QTEST_MAIN(TestSurveyGrids)
#include "test_survey_grids.moc"
