#pragma once
// Datagrams of the digital-mode programs, built field by field as the protocol's description
// lays them out: big-endian QDataStream, texts as a quint32 byte count and their UTF-8 bytes,
// a moment as Julian day, milliseconds since midnight and Qt::TimeSpec (1: UTC).
#include <QDataStream>
#include <QDateTime>
#include <QIODevice>

struct Datagram
{
    QByteArray bytes;
    QDataStream out{&bytes, QIODevice::WriteOnly};
    Datagram(quint32 type, const QString &id, quint32 schema = 3, quint32 magic = 0xadbccbda)
    {
        out << magic << schema << type;
        text(id);
    }
    Datagram &text(const QString &s) { out << s.toUtf8(); return *this; }
    Datagram &moment(const QDateTime &utc)
    {
        out << qint64(utc.date().toJulianDay()) << quint32(utc.time().msecsSinceStartOfDay()) << quint8(1);
        return *this;
    }
    template<class T> Datagram &number(T v) { out << v; return *this; }
};

// "QSO Logged" from K1ABC's side of one contact: report sent -10, received -15, grid FN42,
// 50 W, name Bob. An older program (`later` false) stops after the name: no start time.
inline QByteArray qsoLogged(const QString &id, const QString &call, const QDateTime &on, quint32 schema = 3,
                            bool later = true)
{
    Datagram d(5, id, schema);
    d.moment(on.addSecs(60)).text(call).text(QStringLiteral("FN42")).number(quint64(14074512)).text(QStringLiteral("FT8"));
    for (const char *field : {"-10", "-15", "50", "", "Bob"})
        d.text(QString::fromUtf8(field));
    if (later) {
        d.moment(on);
        for (const char *field : {"", "EA1XYZ", "IN80", "", ""})
            d.text(QString::fromUtf8(field));
    }
    return d.bytes;
}

inline QByteArray loggedAdif(const QString &id, const QByteArray &adi)
{
    return Datagram(12, id).text(QString::fromUtf8(adi)).bytes;
}

inline QByteArray status(const QString &id, quint64 dial, const QString &mode, const QString &dxCall)
{
    return Datagram(1, id).number(dial).text(mode).text(dxCall).text(QStringLiteral("-10")).text(mode).bytes;
}
