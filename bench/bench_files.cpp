// The code page and the line reader on the benchmark log, and what opening a log costs in
// memory: the table it leaves and the highest point reached while reading.
// Argument: the number of contacts.
#include "LogGenerator.h"
#include "ResidentMemory.h"

#include "common/Cp1252.h"
#include "common/GridModel.h"
#include "common/QuotedLines.h"
#include "logbook/LibroFile.h"

#include <QStringDecoder>

#include <benchmark/benchmark.h>

#include <optional>
#include <string>
#include <vector>

namespace {

void BM_Cp1252ToUtf8(benchmark::State &state)
{
    const std::string in = benchlog::fileBytes(state.range(0));
    std::string out;
    for (auto _ : state) {
        out.clear();
        cp1252::appendAsUtf8(out, in);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(in.size()));
}
BENCHMARK(BM_Cp1252ToUtf8)->Arg(1000000)->Unit(benchmark::kMillisecond);

// As the log reader would use it: one call per value, into one growing buffer.
void BM_Cp1252ToUtf8PerValue(benchmark::State &state)
{
    const std::string in = benchlog::fileBytes(state.range(0));
    std::vector<std::string_view> values;
    for (size_t b = 0, e; (e = in.find("\r\n", b)) != std::string::npos; b = e + 2)
        values.push_back(std::string_view(in).substr(b, e - b));
    std::string out;
    for (auto _ : state) {
        out.clear();
        for (std::string_view v : values)
            cp1252::appendAsUtf8(out, v);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(in.size()));
}
BENCHMARK(BM_Cp1252ToUtf8PerValue)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_Utf8ToCp1252(benchmark::State &state)
{
    std::string in;
    cp1252::appendAsUtf8(in, benchlog::fileBytes(state.range(0)));
    std::string out;
    for (auto _ : state) {
        out.clear();
        benchmark::DoNotOptimize(cp1252::appendFromUtf8(out, in));
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(in.size()));
}
BENCHMARK(BM_Utf8ToCp1252)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_Cp1252ToUtf16(benchmark::State &state)
{
    const std::string in = benchlog::fileBytes(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(cp1252::toUnicode(in));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(in.size()));
}
BENCHMARK(BM_Cp1252ToUtf16)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Qt's own converter, for comparison; only when this Qt build knows the code page.
void BM_QtDecoderToUtf16(benchmark::State &state)
{
    QStringDecoder decoder("windows-1252");
    if (!decoder.isValid())
        return state.SkipWithError("this Qt build has no Windows-1252 converter");
    const std::string in = benchlog::fileBytes(state.range(0));
    for (auto _ : state) {
        QString text = decoder.decode(QByteArrayView(in.data(), qsizetype(in.size())));
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(in.size()));
}
BENCHMARK(BM_QtDecoderToUtf16)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Splitting the file into lines, from the page cache.
void BM_ReadQuotedLines(benchmark::State &state)
{
    const QString path = benchlog::filePath(state.range(0));
    if (path.isEmpty())
        return state.SkipWithError("cannot write the log file");
    QuotedLineReader reader;
    for (auto _ : state) {
        reader.open(path);
        std::string_view line;
        int64_t lines = 0;
        while (reader.next(line))
            ++lines;
        benchmark::DoNotOptimize(lines);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * benchlog::fileSize(state.range(0)));
}
BENCHMARK(BM_ReadQuotedLines)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Opening a log as the open command does (read into a new store, append it under the
// headings, number the rows), for its memory: what the loaded table keeps resident, and the
// highest point on the way, both against the size of the file.
void BM_OpenLogMemory(benchmark::State &state)
{
    const QString path = benchlog::filePath(state.range(0));
    if (path.isEmpty())
        return state.SkipWithError("cannot write the log file");
    const double fileMB = double(benchlog::fileSize(state.range(0))) / benchmem::kMB;
    double held = 0, peak = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::optional<GridModel> table;
        std::optional<benchmem::Growth> memory;
        memory.emplace();
        state.ResumeTiming();

        table.emplace(kLibroCols, 1);
        LibroRead read = LeerLibro(path);
        if (!read.ok)
            return state.SkipWithError("the log was not read");
        table->appendRows(std::move(read.rows));
        NumerarFilas(*table);

        state.PauseTiming();
        { LibroRead gone = std::move(read); }
        held = std::max(held, memory->mb());
        peak = std::max(peak, memory->peakMB());
        table.reset();
        state.ResumeTiming();
    }
    state.counters["file_MB"] = fileMB;
    state.counters["rss_growth_MB"] = held;
    if (peak >= 0)
        state.counters["peak_growth_MB"] = peak;
}
BENCHMARK(BM_OpenLogMemory)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
