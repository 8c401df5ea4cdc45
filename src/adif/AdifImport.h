#pragma once
// Reading ADIF files (ADI or ADX, told apart by their content) into contact rows. Malformed
// files are refused as a whole with a Spanish sentence that names the file, the line and the
// reason, and give no rows.
#include "common/GridStore.h"

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <cstdint>
#include <utility>
#include <vector>

struct AdifImportOptions
{
    bool utcToLocal = true;
    int difUtc = 0;
    QLocale locale = QLocale::system();
    bool asWritten = false;              // QSO_DATE, TIME_ON and QSL_RCVD kept as the file has them
};

struct AdifRead
{
    bool ok = false;
    GridStore rows{17};                  // the contacts, column 0 empty; empty unless ok
    QString error; qint64 line = 0;      // when !ok
    std::vector<std::pair<QString, int64_t>> leftOut; // standard field without a column -> values left out, by field name
    uint64_t hash = 0; qint64 size = 0;  // ContentHash of the file's bytes as read, and the byte count
};

AdifRead importAdif(const QString &path, const QString &shownName, const AdifImportOptions &options);
AdifRead importAdifBytes(const QByteArray &bytes, const QString &shownName, const AdifImportOptions &options);
