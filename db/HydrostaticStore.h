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

// Nothing when the ship has no table.
std::optional<StoredTable> load(Connection& connection, int shipId);
// Replaces the ship's table in one transaction: all of it is kept, or none of it.
void save(Connection& connection, int shipId, const StoredTable& table);
void remove(Connection& connection, int shipId);
// The id of the ship with exactly this name (letter case ignored, as the ship list orders
// names), 0 when there is none.
int shipIdByName(Connection& connection, const QString& shipName);

}  // namespace HydrostaticStore
