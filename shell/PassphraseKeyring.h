#pragma once

#include <QString>
#include <optional>

// The desktop's keyring (the Secret Service, through QtKeychain), where the user may keep the
// database's passphrase so that the start does not ask for it. Used only where a keyring is
// running on the session bus: without one (no desktop session, a build machine, the tests) every
// call returns at once and does nothing, and nothing ever waits on it for more than a few seconds.
namespace PassphraseKeyring {

// Whether a keyring can be asked at all (built with QtKeychain, and a Secret Service running).
bool available();

// The passphrase kept for the database in `dataDir`; nothing when none is kept or no keyring.
std::optional<QString> read(const QString& dataDir);
// Keeps it; false when it could not be kept.
bool store(const QString& dataDir, const QString& passphrase);
// Forgets it (after the protection was removed).
void forget(const QString& dataDir);

}  // namespace PassphraseKeyring
