// The file commands as the user drives them: their windows, messages, title and menu states,
// and that a refused or failed command leaves the log, the title and the files as they were.
#include "FileHelpers.h"
#include "AppFixture.h"
#include "app/EntryForm.h"
#include "logbook/LogbookCommands.h"
#include "ui/FormWindow.h"
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {
const QString kPrefix = u"Kavento versión 9.0 - "_s;
const QString kNotFound = u"El archivo no se encuentra. Asegúrese de haberlo escrito correctamente."_s;

// A log book file of contacts whose call signs are given; the other values are fixed.
QByteArray lbr(const QStringList &calls)
{
    QByteArray bytes = QByteArray::number(calls.size()) + "\r\n";
    for (const QString &call : calls) {
        bytes += '"' + call.toLatin1() + "\"\r\n";
        for (int i = 2; i <= 16; ++i)
            bytes += i == 4 ? QByteArray("\"C\xF3rdoba\"\r\n") : "\"" + QByteArray::number(i) + "\"\r\n";
    }
    return bytes;
}

struct Log : AppFixture
{
    LogbookCommands &commands() { return app->logbook(); }
    void add(const QString &call)
    {
        app->entry().dato(0)->setText(call);
        app->entry().Guardar_Click();
    }
    QStringList column(int col)
    {
        QStringList texts;
        for (int r = 1; r < libro().Rows(); ++r)
            texts << libro().TextMatrix(r, col);
        return texts;
    }
    // The two save items go together: "on", "off", or "mixed" when they do not.
    QString saveItems()
    {
        const bool guardar = action("mGuardar")->isEnabled(), como = action("mGuardar_como")->isEnabled();
        return guardar != como ? u"mixed"_s : guardar ? u"on"_s : u"off"_s;
    }
    // Types a name into a window's box and presses its button.
    static void press(FormWindow *window, const QString &name, const char *button)
    {
        window->lineEdit(u"Archivo"_s)->setText(name);
        window->button(QString::fromLatin1(button))->click();
    }
    QStringList messages()
    {
        QStringList texts;
        for (const auto &m : std::as_const(fakes.messages.asked))
            texts << m.title + u": "_s + m.text;
        return texts;
    }
};
} // namespace

class TestLogbook : public QObject
{
    Q_OBJECT
private slots:
    void saveAsWritesTheTableAndNamesIt();
    void overwriteQuestionOkAndCancel();
    void guardarWritesToTheTitleName();
    void failedSaveChangesNothing();
    void unencodableCallIsNotSaved();
    void abrirReplacesTheLog();
    void abrirNotFoundKeepsEverything();
    void malformedFileLeavesTheLogAsItWas_data();
    void malformedFileLeavesTheLogAsItWas();
    void nuevoEmptiesButKeepsTheTitle();
    void importarAppendsAndRenumbers();
    void emptyNamesAreExplained();
};

void TestLogbook::saveAsWritesTheTableAndNamesIt()
{
    Log f;
    f.add(u"LU1ABC"_s);
    f.action("mGuardar_como")->trigger();
    FormWindow *guarda = f.commands().guardaWindow();
    QVERIFY(guarda && guarda->isVisible());
    QCOMPARE(guarda->lineEdit(u"Archivo"_s)->text(), u"Sin Título.LBR"_s);
    guarda->button(u"Command1"_s)->click();
    const QByteArray bytes = readAll(f.path(u"Sin Título.LBR"_s));
    QVERIFY(bytes.startsWith("1\r\n\"LU1ABC\"\r\n"));
    QCOMPARE(bytes.count("\r\n"), 17);
    QCOMPARE(f.frame().windowTitle(), kPrefix + u"Sin Título.LBR"_s);
    QVERIFY(!guarda->isVisible());
    QCOMPARE(f.saveItems(), u"on"_s);
    QVERIFY(f.fakes.messages.asked.isEmpty());
    QCOMPARE(f.libro().TextMatrix(1, 0), u"1"_s);

    // Names are taken as typed: no extension added, blanks kept.
    f.action("mGuardar_como")->trigger();
    Log::press(guarda, u" sin extension "_s, "Command1");
    QCOMPARE(readAll(f.path(u" sin extension "_s)), bytes);
    QCOMPARE(f.commands().currentFileName(), u" sin extension "_s);
}

void TestLogbook::overwriteQuestionOkAndCancel()
{
    Log f;
    f.add(u"EA4XYZ"_s);
    const QByteArray old = "0\r\n\"viejo\"\r\n";
    QVERIFY(writeFile(f.path(u"Principal.LBR"_s), old));
    f.action("mGuardar_como")->trigger();
    FormWindow *guarda = f.commands().guardaWindow();

    f.fakes.messages.answers = {MessageSeam::Answer::Cancel};
    Log::press(guarda, u"Principal.LBR"_s, "Command1");
    QCOMPARE(f.fakes.messages.asked.size(), 1);
    const auto asked = f.fakes.messages.asked.at(0);
    QCOMPARE(asked.text, u"El archivo ya existe. ¿Desea sobreescribirlo?"_s);
    QCOMPARE(asked.title, u"Orvanel"_s);
    QVERIFY(asked.buttons == MessageSeam::Buttons::OkCancel && asked.icon == MessageSeam::Icon::None);
    QCOMPARE(readAll(f.path(u"Principal.LBR"_s)), old);
    QCOMPARE(f.frame().windowTitle(), u"Orvanel versión 9.0"_s);
    QVERIFY(guarda->isVisible());
    QCOMPARE(guarda->lineEdit(u"Archivo"_s)->text(), u"Principal.LBR"_s);

    guarda->button(u"Command1"_s)->click(); // answered OK
    QCOMPARE(f.fakes.messages.asked.size(), 2);
    QVERIFY(readAll(f.path(u"Principal.LBR"_s)).startsWith("1\r\n\"EA4XYZ\"\r\n"));
    QCOMPARE(f.frame().windowTitle(), kPrefix + u"Principal.LBR"_s);
    QVERIFY(!guarda->isVisible());
}

void TestLogbook::guardarWritesToTheTitleName()
{
    Log f;
    f.add(u"LU1ABC"_s);
    // No name yet: Guardar asks for one instead of writing a nameless file.
    f.action("mGuardar")->trigger();
    QVERIFY(f.commands().guardaWindow() && f.commands().guardaWindow()->isVisible());
    QVERIFY(QDir(f.dir.path()).entryList(QDir::Files).isEmpty());
    Log::press(f.commands().guardaWindow(), u"log.LBR"_s, "Command1");
    f.add(u"CX2AQ"_s);
    f.libro().setRow(1);
    f.libro().setCol(5);
    // Guardar while the save-as window is open: no question, same name, window hidden.
    f.action("mGuardar_como")->trigger();
    f.commands().guardaWindow()->lineEdit(u"Archivo"_s)->setText(u"otro.LBR"_s);
    f.action("mGuardar")->trigger();
    QVERIFY(readAll(f.path(u"log.LBR"_s)).startsWith("2\r\n\"LU1ABC\"\r\n"));
    QVERIFY(!QFile::exists(f.path(u"otro.LBR"_s)));
    QVERIFY(!f.commands().guardaWindow()->isVisible());
    QVERIFY(f.fakes.messages.asked.isEmpty());
    // Saving leaves the table, its numbers and the current cell alone.
    QCOMPARE(f.column(0), (QStringList{u"1"_s, u"2"_s}));
    QCOMPARE(f.libro().Row(), 1);
    QCOMPARE(f.libro().Col(), 5);
    QCOMPARE(f.frame().windowTitle(), kPrefix + u"log.LBR"_s);
}

void TestLogbook::failedSaveChangesNothing()
{
    Log f;
    f.add(u"LU1ABC"_s);
    QVERIFY(QDir(f.dir.path()).mkdir(u"carpeta"_s));
    // A folder does not count as an existing file: no question, and the write fails.
    f.action("mGuardar_como")->trigger();
    FormWindow *guarda = f.commands().guardaWindow();
    Log::press(guarda, u"carpeta"_s, "Command1");
    QCOMPARE(f.messages().size(), 1);
    QVERIFY2(f.messages().at(0).startsWith(u"Guardar como...: No se pudo guardar el archivo «carpeta»"_s),
             qPrintable(f.messages().at(0)));
    QCOMPARE(f.frame().windowTitle(), u"Orvanel versión 9.0"_s);
    QVERIFY(guarda->isVisible());

    // Guardar to a name that has become a folder: the message, and title and window stay.
    Log::press(guarda, u"log.LBR"_s, "Command1");
    QVERIFY(QFile::remove(f.path(u"log.LBR"_s)) && QDir(f.dir.path()).mkdir(u"log.LBR"_s));
    f.action("mGuardar_como")->trigger();
    f.action("mGuardar")->trigger();
    QCOMPARE(f.messages().size(), 2);
    QVERIFY2(f.messages().at(1).startsWith(u"Guardar: No se pudo guardar el archivo «log.LBR»"_s),
             qPrintable(f.messages().at(1)));
    QVERIFY(guarda->isVisible());
    QCOMPARE(f.frame().windowTitle(), kPrefix + u"log.LBR"_s);
}

void TestLogbook::unencodableCallIsNotSaved()
{
    Log f;
    f.add(u"LU1ABC"_s);
    f.add(u"R3Ж"_s);
    f.action("mGuardar_como")->trigger();
    Log::press(f.commands().guardaWindow(), u"log.LBR"_s, "Command1");
    QCOMPARE(f.fakes.messages.asked.size(), 1);
    const QString message = f.messages().at(0);
    QVERIFY2(message.contains(u"fila 2"_s) && message.contains(u"«Indicativo»"_s) && message.contains(u"«Ж»"_s),
             qPrintable(message));
    QVERIFY(!QFile::exists(f.path(u"log.LBR"_s)));
    QCOMPARE(f.frame().windowTitle(), u"Orvanel versión 9.0"_s);
    QVERIFY(f.commands().guardaWindow()->isVisible());
}

void TestLogbook::abrirReplacesTheLog()
{
    Log f;
    for (int i = 0; i < 40; ++i)
        f.add(u"OLD%1"_s.arg(i));
    QVERIFY(writeFile(f.path(u"tres.LBR"_s), lbr({u"A1"_s, u"B2"_s, u"C3"_s})));
    QVERIFY(writeFile(f.path(u"cero.LBR"_s), "0\r\n"));

    f.action("nAbrir")->trigger();
    FormWindow *abre = f.commands().abreWindow();
    QVERIFY(abre && abre->isVisible());
    Log::press(abre, u"tres.LBR"_s, "Command1");
    QCOMPARE(f.column(1), (QStringList{u"A1"_s, u"B2"_s, u"C3"_s}));
    QCOMPARE(f.column(0), (QStringList{u"1"_s, u"2"_s, u"3"_s}));
    QCOMPARE(f.libro().TextMatrix(2, 4), u"Córdoba"_s);
    QCOMPARE(f.frame().windowTitle(), kPrefix + u"tres.LBR"_s);
    QCOMPARE(f.saveItems(), u"on"_s);
    QVERIFY(!abre->isVisible());

    // A count of 0 empties the table, and opening enables saving even after Nuevo.
    f.action("mNuevo")->trigger();
    QCOMPARE(f.saveItems(), u"off"_s);
    f.action("nAbrir")->trigger();
    Log::press(abre, u"cero.LBR"_s, "Command1");
    QCOMPARE(f.libro().Rows(), 1);
    QCOMPARE(f.frame().windowTitle(), kPrefix + u"cero.LBR"_s);
    QCOMPARE(f.saveItems(), u"on"_s);
    QVERIFY(f.fakes.messages.asked.isEmpty());
}

void TestLogbook::abrirNotFoundKeepsEverything()
{
    Log f;
    f.add(u"LU1ABC"_s);
    QVERIFY(QDir(f.dir.path()).mkdir(u"carpeta.LBR"_s));
    for (const QString &name : {u"falta.LBR"_s, u"carpeta.LBR"_s}) {
        f.fakes.messages.asked.clear();
        f.action("nAbrir")->trigger();
        Log::press(f.commands().abreWindow(), name, "Command1");
        QCOMPARE(f.fakes.messages.asked.size(), 1);
        const auto asked = f.fakes.messages.asked.at(0);
        QCOMPARE(asked.text, kNotFound);
        QCOMPARE(asked.title, u"Abrir"_s);
        QVERIFY(asked.buttons == MessageSeam::Buttons::Ok && asked.icon == MessageSeam::Icon::None);
        QCOMPARE(f.column(1), QStringList{u"LU1ABC"_s});
        QVERIFY(f.commands().abreWindow()->isVisible());
        QCOMPARE(f.commands().abreWindow()->lineEdit(u"Archivo"_s)->text(), name);
    }
    // Cancelled and opened again, the window still holds what was typed.
    f.commands().abreWindow()->button(u"Abre_Facil"_s)->click();
    QVERIFY(!f.commands().abreWindow()->isVisible());
    f.action("nAbrir")->trigger();
    QCOMPARE(f.commands().abreWindow()->lineEdit(u"Archivo"_s)->text(), u"carpeta.LBR"_s);
    // Importar says the same, under the same title.
    f.fakes.messages.asked.clear();
    f.action("mImportar")->trigger();
    Log::press(f.commands().importarWindow(), u"falta.LBR"_s, "Abrir");
    QCOMPARE(f.messages(), QStringList{u"Abrir: "_s + kNotFound});
    QVERIFY(f.commands().importarWindow()->isVisible());
    QCOMPARE(f.frame().windowTitle(), u"Orvanel versión 9.0"_s);
}

void TestLogbook::malformedFileLeavesTheLogAsItWas_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("what");
    const QByteArray good = lbr({u"A1"_s, u"B2"_s});
    QByteArray nul = good;
    nul[nul.indexOf("\xF3rdoba")] = '\0';
    QTest::newRow("count is not a number") << ("dos" + good.mid(1)) << u"Línea 1"_s;
    QTest::newRow("absurd count") << ("2000000000" + good.mid(1)) << u"Línea 1"_s;
    QTest::newRow("last five lines missing") << good.left(good.size() - 5 * 6) << u"Línea 29"_s;
    QTest::newRow("NUL byte") << nul << u"Línea 5"_s;
}

void TestLogbook::malformedFileLeavesTheLogAsItWas()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, what);
    Log f;
    QVERIFY(writeFile(f.path(u"bueno.LBR"_s), lbr({u"OK1"_s, u"OK2"_s})));
    QVERIFY(writeFile(f.path(u"roto.LBR"_s), bytes));
    f.action("nAbrir")->trigger();
    Log::press(f.commands().abreWindow(), u"bueno.LBR"_s, "Command1");
    f.libro().setTextMatrix(2, 0, u"9"_s);

    for (const char *window : {"nAbrir", "mImportar"}) {
        f.fakes.messages.asked.clear();
        f.action(window)->trigger();
        FormWindow *w = QByteArray(window) == "nAbrir" ? f.commands().abreWindow() : f.commands().importarWindow();
        Log::press(w, u"roto.LBR"_s, QByteArray(window) == "nAbrir" ? "Command1" : "Abrir");
        QCOMPARE(f.fakes.messages.asked.size(), 1);
        const QString message = f.fakes.messages.asked.at(0).text;
        QVERIFY2(message.contains(u"«roto.LBR»"_s) && message.contains(what), qPrintable(message));
        QCOMPARE(f.column(1), (QStringList{u"OK1"_s, u"OK2"_s}));
        QCOMPARE(f.column(0), (QStringList{u"1"_s, u"9"_s})); // not even renumbered
        QCOMPARE(f.frame().windowTitle(), kPrefix + u"bueno.LBR"_s);
        QCOMPARE(f.saveItems(), u"on"_s);
        QVERIFY(w->isVisible());
    }
}

void TestLogbook::nuevoEmptiesButKeepsTheTitle()
{
    Log f;
    f.add(u"LU1ABC"_s);
    f.action("mGuardar_como")->trigger();
    Log::press(f.commands().guardaWindow(), u"log.LBR"_s, "Command1");
    f.app->entry().dato(1)->setText(u"Juan"_s);
    f.action("mGuardar_como")->trigger();
    f.action("mNuevo")->trigger();
    QCOMPARE(f.libro().Rows(), 1);
    QCOMPARE(f.libro().TextMatrix(0, 13), u"Vía"_s);
    QCOMPARE(f.saveItems(), u"off"_s);
    QCOMPARE(f.frame().windowTitle(), kPrefix + u"log.LBR"_s);
    QCOMPARE(f.app->entry().dato(1)->text(), u"Juan"_s);
    QVERIFY(f.commands().guardaWindow()->isVisible());
    // The next contact is 1 again, and Guardar then writes the new log over the old file.
    f.add(u"EA4XYZ"_s);
    QCOMPARE(f.libro().TextMatrix(1, 0), u"1"_s);
    f.action("mGuardar")->trigger();
    QVERIFY(readAll(f.path(u"log.LBR"_s)).startsWith("1\r\n\"EA4XYZ\"\r\n"));
}

void TestLogbook::importarAppendsAndRenumbers()
{
    Log f;
    for (const QString &call : {u"E1"_s, u"E2"_s, u"E3"_s, u"E4"_s, u"E5"_s})
        f.add(call);
    f.libro().setTextMatrix(3, 0, u"30"_s);
    QVERIFY(writeFile(f.path(u"tres.LBR"_s), lbr({u"A1"_s, u"B2"_s, u"C3"_s})));
    QVERIFY(writeFile(f.path(u"cero.LBR"_s), "0\r\n"));
    f.action("mImportar")->trigger();
    FormWindow *importar = f.commands().importarWindow();
    Log::press(importar, u"tres.LBR"_s, "Abrir");
    QCOMPARE(f.column(1), (QStringList{u"E1"_s, u"E2"_s, u"E3"_s, u"E4"_s, u"E5"_s, u"A1"_s, u"B2"_s, u"C3"_s}));
    QCOMPARE(f.column(0), (QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s, u"7"_s, u"8"_s}));
    QVERIFY(!importar->isVisible());
    QCOMPARE(f.frame().windowTitle(), u"Orvanel versión 9.0"_s);

    // A count of 0 adds nothing but renumbers; a second import adds the contacts again.
    f.libro().setTextMatrix(8, 0, u"99"_s);
    f.action("mImportar")->trigger();
    Log::press(importar, u"cero.LBR"_s, "Abrir");
    QCOMPARE(f.libro().Rows(), 9);
    QCOMPARE(f.libro().TextMatrix(8, 0), u"8"_s);
    f.action("mImportar")->trigger();
    Log::press(importar, u"tres.LBR"_s, "Abrir");
    QCOMPARE(f.column(1).mid(8), (QStringList{u"A1"_s, u"B2"_s, u"C3"_s}));
    QCOMPARE(f.libro().TextMatrix(11, 0), u"11"_s);

    // After Nuevo, an import leaves the save items disabled.
    f.action("mNuevo")->trigger();
    f.action("mImportar")->trigger();
    Log::press(importar, u"tres.LBR"_s, "Abrir");
    QCOMPARE(f.libro().Rows(), 4);
    QCOMPARE(f.saveItems(), u"off"_s);
    QVERIFY(f.fakes.messages.asked.isEmpty());
}

void TestLogbook::emptyNamesAreExplained()
{
    Log f;
    f.add(u"LU1ABC"_s);
    f.action("nAbrir")->trigger();
    Log::press(f.commands().abreWindow(), QString(), "Command1");
    f.action("mImportar")->trigger();
    Log::press(f.commands().importarWindow(), QString(), "Abrir");
    f.action("mGuardar_como")->trigger();
    Log::press(f.commands().guardaWindow(), QString(), "Command1");
    const QStringList messages = f.messages();
    QCOMPARE(messages.size(), 3);
    for (const QString &m : messages)
        QVERIFY2(m.contains(u"Escriba en «Archivo» el nombre"_s), qPrintable(m));
    QVERIFY(messages.at(0).startsWith(u"Abrir: "_s) && messages.at(1).startsWith(u"Importar: "_s)
            && messages.at(2).startsWith(u"Guardar como...: "_s));
    QCOMPARE(f.column(1), QStringList{u"LU1ABC"_s});
    QVERIFY(f.commands().abreWindow()->isVisible() && f.commands().importarWindow()->isVisible()
            && f.commands().guardaWindow()->isVisible());
    QVERIFY(QDir(f.dir.path()).entryList(QDir::Files).isEmpty());
}

QTEST_MAIN(TestLogbook)
#include "tst_logbook.moc"
