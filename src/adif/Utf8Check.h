#pragma once
// Whether bytes are UTF-8, fed piece by piece as a file is read: a character may straddle two
// pieces. Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace adif {

class Utf8Check
{
public:
    // False from the first byte that cannot be UTF-8 on.
    bool add(const char *data, size_t size)
    {
        const auto *s = reinterpret_cast<const unsigned char *>(data);
        size_t i = 0;
        while (i < size && m_ok) {
            if (m_needed == 0) {
                // Plain ASCII 32 and then eight bytes at a time.
                for (; i + 32 <= size; i += 32) {
                    uint64_t a, b, c, d;
                    std::memcpy(&a, s + i, 8);
                    std::memcpy(&b, s + i + 8, 8);
                    std::memcpy(&c, s + i + 16, 8);
                    std::memcpy(&d, s + i + 24, 8);
                    if ((a | b | c | d) & 0x8080808080808080ull)
                        break;
                }
                for (uint64_t w; i + 8 <= size; i += 8) {
                    std::memcpy(&w, s + i, 8);
                    if (w & 0x8080808080808080ull)
                        break;
                }
                if (i >= size)
                    break;
                const unsigned char b = s[i++];
                if (b < 0x80)
                    continue;
                // A two-byte character (the accented letters) whole, without the state below.
                if (b >= 0xC2 && b <= 0xDF && i < size) {
                    if ((s[i] & 0xC0) != 0x80)
                        m_ok = false;
                    ++i;
                    continue;
                }
                if (b >= 0xC2 && b <= 0xDF) {
                    m_needed = 1;
                    m_low = 0x80;
                    m_high = 0xBF;
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
            } else {
                const unsigned char b = s[i++];
                if (b < m_low || b > m_high)
                    m_ok = false;
                m_low = 0x80;
                m_high = 0xBF;
                --m_needed;
            }
        }
        return m_ok;
    }
    // At the end of the bytes: nothing may be left half-way through a character.
    bool finish() const { return m_ok && m_needed == 0; }

private:
    bool m_ok = true;
    int m_needed = 0;
    unsigned char m_low = 0x80, m_high = 0xBF;
};

} // namespace adif
