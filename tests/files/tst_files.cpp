// The file layer: Windows-1252 both ways (to text and to the grid's UTF-8), lines split by the
// first line end's convention whatever the chunk size, and a writer that replaces a file only
// by a whole new one, so a failed or abandoned save leaves the old file and nothing else behind.
#include "FileHelpers.h"
#include "common/ContentHash.h"
#include "common/Cp1252.h"
#include "common/QuotedLines.h"

#include <QtTest>
#include <QDir>
#include <QTemporaryDir>
#include <string>
#include <xxhash.h>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

using namespace Qt::StringLiterals;

using Lines = QList<QByteArray>;

namespace {

// The UTF-8 paths append; each conversion here goes after a '<' that must stay in front.
QByteArray toUtf8(std::string_view bytes)
{
    std::string out = "<";
    cp1252::appendAsUtf8(out, bytes);
    return out[0] == '<' ? QByteArray::fromStdString(out.substr(1)) : QByteArray("lost what was there");
}

QByteArray fromUtf8(const QByteArray &utf8, bool *ok = nullptr)
{
    std::string out = "<";
    const bool converted = cp1252::appendFromUtf8(out, std::string_view(utf8.constData(), size_t(utf8.size())));
    if (ok)
        *ok = converted;
    return out[0] == '<' ? QByteArray::fromStdString(out.substr(1)) : QByteArray("lost what was there");
}

Lines readLines(QuotedLineReader &reader)
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

} // namespace

class TestFiles : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void everyByteRoundTrips();
    void unencodableText_data();
    void unencodableText();
    void malformedUtf8_data();
    void malformedUtf8();
    void splitsLines_data();
    void splitsLines();
    void writesExactBytes();
    void failedSaveKeepsOldFile_data();
    void failedSaveKeepsOldFile();
    void contentHash_data();
    void contentHash();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QStringList entries() const
    {
        return QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    std::unique_ptr<QTemporaryDir> m_dir;
};

// Every byte maps to the code page's character (0x80..0x9F from its table, written out here,
// the rest to the same code point) and back, through text and through UTF-8 alike.
void TestFiles::everyByteRoundTrips()
{
    const QString table = u"€\u0081‚ƒ„…†‡ˆ‰Š‹Œ\u008DŽ\u008F\u0090‘’“”•–—˜™š›œ\u009DžŸ"_s;
    QByteArray bytes;
    QString text;
    for (int b = 0; b < 256; ++b) {
        bytes.append(char(b));
        text.append(b >= 0x80 && b < 0xA0 ? table.at(b - 0x80) : QChar(b));
    }
    QCOMPARE(table.size(), 32);
    QCOMPARE(cp1252::toUnicode(std::string_view(bytes.constData(), 256)), text);
    qsizetype bad = 0;
    QCOMPARE(cp1252::fromUnicode(text, &bad), bytes);
    QCOMPARE(bad, qsizetype(-1));
    QVERIFY(cp1252::canEncode(text));
    const QByteArray utf8 = toUtf8(std::string_view(bytes.constData(), 256));
    QCOMPARE(utf8, text.toUtf8());
    bool ok = false;
    QCOMPARE(fromUtf8(utf8, &ok), bytes);
    QVERIFY(ok);

    // The fast paths copy ASCII eight bytes at a time; a high byte at any position within or
    // after such a word must still be converted.
    for (int before = 0; before <= 17; ++before) {
        for (int after = 0; after <= 9; ++after) {
            const QByteArray run = QByteArray(before, 'a') + "\xF1\x80" + QByteArray(after, 'z');
            const QString expected = QString(before, u'a') + u"ñ€"_s + QString(after, u'z');
            const std::string_view view(run.constData(), size_t(run.size()));
            QCOMPARE(cp1252::toUnicode(view), expected);
            QCOMPARE(toUtf8(view), expected.toUtf8());
            QCOMPARE(fromUtf8(expected.toUtf8()), run);
        }
    }
}

void TestFiles::unencodableText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qsizetype>("firstBad");
    QTest::newRow("cyrillic") << u"Ok Привет"_s << QByteArray("Ok ??????") << qsizetype(3);
    QTest::newRow("emoji is one character") << u"Hola 😀 ñ"_s << QByteArray("Hola ? \xF1") << qsizetype(5);
    QTest::newRow("lone high surrogate") << (u"a"_s + QChar(0xD800) + u"b"_s) << QByteArray("a?b") << qsizetype(1);
    QTest::newRow("lone low surrogate at end") << (u"ab"_s + QChar(0xDC00)) << QByteArray("ab?") << qsizetype(2);
    // U+0080 is a C1 control whose byte already stands for the euro sign.
    QTest::newRow("C1 control of a defined byte") << (u"x"_s + QChar(0x80)) << QByteArray("x?") << qsizetype(1);
}

void TestFiles::unencodableText()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(qsizetype, firstBad);
    qsizetype bad = -2;
    QCOMPARE(cp1252::fromUnicode(text, &bad), bytes);
    QCOMPARE(bad, firstBad);
    QCOMPARE(cp1252::canEncode(text), firstBad < 0);
    // Lone surrogates cannot travel as UTF-8; the rest must match the QString path.
    if (QString::fromUtf8(text.toUtf8()) == text) {
        bool ok = false;
        QCOMPARE(fromUtf8(text.toUtf8(), &ok), bytes);
        QCOMPARE(ok, firstBad < 0);
    }
}

void TestFiles::malformedUtf8_data()
{
    QTest::addColumn<QByteArray>("utf8");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("truncated at end") << QByteArray("a\xC3") << QByteArray("a?");
    QTest::newRow("truncated three-byte") << QByteArray("\xE2\x82x") << QByteArray("?x");
    QTest::newRow("stray continuation") << QByteArray("x\xBFy") << QByteArray("x?y");
    QTest::newRow("overlong slash") << QByteArray("\xC0\xAF") << QByteArray("??");
    QTest::newRow("overlong three-byte") << QByteArray("\xE0\x80\xAF") << QByteArray("???");
    QTest::newRow("encoded surrogate") << QByteArray("\xED\xA0\x80") << QByteArray("???");
    QTest::newRow("beyond U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << QByteArray("????");
    QTest::newRow("invalid lead FF") << QByteArray("\xFF\xC3\xB1") << QByteArray("?\xF1");
    QTest::newRow("lead then ASCII") << QByteArray("\xC3(ab") << QByteArray("?(ab");
    QTest::newRow("long ASCII then bad") << QByteArray("0123456789abcdef\x80") << QByteArray("0123456789abcdef?");
}

// Each character, or each malformed piece, gives one byte; any '?' makes the result false.
void TestFiles::malformedUtf8()
{
    QFETCH(QByteArray, utf8);
    QFETCH(QByteArray, bytes);
    bool ok = false;
    QCOMPARE(fromUtf8(utf8, &ok), bytes);
    QCOMPARE(ok, !bytes.contains('?'));
}

void TestFiles::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestFiles::splitsLines_data()
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

void TestFiles::splitsLines()
{
    QFETCH(QByteArray, content);
    QFETCH(Lines, lines);
    QFETCH(qint64, chunk);
    QVERIFY(writeFile(path(u"f.txt"_s), content));
    QVERIFY(writeFile(path(u"lf.txt"_s), "a\nb\n"));
    // A reader used before forgets that file (its line ends too); one that failed to open reads nothing.
    QuotedLineReader reader(chunk);
    std::string_view line;
    QVERIFY(reader.open(path(u"lf.txt"_s)) && reader.next(line));
    QVERIFY(!reader.open(path(u"missing.txt"_s)));
    QVERIFY(reader.hasError() && !reader.errorString().isEmpty() && !reader.next(line));
    QVERIFY2(reader.open(path(u"f.txt"_s)), qPrintable(reader.errorString()));
    QCOMPARE(reader.fileSize(), content.size());
    QCOMPARE(readLines(reader), lines);
    QVERIFY(!reader.next(line)); // the end stays the end
    QCOMPARE(reader.lineNumber(), lines.size());
    QVERIFY(!reader.hasError());
}

// Bytes go out exactly as given, over a longer old file, and read back as the same lines;
// several megabytes go out in several pieces, none lost or doubled between them.
void TestFiles::writesExactBytes()
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
    QByteArray expected = "1\r\n\"LU1ABC\"\r\n\"\"\r\n\" dice \"hola\" \"\r\n\"dos\nl\xEDneas\"\r\n"
                        + QByteArray("\"\0\x81\x9D\xFF\"\r\n", 8);
    Lines lines{"1", "\"LU1ABC\"", "\"\"", "\" dice \"hola\" \"", "\"dos\nl\xEDneas\"",
                QByteArray("\"\0\x81\x9D\xFF\"", 6)};
    for (int i = 0; i < 300000; ++i) {
        const std::string v = "valor " + std::to_string(i);
        w.writeQuoted(v);
        lines << '"' + QByteArray::fromStdString(v) + '"';
        expected += lines.last() + "\r\n";
    }
    QVERIFY2(w.commit(), qPrintable(w.errorString()));
    QCOMPARE(readAll(path(u"a.LBR"_s)), expected);
    QuotedLineWriter nowhere(path(u"no/a.LBR"_s)); // in a missing folder: says why, writes nothing
    QVERIFY(!nowhere.open() && !nowhere.errorString().isEmpty());
    nowhere.writeQuoted("algo");
    QVERIFY(!nowhere.commit() && !nowhere.errorString().isEmpty());
    QCOMPARE(entries(), QStringList{u"a.LBR"_s});

    QuotedLineReader reader(1000);
    QVERIFY(reader.open(path(u"a.LBR"_s)));
    QCOMPARE(readLines(reader), lines);

    // A line's value is what stands between its first and last characters, whatever they are.
    std::string_view got;
    for (const auto &[line, value] : {std::pair{"\"Juan\"", "Juan"}, {"\"\"", ""}, {"[\"x\"]", "\"x\""}})
        QVERIFY(QuotedLineReader::value(line, got) && got == value);
    QVERIFY(!QuotedLineReader::value("\"", got));
    QVERIFY(!QuotedLineReader::value("", got));
}

void TestFiles::failedSaveKeepsOldFile_data()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("disk full") << u"disk full"_s;
    QTest::newRow("target became a folder") << u"folder"_s;
    QTest::newRow("abandoned") << u"abandoned"_s;
}

// A disk that fills up (a file-size limit, the same whatever the user's rights), a rename onto a
// target that became a folder meanwhile, a save given up half way: the old file stays as it was.
void TestFiles::failedSaveKeepsOldFile()
{
    QFETCH(QString, fault);
    const QByteArray old = "1\r\n\"viejo\"\r\n";
    const QString oldFile = path(fault == u"folder" ? u"a.LBR/x"_s : u"a.LBR"_s);
    if (fault != u"folder")
        QVERIFY(writeFile(oldFile, old));
#ifdef Q_OS_UNIX
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit limited = saved;
    if (fault == u"disk full")
        limited.rlim_cur = 256 * 1024;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
#else
    if (fault == u"disk full")
        QSKIP("needs a file-size limit");
#endif
    bool opened = false, committed = false, folderMade = true;
    QString error;
    {
        QuotedLineWriter w(path(u"a.LBR"_s));
        opened = w.open();
        const std::string value(1000, 'v');
        for (int i = 0; i < 3000; ++i)
            w.writeQuoted(value);
        if (fault == u"folder")
            folderMade = QDir(m_dir->path()).mkdir(u"a.LBR"_s) && writeFile(oldFile, old);
        if (fault != u"abandoned")
            committed = w.commit(), error = w.errorString();
    }
#ifdef Q_OS_UNIX
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
#endif
    QVERIFY(opened && folderMade && !committed);
    QCOMPARE(error.isEmpty(), fault == u"abandoned");
    QCOMPARE(readAll(oldFile), old);
    QCOMPARE(entries(), QStringList{u"a.LBR"_s});
}

void TestFiles::contentHash_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("piece"); // bytes added at a time
    for (const auto &[size, piece] : {std::pair{0, 1}, {3, 1}, {31, 7}, {32, 32}, {33, 5}, {1000, 31}, {100000, 4093},
                                      {(2 << 20) + 5, 300001}, {3 << 20, 1 << 20}})
        QTest::addRow("%d bytes, %d at a time", size, piece) << size << piece;
}

// What libxxhash gives for bytes hashed as this version does: XXH3 over the XXH3 of each MiB.
uint64_t xxh3OfPieces(const std::string &bytes)
{
    std::string hashes;
    for (size_t at = 0; at < bytes.size(); at += kHashPiece) {
        uint64_t h = XXH3_64bits(bytes.data() + at, std::min<size_t>(kHashPiece, bytes.size() - at));
        for (int i = 0; i < 8; ++i, h >>= 8)
            hashes.push_back(char(h & 0xFF));
    }
    return XXH3_64bits(hashes.data(), hashes.size());
}

// Fed in pieces, each kind gives libxxhash's hash of the whole: XXH3 of the MiB for what this
// version writes, plain XXH3 and XXH64 (our own, as the first versions wrote it) for what
// earlier ones named. Two parts of the bytes hashed apart and put together give it too.
void TestFiles::contentHash()
{
    QFETCH(int, size);
    QFETCH(int, piece);
    std::string bytes(size_t(size), '\0');
    for (int i = 0; i < size; ++i)
        bytes[size_t(i)] = char(i * 131 + (i >> 8));
    const auto fed = [&](HashKind kind, size_t from, size_t to) {
        ContentHash hash(kind);
        for (size_t at = from; at < to; at += size_t(piece))
            hash.add(bytes.data() + at, std::min(size_t(piece), to - at));
        return hash;
    };
    for (const HashKind kind : {HashKind::Xxh3Pieces, HashKind::Xxh3, HashKind::Xxh64}) {
        const ContentHash hash = fed(kind, 0, bytes.size());
        const uint64_t whole = kind == HashKind::Xxh3Pieces ? xxh3OfPieces(bytes)
                               : kind == HashKind::Xxh3     ? XXH3_64bits(bytes.data(), bytes.size())
                                                            : XXH64(bytes.data(), bytes.size(), 0);
        QCOMPARE(hash.value(), whole);
        QCOMPARE(ContentHash::of(bytes.data(), bytes.size(), kind), whole);
        QCOMPARE(hash.size(), uint64_t(size));
    }
    // The second part from a MiB on; the first up to that MiB or a later one, or to the end.
    for (size_t from = 0; from <= bytes.size(); from += kHashPiece) {
        const ContentHash later = fed(HashKind::Xxh3Pieces, from, bytes.size());
        for (size_t to = from; to <= bytes.size() + kHashPiece; to += kHashPiece) {
            ContentHash first = fed(HashKind::Xxh3Pieces, 0, std::min(to, bytes.size()));
            const bool fits = to <= bytes.size() || bytes.size() % kHashPiece == 0;
            QCOMPARE(first.append(later, from), fits);
            if (first.size() == bytes.size())
                QCOMPARE(first.value(), xxh3OfPieces(bytes));
        }
    }
}

QTEST_GUILESS_MAIN(TestFiles)
#include "tst_files.moc"
