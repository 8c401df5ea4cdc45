#pragma once
// Contacts for the editing tests, written straight into the table.
#include "CurrentCell.h"
#include "common/GridModel.h"
#include <QStringList>

// One contact: columns 1, 2, ... in order (the rest stay empty); "Nº" is its row index.
inline void addContact(GridModel &grid, const QStringList &cells)
{
    grid.appendRow(QStringList{QString::number(grid.Rows())} + cells);
}

// One contact with only some cells filled: "5=X|16=Y" fills column 5 with "X" and 16 with "Y".
inline void addSparse(GridModel &grid, const QString &cells)
{
    QStringList row(grid.Cols());
    row[0] = QString::number(grid.Rows());
    for (const QString &cell : cells.split(u'|', Qt::SkipEmptyParts))
        row[cell.section(u'=', 0, 0).toInt()] = cell.section(u'=', 1);
    grid.appendRow(row);
}

// Column `col` of rows 1 .. Rows - 1, top to bottom.
inline QStringList column(const GridModel &grid, int col)
{
    QStringList texts;
    for (int r = 1; r < grid.Rows(); ++r)
        texts << grid.TextMatrix(r, col);
    return texts;
}
