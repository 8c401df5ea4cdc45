#include "CallRuns.h"
#include "Confirmations.h"
#include "adif/AdifFields.h"
#include "common/GridStore.h"
#include <algorithm>
#include <bitset>
#include <climits>

namespace confirmation {
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

// A band (-1 for none) and class of mode as one small number.
constexpr size_t kKinds = 256;
size_t kindOf(int band, int mode)
{
    return (size_t(band + 1) * 4 + size_t(mode)) % kKinds;
}

// How far a contact's local time may lie from a record's UTC: the largest offset, and more.
constexpr int64_t kNear = 2 * 86400;

} // namespace

std::string_view baseOf(std::string_view key)
{
    const size_t slash = key.rfind('/');
    return slash != std::string_view::npos && isPortableSuffix(key.substr(slash + 1)) ? key.substr(0, slash) : key;
}

void RunMatcher::match(size_t firstRun, size_t endRun, const ContactClock &clock,
                       std::vector<Choice> &choicesOut)
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

} // namespace confirmation
