// The .LBR reader and writer: exact bytes, values kept as typed, line breaks, every byte
// round-tripping, renumbering, random tables, and every refused or failed file.
#include "FileHelpers.h"
#include "common/GridModel.h"
#include "logbook/LibroFile.h"
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
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

// A record with one value changed, the others empty.
QStringList withValue(int col, const QString &value)
{
    QStringList row(16);
    row[col - 1] = value;
    return row;
}

QList<QStringList> cellsOf(const GridModel &libro)
{
    QList<QStringList> rows;
    for (int r = 1; r < libro.Rows(); ++r) {
        QStringList row;
        for (int c = 0; c < 17; ++c)
            row << libro.TextMatrix(r, c);
        rows << row;
    }
    return rows;
}

QList<QStringList> readBack(const QString &path)
{
    LibroRead read = LeerLibro(path);
    if (!read.ok)
        qWarning() << read.error;
    GridModel libro(17, 1);
    if (read.rows.rows() > 0)
        libro.appendRows(std::move(read.rows));
    NumerarFilas(libro);
    return cellsOf(libro);
}
} // namespace

class TestLibroFile : public QObject
{
    Q_OBJECT
private slots:
    void exampleAndEmptyLogByteForByte();
    void valuesKeptAsTyped_data();
    void valuesKeptAsTyped();
    void everyByteRoundTrips();
    void lineBreaksInsideValues();
    void utf8WithByteOrderMark();
    void saveReplacesLongerFileAndIgnoresTrailingLines();
    void readingRenumbersTheWholeTable();
    void randomTablesRoundTrip();
    void malformedFilesAreRefused_data();
    void malformedFilesAreRefused();
    void writeFailuresKeepThePreviousFile_data();
    void writeFailuresKeepThePreviousFile();
    void readOnlyFileIsNotReplaced();
    void unencodableTextIsRefused_data();
    void unencodableTextIsRefused();

private:
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }
};

void TestLibroFile::exampleAndEmptyLogByteForByte()
{
    const QByteArray example = "1\r\n\"LU1ABC\"\r\n\"Juan\"\r\n\"Rosario\"\r\n\"Santa Fe\"\r\n\"Rosario\"\r\n\"2000\"\r\n"
                               "\"\"\r\n\"59\"\r\n\"12/02/2001\"\r\n\"22:52:30\"\r\n\"7.050\"\r\n\"SSB\"\r\n\"BURO\"\r\n"
                               "\"NO\"\r\n\"NO\"\r\n\"\"\r\n";
    QCOMPARE(example.size(), 139);
    auto libro = table({kExample});
    QVERIFY(EscribirLibro(*libro, path(u"ejemplo.LBR"_s)).ok);
    QCOMPARE(readAll(path(u"ejemplo.LBR"_s)), example);
    QCOMPARE(readBack(path(u"ejemplo.LBR"_s)), QList<QStringList>{QStringList{u"1"_s} + kExample});

    auto empty = table({});
    QVERIFY(EscribirLibro(*empty, path(u"vacio.LBR"_s)).ok);
    QCOMPARE(readAll(path(u"vacio.LBR"_s)), QByteArray("0\r\n"));
    LibroRead read = LeerLibro(path(u"vacio.LBR"_s));
    QVERIFY(read.ok);
    QCOMPARE(read.rows.rows(), 0);
}

void TestLibroFile::valuesKeptAsTyped_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("quotes inside") << u"Juan \"el Gaucho\" \""_s << QByteArray("\"Juan \"el Gaucho\" \"\"");
    QTest::newRow("blanks at both ends") << u"  Rosario "_s << QByteArray("\"  Rosario \"");
    QTest::newRow("accents") << u"Vía Peñón"_s << QByteArray("\"V\xED" "a Pe\xF1\xF3n\"");
    QTest::newRow("euro and typographic quotes") << u"€ “x” –"_s << QByteArray("\"\x80 \x93x\x94 \x96\"");
    QTest::newRow("undefined code points") << u"\u0081\u008D\u008F\u0090\u009D"_s << QByteArray("\"\x81\x8D\x8F\x90\x9D\"");
    QTest::newRow("only a quote") << u"\""_s << QByteArray("\"\"\"");
}

void TestLibroFile::valuesKeptAsTyped()
{
    QFETCH(QString, value);
    QFETCH(QByteArray, line);
    auto libro = table({withValue(2, value)});
    QVERIFY(EscribirLibro(*libro, path(u"valor.LBR"_s)).ok);
    const QList<QByteArray> lines = readAll(path(u"valor.LBR"_s)).split('\n');
    QCOMPARE(lines.size(), 18); // 17 lines and the empty piece after the last line end
    QCOMPARE(lines.at(2), line + '\r');
    QCOMPARE(readBack(path(u"valor.LBR"_s)).value(0).value(2), value);
}

void TestLibroFile::everyByteRoundTrips()
{
    // One value holding every byte but NUL and CR (a lone LF belongs to the value).
    QByteArray all;
    for (int b = 1; b < 256; ++b) {
        if (b != '\r')
            all.append(char(b));
    }
    QByteArray file = "2\r\n";
    for (int i = 0; i < 32; ++i)
        file += '"' + (i == 5 || i == 31 ? all : QByteArray::number(i)) + "\"\r\n";
    QVERIFY(writeFile(path(u"bytes.LBR"_s), file));

    LibroRead read = LeerLibro(path(u"bytes.LBR"_s));
    QVERIFY2(read.ok, qPrintable(read.error));
    GridModel libro(17, 1);
    libro.appendRows(std::move(read.rows));
    QVERIFY(EscribirLibro(libro, path(u"copia.LBR"_s)).ok);
    QCOMPARE(readAll(path(u"copia.LBR"_s)), file);
}

void TestLibroFile::lineBreaksInsideValues()
{
    // A CR LF would end the line: it becomes a lone LF. Lone CRs and LFs stay, and the file
    // keeps 1 + 16 lines.
    auto libro = table({withValue(16, u"uno\ndos\r\ntres\rcuatro\r"_s)});
    QVERIFY(EscribirLibro(*libro, path(u"saltos.LBR"_s)).ok);
    const QByteArray bytes = readAll(path(u"saltos.LBR"_s));
    QVERIFY(bytes.endsWith("\"uno\ndos\ntres\rcuatro\r\"\r\n"));
    QCOMPARE(bytes.count("\r\n"), 17);
    QCOMPARE(readBack(path(u"saltos.LBR"_s)).value(0).value(16), u"uno\ndos\ntres\rcuatro\r"_s);

    // A file that holds no CR at all was written with LF line ends.
    QByteArray lfOnly = "1\n";
    for (int i = 0; i < 16; ++i)
        lfOnly += "\"v" + QByteArray::number(i + 1) + "\"\n";
    QVERIFY(writeFile(path(u"lfOnly.LBR"_s), lfOnly));
    const QList<QStringList> rows = readBack(path(u"lfOnly.LBR"_s));
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.at(0).at(1), u"v1"_s);
    QCOMPARE(rows.at(0).at(16), u"v16"_s);
}

// Saved by an editor as UTF-8 with the mark: read as UTF-8, saved back as a log book.
void TestLibroFile::utf8WithByteOrderMark()
{
    QByteArray file = "\xEF\xBB\xBF" "1\r\n\"EA4\xC3\x91\"\r\n\"Pe\xC3\xB1\xC3\xB3n \xE2\x82\xAC\"\r\n";
    QByteArray saved = "1\r\n\"EA4\xD1\"\r\n\"Pe\xF1\xF3n \x80\"\r\n";
    for (int i = 3; i <= 16; ++i) {
        file += "\"\"\r\n";
        saved += "\"\"\r\n";
    }
    QVERIFY(writeFile(path(u"utf8.LBR"_s), file));
    const QList<QStringList> rows = readBack(path(u"utf8.LBR"_s));
    QCOMPARE(rows.value(0).mid(1, 2), (QStringList{u"EA4Ñ"_s, u"Peñón €"_s}));
    auto libro = table({rows.value(0).mid(1)});
    QVERIFY(EscribirLibro(*libro, path(u"copia.LBR"_s)).ok);
    QCOMPARE(readAll(path(u"copia.LBR"_s)), saved);
}

void TestLibroFile::saveReplacesLongerFileAndIgnoresTrailingLines()
{
    const QString file = path(u"largo.LBR"_s);
    QVERIFY(writeFile(file, QByteArray(100000, 'x')));
    auto libro = table({kExample});
    QVERIFY(EscribirLibro(*libro, file).ok);
    QCOMPARE(readAll(file).size(), 139);

    // Whatever follows the announced contacts is never read.
    QVERIFY(writeFile(file, readAll(file) + "\"sobra\"\r\nbasura sin comillas\r\n\x01\r\n"));
    const QList<QStringList> rows = readBack(file);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.at(0).mid(1), kExample);
}

void TestLibroFile::readingRenumbersTheWholeTable()
{
    auto scrambled = table({withValue(1, u"A"_s), withValue(1, u"B"_s), withValue(1, u"C"_s)});
    scrambled->setTextMatrix(1, 0, u"5"_s);
    scrambled->setTextMatrix(2, 0, u"9"_s);
    scrambled->setTextMatrix(3, 0, u"12"_s);
    QVERIFY(EscribirLibro(*scrambled, path(u"tres.LBR"_s)).ok);
    QVERIFY(!readAll(path(u"tres.LBR"_s)).contains("\"12\""));

    // Read below rows that already carry gaps: old and new rows are numbered 1 to 5.
    auto libro = table({withValue(1, u"X"_s), withValue(1, u"Y"_s)});
    libro->setTextMatrix(2, 0, u"40"_s);
    LibroRead read = LeerLibro(path(u"tres.LBR"_s));
    QVERIFY(read.ok);
    libro->appendRows(std::move(read.rows));
    NumerarFilas(*libro);
    QStringList numbers, calls;
    for (int r = 1; r < libro->Rows(); ++r) {
        numbers << libro->TextMatrix(r, 0);
        calls << libro->TextMatrix(r, 1);
    }
    QCOMPARE(numbers, (QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s}));
    QCOMPARE(calls, (QStringList{u"X"_s, u"Y"_s, u"A"_s, u"B"_s, u"C"_s}));
}

void TestLibroFile::randomTablesRoundTrip()
{
    QRandomGenerator random(20010212);
    const QStringList pieces{u"\""_s, u" "_s, u"á"_s, u"Ñ"_s, u"€"_s, u"\n"_s, u"\u0090"_s, u"LU"_s,
                             u"Juan"_s, u"7.050"_s, u"x"_s, u"ü"_s, u"¿"_s, u"\t"_s};
    const int contacts = 12000; // well past one read chunk
    GridModel libro(17, 1);
    QList<QStringList> expected;
    for (int r = 1; r <= contacts; ++r) {
        QStringList row{QString::number(r)};
        for (int c = 1; c < 17; ++c) {
            QString cell;
            for (int n = random.bounded(6); n > 0; --n)
                cell += pieces.at(random.bounded(pieces.size()));
            row << cell;
        }
        libro.appendRow(row);
        expected << row;
    }
    QVERIFY(EscribirLibro(libro, path(u"azar.LBR"_s)).ok);
    const QByteArray bytes = readAll(path(u"azar.LBR"_s));
    QCOMPARE(bytes.count("\r\n"), 1 + 16 * contacts);
    QCOMPARE(bytes.count('\r'), 1 + 16 * contacts);
    QVERIFY(readBack(path(u"azar.LBR"_s)) == expected);
}

void TestLibroFile::malformedFilesAreRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("line");
    QTest::addColumn<QString>("what");
    QByteArray record;
    for (int i = 0; i < 16; ++i)
        record += "\"v\"\r\n";
    QTest::newRow("empty file") << QByteArray() << qint64(1) << u"vacío"_s;
    QTest::newRow("count is a word") << ("uno\r\n" + record) << qint64(1) << u"número de contactos"_s;
    QTest::newRow("count with a fraction") << ("1.5\r\n" + record) << qint64(1) << u"número de contactos"_s;
    QTest::newRow("quoted count") << ("\"1\"\r\n" + record) << qint64(1) << u"número de contactos"_s;
    QTest::newRow("byte-order mark, then not UTF-8") << ("\xEF\xBB\xBF" "1\r\n\"\xF1\"\r\n" + record.mid(5))
                                                     << qint64(1) << u"«ï»¿1»"_s;
    QTest::newRow("negative count") << ("-2\r\n" + record) << qint64(1) << u"negativo"_s;
    QTest::newRow("count beyond the file") << ("3\r\n" + record) << qint64(1) << u"más de los que caben"_s;
    QTest::newRow("count beyond any number") << ("99999999999999999999999\r\n" + record) << qint64(1)
                                             << u"más de los que caben"_s;
    QTest::newRow("fewer lines than announced")
        << ("2\r\n" + record + record.left(10 * 5)) << qint64(28) << u"termina en la línea"_s;
    QTest::newRow("one line short") << ("1\r\n" + record.left(15 * 5)) << qint64(17) << u"termina en la línea"_s;
    QTest::newRow("value of one character") << ("1\r\n" + record.left(3 * 5) + "\"\r\n" + record.left(12 * 5))
                                            << qint64(5) << u"menos de dos caracteres"_s;
    QTest::newRow("empty last value line") << ("1\r\n" + record.left(15 * 5) + "\r\n") << qint64(17)
                                           << u"menos de dos caracteres"_s;
    QTest::newRow("NUL byte") << ("1\r\n" + record.left(5 * 5) + QByteArray("\"a\0b\"\r\n", 7) + record.left(10 * 5))
                              << qint64(7) << u"byte nulo"_s;
}

void TestLibroFile::malformedFilesAreRefused()
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
    QVERIFY2(read.error.contains(u"«roto %1 %2.LBR»"_s), qPrintable(read.error));
    QVERIFY2(read.error.contains(what), qPrintable(read.error));
    QVERIFY2(read.error.contains(u"Línea %1"_s.arg(line)) || line == 1, qPrintable(read.error));
}

void TestLibroFile::writeFailuresKeepThePreviousFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");
    QTest::newRow("no such folder") << u"no-hay/libro.LBR"_s << u"no existe"_s;
    QTest::newRow("a plain file as folder") << u"simple.txt/libro.LBR"_s << u"no es una carpeta"_s;
    QTest::newRow("a folder's name") << u"carpeta"_s << u"carpeta"_s;
}

void TestLibroFile::writeFailuresKeepThePreviousFile()
{
    QFETCH(QString, name);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(u"carpeta"_s));
    QVERIFY(writeFile(dir.filePath(u"simple.txt"_s), "texto"));
    auto libro = table({kExample});
    const LibroWrite written = EscribirLibro(*libro, dir.filePath(name), name);
    QVERIFY(!written.ok);
    QVERIFY2(written.error.contains(u"«%1»"_s.arg(name)) && written.error.contains(reason), qPrintable(written.error));
    QCOMPARE(readAll(dir.filePath(u"simple.txt"_s)), QByteArray("texto"));
    QVERIFY(QDir(dir.filePath(u"carpeta"_s)).isEmpty());
    // Neither the failed file nor a stray temporary file was left behind.
    QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
             (QStringList{u"carpeta"_s, u"simple.txt"_s}));
}

void TestLibroFile::readOnlyFileIsNotReplaced()
{
    const QString file = path(u"protegido.LBR"_s);
    QVERIFY(writeFile(file, "0\r\n"));
    QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    QFile probe(file);
    if (probe.open(QIODevice::WriteOnly | QIODevice::Append))
        QSKIP("this user may write read-only files (root)");
    auto libro = table({kExample});
    const LibroWrite written = EscribirLibro(*libro, file, u"protegido.LBR"_s);
    QVERIFY(!written.ok);
    QVERIFY2(written.error.contains(u"solo lectura"_s), qPrintable(written.error));
    QCOMPARE(readAll(file), QByteArray("0\r\n"));
}

void TestLibroFile::unencodableTextIsRefused_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("cyrillic") << u"Иван"_s << u"«И»"_s;
    QTest::newRow("emoji after accents") << u"José 📻"_s << u"«📻»"_s;
    QTest::newRow("C1 control") << u"ñ\u0080"_s << u"U+0080"_s;
    QTest::newRow("NUL after a euro sign") << u"€\u0000b"_s << u"U+0000"_s;
}

void TestLibroFile::unencodableTextIsRefused()
{
    QFETCH(QString, value);
    QFETCH(QString, shown);
    const QString file = path(u"previo.LBR"_s);
    QVERIFY(writeFile(file, "0\r\n"));
    QStringList second = kExample;
    second[1] = value;
    auto libro = table({kExample, second});
    const LibroWrite written = EscribirLibro(*libro, file, u"previo.LBR"_s);
    QVERIFY(!written.ok);
    for (const QString &part : {u"«previo.LBR»"_s, u"fila 2 (LU1ABC)"_s, u"«Nombre»"_s, shown})
        QVERIFY2(written.error.contains(part), qPrintable(written.error));
    QCOMPARE(readAll(file), QByteArray("0\r\n"));
}

QTEST_GUILESS_MAIN(TestLibroFile)
#include "tst_librofile.moc"
