#pragma once
// Reading any log file the program takes in: its own log books, and ADIF files (ADI or ADX),
// told apart by their content, not their name.
#include "history/FileSource.h"
#include "adif/AdifImport.h"
#include "common/GridStore.h"
#include <QString>
#include <utility>
#include <vector>

struct LogFileRead
{
    bool ok = false;
    QString error;                                    // Spanish, names the file, when !ok
    GridStore rows{17};                               // the contacts, "Nº" empty
    FileSource source;                                // how to read the same file again
    AdifFindings findings;                            // of an ADIF file
};

// What kind of log `path` holds, by its first bytes.
LogFormat logFormatOf(const QString &path);

// Reads `path` (`name` as the user typed it, for messages); ADIF dates and times become local
// ones through `utc`, written in the system's formats.
LogFileRead readLogFile(const QString &path, const QString &name, const UtcConversion &utc);

// Reads again a file read before, the same way (its skipped rows left out again); false with a
// Spanish reason when it is gone or is no longer the same file (another size or hash).
bool rereadLogFile(const FileSource &file, GridStore &rows, QString &problem);

// The hash of kind `kind` and the size of the file at `path`, read whole; false when it cannot
// be read.
bool hashFile(const QString &path, HashKind kind, uint64_t &hash, int64_t &size);

// Takes out the rows at `ascending` (row indexes, each once, in order); false, changing nothing,
// when they are not such indexes of `rows`.
bool dropRows(GridStore &rows, const std::vector<int64_t> &ascending);
