#include "core/Decimal.h"

#include "core/VbError.h"

#include <QByteArray>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

using u64 = quint64;
using u128 = unsigned __int128;

const u128 Limit96 = u128(1) << 96;  // first magnitude that no longer fits

// An unsigned integer wide enough for every intermediate figure: the product of two 96-bit
// magnitudes, a dividend widened by thirty digits, an addend aligned by 28 places.
struct Wide {
    std::array<u64, 4> w{};  // least significant word first

    static Wide from(u128 v)
    {
        Wide r;
        r.w[0] = u64(v);
        r.w[1] = u64(v >> 64);
        return r;
    }
    bool isZero() const { return (w[0] | w[1] | w[2] | w[3]) == 0; }
    bool fits96() const { return w[3] == 0 && w[2] == 0 && (w[1] >> 32) == 0; }
    u128 low128() const { return (u128(w[1]) << 64) | w[0]; }
    bool isOdd() const { return w[0] & 1; }
};

int cmp(const Wide& a, const Wide& b)
{
    for (int i = 3; i >= 0; --i) {
        if (a.w[i] != b.w[i])
            return a.w[i] < b.w[i] ? -1 : 1;
    }
    return 0;
}

Wide add(const Wide& a, const Wide& b)
{
    Wide r;
    u128 carry = 0;
    for (int i = 0; i < 4; ++i) {
        const u128 s = u128(a.w[i]) + b.w[i] + carry;
        r.w[i] = u64(s);
        carry = s >> 64;
    }
    return r;
}

// a - b with a >= b.
Wide sub(const Wide& a, const Wide& b)
{
    Wide r;
    u64 borrow = 0;
    for (int i = 0; i < 4; ++i) {
        const u128 d = u128(a.w[i]) - b.w[i] - borrow;
        r.w[i] = u64(d);
        borrow = (d >> 64) ? 1 : 0;
    }
    return r;
}

// Truncated to 256 bits; callers keep their operands small enough that nothing is lost.
Wide mul(const Wide& a, const Wide& b)
{
    Wide r;
    for (int i = 0; i < 4; ++i) {
        u128 carry = 0;
        for (int j = 0; i + j < 4; ++j) {
            const u128 p = u128(a.w[i]) * b.w[j] + r.w[i + j] + carry;
            r.w[i + j] = u64(p);
            carry = p >> 64;
        }
    }
    return r;
}

Wide mulSmall(const Wide& a, u64 m)
{
    return mul(a, Wide::from(m));
}

Wide shl1(const Wide& a)
{
    Wide r;
    for (int i = 3; i >= 0; --i)
        r.w[i] = (a.w[i] << 1) | (i > 0 ? a.w[i - 1] >> 63 : 0);
    return r;
}

int bitLength(const Wide& a)
{
    for (int i = 3; i >= 0; --i) {
        if (a.w[i])
            return i * 64 + 64 - __builtin_clzll(a.w[i]);
    }
    return 0;
}

// Long division, bit by bit: slow but plain, and the figures are short.
void divmod(const Wide& a, const Wide& b, Wide& q, Wide& r)
{
    q = Wide();
    r = Wide();
    for (int i = bitLength(a) - 1; i >= 0; --i) {
        r = shl1(r);
        r.w[0] |= (a.w[i / 64] >> (i % 64)) & 1;
        if (cmp(r, b) >= 0) {
            r = sub(r, b);
            q.w[i / 64] |= u64(1) << (i % 64);
        }
    }
}

constexpr int MaxPow = 77;  // 10^77 is the largest power of ten below 2^256

const std::array<Wide, MaxPow + 1>& powers()
{
    static const std::array<Wide, MaxPow + 1> table = [] {
        std::array<Wide, MaxPow + 1> t;
        t[0] = Wide::from(1);
        for (int i = 1; i <= MaxPow; ++i)
            t[i] = mulSmall(t[i - 1], 10);
        return t;
    }();
    return table;
}

const Wide& pow10(int n)
{
    return powers()[n];
}

int digitCount(const Wide& a)
{
    int n = 1;
    while (n <= MaxPow && cmp(a, pow10(n)) >= 0)
        ++n;
    return n;
}

// a / 10^drop rounded half to even. `sticky` says that nonzero digits already lie beyond a.
Wide dropDigits(const Wide& a, int drop, bool sticky = false)
{
    if (drop <= 0)
        return a;
    if (drop > MaxPow)
        return Wide();  // a < 10^77 is less than half of 10^drop
    Wide q, r;
    divmod(a, pow10(drop), q, r);
    const Wide half = mulSmall(pow10(drop - 1), 5);
    const int c = cmp(r, half);
    if (c > 0 || (c == 0 && (sticky || q.isOdd())))
        q = add(q, Wide::from(1));
    return q;
}

QString magnitudeText(u128 mag)
{
    if (mag == 0)
        return QStringLiteral("0");
    char buf[48];
    int pos = sizeof buf;
    while (mag) {
        buf[--pos] = char('0' + int(mag % 10));
        mag /= 10;
    }
    return QString::fromLatin1(buf + pos, int(sizeof buf) - pos);
}

}  // namespace

struct DecimalMath {
    // Brings an exact coefficient * 10^-scale into range: 28 significant digits (half to even,
    // `sticky` marking nonzero digits already cut off below the coefficient), then at most 28
    // places, then a whole number of 96 bits at most.
    static Decimal finish(bool negative, Wide coeff, int scale, bool sticky = false)
    {
        const int digits = digitCount(coeff);
        if (digits > Decimal::MaxDigits) {
            const int drop = digits - Decimal::MaxDigits;
            coeff = dropDigits(coeff, drop, sticky);
            scale -= drop;
            if (digitCount(coeff) > Decimal::MaxDigits) {  // 9.99..95 went up to 10.00..0
                coeff = dropDigits(coeff, 1);
                scale -= 1;
            }
        }
        if (scale > Decimal::MaxScale) {
            coeff = dropDigits(coeff, scale - Decimal::MaxScale);
            scale = Decimal::MaxScale;
        }
        if (coeff.isZero())
            return Decimal();
        if (scale < 0) {
            if (digitCount(coeff) - scale > 29)
                throw VbError::overflow();
            coeff = mul(coeff, pow10(-scale));
            scale = 0;
        }
        if (!coeff.fits96())
            throw VbError::overflow();
        return Decimal(coeff.low128(), scale, negative);
    }

    // A typed figure is kept exactly whenever 96 bits and 28 places hold it; otherwise it is
    // rounded once, half to even, to the most places that do.
    static Decimal nearest(bool negative, Wide coeff, int scale, bool sticky)
    {
        if (coeff.isZero())
            return Decimal();
        if (scale < 0) {
            if (digitCount(coeff) - scale > 29)
                throw VbError::overflow();
            coeff = mul(coeff, pow10(-scale));
            scale = 0;
        }
        for (int drop = std::max(0, scale - Decimal::MaxScale); drop <= scale; ++drop) {
            const Wide c = dropDigits(coeff, drop, sticky);
            if (c.fits96())
                return Decimal(c.low128(), scale - drop, negative);
        }
        throw VbError::overflow();
    }

    static Wide aligned(const Decimal& d, int scale)
    {
        return mul(Wide::from(d.m_mag), pow10(scale - d.m_scale));
    }

    static Decimal addSigned(const Decimal& a, const Decimal& b, bool negateB)
    {
        const bool bNeg = negateB ? !b.m_negative : b.m_negative;
        const int scale = std::max(a.m_scale, b.m_scale);
        const Wide x = aligned(a, scale);
        const Wide y = aligned(b, scale);
        if (a.m_negative == bNeg)
            return finish(a.m_negative, add(x, y), scale);
        if (cmp(x, y) >= 0)
            return finish(a.m_negative, sub(x, y), scale);
        return finish(bNeg, sub(y, x), scale);
    }

    static int compare(const Decimal& a, const Decimal& b)
    {
        const int sa = a.sign();
        const int sb = b.sign();
        if (sa != sb)
            return sa < sb ? -1 : 1;
        if (sa == 0)
            return 0;
        const int scale = std::max(a.m_scale, b.m_scale);
        const int c = cmp(aligned(a, scale), aligned(b, scale));
        return sa > 0 ? c : -c;
    }
};

Decimal::Decimal(Mag mag, int scale, bool negative)
    : m_mag(mag), m_scale(scale), m_negative(negative && mag != 0)
{
}

Decimal::Decimal(int value) : Decimal(static_cast<long long>(value)) {}

Decimal::Decimal(long value) : Decimal(static_cast<long long>(value)) {}

Decimal::Decimal(long long value)
    : m_mag(value < 0 ? Mag(-(value + 1)) + 1 : Mag(value)), m_scale(0), m_negative(value < 0)
{
}

Decimal Decimal::fromParts(quint32 lo, quint32 mid, quint32 hi, bool negative, int scale)
{
    if (scale < 0 || scale > MaxScale)
        throw VbError::overflow();
    return Decimal((Mag(hi) << 64) | (Mag(mid) << 32) | lo, scale, negative);
}

Decimal Decimal::maxValue()
{
    return Decimal(Limit96 - 1, 0, false);
}

Decimal Decimal::minValue()
{
    return Decimal(Limit96 - 1, 0, true);
}

std::optional<Decimal> Decimal::parse(QStringView text, const QLocale& locale)
{
    const QStringView s = text.trimmed();
    const QString point = locale.decimalPoint();
    const QString group = locale.groupSeparator();
    // Many locales group with a no-break space; people type an ordinary one.
    const bool groupIsSpace = group.size() == 1 && group.at(0).isSpace();
    const QString minus = locale.negativeSign();
    const QString plus = locale.positiveSign();

    qsizetype i = 0;
    bool negative = false;
    auto startsWithAt = [&](const QString& token) {
        return !token.isEmpty() && s.mid(i).startsWith(token);
    };
    if (i < s.size() && (s[i] == u'-' || s[i] == u'+')) {
        negative = s[i] == u'-';
        ++i;
    } else if (startsWithAt(minus)) {
        negative = true;
        i += minus.size();
    } else if (startsWithAt(plus)) {
        i += plus.size();
    }

    Wide coeff;
    int kept = 0;         // significant digits held in coeff
    int dropped = 0;      // whole-number digits beyond what coeff can hold
    int fraction = 0;     // digits after the point held in coeff
    bool sticky = false;  // a nonzero digit was cut off after the point
    int digitsSeen = 0;
    constexpr int Keep = 60;

    auto takeDigit = [&](int digit, bool afterPoint) {
        ++digitsSeen;
        if (kept == 0 && digit == 0) {
            if (afterPoint)
                ++fraction;
            return;
        }
        if (kept < Keep) {
            coeff = add(mulSmall(coeff, 10), Wide::from(u128(digit)));
            ++kept;
            if (afterPoint)
                ++fraction;
        } else if (afterPoint) {
            sticky = sticky || digit != 0;
        } else {
            ++dropped;
            sticky = sticky || digit != 0;
        }
    };
    auto isDigit = [&](qsizetype k) { return k < s.size() && s[k] >= u'0' && s[k] <= u'9'; };
    auto isGroupAt = [&](qsizetype k) {
        if (k >= s.size())
            return false;
        if (!group.isEmpty() && s.mid(k).startsWith(group))
            return true;
        return groupIsSpace && s[k] == u' ';
    };
    auto groupLength = [&](qsizetype k) {
        return (!group.isEmpty() && s.mid(k).startsWith(group)) ? group.size() : qsizetype(1);
    };

    // Whole part: digits, with group separators only between whole groups of three.
    int groupDigits = 0;
    bool grouped = false;
    while (i < s.size()) {
        if (isDigit(i)) {
            takeDigit(s[i].unicode() - u'0', false);
            ++groupDigits;
            ++i;
        } else if (isGroupAt(i) && !(s.mid(i).startsWith(point) && !point.isEmpty())) {
            if (groupDigits == 0 || (grouped && groupDigits != 3) || groupDigits > 3)
                return std::nullopt;
            grouped = true;
            groupDigits = 0;
            i += groupLength(i);
            if (!isDigit(i))
                return std::nullopt;
        } else {
            break;
        }
    }
    if (grouped && groupDigits != 3)
        return std::nullopt;

    if (i < s.size() && startsWithAt(point)) {
        i += point.size();
        while (isDigit(i)) {
            takeDigit(s[i].unicode() - u'0', true);
            ++i;
        }
    }
    if (digitsSeen == 0)
        return std::nullopt;

    long long exponent = 0;
    if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
        ++i;
        bool expNegative = false;
        if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
            expNegative = s[i] == u'-';
            ++i;
        }
        if (!isDigit(i))
            return std::nullopt;
        while (isDigit(i)) {
            exponent = std::min<long long>(exponent * 10 + (s[i].unicode() - u'0'), 100000);
            ++i;
        }
        if (expNegative)
            exponent = -exponent;
    }
    if (i != s.size())
        return std::nullopt;

    if (coeff.isZero())
        return Decimal();
    long long scale = fraction - dropped - exponent;
    if (scale > 1000) {
        return Decimal();  // far below the smallest step of 28 places
    }
    if (scale < -100)
        throw VbError::overflow();
    return DecimalMath::nearest(negative, coeff, int(scale), sticky);
}

Decimal Decimal::fromDouble(double value)
{
    if (!std::isfinite(value))
        throw VbError::overflow();
    if (value == 0)
        return Decimal();
    // Fifteen significant digits, as the old runtime kept of a double.
    const QString text = QString::number(value, 'e', 14);
    const std::optional<Decimal> d = parse(text, QLocale::c());
    if (!d)
        throw VbError::overflow();
    return d->normalized();
}

QString Decimal::toString() const
{
    QString digits = magnitudeText(m_mag);
    if (m_scale > 0) {
        if (digits.size() <= m_scale)
            digits.prepend(QString(m_scale - digits.size() + 1, u'0'));
        digits.insert(digits.size() - m_scale, u'.');
        while (digits.endsWith(u'0'))
            digits.chop(1);
        if (digits.endsWith(u'.'))
            digits.chop(1);
    }
    if (m_negative && m_mag != 0)
        digits.prepend(u'-');
    return digits;
}

QString Decimal::toLocaleString(const QLocale& locale) const
{
    QString text = toString();
    const qsizetype dot = text.indexOf(u'.');
    if (dot >= 0)
        text.replace(dot, 1, locale.decimalPoint());
    if (text.startsWith(u'-'))
        text.replace(0, 1, locale.negativeSign());
    return text;
}

QString Decimal::toFixedString(int places) const
{
    places = std::clamp(places, 0, MaxScale);
    const Decimal r = round(places);
    QString digits = magnitudeText(r.m_mag);
    const int pad = places - r.m_scale;  // round() leaves a smaller scale alone
    if (pad > 0)
        digits.append(QString(pad, u'0'));
    if (places > 0) {
        if (digits.size() <= places)
            digits.prepend(QString(places - digits.size() + 1, u'0'));
        digits.insert(digits.size() - places, u'.');
    }
    if (r.m_negative && r.m_mag != 0)
        digits.prepend(u'-');
    return digits;
}

Decimal Decimal::operator+(const Decimal& other) const
{
    return DecimalMath::addSigned(*this, other, false);
}

Decimal Decimal::operator-(const Decimal& other) const
{
    return DecimalMath::addSigned(*this, other, true);
}

Decimal Decimal::operator*(const Decimal& other) const
{
    const Wide product = mul(Wide::from(m_mag), Wide::from(other.m_mag));
    return DecimalMath::finish(m_negative != other.m_negative, product, m_scale + other.m_scale);
}

Decimal Decimal::operator/(const Decimal& other) const
{
    if (other.m_mag == 0)
        throw VbError::divisionByZero();
    if (m_mag == 0)
        return Decimal();
    const Wide a = Wide::from(m_mag);
    const Wide b = Wide::from(other.m_mag);
    // Widen the dividend so that the quotient carries at least 30 digits: enough to round to
    // 28 with the remainder telling whether anything lies beyond.
    const int widen = std::max(0, digitCount(b) + 30 - digitCount(a));
    Wide q, r;
    divmod(mul(a, pow10(widen)), b, q, r);
    int scale = m_scale - other.m_scale + widen;
    const bool inexact = !r.isZero();
    if (!inexact) {
        // An exact quotient keeps only the places its operands call for.
        const int natural = std::max(0, m_scale - other.m_scale);
        Wide qq, rr;
        while (scale > natural) {
            divmod(q, pow10(1), qq, rr);
            if (!rr.isZero())
                break;
            q = qq;
            --scale;
        }
    }
    return DecimalMath::finish(m_negative != other.m_negative, q, scale, inexact);
}

Decimal Decimal::operator-() const
{
    return Decimal(m_mag, m_scale, !m_negative);
}

std::strong_ordering Decimal::operator<=>(const Decimal& other) const
{
    const int c = compare(other);
    return c < 0 ? std::strong_ordering::less
                 : (c > 0 ? std::strong_ordering::greater : std::strong_ordering::equal);
}

int Decimal::compare(const Decimal& other) const
{
    return DecimalMath::compare(*this, other);
}

Decimal Decimal::round(int places) const
{
    if (places < 0)
        throw VbError::invalidProcedureCall();
    if (places >= m_scale)
        return *this;
    const Wide q = dropDigits(Wide::from(m_mag), m_scale - places);
    return Decimal(q.low128(), places, m_negative);
}

Decimal Decimal::normalized() const
{
    Mag mag = m_mag;
    int scale = m_scale;
    while (scale > 0 && mag % 10 == 0) {
        mag /= 10;
        --scale;
    }
    return Decimal(mag, scale, m_negative);
}

Decimal Decimal::abs() const
{
    return Decimal(m_mag, m_scale, false);
}

qint64 Decimal::toInt64() const
{
    const Decimal r = round(0);
    const Mag limit = Mag(std::numeric_limits<qint64>::max()) + (r.m_negative ? 1 : 0);
    if (r.m_mag > limit)
        throw VbError::overflow();
    if (r.m_negative)
        return r.m_mag == Mag(1) << 63 ? std::numeric_limits<qint64>::min() : -qint64(r.m_mag);
    return qint64(r.m_mag);
}

qint32 Decimal::toInt32() const
{
    const qint64 v = toInt64();
    if (v < std::numeric_limits<qint32>::min() || v > std::numeric_limits<qint32>::max())
        throw VbError::overflow();
    return qint32(v);
}

qint16 Decimal::toInt16() const
{
    const qint64 v = toInt64();
    if (v < std::numeric_limits<qint16>::min() || v > std::numeric_limits<qint16>::max())
        throw VbError::overflow();
    return qint16(v);
}

double Decimal::toDouble() const
{
    return toString().toDouble();
}

char* toString(const Decimal& value)
{
    const QByteArray text = value.toString().toUtf8();
    char* copy = new char[size_t(text.size()) + 1];
    std::memcpy(copy, text.constData(), size_t(text.size()) + 1);
    return copy;
}
