#include "BandTable.h"

#include <cstdint>
#include <cstring>
#include <iterator>

namespace {

// Edges in hertz, both included, as the ADIF Band enumeration gives them in MHz.
struct Band
{
    const char *name;
    uint64_t lowHz, highHz;
};

constexpr uint64_t kMHz = 1000000;

constexpr Band kBands[] = {
    {"2190m", 135700, 137800},
    {"630m", 472000, 479000},
    {"560m", 501000, 504000},
    {"160m", 1800000, 2000000},
    {"80m", 3500000, 4000000},
    {"60m", 5060000, 5450000},
    {"40m", 7000000, 7300000},
    {"30m", 10100000, 10150000},
    {"20m", 14000000, 14350000},
    {"17m", 18068000, 18168000},
    {"15m", 21000000, 21450000},
    {"12m", 24890000, 24990000},
    {"10m", 28000000, 29700000},
    {"8m", 40 * kMHz, 45 * kMHz},
    {"6m", 50 * kMHz, 54 * kMHz},
    {"5m", 54000001, 69900000},
    {"4m", 70 * kMHz, 71 * kMHz},
    {"2m", 144 * kMHz, 148 * kMHz},
    {"1.25m", 222 * kMHz, 225 * kMHz},
    {"70cm", 420 * kMHz, 450 * kMHz},
    {"33cm", 902 * kMHz, 928 * kMHz},
    {"23cm", 1240 * kMHz, 1300 * kMHz},
    {"13cm", 2300 * kMHz, 2450 * kMHz},
    {"9cm", 3300 * kMHz, 3500 * kMHz},
    {"6cm", 5650 * kMHz, 5925 * kMHz},
    {"3cm", 10000 * kMHz, 10500 * kMHz},
    {"1.25cm", 24000 * kMHz, 24250 * kMHz},
    {"6mm", 47000 * kMHz, 47200 * kMHz},
    {"4mm", 75500 * kMHz, 81000 * kMHz},
    {"2.5mm", 119980 * kMHz, 123000 * kMHz},
    {"2mm", 134000 * kMHz, 149000 * kMHz},
    {"1mm", 241000 * kMHz, 250000 * kMHz},
    {"submm", 300000 * kMHz, 7500000 * kMHz},
};

// A typed number split at its decimal separator. Leading and trailing blanks are allowed;
// anything else but digits and one separator is not a frequency.
struct Number
{
    std::string_view whole, fraction;
    bool separator = false;
};

bool splitNumber(std::string_view s, Number &n)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    size_t i = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9')
        ++i;
    n.whole = s.substr(0, i);
    if (i < s.size() && (s[i] == '.' || s[i] == ',')) {
        n.separator = true;
        const size_t start = ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9')
            ++i;
        n.fraction = s.substr(start, i - start);
    }
    if (i != s.size() || (n.whole.empty() && n.fraction.empty()))
        return false;
    // Leading zeros say nothing; they only make the number look long.
    while (n.whole.size() > 1 && n.whole.front() == '0')
        n.whole.remove_prefix(1);
    return n.whole.size() <= 10; // beyond every band in either unit
}

// The value in hertz when the decimal point is moved `shift` places left of where it was typed
// (0 for MHz, 3 for kHz). `beyond` is set when digits below one hertz are not all zero.
uint64_t hertz(const Number &n, int shift, bool &beyond)
{
    uint64_t hz = 0;
    for (char c : n.whole)
        hz = hz * 10 + uint64_t(c - '0');
    int scale = 6 - shift; // digits of the fraction that still count as whole hertz
    size_t k = 0;
    for (; scale > 0; --scale, ++k)
        hz = hz * 10 + (k < n.fraction.size() ? uint64_t(n.fraction[k] - '0') : 0);
    beyond = false;
    for (; k < n.fraction.size(); ++k)
        beyond = beyond || n.fraction[k] != '0';
    return hz; // at most 10 + 6 digits
}

int bandOfHertz(uint64_t hz, bool beyond)
{
    for (int b = 0; b < int(std::size(kBands)); ++b) {
        const Band &band = kBands[b];
        if (hz >= band.lowHz && (hz < band.highHz || (hz == band.highHz && !beyond)))
            return b;
    }
    return -1;
}

bool isWholeThousandOrMore(const Number &n)
{
    return !n.separator && n.whole.size() >= 4;
}

// The readings in the order the unit rule tries them: shift 0 is MHz, 3 is kHz.
int readBand(const Number &n, int &shiftUsed)
{
    const int order[2][2] = {{0, 3}, {3, 0}};
    const int *shifts = order[isWholeThousandOrMore(n) ? 1 : 0];
    for (int k = 0; k < 2; ++k) {
        bool beyond = false;
        const uint64_t hz = hertz(n, shifts[k], beyond);
        const int band = bandOfHertz(hz, beyond);
        if (band >= 0) {
            shiftUsed = shifts[k];
            return band;
        }
    }
    return -1;
}

} // namespace

int bandOfFrequency(std::string_view utf8)
{
    Number n;
    int shift = 0;
    return splitNumber(utf8, n) ? readBand(n, shift) : -1;
}

int bandOfFrequency(QStringView text)
{
    char buffer[64];
    if (text.size() > qsizetype(sizeof buffer))
        return -1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= 0x80)
            return -1;
        buffer[i] = char(c);
    }
    return bandOfFrequency(std::string_view(buffer, size_t(text.size())));
}

int bandCount()
{
    return int(std::size(kBands));
}

int bandOfName(std::string_view name)
{
    for (int b = 0; b < bandCount(); ++b) {
        const std::string_view known = kBands[b].name;
        bool same = known.size() == name.size();
        for (size_t i = 0; same && i < name.size(); ++i)
            same = (name[i] >= 'A' && name[i] <= 'Z' ? char(name[i] - 'A' + 'a') : name[i]) == known[i];
        if (same)
            return b;
    }
    return -1;
}

QString bandName(int band)
{
    return QString::fromLatin1(adif::bandNameView(band));
}

namespace adif {

std::string_view bandNameView(int band)
{
    if (band < 0 || band >= bandCount())
        return {};
    return kBands[band].name;
}

FrequencyReading readFrequency(std::string_view utf8)
{
    FrequencyReading r;
    Number n;
    int shift = 0;
    if (!splitNumber(utf8, n) || n.fraction.size() > 30)
        return r;
    r.band = readBand(n, shift);
    if (r.band < 0)
        return r;
    // All the typed digits, with the point `shift` places further left.
    char digits[48];
    size_t count = 0;
    for (char c : n.whole)
        digits[count++] = c;
    for (char c : n.fraction)
        digits[count++] = c;
    const size_t wholeDigits = n.whole.size();
    char *out = r.mhz;
    if (size_t(shift) >= wholeDigits) {
        *out++ = '0';
        *out++ = '.';
        for (size_t z = wholeDigits; z < size_t(shift); ++z)
            *out++ = '0';
        std::memcpy(out, digits, count);
        out += count;
    } else {
        const size_t point = wholeDigits - size_t(shift);
        std::memcpy(out, digits, point);
        out += point;
        if (point < count || n.separator) {
            *out++ = '.';
            std::memcpy(out, digits + point, count - point);
            out += count - point;
        }
    }
    r.size = size_t(out - r.mhz);
    if (r.size > 0 && r.mhz[r.size - 1] == '.') // "7." typed: the point alone says nothing
        --r.size;
    return r;
}

} // namespace adif
