#include "AdifReaders.h"

#include <QXmlStreamReader>

namespace adif {
namespace {

bool is(QStringView name, QStringView upper)
{
    return name.compare(upper, Qt::CaseInsensitive) == 0;
}

class AdxParser
{
public:
    AdxParser(const QByteArray &bytes, const DecodeOptions &options, GridStore &rows, ReadTally &tally,
              Refusal &refusal)
        : m_xml(bytes), m_decoder(options), m_rows(rows), m_tally(tally), m_refusal(refusal)
    {
    }

    bool run()
    {
        if (!m_xml.readNextStartElement())
            return fail(QStringLiteral("no contiene ningún elemento XML"));
        if (!is(m_xml.name(), u"ADX"))
            return fail(QStringLiteral("el elemento principal es «%1» y en un archivo ADX es «ADX»")
                            .arg(m_xml.name().left(40).toString()));
        while (m_xml.readNextStartElement()) {
            if (is(m_xml.name(), u"RECORDS")) {
                while (m_xml.readNextStartElement()) {
                    if (is(m_xml.name(), u"RECORD"))
                        readRecord();
                    else
                        m_xml.skipCurrentElement();
                }
            } else if (is(m_xml.name(), u"HEADER")) {
                while (m_xml.readNextStartElement()) {
                    const bool program = is(m_xml.name(), u"PROGRAMID");
                    const QString value = m_xml.readElementText(QXmlStreamReader::SkipChildElements);
                    if (program)
                        m_decoder.setWrittenByOrvanel(is(value, u"ORVANEL"));
                }
            } else {
                m_xml.skipCurrentElement();
            }
        }
        while (!m_xml.atEnd() && !m_xml.hasError())
            m_xml.readNext();
        if (m_xml.hasError())
            return fail(xmlReason());
        return true;
    }

private:
    bool fail(const QString &reason)
    {
        m_refusal.line = std::max<qint64>(1, m_xml.lineNumber());
        m_refusal.reason = reason;
        return false;
    }

    QString xmlReason() const
    {
        if (m_xml.error() == QXmlStreamReader::PrematureEndOfDocumentError)
            return QStringLiteral("el archivo termina antes de cerrar su XML");
        return QStringLiteral("el XML no está bien formado (%1)").arg(m_xml.errorString());
    }

    void readRecord()
    {
        m_fields.clear();
        m_arena.clear();
        m_pending.clear();
        m_foreign.clear();
        while (m_xml.readNextStartElement()) {
            const QString name = m_xml.name().toString();
            if (is(name, u"APP")) {
                const QXmlStreamAttributes attributes = m_xml.attributes();
                const QString program = attributes.value(QStringLiteral("PROGRAMID")).toString();
                const QString field = attributes.value(QStringLiteral("FIELDNAME")).toString();
                const QString value = m_xml.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
                if (is(program, u"ORVANEL")) {
                    if (const int column = columnOfAppName(field.toStdString()))
                        keep(column, true, value);
                }
                continue;
            }
            const QString value = m_xml.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
            if (is(name, u"USERDEF"))
                continue; // the user's own fields
            const std::string plain = name.toStdString();
            Field field;
            if (fieldOfName(plain, field))
                keep(int(field), false, value);
            else
                m_foreign.push_back(plain);
        }
        if (m_xml.hasError())
            return;
        for (const Pending &p : m_pending) {
            const std::string_view value(m_arena.data() + p.offset, p.size);
            p.app ? m_fields.setApp(p.index, value) : m_fields.set(Field(p.index), value);
        }
        std::string_view cells[kColumns];
        m_tally.addUnused(m_decoder.decode(m_fields, cells));
        for (const std::string &name : m_foreign)
            m_tally.add(name);
        m_tally.addRow(cells, m_decoder.isOwn(m_fields));
        m_rows.appendRow(cells, kColumns);
    }

    void keep(int index, bool app, const QString &value)
    {
        const size_t offset = m_arena.size();
        m_arena += value.toStdString();
        m_pending.push_back({index, app, offset, m_arena.size() - offset});
    }

    struct Pending
    {
        int index;
        bool app;
        size_t offset, size;
    };

    QXmlStreamReader m_xml;
    ContactDecoder m_decoder;
    GridStore &m_rows;
    ReadTally &m_tally;
    Refusal &m_refusal;
    Fields m_fields;
    std::string m_arena;
    std::vector<Pending> m_pending;
    std::vector<std::string> m_foreign;
};

} // namespace

bool readAdx(const QByteArray &bytes, const DecodeOptions &options, GridStore &rows, ReadTally &tally,
             Refusal &refusal)
{
    AdxParser parser(bytes, options, rows, tally, refusal);
    return parser.run();
}

} // namespace adif
