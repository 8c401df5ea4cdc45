#include "ClusterClient.h"
#include <QTcpSocket>

using namespace Qt::StringLiterals;

ClusterClient::ClusterClient(QObject *parent) : QObject(parent)
{
    m_connectTimeout.setSingleShot(true);
    m_retry.setSingleShot(true);
    m_nextSlice.setSingleShot(true);
    m_nextSlice.setInterval(0);
    connect(&m_connectTimeout, &QTimer::timeout, this, [this] { fail(u"%1 no responde."_s.arg(where())); });
    connect(&m_retry, &QTimer::timeout, this, &ClusterClient::connectNow);
    connect(&m_nextSlice, &QTimer::timeout, this, &ClusterClient::drain);
}

ClusterClient::~ClusterClient()
{
    if (m_socket)
        m_socket->disconnect(this);
}

void ClusterClient::setServer(const QString &host, quint16 port, const QString &call)
{
    m_host = host;
    m_port = port;
    m_call = call;
}

void ClusterClient::setTimings(int connectTimeoutMs, ReconnectDelay delay)
{
    m_connectTimeoutMs = connectTimeoutMs;
    m_delay = delay;
}

QString ClusterClient::where() const
{
    return m_host.contains(u':') ? u"[%1]:%2"_s.arg(m_host).arg(m_port) : u"%1:%2"_s.arg(m_host).arg(m_port);
}

QString ClusterClient::statusText() const
{
    switch (m_state) {
    case State::Off:
        return {};
    case State::Connecting:
        return u"Cluster: conectando con %1"_s.arg(where());
    case State::Connected:
        return u"Cluster: conectado a %1"_s.arg(where());
    case State::Waiting:
        break;
    }
    return u"Cluster: sin conexión, reintentando"_s;
}

void ClusterClient::setState(State state)
{
    const QString before = statusText();
    m_state = state;
    if (statusText() != before)
        emit statusChanged(statusText());
}

void ClusterClient::start()
{
    stop();
    m_delay.reset();
    connectNow();
}

void ClusterClient::stop()
{
    drop();
    m_retry.stop();
    setState(State::Off);
}

void ClusterClient::drop()
{
    m_connectTimeout.stop();
    m_nextSlice.stop();
    if (QTcpSocket *socket = m_socket) {
        m_socket = nullptr;
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
    }
    m_lines.clear();
    m_loggedIn = false;
    m_ended.reset();
}

void ClusterClient::connectNow()
{
    auto *socket = new QTcpSocket(this);
    m_socket = socket;
    socket->setReadBufferSize(4 * kSlice);
    connect(socket, &QTcpSocket::connected, this, [this] {
        m_connectTimeout.stop();
        setState(State::Connected);
    });
    connect(socket, &QTcpSocket::readyRead, this, [this] {
        if (!m_nextSlice.isActive())
            drain();
    });
    connect(socket, &QTcpSocket::errorOccurred, this, &ClusterClient::socketFailed);
    setState(State::Connecting);
    m_connectTimeout.start(m_connectTimeoutMs);
    socket->connectToHost(m_host, m_port);
}

void ClusterClient::drain()
{
    if (!m_socket)
        return;
    QStringList lines;
    m_lines.add(m_socket->read(kSlice), lines);
    // A prompt waits on its line for the answer; answered, the node goes on on a line of its own.
    if (!m_loggedIn && isLoginPrompt(m_lines.pending()))
        lines << m_lines.takePending();
    take(lines);
    if (m_socket && m_socket->bytesAvailable() > 0)
        m_nextSlice.start();            // the rest after whatever else is waiting
    else if (m_socket && m_ended)
        finish();
}

void ClusterClient::take(const QStringList &lines)
{
    QList<Spot> spots;
    for (const QString &line : lines) {
        Spot spot;
        if (readSpot(line, spot))
            spots << spot;
        else if (!m_loggedIn)
            answerPrompt(line);
    }
    if (!spots.isEmpty())
        m_delay.reset();                // the node works: a later drop starts from a short pause
    if (!lines.isEmpty())
        emit received(lines, spots);
}

void ClusterClient::answerPrompt(QStringView text)
{
    if (!isLoginPrompt(text) || m_call.isEmpty())
        return;
    m_loggedIn = true;
    m_socket->write(m_call.toUtf8() + "\r\n");
}

bool ClusterClient::send(const QString &command)
{
    if (m_state != State::Connected || !m_socket)
        return false;
    m_socket->write(command.toUtf8() + "\r\n");
    return true;
}

void ClusterClient::socketFailed()
{
    if (!m_socket)
        return;
    // What came before the end is read first, in slices like the rest.
    m_ended = m_socket->error();
    m_endedText = m_socket->errorString();
    if (m_socket->bytesAvailable() == 0)
        finish();
    else if (!m_nextSlice.isActive())
        m_nextSlice.start();
}

void ClusterClient::finish()
{
    switch (*m_ended) {
    case QAbstractSocket::ConnectionRefusedError:
        fail(u"Nadie escucha en %1."_s.arg(where()));
        break;
    case QAbstractSocket::HostNotFoundError:
        fail(u"No se encuentra el servidor «%1»."_s.arg(m_host));
        break;
    case QAbstractSocket::RemoteHostClosedError:
        fail(u"El cluster %1 cerró la conexión."_s.arg(where()));
        break;
    default:
        fail(u"No se puede hablar con el cluster %1: %2."_s.arg(where(), m_endedText));
        break;
    }
}

void ClusterClient::fail(const QString &problem)
{
    m_problem = problem;
    drop();
    setState(State::Waiting);
    m_retry.start(m_delay.next());
}
