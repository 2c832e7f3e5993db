#include "files/TankTableFile.h"

#include "files/InputFiles.h"
#include "files/OutputPaths.h"

#include <QHash>
#include <QStringList>
#include <algorithm>

namespace TankTableFile {

QString trimSignKey(TrimSign sign)
{
    return sign == TrimSign::SternNegative ? QStringLiteral("stern-negative")
                                           : QStringLiteral("stern-positive");
}

std::optional<TrimSign> trimSignFromKey(const QString& key)
{
    if (key == QLatin1String("stern-positive"))
        return TrimSign::SternPositive;
    if (key == QLatin1String("stern-negative"))
        return TrimSign::SternNegative;
    return std::nullopt;
}

namespace {

enum class Role { Name, Group, Sounding, Ullage, Density, Trim, Heel };

struct Column {
    Role role;
    Decimal value; // the trim (m, as the file writes it) or the heel angle (port negative)
    QString header;
};

// Spreadsheets quote a field that holds the separator; a doubled quote inside is one quote.
QStringList splitLine(const QString& line, QChar sep)
{
    QStringList out;
    QString field;
    bool quoted = false;
    for (int i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == QLatin1Char('"')) {
            if (quoted && i + 1 < line.size() && line[i + 1] == QLatin1Char('"')) {
                field += c;
                ++i;
            } else {
                quoted = !quoted;
            }
        } else if (c == sep && !quoted) {
            out.append(field.trimmed());
            field.clear();
        } else {
            field += c;
        }
    }
    out.append(field.trimmed());
    return out;
}

// The usual figure of a table, "-12.345", read straight into its digits: a large ship's tables
// hold a quarter of a million of them. Anything else goes to Decimal's own reading.
std::optional<Decimal> plainFigure(QStringView text, QChar point)
{
    if (text.isEmpty() || text.size() > 24)
        return std::nullopt;
    qsizetype i = 0;
    const bool negative = text[0] == QLatin1Char('-');
    if (negative)
        ++i;
    quint64 mag = 0;
    int scale = -1, digits = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == point && scale < 0) {
            scale = 0;
            continue;
        }
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        mag = mag * 10 + quint64(c.unicode() - '0');
        ++digits;
        if (scale >= 0)
            ++scale;
    }
    if (digits == 0 || digits > 18 || scale == 0)
        return std::nullopt;
    return Decimal::fromParts(quint32(mag), quint32(mag >> 32), 0, negative && mag != 0, std::max(scale, 0));
}

std::optional<Decimal> figure(QString text, bool decimalComma)
{
    text = text.trimmed();
    if (const std::optional<Decimal> quick
        = plainFigure(text, decimalComma ? QLatin1Char(',') : QLatin1Char('.')))
        return quick;
    if (text.isEmpty())
        return std::nullopt;
    if (decimalComma)
        text.replace(QLatin1Char(','), QLatin1Char('.'));
    else if (text.contains(QLatin1Char(',')))
        return std::nullopt;
    try {
        return Decimal::parse(text, QLocale::c());
    } catch (...) {
        return std::nullopt;
    }
}

std::optional<Column> columnOf(const QString& header, bool decimalComma)
{
    const QString h = header.simplified();
    const QString lower = h.toLower();
    if (lower == QLatin1String("tank"))
        return Column{Role::Name, {}, h};
    if (lower == QLatin1String("group"))
        return Column{Role::Group, {}, h};
    if (lower == QLatin1String("sounding"))
        return Column{Role::Sounding, {}, h};
    if (lower == QLatin1String("ullage"))
        return Column{Role::Ullage, {}, h};
    if (lower == QLatin1String("density"))
        return Column{Role::Density, {}, h};
    if (lower.startsWith(QLatin1String("trim "))) {
        const std::optional<Decimal> t = figure(h.mid(5), decimalComma);
        if (t)
            return Column{Role::Trim, *t, h};
    }
    if (lower.startsWith(QLatin1String("heel ")) && lower.size() > 6) {
        const QChar side = lower.back();
        const std::optional<Decimal> a = figure(h.mid(5, h.size() - 6), decimalComma);
        if (a && a->sign() > 0 && (side == QLatin1Char('p') || side == QLatin1Char('s')))
            return Column{Role::Heel, side == QLatin1Char('p') ? -*a : *a, h};
    }
    return std::nullopt;
}

// Heel columns port first, each side from the smallest angle outwards.
bool heelBefore(const Decimal& a, const Decimal& b)
{
    if (a.sign() != b.sign())
        return a.isNegative();
    return a.abs() < b.abs();
}

QString fieldText(const QString& text, QChar sep)
{
    if (!text.contains(sep) && !text.contains(QLatin1Char('"')))
        return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1String("\""), QLatin1String("\"\""))
        + QLatin1Char('"');
}

} // namespace

std::optional<TankTables> parse(const QString& text, TrimSign sign, QString* error)
{
    QStringList lines;
    QVector<int> numbers;
    const QStringList all = text.split(QLatin1Char('\n'));
    for (int i = 0; i < all.size(); ++i) {
        QString line = all.at(i);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (i == 0 && line.startsWith(QChar(0xFEFF)))
            line.remove(0, 1);
        if (line.trimmed().isEmpty() || line.trimmed().startsWith(QLatin1Char('#')))
            continue;
        lines.append(line);
        numbers.append(i + 1);
    }
    if (lines.isEmpty()) {
        *error = QStringLiteral("The file holds no tank table.");
        return std::nullopt;
    }
    const QChar sep = lines.first().contains(QLatin1Char('\t')) ? QLatin1Char('\t')
        : lines.first().contains(QLatin1Char(';'))              ? QLatin1Char(';')
                                                                : QLatin1Char(',');
    const bool decimalComma = sep != QLatin1Char(',');
    QVector<Column> columns;
    const QStringList header = splitLine(lines.first(), sep);
    int nameAt = -1, groupAt = -1, soundingAt = -1, ullageAt = -1, densityAt = -1;
    for (int c = 0; c < header.size(); ++c) {
        const std::optional<Column> col = columnOf(header.at(c), decimalComma);
        if (!col) {
            *error
                = QStringLiteral("Line %1, column %2: \"%3\" names no column of a tank table (Tank, Group, "
                                 "Sounding, Ullage, Density, Trim <m>, Heel <deg>P or Heel <deg>S).")
                      .arg(numbers.first())
                      .arg(c + 1)
                      .arg(header.at(c));
            return std::nullopt;
        }
        int* at = col->role == Role::Name ? &nameAt
            : col->role == Role::Group    ? &groupAt
            : col->role == Role::Sounding ? &soundingAt
            : col->role == Role::Ullage   ? &ullageAt
            : col->role == Role::Density  ? &densityAt
                                          : nullptr;
        for (const Column& before : columns)
            if (before.role == col->role && (at || before.value == col->value)) {
                *error = QStringLiteral("Line %1, column %2: the column \"%3\" is given twice.")
                             .arg(numbers.first())
                             .arg(c + 1)
                             .arg(header.at(c));
                return std::nullopt;
            }
        if (at)
            *at = c;
        columns.append(*col);
    }
    const bool anyTrim
        = std::any_of(columns.begin(), columns.end(), [](const Column& c) { return c.role == Role::Trim; });
    if (nameAt < 0 || groupAt < 0 || (soundingAt < 0 && ullageAt < 0) || !anyTrim) {
        *error = QStringLiteral(
            "Line %1: the first line must name the columns: Tank, Group, Sounding or Ullage, "
            "and a Trim <m> column for each trim of the tables.")
                     .arg(numbers.first());
        return std::nullopt;
    }

    TankTables tables;
    QHash<QString, int> index; // by the tank's name, letter case ignored
    QVector<QVector<int>> filledColumns; // per tank: the trim and heel columns its first row fills
    for (int i = 1; i < lines.size(); ++i) {
        const int line = numbers.at(i);
        const QStringList cells = splitLine(lines.at(i), sep);
        if (cells.size() > columns.size()) {
            *error = QStringLiteral("Line %1: the row has %2 fields where the header names %3.")
                         .arg(line)
                         .arg(cells.size())
                         .arg(columns.size());
            return std::nullopt;
        }
        const auto cell = [&](int c) { return c >= 0 ? cells.value(c) : QString(); };
        const auto where = [&](int c) {
            return QStringLiteral("Line %1, column %2 (%3)").arg(line).arg(c + 1).arg(columns.at(c).header);
        };
        const QString name = cell(nameAt);
        if (name.isEmpty()) {
            *error = where(nameAt) + QStringLiteral(": the tank's name is missing.");
            return std::nullopt;
        }
        const std::optional<TankGroup> group = TankGroups::fromName(cell(groupAt));
        if (!group) {
            *error = where(groupAt)
                + QStringLiteral(
                    ": \"%1\" is no group (Ballast, Fresh Water, Fuel Oil, Diesel Oil, Lub Oil or "
                    "Other).")
                      .arg(cell(groupAt));
            return std::nullopt;
        }
        const bool sounded = !cell(soundingAt).isEmpty();
        const bool ullaged = !cell(ullageAt).isEmpty();
        if (sounded == ullaged) {
            *error = QStringLiteral("Line %1: the row must give either a sounding or an ullage.").arg(line);
            return std::nullopt;
        }
        const int gaugeAt = sounded ? soundingAt : ullageAt;
        const std::optional<Decimal> gauge = figure(cell(gaugeAt), decimalComma);
        if (!gauge) {
            *error = where(gaugeAt) + QStringLiteral(": \"%1\" is not a number.").arg(cell(gaugeAt));
            return std::nullopt;
        }
        const QString key = name.toLower();
        int t = index.value(key, -1);
        if (t < 0) {
            t = int(tables.tanks.size());
            index.insert(key, t);
            Tank tank;
            tank.name = name;
            tank.group = *group;
            tank.gauge = sounded ? TankGauge::Sounding : TankGauge::Ullage;
            QVector<int> filled;
            for (int c = 0; c < columns.size(); ++c)
                if ((columns[c].role == Role::Trim || columns[c].role == Role::Heel) && !cell(c).isEmpty())
                    filled.append(c);
            filledColumns.append(filled);
            tables.tanks.append(tank);
        }
        Tank& tank = tables.tanks[t];
        if (tank.group != *group || tank.gauge != (sounded ? TankGauge::Sounding : TankGauge::Ullage)) {
            *error = QStringLiteral("Line %1: tank %2 is given another group or gauge than on its first "
                                    "row.")
                         .arg(line)
                         .arg(name);
            return std::nullopt;
        }
        if (!cell(densityAt).isEmpty()) {
            const std::optional<Decimal> density = figure(cell(densityAt), decimalComma);
            if (!density) {
                *error = where(densityAt) + QStringLiteral(": \"%1\" is not a number.").arg(cell(densityAt));
                return std::nullopt;
            }
            if (tank.density && *tank.density != *density) {
                *error = where(densityAt)
                    + QStringLiteral(": tank %1 was given the density %2 before.")
                          .arg(name, tank.density->toString());
                return std::nullopt;
            }
            tank.density = *density;
        }
        TankRow row;
        row.gauge = *gauge;
        for (int c = 0; c < columns.size(); ++c) {
            if (columns[c].role != Role::Trim && columns[c].role != Role::Heel)
                continue;
            const bool wanted = filledColumns[t].contains(c);
            if (cell(c).isEmpty() != !wanted) {
                *error = where(c)
                    + (wanted ? QStringLiteral(": the figure is missing.")
                              : QStringLiteral(": tank %1 gives no figure in this column on its first row.")
                                    .arg(name));
                return std::nullopt;
            }
            if (!wanted)
                continue;
            const std::optional<Decimal> v = figure(cell(c), decimalComma);
            if (!v) {
                *error = where(c) + QStringLiteral(": \"%1\" is not a number.").arg(cell(c));
                return std::nullopt;
            }
            (columns[c].role == Role::Trim ? row.volumes : row.heel).append(*v);
        }
        tank.rows.append(row);
    }
    if (tables.tanks.isEmpty()) {
        *error = QStringLiteral("The file holds no row of a tank table.");
        return std::nullopt;
    }
    // Each tank's columns: its trims turned to the program's sign and put in increasing order,
    // with the volumes of every row in the same order.
    for (int t = 0; t < tables.tanks.size(); ++t) {
        Tank& tank = tables.tanks[t];
        QVector<Decimal> trims;
        for (int c : filledColumns[t]) {
            if (columns[c].role == Role::Trim)
                trims.append(sign == TrimSign::SternNegative ? -columns[c].value : columns[c].value);
            else
                tank.heels.append(columns[c].value);
        }
        QVector<int> order(trims.size());
        for (int k = 0; k < order.size(); ++k)
            order[k] = k;
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return trims[a] < trims[b]; });
        for (int k : order)
            tank.trims.append(trims[k]);
        // The heel columns port first, each side from the smallest angle outwards.
        QVector<int> heelOrder(tank.heels.size());
        for (int k = 0; k < heelOrder.size(); ++k)
            heelOrder[k] = k;
        const QVector<Decimal> heels = tank.heels;
        std::stable_sort(
            heelOrder.begin(), heelOrder.end(), [&](int a, int b) { return heelBefore(heels[a], heels[b]); });
        tank.heels.clear();
        for (int k : heelOrder)
            tank.heels.append(heels[k]);
        for (TankRow& row : tank.rows) {
            QVector<Decimal> v, h;
            for (int k : order)
                v.append(row.volumes.value(k));
            for (int k : heelOrder)
                h.append(row.heel.value(k));
            row.volumes = v;
            row.heel = h;
        }
    }
    return tables;
}

std::optional<TankTables> readFile(const QString& path, TrimSign sign, QString* error, bool* notRead)
{
    if (notRead)
        *notRead = false;
    const std::optional<QByteArray> bytes = InputFiles::read(path, InputFiles::kTableLimit, error);
    if (!bytes) {
        if (notRead)
            *notRead = true;
        return std::nullopt;
    }
    QString why;
    std::optional<TankTables> t = parse(QString::fromUtf8(*bytes), sign, &why);
    if (!t)
        *error = QStringLiteral("%1: %2").arg(path, why);
    return t;
}

QByteArray toCsv(const TankTables& tables, bool decimalComma)
{
    const QChar sep = decimalComma ? QLatin1Char(';') : QLatin1Char(',');
    const auto fig = [decimalComma](const Decimal& d) {
        QString s = d.toString();
        return decimalComma ? s.replace(QLatin1Char('.'), QLatin1Char(',')) : s;
    };
    QVector<Decimal> trims, heels;
    bool sounded = false, ullaged = false, densities = false;
    for (const Tank& t : tables.tanks) {
        for (const Decimal& x : t.trims)
            if (!trims.contains(x))
                trims.append(x);
        for (const Decimal& x : t.heels)
            if (!heels.contains(x))
                heels.append(x);
        (t.gauge == TankGauge::Ullage ? ullaged : sounded) = true;
        densities = densities || t.density.has_value();
    }
    std::sort(trims.begin(), trims.end());
    std::sort(heels.begin(), heels.end(), heelBefore);
    QString out
        = QStringLiteral("# Tank calibration tables: gauges in cm, volumes in m3, trims in m by the stern "
                         "positive, heel corrections in m3 added at even keel\n");
    QStringList head{QStringLiteral("Tank"), QStringLiteral("Group")};
    if (sounded)
        head << QStringLiteral("Sounding");
    if (ullaged)
        head << QStringLiteral("Ullage");
    if (densities)
        head << QStringLiteral("Density");
    for (const Decimal& x : trims)
        head << QStringLiteral("Trim ") + fig(x);
    for (const Decimal& x : heels)
        head << QStringLiteral("Heel ") + fig(x.abs())
                + (x.isNegative() ? QLatin1Char('P') : QLatin1Char('S'));
    out += head.join(sep) + QLatin1Char('\n');
    for (const Tank& t : tables.tanks) {
        for (const TankRow& r : t.rows) {
            QStringList f{fieldText(t.name, sep), TankGroups::name(t.group)};
            if (sounded)
                f << (t.gauge == TankGauge::Sounding ? fig(r.gauge) : QString());
            if (ullaged)
                f << (t.gauge == TankGauge::Ullage ? fig(r.gauge) : QString());
            if (densities)
                f << (t.density ? fig(*t.density) : QString());
            for (const Decimal& x : trims) {
                const int k = int(t.trims.indexOf(x));
                f << (k >= 0 && k < r.volumes.size() ? fig(r.volumes[k]) : QString());
            }
            for (const Decimal& x : heels) {
                const int k = int(t.heels.indexOf(x));
                f << (k >= 0 && k < r.heel.size() ? fig(r.heel[k]) : QString());
            }
            out += f.join(sep) + QLatin1Char('\n');
        }
    }
    return out.toUtf8();
}

bool writeCsv(const QString& path, const TankTables& tables, QString* error, bool decimalComma)
{
    return OutputPaths::write(path, toCsv(tables, decimalComma), error);
}

} // namespace TankTableFile
