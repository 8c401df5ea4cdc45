#pragma once
// The sixteen columns of a contact to ADIF fields and back. Every cell that the standard
// fields would not give back exactly also travels in an APP_ORVANEL_ field, so a log written
// and read again is the same, cell for cell; files from other programs are read through the
// standard fields alone.
#include "AdifDates.h"
#include "AdifFields.h"
#include "BandTable.h"
#include "common/DateTimeTexts.h"
#include "common/UtcConversion.h"

#include <QLocale>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace adif {

// A QSL manager's call sign: letters and digits, at least one of each, and optional slashes.
bool looksLikeCall(std::string_view s);

struct EncodeOptions
{
    UtcConversion utc;   // how Fecha and Hora become UTC
    QLocale locale;
    std::function<int(QStringView call)> dxccOf;
};

class ContactEncoder
{
public:
    explicit ContactEncoder(const EncodeOptions &options);
    // The fields of one contact, cells[0 .. kColumns - 1]; the views live until the next call.
    void encode(const std::string_view *cells, Fields &out);
    // Whether the fields hold what a QSO needs: the call, the date and the time.
    static bool complete(const Fields &f)
    {
        return f.has(Field::Call) && f.has(Field::QsoDate) && f.has(Field::TimeOn);
    }
    // The last contact's local time fell in an hour skipped or repeated by a change of clocks.
    bool timeUnclear() const { return m_fit != UtcConversion::Fit::Exact; }

private:
    void encodeDateTime(std::string_view date, std::string_view time, Fields &out);
    void encodeAddress(const std::string_view *cells, Fields &out);
    void encodeProvince(const std::string_view *cells, Fields &out);

    DateReader m_dates;
    UtcConversion m_utc;
    UtcConversion::Fit m_fit = UtcConversion::Fit::Exact;
    std::function<int(QStringView call)> m_dxccOf;
    char m_date[8];
    char m_time[6];
    FrequencyReading m_frequency;
    std::string m_address, m_notes;
};

struct DecodeOptions
{
    UtcConversion utc;   // how UTC becomes the table's local dates and times
    QLocale locale;
    // Fecha, Hora and Recibida as the file writes QSO_DATE, TIME_ON and QSL_RCVD (empty when
    // absent), for matching against the log rather than adding to it.
    bool asWritten = false;
};

class ContactDecoder
{
public:
    explicit ContactDecoder(const DecodeOptions &options);
    // The cells of one contact (cells[0] empty); the views live until the next call. Returns the
    // standard fields of the record that no column took, a bit per Field.
    uint32_t decode(const Fields &f, std::string_view *cells);
    // The file says in its header that Orvanel wrote it: BAND and ADDRESS are then its own.
    void setWrittenByOrvanel(bool own) { m_ownFile = own; }
    bool writtenByOrvanel() const { return m_ownFile; }
    // Whether a record is a row of Orvanel's table, which may lack what a contact needs.
    bool isOwn(const Fields &f) const { return m_ownFile || f.appPresent != 0; }

private:
    // Fecha and Hora from QSO_DATE and TIME_ON; the views live until the next call.
    void dateTimeTexts(const Fields &f, std::string_view &date, std::string_view &time);
    UtcConversion m_utc;
    bool m_asWritten;
    bool m_ownFile = false;
    std::shared_ptr<const localtext::DateTimeTexts> m_texts;
    std::string m_scratch[3];
};

// What reading gives back for a column from its standard fields, shared by the writer (to know
// when an APP_ORVANEL_ field is needed) and the reader.
std::string_view routeOf(std::string_view sentVia, bool hasQslVia, std::string_view qslVia);
inline constexpr std::string_view kYesText = "SI", kNoText = "NO";
inline std::string_view yesNoOf(std::string_view value)
{
    return value.size() == 1 && (value[0] | 0x20) == 'y' ? kYesText : kNoText;
}

} // namespace adif
