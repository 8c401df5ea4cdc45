#include "GridStore.h"
#include "PlainVector.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <new>

// Layout. A row is one blob: the size of the rest as a varint, then for each column a varint
// length and that many UTF-8 bytes. The leading size lets a row's end (and so the bytes of
// its last cells) be found without walking every cell.
// Blobs are appended to the current block of the arena and never move while they live;
// rewriting a row writes a new blob at the arena end and leaves the old one dead, and the
// store copies the live blobs into fresh blocks once the dead bytes outweigh them. A row
// whose cells are all empty has no blob at all, so growing the row count costs 16 bytes a row.

namespace {

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
char *allocateBlock(size_t bytes)
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

// Copies fewer than 128 bytes without a call: cells are mostly a few bytes, where a call to
// memcpy costs more than the copy. Overlapping moves cover every length without a loop.
inline void copyShort(char *dst, const char *src, size_t n)
{
    if (n >= 16) {
        std::memcpy(dst, src, n);
    } else if (n >= 8) {
        uint64_t a, b;
        std::memcpy(&a, src, 8);
        std::memcpy(&b, src + n - 8, 8);
        std::memcpy(dst, &a, 8);
        std::memcpy(dst + n - 8, &b, 8);
    } else if (n >= 4) {
        uint32_t a, b;
        std::memcpy(&a, src, 4);
        std::memcpy(&b, src + n - 4, 4);
        std::memcpy(dst, &a, 4);
        std::memcpy(dst + n - 4, &b, 4);
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
bool parseNumber(std::string_view s, uint32_t &slot)
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

} // namespace

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

GridStore::GridStore(int cols) : d(std::make_unique<Impl>(std::max(cols, 1))), m_cols(std::max(cols, 1)) {}

// A moved-from store is a valid empty store with the same column count.
GridStore::GridStore(GridStore &&other) noexcept
    : d(std::move(other.d)), m_cols(other.m_cols)
{
    other.d = std::make_unique<Impl>(m_cols);
}

GridStore &GridStore::operator=(GridStore &&other) noexcept
{
    if (this != &other) {
        d = std::move(other.d);
        m_cols = other.m_cols;
        other.d = std::make_unique<Impl>(m_cols);
    }
    return *this;
}

GridStore::~GridStore() = default;

int64_t GridStore::rows() const { return int64_t(d->rows.size()); }

void GridStore::reserveRows(int64_t rows)
{
    // A little extra, so a loaded store can later be slid under a heading row (appendStore)
    // without copying its row records.
    if (rows <= 0)
        return;
    d->rows.reserve(size_t(rows) + 64);
}

void GridStore::fitRows()
{
    d->trimFillBlock();
    if (d->rows.capacity() > d->rows.size() + 64)
        d->rows.shrinkTo(d->rows.size() + 64);
}

std::string_view GridStore::cell(int64_t row, int col) const
{
    if (row < 0 || row >= rows() || col < 0 || col >= m_cols)
        return {};
    const Impl::Row &r = d->rows[size_t(row)];
    if (col == 0 && r.number != 0) {
        char *buf = d->numberText;
        const auto res = std::to_chars(buf, buf + sizeof d->numberText, uint64_t(r.number) - 1);
        return {buf, size_t(res.ptr - buf)};
    }
    if (r.block == kNoBlock)
        return {};
    Impl::Cursor &k = d->cursor;
    const char *p;
    int c;
    if (k.block == r.block && k.offset == r.offset && k.epoch == d->epoch && k.col <= col) {
        p = k.at;
        c = k.col;
    } else {
        const char *end;
        p = payloadOf(d->blob(r), end);
        c = 0;
    }
    for (; c < col; ++c)
        p = skipCell(p);
    k = {r.block, r.offset, d->epoch, col, p};
    uint64_t len;
    p = getVarint(p, len);
    return {p, size_t(len)};
}

std::string_view GridStore::cellFromAnyThread(int64_t row, int col) const
{
    return col >= 1 ? rowBytes(row, col, col) : std::string_view(); // rowBytes() remembers nothing
}

std::string_view GridStore::rowBytes(int64_t row, int firstCol, int lastCol) const
{
    firstCol = std::max(firstCol, 0);
    lastCol = std::min(lastCol, m_cols - 1);
    if (row < 0 || row >= rows() || firstCol > lastCol)
        return {};
    const Impl::Row &r = d->rows[size_t(row)];
    if (r.block == kNoBlock)
        return {};
    const char *end;
    const char *p = payloadOf(d->blob(r), end);
    for (int c = 0; c < firstCol; ++c)
        p = skipCell(p);
    uint64_t len;
    p = getVarint(p, len);
    if (lastCol < m_cols - 1) {
        end = p + len;
        for (int c = firstCol + 1; c <= lastCol; ++c)
            end = skipCell(end);
    }
    return {p, size_t(end - p)};
}

void GridStore::rowCells(int64_t row, std::string_view *cells) const
{
    rowCellsFromAnyThread(row, cells);
    if (row >= 0 && row < rows() && d->rows[size_t(row)].number != 0)
        cells[0] = cell(row, 0);
}

void GridStore::rowCellsFromAnyThread(int64_t row, std::string_view *cells) const
{
    if (row < 0 || row >= rows()) {
        std::fill(cells, cells + m_cols, std::string_view());
        return;
    }
    const Impl::Row &r = d->rows[size_t(row)];
    if (r.block == kNoBlock) {
        std::fill(cells, cells + m_cols, std::string_view());
    } else {
        const char *end;
        const char *p = payloadOf(d->blob(r), end);
        for (int c = 0; c < m_cols; ++c) {
            uint64_t len;
            p = getVarint(p, len);
            cells[c] = {p, size_t(len)};
            p += len;
        }
    }
}

void GridStore::prefetch(int64_t row) const
{
    if (row < 0 || row >= rows())
        return;
    const Impl::Row &r = d->rows[size_t(row)];
#if defined(__GNUC__)
    if (r.block != kNoBlock)
        __builtin_prefetch(d->blob(r));
#else
    (void)r;
#endif
}

void GridStore::setCell(int64_t row, int col, std::string_view utf8)
{
    if (row < 0 || row >= rows() || col < 0 || col >= m_cols)
        return;
    Impl::Row &r = d->rows[size_t(row)];
    if (col == 0) {
        d->touched(row);
        uint32_t slot;
        if (parseNumber(utf8, slot)) {
            if (r.number == 0 && d->firstCellHoldsText(r))
                d->replaceCell(r, 0, {});
            r.number = slot;
            d->maybeCompact();
            return;
        }
        r.number = 0;
    }
    d->replaceCell(r, col, utf8);
    d->maybeCompact();
}

void GridStore::appendRow(const std::string_view *cells, int count, std::string_view readable)
{
    count = std::clamp(count, 0, m_cols);
    uint32_t slot = 0;
    const int from = count > 0 && parseNumber(cells[0], slot) ? 1 : 0;
    // Cells of a log are short: when each takes a one-byte length, the size is a plain sum.
    size_t size = size_t(m_cols), text = 0;
    bool shortCells = true;
    for (int c = from; c < count; ++c) {
        text += cells[c].size();
        shortCells = shortCells && cells[c].size() < 0x80;
    }
    if (!shortCells) {
        for (int c = from; c < count; ++c)
            size += varintSize(cells[c].size()) - 1;
    }
    size += text;
    Impl::Row r{kNoBlock, 0, slot, 0};
    if (size > size_t(m_cols)) {
        char *q = putVarint(d->allocate(blobBytes(size), r.block, r.offset), size);
        // A cell starting in [low, low + span] may be read 16 bytes on, and the block has 16
        // bytes after the row to write them into.
        const Impl::Block &b = d->blocks[r.block];
        const bool roomy = b.capacity - b.size >= 16 && readable.size() >= 16;
        const auto low = reinterpret_cast<uintptr_t>(readable.data());
        const uintptr_t span = roomy ? readable.size() - 16 : 0;
        if (from == 1)
            *q++ = 0;
        for (int c = from; c < count; ++c) {
            const size_t n = cells[c].size();
            if (n <= 16 && roomy && reinterpret_cast<uintptr_t>(cells[c].data()) - low <= span) {
                *q++ = char(n);
                std::memcpy(q, cells[c].data(), 16);
            } else if (n < 0x80) {
                *q++ = char(n);
                copyShort(q, cells[c].data(), n);
            } else {
                q = putVarint(q, n);
                std::memcpy(q, cells[c].data(), n);
            }
            q += n;
        }
        if (count < m_cols)
            std::memset(q, 0, size_t(m_cols - count));
    }
    d->rows.push_back(r);
}

void GridStore::insertRow(int64_t row, const std::string_view *cells, int count)
{
    if (row < 0 || row > rows())
        return;
    appendRow(cells, count);
    if (row == rows() - 1)
        return;
    d->touched(row);
    auto &rs = d->rows;
    const Impl::Row added = rs.back();
    rs.pop_back();
    rs.insert(rs.begin() + row, added);
}

GridStore GridStore::copyRows(int64_t first, int64_t last) const
{
    GridStore copy(m_cols);
    first = std::max<int64_t>(first, 0);
    last = std::min(last, rows() - 1);
    if (first > last)
        return copy;
    copy.reserveRows(last - first + 1);
    std::vector<std::string_view> cells(static_cast<size_t>(m_cols));
    std::string number;
    for (int64_t r = first; r <= last; ++r) {
        rowCells(r, cells.data());
        number.assign(cells[0]); // rendered into a buffer the next read reuses
        cells[0] = number;
        copy.appendRow(cells.data(), m_cols);
    }
    return copy;
}

bool GridStore::isNumbered(int64_t first, int64_t last, int64_t startNumber) const
{
    first = std::max<int64_t>(first, 0);
    last = std::min(last, rows() - 1);
    char text[24];
    for (int64_t i = first; i <= last; ++i) {
        const int64_t n = startNumber + (i - first);
        const Impl::Row &r = d->rows[size_t(i)];
        if (r.number != 0) {
            if (n < 0 || uint64_t(r.number) != uint64_t(n) + 1)
                return false;
            continue;
        }
        const auto res = std::to_chars(text, text + sizeof text, n);
        if (cell(i, 0) != std::string_view(text, size_t(res.ptr - text)))
            return false;
    }
    return true;
}

void GridStore::appendEmptyRows(int64_t count)
{
    if (count > 0)
        d->rows.resize(d->rows.size() + size_t(count), Impl::Row{kNoBlock, 0, 0, 0});
}

void GridStore::truncate(int64_t keep)
{
    keep = std::max<int64_t>(keep, 0);
    if (keep >= rows())
        return;
    d->touched(keep);
    auto &rs = d->rows;
    // Measure whichever side is smaller.
    if (keep < rows() - keep) {
        size_t live = 0;
        for (size_t i = 0; i < size_t(keep); ++i)
            live += d->rowSize(rs[i]);
        d->live = live;
    } else {
        for (size_t i = size_t(keep); i < rs.size(); ++i)
            d->live -= d->rowSize(rs[i]);
    }
    rs.resize(size_t(keep));
    if (rs.capacity() > 4096 && rs.size() < rs.capacity() / 4)
        rs.shrink_to_fit();
    if (d->live == 0)
        d->dropBlocks();
    d->maybeCompact();
}

void GridStore::removeRow(int64_t row)
{
    if (row < 0 || row >= rows())
        return;
    d->touched(row);
    d->live -= d->rowSize(d->rows[size_t(row)]);
    d->rows.erase(d->rows.begin() + row);
    d->maybeCompact();
}

void GridStore::appendStore(GridStore &&other)
{
    if (&other == this || other.m_cols != m_cols)
        return;
    Impl &o = *other.d;
    if (d->fill != kNoBlock) // the other store's last block stays part full
        o.trimFillBlock();
    const auto shift = uint32_t(d->blocks.size());
    for (auto &r : o.rows)
        if (r.block != kNoBlock)
            r.block += shift;
    for (auto &b : o.blocks)
        d->blocks.push_back(std::move(b));
    const size_t total = o.rows.size() + d->rows.size();
    if (d->rows.capacity() < total && o.rows.size() > d->rows.size() && o.rows.capacity() >= total) {
        // The other side is the big one and has room: slide our few rows in front of it.
        o.rows.insert(o.rows.begin(), d->rows.begin(), d->rows.end());
        d->rows.swap(o.rows);
    } else {
        d->rows.insert(d->rows.end(), o.rows.begin(), o.rows.end());
    }
    if (d->fill == kNoBlock && o.fill != kNoBlock) {
        d->fill = o.fill + shift;
        d->nextBlockSize = std::max(d->nextBlockSize, o.nextBlockSize);
    }
    d->used += o.used;
    d->live += o.live;
    other.d = std::make_unique<Impl>(m_cols);
}

void GridStore::permute(int64_t first, const std::vector<int64_t> &order)
{
    const auto n = int64_t(order.size());
    if (first < 0 || n == 0 || first + n > rows())
        return;
    std::vector<bool> seen(static_cast<size_t>(n), false);
    for (int64_t v : order) {
        const int64_t k = v - first;
        if (k < 0 || k >= n || seen[size_t(k)])
            return;
        seen[size_t(k)] = true;
    }
    d->touched(first);
    std::vector<Impl::Row> moved(static_cast<size_t>(n));
    for (size_t k = 0; k < size_t(n); ++k)
        moved[k] = d->rows[size_t(order[k])];
    std::copy(moved.begin(), moved.end(), d->rows.begin() + first);
}

void GridStore::numberRows(int64_t first, int64_t last, int64_t startNumber)
{
    first = std::max<int64_t>(first, 0);
    last = std::min(last, rows() - 1);
    if (first > last)
        return;
    const bool fits = startNumber >= 0 && uint64_t(startNumber) + uint64_t(last - first) <= kMaxNumber;
    const bool again = fits && first == d->numberedFirst && startNumber == d->numberedStart;
    char text[24];
    for (int64_t i = again ? std::max(first, d->numbered) : first; i <= last; ++i) {
        Impl::Row *r = &d->rows[size_t(i)];
        const int64_t n = startNumber + (i - first);
        if (n >= 0 && uint64_t(n) <= kMaxNumber) {
            // A row that has a number already keeps column 0 empty in its blob: renumbering
            // (after a delete, say) then only passes over the row records, never their bytes.
            // Such rows follow one another, so they get a loop of their own.
            auto slot = uint32_t(n + 1);
            if (fits) {
                const Impl::Row *end = d->rows.data() + last + 1;
                for (; r != end && r->number != 0; ++r, ++slot)
                    r->number = slot;
                i = int64_t(r - d->rows.data());
                if (r == end)
                    break;
            }
            if (r->number == slot)
                continue;
            if (r->number == 0 && d->firstCellHoldsText(*r))
                d->replaceCell(*r, 0, {});
            r->number = slot;
        } else {
            const auto res = std::to_chars(text, text + sizeof text, n);
            r->number = 0;
            d->replaceCell(*r, 0, std::string_view(text, size_t(res.ptr - text)));
        }
    }
    if (again) {
        d->numbered = std::max(d->numbered, last + 1);
    } else {
        d->numberedFirst = fits ? first : -1;
        d->numberedStart = startNumber;
        d->numbered = fits ? last + 1 : 0;
    }
    d->maybeCompact();
}

uint32_t GridStore::rowTag(int64_t row) const
{
    return (row < 0 || row >= rows()) ? 0 : d->rows[size_t(row)].tag;
}

void GridStore::setRowTag(int64_t row, uint32_t tag)
{
    if (row >= 0 && row < rows())
        d->rows[size_t(row)].tag = tag;
}

size_t GridStore::memoryUsage() const
{
    size_t bytes = sizeof(GridStore) + sizeof(Impl) + d->rows.capacity() * sizeof(Impl::Row)
                   + d->blocks.capacity() * sizeof(Impl::Block);
    for (const auto &b : d->blocks)
        bytes += b.capacity;
    return bytes;
}

size_t GridStore::liveBytes() const { return d->live; }
size_t GridStore::deadBytes() const { return d->used - d->live; }
void GridStore::compact() { d->compact(); }
