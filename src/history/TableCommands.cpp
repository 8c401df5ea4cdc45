#include "TableCommands.h"
#include "LogChrome.h"
#include <QByteArray>

TableCursor TableCursor::of(const GridModel &table)
{
    return {table.Row(), table.Col(), table.RowSel(), table.ColSel()};
}

void TableCursor::applyTo(GridModel &table) const
{
    if (table.Rows() <= 1 || row < 1) {
        table.setCol(col);
        return;
    }
    const int last = table.Rows() - 1;
    table.setSelection(std::min(row, last), col, std::clamp(rowSel, 1, last), colSel);
}

TableCommand::TableCommand(TableEditor &editor, const QString &text)
    : QUndoCommand(text), m_editor(editor), m_before(TableCursor::of(editor.table()))
{
    m_titleBefore = m_titleAfter = editor.chrome().title();
    m_saveBefore = m_saveAfter = editor.chrome().saveEnabled();
}

void TableCommand::keepChrome(const QString &title, bool saveEnabled)
{
    m_setsChrome = true;
    m_titleAfter = title;
    m_saveAfter = saveEnabled;
}

namespace {

// The changes of one step reach the observer as one.
class Step
{
public:
    explicit Step(TableEditor &editor) : m_observer(editor.observer())
    {
        if (m_observer)
            m_observer->stepBegins();
    }
    ~Step()
    {
        if (m_observer)
            m_observer->stepEnds();
    }

private:
    ChangeObserver *m_observer;
};

} // namespace

void TableCommand::redo()
{
    if (m_released)
        return;
    const Step step(m_editor);
    doIt();
    if (m_setsChrome)
        m_editor.setChrome(m_titleAfter, m_saveAfter);
    if (m_done)
        m_after.applyTo(table());
    else
        m_after = TableCursor::of(table());
    m_done = true;
}

void TableCommand::undo()
{
    if (m_released)
        return;
    const Step step(m_editor);
    undoIt();
    if (m_setsChrome)
        m_editor.setChrome(m_titleBefore, m_saveBefore);
    m_before.applyTo(table());
}

namespace {

std::vector<std::string_view> views(const std::vector<std::string> &cells)
{
    return {cells.begin(), cells.end()};
}

size_t bytesOf(const std::vector<std::string> &cells)
{
    size_t n = 0;
    for (const std::string &c : cells)
        n += c.size() + sizeof(std::string);
    return n;
}

std::vector<std::string> rowOf(const GridModel &table, int row)
{
    std::vector<std::string_view> cells(size_t(table.Cols()));
    table.store().rowCells(row, cells.data());
    return {cells.begin(), cells.end()};
}

} // namespace

// --- add ---

AddContactCommand::AddContactCommand(TableEditor &editor, std::vector<std::string> cells)
    : TableCommand(editor, QStringLiteral("Agregar contacto")), m_cells(std::move(cells))
{
    keepChrome(editor.chrome().title(), true);
}

size_t AddContactCommand::keptBytes() const
{
    return bytesOf(m_cells);
}

void AddContactCommand::doIt()
{
    m_row = table().Rows();
    m_cells.resize(size_t(table().Cols()));
    m_cells[0] = QByteArray::number(m_row).toStdString(); // the new row's own index
    const auto cells = views(m_cells);
    editor().insertRow(m_row, cells.data(), int(cells.size()));
}

void AddContactCommand::undoIt()
{
    editor().removeRow(m_row);
}

// --- delete line ---

DeleteLineCommand::DeleteLineCommand(TableEditor &editor, int row)
    : TableCommand(editor, QStringLiteral("Borrar línea")), m_row(row), m_empties(editor.table().Rows() <= 2),
      m_kept(editor.table().Cols())
{
    if (m_empties)
        keepChrome(editor.chrome().title(), false);
}

size_t DeleteLineCommand::keptBytes() const
{
    return bytesOf(m_cells) + m_numbers.size() * sizeof(int64_t) + m_kept.rows.memoryUsage();
}

void DeleteLineCommand::release()
{
    TableCommand::release();
    m_cells = {};
    m_numbers = {};
    m_kept = GridModel::Contents(table().Cols());
}

void DeleteLineCommand::doIt()
{
    if (m_empties) {
        m_kept = editor().empty(&m_change);
        return;
    }
    m_cells = rowOf(table(), m_row);
    m_colours = table().rowColours(m_row);
    m_numbers = editor().numbersUnlessInOrder();
    editor().removeRow(m_row);
    editor().numberRows();
}

void DeleteLineCommand::undoIt()
{
    if (m_empties) {
        m_kept = editor().restoreTable(std::move(m_kept), m_change, &m_change);
        return;
    }
    const auto cells = views(m_cells);
    editor().insertRow(m_row, cells.data(), int(cells.size()));
    table().setRowColours(m_row, m_colours);
    if (m_numbers.empty())
        editor().numberRows();
    else
        editor().setNumbers(m_numbers);
    m_cells = {};
    m_numbers = {};
}

// --- cells ---

SetCellsCommand::SetCellsCommand(TableEditor &editor, const QString &text, std::vector<CellText> cells)
    : TableCommand(editor, text), m_new(std::move(cells))
{
    m_old.reserve(m_new.size());
    for (const CellText &c : m_new)
        m_old.push_back({c.row, c.col, editor.table().TextMatrix(c.row, c.col)});
}

size_t SetCellsCommand::keptBytes() const
{
    size_t n = 0;
    for (const auto *list : {&m_new, &m_old}) {
        for (const CellText &c : *list)
            n += sizeof(CellText) + size_t(c.text.size()) * 2;
    }
    return n;
}

void SetCellsCommand::doIt()
{
    editor().setCells(m_new);
}

void SetCellsCommand::undoIt()
{
    // In reverse, so a cell changed twice ends with its first text.
    std::vector<CellText> back(m_old.rbegin(), m_old.rend());
    editor().setCells(back);
}

// --- sort ---

SortCommand::SortCommand(TableEditor &editor, int firstRow, std::vector<int64_t> order)
    : TableCommand(editor, QStringLiteral("Ordenar")), m_first(firstRow), m_order(std::move(order))
{
}

void SortCommand::doIt()
{
    editor().permute(m_first, m_order);
}

void SortCommand::undoIt()
{
    if (m_inverse.empty()) {
        m_inverse.resize(m_order.size());
        for (size_t k = 0; k < m_order.size(); ++k)
            m_inverse[size_t(m_order[k] - m_first)] = m_first + int64_t(k);
    }
    editor().permute(m_first, m_inverse);
}

// --- import ---

ImportCommand::ImportCommand(TableEditor &editor, const QString &text, GridStore rows, FileSource file)
    : TableCommand(editor, text), m_rows(std::move(rows)), m_kept(editor.table().Cols()), m_file(std::move(file))
{
    // Contacts brought in can be saved, as typed ones can.
    if (m_rows.rows() > 0)
        keepChrome(editor.chrome().title(), true);
}

size_t ImportCommand::keptBytes() const
{
    return m_rows.memoryUsage() + m_kept.rows.memoryUsage() + m_numbers.size() * sizeof(int64_t);
}

void ImportCommand::release()
{
    TableCommand::release();
    m_rows = GridStore(table().Cols());
    m_kept = GridModel::Contents(table().Cols());
    m_numbers = {};
}

void ImportCommand::doIt()
{
    if (!m_readDone) {
        m_firstRow = table().Rows();
        m_numbers = editor().numbersUnlessInOrder();
        editor().appendFromFile(std::move(m_rows), m_file, &m_change);
        m_readDone = true;
    } else {
        editor().restoreRows(std::move(m_kept), m_change, &m_change);
        m_kept = GridModel::Contents(table().Cols());
    }
    editor().numberRows();
}

void ImportCommand::undoIt()
{
    m_kept = editor().cutRows(m_firstRow, &m_change);
    if (!m_numbers.empty())
        editor().setNumbers(m_numbers);
}

// --- open and new ---

ReplaceTableCommand::ReplaceTableCommand(TableEditor &editor, const QString &text, GridStore rows,
                                         const FileSource *file, const QString &title, bool saveEnabled)
    : TableCommand(editor, text), m_rows(std::move(rows)), m_kept(editor.table().Cols())
{
    if (file)
        m_file = std::make_unique<FileSource>(*file);
    keepChrome(title, saveEnabled);
}

size_t ReplaceTableCommand::keptBytes() const
{
    return m_rows.memoryUsage() + m_kept.rows.memoryUsage();
}

void ReplaceTableCommand::release()
{
    TableCommand::release();
    m_rows = GridStore(table().Cols());
    m_kept = GridModel::Contents(table().Cols());
}

void ReplaceTableCommand::doIt()
{
    if (m_firstDone) {
        m_kept = editor().restoreTable(std::move(m_kept), m_change, &m_change);
    } else if (m_file) {
        m_kept = editor().replaceFromFile(std::move(m_rows), *m_file, &m_change);
        editor().numberRows();
    } else {
        m_kept = editor().empty(&m_change);
    }
    m_firstDone = true;
}

void ReplaceTableCommand::undoIt()
{
    m_kept = editor().restoreTable(std::move(m_kept), m_change, &m_change);
}
