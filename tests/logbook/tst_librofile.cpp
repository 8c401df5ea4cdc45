// The .LBR reader and writer: exact bytes, values kept as typed, UTF-8 files, every refused file
// or value, and random tables round-tripped. Failed writes are in tst_filefaults.
#include "FileHelpers.h"
#include "common/Cp1252.h"
#include "common/GridModel.h"
#include "logbook/LibroFile.h"
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace Qt::StringLiterals;

namespace {
const QStringList kExample{u"LU1ABC"_s, u"Juan"_s, u"Rosario"_s, u"Santa Fe"_s, u"Rosario"_s, u"2000"_s, QString(),
                           u"59"_s, u"12/02/2001"_s, u"22:52:30"_s, u"7.050"_s, u"SSB"_s, u"BURO"_s, u"NO"_s, u"NO"_s,
                           QString()};

// A contact table with its headings; each row is given as columns 1 to 16, numbered 1, 2, ...
std::unique_ptr<GridModel> table(const QList<QStringList> &rows)
{
    auto libro = std::make_unique<GridModel>(17, 1);
    const QStringList headings{u"Nº"_s, u"Indicativo"_s, u"Nombre"_s, u"QTH"_s};
    for (int c = 0; c < headings.size(); ++c)
        libro->setTextMatrix(0, c, headings.at(c));
    for (const QStringList &row : rows)
        libro->appendRow(QStringList{QString::number(libro->Rows())} + row);
    return libro;
}

// Every contact row, "Nº" included, after reading the file into an empty table.
QList<QStringList> readBack(const QString &path)
{
    LibroRead read = LeerLibro(path);
    if (!read.ok)
        qWarning() << read.error;
    GridModel libro(17, 1);
    if (read.rows.rows() > 0)
        libro.appendRows(std::move(read.rows));
    NumerarFilas(libro);
    QList<QStringList> rows;
    for (int r = 1; r < libro.Rows(); ++r) {
        QStringList row;
        for (int c = 0; c < 17; ++c)
            row << libro.TextMatrix(r, c);
        rows << row;
    }
    return rows;
}
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

class TestLibroFile : public QObject
{
    Q_OBJECT
private slots:
    void exampleByteForByte() // the empty log is the first of the many small random tables
    {
        const QByteArray example = "1\r\n\"LU1ABC\"\r\n\"Juan\"\r\n\"Rosario\"\r\n\"Santa Fe\"\r\n\"Rosario\"\r\n\"2000\"\r\n"
                                   "\"\"\r\n\"59\"\r\n\"12/02/2001\"\r\n\"22:52:30\"\r\n\"7.050\"\r\n\"SSB\"\r\n\"BURO\"\r\n"
                                   "\"NO\"\r\n\"NO\"\r\n\"\"\r\n";
        QVERIFY(EscribirLibro(*table({kExample}), path(u"ejemplo.LBR"_s)).ok);
        QCOMPARE(readAll(path(u"ejemplo.LBR"_s)), example);
        QCOMPARE(readBack(path(u"ejemplo.LBR"_s)), QList<QStringList>{QStringList{u"1"_s} + kExample});

    }
    void valuesKeptAsTyped_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("line"); // reading it back gives the text between its quotes
        QTest::newRow("quotes inside") << u"Juan \"el Gaucho\" \""_s << QByteArray("\"Juan \"el Gaucho\" \"\"");
        QTest::newRow("blanks at both ends") << u"  Rosario "_s << QByteArray("\"  Rosario \"");
        QTest::newRow("accents") << u"Vía Peñón"_s << QByteArray("\"V\xED" "a Pe\xF1\xF3n\"");
        QTest::newRow("euro and typographic quotes") << u"€ “x” –"_s << QByteArray("\"\x80 \x93x\x94 \x96\"");
        QTest::newRow("undefined code points") << u"\u0081\u008D\u008F\u0090\u009D"_s << QByteArray("\"\x81\x8D\x8F\x90\x9D\"");
        QTest::newRow("only a quote") << u"\""_s << QByteArray("\"\"\"");
        // A CR LF would end the line: it becomes a lone LF, and so do CRs just before it. Lone CRs
        // and LFs stay, and the file keeps 1 + 16 lines.
        QTest::newRow("line breaks") << u"uno\ndos\r\ntres\rcuatro\r\r\ncinco\r"_s << QByteArray("\"uno\ndos\ntres\rcuatro\ncinco\r\"");
    }
    void valuesKeptAsTyped()
    {
        QFETCH(QString, value);
        QFETCH(QByteArray, line);
        QStringList row(16);
        row[1] = value;
        QVERIFY(EscribirLibro(*table({row}), path(u"valor.LBR"_s)).ok);
        QCOMPARE(readAll(path(u"valor.LBR"_s)), "1\r\n\"\"\r\n" + line + "\r\n" + QByteArray("\"\"\r\n").repeated(14));
        const QByteArray inside = line.mid(1, line.size() - 2);
        QCOMPARE(readBack(path(u"valor.LBR"_s)).value(0).value(2), cp1252::toUnicode(std::string_view(inside.constData(), size_t(inside.size()))));
    }

    // Saved by an editor as UTF-8 with the mark (and blanks around the count): read as UTF-8,
    // saved back as a log book.
    void utf8WithByteOrderMark()
    {
        const QByteArray rest = QByteArray("\"\"\r\n").repeated(14);
        QVERIFY(writeFile(path(u"utf8.LBR"_s),
                          "\xEF\xBB\xBF" " 1\t \r\n\"EA4\xC3\x91\"\r\n\"Pe\xC3\xB1\xC3\xB3n \xE2\x82\xAC\"\r\n" + rest));
        const QList<QStringList> rows = readBack(path(u"utf8.LBR"_s));
        QCOMPARE(rows.value(0).mid(1, 2), (QStringList{u"EA4Ñ"_s, u"Peñón €"_s}));
        QVERIFY(EscribirLibro(*table({rows.value(0).mid(1)}), path(u"copia.LBR"_s)).ok);
        QCOMPARE(readAll(path(u"copia.LBR"_s)), "1\r\n\"EA4\xD1\"\r\n\"Pe\xF1\xF3n \x80\"\r\n" + rest);
    }
    void malformedFilesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qint64>("line");
        QTest::addColumn<QString>("what");
        const QByteArray record = QByteArray("\"v\"\r\n").repeated(16);
        QTest::newRow("empty file") << QByteArray() << qint64(1) << u"vacío"_s;
        QTest::newRow("count with a fraction") << ("1.5\r\n" + record) << qint64(1) << u"número de contactos"_s;
        QTest::newRow("byte-order mark, then not UTF-8") << ("\xEF\xBB\xBF" "1\r\n\"\xF1\"\r\n" + record.mid(5)) << qint64(1) << u"«ï»¿1»"_s;
        QTest::newRow("negative count") << ("-2\r\n" + record) << qint64(1) << u"negativo"_s;
        QTest::newRow("count beyond the file") << ("3\r\n" + record) << qint64(1) << u"más de los que caben"_s;
        QTest::newRow("count beyond any number") << ("99999999999999999999999\r\n" + record) << qint64(1) << u"más de los que caben"_s;
        QTest::newRow("fewer lines than announced") << ("2\r\n" + record + record.left(10 * 5)) << qint64(28) << u"termina en la línea"_s;
        QTest::newRow("value of one character") << ("1\r\n" + record.left(3 * 5) + "\"\r\n" + record.left(12 * 5)) << qint64(5) << u"menos de dos caracteres"_s;
        QTest::newRow("empty last value line") << ("1\r\n" + record.left(15 * 5) + "\r\n") << qint64(17) << u"menos de dos caracteres"_s;
        QTest::newRow("NUL byte") << ("1\r\n" + record.left(5 * 5) + QByteArray("\"a\0b\"\r\n", 7) + record.left(10 * 5)) << qint64(7) << u"byte nulo"_s;
    }
    void malformedFilesAreRefused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, line);
        QFETCH(QString, what);
        const QString file = path(u"roto.LBR"_s);
        QVERIFY(writeFile(file, bytes));
        const LibroRead read = LeerLibro(file, u"roto %1 %2.LBR"_s);
        QVERIFY(!read.ok);
        QCOMPARE(read.line, line);
        QCOMPARE(read.rows.rows(), 0);
        QVERIFY2(read.error.contains(u"«roto %1 %2.LBR»"_s) && read.error.contains(what)
                     && (line == 1 || read.error.contains(u"Línea %1"_s.arg(line))), qPrintable(read.error));
    }
    void unencodableTextIsRefused_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("contacts"); // that hold it, after one that does not
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("cyrillic") << u"Иван"_s << 1 << QStringList{u"fila 2 (LU1ABC), columna «Nombre», contiene el carácter «И»"_s};
        QTest::newRow("emoji after accents") << u"José 📻"_s << 1 << QStringList{u"«📻»"_s};
        QTest::newRow("C1 control") << u"ñ\u0080"_s << 1 << QStringList{u"U+0080"_s};
        QTest::newRow("NUL after a euro sign") << u"€\u0000b"_s << 1 << QStringList{u"U+0000"_s};
        QTest::newRow("in twelve contacts: the first ten named")
            << u"\uFFFD"_s << 12
            << QStringList{u"12 celdas"_s, u"(fila 2 (LU1ABC), columna «Nombre»: «\uFFFD»; fila 3"_s,
                           u"fila 11 (LU1ABC), columna «Nombre»: «\uFFFD»; y 2 más)"_s};
    }
    void unencodableTextIsRefused()
    {
        QFETCH(QString, value);
        QFETCH(int, contacts);
        QFETCH(QStringList, shown);
        const QString file = path(u"previo.LBR"_s);
        QVERIFY(writeFile(file, "0\r\n"));
        QStringList second = kExample;
        second[1] = value;
        const LibroWrite written =
            EscribirLibro(*table(QList<QStringList>{kExample} + QList<QStringList>(contacts, second)), file, u"previo.LBR"_s);
        QVERIFY(!written.ok);
        for (const QString &part : shown + QStringList{u"«previo.LBR»"_s})
            QVERIFY2(written.error.contains(part), qPrintable(written.error));
        QCOMPARE(readAll(file), QByteArray("0\r\n"));
    }

    // Random tables: any text Windows-1252 can hold comes back as it was (a CR LF inside a value
    // as a lone LF), the file has exactly 1 + 16 N lines, each ended by CR LF, and a table read
    // back is written again byte for byte the same.
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
        for (int t = 0; t < tables; ++t) {
            // The first small table is empty: "0" and nothing else.
            const int rows = tables == 1 ? maxRows : int(random.bounded(maxRows + 1)) * (t > 0);
            QList<QStringList> typed, expected;
            for (int r = 1; r <= rows; ++r) {
                typed << QStringList();
                expected << QStringList{QString::number(r)};
                for (int c = 1; c < kLibroCols; ++c) {
                    typed.last() << randomCell(random, longCellsPerMille);
                    expected.last() << stored(typed.last().last());
                }
            }
            QVERIFY(EscribirLibro(*table(typed), path(u"azar.LBR"_s)).ok);
            const QByteArray bytes = readAll(path(u"azar.LBR"_s));
            QCOMPARE(bytes.count("\r\n"), qsizetype(1 + 16 * rows));
            QVERIFY2(bytes.endsWith("\r\n"), "the last line is not ended by CR LF");
            QVERIFY(bytes.startsWith(QByteArray::number(rows) + "\r\n"));
            QList<QStringList> back = readBack(path(u"azar.LBR"_s));
            QVERIFY2(back == expected, qPrintable(u"table %1 reads back otherwise"_s.arg(t)));
            for (QStringList &row : back) // what was read is saved as the same bytes
                row.removeFirst();
            QVERIFY(EscribirLibro(*table(back), path(u"otra vez.LBR"_s)).ok);
            QVERIFY2(readAll(path(u"otra vez.LBR"_s)) == bytes, "the table read back is saved differently");
        }
    }

private:
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }
};

QTEST_GUILESS_MAIN(TestLibroFile)
#include "tst_librofile.moc"
