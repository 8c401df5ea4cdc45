#include "AdiTags.h"

#include "AdifReaders.h"

#include <utility>

namespace adif {

const KnownTags &knownTags()
{
    static const KnownTags tags;
    return tags;
}

// Whether the tag name from `i` on is `guess`, in capitals or small letters, with the end of
// the name right after it.
inline bool TagScanner::isGuess(const KnownTags::Entry *guess, size_t i) const
{
    if (!guess || i + guess->size >= m_buf.end)
        return false;
    const char after = m_buf.data[i + guess->size];
    return (after == ':' || after == '>')
           && (sameBytes(m_buf.data + i, guess->name, guess->size) || sameBytes(m_buf.data + i, guess->lower, guess->size));
}

Step TagScanner::read(size_t at, Tag &tag, std::string_view &name, size_t &dataStart, size_t &length)
{
    size_t i = at + 1;
    // A file repeats its tags record after record: the tags that followed this one lately
    // are tried first, byte for byte, before the name is scanned and looked up.
    Guess *next = m_last->guess;
    int k = 0;
    while (k < kGuesses && !isGuess(next[k].entry, i))
        ++k;
    if (k < kGuesses) {
        m_known = next[k].entry;
        i += m_known->size;
        if (k > 0)
            std::swap(next[k - 1], next[k]);
    } else {
        scanName(i);
        if (i < m_buf.end) {
            std::move_backward(next, next + kGuesses - 1, next + kGuesses);
            next[0] = Guess{m_known, &successorsOf(m_known)};
        }
    }
    m_last = &successorsOf(m_known);
    if (i >= m_buf.end)
        return m_buf.eof ? stop(at, QStringLiteral("una etiqueta «<» no se cierra con «>» antes del final del archivo"))
                     : Step::More;
    name = std::string_view(m_buf.data + at + 1, i - at - 1);
    return readRest(at, i, tag, name, dataStart, length);
}

size_t TagScanner::readFields(size_t at, Fields &fields, bool &missed)
{
    missed = false;
    for (;;) {
        size_t dataStart = 0, length = 0;
        const int k = usual(*m_last, m_buf.data, m_buf.end, at, dataStart, length);
        if (k < 0) {
            missed = true;
            return at;
        }
        const KnownTags::Entry *entry = m_last->guess[k].entry;
        if (entry->kind != KnownTags::KnownField && entry->kind != KnownTags::OwnField)
            return at;
        const size_t next = tagAfter(dataStart + length);
        if (next == ~size_t(0))
            return at;
        take(*m_last, k);
        const std::string_view value(m_buf.data + dataStart, length);
        if (entry->kind == KnownTags::KnownField)
            fields.set(Field(entry->index), value);
        else
            fields.setApp(entry->index, value);
        at = next;
    }
}

// tagAfter() for the rarer cases: a line end or a tab after the data, or data that ends near
// the end of the bytes at hand.
size_t TagScanner::tagAfterBlanks(size_t end) const
{
    size_t k = end;
    while (k < m_buf.end && k < end + 2 && isBlank(m_buf.data[k]))
        ++k;
    return k < m_buf.end && m_buf.data[k] == '<' ? k : ~size_t(0);
}

// The name from `i` on, its end in `i`, and m_known set when it is one this program knows.
void TagScanner::scanName(size_t &i)
{
    uint32_t h = 0;
    char upper[32];
    size_t n = 0;
    for (; i < m_buf.end; ++i, ++n) {
        const auto c = static_cast<unsigned char>(m_buf.data[i]);
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
Step TagScanner::readRest(size_t at, size_t i, Tag &tag, std::string_view name, size_t &dataStart, size_t &length)
{
    const auto need = [&](size_t k) { return k >= m_buf.end; };
    const char after = m_buf.data[i];
    if (name.empty() || (after != ':' && after != '>'))
        return stop(at, QStringLiteral("«%1» no es una etiqueta ADIF").arg(shownTag(at)));
    if (after == '>') {
        m_after = i + 1;
        if (m_known && m_known->kind == KnownTags::EndOfRecord) {
            tag = Tag::EndOfRecord;
            return Step::Done;
        }
        if (m_known && m_known->kind == KnownTags::EndOfHeader) {
            tag = Tag::EndOfHeader;
            return Step::Done;
        }
        tag = Tag::NoLength; // the reader knows whether it may stand here
        return Step::Done;
    }
    // The length: digits only. Refused before anything is read or kept for it.
    ++i;
    const size_t digitsStart = i;
    uint64_t value = 0;
    bool huge = false;
    if (i + 8 <= m_buf.end)
        i += shortNumber(m_buf.data + i, value);
    // Near the end of the bytes at hand, or a number of more than seven digits: digit by digit.
    while (!need(i) && m_buf.data[i] >= '0' && m_buf.data[i] <= '9') {
        if (value > (UINT64_MAX - 9) / 10)
            huge = true;
        else
            value = value * 10 + uint64_t(m_buf.data[i] - '0');
        ++i;
        if (i - digitsStart > 40)
            break;
    }
    if (need(i))
        return m_buf.eof ? stop(at, QStringLiteral("una etiqueta «<» no se cierra con «>» antes del final del archivo"))
                     : Step::More;
    if (i == digitsStart) {
        if (m_buf.data[i] == '-')
            return stop(at, QStringLiteral("el campo «%1» tiene una longitud negativa").arg(shownName(name)));
        return stop(at, QStringLiteral("la longitud del campo «%1» no es un número").arg(shownName(name)));
    }
    if (m_buf.data[i] == ':') { // the data type indicator: letters
        ++i;
        while (!need(i) && ((m_buf.data[i] | 0x20) >= 'a' && (m_buf.data[i] | 0x20) <= 'z') && i - at <= kMaxName + 64)
            ++i;
        if (need(i))
            return m_buf.eof ? stop(at, QStringLiteral("una etiqueta «<» no se cierra con «>» antes del final del archivo"))
                         : Step::More;
    }
    if (m_buf.data[i] != '>')
        return stop(at, QStringLiteral("«%1» no es una etiqueta ADIF").arg(shownTag(at)));
    dataStart = i + 1;
    const qint64 left = m_buf.fileEnd() - (m_buf.base + qint64(dataStart));
    if (huge || value > uint64_t(left)) {
        return stop(at, QStringLiteral("el campo «%1» anuncia %2 bytes de dato y al archivo solo le quedan %3")
                            .arg(shownName(name), huge ? QStringLiteral("más de 10¹⁸") : QString::number(value),
                                 QString::number(left)));
    }
    length = size_t(value);
    if (dataStart + length > m_buf.end)
        return Step::More; // the bytes are in the file, not yet in the buffer
    tag = Tag::Field;
    return Step::Done;
}

// Some programs count the length in characters. The byte count stands when it does not cut
// a character and lands right before the next tag (blanks aside, or the end of the file);
// otherwise a count of characters that does is taken; otherwise the bytes after all (ADIF
// lets anything but '<' follow a field's data), with a character they cut taken whole, so
// the value stays UTF-8.
Step TagScanner::fitLength(size_t start, size_t length, size_t &end)
{
    bool fits = false;
    Step step = landsWell(start + length, fits);
    if (step != Step::Done || fits)
        return step;
    size_t k = start;
    for (size_t chars = 0; chars < length && k < m_buf.end; ++chars) {
        const auto b = static_cast<unsigned char>(m_buf.data[k]);
        k += b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    }
    if (k >= m_buf.end && !m_buf.eof)
        return Step::More;
    if (k <= m_buf.end) {
        step = landsWell(k, fits);
        if (step != Step::Done)
            return step;
        if (fits) {
            end = k;
            return Step::Done;
        }
    }
    end = start + length;
    while (end < m_buf.end && (static_cast<unsigned char>(m_buf.data[end]) & 0xC0) == 0x80)
        ++end;
    return end == m_buf.end && !m_buf.eof ? Step::More : Step::Done;
}

QString TagScanner::shownTag(size_t at) const
{
    size_t k = at;
    while (k < m_buf.end && k - at < 24 && m_buf.data[k] != '>')
        ++k;
    if (k < m_buf.end && m_buf.data[k] == '>')
        ++k;
    return shownName(std::string_view(m_buf.data + at, k - at));
}

} // namespace adif
