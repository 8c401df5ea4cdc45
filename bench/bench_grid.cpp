// The contact table itself on big logs: what a full log takes in memory, the sort by call
// sign beside the plain way of sorting call signs, and adding one contact at the end.
// Argument: the number of contacts.
#include "history/PlainChrome.h"
#include "LogGenerator.h"
#include "ResidentMemory.h"

#include "common/GridModel.h"
#include "common/GridSort.h"
#include "common/GridStore.h"
#include "history/ContactLog.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <strings.h>
#include <vector>

namespace {

// Building the table the way opening a log does, from contacts already in memory.
void BM_FillGrid(benchmark::State &state)
{
    double growth = 0, peak = 0, store = 0, text = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::optional<benchmem::Growth> memory;
        memory.emplace();
        state.ResumeTiming();

        const auto table = benchlog::contactTable(state.range(0));

        state.PauseTiming();
        growth = std::max(growth, memory->mb());
        peak = std::max(peak, memory->peakMB());
        store = double(table->store().memoryUsage()) / benchmem::kMB;
        text = 0;
        for (int c = 1; c < table->Cols(); ++c)
            text += double(table->store().cell(table->Rows() / 2, c).size());
        state.ResumeTiming();
    }
    state.counters["rss_growth_MB"] = growth;
    if (peak >= 0)
        state.counters["peak_growth_MB"] = peak;
    state.counters["store_MB"] = store;
    state.counters["middle_row_text_bytes"] = text;
}
BENCHMARK(BM_FillGrid)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// The store's share of reading a log: appending contacts whose sixteen texts lie side by
// side in one buffer (as a reader holds a contact it has just decoded) as rows of a new store.
void BM_StoreAppendRows(benchmark::State &state)
{
    std::vector<std::string> texts(4096);
    std::vector<benchlog::Cells> views(texts.size());
    benchlog::ContactMaker maker;
    benchlog::Cells cells;
    for (size_t i = 0; i < texts.size(); ++i) {
        maker.make(int64_t(i), cells);
        size_t ends[benchlog::kCols] = {};
        for (int c = 1; c < benchlog::kCols; ++c) {
            texts[i] += cells[size_t(c)];
            ends[c] = texts[i].size();
        }
        for (int c = 1; c < benchlog::kCols; ++c)
            views[i][size_t(c)] = std::string_view(texts[i]).substr(ends[c - 1], ends[c] - ends[c - 1]);
    }
    double held = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::optional<benchmem::Growth> memory;
        memory.emplace();
        state.ResumeTiming();
        GridStore rows(benchlog::kCols);
        rows.reserveRows(state.range(0));
        for (int64_t i = 0; i < state.range(0); ++i)
            rows.appendRow(views[size_t(i) % views.size()].data(), benchlog::kCols);
        benchmark::DoNotOptimize(rows.rows());
        state.PauseTiming();
        held = std::max(held, memory->mb());
        state.ResumeTiming();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * state.range(0));
    state.counters["rss_growth_MB"] = held;
}
BENCHMARK(BM_StoreAppendRows)->Arg(1000000)->Unit(benchmark::kMillisecond);

// The sort command with the current cell in the call-sign column: every contact sorted by
// call sign, rows moved, views told. Between runs the table is put back in date order, which
// leaves the call signs in random order again.
void BM_SortByCall(benchmark::State &state)
{
    const benchmem::Growth memory;
    const auto table = benchlog::contactTable(state.range(0));
    const double held = memory.mb();
    const int last = table->Rows() - 1;
    table->setCol(1);
    table->setRow(1);
    for (auto _ : state) {
        state.PauseTiming();
        table->sortRows(1, last, 9, 10);
        table->setCol(1);
        table->setRow(1);
        state.ResumeTiming();
        table->Sort();
    }
    if (table->TextMatrix(1, 1).compare(table->TextMatrix(last, 1), Qt::CaseInsensitive) > 0)
        state.SkipWithError("the table is not in call-sign order");
    state.SetItemsProcessed(int64_t(state.iterations()) * last);
    state.counters["rss_growth_MB"] = held;
}
BENCHMARK(BM_SortByCall)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// The order alone, without moving rows or telling views.
void BM_SortOrderByCall(benchmark::State &state)
{
    const benchmem::Growth memory;
    const auto table = benchlog::contactTable(state.range(0));
    const double held = memory.mb();
    for (auto _ : state)
        benchmark::DoNotOptimize(gridSortOrder(table->store(), 1, table->Rows() - 1, 1, 1));
    state.SetItemsProcessed(int64_t(state.iterations()) * state.range(0));
    state.counters["rss_growth_MB"] = held;
}
BENCHMARK(BM_SortOrderByCall)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// The plain way: std::sort of the call signs as std::string, compared ignoring case.
void BM_SortBaseline(benchmark::State &state)
{
    std::vector<std::string> calls;
    calls.reserve(size_t(state.range(0)));
    benchlog::ContactMaker maker;
    benchlog::Cells cells;
    for (int64_t i = 0; i < state.range(0); ++i) {
        maker.make(i, cells);
        calls.emplace_back(cells[1]);
    }
    std::vector<std::string> work;
    for (auto _ : state) {
        state.PauseTiming();
        work = calls;
        state.ResumeTiming();
        std::sort(work.begin(), work.end(),
                  [](const std::string &a, const std::string &b) { return strcasecmp(a.c_str(), b.c_str()) < 0; });
        benchmark::DoNotOptimize(work.data());
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * state.range(0));
}
BENCHMARK(BM_SortBaseline)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// One add as the entry form makes it: the number (the new row's index) and sixteen texts
// appended as a row at the end of the log. Every few thousand adds the table is cut back to
// its size, so the log stays the size it is measured at.
void BM_AddContact(benchmark::State &state)
{
    const int64_t contacts = state.range(0);
    const benchmem::Growth memory;
    const auto table = benchlog::contactTable(contacts);
    const double held = memory.mb();
    PlainChrome chrome;
    auto log = std::make_unique<ContactLog>(*table, chrome);
    table->setCol(1);
    table->setRow(1);
    std::vector<QStringList> typed;
    for (int64_t i = 0; i < 256; ++i)
        typed.push_back(benchlog::contactTexts(contacts + i));
    constexpr int kBatch = 4096;
    int added = 0;
    for (auto _ : state) {
        if (added == kBatch) {
            state.PauseTiming();
            log.reset(); // a fresh history, so a long run does not measure a growing one
            table->setRows(int(contacts) + 1);
            log = std::make_unique<ContactLog>(*table, chrome);
            added = 0;
            state.ResumeTiming();
        }
        // As the entry form hands it over: the command numbers the row and keeps it for undo.
        log->addContact(typed[size_t(added) % typed.size()].mid(1));
        ++added;
    }
    if (table->Rows() != contacts + 1 + added)
        state.SkipWithError("the table did not grow by one row per add");
    state.counters["rss_growth_MB"] = held;
}
BENCHMARK(BM_AddContact)->Arg(10000)->Arg(1000000);

} // namespace
