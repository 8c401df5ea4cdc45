#include "GridModel.h"
#include "GridSort.h"
#include <algorithm>
#include <array>
#include <climits>

namespace {

std::string_view viewOf(const QByteArray &bytes) { return {bytes.constData(), size_t(bytes.size())}; }

} // namespace

GridModel::GridModel(int cols, int fixedCols, QObject *parent)
    : QAbstractTableModel(parent),
      m_store(std::max(cols, 1)),
      m_cols(std::max(cols, 1)),
      m_fixedCols(std::clamp(fixedCols, 0, std::min(1, m_cols - 1))),
      m_colWidths(size_t(m_cols), -1),
      m_selection(new QItemSelectionModel(this, this)),
      m_fallbackCol(m_fixedCols)
{
    m_store.appendEmptyRows(1); // the heading row
    // Remember the column of the last current cell, so it survives the rows going away.
    connect(m_selection, &QItemSelectionModel::currentChanged, this, [this](const QModelIndex &current) {
        if (current.isValid())
            m_fallbackCol = gridCol(current);
        m_headingPick = HeadingPick::None;
    });
    connect(m_selection, &QItemSelectionModel::selectionChanged, this,
            [this] { m_headingPick = HeadingPick::None; });
}

GridModel::~GridModel() = default;

// --- cells ---

int GridModel::Rows() const { return int(m_store.rows()); }

void GridModel::setRows(int rows)
{
    const int old = Rows();
    if (rows < 1 || rows == old)
        return;
    if (rows > old) {
        beginInsertRows(QModelIndex(), old - 1, rows - 2);
        m_store.appendEmptyRows(rows - old);
        endInsertRows();
    } else {
        releaseTags(rows, old - 1);
        beginRemoveRows(QModelIndex(), rows - 1, old - 2);
        m_store.truncate(rows);
        endRemoveRows();
    }
}

bool GridModel::validCell(int row, int col) const
{
    return row >= 0 && row < Rows() && col >= 0 && col < m_cols;
}

QString GridModel::TextMatrix(int row, int col) const
{
    if (!validCell(row, col))
        return QString();
    const std::string_view text = m_store.cell(row, col);
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

void GridModel::setTextMatrix(int row, int col, const QString &text)
{
    if (setTextQuietly(row, col, text)) {
        static const QList<int> display{Qt::DisplayRole};
        notifyCell(row, col, display);
    }
}

bool GridModel::setTextQuietly(int row, int col, const QString &text)
{
    if (!validCell(row, col))
        return false;
    // A short plain text (a mark, a call sign) is turned into UTF-8 on the stack: marks come
    // by the thousand.
    char plain[32];
    bool ascii = text.size() <= qsizetype(sizeof plain);
    for (qsizetype i = 0; ascii && i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        ascii = c < 0x80;
        plain[i] = char(c);
    }
    const QByteArray wide = ascii ? QByteArray() : text.toUtf8();
    const std::string_view utf8 = ascii ? std::string_view(plain, size_t(text.size())) : viewOf(wide);
    if (m_store.cell(row, col) == utf8)
        return false;
    m_store.setCell(row, col, utf8);
    return true;
}

void GridModel::notifyRows(int col, const std::vector<int> &rows)
{
    if (rows.empty())
        return;
    const auto [first, last] = std::minmax_element(rows.begin(), rows.end());
    static const QList<int> display{Qt::DisplayRole};
    if (col < m_fixedCols || *first < 1) { // headers are told one by one
        for (int row : rows)
            notifyCell(row, col, display);
        return;
    }
    m_changedRows = &rows;
    emit dataChanged(index(*first - 1, col - m_fixedCols), index(*last - 1, col - m_fixedCols), display);
    m_changedRows = nullptr;
}

// The heading row and the fixed column are the views' headers; everything else is a cell.
void GridModel::notifyCell(int row, int col, const QList<int> &roles)
{
    if (row == 0) {
        if (col >= m_fixedCols)
            emit headerDataChanged(Qt::Horizontal, col - m_fixedCols, col - m_fixedCols);
    } else if (col < m_fixedCols) {
        emit headerDataChanged(Qt::Vertical, row - 1, row - 1);
    } else {
        const QModelIndex i = index(row - 1, col - m_fixedCols);
        emit dataChanged(i, i, roles);
    }
}

int GridModel::ColWidth(int col) const
{
    return (col >= 0 && col < m_cols) ? m_colWidths[size_t(col)] : -1;
}

void GridModel::setColWidth(int col, int twips)
{
    if (col < 0 || col >= m_cols)
        return;
    m_colWidths[size_t(col)] = twips;
    emit colWidthChanged(col, twips);
}

// --- current cell and selection ---

int GridModel::fallbackCol() const
{
    return std::clamp(m_fallbackCol, std::min(m_fixedCols, m_cols - 1), m_cols - 1);
}

GridModel::Corners GridModel::corners() const
{
    const int col = fallbackCol();
    if (Rows() <= 1)
        return {0, col, 0, col};
    const QModelIndex cur = m_selection->currentIndex();
    if (!cur.isValid())
        return {1, col, 1, col};
    const int r = gridRow(cur), c = gridCol(cur);
    const QItemSelection sel = m_selection->selection();
    if (sel.size() == 1 && sel.first().contains(cur)) {
        // The view moves the current index with the mouse or the shifted arrows, so the
        // corner where the selection started is the one opposite to it.
        const QItemSelectionRange &range = sel.first();
        const int otherRow = (cur.row() == range.top() ? range.bottom() : range.top()) + 1;
        const int otherCol = (cur.column() == range.left() ? range.right() : range.left()) + m_fixedCols;
        // A heading click leaves the current cell at the start of the column (or row) it
        // selected: that end is the anchor, not the far corner.
        if (m_headingPick == HeadingPick::Columns)
            return {r, otherCol, otherRow, c};
        if (m_headingPick == HeadingPick::Rows)
            return {otherRow, c, r, otherCol};
        return {otherRow, otherCol, r, c};
    }
    return {r, c, r, c};
}

int GridModel::Row() const { return corners().row; }
int GridModel::Col() const { return corners().col; }
int GridModel::RowSel() const { return corners().rowSel; }
int GridModel::ColSel() const { return corners().colSel; }

void GridModel::moveCurrent(int row, int col)
{
    m_selection->setCurrentIndex(indexFor(row, col), QItemSelectionModel::ClearAndSelect);
    emit currentCellMoved(row, col);
}

void GridModel::setRow(int row)
{
    if (Rows() <= 1) {
        if (row == 0)
            emit currentCellMoved(0, fallbackCol());
        return;
    }
    if (row < 1 || row >= Rows())
        return;
    moveCurrent(row, Col());
}

void GridModel::setCol(int col)
{
    if (col < m_fixedCols || col >= m_cols)
        return;
    if (Rows() <= 1) {
        m_fallbackCol = col;
        emit currentCellMoved(0, col);
        return;
    }
    moveCurrent(Row(), col);
}

void GridModel::headingSelected(Qt::Orientation orientation)
{
    const QModelIndex cur = m_selection->currentIndex();
    if (!cur.isValid())
        return;
    // The view leaves the current cell on the first row (or column) in sight; the selection
    // starts at the first contact row (or first column), and so does the current cell.
    const bool columns = orientation == Qt::Horizontal;
    m_selection->setCurrentIndex(columns ? index(0, cur.column()) : index(cur.row(), 0), QItemSelectionModel::NoUpdate);
    m_headingPick = columns ? HeadingPick::Columns : HeadingPick::Rows;
}

void GridModel::setSelection(int row, int col, int rowSel, int colSel)
{
    const QModelIndex anchor = indexFor(row, col);
    const QModelIndex cur = indexFor(rowSel, colSel);
    if (!anchor.isValid() || !cur.isValid())
        return;
    const QModelIndex topLeft = index(std::min(anchor.row(), cur.row()), std::min(anchor.column(), cur.column()));
    const QModelIndex bottomRight = index(std::max(anchor.row(), cur.row()), std::max(anchor.column(), cur.column()));
    m_selection->setCurrentIndex(cur, QItemSelectionModel::NoUpdate);
    m_selection->select(QItemSelection(topLeft, bottomRight), QItemSelectionModel::ClearAndSelect);
    emit currentCellMoved(row, col);
}

QString GridModel::Text() const
{
    const Corners k = corners();
    return TextMatrix(k.row, k.col);
}

void GridModel::setText(const QString &text)
{
    const Corners k = corners();
    setTextMatrix(k.row, k.col, text);
}

// --- rows ---

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
        views.push_back(viewOf(bytes.back()));
    }
    const int row = Rows();
    beginInsertRows(QModelIndex(), row - 1, row - 1);
    m_store.appendRow(views.data(), count);
    endInsertRows();
}

// --- colours ---

const GridModel::CellColors *GridModel::findColors(int row, int col) const
{
    if (!validCell(row, col))
        return nullptr;
    const uint32_t tag = m_store.rowTag(row);
    if (tag == 0)
        return nullptr;
    for (const CellColors &c : m_colorSets[tag - 1])
        if (c.col == col)
            return &c;
    return nullptr;
}

QColor GridModel::cellBackColor(int row, int col) const
{
    const CellColors *c = findColors(row, col);
    return c ? c->back : QColor();
}

QColor GridModel::cellForeColor(int row, int col) const
{
    const CellColors *c = findColors(row, col);
    return c ? c->fore : QColor();
}

void GridModel::setCellColors(int row, int col, const QColor &back, const QColor &fore)
{
    if (!validCell(row, col))
        return;
    uint32_t tag = m_store.rowTag(row);
    const bool clearing = !back.isValid() && !fore.isValid();
    if (tag == 0) {
        if (clearing)
            return;
        if (!m_freeTags.empty()) {
            tag = m_freeTags.back();
            m_freeTags.pop_back();
        } else {
            m_colorSets.emplace_back();
            tag = uint32_t(m_colorSets.size());
        }
        m_store.setRowTag(row, tag);
    }
    auto &set = m_colorSets[tag - 1];
    auto it = std::find_if(set.begin(), set.end(), [col](const CellColors &c) { return c.col == col; });
    if (clearing) {
        if (it != set.end())
            set.erase(it);
        if (set.empty()) {
            m_store.setRowTag(row, 0);
            m_freeTags.push_back(tag);
        }
    } else if (it != set.end()) {
        it->back = back;
        it->fore = fore;
    } else {
        set.push_back({col, back, fore});
    }
    notifyCell(row, col, {Qt::BackgroundRole, Qt::ForegroundRole});
}

GridModel::RowColours GridModel::rowColours(int row) const
{
    if (row < 0 || row >= Rows())
        return {};
    const uint32_t tag = m_store.rowTag(row);
    return tag == 0 ? RowColours() : m_colorSets[tag - 1];
}

void GridModel::setRowColours(int row, const RowColours &colours)
{
    for (const CellColour &c : colours)
        setCellColors(row, c.col, c.back, c.fore);
}

std::vector<std::pair<int64_t, GridModel::RowColours>> GridModel::detachColours(int firstRow, int lastRow)
{
    std::vector<std::pair<int64_t, RowColours>> colours;
    if (m_freeTags.size() == m_colorSets.size())
        return colours; // no row has colours
    for (int r = firstRow; r <= lastRow; ++r) {
        if (m_store.rowTag(r) != 0)
            colours.emplace_back(r, rowColours(r));
    }
    releaseTags(firstRow, lastRow);
    return colours;
}

void GridModel::attachColours(const std::vector<std::pair<int64_t, RowColours>> &colours, int64_t offset)
{
    for (const auto &[row, cells] : colours)
        setRowColours(int(row + offset), cells);
}

void GridModel::releaseTags(int firstRow, int lastRow)
{
    if (m_freeTags.size() == m_colorSets.size())
        return; // no row has colours
    for (int r = firstRow; r <= lastRow; ++r) {
        const uint32_t tag = m_store.rowTag(r);
        if (tag != 0) {
            m_colorSets[tag - 1].clear();
            m_freeTags.push_back(tag);
            m_store.setRowTag(r, 0);
        }
    }
}

// --- QAbstractItemModel ---

int GridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Rows() - 1;
}

int GridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_cols - m_fixedCols;
}

QVariant GridModel::colourData(int row, int col, int role) const
{
    const QColor c = role == Qt::BackgroundRole ? cellBackColor(row, col) : cellForeColor(row, col);
    return c.isValid() ? QVariant(c) : QVariant();
}

QVariant GridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.model() != this)
        return QVariant();
    const int row = gridRow(index), col = gridCol(index);
    switch (role) {
    case Qt::DisplayRole:
        return TextMatrix(row, col);
    case Qt::BackgroundRole:
    case Qt::ForegroundRole:
        return colourData(row, col, role);
    default:
        return QVariant();
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    int row, col;
    if (orientation == Qt::Horizontal) {
        row = 0;
        col = section + m_fixedCols;
    } else {
        if (m_fixedCols == 0)
            return QVariant();
        row = section + 1;
        col = 0;
    }
    if (section < 0 || !validCell(row, col))
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return TextMatrix(row, col);
    case Qt::TextAlignmentRole:
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::BackgroundRole:
    case Qt::ForegroundRole:
        return colourData(row, col, role);
    default:
        return QVariant();
    }
}

Qt::ItemFlags GridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

QModelIndex GridModel::indexFor(int row, int col) const
{
    if (row < 1 || row >= Rows() || col < m_fixedCols || col >= m_cols)
        return QModelIndex();
    return index(row - 1, col - m_fixedCols);
}
