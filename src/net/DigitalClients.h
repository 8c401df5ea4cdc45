#pragma once
// The digital-mode programs heard from, kept apart by the id each sends: whether each is still
// there, and its latest "Status". A program is there from its first datagram until it sends
// "Close" or says nothing for the silence limit (its heartbeat comes every 15 s).
#include "DigitalDatagram.h"
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <vector>

class DigitalClients : public QObject
{
    Q_OBJECT
public:
    static constexpr int kMostClients = 8;    // more ids than this: the longest gone is forgotten

    struct Client
    {
        QString id;
        bool hasStatus = false;
        digital::Status status;
        enum class State { Present, Closed, Silent } state = State::Present;
        qint64 heardAt = 0;                   // ms on the clock
    };

    explicit DigitalClients(QObject *parent = nullptr);

    void setSilenceLimit(int ms);             // 30 s unless changed
    void heard(const digital::Message &message);
    void clear();
    const std::vector<Client> &clients() const { return m_clients; }

signals:
    void changed();

private:
    void checkSilence();

    std::vector<Client> m_clients;            // in the order first heard
    QElapsedTimer m_clock;
    QTimer m_check;
    int m_silence = 30000;
};
