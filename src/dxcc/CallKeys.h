#pragma once
// Call signs as keys: each distinct call gets a small number. Keys live side by side in one
// buffer and the table holds numbers only, so a million contacts cost no allocation each.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CallKeys
{
public:
    static constexpr uint32_t kNone = 0xFFFFFFFFu;

    // The key of a call sign cell: blanks around it dropped, letters in capitals.
    static std::string_view normalize(std::string_view cell, std::string &buffer);

    void clear();
    uint32_t size() const { return uint32_t(m_offsets.size() - 1); }
    uint32_t find(std::string_view key) const;
    uint32_t insert(std::string_view key);      // the key's number, new or not
    std::string_view key(uint32_t id) const;

private:
    static uint64_t hash(std::string_view key);
    void grow();

    std::string m_bytes;
    std::vector<uint32_t> m_offsets{0};         // key i is m_bytes[offsets[i], offsets[i + 1])
    std::vector<uint32_t> m_slots;              // open addressing: key numbers, kNone for empty
    std::vector<uint32_t> m_slotHashes;         // the low bits of each slot's hash, to skip most compares
};
