#pragma once

#include "core/Variant.h"

#include <QString>
#include <memory>

class RowSet;

// The read-only particulars of one ship, as the survey windows, the drafts and the report see
// them. Never writes the database.
class ShipRecord {
public:
    ShipRecord();
    ~ShipRecord();
    ShipRecord(const ShipRecord&) = delete;
    ShipRecord& operator=(const ShipRecord&) = delete;

    // Loads the ship; 1 when its row set was opened (also for an unknown id, which gives an empty
    // row set), 0 after an error, which is shown to the user in a plain box.
    int load(int shipId);

    // Column values of the loaded row. With no row (never loaded, unknown id or failed load) they
    // throw VbError; the text accessors also throw on a null column.
    Variant summerDeadweight() const;
    Variant summerDraft() const;
    Variant netTonnage() const;
    Variant grossTonnage() const;
    QString flag() const;
    Variant officialNo() const;
    Variant portOfRegistry() const;
    QString callSign() const;
    Variant lightShip() const;
    Variant breadth() const;
    Variant loa() const;
    Variant lbp() const;
    // The keel plate's thickness in mm: 0 when none is kept (or with no row).
    Decimal keelPlateMm() const;
    QString shipName() const;

private:
    Variant column(const char* name) const;
    QString textColumn(const char* name) const;

    std::unique_ptr<RowSet> m_ship;
};
