#pragma once
// The two lookups behind the call resolver, built once from the country file and then only
// read: the listed prefixes as a trie for the longest match, and the listed whole call signs
// in a hash table. Keys are upper case. Neither allocates while looking up.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What one listed prefix or whole call sign stands for, its overrides applied.
struct CallData
{
    int32_t entity = -1;
    uint8_t cqZone = 0;
    uint8_t ituZone = 0;
    char continent[2] = {};
};

struct CallListing
{
    std::string key;
    CallData data;
};

// Prefixes of digits and upper-case letters. Each node keeps a bit per symbol that has a
// child, and its children side by side in symbol order, so a step is a mask test and a count.
class PrefixTrie
{
public:
    PrefixTrie();
    // The first listing of a key wins; keys holding anything but 0-9 and A-Z are left out.
    void build(std::vector<CallListing> listings);
    // The longest listed prefix that `text` starts with, and its length; null when none is.
    const CallData *longest(std::string_view text, size_t *length = nullptr) const;

private:
    struct Node
    {
        uint64_t children = 0;   // bit s set: a child for symbol s
        uint32_t firstChild = 0;
        int32_t data = -1;       // index into m_data when a listed prefix ends here
    };
    std::vector<Node> m_nodes;   // the root first
    std::vector<CallData> m_data;
};

// Whole call signs: open addressing with linear probing, the keys in one string.
class WholeCallTable
{
public:
    // The first listing of a key wins.
    void build(std::vector<CallListing> listings);
    const CallData *find(std::string_view key) const;

private:
    struct Slot
    {
        uint32_t tag = 0;        // high half of the key's hash
        uint32_t entry = 0;      // 1 + index into m_entries; 0 for an empty slot
    };
    struct Entry
    {
        uint32_t offset;
        uint32_t size;
        CallData data;
    };
    std::vector<Slot> m_slots;
    std::vector<Entry> m_entries;
    std::string m_keys;
    size_t m_mask = 0;
};
