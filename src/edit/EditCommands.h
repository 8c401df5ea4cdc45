#pragma once
#include "common/Variables.h"
#include <QObject>

class MainFrame;

// Search and find next, sort and delete line, cut, copy and paste of one cell.
class EditCommands : public QObject
{
    Q_OBJECT
public:
    EditCommands(MainFrame &main, Variables &variables, QObject *parent = nullptr);

private:
    MainFrame &m_main;
    Variables &m_variables;
};
