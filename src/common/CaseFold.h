#pragma once
// Case-folded sort keys whose byte order is the order of QString::compare with
// Qt::CaseInsensitive. That function compares the simple case folding of each UTF-16 code
// unit, so a key is the sequence of folded units, each written so that memcmp orders them
// by value: unit u is stored as u + 1 in the UTF-8 pattern (1 byte below U+007F, 2 below
// U+07FF, 3 or 4 above), which keeps numeric order and is prefix-free. Call signs and most
// Spanish text thus take one byte a character, and no unit is ever written as a zero byte,
// which is left to mark the end of a column.
#include <string>
#include <string_view>

namespace casefold {

// QChar::toCaseFolded of every BMP code unit (surrogates fold to themselves).
const char16_t *table();

// Appends the key of one UTF-8 text. A code point beyond the BMP keeps its high surrogate, as
// QString::compare compares that unit unfolded, and gets the low surrogate of its folded
// code point.
void appendKey(std::string &out, std::string_view utf8);

// Marks the end of one column of a key of several columns; sorts before any character.
inline void appendColumnEnd(std::string &out) { out.push_back('\0'); }

} // namespace casefold
