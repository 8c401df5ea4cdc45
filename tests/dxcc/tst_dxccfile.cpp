// dxcc.dat: the reader on well-formed and damaged files, finding the file, and the list we ship.
#include "dxcc/DxccFile.h"
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

QStringList cellsOf(const GridStore &store)
{
    QStringList cells;
    for (int64_t r = 0; r < store.rows(); ++r)
        for (int c = 0; c < store.cols(); ++c) {
            const std::string_view cell = store.cell(r, c);
            cells << QString::fromUtf8(cell.data(), qsizetype(cell.size()));
        }
    return cells;
}
} // namespace

class TestDxccFile : public QObject
{
    Q_OBJECT
private slots:
    void readsEntries_data();
    void readsEntries();
    void reportsDamageAtItsLine_data();
    void reportsDamageAtItsLine();
    void unreadableFileIsReported();
    void findsTheFileInAnyCase();
    void shippedListIsComplete();
};

void TestDxccFile::readsEntries_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("cells");
    QTest::newRow("no entries") << QByteArray("0\r\n") << QStringList();
    QTest::newRow("no entries, no line end") << QByteArray("0") << QStringList();
    QTest::newRow("one entry") << QByteArray("1\r\n\"EA\"\r\n\"14 - Spain\"\r\n\"EU\"\r\n")
                               << QStringList{u"EA"_s, u"14 - Spain"_s, u"EU"_s};
    QTest::newRow("lines after the last entry ignored")
        << QByteArray("2\r\n\"A\"\r\n\"B\"\r\n\"C\"\r\n\"D\"\r\n\"E\"\r\n\"F\"\r\n\"G\"\r\nx\r\n\r\nbasura")
        << QStringList{u"A"_s, u"B"_s, u"C"_s, u"D"_s, u"E"_s, u"F"_s};
    QTest::newRow("two characters give an empty cell") << QByteArray("1\r\n\"\"\r\n\"\"\r\n\"EU\"\r\n")
                                                       << QStringList{QString(), QString(), u"EU"_s};
    QTest::newRow("blanks inside are kept") << QByteArray("1\r\n\"  EA \"\r\n\" 14\"\r\n\"EU \"\r\n")
                                            << QStringList{u"  EA "_s, u" 14"_s, u"EU "_s};
    QTest::newRow("enclosing characters not looked at") << QByteArray("1\r\n'EA'\r\nx14y\r\n\"E\"U\"\r\n")
                                                        << QStringList{u"EA"_s, u"14"_s, u"E\"U"_s};
    QTest::newRow("lone CR ends lines") << QByteArray("1\r\"EA\"\r\"14\"\r\n\"EU\"\r")
                                        << QStringList{u"EA"_s, u"14"_s, u"EU"_s};
    QTest::newRow("last line without line end") << QByteArray("1\r\n\"EA\"\r\n\"14\"\r\n\"EU\"")
                                                << QStringList{u"EA"_s, u"14"_s, u"EU"_s};
    QTest::newRow("count with blanks around") << QByteArray(" 1 \r\n\"EA\"\r\n\"14\"\r\n\"EU\"\r\n")
                                              << QStringList{u"EA"_s, u"14"_s, u"EU"_s};
    QTest::newRow("windows-1252 text") << QByteArray("1\r\n\"EA\"\r\n\"14 - Espa\xf1" "a \x80\"\r\n\"EU\"\r\n")
                                       << QStringList{u"EA"_s, u"14 - España €"_s, u"EU"_s};
}

void TestDxccFile::readsEntries()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, cells);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"dxcc.dat"_s);
    writeFile(path, bytes);
    const DxccRead read = readDxccFile(path);
    QVERIFY2(read.ok, qPrintable(read.error));
    QCOMPARE(read.entries.cols(), 3);
    QCOMPARE(cellsOf(read.entries), cells);
}

void TestDxccFile::reportsDamageAtItsLine_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("line");
    const QByteArray entry("\"EA\"\r\n\"14 - Spain\"\r\n\"EU\"\r\n");
    QTest::newRow("empty file") << QByteArray() << 1;
    QTest::newRow("count is a word") << "tres\r\n" + entry << 1;
    QTest::newRow("count in quotes") << "\"1\"\r\n" + entry << 1;
    QTest::newRow("negative count") << "-1\r\n" + entry << 1;
    QTest::newRow("count and text") << "1 entrada\r\n" + entry << 1;
    // Counts the file is far too small for: refused before any room is made for them.
    QTest::newRow("absurd count") << "500000000\r\n" + entry << 1;
    QTest::newRow("count beyond any number") << "99999999999999999999999999\r\n" + entry << 1;
    QTest::newRow("one entry short of its count") << "2\r\n" + entry + entry.left(6) << 6;
    QTest::newRow("ends after the count") << QByteArray("1\r\n") + QByteArray(20, ' ') << 3;
    QTest::newRow("empty value line") << QByteArray("1\r\n\"EA\"\r\n\r\n\"EU\"\r\n") << 3;
    QTest::newRow("one-character value line") << "2\r\n" + entry + "\"F\"\r\n\"14\"\r\nE\r\n" << 7;
}

void TestDxccFile::reportsDamageAtItsLine()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, line);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"DXCC.DAT"_s);
    writeFile(path, bytes);
    const DxccRead read = readDxccFile(path);
    QVERIFY(!read.ok);
    QCOMPARE(read.line, line);
    QCOMPARE(read.entries.rows(), 0);          // nothing half-read to show
    QVERIFY2(read.error.contains(u"DXCC.DAT"_s), qPrintable(read.error));
    QVERIFY2(read.error.contains(u"línea %1"_s.arg(line)), qPrintable(read.error));
}

void TestDxccFile::unreadableFileIsReported()
{
    QTemporaryDir dir;
    const DxccRead missing = readDxccFile(dir.filePath(u"dxcc.dat"_s));
    QVERIFY(!missing.ok);
    QVERIFY(missing.error.startsWith(u"No se pudo leer el archivo dxcc.dat: "_s));
    QVERIFY(QDir(dir.path()).mkdir(u"carpeta.dat"_s));
    const DxccRead folder = readDxccFile(dir.filePath(u"carpeta.dat"_s));
    QVERIFY(!folder.ok);
    QVERIFY(folder.error.contains(u"carpeta.dat"_s));
}

void TestDxccFile::findsTheFileInAnyCase()
{
    QTemporaryDir dir;
    QCOMPARE(findDxccFile(dir.path()), QString());
    QVERIFY(QDir(dir.path()).mkdir(u"dxcc.dat"_s)); // a folder is not the file
    QCOMPARE(findDxccFile(dir.path()), QString());
    QVERIFY(QDir(dir.path()).rmdir(u"dxcc.dat"_s));
    writeFile(dir.filePath(u"DXCC.DAT"_s), "0\r\n");
    QCOMPARE(findDxccFile(dir.path()), dir.filePath(u"DXCC.DAT"_s));
    writeFile(dir.filePath(u"dxcc.dat"_s), "0\r\n");
    QCOMPARE(findDxccFile(dir.path()), dir.filePath(u"dxcc.dat"_s));
}

void TestDxccFile::shippedListIsComplete()
{
    const QString source = qEnvironmentVariable("ORVANEL_SOURCE_DIR");
    if (source.isEmpty())
        QSKIP("ORVANEL_SOURCE_DIR is not set: run through ctest");
    const QString path = QDir(source).filePath(u"data/dxcc.dat"_s);
    QFile f(path);
    QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(path));
    const QByteArray bytes = f.readAll();

    // Every line ends with CR LF, and no CR or LF appears anywhere else.
    QList<QByteArray> lines = bytes.split('\n');
    QVERIFY(lines.takeLast().isEmpty()); // the last line is ended too
    for (const QByteArray &line : lines) {
        QVERIFY2(line.endsWith('\r') && line.count('\r') == 1, line.constData());
    }
    bool isNumber = false;
    const int count = lines.first().chopped(1).toInt(&isNumber);
    QVERIFY(isNumber);
    QVERIFY(count >= 340);
    QCOMPARE(lines.size(), 1 + 3 * count);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray value = lines.at(i).chopped(1);
        QVERIFY2(value.size() >= 2 && value.startsWith('"') && value.endsWith('"') && value.count('"') == 2,
                 value.constData());
    }

    const DxccRead read = readDxccFile(path);
    QVERIFY2(read.ok, qPrintable(read.error));
    QCOMPARE(read.entries.rows(), count);
    const QRegularExpression zone(u"^\\d{1,2} - \\S.*$"_s);
    const QStringList continents{u"AF"_s, u"AN"_s, u"AS"_s, u"EU"_s, u"NA"_s, u"OC"_s, u"SA"_s};
    const QStringList cells = cellsOf(read.entries);
    QSet<QString> prefixes;
    for (int i = 0; i < count; ++i) {
        QVERIFY(!cells.at(3 * i).isEmpty());
        prefixes.insert(cells.at(3 * i));
        QVERIFY2(zone.match(cells.at(3 * i + 1)).hasMatch(), qPrintable(cells.at(3 * i + 1)));
        QVERIFY2(continents.contains(cells.at(3 * i + 2)), qPrintable(cells.at(3 * i + 2)));
    }
    QCOMPARE(prefixes.size(), count);       // one entry per entity
    QVERIFY(cells.contains(u"14 - Spain"_s));
}

QTEST_GUILESS_MAIN(TestDxccFile)
#include "tst_dxccfile.moc"
