#pragma once
// What every harness shares: one scratch folder for the process, whose files are rewritten for
// each input, and a hard stop when a promise is broken, so the fuzzer saves the input.
#include "ReaderChecks.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

inline const CheckFiles &fuzzFiles()
{
    using namespace Qt::StringLiterals;
    // Every input is written and read back through files: memory-backed ones when there are.
    static const QString base = qEnvironmentVariableIsEmpty("TMPDIR") && QFileInfo(u"/dev/shm"_s).isWritable()
                                    ? u"/dev/shm"_s
                                    : QDir::tempPath();
    static QTemporaryDir dir(base + u"/orvanel-fuzz-XXXXXX"_s);
    static const CheckFiles files(dir.path());
    if (!dir.isValid()) {
        std::fprintf(stderr, "no scratch folder in %s\n", qPrintable(base));
        std::abort();
    }
    return files;
}

inline int fuzzOne(ReaderCheck check, const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString fault = check(fuzzFiles(), bytes);
    if (!fault.isEmpty()) {
        std::fprintf(stderr, "broken promise: %s\n", qUtf8Printable(fault));
        std::abort();
    }
    return 0;
}

#define ORVANEL_FUZZ_CHECK(check) \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) { return fuzzOne(check, data, size); }
