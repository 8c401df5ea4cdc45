// A store's making and moving, and the reading of its cells.
#include "GridStoreImpl.h"

#include <algorithm>
#include <charconv>
#include <cstring>

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
