#pragma once
// The file windows driven as a person would: the menu item, a name typed into «Archivo», the
// window's own button.
#include "AppFixture.h"
#include "logbook/ExportCommands.h"
#include "logbook/LogbookCommands.h"
#include <QLineEdit>
#include <QPushButton>
#include <cstring>

// The window a file menu item opens: nAbrir, mImportar, mGuardar_como or mExportar.
inline FormWindow *fileWindow(AppFixture &f, const char *menu)
{
    f.action(menu)->trigger();
    LogbookCommands &commands = f.app->logbook();
    if (std::strcmp(menu, "nAbrir") == 0)
        return commands.abreWindow();
    if (std::strcmp(menu, "mImportar") == 0)
        return commands.importarWindow();
    if (std::strcmp(menu, "mExportar") == 0)
        return f.app->exporting().window();
    return commands.guardaWindow();
}

// Types `name` into an open file window and presses its button that goes ahead.
inline void pressGo(FormWindow *window, const QString &name)
{
    window->lineEdit(QStringLiteral("Archivo"))->setText(name);
    QPushButton *go = window->button(QStringLiteral("Command1"));
    (go ? go : window->button(QStringLiteral("Abrir")))->click();
}

// The whole command: menu item, name, button. Returns the window, which a refused name keeps open.
inline FormWindow *useFile(AppFixture &f, const char *menu, const QString &name)
{
    FormWindow *window = fileWindow(f, menu);
    pressGo(window, name);
    return window;
}
