// The contact table's storage and sort on a million contacts: how much memory a full log
// takes, and the case-insensitive sort against the plain way of sorting call signs.
// Argument: the number of contacts.
#include "common/GridModel.h"
#include "common/GridSort.h"
#include "common/GridStore.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <strings.h>
#include <unistd.h>
#include <vector>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

// Sixteen realistic contact values, built without allocating: call signs, names, towns,
// dates, times, frequencies, modes, routes and comments with Spanish accents.
class ContactMaker
{
public:
    explicit ContactMaker(uint64_t seed) : m_state(seed * 0x9E3779B97F4A7C15ull + 1) {}

    // Fills cells[1..16]; the views stay valid until the next call.
    void next(std::array<std::string_view, 17> &cells)
    {
        static const char *prefixes[] = {"EA1", "EA2", "EA3", "EA4", "EA5", "EA7", "EA8", "EB1", "EC5",
                                         "ED4", "CT1", "F5",  "DL1", "I2",  "G4",  "LU1", "CE3", "XE1",
                                         "PY2", "OH2", "ea4", "W2",  "K1",  "JA1", "VK2", "HK3", "CX2"};
        static const char *names[] = {"José", "María", "Juan", "Ana", "Íñigo", "Pilar", "Jesús", "Ramón",
                                      "Begoña", "Andrés", "Lucía", "Óscar", "Luis", "Carmen", "Pepe", "Hans"};
        static const char *towns[] = {"Madrid", "Sevilla", "Málaga", "Vigo", "Gijón", "Cádiz", "León", "Jaén",
                                      "Lugo", "Ávila", "Teruel", "Soria", "Huesca", "Logroño", "Toledo", "Elche"};
        static const char *provinces[] = {"Madrid", "Sevilla", "Málaga", "Asturias", "Cádiz", "León",
                                          "Jaén", "Lugo", "Ávila", "Teruel", "Soria", "Toledo"};
        static const char *rst[] = {"59", "57", "55", "599", "579"};
        static const char *freqs[] = {"7.055", "14.205", "21.300", "28.450", "3.650", "144.30", "10.120"};
        static const char *modes[] = {"SSB", "CW", "FM", "RTTY", "FT8"};
        static const char *routes[] = {"BURO", "DIRECTA", "eQSL", "EA4URE"};
        static const char *comments[] = {"", "", "", "", "QSB", "Señal débil", "Antena dipolo", "Pidió QSL vía buró",
                                         "Muy amable", "Concurso"};

        char *c = m_call;
        c += std::snprintf(c, 8, "%s", pick(prefixes));
        for (int i = 2 + int(rnd() % 2); i > 0; --i)
            *c++ = char('A' + rnd() % 26);
        cells[1] = {m_call, size_t(c - m_call)};
        cells[2] = pick(names);
        cells[3] = pick(towns);
        cells[4] = pick(provinces);
        cells[5] = rnd() % 3 ? std::string_view() : std::string_view(pick(towns));
        std::snprintf(m_postal, sizeof m_postal, "%05u", unsigned(1000 + rnd() % 51000));
        cells[6] = m_postal;
        const int boxLen = rnd() % 4 ? 0 : std::snprintf(m_box, sizeof m_box, "%u", unsigned(rnd() % 5000));
        cells[7] = {m_box, size_t(boxLen)};
        cells[8] = pick(rst);
        std::snprintf(m_date, sizeof m_date, "%02u/%02u/%04u", unsigned(1 + rnd() % 28), unsigned(1 + rnd() % 12),
                      unsigned(1995 + rnd() % 30));
        cells[9] = m_date;
        std::snprintf(m_time, sizeof m_time, "%02u:%02u:%02u", unsigned(rnd() % 24), unsigned(rnd() % 60),
                      unsigned(rnd() % 60));
        cells[10] = m_time;
        cells[11] = pick(freqs);
        cells[12] = pick(modes);
        cells[13] = pick(routes);
        cells[14] = "NO";
        cells[15] = rnd() % 2 ? "SI" : "NO";
        cells[16] = pick(comments);
    }

private:
    uint64_t rnd()
    {
        m_state ^= m_state >> 12;
        m_state ^= m_state << 25;
        m_state ^= m_state >> 27;
        return (m_state * 0x2545F4914F6CDD1Dull) >> 16;
    }
    template <size_t N>
    const char *pick(const char *(&list)[N])
    {
        return list[rnd() % N];
    }

    uint64_t m_state;
    char m_call[16];
    char m_postal[16];
    char m_box[16];
    char m_date[16];
    char m_time[16];
};

const char *const kHeadings[17] = {"Nº", "Indicativo", "Nombre", "QTH", "Provincia", "Ciudad",
                                   "Código Postal", "Casilla de Correo", "RST", "Fecha", "Hora", "Frecuencia",
                                   "Modo", "Vía", "Enviada", "Recibida", "Comentario"};

// Loads `contacts` rows the way the log reader does: into a store of their own, then
// moved below the heading row. Returns the average text bytes of the sixteen contact cells.
double load(GridModel &grid, int64_t contacts)
{
    for (int c = 0; c < 17; ++c)
        grid.setTextMatrix(0, c, QString::fromUtf8(kHeadings[c]));
    GridStore rows(17);
    rows.reserveRows(contacts);
    ContactMaker maker(42);
    std::array<std::string_view, 17> cells;
    char number[24];
    size_t text = 0;
    for (int64_t i = 0; i < contacts; ++i) {
        maker.next(cells);
        cells[0] = {number, size_t(std::snprintf(number, sizeof number, "%lld", static_cast<long long>(i + 1)))};
        for (size_t c = 1; c < cells.size(); ++c)
            text += cells[c].size();
        rows.appendRow(cells.data(), int(cells.size()));
    }
    grid.appendRows(std::move(rows));
    grid.numberRows();
    return contacts > 0 ? double(text) / double(contacts) : 0.0;
}

// Gives free heap pages back first: memory that earlier benchmarks freed but the allocator
// kept would otherwise be reused unseen and make the growth look smaller than it is.
size_t residentBytes()
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
    return size_t(resident) * size_t(sysconf(_SC_PAGESIZE));
}

// Peak resident size since the last resetPeak(), from VmHWM.
size_t peakBytes()
{
    size_t kb = 0;
    if (FILE *f = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, f))
            if (std::sscanf(line, "VmHWM: %zu kB", &kb) == 1)
                break;
        std::fclose(f);
    }
    return kb * 1024;
}

bool resetPeak()
{
    FILE *f = std::fopen("/proc/self/clear_refs", "w");
    if (!f)
        return false;
    const bool ok = std::fputs("5", f) >= 0;
    return std::fclose(f) == 0 && ok;
}

constexpr double kMB = 1e6;

void BM_FillGrid(benchmark::State &state)
{
    double growth = 0, peak = 0, store = 0, perRow = 0;
    bool peakKnown = true;
    for (auto _ : state) {
        state.PauseTiming();
        std::optional<GridModel> grid;
        const size_t before = residentBytes();
        peakKnown = resetPeak() && peakKnown;
        state.ResumeTiming();

        grid.emplace(17, 1);
        perRow = load(*grid, state.range(0));

        state.PauseTiming();
        growth = std::max(growth, double(residentBytes() - before) / kMB);
        peak = std::max(peak, double(peakBytes() - before) / kMB);
        store = double(grid->store().memoryUsage()) / kMB;
        benchmark::DoNotOptimize(grid->Rows());
        grid.reset();
        state.ResumeTiming();
    }
    state.counters["rss_growth_MB"] = growth;
    if (peakKnown)
        state.counters["peak_growth_MB"] = peak;
    state.counters["store_MB"] = store;
    state.counters["text_bytes_per_row"] = perRow;
}
BENCHMARK(BM_FillGrid)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);

// The sort command on the call-sign column: folded keys, sort, rows moved, views told.
void BM_SortByCall(benchmark::State &state)
{
    GridModel grid(17, 1);
    load(grid, state.range(0));
    const int last = grid.Rows() - 1;
    for (auto _ : state) {
        state.PauseTiming();
        grid.sortRows(1, last, 9, 10); // by date and time: call signs in random order again
        state.ResumeTiming();
        grid.sortRows(1, last, 1, 1);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * last);
}
BENCHMARK(BM_SortByCall)->Arg(1000000)->Unit(benchmark::kMillisecond);

// The order alone, without moving rows or signalling.
void BM_SortOrderByCall(benchmark::State &state)
{
    GridModel grid(17, 1);
    load(grid, state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(gridSortOrder(grid.store(), 1, grid.Rows() - 1, 1, 1));
    state.SetItemsProcessed(int64_t(state.iterations()) * state.range(0));
}
BENCHMARK(BM_SortOrderByCall)->Arg(1000000)->Unit(benchmark::kMillisecond);

// The plain way: std::sort of std::string call signs with a case-insensitive comparator.
void BM_SortBaseline(benchmark::State &state)
{
    std::vector<std::string> calls;
    calls.reserve(size_t(state.range(0)));
    ContactMaker maker(42);
    std::array<std::string_view, 17> cells;
    for (int64_t i = 0; i < state.range(0); ++i) {
        maker.next(cells);
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
BENCHMARK(BM_SortBaseline)->Arg(1000000)->Unit(benchmark::kMillisecond);

} // namespace
