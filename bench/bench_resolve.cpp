// Call signs to DXCC entities with the shipped country file, against putting the same strings
// into a hash set: the resolver looks each call up in two tables, so it should cost about as
// much as one hash insertion. Reading the country file is timed for information.
#include "dxcc/CallResolver.h"

#include <QFileInfo>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

namespace {

constexpr size_t kCalls = 1000000;

QString countryFile()
{
    return QStringLiteral(ORVANEL_CTY_CSV);
}

uint64_t splitmix(uint64_t &state)
{
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// A million distinct call signs of the kinds a log holds: home calls of many entities, most of
// them plain, some portable, some worked from another entity (either order), a few at sea or
// typed in lower case. The same every run.
const std::vector<std::string> &calls()
{
    static const std::vector<std::string> list = [] {
        static const char *const home[] = {
            "EA", "EB", "EC", "EA6", "EA8", "EA9", "DL", "DK", "DJ", "F", "G", "M", "GM", "GW", "GI", "EI", "I",
            "IK", "IZ", "IS0", "JA", "JH", "JR", "K", "W", "N", "AA", "KB", "KC", "KD", "KH6", "KL7", "KP4", "VE",
            "VA", "VK", "ZL", "ZS", "LU", "LW", "PY", "PU", "CE", "CX", "XE", "UA", "RA", "RU", "RW", "UA9", "RA0",
            "UR", "UT", "SP", "SQ", "OK", "OM", "HA", "YO", "LZ", "SV", "9A", "S5", "OE", "HB9", "ON", "PA", "PD",
            "OZ", "SM", "LA", "OH", "ES", "YL", "LY", "EU", "CT", "CT3", "CU", "4X", "5B", "A6", "A7", "HZ", "VU",
            "BY", "BG", "BV", "HL", "DS", "DU", "YB", "9M2", "9V", "HS", "ZP", "OA", "HC", "HK", "YV", "TI", "HI",
            "CO", "6Y", "8P", "J3", "FG", "FM", "3D2", "5Z", "TF", "OX", "JW", "OY", "ZD8", "3B8", "FR", "VP8",
            "HR", "TG", "YN", "HP", "KG4", "V5", "7X", "CN", "SU", "ST", "ET", "5H", "9J", "Z2", "A2", "D2", "TR",
        };
        static const char *const abroad[] = {"EA8", "KH6", "F", "VP2M", "JW", "CT3", "FR", "FO", "VK9X", "ZL7",
                                             "KP4", "HK0", "OH0", "SV9", "IS0", "TK", "EA6", "GD", "GJ", "GU",
                                             "PJ2", "FS", "VP9", "C6", "ZF", "V4", "J6", "8P", "9H", "ZB"};
        constexpr size_t kHome = sizeof home / sizeof *home, kAbroad = sizeof abroad / sizeof *abroad;
        uint64_t seed = 1;
        std::unordered_set<std::string> seen;
        std::vector<std::string> out;
        out.reserve(kCalls);
        seen.reserve(kCalls);
        std::string call;
        while (out.size() < kCalls) {
            const uint64_t r = splitmix(seed);
            call = home[r % kHome];
            const char last = call.back();
            if (last < '0' || last > '9')
                call += char('0' + (r >> 8) % 10);
            const int letters = 1 + int((r >> 12) % 3);
            for (int k = 0; k < letters; ++k)
                call += char('A' + (r >> (16 + 5 * k)) % 26);
            const std::string prefix = abroad[(r >> 40) % kAbroad];
            switch ((r >> 48) % 100) {
            case 70: case 71: case 72: case 73: case 74: case 75: case 76: case 77: call += "/P"; break;
            case 78: case 79: case 80: case 81: call += "/M"; break;
            case 82: case 83: call += "/QRP"; break;
            case 84: case 85: case 86: call += '/'; call += char('0' + (r >> 56) % 10); break;
            case 87: case 88: case 89: case 90: case 91: call = prefix + '/' + call; break;
            case 92: case 93: case 94: case 95: call += '/' + prefix; break;
            case 96: case 97: call = prefix + '/' + call + "/P"; break;
            case 98: call += "/MM"; break;
            case 99: for (char &c : call) c = char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); break;
            default: break;
            }
            if (seen.insert(call).second)
                out.push_back(call);
        }
        return out;
    }();
    return list;
}

void BM_ResolveCalls(benchmark::State &state)
{
    const CountryFileRead read = CallResolver::read(countryFile());
    if (!read.ok) {
        state.SkipWithError(read.error.toUtf8().constData());
        return;
    }
    const CallResolver &resolver = *read.resolver;
    const std::vector<std::string> &list = calls();
    int64_t found = 0;
    for (auto _ : state) {
        found = 0;
        for (const std::string &call : list)
            found += resolver.resolve(std::string_view(call)).found();
        benchmark::DoNotOptimize(found);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(list.size()));
    state.counters["found_pct"] = 100.0 * double(found) / double(list.size());
}
BENCHMARK(BM_ResolveCalls)->Unit(benchmark::kMillisecond);

void BM_HashCalls(benchmark::State &state)
{
    const std::vector<std::string> &list = calls();
    for (auto _ : state) {
        std::unordered_set<std::string> set;
        for (const std::string &call : list)
            set.insert(call);
        benchmark::DoNotOptimize(set.size());
        state.PauseTiming(); // freeing a million nodes is no part of inserting them
        { const auto gone = std::move(set); }
        state.ResumeTiming();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(list.size()));
}
BENCHMARK(BM_HashCalls)->Unit(benchmark::kMillisecond);

void BM_ReadCountryFile(benchmark::State &state)
{
    const int64_t bytes = QFileInfo(countryFile()).size();
    for (auto _ : state) {
        const CountryFileRead read = CallResolver::read(countryFile());
        if (!read.ok) {
            state.SkipWithError(read.error.toUtf8().constData());
            return;
        }
        benchmark::DoNotOptimize(read.resolver.get());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes);
}
BENCHMARK(BM_ReadCountryFile)->Unit(benchmark::kMillisecond);

} // namespace
