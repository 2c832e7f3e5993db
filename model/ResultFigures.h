#pragma once

#include "core/Decimal.h"
#include "core/Variant.h"

#include <QString>
#include <optional>

// The arithmetic of the result display, on the figures as the draft keeps them.
namespace ResultFigures {

// A figure rounded half to even to `places` for a cell or box; an empty figure stays empty.
QString rounded(const Variant& value, int places);
// A figure read as a number, empty counting as 0; nothing when it is not a number.
std::optional<Decimal> number(const Variant& value);
// lower < value < upper, the value read as a number (empty = 0).
bool within(const Variant& value, const Decimal& lower, const Decimal& upper);
// Plausible net displacement: 0 < v < 1000000 MT.
bool plausibleNetDisplacement(const Variant& value);
// Plausible constant: 0 < c < 100000 MT.
bool plausibleConstant(const Variant& value);
// A reading or density as a box shows a kept draft: nothing for a blank or zero figure.
QString figureOrBlank(const Variant& value);
// A mark distance the draft holds for itself. Empty when never given, and a blank box handed
// over (which the draft keeps as the integer 0, a typed 0 being a decimal) is no distance
// either: the box then keeps the distance the other draft left in it.
bool holdsMarkDistance(const Variant& value);

}  // namespace ResultFigures
