#pragma once

#include <QString>

// Where the program finds DS.dat and DS.lib. Normally the folder of the executable; tests and the
// command line point it at another folder so that each works on its own copy of the database.
namespace AppPaths {

// The application directory, without a trailing separator.
QString appDir();

// Points the application directory elsewhere; an empty text returns to the executable's folder.
void setAppDir(const QString& dir);

// The user's own data folder (QStandardPaths::AppDataLocation), where the program keeps what
// belongs to the user rather than to the installation: the recovery files of open surveys. Tests
// point it at a temporary folder; an empty text returns to the standard place.
QString userDataDir();
void setUserDataDir(const QString& dir);

// The executable's base name ("quorvane-lt"), under which the per-user settings are kept.
QString appName();

}  // namespace AppPaths
