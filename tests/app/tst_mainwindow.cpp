// The main window as started: layout, menus, focus, secondary windows, station data, closing.
#include "AppFixture.h"
#include "FileHelpers.h"
#include "app/ConnectionCommands.h"
#include "app/EntryForm.h"
#include "common/LocalDateTime.h"
#include "logbook/LogbookCommands.h"
#include "station/FolderCommands.h"
#include "station/StationClock.h"
#include "station/UserConfig.h"
#include "ui/ClassicCombo.h"
#include "ui/FormWindow.h"
#include "ui/GridView.h"
#include "ui/Layouts.h"
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>

using namespace Qt::StringLiterals;

class TestMainWindow : public QObject
{
    Q_OBJECT
    static QLineEdit *userBox(AppFixture &f, int i) { return f.app->userConfig().window()->lineEdit(u"Usuario(%1)"_s.arg(i)); }
    static QString clockText(AppFixture &f, const QString &label) { return f.frame().control<QLabel>(label)->text(); }
    static void saveAs(AppFixture &f, const QString &name)
    {
        f.action("mGuardar_como")->trigger();
        f.app->logbook().guardaWindow()->lineEdit(u"Archivo"_s)->setText(name);
        f.app->logbook().guardaWindow()->button(u"Command1"_s)->click();
    }

private slots:
    void startsWithEmptyTableMenusFocusOrderAndWindows()
    {
        AppFixture f;
        const QStringList headings{u"Nº"_s, u"Indicativo"_s, u"Nombre"_s, u"QTH"_s, u"Provincia"_s, u"Ciudad"_s, u"Código Postal"_s, u"Casilla de Correo"_s,
                                   u"RST"_s, u"Fecha"_s, u"Hora"_s, u"Frecuencia"_s, u"Modo"_s, u"Vía"_s, u"Enviada"_s, u"Recibida"_s, u"Comentario"_s};
        QCOMPARE(f.cells(), QList<QStringList>{headings}); // the heading row alone
        GridView *view = f.frame().libroView(); // widths in pixels, the headings as its header
        QCOMPARE(view->horizontalHeader()->sectionSize(5), 100);
        QCOMPARE(view->model()->headerData(12, Qt::Horizontal).toString(), u"Vía"_s);
        // The menus in order: caption, then shortcut, and "off" for what starts disabled.
        QStringList menus;
        for (QAction *top : f.frame().menuBar()->actions()) {
            menus << top->text();
            for (QAction *a : top->menu()->actions())
                menus << (a->isSeparator() ? u"-"_s : QStringList{a->text(), a->shortcut().toString(), a->isEnabled() ? QString() : u"off"_s}.join(u'|'));
        }
        QCOMPARE(menus, (QStringList{
            u"&Archivo"_s, u"&Nuevo|Ctrl+N|"_s, u"&Abrir|Ctrl+A|"_s, u"&Guardar|Ctrl+G|off"_s, u"Guardar c&omo...||off"_s, u"Agregar &Contacto|F4|"_s,
            u"-"_s, u"&Importar||"_s, u"&Exportar||off"_s,
            u"Importar con&firmaciones...||"_s, u"Etiquetas &QSL...||"_s, u"-"_s, u"&Salir||"_s,
            u"&Edición"_s, u"&Deshacer|Ctrl+Z|off"_s, u"&Rehacer|Ctrl+Y|off"_s, u"-"_s, u"C&ortar|Ctrl+X|"_s, u"&Copiar|Ctrl+C|"_s, u"&Pegar|Ctrl+V|"_s,
            u"-"_s, u"&Ordenar|Ctrl+O|"_s, u"Borrar &Línea|Ctrl+L|"_s, u"-"_s, u"&Buscar|Ctrl+B|"_s, u"B&uscar siguiente|F3|"_s, u"Re&mplazar|Ctrl+R|"_s,
            u"&Configuración"_s, u"&Usuario||"_s, u"&Directorios||"_s, u"C&onexiones...||"_s,
            u"Co&mpletar con el último contacto||"_s, u"&DXCC"_s, u"&Ver||"_s, u"&Cluster DX||"_s, u"&Estadísticas"_s, u"&Paises trabajados||"_s,
            u"A&yuda"_s, u"&Ayuda en línea||"_s, u"&Sitio web de Orvanel||"_s, u"-"_s, u"Acerca de &Orvanel||"_s}));
        QCOMPARE(f.frame().windowTitle(), u"Orvanel versión 9.0"_s);
        QVERIFY(f.showAndActivate());
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(view));
        QCOMPARE(f.frame().client()->size(), QSize(792, 554));
        QCOMPARE(f.frame().control<QLineEdit>(u"dato(8)"_s)->text(), localtext::shortDate(f.fakes.clock.moment));
        QCOMPARE(f.frame().control<QLineEdit>(u"dato(9)"_s)->text(), localtext::longTime(f.fakes.clock.moment));
        QVERIFY(!f.frame().control(u"dato(11)"_s)->isEnabled());
        QVERIFY(f.fakes.messages.asked.isEmpty());
        QVERIFY(!f.app->userConfig().windowExists());
        // Enlarged, the table takes the room gained and the form stays; back, nothing has moved.
        const QRect table = view->geometry(), form = f.frame().control(u"dato(0)"_s)->geometry();
        f.frame().resize(f.frame().size() + QSize(200, 120));
        QTRY_COMPARE(f.frame().client()->size(), QSize(992, 674));
        QCOMPARE(view->geometry(), table.adjusted(0, 0, 200, 120));
        QCOMPARE(f.frame().control(u"dato(0)"_s)->geometry(), form);
        f.frame().resize(f.frame().size() - QSize(200, 120));
        QTRY_COMPARE(view->geometry(), table);
        QStringList visited; // the focus order

        for (int i = 0; i < 16; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, (QStringList{u"dato_0"_s, u"dato_1"_s, u"dato_2"_s, u"dato_3"_s, u"dato_4"_s, u"dato_5"_s, u"dato_6"_s, u"dato_7"_s, u"dato_8"_s,
                                      u"dato_9"_s, u"dato_10"_s, u"Datos_0"_s, u"Datos_1"_s, u"dato_12"_s, u"Guardar"_s, u"Borrar"_s}));
        // The manager box joins the order once it is enabled.
        f.frame().control(u"dato(11)"_s)->setEnabled(true);
        f.frame().control(u"Datos(1)"_s)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), u"dato_11"_s);

        // A menu shortcut beats a text field's own key; undo stays with the field.
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
        // Every window built from its table: caption, client size and the texts it starts with.
        const struct { WindowLayout layout; QSize size; QString caption; } windows[] = {
            {layouts::configUsr(), {336, 184}, u"Configuración de Usuario"_s},
            {layouts::abre(), {233, 62}, u"Abrir"_s},
            {layouts::guarda(), {231, 60}, u"Guardar como..."_s},
            {layouts::importar(), {233, 62}, u"Importar"_s},
            {layouts::buscar(), {384, 40}, u"Buscar"_s},
            {layouts::fComentario(), {193, 143}, u"Comentario"_s},
        };
        for (const auto &w : windows) {
            FormWindow window(w.layout, nullptr);
            QCOMPARE(window.windowTitle(), w.caption);
            QCOMPARE(window.size(), w.size);
            QCOMPARE(window.minimumSize() == window.maximumSize(), w.layout.kind != WindowKind::Sizable);
        }
        QCOMPARE(FormWindow(layouts::configUsr(), nullptr).control<ClassicCombo>(u"Pais"_s)->itemText(7), u"España"_s);
        QCOMPARE(FormWindow(layouts::abre(), nullptr).lineEdit(u"Archivo"_s)->text(), u"Principal.LBR"_s);
        QCOMPARE(FormWindow(layouts::fComentario(), nullptr).button(u"Aceptar"_s)->text(), u"&Aceptar"_s);
    }

    // "Directorios" sets where typed file names go, kept for the next start; bad folders are refused.
    void foldersWindowChoosesWhereFilesGo()
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
    }

    // Without USUARIO.CFG: the system's zone and country; shown again, not made twice;
    // "Cancelar" saves nothing; a failed save keeps it. With one: its fixed offset.
    void userConfigWindowLivesInItsSlotAndFileIsReadAtStart()
    {
        const SystemZone zone("America/Argentina/Buenos_Aires"); // three hours behind UTC all year
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Mexico));
        const auto restore = qScopeGuard([&before] { QLocale::setDefault(before); });
        AppFixture f;
        UserConfig &config = f.app->userConfig();
        QVERIFY(config.usesSystemZone());
        f.app->clock().Timer1_Timer();
        QCOMPARE(clockText(f, u"hUtc"_s), u"1:52"_s); // 22:52 local
        f.action("mUsuario")->trigger();
        QVERIFY(!userBox(f, 1)->isEnabled());
        config.window()->button(u"Command4"_s)->click();
        const QByteArray initial("\"M\xE9xico  \"\r\n\"3\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n");
        QCOMPARE(readAll(f.path(u"USUARIO.CFG"_s)), initial);
        QVERIFY(!config.window()->isVisible());

        f.action("mUsuario")->trigger();
        QPointer<FormWindow> first = config.window();
        QVERIFY(first && first->isVisible());
        first->control<QCheckBox>(u"Check1"_s)->click();
        QVERIFY(userBox(f, 1)->isEnabled());
        userBox(f, 1)->setText(u"5"_s);
        userBox(f, 2)->setText(u"Córdoba"_s);
        f.action("mUsuario")->trigger();
        QCOMPARE(config.window(), first.data());
        first->button(u"Command3"_s)->click();
        QVERIFY(first && !first->isVisible());
        QCOMPARE(readAll(f.path(u"USUARIO.CFG"_s)), initial);
        QVERIFY(config.usesSystemZone()); // "Cancelar" applied nothing
        f.action("mUsuario")->trigger();
        QCOMPARE(userBox(f, 1)->text(), u"5"_s);
        QCOMPARE(userBox(f, 2)->text(), u"Córdoba"_s);
        first->close();
        QTRY_VERIFY(first.isNull());
        f.action("mUsuario")->trigger();
        QVERIFY(config.window());
        QCOMPARE(userBox(f, 2)->text(), QString());
        QCOMPARE(userBox(f, 1)->text(), u"3"_s);

        QVERIFY(QFile::remove(f.path(u"USUARIO.CFG"_s)));
        QVERIFY(QDir(f.dir.path()).mkdir(u"USUARIO.CFG"_s)); // a folder where the file should go
        userBox(f, 1)->setText(u"2"_s);
        config.window()->button(u"Command4"_s)->click();
        QCOMPARE(f.fakes.messages.asked.size(), 1);
        QVERIFY(f.fakes.messages.asked.first().text.contains(u"USUARIO.CFG"_s));
        QVERIFY(config.window()->isVisible());
        QCOMPARE(userBox(f, 1)->text(), u"2"_s);
        QCOMPARE(config.difUtc(), qint16(3));

        // The next run reads a lower-case file into the hidden window, and writes back to it.
        QVERIFY(QDir(f.dir.path()).rmdir(u"USUARIO.CFG"_s));
        const QByteArray bytes("\"Uruguay  \"\r\n\"3\"\r\n\"Montevideo\"\r\n\"\"\r\n\"Av. 18, 1\"\r\n\"11000\"\r\n\"\"\r\n");
        QVERIFY(writeFile(f.path(u"usuario.cfg"_s), bytes));
        f.fakes.messages.asked.clear();
        f.start();
        UserConfig &next = f.app->userConfig();
        QVERIFY(next.usesSystemZone()); // the choice made outlasts the run, the file there or not
        QCOMPARE(next.difUtc(), qint16(3));
        QVERIFY(next.windowExists());
        QVERIFY(!next.window()->isVisible());
        QCOMPARE(next.values(), (QStringList{u"Uruguay  "_s, u"3"_s, u"Montevideo"_s, QString(), u"Av. 18, 1"_s, u"11000"_s, QString()}));
        f.fakes.clock.moment = QDateTime(QDate(2026, 1, 1), QTime(22, 30, 0));
        f.app->clock().Timer1_Timer();
        QCOMPARE(clockText(f, u"hLocal"_s), u"22:30"_s);
        QCOMPARE(clockText(f, u"hUtc"_s), u"1:30"_s);
        // A few wake-ups a second at most, yet a change of minute shows within a second.
        QVERIFY(f.app->clock().timer().isActive());
        QVERIFY(f.app->clock().timer().interval() >= 200 && f.app->clock().timer().interval() <= 1000);

        next.Command4_Click();
        QCOMPARE(QDir(f.dir.path()).entryList({u"*.cfg"_s}, QDir::Files), QStringList{u"usuario.cfg"_s});
        QCOMPARE(readAll(f.path(u"usuario.cfg"_s)), bytes);

        // A fixed offset accepted in the window shows at the next tick.
        f.action("mUsuario")->trigger();
        next.window()->control<QCheckBox>(u"Check1"_s)->click();
        userBox(f, 1)->setText(u"-3"_s);
        next.Command4_Click();
        f.fakes.clock.moment = QDateTime(QDate(2026, 1, 1), QTime(1, 5, 0));
        f.app->clock().Timer1_Timer();
        QCOMPARE(clockText(f, u"hLocal"_s), u"1:05"_s);
        QCOMPARE(clockText(f, u"hUtc"_s), u"22:05"_s);
        QVERIFY(f.fakes.messages.asked.isEmpty());
    }

    // "Conexiones": fields named by their labels, a port that is no port refused with
    // the window kept, what is accepted said and kept for the next run, "Cancelar" keeps nothing.
    void connectionsWindowKeepsWhatIsAccepted()
    {
        AppFixture f;
        ConnectionCommands &connections = f.app->connections();
        QSignalSpy accepted(&connections, &ConnectionCommands::accepted);
        f.action("mConexiones")->trigger();
        FormWindow *w = connections.window();
        QVERIFY(w && w->isVisible());
        // Each field named by its own label, the one before it in the table.
        for (const auto &[field, label] : {std::pair{u"EquipoServidor"_s, u"Servidor"_s}, std::pair{u"EquipoPuerto"_s, u"Puerto"_s},
                                           std::pair{u"ClusterIndicativo"_s, u"Indicativo"_s}})
            QCOMPARE(QAccessible::queryAccessibleInterface(w->control(field))->text(QAccessible::Name), label);

        // What "Aceptar" connects to at once is a server of the test's own, on this machine.
        QTcpServer node;
        QVERIFY(node.listen(QHostAddress::LocalHost));
        const QString port = QString::number(node.serverPort());
        w->lineEdit(u"EquipoPuerto"_s)->setText(port);
        w->lineEdit(u"ClusterServidor"_s)->setText(u"127.0.0.1"_s);
        w->lineEdit(u"ClusterIndicativo"_s)->setText(u" EA4XYZ "_s);
        w->control<QCheckBox>(u"LeerEquipo"_s)->setChecked(true);
        for (const QString &bad : {u"0"_s, u"65536"_s, u"73a"_s}) {
            w->lineEdit(u"ClusterPuerto"_s)->setText(bad);
            w->button(u"Aceptar"_s)->click();
        }
        QVERIFY(w->isVisible());
        QCOMPARE(f.fakes.messages.asked.size(), 3);
        QCOMPARE(f.fakes.messages.asked.at(2).text, u"El «Puerto» de «Cluster DX» debe ser un número entre 1 y 65535."_s);
        QVERIFY(accepted.isEmpty() && !f.fakes.settings->contains(u"cluster/servidor"_s));
        w->lineEdit(u"ClusterPuerto"_s)->setText(port);
        w->button(u"Aceptar"_s)->click();
        QVERIFY(!w->isVisible());
        QCOMPARE(accepted.size(), 1);
        const auto kept = accepted.at(0).at(0).value<ConnectionSettings>();
        QCOMPARE(kept.cluster.host + kept.cluster.call + QString::number(kept.cluster.port), u"127.0.0.1EA4XYZ"_s + port);
        QVERIFY(kept.rig.enabled);

        f.action("mConexiones")->trigger();
        w->lineEdit(u"ClusterServidor"_s)->setText(u"otro"_s);
        w->button(u"Cancelar"_s)->click();
        f.start(); // the next run
        f.action("mConexiones")->trigger();
        w = f.app->connections().window();
        QCOMPARE(w->lineEdit(u"ClusterServidor"_s)->text() + w->lineEdit(u"ClusterPuerto"_s)->text(), u"127.0.0.1"_s + port);
        QVERIFY(w->control<QCheckBox>(u"LeerEquipo"_s)->isChecked());
    }

    void closingAsksOnlyForChanges_data()
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

    // "Salir" with changes: the question, its three answers, and no journal left once it ends.
    void closingAsksOnlyForChanges()
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
};


QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
