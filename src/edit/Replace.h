#pragma once
// What "Reemplazar" finds and how it changes a cell: the search text anywhere in a cell, with
// or without regard to letter case, every occurrence in the cell replaced. Contact rows
// only, never the heading row or "Nº".
#include "history/ChangeObserver.h"
#include <QString>
#include <vector>

class GridModel;

class CellReplacer
{
public:
    CellReplacer(QString find, QString with, bool matchCase);

    bool matches(const QString &cell) const;
    QString replaced(QString cell) const;
    // Whether a row can hold a match at all, from its bytes (see GridStore::rowBytes).
    bool mayMatch(std::string_view rowBytes) const;

private:
    QString m_find, m_with;
    Qt::CaseSensitivity m_case;
    std::string m_needle;   // UTF-8, lower-case ASCII when case is ignored; empty: no quick test
};

struct ReplaceScope
{
    bool onlyColumn = false;
    int column = 1;         // with onlyColumn
};

// The first matching cell after (row, col), row by row and left to right; row 0 col 0 for none.
struct CellAt
{
    int row = 0, col = 0;
    bool found() const { return row > 0; }
};
CellAt nextMatch(const GridModel &table, const CellReplacer &replacer, const ReplaceScope &scope, int row, int col);

// Every matching cell with its new text.
std::vector<CellText> replaceAll(const GridModel &table, const CellReplacer &replacer, const ReplaceScope &scope);
