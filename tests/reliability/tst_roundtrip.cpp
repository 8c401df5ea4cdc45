// Random tables through the log book file: any text Windows-1252 can hold comes back as it was
// (a CR LF inside a value as a lone LF), the file always has exactly 1 + 16 N lines, each
// ended by CR LF, and a table read back is written again byte for byte the same.
#include "FileHelpers.h"
#include "common/Cp1252.h"
#include "common/GridModel.h"
#include "logbook/LibroFile.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Any characters of the code page but NUL, which no log holds.
QString randomText(QRandomGenerator &random, int length)
{
    std::string bytes(size_t(length), '\0');
    for (char &b : bytes)
        b = char(1 + random.bounded(255));
    return cp1252::toUnicode(bytes);
}

// A cell of one of the shapes that can break a line-based file.
QString randomCell(QRandomGenerator &random, int longCellsPerMille)
{
    static const QStringList pieces{u"\""_s, u"\"\""_s, u" "_s, u"\t"_s, u"\r\n"_s, u"\r"_s, u"\n"_s, u"ñ"_s,
                                    u"Vía"_s, u"€"_s, u"LU1ABC"_s, u"7.050"_s, u"\u0081"_s, u"\u009D"_s, u"ÿ"_s};
    if (int(random.bounded(1000)) < longCellsPerMille)
        return randomText(random, 100 * 1024 + int(random.bounded(64)));
    QString pieced;
    for (int n = 1 + int(random.bounded(5)); n > 0; --n)
        pieced += pieces.at(random.bounded(int(pieces.size())));
    switch (random.bounded(6)) {
    case 0: return QString();
    case 1: return randomText(random, int(random.bounded(12)));
    case 2: return u"  "_s + randomText(random, 1 + int(random.bounded(8))) + u" \t "_s; // blanks at both ends
    case 3: return pieced;
    case 4: return u"\""_s + randomText(random, int(random.bounded(4))) + u"\""_s; // quotes where the enclosing ones stand
    default: return randomText(random, 20 + int(random.bounded(60)));
    }
}

// What the file keeps of a value: CRs followed by an LF as that LF, other CRs and LFs as they are.
QString stored(QString value)
{
    static const QRegularExpression crsBeforeLf(u"\r+\n"_s);
    return value.replace(crsBeforeLf, u"\n"_s);
}

} // namespace

class TestRoundTrip : public QObject
{
    Q_OBJECT
private slots:
    void randomTables_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<int>("tables");
        QTest::addColumn<int>("maxRows");
        QTest::addColumn<int>("longCellsPerMille");
        QTest::newRow("many small tables") << 1u << 300 << 12 << 0;
        QTest::newRow("tens of thousands of rows") << 2u << 1 << 40000 << 0;
        QTest::newRow("100 KB cells") << 3u << 4 << 60 << 20;
        QTest::newRow("thousands of rows, some long cells") << 4u << 1 << 6000 << 1;
    }
    void randomTables()
    {
        QFETCH(quint32, seed);
        QFETCH(int, tables);
        QFETCH(int, maxRows);
        QFETCH(int, longCellsPerMille);
        QRandomGenerator random(seed);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(u"azar.LBR"_s);
        const QString again = dir.filePath(u"otra vez.LBR"_s);

        for (int t = 0; t < tables; ++t) {
            // The first small table is empty: "0" and nothing else.
            const int rows = tables == 1 ? maxRows : int(random.bounded(maxRows + 1)) * (t > 0);
            GridModel libro(kLibroCols, 1);
            QList<QStringList> expected;
            for (int r = 1; r <= rows; ++r) {
                QStringList cells{QString::number(r)};
                for (int c = 1; c < kLibroCols; ++c)
                    cells << randomCell(random, longCellsPerMille);
                libro.appendRow(cells);
                for (int c = 1; c < kLibroCols; ++c)
                    cells[c] = stored(cells[c]);
                expected << cells;
            }

            const LibroWrite written = EscribirLibro(libro, path);
            QVERIFY2(written.ok, qPrintable(written.error));
            const QByteArray bytes = readAll(path);
            QCOMPARE(bytes.count("\r\n"), qsizetype(1 + 16 * rows));
            QVERIFY2(bytes.endsWith("\r\n"), "the last line is not ended by CR LF");
            QVERIFY(bytes.startsWith(QByteArray::number(rows) + "\r\n"));

            LibroRead read = LeerLibro(path);
            QVERIFY2(read.ok, qPrintable(read.error));
            QCOMPARE(qint64(read.rows.rows()), qint64(rows));
            GridModel back(kLibroCols, 1);
            if (rows > 0)
                back.appendRows(std::move(read.rows));
            NumerarFilas(back);
            for (int r = 1; r <= rows; ++r) {
                for (int c = 0; c < kLibroCols; ++c) {
                    if (back.TextMatrix(r, c) != expected.at(r - 1).at(c))
                        QFAIL(qPrintable(u"table %1, row %2, column %3 reads back otherwise"_s.arg(t).arg(r).arg(c)));
                }
            }

            // What was read is saved as the same bytes.
            QVERIFY(EscribirLibro(back, again).ok);
            QVERIFY2(readAll(again) == bytes, "the table read back is saved differently");
        }
    }
};

QTEST_GUILESS_MAIN(TestRoundTrip)
#include "tst_roundtrip.moc"
