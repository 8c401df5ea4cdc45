#include "CaseFold.h"
#include <QChar>
#include <memory>

namespace casefold {

const char16_t *table()
{
    // Built once; 128 KiB.
    static const std::unique_ptr<char16_t[]> folded = [] {
        auto t = std::make_unique<char16_t[]>(0x10000);
        for (char32_t u = 0; u < 0x10000; ++u)
            t[u] = char16_t(QChar::toCaseFolded(u));
        return t;
    }();
    return folded.get();
}

namespace {

// One byte per ASCII character whose folded unit + 1 stays below 0x80; 0 otherwise.
struct AsciiKeys
{
    unsigned char key[128];
    AsciiKeys()
    {
        const char16_t *fold = table();
        for (int c = 0; c < 128; ++c)
            key[c] = fold[c] + 1 < 0x80 ? static_cast<unsigned char>(fold[c] + 1) : 0;
    }
};

inline char *putUnit(char *out, char16_t unit)
{
    const char32_t v = char32_t(unit) + 1;
    if (v < 0x80) {
        *out++ = char(v);
    } else if (v < 0x800) {
        *out++ = char(0xC0 | (v >> 6));
        *out++ = char(0x80 | (v & 0x3F));
    } else if (v < 0x10000) {
        *out++ = char(0xE0 | (v >> 12));
        *out++ = char(0x80 | ((v >> 6) & 0x3F));
        *out++ = char(0x80 | (v & 0x3F));
    } else {
        *out++ = char(0xF0);
        *out++ = char(0x90);
        *out++ = char(0x80);
        *out++ = char(0x80);
    }
    return out;
}

inline bool isContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

} // namespace

void appendKey(std::string &out, std::string_view utf8)
{
    static const AsciiKeys ascii;
    const char16_t *fold = table();
    // No input byte yields more than three key bytes (a stray byte becomes U+FFFD).
    const size_t start = out.size();
    out.resize(start + 3 * utf8.size());
    char *o = out.data() + start;
    const auto *p = reinterpret_cast<const unsigned char *>(utf8.data());
    const auto *end = p + utf8.size();
    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            if (const unsigned char k = ascii.key[c]) {
                *o++ = char(k);
            } else {
                o = putUnit(o, fold[c]);
            }
            ++p;
            continue;
        }
        char32_t cp = 0xFFFD;
        int used = 1;
        if (c >= 0xC2 && c < 0xE0 && end - p >= 2 && isContinuation(p[1])) {
            cp = char32_t(c & 0x1F) << 6 | (p[1] & 0x3F);
            used = 2;
        } else if (c >= 0xE0 && c < 0xF0 && end - p >= 3 && isContinuation(p[1]) && isContinuation(p[2])) {
            const char32_t v = char32_t(c & 0x0F) << 12 | char32_t(p[1] & 0x3F) << 6 | (p[2] & 0x3F);
            if (v >= 0x800 && (v < 0xD800 || v > 0xDFFF)) {
                cp = v;
                used = 3;
            }
        } else if (c >= 0xF0 && c < 0xF5 && end - p >= 4 && isContinuation(p[1]) && isContinuation(p[2])
                   && isContinuation(p[3])) {
            const char32_t v = char32_t(c & 0x07) << 18 | char32_t(p[1] & 0x3F) << 12
                               | char32_t(p[2] & 0x3F) << 6 | (p[3] & 0x3F);
            if (v >= 0x10000 && v <= 0x10FFFF) {
                cp = v;
                used = 4;
            }
        }
        p += used;
        if (cp < 0x10000) {
            o = putUnit(o, fold[cp]);
        } else {
            o = putUnit(o, QChar::highSurrogate(cp));
            o = putUnit(o, QChar::lowSurrogate(QChar::toCaseFolded(cp)));
        }
    }
    out.resize(size_t(o - out.data()));
}

} // namespace casefold
