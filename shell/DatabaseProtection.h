#pragma once

class MainWindow;

// Tools, "Protect the Database..." and "Remove the Protection...": the database in use re-keyed
// with a passphrase the user chooses, or back with the program's own password (db/Protection.h).
// And at start, the passphrase of a protected database asked for.
namespace DatabaseProtection {

// Registers the two menu commands with the main window.
void registerCommands();
// "ProtectDatabase", "UnprotectDatabase"
const char* protectCommand();
const char* unprotectCommand();

void protect(MainWindow& mdi);
void unprotect(MainWindow& mdi);

// The start's way to the passphrase of a protected database (Database.h's setPassphraseAsker):
// the dialog.
void installStartAsker();

}  // namespace DatabaseProtection
