#pragma once
// The grid behind both tables (the contact table and the DXCC list). It offers the grid
// operations the program is written against (Rows, Cols, TextMatrix, ColWidth, Row, Col,
// Text, RemoveItem, Sort, cell colours) and is a Qt table model for the view.
//
// Grid coordinates: row 0 is the fixed heading row; when fixedCols is 1, column 0 is the
// fixed number column. The view shows the heading row as its horizontal header and the
// fixed column as its vertical header, so Qt row i is grid row i + 1 and Qt column j is
// grid column j + fixedCols.
//
// The current cell and the selection live in selectionModel(); the view must use it
// (QAbstractItemView::setSelectionModel), so clicks and program moves are one state.
#include "GridStore.h"
#include <QAbstractTableModel>
#include <QColor>
#include <QItemSelectionModel>
#include <QStringList>
#include <vector>

class GridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    // The colours of one cell of a row.
    struct CellColour
    {
        int col;
        QColor back;
        QColor fore;
    };
    using RowColours = std::vector<CellColour>;
    // A whole table taken out of the model (heading row included) with its cell colours, to
    // be put back later without copying its rows.
    struct Contents
    {
        explicit Contents(int cols) : rows(cols) {}
        GridStore rows;
        std::vector<std::pair<int64_t, RowColours>> colours; // by row
    };

    GridModel(int cols, int fixedCols, QObject *parent = nullptr);
    ~GridModel() override;

    // --- grid operations ---
    int Rows() const;                        // heading row included
    void setRows(int rows);                  // larger: empty rows appended; 1: heading only
    int Cols() const { return m_cols; }
    int fixedCols() const { return m_fixedCols; }

    QString TextMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString &text);
    // The same without telling anyone: true when the cell changed. The caller then tells the
    // views once, with notifyRows().
    bool setTextQuietly(int row, int col, const QString &text);
    // One change of a column from the first of `rows` to the last: thousands of marks cost one
    // signal. While that dataChanged is out, changedRows() lists `rows`, for listeners that
    // follow single rows; at any other time it is null.
    void notifyRows(int col, const std::vector<int> &rows);
    const std::vector<int> *changedRows() const { return m_changedRows; }

    int ColWidth(int col) const;             // twips; -1 for the view's default width
    void setColWidth(int col, int twips);

    // The current cell. When a multi-cell selection exists, Row/Col is the corner where it
    // started and RowSel/ColSel the far corner (as the user dragged or shift-moved).
    // Fixed cells are never current, except that Row is 0 while there are no contact rows;
    // setting a fixed or out-of-range row or column is ignored.
    int Row() const;
    int Col() const;
    void setRow(int row);                    // collapses the selection to the current cell
    void setCol(int col);                    // likewise
    int RowSel() const;
    int ColSel() const;
    void setSelection(int row, int col, int rowSel, int colSel); // for commands and tests
    // The view selected whole columns (Horizontal) or rows (Vertical) from their headings: the
    // current cell is then the corner where the selection starts, until the selection changes.
    void headingSelected(Qt::Orientation orientation);

    QString Text() const;                    // text of the current cell
    void setText(const QString &text);

    void RemoveItem(int row);                // rows below move up; row 0 is never removed

    // Sort with setting 5 (text, case ignored, ascending) over the current selection:
    // a selection spanning several rows sorts those rows, otherwise all rows 1..Rows-1;
    // key columns are min(Col, ColSel)..max(Col, ColSel), leftmost first. Whole rows move,
    // column 0 and the cell colours included.
    void Sort();
    void sortRows(int firstRow, int lastRow, int firstKeyCol, int lastKeyCol);
    // The rows and key columns Sort() would use, from the selection.
    void sortRange(int &firstRow, int &lastRow, int &firstKeyCol, int &lastKeyCol) const;
    // The order sortRows() would give: entry k is the row that goes to firstRow + k.
    std::vector<int64_t> sortOrder(int firstRow, int lastRow, int firstKeyCol, int lastKeyCol) const;
    // Reorders rows: row first + k becomes the row that was order[k]. The current cell and the
    // selection keep their places; colours and numbers travel with their rows.
    void permuteRows(int firstRow, const std::vector<int64_t> &order);

    // Colours of one cell (find next marks matches); invalid QColor means the view's default.
    QColor cellBackColor(int row, int col) const;
    QColor cellForeColor(int row, int col) const;
    void setCellColors(int row, int col, const QColor &back, const QColor &fore);
    RowColours rowColours(int row) const;
    void setRowColours(int row, const RowColours &colours);

    // --- bulk operations for the file readers and renumbering ---
    // Column 0 of every row 1..Rows-1 := "1", "2", ... (one header signal, no allocation per row).
    void numberRows();
    // Appends the rows of `rows` (same column count; its row 0 is a contact row, not a heading).
    void appendRows(GridStore &&rows);
    // Appends one row from texts (cells beyond the list stay empty).
    void appendRow(const QStringList &cells);
    // Inserts one row from UTF-8 cells before `row` (Rows() appends).
    void insertRow(int row, const std::string_view *cells, int count);
    // Rows [row, Rows-1] copied out with their colours, then removed.
    Contents takeRowsFrom(int row);
    // Appends the rows of `rows` (row 0 of it is a contact) with their colours.
    void appendContents(Contents &&rows);
    // Swaps the whole table for `next` (heading row included): the model resets, the current
    // cell goes to the first contact row. Returns what the table held.
    Contents swapContents(Contents &&next);
    const GridStore &store() const { return m_store; }

    QItemSelectionModel *selectionModel() const { return m_selection; }

    // --- QAbstractItemModel ---
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // Qt index <-> grid coordinates.
    QModelIndex indexFor(int row, int col) const;
    int gridRow(const QModelIndex &index) const { return index.row() + 1; }
    int gridCol(const QModelIndex &index) const { return index.column() + m_fixedCols; }

signals:
    void colWidthChanged(int col, int twips);
    // Emitted when a command makes a cell current, so the view can scroll it into view.
    void currentCellMoved(int row, int col);

private:
    QVariant colourData(int row, int col, int role) const;
    using CellColors = CellColour;
    struct Corners { int row, col, rowSel, colSel; };
    Corners corners() const;
    int fallbackCol() const;
    bool validCell(int row, int col) const;
    void moveCurrent(int row, int col);
    void notifyCell(int row, int col, const QList<int> &roles);
    void releaseTags(int firstRow, int lastRow);
    std::vector<std::pair<int64_t, RowColours>> detachColours(int firstRow, int lastRow);
    void attachColours(const std::vector<std::pair<int64_t, RowColours>> &colours, int64_t offset);
    const CellColors *findColors(int row, int col) const;

    GridStore m_store;
    int m_cols;
    int m_fixedCols;
    const std::vector<int> *m_changedRows = nullptr;
    std::vector<int> m_colWidths;
    QItemSelectionModel *m_selection;
    int m_fallbackCol = 1;                   // current column while no index can hold it
    enum class HeadingPick { None, Columns, Rows };
    HeadingPick m_headingPick = HeadingPick::None;
    std::vector<std::vector<CellColors>> m_colorSets; // indexed by the row tag - 1
    std::vector<uint32_t> m_freeTags;
};
