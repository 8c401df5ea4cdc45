// Search and find next: the match rule, the first match from the top, the walk that
// paints every further match, the search window's states, and scrolling to the match.
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
#include <set>

using namespace Qt::StringLiterals;

namespace {
const QColor kDarkRed(128, 0, 0);
const QColor kWhite(255, 255, 255);

using Cells = std::set<std::pair<int, int>>;

// Every cell of the table (heading row included) that carries colours.
Cells paintedCells(const GridModel &grid)
{
    Cells cells;
    for (int r = 0; r < grid.Rows(); ++r) {
        for (int c = 0; c < grid.Cols(); ++c) {
            if (grid.cellBackColor(r, c).isValid() || grid.cellForeColor(r, c).isValid())
                cells.insert({r, c});
        }
    }
    return cells;
}

void expectMarked(const GridModel &grid, const Cells &expected)
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
    void matchRule_data();
    void matchRule();
    void matchStaysInsideOneCell();
    void rowShortcutAgreesWithCellByCell();
    void searchFindsFirstMatchRowByRow();
    void searchWithoutMatchKeepsWindowAndCell();
    void windowKeepsItsTextWhileHidden();
    void findNextWalksAndPaints();
    void findNextRowWithoutMatchKeepsColumn();
    void findNextFromLastColumnDoesNothing();
    void findNextBeforeAnySearch();
    void findNextOnHeadingRowOfEmptyTable();
    void marksAreShownInTheirOwnColour();
    void bigLogIsSearchedToTheEndAndScrolled();

private:
    static SearchCommands &search(AppFixture &f) { return f.app->edit().search(); }
    static QLineEdit *box(AppFixture &f) { return search(f).window()->lineEdit(u"cBusqueda"_s); }
    static void searchFor(AppFixture &f, const QString &text)
    {
        f.action("mBuscar")->trigger();
        box(f)->setText(text);
        search(f).window()->button(u"Command1"_s)->click();
    }
};

void TestSearch::matchRule_data()
{
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("match");
    QTest::newRow("whole") << u"LU1ABC"_s << u"LU1ABC"_s << true;
    QTest::newRow("middle part") << u"LU1ABC"_s << u"1AB"_s << true;
    QTest::newRow("end") << u"LU1ABC"_s << u"BC"_s << true;
    QTest::newRow("capitals vs lower case") << u"lu1abc"_s << u"LU1"_s << false;
    QTest::newRow("lower vs capitals") << u"LU1ABC"_s << u"lu1"_s << false;
    QTest::newRow("accent missing in text") << u"José"_s << u"Jose"_s << false;
    QTest::newRow("accent missing in cell") << u"Jose"_s << u"José"_s << false;
    QTest::newRow("accented middle") << u"José María"_s << u"é M"_s << true;
    QTest::newRow("ñ vs Ñ") << u"Ñandú"_s << u"ñ"_s << false;
    QTest::newRow("composed vs decomposed") << u"Jos\u00e9"_s << u"Jose\u0301"_s << false;
    QTest::newRow("euro sign") << u"QSL 5€"_s << u"5€"_s << true;
    QTest::newRow("text longer than cell") << u"abc"_s << u"abcd"_s << false;
    QTest::newRow("not contiguous") << u"a-b-c"_s << u"abc"_s << false;
    QTest::newRow("across a line break") << u"línea uno\r\nlínea dos"_s << u"uno\r\nlí"_s << true;
    QTest::newRow("empty text, filled cell") << u"x"_s << QString() << true;
    QTest::newRow("empty text, blank cell") << u" "_s << QString() << true;
    QTest::newRow("empty text, empty cell") << QString() << QString() << false;
    QTest::newRow("text, empty cell") << QString() << u"a"_s << false;
}

void TestSearch::matchRule()
{
    QFETCH(QString, cell);
    QFETCH(QString, text);
    QFETCH(bool, match);
    const QByteArray utf8 = cell.toUtf8();
    QCOMPARE(CellMatcher(text).matches(std::string_view(utf8.constData(), size_t(utf8.size()))), match);

    // The same through a table: the cell alone in a row, or among others.
    GridModel grid(17, 1);
    addSparse(grid, {{7, cell}});
    addSparse(grid, {{1, u"zz"_s}, {7, cell}, {16, u"zz"_s}});
    const CellPos first = findFirst(grid.store(), CellMatcher(text));
    if (match)
        QCOMPARE(std::make_pair(first.row, first.col), std::make_pair(1, 7));
    else if (text.isEmpty())
        QCOMPARE(std::make_pair(first.row, first.col), std::make_pair(2, 1));
    else
        QVERIFY(!first.found());
}

void TestSearch::matchStaysInsideOneCell()
{
    GridModel grid(17, 1);
    // A text spanning two neighbouring cells, and texts made of what lies between cells.
    addContact(grid, {u"AB"_s, u"CD"_s});
    addSparse(grid, {{3, QString(65, u'x')}}); // 65 is the code of "A"
    addSparse(grid, {{4, u"x"_s}, {5, QString()}, {6, u"y"_s}});
    for (const QString &text : {u"BC"_s, u"B\u0002C"_s, u"A"_s + QString(5, u'x'), u"x\u0000\u0001y"_s})
        QVERIFY2(!findFirst(grid.store(), CellMatcher(text)).found(), qPrintable(text));
    // The number column is never searched, not even for an empty text.
    GridModel numbers(17, 1);
    for (int i = 0; i < 3; ++i)
        addSparse(numbers, {});
    QVERIFY(!findFirst(numbers.store(), CellMatcher(u"2"_s)).found());
    QVERIFY(!findFirst(numbers.store(), CellMatcher(QString())).found());
}

// The search settles most rows with one look at all their bytes; it must find exactly
// what a cell-by-cell comparison finds, in rows written, rewritten, sorted and removed.
void TestSearch::rowShortcutAgreesWithCellByCell()
{
    QRandomGenerator rng(20010212);
    const QString alphabet = u"abAB\u00e1\u00f1 \r\n\u20ac1"_s;
    const auto randomText = [&](int maxLen) {
        QString s;
        const int len = rng.bounded(maxLen + 1);
        for (int i = 0; i < len; ++i)
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
            for (int c = firstCol; c <= lastCol && expected < 0; ++c) {
                const QString cell = grid.TextMatrix(r, c);
                if (!cell.isEmpty() && cell.contains(text))
                    expected = c;
            }
            const int got = CellMatcher(text).firstMatch(grid.store(), r, firstCol, lastCol);
            if (got != expected)
                QFAIL(qPrintable(u"row %1 cols %2..%3 text %4: %5 instead of %6"_s.arg(r).arg(firstCol).arg(lastCol)
                                     .arg(QString::fromLatin1(text.toUtf8().toHex())).arg(got).arg(expected)));
        }
    }
}

void TestSearch::searchFindsFirstMatchRowByRow()
{
    AppFixture f;
    GridModel &libro = f.libro();
    addSparse(libro, {{1, u"EA4AAA"_s}, {16, u"sin dato"_s}});
    addSparse(libro, {{1, u"lu1abc"_s}});
    addSparse(libro, {{1, u"CX2"_s}, {9, u"LU1ABC en la frecuencia"_s}});
    addSparse(libro, {{1, u"LU1ABC"_s}});
    f.action("mBuscar")->trigger();
    QVERIFY(search(f).windowShown());
    QVERIFY(box(f)->text().isEmpty());
    QTest::keyClicks(box(f), u"LU1ABC"_s);
    QTest::mouseClick(search(f).window()->button(u"Command1"_s), Qt::LeftButton);
    // Row 3 comes before row 4, even though its match lies further right.
    QCOMPARE(libro.Row(), 3);
    QCOMPARE(libro.Col(), 9);
    QVERIFY(!search(f).windowShown());
    QVERIFY(paintedCells(libro).empty());

    searchFor(f, u"dato"_s);
    QCOMPARE(std::make_pair(libro.Row(), libro.Col()), std::make_pair(1, 16));
    searchFor(f, QString()); // anything at all: the first call sign
    QCOMPARE(std::make_pair(libro.Row(), libro.Col()), std::make_pair(1, 1));
    QVERIFY(!search(f).windowShown());
    QVERIFY(paintedCells(libro).empty());
}

void TestSearch::searchWithoutMatchKeepsWindowAndCell()
{
    AppFixture f;
    GridModel &libro = f.libro();
    addSparse(libro, {{1, u"EA4AAA"_s}});
    addSparse(libro, {{1, u"LU1ABC"_s}, {5, u"Rosario"_s}});
    libro.setCol(5);
    libro.setRow(2);
    for (const QString &text : {u"rosario"_s, u"2"_s /* only a number */, u"EA4AAAA"_s}) {
        searchFor(f, text);
        QVERIFY(search(f).windowShown());
        QCOMPARE(box(f)->text(), text);
        QCOMPARE(std::make_pair(libro.Row(), libro.Col()), std::make_pair(2, 5));
    }
    QVERIFY(paintedCells(libro).empty());

    AppFixture empty; // the heading row alone: not even an empty text finds anything
    searchFor(empty, QString());
    QVERIFY(search(empty).windowShown());
    QCOMPARE(empty.libro().Row(), 0);
}

void TestSearch::windowKeepsItsTextWhileHidden()
{
    AppFixture f;
    f.action("mBuscar")->trigger();
    QTest::keyClicks(box(f), u"QRP"_s);
    search(f).window()->button(u"Command2"_s)->click();
    QVERIFY(!search(f).windowShown());
    f.action("mBuscar")->trigger();
    QVERIFY(search(f).windowShown());
    QCOMPARE(box(f)->text(), u"QRP"_s);
    // Closed through its frame, it comes back empty.
    QVERIFY(search(f).window()->close());
    QTRY_VERIFY(!search(f).window());
    f.action("mBuscar")->trigger();
    QCOMPARE(box(f)->text(), QString());
}

// A search lands on (3, 2); find next goes on right of it, and each later row starts
// right of the most recent match.
void TestSearch::findNextWalksAndPaints()
{
    AppFixture f;
    GridModel &libro = f.libro();
    addSparse(libro, {{5, u"X"_s}});                                          // above the start
    addSparse(libro, {{1, u"X"_s}, {16, u"X"_s}});                            // above the start
    addSparse(libro, {{2, u"aXa"_s}, {5, u"X"_s}, {9, u"XX"_s}});             // search, then 5 and 9
    addSparse(libro, {{3, u"X"_s}, {9, u"X"_s}, {12, u"X"_s}, {14, u"xX"_s}}); // 3 and 9 are left of the rule
    addSparse(libro, {{14, u"X"_s}, {15, u"x"_s}, {16, u"X"_s}});              // 14 is at the rule: not seen
    addSparse(libro, {{1, u"X"_s}, {16, u"X"_s}});                            // starts right of 16
    searchFor(f, u"aXa"_s);
    QCOMPARE(std::make_pair(libro.Row(), libro.Col()), std::make_pair(3, 2));
    f.action("mBuscar")->trigger();
    box(f)->setText(u"X"_s);
    search(f).window()->button(u"Command2"_s)->click();

    f.action("mBuscar_Siguiente")->trigger();
    expectMarked(libro, {{3, 5}, {3, 9}, {4, 12}, {4, 14}, {5, 16}});
    QCOMPARE(std::make_pair(libro.Row(), libro.Col()), std::make_pair(5, 16));
    for (int r = 1; r < libro.Rows(); ++r)
        QCOMPARE(libro.TextMatrix(r, 0), QString::number(r)); // texts untouched

    // Again from (5, 16): nothing right of column 16, so nothing new.
    f.action("mBuscar_Siguiente")->trigger();
    QCOMPARE(paintedCells(libro).size(), size_t(5));
    QCOMPARE(std::make_pair(libro.Row(), libro.Col()), std::make_pair(5, 16));
}

void TestSearch::findNextRowWithoutMatchKeepsColumn()
{
    AppFixture f;
    GridModel &libro = f.libro();
    addSparse(libro, {{4, u"59"_s}, {8, u"59"_s}});
    addSparse(libro, {{1, u"EA5"_s}, {8, u"579"_s}});   // no match: the column stays 4
    addSparse(libro, {{4, u"559"_s}, {5, u"59"_s}});    // 4 is at the rule; 5 is right of it
    addSparse(libro, {{6, u"590"_s}});
    libro.setCol(4);
    libro.setRow(2);
    f.action("mBuscar")->trigger();
    box(f)->setText(u"59"_s);
    search(f).window()->button(u"Command2"_s)->click();
    f.action("mBuscar_Siguiente")->trigger();
    expectMarked(libro, {{3, 5}, {4, 6}});
    QCOMPARE(std::make_pair(libro.Row(), libro.Col()), std::make_pair(4, 6));
    QVERIFY(!search(f).windowShown());
}

void TestSearch::findNextFromLastColumnDoesNothing()
{
    AppFixture f;
    GridModel &libro = f.libro();
    addSparse(libro, {{16, u"uno"_s}});
    addSparse(libro, {{1, u"uno"_s}, {16, u"uno"_s}});
    libro.setCol(16);
    libro.setRow(1);
    f.action("mBuscar_Siguiente")->trigger();
    QVERIFY(paintedCells(libro).empty());
    QCOMPARE(std::make_pair(libro.Row(), libro.Col()), std::make_pair(1, 16));
}

// Never opened: the window is made hidden and its empty text matches every filled cell.
void TestSearch::findNextBeforeAnySearch()
{
    AppFixture f;
    GridModel &libro = f.libro();
    addSparse(libro, {{1, u"EA4"_s}, {3, u" "_s}, {7, u"a"_s}});
    addSparse(libro, {{2, u"b"_s}, {10, u"c"_s}});
    addSparse(libro, {{12, u"CW"_s}});
    libro.setCol(2);
    libro.setRow(1);
    QVERIFY(!search(f).window());
    f.action("mBuscar_Siguiente")->trigger();
    QVERIFY(search(f).window());
    QVERIFY(!search(f).windowShown());
    QCOMPARE(box(f)->text(), QString());
    // Row 2 starts right of column 7: its column 2 is not seen; empty cells are never painted.
    expectMarked(libro, {{1, 3}, {1, 7}, {2, 10}, {3, 12}});
    QCOMPARE(std::make_pair(libro.Row(), libro.Col()), std::make_pair(3, 12));
}

void TestSearch::findNextOnHeadingRowOfEmptyTable()
{
    AppFixture f;
    GridModel &libro = f.libro();
    libro.setCol(3);
    QCOMPARE(libro.Row(), 0);
    f.action("mBuscar")->trigger();
    box(f)->setText(u"a"_s);
    search(f).window()->button(u"Command2"_s)->click();
    f.action("mBuscar_Siguiente")->trigger();
    // Headings right of "QTH" holding an "a"; not "RST", "Modo", nor "Indicativo" to the left.
    expectMarked(libro, {{0, 4}, {0, 5}, {0, 6}, {0, 7}, {0, 9}, {0, 10}, {0, 11}, {0, 13}, {0, 14}, {0, 15}, {0, 16}});
    QCOMPARE(libro.Row(), 0);
    QCOMPARE(libro.Col(), 16);
    const QVariant headingBack = libro.headerData(15, Qt::Horizontal, Qt::BackgroundRole);
    QCOMPARE(headingBack.value<QColor>(), kDarkRed);
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
    f.action("mBuscar")->trigger();
    box(f)->setText(u"o"_s);
    search(f).window()->button(u"Command2"_s)->click();
    f.action("mBuscar_Siguiente")->trigger(); // "Nombre" and others to its right
    QHeaderView *header = view->horizontalHeader();
    const int right = header->sectionViewportPosition(1) + header->sectionSize(1) - 5;
    QCOMPARE(header->grab().toImage().pixelColor(right, header->height() / 2), kDarkRed);

    addSparse(libro, {{1, u"EA1"_s}, {2, u"Ana"_s}});
    addSparse(libro, {{1, u"EA2"_s}, {2, u"Jo"_s}});
    libro.setCol(1);
    libro.setRow(1);
    f.action("mBuscar_Siguiente")->trigger();
    QCOMPARE(std::make_pair(libro.Row(), libro.Col()), std::make_pair(2, 2));
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
    QCOMPARE(std::make_pair(libro.Row(), libro.Col()), std::make_pair(2600, 11));
    QVERIFY(view->viewport()->rect().intersects(view->visualRect(libro.indexFor(2600, 11))));

    f.action("mBuscar_Siguiente")->trigger(); // column 2 of row 2999 is left of the rule
    QVERIFY(paintedCells(libro).empty());
    libro.setCol(1);
    libro.setRow(2601);
    f.action("mBuscar_Siguiente")->trigger();
    expectMarked(libro, {{2999, 2}});
    QCOMPARE(std::make_pair(libro.Row(), libro.Col()), std::make_pair(2999, 2));
    QVERIFY(view->viewport()->rect().intersects(view->visualRect(libro.indexFor(2999, 2))));
}

QTEST_MAIN(TestSearch)
#include "tst_search.moc"
