#pragma once
// The cells and headings of a table as a screen reader sees them: small objects made when
// asked for and let go by the table (TableAccessible) that owns them.
#include <QAccessible>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QTableView>

class TableCellAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface
{
public:
    TableCellAccessible(QTableView *view, const QModelIndex &index) : m_view(view), m_index(index) {}
    QModelIndex index() const { return m_index; }

    bool isValid() const override { return m_view && m_index.isValid(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override;
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *parent() const override;
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override;
    void *interface_cast(QAccessible::InterfaceType type) override;

    bool isSelected() const override;
    QList<QAccessibleInterface *> columnHeaderCells() const override;
    QList<QAccessibleInterface *> rowHeaderCells() const override;
    int columnIndex() const override { return m_index.column(); }
    int rowIndex() const override { return m_index.row(); }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface *table() const override { return parent(); }

private:
    QPointer<QTableView> m_view;
    QPersistentModelIndex m_index;
};

// A heading of a column or a row; section -1 is the corner where the two headers meet.
class TableHeaderAccessible : public QAccessibleInterface
{
public:
    TableHeaderAccessible(QTableView *view, Qt::Orientation orientation, int section)
        : m_view(view), m_orientation(orientation), m_section(section) {}
    Qt::Orientation orientation() const { return m_orientation; }
    int section() const { return m_section; }

    bool isValid() const override;
    QObject *object() const override { return nullptr; }
    QWindow *window() const override;
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *parent() const override;
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;

private:
    QHeaderView *header() const;
    QPointer<QTableView> m_view;
    Qt::Orientation m_orientation;
    int m_section;
};
