#include "common/GridStore.h"
#include <QRandomGenerator>
#include <QTest>
#include <string>
#include <vector>

namespace {

using Table = std::vector<std::vector<std::string>>;

std::string cellOf(const GridStore &s, int64_t row, int col) { return std::string(s.cell(row, col)); }

void appendRow(GridStore &s, const std::vector<std::string> &cells)
{
    std::vector<std::string_view> views(cells.begin(), cells.end());
    s.appendRow(views.data(), int(views.size()));
}

bool sameAs(const GridStore &s, const Table &t)
{
    if (s.rows() != int64_t(t.size()))
        return false;
    for (size_t r = 0; r < t.size(); ++r)
        for (int c = 0; c < s.cols(); ++c)
            if (cellOf(s, int64_t(r), c) != t[r][size_t(c)]) {
                qWarning("row %zu col %d: got '%s', expected '%s'", r, c, cellOf(s, int64_t(r), c).c_str(),
                         t[r][size_t(c)].c_str());
                return false;
            }
    return true;
}

} // namespace

class TestGridStore : public QObject
{
    Q_OBJECT
private slots:
    void cellsRoundTrip_data();
    void cellsRoundTrip();
    void numberColumn_data();
    void numberColumn();
    void numberRows();
    void shortRowsAndOutOfRange();
    void removeTruncatePermute();
    void appendStoreMovesRows();
    void rewritesAreCompacted();
    void hugeRowGetsItsOwnBlock();
    void movedFromStoreIsEmpty();
    void randomOperationsMatchReference();
};

void TestGridStore::cellsRoundTrip_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("call sign") << QByteArray("EA4ABC");
    QTest::newRow("accents") << QByteArray("Peñíscola, Cáceres, Vía, Nº, ü");
    QTest::newRow("line breaks") << QByteArray("primera línea\r\nsegunda\r\n");
    QTest::newRow("127 bytes") << QByteArray(127, 'x');
    QTest::newRow("128 bytes") << QByteArray(128, 'y');
    QTest::newRow("16384 bytes") << QByteArray(16384, 'z');
    QTest::newRow("70000 bytes") << QByteArray(70000, 'w');
    QTest::newRow("zero byte") << QByteArray("a\0b", 3);
}

// Every length class must survive being written into any column of a row, by append and by
// rewrite, without disturbing the neighbours.
void TestGridStore::cellsRoundTrip()
{
    QFETCH(QByteArray, text);
    const std::string value(text.constData(), size_t(text.size()));
    const int cols = 5;
    for (int col = 0; col < cols; ++col) {
        GridStore s(cols);
        std::vector<std::string> row{"1", "ab", "", "céntimo", "zz"};
        appendRow(s, row);
        appendRow(s, row);
        s.setCell(0, col, value);
        row[size_t(col)] = value;
        QVERIFY(sameAs(s, {row, {"1", "ab", "", "céntimo", "zz"}}));

        GridStore t(cols);
        appendRow(t, row);
        QVERIFY(sameAs(t, {row}));
    }
}

void TestGridStore::numberColumn_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("0") << QByteArray("0");
    QTest::newRow("1") << QByteArray("1");
    QTest::newRow("largest slot") << QByteArray("4294967294");
    QTest::newRow("beyond the slot") << QByteArray("4294967295");
    QTest::newRow("eleven digits") << QByteArray("12345678901");
    QTest::newRow("leading zeros") << QByteArray("007");
    QTest::newRow("00") << QByteArray("00");
    QTest::newRow("negative") << QByteArray("-1");
    QTest::newRow("plus") << QByteArray("+1");
    QTest::newRow("blank before") << QByteArray(" 1");
    QTest::newRow("blank after") << QByteArray("1 ");
    QTest::newRow("letters") << QByteArray("12a");
    QTest::newRow("empty") << QByteArray();
}

// Column 0 reads back exactly as written, whether it was kept as a number or as text.
void TestGridStore::numberColumn()
{
    QFETCH(QByteArray, text);
    const std::string value(text.constData(), size_t(text.size()));
    GridStore s(3);
    appendRow(s, {value, "a", "b"});
    appendRow(s, {"old text", "c", "d"});
    appendRow(s, {"5", "e", "f"});
    s.setCell(1, 0, value);
    s.setCell(2, 0, value);
    QVERIFY(sameAs(s, {{value, "a", "b"}, {value, "c", "d"}, {value, "e", "f"}}));
    // and back to a number and to text again
    s.setCell(0, 0, "12");
    s.setCell(2, 0, "texto");
    QVERIFY(sameAs(s, {{"12", "a", "b"}, {value, "c", "d"}, {"texto", "e", "f"}}));
}

void TestGridStore::numberRows()
{
    GridStore s(3);
    appendRow(s, {"Nº", "Indicativo", "Nombre"});
    appendRow(s, {"una nota larga en la columna cero", "EA1AA", "Ana"});
    s.appendEmptyRows(2);
    appendRow(s, {"007", "EA4ZZ", "Íñigo"});
    s.numberRows(1, 4, 1);
    QVERIFY(sameAs(s, {{"Nº", "Indicativo", "Nombre"}, {"1", "EA1AA", "Ana"}, {"2", "", ""}, {"3", "", ""},
                       {"4", "EA4ZZ", "Íñigo"}}));

    // Numbers that leave the compact range are still written as decimal text.
    s.numberRows(1, 4, 4294967293);
    QCOMPARE(cellOf(s, 1, 0), std::string("4294967293"));
    QCOMPARE(cellOf(s, 2, 0), std::string("4294967294"));
    QCOMPARE(cellOf(s, 3, 0), std::string("4294967295"));
    QCOMPARE(cellOf(s, 4, 0), std::string("4294967296"));
    s.numberRows(1, 3, -1);
    QCOMPARE(cellOf(s, 1, 0), std::string("-1"));
    QCOMPARE(cellOf(s, 2, 0), std::string("0"));
    QCOMPARE(cellOf(s, 3, 0), std::string("1"));
    QCOMPARE(cellOf(s, 0, 0), std::string("Nº"));
    QCOMPARE(cellOf(s, 4, 2), std::string("Íñigo"));
}

void TestGridStore::shortRowsAndOutOfRange()
{
    GridStore s(4);
    const std::string_view two[] = {"a", "b"};
    s.appendRow(two, 2);
    const std::string_view six[] = {"1", "2", "3", "4", "5", "6"};
    s.appendRow(six, 6);
    s.appendRow(nullptr, 0);
    QVERIFY(sameAs(s, {{"a", "b", "", ""}, {"1", "2", "3", "4"}, {"", "", "", ""}}));

    QVERIFY(s.cell(-1, 0).empty());
    QVERIFY(s.cell(3, 0).empty());
    QVERIFY(s.cell(0, 4).empty());
    QVERIFY(s.cell(0, -1).empty());
    s.setCell(3, 0, "x");
    s.setCell(0, 4, "x");
    s.setCell(-1, 1, "x");
    s.removeRow(3);
    s.removeRow(-1);
    s.setRowTag(7, 3);
    QCOMPARE(s.rowTag(7), 0u);
    QVERIFY(sameAs(s, {{"a", "b", "", ""}, {"1", "2", "3", "4"}, {"", "", "", ""}}));
}

void TestGridStore::removeTruncatePermute()
{
    GridStore s(2);
    for (int i = 0; i < 6; ++i)
        appendRow(s, {std::to_string(i + 1), "fila " + std::to_string(i)});
    for (int i = 0; i < 6; ++i)
        s.setRowTag(i, uint32_t(100 + i));

    s.removeRow(2);
    QVERIFY(sameAs(s, {{"1", "fila 0"}, {"2", "fila 1"}, {"4", "fila 3"}, {"5", "fila 4"}, {"6", "fila 5"}}));
    QCOMPARE(s.rowTag(2), 103u);

    // Rows 1..3 reversed: numbers and tags move with their rows.
    s.permute(1, {3, 2, 1});
    QVERIFY(sameAs(s, {{"1", "fila 0"}, {"5", "fila 4"}, {"4", "fila 3"}, {"2", "fila 1"}, {"6", "fila 5"}}));
    QCOMPARE(s.rowTag(1), 104u);
    QCOMPARE(s.rowTag(3), 101u);

    // Not a permutation of the range: nothing moves.
    s.permute(1, {1, 1, 2});
    s.permute(1, {0, 1, 2});
    s.permute(3, {3, 4, 5});
    QVERIFY(sameAs(s, {{"1", "fila 0"}, {"5", "fila 4"}, {"4", "fila 3"}, {"2", "fila 1"}, {"6", "fila 5"}}));

    s.truncate(2);
    QVERIFY(sameAs(s, {{"1", "fila 0"}, {"5", "fila 4"}}));
    s.truncate(7);
    QCOMPARE(s.rows(), 2);
    s.truncate(0);
    QCOMPARE(s.rows(), 0);
    appendRow(s, {"x", "y"});
    QVERIFY(sameAs(s, {{"x", "y"}}));
}

void TestGridStore::appendStoreMovesRows()
{
    GridStore s(3);
    appendRow(s, {"Nº", "Indicativo", "Nombre"});
    GridStore loaded(3);
    Table expected{{"Nº", "Indicativo", "Nombre"}};
    for (int i = 1; i <= 3000; ++i) {
        std::vector<std::string> row{std::to_string(i), "EA" + std::to_string(i), std::string(size_t(i % 50), 'n')};
        appendRow(loaded, row);
        expected.push_back(row);
    }
    s.appendStore(std::move(loaded));
    QCOMPARE(loaded.rows(), 0);
    QVERIFY(sameAs(s, expected));

    // Both stores stay usable: their blocks were renumbered, not shared.
    s.setCell(1500, 2, "cambiado");
    expected[1500][2] = "cambiado";
    appendRow(s, {"3001", "EA9Z", "último"});
    expected.push_back({"3001", "EA9Z", "último"});
    appendRow(loaded, {"1", "2", "3"});
    QVERIFY(sameAs(s, expected));
    QVERIFY(sameAs(loaded, {{"1", "2", "3"}}));

    // A store of another width, or the store itself, is refused.
    GridStore narrow(2);
    appendRow(narrow, {"a", "b"});
    s.appendStore(std::move(narrow));
    s.appendStore(std::move(s));
    QVERIFY(sameAs(s, expected));
}

void TestGridStore::rewritesAreCompacted()
{
    GridStore s(4);
    Table expected;
    for (int i = 0; i < 200; ++i) {
        std::vector<std::string> row{std::to_string(i), "EA" + std::to_string(i), "Madrid", "nota"};
        appendRow(s, row);
        expected.push_back(row);
    }
    // Each rewrite of a changing length leaves a dead blob behind; without compaction this
    // would pile up some 40 MB.
    for (int i = 0; i < 20000; ++i) {
        const std::string text(size_t(1000 + i % 7), char('a' + i % 26));
        s.setCell(i % 200, 3, text);
        expected[size_t(i % 200)][3] = text;
    }
    QVERIFY(sameAs(s, expected));
    QVERIFY2(s.memoryUsage() < 4u * 1024 * 1024, std::to_string(s.memoryUsage()).c_str());
    QVERIFY(s.deadBytes() <= std::max<size_t>(s.liveBytes(), 64 * 1024));

    s.compact();
    QCOMPARE(s.deadBytes(), size_t(0));
    QVERIFY(sameAs(s, expected));

    // Dropping nearly every row gives the memory back.
    GridStore big(2);
    for (int i = 0; i < 3000; ++i)
        appendRow(big, {std::to_string(i), std::string(1000, 'q')});
    const size_t before = big.memoryUsage();
    big.truncate(1);
    QVERIFY(sameAs(big, {{"0", std::string(1000, 'q')}}));
    QVERIFY(big.memoryUsage() < before / 10);
}

void TestGridStore::hugeRowGetsItsOwnBlock()
{
    GridStore s(3);
    appendRow(s, {"1", "antes", ""});
    const std::string huge(3 * 1024 * 1024 + 17, 'H');
    appendRow(s, {"2", huge, "fin"});
    appendRow(s, {"3", "después", ""});
    s.setCell(0, 2, "otra vez antes");
    QVERIFY(sameAs(s, {{"1", "antes", "otra vez antes"}, {"2", huge, "fin"}, {"3", "después", ""}}));
    s.setCell(1, 2, "");
    s.removeRow(0);
    QVERIFY(sameAs(s, {{"2", huge, ""}, {"3", "después", ""}}));
}

void TestGridStore::movedFromStoreIsEmpty()
{
    GridStore a(2);
    appendRow(a, {"1", "uno"});
    GridStore b(std::move(a));
    QCOMPARE(a.rows(), 0);
    appendRow(a, {"2", "dos"});
    GridStore c(2);
    c = std::move(b);
    QVERIFY(sameAs(c, {{"1", "uno"}}));
    QVERIFY(sameAs(a, {{"2", "dos"}}));
}

// A long random mix of every operation, checked against plain vectors of strings.
void TestGridStore::randomOperationsMatchReference()
{
    QRandomGenerator rng(20240611);
    const char *pool[] = {"", "0", "7", "42", "007", "-3", "EA4ABC", "ea4abc", "Peñíscola",
                          "línea 1\r\nlínea 2"};
    const int cols = 6;
    auto randomText = [&]() -> std::string {
        if (rng.bounded(20) == 0)
            return std::string(size_t(rng.bounded(300)), char('a' + rng.bounded(26)));
        return pool[rng.bounded(int(std::size(pool)))];
    };
    GridStore s(cols);
    Table t;
    for (int step = 0; step < 20000; ++step) {
        const int op = rng.bounded(100);
        const auto rows = int64_t(t.size());
        if (op < 30 || rows == 0) {
            std::vector<std::string> row;
            const int n = rng.bounded(cols + 1);
            for (int c = 0; c < n; ++c)
                row.push_back(randomText());
            appendRow(s, row);
            row.resize(size_t(cols));
            t.push_back(row);
        } else if (op < 75) {
            const int64_t r = rng.bounded(int(rows));
            const int c = rng.bounded(cols);
            const std::string text = randomText();
            s.setCell(r, c, text);
            t[size_t(r)][size_t(c)] = text;
        } else if (op < 85) {
            const int64_t r = rng.bounded(int(rows));
            s.removeRow(r);
            t.erase(t.begin() + r);
        } else if (op < 90) {
            const int64_t first = rng.bounded(int(rows));
            const int64_t n = 1 + rng.bounded(int(rows - first));
            std::vector<int64_t> order(static_cast<size_t>(n));
            for (int64_t k = 0; k < n; ++k)
                order[size_t(k)] = first + k;
            std::shuffle(order.begin(), order.end(), rng);
            s.permute(first, order);
            Table moved;
            for (int64_t k : order)
                moved.push_back(t[size_t(k)]);
            std::copy(moved.begin(), moved.end(), t.begin() + first);
        } else if (op < 94) {
            const int64_t first = rng.bounded(int(rows));
            const int64_t start = int64_t(rng.bounded(3)) - 1;
            s.numberRows(first, rows - 1, start);
            for (int64_t r = first; r < rows; ++r)
                t[size_t(r)][0] = std::to_string(start + (r - first));
        } else if (op < 97) {
            GridStore more(cols);
            for (int i = rng.bounded(5); i > 0; --i) {
                std::vector<std::string> row(static_cast<size_t>(cols));
                for (auto &cell : row)
                    cell = randomText();
                appendRow(more, row);
                t.push_back(row);
            }
            s.appendStore(std::move(more));
        } else if (op < 99) {
            s.appendEmptyRows(2);
            t.resize(t.size() + 2, std::vector<std::string>(size_t(cols)));
        } else {
            const int64_t keep = rng.bounded(int(rows + 1));
            s.truncate(keep);
            t.resize(size_t(keep));
        }
        if (step % 500 == 0)
            QVERIFY2(sameAs(s, t), qPrintable(QStringLiteral("step %1").arg(step)));
    }
    QVERIFY(sameAs(s, t));
    s.compact();
    QVERIFY(sameAs(s, t));
}

QTEST_APPLESS_MAIN(TestGridStore)
#include "tst_gridstore.moc"
