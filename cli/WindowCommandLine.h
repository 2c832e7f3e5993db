#pragma once

#include <QString>
#include <QStringList>

// The command line of the program with its main window (the survey mode's is SurveyCommandLine):
//   quorvane-lt [debug] [--data-dir DIR] [--passphrase-file FILE] [FILE.qsurvey.json]
// (a desktop opens a survey file with the program by giving its path).
namespace WindowCommandLine {

struct Options {
    bool debug = false;   // "debug": the tip window's diagnostic boxes
    QString dataDir;      // --data-dir DIR: the survey database in DIR
    QString server;       // --server URI: the catalogue server (else the one in the settings)
    QString passphraseFile;  // --passphrase-file FILE: the passphrase of a protected database
    QString surveyFile;   // a survey file to open once the main window is up
    QString error;        // why the command line cannot be understood; empty when it can
};

// Reads the arguments after the program's name. Qt's own options have already been taken off
// by the application object.
Options parse(const QStringList& arguments);

// The lines of the usage text that describe the program with its window.
QString usageLines();

// Writes "quorvane-lt: <error>", an empty line and the whole usage text to standard error (the
// user's own words with their control characters shown escaped); returns `status`, with which
// the process then ends. The survey mode refuses its command line the same way.
constexpr int kBadCommandLine = 2;
int refuse(const QString& error, int status = kBadCommandLine);

}  // namespace WindowCommandLine
