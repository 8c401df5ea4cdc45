// "Ordenar" and "Borrar Línea" through the menu, with selections made as the user makes
// them: rows and key columns from the selection, numbers and colours travelling with
// their rows, renumbering after a delete, and the save commands when the log empties.
#include "AppFixture.h"
#include "LogRows.h"
#include "app/EntryForm.h"
#include "ui/GridView.h"
#include <QHeaderView>
#include <QSignalSpy>

using namespace Qt::StringLiterals;

class TestSortDelete : public QObject
{
    Q_OBJECT
private slots:
    void sortByCallSignIgnoringCase();
    void sortByTwoKeyColumns();
    void sortOnlyTheSelectedRows();
    void sortWithMouseSelection();
    void headingClickActsOnTheRowShown_data();
    void headingClickActsOnTheRowShown();
    void sortEmptyTableChangesNothing();
    void deleteRenumbers();
    void deleteAfterScramblingSort();
    void deleteLastContactsWithdrawsSave_data();
    void deleteLastContactsWithdrawsSave();

private:
    static void ordenar(AppFixture &f) { f.action("mOrdenar")->trigger(); }
    static void borrar(AppFixture &f) { f.action("mBorra_linea")->trigger(); }
    static void makeCurrent(GridModel &grid, int row, int col)
    {
        grid.setCol(col);
        grid.setRow(row);
    }
};

void TestSortDelete::sortByCallSignIgnoringCase()
{
    AppFixture f;
    GridModel &libro = f.libro();
    addContact(libro, {u"EA4X"_s, u"Ana"_s});
    addContact(libro, {u"lu1abc"_s, u"Beto"_s});
    addContact(libro, {u"CX2Z"_s, u"Carla"_s});
    addContact(libro, {u"LU0B"_s, u"Dora"_s});
    addContact(libro, {u"LU10"_s, u"Eva"_s});
    libro.setCellColors(2, 5, QColor(128, 0, 0), QColor(255, 255, 255));
    makeCurrent(libro, 3, 1);
    ordenar(f);
    QCOMPARE(column(libro, 1), (QStringList{u"CX2Z"_s, u"EA4X"_s, u"LU0B"_s, u"LU10"_s, u"lu1abc"_s}));
    QCOMPARE(column(libro, 2), (QStringList{u"Carla"_s, u"Ana"_s, u"Dora"_s, u"Eva"_s, u"Beto"_s}));
    // Numbers are not rewritten: they went with their contacts.
    QCOMPARE(column(libro, 0), (QStringList{u"3"_s, u"1"_s, u"4"_s, u"5"_s, u"2"_s}));
    QCOMPARE(libro.cellBackColor(5, 5), QColor(128, 0, 0));
    QVERIFY(!libro.cellBackColor(2, 5).isValid());
    QCOMPARE(libro.Rows(), 6);
}

void TestSortDelete::sortByTwoKeyColumns()
{
    AppFixture f;
    GridModel &libro = f.libro();
    addContact(libro, {u"A1"_s, u"bea"_s, u"c"_s});
    addContact(libro, {u"A2"_s, u"Ana"_s, u"Z"_s});
    addContact(libro, {u"A3"_s, u"Bea"_s, u"D"_s});
    addContact(libro, {u"A4"_s, u"ana"_s, u"B"_s});
    addContact(libro, {u"A5"_s, u"Ángel"_s, u"a"_s});
    // "Nombre" to "QTH" in one row, dragged from right to left.
    libro.setSelection(2, 3, 2, 2);
    ordenar(f);
    QCOMPARE(column(libro, 2), (QStringList{u"ana"_s, u"Ana"_s, u"bea"_s, u"Bea"_s, u"Ángel"_s}));
    QCOMPARE(column(libro, 3), (QStringList{u"B"_s, u"Z"_s, u"c"_s, u"D"_s, u"a"_s}));
    QCOMPARE(column(libro, 0), (QStringList{u"4"_s, u"2"_s, u"1"_s, u"3"_s, u"5"_s}));
}

void TestSortDelete::sortOnlyTheSelectedRows()
{
    AppFixture f;
    GridModel &libro = f.libro();
    const QStringList dates{u"10/01/2001"_s, u"9/01/2001"_s, u"9/01/2001"_s, u"01/02/2001"_s, u"02/01/2001"_s,
                            u"00/00/0000"_s};
    const QStringList times{u"10:00"_s, u"23:00"_s, u"08:00"_s, u"12:00"_s, u"05:00"_s, u"00:00"_s};
    for (int i = 0; i < dates.size(); ++i)
        addSparse(libro, {{9, dates[i]}, {10, times[i]}});
    // Rows 4 to 2 of "Fecha" and "Hora", as a drag upwards leaves them.
    libro.setSelection(4, 10, 2, 9);
    ordenar(f);
    // Dates compare as text ("01/02" before "9/01"); equal dates go by time. Rows 1, 5 and 6
    // stay, though they would sort elsewhere.
    QCOMPARE(column(libro, 9), (QStringList{u"10/01/2001"_s, u"01/02/2001"_s, u"9/01/2001"_s, u"9/01/2001"_s,
                                            u"02/01/2001"_s, u"00/00/0000"_s}));
    QCOMPARE(column(libro, 10), (QStringList{u"10:00"_s, u"12:00"_s, u"08:00"_s, u"23:00"_s, u"05:00"_s, u"00:00"_s}));
    QCOMPARE(column(libro, 0), (QStringList{u"1"_s, u"4"_s, u"3"_s, u"2"_s, u"5"_s, u"6"_s}));
}

// The same selection made with the mouse: a click, then a shifted click further down.
void TestSortDelete::sortWithMouseSelection()
{
    AppFixture f;
    QVERIFY(f.showAndActivate());
    GridModel &libro = f.libro();
    for (const QString &call : {u"K5"_s, u"K4"_s, u"K3"_s, u"K2"_s, u"K1"_s})
        addContact(libro, {call});
    GridView *view = f.frame().libroView();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(libro.indexFor(2, 1)).center());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                      view->visualRect(libro.indexFor(4, 1)).center());
    QCOMPARE(libro.Row(), 2);
    QCOMPARE(libro.RowSel(), 4);
    QTest::keyClick(view, Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(column(libro, 1), (QStringList{u"K5"_s, u"K2"_s, u"K3"_s, u"K4"_s, u"K1"_s}));

    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(libro.indexFor(5, 1)).center());
    QTest::keyClick(view, Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(column(libro, 1), (QStringList{u"K1"_s, u"K2"_s, u"K3"_s, u"K4"_s, u"K5"_s}));
    QCOMPARE(column(libro, 0), (QStringList{u"5"_s, u"4"_s, u"3"_s, u"2"_s, u"1"_s}));
}

void TestSortDelete::headingClickActsOnTheRowShown_data()
{
    QTest::addColumn<Qt::Orientation>("heading");
    QTest::addColumn<int>("section");     // the column heading, or the row number clicked
    QTest::addColumn<int>("row");         // the current cell shown afterwards
    QTest::addColumn<int>("col");
    QTest::addColumn<QStringList>("left"); // call signs after "Borrar Línea"
    QTest::newRow("column heading") << Qt::Horizontal << 1 << 1 << 2 << QStringList{u"K2"_s, u"K3"_s, u"K4"_s};
    QTest::newRow("row number") << Qt::Vertical << 2 << 3 << 1 << QStringList{u"K1"_s, u"K2"_s, u"K4"_s};
}

// After a click on a heading the frame shows one cell, and the commands act on that cell.
void TestSortDelete::headingClickActsOnTheRowShown()
{
    QFETCH(Qt::Orientation, heading);
    QFETCH(int, section);
    QFETCH(int, row);
    QFETCH(int, col);
    QFETCH(QStringList, left);
    AppFixture f;
    QVERIFY(f.showAndActivate());
    GridModel &libro = f.libro();
    for (const QString &call : {u"K1"_s, u"K2"_s, u"K3"_s, u"K4"_s})
        addContact(libro, {call, u"n"_s + call});
    GridView *view = f.frame().libroView();
    QHeaderView *header = heading == Qt::Horizontal ? view->horizontalHeader() : view->verticalHeader();
    const int at = header->sectionViewportPosition(section) + header->sectionSize(section) / 2;
    const QPoint point = heading == Qt::Horizontal ? QPoint(at, header->height() / 2) : QPoint(header->width() / 2, at);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, point);

    const QModelIndex shown = view->currentIndex();
    QCOMPARE(std::make_pair(libro.gridRow(shown), libro.gridCol(shown)), std::make_pair(row, col));
    QCOMPARE(std::make_pair(libro.Row(), libro.Col()), std::make_pair(row, col));
    f.action("mCopiar")->trigger();
    QCOMPARE(f.app->variables().cellBuffer, row > 1 ? libro.TextMatrix(row, col) : QString());
    borrar(f);
    QCOMPARE(column(libro, 1), left);
}

void TestSortDelete::sortEmptyTableChangesNothing()
{
    AppFixture f;
    GridModel &libro = f.libro();
    QSignalSpy layout(&libro, &QAbstractItemModel::layoutChanged);
    libro.setCol(2);
    ordenar(f);
    QCOMPARE(libro.Rows(), 1);
    QCOMPARE(libro.TextMatrix(0, 1), u"Indicativo"_s);
    QCOMPARE(libro.TextMatrix(0, 2), u"Nombre"_s);
    QCOMPARE(layout.count(), 0);
}

void TestSortDelete::deleteRenumbers()
{
    AppFixture f;
    GridModel &libro = f.libro();
    for (const QString &call : {u"A1"_s, u"B2"_s, u"C3"_s})
        addContact(libro, {call});
    f.action("mGuardar")->setEnabled(true);
    QSignalSpy reset(&libro, &QAbstractItemModel::modelReset);
    makeCurrent(libro, 2, 4);
    borrar(f);
    QCOMPARE(column(libro, 1), (QStringList{u"A1"_s, u"C3"_s}));
    QCOMPARE(column(libro, 0), (QStringList{u"1"_s, u"2"_s}));
    QCOMPARE(libro.TextMatrix(0, 0), u"Nº"_s);
    QCOMPARE(reset.count(), 0); // the view keeps its rows: only the removed one goes
    QVERIFY(f.action("mGuardar")->isEnabled());
}

void TestSortDelete::deleteAfterScramblingSort()
{
    AppFixture f;
    GridModel &libro = f.libro();
    for (const QString &call : {u"E"_s, u"c"_s, u"A"_s, u"d"_s, u"B"_s, u"F"_s})
        addContact(libro, {call});
    libro.setCellColors(6, 1, QColor(128, 0, 0), QColor(255, 255, 255)); // on "F"
    makeCurrent(libro, 1, 1);
    ordenar(f);
    QCOMPARE(column(libro, 0), (QStringList{u"3"_s, u"5"_s, u"2"_s, u"4"_s, u"1"_s, u"6"_s}));
    makeCurrent(libro, 2, 1); // "B"
    borrar(f);
    QCOMPARE(column(libro, 1), (QStringList{u"A"_s, u"c"_s, u"d"_s, u"E"_s, u"F"_s}));
    QCOMPARE(column(libro, 0), (QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s}));
    QCOMPARE(libro.cellBackColor(5, 1), QColor(128, 0, 0));
    // The current row keeps its index, on the contact that moved up into it.
    QCOMPARE(libro.Row(), 2);
    makeCurrent(libro, 5, 3); // the last row
    borrar(f);
    QCOMPARE(column(libro, 1), (QStringList{u"A"_s, u"c"_s, u"d"_s, u"E"_s}));
    QCOMPARE(column(libro, 0), (QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s}));
}

void TestSortDelete::deleteLastContactsWithdrawsSave_data()
{
    QTest::addColumn<int>("contacts");
    QTest::addColumn<int>("col");
    QTest::newRow("one contact, call sign current") << 1 << 1;
    QTest::newRow("one contact, comment current") << 1 << 16;
    QTest::newRow("heading row only") << 0 << 5;
}

void TestSortDelete::deleteLastContactsWithdrawsSave()
{
    QFETCH(int, contacts);
    QFETCH(int, col);
    AppFixture f;
    GridModel &libro = f.libro();
    for (int i = 0; i < contacts; ++i)
        f.app->entry().Guardar_Click(); // as the add command does, with the save commands
    f.action("mGuardar")->setEnabled(true);
    f.action("mGuardar_como")->setEnabled(true);
    QCOMPARE(libro.Rows(), 1 + contacts);
    libro.setCol(col);
    if (contacts > 0)
        libro.setRow(1);
    borrar(f);
    QCOMPARE(libro.Rows(), 1);
    QVERIFY(!f.action("mGuardar")->isEnabled());
    QVERIFY(!f.action("mGuardar_como")->isEnabled());
    QCOMPARE(libro.TextMatrix(0, 0), u"Nº"_s);
    QCOMPARE(libro.TextMatrix(0, 1), u"Indicativo"_s);
    QCOMPARE(libro.TextMatrix(0, 16), u"Comentario"_s);
    // The next contact is number 1 again.
    f.app->entry().Guardar_Click();
    QCOMPARE(libro.TextMatrix(1, 0), u"1"_s);
}

QTEST_MAIN(TestSortDelete)
#include "tst_sortdelete.moc"
