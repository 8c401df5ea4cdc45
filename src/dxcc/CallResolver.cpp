#include "CallResolver.h"

#include <QChar>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

char upper(char c)
{
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

// Suffixes that say how or where in the same country a station works, not which country.
bool isPortableSuffix(std::string_view part)
{
    if (part.size() == 1)
        return part[0] == 'P' || part[0] == 'M' || part[0] == 'A' || part[0] == 'B' || (part[0] >= '0' && part[0] <= '9');
    return part == "QRP";
}

// Maritime and aeronautical mobile: on no entity's ground.
bool isMobileAtSea(std::string_view part)
{
    return part == "MM" || part == "AM";
}

} // namespace

CallEntity CallResolver::entityOf(const CallData &data) const
{
    CallEntity e;
    e.entity = data.entity;
    e.cqZone = data.cqZone;
    e.ituZone = data.ituZone;
    e.continent[0] = data.continent[0];
    e.continent[1] = data.continent[1];
    return e;
}

CallEntity CallResolver::resolve(std::string_view utf8Call) const
{
    while (!utf8Call.empty() && isBlank(utf8Call.front()))
        utf8Call.remove_prefix(1);
    while (!utf8Call.empty() && isBlank(utf8Call.back()))
        utf8Call.remove_suffix(1);
    if (utf8Call.size() > size_t(kMaxCallLength))
        return {};
    char call[kMaxCallLength];
    for (size_t i = 0; i < utf8Call.size(); ++i)
        call[i] = upper(utf8Call[i]);
    return resolveNormalized(call, utf8Call.size());
}

CallEntity CallResolver::resolve(QStringView text) const
{
    text = text.trimmed();
    if (text.size() > kMaxCallLength)
        return {};
    char call[kMaxCallLength];
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        call[i] = c < 0x80 ? upper(char(c)) : '\x80'; // matches no prefix and no call
    }
    return resolveNormalized(call, size_t(text.size()));
}

CallEntity CallResolver::resolveNormalized(const char *call, size_t size) const
{
    const std::string_view whole(call, size);
    if (whole.empty())
        return {};
    if (const CallData *listed = m_wholeCalls.find(whole))
        return entityOf(*listed);
    if (whole.find('/') == std::string_view::npos) {
        const CallData *prefix = m_prefixes.longest(whole);
        return prefix ? entityOf(*prefix) : CallEntity();
    }

    std::string_view parts[kMaxCallLength / 2 + 1];
    int count = 0;
    for (size_t begin = 0; begin <= size;) {
        size_t end = whole.find('/', begin);
        if (end == std::string_view::npos)
            end = size;
        if (end > begin) // an empty part (a doubled or an outer slash) says nothing
            parts[count++] = whole.substr(begin, end - begin);
        begin = end + 1;
    }
    if (count == 0)
        return {};

    // Suffixes after the first part: at sea, no entity; portable, the call as if without them.
    int kept = 1;
    for (int i = 1; i < count; ++i) {
        if (isMobileAtSea(parts[i]))
            return {};
        if (!isPortableSuffix(parts[i]))
            parts[kept++] = parts[i];
    }
    if (kept == 1) {
        if (const CallData *listed = m_wholeCalls.find(parts[0]))
            return entityOf(*listed);
        const CallData *prefix = m_prefixes.longest(parts[0]);
        return prefix ? entityOf(*prefix) : CallEntity();
    }

    // PREFIX/CALL or CALL/PREFIX: the prefix is the shorter part. Between parts of one length,
    // one that is a listed prefix from end to end (VP2M) beats one that only starts with a
    // prefix; then the first.
    const CallData *best = nullptr;
    size_t bestSize = 0;
    bool bestWhole = false;
    for (int i = 0; i < kept; ++i) {
        size_t matched = 0;
        const CallData *prefix = m_prefixes.longest(parts[i], &matched);
        if (!prefix)
            continue;
        const size_t partSize = parts[i].size();
        const bool wholePart = matched == partSize;
        if (!best || partSize < bestSize || (partSize == bestSize && wholePart && !bestWhole)) {
            best = prefix;
            bestSize = partSize;
            bestWhole = wholePart;
        }
    }
    return best ? entityOf(*best) : CallEntity();
}
