#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>

// What the program hands to the desktop: the maker's mail and web addresses (all of them here)
// and the calculator and text editor of the Tools menu.
namespace Desktop {

// The addresses behind the Help menu.
QUrl supportMailAddress();  // Technical Support
QUrl bugReportPage();       // Submit bugs

struct WebPage {
    int index;        // the entry's index in the web submenu (5, 10, 15, 20, 25)
    QString caption;  // menu caption
    QUrl address;
};
QString webMenuCaption();
QList<WebPage> webPages();

// Opens an address with the desktop's default program (browser, mail program). Nothing is
// reported when the desktop cannot do it; the result says whether it accepted.
bool openAddress(const QUrl& address);

// The programs tried in turn for Tools, Calculator and Tools, Notepad.
QStringList calculatorPrograms();
QStringList editorPrograms();

// Starts the first of the desktop's calculators that can be started, without waiting for it;
// when none can, says so in a message box. Returns whether one was started.
bool startCalculator();
// The same for a text editor. As a last resort the desktop's default editor is asked to open
// the user's notes file (kept in the program's data folder, so nothing written there is lost).
bool startNotepad();

// The file the last resort of startNotepad opens; created empty when absent.
QString notesFile();

// Test seams: replace the desktop by functions (an empty function restores the desktop).
using AddressOpener = std::function<bool(const QUrl&)>;
using ProgramStarter = std::function<bool(const QString& program, const QStringList& arguments)>;
void setAddressOpener(AddressOpener opener);
void setProgramStarter(ProgramStarter starter);

}  // namespace Desktop
