#pragma once
// A fast 64-bit hash of a file's bytes, fed piece by piece as the bytes are read, so a file
// can be recognised later (same size, same hash) without keeping or re-reading it. What this
// version writes is XXH3 (64 bits, seed 0, from libxxhash) over the XXH3 of each MiB of the
// bytes in turn (each as 8 bytes, least significant first): the MiB can be hashed apart, by
// threads reading parts of a file. Plain XXH3, and XXH64 with seed 0, are still
// computed for what earlier versions wrote (recovery journals name the hash they use).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

struct XXH3_state_s;

// The values recovery journals write for them.
enum class HashKind : uint8_t { Xxh64 = 0, Xxh3 = 1, Xxh3Pieces = 2 };
inline constexpr HashKind kHashKind = HashKind::Xxh3Pieces; // what this version writes
inline constexpr uint64_t kHashPiece = uint64_t(1) << 20;

class ContentHash
{
public:
    explicit ContentHash(HashKind kind = kHashKind);
    ContentHash(const ContentHash &other);
    ContentHash(ContentHash &&) noexcept;
    ContentHash &operator=(ContentHash other) noexcept;
    ~ContentHash();

    void add(const void *data, size_t size);
    uint64_t value() const;      // of everything added so far; adding may go on
    uint64_t size() const { return m_total; }
    HashKind kind() const { return m_kind; }

    // For Xxh3Pieces: `later` hashed the bytes from byte `laterFrom` on (a piece boundary), and
    // this one the bytes before, up to a piece boundary at or after that: this one goes on
    // as if it had hashed what `later` did. False (and nothing changes) when they do not fit.
    bool append(const ContentHash &later, uint64_t laterFrom);

    // The hash of bytes all at hand.
    static uint64_t of(const void *data, size_t size, HashKind kind = kHashKind);

private:
    struct Xxh3Free
    {
        void operator()(XXH3_state_s *state) const;
    };
    void endPiece();

    HashKind m_kind;
    std::unique_ptr<XXH3_state_s, Xxh3Free> m_xxh3; // for Xxh3Pieces, of the piece under way
    std::vector<uint64_t> m_pieces;                 // for Xxh3Pieces, of the pieces done
    uint64_t m_pieceFill = 0;
    // XXH64: four lanes, and the bytes short of a whole stripe.
    uint64_t m_acc[4] = {0x9E3779B185EBCA87ull + 0xC2B2AE3D27D4EB4Full, 0xC2B2AE3D27D4EB4Full, 0,
                         0 - 0x9E3779B185EBCA87ull};
    unsigned char m_pending[32] = {};
    size_t m_pendingSize = 0;
    uint64_t m_total = 0;
};
