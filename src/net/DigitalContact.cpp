#include "DigitalContact.h"
#include "FormFrequency.h"
#include "adif/ContactMapping.h"
#include "common/Cp1252.h"
#include <QHash>

using namespace Qt::StringLiterals;
using adif::Field;

namespace digital {
namespace {

std::string_view view(const QByteArray &bytes)
{
    return {bytes.constData(), size_t(bytes.size())};
}

QStringList cellList(const std::string_view *cells)
{
    QStringList list;
    list.reserve(adif::kColumns - 1);
    for (int c = 1; c < adif::kColumns; ++c)
        list << QString::fromUtf8(cells[c].data(), qsizetype(cells[c].size()));
    return list;
}

// The fields of an ADI text the ADIF reader has already accepted, by upper-case name: a plain
// pass for the few that have no column.
QHash<QByteArray, QString> adiFields(const QByteArray &adi)
{
    QHash<QByteArray, QString> out;
    for (qsizetype at = adi.indexOf('<'); at >= 0;) {
        const qsizetype close = adi.indexOf('>', at);
        if (close < 0)
            break;
        const QList<QByteArray> parts = adi.mid(at + 1, close - at - 1).split(':');
        qsizetype next = close + 1;
        bool ok = false;
        const qsizetype size = parts.size() >= 2 ? parts[1].toLongLong(&ok) : 0;
        if (ok && size >= 0 && size <= adi.size() - next) {
            out.insert(parts[0].toUpper(), QString::fromUtf8(adi.mid(next, size)));
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
    const QByteArray call = q.dxCall.trimmed().toUtf8(), name = q.name.toUtf8(), rst = q.reportSent.toUtf8(),
                     mode = q.mode.trimmed().toUtf8(), date = start.toString(u"yyyyMMdd"_s).toLatin1(),
                     time = start.toString(u"HHmmss"_s).toLatin1(), frequency = formFrequency(qint64(q.frequency)).toLatin1();
    adif::Fields f;
    f.set(Field::Call, view(call));
    f.set(Field::QsoDate, view(date));
    f.set(Field::TimeOn, view(time));
    for (const auto &[field, value] : {std::pair{Field::Name, &name}, {Field::RstSent, &rst}, {Field::Mode, &mode}}) {
        if (!value->isEmpty())
            f.set(field, view(*value));
    }
    if (!frequency.isEmpty())
        f.set(Field::Freq, view(frequency));
    adif::ContactDecoder decoder({options.utcToLocal, options.difUtc, options.locale});
    std::string_view cells[adif::kColumns];
    decoder.decode(f, cells);
    ContactCells out{true, cellList(cells), {}};
    out.cells[adif::Comment - 1] =
        extrasLine(q.comments, q.reportReceived, q.dxGrid, q.txPower, q.exchangeSent, q.exchangeReceived);
    return out;
}

ContactCells fromAdif(const QByteArray &adi, const AdifImportOptions &options)
{
    const AdifRead read = importAdifBytes(adi, u"Logged ADIF"_s, options);
    if (!read.ok)
        return {false, {}, read.error};
    if (read.rows.rows() != 1)
        return {false, {}, u"el texto ADIF trae %1 contactos en lugar de uno"_s.arg(read.rows.rows())};
    std::string_view cells[adif::kColumns];
    read.rows.rowCells(0, cells);
    ContactCells out{true, cellList(cells), {}};
    const QHash<QByteArray, QString> f = adiFields(adi);
    const auto either = [&f](const char *a, const char *b) { return f.value(a, f.value(b)); };
    QString &comment = out.cells[adif::Comment - 1];
    comment = extrasLine(comment, f.value("RST_RCVD"), f.value("GRIDSQUARE"), f.value("TX_PWR"),
                         either("STX_STRING", "STX"), either("SRX_STRING", "SRX"));
    return out;
}

} // namespace

QString extrasLine(const QString &comment, const QString &reportReceived, const QString &grid,
                   const QString &power, const QString &exchangeSent, const QString &exchangeReceived)
{
    QStringList parts;
    const auto add = [&parts](const QString &format, const QString &value) {
        if (!value.trimmed().isEmpty())
            parts << format.arg(value.trimmed());
    };
    add(u"%1"_s, comment);
    add(u"RST recibido %1"_s, reportReceived);
    add(u"%1"_s, grid);
    bool watts = false;
    power.trimmed().toDouble(&watts);
    add(watts ? u"%1 W"_s : u"%1"_s, power);
    add(u"intercambio enviado %1"_s, exchangeSent);
    add(u"intercambio recibido %1"_s, exchangeReceived);
    return parts.join(u" · "_s);
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
    const QString call = out.cells[adif::Call - 1].trimmed();
    if (call.isEmpty())
        return {false, {}, u"el contacto no trae indicativo"_s};
    // The log book is written in Windows-1252: a call it could not hold could not be saved.
    if (!cp1252::canEncode(call))
        return {false, {}, u"el indicativo «%1» tiene caracteres que el libro no puede guardar"_s.arg(call)};
    QString &route = out.cells[adif::Route - 1];
    if (route.isEmpty())
        route = u"BURO"_s;
    return out;
}

} // namespace digital
