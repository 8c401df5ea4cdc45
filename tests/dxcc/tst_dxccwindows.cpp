// The DXCC list window, and the DXer's view: the status line for the call being typed, and
// "Países trabajados" with its marks, filters, totals and the way back to a contact.
#include "FileHelpers.h"
#include "FileWindows.h"
#include "app/EntryForm.h"
#include "app/Greeting.h"
#include "history/ContactLog.h"
#include "dxcc/DxccCommands.h"
#include "dxcc/WorkedCommands.h"
#include "ui/ClassicCombo.h"
#include "ui/GridView.h"
#include "ui/Twips.h"
#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QScrollBar>
#include <QTableView>

using namespace Qt::StringLiterals;

namespace {
// Zones as text: "10" before "14" before "9"; "france" and "Spain" tell a case-blind sort
// from a byte sort, and so do "ea8" and "F".
const QByteArray kFourEntries("4\r\n\"ea8\"\r\n\"9 - Canary Is.\"\r\n\"AF\"\r\n\"EA\"\r\n\"14 - Spain\"\r\n\"EU\"\r\n"
                              "\"9A\"\r\n\"10 - Croatia\"\r\n\"EU\"\r\n\"F\"\r\n\"14 - france\"\r\n\"EU\"\r\n");

QStringList entries(const GridModel &model) // "prefix|zone|continent", in the order shown
{
    QStringList lines;
    for (int r = 1; r < model.Rows(); ++r)
        lines << QStringList{model.TextMatrix(r, 0), model.TextMatrix(r, 1), model.TextMatrix(r, 2)}.join(u'|');
    return lines;
}

struct Worked : AppFixture // the program started with the shipped country file in its folder
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
};

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

class TestDxccWindows : public QObject
{
    Q_OBJECT
private slots:
    // Shown in file order, sorted from its menu, and one window at a time.
    void listWindow()
    {
        AppFixture f;
        writeFile(f.path(u"dxcc.dat"_s), kFourEntries);
        f.action("mVer_DXCC")->trigger();
        DxccCommands &dxcc = f.app->dxcc();
        QPointer<FormWindow> window = dxcc.window();
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->windowTitle(), u"DXCC"_s);
        GridModel &list = *dxcc.list();
        QCOMPARE(list.Cols(), 3);
        QCOMPARE(list.fixedCols(), 0);
        const QString ea8 = u"ea8|9 - Canary Is.|AF"_s, ea = u"EA|14 - Spain|EU"_s, a9 = u"9A|10 - Croatia|EU"_s,
                      fr = u"F|14 - france|EU"_s;
        QCOMPARE(entries(list), (QStringList{ea8, ea, a9, fr}));

        // Headings from the format text, blanks kept; each column as wide as its heading: the
        // blanks make the middle column the wide one, and all three fit the grid side by side
        // (room left for the scroll bar of the full list), their titles in full.
        const int lengths[3] = {9, 43, 10};
        const QString names[3] = {u"Prefijo"_s, u"Zona"_s, u"Continente"_s};
        auto *view = window->findChild<GridView *>(u"DXCC"_s);
        const QHeaderView *header = view->horizontalHeader();
        int total = 0;
        for (int c = 0; c < 3; ++c) {
            QCOMPARE(list.TextMatrix(0, c).size(), lengths[c]);
            QCOMPARE(list.TextMatrix(0, c).trimmed(), names[c]);
            QCOMPARE(header->sectionSize(c), twipsToPixels(list.ColWidth(c)));
            QVERIFY(header->sectionSize(c) > header->fontMetrics().horizontalAdvance(names[c]));
            total += header->sectionSize(c);
        }
        QVERIFY(header->sectionSize(1) > header->sectionSize(0) + header->sectionSize(2));
        QVERIFY(total + view->verticalScrollBar()->sizeHint().width() + 2 * view->frameWidth() <= view->width());
        QVERIFY(!view->verticalHeader()->isVisible());
        QCOMPARE(view->model()->headerData(1, Qt::Horizontal).toString().trimmed(), u"Zona"_s);
        // The grid fills the area below the menu bar, which adds to the designed height.
        auto *bar = window->findChild<QMenuBar *>();
        QVERIFY(bar && bar->height() > 0);
        QCOMPARE(view->geometry(), QRect(0, bar->height(), 271, 353));
        QCOMPARE(window->size(), QSize(274, 356 + bar->height()));

        // Each sort moves whole rows, leaves ties as the sort before left them, and makes its
        // column current; a selection over two rows does not narrow it.
        list.setSelection(1, 0, 2, 2);
        const struct { const char *item; int col; QStringList order; } sorts[] = {
            {"mZona", 1, {a9, fr, ea, ea8}}, {"mPrefijo", 0, {a9, ea, ea8, fr}}, {"mContinente", 2, {ea8, a9, ea, fr}}};
        for (const auto &sort : sorts) {
            QAction *action = window->findChild<QAction *>(QString::fromLatin1(sort.item));
            QVERIFY(action);
            action->trigger();
            QCOMPARE(entries(list), sort.order);
            QCOMPARE(list.Col(), sort.col);
        }
        // From the keyboard, as a person would: Alt+O opens "Ordenar", Z picks "Zona".
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTest::keyClick(window, Qt::Key_O, Qt::AltModifier);
        QTRY_VERIFY(qobject_cast<QMenu *>(QApplication::activePopupWidget()));
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Z);
        QTRY_COMPARE(entries(list), sorts[0].order);

        // The file changes on disk; "Ver" while the window is open brings it forward unread.
        writeFile(f.path(u"dxcc.dat"_s), "1\r\n\"K\"\r\n\"5 - United States\"\r\n\"NA\"\r\n");
        window->hide();
        f.action("mVer_DXCC")->trigger();
        QCOMPARE(dxcc.window(), window.data());
        QVERIFY(window->isVisible());
        QCOMPARE(entries(*dxcc.list()), sorts[0].order);
        QCOMPARE(f.frame().findChildren<FormWindow *>(u"fDXCC"_s).size(), 1);
        // Closed through its frame it is gone, and the next "Ver" reads the file afresh.
        window->close();
        QTRY_VERIFY(window.isNull());
        QVERIFY(!dxcc.list());
        f.action("mVer_DXCC")->trigger();
        QCOMPARE(entries(*dxcc.list()), QStringList{u"K|5 - United States|NA"_s});
        QVERIFY(f.fakes.messages.asked.isEmpty());
    }

    // A missing file takes "Ver" away for the rest of the run, even once the file is there; a
    // damaged one can be put right and asked for again.
    void unusableFileOpensNoWindow_data()
    {
        QTest::addColumn<QString>("name"); // of the file on disk; empty for none
        QTest::addColumn<QString>("said");
        QTest::addColumn<bool>("again");   // whether the menu can be used again once the file is right
        QTest::newRow("missing") << QString() << u"Error: No se encuentra el archivo DXCC.DAT"_s << false;
        QTest::newRow("damaged") << u"Dxcc.Dat"_s << u"línea 7"_s << true;
    }
    void unusableFileOpensNoWindow()
    {
        QFETCH(QString, name);
        QFETCH(QString, said);
        QFETCH(bool, again);
        AppFixture f;
        if (!name.isEmpty())
            QVERIFY(writeFile(f.path(name), "3\r\n\"EA\"\r\n\"14 - Spain\"\r\n\"EU\"\r\n\"F\"\r\n\"14 - France\"\r\n\r\n"));
        QAction *menu = f.action("mVer_DXCC");
        QVERIFY(menu->isEnabled());
        f.action("mVer_DXCC")->trigger();
        QCOMPARE(f.fakes.messages.asked.size(), 1);
        const FakeMessages::Asked &asked = f.fakes.messages.asked.first();
        QCOMPARE(asked.title, u"Error"_s);
        QCOMPARE(asked.buttons, MessageSeam::Buttons::Ok);
        if (name.isEmpty())
            QVERIFY(asked.text == said && asked.icon == MessageSeam::Icon::None);
        else
            QVERIFY2(asked.text.contains(name) && asked.text.contains(said), qPrintable(asked.text));
        QVERIFY(!f.app->dxcc().windowExists());
        QCOMPARE(menu->isEnabled(), again);

        QVERIFY(writeFile(f.path(name.isEmpty() ? u"dxcc.dat"_s : name), kFourEntries));
        f.action("mVer_DXCC")->trigger();
        QCOMPARE(menu->isEnabled(), again);
        QCOMPARE(f.app->dxcc().windowExists(), again);
        QCOMPARE(f.fakes.messages.asked.size(), 1);
        if (again)
            QCOMPARE(f.app->dxcc().list()->Rows(), 5);
    }

    // What the status says of the call being typed, and that it stays right through every kind
    // of change to the log.
    void statusLine()
    {
        Worked f;
        f.add(u"EA4ABC"_s, u"14/02/2001"_s, u"7.050"_s, u"SSB"_s);
        f.add(u"EA4ABC"_s, u"15/03/2001"_s, u"14.200"_s, u"CW"_s);
        f.add(u"LU1ABC"_s, u"16/03/2001"_s, u"7.050"_s, u"FT8"_s);
        const QString spain = u"España (EA), zona CQ 14, EU — "_s;
        QCOMPARE(f.status(u" ea4abc"_s), spain + u"Trabajado 2 veces; último 15/03/2001, 20 m, CW"_s);
        QCOMPARE(f.status(u"EA5ZZZ"_s, u"21.000"_s), spain + u"No trabajado — Banda nueva para esta entidad"_s);
        QCOMPARE(f.status(u"EA5ZZZ"_s, u"7050"_s, u"FT8"_s), spain + u"No trabajado — Modo nuevo para esta entidad"_s);
        QCOMPARE(f.status(u"K1ABC"_s), u"Estados Unidos (K), zona CQ 5, NA — No trabajado — Entidad nueva"_s);
        QCOMPARE(f.status(u"EA4ABC/MM"_s), u"Móvil marítimo o aeronáutico: sin entidad — No trabajado"_s);
        QCOMPARE(f.status(QString()), QString());

        const auto at = [&f](int row, int col, const char *action) {
            f.libro().setCol(col);
            f.libro().setRow(row);
            f.action(action)->trigger();
        };
        const auto use = [&f](const char *command, const QString &name, const QStringList &calls) {
            writeFile(f.path(name), lbr(calls));
            useFile(f, command, name);
        };
        const auto says = [&f](const QString &ea4abc, const QString &lu1abc) {
            return f.status(u"EA4ABC"_s).contains(ea4abc) && f.status(u"LU1ABC"_s).contains(lu1abc);
        };
        at(1, 1, "mOrdenar");
        QVERIFY(says(u"2 veces"_s, u"1 vez"_s));
        at(3, 1, "mCopiar");
        at(2, 1, "mPegar"); // LU1ABC over the second EA4ABC
        QVERIFY(says(u"1 vez"_s, u"2 veces"_s));
        at(2, 1, "mBorra_linea");
        QVERIFY(says(u"1 vez"_s, u"1 vez"_s));
        use("mImportar", u"mas.LBR"_s, {u"EA4ABC"_s, u"ea4abc "_s});
        QVERIFY(says(u"3 veces"_s, u"1 vez"_s));
        use("nAbrir", u"otro.LBR"_s, {u"LU1ABC"_s});
        QVERIFY(says(u"No trabajado"_s, u"1 vez"_s));
        f.action("mNuevo")->trigger();
        QVERIFY(says(u"No trabajado"_s, u"No trabajado"_s));
        f.action("mDeshacer")->trigger();
        QVERIFY(says(u"No trabajado"_s, u"1 vez"_s));
    }

    // Leaving "Indicativo" fills the empty fields from the call's latest contact, latest by its
    // date though a sort put the older one lower; what was typed stays; the check item stops it.
    void greetingFillsFromTheLatestContact()
    {
        AppFixture f;
        for (const QString &name : {u"Viejo"_s, u"Nuevo"_s})
            f.app->log().addContact({u"EA4ABC"_s, name, u"QTH "_s + name, u"Prov"_s, {}, u"28001"_s, {}, u"59"_s,
                                     name == u"Nuevo"_s ? u"12/02/2002"_s : u"14/02/2001"_s, u"10:00"_s, {}, {}, {},
                                     {}, {}, {}});
        f.libro().setCol(3);
        f.libro().setRow(1);
        f.action("mOrdenar")->trigger(); // by QTH: the older contact goes lower
        QCOMPARE(f.libro().TextMatrix(2, 2), u"Viejo"_s);
        EntryForm &entry = f.app->entry();
        QVERIFY(f.showAndActivate());
        entry.dato(0)->setFocus();
        entry.dato(0)->setText(u"ea4abc"_s);
        entry.dato(2)->setText(u"Alcalá"_s);
        entry.dato(1)->setFocus();
        const auto fields = [&entry] {
            QStringList texts;
            for (int i = 1; i <= 6; ++i)
                texts << entry.dato(i)->text();
            return texts;
        };
        QCOMPARE(fields(), (QStringList{u"Nuevo"_s, u"Alcalá"_s, u"Prov"_s, {}, u"28001"_s, {}}));
        QCOMPARE(f.frame().status()->text(), u"Datos del último contacto, 12/02/2002"_s);
        entry.dato(0)->setText(u"LU1ZZ"_s); // not in the log: what the other call brought goes
        f.app->greeting().greet();
        QCOMPARE(fields(), (QStringList{{}, u"Alcalá"_s, {}, {}, {}, {}}));
        f.action("mCompletar")->trigger();
        f.start(); // the choice outlives the program
        QVERIFY(!f.action("mCompletar")->isChecked());
        f.app->entry().dato(0)->setText(u"EA4ABC"_s);
        f.app->greeting().greet();
        QCOMPARE(f.app->entry().dato(1)->text(), QString());
    }

    // A hand-made log of several entities, bands and modes, and contacts of no entity or band,
    // seen through each filter in turn.
    void workedTable()
    {
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
        const QString ea = u"EA|España|EU|40 m=C"_s, k = u"K|Estados Unidos|NA|Sin banda=C"_s, lu = u"LU|Argentina|SA|40 m=T"_s;
        const struct { int mode; bool confirmed; QStringList lines; int worked, confirmations; } views[] = {
            {0, false, {ea + u",20 m=T"_s, k, lu, u"|Sin entidad||40 m=T,Sin banda=T"_s}, 3, 2}, // Todos
            {1, false, {ea, k}, 2, 2},                                                            // Fonía
            {3, false, {lu, u"|Sin entidad||40 m=T"_s}, 1, 0},                                     // Digitales
            {0, true, {ea, k}, 2, 2},                                                             // confirmed only
        };
        for (const auto &view : views) {
            window->control<ClassicCombo>(u"Modo"_s)->setCurrentIndex(view.mode);
            window->control<QCheckBox>(u"Check1"_s)->setChecked(view.confirmed);
            QCOMPARE(shown(f.app->worked().table()), view.lines);
            QCOMPARE(window->control<QLabel>(u"Totales"_s)->text(),
                     u"Entidades trabajadas: %1 — confirmadas: %2"_s.arg(view.worked).arg(view.confirmations));
        }
    }

    void windowFollowsTheLogAndLeadsBack()
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
        // Sorted by entity, España second; its 20 m mark leads to the latest contact: EA5ZZ.
        view->sortByColumn(1, Qt::AscendingOrder);
        const QAbstractItemModel *m = view->model();
        int twenty = -1, forty = -1;
        for (int c = 3; c < m->columnCount(); ++c) {
            const QString heading = m->headerData(c, Qt::Horizontal).toString();
            twenty = heading.startsWith(u"20 m\n"_s) ? c : twenty;
            forty = heading.startsWith(u"40 m\n"_s) ? c : forty;
        }
        QCOMPARE(m->headerData(twenty, Qt::Horizontal).toString(), u"20 m\n1/0"_s); // entities worked / confirmed
        emit view->doubleClicked(m->index(1, twenty));
        QCOMPARE(f.libro().Row(), 2);
        QCOMPARE(f.libro().TextMatrix(f.libro().Row(), 1), u"EA5ZZ"_s);
        // Enter on a mark does the same, for whoever works without a mouse; a screen reader
        // reads the mark in words.
        view->setCurrentIndex(m->index(0, forty));
        QCOMPARE(view->currentIndex().data(Qt::AccessibleTextRole).toString(), u"Trabajada"_s);
        QTest::keyClick(view, Qt::Key_Return);
        QCOMPARE(f.libro().TextMatrix(f.libro().Row(), 1), u"CE3AA"_s);
    }
};

QTEST_MAIN(TestDxccWindows)
#include "tst_dxccwindows.moc"
