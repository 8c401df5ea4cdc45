// The small lookups other windows use: the kind of a log file by its first bytes, the band of
// a frequency as typed, and the class of a mode.
#include "adif/BandTable.h"
#include "adif/LogFileKind.h"
#include "adif/ModeTable.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestAdifLookups : public QObject
{
    Q_OBJECT
private slots:
    void fileKind_data();
    void fileKind();
    void band_data();
    void band();
    void modeClass_data();
    void modeClass();
};

void TestAdifLookups::fileKind_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("kind");
    const int libro = int(LogFileKind::Libro), adi = int(LogFileKind::Adi), adx = int(LogFileKind::Adx);
    QTest::newRow("xml declaration after BOM and blanks") << QByteArray("\xEF\xBB\xBF \r\n<?xml version=\"1.0\"?>") << adx;
    QTest::newRow("ADX root, lower case") << QByteArray("<adx><RECORDS/></adx>") << adx;
    QTest::newRow("log book") << QByteArray("2\r\n\"LU1ABC\"\r\n") << libro;
    QTest::newRow("empty log book, LF") << QByteArray("0\n") << libro;
    QTest::newRow("count then an ADI tag") << QByteArray("12\r\n<EOH>") << adi;
    QTest::newRow("ADI with header") << QByteArray("Generado\n<eoh>\n") << adi;
    QTest::newRow("ADI without header") << QByteArray("<call:6>EA4XYZ") << adi;
    QTest::newRow("tag with a name but no length") << QByteArray("texto <b>negrita</b>") << libro;
    QTest::newRow("nothing known") << QByteArray("hola") << libro;
}

void TestAdifLookups::fileKind()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, kind);
    QCOMPARE(int(sniffLogFile(bytes)), kind);
}

void TestAdifLookups::band_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("band");
    QTest::newRow("MHz with dot") << u"7.050"_s << u"40m"_s;
    QTest::newRow("MHz with comma") << u"7,050"_s << u"40m"_s;
    QTest::newRow("kHz") << u"7050"_s << u"40m"_s;
    QTest::newRow("kHz with a fraction") << u"14074.5"_s << u"20m"_s;
    QTest::newRow("small whole number is MHz") << u"144"_s << u"2m"_s;
    QTest::newRow("below 1000, not MHz: kHz") << u"475"_s << u"630m"_s;
    QTest::newRow("whole, not kHz: MHz") << u"1296"_s << u"23cm"_s;
    QTest::newRow("upper edge included") << u"54"_s << u"6m"_s;
    QTest::newRow("just past the edge") << u"54.0000005"_s << QString();
    QTest::newRow("5m starts one hertz up") << u"54.000001"_s << u"5m"_s;
    QTest::newRow("lowest band") << u"0.136"_s << u"2190m"_s;
    QTest::newRow("blanks around") << u" 3.5 "_s << u"80m"_s;
    QTest::newRow("between bands") << u"8.000"_s << QString();
    QTest::newRow("a band's name") << u"40m"_s << u"40m"_s;
    QTest::newRow("name in capitals, blank before the unit") << u" 70 CM"_s << u"70cm"_s;
    QTest::newRow("name with a decimal comma") << u"1,25m"_s << u"1.25m"_s;
    QTest::newRow("name of the highest band") << u"SubMM"_s << u"submm"_s;
    QTest::newRow("no band of that name") << u"11m"_s << QString();
    QTest::newRow("text") << u"40 metros"_s << QString();
    QTest::newRow("two separators") << u"14.074.000"_s << QString();
}

void TestAdifLookups::band()
{
    QFETCH(QString, text);
    QFETCH(QString, band);
    const int fromText = bandOfFrequency(QStringView(text));
    QCOMPARE(bandOfFrequency(std::string_view(text.toStdString())), fromText);
    QCOMPARE(bandName(fromText), band);
}

void TestAdifLookups::modeClass_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("modeClass");
    QTest::newRow("usb, small letters") << u"usb"_s << int(ModeClass::Phone);
    QTest::newRow("digital voice") << u"DMR"_s << int(ModeClass::Phone);
    QTest::newRow("cw") << u"CW"_s << int(ModeClass::Cw);
    QTest::newRow("submode") << u"FT4"_s << int(ModeClass::Digital);
    QTest::newRow("mode") << u"RTTY"_s << int(ModeClass::Digital);
    QTest::newRow("the combo's digital item") << u"Digimodos"_s << int(ModeClass::Digital);
    QTest::newRow("unknown") << u"SSB/CW"_s << int(ModeClass::Unknown);
    QTest::newRow("empty") << QString() << int(ModeClass::Unknown);
}

void TestAdifLookups::modeClass()
{
    QFETCH(QString, mode);
    QFETCH(int, modeClass);
    QCOMPARE(int(modeClassOf(QStringView(mode))), modeClass);
    QCOMPARE(int(modeClassOf(std::string_view(mode.toStdString()))), modeClass);
}

QTEST_GUILESS_MAIN(TestAdifLookups)
#include "tst_adiflookups.moc"
