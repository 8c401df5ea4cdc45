// The compact cell store against plain vectors of strings: a long random mix of every
// operation, read back cell by cell, row by row and as the bytes a search scans, and the
// few things a random mix rarely meets: reads resuming where the last one stopped in a
// place another row took over, the rows' bytes around a kept number, and memory given back.
#include "common/GridStore.h"
#include <QRandomGenerator>
#include <QTest>
#include <array>
#include <numeric>
#include <string>
#include <tuple>
#include <vector>

using namespace std::string_literals;

namespace {

using Row = std::vector<std::string>;
using Table = std::vector<Row>;

void appendRow(GridStore &s, const Row &cells)
{
    std::vector<std::string_view> views(cells.begin(), cells.end());
    s.appendRow(views.data(), int(views.size()));
}

// Every cell, read one at a time and a whole row at a time, is the table's.
bool sameAs(const GridStore &s, const Table &t)
{
    if (s.rows() != int64_t(t.size()))
        return false;
    std::vector<std::string_view> cells(size_t(s.cols()));
    for (size_t r = 0; r < t.size(); ++r) {
        s.rowCells(int64_t(r), cells.data());
        for (int c = 0; c < s.cols(); ++c) {
            if (cells[size_t(c)] != t[r][size_t(c)] || s.cell(int64_t(r), c) != t[r][size_t(c)]) {
                qWarning("row %zu col %d: '%s', expected '%s'", r, c, std::string(s.cell(int64_t(r), c)).c_str(),
                         t[r][size_t(c)].c_str());
                return false;
            }
        }
    }
    return true;
}

// True when the texts occur in `bytes` one after another, the first at its start and the
// last at its end, with at most `prefix` bytes (a length) before each but the first.
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

class TestGridStore : public QObject
{
    Q_OBJECT
private slots:
    void randomOperationsMatchReference_data();
    void randomOperationsMatchReference();
    void readsFollowRewritesAndCompaction();
    void rowBytesHoldOnlyText();
    void memoryIsGivenBack();
};

void TestGridStore::randomOperationsMatchReference_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("longOdds"); // one text in longOdds is long
    QTest::newRow("short cells") << 20240611u << 40;
    QTest::newRow("long cells") << 7u << 6;
}

// A long random mix of every operation, also with rows and columns that do not exist,
// checked against plain vectors of strings (and tags) after each step by one read and every
// hundred steps cell by cell. Rows are mostly numbered over the same range again, so each
// kind of change meets a renumbering; column 0 meets texts that are numbers and some that
// only look like numbers.
void TestGridStore::randomOperationsMatchReference()
{
    QFETCH(quint32, seed);
    QFETCH(int, longOdds);
    QRandomGenerator rng(seed);
    const int cols = 6;
    const std::string pool[] = {"", "0", "1", "7", "42", "007", "-3", "+1", " 1", "12a", "4294967294", "4294967295",
                                "12345678901", "EA4ABC", "Peñíscola", "línea 1\r\nlínea 2", "a\0b"s};
    const auto text = [&]() -> std::string {
        if (rng.bounded(longOdds) == 0) // one- to three-byte lengths, blocks outgrown, a block of its own
            return std::string(std::array<size_t, 6>{127, 128, 300, 20000, 70000, 600000}[rng.bounded(6)],
                               char('a' + rng.bounded(26)));
        return pool[rng.bounded(int(std::size(pool)))];
    };
    const auto randomRow = [&](int n) {
        Row row;
        for (int c = 0; c < n; ++c)
            row.push_back(text());
        return row;
    };
    GridStore s(cols);
    Table t;
    std::vector<uint32_t> tags;
    for (int step = 0; step < 20000; ++step) {
        const auto rows = int64_t(t.size());
        const int64_t r = rows > 0 ? rng.bounded(int(rows)) : 0;
        const int op = rng.bounded(100);
        if (op < 20 || rows == 0) { // a row of 0 .. cols + 1 cells, appended or inserted
            Row row = randomRow(rng.bounded(cols + 2));
            std::vector<std::string_view> views(row.begin(), row.end());
            const int64_t at = op < 14 ? rows : rng.bounded(int(rows) + 1);
            if (at == rows)
                s.appendRow(views.data(), int(views.size()));
            else
                s.insertRow(at, views.data(), int(views.size()));
            row.resize(cols);
            t.insert(t.begin() + at, row);
            tags.insert(tags.begin() + at, 0);
        } else if (op < 55) {
            const int c = rng.bounded(3) == 0 ? 0 : rng.bounded(cols);
            const std::string x = text();
            s.setCell(r, c, x);
            t[size_t(r)][size_t(c)] = x;
        } else if (op < 63) {
            s.removeRow(r);
            t.erase(t.begin() + r);
            tags.erase(tags.begin() + r);
        } else if (op < 67) {
            std::vector<int64_t> order(size_t(1 + rng.bounded(int(rows - r))));
            std::iota(order.begin(), order.end(), r);
            std::shuffle(order.begin(), order.end(), rng);
            s.permute(r, order);
            const Table before = t;
            const std::vector<uint32_t> tagsBefore = tags;
            for (size_t k = 0; k < order.size(); ++k) {
                t[size_t(r) + k] = before[size_t(order[k])];
                tags[size_t(r) + k] = tagsBefore[size_t(order[k])];
            }
        } else if (op < 77) {
            int64_t first = 1, start = 1;
            switch (rng.bounded(5)) {
            case 0: first = 0; break;
            case 1: first = r, start = int64_t(rng.bounded(3)) - 1; break;
            case 2: start = 4294967293; break; // numbers past the compact range are text
            default: break;
            }
            const int64_t last = rng.bounded(4) == 0 ? r : rows - 1;
            s.numberRows(first, last, start);
            for (int64_t i = first; i <= std::min(last, rows - 1); ++i)
                t[size_t(i)][0] = std::to_string(start + i - first);
            QVERIFY(s.isNumbered(first, last, start));
            QCOMPARE(s.isNumbered(first, last, start + 1), first > std::min(last, rows - 1));
        } else if (op < 80) {
            GridStore more(cols);
            const int n = rng.bounded(5);
            more.reserveRows(n);
            for (int i = 0; i < n; ++i) {
                t.push_back(randomRow(cols));
                tags.push_back(rng.bounded(3));
                appendRow(more, t.back());
                more.setRowTag(i, tags.back());
            }
            s.appendStore(std::move(more));
            QCOMPARE(more.rows(), 0);
            appendRow(more, {"x"}); // still a store of its own
            QCOMPARE(std::string(more.cell(0, 0)), "x"s);
        } else if (op < 82) {
            s.appendEmptyRows(2);
            t.resize(t.size() + 2, Row(size_t(cols)));
            tags.resize(tags.size() + 2, 0);
        } else if (op < 84) {
            const int64_t keep = rng.bounded(8) == 0 ? 0 : rows - rng.bounded(int(std::min<int64_t>(rows, 10)) + 1);
            s.truncate(keep);
            t.resize(size_t(keep));
            tags.resize(size_t(keep));
        } else if (op < 89) {
            tags[size_t(r)] = rng.bounded(1000);
            s.setRowTag(r, tags[size_t(r)]);
        } else if (op < 90) { // the live bytes were counted right all along
            const size_t live = s.liveBytes();
            GridStore moved(std::move(s));
            QCOMPARE(s.rows(), 0);
            s = std::move(moved);
            s.compact();
            QCOMPARE(s.deadBytes(), size_t(0));
            QCOMPARE(s.liveBytes(), live);
        } else if (op < 93) {
            const int64_t last = r + int64_t(rng.bounded(5)) - 1;
            const GridStore copy = s.copyRows(r, last);
            QVERIFY(sameAs(copy, Table(t.begin() + r, t.begin() + std::max(r, std::min(last + 1, rows)))));
            for (int64_t i = 0; i < copy.rows(); ++i)
                QCOMPARE(copy.rowTag(i), 0u);
        } else if (op < 96) {
            const int64_t last = r + int64_t(rng.bounded(4));
            const std::string &c0 = t[size_t(r)][0];
            const bool digits = !c0.empty() && c0.size() < 12 && c0.find_first_not_of("0123456789") == std::string::npos;
            const int64_t start = digits ? std::stoll(c0) : int64_t(rng.bounded(3));
            bool numbered = true;
            for (int64_t i = r; i <= std::min(last, rows - 1); ++i)
                numbered = numbered && t[size_t(i)][0] == std::to_string(start + i - r);
            QCOMPARE(s.isNumbered(r, last, start), numbered);
        } else { // nothing outside the table, nor a reordering that is not one, changes anything
            const int64_t row = std::array<int64_t, 3>{-1, rows, r}[rng.bounded(3)];
            const int col = row == r ? std::array{-1, cols}[rng.bounded(2)] : rng.bounded(cols);
            QVERIFY(s.cell(row, col).empty());
            s.setCell(row, col, "x");
            if (row != r) {
                s.removeRow(row);
                s.setRowTag(row, 5);
                QCOMPARE(s.rowTag(row), 0u);
            }
            s.permute(r, {r, r});
            s.permute(r, {r + 1, r - 1});
            s.permute(r, std::vector<int64_t>(size_t(rows - r + 1)));
            GridStore narrow(cols - 1);
            appendRow(narrow, {"a"});
            s.appendStore(std::move(narrow));
            s.appendStore(std::move(s));
        }
        if (!t.empty()) {
            const int64_t row = rng.bounded(int(t.size()));
            const int col = rng.bounded(cols);
            QCOMPARE(std::string(s.cell(row, col)), t[size_t(row)][size_t(col)]);
        }
        // The store compacts itself once the dead bytes outgrow the live ones.
        QVERIFY(s.deadBytes() <= std::max<size_t>(s.liveBytes(), 64 * 1024));
        if (step % 100 == 0) {
            QVERIFY2(sameAs(s, t), qPrintable(QStringLiteral("step %1").arg(step)));
            for (size_t i = 0; i < t.size(); ++i) {
                QCOMPARE(s.rowTag(int64_t(i)), tags[i]);
                const int first = 1 + rng.bounded(cols - 1), last = first + rng.bounded(cols - first + 1);
                const Row texts(t[i].begin() + first, t[i].begin() + std::min(last, cols - 1) + 1);
                QVERIFY(holdsInOrder(s.rowBytes(int64_t(i), first, last), texts, 3));
            }
        }
    }
    QVERIFY(sameAs(s, t));
}

// A read may start where the previous one stopped; that must never read a row's old bytes
// after a rewrite, nor another row's bytes after the store moved or dropped its blocks.
void TestGridStore::readsFollowRewritesAndCompaction()
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

    // After a compaction a new row can take the very place an old one had.
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
}

// A number kept beside its row is not among the row's bytes, and a row with no text has none.
void TestGridStore::rowBytesHoldOnlyText()
{
    GridStore s(4);
    appendRow(s, {"7", "EA1AA"});
    s.appendEmptyRows(1);
    for (const auto &[row, first, last] : {std::tuple{1, 0, 3}, {0, 3, 1}, {0, 4, 9}, {-1, 1, 3}, {2, 1, 3}})
        QVERIFY(s.rowBytes(row, first, last).empty());
    QVERIFY(s.rowBytes(0, 0, 3).find('7') == std::string_view::npos);
    QVERIFY(s.rowBytes(0, 0, 3).find("EA1AA") != std::string_view::npos);
    s.setCell(0, 1, "");
    QVERIFY(s.rowBytes(0, 0, 3).empty());
}

void TestGridStore::memoryIsGivenBack()
{
    // Each rewrite of a changing length leaves a dead blob behind; without compaction this
    // would pile up some 40 MB.
    GridStore s(4);
    for (int i = 0; i < 200; ++i)
        appendRow(s, {std::to_string(i), "EA" + std::to_string(i), "Madrid", "nota"});
    for (int i = 0; i < 20000; ++i)
        s.setCell(i % 200, 3, std::string(size_t(1000 + i % 7), char('a' + i % 26)));
    QVERIFY2(s.memoryUsage() < 4u * 1024 * 1024, std::to_string(s.memoryUsage()).c_str());

    // Dropping nearly every row gives the memory back.
    GridStore big(2);
    for (int i = 0; i < 3000; ++i)
        appendRow(big, {std::to_string(i), std::string(1000, 'q')});
    const size_t before = big.memoryUsage();
    big.truncate(1);
    QVERIFY(sameAs(big, {{"0", std::string(1000, 'q')}}));
    QVERIFY(big.memoryUsage() < before / 10);
}

QTEST_APPLESS_MAIN(TestGridStore)
#include "tst_gridstore.moc"
