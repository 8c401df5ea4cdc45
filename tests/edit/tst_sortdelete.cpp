// "Ordenar" and "Borrar Línea": rows from the selection, renumbering, an emptied log.
#include "AppFixture.h"
#include "LogRows.h"
#include "app/EntryForm.h"
#include "ui/GridView.h"
#include <QHeaderView>
#include <QSignalSpy>

using namespace Qt::StringLiterals;

class TestSortDelete : public QObject
{
    Q_OBJECT
private slots:
    // A click, then a shifted click further up: only those rows are sorted, with their numbers.
    void sortWithMouseSelectionThenDelete()
    {
        AppFixture f;
        QVERIFY(f.showAndActivate());
        GridModel &libro = f.libro();
        for (const QString &call : {u"K5"_s, u"K4"_s, u"K3"_s, u"K2"_s, u"K1"_s})
            addContact(libro, {call});
        GridView *view = f.frame().libroView();
        const auto click = [&](int row, Qt::KeyboardModifiers keys) {
            QTest::mouseClick(view->viewport(), Qt::LeftButton, keys, view->visualRect(libro.indexFor(row, 1)).center());
        };
        click(4, {});
        click(2, Qt::ShiftModifier);
        QCOMPARE(libro.Row(), 4);
        QCOMPARE(libro.RowSel(), 2);
        QTest::keyClick(view, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(column(libro, 1), (QStringList{u"K5"_s, u"K2"_s, u"K3"_s, u"K4"_s, u"K1"_s}));
        click(5, {});
        QTest::keyClick(view, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(column(libro, 1), (QStringList{u"K1"_s, u"K2"_s, u"K3"_s, u"K4"_s, u"K5"_s}));
        QCOMPARE(column(libro, 0), (QStringList{u"5"_s, u"4"_s, u"3"_s, u"2"_s, u"1"_s}));
        // A delete renumbers every contact by its place; colours follow, no reset, the row stays.
        libro.setCellColors(5, 1, QColor(128, 0, 0), Qt::white); // on "K5"
        f.action("mGuardar")->setEnabled(true);
        QSignalSpy reset(&libro, &QAbstractItemModel::modelReset);
        makeCurrent(libro, 2, 4); // "K2"
        f.action("mBorra_linea")->trigger();
        QCOMPARE(column(libro, 1), (QStringList{u"K1"_s, u"K3"_s, u"K4"_s, u"K5"_s}));
        QCOMPARE(column(libro, 0), (QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s}));
        QCOMPARE(libro.cellBackColor(4, 1), QColor(128, 0, 0));
        QCOMPARE(libro.Row(), 2);
        QCOMPARE(reset.count(), 0);
        QVERIFY(f.action("mGuardar")->isEnabled());
    }

    void headingClickActsOnTheRowShown_data()
    {
        QTest::addColumn<Qt::Orientation>("heading");
        QTest::addColumn<int>("section");      // the column heading, or the row number clicked
        QTest::addColumn<Cell>("shown");       // the current cell afterwards
        QTest::addColumn<QStringList>("left"); // call signs after "Borrar Línea"
        QTest::newRow("column heading") << Qt::Horizontal << 1 << Cell(1, 2) << QStringList{u"K2"_s, u"K3"_s, u"K4"_s};
        QTest::newRow("row number") << Qt::Vertical << 2 << Cell(3, 1) << QStringList{u"K1"_s, u"K2"_s, u"K4"_s};
    }

    // After a click on a heading the frame shows one cell, and the commands act on that cell.
    void headingClickActsOnTheRowShown()
    {
        QFETCH(Qt::Orientation, heading);
        QFETCH(int, section);
        QFETCH(Cell, shown);
        QFETCH(QStringList, left);
        AppFixture f;
        QVERIFY(f.showAndActivate());
        GridModel &libro = f.libro();
        for (const QString &call : {u"K1"_s, u"K2"_s, u"K3"_s, u"K4"_s})
            addContact(libro, {call, u"n"_s + call});
        GridView *view = f.frame().libroView();
        QHeaderView *header = heading == Qt::Horizontal ? view->horizontalHeader() : view->verticalHeader();
        const int at = header->sectionViewportPosition(section) + header->sectionSize(section) / 2;
        const QPoint point = heading == Qt::Horizontal ? QPoint(at, header->height() / 2) : QPoint(header->width() / 2, at);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, point);
        QCOMPARE(Cell(libro.gridRow(view->currentIndex()), libro.gridCol(view->currentIndex())), shown);
        QCOMPARE(current(libro), shown);
        f.action("mCopiar")->trigger();
        QCOMPARE(f.app->variables().cellBuffer, shown.first > 1 ? libro.TextMatrix(shown.first, shown.second) : QString());
        f.action("mBorra_linea")->trigger();
        QCOMPARE(column(libro, 1), left);
    }

    void deleteLastContactsWithdrawsSave_data()
    {
        QTest::addColumn<int>("contacts");
        QTest::addColumn<int>("col");
        QTest::newRow("one contact, comment current") << 1 << 16;
        QTest::newRow("heading row only") << 0 << 5;
    }

    void deleteLastContactsWithdrawsSave()
    {
        QFETCH(int, contacts);
        QFETCH(int, col);
        AppFixture f;
        GridModel &libro = f.libro();
        for (int i = 0; i < contacts; ++i)
            f.app->entry().Guardar_Click(); // as the add command does, with the save commands
        f.action("mGuardar")->setEnabled(true);
        f.action("mGuardar_como")->setEnabled(true);
        makeCurrent(libro, contacts, col);
        f.action("mBorra_linea")->trigger();
        QCOMPARE(libro.Rows(), 1);
        QVERIFY(!f.action("mGuardar")->isEnabled());
        QVERIFY(!f.action("mGuardar_como")->isEnabled());
        QCOMPARE(libro.TextMatrix(0, 16), u"Comentario"_s);
        f.app->entry().Guardar_Click(); // the next contact is number 1 again
        QCOMPARE(libro.TextMatrix(1, 0), u"1"_s);
    }
};

QTEST_MAIN(TestSortDelete)
#include "tst_sortdelete.moc"
