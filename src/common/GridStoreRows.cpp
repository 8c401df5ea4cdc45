// Changing a store's rows: cells rewritten, rows appended, inserted, removed, moved and numbered.
#include "GridStoreImpl.h"

#include <algorithm>
#include <charconv>
#include <cstring>

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

