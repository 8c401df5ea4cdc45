// The line layer under every file the program keeps: lines split by the first line end's
// convention whatever the chunk size, and a writer that replaces a file only by a whole new
// one, so a failed or abandoned save leaves the old file as it was and no stray file behind.
#include "FileHelpers.h"
#include "common/QuotedLines.h"

#include <QtTest>
#include <QDir>
#include <QTemporaryDir>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

using namespace Qt::StringLiterals;

using Lines = QList<QByteArray>;

class TestQuotedLines : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void splitsLines_data();
    void splitsLines();
    void reopenStartsAfresh();
    void openFails_data();
    void openFails();
    void quotedValue_data();
    void quotedValue();
    void writesExactBytes();
    void largeOutputInPieces();
    void writeFailureKeepsOldFile();
    void failedRenameLeavesNoTemporary();
    void abandonedSaveKeepsOldFile();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QStringList entries() const
    {
        return QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    std::unique_ptr<QTemporaryDir> m_dir;
};

static Lines readLines(QuotedLineReader &reader)
{
    Lines lines;
    std::string_view line;
    while (reader.next(line)) {
        lines.append(QByteArray(line.data(), qsizetype(line.size())));
        if (reader.lineNumber() != lines.size())
            return {"wrong line number"};
    }
    return lines;
}

void TestQuotedLines::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestQuotedLines::splitsLines_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<Lines>("lines");
    QTest::addColumn<qint64>("chunk");
    struct Row { const char *name; QByteArray content; Lines lines; };
    const QByteArray longLine(100, 'w');
    const Row rows[] = {
        {"crlf", "1\r\n\"ab\"\r\n\"\"\r\n", {"1", "\"ab\"", "\"\""}},
        {"lone cr", "a\rb\r\nc\r\n", {"a", "b", "c"}},
        {"cr cr lf", "a\r\r\nb\r\n", {"a", "", "b"}},
        {"lf inside a value", "1\r\n\"x\ny\"\r\n\"\n\"\r\n", {"1", "\"x\ny\"", "\"\n\""}},
        {"lone cr inside a value", "1\r\n\"linea1\rlinea2\"\r\n\"\r\"\r\n", {"1", "\"linea1\rlinea2\"", "\"\r\""}},
        {"lf first, then cr lf", "abcdefghij\nk\r\nm\r\n", {"abcdefghij", "k\r", "m\r"}},
        {"file without cr", "2\n\"a\"\n\"\"\n", {"2", "\"a\"", "\"\""}},
        {"file without cr or last end", "a\n\nb", {"a", "", "b"}},
        {"last line without end", "\"a\"\r\n\"b\"", {"\"a\"", "\"b\""}},
        {"lone cr at end of file", "a\r\nb\r", {"a", "b\r"}},
        {"empty lines", "\r\n\r\n", {"", ""}},
        {"empty file", "", {}},
        {"line longer than the chunk", longLine + "\r\nx\r\n" + longLine, {longLine, "x", longLine}},
        {"nul and high bytes", QByteArray("\"\0\x81\xFF\"\r\n", 7), {QByteArray("\"\0\x81\xFF\"", 5)}},
    };
    // Tiny chunks put every line end, CR LF pairs included, across a chunk boundary somewhere.
    for (qint64 chunk : {qint64(1), qint64(2), qint64(3), qint64(4), qint64(7), qint64(1) << 20}) {
        for (const Row &r : rows)
            QTest::addRow("%s, chunk %lld", r.name, chunk) << r.content << r.lines << chunk;
    }
}

void TestQuotedLines::splitsLines()
{
    QFETCH(QByteArray, content);
    QFETCH(Lines, lines);
    QFETCH(qint64, chunk);
    QVERIFY(writeFile(path(u"f.txt"_s), content));
    QuotedLineReader reader(chunk);
    QVERIFY2(reader.open(path(u"f.txt"_s)), qPrintable(reader.errorString()));
    QCOMPARE(reader.fileSize(), content.size());
    QCOMPARE(readLines(reader), lines);
    std::string_view line;
    QVERIFY(!reader.next(line)); // the end stays the end
    QCOMPARE(reader.lineNumber(), lines.size());
    QVERIFY(!reader.hasError());
}

// A reader reused for a second file must forget the first one's state, the LF-only mode included.
void TestQuotedLines::reopenStartsAfresh()
{
    QVERIFY(writeFile(path(u"lf.txt"_s), "a\nb\nc\n"));
    QVERIFY(writeFile(path(u"crlf.txt"_s), "1\r\nx\ny\r\n"));
    QuotedLineReader reader(3);
    QVERIFY(reader.open(path(u"lf.txt"_s)));
    std::string_view line;
    QVERIFY(reader.next(line));
    QCOMPARE(line, std::string_view("a"));
    QVERIFY(reader.open(path(u"crlf.txt"_s)));
    QCOMPARE(readLines(reader), Lines({"1", "x\ny"}));
    QVERIFY(!reader.open(path(u"missing.txt"_s)));
    QVERIFY(!reader.next(line));
}

void TestQuotedLines::openFails_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("writable");
    QTest::newRow("missing file") << u"nada.LBR"_s << true;
    QTest::newRow("missing folder") << u"no/nada.LBR"_s << false;
    QTest::newRow("folder") << u"carpeta"_s << false;
}

// Neither side opens what it cannot, says why, and then reads or writes nothing.
void TestQuotedLines::openFails()
{
    QFETCH(QString, name);
    QFETCH(bool, writable);
    QVERIFY(QDir(m_dir->path()).mkdir(u"carpeta"_s));
    QVERIFY(writeFile(path(u"carpeta/dentro.txt"_s), "intacto"));

    QuotedLineReader reader;
    QVERIFY(!reader.open(path(name)));
    QVERIFY(reader.hasError());
    QVERIFY(!reader.errorString().isEmpty());
    std::string_view line;
    QVERIFY(!reader.next(line));
    if (writable)
        return;
    QuotedLineWriter w(path(name));
    QVERIFY(!w.open());
    QVERIFY(!w.errorString().isEmpty());
    w.writeQuoted("algo");
    QVERIFY(!w.commit());
    QVERIFY(!w.errorString().isEmpty());
    QCOMPARE(entries(), QStringList{u"carpeta"_s});
    QCOMPARE(readAll(path(u"carpeta/dentro.txt"_s)), QByteArray("intacto"));
}

void TestQuotedLines::quotedValue_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArray>("value");
    QTest::newRow("quoted") << QByteArray("\"Juan\"") << true << QByteArray("Juan");
    QTest::newRow("empty value") << QByteArray("\"\"") << true << QByteArray();
    QTest::newRow("enclosing not examined") << QByteArray("[\"x\"]") << true << QByteArray("\"x\"");
    QTest::newRow("one character") << QByteArray("\"") << false << QByteArray();
    QTest::newRow("empty line") << QByteArray() << false << QByteArray();
}

void TestQuotedLines::quotedValue()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, ok);
    QFETCH(QByteArray, value);
    std::string_view got;
    QCOMPARE(QuotedLineReader::value(std::string_view(line.constData(), size_t(line.size())), got), ok);
    if (ok)
        QCOMPARE(QByteArray(got.data(), qsizetype(got.size())), value);
}

// Bytes go out exactly as given, over a longer old file, and read back as the same lines.
void TestQuotedLines::writesExactBytes()
{
    QVERIFY(writeFile(path(u"a.LBR"_s), QByteArray(50000, 'x')));
    QuotedLineWriter w(path(u"a.LBR"_s));
    QVERIFY(w.open());
    w.writeBare("1");
    w.writeQuoted("LU1ABC");
    w.writeQuoted("");
    w.writeQuoted(" dice \"hola\" ");
    w.writeQuoted("dos\nl\xEDneas");
    w.writeQuoted(std::string_view("\0\x81\x9D\xFF", 4));
    QVERIFY2(w.commit(), qPrintable(w.errorString()));
    const QByteArray expected = "1\r\n\"LU1ABC\"\r\n\"\"\r\n\" dice \"hola\" \"\r\n\"dos\nl\xEDneas\"\r\n"
                              + QByteArray("\"\0\x81\x9D\xFF\"\r\n", 8);
    QCOMPARE(readAll(path(u"a.LBR"_s)), expected);
    QCOMPARE(entries(), QStringList{u"a.LBR"_s});

    QuotedLineReader reader(5);
    QVERIFY(reader.open(path(u"a.LBR"_s)));
    QCOMPARE(readLines(reader), Lines({"1", "\"LU1ABC\"", "\"\"", "\" dice \"hola\" \"", "\"dos\nl\xEDneas\"",
                                       QByteArray("\"\0\x81\x9D\xFF\"", 6)}));
}

// Several megabytes go out in several pieces; nothing may be lost or doubled between them.
void TestQuotedLines::largeOutputInPieces()
{
    const int count = 300000;
    QuotedLineWriter w(path(u"big.LBR"_s));
    QVERIFY(w.open());
    w.writeBare(std::to_string(count));
    qint64 expectedSize = qint64(std::to_string(count).size()) + 2;
    for (int i = 0; i < count; ++i) {
        const std::string v = "valor " + std::to_string(i);
        w.writeQuoted(v);
        expectedSize += qint64(v.size()) + 4;
    }
    QVERIFY(w.commit());

    QuotedLineReader reader(1000);
    QVERIFY(reader.open(path(u"big.LBR"_s)));
    QCOMPARE(reader.fileSize(), expectedSize);
    std::string_view line, value;
    QVERIFY(reader.next(line));
    QCOMPARE(line, std::string_view(std::to_string(count)));
    for (int i = 0; i < count; ++i) {
        QVERIFY(reader.next(line));
        QVERIFY(QuotedLineReader::value(line, value));
        if (value != "valor " + std::to_string(i))
            QFAIL(qPrintable(u"line %1 holds %2"_s.arg(reader.lineNumber()).arg(QString::fromLatin1(line))));
    }
    QVERIFY(!reader.next(line));
}

// A disk that fills up during the save: the file-size limit makes the failure happen at the
// same place whatever the user's rights are.
void TestQuotedLines::writeFailureKeepsOldFile()
{
#ifdef Q_OS_UNIX
    const QByteArray old = "1\r\n\"viejo\"\r\n";
    QVERIFY(writeFile(path(u"a.LBR"_s), old));
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit limited = saved;
    limited.rlim_cur = 256 * 1024;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
    bool opened, committed;
    QString error;
    {
        QuotedLineWriter w(path(u"a.LBR"_s));
        opened = w.open();
        const std::string value(1000, 'v');
        for (int i = 0; i < 3000; ++i)
            w.writeQuoted(value);
        committed = w.commit();
        error = w.errorString();
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    QVERIFY(opened);
    QVERIFY(!committed);
    QVERIFY(!error.isEmpty());
    QCOMPARE(readAll(path(u"a.LBR"_s)), old);
    QCOMPARE(entries(), QStringList{u"a.LBR"_s});
#else
    QSKIP("needs a file-size limit");
#endif
}

// The final rename fails when the target has become a folder meanwhile.
void TestQuotedLines::failedRenameLeavesNoTemporary()
{
    QuotedLineWriter w(path(u"a.LBR"_s));
    QVERIFY(w.open());
    w.writeQuoted("nuevo");
    QVERIFY(QDir(m_dir->path()).mkdir(u"a.LBR"_s));
    QVERIFY(writeFile(path(u"a.LBR/x"_s), "x"));
    QVERIFY(!w.commit());
    QVERIFY(!w.errorString().isEmpty());
    QCOMPARE(entries(), QStringList{u"a.LBR"_s});
    QCOMPARE(readAll(path(u"a.LBR/x"_s)), QByteArray("x"));
}

void TestQuotedLines::abandonedSaveKeepsOldFile()
{
    QVERIFY(writeFile(path(u"a.LBR"_s), "0\r\n"));
    {
        QuotedLineWriter w(path(u"a.LBR"_s));
        QVERIFY(w.open());
        for (int i = 0; i < 100000; ++i)
            w.writeQuoted("a medio escribir");
    }
    QCOMPARE(readAll(path(u"a.LBR"_s)), QByteArray("0\r\n"));
    QCOMPARE(entries(), QStringList{u"a.LBR"_s});
}

QTEST_GUILESS_MAIN(TestQuotedLines)
#include "tst_quotedlines.moc"
