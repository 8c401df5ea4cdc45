#pragma once
// Writing the contact table as an ADIF file, ADI or ADX. The writer returns what happened as
// Spanish sentences that name the file; the commands decide how to show them.
#include "common/GridStore.h"
#include "common/UtcConversion.h"

#include <QByteArray>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringView>
#include <cstdint>
#include <functional>
#include <vector>

struct AdifExportOptions
{
    bool adx = false;                    // ADX instead of ADI
    UtcConversion utc;                   // how the local Fecha/Hora become UTC
    QLocale locale = QLocale::system();  // how Fecha and Hora were written
    QDateTime created;                   // CREATED_TIMESTAMP, UTC
    QString programVersion;              // PROGRAMVERSION
    std::function<int(QStringView call)> dxccOf; // may be empty
};

struct AdifExport
{
    bool ok = false;
    QString error;                        // Spanish, names the file, when !ok
    int64_t written = 0;                  // records written
    int64_t incomplete = 0;               // records lacking QSO_DATE, TIME_ON or CALL (still written)
    std::vector<int64_t> firstIncomplete; // up to the first 5 such table rows (1-based table row numbers)
    int64_t unclearTimes = 0;             // local times in an hour skipped or repeated by a change of clocks
};

// Writes contact rows 1 .. rows()-1 of `table` (row 0 is the heading row) atomically through
// QSaveFile: on failure the previous file is untouched. `shownName` is the name used in messages.
AdifExport exportAdif(const GridStore &table, const QString &path, const QString &shownName,
                      const AdifExportOptions &options);
// The same bytes into memory (for tests and the fuzz round trip).
QByteArray adifBytes(const GridStore &table, const AdifExportOptions &options, AdifExport *report = nullptr);
