#pragma once

#include <QStringList>

struct sqlite3;

// The versions of DS.dat's tables, kept in the file as PRAGMA user_version. A file written before
// a version gains that version's tables when it is opened; nothing already in it is touched.
//   0  the tables the program was first delivered with
//   1  the ships' hydrostatic tables (HydrostaticTable, HydrostaticRow)
//   2  the index of the ships by name (ShipByName)
//   3  real ships' tables: Ship.KeelPlate, HydrostaticTable.Drafts and .LcfConvention
//   4  the change counters of the catalogue's records (ChangeCount of Ship, Port and
//      HydrostaticTable, kept up by triggers; see changeCounterStatements)
//   5  the ships' tank calibration tables (TankTable, TankRow)
//   6  the count of writes of each ship's tank tables (TankTableChanges)
namespace SchemaUpgrade {

constexpr int CurrentVersion = 6;

// The column every record of the catalogue counts its writes in (see ChangeCount.h).
inline constexpr const char* ChangeCountColumn = "ChangeCount";

// Version 4: each ship, port and hydrostatic table counts the writes made to it, so that a window
// that read it can tell, when it saves, whether someone else wrote it meanwhile.
QStringList changeCounterStatements();

int version(sqlite3* db);
// Adds what the file lacks, in one transaction of its own; a file already current is left
// alone. Throws VbError when the file cannot be changed (it then stays as it was).
void bringUpToDate(sqlite3* db);
// The statements of every version after 0, for a file being written afresh inside the caller's
// transaction; the version number is set too.
void addAllVersions(sqlite3* db);

}  // namespace SchemaUpgrade
