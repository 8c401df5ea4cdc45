// Reading ADIF written by other programs, made by hand from the standard: headers or none,
// letter case, type indicators, line ends, lengths in bytes or characters, the code page,
// _INTL fields, fields no column takes, UTC to local time; and every kind of refused file.
#include "AdifTables.h"
#include "FileHelpers.h"
#include "adif/AdifImport.h"
#include "adif/AdifReaders.h"
#include "adif/ByteSearch.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

AdifImportOptions importOptions(int difUtc)
{
    AdifImportOptions o;
    o.utc = UtcConversion::fixedHours(difUtc);
    o.locale = QLocale(QLocale::Spanish, QLocale::Argentina); // d/M/yy and HH:mm:ss
    return o;
}

// "row.column=text" for the cells a case looks at (rows from 0, columns as in the table).
QStringList cellsNamed(const AdifRead &read, const QStringList &which)
{
    QStringList out;
    for (const QString &item : which) {
        const QString where = item.section(u'=', 0, 0);
        const int64_t row = where.section(u'.', 0, 0).toLongLong();
        const int col = where.section(u'.', 1, 1).toInt();
        const std::string_view cell = read.rows.cell(row, col);
        out << where + u'=' + QString::fromUtf8(cell.data(), qsizetype(cell.size()));
    }
    return out;
}

// The fields left out, then the rows without a call sign and the cells a log book cannot hold.
QString findingsText(const AdifRead &read)
{
    QStringList counts;
    for (const auto &[name, count] : read.leftOut)
        counts << name + u'=' + QString::number(count);
    QString text = counts.join(u',');
    QStringList rows, cells;
    for (int64_t row : read.firstWithoutCall)
        rows << QString::number(row);
    for (const auto &[row, col] : read.firstUnstorable)
        cells << u"%1.%2"_s.arg(row).arg(col);
    if (read.withoutCall > 0)
        text += u" no call %1: %2"_s.arg(read.withoutCall).arg(rows.join(u','));
    if (read.unstorable > 0)
        text += u" unstorable %1: %2"_s.arg(read.unstorable).arg(cells.join(u','));
    return text;
}

// Everything a read gives, as text to compare.
QString everything(const AdifRead &read)
{
    QStringList rows;
    for (int64_t r = 0; r < read.rows.rows(); ++r) {
        QStringList cells;
        for (int c = 1; c < read.rows.cols(); ++c) {
            const std::string_view cell = read.rows.cell(r, c);
            cells << QString::fromUtf8(cell.data(), qsizetype(cell.size()));
        }
        rows << cells.join(u'|');
    }
    return u"ok=%1 line=%2 %3\n%4\nhash=%5 size=%6\n"_s.arg(read.ok).arg(read.line).arg(read.error, findingsText(read))
               .arg(read.hash).arg(read.size)
           + rows.join(u'\n');
}

} // namespace

class TestAdifRead : public QObject
{
    Q_OBJECT
private slots:
    void otherPrograms_data();
    void otherPrograms();
    void throughAFile();
    void splitAnywhere_data();
    void splitAnywhere();
    void splitAroundHashPieces();
    void refused_data();
    void refused();
    void everyByteSearch_data();
    void everyByteSearch();
};

void TestAdifRead::otherPrograms_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("difUtc");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<QString>("findings");

    // Columns: 1 call, 2 name, 3 QTH, 4 province, 8 RST, 9 date, 10 time, 11 frequency,
    // 12 mode, 13 route, 14 sent, 15 received, 16 comment.
    QTest::newRow("header, CR LF, UTC to local")
        << QByteArray("Exportado por otro programa\r\n<ADIF_VER:5>3.1.4 <PROGRAMID:4>PRUE <EOH>\r\n"
                      "<CALL:6>EA4XYZ <QSO_DATE:8>20010213 <TIME_ON:6>015230 <FREQ:6>14.200 <BAND:3>20m "
                      "<MODE:3>SSB <SUBMODE:3>USB <QSL_SENT:1>Y <QSL_RCVD:1>R <QSL_SENT_VIA:1>B <EOR>\r\n")
        << 3 << 1
        << QStringList{u"0.1=EA4XYZ"_s, u"0.9=12/2/01"_s, u"0.10=22:52:30"_s, u"0.11=14.200"_s, u"0.12=USB"_s,
                       u"0.13=BURO"_s, u"0.14=SI"_s, u"0.15=NO"_s}
        << u"BAND=1"_s;
    QTest::newRow("no header, lower case, type indicators, LF, last record without EOR")
        << QByteArray("<call:5>K1ABC<qso_date:8:d>20231231<time_on:4:T>2330<mode:2>CW<rst_sent:3>599<eor>\n"
                      "<Call:5>W2XYZ <Qso_Date:8>20240101 <Time_On:4>0030 <qsl_sent_via:1>m <qsl_via:5>W3HNK\n")
        << -2 << 2
        << QStringList{u"0.1=K1ABC"_s, u"0.9=1/1/24"_s, u"0.10=01:30:00"_s, u"0.12=CW"_s, u"0.8=599"_s,
                       u"1.1=W2XYZ"_s, u"1.9=1/1/24"_s, u"1.10=02:30:00"_s, u"1.13=W3HNK"_s}
        << QString();
    QTest::newRow("UTF-8 lengths in bytes and in characters")
        << QByteArray("<EOH><CALL:5>EA1AA <NAME:5>Jos\xC3\xA9 <QTH:7>C\xC3\xB3rdoba<EOR>"
                      "<CALL:5>EA2BB <NAME:4>Jos\xC3\xA9<QTH:4>Le\xC3\xB3n \r\n<EOR>")
        << 0 << 2 << QStringList{u"0.2=José"_s, u"0.3=Córdoba"_s, u"1.2=José"_s, u"1.3=León"_s} << QString();
    QTest::newRow("Windows-1252 file")
        << QByteArray("<CALL:5>LU2CD <NAME:7>Mu\xF1oz \x80 <COMMENT:9>se\xF1" "al \x93" "A\x94<EOR>")
        << 0 << 1 << QStringList{u"0.2=Muñoz €"_s, u"0.16=señal “A”"_s} << QString();
    QTest::newRow("_INTL beside the plain field")
        << QByteArray("<CALL:5>EA3CC <NAME:4>Inigo <NAME_INTL:7>\xC3\x8D\xC3\xB1igo <QTH:4>Vigo "
                      "<COMMENT:2>ok <NOTES:10>uno\r\ndos\r\n<EOR>")
        << 0 << 1 << QStringList{u"0.2=Íñigo"_s, u"0.3=Vigo"_s, u"0.16=ok\nuno\ndos\n"_s} << QString();
    QTest::newRow("fields without a column are counted, others' own fields are not")
        << QByteArray("<USERDEF1:3:N>EPC <EOH>"
                      "<CALL:5>DL1AB <GRIDSQUARE:4>JO31 <TX_PWR:3>100 <APP_LOGGER_X:1>1 <EPC:3>123 "
                      "<ADDRESS:4>Bonn <STATE:2>NW <EOR>"
                      "<CALL:5>DL2CD <gridsquare:6>JO31AA <QSL_VIA:5>DL9XX <EOR>"
                      "<CALL:5>DL3EF <QSL_SENT_VIA:1>B <QSL_VIA:5>DL8XX <EOR>")
        << 0 << 3 << QStringList{u"0.4=NW"_s, u"1.1=DL2CD"_s, u"1.13=DL9XX"_s, u"2.13=BURO"_s}
        << u"ADDRESS=1,GRIDSQUARE=2,QSL_VIA=1,TX_PWR=1"_s;
    // Another log book's header: names, copyright, e-mail addresses and links in angle brackets.
    QTest::newRow("free text of a header")
        << QByteArray("Otro libro 2.1\r\n(C) 2024 Ana P\xC3\xA9rez <ana@example.org>, <https://example.org/log>\r\n"
                      "a < b, <> y <PROGRAMID:3>xyz en el texto <:1>, <3:x>\r\n<ADIF_VER:5>3.1.4 <eoh>\r\n"
                      "<CALL:5>EA4AA <QSO_DATE:8>20240101 <EOR>\r\n")
        << 0 << 1 << QStringList{u"0.1=EA4AA"_s, u"0.9=1/1/24"_s} << QString();
    QTest::newRow("Orvanel's own fields win over the standard ones")
        << QByteArray("<CALL:5>EA4AA <QSO_DATE:8>20010213 <TIME_ON:4>0152 <FREQ:5>7.050 <BAND:3>40m "
                      "<APP_ORVANEL_FECHA:10>12/02/2001 <APP_ORVANEL_HORA:8>22:52:30 <APP_ORVANEL_FRECUENCIA:4>7050 "
                      "<app_orvanel_ciudad:6>Getafe <APP_ORVANEL_ENVIADA:0> <EOR>")
        << 3 << 1
        << QStringList{u"0.9=12/02/2001"_s, u"0.10=22:52:30"_s, u"0.11=7050"_s, u"0.5=Getafe"_s, u"0.14="_s}
        << QString();
    QTest::newRow("a confirmation report: a tag without a length after the last record ends the data")
        << QByteArray("<PROGRAMID:4>LoTW <eoh>\r\n<CALL:5>K1ABC <QSO_DATE:8>20240101 <TIME_ON:4>1200 <QSL_RCVD:1>Y "
                      "<APP_LoTW_MODEGROUP:4>DATA <eor>\r\n\r\n<APP_LoTW_EOF>\r\n<CALL:3>K1X tail")
        << 0 << 1 << QStringList{u"0.1=K1ABC"_s, u"0.15=SI"_s} << QString();
    QTest::newRow("blanks around call, date, time, frequency, band and mode dropped; around a name kept")
        << QByteArray("<CALL:9>MS0INT/P <QSO_DATE:9> 20240101<TIME_ON:5>1200 <FREQ:7>14.074 <BAND:4>20m "
                      "<MODE:5> MFSK<SUBMODE:4>FT4 <NAME:6> Juan <EOR>"
                      "<CALL:6>\tK1ABC<FREQ:1> <BAND:4> 10M<MODE:4>SSB <SUBMODE:1> <EOR>")
        << 0 << 2
        << QStringList{u"0.1=MS0INT/P"_s, u"0.9=1/1/24"_s, u"0.10=12:00:00"_s, u"0.11=14.074"_s, u"0.12=FT4"_s,
                       u"0.2= Juan "_s, u"1.1=K1ABC"_s, u"1.11=10M"_s, u"1.12=SSB"_s}
        << u"BAND=1"_s;
    QTest::newRow("records without a call sign kept, counted and named")
        << QByteArray("<CALL:0><QSO_DATE:8>20240101<EOR><NAME:3>Ana<TIME_ON:4>1200<EOR>"
                      "<CALL:3>K1X<EOR><CALL:2>  <QSO_DATE:8>20240102<EOR>")
        << 0 << 4 << QStringList{u"0.1="_s, u"1.2=Ana"_s, u"2.1=K1X"_s, u"3.1="_s} << u" no call 3: 0,1,3"_s;
    QTest::newRow("characters a log book cannot hold, found in every cell")
        << QByteArray("<CALL:5>EA1AA <NAME:6>Jos\xEF\xBF\xBD <QTH:6>Le\xEF\xBF\xBDn <EOR>"
                      "<CALL:5>R1ABC <NAME:8>\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD <COMMENT:3>a\0b <EOR>", 99)
        << 0 << 2 << QStringList{u"0.2=Jos\uFFFD"_s} << u" unstorable 4: 0.2,0.3,1.2,1.16"_s;
    QTest::newRow("a tag with the name of the end of a record and a length is a field")
        << QByteArray("<CALL:5>K1ABC <eor>\n<CALL:5>K2ABC <EOR:1>x <EOR>\n")
        << 0 << 2 << QStringList{u"0.1=K1ABC"_s, u"1.1=K2ABC"_s} << u"EOR=1"_s;
    QTest::newRow("header only") << QByteArray("Nada aún\n<EOH>\n") << 0 << 0 << QStringList() << QString();
}

void TestAdifRead::otherPrograms()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, difUtc);
    QFETCH(int, rows);
    QFETCH(QStringList, cells);
    QFETCH(QString, findings);
    const AdifRead read = importAdifBytes(bytes, u"otro.adi"_s, importOptions(difUtc));
    QVERIFY2(read.ok, qPrintable(read.error));
    QCOMPARE(read.rows.rows(), rows);
    QCOMPARE(cellsNamed(read, cells), cells);
    QCOMPARE(findingsText(read), findings);
    QCOMPARE(read.size, bytes.size());
}

// The file reader reads in pieces: a record that straddles two pieces, and a file that is
// not UTF-8 only near its end, read as they would be in memory.
void TestAdifRead::throughAFile()
{
    QByteArray bytes = "<EOH>\r\n";
    for (int i = 0; i < 20000; ++i)
        bytes += "<CALL:6>EA4XYZ <NAME:5>Jos\xC3\xA9 <COMMENT:40>" + QByteArray(40, 'x') + " <EOR>\r\n";
    const QByteArray cp1252 = bytes + "<CALL:5>EA1AA <NAME:4>Pe\xF1" "a <EOR>";
    QTemporaryDir dir;
    for (const QByteArray &content : {bytes + "\r\n<EOF>", cp1252 + "\r\n<EOF>\r\n"}) {
        const QString path = dir.filePath(u"grande.adi"_s);
        QVERIFY(writeFile(path, content));
        const AdifRead fromFile = importAdif(path, u"grande.adi"_s, importOptions(0));
        const AdifRead inMemory = importAdifBytes(content, u"grande.adi"_s, importOptions(0));
        QVERIFY2(fromFile.ok, qPrintable(fromFile.error));
        QCOMPARE(contactsOf(fromFile.rows), contactsOf(inMemory.rows));
        QCOMPARE(fromFile.hash, inMemory.hash);
        QCOMPARE(fromFile.size, content.size());
    }
    const AdifRead last = importAdifBytes(cp1252, u"grande.adi"_s, importOptions(0));
    QCOMPARE(last.rows.cell(20000, 2), "Peña"); // read as Windows-1252 throughout
    QCOMPARE(last.rows.cell(0, 2), "JosÃ©");
}

void TestAdifRead::splitAnywhere_data()
{
    QTest::addColumn<QByteArray>("middle");
    const QByteArray ordinary = "<CALL:6>EA4XYZ <QSO_DATE:8>20010213 <TIME_ON:4>0152 <NAME:5>Jos\xC3\xA9 <EOR>\r\n";
    QTest::newRow("ordinary records") << ordinary;
    QTest::newRow("an <EOR> inside a value")
        << QByteArray("<CALL:5>EA1AA <COMMENT:28>dice <EOR> y <eor> en medio<EOR>\n");
    QTest::newRow("findings: no call, a field left out, an emoji")
        << QByteArray("<NAME:3>Ana <RARO:2>xy <EOR><CALL:5>EA2BB <NAME:4>\xF0\x9F\x93\xBB<EOR>\n");
    QTest::newRow("a header field among the records")
        << QByteArray("<PROGRAMID:7>Orvanel <CALL:5>EA3CC <BAND:3>20m <FREQ:6>14.200 <EOR>\n");
    QTest::newRow("a user field defined among the records")
        << QByteArray("<USERDEF1:4>MIO1 <CALL:5>EA3CC <EOR><CALL:5>EA3CD <MIO1:2>ab <EOR>\n");
    QTest::newRow("a user field defined again after it is used")
        << "<USERDEF1:4>MIO1 <CALL:5>EA3CC <EOR>" + ordinary.repeated(3)
               + "<CALL:5>EA3CD <MIO1:2>ab <EOR><USERDEF2:4>MIO1 <CALL:5>EA3CE <EOR>\n";
    QTest::newRow("refused: a length that is no number") << QByteArray("<CALL:5>EA5EE <NAME:x>Luis<EOR>\n");
    QTest::newRow("refused: a tag without a length among records")
        << QByteArray("<CALL:5>EA6FF <EOR><EOF>\n");
    QTest::newRow("Windows-1252: the file read again") << QByteArray("<CALL:5>EA7GG <NAME:4>Pe\xF1" "a<EOR>\n");
    QTest::newRow("a long value") << "<CALL:5>EA8HH <NOTES:300>" + QByteArray(300, 'n') + "<EOR>\n";
}

// A file's later parts may be read on other threads, each from a record boundary it guesses: the
// read is the same wherever the guess falls, before, inside or after anything odd, in memory
// and through a file.
void TestAdifRead::splitAnywhere()
{
    QFETCH(QByteArray, middle);
    const QByteArray before = "<CALL:6>EA4ABC <QSO_DATE:8>20010213 <TIME_ON:4>0152 <MIO0:1>z <EOR>\r\n";
    const QByteArray bytes = "Cabecera\r\n<PROGRAMID:4>PRUE <USERDEF1:4>MIO0 <EOH>\r\n" + before.repeated(6) + middle
                             + before.repeated(6) + "<CALL:5>EA9ZZ <NAME:3>Fin";
    const struct Restore { std::vector<qint64> at = adif::setSplits({}); ~Restore() { adif::setSplits(at); } } restore;
    const QString expected = everything(importAdifBytes(bytes, u"partido.adi"_s, importOptions(0)));
    QTemporaryDir dir;
    const QString path = dir.filePath(u"partido.adi"_s);
    QVERIFY(writeFile(path, bytes));
    for (qint64 at = 0; at <= bytes.size(); ++at) {
        adif::setSplits({at});
        QCOMPARE(everything(importAdifBytes(bytes, u"partido.adi"_s, importOptions(0))), expected);
        if (at % 23 == 0) {
            QCOMPARE(everything(importAdif(path, u"partido.adi"_s, importOptions(0))), expected);
            adif::setSplits({at / 2, at});
            QCOMPARE(everything(importAdif(path, u"partido.adi"_s, importOptions(0))), expected);
        }
    }
}

// A file of a few MiB, where each part hashes its own MiB: wherever the second part starts, and
// wherever the first part stopped reading, before or past the next MiB, the rows and the hash
// are those of one read.
void TestAdifRead::splitAroundHashPieces()
{
    const QByteArray record = "<CALL:6>EA4XYZ <QSO_DATE:8>20010213 <TIME_ON:4>0152 <NAME:5>Jos\xC3\xA9 <EOR>\r\n";
    const QByteArray bytes = "<EOH>\r\n" + record.repeated(int(4.4 * kHashPiece) / record.size());
    QTemporaryDir dir;
    const QString path = dir.filePath(u"grande.adi"_s);
    QVERIFY(writeFile(path, bytes));
    const struct Restore { std::vector<qint64> at = adif::setSplits({}); ~Restore() { adif::setSplits(at); } } restore;
    const QString expected = everything(importAdifBytes(bytes, u"grande.adi"_s, importOptions(0)));
    const auto piece = qint64(kHashPiece);
    for (const qint64 off : {-40000, -150, -70, -30, -9, -3, 0, 5, 150}) {
        adif::setSplits({piece + off, 2 * piece + off, 3 * piece + off});
        QCOMPARE(everything(importAdif(path, u"grande.adi"_s, importOptions(0))), expected);
    }
}

void TestAdifRead::refused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("reason");
    QTest::newRow("empty file") << QByteArray() << 1 << u"vacío"_s;
    QTest::newRow("no ADIF at all") << QByteArray("hola\nchau\n") << 1 << u"ningún campo"_s;
    QTest::newRow("field cut off by the end") << QByteArray("<EOH>\n<CALL:6>EA4X") << 2 << u"quedan 4"_s;
    QTest::newRow("length past the end") << QByteArray("\n\n<CALL:50>EA4XYZ<EOR>\n") << 3 << u"anuncia 50"_s;
    QTest::newRow("2 GB length") << QByteArray("<EOH>\n\n<NOTES:2147483648>x<EOR>") << 3 << u"2147483648"_s;
    QTest::newRow("huge length") << QByteArray("<NOTES:99999999999999999999999>x") << 1 << u"anuncia"_s;
    QTest::newRow("negative length") << QByteArray("<EOH>\n<CALL:-1>X<EOR>") << 2 << u"negativa"_s;
    QTest::newRow("unclosed tag") << QByteArray("<CALL:6>EA4XYZ\n<EOR") << 2 << u"no se cierra"_s;
    QTest::newRow("tag without length, an <EOR> after it")
        << QByteArray("<CALL:6>EA4XYZ<EOR>\n<NAME>Juan<EOR>") << 2 << u"«NAME» no dice la longitud"_s;
    QTest::newRow("tag without length inside the last record")
        << QByteArray("<CALL:6>EA4XYZ<EOR>\n<CALL:2>AB <EOF>\n") << 2 << u"«EOF» no dice la longitud"_s;
    QTest::newRow("header text after <EOH>") << QByteArray("Texto <a@b.org>\n<EOH>\n<CALL:2>AB <a@b.org> <EOR>") << 3 << u"«a@b.org»"_s;
    QTest::newRow("text no <EOH> closes") << QByteArray("Texto\n<a@b.org>\n<CALL:2>AB <EOR>") << 2 << u"«a@b.org»"_s;
    QTest::newRow("text no <EOH> closes, to the end") << QByteArray("\n<CALL:2>AB <NAME>X") << 2 << u"«NAME»"_s;
    QTest::newRow("binary junk") << QByteArray("<CALL:2>AB<EOR>\n\x00\x01\xff<\x02\x03>", 24) << 2 << u"etiqueta"_s;
    QTest::newRow("ADX not well formed")
        << QByteArray("<?xml version=\"1.0\"?>\n<ADX>\n<RECORDS><RECORD><CALL>EA4XYZ</RECORD>") << 3 << u"XML"_s;
    QTest::newRow("ADX cut short")
        << QByteArray("<?xml version=\"1.0\"?>\n<ADX>\n<RECORDS>\n<RECORD><CALL>EA4XYZ</CALL></RECORD>\n") << 5
        << u"termina"_s;
    QTest::newRow("a damaged file: tags without '<', no <EOR>, no call, date or time")
        << QByteArray("CALL:6>EA4XYZ QSO_DATE:8>20240101 <NAME:4>Juan TIME_ON:4>1200 <COMMENT:4>hola") << 0
        << u"no contiene contactos: su único registro no tiene indicativo (CALL), fecha (QSO_DATE) ni hora"_s;
    QTest::newRow("XML that is not ADX") << QByteArray("<?xml version=\"1.0\"?>\n<html></html>") << 2 << u"«html»"_s;
}

void TestAdifRead::refused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, line);
    QFETCH(QString, reason);
    const AdifRead read = importAdifBytes(bytes, u"malo.adi"_s, importOptions(0));
    QVERIFY(!read.ok);
    QCOMPARE(read.rows.rows(), 0);
    QCOMPARE(read.line, line);
    QVERIFY2(read.error.contains(u"«malo.adi»") && (line == 0 || read.error.contains(u"ínea %1"_s.arg(line)))
                 && read.error.contains(reason),
             qPrintable(read.error));
}

void TestAdifRead::everyByteSearch_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("portable") << int(adif::ByteSearch::Portable);
    QTest::newRow("SSE2") << int(adif::ByteSearch::Sse2);
    QTest::newRow("AVX2") << int(adif::ByteSearch::Avx2);
}

// Each way of scanning, forced, reads what was written: tags, NULs and characters other than
// ASCII at every place in a 64-byte block, in memory and in the file's pieces, and finds every
// cell a log book cannot hold (a C1 control, a U+FFFD, an emoji, a NUL) whatever its place.
void TestAdifRead::everyByteSearch()
{
    QFETCH(int, kind);
    const struct Restore { adif::ByteSearch kind = adif::byteSearch(); ~Restore() { adif::setByteSearch(kind); } } restore;
    if (!adif::setByteSearch(adif::ByteSearch(kind)))
        QSKIP("the processor lacks it");
    QByteArray bytes = "<EOH>";
    QStringList names;
    QList<int64_t> unstorable;
    const QString odd[] = {u"ñ"_s, u"€"_s, u"\u0085"_s, u"\uFFFD"_s, u"📻"_s, QString(QChar(u'\0'))};
    for (int r = 0; r < 6000; ++r) {
        const QString name = QString(r % 67, u'x') + odd[r % 6] + QString(r % 7, u'y');
        const QByteArray utf8 = name.toUtf8();
        bytes += "<CALL:4>K" + QByteArray::number(r % 1000).rightJustified(3, '0') + "<NAME:" + QByteArray::number(utf8.size())
                 + ">" + utf8 + QByteArray(r % 3, ' ') + "<EOR>" + QByteArray(r % 5, '\n');
        names << name;
        if (r % 6 >= 2)
            unstorable << r;
    }
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath(u"todo.adi"_s), bytes));
    for (const AdifRead &read : {importAdifBytes(bytes, u"todo.adi"_s, importOptions(0)),
                                 importAdif(dir.filePath(u"todo.adi"_s), u"todo.adi"_s, importOptions(0))}) {
        QVERIFY2(read.ok, qPrintable(read.error));
        QCOMPARE(contactsOf(read.rows).size(), names.size());
        for (int r = 0; r < names.size(); ++r)
            QCOMPARE(QString::fromUtf8(read.rows.cell(r, 2).data(), qsizetype(read.rows.cell(r, 2).size())), names.at(r));
        QCOMPARE(read.unstorable, unstorable.size());
        for (size_t k = 0; k < read.firstUnstorable.size(); ++k)
            QCOMPARE(read.firstUnstorable[k], (std::pair<int64_t, int>(unstorable.at(qsizetype(k)), 2)));
    }
    // Bytes that are not UTF-8 among accented letters, at every place of a block: the file is
    // read as Windows-1252.
    const std::pair<QByteArray, QString> notUtf8[] = {
        {"\x80", u"€"_s}, {"\xC3", u"Ã"_s}, {"\xC0\xAF", u"À¯"_s}, {"\xE2\x82", u"â‚"_s}, {"\xED\xA0\x80", u"í\u00A0€"_s}};
    for (const auto &[bad, shown] : notUtf8) {
        for (int at = 0; at < 64; ++at) {
            const QByteArray value = QByteArray(at, 'x') + bad + "x\xC3\xA9\xC3\xB1" + QByteArray(70, 'y');
            const AdifRead read = importAdifBytes("<CALL:3>K1X<NAME:" + QByteArray::number(value.size()) + ">" + value + "<EOR>",
                                                  u"mal.adi"_s, importOptions(0));
            QVERIFY2(read.ok, qPrintable(read.error));
            QCOMPARE(QString::fromUtf8(read.rows.cell(0, 2).data(), qsizetype(read.rows.cell(0, 2).size())),
                     QString(at, u'x') + shown + u"xÃ©Ã±"_s + QString(70, u'y'));
        }
    }
}

QTEST_GUILESS_MAIN(TestAdifRead)
#include "tst_adifread.moc"
