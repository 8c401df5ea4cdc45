// The DXer's view: the status bar's line for the call sign being typed, which stays right
// through every kind of change to the log, and "Países trabajados" with its marks, filters,
// totals and the way back to a contact.
#include "AppFixture.h"
#include "FileHelpers.h"
#include "app/EntryForm.h"
#include "dxcc/WorkedCommands.h"
#include "logbook/LogbookCommands.h"
#include "ui/ClassicCombo.h"
#include "ui/FormWindow.h"
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

struct Worked : AppFixture
{
    Worked() : AppFixture(false)
    {
        QFile::copy(qEnvironmentVariable("ORVANEL_SOURCE_DIR") + u"/data/cty.csv"_s, path(u"cty.csv"_s));
        start();
    }
    void add(const QString &call, const QString &date, const QString &frequency, const QString &mode,
             const QString &received = u"NO"_s)
    {
        EntryForm &entry = app->entry();
        entry.dato(0)->setText(call);
        entry.dato(8)->setText(date);
        entry.dato(10)->setText(frequency);
        entry.datos(0)->setText(mode);
        entry.Guardar_Click();
        if (received != u"NO"_s)
            libro().setTextMatrix(libro().Rows() - 1, 15, received); // as a later edit would
    }
    QString status(const QString &call, const QString &frequency = u"7.050"_s, const QString &mode = u"SSB"_s)
    {
        EntryForm &entry = app->entry();
        entry.dato(10)->setText(frequency);
        entry.datos(0)->setText(mode);
        entry.dato(0)->setText(QString());
        entry.dato(0)->setText(call);
        return frame().status()->text();
    }
    void fileWindow(const char *menu, FormWindow *(LogbookCommands::*window)() const, const char *button,
                    const QString &name)
    {
        action(menu)->trigger();
        FormWindow *w = (app->logbook().*window)();
        w->lineEdit(u"Archivo"_s)->setText(name);
        w->button(QString::fromLatin1(button))->click();
    }
};

using Step = std::function<void(Worked &)>;

QByteArray lbr(const QStringList &calls)
{
    QByteArray bytes = QByteArray::number(calls.size()) + "\r\n";
    for (const QString &call : calls)
        bytes += '"' + call.toLatin1() + "\"\r\n" + QByteArray("\"\"\r\n").repeated(15);
    return bytes;
}

// The table of the window as text: one line per entity, "prefix|name|continent|marks".
QStringList shown(QTableView *view)
{
    QStringList lines;
    const QAbstractItemModel *m = view->model();
    for (int r = 0; r < m->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < 3; ++c)
            cells << m->index(r, c).data().toString();
        QStringList marks;
        for (int c = 3; c < m->columnCount(); ++c) {
            const QString mark = m->index(r, c).data().toString();
            if (!mark.isEmpty())
                marks << m->headerData(c, Qt::Horizontal).toString().section(u'\n', 0, 0) + u'=' + mark;
        }
        lines << cells.join(u'|') + u'|' + marks.join(u',');
    }
    return lines;
}

} // namespace

class TestWorked : public QObject
{
    Q_OBJECT
private slots:
    void statusLine();
    void statusFollowsEveryChange_data();
    void statusFollowsEveryChange();
    void workedTable_data();
    void workedTable();
    void windowFollowsTheLogAndLeadsBack();
};

void TestWorked::statusLine()
{
    Worked f;
    f.add(u"EA4ABC"_s, u"14/02/2001"_s, u"7.050"_s, u"SSB"_s);
    f.add(u"EA4ABC"_s, u"15/03/2001"_s, u"14.200"_s, u"CW"_s);
    QCOMPARE(f.status(u" ea4abc"_s), u"Spain (EA), zona CQ 14, EU — Trabajado 2 veces; último 15/03/2001, 20 m, CW"_s);
    QCOMPARE(f.status(u"EA5ZZZ"_s, u"21.000"_s),
             u"Spain (EA), zona CQ 14, EU — No trabajado — Banda nueva para esta entidad"_s);
    QCOMPARE(f.status(u"EA5ZZZ"_s, u"7050"_s, u"FT8"_s),
             u"Spain (EA), zona CQ 14, EU — No trabajado — Modo nuevo para esta entidad"_s);
    QCOMPARE(f.status(u"K1ABC"_s), u"United States (K), zona CQ 5, NA — No trabajado — Entidad nueva"_s);
    QCOMPARE(f.status(u"EA4ABC/MM"_s), u"Móvil marítimo o aeronáutico: sin entidad — No trabajado"_s);
    QCOMPARE(f.status(QString()), QString());
}

void TestWorked::statusFollowsEveryChange_data()
{
    QTest::addColumn<Step>("change");
    QTest::addColumn<QString>("ea4abc"); // what the status says of EA4ABC afterwards
    QTest::addColumn<QString>("lu1abc");
    const auto at = [](Worked &f, int row, int col) {
        f.libro().setCol(col);
        f.libro().setRow(row);
    };
    QTest::newRow("sort") << Step([at](Worked &f) { at(f, 1, 1); f.action("mOrdenar")->trigger(); })
                          << u"2 veces"_s << u"1 vez"_s;
    QTest::newRow("delete") << Step([at](Worked &f) { at(f, 2, 1); f.action("mBorra_linea")->trigger(); })
                            << u"1 vez"_s << u"1 vez"_s;
    QTest::newRow("paste over a call") << Step([at](Worked &f) {
        at(f, 3, 1);
        f.action("mCopiar")->trigger();
        at(f, 2, 1);
        f.action("mPegar")->trigger();
    }) << u"1 vez"_s << u"2 veces"_s;
    QTest::newRow("import") << Step([](Worked &f) {
        writeFile(f.path(u"mas.LBR"_s), lbr({u"EA4ABC"_s, u"ea4abc "_s}));
        f.fileWindow("mImportar", &LogbookCommands::importarWindow, "Abrir", u"mas.LBR"_s);
    }) << u"4 veces"_s << u"1 vez"_s;
    QTest::newRow("open") << Step([](Worked &f) {
        writeFile(f.path(u"otro.LBR"_s), lbr({u"LU1ABC"_s}));
        f.fileWindow("nAbrir", &LogbookCommands::abreWindow, "Command1", u"otro.LBR"_s);
    }) << u"No trabajado"_s << u"1 vez"_s;
    QTest::newRow("new, then undone") << Step([](Worked &f) {
        f.action("mNuevo")->trigger();
        f.action("mDeshacer")->trigger();
    }) << u"2 veces"_s << u"1 vez"_s;
}

void TestWorked::statusFollowsEveryChange()
{
    QFETCH(Step, change);
    QFETCH(QString, ea4abc);
    QFETCH(QString, lu1abc);
    Worked f;
    f.add(u"EA4ABC"_s, u"14/02/2001"_s, u"7.050"_s, u"SSB"_s);
    f.add(u"EA4ABC"_s, u"15/03/2001"_s, u"14.200"_s, u"CW"_s);
    f.add(u"LU1ABC"_s, u"16/03/2001"_s, u"7.050"_s, u"FT8"_s);
    QVERIFY(f.status(u"EA4ABC"_s).contains(u"2 veces"_s)); // the index is built before the change
    change(f);
    QVERIFY2(f.status(u"EA4ABC"_s).contains(ea4abc), qPrintable(f.status(u"EA4ABC"_s)));
    QVERIFY2(f.status(u"LU1ABC"_s).contains(lu1abc), qPrintable(f.status(u"LU1ABC"_s)));
}

void TestWorked::workedTable_data()
{
    QTest::addColumn<int>("mode"); // Todos, Fonía, CW, Digitales
    QTest::addColumn<bool>("confirmed");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("totals");
    QTest::newRow("all") << 0 << false
                         << QStringList{u"EA|Spain|EU|40 m=C,20 m=T"_s, u"K|United States|NA|Sin banda=C"_s,
                                        u"LU|Argentina|SA|40 m=T"_s, u"|Sin entidad||40 m=T,Sin banda=T"_s}
                         << u"Entidades trabajadas: 3 — confirmadas: 2"_s;
    QTest::newRow("phone") << 1 << false
                           << QStringList{u"EA|Spain|EU|40 m=C"_s, u"K|United States|NA|Sin banda=C"_s}
                           << u"Entidades trabajadas: 2 — confirmadas: 2"_s;
    QTest::newRow("digital") << 3 << false << QStringList{u"LU|Argentina|SA|40 m=T"_s, u"|Sin entidad||40 m=T"_s}
                             << u"Entidades trabajadas: 1 — confirmadas: 0"_s;
    QTest::newRow("confirmed only") << 0 << true
                                    << QStringList{u"EA|Spain|EU|40 m=C"_s, u"K|United States|NA|Sin banda=C"_s}
                                    << u"Entidades trabajadas: 2 — confirmadas: 2"_s;
}

// A hand-made log of several entities, bands and modes, and contacts of no entity or band.
void TestWorked::workedTable()
{
    QFETCH(int, mode);
    QFETCH(bool, confirmed);
    QFETCH(QStringList, lines);
    QFETCH(QString, totals);
    Worked f;
    f.add(u"EA4ABC"_s, u"14/02/2001"_s, u"7.050"_s, u"SSB"_s, u"SI"_s);
    f.add(u"EA4XYZ"_s, u"15/02/2001"_s, u"14.020"_s, u"CW"_s);
    f.add(u"LU1ABC"_s, u"16/02/2001"_s, u"7050"_s, u"FT8"_s);
    f.add(u"K1ABC"_s, u"17/02/2001"_s, QString(), u"SSB"_s, u"SI"_s);
    f.add(u"EA4XX/MM"_s, u"18/02/2001"_s, u"7.040"_s, u"PSK31"_s);
    f.add(u"QQ1ZZZ"_s, u"19/02/2001"_s, u"algo"_s, u"CW"_s);
    f.action("mTrabajados")->trigger();
    FormWindow *window = f.app->worked().window();
    QCOMPARE(window->windowTitle(), u"Países trabajados"_s);
    window->control<ClassicCombo>(u"Modo"_s)->setCurrentIndex(mode);
    window->control<QCheckBox>(u"Check1"_s)->setChecked(confirmed);
    QCOMPARE(shown(f.app->worked().table()), lines);
    QCOMPARE(window->control<QLabel>(u"Totales"_s)->text(), totals);
}

void TestWorked::windowFollowsTheLogAndLeadsBack()
{
    Worked f;
    f.add(u"EA4ABC"_s, u"14/02/2001"_s, u"14.010"_s, u"CW"_s);
    f.add(u"EA5ZZ"_s, u"15/02/2001"_s, u"14.020"_s, u"CW"_s);
    f.add(u"EA1YY"_s, u"13/02/2001"_s, u"14.030"_s, u"CW"_s);
    f.action("mTrabajados")->trigger();
    QTableView *view = f.app->worked().table();
    QCOMPARE(view->model()->rowCount(), 1);
    f.add(u"CE3AA"_s, u"16/02/2001"_s, u"7.050"_s, u"SSB"_s);
    QTRY_COMPARE(view->model()->rowCount(), 2);
    QVERIFY(shown(view).contains(u"CE|Chile|SA|40 m=T"_s));
    // Sorted by entity, Spain second; its 20 m mark leads to the latest contact: EA5ZZ.
    view->sortByColumn(1, Qt::AscendingOrder);
    const QAbstractItemModel *m = view->model();
    int twenty = -1;
    for (int c = 3; c < m->columnCount(); ++c)
        if (m->headerData(c, Qt::Horizontal).toString().startsWith(u"20 m\n"_s))
            twenty = c;
    QCOMPARE(m->headerData(twenty, Qt::Horizontal).toString(), u"20 m\n1/0"_s); // entities worked / confirmed
    emit view->doubleClicked(m->index(1, twenty));
    QCOMPARE(f.libro().Row(), 2);
    QCOMPARE(f.libro().TextMatrix(f.libro().Row(), 1), u"EA5ZZ"_s);
}

QTEST_MAIN(TestWorked)
#include "tst_worked.moc"
