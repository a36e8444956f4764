#pragma once

// What every fuzz target shares: the entry point libFuzzer calls, and a
// check that ends the process on a broken property, which libFuzzer keeps
// as a crash input and the corpus replay reports as a failed test.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

[[noreturn]] inline void FuzzFail(const char *condition, const char *file, int line,
                                  const QString &detail)
{
    std::fprintf(stderr, "%s:%d: property broken: %s\n", file, line, condition);
    if (!detail.isEmpty())
        std::fprintf(stderr, "  %s\n", detail.toUtf8().constData());
    std::abort();
}

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition))                                                                          \
            FuzzFail(#condition, __FILE__, __LINE__, QString());                                   \
    } while (false)

#define FUZZ_CHECK2(condition, detail)                                                             \
    do {                                                                                           \
        if (!(condition))                                                                          \
            FuzzFail(#condition, __FILE__, __LINE__, (detail));                                    \
    } while (false)

inline QByteArray FuzzBytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}
