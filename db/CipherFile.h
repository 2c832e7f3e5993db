#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

struct sqlite3;

// Opening an encrypted database file: the key is given before anything is read, and a file made
// by either SQLCipher 3 or 4 opens with either library.
namespace CipherFile {

// Opens `path` with `key`. With `create` a missing file is created, otherwise it must exist.
// The key is not checked here: the first read shows whether it was right (see checkReadable).
// Throws VbError with `failureText` when the file cannot be opened at all. `keyUsed`, when given,
// receives the key as handed to the engine, for another connection on the same file (openWithKey)
// that should not derive it again.
sqlite3* open(const QString& path, const QString& key, bool create, const QString& failureText,
              QByteArray* keyUsed = nullptr);

// Opens `path` with the key exactly as the engine is to take it (see open's `keyUsed`).
sqlite3* openWithKey(const QString& path, const QByteArray& keyBytes, bool create, const QString& failureText);

// Reads the schema once: true when the key fits and the file is a database.
bool checkReadable(sqlite3* db);
// After a failed read: whether another program held the file (locked while it writes to it),
// rather than the key being wrong. The engine has waited for it first (see openWithKey).
bool isBusy(sqlite3* db);
// "'<path>' is in use by another program ..."
QString lockedText(const QString& path);

// Reads every page once (PRAGMA quick_check): true when the engine finds nothing wrong. The
// engine otherwise reads only the pages a statement needs, and a page damaged further in would
// show only when a survey reaches it - or be written over.
bool quickCheck(sqlite3* db);

// A journal left beside `path` by a write that never finished is rolled back by the first read.
// Before that happens to the user's file, the rollback is tried on a copy of the file and its
// journal: false when the copy does not come out whole (a journal that is damaged, or belongs to
// another file). True when there is no journal.
bool journalRollsBackWhole(const QString& path, const QString& key);

// The first column of the first row of a query yielding one integer (a count, a pragma); empty
// when the query cannot run or yields no row.
std::optional<int> queryInt(sqlite3* db, const char* sql);

// Runs statements without rows; throws VbError with the engine's message.
void exec(sqlite3* db, const QString& sql);

// Closes; never throws.
void close(sqlite3* db);

}  // namespace CipherFile
