#include "model/ResultFigures.h"

#include "core/Numeric.h"
#include "core/VbError.h"

namespace ResultFigures {

QString rounded(const Variant& value, int places)
{
    try {
        return toNumeric(value, places, 1).toText();
    } catch (const VbError&) {
        // Not a figure at all: show it as the draft holds it rather than hide it.
        return value.isNull() ? QString() : value.toText();
    }
}

std::optional<Decimal> number(const Variant& value)
{
    try {
        return toNumeric(value, -1, 0).toDecimal();
    } catch (const VbError&) {
        return std::nullopt;
    }
}

bool within(const Variant& value, const Decimal& lower, const Decimal& upper)
{
    const std::optional<Decimal> v = number(value);
    return v && lower < *v && *v < upper;
}

bool plausibleNetDisplacement(const Variant& value)
{
    return within(value, Decimal(0), Decimal(1000000));
}

bool plausibleConstant(const Variant& value)
{
    return within(value, Decimal(0), Decimal(100000));
}

QString figureOrBlank(const Variant& value)
{
    const std::optional<Decimal> n = number(value);
    if (!n || n->isZero())
        return QString();
    return value.toText();
}

bool holdsMarkDistance(const Variant& value)
{
    if (value.isEmpty() || value.isNull())
        return false;
    if (value.isText())
        return !value.toText().trimmed().isEmpty();
    return !(value.type() == Variant::Type::Integer && value.toInt16() == 0);
}

}  // namespace ResultFigures
