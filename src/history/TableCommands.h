#pragma once
// One undoable command per kind of change to the contact table. Each keeps what it needs to
// go back, not a copy of the table: a deleted row, a cell's old text, a sort's order, a
// replaced table moved out of the model.
#include "TableEditor.h"
#include <QUndoCommand>
#include <memory>

// The current cell and the selection's far corner, as undo brings them back.
struct TableCursor
{
    int row = 0, col = 1, rowSel = 0, colSel = 1;
    static TableCursor of(const GridModel &table);
    void applyTo(GridModel &table) const;
};

class TableCommand : public QUndoCommand
{
public:
    TableCommand(TableEditor &editor, const QString &text);

    void undo() final;
    void redo() final;

    // Bytes of table data the command keeps while in its present state.
    virtual size_t keptBytes() const { return 0; }
    // Drops what the command keeps: it can no longer be undone or redone.
    virtual void release() { m_released = true; }
    bool released() const { return m_released; }

protected:
    virtual void doIt() = 0;
    virtual void undoIt() = 0;
    TableEditor &editor() { return m_editor; }
    GridModel &table() { return m_editor.table(); }
    // Title and save state as they were before the command, and after it.
    void keepChrome(const QString &title, bool saveEnabled);

private:
    TableEditor &m_editor;
    TableCursor m_before, m_after;
    bool m_done = false;
    bool m_released = false;
    bool m_setsChrome = false;
    QString m_titleBefore, m_titleAfter;
    bool m_saveBefore = false, m_saveAfter = false;
};

// A contact typed in the form: one new row at the end.
class AddContactCommand : public TableCommand
{
public:
    AddContactCommand(TableEditor &editor, std::vector<std::string> cells);
    size_t keptBytes() const override;

protected:
    void doIt() override;
    void undoIt() override;

private:
    std::vector<std::string> m_cells;
    int m_row = 0;
};

// "Borrar Línea": the current row goes and the rest are numbered 1, 2, 3, ...; with one
// contact or none the table is emptied and the save commands withdrawn.
class DeleteLineCommand : public TableCommand
{
public:
    DeleteLineCommand(TableEditor &editor, int row);
    size_t keptBytes() const override;
    void release() override;

protected:
    void doIt() override;
    void undoIt() override;

private:
    int m_row;
    bool m_empties;
    std::vector<std::string> m_cells;         // the deleted row
    GridModel::RowColours m_colours;
    std::vector<int64_t> m_numbers;           // "Nº" before, when not 1, 2, 3, ...
    GridModel::Contents m_kept;               // the emptied table
    ChangeId m_change = kNoChange;
};

// New texts for some cells: cut, paste, the comment editor, replace.
class SetCellsCommand : public TableCommand
{
public:
    SetCellsCommand(TableEditor &editor, const QString &text, std::vector<CellText> cells);
    size_t keptBytes() const override;

protected:
    void doIt() override;
    void undoIt() override;

private:
    std::vector<CellText> m_new, m_old;
};

class SortCommand : public TableCommand
{
public:
    SortCommand(TableEditor &editor, int firstRow, std::vector<int64_t> order);
    size_t keptBytes() const override { return m_order.size() * sizeof(int64_t); }

protected:
    void doIt() override;
    void undoIt() override;

private:
    int m_first;
    std::vector<int64_t> m_order, m_inverse;
};

// Contacts read from a file, appended below the log and the whole table numbered afresh; when
// there was at least one, the save commands are offered.
class ImportCommand : public TableCommand
{
public:
    ImportCommand(TableEditor &editor, const QString &text, GridStore rows, FileSource file);
    size_t keptBytes() const override;
    void release() override;

protected:
    void doIt() override;
    void undoIt() override;

private:
    int m_firstRow = 0;
    GridStore m_rows;                         // until first done
    GridModel::Contents m_kept;               // while undone
    FileSource m_file;
    std::vector<int64_t> m_numbers;
    ChangeId m_change = kNoChange;
    bool m_readDone = false;
};

// Every contact replaced: by a file's ("Abrir"), or by none ("Nuevo").
class ReplaceTableCommand : public TableCommand
{
public:
    // `file` null for "Nuevo".
    ReplaceTableCommand(TableEditor &editor, const QString &text, GridStore rows, const FileSource *file,
                        const QString &title, bool saveEnabled);
    size_t keptBytes() const override;
    void release() override;

protected:
    void doIt() override;
    void undoIt() override;

private:
    GridStore m_rows;                         // the file's, until first done
    std::unique_ptr<FileSource> m_file;
    GridModel::Contents m_kept;               // the table not shown now
    ChangeId m_change = kNoChange;
    bool m_firstDone = false;
};
