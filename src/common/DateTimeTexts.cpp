#include "DateTimeTexts.h"
#include "LocalDateTime.h"

#include <algorithm>

namespace localtext {

DateTimeTexts::DateTimeTexts(const QLocale &locale)
    : m_locale(locale), m_timeFormat(formTimeFormat(locale))
{
    // Other digits, grouping or signs are the locale's business.
    if (locale.zeroDigit() != QLatin1String("0"))
        return;
    m_fastDate = compile(locale.dateFormat(QLocale::ShortFormat), m_date);
    for (int form : {0, 1}) {
        const auto format = form ? QLocale::LongFormat : QLocale::ShortFormat;
        for (int month = 1; month <= 12; ++month)
            m_monthNames[form][month - 1] = locale.monthName(month, format).toStdString();
        for (int day = 1; day <= 7; ++day)
            m_dayNames[form][day - 1] = locale.dayName(day, format).toStdString();
    }
    m_fastTime = compile(m_timeFormat, m_time);
    for (int upper : {0, 1}) {
        m_marks[0][upper] = (upper ? locale.amText().toUpper() : locale.amText().toLower()).toStdString();
        m_marks[1][upper] = (upper ? locale.pmText().toUpper() : locale.pmText().toLower()).toStdString();
    }
}

// Reads a format as QLocale does: quoted text is literal ('' is a quote), a run of one pattern
// letter is one field, any other character is itself. Gives up on what it does not write.
bool DateTimeTexts::compile(QStringView format, std::vector<Piece> &pieces) const
{
    pieces.clear();
    bool twelveHour = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        if (format[i] == u'\'') {
            ++i;
            if (i < format.size() && format[i] == u'\'')
                continue;
            for (; i < format.size(); ++i) {
                if (format[i] != u'\'')
                    continue;
                if (i + 1 < format.size() && format[i + 1] == u'\'')
                    ++i;
                else
                    break;
            }
        } else if (format[i] == u'a' || format[i] == u'A') {
            twelveHour = true;
        }
    }
    const auto text = [&pieces](QStringView s) {
        if (s.isEmpty())
            return;
        if (pieces.empty() || pieces.back().kind != Piece::Text)
            pieces.push_back({Piece::Text, 0, {}});
        pieces.back().text += s.toString().toStdString();
    };
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        if (c == u'\'') {
            ++i;
            if (i < format.size() && format[i] == u'\'') {
                text(u"'");
                ++i;
                continue;
            }
            QString quoted;
            while (i < format.size()) {
                if (format[i] != u'\'') {
                    quoted += format[i++];
                } else if (i + 1 < format.size() && format[i + 1] == u'\'') {
                    quoted += u'\'';
                    i += 2;
                } else {
                    break;
                }
            }
            if (i < format.size())
                ++i;
            text(quoted);
            continue;
        }
        qsizetype run = 1;
        while (i + run < format.size() && format[i + run] == c)
            ++run;
        const uint8_t width = uint8_t(run);
        switch (c.unicode()) {
        case 'd':
        case 'M':
            // Three or four letters are a name: "ddd"/"dddd" of the weekday, "MMM"/"MMMM" of the month.
            run = std::min<qsizetype>(run, 4);
            pieces.push_back({c == u'd' ? Piece::Day : Piece::Month, uint8_t(run), {}});
            break;
        case 'y':
            if (run != 2 && run != 4)
                return false;
            pieces.push_back({Piece::Year, width, {}});
            break;
        case 'h':
        case 'H':
            if (run > 2)
                return false;
            pieces.push_back({c == u'h' && twelveHour ? Piece::Hour12 : Piece::Hour24, width, {}});
            break;
        case 'm':
        case 's':
            if (run > 2)
                return false;
            pieces.push_back({c == u'm' ? Piece::Minute : Piece::Second, width, {}});
            break;
        case 'A':
        case 'a': {
            // Only "AP" and "ap": the other spellings changed meaning between Qt versions.
            const QChar p = c == u'A' ? u'P' : u'p';
            if (run != 1 || i + 1 >= format.size() || format[i + 1] != p
                || (i + 2 < format.size() && format[i + 2].toLower() == u'p'))
                return false;
            pieces.push_back({Piece::AmPm, uint8_t(c == u'A' ? 1 : 0), {}});
            run = 2;
            break;
        }
        case 'z':
        case 't':
            return false;
        default:
            text(format.mid(i, run));
            break;
        }
        i += run;
    }
    return true;
}

void DateTimeTexts::appendNumber(int value, int width, std::string &out)
{
    char digits[12];
    int n = 0;
    do {
        digits[n++] = char('0' + value % 10);
        value /= 10;
    } while (value > 0);
    while (n < width)
        digits[n++] = '0';
    while (n > 0)
        out += digits[--n];
}

void DateTimeTexts::appendDate(QDate date, std::string &out) const
{
    if (!m_fastDate || !date.isValid() || date.year() < 0 || date.year() > 9999) {
        out += m_locale.toString(date, QLocale::ShortFormat).toStdString();
        return;
    }
    for (const Piece &piece : m_date) {
        switch (piece.kind) {
        case Piece::Day:
        case Piece::Month: {
            const bool day = piece.kind == Piece::Day;
            if (piece.width <= 2)
                appendNumber(day ? date.day() : date.month(), piece.width, out);
            else // a name, short or long
                out += day ? m_dayNames[piece.width - 3][date.dayOfWeek() - 1]
                           : m_monthNames[piece.width - 3][date.month() - 1];
            break;
        }
        case Piece::Year:
            appendNumber(piece.width == 4 ? date.year() : date.year() % 100, piece.width, out);
            break;
        default:
            out += piece.text;
            break;
        }
    }
}

void DateTimeTexts::appendTime(QTime time, std::string &out) const
{
    if (!m_fastTime || !time.isValid()) {
        out += m_locale.toString(time, m_timeFormat).toStdString();
        return;
    }
    for (const Piece &piece : m_time) {
        switch (piece.kind) {
        case Piece::Hour24:
            appendNumber(time.hour(), piece.width, out);
            break;
        case Piece::Hour12:
            appendNumber(time.hour() % 12 == 0 ? 12 : time.hour() % 12, piece.width, out);
            break;
        case Piece::Minute:
            appendNumber(time.minute(), piece.width, out);
            break;
        case Piece::Second:
            appendNumber(time.second(), piece.width, out);
            break;
        case Piece::AmPm:
            out += m_marks[time.hour() < 12 ? 0 : 1][piece.width];
            break;
        default:
            out += piece.text;
            break;
        }
    }
}

std::shared_ptr<const DateTimeTexts> textsFor(const QLocale &locale)
{
    static thread_local std::shared_ptr<const DateTimeTexts> last;
    if (!last || last->locale() != locale)
        last = std::make_shared<const DateTimeTexts>(locale);
    return last;
}

} // namespace localtext
