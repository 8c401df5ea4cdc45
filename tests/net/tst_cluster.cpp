// The DX cluster: a node of the test's own asks for the call sign, plays lines in the styles of
// several node programs and hangs up; the table against a hand-made log, the marks after an
// add, a spot taken to the form; then a flood against a million contacts.
#include "AppFixture.h"
#include "BigLog.h"
#include "NetTestKit.h"
#include "app/ClusterCommands.h"
#include "app/ConnectionCommands.h"
#include "app/EntryForm.h"
#include "dxcc/CallIndex.h"
#include "dxcc/CallResolver.h"
#include "ui/ClassicCombo.h"
#include "ui/NewsLabel.h"
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QSignalSpy>
#include <QTcpSocket>

using namespace Qt::StringLiterals;
using ms = std::chrono::milliseconds;

namespace {
// Asks for the call sign (after a telnet option), and on the first connection plays `play`
// once logged in, then hangs up.
struct FakeNode : QTcpServer
{
    QByteArray play;
    QStringList logins;
    FakeNode()
    {
        listen(QHostAddress::LocalHost, 0);
        connect(this, &QTcpServer::newConnection, this, [this] {
            QTcpSocket *node = nextPendingConnection();
            node->write("\xff\xfd\x18\xff\xfa\x18\x01\xff\xf0Welcome to the test node\r\nPlease enter your call: ");
            connect(node, &QTcpSocket::readyRead, node, [this, node] {
                if (!node->canReadLine())
                    return;
                logins << QString::fromLatin1(node->readLine());
                if (logins.size() == 1) {
                    node->write(play);
                    node->disconnectFromHost();
                }
            });
        });
    }
};

struct Station : AppFixture
{
    Station() : AppFixture(false)
    {
        QFile::copy(qEnvironmentVariable("ORVANEL_SOURCE_DIR") + u"/data/cty.csv"_s, path(u"cty.csv"_s));
        start();
        app->cluster().client().setTimings(2000, ReconnectDelay(ms(50), ms(200)));
    }
    void add(const QString &call, const QString &frequency, const QString &mode)
    {
        app->entry().dato(0)->setText(call);
        app->entry().dato(10)->setText(frequency);
        app->entry().datos(0)->setText(mode);
        app->entry().Guardar_Click();
    }
    void connectTo(const FakeNode &node) // as the operator does it
    {
        action("mConexiones")->trigger();
        FormWindow *w = app->connections().window();
        w->lineEdit(u"ClusterServidor"_s)->setText(u"127.0.0.1"_s);
        w->lineEdit(u"ClusterPuerto"_s)->setText(QString::number(node.serverPort()));
        w->lineEdit(u"ClusterIndicativo"_s)->setText(u"EA4XYZ"_s);
        w->button(u"Aceptar"_s)->click();
    }
    QString entity(const QString &call)
    {
        const CallResolver *r = app->calls().resolver();
        return r->entities().at(size_t(r->resolve(QStringView(call)).entity)).name;
    }
    QStringList shown() // the table as the window shows it, row by row
    {
        QStringList rows;
        const QAbstractItemModel *m = app->cluster().table()->model();
        for (int r = 0; r < m->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < m->columnCount(); ++c)
                cells << m->index(r, c).data().toString();
            rows << cells.join(u'|');
        }
        return rows;
    }
};
} // namespace

class TestCluster : public QObject
{
    Q_OBJECT
private slots:
    void spotsMarkedAgainstTheLog()
    {
        Station f;
        f.add(u"W1AW"_s, u"14.010"_s, u"CW"_s);     // United States: 20 m, CW
        f.add(u"JA1ABC"_s, u"7.090"_s, u"SSB"_s);   // Japan: 40 m, phone
        f.add(u"PY2XX"_s, u"7.150"_s, u"SSB"_s);    // Brazil: 40 m, phone
        QTRY_VERIFY(f.app->calls().ready());
        QTest::qWait(NewsLabel::kQuietMs + 100); // what the log knows of PY2XX told first
        QSignalSpy told(f.frame().news(), &NewsLabel::announcing);
        FakeNode node;
        node.play = "DX de EA4XYZ:     14025.0  K1ABC        CW 599 up 2              1234Z\r\n"    // DXSpider
                    "DX de W3LPL:      7074.0  JA1XYZ       FT8 -12 dB                     2359Z PM95\r\n"
                    "DX de KM3T-#:    21025.0  EA8TL        CW 23 dB 25 WPM CQ             1200Z\n" // skimmer, LF only
                    "DX de F5XYZ:\xff\xfb\x01   14195.0  PY2QA        SSB                            1201Z\r\n"
                    "DX de EA1ABC:     3795.0  CE3PQ        gracias \xd1" "a\xf1" "o        1202Z\r\n" // Latin-1
                    "DX de EA4XYZ:     14025.0  K1ABC        CW 599\r\n"                                // no time
                    "DX de EA4XYZ:     12345.0  K1ABC        CW                             1203Z\r\n"  // in no band
                    "DX de EA4XYZ:     14025.0  K1<AB>C      CW                             1204Z\r\n"
                    "WWV de W0MU <18>:   SFI=150, A=5, K=1\r\n\x01\x02\x85\x9b junk \xff\xff\r\n"
                    "To ALL de EA1ABC: \xc2\xa1" "buen DX, \xc3\x91" "and\xc3\xba!\r\n" + QByteArray(100000, 'x') + "\r\n";
        QCOMPARE(f.app->cluster().client().state(), ClusterClient::State::Off); // nothing until it is set
        f.connectTo(node);
        f.action("mCluster")->trigger();
        QTRY_COMPARE(node.logins, (QStringList{u"EA4XYZ\r\n"_s, u"EA4XYZ\r\n"_s})); // and again after the drop
        QLineEdit *command = f.app->cluster().window()->lineEdit(u"Orden"_s);
        command->setText(u"sh/dx 20"_s);
        QTest::keyClick(command, Qt::Key_Return);
        QTRY_COMPARE(node.logins.value(2), u"sh/dx 20\r\n"_s);
        QCOMPARE(f.shown(), (QStringList{
            u"12:02|3795.0|CE3PQ|%1|Entidad nueva|gracias Ñaño|EA1ABC"_s.arg(f.entity(u"CE3PQ"_s)),
            u"12:01|14195.0|PY2QA|%1|Banda nueva|SSB|F5XYZ"_s.arg(f.entity(u"PY2QA"_s)),
            u"12:00|21025.0|EA8TL|%1|Entidad nueva|CW 23 dB 25 WPM CQ|KM3T-#"_s.arg(f.entity(u"EA8TL"_s)),
            u"23:59|7074.0|JA1XYZ|%1|Modo nuevo|FT8 -12 dB|W3LPL"_s.arg(f.entity(u"JA1XYZ"_s)),
            u"12:34|14025.0|K1ABC|%1|Trabajado|CW 599 up 2|EA4XYZ"_s.arg(f.entity(u"K1ABC"_s))}));
        const QPlainTextEdit *console = f.app->cluster().window()->control<QPlainTextEdit>(u"Consola"_s);
        QTRY_VERIFY2(console->toPlainText().startsWith(u"Welcome to the test node\nPlease enter your call: \nDX de EA4XYZ:"_s)
                         && console->toPlainText().contains(u"\nWWV de W0MU <18>:   SFI=150, A=5, K=1\n junk ÿ\n"
                                                            u"To ALL de EA1ABC: ¡buen DX, Ñandú!\n"_s + QString(512, u'x') + u"…"_s),
                     qPrintable(console->toPlainText()));
        QCOMPARE(f.libro().Rows(), 4);
        const QString newest = u"Cluster DX: entidad nueva, CE3PQ en 3795.0 kHz, %1"_s.arg(f.entity(u"CE3PQ"_s));
        QTRY_VERIFY(std::any_of(told.cbegin(), told.cend(), [&](const QList<QVariant> &a) { return a.value(0) == newest; }));

        // The marks follow the log; the filters; a spot taken to the form.
        f.add(u"EA8AA"_s, u"21.020"_s, u"CW"_s);
        QTRY_VERIFY(f.shown().value(2).contains(u"|Trabajado|"_s));
        FormWindow *w = f.app->cluster().window();
        w->control<QCheckBox>(u"Falta"_s)->setChecked(true);
        w->control<ClassicCombo>(u"Modo"_s)->setCurrentIndex(1); // Fonía
        QCOMPARE(f.shown().size(), 2);
        w->control<ClassicCombo>(u"Banda"_s)->setCurrentText(u"20 m"_s);
        QCOMPARE(f.shown(), QStringList{u"12:01|14195.0|PY2QA|%1|Banda nueva|SSB|F5XYZ"_s.arg(f.entity(u"PY2QA"_s))});
        f.app->cluster().takeSpot(3);
        QCOMPARE(f.app->entry().dato(0)->text() + u' ' + f.app->entry().dato(10)->text() + u' ' + f.app->entry().datos(0)->text(),
                 u"JA1XYZ 7.074 DIGIMODOS"_s);
        QVERIFY(f.fakes.messages.asked.isEmpty());
        f.action("mConexiones")->trigger(); // "Conectar al iniciar": the next start connects by itself
        f.app->connections().window()->control<QCheckBox>(u"ClusterAlIniciar"_s)->setChecked(true);
        f.app->connections().Aceptar_Click();
        f.start();
        QCOMPARE(f.app->cluster().client().state(), ClusterClient::State::Connecting);
    }

    // 10,000 spots at full speed against a million contacts: the loop keeps turning, every spot
    // is read, the table and the console keep their bounds, the log is untouched.
    void floodStaysBoundedAndLive()
    {
        Station f;
        f.libro().appendRows(bigLog(1000000));
        // The log's counts as a running program keeps them: built once, then followed.
        f.app->calls().rebuild();
        f.app->calls().workedEntity(0, 0, ModeClass::Cw);
        FakeNode node;
        const char *const calls[] = {"K1ABC", "JA1XYZ", "EA8TL", "PY2QA", "DL1AA", "VK2AB", "ZS6XY", "EA5RT"};
        for (int i = 0; i < 10000; ++i)
            node.play += QByteArray("DX de EA4XYZ:     ") + QByteArray::number(14000 + i % 300) + ".0  " + calls[i % 8]
                         + QByteArray::number(i) + "   CW 599          " + QByteArray::number(1000 + i % 59) + "Z\r\n";
        int spots = 0;
        connect(&f.app->cluster().client(), &ClusterClient::received, this,
                [&spots](const QStringList &, const QList<Spot> &read) { spots += int(read.size()); });
        f.action("mCluster")->trigger();
        LoopWatch watch;
        f.connectTo(node);
        QTRY_COMPARE_WITH_TIMEOUT(spots, 10000, 60000);
        QVERIFY2(watch.longest < LoopWatch::kBound, qPrintable(u"the event loop stood still for %1 ms"_s.arg(watch.longest)));
        QCOMPARE(f.app->cluster().spots().rowCount(), SpotTable::kMaxSpots);
        QVERIFY(f.app->cluster().window()->control<QPlainTextEdit>(u"Consola"_s)->blockCount() <= ClusterCommands::kConsoleLines);
        QCOMPARE(f.libro().Rows(), 1000001);
    }
};

QTEST_MAIN(TestCluster)
#include "tst_cluster.moc"
