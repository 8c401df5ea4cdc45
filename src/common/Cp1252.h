#pragma once
// Windows-1252, the code page of every file the program reads or writes.
// Table driven both ways: faster than Qt's converters and exact for the five bytes the
// code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D), which map to U+0081, U+008D,
// U+008F, U+0090 and U+009D and back, so any file round-trips byte for byte.
#include <QString>
#include <QByteArray>
#include <string>
#include <string_view>

namespace cp1252 {

// Bytes to text.
QString toUnicode(std::string_view bytes);

// Text to bytes. Characters the code page cannot hold become '?'; when firstUnencodable is
// given it receives the index of the first such character, or -1 when there is none.
QByteArray fromUnicode(QStringView text, qsizetype *firstUnencodable = nullptr);
bool canEncode(QStringView text);

// Fast paths between the file bytes and the grid store, which keeps cells as UTF-8.
// appendAsUtf8 never fails. appendFromUtf8 returns false (and writes '?') when the UTF-8
// holds a character the code page cannot hold.
void appendAsUtf8(std::string &out, std::string_view cp1252Bytes);
bool appendFromUtf8(std::string &out, std::string_view utf8);

// What a log book can hold: characters of the code page, and no NUL. The first character that
// is not (-1 for none); and the same test on the grid store's UTF-8, without allocating.
qsizetype firstUnstorable(QStringView text);
bool storable(std::string_view utf8);

} // namespace cp1252
