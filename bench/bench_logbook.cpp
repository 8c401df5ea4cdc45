// Reading and writing a log book, against the bare cost of moving the same bytes through a
// file: LeerLibro next to a chunked read that only finds the line ends, EscribirLibro next to
// writing the finished bytes through QSaveFile. Every benchmark works on the shared log of
// the given size, kept on disk; what a benchmark holds in memory lives only while it runs.
// Counters: resident memory growth (MB) while the read table is held (after writing for the
// writer), the highest growth on the way, and for the reader the bytes the new table keeps.
#include "LogGenerator.h"
#include "ResidentMemory.h"

#include "common/GridModel.h"
#include "logbook/LibroFile.h"

#include <QFile>
#include <QSaveFile>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

QString outputPath(int64_t contacts)
{
    return benchlog::folder().filePath(QStringLiteral("copia-%1.LBR").arg(contacts));
}

void setFileCounters(benchmark::State &state, int64_t contacts)
{
    state.SetBytesProcessed(int64_t(state.iterations()) * benchlog::fileSize(contacts));
    state.SetItemsProcessed(int64_t(state.iterations()) * contacts);
}

// Some contacts of a read table, spread over the whole log, against the generator's.
bool sameContacts(const GridStore &rows)
{
    benchlog::ContactMaker maker;
    benchlog::Cells cells;
    for (int64_t r = 0; r < rows.rows(); r += 1 + r / 64) {
        maker.make(r, cells);
        for (int c = 1; c < benchlog::kCols; ++c) {
            if (rows.cell(r, c) != cells[size_t(c)])
                return false;
        }
    }
    return true;
}

void BM_RawRead(benchmark::State &state)
{
    const int64_t contacts = state.range(0);
    const QString path = benchlog::filePath(contacts);
    if (path.isEmpty())
        return state.SkipWithError("cannot write the log file");
    std::vector<char> buffer(size_t(1) << 20);
    for (auto _ : state) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            return state.SkipWithError("cannot open the log file");
        int64_t lines = 0;
        for (qint64 n; (n = f.read(buffer.data(), qint64(buffer.size()))) > 0;) {
            const char *p = buffer.data(), *end = p + n;
            while ((p = static_cast<const char *>(std::memchr(p, '\r', size_t(end - p)))) != nullptr) {
                ++lines;
                ++p;
            }
        }
        benchmark::DoNotOptimize(lines);
    }
    setFileCounters(state, contacts);
}
BENCHMARK(BM_RawRead)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LeerLibro(benchmark::State &state)
{
    const int64_t contacts = state.range(0);
    const QString path = benchlog::filePath(contacts);
    if (path.isEmpty())
        return state.SkipWithError("cannot write the log file");
    double growth = 0, peak = 0, kept = 0;
    bool sampled = false;
    for (auto _ : state) {
        state.PauseTiming();
        std::optional<benchmem::Growth> memory;
        memory.emplace();
        state.ResumeTiming();

        LibroRead read = LeerLibro(path);

        state.PauseTiming();
        if (!read.ok || read.rows.rows() != contacts)
            return state.SkipWithError("the log was not read");
        growth = std::max(growth, memory->mb());
        peak = std::max(peak, memory->peakMB());
        kept = double(read.rows.memoryUsage());
        if (!sampled) { // a fast reader that reads wrong is worth nothing
            if (!sameContacts(read.rows))
                return state.SkipWithError("the log was read wrong");
            sampled = true;
        }
        { LibroRead gone = std::move(read); }
        state.ResumeTiming();
    }
    setFileCounters(state, contacts);
    state.counters["rss_growth_MB"] = growth;
    if (peak >= 0)
        state.counters["peak_growth_MB"] = peak;
    state.counters["table_MB"] = kept / benchmem::kMB;
}
BENCHMARK(BM_LeerLibro)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RawWrite(benchmark::State &state)
{
    const int64_t contacts = state.range(0);
    const QString path = benchlog::filePath(contacts);
    if (path.isEmpty())
        return state.SkipWithError("cannot write the log file");
    // The finished bytes, held only while this benchmark runs.
    QByteArray bytes;
    {
        QFile in(path);
        if (!in.open(QIODevice::ReadOnly))
            return state.SkipWithError("cannot read the log file");
        bytes = in.readAll();
    }
    const QString output = outputPath(contacts);
    constexpr qsizetype kPiece = qsizetype(1) << 20;
    for (auto _ : state) {
        QSaveFile f(output);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return state.SkipWithError("cannot create the copy");
        for (qsizetype at = 0; at < bytes.size(); at += kPiece)
            f.write(bytes.constData() + at, std::min(kPiece, bytes.size() - at));
        if (!f.commit())
            return state.SkipWithError("the copy was not written");
    }
    setFileCounters(state, contacts);
}
BENCHMARK(BM_RawWrite)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_EscribirLibro(benchmark::State &state)
{
    const int64_t contacts = state.range(0);
    const QString path = benchlog::filePath(contacts);
    if (path.isEmpty())
        return state.SkipWithError("cannot write the log file");
    // The table as opening the log leaves it, held only while this benchmark runs.
    const std::unique_ptr<GridModel> libro = benchlog::contactTable(contacts);
    const QString output = outputPath(contacts);
    double growth = 0, peak = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::optional<benchmem::Growth> memory;
        memory.emplace();
        state.ResumeTiming();

        const LibroWrite written = EscribirLibro(*libro, output);

        state.PauseTiming();
        if (!written.ok)
            return state.SkipWithError("the copy was not written");
        growth = std::max(growth, memory->mb());
        peak = std::max(peak, memory->peakMB());
        state.ResumeTiming();
    }
    setFileCounters(state, contacts);
    state.counters["rss_growth_MB"] = growth;
    if (peak >= 0)
        state.counters["peak_growth_MB"] = peak;
    // The table holds what the log holds, so the copy has the log's size to the byte.
    if (QFile(output).size() != benchlog::fileSize(contacts))
        state.SkipWithError("the copy differs in size from the log");
}
BENCHMARK(BM_EscribirLibro)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
