// Confirmations from a service matched to a log of a million contacts: a report of 100,000
// confirmed contacts (the log's first ones, as the exporter writes them) read, matched through
// the call-sign index and marked in one step of the history, against importing the same file.
#include "LogGenerator.h"

#include "adif/AdifExport.h"
#include "adif/AdifImport.h"
#include "dxcc/CallIndex.h"
#include "history/ContactLog.h"
#include "history/PlainChrome.h"
#include "qsl/Confirmations.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int64_t kRecords = 100000;
const QLocale kLocale(QLocale::Spanish, QLocale::Spain);

// The report on first use; empty when it cannot be written.
QString reportPath()
{
    static QString path;
    if (!path.isEmpty())
        return path;
    const std::unique_ptr<GridModel> table = benchlog::contactTable(kRecords);
    const QString yes = QStringLiteral("SI");
    for (int r = 1; r < table->Rows(); ++r)
        table->setTextMatrix(r, 15, yes);
    AdifExportOptions o;
    o.utc = UtcConversion::fixedHours(-3);
    o.locale = kLocale;
    o.programVersion = QStringLiteral("9.0.44");
    const QString written = benchlog::folder().filePath(QStringLiteral("confirmaciones.adi"));
    if (exportAdif(table->store(), written, written, o).ok)
        path = written;
    return path;
}

void BM_ImportConfirmationsFile(benchmark::State &state)
{
    const QString path = reportPath();
    if (path.isEmpty())
        return state.SkipWithError("cannot write the report");
    AdifImportOptions options;
    options.utc = UtcConversion::fixedHours(-3);
    options.locale = kLocale;
    for (auto _ : state) {
        const AdifRead read = importAdif(path, path, options);
        if (!read.ok || read.rows.rows() != kRecords)
            return state.SkipWithError("the report was not read");
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kRecords);
}
BENCHMARK(BM_ImportConfirmationsFile)->Arg(kRecords)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MatchConfirmations(benchmark::State &state)
{
    const QString path = reportPath();
    if (path.isEmpty())
        return state.SkipWithError("cannot write the report");
    const std::unique_ptr<GridModel> table = benchlog::contactTable(1000000);
    CallIndex index(*table);
    index.setDateLocale(kLocale); // as the program, which reads both in the system's locale
    index.rebuild();
    PlainChrome chrome;
    ContactLog log(*table, chrome);
    const ContactClock clock(kLocale, UtcConversion::fixedHours(-3));
    AdifImportOptions options;
    options.asWritten = true;
    size_t marked = 0;
    for (auto _ : state) {
        const AdifRead read = importAdif(path, path, options);
        const ConfirmationMatch match = matchConfirmations(read.rows, index, *table, clock);
        std::vector<CellText> marks;
        marks.reserve(match.toMark.size());
        const QString yes = QStringLiteral("SI");
        for (int row : match.toMark)
            marks.push_back({row, 15, yes});
        log.setCells(std::move(marks), QStringLiteral("Importar confirmaciones"));

        state.PauseTiming();
        marked = match.toMark.size();
        if (marked + size_t(match.already) != size_t(kRecords))
            return state.SkipWithError("some records of the log's own contacts matched nothing");
        log.undo();
        state.ResumeTiming();
    }
    state.counters["marked"] = double(marked);
    state.SetItemsProcessed(int64_t(state.iterations()) * kRecords);
}
BENCHMARK(BM_MatchConfirmations)->Arg(kRecords)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
