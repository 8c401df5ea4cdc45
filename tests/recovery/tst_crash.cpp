// The program killed (SIGKILL) at seeded random moments while it makes changes of every kind,
// started again, told to recover: every contact whose add had returned is there, byte for byte.
#include "FileHelpers.h"
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestCrash : public QObject
{
    Q_OBJECT
private slots:
    void killedAtRandomLosesNoAddedContact_data();
    void killedAtRandomLosesNoAddedContact();
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
    while (work.canReadLine()) { // adds that returned before the kill landed
        const QString line = QString::fromUtf8(work.readLine()).chopped(1);
        if (line.startsWith(u"ADDED "_s))
            added << line.mid(6);
    }

    QProcess recover;
    recover.start(QStringLiteral(CRASH_DRIVER), {u"recover"_s, dir.path()});
    QVERIFY(recover.waitForFinished(60000));
    QCOMPARE(recover.exitCode(), 0);
    QStringList rows;
    const QStringList out = QString::fromUtf8(recover.readAllStandardOutput()).split(u'\n');
    for (const QString &line : out) {
        if (line.startsWith(u"ROW "_s))
            rows << line.mid(4);
    }
    QVERIFY(out.contains(u"END"_s));
    for (const QString &contact : std::as_const(added))
        QVERIFY2(rows.contains(contact), qPrintable(u"lost: "_s + contact.left(40)));
}

QTEST_GUILESS_MAIN(TestCrash)
#include "tst_crash.moc"
