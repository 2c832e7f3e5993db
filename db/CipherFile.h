#pragma once

#include <QString>

struct sqlite3;

// Opening an encrypted database file: the key is given before anything is read, and a file made
// by either SQLCipher 3 or 4 opens with either library.
namespace CipherFile {

// Opens `path` with `key`. With `create` a missing file is created, otherwise it must exist.
// The key is not checked here: the first read shows whether it was right (see checkReadable).
// Throws VbError with `failureText` when the file cannot be opened at all.
sqlite3* open(const QString& path, const QString& key, bool create, const QString& failureText);

// Reads the schema once: true when the key fits and the file is a database.
bool checkReadable(sqlite3* db);

// Runs statements without rows; throws VbError with the engine's message.
void exec(sqlite3* db, const QString& sql);

// Closes; never throws.
void close(sqlite3* db);

}  // namespace CipherFile
