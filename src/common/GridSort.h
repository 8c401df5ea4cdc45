#pragma once
// The grid's sort (text, case ignored, ascending) as an order of rows, so the store can move
// the rows in one pass and the model can tell its views where each row went.
#include "GridStore.h"
#include <cstdint>
#include <vector>

// The rows first..last of `store` in sorted order (old row indexes): keyed on the columns
// firstCol..lastCol, leftmost first, each compared as QString::compare(a, b, Qt::CaseInsensitive)
// would. Rows with equal keys keep their order. Empty when the arguments are out of range.
std::vector<int64_t> gridSortOrder(const GridStore &store, int64_t first, int64_t last, int firstCol,
                                   int lastCol);
