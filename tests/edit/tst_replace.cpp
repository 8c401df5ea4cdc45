// "Reemplazar": which cells match, what "Reemplazar" and "Reemplazar todo" change, what is refused.
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
    static FormWindow *window(AppFixture &f, const QString &find, const QString &with, bool matchCase = false,
                              bool onlyColumn = false)
    {
        addContact(f.libro(), {u"EA4ABC"_s, u"Ana"_s, u"Madrid"_s});
        addContact(f.libro(), {u"ea4xyz"_s, u"Juana"_s, u"Almería"_s});
        addContact(f.libro(), {u"LU1EA"_s, u"Pedro"_s, u"Rosario"_s});
        f.action("mRemplazar")->trigger();
        FormWindow *w = f.app->edit().replace().window();
        w->lineEdit(u"cBusqueda"_s)->setText(find);
        w->lineEdit(u"cReemplazo"_s)->setText(with);
        w->control<QCheckBox>(u"Check1"_s)->setChecked(matchCase);
        w->control<QCheckBox>(u"Check2"_s)->setChecked(onlyColumn);
        return w;
    }
    static QString message(AppFixture &f) { return f.fakes.messages.asked.value(0).text; }

private slots:
    void replaceAll_data()
    {
        QTest::addColumn<QString>("find");
        QTest::addColumn<QString>("with");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<bool>("onlyColumn"); // the current column is "Indicativo"
        QTest::addColumn<QString>("after");   // columns 1, 2 and 3 of the three contacts
        QTest::addColumn<QString>("said");
        QTest::newRow("any case, every column") << u"ea"_s << u"EB"_s << false << false << u"EB4ABC,EB4xyz,LU1EB|Ana,Juana,Pedro|Madrid,Almería,Rosario"_s << u"3 celdas"_s;
        QTest::newRow("case matters") << u"EA"_s << u"EB"_s << true << false << u"EB4ABC,ea4xyz,LU1EB|Ana,Juana,Pedro|Madrid,Almería,Rosario"_s << u"2 celdas"_s;
        QTest::newRow("every occurrence in a cell") << u"a"_s << u"o"_s << true << false << u"EA4ABC,eo4xyz,LU1EA|Ano,Juono,Pedro|Modrid,Almerío,Rosorio"_s << u"6 celdas"_s;
        QTest::newRow("only the current column") << u"a"_s << u"o"_s << false << true << u"Eo4oBC,eo4xyz,LU1Eo|Ana,Juana,Pedro|Madrid,Almería,Rosario"_s << u"3 celdas"_s;
        QTest::newRow("accents and ñ, any case") << u"ALMERÍA"_s << u"Almeria"_s << false << false << u"EA4ABC,ea4xyz,LU1EA|Ana,Juana,Pedro|Madrid,Almeria,Rosario"_s << u"1 celda"_s;
        QTest::newRow("not found") << u"zz"_s << u"x"_s << false << false << u"EA4ABC,ea4xyz,LU1EA|Ana,Juana,Pedro|Madrid,Almería,Rosario"_s << u"No se encontró"_s;
        QTest::newRow("refused: nothing to find") << QString() << u"x"_s << false << false << u"EA4ABC,ea4xyz,LU1EA|Ana,Juana,Pedro|Madrid,Almería,Rosario"_s << u"Escriba en «Buscar»"_s;
        QTest::newRow("refused: beyond the code page") << u"Ana"_s << u"Ана"_s << false << false << u"EA4ABC,ea4xyz,LU1EA|Ana,Juana,Pedro|Madrid,Almería,Rosario"_s << u"«А»"_s;
    }

    void replaceAll()
    {
        QFETCH(QString, find);
        QFETCH(QString, with);
        QFETCH(bool, matchCase);
        QFETCH(bool, onlyColumn);
        QFETCH(QString, after);
        QFETCH(QString, said);
        AppFixture f;
        FormWindow *w = window(f, find, with, matchCase, onlyColumn);
        makeCurrent(f.libro(), 2, 1);
        w->button(u"Command2"_s)->click();
        QCOMPARE(column(f.libro(), 1).join(u',') + u'|' + column(f.libro(), 2).join(u',') + u'|' + column(f.libro(), 3).join(u','), after);
        QCOMPARE(f.action("mDeshacer")->isEnabled(), after != u"EA4ABC,ea4xyz,LU1EA|Ana,Juana,Pedro|Madrid,Almería,Rosario"_s);
        QCOMPARE(f.libro().TextMatrix(0, 1), u"Indicativo"_s); // never the heading row
        QCOMPARE(column(f.libro(), 0), (QStringList{u"1"_s, u"2"_s, u"3"_s}));
        QCOMPARE(f.fakes.messages.asked.size(), 1);
        QVERIFY2(message(f).contains(said), qPrintable(message(f)));
        QCOMPARE(current(f.libro()), Cell(2, 1));
    }

    // "Reemplazar" changes the current cell when it matches, then moves to the next match.
    void replaceStepsThroughMatches()
    {
        AppFixture f;
        FormWindow *w = window(f, u"a"_s, u"4"_s, true);
        makeCurrent(f.libro(), 1, 3);
        w->button(u"Command1"_s)->click(); // "Madrid" matches: changed, on to "ea4xyz"
        QCOMPARE(f.libro().TextMatrix(1, 3), u"M4drid"_s);
        QCOMPARE(current(f.libro()), Cell(2, 1));
        f.libro().setCol(2); // the user skips a match
        w->button(u"Command1"_s)->click();
        QCOMPARE(f.libro().TextMatrix(2, 1), u"ea4xyz"_s);
        QCOMPARE(f.libro().TextMatrix(2, 2), u"Ju4n4"_s);
        QCOMPARE(current(f.libro()), Cell(2, 3)); // "Almería"
        w->button(u"Command1"_s)->click();
        QCOMPARE(f.libro().TextMatrix(2, 3), u"Almerí4"_s);
        w->button(u"Command1"_s)->click(); // "Rosario"; nothing after it
        QCOMPARE(f.libro().TextMatrix(3, 3), u"Ros4rio"_s);
        QCOMPARE(f.fakes.messages.asked.size(), 1);
        QVERIFY(message(f).contains(u"No hay más"_s));
    }
};

QTEST_MAIN(TestReplace)
#include "tst_replace.moc"
