#include "CountryChecks.h"

#include "dxcc/CallResolver.h"

#include <QHash>
#include <QRegularExpression>

#include <string_view>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// The country file as its format describes it, read without the reader's code: whole lines
// split at commas, and a regular expression for each field and each entry.
struct PlainListing
{
    QByteArray text;
    bool whole = false;
    int entity = 0;
    int cq = 0, itu = 0;
    QByteArray continent;
};

struct PlainEntity
{
    QString prefix, name;
    int dxcc = 0, cq = 0, itu = 0;
    QByteArray continent;
};

struct PlainFile
{
    bool ok = false;
    qint64 badLine = 0;
    QString why;
    std::vector<PlainEntity> entities;
    std::vector<PlainListing> listings;
};

const QRegularExpression &rx(const char *pattern)
{
    // A handful of patterns, each compiled once for the process.
    static QHash<const char *, QRegularExpression> compiled;
    auto it = compiled.find(pattern);
    if (it == compiled.end())
        it = compiled.insert(pattern, QRegularExpression(QString::fromLatin1(pattern)));
    return *it;
}

bool matches(const char *pattern, const QByteArray &bytes)
{
    return rx(pattern).match(QString::fromLatin1(bytes)).hasMatch();
}

constexpr const char *kDecimal = R"(^[+-]?([0-9]+(\.[0-9]*)?|\.[0-9]+)$)";
constexpr const char *kContinent = "^(AF|AN|AS|EU|NA|OC|SA)$";

QByteArray trimmedBlanks(QByteArray s)
{
    while (!s.isEmpty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove(0, 1);
    while (!s.isEmpty() && (s.back() == ' ' || s.back() == '\t'))
        s.chop(1);
    return s;
}

bool number(const QByteArray &s, int min, int max, int &value)
{
    if (!matches("^[0-9]+$", s))
        return false;
    bool ok = false;
    const qlonglong v = s.toLongLong(&ok);
    value = int(qBound(0LL, v, 1000LL));
    return ok && v >= min && v <= max;
}

// UTF-8 that converts to text and back unchanged, with no control character. A letter goes in
// front so that Qt's conversion cannot take a leading byte order mark for the file's own.
bool text(const QByteArray &bytes, QString &out)
{
    const QByteArray probe = 'a' + bytes;
    const QString decoded = QString::fromUtf8(probe);
    if (decoded.toUtf8() != probe)
        return false;
    out = decoded.mid(1);
    return !rx(R"(\p{Cc})").match(out).hasMatch();
}

PlainFile plainReading(QByteArray bytes)
{
    PlainFile f;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    const QList<QByteArray> lines = bytes.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const auto bad = [&](const QString &why) {
            PlainFile failed;
            failed.badLine = i + 1;
            failed.why = why;
            return failed;
        };
        QByteArray line = lines[i];
        if (line.endsWith('\r'))
            line.chop(1);
        line = trimmedBlanks(line);
        if (line.isEmpty())
            continue;
        const QList<QByteArray> parts = line.split(',');
        if (trimmedBlanks(parts[0]).startsWith('*'))
            continue;
        const qsizetype n = parts.size();
        if (n < 10)
            return bad(u"%1 fields"_s.arg(n));
        const QByteArray prefix = trimmedBlanks(parts[0]);
        QByteArray name = trimmedBlanks(parts.mid(1, n - 9).join(','));
        QByteArray field[8];
        for (int k = 0; k < 8; ++k)
            field[k] = trimmedBlanks(parts[n - 8 + k]);
        if (name.size() >= 2 && name.startsWith('"') && name.endsWith('"'))
            name = name.mid(1, name.size() - 2).replace("\"\"", "\"");

        PlainEntity e;
        if (prefix.isEmpty() || name.isEmpty())
            return bad(u"no prefix or no name"_s);
        if (!text(prefix, e.prefix) || !text(name, e.name))
            return bad(u"prefix or name is not plain UTF-8"_s);
        if (!number(field[0], 0, 999, e.dxcc))
            return bad(u"DXCC number"_s);
        if (!matches(kContinent, field[1]))
            return bad(u"continent"_s);
        e.continent = field[1];
        if (!number(field[2], 1, 40, e.cq) || !number(field[3], 1, 90, e.itu))
            return bad(u"zones"_s);
        if (!matches(kDecimal, field[4]) || !matches(kDecimal, field[5]) || !matches(kDecimal, field[6]))
            return bad(u"position or UTC offset"_s);
        if (!field[7].endsWith(';'))
            return bad(u"list without ;"_s);

        const QString list = QString::fromLatin1(field[7].chopped(1));
        const QStringList entries = list.split(rx("[ \t]+"), Qt::SkipEmptyParts);
        for (const QString &entry : entries) {
            const QRegularExpressionMatch m = rx(R"(^(=?)([A-Za-z0-9/]+)((?:\([0-9]+\)|\[[0-9]+\]|\{[A-Z]{2}\}|<[^>]*>|~[^~]*~)*)$)").match(entry);
            if (!m.hasMatch())
                return bad(u"entry %1"_s.arg(entry));
            PlainListing l;
            l.whole = !m.captured(1).isEmpty();
            l.text = m.captured(2).toLatin1().toUpper();
            if ((!l.whole && l.text.contains('/')) || l.text.size() > 32)
                return bad(u"entry %1"_s.arg(entry));
            l.entity = int(f.entities.size());
            l.cq = e.cq;
            l.itu = e.itu;
            l.continent = e.continent;
            auto it = rx(R"(\(([0-9]+)\)|\[([0-9]+)\]|\{([A-Z]{2})\}|<([^>]*)>|~([^~]*)~)").globalMatch(m.captured(3));
            while (it.hasNext()) {
                const QRegularExpressionMatch o = it.next();
                const bool fine = o.hasCaptured(1)   ? number(o.captured(1).toLatin1(), 1, 40, l.cq)
                                  : o.hasCaptured(2) ? number(o.captured(2).toLatin1(), 1, 90, l.itu)
                                  : o.hasCaptured(3) ? matches(kContinent, o.captured(3).toLatin1())
                                  : o.hasCaptured(4) ? matches(R"(^[+-]?([0-9]+(\.[0-9]*)?|\.[0-9]+)/[+-]?([0-9]+(\.[0-9]*)?|\.[0-9]+)$)",
                                                               o.captured(4).toLatin1())
                                                     : matches(kDecimal, o.captured(5).toLatin1());
                if (!fine)
                    return bad(u"override in %1"_s.arg(entry));
                if (o.hasCaptured(3))
                    l.continent = o.captured(3).toLatin1();
            }
            f.listings.push_back(l);
        }
        f.entities.push_back(e);
    }
    if (f.entities.empty()) {
        f.why = u"no entities"_s;
        return f;
    }
    f.ok = true;
    return f;
}

QString describe(const CallEntity &e)
{
    return e.found() ? u"entity %1 CQ %2 ITU %3 %4"_s.arg(e.entity).arg(e.cqZone).arg(e.ituZone).arg(QLatin1StringView(e.continent))
                     : u"nothing"_s;
}

QString describe(const PlainListing &l)
{
    return u"entity %1 CQ %2 ITU %3 %4"_s.arg(l.entity).arg(l.cq).arg(l.itu).arg(QLatin1StringView(l.continent));
}

CallEntity resolveBytes(const CallResolver &resolver, const QByteArray &call)
{
    return resolver.resolve(std::string_view(call.constData(), size_t(call.size())));
}

// Whatever a text resolves to is a real entity with zones and a continent that can be.
QString checkAnyText(const CallResolver &resolver, const QByteArray &call)
{
    const CallEntity e = resolveBytes(resolver, call);
    if (!e.found())
        return {};
    static const QByteArray continents = "AF AN AS EU NA OC SA";
    if (size_t(e.entity) >= resolver.entities().size() || e.cqZone < 1 || e.cqZone > 40 || e.ituZone < 1
        || e.ituZone > 90 || std::string_view(e.continent).size() != 2 || !continents.contains(e.continent))
        return u"«%1» resolves to %2"_s.arg(QString::fromLatin1(call), describe(e));
    bool ascii = true;
    for (char c : call)
        ascii = ascii && uchar(c) < 0x80;
    if (ascii) {
        const QString lower = QString::fromLatin1(call).toLower();
        if (describe(resolver.resolve(QStringView(lower))) != describe(e))
            return u"«%1» resolves differently from its lower case text"_s.arg(QString::fromLatin1(call));
    }
    return {};
}

} // namespace

QString checkCountryFile(const CheckFiles &files, const QByteArray &bytes)
{
    if (!files.writeInput(bytes))
        return u"could not write the input file"_s;
    const PlainFile plain = plainReading(bytes);
    const CountryFileRead read = CallResolver::read(files.input());
    if (read.ok && !plain.ok)
        return u"accepted a file that is not well formed (line %1: %2)"_s.arg(plain.badLine).arg(plain.why);
    if (!read.ok && plain.ok)
        return u"refused a well-formed file of %1 entities: %2"_s.arg(plain.entities.size()).arg(read.error);
    if (!read.ok) {
        if (read.error.isEmpty() || read.resolver)
            return u"refused without an error text, or with a resolver"_s;
        if (read.line != plain.badLine)
            return u"refused at line %1, but the fault is on line %2 (%3): %4"_s.arg(read.line).arg(plain.badLine).arg(plain.why, read.error);
        return {};
    }
    if (!read.resolver || !read.error.isEmpty())
        return u"accepted without a resolver, or with an error text"_s;

    const CallResolver &resolver = *read.resolver;
    const std::vector<CountryEntity> &entities = resolver.entities();
    if (entities.size() != plain.entities.size())
        return u"%1 entities where the file has %2"_s.arg(entities.size()).arg(plain.entities.size());
    for (size_t i = 0; i < entities.size(); ++i) {
        const CountryEntity &got = entities[i];
        const PlainEntity &want = plain.entities[i];
        if (got.prefix != want.prefix || got.name != want.name || got.dxcc != want.dxcc || got.cqZone != want.cq
            || got.ituZone != want.itu || got.continent != QLatin1StringView(want.continent))
            return u"entity %1 read as %2 «%3»"_s.arg(i).arg(got.prefix, got.name);
    }

    // Every listed text: the first whole-call listing of it, else the first prefix listing.
    QHash<QByteArray, const PlainListing *> firstWhole, firstPrefix;
    for (const PlainListing &l : plain.listings) {
        QHash<QByteArray, const PlainListing *> &first = l.whole ? firstWhole : firstPrefix;
        if (!first.contains(l.text))
            first.insert(l.text, &l);
    }
    for (const PlainListing &l : plain.listings) {
        const PlainListing *want = firstWhole.value(l.text, firstPrefix.value(l.text));
        const CallEntity got = resolveBytes(resolver, l.text);
        if (describe(got) != describe(*want))
            return u"«%1» resolves to %2, not %3"_s.arg(QString::fromLatin1(l.text), describe(got), describe(*want));
        const QString spaced = u" \t"_s + QString::fromLatin1(l.text).toLower() + u' ';
        if (describe(resolver.resolve(QStringView(spaced))) != describe(got))
            return u"«%1» in lower case with blanks around resolves otherwise"_s.arg(QString::fromLatin1(l.text));
    }
    // Any other text the input holds, taken as a call sign.
    for (const QByteArray &token : bytes.split('\n')) {
        for (const QByteArray &piece : token.split(' ')) {
            if (QString fault = checkAnyText(resolver, piece); !fault.isEmpty())
                return fault;
        }
    }
    return {};
}
