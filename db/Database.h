#pragma once

#include <QString>

class Connection;

// The one connection that every window and the draft model share for the whole run.
Connection& sharedConnection();

// The connection string of the shared connection, built from the application directory.
QString databaseConnectionString();
// The same for the database in `dir`.
QString databaseConnectionString(const QString& dir);

// Opens `connection` on DS.dat and DS.lib of the application directory, with the connection
// string above and the two files named apart from it (see Connection::setFiles). Throws VbError.
void openOnAppDir(Connection& connection);
// The same on the files of another folder.
void openOnDir(Connection& connection, const QString& dir);

// Opens the shared connection; on failure shows the start-up failure box and sets startupFailed.
// With WholeCheck::InBackground the reading of every page of DS.dat goes on on a thread of its own after
// this returns (see Connection::setWholeCheckInBackground): the start calls confirmDatabaseWhole
// before it shows anything that could change the file.
enum class WholeCheck { BeforeOpening, InBackground };
void openDatabase(WholeCheck check = WholeCheck::BeforeOpening);
// openDatabase in two halves: the files are keyed and read on a thread of their own while the
// caller goes on (making the About box, say); finishOpeningDatabase waits for that and, on failure,
// does what openDatabase does. Nothing may use the shared connection in between.
void beginOpeningDatabase(WholeCheck check = WholeCheck::BeforeOpening);
void finishOpeningDatabase();
// Waits for that reading: on a damaged page shows the start-up failure box, closes the shared
// connection, sets startupFailed and returns false. Once the start has failed, returns false
// without telling it again.
bool confirmDatabaseWhole();
bool startupFailed();

// Closes the shared connection; errors while closing are ignored.
void closeDatabase();
