#pragma once
// A DX cluster node over telnet: logs in with the operator's call sign when the node asks for
// it, hands over what it says in lines with the spots among them read, sends command lines as
// typed, and after a drop connects again after a growing pause. A flood is read in bounded
// slices with the event loop turning between them; the socket keeps at most a slice or two, so
// a node that sends faster than it is read is held back by the network itself.
#include "ClusterLines.h"
#include "ReconnectDelay.h"
#include <QList>
#include <QObject>
#include <QPointer>
#include <QAbstractSocket>
#include <QTimer>
#include <optional>

class QTcpSocket;

class ClusterClient : public QObject
{
    Q_OBJECT
public:
    enum class State { Off, Connecting, Connected, Waiting };
    static constexpr qint64 kSlice = 8 * 1024;    // bytes read in one turn of the event loop

    explicit ClusterClient(QObject *parent = nullptr);
    ~ClusterClient() override;

    void setServer(const QString &host, quint16 port, const QString &call);
    void setTimings(int connectTimeoutMs, ReconnectDelay delay);
    void start();
    void stop();
    bool send(const QString &command);            // false without a connection

    State state() const { return m_state; }
    QString statusText() const;                   // "Cluster: conectado a dxc.nc7j.com:7300"; empty when off
    QString problem() const { return m_problem; } // why the last connection ended
    QString server() const { return m_host; }
    quint16 port() const { return m_port; }
    QString call() const { return m_call; }

signals:
    void received(const QStringList &lines, const QList<Spot> &spots);
    void statusChanged(const QString &text);

private:
    void connectNow();
    void drain();
    void take(const QStringList &lines);
    void answerPrompt(QStringView text);
    void socketFailed();
    void finish();                                // the connection ended: say why, try again later
    void fail(const QString &problem);
    void drop();
    void setState(State state);
    QString where() const;

    QString m_host, m_call;
    quint16 m_port = 7300;
    State m_state = State::Off;
    QPointer<QTcpSocket> m_socket;
    TelnetLines m_lines;
    bool m_loggedIn = false;
    QTimer m_connectTimeout, m_retry, m_nextSlice;
    int m_connectTimeoutMs = 10000;
    ReconnectDelay m_delay;
    QString m_problem;
    std::optional<QAbstractSocket::SocketError> m_ended; // the end, while what came before is read
    QString m_endedText;
};
