#include "app/ClosingQuestion.h"
#include "app/CommandLine.h"
#include "app/Kavento.h"
#include "dxcc/CallResolver.h"
#include "logbook/LogbookCommands.h"
#include "logbook/RecoveryCommands.h"
#include "ui/ClassicFont.h"
#include "ui/FocusStyle.h"
#include "ui/MainFrame.h"
#include "ui/QtPlatform.h"
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QSessionManager>
#include <QSettings>
#include <QTranslator>
#include <cstdio>

int main(int argc, char *argv[])
{
    const QString version = QStringLiteral(ORVANEL_VERSION);
    // Answered before any window exists: --help and --version need no display.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine line = readCommandLine(arguments, version, installedDataFolder());
    if (line.action != CommandLine::Action::Run) {
        std::fputs(line.text.toLocal8Bit().constData(), line.action == CommandLine::Action::Answer ? stdout : stderr);
        return line.action == CommandLine::Action::Answer ? 0 : 2;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvanel"));
    QApplication::setOrganizationName(QStringLiteral("Orvanel"));
    QApplication::setApplicationVersion(version);
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
    // What a run that did not end cleanly left unsaved is offered back once the window is up;
    // then the file the program was started with, named from where it was started.
    const QString file = line.file.isEmpty() ? QString() : QFileInfo(line.file).absoluteFilePath();
    QMetaObject::invokeMethod(&kavento, [&kavento, file] {
        kavento.recovery().offerRecovery();
        if (!file.isEmpty())
            kavento.logbook().openGiven(file);
    }, Qt::QueuedConnection);
    return app.exec();
}
