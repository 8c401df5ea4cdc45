#pragma once
// Compact storage for a grid of text cells: no heap string per cell. Rows live in large
// blocks of one arena; each row is one blob of cell lengths and UTF-8 bytes. A column-0 text
// that is a plain decimal number (the running "Nº") is kept as a number beside the row, so
// renumbering a million rows allocates nothing.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>
#include <memory>

class GridStore
{
public:
    explicit GridStore(int cols);
    GridStore(GridStore &&) noexcept;
    GridStore &operator=(GridStore &&) noexcept;
    ~GridStore();

    int cols() const { return m_cols; }
    int64_t rows() const;
    void reserveRows(int64_t rows);
    // Drops the room a store grown row by row keeps beyond what it holds (row records, and the
    // last block of cells), for a reader that learns the count only at the end.
    void fitRows();

    // A cell as UTF-8. The view is valid until the store next changes. Column 0 numbers
    // are rendered into an internal buffer, so read them before reading another one. Reading
    // the cells of a row from left to right walks the row once (the store remembers where
    // the last read stopped), so reads, though const, are for one thread at a time.
    std::string_view cell(int64_t row, int col) const;
    // The same for a column after 0, without remembering where the read stopped: such reads
    // may run on several threads at once while nothing changes the store.
    std::string_view cellFromAnyThread(int64_t row, int col) const;
    void setCell(int64_t row, int col, std::string_view utf8);
    // The bytes of cells firstCol..lastCol of `row` as they lie in the store: each cell's text
    // in column order, with a short length prefix before each cell after the first. Text that
    // occurs in one of those cells therefore occurs in the view, so a search can rule out a
    // whole row with one scan; a hit may straddle cells and needs confirming with cell().
    // Found without walking the cells when lastCol is the last column. A column-0 number kept
    // beside the row is not in the view. Empty when the row has no bytes (all its cells are
    // empty) or the range holds no column. Valid until the store next changes.
    std::string_view rowBytes(int64_t row, int firstCol, int lastCol) const;
    // Every cell of `row` into cells[0 .. cols() - 1], in one walk over the row (cheaper than
    // cols() calls of cell() when all of them are wanted). Same lifetime as cell()'s views.
    void rowCells(int64_t row, std::string_view *cells) const;
    // The same with cells[0] empty for a row whose "Nº" is kept as a number: touches nothing
    // shared, as cellFromAnyThread().
    void rowCellsFromAnyThread(int64_t row, std::string_view *cells) const;
    // A hint that the cells of `row` will be read soon: a pass over rows that are scattered in
    // memory (after a sort) prefetches a few rows ahead instead of waiting on each one.
    void prefetch(int64_t row) const;

    // Appends a row; cells beyond the given ones are empty.
    void appendRow(const std::string_view *cells, int count) { appendRow(cells, count, {}); }
    // The same for a reader whose cells mostly lie in its buffer: every byte of `readable` may
    // be read, so the short cells inside it are copied 16 bytes at a time, without a branch on
    // their length.
    void appendRow(const std::string_view *cells, int count, std::string_view readable);
    // Inserts a row before `row` (rows.. move down); `row` == rows() appends.
    void insertRow(int64_t row, const std::string_view *cells, int count);
    // A copy of rows [first, last] as a store of their own (tags not copied).
    GridStore copyRows(int64_t first, int64_t last) const;
    // Whether column 0 of rows [first, last] holds startNumber, startNumber + 1, ... (read
    // from the row records alone when the numbers are kept beside the rows).
    bool isNumbered(int64_t first, int64_t last, int64_t startNumber) const;
    void appendEmptyRows(int64_t count);
    void truncate(int64_t rows);              // keeps the first `rows` rows
    void removeRow(int64_t row);              // the rows below move up
    // Moves all rows of `other` (same column count) to the end of this store, without copying bytes.
    void appendStore(GridStore &&other);
    // Reorders rows: row first + k of the result is old row order[k], where order holds each
    // of first .. first + order.size() - 1 once (otherwise nothing happens).
    void permute(int64_t first, const std::vector<int64_t> &order);
    // Column 0 of rows [first, last] := startNumber, startNumber + 1, ... as decimal text.
    // Numbering the same rows from the same number again passes only over the rows from the
    // first one changed, removed or moved since (after a delete, the rows below it), and
    // reads row records only, never the rows' bytes.
    void numberRows(int64_t first, int64_t last, int64_t startNumber);

    // A small per-row tag that travels with the row (sort, remove); 0 means none.
    uint32_t rowTag(int64_t row) const;
    void setRowTag(int64_t row, uint32_t tag);

    size_t memoryUsage() const;               // bytes held, for benchmarks
    // Row bytes still referenced, and bytes left behind by rewritten or removed rows. The
    // store compacts itself when the dead bytes outgrow the live ones.
    size_t liveBytes() const;
    size_t deadBytes() const;
    void compact();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
    int m_cols;
};
