// What the outside programs send, read without a socket: rigctld's answers, and the form's
// texts for a frequency and a mode.
#include "net/FormFrequency.h"
#include "net/RigReply.h"
#include <QtTest>

using namespace Qt::StringLiterals;

class TestNetParsers : public QObject
{
    Q_OBJECT
private slots:
    void rigAnswers_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("read"); // per block: command, result, hertz of "Frequency"; or why broken
        QTest::newRow("poll") << QByteArray("get_freq:\nFrequency: 14074000\nRPRT 0\nget_mode:\nMode: USB\nPassband: 2400\nRPRT 0\n")
                              << u"get_freq 0 14074000; get_mode 0 -1"_s;
        QTest::newRow("CR LF, fraction of a hertz") << QByteArray("get_freq:\r\nFrequency: 145000000.500000\r\nRPRT 0\r\n")
                                                    << u"get_freq 0 145000001"_s;
        QTest::newRow("error, bare result") << QByteArray("set_mode: CW 0\nRPRT -11\nRPRT -5\n") << u"set_mode -11 -1;  -5 -1"_s;
        QTest::newRow("a block not yet ended") << QByteArray("get_freq:\nFrequency: 7050000\n") << QString();
        QTest::newRow("no answer of rigctld") << QByteArray("14074000\n") << u"broken"_s;
        QTest::newRow("control characters") << QByteArray("get_freq:\nFrequency: 7\x01\n") << u"broken"_s;
        QTest::newRow("a line without end") << QByteArray(202, 'x') << u"broken"_s;
        QTest::newRow("nine values") << QByteArray("get_mode:\n" + QByteArray("A: 1\n").repeated(9) + "RPRT 0\n") << u"broken"_s;
    }
    void rigAnswers()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, read);
        RigReplyReader reader;
        reader.add(bytes);
        QStringList blocks;
        RigReply reply;
        QString reason;
        RigReplyReader::Next next;
        while ((next = reader.next(reply, reason)) == RigReplyReader::Next::Reply)
            blocks << u"%1 %2 %3"_s.arg(QString::fromLatin1(reply.command)).arg(reply.result).arg(rigHertz(reply.value("Frequency")));
        if (next == RigReplyReader::Next::Broken)
            blocks << u"broken"_s;
        QCOMPARE(blocks.join(u"; "_s), read);
    }

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
