#pragma once

#include <QString>

class Connection;

// The one connection that every window and the draft model share for the whole run.
Connection& SharedConnection();

// The connection string of the shared connection, built from the application directory.
QString ConnectionString();
// The same for the database in `dir`.
QString ConnectionString(const QString& dir);

// Opens `connection` on DS.dat and DS.lib of the application directory, with the connection
// string above and the two files named apart from it (see Connection::setFiles). Throws VbError.
void OpenOnAppDir(Connection& connection);
// The same on the files of another folder.
void OpenOnDir(Connection& connection, const QString& dir);

// Opens the shared connection; on failure shows the start-up failure box and sets StartupFailed.
// With WholeCheck::InBackground the reading of every page of DS.dat goes on on a thread of its own after
// this returns (see Connection::setWholeCheckInBackground): the start calls ConfirmDatabaseWhole
// before it shows anything that could change the file.
enum class WholeCheck { BeforeOpening, InBackground };
void OpenDatabase(WholeCheck check = WholeCheck::BeforeOpening);
// OpenDatabase in two halves: the files are keyed and read on a thread of their own while the
// caller goes on (making the About box, say); FinishOpeningDatabase waits for that and, on failure,
// does what OpenDatabase does. Nothing may use the shared connection in between.
void BeginOpeningDatabase(WholeCheck check = WholeCheck::BeforeOpening);
void FinishOpeningDatabase();
// Waits for that reading: on a damaged page shows the start-up failure box, closes the shared
// connection, sets StartupFailed and returns false. Once the start has failed, returns false
// without telling it again.
bool ConfirmDatabaseWhole();
bool StartupFailed();

// Closes the shared connection; errors while closing are ignored.
void CloseDatabase();
