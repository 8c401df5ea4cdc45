// Search on a big table against the plainest possible search (each cell on its own with
// std::string_view::find): the whole-row scan that rules rows out, and the word-at-a-time
// matcher under it, must never miss a cell nor report one that does not hold the text.
#include "common/GridStore.h"
#include "edit/Search.h"
#include <QRandomGenerator>
#include <QTest>
#include <string>
#include <vector>

namespace {

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

class TestSearchScale : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void firstMatchAgreesWithPlainSearch();
    void findFirstAgreesOverTheWholeTable();

private:
    std::vector<std::vector<std::string>> m_rows;
    GridStore m_store{kCols};
    std::vector<std::string> m_needles;
};

void TestSearchScale::initTestCase()
{
    QRandomGenerator rng(1234);
    constexpr int kRows = 60000;
    m_store.reserveRows(kRows);
    for (int r = 0; r < kRows; ++r) {
        std::vector<std::string> row(kCols);
        row[0] = std::to_string(r);
        for (int c = 1; c < kCols; ++c)
            row[size_t(c)] = rng.bounded(4) == 0 ? std::string() : randomText(rng);
        std::vector<std::string_view> views(row.begin(), row.end());
        m_store.appendRow(views.data(), kCols);
        m_rows.push_back(std::move(row));
    }
    // Texts that occur (pieces of cells), texts that straddle two neighbouring cells (found
    // in the row's bytes, but in no cell), and texts found nowhere.
    for (int i = 0; i < 60; ++i) {
        const auto &row = m_rows[size_t(rng.bounded(kRows))];
        const std::string &cell = row[size_t(1 + rng.bounded(kCols - 1))];
        if (cell.size() >= 2) {
            const size_t at = size_t(rng.bounded(int(cell.size() - 1)));
            m_needles.push_back(cell.substr(at, 1 + size_t(rng.bounded(int(std::min<size_t>(cell.size() - at, 20))))));
        }
        const int c = 1 + rng.bounded(kCols - 2);
        if (!row[size_t(c)].empty() && !row[size_t(c + 1)].empty())
            m_needles.push_back(row[size_t(c)].substr(row[size_t(c)].size() - 1) + row[size_t(c + 1)].substr(0, 1));
    }
    for (const char *t : {"Z", "XQ9QX", "EA4ABCé/P", "ñÑ", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa",
                          "\x01", "“Málaga”", "buró buró buró"})
        m_needles.emplace_back(t);
    // As the search sees them: a piece cut inside a character becomes U+FFFD.
    for (std::string &n : m_needles)
        n = QString::fromStdString(n).toStdString();
}

void TestSearchScale::firstMatchAgreesWithPlainSearch()
{
    QRandomGenerator rng(99);
    for (const std::string &needle : m_needles) {
        const CellMatcher matcher(QString::fromStdString(needle));
        for (int64_t r = 0; r < int64_t(m_rows.size()); r += 1 + int64_t(rng.bounded(5))) {
            const int from = 1 + rng.bounded(kCols - 1);
            const int expected = naiveFirstMatch(m_rows[size_t(r)], needle, from);
            const int got = matcher.firstMatch(m_store, r, from, kCols - 1);
            if (got != expected)
                QFAIL(qPrintable(QStringLiteral("row %1 from column %2, text «%3»: %4, expected %5")
                                     .arg(r).arg(from).arg(QString::fromStdString(needle)).arg(got).arg(expected)));
        }
    }
}

void TestSearchScale::findFirstAgreesOverTheWholeTable()
{
    int withMatches = 0;
    for (const std::string &needle : m_needles) {
        const CellMatcher matcher(QString::fromStdString(needle));
        CellPos expected;
        for (size_t r = 1; r < m_rows.size() && !expected.found(); ++r) {
            const int c = naiveFirstMatch(m_rows[r], needle, kFirstSearchCol);
            if (c >= 0)
                expected = {int(r), c};
        }
        const CellPos got = findFirst(m_store, matcher);
        QCOMPARE(got.row, expected.row);
        QCOMPARE(got.col, expected.col);
        withMatches += expected.found();
    }
    // Both kinds were tried: texts found somewhere and texts found nowhere.
    QVERIFY(withMatches > 10);
    QVERIFY(withMatches < int(m_needles.size()));
}

QTEST_APPLESS_MAIN(TestSearchScale)
#include "tst_searchscale.moc"
