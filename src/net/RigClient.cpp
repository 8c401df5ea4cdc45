#include "RigClient.h"
#include "FormFrequency.h"
#include <QTcpSocket>

using namespace Qt::StringLiterals;

namespace {
const QByteArray kVfoInfo = "get_vfo_info currVFO";
} // namespace


RigClient::RigClient(QObject *parent) : QObject(parent)
{
    m_pollTimer.setInterval(1000);
    m_timeout.setSingleShot(true);
    m_retry.setSingleShot(true);
    connect(&m_pollTimer, &QTimer::timeout, this, &RigClient::poll);
    connect(&m_timeout, &QTimer::timeout, this, [this] {
        fail(m_state == State::Connecting ? u"%1 no acepta la conexión a tiempo."_s.arg(where())
             : m_reader.midway()          ? u"rigctld dejó una respuesta a medias en %1."_s.arg(where())
                                         : u"rigctld acepta la conexión en %1 pero no responde."_s.arg(where()));
    });
    connect(&m_retry, &QTimer::timeout, this, &RigClient::connectNow);
}

RigClient::~RigClient()
{
    if (m_socket)
        m_socket->disconnect(this);
}

void RigClient::setServer(const QString &host, quint16 port)
{
    m_host = host;
    m_port = port;
}

void RigClient::setTimings(int pollMs, int timeoutMs, ReconnectDelay delay)
{
    m_pollTimer.setInterval(pollMs);
    m_timeoutMs = timeoutMs;
    m_delay = delay;
}

QString RigClient::where() const
{
    return m_host.contains(u':') ? u"[%1]:%2"_s.arg(m_host).arg(m_port) : u"%1:%2"_s.arg(m_host).arg(m_port);
}

QString RigClient::statusText() const
{
    switch (m_state) {
    case State::Off:
        return {};
    case State::Connecting:
        return u"Equipo: conectando con %1"_s.arg(where());
    case State::Connected:
        return m_shownHertz > 0 ? u"Equipo: %1 MHz %2"_s.arg(formFrequency(m_shownHertz), m_shownMode).trimmed()
                                : u"Equipo: conectado"_s;
    case State::Waiting:
        break;
    }
    return u"Equipo: sin conexión, reintentando"_s;
}

void RigClient::setState(State state)
{
    const QString before = statusText();
    m_state = state;
    if (statusText() != before)
        emit statusChanged(statusText());
}

void RigClient::start()
{
    stop();
    m_delay.reset();
    m_vfoInfo = true;
    connectNow();
}

void RigClient::stop()
{
    drop();
    m_retry.stop();
    setState(State::Off);
}

void RigClient::drop()
{
    m_pollTimer.stop();
    m_timeout.stop();
    if (QTcpSocket *socket = m_socket) {
        m_socket = nullptr;
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
    }
    m_reader.clear();
    m_queue.clear();
    m_shownHertz = -1;
    m_shownMode.clear();
}

void RigClient::connectNow()
{
    auto *socket = new QTcpSocket(this);
    m_socket = socket;
    connect(socket, &QTcpSocket::connected, this, [this] {
        m_timeout.stop();
        setState(State::Connected);
        m_pollTimer.start();
        poll();
    });
    connect(socket, &QTcpSocket::readyRead, this, &RigClient::readAnswers);
    connect(socket, &QTcpSocket::errorOccurred, this, &RigClient::socketFailed);
    setState(State::Connecting);
    m_timeout.start(m_timeoutMs);
    socket->connectToHost(m_host, m_port);
}

void RigClient::socketFailed()
{
    if (!m_socket)
        return;
    switch (m_socket->error()) {
    case QAbstractSocket::ConnectionRefusedError:
        fail(u"No hay ningún programa escuchando en %1. ¿Está rigctld en marcha?"_s.arg(where()));
        break;
    case QAbstractSocket::HostNotFoundError:
        fail(u"No se encuentra el servidor «%1»."_s.arg(m_host));
        break;
    case QAbstractSocket::RemoteHostClosedError:
        fail(u"rigctld cerró la conexión en %1."_s.arg(where()));
        break;
    default:
        fail(u"No se puede hablar con rigctld en %1: %2."_s.arg(where(), m_socket->errorString()));
        break;
    }
}

void RigClient::fail(const QString &problem)
{
    m_problem = problem;
    drop();
    setState(m_once ? State::Off : State::Waiting);
    if (!m_once)
        m_retry.start(m_delay.next());
    emit failed(problem);
}

// One command at a time: rigctld answers a second command sent behind the first only after
// the first answer's acknowledgement, some 40 ms later, where one alone takes a tenth of a ms.
void RigClient::send(const QByteArray &command)
{
    m_queue << command;
    if (m_queue.size() == 1)
        writeNext();
}

void RigClient::writeNext()
{
    if (m_queue.isEmpty()) {
        m_timeout.stop();
        return;
    }
    const QByteArray &command = m_queue.first();
    m_timeout.start(m_timeoutMs);
    m_socket->write("+\\" + command + '\n');
    m_socket->flush(); // sent now, not at the next turn of the loop; it never blocks
}

void RigClient::poll()
{
    if (m_state == State::Connected && m_queue.isEmpty())
        pollNow();
}

// Frequency and mode in one question where rigctld knows it (hamlib 4.2 on), else in two.
void RigClient::pollNow()
{
    if (m_state != State::Connected || m_queue.contains(kVfoInfo) || m_queue.contains("get_freq"))
        return;
    if (m_vfoInfo) {
        send(kVfoInfo);
    } else {
        send("get_freq");
        send("get_mode");
    }
}

bool RigClient::tune(qint64 hertz, const QString &mode)
{
    if (m_state != State::Connected || hertz <= 0)
        return false;
    send("set_freq " + QByteArray::number(hertz));
    if (!rigModeName(mode.toLatin1()).isEmpty())
        send("set_mode " + mode.toLatin1() + " 0"); // 0: the radio's usual passband
    pollNow();
    return true;
}

void RigClient::readAnswers()
{
    while (m_socket && m_socket->bytesAvailable() > 0) {
        m_reader.add(m_socket->read(4096));
        RigReply reply;
        QString reason;
        for (;;) {
            const RigReplyReader::Next next = m_reader.next(reply, reason);
            if (next == RigReplyReader::Next::Incomplete)
                break;
            if (next == RigReplyReader::Next::Broken)
                return fail(u"rigctld respondió algo que no se entiende en %1: %2."_s.arg(where(), reason));
            handle(reply);
            if (!m_socket)
                return;
        }
    }
}

void RigClient::handle(const RigReply &reply)
{
    if (m_queue.isEmpty())
        return fail(u"rigctld respondió sin que se le preguntara en %1."_s.arg(where()));
    const QByteArray sent = m_queue.takeFirst();
    const QByteArray asked = sent.split(' ').first(); // the command's name
    const bool unknown = reply.command != asked || reply.result == -1 || reply.result == -4 || reply.result == -11;
    if (sent == kVfoInfo && (unknown || reply.value("Freq").isEmpty())) {
        // An older rigctld, or a program serving part of the protocol: the two questions one by
        // one from now on, on a fresh connection (what it still had to say would come first).
        m_vfoInfo = false;
        drop();
        return connectNow();
    }
    if (!reply.command.isEmpty() && reply.command != asked)
        return fail(u"rigctld respondió a «%1» cuando se le preguntó «%2»."_s.arg(QString::fromLatin1(reply.command), QString::fromLatin1(asked)));
    if (reply.result != 0)
        return fail(u"rigctld no pudo con «%1»: %2 (RPRT %3)."_s.arg(QString::fromLatin1(asked), rigErrorText(reply.result)).arg(reply.result));
    writeNext();
    const bool both = sent == kVfoInfo;
    if (both || asked == "get_freq") {
        const QByteArray frequency = reply.value(both ? "Freq" : "Frequency");
        m_hertz = rigHertz(frequency);
        if (m_hertz < 0)
            return fail(u"rigctld dio una frecuencia que no lo es: «%1»."_s.arg(QString::fromLatin1(frequency.left(40))));
    }
    if (both || asked == "get_mode") {
        const QString mode = rigModeName(reply.value("Mode"));
        if (mode.isEmpty())
            return fail(u"rigctld dio un modo que no lo es: «%1»."_s.arg(QString::fromLatin1(reply.value("Mode").left(40))));
        m_delay.reset();
        const QString before = statusText();
        m_shownHertz = m_hertz;
        m_shownMode = mode;
        if (statusText() != before)
            emit statusChanged(statusText());
        emit reading(m_hertz, mode);
        if (m_once)
            stop();
    }
}
