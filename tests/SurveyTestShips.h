#pragma once
// The ships and ports the survey tests work with, in a database copy already open.
#include "db/Connection.h"
#include "db/Database.h"

namespace SurveyTestShips {

// Two ports and two ships: "Ocean Pride" (LBP 180, light ship 8000) registered at Kandla,
// "Bay Trader" (LBP 150, light ship 5000) at Antwerp.
inline void insert()
{
    Connection& db = SharedConnection();
    db.execute(QStringLiteral("INSERT INTO Port (PortID, PortName, City, Country) VALUES (1, 'Kandla', "
                              "'Kandla', 'India')"));
    db.execute(QStringLiteral("INSERT INTO Port (PortID, PortName, City, Country) VALUES (2, 'Antwerp', "
                              "'Antwerp', 'Belgium')"));
    db.execute(QStringLiteral(
        "INSERT INTO Ship (ShipID, ShipName, PortOfRegistry, LBP, LOA, Breadth, LightShip, CallSign, "
        "Flag, OfficialNo, IMONo, SummerDraft, SummerDeadweight, GrossTonnage, NetTonnage) VALUES "
        "(1, 'Ocean Pride', 1, 180, 190, 32.2, 8000, 'VRAB3', 'Panama', 12345, 9123456, 11.2, 45000, "
        "25000, 14000)"));
    db.execute(QStringLiteral(
        "INSERT INTO Ship (ShipID, ShipName, PortOfRegistry, LBP, LOA, Breadth, LightShip, CallSign, "
        "Flag, OfficialNo, IMONo, SummerDraft, SummerDeadweight, GrossTonnage, NetTonnage) VALUES "
        "(2, 'Bay Trader', 2, 150, 158, 24, 5000, 'ONBT', 'Belgium', 777, 9000001, 9.5, 20000, "
        "12000, 6000)"));
}

}  // namespace SurveyTestShips
