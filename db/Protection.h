#pragma once

#include <QString>
#include <optional>

class Connection;

// The user's own passphrase for the database. Delivered, DS.dat and DS.lib are keyed with passwords
// built into the program, which anyone holding a copy of the program can read; protected, both are
// keyed with a passphrase the user chose, after which the program's passwords open nothing.
//
// The key is derived from the passphrase exactly as from the program's passwords, by SQLCipher's
// own rule (PBKDF2-HMAC-SHA1, 64,000 rounds, 32 bytes; CipherKey does the same sum faster), salted
// with the 16 random bytes each file begins with: every file has a salt of its own, written when
// the file was made and kept by the re-keying, so that the same passphrase gives DS.dat and DS.lib
// (and every other user's files) keys of their own, and no table of keys worked out beforehand
// serves against them. The passphrase itself is never stored by the program.
namespace Protection {

// The shortest passphrase taken.
constexpr int MinimumLength = 8;

// Empty when `passphrase` may protect a database, else why not.
QString passphraseProblem(const QString& passphrase);

// Re-keys the open database of `connection` (DS.dat and DS.lib of the folder it was opened on)
// from the key it was opened with to `newPassphrase`, or, when that is empty, back to the program's
// own passwords. DS.lib first, then DS.dat: when DS.dat cannot be re-keyed, DS.lib is keyed back,
// so that the two files always open with one key. Throws VbError; the connection stays open and
// afterwards opens with the new key (as does every connection opened through Database.h).
void rekey(Connection& connection, const QString& newPassphrase);

// The first line of a passphrase file, without its line end. The file must be a regular file of at
// most 4 KiB; nothing, with `error` set, when it is not, cannot be read, or holds no passphrase.
std::optional<QString> readPassphraseFile(const QString& path, QString* error);

// The passphrase the command line was given: from the file of --passphrase-file when `file` is not
// empty, else from the environment variable QUORVANE_PASSPHRASE, never from an argument. Nothing
// (and no error) when neither is given; nothing with `error` set when the file is refused.
std::optional<QString> commandLinePassphrase(const QString& file, QString* error);

// The name of that environment variable.
constexpr const char* EnvironmentVariable = "QUORVANE_PASSPHRASE";

}  // namespace Protection
