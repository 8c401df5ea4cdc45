#pragma once
// What the recovery journal's reader and its replay promise for any bytes at all.
#include "ReaderChecks.h"

// The journal: read without fault; the whole frames it finds read back the same on their own,
// with no damaged end; replayed onto a table (every file it names unreadable), it rebuilds a
// table that keeps a heading row, or refuses, and never reaches outside the table.
// The first byte chooses how the rest is taken: as the file itself, or as a header and frames
// that get their lengths and checksums here, so the fuzzer reaches the changes inside them.
QString checkJournal(const CheckFiles &files, const QByteArray &bytes);
