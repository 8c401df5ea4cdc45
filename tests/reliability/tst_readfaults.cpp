// Reading under injected faults: files that vanish or change between the look that finds them
// and the read, files replaced or rewritten while read, names that cannot be read, and a damaged
// or unusable USUARIO.CFG at start-up. Never a crash or a hang: a reason, and nothing lost.
#include "FileFaults.h"
#include "FileWindows.h"
#include "dxcc/CallResolver.h"
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
#include <thread>

using namespace Qt::StringLiterals;
using namespace faults;

namespace {

const QString kNotFound = u"El archivo no se encuentra. Asegúrese de haberlo escrito correctamente."_s;

// What one of the readers made of a file.
struct Outcome { bool ok = false; QString error; qint64 rows = 0; };

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

// Keeps changing a file from another thread until destroyed.
struct Meddler
{
    std::atomic<bool> stop{false};
    std::thread thread;
    template <typename Change>
    explicit Meddler(Change change) : thread([this, change] { for (int i = 0; !stop; ++i) change(i); }) {}
    ~Meddler()
    {
        stop = true;
        thread.join();
    }
};

} // namespace

class TestReadFaults : public QObject
{
    Q_OBJECT
private slots:
    void changedAfterBeingFound_data()
    {
        QTest::addColumn<QString>("reader");
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("reason"); // what the explanation must hold, %1 for the path; empty: Qt's text
        const struct { const char16_t *change, *lbr, *cfg, *dxcc, *cty; } changes[] = {
            {u"missing", u"no existe", u"no existe", u"No se pudo leer el archivo archivo.dat: no existe.", u"No se pudo leer el archivo «%1»: no existe."},
            {u"folder", u"carpeta", u"carpeta", u"", u"carpeta"},
            {u"fifo", u"no es un archivo común", u"no es un archivo común", u"", u"no es un archivo común"},
            {u"link to nowhere", u"no existe", u"no existe", u"", u"no existe"},
            {u"link to a folder", u"carpeta", u"carpeta", u"", u"carpeta"},
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
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(u"archivo.dat"_s);
        QVERIFY(writeFile(path, validFile(reader)));
        Outcome before;
        QVERIFY(readWithin(reader, path, before) && before.ok);

        QVERIFY(QFile::remove(path) && plant(path, change));
        Outcome outcome;
        QVERIFY2(readWithin(reader, path, outcome), "the reader waited for a writer on a FIFO");
        QVERIFY(!outcome.ok);
        QVERIFY2(outcome.error.contains(u"archivo.dat"_s), qPrintable(outcome.error));
        QVERIFY2(outcome.error.contains(QString(reason).replace(u"%1"_s, path)), qPrintable(outcome.error));
        if (reader != u"usuario")
            QCOMPARE(outcome.rows, qint64(0)); // a refused file gives nothing
    }
    void changedWhileBeingRead_data()
    {
        QTest::addColumn<bool>("inPlace");
        // Another copy of the program saves the same log again and again, as saves are done: a
        // whole new file renamed into place. Every read sees one complete version, never a mixture.
        QTest::newRow("renamed into place") << false;
        // A careless writer cuts the file and writes it again in place, or deletes it. A read may
        // see any mixture; it must still end cleanly: a table or a reason, never both.
        QTest::newRow("rewritten in place") << true;
    }
    void changedWhileBeingRead()
    {
        QFETCH(bool, inPlace);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
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
        qInfo("%d of 100 reads refused the file as it changed", refused);
    }
    void namesThatCannotBeOpened_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("said"); // the whole message, or words it must hold ('|' between them)
        for (const char *command : {"nAbrir", "mImportar"}) {
            const QString c = QString::fromLatin1(command);
            QTest::addRow("%s a folder", command) << c << u"folder"_s << kNotFound;
            QTest::addRow("%s a FIFO", command) << c << u"fifo"_s << kNotFound;
            QTest::addRow("%s a missing file", command) << c << u"missing"_s << kNotFound;
            QTest::addRow("%s an unreadable file", command) << c << u"unreadable"_s << u"permiso"_s;
            QTest::addRow("%s a damaged file", command) << c << u"damaged"_s << u"«malo.LBR»|Línea 29"_s;
        }
    }
    // Whatever the name holds, a refused file leaves the log, its numbers, the title, the save
    // items and the files as they were, and the window open with the name for another try.
    void namesThatCannotBeOpened()
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
        if (kind != u"damaged") {
            QVERIFY(plant(path, kind));
        } else { // its last five lines missing: line 29 is the first one short
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
    void badUserConfigAtStart_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("used"); // the values the window shows from the file
        QTest::addColumn<int>("difUtc");
        QTest::addColumn<QString>("said");     // a word the message must hold
        const QByteArray nul = QByteArray("\"Chile\"\r\n\"-4\"\r\n\"Val") + '\0' + QByteArray("pa\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n");
        QTest::newRow("truncated in the third value") << u"file"_s << QByteArray("\"Chile\"\r\n\"-4\"\r\n\"Valpa") << QStringList{u"Chile"_s, u"-4"_s, u"Valpa"_s} << -4 << u"dañado"_s;
        QTest::newRow("truncated in the first value") << u"file"_s << QByteArray("\"Chi") << QStringList{u"Chi"_s} << 0 << u"dañado"_s;
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
        QCOMPARE(f.libro().Rows(), 1); // start-up went on
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
};

QTEST_MAIN(TestReadFaults)
#include "tst_readfaults.moc"
