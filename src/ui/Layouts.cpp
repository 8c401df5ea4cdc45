#include "Layouts.h"

using namespace Qt::StringLiterals;

namespace layouts {

namespace {
using T = ControlType;
namespace F = ControlFlag;

// The open and import windows share one layout; only the open button's name differs.
WindowLayout fileNameWindow(const QString &name, const QString &caption, const QString &openButton)
{
    return {name, caption, WindowKind::FixedDialog, 3495, 930, Placement::Platform, 0, 0,
            {
                {u"Label1"_s, T::Label, u"Archivo:"_s, 120, 120, 585, 195, 0},
                {u"Archivo"_s, T::TextBox, u"Principal.LBR"_s, 840, 120, 2535, 285, 1},
                {openButton, T::Button, u"Abrir"_s, 240, 480, 975, 375, 2},
                {u"Abre_Facil"_s, T::Button, u"Cancelar"_s, 1320, 480, 975, 375, 3},
            }};
}
} // namespace

WindowLayout kavento()
{
    WindowLayout w{u"Kavento"_s, u"Orvanel versión 9.0"_s, WindowKind::Sizable, 11880, 8310, Placement::Platform, 0, 0, {}};
    auto &c = w.controls;
    c.push_back({u"Label3"_s, T::Label, u"Local"_s, 480, 120, 855, 195, 36, F::Centred});
    c.push_back({u"hLocal"_s, T::Label, QString(), 480, 360, 855, 300, 34, F::WhiteBordered});
    c.push_back({u"Label4"_s, T::Label, u"UTC"_s, 1440, 120, 810, 195, 37, F::Centred});
    c.push_back({u"hUtc"_s, T::Label, QString(), 1440, 360, 855, 315, 35, F::WhiteBordered});
    c.push_back({u"Line1"_s, T::Line, QString(), 0, 0, 11880, 0, -1});
    c.push_back({u"Line2"_s, T::Line, QString(), 120, 720, 2760, 720, -1});
    c.push_back({u"Banner"_s, T::PictureBox, QString(), 2880, 120, 7020, 900, 32, F::Clickable, {},
                 u":/images/banner.gif"_s,
                 u"Por favor apóyanos, haz click alguna vez en nuestros patrocinadores."_s,
                 u"Apoye a Orvanel, abre el sitio web"_s});
    c.push_back({u"Comentario"_s, T::PictureButton, QString(), 9960, 600, 375, 375, 33, F::None, {},
                 u":/images/comentario-16.png"_s, {}, u"Editar comentario"_s,
                 u"El comentario del contacto de la celda actual"_s});
    c.push_back({u"Libro"_s, T::Grid, QString(), 2880, 1080, 8895, 6735, 0, F::None, {}, {}, {}, u"Contactos"_s});
    const struct { int index; const char16_t *caption; int top, width, tab; } labels[] = {
        {0, u"Indicativo", 960, 1215, 18},   {1, u"Nombre", 1320, 1095, 19},
        {2, u"QTH", 1680, 1095, 20},         {3, u"Provincia", 2040, 1095, 21},
        {4, u"Ciudad", 2400, 1095, 22},      {5, u"Código Postal", 2760, 975, 23},
        {6, u"Casilla Correo", 3120, 975, 24}, {7, u"RST", 3480, 975, 25},
        {8, u"Fecha", 3840, 975, 26},        {9, u"Hora", 4200, 1095, 27},
        {14, u"Frecuencia", 4560, 1095, 30}, {13, u"Modo", 4920, 1095, 29},
        {12, u"Vía", 5280, 255, 28},
    };
    for (const auto &l : labels)
        c.push_back({u"Label1(%1)"_s.arg(l.index), T::Label, QString::fromUtf16(l.caption), 120, l.top, l.width, 255, l.tab});
    c.push_back({u"Label1(10)"_s, T::Label, u"Comentarios:"_s, 120, 5640, 2535, 255, 31, F::Centred});
    for (int i = 0; i <= 10; ++i)
        c.push_back({u"dato(%1)"_s.arg(i), T::TextBox, QString(), 1200, 960 + 360 * i, 1575, 285, 1 + i});
    c.push_back({u"Datos(0)"_s, T::ComboBox, u"SSB"_s, 1200, 4920, 1575, 315, 12, F::None,
                 {u"SSB"_s, u"CW"_s, u"FM"_s, u"AM"_s, u"DIGIMODOS"_s}});
    c.push_back({u"Datos(1)"_s, T::ComboBox, u"BURO"_s, 480, 5280, 1215, 315, 13, F::None,
                 {u"BURO"_s, u"DIRECTA"_s, u"MANAGER"_s}});
    c.push_back({u"dato(11)"_s, T::TextBox, QString(), 1800, 5280, 975, 285, 14, F::Disabled, {}, {}, {},
                 u"Mánager"_s, u"Indicativo del mánager de QSL, con la vía MANAGER"_s});
    c.push_back({u"dato(12)"_s, T::MultiLineTextBox, QString(), 120, 5880, 2655, 1455, 15});
    c.push_back({u"Guardar"_s, T::Button, u"Aceptar"_s, 240, 7440, 1095, 375, 16});
    c.push_back({u"Borrar"_s, T::Button, u"Borrar Todo"_s, 1440, 7440, 1215, 375, 17});
    return w;
}

QStringList countries()
{
    return {u"Argentina  "_s, u"Bolivia  "_s, u"Chile  "_s, u"Colombia  "_s, u"Costa Rica  "_s,
            u"Ecuador  "_s, u"El Salvador  "_s, u"España"_s, u"Guatemala  "_s, u"Honduras  "_s,
            u"México  "_s, u"Nicaragua  "_s, u"Panama  "_s, u"Paraguay  "_s, u"Peru  "_s,
            u"Uruguay  "_s, u"Venezuela "_s};
}

WindowLayout configUsr()
{
    return {u"config_USR"_s, u"Configuración de Usuario"_s, WindowKind::FixedDialog, 4680, 2400, Placement::At, 3945, 2040,
            {
                {u"Label2"_s, T::Label, u"Pais"_s, 240, 120, 300, 195, 14},
                {u"Pais"_s, T::ComboBox, u"Combo1"_s, 600, 120, 2655, 315, 15, F::None, countries()},
                {u"Label7"_s, T::Label, u"UTC"_s, 3360, 120, 330, 195, 5},
                {u"Usuario(1)"_s, T::TextBox, u"-3"_s, 3840, 120, 615, 285, 0},
                {u"Label3"_s, T::Label, u"Provincia"_s, 240, 480, 660, 195, 12},
                {u"Usuario(2)"_s, T::TextBox, QString(), 960, 480, 3495, 285, 1},
                {u"Label1"_s, T::Label, u"Ciudad"_s, 240, 840, 495, 195, 13},
                {u"Usuario(3)"_s, T::TextBox, QString(), 840, 840, 3615, 285, 2},
                {u"Label4"_s, T::Label, u"Dirección"_s, 240, 1200, 675, 195, 11},
                {u"Usuario(4)"_s, T::TextBox, QString(), 960, 1200, 3495, 285, 3},
                {u"Label5"_s, T::Label, u"Código Postal"_s, 240, 1560, 975, 195, 10},
                {u"Usuario(5)"_s, T::TextBox, QString(), 1320, 1560, 855, 285, 4},
                {u"Label6"_s, T::Label, u"Casilla de Correo"_s, 2280, 1560, 1185, 195, 9},
                {u"Usuario(6)"_s, T::TextBox, QString(), 3600, 1560, 855, 285, 6},
                {u"Command4"_s, T::Button, u"Aceptar"_s, 240, 1920, 975, 375, 7},
                {u"Command3"_s, T::Button, u"Cancelar"_s, 1320, 1920, 975, 375, 8},
            }};
}

QString aboutDescription()
{
    return u"Orvanel es uno de los más útiles programas de libro de guardia para radioaficionados que "
           u"existen en la actualidad.  Para bajar la última versión disponible de Orvanel, dirígase al "
           u"menu de ayuda y haga click en Sitio Web de Orvanel. Idea y programación por el equipo de Orvanel."_s;
}

QString aboutNotice()
{
    return u"Orvanel es software libre bajo la licencia MIT: puede usarlo, copiarlo, modificarlo y "
           u"distribuirlo libremente, sin garantía de ninguna clase."_s;
}

WindowLayout acerca()
{
    return {u"Acerca"_s, u"Acerca de Orvanel"_s, WindowKind::FixedDialog, 5160, 3030, Placement::At, 2340, 1935,
            {
                {u"picIcon"_s, T::PictureBox, QString(), 120, 120, 900, 960, 1, F::None, {}, u":/images/about.png"_s},
                {u"lblTitle"_s, T::Label, u"Orvanel"_s, 1080, 120, 2955, 195, 4, F::BlackText},
                {u"lblVersion"_s, T::Label, u"Versión 9.00"_s, 1080, 360, 2925, 225, 5},
                {u"lblDescription"_s, T::Label, aboutDescription(), 1080, 600, 4005, 1170, 2, F::BlackText | F::WordWrap},
                {u"Line1(1)"_s, T::Line, QString(), 90, 1845, 5040, 1845, -1, F::GreyLine},
                {u"Line1(0)"_s, T::Line, QString(), 105, 1860, 5040, 1860, -1, F::WhiteThickLine},
                {u"lblDisclaimer"_s, T::Label, aboutNotice(), 120, 1920, 4935, 585, 3, F::BlackText | F::WordWrap},
                {u"cmdOK"_s, T::Button, u"Aceptar"_s, 120, 2640, 1245, 345, 0, F::DefaultButton | F::CancelButton},
            }};
}

WindowLayout abre() { return fileNameWindow(u"Abre"_s, u"Abrir"_s, u"Command1"_s); }
WindowLayout importar() { return fileNameWindow(u"Importar"_s, u"Importar"_s, u"Abrir"_s); }

WindowLayout guarda()
{
    return {u"Guarda"_s, u"Guardar como..."_s, WindowKind::Sizable, 3465, 900, Placement::Platform, 0, 0,
            {
                {u"Label1"_s, T::Label, u"Archivo:"_s, 120, 120, 585, 195, 2},
                {u"Archivo"_s, T::TextBox, u"Sin Título.LBR"_s, 840, 120, 2535, 285, 0},
                {u"Command1"_s, T::Button, u"Guardar"_s, 240, 480, 975, 375, 1},
                {u"Abre_Facil"_s, T::Button, u"Cancelar"_s, 1320, 480, 975, 375, 3},
            }};
}

WindowLayout buscar()
{
    return {u"Buscar"_s, u"Buscar"_s, WindowKind::FixedDialog, 5760, 600, Placement::Platform, 0, 0,
            {
                {u"cBusqueda"_s, T::TextBox, QString(), 120, 120, 3015, 285, 0, F::None, {}, {}, {}, u"Texto a buscar"_s},
                {u"Command1"_s, T::Button, u"Buscar"_s, 3360, 120, 1095, 375, 1},
                {u"Command2"_s, T::Button, u"Cancelar"_s, 4560, 120, 1095, 375, 2},
            }};
}

WindowLayout fComentario()
{
    return {u"fComentario"_s, u"Comentario"_s, WindowKind::FixedDialog, 2895, 2145, Placement::Platform, 0, 0,
            {
                {u"coment"_s, T::MultiLineTextBox, QString(), 120, 120, 2655, 1455, 1, F::None, {}, {}, {}, u"Comentario"_s},
                {u"Aceptar"_s, T::Button, u"&Aceptar"_s, 120, 1680, 1095, 375, 2},
                {u"Cancelar"_s, T::Button, u"&Cancelar"_s, 1320, 1680, 1215, 375, 0},
            }};
}

WindowLayout fDxcc()
{
    return {u"fDXCC"_s, u"DXCC"_s, WindowKind::FixedSingle, 4110, 5340, Placement::CentredOnScreen, 0, 0,
            {
                {u"DXCC"_s, T::Grid, QString(), 0, 0, 4065, 5295, 0, F::None, {}, {}, {}, u"Lista DXCC"_s},
            }};
}

// In the style of the search window: the two texts on the left, the buttons on the right.
WindowLayout remplazar()
{
    return {u"Remplazar"_s, u"Reemplazar"_s, WindowKind::FixedDialog, 6480, 1590, Placement::Platform, 0, 0,
            {
                {u"Label1"_s, T::Label, u"Buscar:"_s, 120, 165, 1335, 195, -1},
                {u"cBusqueda"_s, T::TextBox, QString(), 1560, 120, 3015, 285, 0},
                {u"Label2"_s, T::Label, u"Reemplazar por:"_s, 120, 525, 1335, 195, -1},
                {u"cReemplazo"_s, T::TextBox, QString(), 1560, 480, 3015, 285, 1},
                {u"Check1"_s, T::CheckBox, u"Coincidir mayúsculas y minúsculas"_s, 120, 900, 4455, 255, 2},
                {u"Check2"_s, T::CheckBox, u"Solo la columna actual"_s, 120, 1200, 4455, 255, 3},
                {u"Command1"_s, T::Button, u"Reemplazar"_s, 4800, 120, 1560, 375, 4},
                {u"Command2"_s, T::Button, u"Reemplazar todo"_s, 4800, 540, 1560, 375, 5},
                {u"Command3"_s, T::Button, u"Cancelar"_s, 4800, 960, 1560, 375, 6},
            }};
}

// The worked entities: the filters on one line, the totals under them, the table below.
WindowLayout fTrabajados()
{
    return {u"fTrabajados"_s, u"Países trabajados"_s, WindowKind::Sizable, 13500, 7800, Placement::Platform, 0, 0,
            {
                {u"Label1"_s, T::Label, u"Modo:"_s, 120, 165, 615, 195, -1},
                {u"Modo"_s, T::ComboBox, u"Todos"_s, 720, 120, 1695, 315, 0, F::None,
                 {u"Todos"_s, u"Fonía"_s, u"CW"_s, u"Digitales"_s}},
                {u"Check1"_s, T::CheckBox, u"Solo confirmadas"_s, 2640, 150, 2415, 255, 1},
                {u"Totales"_s, T::Label, QString(), 120, 555, 13260, 255, -1},
            }};
}

// As the save window, with the time question below its buttons.
WindowLayout exporta()
{
    return {u"Exporta"_s, u"Exportar"_s, WindowKind::FixedDialog, 3465, 1320, Placement::Platform, 0, 0,
            {
                {u"Label1"_s, T::Label, u"Archivo:"_s, 120, 120, 585, 195, -1},
                {u"Archivo"_s, T::TextBox, u"Sin Título.adi"_s, 840, 120, 2535, 285, 0},
                {u"Command1"_s, T::Button, u"Exportar"_s, 240, 480, 975, 375, 1},
                {u"Abre_Facil"_s, T::Button, u"Cancelar"_s, 1320, 480, 975, 375, 2},
                {u"Check1"_s, T::CheckBox, u"Convertir la hora local a UTC"_s, 240, 960, 3135, 255, 3, F::Checked, {}, {}, {}, {},
                 u"Marcada, la fecha y la hora de cada contacto se escriben en UTC, con la diferencia horaria de "
                 u"la configuración de usuario; sin marcar, tal como están en el libro."_s},
            }};
}

WindowLayout directorios()
{
    return {u"Directorios"_s, u"Directorios"_s, WindowKind::FixedDialog, 6015, 1335, Placement::Platform, 0, 0,
            {
                {u"Label1"_s, T::Label, u"Carpeta de los libros de guardia:"_s, 120, 120, 4455, 195, -1},
                {u"Carpeta"_s, T::TextBox, QString(), 120, 360, 4455, 285, 0},
                {u"Examinar"_s, T::Button, u"Examinar..."_s, 4680, 315, 1215, 375, 1},
                {u"Aceptar"_s, T::Button, u"Aceptar"_s, 3360, 840, 1215, 375, 2},
                {u"Cancelar"_s, T::Button, u"Cancelar"_s, 4680, 840, 1215, 375, 3},
            }};
}

// As "Importar", with a button that looks for the file.
WindowLayout importarConfirmaciones()
{
    return {u"ImportarConfirmaciones"_s, u"Importar confirmaciones"_s, WindowKind::FixedDialog, 4935, 930,
            Placement::Platform, 0, 0,
            {
                {u"Label1"_s, T::Label, u"Archivo:"_s, 120, 120, 705, 195, -1, F::Buddy},
                {u"Archivo"_s, T::TextBox, u"lotwreport.adi"_s, 840, 120, 3975, 285, 0},
                {u"Importar"_s, T::Button, u"Importar"_s, 240, 480, 1215, 375, 1, F::DefaultButton},
                {u"Cancelar"_s, T::Button, u"Cancelar"_s, 1560, 480, 1215, 375, 2, F::CancelButton},
                {u"Examinar"_s, T::Button, u"Examinar..."_s, 3600, 480, 1215, 375, 3},
            }};
}

// The records of a confirmations file that matched no contact, to copy from.
WindowLayout noEncontrados()
{
    return {u"NoEncontrados"_s, u"Confirmaciones no encontradas"_s, WindowKind::Sizable, 6480, 4440,
            Placement::Platform, 0, 0,
            {
                {u"Label1"_s, T::Label, u"&Registros que no coinciden con ningún contacto del libro (hora UTC):"_s,
                 120, 120, 6240, 195, -1, F::Buddy},
                {u"Lista"_s, T::MultiLineTextBox, QString(), 120, 360, 6240, 3435, 0},
                {u"Cerrar"_s, T::Button, u"Cerrar"_s, 5160, 3960, 1215, 375, 1, F::DefaultButton | F::CancelButton},
            }};
}

// The sheet and where to start on it on the left, the preview on the right.
WindowLayout etiquetas()
{
    return {u"Etiquetas"_s, u"Etiquetas QSL"_s, WindowKind::FixedDialog, 9000, 5640, Placement::Platform, 0, 0,
            {
                {u"Label1"_s, T::Label, u"&Hoja:"_s, 120, 165, 1215, 195, -1, F::Buddy},
                {u"Hoja"_s, T::ComboBox, QString(), 1440, 120, 3255, 315, 0},
                {u"Label2"_s, T::Label, u"&Empezar en la etiqueta:"_s, 120, 585, 2535, 195, -1, F::Buddy},
                {u"Inicio"_s, T::TextBox, u"1"_s, 3840, 540, 855, 285, 1},
                {u"Label3"_s, T::Label, u"Margen &superior (mm):"_s, 120, 945, 2535, 195, -1, F::Buddy},
                {u"Superior"_s, T::TextBox, QString(), 3840, 900, 855, 285, 2},
                {u"Label4"_s, T::Label, u"Margen &izquierdo (mm):"_s, 120, 1305, 2535, 195, -1, F::Buddy},
                {u"Izquierdo"_s, T::TextBox, QString(), 3840, 1260, 855, 285, 3},
                {u"Cuenta"_s, T::Label, QString(), 120, 1740, 4575, 435, -1, F::WordWrap},
                {u"Label5"_s, T::Label, u"&Archivo:"_s, 120, 2385, 705, 195, -1, F::Buddy},
                {u"Archivo"_s, T::TextBox, u"etiquetas.pdf"_s, 840, 2340, 3855, 285, 4},
                {u"Imprimir"_s, T::Button, u"Imprimir..."_s, 120, 2820, 1455, 375, 5},
                {u"GuardarPdf"_s, T::Button, u"Guardar PDF"_s, 1680, 2820, 1455, 375, 6},
                {u"Cancelar"_s, T::Button, u"Cancelar"_s, 3240, 2820, 1455, 375, 7, F::CancelButton},
                {u"Vista"_s, T::Label, QString(), 4920, 120, 3960, 5400, -1, F::WhiteBordered},
            }};
}

// The outside programs, one group each, top to bottom in the order an operator sets them up.
WindowLayout conexiones()
{
    return {u"Conexiones"_s, u"Conexiones"_s, WindowKind::FixedDialog, 6600, 6450, Placement::Platform, 0, 0,
            {
                {u"Equipo"_s, T::GroupBox, u"Equipo (rigctld)"_s, 120, 120, 6360, 1800, -1},
                {u"LeerEquipo"_s, T::CheckBox, u"&Leer frecuencia y modo del equipo"_s, 240, 420, 6000, 255, 0},
                {u"Label1"_s, T::Label, u"&Servidor:"_s, 240, 825, 900, 195, -1, F::Buddy},
                {u"EquipoServidor"_s, T::TextBox, u"127.0.0.1"_s, 1200, 780, 2400, 285, 1},
                {u"Label2"_s, T::Label, u"&Puerto:"_s, 3720, 825, 600, 195, -1, F::Buddy},
                {u"EquipoPuerto"_s, T::TextBox, u"4532"_s, 4380, 780, 735, 285, 2},
                {u"Probar"_s, T::Button, u"Pro&bar"_s, 5220, 750, 1140, 345, 3},
                {u"EquipoEstado"_s, T::Label, QString(), 240, 1200, 6120, 600, -1, F::WordWrap},
                {u"Digital"_s, T::GroupBox, u"Programa digital (UDP)"_s, 120, 2040, 6360, 1800, -1},
                {u"RegistrarDigital"_s, T::CheckBox, u"&Registrar los contactos del programa digital"_s, 240, 2340, 6000, 255, 4},
                {u"Label3"_s, T::Label, u"&Dirección:"_s, 240, 2745, 900, 195, -1, F::Buddy},
                {u"DigitalDireccion"_s, T::TextBox, u"127.0.0.1"_s, 1200, 2700, 2400, 285, 5},
                {u"Label4"_s, T::Label, u"P&uerto:"_s, 3720, 2745, 600, 195, -1, F::Buddy},
                {u"DigitalPuerto"_s, T::TextBox, u"2237"_s, 4380, 2700, 735, 285, 6},
                {u"DigitalEstado"_s, T::Label, QString(), 240, 3120, 6120, 600, -1, F::WordWrap},
                {u"Cluster"_s, T::GroupBox, u"Cluster DX"_s, 120, 3960, 6360, 1800, -1},
                {u"Label5"_s, T::Label, u"Ser&vidor:"_s, 240, 4305, 900, 195, -1, F::Buddy},
                {u"ClusterServidor"_s, T::TextBox, QString(), 1200, 4260, 2400, 285, 7},
                {u"Label6"_s, T::Label, u"Puer&to:"_s, 3720, 4305, 600, 195, -1, F::Buddy},
                {u"ClusterPuerto"_s, T::TextBox, u"7300"_s, 4380, 4260, 735, 285, 8},
                {u"Label7"_s, T::Label, u"&Indicativo:"_s, 240, 4665, 900, 195, -1, F::Buddy},
                {u"ClusterIndicativo"_s, T::TextBox, QString(), 1200, 4620, 1500, 285, 9},
                {u"ClusterAlIniciar"_s, T::CheckBox, u"&Conectar al iniciar"_s, 3720, 4650, 2640, 255, 10},
                {u"ClusterEstado"_s, T::Label, QString(), 240, 5040, 6120, 600, -1, F::WordWrap},
                {u"Aceptar"_s, T::Button, u"Aceptar"_s, 3960, 5940, 1215, 375, 11, F::DefaultButton},
                {u"Cancelar"_s, T::Button, u"Cancelar"_s, 5265, 5940, 1215, 375, 12, F::CancelButton},
            }};
}

std::vector<MenuLayout> kaventoMenus()
{
    const auto key = [](const char *text) { return QKeySequence(QString::fromLatin1(text)); };
    return {
        {u"mArchivo"_s, u"&Archivo"_s,
         {
             {u"mNuevo"_s, u"&Nuevo"_s, key("Ctrl+N")},
             {u"nAbrir"_s, u"&Abrir"_s, key("Ctrl+A")},
             {u"mGuardar"_s, u"&Guardar"_s, key("Ctrl+G"), false},
             {u"mGuardar_como"_s, u"Guardar c&omo..."_s, {}, false},
             {u"mContacto"_s, u"Agregar &Contacto"_s, key("F4")},
             {u"nbarra1"_s, u"-"_s},
             {u"mImportar"_s, u"&Importar"_s},
             {u"mExportar"_s, u"&Exportar"_s, {}, false},
             {u"mConfirmaciones"_s, u"Importar con&firmaciones..."_s},
             {u"mEtiquetas"_s, u"Etiquetas &QSL..."_s},
             {u"mbarra"_s, u"-"_s},
             {u"mSalir"_s, u"&Salir"_s},
         }},
        {u"mEdicion"_s, u"&Edición"_s,
         {
             {u"mDeshacer"_s, u"&Deshacer"_s, key("Ctrl+Z"), false},
             {u"mRehacer"_s, u"&Rehacer"_s, key("Ctrl+Y"), false},
             {u"barra4"_s, u"-"_s},
             {u"mCortar"_s, u"C&ortar"_s, key("Ctrl+X")},
             {u"mCopiar"_s, u"&Copiar"_s, key("Ctrl+C")},
             {u"mPegar"_s, u"&Pegar"_s, key("Ctrl+V")},
             {u"barra4563"_s, u"-"_s},
             {u"mOrdenar"_s, u"&Ordenar"_s, key("Ctrl+O")},
             {u"mBorra_linea"_s, u"Borrar &Línea"_s, key("Ctrl+L")},
             {u"barra43"_s, u"-"_s},
             {u"mBuscar"_s, u"&Buscar"_s, key("Ctrl+B")},
             {u"mBuscar_Siguiente"_s, u"B&uscar siguiente"_s, key("F3")},
             {u"mRemplazar"_s, u"Re&mplazar"_s, key("Ctrl+R")},
         }},
        {u"mConfiguracion"_s, u"&Configuración"_s,
         {
             {u"mUsuario"_s, u"&Usuario"_s},
             {u"mDirectorios"_s, u"&Directorios"_s},
             {u"mConexiones"_s, u"C&onexiones..."_s},
             {u"mCompletar"_s, u"Co&mpletar con el último contacto"_s, {}, true, true},
         }},
        {u"mDXCC"_s, u"&DXCC"_s, {{u"mVer_DXCC"_s, u"&Ver"_s}}},
        {u"mEstadisticas"_s, u"&Estadísticas"_s, {{u"mTrabajados"_s, u"&Paises trabajados"_s}}},
        {u"mAyuda"_s, u"A&yuda"_s,
         {
             {u"mAyuda_enlinea"_s, u"&Ayuda en línea"_s},
             {u"mSitio"_s, u"&Sitio web de Orvanel"_s},
             {u"barra44"_s, u"-"_s},
             {u"mAcerca"_s, u"Acerca de &Orvanel"_s},
         }},
    };
}

std::vector<MenuLayout> fDxccMenus()
{
    return {{u"mOrden"_s, u"&Ordenar"_s,
             {
                 {u"mPrefijo"_s, u"&Prefijo"_s},
                 {u"mZona"_s, u"&Zona"_s},
                 {u"mContinente"_s, u"&Continente"_s},
             }}};
}

} // namespace layouts
