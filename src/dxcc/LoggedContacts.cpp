#include "LoggedContacts.h"
#include "CallIndex.h"
#include "adif/AdifFields.h"
#include "adif/BandTable.h"
#include "adif/ModeTable.h"
#include "common/Blanks.h"
#include "common/GridModel.h"

using namespace adif;

namespace {

bool sameTrimmedLetters(std::string_view a, std::string_view b)
{
    a = trimmed(a);
    b = trimmed(b);
    if (a.size() != b.size())
        return false;
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    for (size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

} // namespace

LoggedContacts::LoggedContacts(CallIndex &index, const GridModel &table, const QLocale &locale)
    : m_index(index), m_table(table), m_dates(locale)
{
}

LoggedContacts::Key LoggedContacts::keyOf(std::string_view date, std::string_view time, std::string_view frequency,
                                          std::string_view mode) const
{
    Key key;
    Day day;
    TypedTime clock;
    key.timed = m_dates.date(date, day) && m_dates.time(time, clock);
    key.minute = ((int64_t(day.year) * 12 + day.month) * 31 + day.day) * 1440 + clock.hour * 60 + clock.minute;
    key.band = bandOfFrequency(frequency);
    key.date = date;
    key.time = time;
    key.mode = mode;
    return key;
}

bool LoggedContacts::anyOf(const std::vector<int> &rows, const Key &key) const
{
    const GridStore &store = m_table.store();
    for (int row : rows) {
        const Key other = keyOf(store.cell(row, Date), store.cell(row, Time), store.cell(row, Frequency),
                                store.cell(row, Mode));
        const bool sameStart = key.timed && other.timed ? key.minute == other.minute
                                                        : key.date == other.date && key.time == other.time;
        if (sameStart && key.band == other.band && sameTrimmedLetters(key.mode, other.mode))
            return true;
    }
    return false;
}

bool LoggedContacts::contains(const std::string_view *cells)
{
    // Only the call's rows on the same band in the same class of mode are read, and their dates
    // only when there are any: the index knows each row's band and class.
    std::string buffer;
    const std::string_view call = callkey::normalize(cells[Call], buffer);
    const int band = bandOfFrequency(cells[Frequency]);
    const auto mode = uint8_t(modeClassOf(cells[Mode]));
    std::vector<int> rows;
    m_index.rowsOfKey(call, rows, [&](const CallIndex::Contact &c) { return c.band == band && c.mode == mode; });
    return !rows.empty() && anyOf(rows, keyOf(cells[Date], cells[Time], cells[Frequency], cells[Mode]));
}

std::vector<int64_t> LoggedContacts::alreadyIn(const GridStore &rows)
{
    std::vector<int64_t> found;
    std::string_view cells[kColumns];
    for (int64_t r = 0; r < rows.rows(); ++r) {
        rows.rowCells(r, cells);
        if (contains(cells))
            found.push_back(r);
    }
    return found;
}
