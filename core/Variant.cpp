#include "core/Variant.h"

#include <QByteArray>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

enum class Op { Add, Sub, Mul, Div };

// The whole-number value of Empty, Boolean, Integer and Long.
qint64 wholeValue(const Variant& v)
{
    switch (v.type()) {
    case Variant::Type::Empty:
        return 0;
    case Variant::Type::Boolean:
        return v.toBool() ? -1 : 0;
    default:
        return v.toInt32();
    }
}

bool isWhole(Variant::Type t)
{
    return t == Variant::Type::Empty || t == Variant::Type::Boolean || t == Variant::Type::Integer
        || t == Variant::Type::Long;
}

// The narrowest of Integer, Long, Double that holds a whole-number result, never narrower than
// the operands.
Variant wholeResult(qint64 value, bool longAtLeast)
{
    if (!longAtLeast && value >= std::numeric_limits<qint16>::min()
        && value <= std::numeric_limits<qint16>::max())
        return Variant::integer(qint16(value));
    if (value >= std::numeric_limits<qint32>::min() && value <= std::numeric_limits<qint32>::max())
        return Variant::longInt(qint32(value));
    return Variant::fromDouble(double(value));
}

Variant arithmetic(const Variant& a, const Variant& b, Op op)
{
    if (a.isNull() || b.isNull())
        return Variant::null();

    if (a.isDecimal() || b.isDecimal() || a.isText() || b.isText()) {
        const Decimal x = a.toDecimal();
        const Decimal y = b.toDecimal();
        switch (op) {
        case Op::Add:
            return Variant(x + y);
        case Op::Sub:
            return Variant(x - y);
        case Op::Mul:
            return Variant(x * y);
        case Op::Div:
            return Variant(x / y);
        }
    }

    if (a.type() == Variant::Type::Double || b.type() == Variant::Type::Double || op == Op::Div) {
        const double x = a.toDouble();
        const double y = b.toDouble();
        double r = 0;
        switch (op) {
        case Op::Add:
            r = x + y;
            break;
        case Op::Sub:
            r = x - y;
            break;
        case Op::Mul:
            r = x * y;
            break;
        case Op::Div:
            if (y == 0)
                throw VbError::divisionByZero();
            r = x / y;
            break;
        }
        if (!std::isfinite(r))
            throw VbError::overflow();
        return Variant::fromDouble(r);
    }

    const qint64 x = wholeValue(a);
    const qint64 y = wholeValue(b);
    const bool longAtLeast = a.type() == Variant::Type::Long || b.type() == Variant::Type::Long;
    switch (op) {
    case Op::Add:
        return wholeResult(x + y, longAtLeast);
    case Op::Sub:
        return wholeResult(x - y, longAtLeast);
    case Op::Mul:
        return wholeResult(x * y, longAtLeast);
    case Op::Div:
        break;
    }
    return Variant();
}

QString doubleText(double v, const QLocale& locale)
{
    if (v == 0)
        return QStringLiteral("0");
    QString text = QString::number(v, 'g', 15);
    text.replace(u'e', u'E');
    text.replace(u'.', locale.decimalPoint());
    if (text.startsWith(u'-'))
        text.replace(0, 1, locale.negativeSign());
    return text;
}

qint64 roundedDouble(double v)
{
    if (!std::isfinite(v) || std::fabs(v) > 9.2e18)
        throw VbError::overflow();
    return qint64(std::nearbyint(v));  // the default mode rounds half to even
}

}  // namespace

Variant::Variant(const Decimal& value) : m_type(Type::Decimal), m_decimal(value) {}

Variant::Variant(const QString& text) : m_type(Type::Text), m_text(text.isNull() ? QStringLiteral("") : text)
{
}

Variant::Variant(const char* text) : Variant(QString::fromUtf8(text ? text : "")) {}

Variant Variant::null()
{
    Variant v;
    v.m_type = Type::Null;
    return v;
}

Variant Variant::integer(qint16 value)
{
    Variant v;
    v.m_type = Type::Integer;
    v.m_int = value;
    return v;
}

Variant Variant::longInt(qint32 value)
{
    Variant v;
    v.m_type = Type::Long;
    v.m_int = value;
    return v;
}

Variant Variant::fromDouble(double value)
{
    Variant v;
    v.m_type = Type::Double;
    v.m_double = value;
    return v;
}

Variant Variant::boolean(bool value)
{
    Variant v;
    v.m_type = Type::Boolean;
    v.m_int = value ? 1 : 0;
    return v;
}

QString Variant::typeName() const
{
    switch (m_type) {
    case Type::Empty:
        return QStringLiteral("Empty");
    case Type::Null:
        return QStringLiteral("Null");
    case Type::Integer:
        return QStringLiteral("Integer");
    case Type::Long:
        return QStringLiteral("Long");
    case Type::Decimal:
        return QStringLiteral("Decimal");
    case Type::Double:
        return QStringLiteral("Double");
    case Type::Text:
        return QStringLiteral("String");
    case Type::Boolean:
        return QStringLiteral("Boolean");
    }
    return QString();
}

bool Variant::isNumber() const
{
    return m_type == Type::Integer || m_type == Type::Long || m_type == Type::Decimal
        || m_type == Type::Double;
}

bool Variant::isNumeric(const QLocale& locale) const
{
    switch (m_type) {
    case Type::Null:
        return false;
    case Type::Text:
        try {
            return Decimal::parse(m_text, locale).has_value();
        } catch (const VbError&) {
            return true;  // a number, only too large for a decimal
        }
    default:
        return true;
    }
}

QString Variant::toText(const QLocale& locale) const
{
    switch (m_type) {
    case Type::Empty:
        return QStringLiteral("");
    case Type::Null:
        throw VbError::invalidUseOfNull();
    case Type::Integer:
    case Type::Long:
        return m_int < 0 ? locale.negativeSign() + QString::number(-qint64(m_int))
                         : QString::number(m_int);
    case Type::Decimal:
        return m_decimal.toLocaleString(locale);
    case Type::Double:
        return doubleText(m_double, locale);
    case Type::Text:
        return m_text;
    case Type::Boolean:
        return m_int ? QStringLiteral("True") : QStringLiteral("False");
    }
    return QString();
}

Decimal Variant::toDecimal(const QLocale& locale) const
{
    switch (m_type) {
    case Type::Empty:
        return Decimal();
    case Type::Null:
        throw VbError::invalidUseOfNull();
    case Type::Integer:
    case Type::Long:
        return Decimal(m_int);
    case Type::Decimal:
        return m_decimal;
    case Type::Double:
        return Decimal::fromDouble(m_double);
    case Type::Text: {
        const std::optional<Decimal> d = Decimal::parse(m_text, locale);
        if (!d)
            throw VbError::typeMismatch();
        return *d;
    }
    case Type::Boolean:
        return Decimal(m_int ? -1 : 0);
    }
    return Decimal();
}

double Variant::toDouble(const QLocale& locale) const
{
    switch (m_type) {
    case Type::Double:
        return m_double;
    case Type::Integer:
    case Type::Long:
        return m_int;
    default:
        return toDecimal(locale).toDouble();
    }
}

qint32 Variant::toInt32(const QLocale& locale) const
{
    switch (m_type) {
    case Type::Integer:
    case Type::Long:
        return m_int;
    case Type::Double: {
        const qint64 v = roundedDouble(m_double);
        if (v < std::numeric_limits<qint32>::min() || v > std::numeric_limits<qint32>::max())
            throw VbError::overflow();
        return qint32(v);
    }
    default:
        return toDecimal(locale).toInt32();
    }
}

qint16 Variant::toInt16(const QLocale& locale) const
{
    const qint32 v = toInt32(locale);
    if (v < std::numeric_limits<qint16>::min() || v > std::numeric_limits<qint16>::max())
        throw VbError::overflow();
    return qint16(v);
}

bool Variant::toBool(const QLocale& locale) const
{
    switch (m_type) {
    case Type::Empty:
        return false;
    case Type::Null:
        throw VbError::invalidUseOfNull();
    case Type::Integer:
    case Type::Long:
    case Type::Boolean:
        return m_int != 0;
    case Type::Double:
        return m_double != 0;
    case Type::Decimal:
        return !m_decimal.isZero();
    case Type::Text: {
        const QString t = m_text.trimmed();
        if (t.compare(u"True", Qt::CaseInsensitive) == 0)
            return true;
        if (t.compare(u"False", Qt::CaseInsensitive) == 0)
            return false;
        return !toDecimal(locale).isZero();
    }
    }
    return false;
}

Variant Variant::operator+(const Variant& other) const
{
    return arithmetic(*this, other, Op::Add);
}

Variant Variant::operator-(const Variant& other) const
{
    return arithmetic(*this, other, Op::Sub);
}

Variant Variant::operator*(const Variant& other) const
{
    return arithmetic(*this, other, Op::Mul);
}

Variant Variant::operator/(const Variant& other) const
{
    return arithmetic(*this, other, Op::Div);
}

Variant Variant::operator-() const
{
    switch (m_type) {
    case Type::Null:
        return null();
    case Type::Decimal:
    case Type::Text:
        return Variant(-toDecimal());
    case Type::Double:
        return fromDouble(-m_double);
    default:
        return wholeResult(-wholeValue(*this), m_type == Type::Long);
    }
}

int Variant::compare(const Variant& a, const Variant& b, const QLocale& locale)
{
    if (a.isNull() || b.isNull())
        throw VbError::invalidUseOfNull();
    const bool aTextual = a.isText() || a.isEmpty();
    const bool bTextual = b.isText() || b.isEmpty();
    if (aTextual && bTextual && (a.isText() || b.isText())) {
        const int c = a.toText().compare(b.toText(), Qt::CaseSensitive);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    if (a.isDecimal() || b.isDecimal() || a.isText() || b.isText())
        return a.toDecimal(locale).compare(b.toDecimal(locale));
    if (isWhole(a.type()) && isWhole(b.type())) {
        const qint64 x = wholeValue(a);
        const qint64 y = wholeValue(b);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    const double x = a.toDouble();
    const double y = b.toDouble();
    return x < y ? -1 : (x > y ? 1 : 0);
}

bool Variant::operator==(const Variant& other) const
{
    if (m_type != other.m_type)
        return false;
    switch (m_type) {
    case Type::Empty:
    case Type::Null:
        return true;
    case Type::Integer:
    case Type::Long:
    case Type::Boolean:
        return m_int == other.m_int;
    case Type::Decimal:
        return m_decimal == other.m_decimal;
    case Type::Double:
        return m_double == other.m_double;
    case Type::Text:
        return m_text == other.m_text;
    }
    return false;
}

QString Variant::debugString() const
{
    switch (m_type) {
    case Type::Empty:
    case Type::Null:
        return typeName();
    case Type::Text:
        return QStringLiteral("String(\"%1\")").arg(m_text);
    case Type::Double:
        return QStringLiteral("Double(%1)").arg(QString::number(m_double, 'g', 17));
    default:
        return QStringLiteral("%1(%2)").arg(typeName(), toText(QLocale::c()));
    }
}

char* toString(const Variant& value)
{
    const QByteArray text = value.debugString().toUtf8();
    char* copy = new char[size_t(text.size()) + 1];
    std::memcpy(copy, text.constData(), size_t(text.size()) + 1);
    return copy;
}
