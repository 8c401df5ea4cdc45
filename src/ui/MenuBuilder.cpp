#include "MenuBuilder.h"
#include <QMenu>
#include <QMenuBar>

BuiltMenus buildMenus(QMenuBar *bar, const std::vector<MenuSpec> &specs)
{
    BuiltMenus built;
    for (const MenuSpec &spec : specs) {
        QMenu *menu = bar->addMenu(spec.caption);
        menu->setObjectName(spec.name);
        menu->menuAction()->setObjectName(spec.name);
        built.menus.insert(spec.name, menu);
        for (const MenuItemSpec &item : spec.items) {
            QAction *action = item.caption == QLatin1String("-") ? menu->addSeparator() : menu->addAction(item.caption);
            action->setObjectName(item.name);
            if (!item.shortcut.isEmpty()) {
                action->setShortcut(item.shortcut);
                action->setShortcutContext(Qt::WindowShortcut);
            }
            action->setEnabled(item.enabled);
            built.actions.insert(item.name, action);
        }
    }
    return built;
}
