#pragma once

#include <QString>
#include <functional>

class QWidget;
class SurveyWindow;
class MainWindow;

// The Draft Survey menu's "Open Survey..." and "Save Survey As...": a survey kept as a file,
// opened again in the survey window of its kind, every figure typed in through the window.
namespace SurveyFileCommands {

// The main window's command names of the two menu items, registered with it.
QString openCommand();  // "OpenSurvey"
QString saveCommand();  // "SaveSurveyAs"
void registerCommands();

// Open Survey: asks for a file, then openFile().
void openSurvey(MainWindow& mdi);
// Opens the file in the survey window of its kind and types the survey in. A file that cannot be
// read, is no survey or names what the database does not hold gets one message and changes
// nothing on screen. An open window of that kind that holds a survey is replaced only when the
// user agrees. Returns the window that took the survey (also when a value was refused part-way:
// it then shows what was entered), or nullptr when none was opened.
SurveyWindow* openFile(MainWindow& mdi, const QString& path);

// Reopens a survey left in a recovery file (Recent Surveys) as it was left: figures, tab and the
// survey file it came from; the window then goes on keeping its entries in that recovery file.
SurveyWindow* reopenRecovered(MainWindow& mdi, const QString& recoveryPath);

// Save Survey As: the active survey window's inputs, into a file the user names.
void saveSurveyAs(MainWindow& mdi);
// Writes the window's inputs to `path`; false, after telling the user, when it cannot.
bool saveFile(SurveyWindow& window, const QString& path);

// The file the user picks in the open or save dialog (empty: cancelled). Tests supply the name
// themselves; an empty function brings the dialogs back.
using FileChooser = std::function<QString(QWidget* parent, bool forSaving, const QString& suggested)>;
void setFileChooser(FileChooser chooser);

}  // namespace SurveyFileCommands
