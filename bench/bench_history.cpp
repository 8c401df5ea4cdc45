// Undo at scale: "Nuevo" taken back (the replaced table moved back in, not copied) against
// reading the log from its file, and a sort taken back (its order reversed) against sorting.
#include "BenchChrome.h"
#include "LogGenerator.h"
#include "ResidentMemory.h"

#include "history/ContactLog.h"

#include <benchmark/benchmark.h>

namespace {

void BM_UndoNuevo(benchmark::State &state)
{
    const int64_t contacts = state.range(0);
    const auto table = benchlog::contactTable(contacts);
    BenchChrome chrome;
    ContactLog log(*table, chrome);
    for (auto _ : state) {
        state.PauseTiming();
        log.emptyTable();
        if (table->Rows() != 1)
            return state.SkipWithError("Nuevo left contacts");
        state.ResumeTiming();
        log.undo();
    }
    if (table->Rows() != contacts + 1)
        state.SkipWithError("the log did not come back");
    state.SetItemsProcessed(int64_t(state.iterations()) * contacts);
}
BENCHMARK(BM_UndoNuevo)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_UndoSort(benchmark::State &state)
{
    const int64_t contacts = state.range(0);
    const auto table = benchlog::contactTable(contacts);
    const int last = table->Rows() - 1;
    BenchChrome chrome;
    ContactLog log(*table, chrome);
    const QString firstCall = table->TextMatrix(1, 1);
    for (auto _ : state) {
        state.PauseTiming();
        table->setCol(1);
        table->setRow(1);
        log.sort();
        state.ResumeTiming();
        log.undo();
    }
    if (table->TextMatrix(1, 1) != firstCall)
        state.SkipWithError("the order did not come back");
    state.SetItemsProcessed(int64_t(state.iterations()) * last);
}
BENCHMARK(BM_UndoSort)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
