#include "TableAccessible.h"
#include "TableCells.h"
#include <QHeaderView>
#include <algorithm>
#include <limits>

namespace {
// Lists a screen reader asks for are cut here: a million selected rows are not read one by one.
constexpr int kListed = TableAccessible::kKept;
} // namespace

TableAccessible::TableAccessible(QTableView *view) : QAccessibleWidget(view, QAccessible::Table)
{
    view->installEventFilter(&m_watch);
}

// Qt tells the view itself as focused when it gets the focus; a screen reader then says the
// table's name but not where the operator stands. The current cell follows, once Qt is done.
bool TableAccessible::Watch::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        QPointer<QTableView> view = static_cast<QTableView *>(watched);
        QMetaObject::invokeMethod(this, [view] {
            if (!view || !view->hasFocus() || !view->currentIndex().isValid() || !QAccessible::isActive())
                return;
            const QModelIndex current = view->currentIndex();
            QAccessibleEvent focus(view, QAccessible::Focus);
            focus.setChild((current.row() + 1) * (view->model()->columnCount() + 1) + current.column() + 1);
            QAccessible::updateAccessibility(&focus);
        }, Qt::QueuedConnection);
    }
    return false;
}

TableAccessible::~TableAccessible()
{
    forgetAll();
}

void TableAccessible::forgetAll() const
{
    for (const Kept &kept : std::as_const(m_kept))
        QAccessible::deleteAccessibleInterface(kept.id);
    m_kept.clear();
}

// Follows the model the view shows now: the kept cells move with their rows, and the headings
// of rows are made again when rows come and go.
void TableAccessible::follow() const
{
    QAbstractItemModel *model = view()->model();
    if (model == m_model)
        return;
    forgetAll();
    if (m_model)
        QObject::disconnect(m_model, nullptr, &m_watch, nullptr);
    m_model = model;
    if (!model)
        return;
    const auto rekeyed = [this] { rekey(); };
    const auto cleared = [this] { forgetAll(); };
    QObject::connect(model, &QAbstractItemModel::rowsInserted, &m_watch, rekeyed);
    QObject::connect(model, &QAbstractItemModel::rowsRemoved, &m_watch, rekeyed);
    QObject::connect(model, &QAbstractItemModel::rowsMoved, &m_watch, rekeyed);
    QObject::connect(model, &QAbstractItemModel::layoutChanged, &m_watch, rekeyed);
    QObject::connect(model, &QAbstractItemModel::columnsInserted, &m_watch, cleared);
    QObject::connect(model, &QAbstractItemModel::columnsRemoved, &m_watch, cleared);
    QObject::connect(model, &QAbstractItemModel::columnsMoved, &m_watch, cleared);
    QObject::connect(model, &QAbstractItemModel::modelReset, &m_watch, cleared);
}

void TableAccessible::rekey() const
{
    QHash<quint64, Kept> moved;
    for (auto it = m_kept.cbegin(); it != m_kept.cend(); ++it) {
        QAccessibleInterface *iface = QAccessible::accessibleInterface(it->id);
        const QAccessibleTableCellInterface *c = iface ? iface->tableCellInterface() : nullptr;
        const auto *heading = c ? nullptr : dynamic_cast<TableHeaderAccessible *>(iface);
        const bool keep = c ? iface->isValid() : heading && heading->orientation() == Qt::Horizontal;
        if (!keep) {
            QAccessible::deleteAccessibleInterface(it->id);
            continue;
        }
        moved.insert(c ? key(c->rowIndex(), c->columnIndex()) : it.key(), *it);
    }
    m_kept = std::move(moved);
}

// Lets go of the cells least recently asked for, the current one always kept.
void TableAccessible::trim() const
{
    if (m_kept.size() <= kKept)
        return;
    std::vector<quint64> uses;
    uses.reserve(size_t(m_kept.size()));
    for (const Kept &kept : std::as_const(m_kept))
        uses.push_back(kept.used);
    const auto middle = uses.begin() + std::ptrdiff_t(uses.size() / 2);
    std::nth_element(uses.begin(), middle, uses.end());
    const QModelIndex current = view()->currentIndex();
    const quint64 currentKey = key(current.row(), current.column());
    for (auto it = m_kept.begin(); it != m_kept.end();) {
        if (it->used < *middle && it.key() != currentKey) {
            QAccessible::deleteAccessibleInterface(it->id);
            it = m_kept.erase(it);
        } else {
            ++it;
        }
    }
}

QAccessibleInterface *TableAccessible::cell(int row, int column) const
{
    follow();
    if (!m_model || row < -1 || column < -1 || row >= m_model->rowCount() || column >= m_model->columnCount())
        return nullptr;
    const quint64 k = key(row, column);
    auto found = m_kept.find(k);
    if (found != m_kept.end()) {
        found->used = ++m_clock;
        return QAccessible::accessibleInterface(found->id);
    }
    QAccessibleInterface *made;
    if (row >= 0 && column >= 0)
        made = new TableCellAccessible(view(), m_model->index(row, column));
    else if (row < 0)
        made = new TableHeaderAccessible(view(), Qt::Horizontal, column);
    else
        made = new TableHeaderAccessible(view(), Qt::Vertical, row);
    m_kept.insert(k, {QAccessible::registerAccessibleInterface(made), ++m_clock});
    trim();
    return made;
}

int TableAccessible::childCount() const
{
    return (rowCount() + 1) * (columnCount() + 1);
}

QAccessibleInterface *TableAccessible::child(int index) const
{
    const int width = columnCount() + 1;
    if (index < 0 || index >= childCount())
        return nullptr;
    return cell(index / width - 1, index % width - 1);
}

int TableAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    if (!child || child->parent() != this)
        return -1;
    const int width = columnCount() + 1;
    if (const QAccessibleTableCellInterface *c = const_cast<QAccessibleInterface *>(child)->tableCellInterface())
        return (c->rowIndex() + 1) * width + c->columnIndex() + 1;
    const auto *heading = dynamic_cast<const TableHeaderAccessible *>(child);
    if (!heading)
        return -1;
    return heading->orientation() == Qt::Horizontal ? heading->section() + 1 : (heading->section() + 1) * width;
}

QAccessibleInterface *TableAccessible::childAt(int x, int y) const
{
    const QModelIndex index = view()->indexAt(view()->viewport()->mapFromGlobal(QPoint(x, y)));
    return index.isValid() ? cell(index.row(), index.column()) : nullptr;
}

QAccessibleInterface *TableAccessible::focusChild() const
{
    const QModelIndex current = view()->currentIndex();
    return current.isValid() ? cell(current.row(), current.column()) : nullptr;
}

void *TableAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessibleInterface *TableAccessible::cellAt(int row, int column) const
{
    return row >= 0 && column >= 0 ? cell(row, column) : nullptr;
}

int TableAccessible::columnCount() const
{
    return view()->model() ? view()->model()->columnCount() : 0;
}

int TableAccessible::rowCount() const
{
    return view()->model() ? view()->model()->rowCount() : 0;
}

QString TableAccessible::columnDescription(int column) const
{
    QAccessibleInterface *heading = cell(-1, column);
    return heading ? heading->text(QAccessible::Name) : QString();
}

QString TableAccessible::rowDescription(int row) const
{
    QAccessibleInterface *heading = cell(row, -1);
    return heading ? heading->text(QAccessible::Name) : QString();
}

QItemSelection TableAccessible::selection() const
{
    return view()->selectionModel() ? view()->selectionModel()->selection() : QItemSelection();
}

// Counted from the selection's ranges: a whole column of a million rows is one range.
int TableAccessible::selectedCellCount() const
{
    qint64 count = 0;
    for (const QItemSelectionRange &range : selection())
        count += qint64(range.width()) * range.height();
    return int(std::min<qint64>(count, std::numeric_limits<int>::max()));
}

QList<QAccessibleInterface *> TableAccessible::selectedCells() const
{
    QList<QAccessibleInterface *> cells;
    for (const QItemSelectionRange &range : selection()) {
        for (int row = range.top(); row <= range.bottom() && cells.size() < kListed; ++row) {
            for (int column = range.left(); column <= range.right() && cells.size() < kListed; ++column)
                cells << cell(row, column);
        }
    }
    return cells;
}

QList<int> TableAccessible::selectedColumns() const
{
    QList<int> columns;
    const int rows = rowCount();
    for (const QItemSelectionRange &range : selection()) {
        if (range.top() == 0 && range.bottom() == rows - 1) {
            for (int column = range.left(); column <= range.right() && columns.size() < kListed; ++column)
                columns << column;
        }
    }
    return columns;
}

QList<int> TableAccessible::selectedRows() const
{
    QList<int> rows;
    const int columns = columnCount();
    for (const QItemSelectionRange &range : selection()) {
        if (range.left() == 0 && range.right() == columns - 1) {
            for (int row = range.top(); row <= range.bottom() && rows.size() < kListed; ++row)
                rows << row;
        }
    }
    return rows;
}

bool TableAccessible::isColumnSelected(int column) const
{
    const int rows = rowCount();
    for (const QItemSelectionRange &range : selection()) {
        if (range.top() == 0 && range.bottom() == rows - 1 && range.left() <= column && column <= range.right())
            return true;
    }
    return false;
}

bool TableAccessible::isRowSelected(int row) const
{
    const int columns = columnCount();
    for (const QItemSelectionRange &range : selection()) {
        if (range.left() == 0 && range.right() == columns - 1 && range.top() <= row && row <= range.bottom())
            return true;
    }
    return false;
}
