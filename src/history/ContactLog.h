#pragma once
// The open log's history: every change to the contact table is a command pushed here, so it
// can be undone and redone, and so the recovery journal (the editor's observer) sees it.
// The stack is bounded by the table data its commands keep: past the bound the oldest steps
// are let go and can no longer be undone.
#include "TableEditor.h"
#include <QObject>
#include <QUndoStack>

class TableCommand;

class ContactLog : public QObject
{
    Q_OBJECT
public:
    ContactLog(GridModel &table, LogChrome &chrome, QObject *parent = nullptr);
    ~ContactLog() override;

    GridModel &table() { return m_editor.table(); }
    TableEditor &editor() { return m_editor; }
    QUndoStack &stack() { return m_stack; }

    // --- the changes ---
    void addContact(const QStringList &cells);              // columns 1 ..; "Nº" is set here
    void addRow(std::vector<std::string> cells);            // UTF-8, columns 0 ..; "Nº" is set here
    void deleteLine();                                      // the current row
    void setCell(int row, int col, const QString &text, const QString &what);
    void setCells(std::vector<CellText> cells, const QString &what);
    void sort();                                            // by the selection, as Sort() does
    void importRows(GridStore rows, const FileSource &file);
    void openTable(GridStore rows, const FileSource &file, const QString &title);
    // What the table is now, as the origin of a file it was just written to.
    TableOrigin savedTo(const FileSource &file) const;
    void emptyTable();                                      // "Nuevo"

    // --- undo and redo ---
    bool canUndo() const;
    bool canRedo() const;
    QString undoText() const;
    QString redoText() const;
    void undo();
    void redo();

    // --- saved or not ---
    // The table is as it was last read or written, from `origin`.
    void markSaved(const TableOrigin &origin);
    // The table holds changes no file has (after a recovery, say).
    void markUnsaved();
    bool isChanged() const;

    // The table data the steps may keep before the oldest are let go.
    void setMemoryLimit(size_t bytes) { m_memoryLimit = bytes; }
    size_t keptBytes() const;

signals:
    void historyChanged();          // what undo and redo would do, or whether saved, changed

private:
    void push(TableCommand *command);
    void trimToLimit();
    const TableCommand *commandAt(int index) const;
    TableCommand *commandAt(int index);

    TableEditor m_editor;
    QUndoStack m_stack;
    size_t m_memoryLimit = size_t(256) << 20;
    size_t m_kept = 0;          // what the commands keep, kept up to date as they change
    int m_oldestKept = 0;       // below it every command is released
};
