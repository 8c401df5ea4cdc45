// The DXer's view at a million contacts: the call-sign index built in one go for a log just
// opened, against reading the log from its file (the program builds it in small steps while
// idle); and the worked-entities table computed from that index (every call sign's entity
// resolved afresh, then the marks), against sorting the log by call sign.
#include "LogGenerator.h"

#include "dxcc/CallIndex.h"
#include "dxcc/CallResolver.h"
#include "dxcc/WorkedEntities.h"

#include <benchmark/benchmark.h>

namespace {

std::shared_ptr<const CallResolver> resolver()
{
    static const CountryFileRead read = CallResolver::read(QStringLiteral(ORVANEL_CTY_CSV));
    return read.resolver;
}

void BM_IndexCalls(benchmark::State &state)
{
    const auto table = benchlog::contactTable(state.range(0));
    CallIndex index(*table);
    for (auto _ : state) {
        index.rebuild();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * state.range(0));
}
BENCHMARK(BM_IndexCalls)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WorkedEntities(benchmark::State &state)
{
    if (!resolver())
        return state.SkipWithError("no country file");
    const auto table = benchlog::contactTable(state.range(0));
    CallIndex index(*table);
    int worked = 0;
    index.rebuild();
    for (auto _ : state) {
        index.setResolver(resolver()); // every entity resolved afresh
        worked = workedEntities(index, ModeFilter::All, false).worked;
    }
    if (worked < 10)
        state.SkipWithError("too few entities worked: the log or the country file is wrong");
    state.counters["entities"] = worked;
    state.SetItemsProcessed(int64_t(state.iterations()) * state.range(0));
}
BENCHMARK(BM_WorkedEntities)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
