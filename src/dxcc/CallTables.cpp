#include "CallTables.h"

#include <QtAlgorithms>

#include <algorithm>
#include <array>
#include <cstring>

namespace {

constexpr int kSymbols = 36;

// 0-9 are symbols 0-9 and A-Z 10-35: the order of the bytes, so sorted keys give children in
// symbol order. -1 for anything else.
constexpr std::array<int8_t, 256> symbolTable()
{
    std::array<int8_t, 256> t{};
    for (auto &s : t)
        s = -1;
    for (int c = '0'; c <= '9'; ++c)
        t[size_t(c)] = int8_t(c - '0');
    for (int c = 'A'; c <= 'Z'; ++c)
        t[size_t(c)] = int8_t(10 + c - 'A');
    return t;
}
constexpr std::array<int8_t, 256> kSymbol = symbolTable();

int symbolOf(char c)
{
    return kSymbol[uint8_t(c)];
}

// Sorted by key, file order kept among equal keys, then only the first of each key.
void sortUnique(std::vector<CallListing> &listings)
{
    std::stable_sort(listings.begin(), listings.end(),
                     [](const CallListing &a, const CallListing &b) { return a.key < b.key; });
    listings.erase(std::unique(listings.begin(), listings.end(),
                               [](const CallListing &a, const CallListing &b) { return a.key == b.key; }),
                   listings.end());
}

// Call signs are a few bytes: a word at a time, then a final mix so the low bits (the slot)
// and the high ones (the tag) both depend on every byte.
uint64_t hashKey(std::string_view key)
{
    constexpr uint64_t kMul = 0x9E3779B97F4A7C15ull;
    uint64_t h = uint64_t(key.size()) * 0xFF51AFD7ED558CCDull;
    const char *p = key.data();
    size_t n = key.size();
    for (; n >= 8; p += 8, n -= 8) {
        uint64_t w;
        std::memcpy(&w, p, 8);
        h = (h ^ w) * kMul;
        h ^= h >> 31;
    }
    if (n > 0) {
        uint64_t w = 0;
        std::memcpy(&w, p, n);
        h = (h ^ w) * kMul;
    }
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ull;
    h ^= h >> 29;
    return h;
}

} // namespace

PrefixTrie::PrefixTrie() : m_nodes(1) {}

void PrefixTrie::build(std::vector<CallListing> listings)
{
    listings.erase(std::remove_if(listings.begin(), listings.end(),
                                  [](const CallListing &l) {
                                      return l.key.empty()
                                             || std::any_of(l.key.begin(), l.key.end(),
                                                            [](char c) { return symbolOf(c) < 0; });
                                  }),
                   listings.end());
    sortUnique(listings);
    m_nodes.assign(1, Node());
    m_data.clear();
    m_data.reserve(listings.size());

    // Breadth first: a node's children are made together, so they lie side by side. Each
    // pending node covers the sorted keys that share its first `depth` bytes.
    struct Pending
    {
        uint32_t node;
        size_t begin, end, depth;
    };
    std::vector<Pending> pending{{0, 0, listings.size(), 0}};
    for (size_t next = 0; next < pending.size(); ++next) {
        Pending p = pending[next];
        if (p.begin < p.end && listings[p.begin].key.size() == p.depth) { // sorts first
            m_nodes[p.node].data = int32_t(m_data.size());
            m_data.push_back(listings[p.begin].data);
            ++p.begin;
        }
        const uint32_t first = uint32_t(m_nodes.size());
        uint64_t mask = 0;
        for (size_t i = p.begin; i < p.end;) {
            const char c = listings[i].key[p.depth];
            size_t j = i + 1;
            while (j < p.end && listings[j].key[p.depth] == c)
                ++j;
            mask |= uint64_t(1) << symbolOf(c);
            pending.push_back({uint32_t(m_nodes.size()), i, j, p.depth + 1});
            m_nodes.emplace_back();
            i = j;
        }
        m_nodes[p.node].children = mask;
        m_nodes[p.node].firstChild = first;
    }
}

const CallData *PrefixTrie::longest(std::string_view text, size_t *length) const
{
    static_assert(kSymbols <= 64, "one mask bit per symbol");
    const Node *node = m_nodes.data();
    const CallData *best = nullptr;
    size_t bestLength = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const int s = symbolOf(text[i]);
        if (s < 0)
            break;
        const uint64_t bit = uint64_t(1) << s;
        if (!(node->children & bit))
            break;
        node = &m_nodes[node->firstChild + uint32_t(qPopulationCount(node->children & (bit - 1)))];
        if (node->data >= 0) {
            best = &m_data[size_t(node->data)];
            bestLength = i + 1;
        }
    }
    if (length)
        *length = bestLength;
    return best;
}

void WholeCallTable::build(std::vector<CallListing> listings)
{
    sortUnique(listings);
    size_t capacity = 16;
    while (capacity < 2 * listings.size()) // at most half full: most look-ups are misses
        capacity *= 2;
    m_slots.assign(capacity, Slot());
    m_mask = capacity - 1;
    m_entries.clear();
    m_entries.reserve(listings.size());
    m_keys.clear();
    for (const CallListing &l : listings) {
        const uint64_t h = hashKey(l.key);
        size_t i = size_t(h) & m_mask;
        while (m_slots[i].entry != 0)
            i = (i + 1) & m_mask;
        m_entries.push_back({uint32_t(m_keys.size()), uint32_t(l.key.size()), l.data});
        m_keys += l.key;
        m_slots[i] = {uint32_t(h >> 32), uint32_t(m_entries.size())};
    }
}

const CallData *WholeCallTable::find(std::string_view key) const
{
    if (m_entries.empty() || key.empty())
        return nullptr;
    const uint64_t h = hashKey(key);
    const uint32_t tag = uint32_t(h >> 32);
    for (size_t i = size_t(h) & m_mask;; i = (i + 1) & m_mask) {
        const Slot slot = m_slots[i];
        if (slot.entry == 0)
            return nullptr;
        if (slot.tag != tag)
            continue;
        const Entry &e = m_entries[slot.entry - 1];
        if (e.size == key.size() && std::memcmp(m_keys.data() + e.offset, key.data(), key.size()) == 0)
            return &e.data;
    }
}
