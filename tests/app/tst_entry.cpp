// Typing a contact: Enter through the form, the manager field, adding, clearing, comments.
#include "AppFixture.h"
#include "CurrentCell.h"
#include "app/CommentEditor.h"
#include "app/EntryForm.h"
#include "common/LocalDateTime.h"
#include "ui/ClassicCombo.h"
#include "ui/FormWindow.h"
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>

using namespace Qt::StringLiterals;

class TestEntry : public QObject
{
    Q_OBJECT
    static void pickRoute(AppFixture &f, int index)
    {
        auto *route = f.app->entry().datos(1);
        route->setCurrentIndex(index);
        emit route->activated(index); // as a pick from the list
    }
    static QWidget *focused() { return QApplication::focusWidget(); }
    static void enter() { QTest::keyClick(focused(), Qt::Key_Return); }
    static QPlainTextEdit *editorText(CommentEditor &e) { return e.window()->control<QPlainTextEdit>(u"coment"_s); }
    static void addWithComment(AppFixture &f, const QString &call, const QString &comment)
    {
        f.app->entry().dato(0)->setText(call);
        f.app->entry().comment()->setPlainText(comment);
        f.app->entry().Guardar_Click();
    }

private slots:
    void enterWalksThroughTheFormAndTheManagerField()
    {
        AppFixture f;
        QVERIFY(f.showAndActivate());
        EntryForm &entry = f.app->entry();
        entry.dato(0)->setFocus();
        enter(); // an empty field keeps the focus
        QCOMPARE(focused(), static_cast<QWidget *>(entry.dato(0)));
        for (int i = 0; i <= 10; ++i) {
            QCOMPARE(focused(), static_cast<QWidget *>(entry.dato(i)));
            if (entry.dato(i)->text().isEmpty())
                QTest::keyClicks(entry.dato(i), i == 1 ? u" "_s : u"x"_s); // blanks count as filled
            enter();
        }
        QCOMPARE(focused(), static_cast<QWidget *>(entry.datos(0)));
        entry.datos(0)->setEditText(QString()); // an erased mode still passes on
        enter();
        QCOMPARE(focused(), static_cast<QWidget *>(entry.datos(1)));
        enter(); // "BURO" as typed: straight to the comment
        QCOMPARE(focused(), static_cast<QWidget *>(entry.comment()));
        QTest::keyClicks(entry.comment(), u"uno"_s);
        enter();
        QTest::keyClicks(entry.comment(), u"dos"_s);
        QCOMPARE(focused(), static_cast<QWidget *>(entry.comment()));
        QCOMPARE(entry.comment()->toPlainText(), u"uno\ndos"_s);
        QCOMPARE(entry.dato(1)->text(), u" "_s);

        // Only a pick of "MANAGER" enables the manager box and leads Enter into it; typed text is text.
        GridModel &libro = f.libro();
        pickRoute(f, 1); // DIRECTA
        QVERIFY(!entry.dato(11)->isEnabled());
        entry.datos(1)->setFocus();
        enter();
        QCOMPARE(focused(), static_cast<QWidget *>(entry.comment()));

        pickRoute(f, 2); // MANAGER
        QVERIFY(entry.dato(11)->isEnabled());
        entry.datos(0)->setCurrentIndex(1);
        emit entry.datos(0)->activated(1); // another mode keeps it enabled
        QVERIFY(entry.dato(11)->isEnabled());
        entry.datos(1)->setFocus();
        enter();
        QCOMPARE(focused(), static_cast<QWidget *>(entry.dato(11)));
        QTest::keyClicks(entry.dato(11), u"W1MGR"_s);
        enter();
        QCOMPARE(focused(), static_cast<QWidget *>(entry.comment()));
        entry.Guardar_Click();
        QCOMPARE(libro.TextMatrix(1, 13), u"W1MGR"_s);
        QCOMPARE(libro.TextMatrix(1, 12), u"CW"_s);

        pickRoute(f, 1); // a manager call sign left behind is ignored
        QVERIFY(!entry.dato(11)->isEnabled());
        QCOMPARE(entry.dato(11)->text(), u"W1MGR"_s);
        entry.Guardar_Click();
        QCOMPARE(libro.TextMatrix(2, 13), u"DIRECTA"_s);
        pickRoute(f, 2);
        entry.dato(11)->clear();
        entry.Guardar_Click();
        QCOMPARE(libro.TextMatrix(3, 13), QString());

        entry.dato(11)->setText(u"K1XYZ"_s);
        entry.datos(1)->setFocus();
        entry.datos(1)->lineEdit()->selectAll();
        QTest::keyClicks(entry.datos(1)->lineEdit(), u"MANAGER"_s);
        QCOMPARE(entry.datos(1)->selectedIndex(), -1);
        QVERIFY(entry.dato(11)->isEnabled()); // only picks change it
        enter();
        QCOMPARE(focused(), static_cast<QWidget *>(entry.comment()));
        entry.Guardar_Click();
        QCOMPARE(libro.TextMatrix(4, 13), u"MANAGER"_s);
        QCOMPARE(entry.datos(1)->count(), 3); // typed text never joins the list
    }

    void addCopiesTheFormIntoANewRowAndClearEmptiesIt()
    {
        AppFixture f;
        EntryForm &entry = f.app->entry();
        GridModel &libro = f.libro();
        const QString date = entry.dato(8)->text(), time = entry.dato(9)->text();
        entry.Guardar_Click(); // the form as after start-up
        QCOMPARE(f.cells().value(1), (QStringList{u"1"_s} + QStringList(8) + QStringList{date, time, {}, u"SSB"_s, u"BURO"_s, u"NO"_s, u"NO"_s, {}}));
        QVERIFY(f.action("mGuardar")->isEnabled());
        QVERIFY(f.action("mGuardar_como")->isEnabled());

        // Values go in as typed; the view is told of one row more, not reset; the cell stays.
        makeCurrent(libro, 1, 3);
        QSignalSpy resets(&libro, &QAbstractItemModel::modelReset);
        QSignalSpy inserted(&libro, &QAbstractItemModel::rowsInserted);
        entry.dato(2)->setText(u"Logroño"_s);
        f.fakes.clock.moment = QDateTime(QDate(2026, 12, 6), QTime(9, 5, 7));
        entry.dato(0)->setText(u" ea4abc "_s);
        entry.comment()->setPlainText(u"línea 1\nlínea 2\nlínea 3"_s);
        f.action("mContacto")->trigger();
        QCOMPARE(resets.count(), 0);
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(current(libro), Cell(1, 3));
        QCOMPARE(libro.TextMatrix(2, 1), u" ea4abc "_s);
        QCOMPARE(libro.TextMatrix(2, 3), u"Logroño"_s);
        QCOMPARE(libro.TextMatrix(2, 16), u"línea 1\nlínea 2\nlínea 3"_s);
        QCOMPARE(libro.TextMatrix(2, 9), date); // the fields as they were before this add
        QCOMPARE(entry.dato(8)->text(), localtext::shortDate(f.fakes.clock.moment));
        QCOMPARE(entry.dato(9)->text(), localtext::longTime(f.fakes.clock.moment));
        QCOMPARE(entry.dato(0)->text(), u" ea4abc "_s); // nothing else cleared
        QCOMPARE(f.frame().windowTitle(), u"Orvanel versión 9.0"_s);

        // A duplicate is added again; the button does the same as the menu item.
        f.frame().control<QPushButton>(u"Guardar"_s)->click();
        QCOMPARE(libro.Rows(), 4);
        QCOMPARE(f.cells()[3].mid(1, 8), f.cells()[2].mid(1, 8));
        // Numbered by the row's index, whatever the numbers above it say (as a sort leaves them).
        libro.setTextMatrix(1, 0, u"3"_s);
        libro.setTextMatrix(3, 0, u"1"_s);
        for (int i = 0; i < 7; ++i)
            entry.Guardar_Click();
        QCOMPARE(libro.TextMatrix(10, 0), u"10"_s); // the tenth contact
        QCOMPARE(libro.TextMatrix(4, 0), u"4"_s);
        QCOMPARE(libro.TextMatrix(1, 0), u"3"_s);

        // "Borrar" empties the text fields and stamps the time; the lists and the log stay.
        pickRoute(f, 2);
        for (int i = 0; i <= 11; ++i)
            entry.dato(i)->setText(u"texto %1"_s.arg(i));
        entry.comment()->setPlainText(u"comentario"_s);
        entry.datos(0)->setText(u"RTTY"_s);
        f.fakes.clock.moment = QDateTime(QDate(2030, 7, 4), QTime(13, 14, 15));
        entry.dato(3)->setFocus();
        f.frame().control<QPushButton>(u"Borrar"_s)->click();
        for (int i = 0; i <= 11; ++i)
            if (i != 8 && i != 9)
                QCOMPARE(entry.dato(i)->text(), QString());
        QCOMPARE(entry.comment()->toPlainText(), QString());
        QCOMPARE(entry.dato(8)->text(), localtext::shortDate(f.fakes.clock.moment));
        QCOMPARE(entry.dato(9)->text(), localtext::longTime(f.fakes.clock.moment));
        QCOMPARE(entry.datos(0)->text(), u"RTTY"_s);
        QCOMPARE(entry.datos(1)->selectedIndex(), 2);
        QVERIFY(entry.dato(11)->isEnabled());
        QCOMPARE(libro.Rows(), 11);
    }

    // Only a comment with more than blanks opens the editor; it stays bound to its contact.
    void commentEditorOpensOnlyOnCommentsAndFollowsItsContact()
    {
        AppFixture f;
        CommentEditor &editor = f.app->comments();
        editor.Comentario_Click(); // heading row only
        QVERIFY(!editor.window());
        addWithComment(f, QString(), u"   "_s);
        addWithComment(f, QString(), u"  con blancos  "_s);
        f.libro().setRow(1);
        editor.Comentario_Click(); // blanks only
        QVERIFY(!editor.window());
        f.libro().setRow(2);
        f.frame().control<QPushButton>(u"Comentario"_s)->click();
        QVERIFY(editor.window() && editor.window()->isVisible());
        QCOMPARE(editorText(editor)->toPlainText(), u"  con blancos  "_s);
        editor.window()->button(u"Aceptar"_s)->click();
        QCOMPARE(f.libro().TextMatrix(2, 16), u"  con blancos  "_s);
        QVERIFY(!editor.window()->isVisible());

        // Cancel drops the edit; the next opening shows what the row holds.
        editor.Comentario_Click();
        editorText(editor)->setPlainText(u"cambiado"_s);
        editor.window()->button(u"Cancelar"_s)->click();
        QCOMPARE(f.libro().TextMatrix(2, 16), u"  con blancos  "_s);
        editor.Comentario_Click();
        QCOMPARE(editorText(editor)->toPlainText(), u"  con blancos  "_s);
        // A press on a row without comment leaves the open editor bound to its contact.
        f.libro().setRow(1);
        editor.Comentario_Click();
        QCOMPARE(editorText(editor)->toPlainText(), u"  con blancos  "_s);
        editorText(editor)->setPlainText(u"nuevo\ntexto"_s);
        editor.Aceptar_Click();
        QCOMPARE(f.libro().TextMatrix(2, 16), u"nuevo\ntexto"_s);
        QCOMPARE(f.libro().TextMatrix(1, 16), u"   "_s);

        f.libro().setRow(2);
        editor.Comentario_Click();
        QVERIFY(editor.window()->isVisible());
        f.libro().RemoveItem(2);
        QVERIFY(!editor.window()->isVisible());
        editor.Aceptar_Click();
        QCOMPARE(f.libro().Rows(), 2);
        QCOMPARE(f.libro().TextMatrix(1, 16), u"   "_s);

        // It writes to the contact it opened on, wherever a sort moved it.
        for (const QString &call : {u"C"_s, u"B"_s, u"A"_s, u"D"_s, u"E"_s})
            addWithComment(f, call, u"nota "_s + call); // rows 2 to 6
        f.libro().setRow(3);
        editor.Comentario_Click();
        QCOMPARE(editor.editorRow(), 3);
        f.libro().sortRows(2, 6, 1, 1);
        QCOMPARE(f.libro().TextMatrix(3, 1), u"B"_s); // A B C D E
        f.libro().sortRows(2, 6, 1, 1);
        f.libro().setTextMatrix(2, 1, u"Z"_s);
        f.libro().sortRows(2, 6, 1, 1); // B C D E Z
        QCOMPARE(editor.editorRow(), 2);
        editorText(editor)->setPlainText(u"sigue a B"_s);
        editor.Aceptar_Click();
        QCOMPARE(f.libro().TextMatrix(2, 1), u"B"_s);
        QCOMPARE(f.libro().TextMatrix(2, 16), u"sigue a B"_s);
    }

    void commentBoxesKeepEveryCharacter_data()
    {
        QTest::addColumn<QString>("comment");
        QTest::newRow("no-break spaces") << u"59\u00A0dB\u00A0 ok"_s;
        QTest::newRow("tabs and a line break") << u"a\tb\nc\t"_s;
        QTest::newRow("line separator") << u"x\u2028y"_s;
    }

    // Form, row and editor keep every character; CR LF or lone CR breaks read from a file too.
    void commentBoxesKeepEveryCharacter()
    {
        QFETCH(QString, comment);
        AppFixture f;
        addWithComment(f, u"EA1"_s, comment);
        QCOMPARE(f.libro().TextMatrix(1, 16), comment);
        f.libro().appendRow({u"2"_s, u"EA2"_s, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, u"l1\r\nl2\rl3\u00A0"_s});
        CommentEditor &editor = f.app->comments();
        for (int row : {1, 2}) {
            const QString stored = f.libro().TextMatrix(row, 16);
            f.libro().setRow(row);
            editor.Comentario_Click();
            editor.Aceptar_Click();
            QCOMPARE(f.libro().TextMatrix(row, 16), stored);
        }
    }
};


QTEST_MAIN(TestEntry)
#include "tst_entry.moc"
