// What the outside programs send, read without a socket: rigctld's answers, the cluster's
// telnet lines and spots, and the form's texts for a frequency and a mode.
#include "net/ClusterLines.h"
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

    void telnetLines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("lines"); // the whole lines, then after '#' what waits for its end
        QTest::newRow("negotiation skipped") << QByteArray("\xff\xfb\x01\xff\xfa\x18\x01\xff\xf0Ho\xff\xfd\x03la\r\n") << u"Hola#"_s;
        QTest::newRow("IAC IAC is the byte itself") << QByteArray("a\xff\xff" "b\n") << u"aÿb#"_s;
        QTest::newRow("LF alone, CR LF, a prompt") << QByteArray("uno\ndos\r\nlogin: ") << u"uno|dos#login: "_s;
        QTest::newRow("Latin-1, then UTF-8") << QByteArray("\xd1" "and\xfa\n\xc3\xb1" "and\xc3\xba\n") << u"Ñandú|ñandú#"_s;
        QTest::newRow("control characters") << QByteArray("a\x07" "b\x00" "c\td\x7f\n", 10) << u"abc d#"_s;
        QTest::newRow("100 kB without an end") << QByteArray(100000, 'x') + "\nfin\n" << QString(TelnetLines::kMaxLine, u'x') + u"…|fin#"_s;
    }
    void telnetLines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, lines);
        TelnetLines reader;
        QStringList read;
        for (qsizetype at = 0; at < bytes.size(); at += 7) // as a socket hands them over
            reader.add(QByteArrayView(bytes).sliced(at, std::min<qsizetype>(7, bytes.size() - at)), read);
        QCOMPARE(read.join(u'|') + u'#' + reader.pending(), lines);
    }

    void spotLines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("spot"); // hertz, spotter, call, comment, time, locator, mode for the form
        QTest::newRow("DXSpider") << u"DX de EA4XYZ:     14025.0  K1ABC        CW 599 up 2              1234Z"_s
                                  << u"14025000|EA4XYZ|K1ABC|CW 599 up 2|12:34||CW"_s;
        QTest::newRow("with a locator") << u"DX de W3LPL:      7074.0  JA1XYZ       FT8 -12 dB                     2359Z PM95"_s
                                        << u"7074000|W3LPL|JA1XYZ|FT8 -12 dB|23:59|PM95|DIGIMODOS"_s;
        QTest::newRow("skimmer, CW by the band plan") << u"DX de KM3T-#:    21025.0  EA8TL        23 dB 25 WPM CQ                1200Z"_s
                                                      << u"21025000|KM3T-#|EA8TL|23 dB 25 WPM CQ|12:00||CW"_s;
        QTest::newRow("small letters, phone by the plan") << u"dx de f5xyz:   14195.5  py2qa  59 1201Z"_s << u"14195500|F5XYZ|PY2QA|59|12:01||SSB"_s;
        QTest::newRow("60 m: no mode") << u"DX de G4ABC: 5357.0 K1ABC 1202Z"_s << u"5357000|G4ABC|K1ABC||12:02||"_s;
        QTest::newRow("no time") << u"DX de EA4XYZ:     14025.0  K1ABC        CW 599"_s << QString();
        QTest::newRow("no hour 24") << u"DX de EA4XYZ: 14025.0 K1ABC CW 2400Z"_s << QString();
        QTest::newRow("out of every band") << u"DX de EA4XYZ: 12345.0 K1ABC CW 1203Z"_s << QString();
        QTest::newRow("odd call sign") << u"DX de EA4XYZ: 14025.0 K1<AB>C CW 1204Z"_s << QString();
        QTest::newRow("no frequency") << u"DX de EA4XYZ: 14O25.0 K1ABC CW 1204Z"_s << QString();
        QTest::newRow("no locator after the time") << u"DX de EA4XYZ: 14025.0 K1ABC CW 1204Z hola"_s << QString();
        QTest::newRow("no spot") << u"WWV de W0MU <18>:   SFI=150, A=5, K=1"_s << QString();
    }
    void spotLines()
    {
        QFETCH(QString, line);
        QFETCH(QString, spot);
        Spot s;
        const bool read = readSpot(line, s);
        const QStringList fields{QString::number(s.hertz), s.spotter, s.call, s.comment, s.time, s.locator, spotFormMode(s)};
        QCOMPARE(read ? fields.join(u'|') : QString(), spot);
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
