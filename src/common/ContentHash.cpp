#include "ContentHash.h"
#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#if defined(__x86_64__)
#include <xxh_x86dispatch.h> // the library's choice of SSE2, AVX2 or AVX-512 at run time
#else
#include <xxhash.h>
#endif

namespace {

constexpr uint64_t kP1 = 0x9E3779B185EBCA87ull;
constexpr uint64_t kP2 = 0xC2B2AE3D27D4EB4Full;
constexpr uint64_t kP3 = 0x165667B19E3779F9ull;
constexpr uint64_t kP4 = 0x85EBCA77C2B2AE63ull;
constexpr uint64_t kP5 = 0x27D4EB2F165667C5ull;

inline uint64_t rotl(uint64_t x, int r) { return (x << r) | (x >> (64 - r)); }

// Little-endian reads, whatever the machine, so a hash means the same everywhere.
inline uint64_t read64(const unsigned char *p)
{
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

inline uint32_t read32(const unsigned char *p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// The hash of the pieces' hashes, each as 8 bytes least significant first, and of the piece
// under way when there is one.
uint64_t ofPieces(const uint64_t *pieces, size_t count, const uint64_t *last)
{
    // A journal's step is one piece: its bytes stay on the stack.
    unsigned char near[64];
    std::vector<unsigned char> far;
    const size_t size = (count + (last ? 1 : 0)) * 8;
    if (size > sizeof near)
        far.resize(size);
    unsigned char *const bytes = size > sizeof near ? far.data() : near;
    unsigned char *p = bytes;
    const auto put = [&p](uint64_t v) {
        for (int i = 0; i < 8; ++i, v >>= 8)
            *p++ = static_cast<unsigned char>(v);
    };
    for (size_t k = 0; k < count; ++k)
        put(pieces[k]);
    if (last)
        put(*last);
    return XXH3_64bits(bytes, size);
}

inline uint64_t round(uint64_t acc, uint64_t input)
{
    acc += input * kP2;
    return rotl(acc, 31) * kP1;
}

inline uint64_t merge(uint64_t h, uint64_t acc)
{
    h ^= round(0, acc);
    return h * kP1 + kP4;
}

inline void stripe(uint64_t *acc, const unsigned char *p)
{
    acc[0] = round(acc[0], read64(p));
    acc[1] = round(acc[1], read64(p + 8));
    acc[2] = round(acc[2], read64(p + 16));
    acc[3] = round(acc[3], read64(p + 24));
}

} // namespace

void ContentHash::Xxh3Free::operator()(XXH3_state_s *state) const
{
    XXH3_freeState(state);
}

ContentHash::ContentHash(HashKind kind) : m_kind(kind)
{
    if (kind == HashKind::Xxh64)
        return;
    m_xxh3.reset(XXH3_createState());
    if (!m_xxh3)
        throw std::bad_alloc();
    XXH3_64bits_reset(m_xxh3.get());
}

ContentHash::ContentHash(const ContentHash &other)
    : m_kind(other.m_kind), m_pieces(other.m_pieces), m_pieceFill(other.m_pieceFill),
      m_pendingSize(other.m_pendingSize), m_total(other.m_total)
{
    std::memcpy(m_acc, other.m_acc, sizeof m_acc);
    std::memcpy(m_pending, other.m_pending, sizeof m_pending);
    if (other.m_xxh3) {
        m_xxh3.reset(XXH3_createState());
        if (!m_xxh3)
            throw std::bad_alloc();
        XXH3_copyState(m_xxh3.get(), other.m_xxh3.get());
    }
}

ContentHash::ContentHash(ContentHash &&) noexcept = default;
ContentHash::~ContentHash() = default;

ContentHash &ContentHash::operator=(ContentHash other) noexcept
{
    m_kind = other.m_kind;
    m_xxh3 = std::move(other.m_xxh3);
    m_pieces = std::move(other.m_pieces);
    m_pieceFill = other.m_pieceFill;
    std::memcpy(m_acc, other.m_acc, sizeof m_acc);
    std::memcpy(m_pending, other.m_pending, sizeof m_pending);
    m_pendingSize = other.m_pendingSize;
    m_total = other.m_total;
    return *this;
}

uint64_t ContentHash::of(const void *data, size_t size, HashKind kind)
{
    if (kind == HashKind::Xxh3)
        return XXH3_64bits(data, size);
    if (kind == HashKind::Xxh3Pieces) {
        const auto *p = static_cast<const unsigned char *>(data);
        if (size <= kHashPiece) {
            const uint64_t only = XXH3_64bits(data, size);
            return ofPieces(nullptr, 0, size > 0 ? &only : nullptr);
        }
        std::vector<uint64_t> pieces;
        for (size_t at = 0; at < size; at += kHashPiece)
            pieces.push_back(XXH3_64bits(p + at, std::min<size_t>(kHashPiece, size - at)));
        return ofPieces(pieces.data(), pieces.size(), nullptr);
    }
    ContentHash hash(kind);
    hash.add(data, size);
    return hash.value();
}

void ContentHash::add(const void *data, size_t size)
{
    m_total += size;
    if (m_kind == HashKind::Xxh3Pieces) {
        auto p = static_cast<const unsigned char *>(data);
        while (size > 0) {
            const size_t take = std::min<size_t>(size, kHashPiece - m_pieceFill);
            XXH3_64bits_update(m_xxh3.get(), p, take);
            m_pieceFill += take;
            p += take;
            size -= take;
            if (m_pieceFill == kHashPiece)
                endPiece();
        }
        return;
    }
    if (m_xxh3) {
        XXH3_64bits_update(m_xxh3.get(), data, size);
        return;
    }
    auto p = static_cast<const unsigned char *>(data);
    if (m_pendingSize > 0) {
        const size_t take = size < 32 - m_pendingSize ? size : 32 - m_pendingSize;
        std::memcpy(m_pending + m_pendingSize, p, take);
        m_pendingSize += take;
        p += take;
        size -= take;
        if (m_pendingSize < 32)
            return;
        stripe(m_acc, m_pending);
        m_pendingSize = 0;
    }
    for (; size >= 32; p += 32, size -= 32)
        stripe(m_acc, p);
    std::memcpy(m_pending, p, size);
    m_pendingSize = size;
}

void ContentHash::endPiece()
{
    m_pieces.push_back(XXH3_64bits_digest(m_xxh3.get()));
    XXH3_64bits_reset(m_xxh3.get());
    m_pieceFill = 0;
}

bool ContentHash::append(const ContentHash &later, uint64_t laterFrom)
{
    const uint64_t end = laterFrom + later.m_total;
    if (m_kind != HashKind::Xxh3Pieces || later.m_kind != HashKind::Xxh3Pieces || m_pieceFill != 0
        || laterFrom % kHashPiece != 0 || m_total < laterFrom || m_total > end)
        return false;
    if (m_total == end)
        return true;
    const auto skip = std::ptrdiff_t((m_total - laterFrom) / kHashPiece); // pieces both hashed
    m_pieces.insert(m_pieces.end(), later.m_pieces.begin() + skip, later.m_pieces.end());
    XXH3_copyState(m_xxh3.get(), later.m_xxh3.get());
    m_pieceFill = later.m_pieceFill;
    m_total = end;
    return true;
}

uint64_t ContentHash::value() const
{
    if (m_kind == HashKind::Xxh3Pieces) {
        const uint64_t last = XXH3_64bits_digest(m_xxh3.get());
        return ofPieces(m_pieces.data(), m_pieces.size(), m_pieceFill > 0 ? &last : nullptr);
    }
    if (m_xxh3)
        return XXH3_64bits_digest(m_xxh3.get());
    uint64_t h;
    if (m_total >= 32) {
        h = rotl(m_acc[0], 1) + rotl(m_acc[1], 7) + rotl(m_acc[2], 12) + rotl(m_acc[3], 18);
        for (uint64_t acc : m_acc)
            h = merge(h, acc);
    } else {
        h = m_acc[2] + kP5; // the seed, 0, plus P5
    }
    h += m_total;
    const unsigned char *p = m_pending;
    size_t left = m_pendingSize;
    for (; left >= 8; p += 8, left -= 8)
        h = rotl(h ^ round(0, read64(p)), 27) * kP1 + kP4;
    if (left >= 4) {
        h = rotl(h ^ (uint64_t(read32(p)) * kP1), 23) * kP2 + kP3;
        p += 4;
        left -= 4;
    }
    for (; left > 0; ++p, --left)
        h = rotl(h ^ (*p * kP5), 11) * kP1;
    h ^= h >> 33;
    h *= kP2;
    h ^= h >> 29;
    h *= kP3;
    h ^= h >> 32;
    return h;
}
