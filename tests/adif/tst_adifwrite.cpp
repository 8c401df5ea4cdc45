// Writing ADIF: an ADI file checked byte for byte against one written by hand from the
// standard, the elements of an ADX file, awkward tables that must come back cell for cell
// through both encodings, and a failed export that leaves the old file alone.
#include "AdifTables.h"
#include "FileHelpers.h"
#include "adif/AdifExport.h"
#include "adif/AdifImport.h"

#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

namespace {

int dxccOf(QStringView call)
{
    if (call.startsWith(u"LU"))
        return 100;
    if (call.startsWith(u"EA"))
        return 281;
    return 0;
}

AdifExportOptions exportOptions(int difUtc, bool adx = false)
{
    AdifExportOptions o;
    o.adx = adx;
    o.utc = UtcConversion::fixedHours(difUtc);
    o.locale = QLocale(QLocale::Spanish, QLocale::Spain);
    o.created = QDateTime(QDate(2024, 3, 5), QTime(14, 22, 33), Qt::UTC);
    o.programVersion = u"9.0.44"_s;
    o.dxccOf = dxccOf;
    return o;
}

// Four contacts: one from Argentina with its address, one from Spain whose province is an
// ADIF code and whose values need Orvanel's own fields, one with a name and "7." alone, and one
// with a band's name for its frequency, as imported from a file that gave only BAND.
QList<QStringList> sample()
{
    return {
        {u"LU1ABC"_s, u"Juan"_s, u"Rosario"_s, u"Santa Fe"_s, u"Rosario"_s, u"2000"_s, QString(), u"59"_s,
         u"12/02/2001"_s, u"22:52:30"_s, u"7.050"_s, u"SSB"_s, u"BURO"_s, u"NO"_s, u"NO"_s, QString()},
        {u"EA4XYZ"_s, u"José"_s, QString(), u"M"_s, QString(), QString(), QString(), u"599"_s, u"01/01/2002"_s,
         u"00:30"_s, u"14074"_s, u"ft4"_s, u"EA5KB"_s, u"SI"_s, QString(), u"línea 1\nlínea 2"_s},
        {QString(), u"Ana"_s, QString(), QString(), QString(), QString(), QString(), QString(), QString(), QString(),
         u"7."_s, QString(), QString(), u"NO"_s, u"NO"_s, QString()},
        {u"W1AW"_s, QString(), QString(), QString(), QString(), QString(), QString(), QString(), QString(), QString(),
         u"20m"_s, QString(), QString(), u"NO"_s, u"NO"_s, QString()},
    };
}

} // namespace

class TestAdifWrite : public QObject
{
    Q_OBJECT
private slots:
    void adiByteForByte();
    void adxElements();
    void roundTrip_data();
    void roundTrip();
    void failedExportKeepsTheOldFile();
};

void TestAdifWrite::adiByteForByte()
{
    const GridStore table = contactTable(sample());
    AdifExport report;
    const QByteArray bytes = adifBytes(table, exportOptions(3), &report);
    // Local 22:52:30 on 12 February plus three hours is 01:52:30 UTC on the 13th. "14074" is
    // kHz; "ft4" is the FT4 submode of MFSK; a manager goes in QSL_VIA alone (M is for import
    // only); an empty Recibida would read back as "NO"; "7." is 7 MHz.
    const QByteArray expected =
        "Libro de guardia exportado por Orvanel\r\n"
        "<ADIF_VER:5>3.1.4\r\n"
        "<PROGRAMID:7>Orvanel\r\n"
        "<PROGRAMVERSION:6>9.0.44\r\n"
        "<CREATED_TIMESTAMP:15>20240305 142233\r\n"
        "<EOH>\r\n"
        "<CALL:6>LU1ABC <QSO_DATE:8>20010213 <TIME_ON:6>015230 <FREQ:5>7.050 <BAND:3>40m <MODE:3>SSB "
        "<RST_SENT:2>59 <NAME:4>Juan <QTH:7>Rosario <ADDRESS:22>2000 Rosario\r\nSanta Fe <QSL_SENT:1>N "
        "<QSL_RCVD:1>N <QSL_SENT_VIA:1>B <APP_ORVANEL_PROVINCIA:8>Santa Fe <APP_ORVANEL_CIUDAD:7>Rosario "
        "<APP_ORVANEL_CODIGO_POSTAL:4>2000 <APP_ORVANEL_FECHA:10>12/02/2001 <APP_ORVANEL_HORA:8>22:52:30 <EOR>\r\n"
        "<CALL:6>EA4XYZ <QSO_DATE:8>20020101 <TIME_ON:4>0330 <FREQ:6>14.074 <BAND:3>20m <MODE:4>MFSK "
        "<SUBMODE:3>FT4 <RST_SENT:3>599 <NAME:5>Jos\xC3\xA9 <ADDRESS:1>M <STATE:1>M <QSL_SENT:1>Y "
        "<QSL_VIA:5>EA5KB <NOTES:18>l\xC3\xADnea 1\r\nl\xC3\xADnea 2 "
        "<APP_ORVANEL_FECHA:10>01/01/2002 <APP_ORVANEL_HORA:5>00:30 <APP_ORVANEL_FRECUENCIA:5>14074 "
        "<APP_ORVANEL_MODO:3>ft4 <APP_ORVANEL_VIA:5>EA5KB <APP_ORVANEL_RECIBIDA:0> <EOR>\r\n"
        "<FREQ:1>7 <BAND:3>40m <NAME:3>Ana <QSL_SENT:1>N <QSL_RCVD:1>N <APP_ORVANEL_FRECUENCIA:2>7. <EOR>\r\n"
        "<CALL:4>W1AW <BAND:3>20m <QSL_SENT:1>N <QSL_RCVD:1>N <EOR>\r\n";
    QCOMPARE(bytes, expected);
    QVERIFY(report.ok);
    QCOMPARE(report.written, 4);
    QCOMPARE(report.incomplete, 2);
    QCOMPARE(report.firstIncomplete, (std::vector<int64_t>{3, 4}));
}

void TestAdifWrite::adxElements()
{
    const QByteArray bytes = adifBytes(contactTable(sample()), exportOptions(-3, true));
    // element path -> text, for what the standard says ADX holds.
    QStringList found, path;
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement())
            path.removeLast();
        if (!xml.isStartElement())
            continue;
        QString name = xml.name().toString();
        if (name == u"APP")
            name += u"[%1/%2/%3]"_s.arg(xml.attributes().value(u"PROGRAMID"_s), xml.attributes().value(u"FIELDNAME"_s),
                                        xml.attributes().value(u"TYPE"_s));
        if (QStringList{u"ADX"_s, u"HEADER"_s, u"RECORDS"_s, u"RECORD"_s}.contains(name))
            path << name;
        else
            found << path.join(u'/') + u'/' + name + u'=' + xml.readElementText();
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    const QStringList expected{
        u"ADX/HEADER/PROGRAMID=Orvanel"_s,
        u"ADX/HEADER/CREATED_TIMESTAMP=20240305 142233"_s,
        // 22:52:30 less three hours is 19:52:30 the same day.
        u"ADX/RECORDS/RECORD/QSO_DATE=20010212"_s,
        u"ADX/RECORDS/RECORD/TIME_ON=195230"_s,
        u"ADX/RECORDS/RECORD/APP[ORVANEL/FECHA/S]=12/02/2001"_s,
        // Text beyond ASCII: the plain field without accents, the text itself in _INTL.
        u"ADX/RECORDS/RECORD/NAME=Jose"_s,
        u"ADX/RECORDS/RECORD/NAME_INTL=José"_s,
        u"ADX/RECORDS/RECORD/NOTES=linea 1\r\nlinea 2"_s,
        u"ADX/RECORDS/RECORD/NOTES_INTL=línea 1\r\nlínea 2"_s,
        u"ADX/RECORDS/RECORD/QSL_VIA=EA5KB"_s,
    };
    for (const QString &item : expected)
        QVERIFY2(found.contains(item), qPrintable(item + u" not in\n"_s + found.join(u'\n')));
    QVERIFY(!found.contains(u"ADX/RECORDS/RECORD/NAME_INTL=Ana"_s)); // ASCII needs no twin
}

void TestAdifWrite::roundTrip_data()
{
    QTest::addColumn<int>("difUtc");
    QTest::addColumn<bool>("localToUtc");
    QTest::addColumn<QStringList>("contact");
    const auto row = [](const char *name, int difUtc, bool local, const QStringList &contact) {
        QTest::newRow(name) << difUtc << local << contact;
    };
    const QStringList plain{u"LU1ABC"_s, u"Juan"_s, u"Rosario"_s, u"Santa Fe"_s, u"Rosario"_s, u"2000"_s,
                            u"123"_s, u"59"_s, u"12/02/2001"_s, u"22:52:30"_s, u"7.050"_s, u"SSB"_s,
                            u"BURO"_s, u"SI"_s, u"NO"_s, u"QSB"_s};
    row("plain", 3, true, plain);
    row("all empty", 0, true, QStringList(16));
    QStringList c = plain;
    c[1] = u"Íñigo Muñoz € “Paco”"_s;
    c[2] = u"Peñíscola"_s;
    c[15] = u"QRM – 5 W… ¡increíble! 𝄞 中文"_s; // beyond Windows-1252 too
    row("accents, euro, beyond cp1252", -5, true, c);
    c = plain;
    c[15] = u"primera\nsegunda\r\ntercera\rcuarta"_s;
    row("line breaks of every kind", 0, true, c);
    c = plain;
    c[10] = u"7,050"_s;
    c[11] = u"ssb"_s;
    c[12] = u"EA7JX"_s;
    row("decimal comma, small mode, manager", 2, true, c);
    c[10] = u"7050"_s;
    c[11] = u"DIGIMODOS"_s;
    c[12] = u"Directa"_s;
    c[13] = u"si"_s;
    c[14] = u"x"_s;
    row("kHz, no ADIF mode, odd QSL texts", 2, true, c);
    c = plain;
    c[8] = u"31-12-99"_s;
    c[9] = u"23:30"_s;
    row("new year's eve rolls forward", 3, true, c);
    c[8] = u"2000-01-01"_s;
    c[9] = u"0:15:00"_s;
    row("new year's day rolls back", -4, true, c);
    c[8] = u"1.3.24"_s;
    c[9] = u"12:00"_s;
    row("dotted date, already UTC", 5, false, c);
    c[8] = u"ayer"_s;
    c[9] = u"25:61"_s;
    row("unparsable date and time", 3, true, c);
    c = plain;
    c[0] = u"LU1ABC "_s;
    c[3] = u"  "_s;
    c[10] = u"1296"_s;
    c[11] = u"usb"_s;
    c[12] = u"eQSL"_s;
    c[15] = u" espacios al final "_s;
    row("blanks and odd values", 0, true, c);
    c[10] = u"70 CM"_s;
    row("a band's name for the frequency", 0, true, c);
}

void TestAdifWrite::roundTrip()
{
    QFETCH(int, difUtc);
    QFETCH(bool, localToUtc);
    QFETCH(QStringList, contact);
    const GridStore table = contactTable({contact});
    AdifImportOptions in;
    in.utc = localToUtc ? UtcConversion::fixedHours(difUtc) : UtcConversion();
    in.locale = QLocale(QLocale::Spanish, QLocale::Spain);
    for (const bool adx : {false, true}) {
        AdifExportOptions out = exportOptions(difUtc, adx);
        out.utc = in.utc;
        AdifExport report;
        const QByteArray bytes = adifBytes(table, out, &report);
        QVERIFY2(report.ok, qPrintable(report.error));
        const AdifRead read = importAdifBytes(bytes, u"prueba"_s, in);
        QVERIFY2(read.ok, qPrintable(read.error));
        QCOMPARE(contactsOf(read.rows), QList<QStringList>{contact});
        QVERIFY(read.leftOut.empty()); // Orvanel's own BAND and ADDRESS are nothing lost
    }
}

void TestAdifWrite::failedExportKeepsTheOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"libro.adx"_s);
    QVERIFY(writeFile(path, "contenido anterior"));
    QStringList contact = sample().first();
    contact[15] = u"con un control \x01 en medio"_s;
    const AdifExport report = exportAdif(contactTable({contact}), path, u"libro.adx"_s, exportOptions(0, true));
    QVERIFY(!report.ok);
    QVERIFY2(report.error.contains(u"«libro.adx»") && report.error.contains(u"U+0001")
                 && report.error.contains(u"Comentario"),
             qPrintable(report.error));
    QCOMPARE(readAll(path), QByteArray("contenido anterior"));
}

QTEST_GUILESS_MAIN(TestAdifWrite)
#include "tst_adifwrite.moc"
