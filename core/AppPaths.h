#pragma once

#include <QSettings>
#include <QString>

// Where the program finds DS.dat and DS.lib. A copy that has them beside its executable (a build
// folder, a portable copy on a stick) keeps using them there; an installed program, whose folder
// the user cannot write, keeps them in the user's data folder. Tests and the command line point it
// at another folder so that each works on its own copy of the database.
namespace AppPaths {

// The folder that holds DS.dat and DS.lib, without a trailing separator: the folder set by
// setAppDir() (--data-dir), else $QUORVANE_APP_DIR, else the program's folder when DS.dat lies
// there, else the user's data folder.
QString appDir();

// Points the application directory elsewhere; an empty text returns to the choice above.
void setAppDir(const QString& dir);

// The folder of quorvane-lt: the running executable's, unless set otherwise (the database tool
// sits in tools/ of a build folder, one level below the program).
QString programDir();
void setProgramDir(const QString& dir);

// The user's data folder of the program (the platform's application data location under the
// program's name, e.g. ~/.local/share/quorvane-lt); it may not exist yet. The database lives
// there when none lies beside the program, and the recovery files of open surveys always do.
// Tests point it at a temporary folder; an empty text returns to the standard place.
QString userDataDir();
void setUserDataDir(const QString& dir);

// The choice itself: `programDir` when DS.dat lies there, else `userDir`.
QString chooseDataDir(const QString& programDir, const QString& userDir);

// True when appDir() is the user's data folder: the only folder the program fills by itself.
bool usesUserDataDir();

// Makes `dir` with its missing parents; the folders made that hold the user's data (`dir` itself
// and anything at or below the user's data folder) are made for the owner alone (0700). A folder
// that exists is left as it is. False when it cannot be made.
bool makePrivateFolder(const QString& dir);

// The settings file readable by the user alone (it lists the surveys' paths): called after a
// write, once the file exists.
void keepSettingsPrivate(QSettings& settings);

// The executable's base name ("quorvane-lt"), under which the per-user settings are kept.
QString appName();

// The per-user settings of the program (the tips, the recent surveys, the report preview).
QSettings settings();

// Names the running application after the program, so that the program, its command line and
// the database tool all find the same user's data folder. Needs a QCoreApplication.
void setApplicationNames();

}  // namespace AppPaths
