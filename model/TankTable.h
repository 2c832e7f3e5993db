#pragma once

#include "core/Decimal.h"
#include "db/TankStore.h"

#include <QList>
#include <QString>
#include <QVector>
#include <optional>

class Connection;

// What a tank holds, as the deductions list sums it: each group fills one deductible.
enum class TankGroup { Ballast, FreshWater, FuelOil, DieselOil, LubOil, Other };

// How a tank is gauged: the depth of liquid from the tank's bottom (sounding) or the distance from
// the sounding pipe's top down to the liquid (ullage).
enum class TankGauge { Sounding, Ullage };

namespace TankGroups {

constexpr int Count = 6;
// "Ballast", "Fresh Water", "Fuel Oil", "Diesel Oil", "Lub Oil", "Other"
QString name(TankGroup group);
// The group of that name (letter case and blanks ignored); nothing for another text.
std::optional<TankGroup> fromName(const QString& name);
// The deductions list's item the group's total fills: Other goes to Misc-1.
int deductionItem(TankGroup group);
QList<TankGroup> all();

} // namespace TankGroups

// One row of a tank's calibration table: at this gauge, the volume at each of the table's trims,
// and the volume to add at each of its heel angles.
struct TankRow {
    Decimal gauge; // cm
    QVector<Decimal> volumes; // m3, one per trim of the tank
    QVector<Decimal> heel; // m3, one per heel column of the tank, added to the even-keel volume

    bool operator==(const TankRow& other) const = default;
};

// A tank and its calibration table. The trims are in the program's own sign (aft less forward:
// positive by the stern) and increase from column to column; the heel columns are angles in
// degrees, negative to port and positive to starboard, in the order the booklet gives them.
struct Tank {
    QString name;
    TankGroup group = TankGroup::Ballast;
    TankGauge gauge = TankGauge::Sounding;
    std::optional<Decimal> density; // t/m3, the liquid the tank usually holds
    QVector<Decimal> trims; // m
    QVector<Decimal> heels; // degrees, port negative
    QVector<TankRow> rows; // in order of gauge

    bool operator==(const Tank& other) const = default;
};

// A heel column's heading without the word: "2P", "1.5S".
QString heelCaption(const Decimal& degrees);

// A ship's tanks, in the order the booklet lists them.
class TankTables {
public:
    QVector<Tank> tanks;

    bool isEmpty() const { return tanks.isEmpty(); }
    // The tank of that name (letter case ignored), or null.
    const Tank* find(const QString& name) const;
    bool operator==(const TankTables& other) const = default;

    // The ship's stored tanks (none when she has none). Throws VbError when the database fails.
    // `changeCount`, when given, receives the count of writes of her tables (see TankStore::load).
    static TankTables loadForShip(
        int shipId, Connection* connection = nullptr, qint64* changeCount = nullptr);
    // Replaces the ship's stored tanks, all at once or none; with `countRead`, only while her
    // tables still hold that count (ChangeCount::ChangedMeanwhile otherwise). Returns the new
    // count. Throws VbError.
    static qint64 saveForShip(int shipId, const TankTables& tables, Connection* connection = nullptr,
                              std::optional<qint64> countRead = std::nullopt);
    // The tables as the store and the catalogue server keep them: figures as their exact texts.
    static QVector<TankStore::StoredTank> stored(const TankTables& tables);
};

// The checks a ship's tank tables get before they are kept, in the words of the hydrostatic
// table's audit: errors make the tables unusable, doubts are worth a look at the booklet.
namespace TankAudit {

struct Finding {
    enum Severity { Error, Doubt };
    Severity severity = Error;
    QString tank;
    int row = 0; // 1 for the tank's first row, 0 for the tank as a whole
    int column = -1; // the trim column, -1 for the gauge or the tank as a whole
    QString text; // one sentence naming the tank and the row

    bool isError() const { return severity == Error; }
};

QList<Finding> audit(const TankTables& tables);
bool hasErrors(const QList<Finding>& findings);
// The findings one per line, errors first.
QString describe(const QList<Finding>& findings);

} // namespace TankAudit

// A tank's volume at a reading, a trim and a list. Nothing is ever extrapolated: a reading or a
// trim outside the table, or a list beyond its heel columns, gives no volume and says why,
// naming the tank.
namespace TankVolume {

struct Result {
    std::optional<Decimal> volume; // m3, to three places
    QString reason; // why there is none
};

// Linear in the gauge at the two trim columns nearest the trim, then linear in the trim between
// them; plus the heel correction (linear in the gauge, then in the angle from 0 at even keel to
// the columns on the side of the list) when the table has heel columns and the ship lists.
Result at(const Tank& tank, const Decimal& reading, const Decimal& trim, const Decimal& heelDegrees);

// The list in degrees (to two places, negative to port) of a ship whose midship drafts port and
// starboard differ by that much across her breadth; nothing without a breadth.
std::optional<Decimal> heelDegrees(const Decimal& midPort, const Decimal& midStbd, const Decimal& breadth);

} // namespace TankVolume
