#pragma once

#include <QString>
#include <QVector>

class Connection;

// A ship's tank calibration tables in DS.dat (tables TankTable and TankRow, see SchemaUpgrade).
// Figures travel as their exact decimal texts; a list of them (the volumes of a row at each trim)
// as those texts joined by ';'. The model reads them. Every failure throws VbError.
namespace TankStore {

struct StoredRow {
    QString gauge;
    QString volumes; // one per trim
    QString heel; // one per heel column; empty without
};

struct StoredTank {
    QString name;
    QString group; // "Ballast", "Fresh Water", ...
    QString gauge; // "sounding" or "ullage"
    QString density; // empty for none
    QString trims; // m, the program's own sign
    QString heels; // degrees, port negative; empty without
    QVector<StoredRow> rows;
};

// The ship's tanks in their order; none in a file that keeps no tank tables (one that could
// not be brought up to date).
QVector<StoredTank> load(Connection& connection, int shipId);
// Replaces all the ship's tanks in one savepoint: all of them are kept, or none.
void save(Connection& connection, int shipId, const QVector<StoredTank>& tanks);

} // namespace TankStore
