#pragma once
// Fecha and Hora as operators type them, to the UTC date and time ADIF holds, and back.
#include <QDate>
#include <QLocale>
#include <QString>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace adif {

// A calendar day (proleptic Gregorian), without Qt's day numbers: the export reads and shifts
// a million of them.
struct Day
{
    int year = 0, month = 0, day = 0;
    QDate toQDate() const { return QDate(year, month, day); }
};
bool isValidDay(int year, int month, int day);
// Days from 1970-01-01 to a day, in whole 400-year eras (H. Hinnant's civil-days algorithm):
// no calendar object for each of a million contacts.
inline int64_t daysSince1970(const Day &d)
{
    const int64_t y = int64_t(d.year) - (d.month <= 2);
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (d.month + (d.month > 2 ? -3 : 9)) + 2) / 5 + d.day - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

struct TypedTime
{
    int hour = 0, minute = 0, second = 0;
    bool seconds = false; // typed with seconds
};

// Reads typed dates and times: first in the locale's short date (or long time) format, then
// in the forms people write by hand. Built once per file: the locale's formats are looked at
// here, and numeric ones are then read without Qt's parser.
class DateReader
{
public:
    explicit DateReader(const QLocale &locale);
    // d/m/yy, dd/mm/yyyy with '/', '-' or '.', and yyyy-mm-dd, after the locale's own order.
    // A two-digit year below 50 is 20yy, otherwise 19yy.
    bool date(std::string_view text, Day &date) const;
    // h:mm or h:mm:ss, after the locale's long time format.
    bool time(std::string_view text, TypedTime &time) const;

private:
    QLocale m_locale;
    QString m_dateFormat, m_timeFormat;
    // The locale's short date when it is three numbers: their order (0 day, 1 month, 2 year),
    // the separator after the first and second, and the year's digits (2 or 4).
    bool m_numeric = false;
    int m_order[3] = {0, 1, 2};
    char m_separators[2] = {'/', '/'};
    int m_yearDigits = 2;
    bool m_needsNames = false; // the short date spells the month or the weekday
    // What Qt's parser made of texts in the locale's own form (year 0: not a date).
    static constexpr size_t kMemoSize = 1 << 16;
    mutable std::unordered_map<std::string, Day> m_memo;
};

// YYYYMMDD and HHMM[SS] of a moment `shift` seconds from the typed one (UTC = local + shift).
// False when the shifted date falls outside the years ADIF allows (1930 on).
bool utcDate(const Day &date, const TypedTime &time, int64_t shift, char (&out)[8]);
void utcTime(const TypedTime &time, int64_t shift, char (&out)[6], size_t &size);

// QSO_DATE and TIME_ON, read back. False for text that is not such a date or time.
bool parseAdifDate(std::string_view text, Day &date);
bool parseAdifTime(std::string_view text, TypedTime &time);

} // namespace adif
