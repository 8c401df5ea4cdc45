#pragma once
// Whether bytes are UTF-8, fed piece by piece as a file is read: a character may straddle two
// pieces. Overlong forms, surrogates and values past U+10FFFF are not UTF-8. On the way it
// notes where the first character a log book cannot hold is (or a NUL): the bytes before it
// need no further look.
#include "ByteSearch.h"
#include "common/Cp1252.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace adif {

class Utf8Check
{
public:
    // `start`: the byte of the file the first byte added is.
    explicit Utf8Check(uint64_t start = 0) : m_seen(start) {}
    // False from the first byte that cannot be UTF-8 on.
    bool add(const char *data, size_t size)
    {
        const auto *s = reinterpret_cast<const unsigned char *>(data);
        const auto oddMask = byteScans().oddMask;
        const auto latinRun = byteScans().latinRun;
        size_t i = 0;
        while (i < size && m_ok) {
            if (m_needed == 0 && i + 64 <= size) {
                // Blocks of ASCII and the accented letters of most log books at once; in the
                // block after them, only the bytes other than ASCII and the NULs are looked at.
                i += latinRun(data + i, size - i);
                if (i + 64 > size)
                    continue;
                // NULs and two-byte characters (the accented letters) are taken here; anything
                // else goes byte by byte below.
                const size_t block = i;
                bool other = false;
                i = block + 64;
                for (uint64_t odd = oddMask(data + block); odd != 0;) {
                    const size_t j = block + size_t(__builtin_ctzll(odd));
                    size_t after = j + 1;
                    if (s[j] == 0) {
                        unstorable(j);
                    } else if (s[j] >= 0xC2 && s[j] <= 0xDF && j + 1 < size && (s[j + 1] & 0xC0) == 0x80) {
                        if (s[j] != 0xC3 && (s[j] != 0xC2 || s[j + 1] < 0xA0)) // not U+00A0 .. U+00FF
                            unstorable(j);
                        after = j + 2;
                    } else {
                        i = j;
                        other = true;
                        break;
                    }
                    if (after >= block + 64) {
                        i = after;
                        break;
                    }
                    odd &= ~uint64_t(0) << (after - block);
                }
                if (!other)
                    continue;
            }
            step(s, i);
        }
        m_seen += size;
        return m_ok;
    }
    // At the end of the bytes: nothing may be left half-way through a character.
    bool finish() const { return m_ok && m_needed == 0; }
    // Of all the bytes added, where the first character a log book cannot hold starts; ~0 for none.
    uint64_t firstUnstorable() const { return m_unstorable; }

private:
    // One byte, s[i], through the states of a character, whose bytes are kept until it is
    // whole (it may end in the next piece) and then looked at.
    void step(const unsigned char *s, size_t &i)
    {
        const unsigned char b = s[i++];
        if (m_needed > 0) {
            if (b < m_low || b > m_high)
                m_ok = false;
            m_low = 0x80;
            m_high = 0xBF;
            m_char[m_charSize++] = char(b);
            if (--m_needed == 0 && !cp1252::storable(std::string_view(m_char, m_charSize)))
                noteUnstorable(m_charStart);
            return;
        }
        if (b < 0x80) {
            if (b == 0)
                unstorable(i - 1);
            return;
        }
        m_char[0] = char(b);
        m_charSize = 1;
        m_charStart = m_seen + i - 1;
        if (b >= 0xC2 && b <= 0xDF) {
            m_needed = 1;
        } else if (b >= 0xE0 && b <= 0xEF) {
            m_needed = 2;
            m_low = b == 0xE0 ? 0xA0 : 0x80;
            m_high = b == 0xED ? 0x9F : 0xBF;
        } else if (b >= 0xF0 && b <= 0xF4) {
            m_needed = 3;
            m_low = b == 0xF0 ? 0x90 : 0x80;
            m_high = b == 0xF4 ? 0x8F : 0xBF;
        } else {
            m_ok = false;
        }
    }

    void unstorable(size_t i) { noteUnstorable(m_seen + i); }
    void noteUnstorable(uint64_t at)
    {
        if (m_unstorable == ~uint64_t(0))
            m_unstorable = at;
    }

    char m_char[4];
    size_t m_charSize = 0;
    uint64_t m_charStart = 0;

    uint64_t m_seen = 0;
    uint64_t m_unstorable = ~uint64_t(0);
    bool m_ok = true;
    int m_needed = 0;
    unsigned char m_low = 0x80, m_high = 0xBF;
};

} // namespace adif
