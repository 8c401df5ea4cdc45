#pragma once
// The stream of changes to the contact table, as the recovery journal sees it: every change
// the table goes through, done, undone or redone, in the order it happens. Each description
// is enough to make the same change again on a table that went through the same ones before.
#include "FileSource.h"
#include "common/GridStore.h"
#include <QString>
#include <cstdint>
#include <string_view>
#include <vector>

// Refers to an earlier change of the stream, for changes that bring back what an earlier
// one took away (a replaced table, imported rows).
using ChangeId = int64_t;
inline constexpr ChangeId kNoChange = -1;

struct CellText
{
    int row;
    int col;
    QString text;
};

// Where a table with nothing unsaved came from: a file just read or written (its rows then
// numbered as `numbers` says, or 1, 2, 3, ... when that is empty), or nothing at all.
struct TableOrigin
{
    bool fromFile = false;
    FileSource file;
    std::vector<int64_t> numbers;
    QString title;
    bool saveEnabled = false;
};

class ChangeObserver
{
public:
    virtual ~ChangeObserver() = default;
    // The changes between these two make one step (a command done, undone or redone).
    virtual void stepBegins() = 0;
    virtual void stepEnds() = 0;
    // The table now has nothing unsaved: what came before no longer matters.
    virtual void rebased(const TableOrigin &origin) = 0;
    // `cells` are the row's cells, "Nº" included.
    virtual void rowInserted(int64_t row, const std::string_view *cells, int count) = 0;
    virtual void rowRemoved(int64_t row) = 0;
    virtual void rowsNumbered() = 0;                          // 1, 2, 3, ... from the first row
    virtual void numbersSet(const std::vector<int64_t> &numbers) = 0; // of rows 1, 2, ...
    virtual void cellsSet(const std::vector<CellText> &cells) = 0;
    virtual void rowsPermuted(int64_t first, const std::vector<int64_t> &order) = 0;
    virtual void chromeSet(const QString &title, bool saveEnabled) = 0;
    // Rows from `row` on removed (kept by whoever undid them).
    virtual ChangeId rowsCut(int64_t row) = 0;
    // The rows that change `cut` removed, appended again; `rows` holds them for an observer
    // that no longer knows that change.
    virtual ChangeId rowsRestored(ChangeId cut, const GridStore &rows) = 0;
    virtual ChangeId rowsReadFrom(const FileSource &file) = 0;      // appended, not numbered
    virtual ChangeId tableReadFrom(const FileSource &file) = 0;     // every contact replaced
    virtual ChangeId tableEmptied() = 0;
    // The table as it was just before change `replaced`; `table` holds it (heading row
    // included) for an observer that no longer knows that change.
    virtual ChangeId tableRestored(ChangeId replaced, const GridStore &table) = 0;
};
