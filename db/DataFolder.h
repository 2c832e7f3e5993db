#pragma once

#include <QString>
#include <QStringList>

// The survey database in the user's data folder: written there, from the delivered schema and
// catalogue, the first time the program starts without a database of its own beside it.
namespace DataFolder {

// Makes sure AppPaths::appDir() holds a database when it is the user's data folder: creates the
// folder and writes the delivered DS.dat and DS.lib into it when DS.dat is missing. An existing
// DS.dat is never written over, and any other folder (beside the program, --data-dir) is left as
// it is. False, with `error` set, when the folder or the files cannot be written.
bool prepare(QString* error = nullptr);

// The same for a given folder, whichever it is (the database tool's --examples on the folder the
// program uses). True when DS.dat was already there or has been written.
bool writeDeliveredIfMissing(const QString& dir, QString* error = nullptr);

}  // namespace DataFolder

// The ship and the ports the example surveys (examples/) name.
namespace ExampleData {

// Adds them to DS.dat in `dir` where they are missing; no other row is touched. Returns the
// names added, "port NAME" or "ship NAME", in the order added. Throws VbError when the database
// cannot be opened or written.
QStringList add(const QString& dir);

// The example ship's name ("Coral Meridian").
QString shipName();

}  // namespace ExampleData
