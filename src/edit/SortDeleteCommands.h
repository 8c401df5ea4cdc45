#pragma once
#include <QObject>

class GridModel;
class MainFrame;

// Deletes the contact in the current row and renumbers the rest 1, 2, 3, ... With one
// contact or none the table is emptied instead. Returns true when no contact is left, so
// the caller can withdraw the save commands.
bool deleteCurrentLine(GridModel &grid);

// "Ordenar" and "Borrar Línea".
class SortDeleteCommands : public QObject
{
    Q_OBJECT
public:
    explicit SortDeleteCommands(MainFrame &main, QObject *parent = nullptr);

    void mOrdenar_Click();
    void mBorra_linea_Click();

private:
    MainFrame &m_main;
};
