// The hydrostatic table import: whatever the bytes, a text is split into rows or refused with a
// message; a table read is audited, written out as CSV, read again and found the same, row for
// row and figure for figure, and written out again to the same text.
#include "files/HydrostaticTableFile.h"
#include "fuzz/FuzzSupport.h"

#include <QStringDecoder>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 65536)
        return 0;
    fuzzUseCLocale();
    const QByteArray bytes = fuzzBytes(data, size);
    // As a file is read: UTF-8, or Latin-1 when it is not UTF-8.
    auto decode = QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decode(bytes);
    if (decode.hasError())
        text = QString::fromLatin1(bytes);

    QString error;
    const std::optional<HydrostaticTableFile::Layout> layout = HydrostaticTableFile::split(text, &error);
    if (!layout) {
        FUZZ_EXPECT(!error.isEmpty());
        return 0;
    }
    FUZZ_EXPECT(!layout->cells.isEmpty());
    FUZZ_EXPECT(layout->cells.size() == layout->lineNumbers.size());
    FUZZ_EXPECT(layout->proposed.size() <= layout->columnCount || layout->columnCount == 0);
    const std::optional<HydrostaticTable> first
        = HydrostaticTableFile::build(*layout, layout->proposed, &error);
    if (!first) {
        FUZZ_EXPECT(!error.isEmpty());
        return 0;
    }
    for (const HydrostaticAudit::Finding& f : HydrostaticAudit::audit(*first))
        FUZZ_EXPECT(!f.text.isEmpty());

    // Written back and read again: the same table.
    const QByteArray csv = HydrostaticTableFile::toCsv(*first);
    QString again;
    const std::optional<HydrostaticTableFile::Layout> reread
        = HydrostaticTableFile::split(QString::fromUtf8(csv), &again);
    FUZZ_EXPECT(reread.has_value());
    FUZZ_EXPECT(!reread->header.isEmpty());
    const std::optional<HydrostaticTable> second
        = HydrostaticTableFile::build(*reread, reread->proposed, &again);
    FUZZ_EXPECT(second.has_value());
    FUZZ_EXPECT(second->rows.size() == first->rows.size());
    FUZZ_EXPECT(*second == *first);
    FUZZ_EXPECT(HydrostaticTableFile::toCsv(*second) == csv);
    return 0;
}
