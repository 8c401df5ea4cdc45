// Search, find next and delete line on big logs, beside the physical baseline of a raw
// memmem over the same contacts as they lie on disk. Argument: the number of contacts.
#include "common/Cp1252.h"
#include "common/GridModel.h"
#include "common/GridStore.h"
#include "edit/Search.h"
#include "edit/SortDeleteCommands.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

// A text that occurs in no contact.
constexpr char kAbsent[] = "XQ9QX";

// The sixteen values of contact `i`, UTF-8: short Spanish texts in a pseudo-random mix,
// about 140 bytes a contact once quoted on disk.
void contactValues(int64_t i, std::array<std::string, 16> &v)
{
    static const char *calls[] = {"LU1ABC", "EA4XYZ", "CX2AQ", "CE3BFZ", "LW5DR", "EA8/DL1ZZ", "XE1KK", "HK3JJH"};
    static const char *names[] = {"Juan", "José María", "Muñoz", "Raúl", "Begoña", "Ana", "Iván", "Lucía"};
    static const char *places[] = {"Rosario", "León", "Córdoba", "San Martín de los Andes", "Málaga",
                                   "Asunción", "Bogotá", "Valparaíso"};
    static const char *provinces[] = {"Santa Fe", "Castilla y León", "Córdoba", "Neuquén", "Andalucía", "Central"};
    static const char *modes[] = {"SSB", "CW", "FM", "RTTY", "PSK31"};
    static const char *routes[] = {"BURO", "DIRECTA", "EA4URE", "eQSL"};
    static const char *comments[] = {"", "", "Buena señal, QSB fuerte", "Primer contacto con “Paco”",
                                     "Antena dipolo – 100 W", "Envía QSL vía buró € 5"};
    uint32_t seed = uint32_t(i) * 2654435761u + 12345u;
    auto pick = [&seed](const auto &list) {
        seed = seed * 1664525u + 1013904223u;
        return list[(seed >> 16) % (sizeof(list) / sizeof(list[0]))];
    };
    v[0] = pick(calls);
    v[1] = pick(names);
    v[2] = pick(places);
    v[3] = pick(provinces);
    v[4] = pick(places);
    v[5] = std::to_string(1000 + i % 9000);
    v[6] = i % 3 ? std::string() : std::to_string(i % 500);
    v[7] = "59";
    v[8] = "12/02/2001";
    v[9] = "22:52:30";
    v[10] = "7.050";
    v[11] = pick(modes);
    v[12] = pick(routes);
    v[13] = "NO";
    v[14] = i % 2 ? "SI" : "NO";
    v[15] = pick(comments);
}

// The contacts as a log book file holds them: count line, sixteen quoted Windows-1252 lines each.
std::string fileBytes(int64_t contacts)
{
    std::string s = std::to_string(contacts) + "\r\n";
    s.reserve(size_t(contacts) * 160);
    std::array<std::string, 16> v;
    for (int64_t i = 0; i < contacts; ++i) {
        contactValues(i, v);
        for (const std::string &value : v) {
            s += '"';
            cp1252::appendFromUtf8(s, value);
            s += "\"\r\n";
        }
    }
    return s;
}

// A contact table holding the same contacts, numbered 1, 2, 3, ...
std::unique_ptr<GridModel> table(int64_t contacts)
{
    auto grid = std::make_unique<GridModel>(17, 1);
    GridStore rows(17);
    rows.reserveRows(contacts);
    std::array<std::string, 16> v;
    std::array<std::string_view, 17> cells;
    for (int64_t i = 0; i < contacts; ++i) {
        contactValues(i, v);
        const std::string number = std::to_string(i + 1);
        cells[0] = number;
        for (size_t c = 0; c < v.size(); ++c)
            cells[c + 1] = v[c];
        rows.appendRow(cells.data(), int(cells.size()));
    }
    grid->appendRows(std::move(rows));
    return grid;
}

double residentMB()
{
    long pages = 0, resident = 0;
    if (FILE *f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

void BM_MemmemScan(benchmark::State &state)
{
    const std::string bytes = fileBytes(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(memmem(bytes.data(), bytes.size(), kAbsent, std::strlen(kAbsent)));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
    state.counters["file_MB"] = double(bytes.size()) / (1024.0 * 1024.0);
}
BENCHMARK(BM_MemmemScan)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Find next from the first contact's call sign: every later cell is examined.
void BM_FindNextNoMatch(benchmark::State &state)
{
    const double before = residentMB();
    const auto grid = table(state.range(0));
    const double held = residentMB() - before;
    grid->setCol(1);
    grid->setRow(1);
    const QString text = QString::fromLatin1(kAbsent);
    for (auto _ : state)
        benchmark::DoNotOptimize(findNext(*grid, CellMatcher(text)));
    state.counters["rss_MB"] = held;
}
BENCHMARK(BM_FindNextNoMatch)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// The search from the top, for a text found nowhere.
void BM_SearchNoMatch(benchmark::State &state)
{
    const double before = residentMB();
    const auto grid = table(state.range(0));
    const double held = residentMB() - before;
    const QString text = QString::fromLatin1(kAbsent);
    for (auto _ : state)
        benchmark::DoNotOptimize(searchFromTop(*grid, CellMatcher(text)));
    state.counters["rss_MB"] = held;
}
BENCHMARK(BM_SearchNoMatch)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// "Borrar Línea" in the middle of the log: one row out, every row renumbered.
void BM_DeleteLine(benchmark::State &state)
{
    const int64_t contacts = state.range(0);
    const double before = residentMB();
    auto grid = table(contacts);
    const double held = residentMB() - before;
    const auto start = [&grid] {
        grid->setCol(1);
        grid->setRow(grid->Rows() / 2); // the current row keeps its index from one delete to the next
    };
    start();
    for (auto _ : state) {
        if (grid->Rows() < contacts * 3 / 4) { // many quick runs on the small log: start afresh
            state.PauseTiming();
            grid.reset();
            grid = table(contacts);
            start();
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(deleteCurrentLine(*grid));
    }
    state.counters["rss_MB"] = held;
}
BENCHMARK(BM_DeleteLine)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond);

} // namespace
