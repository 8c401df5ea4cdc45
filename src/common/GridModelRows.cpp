// A table's rows as a whole: removed, sorted, moved, numbered, appended and swapped.
#include "GridModel.h"
#include "GridSort.h"
#include <algorithm>
#include <array>
#include <climits>

void GridModel::RemoveItem(int row)
{
    if (row < 1 || row >= Rows())
        return;
    const QModelIndex cur = m_selection->currentIndex();
    const bool removesCurrent = cur.isValid() && gridRow(cur) == row;
    const int col = cur.isValid() ? gridCol(cur) : fallbackCol();
    releaseTags(row, row);
    beginRemoveRows(QModelIndex(), row - 1, row - 1);
    m_store.removeRow(row);
    endRemoveRows();
    // Like the grid, the current row keeps its index (the next row moves under it); the
    // selection model on its own would step up to the row above.
    if (removesCurrent && Rows() > 1)
        m_selection->setCurrentIndex(indexFor(std::min(row, Rows() - 1), col),
                                     QItemSelectionModel::ClearAndSelect);
}

void GridModel::sortRange(int &firstRow, int &lastRow, int &firstKeyCol, int &lastKeyCol) const
{
    const Corners k = corners();
    firstRow = 1;
    lastRow = Rows() - 1;
    if (k.row != k.rowSel) {
        firstRow = std::min(k.row, k.rowSel);
        lastRow = std::max(k.row, k.rowSel);
    }
    firstKeyCol = std::min(k.col, k.colSel);
    lastKeyCol = std::max(k.col, k.colSel);
}

void GridModel::Sort()
{
    int first, last, firstKey, lastKey;
    sortRange(first, last, firstKey, lastKey);
    sortRows(first, last, firstKey, lastKey);
}

std::vector<int64_t> GridModel::sortOrder(int firstRow, int lastRow, int firstKeyCol, int lastKeyCol) const
{
    if (firstRow < 1 || lastRow >= Rows() || firstRow >= lastRow)
        return {};
    return gridSortOrder(m_store, firstRow, lastRow, firstKeyCol, lastKeyCol);
}

void GridModel::sortRows(int firstRow, int lastRow, int firstKeyCol, int lastKeyCol)
{
    permuteRows(firstRow, sortOrder(firstRow, lastRow, firstKeyCol, lastKeyCol));
}

void GridModel::permuteRows(int firstRow, const std::vector<int64_t> &order)
{
    if (firstRow < 1 || order.size() < 2 || int64_t(order.size()) > Rows() - firstRow)
        return;
    const int lastRow = firstRow + int(order.size()) - 1;
    std::vector<bool> seen(order.size(), false);
    for (int64_t v : order) {
        if (v < firstRow || v > lastRow || seen[size_t(v - firstRow)])
            return; // not a reordering of these rows
        seen[size_t(v - firstRow)] = true;
    }
    bool moves = false;
    for (size_t k = 0; k < order.size() && !moves; ++k)
        moves = order[k] != firstRow + int64_t(k);
    if (!moves)
        return;

    // The sort moves contents under the cursor: the current cell and the selection keep
    // their grid coordinates. Clearing them quietly first also spares the selection model
    // from tracking every selected row through the layout change.
    const QModelIndex cur = m_selection->currentIndex();
    const int curRow = cur.row(), curCol = cur.column();
    const QItemSelection oldSel = m_selection->selection();
    std::vector<std::array<int, 4>> ranges;
    for (const QItemSelectionRange &r : oldSel)
        ranges.push_back({r.top(), r.left(), r.bottom(), r.right()});
    m_selection->reset();

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    m_store.permute(firstRow, order);
    std::vector<int> newRow(order.size());
    for (size_t k = 0; k < order.size(); ++k)
        newRow[size_t(order[k] - firstRow)] = firstRow + int(k);
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &i : before) {
        const int r = gridRow(i);
        after.append(r >= firstRow && r <= lastRow ? index(newRow[size_t(r - firstRow)] - 1, i.column()) : i);
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);

    if (curRow >= 0) {
        QItemSelection sel;
        for (const auto &r : ranges)
            sel.select(index(r[0], r[1]), index(r[2], r[3]));
        m_selection->setCurrentIndex(index(curRow, curCol), QItemSelectionModel::NoUpdate);
        m_selection->select(sel, QItemSelectionModel::ClearAndSelect);
    }
}

void GridModel::numberRows()
{
    if (Rows() <= 1)
        return;
    m_store.numberRows(1, Rows() - 1, 1);
    if (m_fixedCols == 1)
        emit headerDataChanged(Qt::Vertical, 0, Rows() - 2);
    else
        emit dataChanged(index(0, 0), index(Rows() - 2, 0), {Qt::DisplayRole});
}

void GridModel::appendRows(GridStore &&rows)
{
    const int64_t n = rows.rows();
    if (rows.cols() != m_cols || n == 0 || n > int64_t(INT_MAX) - Rows())
        return;
    // Tags of another store mean nothing here.
    for (int64_t i = 0; i < n; ++i)
        if (rows.rowTag(i) != 0)
            rows.setRowTag(i, 0);
    const int first = Rows();
    beginInsertRows(QModelIndex(), first - 1, int(first - 1 + n - 1));
    m_store.appendStore(std::move(rows));
    endInsertRows();
}

void GridModel::insertRow(int row, const std::string_view *cells, int count)
{
    if (row < 1 || row > Rows())
        return;
    beginInsertRows(QModelIndex(), row - 1, row - 1);
    m_store.insertRow(row, cells, std::min(count, m_cols));
    endInsertRows();
}

GridModel::Contents GridModel::takeRowsFrom(int row)
{
    Contents taken(m_cols);
    if (row < 1 || row >= Rows())
        return taken;
    taken.colours = detachColours(row, Rows() - 1);
    for (auto &c : taken.colours)
        c.first -= row;
    taken.rows = m_store.copyRows(row, Rows() - 1);
    setRows(row);
    return taken;
}

void GridModel::appendContents(Contents &&rows)
{
    const int first = Rows();
    const auto colours = std::move(rows.colours);
    appendRows(std::move(rows.rows));
    attachColours(colours, first);
}

GridModel::Contents GridModel::swapContents(Contents &&next)
{
    Contents old(m_cols);
    if (next.rows.cols() != m_cols || next.rows.rows() < 1 || next.rows.rows() > INT_MAX)
        return old;
    beginResetModel();
    old.colours = detachColours(0, Rows() - 1);
    old.rows = std::move(m_store);
    m_store = std::move(next.rows);
    for (int64_t r = 0; r < m_store.rows(); ++r) {
        if (m_store.rowTag(r) != 0)
            m_store.setRowTag(r, 0); // tags of another model mean nothing here
    }
    m_colorSets.clear();
    m_freeTags.clear();
    attachColours(next.colours, 0);
    endResetModel();
    return old;
}

void GridModel::appendRow(const QStringList &cells)
{
    const int count = int(std::min<qsizetype>(cells.size(), m_cols));
    std::vector<QByteArray> bytes;
    std::vector<std::string_view> views;
    bytes.reserve(size_t(count));
    views.reserve(size_t(count));
    for (int c = 0; c < count; ++c) {
        bytes.push_back(cells[c].toUtf8());
        views.emplace_back(bytes.back().constData(), size_t(bytes.back().size()));
    }
    const int row = Rows();
    beginInsertRows(QModelIndex(), row - 1, row - 1);
    m_store.appendRow(views.data(), count);
    endInsertRows();
}
