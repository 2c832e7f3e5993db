#pragma once

#include "files/SurveyFile.h"
#include "files/SurveyFileModel.h"

#include <QString>
#include <memory>
#include <optional>

class SurveyWindow;

// A survey file and a survey window: the file's figures typed into the window one by one, the way
// the surveyor would type them (every field check and rounding of the window applies, and each
// draft is calculated with the window's own Calculate), and the window's inputs read back into a
// file.
namespace SurveyFileIO {

// The window class that holds a survey of the file's kind: "frmQuorvane" or "frmZODuraduza".
QString windowClass(SurveyFileData::Kind kind);

// Types the survey into `window`, a freshly opened survey window of the file's kind, header first,
// then the Initial draft, Calculate; then, when the file has a Final draft, the Final tab, its
// draft, Calculate. The window shows its own message for a refused value or a failed check;
// the result names the file's field. A refused value stops the entry there, so the window shows
// what was entered up to it with the refused box emptied and focused, as after the user's own
// entry; a draft that fails a calculation check does not stop the other draft being entered.
// `calc` leaves a draft uncalculated (a survey reopened as it was left, before its Calculate).
struct Calculate {
    bool initial = true;
    bool final = true;
};
SurveyLoadResult enter(SurveyWindow& window, const SurveyFileData& data, const QString& fileName,
                 Calculate calc = {});

// The inputs of a survey window as a file: the header, the draft on show as its boxes and grids
// hold it (first copied into its draft, as a tab switch does), and the other draft as the window
// keeps it. A Final draft is written only when something was entered in it.
SurveyFileData read(SurveyWindow& window);

}  // namespace SurveyFileIO
