// The grid behind both tables as a Qt model: what its views are told about each change, the
// current cell and the selection in grid coordinates, and cell colours that keep to their rows.
#include "GridTables.h"
#include "ModelSignals.h"
#include <QAbstractItemModelTester>

class TestGridModel : public QObject
{
    Q_OBJECT
private slots:
    void viewsAreToldEachChange_data();
    void viewsAreToldEachChange();
    void coordinatesAndWidths();
    void gridWithoutFixedColumn();
    void currentCell_data();
    void currentCell();
    void selectionCorners_data();
    void selectionCorners();
    void coloursStayWithTheirRows();
};

void TestGridModel::viewsAreToldEachChange_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QStringList>("told");     // the model's signals, split at ";"
    QTest::addColumn<QStringList>("contacts"); // "number call" of rows 1.. afterwards
    const auto row = [](const char *name, const char *steps, const char *told, const char *contacts) {
        QTest::newRow(name) << QString::fromUtf8(steps) << split(told, u';') << split(contacts);
    };
    row("grow", "rows 6", "rowsInserted 3-4", "1 EA1,2 EA2,3 EA3, , ");
    row("headings only", "rows 1", "rowsRemoved 0-2", "");
    row("append a row", "append 4 EA7X", "rowsInserted 3-3", "1 EA1,2 EA2,3 EA3,4 EA7X");
    row("append a store", "store 2", "rowsInserted 3-4", "1 EA1,2 EA2,3 EA3, EA9ZZ, EA9ZZ");
    row("one cell", "set 2 3 Cáceres", "dataChanged 1,2 1,2", "1 EA1,2 EA2,3 EA3");
    row("the same text again", "set 2 3 QTH 2", "", "1 EA1,2 EA2,3 EA3");
    row("a heading", "set 0 2 Operador", "headerDataChanged H 1-1", "1 EA1,2 EA2,3 EA3");
    row("a number", "set 3 0 99", "headerDataChanged V 2-2", "1 EA1,2 EA2,99 EA3");
    row("a colour", "paint 3 2", "dataChanged 2,1 2,1", "1 EA1,2 EA2,3 EA3");
    row("remove a row", "remove 2", "rowsRemoved 1-1", "1 EA1,3 EA3");
    row("number the rows", "set 2 0 abc; remove 1; number",
        "headerDataChanged V 1-1;rowsRemoved 0-0;headerDataChanged V 0-1", "1 EA2,2 EA3");
    row("nothing outside the table",
        "remove 0; remove 4; remove -1; set 4 1 x; set 1 5 x; set -1 0 x; rows 0; paint 9 1;"
        "sort 0 3 1 1; sort 1 4 1 1; sort 1 3 1 5",
        "", "1 EA1,2 EA2,3 EA3");
}

// Each change reaches the views as the few rows or cells it touched, never as a reset, and
// the views read back what the grid holds, headers included.
void TestGridModel::viewsAreToldEachChange()
{
    QFETCH(QString, steps);
    QFETCH(QStringList, told);
    QFETCH(QStringList, contacts);
    GridModel m(5, 1);
    fill(m, 3);
    QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::Fatal);
    ModelSignals signals_(&m);
    apply(m, steps.toUtf8().constData());
    QCOMPARE(signals_.log, told);
    QCOMPARE(contactsOf(m), contacts);
    QCOMPARE(m.rowCount(), m.Rows() - 1);
    QCOMPARE(m.TextMatrix(0, 4), u"Vía"_s);
    for (int r = 1; r < m.Rows(); ++r) {
        QCOMPARE(m.headerData(r - 1, Qt::Vertical).toString(), m.TextMatrix(r, 0));
        for (int c = 1; c < 5; ++c)
            QCOMPARE(m.data(m.index(r - 1, c - 1)).toString(), m.TextMatrix(r, c));
    }
    for (int c = 1; c < 5; ++c)
        QCOMPARE(m.headerData(c - 1, Qt::Horizontal).toString(), m.TextMatrix(0, c));
}

void TestGridModel::coordinatesAndWidths()
{
    GridModel m(5, 1);
    fill(m, 3);
    QCOMPARE(m.columnCount(), 4);
    QCOMPARE(m.headerData(0, Qt::Horizontal, Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask,
             int(Qt::AlignLeft));
    QCOMPARE(m.indexFor(2, 1), m.index(1, 0));
    QVERIFY(!m.indexFor(2, 0).isValid());
    QVERIFY(!m.indexFor(0, 1).isValid());
    QCOMPARE(m.gridRow(m.index(1, 0)), 2);
    QCOMPARE(m.gridCol(m.index(1, 0)), 1);
    const Qt::ItemFlags f = m.flags(m.index(0, 0));
    QVERIFY(f.testFlag(Qt::ItemIsEnabled) && f.testFlag(Qt::ItemIsSelectable) && !f.testFlag(Qt::ItemIsEditable));

    QSignalSpy widths(&m, &GridModel::colWidthChanged);
    QCOMPARE(m.ColWidth(4), -1);
    m.setColWidth(4, 1500);
    m.setColWidth(5, 10);
    QCOMPARE(m.ColWidth(4), 1500);
    QCOMPARE(widths.size(), 1);
    QCOMPARE(widths[0][1].toInt(), 1500);
}

// The DXCC list: three data columns, the heading row only as header, no vertical header text;
// its numbers, when it has any, are ordinary cells.
void TestGridModel::gridWithoutFixedColumn()
{
    GridModel m(3, 0);
    QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::Fatal);
    apply(m, "set 0 0 Prefijo; rows 3; set 2 1 14");
    QCOMPARE(m.columnCount(), 3);
    QCOMPARE(m.headerData(0, Qt::Horizontal).toString(), u"Prefijo"_s);
    QVERIFY(!m.headerData(0, Qt::Vertical).isValid());
    QCOMPARE(m.data(m.index(1, 1)).toString(), u"14"_s);
    QCOMPARE(m.Col(), 0);
    m.setCol(2);
    QCOMPARE(m.Col(), 2);
    QCOMPARE(m.selectionModel()->currentIndex(), m.index(0, 2));

    ModelSignals signals_(&m);
    m.numberRows();
    QCOMPARE(signals_.log, QStringList{u"dataChanged 0,0 1,0"_s});
    QCOMPARE(column(m, 0), split("1,2"));
}

void TestGridModel::currentCell_data()
{
    QTest::addColumn<int>("contacts");
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QList<int>>("expected"); // Row, Col, RowSel, ColSel afterwards
    QTest::addColumn<QString>("text");       // Text() afterwards
    QTest::addColumn<int>("selected");       // cells selected afterwards
    QTest::addColumn<QString>("moved");      // the cells announced as made current
    const auto row = [](const char *name, int contacts, const char *steps, const QList<int> &expected,
                        const char *text, int selected, const char *moved) {
        QTest::newRow(name) << contacts << QString::fromUtf8(steps) << expected << QString::fromUtf8(text)
                            << selected << QString::fromUtf8(moved);
    };
    // Without contacts the current cell is on the heading row; it is never in the fixed
    // column, and it keeps its column while the rows come and go.
    row("no contacts", 0, "", {0, 1, 0, 1}, "Indicativo", 0, "");
    row("no contacts, moves", 0, "col 3; col 0; row 2", {0, 3, 0, 3}, "QTH", 0, "0 3");
    row("rows going away", 0, "fill 4; row 2; col 4; rows 1", {0, 4, 0, 4}, "Vía", 0, "2 1;2 4");
    row("first contact row by default", 0, "col 2; fill 3", {1, 2, 1, 2}, "Nombre 1", 0, "0 2");
    row("text of the current cell", 0, "col 2; fill 3; text Ana", {1, 2, 1, 2}, "Ana", 0, "0 2");
    // Setting the row or the column collapses a selection to the current cell; the heading
    // row, the fixed column and cells beyond the table are refused.
    row("setRow in a selection", 6, "select 2 1 5 3; row 4", {4, 1, 4, 1}, "EA4", 1, "2 1;4 1");
    row("setCol in a selection", 6, "select 2 1 5 3; col 4", {2, 4, 2, 4}, "BURO", 1, "2 1;2 4");
    row("refused moves", 6, "col 4; row 2; row 0; row 7; col 5; col 0", {2, 4, 2, 4}, "BURO", 1, "1 4;2 4");
    // Like the grid, the current row keeps its index when it is removed (the next row moves
    // under it) and follows its contact when a row above goes.
    row("remove the current row", 4, "col 2; row 2; remove 2", {2, 2, 2, 2}, "Nombre 3", 1, "1 2;2 2");
    row("remove the last row", 4, "col 2; row 4; remove 4", {3, 2, 3, 2}, "Nombre 3", 1, "1 2;4 2");
    row("remove a row above", 4, "col 2; row 2; remove 1", {1, 2, 1, 2}, "Nombre 2", 1, "1 2;2 2");
    row("a selection is no current row", 4, "select 1 1 3 2; remove 4", {1, 1, 3, 2}, "EA1", 6, "1 1");
}

void TestGridModel::currentCell()
{
    QFETCH(int, contacts);
    QFETCH(QString, steps);
    QFETCH(QList<int>, expected);
    QFETCH(QString, text);
    QFETCH(int, selected);
    QFETCH(QString, moved);
    GridModel m(5, 1);
    fill(m, contacts);
    QStringList announced;
    connect(&m, &GridModel::currentCellMoved, &m, [&](int r, int c) { announced << u"%1 %2"_s.arg(r).arg(c); });
    apply(m, steps.toUtf8().constData());
    QCOMPARE(corners(m), expected);
    QCOMPARE(m.Text(), text);
    QCOMPARE(m.TextMatrix(expected[0], expected[1]), text);
    QCOMPARE(m.selectionModel()->selectedIndexes().size(), selected);
    QCOMPARE(announced.join(u';'), moved);
    // The view's current index is the far corner of the selection.
    if (m.selectionModel()->currentIndex().isValid())
        QCOMPARE(m.selectionModel()->currentIndex(), m.indexFor(expected[2], expected[3]));
}

void TestGridModel::selectionCorners_data()
{
    QTest::addColumn<QList<int>>("expected"); // row, col, rowSel, colSel
    QTest::newRow("down right") << QList<int>{2, 1, 5, 3};
    QTest::newRow("up left") << QList<int>{5, 3, 2, 1};
    QTest::newRow("up right") << QList<int>{5, 1, 2, 4};
    QTest::newRow("one row") << QList<int>{3, 4, 3, 2};
    QTest::newRow("one cell") << QList<int>{6, 2, 6, 2};
}

// Row/Col is where the selection started, RowSel/ColSel where it ends; the same when the
// selection is made the way a view makes it (current index moves, then the rectangle).
void TestGridModel::selectionCorners()
{
    QFETCH(QList<int>, expected);
    const int row = expected[0], col = expected[1], rowSel = expected[2], colSel = expected[3];
    GridModel m(5, 1);
    fill(m, 6);
    m.setSelection(row, col, rowSel, colSel);
    QCOMPARE(corners(m), expected);
    QCOMPARE(m.selectionModel()->selectedIndexes().size(), (qAbs(row - rowSel) + 1) * (qAbs(col - colSel) + 1));

    GridModel v(5, 1);
    fill(v, 6);
    QItemSelectionModel *sel = v.selectionModel();
    sel->setCurrentIndex(v.indexFor(row, col), QItemSelectionModel::ClearAndSelect);
    sel->setCurrentIndex(v.indexFor(rowSel, colSel), QItemSelectionModel::NoUpdate);
    sel->select(QItemSelection(v.index(qMin(row, rowSel) - 1, qMin(col, colSel) - 1),
                               v.index(qMax(row, rowSel) - 1, qMax(col, colSel) - 1)),
                QItemSelectionModel::ClearAndSelect);
    QCOMPARE(corners(v), expected);
}

void TestGridModel::coloursStayWithTheirRows()
{
    GridModel m(5, 1);
    fill(m, 4);
    const QColor red(128, 0, 0), white(255, 255, 255);
    m.setCellColors(3, 2, red, white);
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
    apply(m, "remove 3; rows 2; fill 3");
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
