#pragma once

#include <QString>

// --server URI on the command line: the copy in DS.dat is brought up to date from the company's
// catalogue server before a survey is reported or a table is imported or exported. Out of reach,
// the run says so on standard error and goes on with the copy as it is.
namespace ServerCommandLine {

// With an empty URI nothing is done and nothing is connected to. Otherwise the program's server
// is set to `uri` and the shared connection's copy brought up to date; false when the server was
// out of reach or refused (said on standard error).
bool bringCopyUpToDate(const QString& uri);

} // namespace ServerCommandLine
