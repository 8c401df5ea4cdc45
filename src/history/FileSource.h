#pragma once
// A file whose contents went into the table (opened or imported): enough to read it again
// the same way and to recognise it is still the same file.
#include "common/ContentHash.h"
#include "common/UtcConversion.h"
#include <QString>
#include <cstdint>
#include <vector>

enum class LogFormat : uint8_t { Libro = 0, Adi = 1, Adx = 2 };

struct FileSource
{
    QString name;              // as the user typed it
    QString path;              // where it was read
    int64_t size = 0;
    uint64_t hash = 0;         // ContentHash of its bytes
    HashKind hashKind = kHashKind; // older recovery journals name files by another hash
    LogFormat format = LogFormat::Libro;
    // How an ADIF file's UTC dates and times became the table's local ones.
    UtcConversion utc;
    QString locale;            // QLocale name
    // Rows of the file left out, ascending: the log held those contacts already.
    std::vector<int64_t> skipped;
};
