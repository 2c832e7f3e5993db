#pragma once

#include "core/Decimal.h"
#include "core/VbError.h"

#include <QLocale>
#include <QString>

// The dynamic value that passes between the windows, the draft model and the database.
//
// Types: Empty (never assigned), Null (a database null), Integer (16-bit), Long (32-bit),
// Decimal (exact), Double, Text and Boolean (True is -1 when used as a number).
//
// Conversions, in the old runtime's manner:
//   toText()     Empty -> "", Null -> Invalid use of Null, Decimal -> its locale text,
//                Double -> up to 15 significant digits, Boolean -> "True" / "False".
//   toDecimal()  Empty -> 0, Null -> Invalid use of Null, Text parsed in the locale's number
//                format (Type mismatch when it is not a number), Double -> its 15 digits.
//   toInt16/32() rounded half to even; Overflow when out of range; same sources as toDecimal().
//   isNumeric()  Empty, numbers, Booleans and number texts; not Null, not "" and not "8a".
//
// Arithmetic (+ - * / and unary -):
//   - Null in, Null out.
//   - Empty counts as the Integer 0; a Boolean as the Integer -1 or 0.
//   - Text is read as an exact decimal in the locale's format (Type mismatch otherwise); two
//     texts are added as numbers, never joined: join texts as QStrings.
//   - Anything combined with a Decimal (or a Text) gives a Decimal.
//   - Otherwise a Double on either side gives a Double; Integer and Long give the wider of the
//     two, growing to Long and then to Double when the result does not fit.
//   - "/" of two whole numbers gives a Double.
//   - A zero divisor throws Division by zero; a Decimal result beyond 96 bits throws Overflow.
class Variant {
public:
    enum class Type { Empty, Null, Integer, Long, Decimal, Double, Text, Boolean };

    Variant() = default;
    Variant(const Decimal& value);  // NOLINT: a decimal is a value
    Variant(const QString& text);   // NOLINT: so is a text
    Variant(const char* text);      // NOLINT
    // Numbers and booleans need their type spelt out: use the factories below.
    Variant(int) = delete;
    Variant(long long) = delete;
    Variant(double) = delete;
    Variant(bool) = delete;

    static Variant null();
    static Variant integer(qint16 value);
    static Variant longInt(qint32 value);
    static Variant fromDouble(double value);
    static Variant boolean(bool value);

    Type type() const { return m_type; }
    // The old runtime's type names: "Empty", "Null", "Integer", "Long", "Decimal", "Double",
    // "String", "Boolean".
    QString typeName() const;
    bool isEmpty() const { return m_type == Type::Empty; }
    bool isNull() const { return m_type == Type::Null; }
    bool isText() const { return m_type == Type::Text; }
    bool isDecimal() const { return m_type == Type::Decimal; }
    bool isBoolean() const { return m_type == Type::Boolean; }
    // Integer, Long, Decimal or Double.
    bool isNumber() const;
    bool isNumeric(const QLocale& locale = QLocale()) const;

    QString toText(const QLocale& locale = QLocale()) const;
    Decimal toDecimal(const QLocale& locale = QLocale()) const;
    double toDouble(const QLocale& locale = QLocale()) const;
    qint16 toInt16(const QLocale& locale = QLocale()) const;
    qint32 toInt32(const QLocale& locale = QLocale()) const;
    // Numbers: not zero; texts "True" / "False" (any case) or a number; Null: Invalid use of Null.
    bool toBool(const QLocale& locale = QLocale()) const;

    Variant operator+(const Variant& other) const;
    Variant operator-(const Variant& other) const;
    Variant operator*(const Variant& other) const;
    Variant operator/(const Variant& other) const;
    Variant operator-() const;

    // The old runtime's comparison: -1, 0 or 1. Two texts (or a text and Empty, which counts as
    // "") compare as texts, character by character; everything else compares as numbers, a
    // text being read as a decimal (Type mismatch otherwise). Null throws Invalid use of Null:
    // test isNull() first.
    static int compare(const Variant& a, const Variant& b, const QLocale& locale = QLocale());

    // Same type and same value (Decimals by value, so 5.2 and 5.20 are the same). For the
    // comparison the program's logic needs, use compare().
    bool operator==(const Variant& other) const;

    // "Decimal(12.5)", "Text(\" 12.5 \")", "Empty", ... for test failures and logs.
    QString debugString() const;

private:
    Type m_type = Type::Empty;
    qint32 m_int = 0;  // Integer, Long, Boolean (0 or 1)
    double m_double = 0;
    Decimal m_decimal;
    QString m_text;
};

// For QCOMPARE in the test programs.
char* toString(const Variant& value);
