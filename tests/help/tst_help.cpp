// The web links hand their page to the browser; the About window shows, lives once, and closes.
#include "AppFixture.h"
#include "ui/AboutWindow.h"
#include "ui/FormWindow.h"
#include "ui/HelpCommands.h"
#include "ui/Layouts.h"
#include "ui/WebLinks.h"
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QUrl>

using namespace Qt::StringLiterals;

class TestHelp : public QObject
{
    Q_OBJECT
    static QString label(FormWindow *about, const QString &name) { return about->control<QLabel>(name)->text(); }

private slots:
    void linksOpenTheirPage_data()
    {
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<QString>("address");
        // The help lies in the site's "ayuda" folder; the sponsor elsewhere, through a redirect.
        const QUrl site(weblinks::site()), sponsor(weblinks::sponsor());
        QTest::newRow("banner") << u"Banner"_s << sponsor.toString();
        QTest::newRow("online help") << u"mAyuda_enlinea"_s << site.resolved(QUrl(u"ayuda/index.html"_s)).toString();
        QTest::newRow("web site") << u"mSitio"_s << site.toString();
    }

    void linksOpenTheirPage()
    {
        QFETCH(QString, trigger);
        QFETCH(QString, address);
        AppFixture f;
        QVERIFY(f.showAndActivate());
        if (trigger == u"Banner"_s)
            QTest::mouseClick(f.frame().control(trigger), Qt::LeftButton);
        else
            f.frame().action(trigger)->trigger();
        QCOMPARE(f.fakes.browser.opened, QStringList{address});
        QVERIFY(f.fakes.messages.asked.isEmpty());
        QCOMPARE(f.frame().windowTitle(), u"Orvanel versión 9.0"_s);
    }

    void aboutShowsOnceAndCloses_data()
    {
        QTest::addColumn<int>("key"); // 0: a click on "Aceptar"
        QTest::newRow("Aceptar") << 0;
        QTest::newRow("Return") << int(Qt::Key_Return);
        QTest::newRow("Enter") << int(Qt::Key_Enter);
        QTest::newRow("Esc") << int(Qt::Key_Escape);
    }

    // Chosen again, the same window comes forward as it was; closed, it is destroyed for good.
    void aboutShowsOnceAndCloses()
    {
        QFETCH(int, key);
        AppFixture f;
        f.action("mAcerca")->trigger();
        QPointer<FormWindow> about = f.app->help().aboutWindow();
        QVERIFY(about && about->isVisible());
        QCOMPARE(about->windowTitle(), u"Acerca de Orvanel"_s);
        QCOMPARE(label(about, u"lblTitle"_s), u"Orvanel"_s);
        QCOMPARE(label(about, u"lblVersion"_s), u"Versión 9.0.44"_s);
        const QString description = label(about, u"lblDescription"_s);
        QVERIFY(description.contains(u"en la actualidad.  Para bajar"_s));
        QVERIFY(description.endsWith(u"Sitio Web de Orvanel. Idea y programación por el equipo de Orvanel."_s));
        QVERIFY(label(about, u"lblDisclaimer"_s).contains(u"MIT"_s));
        about->control<QLabel>(u"lblVersion"_s)->setText(u"sin cambios"_s);
        f.frame().activateWindow();
        f.action("mAcerca")->trigger();
        QCOMPARE(f.app->help().aboutWindow(), about.data());
        QCOMPARE(f.frame().findChildren<FormWindow *>(u"Acerca"_s).size(), 1);
        QCOMPARE(label(about, u"lblVersion"_s), u"sin cambios"_s);
        QTRY_COMPARE(QApplication::activeWindow(), about.data());
        QCOMPARE(QApplication::focusWidget(), about->button(u"cmdOK"_s));
        if (key == 0)
            QTest::mouseClick(about->button(u"cmdOK"_s), Qt::LeftButton);
        else
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
        QTRY_VERIFY(about.isNull()); // destroyed, not hidden
        QVERIFY(!f.app->help().aboutExists());
        f.action("mAcerca")->trigger();
        QCOMPARE(label(f.app->help().aboutWindow(), u"lblVersion"_s), u"Versión 9.0.44"_s);
    }

    // Whatever the layout was drawn with, the load step writes caption, title and version.
    void aboutTextsComeFromTheIdentity()
    {
        WindowLayout layout = layouts::acerca();
        layout.caption = u"Acerca"_s;
        for (ControlLayout &c : layout.controls)
            if (c.name == u"lblTitle"_s)
                c.caption = u"Proyecto1"_s;
        FormWindow window(layout, nullptr);
        loadAboutTexts(window, {u"Prueba"_s, 10, 2, 307});
        QCOMPARE(window.windowTitle(), u"Acerca de Prueba"_s);
        QCOMPARE(label(&window, u"lblTitle"_s), u"Prueba"_s);
        QCOMPARE(label(&window, u"lblVersion"_s), u"Versión 10.2.307"_s);
    }
};

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
