// The exact decimal: reading a figure, writing it out, reading it back gives the same figure and
// the same text; arithmetic on two figures either throws the runtime's error or gives a figure
// that survives the same round trip and agrees with comparison.
//
// Input: one or two figures, separated by a line break.
#include "core/Decimal.h"
#include "core/VbError.h"
#include "fuzz/FuzzSupport.h"

#include <QString>
#include <optional>

namespace {

std::optional<Decimal> read(const QString& text)
{
    try {
        return Decimal::parse(text, QLocale::c());
    } catch (const VbError&) {
        return std::nullopt;  // a number too large for 96 bits
    }
}

// Text, then back: the same value, and the same text again.
void roundTrip(const Decimal& d)
{
    const QString text = d.toString();
    const std::optional<Decimal> back = read(text);
    FUZZ_EXPECT(back.has_value());
    FUZZ_EXPECT(*back == d);
    FUZZ_EXPECT(back->toString() == text);
    FUZZ_EXPECT(!text.startsWith(QLatin1String("-0")) || text.startsWith(QLatin1String("-0.")));
    for (int places : {0, 2, 5, 28}) {
        const Decimal r = d.round(places);
        FUZZ_EXPECT(r.scale() <= places);
        QString fixedText;
        try {
            fixedText = d.toFixedString(places);
        } catch (const VbError&) {
            // 29 whole digits and 28 places do not fit in 96 bits: the runtime's overflow.
            continue;
        }
        const std::optional<Decimal> fixed = read(fixedText);
        FUZZ_EXPECT(fixed.has_value() && *fixed == r);
    }
}

int significantDigits(const Decimal& d)
{
    QString digits = d.toString();
    digits.remove(QLatin1Char('-')).remove(QLatin1Char('.'));
    while (digits.startsWith(QLatin1Char('0')))
        digits.remove(0, 1);
    return int(digits.size());
}

template <typename Op>
void tryOp(const Decimal& a, const Decimal& b, Op op)
{
    try {
        roundTrip(op(a, b));
    } catch (const VbError&) {
        // overflow or division by zero: the runtime's own errors
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzUseCLocale();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 4096)
        return 0;
    const QString input = QString::fromUtf8(fuzzBytes(data, size));
    const qsizetype cut = input.indexOf(QLatin1Char('\n'));
    const std::optional<Decimal> a = read(cut < 0 ? input : input.left(cut));
    if (!a)
        return 0;
    roundTrip(*a);
    roundTrip(-*a);
    // Every result is rounded to 28 significant digits, while a parsed figure may keep 29 when
    // 96 bits hold them: only a figure of 28 digits or fewer comes through "+ 0" unchanged.
    if (significantDigits(*a) <= Decimal::MaxDigits)
        FUZZ_EXPECT(*a + Decimal(0) == *a);
    const std::optional<Decimal> b = cut < 0 ? std::optional<Decimal>(*a) : read(input.mid(cut + 1));
    if (!b)
        return 0;
    tryOp(*a, *b, [](const Decimal& x, const Decimal& y) { return x + y; });
    tryOp(*a, *b, [](const Decimal& x, const Decimal& y) { return x - y; });
    tryOp(*a, *b, [](const Decimal& x, const Decimal& y) { return x * y; });
    tryOp(*a, *b, [](const Decimal& x, const Decimal& y) { return x / y; });
    try {
        FUZZ_EXPECT(*a + *b == *b + *a);
        FUZZ_EXPECT((*a - *b).sign() == a->compare(*b));
    } catch (const VbError&) {
    }
    try {
        FUZZ_EXPECT(*a * *b == *b * *a);
    } catch (const VbError&) {
    }
    return 0;
}
