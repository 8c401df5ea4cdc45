// The colours of cells, kept beside the few rows that have any.
#include "GridModel.h"
#include <algorithm>

const GridModel::CellColors *GridModel::findColors(int row, int col) const
{
    if (!validCell(row, col))
        return nullptr;
    const uint32_t tag = m_store.rowTag(row);
    if (tag == 0)
        return nullptr;
    for (const CellColors &c : m_colorSets[tag - 1])
        if (c.col == col)
            return &c;
    return nullptr;
}

QColor GridModel::cellBackColor(int row, int col) const
{
    const CellColors *c = findColors(row, col);
    return c ? c->back : QColor();
}

QColor GridModel::cellForeColor(int row, int col) const
{
    const CellColors *c = findColors(row, col);
    return c ? c->fore : QColor();
}

void GridModel::setCellColors(int row, int col, const QColor &back, const QColor &fore)
{
    if (!validCell(row, col))
        return;
    uint32_t tag = m_store.rowTag(row);
    const bool clearing = !back.isValid() && !fore.isValid();
    if (tag == 0) {
        if (clearing)
            return;
        if (!m_freeTags.empty()) {
            tag = m_freeTags.back();
            m_freeTags.pop_back();
        } else {
            m_colorSets.emplace_back();
            tag = uint32_t(m_colorSets.size());
        }
        m_store.setRowTag(row, tag);
    }
    auto &set = m_colorSets[tag - 1];
    auto it = std::find_if(set.begin(), set.end(), [col](const CellColors &c) { return c.col == col; });
    if (clearing) {
        if (it != set.end())
            set.erase(it);
        if (set.empty()) {
            m_store.setRowTag(row, 0);
            m_freeTags.push_back(tag);
        }
    } else if (it != set.end()) {
        it->back = back;
        it->fore = fore;
    } else {
        set.push_back({col, back, fore});
    }
    notifyCell(row, col, {Qt::BackgroundRole, Qt::ForegroundRole});
}

GridModel::RowColours GridModel::rowColours(int row) const
{
    if (row < 0 || row >= Rows())
        return {};
    const uint32_t tag = m_store.rowTag(row);
    return tag == 0 ? RowColours() : m_colorSets[tag - 1];
}

void GridModel::setRowColours(int row, const RowColours &colours)
{
    for (const CellColour &c : colours)
        setCellColors(row, c.col, c.back, c.fore);
}

std::vector<std::pair<int64_t, GridModel::RowColours>> GridModel::detachColours(int firstRow, int lastRow)
{
    std::vector<std::pair<int64_t, RowColours>> colours;
    if (m_freeTags.size() == m_colorSets.size())
        return colours; // no row has colours
    for (int r = firstRow; r <= lastRow; ++r) {
        if (m_store.rowTag(r) != 0)
            colours.emplace_back(r, rowColours(r));
    }
    releaseTags(firstRow, lastRow);
    return colours;
}

void GridModel::attachColours(const std::vector<std::pair<int64_t, RowColours>> &colours, int64_t offset)
{
    for (const auto &[row, cells] : colours)
        setRowColours(int(row + offset), cells);
}

void GridModel::releaseTags(int firstRow, int lastRow)
{
    if (m_freeTags.size() == m_colorSets.size())
        return; // no row has colours
    for (int r = firstRow; r <= lastRow; ++r) {
        const uint32_t tag = m_store.rowTag(r);
        if (tag != 0) {
            m_colorSets[tag - 1].clear();
            m_freeTags.push_back(tag);
            m_store.setRowTag(r, 0);
        }
    }
}
