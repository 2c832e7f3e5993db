// toNumeric, the normaliser every typed number passes: whatever the text, it returns a value or
// throws the runtime's error; a figure it returns reads back as the same figure.
//
// Input: a byte for the places (-1 to 12), a byte for the mode (0, 1 or 2), then the text.
#include "core/Numeric.h"
#include "core/VbError.h"
#include "fuzz/FuzzSupport.h"

#include <QString>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzUseCLocale();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2 || size > 4096)
        return 0;
    const int digits = static_cast<int>(data[0] % 14) - 1;
    const int mode = data[1] % 3;
    const QString text = QString::fromUtf8(fuzzBytes(data + 2, size - 2));
    Variant result;
    try {
        result = toNumeric(Variant(text), digits, mode);
    } catch (const VbError&) {
        return 0;
    }
    if (result.type() != Variant::Type::Decimal)
        return 0;
    const Decimal d = result.toDecimal();
    if (digits >= 0)
        FUZZ_EXPECT(d.round(digits) == d);
    // The figure as the program writes it is a number toNumeric takes back unchanged.
    const Variant again = toNumeric(Variant(d.toString()), -1, 0);
    FUZZ_EXPECT(again.toDecimal() == d);
    return 0;
}
