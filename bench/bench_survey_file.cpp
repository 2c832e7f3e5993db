// How long the survey-file reader takes on a file of many keys: 50,000 to 200,000 deductibles
// (a 4.9 MB file at the top), read whole and checked for a key given twice. Prints timings; it
// checks nothing (the aim is well under a second at 200,000 keys, and time growing with the
// keys, not with their square).
#include "files/SurveyFile.h"

#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <ctime>

namespace {

QByteArray surveyWithKeys(int keys, bool twice)
{
    QByteArray text = "{\"format\":\"quorvane-survey/1\",\"kind\":\"loading\",\"ship\":\"Ocean Pride\","
                      "\"initial\":{\"deductibles\":{";
    for (int i = 0; i < keys; ++i)
        text += (i ? ",\"" : "\"") + QByteArray::number(i + 1) + "\":\"12.5\"";
    if (twice)
        text += ",\"1\":\"12.5\"";
    return text + "}}}";
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    for (int keys : {50000, 100000, 200000}) {
        for (bool twice : {false, true}) {
            const QByteArray text = surveyWithKeys(keys, twice);
            QString error;
            // The processor's time too: on a busy machine the clock on the wall says little.
            const std::clock_t cpuStart = std::clock();
            const auto start = std::chrono::steady_clock::now();
            const bool read = SurveyFile::parse(text, QStringLiteral("bench.json"), &error).has_value();
            const double ms
                = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            const double cpuMs = 1000.0 * double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
            std::printf("%7d keys%-14s %6.2f MB %10.1f ms (%.1f ms of processor)  %s\n", keys,
                twice ? ", one twice" : "", text.size() / 1e6, ms, cpuMs, read ? "read" : "refused");
        }
    }
    return 0;
}
