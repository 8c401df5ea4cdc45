#pragma once
// The radio through hamlib's rigctld: asks for the frequency and mode about once a second
// (and at once when asked), tunes the radio, and keeps at it calmly whatever the other end
// does. Every request has a timeout; a connection that fails in any way is dropped and tried
// again after a growing pause. Nothing here blocks: the socket is read as bytes arrive.
#include "ReconnectDelay.h"
#include "RigReply.h"
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

class QTcpSocket;

class RigClient : public QObject
{
    Q_OBJECT
public:
    enum class State { Off, Connecting, Connected, Waiting };
    explicit RigClient(QObject *parent = nullptr);
    ~RigClient() override;

    void setServer(const QString &host, quint16 port);
    // One attempt only: the first reading or the first failure ends it ("Probar").
    void setOnce(bool once) { m_once = once; }
    // Polling interval, the time allowed to each request (and to connecting), the pauses.
    void setTimings(int pollMs, int timeoutMs, ReconnectDelay delay);

    void start();
    void stop();
    void pollNow();                              // asks at once when connected and not asking
    // Sets the radio's frequency and hamlib mode (empty: leave the mode); false without a connection.
    bool tune(qint64 hertz, const QString &mode);

    State state() const { return m_state; }
    QString statusText() const;                  // "Equipo: 14.074 MHz USB"; empty when off
    QString problem() const { return m_problem; } // why the last attempt failed
    QString where() const;                       // "127.0.0.1:4532"

signals:
    void reading(qint64 hertz, const QString &mode); // each whole answer
    void statusChanged(const QString &text);
    void failed(const QString &problem);

private:
    void connectNow();
    void send(const QByteArray &command);
    void writeNext();
    void poll();
    void readAnswers();
    void handle(const RigReply &reply);
    void fail(const QString &problem);
    void drop();                                 // the connection let go, nothing said
    void socketFailed();
    void setState(State state);

    QString m_host = QStringLiteral("127.0.0.1");
    quint16 m_port = 4532;
    bool m_once = false;
    bool m_vfoInfo = true;                      // asks both in one (get_vfo_info)
    State m_state = State::Off;
    QPointer<QTcpSocket> m_socket;
    RigReplyReader m_reader;
    QList<QByteArray> m_queue;                  // commands to answer, the first one sent
    QTimer m_pollTimer, m_timeout, m_retry;
    ReconnectDelay m_delay;
    int m_timeoutMs = 3000;
    qint64 m_hertz = -1;                        // of the poll being answered
    qint64 m_shownHertz = -1;
    QString m_shownMode;
    QString m_problem;
};
