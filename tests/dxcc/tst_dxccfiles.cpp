// dxcc.dat and cty.csv: real call signs against the shipped cty.csv, every expected value read
// off that file by hand; damaged files refused at their line; where the files are found; and the
// shipped files agree. Corners the fuzz corpus pins down are replayed by tst_savedinputs.
#include "FileHelpers.h"
#include "dxcc/CallKeys.h"
#include "dxcc/CallResolver.h"
#include "dxcc/DxccFile.h"
#include "dxcc/EntityNames.h"
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <unordered_map>

using namespace Qt::StringLiterals;

namespace {
QStringList cellsOf(const GridStore &store)
{
    QStringList cells;
    for (int64_t r = 0; r < store.rows(); ++r)
        for (int c = 0; c < store.cols(); ++c)
            cells << QString::fromUtf8(store.cell(r, c));
    return cells;
}

// One resolved call as the table states it: the entity by its primary prefix.
QString describe(const CallResolver &resolver, const CallEntity &e)
{
    if (!e.found())
        return u"(none)"_s;
    return u"%1 CQ %2 ITU %3 %4"_s.arg(resolver.entities().at(size_t(e.entity)).prefix)
        .arg(e.cqZone).arg(e.ituZone).arg(QLatin1StringView(e.continent));
}

void row(const char *name, const QString &call, const QString &prefix, int cq, int itu, const QString &continent)
{
    QTest::newRow(name) << call << u"%1 CQ %2 ITU %3 %4"_s.arg(prefix).arg(cq).arg(itu).arg(continent);
}
} // namespace

class TestDxccFiles : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_source;
    std::shared_ptr<const CallResolver> m_shipped;

private slots:
    void initTestCase()
    {
        m_source = qEnvironmentVariable("ORVANEL_SOURCE_DIR");
        if (m_source.isEmpty())
            QSKIP("ORVANEL_SOURCE_DIR is not set: run through ctest");
        const CountryFileRead read = CallResolver::read(QDir(m_source).filePath(u"data/cty.csv"_s));
        QVERIFY2(read.ok && read.resolver, qPrintable(read.error));
        m_shipped = read.resolver;
    }

    void readsDxccFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<int>("line"); // of the damage; 0 when the file is read
        const QByteArray entry("\"EA\"\r\n\"14 - Spain\"\r\n\"EU\"\r\n");
        const QStringList eaCells{u"EA"_s, u"14"_s, u"EU"_s};
        QTest::newRow("no entries, no line end") << QByteArray("0") << QStringList() << 0;
        QTest::newRow("two characters give an empty cell") << QByteArray("1\r\n\"\"\r\n\"\"\r\n\"EU\"\r\n") << QStringList{{}, {}, u"EU"_s} << 0;
        QTest::newRow("blanks inside are kept") << QByteArray("1\r\n\"  EA \"\r\n\" 14\"\r\n\"EU \"\r\n") << QStringList{u"  EA "_s, u" 14"_s, u"EU "_s} << 0;
        QTest::newRow("enclosing characters not looked at") << QByteArray("1\r\n'EA'\r\nx14y\r\n\"E\"U\"\r\n") << QStringList{u"EA"_s, u"14"_s, u"E\"U"_s} << 0;
        QTest::newRow("lone CR ends lines") << QByteArray("1\r\"EA\"\r\"14\"\r\n\"EU\"\r") << eaCells << 0;
        QTest::newRow("count with blanks around, no last line end") << QByteArray(" 1 \r\n\"EA\"\r\n\"14\"\r\n\"EU\"") << eaCells << 0;
        QTest::newRow("windows-1252 text, lines after the last entry") << QByteArray("1\r\n\"EA\"\r\n\"14 - Espa\xf1" "a \x80\"\r\n\"EU\"\r\nx\r\n\r\nbasura")
                                                                       << QStringList{u"EA"_s, u"14 - España €"_s, u"EU"_s} << 0;
        QTest::newRow("empty file") << QByteArray() << QStringList() << 1;
        QTest::newRow("count and text") << "1 entrada\r\n" + entry << QStringList() << 1;
        // Counts the file is far too small for: refused before any room is made for them.
        QTest::newRow("absurd count") << "500000000\r\n" + entry << QStringList() << 1;
        QTest::newRow("count beyond any number") << "99999999999999999999999999\r\n" + entry << QStringList() << 1;
        QTest::newRow("one entry short of its count") << "2\r\n" + entry + entry.left(6) << QStringList() << 6;
        QTest::newRow("one-character value line") << "2\r\n" + entry + "\"F\"\r\n\"14\"\r\nE\r\n" << QStringList() << 7;
    }
    void readsDxccFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, cells);
        QFETCH(int, line);
        const QString path = m_dir.filePath(u"DXCC.DAT"_s);
        QVERIFY(writeFile(path, bytes));
        const DxccRead read = readDxccFile(path);
        QVERIFY2(read.ok == (line == 0), qPrintable(read.error));
        QCOMPARE(read.entries.cols(), 3);
        QCOMPARE(cellsOf(read.entries), cells); // nothing half-read from a damaged file
        QCOMPARE(read.line, qint64(line));
        if (line > 0)
            QVERIFY2(read.error.contains(u"DXCC.DAT"_s) && read.error.contains(u"línea %1"_s.arg(line)), qPrintable(read.error));
    }

    void resolvesShippedCalls_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("expected"); // as describe() gives it
        // Ordinary calls: the entity's own prefix or another one it lists.
        row("Spain", u"EA4ABC"_s, u"EA"_s, 14, 37, u"EU"_s);
        row("Scotland, GM longer than G", u"GM4ABC"_s, u"GM"_s, 14, 27, u"EU"_s);
        row("Ukraine, UR longer than U", u"UR5ABC"_s, u"UR"_s, 16, 29, u"EU"_s);
        row("Israel", u"4X1AB"_s, u"4X"_s, 20, 39, u"AS"_s);
        row("United States", u"W1AW"_s, u"K"_s, 5, 8, u"NA"_s);
        row("Cuba by a listed prefix", u"CO2ABC"_s, u"CM"_s, 8, 11, u"NA"_s);
        row("Italy by 4U", u"4U1ABC"_s, u"I"_s, 15, 28, u"EU"_s);
        row("Japan", u"JA1ABC"_s, u"JA"_s, 25, 45, u"AS"_s);
        row("South Africa", u"ZS6ABC"_s, u"ZS"_s, 38, 57, u"AF"_s);
        row("Poland", u"SP5ABC"_s, u"SP"_s, 15, 28, u"EU"_s);
        row("Denmark", u"OZ1ABC"_s, u"OZ"_s, 14, 18, u"EU"_s);
        row("Greece", u"SV1ABC"_s, u"SV"_s, 20, 28, u"EU"_s);
        row("Jordan", u"JY4ABC"_s, u"JY"_s, 20, 39, u"AS"_s);
        row("Mexico", u"XE1ABC"_s, u"XE"_s, 6, 10, u"NA"_s);
        row("Chile", u"CE3ABC"_s, u"CE"_s, 12, 14, u"SA"_s);
        // The longest prefix wins over the mainland's.
        row("Canary Islands", u"EA8ABC"_s, u"EA8"_s, 33, 36, u"AF"_s);
        row("Christmas Island, VK9X over VK9", u"VK9XAB"_s, u"VK9X"_s, 29, 54, u"OC"_s);
        row("San Andres by HK0", u"HK0ABC"_s, u"HK0/a"_s, 7, 11, u"NA"_s);
        // Prefixes with their own zones.
        row("K6 (3)[6]", u"K6ABC"_s, u"K"_s, 3, 6, u"NA"_s);
        row("VE2 [4] only", u"VE2ABC"_s, u"VE"_s, 5, 4, u"NA"_s);
        row("VO2 (2) only", u"VO2ABC"_s, u"VE"_s, 2, 9, u"NA"_s);
        // Lines marked '*' are skipped: their calls fall to the DXCC entity's own prefixes.
        row("Sicily is Italy", u"IT9ABC"_s, u"I"_s, 15, 28, u"EU"_s);
        row("Vienna centre is Austria", u"4U1VIC"_s, u"OE"_s, 15, 28, u"EU"_s);
        // Whole call signs win over prefixes.
        row("ITU HQ", u"4U1ITU"_s, u"4U1I"_s, 14, 28, u"EU"_s);
        row("Conway Reef", u"3D2CR"_s, u"3D2/c"_s, 32, 56, u"OC"_s);
        row("Rotuma, listed with /P", u"3D2AG/P"_s, u"3D2/r"_s, 32, 56, u"OC"_s);
        row("the same call without /P is Fiji", u"3D2AG"_s, u"3D2"_s, 32, 56, u"OC"_s);
        row("listed with /1, not Balearic", u"EA6QB/1"_s, u"EA"_s, 14, 37, u"EU"_s);
        row("the same call alone is Balearic", u"EA6QB"_s, u"EA6"_s, 14, 37, u"EU"_s);
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
        row("India /P", u"VU2ABC/P"_s, u"VU"_s, 22, 41, u"AS"_s);
        row("Brazil /M", u"PY2ABC/M"_s, u"PY"_s, 11, 15, u"SA"_s);
        row("Switzerland /P", u"HB9ABC/P"_s, u"HB"_s, 14, 28, u"EU"_s);
        row("Belgium /QRP", u"ON4ABC/QRP"_s, u"ON"_s, 14, 27, u"EU"_s);
        row("call area /4", u"W1AW/4"_s, u"K"_s, 5, 8, u"NA"_s);
        row("/P keeps the prefix's zones", u"VE3ABC/P"_s, u"VE"_s, 4, 4, u"NA"_s);
        row("/P/QRP", u"G3ABC/P/QRP"_s, u"G"_s, 14, 27, u"EU"_s);
        // At sea or in the air: no entity.
        QTest::newRow("/MM") << u"W1AW/MM"_s << u"(none)"_s;
        QTest::newRow("/AM") << u"DL1ABC/AM"_s << u"(none)"_s;
        QTest::newRow("prefix, call and /MM") << u"EA8/DL1ABC/MM"_s << u"(none)"_s;
        // Prefix and call in either order: the shorter part.
        row("EA8/DL1ABC", u"EA8/DL1ABC"_s, u"EA8"_s, 33, 36, u"AF"_s);
        row("DL1ABC/EA8", u"DL1ABC/EA8"_s, u"EA8"_s, 33, 36, u"AF"_s);
        row("F/G3ABC", u"F/G3ABC"_s, u"F"_s, 14, 27, u"EU"_s);
        row("PA/ON4ABC", u"PA/ON4ABC"_s, u"PA"_s, 14, 27, u"EU"_s);
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
        QTest::newRow("empty") << QString() << u"(none)"_s;
        QTest::newRow("blanks only") << u"   "_s << u"(none)"_s;
        QTest::newRow("no listed prefix") << u"Q1ABC"_s << u"(none)"_s;
        QTest::newRow("a slash alone") << u"/"_s << u"(none)"_s;
        row("longest text taken", QString(CallResolver::kMaxCallLength, u'a'), u"K"_s, 5, 8, u"NA"_s);
        QTest::newRow("one character too long") << QString(CallResolver::kMaxCallLength + 1, u'a') << u"(none)"_s;
    }
    // Both ways in, the UTF-16 text of the table and the UTF-8 bytes of a log, must agree.
    void resolvesShippedCalls()
    {
        QFETCH(QString, call);
        QFETCH(QString, expected);
        const QByteArray utf8 = call.toUtf8();
        QCOMPARE(describe(*m_shipped, m_shipped->resolve(QStringView(call))), expected);
        QCOMPARE(describe(*m_shipped, m_shipped->resolve(std::string_view(utf8.constData(), size_t(utf8.size())))), expected);
    }
    void refusesDamagedCountryFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("line");
        const QByteArray good = "EA,Spain,281,EU,14,37,40.32,3.43,-1.0,EA EB;\n";
        const QByteArray head = "EA,Spain,281,EU,14,37,40.32,3.43,-1.0,";
        const auto bad = [](const char *name, const QByteArray &fields) {
            QTest::newRow(name) << "EA,Spain," + fields + ";\n" << 1;
        };
        QTest::newRow("empty file") << QByteArray() << 0;
        QTest::newRow("no primary prefix") << QByteArray(",Spain,281,EU,14,37,40.32,3.43,-1.0,EA;\n") << 1;
        QTest::newRow("no name") << QByteArray("EA, ,281,EU,14,37,40.32,3.43,-1.0,EA;\n") << 1;
        QTest::newRow("control character in the name") << QByteArray("EA,Sp\x01in,281,EU,14,37,40.32,3.43,-1.0,EA;\n") << 1;
        bad("DXCC number a word", "two,EU,14,37,40.32,3.43,-1.0,EA");
        bad("DXCC number too large", "1000,EU,14,37,40.32,3.43,-1.0,EA");
        bad("unknown continent", "281,EE,14,37,40.32,3.43,-1.0,EA");
        bad("CQ zone 0", "281,EU,0,37,40.32,3.43,-1.0,EA");
        bad("ITU zone 91", "281,EU,14,91,40.32,3.43,-1.0,EA");
        bad("latitude not a number", "281,EU,14,37,40.3.2,3.43,-1.0,EA");
        bad("UTC offset empty", "281,EU,14,37,40.32,3.43,,EA");
        QTest::newRow("= without a call") << good + head + "EA =;\n" << 2;
        QTest::newRow("CQ zone override 41") << good + head + "EA(41);\n" << 2;
        QTest::newRow("ITU zone override 0") << good + head + "EA[0];\n" << 2;
        QTest::newRow("unknown continent override") << good + head + "EA{XX};\n" << 2;
        QTest::newRow("position with one number") << good + head + "EA<40.3>;\n" << 2;
        QTest::newRow("UTC offset override a word") << good + head + "EA~one~;\n" << 2;
        QTest::newRow("a character after an entry") << good + head + "EA# EB;\n" << 2;
        QTest::newRow("whole call too long") << good + head + "=" + QByteArray(33, 'A') + ";\n" << 2;
        QTest::newRow("blank and skipped lines counted") << "\n" + good + "\r\n*X,Y,0,EU,1,1,0,0,0,X;\n" + head + "E!;\n" << 5;
        QTest::newRow("last line without its end") << good + head + "EA" << 2;
    }
    void refusesDamagedCountryFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, line);
        const QString path = m_dir.filePath(u"CTY.CSV"_s);
        QVERIFY(writeFile(path, bytes));
        const CountryFileRead read = CallResolver::read(path, u"CTY.CSV"_s);
        QVERIFY(!read.ok && !read.resolver);
        QCOMPARE(read.line, line);
        QVERIFY2(read.error.contains(u"«CTY.CSV»"_s) && (line == 0 || read.error.contains(u"Línea %1:"_s.arg(line))), qPrintable(read.error));
    }

    void findsTheFilesInAnyCase()
    {
        QTemporaryDir dir;
        const QString fallback = findCountryFile(dir.path());
        QVERIFY2(fallback.isEmpty() || !fallback.startsWith(dir.path()), qPrintable(fallback));
        // Never the source tree's copy: a program run from its build folder must not find it.
        QVERIFY2(!fallback.startsWith(m_source), qPrintable(fallback));
        QCOMPARE(findDxccFile(dir.path()), QString());
        QDir folder(dir.path());
        QVERIFY(folder.mkdir(u"cty.csv"_s) && folder.mkdir(u"dxcc.dat"_s)); // a folder is not the file
        QCOMPARE(findCountryFile(dir.path()), fallback);
        QCOMPARE(findDxccFile(dir.path()), QString());
        QVERIFY(folder.rmdir(u"cty.csv"_s) && folder.rmdir(u"dxcc.dat"_s));
        QVERIFY(writeFile(dir.filePath(u"Cty.Csv"_s), "x") && writeFile(dir.filePath(u"DXCC.DAT"_s), "0\r\n"));
        QCOMPARE(findCountryFile(dir.path()), dir.filePath(u"Cty.Csv"_s));
        QCOMPARE(findDxccFile(dir.path()), dir.filePath(u"DXCC.DAT"_s));
        QVERIFY(writeFile(dir.filePath(u"dxcc.dat"_s), "0\r\n")); // the exact name wins
        QCOMPARE(findDxccFile(dir.path()), dir.filePath(u"dxcc.dat"_s));
    }

    // dxcc.dat is made from cty.csv: the same entities in the same order, or one of them is stale;
    // and it is written as the program's own files are.
    // Twenty countries named by the CLDR, then twenty entities named by the program's own table.
    void namesInSpanish()
    {
        const QString names =
            u"281 España,50 México,108 Brasil,100 Argentina,291 Estados Unidos,1 Canadá,339 Japón,230 Alemania,"
            u"227 Francia,248 Italia,136 Perú,88 Panamá,209 Bélgica,287 Suiza,462 Sudáfrica,170 Nueva Zelanda,"
            u"263 Países Bajos,137 Corea del Sur,141 Islas Malvinas,478 Egipto,"
            u"54 Rusia europea,15 Rusia asiática,21 Islas Baleares,29 Islas Canarias,32 Ceuta y Melilla,223 Inglaterra,"
            u"279 Escocia,265 Irlanda del Norte,294 Gales,6 Alaska,110 Hawái,47 Isla de Pascua,71 Islas Galápagos,"
            u"149 Azores,225 Cerdeña,214 Córcega,40 Creta,126 Kaliningrado,321 Hong Kong,246 Soberana Orden Militar de Malta"_s;
        for (const QString &item : names.split(u',')) {
            const int dxcc = item.section(u' ', 0, 0).toInt();
            const auto &all = m_shipped->entities();
            const auto entity = std::find_if(all.begin(), all.end(), [dxcc](const CountryEntity &e) { return e.dxcc == dxcc; });
            const QString name = entity != all.end() ? entityName(*entity) : QString();
            QVERIFY2(name == item.section(u' ', 1), qPrintable(item + u": "_s + name));
        }
    }

    void shippedFilesAgree()
    {
        const QString path = QDir(m_source).filePath(u"data/dxcc.dat"_s);
        QList<QByteArray> lines = readAll(path).split('\n');
        QVERIFY(lines.takeLast().isEmpty()); // the last line is ended too
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QByteArray &line = lines.at(i);
            QVERIFY2(line.endsWith('\r') && line.count('\r') == 1, line.constData());
            QVERIFY2(i == 0 || (line.size() >= 3 && line.startsWith('"') && line.count('"') == 2 && line.endsWith("\"\r")), line.constData());
        }
        QCOMPARE(lines.first(), QByteArray("340\r")); // 346 lines in cty.csv, 6 of them marked '*'
        QCOMPARE(lines.size(), 1 + 3 * 340);

        const DxccRead list = readDxccFile(path);
        QVERIFY2(list.ok, qPrintable(list.error));
        const std::vector<CountryEntity> &entities = m_shipped->entities();
        QCOMPARE(int64_t(entities.size()), list.entries.rows());
        const QStringList cells = cellsOf(list.entries);
        QStringList prefixes;
        for (size_t i = 0; i < entities.size(); ++i) {
            const CountryEntity &e = entities[i];
            prefixes << e.prefix;
            QCOMPARE(QStringList({e.prefix, u"%1 - %2"_s.arg(e.cqZone).arg(e.name), e.continent}), cells.mid(3 * qsizetype(i), 3));
        }
        QCOMPARE(prefixes.removeDuplicates(), 0); // one entry per entity
        QCOMPARE(entities.front().dxcc, 246);
    }

    // Lookups trust the hash of a short key without reading the call's text: two keys of one
    // class may never share one. Every key of up to three characters; keys of four to seven
    // that differ in their last character or their length; keys of eight that differ in one.
    void shortCallKeysNeverShareAHash()
    {
        const std::string symbols = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/ ";
        std::vector<std::string> keys{""};
        for (size_t from = 0, length = 1; length <= 3; ++length) {
            const size_t to = keys.size();
            for (size_t k = from; k < to; ++k) {
                for (char c : symbols)
                    keys.push_back(keys[k] + c);
            }
            from = to;
        }
        for (size_t length = 4; length <= 7; ++length) {
            for (char c : symbols)
                keys.push_back(std::string("EA8ABC").substr(0, length - 1) + c);
        }
        for (size_t at = 0; at < 8; ++at) {
            for (char c : symbols) {
                std::string key = "EA1ABC/P";
                key[at] = c;
                keys.push_back(key);
            }
        }
        std::unordered_map<uint64_t, std::string> seen[3];
        for (const std::string &key : keys) {
            const uint8_t kind = callkey::exactClass(key);
            QVERIFY2(kind == (key.size() == 8 ? 2 : 1), key.c_str());
            const auto [at, added] = seen[kind].emplace(callkey::hash(key), key);
            QVERIFY2(added || at->second == key,
                     qPrintable(u"«%1» and «%2»"_s.arg(QString::fromStdString(key), QString::fromStdString(at->second))));
        }
        for (const char *other : {"EA8/K1ABC", "K1\x01" "AB"})
            QCOMPARE(callkey::exactClass(other), uint8_t(0));
    }
};

QTEST_GUILESS_MAIN(TestDxccFiles)
#include "tst_dxccfiles.moc"
