#include "JournalReplay.h"
#include <map>
#include <set>

using journal::Change;
using journal::Op;

namespace {

GridModel::Contents contentsOf(const std::vector<std::vector<std::string>> &rows, int cols)
{
    GridModel::Contents contents(cols);
    std::vector<std::string_view> cells;
    for (const auto &row : rows) {
        cells.assign(row.begin(), row.end());
        contents.rows.appendRow(cells.data(), std::min(int(cells.size()), cols));
    }
    return contents;
}

class Replay
{
public:
    Replay(TableEditor &editor, const JournalFileReader &readFile) : m_editor(editor), m_readFile(readFile) {}

    bool start(const TableOrigin &origin, ChangeId first)
    {
        m_next = first;
        if (origin.fromFile) {
            GridStore rows(m_editor.table().Cols());
            if (!read(origin.file, rows))
                return false;
            ChangeId ignored;
            m_editor.replaceFromFile(std::move(rows), origin.file, &ignored);
        }
        if (origin.numbers.empty())
            m_editor.numberRows();
        else
            m_editor.setNumbers(origin.numbers);
        m_editor.setChrome(origin.title, origin.saveEnabled);
        return true;
    }

    void needs(const Change &c)
    {
        if ((c.op == Op::RowsRestored || c.op == Op::TableRestored) && !c.hasRows)
            m_needed.insert(c.earlier);
    }

    bool apply(const Change &c)
    {
        GridModel &table = m_editor.table();
        const int rows = table.Rows();
        switch (c.op) {
        case Op::RowInserted: {
            if (c.row < 1 || c.row > rows)
                return damaged();
            const std::vector<std::string_view> cells(c.cells.begin(), c.cells.end());
            m_editor.insertRow(int(c.row), cells.data(), std::min(int(cells.size()), table.Cols()));
            return true;
        }
        case Op::RowRemoved:
            if (c.row < 1 || c.row >= rows)
                return damaged();
            m_editor.removeRow(int(c.row));
            return true;
        case Op::RowsNumbered:
            m_editor.numberRows();
            return true;
        case Op::NumbersSet:
            if (int64_t(c.numbers.size()) > rows - 1)
                return damaged();
            m_editor.setNumbers(c.numbers);
            return true;
        case Op::CellsSet:
            for (const CellText &t : c.texts) {
                if (t.row < 1 || t.row >= rows || t.col < 0 || t.col >= table.Cols())
                    return damaged();
            }
            m_editor.setCells(c.texts);
            return true;
        case Op::RowsPermuted:
            if (c.row < 1 || c.row + int64_t(c.numbers.size()) > rows)
                return damaged();
            m_editor.permute(int(c.row), c.numbers);
            return true;
        case Op::ChromeSet:
            m_editor.setChrome(c.title, c.saveEnabled);
            return true;
        case Op::RowsCut: {
            if (c.row < 1 || c.row >= rows)
                return damaged();
            ChangeId ignored;
            keep(m_next++, m_editor.cutRows(int(c.row), &ignored));
            return true;
        }
        case Op::RowsRestored: {
            GridModel::Contents back(table.Cols());
            if (!takeBack(c, back))
                return false;
            ChangeId ignored;
            m_editor.restoreRows(std::move(back), kNoChange, &ignored);
            ++m_next;
            return true;
        }
        case Op::RowsReadFrom:
        case Op::RowsReadSkipping: {
            GridStore read(table.Cols());
            if (!this->read(c.file, read))
                return false;
            ChangeId ignored;
            m_editor.appendFromFile(std::move(read), c.file, &ignored);
            ++m_next;
            return true;
        }
        case Op::TableReadFrom: {
            GridStore read(table.Cols());
            if (!this->read(c.file, read))
                return false;
            ChangeId ignored;
            keep(m_next++, m_editor.replaceFromFile(std::move(read), c.file, &ignored));
            return true;
        }
        case Op::TableEmptied: {
            ChangeId ignored;
            keep(m_next++, m_editor.empty(&ignored));
            return true;
        }
        case Op::TableRestored: {
            GridModel::Contents back(table.Cols());
            if (!takeBack(c, back) || back.rows.rows() < 1)
                return damaged();
            ChangeId ignored;
            keep(m_next++, m_editor.restoreTable(std::move(back), kNoChange, &ignored));
            return true;
        }
        }
        return damaged();
    }

    ChangeId next() const { return m_next; }
    const QString &problem() const { return m_problem; }

private:
    bool damaged()
    {
        m_problem = QStringLiteral("el registro está dañado");
        return false;
    }

    bool read(const FileSource &file, GridStore &rows)
    {
        return m_readFile(file, rows, m_problem);
    }

    // What an earlier change took away is kept only when a later one brings it back.
    void keep(ChangeId id, GridModel::Contents &&contents)
    {
        if (m_needed.count(id))
            m_kept.emplace(id, std::move(contents));
    }

    bool takeBack(const Change &c, GridModel::Contents &out)
    {
        if (c.hasRows) {
            out = contentsOf(c.rows, m_editor.table().Cols());
            return true;
        }
        const auto it = m_kept.find(c.earlier);
        if (it == m_kept.end())
            return damaged();
        out = std::move(it->second);
        m_kept.erase(it);
        return true;
    }

    TableEditor &m_editor;
    const JournalFileReader &m_readFile;
    ChangeId m_next = 0;
    std::set<ChangeId> m_needed;
    std::map<ChangeId, GridModel::Contents> m_kept;
    QString m_problem;
};

} // namespace

ReplayResult replayJournal(const journal::Read &read, TableEditor &editor, const JournalFileReader &readFile)
{
    ReplayResult result;
    Replay replay(editor, readFile);
    for (const journal::Frame &frame : read.frames) {
        for (const Change &c : frame.changes)
            replay.needs(c);
    }
    if (!replay.start(read.header.origin, read.header.firstChange)) {
        result.problem = replay.problem();
        return result;
    }
    for (const journal::Frame &frame : read.frames) {
        for (const Change &c : frame.changes) {
            if (!replay.apply(c)) {
                result.problem = replay.problem();
                return result;
            }
        }
    }
    result.ok = true;
    result.nextChange = replay.next();
    return result;
}
