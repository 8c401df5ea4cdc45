#include "LogFileKind.h"

#include <string_view>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool startsWithNoCase(std::string_view s, std::string_view prefix)
{
    if (s.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if ((s[i] | 0x20) != (prefix[i] | 0x20))
            return false;
    }
    return true;
}

bool isLibro(std::string_view s)
{
    size_t i = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9')
        ++i;
    if (i == 0 || i == s.size() || (s[i] != '\r' && s[i] != '\n'))
        return false;
    i += s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n' ? 2 : 1;
    return i == s.size() || s[i] == '"';
}

bool hasAdiTag(std::string_view s)
{
    for (size_t at = s.find('<'); at != std::string_view::npos; at = s.find('<', at + 1)) {
        const std::string_view rest = s.substr(at + 1);
        if (startsWithNoCase(rest, "EOH>") || startsWithNoCase(rest, "EOR>"))
            return true;
        size_t i = 0;
        while (i < rest.size() && ((rest[i] | 0x20) >= 'a' && (rest[i] | 0x20) <= 'z' ? true
                                   : (rest[i] >= '0' && rest[i] <= '9') || rest[i] == '_'))
            ++i;
        if (i > 0 && i + 1 < rest.size() && rest[i] == ':' && rest[i + 1] >= '0' && rest[i + 1] <= '9')
            return true;
    }
    return false;
}

} // namespace

LogFileKind sniffLogFile(const QByteArray &firstBytes)
{
    std::string_view s(firstBytes.constData(), size_t(firstBytes.size()));
    if (s.substr(0, 3) == "\xEF\xBB\xBF")
        s.remove_prefix(3);
    std::string_view start = s;
    while (!start.empty() && isBlank(start.front()))
        start.remove_prefix(1);
    if (start.substr(0, 5) == "<?xml" || startsWithNoCase(start, "<ADX"))
        return LogFileKind::Adx;
    if (isLibro(s))
        return LogFileKind::Libro;
    return hasAdiTag(s) ? LogFileKind::Adi : LogFileKind::Libro;
}
