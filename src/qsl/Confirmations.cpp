#include "Confirmations.h"
#include "CallRuns.h"
#include "adif/AdifFields.h"
#include "adif/BandTable.h"
#include "adif/ModeTable.h"
#include "common/GridModel.h"
#include "dxcc/CallIndex.h"
#include "dxcc/CallKeys.h"
#include <algorithm>
#include <string>
#include <system_error>
#include <thread>

namespace {

using adif::Column;
using namespace confirmation;

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

// The items of `first` and then `more`, by hash, and by `before` within one: spread by the
// hash's top bits, which keeps the order they came in, then each small bucket sorted.
template<class T, class Before>
std::vector<T> sortedByHash(const std::vector<T> &first, const std::vector<T> &more, Before before)
{
    constexpr int kBits = 12;
    std::vector<uint32_t> starts((size_t(1) << kBits) + 1, 0);
    for (const std::vector<T> *part : {&first, &more}) {
        for (const T &item : *part)
            ++starts[size_t(item.hash >> (64 - kBits)) + 1];
    }
    for (size_t b = 1; b < starts.size(); ++b)
        starts[b] += starts[b - 1];
    std::vector<T> sorted(first.size() + more.size());
    std::vector<uint32_t> fill(starts.begin(), starts.end() - 1);
    for (const std::vector<T> *part : {&first, &more}) {
        for (const T &item : *part)
            sorted[fill[size_t(item.hash >> (64 - kBits))]++] = item;
    }
    for (size_t b = 0; b + 1 < starts.size(); ++b) {
        std::sort(sorted.begin() + starts[b], sorted.begin() + starts[b + 1], [&before](const T &x, const T &y) {
            return x.hash != y.hash ? x.hash < y.hash : before(x, y);
        });
    }
    return sorted;
}

// The log's calls signed with a portable suffix, sorted by the hash of the call without it:
// one search of the index's calls, so a record looks up only the forms that are there.
void findPortable(CallIndex &index, std::vector<Portable> &portableOut, std::string &keysOut)
{
    std::string keys;
    std::vector<Portable> portable;
    index.eachCallHolding('/', [&](std::string_view key, size_t group) {
        const std::string_view base = baseOf(key);
        if (base.size() == key.size())
            return;
        portable.push_back({callkey::hash(base), group, uint32_t(keys.size()), uint32_t(key.size())});
        keys.append(key);
    });
    portableOut = sortedByHash(portable, {}, [](const Portable &a, const Portable &b) { return a.keyAt < b.keyAt; });
    keysOut = std::move(keys);
}

// What became of a record.
enum Outcome : uint8_t { Unmatched, NotConfirmed, Already, Marked };

// The records [from, to) that can match, with their keys one after another in `keys`. Reads
// nothing but the records, so two ranges may be read at once.
void readWanted(const GridStore &records, size_t from, size_t to, std::vector<Outcome> &outcome,
                std::vector<Wanted> &wantedOut, std::string &keysOut)
{
    // Filled here and handed over at the end: the caller's vectors may share a cache line with
    // those of the other range.
    std::vector<Wanted> wanted;
    std::string keys;
    wanted.reserve(to - from);
    keys.reserve((to - from) * 8);
    std::string buffer;
    std::string_view cells[adif::kColumns];
    RecentModes<classOf> modes;
    for (size_t r = from; r < to; ++r) {
        records.rowCellsFromAnyThread(int64_t(r), cells);
        if (!confirms(cells[Column::Received])) {
            outcome[r] = NotConfirmed;
            continue;
        }
        const std::string_view key = callkey::normalize(cells[Column::Call], buffer);
        adif::Day day;
        adif::TypedTime time;
        const int band = bandOf(cells[Column::Frequency]);
        const ModeClass mode = modes.of(cells[Column::Mode]);
        if (key.empty() || band < 0 || mode == ModeClass::Unknown || !adif::parseAdifDate(cells[Column::Date], day)
            || !adif::parseAdifTime(cells[Column::Time], time))
            continue;
        wanted.push_back({callkey::hash(key), secondsOf(day, time), uint32_t(r), uint32_t(keys.size()),
                          uint32_t(key.size()), int8_t(band), uint8_t(mode)});
        keys.append(key);
    }
    wantedOut = std::move(wanted);
    keysOut = std::move(keys);
}

// Where to split the runs so that each half holds about as many records.
size_t halfOfRuns(const std::vector<size_t> &runStarts)
{
    const size_t records = runStarts.back();
    return size_t(std::lower_bound(runStarts.begin(), runStarts.end() - 1, records / 2) - runStarts.begin());
}

// `other` on a thread of its own while `mine` runs on this one; both here, one after the
// other, when the system will not start a thread.
template<class Other, class Mine>
void runBeside(const Other &other, const Mine &mine)
{
    std::thread thread;
    try {
        thread = std::thread(other);
    } catch (const std::system_error &) {
        other();
    }
    mine();
    if (thread.joinable())
        thread.join();
}

} // namespace

ConfirmationMatch matchConfirmations(const GridStore &records, CallIndex &index, const GridModel &table,
                                     const ContactClock &clock)
{
    ConfirmationMatch match;
    match.read = records.rows();
    // The records that can match, read once, `outcome` saying per record what became of it;
    // meanwhile the log's portable calls are found. Two threads: one finds those (the only one
    // to touch the index, which it may have to build first) and reads the later records, the
    // other reads the earlier ones.
    const size_t count = size_t(records.rows()), split = count * 2 / 3;
    std::vector<Outcome> outcome(count, Unmatched);
    std::vector<int> markedRow(count, 0);
    std::vector<Wanted> earlier, later;
    std::string keys, keysLater, portableKeys;
    std::vector<Portable> portable;
    runBeside(
        [&] {
            findPortable(index, portable, portableKeys);
            readWanted(records, split, count, outcome, later, keysLater);
        },
        [&] { readWanted(records, 0, split, outcome, earlier, keys); });
    // The records of one call sign together, in the file's order: the call's rows are gathered
    // once for all of them, and of two records wanting one contact the first takes it.
    std::vector<Wanted> wanted =
        sortedByHash(earlier, later, [](const Wanted &a, const Wanted &b) { return a.record < b.record; });
    // The runs of one hash and their groups in the index, found in one pass, so that each
    // group's contacts can be fetched from memory while earlier ones are looked at.
    RunMatcher matcher{wanted, keys, keysLater, uint32_t(split), portable, portableKeys, index, table.store(),
                       index.dateLocale() == clock.locale(), {}, {}};
    size_t hint = 0;
    for (size_t from = 0; from < wanted.size();) {
        matcher.runStarts.push_back(from);
        matcher.runGroups.push_back(index.groupOfHash(wanted[from].hash, hint));
        while (++from < wanted.size() && wanted[from].hash == wanted[matcher.runStarts.back()].hash) {
        }
    }
    matcher.runStarts.push_back(wanted.size());
    // The runs in two halves, the second on a thread of its own with a clock of its own (the
    // clock remembers what it last read). Each half only reads the log and the index; which
    // contact a record takes is settled afterwards, in the order of the runs.
    const size_t runs = matcher.runGroups.size(), half = halfOfRuns(matcher.runStarts);
    std::vector<Choice> first, second;
    {
        clock.utcOfLocal(0); // the zone's changes read once, into both clocks
        const ContactClock ownClock = clock;
        runBeside([&] { matcher.match(half, runs, ownClock, second); }, [&] { matcher.match(0, half, clock, first); });
    }
    std::vector<bool> taken(size_t(std::max(table.Rows(), 1)));
    for (const std::vector<Choice> *choices : {&first, &second}) {
        for (const Choice &c : *choices) {
            if (c.confirmed || taken[size_t(c.row)]) {
                outcome[c.record] = Already;
            } else {
                taken[size_t(c.row)] = true;
                outcome[c.record] = Marked;
                markedRow[c.record] = c.row;
            }
        }
    }

    std::string_view cells[adif::kColumns];
    for (int64_t r = 0; r < records.rows(); ++r) {
        switch (outcome[size_t(r)]) {
        case Unmatched:
            records.rowCells(r, cells);
            match.unmatched.push_back(shown(cells));
            break;
        case NotConfirmed:
            ++match.notConfirmed;
            break;
        case Already:
            ++match.already;
            break;
        case Marked:
            match.toMark.push_back(markedRow[size_t(r)]);
            break;
        }
    }
    return match;
}
