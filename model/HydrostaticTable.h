#pragma once

#include "core/Decimal.h"
#include "db/HydrostaticStore.h"

#include <QList>
#include <QString>
#include <QVector>
#include <optional>

class Connection;

// One row of a ship's hydrostatic table, as her booklet gives it for one draft.
struct HydrostaticRow {
    Decimal draft;         // m
    Decimal displacement;  // t
    Decimal tpc;           // t/cm
    Decimal lcf;           // m, signed as the survey window's LCF column takes it
    Decimal mctc;          // t m/cm

    bool operator==(const HydrostaticRow& other) const = default;
};

// How a booklet writes the LCF. The program works with the LCF from midships, positive aft (the
// first trim correction is TPC x LCF x trim x 100 / LBP with the trim aft less forward).
enum class LcfConvention {
    MidshipAft,        // from midships, aft positive: the program's own
    MidshipForward,    // from midships, forward positive
    AftPerpendicular,  // from the aft perpendicular, forward positive
    Lettered,          // distances from midships marked A (aft) or F (forward): "2.46A", "7.71F"
};

namespace LcfConventions {

// "midship-aft", "midship-forward", "aft-perpendicular", "lettered"
QString key(LcfConvention c);
std::optional<LcfConvention> fromKey(const QString& key);
// "from midships, positive aft", ...
QString caption(LcfConvention c);
// The LCF from midships, positive aft, of a figure written in the convention `c` (`lbp`, m, for
// the aft perpendicular; a lettered figure has already been read with its letter's sign).
Decimal toOwn(const Decimal& value, LcfConvention c, const Decimal& lbp);
// A distance with its letter ("2.46A", "7.71 F", "A 2.46"; `decimalComma` for "2,46A"): the LCF
// from midships positive aft; nothing when the text carries no letter or is no figure.
std::optional<Decimal> lettered(const QString& text, bool decimalComma);

}  // namespace LcfConventions

// A ship's hydrostatic table: its rows in order of draft, the density of the water the table
// was worked out for (sea water, 1.025 t/m3, unless the booklet says otherwise), whether its
// drafts are extreme (from the underside of the keel, as the marks read) or moulded (from the
// top of the keel plate), and the convention its LCF came in (the rows hold it converted to the
// program's own).
class HydrostaticTable {
public:
    enum Column { Draft, Displacement, Tpc, Lcf, Mctc, ColumnCount };

    QVector<HydrostaticRow> rows;
    Decimal density = seaWater();
    bool mouldedDrafts = false;
    LcfConvention lcfSource = LcfConvention::MidshipAft;

    static Decimal seaWater();  // 1.025
    // "Draft", "Displacement", "TPC", "LCF", "MCTC"
    static QString columnName(int column);
    static Decimal& value(HydrostaticRow& row, int column);
    static const Decimal& value(const HydrostaticRow& row, int column);

    bool isEmpty() const { return rows.isEmpty(); }
    // Rows whose LCF is written in `c` converted to the program's own; the table then remembers
    // the convention it came in. A lettered table was read with its letters and stays as it is.
    void convertLcf(LcfConvention c, const Decimal& lbp);
    // The draft at which this table is entered for a true mean draft read on the marks: less the
    // keel plate (mm) when its drafts are moulded.
    Decimal tableDraft(const Decimal& trueMeanDraft, const Decimal& keelPlateMm) const;
    bool operator==(const HydrostaticTable& other) const = default;

    // The ship's stored table; nothing when she has none. Throws VbError when the database fails.
    // Without a connection, the shared one. `changeCount` receives the count of writes the table
    // holds (HydrostaticStore::load), to be handed back to saveForShip or removeForShip.
    static std::optional<HydrostaticTable> loadForShip(int shipId, Connection* connection = nullptr,
                                                       qint64* changeCount = nullptr);
    // Replaces the ship's stored table (all rows at once or none). Throws VbError. With
    // `countRead`, only while the table holds that count: a table written by someone else since it
    // was read is refused with VbError ChangeCount::ChangedMeanwhile. Returns the new count.
    static qint64 saveForShip(int shipId, const HydrostaticTable& table, Connection* connection = nullptr,
                              std::optional<qint64> countRead = std::nullopt);
    // The table as it is stored: the figures as their exact decimal texts.
    static HydrostaticStore::StoredTable stored(const HydrostaticTable& table);
    static qint64 removeForShip(int shipId, Connection* connection = nullptr,
                                std::optional<qint64> countRead = std::nullopt);
    // The ship's id by her name, 0 when there is none. Throws VbError.
    static int shipIdByName(const QString& shipName, Connection* connection = nullptr);
};

// The checks a table gets before it is kept. Errors make the table unusable (it must not be
// saved); doubts are worth a look at the booklet but may be accepted.
namespace HydrostaticAudit {

struct Finding {
    enum Severity { Error, Doubt };
    Severity severity = Error;
    int row = 0;       // 1 for the first row of the table
    int column = -1;   // HydrostaticTable::Column, -1 when the finding is about the whole row
    QString text;      // one sentence naming the row

    bool isError() const { return severity == Error; }
};

QList<Finding> audit(const HydrostaticTable& table);
bool hasErrors(const QList<Finding>& findings);
// The findings one per line, errors first ("Row 12: ...").
QString describe(const QList<Finding>& findings);

}  // namespace HydrostaticAudit

// The rows a survey takes from the table for its draft. Nothing is ever extrapolated: a draft
// outside the table picks nothing and says why.
namespace HydrostaticPicking {

struct Pick {
    bool picked = false;
    QString reason;  // why nothing was picked
    int below = -1;  // index of the Below row
    int above = -1;  // index of the Above row
    // The MCTC tables: the Below and Above drafts raised (Plus) or lowered (Minus) by 0.5 m and the
    // MCTC at those drafts, interpolated between table rows and rounded to 3 places.
    Decimal plusDraft[2], minusDraft[2];
    Decimal mctcPlus[2], mctcMinus[2];
};

// The TPC at a draft, linear between the two rows around it, unrounded; nothing outside.
std::optional<Decimal> tpcAt(const HydrostaticTable& table, const Decimal& draft);
// Index i of the row with draft(i) <= draft < draft(i + 1): the two rows that bracket the draft.
// A draft on a row gives that row and the next, on the last row the last two. -1 outside.
int bracket(const HydrostaticTable& table, const Decimal& draft);
// The MCTC at a draft, linear between the two rows around it, unrounded; nothing outside.
std::optional<Decimal> mctcAt(const HydrostaticTable& table, const Decimal& draft);
// The rows for a true mean draft.
Pick pick(const HydrostaticTable& table, const Decimal& trueMeanDraft);

}  // namespace HydrostaticPicking
