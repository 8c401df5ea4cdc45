#include "MenuBuilder.h"
#include <QMenu>
#include <QMenuBar>

BuiltMenus buildMenus(QMenuBar *bar, const std::vector<MenuLayout> &menus)
{
    BuiltMenus built;
    for (const MenuLayout &layout : menus) {
        QMenu *menu = bar->addMenu(layout.caption);
        menu->setObjectName(layout.name);
        menu->menuAction()->setObjectName(layout.name);
        built.menus.insert(layout.name, menu);
        for (const MenuItemLayout &item : layout.items) {
            QAction *action = item.caption == QLatin1String("-") ? menu->addSeparator() : menu->addAction(item.caption);
            action->setObjectName(item.name);
            if (!item.shortcut.isEmpty()) {
                action->setShortcut(item.shortcut);
                action->setShortcutContext(Qt::WindowShortcut);
            }
            action->setEnabled(item.enabled);
            action->setCheckable(item.checkable);
            action->setChecked(item.checkable);
            built.actions.insert(item.name, action);
        }
    }
    return built;
}
