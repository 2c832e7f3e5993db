#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// Every SQL text the program issues, each joined from the same pieces wherever it is used.
// Numbers go in as their text; text values go in between single quotes with any quote inside
// doubled, so a name such as O'Brien's Pride cannot end the literal early.
namespace SqlCatalogue {

// A text value's inside for a quoted literal: each single quote doubled.
QString quoted(const QString& text);

// 1: the port window's own updatable set of ports.
QString portMaster();
// 2: the port drop-downs: the number and the name of every port, by name.
QString portList();
// 3: the ship list: the number and the name of every ship, by name. A ship's particulars are
// read with shipById when that ship is shown.
QString shipList();
// 4: the one row of a ship.
QString shipById(int shipId);

// The values of one ship as the ship window writes them: texts as typed (quoted here), numbers as
// their text, the port as the PortID of the chosen port.
struct ShipValues {
    QString shipName;
    QString lbp;
    QString loa;
    QString breadth;
    QString lightShip;
    QString callSign;
    QString portOfRegistry;
    QString officialNo;
    QString imoNo;
    QString flag;
    QString grossTonnage;
    QString netTonnage;
    QString summerDraft;
    QString summerDeadweight;
};
// 5: adds a ship.
QString insertShip(const ShipValues& v);
// 6: rewrites all particulars of one ship.
QString updateShip(const ShipValues& v, int shipId);
// The keel plate (mm) of one ship, or, without an id, of the ship just added on this connection.
// Kept apart from the statements above, which name the first particulars only.
QString shipKeelPlate(const QString& keelPlate, std::optional<int> shipId);
// 7: deletes one ship.
QString deleteShip(int shipId);

// The ship's columns as statement 5 names them, and the values of `v` as they go into the
// statement (texts between quotes), in the same order.
QStringList shipColumns();
QStringList shipLiterals(const ShipValues& v);
// 6 as the ship window issues it: only `columns` (of shipColumns) are set, with the keel plate
// when it is given, and the row is written only while it still holds the change count read with
// it (see ChangeCount.h).
QString updateShipColumns(const ShipValues& v, const QStringList& columns, int shipId, qint64 countRead,
                          const std::optional<QString>& keelPlate = std::nullopt);
// 7 the same way: the ship is deleted only while she holds the change count read with her.
QString deleteShip(int shipId, qint64 countRead);
// 8: the tips in stored order.
QString tips();
// 9: the deductible items in stored order.
QString deductionItems();
// 10: the empty deductions list with the columns of DeductionTrans.
QString emptyDeductions();
// 11: the distinct dates (dd-MM-yyyy) of the stored drafts of kind 2 of one survey record.
QString dateList(int recordId);

// 12: the ships of one name, found through the index on the name. The column compares without
// regard to case, so the caller compares the names it gets back when the case matters.
QString shipsNamed(const QString& name);
// 13: the same for the ports.
QString portsNamed(const QString& name);
// 14: the one row of a port.
QString portById(int portId);

// Search criteria inside an open row set.
QString findPort(int portId);           // "PortID = 3"
QString findShip(int shipId);           // "ShipID = 5"
QString findShipByName(const QString& name);  // "ShipName = 'O''Brien''s Pride'"
QString findItem(int itemId);           // "ItemID = 24"

}  // namespace SqlCatalogue
