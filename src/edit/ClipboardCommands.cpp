#include "ClipboardCommands.h"
#include "common/GridModel.h"
#include "common/Variables.h"

ClipboardCommands::ClipboardCommands(GridModel &grid, Variables &variables, QObject *parent)
    : QObject(parent), m_grid(grid), m_variables(variables)
{
}

// The first contact row is out of reach, like the heading row: the commands start at row 2.
bool ClipboardCommands::rowAllowed() const
{
    return m_grid.Row() > 1;
}

void ClipboardCommands::mCortar_Click()
{
    if (!rowAllowed())
        return;
    m_variables.cellBuffer = m_grid.Text();
    m_grid.setText(QString());
}

void ClipboardCommands::mCopiar_Click()
{
    if (rowAllowed())
        m_variables.cellBuffer = m_grid.Text();
}

void ClipboardCommands::mPegar_Click()
{
    if (rowAllowed())
        m_grid.setText(m_variables.cellBuffer);
}
