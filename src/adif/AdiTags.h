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

// The value of the digits the 8 bytes at `p` start with, up to seven of them, in `value`, and
// how many they are: without a branch per digit.
inline size_t shortNumber(const char *p, uint64_t &value)
{
    constexpr uint64_t kHigh = 0x8080808080808080ull, kZeros = 0x3030303030303030ull;
    uint64_t w;
    std::memcpy(&w, p, 8);
    // A byte is a digit when adding 0x46 leaves it below 0x80 and taking 0x30 does not borrow;
    // bytes before the first other one carry nothing into it, so that one is found exactly.
    const uint64_t other = ((w + 0x4646464646464646ull) | (w - kZeros)) & kHigh;
    const size_t digits = std::min<size_t>(other ? size_t(__builtin_ctzll(other)) / 8 : 8, 7);
    if (digits == 0)
        return 0;
    // The digits to the top of the word, zeros before them, then pairs, fours and eights of
    // digits joined by multiplying.
    uint64_t d = (w - kZeros) << (8 * (8 - digits));
    d = d * 10 + (d >> 8);
    d = (((d & 0x000000FF000000FFull) * 0x000F424000000064ull)
         + (((d >> 16) & 0x000000FF000000FFull) * 0x0000271000000001ull)) >> 32;
    value = d;
    return digits;
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
        char lower[32]; // as programs that write their tags in small letters have it
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

    static uint32_t hashOf(std::string_view upper)
    {
        uint32_t h = 0;
        for (char c : upper)
            h = step(h, static_cast<unsigned char>(c));
        return h;
    }
    const Entry *find(std::string_view upper) const { return find(upper.data(), upper.size(), hashOf(upper)); }
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
        uint32_t i = mix(hashOf(name)) & kMask;
        while (m_slots[i].kind != Empty)
            i = (i + 1) & kMask;
        Entry &e = m_slots[i];
        std::memcpy(e.name, name.data(), name.size());
        for (size_t k = 0; k < name.size(); ++k)
            e.lower[k] = name[k] >= 'A' && name[k] <= 'Z' ? char(name[k] - 'A' + 'a') : name[k];
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
    explicit TagScanner(const AdiBuffer &buffer)
        : m_buf(buffer), m_entries(knownTags().entries()), m_endOfRecord(knownTags().find("EOR")),
          m_afterEndOfRecord(&successorsOf(m_endOfRecord))
    {
    }
    TagScanner(const TagScanner &) = delete; // holds pointers into itself
    TagScanner &operator=(const TagScanner &) = delete;

    // The tag at `at` ('<'): its name and, for a field, where its data starts and the length it
    // gives. For the end of a record or of the header, or a tag that gives no length, after() is
    // the byte after the '>'.
    Step read(size_t at, Tag &tag, std::string_view &name, size_t &dataStart, size_t &length);
    // Where the data of a field really ends (see the .cpp), for UTF-8 text whose next tag does
    // not follow the data at once, nor after one blank.
    Step fitLength(size_t start, size_t length, size_t &end);
    // The usual tag: one of the fields that followed the last tag lately, its name in
    // capitals, a length of up to six digits and no type, and its data in the bytes at hand.
    // Read at once (true), or left to read().
    bool readUsual(size_t at, size_t &dataStart, size_t &length)
    {
        const int k = usual(*m_last, m_buf.data, m_buf.end, at, dataStart, length);
        if (k < 0)
            return false;
        m_known = take(*m_last, k);
        return true;
    }
    // Where the next tag starts when it follows data that ends at `end` at once or after one
    // or two blanks (a space, a line end): mostly it does, and the length stands as given.
    // Else ~0.
    size_t tagAfter(size_t end) const
    {
        if (end + 1 < m_buf.end) {
            if (m_buf.data[end] == '<')
                return end;
            if (m_buf.data[end] == ' ' && m_buf.data[end + 1] == '<')
                return end + 1;
        }
        return tagAfterBlanks(end);
    }
    // Usual tags from `at` on, while each is a field this program knows and tagAfter() finds
    // the next tag after its data: their values into `fields` (as UTF-8 text is kept,
    // the bytes themselves). Where the first tag not taken starts; `missed` when it is no
    // usual tag at all, so that readUsual() need not try it again.
    size_t readFields(size_t at, Fields &fields, bool &missed);
    // "<EOR>" in capitals, as most files end their records: read at once (true), or left to
    // read().
    bool readEndOfRecord(size_t at)
    {
        if (at + 5 > m_buf.end || std::memcmp(m_buf.data + at, "<EOR>", 5) != 0)
            return false;
        m_known = m_endOfRecord;
        m_last = m_afterEndOfRecord;
        m_after = at + 5;
        return true;
    }
    // The name just read when this program knows it, else null.
    const KnownTags::Entry *known() const { return m_known; }
    size_t after() const { return m_after; }
    size_t problemAt() const { return m_problemAt; }
    const QString &problem() const { return m_problem; }

private:
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
    size_t tagAfterBlanks(size_t end) const;
    struct Successors;
    static int usual(const Successors &next, const char *data, size_t end, size_t at, size_t &dataStart,
                     size_t &length);
    const KnownTags::Entry *take(Successors &next, int k);

    const AdiBuffer &m_buf;
    const KnownTags::Entry *m_entries;
    const KnownTags::Entry *m_endOfRecord;
    const KnownTags::Entry *m_known = nullptr;
    size_t m_after = 0;
    size_t m_problemAt = 0;
    QString m_problem;
    bool isGuess(const KnownTags::Entry *guess, size_t i) const;
    // The tags seen lately after each one (after none: the last slot), each with its own, so
    // that going from a tag to the next guess is one load, not a lookup. Four: fields a
    // program leaves out when empty give a tag several that may follow it.
    static constexpr int kGuesses = 4;
    struct Guess
    {
        const KnownTags::Entry *entry = nullptr;
        Successors *then = nullptr;
    };
    struct Successors
    {
        Guess guess[kGuesses];
    };
    Successors &successorsOf(const KnownTags::Entry *e)
    {
        return m_next[e ? e - m_entries : KnownTags::kSlots];
    }
    Successors m_next[KnownTags::kSlots + 1];
    Successors *const m_afterEndOfRecord;
    Successors *m_last = &m_next[KnownTags::kSlots];
};

// Which of `next` the tag at `at` of data[0 .. end) is, as readUsual() wants it, with where its
// data starts and its length; -1 when none.
inline int TagScanner::usual(const Successors &next, const char *data, size_t end, size_t at, size_t &dataStart,
                             size_t &length)
{
    const char *name = data + at + 1;
    for (int k = 0; k < kGuesses; ++k) {
        const KnownTags::Entry *guess = next.guess[k].entry;
        if (!guess || at + guess->size + 10 > end) // '<', name, ':' and 8 bytes for the digits
            return -1;
        if (name[guess->size] != ':' || !sameBytes(name, guess->name, guess->size))
            continue;
        // Lengths are mostly one or two digits: read at once, so that where the data ends
        // waits on two bytes and not on the whole number's arithmetic.
        const auto *digit = reinterpret_cast<const unsigned char *>(name + guess->size + 1);
        uint64_t value = digit[0] - unsigned('0');
        size_t digits = 1;
        if (value >= 10 || digit[1] != '>') {
            if (value < 10 && unsigned(digit[1] - '0') < 10 && digit[2] == '>') {
                value = value * 10 + unsigned(digit[1] - '0');
                digits = 2;
            } else {
                digits = shortNumber(name + guess->size + 1, value);
                if (digits == 0 || digits == 7 || name[guess->size + 1 + digits] != '>')
                    return -1;
            }
        }
        const size_t close = at + guess->size + 2 + digits;
        if (value > end - close - 1)
            return -1;
        dataStart = close + 1;
        length = size_t(value);
        return k;
    }
    return -1;
}

// The tag just read was guess k of `next`: the ones that come often move to the front.
inline const KnownTags::Entry *TagScanner::take(Successors &next, int k)
{
    const Guess g = next.guess[k];
    if (k > 0)
        std::swap(next.guess[k - 1], next.guess[k]);
    m_last = g.then;
    return g.entry;
}

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
