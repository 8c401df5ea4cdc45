#pragma once
// A table view as a screen reader sees it: rows, columns, headings and cells through the table
// interface, the current cell as the focused child. Children are numbered as Qt's table views
// number them in their own events: the corner, the column headings, then for each row its
// heading and its cells. Cells are made when asked for and at most kKept are kept: a log of a
// million contacts does not become a million objects, and a long session reading the table
// does not pile them up.
#include <QAccessibleWidget>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QTableView>

class TableAccessible : public QAccessibleWidget, public QAccessibleTableInterface
{
public:
    static constexpr int kKept = 512;
    explicit TableAccessible(QTableView *view);
    ~TableAccessible() override;
    QTableView *view() const { return static_cast<QTableView *>(widget()); }

    // The cell at a model row and column; row -1 is a column heading, column -1 a row heading.
    QAccessibleInterface *cell(int row, int column) const;
    int keptCells() const { return int(m_kept.size()); }

    QAccessible::Role role() const override { return QAccessible::Table; }
    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *focusChild() const override;
    void *interface_cast(QAccessible::InterfaceType type) override;

    QAccessibleInterface *caption() const override { return nullptr; }
    QAccessibleInterface *summary() const override { return nullptr; }
    QAccessibleInterface *cellAt(int row, int column) const override;
    int selectedCellCount() const override;
    QList<QAccessibleInterface *> selectedCells() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int row) const override;
    int selectedColumnCount() const override { return int(selectedColumns().size()); }
    int selectedRowCount() const override { return int(selectedRows().size()); }
    int columnCount() const override;
    int rowCount() const override;
    QList<int> selectedColumns() const override;
    QList<int> selectedRows() const override;
    bool isColumnSelected(int column) const override;
    bool isRowSelected(int row) const override;
    // Selecting goes through the keyboard, as for everyone.
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent *) override {} // followed through the model itself

private:
    static quint64 key(int row, int column) { return (quint64(quint32(row + 1)) << 32) | quint32(column + 1); }
    void follow() const;
    void forgetAll() const;
    void rekey() const;
    void trim() const;
    QItemSelection selection() const;

    struct Kept
    {
        QAccessible::Id id;
        quint64 used;
    };
    mutable QHash<quint64, Kept> m_kept;
    mutable quint64 m_clock = 0;
    mutable QPointer<QAbstractItemModel> m_model;
    // Owns the connections to the model, and tells the current cell when the view gets the focus.
    class Watch : public QObject
    {
    public:
        bool eventFilter(QObject *watched, QEvent *event) override;
    };
    mutable Watch m_watch;
};
