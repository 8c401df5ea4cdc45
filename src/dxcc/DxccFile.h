#pragma once
// dxcc.dat: the DXCC reference list. A count line N, then three quoted lines per entry
// (prefix, zone, continent), Windows-1252, CR LF. Read only: nothing in the program writes it.
// The reader gives back the table or a Spanish sentence; the window decides how to show it.
#include "common/GridStore.h"
#include <QString>

inline constexpr int kDxccCols = 3;

// The name the program looks for.
QString dxccFileName();

// The plain file in `folder` named dxcc.dat in any letter case, as a path; empty when there is
// none. The exact lower-case name wins when several casings exist.
QString findDxccFile(const QString &folder);

struct DxccRead
{
    bool ok = false;
    GridStore entries{kDxccCols};   // entry i in row i - 1, file order, cells as UTF-8
    QString error;                  // Spanish sentence naming the file (and line), set when !ok
    qint64 line = 0;                // the line the problem is on, 0 when it is not a line's fault
};

// Reads the whole list or nothing. Lines after the last entry are not read. Damage is reported
// at its line: a first line that is not a count, a count the file is too small to hold (refused
// before anything is allocated for it), a file that ends before its count, a value line shorter
// than its two enclosing characters.
DxccRead readDxccFile(const QString &path);
