#pragma once
// The moment of a contact as UTC, from its Fecha and Hora as the log keeps them: local time,
// in the system's formats or as typed by hand, turned into UTC by the station's conversion.
#include "adif/AdifDates.h"
#include "common/UtcConversion.h"
#include <QLocale>
#include <cstdint>
#include <string_view>

class ContactClock
{
public:
    ContactClock(const QLocale &locale, UtcConversion utc) : m_locale(locale), m_dates(locale), m_utc(std::move(utc)) {}
    // Seconds since 1970-01-01 00:00 UTC; false when the date cannot be read. A time that
    // cannot be read counts as midnight.
    bool utcOf(std::string_view date, std::string_view time, int64_t &seconds) const;
    // The same for a local date and time already read, in seconds since 1970 with no zone.
    int64_t utcOfLocal(int64_t local) const;
    const QLocale &locale() const { return m_locale; }

private:
    QLocale m_locale;
    adif::DateReader m_dates;
    UtcConversion m_utc;
};

// Seconds since 1970-01-01 00:00 of a day and time, with no zone.
int64_t secondsOf(const adif::Day &day, const adif::TypedTime &time);
// The day and time of such seconds.
void dayOf(int64_t seconds, adif::Day &day, adif::TypedTime &time);
