#include "ClusterLines.h"
#include "adif/BandTable.h"
#include "common/Utf8.h"
#include "FormFrequency.h"

using namespace Qt::StringLiterals;

namespace {
constexpr uchar kIac = 255, kSb = 250, kSe = 240, kWill = 251, kDont = 254;

bool isCallChar(QChar c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'/';
}

// "14025.0" kHz -> 14025000 Hz, digit by digit; -1 when it is no frequency. Beyond the hertz
// the digits are dropped.
qint64 kiloHertz(QStringView text)
{
    const qsizetype point = text.indexOf(u'.');
    const QStringView whole = point < 0 ? text : text.first(point);
    const QStringView fraction = point < 0 ? QStringView() : text.sliced(point + 1);
    if (whole.isEmpty() || whole.size() > 9 || fraction.size() > 9)
        return -1;
    qint64 hertz = 0;
    for (QChar c : whole) {
        if (c < u'0' || c > u'9')
            return -1;
        hertz = hertz * 10 + (c.unicode() - u'0');
    }
    hertz *= 1000;
    qint64 scale = 100;
    for (QChar c : fraction) {
        if (c < u'0' || c > u'9')
            return -1;
        hertz += (c.unicode() - u'0') * scale;
        scale /= 10;
    }
    return hertz;
}

bool isTime(QStringView word)
{
    if (word.size() != 5 || word.back() != u'Z')
        return false;
    for (int i = 0; i < 4; ++i) {
        if (!word[i].isDigit() || word[i].unicode() >= 0x80)
            return false;
    }
    return word.first(2).toInt() < 24 && word.sliced(2, 2).toInt() < 60;
}

bool isLocator(QStringView word)
{
    const auto in = [&word](int i, char16_t a, char16_t b) {
        const QChar c = word[i];
        return (c >= QChar(a) && c <= QChar(b)) || (a >= u'A' && c >= QChar(a + 32) && c <= QChar(b + 32));
    };
    return (word.size() == 4 || word.size() == 6) && in(0, u'A', u'R') && in(1, u'A', u'R') && in(2, u'0', u'9')
           && in(3, u'0', u'9') && (word.size() == 4 || (in(4, u'A', u'X') && in(5, u'A', u'X')));
}

// Capitals of an ASCII word; empty when a character is not ASCII (a capital may be two letters).
QString asciiUpper(QStringView word)
{
    QString upper = word.toString();
    for (QChar &c : upper) {
        if (c.unicode() >= 0x80)
            return {};
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 32);
    }
    return upper;
}
} // namespace

bool readSpot(QStringView line, Spot &spot)
{
    // A spot line is some 80 characters; a longer one was cut or is not one.
    if (line.size() > 160 || !line.startsWith(u"DX de ", Qt::CaseInsensitive))
        return false;
    const qsizetype colon = line.indexOf(u':', 6);
    if (colon < 0)
        return false;
    const QString spotter = asciiUpper(line.sliced(6, colon - 6).trimmed());
    if (spotter.isEmpty() || spotter.size() > 16)
        return false;
    for (QChar c : spotter) {
        if (!isCallChar(c) && c != u'-' && c != u'#')
            return false;
    }
    // The frequency, the call, the comment's words, the time, maybe a locator.
    const QList<QStringView> words = line.sliced(colon + 1).split(u' ', Qt::SkipEmptyParts);
    const qsizetype last = words.size() - 1;
    const qsizetype timeAt = last >= 2 && isTime(words[last])                          ? last
                             : last >= 3 && isTime(words[last - 1]) && isLocator(words[last]) ? last - 1
                                                                                              : -1;
    if (timeAt < 0)
        return false;
    const qint64 hertz = kiloHertz(words[0]);
    if (hertz <= 0 || bandOfFrequency(QStringView(formFrequency(hertz))) < 0)
        return false;
    const QString call = asciiUpper(words[1]);
    bool digit = false, letter = false;
    for (QChar c : call) {
        if (!isCallChar(c))
            return false;
        digit = digit || c.isDigit();
        letter = letter || c.isLetter();
    }
    if (call.size() < 3 || call.size() > 15 || !digit || !letter || call.startsWith(u'/') || call.endsWith(u'/'))
        return false;
    // The words are views into the line: the comment is what lies between the call and the time.
    const QChar *commentStart = words[1].data() + words[1].size();
    spot.hertz = hertz;
    spot.spotter = spotter;
    spot.call = call;
    spot.comment = QStringView(commentStart, words[timeAt].data()).trimmed().toString();
    spot.time = words[timeAt].first(2).toString() + u':' + words[timeAt].sliced(2, 2).toString();
    spot.locator = timeAt < last ? asciiUpper(words[last]) : QString();
    return true;
}

QString spotFormMode(const Spot &spot)
{
    for (QStringView word : QStringView(spot.comment).split(u' ', Qt::SkipEmptyParts)) {
        const QString mode = formModeOfWord(word);
        if (!mode.isEmpty())
            return mode;
    }
    // The segments of the IARU band plans, in kHz, as most operators keep to them.
    enum Kind { Cw, Data, Phone };
    static const struct { int from, to; Kind kind; } kPlan[] = {
        {1800, 1838, Cw}, {1838, 1843, Data}, {1843, 2000, Phone},
        {3500, 3570, Cw}, {3570, 3600, Data}, {3600, 4000, Phone},
        {7000, 7040, Cw}, {7040, 7060, Data}, {7060, 7070, Phone}, {7070, 7080, Data}, {7080, 7300, Phone},
        {10100, 10130, Cw}, {10130, 10150, Data},
        {14000, 14070, Cw}, {14070, 14112, Data}, {14112, 14350, Phone},
        {18068, 18095, Cw}, {18095, 18111, Data}, {18111, 18168, Phone},
        {21000, 21070, Cw}, {21070, 21151, Data}, {21151, 21450, Phone},
        {24890, 24915, Cw}, {24915, 24931, Data}, {24931, 24990, Phone},
        {28000, 28070, Cw}, {28070, 28225, Data}, {28225, 29700, Phone},
        {50000, 50100, Cw}, {50100, 50300, Phone}, {50300, 50400, Data}, {50400, 54000, Phone},
    };
    const qint64 khz = spot.hertz / 1000;
    for (const auto &segment : kPlan) {
        if (khz >= segment.from && khz < segment.to)
            return segment.kind == Cw ? u"CW"_s : segment.kind == Data ? u"DIGIMODOS"_s : u"SSB"_s;
    }
    return {};
}

bool isLoginPrompt(QStringView text)
{
    const QString t = text.trimmed().toString().toLower();
    return t.endsWith(u"login:"_s) || t.endsWith(u"call:"_s) || t.endsWith(u"callsign:"_s)
           || t.endsWith(u"indicativo:"_s) || t.contains(u"enter your call"_s);
}

QString TelnetLines::decode(const QByteArray &bytes)
{
    QString text = isValidUtf8(std::string_view(bytes.constData(), size_t(bytes.size()))) ? QString::fromUtf8(bytes)
                                                                                          : QString::fromLatin1(bytes);
    text.removeIf([](QChar c) { return c.unicode() >= 0x80 && c.unicode() < 0xA0; }); // C1 controls
    return text;
}

QString TelnetLines::takePending()
{
    const QString line = pending();
    m_line.clear();
    m_cut = false;
    return line;
}

void TelnetLines::clear()
{
    m_telnet = Telnet::Text;
    m_line.clear();
    m_cut = false;
}

void TelnetLines::add(QByteArrayView bytes, QStringList &lines)
{
    for (const char ch : bytes) {
        const uchar b = uchar(ch);
        switch (m_telnet) {
        case Telnet::Command:               // IAC, then a command; IAC IAC is the byte 255 itself
            m_telnet = b == kSb ? Telnet::Sub : b >= kWill && b <= kDont ? Telnet::Option : Telnet::Text;
            if (b != kIac)
                continue;
            break;
        case Telnet::Option:                // IAC WILL/WONT/DO/DONT, then the option
            m_telnet = Telnet::Text;
            continue;
        case Telnet::Sub:                   // a subnegotiation, up to IAC SE
            if (b == kIac)
                m_telnet = Telnet::SubCommand;
            continue;
        case Telnet::SubCommand:
            m_telnet = b == kSe ? Telnet::Text : Telnet::Sub;
            continue;
        case Telnet::Text:
            if (b == kIac) {
                m_telnet = Telnet::Command;
                continue;
            }
            break;
        }
        if (b == '\n') {
            lines << decode(m_line) + (m_cut ? u"…"_s : QString());
            m_line.clear();
            m_cut = false;
        } else if ((b >= 0x20 && b != 0x7F) || b == '\t') {
            if (m_line.size() < kMaxLine)
                m_line += b == '\t' ? ' ' : ch;
            else
                m_cut = true;
        }
    }
}
