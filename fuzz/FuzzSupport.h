#pragma once

#include <QByteArray>
#include <QLocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// A failed expectation: say which and abort, so that libFuzzer keeps the input.
#define FUZZ_EXPECT(condition)                                                                    \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "expectation failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

inline QByteArray fuzzBytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// Figures are read in the C locale in every harness, as the tests read them.
inline void fuzzUseCLocale()
{
    QLocale::setDefault(QLocale::c());
}
