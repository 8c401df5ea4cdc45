#pragma once
// The byte scans an ADI file's reading rests on, 64 bytes at a time: where the '<' are (every
// tag starts with one), and whether bytes are plain ASCII without NUL or the accented letters
// most logs hold (then they need no further UTF-8 check, and a log book holds them as they
// are). With AVX2 or SSE2 where the processor
// has them, with plain 64-bit words elsewhere; the best one the processor offers is chosen
// at the first use, and tests can force each.
#include <cstddef>
#include <cstdint>

namespace adif {

enum class ByteSearch : uint8_t { Portable, Sse2, Avx2 };

struct ByteScans
{
    // Bit k set when data[k] is '<', for data[0 .. 64).
    uint64_t (*ltMask)(const char *data);
    // Bit k set when data[k] is 0x80 or above, or NUL, for data[0 .. 64).
    uint64_t (*oddMask)(const char *data);
    // How many bytes from `data` on, in whole blocks of 64 up to `size`, are ASCII other than
    // NUL or the letters U+00C0 .. U+00FF in UTF-8 (0xC3 and a continuation byte), with no
    // letter cut at either end of a block: bytes that are UTF-8 a log book can hold.
    size_t (*latinRun)(const char *data, size_t size);
};

const ByteScans &byteScans();
ByteSearch byteSearch();
// False (and nothing changes) when the processor lacks it.
bool setByteSearch(ByteSearch kind);

// The number of bytes from `data` on, up to `size`, that are ASCII and not NUL.
size_t plainRun(const char *data, size_t size);

// The first '<' from a position on, found 64 bytes at a time and remembered as a bit mask, so
// the tags of a block cost one scan between them. The bytes may grow at the end or be replaced
// (reset() then).
class LtFinder
{
public:
    void reset(const char *data, size_t end)
    {
        m_data = data;
        m_end = end;
        m_block = kNone;
    }
    // The first '<' at or after `from`, or the end of the bytes when there is none.
    size_t next(size_t from)
    {
        size_t block = from & ~size_t(63);
        if (block != m_block)
            load(block);
        uint64_t found = m_mask & (~uint64_t(0) << (from & 63));
        while (found == 0) {
            block += 64;
            if (block >= m_end)
                return m_end;
            load(block);
            found = m_mask;
        }
        const size_t at = block + size_t(__builtin_ctzll(found));
        return at < m_end ? at : m_end;
    }

private:
    static constexpr size_t kNone = ~size_t(0);
    void load(size_t block);

    const char *m_data = nullptr;
    size_t m_end = 0;
    size_t m_block = kNone;
    uint64_t m_mask = 0;
    uint64_t (*m_scan)(const char *) = byteScans().ltMask;
};

} // namespace adif
