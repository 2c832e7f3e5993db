#pragma once

#include "model/TankTable.h"
#include "server/CatalogueServer.h"

// A change to the catalogue from a window (a ship, a port, a hydrostatic or tank table). Without a
// catalogue server it is written into DS.dat as always; with one it goes to the server first,
// and while the server is out of reach the catalogue is read-only: the window says why.
namespace CatalogueWrites {

// Thrown by a window's write once the user has been told why it did not happen (out of reach,
// a change of someone else, the server's refusal): the callers' generic failure box stays away.
struct Told { };

// True when a server is set: the change goes there.
bool viaServer();
// True when a change may go ahead; otherwise tells why and returns false.
bool allowed();
// Tells what the server said when the change did not happen; returns whether it did.
bool report(const CatalogueServer::WriteOutcome& outcome);

// The count of writes (ChangeCount) of the row of `table` (Ship, Port, HydrostaticTable, or
// TankTableChanges for a ship's tank tables) with key `id` in the copy: 0 when there is no such row,
// ChangeCount::NotCounted in a file without the column. The copy raises it whenever it takes a newer version
// of the row from the server.
qint64 countInCopy(const QString& table, int id);
// Whether the copy still holds the row as a window read it (`countRead`, from countInCopy or the
// window's own reading); always true for a count of ChangeCount::NotCounted.
bool copyHolds(const QString& table, int id, qint64 countRead);

// The Tank Tables window's save: the ship's tank tables replaced by `tables` (none takes them all
// off). Without a server, into DS.dat (TankTables::saveForShip); with one, to the server first and
// then into the copy, refused while the server is out of reach. `changeCount` is the count of
// writes the window read with the tables (TankTables::loadForShip) and receives the new one.
// Returns false when the tables were not saved and the user has been told why: out of reach,
// the server's refusal, or someone else's change, which the copy then holds (the window's next
// save is refused as ChangedMeanwhile, as after any change it did not read). Throws VbError as
// TankTables::saveForShip does: ChangeCount::ChangedMeanwhile when the tables are no longer the
// ones the window read, before anything is sent.
bool saveTankTables(int shipId, const TankTables& tables, qint64& changeCount);

} // namespace CatalogueWrites
