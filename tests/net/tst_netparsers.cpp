// What the outside programs send, read without a socket: rigctld's answers, the cluster's
// spot lines, and the form's text for a frequency.
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
        QTest::newRow("three decimals kept") << qint64(7050000) << u"7.050"_s;
        QTest::newRow("down to the hertz") << qint64(14074512) << u"14.074512"_s;
        QTest::newRow("zeros beyond the third cut") << qint64(14074500) << u"14.0745"_s;
        QTest::newRow("VHF") << qint64(145500000) << u"145.500"_s;
        QTest::newRow("below 1 MHz") << qint64(475500) << u"0.4755"_s;
        QTest::newRow("none") << qint64(0) << QString();
    }
    void frequencyForTheForm()
    {
        QFETCH(qint64, hertz);
        QFETCH(QString, shown);
        QCOMPARE(formFrequency(hertz), shown);
    }
};

QTEST_GUILESS_MAIN(TestNetParsers)
#include "tst_netparsers.moc"
