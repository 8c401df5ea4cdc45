#include "DigitalListener.h"
#include <QNetworkInterface>
#include <QUdpSocket>

using namespace Qt::StringLiterals;

DigitalListener::DigitalListener(QObject *parent) : QObject(parent)
{
    m_more.setSingleShot(true);
    m_more.setInterval(0);
    connect(&m_more, &QTimer::timeout, this, &DigitalListener::drain);
}

DigitalListener::~DigitalListener()
{
    stop();
}

bool DigitalListener::isListening() const
{
    return m_socket && m_socket->state() == QAbstractSocket::BoundState;
}

quint16 DigitalListener::port() const
{
    return m_socket ? m_socket->localPort() : 0;
}

int DigitalListener::receiveBufferSize() const
{
    return m_socket ? m_socket->socketOption(QAbstractSocket::ReceiveBufferSizeSocketOption).toInt() : 0;
}

void DigitalListener::stop()
{
    m_more.stop();
    if (m_socket) {
        // Closing leaves the group. The socket may be the one whose datagram is being handed
        // on: it goes when that is done.
        m_socket->disconnect(this);
        m_socket->close();
        m_socket->deleteLater();
    }
    m_socket = nullptr;
    m_joined = 0;
}

bool DigitalListener::listen(const QString &address, quint16 port)
{
    stop();
    m_problem.clear();
    const QString text = address.trimmed();
    const QHostAddress host(text == u"localhost"_s ? u"127.0.0.1"_s : text);
    if (host.isNull()) {
        m_problem = u"«%1» no es una dirección IP. Escriba, por ejemplo, 127.0.0.1 o un grupo multicast como 224.0.0.1."_s.arg(text);
        return false;
    }
    m_socket = new QUdpSocket(this);
    const bool multicast = host.isMulticast();
    // A group is shared with the other programs that listen to it; a unicast port is not.
    const bool bound = multicast ? m_socket->bind(host.protocol() == QAbstractSocket::IPv6Protocol ? QHostAddress::AnyIPv6
                                                                                                  : QHostAddress::AnyIPv4,
                                                  port, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint)
                                 : m_socket->bind(host, port, QUdpSocket::DontShareAddress);
    if (!bound) {
        const QString where = u"%1:%2"_s.arg(text).arg(port);
        switch (m_socket->error()) {
        case QAbstractSocket::AddressInUseError:
            m_problem = u"Otro programa ya escucha en %1. Cierre ese programa, o elija aquí otro puerto y el mismo en el programa digital."_s.arg(where);
            break;
        case QAbstractSocket::SocketAccessError:
            m_problem = u"No hay permiso para escuchar en %1: elija un puerto por encima de 1024."_s.arg(where);
            break;
        case QAbstractSocket::SocketAddressNotAvailableError:
            m_problem = u"La dirección %1 no es de este equipo. Use 127.0.0.1 o un grupo multicast."_s.arg(text);
            break;
        default:
            m_problem = u"No se pudo escuchar en %1: %2."_s.arg(where, m_socket->errorString());
            break;
        }
        stop();
        return false;
    }
    if (multicast) {
        for (const QNetworkInterface &iface : QNetworkInterface::allInterfaces()) {
            const auto flags = iface.flags();
            if (flags.testFlag(QNetworkInterface::IsUp) && flags.testFlag(QNetworkInterface::CanMulticast)
                && m_socket->joinMulticastGroup(host, iface))
                ++m_joined;
        }
        if (m_joined == 0 && m_socket->joinMulticastGroup(host))
            m_joined = 1;
        if (m_joined == 0) {
            m_problem = u"No se pudo unir al grupo multicast %1 en ninguna interfaz de red."_s.arg(text);
            stop();
            return false;
        }
    }
    m_socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, kReceiveBuffer);
    connect(m_socket, &QUdpSocket::readyRead, this, &DigitalListener::drain);
    if (m_socket->hasPendingDatagrams())
        m_more.start();
    return true;
}

void DigitalListener::drain()
{
    for (int n = 0; n < kSlice && m_socket && m_socket->hasPendingDatagrams(); ++n) {
        m_buffer.resize(qMax<qint64>(m_socket->pendingDatagramSize(), 0));
        const qint64 size = m_socket->readDatagram(m_buffer.data(), m_buffer.size());
        if (size < 0)
            break;
        m_buffer.resize(size);
        emit received(digital::readDatagram(m_buffer));
    }
    emit drained();
    // Qt says nothing more about datagrams already waiting: the next slice is ours to ask for.
    if (m_socket && m_socket->hasPendingDatagrams())
        m_more.start();
}
