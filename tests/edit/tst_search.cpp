// Search and find next: the row shortcut against a cell-by-cell search, the first match from
// the top, the walk that paints every further match, the search window's states, and
// scrolling to the match.
#include "AppFixture.h"
#include "LogRows.h"
#include "edit/EditCommands.h"
#include "edit/Search.h"
#include "edit/SearchCommands.h"
#include "ui/FormWindow.h"
#include "ui/GridView.h"
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScrollBar>

using namespace Qt::StringLiterals;

namespace {
const QColor kDarkRed(128, 0, 0);
const QColor kWhite(255, 255, 255);

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
        QCOMPARE(grid.cellForeColor(r, c), kWhite);
    }
}
} // namespace

class TestSearch : public QObject
{
    Q_OBJECT
private slots:
    void rowShortcutAgreesWithCellByCell();
    void searchMovesToTheFirstMatchOrKeepsTheWindow();
    void findNext_data();
    void findNext();
    void marksAreShownInTheirOwnColour();
    void bigLogIsSearchedToTheEndAndScrolled();

private:
    static SearchCommands &search(AppFixture &f) { return f.app->edit().search(); }
    static QLineEdit *box(AppFixture &f) { return search(f).window()->lineEdit(u"cBusqueda"_s); }
    // "Buscar" from the menu, the text typed, and Command1 (search) or Command2 (close).
    static void searchFor(AppFixture &f, const QString &text, const QString &button = u"Command1"_s)
    {
        f.action("mBuscar")->trigger();
        box(f)->setText(text);
        search(f).window()->button(button)->click();
    }
};

// The search settles most rows with one look at all their bytes; it must find exactly
// what a cell-by-cell comparison finds, in rows written, rewritten, sorted and removed.
void TestSearch::rowShortcutAgreesWithCellByCell()
{
    QRandomGenerator rng(20010212);
    const QString alphabet = u"abAB\u00e1\u00f1 \r\n\u20ac1"_s;
    const auto randomText = [&](int maxLen) {
        QString s;
        for (int len = rng.bounded(maxLen + 1); len > 0; --len)
            s += alphabet.at(rng.bounded(int(alphabet.size())));
        return s;
    };
    GridModel grid(17, 1);
    for (int r = 0; r < 300; ++r) {
        QStringList cells;
        for (int c = 1; c < 17; ++c)
            cells << (rng.bounded(4) == 0 ? QString() : randomText(c == 16 ? 200 : 4));
        addContact(grid, cells);
    }
    for (int i = 0; i < 200; ++i)
        grid.setTextMatrix(1 + rng.bounded(300), 1 + rng.bounded(16), randomText(6));
    grid.sortRows(1, 300, 3, 3);
    grid.RemoveItem(150);
    grid.setTextMatrix(10, 16, QString(300, u'b')); // a long cell: a two-byte length

    for (int i = 0; i < 400; ++i) {
        const QString text = randomText(3);
        const int firstCol = 1 + rng.bounded(16), lastCol = firstCol + rng.bounded(17 - firstCol);
        for (int r = 1; r < grid.Rows(); ++r) {
            int expected = -1;
            for (int c = firstCol; c <= lastCol && expected < 0; ++c)
                if (!grid.TextMatrix(r, c).isEmpty() && grid.TextMatrix(r, c).contains(text))
                    expected = c;
            const int got = CellMatcher(text).firstMatch(grid.store(), r, firstCol, lastCol);
            if (got != expected)
                QFAIL(qPrintable(u"row %1 cols %2..%3 text %4: %5 instead of %6"_s.arg(r).arg(firstCol).arg(lastCol)
                                     .arg(QString::fromLatin1(text.toUtf8().toHex())).arg(got).arg(expected)));
        }
    }
}

// A search that finds nothing keeps the window up with its text and the current cell where
// it was; one that finds a cell makes it current and hides the window. Nothing is painted.
void TestSearch::searchMovesToTheFirstMatchOrKeepsTheWindow()
{
    AppFixture f;
    GridModel &libro = f.libro();
    f.action("mBuscar")->trigger();
    QVERIFY(search(f).windowShown());
    QVERIFY(box(f)->text().isEmpty());
    search(f).window()->button(u"Command1"_s)->click(); // the heading row alone: not even ""
    QVERIFY(search(f).windowShown());
    QCOMPARE(libro.Row(), 0);

    addSparse(libro, {{1, u"EA4AAA"_s}, {16, u"sin dato"_s}});
    addSparse(libro, {{1, u"lu1abc"_s}, {5, u"Rosario"_s}});
    addSparse(libro, {{1, u"CX2"_s}, {9, u"LU1ABC en la frecuencia"_s}});
    addSparse(libro, {{1, u"LU1ABC"_s}});
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

void TestSearch::findNext_data()
{
    QTest::addColumn<QStringList>("rows"); // contacts as "column=text|column=text"
    QTest::addColumn<Cell>("start");       // the current cell when find next is chosen
    QTest::addColumn<QString>("text");     // typed in the search window; null: never opened
    QTest::addColumn<QList<Cell>>("marks");
    QTest::addColumn<Cell>("end");
    // Rows 1 and 2 lie above the start; in row 3 the walk goes on right of column 2; each
    // later row starts right of the most recent match (3 and 9 of row 4 are left of it, 14
    // of row 5 is at it, and row 6 starts right of 16).
    QTest::newRow("walks and paints")
        << QStringList{u"5=X"_s, u"1=X|16=X"_s, u"2=aXa|5=X|9=XX"_s, u"3=X|9=X|12=X|14=xX"_s, u"14=X|15=x|16=X"_s,
                       u"1=X|16=X"_s}
        << Cell(3, 2) << u"X"_s << QList<Cell>{{3, 5}, {3, 9}, {4, 12}, {4, 14}, {5, 16}} << Cell(5, 16);
    QTest::newRow("a row without a match keeps the column")
        << QStringList{u"4=59|8=59"_s, u"1=EA5|8=579"_s, u"4=559|5=59"_s, u"6=590"_s} << Cell(2, 4) << u"59"_s
        << QList<Cell>{{3, 5}, {4, 6}} << Cell(4, 6);
    QTest::newRow("from the last column") << QStringList{u"16=uno"_s, u"1=uno|16=uno"_s} << Cell(1, 16) << QString()
                                          << QList<Cell>{} << Cell(1, 16);
    // Never opened, the window is made hidden and its empty text matches every filled cell
    // (never an empty one); row 2 starts right of column 7.
    QTest::newRow("before any search") << QStringList{u"1=EA4|3= |7=a"_s, u"2=b|10=c"_s, u"12=CW"_s} << Cell(1, 2)
                                       << QString() << QList<Cell>{{1, 3}, {1, 7}, {2, 10}, {3, 12}} << Cell(3, 12);
    // Headings right of "QTH" holding an "a"; not "RST", "Modo", nor "Indicativo" to the left.
    QTest::newRow("heading row of an empty table")
        << QStringList{} << Cell(0, 3) << u"a"_s
        << QList<Cell>{{0, 4}, {0, 5}, {0, 6}, {0, 7}, {0, 9}, {0, 10}, {0, 11}, {0, 13}, {0, 14}, {0, 15}, {0, 16}}
        << Cell(0, 16);
}

void TestSearch::findNext()
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
    QCOMPARE(current(libro), start);
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
    // Again from where it stopped: nothing new.
    f.action("mBuscar_Siguiente")->trigger();
    expectMarked(libro, marks);
    QCOMPARE(current(libro), end);
}

// On screen a marked heading is exactly dark red, and so is the marked cell where find next
// stops: the current cell gets a frame, not the selection colour.
void TestSearch::marksAreShownInTheirOwnColour()
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

    addSparse(libro, {{1, u"EA1"_s}, {2, u"Ana"_s}});
    addSparse(libro, {{1, u"EA2"_s}, {2, u"Jo"_s}});
    makeCurrent(libro, 1, 1);
    f.action("mBuscar_Siguiente")->trigger();
    QCOMPARE(current(libro), Cell(2, 2));
    const QRect cell = view->visualRect(libro.indexFor(2, 2));
    const QImage shown = view->viewport()->grab().toImage();
    QCOMPARE(shown.pixelColor(cell.right() - 5, cell.center().y()), kDarkRed);
    QVERIFY(shown.pixelColor(cell.right() - 1, cell.center().y()) != kDarkRed); // the frame
}

// Rows far beyond 255 are searched like the first ones, and the view scrolls to the match.
void TestSearch::bigLogIsSearchedToTheEndAndScrolled()
{
    AppFixture f;
    QVERIFY(f.showAndActivate());
    GridModel &libro = f.libro();
    for (int r = 1; r <= 3000; ++r)
        addSparse(libro, {{1, u"EA%1"_s.arg(r)}, {8, u"59"_s}});
    libro.setTextMatrix(2600, 11, u"14.195 DX"_s);
    libro.setTextMatrix(2999, 2, u"un DX"_s);
    GridView *view = f.frame().libroView();
    QCOMPARE(view->verticalScrollBar()->value(), 0);

    searchFor(f, u"DX"_s);
    QCOMPARE(current(libro), Cell(2600, 11));
    QVERIFY(view->viewport()->rect().intersects(view->visualRect(libro.indexFor(2600, 11))));

    f.action("mBuscar_Siguiente")->trigger(); // column 2 of row 2999 is left of the rule
    QVERIFY(paintedCells(libro).empty());
    makeCurrent(libro, 2601, 1);
    f.action("mBuscar_Siguiente")->trigger();
    expectMarked(libro, {{2999, 2}});
    QCOMPARE(current(libro), Cell(2999, 2));
    QVERIFY(view->viewport()->rect().intersects(view->visualRect(libro.indexFor(2999, 2))));
}

QTEST_MAIN(TestSearch)
#include "tst_search.moc"
