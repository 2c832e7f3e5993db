// The survey-file reader: whatever the bytes, a file is read or refused with a message naming
// the file; a file read and written out again reads back the same, and writes out the same text.
#include "files/SurveyFile.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 65536)
        return 0;
    const QString name = QStringLiteral("fuzz.json");
    QString error;
    SurveyFile::Failure failure = SurveyFile::Failure::None;
    const std::optional<SurveyFileData> first = SurveyFile::parse(fuzzBytes(data, size), name, &error, &failure);
    if (!first) {
        FUZZ_EXPECT(failure != SurveyFile::Failure::None);
        FUZZ_EXPECT(error.startsWith(name + QStringLiteral(": ")));
        return 0;
    }
    FUZZ_EXPECT(failure == SurveyFile::Failure::None);
    const QByteArray written = SurveyFile::serialize(*first);
    const std::optional<SurveyFileData> second = SurveyFile::parse(written, name, &error, &failure);
    FUZZ_EXPECT(second.has_value());
    FUZZ_EXPECT(SurveyFile::serialize(*second) == written);
    FUZZ_EXPECT(second->initial.deductibles == first->initial.deductibles);
    FUZZ_EXPECT(second->ship == first->ship && second->kind == first->kind);
    return 0;
}
