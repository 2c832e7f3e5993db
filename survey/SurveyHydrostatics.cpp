// The survey window's side of picking the hydrostatic rows from the ship's table.

#include "survey/HydrostaticPicker.h"
#include "survey/SurveyWindow.h"

#include <QLineEdit>

void SurveyWindow::pickHydrostaticRows(bool reloadTable)
{
    // The rows are picked once the six readings are in: a half-read panel has a true mean draft
    // too, but not the ship's.
    bool readings = true;
    for (const QLineEdit* box : {txtFwdPort, txtFwdStbd, txtMidShipPort, txtMidshipStbd, txtAftPort, txtAftStbd})
        readings = readings && !box->text().trimmed().isEmpty();
    std::optional<Decimal> draft;
    if (readings && m_panelValid && m_panel.corrected && m_panel.trueMeanDraft > Decimal(0))
        draft = m_panel.trueMeanDraft;
    m_picker->refresh(currentTab() == FinalTab ? 1 : 0, draft, reloadTable);
}
