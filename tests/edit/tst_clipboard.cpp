// Cut, copy and paste of whole cells through the program's own buffer, and the focused widget's keys.
#include "AppFixture.h"
#include "LogRows.h"
#include "app/EntryForm.h"
#include "ui/GridView.h"
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>

using namespace Qt::StringLiterals;

class TestClipboard : public QObject
{
    Q_OBJECT
    static void fill(GridModel &grid, int contacts)
    {
        for (int i = 1; i <= contacts; ++i)
            addContact(grid, {u"CALL%1"_s.arg(i), u"Nombre %1"_s.arg(i), u"QTH %1"_s.arg(i)});
    }
    static QString &buffer(AppFixture &f) { return f.app->variables().cellBuffer; }
    static void menu(AppFixture &f, int row, int col, const char *item)
    {
        makeCurrent(f.libro(), row, col);
        f.action(item)->trigger();
    }

private slots:
    void cutCopyAndPasteWholeCells()
    {
        AppFixture f;
        GridModel &libro = f.libro();
        fill(libro, 6);
        menu(f, 3, 3, "mPegar"); // before any copy: the cell is emptied
        QCOMPARE(libro.TextMatrix(3, 3), QString());
        QCOMPARE(libro.TextMatrix(3, 2), u"Nombre 3"_s);
        libro.setTextMatrix(3, 2, u"  José\r\nMaría "_s); // blanks and line breaks as they are
        menu(f, 3, 2, "mCortar");
        QCOMPARE(libro.TextMatrix(3, 2), QString());
        QCOMPARE(buffer(f), u"  José\r\nMaría "_s);
        menu(f, 5, 3, "mPegar");
        QCOMPARE(libro.TextMatrix(5, 3), u"  José\r\nMaría "_s);
        QCOMPARE(libro.TextMatrix(5, 2), u"Nombre 5"_s);
        // One copy pastes any number of times, each time over the whole cell.
        menu(f, 4, 1, "mCopiar");
        const Cell targets[] = {{2, 16}, {6, 1}, {5, 9}};
        for (const auto &[row, col] : targets)
            menu(f, row, col, "mPegar");
        for (const auto &[row, col] : targets)
            QCOMPARE(libro.TextMatrix(row, col), u"CALL4"_s);
        QCOMPARE(libro.TextMatrix(4, 1), u"CALL4"_s);
        // Of a selection dragged from (4, 3) up and left to (2, 1), only its starting corner.
        libro.setSelection(4, 3, 2, 1);
        f.action("mCopiar")->trigger();
        QCOMPARE(buffer(f), u"QTH 4"_s);
        buffer(f) = u"nuevo"_s;
        f.action("mPegar")->trigger();
        QCOMPARE(libro.TextMatrix(4, 3), u"nuevo"_s);
        QCOMPARE(libro.TextMatrix(2, 1), u"CALL2"_s);
        // The buffer outlives the log; the heading row and row 1 are out of reach, row 2 is not.
        f.action("mNuevo")->trigger();
        QCOMPARE(libro.Rows(), 1);
        f.action("mPegar")->trigger();
        f.action("mCortar")->trigger();
        QCOMPARE(buffer(f), u"nuevo"_s);
        QCOMPARE(libro.TextMatrix(0, 1), u"Indicativo"_s);
        fill(libro, 3);
        for (const char *item : {"mCopiar", "mCortar", "mPegar"}) {
            menu(f, 1, 2, item);
            QCOMPARE(buffer(f), u"nuevo"_s);
            QCOMPARE(libro.TextMatrix(1, 2), u"Nombre 1"_s);
        }
        menu(f, 2, 16, "mPegar");
        QCOMPARE(libro.TextMatrix(2, 16), u"nuevo"_s);
        menu(f, 2, 2, "mCopiar");
        QCOMPARE(buffer(f), u"Nombre 2"_s);
    }

    // Ctrl+X, C and V edit a focused field; from the menu, or in the table, they act on the cell.
    void focusedWidgetKeepsItsKeys()
    {
        AppFixture f;
        QVERIFY(f.showAndActivate());
        GridModel &libro = f.libro();
        fill(libro, 4);
        makeCurrent(libro, 3, 2);
        buffer(f) = u"búfer"_s;
        auto *call = f.app->entry().dato(0);
        call->setFocus();
        call->setText(u"EA4ABC"_s);
        call->selectAll();
        QTest::keyClick(call, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), u"EA4ABC"_s);
        QTest::keyClick(call, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(call->text(), QString());
        QTest::keyClick(call, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(call, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(call->text(), u"EA4ABCEA4ABC"_s);
        QCOMPARE(buffer(f), u"búfer"_s);
        QCOMPARE(libro.TextMatrix(3, 2), u"Nombre 3"_s);

        auto *comment = f.app->entry().comment();
        comment->setFocus();
        comment->setPlainText(u"hola"_s);
        comment->selectAll();
        QTest::keyClick(comment, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(comment->toPlainText(), QString());
        QCOMPARE(libro.TextMatrix(3, 2), u"Nombre 3"_s);
        QCOMPARE(buffer(f), u"búfer"_s);
        f.action("mCortar")->trigger(); // from the menu while the field has the focus
        QCOMPARE(buffer(f), u"Nombre 3"_s);
        QCOMPARE(libro.TextMatrix(3, 2), QString());
        menu(f, 2, 5, "mPegar");
        QCOMPARE(libro.TextMatrix(2, 5), u"Nombre 3"_s);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(comment));
        QCOMPARE(QGuiApplication::clipboard()->text(), u"hola"_s); // the desktop's clipboard is not theirs

        GridView *view = f.frame().libroView();
        view->setFocus();
        makeCurrent(libro, 2, 3);
        QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(buffer(f), u"QTH 2"_s);
        makeCurrent(libro, 4, 3);
        QTest::keyClick(view, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(buffer(f), u"QTH 4"_s);
        QCOMPARE(libro.TextMatrix(4, 3), QString());
        makeCurrent(libro, 3, 1);
        QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(libro.TextMatrix(3, 1), u"QTH 4"_s);
    }
};

QTEST_MAIN(TestClipboard)
#include "tst_clipboard.moc"
