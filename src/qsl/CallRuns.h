#pragma once
// Confirmations matched call by call: the records sorted by the hash of their call sign come in
// runs of one hash, and each run is matched against the call-sign index's contacts of that call.
#include "ContactClock.h"
#include "dxcc/CallIndex.h"
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class GridStore;

namespace confirmation {

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

// What matching decided for a record: the contact it wants, and whether that one is "SI".
struct Choice
{
    uint32_t record;
    int row;
    bool confirmed;
};

// The call sign without a portable suffix; the whole call when it has none.
std::string_view baseOf(std::string_view key);

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

    // The runs [firstRun, endRun): what each of their records wants, in the order of the runs.
    void match(size_t firstRun, size_t endRun, const ContactClock &clock, std::vector<Choice> &choices);
};

} // namespace confirmation
