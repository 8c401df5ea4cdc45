#include "Confirmations.h"
#include "adif/AdifFields.h"
#include "adif/BandTable.h"
#include "adif/ModeTable.h"
#include "common/GridModel.h"
#include "dxcc/CallIndex.h"
#include "dxcc/CallKeys.h"
#include <algorithm>
#include <bitset>
#include <climits>
#include <string>
#include <thread>

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

namespace {

// A confirmed record that can be matched, and where its call sign's key lies.
struct Wanted
{
    uint64_t hash;
    int64_t at; // UTC seconds
    uint32_t record;
    uint32_t keyAt, keySize;
    int8_t band;
    uint8_t mode;
};

// A call of the log signed with a portable suffix, by the hash of the call without it.
struct Portable
{
    uint64_t hash;
    size_t group; // where the index keeps its contacts
    uint32_t keyAt, keySize;
};

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

// A band (-1 for none) and class of mode as one small number.
constexpr size_t kKinds = 256;
size_t kindOf(int band, int mode)
{
    return (size_t(band + 1) * 4 + size_t(mode)) % kKinds;
}

// How far a contact's local time may lie from a record's UTC: the largest offset, and more.
constexpr int64_t kNear = 2 * 86400;

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

// What matching decided for a record: the contact it wants, and whether that one is "SI".
struct Choice
{
    uint32_t record;
    int row;
    bool confirmed;
};

// The records' runs of one hash matched against the index, a range of runs at a time. Only
// reads what it is given, so two ranges may be matched at once.
struct RunMatcher
{
    std::vector<Wanted> &wanted; // a range's own runs are written to
    const std::string &keys, &keysLater; // those of the records before `split`, and after
    uint32_t split;
    const std::vector<Portable> &portable;
    const std::string &portableKeys;
    CallIndex &index;
    const GridStore &log;
    bool timesAgree; // the index reads "Fecha" and "Hora" as the clock does
    std::vector<size_t> runStarts, runGroups;

    std::string_view keyOf(const Wanted &w) const
    {
        return std::string_view(w.record < split ? keys : keysLater).substr(w.keyAt, w.keySize);
    }
    std::string_view keyOf(const Portable &p) const
    {
        return std::string_view(portableKeys).substr(p.keyAt, p.keySize);
    }

    void match(size_t firstRun, size_t endRun, const ContactClock &clock, std::vector<Choice> &choicesOut)
    {
        std::vector<Choice> choices; // handed over at the end, as readWanted() does
        struct Candidate
        {
            int row;
            CallIndex::Contact contact;
            int64_t utc; // kUnread until wanted
        };
        std::vector<Candidate> candidates;
        std::vector<const Wanted *> group;
        constexpr int64_t kUnread = INT64_MIN, kNoTime = INT64_MIN + 1;
        // The index's day rules out most rows unread, and its time spares reading the rest.
        const auto utcOf = [&](Candidate &c) {
            int64_t when;
            if (timesAgree && CallIndex::localSeconds(c.contact, when))
                c.utc = clock.utcOfLocal(when);
            else if (timesAgree && c.contact.local == CallIndex::kNoDate)
                c.utc = kNoTime;
            else
                c.utc = clock.utcOf(log.cellFromAnyThread(c.row, Column::Date),
                                    log.cellFromAnyThread(c.row, Column::Time), when)
                            ? when
                            : kNoTime;
        };
        constexpr size_t kBoundsAhead = 16, kContactsAhead = 8;
        auto nextPortable = portable.cbegin();
        if (firstRun < endRun) {
            const uint64_t firstHash = wanted[runStarts[firstRun]].hash;
            nextPortable = std::lower_bound(portable.cbegin(), portable.cend(), firstHash,
                                            [](const Portable &p, uint64_t h) { return p.hash < h; });
        }
        for (size_t run = firstRun; run < endRun; ++run) {
            if (run + kBoundsAhead < endRun && runGroups[run + kBoundsAhead] != CallIndex::kNoGroup)
                index.prefetchGroup(runGroups[run + kBoundsAhead]);
            if (run + kContactsAhead < endRun && runGroups[run + kContactsAhead] != CallIndex::kNoGroup)
                index.prefetchContacts(runGroups[run + kContactsAhead]);
            const size_t from = runStarts[run], to = runStarts[run + 1];
            // Two calls may share a hash: each key of the run on its own.
            for (size_t k = from; k < to; ++k) {
                if (!wanted[k].keySize)
                    continue;
                const std::string_view key = keyOf(wanted[k]);
                group.clear();
                for (size_t j = k; j < to; ++j) {
                    if (wanted[j].keySize && (j == k || keyOf(wanted[j]) == key)) {
                        group.push_back(&wanted[j]);
                        if (j != k)
                            wanted[j].keySize = 0; // taken with this key
                    }
                }
                // Only rows some record of the call could want are read.
                std::bitset<kKinds> kinds;
                for (const Wanted *w : group)
                    kinds.set(kindOf(w->band, w->mode));
                // Mostly a call has one record: its test then has no loop and no branch of its own.
                const Wanted *only = group.size() == 1 ? group.front() : nullptr;
                const bool agree = timesAgree;
                const auto mayMatch = [&group, &kinds, only, agree](const CallIndex::Contact &c) -> bool {
                    if (only)
                        return (c.band == only->band) & (c.mode == only->mode)
                               & (!agree | CallIndex::mayBeNear(c, only->at, kNear));
                    if (!kinds.test(kindOf(c.band, c.mode)))
                        return false;
                    for (const Wanted *w : group) {
                        if (c.band == w->band && c.mode == w->mode && (!agree || CallIndex::mayBeNear(c, w->at, kNear)))
                            return true;
                    }
                    return false;
                };
                const auto add = [&candidates](int row, const CallIndex::Contact &c) {
                    candidates.push_back({row, c, kUnread});
                };
                candidates.clear();
                index.contactsOfGroup(runGroups[run], key, mayMatch, add);
                index.contactsOfGroup(CallIndex::kRecentRows, key, mayMatch, add);
                if (baseOf(key).size() == key.size()) {
                    // The calls come in the order of their hashes: the list is walked once.
                    const uint64_t hash = wanted[k].hash;
                    while (nextPortable != portable.end() && nextPortable->hash < hash)
                        ++nextPortable;
                    for (auto other = nextPortable; other != portable.end() && other->hash == hash; ++other) {
                        if (baseOf(keyOf(*other)) == key)
                            index.contactsOfGroup(other->group, keyOf(*other), mayMatch, add);
                    }
                }
                for (const Wanted *w : group) {
                    const Candidate *best = nullptr;
                    int64_t bestGap = kConfirmationWindow + 1;
                    for (Candidate &c : candidates) {
                        if (c.contact.band != w->band || c.contact.mode != w->mode)
                            continue;
                        if (c.utc == kUnread)
                            utcOf(c);
                        if (c.utc == kNoTime)
                            continue;
                        const int64_t gap = c.utc > w->at ? c.utc - w->at : w->at - c.utc;
                        if (gap < bestGap || (gap == bestGap && best && c.row < best->row)) {
                            best = &c;
                            bestGap = gap;
                        }
                    }
                    if (best)
                        choices.push_back({w->record, best->row, best->contact.confirmed});
                }
            }
        }
        choicesOut = std::move(choices);
    }
};

// Where to split the runs so that each half holds about as many records.
size_t halfOfRuns(const std::vector<size_t> &runStarts)
{
    const size_t records = runStarts.back();
    return size_t(std::lower_bound(runStarts.begin(), runStarts.end() - 1, records / 2) - runStarts.begin());
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
    {
        std::thread other([&] {
            findPortable(index, portable, portableKeys);
            readWanted(records, split, count, outcome, later, keysLater);
        });
        readWanted(records, 0, split, outcome, earlier, keys);
        other.join();
    }
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
        std::thread other([&] { matcher.match(half, runs, ownClock, second); });
        matcher.match(0, half, clock, first);
        other.join();
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
