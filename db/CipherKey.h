#pragma once

#include <QByteArray>

// The key of an encrypted database file, derived from its password the way the engine derives it
// (PBKDF2 with HMAC-SHA1, 64,000 rounds, salted with the file's first 16 bytes, 32 bytes long),
// but without the engine's per-round overhead: the same key in a fifth of the time. The
// file is read with that key given raw, so it stays exactly as the engine wrote it.
namespace CipherKey {

constexpr int Rounds = 64000;
constexpr int KeyBytes = 32;
constexpr int SaltBytes = 16;

// How the rounds are hashed: on the processor's SHA extensions when it has them, or always with
// the library's portable step (to test one against the other).
enum class Path { Fastest, Portable };

// PBKDF2-HMAC-SHA1 of `password` and `salt`, `length` bytes.
QByteArray pbkdf2Sha1(const QByteArray& password, const QByteArray& salt, int rounds, int length,
                      Path path = Path::Fastest);

// The file's key for `password` and `salt` as the engine takes a raw key: x'<64 hex digits>'.
QByteArray rawKey(const QByteArray& password, const QByteArray& salt);

// The salt of an encrypted file: its first 16 bytes, or empty when it has fewer.
QByteArray fileSalt(const QString& path);

// Overwrites a key's bytes before it is let go.
void wipe(QByteArray& key);

}  // namespace CipherKey
