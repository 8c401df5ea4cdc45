#pragma once
#include "ui/WindowSlot.h"
#include <QObject>

class FormWindow;
class MainFrame;

// "Buscar" and "Buscar siguiente": the search window and the walk that marks matches.
// The only state kept between commands is the text in the window's box and the table's
// current cell.
class SearchCommands : public QObject
{
    Q_OBJECT
public:
    explicit SearchCommands(MainFrame &main, QObject *parent = nullptr);

    void mBuscar_Click();
    void Command1_Click();              // "Buscar": the first match from the top
    void Command2_Click();              // "Cancelar"
    void mBuscar_Siguiente_Click();

    FormWindow *window() const;         // null while the window does not exist
    bool windowShown() const { return m_slot.isShown(); }

private:
    FormWindow *create();
    QString searchText();               // creates the window hidden when it does not exist

    MainFrame &m_main;
    Slot<FormWindow> m_slot;
};
