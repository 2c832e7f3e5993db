#include "core/Numeric.h"


Variant toNumeric(const Variant& value, int digits, int mode)
{
    // Reading the value as text first is also what turns a Null away.
    const QString text = value.toText();
    const bool blank = text.trimmed().isEmpty();
    if (mode != 0 && mode != 1)
        return Variant();
    if (blank)
        return mode == 0 ? Variant::integer(0) : Variant(QStringLiteral(""));
    if (digits == -1)
        return mode == 0 ? Variant(value.toDecimal()) : Variant(text);
    if (digits < -1)
        throw VbError::invalidProcedureCall();
    return Variant(value.toDecimal().round(digits));
}
