// The hydrostatic tables of a survey window and the grids that show their interpolation: laying
// them out, typing into them, moving through them with Enter, and checking them before a draft
// is calculated. The deductibles grid is in SurveyDeductions.cpp.
#include "survey/SurveyGrids.h"

#include "ui/FieldGuard.h"
#include "core/MessageService.h"
#include "core/Numeric.h"
#include "model/SurveyFieldNames.h"
#include "model/SurveyInputRules.h"
#include "model/SurveyDraft.h"
#include "model/VariantArray2D.h"
#include "survey/GridEditor.h"

#include <array>

#include <QKeyEvent>
#include <QStyledItemDelegate>

using GridFigures::isFigure;
using GridFigures::textOf;

namespace {

Variant figureOf(const QString& cellText)
{
    return toNumeric(Variant(cellText), -1, 0);
}

void warn(const QString& text)
{
    MessageService::show(text, Msg::Buttons::Ok, Msg::Icon::Exclamation);
}

void selectAllFromStart(QLineEdit* box)
{
    box->setCursorPosition(0);
    box->setSelection(0, box->text().size());
}

// Column widths, in pixels, of the hydrostatic tables and of the grids that show their
// interpolation. fgrdIpResult stands under fgrdHDT column for column (its labels under Below and
// Hyd. Draft, then Displacement, TPC, LCF, MCTC+50, MCTC-50) and each MCTC result grid under its
// table, so that the tables' captions head the interpolated figures as well.
struct HydrostaticWidths {
    int hdt[7];
    int ipResult[6];
    int mctc[3];
    int ipMctc[2];
    int result[2];
};

HydrostaticWidths hydrostaticWidths(const SurveyGrid& g)
{
    // Figures a column shows whole: a displacement to five places as the interpolation gives it,
    // a capesize's included, and any other table figure with its sign.
    const QString tonnage = QStringLiteral("999999.99999");
    const QString figure = QStringLiteral("-9999.99");
    const QStringList rowLabels = {"Below", "Above", "Difference"};
    const QStringList resultLabels = {"Interpolated Values", "Result"};
    const int resultLabelWidth = g.columnWidthFor(1850, resultLabels);
    HydrostaticWidths w{};
    w.hdt[0] = g.columnWidthFor(900, rowLabels);
    w.hdt[1] = g.columnWidthFor(975, {"Hyd. Draft", figure});
    w.hdt[1] += qMax(0, resultLabelWidth - w.hdt[0] - w.hdt[1]);
    w.hdt[2] = qMax(g.columnWidthFor(1100, {"Displacement", tonnage}), g.columnWidthFor(1130, {tonnage}));
    const QStringList others = {"TPC", "LCF", "MCTC+50", "MCTC-50"};
    for (int c = 3; c < 7; ++c)
        w.hdt[c] = g.columnWidthFor(975, {others.at(c - 3), figure});
    w.ipResult[0] = w.hdt[0] + w.hdt[1];
    for (int c = 1; c < 6; ++c)
        w.ipResult[c] = w.hdt[c + 1];

    w.mctc[0] = w.hdt[0];
    w.mctc[1] = g.columnWidthFor(975, {"Hyd. Draft", "Hyd.Draft", figure});
    w.mctc[1] += qMax(0, resultLabelWidth - w.mctc[0] - w.mctc[1]);
    w.mctc[2] = qMax(g.columnWidthFor(975, {"MCTC+50", "MCTC-50", figure}), g.columnWidthFor(985, {figure}));
    w.ipMctc[0] = w.mctc[0] + w.mctc[1];
    w.ipMctc[1] = w.mctc[2];

    w.result[0] = g.columnWidthFor(1014, {"TPC", "LCF", "MCTC+50", "MCTC-50", "dMCTC"});
    w.result[1] = g.columnWidthFor(975, {figure});
    return w;
}

// fgrdHDT's two MCTC columns only head the interpolated MCTC figures of fgrdIpResult under them;
// the surveyor types the MCTC rows into the MCTC tables. A calculated draft hands these cells back
// as 0, its form of an empty cell, which would read as an MCTC of nought: a zero there is drawn
// as the empty cell it was. The cell keeps its text, and the draft gets it back as it stands.
class HeadingColumnDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.row() > 0 && isFigure(option->text) && figureOf(option->text).toDecimal().isZero())
            option->text.clear();
    }
};

void setColumnWidths(SurveyGrid* grid, const int* widths, int count)
{
    for (int c = 0; c < count; ++c)
        grid->setColumnWidth(c, widths[c]);
    grid->updateGeometry();
}

}  // namespace

SurveyGrids::SurveyGrids(SurveyGridsHost& host, FieldGuard& guard, QWidget* parent)
    : QObject(parent), m_host(host), m_guard(guard)
{
    buildGrids(parent);
}

SurveyGrids::~SurveyGrids() = default;

void SurveyGrids::buildGrids(QWidget* parent)
{
    m_hdt = new GridEditor(4, 7, 1, 1, QStringLiteral("txtHDTGridTextbox"), parent);
    m_hdt->setObjectName(QStringLiteral("fgrdHDT"));
    m_mctcp50 = new GridEditor(4, 3, 1, 1, QStringLiteral("txtMPGridTextbox"), parent);
    m_mctcp50->setObjectName(QStringLiteral("fgrdMCTCP50"));
    m_mctcm50 = new GridEditor(4, 3, 1, 1, QStringLiteral("txtMMGridTextbox"), parent);
    m_mctcm50->setObjectName(QStringLiteral("fgrdMCTCM50"));
    m_deduction = new GridEditor(0, 2, 0, 1, QStringLiteral("txtGridTextbox"), parent);
    m_deduction->setObjectName(QStringLiteral("fgrdDeduction"));
    // The whole catalogue in view; a longer one than the delivered eight items scrolls.
    m_deduction->setVisibleRows(10);

    m_ipResult = new SurveyGrid(2, 6, 0, 1, parent);
    m_ipResult->setObjectName(QStringLiteral("fgrdIpResult"));
    m_ipResultP50 = new SurveyGrid(2, 3, 0, 1, parent);
    m_ipResultP50->setObjectName(QStringLiteral("fgrdIpResultMCTCP50"));
    m_ipResultM50 = new SurveyGrid(2, 3, 0, 1, parent);
    m_ipResultM50->setObjectName(QStringLiteral("fgrdIpResultMCTCM50"));
    m_result = new SurveyGrid(5, 2, 0, 1, parent);
    m_result->setObjectName(QStringLiteral("fgrdResult"));
    for (SurveyGrid* g : {m_ipResult, m_ipResultP50, m_ipResultM50, m_result}) {
        g->setDataBackground(SurveyGrid::lightYellow());
        for (int c = 1; c < g->columnCount(); ++c)
            g->setColumnRightAligned(c);
    }
    auto* headings = new HeadingColumnDelegate(m_hdt);
    m_hdt->setItemDelegateForColumn(5, headings);
    m_hdt->setItemDelegateForColumn(6, headings);
    // Nothing is ever written past the one figure of an MCTC result grid: the grid shows its
    // label and that figure, under the MCTC column of its table.
    m_ipResultP50->setColumnHidden(2, true);
    m_ipResultM50->setColumnHidden(2, true);

    // The Difference row is the window's to write; in the MCTC tables the drafts follow fgrdHDT.
    m_hdt->readOnlyCell = [](int row, int) { return row == 3; };
    const auto mctcLocked = [](int row, int column) { return row == 3 || column < 2; };
    m_mctcp50->readOnlyCell = mctcLocked;
    m_mctcm50->readOnlyCell = mctcLocked;

    m_hdt->committed = [this](int row, int column, const QString& typed) {
        if (column == 1 && (row == 1 || row == 2)) {
            try {
                propagateDraft(row, typed);
            } catch (const VbError&) {
            }
        }
        m_host.tablesEdited();
    };
    for (GridEditor* g : {m_mctcp50, m_mctcm50})
        g->committed = [this](int, int, const QString&) { m_host.tablesEdited(); };
    connect(m_hdt->editor(), &QLineEdit::textChanged, this, &SurveyGrids::hdtTextChanged);

    for (GridEditor* g : {m_hdt, m_mctcp50, m_mctcm50}) {
        g->focusEntered = [this, g] { hydrostaticFocusIn(g); };
        g->keyPressed = [this, g](QKeyEvent* e) { return hydrostaticKey(g, e); };
        m_guard.setCheck(g->editor(), [this, g] { return validateHydrostatic(g); });
    }
    m_deduction->focusEntered = [this] { deductionFocusIn(); };
    m_deduction->keyPressed = [this](QKeyEvent* e) { return deductionKey(e); };
    m_guard.setCheck(m_deduction->editor(), [this] { return validateDeduction(); });

    initializeHydrostaticGrids();
    resetInterpolationGrids();
}

QLineEdit* SurveyGrids::hdtEditor() const { return m_hdt->editor(); }
QLineEdit* SurveyGrids::mpEditor() const { return m_mctcp50->editor(); }
QLineEdit* SurveyGrids::mmEditor() const { return m_mctcm50->editor(); }
QLineEdit* SurveyGrids::deductionEditor() const { return m_deduction->editor(); }

bool SurveyGrids::isEditor(const QWidget* w) const
{
    return w && (w == hdtEditor() || w == mpEditor() || w == mmEditor() || w == deductionEditor());
}

bool SurveyGrids::entryInProgress() const
{
    for (const GridEditor* g : {m_hdt, m_mctcp50, m_mctcm50, m_deduction}) {
        const QLineEdit* box = g->editor();
        if (!box->isVisible() || box->isReadOnly() || g->row() < 0 || g->col() < 0)
            continue;
        if (box->text().trimmed() != g->text(g->row(), g->col()))
            return true;
    }
    return false;
}

// --- Laying out -------------------------------------------------------------------------------

void SurveyGrids::initializeAllGrids(bool withDeductions)
{
    try {
        initializeHydrostaticGrids();
        m_host.resetResultGrids();
        if (withDeductions)
            loadDeductionCatalogue();
        placeEditors();
    } catch (const VbError& e) {
        MessageService::sourced(e.description(), m_host.className(), QStringLiteral("InitializeAllGrids"));
    }
}

void SurveyGrids::initializeHydrostaticGrids()
{
    m_hdt->clearCells();
    const QStringList captions = {QString(), "Hyd. Draft", "Displacement", "TPC",
                                  "LCF",     "MCTC+50",    "MCTC-50"};
    for (int c = 1; c < captions.size(); ++c)
        m_hdt->setText(0, c, captions.at(c));
    m_hdt->setText(1, 0, QStringLiteral("Below"));
    m_hdt->setText(2, 0, QStringLiteral("Above"));
    m_hdt->setText(3, 0, QStringLiteral("Difference"));
    setColumnWidths(m_hdt, hydrostaticWidths(*m_hdt).hdt, 7);
    for (int c = 1; c < m_hdt->columnCount(); ++c)
        m_hdt->setColumnRightAligned(c);
    for (int c = 1; c <= 4; ++c)
        m_hdt->setCellBackground(3, c, SurveyGrid::lightYellow());
    m_hdt->setCurrentQuietly(1, 1);

    layoutMctcGrid(m_mctcp50, QStringLiteral("Hyd. Draft"), QStringLiteral("MCTC+50"));
    layoutMctcGrid(m_mctcm50, QStringLiteral("Hyd.Draft"), QStringLiteral("MCTC-50"));
}

void SurveyGrids::layoutMctcGrid(GridEditor* grid, const QString& draftCaption, const QString& mctcCaption)
{
    grid->clearCells();
    grid->setText(0, 1, draftCaption);
    grid->setText(0, 2, mctcCaption);
    grid->setText(1, 0, QStringLiteral("Below"));
    grid->setText(2, 0, QStringLiteral("Above"));
    grid->setText(3, 0, QStringLiteral("Difference"));
    setColumnWidths(grid, hydrostaticWidths(*grid).mctc, 3);
    grid->setColumnRightAligned(1);
    grid->setColumnRightAligned(2);
    for (int r = 1; r <= 3; ++r)
        grid->setCellBackground(r, 1, SurveyGrid::lightYellow());
    grid->setCellBackground(3, 2, SurveyGrid::lightYellow());
    grid->setCurrentQuietly(1, 2);
}

void SurveyGrids::resetInterpolationGrids()
{
    const HydrostaticWidths widths = hydrostaticWidths(*m_hdt);
    for (SurveyGrid* g : {m_ipResult, m_ipResultP50, m_ipResultM50}) {
        g->clearCells();
        g->setText(0, 0, QStringLiteral("Interpolated Values"));
        g->setText(1, 0, QStringLiteral("Result"));
    }
    setColumnWidths(m_ipResult, widths.ipResult, 6);
    setColumnWidths(m_ipResultP50, widths.ipMctc, 2);
    setColumnWidths(m_ipResultM50, widths.ipMctc, 2);
    m_result->clearCells();
    setColumnWidths(m_result, widths.result, 2);
    const QStringList captions = {"TPC", "LCF", "MCTC+50", "MCTC-50", "dMCTC"};
    for (int r = 0; r < captions.size(); ++r)
        m_result->setText(r, 0, captions.at(r));
}

void SurveyGrids::placeEditors()
{
    for (GridEditor* g : {m_hdt, m_mctcp50, m_mctcm50, m_deduction}) {
        g->setEditorTextQuietly(QString());
        g->placeEditor();
    }
}

// --- Typing in the hydrostatic grids ----------------------------------------------------------

void SurveyGrids::hdtTextChanged(const QString& text)
{
    const bool acceptable = SurveyInputRules::isTyping(text);
    if (m_hdt->isQuiet() || m_host.isFilling()) {
        if (acceptable)
            m_lastHdtText = text;
        return;
    }
    if (text == QLatin1String("-") || text == QLatin1String(".")) {
        m_lastHdtText = text;
        return;
    }
    const int row = m_hdt->row();
    const bool draftCell = m_hdt->col() == 1 && (row == 1 || row == 2);
    if (text.isEmpty()) {
        if (draftCell)
            clearPropagatedDraft(row);
        m_lastHdtText = text;
        return;
    }
    const SurveyInputRules::Outcome key =
        SurveyInputRules::hydrostaticKeystroke(text, draftCell, m_lastHdtText, m_host.isDischarging());
    if (key.accepted) {
        // The MCTC tables bracket the drafts 50 cm either side: they follow every keystroke.
        if (draftCell && !text.trimmed().isEmpty())
            propagateDraft(row, text);
        m_lastHdtText = text;
        return;
    }
    warn(key.message);
    // A discharge loses only the offending keystroke: the box returns to what it held before it.
    QLineEdit* box = m_hdt->editor();
    box->setText(key.text);
    selectAllFromStart(box);
}

void SurveyGrids::propagateDraft(int row, const QString& typed)
{
    const QString above = SurveyInputRules::mctcDraft(typed, true);
    const QString below = SurveyInputRules::mctcDraft(typed, false);
    m_mctcp50->setText(row, 1, above);
    m_mctcm50->setText(row, 1, below);
    if (m_mctcp50->row() == row && m_mctcp50->col() == 1)
        m_mctcp50->editor()->setText(above);
    if (m_mctcm50->row() == row && m_mctcm50->col() == 1)
        m_mctcm50->editor()->setText(below);
}

void SurveyGrids::clearPropagatedDraft(int row)
{
    for (GridEditor* g : {m_mctcp50, m_mctcm50}) {
        g->setText(row, 1, QString());
        if (g->row() == row && g->col() == 1)
            g->editor()->clear();
    }
}

void SurveyGrids::hydrostaticFocusIn(GridEditor* grid)
{
    if (m_host.isFilling())
        return;
    if (!m_host.requireShip())
        return;
    if (grid != m_hdt)
        grid->applyLock();
    grid->editor()->selectAll();
}

// --- Enter ------------------------------------------------------------------------------------

void SurveyGrids::enterFromAftX()
{
    m_hdt->moveTo(1, 1);
}

bool SurveyGrids::hydrostaticKey(GridEditor* grid, QKeyEvent* event)
{
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter)
        return false;
    const int r = grid->row();
    const int c = grid->col();
    GridEditor* target = nullptr;
    int toRow = 0;
    int toColumn = 0;
    bool toDeductions = false;
    if (grid == m_hdt) {
        // Down the column from Below to Above, then up to the next column's Below.
        if (r == 1 && c >= 1 && c <= 4) {
            target = m_hdt, toRow = 2, toColumn = c;
        } else if (r == 2 && c >= 1 && c <= 3) {
            target = m_hdt, toRow = 1, toColumn = c + 1;
        } else if (r == 2 && c == 4) {
            target = m_mctcp50, toRow = 1, toColumn = 2;
        }
    } else if (c == 2 && r == 1) {
        target = grid, toRow = 2, toColumn = 2;
    } else if (c == 2 && r == 2) {
        if (grid == m_mctcp50)
            target = m_mctcm50, toRow = 1, toColumn = 2;
        else
            toDeductions = true;
    }
    if (!target && !toDeductions)
        return false;
    // Enter moves on without the range checks, but a text that is no figure at all would be lost
    // on the way: it is refused here with the check's own message.
    const QString typed = grid->editor()->text();
    if (!typed.trimmed().isEmpty() && !isFigure(typed)) {
        validateHydrostatic(grid);
        return true;
    }
    if (toDeductions)
        enterDeductions();
    else
        target->moveTo(toRow, toColumn);
    return true;
}

void SurveyGrids::enterDeductions()
{
    if (m_deduction->isHidden() || m_deduction->rowCount() == 0) {
        m_guard.moveFocus(true);
        return;
    }
    m_deduction->moveTo(0, 1);
}

// --- Checks -----------------------------------------------------------------------------------

bool SurveyGrids::validateHydrostatic(GridEditor* grid)
{
    const int r = grid->row();
    const int c = grid->col();
    if (r < 1 || r > 2 || c < 1 || (grid->readOnlyCell && grid->readOnlyCell(r, c)))
        return true;
    QLineEdit* box = grid->editor();
    const QString v = box->text().trimmed();
    if (v.isEmpty())
        return true;  // blanks are the blank check's business

    using Table = SurveyModel::Table;
    Table table = Table::Hydrostatics;
    int column = c - 1;
    if (grid == m_hdt && c <= 4)
        table = Table::Hydrostatics;
    else if (grid == m_mctcp50 && c == 2)
        table = Table::MctcPlus50, column = 1;
    else if (grid == m_mctcm50 && c == 2)
        table = Table::MctcMinus50, column = 1;
    else
        return true;  // the headers-only MCTC columns of fgrdHDT travel as they stand

    try {
        const SurveyInputRules::Outcome o = m_host.enterTableFigure(table, r - 1, column, v);
        if (o.accepted) {
            box->setText(o.text);
            return true;
        }
        MessageService::show(o.message, Msg::Buttons::Ok, o.icon, o.title);
        box->setText(o.text);
        selectAllFromStart(box);
        return false;
    } catch (const VbError&) {
        MessageService::bareSource(box->objectName(), QStringLiteral("Validate"));
        resetHydrostaticBox(grid, false);
        return false;
    }
}

void SurveyGrids::resetHydrostaticBox(GridEditor* grid, bool empty)
{
    QLineEdit* box = grid->editor();
    box->setText(empty ? QString() : grid->text(grid->row(), grid->col()));
    selectAllFromStart(box);
}

// --- The tables to and from a draft's inputs --------------------------------------------------

void SurveyGrids::tablesInto(SurveyModel::DraftInputs& inputs) const
{
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 4; ++c)
            inputs.hydrostatics[r][c] = m_hdt->committedText(r + 1, c + 1);
        inputs.mctcPlus50[r] = m_mctcp50->committedText(r + 1, 2);
        inputs.mctcMinus50[r] = m_mctcm50->committedText(r + 1, 2);
    }
}

void SurveyGrids::showTables(const SurveyModel::DraftInputs& inputs,
                             const SurveyModel::Differences& differences)
{
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 4; ++c)
            m_hdt->setText(r + 1, c + 1, inputs.hydrostatics[r][c]);
        m_hdt->setText(r + 1, 5, QString());
        m_hdt->setText(r + 1, 6, QString());
        QString plus;
        QString minus;
        try {
            plus = SurveyInputRules::mctcDraft(inputs.hydrostatics[r][0], true);
            minus = SurveyInputRules::mctcDraft(inputs.hydrostatics[r][0], false);
        } catch (const VbError&) {
            // A draft too large for the MCTC tables' drafts: they stay empty, as while typing.
        }
        m_mctcp50->setText(r + 1, 1, plus);
        m_mctcp50->setText(r + 1, 2, inputs.mctcPlus50[r]);
        m_mctcm50->setText(r + 1, 1, minus);
        m_mctcm50->setText(r + 1, 2, inputs.mctcMinus50[r]);
    }
    showDifferences(differences);
    for (GridEditor* g : {m_hdt, m_mctcp50, m_mctcm50})
        g->setEditorTextQuietly(g->text(g->row(), g->col()));
}

void SurveyGrids::showDifferences(const SurveyModel::Differences& differences)
{
    for (int c = 0; c < 4; ++c)
        m_hdt->setText(3, c + 1, differences.hydrostatics[c]);
    m_hdt->setText(3, 5, QString());
    m_hdt->setText(3, 6, QString());
    for (int c = 0; c < 2; ++c) {
        m_mctcp50->setText(3, c + 1, differences.mctcPlus50[c]);
        m_mctcm50->setText(3, c + 1, differences.mctcMinus50[c]);
    }
}

GridEditor* SurveyGrids::focusCell(const QString& field)
{
    namespace Names = SurveyFieldNames;
    for (int row = 0; row < 2; ++row) {
        std::pair<GridEditor*, int> cell = {nullptr, 2};
        for (int column = 0; column < 4; ++column)
            if (field == Names::hydrostatic(row, column))
                cell = {m_hdt, column + 1};
        if (field == Names::mctc(true, row))
            cell.first = m_mctcp50;
        else if (field == Names::mctc(false, row))
            cell.first = m_mctcm50;
        if (GridEditor* grid = cell.first) {
            grid->moveTo(row + 1, cell.second);
            grid->editor()->setFocus(Qt::OtherFocusReason);
            return grid;
        }
    }
    return nullptr;
}

// --- Interpolation results --------------------------------------------------------------------

void SurveyGrids::showInterpolation(const SurveyDraft& draft)
{
    const VariantArray2D ip = draft.ipResult();
    for (int r = 0; r < 2; ++r)
        for (int q = 0; q < 5; ++q)
            m_ipResult->setText(r, q + 1, textOf(ip(r, q)));
    for (int r = 0; r < 2; ++r) {
        m_ipResultP50->setText(r, 1, textOf(ip(r, SurveyDraft::IpMctcP50)));
        m_ipResultM50->setText(r, 1, textOf(ip(r, SurveyDraft::IpMctcM50)));
    }
    const int value = SurveyDraft::Interpolated;
    m_result->setText(0, 1, textOf(ip(value, SurveyDraft::IpTpc)));
    m_result->setText(1, 1, textOf(ip(value, SurveyDraft::IpLcf)));
    m_result->setText(2, 1, textOf(ip(value, SurveyDraft::IpMctcP50)));
    m_result->setText(3, 1, textOf(ip(value, SurveyDraft::IpMctcM50)));
    // dMCTC: the change of MCTC over the metre between the two MCTC drafts.
    const Variant plus = ip(value, SurveyDraft::IpMctcP50);
    const Variant minus = ip(value, SurveyDraft::IpMctcM50);
    const bool both = !textOf(plus).trimmed().isEmpty() && !textOf(minus).trimmed().isEmpty();
    m_result->setText(4, 1, both ? (plus - minus).toText() : QString());
}

QString SurveyGrids::ipFactorText(const SurveyDraft& draft) const
{
    return toNumeric(draft.ipFactor(), 7, m_host.isDischarging() ? 1 : 0).toText();
}
