#include "ModeTable.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string_view>

namespace {

enum Kind : unsigned char { Phone, Cw, Data, Image };

// A name users type, upper case, with its ADIF MODE and SUBMODE. Every ADIF mode and submode
// of the common families is here under its own name; a few usual spellings are added.
// Sorted by name for the binary search.
struct Entry
{
    std::string_view name;
    std::string_view mode;
    std::string_view submode;
    Kind kind;
};

constexpr Entry kModes[] = {
    {"8PSK125", "PSK", "8PSK125", Data},
    {"8PSK125F", "PSK", "8PSK125F", Data},
    {"8PSK250", "PSK", "8PSK250", Data},
    {"8PSK500", "PSK", "8PSK500", Data},
    {"AM", "AM", "", Phone},
    {"AMTOR", "TOR", "AMTORFEC", Data},
    {"AMTORFEC", "TOR", "AMTORFEC", Data},
    {"ARDOP", "ARDOP", "", Data},
    {"ASCI", "RTTY", "ASCI", Data},
    {"ATV", "ATV", "", Image},
    {"BPSK31", "PSK", "PSK31", Data},
    {"BPSK63", "PSK", "PSK63", Data},
    {"C4FM", "DIGITALVOICE", "C4FM", Phone},
    {"CHIP", "CHIP", "", Data},
    {"CHIP128", "CHIP", "CHIP128", Data},
    {"CHIP64", "CHIP", "CHIP64", Data},
    {"CLO", "CLO", "", Data},
    {"CONTESTI", "CONTESTI", "", Data},
    {"CONTESTIA", "CONTESTI", "", Data},
    {"CW", "CW", "", Cw},
    {"D-STAR", "DIGITALVOICE", "DSTAR", Phone},
    {"DIGITALVOICE", "DIGITALVOICE", "", Phone},
    {"DMR", "DIGITALVOICE", "DMR", Phone},
    {"DOMINO", "DOMINO", "", Data},
    {"DOMINOEX", "DOMINO", "DOMINOEX", Data},
    {"DOMINOF", "DOMINO", "DOMINOF", Data},
    {"DSTAR", "DIGITALVOICE", "DSTAR", Phone},
    {"FAX", "FAX", "", Image},
    {"FM", "FM", "", Phone},
    {"FMHELL", "HELL", "FMHELL", Data},
    {"FREEDV", "DIGITALVOICE", "FREEDV", Phone},
    {"FSK31", "PSK", "FSK31", Data},
    {"FSK441", "FSK441", "", Data},
    {"FSKHELL", "HELL", "FSKHELL", Data},
    {"FSQCALL", "MFSK", "FSQCALL", Data},
    {"FST4", "MFSK", "FST4", Data},
    {"FST4W", "MFSK", "FST4W", Data},
    {"FT4", "MFSK", "FT4", Data},
    {"FT8", "FT8", "", Data},
    {"GTOR", "TOR", "GTOR", Data},
    {"HELL", "HELL", "", Data},
    {"HELL80", "HELL", "HELL80", Data},
    {"HELLSCHREIBER", "HELL", "", Data},
    {"HELLX5", "HELL", "HELLX5", Data},
    {"HELLX9", "HELL", "HELLX9", Data},
    {"HFSK", "HELL", "HFSK", Data},
    {"ISCAT", "ISCAT", "", Data},
    {"JS8", "MFSK", "JS8", Data},
    {"JS8CALL", "MFSK", "JS8", Data},
    {"JT4", "JT4", "", Data},
    {"JT44", "JT44", "", Data},
    {"JT65", "JT65", "", Data},
    {"JT65A", "JT65", "JT65A", Data},
    {"JT65B", "JT65", "JT65B", Data},
    {"JT65C", "JT65", "JT65C", Data},
    {"JT6M", "JT6M", "", Data},
    {"JT9", "JT9", "", Data},
    {"JTMS", "MFSK", "JTMS", Data},
    {"LSB", "SSB", "LSB", Phone},
    {"M17", "DIGITALVOICE", "M17", Phone},
    {"MFSK", "MFSK", "", Data},
    {"MFSK11", "MFSK", "MFSK11", Data},
    {"MFSK128", "MFSK", "MFSK128", Data},
    {"MFSK16", "MFSK", "MFSK16", Data},
    {"MFSK22", "MFSK", "MFSK22", Data},
    {"MFSK31", "MFSK", "MFSK31", Data},
    {"MFSK32", "MFSK", "MFSK32", Data},
    {"MFSK4", "MFSK", "MFSK4", Data},
    {"MFSK64", "MFSK", "MFSK64", Data},
    {"MFSK8", "MFSK", "MFSK8", Data},
    {"MSK144", "MSK144", "", Data},
    {"MT63", "MT63", "", Data},
    {"NAVTEX", "TOR", "NAVTEX", Data},
    {"OLIVIA", "OLIVIA", "", Data},
    {"OPERA", "OPERA", "", Data},
    {"PAC", "PAC", "", Data},
    {"PACKET", "PKT", "", Data},
    {"PACTOR", "PAC", "", Data},
    {"PAX", "PAX", "", Data},
    {"PKT", "PKT", "", Data},
    {"PSK", "PSK", "", Data},
    {"PSK10", "PSK", "PSK10", Data},
    {"PSK1000", "PSK", "PSK1000", Data},
    {"PSK125", "PSK", "PSK125", Data},
    {"PSK250", "PSK", "PSK250", Data},
    {"PSK2K", "PSK2K", "", Data},
    {"PSK31", "PSK", "PSK31", Data},
    {"PSK500", "PSK", "PSK500", Data},
    {"PSK63", "PSK", "PSK63", Data},
    {"PSK63F", "PSK", "PSK63F", Data},
    {"PSKAM10", "PSK", "PSKAM10", Data},
    {"PSKAM31", "PSK", "PSKAM31", Data},
    {"PSKAM50", "PSK", "PSKAM50", Data},
    {"PSKFEC31", "PSK", "PSKFEC31", Data},
    {"PSKHELL", "HELL", "PSKHELL", Data},
    {"Q15", "Q15", "", Data},
    {"Q65", "MFSK", "Q65", Data},
    {"QPSK125", "PSK", "QPSK125", Data},
    {"QPSK250", "PSK", "QPSK250", Data},
    {"QPSK31", "PSK", "QPSK31", Data},
    {"QPSK500", "PSK", "QPSK500", Data},
    {"QPSK63", "PSK", "QPSK63", Data},
    {"QRA64", "QRA64", "", Data},
    {"ROS", "ROS", "", Data},
    {"RTTY", "RTTY", "", Data},
    {"RTTYM", "RTTYM", "", Data},
    {"SIM31", "PSK", "SIM31", Data},
    {"SITORB", "TOR", "SITORB", Data},
    {"SLOWHELL", "HELL", "SLOWHELL", Data},
    {"SSB", "SSB", "", Phone},
    {"SSTV", "SSTV", "", Image},
    {"T10", "T10", "", Data},
    {"THOR", "THOR", "", Data},
    {"THRB", "THRB", "", Data},
    {"THROB", "THRB", "", Data},
    {"TOR", "TOR", "", Data},
    {"USB", "SSB", "USB", Phone},
    {"V4", "V4", "", Data},
    {"VOI", "VOI", "", Data},
    {"WINMOR", "WINMOR", "", Data},
    {"WSPR", "WSPR", "", Data},
};

// The text in upper case ASCII, blanks around it dropped; false when it cannot be a mode name.
bool upperName(std::string_view s, char (&out)[24], size_t &size)
{
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    if (s.empty() || s.size() > sizeof out)
        return false;
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
        out[i] = c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
    }
    size = s.size();
    return true;
}

const Entry *find(std::string_view typed)
{
    char name[24];
    size_t size = 0;
    if (!upperName(typed, name, size))
        return nullptr;
    const std::string_view key(name, size);
    const auto *end = std::end(kModes);
    const auto *hit = std::lower_bound(std::begin(kModes), end, key,
                                       [](const Entry &e, std::string_view k) { return e.name < k; });
    return hit != end && hit->name == key ? hit : nullptr;
}

bool isDigimodos(std::string_view typed)
{
    char name[24];
    size_t size = 0;
    return upperName(typed, name, size) && std::string_view(name, size) == "DIGIMODOS";
}

} // namespace

ModeClass modeClassOf(std::string_view utf8)
{
    if (const Entry *e = find(utf8)) {
        switch (e->kind) {
        case Phone: return ModeClass::Phone;
        case Cw: return ModeClass::Cw;
        // Image modes (SSTV, fax, television) count with phone, as the DXCC rules have it.
        case Image: return ModeClass::Phone;
        case Data: return ModeClass::Digital;
        }
    }
    return isDigimodos(utf8) ? ModeClass::Digital : ModeClass::Unknown;
}

ModeClass modeClassOf(QStringView modeText)
{
    char buffer[32];
    if (modeText.size() > qsizetype(sizeof buffer))
        return ModeClass::Unknown;
    for (qsizetype i = 0; i < modeText.size(); ++i) {
        const char16_t c = modeText[i].unicode();
        if (c >= 0x80)
            return ModeClass::Unknown;
        buffer[i] = char(c);
    }
    return modeClassOf(std::string_view(buffer, size_t(modeText.size())));
}

namespace adif {

bool standardMode(std::string_view typed, std::string_view &mode, std::string_view &submode)
{
    const Entry *e = find(typed);
    if (!e)
        return false;
    mode = e->mode;
    submode = e->submode;
    return true;
}

} // namespace adif
