// A table of text cells for the views: its cells, its current cell and selection, and the
// answers to what the views ask.
#include "GridModel.h"
#include <algorithm>

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
