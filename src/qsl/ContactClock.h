#pragma once
// The moment of a contact as UTC, from its Fecha and Hora as the log keeps them: local time,
// in the system's formats or as typed by hand. The one place the QSL work turns local time
// into UTC.
#include "adif/AdifDates.h"
#include <QLocale>
#include <cstdint>
#include <string_view>

class ContactClock
{
public:
    // UTC hour = local hour + difUtc.
    ContactClock(const QLocale &locale, int difUtc) : m_dates(locale), m_difUtc(difUtc) {}
    // Seconds since 1970-01-01 00:00 UTC; false when the date cannot be read. A time that
    // cannot be read counts as midnight.
    bool utcOf(std::string_view date, std::string_view time, int64_t &seconds) const;

private:
    adif::DateReader m_dates;
    int m_difUtc;
};

// Seconds since 1970-01-01 00:00 of a day and time, with no zone.
int64_t secondsOf(const adif::Day &day, const adif::TypedTime &time);
// The day and time of such seconds.
void dayOf(int64_t seconds, adif::Day &day, adif::TypedTime &time);
