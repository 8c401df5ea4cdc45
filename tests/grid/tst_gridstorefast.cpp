// The store's fast paths: the bytes of a run of cells (what find next scans), all cells of a
// row at once, cell reads that pick up where the previous one stopped, and renumbering that
// starts where the numbers were last disturbed.
#include "common/GridStore.h"
#include <QRandomGenerator>
#include <QTest>
#include <string>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

using Row = std::vector<std::string>;

void appendRow(GridStore &s, const Row &cells)
{
    std::vector<std::string_view> views(cells.begin(), cells.end());
    s.appendRow(views.data(), int(views.size()));
}

// True when the texts occur in `bytes` one after another, the first at its start and the
// last at its end, with at most `prefix` bytes before each but the first (its length).
bool holdsInOrder(std::string_view bytes, const Row &texts, size_t prefix)
{
    size_t at = 0, allowed = 0;
    for (size_t i = 0; i < texts.size(); ++i) {
        if (i > 0)
            allowed += prefix;
        if (texts[i].empty())
            continue;
        const size_t found = bytes.find(texts[i], at);
        if (found == std::string_view::npos || found - at > allowed)
            return false;
        at = found + texts[i].size();
        allowed = 0;
    }
    return bytes.size() - at <= allowed;
}

} // namespace

class TestGridStoreFast : public QObject
{
    Q_OBJECT
private slots:
    void rowBytesHoldTheCellsInOrder_data();
    void rowBytesHoldTheCellsInOrder();
    void rowBytesOfNothing();
    void rowCellsMatchCell();
    void readsFollowRewritesAndCompaction();
    void renumberingAfterEachKindOfChange_data();
    void renumberingAfterEachKindOfChange();
    void renumberingOtherRanges();
};

void TestGridStoreFast::rowBytesHoldTheCellsInOrder_data()
{
    QTest::addColumn<int>("firstCol");
    QTest::addColumn<int>("lastCol");
    QTest::newRow("one cell") << 2 << 2;
    QTest::newRow("from column 1 to the end") << 1 << 5;
    QTest::newRow("inner run") << 2 << 4;
    QTest::newRow("from column 0, held as text") << 0 << 5;
    QTest::newRow("last column alone") << 5 << 5;
    QTest::newRow("range clipped to the row") << 3 << 40;
}

// Whatever the cells' lengths (one- and two-byte length prefixes, empty cells), the view
// starts with the first cell's text, ends with the last's, and holds the others in order.
void TestGridStoreFast::rowBytesHoldTheCellsInOrder()
{
    QFETCH(int, firstCol);
    QFETCH(int, lastCol);
    const Row rows[] = {
        {"nota", "EA4ABC", "José María", "", "Málaga", "comentario"},
        {"x", "", "", "", "", "último"},
        {"y", std::string(127, 'a'), std::string(128, 'b'), "", std::string(20000, 'c'), ""},
        {"z", "Ñ", "", "", "", ""},
    };
    GridStore s(6);
    for (const Row &r : rows)
        appendRow(s, r);
    for (int64_t r = 0; r < s.rows(); ++r) {
        const int last = std::min(lastCol, 5);
        const Row texts(rows[r].begin() + firstCol, rows[r].begin() + last + 1);
        QVERIFY2(holdsInOrder(s.rowBytes(r, firstCol, lastCol), texts, 3), qPrintable(QString::number(r)));
    }
}

void TestGridStoreFast::rowBytesOfNothing()
{
    GridStore s(4);
    s.appendEmptyRows(1);
    appendRow(s, {"7", "EA1AA", "", ""});
    appendRow(s, {"", "", "", ""});
    QVERIFY(s.rowBytes(0, 1, 3).empty()); // no bytes at all
    QVERIFY(s.rowBytes(2, 0, 3).empty());
    QVERIFY(s.rowBytes(1, 3, 1).empty()); // no column in the range
    QVERIFY(s.rowBytes(1, 4, 9).empty());
    QVERIFY(s.rowBytes(-1, 1, 3).empty());
    QVERIFY(s.rowBytes(3, 1, 3).empty());
    // A number kept beside the row is not among its bytes; the other cells are.
    QCOMPARE(s.cell(1, 0), std::string_view("7"));
    QVERIFY(s.rowBytes(1, 0, 3).find('7') == std::string_view::npos);
    QVERIFY(s.rowBytes(1, 0, 3).find("EA1AA") != std::string_view::npos);
    // A row emptied cell by cell has no bytes left either.
    s.setCell(1, 1, "");
    QVERIFY(s.rowBytes(1, 0, 3).empty());
}

void TestGridStoreFast::rowCellsMatchCell()
{
    GridStore s(5);
    appendRow(s, {"Nº", "Indicativo", "", "QTH", std::string(300, 'q')});
    appendRow(s, {"12", "EA4ABC", "Íñigo"});
    appendRow(s, {"texto", "", "", "", "fin"});
    s.appendEmptyRows(1);
    s.setCell(1, 3, "Cádiz");
    std::string_view cells[5];
    for (int64_t r = -1; r <= s.rows(); ++r) {
        s.rowCells(r, cells);
        for (int c = 0; c < 5; ++c)
            QCOMPARE(std::string(cells[c]), std::string(s.cell(r, c)));
    }
    s.rowCells(1, cells);
    QCOMPARE(cells[0], std::string_view("12"));
    QCOMPARE(cells[3], std::string_view("Cádiz"));
}

// Reading a cell may start from where the previous read stopped; that must never read a
// row's old bytes after a rewrite, nor another row's bytes after the store moved them.
void TestGridStoreFast::readsFollowRewritesAndCompaction()
{
    const Row a{"1", "uno", "dos", "tres", "cuatro", "cinco"};
    const Row b{"2", "one", "two", "thre", "fourrr", "fivee"}; // the same lengths as `a`
    GridStore s(6);
    appendRow(s, a);
    appendRow(s, b);

    QCOMPARE(s.cell(1, 2), std::string_view("two"));
    s.setCell(1, 3, "three"); // another length: a new blob
    QCOMPARE(s.cell(1, 4), std::string_view("fourrr"));
    QCOMPARE(s.cell(1, 3), std::string_view("three"));
    s.setCell(1, 1, "ONE"); // the same length: rewritten in place
    QCOMPARE(s.cell(1, 5), std::string_view("fivee"));
    QCOMPARE(s.cell(1, 1), std::string_view("ONE"));

    // After a compaction, a new row can take the very place an old one had: the same block,
    // the same offset, but cells of other lengths.
    GridStore t(6);
    appendRow(t, a);
    appendRow(t, b);
    QCOMPARE(t.cell(1, 2), std::string_view("two"));
    t.removeRow(0);
    t.compact();
    appendRow(t, {"3", "abcdefgh", "d", "ghi", "jklmn", "opqrs"});
    QCOMPARE(t.cell(1, 4), std::string_view("jklmn"));
    QCOMPARE(t.cell(0, 4), std::string_view("fourrr"));

    // And after every row is dropped and the blocks with them.
    QCOMPARE(t.cell(0, 1), std::string_view("one"));
    t.truncate(0);
    appendRow(t, {"9", "z", "yyyyyyy", "xxx", "wwwww", "vvvvv"});
    QCOMPARE(t.cell(0, 3), std::string_view("xxx"));

    // A long random walk of reads and rewrites against plain strings.
    QRandomGenerator rng(7);
    std::vector<Row> ref;
    GridStore u(6);
    for (int i = 0; i < 50; ++i) {
        Row r{std::to_string(i), "EA" + std::to_string(i), "", "x", "yy", "zzz"};
        appendRow(u, r);
        ref.push_back(r);
    }
    for (int step = 0; step < 20000; ++step) {
        const int row = rng.bounded(int(ref.size()));
        const int col = rng.bounded(6);
        if (rng.bounded(4) == 0) {
            const std::string text(size_t(rng.bounded(3) == 0 ? 200 : rng.bounded(6)), char('a' + step % 26));
            u.setCell(row, col, text);
            ref[size_t(row)][size_t(col)] = text;
        } else if (rng.bounded(200) == 0 && ref.size() > 10) {
            u.removeRow(row);
            ref.erase(ref.begin() + row);
            continue;
        }
        QCOMPARE(std::string(u.cell(row, col)), ref[size_t(row)][size_t(col)]);
    }
}

void TestGridStoreFast::renumberingAfterEachKindOfChange_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("row");
    const QStringList changes{u"remove"_s, u"text in column 0"_s, u"number in column 0"_s, u"permute"_s,
                              u"cut and append"_s, u"append"_s, u"none"_s};
    for (const QString &change : changes) {
        for (int row : {1, 7, 19})
            QTest::addRow("%s at %d", qPrintable(change), row) << change << row;
    }
}

// However the rows were disturbed since they were last numbered, numbering them again
// leaves 1, 2, 3, ... in every row, and twice in a row as well.
void TestGridStoreFast::renumberingAfterEachKindOfChange()
{
    QFETCH(QString, change);
    QFETCH(int, row);
    GridStore s(3);
    appendRow(s, {"Nº", "Indicativo", "Nombre"});
    for (int i = 1; i <= 20; ++i)
        appendRow(s, {"nota " + std::to_string(i), "EA" + std::to_string(i), "x"});
    s.numberRows(1, s.rows() - 1, 1);
    s.numberRows(1, s.rows() - 1, 1);

    for (int round = 0; round < 2; ++round) {
        if (change == u"remove") {
            s.removeRow(row);
        } else if (change == u"text in column 0") {
            s.setCell(row, 0, "borrado");
        } else if (change == u"number in column 0") {
            s.setCell(row, 0, "99");
        } else if (change == u"permute") {
            std::vector<int64_t> order;
            for (int64_t i = s.rows() - 1; i >= row; --i)
                order.push_back(i);
            s.permute(row, order);
        } else if (change == u"cut and append") {
            s.truncate(row);
            appendRow(s, {"5", "EA5Z", "y"});
            appendRow(s, {"", "EA6Z", "z"});
        } else if (change == u"append") {
            appendRow(s, {"1", "EA1Z", "y"});
        }
        s.numberRows(1, s.rows() - 1, 1);
        for (int64_t r = 1; r < s.rows(); ++r)
            QCOMPARE(std::string(s.cell(r, 0)), std::to_string(r));
        QCOMPARE(std::string(s.cell(0, 0)), std::string("Nº"));
    }
}

// Another first row or first number renumbers everything it covers.
void TestGridStoreFast::renumberingOtherRanges()
{
    GridStore s(2);
    for (int i = 0; i < 10; ++i)
        appendRow(s, {"", "fila"});
    s.numberRows(0, 9, 1);
    s.numberRows(3, 9, 1);
    QCOMPARE(s.cell(2, 0), std::string_view("3"));
    QCOMPARE(s.cell(3, 0), std::string_view("1"));
    QCOMPARE(s.cell(9, 0), std::string_view("7"));
    s.numberRows(3, 9, 0);
    QCOMPARE(s.cell(3, 0), std::string_view("0"));
    QCOMPARE(s.cell(9, 0), std::string_view("6"));
    s.numberRows(3, 5, 0);
    s.numberRows(3, 9, 0);
    QCOMPARE(s.cell(9, 0), std::string_view("6"));
    s.numberRows(0, 9, -2);
    s.numberRows(0, 9, -2);
    QCOMPARE(s.cell(0, 0), std::string_view("-2"));
    QCOMPARE(s.cell(9, 0), std::string_view("7"));
}

QTEST_APPLESS_MAIN(TestGridStoreFast)
#include "tst_gridstorefast.moc"
