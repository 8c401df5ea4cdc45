#include "WorkedEntities.h"
#include "CallResolver.h"
#include "adif/AdifDates.h"
#include "adif/BandTable.h"
#include "common/GridModel.h"
#include <QLocale>
#include <algorithm>

namespace {

// The ADIF bands shown always: 160 m to 70 cm.
bool alwaysShown(int band)
{
    const QString name = bandName(band);
    static const int first = [] {
        for (int b = 0; b < bandCount(); ++b)
            if (bandName(b) == QStringLiteral("160m"))
                return b;
        return 0;
    }();
    static const int last = [] {
        for (int b = 0; b < bandCount(); ++b)
            if (bandName(b) == QStringLiteral("70cm"))
                return b;
        return bandCount() - 1;
    }();
    return band >= first && band <= last;
}

bool passes(const CallIndex::Contact &row, ModeFilter filter, bool onlyConfirmed)
{
    if (onlyConfirmed && !row.confirmed)
        return false;
    switch (filter) {
    case ModeFilter::All:
        return true;
    case ModeFilter::Phone:
        return row.mode == uint8_t(ModeClass::Phone);
    case ModeFilter::Cw:
        return row.mode == uint8_t(ModeClass::Cw);
    case ModeFilter::Digital:
        return row.mode == uint8_t(ModeClass::Digital);
    }
    return false;
}

} // namespace

WorkedTable workedEntities(CallIndex &index, ModeFilter filter, bool onlyConfirmed)
{
    const size_t entityCount = index.resolver() ? index.resolver()->entities().size() : 0;
    const int bands = bandCount();
    // Marks per (entity + 1, band + 1): one pass over the contacts, a byte each.
    std::vector<uint8_t> marks((entityCount + 1) * size_t(bands + 1), 0);
    index.eachContact([&](int entity, const CallIndex::Contact &c, int) {
        if (!passes(c, filter, onlyConfirmed))
            return;
        uint8_t &m = marks[size_t(entity + 1) * size_t(bands + 1) + size_t(c.band + 1)];
        m = std::max<uint8_t>(m, c.confirmed ? 2 : 1);
    });

    WorkedTable table;
    std::vector<bool> used(size_t(bands + 1), false);
    for (size_t e = 0; e <= entityCount; ++e)
        for (int b = 0; b <= bands; ++b)
            used[size_t(b)] = used[size_t(b)] || marks[e * size_t(bands + 1) + size_t(b)] > 0;
    for (int b = 0; b < bands; ++b) {
        if (alwaysShown(b) || used[size_t(b + 1)])
            table.bands.push_back(b);
    }
    table.bands.push_back(WorkedTable::kNoBand);
    table.workedOn.assign(table.bands.size(), 0);
    table.confirmedOn.assign(table.bands.size(), 0);

    const auto entry = [&](size_t e) {
        WorkedTable::Entity row{int(e) - 1, {}};
        bool any = false;
        for (size_t c = 0; c < table.bands.size(); ++c) {
            const uint8_t m = marks[e * size_t(bands + 1) + size_t(table.bands[c] + 1)];
            row.marks.push_back(m);
            any = any || m > 0;
        }
        return std::make_pair(row, any);
    };
    for (size_t e = 1; e <= entityCount; ++e) {
        auto [row, any] = entry(e);
        if (!any)
            continue;
        bool confirmed = false;
        for (size_t c = 0; c < row.marks.size(); ++c) {
            table.workedOn[c] += row.marks[c] > 0;
            table.confirmedOn[c] += row.marks[c] == 2;
            confirmed = confirmed || row.marks[c] == 2;
        }
        ++table.worked;
        table.confirmed += confirmed;
        table.entities.push_back(std::move(row));
    }
    auto [none, any] = entry(0);
    if (any)
        table.entities.push_back(std::move(none));
    return table;
}

int latestOf(const GridModel &table, const std::vector<int> &rows)
{
    const adif::DateReader reader{QLocale::system()};
    int best = 0;
    std::tuple<int, int, int, int, int, int> bestWhen{-1, 0, 0, 0, 0, 0};
    for (int r : rows) {
        adif::Day day;
        adif::TypedTime time;
        const std::string date = table.TextMatrix(r, 9).toStdString(), hour = table.TextMatrix(r, 10).toStdString();
        std::tuple<int, int, int, int, int, int> when{-1, 0, 0, 0, 0, 0};
        if (reader.date(date, day)) {
            if (!reader.time(hour, time))
                time = {};
            when = {day.year, day.month, day.day, time.hour, time.minute, time.second};
        }
        // A tie (or dates that cannot be read) goes to the row lower in the table.
        if (best == 0 || when > bestWhen || (when == bestWhen && r > best)) {
            best = r;
            bestWhen = when;
        }
    }
    return best;
}

int latestContact(CallIndex &index, const GridModel &table, int entity, int band, ModeFilter filter, bool onlyConfirmed)
{
    std::vector<int> candidates;
    index.eachContact([&](int e, const CallIndex::Contact &c, int row) {
        if (e == entity && c.band == band && passes(c, filter, onlyConfirmed))
            candidates.push_back(row);
    });
    return latestOf(table, candidates);
}
