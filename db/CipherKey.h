#pragma once

#include <QByteArray>

// The key of an encrypted database file, derived from its password the way the engine derives it
// (PBKDF2 with HMAC-SHA1, 64,000 rounds, salted with the file's first 16 bytes, 32 bytes long),
// but without the engine's per-round overhead: the same key in well under half the time. The
// file is read with that key given raw, so it stays exactly as the engine wrote it.
namespace CipherKey {

constexpr int Rounds = 64000;
constexpr int KeyBytes = 32;
constexpr int SaltBytes = 16;

// PBKDF2-HMAC-SHA1 of `password` and `salt`, `length` bytes.
QByteArray pbkdf2Sha1(const QByteArray& password, const QByteArray& salt, int rounds, int length);

// The file's key for `password` and `salt` as the engine takes a raw key: x'<64 hex digits>'.
QByteArray rawKey(const QByteArray& password, const QByteArray& salt);

// The salt of an encrypted file: its first 16 bytes, or empty when it has fewer.
QByteArray fileSalt(const QString& path);

// Overwrites a key's bytes before it is let go.
void wipe(QByteArray& key);

}  // namespace CipherKey
