#include "UtcConversion.h"

#include <algorithm>

namespace {

constexpr int64_t kDay = 86400;
constexpr int64_t kJulianDay1970 = 2440588;
constexpr int64_t kFrom = -2208988800; // 1900-01-01, UTC
constexpr int64_t kTo = 4102444800;    // 2100-01-01

// A wall-clock date and time counted in seconds as if it were UTC.
int64_t wallSeconds(QDate date, QTime time)
{
    return (date.toJulianDay() - kJulianDay1970) * kDay + time.msecsSinceStartOfDay() / 1000;
}

QDateTime fromSeconds(int64_t seconds)
{
    return QDateTime::fromSecsSinceEpoch(seconds, QTimeZone::utc());
}

} // namespace

UtcConversion UtcConversion::fixedHours(int hours)
{
    UtcConversion c;
    c.m_kind = Kind::FixedHours;
    c.m_hours = hours;
    return c;
}

UtcConversion UtcConversion::zone(const QTimeZone &zone)
{
    UtcConversion c;
    c.m_kind = Kind::Zone;
    c.m_zone = zone;
    return c;
}

int UtcConversion::offsetAtUtc(int64_t utcSeconds) const
{
    if (utcSeconds >= m_spanStart && utcSeconds < m_spanEnd)
        return m_spanOffset; // a log in date order mostly stays in one span
    m_spanStart = m_spanEnd = utcSeconds; // no span known, unless found below
    if (!m_zone.isValid())
        return 0;
    if (utcSeconds < kFrom || utcSeconds >= kTo)
        return m_zone.offsetFromUtc(fromSeconds(utcSeconds));
    if (m_changes.empty()) {
        m_changes.push_back({kFrom, m_zone.offsetFromUtc(fromSeconds(kFrom))});
        for (const QTimeZone::OffsetData &t : m_zone.transitions(fromSeconds(kFrom), fromSeconds(kTo)))
            m_changes.push_back({t.atUtc.toSecsSinceEpoch(), t.offsetFromUtc});
    }
    const auto after = std::upper_bound(m_changes.begin(), m_changes.end(), utcSeconds,
                                        [](int64_t at, const Change &c) { return at < c.at; });
    m_spanStart = std::prev(after)->at;
    m_spanEnd = after == m_changes.end() ? kTo : after->at;
    m_spanOffset = std::prev(after)->offset;
    return m_spanOffset;
}

int64_t UtcConversion::secondsToUtc(QDate date, QTime time, Fit *fit) const
{
    if (fit)
        *fit = Fit::Exact;
    if (m_kind == Kind::None)
        return 0;
    if (m_kind == Kind::FixedHours)
        return 3600 * int64_t(m_hours);
    const int64_t wall = wallSeconds(date, time);
    // The offsets a day before and a day after; a zone never changes twice within two days.
    // Mostly the offset of the day before holds past the day after: nothing to choose.
    const int early = offsetAtUtc(wall - kDay);
    if (wall + kDay < m_spanEnd)
        return -early;
    const int late = offsetAtUtc(wall + kDay);
    const bool earlyFits = offsetAtUtc(wall - early) == early;
    const bool lateFits = offsetAtUtc(wall - late) == late;
    if (early == late || earlyFits != lateFits)
        return -(lateFits ? late : early);
    if (fit)
        *fit = earlyFits ? Fit::Repeated : Fit::Skipped;
    if (earlyFits) {
        const QDateTime platform(date, time, m_zone);
        if (platform.isValid())
            return platform.toSecsSinceEpoch() - wall;
    }
    return -early;
}

QDateTime UtcConversion::toUtc(QDate date, QTime time, Fit *fit) const
{
    return fromSeconds(wallSeconds(date, time) + secondsToUtc(date, time, fit));
}

QDateTime UtcConversion::toLocal(const QDateTime &utc) const
{
    return fromSeconds(localSeconds(utc.toSecsSinceEpoch()));
}

int64_t UtcConversion::localSeconds(int64_t utcSeconds) const
{
    switch (m_kind) {
    case Kind::None:
        return utcSeconds;
    case Kind::FixedHours:
        return utcSeconds - 3600 * int64_t(m_hours);
    case Kind::Zone:
        break;
    }
    return utcSeconds + offsetAtUtc(utcSeconds);
}

QString UtcConversion::description() const
{
    switch (m_kind) {
    case Kind::None:
        return QStringLiteral("con las horas sin convertir");
    case Kind::FixedHours:
        return m_hours < 0 ? QStringLiteral("con las horas pasadas a UTC restando %1 h").arg(-int64_t(m_hours))
                           : QStringLiteral("con las horas pasadas a UTC sumando %1 h").arg(m_hours);
    case Kind::Zone:
        break;
    }
    return QStringLiteral("con las horas pasadas a UTC según la zona horaria del sistema");
}
