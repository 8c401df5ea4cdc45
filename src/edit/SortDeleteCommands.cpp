#include "SortDeleteCommands.h"
#include "history/ContactLog.h"

SortDeleteCommands::SortDeleteCommands(ContactLog &log, QObject *parent) : QObject(parent), m_log(log) {}

void SortDeleteCommands::mOrdenar_Click()
{
    // The rows and key columns come from the table's selection; numbers travel with their rows.
    m_log.sort();
}

void SortDeleteCommands::mBorra_linea_Click()
{
    m_log.deleteLine();
}
