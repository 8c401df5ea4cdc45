#include "Replace.h"
#include "common/GridModel.h"
#include <algorithm>

namespace {

constexpr int kFirstCol = 1;

char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool isAscii(const QString &text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

} // namespace

CellReplacer::CellReplacer(QString find, QString with, bool matchCase)
    : m_find(std::move(find)), m_with(std::move(with)), m_case(matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive)
{
    // The quick test compares bytes: exact when case matters; folding ASCII letters only, so
    // only for an ASCII text, when it does not.
    if (matchCase || isAscii(m_find)) {
        m_needle = m_find.toStdString();
        if (!matchCase)
            std::transform(m_needle.begin(), m_needle.end(), m_needle.begin(), lowerAscii);
    }
}

bool CellReplacer::matches(const QString &cell) const
{
    return !m_find.isEmpty() && cell.contains(m_find, m_case);
}

QString CellReplacer::replaced(QString cell) const
{
    return cell.replace(m_find, m_with, m_case);
}

bool CellReplacer::mayMatch(std::string_view bytes) const
{
    if (m_needle.empty())
        return true;
    if (m_case == Qt::CaseSensitive)
        return bytes.find(m_needle) != std::string_view::npos;
    const auto same = [](char a, char b) { return lowerAscii(a) == b; };
    return std::search(bytes.begin(), bytes.end(), m_needle.begin(), m_needle.end(), same) != bytes.end();
}

CellAt nextMatch(const GridModel &table, const CellReplacer &replacer, const ReplaceScope &scope, int row, int col)
{
    const int lastCol = table.Cols() - 1;
    const GridStore &store = table.store();
    for (int r = std::max(row, 1); r < table.Rows(); ++r) {
        const int from = r == row ? col + 1 : kFirstCol;
        const int first = scope.onlyColumn ? scope.column : std::max(from, kFirstCol);
        const int last = scope.onlyColumn ? scope.column : lastCol;
        if (first < from || first > last || !replacer.mayMatch(store.rowBytes(r, first, last)))
            continue;
        for (int c = first; c <= last; ++c) {
            if (replacer.matches(table.TextMatrix(r, c)))
                return {r, c};
        }
    }
    return {};
}

std::vector<CellText> replaceAll(const GridModel &table, const CellReplacer &replacer, const ReplaceScope &scope)
{
    std::vector<CellText> cells;
    for (CellAt at = nextMatch(table, replacer, scope, 1, 0); at.found();
         at = nextMatch(table, replacer, scope, at.row, at.col))
        cells.push_back({at.row, at.col, replacer.replaced(table.TextMatrix(at.row, at.col))});
    return cells;
}
