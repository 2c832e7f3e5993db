#pragma once

#include <QIcon>
#include <QString>
#include <QStringList>

// The program's own pictures for menus, the toolbar, the navigator and the window icon, drawn
// at each size so they stay sharp and look alike on every desktop.
//
// Keys: "New", "Open", "Save", "Close", "Print", "PrintPreview", "Delete", "Exit",
// "ShipParticulars", "PortMaster", "Loading", "Discharging", "Calculator", "Notepad",
// "TipOfDay", "Help", "TechSupport", "Web", "Bug", "About", "Application".
namespace AppIcons {

// The picture under that key; a null icon for an unknown key.
QIcon icon(const QString& key);

QStringList keys();

}  // namespace AppIcons
