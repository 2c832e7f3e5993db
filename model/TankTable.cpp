#include "model/TankTable.h"

#include "core/VbError.h"
#include "db/Database.h"
#include "db/TankStore.h"

#include <QStringList>
#include <algorithm>

// --- Quick exact arithmetic ------------------------------------------------------------------
// A draft works out every tank and an import audits every row: the figures of a table are short
// decimals, so their ratios and roundings are done on 128-bit integers, half to even like
// Decimal's own, instead of Decimal's general long division.

namespace {

using Wide128 = unsigned __int128;

Wide128 magnitudeOf(const Decimal& d)
{
    return (Wide128(d.hi()) << 64) | (Wide128(d.mid()) << 32) | Wide128(d.lo());
}

Decimal fromMagnitude(Wide128 mag, bool negative, int scale)
{
    return Decimal::fromParts(quint32(mag), quint32(mag >> 32), quint32(mag >> 64), negative, scale);
}

Wide128 tenTo(int n)
{
    Wide128 p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

// q / d rounded half to even.
Wide128 dividedEven(Wide128 n, Wide128 d)
{
    const Wide128 q = n / d, r = n % d;
    if (r * 2 > d || (r * 2 == d && (q & 1)))
        return q + 1;
    return q;
}

} // namespace

namespace TankArithmetic {

// `value` rounded half to even to `places`.
Decimal rounded(const Decimal& value, int places)
{
    if (value.scale() <= places)
        return value;
    return fromMagnitude(
        dividedEven(magnitudeOf(value), tenTo(value.scale() - places)), value.isNegative(), places);
}

// num / den to twelve places (half to even); Decimal's division for figures too long for it.
Decimal ratio(const Decimal& num, const Decimal& den)
{
    constexpr int Places = 12;
    const int scale = std::max(num.scale(), den.scale());
    const Wide128 limit = tenTo(24);
    Wide128 n = magnitudeOf(num), d = magnitudeOf(den);
    if (scale <= 12 && n < limit && d < limit && d != 0) {
        n *= tenTo(scale - num.scale());
        d *= tenTo(scale - den.scale());
        if (n < limit && d < limit) {
            const Wide128 q = dividedEven(n * tenTo(Places), d);
            if (q < (Wide128(1) << 96))
                return fromMagnitude(q, num.isNegative() != den.isNegative() && q != 0, Places);
        }
    }
    return (num / den).round(Places);
}

} // namespace TankArithmetic

// --- Groups ----------------------------------------------------------------------------------

namespace TankGroups {

namespace {
struct Named {
    TankGroup group;
    const char* name;
    int item; // the deductions list's item id
};
const Named kGroups[Count] = {
    {TankGroup::Ballast, "Ballast", 26},
    {TankGroup::FreshWater, "Fresh Water", 25},
    {TankGroup::FuelOil, "Fuel Oil", 2},
    {TankGroup::DieselOil, "Diesel Oil", 3},
    {TankGroup::LubOil, "Lub Oil", 24},
    {TankGroup::Other, "Other", 28},
};
} // namespace

QString name(TankGroup group)
{
    for (const Named& n : kGroups)
        if (n.group == group)
            return QLatin1String(n.name);
    return QString();
}

std::optional<TankGroup> fromName(const QString& name)
{
    const QString wanted = name.simplified();
    for (const Named& n : kGroups)
        if (wanted.compare(QLatin1String(n.name), Qt::CaseInsensitive) == 0)
            return n.group;
    return std::nullopt;
}

int deductionItem(TankGroup group)
{
    for (const Named& n : kGroups)
        if (n.group == group)
            return n.item;
    return 28;
}

QList<TankGroup> all()
{
    QList<TankGroup> groups;
    for (const Named& n : kGroups)
        groups.append(n.group);
    return groups;
}

} // namespace TankGroups

QString heelCaption(const Decimal& degrees)
{
    return degrees.abs().toString() + (degrees.isNegative() ? QStringLiteral("P") : QStringLiteral("S"));
}

const Tank* TankTables::find(const QString& name) const
{
    for (const Tank& t : tanks)
        if (t.name.compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

// --- Where the tables are kept ---------------------------------------------------------------

namespace {

Connection& use(Connection* connection)
{
    return connection ? *connection : sharedConnection();
}

Decimal storedFigure(const QString& text)
{
    const std::optional<Decimal> d = Decimal::parse(text, QLocale::c());
    if (!d)
        throw VbError(13, QStringLiteral("Type mismatch"));
    return *d;
}

QVector<Decimal> storedFigures(const QString& list)
{
    QVector<Decimal> out;
    if (list.isEmpty())
        return out;
    for (const QString& t : list.split(QLatin1Char(';')))
        out.append(storedFigure(t));
    return out;
}

QString figureList(const QVector<Decimal>& figures)
{
    QStringList texts;
    for (const Decimal& d : figures)
        texts.append(d.toString());
    return texts.join(QLatin1Char(';'));
}

} // namespace

TankTables TankTables::loadForShip(int shipId, Connection* connection, qint64* changeCount)
{
    TankTables out;
    for (const TankStore::StoredTank& s : TankStore::load(use(connection), shipId, changeCount)) {
        Tank t;
        t.name = s.name;
        t.group = TankGroups::fromName(s.group).value_or(TankGroup::Other);
        t.gauge = s.gauge == QLatin1String("ullage") ? TankGauge::Ullage : TankGauge::Sounding;
        if (!s.density.isEmpty())
            t.density = storedFigure(s.density);
        t.trims = storedFigures(s.trims);
        t.heels = storedFigures(s.heels);
        for (const TankStore::StoredRow& r : s.rows)
            t.rows.append({storedFigure(r.gauge), storedFigures(r.volumes), storedFigures(r.heel)});
        out.tanks.append(t);
    }
    return out;
}

QVector<TankStore::StoredTank> TankTables::stored(const TankTables& tables)
{
    QVector<TankStore::StoredTank> out;
    for (const Tank& t : tables.tanks) {
        TankStore::StoredTank s;
        s.name = t.name;
        s.group = TankGroups::name(t.group);
        s.gauge = t.gauge == TankGauge::Ullage ? QStringLiteral("ullage") : QStringLiteral("sounding");
        s.density = t.density ? t.density->toString() : QString();
        s.trims = figureList(t.trims);
        s.heels = figureList(t.heels);
        for (const TankRow& r : t.rows)
            s.rows.append({r.gauge.toString(), figureList(r.volumes), figureList(r.heel)});
        out.append(s);
    }
    return out;
}

qint64 TankTables::saveForShip(
    int shipId, const TankTables& tables, Connection* connection, std::optional<qint64> countRead)
{
    return TankStore::save(use(connection), shipId, stored(tables), countRead);
}

// --- Audit -----------------------------------------------------------------------------------

namespace TankAudit {

namespace {

Decimal median(QVector<Decimal> v)
{
    if (v.isEmpty())
        return Decimal(0);
    std::sort(v.begin(), v.end());
    static const Decimal half = *Decimal::parse(u"0.5", QLocale::c());
    return v.size() % 2 ? v.at(v.size() / 2) : (v.at(v.size() / 2 - 1) + v.at(v.size() / 2)) * half;
}

QString trimText(const Decimal& trim)
{
    return trim.toString() + QStringLiteral(" m");
}

// A volume that leaves the trend of its neighbours in one trim column, as the hydrostatic audit
// finds a misprinted figure: each inner row's distance from the straight line between the rows
// either side, less the column's usual bend; a wrong figure peaks at its row with the rows next to
// it leaning the other way. Below a hundredth of a cubic metre it is the booklet's rounding.
void findJumps(const Tank& t, int column, QList<Finding>& out)
{
    const int n = t.rows.size();
    if (n < 4)
        return;
    const auto v = [&](int i) { return t.rows[i].volumes[column]; };
    QVector<Decimal> r(n, Decimal(0));
    QVector<Decimal> inner;
    for (int i = 1; i + 1 < n; ++i) {
        const Decimal g0 = t.rows[i - 1].gauge, g1 = t.rows[i].gauge, g2 = t.rows[i + 1].gauge;
        r[i] = v(i) - (v(i - 1) + (v(i + 1) - v(i - 1)) * TankArithmetic::ratio(g1 - g0, g2 - g0));
        inner.append(r[i]);
    }
    const Decimal usual = median(inner);
    QVector<Decimal> sizes;
    for (int i = 1; i + 1 < n; ++i) {
        r[i] -= usual;
        sizes.append(r[i].abs());
    }
    static const Decimal hundredth = *Decimal::parse(u"0.01", QLocale::c());
    const Decimal limit = std::max(hundredth, median(sizes) * Decimal(5));
    auto report = [&](int index) {
        Finding f;
        f.severity = Finding::Doubt;
        f.tank = t.name;
        f.row = index + 1;
        f.column = column;
        f.text = QStringLiteral("Tank %1, row %2: the volume %3 m3 at trim %4 breaks the trend of the "
                                "rows around it.")
                     .arg(t.name)
                     .arg(index + 1)
                     .arg(v(index).toString(), trimText(t.trims[column]));
        out.append(f);
    };
    for (int i = 1; i + 1 < n; ++i) {
        const Decimal size = r[i].abs();
        if (size <= limit)
            continue;
        if ((i > 1 && r[i - 1].abs() >= size) || (i + 2 < n && r[i + 1].abs() >= size))
            continue;
        const bool leftLeans
            = i > 1 && r[i - 1].sign() == -r[i].sign() && r[i - 1].abs() * Decimal(4) >= size;
        const bool rightLeans
            = i + 2 < n && r[i + 1].sign() == -r[i].sign() && r[i + 1].abs() * Decimal(4) >= size;
        if (leftLeans || rightLeans)
            report(i);
    }
}

void auditTank(const Tank& t, QList<Finding>& out)
{
    auto add = [&](Finding::Severity s, int row, int column, const QString& text) {
        Finding f;
        f.severity = s;
        f.tank = t.name;
        f.row = row;
        f.column = column;
        f.text = text;
        out.append(f);
    };
    const QString name = t.name;
    if (t.rows.size() < 2)
        add(Finding::Error, 0, -1,
            QStringLiteral("Tank %1: the table needs at least two rows to bracket a reading.").arg(name));
    if (t.trims.isEmpty())
        add(Finding::Error, 0, -1, QStringLiteral("Tank %1: the table has no trim column.").arg(name));
    if (t.density && !(*t.density > Decimal(0) && *t.density < Decimal(10)))
        add(Finding::Error, 0, -1,
            QStringLiteral("Tank %1: the density %2 is not between 0 and 10 t/m3.")
                .arg(name, t.density->toString()));
    for (int k = 1; k < t.trims.size(); ++k)
        if (t.trims[k] <= t.trims[k - 1])
            add(Finding::Error, 0, k,
                QStringLiteral("Tank %1: the trim %2 does not follow the trim %3; trims must increase from "
                               "column to column.")
                    .arg(name, trimText(t.trims[k]), trimText(t.trims[k - 1])));
    for (int k = 0; k < t.heels.size(); ++k)
        if (t.heels[k].isZero() || t.heels.indexOf(t.heels[k]) != k)
            add(Finding::Error, 0, -1,
                QStringLiteral("Tank %1: the heel column %2 is zero or given twice.")
                    .arg(name, heelCaption(t.heels[k])));
    bool shaped = true;
    for (int i = 0; i < t.rows.size(); ++i) {
        const TankRow& row = t.rows[i];
        if (row.volumes.size() != t.trims.size() || row.heel.size() != t.heels.size()) {
            shaped = false;
            add(Finding::Error, i + 1, -1,
                QStringLiteral("Tank %1, row %2: the row has %3 figures where the table has %4 columns.")
                    .arg(name)
                    .arg(i + 1)
                    .arg(row.volumes.size() + row.heel.size())
                    .arg(t.trims.size() + t.heels.size()));
            continue;
        }
        if (row.gauge.isNegative())
            add(Finding::Error, i + 1, -1,
                QStringLiteral("Tank %1, row %2: the gauge %3 cm is below 0.")
                    .arg(name)
                    .arg(i + 1)
                    .arg(row.gauge.toString()));
        for (int k = 0; k < row.volumes.size(); ++k)
            if (row.volumes[k].isNegative())
                add(Finding::Error, i + 1, k,
                    QStringLiteral("Tank %1, row %2: the volume %3 m3 at trim %4 is below 0.")
                        .arg(name)
                        .arg(i + 1)
                        .arg(row.volumes[k].toString(), trimText(t.trims[k])));
        if (i == 0)
            continue;
        const TankRow& prev = t.rows[i - 1];
        if (row.gauge <= prev.gauge) {
            shaped = false;
            add(Finding::Error, i + 1, -1,
                QStringLiteral("Tank %1, row %2: the gauge %3 cm does not follow the gauge %4 cm of row %5; "
                               "gauges must increase from row to row.")
                    .arg(name)
                    .arg(i + 1)
                    .arg(row.gauge.toString(), prev.gauge.toString())
                    .arg(i));
            continue;
        }
        if (prev.volumes.size() != row.volumes.size())
            continue;
        // A deeper sounding holds more; a deeper ullage less.
        for (int k = 0; k < row.volumes.size(); ++k) {
            const bool wrong = t.gauge == TankGauge::Sounding ? row.volumes[k] < prev.volumes[k]
                                                              : row.volumes[k] > prev.volumes[k];
            if (wrong)
                add(Finding::Error, i + 1, k,
                    QStringLiteral("Tank %1, row %2: the volume %3 m3 at trim %4 is %5 the volume %6 m3 of "
                                   "row %7; the volume must %8 as the %9 deepens.")
                        .arg(name)
                        .arg(i + 1)
                        .arg(row.volumes[k].toString(), trimText(t.trims[k]),
                            t.gauge == TankGauge::Sounding ? QStringLiteral("below")
                                                           : QStringLiteral("above"),
                            prev.volumes[k].toString())
                        .arg(i)
                        .arg(t.gauge == TankGauge::Sounding ? QStringLiteral("not decrease")
                                                            : QStringLiteral("not increase"),
                            t.gauge == TankGauge::Sounding ? QStringLiteral("sounding")
                                                           : QStringLiteral("ullage")));
        }
    }
    if (!shaped)
        return; // the trend is measured between gauges that increase
    for (int k = 0; k < t.trims.size(); ++k)
        findJumps(t, k, out);
}

} // namespace

QList<Finding> audit(const TankTables& tables)
{
    QList<Finding> out;
    for (int i = 0; i < tables.tanks.size(); ++i) {
        const Tank& t = tables.tanks[i];
        if (t.name.trimmed().isEmpty()) {
            Finding f;
            f.text = QStringLiteral("Tank number %1 has no name.").arg(i + 1);
            out.append(f);
        }
        for (int j = 0; j < i; ++j)
            if (tables.tanks[j].name.compare(t.name, Qt::CaseInsensitive) == 0) {
                Finding f;
                f.tank = t.name;
                f.text = QStringLiteral("Tank %1 is given twice.").arg(t.name);
                out.append(f);
                break;
            }
        auditTank(t, out);
    }
    std::stable_sort(
        out.begin(), out.end(), [](const Finding& a, const Finding& b) { return a.severity < b.severity; });
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

} // namespace TankAudit

// --- Volumes ---------------------------------------------------------------------------------

namespace TankVolume {

namespace {

// Index i with x(i) <= x <= x(i + 1) in an increasing list; -1 outside it.
template <typename At> int bracket(int n, const Decimal& x, At at)
{
    if (n < 2 || x < at(0) || x > at(n - 1))
        return -1;
    int lo = 0, hi = n - 1; // at(lo) <= x <= at(hi)
    while (hi - lo > 1) {
        const int mid = (lo + hi) / 2;
        if (at(mid) <= x)
            lo = mid;
        else
            hi = mid;
    }
    return lo;
}

Decimal between(const Decimal& x0, const Decimal& v0, const Decimal& x1, const Decimal& v1, const Decimal& x)
{
    if (x == x0)
        return v0;
    if (x == x1)
        return v1;
    return v0 + (v1 - v0) * TankArithmetic::ratio(x - x0, x1 - x0);
}

// arctan of x (|x| <= 1/2) by its series, in exact decimals to 28 places.
Decimal arctan(const Decimal& x)
{
    const Decimal x2 = x * x;
    Decimal power = x, sum = x;
    for (int k = 1; k < 60; ++k) {
        power = (-power * x2).round(28);
        const Decimal term = power / Decimal(2 * k + 1);
        if (term.round(27).isZero())
            break;
        sum += term;
    }
    return sum;
}

} // namespace

std::optional<Decimal> heelDegrees(const Decimal& midPort, const Decimal& midStbd, const Decimal& breadth)
{
    if (breadth.sign() <= 0)
        return std::nullopt;
    // Deeper to port is a list to port: negative, as the heel columns to port are.
    const Decimal tangent = (midStbd - midPort) / breadth;
    if (tangent.abs() > Decimal(1) / Decimal(2))
        return std::nullopt;
    static const Decimal pi = *Decimal::parse(QStringLiteral("3.1415926535897932384626433833"), QLocale::c());
    return (arctan(tangent) * Decimal(180) / pi).round(2);
}

Result at(const Tank& tank, const Decimal& reading, const Decimal& trim, const Decimal& heelDegrees)
{
    Result r;
    const int n = tank.rows.size();
    const QString gaugeWord
        = tank.gauge == TankGauge::Ullage ? QStringLiteral("ullage") : QStringLiteral("sounding");
    const int i = bracket(n, reading, [&](int k) { return tank.rows[k].gauge; });
    if (i < 0) {
        r.reason = n < 2 ? QStringLiteral("Tank %1: its table has fewer than two rows.").arg(tank.name)
                         : QStringLiteral("Tank %1: the %2 %3 cm lies outside its table (%4 cm to %5 cm).")
                               .arg(tank.name, gaugeWord, reading.toString(),
                                   tank.rows.first().gauge.toString(), tank.rows.last().gauge.toString());
        return r;
    }
    const TankRow& a = tank.rows[i];
    const TankRow& b = tank.rows[i + 1];
    const int nt = tank.trims.size();
    int j = -1;
    if (nt == 1 && trim == tank.trims[0])
        j = 0;
    else
        j = bracket(nt, trim, [&](int k) { return tank.trims[k]; });
    if (j < 0 || a.volumes.size() != nt || b.volumes.size() != nt) {
        r.reason = nt == 0 ? QStringLiteral("Tank %1: its table has no trim column.").arg(tank.name)
                           : QStringLiteral("Tank %1: the trim %2 m lies outside its table (%3 m to %4 m).")
                                 .arg(tank.name, trim.toString(), tank.trims.first().toString(),
                                     tank.trims.last().toString());
        return r;
    }
    const auto atTrim = [&](int k) { return between(a.gauge, a.volumes[k], b.gauge, b.volumes[k], reading); };
    Decimal volume
        = nt == 1 ? atTrim(0) : between(tank.trims[j], atTrim(j), tank.trims[j + 1], atTrim(j + 1), trim);

    if (!tank.heels.isEmpty() && !heelDegrees.isZero()) {
        // The columns on the side of the list, from even keel (no correction) outwards.
        QVector<std::pair<Decimal, int>> side{{Decimal(0), -1}};
        for (int k = 0; k < tank.heels.size(); ++k)
            if (tank.heels[k].sign() == heelDegrees.sign())
                side.append({tank.heels[k].abs(), k});
        std::sort(side.begin(), side.end(), [](const auto& x, const auto& y) { return x.first < y.first; });
        const Decimal angle = heelDegrees.abs();
        const int h = bracket(int(side.size()), angle, [&](int k) { return side[k].first; });
        if (h < 0 || a.heel.size() != tank.heels.size() || b.heel.size() != tank.heels.size()) {
            r.reason
                = QStringLiteral("Tank %1: the list of %2 degrees to %3 lies beyond its heel columns.")
                      .arg(tank.name, angle.toString(),
                          heelDegrees.isNegative() ? QStringLiteral("port") : QStringLiteral("starboard"));
            return r;
        }
        const auto correctionAt = [&](int s) {
            const int k = side[s].second;
            return k < 0 ? Decimal(0) : between(a.gauge, a.heel[k], b.gauge, b.heel[k], reading);
        };
        volume += between(side[h].first, correctionAt(h), side[h + 1].first, correctionAt(h + 1), angle);
    }
    r.volume = TankArithmetic::rounded(volume, 3);
    return r;
}

} // namespace TankVolume
