#include "GridSort.h"
#include "CaseFold.h"
#include <algorithm>
#include <array>
#include <cstring>
#include <string>

// Each row's key (its key columns folded and joined, see CaseFold.h) is built once, into
// 16-byte entries whose first 8 key bytes sit in an integer: for call signs, names and dates
// that settles nearly every comparison. The entries are radix sorted on that integer; only
// runs of equal heads whose keys go on (kept in one arena) are then compared in full.

namespace {

constexpr uint32_t kNoTail = UINT32_MAX;

struct Entry
{
    uint64_t head; // key bytes 0..7, big-endian, zero padded
    uint32_t tail; // arena offset / 8 of the rest (length, then bytes), or kNoTail
    uint32_t row;  // relative to the first sorted row
};
static_assert(sizeof(Entry) == 16);

inline uint64_t loadHead(const std::string &key)
{
    unsigned char b[8] = {};
    std::memcpy(b, key.data(), std::min<size_t>(key.size(), 8));
    uint64_t v = 0;
    for (unsigned char c : b)
        v = v << 8 | c;
    return v;
}

// Stable LSD radix sort on the head, a byte at a time, skipping bytes that all keys share
// (call signs leave several of the eight alike). Stable, so equal heads stay in row order.
void sortByHead(std::vector<Entry> &entries)
{
    const size_t n = entries.size();
    std::vector<std::array<size_t, 256>> counts(8);
    for (auto &c : counts)
        c.fill(0);
    for (const Entry &e : entries)
        for (int b = 0; b < 8; ++b)
            ++counts[size_t(b)][(e.head >> (8 * b)) & 0xFF];
    std::vector<Entry> buffer(n);
    Entry *src = entries.data(), *dst = buffer.data();
    for (int b = 0; b < 8; ++b) {
        std::array<size_t, 256> &c = counts[size_t(b)];
        if (std::find(c.begin(), c.end(), n) != c.end())
            continue;
        size_t sum = 0;
        for (size_t &k : c) {
            const size_t here = k;
            k = sum;
            sum += here;
        }
        for (size_t i = 0; i < n; ++i)
            dst[c[(src[i].head >> (8 * b)) & 0xFF]++] = src[i];
        std::swap(src, dst);
    }
    if (src != entries.data())
        entries.swap(buffer);
}

} // namespace

std::vector<int64_t> gridSortOrder(const GridStore &store, int64_t first, int64_t last, int firstCol,
                                   int lastCol)
{
    if (first < 0 || last >= store.rows() || first > last || firstCol < 0 || lastCol >= store.cols()
        || firstCol > lastCol || last - first >= int64_t(UINT32_MAX))
        return {};
    const auto n = size_t(last - first + 1);
    std::vector<Entry> entries(n);
    std::vector<uint64_t> arena; // 8-byte units, so a 32-bit offset reaches 32 GB
    std::string key;
    constexpr int64_t kAhead = 16; // rows are scattered after a sort: fetch ahead
    for (int64_t i = 0; i < std::min<int64_t>(kAhead, int64_t(n)); ++i)
        store.prefetch(first + i);
    for (size_t i = 0; i < n; ++i) {
        store.prefetch(first + int64_t(i) + kAhead);
        key.clear();
        for (int c = firstCol; c <= lastCol; ++c) {
            if (c > firstCol)
                casefold::appendColumnEnd(key);
            casefold::appendKey(key, store.cell(first + int64_t(i), c));
        }
        Entry &e = entries[i];
        e.head = loadHead(key);
        e.row = uint32_t(i);
        e.tail = kNoTail;
        if (key.size() > 8) {
            // Zero bytes are column ends, which every key of this sort has equally many of:
            // two keys whose padded heads agree cannot differ in length within the head, so
            // a key of up to 8 bytes needs no tail.
            const auto rest = uint32_t(key.size() - 8);
            e.tail = uint32_t(arena.size());
            const size_t units = 1 + (size_t(rest) + 3) / 8;
            arena.resize(arena.size() + units);
            auto *p = reinterpret_cast<unsigned char *>(arena.data() + e.tail);
            std::memcpy(p, &rest, 4);
            std::memcpy(p + 4, key.data() + 8, rest);
        }
    }

    const auto *tails = reinterpret_cast<const unsigned char *>(arena.data());
    const auto less = [tails](const Entry &a, const Entry &b) {
        if (a.head != b.head)
            return a.head < b.head;
        if (a.tail != b.tail) {
            // Equal heads: a key that ends there is a prefix of the other.
            if (a.tail == kNoTail)
                return true;
            if (b.tail == kNoTail)
                return false;
            const unsigned char *pa = tails + size_t(a.tail) * 8, *pb = tails + size_t(b.tail) * 8;
            uint32_t la, lb;
            std::memcpy(&la, pa, 4);
            std::memcpy(&lb, pb, 4);
            const int c = std::memcmp(pa + 4, pb + 4, std::min(la, lb));
            if (c != 0)
                return c < 0;
            if (la != lb)
                return la < lb;
        }
        return a.row < b.row;
    };
    if (n < 4096) {
        std::sort(entries.begin(), entries.end(), less);
    } else {
        sortByHead(entries);
        // Runs of equal heads are in row order; only those with longer keys need a look.
        for (size_t i = 0; i < n;) {
            size_t j = i + 1;
            bool tail = entries[i].tail != kNoTail;
            while (j < n && entries[j].head == entries[i].head) {
                tail = tail || entries[j].tail != kNoTail;
                ++j;
            }
            if (tail && j - i > 1)
                std::sort(entries.begin() + ptrdiff_t(i), entries.begin() + ptrdiff_t(j), less);
            i = j;
        }
    }

    std::vector<int64_t> order(n);
    for (size_t k = 0; k < n; ++k)
        order[k] = first + int64_t(entries[k].row);
    return order;
}
