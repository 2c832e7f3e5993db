#pragma once

#include "core/Decimal.h"
#include "model/SurveyFinding.h"
#include "model/SurveyInputRules.h"
#include "model/TankTable.h"

#include <QMap>
#include <QString>
#include <QVector>
#include <optional>

// One tank as the surveyor read it on a draft: the gauge (cm), the density of its liquid and, when
// the table cannot give the volume, the volume typed by hand. Texts as accepted.
struct TankReading {
    QString reading;
    QString density;
    QString volume;

    bool isEmpty() const { return reading.isEmpty() && density.isEmpty() && volume.isEmpty(); }
    bool operator==(const TankReading& other) const = default;
};

// A draft's tank sheet: the readings by the tank's name as the ship's tables name it.
class TankSheet {
public:
    QMap<QString, TankReading> readings;

    bool isEmpty() const { return readings.isEmpty(); }
    void clear() { readings.clear(); }
    bool operator==(const TankSheet& other) const = default;
};

// The tank sheet worked out: per tank the trim and volume used and the weight, and per group the
// total that goes into the deductions list.
namespace TankSheetWork {

enum class Field { Reading, Density, Volume };

// A reading (0 <= cm < 10000, to 1 place), a density (0 < t/m3 < 10, to 4 places) or a volume
// typed by hand (0 <= m3 < 100000, to 3 places): the rule a box of the tank sheet applies.
SurveyInputRules::Outcome enter(
    Field field, const QString& typed, const QString& cellText, const QString& tank);

struct Line {
    QString tank;
    TankGroup group = TankGroup::Other;
    QString reading; // cm, as accepted
    QString trim; // m, the draft's true trim as shown
    QString volume; // m3, to 3 places
    QString density; // t/m3: as typed, else the tank's own
    QString weight; // t, volume x density to 3 places
    bool typedVolume = false; // the volume was typed by hand, not taken from the table
    QString refusal; // why the table gave no volume (the tank then weighs nothing)
};

struct Result {
    QVector<Line> lines; // in the order of the ship's tanks
    QMap<TankGroup, Decimal> totals; // t, for every group with a tank on the sheet
    QStringList refusals; // one sentence per tank without a weight
    bool ok() const { return refusals.isEmpty(); }
};

// The sheet at the draft's trim (m, aft less forward) and list (degrees, port negative). A tank
// needs a density and either a reading the table covers or a volume typed by hand.
Result workOut(const TankTables& tables, const TankSheet& sheet, const std::optional<Decimal>& trim,
    const Decimal& heelDegrees);

// What to look at on a draft's sheet: a ballast tank neither empty nor pressed up (information),
// a tank whose volume was typed by hand at a trim outside its table (warning).
SurveyFindings draftFindings(const TankTables& tables, const Result& worked, SurveyFinding::Draft draft);
// The same tank read very differently at Initial and Final with no ballast operation noted in the
// drafts' comments (information).
SurveyFindings surveyFindings(const Result& initial, const Result& final, const QString& comments);

} // namespace TankSheetWork
