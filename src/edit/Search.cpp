#include "Search.h"
#include "common/GridModel.h"
#include <QColor>
#include <algorithm>
#include <cstring>

namespace {

const QColor kMarkBack(128, 0, 0);
const QColor kMarkText(255, 255, 255);

} // namespace

namespace {

// Byte lanes of a word in memory order: the lowest lane holds the first byte.
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
constexpr bool kLanesInOrder = true;
#else
constexpr bool kLanesInOrder = false;
#endif

constexpr uint64_t kOnes = 0x0101010101010101ull;
constexpr uint64_t kHighs = 0x8080808080808080ull;

inline uint64_t load8(const unsigned char *p)
{
    uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

// The high bit of each byte lane of v that is zero is set (a lane just above a zero lane may
// be set too: these are candidates, checked afterwards).
inline uint64_t zeroLanes(uint64_t v) { return (v - kOnes) & ~v & kHighs; }

inline int lowestLane(uint64_t lanes)
{
#if defined(__GNUC__)
    return __builtin_ctzll(lanes) / 8;
#else
    int n = 0;
    while (!(lanes & 0x80)) {
        lanes >>= 8;
        ++n;
    }
    return n;
#endif
}

// Whether `needle` (two bytes or more) occurs in h[0, n). Eight places at a time, a place
// is a candidate when both the needle's first and its last byte are where they would be;
// candidates are then compared in full. A row is a few dozen bytes: memmem sets up tables
// on every call, which costs more than such a scan.
bool findPairs(const unsigned char *h, size_t n, const unsigned char *needle, size_t m)
{
    const uint64_t first = kOnes * needle[0], last = kOnes * needle[m - 1];
    size_t i = 0;
    if (kLanesInOrder) {
        for (; i + m + 7 <= n; i += 8) {
            uint64_t lanes = zeroLanes(load8(h + i) ^ first) & zeroLanes(load8(h + i + m - 1) ^ last);
            while (lanes != 0) {
                const size_t at = i + size_t(lowestLane(lanes));
                if (std::memcmp(h + at, needle, m) == 0)
                    return true;
                lanes &= lanes - 1;
            }
        }
    }
    for (; i + m <= n; ++i) {
        if (h[i] == needle[0] && h[i + m - 1] == needle[m - 1] && std::memcmp(h + i, needle, m) == 0)
            return true;
    }
    return false;
}

} // namespace

CellMatcher::CellMatcher(const QString &text) : m_needle(text.toStdString()) {}

bool CellMatcher::occursIn(std::string_view bytes) const
{
    const size_t m = m_needle.size(), n = bytes.size();
    if (n < m)
        return false;
    if (m == 0)
        return true;
    if (m == 1)
        return std::memchr(bytes.data(), m_needle[0], n) != nullptr;
    return findPairs(reinterpret_cast<const unsigned char *>(bytes.data()), n,
                     reinterpret_cast<const unsigned char *>(m_needle.data()), m);
}

bool CellMatcher::matches(std::string_view cell) const
{
    // UTF-8 never lets a character's bytes start inside another character, so a byte match
    // of the encoded text is a match of whole characters.
    return !cell.empty() && occursIn(cell);
}

int CellMatcher::firstMatch(const GridStore &store, int64_t row, int firstCol, int lastCol) const
{
    if (firstCol > lastCol)
        return -1;
    // The row's bytes from the first cell to the last hold every one of those cells: when the
    // text is absent from them, no cell can match and one scan settles the row. Column 0 may
    // keep its number beside the row, so it is never ruled out this way.
    if (!m_needle.empty() && firstCol >= 1 && !occursIn(store.rowBytes(row, firstCol, lastCol)))
        return -1;
    for (int col = firstCol; col <= lastCol; ++col) {
        if (matches(store.cell(row, col)))
            return col;
    }
    return -1;
}

CellPos findFirst(const GridStore &store, const CellMatcher &matcher)
{
    const int lastCol = store.cols() - 1;
    for (int64_t row = 1; row < store.rows(); ++row) {
        const int col = matcher.firstMatch(store, row, kFirstSearchCol, lastCol);
        if (col >= 0)
            return {int(row), col};
    }
    return {};
}

bool searchFromTop(GridModel &grid, const CellMatcher &matcher)
{
    const CellPos match = findFirst(grid.store(), matcher);
    if (!match.found())
        return false;
    grid.setCol(match.col);
    grid.setRow(match.row);
    return true;
}

int64_t findNext(GridModel &grid, const CellMatcher &matcher)
{
    const GridStore &store = grid.store();
    const int lastRow = grid.Rows() - 1;
    const int lastCol = grid.Cols() - 1;
    // The current column, as the walk moves it: each row starts right of it.
    int col = grid.Col();
    int matchRow = -1;
    int64_t painted = 0;
    for (int row = grid.Row(); row <= lastRow; ++row) {
        for (int c = matcher.firstMatch(store, row, std::max(col + 1, kFirstSearchCol), lastCol); c >= 0;
             c = matcher.firstMatch(store, row, c + 1, lastCol)) {
            grid.setCellColors(row, c, kMarkBack, kMarkText);
            col = c;
            matchRow = row;
            ++painted;
        }
    }
    // Every match becomes current in turn and only the last one stays; moving there once
    // spares the view a scroll per match on a log where the text is everywhere.
    if (matchRow >= 0) {
        grid.setCol(col);
        grid.setRow(matchRow);
    }
    return painted;
}
