#include "FormFrequency.h"
#include "adif/ModeTable.h"
#include <string_view>

using namespace Qt::StringLiterals;

QString formFrequency(qint64 hertz)
{
    return QString::fromStdString(formFrequencyUtf8(hertz));
}

std::string formFrequencyUtf8(qint64 hertz)
{
    if (hertz <= 0)
        return {};
    std::string text = std::to_string(hertz / 1000000);
    text += '.';
    const std::string hz = std::to_string(hertz % 1000000);
    text.append(6 - hz.size(), '0').append(hz);
    while (text.size() > 4 && text.back() == '0' && text[text.size() - 4] != '.')
        text.pop_back();
    return text;
}

QString formModeOfRig(QStringView hamlibMode)
{
    // hamlib's own names (rig_strrmode); the narrow and sideband variants go with their family.
    static const struct { std::u16string_view rig; const char16_t *form; } kModes[] = {
        {u"USB", u"SSB"}, {u"LSB", u"SSB"},
        {u"CW", u"CW"}, {u"CWR", u"CW"}, {u"CWN", u"CW"},
        {u"FM", u"FM"}, {u"WFM", u"FM"}, {u"FMN", u"FM"},
        {u"AM", u"AM"}, {u"SAM", u"AM"}, {u"AMS", u"AM"}, {u"AMN", u"AM"}, {u"SAL", u"AM"}, {u"SAH", u"AM"},
        {u"DSB", u"AM"}, {u"ECSSUSB", u"AM"}, {u"ECSSLSB", u"AM"},
        {u"RTTY", u"DIGIMODOS"}, {u"RTTYR", u"DIGIMODOS"}, {u"PKTUSB", u"DIGIMODOS"}, {u"PKTLSB", u"DIGIMODOS"},
        {u"PKTFM", u"DIGIMODOS"}, {u"PKTFMN", u"DIGIMODOS"}, {u"PKTAM", u"DIGIMODOS"}, {u"PSK", u"DIGIMODOS"},
        {u"PSKR", u"DIGIMODOS"}, {u"FAX", u"DIGIMODOS"},
        {u"D-STAR", u"DSTAR"}, {u"C4FM", u"C4FM"},
    };
    for (const auto &m : kModes) {
        if (hamlibMode.compare(QStringView(m.rig), Qt::CaseInsensitive) == 0)
            return QString::fromUtf16(m.form);
    }
    return {};
}

QString formModeOfWord(QStringView word)
{
    const QString upper = word.trimmed().toString().toUpper();
    if (upper.isEmpty() || upper.size() > 16)
        return {};
    const QByteArray latin = upper.toLatin1();
    std::string_view mode, submode;
    if (!adif::standardMode(std::string_view(latin.constData(), size_t(latin.size())), mode, submode))
        return modeClassOf(QStringView(upper)) == ModeClass::Digital ? u"DIGIMODOS"_s : QString();
    if (mode == "SSB" || mode == "CW" || mode == "FM" || mode == "AM")
        return QString::fromLatin1(mode.data(), qsizetype(mode.size()));
    if (modeClassOf(QStringView(upper)) == ModeClass::Digital)
        return u"DIGIMODOS"_s;
    const std::string_view name = submode.empty() ? mode : submode; // digital voice, images
    return QString::fromLatin1(name.data(), qsizetype(name.size()));
}

QString rigModeOfForm(QStringView formMode, qint64 hertz)
{
    const QString mode = formMode.trimmed().toString().toUpper();
    if (mode == u"SSB") {
        const bool sixtyMetres = hertz >= 5250000 && hertz <= 5450000;
        return hertz >= 10000000 || sixtyMetres ? u"USB"_s : u"LSB"_s;
    }
    if (mode == u"CW" || mode == u"FM" || mode == u"AM" || mode == u"USB" || mode == u"LSB" || mode == u"RTTY")
        return mode;
    const ModeClass kind = modeClassOf(QStringView(mode));
    return kind == ModeClass::Digital ? u"PKTUSB"_s : QString();
}
