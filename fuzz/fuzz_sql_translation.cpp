// The dialect translation every statement passes: whatever the text, it returns a statement or
// refuses with the engine's error; it never grows the text beyond a small multiple of its
// length, and a decimal literal comes out as quoted digits without an exponent.
#include "core/VbError.h"
#include "db/Connection.h"
#include "fuzz/FuzzSupport.h"

#include <QString>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 8192)
        return 0;
    const QString sql = QString::fromUtf8(fuzzBytes(data, size));
    QString out;
    try {
        out = Connection::translateSql(sql);
    } catch (const VbError& e) {
        FUZZ_EXPECT(e.number() == Connection::EngineErrorNumber);
        return 0;
    }
    // Every literal grows by at most the 28 places an exponent may move its point, its quotes
    // and a leading "0."; the shortest literal with an exponent has 3 characters.
    FUZZ_EXPECT(out.size() <= 11 * sql.size() + 64);
    // Translating what came out changes no literal again (texts stay texts).
    try {
        Connection::translateSql(out);
    } catch (const VbError&) {
        FUZZ_EXPECT(false);
    }
    return 0;
}
