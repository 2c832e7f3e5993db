// The checks before signing in a survey window: the draft just calculated is checked in the
// survey, and the list under the results shows what was found for the draft on show.
#include "survey/FindingsList.h"
#include "survey/SurveyWindow.h"

#include <QTabWidget>

void SurveyWindow::checkCalculatedDraft(int draft)
{
    syncModel();
    m_model->checkDraft(draft);
    showFindings();
}

void SurveyWindow::clearFindings(int draft)
{
    m_model->clearFindings(draft);
    showFindings();
}

void SurveyWindow::showFindings()
{
    if (!lstFindings)
        return;
    const int tab = currentTab();
    SurveyFindings shown;
    for (const SurveyFinding& f : m_model->findings()) {
        // The Final tab also shows what concerns the survey as a whole: it is worked there.
        const bool onShow = tab == InitialTab ? f.draft == SurveyFinding::Draft::Initial
                            : tab == FinalTab ? f.draft != SurveyFinding::Draft::Initial
                                              : false;
        if (onShow)
            shown.append(f);
    }
    lstFindings->showFindings(shown);
}
