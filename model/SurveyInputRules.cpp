#include "model/SurveyInputRules.h"

#include "core/MessageService.h"
#include "core/Numeric.h"
#include "core/Variant.h"
#include "core/VbError.h"
#include "model/DraftCorrections.h"

#include <QLocale>
#include <QRegularExpression>

namespace SurveyInputRules {

namespace {

enum class Kind { Blank, Number, NotNumber, TooLarge };

struct Entry {
    Kind kind = Kind::Blank;
    Decimal value;
};

Entry read(const QString& typed)
{
    const QString t = typed.trimmed();
    if (t.isEmpty())
        return {};
    try {
        const Variant v(t);
        if (!v.isNumeric())
            return {Kind::NotNumber, {}};
        return {Kind::Number, v.toDecimal()};
    } catch (const VbError&) {
        // A number beyond any figure a box can hold: out of every range.
        return {Kind::TooLarge, {}};
    }
}

Outcome refuse(const QString& message, const QString& text = QString())
{
    Outcome o;
    o.accepted = false;
    o.text = text;
    o.message = message;
    return o;
}

Outcome accept(const QString& text, bool refresh)
{
    Outcome o;
    o.text = text;
    o.refresh = refresh;
    return o;
}

}  // namespace

Outcome draftReading(const QString& typed, const QString& invalidText)
{
    const QString outOfRange = QStringLiteral("Please enter value greater than 0 and less than 100.");
    const Entry e = read(typed);
    switch (e.kind) {
    case Kind::Blank:
        // Blanks alone are no reading: the box is emptied, so that the completeness check
        // before Calculate cannot take them for one.
        return accept(QString(), true);
    case Kind::NotNumber:
        return refuse(MessageService::join(invalidText, QStringLiteral("Please enter numeric value.")));
    case Kind::TooLarge:
        return refuse(MessageService::join(invalidText, outOfRange));
    case Kind::Number:
        break;
    }
    // The range applies to the figure as it will stand in the box: 99.9996 stands as 100.
    const Decimal r = e.value.round(3);
    if (!(Decimal(0) < r && r < Decimal(100)))
        return refuse(MessageService::join(invalidText, outOfRange));
    return accept(DraftCorrections::shown(r, 3), true);
}

QString densityRangeDetail(bool discharging)
{
    return discharging ? QStringLiteral("Please enter values greater than 0 and less 10.")
                       : QStringLiteral("Please enter values greater than 0 and less than 10.");
}

QString invalidReadingText(int reading)
{
    static const char* const texts[6] = {
        "Invalid value for Foward Port draft.",    "Invalid value for Foward Starboard draft.",
        "Invalid value for Midship Port draft.",   "Invalid value for Midship Starboard draft.",
        "Invalid value for Aft Port draft.",       "Invalid value for Aft Starboard draft.",
    };
    return QLatin1String(texts[reading]);
}

QString markRangeText(int mark, bool discharging)
{
    if (mark == 0)
        return QStringLiteral("Value of Fwd-X can be a number greater than -1000 and less than 1000.");
    if (mark == 1)
        return QStringLiteral("Value of Mid-X can be a number greater than -1000 and less than 1000.");
    return discharging ? QStringLiteral("Value of Aft-X can be greater than -1000 and less than 1000.")
                       : QStringLiteral("Value of Aft-X can be  a number greater than -1000 and less than 1000.");
}

Outcome density(const QString& typed, const QString& rangeDetail)
{
    const QString headline = QStringLiteral("Invalid density value.");
    const Entry e = read(typed);
    switch (e.kind) {
    case Kind::Blank:
        return accept(QString(), false);
    case Kind::NotNumber:
        return refuse(MessageService::join(headline, QStringLiteral("Only numbers are allowed.")));
    case Kind::TooLarge:
        return refuse(MessageService::join(headline, rangeDetail));
    case Kind::Number:
        break;
    }
    const Decimal d = e.value.round(4);
    if (!(Decimal(0) < d && d < Decimal(10)))
        return refuse(MessageService::join(headline, rangeDetail));
    return accept(DraftCorrections::shown(d, 4), false);
}

Outcome markDistance(const QString& typed, const QString& rangeText)
{
    const Entry e = read(typed);
    switch (e.kind) {
    case Kind::Blank:
        return accept(QString(), false);
    case Kind::NotNumber:
        return refuse(QStringLiteral("Invalid value. Only numbers are allowed."));
    case Kind::TooLarge:
        return refuse(MessageService::join(QStringLiteral("Invalid value."), rangeText));
    case Kind::Number:
        break;
    }
    // Here the range is on the figure as typed: -999.99996 passes and stands as -1000.
    if (!(Decimal(-1000) < e.value && e.value < Decimal(1000)))
        return refuse(MessageService::join(QStringLiteral("Invalid value."), rangeText));
    return accept(DraftCorrections::shown(e.value, 4), true);
}

Outcome date(const QString& shown, const QDate& today)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d\\d)-(\\d\\d)-(\\d\\d\\d\\d)$"));
    const QRegularExpressionMatch m = pattern.match(shown);
    if (m.hasMatch()) {
        const int first = m.captured(1).toInt();
        const int second = m.captured(2).toInt();
        const int year = m.captured(3).toInt();
        if (year >= 100) {
            if (QDate(year, second, first).isValid())
                return accept(shown, false);
            // Typed month first: 12-25-2004 is Christmas, kept as 25-12-2004.
            if (second > 12 && QDate(year, first, second).isValid())
                return accept(QDate(year, first, second).toString(QStringLiteral("dd-MM-yyyy")), false);
        }
    }
    return refuse(QStringLiteral("Invalid Date"), today.toString(QStringLiteral("dd-MM-yyyy")));
}

Outcome time(const QString& shown, const QTime& now)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d\\d):(\\d\\d)$"));
    const QRegularExpressionMatch m = pattern.match(shown);
    if (m.hasMatch()) {
        const QTime t(m.captured(1).toInt(), m.captured(2).toInt());
        if (t.isValid())
            return accept(t.toString(QStringLiteral("HH:mm")), false);
    }
    return refuse(QStringLiteral("Invalid Time"), now.toString(QStringLiteral("HH:mm")));
}

Outcome initialNetDisplacement(const QString& typed)
{
    const QString outOfRange = MessageService::join(
        QStringLiteral("Invalid value."),
        QStringLiteral("Value of initial net displacement can be greater than 0 and less than 1000000."));
    const Entry e = read(typed);
    switch (e.kind) {
    case Kind::Blank:
        return accept(QString(), false);
    case Kind::NotNumber:
        return refuse(MessageService::join(QStringLiteral("Invalid quantity."),
                                           QStringLiteral("Please enter numeric value only.")));
    case Kind::TooLarge:
        return refuse(outOfRange);
    case Kind::Number:
        break;
    }
    // Zero is taken: an initial net displacement not known yet.
    const Decimal v = e.value.round(5);
    if (!(Decimal(0) <= v && v < Decimal(1000000)))
        return refuse(outOfRange);
    return accept(DraftCorrections::shown(v, 5), false);
}

Outcome blQuantity(const QString& typed)
{
    const QString headline = QStringLiteral("Invalid value for Bill of Lading quantity.");
    const QString outOfRange =
        MessageService::join(QStringLiteral("Invalid value for Invalid value for Bill of Lading quantity."),
                             QStringLiteral("Please enter value  0 and 1000000."));
    const Entry e = read(typed);
    switch (e.kind) {
    case Kind::Blank:
        return accept(QString(), false);
    case Kind::NotNumber:
        return refuse(MessageService::join(headline, QStringLiteral("Please enter numeric value.")));
    case Kind::TooLarge:
        return refuse(outOfRange);
    case Kind::Number:
        break;
    }
    // Nothing loaded under the bill is a quantity too; the range is on the figure as typed.
    if (!(Decimal(0) <= e.value && e.value < Decimal(1000000)))
        return refuse(outOfRange);
    return accept(DraftCorrections::shown(e.value, 5), false);
}

QString tableTitle()
{
    return QStringLiteral("Hydrostatic Data Table");
}

TableRange tableRange(TableColumn column)
{
    switch (column) {
    case TableColumn::HydDraft: return {Decimal(0), Decimal(100)};
    case TableColumn::Displacement: return {Decimal(0), Decimal(1000000)};
    case TableColumn::Tpc: return {Decimal(0), Decimal(10000)};
    // LCF lies forward or abaft midships: negative figures are allowed whatever the text says.
    case TableColumn::Lcf: return {Decimal(-10000), Decimal(10000)};
    case TableColumn::MctcPlus50:
    case TableColumn::MctcMinus50: break;
    }
    return {Decimal(0), Decimal(100000)};
}

namespace {

struct TableRule {
    int places;
    const char* message;
    bool emptyWhenRefused;  // a refused TPC empties the box; the others go back to the cell
};

TableRule tableRule(TableColumn column, bool discharging)
{
    switch (column) {
    case TableColumn::HydDraft:
        return {8, "Value of Hyd. Draft can only be a positive number greater than 0 and less than 100.", false};
    case TableColumn::Displacement:
        return {3,
                discharging
                    ? "Value of Displacement can only be a positive number greater than 0 and less 1000000."
                    : "Value of Displacement can only be a positive number greater than 0 and less than 1000000.",
                false};
    case TableColumn::Tpc:
        return {3, "Value of TPC can only be a positive number greater than 0 and less than 10000.", true};
    case TableColumn::Lcf:
        return {3, "Value of LCF can only be a positive number greater than -10000 and less than 10000.", false};
    case TableColumn::MctcPlus50:
        return {3, "Value of MCTC+50 can only be a positive number greater than 0 and less than 100000.", false};
    case TableColumn::MctcMinus50:
        break;
    }
    return {3, "Value of MCTC-50 can only be a positive number greater than 0 and less than 100000.", false};
}

}  // namespace

bool isFigure(const QString& text)
{
    if (text.trimmed().isEmpty())
        return false;
    try {
        toNumeric(Variant(text), -1, 0);
        return true;
    } catch (const VbError&) {
        return false;
    }
}

bool isTyping(const QString& text)
{
    return text.trimmed().isEmpty() || text == QLatin1String("-") || text == QLatin1String(".")
        || Variant(text).isNumeric();
}

Outcome hydrostaticKeystroke(const QString& text, bool draftColumn, const QString& before, bool discharging)
{
    bool typing = isTyping(text);
    if (typing && draftColumn && !text.trimmed().isEmpty() && text != QLatin1String("-")
        && text != QLatin1String(".")) {
        try {
            mctcDraft(text, true);
            mctcDraft(text, false);
        } catch (const VbError&) {
            typing = false;  // numeric to the eye, but too large to be a draft
        }
    }
    if (typing)
        return accept(text, false);
    return refuse(MessageService::join(QStringLiteral("Invalid value...!"), QStringLiteral("Only numbers are allowed.")),
                  discharging ? before : QString());
}

QString mctcDraft(const QString& hydrostaticDraft, bool up)
{
    if (hydrostaticDraft.trimmed().isEmpty())
        return QString();
    static const Decimal half = *Decimal::parse(u"0.5", QLocale::c());
    const Decimal d = Variant(hydrostaticDraft).toDecimal();
    return Variant(up ? d + half : d - half).toText();
}

Outcome tableFigure(TableColumn column, const QString& typed, const QString& cellText, bool discharging)
{
    const QString v = typed.trimmed();
    if (v.isEmpty())
        return accept(typed, false);
    const TableRule rule = tableRule(column, discharging);
    Outcome o;
    o.title = tableTitle();
    if (read(v).kind == Kind::TooLarge) {
        // A number all the same, only too large to hold: out of the column's range.
        o = refuse(QLatin1String(rule.message), rule.emptyWhenRefused ? QString() : cellText);
    } else if (!isFigure(v)) {
        o = refuse(QStringLiteral("Invalid value. Only numbers are allowed."), cellText);
    } else {
        const Decimal value = Variant(v).toDecimal();
        const TableRange range = tableRange(column);
        if (range.low < value && value < range.high)
            return accept(toNumeric(Variant(v), rule.places, 0).toText(), false);
        o = refuse(QLatin1String(rule.message), rule.emptyWhenRefused ? QString() : cellText);
    }
    o.title = tableTitle();
    return o;
}

Outcome deduction(const QString& typed, const QString& cellText, bool discharging)
{
    const QString v = typed.trimmed();
    if (v == cellText)
        return accept(v, false);
    if (v.isEmpty())
        return accept(QString(), true);
    const QString outOfRange = MessageService::join(
        QStringLiteral("Invalid value."),
        discharging ? QStringLiteral("Value of deduction can be greater than 0 and less than 100000.")
                    : QStringLiteral("Value of deduction can be a number greater than 0 and less than 100000."));
    if (read(v).kind == Kind::TooLarge)
        return refuse(outOfRange);
    if (!isFigure(v))
        return refuse(MessageService::join(QStringLiteral("Invalid quantity."),
                                           QStringLiteral("Please enter numeric value only.")));
    const Variant quantity = toNumeric(Variant(v), 4, 0);
    // An empty tank is a quantity too: 0 is accepted.
    if (Variant::compare(quantity, Variant::integer(0)) >= 0
        && Variant::compare(quantity, Variant::longInt(100000)) < 0)
        return accept(quantity.toText(), true);
    return refuse(outOfRange);
}

}  // namespace SurveyInputRules
