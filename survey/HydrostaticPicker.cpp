#include "survey/HydrostaticPicker.h"

#include "core/MessageService.h"
#include "core/VbError.h"
#include "model/ShipRecord.h"
#include "survey/GridEditor.h"
#include "survey/SurveyGrids.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QWidget>

namespace {

// The box layout that holds `w` directly, searched from its parent's layout down.
QBoxLayout* layoutHolding(QLayout* layout, QWidget* w)
{
    if (!layout)
        return nullptr;
    if (layout->indexOf(w) >= 0)
        return qobject_cast<QBoxLayout*>(layout);
    for (int i = 0; i < layout->count(); ++i)
        if (QBoxLayout* inner = layoutHolding(layout->itemAt(i)->layout(), w))
            return inner;
    return nullptr;
}

const char* const kPickedTip = "From the ship's hydrostatic table";
const char* const kTypedTip = "Typed over the ship's hydrostatic table";

}  // namespace

HydrostaticPicker::HydrostaticPicker(SurveyGrids& grids, std::function<int()> shipId, QObject* parent)
    : QObject(parent), m_grids(grids), m_shipId(std::move(shipId))
{
    m_note = new QLabel;
    m_note->setObjectName(QStringLiteral("lblHydrostaticPick"));
    m_note->setWordWrap(true);
    m_note->hide();
    QWidget* hdt = m_grids.hdtGrid();
    // Under the hydrostatic table, where the eye is when the rows do not come.
    for (QWidget* p = hdt->parentWidget(); p; p = p->parentWidget()) {
        if (QBoxLayout* box = layoutHolding(p->layout(), hdt)) {
            box->insertWidget(box->indexOf(hdt) + 1, m_note);
            m_note->setMaximumWidth(hdt->sizeHint().width());
            break;
        }
    }
    if (!m_note->parentWidget())
        m_note->setParent(hdt->parentWidget());

    // A figure typed over a picked one is shown as typed at once.
    for (GridEditor* g : {m_grids.hdtGrid(), m_grids.mctcp50Grid(), m_grids.mctcm50Grid()}) {
        auto previous = g->committed;
        g->committed = [this, g, previous](int row, int column, const QString& typed) {
            if (previous)
                previous(row, column, typed);
            committedByUser(g, row, column);
        };
    }
}

QVector<HydrostaticPicker::Cell> HydrostaticPicker::cells() const
{
    QVector<Cell> out;
    for (int r = 1; r <= 2; ++r) {
        for (int c = 1; c <= 4; ++c)
            out.append({m_grids.hdtGrid(), r, c});
        for (GridEditor* g : {m_grids.mctcp50Grid(), m_grids.mctcm50Grid()})
            for (int c = 1; c <= 2; ++c)
                out.append({g, r, c});
    }
    return out;
}

int HydrostaticPicker::gridIndex(const GridEditor* grid) const
{
    return grid == m_grids.hdtGrid() ? 0 : grid == m_grids.mctcp50Grid() ? 1 : 2;
}

void HydrostaticPicker::loadTable(int shipId)
{
    m_loadedShip = shipId;
    m_table.reset();
    if (shipId <= 0)
        return;
    try {
        m_table = HydrostaticTable::loadForShip(shipId);
        ShipRecord ship;
        m_keelPlateMm = ship.load(shipId) == 1 ? ship.keelPlateMm() : Decimal(0);
    } catch (const VbError& e) {
        // Without the table the survey goes on as before: the rows are typed.
        MessageService::show(MessageService::join(QStringLiteral("The ship's hydrostatic table cannot be read."),
                                                  e.description()),
                             Msg::Buttons::Ok, Msg::Icon::Exclamation);
    }
}

void HydrostaticPicker::forget()
{
    for (auto& picked : m_picked)
        picked.clear();
    m_note->hide();
}

bool HydrostaticPicker::isTyped(const GridEditor* grid, int row, int column) const
{
    const QString now = grid->text(row, column);
    if (!m_table || now.isEmpty())
        return false;
    const auto it = m_picked[m_draftIndex].constFind(key(gridIndex(grid), row, column));
    return it == m_picked[m_draftIndex].constEnd() || *it != now;
}

void HydrostaticPicker::write(int draftIndex, const Cell& cell, int gridNo, const QString& text)
{
    GridEditor* g = cell.grid;
    g->setText(cell.row, cell.column, text);
    // The box over the current cell holds that cell's figure: it must not put the old one back.
    if (g->row() == cell.row && g->col() == cell.column)
        g->setEditorTextQuietly(text);
    if (text.isEmpty())
        m_picked[draftIndex].remove(key(gridNo, cell.row, cell.column));
    else
        m_picked[draftIndex].insert(key(gridNo, cell.row, cell.column), text);
}

void HydrostaticPicker::showMarks(int draftIndex)
{
    m_draftIndex = draftIndex;
    for (const Cell& c : cells()) {
        const bool typed = isTyped(c.grid, c.row, c.column);
        const bool picked = m_table && !typed && !c.grid->text(c.row, c.column).isEmpty();
        c.grid->setCellBold(c.row, c.column, typed);
        if (QTableWidgetItem* item = c.grid->item(c.row, c.column))
            item->setToolTip(typed ? QLatin1String(kTypedTip) : picked ? QLatin1String(kPickedTip) : QString());
    }
}

void HydrostaticPicker::committedByUser(GridEditor*, int, int)
{
    if (m_table)
        showMarks(m_draftIndex);
}

void HydrostaticPicker::refresh(int draftIndex, const std::optional<Decimal>& trueMeanDraft, bool reloadTable)
{
    const int ship = m_shipId ? m_shipId() : 0;
    if (reloadTable || ship != m_loadedShip)
        loadTable(ship);
    m_draftIndex = draftIndex;
    if (!m_table || !trueMeanDraft) {
        // No table (the rows are typed as they always were), or no true mean draft yet: the grids
        // stay as they are, and no word about a draft that is not there.
        m_note->hide();
        showMarks(draftIndex);
        return;
    }
    // A table of moulded drafts is entered over the keel plate.
    const HydrostaticPicking::Pick p =
        HydrostaticPicking::pick(*m_table, m_table->tableDraft(*trueMeanDraft, m_keelPlateMm));
    // The figure of each cell, grid by grid as cells() lists them; empty where nothing is picked.
    QHash<quint32, QString> figures;
    if (p.picked) {
        const HydrostaticRow rows[2] = {m_table->rows[p.below], m_table->rows[p.above]};
        for (int k = 0; k < 2; ++k) {
            const int r = k + 1;
            for (int c = 0; c < 4; ++c)
                figures.insert(key(0, r, c + 1), HydrostaticTable::value(rows[k], c).toString());
            figures.insert(key(1, r, 1), p.plusDraft[k].toString());
            figures.insert(key(1, r, 2), p.mctcPlus[k].toString());
            figures.insert(key(2, r, 1), p.minusDraft[k].toString());
            figures.insert(key(2, r, 2), p.mctcMinus[k].toString());
        }
    }
    const bool hdtDraftTyped[3] = {false, isTyped(m_grids.hdtGrid(), 1, 1), isTyped(m_grids.hdtGrid(), 2, 1)};
    for (const Cell& c : cells()) {
        const int g = gridIndex(c.grid);
        if (isTyped(c.grid, c.row, c.column))
            continue;
        // The MCTC drafts follow a Hyd. Draft typed by the user, not the table.
        if (g > 0 && c.column == 1 && hdtDraftTyped[c.row])
            continue;
        write(draftIndex, c, g, figures.value(key(g, c.row, c.column)));
    }
    m_note->setText(p.picked ? QString() : p.reason);
    m_note->setVisible(!p.picked);
    showMarks(draftIndex);
}
