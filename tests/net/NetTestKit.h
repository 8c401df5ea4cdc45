#pragma once
// What the tests of the outside programs share: a port the system gives, and a watch on the
// event loop that tells the longest time it stood still.
#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpServer>
#include <QTimer>
#include <algorithm>
#include <cstdio>

inline quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// Nanoseconds this thread has spent ready to run while others had the processors (Linux's
// schedstat; 0 where there is none): time the machine took, not the program.
inline qint64 queuedNanoseconds()
{
    long long running = 0, queued = 0;
    if (FILE *f = std::fopen("/proc/thread-self/schedstat", "r")) {
        if (std::fscanf(f, "%lld %lld", &running, &queued) != 2)
            queued = 0;
        std::fclose(f);
    }
    return qint64(queued);
}

struct LoopWatch
{
    QElapsedTimer clock;
    QTimer tick;
    // The longest stand-still a test accepts; the sanitizers slow every step several times.
    static constexpr qint64 kBound = ORVANEL_LOOP_BOUND_MS;
    qint64 last = 0, lastQueued = 0, longest = 0; // ms, ns, ms
    LoopWatch()
    {
        clock.start();
        lastQueued = queuedNanoseconds();
        tick.setInterval(5);
        // A stand-still is the time between two turns of the loop, less what the thread waited
        // for a processor: a busy machine is not a frozen window, a blocking call still is.
        QObject::connect(&tick, &QTimer::timeout, [this] {
            const qint64 now = clock.elapsed(), queued = queuedNanoseconds();
            longest = std::max(longest, now - last - (queued - lastQueued) / 1000000);
            last = now;
            lastQueued = queued;
        });
        tick.start();
    }
};
