#pragma once
#include "Layouts.h"
#include <QHash>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

// Builds a menu bar from its table. Every item and every top-level menu is found by name.
struct BuiltMenus
{
    QHash<QString, QAction *> actions;  // items and separators
    QHash<QString, QMenu *> menus;      // top-level menus
};

BuiltMenus buildMenus(QMenuBar *bar, const std::vector<MenuLayout> &menus);
