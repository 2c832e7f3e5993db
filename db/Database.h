#pragma once

#include <QString>

class Connection;

// The one connection that every window and the draft model share for the whole run.
Connection& SharedConnection();

// The connection string of the shared connection, built from the application directory.
QString ConnectionString();
// The same for the database in `dir`.
QString ConnectionString(const QString& dir);

// Opens the shared connection; on failure shows the start-up failure box and sets StartupFailed.
void OpenDatabase();
bool StartupFailed();

// Closes the shared connection; errors while closing are ignored.
void CloseDatabase();
