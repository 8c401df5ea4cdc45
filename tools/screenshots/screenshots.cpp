// Renders every window of the program into PNG files for the documentation, driving the
// real windows the way a user would: contacts typed into the entry form, commands picked
// from the menus. Run offscreen by scripts/screenshots.sh.
// Usage: orvanel-screenshots OUTPUT_FOLDER DXCC_DAT
#include "AppFixture.h"
#include "FileHelpers.h"
#include "qsl/ConfirmationCommands.h"
#include "qsl/LabelCommands.h"
#include "app/ClusterCommands.h"
#include "app/ConnectionCommands.h"
#include "app/DigitalLogging.h"
#include "app/EntryForm.h"
#include "edit/EditCommands.h"
#include "edit/SearchCommands.h"
#include "station/UserConfig.h"
#include "ui/ClassicCombo.h"
#include "ui/ClassicFont.h"
#include "ui/FocusStyle.h"
#include "ui/FormWindow.h"
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <functional>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

struct Contact
{
    QTime time;
    QStringList fields;          // dato(0)..dato(7): call sign to RST
    QString frequency;           // dato(10)
    QString mode;
    int route;                   // 0 BURO, 1 DIRECTA, 2 MANAGER
    QString manager;
    QString comment;
};

const QList<Contact> &contacts()
{
    static const QList<Contact> list = {
        {QTime(13, 5, 12), {u"LU7HZ"_s, u"Marcelo"_s, u"Villa Allende"_s, u"Córdoba"_s, u"Córdoba"_s, u"5105"_s, QString(), u"59"_s}, u"14.205"_s, u"SSB"_s, 0, QString(), QString()},
        {QTime(13, 22, 40), {u"CE3PQ"_s, u"Patricia"_s, u"Ñuñoa"_s, u"Metropolitana"_s, u"Santiago"_s, u"7750000"_s, QString(), u"57"_s}, u"7.080"_s, u"SSB"_s, 1, QString(), u"Pide QSL directa, envía sobre con sello."_s},
        {QTime(14, 1, 3), {u"EA5RT"_s, u"Vicente"_s, u"Gandía"_s, u"Valencia"_s, u"Valencia"_s, u"46701"_s, u"Apartado 345"_s, u"599"_s}, u"21.025"_s, u"CW"_s, 2, u"EA5URV"_s, u"Primer contacto con España en 15 metros. Señal fuerte, QSB leve."_s},
        {QTime(14, 37, 55), {u"CX2SM"_s, u"Sergio"_s, u"Pocitos"_s, u"Montevideo"_s, u"Montevideo"_s, u"11300"_s, QString(), u"55"_s}, u"28.450"_s, u"SSB"_s, 0, QString(), QString()},
        {QTime(15, 12, 9), {u"PY2QA"_s, u"Rita"_s, u"Campinas"_s, u"São Paulo"_s, u"Campinas"_s, u"13010"_s, QString(), u"59"_s}, u"145.550"_s, u"FM"_s, 0, QString(), u"Vía satélite, pasada de la tarde."_s},
        {QTime(16, 48, 30), {u"XE1GT"_s, u"Guillermo"_s, u"Coyoacán"_s, u"CDMX"_s, u"Ciudad de México"_s, u"04000"_s, u"Apdo. 75-120"_s, u"579"_s}, u"10.115"_s, u"CW"_s, 1, QString(), QString()},
    };
    return list;
}

class Shooter
{
public:
    explicit Shooter(QString folder) : m_folder(std::move(folder)) {}

    // Runs `open`, then saves the visible window titled `title` as NAME.png; `fill` may set
    // its fields first, as a user would before taking the picture.
    void shoot(const QString &name, const QString &title, const std::function<void()> &open,
               const std::function<void(QWidget *)> &fill = {})
    {
        open();
        QApplication::processEvents();
        QWidget *window = find(title);
        if (!window) {
            std::fprintf(stderr, "screenshots: no window \"%s\" for %s.png\n", qPrintable(title), qPrintable(name));
            ++m_missing;
            return;
        }
        if (fill)
            fill(window);
        save(name, window);
        window->hide();
        QApplication::processEvents();
    }

    void save(const QString &name, QWidget *window)
    {
        QApplication::processEvents();
        const QString path = QDir(m_folder).filePath(name + u".png"_s);
        if (window->grab().save(path)) {
            std::printf("%s\n", qPrintable(QDir::toNativeSeparators(path)));
        } else {
            std::fprintf(stderr, "screenshots: cannot write %s\n", qPrintable(path));
            ++m_missing;
        }
    }

    int missing() const { return m_missing; }

private:
    static QWidget *find(const QString &title)
    {
        const auto windows = QApplication::topLevelWidgets();
        for (QWidget *w : windows) {
            if (w->isVisible() && w->windowTitle() == title)
                return w;
        }
        return nullptr;
    }

    QString m_folder;
    int m_missing = 0;
};

// A control of a window built from its layout table, by its name in the table.
template<class T>
T *child(QWidget *window, const QString &name)
{
    auto *form = qobject_cast<FormWindow *>(window);
    return form ? form->control<T>(name) : nullptr;
}

void addContacts(AppFixture &f)
{
    EntryForm &entry = f.app->entry();
    for (const Contact &c : contacts()) {
        f.fakes.clock.moment.setTime(c.time);
        entry.Borrar_Click(); // also stamps the date and time
        for (int i = 0; i < c.fields.size(); ++i)
            entry.dato(i)->setText(c.fields.at(i));
        entry.dato(10)->setText(c.frequency);
        entry.datos(0)->setText(c.mode);
        // Picked from the list, so the manager field follows the route.
        ClassicCombo *route = entry.datos(1);
        route->setCurrentIndex(c.route);
        emit route->activated(c.route);
        entry.dato(11)->setText(c.manager);
        entry.comment()->setPlainText(c.comment);
        entry.Guardar_Click();
    }
    // The form ready for the next contact, as after a few real ones.
    entry.Borrar_Click();
    entry.dato(0)->setText(u"OA4DX"_s);
    entry.datos(0)->setText(u"SSB"_s);
    entry.datos(1)->setCurrentIndex(0);
    emit entry.datos(1)->activated(0);
}

int rowWithComment(GridModel &libro)
{
    for (int r = 1; r < libro.Rows(); ++r) {
        if (!libro.TextMatrix(r, 16).trimmed().isEmpty())
            return r;
    }
    return 1;
}

QtMessageHandler qtHandler = nullptr;

// The offscreen platform complains about every raise(); nothing to act on here.
void quietHandler(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (!text.startsWith(u"This plugin does not support"_s))
        qtHandler(type, context, text);
}

} // namespace

int main(int argc, char *argv[])
{
    qtHandler = qInstallMessageHandler(quietHandler);
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: orvanel-screenshots OUTPUT_FOLDER DXCC_DAT\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const QString dxcc = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(out);

    applyClassicFont(app); // as the program does
    QApplication::setStyle(new FocusStyle);

    AppFixture f(false);
    f.fakes.clock.moment = QDateTime(QDate(2026, 3, 14), QTime(13, 0, 0));
    QFile::copy(QFileInfo(dxcc).dir().filePath(u"cty.csv"_s), f.path(u"cty.csv"_s));
    if (!QFile::copy(dxcc, f.path(u"dxcc.dat"_s))) {
        std::fprintf(stderr, "screenshots: cannot copy %s\n", qPrintable(dxcc));
        return 1;
    }
    f.start();
    f.frame().show();

    Shooter shots(out);
    const auto trigger = [&f](const char *action) {
        return [&f, action] {
            if (QAction *a = f.action(action)) {
                a->setEnabled(true);
                a->trigger();
            }
        };
    };
    const auto setText = [](const char *name, const QString &text) {
        return [name, text](QWidget *window) {
            if (auto *edit = child<QLineEdit>(window, QString::fromLatin1(name)))
                edit->setText(text);
        };
    };

    // The station data first: three hours behind UTC, so the UTC clock runs three hours ahead.
    shots.shoot(u"usuario"_s, u"Configuración de Usuario"_s, trigger("mUsuario"), [](QWidget *window) {
        if (auto *pais = child<QComboBox>(window, u"Pais"_s))
            pais->setCurrentIndex(0);
        const QStringList values = {u"3"_s, u"Buenos Aires"_s, u"La Plata"_s, u"Calle 7 Nº 1234"_s, u"1900"_s, u"C.C. 56"_s};
        for (int i = 0; i < values.size(); ++i) {
            if (auto *edit = child<QLineEdit>(window, u"Usuario(%1)"_s.arg(i + 1)))
                edit->setText(values.at(i));
        }
    });
    f.app->userConfig().Command4_Click();

    addContacts(f);
    f.fakes.clock.moment.setTime(QTime(17, 2, 41));
    f.app->entry().stampDateTime();
    QTest::qWait(1200); // one tick of the station clocks
    GridModel &libro = f.libro();
    libro.setRow(3);
    f.app->entry().dato(0)->setText(u"EA5RT"_s); // the status bar tells what the log knows of it
    shots.save(u"kavento"_s, &f.frame());
    f.app->entry().dato(0)->setText(u"OA4DX"_s);

    shots.shoot(u"abrir"_s, u"Abrir"_s, trigger("nAbrir"));
    shots.shoot(u"guardar-como"_s, u"Guardar como..."_s, trigger("mGuardar_como"), setText("Archivo", u"Marzo 2026.LBR"_s));
    shots.shoot(u"exportar"_s, u"Exportar"_s, trigger("mExportar"), setText("Archivo", u"Marzo 2026.adi"_s));
    shots.shoot(u"importar"_s, u"Importar"_s, trigger("mImportar"), setText("Archivo", u"Concurso.LBR"_s));
    shots.shoot(u"buscar"_s, u"Buscar"_s, trigger("mBuscar"), setText("cBusqueda", u"EA5RT"_s));
    shots.shoot(u"comentario"_s, u"Comentario"_s, [&f, &libro] {
        libro.setRow(rowWithComment(libro));
        if (auto *button = qobject_cast<QAbstractButton *>(f.frame().control(u"Comentario"_s)))
            button->click();
    });
    shots.shoot(u"dxcc"_s, u"DXCC"_s, trigger("mVer_DXCC"));
    shots.shoot(u"acerca"_s, u"Acerca de Orvanel"_s, trigger("mAcerca"));
    shots.shoot(u"reemplazar"_s, u"Reemplazar"_s, trigger("mRemplazar"), [](QWidget *window) {
        if (auto *find = child<QLineEdit>(window, u"cBusqueda"_s))
            find->setText(u"DIRECTA"_s);
        if (auto *with = child<QLineEdit>(window, u"cReemplazo"_s))
            with->setText(u"BURO"_s);
    });
    libro.setTextMatrix(3, 15, u"SI"_s); // a card received: a confirmed mark
    shots.shoot(u"trabajados"_s, u"Países trabajados"_s, trigger("mTrabajados"));
    shots.shoot(u"directorios"_s, u"Directorios"_s, trigger("mDirectorios"), [](QWidget *window) {
        if (auto *folder = child<QLineEdit>(window, u"Carpeta"_s))
            folder->setText(u"/home/lu7hz/Radio/Libros de guardia"_s);
    });

    // The outside programs: the radio tried with "Probar", a cluster to connect to.
    f.app->connections().setGroupState(u"EquipoEstado"_s, u"Conectado: 14.074 MHz, USB"_s);
    shots.shoot(u"conexiones"_s, u"Conexiones"_s, trigger("mConexiones"), [](QWidget *window) {
        if (auto *box = child<QAbstractButton>(window, u"LeerEquipo"_s))
            box->setChecked(true);
        if (auto *host = child<QLineEdit>(window, u"ClusterServidor"_s))
            host->setText(u"dxc.nc7j.com"_s);
        if (auto *call = child<QLineEdit>(window, u"ClusterIndicativo"_s))
            call->setText(u"LU7HZ"_s);
    });

    // The cluster's spots marked against the six contacts above, and what the node said.
    QStringList said = {u"Hello LU7HZ, this is a DX cluster node in Buenos Aires"_s, u"LU7HZ de LU1DX-2  14-Mar-2026 1710Z dxspider >"_s};
    QList<Spot> spots;
    for (const QString &line : {
             u"DX de LU1ABC:    14025.0  EA5XX        CW 599                         1702Z"_s,
             u"DX de W3LPL:     14074.0  JA1XYZ       FT8 -12 dB                     1703Z"_s,
             u"DX de CE3PQ:     21030.0  EA5RT        CW                             1704Z"_s,
             u"DX de K1TTT:     21074.0  EA3ABC       FT8                            1706Z"_s,
             u"DX de KM3T-#:     7023.0  XE2AA        CW 18 dB 24 WPM                1707Z"_s,
             u"DX de PY2XB:     14205.0  LU8DPM       SSB                            1708Z"_s,
             u"DX de EA4XYZ:    50313.0  ZS6XY        FT8                            1709Z JN89"_s,
             u"WWV de W0MU <18>:   SFI=152, A=6, K=2, No Storms -> No Storms"_s}) {
        Spot spot;
        if (readSpot(line, spot))
            spots << spot;
        said << line;
    }
    f.app->cluster().received(said, spots);
    shots.shoot(u"cluster"_s, u"Cluster DX"_s, trigger("mCluster"), [](QWidget *) {
        QTest::qWait(300); // the console catches up
    });

    // A digital-mode program heard: its dial and the call it is working, judged against the log,
    // at the status bar's end.
    DigitalSettings digital;
    digital.enabled = true;
    digital.port = 0; // any free port: nothing is sent to it here
    f.app->digital().apply(digital);
    digital::Read status;
    status.outcome = digital::Outcome::Read;
    status.message.type = digital::Type::Status;
    status.message.id = u"WSJT-X"_s;
    status.message.status = {14074000, u"FT8"_s, u"EA5RT"_s};
    emit f.app->digital().listener().received(status);
    QTest::qWait(300);
    shots.save(u"digital"_s, &f.frame());

    // Find next marks every further "SSB" and stops on the last one, framed.
    f.action("mBuscar")->trigger();
    if (FormWindow *search = f.app->edit().search().window())
        search->lineEdit(u"cBusqueda"_s)->setText(u"SSB"_s);
    libro.setCol(1);
    libro.setRow(1);
    f.action("mBuscar_Siguiente")->trigger();
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w != &f.frame())
            w->hide();
    }
    shots.save(u"buscar-siguiente"_s, &f.frame());

    // Enlarged, the table takes the room; the form and the clocks stay where they are.
    f.frame().resize(f.frame().size() + QSize(360, 200));
    QApplication::processEvents();
    shots.save(u"kavento-ampliada"_s, &f.frame());

    // Confirmations: a report with two records the log does not hold, and the list of them.
    writeFile(f.path(u"lotwreport.adi"_s),
              "<EOH>\n<CALL:5>LU7HZ <BAND:3>20M <MODE:3>SSB <QSO_DATE:8>20260314 <TIME_ON:4>1605 <QSL_RCVD:1>Y <EOR>\n"
              "<CALL:5>OA4DX <BAND:3>40M <MODE:3>SSB <QSO_DATE:8>20260312 <TIME_ON:4>2310 <QSL_RCVD:1>Y <EOR>\n"
              "<CALL:5>K1ABC <BAND:3>20M <MODE:3>FT8 <QSO_DATE:8>20260313 <TIME_ON:6>011530 <QSL_RCVD:1>Y <EOR>\n");
    shots.shoot(u"importar-confirmaciones"_s, u"Importar confirmaciones"_s, trigger("mConfirmaciones"));
    f.fakes.messages.choices = {1}; // "Ver los no encontrados"
    shots.shoot(u"no-encontrados"_s, u"Confirmaciones no encontradas"_s, [&f] {
        f.action("mConfirmaciones")->trigger();
        f.app->confirmations().Importar_Click();
    });
    // The labels from the fourth position of a sheet, and the sheet itself as a PDF that
    // scripts/screenshots.sh renders.
    shots.shoot(u"etiquetas"_s, u"Etiquetas QSL"_s, trigger("mEtiquetas"), setText("Inicio", u"4"_s));
    f.fakes.messages.choices = {1}; // not marked as sent
    f.action("mEtiquetas")->trigger();
    f.app->labels().window()->lineEdit(u"Archivo"_s)->setText(QDir(out).absoluteFilePath(u"etiquetas.pdf"_s));
    f.app->labels().GuardarPdf_Click();

    for (const auto &asked : std::as_const(f.fakes.messages.asked))
        std::fprintf(stderr, "screenshots: the program said \"%s\"\n", qPrintable(asked.text));
    return shots.missing() == 0 ? 0 : 1;
}
