#pragma once

#include "core/Variant.h"

#include <QString>
#include <memory>

class RowSet;

// The read-only particulars of one ship, as the survey windows, the drafts and the report see
// them. Never writes the database.
class clsShip {
public:
    clsShip();
    ~clsShip();
    clsShip(const clsShip&) = delete;
    clsShip& operator=(const clsShip&) = delete;

    // Loads the ship; 1 when its row set was opened (also for an unknown id, which gives an empty
    // row set), 0 after an error, which is shown to the user in a plain box.
    int SetShip(int ShipID);

    // Column values of the loaded row. With no row (never loaded, unknown id or failed load) they
    // throw VbError; the text accessors also throw on a null column.
    Variant SummerDeadweight() const;
    Variant SummerDraft() const;
    Variant NetTonnage() const;
    Variant GrossTonnage() const;
    QString Flag() const;
    Variant OfficialNo() const;
    Variant PortOfRegistry() const;
    QString CallSign() const;
    Variant LightShip() const;
    Variant Breadth() const;
    Variant LOA() const;
    Variant LBP() const;
    QString ShipName() const;

private:
    Variant column(const char* name) const;
    QString textColumn(const char* name) const;

    std::unique_ptr<RowSet> m_ship;
};
