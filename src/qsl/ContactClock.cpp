#include "ContactClock.h"

int64_t secondsOf(const adif::Day &day, const adif::TypedTime &time)
{
    return adif::daysSince1970(day) * 86400 + time.hour * 3600 + time.minute * 60 + time.second;
}

// The way back of adif::daysSince1970(), in whole 400-year eras as well.
void dayOf(int64_t seconds, adif::Day &day, adif::TypedTime &time)
{
    int64_t days = seconds / 86400, rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t doe = days - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day.day = int(doy - (153 * mp + 2) / 5 + 1);
    day.month = int(mp < 10 ? mp + 3 : mp - 9);
    day.year = int(yoe + era * 400 + (day.month <= 2));
    time.hour = int(rest / 3600);
    time.minute = int(rest / 60 % 60);
    time.second = int(rest % 60);
}

bool ContactClock::utcOf(std::string_view date, std::string_view time, int64_t &seconds) const
{
    adif::Day day;
    adif::TypedTime at;
    if (!m_dates.date(date, day))
        return false;
    if (!m_dates.time(time, at))
        at = {};
    QTime wall(at.hour, at.minute, at.second);
    if (!wall.isValid())
        wall = QTime(0, 0);
    seconds = secondsOf(day, at) + m_utc.secondsToUtc(day.toQDate(), wall);
    return true;
}

int64_t ContactClock::utcOfLocal(int64_t local) const
{
    switch (m_utc.kind()) {
    case UtcConversion::Kind::None:
        return local;
    case UtcConversion::Kind::FixedHours:
        return local + 3600 * int64_t(m_utc.hours());
    case UtcConversion::Kind::Zone:
        break;
    }
    adif::Day day;
    adif::TypedTime at;
    dayOf(local, day, at);
    return local + m_utc.secondsToUtc(day.toQDate(), QTime(at.hour, at.minute, at.second));
}
