// The program killed (SIGKILL) at seeded random moments while it makes changes of every kind,
// or while a digital-mode program's burst comes in, started again, told to recover: every
// contact whose add had returned is there, byte for byte.
#include "DigitalDatagrams.h"
#include "FileHelpers.h"
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>

using namespace Qt::StringLiterals;

namespace {

// Lines of a killed run: the contacts it said it had added.
void takeAdded(QProcess &run, QStringList &added)
{
    while (run.canReadLine()) {
        const QString line = QString::fromUtf8(run.readLine()).chopped(1);
        if (line.startsWith(u"ADDED "_s))
            added << line.mid(6);
    }
}

// Starts again in `folder`, recovers, and finds every contact said to be added.
void expectRecovered(const QString &folder, const QStringList &added)
{
    QProcess recover;
    recover.start(QStringLiteral(CRASH_DRIVER), {u"recover"_s, folder});
    QVERIFY(recover.waitForFinished(60000));
    QCOMPARE(recover.exitCode(), 0);
    QStringList rows;
    const QStringList out = QString::fromUtf8(recover.readAllStandardOutput()).split(u'\n');
    for (const QString &line : out) {
        if (line.startsWith(u"ROW "_s))
            rows << line.mid(4);
    }
    QVERIFY(out.contains(u"END"_s));
    for (const QString &contact : added)
        QVERIFY2(rows.contains(contact), qPrintable(u"lost: "_s + contact.left(40)));
}

} // namespace

class TestCrash : public QObject
{
    Q_OBJECT
private slots:
    void killedAtRandomLosesNoAddedContact_data();
    void killedAtRandomLosesNoAddedContact();
    void killedInABurstLosesNoTakenContact();
};

void TestCrash::killedAtRandomLosesNoAddedContact_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<QString>("during"); // killed just after this step began; empty: after some lines
    const char *const steps[] = {"add", "paste", "sort", "import", ""};
    for (quint32 seed = 1; seed <= 24; ++seed)
        QTest::addRow("seed %u", seed) << seed << QString::fromLatin1(steps[seed % 5]);
}

void TestCrash::killedAtRandomLosesNoAddedContact()
{
    QFETCH(quint32, seed);
    QFETCH(QString, during);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // A file to import big enough that a kill can land inside the import.
    QByteArray imported = "20000\r\n";
    for (int i = 0; i < 20000; ++i) {
        imported += "\"IMP" + QByteArray::number(i) + "\"\r\n\"Imp\"\r\n";
        imported += QByteArray("\"x\"\r\n").repeated(14);
    }
    QVERIFY(writeFile(dir.filePath(u"importar.LBR"_s), imported));

    QRandomGenerator random(seed);
    QProcess work;
    work.setProgram(QStringLiteral(CRASH_DRIVER));
    work.setArguments({u"work"_s, dir.path(), QString::number(seed)});
    work.start();
    QVERIFY(work.waitForStarted());
    QStringList added;
    int begun = 0;
    const int lines = 3 + int(random.bounded(40));
    bool killed = false;
    while (!killed && work.state() == QProcess::Running) {
        if (!work.canReadLine() && !work.waitForReadyRead(5000))
            break;
        while (work.canReadLine()) {
            const QString line = QString::fromUtf8(work.readLine()).chopped(1);
            if (line.startsWith(u"ADDED "_s))
                added << line.mid(6);
            const bool chosen = line == u"BEGIN "_s + during && begun++ >= 2;
            if ((during.isEmpty() && added.size() >= lines) || chosen) {
                QThread::usleep(random.bounded(3000));
                work.kill(); // SIGKILL: no handler runs
                killed = true;
                break;
            }
        }
    }
    QVERIFY2(killed, "the program stopped before it was killed");
    work.waitForFinished();
    takeAdded(work, added); // adds that returned before the kill landed
    expectRecovered(dir.path(), added);
}

// Killed with the burst still arriving: every contact it had taken comes back.
void TestCrash::killedInABurstLosesNoTakenContact()
{
    QTemporaryDir dir;
    QProcess work;
    work.start(QStringLiteral(CRASH_DRIVER), {u"digital"_s, dir.path()});
    QVERIFY(work.waitForStarted() && work.waitForReadyRead(30000) && work.canReadLine());
    const quint16 port = QString::fromUtf8(work.readLine()).mid(5).trimmed().toUShort();
    QVERIFY(port > 0);
    QUdpSocket out;
    const QDateTime start(QDate(2024, 3, 9), QTime(18, 4), Qt::UTC);
    for (int i = 0; i < 300; ++i)
        out.writeDatagram(qsoLogged(u"WSJT-X"_s, u"B%1"_s.arg(i), start.addSecs(60 * i)), QHostAddress::LocalHost, port);
    QStringList added;
    while (added.size() < 100 && work.waitForReadyRead(10000))
        takeAdded(work, added);
    work.kill();
    work.waitForFinished();
    takeAdded(work, added);
    QVERIFY(added.size() >= 100);
    expectRecovered(dir.path(), added);
}

QTEST_GUILESS_MAIN(TestCrash)
#include "tst_crash.moc"
