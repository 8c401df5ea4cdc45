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

namespace {
const QColor kDarkRed(128, 0, 0);
const QColor kWhite(255, 255, 255);
} // namespace

class TestSortDelete : public QObject
{
    Q_OBJECT
private slots:
    void sortBySelection_data();
    void sortBySelection();
    void sortWithMouseSelection();
    void headingClickActsOnTheRowShown_data();
    void headingClickActsOnTheRowShown();
    void deleteRenumbersAfterAScramblingSort();
    void deleteLastContactsWithdrawsSave_data();
    void deleteLastContactsWithdrawsSave();
};

void TestSortDelete::sortBySelection_data()
{
    QTest::addColumn<QStringList>("contacts"); // as "column=text|column=text"
    QTest::addColumn<QList<int>>("selection"); // the corner where it started, then the far one
    QTest::addColumn<QStringList>("numbers");  // "Nº" afterwards: where each contact went
    QTest::newRow("one cell: every row by the call sign, case ignored")
        << QStringList{u"1=EA4X|2=Ana"_s, u"1=lu1abc|2=Beto"_s, u"1=CX2Z|2=Carla"_s, u"1=LU0B|2=Dora"_s, u"1=LU10|2=Eva"_s}
        << QList<int>{3, 1, 3, 1} << QStringList{u"3"_s, u"1"_s, u"4"_s, u"5"_s, u"2"_s};
    // "Nombre" to "QTH" in one row, dragged from right to left; accented letters go last.
    QTest::newRow("two key columns")
        << QStringList{u"1=A1|2=bea|3=c"_s, u"1=A2|2=Ana|3=Z"_s, u"1=A3|2=Bea|3=D"_s, u"1=A4|2=ana|3=B"_s,
                       u"1=A5|2=Ángel|3=a"_s}
        << QList<int>{2, 3, 2, 2} << QStringList{u"4"_s, u"2"_s, u"1"_s, u"3"_s, u"5"_s};
    // Rows 4 to 2 of "Fecha" and "Hora", as a drag upwards leaves them. Dates compare as text
    // ("01/02" before "9/01"); equal dates go by time. Rows 1, 5 and 6 stay, though they
    // would sort elsewhere.
    QTest::newRow("only the selected rows")
        << QStringList{u"9=10/01/2001|10=10:00"_s, u"9=9/01/2001|10=23:00"_s, u"9=9/01/2001|10=08:00"_s,
                       u"9=01/02/2001|10=12:00"_s, u"9=02/01/2001|10=05:00"_s, u"9=00/00/0000|10=00:00"_s}
        << QList<int>{4, 10, 2, 9} << QStringList{u"1"_s, u"4"_s, u"3"_s, u"2"_s, u"5"_s, u"6"_s};
    QTest::newRow("heading row only") << QStringList{} << QList<int>{0, 2, 0, 2} << QStringList{};
}

void TestSortDelete::sortBySelection()
{
    QFETCH(QStringList, contacts);
    QFETCH(QList<int>, selection);
    QFETCH(QStringList, numbers);
    AppFixture f;
    GridModel &libro = f.libro();
    for (const QString &contact : contacts)
        addSparse(libro, contact);
    libro.setCellColors(2, 5, kDarkRed, kWhite);
    if (selection[0] == selection[2] && selection[1] == selection[3])
        makeCurrent(libro, selection[0], selection[1]);
    else
        libro.setSelection(selection[0], selection[1], selection[2], selection[3]);
    const QList<QStringList> before = f.cells();
    QSignalSpy layout(&libro, &QAbstractItemModel::layoutChanged);
    f.action("mOrdenar")->trigger();

    QCOMPARE(column(libro, 0), numbers); // not rewritten: they went with their contacts
    const QList<QStringList> after = f.cells();
    QCOMPARE(after.size(), before.size());
    QCOMPARE(after[0], before[0]);
    for (int r = 1; r < after.size(); ++r) {
        const int was = after[r][0].toInt();
        QCOMPARE(after[r].mid(1), before[was].mid(1)); // whole rows moved
        QCOMPARE(libro.cellBackColor(r, 5).isValid(), was == 2);
    }
    QCOMPARE(layout.count(), contacts.isEmpty() ? 0 : 1);
}

// The selection made with the mouse: a click, then a shifted click further down.
void TestSortDelete::sortWithMouseSelection()
{
    AppFixture f;
    QVERIFY(f.showAndActivate());
    GridModel &libro = f.libro();
    for (const QString &call : {u"K5"_s, u"K4"_s, u"K3"_s, u"K2"_s, u"K1"_s})
        addContact(libro, {call});
    GridView *view = f.frame().libroView();
    const auto click = [&](int row, Qt::KeyboardModifiers keys) {
        QTest::mouseClick(view->viewport(), Qt::LeftButton, keys, view->visualRect(libro.indexFor(row, 1)).center());
    };
    click(2, {});
    click(4, Qt::ShiftModifier);
    QCOMPARE(libro.Row(), 2);
    QCOMPARE(libro.RowSel(), 4);
    QTest::keyClick(view, Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(column(libro, 1), (QStringList{u"K5"_s, u"K2"_s, u"K3"_s, u"K4"_s, u"K1"_s}));
    click(5, {});
    QTest::keyClick(view, Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(column(libro, 1), (QStringList{u"K1"_s, u"K2"_s, u"K3"_s, u"K4"_s, u"K5"_s}));
    QCOMPARE(column(libro, 0), (QStringList{u"5"_s, u"4"_s, u"3"_s, u"2"_s, u"1"_s}));
}

void TestSortDelete::headingClickActsOnTheRowShown_data()
{
    QTest::addColumn<Qt::Orientation>("heading");
    QTest::addColumn<int>("section");     // the column heading, or the row number clicked
    QTest::addColumn<Cell>("shown");      // the current cell afterwards
    QTest::addColumn<QStringList>("left"); // call signs after "Borrar Línea"
    QTest::newRow("column heading") << Qt::Horizontal << 1 << Cell(1, 2) << QStringList{u"K2"_s, u"K3"_s, u"K4"_s};
    QTest::newRow("row number") << Qt::Vertical << 2 << Cell(3, 1) << QStringList{u"K1"_s, u"K2"_s, u"K4"_s};
}

// After a click on a heading the frame shows one cell, and the commands act on that cell.
void TestSortDelete::headingClickActsOnTheRowShown()
{
    QFETCH(Qt::Orientation, heading);
    QFETCH(int, section);
    QFETCH(Cell, shown);
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

    QCOMPARE(Cell(libro.gridRow(view->currentIndex()), libro.gridCol(view->currentIndex())), shown);
    QCOMPARE(current(libro), shown);
    f.action("mCopiar")->trigger();
    QCOMPARE(f.app->variables().cellBuffer, shown.first > 1 ? libro.TextMatrix(shown.first, shown.second) : QString());
    f.action("mBorra_linea")->trigger();
    QCOMPARE(column(libro, 1), left);
}

// The rows below move up and every contact is numbered by its place again; the colours go
// with their rows, the view keeps its rows, and the current row keeps its index.
void TestSortDelete::deleteRenumbersAfterAScramblingSort()
{
    AppFixture f;
    GridModel &libro = f.libro();
    for (const QString &call : {u"E"_s, u"c"_s, u"A"_s, u"d"_s, u"B"_s, u"F"_s})
        addContact(libro, {call});
    libro.setCellColors(6, 1, kDarkRed, kWhite); // on "F"
    f.action("mGuardar")->setEnabled(true);
    makeCurrent(libro, 1, 1);
    f.action("mOrdenar")->trigger();
    QCOMPARE(column(libro, 0), (QStringList{u"3"_s, u"5"_s, u"2"_s, u"4"_s, u"1"_s, u"6"_s}));
    QSignalSpy reset(&libro, &QAbstractItemModel::modelReset);
    makeCurrent(libro, 2, 4); // "B"
    f.action("mBorra_linea")->trigger();
    QCOMPARE(column(libro, 1), (QStringList{u"A"_s, u"c"_s, u"d"_s, u"E"_s, u"F"_s}));
    QCOMPARE(column(libro, 0), (QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s}));
    QCOMPARE(libro.TextMatrix(0, 0), u"Nº"_s);
    QCOMPARE(libro.cellBackColor(5, 1), kDarkRed);
    QCOMPARE(libro.Row(), 2);
    makeCurrent(libro, 5, 3); // the last row, numbers in order this time
    f.action("mBorra_linea")->trigger();
    QCOMPARE(column(libro, 1), (QStringList{u"A"_s, u"c"_s, u"d"_s, u"E"_s}));
    QCOMPARE(column(libro, 0), (QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s}));
    QCOMPARE(reset.count(), 0);
    QVERIFY(f.action("mGuardar")->isEnabled());
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
    makeCurrent(libro, contacts > 0 ? 1 : 0, col);
    f.action("mBorra_linea")->trigger();
    QCOMPARE(libro.Rows(), 1);
    QVERIFY(!f.action("mGuardar")->isEnabled());
    QVERIFY(!f.action("mGuardar_como")->isEnabled());
    QCOMPARE(libro.TextMatrix(0, 0), u"Nº"_s);
    QCOMPARE(libro.TextMatrix(0, 1), u"Indicativo"_s);
    QCOMPARE(libro.TextMatrix(0, 16), u"Comentario"_s);
    f.app->entry().Guardar_Click(); // the next contact is number 1 again
    QCOMPARE(libro.TextMatrix(1, 0), u"1"_s);
}

QTEST_MAIN(TestSortDelete)
#include "tst_sortdelete.moc"
