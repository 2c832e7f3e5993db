#include "files/HydrostaticTableFile.h"

#include "files/InputFiles.h"
#include "files/OutputPaths.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringConverter>
#include <algorithm>

namespace HydrostaticTableFile {

using Separator = Layout::Separator;

QString roleName(Role role)
{
    switch (role) {
    case Role::Draft: return QStringLiteral("Draft");
    case Role::Displacement: return QStringLiteral("Displacement");
    case Role::Tpc: return QStringLiteral("TPC");
    case Role::Lcf: return QStringLiteral("LCF");
    case Role::Mctc: return QStringLiteral("MCTC");
    case Role::Ignore: break;
    }
    return QStringLiteral("(ignored)");
}

Role roleFromHeader(const QString& header)
{
    QString h = header.toLower();
    // The unit after the name says nothing of the role: "T (m)", "Displ. [t]".
    h.remove(QRegularExpression(QStringLiteral("[(\\[].*$")));
    h.remove(QRegularExpression(QStringLiteral("[^a-z]")));
    if (h.contains(QLatin1String("mctc")) || h.startsWith(QLatin1String("mtc")))
        return Role::Mctc;
    if (h.startsWith(QLatin1String("tpc")))
        return Role::Tpc;
    if (h.startsWith(QLatin1String("lcf")))
        return Role::Lcf;
    if (h.startsWith(QLatin1String("disp")) || h == QLatin1String("delta"))
        return Role::Displacement;
    if (h.contains(QLatin1String("draft")) || h.contains(QLatin1String("draught")) || h == QLatin1String("t")
        || h == QLatin1String("d"))
        return Role::Draft;
    return Role::Ignore;
}

namespace {

constexpr Role kOrder[5] = {Role::Draft, Role::Displacement, Role::Tpc, Role::Lcf, Role::Mctc};

// The imperial unit a column header names ("feet", "long tons", "inches"), or an empty text. Only
// the words after the column's name count ("Draft (ft)", "TPC [LT/in]", "Displacement long tons"),
// and "in" before another word ("Draft in m") is no unit.
QString unconvertedUnit(const QString& header)
{
    const QString h = header.toLower();
    QString unit;
    static const QRegularExpression bracketed(QStringLiteral("[(\\[]([^)\\]]*)"));
    const QRegularExpressionMatch m = bracketed.match(h);
    if (m.hasMatch()) {
        unit = m.captured(1);
    } else {
        const qsizetype space = h.trimmed().indexOf(QLatin1Char(' '));
        unit = space < 0 ? QString() : h.trimmed().mid(space + 1);
    }
    static const QRegularExpression word(QStringLiteral("[a-z]+|'|\""));
    QStringList words;
    for (auto it = word.globalMatch(unit); it.hasNext();)
        words << it.next().captured(0);
    for (int i = 0; i < words.size(); ++i) {
        const QString& w = words.at(i);
        if (w == QLatin1String("ft") || w == QLatin1String("feet") || w == QLatin1String("foot")
            || w == QLatin1String("'"))
            return QStringLiteral("feet");
        if (w == QLatin1String("lt") || w == QLatin1String("lton") || w == QLatin1String("ltons")
            || (w == QLatin1String("long") && i + 1 < words.size()
                && words.at(i + 1).startsWith(QLatin1String("ton"))))
            return QStringLiteral("long tons");
        // "in" followed by another word is the preposition ("Draft in m").
        if ((w == QLatin1String("in") && i + 1 == words.size()) || w == QLatin1String("inch")
            || w == QLatin1String("inches") || w == QLatin1String("\""))
            return QStringLiteral("inches");
    }
    return QString();
}

// A figure of the file: with a separator other than the comma, a comma is the decimal point.
std::optional<Decimal> figure(QString text, bool decimalComma)
{
    text = text.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    if (decimalComma)
        text.replace(QLatin1Char(','), QLatin1Char('.'));
    else if (text.contains(QLatin1Char(',')))
        return std::nullopt;  // no digit grouping: "1,234" is no figure in a comma-separated file
    try {
        return Decimal::parse(text, QLocale::c());
    } catch (...) {
        return std::nullopt;  // too large for any table
    }
}

QStringList splitLine(const QString& line, Separator sep)
{
    if (sep == Separator::Spaces)
        return line.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    const QChar s = sep == Separator::Comma ? QLatin1Char(',')
                    : sep == Separator::Semicolon ? QLatin1Char(';')
                                                  : QLatin1Char('\t');
    // Spreadsheets quote a field that holds the separator; a doubled quote inside is one quote.
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
        } else if (c == s && !quoted) {
            out.append(field.trimmed());
            field.clear();
        } else {
            field += c;
        }
    }
    out.append(field.trimmed());
    return out;
}

struct Lines {
    QStringList texts;
    QVector<int> numbers;
    std::optional<QString> density;
    bool moulded = false;
};

Lines contentLines(const QString& text)
{
    Lines l;
    const QStringList all = text.split(QLatin1Char('\n'));
    // The figure is taken whole, sign and all, up to the next blank: "1e999999" must not pass for 1.
    static const QRegularExpression densityRemark(QStringLiteral("density\\D*?([-+]?[0-9]\\S*)"),
                                                  QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression unitAfter(QStringLiteral("(t/m3|t/m\\x{00B3}|[.,;])$"),
                                              QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression mouldedRemark(QStringLiteral("\\bdrafts?\\s+moulded\\b"),
                                                  QRegularExpression::CaseInsensitiveOption);
    for (int i = 0; i < all.size(); ++i) {
        QString line = all.at(i);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (i == 0 && line.startsWith(QChar(0xFEFF)))
            line.remove(0, 1);
        if (line.trimmed().isEmpty())
            continue;
        if (line.trimmed().startsWith(QLatin1Char('#'))) {
            const QRegularExpressionMatch m = densityRemark.match(line);
            if (m.hasMatch() && !l.density)
                l.density = m.captured(1).remove(unitAfter);
            if (mouldedRemark.match(line).hasMatch())
                l.moulded = true;
            continue;
        }
        l.texts.append(line);
        l.numbers.append(i + 1);
    }
    return l;
}

bool isHeader(const QStringList& fields, bool decimalComma)
{
    // An LCF marked A or F is a figure of the row, not a column's name.
    return std::any_of(fields.begin(), fields.end(), [decimalComma](const QString& f) {
        return !f.isEmpty() && !figure(f, decimalComma) && !LcfConventions::lettered(f, decimalComma);
    });
}

// How well a separator cuts the lines into figures: the share of figures among the fields after
// the first line (which may be a header), and the number of columns.
double fit(const QStringList& lines, Separator sep, int* columns)
{
    const bool decimalComma = sep != Separator::Comma;
    int fields = 0;
    int figures = 0;
    *columns = 0;
    for (int i = 0; i < lines.size(); ++i) {
        const QStringList f = splitLine(lines.at(i), sep);
        *columns = std::max(*columns, int(f.size()));
        if (i == 0 && lines.size() > 1)
            continue;
        for (const QString& t : f) {
            ++fields;
            figures += figure(t, decimalComma) ? 1 : 0;
        }
    }
    return fields ? double(figures) / fields : 0.0;
}

Separator chooseSeparator(const QStringList& lines)
{
    const QString all = lines.join(QLatin1Char('\n'));
    if (all.contains(QLatin1Char('\t')))
        return Separator::Tab;
    if (all.contains(QLatin1Char(';')))
        return Separator::Semicolon;
    if (!all.contains(QLatin1Char(',')))
        return Separator::Spaces;
    // Commas: between the fields, or the decimal commas of columns lined up with spaces.
    int commaColumns = 0;
    int spaceColumns = 0;
    const double byComma = fit(lines, Separator::Comma, &commaColumns);
    const double bySpaces = fit(lines, Separator::Spaces, &spaceColumns);
    if (spaceColumns >= 2 && (commaColumns < 2 || bySpaces > byComma))
        return Separator::Spaces;
    return Separator::Comma;
}

struct ColumnFacts {
    bool figures = true;  // every row has a figure here
    bool increasing = true;
    bool positive = true;
    QVector<Decimal> values;
    Decimal median;
};

// Roles from the figures alone: the draft a small increasing column, the displacement the
// largest increasing one, the TPC the column that matches the displacement's step per
// centimetre, the MCTC the largest of the rest, the LCF the first of the rest; whatever is still
// open takes the booklet's usual order.
QVector<Role> proposeFromFigures(const Layout& l)
{
    const int n = l.columnCount;
    QVector<ColumnFacts> facts(n);
    for (int c = 0; c < n; ++c) {
        ColumnFacts& f = facts[c];
        for (const QStringList& row : l.cells) {
            const std::optional<Decimal> v = figure(row.value(c), l.decimalComma);
            if (!v) {
                f.figures = false;
                break;
            }
            if (!f.values.isEmpty() && !(*v > f.values.last()))
                f.increasing = false;
            f.positive = f.positive && *v > Decimal(0);
            f.values.append(*v);
        }
        if (f.values.isEmpty())
            f.figures = false;
        if (f.figures) {
            QVector<Decimal> sorted = f.values;
            std::sort(sorted.begin(), sorted.end());
            f.median = sorted.at(sorted.size() / 2);
        }
    }
    QVector<Role> roles(n, Role::Ignore);
    auto take = [&](int c, Role r) {
        if (c >= 0)
            roles[c] = r;
    };
    auto open = [&](int c) { return roles[c] == Role::Ignore && facts[c].figures; };

    int draft = -1;
    for (int c = 0; c < n && draft < 0; ++c)
        if (open(c) && facts[c].increasing && facts[c].positive && facts[c].values.last() < Decimal(40))
            draft = c;
    take(draft, Role::Draft);
    int disp = -1;
    for (int c = 0; c < n; ++c)
        if (open(c) && facts[c].increasing && (disp < 0 || facts[c].median > facts[disp].median))
            disp = c;
    take(disp, Role::Displacement);
    if (draft >= 0 && disp >= 0 && l.cells.size() >= 2) {
        int best = -1;
        Decimal bestMiss;
        const QVector<Decimal>& d = facts[draft].values;
        const QVector<Decimal>& w = facts[disp].values;
        for (int c = 0; c < n; ++c) {
            if (!open(c) || !facts[c].positive)
                continue;
            Decimal miss(0);
            for (int i = 1; i < d.size(); ++i) {
                const Decimal step = (w[i] - w[i - 1]) / ((d[i] - d[i - 1]) * Decimal(100));
                const Decimal mean = (facts[c].values[i] + facts[c].values[i - 1]) / Decimal(2);
                miss += ((mean - step) / step).abs();
            }
            miss = miss / Decimal(int(d.size() - 1));
            if (miss < Decimal(15) / Decimal(100) && (best < 0 || miss < bestMiss)) {
                best = c;
                bestMiss = miss;
            }
        }
        take(best, Role::Tpc);
    }
    int mctc = -1;
    for (int c = 0; c < n; ++c)
        if (open(c) && facts[c].positive && facts[c].median > Decimal(20)
            && (mctc < 0 || facts[c].median > facts[mctc].median))
            mctc = c;
    take(mctc, Role::Mctc);
    for (int c = 0; c < n; ++c)
        if (open(c) && !roles.contains(Role::Lcf))
            take(c, Role::Lcf);
    // Anything still unplaced: the usual order of the booklet's first five columns.
    for (int k = 0; k < 5 && k < n; ++k)
        if (!roles.contains(kOrder[k]) && roles[k] == Role::Ignore)
            roles[k] = kOrder[k];
    return roles;
}

std::optional<Layout> splitAs(const QString& text, std::optional<Separator> forced, QString* error)
{
    const Lines lines = contentLines(text);
    if (lines.texts.isEmpty()) {
        *error = QStringLiteral("There is no row of figures in the text.");
        return std::nullopt;
    }
    Layout l;
    l.separator = forced ? *forced : chooseSeparator(lines.texts);
    l.decimalComma = l.separator != Separator::Comma;
    l.density = lines.density;
    l.moulded = lines.moulded;
    for (int i = 0; i < lines.texts.size(); ++i) {
        const QStringList fields = splitLine(lines.texts.at(i), l.separator);
        if (i == 0 && isHeader(fields, l.decimalComma)) {
            l.header = fields;
        } else {
            l.cells.append(fields);
            l.lineNumbers.append(lines.numbers.at(i));
        }
        l.columnCount = std::max(l.columnCount, int(fields.size()));
    }
    if (l.cells.isEmpty()) {
        *error = QStringLiteral("There is no row of figures under the header.");
        return std::nullopt;
    }
    if (!l.header.isEmpty()) {
        l.proposed.fill(Role::Ignore, l.columnCount);
        for (int c = 0; c < l.header.size(); ++c) {
            const Role r = roleFromHeader(l.header.at(c));
            if (r != Role::Ignore && !l.proposed.contains(r))
                l.proposed[c] = r;
        }
    } else {
        l.proposed = proposeFromFigures(l);
    }
    return l;
}

}  // namespace

std::optional<Layout> split(const QString& text, QString* error)
{
    return splitAs(text, std::nullopt, error);
}

std::optional<Layout> readFile(const QString& path, QString* error, bool* notRead)
{
    const std::optional<QByteArray> read = InputFiles::read(path, InputFiles::kTableLimit, error);
    if (notRead)
        *notRead = !read;
    if (!read)
        return std::nullopt;
    const QByteArray& bytes = *read;
    auto decode = QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decode(bytes);
    if (decode.hasError())
        text = QString::fromLatin1(bytes);
    QString why;
    std::optional<Layout> l = split(text, &why);
    if (!l)
        *error = QStringLiteral("%1: %2").arg(path, why);
    return l;
}

std::optional<HydrostaticTable> build(const Layout& l, const QVector<Role>& roles, QString* error)
{
    int columnOf[6] = {-1, -1, -1, -1, -1, -1};
    for (int c = 0; c < roles.size(); ++c) {
        const int r = int(roles.at(c));
        if (roles.at(c) == Role::Ignore)
            continue;
        if (columnOf[r] >= 0) {
            *error = QStringLiteral("Columns %1 and %2 are both taken for the %3.")
                         .arg(columnOf[r] + 1)
                         .arg(c + 1)
                         .arg(roleName(roles.at(c)));
            return std::nullopt;
        }
        columnOf[r] = c;
    }
    for (Role r : kOrder) {
        if (columnOf[int(r)] < 0) {
            *error = QStringLiteral("No column is taken for the %1.").arg(roleName(r));
            return std::nullopt;
        }
    }
    // A booklet in feet and long tons would be stored as metres and tonnes: such a column is
    // refused, never taken at its figures.
    for (int c = 0; c < l.header.size() && c < roles.size(); ++c) {
        if (roles.at(c) == Role::Ignore)
            continue;
        if (const QString unit = unconvertedUnit(l.header.at(c)); !unit.isEmpty()) {
            *error = QStringLiteral("Column %1 (\"%2\", the %3) is in %4, which is not converted; the table "
                                    "takes metres and tonnes only.")
                         .arg(c + 1)
                         .arg(l.header.at(c), roleName(roles.at(c)), unit);
            return std::nullopt;
        }
    }
    HydrostaticTable table;
    if (l.density) {
        const std::optional<Decimal> d = figure(*l.density, true);
        if (!d) {
            *error = QStringLiteral("The density \"%1\" of the remark is not a number.").arg(*l.density);
            return std::nullopt;
        }
        table.density = *d;
    }
    if (l.moulded)
        table.mouldedDrafts = true;
    // LCF written as distances marked A or F is read with its letters, whatever else is said of
    // the table; a plain figure among them can only be midships itself.
    const int lcfColumn = columnOf[int(Role::Lcf)];
    for (const QStringList& cells : l.cells)
        if (LcfConventions::lettered(cells.value(lcfColumn), l.decimalComma))
            table.lcfSource = LcfConvention::Lettered;
    for (int i = 0; i < l.cells.size(); ++i) {
        HydrostaticRow row;
        for (int k = 0; k < 5; ++k) {
            const int c = columnOf[int(kOrder[k])];
            if (table.lcfSource == LcfConvention::Lettered && c == lcfColumn && c < l.cells.at(i).size()) {
                const QString text = l.cells.at(i).at(c);
                const std::optional<Decimal> marked = LcfConventions::lettered(text, l.decimalComma);
                const std::optional<Decimal> plain = figure(text, l.decimalComma);
                if (marked || (plain && plain->isZero())) {
                    row.lcf = marked ? *marked : *plain;
                    continue;
                }
                *error = QStringLiteral("Line %1, column %2 (LCF): \"%3\" carries no A (aft) or F (forward) "
                                        "as the other LCF figures do.")
                             .arg(l.lineNumbers.value(i))
                             .arg(c + 1)
                             .arg(text);
                return std::nullopt;
            }
            const QString where = QStringLiteral("Line %1, column %2 (%3)")
                                      .arg(l.lineNumbers.value(i))
                                      .arg(c + 1)
                                      .arg(roleName(kOrder[k]));
            if (c >= l.cells.at(i).size() || l.cells.at(i).at(c).isEmpty()) {
                *error = where + QStringLiteral(": the figure is missing.");
                return std::nullopt;
            }
            const std::optional<Decimal> v = figure(l.cells.at(i).at(c), l.decimalComma);
            if (!v) {
                *error = where + QStringLiteral(": \"%1\" is not a number.").arg(l.cells.at(i).at(c));
                return std::nullopt;
            }
            HydrostaticTable::value(row, k) = *v;
        }
        table.rows.append(row);
    }
    return table;
}

std::optional<HydrostaticTable> fromPaste(const QString& text, QString* error)
{
    std::optional<Layout> l = splitAs(text, Separator::Tab, error);
    if (!l)
        return std::nullopt;
    QVector<Role> roles = l->proposed;
    if (l->header.isEmpty()) {
        // Pasted figures come in the order of the editor's own columns.
        roles.fill(Role::Ignore, l->columnCount);
        for (int k = 0; k < 5 && k < roles.size(); ++k)
            roles[k] = kOrder[k];
    }
    return build(*l, roles, error);
}

QByteArray toCsv(const HydrostaticTable& t)
{
    QString out = QStringLiteral("# Water density %1 t/m3\n").arg(t.density.toString());
    out += QStringLiteral("# LCF %1 (m)").arg(LcfConventions::caption(LcfConvention::MidshipAft));
    if (t.lcfSource != LcfConvention::MidshipAft)
        out += QStringLiteral("; the table came with its LCF %1").arg(LcfConventions::caption(t.lcfSource));
    out += QLatin1Char('\n');
    out += t.mouldedDrafts ? QStringLiteral("# Drafts moulded, from the top of the keel plate\n")
                           : QStringLiteral("# Drafts extreme, from the underside of the keel\n");
    out += QStringLiteral("Draft,Displacement,TPC,LCF,MCTC\n");
    for (const HydrostaticRow& r : t.rows) {
        QStringList f;
        for (int c = 0; c < HydrostaticTable::ColumnCount; ++c)
            f.append(HydrostaticTable::value(r, c).toString());
        out += f.join(QLatin1Char(',')) + QLatin1Char('\n');
    }
    return out.toUtf8();
}

bool writeCsv(const QString& path, const HydrostaticTable& table, QString* error)
{
    return OutputPaths::write(path, toCsv(table), error);
}

}  // namespace HydrostaticTableFile
