#include "DigitalDatagram.h"
#include <QTimeZone>
#include <type_traits>

using namespace Qt::StringLiterals;

namespace digital {
namespace {

// Big-endian fields one after the other. A read past the end fails and leaves the value alone.
class Cursor
{
public:
    explicit Cursor(const QByteArray &bytes) : m_p(bytes.constData()), m_left(size_t(bytes.size())) {}

    bool atEnd() const { return m_left == 0; }

    template<class T>
    bool number(T &out)
    {
        if (m_left < sizeof(T))
            return false;
        std::make_unsigned_t<T> v = 0;
        for (size_t i = 0; i < sizeof(T); ++i)
            v = std::make_unsigned_t<T>(v << 8 | static_cast<unsigned char>(m_p[i]));
        out = T(v);
        skip(sizeof(T));
        return true;
    }

    // "utf8": a quint32 byte count (0xffffffff for a null text) and the bytes.
    bool bytes(QByteArray &out)
    {
        quint32 size = 0;
        if (!number(size))
            return false;
        if (size == 0xffffffffu) {
            out = QByteArray();
            return true;
        }
        if (size > m_left)
            return false;
        out = QByteArray(m_p, qsizetype(size));
        skip(size);
        return true;
    }

    bool text(QString &out)
    {
        quint32 size = 0;
        if (!number(size) || (size != 0xffffffffu && size > m_left))
            return false;
        out = size == 0xffffffffu ? QString() : QString::fromUtf8(m_p, qsizetype(size));
        skip(size == 0xffffffffu ? 0 : size);
        return true;
    }

    // QDateTime as Qt 5.2 on writes it: Julian day (qint64), milliseconds since midnight
    // (quint32), Qt::TimeSpec (quint8: 0 local, 1 UTC, 2 offset, 3 zone) and the offset in
    // seconds (qint32) for an offset. A null date or time gives an invalid moment; `zoned` is set for a time
    // zone, whose fields the protocol's programs never send and this reader does not follow.
    bool moment(QDateTime &out, bool &zoned)
    {
        qint64 day = 0;
        quint32 ms = 0;
        quint8 timeSpec = 0;
        qint32 offset = 0;
        if (!number(day) || !number(ms) || !number(timeSpec) || (timeSpec == 2 && !number(offset)))
            return false;
        zoned = timeSpec > 2;
        const QDate date = day > -100000000 && day < 100000000 ? QDate::fromJulianDay(day) : QDate();
        const QTime time = ms < 86400000u ? QTime::fromMSecsSinceStartOfDay(int(ms)) : QTime();
        if (zoned || !date.isValid() || !time.isValid() || offset < -14 * 3600 || offset > 14 * 3600)
            out = QDateTime();
        else if (timeSpec == 2)
            out = QDateTime(date, time, QTimeZone(offset));
        else
            out = QDateTime(date, time, timeSpec == 1 ? Qt::UTC : Qt::LocalTime);
        return true;
    }

private:
    void skip(size_t n)
    {
        m_p += n;
        m_left -= n;
    }

    const char *m_p;
    size_t m_left;
};

QString typeName(Type type)
{
    switch (type) {
    case Type::Heartbeat: return u"Heartbeat"_s;
    case Type::Status: return u"Status"_s;
    case Type::QsoLogged: return u"QSO Logged"_s;
    case Type::Close: return u"Close"_s;
    case Type::LoggedAdif: return u"Logged ADIF"_s;
    }
    return {};
}

// The fields every program sends, then those newer ones add: a datagram may end between two
// fields (an older program), never inside one.
bool readQso(Cursor &in, LoggedQso &q, bool &zoned)
{
    if (!in.moment(q.timeOff, zoned) || !in.bytes(q.dxCall) || !in.bytes(q.dxGrid) || !in.number(q.frequency)
        || !in.bytes(q.mode) || !in.bytes(q.reportSent) || !in.bytes(q.reportReceived) || !in.bytes(q.txPower)
        || !in.bytes(q.comments) || !in.bytes(q.name))
        return false;
    bool zonedOn = false;
    if (!in.atEnd() && !in.moment(q.timeOn, zonedOn))
        return false;
    zoned = zoned || zonedOn;
    for (QByteArray *later : {&q.operatorCall, &q.myCall, &q.myGrid, &q.exchangeSent, &q.exchangeReceived}) {
        if (!in.atEnd() && !in.bytes(*later))
            return false;
    }
    return true;
}

} // namespace

Read readDatagram(const QByteArray &bytes)
{
    Read r;
    Cursor in(bytes);
    quint32 magic = 0, schema = 0, type = 0;
    if (!in.number(magic) || magic != kMagic) {
        r.reason = u"no es un mensaje de un programa digital (no empieza con su número mágico)"_s;
        return r;
    }
    if (!in.number(schema) || !in.number(type)) {
        r.reason = u"el mensaje está cortado antes de decir su tipo"_s;
        return r;
    }
    if (schema != 2 && schema != 3) {
        r.reason = u"el mensaje usa el esquema %1; este programa lee los esquemas 2 y 3"_s.arg(schema);
        return r;
    }
    Message &m = r.message;
    m.schema = schema;
    m.type = Type(type);
    if (typeName(m.type).isEmpty()) {
        r.outcome = Outcome::Ignored;
        return r;
    }
    bool whole = in.text(m.id);
    bool zoned = false;
    switch (m.type) {
    case Type::Heartbeat:
    case Type::Close:
        break; // what follows the id (schema, version) is not needed
    case Type::Status:
        whole = whole && in.number(m.status.dialFrequency) && in.text(m.status.mode) && in.text(m.status.dxCall);
        break;
    case Type::QsoLogged:
        whole = whole && readQso(in, m.qso, zoned);
        break;
    case Type::LoggedAdif:
        whole = whole && in.bytes(m.adif);
        break;
    }
    if (!whole) {
        r.reason = u"el mensaje «%1» está cortado"_s.arg(typeName(m.type));
    } else if (zoned) {
        r.reason = u"la fecha del contacto trae una zona horaria, que el protocolo no usa"_s;
    } else if (m.type == Type::QsoLogged && !m.qso.timeOn.isValid() && !m.qso.timeOff.isValid()) {
        r.reason = u"el contacto no trae una fecha y hora válidas"_s;
    } else {
        r.outcome = Outcome::Read;
    }
    return r;
}

} // namespace digital
