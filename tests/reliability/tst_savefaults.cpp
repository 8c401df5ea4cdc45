// Saving under injected faults: a disk that fills up (a file-size limit), the program killed
// while saving, names or values that cannot be written. The previous file always stays whole,
// the user is told in Spanish, and the log and its title stay as they were.
#include "FileFaults.h"
#include "FileWindows.h"
#include "common/GridModel.h"
#include "logbook/LibroFile.h"
#include "station/UserConfigFile.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <cstdlib>

using namespace Qt::StringLiterals;
using namespace faults;

namespace {

// The test program runs itself as the process that saves, the way the program does:
// "--guardar-copia FROM TO" reads the log FROM and saves it as TO, printing "escribiendo" as
// the save begins.
const QString kCopyChild = u"--guardar-copia"_s;

const QStringList kStation{u"Argentina"_s, u"-3"_s, u"Santa Fe"_s, u"Rosario"_s, u"Calle 1"_s, u"2000"_s, QString()};
const QByteArray kStationBytes("\"Argentina\"\r\n\"-3\"\r\n\"Santa Fe\"\r\n\"Rosario\"\r\n\"Calle 1\"\r\n\"2000\"\r\n\"\"\r\n");

bool readLog(const QString &from, GridModel &libro)
{
    LibroRead read = LeerLibro(from);
    libro.appendRows(std::move(read.rows));
    return read.ok;
}

int copyLog(const QString &from, const QString &to)
{
    GridModel libro(kLibroCols, 1);
    if (!readLog(from, libro))
        return 4;
    std::fputs("escribiendo\n", stdout);
    std::fflush(stdout);
    return EscribirLibro(libro, to).ok ? 0 : 3;
}

// A killed save leaves the temporary file it was writing; nothing else may appear.
QStringList leftovers(const QString &folder, const QStringList &expected)
{
    QStringList extra;
    for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
        if (!expected.contains(name))
            extra << name;
    }
    return extra;
}

} // namespace

class TestSaveFaults : public QObject
{
    Q_OBJECT
private slots:
    void diskFillsUp_data()
    {
        QTest::addColumn<int>("contacts");     // the log saved; 0 for USUARIO.CFG
        QTest::addColumn<double>("fraction");  // of the new file's size the disk has room for
        QTest::addColumn<qint64>("extra");     // bytes added to that
        QTest::addColumn<bool>("fits");
        // 20,000 contacts take several write pieces; one contact fits in any buffer.
        QTest::newRow("log, no room at all") << 20000 << 0.0 << qint64(0) << false;
        QTest::newRow("log, room for a few kilobytes") << 20000 << 0.0 << qint64(4096) << false;
        QTest::newRow("log, room for half") << 20000 << 0.5 << qint64(0) << false;
        QTest::newRow("log, one byte short") << 20000 << 1.0 << qint64(-1) << false;
        QTest::newRow("log, just enough") << 20000 << 1.0 << qint64(0) << true;
        QTest::newRow("small log, one byte short") << 1 << 1.0 << qint64(-1) << false;
        QTest::newRow("USUARIO.CFG, one byte short") << 0 << 1.0 << qint64(-1) << false;
        QTest::newRow("USUARIO.CFG, just enough") << 0 << 1.0 << qint64(0) << true;
    }
    void diskFillsUp()
    {
        QFETCH(int, contacts);
        QFETCH(double, fraction);
        QFETCH(qint64, extra);
        QFETCH(bool, fits);
        QTemporaryDir dir;
        const bool station = contacts == 0;
        const QString name = station ? u"USUARIO.CFG"_s : u"libro.LBR"_s;
        const QString target = dir.filePath(name);
        const QByteArray oldBytes = station ? QByteArray("\"Chile\"\r\n\"-4\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n") : makeLog(300, 1);
        const QByteArray newBytes = station ? kStationBytes : makeLog(contacts, 2);
        QVERIFY(writeFile(target, oldBytes) && writeFile(dir.filePath(u"nuevo.fuente"_s), newBytes));
        GridModel libro(kLibroCols, 1);
        QVERIFY(station || readLog(dir.filePath(u"nuevo.fuente"_s), libro));

        QVERIFY(limitFileSize(rlim_t(qint64(double(newBytes.size()) * fraction) + extra)));
        const auto result = [](const auto &written) { return std::pair(written.ok, written.error); };
        const auto [ok, said] = station ? result(writeUserConfig(target, kStation)) : result(EscribirLibro(libro, target));
        QVERIFY(limitFileSize(RLIM_INFINITY));

        const QByteArray now = readAll(target);
        // The bytes before the result: a save that claims success over a damaged file is the
        // worst outcome, and the sizes tell which it was.
        QVERIFY2(now == (fits ? newBytes : oldBytes), qPrintable(u"%1 of the %2 bytes saved are in the file (%3)"_s
                                                                    .arg(now.size()).arg(newBytes.size()).arg(said)));
        QCOMPARE(ok, fits);
        QVERIFY2(fits || (said.contains(u"No se pudo guardar el archivo "_s) && said.contains(name)), qPrintable(said));
        QCOMPARE(leftovers(dir.path(), {name, u"nuevo.fuente"_s}), QStringList());
    }

    void killedWhileSaving()
    {
        const qint64 contacts = ORVANEL_KILL_CONTACTS;
        QTemporaryDir dir;
        const QString target = dir.filePath(u"libro.LBR"_s);
        const QString source = dir.filePath(u"nuevo.fuente"_s);
        const QString keep = dir.filePath(u"viejo.copia"_s);
        QByteArray oldPrint, newPrint;
        {
            // The old log is the longer one: a save cut short could not pass for it by its size.
            const QByteArray oldBytes = makeLog(contacts + contacts / 20, 1);
            const QByteArray newBytes = makeLog(contacts, 2);
            QVERIFY(writeFile(keep, oldBytes) && writeFile(source, newBytes));
            oldPrint = fingerprint(keep);
            newPrint = fingerprint(source);
        }
        QRandomGenerator random(20010212);
        qint64 writeMs = 0;
        int killed = 0;
        // The first save runs to the end: how long writing takes sets the range of the moments
        // to kill the others at.
        for (int run = -1; run < 20; ++run) {
            QFile::remove(target);
            QVERIFY(QFile::copy(keep, target));
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(), {kCopyChild, source, target});
            while (!child.canReadLine())
                QVERIFY(child.waitForReadyRead(120000));
            QCOMPARE(child.readLine(), QByteArray("escribiendo\n"));
            QElapsedTimer writing;
            writing.start();
            if (run >= 0) {
                QThread::msleep(random.bounded(quint32(writeMs + writeMs / 4 + 1)));
                child.kill();
            }
            QVERIFY(child.waitForFinished(300000));
            if (run < 0) {
                writeMs = writing.elapsed();
                QCOMPARE(child.exitCode(), 0);
                QCOMPARE(fingerprint(target), newPrint);
            }
            killed += child.exitStatus() == QProcess::CrashExit;
            const QByteArray now = fingerprint(target);
            QVERIFY2(now == oldPrint || now == newPrint,
                     qPrintable(u"run %1: the log is neither the old nor the new one (%2)"_s.arg(run).arg(QString::fromLatin1(now))));
            for (const QString &name : leftovers(dir.path(), {u"libro.LBR"_s, u"nuevo.fuente"_s, u"viejo.copia"_s}))
                QFile::remove(dir.filePath(name));
        }
        qInfo("%lld contacts, %lld ms to write; %d of 20 saves killed", contacts, writeMs, killed);
        QVERIFY2(killed > 0, "no save was interrupted");
    }
    void failedSaveChangesNothing_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("prepare");
        QTest::addColumn<QString>("reason"); // what the explanation must hold
        const auto saveAs = [](const char *row, const QString &name, const QString &prepare, const QString &reason) {
            QTest::newRow(row) << u"mGuardar_como"_s << name << prepare << reason;
        };
        saveAs("folder without write permission", u"cerrada/libro.LBR"_s, u"closed folder"_s, u"permiso"_s);
        saveAs("name that is a folder", u"carpeta.LBR"_s, u"folder"_s, u"una carpeta"_s);
        saveAs("read-only file", u"solo.LBR"_s, u"read-only file"_s, u"solo lectura"_s);
        saveAs("path through a missing folder", u"falta/libro.LBR"_s, QString(), u"no existe"_s);
        saveAs("path through a file", u"viejo.LBR/libro.LBR"_s, QString(), u"no es una carpeta"_s);
        saveAs("a call the code page cannot hold", u"nuevo.LBR"_s, u"unencodable"_s, u"el contacto de la fila 2 (R3Ж), columna «Indicativo», contiene el carácter «Ж»"_s);
        saveAs("disk full", u"nuevo.LBR"_s, u"disk full"_s, QString());
        QTest::newRow("disk full, Guardar") << u"mGuardar"_s << u"viejo.LBR"_s << u"disk full"_s << QString();
    }
    // The user is told, and the log, its title and every file stay as they were; the save-as
    // window stays open so that the name can be tried again.
    void failedSaveChangesNothing()
    {
        QFETCH(QString, command);
        QFETCH(QString, name);
        QFETCH(QString, prepare);
        QFETCH(QString, reason);
        if ((prepare == u"closed folder" || prepare == u"read-only file") && !permissionsApply())
            QSKIP("Running as root, whom file permissions do not stop: this case cannot fail here.");

        AppFixture f;
        QVERIFY(writeFile(f.path(u"viejo.LBR"_s), makeLog(3000, 1)));
        useFile(f, "nAbrir", u"viejo.LBR"_s);
        f.libro().setTextMatrix(5, 16, u"cambiado después de abrir"_s);
        QDir folder(f.dir.path());
        if (prepare == u"closed folder")
            QVERIFY(folder.mkdir(u"cerrada"_s) && QFile::setPermissions(f.path(u"cerrada"_s), QFile::ReadOwner | QFile::ExeOwner));
        else if (prepare == u"folder")
            QVERIFY(plant(f.path(name), prepare));
        else if (prepare == u"read-only file")
            QVERIFY(writeFile(f.path(name), "0\r\n") && QFile::setPermissions(f.path(name), QFile::ReadOwner));
        else if (prepare == u"unencodable")
            f.libro().setTextMatrix(2, 1, u"R3Ж"_s);
        const QString title = f.frame().windowTitle();
        const QList<QStringList> table = f.cells();
        const auto files = snapshot(f.dir.path());

        FormWindow *guarda = fileWindow(f, "mGuardar_como");
        if (prepare == u"disk full")
            QVERIFY(limitFileSize(64 * 1024)); // the log needs about 400 KB
        if (command == u"mGuardar")
            f.action("mGuardar")->trigger();
        else
            pressGo(guarda, name); // an existing file is confirmed (the fake answers OK); a folder is none
        QVERIFY(limitFileSize(RLIM_INFINITY));
        const auto &asked = f.fakes.messages.asked;
        QCOMPARE(asked.size(), prepare == u"read-only file" ? 2 : 1);
        const QString said = asked.last().text;
        QVERIFY2(said.startsWith(u"No se pudo guardar el archivo «%1»: "_s.arg(name)), qPrintable(said));
        QVERIFY2(said.contains(reason), qPrintable(said));
        QCOMPARE(asked.last().title, command == u"mGuardar" ? u"Guardar"_s : u"Guardar como..."_s);
        QVERIFY(asked.last().icon == MessageSeam::Icon::Critical);
        QCOMPARE(f.frame().windowTitle(), title);
        QVERIFY(guarda->isVisible());
        QVERIFY(f.cells() == table);
        QVERIFY2(snapshot(f.dir.path()) == files, "a file was changed, left behind or created");
        QFile::setPermissions(f.path(u"cerrada"_s), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        if (prepare == u"disk full") { // with room again the same log is saved whole
            f.action("mGuardar")->trigger();
            QCOMPARE(asked.size(), 1);
            LibroRead back = LeerLibro(f.path(u"viejo.LBR"_s));
            QVERIFY(back.ok);
            QCOMPARE(qint64(back.rows.rows()), qint64(3000));
            QCOMPARE(QString::fromUtf8(back.rows.cell(4, 16)), u"cambiado después de abrir"_s);
        }
    }
};

int main(int argc, char **argv)
{
    if (argc == 4 && QString::fromLocal8Bit(argv[1]) == kCopyChild) {
        const int status = copyLog(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
        std::fflush(nullptr);
        std::_Exit(status); // a million rows need no tidying before the process ends
    }
    QApplication app(argc, argv);
    TestSaveFaults test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_savefaults.moc"
