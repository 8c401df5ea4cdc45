// The station data without windows: the UTC offset, USUARIO.CFG read and written, the clock.
#include "FileHelpers.h"
#include "station/ClockCaption.h"
#include "station/OffsetConversion.h"
#include "station/UserConfigFile.h"
#include "common/UtcConversion.h"
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <map>

using namespace Qt::StringLiterals;

namespace {
QByteArray crlfLines(const QList<QByteArray> &values)
{
    QByteArray bytes;
    for (const QByteArray &v : values)
        bytes += '"' + v + "\"\r\n";
    return bytes;
}

const QByteArray kSevenLines = crlfLines({"Argentina  ", "-3", "C\xF3rdoba", "", "Calle 5, piso 2", "5000", ""});
const QStringList kSevenValues = {u"Argentina  "_s, u"-3"_s, u"Córdoba"_s, QString(), u"Calle 5, piso 2"_s, u"5000"_s, QString()};
const QString kZeros(100000, u'0');
} // namespace

class TestStationLogic : public QObject
{
    Q_OBJECT
private slots:
    void offset_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("value");
        QTest::newRow("empty") << QString() << true << 0;
        QTest::newRow("blank, sign, word") << u" +3 word"_s << true << 3;
        QTest::newRow("double sign") << u"--3"_s << true << 0;
        QTest::newRow("tab and line feed") << u"\t-\n1 2"_s << true << -12;
        QTest::newRow("2.5 to even") << u"2.5"_s << true << 2;
        QTest::newRow("3.5 to even") << u"3.5"_s << true << 4;
        QTest::newRow("-3.5 to even") << u"-3.5"_s << true << -4;
        QTest::newRow("just above half") << u"2.500001"_s << true << 3;
        QTest::newRow("no integer digits") << u"-.6"_s << true << -1;
        QTest::newRow("exponent D") << u"1D1"_s << true << 10;
        QTest::newRow("negative exponent") << u"25e-1"_s << true << 2;
        QTest::newRow("exponent without digits") << u"7e"_s << true << 7;
        QTest::newRow("huge exponent") << u"1e999"_s << false << 0;
        QTest::newRow("huge exponent of zero") << u"0e99999999999999999999"_s << true << 0;
        QTest::newRow("huge negative exponent") << u"1e-99999999999999999999"_s << true << 0;
        QTest::newRow("hex, both letter cases") << u"&H0Af"_s << true << 175;
        QTest::newRow("octal") << u"&o17"_s << true << 15;
        QTest::newRow("hex 16-bit pattern") << u"&HFFFF"_s << true << -1;
        QTest::newRow("hex 32-bit pattern") << u"&HFFFFFFFF"_s << true << -1;
        QTest::newRow("hex above 16 bits") << u"&H10000"_s << false << 0;
        QTest::newRow("hex above 32 bits") << u"&H100000000"_s << false << 0;
        QTest::newRow("highest") << u"32767"_s << true << 32767;
        QTest::newRow("above highest") << u"32768"_s << false << 0;
        QTest::newRow("rounds out of range") << u"32767.5"_s << false << 0;
        QTest::newRow("rounds into range") << u"-32768.5"_s << true << -32768;
        QTest::newRow("twenty digits") << u"99999999999999999999"_s << false << 0;
        // A hundred thousand digits scaled back down must still be read exactly.
        QTest::newRow("long, scaled down") << u"1"_s + kZeros + u"e-100000"_s << true << 1;
        QTest::newRow("long, half scaled up") << u"0."_s + kZeros.chopped(1) + u"25e100000"_s << true << 2;
    }

    void offset()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(int, value);
        const OffsetResult result = offsetFromText(text);
        QCOMPARE(result.ok, ok);
        if (ok)
            QCOMPARE(int(result.value), value);
    }

    void read_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QString>("problem"); // none; some of its text; or all of it, ending in a full stop
        QTest::newRow("seven values") << kSevenLines << kSevenValues << QString();
        QTest::newRow("LF only") << QByteArray(kSevenLines).replace("\r\n", "\n") << kSevenValues << QString();
        QTest::newRow("CR only") << QByteArray(kSevenLines).replace("\r\n", "\r") << kSevenValues << QString();
        QTest::newRow("no line end at the end") << kSevenLines.chopped(2) << kSevenValues << QString();
        QTest::newRow("a megabyte after seven values") << kSevenLines + QByteArray(1 << 20, 'x') << kSevenValues << QString();
        QTest::newRow("four items") << crlfLines({"Chile  ", "4", "Maule", "Talca"}) << QStringList{u"Chile  "_s, u"4"_s, u"Maule"_s, u"Talca"_s} << u"El archivo USUARIO.CFG está dañado: tiene 4 de los 7 datos."_s;
        QTest::newRow("empty file") << QByteArray() << QStringList() << u"USUARIO.CFG"_s;
        QTest::newRow("a first value longer than the reader holds") << '"' + QByteArray(1 << 20, 'x') + "\"\r\n" + kSevenLines << QStringList() << u"USUARIO.CFG"_s;
        QTest::newRow("unquoted, commas separate") << QByteArray("Chile  ,3\r\nA b\rc,d\ne,f") << QStringList{u"Chile  "_s, u"3"_s, u"A b"_s, u"c"_s, u"d"_s, u"e"_s, u"f"_s} << QString();
        QTest::newRow("blanks before quotes, junk after") << QByteArray("  \"a\" junk,\t\"b\"\r\n\"c\"x\"y\r\n\"\",\"e\",f,  g  ") << QStringList{u"a"_s, u"b"_s, u"c"_s, QString(), u"e"_s, u"f"_s, u"g  "_s} << QString();
        QTest::newRow("missing closing quote stays on its line, and is reported") << QByteArray(kSevenLines).remove(12, 1) << kSevenValues << u"USUARIO.CFG"_s;
        QTest::newRow("NUL inside an item") << QByteArray(kSevenLines).replace("5000", QByteArray("50\0" "00", 5)) << kSevenValues << u"USUARIO.CFG"_s;
        QTest::newRow("NUL after the seventh item") << kSevenLines + QByteArray("\0\0", 2) << kSevenValues << QString();
    }

    void read()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, items);
        QFETCH(QString, problem);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"USUARIO.CFG"_s);
        QVERIFY(writeFile(path, bytes));
        const ConfigRead result = readUserConfig(path);
        QCOMPARE(result.items, items);
        QCOMPARE(result.damaged, !problem.isEmpty());
        if (problem.endsWith(u'.'))
            QCOMPARE(result.problem, problem);
        QVERIFY2(result.problem.contains(problem) && result.problem.isEmpty() == problem.isEmpty(), qPrintable(result.problem));
    }

    void fileFoundInAnyCaseAndReadBack()
    {
        // With both cases present the exact name wins.
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath(u"usuario.cfg"_s), kSevenLines));
        QVERIFY(writeFile(dir.filePath(u"USUARIO.CFG"_s), kSevenLines));
        QCOMPARE(findConfigFile(dir.path()), dir.filePath(u"USUARIO.CFG"_s));
        // A folder under the name is no file to read.
        QTemporaryDir other;
        QVERIFY(QDir(other.path()).mkdir(u"USUARIO.CFG"_s));
        QCOMPARE(findConfigFile(other.path()), QString());
        const ConfigRead result = readUserConfig(other.filePath(u"USUARIO.CFG"_s));
        QVERIFY(result.damaged && result.items.isEmpty());
        QVERIFY2(result.problem.contains(u"USUARIO.CFG"_s), qPrintable(result.problem));
        // Written and read back, every value stays in its place.
        const QString path = dir.filePath(u"USUARIO.CFG"_s);
        const QStringList values = {u"Venezuela "_s, u"4"_s, u"Lara \"centro\""_s, u"  Barquisimeto"_s, u"Calle 3, \"B\""_s, u"3001"_s, u"Casilla 12"_s};
        QVERIFY(hasUnstorableQuote(values[2]));
        QVERIFY(!hasUnstorableQuote(values[3]));
        QVERIFY(writeUserConfig(path, values).ok);
        const ConfigRead back = readUserConfig(path);
        QVERIFY(!back.damaged);
        QCOMPARE(back.items, (QStringList{u"Venezuela "_s, u"4"_s, u"Lara 'centro'"_s, u"  Barquisimeto"_s, u"Calle 3, 'B'"_s, u"3001"_s, u"Casilla 12"_s}));
    }

    void write_data()
    {
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<QByteArray>("bytes"); // the file afterwards; none: its folder is missing
        QTest::addColumn<QString>("said");     // in the message, besides the file name
        QTest::newRow("Windows-1252 bytes") << QStringList{u"España"_s, u"-3"_s, u"Córdoba"_s, u"Av. € 1"_s, {}, {}, {}} << true << crlfLines({"Espa\xF1" "a", "-3", "C\xF3rdoba", "Av. \x80 1", "", "", ""}) << QString();
        QTest::newRow("quote and line breaks replaced") << QStringList{u"Chile"_s, u"-4"_s, u"\"Sur\""_s, u"a\r\nb\nc\rd"_s, {}, {}, {}} << true << crlfLines({"Chile", "-4", "'Sur'", "a b c d", "", "", ""}) << QString();
        QTest::newRow("beyond the code page") << QStringList{u"Polonia"_s, u"-1"_s, {}, u"Łódź"_s, {}, {}, {}} << false << kSevenLines + kSevenLines << u"Ciudad"_s;
        QTest::newRow("a NUL") << QStringList{u"Chile"_s, u"-4"_s, {}, {}, {}, {}, u"sin"_s + QChar(0) + u"nada"_s} << false << kSevenLines + kSevenLines << u"Casilla de Correo"_s;
        QTest::newRow("into a missing folder") << QStringList(7) << false << QByteArray() << QString();
    }

    // An older, longer file is replaced whole; a refused one stays, and the message names it.
    void write()
    {
        QFETCH(QStringList, values);
        QFETCH(bool, saved);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, said);
        QTemporaryDir dir;
        const QString path = (bytes.isEmpty() ? dir.filePath(u"missing"_s) : dir.path()) + u"/USUARIO.CFG"_s;
        if (!bytes.isEmpty())
            QVERIFY(writeFile(path, kSevenLines + kSevenLines));
        const WriteResult result = writeUserConfig(path, values);
        QCOMPARE(result.ok, saved);
        if (!saved)
            QVERIFY2(result.error.startsWith(u"No se pudo guardar el archivo USUARIO.CFG: "_s) && result.error.contains(said), qPrintable(result.error));
        if (bytes.isEmpty())
            QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
        else
            QCOMPARE(readAll(path), bytes);
    }

    void clock_data()
    {
        QTest::addColumn<int>("hour");
        QTest::addColumn<int>("minute");
        QTest::addColumn<int>("difUtc");
        QTest::addColumn<QString>("local");
        QTest::addColumn<QString>("utc");
        QTest::newRow("afternoon +3") << 14 << 3 << 3 << u"14:03"_s << u"17:03"_s;
        QTest::newRow("minute 9") << 23 << 9 << 1 << u"23:09"_s << u"0:09"_s;
        QTest::newRow("minute 10") << 12 << 10 << -12 << u"12:10"_s << u"0:10"_s;
        QTest::newRow("minute 59, -24") << 23 << 59 << -24 << u"23:59"_s << u"23:59"_s;
        QTest::newRow("+30 corrected once") << 20 << 0 << 30 << u"20:00"_s << u"26:00"_s;
        QTest::newRow("-30 corrected once") << 2 << 0 << -30 << u"2:00"_s << u"-4:00"_s;
    }

    void clock()
    {
        QFETCH(int, hour);
        QFETCH(int, minute);
        QFETCH(int, difUtc);
        QFETCH(QString, local);
        QFETCH(QString, utc);
        QCOMPARE(clockCaption(hour, minute), local);
        QCOMPARE(clockCaption(utcHour(hour, difUtc), minute), utc);
    }

    // Each zone's conversion asked in date order and back again, so answers come both from its
    // remembered span and afresh. Repeated hours take the platform's choice: either reading.
    void utcConversion()
    {
        using Fit = UtcConversion::Fit;
        struct Row { const char *zone, *local, *utc, *orUtc; Fit fit; };
        const Row rows[] = {
            {"Europe/Madrid", "2024-01-15T12:00:00", "2024-01-15T11:00:00Z", "", Fit::Exact},
            {"Europe/Madrid", "2024-03-31T00:30:00", "2024-03-30T23:30:00Z", "", Fit::Exact},
            {"Europe/Madrid", "2024-03-31T02:30:00", "2024-03-31T01:30:00Z", "", Fit::Skipped},
            {"Europe/Madrid", "2024-03-31T03:30:00", "2024-03-31T01:30:00Z", "", Fit::Exact},
            {"Europe/Madrid", "2024-07-15T12:00:00", "2024-07-15T10:00:00Z", "", Fit::Exact},
            {"Europe/Madrid", "2024-10-27T02:30:00", "2024-10-27T00:30:00Z", "2024-10-27T01:30:00Z", Fit::Repeated},
            {"Europe/Madrid", "2024-10-27T03:30:00", "2024-10-27T02:30:00Z", "", Fit::Exact},
            {"America/Argentina/Buenos_Aires", "2024-01-15T21:30:00", "2024-01-16T00:30:00Z", "", Fit::Exact},
            {"America/Argentina/Buenos_Aires", "2024-07-15T12:00:00", "2024-07-15T15:00:00Z", "", Fit::Exact},
            {"Asia/Kolkata", "2024-07-15T03:00:00", "2024-07-14T21:30:00Z", "", Fit::Exact},
        };
        std::map<QByteArray, UtcConversion> zones;
        for (int pass = 0; pass < 2; ++pass) {
            for (int k = 0; k < int(std::size(rows)); ++k) {
                const Row &row = rows[pass == 0 ? k : int(std::size(rows)) - 1 - k];
                auto known = zones.find(row.zone);
                if (known == zones.end())
                    known = zones.emplace(row.zone, UtcConversion::zone(QTimeZone(row.zone))).first;
                const QDateTime local = QDateTime::fromString(QString::fromLatin1(row.local), Qt::ISODate);
                Fit fit = Fit::Exact;
                const QDateTime utc = known->second.toUtc(local.date(), local.time(), &fit);
                const auto is = [&utc](const char *iso) { return utc == QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODate); };
                QVERIFY2(is(row.utc) || is(row.orUtc), row.local);
                QVERIFY2(fit == row.fit, row.local);
                if (fit == Fit::Exact)
                    QCOMPARE(known->second.toLocal(utc).toString(u"yyyy-MM-ddTHH:mm:ss"_s), QLatin1String(row.local));
            }
        }
        const QDate day(2024, 7, 15);
        QCOMPARE(UtcConversion::fixedHours(3).toUtc(day, QTime(22, 30)), QDateTime(day.addDays(1), QTime(1, 30), QTimeZone::utc()));
        QCOMPARE(UtcConversion::fixedHours(3).toLocal(QDateTime(day, QTime(1, 30), QTimeZone::utc())).time(), QTime(22, 30));
        QCOMPARE(UtcConversion().toUtc(day, QTime(22, 30)).time(), QTime(22, 30));
    }
};

QTEST_GUILESS_MAIN(TestStationLogic)
#include "tst_station_logic.moc"
