// The main window as started: layout, menus, focus order, secondary windows, station data
// and clock, and the end of the program.
#include "AppFixture.h"
#include "FileHelpers.h"
#include "app/EntryForm.h"
#include "common/LocalDateTime.h"
#include "edit/EditCommands.h"
#include "edit/ReplaceCommands.h"
#include "logbook/LogbookCommands.h"
#include "station/FolderCommands.h"
#include "station/StationClock.h"
#include "station/UserConfig.h"
#include "ui/ClassicCombo.h"
#include "ui/FormWindow.h"
#include "ui/GridView.h"
#include "ui/Layouts.h"
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>

using namespace Qt::StringLiterals;

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void startsWithEmptyTableAndHeadings();
    void menuItemsAndInitialStates_data();
    void menuItemsAndInitialStates();
    void foldersWindowChoosesWhereFilesGo();
    void focusOrderAndKeys();
    void windowKindsSizesAndTexts();
    void userConfigWindowLivesInItsSlot();
    void userConfigReadAtStartAndSavedBack();
    void closingAsksOnlyForChanges_data();
    void closingAsksOnlyForChanges();

private:
    static QLineEdit *userBox(AppFixture &f, int i)
    {
        return f.app->userConfig().window()->lineEdit(u"Usuario(%1)"_s.arg(i));
    }
    static QString clockText(AppFixture &f, const QString &label) { return f.frame().control<QLabel>(label)->text(); }
    static void saveAs(AppFixture &f, const QString &name)
    {
        f.action("mGuardar_como")->trigger();
        f.app->logbook().guardaWindow()->lineEdit(u"Archivo"_s)->setText(name);
        f.app->logbook().guardaWindow()->button(u"Command1"_s)->click();
    }
};

void TestMainWindow::startsWithEmptyTableAndHeadings()
{
    AppFixture f;
    GridModel &libro = f.libro();
    const QStringList headings{u"Nº"_s, u"Indicativo"_s, u"Nombre"_s, u"QTH"_s, u"Provincia"_s, u"Ciudad"_s,
                               u"Código Postal"_s, u"Casilla de Correo"_s, u"RST"_s, u"Fecha"_s, u"Hora"_s,
                               u"Frecuencia"_s, u"Modo"_s, u"Vía"_s, u"Enviada"_s, u"Recibida"_s, u"Comentario"_s};
    QCOMPARE(f.cells(), QList<QStringList>{headings}); // the heading row alone
    QCOMPARE(libro.ColWidth(0), 350);
    QCOMPARE(libro.ColWidth(6), 1500);
    QCOMPARE(libro.ColWidth(7), 1500);
    QCOMPARE(libro.ColWidth(16), 4500);
    // The view shows the widths in pixels, and the headings as its header.
    GridView *view = f.frame().libroView();
    QCOMPARE(view->horizontalHeader()->sectionSize(5), 100);
    QCOMPARE(view->horizontalHeader()->sectionSize(15), 300);
    QCOMPARE(view->model()->headerData(12, Qt::Horizontal).toString(), u"Vía"_s);
    QStringList tops; // the top-level menus, left to right
    for (QAction *a : f.frame().menuBar()->actions())
        tops << a->text();
    QCOMPARE(tops, (QStringList{u"&Archivo"_s, u"&Edición"_s, u"&Configuración"_s, u"&DXCC"_s, u"&Estadísticas"_s,
                               u"A&yuda"_s}));

    QCOMPARE(f.frame().windowTitle(), u"Orvanel versión 9.0"_s);
    f.frame().show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.frame()));
    QCOMPARE(f.frame().client()->size(), QSize(792, 554));
    auto *hora = f.frame().control<QLineEdit>(u"dato(9)"_s);
    QCOMPARE(f.frame().control<QLineEdit>(u"dato(8)"_s)->text(), localtext::shortDate(f.fakes.clock.moment));
    QCOMPARE(hora->text(), localtext::longTime(f.fakes.clock.moment));
    QVERIFY(hora->text().contains(u"52"_s) && hora->text().contains(u"30"_s));
    QVERIFY(!f.frame().control(u"dato(11)"_s)->isEnabled());
    QCOMPARE(f.frame().control<ClassicCombo>(u"Datos(0)"_s)->text(), u"SSB"_s);
    QCOMPARE(f.frame().control<ClassicCombo>(u"Datos(1)"_s)->text(), u"BURO"_s);
    QCOMPARE(f.frame().control<ClassicCombo>(u"Datos(0)"_s)->count(), 5);
    QVERIFY(f.fakes.messages.asked.isEmpty());
    QVERIFY(!f.app->userConfig().windowExists());

    // Enlarged, the table takes the room gained; the form stays where it is. Back at the
    // designed size, nothing has moved.
    const QRect table = view->geometry(), call = f.frame().control(u"dato(0)"_s)->geometry();
    f.frame().resize(f.frame().size() + QSize(200, 120));
    QTRY_COMPARE(f.frame().client()->size(), QSize(992, 674));
    QCOMPARE(view->geometry(), table.adjusted(0, 0, 200, 120));
    QCOMPARE(f.frame().control(u"dato(0)"_s)->geometry(), call);
    f.frame().resize(f.frame().size() - QSize(200, 120));
    QTRY_COMPARE(view->geometry(), table);
}

void TestMainWindow::menuItemsAndInitialStates_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shortcut");
    QTest::addColumn<bool>("enabled");
    const auto row = [](const char *name, const QString &caption, const char *key, bool enabled) {
        QTest::newRow(name) << QString::fromLatin1(name) << caption << QString::fromLatin1(key) << enabled;
    };
    row("mNuevo", u"&Nuevo"_s, "Ctrl+N", true);
    row("nAbrir", u"&Abrir"_s, "Ctrl+A", true);
    row("mGuardar", u"&Guardar"_s, "Ctrl+G", false);
    row("mGuardar_como", u"Guardar c&omo..."_s, "", false);
    row("mContacto", u"Agregar &Contacto"_s, "F4", true);
    row("mImportar", u"&Importar"_s, "", true);
    row("mExportar", u"&Exportar"_s, "", false);
    row("mSalir", u"&Salir"_s, "", true);
    row("mDeshacer", u"&Deshacer"_s, "Ctrl+Z", false);
    row("mRehacer", u"&Rehacer"_s, "Ctrl+Y", false);
    row("mCortar", u"C&ortar"_s, "Ctrl+X", true);
    row("mCopiar", u"&Copiar"_s, "Ctrl+C", true);
    row("mPegar", u"&Pegar"_s, "Ctrl+V", true);
    row("mOrdenar", u"&Ordenar"_s, "Ctrl+O", true);
    row("mBorra_linea", u"Borrar &Línea"_s, "Ctrl+L", true);
    row("mBuscar", u"&Buscar"_s, "Ctrl+B", true);
    row("mBuscar_Siguiente", u"B&uscar siguiente"_s, "F3", true);
    row("mRemplazar", u"Re&mplazar"_s, "Ctrl+R", true);
    row("mUsuario", u"&Usuario"_s, "", true);
    row("mDirectorios", u"&Directorios"_s, "", true);
    row("mVer_DXCC", u"&Ver"_s, "", true);
    row("mTrabajados", u"&Paises trabajados"_s, "", true);
    row("mAyuda_enlinea", u"&Ayuda en línea"_s, "", true);
    row("mSitio", u"&Sitio web de Orvanel"_s, "", true);
    row("mAcerca", u"Acerca de &Orvanel"_s, "", true);
}

void TestMainWindow::menuItemsAndInitialStates()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, shortcut);
    QFETCH(bool, enabled);
    AppFixture f;
    QAction *action = f.frame().action(name);
    QVERIFY(action);
    QCOMPARE(action->text(), caption);
    QCOMPARE(action->shortcut(), QKeySequence(shortcut));
    QCOMPARE(action->isEnabled(), enabled);
}

// "Directorios" sets where the file windows take the names typed in them, kept for the next
// start; a folder that cannot be used is refused and the previous one stays.
void TestMainWindow::foldersWindowChoosesWhereFilesGo()
{
    AppFixture f;
    f.app->entry().Guardar_Click();
    QVERIFY(QDir(f.dir.path()).mkdir(u"libros"_s));
    const QString libros = f.path(u"libros"_s);
    f.action("mDirectorios")->trigger();
    FormWindow *window = f.app->folders().window();
    QVERIFY(window && window->isVisible());
    QCOMPARE(window->windowTitle(), u"Directorios"_s);
    QCOMPARE(QDir::fromNativeSeparators(window->lineEdit(u"Carpeta"_s)->text()), f.dir.path());

    window->lineEdit(u"Carpeta"_s)->setText(f.path(u"no existe"_s));
    window->button(u"Aceptar"_s)->click();
    QVERIFY(window->isVisible());
    QVERIFY(f.fakes.messages.asked.value(0).text.contains(u"no existe"_s));
    f.fakes.folders.answer = libros;
    window->button(u"Examinar"_s)->click();
    window->button(u"Aceptar"_s)->click();
    QVERIFY(!window->isVisible());
    QCOMPARE(f.fakes.messages.asked.size(), 1);

    saveAs(f, u"uno.LBR"_s);
    QVERIFY(QFileInfo::exists(libros + u"/uno.LBR"_s));
    saveAs(f, f.path(u"dos.LBR"_s)); // a folder of its own
    QVERIFY(QFileInfo::exists(f.path(u"dos.LBR"_s)));

    f.start(); // the next run
    f.action("mDirectorios")->trigger();
    QCOMPARE(QDir::fromNativeSeparators(f.app->folders().window()->lineEdit(u"Carpeta"_s)->text()), libros);
    // "Reemplazar" has a window of its own too.
    f.action("mRemplazar")->trigger();
    QVERIFY(f.app->edit().replace().window() && f.app->edit().replace().window()->isVisible());
}

void TestMainWindow::focusOrderAndKeys()
{
    AppFixture f;
    QVERIFY(f.showAndActivate());
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(f.frame().libroView()));
    QStringList visited;
    for (int i = 0; i < 17; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QStringList expected;
    for (int i = 0; i <= 10; ++i)
        expected << u"dato_%1"_s.arg(i);
    expected << u"Datos_0"_s << u"Datos_1"_s << u"dato_12"_s << u"Guardar"_s << u"Borrar"_s;
    QCOMPARE(visited.mid(0, expected.size()), expected);
    // The manager box joins the order once it is enabled.
    f.frame().control(u"dato(11)"_s)->setEnabled(true);
    f.frame().control(u"Datos(1)"_s)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), u"dato_11"_s);

    // A menu shortcut wins over a text field's own use of the key; undo stays with the field,
    // even while the log has steps to undo.
    auto *call = f.frame().control<QLineEdit>(u"dato(0)"_s);
    call->setFocus();
    call->setText(u"EA4ABC"_s);
    QSignalSpy abrir(f.action("nAbrir"), &QAction::triggered);
    QTest::keyClick(call, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(abrir.count(), 1);
    QVERIFY(!call->hasSelectedText());
    f.app->entry().Guardar_Click();
    QVERIFY(f.action("mDeshacer")->isEnabled());
    call->setText(u"EA4"_s);
    QTest::keyClicks(call, u"X"_s);
    QTest::keyClick(call, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(call->text(), u"EA4"_s);
    QCOMPARE(f.libro().Rows(), 2);
}

void TestMainWindow::windowKindsSizesAndTexts()
{
    // Every window built from its table: caption, client size and the texts it starts with.
    const struct { WindowLayout layout; QSize size; QString caption; } windows[] = {
        {layouts::configUsr(), {312, 160}, u"Configuración de Usuario"_s},
        {layouts::acerca(), {344, 202}, u"Acerca de Orvanel"_s},
        {layouts::abre(), {233, 62}, u"Abrir"_s},
        {layouts::guarda(), {231, 60}, u"Guardar como..."_s},
        {layouts::importar(), {233, 62}, u"Importar"_s},
        {layouts::buscar(), {384, 40}, u"Buscar"_s},
        {layouts::fComentario(), {193, 143}, u"Comentario"_s},
        {layouts::fDxcc(), {274, 356}, u"DXCC"_s},
    };
    for (const auto &w : windows) {
        FormWindow window(w.layout, nullptr);
        QCOMPARE(window.windowTitle(), w.caption);
        QCOMPARE(window.size(), w.size);
        QCOMPARE(window.minimumSize() == window.maximumSize(), w.layout.kind != WindowKind::Sizable);
    }
    FormWindow config(layouts::configUsr(), nullptr);
    auto *pais = config.control<ClassicCombo>(u"Pais"_s);
    QCOMPARE(pais->text(), u"Combo1"_s);
    QCOMPARE(pais->count(), 17);
    QCOMPARE(pais->itemText(0), u"Argentina  "_s);
    QCOMPARE(pais->itemText(7), u"España"_s);
    QCOMPARE(pais->itemText(16), u"Venezuela "_s);
    QCOMPARE(config.geometry().topLeft(), QPoint(263, 136));
    QCOMPARE(FormWindow(layouts::guarda(), nullptr).lineEdit(u"Archivo"_s)->text(), u"Sin Título.LBR"_s);
    FormWindow abre(layouts::abre(), nullptr);
    QCOMPARE(abre.lineEdit(u"Archivo"_s)->text(), u"Principal.LBR"_s);
    QVERIFY(abre.button(u"Command1"_s));
    QVERIFY(FormWindow(layouts::importar(), nullptr).button(u"Abrir"_s));
    FormWindow comentario(layouts::fComentario(), nullptr);
    QCOMPARE(comentario.button(u"Aceptar"_s)->text(), u"&Aceptar"_s);
    QVERIFY(comentario.control<QPlainTextEdit>(u"coment"_s)->toPlainText().isEmpty());
}

// Without USUARIO.CFG: "Aceptar" saves the window's first texts. The window is shown again,
// not made twice; "Cancelar" hides it with what was typed and saves nothing; the frame's close
// button destroys it. A save that fails keeps the window and what was typed.
void TestMainWindow::userConfigWindowLivesInItsSlot()
{
    AppFixture f;
    UserConfig &config = f.app->userConfig();
    QCOMPARE(config.difUtc(), qint16(0));
    f.action("mUsuario")->trigger();
    config.window()->button(u"Command4"_s)->click();
    const QByteArray initial("\"Combo1\"\r\n\"-3\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n");
    QCOMPARE(readAll(f.path(u"USUARIO.CFG"_s)), initial);
    QCOMPARE(config.difUtc(), qint16(-3));
    QVERIFY(!config.window()->isVisible());

    f.action("mUsuario")->trigger();
    QPointer<FormWindow> first = config.window();
    QVERIFY(first && first->isVisible());
    userBox(f, 1)->setText(u"5"_s);
    userBox(f, 2)->setText(u"Córdoba"_s);
    f.action("mUsuario")->trigger();
    QCOMPARE(config.window(), first.data());
    first->button(u"Command3"_s)->click();
    QVERIFY(first && !first->isVisible());
    QCOMPARE(readAll(f.path(u"USUARIO.CFG"_s)), initial);
    QCOMPARE(config.difUtc(), qint16(-3));
    f.action("mUsuario")->trigger();
    QCOMPARE(userBox(f, 1)->text(), u"5"_s);
    QCOMPARE(userBox(f, 2)->text(), u"Córdoba"_s);
    first->close();
    QTRY_VERIFY(first.isNull());
    f.action("mUsuario")->trigger();
    QVERIFY(config.window());
    QCOMPARE(userBox(f, 2)->text(), QString());
    QCOMPARE(userBox(f, 1)->text(), u"-3"_s);

    QVERIFY(QFile::remove(f.path(u"USUARIO.CFG"_s)));
    QVERIFY(QDir(f.dir.path()).mkdir(u"USUARIO.CFG"_s)); // a folder where the file should go
    userBox(f, 1)->setText(u"2"_s);
    config.window()->button(u"Command4"_s)->click();
    QCOMPARE(f.fakes.messages.asked.size(), 1);
    QVERIFY(f.fakes.messages.asked.first().text.contains(u"USUARIO.CFG"_s));
    QVERIFY(config.window()->isVisible());
    QCOMPARE(userBox(f, 1)->text(), u"2"_s);
    QCOMPARE(config.difUtc(), qint16(-3));
}

// A file in lower case is read at start into the hidden window and sets the clock's offset;
// "Aceptar" writes back to that file. A double quote typed in a value shifts no other value.
void TestMainWindow::userConfigReadAtStartAndSavedBack()
{
    AppFixture f(false);
    const QByteArray bytes("\"Uruguay  \"\r\n\"3\"\r\n\"Montevideo\"\r\n\"\"\r\n\"Av. 18, 1\"\r\n\"11000\"\r\n\"\"\r\n");
    QVERIFY(writeFile(f.path(u"usuario.cfg"_s), bytes));
    f.start();
    UserConfig &config = f.app->userConfig();
    QCOMPARE(config.difUtc(), qint16(3));
    QVERIFY(config.windowExists());
    QVERIFY(!config.window()->isVisible());
    QCOMPARE(config.values(), (QStringList{u"Uruguay  "_s, u"3"_s, u"Montevideo"_s, QString(), u"Av. 18, 1"_s,
                                          u"11000"_s, QString()}));
    f.fakes.clock.moment = QDateTime(QDate(2026, 1, 1), QTime(22, 30, 0));
    f.app->clock().Timer1_Timer();
    QCOMPARE(clockText(f, u"hLocal"_s), u"22:30"_s);
    QCOMPARE(clockText(f, u"hUtc"_s), u"1:30"_s);
    // A few wake-ups a second at most, yet a change of minute shows within a second.
    QVERIFY(f.app->clock().timer().isActive());
    QVERIFY(f.app->clock().timer().interval() >= 200 && f.app->clock().timer().interval() <= 1000);

    config.Command4_Click();
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files), QStringList{u"usuario.cfg"_s});
    QCOMPARE(readAll(f.path(u"usuario.cfg"_s)), bytes);

    // A new offset accepted in the window shows at the next tick.
    f.action("mUsuario")->trigger();
    userBox(f, 1)->setText(u"-3"_s);
    userBox(f, 4)->setText(u"Calle \"Mayor\", 5"_s);
    userBox(f, 5)->setText(u"28001"_s);
    config.Command4_Click();
    f.fakes.clock.moment = QDateTime(QDate(2026, 1, 1), QTime(1, 5, 0));
    f.app->clock().Timer1_Timer();
    QCOMPARE(clockText(f, u"hLocal"_s), u"1:05"_s);
    QCOMPARE(clockText(f, u"hUtc"_s), u"22:05"_s);

    f.start(); // the next run reads every other value where it was
    const QStringList values = f.app->userConfig().values();
    QCOMPARE(values.at(1), u"-3"_s);
    QVERIFY(values.at(4).startsWith(u"Calle "_s) && values.at(4).endsWith(u", 5"_s));
    QCOMPARE(values.at(5), u"28001"_s);
    QVERIFY(f.fakes.messages.asked.isEmpty());
}

void TestMainWindow::closingAsksOnlyForChanges_data()
{
    QTest::addColumn<bool>("changed");
    QTest::addColumn<bool>("named");    // the log has a file name to save to
    QTest::addColumn<int>("answer");    // Guardar, No guardar, Cancelar
    QTest::addColumn<bool>("ends");
    QTest::addColumn<bool>("saved");
    QTest::newRow("unchanged: no question") << false << true << -1 << true << false;
    QTest::newRow("Guardar") << true << true << 0 << true << true;
    QTest::newRow("Guardar without a name, then Guardar como") << true << false << 0 << true << true;
    QTest::newRow("No guardar") << true << true << 1 << true << false;
    QTest::newRow("Cancelar") << true << true << 2 << false << false;
}

// "Salir" (and the window's close button) with changes not saved: the question and its three
// answers; the program ends only when they are saved or dropped, and then leaves no journal.
void TestMainWindow::closingAsksOnlyForChanges()
{
    QFETCH(bool, changed);
    QFETCH(bool, named);
    QFETCH(int, answer);
    QFETCH(bool, ends);
    QFETCH(bool, saved);
    AppFixture f;
    f.app->entry().Guardar_Click();
    if (named)
        saveAs(f, u"libro.LBR"_s);
    if (changed)
        f.app->entry().Guardar_Click();
    const QByteArray onDisk = readAll(f.path(u"libro.LBR"_s));
    f.fakes.messages.asked.clear();
    f.fakes.messages.choices = {answer};
    f.action("mSalir")->trigger();
    if (!named && answer == 0) {
        QVERIFY(!f.ended); // "Guardar como..." is open for a name
        f.app->logbook().guardaWindow()->lineEdit(u"Archivo"_s)->setText(u"libro.LBR"_s);
        f.app->logbook().guardaWindow()->button(u"Command1"_s)->click();
        QTRY_VERIFY(f.ended);
    }
    QCOMPARE(f.ended, ends);
    QCOMPARE(f.fakes.messages.asked.size(), changed ? 1 : 0);
    if (changed) {
        QCOMPARE(f.fakes.messages.asked.at(0).text, u"El libro de guardia tiene cambios sin guardar. ¿Desea guardarlos?"_s);
        QCOMPARE(f.fakes.messages.asked.at(0).choices, (QStringList{u"Guardar"_s, u"No guardar"_s, u"Cancelar"_s}));
    }
    QCOMPARE(readAll(f.path(u"libro.LBR"_s)) != onDisk, saved);
    if (saved)
        QCOMPARE(readAll(f.path(u"libro.LBR"_s)).left(3), QByteArray("2\r\n"));
    QCOMPARE(QFileInfo::exists(f.path(u".orvanel-recuperacion"_s)), !ends);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
