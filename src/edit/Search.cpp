#include "Search.h"
#include "common/GridModel.h"
#include <QColor>
#include <algorithm>
#include <cstring>

namespace {

const QColor kMarkBack(128, 0, 0);
const QColor kMarkText(255, 255, 255);

// The store keeps a row as one blob: its cells back to back in column order, each after
// its length. The bytes from the start of one cell to the end of a later one therefore hold
// every cell in between, and when the text is absent from them no cell there can match:
// one memmem settles most rows. A row whose cells are all empty has no blob: null views.
struct RowBytes
{
    bool empty = false;      // no cell of the row holds anything
    std::string_view span;   // null when the cells do not lie as expected: look at each
};

RowBytes rowBytes(const GridStore &store, int64_t row, int firstCol, int lastCol)
{
    const std::string_view first = store.cell(row, firstCol);
    const std::string_view last = store.cell(row, lastCol);
    if (first.data() == nullptr && last.data() == nullptr)
        return {true, {}};
    if (first.data() == nullptr || last.data() == nullptr || last.data() < first.data())
        return {};
    return {false, {first.data(), size_t(last.data() - first.data()) + last.size()}};
}

} // namespace

CellMatcher::CellMatcher(const QString &text) : m_needle(text.toStdString()) {}

bool CellMatcher::occursIn(std::string_view bytes) const
{
    return bytes.size() >= m_needle.size()
           && memmem(bytes.data(), bytes.size(), m_needle.data(), m_needle.size()) != nullptr;
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
    if (!m_needle.empty()) {
        const RowBytes bytes = rowBytes(store, row, firstCol, lastCol);
        if (bytes.empty || (bytes.span.data() != nullptr && !occursIn(bytes.span)))
            return -1;
    }
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
