#include "SearchCommands.h"
#include "Search.h"
#include "common/GridModel.h"
#include "ui/FormWindow.h"
#include "ui/Layouts.h"
#include "ui/MainFrame.h"
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

SearchCommands::SearchCommands(MainFrame &main, QObject *parent)
    : QObject(parent), m_main(main), m_slot([this] { return create(); }, this)
{
}

FormWindow *SearchCommands::create()
{
    auto *window = new FormWindow(layouts::buscar(), &m_main);
    connect(window->button(u"Command1"_s), &QPushButton::clicked, this, &SearchCommands::Command1_Click);
    connect(window->button(u"Command2"_s), &QPushButton::clicked, this, &SearchCommands::Command2_Click);
    return window;
}

FormWindow *SearchCommands::window() const
{
    return m_slot.window();
}

QString SearchCommands::searchText()
{
    return m_slot.get()->lineEdit(u"cBusqueda"_s)->text();
}

void SearchCommands::mBuscar_Click()
{
    m_slot.show();
}

void SearchCommands::Command1_Click()
{
    // No match: the window stays up with its text, ready for another try. Either way a
    // screen reader is told, since nothing shown says so.
    GridModel &table = m_main.libro();
    if (searchFromTop(table, CellMatcher(searchText()))) {
        m_slot.hide();
        m_main.announce(u"Encontrado en la fila %1, %2: %3"_s.arg(table.Row()).arg(table.TextMatrix(0, table.Col()), table.Text()));
    } else {
        m_main.announce(u"No se encontró «%1»."_s.arg(searchText()));
    }
}

void SearchCommands::Command2_Click()
{
    m_slot.hide();
}

void SearchCommands::mBuscar_Siguiente_Click()
{
    const int64_t marked = findNext(m_main.libro(), CellMatcher(searchText()));
    m_main.announce(marked == 0   ? u"No hay más celdas con «%1»."_s.arg(searchText())
                    : marked == 1 ? u"1 celda marcada."_s
                                  : u"%1 celdas marcadas."_s.arg(marked));
}
