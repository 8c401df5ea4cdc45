#include "DigitalClients.h"
#include <algorithm>

DigitalClients::DigitalClients(QObject *parent) : QObject(parent)
{
    m_clock.start();
    m_check.setInterval(m_silence / 6);
    connect(&m_check, &QTimer::timeout, this, &DigitalClients::checkSilence);
}

void DigitalClients::setSilenceLimit(int ms)
{
    m_silence = ms;
    m_check.setInterval(std::max(ms / 6, 1));
}

void DigitalClients::clear()
{
    m_check.stop();
    if (!m_clients.empty()) {
        m_clients.clear();
        emit changed();
    }
}

void DigitalClients::heard(const digital::Message &message)
{
    using State = Client::State;
    auto it = std::find_if(m_clients.begin(), m_clients.end(), [&](const Client &c) { return c.id == message.id; });
    if (it == m_clients.end()) {
        if (m_clients.size() >= size_t(kMostClients)) {
            // Room is made by the one gone longest, or else the one heard longest ago.
            const auto older = [](const Client &a, const Client &b) {
                return (a.state == State::Present) != (b.state == State::Present) ? b.state == State::Present
                                                                                    : a.heardAt < b.heardAt;
            };
            m_clients.erase(std::min_element(m_clients.begin(), m_clients.end(), older));
        }
        m_clients.emplace_back().id = message.id;
        it = m_clients.end() - 1;
    }
    it->heardAt = m_clock.elapsed();
    it->state = message.type == digital::Type::Close ? State::Closed : State::Present;
    if (message.type == digital::Type::Status) {
        it->hasStatus = true;
        it->status = message.status;
    }
    if (!m_check.isActive())
        m_check.start();
    emit changed();
}

void DigitalClients::checkSilence()
{
    bool anyPresent = false, change = false;
    for (Client &c : m_clients) {
        if (c.state == Client::State::Present && m_clock.elapsed() - c.heardAt >= m_silence) {
            c.state = Client::State::Silent;
            change = true;
        }
        anyPresent = anyPresent || c.state == Client::State::Present;
    }
    if (!anyPresent)
        m_check.stop();
    if (change)
        emit changed();
}
