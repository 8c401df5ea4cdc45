// Big logs: in the main window a contact added or deleted reaches the view as one row (a reset
// or new layout would walk every row), rows keep one fixed height, and the last row can be
// shown; the search's row scan and word-at-a-time matcher agree with a plain cell-by-cell find.
#include "AppFixture.h"
#include "BigLog.h"
#include "ModelSignals.h"
#include "common/GridStore.h"
#include "edit/Search.h"
#include "ui/GridView.h"
#include <QHeaderView>
#include <QRandomGenerator>
#include <QScrollBar>
#include <string>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int kContacts = 200000;

constexpr int kCols = 17;

// Cell texts of many lengths around the matcher's word size, with accents and repeats.
std::string randomText(QRandomGenerator &rng)
{
    static const char *pieces[] = {"EA", "4", "ABC", "é", "ñ", "Ñ", "a", "aa", "QSL", "vía", "buró", " ", "/P",
                                   "€", "0", "1", "x", "“", "”", "Málaga"};
    std::string s;
    for (int n = int(rng.bounded(9)); n > 0; --n)
        s += pieces[rng.bounded(int(std::size(pieces)))];
    if (rng.bounded(30) == 0)
        s += std::string(size_t(rng.bounded(200)), 'a'); // long cells: two-byte lengths
    return s;
}

int naiveFirstMatch(const std::vector<std::string> &row, const std::string &needle, int firstCol)
{
    for (int c = std::max(firstCol, 0); c < kCols; ++c)
        if (!row[size_t(c)].empty() && row[size_t(c)].find(needle) != std::string::npos)
            return c;
    return -1;
}

} // namespace

class TestScale : public QObject
{
    Q_OBJECT
private slots:
    void bigLogInTheMainWindow();
    void searchAgreesWithPlainSearch();
};

void TestScale::bigLogInTheMainWindow()
{
    AppFixture app;
    QVERIFY(app.showAndActivate());
    GridModel &libro = app.libro();
    libro.appendRows(bigLog(kContacts));
    libro.numberRows();
    GridView *view = app.frame().libroView();
    QCoreApplication::processEvents();

    // A height asked of each row (resize to contents) would make every layout pass walk the log.
    const QHeaderView *rows = view->verticalHeader();
    QCOMPARE(rows->count(), kContacts);
    for (int section : {0, kContacts / 2, kContacts - 1}) {
        QCOMPARE(rows->sectionResizeMode(section), QHeaderView::Fixed);
        QCOMPARE(rows->sectionSize(section), rows->defaultSectionSize());
    }
    QCOMPARE(rows->length(), kContacts * rows->defaultSectionSize());
    for (int c = 0; c < view->horizontalHeader()->count(); ++c)
        QVERIFY(view->horizontalHeader()->sectionResizeMode(c) != QHeaderView::ResizeToContents);

    // The first and the last rows can be shown.
    const QRect area = view->viewport()->rect();
    const auto shown = [&](int row) { return view->visualRect(view->model()->index(row, 0)).intersects(area); };
    QVERIFY(shown(0));
    view->scrollToBottom();
    QCoreApplication::processEvents();
    QCOMPARE(view->verticalScrollBar()->value(), view->verticalScrollBar()->maximum());
    QVERIFY(shown(kContacts - 1));
    QVERIFY(!shown(0));
    QCOMPARE(view->rowAt(view->viewport()->height() - 1), kContacts - 1);

    ModelSignals told(&libro);
    app.action("mContacto")->trigger();
    QCOMPARE(told.of("rows"), QStringList{u"rowsInserted %1-%1"_s.arg(kContacts)}); // grid row kContacts + 1
    QVERIFY(told.of("layout").isEmpty() && told.of("Reset").isEmpty());
    QCOMPARE(libro.Rows(), kContacts + 2);
    QCOMPARE(libro.TextMatrix(kContacts + 1, 0), QString::number(kContacts + 1));
    QCOMPARE(rows->count(), kContacts + 1);

    // The middle contact goes; the one below takes its place and every number closes up.
    const int middle = kContacts / 2;
    const QString below = libro.TextMatrix(middle + 1, 1) + libro.TextMatrix(middle + 1, 16);
    libro.setCol(1);
    libro.setRow(middle);
    told.take();
    app.action("mBorra_linea")->trigger();
    QCOMPARE(told.of("rows"), QStringList{u"rowsRemoved %1-%1"_s.arg(middle - 1)});
    QVERIFY(told.of("layout").isEmpty() && told.of("Reset").isEmpty());
    QCOMPARE(libro.Rows(), kContacts + 1);
    QCOMPARE(libro.TextMatrix(middle, 1) + libro.TextMatrix(middle, 16), below);
    QCOMPARE(libro.TextMatrix(middle, 0), QString::number(middle));
    QCOMPARE(libro.TextMatrix(kContacts, 0), QString::number(kContacts));
    QCOMPARE(libro.Row(), middle);
    QCOMPARE(rows->count(), kContacts);
    QCOMPARE(rows->length(), kContacts * rows->defaultSectionSize());
}

void TestScale::searchAgreesWithPlainSearch()
{
    std::vector<std::vector<std::string>> rows;
    GridStore store{kCols};
    std::vector<std::string> needles;
    QRandomGenerator rng(1234);
    constexpr int kRows = 60000;
    store.reserveRows(kRows);
    for (int r = 0; r < kRows; ++r) {
        std::vector<std::string> row(kCols);
        row[0] = std::to_string(r);
        for (int c = 1; c < kCols; ++c)
            row[size_t(c)] = rng.bounded(4) == 0 ? std::string() : randomText(rng);
        std::vector<std::string_view> views(row.begin(), row.end());
        store.appendRow(views.data(), kCols);
        rows.push_back(std::move(row));
    }
    // Texts that occur (pieces of cells), texts that straddle two neighbouring cells (found
    // in the row's bytes, but in no cell), and texts found nowhere.
    for (int i = 0; i < 60; ++i) {
        const auto &row = rows[size_t(rng.bounded(kRows))];
        const std::string &cell = row[size_t(1 + rng.bounded(kCols - 1))];
        if (cell.size() >= 2) {
            const size_t at = size_t(rng.bounded(int(cell.size() - 1)));
            needles.push_back(cell.substr(at, 1 + size_t(rng.bounded(int(std::min<size_t>(cell.size() - at, 20))))));
        }
        const int c = 1 + rng.bounded(kCols - 2);
        if (!row[size_t(c)].empty() && !row[size_t(c + 1)].empty())
            needles.push_back(row[size_t(c)].substr(row[size_t(c)].size() - 1) + row[size_t(c + 1)].substr(0, 1));
    }
    for (const char *t : {"Z", "XQ9QX", "EA4ABCé/P", "ñÑ", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa",
                          "\x01", "“Málaga”", "buró buró buró"})
        needles.emplace_back(t);
    // As the search sees them: a piece cut inside a character becomes U+FFFD.
    for (std::string &n : needles)
        n = QString::fromStdString(n).toStdString();

    // Row by row from a random column, then over the whole table from the first searched column.
    int withMatches = 0;
    for (const std::string &needle : needles) {
        const CellMatcher matcher(QString::fromStdString(needle));
        for (int64_t r = 0; r < int64_t(rows.size()); r += 1 + int64_t(rng.bounded(5))) {
            const int from = 1 + rng.bounded(kCols - 1);
            const int expected = naiveFirstMatch(rows[size_t(r)], needle, from);
            const int got = matcher.firstMatch(store, r, from, kCols - 1);
            if (got != expected)
                QFAIL(qPrintable(QStringLiteral("row %1 from column %2, text «%3»: %4, expected %5")
                                     .arg(r).arg(from).arg(QString::fromStdString(needle)).arg(got).arg(expected)));
        }
        CellPos expected;
        for (size_t r = 1; r < rows.size() && !expected.found(); ++r) {
            const int c = naiveFirstMatch(rows[r], needle, kFirstSearchCol);
            if (c >= 0)
                expected = {int(r), c};
        }
        const CellPos got = findFirst(store, matcher);
        QCOMPARE(got.row, expected.row);
        QCOMPARE(got.col, expected.col);
        withMatches += expected.found();
    }
    // Both kinds were tried: texts found somewhere and texts found nowhere.
    QVERIFY(withMatches > 10);
    QVERIFY(withMatches < int(needles.size()));
}

QTEST_MAIN(TestScale)
#include "tst_scale.moc"
