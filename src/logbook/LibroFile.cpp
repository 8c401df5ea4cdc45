// Opening a log book: its quoted lines into a table, as Windows-1252 or, after a byte-order
// mark, as UTF-8.
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

constexpr int kValuesPerContact = kLibroCols - 1;
// The shortest a contact can be on disk: sixteen lines of two quotes and a one-byte line end.
constexpr qint64 kMinContactBytes = kValuesPerContact * 3;

std::string_view trimBlanks(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// The start of a line as text for a message, never a whole binary blob.
QString shownLine(std::string_view line)
{
    constexpr size_t kMax = 24;
    QString text = cp1252::toUnicode(line.substr(0, kMax));
    for (QChar &c : text) {
        if (c.category() == QChar::Other_Control)
            c = u'?';
    }
    return line.size() > kMax ? text + u'…' : text;
}

// The sixteen values of one contact as UTF-8, side by side in one buffer that is reused for
// every contact. Values are a few bytes each, so a call into the converter per value would
// cost more than the conversion: bytes above ASCII are looked up in a table filled once from
// the code page's own converter.
class ContactText
{
public:
    ContactText() : m_high(highBytes()) {}

    void clear() { m_size = 0; }
    size_t size() const { return m_size; }
    const char *data() const { return m_buffer.data(); }
    // Every byte of the buffer, past the text too: a copy may read beyond a value's end.
    std::string_view whole() const { return {m_buffer.data(), m_buffer.size()}; }

    // False when the bytes hold a NUL.
    bool append(std::string_view bytes)
    {
        const size_t n = bytes.size();
        if (m_buffer.size() - m_size < 3 * n)
            m_buffer.resize(std::max(m_buffer.size() * 2, m_size + 3 * n));
        char *out = m_buffer.data() + m_size;
        const auto *in = reinterpret_cast<const unsigned char *>(bytes.data());
        size_t i = 0, o = 0;
        // Eight bytes at a time while all of them are 0x01 .. 0x7F: no byte is zero, so
        // subtracting one borrows nowhere, and no result or byte has its top bit set.
        for (uint64_t w; i + 8 <= n; i += 8, o += 8) {
            std::memcpy(&w, in + i, 8);
            if (((w - 0x0101010101010101u) | w) & 0x8080808080808080u)
                break;
            std::memcpy(out + o, &w, 8);
        }
        for (; i < n; ++i) {
            const unsigned b = in[i];
            if (b - 1u < 0x7Fu) { // 0x01 .. 0x7F
                out[o++] = char(b);
                continue;
            }
            if (b == 0)
                return false;
            const Utf8 &u = m_high[b - 0x80];
            std::memcpy(out + o, u.bytes, 3); // room for three a byte was made above
            o += u.size;
        }
        m_size += o;
        return true;
    }

    // Bytes that are UTF-8 already (a file marked as UTF-8), as they are.
    void appendUtf8(std::string_view bytes)
    {
        if (m_buffer.size() - m_size < bytes.size())
            m_buffer.resize(std::max(m_buffer.size() * 2, m_size + bytes.size()));
        std::memcpy(m_buffer.data() + m_size, bytes.data(), bytes.size());
        m_size += bytes.size();
    }

    // The values of n quoted lines that lie one after the other in one buffer (as the reader
    // hands a contact over) into values[0 .. n-1], converted in one pass over the bytes from
    // the first line to the last: short values would otherwise each pay for a pass of their
    // own. The quotes and line ends in between are ASCII and come out as they went in, so a
    // value's place in the output is its place in the input plus what the bytes above ASCII
    // before it grew by. False when a line is shorter than two bytes or the lines hold a NUL:
    // the caller then looks line by line for what to report.
    bool appendLines(const std::string_view *lines, int n, std::string_view *values)
    {
        constexpr int kMaxLines = 32;
        if (n <= 0 || n > kMaxLines)
            return false;
        for (int k = 0; k < n; ++k) {
            if (lines[k].size() < 2)
                return false;
        }
        const char *const begin = lines[0].data();
        const size_t len = size_t(lines[n - 1].data() + lines[n - 1].size() - begin);
        // Where each value starts and ends in the input, in increasing order.
        size_t bounds[2 * kMaxLines];
        for (int k = 0; k < n; ++k) {
            bounds[2 * k] = size_t(lines[k].data() - begin) + 1;
            bounds[2 * k + 1] = size_t(lines[k].data() - begin) + lines[k].size() - 1;
        }
        size_t out[2 * kMaxLines];
        const int boundCount = 2 * n;

        if (m_buffer.size() - m_size < 3 * len)
            m_buffer.resize(std::max(m_buffer.size() * 2, m_size + 3 * len));
        char *const dst = m_buffer.data() + m_size;
        const auto *in = reinterpret_cast<const unsigned char *>(begin);
        size_t i = 0, grown = 0; // byte i of the input goes to dst[i + grown]
        int b = 0;
        for (;;) {
            for (uint64_t w; i + 8 <= len; i += 8) {
                std::memcpy(&w, in + i, 8);
                std::memcpy(dst + i + grown, &w, 8); // the bytes from a special one on are written again
                if (const uint64_t special = ((w - 0x0101010101010101u) | w) & 0x8080808080808080u) {
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
                    // The lowest flagged byte is a special one: a byte is only flagged wrongly
                    // above a zero byte, which is flagged itself.
                    i += qCountTrailingZeroBits(special) / 8;
#endif
                    break;
                }
            }
            for (; i < len && in[i] - 1u < 0x7Fu; ++i)
                dst[i + grown] = char(in[i]);
            if (i == len)
                break;
            const unsigned byte = in[i];
            if (byte == 0)
                return false;
            for (; b < boundCount && bounds[b] <= i; ++b)
                out[b] = bounds[b] + grown;
            const Utf8 &u = m_high[byte - 0x80];
            std::memcpy(dst + i + grown, u.bytes, 3); // room for three a byte was made above
            grown += u.size - 1u;
            ++i;
        }
        for (; b < boundCount; ++b)
            out[b] = bounds[b] + grown;
        for (int k = 0; k < n; ++k)
            values[k] = std::string_view(dst + out[2 * k], out[2 * k + 1] - out[2 * k]);
        m_size += len + grown;
        return true;
    }

private:
    struct Utf8
    {
        char bytes[3];
        uint8_t size;
    };
    using Table = std::array<Utf8, 128>;
    static const Table &highBytes()
    {
        static const Table table = [] {
            Table t{};
            std::string utf8;
            for (int b = 0x80; b <= 0xFF; ++b) {
                const char byte = char(b);
                utf8.clear();
                cp1252::appendAsUtf8(utf8, std::string_view(&byte, 1));
                Utf8 &u = t[size_t(b - 0x80)];
                u.size = uint8_t(std::min<size_t>(utf8.size(), 3));
                std::memcpy(u.bytes, utf8.data(), u.size);
            }
            return t;
        }();
        return table;
    }

    const Table &m_high;
    std::string m_buffer = std::string(size_t(16) << 10, '\0');
    size_t m_size = 0;
};

class ReadFailure
{
public:
    explicit ReadFailure(const QString &name) : m_name(quotedName(name)) {}

    LibroRead malformed(qint64 line, const QString &what) const
    {
        return fail(line, QStringLiteral("El archivo %1 no es un libro de guardia válido. Línea %2: %3.")
                              .arg(m_name, QString::number(line), what));
    }
    LibroRead unreadable(qint64 line, const QString &reason) const
    {
        if (line <= 0)
            return fail(0, QStringLiteral("No se pudo leer el archivo %1: %2.").arg(m_name, reason));
        return fail(line, QStringLiteral("No se pudo leer el archivo %1 (línea %2): %3.")
                              .arg(m_name, QString::number(line), reason));
    }
    LibroRead empty() const
    {
        return fail(1, QStringLiteral("El archivo %1 está vacío: no es un libro de guardia.").arg(m_name));
    }

private:
    static LibroRead fail(qint64 line, const QString &error)
    {
        LibroRead r;
        r.line = line;
        r.error = error;
        return r;
    }
    QString m_name;
};

} // namespace

namespace {

// Reads the file as Windows-1252, or as UTF-8 after its byte-order mark when `utf8`; in that
// case a byte sequence that is not UTF-8 sets *notUtf8 and gives up.
LibroRead readLibro(const QString &path, const ReadFailure &failure, bool utf8, bool *notUtf8)
{
    QuotedLineReader reader;
    if (!reader.open(path))
        return failure.unreadable(0, readReason(path, reader.errorString()));

    std::string_view line;
    if (!reader.next(line)) {
        if (reader.hasError())
            return failure.unreadable(1, spanishReason(reader.errorString()));
        return failure.empty();
    }

    if (!utf8 && line.substr(0, kUtf8Bom.size()) == kUtf8Bom)
        *notUtf8 = false; // worth a try as UTF-8
    if (utf8)
        line.remove_prefix(std::min(line.size(), kUtf8Bom.size()));

    // The count: a whole number of contacts, which the file must have room for. An absurd
    // count is refused before anything is allocated for it.
    std::string_view digits = trimBlanks(line);
    const bool negative = !digits.empty() && digits.front() == '-';
    if (negative)
        digits.remove_prefix(1);
    bool isNumber = !digits.empty();
    for (char ch : digits)
        isNumber = isNumber && ch >= '0' && ch <= '9';
    if (!isNumber)
        return failure.malformed(1, QStringLiteral("debería ser el número de contactos y es «%1»").arg(shownLine(line)));
    uint64_t count = 0;
    bool huge = false;
    for (char ch : digits) {
        if (count > (UINT64_MAX - 9) / 10) {
            huge = true;
            break;
        }
        count = count * 10 + uint64_t(ch - '0');
    }
    if (negative && (count > 0 || huge))
        return failure.malformed(1, QStringLiteral("el número de contactos es negativo (%1)").arg(shownLine(line)));
    const uint64_t room = uint64_t(reader.fileSize()) / uint64_t(kMinContactBytes);
    if (huge || count > room)
        return failure.malformed(1, QStringLiteral("anuncia %1 contactos, más de los que caben en sus %2 bytes")
                                        .arg(shownLine(trimBlanks(line)), QString::number(reader.fileSize())));

    LibroRead result;
    GridStore &rows = result.rows;
    rows.reserveRows(int64_t(count));
    ContactText values;
    size_t ends[kLibroCols] = {};
    std::string_view cells[kLibroCols];
    const qint64 totalLines = 1 + qint64(count) * kValuesPerContact;

    // The checks a line must pass, for a contact whose lines did not convert in one piece.
    const auto badLine = [&failure](std::string_view line, qint64 number) -> std::optional<LibroRead> {
        if (line.size() < 2)
            return failure.malformed(number, QStringLiteral("tiene menos de dos caracteres, "
                                                            "y cada dato va entre comillas"));
        // The enclosing characters are dropped unread, but a NUL is no text anywhere.
        if (std::memchr(line.data(), '\0', line.size()))
            return failure.malformed(number, QStringLiteral("contiene un byte nulo, y un libro de guardia es solo texto"));
        return std::nullopt;
    };

    std::string_view lines[kValuesPerContact];
    for (uint64_t contact = 0; contact < count; ++contact) {
        values.clear();
        // A whole contact at a time while its lines are at hand; line by line near the end of
        // the file or of what could be read.
        if (!utf8 && reader.nextLines(lines, kValuesPerContact)) {
            if (!values.appendLines(lines, kValuesPerContact, cells + 1)) {
                const qint64 first = reader.lineNumber() - kValuesPerContact + 1;
                for (int k = 0; k < kValuesPerContact; ++k) {
                    if (auto bad = badLine(lines[k], first + k))
                        return std::move(*bad);
                }
                // Only a short line or a NUL stops the conversion; it is found above.
                return failure.malformed(first, QStringLiteral("contiene un byte nulo, y un libro de guardia es solo texto"));
            }
            rows.appendRow(cells, kLibroCols, values.whole());
            continue;
        }
        for (int k = 1; k <= kValuesPerContact; ++k) {
            if (!reader.next(line)) {
                const qint64 missing = reader.lineNumber() + 1;
                if (reader.hasError())
                    return failure.unreadable(missing, spanishReason(reader.errorString()));
                return failure.malformed(missing, QStringLiteral("el archivo termina en la línea %1, y los contactos que "
                                                                 "anuncia (%2) ocupan %3 líneas")
                                                      .arg(reader.lineNumber()).arg(count).arg(totalLines));
            }
            if (auto bad = badLine(line, reader.lineNumber()))
                return std::move(*bad);
            const std::string_view value = line.substr(1, line.size() - 2);
            if (!utf8) {
                values.append(value);
            } else if (isValidUtf8(value)) {
                values.appendUtf8(value);
            } else {
                *notUtf8 = true;
                return failure.malformed(reader.lineNumber(), QStringLiteral("no es texto UTF-8"));
            }
            ends[k] = values.size();
        }
        for (int k = 1; k <= kValuesPerContact; ++k)
            cells[k] = std::string_view(values.data() + ends[k - 1], ends[k] - ends[k - 1]);
        rows.appendRow(cells, kLibroCols, values.whole());
    }
    // The whole file's hash, so the log can be recognised later (recovery checks it).
    if (!reader.hashToEnd(result.hash, result.size))
        return failure.unreadable(reader.lineNumber(), spanishReason(reader.errorString()));
    result.ok = true;
    return result;
}

} // namespace

LibroRead LeerLibro(const QString &path, const QString &shownName)
{
    const ReadFailure failure(shownName.isEmpty() ? path : shownName);
    // A file that starts with the UTF-8 byte-order mark (saved by some editors) is read as
    // UTF-8 when it is; otherwise every file is Windows-1252, byte for byte.
    bool notUtf8 = true;
    LibroRead read = readLibro(path, failure, false, &notUtf8);
    if (read.ok || notUtf8)
        return read;
    LibroRead asUtf8 = readLibro(path, failure, true, &notUtf8);
    if (notUtf8)
        return read;
    return asUtf8;
}

void NumerarFilas(GridModel &libro)
{
    libro.numberRows();
}
