// The radio through rigctld: the real one with hamlib's dummy radio, and a server of the
// test's own that misbehaves on purpose.
#include "AppFixture.h"
#include "NetTestKit.h"
#include "app/ConnectionCommands.h"
#include "app/EntryForm.h"
#include "app/RigCommands.h"
#include "ui/ClassicCombo.h"
#include "ui/FormWindow.h"
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTcpSocket>

using namespace Qt::StringLiterals;
using ms = std::chrono::milliseconds;

namespace {
// hamlib's dummy radio (model 1) on a port of its own.
struct Rigctld
{
    QProcess process;
    quint16 port = freePort();
    Rigctld() { process.start(u"rigctld"_s, {u"-m"_s, u"1"_s, u"-T"_s, u"127.0.0.1"_s, u"-t"_s, QString::number(port)}); }
    // One extended command, answered up to its "RPRT" line; rigctld may still be starting.
    QByteArray ask(const QByteArray &command)
    {
        QTcpSocket socket;
        for (int i = 0; i < 50 && socket.state() != QAbstractSocket::ConnectedState; ++i) {
            socket.connectToHost(QHostAddress::LocalHost, port);
            if (!socket.waitForConnected(100))
                QTest::qWait(50);
        }
        socket.write("+\\" + command + '\n');
        QByteArray answer;
        while (!(answer.contains("RPRT") && answer.endsWith('\n')) && socket.waitForReadyRead(5000))
            answer += socket.readAll();
        return answer;
    }
    // A setting, asked again when a loaded machine leaves it unanswered; the last answer
    // goes into the failure message.
    bool set(const QByteArray &command)
    {
        for (int attempt = 0; attempt < 3; ++attempt) {
            last = ask(command);
            if (last.endsWith("RPRT 0\n"))
                return true;
        }
        qWarning() << "rigctld answered" << command << "with" << last << process.state() << process.readAllStandardError();
        return false;
    }
    QByteArray last;
    ~Rigctld()
    {
        process.terminate();
        process.waitForFinished(3000);
    }
};

// Answers as an older rigctld does (frequency and mode asked one by one) once `well` is set;
// until then writes `answer` to whatever it is asked, and hangs up after it when `hangUp`.
struct FakeRig : QTcpServer
{
    QByteArray answer;
    bool hangUp = false, well = false;
    FakeRig()
    {
        connect(this, &QTcpServer::newConnection, this, [this] {
            QTcpSocket *socket = nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                const QByteArray asked = socket->readAll();
                if (!well) {
                    socket->write(answer);
                    if (hangUp)
                        socket->disconnectFromHost();
                    return;
                }
                for (const QByteArray &line : asked.split('\n')) {
                    if (line == "+\\get_freq")
                        socket->write("get_freq:\nFrequency: 14074000\nRPRT 0\n");
                    else if (line == "+\\get_mode")
                        socket->write("get_mode:\nMode: USB\nPassband: 2400\nRPRT 0\n");
                    else if (!line.isEmpty())
                        socket->write("RPRT -11\n");
                }
            });
        });
    }
};
} // namespace

class TestRig : public QObject
{
    Q_OBJECT
    static QString section(AppFixture &f) { return f.frame().statusSection(u"equipo"_s)->text(); }

private slots:
    // "Probar", then the form following the radio, a typed field left alone until the add,
    // the added row as shown, and tuning the radio.
    void formFollowsTheRadio()
    {
        Rigctld rig;
        QVERIFY2(rig.set("set_freq 14074000"), "rigctld (libhamlib-utils) does not answer");
        QVERIFY(rig.set("set_mode USB 2400"));
        AppFixture f;
        f.action("mConexiones")->trigger();
        FormWindow *w = f.app->connections().window();
        w->lineEdit(u"EquipoPuerto"_s)->setText(QString::number(rig.port));
        w->button(u"Probar"_s)->click();
        QTRY_COMPARE(w->control<QLabel>(u"EquipoEstado"_s)->text(), u"Conectado: 14.074 MHz, USB"_s);

        f.app->rig().client().setTimings(100, 2000, ReconnectDelay());
        w->control<QCheckBox>(u"LeerEquipo"_s)->setChecked(true);
        w->button(u"Aceptar"_s)->click();
        QLineEdit *frequency = f.app->entry().dato(10);
        ClassicCombo *mode = f.app->entry().datos(0);
        QTRY_COMPARE(frequency->text(), u"14.074"_s);
        QCOMPARE(mode->text(), u"SSB"_s);
        QTRY_COMPARE(section(f), u"Equipo: 14.074 MHz USB"_s);

        QVERIFY(f.app->rig().tune(7050000, u"SSB"_s)); // lower sideband below 10 MHz
        QTRY_COMPARE(frequency->text(), u"7.050"_s);
        QVERIFY(rig.ask("get_mode").contains("Mode: LSB\n"));

        // Typed: the field is the operator's; the other one goes on following.
        frequency->selectAll();
        QTest::keyClicks(frequency, u"7.0123"_s);
        QVERIFY(rig.set("set_freq 14200000"));
        QVERIFY(rig.set("set_mode PKTUSB 0"));
        QTRY_COMPARE(section(f), u"Equipo: 14.200 MHz PKTUSB"_s);
        QCOMPARE(frequency->text(), u"7.0123"_s);
        QCOMPARE(mode->text(), u"DIGIMODOS"_s);
        mode->lineEdit()->selectAll();
        QTest::keyClicks(mode->lineEdit(), u"RTTY"_s);
        f.app->entry().Guardar_Click();
        QCOMPARE(f.libro().TextMatrix(1, 11) + u' ' + f.libro().TextMatrix(1, 12), u"7.0123 RTTY"_s);
        QCOMPARE(frequency->text() + u' ' + mode->text(), u"14.200 DIGIMODOS"_s); // following again at once
        QVERIFY(f.fakes.messages.asked.isEmpty());
    }

    void faultsAreCalm_data()
    {
        QTest::addColumn<bool>("listening");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<bool>("hangUp");
        QTest::addColumn<QString>("problem");
        QTest::newRow("nobody listening") << false << QByteArray() << false << u"No hay ningún programa escuchando en 127.0.0.1:"_s;
        QTest::newRow("accepts, never answers") << true << QByteArray() << false << u"pero no responde"_s;
        QTest::newRow("half a line, then nothing") << true << QByteArray("get_freq:\nFreq") << false << u"a medias"_s;
        QTest::newRow("error result") << true << QByteArray("get_freq:\nRPRT -11\n") << false << u"función no disponible en este equipo (RPRT -11)"_s;
        QTest::newRow("closes mid-answer") << true << QByteArray("get_freq:\nFrequency: 140") << true << u"cerró la conexión"_s;
        QTest::newRow("garbage") << true << QByteArray("\x16\x03\x01\x02\x00 hola\n", 11) << false << u"no se entiende"_s;
    }

    // Whatever the server does, the loop keeps turning, nothing is asked, the form keeps what it
    // had, the status bar says so; the client is back when the server is.
    void faultsAreCalm()
    {
        QFETCH(bool, listening);
        QFETCH(QByteArray, answer);
        QFETCH(bool, hangUp);
        QFETCH(QString, problem);
        FakeRig server;
        server.answer = answer;
        server.hangUp = hangUp;
        const quint16 port = freePort();
        QVERIFY(!listening || server.listen(QHostAddress::LocalHost, port));
        AppFixture f;
        RigClient &client = f.app->rig().client();
        client.setTimings(50, 1000, ReconnectDelay(ms(100), ms(400)));
        LoopWatch watch;
        f.app->rig().apply({true, u"127.0.0.1"_s, port});
        QTRY_VERIFY2_WITH_TIMEOUT(client.problem().contains(problem), qPrintable(client.problem()), 5000);
        QTRY_COMPARE(section(f), u"Equipo: sin conexión, reintentando"_s);
        QCOMPARE(f.app->entry().dato(10)->text() + f.app->entry().datos(0)->text(), u"SSB"_s);

        server.well = true;
        QVERIFY(listening || server.listen(QHostAddress::LocalHost, port));
        QTRY_COMPARE_WITH_TIMEOUT(f.app->entry().dato(10)->text(), u"14.074"_s, 5000);
        QTRY_COMPARE(section(f), u"Equipo: 14.074 MHz USB"_s);
        QVERIFY(f.fakes.messages.asked.isEmpty());
        // A request that hangs would hold the loop for the whole second it is allowed.
        QVERIFY2(watch.longest < LoopWatch::kBound, qPrintable(u"the event loop stood still for %1 ms"_s.arg(watch.longest)));
    }
};

QTEST_MAIN(TestRig)
#include "tst_rig.moc"
