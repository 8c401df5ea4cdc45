#pragma once
// Reading ADIF files (ADI or ADX, told apart by their content) into contact rows. Malformed
// files are refused as a whole with a Spanish sentence that names the file, the line and the
// reason, and give no rows.
#include "common/GridStore.h"
#include "common/UtcConversion.h"

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <cstdint>
#include <utility>
#include <vector>

struct AdifImportOptions
{
    UtcConversion utc;                   // how UTC becomes the table's local dates and times
    QLocale locale = QLocale::system();
    bool asWritten = false;              // QSO_DATE, TIME_ON and QSL_RCVD kept as the file has them
};

// What the import message tells beside the count of contacts.
struct AdifFindings
{
    std::vector<std::pair<QString, int64_t>> leftOut; // standard field without a column -> values left out, by field name
    // Rows (from 0) kept though they have no call sign, and cells holding a character a log book
    // cannot hold (row, column): how many, and the first few.
    int64_t withoutCall = 0; std::vector<int64_t> firstWithoutCall;
    int64_t unstorable = 0; std::vector<std::pair<int64_t, int>> firstUnstorable;
};

struct AdifRead : AdifFindings
{
    bool ok = false;
    GridStore rows{17};                  // the contacts, column 0 empty; empty unless ok
    QString error; qint64 line = 0;      // when !ok
    uint64_t hash = 0; qint64 size = 0;  // ContentHash of the file's bytes as read, and the byte count
};

AdifRead importAdif(const QString &path, const QString &shownName, const AdifImportOptions &options);
AdifRead importAdifBytes(const QByteArray &bytes, const QString &shownName, const AdifImportOptions &options);
