// "Exportar" and "Importar" with ADIF: a log typed in the window leaves as ADI or ADX and comes
// back with every cell; "Importar" tells files by their content and says what had no column;
// "Abrir" sends ADIF files to "Importar".
#include "AppFixture.h"
#include "FileHelpers.h"
#include "app/EntryForm.h"
#include "logbook/ExportCommands.h"
#include "logbook/LogbookCommands.h"
#include "ui/ClassicCombo.h"
#include "ui/FormWindow.h"
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

void type(AppFixture &f, const QStringList &fields, const QString &mode, int route, const QString &comment)
{
    EntryForm &entry = f.app->entry();
    for (int i = 0; i < fields.size(); ++i)
        entry.dato(i)->setText(fields.at(i));
    entry.datos(0)->setText(mode);
    entry.datos(1)->setCurrentIndex(route);
    emit entry.datos(1)->activated(route);
    entry.comment()->setPlainText(comment);
    entry.Guardar_Click();
}

void press(FormWindow *window, const QString &name, const char *button)
{
    window->lineEdit(u"Archivo"_s)->setText(name);
    window->button(QString::fromLatin1(button))->click();
}

QList<QStringList> contacts(AppFixture &f)
{
    QList<QStringList> rows = f.cells().mid(1);
    for (QStringList &row : rows)
        row.removeFirst(); // "Nº"
    return rows;
}

} // namespace

class TestAdifCommands : public QObject
{
    Q_OBJECT
private slots:
    void typedLogLeavesAndComesBack_data();
    void typedLogLeavesAndComesBack();
    void importSaysWhatHadNoColumn();
    void abrirSendsAdifToImportar();
};

void TestAdifCommands::typedLogLeavesAndComesBack_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("starts");
    QTest::newRow("ADI") << u"mi libro.adi"_s << QByteArray("Orvanel");
    QTest::newRow("ADX") << u"mi libro.ADX"_s << QByteArray("<?xml");
}

void TestAdifCommands::typedLogLeavesAndComesBack()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, starts);
    AppFixture f;
    f.app->variables().difUtc = 3;
    type(f, {u"EA4ÑBC"_s, u"José Núñez"_s, u"Córdoba"_s, u"Madrid"_s, u"Alcalá"_s, u"28801"_s, u"Apdo. 5"_s,
             u"59"_s, u"31/12/2025"_s, u"23:30:00"_s, u"7,050"_s},
         u"USB"_s, 0, u"línea uno\nlínea dos"_s);
    type(f, {u"lu1abc/p"_s, u"Ana"_s, {}, {}, {}, {}, {}, u"599"_s, u"1/2/26"_s, u"8:05"_s, u"14074"_s}, u"FT8"_s, 2,
         u"€ “QSL”"_s);
    f.app->entry().dato(11)->setText(u"EA5URV"_s);
    type(f, {u"CX2SM"_s}, u"DIGIMODOS"_s, 1, QString());
    const QList<QStringList> typed = contacts(f);
    f.action("mGuardar_como")->trigger();
    press(f.app->logbook().guardaWindow(), u"mi libro.LBR"_s, "Command1");

    f.action("mExportar")->trigger();
    FormWindow *window = f.app->exporting().window();
    QCOMPARE(window->windowTitle(), u"Exportar"_s);
    QCOMPARE(window->lineEdit(u"Archivo"_s)->text(), u"mi libro.adi"_s);
    press(window, name, "Command1");
    QVERIFY(!window->isVisible());
    QCOMPARE(f.fakes.messages.asked.last().text, u"Se exportaron 3 contactos a «%1»."_s.arg(name));
    QVERIFY(readAll(f.path(name)).contains(starts));

    f.action("mNuevo")->trigger();
    f.action("mImportar")->trigger();
    press(f.app->logbook().importarWindow(), name, "Abrir");
    QCOMPARE(f.fakes.messages.asked.last().text, u"Se agregaron 3 contactos de «%1»."_s.arg(name));
    QCOMPARE(contacts(f), typed);
    QCOMPARE(f.cells().value(3).value(0), u"3"_s);
}

// A file from another program: local time from UTC, the fields without a column counted, and
// the whole import one step to undo.
void TestAdifCommands::importSaysWhatHadNoColumn()
{
    AppFixture f;
    f.app->variables().difUtc = 3; // three hours behind UTC
    f.app->entry().Guardar_Click();
    writeFile(f.path(u"otro.adi"_s), "Otro programa\n<ADIF_VER:5>3.1.4 <EOH>\n"
                                     "<CALL:5>K1ABC <QSO_DATE:8>20260101 <TIME_ON:4>0130 <GRIDSQUARE:4>FN42 <EOR>\n"
                                     "<call:5>K2XYZ <qso_date:8>20260102 <time_on:6>120000 <gridsquare:4>FN30 "
                                     "<TX_PWR:3>100 <EOR>\n");
    const QList<QStringList> before = f.cells();
    f.action("mImportar")->trigger();
    press(f.app->logbook().importarWindow(), u"otro.adi"_s, "Abrir");
    QCOMPARE(f.libro().Rows(), 4);
    QCOMPARE(f.libro().TextMatrix(2, 1), u"K1ABC"_s);
    QVERIFY(f.libro().TextMatrix(2, 10).startsWith(u"22:30"_s)); // the evening before, local time
    QCOMPARE(f.fakes.messages.asked.last().text,
             u"Se agregaron 2 contactos de «otro.adi». Estos datos no tienen columna en el libro y quedaron fuera: "
             u"GRIDSQUARE (2), TX_PWR (1)."_s);
    f.action("mDeshacer")->trigger();
    QCOMPARE(f.cells(), before);
}

void TestAdifCommands::abrirSendsAdifToImportar()
{
    AppFixture f;
    f.app->entry().Guardar_Click();
    writeFile(f.path(u"otro.adx"_s), "<?xml version=\"1.0\"?><ADX><RECORDS></RECORDS></ADX>");
    const QList<QStringList> before = f.cells();
    f.action("nAbrir")->trigger();
    press(f.app->logbook().abreWindow(), u"otro.adx"_s, "Command1");
    QCOMPARE(f.cells(), before);
    QVERIFY(f.app->logbook().abreWindow()->isVisible());
    QVERIFY(f.fakes.messages.asked.last().text.contains(u"«Archivo > Importar»"_s));
}

QTEST_MAIN(TestAdifCommands)
#include "tst_adifcommands.moc"
