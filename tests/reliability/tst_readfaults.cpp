// Reading under injected faults: files that vanish or change between the look that finds them
// and the read, files replaced or rewritten while they are read, names that cannot be read, and
// a damaged or unusable USUARIO.CFG at start-up. The program never crashes or hangs, says what
// happened, and keeps what it had.
#include "FileFaults.h"
#include "FileWindows.h"
#include "dxcc/DxccFile.h"
#include "logbook/LibroFile.h"
#include "station/UserConfig.h"
#include "station/UserConfigFile.h"

#include <QApplication>
#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <thread>

using namespace Qt::StringLiterals;
using namespace faults;

namespace {

const QString kNotFound = u"El archivo no se encuentra. Asegúrese de haberlo escrito correctamente."_s;

// What any of the three readers made of a file.
struct Outcome
{
    bool ok = false;
    QString error;
    qint64 rows = 0;
};

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
    const DxccRead r = readDxccFile(path);
    return {r.ok, r.error, r.entries.rows()};
}

QByteArray validFile(const QString &reader)
{
    if (reader == u"libro")
        return makeLog(5, 1);
    if (reader == u"usuario")
        return "\"Chile\"\r\n\"-4\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n";
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

// Keeps changing a file from another thread until destroyed.
class Meddler
{
public:
    template <typename Change>
    explicit Meddler(Change change)
        : m_thread([this, change] {
              for (int i = 0; !m_stop.load(); ++i)
                  change(i);
          })
    {
    }
    ~Meddler()
    {
        m_stop = true;
        m_thread.join();
    }

private:
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

} // namespace

class TestReadFaults : public QObject
{
    Q_OBJECT
private slots:
    void changedAfterBeingFound_data();
    void changedAfterBeingFound();
    void replacedWhileBeingRead();
    void rewrittenWhileBeingRead();
    void namesThatCannotBeOpened_data();
    void namesThatCannotBeOpened();
    void badUserConfigAtStart_data();
    void badUserConfigAtStart();
};

void TestReadFaults::changedAfterBeingFound_data()
{
    QTest::addColumn<QString>("reader");
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("reason"); // a word the explanation must hold; empty: Qt's text
    const struct { const char16_t *change, *lbr, *cfg, *dxcc; } changes[] = {
        {u"removed", u"no existe", u"no existe", u""},
        {u"replaced by a folder", u"carpeta", u"carpeta", u""},
        {u"replaced by a FIFO", u"no es un archivo común", u"no es un archivo común", u""},
        {u"replaced by a link to nowhere", u"no existe", u"no existe", u""},
        {u"replaced by a link to a folder", u"carpeta", u"carpeta", u""},
        {u"emptied", u"vacío", u"vacío", u"vacío"},
    };
    for (const auto &c : changes) {
        const QString change = QString::fromUtf16(c.change);
        QTest::addRow("LBR, %s", qPrintable(change)) << u"libro"_s << change << QString::fromUtf16(c.lbr);
        QTest::addRow("USUARIO.CFG, %s", qPrintable(change)) << u"usuario"_s << change << QString::fromUtf16(c.cfg);
        QTest::addRow("dxcc.dat, %s", qPrintable(change)) << u"dxcc"_s << change << QString::fromUtf16(c.dxcc);
    }
}

// The file was there when the program looked (the commands test that a name is a file before
// reading it), and is something else when the reader opens it.
void TestReadFaults::changedAfterBeingFound()
{
    QFETCH(QString, reader);
    QFETCH(QString, change);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"archivo.dat"_s);
    QVERIFY(writeFile(path, validFile(reader)));
    Outcome before;
    QVERIFY(readWithin(reader, path, before) && before.ok);
    QVERIFY(QFileInfo(path).isFile());

    const QByteArray native = QFile::encodeName(path);
    if (change != u"emptied")
        QVERIFY(QFile::remove(path));
    if (change == u"replaced by a folder")
        QVERIFY(QDir(dir.path()).mkdir(u"archivo.dat"_s));
    else if (change == u"replaced by a FIFO")
        QVERIFY(::mkfifo(native.constData(), 0600) == 0);
    else if (change == u"replaced by a link to nowhere")
        QVERIFY(QFile::link(dir.filePath(u"no-existe"_s), path));
    else if (change == u"replaced by a link to a folder")
        QVERIFY(QDir(dir.path()).mkdir(u"otra"_s) && QFile::link(dir.filePath(u"otra"_s), path));
    else if (change == u"emptied")
        QVERIFY(writeFile(path, QByteArray()));

    Outcome outcome;
    QVERIFY2(readWithin(reader, path, outcome), "the reader waited for a writer on a FIFO");
    QVERIFY(!outcome.ok);
    QVERIFY2(outcome.error.contains(u"archivo.dat"_s), qPrintable(outcome.error));
    QVERIFY2(reason.isEmpty() || outcome.error.contains(reason), qPrintable(outcome.error));
    if (reader != u"usuario")
        QCOMPARE(outcome.rows, qint64(0)); // a refused file gives nothing
}

// Another copy of the program saves the same log again and again, as saves are done: a whole
// new file renamed into place. Every read sees one complete version, never a mixture.
void TestReadFaults::replacedWhileBeingRead()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"libro.LBR"_s);
    const QByteArray versions[2] = {makeLog(4000, 1), makeLog(2500, 2)};
    QVERIFY(writeFile(path, versions[0]));
    {
        Meddler saver([&](int i) {
            const QString next = dir.filePath(u"nuevo.tmp"_s);
            if (writeFile(next, versions[(i + 1) % 2]))
                ::rename(QFile::encodeName(next).constData(), QFile::encodeName(path).constData());
        });
        for (int i = 0; i < 60; ++i) {
            const LibroRead read = LeerLibro(path);
            QVERIFY2(read.ok, qPrintable(read.error));
            const int64_t n = read.rows.rows();
            QVERIFY2(n == 4000 || n == 2500, qPrintable(QString::number(n)));
            const QString variant = n == 4000 ? u"1"_s : u"2"_s;
            QCOMPARE(QString::fromUtf8(read.rows.cell(0, 1)), u"LU%1X0"_s.arg(variant));
            QCOMPARE(QString::fromUtf8(read.rows.cell(n - 1, 16)), u"variante "_s + variant);
        }
    }
}

// A careless writer cuts the file and writes it again in place, or deletes it, while it is read.
// A read may then see any mixture; it must still end cleanly: a table or a reason, never both.
void TestReadFaults::rewrittenWhileBeingRead()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"libro.LBR"_s);
    const QByteArray versions[2] = {makeLog(3000, 1), makeLog(1000, 2)};
    QVERIFY(writeFile(path, versions[0]));
    int refused = 0;
    {
        Meddler careless([&](int i) {
            if (i % 5 == 4) {
                QFile::remove(path);
                return;
            }
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
                return;
            const QByteArray &bytes = versions[i % 2];
            for (qsizetype at = 0; at < bytes.size(); at += 8192)
                file.write(bytes.constData() + at, std::min<qsizetype>(8192, bytes.size() - at));
        });
        for (int i = 0; i < 200; ++i) {
            const LibroRead read = LeerLibro(path);
            QVERIFY(read.ok == read.error.isEmpty());
            if (!read.ok) {
                QCOMPARE(qint64(read.rows.rows()), qint64(0));
                ++refused;
            }
        }
    }
    qInfo("%d of 200 reads refused the file as it changed", refused);
}

void TestReadFaults::namesThatCannotBeOpened_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("said"); // the whole message, or words it must hold ('|' between them)
    for (const char *command : {"nAbrir", "mImportar"}) {
        QTest::addRow("%s a folder", command) << QString::fromLatin1(command) << u"folder"_s << kNotFound;
        QTest::addRow("%s a FIFO", command) << QString::fromLatin1(command) << u"fifo"_s << kNotFound;
        QTest::addRow("%s a missing file", command) << QString::fromLatin1(command) << u"missing"_s << kNotFound;
        QTest::addRow("%s an unreadable file", command) << QString::fromLatin1(command) << u"unreadable"_s
                                                        << u"permiso"_s;
        QTest::addRow("%s a damaged file", command) << QString::fromLatin1(command) << u"damaged"_s
                                                    << u"«malo.LBR»|Línea 29"_s;
    }
}

// Whatever the name holds, a refused file leaves the log, its numbers, the title, the save
// items and the files as they were, and the window open with the name for another try.
void TestReadFaults::namesThatCannotBeOpened()
{
    QFETCH(QString, command);
    QFETCH(QString, kind);
    QFETCH(QString, said);
    if (kind == u"unreadable" && !permissionsApply())
        QSKIP("Running as root, whom file permissions do not stop: this case cannot fail here.");

    AppFixture f;
    QVERIFY(writeFile(f.path(u"viejo.LBR"_s), makeLog(12, 1)));
    useFile(f, "nAbrir", u"viejo.LBR"_s);
    f.libro().setTextMatrix(2, 0, u"9"_s);
    const QString name = u"malo.LBR"_s;
    const QString path = f.path(name);
    if (kind == u"folder")
        QVERIFY(QDir(f.dir.path()).mkdir(name));
    else if (kind == u"fifo")
        QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
    else if (kind == u"unreadable")
        QVERIFY(writeFile(path, makeLog(3, 2)) && QFile::setPermissions(path, QFileDevice::WriteOwner));
    else if (kind == u"damaged") { // its last five lines missing: line 29 is the first one short
        QByteArray bytes = makeLog(2, 2).chopped(2);
        for (int i = 0; i < 5; ++i)
            bytes.truncate(bytes.lastIndexOf("\r\n"));
        QVERIFY(writeFile(path, bytes + "\r\n"));
    }
    const QString title = f.frame().windowTitle();
    const QList<QStringList> table = f.cells();
    const auto files = snapshot(f.dir.path());

    FormWindow *window = useFile(f, qPrintable(command), name);
    QCOMPARE(f.fakes.messages.asked.size(), 1);
    const auto &asked = f.fakes.messages.asked.first();
    if (said == kNotFound) {
        QCOMPARE(asked.text, said);
        QCOMPARE(asked.title, u"Abrir"_s); // from either command
        QVERIFY(asked.buttons == MessageSeam::Buttons::Ok && asked.icon == MessageSeam::Icon::None);
    } else {
        for (const QString &part : said.split(u'|'))
            QVERIFY2(asked.text.contains(part), qPrintable(asked.text));
        QCOMPARE(asked.title, command == u"nAbrir" ? u"Abrir"_s : u"Importar"_s);
    }
    QVERIFY(window->isVisible());
    QCOMPARE(window->lineEdit(u"Archivo"_s)->text(), name);
    QCOMPARE(f.frame().windowTitle(), title);
    QVERIFY(f.action("mGuardar")->isEnabled() && f.action("mGuardar_como")->isEnabled());
    QVERIFY(f.cells() == table); // not even renumbered
    QVERIFY(snapshot(f.dir.path()) == files);
}

void TestReadFaults::badUserConfigAtStart_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("used"); // the values the window shows from the file
    QTest::addColumn<int>("difUtc");
    QTest::addColumn<QString>("said");     // a word the message must hold
    QTest::newRow("truncated in the third value") << u"file"_s << QByteArray("\"Chile\"\r\n\"-4\"\r\n\"Valpa")
                                                  << QStringList{u"Chile"_s, u"-4"_s, u"Valpa"_s} << -4 << u"dañado"_s;
    QTest::newRow("truncated in the first value") << u"file"_s << QByteArray("\"Chi") << QStringList{u"Chi"_s} << 0
                                                  << u"dañado"_s;
    QTest::newRow("NUL bytes") << u"file"_s
                               << QByteArray("\"Chile\"\r\n\"-4\"\r\n\"Val") + '\0' + QByteArray("pa\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n")
                               << QStringList{u"Chile"_s, u"-4"_s, u"Valpa"_s, QString(), QString(), QString(), QString()}
                               << -4 << u"nulos"_s;
    QTest::newRow("empty") << u"file"_s << QByteArray() << QStringList() << 0 << u"vacío"_s;
    QTest::newRow("unreadable") << u"unreadable"_s << QByteArray("\"Chile\"\r\n\"-4\"\r\n") << QStringList() << 0
                                << u"permiso"_s;
    QTest::newRow("a folder") << u"folder"_s << QByteArray() << QStringList() << 0 << u"carpeta"_s;
}

void TestReadFaults::badUserConfigAtStart()
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
    if (kind == u"folder") {
        QVERIFY(QDir(f.dir.path()).mkdir(u"USUARIO.CFG"_s));
    } else {
        QVERIFY(writeFile(path, bytes));
        if (kind == u"unreadable")
            QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
    }
    f.start();

    QCOMPARE(f.fakes.messages.asked.size(), 1);
    const auto &asked = f.fakes.messages.asked.first();
    QVERIFY2(asked.text.contains(u"USUARIO.CFG"_s) && asked.text.contains(said), qPrintable(asked.text));
    QCOMPARE(asked.title, u"Configuración de Usuario"_s);
    const QStringList values = f.app->userConfig().values();
    QCOMPARE(values.mid(0, used.size()), used);
    QCOMPARE(f.app->userConfig().difUtc(), qint16(difUtc));
    QCOMPARE(f.libro().Rows(), 1); // start-up went on
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

QTEST_MAIN(TestReadFaults)
#include "tst_readfaults.moc"
