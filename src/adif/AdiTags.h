#pragma once
// One ADI tag at a time: its name (known names found at once), the length it gives its data,
// and where that data really ends. The reader owns the bytes; the scanner only looks at them.
#include "AdifFields.h"

#include <QString>
#include <QtGlobal>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace adif {

// The bytes at hand: data[0 .. end) is the file from byte `base` on.
struct AdiBuffer
{
    const char *data = nullptr;
    size_t end = 0;
    bool eof = false;      // the file ends at `end`
    qint64 base = 0;
    qint64 fileSize = 0;   // as known when the file was opened
    qint64 fileEnd() const { return eof ? base + qint64(end) : std::max(fileSize, base + qint64(end)); }
};

// Done: the step went through. More: it needs bytes after `end`, and the caller reads more and
// starts the record again. Stop: the file is refused (problem() says where and why).
enum class Step { Done, More, Stop };
enum class Tag { Field, EndOfHeader, EndOfRecord, NoLength };

inline constexpr size_t kMaxName = 256;

constexpr bool isNameByte(unsigned char c)
{
    return c > 0x20 && c < 0x7F && c != '<' && c != '>' && c != ':' && c != ',' && c != '{' && c != '}';
}

inline bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
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
inline constexpr ByteTables kBytes;

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

const KnownTags &knownTags();

class TagScanner
{
public:
    explicit TagScanner(const AdiBuffer &buffer) : m_buf(buffer), m_entries(knownTags().entries()) {}

    // The tag at `at` ('<'): its name and, for a field, where its data starts and the length it
    // gives. For the end of a record or of the header, or a tag that gives no length, after() is
    // the byte after the '>'.
    Step read(size_t at, Tag &tag, std::string_view &name, size_t &dataStart, size_t &length);
    // Where the data of a field really ends (see the .cpp), for UTF-8 text. Mostly the next tag
    // follows at once, or after one blank.
    Step fitLength(size_t start, size_t length, size_t &end)
    {
        const size_t e = start + length;
        if (e + 1 < m_buf.end && (m_buf.data[e] == '<' || (m_buf.data[e] == ' ' && m_buf.data[e + 1] == '<'))) {
            end = e;
            return Step::Done;
        }
        return fitLengthSlowly(start, length, end);
    }
    // The name just read when this program knows it, else null.
    const KnownTags::Entry *known() const { return m_known; }
    size_t after() const { return m_after; }
    size_t problemAt() const { return m_problemAt; }
    const QString &problem() const { return m_problem; }

private:
    Step fitLengthSlowly(size_t start, size_t length, size_t &end);
    Step readRest(size_t at, size_t i, Tag &tag, std::string_view name, size_t &dataStart, size_t &length);
    void scanName(size_t &i);
    Step landsWell(size_t at, bool &fits);
    QString shownTag(size_t at) const;
    Step stop(size_t at, const QString &reason)
    {
        m_problemAt = at;
        m_problem = reason;
        return Step::Stop;
    }
    static bool sameBytes(const char *a, const char *b, size_t n);

    const AdiBuffer &m_buf;
    const KnownTags::Entry *m_entries;
    const KnownTags::Entry *m_known = nullptr;
    size_t m_after = 0;
    size_t m_problemAt = 0;
    QString m_problem;
    static constexpr int kGuesses = 4;
    const KnownTags::Entry *m_next[KnownTags::kSlots + 1][kGuesses] = {}; // tags seen lately after each one
    int m_lastTag = KnownTags::kSlots;
};

// Whole words, the last one overlapping the one before when the size is not a multiple.
inline bool TagScanner::sameBytes(const char *a, const char *b, size_t n)
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

inline Step TagScanner::landsWell(size_t at, bool &fits)
{
    fits = false;
    if (at < m_buf.end && (static_cast<unsigned char>(m_buf.data[at]) & 0xC0) == 0x80)
        return Step::Done;
    size_t k = at;
    while (k < m_buf.end && isBlank(m_buf.data[k]))
        ++k;
    if (k == m_buf.end) {
        if (!m_buf.eof)
            return Step::More;
        fits = true;
        return Step::Done;
    }
    fits = m_buf.data[k] == '<';
    return Step::Done;
}

} // namespace adif
