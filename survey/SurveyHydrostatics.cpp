// The survey window's side of picking the hydrostatic rows from the ship's table.

#include "survey/HydrostaticPicker.h"
#include "survey/SurveyWindow.h"

void SurveyWindow::pickHydrostaticRows(bool reloadTable)
{
    // The rows are picked once the six readings are in: a half-read panel has a true mean draft
    // too, but not the ship's.
    const int index = draftOnShow();
    const SurveyModel::DraftInputs& in = m_model->inputs(index);
    bool readings = true;
    for (const QString& reading : in.readings)
        readings = readings && !reading.trimmed().isEmpty();
    bool valid = false;
    const DraftCorrections::Result panel = m_model->panel(index, &valid);
    std::optional<Decimal> draft;
    if (readings && valid && panel.corrected && panel.trueMeanDraft > Decimal(0))
        draft = panel.trueMeanDraft;
    m_picker->refresh(index, draft, reloadTable);
    // What the table gave is the draft's rows now.
    m_grids->tablesInto(m_model->editInputs(index));
}
