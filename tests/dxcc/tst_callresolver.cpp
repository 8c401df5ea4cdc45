// The country file and the call resolver: real call signs against the shipped data/cty.csv
// (every expected value read off that file by hand), a small file with the overrides the
// shipped one does not use, damaged files refused at their line, and where the file is found.
#include "dxcc/CallResolver.h"
#include "dxcc/DxccFile.h"

#include <QDir>
#include <QFile>
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

// One resolved call as the table states it: the entity by its primary prefix ("" for none).
QString describe(const CallResolver &resolver, const CallEntity &e)
{
    if (!e.found())
        return u"(none)"_s;
    return u"%1 CQ %2 ITU %3 %4"_s.arg(resolver.entities().at(size_t(e.entity)).prefix)
        .arg(e.cqZone).arg(e.ituZone).arg(QLatin1StringView(e.continent));
}

void addCallColumns()
{
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("expected"); // as describe() gives it
}

void row(const char *name, const QString &call, const QString &prefix, int cq, int itu, const QString &continent)
{
    QTest::newRow(name) << call << u"%1 CQ %2 ITU %3 %4"_s.arg(prefix).arg(cq).arg(itu).arg(continent);
}

void none(const char *name, const QString &call)
{
    QTest::newRow(name) << call << u"(none)"_s;
}

// Both ways in, the UTF-16 text of the table and the UTF-8 bytes of a log, must agree.
void checkCall(const CallResolver &resolver, const QString &call, const QString &expected)
{
    const QByteArray utf8 = call.toUtf8();
    QCOMPARE(describe(resolver, resolver.resolve(QStringView(call))), expected);
    QCOMPARE(describe(resolver, resolver.resolve(std::string_view(utf8.constData(), size_t(utf8.size())))), expected);
}

} // namespace

class TestCallResolver : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void resolvesShippedCalls_data();
    void resolvesShippedCalls();
    void readsEveryFormOfEntry_data();
    void readsEveryFormOfEntry();
    void refusesDamagedFiles_data();
    void refusesDamagedFiles();
    void unreadableFileIsReported();
    void shippedFileAgreesWithDxccList();
    void findsTheCountryFile();

private:
    QString m_source;
    std::shared_ptr<const CallResolver> m_shipped;
};

void TestCallResolver::initTestCase()
{
    m_source = qEnvironmentVariable("ORVANEL_SOURCE_DIR");
    if (m_source.isEmpty())
        QSKIP("ORVANEL_SOURCE_DIR is not set: run through ctest");
    const CountryFileRead read = CallResolver::read(QDir(m_source).filePath(u"data/cty.csv"_s));
    QVERIFY2(read.ok, qPrintable(read.error));
    QVERIFY(read.resolver);
    m_shipped = read.resolver;
}

void TestCallResolver::resolvesShippedCalls_data()
{
    addCallColumns();
    // Ordinary calls: the entity's own prefix or another one it lists.
    row("Spain", u"EA4ABC"_s, u"EA"_s, 14, 37, u"EU"_s);
    row("Germany", u"DL1ABC"_s, u"DL"_s, 14, 28, u"EU"_s);
    row("France", u"F5ABC"_s, u"F"_s, 14, 27, u"EU"_s);
    row("England", u"G3ABC"_s, u"G"_s, 14, 27, u"EU"_s);
    row("Scotland, GM longer than G", u"GM4ABC"_s, u"GM"_s, 14, 27, u"EU"_s);
    row("Japan", u"JA1XYZ"_s, u"JA"_s, 25, 45, u"AS"_s);
    row("Argentina", u"LU1ABC"_s, u"LU"_s, 13, 14, u"SA"_s);
    row("Brazil", u"PY2ABC"_s, u"PY"_s, 11, 15, u"SA"_s);
    row("Australia", u"VK2ABC"_s, u"VK"_s, 30, 59, u"OC"_s);
    row("New Zealand", u"ZL1ABC"_s, u"ZL"_s, 32, 60, u"OC"_s);
    row("South Africa", u"ZS6ABC"_s, u"ZS"_s, 38, 57, u"AF"_s);
    row("Israel", u"4X1AB"_s, u"4X"_s, 20, 39, u"AS"_s);
    row("Chile", u"CE3ABC"_s, u"CE"_s, 12, 14, u"SA"_s);
    row("United States", u"W1AW"_s, u"K"_s, 5, 8, u"NA"_s);
    row("Mexico", u"XE1ABC"_s, u"XE"_s, 6, 10, u"NA"_s);
    row("Kenya", u"5Z4ABC"_s, u"5Z"_s, 37, 48, u"AF"_s);
    row("Croatia", u"9A1AA"_s, u"9A"_s, 15, 28, u"EU"_s);
    row("Greenland", u"OX3ABC"_s, u"OX"_s, 40, 5, u"NA"_s);
    row("Ukraine, UR longer than U", u"UR5ABC"_s, u"UR"_s, 16, 29, u"EU"_s);
    row("Kazakhstan", u"UN7ABC"_s, u"UN"_s, 17, 30, u"AS"_s);
    row("Cuba by a listed prefix", u"CO2ABC"_s, u"CM"_s, 8, 11, u"NA"_s);
    row("Iceland", u"TF3ABC"_s, u"TF"_s, 40, 17, u"EU"_s);
    row("Saudi Arabia", u"HZ1AB"_s, u"HZ"_s, 21, 39, u"AS"_s);
    row("Philippines", u"DU1ABC"_s, u"DU"_s, 27, 50, u"OC"_s);
    row("Italy by 4U", u"4U1ABC"_s, u"I"_s, 15, 28, u"EU"_s);
    // The longest prefix wins over the mainland's.
    row("Canary Islands", u"EA8ABC"_s, u"EA8"_s, 33, 36, u"AF"_s);
    row("Madeira", u"CT3ABC"_s, u"CT3"_s, 33, 36, u"AF"_s);
    row("Hawaii", u"KH6ABC"_s, u"KH6"_s, 31, 61, u"OC"_s);
    row("Alaska", u"KL7ABC"_s, u"KL"_s, 1, 1, u"NA"_s);
    row("Puerto Rico", u"KP4ABC"_s, u"KP4"_s, 8, 11, u"NA"_s);
    row("East Malaysia", u"9M6ABC"_s, u"9M6"_s, 28, 54, u"OC"_s);
    row("Christmas Island, VK9X over VK9", u"VK9XAB"_s, u"VK9X"_s, 29, 54, u"OC"_s);
    row("Norfolk Island by VK9", u"VK9NAB"_s, u"VK9N"_s, 32, 60, u"OC"_s);
    row("Easter Island by CE0", u"CE0YAB"_s, u"CE0Y"_s, 12, 63, u"SA"_s);
    row("San Andres by HK0", u"HK0ABC"_s, u"HK0/a"_s, 7, 11, u"NA"_s);
    row("Reunion", u"FR5ABC"_s, u"FR"_s, 39, 53, u"AF"_s);
    row("Andaman, zones of its own", u"VU4ABC"_s, u"VU4"_s, 26, 49, u"AS"_s);
    // Prefixes with their own zones.
    row("K6 (3)[6]", u"K6ABC"_s, u"K"_s, 3, 6, u"NA"_s);
    row("VE3 (4)[4]", u"VE3ABC"_s, u"VE"_s, 4, 4, u"NA"_s);
    row("VE2 [4] only", u"VE2ABC"_s, u"VE"_s, 5, 4, u"NA"_s);
    row("VO2 (2) only", u"VO2ABC"_s, u"VE"_s, 2, 9, u"NA"_s);
    row("UA0A (18)[32]", u"UA0AAB"_s, u"UA9"_s, 18, 32, u"AS"_s);
    row("UA0C (19)[34]", u"UA0CAB"_s, u"UA9"_s, 19, 34, u"AS"_s);
    row("R9S (16)", u"R9SAB"_s, u"UA9"_s, 16, 30, u"AS"_s);
    row("YB1 [54]", u"YB1ABC"_s, u"YB"_s, 28, 54, u"OC"_s);
    // Lines marked '*' are skipped: their calls fall to the DXCC entity's own prefixes.
    row("Sicily is Italy", u"IT9ABC"_s, u"I"_s, 15, 28, u"EU"_s);
    row("European Turkey is Turkey", u"TA1ABC"_s, u"TA"_s, 20, 39, u"AS"_s);
    row("Vienna centre is Austria", u"4U1VIC"_s, u"OE"_s, 15, 28, u"EU"_s);
    // Whole call signs win over prefixes.
    row("ITU HQ", u"4U1ITU"_s, u"4U1I"_s, 14, 28, u"EU"_s);
    row("United Nations HQ", u"4U1UN"_s, u"4U1U"_s, 5, 8, u"NA"_s);
    row("Conway Reef", u"3D2CR"_s, u"3D2/c"_s, 32, 56, u"OC"_s);
    row("Rotuma, listed with /P", u"3D2AG/P"_s, u"3D2/r"_s, 32, 56, u"OC"_s);
    row("the same call without /P is Fiji", u"3D2AG"_s, u"3D2"_s, 32, 56, u"OC"_s);
    row("listed with /1, not Balearic", u"EA6QB/1"_s, u"EA"_s, 14, 37, u"EU"_s);
    row("the same call alone is Balearic", u"EA6QB"_s, u"EA6"_s, 14, 37, u"EU"_s);
    row("whole call (17)[19]", u"R25EMW"_s, u"UA"_s, 17, 19, u"EU"_s);
    row("whole call with suffixes (17)[20]", u"RA3CQ/9/M"_s, u"UA"_s, 17, 20, u"EU"_s);
    row("whole call [9] over VE2 [4]", u"VE2FK"_s, u"VE"_s, 5, 9, u"NA"_s);
    row("listed at sea (7)", u"N2NL/MM"_s, u"K"_s, 7, 8, u"NA"_s);
    row("listed at sea (34)", u"ZL1CT/MM"_s, u"ZL"_s, 34, 60, u"OC"_s);
    row("whole call behind /P", u"4U1ITU/P"_s, u"4U1I"_s, 14, 28, u"EU"_s);
    row("whole call behind a call area", u"AA7DI/4"_s, u"KH6"_s, 31, 61, u"OC"_s);
    // Portable suffixes leave the entity as it is.
    row("/P", u"G3ABC/P"_s, u"G"_s, 14, 27, u"EU"_s);
    row("/M", u"DL1ABC/M"_s, u"DL"_s, 14, 28, u"EU"_s);
    row("/QRP", u"F5ABC/QRP"_s, u"F"_s, 14, 27, u"EU"_s);
    row("/A", u"EA4ABC/A"_s, u"EA"_s, 14, 37, u"EU"_s);
    row("/B", u"OH2ABC/B"_s, u"OH"_s, 15, 18, u"EU"_s);
    row("call area /4", u"W1AW/4"_s, u"K"_s, 5, 8, u"NA"_s);
    row("/P keeps the prefix's zones", u"VE3ABC/P"_s, u"VE"_s, 4, 4, u"NA"_s);
    row("/P/QRP", u"G3ABC/P/QRP"_s, u"G"_s, 14, 27, u"EU"_s);
    // At sea or in the air: no entity.
    none("/MM", u"W1AW/MM"_s);
    none("/AM", u"DL1ABC/AM"_s);
    none("prefix, call and /MM", u"EA8/DL1ABC/MM"_s);
    // Prefix and call in either order: the shorter part.
    row("EA8/DL1ABC", u"EA8/DL1ABC"_s, u"EA8"_s, 33, 36, u"AF"_s);
    row("DL1ABC/EA8", u"DL1ABC/EA8"_s, u"EA8"_s, 33, 36, u"AF"_s);
    row("KH6/W1AW", u"KH6/W1AW"_s, u"KH6"_s, 31, 61, u"OC"_s);
    row("F/G3ABC", u"F/G3ABC"_s, u"F"_s, 14, 27, u"EU"_s);
    row("JW/LA1ABC", u"JW/LA1ABC"_s, u"JW"_s, 40, 18, u"EU"_s);
    row("three parts, /P", u"EA8/DL1ABC/P"_s, u"EA8"_s, 33, 36, u"AF"_s);
    row("three parts, /QRP last", u"DL1ABC/EA8/QRP"_s, u"EA8"_s, 33, 36, u"AF"_s);
    row("equal lengths: the whole prefix", u"VP2M/W1AW"_s, u"VP2M"_s, 8, 11, u"NA"_s);
    row("equal lengths, other order", u"W1AW/VP2M"_s, u"VP2M"_s, 8, 11, u"NA"_s);
    row("a bare call area part", u"VE3ABC/W4"_s, u"K"_s, 5, 8, u"NA"_s);
    row("a part that is no prefix", u"DL1ABC/QRPP"_s, u"DL"_s, 14, 28, u"EU"_s);
    // Letter case and blanks.
    row("lower case", u"ea8/dl1abc"_s, u"EA8"_s, 33, 36, u"AF"_s);
    row("blanks around", u"  ea4abc\t"_s, u"EA"_s, 14, 37, u"EU"_s);
    row("lower case /p", u"kh6abc/p"_s, u"KH6"_s, 31, 61, u"OC"_s);
    row("lower case whole call", u"4u1itu"_s, u"4U1I"_s, 14, 28, u"EU"_s);
    // Nothing to find.
    none("empty", QString());
    none("blanks only", u"   "_s);
    none("no listed prefix", u"Q1ABC"_s);
    none("a slash alone", u"/"_s);
    row("longest text taken", QString(CallResolver::kMaxCallLength, u'a'), u"K"_s, 5, 8, u"NA"_s);
    none("one character too long", QString(CallResolver::kMaxCallLength + 1, u'a'));
}

void TestCallResolver::resolvesShippedCalls()
{
    QFETCH(QString, call);
    QFETCH(QString, expected);
    checkCall(*m_shipped, call, expected);
}

void TestCallResolver::readsEveryFormOfEntry_data()
{
    addCallColumns();
    row("plain prefix, the line's values", u"AA1ZZ"_s, u"AA1"_s, 14, 27, u"EU"_s);
    row("every override, written in lower case", u"AA2ZZ"_s, u"AA1"_s, 5, 6, u"AF"_s);
    row("continent of a whole call", u"AA1X/P"_s, u"AA1"_s, 14, 27, u"SA"_s);
    row("longer prefix of a later line", u"AA2BZZ"_s, u"BB"_s, 5, 8, u"NA"_s);
    row("a later line's own prefix", u"BB1ZZ"_s, u"BB"_s, 5, 8, u"NA"_s);
    none("skipped line's prefix", u"XX1ZZ"_s);
}

void TestCallResolver::readsEveryFormOfEntry()
{
    QFETCH(QString, call);
    QFETCH(QString, expected);
    // A byte order mark, CR LF and LF, blank lines, a quoted name holding a comma, a skipped
    // line that would not pass, and a prefix and a whole call listed twice: the first wins.
    const QByteArray file = "\xEF\xBB\xBF"
                            "*XX,Not an entity,,,,,,,,XX1\r\n"
                            "AA1,\"Alpha, \"\"Isles\"\"\",101,EU,14,27,1.5,-2,+1,"
                            "AA1 aa2(5)[6]{AF}<10.5/-20>~-3.5~ =aa1x/p{SA} ;\r\n"
                            " \t\r\n"
                            "\n"
                            "BB, Beta ,102,NA,5,8,0,.5,0.,BB AA1 =AA1X/P(9) AA2B;";
    const CountryFileRead read = CallResolver::fromBytes(file, u"prueba.csv"_s);
    QVERIFY2(read.ok, qPrintable(read.error));
    const std::vector<CountryEntity> &entities = read.resolver->entities();
    QCOMPARE(entities.size(), size_t(2));
    QCOMPARE(entities[0].prefix, u"AA1"_s);
    QCOMPARE(entities[0].name, u"Alpha, \"Isles\""_s);
    QCOMPARE(entities[0].dxcc, 101);
    QCOMPARE(entities[1].name, u"Beta"_s);
    QCOMPARE(entities[1].continent, u"NA"_s);
    checkCall(*read.resolver, call, expected);
}

void TestCallResolver::refusesDamagedFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("line");
    const QByteArray good = "EA,Spain,281,EU,14,37,40.32,3.43,-1.0,EA EB;\n";
    const QByteArray head = "EA,Spain,281,EU,14,37,40.32,3.43,-1.0,";
    QTest::newRow("empty file") << QByteArray() << 0;
    QTest::newRow("only skipped lines") << QByteArray("*TA1,European Turkey,390,EU,20,39,41.02,-28.97,-2.0,TA1;\n") << 0;
    QTest::newRow("nine fields") << good + "EA,Spain,281,EU,14,37,40.32,3.43,EA;\n" << 2;
    QTest::newRow("the other country file layout") << QByteArray("Spain:  14:  37:  EU:   40.32:     3.43:    -1.0:  EA:\n") << 1;
    QTest::newRow("no primary prefix") << QByteArray(",Spain,281,EU,14,37,40.32,3.43,-1.0,EA;\n") << 1;
    QTest::newRow("no name") << QByteArray("EA, ,281,EU,14,37,40.32,3.43,-1.0,EA;\n") << 1;
    QTest::newRow("control character in the name") << QByteArray("EA,Sp\x01in,281,EU,14,37,40.32,3.43,-1.0,EA;\n") << 1;
    QTest::newRow("name not UTF-8") << QByteArray("EA,Espa\xf1" "a,281,EU,14,37,40.32,3.43,-1.0,EA;\n") << 1;
    QTest::newRow("DXCC number a word") << QByteArray("EA,Spain,two,EU,14,37,40.32,3.43,-1.0,EA;\n") << 1;
    QTest::newRow("DXCC number too large") << QByteArray("EA,Spain,1000,EU,14,37,40.32,3.43,-1.0,EA;\n") << 1;
    QTest::newRow("unknown continent") << QByteArray("EA,Spain,281,EE,14,37,40.32,3.43,-1.0,EA;\n") << 1;
    QTest::newRow("continent in lower case") << QByteArray("EA,Spain,281,eu,14,37,40.32,3.43,-1.0,EA;\n") << 1;
    QTest::newRow("CQ zone 0") << QByteArray("EA,Spain,281,EU,0,37,40.32,3.43,-1.0,EA;\n") << 1;
    QTest::newRow("CQ zone 41") << QByteArray("EA,Spain,281,EU,41,37,40.32,3.43,-1.0,EA;\n") << 1;
    QTest::newRow("ITU zone 91") << QByteArray("EA,Spain,281,EU,14,91,40.32,3.43,-1.0,EA;\n") << 1;
    QTest::newRow("latitude not a number") << QByteArray("EA,Spain,281,EU,14,37,40.3.2,3.43,-1.0,EA;\n") << 1;
    QTest::newRow("UTC offset empty") << QByteArray("EA,Spain,281,EU,14,37,40.32,3.43,,EA;\n") << 1;
    QTest::newRow("list without its ;") << good + head + "EA EB\n" << 2;
    QTest::newRow("prefix with a slash") << good + head + "EA/B;\n" << 2;
    QTest::newRow("= without a call") << good + head + "EA =;\n" << 2;
    QTest::newRow("CQ zone override 41") << good + head + "EA(41);\n" << 2;
    QTest::newRow("ITU zone override 0") << good + head + "EA[0];\n" << 2;
    QTest::newRow("override not closed") << good + head + "EA(14;\n" << 2;
    QTest::newRow("unknown continent override") << good + head + "EA{XX};\n" << 2;
    QTest::newRow("position with one number") << good + head + "EA<40.3>;\n" << 2;
    QTest::newRow("UTC offset override a word") << good + head + "EA~one~;\n" << 2;
    QTest::newRow("a character after an entry") << good + head + "EA# EB;\n" << 2;
    QTest::newRow("two lists on one line") << good + head + "EA; EB;\n" << 2;
    QTest::newRow("whole call too long") << good + head + "=" + QByteArray(33, 'A') + ";\n" << 2;
    QTest::newRow("blank and skipped lines counted") << "\n" + good + "\r\n*X,Y,0,EU,1,1,0,0,0,X;\n" + head + "E!;\n" << 5;
    QTest::newRow("last line without its end") << good + head + "EA" << 2;
}

void TestCallResolver::refusesDamagedFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, line);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"CTY.CSV"_s);
    writeFile(path, bytes);
    const CountryFileRead read = CallResolver::read(path, u"CTY.CSV"_s);
    QVERIFY(!read.ok);
    QVERIFY(!read.resolver);
    QCOMPARE(read.line, line);
    QVERIFY2(read.error.contains(u"«CTY.CSV»"_s), qPrintable(read.error));
    if (line > 0)
        QVERIFY2(read.error.contains(u"Línea %1:"_s.arg(line)), qPrintable(read.error));
}

void TestCallResolver::unreadableFileIsReported()
{
    QTemporaryDir dir;
    const CountryFileRead missing = CallResolver::read(dir.filePath(u"cty.csv"_s), u"cty.csv"_s);
    QVERIFY(!missing.ok);
    QCOMPARE(missing.error, u"No se pudo leer el archivo «cty.csv»: no existe."_s);
    QVERIFY(QDir(dir.path()).mkdir(u"carpeta.csv"_s));
    const CountryFileRead folder = CallResolver::read(dir.filePath(u"carpeta.csv"_s));
    QVERIFY(!folder.ok);
    QVERIFY(!folder.resolver);
    QVERIFY2(folder.error.contains(dir.filePath(u"carpeta.csv"_s)), qPrintable(folder.error));
}

// dxcc.dat is made from cty.csv: the same entities in the same order, or one of them is stale.
void TestCallResolver::shippedFileAgreesWithDxccList()
{
    const DxccRead list = readDxccFile(QDir(m_source).filePath(u"data/dxcc.dat"_s));
    QVERIFY2(list.ok, qPrintable(list.error));
    const std::vector<CountryEntity> &entities = m_shipped->entities();
    QCOMPARE(int64_t(entities.size()), list.entries.rows());
    QCOMPARE(entities.size(), size_t(340)); // 346 lines, 6 of them marked '*'
    for (size_t i = 0; i < entities.size(); ++i) {
        const CountryEntity &e = entities[i];
        const auto cell = [&](int col) { return QString::fromUtf8(list.entries.cell(int64_t(i), col)); };
        QCOMPARE(e.prefix, cell(0));
        QCOMPARE(u"%1 - %2"_s.arg(e.cqZone).arg(e.name), cell(1));
        QCOMPARE(e.continent, cell(2));
    }
    QCOMPARE(entities.front().dxcc, 246);
    QCOMPARE(entities.front().ituZone, 28);
}

void TestCallResolver::findsTheCountryFile()
{
    QTemporaryDir dir;
    const QString fallback = findCountryFile(dir.path());
    QVERIFY2(fallback.isEmpty() || !fallback.startsWith(dir.path()), qPrintable(fallback));
    // Never the source tree's copy: a program run from its build folder must not find it.
    QVERIFY2(!fallback.startsWith(m_source), qPrintable(fallback));
    QVERIFY(QDir(dir.path()).mkdir(u"cty.csv"_s)); // a folder is not the file
    QCOMPARE(findCountryFile(dir.path()), fallback);
    QVERIFY(QDir(dir.path()).rmdir(u"cty.csv"_s));
    writeFile(dir.filePath(u"Cty.Csv"_s), "x");
    QCOMPARE(findCountryFile(dir.path()), dir.filePath(u"Cty.Csv"_s));
}

QTEST_GUILESS_MAIN(TestCallResolver)
#include "tst_callresolver.moc"
