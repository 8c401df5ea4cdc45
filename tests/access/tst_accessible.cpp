// What a screen reader is given of the program's own controls, read in-process: the names the
// window tables give, the table's children, the news.
#include "common/GridModel.h"
#include "ui/AccessibleWidgets.h"
#include "ui/FormWindow.h"
#include "ui/GridView.h"
#include "ui/Layouts.h"
#include "ui/NewsLabel.h"
#include "ui/SmallControls.h"
#include "ui/TableAccessible.h"
#include <QAccessible>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class TestAccessible : public QObject
{
    Q_OBJECT
    static QString name(QAccessibleInterface *iface) { return iface ? iface->text(QAccessible::Name) : u"(none)"_s; }

private slots:
    void initTestCase() { installAccessibleFactory(); }

    void controlsNamed_data()
    {
        QTest::addColumn<int>("window");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("spoken");
        const struct { int window; const char *control; QString spoken; } rows[] = {
            {0, "dato(0)", u"Indicativo"_s}, {0, "dato(10)", u"Frecuencia"_s}, {0, "Datos(0)", u"Modo"_s},
            {0, "Datos(1)", u"Vía"_s}, {0, "dato(11)", u"Mánager"_s}, {0, "dato(12)", u"Comentarios"_s},
            {0, "Comentario", u"Editar comentario"_s}, {0, "Banner", u"Apoye a Orvanel, abre el sitio web"_s},
            {1, "Usuario(1)", u"UTC"_s}, {1, "Usuario(6)", u"Casilla de Correo"_s}, {1, "Pais", u"Pais"_s},
            {2, "Carpeta", u"Carpeta de los libros de guardia"_s}, {3, "cReemplazo", u"Reemplazar por"_s},
        };
        for (const auto &r : rows)
            QTest::newRow(r.control) << r.window << QString::fromLatin1(r.control) << r.spoken;
    }

    // The label beside or above a field names it, colon left out; a combo box by its label
    // rather than by the text it shows.
    void controlsNamed()
    {
        QFETCH(int, window);
        QFETCH(QString, control);
        QFETCH(QString, spoken);
        const WindowLayout layouts[] = {layouts::kavento(), layouts::configUsr(), layouts::directorios(), layouts::remplazar()};
        FormWindow form(layouts[window], nullptr);
        QCOMPARE(name(QAccessible::queryAccessibleInterface(form.control(control))), spoken);
    }

    void bannerPressedFromTheKeyboard()
    {
        FormWindow form(layouts::kavento(), nullptr);
        auto *banner = form.control<PictureBox>(u"Banner"_s);
        QSignalSpy pressed(banner, &PictureBox::clicked);
        QVERIFY(banner->focusPolicy() & Qt::TabFocus);
        QTest::keyClick(banner, Qt::Key_Space);
        QTest::keyClick(banner, Qt::Key_Return);
        QCOMPARE(pressed.count(), 2);
    }

    // Children numbered as the view numbers them in its focus events (corner, headings, then
    // each row's heading and cells); cells let go beyond a bound, the current one kept; kept
    // cells follow their rows and go with them.
    void tableCells()
    {
        GridModel grid(3, 1);
        const QStringList headings{u"Nº"_s, u"Indicativo"_s, u"Nombre"_s};
        for (int c = 0; c < 3; ++c)
            grid.setTextMatrix(0, c, headings[c]);
        for (int i = 1; i <= 2000; ++i)
            grid.appendRow({QString(), u"C%1"_s.arg(i), u"N%1"_s.arg(i)});
        grid.numberRows();
        GridView view;
        view.setGridModel(&grid);
        auto *table = dynamic_cast<TableAccessible *>(QAccessible::queryAccessibleInterface(&view));
        QVERIFY(table);
        const int width = 3; // the row heading and two cells
        QCOMPARE(table->childCount(), 2001 * width);
        QCOMPARE((QStringList{name(table->child(0)), name(table->child(2)), name(table->child(5 * width)),
                              name(table->child(5 * width + 1)), name(table->cellAt(6, 1))}),
                 (QStringList{u"Nº"_s, u"Nombre"_s, u"5"_s, u"C5"_s, u"N7"_s}));
        QCOMPARE(table->indexOfChild(table->cellAt(4, 0)), 5 * width + 1);
        grid.setCol(2);
        grid.setRow(1500);
        QAccessibleInterface *current = table->focusChild();
        QCOMPARE(name(current), u"N1500"_s);
        for (int row = 0; row < 2000; ++row)
            table->cellAt(row, 0);
        QVERIFY(table->keptCells() <= TableAccessible::kKept);
        QCOMPARE(table->focusChild(), current);

        QAccessibleInterface *seventh = table->cellAt(6, 1);
        const QAccessible::Id second = QAccessible::uniqueId(table->cellAt(1, 0));
        grid.RemoveItem(2);
        QCOMPARE(seventh->tableCellInterface()->rowIndex(), 5);
        QCOMPARE(table->cellAt(5, 1), seventh);
        QVERIFY(!QAccessible::accessibleInterface(second));

        grid.setSelection(1, 1, grid.Rows() - 1, 1); // the whole call-sign column
        QCOMPARE(table->selectedCellCount(), 1999);
        QCOMPARE(table->selectedCells().size(), TableAccessible::kKept);
        QCOMPARE(table->selectedColumns(), QList<int>{0});
    }

    // Painted at once; told once the news stays put, not at every letter, and not twice.
    void newsToldOnceTypingPauses()
    {
        NewsLabel news;
        QSignalSpy told(&news, &NewsLabel::announcing);
        for (const QString &text : {u"E"_s, u"EA"_s, u"EA4: España"_s})
            news.showNews(text);
        QCOMPARE(news.text(), u"EA4: España"_s);
        QTRY_COMPARE(told.count(), 1);
        QCOMPARE(told.at(0).at(0).toString(), u"EA4: España"_s);
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(&news);
        QCOMPARE(iface->role(), QAccessible::Notification);
        QCOMPARE(name(iface), u"EA4: España"_s);
        news.showNews(u"EA4: España"_s);
        QTest::qWait(2 * NewsLabel::kQuietMs);
        QCOMPARE(told.count(), 1);
        news.showNews(QString()); // the field emptied: the same call typed again is told again
        QTest::qWait(2 * NewsLabel::kQuietMs);
        news.showNews(u"EA4: España"_s);
        QTRY_COMPARE(told.count(), 2);
    }
};

QTEST_MAIN(TestAccessible)
#include "tst_accessible.moc"
