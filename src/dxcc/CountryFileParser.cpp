#include "CountryFileParser.h"

#include <QStringDecoder>

#include <algorithm>

namespace {

constexpr int kFields = 10;

std::string_view trimBlanks(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// File text quoted back to the user: its start, control characters made visible.
QString shown(std::string_view bytes)
{
    constexpr qsizetype kMax = 24;
    QString text = QString::fromUtf8(bytes.data(), qsizetype(std::min<size_t>(bytes.size(), 4 * kMax)));
    const bool cut = text.size() > kMax || bytes.size() > 4 * kMax;
    text.truncate(kMax);
    for (QChar &c : text) {
        if (c.category() == QChar::Other_Control)
            c = u'?';
    }
    return u'«' + text + (cut ? QStringLiteral("…»") : QStringLiteral("»"));
}

// Decimal digits only, within [min, max].
bool wholeNumber(std::string_view s, int min, int max, int &value)
{
    if (s.empty())
        return false;
    long long v = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            return false;
        if (v <= max) // past max it stays past it, without overflowing
            v = v * 10 + (c - '0');
    }
    value = int(std::min<long long>(v, max + 1LL));
    return v >= min && v <= max;
}

// An optional sign, then digits with at most one decimal point among or around them.
bool isDecimal(std::string_view s)
{
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    size_t digits = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i)
        ++digits;
    if (i < s.size() && s[i] == '.') {
        for (++i; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i)
            ++digits;
    }
    return digits > 0 && i == s.size();
}

bool isContinent(std::string_view s)
{
    static constexpr std::string_view kContinents[] = {"AF", "AN", "AS", "EU", "NA", "OC", "SA"};
    return std::find(std::begin(kContinents), std::end(kContinents), s) != std::end(kContinents);
}

bool isKeyCharacter(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '/';
}

enum class Text { Ok, NotUtf8, Control };

Text decodeText(std::string_view bytes, QString &text)
{
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return c >= 0x20 && c < 0x7F; })) {
        text = QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
        return Text::Ok;
    }
    // Stateless: a character cut short at the end is an error, not bytes kept for more input.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom | QStringDecoder::Flag::Stateless);
    text = decoder(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    if (decoder.hasError())
        return Text::NotUtf8;
    for (QChar c : std::as_const(text)) {
        if (c.category() == QChar::Other_Control)
            return Text::Control;
    }
    return Text::Ok;
}

// The name as written, without the double quotes a CSV writer puts around a field.
std::string unquotedName(std::string_view field)
{
    if (field.size() < 2 || field.front() != '"' || field.back() != '"')
        return std::string(field);
    std::string name;
    field = field.substr(1, field.size() - 2);
    for (size_t i = 0; i < field.size(); ++i) {
        name += field[i];
        if (field[i] == '"' && i + 1 < field.size() && field[i + 1] == '"')
            ++i;
    }
    return name;
}

// One entry of a prefix list; an empty text when it is well formed, otherwise what is wrong.
QString parseEntry(std::string_view entry, const CallData &defaults, CallListing &listing, bool &wholeCall)
{
    size_t i = 0;
    wholeCall = !entry.empty() && entry[0] == '=';
    if (wholeCall)
        ++i;
    const size_t keyBegin = i;
    while (i < entry.size() && isKeyCharacter(entry[i]))
        ++i;
    const std::string_view key = entry.substr(keyBegin, i - keyBegin);
    if (key.empty())
        return wholeCall ? QStringLiteral("falta el indicativo después de «=»") : QStringLiteral("no empieza con un prefijo");
    if (!wholeCall && key.find('/') != std::string_view::npos)
        return QStringLiteral("un prefijo no lleva «/»; solo un indicativo entero («=») puede llevarla");
    if (key.size() > kMaxListedLength)
        return QStringLiteral("tiene más de %1 letras y cifras").arg(kMaxListedLength);
    listing.key.assign(key);
    for (char &c : listing.key) {
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    }
    listing.data = defaults;

    while (i < entry.size()) {
        const char open = entry[i];
        const char close = open == '(' ? ')' : open == '[' ? ']' : open == '{' ? '}' : open == '<' ? '>' : open;
        if (open != '(' && open != '[' && open != '{' && open != '<' && open != '~')
            return QStringLiteral("sobra lo que sigue a %1").arg(shown(entry.substr(0, i)));
        const size_t end = entry.find(close, i + 1);
        if (end == std::string_view::npos)
            return QStringLiteral("falta el «%1» que cierra el «%2»").arg(QChar(QLatin1Char(close)), QChar(QLatin1Char(open)));
        const std::string_view inner = entry.substr(i + 1, end - i - 1);
        int zone = 0;
        switch (open) {
        case '(':
            if (!wholeNumber(inner, 1, 40, zone))
                return QStringLiteral("la zona CQ entre paréntesis debe ser un número del 1 al 40");
            listing.data.cqZone = uint8_t(zone);
            break;
        case '[':
            if (!wholeNumber(inner, 1, 90, zone))
                return QStringLiteral("la zona ITU entre corchetes debe ser un número del 1 al 90");
            listing.data.ituZone = uint8_t(zone);
            break;
        case '{':
            if (!isContinent(inner))
                return QStringLiteral("el continente entre llaves debe ser AF, AN, AS, EU, NA, OC o SA");
            listing.data.continent[0] = inner[0];
            listing.data.continent[1] = inner[1];
            break;
        case '<': {
            const size_t slash = inner.find('/');
            if (slash == std::string_view::npos || !isDecimal(inner.substr(0, slash)) || !isDecimal(inner.substr(slash + 1)))
                return QStringLiteral("la posición entre «<» y «>» debe ser latitud/longitud, dos números");
            break;
        }
        default:
            if (!isDecimal(inner))
                return QStringLiteral("la diferencia horaria entre «~» debe ser un número");
            break;
        }
        i = end + 1;
    }
    return {};
}

// One entity line into `content`; an empty text when it is well formed, otherwise what is wrong.
QString parseLine(std::string_view line, CountryFileContent &content)
{
    const size_t commas = size_t(std::count(line.begin(), line.end(), ','));
    if (commas < kFields - 1)
        return QStringLiteral("tiene %1 campos separados por comas, y deben ser %2").arg(commas + 1).arg(kFields);
    // The name is what lies between the first field and the last eight: it alone may hold commas.
    std::string_view fields[kFields];
    const size_t first = line.find(',');
    fields[0] = line.substr(0, first);
    size_t end = line.size();
    for (int f = kFields - 1; f >= 2; --f) {
        const size_t comma = line.rfind(',', end - 1);
        fields[f] = line.substr(comma + 1, end - comma - 1);
        end = comma;
    }
    fields[1] = line.substr(first + 1, end - first - 1);
    for (std::string_view &field : fields)
        field = trimBlanks(field);

    CountryEntity entity;
    if (fields[0].empty())
        return QStringLiteral("falta el prefijo principal");
    const std::string name = unquotedName(fields[1]);
    if (name.empty())
        return QStringLiteral("falta el nombre de la entidad");
    const std::pair<std::string_view, QString *> texts[] = {{fields[0], &entity.prefix}, {name, &entity.name}};
    for (const auto &[bytes, text] : texts) {
        const Text decoded = decodeText(bytes, *text);
        const QString what = text == &entity.prefix ? QStringLiteral("el prefijo principal") : QStringLiteral("el nombre");
        if (decoded == Text::NotUtf8)
            return QStringLiteral("%1 no es texto UTF-8 válido").arg(what);
        if (decoded == Text::Control)
            return QStringLiteral("%1 contiene caracteres de control").arg(what);
    }
    if (!wholeNumber(fields[2], 0, 999, entity.dxcc))
        return QStringLiteral("el número DXCC %1 debe ser un número del 0 al 999").arg(shown(fields[2]));
    if (!isContinent(fields[3]))
        return QStringLiteral("el continente %1 debe ser AF, AN, AS, EU, NA, OC o SA").arg(shown(fields[3]));
    entity.continent = QString::fromLatin1(fields[3].data(), 2);
    if (!wholeNumber(fields[4], 1, 40, entity.cqZone))
        return QStringLiteral("la zona CQ %1 debe ser un número del 1 al 40").arg(shown(fields[4]));
    if (!wholeNumber(fields[5], 1, 90, entity.ituZone))
        return QStringLiteral("la zona ITU %1 debe ser un número del 1 al 90").arg(shown(fields[5]));
    if (!isDecimal(fields[6]))
        return QStringLiteral("la latitud %1 no es un número").arg(shown(fields[6]));
    if (!isDecimal(fields[7]))
        return QStringLiteral("la longitud %1 no es un número").arg(shown(fields[7]));
    if (!isDecimal(fields[8]))
        return QStringLiteral("la diferencia horaria %1 no es un número").arg(shown(fields[8]));

    std::string_view list = fields[9];
    if (list.empty() || list.back() != ';')
        return QStringLiteral("la lista de prefijos no termina en «;»");
    list.remove_suffix(1);

    CallData defaults;
    defaults.entity = int32_t(content.entities.size());
    defaults.cqZone = uint8_t(entity.cqZone);
    defaults.ituZone = uint8_t(entity.ituZone);
    defaults.continent[0] = fields[3][0];
    defaults.continent[1] = fields[3][1];
    CallListing listing;
    for (size_t pos = 0; pos < list.size();) {
        if (list[pos] == ' ' || list[pos] == '\t') {
            ++pos;
            continue;
        }
        size_t stop = pos;
        while (stop < list.size() && list[stop] != ' ' && list[stop] != '\t')
            ++stop;
        const std::string_view entry = list.substr(pos, stop - pos);
        bool wholeCall = false;
        const QString fault = parseEntry(entry, defaults, listing, wholeCall);
        if (!fault.isEmpty())
            return QStringLiteral("la entrada %1 de la lista de prefijos: %2").arg(shown(entry), fault);
        (wholeCall ? content.wholeCalls : content.prefixes).push_back(std::move(listing));
        pos = stop;
    }
    content.entities.push_back(std::move(entity));
    return {};
}

} // namespace

CountryFileContent parseCountryFile(std::string_view bytes)
{
    CountryFileContent content;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    qint64 lineNumber = 0;
    for (size_t pos = 0; pos < bytes.size();) {
        size_t end = bytes.find('\n', pos);
        if (end == std::string_view::npos)
            end = bytes.size();
        std::string_view line = bytes.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        line = trimBlanks(line);
        if (line.empty())
            continue;
        // Areas that count for other awards but are no DXCC entity.
        if (trimBlanks(line.substr(0, line.find(','))).substr(0, 1) == "*")
            continue;
        const QString fault = parseLine(line, content);
        if (!fault.isEmpty()) {
            CountryFileContent failed;
            failed.badLine = lineNumber;
            failed.problem = fault;
            return failed;
        }
    }
    return content;
}
