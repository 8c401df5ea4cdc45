#pragma once
// The inside of GridStore, shared by the files that implement it.
#include "GridStore.h"
#include "PlainVector.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

// Layout. A row is one blob: the size of the rest as a varint, then for each column a varint
// length and that many UTF-8 bytes. The leading size lets a row's end (and so the bytes of
// its last cells) be found without walking every cell.
// Blobs are appended to the current block of the arena and never move while they live;
// rewriting a row writes a new blob at the arena end and leaves the old one dead, and the
// store copies the live blobs into fresh blocks once the dead bytes outweigh them. A row
// whose cells are all empty has no blob at all, so growing the row count costs 16 bytes a row.

namespace gridstore {

constexpr uint32_t kNoBlock = 0xFFFFFFFFu;
constexpr size_t kFirstBlock = size_t(64) << 10;
constexpr size_t kMaxBlock = size_t(2) << 20;
constexpr size_t kOwnBlock = kMaxBlock / 4;      // rows this big get a block to themselves
constexpr size_t kCompactFloor = size_t(64) << 10; // small stores are not worth compacting
constexpr uint64_t kMaxNumber = 0xFFFFFFFEull;   // the slot holds number + 1; 0 means none

struct FreeBlock
{
    void operator()(char *p) const { std::free(p); }
};

// Arena memory, left uninitialised: pages never touched cost nothing. Not advised into huge
// pages: where memory is handed to the system lazily (virtual machines) or is fragmented, a
// huge-page fault waits on the host or on compaction, and loading a big log stalled for
// hundreds of milliseconds; small pages cost a steady few per megabyte.
inline char *allocateBlock(size_t bytes)
{
    void *p = std::malloc(bytes);
    if (!p)
        throw std::bad_alloc();
    return static_cast<char *>(p);
}

inline size_t varintSize(uint64_t v)
{
    size_t n = 1;
    while (v >= 0x80) {
        v >>= 7;
        ++n;
    }
    return n;
}

inline char *putVarint(char *p, uint64_t v)
{
    while (v >= 0x80) {
        *p++ = char(v | 0x80);
        v >>= 7;
    }
    *p++ = char(v);
    return p;
}

inline const char *getVarint(const char *p, uint64_t &v)
{
    auto b = static_cast<unsigned char>(*p++);
    if (b < 0x80) {
        v = b;
        return p;
    }
    uint64_t r = b & 0x7F;
    int shift = 7;
    do {
        b = static_cast<unsigned char>(*p++);
        r |= uint64_t(b & 0x7F) << shift;
        shift += 7;
    } while (b & 0x80);
    v = r;
    return p;
}

inline const char *skipCell(const char *p)
{
    uint64_t len;
    p = getVarint(p, len);
    return p + len;
}

// The first and the last sizeof(Word) bytes of n, which may overlap: every n from
// sizeof(Word) to twice that in two loads and two stores.
template<class Word>
inline void copyEnds(char *dst, const char *src, size_t n)
{
    Word a, b;
    std::memcpy(&a, src, sizeof a);
    std::memcpy(&b, src + n - sizeof b, sizeof b);
    std::memcpy(dst, &a, sizeof a);
    std::memcpy(dst + n - sizeof b, &b, sizeof b);
}

// Copies fewer than 128 bytes without a call: cells are mostly a few bytes, where a call to
// memcpy costs more than the copy. Overlapping moves cover every length without a loop.
inline void copyShort(char *dst, const char *src, size_t n)
{
    if (n >= 16) {
        std::memcpy(dst, src, n);
    } else if (n >= 8) {
        copyEnds<uint64_t>(dst, src, n);
    } else if (n >= 4) {
        copyEnds<uint32_t>(dst, src, n);
    } else if (n > 0) {
        dst[0] = src[0];
        dst[n / 2] = src[n / 2];
        dst[n - 1] = src[n - 1];
    }
}

// The cells of a blob: returns where they start and sets `end` past the last one.
inline const char *payloadOf(const char *blob, const char *&end)
{
    uint64_t size;
    const char *p = getVarint(blob, size);
    end = p + size;
    return p;
}

// A blob of `payload` bytes of cells, its size in front.
inline size_t blobBytes(size_t payload) { return varintSize(payload) + payload; }

// The running number is kept as a number only when its text reads back identically:
// digits, no sign, no leading zero (except "0" itself).
inline bool parseNumber(std::string_view s, uint32_t &slot)
{
    if (s.empty() || s.size() > 10 || (s.size() > 1 && s[0] == '0'))
        return false;
    uint64_t v = 0;
    for (char ch : s) {
        if (ch < '0' || ch > '9')
            return false;
        v = v * 10 + uint64_t(ch - '0');
    }
    if (v > kMaxNumber)
        return false;
    slot = uint32_t(v + 1);
    return true;
}

} // namespace gridstore

// Only the store's own files include this header.
using namespace gridstore;

struct GridStore::Impl
{
    struct Row
    {
        uint32_t block;
        uint32_t offset;
        uint32_t number; // column-0 number + 1, or 0 when column 0 lives in the blob
        uint32_t tag;
    };
    static_assert(sizeof(Row) == 16);

    struct Block
    {
        std::unique_ptr<char, FreeBlock> data;
        size_t size = 0;
        size_t capacity = 0;
    };

    explicit Impl(int c) : cols(c) {}

    int cols;
    PlainVector<Row> rows;
    std::vector<Block> blocks;
    uint32_t fill = kNoBlock;          // block that receives new blobs
    size_t nextBlockSize = kFirstBlock;
    size_t used = 0;                   // bytes written into blocks
    size_t live = 0;                   // bytes of blobs that rows still point at
    mutable char numberText[24];
    // Where the last cell() read ended up, so that reading a row's cells left to right (a
    // save, a sort key, a painted row) walks each row once instead of once per cell. A blob
    // never moves and its cells keep their places while the row points at it (a rewrite of
    // another length makes a new blob); only compaction and dropping every block reuse
    // places, and they start a new epoch.
    struct Cursor
    {
        uint32_t block = kNoBlock;
        uint32_t offset = 0;
        uint32_t epoch = 0;
        int col = 0;
        const char *at = nullptr; // the length of cell `col`
    };
    mutable Cursor cursor;
    uint32_t epoch = 0;

    // What the last numberRows() left: rows numberedFirst .. numbered - 1 hold the numbers
    // numberedStart, numberedStart + 1, ... in their number slots. A change to column 0, a
    // removal, a move or a cut pulls `numbered` back to the first row it touched, so
    // renumbering the same rows again starts there: closing up the numbers after a delete
    // passes only over the rows below it.
    int64_t numberedFirst = -1;
    int64_t numberedStart = 0;
    int64_t numbered = 0;
    void touched(int64_t row) { numbered = std::min(numbered, row); }

    void dropBlocks()
    {
        blocks.clear();
        fill = kNoBlock;
        used = 0;
        live = 0;
        nextBlockSize = kFirstBlock;
        ++epoch;
    }

    const char *blob(const Row &r) const { return blocks[r.block].data.get() + r.offset; }

    static size_t blobSize(const char *b)
    {
        const char *end;
        payloadOf(b, end);
        return size_t(end - b);
    }
    size_t rowSize(const Row &r) const { return r.block == kNoBlock ? 0 : blobSize(blob(r)); }
    // Whether column 0 holds text in the blob (a number kept beside the row leaves it empty).
    bool firstCellHoldsText(const Row &r) const
    {
        if (r.block == kNoBlock)
            return false;
        const char *end;
        return *payloadOf(blob(r), end) != 0; // a zero length is the single byte 0
    }

    char *allocate(size_t n, uint32_t &block, uint32_t &offset)
    {
        used += n;
        live += n;
        if (n > kOwnBlock) {
            Block b;
            b.data.reset(allocateBlock(n));
            b.size = b.capacity = n;
            blocks.push_back(std::move(b));
            block = uint32_t(blocks.size() - 1);
            offset = 0;
            return blocks.back().data.get();
        }
        if (fill == kNoBlock || blocks[fill].capacity - blocks[fill].size < n) {
            Block b;
            b.capacity = std::max(nextBlockSize, n);
            b.data.reset(allocateBlock(b.capacity));
            blocks.push_back(std::move(b));
            fill = uint32_t(blocks.size() - 1);
            nextBlockSize = std::min(nextBlockSize * 2, kMaxBlock);
        }
        Block &b = blocks[fill];
        block = fill;
        offset = uint32_t(b.size);
        b.size += n;
        return b.data.get() + offset;
    }

    // The room the block being filled never used goes back; the next row starts a new block.
    void trimFillBlock()
    {
        if (fill == kNoBlock)
            return;
        Block &last = blocks[fill];
        if (last.size == 0 || last.size == last.capacity)
            return;
        if (char *p = static_cast<char *>(std::realloc(last.data.get(), last.size))) {
            (void)last.data.release();
            last.data.reset(p);
            last.capacity = last.size;
        }
    }

    // Writes `text` into column `col` of row `r` by writing a new blob (or in place when the
    // length is unchanged). `text` may point into the arena.
    void replaceCell(Row &r, int col, std::string_view text)
    {
        if (r.block == kNoBlock) {
            if (text.empty())
                return;
            const size_t size = size_t(cols - 1) + varintSize(text.size()) + text.size();
            uint32_t b, o;
            char *q = putVarint(allocate(blobBytes(size), b, o), size);
            std::memset(q, 0, size_t(col));
            q = putVarint(q + col, text.size());
            std::memcpy(q, text.data(), text.size());
            std::memset(q + text.size(), 0, size_t(cols - 1 - col));
            r.block = b;
            r.offset = o;
            return;
        }
        const char *base = blob(r);
        const char *end;
        const char *first = payloadOf(base, end);
        const char *cellStart = first;
        for (int c = 0; c < col; ++c)
            cellStart = skipCell(cellStart);
        uint64_t oldLen;
        const char *oldData = getVarint(cellStart, oldLen);
        const char *cellEnd = oldData + oldLen;
        if (oldLen == text.size()) {
            if (!text.empty())
                std::memmove(const_cast<char *>(oldData), text.data(), text.size());
            return;
        }
        const size_t newSize =
            size_t(end - first) - size_t(cellEnd - cellStart) + varintSize(text.size()) + text.size();
        live -= size_t(end - base);
        if (newSize == size_t(cols)) { // every cell empty now
            r.block = kNoBlock;
            r.offset = 0;
            return;
        }
        uint32_t b, o;
        // Never moves existing blobs, so base stays valid.
        char *q = putVarint(allocate(blobBytes(newSize), b, o), newSize);
        std::memcpy(q, first, size_t(cellStart - first));
        q = putVarint(q + (cellStart - first), text.size());
        if (!text.empty())
            std::memcpy(q, text.data(), text.size());
        std::memcpy(q + text.size(), cellEnd, size_t(end - cellEnd));
        r.block = b;
        r.offset = o;
    }

    void compact()
    {
        ++epoch;
        std::vector<Block> old = std::move(blocks);
        blocks.clear();
        fill = kNoBlock;
        used = 0;
        size_t want = kFirstBlock;
        while (want < live && want < kMaxBlock)
            want *= 2;
        nextBlockSize = want;
        live = 0;
        for (Row &r : rows) {
            if (r.block == kNoBlock)
                continue;
            const char *src = old[r.block].data.get() + r.offset;
            const size_t n = blobSize(src);
            uint32_t b, o;
            std::memcpy(allocate(n, b, o), src, n);
            r.block = b;
            r.offset = o;
        }
    }

    void maybeCompact()
    {
        const size_t dead = used - live;
        if (dead > live && dead >= kCompactFloor)
            compact();
    }
};
