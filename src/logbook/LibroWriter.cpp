// Saving a log book: its contacts as quoted Windows-1252 lines, or no file at all.
#include "LibroFile.h"
#include "common/FileErrors.h"

#include "common/Cp1252.h"
#include "common/GridModel.h"
#include "common/QuotedLines.h"
#include "common/Utf8.h"

#include <QDir>
#include <QFileInfo>
#include <QtAlgorithms>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <optional>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// A contact as the user finds it in the table: its row, and its call sign when it has one.
QString contactAt(const GridModel &libro, int row, const QString &prefix)
{
    const QString call = libro.TextMatrix(row, 1);
    return call.isEmpty() ? u"%1 %2"_s.arg(prefix, QString::number(row))
                          : u"%1 %2 (%3)"_s.arg(prefix, QString::number(row), call);
}

QString headingOf(const GridModel &libro, int col)
{
    const QString heading = libro.TextMatrix(0, col);
    return quotedName(heading.isEmpty() ? QString::number(col) : heading);
}

QString characterAt(const GridModel &libro, int row, int col)
{
    const QString value = libro.TextMatrix(row, col);
    const qsizetype bad = cp1252::firstUnstorable(value);
    return bad >= 0 ? describeCharacter(value, bad) : u"que no es texto"_s;
}

// Every cell from `row` on that a log book cannot hold (the first ten named), so that the user
// changes them all before trying again, not one per try.
LibroWrite unstorable(const GridModel &libro, const QString &name, int64_t row)
{
    constexpr int kNamed = 10;
    const GridStore &store = libro.store();
    std::vector<std::string_view> cells(size_t(store.cols()));
    std::vector<std::pair<int, int>> named;
    int64_t count = 0;
    for (int64_t r = row; r < store.rows(); ++r) {
        store.rowCells(r, cells.data());
        for (int c = 1; c < store.cols(); ++c) {
            if (!cp1252::storable(cells[size_t(c)]) && ++count <= kNamed)
                named.emplace_back(int(r), c);
        }
    }
    if (count == 1) {
        const auto [r, c] = named.front();
        return {false, u"No se pudo guardar el archivo %1: %2, columna %3, contiene el carácter %4, que un libro de "
                       u"guardia no admite. Cámbielo y vuelva a guardar."_s
                           .arg(quotedName(name), contactAt(libro, r, u"el contacto de la fila"_s), headingOf(libro, c),
                                characterAt(libro, r, c))};
    }
    QStringList where;
    for (const auto &[r, c] : named)
        where << u"%1, columna %2: %3"_s.arg(contactAt(libro, r, u"fila"_s), headingOf(libro, c), characterAt(libro, r, c));
    const QString more = count > kNamed ? u"; y %1 más"_s.arg(count - kNamed) : QString();
    return {false, u"No se pudo guardar el archivo %1: %2 celdas contienen caracteres que un libro de guardia no "
                   u"admite (%3%4). Cámbielos, con «Edición > Remplazar» si quiere, y vuelva a guardar."_s
                       .arg(quotedName(name), QString::number(count), where.join(u"; "_s), more)};
}

// Quoted value lines, many contacts at a time, handed to the writer in large pieces: one
// call per value would cost more than the value. A CR LF inside a value would end its line, so
// it becomes a lone LF (so do CRs just before it); a lone CR or LF is kept, since only CR LF
// ends a line of the file.
class LineBlock
{
public:
    LineBlock() : m_latin(latinBytes()) {}

    enum class Added { Ok, Nul, Unhandled };

    // Adds '"' text '"' CR LF from the table's UTF-8. ASCII and the Latin-1 letters of Spanish
    // text are encoded here; anything else is Unhandled (and nothing is added), for the
    // caller to encode with the code page's converter and add with addEncoded().
    Added addUtf8(std::string_view text) { return add(text, true); }
    Added addEncoded(std::string_view bytes) { return add(bytes, false); }

    bool full() const { return m_size >= kPiece; }

    // Everything added so far. The writer ends what it is given with CR LF itself, so the
    // block's own last line end is left out.
    void handTo(QuotedLineWriter &writer)
    {
        if (m_size < 2)
            return;
        writer.writeBare(std::string_view(m_buffer.data(), m_size - 2));
        m_size = 0;
    }

private:
    Added add(std::string_view text, bool utf8)
    {
        const size_t n = text.size();
        if (m_buffer.size() - m_size < n + 4)
            m_buffer.resize(std::max(m_buffer.size() * 2, m_size + n + 4));
        char *out = m_buffer.data() + m_size;
        const auto *in = reinterpret_cast<const unsigned char *>(text.data());
        out[0] = '"';
        size_t o = 1;
        size_t i = 0;
        if (n > 0 && n < 4) {
            // One to three bytes: the first, the middle and the last cover them all; the other
            // bytes of the word are plain filler.
            const unsigned char first = in[0], middle = in[n / 2], last = in[n - 1];
            if (!specialBytes(0x6161616161000000u | uint64_t(last) << 16 | uint64_t(middle) << 8 | first)) {
                out[1] = char(first);
                out[1 + n / 2] = char(middle);
                out[n] = char(last);
                i = n;
                o = 1 + n;
            }
        } else if (n >= 4 && n < 8) {
            // Most values are shorter than a word: two halves that overlap when need be.
            uint32_t lo, hi;
            std::memcpy(&lo, in, 4);
            std::memcpy(&hi, in + n - 4, 4);
            if (!specialBytes(uint64_t(hi) << 32 | lo)) {
                std::memcpy(out + 1, &lo, 4);
                std::memcpy(out + 1 + n - 4, &hi, 4);
                i = n;
                o = 1 + n;
            }
        }
        while (i < n) {
            // Eight plain bytes at a time: 0x01 .. 0x7F other than CR go out as they are.
            if (i + 8 <= n) {
                uint64_t w;
                std::memcpy(&w, in + i, 8);
                std::memcpy(out + o, &w, 8); // bytes from a special one on are written again
                const uint64_t special = specialBytes(w);
                if (!special) {
                    i += 8;
                    o += 8;
                    continue;
                }
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
                // The lowest flagged byte is a special one: a byte is flagged wrongly only
                // above a byte that matched, which is flagged itself.
                const size_t plain = qCountTrailingZeroBits(special) / 8;
                i += plain;
                o += plain;
#endif
            }
            const unsigned char b = in[i];
            if (b - 1u < 0x7Fu && b != '\r') {
                out[o++] = char(b);
                ++i;
            } else if (b == '\r') {
                // CRs that end in an LF become that LF; others stay. The result never holds a
                // CR LF ("\r\r\n" kept as "\r\n" would end the line).
                size_t j = i;
                while (j < n && in[j] == '\r')
                    ++j;
                if (j < n && in[j] == '\n') {
                    out[o++] = '\n';
                    i = j + 1;
                } else {
                    for (; i < j; ++i)
                        out[o++] = '\r';
                }
            } else if (b == 0) {
                return Added::Nul;
            } else if (!utf8) {
                out[o++] = char(b);
                ++i;
            } else if ((b == 0xC2 || b == 0xC3) && i + 1 < n && (in[i + 1] & 0xC0) == 0x80
                       && m_latin[size_t(((b & 0x01) << 6) | (in[i + 1] & 0x3F))] >= 0) {
                out[o++] = char(m_latin[size_t(((b & 0x01) << 6) | (in[i + 1] & 0x3F))]);
                i += 2;
            } else {
                return Added::Unhandled;
            }
        }
        std::memcpy(out + o, "\"\r\n", 3);
        m_size += o + 3;
        return Added::Ok;
    }

    // High bits set in the bytes of w that are zero, above ASCII or CR; exact as to whether
    // there is one (no byte borrows unless a byte that matched is below it).
    static uint64_t specialBytes(uint64_t w)
    {
        constexpr uint64_t kOnes = 0x0101010101010101u, kHigh = 0x8080808080808080u;
        const uint64_t x = w ^ (kOnes * '\r');
        return (((w - kOnes) | w) | ((x - kOnes) & ~x)) & kHigh;
    }

    // U+0080 .. U+00FF (two UTF-8 bytes led by C2 or C3) to their byte, -1 where the code page
    // has none; filled once from the code page's own converter.
    using Table = std::array<int16_t, 128>;
    static const Table &latinBytes()
    {
        static const Table table = [] {
            Table t{};
            for (int cp = 0x80; cp <= 0xFF; ++cp) {
                qsizetype bad = -1;
                const QByteArray byte = cp1252::fromUnicode(QString(QChar(cp)), &bad);
                t[size_t(cp - 0x80)] = bad < 0 && byte.size() == 1 ? int16_t(uint8_t(byte.at(0))) : int16_t(-1);
            }
            return t;
        }();
        return table;
    }

    static constexpr size_t kPiece = size_t(256) << 10;
    const Table &m_latin;
    std::string m_buffer = std::string(kPiece + 4096, '\0');
    size_t m_size = 0;
};

} // namespace

LibroWrite EscribirLibro(const GridModel &libro, const QString &path, const QString &shownName)
{
    const QString name = shownName.isEmpty() ? path : shownName;
    const GridStore &store = libro.store();
    const int cols = store.cols();
    const int64_t contacts = store.rows() - 1; // row 0 holds the headings

    QuotedLineWriter writer(path);
    if (!writer.open())
        return {false, QStringLiteral("No se pudo guardar el archivo %1: %2.").arg(quotedName(name), writeReason(path, writer.errorString()))};

    char count[24];
    const auto written = std::to_chars(count, count + sizeof count, contacts);
    writer.writeBare(std::string_view(count, size_t(written.ptr - count)));

    LineBlock block;
    std::string encoded;
    std::vector<std::string_view> cells(static_cast<size_t>(cols));
    for (int64_t r = 1; r <= contacts; ++r) {
        store.rowCells(r, cells.data());
        for (int c = 1; c < cols; ++c) {
            const std::string_view text = cells[size_t(c)];
            LineBlock::Added added = block.addUtf8(text);
            if (added == LineBlock::Added::Unhandled) {
                encoded.clear();
                // Never a '?' in place of what the table holds: the file must read back as
                // the table is. The writer is dropped uncommitted, so the old file stays.
                if (!cp1252::appendFromUtf8(encoded, text))
                    return unstorable(libro, name, r);
                added = block.addEncoded(encoded);
            }
            if (added == LineBlock::Added::Nul)
                return unstorable(libro, name, r);
        }
        if (block.full())
            block.handTo(writer);
    }
    block.handTo(writer);
    if (!writer.commit())
        return {false, QStringLiteral("No se pudo guardar el archivo %1: %2.").arg(quotedName(name), writeReason(path, writer.errorString()))};
    return {true, QString(), writer.hash(), writer.size()};
}
