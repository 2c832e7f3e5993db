#include "model/TankSheet.h"

#include "core/MessageService.h"

#include <QLocale>
#include <algorithm>

namespace TankSheetWork {

namespace {

std::optional<Decimal> figure(const QString& text)
{
    if (text.trimmed().isEmpty())
        return std::nullopt;
    try {
        if (std::optional<Decimal> d = Decimal::parse(text, QLocale()))
            return d;
        return Decimal::parse(text, QLocale::c());
    } catch (...) {
        return std::nullopt;
    }
}

// The weight to the kilogram, half to even: the product of a volume to litres and a density to
// four places has at most seven.
Decimal toKilograms(const Decimal& tonnes)
{
    if (tonnes.scale() <= 3)
        return tonnes;
    const unsigned __int128 mag = (static_cast<unsigned __int128>(tonnes.hi()) << 64)
        | (static_cast<unsigned __int128>(tonnes.mid()) << 32) | tonnes.lo();
    unsigned __int128 div = 1;
    for (int i = 3; i < tonnes.scale(); ++i)
        div *= 10;
    unsigned __int128 q = mag / div;
    const unsigned __int128 r = mag % div;
    if (r * 2 > div || (r * 2 == div && (q & 1)))
        ++q;
    return Decimal::fromParts(
        quint32(q), quint32(q >> 32), quint32(q >> 64), tonnes.isNegative() && q != 0, 3);
}

Decimal dec(const char* text)
{
    return *Decimal::parse(QString::fromLatin1(text), QLocale::c());
}

} // namespace

SurveyInputRules::Outcome enter(
    Field field, const QString& typed, const QString& cellText, const QString& tank)
{
    SurveyInputRules::Outcome o;
    const QString v = typed.trimmed();
    if (v == cellText) {
        o.text = v;
        return o;
    }
    o.refresh = true;
    if (v.isEmpty())
        return o;
    struct Rule {
        const char* what;
        int places;
        bool zero; // 0 itself is accepted (an empty tank)
        Decimal high;
        const char* range;
    };
    const Rule rule = field == Field::Reading
        ? Rule{"reading", 1, true, Decimal(10000), "0 or more and less than 10000 cm"}
        : field == Field::Density
        ? Rule{"density", 4, false, Decimal(10), "greater than 0 and less than 10 t/m3"}
        : Rule{"volume", 3, true, Decimal(100000), "0 or more and less than 100000 m3"};
    const std::optional<Decimal> d = figure(v);
    const Decimal r = d ? d->round(rule.places) : Decimal(0);
    if (!d || (rule.zero ? r.isNegative() : r.sign() <= 0) || r >= rule.high) {
        o.accepted = false;
        o.refresh = false;
        o.message = MessageService::join(QStringLiteral("Invalid value."),
            QStringLiteral("The %1 of tank %2 can be a number %3.")
                .arg(QLatin1String(rule.what), tank, QLatin1String(rule.range)));
        return o;
    }
    o.text = r.toString();
    return o;
}

Result workOut(const TankTables& tables, const TankSheet& sheet, const std::optional<Decimal>& trim,
    const Decimal& heelDegrees)
{
    Result out;
    for (const Tank& tank : tables.tanks) {
        const auto it = sheet.readings.constFind(tank.name);
        if (it == sheet.readings.constEnd() || (it->reading.isEmpty() && it->volume.isEmpty()))
            continue;
        Line line;
        line.tank = tank.name;
        line.group = tank.group;
        line.reading = it->reading;
        line.trim = trim ? trim->toString() : QString();
        std::optional<Decimal> volume;
        if (!it->volume.isEmpty()) {
            volume = figure(it->volume);
            line.typedVolume = true;
        } else if (!trim) {
            line.refusal = QStringLiteral("Tank %1: the draft has no trim yet to enter its table with.")
                               .arg(tank.name);
        } else {
            const TankVolume::Result v = TankVolume::at(tank, *figure(it->reading), *trim, heelDegrees);
            volume = v.volume;
            line.refusal = v.reason;
        }
        const std::optional<Decimal> density = !it->density.isEmpty() ? figure(it->density) : tank.density;
        if (volume) {
            line.volume = volume->round(3).toString(); // typed to litres already
            if (!density) {
                line.refusal = QStringLiteral("Tank %1: no density is given for its liquid.").arg(tank.name);
            } else {
                line.density = density->toString();
                const Decimal weight = toKilograms(*volume * *density);
                line.weight = weight.toString();
                out.totals[tank.group] = out.totals.value(tank.group) + weight;
            }
        }
        if (!line.refusal.isEmpty())
            out.refusals.append(line.refusal);
        else if (!out.totals.contains(tank.group))
            out.totals.insert(tank.group, Decimal(0));
        out.lines.append(line);
    }
    return out;
}

SurveyFindings draftFindings(const TankTables& tables, const Result& worked, SurveyFinding::Draft draft)
{
    SurveyFindings out;
    QStringList outside;
    for (const Line& line : worked.lines) {
        const Tank* tank = tables.find(line.tank);
        if (!tank || line.volume.isEmpty())
            continue;
        const std::optional<Decimal> trim = figure(line.trim);
        if (line.typedVolume && trim && !tank->trims.isEmpty()
            && (*trim < tank->trims.first() || *trim > tank->trims.last()))
            outside.append(line.tank);
        if (tank->group != TankGroup::Ballast || !trim || tank->rows.isEmpty())
            continue;
        // Full is the volume at the table's deepest sounding (or its smallest ullage) at that trim.
        const Decimal top
            = tank->gauge == TankGauge::Sounding ? tank->rows.last().gauge : tank->rows.first().gauge;
        const TankVolume::Result full = TankVolume::at(*tank, top, *trim, Decimal(0));
        const Decimal volume = *figure(line.volume);
        if (!full.volume || volume.isZero() || volume >= *full.volume * dec("0.98"))
            continue;
        out.append({QStringLiteral("tank-slack"), SurveyFinding::Severity::Information, draft,
            QStringLiteral("Ballast tank %1 is slack: %2 m3 of its %3 m3. Ballast tanks are best "
                           "surveyed empty or pressed up.")
                .arg(line.tank, line.volume, full.volume->toString())});
    }
    if (!outside.isEmpty())
        out.append({QStringLiteral("tank-trim"), SurveyFinding::Severity::Warning, draft,
            QStringLiteral("The trim of %1 m lies outside the tank tables of %2: the volume was typed "
                           "by hand.")
                .arg(worked.lines.first().trim, outside.join(QStringLiteral(", ")))});
    return out;
}

SurveyFindings surveyFindings(const Result& initial, const Result& final, const QString& comments)
{
    SurveyFindings out;
    if (comments.contains(QLatin1String("ballast"), Qt::CaseInsensitive))
        return out;
    for (const Line& a : initial.lines) {
        if (a.group != TankGroup::Ballast || a.volume.isEmpty())
            continue;
        for (const Line& b : final.lines) {
            if (b.tank != a.tank || b.volume.isEmpty())
                continue;
            const Decimal va = *figure(a.volume), vb = *figure(b.volume);
            const Decimal larger = std::max(va, vb);
            // More than a cubic metre and more than 5% of the larger: not the sounding's error.
            if ((va - vb).abs() > Decimal(1) && (va - vb).abs() > larger * dec("0.05"))
                out.append({QStringLiteral("tank-changed"), SurveyFinding::Severity::Information,
                    SurveyFinding::Draft::Survey,
                    QStringLiteral("Ballast tank %1 held %2 m3 at the Initial draft and %3 m3 at the "
                                   "Final one, and no ballast operation is noted.")
                        .arg(a.tank, a.volume, b.volume)});
        }
    }
    return out;
}

} // namespace TankSheetWork
