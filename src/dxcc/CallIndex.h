#pragma once
// What the log knows about each call sign and DXCC entity, kept up to date with the contact
// table through the model's own change signals. Looking a call sign up touches that call's
// rows only. The index is one pass over the table and a sort: each row's call sign reduced to
// a 64-bit hash, the rows ordered by it, so the rows of one call lie together. Added rows are
// followed one by one; after a change that moves rows or changes a call sign (delete, sort,
// paste, open, new) the index is built afresh in small steps while the program is idle, so a
// million contacts never hold the window up; a question asked before it is done finishes it.
#include "CallKeys.h"
#include "adif/AdifDates.h"
#include "adif/ModeTable.h"
#include <QLocale>
#include <QObject>
#include <QTimer>
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class CallResolver;
class GridModel;

class CallIndex : public QObject
{
    Q_OBJECT
public:
    explicit CallIndex(const GridModel &table, QObject *parent = nullptr);
    ~CallIndex() override;

    // Without a country file every call sign is of no entity.
    void setResolver(std::shared_ptr<const CallResolver> resolver);
    const CallResolver *resolver() const { return m_resolver.get(); }

    // What the statistics and the confirmations need of a contact.
    struct Contact
    {
        int8_t band;           // -1 for none
        uint8_t mode;          // ModeClass
        bool confirmed;        // "Recibida" is "SI"
        uint8_t keyClass;      // callkey::exactClass() of its call sign
        int32_t local;         // "Fecha" and "Hora" in seconds from kLocalEpoch; kNoDate, kFarDate
    };
    // "Hora" that cannot be read counts as midnight; a date too far from 2000 for 32 bits is
    // kFarDate, and its row has to be read.
    static constexpr int32_t kNoDate = INT32_MIN, kFarDate = INT32_MIN + 1;
    static constexpr int64_t kLocalEpoch = 946684800; // 2000-01-01 00:00, in seconds from 1970
    // The contact's local date and time in seconds from 1970-01-01 00:00, when the index has it.
    static bool localSeconds(const Contact &c, int64_t &seconds)
    {
        seconds = kLocalEpoch + c.local;
        return c.local != kNoDate && c.local != kFarDate;
    }
    // Whether a contact's local date and time may lie within `slack` seconds of `seconds` (from
    // 1970): never when its date cannot be read, always when the index does not hold it.
    static bool mayBeNear(const Contact &c, int64_t seconds, int64_t slack)
    {
        // Without branches: asked of every contact of a call, and true or false at random.
        const int64_t gap = kLocalEpoch + c.local - seconds;
        const bool near = uint64_t(gap + slack) <= uint64_t(2 * slack);
        return (c.local == kFarDate) | ((c.local != kNoDate) & near);
    }
    // How "Fecha" is read (the system's short date by default); the index is built again.
    void setDateLocale(const QLocale &locale);
    const QLocale &dateLocale() const { return m_dateLocale; }

    // Grid rows of a call sign as typed (any case, blanks around it), in no particular order.
    std::vector<int> rowsOf(QStringView call);
    // The same for a key already in callkey::normalize()'s form, added to `rows`: only the
    // rows whose contact `keep` accepts, asked before the row's text is read (that costs more).
    // Keys asked in the order of their hashes may pass `hint` (0 at first): the search then
    // starts where the last one ended.
    template<class Keep>
    void rowsOfKey(std::string_view key, std::vector<int> &rows, Keep &&keep, size_t *hint = nullptr)
    {
        contactsOfKey(key, keep, [&rows](int row, const Contact &) { rows.push_back(row); }, hint);
    }
    // The same, each row given to `add` with what the index holds of it: add(row, contact).
    template<class Keep, class Add>
    void contactsOfKey(std::string_view key, Keep &&keep, Add &&add, size_t *hint = nullptr)
    {
        ensureBuilt();
        const uint64_t hash = callkey::hash(key);
        const size_t at = hint ? groupAfter(hash, *hint) : groupFrom(hash);
        if (hint)
            *hint = at;
        if (at < m_groupHashes.size() && m_groupHashes[at] == hash)
            contactsOfGroup(at, key, keep, add);
        contactsOfGroup(kRecentRows, key, keep, add);
    }
    // Where eachCallHolding() found a key: a group of the last build, or the rows added since.
    static constexpr size_t kRecentRows = SIZE_MAX, kNoGroup = SIZE_MAX - 1;
    // The group of a call sign's hash (kNoGroup when the last build has none), for hashes asked
    // in their order: the search starts at `hint` (0 at first), and leaves it where it ended.
    size_t groupOfHash(uint64_t hash, size_t &hint)
    {
        ensureBuilt();
        hint = groupAfter(hash, hint);
        return hint < m_groupHashes.size() && m_groupHashes[hint] == hash ? hint : kNoGroup;
    }
    // Asks the processor to read a group's bounds, or its contacts, ahead of contactsOfGroup():
    // a caller that knows the groups it will want hides the wait for memory.
    void prefetchGroup(size_t group) const { __builtin_prefetch(&m_groups[group]); }
    void prefetchContacts(size_t group) const
    {
        __builtin_prefetch(&m_grouped[m_groups[group].begin]);
        __builtin_prefetch(&m_order[m_groups[group].begin]);
    }
    // The contacts of `key` in that place (none for kNoGroup), as contactsOfKey() gives them.
    template<class Keep, class Add>
    void contactsOfGroup(size_t group, std::string_view key, Keep &&keep, Add &&add)
    {
        if (group >= m_groups.size() && (group != kRecentRows || m_recent.empty()))
            return;
        std::string other;
        const uint8_t exact = callkey::exactClass(key);
        const auto take = [&](const Contact &contact, uint32_t index) {
            // A row is the call's only if its text says so: two calls may share a hash, unless
            // both keys are of one exact class.
            if (keep(contact)
                && ((exact && contact.keyClass == exact) || callkey::normalize(cellOf(int(index) + 1), other) == key))
                add(int(index) + 1, contact);
        };
        if (group < m_groups.size()) {
            for (uint32_t k = m_groups[group].begin; k < m_groups[group].end; ++k)
                take(m_grouped[k], m_order[k]);
        } else if (group == kRecentRows && !m_recent.empty()) {
            if (const auto recent = m_recent.find(callkey::hash(key)); recent != m_recent.end()) {
                for (int i : recent->second.rows)
                    take(m_contacts[size_t(i)], uint32_t(i));
            }
        }
    }
    void rowsOfKey(std::string_view key, std::vector<int> &rows)
    {
        rowsOfKey(key, rows, [](const Contact &) { return true; });
    }
    // What the index holds of a grid row (after rowsOf() or eachCall(), which build it).
    const Contact &contactAt(int row) const { return m_contacts[size_t(row - 1)]; }
    // Every call sign key of the log (one added since the index was built may come twice).
    template<class Visit>
    void eachCall(Visit &&visit)
    {
        ensureBuilt();
        for (size_t i = 0; i < m_groups.size(); ++i)
            visit(std::string_view(m_groupKeys).substr(m_groups[i].key, keyEnd(i) - m_groups[i].key));
        std::string buffer;
        for (const auto &[hash, recent] : m_recent)
            visit(recentKey(recent, buffer));
    }

    // Every call sign key holding `c`, with where its contacts lie: visit(key, group). A key
    // added since the build may come twice, for both places. The keys are searched as one
    // text, so a rare byte costs little more than reading them.
    template<class Visit>
    void eachCallHolding(char c, Visit &&visit)
    {
        ensureBuilt();
        const char *keys = m_groupKeys.data();
        size_t at = 0, group = 0;
        while (at < m_groupKeys.size()) {
            const auto *hit = static_cast<const char *>(std::memchr(keys + at, c, m_groupKeys.size() - at));
            if (!hit)
                break;
            // The group whose key holds it, found in strides from the last one.
            const auto offset = uint32_t(hit - keys);
            size_t step = 1;
            while (group + step < m_groups.size() && m_groups[group + step].key <= offset) {
                group += step;
                step *= 2;
            }
            for (step /= 2; step > 0; step /= 2) {
                if (group + step < m_groups.size() && m_groups[group + step].key <= offset)
                    group += step;
            }
            const uint32_t end = keyEnd(group);
            visit(std::string_view(keys + m_groups[group].key, end - m_groups[group].key), group);
            at = end;
            ++group;
        }
        std::string buffer;
        for (const auto &[hash, recent] : m_recent) {
            const std::string_view key = recentKey(recent, buffer);
            if (key.find(c) != std::string_view::npos)
                visit(key, kRecentRows);
        }
    }

    // Every contact with its call sign's entity (-1 for none) and its grid row.
    template<class Visit>
    void eachContact(Visit &&visit)
    {
        prepareEntities();
        for (const Group &g : m_groups) {
            for (uint32_t k = g.begin; k < g.end; ++k)
                visit(int(g.entity), m_grouped[k], int(m_order[k]) + 1);
        }
        for (const auto &[hash, recent] : m_recent) {
            for (int i : recent.rows)
                visit(int(recent.entity), m_contacts[size_t(i)], i + 1);
        }
    }

    struct Worked
    {
        int contacts = 0;      // of the entity
        bool onBand = false;   // on the band asked about
        bool inMode = false;   // in the class of mode asked about
    };
    Worked workedEntity(int entity, int band, ModeClass mode);

    // Builds the index from the table now, in one go.
    void rebuild();
    bool ready() const { return m_state == State::Ready; }

signals:
    void changed();            // the table changed: what was shown from the index is old

private:
    struct Group
    {
        uint32_t begin, end;   // in m_order
        uint32_t key;          // where its call sign starts in m_groupKeys
        int16_t entity;        // -2 until resolved
    };
    struct Recent
    {
        std::vector<int> rows; // indexes of rows added since the build
        int16_t entity = -2;
    };
    enum class State { Dirty, Building, Ready };
    enum class Phase { Scan, Order, Sort, Group };
    void ensureBuilt();
    size_t groupFrom(uint64_t hash) const;  // the first group whose hash is not below `hash`
    size_t groupAfter(uint64_t hash, size_t from) const; // the same, known to be `from` or later
    std::string_view recentKey(const Recent &recent, std::string &buffer) const;
    uint32_t keyEnd(size_t group) const
    {
        return group + 1 < m_groups.size() ? m_groups[group + 1].key : uint32_t(m_groupKeys.size());
    }
    std::string_view cellOf(int row) const;          // the call sign cell of a grid row
    void startBuild();
    void buildStep(bool toTheEnd);
    void appendRows(int first, int last);
    void updateContact(int row);
    void setContact(size_t index, const Contact &contact);
    Contact contactAt(int row, uint64_t &hash, std::string &buffer);
    int16_t resolve(int row, std::string &buffer) const;
    void prepareEntities();
    void prepareCounts();
    void count(int entity, const Contact &contact, int delta);
    void setDirty();
    uint8_t modeOf(std::string_view text) const;

    const GridModel &m_table;
    QLocale m_dateLocale = QLocale::system();
    std::unique_ptr<adif::DateReader> m_dates;
    std::shared_ptr<const CallResolver> m_resolver;
    State m_state = State::Dirty;
    Phase m_phase = Phase::Scan;
    size_t m_done = 0;                      // rows scanned, or buckets sorted, in this phase
    std::vector<uint32_t> m_buckets;        // starts of the buckets of m_order while sorting
    QTimer *m_idle;                         // the next build step, when nothing else waits
    // Recent mode texts and their class: a log has few modes, and looking one up costs more.
    mutable RecentModes<modeClassOf> m_modes;
    bool m_entitiesReady = false;
    std::vector<Contact> m_contacts;        // per row, index = grid row - 1
    // The same in the order of m_order, so that a call's contacts lie together, and where
    // each row's lies: both for the rows of the last build.
    std::vector<Contact> m_grouped;
    std::vector<uint32_t> m_position;
    std::vector<uint64_t> m_hashes;         // per row: its call sign's hash
    std::vector<uint32_t> m_order;          // row indexes ordered by hash
    std::vector<Group> m_groups;            // runs of one hash in m_order, by hash
    std::vector<uint64_t> m_groupHashes;    // each group's hash, for a search that reads little
    std::string m_rowKeys;                  // while building: every row's call sign, in row order
    std::vector<uint32_t> m_rowKeyEnds;
    std::string m_groupKeys;                // each group's call sign, one after the other
    bool m_countsReady = false;
    std::unordered_map<uint64_t, Recent> m_recent; // rows added since the build, by hash
    // Per entity (index entity + 1, 0 for none): contacts, and contacts per band and mode.
    std::vector<int32_t> m_entityContacts, m_entityBands, m_entityModes;
};
