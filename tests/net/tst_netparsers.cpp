// What the outside programs send, read without a socket: the form's texts for a frequency and
// a mode.
#include "net/FormFrequency.h"
#include <QtTest>

using namespace Qt::StringLiterals;

class TestNetParsers : public QObject
{
    Q_OBJECT
private slots:
    void frequencyForTheForm_data()
    {
        QTest::addColumn<qint64>("hertz");
        QTest::addColumn<QString>("shown");
        QTest::newRow("kHz only") << qint64(14074000) << u"14.074"_s;
        QTest::newRow("three decimals kept") << qint64(7050000) << u"7.050"_s;
        QTest::newRow("down to the hertz") << qint64(14074512) << u"14.074512"_s;
        QTest::newRow("zeros beyond the third cut") << qint64(14074500) << u"14.0745"_s;
        QTest::newRow("VHF") << qint64(145500000) << u"145.500"_s;
        QTest::newRow("below 1 MHz") << qint64(475500) << u"0.4755"_s;
        QTest::newRow("microwaves") << qint64(10368100000) << u"10368.100"_s;
        QTest::newRow("none") << qint64(0) << QString();
        QTest::newRow("below zero") << qint64(-7050000) << QString();
    }
    void frequencyForTheForm()
    {
        QFETCH(qint64, hertz);
        QFETCH(QString, shown);
        QCOMPARE(formFrequency(hertz), shown);
    }

    // Each row: what the radio or a spot says; the form's word; back to the radio at 7 and 14 MHz.
    void modesBetweenRadioFormAndSpots_data()
    {
        QTest::addColumn<QString>("rig");
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("tuned");
        QTest::newRow("USB") << u"USB"_s << u"usb"_s << u"SSB"_s << u"LSB USB"_s;
        QTest::newRow("LSB") << u"LSB"_s << u"SSB"_s << u"SSB"_s << u"LSB USB"_s;
        QTest::newRow("CW reverse") << u"CWR"_s << u"CW"_s << u"CW"_s << u"CW CW"_s;
        QTest::newRow("wide FM") << u"WFM"_s << u"FM"_s << u"FM"_s << u"FM FM"_s;
        QTest::newRow("synchronous AM") << u"SAM"_s << u"AM"_s << u"AM"_s << u"AM AM"_s;
        QTest::newRow("RTTY") << u"RTTYR"_s << u"RTTY"_s << u"DIGIMODOS"_s << u"PKTUSB PKTUSB"_s;
        QTest::newRow("data on USB") << u"PKTUSB"_s << u"FT8"_s << u"DIGIMODOS"_s << u"PKTUSB PKTUSB"_s;
        QTest::newRow("data on FM") << u"PKTFM"_s << u"PSK31"_s << u"DIGIMODOS"_s << u"PKTUSB PKTUSB"_s;
        QTest::newRow("digital voice") << u"D-STAR"_s << u"dstar"_s << u"DSTAR"_s << QString();
        QTest::newRow("nothing for the log") << u"IQ"_s << u"599"_s << QString() << QString();
    }
    void modesBetweenRadioFormAndSpots()
    {
        QFETCH(QString, rig);
        QFETCH(QString, word);
        QFETCH(QString, form);
        QFETCH(QString, tuned);
        QCOMPARE(formModeOfRig(rig), form);
        QCOMPARE(formModeOfWord(word), form);
        const QString back = rigModeOfForm(form, 7050000) + u' ' + rigModeOfForm(form, 14074000);
        QCOMPARE(back.trimmed(), tuned);
    }
};

QTEST_GUILESS_MAIN(TestNetParsers)
#include "tst_netparsers.moc"
