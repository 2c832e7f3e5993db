#include "model/ShipRecord.h"

#include "db/Database.h"
#include "core/MessageService.h"
#include "core/Numeric.h"
#include "core/VbError.h"
#include "db/RowSet.h"
#include "db/SqlCatalogue.h"

ShipRecord::ShipRecord() = default;
ShipRecord::~ShipRecord() = default;

int ShipRecord::load(int shipId)
{
    // The previous ship's rows go; on failure the record is left with a new, unopened row set.
    m_ship = std::make_unique<RowSet>();
    try {
        m_ship->open(SqlCatalogue::shipById(shipId), sharedConnection());
        return 1;
    } catch (const VbError& e) {
        MessageService::plain(e.description());
    } catch (const std::exception& e) {
        MessageService::plain(QString::fromLocal8Bit(e.what()));
    }
    return 0;
}

Variant ShipRecord::column(const char* name) const
{
    if (!m_ship)
        throw VbError(91, QStringLiteral("Object variable or With block variable not set"));
    return m_ship->value(QLatin1String(name));
}

QString ShipRecord::textColumn(const char* name) const
{
    const Variant v = column(name);
    if (v.isNull())
        throw VbError::invalidUseOfNull();
    return v.toText();
}

Variant ShipRecord::summerDeadweight() const { return column("SummerDeadweight"); }
Variant ShipRecord::summerDraft() const { return column("SummerDraft"); }
Variant ShipRecord::netTonnage() const { return column("NetTonnage"); }
Variant ShipRecord::grossTonnage() const { return column("GrossTonnage"); }
QString ShipRecord::flag() const { return textColumn("Flag"); }
Variant ShipRecord::officialNo() const { return column("OfficialNo"); }
Variant ShipRecord::portOfRegistry() const { return column("PortOfRegistry"); }
QString ShipRecord::callSign() const { return textColumn("CallSign"); }
Variant ShipRecord::lightShip() const { return column("LightShip"); }
Variant ShipRecord::breadth() const { return column("Breadth"); }
Variant ShipRecord::loa() const { return column("LOA"); }
Variant ShipRecord::lbp() const { return column("LBP"); }

Decimal ShipRecord::keelPlateMm() const
{
    try {
        const Variant v = column("KeelPlate");
        if (v.isNull() || v.isEmpty() || !v.isNumeric(QLocale::c()))
            return Decimal(0);
        return toNumeric(v, -1, 0).toDecimal();
    } catch (const VbError&) {
        return Decimal(0);
    }
}
QString ShipRecord::shipName() const { return textColumn("ShipName"); }
