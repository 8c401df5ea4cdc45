#pragma once
// How the log's local dates and times become UTC and back: not at all, by the station's fixed
// whole-hour offset (UTC = local + hours), or by a time zone at each moment's own date and time,
// summer time included. One value that every caller asks: the clock, the ADIF export and
// import, and whatever else meets a time from outside.
#include <QDateTime>
#include <QString>
#include <QTimeZone>
#include <cstdint>
#include <vector>

class UtcConversion
{
public:
    enum class Kind : uint8_t { None = 0, FixedHours = 1, Zone = 2 };
    // Where a local time fell: a time in the hour skipped when the clocks went forward, or in
    // the hour lived twice when they went back, has no single UTC of its own.
    enum class Fit : uint8_t { Exact, Skipped, Repeated };

    UtcConversion() = default; // none: local times are taken as UTC
    static UtcConversion fixedHours(int hours);
    static UtcConversion zone(const QTimeZone &zone);
    static UtcConversion systemZone() { return zone(QTimeZone::systemTimeZone()); }

    Kind kind() const { return m_kind; }
    int hours() const { return m_hours; }          // FixedHours only
    const QTimeZone &timeZone() const { return m_zone; }

    // The UTC of a local wall-clock date and time. In a skipped hour the time is read with the
    // offset in force before the change (the clock had not yet gone forward); in a repeated
    // hour the platform's own choice stands. `fit` says which case it was.
    QDateTime toUtc(QDate date, QTime time, Fit *fit = nullptr) const;
    // Seconds that toUtc() adds to the local time.
    int64_t secondsToUtc(QDate date, QTime time, Fit *fit = nullptr) const;
    // The local wall-clock date and time of a UTC moment (its own Qt::TimeSpec is UTC, so that no
    // zone rule moves it again).
    QDateTime toLocal(const QDateTime &utc) const;
    // The same in seconds since 1970 counted as if the wall clock were UTC.
    int64_t localSeconds(int64_t utcSeconds) const;

    // How the times were converted, for the end of a sentence: "con las horas pasadas a UTC
    // según la zona horaria del sistema", "… sumando 3 h", "… restando 2 h", "con las horas
    // sin convertir".
    QString description() const;

private:
    int offsetAtUtc(int64_t utcSeconds) const; // seconds east of UTC

    Kind m_kind = Kind::None;
    int m_hours = 0;
    QTimeZone m_zone;
    // The zone's changes of offset from 1900 to 2100, read from it once on first use: asking
    // the zone itself for every contact of a large log costs microseconds each.
    struct Change
    {
        int64_t at;   // UTC seconds from which
        int offset;   // seconds east of UTC hold
    };
    mutable std::vector<Change> m_changes;
    // The span of UTC seconds [start, end) over which the offset offsetAtUtc() last gave holds.
    mutable int64_t m_spanStart = 0, m_spanEnd = 0;
    mutable int m_spanOffset = 0;
};
