// Files under injected faults: a full disk, a save killed, names and files that cannot be used,
// files that change between the look that finds them and the read, or while they are read. The
// previous file always stays whole, the user is told why, and nothing is lost or left behind.
#include "FileHelpers.h"
#include "FileWindows.h"
#include "dxcc/CallResolver.h"
#include "dxcc/DxccFile.h"
#include "logbook/LibroFile.h"
#include "station/UserConfig.h"
#include "station/UserConfigFile.h"
#include <QApplication>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <future>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
QByteArray fingerprint(const QString &path)
{
    return QCryptographicHash::hash(readAll(path), QCryptographicHash::Sha1).toHex();
}

// A log as the program writes it, about 140 bytes a contact; `variant` tells same-sized logs apart.
QByteArray makeLog(qint64 contacts, int variant)
{
    QByteArray bytes;
    bytes.reserve(qsizetype(contacts) * 150 + 32);
    bytes += QByteArray::number(contacts) + "\r\n";
    const char *const modes[] = {"SSB", "CW", "FM", "RTTY"};
    const QByteArray v = QByteArray::number(variant);
    for (qint64 r = 0; r < contacts; ++r) {
        const QByteArray n = QByteArray::number(r);
        bytes += "\"LU" + v + "X" + n + "\"\r\n\"Juan " + n + "\"\r\n\"Rosario\"\r\n\"Santa Fe\"\r\n"
                 "\"C\xf3rdoba\"\r\n\"2000\"\r\n\"\"\r\n\"59\"\r\n\"12/02/2001\"\r\n\"22:52:30\"\r\n\"7.050\"\r\n\"";
        bytes += modes[(r + variant) % 4];
        bytes += "\"\r\n\"BURO\"\r\n\"NO\"\r\n\"SI\"\r\n\"variante " + v + "\"\r\n";
    }
    return bytes;
}

// Puts what `kind` names where a file is looked for: "folder", "fifo", "empty", "unreadable"
// (a log no one may read), or nothing ("missing").
bool plant(const QString &path, const QString &kind)
{
    const QDir folder = QFileInfo(path).dir();
    if (kind == u"folder")
        return folder.mkdir(QFileInfo(path).fileName());
    if (kind == u"fifo")
        return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    if (kind == u"empty")
        return writeFile(path, QByteArray());
    if (kind == u"unreadable")
        return writeFile(path, makeLog(3, 2)) && QFile::setPermissions(path, QFileDevice::WriteOwner);
    return kind == u"missing";
}

// Every file and folder under `folder`: equal snapshots mean nothing was created, removed or changed.
QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info(path);
        QByteArray what = "<special>"; // opening a FIFO to read it would wait for a writer
        if (info.isDir())
            what = "<folder>";
        else if (info.isFile())
            what = fingerprint(path);
        files.insert(QDir(folder).relativeFilePath(path), what);
    }
    return files;
}

bool permissionsApply() { return geteuid() != 0; } // they stop nobody running as root

// Files this process writes may grow to `bytes` only (RLIM_INFINITY: as far as the hard limit
// allows); a write beyond fails with EFBIG instead of the signal that would end the process.
bool limitFileSize(rlim_t bytes)
{
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = std::min(bytes, limit.rlim_max);
    return setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

// The test program runs itself as the process that saves: "--guardar-copia FROM TO" reads the
// log FROM and saves it as TO, printing "escribiendo" as the save begins.
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
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    names.removeIf([&](const QString &name) { return expected.contains(name); });
    return names;
}


const QString kNotFound = u"El archivo no se encuentra. Asegúrese de haberlo escrito correctamente."_s;

struct Outcome { bool ok = false; QString error; qint64 rows = 0; }; // what a reader made of a file

Outcome readWith(const QString &reader, const QString &path)
{
    if (reader == u"libro") {
        const LibroRead r = LeerLibro(path, QFileInfo(path).fileName());
        return {r.ok, r.error, r.rows.rows()};
    }
    if (reader == u"usuario") {
        const ConfigRead r = readUserConfig(path);
        return {!r.damaged, r.problem, r.items.size()};
    }
    if (reader == u"cty") {
        const CountryFileRead r = CallResolver::read(path);
        return {r.ok, r.error, r.resolver ? qint64(r.resolver->entities().size()) : 0};
    }
    const DxccRead r = readDxccFile(path);
    return {r.ok, r.error, r.entries.rows()};
}

QByteArray validFile(const QString &reader)
{
    if (reader == u"libro")
        return makeLog(5, 1);
    if (reader == u"usuario")
        return "\"Chile\"\r\n\"-4\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n";
    if (reader == u"cty")
        return "EA,Spain,281,EU,14,37,40.32,3.43,-1.0,EA;\n";
    return "1\r\n\"EA\"\r\n\"14 - Spain\"\r\n\"EU\"\r\n";
}

// Reads without waiting forever: a reader that opens a FIFO blocks until a writer comes, so
// after a while one comes, the read ends, and the test fails instead of hanging.
bool readWithin(const QString &reader, const QString &path, Outcome &outcome)
{
    auto reading = std::async(std::launch::async, [&] { return readWith(reader, path); });
    if (reading.wait_for(std::chrono::seconds(10)) == std::future_status::ready) {
        outcome = reading.get();
        return true;
    }
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK);
    if (fd >= 0)
        ::close(fd);
    reading.wait();
    return false;
}

struct Meddler // keeps changing a file from another thread until destroyed
{
    std::atomic<bool> stop{false};
    std::thread thread;
    template <typename Change>
    explicit Meddler(Change change) : thread([this, change] { for (int i = 0; !stop; ++i) change(i); }) {}
    ~Meddler() { stop = true; thread.join(); }
};

} // namespace

class TestFileFaults : public QObject
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
        // The bytes first: a save that claims success over a damaged file is the worst outcome.
        QVERIFY2(now == (fits ? newBytes : oldBytes), qPrintable(u"%1 of %2 bytes in the file: %3"_s.arg(now.size()).arg(newBytes.size()).arg(said)));
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
        // The old log is the longer one: a save cut short could not pass for it by its size.
        QVERIFY(writeFile(keep, makeLog(contacts + contacts / 20, 1)) && writeFile(source, makeLog(contacts, 2)));
        const QByteArray oldPrint = fingerprint(keep), newPrint = fingerprint(source);
        QRandomGenerator random(20010212);
        qint64 writeMs = 0;
        int killed = 0;
        // The first save runs to the end: how long it writes sets when the others are killed.
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
    void refusedCommandChangesNothing_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("prepare");
        QTest::addColumn<QString>("said"); // the whole message, or words it must hold ('|' between them)
        const QString saveAs = u"mGuardar_como"_s;
        QTest::newRow("folder without write permission") << saveAs << u"cerrada/libro.LBR"_s << u"closed folder"_s << u"permiso"_s;
        QTest::newRow("name that is a folder") << saveAs << u"carpeta.LBR"_s << u"folder"_s << u"una carpeta"_s;
        QTest::newRow("read-only file") << saveAs << u"solo.LBR"_s << u"read-only file"_s << u"solo lectura"_s;
        QTest::newRow("path through a missing folder") << saveAs << u"falta/libro.LBR"_s << QString() << u"no existe"_s;
        QTest::newRow("path through a file") << saveAs << u"viejo.LBR/libro.LBR"_s << QString() << u"no es una carpeta"_s;
        QTest::newRow("a call the code page cannot hold") << saveAs << u"nuevo.LBR"_s << u"unencodable"_s << u"el contacto de la fila 2 (R3Ж), columna «Indicativo», contiene el carácter «Ж»"_s;
        QTest::newRow("disk full") << saveAs << u"nuevo.LBR"_s << u"disk full"_s << QString();
        QTest::newRow("disk full, Guardar") << u"mGuardar"_s << u"viejo.LBR"_s << u"disk full"_s << QString();
        for (const char *command : {"nAbrir", "mImportar"}) {
            const QString c = QString::fromLatin1(command);
            QTest::addRow("%s a folder", command) << c << u"malo.LBR"_s << u"folder"_s << kNotFound;
            QTest::addRow("%s a FIFO", command) << c << u"malo.LBR"_s << u"fifo"_s << kNotFound;
            QTest::addRow("%s a missing file", command) << c << u"malo.LBR"_s << u"missing"_s << kNotFound;
            QTest::addRow("%s an unreadable file", command) << c << u"malo.LBR"_s << u"unreadable"_s << u"permiso"_s;
            QTest::addRow("%s a damaged file", command) << c << u"malo.LBR"_s << u"damaged"_s << u"«malo.LBR»|Línea 29"_s;
        }
    }
    // The user is told, and the log, its numbers, its title, the save items and every file stay
    // as they were; the file window stays open with the name, so that it can be tried again.
    void refusedCommandChangesNothing()
    {
        QFETCH(QString, command);
        QFETCH(QString, name);
        QFETCH(QString, prepare);
        QFETCH(QString, said);
        if ((prepare == u"closed folder" || prepare == u"read-only file" || prepare == u"unreadable") && !permissionsApply())
            QSKIP("Running as root, whom file permissions do not stop: this case cannot fail here.");
        const bool saving = command.startsWith(u"mGuardar");

        AppFixture f;
        QVERIFY(writeFile(f.path(u"viejo.LBR"_s), makeLog(3000, 1)));
        useFile(f, "nAbrir", u"viejo.LBR"_s);
        f.libro().setTextMatrix(5, 16, u"cambiado después de abrir"_s);
        if (!saving)
            f.libro().setTextMatrix(2, 0, u"9"_s); // not even renumbered
        const QString path = f.path(name);
        if (prepare == u"closed folder") {
            QVERIFY(plant(f.path(u"cerrada"_s), u"folder"_s) && QFile::setPermissions(f.path(u"cerrada"_s), QFile::ReadOwner | QFile::ExeOwner));
        } else if (prepare == u"read-only file") {
            QVERIFY(writeFile(path, "0\r\n") && QFile::setPermissions(path, QFile::ReadOwner));
        } else if (prepare == u"unencodable") {
            f.libro().setTextMatrix(2, 1, u"R3Ж"_s);
        } else if (prepare == u"damaged") { // its last five lines missing: line 29 is the first one short
            QVERIFY(writeFile(path, makeLog(2, 2).split('\n').mid(0, 28).join('\n') + '\n'));
        } else if (!prepare.isEmpty() && prepare != u"disk full") {
            QVERIFY(plant(path, prepare));
        }
        const QString title = f.frame().windowTitle();
        const QList<QStringList> table = f.cells();
        const auto files = snapshot(f.dir.path());

        FormWindow *window = fileWindow(f, saving ? "mGuardar_como" : qPrintable(command));
        if (prepare == u"disk full")
            QVERIFY(limitFileSize(64 * 1024)); // the log needs about 400 KB
        if (command == u"mGuardar")
            f.action("mGuardar")->trigger();
        else
            pressGo(window, name); // an existing file is confirmed (the fake answers OK); a folder is none
        QVERIFY(limitFileSize(RLIM_INFINITY));
        const auto &asked = f.fakes.messages.asked;
        QCOMPARE(asked.size(), prepare == u"read-only file" ? 2 : 1);
        const auto &last = asked.last();
        if (saving) {
            QVERIFY2(last.text.startsWith(u"No se pudo guardar el archivo «%1»: "_s.arg(name)) && last.text.contains(said), qPrintable(last.text));
            QCOMPARE(last.title, command == u"mGuardar" ? u"Guardar"_s : u"Guardar como..."_s);
            QVERIFY(last.icon == MessageSeam::Icon::Critical);
        } else if (said == kNotFound) {
            QCOMPARE(last.text, said);
            QCOMPARE(last.title, u"Abrir"_s); // from either command
            QVERIFY(last.buttons == MessageSeam::Buttons::Ok && last.icon == MessageSeam::Icon::None);
        } else {
            for (const QString &part : said.split(u'|'))
                QVERIFY2(last.text.contains(part), qPrintable(last.text));
            QCOMPARE(last.title, command == u"nAbrir" ? u"Abrir"_s : u"Importar"_s);
        }
        QVERIFY(window->isVisible());
        QVERIFY(command == u"mGuardar" || window->lineEdit(u"Archivo"_s)->text() == name);
        QCOMPARE(f.frame().windowTitle(), title);
        QVERIFY(f.action("mGuardar")->isEnabled() && f.action("mGuardar_como")->isEnabled());
        QVERIFY(f.cells() == table);
        QVERIFY2(snapshot(f.dir.path()) == files, "a file was changed, left behind or created");

        if (prepare == u"disk full") { // with room again the same log is saved whole
            f.action("mGuardar")->trigger();
            QCOMPARE(asked.size(), 1);
            LibroRead back = LeerLibro(f.path(u"viejo.LBR"_s));
            QVERIFY(back.ok);
            QCOMPARE(qint64(back.rows.rows()), qint64(3000));
            QCOMPARE(QString::fromUtf8(back.rows.cell(4, 16)), u"cambiado después de abrir"_s);
        }
    }

    void changedAfterBeingFound_data()
    {
        QTest::addColumn<QString>("reader");
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("reason"); // what the explanation must hold, %1 for the path; empty: Qt's text
        const struct { const char16_t *change, *lbr, *cfg, *dxcc, *cty; } changes[] = {
            {u"missing", u"no existe", u"no existe", u"No se pudo leer el archivo archivo.dat: no existe.", u"No se pudo leer el archivo «%1»: no existe."},
            {u"folder", u"carpeta", u"carpeta", u"", u"carpeta"},
            {u"fifo", u"no es un archivo común", u"no es un archivo común", u"", u"no es un archivo común"},
            {u"empty", u"vacío", u"vacío", u"vacío", u"ninguna entidad"},
        };
        for (const auto &c : changes) {
            const std::pair<const char *, const char16_t *> readers[] = {{"libro", c.lbr}, {"usuario", c.cfg}, {"dxcc", c.dxcc}, {"cty", c.cty}};
            for (const auto &[reader, reason] : readers)
                QTest::addRow("%s, %s", reader, qPrintable(QString::fromUtf16(c.change))) << QString::fromLatin1(reader)
                                                                                        << QString::fromUtf16(c.change) << QString::fromUtf16(reason);
        }
    }
    // The file was there when the program looked (the commands test that a name is a file before
    // reading it), and is something else when the reader opens it.
    void changedAfterBeingFound()
    {
        QFETCH(QString, reader);
        QFETCH(QString, change);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"archivo.dat"_s);
        QVERIFY(writeFile(path, validFile(reader)));
        Outcome before;
        QVERIFY(readWithin(reader, path, before) && before.ok);

        QVERIFY(QFile::remove(path) && plant(path, change));
        Outcome outcome;
        QVERIFY2(readWithin(reader, path, outcome), "the reader waited for a writer on a FIFO");
        QVERIFY(!outcome.ok);
        QVERIFY2(outcome.error.contains(u"archivo.dat"_s) && outcome.error.contains(QString(reason).replace(u"%1"_s, path)), qPrintable(outcome.error));
        if (reader != u"usuario")
            QCOMPARE(outcome.rows, qint64(0)); // a refused file gives nothing
    }
    // Another copy of the program saves the same log again and again, as saves are done: a whole
    // new file renamed into place; every read sees one complete version, never a mixture. Or a
    // careless writer cuts the file and writes it again in place, or deletes it: a read may see
    // any mixture, and must still end cleanly, with a table or a reason, never both.
    void changedWhileBeingRead()
    {
        for (const bool inPlace : {false, true}) {
            QTemporaryDir dir;
            const QString path = dir.filePath(u"libro.LBR"_s);
            const QByteArray versions[2] = {makeLog(4000, 1), makeLog(2500, 2)};
            QVERIFY(writeFile(path, versions[0]));
            Meddler writer([&](int i) {
                const QByteArray &bytes = versions[(i + 1) % 2];
                if (!inPlace) {
                    const QString next = dir.filePath(u"nuevo.tmp"_s);
                    if (writeFile(next, bytes))
                        ::rename(QFile::encodeName(next).constData(), QFile::encodeName(path).constData());
                    return;
                }
                QFile file(path);
                if (i % 5 == 4)
                    file.remove();
                else if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
                    for (qsizetype at = 0; at < bytes.size(); at += 8192)
                        file.write(bytes.constData() + at, std::min<qsizetype>(8192, bytes.size() - at));
            });
            int refused = 0;
            for (int i = 0; i < 100; ++i) {
                const LibroRead read = LeerLibro(path);
                QVERIFY(read.ok == read.error.isEmpty());
                QVERIFY2(read.ok || inPlace, qPrintable(read.error));
                if (!read.ok) {
                    QCOMPARE(qint64(read.rows.rows()), qint64(0));
                    ++refused;
                } else if (!inPlace) {
                    const int64_t n = read.rows.rows();
                    QVERIFY2(n == 4000 || n == 2500, qPrintable(QString::number(n)));
                    const QString variant = n == 4000 ? u"1"_s : u"2"_s;
                    QCOMPARE(QString::fromUtf8(read.rows.cell(0, 1)), u"LU%1X0"_s.arg(variant));
                    QCOMPARE(QString::fromUtf8(read.rows.cell(n - 1, 16)), u"variante "_s + variant);
                }
            }
            qInfo("%d of 100 reads refused the file as it changed (%s)", refused, inPlace ? "in place" : "renamed");
        }
    }
    void badUserConfigAtStart_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("used"); // the values the window shows from the file
        QTest::addColumn<int>("difUtc");
        QTest::addColumn<QString>("said");     // a word the message must hold
        const QByteArray nul = QByteArray("\"Chile\"\r\n\"-4\"\r\n\"Val") + '\0' + QByteArray("pa\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n");
        QTest::newRow("truncated in the third value") << u"file"_s << QByteArray("\"Chile\"\r\n\"-4\"\r\n\"Valpa") << QStringList{u"Chile"_s, u"-4"_s, u"Valpa"_s} << -4 << u"dañado"_s;
        QTest::newRow("NUL bytes") << u"file"_s << nul << QStringList{u"Chile"_s, u"-4"_s, u"Valpa"_s, {}, {}, {}, {}} << -4 << u"nulos"_s;
        QTest::newRow("empty") << u"file"_s << QByteArray() << QStringList() << 0 << u"vacío"_s;
        QTest::newRow("unreadable") << u"unreadable"_s << QByteArray() << QStringList() << 0 << u"permiso"_s;
        QTest::newRow("a folder") << u"folder"_s << QByteArray() << QStringList() << 0 << u"carpeta"_s;
    }
    void badUserConfigAtStart()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, used);
        QFETCH(int, difUtc);
        QFETCH(QString, said);
        if (kind == u"unreadable" && !permissionsApply())
            QSKIP("Running as root, whom file permissions do not stop: this case cannot fail here.");

        AppFixture f(false);
        const QString path = f.path(u"USUARIO.CFG"_s);
        QVERIFY(kind == u"file" ? writeFile(path, bytes) : plant(path, kind));
        f.start();

        QCOMPARE(f.fakes.messages.asked.size(), 1);
        const auto &asked = f.fakes.messages.asked.first();
        QVERIFY2(asked.text.contains(u"USUARIO.CFG"_s) && asked.text.contains(said), qPrintable(asked.text));
        QCOMPARE(asked.title, u"Configuración de Usuario"_s);
        QCOMPARE(f.app->userConfig().values().mid(0, used.size()), used);
        QCOMPARE(f.app->userConfig().difUtc(), qint16(difUtc));
        QVERIFY(!f.app->userConfig().usesSystemZone()); // a file from before the check box: its offset stands
        QCOMPARE(f.libro().Rows(), 1); // start-up went on
    }
};

int main(int argc, char **argv)
{
    if (argc == 4 && QString::fromLocal8Bit(argv[1]) == kCopyChild) // a million rows need no tidying at the end
        std::_Exit(copyLog(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3])));
    QApplication app(argc, argv);
    TestFileFaults test;
    return QTest::qExec(&test, argc, argv);
}


#include "tst_filefaults.moc"
