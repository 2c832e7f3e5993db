// The survey window's side of picking the hydrostatic rows from the ship's table.

#include "survey/HydrostaticPicker.h"
#include "survey/SurveyWindow.h"

void SurveyWindow::pickHydrostaticRows(bool reloadTable)
{
    m_picker->refresh(draftOnShow(), reloadTable);
}
