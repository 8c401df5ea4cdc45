#include "SearchCommands.h"
#include "Search.h"
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
    // No match: the window stays up with its text, ready for another try.
    if (searchFromTop(m_main.libro(), CellMatcher(searchText())))
        m_slot.hide();
}

void SearchCommands::Command2_Click()
{
    m_slot.hide();
}

void SearchCommands::mBuscar_Siguiente_Click()
{
    findNext(m_main.libro(), CellMatcher(searchText()));
}
