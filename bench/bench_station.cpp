// The station around the log: what one question to the radio costs the event loop, asked of a
// real rigctld with hamlib's dummy radio.
#include "net/RigClient.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>

#include <benchmark/benchmark.h>

namespace {

// The sockets need an event loop, and the loop an application object.
void ensureApplication()
{
    static int argc = 1;
    static char name[] = "orvanel-bench";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
}

// One poll (frequency and mode) from asking to the reading, against rigctld -m 1. The CPU time
// is this process's alone: what the poll costs the program; the real time adds rigctld's own
// answer and the trips through the loopback.
void BM_RigPoll(benchmark::State &state)
{
    ensureApplication();
    quint16 port = 0;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        port = probe.serverPort();
    }
    QProcess rigctld;
    rigctld.start(QStringLiteral("rigctld"), {QStringLiteral("-m"), QStringLiteral("1"), QStringLiteral("-T"),
                                              QStringLiteral("127.0.0.1"), QStringLiteral("-t"), QString::number(port)});
    if (!rigctld.waitForStarted(5000))
        return state.SkipWithError("rigctld (libhamlib-utils) cannot be started");
    RigClient client;
    client.setServer(QStringLiteral("127.0.0.1"), port);
    client.setTimings(3600 * 1000, 2000, ReconnectDelay(std::chrono::milliseconds(100))); // no polls of its own
    int readings = 0;
    QObject::connect(&client, &RigClient::reading, [&readings] { ++readings; });
    client.start();
    const auto waitFor = [&readings](int count) {
        for (QDeadlineTimer deadline(5000); readings < count && !deadline.hasExpired();)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        return readings >= count;
    };
    if (!waitFor(1))
        return state.SkipWithError("no answer from rigctld");
    for (auto _ : state) {
        client.pollNow();
        if (!waitFor(readings + 1))
            return state.SkipWithError("rigctld stopped answering");
    }
    client.stop();
    rigctld.terminate();
    rigctld.waitForFinished(3000);
}
BENCHMARK(BM_RigPoll)->Unit(benchmark::kMicrosecond);

} // namespace
