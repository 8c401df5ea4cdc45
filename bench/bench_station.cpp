// The station around the log: what one question to the radio costs the event loop, asked of a
// real rigctld with hamlib's dummy radio; one cluster spot read and marked against the log.
#include "LogGenerator.h"

#include "app/SpotTable.h"
#include "dxcc/CallIndex.h"
#include "dxcc/CallResolver.h"
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

// One spot line as the cluster window takes it: read, its entity resolved, marked against the
// log (its entity, band and mode worked or not) and put on top of a full table, the oldest
// going. The log's counts are ready, as in a program that has been running.
void BM_SpotStatus(benchmark::State &state)
{
    ensureApplication();
    static const CountryFileRead read = CallResolver::read(QStringLiteral(ORVANEL_CTY_CSV));
    if (!read.resolver)
        return state.SkipWithError("no country file");
    const auto table = benchlog::contactTable(state.range(0));
    CallIndex index(*table);
    index.setResolver(read.resolver);
    index.rebuild();
    index.workedEntity(0, 0, ModeClass::Cw);
    SpotTable spots(index);
    const char *const calls[] = {"K1ABC", "JA1XYZ", "EA8TL", "PY2QA", "DL1AA", "VK2AB", "LU7HZ", "CE3PQ"};
    const char *const comments[] = {"CW 599", "FT8 -12 dB", "up 2", "SSB 59", "", "RTTY", "tnx QSO", "PSK31"};
    const int khz[] = {1830, 3520, 3790, 7010, 7074, 7150, 10120, 14025, 14074, 14200, 18100, 21025, 21300, 24900, 28500, 50313};
    std::vector<QString> lines;
    for (int i = 0; i < 256; ++i)
        lines.push_back(QStringLiteral("DX de EA4XYZ:     %1.0  %2%3   %4          %5Z")
                            .arg(QString::number(khz[i % 16]), QString::fromLatin1(calls[i % 8]),
                                 QString::number(i), QString::fromLatin1(comments[i / 8 % 8]),
                                 QString::number(1000 + i % 59)));
    size_t next = 0;
    for (auto _ : state) {
        Spot spot;
        if (readSpot(lines[next++ % lines.size()], spot))
            spots.add({spot});
    }
    if (spots.rowCount() == 0)
        state.SkipWithError("no spot read");
}
BENCHMARK(BM_SpotStatus)->Arg(1000000);

} // namespace
