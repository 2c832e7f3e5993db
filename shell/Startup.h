#pragma once

#include <QStringList>

// The start-up routine: opens the shared connection, then leads through the About box into the
// main window.
namespace Startup {

struct Outcome {
    int status = 0;             // the process exit status
    bool windowShown = false;   // whether the main window came up
};

// Everything before the event loop, given a running QApplication and the command-line
// arguments after the program's name: the database, then the About box (modal), then the survey
// file named on the command line. On a failure to open the database the start-up failure box has
// been shown, no window is, and the status is 1; a command line that cannot be understood gets
// the usage text on standard error, no window, and the status 2.
Outcome start(const QStringList& arguments);

// The program's entry: the application object, a display check, start(), the event loop.
int main(int argc, char** argv);

// True when a display is at hand, or a Qt platform was named; without one the program says
// so in one line instead of letting the windowing system abort.
bool displayAvailable();

// False on the platforms that draw nothing anyone can see (offscreen, minimal): no message box
// is put up there, as nobody could answer it.
bool platformShowsBoxes();

// The argument "debug": two diagnostic boxes of the tip window.
bool debugMode();
void setDebugMode(bool on);

// Registers the help pages and pictures compiled into the program (the library is static,
// so the program and each test call this once; calling again does no harm).
void initResources();

}  // namespace Startup
