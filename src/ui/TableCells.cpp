#include "TableCells.h"
#include "GridView.h"
#include "TableAccessible.h"
#include "common/GridModel.h"
#include <QHeaderView>
#include <QWindow>

namespace {
QWindow *windowOf(const QTableView *view)
{
    return view && view->window() ? view->window()->windowHandle() : nullptr;
}

TableAccessible *tableOf(QTableView *view)
{
    return view ? dynamic_cast<TableAccessible *>(QAccessible::queryAccessibleInterface(view)) : nullptr;
}
} // namespace

QWindow *TableCellAccessible::window() const
{
    return windowOf(m_view);
}

QAccessibleInterface *TableCellAccessible::parent() const
{
    return tableOf(m_view);
}

QString TableCellAccessible::text(QAccessible::Text t) const
{
    if (!isValid())
        return QString();
    if (t == QAccessible::Name) {
        // A cell may say more than it shows ("T" is "Trabajada").
        const QVariant spoken = m_index.data(Qt::AccessibleTextRole);
        return spoken.isValid() ? spoken.toString() : m_index.data(Qt::DisplayRole).toString();
    }
    if (t == QAccessible::Description)
        return m_index.data(Qt::AccessibleDescriptionRole).toString();
    return QString();
}

QRect TableCellAccessible::rect() const
{
    if (!isValid())
        return QRect();
    const QRect r = m_view->visualRect(m_index);
    return QRect(m_view->viewport()->mapToGlobal(r.topLeft()), r.size());
}

QAccessible::State TableCellAccessible::state() const
{
    QAccessible::State s;
    if (!isValid()) {
        s.invalid = true;
        return s;
    }
    s.selectable = m_view->selectionMode() != QAbstractItemView::NoSelection;
    s.selected = isSelected();
    s.focusable = m_view->focusPolicy() != Qt::NoFocus;
    s.focused = s.focusable && m_view->hasFocus() && m_view->currentIndex() == QModelIndex(m_index);
    s.invisible = !m_view->viewport()->rect().intersects(m_view->visualRect(m_index));
    return s;
}

void *TableCellAccessible::interface_cast(QAccessible::InterfaceType type)
{
    return type == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface *>(this) : nullptr;
}

bool TableCellAccessible::isSelected() const
{
    return isValid() && m_view->selectionModel() && m_view->selectionModel()->isSelected(m_index);
}

QList<QAccessibleInterface *> TableCellAccessible::columnHeaderCells() const
{
    TableAccessible *table = tableOf(m_view);
    if (!table || !isValid() || m_view->horizontalHeader()->isHidden())
        return {};
    return {table->cell(-1, m_index.column())};
}

QList<QAccessibleInterface *> TableCellAccessible::rowHeaderCells() const
{
    TableAccessible *table = tableOf(m_view);
    if (!table || !isValid() || m_view->verticalHeader()->isHidden())
        return {};
    return {table->cell(m_index.row(), -1)};
}

QHeaderView *TableHeaderAccessible::header() const
{
    return m_orientation == Qt::Horizontal ? m_view->horizontalHeader() : m_view->verticalHeader();
}

bool TableHeaderAccessible::isValid() const
{
    if (!m_view || !m_view->model())
        return false;
    const int count = m_orientation == Qt::Horizontal ? m_view->model()->columnCount() : m_view->model()->rowCount();
    return m_section >= -1 && m_section < count;
}

QWindow *TableHeaderAccessible::window() const
{
    return windowOf(m_view);
}

QAccessibleInterface *TableHeaderAccessible::parent() const
{
    return tableOf(m_view);
}

QString TableHeaderAccessible::text(QAccessible::Text t) const
{
    if (t != QAccessible::Name || !isValid())
        return QString();
    if (m_section < 0) {
        // A grid's corner carries the heading of its fixed column ("Nº").
        const auto *grid = qobject_cast<GridView *>(m_view);
        return grid && grid->gridModel() && grid->gridModel()->fixedCols() > 0 ? grid->gridModel()->TextMatrix(0, 0) : QString();
    }
    const QAbstractItemModel *model = m_view->model();
    const QVariant spoken = model->headerData(m_section, m_orientation, Qt::AccessibleTextRole);
    // Headings of two lines are read as one.
    return (spoken.isValid() ? spoken : model->headerData(m_section, m_orientation)).toString().replace(u'\n', u' ');
}

QRect TableHeaderAccessible::rect() const
{
    if (!isValid() || m_section < 0 || header()->isHidden())
        return QRect();
    const int position = header()->sectionViewportPosition(m_section), size = header()->sectionSize(m_section);
    const QRect r = m_orientation == Qt::Horizontal ? QRect(position, 0, size, header()->height())
                                                    : QRect(0, position, header()->width(), size);
    return QRect(header()->viewport()->mapToGlobal(r.topLeft()), r.size());
}

QAccessible::Role TableHeaderAccessible::role() const
{
    return m_orientation == Qt::Horizontal ? QAccessible::ColumnHeader : QAccessible::RowHeader;
}

QAccessible::State TableHeaderAccessible::state() const
{
    QAccessible::State s;
    s.invalid = !isValid();
    s.invisible = s.invalid || m_section < 0 || header()->isHidden();
    return s;
}
