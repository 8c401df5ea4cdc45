// Reading and writing a log book of one million contacts, against the bare cost of moving
// the same bytes through a file: LeerLibro next to a chunked read that only finds the line
// ends, EscribirLibro next to writing the finished bytes through QSaveFile.
// Counters: resident memory growth (MB) while the result is held, and for the reader the
// bytes the new table keeps.
#include "common/GridModel.h"
#include "logbook/LibroFile.h"

#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>
#include <unistd.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

constexpr int kContacts = 1000000;

// Resident memory now, in bytes, after handing freed memory back so growth is measured from
// what is really in use.
double residentBytes()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
    long pages = 0, resident = 0;
    if (FILE *f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return double(resident) * double(sysconf(_SC_PAGESIZE));
}

constexpr double kMB = 1024.0 * 1024.0;

// A log as written on a Spanish-language system: about 140 bytes a contact, accents as single
// Windows-1252 bytes, texts mixed pseudo-randomly so no run is regular.
const std::string &logBytes()
{
    static const std::string bytes = [] {
        const char *calls[] = {"LU1ABC", "EA4XYZ", "CX2AQ", "CE3BFZ", "LW5DR", "EA8/DL1ZZ", "XE1KK", "HK3JJH"};
        const char *names[] = {"Juan", "Jos\xE9", "Mu\xF1oz", "Ra\xFAl", "Bego\xF1" "a", "Ana", "Iv\xE1n", "Luc\xED" "a"};
        const char *places[] = {"Rosario", "Le\xF3n", "C\xF3rdoba", "Neuqu\xE9n", "M\xE1laga", "Asunci\xF3n",
                                "Bogot\xE1", "Valpara\xEDso"};
        const char *provinces[] = {"Santa Fe", "Le\xF3n", "C\xF3rdoba", "Neuqu\xE9n", "Andaluc\xED" "a", "Central"};
        const char *modes[] = {"SSB", "CW", "FM", "AM", "DIGIMODOS"};
        const char *routes[] = {"BURO", "DIRECTA", "EA4URE"};
        const char *comments[] = {"", "", "", "Buena se\xF1" "al", "QSB fuerte", "Antena dipolo"};
        std::string s;
        s.reserve(size_t(kContacts) * 150);
        s += std::to_string(kContacts) + "\r\n";
        uint32_t seed = 12345;
        auto pick = [&seed](const auto &list) {
            seed = seed * 1664525u + 1013904223u;
            return list[(seed >> 16) % (sizeof(list) / sizeof(list[0]))];
        };
        auto quoted = [&s](std::string_view v) {
            s += '"';
            s += v;
            s += "\"\r\n";
        };
        for (int contact = 0; contact < kContacts; ++contact) {
            quoted(pick(calls));
            quoted(pick(names));
            quoted(pick(places));
            quoted(pick(provinces));
            quoted(pick(places));
            quoted(std::to_string(1000 + contact % 9000));
            quoted(contact % 3 ? std::string() : std::to_string(contact % 500));
            quoted("59");
            quoted("12/02/2001");
            quoted("22:52:30");
            quoted("7.050");
            quoted(pick(modes));
            quoted(pick(routes));
            quoted("NO");
            quoted(contact % 2 ? "SI" : "NO");
            quoted(pick(comments));
        }
        return s;
    }();
    return bytes;
}

struct Files
{
    QTemporaryDir dir;
    QString input = dir.filePath(QStringLiteral("millon.LBR"));
    QString output = dir.filePath(QStringLiteral("copia.LBR"));
    bool ready = false;

    Files()
    {
        QFile f(input);
        const std::string &bytes = logBytes();
        ready = dir.isValid() && f.open(QIODevice::WriteOnly)
                && f.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size());
    }
};

Files &files()
{
    static Files f;
    return f;
}

// The table EscribirLibro writes, read once.
GridModel &bigTable()
{
    static const std::unique_ptr<GridModel> libro = [] {
        auto model = std::make_unique<GridModel>(kLibroCols, 1);
        LibroRead read = LeerLibro(files().input);
        model->appendRows(std::move(read.rows));
        NumerarFilas(*model);
        return model;
    }();
    return *libro;
}

void setFileCounters(benchmark::State &state, double growth)
{
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(logBytes().size()));
    state.SetItemsProcessed(int64_t(state.iterations()) * kContacts);
    state.counters["rss_growth_MB"] = growth / kMB;
}

void BM_RawRead(benchmark::State &state)
{
    if (!files().ready)
        return state.SkipWithError("cannot write the test file");
    std::vector<char> buffer(size_t(1) << 20);
    double growth = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const double before = residentBytes();
        state.ResumeTiming();
        QFile f(files().input);
        f.open(QIODevice::ReadOnly);
        int64_t lines = 0;
        for (qint64 n; (n = f.read(buffer.data(), qint64(buffer.size()))) > 0;) {
            const char *p = buffer.data(), *end = p + n;
            while ((p = static_cast<const char *>(std::memchr(p, '\r', size_t(end - p)))) != nullptr) {
                ++lines;
                ++p;
            }
        }
        benchmark::DoNotOptimize(lines);
        state.PauseTiming();
        growth = std::max(growth, residentBytes() - before);
        state.ResumeTiming();
    }
    setFileCounters(state, growth);
}
BENCHMARK(BM_RawRead)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

void BM_LeerLibro(benchmark::State &state)
{
    if (!files().ready)
        return state.SkipWithError("cannot write the test file");
    double growth = 0, kept = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const double before = residentBytes();
        state.ResumeTiming();
        LibroRead read = LeerLibro(files().input);
        if (!read.ok || read.rows.rows() != kContacts)
            return state.SkipWithError("the file was not read");
        state.PauseTiming();
        growth = std::max(growth, residentBytes() - before);
        kept = double(read.rows.memoryUsage());
        { LibroRead gone = std::move(read); }
        state.ResumeTiming();
    }
    setFileCounters(state, growth);
    state.counters["table_MB"] = kept / kMB;
}
BENCHMARK(BM_LeerLibro)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

void BM_RawWrite(benchmark::State &state)
{
    if (!files().ready)
        return state.SkipWithError("cannot write the test file");
    const std::string &bytes = logBytes();
    constexpr size_t kPiece = size_t(1) << 20;
    double growth = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const double before = residentBytes();
        state.ResumeTiming();
        QSaveFile f(files().output);
        f.open(QIODevice::WriteOnly);
        for (size_t at = 0; at < bytes.size(); at += kPiece)
            f.write(bytes.data() + at, qint64(std::min(kPiece, bytes.size() - at)));
        if (!f.commit())
            return state.SkipWithError("the file was not written");
        state.PauseTiming();
        growth = std::max(growth, residentBytes() - before);
        state.ResumeTiming();
    }
    setFileCounters(state, growth);
}
BENCHMARK(BM_RawWrite)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

void BM_EscribirLibro(benchmark::State &state)
{
    if (!files().ready)
        return state.SkipWithError("cannot write the test file");
    const GridModel &libro = bigTable();
    double growth = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const double before = residentBytes();
        state.ResumeTiming();
        const LibroWrite written = EscribirLibro(libro, files().output);
        if (!written.ok)
            return state.SkipWithError("the file was not written");
        state.PauseTiming();
        growth = std::max(growth, residentBytes() - before);
        state.ResumeTiming();
    }
    setFileCounters(state, growth);
    QFile copy(files().output);
    if (copy.size() != qint64(logBytes().size()))
        state.SkipWithError("the copy differs in size from the original");
}
BENCHMARK(BM_EscribirLibro)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

} // namespace
