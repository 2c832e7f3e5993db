#pragma once

#include <QString>
#include <QVector>
#include <optional>

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
// not be brought up to date). `changeCount`, when given, receives the count of writes of the
// ship's tank tables (table TankTableChanges, see ChangeCount.h): 0 when they were never written,
// ChangeCount::NotCounted in a file without the counts.
QVector<StoredTank> load(Connection& connection, int shipId, qint64* changeCount = nullptr);
// Replaces all the ship's tanks in one savepoint: all of them are kept, or none. With
// `countRead` (what load gave) the tanks are written only while the ship's tables still hold
// that count; otherwise VbError ChangeCount::ChangedMeanwhile is thrown and nothing is written.
// Without it they are written whatever they hold (the command line's import). Returns the new
// count.
qint64 save(Connection& connection, int shipId, const QVector<StoredTank>& tanks,
            std::optional<qint64> countRead = std::nullopt);

} // namespace TankStore
