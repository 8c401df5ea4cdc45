#pragma once
// What kind of log file some bytes begin: the program's own log book, ADI or ADX.
#include <QByteArray>

enum class LogFileKind { Libro, Adi, Adx };

// By content, not name: ADX when the first non-blank bytes (after an optional UTF-8 BOM) are
// `<?xml` or `<ADX`; Libro when the first line is a whole decimal number (digits only) followed
// by a line end and a `"` line or the end; otherwise ADI when the bytes hold `<EOH>`, `<EOR>` or
// a `<NAME:digits` tag (any case); otherwise Libro (so its reader gives the reason).
LogFileKind sniffLogFile(const QByteArray &firstBytes); // a few KB of the file's start
