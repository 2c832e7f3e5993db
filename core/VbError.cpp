#include "core/VbError.h"

VbError::VbError(int number, const QString& description)
    : std::runtime_error(description.toStdString()), m_number(number), m_description(description)
{
}

VbError VbError::invalidProcedureCall()
{
    return VbError(5, QStringLiteral("Invalid procedure call or argument"));
}

VbError VbError::overflow()
{
    return VbError(6, QStringLiteral("Overflow"));
}

VbError VbError::subscriptOutOfRange()
{
    return VbError(9, QStringLiteral("Subscript out of range"));
}

VbError VbError::divisionByZero()
{
    return VbError(11, QStringLiteral("Division by zero"));
}

VbError VbError::typeMismatch()
{
    return VbError(13, QStringLiteral("Type mismatch"));
}

VbError VbError::invalidUseOfNull()
{
    return VbError(94, QStringLiteral("Invalid use of Null"));
}
