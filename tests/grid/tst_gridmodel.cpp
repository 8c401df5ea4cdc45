#include "common/GridModel.h"
#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

namespace {

const QStringList kHeadings{QStringLiteral("Nº"), QStringLiteral("Indicativo"), QStringLiteral("Nombre"),
                            QStringLiteral("QTH"), QStringLiteral("Vía")};

// A contact table of five columns with n numbered rows: row r holds "EA<r>", "Nombre <r>", ...
void fill(GridModel &m, int n)
{
    for (int c = 0; c < kHeadings.size(); ++c)
        m.setTextMatrix(0, c, kHeadings[c]);
    for (int r = 1; r <= n; ++r)
        m.appendRow({QString::number(m.Rows()), QStringLiteral("EA%1").arg(r), QStringLiteral("Nombre %1").arg(r),
                     QStringLiteral("QTH %1").arg(r), QStringLiteral("BURO")});
}

QStringList column(const GridModel &m, int col)
{
    QStringList out;
    for (int r = 1; r < m.Rows(); ++r)
        out << m.TextMatrix(r, col);
    return out;
}

// Every signal that would make a view throw away what it knows.
struct ResetSpies
{
    explicit ResetSpies(GridModel *m)
        : reset(m, &QAbstractItemModel::modelReset), layout(m, &QAbstractItemModel::layoutChanged)
    {
    }
    bool quiet() const { return reset.isEmpty() && layout.isEmpty(); }
    QSignalSpy reset;
    QSignalSpy layout;
};

} // namespace

class TestGridModel : public QObject
{
    Q_OBJECT
private slots:
    void passesModelTester();
    void headersAndCoordinates();
    void fixedColumnlessGrid();
    void rowsGrowAndShrink();
    void invalidIndicesAreHarmless();
    void oneCellChangesAreFineGrained();
    void numberRowsIsOneSignal();
    void currentCellWithoutContacts();
    void currentCellDefaultsLazily();
    void setRowAndColCollapseSelection();
    void selectionCorners_data();
    void selectionCorners();
    void removeItemKeepsCurrentRowIndex();
    void colorsStayWithTheirRows();
};

// The model's signals must be self-consistent through everything the program does to it.
void TestGridModel::passesModelTester()
{
    GridModel m(5, 1);
    QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::Fatal);
    fill(m, 20);
    m.setRows(30);
    m.setTextMatrix(25, 1, QStringLiteral("ec1zz"));
    m.setTextMatrix(3, 0, QStringLiteral("texto"));
    m.setCellColors(4, 2, QColor(128, 0, 0), QColor(255, 255, 255));
    m.RemoveItem(1);
    m.RemoveItem(m.Rows() - 1);
    m.numberRows();
    m.sortRows(1, m.Rows() - 1, 1, 2);
    m.sortRows(3, 9, 3, 3);
    GridStore more(5);
    const std::string_view cells[] = {"", "EA9ZZ", "Zoe"};
    more.appendRow(cells, 3);
    more.appendRow(cells, 3);
    m.appendRows(std::move(more));
    m.setRows(2);
    m.setRows(1);
    fill(m, 3);
    QCOMPARE(m.Rows(), 4);
    QCOMPARE(column(m, 1), (QStringList{QStringLiteral("EA1"), QStringLiteral("EA2"), QStringLiteral("EA3")}));
}

void TestGridModel::headersAndCoordinates()
{
    GridModel m(5, 1);
    fill(m, 3);
    QCOMPARE(m.rowCount(), 3);
    QCOMPARE(m.columnCount(), 4);
    QCOMPARE(m.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Indicativo"));
    QCOMPARE(m.headerData(3, Qt::Horizontal).toString(), QStringLiteral("Vía"));
    QCOMPARE(m.headerData(0, Qt::Horizontal, Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask,
             int(Qt::AlignLeft));
    QCOMPARE(m.headerData(2, Qt::Vertical).toString(), QStringLiteral("3"));
    QCOMPARE(m.TextMatrix(0, 0), QStringLiteral("Nº"));
    QCOMPARE(m.data(m.index(1, 0)).toString(), QStringLiteral("EA2"));
    QCOMPARE(m.indexFor(2, 1), m.index(1, 0));
    QVERIFY(!m.indexFor(2, 0).isValid());
    QVERIFY(!m.indexFor(0, 1).isValid());
    QCOMPARE(m.gridRow(m.index(1, 0)), 2);
    QCOMPARE(m.gridCol(m.index(1, 0)), 1);
    const Qt::ItemFlags f = m.flags(m.index(0, 0));
    QVERIFY(f.testFlag(Qt::ItemIsEnabled) && f.testFlag(Qt::ItemIsSelectable));
    QVERIFY(!f.testFlag(Qt::ItemIsEditable));

    QSignalSpy widths(&m, &GridModel::colWidthChanged);
    QCOMPARE(m.ColWidth(4), -1);
    m.setColWidth(4, 1500);
    m.setColWidth(5, 10);
    QCOMPARE(m.ColWidth(4), 1500);
    QCOMPARE(widths.size(), 1);
    QCOMPARE(widths[0][1].toInt(), 1500);
}

// The DXCC list: three data columns, the heading row only as header, no vertical header text.
void TestGridModel::fixedColumnlessGrid()
{
    GridModel m(3, 0);
    QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::Fatal);
    m.setTextMatrix(0, 0, QStringLiteral("Prefijo  "));
    m.setRows(3);
    m.setTextMatrix(1, 0, QStringLiteral("EA"));
    m.setTextMatrix(2, 1, QStringLiteral("14"));
    QCOMPARE(m.columnCount(), 3);
    QCOMPARE(m.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Prefijo  "));
    QVERIFY(!m.headerData(0, Qt::Vertical).isValid());
    QCOMPARE(m.data(m.index(0, 0)).toString(), QStringLiteral("EA"));
    QCOMPARE(m.data(m.index(1, 1)).toString(), QStringLiteral("14"));
    QCOMPARE(m.Col(), 0);
    m.setCol(2);
    QCOMPARE(m.Col(), 2);
    QCOMPARE(m.selectionModel()->currentIndex(), m.index(0, 2));
}

void TestGridModel::rowsGrowAndShrink()
{
    GridModel m(5, 1);
    fill(m, 2);
    QSignalSpy inserted(&m, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&m, &QAbstractItemModel::rowsRemoved);
    ResetSpies spies(&m);

    m.setRows(6);
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(inserted[0][1].toInt(), 2);
    QCOMPARE(inserted[0][2].toInt(), 4);
    QCOMPARE(m.TextMatrix(5, 1), QString());

    m.setRows(1);
    QCOMPARE(removed.size(), 1);
    QCOMPARE(removed[0][1].toInt(), 0);
    QCOMPARE(removed[0][2].toInt(), 4);
    QCOMPARE(m.Rows(), 1);
    QCOMPARE(m.TextMatrix(0, 4), QStringLiteral("Vía")); // the headings stay

    m.appendRow({QStringLiteral("1"), QStringLiteral("EA7X")});
    QCOMPARE(m.TextMatrix(1, 0), QStringLiteral("1"));
    QCOMPARE(m.TextMatrix(1, 1), QStringLiteral("EA7X"));
    QCOMPARE(m.TextMatrix(1, 2), QString());
    QVERIFY(spies.quiet());
}

void TestGridModel::invalidIndicesAreHarmless()
{
    GridModel m(5, 1);
    fill(m, 2);
    QSignalSpy removed(&m, &QAbstractItemModel::rowsRemoved);
    QSignalSpy changed(&m, &QAbstractItemModel::dataChanged);
    QSignalSpy headers(&m, &QAbstractItemModel::headerDataChanged);
    m.RemoveItem(0);
    m.RemoveItem(3);
    m.RemoveItem(-1);
    m.setTextMatrix(3, 1, QStringLiteral("x"));
    m.setTextMatrix(1, 5, QStringLiteral("x"));
    m.setTextMatrix(-1, 0, QStringLiteral("x"));
    m.setRows(0);
    m.sortRows(0, 2, 1, 1);
    m.sortRows(1, 3, 1, 1);
    m.sortRows(1, 2, 1, 5);
    m.setCellColors(9, 1, Qt::red, Qt::white);
    QVERIFY(removed.isEmpty() && changed.isEmpty() && headers.isEmpty());
    QCOMPARE(m.Rows(), 3);
    QCOMPARE(m.TextMatrix(3, 1), QString());
    QCOMPARE(m.TextMatrix(1, -1), QString());
    QCOMPARE(m.TextMatrix(1, 5), QString());
    QVERIFY(!m.cellBackColor(9, 1).isValid());
    QCOMPARE(column(m, 1), (QStringList{QStringLiteral("EA1"), QStringLiteral("EA2")}));
}

void TestGridModel::oneCellChangesAreFineGrained()
{
    GridModel m(5, 1);
    fill(m, 3);
    QSignalSpy changed(&m, &QAbstractItemModel::dataChanged);
    QSignalSpy headers(&m, &QAbstractItemModel::headerDataChanged);
    QSignalSpy inserted(&m, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&m, &QAbstractItemModel::rowsRemoved);
    ResetSpies spies(&m);

    m.setTextMatrix(2, 3, QStringLiteral("Cáceres"));
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed[0][0].toModelIndex(), m.index(1, 2));
    QCOMPARE(changed[0][1].toModelIndex(), m.index(1, 2));

    m.setTextMatrix(2, 3, QStringLiteral("Cáceres")); // unchanged: nothing to repaint
    QCOMPARE(changed.size(), 1);

    m.setTextMatrix(0, 2, QStringLiteral("Operador"));
    m.setTextMatrix(3, 0, QStringLiteral("99"));
    QCOMPARE(headers.size(), 2);
    QCOMPARE(headers[0][0].value<Qt::Orientation>(), Qt::Horizontal);
    QCOMPARE(headers[0][1].toInt(), 1);
    QCOMPARE(headers[1][0].value<Qt::Orientation>(), Qt::Vertical);
    QCOMPARE(headers[1][1].toInt(), 2);
    QCOMPARE(m.headerData(2, Qt::Vertical).toString(), QStringLiteral("99"));

    m.appendRow({QStringLiteral("4"), QStringLiteral("EA4")});
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(inserted[0][1].toInt(), 3);
    m.RemoveItem(2);
    QCOMPARE(removed.size(), 1);
    QCOMPARE(removed[0][1].toInt(), 1);
    QCOMPARE(removed[0][2].toInt(), 1);
    QCOMPARE(column(m, 1), (QStringList{QStringLiteral("EA1"), QStringLiteral("EA3"), QStringLiteral("EA4")}));
    QVERIFY(spies.quiet());
}

void TestGridModel::numberRowsIsOneSignal()
{
    GridModel m(5, 1);
    fill(m, 5);
    m.RemoveItem(2);
    m.setTextMatrix(3, 0, QStringLiteral("abc"));
    QSignalSpy headers(&m, &QAbstractItemModel::headerDataChanged);
    QSignalSpy changed(&m, &QAbstractItemModel::dataChanged);
    m.numberRows();
    QCOMPARE(headers.size(), 1);
    QCOMPARE(headers[0][1].toInt(), 0);
    QCOMPARE(headers[0][2].toInt(), 3);
    QVERIFY(changed.isEmpty());
    QCOMPARE(column(m, 0), (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                                        QStringLiteral("4")}));
    QCOMPARE(m.TextMatrix(0, 0), QStringLiteral("Nº"));

    // Without a fixed column the numbers are ordinary cells.
    GridModel d(3, 0);
    d.setRows(3);
    QSignalSpy dchanged(&d, &QAbstractItemModel::dataChanged);
    d.numberRows();
    QCOMPARE(dchanged.size(), 1);
    QCOMPARE(dchanged[0][1].toModelIndex(), d.index(1, 0));
    QCOMPARE(d.TextMatrix(2, 0), QStringLiteral("2"));
}

void TestGridModel::currentCellWithoutContacts()
{
    GridModel m(5, 1);
    fill(m, 0);
    QSignalSpy moved(&m, &GridModel::currentCellMoved);
    QCOMPARE(m.Row(), 0);
    QCOMPARE(m.Col(), 1);
    QCOMPARE(m.Text(), QStringLiteral("Indicativo"));
    m.setCol(3);
    m.setCol(0);  // the fixed column is never current
    m.setRow(2);  // no such row
    QCOMPARE(m.Col(), 3);
    QCOMPARE(m.ColSel(), 3);
    QCOMPARE(m.RowSel(), 0);
    QCOMPARE(moved.size(), 1);
    QCOMPARE(moved[0][1].toInt(), 3);

    // Rows going away leave the last current column in place.
    fill(m, 4);
    m.setRow(2);
    m.setCol(4);
    m.setRows(1);
    QCOMPARE(m.Row(), 0);
    QCOMPARE(m.Col(), 4);
}

void TestGridModel::currentCellDefaultsLazily()
{
    GridModel m(5, 1);
    fill(m, 0);
    m.setCol(2);
    fill(m, 3);
    QVERIFY(!m.selectionModel()->currentIndex().isValid());
    QCOMPARE(m.Row(), 1);
    QCOMPARE(m.Col(), 2);
    QCOMPARE(m.Text(), QStringLiteral("Nombre 1"));
    m.setText(QStringLiteral("Ana"));
    QCOMPARE(m.TextMatrix(1, 2), QStringLiteral("Ana"));
    m.setRow(3);
    QCOMPARE(m.selectionModel()->currentIndex(), m.index(2, 1));
}

void TestGridModel::setRowAndColCollapseSelection()
{
    GridModel m(5, 1);
    fill(m, 6);
    QSignalSpy moved(&m, &GridModel::currentCellMoved);
    m.setSelection(2, 1, 5, 3);
    QCOMPARE(m.selectionModel()->selectedIndexes().size(), 12);
    m.setRow(4);
    QCOMPARE(m.Row(), 4);
    QCOMPARE(m.Col(), 1);
    QCOMPARE(m.RowSel(), 4);
    QCOMPARE(m.ColSel(), 1);
    QCOMPARE(m.selectionModel()->selectedIndexes(), QModelIndexList{m.index(3, 0)});
    m.setSelection(2, 1, 5, 3);
    m.setCol(4);
    QCOMPARE(m.Row(), 2);
    QCOMPARE(m.Col(), 4);
    QCOMPARE(m.selectionModel()->selectedIndexes(), QModelIndexList{m.index(1, 3)});
    QCOMPARE(moved.size(), 4);
    QCOMPARE(moved.last()[0].toInt(), 2);
    QCOMPARE(moved.last()[1].toInt(), 4);

    m.setRow(0);  // the heading row is not current while contacts exist
    m.setRow(7);
    m.setCol(5);
    QCOMPARE(m.Row(), 2);
    QCOMPARE(m.Col(), 4);
    QCOMPARE(moved.size(), 4);
}

void TestGridModel::selectionCorners_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("rowSel");
    QTest::addColumn<int>("colSel");
    QTest::newRow("down right") << 2 << 1 << 5 << 3;
    QTest::newRow("up left") << 5 << 3 << 2 << 1;
    QTest::newRow("up right") << 5 << 1 << 2 << 4;
    QTest::newRow("one row") << 3 << 4 << 3 << 2;
    QTest::newRow("one cell") << 6 << 2 << 6 << 2;
}

// Row/Col is where the selection started, RowSel/ColSel where it ends; the same when the
// selection is made the way a view makes it (current index moves, then the rectangle).
void TestGridModel::selectionCorners()
{
    QFETCH(int, row);
    QFETCH(int, col);
    QFETCH(int, rowSel);
    QFETCH(int, colSel);
    GridModel m(5, 1);
    fill(m, 6);
    m.setSelection(row, col, rowSel, colSel);
    QCOMPARE(m.Row(), row);
    QCOMPARE(m.Col(), col);
    QCOMPARE(m.RowSel(), rowSel);
    QCOMPARE(m.ColSel(), colSel);
    QCOMPARE(m.selectionModel()->selectedIndexes().size(), (qAbs(row - rowSel) + 1) * (qAbs(col - colSel) + 1));

    GridModel v(5, 1);
    fill(v, 6);
    QItemSelectionModel *sel = v.selectionModel();
    sel->setCurrentIndex(v.indexFor(row, col), QItemSelectionModel::ClearAndSelect);
    sel->setCurrentIndex(v.indexFor(rowSel, colSel), QItemSelectionModel::NoUpdate);
    sel->select(QItemSelection(v.index(qMin(row, rowSel) - 1, qMin(col, colSel) - 1),
                               v.index(qMax(row, rowSel) - 1, qMax(col, colSel) - 1)),
                QItemSelectionModel::ClearAndSelect);
    QCOMPARE(v.Row(), row);
    QCOMPARE(v.Col(), col);
    QCOMPARE(v.RowSel(), rowSel);
    QCOMPARE(v.ColSel(), colSel);
}

void TestGridModel::removeItemKeepsCurrentRowIndex()
{
    GridModel m(5, 1);
    fill(m, 4);
    m.setCol(2);
    m.setRow(2);
    m.RemoveItem(2);
    QCOMPARE(m.Row(), 2);
    QCOMPARE(m.Col(), 2);
    QCOMPARE(m.Text(), QStringLiteral("Nombre 3"));
    m.setRow(3);
    m.RemoveItem(3); // the last row: the cursor steps up
    QCOMPARE(m.Row(), 2);
    QCOMPARE(m.Col(), 2);

    // Removing another row leaves the cursor on its contact.
    m.setRow(2);
    m.RemoveItem(1);
    QCOMPARE(m.Row(), 1);
    QCOMPARE(m.Text(), QStringLiteral("Nombre 3"));

    // A multi-cell selection is not a current row.
    GridModel k(5, 1);
    fill(k, 4);
    k.setSelection(1, 1, 3, 2);
    k.RemoveItem(4);
    QCOMPARE(k.Row(), 1);
    QCOMPARE(k.RowSel(), 3);
}

void TestGridModel::colorsStayWithTheirRows()
{
    GridModel m(5, 1);
    fill(m, 4);
    const QColor red(128, 0, 0), white(255, 255, 255);
    QSignalSpy changed(&m, &QAbstractItemModel::dataChanged);
    m.setCellColors(3, 2, red, white);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed[0][0].toModelIndex(), m.index(2, 1));
    QCOMPARE(m.data(m.index(2, 1), Qt::BackgroundRole).value<QColor>(), red);
    QCOMPARE(m.data(m.index(2, 1), Qt::ForegroundRole).value<QColor>(), white);
    QVERIFY(!m.data(m.index(2, 0), Qt::BackgroundRole).isValid());
    QVERIFY(!m.cellBackColor(3, 3).isValid());

    m.setCellColors(4, 4, Qt::blue, QColor());
    m.RemoveItem(1);
    QCOMPARE(m.cellBackColor(2, 2), red);
    QCOMPARE(m.cellForeColor(2, 2), white);
    QCOMPARE(m.cellBackColor(3, 4), QColor(Qt::blue));
    QVERIFY(!m.cellForeColor(3, 4).isValid());
    QVERIFY(!m.cellBackColor(3, 2).isValid());

    // Rows that are gone take their colours with them; new rows start plain.
    m.RemoveItem(3);
    m.setRows(2);
    fill(m, 3);
    for (int r = 1; r < m.Rows(); ++r)
        for (int c = 0; c < 5; ++c)
            QVERIFY(!m.cellBackColor(r, c).isValid());

    // Heading cells can be marked too, and clearing a colour restores the default.
    m.setCellColors(0, 3, red, white);
    QCOMPARE(m.headerData(2, Qt::Horizontal, Qt::BackgroundRole).value<QColor>(), red);
    m.setCellColors(0, 3, QColor(), QColor());
    QVERIFY(!m.headerData(2, Qt::Horizontal, Qt::BackgroundRole).isValid());
}

QTEST_APPLESS_MAIN(TestGridModel)
#include "tst_gridmodel.moc"
