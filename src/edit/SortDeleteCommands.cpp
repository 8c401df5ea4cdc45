#include "SortDeleteCommands.h"
#include "common/GridModel.h"
#include "ui/MainFrame.h"
#include <QAction>

using namespace Qt::StringLiterals;

bool deleteCurrentLine(GridModel &grid)
{
    if (grid.Rows() > 2) {
        const int row = grid.Row();
        if (row < 1)
            return false; // the heading row stays whatever is current
        grid.RemoveItem(row);
        grid.numberRows();
        return false;
    }
    grid.setRows(1);
    return true;
}

SortDeleteCommands::SortDeleteCommands(MainFrame &main, QObject *parent) : QObject(parent), m_main(main) {}

void SortDeleteCommands::mOrdenar_Click()
{
    // The rows and key columns come from the table's selection; numbers travel with their rows.
    m_main.libro().Sort();
}

void SortDeleteCommands::mBorra_linea_Click()
{
    if (deleteCurrentLine(m_main.libro())) {
        m_main.action(u"mGuardar"_s)->setEnabled(false);
        m_main.action(u"mGuardar_como"_s)->setEnabled(false);
    }
}
