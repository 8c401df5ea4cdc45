#include "ContactMapping.h"

#include "ModeTable.h"
#include "Subdivisions.h"
#include "common/LocalDateTime.h"

#include <QDateTime>
#include <QString>

namespace adif {
namespace {

bool sameLetters(std::string_view text, std::string_view upper)
{
    if (text.size() != upper.size())
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
        if (c != upper[i])
            return false;
    }
    return true;
}

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

constexpr std::string_view kYes = "SI", kNo = "NO";

} // namespace

std::string_view routeOf(std::string_view sentVia, bool hasQslVia, std::string_view qslVia)
{
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

std::string_view yesNoOf(std::string_view value)
{
    return value.size() == 1 && (value[0] | 0x20) == 'y' ? kYes : kNo;
}

ContactEncoder::ContactEncoder(const EncodeOptions &options)
    : m_dates(options.locale), m_difUtc(options.localToUtc ? options.difUtc : 0), m_dxccOf(options.dxccOf)
{
}

void ContactEncoder::encode(const std::string_view *cells, Fields &out)
{
    out.clear();
    if (!cells[Call].empty())
        out.set(Field::Call, cells[Call]);
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
    if (m_frequency.band >= 0) {
        out.set(Field::Freq, m_frequency.text());
        out.set(Field::Band, bandNameView(m_frequency.band));
    }
    if (!freq.empty() && m_frequency.text() != freq)
        out.setApp(Frequency, freq);

    const std::string_view typedMode = cells[Mode];
    std::string_view mode, submode;
    if (!typedMode.empty() && standardMode(typedMode, mode, submode)) {
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
    else if (looksLikeCall(route)) {
        via = "M";
        out.set(Field::QslVia, route);
    }
    if (!via.empty())
        out.set(Field::QslSentVia, via);
    if (route != routeOf(via, out.has(Field::QslVia), route))
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
    // Without the time the UTC date is unknown, unless no hours are added.
    if (hasDate && (hasTime || m_difUtc == 0) && utcDate(day, clock, m_difUtc, m_date))
        out.set(Field::QsoDate, std::string_view(m_date, 8));
    if (hasTime) {
        size_t size = 0;
        utcTime(clock, m_difUtc, m_time, size);
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
    : m_utcToLocal(options.utcToLocal), m_asWritten(options.asWritten), m_difUtc(options.difUtc),
      m_locale(options.locale)
{
}

namespace {

std::string_view intlOr(const Fields &f, Field plain)
{
    const Field intl = intlTwin(plain);
    return f.has(intl) ? f.get(intl) : f.get(plain);
}

bool hasText(const Fields &f, Field field)
{
    return f.has(field) && !f.get(field).empty();
}

} // namespace

std::string_view ContactDecoder::dateTimeText(const Fields &f, bool wantDate)
{
    Day date;
    TypedTime time;
    const bool hasDate = f.has(Field::QsoDate) && parseAdifDate(f.get(Field::QsoDate), date);
    const bool hasTime = f.has(Field::TimeOn) && parseAdifTime(f.get(Field::TimeOn), time);
    const Field field = wantDate ? Field::QsoDate : Field::TimeOn;
    if (!(wantDate ? hasDate : hasTime))
        return f.has(field) ? f.get(field) : std::string_view(); // kept as written: better than nothing
    QDateTime moment(hasDate ? date.toQDate() : QDate(2000, 1, 1), QTime(time.hour, time.minute, time.second));
    if (m_utcToLocal && (hasTime || !wantDate))
        moment = moment.addSecs(-3600LL * m_difUtc);
    std::string &out = m_scratch[wantDate ? 0 : 1];
    out = (wantDate ? localtext::shortDate(moment, m_locale) : localtext::longTime(moment, m_locale)).toStdString();
    return out;
}

uint32_t ContactDecoder::decode(const Fields &f, std::string_view *cells)
{
    auto pick = [&f](int column, std::string_view standard) {
        return f.hasApp(column) ? f.app[column] : standard;
    };
    cells[Number] = {};
    cells[Call] = pick(Call, f.get(Field::Call));
    cells[Name] = pick(Name, intlOr(f, Field::Name));
    cells[Qth] = pick(Qth, intlOr(f, Field::Qth));
    cells[Province] = pick(Province, f.get(Field::State));
    cells[City] = pick(City, {});
    cells[PostalCode] = pick(PostalCode, {});
    cells[PostBox] = pick(PostBox, {});
    cells[Rst] = pick(Rst, f.get(Field::RstSent));
    if (m_asWritten) {
        cells[Date] = f.get(Field::QsoDate);
        cells[Time] = f.get(Field::TimeOn);
    } else {
        cells[Date] = f.hasApp(Date) ? f.app[Date] : dateTimeText(f, true);
        cells[Time] = f.hasApp(Time) ? f.app[Time] : dateTimeText(f, false);
    }
    cells[Frequency] = pick(Frequency, f.has(Field::Freq) ? f.get(Field::Freq) : f.get(Field::Band));
    cells[Mode] = pick(Mode, hasText(f, Field::Submode) ? f.get(Field::Submode) : f.get(Field::Mode));
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
    const bool own = m_ownFile || f.appPresent != 0;
    if (!own && f.has(Field::Band) && f.has(Field::Freq))
        unused |= 1u << int(Field::Band);
    if (!own && (f.has(Field::Address) || f.has(Field::AddressIntl)))
        unused |= (f.present & (1u << int(Field::Address) | 1u << int(Field::AddressIntl)));
    if (f.has(Field::QslVia) && !(via.size() == 1 && (via[0] | 0x20) == 'm'))
        unused |= 1u << int(Field::QslVia);
    return unused;
}

} // namespace adif
