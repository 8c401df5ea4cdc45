#pragma once
// The layout tables of the nine windows and the two menu trees.
#include "FormLayout.h"
#include <QKeySequence>

struct MenuItemLayout
{
    QString name;
    QString caption;        // "-" is a separator
    QKeySequence shortcut = {};
    bool enabled = true;
    bool checkable = false;     // a check item, checked at first
};

struct MenuLayout
{
    QString name;
    QString caption;
    std::vector<MenuItemLayout> items;
};

namespace layouts {
WindowLayout kavento();
WindowLayout configUsr();
WindowLayout acerca();
WindowLayout abre();
WindowLayout importar();
WindowLayout guarda();
WindowLayout buscar();
WindowLayout fComentario();
WindowLayout fDxcc();
WindowLayout remplazar();
WindowLayout exporta();
WindowLayout fTrabajados();
WindowLayout directorios();
WindowLayout importarConfirmaciones();
WindowLayout noEncontrados();
WindowLayout etiquetas();
WindowLayout conexiones();

std::vector<MenuLayout> kaventoMenus();
std::vector<MenuLayout> fDxccMenus();

QStringList countries();      // the country list of the user configuration, blanks kept
QString aboutDescription();
QString aboutNotice();
}
