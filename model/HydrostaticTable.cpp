#include "model/HydrostaticTable.h"

#include "core/VbError.h"
#include "db/Database.h"
#include "db/HydrostaticStore.h"
#include "model/SurveyInputRules.h"

#include <QStringList>
#include <algorithm>

// --- The table and where it is kept ----------------------------------------------------------

Decimal HydrostaticTable::seaWater()
{
    return Decimal(1025) / Decimal(1000);
}

QString HydrostaticTable::columnName(int column)
{
    static const char* names[ColumnCount] = {"Draft", "Displacement", "TPC", "LCF", "MCTC"};
    return column >= 0 && column < ColumnCount ? QLatin1String(names[column]) : QString();
}

Decimal& HydrostaticTable::value(HydrostaticRow& row, int column)
{
    switch (column) {
    case Draft: return row.draft;
    case Displacement: return row.displacement;
    case Tpc: return row.tpc;
    case Lcf: return row.lcf;
    default: return row.mctc;
    }
}

const Decimal& HydrostaticTable::value(const HydrostaticRow& row, int column)
{
    return value(const_cast<HydrostaticRow&>(row), column);
}

// --- How the LCF is written ------------------------------------------------------------------

namespace LcfConventions {

namespace {
struct Named {
    LcfConvention convention;
    const char* key;
    const char* caption;
};
const Named kNames[4] = {
    {LcfConvention::MidshipAft, "midship-aft", "from midships, positive aft"},
    {LcfConvention::MidshipForward, "midship-forward", "from midships, positive forward"},
    {LcfConvention::AftPerpendicular, "aft-perpendicular", "from the aft perpendicular, positive forward"},
    {LcfConvention::Lettered, "lettered", "from midships, marked A (aft) or F (forward)"},
};
}  // namespace

QString key(LcfConvention c)
{
    for (const Named& n : kNames)
        if (n.convention == c)
            return QLatin1String(n.key);
    return QString();
}

std::optional<LcfConvention> fromKey(const QString& key)
{
    for (const Named& n : kNames)
        if (key == QLatin1String(n.key))
            return n.convention;
    return std::nullopt;
}

QString caption(LcfConvention c)
{
    for (const Named& n : kNames)
        if (n.convention == c)
            return QLatin1String(n.caption);
    return QString();
}

Decimal toOwn(const Decimal& value, LcfConvention c, const Decimal& lbp)
{
    switch (c) {
    case LcfConvention::MidshipForward:
        return -value;
    case LcfConvention::AftPerpendicular:
        // Midships lies half the length between perpendiculars forward of the aft one.
        return lbp / Decimal(2) - value;
    case LcfConvention::MidshipAft:
    case LcfConvention::Lettered:
        break;
    }
    return value;
}

std::optional<Decimal> lettered(const QString& text, bool decimalComma)
{
    QString t = text.trimmed().toUpper();
    if (t.size() < 2)
        return std::nullopt;
    QChar letter;
    if (t.back() == QLatin1Char('A') || t.back() == QLatin1Char('F')) {
        letter = t.back();
        t.chop(1);
    } else if (t.front() == QLatin1Char('A') || t.front() == QLatin1Char('F')) {
        letter = t.front();
        t.remove(0, 1);
    } else {
        return std::nullopt;
    }
    t = t.trimmed();
    if (decimalComma)
        t.replace(QLatin1Char(','), QLatin1Char('.'));
    // A distance has no sign of its own: the letter gives it.
    if (t.isEmpty() || t.front() == QLatin1Char('-') || t.front() == QLatin1Char('+'))
        return std::nullopt;
    const std::optional<Decimal> d = Decimal::parse(t, QLocale::c());
    if (!d)
        return std::nullopt;
    return letter == QLatin1Char('A') ? *d : -*d;
}

}  // namespace LcfConventions

void HydrostaticTable::convertLcf(LcfConvention c, const Decimal& lbp)
{
    if (lcfSource == LcfConvention::Lettered)
        return;
    for (HydrostaticRow& row : rows)
        row.lcf = LcfConventions::toOwn(row.lcf, c, lbp);
    lcfSource = c;
}

Decimal HydrostaticTable::tableDraft(const Decimal& trueMeanDraft, const Decimal& keelPlateMm) const
{
    if (!mouldedDrafts || keelPlateMm.isZero())
        return trueMeanDraft;
    return trueMeanDraft - keelPlateMm / Decimal(1000);
}

namespace {

Decimal storedFigure(const QString& text)
{
    // What the program stored it wrote as plain decimal text; anything else is a damaged file.
    const std::optional<Decimal> d = Decimal::parse(text, QLocale::c());
    if (!d)
        throw VbError(13, QStringLiteral("Type mismatch"));
    return *d;
}

Connection& use(Connection* connection)
{
    return connection ? *connection : sharedConnection();
}

}  // namespace

std::optional<HydrostaticTable> HydrostaticTable::loadForShip(int shipId, Connection* connection,
                                                              qint64* changeCount)
{
    const std::optional<HydrostaticStore::StoredTable> stored
        = HydrostaticStore::load(use(connection), shipId, changeCount);
    if (!stored)
        return std::nullopt;
    HydrostaticTable t;
    t.density = stored->density.trimmed().isEmpty() ? seaWater() : storedFigure(stored->density);
    // Tables kept before the conventions were: extreme drafts, LCF from midships positive aft.
    t.mouldedDrafts = stored->drafts == QLatin1String("moulded");
    t.lcfSource = LcfConventions::fromKey(stored->lcfConvention).value_or(LcfConvention::MidshipAft);
    for (const QStringList& r : stored->rows) {
        HydrostaticRow row;
        for (int c = 0; c < ColumnCount; ++c)
            value(row, c) = storedFigure(r.value(c));
        t.rows.append(row);
    }
    return t;
}

HydrostaticStore::StoredTable HydrostaticTable::stored(const HydrostaticTable& table)
{
    HydrostaticStore::StoredTable stored;
    stored.density = table.density.toString();
    stored.drafts = table.mouldedDrafts ? QStringLiteral("moulded") : QStringLiteral("extreme");
    stored.lcfConvention = LcfConventions::key(table.lcfSource);
    for (const HydrostaticRow& row : table.rows) {
        QStringList r;
        for (int c = 0; c < ColumnCount; ++c)
            r.append(value(row, c).toString());
        stored.rows.append(r);
    }
    return stored;
}

qint64 HydrostaticTable::saveForShip(int shipId, const HydrostaticTable& table, Connection* connection,
                                     std::optional<qint64> countRead)
{
    return HydrostaticStore::save(use(connection), shipId, stored(table), countRead);
}

qint64 HydrostaticTable::removeForShip(int shipId, Connection* connection, std::optional<qint64> countRead)
{
    return HydrostaticStore::remove(use(connection), shipId, countRead);
}

int HydrostaticTable::shipIdByName(const QString& shipName, Connection* connection)
{
    return HydrostaticStore::shipIdByName(use(connection), shipName);
}

// --- Audit -----------------------------------------------------------------------------------

namespace HydrostaticAudit {

namespace {

using Finding = HydrostaticAudit::Finding;

Decimal dec(const char* text)
{
    return *Decimal::parse(QString::fromLatin1(text), QLocale::c());
}

QString fig(const Decimal& d)
{
    return d.toString();
}

// The ranges the survey window's hydrostatic grids accept (a row outside them could never be
// typed there, and the window's own checks would refuse it). The table's MCTC is the MCTC
// tables' figure.
SurveyInputRules::TableRange rangeOf(int column)
{
    using SurveyInputRules::TableColumn;
    switch (column) {
    case HydrostaticTable::Draft: return SurveyInputRules::tableRange(TableColumn::HydDraft);
    case HydrostaticTable::Displacement: return SurveyInputRules::tableRange(TableColumn::Displacement);
    case HydrostaticTable::Tpc: return SurveyInputRules::tableRange(TableColumn::Tpc);
    case HydrostaticTable::Lcf: return SurveyInputRules::tableRange(TableColumn::Lcf);
    default: return SurveyInputRules::tableRange(TableColumn::MctcPlus50);
    }
}

// Below these a figure that leaves the trend of its neighbours is taken for the rounding of
// the booklet, not a misprint.
Decimal jumpFloor(int column)
{
    switch (column) {
    case HydrostaticTable::Displacement: return dec("3");
    case HydrostaticTable::Mctc: return dec("1");
    default: return dec("0.05");  // TPC, LCF
    }
}

Decimal median(QVector<Decimal> v)
{
    if (v.isEmpty())
        return Decimal(0);
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v.at(v.size() / 2) : (v.at(v.size() / 2 - 1) + v.at(v.size() / 2)) / Decimal(2);
}

// How far each inner row's figure stands from the straight line between its neighbours, with the
// column's usual bend (the median of those distances) taken off: a smooth curve gives figures
// near 0, one wrong figure a peak at its row with half as much, the other way, either side.
QVector<Decimal> bends(const HydrostaticTable& t, int column)
{
    const int n = t.rows.size();
    QVector<Decimal> r(n, Decimal(0));
    QVector<Decimal> inner;
    for (int i = 1; i + 1 < n; ++i) {
        const Decimal d0 = t.rows[i - 1].draft, d1 = t.rows[i].draft, d2 = t.rows[i + 1].draft;
        const Decimal v0 = HydrostaticTable::value(t.rows[i - 1], column);
        const Decimal v2 = HydrostaticTable::value(t.rows[i + 1], column);
        const Decimal line = v0 + (v2 - v0) * (d1 - d0) / (d2 - d0);
        r[i] = HydrostaticTable::value(t.rows[i], column) - line;
        inner.append(r[i]);
    }
    const Decimal usual = median(inner);
    for (int i = 1; i + 1 < n; ++i)
        r[i] -= usual;
    return r;
}

void findJumps(const HydrostaticTable& t, int column, QList<Finding>& out)
{
    const int n = t.rows.size();
    if (n < 4)
        return;
    const QVector<Decimal> r = bends(t, column);
    QVector<Decimal> sizes;
    for (int i = 1; i + 1 < n; ++i)
        sizes.append(r[i].abs());
    const Decimal limit = std::max(jumpFloor(column), median(sizes) * Decimal(5));
    const QString name = HydrostaticTable::columnName(column);
    auto report = [&](int index) {
        Finding f;
        f.severity = Finding::Doubt;
        f.row = index + 1;
        f.column = column;
        f.text = QStringLiteral("Row %1: the %2 %3 breaks the trend of the rows around it.")
                     .arg(index + 1)
                     .arg(name, fig(HydrostaticTable::value(t.rows[index], column)));
        out.append(f);
    };
    // An inner row: its own bend stands out, and a neighbour's leans the other way.
    for (int i = 1; i + 1 < n; ++i) {
        const Decimal size = r[i].abs();
        if (size <= limit)
            continue;
        if ((i > 1 && r[i - 1].abs() >= size) || (i + 2 < n && r[i + 1].abs() >= size))
            continue;
        const bool leftLeans = i > 1 && r[i - 1].sign() == -r[i].sign() && r[i - 1].abs() * Decimal(4) >= size;
        const bool rightLeans =
            i + 2 < n && r[i + 1].sign() == -r[i].sign() && r[i + 1].abs() * Decimal(4) >= size;
        if (leftLeans || rightLeans)
            report(i);
    }
    // An end row shows only as the bend of the row next to it, with nothing beyond that row to
    // lean the other way.
    const std::pair<int, int> ends[2] = {{0, 1}, {n - 1, n - 2}};
    for (const auto& [end, next] : ends) {
        const int beyond = end == 0 ? 2 : n - 3;
        const Decimal size = r[next].abs();
        if (size > limit && (beyond <= 0 || beyond >= n - 1 || r[beyond].abs() * Decimal(4) < size))
            report(end);
    }
}

// Rows i - 1 and i stand out of order in a column that must increase: which of the two figures is
// wrong? Each is measured against the straight line through the rows either side of the pair
// (i - 2 and i + 1), and the one farther from it is named: a displacement typed a thousand
// tonnes too high on row 21 stands far off the line while row 22 lies on it, so row 21 is named,
// not row 22 below it. The first pair has no row before it: row 1 is named when it stands above
// row 3 as well. On the last pair, or when both stand as far off (a figure typed twice), the
// later row is named.
bool earlierRowBreaksOrder(const HydrostaticTable& t, int i, int column)
{
    const auto v = [&t, column](int r) { return HydrostaticTable::value(t.rows[r], column); };
    if (i + 1 >= t.rows.size())
        return false;
    if (i < 2)
        return v(0) >= v(2);
    // Three times each row's distance from the line, to keep the figures whole.
    const Decimal earlierOff = (v(i - 1) * Decimal(3) - (v(i - 2) * Decimal(2) + v(i + 1))).abs();
    const Decimal laterOff = (v(i) * Decimal(3) - (v(i - 2) + v(i + 1) * Decimal(2))).abs();
    return earlierOff > laterOff;
}

}  // namespace

QList<Finding> audit(const HydrostaticTable& t)
{
    QList<Finding> out;
    const int n = t.rows.size();
    auto add = [&out](Finding::Severity s, int row, int column, const QString& text) {
        Finding f;
        f.severity = s;
        f.row = row;
        f.column = column;
        f.text = text;
        out.append(f);
    };
    if (n < 2)
        add(Finding::Error, n, -1, QStringLiteral("The table needs at least two rows to bracket a draft."));
    if (!(t.density > Decimal(0) && t.density < Decimal(10)))
        add(Finding::Error, 0, -1,
            QStringLiteral("The water density %1 of the table is not between 0 and 10 t/m3.").arg(fig(t.density)));

    bool ordered = true;
    for (int i = 0; i < n; ++i) {
        const HydrostaticRow& row = t.rows[i];
        for (int c = 0; c < HydrostaticTable::ColumnCount; ++c) {
            const SurveyInputRules::TableRange range = rangeOf(c);
            const Decimal v = HydrostaticTable::value(row, c);
            if (!(v > range.low && v < range.high))
                add(Finding::Error, i + 1, c,
                    QStringLiteral("Row %1: the %2 %3 is not between %4 and %5.")
                        .arg(i + 1)
                        .arg(HydrostaticTable::columnName(c), fig(v), fig(range.low), fig(range.high)));
        }
        if (i == 0)
            continue;
        const HydrostaticRow& prev = t.rows[i - 1];
        if (row.draft <= prev.draft) {
            ordered = false;
            if (earlierRowBreaksOrder(t, i, HydrostaticTable::Draft))
                add(Finding::Error, i, HydrostaticTable::Draft,
                    QStringLiteral("Row %1: the draft %2 m is not below the draft %3 m of row %4; drafts "
                                   "must increase from row to row.")
                        .arg(i)
                        .arg(fig(prev.draft), fig(row.draft))
                        .arg(i + 1));
            else
                add(Finding::Error, i + 1, HydrostaticTable::Draft,
                    QStringLiteral("Row %1: the draft %2 m does not follow the draft %3 m of row %4; drafts "
                                   "must increase from row to row.")
                        .arg(i + 1)
                        .arg(fig(row.draft), fig(prev.draft))
                        .arg(i));
        }
        if (row.displacement <= prev.displacement) {
            if (earlierRowBreaksOrder(t, i, HydrostaticTable::Displacement))
                add(Finding::Error, i, HydrostaticTable::Displacement,
                    QStringLiteral("Row %1: the displacement %2 t is not below the displacement %3 t of "
                                   "row %4.")
                        .arg(i)
                        .arg(fig(prev.displacement), fig(row.displacement))
                        .arg(i + 1));
            else
                add(Finding::Error, i + 1, HydrostaticTable::Displacement,
                    QStringLiteral("Row %1: the displacement %2 t is not above the displacement %3 t of "
                                   "row %4.")
                        .arg(i + 1)
                        .arg(fig(row.displacement), fig(prev.displacement))
                        .arg(i));
        }
    }
    if (!ordered)
        return out;  // the checks below measure between drafts that must increase

    for (int i = 1; i < n; ++i) {
        const HydrostaticRow& prev = t.rows[i - 1];
        const HydrostaticRow& row = t.rows[i];
        // The tonnes per centimetre the table gives against those its displacements add up to.
        const Decimal step = (row.displacement - prev.displacement) / ((row.draft - prev.draft) * Decimal(100));
        const Decimal tpc = (prev.tpc + row.tpc) / Decimal(2);
        if (step > Decimal(0) && (tpc - step).abs() > step * dec("0.05"))
            add(Finding::Doubt, i + 1, HydrostaticTable::Tpc,
                QStringLiteral("Row %1: the TPC (%2 and %3 t/cm on rows %4 and %1) is more than 5% away "
                               "from the %5 t/cm that the displacements give between those rows.")
                    .arg(i + 1)
                    .arg(fig(prev.tpc), fig(row.tpc))
                    .arg(i)
                    .arg(fig(step.round(3))));
        if (i >= 2) {
            const Decimal was = prev.draft - t.rows[i - 2].draft;
            const Decimal now = row.draft - prev.draft;
            if (was != now)
                add(Finding::Doubt, i + 1, HydrostaticTable::Draft,
                    QStringLiteral("Row %1: the step between drafts changes from %2 m to %3 m.")
                        .arg(i + 1)
                        .arg(fig(was), fig(now)));
        }
    }
    for (int c = HydrostaticTable::Displacement; c < HydrostaticTable::ColumnCount; ++c)
        findJumps(t, c, out);
    std::stable_sort(out.begin(), out.end(), [](const Finding& a, const Finding& b) {
        if (a.severity != b.severity)
            return a.severity == Finding::Error;
        return a.row < b.row;
    });
    return out;
}

bool hasErrors(const QList<Finding>& findings)
{
    return std::any_of(findings.begin(), findings.end(), [](const Finding& f) { return f.isError(); });
}

QString describe(const QList<Finding>& findings)
{
    QStringList lines;
    for (const Finding& f : findings)
        lines.append(f.text);
    return lines.join(QLatin1Char('\n'));
}

}  // namespace HydrostaticAudit

// --- Picking the rows of a survey ------------------------------------------------------------

namespace HydrostaticPicking {

int bracket(const HydrostaticTable& t, const Decimal& draft)
{
    const int n = t.rows.size();
    if (n < 2 || draft < t.rows.first().draft || draft > t.rows.last().draft)
        return -1;
    // The first row whose draft lies above the one sought; the row before it is Below.
    const auto above = std::upper_bound(t.rows.begin(), t.rows.end(), draft,
                                        [](const Decimal& d, const HydrostaticRow& r) { return d < r.draft; });
    const int i = int(above - t.rows.begin()) - 1;
    return std::min(i, n - 2);
}

std::optional<Decimal> tpcAt(const HydrostaticTable& t, const Decimal& draft)
{
    const int i = bracket(t, draft);
    if (i < 0)
        return std::nullopt;
    const HydrostaticRow& a = t.rows[i];
    const HydrostaticRow& b = t.rows[i + 1];
    if (draft == a.draft)
        return a.tpc;
    if (draft == b.draft)
        return b.tpc;
    return a.tpc + (b.tpc - a.tpc) * (draft - a.draft) / (b.draft - a.draft);
}

std::optional<Decimal> mctcAt(const HydrostaticTable& t, const Decimal& draft)
{
    const int i = bracket(t, draft);
    if (i < 0)
        return std::nullopt;
    const HydrostaticRow& a = t.rows[i];
    const HydrostaticRow& b = t.rows[i + 1];
    if (draft == a.draft)
        return a.mctc;
    if (draft == b.draft)
        return b.mctc;
    return a.mctc + (b.mctc - a.mctc) * (draft - a.draft) / (b.draft - a.draft);
}

Pick pick(const HydrostaticTable& t, const Decimal& trueMeanDraft)
{
    Pick p;
    if (t.rows.size() < 2) {
        p.reason = QStringLiteral("The ship's hydrostatic table has fewer than two rows: no rows were picked.");
        return p;
    }
    const QString span = QStringLiteral("%1 m to %2 m").arg(t.rows.first().draft.toString(),
                                                           t.rows.last().draft.toString());
    int i = bracket(t, trueMeanDraft);
    if (i < 0) {
        p.reason = QStringLiteral("The true mean draft %1 m lies outside the ship's hydrostatic table (%2): "
                                  "no rows were picked.")
                       .arg(trueMeanDraft.round(4).toString(), span);
        return p;
    }
    const Decimal half = Decimal(5) / Decimal(10);
    // A draft on a row is as well the Above row of the pair below it (factor 1, the same figures).
    // Near the deep end of the table only that pair has its MCTC drafts inside the table.
    if (i > 0 && trueMeanDraft == t.rows[i].draft && !mctcAt(t, t.rows[i + 1].draft + half)
        && mctcAt(t, t.rows[i].draft + half) && mctcAt(t, t.rows[i - 1].draft - half))
        --i;
    const Decimal drafts[2] = {t.rows[i].draft, t.rows[i + 1].draft};
    for (int k = 0; k < 2; ++k) {
        p.plusDraft[k] = drafts[k] + half;
        p.minusDraft[k] = drafts[k] - half;
        const std::optional<Decimal> plus = mctcAt(t, p.plusDraft[k]);
        const std::optional<Decimal> minus = mctcAt(t, p.minusDraft[k]);
        const Decimal& missing = !plus ? p.plusDraft[k] : p.minusDraft[k];
        if (!plus || !minus) {
            p.reason = QStringLiteral("The MCTC at %1 m, 50 cm %2 the %3 row, lies outside the ship's "
                                      "hydrostatic table (%4): no rows were picked.")
                           .arg(missing.toString(), !plus ? QStringLiteral("above") : QStringLiteral("below"),
                                k == 0 ? QStringLiteral("Below") : QStringLiteral("Above"), span);
            return p;
        }
        // A surveyor reads the MCTC off to three places; the grid's own check keeps as many.
        p.mctcPlus[k] = plus->round(3);
        p.mctcMinus[k] = minus->round(3);
    }
    p.below = i;
    p.above = i + 1;
    p.picked = true;
    return p;
}

}  // namespace HydrostaticPicking
