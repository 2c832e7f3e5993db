#pragma once

class QKeyEvent;

// Keys of the survey windows that are no field's own.
namespace SurveyKeys {

// Ctrl+Tab and Ctrl+PgDn go to the next draft's tab, Ctrl+Shift+Tab and Ctrl+PgUp to the previous
// one (with two drafts either way leads to the other): the keys every tabbed window answers, for a
// tab bar that never takes the focus itself.
bool switchesDraftTab(const QKeyEvent& key);
// +1 for the next tab (Ctrl+Tab, Ctrl+PgDn), -1 for the previous one; 0 for any other key.
int draftTabStep(const QKeyEvent& key);

}  // namespace SurveyKeys
