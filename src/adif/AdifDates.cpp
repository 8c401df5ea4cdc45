#include "AdifDates.h"
#include "common/Blanks.h"


namespace adif {

bool isValidDay(int year, int month, int day)
{
    if (month < 1 || month > 12 || day < 1 || year < 1 || year > 9999)
        return false;
    static constexpr int kDays[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (day > kDays[month - 1])
        return false;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month != 2 || day <= 28 || leap;
}

namespace {

// Up to `maxDigits` digits at s[i]; the count read goes to `digits`.
int readNumber(std::string_view s, size_t &i, int maxDigits, int &digits)
{
    int value = 0;
    digits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9' && digits < maxDigits) {
        value = value * 10 + (s[i] - '0');
        ++i;
        ++digits;
    }
    return value;
}

int fullYear(int year, int digits)
{
    if (digits == 2)
        return year < 50 ? 2000 + year : 1900 + year;
    return year;
}

bool isSeparator(char c)
{
    return c == '/' || c == '-' || c == '.';
}

// Three numbers and two separators: n[k] with its digit count.
struct Triple
{
    int n[3] = {};
    int digits[3] = {};
    char separators[2] = {};
};

bool splitTriple(std::string_view s, Triple &t)
{
    size_t i = 0;
    for (int k = 0; k < 3; ++k) {
        t.n[k] = readNumber(s, i, 4, t.digits[k]);
        if (t.digits[k] == 0)
            return false;
        if (k < 2) {
            if (i >= s.size())
                return false;
            t.separators[k] = s[i++];
        }
    }
    return i == s.size();
}

int daysInMonth(int year, int month)
{
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

bool makeDate(int year, int month, int day, Day &date)
{
    date = {year, month, day};
    return isValidDay(year, month, day);
}

// The day `days` days on (or back), a day at a time: the offsets are a few hours.
Day addDays(Day d, int days)
{
    for (; days > 0; --days) {
        if (++d.day > daysInMonth(d.year, d.month)) {
            d.day = 1;
            if (++d.month > 12) {
                d.month = 1;
                ++d.year;
            }
        }
    }
    for (; days < 0; ++days) {
        if (--d.day < 1) {
            if (--d.month < 1) {
                d.month = 12;
                --d.year;
            }
            d.day = daysInMonth(d.year, d.month);
        }
    }
    return d;
}

} // namespace

DateReader::DateReader(const QLocale &locale)
    : m_locale(locale), m_dateFormat(locale.dateFormat(QLocale::ShortFormat))
{
    // The long time format without its time zone, as the entry form writes the time.
    m_timeFormat = locale.timeFormat(QLocale::LongFormat);
    m_timeFormat.remove(QLatin1String(" t")).remove(QLatin1String(" (t)")).remove(u't');
    m_timeFormat = m_timeFormat.trimmed();

    // A short date of three numbers (d, dd, M, MM, yy, yyyy) with one character between them.
    const QString &f = m_dateFormat;
    int field = 0;
    bool ok = true;
    bool seen[3] = {};
    for (qsizetype i = 0; i < f.size() && ok;) {
        const QChar c = f.at(i);
        qsizetype run = 1;
        while (i + run < f.size() && f.at(i + run) == c)
            ++run;
        int kind = -1;
        if (c == u'd' && run <= 2)
            kind = 0;
        else if (c == u'M' && run <= 2)
            kind = 1;
        else if (c == u'y' && (run == 2 || run == 4))
            kind = 2;
        if (kind >= 0) {
            if (field >= 3 || seen[kind])
                ok = false;
            else {
                seen[kind] = true;
                m_order[field++] = kind;
                if (kind == 2)
                    m_yearDigits = int(run);
            }
        } else if (run == 1 && c.unicode() < 0x80 && !c.isLetterOrNumber() && field >= 1 && field <= 2) {
            m_separators[field - 1] = char(c.unicode());
        } else {
            ok = false;
        }
        i += run;
    }
    m_numeric = ok && field == 3;
    m_needsNames = f.contains(QLatin1String("MMM")) || f.contains(QLatin1String("ddd"));
}

bool DateReader::date(std::string_view text, Day &date) const
{
    const std::string_view s = trimmed(text);
    Triple t;
    const bool triple = splitTriple(s, t);
    if (m_numeric) {
        if (triple && t.separators[0] == m_separators[0] && t.separators[1] == m_separators[1]) {
            int value[3] = {};
            bool fits = true;
            for (int k = 0; k < 3; ++k) {
                value[m_order[k]] = t.n[k];
                if (m_order[k] == 2 ? t.digits[k] != m_yearDigits : t.digits[k] > 2)
                    fits = false;
            }
            if (fits && makeDate(fullYear(value[2], m_yearDigits), value[1], value[0], date))
                return true;
        }
    } else if (!s.empty() && !(triple && m_needsNames)) { // three numbers never spell a name
        // Qt's parser takes microseconds, and a log has far fewer dates than contacts.
        std::string text(s);
        if (const auto known = m_memo.find(text); known != m_memo.end()) {
            if (known->second.year != 0) {
                date = known->second;
                return true;
            }
        } else {
            const QString typed = QString::fromUtf8(s.data(), qsizetype(s.size()));
            QDate read = m_locale.toDate(typed, m_dateFormat);
            // Qt reads a two-digit year as 19yy; the rule here is the one for every form.
            if (read.isValid() && m_dateFormat.count(u'y') == 2 && read.year() < 1950)
                read = read.addYears(100);
            if (m_memo.size() >= kMemoSize)
                m_memo.clear();
            const Day day = read.isValid() ? Day{read.year(), read.month(), read.day()} : Day{};
            m_memo.emplace(std::move(text), day);
            if (read.isValid()) {
                date = day;
                return true;
            }
        }
    }
    if (!triple)
        return false;
    // yyyy-mm-dd
    if (t.digits[0] == 4 && t.separators[0] == '-' && t.separators[1] == '-' && t.digits[1] <= 2 && t.digits[2] <= 2)
        return makeDate(t.n[0], t.n[1], t.n[2], date);
    // Day first: d/m/yy or dd/mm/yyyy, the same separator twice.
    if (!isSeparator(t.separators[0]) || t.separators[1] != t.separators[0])
        return false;
    if (t.digits[0] > 2 || t.digits[1] > 2 || (t.digits[2] != 2 && t.digits[2] != 4))
        return false;
    return makeDate(fullYear(t.n[2], t.digits[2]), t.n[1], t.n[0], date);
}

bool DateReader::time(std::string_view text, TypedTime &time) const
{
    const std::string_view s = trimmed(text);
    size_t i = 0;
    int digits = 0;
    time.hour = readNumber(s, i, 2, digits);
    bool ok = digits > 0 && i < s.size() && s[i] == ':';
    if (ok) {
        ++i;
        time.minute = readNumber(s, i, 2, digits);
        ok = digits == 2;
        time.seconds = false;
        time.second = 0;
        if (ok && i < s.size()) {
            ok = s[i] == ':';
            ++i;
            time.second = readNumber(s, i, 2, digits);
            ok = ok && digits == 2 && i == s.size();
            time.seconds = true;
        }
        if (ok && time.hour < 24 && time.minute < 60 && time.second < 60)
            return true;
    }
    if (s.empty() || m_timeFormat.isEmpty())
        return false;
    const QTime t = m_locale.toTime(QString::fromUtf8(s.data(), qsizetype(s.size())), m_timeFormat);
    if (!t.isValid())
        return false;
    time.hour = t.hour();
    time.minute = t.minute();
    time.second = t.second();
    time.seconds = true;
    return true;
}

namespace {

void twoDigits(char *out, int value)
{
    out[0] = char('0' + value / 10);
    out[1] = char('0' + value % 10);
}

// Days carried by adding `shift` seconds to the time of day, and the time of day that results.
int carryDays(const TypedTime &time, int64_t shift, TypedTime &utc)
{
    const int64_t total = time.hour * 3600LL + time.minute * 60LL + time.second + shift;
    int64_t days = total / 86400;
    int64_t rest = total % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    utc = time;
    utc.hour = int(rest / 3600);
    utc.minute = int(rest / 60 % 60);
    utc.second = int(rest % 60);
    return int(days); // the shift is hours of a 16-bit offset at most
}

} // namespace

bool utcDate(const Day &date, const TypedTime &time, int64_t shift, char (&out)[8])
{
    TypedTime utc;
    const int days = carryDays(time, shift, utc);
    if (days < -3660 || days > 3660) // ten years: no station is that far from UTC
        return false;
    const Day shifted = days == 0 ? date : addDays(date, days);
    const int y = shifted.year;
    if (y < 1930 || y > 9999)
        return false;
    twoDigits(out, y / 100);
    twoDigits(out + 2, y % 100);
    twoDigits(out + 4, shifted.month);
    twoDigits(out + 6, shifted.day);
    return true;
}

void utcTime(const TypedTime &time, int64_t shift, char (&out)[6], size_t &size)
{
    TypedTime utc;
    carryDays(time, shift, utc);
    twoDigits(out, utc.hour);
    twoDigits(out + 2, utc.minute);
    size = 4;
    if (time.seconds) {
        twoDigits(out + 4, utc.second);
        size = 6;
    }
}

bool parseAdifDate(std::string_view text, Day &date)
{
    if (text.size() != 8)
        return false;
    int v[8];
    for (size_t i = 0; i < 8; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        v[i] = text[i] - '0';
    }
    return makeDate(v[0] * 1000 + v[1] * 100 + v[2] * 10 + v[3], v[4] * 10 + v[5], v[6] * 10 + v[7], date);
}

bool parseAdifTime(std::string_view text, TypedTime &time)
{
    if (text.size() != 4 && text.size() != 6)
        return false;
    int v[6] = {};
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        v[i] = text[i] - '0';
    }
    time.hour = v[0] * 10 + v[1];
    time.minute = v[2] * 10 + v[3];
    time.second = v[4] * 10 + v[5];
    time.seconds = text.size() == 6;
    return time.hour < 24 && time.minute < 60 && time.second < 60;
}

} // namespace adif
