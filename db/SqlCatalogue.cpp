#include "db/SqlCatalogue.h"

#include "db/ChangeCount.h"

namespace SqlCatalogue {

QString quoted(const QString& text)
{
    QString out = text;
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    return out;
}

QString portMaster()
{
    return QStringLiteral("SELECT * FROM Port ORDER BY PortName");
}

QString portList()
{
    return QStringLiteral("SELECT PortID, PortName") + QStringLiteral(" FROM Port")
        + QStringLiteral(" ORDER BY PortName");
}

QString shipList()
{
    return QStringLiteral("SELECT ShipID, ShipName") + QStringLiteral(" FROM Ship")
        + QStringLiteral(" ORDER BY ShipName");
}

QString shipById(int shipId)
{
    return QStringLiteral("SELECT Ship.*") + QStringLiteral(" FROM Ship")
        + QStringLiteral(" WHERE Ship.ShipID = ") + QString::number(shipId);
}

QString insertShip(const ShipValues& v)
{
    return QStringLiteral("INSERT INTO Ship (ShipName, LBP, LOA, Breadth,")
        + QStringLiteral(" LightShip, CallSign, PortOfRegistry, OfficialNo, IMONo, Flag,")
        + QStringLiteral(" GrossTonnage, NetTonnage, SummerDraft, SummerDeadweight )")
        + QStringLiteral(" VALUES('") + quoted(v.shipName) + QStringLiteral("',") + v.lbp
        + QStringLiteral(", ") + v.loa + QStringLiteral(",") + QStringLiteral(" ") + v.breadth
        + QStringLiteral(",") + QStringLiteral(" ") + v.lightShip + QStringLiteral(", '")
        + quoted(v.callSign) + QStringLiteral("',") + v.portOfRegistry + QStringLiteral(",")
        + QStringLiteral(" ") + v.officialNo + QStringLiteral(",") + v.imoNo + QStringLiteral(", '")
        + quoted(v.flag) + QStringLiteral("',") + QStringLiteral(" ") + v.grossTonnage
        + QStringLiteral(",") + v.netTonnage + QStringLiteral(",") + QStringLiteral(" ")
        + v.summerDraft + QStringLiteral(",") + v.summerDeadweight + QStringLiteral(")");
}

QString updateShip(const ShipValues& v, int shipId)
{
    return QStringLiteral("UPDATE Ship") + QStringLiteral(" SET ShipName = '") + quoted(v.shipName)
        + QStringLiteral("', LBP = ") + v.lbp + QStringLiteral(",") + QStringLiteral(" LOA = ") + v.loa
        + QStringLiteral(", Breadth = ") + v.breadth + QStringLiteral(",")
        + QStringLiteral(" LightShip = ") + v.lightShip + QStringLiteral(", CallSign = '")
        + quoted(v.callSign) + QStringLiteral("',") + QStringLiteral(" PortOfRegistry = ")
        + v.portOfRegistry + QStringLiteral(", OfficialNo = ") + v.officialNo + QStringLiteral(",")
        + QStringLiteral(" IMONo = ") + v.imoNo + QStringLiteral(", Flag = '") + quoted(v.flag)
        + QStringLiteral("',") + QStringLiteral(" GrossTonnage = ") + v.grossTonnage
        + QStringLiteral(", NetTonnage = ") + v.netTonnage + QStringLiteral(",")
        + QStringLiteral(" SummerDraft = ") + v.summerDraft + QStringLiteral(", SummerDeadweight = ")
        + v.summerDeadweight + QStringLiteral(" WHERE ShipID = ") + QString::number(shipId);
}

QString shipKeelPlate(const QString& keelPlate, std::optional<int> shipId)
{
    return QStringLiteral("UPDATE Ship SET KeelPlate = ") + keelPlate + QStringLiteral(" WHERE ShipID = ")
        + (shipId ? QString::number(*shipId) : QStringLiteral("last_insert_rowid()"));
}

QString deleteShip(int shipId)
{
    return QStringLiteral("DELETE FROM Ship") + QStringLiteral(" WHERE ShipID = ") + QString::number(shipId);
}

QStringList shipColumns()
{
    return {QStringLiteral("ShipName"),
            QStringLiteral("LBP"),
            QStringLiteral("LOA"),
            QStringLiteral("Breadth"),
            QStringLiteral("LightShip"),
            QStringLiteral("CallSign"),
            QStringLiteral("PortOfRegistry"),
            QStringLiteral("OfficialNo"),
            QStringLiteral("IMONo"),
            QStringLiteral("Flag"),
            QStringLiteral("GrossTonnage"),
            QStringLiteral("NetTonnage"),
            QStringLiteral("SummerDraft"),
            QStringLiteral("SummerDeadweight")};
}

QStringList shipLiterals(const ShipValues& v)
{
    const auto text = [](const QString& t) { return QLatin1Char('\'') + quoted(t) + QLatin1Char('\''); };
    return {text(v.shipName),
            v.lbp,
            v.loa,
            v.breadth,
            v.lightShip,
            text(v.callSign),
            v.portOfRegistry,
            v.officialNo,
            v.imoNo,
            text(v.flag),
            v.grossTonnage,
            v.netTonnage,
            v.summerDraft,
            v.summerDeadweight};
}

QString updateShipColumns(const ShipValues& v, const QStringList& columns, int shipId, qint64 countRead,
                          const std::optional<QString>& keelPlate)
{
    const QStringList names = shipColumns();
    const QStringList literals = shipLiterals(v);
    QStringList sets;
    for (int i = 0; i < names.size(); ++i) {
        if (columns.contains(names.at(i)))
            sets.append(names.at(i) + QStringLiteral(" = ") + literals.at(i));
    }
    if (keelPlate)
        sets.append(QStringLiteral("KeelPlate = ") + *keelPlate);
    // Nothing changed on the form: the statement still finds out whether the ship is as read.
    QString set = sets.join(QStringLiteral(", ")) + ChangeCount::raised(countRead);
    if (sets.isEmpty())
        set = countRead == ChangeCount::NotCounted ? QStringLiteral("ShipID = ShipID")
                                                   : QStringLiteral("ChangeCount = ChangeCount + 1");
    return QStringLiteral("UPDATE Ship SET ") + set + QStringLiteral(" WHERE ShipID = ")
        + QString::number(shipId) + ChangeCount::compared(countRead);
}

QString deleteShip(int shipId, qint64 countRead)
{
    return deleteShip(shipId) + ChangeCount::compared(countRead);
}

QString tips()
{
    return QStringLiteral("SELECT Tip") + QStringLiteral(" FROM TipOfDay");
}

QString deductionItems()
{
    return QStringLiteral("SELECT ItemID, ItemName") + QStringLiteral(" FROM DeductionMaster");
}

QString emptyDeductions()
{
    return QStringLiteral("SELECT *") + QStringLiteral(" FROM DeductionTrans")
        + QStringLiteral(" WHERE DraftID = -1");
}

QString dateList(int recordId)
{
    // The stored DateTime starts yyyyMMdd; the list shows it day first.
    const QString ddMMyyyy = QStringLiteral(
        "(Mid$(DD.DateTime,7,2) & '-' & Mid$(DD.DateTime,5,2) & '-' & Left$(DD.DateTime,4))");
    return QStringLiteral("SELECT DISTINCT ") + ddMMyyyy + QStringLiteral(" AS DSDate")
        + QStringLiteral(" FROM DraftDetails AS DD") + QStringLiteral(" WHERE DD.RecordID = ")
        + QString::number(recordId) + QStringLiteral(" AND") + QStringLiteral(" DD.DraftType = ")
        + QStringLiteral("2") + QStringLiteral(" ORDER BY ") + ddMMyyyy + QStringLiteral(" ASC");
}

QString shipsNamed(const QString& name)
{
    return QStringLiteral("SELECT ShipID, ShipName") + QStringLiteral(" FROM Ship")
        + QStringLiteral(" WHERE ShipName = '") + quoted(name) + QStringLiteral("'");
}

QString portsNamed(const QString& name)
{
    return QStringLiteral("SELECT PortID, PortName") + QStringLiteral(" FROM Port")
        + QStringLiteral(" WHERE PortName = '") + quoted(name) + QStringLiteral("'");
}

QString portById(int portId)
{
    return QStringLiteral("SELECT *") + QStringLiteral(" FROM Port") + QStringLiteral(" WHERE PortID = ")
        + QString::number(portId);
}

QString findPort(int portId)
{
    return QStringLiteral("PortID = ") + QString::number(portId);
}

QString findShip(int shipId)
{
    return QStringLiteral("ShipID = ") + QString::number(shipId);
}

QString findShipByName(const QString& name)
{
    return QStringLiteral("ShipName = '") + quoted(name) + QStringLiteral("'");
}

QString findItem(int itemId)
{
    return QStringLiteral("ItemID = ") + QString::number(itemId);
}

}  // namespace SqlCatalogue
