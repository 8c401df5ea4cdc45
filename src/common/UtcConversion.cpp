#include "UtcConversion.h"

#include <limits>

namespace {

constexpr int64_t kDay = 86400;
constexpr int64_t kJulianDay1970 = 2440588;

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
    if (utcSeconds >= m_spanFrom && utcSeconds < m_spanTo)
        return m_spanOffset;
    if (!m_zone.isValid())
        return 0;
    const QDateTime at = fromSeconds(utcSeconds);
    const QTimeZone::OffsetData before = m_zone.previousTransition(at.addSecs(1));
    const QTimeZone::OffsetData after = m_zone.nextTransition(at);
    m_spanOffset = m_zone.offsetFromUtc(at);
    m_spanFrom = before.atUtc.isValid() ? before.atUtc.toSecsSinceEpoch() : std::numeric_limits<int64_t>::min();
    m_spanTo = after.atUtc.isValid() ? after.atUtc.toSecsSinceEpoch() : std::numeric_limits<int64_t>::max();
    if (utcSeconds < m_spanFrom || utcSeconds >= m_spanTo) // the zone data disagrees with itself: no span
        m_spanFrom = m_spanTo = 0;
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
    // Well inside the span of the last answer (a day from either end), no other offset can
    // also claim this wall time.
    const int64_t inSpan = wall - m_spanOffset;
    if (m_spanFrom < m_spanTo && inSpan - kDay >= m_spanFrom && inSpan + kDay < m_spanTo)
        return -m_spanOffset;
    // The offsets a day before and a day after; a zone never changes twice within two days.
    const int early = offsetAtUtc(wall - kDay);
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
    const int64_t seconds = utc.toSecsSinceEpoch();
    switch (m_kind) {
    case Kind::None:
        return fromSeconds(seconds);
    case Kind::FixedHours:
        return fromSeconds(seconds - 3600 * int64_t(m_hours));
    case Kind::Zone:
        break;
    }
    return fromSeconds(seconds + offsetAtUtc(seconds));
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
