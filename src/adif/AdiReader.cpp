#include "AdifReaders.h"

#include "Utf8Check.h"
#include "common/Cp1252.h"

#include <QSet>

#include <algorithm>
#include <string>
#include <cstring>
#include <vector>

namespace adif {
namespace {

constexpr size_t kMaxName = 256;
constexpr size_t kChunk = size_t(1) << 20;

constexpr bool isNameByte(unsigned char c)
{
    return c > 0x20 && c < 0x7F && c != '<' && c != '>' && c != ':' && c != ',' && c != '{' && c != '}';
}

// The bytes a tag name may hold, and their upper case, for the scan that every tag goes through.
struct ByteTables
{
    bool name[256];
    unsigned char upper[256];
    constexpr ByteTables() : name(), upper()
    {
        for (int c = 0; c < 256; ++c) {
            name[c] = isNameByte(static_cast<unsigned char>(c));
            upper[c] = static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
        }
    }
};
constexpr ByteTables kBytes;

// The tag names this program knows, found by a hash of their upper case taken during the scan:
// one comparison for a known name instead of a search through the lists.
class KnownTags
{
public:
    enum Kind : uint8_t { Empty, KnownField, OwnField, EndOfRecord, EndOfHeader };
    struct Entry
    {
        char name[32];
        uint8_t size = 0;
        Kind kind = Empty;
        uint8_t index = 0;
    };

    KnownTags()
    {
        for (int f = 0; f < kFieldCount; ++f)
            add(fieldName(Field(f)), KnownField, f);
        for (int c = 1; c < kColumns; ++c)
            add("APP_" + std::string(kProgramId) + "_" + std::string(columnAppName(c)), OwnField, c);
        add("EOR", EndOfRecord, 0);
        add("EOH", EndOfHeader, 0);
    }

    static uint32_t step(uint32_t h, unsigned char upper) { return h * 31u + upper; }

    const Entry *entries() const { return m_slots; }
    static constexpr int kSlots = 128;

    const Entry *find(const char *upper, size_t size, uint32_t h) const
    {
        if (size >= sizeof(Entry::name))
            return nullptr;
        for (uint32_t i = mix(h) & kMask; m_slots[i].kind != Empty; i = (i + 1) & kMask) {
            const Entry &e = m_slots[i];
            if (e.size == size && std::memcmp(e.name, upper, size) == 0)
                return &e;
        }
        return nullptr;
    }

private:
    static constexpr uint32_t kMask = 127;
    static uint32_t mix(uint32_t h) { return (h ^ (h >> 7) ^ (h >> 15)); }

    void add(std::string_view name, Kind kind, int index)
    {
        uint32_t h = 0;
        for (char c : name)
            h = step(h, static_cast<unsigned char>(c));
        uint32_t i = mix(h) & kMask;
        while (m_slots[i].kind != Empty)
            i = (i + 1) & kMask;
        Entry &e = m_slots[i];
        std::memcpy(e.name, name.data(), name.size());
        e.size = uint8_t(name.size());
        e.kind = kind;
        e.index = uint8_t(index);
    }

    Entry m_slots[kMask + 1];
};

const KnownTags &knownTags()
{
    static const KnownTags tags;
    return tags;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

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

// What one tag says: a field with its data, the end of the header or of a record.
enum class Tag { Field, EndOfHeader, EndOfRecord };

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
        m_fileSize = m_source.size();
        if (const QByteArray *all = m_source.memory()) {
            m_data = all->constData();
            m_end = size_t(all->size());
            m_eof = true;
            m_hash.add(m_data, m_end);
            if (m_utf8) {
                Utf8Check check;
                if (!check.add(m_data, m_end) || !check.finish())
                    return AdiOutcome::NotUtf8;
            }
        } else {
            m_buffer.resize(size_t(std::clamp<qint64>(m_fileSize + 1, 4096, qint64(kChunk))));
            m_data = m_buffer.data();
            if (!fill())
                return m_outcome;
        }
        if (m_end == 0)
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
    AdiOutcome refuse(qint64 offset, const QString &reason)
    {
        m_refusal.offset = offset;
        m_refusal.reason = reason;
        return AdiOutcome::Refused;
    }

    // More bytes after m_end, keeping those from `keep` on (moved to the front). False when
    // the reading has to stop: m_outcome says why. At the end of the file m_eof is set.
    bool fill(size_t keep = 0)
    {
        if (m_eof)
            return true;
        if (keep > 0) {
            std::memmove(m_buffer.data(), m_buffer.data() + keep, m_end - keep);
            m_end -= keep;
            m_base += qint64(keep);
        }
        if (m_end == m_buffer.size())
            m_buffer.resize(m_buffer.size() * 2);
        m_data = m_buffer.data();
        const qint64 n = m_source.read(m_buffer.data() + m_end, qint64(m_buffer.size() - m_end));
        if (n < 0) {
            m_refusal.unreadable = true;
            m_refusal.offset = m_base + qint64(m_end);
            m_refusal.reason = m_source.errorString();
            m_outcome = AdiOutcome::Refused;
            return false;
        }
        m_hash.add(m_buffer.data() + m_end, size_t(n));
        if (m_utf8 && !m_check.add(m_buffer.data() + m_end, size_t(n))) {
            m_outcome = AdiOutcome::NotUtf8;
            return false;
        }
        m_end += size_t(n);
        m_read += n;
        if (n == 0) {
            m_eof = true;
            m_fileSize = m_read; // a file that changed meanwhile ends where its bytes end
            if (m_utf8 && !m_check.finish()) {
                m_outcome = AdiOutcome::NotUtf8;
                return false;
            }
        }
        return true;
    }

    qint64 fileEnd() const { return m_eof ? m_base + qint64(m_end) : std::max(m_fileSize, m_base + qint64(m_end)); }

    enum class Step { Done, More, Stop };

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
        for (;;) {
            // The next tag is mostly right there, after one blank at most.
            const char *lt = m_pos < m_end && m_data[m_pos] == '<' ? m_data + m_pos
                             : m_pos + 1 < m_end && m_data[m_pos + 1] == '<' ? m_data + m_pos + 1
                             : static_cast<const char *>(std::memchr(m_data + m_pos, '<', m_end - m_pos));
            if (!lt) {
                if (!m_eof)
                    return Step::More;
                if (m_hasFields) // the last record without its <EOR>
                    finishRecord();
                return Step::Done;
            }
            const size_t tagStart = size_t(lt - m_data);
            Tag tag = Tag::Field;
            std::string_view name;
            size_t dataStart = 0, length = 0;
            const Step step = readTag(tagStart, tag, name, dataStart, length);
            if (step != Step::Done)
                return step;
            m_anyTag = true;
            if (tag != Tag::Field) {
                // The end of a record, or of the header: what came before was the header.
                if (tag == Tag::EndOfRecord && m_hasFields)
                    finishRecord();
                m_recordStart = m_pos;
                startRecord();
                continue;
            }
            size_t dataEnd = dataStart + length;
            if (m_utf8) {
                const Step fit = fitLength(dataStart, length, dataEnd);
                if (fit != Step::Done)
                    return fit;
            }
            const std::string_view value(m_data + dataStart, dataEnd - dataStart);
            if (m_known && m_known->kind == KnownTags::KnownField)
                store(m_known->index, false, value);
            else if (m_known && m_known->kind == KnownTags::OwnField)
                store(m_known->index, true, value);
            else
                takeField(name, value);
            m_hasFields = true;
            m_pos = dataEnd;
        }
    }

    // The tag at `at` ('<'): its name and, for a field, where its data starts and how long it
    // says it is. Sets m_pos after the '>'.
    Step readTag(size_t at, Tag &tag, std::string_view &name, size_t &dataStart, size_t &length)
    {
        size_t i = at + 1;
        const auto need = [&](size_t k) { return k >= m_end; };
        // A file repeats its tags record after record: the tags that followed this one lately are
        // tried first, byte for byte, before the name is scanned and looked up.
        const KnownTags::Entry **next = m_next[m_lastTag];
        int hit = -1;
        for (int k = 0; k < kGuesses && next[k]; ++k) {
            const KnownTags::Entry *guess = next[k];
            if (i + guess->size < m_end && sameBytes(m_data + i, guess->name, guess->size)
                && (m_data[i + guess->size] == ':' || m_data[i + guess->size] == '>')) {
                hit = k;
                break;
            }
        }
        if (hit >= 0) {
            m_known = next[hit];
            i += m_known->size;
        } else {
            scanName(i);
            hit = kGuesses - 1;
        }
        // The one just seen goes first.
        for (int k = hit; k > 0; --k)
            next[k] = next[k - 1];
        next[0] = m_known;
        m_lastTag = m_known ? int(m_known - knownTags().entries()) : KnownTags::kSlots;
        if (need(i))
            return m_eof ? stop(at, QStringLiteral("una etiqueta «<» no se cierra con «>» antes del final del archivo"))
                         : Step::More;
        name = std::string_view(m_data + at + 1, i - at - 1);
        return readRest(at, i, tag, name, dataStart, length);
    }

    // Whole words, the last one overlapping the one before when the size is not a multiple.
    static bool sameBytes(const char *a, const char *b, size_t n)
    {
        const auto word = [](const char *p) {
            uint64_t w;
            std::memcpy(&w, p, 8);
            return w;
        };
        if (n >= 8) {
            for (size_t k = 0; k + 8 <= n; k += 8) {
                if (word(a + k) != word(b + k))
                    return false;
            }
            return word(a + n - 8) == word(b + n - 8);
        }
        if (n >= 4) {
            uint32_t x, y, z, w;
            std::memcpy(&x, a, 4);
            std::memcpy(&y, b, 4);
            std::memcpy(&z, a + n - 4, 4);
            std::memcpy(&w, b + n - 4, 4);
            return x == y && z == w;
        }
        for (size_t k = 0; k < n; ++k) {
            if (a[k] != b[k])
                return false;
        }
        return true;
    }

    // The name from `i` on, its end in `i`, and m_known set when it is one this program knows.
    void scanName(size_t &i)
    {
        uint32_t h = 0;
        char upper[32];
        size_t n = 0;
        for (; i < m_end; ++i, ++n) {
            const auto c = static_cast<unsigned char>(m_data[i]);
            if (!kBytes.name[c] || n > kMaxName)
                break;
            const unsigned char u = kBytes.upper[c];
            if (n < sizeof upper)
                upper[n] = char(u);
            h = KnownTags::step(h, u);
        }
        m_known = knownTags().find(upper, n, h);
    }

    // The tag after its name (which ends at i, inside the bytes at hand).
    Step readRest(size_t at, size_t i, Tag &tag, std::string_view name, size_t &dataStart, size_t &length)
    {
        const auto need = [&](size_t k) { return k >= m_end; };
        const char after = m_data[i];
        if (name.empty() || (after != ':' && after != '>'))
            return stop(at, QStringLiteral("«%1» no es una etiqueta ADIF").arg(shownTag(at)));
        if (after == '>') {
            m_pos = i + 1;
            if (m_known && m_known->kind == KnownTags::EndOfRecord) {
                tag = Tag::EndOfRecord;
                return Step::Done;
            }
            if (m_known && m_known->kind == KnownTags::EndOfHeader) {
                tag = Tag::EndOfHeader;
                return Step::Done;
            }
            return stop(at, QStringLiteral("la etiqueta «%1» no dice la longitud de su dato").arg(shownName(name)));
        }
        // The length: digits only. Refused before anything is read or kept for it.
        ++i;
        const size_t digitsStart = i;
        uint64_t value = 0;
        bool huge = false;
        while (!need(i) && m_data[i] >= '0' && m_data[i] <= '9') {
            if (value > (UINT64_MAX - 9) / 10)
                huge = true;
            else
                value = value * 10 + uint64_t(m_data[i] - '0');
            ++i;
            if (i - digitsStart > 40)
                break;
        }
        if (need(i))
            return m_eof ? stop(at, QStringLiteral("una etiqueta «<» no se cierra con «>» antes del final del archivo"))
                         : Step::More;
        if (i == digitsStart) {
            if (m_data[i] == '-')
                return stop(at, QStringLiteral("el campo «%1» tiene una longitud negativa").arg(shownName(name)));
            return stop(at, QStringLiteral("la longitud del campo «%1» no es un número").arg(shownName(name)));
        }
        if (m_data[i] == ':') { // the data type indicator: letters
            ++i;
            while (!need(i) && ((m_data[i] | 0x20) >= 'a' && (m_data[i] | 0x20) <= 'z') && i - at <= kMaxName + 64)
                ++i;
            if (need(i))
                return m_eof ? stop(at, QStringLiteral("una etiqueta «<» no se cierra con «>» antes del final del archivo"))
                             : Step::More;
        }
        if (m_data[i] != '>')
            return stop(at, QStringLiteral("«%1» no es una etiqueta ADIF").arg(shownTag(at)));
        dataStart = i + 1;
        const qint64 left = fileEnd() - (m_base + qint64(dataStart));
        if (huge || value > uint64_t(left)) {
            return stop(at, QStringLiteral("el campo «%1» anuncia %2 bytes de dato y al archivo solo le quedan %3")
                                .arg(shownName(name), huge ? QStringLiteral("más de 10¹⁸") : QString::number(value),
                                     QString::number(left)));
        }
        length = size_t(value);
        if (dataStart + length > m_end)
            return Step::More; // the bytes are in the file, not yet in the buffer
        tag = Tag::Field;
        return Step::Done;
    }

    // Some programs count the length in characters. The byte count stands when it does not cut
    // a character and lands right before the next tag (blanks aside, or the end of the file);
    // otherwise a count of characters that does is taken; otherwise the bytes after all (ADIF
    // lets anything but '<' follow a field's data), with a character they cut taken whole, so
    // the value stays UTF-8.
    Step fitLength(size_t start, size_t length, size_t &end)
    {
        bool fits = false;
        Step step = landsWell(start + length, fits);
        if (step != Step::Done || fits)
            return step;
        size_t k = start;
        for (size_t chars = 0; chars < length && k < m_end; ++chars) {
            const auto b = static_cast<unsigned char>(m_data[k]);
            k += b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        }
        if (k >= m_end && !m_eof)
            return Step::More;
        if (k <= m_end) {
            step = landsWell(k, fits);
            if (step != Step::Done)
                return step;
            if (fits) {
                end = k;
                return Step::Done;
            }
        }
        end = start + length;
        while (end < m_end && (static_cast<unsigned char>(m_data[end]) & 0xC0) == 0x80)
            ++end;
        return end == m_end && !m_eof ? Step::More : Step::Done;
    }

    Step landsWell(size_t at, bool &fits)
    {
        fits = false;
        if (at < m_end && (static_cast<unsigned char>(m_data[at]) & 0xC0) == 0x80)
            return Step::Done;
        size_t k = at;
        while (k < m_end && isBlank(m_data[k]))
            ++k;
        if (k == m_end) {
            if (!m_eof)
                return Step::More;
            fits = true;
            return Step::Done;
        }
        fits = m_data[k] == '<';
        return Step::Done;
    }

    Step stop(size_t at, const QString &reason)
    {
        m_refusal.offset = m_base + qint64(at);
        m_refusal.reason = reason;
        m_outcome = AdiOutcome::Refused;
        return Step::Stop;
    }

    QString shownTag(size_t at) const
    {
        size_t k = at;
        while (k < m_end && k - at < 24 && m_data[k] != '>')
            ++k;
        if (k < m_end && m_data[k] == '>')
            ++k;
        return shownName(std::string_view(m_data + at, k - at));
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
    const char *m_data = nullptr;
    size_t m_end = 0, m_pos = 0, m_recordStart = 0;
    qint64 m_base = 0, m_fileSize = 0, m_read = 0;
    bool m_eof = false;
    bool m_anyTag = false;
    bool m_hasFields = false;
    Utf8Check m_check;

    const KnownTags::Entry *m_known = nullptr;
    static constexpr int kGuesses = 4;
    const KnownTags::Entry *m_next[KnownTags::kSlots + 1][kGuesses] = {}; // tags seen lately after each one
    int m_lastTag = KnownTags::kSlots;
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
