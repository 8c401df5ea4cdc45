#include "AdifReaders.h"

#include "AdiTags.h"
#include "Utf8Check.h"
#include "common/Cp1252.h"

#include <QSet>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace adif {
namespace {

constexpr size_t kChunk = size_t(1) << 20;

bool sameNoCase(std::string_view s, std::string_view upper)
{
    if (s.size() != upper.size())
        return false;
    for (size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
        if (c != upper[i])
            return false;
    }
    return true;
}

bool startsNoCase(std::string_view s, std::string_view upper)
{
    return s.size() >= upper.size() && sameNoCase(s.substr(0, upper.size()), upper);
}

std::string upperCopy(std::string_view s)
{
    std::string out(s);
    for (char &c : out) {
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    }
    return out;
}


class AdiParser
{
public:
    AdiParser(ByteSource &source, bool utf8, const DecodeOptions &options, GridStore &rows, LeftOutTally &tally,
              ContentHash &hash, Refusal &refusal)
        : m_source(source), m_utf8(utf8), m_decoder(options), m_rows(rows), m_tally(tally), m_hash(hash),
          m_refusal(refusal)
    {
    }

    AdiOutcome run()
    {
        m_buf.fileSize = m_source.size();
        if (const QByteArray *all = m_source.memory()) {
            m_buf.data = all->constData();
            m_buf.end = size_t(all->size());
            m_buf.eof = true;
            m_hash.add(m_buf.data, m_buf.end);
            if (m_utf8) {
                Utf8Check check;
                if (!check.add(m_buf.data, m_buf.end) || !check.finish())
                    return AdiOutcome::NotUtf8;
            }
        } else {
            m_buffer.resize(size_t(std::clamp<qint64>(m_buf.fileSize + 1, 4096, qint64(kChunk))));
            m_buf.data = m_buffer.data();
            if (!fill())
                return m_outcome;
        }
        if (m_buf.end == 0)
            return refuse(0, QStringLiteral("el archivo está vacío"));
        for (;;) {
            const Step step = parseRecords();
            if (step == Step::Stop)
                return m_outcome;
            if (step == Step::Done)
                break;
            // The record reaches past the bytes at hand: read more, and the record again from
            // its start.
            if (!fill(m_recordStart))
                return m_outcome;
            m_recordStart = 0;
        }
        if (!m_anyTag)
            return refuse(0, QStringLiteral("no contiene ningún campo ADIF"));
        return AdiOutcome::Ok;
    }

private:
    Step stop(size_t at, const QString &reason)
    {
        m_refusal.offset = m_buf.base + qint64(at);
        m_refusal.reason = reason;
        m_outcome = AdiOutcome::Refused;
        return Step::Stop;
    }

    AdiOutcome refuse(qint64 offset, const QString &reason)
    {
        m_refusal.offset = offset;
        m_refusal.reason = reason;
        return AdiOutcome::Refused;
    }

    // More bytes after m_buf.end, keeping those from `keep` on (moved to the front). False when
    // the reading has to stop: m_outcome says why. At the end of the file m_buf.eof is set.
    bool fill(size_t keep = 0)
    {
        if (m_buf.eof)
            return true;
        if (keep > 0) {
            std::memmove(m_buffer.data(), m_buffer.data() + keep, m_buf.end - keep);
            m_buf.end -= keep;
            m_buf.base += qint64(keep);
        }
        if (m_buf.end == m_buffer.size())
            m_buffer.resize(m_buffer.size() * 2);
        m_buf.data = m_buffer.data();
        const qint64 n = m_source.read(m_buffer.data() + m_buf.end, qint64(m_buffer.size() - m_buf.end));
        if (n < 0) {
            m_refusal.unreadable = true;
            m_refusal.offset = m_buf.base + qint64(m_buf.end);
            m_refusal.reason = m_source.errorString();
            m_outcome = AdiOutcome::Refused;
            return false;
        }
        m_hash.add(m_buffer.data() + m_buf.end, size_t(n));
        if (m_utf8 && !m_check.add(m_buffer.data() + m_buf.end, size_t(n))) {
            m_outcome = AdiOutcome::NotUtf8;
            return false;
        }
        m_buf.end += size_t(n);
        m_read += n;
        if (n == 0) {
            m_buf.eof = true;
            m_buf.fileSize = m_read; // a file that changed meanwhile ends where its bytes end
            if (m_utf8 && !m_check.finish()) {
                m_outcome = AdiOutcome::NotUtf8;
                return false;
            }
        }
        return true;
    }

    void startRecord()
    {
        m_fields.clear();
        m_foreign.clear();
        m_pending.clear();
        m_arena.clear();
        m_hasFields = false;
    }

    // Records (and the header) from m_recordStart on: Done at the end of the file, More when
    // a record needs bytes not read yet.
    Step parseRecords()
    {
        m_pos = m_recordStart;
        startRecord();
        if (m_ended)
            return skipToEnd();
        for (;;) {
            // The next tag is mostly right there, after one blank at most.
            const char *lt = m_pos < m_buf.end && m_buf.data[m_pos] == '<' ? m_buf.data + m_pos
                             : m_pos + 1 < m_buf.end && m_buf.data[m_pos + 1] == '<' ? m_buf.data + m_pos + 1
                             : static_cast<const char *>(std::memchr(m_buf.data + m_pos, '<', m_buf.end - m_pos));
            if (!lt) {
                if (!m_buf.eof)
                    return Step::More;
                if (m_hasFields) // the last record without its <EOR>
                    finishRecord();
                return Step::Done;
            }
            const size_t tagStart = size_t(lt - m_buf.data);
            Tag tag = Tag::Field;
            std::string_view name;
            size_t dataStart = 0, length = 0;
            const Step step = m_tags.read(tagStart, tag, name, dataStart, length);
            if (step == Step::Stop)
                return stop(m_tags.problemAt(), m_tags.problem());
            if (step != Step::Done)
                return step;
            m_anyTag = true;
            if (tag == Tag::NoLength) {
                // Some programs end their data with such a tag (<EOF>, <APP_LoTW_EOF>) after the
                // last record. Inside a record, or with an <EOR> still to come, it is an error.
                m_endTag = m_buf.base + qint64(tagStart);
                m_endName = shownName(name);
                if (!m_sawEnd || m_hasFields)
                    return stop(tagStart, noLength());
                m_ended = true;
                m_recordStart = m_tags.after();
                return parseRecords();
            }
            if (tag != Tag::Field) {
                // The end of a record, or of the header: what came before was the header.
                if (tag == Tag::EndOfRecord && m_hasFields)
                    finishRecord();
                m_sawEnd = true;
                m_pos = m_tags.after();
                m_recordStart = m_pos;
                startRecord();
                continue;
            }
            size_t dataEnd = dataStart + length;
            if (m_utf8) {
                const Step fit = m_tags.fitLength(dataStart, length, dataEnd);
                if (fit != Step::Done)
                    return fit;
            }
            const std::string_view value(m_buf.data + dataStart, dataEnd - dataStart);
            if (m_tags.known() && m_tags.known()->kind == KnownTags::KnownField)
                store(m_tags.known()->index, false, value);
            else if (m_tags.known() && m_tags.known()->kind == KnownTags::OwnField)
                store(m_tags.known()->index, true, value);
            else
                takeField(name, value);
            m_hasFields = true;
            m_pos = dataEnd;
        }
    }

    QString noLength() const
    {
        return QStringLiteral("la etiqueta «%1» no dice la longitud de su dato").arg(m_endName);
    }

    // After the tag that ends the data nothing is read, but an <EOR> would make it a tag inside a
    // record after all.
    Step skipToEnd()
    {
        for (;;) {
            const auto *lt = static_cast<const char *>(std::memchr(m_buf.data + m_pos, '<', m_buf.end - m_pos));
            const size_t at = lt ? size_t(lt - m_buf.data) : m_buf.end;
            if (at + 5 > m_buf.end) {
                m_recordStart = at;
                return m_buf.eof ? Step::Done : Step::More;
            }
            if (sameNoCase(std::string_view(lt + 1, 4), "EOR>")) {
                m_refusal.offset = m_endTag;
                m_refusal.reason = noLength();
                m_outcome = AdiOutcome::Refused;
                return Step::Stop;
            }
            m_pos = at + 1;
        }
    }

    void takeField(std::string_view name, std::string_view value)
    {
        Field field;
        if (fieldOfName(name, field)) {
            store(int(field), false, value);
            return;
        }
        if (startsNoCase(name, "APP_")) {
            const std::string_view rest = name.substr(4);
            if (startsNoCase(rest, "ORVANEL_")) {
                if (const int column = columnOfAppName(rest.substr(8)))
                    store(column, true, value);
            }
            return; // other programs' own fields are theirs
        }
        if (sameNoCase(name, "PROGRAMID")) { // a header field
            m_decoder.setWrittenByOrvanel(sameNoCase(value, "ORVANEL"));
            return;
        }
        if (startsNoCase(name, "USERDEF")) {
            // <USERDEFn>NAME[,{...}]: fields of that name are the user's own, not lost ones.
            std::string_view defined = value;
            defined = defined.substr(0, std::min(defined.find(','), defined.find('{')));
            m_userDefined.insert(QString::fromStdString(upperCopy(defined)));
            return;
        }
        if (!m_userDefined.isEmpty() && m_userDefined.contains(QString::fromStdString(upperCopy(name))))
            return;
        m_foreign.push_back(name);
    }

    // A value as UTF-8: the bytes themselves, or converted from the code page into the arena
    // (then placed once the record is complete, as the arena may move while it grows).
    void store(int index, bool app, std::string_view value)
    {
        if (m_utf8) {
            app ? m_fields.setApp(index, value) : m_fields.set(Field(index), value);
            return;
        }
        const size_t offset = m_arena.size();
        cp1252::appendAsUtf8(m_arena, value);
        m_pending.push_back({index, app, offset, m_arena.size() - offset});
    }

    void finishRecord()
    {
        for (const Pending &p : m_pending) {
            const std::string_view value(m_arena.data() + p.offset, p.size);
            p.app ? m_fields.setApp(p.index, value) : m_fields.set(Field(p.index), value);
        }
        std::string_view cells[kColumns];
        m_tally.addUnused(m_decoder.decode(m_fields, cells));
        for (std::string_view name : m_foreign)
            m_tally.add(name);
        m_rows.appendRow(cells, kColumns);
    }

    struct Pending
    {
        int index;
        bool app;
        size_t offset, size;
    };

    ByteSource &m_source;
    const bool m_utf8;
    ContactDecoder m_decoder;
    GridStore &m_rows;
    LeftOutTally &m_tally;
    ContentHash &m_hash;
    Refusal &m_refusal;
    AdiOutcome m_outcome = AdiOutcome::Refused;

    std::vector<char> m_buffer;
    AdiBuffer m_buf;
    size_t m_pos = 0, m_recordStart = 0;
    qint64 m_read = 0;
    bool m_anyTag = false;
    bool m_hasFields = false;
    bool m_sawEnd = false;    // an <EOR> or <EOH> came
    bool m_ended = false;     // a tag without a length ended the data
    qint64 m_endTag = 0;
    QString m_endName;
    Utf8Check m_check;

    TagScanner m_tags{m_buf};
    Fields m_fields;
    std::vector<std::string_view> m_foreign;
    std::vector<Pending> m_pending;
    std::string m_arena;
    QSet<QString> m_userDefined;
};

} // namespace

AdiOutcome readAdi(ByteSource &source, bool utf8, const DecodeOptions &options, GridStore &rows,
                   LeftOutTally &tally, ContentHash &hash, Refusal &refusal)
{
    AdiParser parser(source, utf8, options, rows, tally, hash, refusal);
    return parser.run();
}

} // namespace adif
