#pragma once

#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

class Connection;

// A ship's hydrostatic table in DS.dat (tables HydrostaticTable and HydrostaticRow, see
// SchemaUpgrade). Figures travel as their exact decimal texts ("6.1", "-1.95"); the model reads
// them. Every failure throws VbError.
namespace HydrostaticStore {

struct StoredTable {
    QString density;
    QString drafts;         // "extreme" or "moulded"; empty in a table kept before either was
    QString lcfConvention;  // the convention its LCF came in ("midship-aft", ...); may be empty
    // One entry per row in order: draft, displacement, TPC, LCF, MCTC.
    QVector<QStringList> rows;
};

// Nothing when the ship has no table. `changeCount`, when given, receives the count of writes of
// the ship's table (see ChangeCount.h): 0 when she never had one, ChangeCount::NotCounted in a
// file without the counters. A table removed keeps its count, so that a window that read it
// before the removal cannot write it back afterwards.
std::optional<StoredTable> load(Connection& connection, int shipId, qint64* changeCount = nullptr);
// Replaces the ship's table in one transaction: all of it is kept, or none of it. With
// `countRead` (what load gave), the table is written only while it still holds that count;
// otherwise VbError ChangeCount::ChangedMeanwhile is thrown and nothing is written. Without it
// the table is written whatever it holds (the command line's import). Returns the table's new
// count.
qint64 save(Connection& connection, int shipId, const StoredTable& table,
            std::optional<qint64> countRead = std::nullopt);
// Removes the ship's table, on the same terms as save.
qint64 remove(Connection& connection, int shipId, std::optional<qint64> countRead = std::nullopt);
// The id of the ship with exactly this name (letter case ignored, as the ship list orders
// names), 0 when there is none.
int shipIdByName(Connection& connection, const QString& shipName);

}  // namespace HydrostaticStore
