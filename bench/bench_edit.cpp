// Search, find next and delete line on big logs, beside the physical baseline of a raw
// memmem over the same contacts as they lie on disk. Argument: the number of contacts.
#include "LogGenerator.h"
#include "ResidentMemory.h"

#include "common/GridModel.h"
#include "edit/Search.h"
#include "history/PlainChrome.h"
#include "history/ContactLog.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

namespace {

// A text that occurs in no contact.
constexpr char kAbsent[] = "XQ9QX";

void BM_MemmemScan(benchmark::State &state)
{
    const std::string bytes = benchlog::fileBytes(state.range(0));
    if (memmem(bytes.data(), bytes.size(), kAbsent, std::strlen(kAbsent)) != nullptr)
        return state.SkipWithError("the absent text occurs in the log");
    for (auto _ : state)
        benchmark::DoNotOptimize(memmem(bytes.data(), bytes.size(), kAbsent, std::strlen(kAbsent)));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
    state.counters["file_MB"] = double(bytes.size()) / benchmem::kMB;
}
BENCHMARK(BM_MemmemScan)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Find next from the first contact's call sign: every later cell is examined.
void BM_FindNextNoMatch(benchmark::State &state)
{
    const benchmem::Growth memory;
    const auto table = benchlog::contactTable(state.range(0));
    const double held = memory.mb();
    const CellMatcher matcher(QString::fromLatin1(kAbsent));
    for (auto _ : state) {
        table->setCol(1);
        table->setRow(1);
        if (findNext(*table, matcher) != 0)
            return state.SkipWithError("the absent text was found");
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * state.range(0));
    state.counters["rss_growth_MB"] = held;
}
BENCHMARK(BM_FindNextNoMatch)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// The search from the top, for a text found nowhere.
void BM_SearchNoMatch(benchmark::State &state)
{
    const benchmem::Growth memory;
    const auto table = benchlog::contactTable(state.range(0));
    const double held = memory.mb();
    const CellMatcher matcher(QString::fromLatin1(kAbsent));
    for (auto _ : state)
        benchmark::DoNotOptimize(searchFromTop(*table, matcher));
    state.SetItemsProcessed(int64_t(state.iterations()) * state.range(0));
    state.counters["rss_growth_MB"] = held;
}
BENCHMARK(BM_SearchNoMatch)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// "Borrar Línea" in the middle of the log, as an undoable step: one row out, every row
// renumbered. The current row keeps its index from one delete to the next; when a quarter of
// the log is gone (only on small logs, which take many quick runs) it is built afresh.
void BM_DeleteLine(benchmark::State &state)
{
    const int64_t contacts = state.range(0);
    const benchmem::Growth memory;
    auto table = benchlog::contactTable(contacts);
    const double held = memory.mb();
    PlainChrome chrome;
    auto log = std::make_unique<ContactLog>(*table, chrome);
    const auto start = [&table] {
        table->setCol(1);
        table->setRow(table->Rows() / 2);
    };
    start();
    for (auto _ : state) {
        if (table->Rows() < contacts * 3 / 4) {
            state.PauseTiming();
            log.reset();
            table.reset();
            table = benchlog::contactTable(contacts);
            log = std::make_unique<ContactLog>(*table, chrome);
            start();
            state.ResumeTiming();
        }
        log->deleteLine();
    }
    const int last = table->Rows() - 1;
    if (table->TextMatrix(last, 0) != QString::number(last))
        state.SkipWithError("the rows were not renumbered");
    state.counters["rss_growth_MB"] = held;
}
BENCHMARK(BM_DeleteLine)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

} // namespace
