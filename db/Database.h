#pragma once

#include <QString>
#include <functional>
#include <optional>

class Connection;

// The one connection that every window and the draft model share for the whole run.
Connection& sharedConnection();

// The connection string of the shared connection, built from the application directory.
QString databaseConnectionString();
// The same for the database in `dir`.
QString databaseConnectionString(const QString& dir);

// The user's passphrase for the run (see Protection.h): every connection opened below is keyed
// with it, and falls back to the program's own passwords when they open the files (a passphrase
// kept for another folder). Empty: the program's own passwords only.
void setDatabasePassphrase(const QString& passphrase);
QString databasePassphrase();

// Opens `connection` on DS.dat and DS.lib of the application directory, with the connection
// string above and the two files named apart from it (see Connection::setFiles). Throws VbError.
void openOnAppDir(Connection& connection);
// The same on the files of another folder.
void openOnDir(Connection& connection, const QString& dir);

// At start, when the files do not open with the program's passwords nor with the passphrase set
// (a protected database): asks the user for the passphrase of the database in `dataDir` (a
// dialog, or the desktop's keyring; tests put their own answer here). `attempt` counts from 0; the
// asker is asked again while the passphrase it gave opens nothing, until it gives nothing (a
// passphrase from the keyring that no longer fits is followed by the dialog). Nothing: the user
// cancelled, and the start ends with the box of a wrong password.
using PassphraseAsker = std::function<std::optional<QString>(const QString& dataDir, int attempt)>;
void setPassphraseAsker(PassphraseAsker asker);

// What the start-up failure box says: which file, and what is wrong with it, with what the user
// can do about it.
QString startupFailureText(const Connection& connection, const QString& description);

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
