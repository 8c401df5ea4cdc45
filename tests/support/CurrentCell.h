#pragma once
// The table's current cell as one value, to compare and to set in one step.
#include "common/GridModel.h"
#include <utility>

using Cell = std::pair<int, int>; // (row, column)

inline Cell current(const GridModel &grid) { return {grid.Row(), grid.Col()}; }

// The column first: setting the row collapses any selection onto the new cell.
inline void makeCurrent(GridModel &grid, int row, int col)
{
    grid.setCol(col);
    grid.setRow(row);
}
