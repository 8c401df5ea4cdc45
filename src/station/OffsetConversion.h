#pragma once
// The UTC offset box holds free text; this turns it into the whole-hour offset the clock adds
// to the local hour, the way the classic leading-number reader and integer rounding did.
#include <QString>
#include <QtGlobal>

struct OffsetResult
{
    bool ok = true;      // false: the value does not fit in 16 bits; leave the offset as it was
    qint16 value = 0;
};

// Reads the number the text starts with:
// - blanks, tabs and line feeds are ignored wherever they stand ("1 0" is 10);
// - an optional sign, digits, an optional "." with digits, an optional exponent (E or D in
//   either case, optional sign, digits); reading stops at the first other character;
// - "&H" (hexadecimal) and "&O" (octal), either case, take the digits that follow. As in the
//   classic reader, up to four hex digits (six octal, up to 177777) are a 16-bit pattern and
//   up to eight hex digits (up to octal 37777777777) a 32-bit one, so &HFFFF and &HFFFFFFFF
//   are both -1 and &H8000 is -32768, while &H10000 (65536) is out of range;
// - no number at all gives 0.
// The written value is rounded exactly (no binary floating point) to the nearest whole number,
// halves to the even one; anything outside -32768..32767 is not ok. Long digit strings and
// huge exponents cost time linear in the text and never overflow.
OffsetResult offsetFromText(const QString &text);
