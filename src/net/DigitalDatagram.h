#pragma once
// What a digital-mode program (WSJT-X, JTDX, MSHV and their kin) says in one UDP datagram: a
// magic number, a schema, a type and the program's id, then the type's fields, big-endian as
// Qt's QDataStream writes them (schema 2 is Qt 5.2's stream, 3 is Qt 5.4's: the same bytes
// for every field read here). Bytes in, a message or a reason out; no socket, no widget.
#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace digital {

inline constexpr quint32 kMagic = 0xadbccbda;

enum class Type : quint32 { Heartbeat = 0, Status = 1, QsoLogged = 5, Close = 6, LoggedAdif = 12 };

// "QSO Logged", its texts as the program sent them (UTF-8, not checked: they go on to the
// log's cells). A field an older program does not send yet is left empty.
struct LoggedQso
{
    QDateTime timeOff, timeOn;          // timeOn is invalid when not sent
    QByteArray dxCall, dxGrid;
    quint64 frequency = 0;              // Hz
    QByteArray mode, reportSent, reportReceived, txPower, comments, name;
    QByteArray operatorCall, myCall, myGrid, exchangeSent, exchangeReceived;
};

// "Status": only what the status bar shows.
struct Status
{
    quint64 dialFrequency = 0;          // Hz
    QString mode, dxCall;
};

struct Message
{
    Type type = Type::Heartbeat;
    quint32 schema = 0;
    QString id;                         // the program's name for itself: "WSJT-X"
    LoggedQso qso;                      // QsoLogged
    Status status;                      // Status
    QByteArray adif;                    // LoggedAdif: an ADI file of one record, UTF-8
};

enum class Outcome {
    Read,     // message holds it
    Ignored,  // a type this program has no use for: the protocol says to pass over it silently
    Refused,  // reason says why
};

struct Read
{
    Outcome outcome = Outcome::Refused;
    Message message;
    QString reason;                     // Spanish, when refused
};

Read readDatagram(const QByteArray &bytes);

} // namespace digital
