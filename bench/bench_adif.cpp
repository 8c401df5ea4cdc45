// ADIF export and import against the bare cost of moving the same bytes: ExportAdif next to
// writing the finished ADI bytes through QSaveFile, ImportAdif next to a chunked read of the
// file that only finds the line ends. Every benchmark works on the shared log of the given
// size; the ADI file is the exporter's own, written once. Counters as for the log book files;
// table_MB compares with BM_LeerLibro's for the same log.
#include "LogGenerator.h"
#include "ResidentMemory.h"

#include "adif/AdifExport.h"
#include "adif/AdifImport.h"
#include "common/GridModel.h"

#include <QFile>
#include <QSaveFile>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <vector>

namespace {

AdifExportOptions exportOptions()
{
    AdifExportOptions o;
    o.utc = UtcConversion::fixedHours(-3);
    o.locale = QLocale(QLocale::Spanish, QLocale::Spain);
    o.created = QDateTime(QDate(2024, 3, 5), QTime(14, 22, 33), Qt::UTC);
    o.programVersion = QStringLiteral("9.0.44");
    o.dxccOf = [](QStringView call) { return call.startsWith(u"EA") ? 281 : call.startsWith(u"LU") ? 100 : 0; };
    return o;
}

AdifImportOptions importOptions()
{
    AdifImportOptions o;
    o.utc = UtcConversion::fixedHours(-3);
    o.locale = QLocale(QLocale::Spanish, QLocale::Spain);
    return o;
}

QString outputPath(int64_t contacts)
{
    return benchlog::folder().filePath(QStringLiteral("copia-%1.adi").arg(contacts));
}

// The shared log as the exporter writes it, on first use; empty when it cannot be written.
QString adiPath(int64_t contacts)
{
    static std::map<int64_t, QString> written;
    const auto known = written.find(contacts);
    if (known != written.end())
        return known->second;
    QString path = benchlog::folder().filePath(QStringLiteral("libro-%1.adi").arg(contacts));
    const std::unique_ptr<GridModel> table = benchlog::contactTable(contacts);
    if (!exportAdif(table->store(), path, path, exportOptions()).ok)
        path.clear();
    written.emplace(contacts, path);
    return path;
}

void setFileCounters(benchmark::State &state, int64_t contacts, int64_t bytes)
{
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes);
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

void BM_RawWriteAdif(benchmark::State &state)
{
    const int64_t contacts = state.range(0);
    const QString path = adiPath(contacts);
    if (path.isEmpty())
        return state.SkipWithError("cannot write the ADI file");
    QByteArray bytes;
    {
        QFile in(path);
        if (!in.open(QIODevice::ReadOnly))
            return state.SkipWithError("cannot read the ADI file");
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
    setFileCounters(state, contacts, bytes.size());
}
BENCHMARK(BM_RawWriteAdif)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

void exportWith(benchmark::State &state, const AdifExportOptions &options)
{
    const int64_t contacts = state.range(0);
    const QString path = adiPath(contacts);
    if (path.isEmpty())
        return state.SkipWithError("cannot write the ADI file");
    const std::unique_ptr<GridModel> table = benchlog::contactTable(contacts);
    const QString output = outputPath(contacts);
    double growth = 0, peak = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::optional<benchmem::Growth> memory;
        memory.emplace();
        state.ResumeTiming();

        const AdifExport written = exportAdif(table->store(), output, output, options);

        state.PauseTiming();
        if (!written.ok || written.written != contacts)
            return state.SkipWithError("the export failed");
        growth = std::max(growth, memory->mb());
        peak = std::max(peak, memory->peakMB());
        state.ResumeTiming();
    }
    const int64_t size = QFile(output).size();
    setFileCounters(state, contacts, size);
    state.counters["rss_growth_MB"] = growth;
    if (peak >= 0)
        state.counters["peak_growth_MB"] = peak;
    if (size != QFile(path).size())
        state.SkipWithError("the export differs in size from the ADI file");
}

void BM_ExportAdif(benchmark::State &state)
{
    exportWith(state, exportOptions());
}
BENCHMARK(BM_ExportAdif)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same log through a time zone with summer time: each contact's offset at its own date. The
// generated dates are spread at random over 28 years, the worst order for the conversion.
void BM_ExportAdifZone(benchmark::State &state)
{
    AdifExportOptions options = exportOptions();
    options.utc = UtcConversion::zone(QTimeZone("Europe/Madrid"));
    exportWith(state, options);
}
BENCHMARK(BM_ExportAdifZone)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RawReadAdif(benchmark::State &state)
{
    const int64_t contacts = state.range(0);
    const QString path = adiPath(contacts);
    if (path.isEmpty())
        return state.SkipWithError("cannot write the ADI file");
    std::vector<char> buffer(size_t(1) << 20);
    for (auto _ : state) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            return state.SkipWithError("cannot open the ADI file");
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
    setFileCounters(state, contacts, QFile(path).size());
}
BENCHMARK(BM_RawReadAdif)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ImportAdif(benchmark::State &state)
{
    const int64_t contacts = state.range(0);
    const QString path = adiPath(contacts);
    if (path.isEmpty())
        return state.SkipWithError("cannot write the ADI file");
    const AdifImportOptions options = importOptions();
    double growth = 0, peak = 0, kept = 0;
    bool sampled = false;
    for (auto _ : state) {
        state.PauseTiming();
        std::optional<benchmem::Growth> memory;
        memory.emplace();
        state.ResumeTiming();

        AdifRead read = importAdif(path, path, options);

        state.PauseTiming();
        if (!read.ok || read.rows.rows() != contacts)
            return state.SkipWithError("the ADI file was not read");
        growth = std::max(growth, memory->mb());
        peak = std::max(peak, memory->peakMB());
        kept = double(read.rows.memoryUsage());
        if (!sampled) { // a fast reader that reads wrong is worth nothing
            if (!sameContacts(read.rows))
                return state.SkipWithError("the ADI file was read wrong");
            sampled = true;
        }
        { AdifRead gone = std::move(read); }
        state.ResumeTiming();
    }
    setFileCounters(state, contacts, QFile(path).size());
    state.counters["rss_growth_MB"] = growth;
    if (peak >= 0)
        state.counters["peak_growth_MB"] = peak;
    state.counters["table_MB"] = kept / benchmem::kMB;
}
BENCHMARK(BM_ImportAdif)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
