#include "ClipboardCommands.h"
#include "common/GridModel.h"
#include "common/Variables.h"
#include "history/ContactLog.h"

ClipboardCommands::ClipboardCommands(ContactLog &log, Variables &variables, QObject *parent)
    : QObject(parent), m_log(log), m_variables(variables)
{
}

// The first contact row is out of reach, like the heading row: the commands start at row 2.
bool ClipboardCommands::rowAllowed() const
{
    return m_log.table().Row() > 1;
}

void ClipboardCommands::mCortar_Click()
{
    if (!rowAllowed())
        return;
    const GridModel &grid = m_log.table();
    m_variables.cellBuffer = grid.Text();
    m_log.setCell(grid.Row(), grid.Col(), QString(), QStringLiteral("Cortar"));
}

void ClipboardCommands::mCopiar_Click()
{
    if (rowAllowed())
        m_variables.cellBuffer = m_log.table().Text();
}

void ClipboardCommands::mPegar_Click()
{
    if (rowAllowed())
        m_log.setCell(m_log.table().Row(), m_log.table().Col(), m_variables.cellBuffer, QStringLiteral("Pegar"));
}
