#pragma once
// The one way the contact table changes: each operation changes the model and tells the
// observer (the recovery journal) what it did. The undo commands and the journal's replay
// both change the table through here, so a replayed change is the change that was made.
#include "ChangeObserver.h"
#include "common/GridModel.h"

class LogChrome;

class TableEditor
{
public:
    TableEditor(GridModel &table, LogChrome &chrome);

    GridModel &table() { return m_table; }
    LogChrome &chrome() { return m_chrome; }
    const LogChrome &chrome() const { return m_chrome; }
    void setObserver(ChangeObserver *observer) { m_observer = observer; }
    ChangeObserver *observer() const { return m_observer; }

    void insertRow(int row, const std::string_view *cells, int count);
    void removeRow(int row);
    void numberRows();                                   // 1, 2, 3, ...
    void setNumbers(const std::vector<int64_t> &numbers); // rows 1, 2, ... get these
    void setCells(const std::vector<CellText> &cells);
    void permute(int first, const std::vector<int64_t> &order);
    void setChrome(const QString &title, bool saveEnabled);

    // The rows from `row` on, taken out (copied) with their colours.
    GridModel::Contents cutRows(int row, ChangeId *id);
    void restoreRows(GridModel::Contents &&rows, ChangeId cut, ChangeId *id);
    // Appends rows read from `file` (their "Nº" not yet set).
    void appendFromFile(GridStore &&rows, const FileSource &file, ChangeId *id);
    // Replaces every contact; the table taken out (heading row included) is returned.
    GridModel::Contents replaceFromFile(GridStore &&rows, const FileSource &file, ChangeId *id);
    GridModel::Contents empty(ChangeId *id);
    GridModel::Contents restoreTable(GridModel::Contents &&table, ChangeId replaced, ChangeId *id);

    // Column 0 of rows 1 .. Rows-1, when it is not simply 1, 2, 3, ... (empty then).
    std::vector<int64_t> numbersUnlessInOrder() const;

private:
    GridModel::Contents withHeading(GridStore &&rows) const;

    GridModel &m_table;
    LogChrome &m_chrome;
    ChangeObserver *m_observer = nullptr;
};
