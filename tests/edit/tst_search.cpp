// Search and find next: the first match, the walk that paints matches, the window, scrolling.
#include "AppFixture.h"
#include "LogRows.h"
#include "edit/EditCommands.h"
#include "edit/SearchCommands.h"
#include "ui/FormWindow.h"
#include "ui/GridView.h"
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {
const QColor kDarkRed(128, 0, 0);

// Every cell of the table (heading row included) that carries colours, top to bottom.
QList<Cell> paintedCells(const GridModel &grid)
{
    QList<Cell> cells;
    for (int r = 0; r < grid.Rows(); ++r)
        for (int c = 0; c < grid.Cols(); ++c)
            if (grid.cellBackColor(r, c).isValid() || grid.cellForeColor(r, c).isValid())
                cells.append({r, c});
    return cells;
}

void expectMarked(const GridModel &grid, const QList<Cell> &expected)
{
    QCOMPARE(paintedCells(grid), expected);
    for (const auto &[r, c] : expected) {
        QCOMPARE(grid.cellBackColor(r, c), kDarkRed);
        QCOMPARE(grid.cellForeColor(r, c), QColor(255, 255, 255));
    }
}
} // namespace

class TestSearch : public QObject
{
    Q_OBJECT
    static SearchCommands &search(AppFixture &f) { return f.app->edit().search(); }
    static QLineEdit *box(AppFixture &f) { return search(f).window()->lineEdit(u"cBusqueda"_s); }
    // "Buscar" from the menu, the text typed, and Command1 (search) or Command2 (close).
    static void searchFor(AppFixture &f, const QString &text, const QString &button = u"Command1"_s)
    {
        f.action("mBuscar")->trigger();
        box(f)->setText(text);
        search(f).window()->button(button)->click();
    }

private slots:
    // No match keeps the window, its text and the cell; a match becomes current. Nothing is painted.
    void searchMovesToTheFirstMatchOrKeepsTheWindow()
    {
        AppFixture f;
        GridModel &libro = f.libro();
        f.action("mBuscar")->trigger();
        QVERIFY(search(f).windowShown());
        search(f).window()->button(u"Command1"_s)->click(); // the heading row alone: not even ""
        QVERIFY(search(f).windowShown());
        QCOMPARE(libro.Row(), 0);
        for (const QString &row : {u"1=EA4AAA|16=sin dato"_s, u"1=lu1abc|5=Rosario"_s, u"1=CX2|9=LU1ABC en la frecuencia"_s, u"1=LU1ABC"_s})
            addSparse(libro, row);
        makeCurrent(libro, 2, 5);
        for (const QString &text : {u"rosario"_s, u"3"_s /* only a number */, u"EA4AAAA"_s}) {
            searchFor(f, text);
            QVERIFY(search(f).windowShown());
            QCOMPARE(box(f)->text(), text);
            QCOMPARE(current(libro), Cell(2, 5));
        }
        // Hidden, the window keeps its text; closed through its frame, it comes back empty.
        search(f).window()->button(u"Command2"_s)->click();
        QVERIFY(!search(f).windowShown());
        f.action("mBuscar")->trigger();
        QVERIFY(search(f).windowShown());
        QCOMPARE(box(f)->text(), u"EA4AAAA"_s);
        QVERIFY(search(f).window()->close());
        QTRY_VERIFY(!search(f).window());
        f.action("mBuscar")->trigger();
        QCOMPARE(box(f)->text(), QString());
        // Row 3 comes before row 4, even though its match lies further right.
        QTest::keyClicks(box(f), u"LU1ABC"_s);
        QTest::mouseClick(search(f).window()->button(u"Command1"_s), Qt::LeftButton);
        QCOMPARE(current(libro), Cell(3, 9));
        QVERIFY(!search(f).windowShown());
        searchFor(f, u"dato"_s);
        QCOMPARE(current(libro), Cell(1, 16));
        searchFor(f, QString()); // anything at all: the first call sign
        QCOMPARE(current(libro), Cell(1, 1));
        QVERIFY(!search(f).windowShown());
        QVERIFY(paintedCells(libro).empty());
    }

    void findNext_data()
    {
        QTest::addColumn<QStringList>("rows"); // contacts as "column=text|column=text"
        QTest::addColumn<Cell>("start");       // the current cell when find next is chosen
        QTest::addColumn<QString>("text");     // typed in the search window; null: never opened
        QTest::addColumn<QList<Cell>>("marks");
        QTest::addColumn<Cell>("end");
        // Each row after the start's goes on right of the most recent match's column.
        QTest::newRow("walks and paints") << QStringList{u"5=X"_s, u"1=X|16=X"_s, u"2=aXa|5=X|9=XX"_s, u"3=X|9=X|12=X|14=xX"_s, u"14=X|15=x|16=X"_s, u"1=X|16=X"_s} << Cell(3, 2) << u"X"_s << QList<Cell>{{3, 5}, {3, 9}, {4, 12}, {4, 14}, {5, 16}} << Cell(5, 16);
        QTest::newRow("a row without a match keeps the column") << QStringList{u"4=59|8=59"_s, u"1=EA5|8=579"_s, u"4=559|5=59"_s, u"6=590"_s} << Cell(2, 4) << u"59"_s << QList<Cell>{{3, 5}, {4, 6}} << Cell(4, 6);
        QTest::newRow("from the last column") << QStringList{u"16=uno"_s, u"1=uno|16=uno"_s} << Cell(1, 16) << QString() << QList<Cell>{} << Cell(1, 16);
        // Never opened, the window's empty text matches every filled cell, never an empty one.
        QTest::newRow("before any search") << QStringList{u"1=EA4|3= |7=a"_s, u"2=b|10=c"_s, u"12=CW"_s} << Cell(1, 2) << QString() << QList<Cell>{{1, 3}, {1, 7}, {2, 10}, {3, 12}} << Cell(3, 12);
        // Headings right of "QTH" holding an "a"; not "RST", "Modo", nor "Indicativo" to the left.
        QTest::newRow("heading row of an empty table") << QStringList{} << Cell(0, 3) << u"a"_s << QList<Cell>{{0, 4}, {0, 5}, {0, 6}, {0, 7}, {0, 9}, {0, 10}, {0, 11}, {0, 13}, {0, 14}, {0, 15}, {0, 16}} << Cell(0, 16);
    }

    void findNext()
    {
        QFETCH(QStringList, rows);
        QFETCH(Cell, start);
        QFETCH(QString, text);
        QFETCH(QList<Cell>, marks);
        QFETCH(Cell, end);
        AppFixture f;
        GridModel &libro = f.libro();
        for (const QString &row : rows)
            addSparse(libro, row);
        makeCurrent(libro, start.first, start.second);
        if (text.isNull())
            QVERIFY(!search(f).window());
        else
            searchFor(f, text, u"Command2"_s);
        const QList<QStringList> texts = f.cells();
        f.action("mBuscar_Siguiente")->trigger();
        expectMarked(libro, marks);
        QCOMPARE(current(libro), end);
        QVERIFY(search(f).window() && !search(f).windowShown());
        QCOMPARE(box(f)->text(), text);
        QCOMPARE(f.cells(), texts);
        for (const auto &[r, c] : marks)
            if (r == 0)
                QCOMPARE(libro.headerData(c - 1, Qt::Horizontal, Qt::BackgroundRole).value<QColor>(), kDarkRed);
        f.action("mBuscar_Siguiente")->trigger(); // again from where it stopped: nothing new
        expectMarked(libro, marks);
        QCOMPARE(current(libro), end);
    }

    // On screen the marks are exactly dark red; the current cell gets a frame, not the selection.
    void marksAreShownInTheirOwnColourAndScrolledTo()
    {
        AppFixture f;
        QVERIFY(f.showAndActivate());
        GridModel &libro = f.libro();
        GridView *view = f.frame().libroView();
        libro.setCol(1);
        searchFor(f, u"o"_s, u"Command2"_s);
        f.action("mBuscar_Siguiente")->trigger(); // "Nombre" and others to its right
        QHeaderView *header = view->horizontalHeader();
        const int right = header->sectionViewportPosition(1) + header->sectionSize(1) - 5;
        QCOMPARE(header->grab().toImage().pixelColor(right, header->height() / 2), kDarkRed);
        addSparse(libro, u"1=EA1|2=Ana"_s);
        addSparse(libro, u"1=EA2|2=Jo"_s);
        makeCurrent(libro, 1, 1);
        f.action("mBuscar_Siguiente")->trigger();
        QCOMPARE(current(libro), Cell(2, 2));
        const QRect cell = view->visualRect(libro.indexFor(2, 2));
        const QImage shown = view->viewport()->grab().toImage();
        QCOMPARE(shown.pixelColor(cell.right() - 5, cell.center().y()), kDarkRed);
        QVERIFY(shown.pixelColor(cell.right() - 1, cell.center().y()) != kDarkRed); // the frame
        // Rows far down are searched like the first ones, and the view scrolls to the match.
        for (int r = 3; r <= 3000; ++r)
            addSparse(libro, u"1=EA%1|8=59"_s.arg(r));
        libro.setTextMatrix(2999, 11, u"14.195 DX"_s);
        searchFor(f, u"DX"_s);
        QCOMPARE(current(libro), Cell(2999, 11));
        QVERIFY(view->viewport()->rect().intersects(view->visualRect(libro.indexFor(2999, 11))));
    }
};

QTEST_MAIN(TestSearch)
#include "tst_search.moc"
