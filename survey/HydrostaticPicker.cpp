#include "survey/HydrostaticPicker.h"

#include "model/SurveyFieldNames.h"
#include "survey/GridEditor.h"
#include "survey/SurveyGrids.h"
#include "survey/SurveyWindow.h"

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

HydrostaticPicker::HydrostaticPicker(SurveyGrids& grids, std::function<SurveyModel&()> survey,
                                     QObject* parent)
    : QObject(parent), m_grids(grids), m_survey(std::move(survey))
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
        g->committed = [this, previous](int row, int column, const QString& typed) {
            if (previous)
                previous(row, column, typed);
            if (m_survey().table())
                showMarks(m_draftIndex);
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

void HydrostaticPicker::forget()
{
    m_note->hide();
}

bool HydrostaticPicker::isTyped(const GridEditor* grid, int row, int column) const
{
    namespace Names = SurveyFieldNames;
    const SurveyModel& survey = m_survey();
    // The MCTC tables' drafts follow the Hyd. Draft of their row.
    if (grid == m_grids.hdtGrid() || column == 1)
        return survey.isTypedOverTable(
            m_draftIndex, Names::hydrostatic(row - 1, grid == m_grids.hdtGrid() ? column - 1 : 0));
    return survey.isTypedOverTable(m_draftIndex, Names::mctc(grid == m_grids.mctcp50Grid(), row - 1));
}

void HydrostaticPicker::showMarks(int draftIndex)
{
    m_draftIndex = draftIndex;
    const bool table = m_survey().table().has_value();
    for (const Cell& c : cells()) {
        const bool typed = isTyped(c.grid, c.row, c.column);
        const bool picked = table && !typed && !c.grid->text(c.row, c.column).isEmpty();
        c.grid->setCellBold(c.row, c.column, typed);
        if (QTableWidgetItem* item = c.grid->item(c.row, c.column))
            item->setToolTip(typed ? QLatin1String(kTypedTip) : picked ? QLatin1String(kPickedTip) : QString());
    }
}

void HydrostaticPicker::refresh(int draftIndex, bool reloadTable)
{
    SurveyModel& survey = m_survey();
    const std::optional<int> ship = survey.shipId();
    if (reloadTable || ship != m_loadedShip) {
        m_loadedShip = ship;
        SurveyWindow::tell(survey.reloadTable());
    }
    m_draftIndex = draftIndex;
    const QString reason = survey.pickRows(draftIndex);
    if (survey.table())
        m_grids.showTables(survey.inputs(draftIndex), survey.differences(draftIndex));
    // No table (the rows are typed as they always were), or no true mean draft yet: no word
    // about a draft that is not there.
    m_note->setText(reason);
    m_note->setVisible(!reason.isEmpty());
    showMarks(draftIndex);
}
