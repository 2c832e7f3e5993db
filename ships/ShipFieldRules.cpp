#include "ships/ShipFieldRules.h"

#include "core/Numeric.h"
#include "core/Variant.h"
#include "core/VbError.h"

#include <QLocale>
#include <algorithm>

namespace ShipFieldRules {

const QList<NumberField>& saveOrder()
{
    static const QList<NumberField> order = {
        NumberField::OfficialNo,   NumberField::IMONo,      NumberField::LOA,
        NumberField::LBP,          NumberField::Breadth,    NumberField::LightShip,
        NumberField::GrossTonnage, NumberField::NetTonnage, NumberField::SummerDeadweight,
        NumberField::SummerDraft,  NumberField::KeelPlate,
    };
    return order;
}

namespace {

struct RuleRow {
    NumberField field;
    const char* objectName;
    int maxLength;
    int decimals;
    qint64 upper;
    bool zeroAccepted;
    const char* rangeMessage;
};

// clang-format off
const RuleRow kRules[] = {
    {NumberField::OfficialNo, "txtOfficialNo", 10, -1, 10000000000LL, false,
     "Official No. can only be a number greater than 0 and less than 10000000000."},
    {NumberField::IMONo, "txtIMONo", 10, -1, 10000000000LL, true,
     "IMO No. can only be a number greater than 0 and less than 10000000000."},
    {NumberField::LOA, "txtLOA", 6, 2, 1000, true,
     "LOA can only be a positive number greater than 0 and less than 1000."},
    {NumberField::LBP, "txtLBP", 6, 2, 1000, true,
     "LBP can only be a positive number greater than 0 and less than 1000."},
    {NumberField::Breadth, "txtBreadth", 7, 3, 1000, true,
     "Breadth can only be a positive number greater than 0 less than 1000."},
    {NumberField::LightShip, "txtLightShip", 11, 4, 1000000, true,
     "Value of Light Ship can only be a positive number greater than 0 and less than 1000000."},
    {NumberField::GrossTonnage, "txtGrossTonnage", 8, 1, 1000000, true,
     "Gross Tonnage can only be a positive number greater than 0 and less than 1000000."},
    {NumberField::NetTonnage, "txtNetTonnage", 8, 1, 1000000, true,
     "Net Tonnage can only be a positive number greater than 0 and less than 1000000."},
    {NumberField::SummerDeadweight, "txtSummerDeadweight", 10, 3, 1000000, true,
     "Summer Deadweight can only be a positive number greater than 0 and less than 1000000."},
    {NumberField::SummerDraft, "txtSummerDraft", 7, 4, 100, true,
     "Summer Draft can only be a positive number greater than 0 and less than 100."},
    // From 0 to 100 mm, both taken: a keel plate is a few centimetres thick.
    {NumberField::KeelPlate, "txtKeelPlate", 5, 1, 100, true,
     "Keel Plate can only be a number from 0 to 100 mm."},
};
// clang-format on

}  // namespace

NumberRule rule(NumberField field)
{
    for (const RuleRow& r : kRules) {
        if (r.field == field)
            return {QString::fromLatin1(r.objectName), r.maxLength, r.decimals, Decimal(r.upper),
                    r.zeroAccepted, QString::fromLatin1(r.rangeMessage)};
    }
    return {};
}

QString checkTitle()
{
    return QStringLiteral("Ship Particulars");
}

QString notNumericMessage()
{
    return QStringLiteral("Invalid value. Only numbers are allowed.");
}

NumberCheck checkNumber(NumberField field, const QString& text)
{
    NumberCheck result;
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return result;

    const NumberRule r = rule(field);
    if (!Variant(trimmed).isNumeric()) {
        result.verdict = NumberCheck::NotNumeric;
        result.message = notNumericMessage();
        return result;
    }
    Variant converted;
    try {
        converted = toNumeric(Variant(trimmed), r.decimals, 0);
    } catch (const VbError& e) {
        // A figure too large for an exact decimal is simply out of range; anything else the
        // normaliser refuses is not a number the form can take.
        result.verdict =
            e.number() == VbError::overflow().number() ? NumberCheck::OutOfRange : NumberCheck::NotNumeric;
        result.message = result.verdict == NumberCheck::OutOfRange ? r.rangeMessage : notNumericMessage();
        return result;
    }
    // The bounds are compared on the rounded figure: 999.9999 in Breadth is 1000 once rounded.
    const Decimal value = converted.toDecimal();
    const bool belowRange = value.isNegative() || (value.isZero() && !r.zeroAccepted);
    // The keel plate takes its upper bound itself; every other figure stays below it.
    const bool aboveRange = field == NumberField::KeelPlate ? value > r.upper : value >= r.upper;
    if (belowRange || aboveRange) {
        result.verdict = NumberCheck::OutOfRange;
        result.message = r.rangeMessage;
        return result;
    }
    result.verdict = NumberCheck::Accepted;
    result.text = converted.toText();
    return result;
}

bool fitsLength(NumberField field, const QString& text)
{
    const NumberRule r = rule(field);
    qsizetype kept = text.size();
    if (r.decimals >= 0) {
        const qsizetype point = text.indexOf(QLocale().decimalPoint());
        if (point >= 0 && point + 1 + r.decimals < text.size()) {
            // Only further digits are let through; anything else counts in full.
            const QStringView rest = QStringView(text).mid(point + 1 + r.decimals);
            if (std::all_of(rest.begin(), rest.end(), [](QChar c) { return c.isDigit(); }))
                kept = point + 1 + r.decimals;
        }
    }
    return kept <= r.maxLength;
}

MandatoryCheck checkMandatory(const QString& shipName, bool portChosen, const QString& lbp,
                              const QString& loa, const QString& breadth, const QString& lightShip)
{
    MandatoryCheck result;
    if (shipName.trimmed().isEmpty()) {
        result.field = Mandatory::ShipName;
        result.message = QStringLiteral("Please enter ship name.");
        return result;
    }
    if (!portChosen) {
        result.field = Mandatory::Port;
        result.message = QStringLiteral("Please choose the Port of Registry");
    }
    // A box holding only blanks is as empty as a blank one: it would go to the table as 0.
    const struct {
        const QString& text;
        Mandatory field;
        const char* message;
    } figures[] = {
        {lbp, Mandatory::LBP, "Please enter the LBP."},
        {loa, Mandatory::LOA, "Please enter the LOA."},
        {breadth, Mandatory::Breadth, "Please enter the Breadth."},
        {lightShip, Mandatory::LightShip, "Please enter the Light Ship."},
    };
    for (const auto& f : figures) {
        if (f.text.trimmed().isEmpty()) {
            result.field = f.field;
            result.message = QString::fromLatin1(f.message);
            break;
        }
    }
    return result;
}

QString numberLiteral(const QString& fieldText)
{
    return toNumeric(Variant(fieldText), -1, 0).toDecimal().toString();
}

}  // namespace ShipFieldRules
