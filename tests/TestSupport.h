#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Shared set-up of the test programs.
namespace TestSupport {

// Headless and scripted: message boxes are recorded instead of shown, settings go to a
// temporary folder, numbers are read in the C locale. Call first in initTestCase().
void initTestEnvironment();

// Copies the delivered DS.dat and DS.lib into `dir` and points the application directory there,
// so that each test works on its own copy of the delivered database. Returns the folder.
QString useFreshDatabaseCopy(const QTemporaryDir& dir);

// Copies DS.dat and DS.lib from the folder `from` into the folder `to`, over any there, readable and
// writable by the owner. False when a file could not be replaced.
bool copyDatabaseFiles(const QString& from, const QString& to);

// The same, and the shared connection opened on that copy. False when the start-up failed.
bool openFreshDatabaseCopy(const QTemporaryDir& dir);

// The texts of the message boxes recorded so far, in order.
QStringList messageTexts();

// The folder with the pristine delivered database files written by the build.
QString deliveredDir();

// The root of the source tree (for examples and scripts).
QString sourceDir();

// A program run to its end (a minute unless told otherwise) in `env`: exit status (-1 when it
// crashed or took too long), standard output and standard error; `finished` is false when it was
// killed for taking too long.
struct Run {
    int status = -1;
    QString out;
    QString err;
    bool finished = false;
};
Run runProgram(const QString& program, const QStringList& args,
               const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(), int timeoutMs = 60000);

}  // namespace TestSupport
