#pragma once

#include <QString>

class MainWindow;

// The main window and the company's catalogue server: the copy in DS.dat brought up to date in
// the background once the window is up (and again every few minutes, sooner while the server is
// out of reach), the status bar's panel "sbCatalogue" saying when that last happened or that the
// server is out of reach, and the Tools menu's "Catalogue Server..." that sets the server's URI
// (kept in the settings without any password). Without a server nothing here connects anywhere
// and the panel stays hidden.
namespace CatalogueLink {

// The command of the Tools menu item, registered with the main window.
QString settingsCommand(); // "CatalogueServer"
void registerCommands();

// Takes the URI of --server, else the one kept in the settings, and starts the updates.
void start(MainWindow& mdi, const QString& commandLineUri);

// Asks now (the settings' OK, a test): the update runs in the background as at start.
void updateNow(MainWindow& mdi);

} // namespace CatalogueLink
