#pragma once

#include <QLocale>
#include <QString>
#include <QStringView>
#include <compare>
#include <optional>

// An exact decimal figure: a 96-bit unsigned magnitude, a sign and a scale of 0 to 28 digits
// after the point (value = magnitude / 10^scale). Every figure the user types is one of these,
// so that a draft of 7.35 m stays 7.35 and not 7.3499999... on its way to the report.
//
// Arithmetic (+ - * /) is exact, then the result is rounded half to even to 28 significant
// digits and, after that, to at most 28 places. A result whose magnitude does not fit in 96 bits
// throws VbError::overflow(); dividing by zero throws VbError::divisionByZero().
//
// The scale is kept as the operation leaves it (1.10 + 2.20 has scale 2), but it never shows:
// comparison is by value (5.2 == 5.20) and the text drops trailing zeros.
class Decimal {
public:
    static constexpr int MaxScale = 28;
    static constexpr int MaxDigits = 28;

    Decimal() = default;
    Decimal(int value);        // NOLINT: a whole number is an exact decimal
    Decimal(long value);       // NOLINT
    Decimal(long long value);  // NOLINT
    Decimal(double) = delete;  // use fromDouble(): a double must never slip in silently

    // Text in the locale's number format: blanks at both ends are ignored; an optional leading
    // sign; digits with the locale's group separator between groups of three in the whole part;
    // the locale's decimal separator; an optional exponent ("1.5E-3"). More than 28 places are
    // rounded half to even. Returns nothing when the text is not a number; throws
    // VbError::overflow() when it is a number too large for 96 bits.
    static std::optional<Decimal> parse(QStringView text, const QLocale& locale = QLocale());

    // A double as the old runtime turned one into a decimal: its 15 significant digits.
    // Infinity, NaN and magnitudes beyond 96 bits throw VbError::overflow().
    static Decimal fromDouble(double value);

    // Builds magnitude / 10^scale from a magnitude of at most 96 bits given as three 32-bit words
    // (lo, mid, hi). Throws VbError::overflow() when scale is outside 0..28.
    static Decimal fromParts(quint32 lo, quint32 mid, quint32 hi, bool negative, int scale);

    // Plain notation with '.' as the point, no trailing zeros, no exponent, never "-0".
    QString toString() const;
    // The same with the locale's decimal separator and minus sign (no digit grouping).
    QString toLocaleString(const QLocale& locale = QLocale()) const;
    // Exactly `places` digits after the point (rounded half to even first), '.' as the point.
    QString toFixedString(int places) const;

    Decimal operator+(const Decimal& other) const;
    Decimal operator-(const Decimal& other) const;
    Decimal operator*(const Decimal& other) const;
    Decimal operator/(const Decimal& other) const;
    Decimal operator-() const;
    Decimal& operator+=(const Decimal& other) { return *this = *this + other; }
    Decimal& operator-=(const Decimal& other) { return *this = *this - other; }
    Decimal& operator*=(const Decimal& other) { return *this = *this * other; }
    Decimal& operator/=(const Decimal& other) { return *this = *this / other; }

    bool operator==(const Decimal& other) const { return compare(other) == 0; }
    std::strong_ordering operator<=>(const Decimal& other) const;
    int compare(const Decimal& other) const;  // -1, 0 or 1

    // Rounded half to even to `places` digits after the point (0..28; more is no change).
    // Negative places throw VbError::invalidProcedureCall().
    Decimal round(int places) const;
    // The same value with trailing zeros after the point dropped (scale as small as possible).
    Decimal normalized() const;

    bool isZero() const { return m_mag == 0; }
    int sign() const { return m_mag == 0 ? 0 : (m_negative ? -1 : 1); }
    bool isNegative() const { return sign() < 0; }
    int scale() const { return m_scale; }
    Decimal abs() const;

    // Rounded half to even to a whole number; VbError::overflow() when out of range.
    qint16 toInt16() const;
    qint32 toInt32() const;
    qint64 toInt64() const;
    // Only for measures of the screen and the like, never for a figure that is shown.
    double toDouble() const;

    // The 96-bit magnitude as three 32-bit words.
    quint32 lo() const { return quint32(m_mag); }
    quint32 mid() const { return quint32(m_mag >> 32); }
    quint32 hi() const { return quint32(m_mag >> 64); }

    static Decimal maxValue();  // 79228162514264337593543950335
    static Decimal minValue();

private:
    using Mag = unsigned __int128;
    Decimal(Mag mag, int scale, bool negative);
    friend struct DecimalMath;

    Mag m_mag = 0;  // always below 2^96
    int m_scale = 0;
    bool m_negative = false;
};

// For QCOMPARE in the test programs.
char* toString(const Decimal& value);
