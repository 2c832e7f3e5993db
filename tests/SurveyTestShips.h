#pragma once
// The ships and ports the survey tests work with, in a database copy already open, and the example
// surveys they read. No widget here: the tests of the survey model use it too.
#include "db/Connection.h"
#include "db/Database.h"
#include "files/SurveyFile.h"
#include "tests/TestSupport.h"

#include <QtGlobal>

namespace SurveyTestShips {

// Two ports and two ships: "Ocean Pride" (LBP 180, light ship 8000) registered at Kandla,
// "Bay Trader" (LBP 150, light ship 5000) at Antwerp.
inline void insert()
{
    Connection& db = sharedConnection();
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

// The example survey `name` from the examples folder of the source tree; a test cannot go on
// without it, so a file that cannot be read ends the test program with the reason.
inline SurveyFileData readExample(const QString& name)
{
    QString error;
    const std::optional<SurveyFileData> d =
        SurveyFile::read(TestSupport::sourceDir() + QStringLiteral("/examples/") + name, &error);
    if (!d)
        qFatal("%s", qPrintable(error));
    return *d;
}

// The draft without its hydrostatic rows and MTC rows, as a surveyor leaves them for the table
// to give.
inline void dropRows(SurveyDraftData& d)
{
    for (int c = 0; c < 4; ++c)
        d.below[c].clear(), d.above[c].clear();
    d.mctcPlus50Below.clear();
    d.mctcPlus50Above.clear();
    d.mctcMinus50Below.clear();
    d.mctcMinus50Above.clear();
}

}  // namespace SurveyTestShips
