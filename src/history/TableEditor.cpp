#include "TableEditor.h"
#include "LogChrome.h"
#include <algorithm>
#include <charconv>

TableEditor::TableEditor(GridModel &table, LogChrome &chrome) : m_table(table), m_chrome(chrome) {}

void TableEditor::insertRow(int row, const std::string_view *cells, int count)
{
    m_table.insertRow(row, cells, count);
    if (m_observer)
        m_observer->rowInserted(row, cells, count);
}

void TableEditor::removeRow(int row)
{
    m_table.RemoveItem(row);
    if (m_observer)
        m_observer->rowRemoved(row);
}

void TableEditor::numberRows()
{
    m_table.numberRows();
    if (m_observer)
        m_observer->rowsNumbered();
}

void TableEditor::setNumbers(const std::vector<int64_t> &numbers)
{
    char text[24];
    for (size_t i = 0; i < numbers.size() && int(i) + 1 < m_table.Rows(); ++i) {
        const auto end = std::to_chars(text, text + sizeof text, numbers[i]).ptr;
        m_table.setTextMatrix(int(i) + 1, 0, QString::fromLatin1(text, end - text));
    }
    if (m_observer)
        m_observer->numbersSet(numbers);
}

void TableEditor::setCells(const std::vector<CellText> &cells)
{
    // Many cells of one column (QSL marks by the thousand) are told to the views as one change.
    constexpr size_t kMany = 64;
    const int col = cells.empty() ? 0 : cells.front().col;
    if (cells.size() >= kMany
        && std::all_of(cells.begin(), cells.end(), [col](const CellText &c) { return c.col == col; })) {
        std::vector<int> changed;
        for (const CellText &c : cells) {
            if (m_table.setTextQuietly(c.row, c.col, c.text))
                changed.push_back(c.row);
        }
        m_table.notifyRows(col, changed);
    } else {
        for (const CellText &c : cells)
            m_table.setTextMatrix(c.row, c.col, c.text);
    }
    if (m_observer)
        m_observer->cellsSet(cells);
}

void TableEditor::permute(int first, const std::vector<int64_t> &order)
{
    m_table.permuteRows(first, order);
    if (m_observer)
        m_observer->rowsPermuted(first, order);
}

void TableEditor::setChrome(const QString &title, bool saveEnabled)
{
    if (title == m_chrome.title() && saveEnabled == m_chrome.saveEnabled())
        return;
    m_chrome.setTitle(title);
    m_chrome.setSaveEnabled(saveEnabled);
    if (m_observer)
        m_observer->chromeSet(title, saveEnabled);
}

GridModel::Contents TableEditor::cutRows(int row, ChangeId *id)
{
    GridModel::Contents taken = m_table.takeRowsFrom(row);
    *id = m_observer ? m_observer->rowsCut(row) : kNoChange;
    return taken;
}

void TableEditor::restoreRows(GridModel::Contents &&rows, ChangeId cut, ChangeId *id)
{
    *id = m_observer ? m_observer->rowsRestored(cut, rows.rows) : kNoChange;
    m_table.appendContents(std::move(rows));
}

void TableEditor::appendFromFile(GridStore &&rows, const FileSource &file, ChangeId *id)
{
    m_table.appendRows(std::move(rows));
    *id = m_observer ? m_observer->rowsReadFrom(file) : kNoChange;
}

GridModel::Contents TableEditor::withHeading(GridStore &&rows) const
{
    GridModel::Contents table(m_table.Cols());
    std::vector<std::string_view> heading(size_t(m_table.Cols()));
    m_table.store().rowCells(0, heading.data());
    std::vector<std::string> copies(heading.begin(), heading.end());
    for (size_t c = 0; c < copies.size(); ++c)
        heading[c] = copies[c];
    table.rows.appendRow(heading.data(), int(heading.size()));
    table.rows.appendStore(std::move(rows));
    const GridModel::RowColours marks = m_table.rowColours(0); // find next may have marked headings
    if (!marks.empty())
        table.colours.emplace_back(0, marks);
    return table;
}

GridModel::Contents TableEditor::replaceFromFile(GridStore &&rows, const FileSource &file, ChangeId *id)
{
    GridModel::Contents old = m_table.swapContents(withHeading(std::move(rows)));
    *id = m_observer ? m_observer->tableReadFrom(file) : kNoChange;
    return old;
}

GridModel::Contents TableEditor::empty(ChangeId *id)
{
    GridModel::Contents old = m_table.swapContents(withHeading(GridStore(m_table.Cols())));
    *id = m_observer ? m_observer->tableEmptied() : kNoChange;
    return old;
}

GridModel::Contents TableEditor::restoreTable(GridModel::Contents &&table, ChangeId replaced, ChangeId *id)
{
    *id = m_observer ? m_observer->tableRestored(replaced, table.rows) : kNoChange;
    return m_table.swapContents(std::move(table));
}

std::vector<int64_t> TableEditor::numbersUnlessInOrder() const
{
    const GridStore &store = m_table.store();
    const int64_t last = store.rows() - 1;
    if (last < 1 || store.isNumbered(1, last, 1))
        return {};
    std::vector<int64_t> numbers;
    numbers.reserve(size_t(last));
    for (int64_t r = 1; r <= last; ++r) {
        const std::string_view text = store.cell(r, 0);
        int64_t n = 0;
        std::from_chars(text.data(), text.data() + text.size(), n);
        numbers.push_back(n);
    }
    return numbers;
}
