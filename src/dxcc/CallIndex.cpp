#include "CallIndex.h"
#include "CallKeys.h"
#include "CallResolver.h"
#include "adif/BandTable.h"
#include "common/GridModel.h"
#include <algorithm>

namespace {

constexpr int kCallCol = 1, kDateCol = 9, kTimeCol = 10, kFrequencyCol = 11, kModeCol = 12, kReceivedCol = 15;
constexpr int kModes = 4;
constexpr int16_t kUnresolved = -2;
// More rows added than this since the build: building again is cheaper than following them.
constexpr size_t kMostRecent = 4096;

bool isYes(std::string_view text)
{
    return text.size() == 2 && (text[0] == 'S' || text[0] == 's') && (text[1] == 'I' || text[1] == 'i');
}


} // namespace

CallIndex::CallIndex(const GridModel &table, QObject *parent)
    : QObject(parent), m_table(table), m_dates(std::make_unique<adif::DateReader>(m_dateLocale)),
      m_idle(new QTimer(this))
{
    m_idle->setSingleShot(true);
    m_idle->setInterval(0);
    connect(m_idle, &QTimer::timeout, this, [this] {
        if (m_state == State::Dirty)
            startBuild();
        else if (m_state == State::Building)
            buildStep(false);
        if (m_state == State::Building)
            m_idle->start();
    });
    const auto dirty = [this] { setDirty(); };
    connect(&table, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex &, int first, int last) {
        // Rows added at the end (a contact, a small import) are followed; others are not. A
        // build under way takes the rows added at the end when it is done.
        if (m_state == State::Ready && size_t(first) == m_contacts.size()
            && m_recent.size() + size_t(last - first) < kMostRecent)
            appendRows(first + 1, last + 1);
        else if (!(m_state == State::Building && size_t(first) >= m_contacts.size()))
            setDirty();
        emit changed();
    });
    connect(&table, &QAbstractItemModel::rowsRemoved, this, dirty);
    connect(&table, &QAbstractItemModel::rowsMoved, this, dirty);
    connect(&table, &QAbstractItemModel::layoutChanged, this, dirty);
    connect(&table, &QAbstractItemModel::modelReset, this, dirty);
    connect(&table, &QAbstractItemModel::dataChanged, this, [this](const QModelIndex &from, const QModelIndex &to) {
        const int first = from.column() + m_table.fixedCols(), last = to.column() + m_table.fixedCols();
        if (first <= kCallCol && last >= kCallCol) {
            setDirty();
            return;
        }
        const auto watched = [first, last](int col) { return first <= col && col <= last; };
        if (!watched(kDateCol) && !watched(kTimeCol) && !watched(kFrequencyCol) && !watched(kModeCol) && !watched(kReceivedCol))
            return;
        // The rows changed: those the table names when it tells many at once, else the range.
        const std::vector<int> *named = m_table.changedRows();
        const auto eachRow = [&](auto &&take) {
            if (named) {
                for (int row : *named)
                    take(row - 1);
            } else {
                for (int r = from.row(); r <= to.row(); ++r)
                    take(r);
            }
        };
        if (m_state == State::Ready && first == kReceivedCol && last == kReceivedCol) {
            // A QSL mark, often by the thousand: the rest of the row is as it was.
            eachRow([this](int r) {
                if (r >= 0 && size_t(r) < m_contacts.size()) {
                    Contact contact = m_contacts[size_t(r)];
                    contact.confirmed = isYes(m_table.store().cell(r + 1, kReceivedCol));
                    setContact(size_t(r), contact);
                }
            });
        } else if (m_state == State::Ready) {
            eachRow([this](int r) { updateContact(r + 1); });
        } else {
            setDirty(); // rows already scanned would be old
        }
        emit changed();
    });
}

CallIndex::~CallIndex() = default;

void CallIndex::setResolver(std::shared_ptr<const CallResolver> resolver)
{
    m_resolver = std::move(resolver);
    for (Group &g : m_groups)
        g.entity = kUnresolved;
    for (auto &[hash, recent] : m_recent)
        recent.entity = kUnresolved;
    m_entitiesReady = false;
    m_countsReady = false;
    emit changed();
}

void CallIndex::setDateLocale(const QLocale &locale)
{
    m_dateLocale = locale;
    m_dates = std::make_unique<adif::DateReader>(locale);
    setDirty();
}

void CallIndex::setDirty()
{
    m_state = State::Dirty;
    m_entitiesReady = false;
    m_countsReady = false;
    m_idle->start();
    emit changed();
}

uint8_t CallIndex::modeOf(std::string_view text) const
{
    return uint8_t(m_modes.of(text));
}

CallIndex::Contact CallIndex::contactAt(int row, uint64_t &hash, std::string &buffer)
{
    std::string_view cells[17];
    m_table.store().rowCells(row, cells);
    const std::string_view key = callkey::normalize(cells[kCallCol], buffer);
    hash = callkey::hash(key);
    if (m_state == State::Building) { // kept in row order: the groups take their keys from here
        m_rowKeys.append(key);
        m_rowKeyEnds.push_back(uint32_t(m_rowKeys.size()));
    }
    adif::Day date;
    int32_t local = kNoDate;
    if (m_dates->date(cells[kDateCol], date)) {
        adif::TypedTime time;
        if (!m_dates->time(cells[kTimeCol], time))
            time = {};
        const int64_t seconds = adif::daysSince1970(date) * 86400 - kLocalEpoch + time.hour * 3600
                                + time.minute * 60 + time.second;
        local = seconds > kFarDate && seconds <= INT32_MAX ? int32_t(seconds) : kFarDate;
    }
    return {int8_t(bandOfFrequency(cells[kFrequencyCol])), modeOf(cells[kModeCol]), isYes(cells[kReceivedCol]),
            callkey::exactClass(key), local};
}

void CallIndex::rebuild()
{
    startBuild();
    buildStep(true);
}

void CallIndex::startBuild()
{
    const size_t n = size_t(std::max(m_table.Rows() - 1, 0));
    // Room for the rows that may follow before the next build, so adding one never copies all.
    m_contacts.reserve(n + kMostRecent);
    m_hashes.reserve(n + kMostRecent);
    m_contacts.resize(n);
    m_hashes.resize(n);
    m_recent.clear();
    m_grouped.clear();
    m_position.clear();
    m_groups.clear();
    m_groupHashes.clear();
    m_rowKeys.clear();
    m_rowKeyEnds.clear();
    m_rowKeyEnds.reserve(n);
    m_state = State::Building;
    m_phase = Phase::Scan;
    m_done = 0;
    m_entitiesReady = false;
    m_countsReady = false;
}

// One step of the build, a few milliseconds long; or the whole rest of it.
void CallIndex::buildStep(bool toTheEnd)
{
    constexpr size_t kScanRows = 16384, kSortBuckets = 8192;
    constexpr int kBits = 16;
    const size_t n = m_contacts.size();
    do {
        switch (m_phase) {
        case Phase::Scan: {
            std::string buffer;
            const size_t end = toTheEnd ? n : std::min(n, m_done + kScanRows);
            for (; m_done < end; ++m_done)
                m_contacts[m_done] = contactAt(int(m_done) + 1, m_hashes[m_done], buffer);
            if (m_done == n)
                m_phase = Phase::Order;
            break;
        }
        case Phase::Order: {
            // Rows into 65536 buckets by the hash's top bits; each small bucket sorted next.
            m_buckets.assign((size_t(1) << kBits) + 1, 0);
            for (uint64_t h : m_hashes)
                ++m_buckets[size_t(h >> (64 - kBits)) + 1];
            for (size_t b = 1; b < m_buckets.size(); ++b)
                m_buckets[b] += m_buckets[b - 1];
            m_order.resize(n);
            std::vector<uint32_t> fill(m_buckets.begin(), m_buckets.end() - 1);
            for (size_t i = 0; i < n; ++i)
                m_order[fill[size_t(m_hashes[i] >> (64 - kBits))]++] = uint32_t(i);
            m_phase = Phase::Sort;
            m_done = 0;
            break;
        }
        case Phase::Sort: {
            const auto byHash = [this](uint32_t a, uint32_t b) {
                return m_hashes[a] != m_hashes[b] ? m_hashes[a] < m_hashes[b] : a < b;
            };
            const size_t buckets = m_buckets.size() - 1;
            const size_t end = toTheEnd ? buckets : std::min(buckets, m_done + kSortBuckets);
            for (; m_done < end; ++m_done) {
                if (m_buckets[m_done + 1] - m_buckets[m_done] > 1)
                    std::sort(m_order.begin() + m_buckets[m_done], m_order.begin() + m_buckets[m_done + 1], byHash);
            }
            if (m_done == buckets)
                m_phase = Phase::Group;
            break;
        }
        case Phase::Group: {
            m_groups.clear();
            m_groupHashes.clear();
            m_groupKeys.clear();
            for (uint32_t k = 0; k < n;) {
                uint32_t end = k + 1;
                while (end < n && m_hashes[m_order[end]] == m_hashes[m_order[k]])
                    ++end;
                const uint32_t row = m_order[k];
                const uint32_t from = row == 0 ? 0 : m_rowKeyEnds[row - 1];
                m_groups.push_back({k, end, uint32_t(m_groupKeys.size()), kUnresolved});
                m_groupHashes.push_back(m_hashes[row]);
                m_groupKeys.append(m_rowKeys, from, m_rowKeyEnds[row] - from);
                k = end;
            }
            m_grouped.resize(n);
            m_position.resize(n);
            for (uint32_t k = 0; k < n; ++k) {
                m_grouped[k] = m_contacts[m_order[k]];
                m_position[m_order[k]] = k;
            }
            m_buckets = {};
            m_rowKeys = {};
            m_rowKeyEnds = {};
            m_state = State::Ready;
            // Rows added while the index was being built.
            if (m_table.Rows() - 1 > int(n))
                appendRows(int(n) + 1, m_table.Rows() - 1);
            if (!toTheEnd)
                emit changed(); // what waited for the index can ask now
            return;
        }
        }
    } while (toTheEnd);
}

void CallIndex::ensureBuilt()
{
    if (m_state == State::Dirty)
        startBuild();
    if (m_state == State::Building)
        buildStep(true);
}

void CallIndex::appendRows(int first, int last)
{
    std::string buffer;
    for (int row = first; row <= last; ++row) {
        uint64_t hash;
        m_contacts.push_back(contactAt(row, hash, buffer));
        m_hashes.push_back(hash);
        Recent &recent = m_recent[hash];
        recent.rows.push_back(row - 1);
        if (m_entitiesReady) {
            if (recent.entity == kUnresolved)
                recent.entity = resolve(row, buffer);
            count(recent.entity, m_contacts.back(), +1);
        }
    }
}

void CallIndex::updateContact(int row)
{
    const size_t i = size_t(row - 1);
    if (i >= m_contacts.size())
        return;
    std::string buffer;
    uint64_t hash;
    const Contact now = contactAt(row, hash, buffer);
    if (m_entitiesReady) {
        const int16_t entity = resolve(row, buffer);
        count(entity, m_contacts[i], -1);
        count(entity, now, +1);
    }
    setContact(i, now);
}

void CallIndex::setContact(size_t index, const Contact &contact)
{
    m_contacts[index] = contact;
    if (index < m_position.size())
        m_grouped[m_position[index]] = contact;
}

int16_t CallIndex::resolve(int row, std::string &buffer) const
{
    if (!m_resolver)
        return -1;
    return int16_t(m_resolver->resolve(callkey::normalize(m_table.store().cell(row, kCallCol), buffer)).entity);
}

void CallIndex::count(int entity, const Contact &contact, int delta)
{
    const size_t e = size_t(entity + 1);
    if (!m_countsReady || e >= m_entityContacts.size())
        return;
    m_entityContacts[e] += delta;
    m_entityBands[e * size_t(bandCount() + 1) + size_t(contact.band + 1)] += delta;
    m_entityModes[e * kModes + contact.mode] += delta;
}

void CallIndex::prepareEntities()
{
    ensureBuilt();
    if (m_entitiesReady)
        return;
    std::string buffer;
    for (size_t i = 0; i < m_groups.size(); ++i) {
        Group &g = m_groups[i];
        const uint32_t end = keyEnd(i);
        if (g.entity == kUnresolved)
            g.entity = m_resolver ? int16_t(m_resolver->resolve(std::string_view(m_groupKeys).substr(g.key, end - g.key)).entity)
                                  : int16_t(-1);
    }
    for (auto &[hash, recent] : m_recent) {
        if (recent.entity == kUnresolved)
            recent.entity = resolve(recent.rows.front() + 1, buffer);
    }
    m_entitiesReady = true;
    m_countsReady = false;
}

// Contacts per entity, band and mode, for telling a new entity, band or mode at once.
void CallIndex::prepareCounts()
{
    prepareEntities();
    if (m_countsReady)
        return;
    const size_t entities = (m_resolver ? m_resolver->entities().size() : 0) + 1;
    m_entityContacts.assign(entities, 0);
    m_entityBands.assign(entities * size_t(bandCount() + 1), 0);
    m_entityModes.assign(entities * kModes, 0);
    m_countsReady = true;
    eachContact([this](int entity, const Contact &contact, int) { count(entity, contact, +1); });
}

std::vector<int> CallIndex::rowsOf(QStringView call)
{
    std::string buffer;
    const QByteArray utf8 = call.toUtf8();
    const std::string key(callkey::normalize(std::string_view(utf8.constData(), size_t(utf8.size())), buffer));
    std::vector<int> rows;
    rowsOfKey(key, rows);
    return rows;
}

std::string_view CallIndex::cellOf(int row) const
{
    return m_table.store().cellFromAnyThread(row, kCallCol);
}

std::string_view CallIndex::recentKey(const Recent &recent, std::string &buffer) const
{
    const std::string_view key = callkey::normalize(m_table.store().cell(recent.rows.front() + 1, kCallCol), buffer);
    if (key.data() != buffer.data())
        buffer.assign(key);
    return buffer;
}

size_t CallIndex::groupFrom(uint64_t hash) const
{
    // Hashes spread evenly over their 64 bits: a few guesses where this one falls read far less
    // of a million groups than halving does; a search of what is left ends it.
    const std::vector<uint64_t> &h = m_groupHashes;
    size_t lo = 0, hi = h.size(); // the answer is in [lo, hi]
    for (int guesses = 0; guesses < 4 && hi - lo > 8; ++guesses) {
        const uint64_t first = h[lo], last = h[hi - 1];
        if (hash <= first)
            return lo;
        if (hash > last)
            return hi;
        const double part = double(hash - first) / double(last - first);
        const size_t guess = std::min(hi - 1, lo + size_t(part * double(hi - 1 - lo)));
        if (h[guess] < hash)
            lo = guess + 1;
        else
            hi = guess;
    }
    return size_t(std::lower_bound(h.begin() + std::ptrdiff_t(lo), h.begin() + std::ptrdiff_t(hi), hash) - h.begin());
}

size_t CallIndex::groupAfter(uint64_t hash, size_t from) const
{
    // Strides doubling from `from`: a neighbour is found reading what is next in memory.
    const std::vector<uint64_t> &h = m_groupHashes;
    size_t lo = std::min(from, h.size()), step = 1;
    while (lo + step < h.size() && h[lo + step] < hash) {
        lo += step;
        step *= 2;
    }
    const size_t hi = std::min(h.size(), lo + step + 1);
    return size_t(std::lower_bound(h.begin() + std::ptrdiff_t(lo), h.begin() + std::ptrdiff_t(hi), hash) - h.begin());
}

CallIndex::Worked CallIndex::workedEntity(int entity, int band, ModeClass mode)
{
    prepareCounts();
    Worked worked;
    const size_t e = size_t(entity + 1);
    if (e >= m_entityContacts.size())
        return worked;
    worked.contacts = m_entityContacts[e];
    worked.onBand = m_entityBands[e * size_t(bandCount() + 1) + size_t(band + 1)] > 0;
    worked.inMode = m_entityModes[e * kModes + size_t(mode)] > 0;
    return worked;
}
