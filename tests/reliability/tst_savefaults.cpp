// Saving under injected faults: a disk that fills up (a file-size limit), the program killed in
// the middle of a save, and names or values that cannot be written. Whatever happens, the previous file
// stays whole, the user is told in Spanish, and the log and its title stay as they were.
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
//   --guardar-copia FROM TO   reads the log FROM and saves it as TO (Guardar);
//   --guardar-usuario TO      saves the station values as TO (Aceptar in the user window).
// It prints "escribiendo" as the save begins, and the error text when the save is refused.
const QString kCopyChild = u"--guardar-copia"_s;
const QString kUserChild = u"--guardar-usuario"_s;
constexpr int kChildFailed = 3;

const QStringList kStation{u"Argentina"_s, u"-3"_s, u"Santa Fe"_s, u"Rosario"_s, u"Calle 1"_s, u"2000"_s, QString()};
const QByteArray kStationBytes("\"Argentina\"\r\n\"-3\"\r\n\"Santa Fe\"\r\n\"Rosario\"\r\n\"Calle 1\"\r\n\"2000\"\r\n\"\"\r\n");

int refused(const QString &error)
{
    std::fputs(qUtf8Printable(error), stdout);
    return kChildFailed;
}

int copyLog(const QString &from, const QString &to)
{
    LibroRead read = LeerLibro(from);
    if (!read.ok) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(read.error));
        return 4;
    }
    GridModel libro(kLibroCols, 1);
    libro.appendRows(std::move(read.rows));
    std::fputs("escribiendo\n", stdout);
    std::fflush(stdout);
    const LibroWrite written = EscribirLibro(libro, to);
    return written.ok ? 0 : refused(written.error);
}

int saveStation(const QString &to)
{
    std::fputs("escribiendo\n", stdout);
    const WriteResult written = writeUserConfig(to, kStation);
    return written.ok ? 0 : refused(written.error);
}

void startCopy(QProcess &child, const QString &from, const QString &to)
{
    child.start(QCoreApplication::applicationFilePath(), {kCopyChild, from, to});
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
    void diskFillsUpInAChild_data();
    void diskFillsUpInAChild();
    void killedWhileSaving();
    void failedSaveChangesNothing_data();
    void failedSaveChangesNothing();
};

void TestSaveFaults::diskFillsUpInAChild_data()
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
    QTest::newRow("small log, no room at all") << 1 << 0.0 << qint64(0) << false;
    QTest::newRow("small log, one byte short") << 1 << 1.0 << qint64(-1) << false;
    QTest::newRow("USUARIO.CFG, no room at all") << 0 << 0.0 << qint64(0) << false;
    QTest::newRow("USUARIO.CFG, one byte short") << 0 << 1.0 << qint64(-1) << false;
    QTest::newRow("USUARIO.CFG, just enough") << 0 << 1.0 << qint64(0) << true;
}

void TestSaveFaults::diskFillsUpInAChild()
{
    QFETCH(int, contacts);
    QFETCH(double, fraction);
    QFETCH(qint64, extra);
    QFETCH(bool, fits);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const bool station = contacts == 0;
    const QString name = station ? u"USUARIO.CFG"_s : u"libro.LBR"_s;
    const QString target = dir.filePath(name);
    const QString source = dir.filePath(u"nuevo.fuente"_s);
    const QByteArray oldBytes = station ? QByteArray("\"Chile\"\r\n\"-4\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n")
                                        : makeLog(300, 1);
    const QByteArray newBytes = station ? kStationBytes : makeLog(contacts, 2);
    QVERIFY(writeFile(target, oldBytes));
    QStringList arguments{kUserChild, target};
    QStringList expected{name};
    if (!station) {
        QVERIFY(writeFile(source, newBytes));
        arguments = QStringList{kCopyChild, source, target};
        expected << u"nuevo.fuente"_s;
    }

    const rlim_t limit = rlim_t(qint64(double(newBytes.size()) * fraction) + extra);
    QProcess child;
    child.setChildProcessModifier([limit] { limitFileSize(limit); });
    child.start(QCoreApplication::applicationFilePath(), arguments);
    QVERIFY(child.waitForFinished(120000));
    const QString said = QString::fromUtf8(child.readAllStandardOutput());
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);

    const QByteArray now = readAll(target);
    if (fits) {
        QCOMPARE(child.exitCode(), 0);
        QVERIFY(now == newBytes);
    } else {
        // Checked before the exit code: a save that claims success over a damaged file is
        // the worst outcome, and the sizes tell which it was.
        QVERIFY2(now == oldBytes, qPrintable(u"the previous file was replaced by %1 of the %2 bytes saved (%3)"_s
                                                 .arg(now.size()).arg(newBytes.size()).arg(said)));
        QCOMPARE(child.exitCode(), kChildFailed);
        QVERIFY2(said.contains(u"No se pudo guardar el archivo "_s) && said.contains(name), qPrintable(said));
    }
    QCOMPARE(leftovers(dir.path(), expected), QStringList());
}

void TestSaveFaults::killedWhileSaving()
{
    const qint64 contacts = ORVANEL_KILL_CONTACTS;
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
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
    const auto restoreOld = [&] {
        QFile::remove(target);
        return QFile::copy(keep, target);
    };
    const auto waitUntilWriting = [](QProcess &child) {
        while (!child.canReadLine()) {
            if (!child.waitForReadyRead(120000))
                return false;
        }
        return child.readLine() == "escribiendo\n";
    };

    // Once to the end: the saved file is the new log, and how long writing takes sets the
    // range of the moments to kill at.
    QVERIFY(restoreOld());
    QProcess whole;
    startCopy(whole, source, target);
    QVERIFY(waitUntilWriting(whole));
    QElapsedTimer writing;
    writing.start();
    QVERIFY(whole.waitForFinished(300000));
    const qint64 writeMs = writing.elapsed();
    QCOMPARE(whole.exitCode(), 0);
    QCOMPARE(fingerprint(target), newPrint);

    QRandomGenerator random(20010212);
    int killed = 0, foundOld = 0, foundNew = 0;
    for (int run = 0; run < 20; ++run) {
        QVERIFY(restoreOld());
        QProcess child;
        startCopy(child, source, target);
        QVERIFY(waitUntilWriting(child));
        QThread::msleep(random.bounded(quint32(writeMs + writeMs / 4 + 1)));
        child.kill();
        QVERIFY(child.waitForFinished(60000));
        if (child.exitStatus() == QProcess::CrashExit)
            ++killed;
        const QByteArray now = fingerprint(target);
        QVERIFY2(now == oldPrint || now == newPrint,
                 qPrintable(u"run %1: the log is neither the old nor the new one (%2)"_s.arg(run).arg(
                     QString::fromLatin1(now))));
        ++(now == oldPrint ? foundOld : foundNew);
        for (const QString &name : leftovers(dir.path(), {u"libro.LBR"_s, u"nuevo.fuente"_s, u"viejo.copia"_s}))
            QFile::remove(dir.filePath(name));
    }
    qInfo("%lld contacts, %lld ms to write; 20 saves: %d killed, %d left the old log, %d the new one",
          contacts, writeMs, killed, foundOld, foundNew);
    QVERIFY2(killed > 0, "no save was interrupted");
}

void TestSaveFaults::failedSaveChangesNothing_data()
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
    saveAs("a call the code page cannot hold", u"nuevo.LBR"_s, u"unencodable"_s,
           u"el contacto de la fila 2 (R3Ж), columna «Indicativo», contiene el carácter «Ж»"_s);
    saveAs("disk full", u"nuevo.LBR"_s, u"disk full"_s, QString());
    QTest::newRow("disk full, Guardar") << u"mGuardar"_s << u"viejo.LBR"_s << u"disk full"_s << QString();
}

// The user is told, and the log, its title and every file stay as they were; the save-as
// window stays open so that the name can be tried again.
void TestSaveFaults::failedSaveChangesNothing()
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
    if (prepare == u"closed folder") {
        QVERIFY(folder.mkdir(u"cerrada"_s));
        QVERIFY(QFile::setPermissions(f.path(u"cerrada"_s), QFile::ReadOwner | QFile::ExeOwner));
    } else if (prepare == u"folder") {
        QVERIFY(folder.mkdir(name));
    } else if (prepare == u"read-only file") {
        QVERIFY(writeFile(f.path(name), "0\r\n"));
        QVERIFY(QFile::setPermissions(f.path(name), QFile::ReadOwner));
    } else if (prepare == u"unencodable") {
        f.libro().setTextMatrix(2, 1, u"R3Ж"_s);
    }
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

int main(int argc, char **argv)
{
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if ((argc == 4 && mode == kCopyChild) || (argc == 3 && mode == kUserChild)) {
        const int status = mode == kCopyChild
                               ? copyLog(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]))
                               : saveStation(QString::fromLocal8Bit(argv[2]));
        std::fflush(nullptr);
        std::_Exit(status); // a million rows need no tidying before the process ends
    }
    QApplication app(argc, argv);
    TestSaveFaults test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_savefaults.moc"
