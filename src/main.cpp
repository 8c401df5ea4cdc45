#include "app/ClosingQuestion.h"
#include "app/Kavento.h"
#include "logbook/RecoveryCommands.h"
#include "ui/ClassicFont.h"
#include "ui/FocusStyle.h"
#include "ui/MainFrame.h"
#include "ui/QtPlatform.h"
#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QSessionManager>
#include <QSettings>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvanel"));
    QApplication::setOrganizationName(QStringLiteral("Orvanel"));
    QApplication::setApplicationVersion(QStringLiteral("9.0.44"));
    QGuiApplication::setDesktopFileName(QStringLiteral("orvanel"));
    applyClassicFont(app);
    QApplication::setStyle(new FocusStyle);

    // Qt's own texts (context menus of text fields) in Spanish when the translation is installed.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Spanish), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    QtMessages messages;
    SystemClock clock;
    DesktopBrowser browser;
    DialogFolders folders;
    QSettings settings;
    PrintDialog printing;
    Platform platform{&messages, &clock, &browser, &folders, &settings, &printing};

    Kavento kavento(platform, QDir::currentPath());
    messages.setOwner(&kavento.frame());
    folders.setOwner(&kavento.frame());
    printing.setOwner(&kavento.frame());
    kavento.Form_Load();
    kavento.show();
    // Logging out with changes not saved asks as closing the window does.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &kavento,
                     [&kavento](QSessionManager &manager) { kavento.closing().commitData(manager); });
    // What a run that did not end cleanly left unsaved is offered back once the window is up.
    QMetaObject::invokeMethod(&kavento, [&kavento] { kavento.recovery().offerRecovery(); }, Qt::QueuedConnection);
    return app.exec();
}
