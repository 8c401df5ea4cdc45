// The records of an ADI file, tag by tag, into the rows and the tally.
#include "AdiParser.h"

#include "common/Cp1252.h"

#include <algorithm>
#include <cstring>

namespace adif {
namespace {

constexpr int kSampleRecords = 64;

bool startsNoCase(std::string_view s, std::string_view upper)
{
    return s.size() >= upper.size() && sameLetters(s.substr(0, upper.size()), upper);
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


// Whether a log book can hold the characters of valid UTF-8: ASCII runs passed over 64 bytes
// at a time, the Latin-1 letters at once, anything else character by character.
bool storableUtf8(std::string_view s)
{
    const auto *b = reinterpret_cast<const unsigned char *>(s.data());
    for (size_t i = 0, n = s.size(); i < n;) {
        i += plainRun(s.data() + i, n - i);
        if (i == n)
            return true;
        if (b[i] == 0)
            return false;
        if (i + 1 < n && (b[i] == 0xC3 || (b[i] == 0xC2 && b[i + 1] >= 0xA0))) { // U+00A0 .. U+00FF
            i += 2;
            continue;
        }
        const size_t size = std::min<size_t>(b[i] < 0xE0 ? 2 : b[i] < 0xF0 ? 3 : 4, n - i);
        if (!cp1252::storable(s.substr(i, size)))
            return false;
        i += size;
    }
    return true;
}

} // namespace

void AdiParser::startRecord()
{
    m_fields.clear();
    m_foreign.clear();
    m_pending.clear();
    m_arena.clear();
    m_hasFields = false;
}

// A record (or the header) has just ended: whether to pause here, or to stop as asked.
bool AdiParser::atLimit()
{
    if (m_buf.base + qint64(m_recordStart) >= m_limit) {
        m_paused = true;
        return true;
    }
    if (m_cancel && m_cancel->load(std::memory_order_relaxed)) {
        m_limit = 0; // pauses from here on
        m_paused = true;
        return true;
    }
    return false;
}

// Records (and the header) from m_recordStart on: Done at the end of the file or at the limit
// (m_paused), More when a record needs bytes not read yet.
Step AdiParser::parseRecords()
{
    m_pos = m_recordStart;
    startRecord();
    if (m_ended)
        return skipToEnd();
    constexpr size_t kUnknown = ~size_t(0);
    size_t next = kUnknown; // the next '<', when it is known to follow at once
    for (;;) {
        size_t tagStart = next != kUnknown ? next : m_lt.next(m_pos);
        next = kUnknown;
        bool missed = false;
        if (m_utf8 && tagStart != m_buf.end) {
            // The usual fields of a record in one run; the rest, tag by tag below.
            const size_t stopped = m_tags.readFields(tagStart, m_fields, missed);
            if (stopped != tagStart) {
                m_anyTag = true;
                m_hasFields = true;
                m_pos = tagStart = stopped;
            }
        }
        if (tagStart == m_buf.end) {
            if (!m_buf.eof)
                return Step::More;
            if (m_inHeader && m_skipped.offset >= 0)
                return notHeader();
            if (m_hasFields) // the last record without its <EOR>
                finishRecord(m_buf.end);
            return Step::Done;
        }
        std::string_view name;
        size_t dataStart = 0, length = 0;
        if (missed || !m_tags.readUsual(tagStart, dataStart, length)) {
            Tag tag = Tag::EndOfRecord;
            const Step step = m_tags.readEndOfRecord(tagStart) ? Step::Done
                                                               : m_tags.read(tagStart, tag, name, dataStart, length);
            // In the header's free text ("Autor <someone@example.org>") a '<' opens no field.
            if (m_inHeader && (step == Step::Stop || (step == Step::Done && tag == Tag::NoLength))) {
                if (m_skipped.offset < 0 && step == Step::Stop) {
                    m_skipped = Skipped{m_buf.base + qint64(m_tags.problemAt()), m_tags.problem()};
                } else if (m_skipped.offset < 0) {
                    m_endName = shownName(name);
                    m_skipped = Skipped{m_buf.base + qint64(tagStart), noLength()};
                }
                m_pos = tagStart + 1;
                continue;
            }
            if (step == Step::Stop)
                return stop(m_tags.problemAt(), m_tags.problem());
            if (step != Step::Done)
                return step;
            m_anyTag = true;
            if (tag == Tag::EndOfRecord && m_inHeader && m_skipped.offset >= 0)
                return notHeader();
            if (tag == Tag::NoLength) {
                // Some programs end their data with such a tag (<EOF>, <APP_LoTW_EOF>) after
                // the last record. Inside a record, or with an <EOR> still to come, it is an error.
                m_endTag = m_buf.base + qint64(tagStart);
                m_endName = shownName(name);
                if (!m_sawEnd || m_hasFields)
                    return stop(tagStart, noLength());
                m_ended = true;
                m_recordStart = m_tags.after();
                return parseRecords();
            }
            if (tag != Tag::Field) {
                m_inHeader = false;
                // The end of a record, or of the header: what came before was the header.
                if (tag == Tag::EndOfRecord && m_hasFields)
                    finishRecord(tagStart);
                m_sawEnd = true;
                m_pos = m_tags.after();
                m_recordStart = m_pos;
                startRecord();
                if (atLimit())
                    return Step::Done;
                if (m_pos + 2 < m_buf.end && m_buf.data[m_pos] == '\r' && m_buf.data[m_pos + 1] == '\n'
                    && m_buf.data[m_pos + 2] == '<')
                    next = m_pos + 2;
                continue;
            }
        }
        m_anyTag = true;
        size_t dataEnd = dataStart + length;
        // Mostly the next tag follows the data at once, or after a blank or a line end; else, in
        // UTF-8, the length may have counted characters.
        next = m_tags.tagAfter(dataEnd);
        if (next == kUnknown && m_utf8) {
            const Step fit = m_tags.fitLength(dataStart, length, dataEnd);
            if (fit != Step::Done)
                return fit;
            next = m_tags.tagAfter(dataEnd);
        }
        const std::string_view value(m_buf.data + dataStart, dataEnd - dataStart);
        const KnownTags::Entry *known = m_tags.known();
        if (known && known->kind == KnownTags::KnownField && m_utf8) // the bytes themselves, at once
            m_fields.set(Field(known->index), value);
        else if (known && known->kind == KnownTags::OwnField && m_utf8)
            m_fields.setApp(known->index, value);
        else if (known && known->kind == KnownTags::KnownField)
            store(known->index, false, value);
        else if (known && known->kind == KnownTags::OwnField)
            store(known->index, true, value);
        else if (known) // <EOR:1>x and the like: a field of that name after all
            takeField(std::string_view(m_buf.data + tagStart + 1, known->size), value);
        else
            takeField(name, value);
        m_hasFields = true;
        m_pos = dataEnd;
    }
}

QString AdiParser::noLength() const
{
    return QStringLiteral("la etiqueta «%1» no dice la longitud de su dato").arg(m_endName);
}

// After the tag that ends the data nothing is read, but an <EOR> would make it a tag inside a
// record after all.
Step AdiParser::skipToEnd()
{
    for (;;) {
        const auto *lt = static_cast<const char *>(std::memchr(m_buf.data + m_pos, '<', m_buf.end - m_pos));
        const size_t at = lt ? size_t(lt - m_buf.data) : m_buf.end;
        if (at + 5 > m_buf.end) {
            m_recordStart = at;
            return m_buf.eof ? Step::Done : Step::More;
        }
        if (sameLetters(std::string_view(lt + 1, 4), "EOR>")) {
            m_refusal.offset = m_endTag;
            m_refusal.reason = noLength();
            m_outcome = AdiOutcome::Refused;
            return Step::Stop;
        }
        m_pos = at + 1;
    }
}

void AdiParser::takeField(std::string_view name, std::string_view value)
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
    if (sameLetters(name, "PROGRAMID")) { // a header field
        m_decoder.setWrittenByOrvanel(sameLetters(value, "ORVANEL"));
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
void AdiParser::store(int index, bool app, std::string_view value)
{
    if (m_utf8) {
        app ? m_fields.setApp(index, value) : m_fields.set(Field(index), value);
        return;
    }
    const size_t offset = m_arena.size();
    cp1252::appendAsUtf8(m_arena, value);
    m_pending.push_back({index, app, offset, m_arena.size() - offset});
}

// The record from m_recordStart to `end` is whole.
void AdiParser::finishRecord(size_t end)
{
    for (const Pending &p : m_pending) {
        const std::string_view value(m_arena.data() + p.offset, p.size);
        p.app ? m_fields.setApp(p.index, value) : m_fields.set(Field(p.index), value);
    }
    std::string_view *cells = m_cells;
    m_tally.addUnused(m_decoder.decode(m_fields, cells));
    for (std::string_view name : m_foreign)
        m_tally.add(name);
    // Tags are ASCII: the record's bytes hold what a log book cannot hold when a value does.
    // Windows-1252 bytes can all be held, NUL aside.
    const std::string_view bytes(m_buf.data + m_recordStart, end - m_recordStart);
    const bool storable = !m_utf8                                                   ? bytes.find('\0') == bytes.npos
                          : uint64_t(m_buf.base) + end <= m_check.firstUnstorable() ? true
                                                                                  : storableUtf8(bytes);
    m_tally.addRow(cells, m_decoder.isOwn(m_fields), storable);
    if (m_rows.rows() == kSampleRecords) {
        // Room for as many rows as records of the first ones' average size fit in the bytes to
        // read, and a little more, as the room left over is taken back at the end.
        const qint64 sampled = std::max<qint64>(m_buf.base + qint64(end) - m_start, 1);
        const qint64 toRead = std::min(m_buf.fileSize, m_until) - m_start;
        m_rows.reserveRows(qint64(double(toRead) * kSampleRecords / double(sampled) * 1.06) + 16);
    }
    // Most values lie in the buffer, every byte of which may be read (past the bytes at hand too).
    const size_t readable = m_buffer.empty() ? m_buf.end : m_buffer.size();
    m_rows.appendRow(cells, kColumns, std::string_view(m_buf.data, readable));
}

} // namespace adif
