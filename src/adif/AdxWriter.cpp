#include "AdifWriters.h"

#include <QXmlStreamWriter>

namespace adif {
namespace {

constexpr Field kOrder[] = {Field::Call,    Field::QsoDate, Field::TimeOn,     Field::Freq,   Field::Band,
                            Field::Mode,    Field::Submode, Field::RstSent,    Field::Name,   Field::Qth,
                            Field::Address, Field::State,   Field::QslSent,    Field::QslRcvd, Field::QslSentVia,
                            Field::QslVia,  Field::Comment, Field::Notes};

// UTF-8 to text, a leading U+FEFF included: QString::fromUtf8 takes it for a byte order mark
// and drops it, and a cell may begin with one.
QString fromUtf8(std::string_view s)
{
    if (s.substr(0, 3) == "\xEF\xBB\xBF")
        return QChar(0xFEFF) + QString::fromUtf8(s.data() + 3, qsizetype(s.size() - 3));
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

bool isAscii(std::string_view s)
{
    for (char c : s) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

// An ASCII stand-in for text with letters beyond it, for programs that read only the plain
// field: accents dropped ("Peña" -> "Pena"), a few signs spelled out, anything else '?'.
QString asciiVersion(const QString &text)
{
    const QString decomposed = text.normalized(QString::NormalizationForm_KD);
    QString out;
    out.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        const char16_t u = c.unicode();
        if (u < 0x80) {
            out += c;
            continue;
        }
        if (c.category() == QChar::Mark_NonSpacing)
            continue;
        switch (u) {
        case u'ß': out += QLatin1String("ss"); break;
        case u'Æ': out += QLatin1String("AE"); break;
        case u'æ': out += QLatin1String("ae"); break;
        case u'Œ': out += QLatin1String("OE"); break;
        case u'œ': out += QLatin1String("oe"); break;
        case u'Ø': out += u'O'; break;
        case u'ø': out += u'o'; break;
        case u'€': out += QLatin1String("EUR"); break;
        case u'“': case u'”': case u'„': case u'«': case u'»': out += u'"'; break;
        case u'‘': case u'’': case u'‚': out += u'\''; break;
        case u'–': case u'—': out += u'-'; break;
        case u'¿': case u'¡': break;
        default: out += u'?';
        }
    }
    return out;
}

class AdxWriter final : public RecordWriter
{
public:
    explicit AdxWriter(QIODevice &device) : m_xml(&device)
    {
        m_xml.setAutoFormatting(true);
        m_xml.setAutoFormattingIndent(1);
    }

    void header(const HeaderInfo &info) override
    {
        m_xml.writeStartDocument();
        m_xml.writeStartElement(QStringLiteral("ADX"));
        m_xml.writeStartElement(QStringLiteral("HEADER"));
        m_xml.writeTextElement(QStringLiteral("ADIF_VER"), QString::fromLatin1(kAdifVersion));
        m_xml.writeTextElement(QStringLiteral("PROGRAMID"), QString::fromLatin1(kProgramName));
        if (!info.programVersion.isEmpty())
            m_xml.writeTextElement(QStringLiteral("PROGRAMVERSION"), info.programVersion);
        if (info.created.isValid())
            m_xml.writeTextElement(QStringLiteral("CREATED_TIMESTAMP"),
                                   info.created.toUTC().toString(QStringLiteral("yyyyMMdd HHmmss")));
        m_xml.writeEndElement();
        m_xml.writeStartElement(QStringLiteral("RECORDS"));
    }

    void record(const Fields &f) override
    {
        m_xml.writeStartElement(QStringLiteral("RECORD"));
        for (Field field : kOrder) {
            if (!f.has(field))
                continue;
            const std::string_view value = f.get(field);
            const Field intl = intlTwin(field);
            if (intl != Field::Count && !isAscii(value)) {
                // The plain field holds ASCII only; the text itself goes into its _INTL twin.
                const QString text = fromUtf8(value);
                element(fieldName(field), asciiVersion(text));
                element(fieldName(intl), text);
            } else {
                element(fieldName(field), fromUtf8(value));
            }
        }
        for (int c = 1; c < kColumns; ++c) {
            if (!f.hasApp(c))
                continue;
            const std::string_view value = f.app[c];
            m_xml.writeStartElement(QStringLiteral("APP"));
            m_xml.writeAttribute(QStringLiteral("PROGRAMID"), QString::fromLatin1(kProgramId));
            m_xml.writeAttribute(QStringLiteral("FIELDNAME"), QString::fromLatin1(columnAppName(c)));
            const bool lines = value.find_first_of("\r\n") != std::string_view::npos;
            m_xml.writeAttribute(QStringLiteral("TYPE"), lines ? QStringLiteral("M") : QStringLiteral("S"));
            text(fromUtf8(value));
            m_xml.writeEndElement();
        }
        m_xml.writeEndElement();
    }

    bool finish() override
    {
        m_xml.writeEndDocument();
        return !m_xml.hasError();
    }

private:
    void element(std::string_view name, const QString &value)
    {
        m_xml.writeStartElement(QString::fromLatin1(name));
        text(value);
        m_xml.writeEndElement();
    }

    // XML reads a bare CR as a line feed: it goes out as a character reference.
    void text(const QString &value)
    {
        qsizetype from = 0;
        for (qsizetype cr; (cr = value.indexOf(u'\r', from)) >= 0; from = cr + 1) {
            if (cr > from)
                m_xml.writeCharacters(value.mid(from, cr - from));
            m_xml.writeEntityReference(QStringLiteral("#13"));
        }
        if (from < value.size() || value.isEmpty())
            m_xml.writeCharacters(value.mid(from));
    }

    QXmlStreamWriter m_xml;
};

} // namespace

std::unique_ptr<RecordWriter> makeAdxWriter(QIODevice &device)
{
    return std::make_unique<AdxWriter>(device);
}

size_t firstNonXmlByte(std::string_view s)
{
    for (size_t i = 0; i < s.size(); ++i) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b < 0x20 && b != '\t' && b != '\n' && b != '\r')
            return i;
        // U+FFFE and U+FFFF: EF BF BE, EF BF BF.
        if (b == 0xEF && i + 2 < s.size() && static_cast<unsigned char>(s[i + 1]) == 0xBF
            && (static_cast<unsigned char>(s[i + 2]) & 0xFE) == 0xBE)
            return i;
    }
    return std::string_view::npos;
}

} // namespace adif
