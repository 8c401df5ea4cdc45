#include "common/CaseFold.h"
#include "common/GridModel.h"
#include "common/GridSort.h"
#include <QAbstractItemModelTester>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <cstring>

namespace {

int sign(int v) { return (v > 0) - (v < 0); }

int keyCompare(const QString &a, const QString &b)
{
    std::string ka, kb;
    casefold::appendKey(ka, a.toUtf8().toStdString());
    casefold::appendKey(kb, b.toUtf8().toStdString());
    const int c = std::memcmp(ka.data(), kb.data(), std::min(ka.size(), kb.size()));
    return c != 0 ? sign(c) : sign(int(ka.size()) - int(kb.size()));
}

GridModel *table(QObject *parent, const QList<QStringList> &rows)
{
    auto *m = new GridModel(5, 1, parent);
    const QStringList headings{QStringLiteral("Nº"), QStringLiteral("Indicativo"), QStringLiteral("Nombre"),
                               QStringLiteral("Fecha"), QStringLiteral("Hora")};
    for (int c = 0; c < headings.size(); ++c)
        m->setTextMatrix(0, c, headings[c]);
    for (const QStringList &r : rows)
        m->appendRow(QStringList{QString::number(m->Rows())} + r);
    return m;
}

QStringList column(const GridModel &m, int col)
{
    QStringList out;
    for (int r = 1; r < m.Rows(); ++r)
        out << m.TextMatrix(r, col);
    return out;
}

QStringList split(const char *text) { return QString::fromUtf8(text).split(QLatin1Char(',')); }

} // namespace

class TestGridSort : public QObject
{
    Q_OBJECT
private slots:
    void keyOrderFollowsQString_data();
    void keyOrderFollowsQString();
    void randomKeysFollowQString();
    void sortRows_data();
    void sortRows();
    void numbersAndColorsTravel();
    void persistentIndexesFollowRows();
    void cursorStaysPut();
    void sortCommandReadsTheSelection();
    void dxccGridSortsByAnyColumn();
    void largeSortIsOrdered();
};

void TestGridSort::keyOrderFollowsQString_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    auto row = [](const char *name, const QString &a, const QString &b) { QTest::newRow(name) << a << b; };
    row("case only", QStringLiteral("ea4abc"), QStringLiteral("EA4ABC"));
    row("case and letter", QStringLiteral("ea4abc"), QStringLiteral("EA4ABD"));
    row("prefix", QStringLiteral("EA4"), QStringLiteral("ea4abc"));
    row("empty", QString(), QStringLiteral("a"));
    row("digits as text", QStringLiteral("10"), QStringLiteral("9"));
    row("eñe", QStringLiteral("Ñandú"), QStringLiteral("nandu"));
    row("eñe cases", QStringLiteral("ÑANDÚ"), QStringLiteral("ñandú"));
    row("accent after z", QStringLiteral("Álava"), QStringLiteral("Zamora"));
    row("sharp s", QStringLiteral("ß"), QStringLiteral("SS"));
    row("long s", QStringLiteral("ſ"), QStringLiteral("S"));
    row("kelvin", QStringLiteral("\u212A"), QStringLiteral("k"));
    row("sigmas", QStringLiteral("Σ"), QStringLiteral("ς"));
    row("dz digraph", QStringLiteral("\u01C4"), QStringLiteral("\u01C5"));
    row("deseret", QString::fromUcs4(U"\U00010400"), QString::fromUcs4(U"\U00010428"));
    row("deseret vs bmp", QString::fromUcs4(U"\U00010400"), QStringLiteral("\uFFFD"));
    row("zero char", QString(QChar(0)) + QLatin1Char('b'), QStringLiteral("a"));
    row("zero vs end", QStringLiteral("a"), QStringLiteral("a") + QChar(0));
    row("cp1252 gap", QStringLiteral("\u0081"), QStringLiteral("\u008D"));
    row("punctuation", QStringLiteral("EA4/P"), QStringLiteral("EA4-P"));
}

// The sort is defined as QString::compare with Qt::CaseInsensitive; the folded keys must
// order every pair the same way.
void TestGridSort::keyOrderFollowsQString()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QCOMPARE(keyCompare(a, b), sign(QString::compare(a, b, Qt::CaseInsensitive)));
    QCOMPARE(keyCompare(b, a), sign(QString::compare(b, a, Qt::CaseInsensitive)));
}

void TestGridSort::randomKeysFollowQString()
{
    const QString alphabet = QStringLiteral("aAbBzZ09 -/ñÑáÁéÉüÜßſ\u212AΣσςЖж\u0130i\u0131") + QChar(0)
                             + QString::fromUcs4(U"\U00010400\U00010428\U0001E900");
    const QList<uint> points = alphabet.toUcs4();
    QRandomGenerator rng(7);
    auto randomText = [&] {
        QString s;
        for (int n = rng.bounded(5); n > 0; --n) {
            const char32_t cp = points[rng.bounded(points.size())];
            s += QString::fromUcs4(&cp, 1);
        }
        return s;
    };
    for (int i = 0; i < 50000; ++i) {
        const QString a = randomText(), b = randomText();
        if (keyCompare(a, b) != sign(QString::compare(a, b, Qt::CaseInsensitive)))
            QFAIL(qPrintable(QStringLiteral("'%1' vs '%2'").arg(a, b)));
    }
}

void TestGridSort::sortRows_data()
{
    QTest::addColumn<QStringList>("contacts"); // "call,name,date,time" for rows 1, 2, ...
    QTest::addColumn<QList<int>>("range");     // first row, last row, first key, last key
    QTest::addColumn<QStringList>("calls");    // the call signs afterwards
    QTest::newRow("one column, case ignored")
        << QStringList{QStringLiteral("EA4ABC"), QStringLiteral("ea1zz"), QStringLiteral("EC7B"),
                       QStringLiteral("EA1ZY"), QStringLiteral("eb3c")}
        << QList<int>{1, 5, 1, 1} << split("EA1ZY,ea1zz,EA4ABC,eb3c,EC7B");
    QTest::newRow("digits as text") << split("EA9,EA10,EA1,EA19") << QList<int>{1, 4, 1, 1}
                                    << split("EA1,EA10,EA19,EA9");
    // Folded letters compare by code, so accented ones come after "z" ("Toledo" before
    // "Ávila", "Álvarez" last); equal keys keep their order.
    QTest::newRow("two columns")
        << QStringList{QStringLiteral("EA1,garcía,Toledo"), QStringLiteral("EA2,Álvarez,Vigo"),
                       QStringLiteral("EA3,García,Ávila"), QStringLiteral("EA4,GARCÍA,ávila"),
                       QStringLiteral("EA5,garcia,Zamora")}
        << QList<int>{1, 5, 2, 3} << split("EA5,EA1,EA3,EA4,EA2");
    // Dates are text: "1/6" < "10/5 08:30" < "10/5 09:00"; rows 1 and 5 stay.
    QTest::newRow("rows 2 to 4")
        << QStringList{QStringLiteral("A,x,9/5/2023,10:00"), QStringLiteral("B,x,10/5/2023,09:00"),
                       QStringLiteral("C,x,1/6/2023,23:00"), QStringLiteral("D,x,10/5/2023,08:30"),
                       QStringLiteral("E,x,01/01/2000,00:00")}
        << QList<int>{2, 4, 3, 4} << split("A,C,D,B,E");
}

void TestGridSort::sortRows()
{
    QFETCH(QStringList, contacts);
    QFETCH(QList<int>, range);
    QFETCH(QStringList, calls);
    QObject owner;
    QList<QStringList> rows;
    for (const QString &c : contacts)
        rows << c.split(QLatin1Char(','));
    GridModel *m = table(&owner, rows);
    m->sortRows(range[0], range[1], range[2], range[3]);
    QCOMPARE(column(*m, 1), calls);
    // Whole rows moved: each number still sits beside its own contact.
    for (int r = 1; r < m->Rows(); ++r)
        QCOMPARE(m->TextMatrix(r, 1), rows[m->TextMatrix(r, 0).toInt() - 1][0]);
}

void TestGridSort::numbersAndColorsTravel()
{
    QObject owner;
    GridModel *m = table(&owner, {split("EA9,c"), split("EA10,b"), split("EA1,a")});
    QAbstractItemModelTester tester(m, QAbstractItemModelTester::FailureReportingMode::Fatal);
    const QColor red(128, 0, 0), white(255, 255, 255);
    m->setCellColors(1, 2, red, white); // on EA9's name
    QSignalSpy layout(m, &QAbstractItemModel::layoutChanged);
    QSignalSpy reset(m, &QAbstractItemModel::modelReset);
    m->sortRows(1, 3, 1, 1);
    QCOMPARE(column(*m, 1), split("EA1,EA10,EA9"));
    QCOMPARE(column(*m, 0), split("3,2,1"));
    QCOMPARE(m->cellBackColor(3, 2), red);
    QCOMPARE(m->cellForeColor(3, 2), white);
    QVERIFY(!m->cellBackColor(1, 2).isValid());
    QCOMPARE(layout.size(), 1);
    QCOMPARE(layout[0][1].value<QAbstractItemModel::LayoutChangeHint>(), QAbstractItemModel::VerticalSortHint);
    QVERIFY(reset.isEmpty());
}

void TestGridSort::persistentIndexesFollowRows()
{
    QObject owner;
    GridModel *m = table(&owner, {split("D,d"), split("B,b"), split("A,a"), split("C,c"), split("E,e")});
    QPersistentModelIndex onB(m->indexFor(2, 2));
    QPersistentModelIndex onD(m->indexFor(1, 1));
    QPersistentModelIndex onE(m->indexFor(5, 2));
    m->sortRows(1, 4, 1, 1);
    QCOMPARE(onB.data().toString(), QStringLiteral("b"));
    QCOMPARE(m->gridRow(onB), 2);
    QCOMPARE(onD.data().toString(), QStringLiteral("D"));
    QCOMPARE(m->gridRow(onD), 4);
    QCOMPARE(m->gridCol(onD), 1);
    QCOMPARE(m->gridRow(onE), 5); // outside the sorted rows
}

// The sort moves contents under the cursor, like the grid: Row/Col and the selection keep
// their coordinates.
void TestGridSort::cursorStaysPut()
{
    QObject owner;
    GridModel *m = table(&owner, {split("D,d"), split("B,b"), split("A,a"), split("C,c"), split("E,e")});
    m->setSelection(2, 1, 4, 2);
    m->Sort();
    QCOMPARE(column(*m, 1), split("D,A,B,C,E"));
    QCOMPARE(m->Row(), 2);
    QCOMPARE(m->Col(), 1);
    QCOMPARE(m->RowSel(), 4);
    QCOMPARE(m->ColSel(), 2);
    QCOMPARE(m->selectionModel()->selectedIndexes().size(), 6);
}

void TestGridSort::sortCommandReadsTheSelection()
{
    QObject owner;
    const QList<QStringList> rows{split("ec1a,Pepe,Zamora"), split("EA2B,Ana,Vigo"), split("ea3c,Pepe,Ávila"),
                                  split("EB4D,Ana,Lugo")};
    // One cell current: every contact, by that column.
    GridModel *m = table(&owner, rows);
    m->setCol(1);
    m->setRow(3);
    m->Sort();
    QCOMPARE(column(*m, 1), split("EA2B,ea3c,EB4D,ec1a"));

    // Two columns of one row selected: every contact, by name then the next column.
    m = table(&owner, rows);
    m->setSelection(4, 3, 4, 2);
    m->Sort();
    QCOMPARE(column(*m, 1), split("EB4D,EA2B,ec1a,ea3c"));

    // Heading row alone, and a single contact: nothing moves, nothing is announced.
    GridModel *empty = table(&owner, {});
    QSignalSpy layout(empty, &QAbstractItemModel::layoutAboutToBeChanged);
    empty->Sort();
    empty->appendRow({QStringLiteral("1"), QStringLiteral("EA1")});
    empty->Sort();
    QVERIFY(layout.isEmpty());
    QCOMPARE(empty->TextMatrix(1, 1), QStringLiteral("EA1"));
}

void TestGridSort::dxccGridSortsByAnyColumn()
{
    GridModel m(3, 0);
    QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::Fatal);
    const char *entries[][3] = {{"EA", "14", "EU"}, {"CE", "12", "sa"}, {"VK", "30", "OC"}, {"EA8", "9", "AF"}};
    m.setRows(1 + int(std::size(entries)));
    for (int i = 0; i < int(std::size(entries)); ++i)
        for (int j = 0; j < 3; ++j)
            m.setTextMatrix(i + 1, j, QString::fromUtf8(entries[i][j]));
    m.setCol(1);
    m.Sort();
    QCOMPARE(column(m, 1), split("12,14,30,9"));
    QCOMPARE(column(m, 0), split("CE,EA,VK,EA8"));
    m.setCol(2);
    m.Sort();
    QCOMPARE(column(m, 2), split("AF,EU,OC,sa"));
    m.setCol(0);
    m.Sort();
    QCOMPARE(column(m, 0), split("CE,EA,EA8,VK"));
}

// Enough rows for the radix path, with short keys that tie, long keys that share their first
// bytes, and case differences.
void TestGridSort::largeSortIsOrdered()
{
    GridStore rows(5);
    QRandomGenerator rng(99);
    const char *names[] = {"garcía", "García López", "GARCÍA LÓPEZ, Juan", "garcia lopez, juan", "Núñez",
                           "núñez de arce", "Ñ", ""};
    const char *suffixes[] = {"", "/P", "/QRP", "/mm"};
    for (int i = 0; i < 20000; ++i) {
        std::string call = (rng.bounded(2) ? "EA" : "ea") + std::to_string(rng.bounded(10)) + "A"
                           + std::to_string(rng.bounded(50));
        if (rng.bounded(5) == 0)
            call += suffixes[rng.bounded(int(std::size(suffixes)))];
        const std::string name = names[rng.bounded(int(std::size(names)))];
        const std::string num = std::to_string(i + 1);
        const std::string_view cells[] = {num, call, name, "comentario común a todas las filas", ""};
        rows.appendRow(cells, 5);
    }
    GridModel m(5, 1);
    m.appendRows(std::move(rows));

    // Checks rows are ordered on columns first..last, and that equal keys kept their order.
    auto ordered = [&m](int first, int last) {
        for (int r = 1; r + 1 < m.Rows(); ++r) {
            int c = 0;
            for (int col = first; col <= last && c == 0; ++col)
                c = QString::compare(m.TextMatrix(r, col), m.TextMatrix(r + 1, col), Qt::CaseInsensitive);
            if (c > 0 || (c == 0 && m.TextMatrix(r, 0).toInt() > m.TextMatrix(r + 1, 0).toInt())) {
                qWarning() << "rows" << r << r + 1 << m.TextMatrix(r, first) << m.TextMatrix(r + 1, first);
                return false;
            }
        }
        return true;
    };
    m.sortRows(1, m.Rows() - 1, 2, 3);
    QVERIFY(ordered(2, 3));
    m.numberRows();
    m.sortRows(1, m.Rows() - 1, 1, 1);
    QVERIFY(ordered(1, 1));
    QSet<QString> numbers;
    for (int r = 1; r < m.Rows(); ++r)
        numbers.insert(m.TextMatrix(r, 0));
    QCOMPARE(numbers.size(), 20000);
}

QTEST_APPLESS_MAIN(TestGridSort)
#include "tst_gridsort.moc"
