#include "common/Cp1252.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace cp1252 {
namespace {

// 0x80-0x9F are the only bytes that differ from Latin-1. The five the code page leaves
// undefined keep their own number, so every byte has exactly one character and back.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98-9F
};

constexpr std::array<char16_t, 256> makeDecodeTable()
{
    std::array<char16_t, 256> t{};
    for (int b = 0; b < 256; ++b)
        t[size_t(b)] = (b >= 0x80 && b < 0xA0) ? kHigh[b - 0x80] : char16_t(b);
    return t;
}
constexpr std::array<char16_t, 256> kDecode = makeDecodeTable();

// UTF-8 of the characters of bytes 0x80-0xFF, for the byte-to-UTF-8 path.
struct Utf8Seq
{
    uint8_t len;
    char bytes[3];
};

constexpr std::array<Utf8Seq, 128> makeUtf8Table()
{
    std::array<Utf8Seq, 128> t{};
    for (int b = 0x80; b < 0x100; ++b) {
        const char16_t c = kDecode[size_t(b)];
        Utf8Seq &s = t[size_t(b - 0x80)];
        if (c < 0x800) {
            s.len = 2;
            s.bytes[0] = char(0xC0 | (c >> 6));
            s.bytes[1] = char(0x80 | (c & 0x3F));
        } else {
            s.len = 3;
            s.bytes[0] = char(0xE0 | (c >> 12));
            s.bytes[1] = char(0x80 | ((c >> 6) & 0x3F));
            s.bytes[2] = char(0x80 | (c & 0x3F));
        }
    }
    return t;
}
constexpr std::array<Utf8Seq, 128> kUtf8 = makeUtf8Table();

constexpr uint64_t kHighBits = 0x8080808080808080ULL;

// Length of the leading run of bytes below 0x80, eight at a time.
inline size_t asciiPrefix(const unsigned char *s, size_t n)
{
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t w;
        std::memcpy(&w, s + i, 8);
        if (w & kHighBits)
            break;
    }
    while (i < n && s[i] < 0x80)
        ++i;
    return i;
}

// The byte for a character, or -1 when the code page has none.
inline int encodeChar(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return int(c);
    switch (c) {
    case 0x20AC: return 0x80;
    case 0x0081: return 0x81;
    case 0x201A: return 0x82;
    case 0x0192: return 0x83;
    case 0x201E: return 0x84;
    case 0x2026: return 0x85;
    case 0x2020: return 0x86;
    case 0x2021: return 0x87;
    case 0x02C6: return 0x88;
    case 0x2030: return 0x89;
    case 0x0160: return 0x8A;
    case 0x2039: return 0x8B;
    case 0x0152: return 0x8C;
    case 0x008D: return 0x8D;
    case 0x017D: return 0x8E;
    case 0x008F: return 0x8F;
    case 0x0090: return 0x90;
    case 0x2018: return 0x91;
    case 0x2019: return 0x92;
    case 0x201C: return 0x93;
    case 0x201D: return 0x94;
    case 0x2022: return 0x95;
    case 0x2013: return 0x96;
    case 0x2014: return 0x97;
    case 0x02DC: return 0x98;
    case 0x2122: return 0x99;
    case 0x0161: return 0x9A;
    case 0x203A: return 0x9B;
    case 0x0153: return 0x9C;
    case 0x009D: return 0x9D;
    case 0x017E: return 0x9E;
    case 0x0178: return 0x9F;
    default: return -1;
    }
}

inline bool isCont(unsigned char b) { return (b & 0xC0) == 0x80; }

// Decodes one UTF-8 sequence that starts with a byte >= 0x80 at s[0] (n > 0 bytes left).
// Returns the number of bytes consumed; cp is -1 for a malformed sequence, which then covers
// its longest valid beginning, so the bytes after it are read afresh.
inline size_t decodeUtf8(const unsigned char *s, size_t n, int32_t &cp)
{
    const unsigned char b0 = s[0];
    cp = -1;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        if (n < 2 || !isCont(s[1]))
            return 1;
        cp = ((b0 & 0x1F) << 6) | (s[1] & 0x3F);
        return 2;
    }
    if (b0 >= 0xE0 && b0 <= 0xEF) {
        // Second-byte limits exclude overlong forms (E0) and surrogates (ED).
        const unsigned char lo = b0 == 0xE0 ? 0xA0 : 0x80;
        const unsigned char hi = b0 == 0xED ? 0x9F : 0xBF;
        if (n < 2 || s[1] < lo || s[1] > hi)
            return 1;
        if (n < 3 || !isCont(s[2]))
            return 2;
        cp = ((b0 & 0x0F) << 12) | ((s[1] & 0x3F) << 6) | (s[2] & 0x3F);
        return 3;
    }
    if (b0 >= 0xF0 && b0 <= 0xF4) {
        const unsigned char lo = b0 == 0xF0 ? 0x90 : 0x80;
        const unsigned char hi = b0 == 0xF4 ? 0x8F : 0xBF;
        if (n < 2 || s[1] < lo || s[1] > hi)
            return 1;
        if (n < 3 || !isCont(s[2]))
            return 2;
        if (n < 4 || !isCont(s[3]))
            return 3;
        cp = ((b0 & 0x07) << 18) | ((s[1] & 0x3F) << 12) | ((s[2] & 0x3F) << 6) | (s[3] & 0x3F);
        return 4;
    }
    return 1; // stray continuation byte, C0, C1 or F5-FF
}

} // namespace

QString toUnicode(std::string_view bytes)
{
    QString out(qsizetype(bytes.size()), Qt::Uninitialized);
    char16_t *d = reinterpret_cast<char16_t *>(out.data());
    const auto *s = reinterpret_cast<const unsigned char *>(bytes.data());
    for (size_t i = 0, n = bytes.size(); i < n; ++i)
        d[i] = kDecode[s[i]];
    return out;
}

QByteArray fromUnicode(QStringView text, qsizetype *firstUnencodable)
{
    if (firstUnencodable)
        *firstUnencodable = -1;
    QByteArray out(text.size(), Qt::Uninitialized);
    char *d = out.data();
    const char16_t *s = text.utf16();
    const qsizetype n = text.size();
    qsizetype o = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = s[i];
        int b = c < 0x80 ? int(c) : encodeChar(c);
        if (b < 0) {
            if (firstUnencodable && *firstUnencodable < 0)
                *firstUnencodable = i;
            // A surrogate pair is one character and becomes one '?'.
            if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(s[i + 1]))
                ++i;
            b = '?';
        }
        d[o++] = char(b);
    }
    out.truncate(o);
    return out;
}

bool canEncode(QStringView text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x80 && encodeChar(c.unicode()) < 0)
            return false;
    }
    return true;
}

void appendAsUtf8(std::string &out, std::string_view cp1252Bytes)
{
    const auto *s = reinterpret_cast<const unsigned char *>(cp1252Bytes.data());
    const size_t n = cp1252Bytes.size();
    const size_t prefix = asciiPrefix(s, n);
    if (prefix == n) {
        out.append(cp1252Bytes);
        return;
    }

    // Size the output exactly first: growing in place would fill the string twice.
    size_t outLen = n;
    for (size_t i = prefix; i < n;) {
        i += asciiPrefix(s + i, n - i);
        for (; i < n && s[i] >= 0x80; ++i)
            outLen += kUtf8[s[i] - 0x80].len - 1;
    }

    const size_t old = out.size();
    out.resize(old + outLen);
    char *d = out.data() + old;
    std::memcpy(d, s, prefix);
    d += prefix;
    for (size_t i = prefix; i < n;) {
        const size_t run = asciiPrefix(s + i, n - i);
        std::memcpy(d, s + i, run);
        d += run;
        i += run;
        for (; i < n && s[i] >= 0x80; ++i) {
            const Utf8Seq &q = kUtf8[s[i] - 0x80];
            d[0] = q.bytes[0];
            d[1] = q.bytes[1];
            if (q.len == 3)
                d[2] = q.bytes[2];
            d += q.len;
        }
    }
}

bool appendFromUtf8(std::string &out, std::string_view utf8)
{
    const auto *s = reinterpret_cast<const unsigned char *>(utf8.data());
    const size_t n = utf8.size();
    const size_t prefix = asciiPrefix(s, n);
    if (prefix == n) {
        out.append(utf8);
        return true;
    }

    // Every character, and every malformed piece, gives one byte: the output is never longer.
    const size_t old = out.size();
    out.resize(old + n);
    char *const start = out.data() + old;
    char *d = start;
    std::memcpy(d, s, prefix);
    d += prefix;
    bool ok = true;
    for (size_t i = prefix; i < n;) {
        const size_t run = asciiPrefix(s + i, n - i);
        std::memcpy(d, s + i, run);
        d += run;
        i += run;
        if (i == n)
            break;
        int32_t cp;
        i += decodeUtf8(s + i, n - i, cp);
        const int b = cp < 0 ? -1 : encodeChar(char32_t(cp));
        if (b < 0) {
            ok = false;
            *d++ = '?';
        } else {
            *d++ = char(b);
        }
    }
    out.resize(old + size_t(d - start));
    return ok;
}

qsizetype firstUnstorable(QStringView text)
{
    qsizetype bad = text.indexOf(QChar(u'\0'));
    qsizetype unencodable = -1;
    fromUnicode(bad < 0 ? text : text.first(bad), &unencodable);
    return unencodable >= 0 ? unencodable : bad;
}

bool storable(std::string_view utf8)
{
    constexpr uint64_t kHigh = 0x8080808080808080ull, kLow7 = 0x7F7F7F7F7F7F7F7Full;
    const auto *s = reinterpret_cast<const unsigned char *>(utf8.data());
    const size_t n = utf8.size();
    for (size_t i = 0; i < n;) {
        // ASCII without NUL a word at a time: no byte with its high bit, none zero.
        for (uint64_t w; i + 8 <= n; i += 8) {
            std::memcpy(&w, s + i, 8);
            if ((w & kHigh) | ~(((w & kLow7) + kLow7) | w | kLow7))
                break;
        }
        if (i == n)
            break;
        if (s[i] < 0x80) {
            if (s[i++] == 0)
                return false;
            continue;
        }
        int32_t cp;
        i += decodeUtf8(s + i, n - i, cp);
        if (cp < 0 || encodeChar(char32_t(cp)) < 0)
            return false;
    }
    return true;
}

} // namespace cp1252
