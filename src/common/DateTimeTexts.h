#pragma once
// The form's date and time texts for one locale, written straight as UTF-8: the locale's
// formats are read once and the numbers put in by hand, since a log's contacts come in their
// millions. Qt's own formatting stays the reference, and does what this short path does not
// know (names of days and months, digits other than 0-9, time zones, other calendars).
#include <QDate>
#include <QLocale>
#include <QTime>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace localtext {

class DateTimeTexts
{
public:
    explicit DateTimeTexts(const QLocale &locale);
    // As localtext::shortDate and localtext::longTime, added to `out`.
    void appendDate(QDate date, std::string &out) const;
    void appendTime(QTime time, std::string &out) const;
    // Whether the short path serves this locale's date and time (for the tests).
    bool fastDate() const { return m_fastDate; }
    bool fastTime() const { return m_fastTime; }
    const QLocale &locale() const { return m_locale; }

private:
    struct Piece
    {
        enum Kind : uint8_t { Text, Day, Month, Year, Hour24, Hour12, Minute, Second, AmPm };
        Kind kind;
        uint8_t width;
        std::string text;
    };
    bool compile(QStringView format, std::vector<Piece> &pieces) const;
    static void appendNumber(int value, int width, std::string &out);

    QLocale m_locale;
    QString m_timeFormat;
    std::vector<Piece> m_date, m_time;
    bool m_fastDate = false, m_fastTime = false;
    std::string m_marks[2][2]; // [am, pm][lower, upper]
    std::string m_monthNames[2][12], m_dayNames[2][7]; // [short, long]
};

// The texts of a locale, made once and shared while that locale is the one asked for.
std::shared_ptr<const DateTimeTexts> textsFor(const QLocale &locale);

} // namespace localtext
