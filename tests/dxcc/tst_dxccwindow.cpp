// The DXCC window: opened from the main menu, its headings and layout, the three sorts, one
// window at a time, and what a missing or damaged dxcc.dat does.
#include "AppFixture.h"
#include "dxcc/DxccCommands.h"
#include "ui/FormWindow.h"
#include "ui/GridView.h"
#include "ui/Twips.h"
#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QScrollBar>

using namespace Qt::StringLiterals;

namespace {
// Zones as text: "10" before "14" before "9"; "france" and "Spain" tell a case-blind sort
// from a byte sort, and so do "ea8" and "F".
const QByteArray kFourEntries("4\r\n"
                              "\"ea8\"\r\n\"9 - Canary Is.\"\r\n\"AF\"\r\n"
                              "\"EA\"\r\n\"14 - Spain\"\r\n\"EU\"\r\n"
                              "\"9A\"\r\n\"10 - Croatia\"\r\n\"EU\"\r\n"
                              "\"F\"\r\n\"14 - france\"\r\n\"EU\"\r\n");

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QStringList column(const GridModel &model, int col)
{
    QStringList texts;
    for (int r = 1; r < model.Rows(); ++r)
        texts << model.TextMatrix(r, col);
    return texts;
}

void triggerInWindow(DxccCommands &dxcc, const char *name)
{
    QAction *action = dxcc.window()->findChild<QAction *>(QString::fromLatin1(name));
    QVERIFY(action);
    action->trigger();
}
} // namespace

class TestDxccWindow : public QObject
{
    Q_OBJECT
private slots:
    void showsTheListInFileOrder();
    void sortsFromItsMenu();
    void verWhileOpenOnlyBringsItForward();
    void missingFileDisablesTheMenu();
    void damagedFileOpensNoWindow();
};

void TestDxccWindow::showsTheListInFileOrder()
{
    AppFixture f;
    writeFile(f.path(u"dxcc.dat"_s), kFourEntries);
    f.action("mVer_DXCC")->trigger();
    DxccCommands &dxcc = f.app->dxcc();
    FormWindow *window = dxcc.window();
    QVERIFY(window && window->isVisible());
    QCOMPARE(window->windowTitle(), u"DXCC"_s);
    QVERIFY(f.fakes.messages.asked.isEmpty());

    GridModel &list = *dxcc.list();
    QCOMPARE(list.Rows(), 5);
    QCOMPARE(list.Cols(), 3);
    QCOMPARE(list.fixedCols(), 0);
    QCOMPARE(column(list, 0), (QStringList{u"ea8"_s, u"EA"_s, u"9A"_s, u"F"_s}));
    QCOMPARE(column(list, 2), (QStringList{u"AF"_s, u"EU"_s, u"EU"_s, u"EU"_s}));

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
}

void TestDxccWindow::sortsFromItsMenu()
{
    AppFixture f;
    writeFile(f.path(u"dxcc.dat"_s), kFourEntries);
    f.action("mVer_DXCC")->trigger();
    DxccCommands &dxcc = f.app->dxcc();
    GridModel &list = *dxcc.list();

    // A selection over two rows does not narrow the sort: choosing a column collapses it.
    list.setSelection(1, 0, 2, 2);
    triggerInWindow(dxcc, "mZona");
    QCOMPARE(column(list, 1),
             (QStringList{u"10 - Croatia"_s, u"14 - france"_s, u"14 - Spain"_s, u"9 - Canary Is."_s}));
    QCOMPARE(column(list, 0), (QStringList{u"9A"_s, u"F"_s, u"EA"_s, u"ea8"_s})); // rows move whole
    QCOMPARE(list.Col(), 1);

    triggerInWindow(dxcc, "mPrefijo");
    QCOMPARE(column(list, 0), (QStringList{u"9A"_s, u"EA"_s, u"ea8"_s, u"F"_s}));
    QCOMPARE(column(list, 2), (QStringList{u"EU"_s, u"EU"_s, u"AF"_s, u"EU"_s}));

    triggerInWindow(dxcc, "mContinente");
    QCOMPARE(column(list, 2), (QStringList{u"AF"_s, u"EU"_s, u"EU"_s, u"EU"_s}));
    QCOMPARE(column(list, 0), (QStringList{u"ea8"_s, u"9A"_s, u"EA"_s, u"F"_s}));

    // From the keyboard, as a person would: Alt+O opens "Ordenar", Z picks "Zona".
    FormWindow *window = dxcc.window();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window, Qt::Key_O, Qt::AltModifier);
    QTRY_VERIFY(qobject_cast<QMenu *>(QApplication::activePopupWidget()));
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Z);
    QTRY_COMPARE(column(list, 1).first(), u"10 - Croatia"_s);
    QCOMPARE(column(list, 1).last(), u"9 - Canary Is."_s);
}

void TestDxccWindow::verWhileOpenOnlyBringsItForward()
{
    AppFixture f;
    writeFile(f.path(u"dxcc.dat"_s), kFourEntries);
    DxccCommands &dxcc = f.app->dxcc();
    f.action("mVer_DXCC")->trigger();
    QPointer<FormWindow> first = dxcc.window();
    triggerInWindow(dxcc, "mZona");
    const QStringList sorted = column(*dxcc.list(), 0);

    // The file changes on disk; an open window is not read again.
    writeFile(f.path(u"dxcc.dat"_s), "1\r\n\"K\"\r\n\"5 - United States\"\r\n\"NA\"\r\n");
    first->hide();
    f.action("mVer_DXCC")->trigger();
    QCOMPARE(dxcc.window(), first.data());
    QVERIFY(first->isVisible());
    QCOMPARE(column(*dxcc.list(), 0), sorted);
    QCOMPARE(f.frame().findChildren<FormWindow *>(u"fDXCC"_s).size(), 1);

    // Closed through its frame it is gone, and the next "Ver" reads the file afresh.
    first->close();
    QTRY_VERIFY(first.isNull());
    QVERIFY(!dxcc.list());
    f.action("mVer_DXCC")->trigger();
    QCOMPARE(column(*dxcc.list(), 0), QStringList{u"K"_s});
    QVERIFY(f.fakes.messages.asked.isEmpty());
}

void TestDxccWindow::missingFileDisablesTheMenu()
{
    AppFixture f;
    QAction *menu = f.frame().menu(u"mDXCC"_s)->menuAction();
    QVERIFY(menu->isEnabled());
    f.action("mVer_DXCC")->trigger();
    QCOMPARE(f.fakes.messages.asked.size(), 1);
    const FakeMessages::Asked &asked = f.fakes.messages.asked.first();
    QCOMPARE(asked.text, u"Error: No se encuentra el archivo DXCC.DAT"_s);
    QCOMPARE(asked.title, u"Error"_s);
    QCOMPARE(asked.buttons, MessageSeam::Buttons::Ok);
    QCOMPARE(asked.icon, MessageSeam::Icon::None);
    QVERIFY(!f.app->dxcc().windowExists());
    QVERIFY(!menu->isEnabled());

    // For the rest of the run, even once the file is there.
    writeFile(f.path(u"dxcc.dat"_s), kFourEntries);
    f.action("mVer_DXCC")->trigger();
    QVERIFY(!menu->isEnabled());
    QVERIFY(!f.app->dxcc().windowExists());
    QCOMPARE(f.fakes.messages.asked.size(), 1);
}

void TestDxccWindow::damagedFileOpensNoWindow()
{
    AppFixture f;
    writeFile(f.path(u"Dxcc.Dat"_s), "3\r\n\"EA\"\r\n\"14 - Spain\"\r\n\"EU\"\r\n\"F\"\r\n\"14 - France\"\r\n\r\n");
    f.action("mVer_DXCC")->trigger();
    QCOMPARE(f.fakes.messages.asked.size(), 1);
    const FakeMessages::Asked &asked = f.fakes.messages.asked.first();
    QCOMPARE(asked.title, u"Error"_s);
    QVERIFY2(asked.text.contains(u"Dxcc.Dat"_s) && asked.text.contains(u"línea 7"_s), qPrintable(asked.text));
    QVERIFY(!f.app->dxcc().windowExists());

    // Unlike a missing file, a damaged one can be put right and asked for again.
    QVERIFY(f.frame().menu(u"mDXCC"_s)->menuAction()->isEnabled());
    writeFile(f.path(u"Dxcc.Dat"_s), kFourEntries);
    f.action("mVer_DXCC")->trigger();
    QVERIFY(f.app->dxcc().windowExists());
    QCOMPARE(f.app->dxcc().list()->Rows(), 5);
}

QTEST_MAIN(TestDxccWindow)
#include "tst_dxccwindow.moc"
