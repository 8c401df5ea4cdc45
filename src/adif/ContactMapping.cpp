#include "ContactMapping.h"

#include "ModeTable.h"
#include "Subdivisions.h"

#include <QDateTime>
#include <QString>

namespace adif {

// A QSL manager's call sign: letters and digits, at least one of each, and optional slashes.
bool looksLikeCall(std::string_view s)
{
    bool digit = false, letter = false;
    for (char c : s) {
        if (c >= '0' && c <= '9')
            digit = true;
        else if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
            letter = true;
        else if (c != '/')
            return false;
    }
    return digit && letter;
}

namespace {

// Short letters and digits: what a subdivision code can be, before asking for the entity.
bool looksLikeCode(std::string_view s)
{
    if (s.empty() || s.size() > 4)
        return false;
    for (char c : s) {
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

bool allDigits(std::string_view s)
{
    for (char c : s) {
        if (c < '0' || c > '9')
            return false;
    }
    return !s.empty();
}

void appendLine(std::string &out, std::string_view line)
{
    if (line.empty())
        return;
    if (!out.empty())
        out += "\r\n";
    out += line;
}

constexpr std::string_view kYes = kYesText, kNo = kNoText;

// Blanks around a call sign, a date or a mode are no part of it, though other programs write them.
inline std::string_view trimmed(std::string_view s)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    if (s.empty() || (static_cast<unsigned char>(s.front()) > ' ' && static_cast<unsigned char>(s.back()) > ' '))
        return s; // as nearly always
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

} // namespace

std::string_view routeOf(std::string_view sentVia, bool hasQslVia, std::string_view qslVia)
{
    if (sentVia.empty() && hasQslVia)
        return qslVia; // the manager, as files are written now
    if (sentVia.size() != 1)
        return {};
    switch (sentVia[0] | 0x20) {
    case 'b': return "BURO";
    case 'd': return "DIRECTA";
    case 'e': return "ELECTRONICA";
    case 'm': return hasQslVia && !qslVia.empty() ? qslVia : std::string_view("MANAGER");
    default: return {};
    }
}


ContactEncoder::ContactEncoder(const EncodeOptions &options)
    : m_dates(options.locale), m_utc(options.utc), m_dxccOf(options.dxccOf)
{
}

void ContactEncoder::encode(const std::string_view *cells, Fields &out)
{
    out.clear();
    const std::string_view call = trimmed(cells[Call]);
    if (!call.empty())
        out.set(Field::Call, call);
    if (call != cells[Call])
        out.setApp(Call, cells[Call]);
    encodeDateTime(cells[Date], cells[Time], out);
    if (!cells[Name].empty())
        out.set(Field::Name, cells[Name]);
    if (!cells[Qth].empty())
        out.set(Field::Qth, cells[Qth]);
    encodeAddress(cells, out);
    encodeProvince(cells, out);
    if (!cells[Rst].empty())
        out.set(Field::RstSent, cells[Rst]);

    const std::string_view freq = cells[Frequency];
    m_frequency = freq.empty() ? FrequencyReading() : readFrequency(freq);
    std::string_view readBack; // what the reader makes of the fields written
    if (m_frequency.band >= 0) {
        out.set(Field::Freq, m_frequency.text());
        out.set(Field::Band, bandNameView(m_frequency.band));
        readBack = m_frequency.text();
    } else if (const int band = freq.empty() ? -1 : bandOfName(freq); band >= 0) {
        // A band without a frequency, as a file from another program gave it.
        readBack = bandNameView(band);
        out.set(Field::Band, readBack);
    }
    if (readBack != freq)
        out.setApp(Frequency, freq);

    const std::string_view typedMode = cells[Mode];
    std::string_view mode, submode;
    if (!typedMode.empty() && standardMode(trimmed(typedMode), mode, submode)) {
        out.set(Field::Mode, mode);
        if (!submode.empty())
            out.set(Field::Submode, submode);
        if ((submode.empty() ? mode : submode) != typedMode)
            out.setApp(Mode, typedMode);
    } else if (!typedMode.empty()) {
        out.setApp(Mode, typedMode);
    }

    const std::string_view route = cells[Route];
    std::string_view via;
    if (sameLetters(route, "BURO"))
        via = "B";
    else if (sameLetters(route, "DIRECTA"))
        via = "D";
    else if (sameLetters(route, "ELECTRONICA"))
        via = "E";
    // A manager's call goes alone in QSL_VIA: the standard keeps QSL_SENT_VIA M for reading old
    // files. The typed route itself travels in the own field.
    const bool manager = via.empty() && looksLikeCall(route);
    if (manager)
        out.set(Field::QslVia, route);
    if (!via.empty())
        out.set(Field::QslSentVia, via);
    if (manager || route != routeOf(via, false, {}))
        out.setApp(Route, route);

    for (const auto &[column, field] : {std::pair{int(Sent), Field::QslSent}, std::pair{int(Received), Field::QslRcvd}}) {
        const std::string_view v = cells[column];
        if (sameLetters(v, kYes))
            out.set(field, "Y");
        else if (sameLetters(v, kNo))
            out.set(field, "N");
        if (v != kYes && v != kNo) // the reader gives "SI" or "NO", never anything else
            out.setApp(column, v);
    }

    const std::string_view comment = cells[Comment];
    if (comment.find_first_of("\r\n") == std::string_view::npos) {
        if (!comment.empty())
            out.set(Field::Comment, comment);
    } else {
        // Line breaks of any kind go out as CR LF, the line end of a multi-line field.
        m_notes.clear();
        for (size_t i = 0; i < comment.size(); ++i) {
            const char c = comment[i];
            if (c == '\r' || c == '\n') {
                m_notes += "\r\n";
                if (c == '\r' && i + 1 < comment.size() && comment[i + 1] == '\n')
                    ++i;
            } else {
                m_notes += c;
            }
        }
        out.set(Field::Notes, m_notes);
        // Read back, CR LF becomes a line feed: only a comment without CR comes back as it was.
        if (comment.find('\r') != std::string_view::npos)
            out.setApp(Comment, comment);
    }
}

void ContactEncoder::encodeDateTime(std::string_view date, std::string_view time, Fields &out)
{
    Day day;
    TypedTime clock;
    const bool hasDate = !date.empty() && m_dates.date(date, day);
    const bool hasTime = !time.empty() && m_dates.time(time, clock);
    // A zone's offset depends on the date and time both; a fixed one on neither.
    const bool zone = m_utc.kind() == UtcConversion::Kind::Zone;
    m_fit = UtcConversion::Fit::Exact;
    int64_t shift = 0;
    if (!zone)
        shift = m_utc.secondsToUtc({}, {});
    else if (hasDate && hasTime)
        shift = m_utc.secondsToUtc(day.toQDate(), QTime(clock.hour, clock.minute, clock.second), &m_fit);
    // Without the time the UTC date is unknown, unless nothing is added.
    if (hasDate && (hasTime || (!zone && shift == 0)) && utcDate(day, clock, shift, m_date))
        out.set(Field::QsoDate, std::string_view(m_date, 8));
    if (hasTime && (hasDate || !zone)) {
        size_t size = 0;
        utcTime(clock, shift, m_time, size);
        out.set(Field::TimeOn, std::string_view(m_time, size));
    }
    // The typed texts always travel: local time as typed cannot be rebuilt from UTC.
    if (!date.empty())
        out.setApp(Date, date);
    if (!time.empty())
        out.setApp(Time, time);
}

void ContactEncoder::encodeAddress(const std::string_view *cells, Fields &out)
{
    m_address.clear();
    const std::string_view box = cells[PostBox];
    if (allDigits(box)) {
        m_address += "Casilla de Correo ";
        m_address += box;
    } else {
        appendLine(m_address, box);
    }
    const std::string_view code = cells[PostalCode], city = cells[City];
    if (!code.empty() || !city.empty()) {
        if (!m_address.empty())
            m_address += "\r\n";
        m_address += code;
        if (!code.empty() && !city.empty())
            m_address += ' ';
        m_address += city;
    }
    appendLine(m_address, cells[Province]);
    if (!m_address.empty())
        out.set(Field::Address, m_address);
    // The reader takes these three from Orvanel's own fields only.
    for (int column : {int(City), int(PostalCode), int(PostBox)}) {
        if (!cells[column].empty())
            out.setApp(column, cells[column]);
    }
}

void ContactEncoder::encodeProvince(const std::string_view *cells, Fields &out)
{
    const std::string_view province = cells[Province];
    if (province.empty())
        return;
    if (m_dxccOf && looksLikeCode(province)) {
        const std::string_view call = cells[Call];
        const int dxcc = m_dxccOf(QString::fromUtf8(call.data(), qsizetype(call.size())));
        if (isSubdivisionCode(dxcc, province)) {
            out.set(Field::State, province);
            return;
        }
    }
    out.setApp(Province, province);
}

ContactDecoder::ContactDecoder(const DecodeOptions &options)
    : m_utc(options.utc), m_asWritten(options.asWritten), m_texts(localtext::textsFor(options.locale))
{
}

namespace {

std::string_view intlOr(const Fields &f, Field plain)
{
    const Field intl = intlTwin(plain);
    return f.has(intl) ? f.get(intl) : f.get(plain);
}

} // namespace

void ContactDecoder::dateTimeTexts(const Fields &f, std::string_view &dateCell, std::string_view &timeCell)
{
    Day date;
    TypedTime time;
    const bool hasDate = f.has(Field::QsoDate) && parseAdifDate(trimmed(f.get(Field::QsoDate)), date);
    const bool hasTime = f.has(Field::TimeOn) && parseAdifTime(trimmed(f.get(Field::TimeOn)), time);
    // What cannot be read is kept as written: better than nothing.
    dateCell = trimmed(f.get(Field::QsoDate));
    timeCell = trimmed(f.get(Field::TimeOn));
    if (!hasDate && !hasTime)
        return;
    if (!hasDate)
        date = {2000, 1, 1};
    if (!hasTime)
        time = {};
    constexpr int64_t kDay = 86400, kJulianDay1970 = 2440588;
    int64_t seconds = (QDate(date.year, date.month, date.day).toJulianDay() - kJulianDay1970) * kDay
                      + time.hour * 3600 + time.minute * 60 + time.second;
    // A time without its date moves by the offset of no particular day: only a fixed one.
    if (hasTime && (hasDate || m_utc.kind() != UtcConversion::Kind::Zone))
        seconds = m_utc.localSeconds(seconds);
    const int64_t day = seconds >= 0 ? seconds / kDay : (seconds - kDay + 1) / kDay;
    if (hasDate) {
        m_scratch[0].clear();
        m_texts->appendDate(QDate::fromJulianDay(kJulianDay1970 + day), m_scratch[0]);
        dateCell = m_scratch[0];
    }
    if (hasTime) {
        m_scratch[1].clear();
        m_texts->appendTime(QTime::fromMSecsSinceStartOfDay(int(seconds - day * kDay) * 1000), m_scratch[1]);
        timeCell = m_scratch[1];
    }
}

uint32_t ContactDecoder::decode(const Fields &f, std::string_view *cells)
{
    auto pick = [&f](int column, std::string_view standard) {
        return f.hasApp(column) ? f.app[column] : standard;
    };
    cells[Number] = {};
    const auto plain = [&f](Field field) { return trimmed(f.get(field)); };
    cells[Call] = pick(Call, plain(Field::Call));
    cells[Name] = pick(Name, intlOr(f, Field::Name));
    cells[Qth] = pick(Qth, intlOr(f, Field::Qth));
    cells[Province] = pick(Province, f.get(Field::State));
    cells[City] = pick(City, {});
    cells[PostalCode] = pick(PostalCode, {});
    cells[PostBox] = pick(PostBox, {});
    cells[Rst] = pick(Rst, f.get(Field::RstSent));
    if (m_asWritten) {
        cells[Date] = plain(Field::QsoDate);
        cells[Time] = plain(Field::TimeOn);
    } else {
        std::string_view date, time;
        if (!f.hasApp(Date) || !f.hasApp(Time))
            dateTimeTexts(f, date, time);
        cells[Date] = f.hasApp(Date) ? f.app[Date] : date;
        cells[Time] = f.hasApp(Time) ? f.app[Time] : time;
    }
    cells[Frequency] = pick(Frequency, !plain(Field::Freq).empty() ? plain(Field::Freq) : plain(Field::Band));
    cells[Mode] = pick(Mode, !plain(Field::Submode).empty() ? plain(Field::Submode) : plain(Field::Mode));
    const std::string_view via = f.get(Field::QslSentVia);
    cells[Route] = pick(Route, routeOf(via, f.has(Field::QslVia), f.get(Field::QslVia)));
    cells[Sent] = pick(Sent, yesNoOf(f.get(Field::QslSent)));
    cells[Received] = m_asWritten ? f.get(Field::QslRcvd) : pick(Received, yesNoOf(f.get(Field::QslRcvd)));

    if (f.hasApp(Comment)) {
        cells[Comment] = f.app[Comment];
    } else {
        const bool comment = f.has(Field::Comment) || f.has(Field::CommentIntl);
        const bool notes = f.has(Field::Notes) || f.has(Field::NotesIntl);
        const std::string_view commentText = intlOr(f, Field::Comment), notesText = intlOr(f, Field::Notes);
        if (!notes) {
            cells[Comment] = commentText;
        } else {
            std::string &out = m_scratch[2];
            out.clear();
            if (comment) {
                out += commentText;
                out += '\n';
            }
            // The multi-line field ends its lines with CR LF; the table keeps line feeds.
            for (size_t i = 0; i < notesText.size(); ++i) {
                if (notesText[i] == '\r' && i + 1 < notesText.size() && notesText[i + 1] == '\n')
                    continue;
                out += notesText[i];
            }
            cells[Comment] = out;
        }
    }

    // What no column took. Orvanel's own records carry BAND and ADDRESS as a service to other
    // programs; they are nothing lost.
    uint32_t unused = 0;
    const bool own = isOwn(f);
    if (!own && f.has(Field::Band) && !plain(Field::Freq).empty())
        unused |= 1u << int(Field::Band);
    if (!own && (f.has(Field::Address) || f.has(Field::AddressIntl)))
        unused |= (f.present & (1u << int(Field::Address) | 1u << int(Field::AddressIntl)));
    if (f.has(Field::QslVia) && !via.empty() && !(via.size() == 1 && (via[0] | 0x20) == 'm'))
        unused |= 1u << int(Field::QslVia);
    return unused;
}

} // namespace adif
