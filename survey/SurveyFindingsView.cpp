// The checks before signing in a survey window: the list under the results shows what the survey
// found for the draft on show.
#include "survey/FindingsList.h"
#include "survey/SurveyWindow.h"

#include <QTabWidget>

void SurveyWindow::showFindings()
{
    if (!lstFindings)
        return;
    const int tab = currentTab();
    SurveyFindings shown;
    // The Daily tab lists what was found on the check on show.
    if (tab == DailyTab) {
        const SurveyFindings found =
            m_checkShown >= 0 ? m_model->draftFindings(m_checkShown) : SurveyFindings();
        lstFindings->showFindings(found);
        return;
    }
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
