// The grid's sort: keys that order as QString::compare with Qt::CaseInsensitive, whole rows
// moved with their numbers and colours, the views told once, and the cursor left in place.
#include "GridTables.h"
#include "ModelSignals.h"
#include "common/CaseFold.h"
#include "common/GridSort.h"
#include <QAbstractItemModelTester>
#include <QRandomGenerator>
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

// A contact table from "call,name,date,time" texts, numbered 1, 2, ...
GridModel *table(QObject *parent, const QStringList &contacts)
{
    auto *m = new GridModel(5, 1, parent);
    const QStringList headings = split("Nº,Indicativo,Nombre,Fecha,Hora");
    for (int c = 0; c < headings.size(); ++c)
        m->setTextMatrix(0, c, headings[c]);
    for (const QString &r : contacts)
        m->appendRow(QStringList{QString::number(m->Rows())} + r.split(u','));
    return m;
}

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
    void cursorStaysPutIndexesFollow();
    void sortCommandReadsTheSelection();
    void largeSortIsOrdered();
};

void TestGridSort::keyOrderFollowsQString_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::newRow("eñe") << u"Ñandú"_s << u"nandu"_s;
    QTest::newRow("eñe cases") << u"ÑANDÚ"_s << u"ñandú"_s;
    QTest::newRow("accent after z") << u"Álava"_s << u"Zamora"_s;
    QTest::newRow("sharp s") << u"ß"_s << u"SS"_s;
    QTest::newRow("long s") << u"ſ"_s << u"S"_s;
    QTest::newRow("kelvin") << u"\u212A"_s << u"k"_s;
    QTest::newRow("sigmas") << u"Σ"_s << u"ς"_s;
    QTest::newRow("dz digraph") << u"\u01C4"_s << u"\u01C5"_s;
    QTest::newRow("deseret") << QString::fromUcs4(U"\U00010400") << QString::fromUcs4(U"\U00010428");
    QTest::newRow("deseret vs bmp") << QString::fromUcs4(U"\U00010400") << u"\uFFFD"_s;
    QTest::newRow("zero char") << QString(QChar(0)) + u'b' << u"a"_s;
    QTest::newRow("zero vs end") << u"a"_s << u"a"_s + QChar(0);
    QTest::newRow("cp1252 gap") << u"\u0081"_s << u"\u008D"_s;
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
    const QString alphabet = u"aAbBzZ09 -/ñÑáÁéÉüÜßſ\u212AΣσςЖж\u0130i\u0131"_s + QChar(0)
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
            QFAIL(qPrintable(u"'%1' vs '%2'"_s.arg(a, b)));
    }
}

void TestGridSort::sortRows_data()
{
    QTest::addColumn<QStringList>("contacts"); // "call,name,date,time" for rows 1, 2, ...
    QTest::addColumn<QList<int>>("range");     // first row, last row, first key, last key
    QTest::addColumn<QStringList>("calls");    // the call signs afterwards
    QTest::newRow("one column, case ignored") << split("EA4ABC,ea1zz,EC7B,EA1ZY,eb3c") << QList<int>{1, 5, 1, 1}
                                              << split("EA1ZY,ea1zz,EA4ABC,eb3c,EC7B");
    QTest::newRow("digits as text") << split("EA9,EA10,EA1,EA19") << QList<int>{1, 4, 1, 1}
                                    << split("EA1,EA10,EA19,EA9");
    // Folded letters compare by code, so accented ones come after "z" ("Toledo" before
    // "Ávila", "Álvarez" last); equal keys keep their order.
    QTest::newRow("two columns") << QStringList{u"EA1,garcía,Toledo"_s, u"EA2,Álvarez,Vigo"_s, u"EA3,García,Ávila"_s,
                                                u"EA4,GARCÍA,ávila"_s, u"EA5,garcia,Zamora"_s}
                                 << QList<int>{1, 5, 2, 3} << split("EA5,EA1,EA3,EA4,EA2");
    // Dates are text: "1/6" < "10/5 08:30" < "10/5 09:00"; rows 1 and 5 stay.
    QTest::newRow("rows 2 to 4") << QStringList{u"A,x,9/5/2023,10:00"_s, u"B,x,10/5/2023,09:00"_s,
                                                u"C,x,1/6/2023,23:00"_s, u"D,x,10/5/2023,08:30"_s,
                                                u"E,x,01/01/2000,00:00"_s}
                                 << QList<int>{2, 4, 3, 4} << split("A,C,D,B,E");
}

void TestGridSort::sortRows()
{
    QFETCH(QStringList, contacts);
    QFETCH(QList<int>, range);
    QFETCH(QStringList, calls);
    QObject owner;
    GridModel *m = table(&owner, contacts);
    QAbstractItemModelTester tester(m, QAbstractItemModelTester::FailureReportingMode::Fatal);
    const QColor red(128, 0, 0), white(255, 255, 255);
    m->setCellColors(2, 2, red, white);
    ModelSignals signals_(m);
    m->sortRows(range[0], range[1], range[2], range[3]);
    QCOMPARE(column(*m, 1), calls);
    QCOMPARE(signals_.log, split("layoutAboutToBeChanged vertical,layoutChanged vertical"));
    // Whole rows moved: each number and colour still sits beside its own contact.
    for (int r = 1; r < m->Rows(); ++r) {
        QCOMPARE(contacts[m->TextMatrix(r, 0).toInt() - 1].section(u',', 0, 0), m->TextMatrix(r, 1));
        QCOMPARE(m->cellBackColor(r, 2), m->TextMatrix(r, 0) == u"2" ? red : QColor());
        QCOMPARE(m->cellForeColor(r, 2), m->TextMatrix(r, 0) == u"2" ? white : QColor());
    }
}

// The sort moves contents under the cursor, like the grid: Row/Col and the selection keep
// their coordinates, while indexes the views hold on to follow their rows.
void TestGridSort::cursorStaysPutIndexesFollow()
{
    QObject owner;
    GridModel *m = table(&owner, split("D,B,A,C,E"));
    QPersistentModelIndex onB(m->indexFor(2, 1));
    QPersistentModelIndex onA(m->indexFor(3, 2));
    QPersistentModelIndex onE(m->indexFor(5, 1));
    apply(*m, "select 2 1 4 2; Sort");
    QCOMPARE(column(*m, 1), split("D,A,B,C,E"));
    QCOMPARE(corners(*m), (QList<int>{2, 1, 4, 2}));
    QCOMPARE(m->selectionModel()->selectedIndexes().size(), 6);
    QCOMPARE(onB.data().toString(), u"B"_s);
    QCOMPARE(m->gridRow(onB), 3);
    QCOMPARE(m->gridRow(onA), 2);
    QCOMPARE(m->gridCol(onA), 2);
    QCOMPARE(m->gridRow(onE), 5); // outside the sorted rows
}

// Sort() reads its rows and key columns from the selection.
void TestGridSort::sortCommandReadsTheSelection()
{
    QObject owner;
    const QStringList rows{u"ec1a,Pepe,Zamora"_s, u"EA2B,Ana,Vigo"_s, u"ea3c,Pepe,Ávila"_s, u"EB4D,Ana,Lugo"_s};
    // One cell current: every contact, by that column.
    GridModel *m = table(&owner, rows);
    apply(*m, "col 1; row 3; Sort");
    QCOMPARE(column(*m, 1), split("EA2B,ea3c,EB4D,ec1a"));
    // Two columns of one row selected: every contact, by name then the next column.
    m = table(&owner, rows);
    apply(*m, "select 4 3 4 2; Sort");
    QCOMPARE(column(*m, 1), split("EB4D,EA2B,ec1a,ea3c"));
    // Heading row alone, and a single contact: nothing moves, nothing is announced.
    m = table(&owner, {});
    ModelSignals signals_(m);
    apply(*m, "Sort; append 1 EA1; Sort");
    QCOMPARE(signals_.log, split("rowsInserted 0-0"));

    // The DXCC list sorts by whichever column is current, its first one included.
    GridModel dxcc(3, 0);
    QAbstractItemModelTester tester(&dxcc, QAbstractItemModelTester::FailureReportingMode::Fatal);
    for (const char *entry : {"EA,14,EU", "CE,12,sa", "VK,30,OC", "EA8,9,AF"})
        dxcc.appendRow(split(entry));
    apply(dxcc, "col 1; Sort");
    QCOMPARE(column(dxcc, 1), split("12,14,30,9"));
    QCOMPARE(column(dxcc, 0), split("CE,EA,VK,EA8"));
    apply(dxcc, "col 2; Sort");
    QCOMPARE(column(dxcc, 2), split("AF,EU,OC,sa"));
    apply(dxcc, "col 0; Sort");
    QCOMPARE(column(dxcc, 0), split("CE,EA,EA8,VK"));
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
        const std::string num = std::to_string(i + 1);
        const std::string_view cells[] = {num, call, names[rng.bounded(int(std::size(names)))],
                                          "comentario común a todas las filas", ""};
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

QTEST_APPLESS_MAIN(TestGridSort)
#include "tst_gridsort.moc"
