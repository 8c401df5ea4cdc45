#include "EditCommands.h"

EditCommands::EditCommands(MainFrame &main, Variables &variables, QObject *parent)
    : QObject(parent), m_main(main), m_variables(variables)
{
}
