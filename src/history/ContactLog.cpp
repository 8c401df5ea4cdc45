#include "ContactLog.h"
#include "LogChrome.h"
#include "TableCommands.h"

ContactLog::ContactLog(GridModel &table, LogChrome &chrome, QObject *parent)
    : QObject(parent), m_editor(table, chrome)
{
    connect(&m_stack, &QUndoStack::indexChanged, this, &ContactLog::historyChanged);
    connect(&m_stack, &QUndoStack::cleanChanged, this, &ContactLog::historyChanged);
}

ContactLog::~ContactLog()
{
    // The commands refer to the editor: they go first.
    m_stack.clear();
}

const TableCommand *ContactLog::commandAt(int index) const
{
    return static_cast<const TableCommand *>(m_stack.command(index));
}

TableCommand *ContactLog::commandAt(int index)
{
    return static_cast<TableCommand *>(const_cast<QUndoCommand *>(m_stack.command(index)));
}

void ContactLog::push(TableCommand *command)
{
    // The steps undone so far go when a new one is pushed.
    for (int i = m_stack.index(); i < m_stack.count(); ++i)
        m_kept -= commandAt(i)->keptBytes();
    m_stack.push(command);
    m_kept += command->keptBytes();
    trimToLimit();
}

size_t ContactLog::keptBytes() const
{
    return m_kept;
}

void ContactLog::trimToLimit()
{
    // The oldest steps go first; the last one done always stays undoable.
    for (; m_oldestKept + 1 < m_stack.index() && m_kept > m_memoryLimit; ++m_oldestKept) {
        TableCommand *command = commandAt(m_oldestKept);
        m_kept -= command->keptBytes();
        command->release();
    }
}

// --- the changes ---

void ContactLog::addContact(const QStringList &cells)
{
    std::vector<std::string> row;
    row.reserve(size_t(cells.size()) + 1);
    row.emplace_back(); // "Nº", set when the row is added
    for (const QString &c : cells)
        row.push_back(c.toStdString());
    addRow(std::move(row));
}

void ContactLog::addRow(std::vector<std::string> cells)
{
    push(new AddContactCommand(m_editor, std::move(cells)));
}

void ContactLog::deleteLine()
{
    GridModel &t = table();
    if (t.Rows() <= 1) {
        // Nothing to delete: only the save commands go, as when the last contact goes.
        m_editor.chrome().setSaveEnabled(false);
        return;
    }
    const int row = t.Rows() > 2 ? t.Row() : 1;
    if (row < 1)
        return; // the heading row stays whatever is current
    push(new DeleteLineCommand(m_editor, row));
}

void ContactLog::setCell(int row, int col, const QString &text, const QString &what)
{
    if (row < 1 || row >= table().Rows() || col < 0 || col >= table().Cols())
        return;
    setCells({{row, col, text}}, what);
}

void ContactLog::setCells(std::vector<CellText> cells, const QString &what)
{
    // Cells that would not change are no step.
    const GridStore &store = table().store();
    cells.erase(std::remove_if(cells.begin(), cells.end(),
                               [&store](const CellText &c) {
                                   const std::string_view now = store.cell(c.row, c.col);
                                   return QAnyStringView::equal(c.text, QUtf8StringView(now.data(), qsizetype(now.size())));
                               }),
                cells.end());
    if (!cells.empty())
        push(new SetCellsCommand(m_editor, what, std::move(cells)));
}

void ContactLog::sort()
{
    int first, last, firstKey, lastKey;
    table().sortRange(first, last, firstKey, lastKey);
    std::vector<int64_t> order = table().sortOrder(first, last, firstKey, lastKey);
    bool moves = false;
    for (size_t k = 0; k < order.size() && !moves; ++k)
        moves = order[k] != first + int64_t(k);
    if (moves)
        push(new SortCommand(m_editor, first, std::move(order)));
}

void ContactLog::importRows(GridStore rows, const FileSource &file)
{
    push(new ImportCommand(m_editor, QStringLiteral("Importar"), std::move(rows), file));
}

void ContactLog::openTable(GridStore rows, const FileSource &file, const QString &title)
{
    const bool wasSaved = !isChanged();
    push(new ReplaceTableCommand(m_editor, QStringLiteral("Abrir"), std::move(rows), &file, title, true));
    // The opened file is all there is to keep, unless the log it replaced had changes of its
    // own: those stay in the history (and the journal) until saved or dropped.
    if (wasSaved)
        markSaved(savedTo(file));
    else
        m_stack.setClean();
}

TableOrigin ContactLog::savedTo(const FileSource &file) const
{
    return {true, file, m_editor.numbersUnlessInOrder(), m_editor.chrome().title(), m_editor.chrome().saveEnabled()};
}

void ContactLog::emptyTable()
{
    // A log with nothing unsaved gives way to a new one with nothing unsaved; otherwise the
    // old changes are still only in the history, and closing should ask.
    const bool wasSaved = !isChanged();
    push(new ReplaceTableCommand(m_editor, QStringLiteral("Nuevo"), GridStore(table().Cols()), nullptr,
                                 m_editor.chrome().title(), false));
    if (wasSaved)
        markSaved({false, {}, {}, m_editor.chrome().title(), false});
}

// --- undo and redo ---

bool ContactLog::canUndo() const
{
    return m_stack.canUndo() && !commandAt(m_stack.index() - 1)->released();
}

bool ContactLog::canRedo() const
{
    return m_stack.canRedo() && !commandAt(m_stack.index())->released();
}

QString ContactLog::undoText() const
{
    return canUndo() ? m_stack.undoText() : QString();
}

QString ContactLog::redoText() const
{
    return canRedo() ? m_stack.redoText() : QString();
}

void ContactLog::undo()
{
    if (!canUndo())
        return;
    TableCommand *command = commandAt(m_stack.index() - 1);
    m_kept -= command->keptBytes();
    m_stack.undo();
    m_kept += command->keptBytes();
    trimToLimit();
}

void ContactLog::redo()
{
    if (!canRedo())
        return;
    TableCommand *command = commandAt(m_stack.index());
    m_kept -= command->keptBytes();
    m_stack.redo();
    m_kept += command->keptBytes();
    trimToLimit();
}

// --- saved or not ---

void ContactLog::markSaved(const TableOrigin &origin)
{
    m_stack.setClean();
    if (ChangeObserver *observer = m_editor.observer())
        observer->rebased(origin);
    emit historyChanged();
}

void ContactLog::markUnsaved()
{
    m_stack.resetClean();
    emit historyChanged();
}

bool ContactLog::isChanged() const
{
    return !m_stack.isClean();
}
