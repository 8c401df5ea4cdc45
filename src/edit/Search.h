#pragma once
// The match rule and the two walks over the contact table: the search from the top and
// find next. They read the grid's UTF-8 cells in place, so a million rows cost one pass
// over their bytes and no QString per cell.
#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

class GridModel;
class GridStore;

// A search text, encoded once. A cell matches when the text occurs in it as one run, letter
// case and accents significant; the empty text matches every cell that holds something
// (an empty cell matches nothing, so find next never paints blank cells).
class CellMatcher
{
public:
    explicit CellMatcher(const QString &text);

    bool matches(std::string_view cell) const;
    // The first column in firstCol..lastCol of `row` whose cell matches, or -1.
    int firstMatch(const GridStore &store, int64_t row, int firstCol, int lastCol) const;

private:
    bool occursIn(std::string_view bytes) const;
    std::string m_needle;
};

// The columns searched: every column but the fixed number column 0.
constexpr int kFirstSearchCol = 1;

struct CellPos
{
    int row = -1;
    int col = -1;
    bool found() const { return row >= 0; }
};

// The first matching cell from the top: rows 1 to Rows - 1, each from left to right.
CellPos findFirst(const GridStore &store, const CellMatcher &matcher);

// Makes the first match the current cell. False, and nothing changed, when no cell matches.
bool searchFromTop(GridModel &grid, const CellMatcher &matcher);

// Find next: from the current cell to the last row, every match is painted dark red with
// white text. The current row is searched right of the current column; each later row
// right of the column current when that row begins (the most recent match's). The current
// cell ends on the last match. Returns how many cells were painted.
int64_t findNext(GridModel &grid, const CellMatcher &matcher);
