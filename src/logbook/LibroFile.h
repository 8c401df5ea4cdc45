#pragma once
// Log book files (.LBR): a count line, then sixteen quoted lines per contact, columns 1 to
// 16 of the contact table in order, Windows-1252, lines ended by CR LF. Column 0 (the
// running number) is not stored; readers number the rows afresh.
//
// The reader and the writer return what happened as Spanish sentences that name the file;
// the commands decide how to show them.
#include "common/GridStore.h"
#include <QString>

class GridModel;

inline constexpr int kLibroCols = 17;

struct LibroWrite
{
    bool ok = true;
    QString error;       // set when !ok: the file and the reason
    uint64_t hash = 0;   // ContentHash of the bytes written, when ok
    int64_t size = 0;
};

// Writes contact rows 1 .. Rows-1 of `libro` to `path`, replacing the file atomically: on any
// failure the previous file is left byte for byte as it was.
// A CR LF inside a value (with any CRs just before it) is written as a lone LF, so each value
// keeps to one CR LF line; a lone CR or LF is written as it is. A value holding a character the code page cannot hold,
// or a NUL, is never written as something else: nothing is written and the error names the
// contact and the column. `shownName` is the name used in messages (the path when empty).
LibroWrite EscribirLibro(const GridModel &libro, const QString &path, const QString &shownName = QString());

struct LibroRead
{
    bool ok = false;
    GridStore rows{kLibroCols}; // the file's contacts, column 0 empty; empty unless ok
    QString error;              // set when !ok: the file, the line and what is wrong
    qint64 line = 0;            // the line at fault, 0 when the file could not be read at all
    uint64_t hash = 0;          // ContentHash of the whole file, when ok
    int64_t size = 0;           // its bytes
};

// Reads a whole file into a new store; the caller appends it to the table and renumbers.
// Malformed files are refused as a whole: a first line that is not a whole number of
// contacts (or is negative, or more than the file could hold), fewer lines than announced,
// a value line shorter than two characters, or a NUL byte. Lines after the announced
// contacts are not read. A file that starts with the UTF-8 byte-order mark and is UTF-8
// throughout is read as UTF-8; every other file is Windows-1252.
LibroRead LeerLibro(const QString &path, const QString &shownName = QString());

// Column 0 of every contact row := 1, 2, 3, ...
void NumerarFilas(GridModel &libro);
