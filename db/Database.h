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
void OpenDatabase();
bool StartupFailed();

// Closes the shared connection; errors while closing are ignored.
void CloseDatabase();
