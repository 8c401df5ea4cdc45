#include "Confirmations.h"
#include "adif/AdifFields.h"
#include "adif/BandTable.h"
#include "adif/ModeTable.h"
#include "common/GridModel.h"
#include "dxcc/CallIndex.h"
#include "dxcc/CallKeys.h"
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace {

using adif::Column;

// Suffixes a station signs while away from home: /P and its kin, not a call area.
bool isPortableSuffix(std::string_view s)
{
    for (std::string_view p : {"P", "M", "MM", "AM", "QRP", "A"}) {
        if (s == p)
            return true;
    }
    return false;
}

// The call sign without a portable suffix; the whole call when it has none.
std::string_view baseOf(std::string_view key)
{
    const size_t slash = key.rfind('/');
    return slash != std::string_view::npos && isPortableSuffix(key.substr(slash + 1)) ? key.substr(0, slash) : key;
}

// QSL_RCVD Y (or V, verified) says confirmed; a file of confirmations may leave it out.
bool confirms(std::string_view received)
{
    return received.empty() || (received.size() == 1 && ((received[0] | 0x20) == 'y' || (received[0] | 0x20) == 'v'));
}

int bandOf(std::string_view text)
{
    const int band = bandOfFrequency(text);
    return band >= 0 ? band : bandOfName(text);
}

// LoTW reports some contacts by their mode group alone.
ModeClass classOf(std::string_view mode)
{
    const ModeClass c = modeClassOf(mode);
    if (c != ModeClass::Unknown)
        return c;
    std::string upper(mode);
    for (char &ch : upper)
        ch = ch >= 'a' && ch <= 'z' ? char(ch - 'a' + 'A') : ch;
    return upper == "DATA" ? ModeClass::Digital : upper == "PHONE" ? ModeClass::Phone : ModeClass::Unknown;
}

QString text(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

UnmatchedRecord shown(const std::string_view *cells)
{
    UnmatchedRecord r{text(cells[Column::Call]).trimmed(), text(cells[Column::Date]), text(cells[Column::Time]),
                      text(cells[Column::Frequency]), text(cells[Column::Mode])};
    adif::Day day;
    adif::TypedTime time;
    if (adif::parseAdifDate(cells[Column::Date], day))
        r.date = QString::asprintf("%04d-%02d-%02d", day.year, day.month, day.day);
    if (adif::parseAdifTime(cells[Column::Time], time))
        r.time = QString::asprintf("%02d:%02d", time.hour, time.minute);
    if (const int band = bandOf(cells[Column::Frequency]); band >= 0)
        r.band = bandName(band);
    return r;
}

} // namespace

ConfirmationMatch matchConfirmations(const GridStore &records, CallIndex &index, const GridModel &table,
                                     const ContactClock &clock)
{
    ConfirmationMatch match;
    match.read = records.rows();
    // The log's calls signed with a portable suffix, by the call without it: one pass over the
    // index's calls, so a record looks up only the forms that are there.
    std::unordered_map<std::string, std::vector<std::string>> portable;
    index.eachCall([&portable](std::string_view key) {
        const std::string_view base = baseOf(key);
        if (base.size() != key.size())
            portable[std::string(base)].emplace_back(key);
    });

    std::unordered_set<int> taken;
    std::vector<int> rows;
    std::string buffer;
    std::string_view cells[adif::kColumns];
    const GridStore &log = table.store();
    for (int64_t r = 0; r < records.rows(); ++r) {
        records.rowCells(r, cells);
        if (!confirms(cells[Column::Received])) {
            ++match.notConfirmed;
            continue;
        }
        const std::string key(callkey::normalize(cells[Column::Call], buffer));
        adif::Day day;
        adif::TypedTime time;
        const int band = bandOf(cells[Column::Frequency]);
        const ModeClass mode = classOf(cells[Column::Mode]);
        int best = 0;
        if (!key.empty() && band >= 0 && mode != ModeClass::Unknown && adif::parseAdifDate(cells[Column::Date], day)
            && adif::parseAdifTime(cells[Column::Time], time)) {
            const int64_t at = secondsOf(day, time);
            // Band and class of mode come from the index: only those rows' texts are read.
            const auto sameKind = [band, mode](const CallIndex::Contact &c) {
                return c.band == band && ModeClass(c.mode) == mode;
            };
            rows.clear();
            index.rowsOfKey(key, rows, sameKind);
            if (baseOf(key).size() == key.size()) {
                if (const auto found = portable.find(key); found != portable.end()) {
                    for (const std::string &other : found->second)
                        index.rowsOfKey(other, rows, sameKind);
                }
            }
            int64_t bestGap = kConfirmationWindow + 1;
            for (int row : rows) {
                int64_t when;
                if (!clock.utcOf(log.cell(row, Column::Date), log.cell(row, Column::Time), when))
                    continue;
                const int64_t gap = when > at ? when - at : at - when;
                if (gap < bestGap || (gap == bestGap && row < best)) {
                    best = row;
                    bestGap = gap;
                }
            }
        }
        if (best == 0)
            match.unmatched.push_back(shown(cells));
        else if (index.contactAt(best).confirmed || !taken.insert(best).second)
            ++match.already;
        else
            match.toMark.push_back(best);
    }
    return match;
}
