#pragma once
// The layout tables of the nine windows and the two menu trees.
#include "FormSpec.h"
#include <QKeySequence>

struct MenuItemSpec
{
    QString name;
    QString caption;        // "-" is a separator
    QKeySequence shortcut = {};
    bool enabled = true;
};

struct MenuSpec
{
    QString name;
    QString caption;
    std::vector<MenuItemSpec> items;
};

namespace layouts {
WindowSpec kavento();
WindowSpec configUsr();
WindowSpec acerca();
WindowSpec abre();
WindowSpec importar();
WindowSpec guarda();
WindowSpec buscar();
WindowSpec fComentario();
WindowSpec fDxcc();

std::vector<MenuSpec> kaventoMenus();
std::vector<MenuSpec> fDxccMenus();

QStringList countries();      // the country list of the user configuration, blanks kept
QString aboutDescription();
QString aboutNotice();
}
