// The banner and the two web links hand their page to the browser and say nothing; the About
// window shows the program's identity, lives once, and closes with Aceptar, Enter or Esc.
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
private slots:
    void linksOpenTheirPage_data();
    void linksOpenTheirPage();
    void aboutShowsTheProgramAndOpensOnce();
    void aboutTextsComeFromTheIdentity();
    void aboutClosesWithAceptarEnterAndEsc_data();
    void aboutClosesWithAceptarEnterAndEsc();

private:
    static QString version(FormWindow *about) { return about->control<QLabel>(u"lblVersion"_s)->text(); }
};

void TestHelp::linksOpenTheirPage_data()
{
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<QString>("address");
    // The help is index.html in the site's "ayuda" folder; the sponsor lives elsewhere and
    // is reached through a redirect that carries our affiliate identifier.
    const QUrl site(weblinks::site()), sponsor(weblinks::sponsor());
    QVERIFY(sponsor.host() != site.host() && sponsor.hasQuery());
    QTest::newRow("banner") << u"Banner"_s << sponsor.toString();
    QTest::newRow("online help") << u"mAyuda_enlinea"_s << site.resolved(QUrl(u"ayuda/index.html"_s)).toString();
    QTest::newRow("web site") << u"mSitio"_s << site.toString();
}

void TestHelp::linksOpenTheirPage()
{
    QFETCH(QString, trigger);
    QFETCH(QString, address);
    AppFixture f;
    QVERIFY(f.showAndActivate());
    const QString title = f.frame().windowTitle();
    if (trigger == u"Banner"_s)
        QTest::mouseClick(f.frame().control(trigger), Qt::LeftButton);
    else
        f.frame().action(trigger)->trigger();
    QCOMPARE(f.fakes.browser.opened, QStringList{address});
    QVERIFY2(QUrl(address).isValid() && QUrl(address).scheme().startsWith(u"http"_s), qPrintable(address));
    QVERIFY(f.fakes.messages.asked.isEmpty());
    QCOMPARE(f.frame().windowTitle(), title);
    QVERIFY(!f.app->help().aboutExists());
}

void TestHelp::aboutShowsTheProgramAndOpensOnce()
{
    AppFixture f;
    f.action("mAcerca")->trigger();
    QPointer<FormWindow> about = f.app->help().aboutWindow();
    QVERIFY(about && about->isVisible());
    QCOMPARE(about->windowTitle(), u"Acerca de Orvanel"_s);
    QCOMPARE(about->control<QLabel>(u"lblTitle"_s)->text(), u"Orvanel"_s);
    QCOMPARE(version(about), u"Versión 9.0.44"_s);
    const QString description = about->control<QLabel>(u"lblDescription"_s)->text();
    QVERIFY(description.contains(u"en la actualidad.  Para bajar"_s));
    QVERIFY(description.endsWith(u"Sitio Web de Orvanel. Idea y programación por el equipo de Orvanel."_s));
    QVERIFY(about->control<QLabel>(u"lblDisclaimer"_s)->text().contains(u"MIT"_s));
    QVERIFY(f.fakes.messages.asked.isEmpty());

    // Chosen again, the same window comes forward; its texts are not loaded again.
    about->control<QLabel>(u"lblVersion"_s)->setText(u"sin cambios"_s);
    f.frame().activateWindow();
    f.action("mAcerca")->trigger();
    QCOMPARE(f.app->help().aboutWindow(), about.data());
    QCOMPARE(f.frame().findChildren<FormWindow *>(u"Acerca"_s).size(), 1);
    QCOMPARE(version(about), u"sin cambios"_s);
    QTRY_COMPARE(QApplication::activeWindow(), about.data());
}

void TestHelp::aboutTextsComeFromTheIdentity()
{
    // Whatever the layout was drawn with, the load step writes caption, title and version.
    WindowLayout layout = layouts::acerca();
    layout.caption = u"Acerca"_s;
    for (ControlLayout &c : layout.controls)
        if (c.name == u"lblTitle"_s)
            c.caption = u"Proyecto1"_s;
    FormWindow window(layout, nullptr);
    loadAboutTexts(window, {u"Prueba"_s, 10, 2, 307});
    QCOMPARE(window.windowTitle(), u"Acerca de Prueba"_s);
    QCOMPARE(window.control<QLabel>(u"lblTitle"_s)->text(), u"Prueba"_s);
    QCOMPARE(version(&window), u"Versión 10.2.307"_s);
}

void TestHelp::aboutClosesWithAceptarEnterAndEsc_data()
{
    QTest::addColumn<int>("key"); // 0: a click on "Aceptar"
    QTest::newRow("Aceptar") << 0;
    QTest::newRow("Return") << int(Qt::Key_Return);
    QTest::newRow("Enter") << int(Qt::Key_Enter);
    QTest::newRow("Esc") << int(Qt::Key_Escape);
}

void TestHelp::aboutClosesWithAceptarEnterAndEsc()
{
    QFETCH(int, key);
    AppFixture f;
    f.action("mAcerca")->trigger();
    QPointer<FormWindow> about = f.app->help().aboutWindow();
    QVERIFY(QTest::qWaitForWindowActive(about));
    QCOMPARE(QApplication::focusWidget(), about->button(u"cmdOK"_s));
    about->control<QLabel>(u"lblVersion"_s)->setText(u"cambiado"_s);
    if (key == 0)
        QTest::mouseClick(about->button(u"cmdOK"_s), Qt::LeftButton);
    else
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    QTRY_VERIFY(about.isNull()); // destroyed, not hidden
    QVERIFY(!f.app->help().aboutExists());
    f.action("mAcerca")->trigger(); // a new window, loaded afresh
    QCOMPARE(version(f.app->help().aboutWindow()), u"Versión 9.0.44"_s);
}

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
