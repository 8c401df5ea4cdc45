#pragma once
// A fast 64-bit hash of a file's bytes, fed piece by piece as the bytes are read, so a file
// can be recognised later (same size, same hash) without keeping or re-reading it. It is the
// XXH64 function with seed 0: several gigabytes a second, and well mixed.
#include <cstddef>
#include <cstdint>

class ContentHash
{
public:
    void add(const void *data, size_t size);
    uint64_t value() const;      // of everything added so far; adding may go on
    uint64_t size() const { return m_total; }

private:
    uint64_t m_acc[4] = {0x9E3779B185EBCA87ull + 0xC2B2AE3D27D4EB4Full, 0xC2B2AE3D27D4EB4Full, 0,
                         0 - 0x9E3779B185EBCA87ull};
    unsigned char m_pending[32] = {};
    size_t m_pendingSize = 0;
    uint64_t m_total = 0;
};
