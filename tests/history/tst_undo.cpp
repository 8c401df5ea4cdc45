// Every command that changes the log, done, undone and redone: the whole table (cells,
// numbers, colours), the title, the save commands and the current cell come back exactly.
#include "AppFixture.h"
#include "FileHelpers.h"
#include "app/CommentEditor.h"
#include "app/EntryForm.h"
#include "edit/EditCommands.h"
#include "edit/ReplaceCommands.h"
#include "edit/SearchCommands.h"
#include "history/ContactLog.h"
#include "logbook/LogbookCommands.h"
#include "ui/FormWindow.h"
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

struct Snapshot
{
    QList<QStringList> cells;
    QList<QColor> colours; // background of every cell, row by row
    QString title;
    bool saveEnabled;
    int row, col;
    bool operator==(const Snapshot &o) const
    {
        return cells == o.cells && colours == o.colours && title == o.title && saveEnabled == o.saveEnabled
               && row == o.row && col == o.col;
    }
};

Snapshot snapshot(AppFixture &f)
{
    Snapshot s{f.cells(), {}, f.frame().windowTitle(), f.action("mGuardar")->isEnabled(), f.libro().Row(),
               f.libro().Col()};
    for (int r = 0; r < f.libro().Rows(); ++r)
        for (int c = 0; c < f.libro().Cols(); ++c)
            s.colours << f.libro().cellBackColor(r, c);
    return s;
}

char *describe(const Snapshot &s)
{
    QString text = u"title %1, save %2, cell (%3, %4), %5 rows:"_s.arg(s.title).arg(s.saveEnabled).arg(s.row).arg(s.col).arg(s.cells.size());
    for (const QStringList &row : s.cells)
        text += u"\n  "_s + row.join(u'|');
    return qstrdup(qPrintable(text));
}

QByteArray lbr(const QList<QStringList> &contacts)
{
    QByteArray bytes = QByteArray::number(contacts.size()) + "\r\n";
    for (const QStringList &c : contacts) {
        for (int i = 0; i < 15; ++i)
            bytes += '"' + c.value(i).toLatin1() + "\"\r\n";
        bytes += "\"nota " + c.value(0).toLatin1() + "\"\r\n"; // a comment for the editor
    }
    return bytes;
}

void openFile(AppFixture &f, const QString &name)
{
    f.action("nAbrir")->trigger();
    FormWindow *w = f.app->logbook().abreWindow();
    w->lineEdit(u"Archivo"_s)->setText(name);
    w->button(u"Command1"_s)->click();
}

void replaceWindow(AppFixture &f, const QString &find, const QString &with, const char *button)
{
    f.action("mRemplazar")->trigger();
    FormWindow *w = f.app->edit().replace().window();
    w->lineEdit(u"cBusqueda"_s)->setText(find);
    w->lineEdit(u"cReemplazo"_s)->setText(with);
    w->button(QString::fromLatin1(button))->click();
}

using Step = std::function<void(AppFixture &)>;

} // namespace

namespace QTest {
template<> char *toString(const Snapshot &s) { return describe(s); }
}

class TestUndo : public QObject
{
    Q_OBJECT
private slots:
    void everyCommandGoesBackAndForth_data();
    void everyCommandGoesBackAndForth();
    void memoryBoundLetsTheOldestGo();
};

void TestUndo::everyCommandGoesBackAndForth_data()
{
    QTest::addColumn<int>("contacts"); // in the log the command starts from
    QTest::addColumn<Step>("prepare"); // what the user does first that is no change (a click, a copy)
    QTest::addColumn<Step>("command");
    QTest::addColumn<QString>("caption"); // of "Deshacer" afterwards

    const auto at = [](int row, int col) {
        return Step([row, col](AppFixture &f) { f.libro().setCol(col); f.libro().setRow(row); });
    };
    const auto menu = [](const char *item) { return Step([item](AppFixture &f) { f.action(item)->trigger(); }); };
    QTest::newRow("add") << 4 << at(1, 1) << Step([](AppFixture &f) {
        f.app->entry().dato(0)->setText(u"EA9ZZ"_s);
        f.app->entry().Guardar_Click();
    }) << u"&Deshacer Agregar contacto"_s;
    QTest::newRow("delete a line") << 4 << at(2, 3) << menu("mBorra_linea") << u"&Deshacer Borrar línea"_s;
    QTest::newRow("delete the only line") << 1 << at(1, 4) << menu("mBorra_linea") << u"&Deshacer Borrar línea"_s;
    QTest::newRow("cut") << 4 << at(3, 2) << menu("mCortar") << u"&Deshacer Cortar"_s;
    QTest::newRow("paste") << 4 << Step([at](AppFixture &f) {
        at(2, 3)(f);
        f.action("mCopiar")->trigger();
        at(4, 5)(f);
    }) << menu("mPegar") << u"&Deshacer Pegar"_s;
    QTest::newRow("sort") << 4 << at(2, 2) << menu("mOrdenar") << u"&Deshacer Ordenar"_s;
    QTest::newRow("comment") << 4 << at(3, 1) << Step([](AppFixture &f) {
        f.app->comments().Comentario_Click();
        f.app->comments().window()->control<QPlainTextEdit>(u"coment"_s)->setPlainText(u"otro texto"_s);
        f.app->comments().Aceptar_Click();
    }) << u"&Deshacer Comentario"_s;
    QTest::newRow("replace") << 4 << at(2, 2) << Step([](AppFixture &f) { replaceWindow(f, u"a"_s, u"OO"_s, "Command1"); })
                             << u"&Deshacer Reemplazar"_s;
    QTest::newRow("replace all") << 4 << at(1, 1)
                                 << Step([](AppFixture &f) { replaceWindow(f, u"a"_s, u"OO"_s, "Command2"); })
                                 << u"&Deshacer Reemplazar todo"_s;
    QTest::newRow("import") << 4 << at(3, 3) << Step([](AppFixture &f) {
        writeFile(f.path(u"mas.LBR"_s), lbr({{u"K1A"_s, u"Al"_s}, {u"K2B"_s, u"Bo"_s}}));
        f.action("mImportar")->trigger();
        FormWindow *w = f.app->logbook().importarWindow();
        w->lineEdit(u"Archivo"_s)->setText(u"mas.LBR"_s);
        w->button(u"Abrir"_s)->click();
    }) << u"&Deshacer Importar"_s;
    QTest::newRow("import ADIF") << 4 << at(2, 5) << Step([](AppFixture &f) {
        writeFile(f.path(u"mas.adi"_s), "<CALL:4>K1AA <QSO_DATE:8>20260101 <TIME_ON:4>1200 <EOR>\n");
        f.action("mImportar")->trigger();
        FormWindow *w = f.app->logbook().importarWindow();
        w->lineEdit(u"Archivo"_s)->setText(u"mas.adi"_s);
        w->button(u"Abrir"_s)->click();
    }) << u"&Deshacer Importar"_s;
    QTest::newRow("new") << 4 << at(4, 6) << menu("mNuevo") << u"&Deshacer Nuevo"_s;
    QTest::newRow("open") << 4 << at(2, 16) << Step([](AppFixture &f) {
        writeFile(f.path(u"otro.LBR"_s), lbr({{u"LU1X"_s, u"Eva"_s}}));
        openFile(f, u"otro.LBR"_s);
    }) << u"&Deshacer Abrir"_s;
}

void TestUndo::everyCommandGoesBackAndForth()
{
    QFETCH(int, contacts);
    QFETCH(Step, prepare);
    QFETCH(Step, command);
    QFETCH(QString, caption);
    AppFixture f;
    // A log opened from a file (the title names it), its numbers scrambled by a sort, with
    // find-next marks: everything undo has to bring back.
    const QList<QStringList> base{{u"EA4ZZ"_s, u"Ana"_s, u"Lugo"_s}, {u"CE3AA"_s, u"Blas"_s, u"Talca"_s},
                                  {u"LU2MM"_s, u"Dana"_s, u"Salta"_s}, {u"CX1BB"_s, u"Gala"_s, u"Melo"_s}};
    writeFile(f.path(u"base.LBR"_s), lbr(base.mid(0, contacts)));
    openFile(f, u"base.LBR"_s);
    f.libro().setCol(1);
    f.libro().setRow(1);
    f.action("mOrdenar")->trigger();
    f.action("mBuscar")->trigger();
    f.app->edit().search().window()->lineEdit(u"cBusqueda"_s)->setText(u"a"_s);
    f.libro().setCol(1);
    f.libro().setRow(1);
    f.action("mBuscar_Siguiente")->trigger();
    f.app->edit().search().Command2_Click();
    prepare(f);

    const Snapshot before = snapshot(f);
    command(f);
    const Snapshot after = snapshot(f);
    QVERIFY(!(after == before));
    QCOMPARE(f.action("mDeshacer")->text(), caption);
    QVERIFY(f.action("mDeshacer")->isEnabled());

    f.action("mDeshacer")->trigger();
    QCOMPARE(snapshot(f), before);
    QVERIFY(f.action("mRehacer")->isEnabled());
    f.action("mRehacer")->trigger();
    // Redone, the table is as the command left it; the current cell is where the change was
    // (after "Reemplazar" the window has moved it on to the next match).
    Snapshot redone = snapshot(f);
    redone.row = after.row;
    redone.col = after.col;
    QCOMPARE(redone, after);
    f.action("mDeshacer")->trigger();
    QCOMPARE(snapshot(f), before);
    QVERIFY(f.fakes.messages.asked.size() <= 1); // "Reemplazar todo" and an ADIF import say how many
}

// Past the bound the oldest steps are let go; the newest stay undoable.
void TestUndo::memoryBoundLetsTheOldestGo()
{
    AppFixture f;
    ContactLog &log = f.app->log();
    log.setMemoryLimit(1);
    EntryForm &entry = f.app->entry();
    entry.Guardar_Click();
    entry.Guardar_Click();
    f.action("mNuevo")->trigger(); // keeps the two contacts: over the bound
    entry.Guardar_Click();
    QCOMPARE(f.libro().Rows(), 2);
    QVERIFY(log.canUndo());
    log.undo(); // the last add
    QCOMPARE(f.libro().Rows(), 1);
    QVERIFY(!log.canUndo());
    QVERIFY(!f.action("mDeshacer")->isEnabled());
    log.undo();
    QCOMPARE(f.libro().Rows(), 1);
}

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"
