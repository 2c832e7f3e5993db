#pragma once

#include <QString>
#include <QStringList>

// The survey report without any window:
//   quorvane-lt --survey FILE [--pdf OUT.pdf] [--captions OUT.json] [--data-dir DIR]
//   quorvane-lt --survey FILE... [--pdf-dir DIR] [--captions-dir DIR] [--data-dir DIR]
// loads each survey file into a survey model, calculates, fills the report and writes it. The
// database is opened once for the run.
namespace SurveyCommandLine {

// Exit statuses.
enum Status {
    Done = 0,
    Failed = 1,   // bad command line, unreadable or foreign file, unknown ship or port, no database,
                  // an output that cannot be written
    Refused = 2,  // a value refused by its field, or a draft that failed a check of its calculation
    Warned = 3,   // with --strict: the report was made, but a check before signing warned
};

// True when the command line asks for this mode (--survey or --help anywhere on it), so that the
// program starts no window.
bool wanted(const QStringList& arguments);
bool wanted(int argc, char** argv);

QString helpText();

// The whole run: its own application object (no widgets) on the offscreen platform, messages to
// standard error. Returns the exit status, the worst of the files'.
int main(int argc, char** argv);

}  // namespace SurveyCommandLine
