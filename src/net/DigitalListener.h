#pragma once
// Listens for the datagrams of digital-mode programs on one UDP address and port: a unicast
// address of this machine, or a multicast group joined on every interface that allows it (so
// several listeners can share the programs' datagrams). Each datagram is read and handed on
// before the next one is taken from the socket, in slices that let the event loop turn.
#include "DigitalDatagram.h"
#include <QHostAddress>
#include <QObject>
#include <QTimer>

class QUdpSocket;

class DigitalListener : public QObject
{
    Q_OBJECT
public:
    // The kernel's queue for the socket, asked for: a burst of thousands of contacts (a program
    // sending its whole log again) waits there while each is added and journalled. Linux counts
    // about 1.3 KB per small datagram against it, and grants at most twice net.core.rmem_max.
    static constexpr int kReceiveBuffer = 4 << 20;
    // Datagrams read in one go before the event loop gets its turn.
    static constexpr int kSlice = 64;

    explicit DigitalListener(QObject *parent = nullptr);
    ~DigitalListener() override;

    // False, with problem() saying why in words a user understands, when the address and port
    // cannot be listened on.
    bool listen(const QString &address, quint16 port);
    void stop();
    bool isListening() const;
    const QString &problem() const { return m_problem; }
    quint16 port() const;                 // the port bound (listen() with 0 picks one)
    int receiveBufferSize() const;        // bytes the kernel grants the socket's queue
    int joinedInterfaces() const { return m_joined; }

signals:
    // One datagram, in the order they came. The receiver finishes with it before the next is read.
    void received(const digital::Read &read);
    void drained();                       // a slice ended

private:
    void drain();

    QUdpSocket *m_socket = nullptr;
    QTimer m_more;                        // the next slice, after the event loop's turn
    QByteArray m_buffer;
    QString m_problem;
    int m_joined = 0;
};
