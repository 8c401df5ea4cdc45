// The digital-mode programs' datagrams sent through a real socket to the program: each contact
// logged once, as "Importar" would give it; the programs' state at the status bar's end; bad
// datagrams counted and never half a contact; a burst taken whole, in order, into the journal.
#include "AppFixture.h"
#include "DigitalDatagrams.h"
#include "FileHelpers.h"
#include "adif/AdifImport.h"
#include "app/DigitalLogging.h"
#include "history/ContactLog.h"
#include "logbook/JournalFormat.h"
#include <QElapsedTimer>
#include <QLabel>
#include <QUdpSocket>

using namespace Qt::StringLiterals;

namespace {

const QDateTime kOn(QDate(2024, 3, 9), QTime(18, 4, 15), Qt::UTC);
const QByteArray kHeader = "<adif_ver:5>3.1.0<programid:6>WSJT-X<EOH>";

QByteArray adi(const QList<std::pair<const char *, QString>> &fields) // lengths in bytes, as ADIF counts
{
    QByteArray out;
    for (const auto &[name, value] : fields)
        out += '<' + QByteArray(name) + ':' + QByteArray::number(value.toUtf8().size()) + '>' + value.toUtf8();
    return out + "<EOR>";
}

// K1ABC's contact as the program should log it, in ADIF; `timeOn` as the start it gives.
QByteArray k1abc(const QString &timeOn = u"180415"_s)
{
    return adi({{"CALL", u"K1ABC"_s}, {"QSO_DATE", u"20240309"_s}, {"TIME_ON", timeOn}, {"FREQ", u"14.074512"_s},
                {"MODE", u"FT8"_s}, {"RST_SENT", u"-10"_s}, {"NAME", u"Bob"_s}, {"QSL_SENT_VIA", u"B"_s},
                {"COMMENT", u"RST recibido -15 · FN42 · 50 W"_s}});
}

struct Station : AppFixture
{
    QUdpSocket out;
    quint16 port = 0;
    Station() : AppFixture(false)
    {
        writeFile(path(u"USUARIO.CFG"_s), "\"Combo1\"\r\n\"-3\"\r\n" + QByteArray("\"\"\r\n").repeated(5));
        start();
        app->digital().apply({true, u"127.0.0.1"_s, 0});
        port = app->digital().listener().port();
    }
    void send(const QByteArray &datagram) { out.writeDatagram(datagram, QHostAddress::LocalHost, port); }
    // Sent, then a heartbeat from "fin": once it is heard, the ones before it were read.
    bool sendAll(const QList<QByteArray> &datagrams)
    {
        for (const QByteArray &d : datagrams)
            send(d);
        send(Datagram(0, u"fin"_s).bytes);
        const auto &clients = app->digital().clients().clients();
        return QTest::qWaitFor([&] { return !clients.empty() && clients.back().id == u"fin"_s; }, 10000);
    }
    QString section() { return frame().statusSection(u"digital"_s)->toolTip(); } // whole, as the tooltip holds it
    QStringList row(int r) { return cells().value(r).mid(1); }
    QStringList imported(const QByteArray &record) // the row "Importar" gives for it
    {
        const AdifRead read = importAdifBytes(record, u"x"_s, {app->variables().utc, QLocale(QLocale::system().name())});
        QStringList row;
        for (int c = 1; read.ok && c < 17; ++c)
            row << QString::fromUtf8(read.rows.cell(0, c).data(), qsizetype(read.rows.cell(0, c).size()));
        return row;
    }
};

} // namespace

class TestDigital : public QObject
{
    Q_OBJECT
private slots:
    void datagrams_data();
    void datagrams();
    void silentProgramIsGone();
    void takenPortIsSaidPlainly();
    void burstIsTakenWholeInOrder();
};

void TestDigital::datagrams_data()
{
    QTest::addColumn<QList<QByteArray>>("datagrams");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("refused");
    QTest::addColumn<QString>("section");     // what the status bar's end says, in part
    QTest::addColumn<QByteArray>("sameAs");   // the ADIF record the new row equals once imported
    const QString w = u"WSJT-X"_s;
    const QByteArray qso = qsoLogged(w, u"K1ABC"_s, kOn);
    const QByteArray w1xyz = adi({{"CALL", u"W1XYZ"_s}, {"QSO_DATE", u"20240309"_s}, {"TIME_ON", u"181000"_s},
                                  {"FREQ", u"7.047500"_s}, {"MODE", u"MFSK"_s}, {"SUBMODE", u"FT4"_s},
                                  {"RST_SENT", u"-05"_s}, {"RST_RCVD", u"+02"_s}, {"GRIDSQUARE", u"FN31"_s}, {"TX_PWR", u"10"_s}});
    const QByteArray w1xyzAsLogged = adi({{"CALL", u"W1XYZ"_s}, {"QSO_DATE", u"20240309"_s}, {"TIME_ON", u"181000"_s},
                                          {"FREQ", u"7.047500"_s}, {"MODE", u"FT4"_s}, {"RST_SENT", u"-05"_s},
                                          {"QSL_SENT_VIA", u"B"_s}, {"COMMENT", u"RST recibido +02 · FN31 · 10 W"_s}});
    QByteArray cut = qso;
    cut.chop(3);

    QTest::newRow("QSO Logged") << QList{qso} << 1 << 0 << w + u": conectado"_s << k1abc();
    QTest::newRow("QSO Logged, schema 2, older program") << QList{qsoLogged(w, u"K1ABC"_s, kOn, 2, false)} << 1 << 0
                                                         << QString() << k1abc(u"180515"_s);
    QTest::newRow("Logged ADIF, FT4 as MFSK") << QList{loggedAdif(w, kHeader + w1xyz)} << 1 << 0 << QString() << w1xyzAsLogged;
    QTest::newRow("both messages of one contact") << QList{qso, loggedAdif(w, kHeader + k1abc())} << 1 << 0 << QString() << k1abc();
    QTest::newRow("one contact sent again") << QList{qso, qso} << 1 << 0 << QString() << k1abc();
    QTest::newRow("unknown type, trailing field") << QList{Datagram(2, w).text(u"x"_s).bytes, qso + "\0\0\0\0"}
                                                  << 1 << 0 << QString() << k1abc();
    QTest::newRow("two programs") << QList{status(w, 14074000, u"FT8"_s, {}), status(u"JTDX"_s, 7074000, u"FT4"_s, {})} << 0 << 0
                                  << u"WSJT-X: 14.074 MHz FT8 | JTDX: 7.074 MHz FT4"_s << QByteArray();
    QTest::newRow("Status, DX call in the log") << QList{qso, status(w, 14074000, u"FT8"_s, u"k1abc"_s)} << 1 << 0
                                                << u"WSJT-X: 14.074 MHz FT8 — k1abc: "_s << QByteArray();
    QTest::newRow("Close") << QList{Datagram(0, w).bytes, Datagram(6, w).bytes} << 0 << 0 << w + u": cerrado"_s << QByteArray();
    QTest::newRow("wrong magic") << QList{Datagram(5, w, 3, 0xadbccbdb).bytes} << 0 << 1 << QString() << QByteArray();
    QTest::newRow("unknown schema") << QList{Datagram(5, w, 4).bytes + qso.mid(16)} << 0 << 1 << QString() << QByteArray();
    QTest::newRow("cut inside a field") << QList{cut} << 0 << 1 << QString() << QByteArray();
    QTest::newRow("cut before its type") << QList{qso.left(10)} << 0 << 1 << QString() << QByteArray();
    QTest::newRow("64 KiB") << QList{loggedAdif(w, QByteArray(65000, 'x'))} << 0 << 1 << QString() << QByteArray();
    QTest::newRow("Logged ADIF, not ADIF") << QList{loggedAdif(w, "<CALL:99>K1ABC<EOR>")} << 0 << 1 << QString() << QByteArray();
    QTest::newRow("call the code page cannot hold") << QList{qsoLogged(w, u"JA1日本"_s, kOn)} << 0 << 1 << QString() << QByteArray();
}

void TestDigital::datagrams()
{
    QFETCH(QList<QByteArray>, datagrams);
    QFETCH(int, rows);
    QFETCH(int, refused);
    QFETCH(QString, section);
    QFETCH(QByteArray, sameAs);
    Station s;
    QCOMPARE(s.app->variables().utc.hours(), -3);
    QVERIFY(s.sendAll(datagrams));
    QCOMPARE(s.libro().Rows() - 1, rows);
    QCOMPARE(s.app->digital().refused(), refused);
    QTRY_VERIFY2(s.section().contains(section), qPrintable(s.section()));
    if (!sameAs.isEmpty())
        QCOMPARE(s.row(1), s.imported(sameAs));
    if (rows == 1 && s.row(1).at(0) == u"K1ABC"_s)
        QCOMPARE(s.frame().status()->text(), u"Registrado desde WSJT-X: K1ABC, 14.074 MHz FT8"_s);
    if (s.section().contains(u"k1abc: "_s)) // the line typing the call shows
        QVERIFY(s.section().contains(u"Trabajado 1 vez"_s));
    if (refused > 0)
        QVERIFY(s.app->digital().stateText().contains(u"Descartados: 1; el último: "_s));
}

void TestDigital::silentProgramIsGone()
{
    Station s;
    s.app->digital().clients().setSilenceLimit(100);
    QVERIFY(s.sendAll({Datagram(0, u"JTDX"_s).bytes}));
    QTRY_COMPARE(s.section(), u"JTDX: sin noticias | fin: sin noticias"_s);
}

void TestDigital::takenPortIsSaidPlainly()
{
    Station s;
    QUdpSocket other;
    QVERIFY(other.bind(QHostAddress::LocalHost, 0));
    QVERIFY(!s.app->digital().apply({true, u"127.0.0.1"_s, other.localPort()}));
    const QString said = u"Otro programa ya escucha en 127.0.0.1:%1."_s.arg(other.localPort());
    QVERIFY(s.app->digital().stateText().startsWith(said));
    QVERIFY(s.frame().status()->text().startsWith(said));
    QCOMPARE(s.section(), u"Programa digital: sin escuchar"_s);
}

// Ten thousand contacts as fast as the socket takes them: in windows the kernel's queue holds
// whole (it counts about 1.3 KB against the queue for each small datagram on loopback).
void TestDigital::burstIsTakenWholeInOrder()
{
    constexpr int kContacts = 10000, kWindow = 256;
    Station s;
    QVERIFY2(s.app->digital().listener().receiveBufferSize() >= kWindow * 1300,
             qPrintable(QString::number(s.app->digital().listener().receiveBufferSize())));
    QElapsedTimer clock;
    qint64 last = 0, longestGap = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { longestGap = std::max(longestGap, clock.elapsed() - last); last = clock.elapsed(); });
    clock.start();
    tick.start(5);
    for (int sent = 0; sent < kContacts;) {
        for (const int end = std::min(sent + kWindow, kContacts); sent < end; ++sent)
            s.send(qsoLogged(u"WSJT-X"_s, u"B%1"_s.arg(sent), kOn));
        QVERIFY(QTest::qWaitFor([&] { return s.libro().Rows() - 1 == sent; }, 20000));
    }
    QVERIFY2(longestGap < 500, qPrintable(QString::number(longestGap)));
    for (int r = 1; r <= kContacts; ++r)
        QCOMPARE(s.libro().TextMatrix(r, 1), u"B%1"_s.arg(r - 1));
    int journalled = 0;
    for (const journal::Frame &frame : journal::read(readAll(s.path(u".orvanel-recuperacion"_s))).frames)
        journalled += int(std::count_if(frame.changes.begin(), frame.changes.end(),
                                        [](const journal::Change &c) { return c.op == journal::Op::RowInserted; }));
    QCOMPARE(journalled, kContacts);
    s.app->log().undo(); // one contact, one step
    QCOMPARE(s.libro().Rows() - 1, kContacts - 1);
    QVERIFY(s.app->log().isChanged());
}

QTEST_MAIN(TestDigital)
#include "tst_digital.moc"
