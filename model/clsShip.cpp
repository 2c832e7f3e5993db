#include "model/clsShip.h"

#include "db/Database.h"
#include "core/MessageService.h"
#include "core/VbError.h"
#include "db/RowSet.h"
#include "db/SqlCatalogue.h"

clsShip::clsShip() = default;
clsShip::~clsShip() = default;

int clsShip::SetShip(int ShipID)
{
    // The previous ship's rows go; on failure the record is left with a new, unopened row set.
    m_ship = std::make_unique<RowSet>();
    try {
        m_ship->open(SqlCatalogue::shipById(ShipID), SharedConnection());
        return 1;
    } catch (const VbError& e) {
        MessageService::plain(e.description());
    } catch (const std::exception& e) {
        MessageService::plain(QString::fromLocal8Bit(e.what()));
    }
    return 0;
}

Variant clsShip::column(const char* name) const
{
    if (!m_ship)
        throw VbError(91, QStringLiteral("Object variable or With block variable not set"));
    return m_ship->value(QLatin1String(name));
}

QString clsShip::textColumn(const char* name) const
{
    const Variant v = column(name);
    if (v.isNull())
        throw VbError::invalidUseOfNull();
    return v.toText();
}

Variant clsShip::SummerDeadweight() const { return column("SummerDeadweight"); }
Variant clsShip::SummerDraft() const { return column("SummerDraft"); }
Variant clsShip::NetTonnage() const { return column("NetTonnage"); }
Variant clsShip::GrossTonnage() const { return column("GrossTonnage"); }
QString clsShip::Flag() const { return textColumn("Flag"); }
Variant clsShip::OfficialNo() const { return column("OfficialNo"); }
Variant clsShip::PortOfRegistry() const { return column("PortOfRegistry"); }
QString clsShip::CallSign() const { return textColumn("CallSign"); }
Variant clsShip::LightShip() const { return column("LightShip"); }
Variant clsShip::Breadth() const { return column("Breadth"); }
Variant clsShip::LOA() const { return column("LOA"); }
Variant clsShip::LBP() const { return column("LBP"); }
QString clsShip::ShipName() const { return textColumn("ShipName"); }
