// The code page and the line reader on a log of about 140 MB: roughly a million contacts of
// short Spanish texts, the size the program has to open without making the user wait.
#include "common/Cp1252.h"
#include "common/QuotedLines.h"

#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr size_t kLogBytes = 140u << 20;

// A log book as it is on disk: a count line, then sixteen quoted Windows-1252 lines per
// contact. The texts repeat in a pseudo-random mix so that no run is suspiciously regular.
const std::string &logBytes()
{
    static const std::string bytes = [] {
        const char *calls[] = {"LU1ABC", "EA4XYZ", "CX2AQ", "CE3BFZ", "LW5DR", "EA8/DL1ZZ", "XE1KK", "HK3JJH"};
        const char *names[] = {"Juan", "Jos\xE9 Mar\xED""a", "Mu\xF1oz", "Ra\xFAl", "Bego\xF1""a", "Ana", "Iv\xE1n", "Luc\xED""a"};
        const char *places[] = {"Rosario", "Le\xF3n", "C\xF3rdoba", "San Mart\xEDn de los Andes", "M\xE1laga",
                                "Asunci\xF3n", "Bogot\xE1", "Valpara\xEDso"};
        const char *provinces[] = {"Santa Fe", "Castilla y Le\xF3n", "C\xF3rdoba", "Neuqu\xE9n", "Andaluc\xED""a", "Central"};
        const char *modes[] = {"SSB", "CW", "FM", "RTTY", "PSK31"};
        const char *routes[] = {"BURO", "DIRECTA", "EA4URE", "eQSL"};
        const char *comments[] = {"", "", "Buena se\xF1""al, QSB fuerte", "Primer contacto con \x93Paco\x94",
                                  "Antena dipolo \x96 100 W", "Env\xED""a QSL v\xED""a bur\xF3 \x80 5"};
        std::string s;
        s.reserve(kLogBytes + 4096);
        s += "1000000\r\n";
        uint32_t seed = 12345;
        auto pick = [&seed](auto &list) {
            seed = seed * 1664525u + 1013904223u;
            return list[(seed >> 16) % (sizeof(list) / sizeof(list[0]))];
        };
        auto quoted = [&s](const std::string &v) { s += '"'; s += v; s += "\"\r\n"; };
        for (int contact = 0; s.size() < kLogBytes; ++contact) {
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

const std::string &logUtf8()
{
    static const std::string utf8 = [] {
        std::string s;
        cp1252::appendAsUtf8(s, logBytes());
        return s;
    }();
    return utf8;
}

void BM_Cp1252ToUtf8(benchmark::State &state)
{
    const std::string &in = logBytes();
    std::string out;
    out.reserve(logUtf8().size());
    for (auto _ : state) {
        out.clear();
        cp1252::appendAsUtf8(out, in);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(in.size()));
}
BENCHMARK(BM_Cp1252ToUtf8)->Unit(benchmark::kMillisecond);

// How the log reader uses it: one call per value, into one growing cell buffer.
void BM_Cp1252ToUtf8PerValue(benchmark::State &state)
{
    const std::string &in = logBytes();
    std::vector<std::string_view> values;
    for (size_t b = 0, e; (e = in.find("\r\n", b)) != std::string::npos; b = e + 2)
        values.push_back(std::string_view(in).substr(b, e - b));
    std::string out;
    out.reserve(logUtf8().size());
    for (auto _ : state) {
        out.clear();
        for (std::string_view v : values)
            cp1252::appendAsUtf8(out, v);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(in.size()));
}
BENCHMARK(BM_Cp1252ToUtf8PerValue)->Unit(benchmark::kMillisecond);

void BM_Utf8ToCp1252(benchmark::State &state)
{
    const std::string &in = logUtf8();
    std::string out;
    out.reserve(in.size());
    for (auto _ : state) {
        out.clear();
        benchmark::DoNotOptimize(cp1252::appendFromUtf8(out, in));
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(in.size()));
}
BENCHMARK(BM_Utf8ToCp1252)->Unit(benchmark::kMillisecond);

void BM_Cp1252ToUtf16(benchmark::State &state)
{
    const std::string &in = logBytes();
    for (auto _ : state)
        benchmark::DoNotOptimize(cp1252::toUnicode(in));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(in.size()));
}
BENCHMARK(BM_Cp1252ToUtf16)->Unit(benchmark::kMillisecond);

// Qt's own converter, for comparison; only when this Qt build knows the code page.
void BM_QtDecoderToUtf16(benchmark::State &state)
{
    QStringDecoder decoder("windows-1252");
    if (!decoder.isValid()) {
        state.SkipWithError("this Qt build has no Windows-1252 converter");
        return;
    }
    const std::string &in = logBytes();
    for (auto _ : state) {
        QString text = decoder.decode(QByteArrayView(in.data(), qsizetype(in.size())));
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(in.size()));
}
BENCHMARK(BM_QtDecoderToUtf16)->Unit(benchmark::kMillisecond);

// Splitting the file into lines, from the page cache.
void BM_ReadQuotedLines(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.LBR"));
    {
        QFile f(path);
        const std::string &bytes = logBytes();
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size())) {
            state.SkipWithError("cannot write the test file");
            return;
        }
    }
    QuotedLineReader reader;
    for (auto _ : state) {
        reader.open(path);
        std::string_view line;
        int64_t lines = 0;
        while (reader.next(line))
            ++lines;
        benchmark::DoNotOptimize(lines);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(logBytes().size()));
}
BENCHMARK(BM_ReadQuotedLines)->Unit(benchmark::kMillisecond);

} // namespace
