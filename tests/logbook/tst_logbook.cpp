// The file commands as the user drives them: windows, messages, title and menu states, and ADIF
// out and in. Refused and failed commands are in tst_filefaults.
#include "FileHelpers.h"
#include "FileWindows.h"
#include "app/EntryForm.h"
#include "edit/EditCommands.h"
#include "edit/ReplaceCommands.h"
#include "ui/ClassicCombo.h"
#include <QDir>
#include <QPlainTextEdit>

using namespace Qt::StringLiterals;

namespace {
const QString kPrefix = u"Kavento versión 9.0 - "_s;

QByteArray lbr(const QStringList &calls) // a log of contacts with these calls, the other values fixed
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
    void add(const QString &call)
    {
        app->entry().dato(0)->setText(call);
        app->entry().Guardar_Click();
    }
    // The whole form: the first values, the mode, the route chosen in its list, the comment.
    void type(const QStringList &fields, const QString &mode, int route, const QString &comment)
    {
        EntryForm &entry = app->entry();
        for (int i = 0; i < fields.size(); ++i)
            entry.dato(i)->setText(fields.at(i));
        entry.datos(0)->setText(mode);
        entry.datos(1)->setCurrentIndex(route);
        emit entry.datos(1)->activated(route);
        entry.comment()->setPlainText(comment);
        entry.Guardar_Click();
    }
    QStringList column(int col)
    {
        QStringList texts;
        for (int r = 1; r < libro().Rows(); ++r)
            texts << libro().TextMatrix(r, col);
        return texts;
    }
    QString saveItems() // the two save items go together: "on", "off", or "mixed" when they do not
    {
        const bool guardar = action("mGuardar")->isEnabled(), como = action("mGuardar_como")->isEnabled();
        return guardar != como ? u"mixed"_s : guardar ? u"on"_s : u"off"_s;
    }
};
} // namespace

class TestLogbook : public QObject
{
    Q_OBJECT
private slots:
    void saveAsGuardarAndNuevo()
    {
        Log f;
        f.add(u"LU1ABC"_s);
        // No name yet: Guardar asks for one instead of writing a nameless file.
        f.action("mGuardar")->trigger();
        FormWindow *guarda = f.app->logbook().guardaWindow();
        QVERIFY(guarda && guarda->isVisible());
        QVERIFY(QDir(f.dir.path()).entryList(QDir::Files).isEmpty());
        QCOMPARE(guarda->lineEdit(u"Archivo"_s)->text(), u"Sin Título.LBR"_s);
        guarda->button(u"Command1"_s)->click();
        const QByteArray bytes = readAll(f.path(u"Sin Título.LBR"_s));
        QVERIFY(bytes.startsWith("1\r\n\"LU1ABC\"\r\n"));
        QCOMPARE(bytes.count("\r\n"), 17);
        QCOMPARE(f.frame().windowTitle(), kPrefix + u"Sin Título.LBR"_s);
        QVERIFY(!guarda->isVisible());
        QCOMPARE(f.saveItems(), u"on"_s);
        QVERIFY(f.fakes.messages.asked.isEmpty());
        // Names are taken as typed: no extension added, blanks kept.
        useFile(f, "mGuardar_como", u" sin extension "_s);
        QCOMPARE(readAll(f.path(u" sin extension "_s)), bytes);
        QCOMPARE(f.app->logbook().currentFileName(), u" sin extension "_s);

        // An existing file is asked about: Cancel keeps it, its name and the window; OK writes.
        f.add(u"CX2AQ"_s);
        const QByteArray old = "0\r\n\"viejo\"\r\n";
        QVERIFY(writeFile(f.path(u"log.LBR"_s), old));
        f.fakes.messages.answers = {MessageSeam::Answer::Cancel};
        useFile(f, "mGuardar_como", u"log.LBR"_s);
        QCOMPARE(f.fakes.messages.asked.size(), 1);
        const auto asked = f.fakes.messages.asked.at(0);
        QCOMPARE(asked.text, u"El archivo ya existe. ¿Desea sobreescribirlo?"_s);
        QCOMPARE(asked.title, u"Orvanel"_s);
        QVERIFY(asked.buttons == MessageSeam::Buttons::OkCancel && asked.icon == MessageSeam::Icon::None);
        QCOMPARE(readAll(f.path(u"log.LBR"_s)), old);
        QCOMPARE(f.frame().windowTitle(), kPrefix + u" sin extension "_s);
        QVERIFY(guarda->isVisible());
        QCOMPARE(guarda->lineEdit(u"Archivo"_s)->text(), u"log.LBR"_s);
        guarda->button(u"Command1"_s)->click(); // answered OK
        QCOMPARE(f.fakes.messages.asked.size(), 2);
        QVERIFY(readAll(f.path(u"log.LBR"_s)).startsWith("2\r\n\"LU1ABC\"\r\n"));
        QCOMPARE(f.frame().windowTitle(), kPrefix + u"log.LBR"_s);
        QVERIFY(!guarda->isVisible());

        // Guardar while the save-as window is open: no question, the title's name, window hidden;
        // the table, its numbers and the current cell are left alone.
        f.add(u"EA1AA"_s);
        f.libro().setRow(1);
        f.libro().setCol(5);
        fileWindow(f, "mGuardar_como")->lineEdit(u"Archivo"_s)->setText(u"otro.LBR"_s);
        f.action("mGuardar")->trigger();
        QVERIFY(readAll(f.path(u"log.LBR"_s)).startsWith("3\r\n\"LU1ABC\"\r\n"));
        QVERIFY(!QFile::exists(f.path(u"otro.LBR"_s)));
        QVERIFY(!guarda->isVisible());
        QCOMPARE(f.fakes.messages.asked.size(), 2);
        QCOMPARE(f.column(0), (QStringList{u"1"_s, u"2"_s, u"3"_s}));
        QCOMPARE(f.libro().Row(), 1);
        QCOMPARE(f.libro().Col(), 5);

        // Nuevo empties the table but keeps the title, the form and the open save-as window.
        f.app->entry().dato(1)->setText(u"Juan"_s);
        f.action("mGuardar_como")->trigger();
        f.action("mNuevo")->trigger();
        QCOMPARE(f.libro().Rows(), 1);
        QCOMPARE(f.libro().TextMatrix(0, 13), u"Vía"_s);
        QCOMPARE(f.saveItems(), u"off"_s);
        QCOMPARE(f.frame().windowTitle(), kPrefix + u"log.LBR"_s);
        QCOMPARE(f.app->entry().dato(1)->text(), u"Juan"_s);
        QVERIFY(guarda->isVisible());
        // The next contact is 1 again, and Guardar then writes the new log over the old file.
        f.add(u"EA4XYZ"_s);
        QCOMPARE(f.libro().TextMatrix(1, 0), u"1"_s);
        f.action("mGuardar")->trigger();
        QVERIFY(readAll(f.path(u"log.LBR"_s)).startsWith("1\r\n\"EA4XYZ\"\r\n"));
    }

    void importarAppendsAndAbrirReplaces()
    {
        Log f;
        for (const QString &call : {u"E1"_s, u"E2"_s, u"E3"_s, u"E4"_s, u"E5"_s})
            f.add(call);
        f.libro().setTextMatrix(3, 0, u"30"_s);
        QVERIFY(writeFile(f.path(u"tres.LBR"_s), lbr({u"A1"_s, u"B2"_s, u"C3"_s})));
        QVERIFY(writeFile(f.path(u"cero.LBR"_s), "0\r\n"));
        FormWindow *importar = useFile(f, "mImportar", u"tres.LBR"_s);
        QCOMPARE(f.column(1), (QStringList{u"E1"_s, u"E2"_s, u"E3"_s, u"E4"_s, u"E5"_s, u"A1"_s, u"B2"_s, u"C3"_s}));
        QCOMPARE(f.column(0), (QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s, u"7"_s, u"8"_s}));
        QVERIFY(!importar->isVisible());
        QCOMPARE(f.frame().windowTitle(), u"Orvanel versión 9.0"_s);
        // A count of 0 adds nothing but renumbers; a second import adds the contacts again.
        f.libro().setTextMatrix(8, 0, u"99"_s);
        useFile(f, "mImportar", u"cero.LBR"_s);
        QCOMPARE(f.libro().Rows(), 9);
        QCOMPARE(f.libro().TextMatrix(8, 0), u"8"_s);
        useFile(f, "mImportar", u"tres.LBR"_s);
        QCOMPARE(f.column(1).mid(8), (QStringList{u"A1"_s, u"B2"_s, u"C3"_s}));
        QCOMPARE(f.libro().TextMatrix(11, 0), u"11"_s);

        FormWindow *abre = useFile(f, "nAbrir", u"tres.LBR"_s);
        QCOMPARE(f.column(1), (QStringList{u"A1"_s, u"B2"_s, u"C3"_s}));
        QCOMPARE(f.column(0), (QStringList{u"1"_s, u"2"_s, u"3"_s}));
        QCOMPARE(f.libro().TextMatrix(2, 4), u"Córdoba"_s);
        QCOMPARE(f.frame().windowTitle(), kPrefix + u"tres.LBR"_s);
        QCOMPARE(f.saveItems(), u"on"_s);
        QVERIFY(!abre->isVisible());
        // After Nuevo an import of nothing leaves the save items disabled, one of contacts
        // enables them as adding does, until undone; opening enables them, and a count of 0
        // empties the table.
        f.action("mNuevo")->trigger();
        useFile(f, "mImportar", u"cero.LBR"_s);
        QCOMPARE(f.saveItems(), u"off"_s);
        useFile(f, "mImportar", u"tres.LBR"_s);
        QCOMPARE(f.libro().Rows(), 4);
        QCOMPARE(f.saveItems(), u"on"_s);
        f.action("mDeshacer")->trigger();
        QCOMPARE(f.saveItems(), u"off"_s);
        useFile(f, "nAbrir", u"cero.LBR"_s);
        QCOMPARE(f.libro().Rows(), 1);
        QCOMPARE(f.frame().windowTitle(), kPrefix + u"cero.LBR"_s);
        QCOMPARE(f.saveItems(), u"on"_s);
        QVERIFY(f.fakes.messages.asked.isEmpty());
        // A file the program is started with: a log book opened, an ADIF file imported.
        f.app->logbook().openGiven(f.path(u"tres.LBR"_s));
        QCOMPARE(f.frame().windowTitle(), kPrefix + f.path(u"tres.LBR"_s));
        QVERIFY(writeFile(f.path(u"uno.adi"_s), "<CALL:4>K1AB <EOR>"));
        f.app->logbook().openGiven(f.path(u"uno.adi"_s));
        QCOMPARE(f.column(1), (QStringList{u"A1"_s, u"B2"_s, u"C3"_s, u"K1AB"_s}));
    }

    void emptyNamesAreExplained()
    {
        Log f;
        f.add(u"LU1ABC"_s);
        FormWindow *windows[] = {useFile(f, "nAbrir", QString()), useFile(f, "mImportar", QString()),
                                 useFile(f, "mGuardar_como", QString())};
        const auto &asked = f.fakes.messages.asked;
        QCOMPARE(asked.size(), 3);
        const QString titles[] = {u"Abrir"_s, u"Importar"_s, u"Guardar como..."_s};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(asked.at(i).title, titles[i]);
            QVERIFY2(asked.at(i).text.contains(u"Escriba en «Archivo» el nombre"_s), qPrintable(asked.at(i).text));
            QVERIFY(windows[i]->isVisible());
        }
        QCOMPARE(f.column(1), QStringList{u"LU1ABC"_s});
        QVERIFY(QDir(f.dir.path()).entryList(QDir::Files).isEmpty());

        // Cancelled and opened again, a window still holds what was typed.
        windows[0]->lineEdit(u"Archivo"_s)->setText(u"falta.LBR"_s);
        windows[0]->button(u"Abre_Facil"_s)->click();
        QVERIFY(!windows[0]->isVisible());
        QCOMPARE(fileWindow(f, "nAbrir")->lineEdit(u"Archivo"_s)->text(), u"falta.LBR"_s);
    }
    void typedLogLeavesAndComesBack_data()
    {
        QTest::addColumn<QString>("chosen");   // in the platform's chooser
        QTest::addColumn<QString>("name");     // written
        QTest::addColumn<QByteArray>("starts");
        QTest::newRow("ADI") << u"mi libro"_s << u"mi libro.adi"_s << QByteArray("Orvanel");
        QTest::newRow("ADX") << u"mi libro.ADX"_s << u"mi libro.ADX"_s << QByteArray("<?xml");
    }
    // A log typed in the window leaves as ADI or ADX and comes back with every cell. The
    // window follows the platform: each showing types into «Archivo», Esc cancels,
    // «Examinar...» asks the platform's chooser, Enter exports, a bare name becomes .adi.
    void typedLogLeavesAndComesBack()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, name);
        QFETCH(QByteArray, starts);
        Log f;
        f.app->variables().utc = UtcConversion::fixedHours(3);
        f.type({u"EA4ÑBC"_s, u"José Núñez"_s, u"Córdoba"_s, u"Madrid"_s, u"Alcalá"_s, u"28801"_s, u"Apdo. 5"_s,
                u"59"_s, u"31/12/2025"_s, u"23:30:00"_s, u"7,050"_s}, u"USB"_s, 0, u"línea uno\nlínea dos"_s);
        f.type({u"lu1abc/p"_s, u"Ana"_s, {}, {}, {}, {}, {}, u"599"_s, u"1/2/26"_s, u"8:05"_s, u"14074"_s}, u"FT8"_s, 2,
               u"€ “QSL”"_s);
        const QList<QStringList> typed = f.cells();
        useFile(f, "mGuardar_como", u"mi libro.LBR"_s);

        FormWindow *window = fileWindow(f, "mExportar");
        QCOMPARE(window->windowTitle(), u"Exportar"_s);
        window->button(u"Abre_Facil"_s)->setFocus();
        QTest::keyClick(window->button(u"Abre_Facil"_s), Qt::Key_Escape);
        QVERIFY(!window->isVisible());
        fileWindow(f, "mExportar");
        QLineEdit *archivo = window->lineEdit(u"Archivo"_s);
        QCOMPARE(window->focusWidget(), archivo);
        QCOMPARE(archivo->selectedText(), u"mi libro.adi"_s);
        f.fakes.folders.answer = f.path(chosen);
        window->button(u"Examinar"_s)->click();
        QCOMPARE(f.fakes.folders.asked, (QStringList{f.path(u"mi libro.adi"_s), u"Archivos ADIF (*.adi *.adx)"_s}));
        QTest::keyClick(archivo, Qt::Key_Return);
        QVERIFY(!window->isVisible());
        QCOMPARE(f.fakes.messages.asked.last().text, u"Se exportaron 2 contactos a «%1», con las horas pasadas a UTC "
                                                     u"sumando 3 h."_s.arg(QDir::toNativeSeparators(f.path(name))));
        QVERIFY(readAll(f.path(name)).contains(starts));

        f.action("mNuevo")->trigger();
        useFile(f, "mImportar", name);
        QCOMPARE(f.fakes.messages.asked.last().text, u"Se agregaron 2 contactos de «%1»."_s.arg(name));
        QCOMPARE(f.cells(), typed); // "Nº" included: numbered 1 and 2 again
    }

    void exportUnderTheSystemZone_data()
    {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<QByteArray>("utc");   // QSO_DATE and TIME_ON of each contact typed below
        QTest::addColumn<int>("unclear");      // of them, in an hour skipped or lived twice
        QTest::addColumn<QString>("imported"); // 10:00 UTC on 15 July, in local time
        // A repeated hour takes the platform's choice: either reading.
        QTest::newRow("Madrid") << QByteArray("Europe/Madrid") << QByteArray("20240115 1100,20240715 1000,20240331 0130,20240331 0130,20241027 0") << 2 << u"12:00"_s;
        QTest::newRow("Buenos Aires") << QByteArray("America/Argentina/Buenos_Aires") << QByteArray("20240115 1500,20240715 1500,20240331 0530,20240331 0630,20241027 0530") << 0 << u"07:00"_s;
        QTest::newRow("Kolkata") << QByteArray("Asia/Kolkata") << QByteArray("20240115 0630,20240715 0630,20240330 2100,20240330 2200,20241026 2100") << 0 << u"15:30"_s;
    }
    // A first start follows the system's zone: each contact's UTC at its own date, summer
    // time included, out and in.
    void exportUnderTheSystemZone()
    {
        QFETCH(QByteArray, zone);
        QFETCH(QByteArray, utc);
        QFETCH(int, unclear);
        QFETCH(QString, imported);
        const SystemZone system(zone.constData());
        Log f;
        for (const QString &typed : {u"2024-01-15 12:00"_s, u"2024-07-15 12:00"_s, u"2024-03-31 2:30"_s, u"2024-03-31 3:30"_s, u"2024-10-27 2:30"_s})
            f.type({u"EA4AA"_s, {}, {}, {}, {}, {}, {}, {}, typed.section(u' ', 0, 0), typed.section(u' ', 1)}, u"CW"_s, 0, {});
        useFile(f, "mExportar", u"zona.adi"_s);
        for (const QByteArray &when : utc.split(','))
            QVERIFY2(readAll(f.path(u"zona.adi"_s)).contains("<QSO_DATE:8>" + when.left(8) + " <TIME_ON:4>" + when.mid(9)), when.constData());
        const QString some = u" La hora de 2 contactos cae en la hora que se salta o se repite al cambiar la hora oficial: se pasaron a UTC como lo hace el sistema."_s;
        QCOMPARE(f.fakes.messages.asked.last().text, u"Se exportaron 5 contactos a «%1», con las horas pasadas a UTC según la zona horaria del sistema.%2"_s
                                                         .arg(QDir::toNativeSeparators(f.path(u"zona.adi"_s)), unclear ? some : QString()));
        writeFile(f.path(u"otro.adi"_s), "<CALL:4>K1AB <QSO_DATE:8>20240715 <TIME_ON:4>1000 <EOR>");
        useFile(f, "mImportar", u"otro.adi"_s);
        QVERIFY(f.libro().TextMatrix(6, 10).startsWith(imported));
    }

    // A file from another program: local time from UTC, the fields without a column counted, and
    // the whole import one step to undo; "Abrir" sends ADIF files to "Importar".
    void adifFromAnotherProgram()
    {
        Log f;
        f.app->variables().utc = UtcConversion::fixedHours(3); // three hours behind UTC
        f.app->entry().Guardar_Click();
        const QList<QStringList> before = f.cells();
        writeFile(f.path(u"otro.adx"_s), "<?xml version=\"1.0\"?><ADX><RECORDS></RECORDS></ADX>");
        FormWindow *abre = useFile(f, "nAbrir", u"otro.adx"_s);
        QCOMPARE(f.cells(), before);
        QVERIFY(abre->isVisible());
        QVERIFY(f.fakes.messages.asked.last().text.contains(u"«Archivo > Importar»"_s));

        writeFile(f.path(u"otro.adi"_s), "Otro programa\n<ADIF_VER:5>3.1.4 <EOH>\n"
                                         "<CALL:5>K1ABC <QSO_DATE:8>20260101 <TIME_ON:4>0130 <GRIDSQUARE:4>FN42 <EOR>\n"
                                         "<call:5>K2XYZ <qso_date:8>20260102 <time_on:6>120000 <gridsquare:4>FN30 <TX_PWR:3>100 <EOR>\n");
        useFile(f, "mImportar", u"otro.adi"_s);
        QCOMPARE(f.libro().Rows(), 4);
        QCOMPARE(f.libro().TextMatrix(2, 1), u"K1ABC"_s);
        QVERIFY(f.libro().TextMatrix(2, 10).startsWith(u"22:30"_s)); // the evening before, local time
        QCOMPARE(f.fakes.messages.asked.last().text,
                 u"Se agregaron 2 contactos de «otro.adi». Estos datos no tienen columna en el libro y quedaron fuera: "
                 u"GRIDSQUARE (2), TX_PWR (1)."_s);
        // A program's own log after its contacts came in live: one already in the log (same call,
        // minute, band and mode) is left out.
        writeFile(f.path(u"wsjtx_log.adi"_s), "<CALL:5>K1ABC <QSO_DATE:8>20260101 <TIME_ON:6>013059 <EOR>\n"
                                              "<CALL:5>K3NEW <QSO_DATE:8>20260101 <TIME_ON:4>0130 <EOR>\n");
        useFile(f, "mImportar", u"wsjtx_log.adi"_s);
        QCOMPARE(f.libro().TextMatrix(4, 1), u"K3NEW"_s);
        QCOMPARE(f.fakes.messages.asked.last().text, u"Se agregó 1 contacto de «wsjtx_log.adi»; 1 ya estaba en el libro."_s);
        f.action("mDeshacer")->trigger();
        f.action("mDeshacer")->trigger();
        QCOMPARE(f.cells(), before);
    }

    // A file from a callbook service: the import names the record without a call sign and the
    // cells a log book cannot hold, saving names all of them at once, "Remplazar" finds them.
    void cellsALogBookCannotHold()
    {
        Log f;
        f.add(u"LU1ABC"_s);
        writeFile(f.path(u"callbook.adi"_s), "<CALL:5>EA1AA <NAME:6>Jos\xEF\xBF\xBD <EOR>\n<NAME:3>Ana <EOR>\n"
                                             "<CALL:5>EA2BB <QTH:6>Le\xEF\xBF\xBDn <EOR>\n");
        useFile(f, "mImportar", u"callbook.adi"_s);
        QCOMPARE(f.fakes.messages.asked.last().text,
                 u"Se agregaron 3 contactos de «callbook.adi». 1 de ellos no tiene indicativo (fila 3). 2 celdas "
                 u"tienen caracteres que un libro de guardia no admite (fila 2, columna «Nombre»: «\uFFFD»; fila 4, "
                 u"columna «QTH»: «\uFFFD»): cámbielos antes de guardar, con «Edición > Remplazar» si quiere."_s);
        useFile(f, "mGuardar_como", u"log.LBR"_s);
        QCOMPARE(f.fakes.messages.asked.last().text,
                 u"No se pudo guardar el archivo «log.LBR»: 2 celdas contienen caracteres que un libro de guardia no "
                 u"admite (fila 2 (EA1AA), columna «Nombre»: «\uFFFD»; fila 4 (EA2BB), columna «QTH»: «\uFFFD»). "
                 u"Cámbielos, con «Edición > Remplazar» si quiere, y vuelva a guardar."_s);
        f.action("mRemplazar")->trigger();
        FormWindow *replace = f.app->edit().replace().window();
        replace->lineEdit(u"cBusqueda"_s)->setText(u"\uFFFD"_s);
        replace->lineEdit(u"cReemplazo"_s)->setText(u"é"_s);
        replace->button(u"Command2"_s)->click();
        QCOMPARE(f.column(3), (QStringList{{}, {}, {}, u"Leén"_s}));
        useFile(f, "mGuardar_como", u"log.LBR"_s);
        QVERIFY(readAll(f.path(u"log.LBR"_s)).contains("\"Jos\xE9\""));
    }
};

QTEST_MAIN(TestLogbook)
#include "tst_logbook.moc"
