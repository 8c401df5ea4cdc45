// Undo at scale: "Nuevo" taken back (the replaced table moved back in, not copied) against
// reading the log from its file, and a sort taken back (its order reversed) against sorting.
// The recovery journal: what it adds to adding a contact, its disk sync, and the hash that
// recognises a file.
#include "history/PlainChrome.h"
#include "LogGenerator.h"
#include "ResidentMemory.h"

#include "common/ContentHash.h"
#include "history/ContactLog.h"
#include "logbook/RecoveryJournal.h"

#include <benchmark/benchmark.h>

namespace {

void BM_UndoNuevo(benchmark::State &state)
{
    const int64_t contacts = state.range(0);
    const auto table = benchlog::contactTable(contacts);
    PlainChrome chrome;
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
    PlainChrome chrome;
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

namespace {

// Adding a contact with the recovery journal listening: the step encoded and queued for the
// disk. Writing and syncing it is BM_JournalSync's. Against BM_AddContact, which is the same
// add with no journal.
void BM_AddContactJournal(benchmark::State &state)
{
    const int64_t contacts = state.range(0);
    const auto table = benchlog::contactTable(contacts);
    PlainChrome chrome;
    auto log = std::make_unique<ContactLog>(*table, chrome);
    RecoveryJournal journal(benchlog::folder().filePath(QStringLiteral("journal-add")));
    journal.setSyncEachStep(false);
    log->editor().setObserver(&journal);
    std::vector<QStringList> typed;
    for (int64_t i = 0; i < 256; ++i)
        typed.push_back(benchlog::contactTexts(contacts + i).mid(1));
    constexpr int kBatch = 4096;
    int added = 0;
    for (auto _ : state) {
        if (added == kBatch) {
            state.PauseTiming();
            journal.sync();
            log.reset();
            table->setRows(int(contacts) + 1);
            log = std::make_unique<ContactLog>(*table, chrome);
            log->editor().setObserver(&journal);
            added = 0;
            state.ResumeTiming();
        }
        log->addContact(typed[size_t(added) % typed.size()]);
        ++added;
    }
    journal.end();
}
BENCHMARK(BM_AddContactJournal)->Arg(10000)->Arg(1000000);

// One added contact's step written to the journal and on the disk (fdatasync).
void BM_JournalSync(benchmark::State &state)
{
    const auto table = benchlog::contactTable(state.range(0));
    PlainChrome chrome;
    ContactLog log(*table, chrome);
    RecoveryJournal journal(benchlog::folder().filePath(QStringLiteral("journal-sync")));
    journal.setSyncEachStep(false);
    log.editor().setObserver(&journal);
    const QStringList typed = benchlog::contactTexts(7).mid(1);
    for (auto _ : state) {
        state.PauseTiming();
        log.addContact(typed);
        state.ResumeTiming();
        if (!journal.sync())
            return state.SkipWithError("the journal could not be written");
    }
    journal.end();
}
BENCHMARK(BM_JournalSync)->Arg(1000000)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The hash that recognises a file later, over the bytes of the log as the reader gets them:
// XXH3 of each MiB, and (BM_ContentHashXxh3, BM_ContentHashXxh64) the plain XXH3 and XXH64 of
// earlier versions, kept for their journals.
void contentHash(benchmark::State &state, HashKind kind)
{
    const std::string bytes = benchlog::fileBytes(state.range(0));
    for (auto _ : state) {
        ContentHash hash(kind);
        constexpr size_t kChunk = size_t(1) << 20;
        for (size_t at = 0; at < bytes.size(); at += kChunk)
            hash.add(bytes.data() + at, std::min(kChunk, bytes.size() - at));
        benchmark::DoNotOptimize(hash.value());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}
void BM_ContentHash(benchmark::State &state)
{
    contentHash(state, kHashKind);
}
BENCHMARK(BM_ContentHash)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ContentHashXxh3(benchmark::State &state)
{
    contentHash(state, HashKind::Xxh3);
}
BENCHMARK(BM_ContentHashXxh3)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ContentHashXxh64(benchmark::State &state)
{
    contentHash(state, HashKind::Xxh64);
}
BENCHMARK(BM_ContentHashXxh64)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
