#include "DigitalContact.h"
#include "FormFrequency.h"
#include "adif/ContactMapping.h"
#include "common/Blanks.h"
#include "common/Cp1252.h"
#include "common/Utf8.h"
#include <QHash>

using namespace Qt::StringLiterals;
using namespace adif;

namespace digital {
namespace {

std::string_view view(const QByteArray &bytes)
{
    return {bytes.constData(), size_t(bytes.size())};
}

// A text as the program sent it, made well-formed UTF-8 (in `fixed`) when it is not.
std::string_view clean(const QByteArray &bytes, std::string &fixed)
{
    if (isValidUtf8(view(bytes)))
        return view(bytes);
    fixed = QString::fromUtf8(bytes).toStdString();
    return fixed;
}

// A number of exactly `width` digits (the years of a contact have four).
std::string digits(int value, int width)
{
    std::string text(size_t(width), '0');
    for (int i = width - 1; i >= 0 && value > 0; --i, value /= 10)
        text[size_t(i)] = char('0' + value % 10);
    return text;
}

bool isNumber(std::string_view s)
{
    bool digit = false;
    for (char c : s) {
        if (c >= '0' && c <= '9')
            digit = true;
        else if (c != '.' && c != ',')
            return false;
    }
    return digit;
}

// The fields of an ADI text the ADIF reader has already accepted, by upper-case name: a plain
// pass for the few that have no column.
QHash<QByteArray, QByteArray> adiFields(const QByteArray &adi)
{
    QHash<QByteArray, QByteArray> out;
    for (qsizetype at = adi.indexOf('<'); at >= 0;) {
        const qsizetype close = adi.indexOf('>', at);
        if (close < 0)
            break;
        const QList<QByteArray> parts = adi.mid(at + 1, close - at - 1).split(':');
        qsizetype next = close + 1;
        bool ok = false;
        const qsizetype size = parts.size() >= 2 ? parts[1].toLongLong(&ok) : 0;
        if (ok && size >= 0 && size <= adi.size() - next) {
            out.insert(parts[0].toUpper(), adi.mid(next, size));
            next += size;
        }
        at = adi.indexOf('<', next);
    }
    return out;
}

ContactCells fromQso(const LoggedQso &q, const AdifImportOptions &options)
{
    // The start, in UTC, as ADIF holds it: then the import's own way to local time.
    const QDateTime start = (q.timeOn.isValid() ? q.timeOn : q.timeOff).toUTC();
    const QDate day = start.date();
    const QTime clock = start.time();
    const std::string date = digits(day.year(), 4) + digits(day.month(), 2) + digits(day.day(), 2);
    const std::string time = digits(clock.hour(), 2) + digits(clock.minute(), 2) + digits(clock.second(), 2);
    const std::string frequencyText = formFrequencyUtf8(qint64(q.frequency));
    const QByteArray frequency = QByteArray::fromRawData(frequencyText.data(), qsizetype(frequencyText.size()));
    std::string fixed[11];
    Fields f;
    f.set(Field::Call, trimmed(clean(q.dxCall, fixed[0])));
    f.set(Field::QsoDate, date);
    f.set(Field::TimeOn, time);
    for (const auto &[field, value, k] : {std::tuple{Field::Name, &q.name, 1}, {Field::RstSent, &q.reportSent, 2},
                                          {Field::Mode, &q.mode, 3}, {Field::Freq, &frequency, 4}}) {
        if (!value->isEmpty())
            f.set(field, trimmed(clean(*value, fixed[k])));
    }
    ContactDecoder decoder({options.utc, options.locale});
    std::string_view cells[kColumns];
    decoder.decode(f, cells);
    ContactCells out{true, std::vector<std::string>(cells, cells + kColumns), {}};
    out.cells[Comment] = extrasLine(clean(q.comments, fixed[5]), clean(q.reportReceived, fixed[6]),
                                    clean(q.dxGrid, fixed[7]), clean(q.txPower, fixed[8]),
                                    clean(q.exchangeSent, fixed[9]), clean(q.exchangeReceived, fixed[10]));
    return out;
}

ContactCells fromAdif(const QByteArray &adi, const AdifImportOptions &options)
{
    const AdifRead read = importAdifBytes(adi, u"Logged ADIF"_s, options);
    if (!read.ok)
        return {false, {}, read.error};
    if (read.rows.rows() != 1)
        return {false, {}, u"el texto ADIF trae %1 contactos en lugar de uno"_s.arg(read.rows.rows())};
    std::string_view cells[kColumns];
    read.rows.rowCells(0, cells);
    ContactCells out{true, std::vector<std::string>(cells, cells + kColumns), {}};
    const QHash<QByteArray, QByteArray> f = adiFields(adi);
    const QByteArray values[] = {f.value("RST_RCVD"), f.value("GRIDSQUARE"), f.value("TX_PWR"),
                                 f.value("STX_STRING", f.value("STX")), f.value("SRX_STRING", f.value("SRX"))};
    std::string fixed[5];
    std::string_view extra[5];
    for (int i = 0; i < 5; ++i)
        extra[i] = clean(values[i], fixed[i]);
    out.cells[Comment] = extrasLine(out.cells[Comment], extra[0], extra[1], extra[2], extra[3], extra[4]);
    return out;
}

} // namespace

std::string extrasLine(std::string_view comment, std::string_view reportReceived, std::string_view grid,
                       std::string_view power, std::string_view exchangeSent, std::string_view exchangeReceived)
{
    std::string line;
    const auto add = [&line](std::string_view before, std::string_view value, std::string_view after = {}) {
        value = trimmed(value);
        if (value.empty())
            return;
        if (!line.empty())
            line += " \xC2\xB7 "; // " · "
        line.append(before).append(value).append(after);
    };
    add({}, comment);
    add("RST recibido ", reportReceived);
    add({}, grid);
    add({}, power, isNumber(trimmed(power)) ? " W" : "");
    add("intercambio enviado ", exchangeSent);
    add("intercambio recibido ", exchangeReceived);
    return line;
}

ContactCells contactCells(const Message &message, const AdifImportOptions &options)
{
    ContactCells out;
    if (message.type == Type::QsoLogged)
        out = fromQso(message.qso, options);
    else if (message.type == Type::LoggedAdif)
        out = fromAdif(message.adif, options);
    else
        return {false, {}, u"el mensaje no describe un contacto"_s};
    if (!out.ok)
        return out;
    const QString call = out.cell(Call).trimmed();
    if (call.isEmpty())
        return {false, {}, u"el contacto no trae indicativo"_s};
    // The log book is written in Windows-1252: a call it could not hold could not be saved.
    if (!cp1252::canEncode(call))
        return {false, {}, u"el indicativo «%1» tiene caracteres que el libro no puede guardar"_s.arg(call)};
    if (out.cells[Route].empty())
        out.cells[Route] = "BURO";
    return out;
}

} // namespace digital
