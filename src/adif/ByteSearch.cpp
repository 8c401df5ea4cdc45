#include "ByteSearch.h"

#include <cstring>
#include <initializer_list>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define ORVANEL_X86 1
#endif

namespace adif {
namespace {

constexpr uint64_t kOnes = 0x0101010101010101ull;
constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;

// The high bit of each byte of `w` that is zero, exactly (no borrow between bytes).
inline uint64_t zeroBytes(uint64_t w)
{
    return ~(((w & kLow7) + kLow7) | w | kLow7);
}

// The high bits of a word's bytes gathered into 8 bits, byte 0 lowest.
inline uint64_t gather(uint64_t highBits)
{
    return ((highBits >> 7) * 0x0102040810204080ull) >> 56;
}

inline uint64_t word(const char *p)
{
    uint64_t w;
    std::memcpy(&w, p, 8);
    return w;
}

uint64_t ltMaskPortable(const char *data)
{
    uint64_t mask = 0;
    for (int k = 0; k < 8; ++k)
        mask |= gather(zeroBytes(word(data + 8 * k) ^ (kOnes * '<'))) << (8 * k);
    return mask;
}

uint64_t oddMaskPortable(const char *data)
{
    uint64_t mask = 0;
    for (int k = 0; k < 8; ++k) {
        const uint64_t w = word(data + 8 * k);
        mask |= gather((w & ~kLow7) | zeroBytes(w)) << (8 * k);
    }
    return mask;
}

// A block of Latin letters: every byte other than ASCII is 0xC3 or the continuation byte
// right after one (so no NUL, no letter cut at the block's end), given the masks of the bytes
// other than ASCII or NUL, of the 0xC3 and of the continuation bytes.
inline bool latinBlock(uint64_t odd, uint64_t c3, uint64_t continuation)
{
    return continuation == c3 << 1 && odd == (c3 | continuation) && (c3 >> 63) == 0;
}

size_t latinRunPortable(const char *data, size_t size)
{
    size_t at = 0;
    for (; at + 64 <= size; at += 64) {
        uint64_t odd = 0, c3 = 0, continuation = 0;
        for (int k = 0; k < 8; ++k) {
            const uint64_t w = word(data + at + 8 * k);
            const uint64_t high = w & ~kLow7;
            odd |= gather(high | zeroBytes(w)) << (8 * k);
            c3 |= gather(zeroBytes(w ^ (kOnes * 0xC3))) << (8 * k);
            continuation |= gather(high & ~(w << 1)) << (8 * k); // 10xxxxxx
        }
        if (!latinBlock(odd, c3, continuation))
            break;
    }
    return at;
}

#ifdef ORVANEL_X86
__attribute__((target("sse2"))) uint64_t ltMaskSse2(const char *data)
{
    const __m128i lt = _mm_set1_epi8('<');
    uint64_t mask = 0;
    for (int k = 0; k < 4; ++k) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + 16 * k));
        mask |= uint64_t(uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(v, lt)))) << (16 * k);
    }
    return mask;
}

__attribute__((target("sse2"))) uint64_t oddMaskSse2(const char *data)
{
    const __m128i zero = _mm_setzero_si128();
    uint64_t mask = 0;
    for (int k = 0; k < 4; ++k) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + 16 * k));
        const __m128i odd = _mm_or_si128(v, _mm_cmpeq_epi8(v, zero)); // a high bit for either
        mask |= uint64_t(uint32_t(_mm_movemask_epi8(odd))) << (16 * k);
    }
    return mask;
}

__attribute__((target("avx2"))) uint64_t ltMaskAvx2(const char *data)
{
    const __m256i lt = _mm256_set1_epi8('<');
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(data));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(data + 32));
    return uint64_t(uint32_t(_mm256_movemask_epi8(_mm256_cmpeq_epi8(a, lt))))
           | uint64_t(uint32_t(_mm256_movemask_epi8(_mm256_cmpeq_epi8(b, lt)))) << 32;
}

__attribute__((target("avx2"))) uint64_t oddMaskAvx2(const char *data)
{
    const __m256i zero = _mm256_setzero_si256();
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(data));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(data + 32));
    const __m256i oddA = _mm256_or_si256(a, _mm256_cmpeq_epi8(a, zero));
    const __m256i oddB = _mm256_or_si256(b, _mm256_cmpeq_epi8(b, zero));
    return uint64_t(uint32_t(_mm256_movemask_epi8(oddA))) | uint64_t(uint32_t(_mm256_movemask_epi8(oddB))) << 32;
}

__attribute__((target("sse2"))) size_t latinRunSse2(const char *data, size_t size)
{
    const __m128i zero = _mm_setzero_si128(), c3 = _mm_set1_epi8(char(0xC3)), belowC0 = _mm_set1_epi8(char(0xC0));
    size_t at = 0;
    for (; at + 64 <= size; at += 64) {
        uint64_t odd = 0, lead = 0, continuation = 0;
        for (int k = 0; k < 4; ++k) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + at + 16 * k));
            odd |= uint64_t(uint32_t(_mm_movemask_epi8(_mm_or_si128(v, _mm_cmpeq_epi8(v, zero))))) << (16 * k);
            lead |= uint64_t(uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(v, c3)))) << (16 * k);
            // As signed bytes the continuation bytes 0x80 .. 0xBF are those below 0xC0.
            continuation |= uint64_t(uint32_t(_mm_movemask_epi8(_mm_cmpgt_epi8(belowC0, v)))) << (16 * k);
        }
        if (!latinBlock(odd, lead, continuation))
            break;
    }
    return at;
}

// The masks of latinBlock() for 32 bytes, to bits `shift` on.
__attribute__((target("avx2"))) inline void latinMasksAvx2(const char *p, int shift, uint64_t &odd, uint64_t &lead,
                                                            uint64_t &continuation)
{
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p));
    odd |= uint64_t(uint32_t(_mm256_movemask_epi8(_mm256_or_si256(v, _mm256_cmpeq_epi8(v, _mm256_setzero_si256())))))
           << shift;
    lead |= uint64_t(uint32_t(_mm256_movemask_epi8(_mm256_cmpeq_epi8(v, _mm256_set1_epi8(char(0xC3)))))) << shift;
    // As signed bytes the continuation bytes 0x80 .. 0xBF are those below 0xC0.
    continuation |= uint64_t(uint32_t(_mm256_movemask_epi8(_mm256_cmpgt_epi8(_mm256_set1_epi8(char(0xC0)), v))))
                    << shift;
}

__attribute__((target("avx2"))) size_t latinRunAvx2(const char *data, size_t size)
{
    size_t at = 0;
    for (; at + 64 <= size; at += 64) {
        uint64_t odd = 0, lead = 0, continuation = 0;
        latinMasksAvx2(data + at, 0, odd, lead, continuation);
        latinMasksAvx2(data + at + 32, 32, odd, lead, continuation);
        if (!latinBlock(odd, lead, continuation))
            break;
    }
    return at;
}
#endif

bool available(ByteSearch kind)
{
#ifdef ORVANEL_X86
    if (kind == ByteSearch::Avx2)
        return __builtin_cpu_supports("avx2");
    if (kind == ByteSearch::Sse2)
        return __builtin_cpu_supports("sse2");
#endif
    return kind == ByteSearch::Portable;
}

ByteScans scansOf(ByteSearch kind)
{
#ifdef ORVANEL_X86
    if (kind == ByteSearch::Avx2)
        return {ltMaskAvx2, oddMaskAvx2, latinRunAvx2};
    if (kind == ByteSearch::Sse2)
        return {ltMaskSse2, oddMaskSse2, latinRunSse2};
#endif
    return {ltMaskPortable, oddMaskPortable, latinRunPortable};
}

ByteSearch best()
{
    for (const ByteSearch kind : {ByteSearch::Avx2, ByteSearch::Sse2}) {
        if (available(kind))
            return kind;
    }
    return ByteSearch::Portable;
}

struct Chosen
{
    ByteSearch kind = best();
    ByteScans scans = scansOf(kind);
};

Chosen &chosen()
{
    static Chosen c;
    return c;
}

} // namespace

const ByteScans &byteScans()
{
    return chosen().scans;
}

ByteSearch byteSearch()
{
    return chosen().kind;
}

bool setByteSearch(ByteSearch kind)
{
    if (!available(kind))
        return false;
    chosen().kind = kind;
    chosen().scans = scansOf(kind);
    return true;
}

size_t plainRun(const char *data, size_t size)
{
    const auto oddMask = byteScans().oddMask;
    size_t at = 0;
    for (; at + 64 <= size; at += 64) {
        if (const uint64_t odd = oddMask(data + at))
            return at + size_t(__builtin_ctzll(odd));
    }
    while (at < size && static_cast<unsigned char>(data[at]) - 1u < 0x7Fu)
        ++at;
    return at;
}

void LtFinder::load(size_t block)
{
    m_block = block;
    if (block + 64 <= m_end) {
        m_mask = m_scan(m_data + block);
        return;
    }
    // The last bytes, short of a whole block.
    m_mask = 0;
    for (size_t k = block; k < m_end; ++k) {
        if (m_data[k] == '<')
            m_mask |= uint64_t(1) << (k - block);
    }
}

} // namespace adif
