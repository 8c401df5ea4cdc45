// "Reemplazar": which cells match (case, one column or all, contact rows only), what
// "Reemplazar" and "Reemplazar todo" change, and what is refused.
#include "AppFixture.h"
#include "LogRows.h"
#include "edit/EditCommands.h"
#include "edit/ReplaceCommands.h"
#include "ui/FormWindow.h"
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

class TestReplace : public QObject
{
    Q_OBJECT
private slots:
    void replaceAll_data();
    void replaceAll();
    void replaceStepsThroughMatches();
    void refusedTexts_data();
    void refusedTexts();

private:
    static FormWindow *window(AppFixture &f, const QString &find, const QString &with, bool matchCase = false,
                              bool onlyColumn = false)
    {
        f.action("mRemplazar")->trigger();
        FormWindow *w = f.app->edit().replace().window();
        w->lineEdit(u"cBusqueda"_s)->setText(find);
        w->lineEdit(u"cReemplazo"_s)->setText(with);
        w->control<QCheckBox>(u"Check1"_s)->setChecked(matchCase);
        w->control<QCheckBox>(u"Check2"_s)->setChecked(onlyColumn);
        return w;
    }
    static void fill(GridModel &libro)
    {
        addContact(libro, {u"EA4ABC"_s, u"Ana"_s, u"Madrid"_s});
        addContact(libro, {u"ea4xyz"_s, u"Juana"_s, u"Almería"_s});
        addContact(libro, {u"LU1EA"_s, u"Pedro"_s, u"Rosario"_s});
    }
};

void TestReplace::replaceAll_data()
{
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("with");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<bool>("onlyColumn"); // the current column is "Indicativo"
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("said");
    QTest::newRow("any case, every column") << u"ea"_s << u"EB"_s << false << false
                                            << QStringList{u"EB4ABC"_s, u"EB4xyz"_s, u"LU1EB"_s}
                                            << QStringList{u"Ana"_s, u"Juana"_s, u"Pedro"_s} << u"3 celdas"_s;
    QTest::newRow("case matters") << u"EA"_s << u"EB"_s << true << false
                                  << QStringList{u"EB4ABC"_s, u"ea4xyz"_s, u"LU1EB"_s}
                                  << QStringList{u"Ana"_s, u"Juana"_s, u"Pedro"_s} << u"2 celdas"_s;
    QTest::newRow("every occurrence in a cell") << u"a"_s << u"o"_s << true << false
                                                << QStringList{u"EA4ABC"_s, u"eo4xyz"_s, u"LU1EA"_s}
                                                << QStringList{u"Ano"_s, u"Juono"_s, u"Pedro"_s} << u"6 celdas"_s;
    QTest::newRow("only the current column") << u"a"_s << u"o"_s << false << true
                                             << QStringList{u"Eo4oBC"_s, u"eo4xyz"_s, u"LU1Eo"_s}
                                             << QStringList{u"Ana"_s, u"Juana"_s, u"Pedro"_s} << u"3 celdas"_s;
    QTest::newRow("accents and ñ, any case") << u"ALMERÍA"_s << u"Almeria"_s << false << false
                                             << QStringList{u"EA4ABC"_s, u"ea4xyz"_s, u"LU1EA"_s}
                                             << QStringList{u"Ana"_s, u"Juana"_s, u"Pedro"_s} << u"1 celda"_s;
    QTest::newRow("not found") << u"zz"_s << u"x"_s << false << false
                               << QStringList{u"EA4ABC"_s, u"ea4xyz"_s, u"LU1EA"_s}
                               << QStringList{u"Ana"_s, u"Juana"_s, u"Pedro"_s} << u"No se encontró"_s;
}

void TestReplace::replaceAll()
{
    QFETCH(QString, find);
    QFETCH(QString, with);
    QFETCH(bool, matchCase);
    QFETCH(bool, onlyColumn);
    QFETCH(QStringList, calls);
    QFETCH(QStringList, names);
    QFETCH(QString, said);
    AppFixture f;
    fill(f.libro());
    f.libro().setCol(1);
    f.libro().setRow(2);
    window(f, find, with, matchCase, onlyColumn)->button(u"Command2"_s)->click();
    QCOMPARE(column(f.libro(), 1), calls);
    QCOMPARE(column(f.libro(), 2), names);
    QCOMPARE(f.libro().TextMatrix(0, 1), u"Indicativo"_s);   // never the heading row
    QCOMPARE(column(f.libro(), 0), (QStringList{u"1"_s, u"2"_s, u"3"_s}));
    QCOMPARE(f.fakes.messages.asked.size(), 1);
    QVERIFY2(f.fakes.messages.asked.at(0).text.contains(said), qPrintable(f.fakes.messages.asked.at(0).text));
    QCOMPARE(std::make_pair(f.libro().Row(), f.libro().Col()), std::make_pair(2, 1));
}

// "Reemplazar" changes the current cell when it matches, then moves to the next match.
void TestReplace::replaceStepsThroughMatches()
{
    AppFixture f;
    fill(f.libro());
    f.libro().setCol(3);
    f.libro().setRow(1);
    FormWindow *w = window(f, u"a"_s, u"4"_s, true);
    w->button(u"Command1"_s)->click(); // "Madrid" matches: changed, on to "ea4xyz"
    QCOMPARE(f.libro().TextMatrix(1, 3), u"M4drid"_s);
    QCOMPARE(std::make_pair(f.libro().Row(), f.libro().Col()), std::make_pair(2, 1));
    f.libro().setCol(2); // the user skips a match
    w->button(u"Command1"_s)->click();
    QCOMPARE(f.libro().TextMatrix(2, 1), u"ea4xyz"_s);
    QCOMPARE(f.libro().TextMatrix(2, 2), u"Ju4n4"_s);
    QCOMPARE(std::make_pair(f.libro().Row(), f.libro().Col()), std::make_pair(2, 3)); // "Almería"
    w->button(u"Command1"_s)->click();
    QCOMPARE(f.libro().TextMatrix(2, 3), u"Almerí4"_s);
    w->button(u"Command1"_s)->click(); // "Rosario"; nothing after it
    QCOMPARE(f.libro().TextMatrix(3, 3), u"Ros4rio"_s);
    QCOMPARE(f.fakes.messages.asked.size(), 1);
    QVERIFY(f.fakes.messages.asked.at(0).text.contains(u"No hay más"_s));
}

void TestReplace::refusedTexts_data()
{
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("with");
    QTest::addColumn<QString>("said");
    QTest::newRow("nothing to find") << QString() << u"x"_s << u"Escriba en «Buscar»"_s;
    QTest::newRow("beyond the code page") << u"Ana"_s << u"Ана"_s << u"«А»"_s;
}

void TestReplace::refusedTexts()
{
    QFETCH(QString, find);
    QFETCH(QString, with);
    QFETCH(QString, said);
    AppFixture f;
    fill(f.libro());
    const QList<QStringList> before = f.cells();
    window(f, find, with)->button(u"Command2"_s)->click();
    QCOMPARE(f.cells(), before);
    QVERIFY(!f.action("mDeshacer")->isEnabled());
    QCOMPARE(f.fakes.messages.asked.size(), 1);
    QVERIFY2(f.fakes.messages.asked.at(0).text.contains(said), qPrintable(f.fakes.messages.asked.at(0).text));
}

QTEST_MAIN(TestReplace)
#include "tst_replace.moc"
