// The grid under both tables: its compact cell store against plain vectors of strings, and the
// Qt model over it: what views are told of each change, the current cell and the selection in
// grid coordinates, colours that keep to their rows, and the sort.
#include "ModelSignals.h"
#include "common/GridModel.h"
#include <QAbstractItemModelTester>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <numeric>
#include <string>
#include <tuple>
#include <vector>

using namespace Qt::StringLiterals;
using namespace std::string_literals;

namespace {

// A contact table of five columns: headings, then n rows numbered on from the last one, the
// r-th of them holding "EA<r>", "Nombre <r>", "QTH <r>", "BURO".
inline void fill(GridModel &m, int n)
{
    const QStringList headings{u"Nº"_s, u"Indicativo"_s, u"Nombre"_s, u"QTH"_s, u"Vía"_s};
    for (int c = 0; c < headings.size(); ++c)
        m.setTextMatrix(0, c, headings[c]);
    for (int r = 1; r <= n; ++r)
        m.appendRow({QString::number(m.Rows()), u"EA%1"_s.arg(r), u"Nombre %1"_s.arg(r), u"QTH %1"_s.arg(r), u"BURO"_s});
}

// Texts split at commas (or another mark), for short expected lists; "" is no text at all.
inline QStringList split(const char *text, char16_t mark = u',')
{
    return QString::fromUtf8(text).split(mark, Qt::SkipEmptyParts);
}

// Runs grid operations written as "row 2; col 3; select 2 1 5 3; view 5 3 2 1; remove 2; rows 1;
// fill 4; text Ana; set 2 3 Cáceres; paint 3 2; append 4 EA7X; store 2; number; sort 1 3 1 1; Sort".
// "view" selects the way a view does: the current index moves, then the rectangle is selected.
inline void apply(GridModel &m, const char *steps)
{
    for (const QString &step : QString::fromUtf8(steps).split(u';', Qt::SkipEmptyParts)) {
        const QStringList w = step.split(u' ', Qt::SkipEmptyParts);
        const auto n = [&w](int i) { return w.value(i).toInt(); };
        const QString &op = w[0];
        if (op == u"row") m.setRow(n(1));
        else if (op == u"col") m.setCol(n(1));
        else if (op == u"select") m.setSelection(n(1), n(2), n(3), n(4));
        else if (op == u"remove") m.RemoveItem(n(1));
        else if (op == u"rows") m.setRows(n(1));
        else if (op == u"fill") fill(m, n(1));
        else if (op == u"text") m.setText(w[1]);
        else if (op == u"set") m.setTextMatrix(n(1), n(2), w.mid(3).join(u' '));
        else if (op == u"paint") m.setCellColors(n(1), n(2), QColor(128, 0, 0), QColor(255, 255, 255));
        else if (op == u"append") m.appendRow(w.mid(1));
        else if (op == u"number") m.numberRows();
        else if (op == u"sort") m.sortRows(n(1), n(2), n(3), n(4));
        else if (op == u"Sort") m.Sort();
        else if (op == u"view") {
            QItemSelectionModel *sel = m.selectionModel();
            sel->setCurrentIndex(m.indexFor(n(1), n(2)), QItemSelectionModel::ClearAndSelect);
            sel->setCurrentIndex(m.indexFor(n(3), n(4)), QItemSelectionModel::NoUpdate);
            sel->select(QItemSelection(m.index(qMin(n(1), n(3)) - 1, qMin(n(2), n(4)) - 1),
                                       m.index(qMax(n(1), n(3)) - 1, qMax(n(2), n(4)) - 1)),
                        QItemSelectionModel::ClearAndSelect);
        } else if (op == u"store") { // contacts from a store of their own, as a reader makes them
            GridStore more(m.Cols());
            const std::string_view cells[] = {"", "EA9ZZ", "Zoe"};
            for (int i = 0; i < n(1); ++i)
                more.appendRow(cells, 3);
            m.appendRows(std::move(more));
        } else
            QFAIL(qPrintable(step));
    }
}

inline QStringList column(const GridModel &m, int col)
{
    QStringList out;
    for (int r = 1; r < m.Rows(); ++r)
        out << m.TextMatrix(r, col);
    return out;
}

inline QStringList contactsOf(const GridModel &m)
{
    QStringList out;
    for (int r = 1; r < m.Rows(); ++r)
        out << m.TextMatrix(r, 0) + u' ' + m.TextMatrix(r, 1);
    return out;
}

inline QList<int> corners(const GridModel &m) { return {m.Row(), m.Col(), m.RowSel(), m.ColSel()}; }


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
        for (int c = 0; c < s.cols(); ++c)
            if (cells[size_t(c)] != t[r][size_t(c)] || s.cell(int64_t(r), c) != t[r][size_t(c)])
                return false;
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

class TestGrid : public QObject
{
    Q_OBJECT
private slots:
    void randomOperationsMatchReference_data();
    void randomOperationsMatchReference();
    void whatARandomMixRarelyMeets();
    void viewsAreToldEachChange_data();
    void viewsAreToldEachChange();
    void gridWithoutFixedColumn();
    void currentCell_data();
    void currentCell();
    void coloursStayWithTheirRows();
    void sortKeepsCursorIndexesFollow();
    void largeSortIsOrdered();
};

void TestGrid::randomOperationsMatchReference_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("longOdds"); // one text in longOdds is long
    QTest::newRow("short cells") << 20240611u << 40;
    QTest::newRow("long cells") << 7u << 6;
}

// Every operation at random, on rows and columns that do not exist too, checked by one read
// after each step and cell by cell every hundred steps. Renumbering the same range again meets
// each kind of change; column 0 meets numbers and texts that only look like numbers.
void TestGrid::randomOperationsMatchReference()
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
        Row row(static_cast<size_t>(n));
        std::generate(row.begin(), row.end(), text);
        return row;
    };
    GridStore s(cols);
    Table t; // each row's tag (as text, "" for none) after its cells
    const auto tagOf = [&](size_t row) { return uint32_t(std::strtoul(t[row].back().c_str(), nullptr, 10)); };
    for (int step = 0; step < 20000; ++step) {
        const auto rows = int64_t(t.size());
        const int64_t r = rows > 0 ? rng.bounded(int(rows)) : 0;
        const int op = rng.bounded(100);
        if (op < 20 || rows == 0) { // a row of 0 .. cols + 1 cells, appended or inserted
            Row row = randomRow(rng.bounded(cols + 2));
            std::vector<std::string_view> views(row.begin(), row.end());
            // Half the rows appended as a reader does: the cells in one buffer that may be read
            // whole, the last one ending where the buffer's memory ends.
            std::unique_ptr<char[]> buffer;
            std::string_view readable;
            if (rng.bounded(2) == 0) {
                size_t total = 0;
                for (const std::string &cell : row)
                    total += cell.size();
                buffer = std::make_unique<char[]>(total);
                for (size_t k = 0, at = 0; k < row.size(); at += row[k].size(), ++k) {
                    std::memcpy(buffer.get() + at, row[k].data(), row[k].size());
                    views[k] = std::string_view(buffer.get() + at, row[k].size());
                }
                readable = std::string_view(buffer.get(), total);
            }
            const int64_t at = op < 14 ? rows : rng.bounded(int(rows) + 1);
            if (at == rows)
                s.appendRow(views.data(), int(views.size()), readable);
            else
                s.insertRow(at, views.data(), int(views.size()));
            row.resize(cols + 1);
            row[size_t(cols)].clear();
            t.insert(t.begin() + at, row);
        } else if (op < 55) {
            const int c = rng.bounded(3) == 0 ? 0 : rng.bounded(cols);
            const std::string x = text();
            s.setCell(r, c, x);
            t[size_t(r)][size_t(c)] = x;
        } else if (op < 63) {
            s.removeRow(r);
            t.erase(t.begin() + r);
        } else if (op < 67) {
            std::vector<int64_t> order(size_t(1 + rng.bounded(int(rows - r))));
            std::iota(order.begin(), order.end(), r);
            std::shuffle(order.begin(), order.end(), rng);
            s.permute(r, order);
            const Table before = t;
            for (size_t k = 0; k < order.size(); ++k)
                t[size_t(r) + k] = before[size_t(order[k])];
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
                appendRow(more, t.back());
                t.back().push_back(std::to_string(rng.bounded(3)));
                more.setRowTag(i, tagOf(t.size() - 1));
            }
            s.appendStore(std::move(more));
            QCOMPARE(more.rows(), 0);
            appendRow(more, {"x"}); // still a store of its own
            QCOMPARE(std::string(more.cell(0, 0)), "x"s);
        } else if (op < 82) {
            s.appendEmptyRows(2);
            t.resize(t.size() + 2, Row(size_t(cols + 1)));
        } else if (op < 84) {
            const int64_t keep = rng.bounded(8) == 0 ? 0 : rows - rng.bounded(int(std::min<int64_t>(rows, 10)) + 1);
            s.truncate(keep);
            t.resize(size_t(keep));
        } else if (op < 89) {
            t[size_t(r)][size_t(cols)] = std::to_string(rng.bounded(1000));
            s.setRowTag(r, tagOf(size_t(r)));
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
                QCOMPARE(s.rowTag(int64_t(i)), tagOf(i));
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
void TestGrid::whatARandomMixRarelyMeets()
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

    // A number kept beside its row is not among the row's bytes, and a row with no text has none.
    GridStore n(4);
    appendRow(n, {"7", "EA1AA"});
    n.appendEmptyRows(1);
    for (const auto &[row, first, last] : {std::tuple{1, 0, 3}, {0, 3, 1}, {0, 4, 9}, {-1, 1, 3}, {2, 1, 3}})
        QVERIFY(n.rowBytes(row, first, last).empty());
    QVERIFY(n.rowBytes(0, 0, 3).find('7') == std::string_view::npos);
    QVERIFY(n.rowBytes(0, 0, 3).find("EA1AA") != std::string_view::npos);
    n.setCell(0, 1, "");
    QVERIFY(n.rowBytes(0, 0, 3).empty());

    // Rewrites of another length leave dead blobs: some 40 MB of them without compaction.
    s = GridStore(4);
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

void TestGrid::viewsAreToldEachChange_data()
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
void TestGrid::viewsAreToldEachChange()
{
    QFETCH(QString, steps);
    QFETCH(QStringList, told);
    QFETCH(QStringList, contacts);
    GridModel m(5, 1);
    fill(m, 3);
    QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::Fatal);
    // The heading row and the fixed column are the views' headers; cells are only read.
    QCOMPARE(m.columnCount(), 4);
    QCOMPARE(m.headerData(0, Qt::Horizontal, Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask,
             int(Qt::AlignLeft));
    QCOMPARE(m.indexFor(2, 1), m.index(1, 0));
    QVERIFY(!m.indexFor(2, 0).isValid() && !m.indexFor(0, 1).isValid());
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

// The DXCC list: three data columns, the heading row only as header, numbers as ordinary cells;
// it sorts by whichever column is current, and a lone heading row or entry leaves nothing to sort.
void TestGrid::gridWithoutFixedColumn()
{
    GridModel m(3, 0);
    QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::Fatal);
    m.setTextMatrix(0, 0, u"Prefijo"_s);
    ModelSignals signals_(&m);
    apply(m, "Sort; append EA 14 EU; Sort");
    QCOMPARE(signals_.take(), split("rowsInserted 0-0"));
    QCOMPARE(m.columnCount(), 3);
    QCOMPARE(m.headerData(0, Qt::Horizontal).toString(), u"Prefijo"_s);
    QVERIFY(!m.headerData(0, Qt::Vertical).isValid());
    QCOMPARE(m.data(m.index(0, 1)).toString(), u"14"_s);
    QCOMPARE(m.Col(), 0);
    m.setCol(2);
    QCOMPARE(m.Col(), 2);
    QCOMPARE(m.selectionModel()->currentIndex(), m.index(0, 2));

    for (const char *entry : {"CE,12,sa", "VK,30,OC", "EA8,9,AF"})
        m.appendRow(split(entry));
    apply(m, "col 1; Sort");
    QCOMPARE(column(m, 1), split("12,14,30,9"));
    QCOMPARE(column(m, 0), split("CE,EA,VK,EA8"));
    apply(m, "col 2; Sort");
    QCOMPARE(column(m, 2), split("AF,EU,OC,sa"));
    apply(m, "col 0; Sort");
    QCOMPARE(column(m, 0), split("CE,EA,EA8,VK"));
    signals_.take();
    m.numberRows();
    QCOMPARE(signals_.log, QStringList{u"dataChanged 0,0 3,0"_s});
    QCOMPARE(column(m, 0), split("1,2,3,4"));
}

void TestGrid::currentCell_data()
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
    // Without contacts the current cell is on the heading row, out of the fixed column, in its column.
    row("no contacts", 0, "", {0, 1, 0, 1}, "Indicativo", 0, "");
    row("no contacts, moves", 0, "col 3; col 0; row 2", {0, 3, 0, 3}, "QTH", 0, "0 3");
    row("rows going away", 0, "fill 4; row 2; col 4; rows 1", {0, 4, 0, 4}, "Vía", 0, "2 1;2 4");
    row("first contact row by default", 0, "col 2; fill 3; text Ana", {1, 2, 1, 2}, "Ana", 0, "0 2");
    // A new row or column collapses a selection; heading row, fixed column and beyond are refused.
    row("setRow in a selection", 6, "select 2 1 5 3; row 4", {4, 1, 4, 1}, "EA4", 1, "2 1;4 1");
    row("setCol in a selection", 6, "select 2 1 5 3; col 4", {2, 4, 2, 4}, "BURO", 1, "2 1;2 4");
    row("refused moves", 6, "col 4; row 2; row 0; row 7; col 5; col 0", {2, 4, 2, 4}, "BURO", 1, "1 4;2 4");
    // A removed current row keeps its index (the next row moves up); a row above going moves it.
    row("remove the current row", 4, "col 2; row 2; remove 2", {2, 2, 2, 2}, "Nombre 3", 1, "1 2;2 2");
    row("remove the last row", 4, "col 2; row 4; remove 4", {3, 2, 3, 2}, "Nombre 3", 1, "1 2;4 2");
    row("remove a row above", 4, "col 2; row 2; remove 1", {1, 2, 1, 2}, "Nombre 2", 1, "1 2;2 2");
    row("a selection is no current row", 4, "select 1 1 3 2; remove 4", {1, 1, 3, 2}, "EA1", 6, "1 1");
    // Row/Col is where a selection started, RowSel/ColSel where it ends, also when a view
    // makes it ("-": what a view's own moves announce is not looked at).
    row("down right", 6, "select 2 1 5 3", {2, 1, 5, 3}, "EA2", 12, "2 1");
    row("down right, by a view", 6, "view 2 1 5 3", {2, 1, 5, 3}, "EA2", 12, "-");
    row("up left", 6, "select 5 3 2 1", {5, 3, 2, 1}, "QTH 5", 12, "5 3");
    row("up left, by a view", 6, "view 5 3 2 1", {5, 3, 2, 1}, "QTH 5", 12, "-");
    row("up right", 6, "select 5 1 2 4", {5, 1, 2, 4}, "EA5", 16, "5 1");
    row("up right, by a view", 6, "view 5 1 2 4", {5, 1, 2, 4}, "EA5", 16, "-");
    row("one row", 6, "select 3 4 3 2", {3, 4, 3, 2}, "BURO", 3, "3 4");
    row("one row, by a view", 6, "view 3 4 3 2", {3, 4, 3, 2}, "BURO", 3, "-");
}

void TestGrid::currentCell()
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
    if (moved != u"-")
        QCOMPARE(announced.join(u';'), moved);
    // The view's current index is the far corner of the selection.
    if (m.selectionModel()->currentIndex().isValid())
        QCOMPARE(m.selectionModel()->currentIndex(), m.indexFor(expected[2], expected[3]));
}

void TestGrid::coloursStayWithTheirRows()
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

// Like the grid, the sort moves whole rows (numbers, colours) under a cursor and selection that
// stay put, while indexes the views hold follow their rows; the views are told once.
void TestGrid::sortKeepsCursorIndexesFollow()
{
    GridModel m(5, 1);
    apply(m, "append 1 D; append 2 B; append 3 A; append 4 C; append 5 E");
    QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QPersistentModelIndex onB(m.indexFor(2, 1));
    QPersistentModelIndex onA(m.indexFor(3, 2));
    QPersistentModelIndex onE(m.indexFor(5, 1));
    m.setCellColors(3, 2, Qt::red, Qt::white);
    ModelSignals signals_(&m);
    apply(m, "select 2 1 4 2; Sort");
    QCOMPARE(column(m, 1), split("D,A,B,C,E"));
    QCOMPARE(column(m, 0), split("1,3,2,4,5"));
    QCOMPARE(signals_.log, split("layoutAboutToBeChanged vertical,layoutChanged vertical"));
    for (int r = 1; r < m.Rows(); ++r) {
        QCOMPARE(m.cellBackColor(r, 2), r == 2 ? QColor(Qt::red) : QColor());
        QCOMPARE(m.cellForeColor(r, 2), r == 2 ? QColor(Qt::white) : QColor());
    }
    QCOMPARE(corners(m), (QList<int>{2, 1, 4, 2}));
    QCOMPARE(m.selectionModel()->selectedIndexes().size(), 6);
    QCOMPARE(onB.data().toString(), u"B"_s);
    QCOMPARE(m.gridRow(onB), 3);
    QCOMPARE(m.gridRow(onA), 2);
    QCOMPARE(m.gridCol(onA), 2);
    QCOMPARE(m.gridRow(onE), 5); // outside the sorted rows
}

// Enough rows for the radix path: keys that tie or share long heads, and names of letters that
// fold in unusual ways (long s, Kelvin, sigmas, digraphs, dotted I, other planes, NUL, C1).
void TestGrid::largeSortIsOrdered()
{
    GridStore rows(5);
    QRandomGenerator rng(99);
    const char *names[] = {"garcía", "García López", "GARCÍA LÓPEZ, Juan", "garcia lopez, juan", "Núñez",
                           "núñez de arce", "Ñ", ""};
    const char *suffixes[] = {"", "/P", "/QRP", "/mm"};
    const QList<uint> letters = (u"aAbBzZ09 -/ñÑáÁéÉüÜßſ\u212AΣσςЖж\u0130i\u0131\u01C4\u01C5\u01C6\u0081\u008D\uFFFD"_s
                                 + QChar(0) + QString::fromUcs4(U"\U00010400\U00010428\U0001E900")).toUcs4();
    for (int i = 0; i < 20000; ++i) {
        std::string call = (rng.bounded(2) ? "EA" : "ea") + std::to_string(rng.bounded(10)) + "A"
                           + std::to_string(rng.bounded(50));
        if (rng.bounded(5) == 0)
            call += suffixes[rng.bounded(int(std::size(suffixes)))];
        std::string name = names[rng.bounded(int(std::size(names)))];
        for (int n = rng.bounded(4) ? 1 + rng.bounded(5) : 0; n > 0; --n) {
            const char32_t cp = letters[rng.bounded(letters.size())];
            name += QString::fromUcs4(&cp, 1).toStdString();
        }
        const std::string num = std::to_string(i + 1);
        const std::string_view cells[] = {num, call, name, "comentario común a todas las filas", ""};
        rows.appendRow(cells, 5);
    }
    GridModel m(5, 1);
    m.appendRows(std::move(rows));
    // Rows are ordered on columns first..last, and equal keys kept their order.
    auto ordered = [&m](int first, int last) {
        for (int r = 1; r + 1 < m.Rows(); ++r) {
            int c = 0;
            for (int col = first; col <= last && c == 0; ++col)
                c = QString::compare(m.TextMatrix(r, col), m.TextMatrix(r + 1, col), Qt::CaseInsensitive);
            if (c > 0 || (c == 0 && m.TextMatrix(r, 0).toInt() > m.TextMatrix(r + 1, 0).toInt()))
                return false;
        }
        return true;
    };
    m.sortRows(1, m.Rows() - 1, 2, 3);
    QVERIFY(ordered(2, 3));
    m.numberRows();
    m.sortRows(1, m.Rows() - 1, 1, 1);
    QVERIFY(ordered(1, 1));
    const QStringList numbers = column(m, 0);
    QCOMPARE(QSet<QString>(numbers.begin(), numbers.end()).size(), 20000);
}

QTEST_APPLESS_MAIN(TestGrid)
#include "tst_grid.moc"
