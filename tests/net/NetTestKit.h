#pragma once
// What the tests of the outside programs share: a port the system gives, and a watch on the
// event loop that tells the longest time it stood still.
#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpServer>
#include <QTimer>

inline quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

struct LoopWatch
{
    QElapsedTimer clock;
    QTimer tick;
    // The longest stand-still a test accepts; the sanitizers slow every step several times.
    static constexpr qint64 kBound = ORVANEL_LOOP_BOUND_MS;
    qint64 last = 0, longest = 0;
    LoopWatch()
    {
        clock.start();
        tick.setInterval(5);
        QObject::connect(&tick, &QTimer::timeout, [this] {
            longest = std::max(longest, clock.elapsed() - last);
            last = clock.elapsed();
        });
        tick.start();
    }
};
