#pragma once

#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

struct sqlite3;
class PgSession;

// DS.dat as the working copy of the server's catalogue. Its bookkeeping lives in two small tables
// of its own, made when a copy is first brought up to date and left alone otherwise:
//   ServerCopy       the server it copies (its identity), the highest change number it has seen
//                    and when it was last brought up to date
//   ServerRowChange  for each row of the catalogue, the change number of the version the copy
//                    holds: a change to the row is sent with it, and the server refuses it when
//                    someone else has changed the row since
namespace CatalogueCopy {

struct State {
    QString identity; // empty: never brought up to date from a server
    qint64 lastChange = 0;
    QString updatedAt; // ISO date and time (UTC) of the last update, empty when never
};

// The copy's bookkeeping (an empty State in a file that has none).
State state(sqlite3* copy);
// The change number of the row as the copy holds it; 0 when the copy does not know it.
qint64 rowChange(sqlite3* copy, const QString& table, int key);

// What changed on the server since the copy's last update. Rows are texts in the order of the
// columns below (null for NULL); the last of each is the row's change number.
struct Changes {
    QString identity;
    bool fresh = false; // the copy starts afresh: its catalogue is replaced by the server's
    qint64 upTo = 0; // the highest change number the copy has seen once these are in
    QVector<QStringList> ports; // PortID, PortName, City, Country, Change
    QVector<QStringList> ships; // ShipID, ShipName, PortOfRegistry, LBP, ... NetTonnage, Change
    QVector<QStringList> deductions; // ItemID, ItemName, Change
    QVector<QStringList> tables; // ShipID, Density, Change
    QVector<QStringList> tableRows; // ShipID, RowNo, Draft, Displacement, TPC, LCF, MCTC
    // The ships whose tank tables changed (ShipID, Change), each with all her tanks as they are now
    // (none when they were all taken off): a copy replaces hers with them.
    QVector<QStringList> tankShips;
    QVector<QStringList> tanks; // ShipID, TankNo, TankName, TankGroup, Gauge, Density, Trims, Heels
    QVector<QStringList> tankRows; // ShipID, TankNo, RowNo, Gauge, Volumes, Heel
    QVector<QPair<QString, int>> removed; // table (lower case) and key
    int rowCount() const;
};

// Reads the changes after `since` in one snapshot of the server; when `knownIdentity` is not the
// server's, everything. Touches no file: safe on a thread of its own with its own session.
// Throws ServerError.
Changes fetch(PgSession& server, const QString& knownIdentity, qint64 since);
// Only the rows of one ship, her port and her table, as they are now on the server (after a
// write): applied like any other changes, without moving the copy's last change number.
Changes fetchShip(PgSession& server, int shipId);
Changes fetchPort(PgSession& server, int portId);
// The ship's tank tables as they are now on the server (after a write of them).
Changes fetchTanks(PgSession& server, int shipId);

// Writes the changes into the copy in one transaction (all or nothing) and records them in its
// bookkeeping; `moveMark` false for the rows of one write (fetchShip), whose numbers say nothing
// of rows the copy has not seen. Throws VbError.
void apply(sqlite3* copy, const Changes& changes, bool moveMark = true);

// The columns of each table, in the order of the rows above (without Change).
QStringList shipColumns();
QStringList portColumns();

} // namespace CatalogueCopy
