#pragma once
// Small contact tables for the grid tests, short scripts of grid operations, and ways to read
// the tables back at a glance.
#include "common/GridModel.h"
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A contact table of five columns: headings, then n rows numbered on from the last one, the
// r-th of them holding "EA<r>", "Nombre <r>", "QTH <r>", "BURO".
inline void fill(GridModel &m, int n)
{
    const QStringList headings{u"Nº"_s, u"Indicativo"_s, u"Nombre"_s, u"QTH"_s, u"Vía"_s};
    for (int c = 0; c < headings.size(); ++c)
        m.setTextMatrix(0, c, headings[c]);
    for (int r = 1; r <= n; ++r)
        m.appendRow({QString::number(m.Rows()), u"EA%1"_s.arg(r), u"Nombre %1"_s.arg(r), u"QTH %1"_s.arg(r), u"BURO"_s});
}

// Texts split at commas (or another mark), for short expected lists; "" is no text at all.
inline QStringList split(const char *text, char16_t mark = u',')
{
    return QString::fromUtf8(text).split(mark, Qt::SkipEmptyParts);
}

// Runs grid operations written as "row 2; col 3; select 2 1 5 3; remove 2; rows 1; fill 4;
// text Ana; set 2 3 Cáceres; paint 3 2; append 4 EA7X; store 2; number; sort 1 3 1 1; Sort".
inline void apply(GridModel &m, const char *steps)
{
    for (const QString &step : QString::fromUtf8(steps).split(u';', Qt::SkipEmptyParts)) {
        const QStringList w = step.split(u' ', Qt::SkipEmptyParts);
        const auto n = [&w](int i) { return w.value(i).toInt(); };
        if (w[0] == u"row")
            m.setRow(n(1));
        else if (w[0] == u"col")
            m.setCol(n(1));
        else if (w[0] == u"select")
            m.setSelection(n(1), n(2), n(3), n(4));
        else if (w[0] == u"remove")
            m.RemoveItem(n(1));
        else if (w[0] == u"rows")
            m.setRows(n(1));
        else if (w[0] == u"fill")
            fill(m, n(1));
        else if (w[0] == u"text")
            m.setText(w[1]);
        else if (w[0] == u"set")
            m.setTextMatrix(n(1), n(2), w.mid(3).join(u' '));
        else if (w[0] == u"paint")
            m.setCellColors(n(1), n(2), QColor(128, 0, 0), QColor(255, 255, 255));
        else if (w[0] == u"append")
            m.appendRow(w.mid(1));
        else if (w[0] == u"number")
            m.numberRows();
        else if (w[0] == u"sort")
            m.sortRows(n(1), n(2), n(3), n(4));
        else if (w[0] == u"Sort")
            m.Sort();
        else if (w[0] == u"store") { // contacts from a store of their own, as a reader makes them
            GridStore more(m.Cols());
            const std::string_view cells[] = {"", "EA9ZZ", "Zoe"};
            for (int i = 0; i < n(1); ++i)
                more.appendRow(cells, 3);
            m.appendRows(std::move(more));
        } else
            QFAIL(qPrintable(step));
    }
}

inline QStringList column(const GridModel &m, int col)
{
    QStringList out;
    for (int r = 1; r < m.Rows(); ++r)
        out << m.TextMatrix(r, col);
    return out;
}

// "number call" of every contact row.
inline QStringList contactsOf(const GridModel &m)
{
    QStringList out;
    for (int r = 1; r < m.Rows(); ++r)
        out << m.TextMatrix(r, 0) + u' ' + m.TextMatrix(r, 1);
    return out;
}

// Row, Col, RowSel and ColSel.
inline QList<int> corners(const GridModel &m) { return {m.Row(), m.Col(), m.RowSel(), m.ColSel()}; }

} // namespace
