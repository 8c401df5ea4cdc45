#include "OffsetConversion.h"

#include <string>

namespace {

bool isIgnored(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

int hexDigit(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

OffsetResult fromWide(qint64 v)
{
    if (v < -32768 || v > 32767)
        return {false, 0};
    return {true, static_cast<qint16>(v)};
}

// &H / &O: the digits form a 16- or 32-bit pattern, read as a signed number.
OffsetResult fromRadix(const std::u16string &s, size_t pos, int radix)
{
    const quint64 limit32 = 0xFFFFFFFFu;
    quint64 v = 0;
    for (; pos < s.size(); ++pos) {
        const int d = hexDigit(s[pos]);
        if (d < 0 || d >= radix)
            break;
        v = v * radix + d;
        if (v > limit32)
            return {false, 0}; // more than 32 bits, and every further digit only adds
    }
    if (v <= 0xFFFFu)
        return fromWide(static_cast<qint16>(static_cast<quint16>(v)));
    return fromWide(static_cast<qint32>(static_cast<quint32>(v)));
}

} // namespace

OffsetResult offsetFromText(const QString &text)
{
    std::u16string s;
    s.reserve(static_cast<size_t>(text.size()));
    for (QChar c : text) {
        if (!isIgnored(c.unicode()))
            s.push_back(c.unicode());
    }

    size_t pos = 0;
    if (s.size() >= 2 && s[0] == u'&') {
        if (s[1] == u'H' || s[1] == u'h')
            return fromRadix(s, 2, 16);
        if (s[1] == u'O' || s[1] == u'o')
            return fromRadix(s, 2, 8);
        return {true, 0};
    }

    bool negative = false;
    if (pos < s.size() && (s[pos] == u'+' || s[pos] == u'-')) {
        negative = s[pos] == u'-';
        ++pos;
    }

    // Mantissa digits without the point; `point` counts the digits before it.
    std::string digits;
    while (pos < s.size() && isDigit(s[pos]))
        digits.push_back(static_cast<char>(s[pos++]));
    qint64 point = static_cast<qint64>(digits.size());
    if (pos < s.size() && s[pos] == u'.') {
        ++pos;
        while (pos < s.size() && isDigit(s[pos]))
            digits.push_back(static_cast<char>(s[pos++]));
    }
    if (digits.empty())
        return {true, 0};

    if (pos < s.size() && (s[pos] == u'E' || s[pos] == u'e' || s[pos] == u'D' || s[pos] == u'd')) {
        ++pos;
        bool expNegative = false;
        if (pos < s.size() && (s[pos] == u'+' || s[pos] == u'-')) {
            expNegative = s[pos] == u'-';
            ++pos;
        }
        // Saturate: beyond a billion the verdict no longer changes, and it keeps point in range.
        qint64 exponent = 0;
        while (pos < s.size() && isDigit(s[pos])) {
            if (exponent < 1000000000)
                exponent = exponent * 10 + (s[pos] - u'0');
            ++pos;
        }
        point += expNegative ? -exponent : exponent;
    }

    // Drop leading zeros so the first digit is significant.
    size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos)
        return {true, 0};
    point -= static_cast<qint64>(first);
    const std::string_view sig = std::string_view(digits).substr(first);

    // Six or more integer digits can never fit.
    if (point > 5)
        return {false, 0};

    qint64 whole = 0;
    for (qint64 i = 0; i < point; ++i)
        whole = whole * 10 + (i < qint64(sig.size()) ? sig[size_t(i)] - '0' : 0);

    // Round half to even on the exact decimal fraction.
    if (point >= 0 && point < qint64(sig.size())) {
        const char next = sig[size_t(point)];
        const bool restNonZero =
            sig.find_first_not_of('0', size_t(point) + 1) != std::string_view::npos;
        if (next > '5' || (next == '5' && (restNonZero || whole % 2 == 1)))
            ++whole;
    }
    return fromWide(negative ? -whole : whole);
}
