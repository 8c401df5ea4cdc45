#include "ReaderChecks.h"
#include "CountryChecks.h"
#include "JournalChecks.h"

#include "AdifChecks.h"
#include "DigitalChecks.h"
#include "NetChecks.h"

#include "common/Cp1252.h"
#include "common/GridModel.h"
#include "common/Utf8.h"
#include "dxcc/DxccFile.h"
#include "logbook/LibroFile.h"
#include "station/OffsetConversion.h"
#include "station/UserConfigFile.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A text for a message: its start, control characters made visible.
QString shown(const QString &text)
{
    QString start = text.left(40);
    for (QChar &c : start) {
        if (c.unicode() < 0x20)
            c = u'·';
    }
    return u"«"_s + start + (text.size() > 40 ? u"…»"_s : u"»"_s);
}

QString shown(std::string_view bytes)
{
    return shown(cp1252::toUnicode(bytes.substr(0, 41)));
}

// The line rule of the files, written out plainly. The first line end decides: after a CR LF
// only CR LF ends a line; after a lone CR, CR LF or a lone CR does; after a lone LF, LF does.
// A last line without its end still counts.
std::vector<std::string_view> splitLines(std::string_view bytes)
{
    enum { CrLf, Cr, Lf } rule = CrLf;
    const size_t firstEnd = bytes.find_first_of("\r\n");
    if (firstEnd != std::string_view::npos) {
        if (bytes[firstEnd] == '\n')
            rule = Lf;
        else if (firstEnd + 1 < bytes.size() && bytes[firstEnd + 1] == '\n')
            rule = CrLf;
        else
            rule = Cr;
    }
    std::vector<std::string_view> lines;
    size_t pos = 0;
    while (pos < bytes.size()) {
        size_t hit = std::string_view::npos;
        size_t next = 0;
        if (rule == CrLf) {
            hit = bytes.find("\r\n", pos);
            next = hit + 2;
        } else if (rule == Lf) {
            hit = bytes.find('\n', pos);
            next = hit + 1;
        } else {
            hit = bytes.find('\r', pos);
            next = hit + 1;
            if (hit != std::string_view::npos && next < bytes.size() && bytes[next] == '\n')
                ++next;
        }
        if (hit == std::string_view::npos) {
            lines.push_back(bytes.substr(pos));
            break;
        }
        lines.push_back(bytes.substr(pos, hit - pos));
        pos = next;
    }
    return lines;
}

std::string_view trimBlanks(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// A count line: blanks around digits; "-0" only where a sign is allowed. False when it is not a
// count or is beyond `limit`.
bool parseCount(std::string_view line, bool minusZero, uint64_t limit, uint64_t &count)
{
    std::string_view digits = trimBlanks(line);
    bool negative = false;
    if (minusZero && !digits.empty() && digits.front() == '-') {
        negative = true;
        digits.remove_prefix(1);
    }
    if (digits.empty())
        return false;
    count = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return false;
        const uint64_t digit = uint64_t(c - '0');
        if (count > (limit - digit) / 10)
            return false;
        count = count * 10 + digit;
    }
    return !negative || count == 0;
}

// What a well-formed file holds: its rows of cells as UTF-8, or why it is not well formed.
struct Expected
{
    bool ok = false;
    QString why;
    bool utf8 = false; // read as UTF-8 after its byte-order mark
    uint64_t rows = 0;
    int perRow = 0;
    std::vector<std::string> cells; // row by row

    std::string_view cell(uint64_t row, int k) const { return cells[size_t(row) * size_t(perRow) + size_t(k)]; }
};

Expected expectedContent(const QByteArray &bytes, int perRow, bool isLibro)
{
    Expected e;
    e.perRow = perRow;
    const std::vector<std::string_view> lines = splitLines(std::string_view(bytes.constData(), size_t(bytes.size())));
    if (lines.empty()) {
        e.why = u"no lines"_s;
        return e;
    }
    const uint64_t values = lines.size() - 1;
    const uint64_t limit = isLibro ? uint64_t(INT64_MAX) : uint64_t(INT_MAX - 1);
    // A log book that starts with the UTF-8 byte-order mark is UTF-8 when every value is.
    std::string_view countLine = lines[0];
    e.utf8 = isLibro && countLine.substr(0, kUtf8Bom.size()) == kUtf8Bom;
    if (e.utf8)
        countLine.remove_prefix(kUtf8Bom.size());
    if (!parseCount(countLine, isLibro, limit, e.rows)) {
        e.why = u"first line %1 is not a count"_s.arg(shown(lines[0]));
        return e;
    }
    if (e.rows > values / uint64_t(perRow)) {
        e.why = u"announces %1 rows, the file has %2 value lines"_s.arg(e.rows).arg(values);
        return e;
    }
    e.cells.reserve(size_t(e.rows) * size_t(perRow));
    for (uint64_t i = 1; i <= e.rows * uint64_t(perRow); ++i) {
        const std::string_view line = lines[size_t(i)];
        if (line.size() < 2) {
            e.why = u"line %1 is shorter than two characters"_s.arg(i + 1);
            return e;
        }
        if (isLibro && line.find('\0') != std::string_view::npos) {
            e.why = u"line %1 holds a NUL"_s.arg(i + 1);
            return e;
        }
        const std::string_view value = line.substr(1, line.size() - 2);
        if (e.utf8 && !isValidUtf8(value)) {
            e.why = u"line %1 is not UTF-8 in a file marked as UTF-8"_s.arg(i + 1);
            return e;
        }
        e.cells.push_back(e.utf8 ? std::string(value) : cp1252::toUnicode(value).toStdString());
    }
    e.ok = true;
    return e;
}

// Rows first .. first + expected.rows - 1 of `store`, columns firstCol on, hold what is expected.
QString compareRows(const GridStore &store, int64_t first, int firstCol, const Expected &expected)
{
    if (store.rows() - first < int64_t(expected.rows))
        return u"%1 rows where %2 were expected"_s.arg(store.rows() - first).arg(expected.rows);
    for (uint64_t r = 0; r < expected.rows; ++r) {
        for (int k = 0; k < expected.perRow; ++k) {
            const std::string_view got = store.cell(first + int64_t(r), firstCol + k);
            const std::string_view want = expected.cell(r, k);
            if (got != want) {
                return u"row %1, cell %2 is %3 where the file holds %4"_s.arg(r + 1).arg(k + 1).arg(
                    shown(QString::fromUtf8(got)), shown(QString::fromUtf8(want)));
            }
        }
    }
    return {};
}

// Every line ends in CR LF and there are `lines` of them (a lone CR or LF is part of a value).
QString checkCrLfLines(const QByteArray &bytes, qint64 lines)
{
    const qint64 ends = bytes.count("\r\n");
    if (!bytes.endsWith("\r\n"))
        return u"the file written does not end with CR LF"_s;
    if (ends != lines)
        return u"the file written has %1 CR LF lines, not %2"_s.arg(ends).arg(lines);
    return {};
}

bool fitsWindows1252(const Expected &expected)
{
    std::string encoded;
    for (const std::string &cell : expected.cells) {
        if (!cp1252::appendFromUtf8(encoded, cell))
            return false;
    }
    return true;
}

// The reader agrees with the plain reading of the file: it refuses exactly what is not well
// formed, says why, and gives nothing when it refuses.
QString checkLibroVerdict(const LibroRead &read, const Expected &expected)
{
    if (read.ok && !expected.ok)
        return u"accepted a file that is not well formed: "_s + expected.why;
    if (!read.ok && expected.ok)
        return u"refused a well-formed file of %1 contacts: %2"_s.arg(expected.rows).arg(read.error);
    if (!read.ok && read.error.isEmpty())
        return u"refused without an error text"_s;
    if (!read.ok && read.rows.rows() != 0)
        return u"refused the file but gave %1 rows"_s.arg(read.rows.rows());
    if (read.ok)
        return compareRows(read.rows, 0, 1, expected);
    return {};
}

const QList<QStringList> &oldContacts()
{
    static const QList<QStringList> rows{
        {u"LU1ABC"_s, u"Juan"_s, u"Rosario"_s, u"Santa Fe"_s, u"Rosario"_s, u"2000"_s, QString(), u"59"_s,
         u"12/02/2001"_s, u"22:52:30"_s, u"7.050"_s, u"SSB"_s, u"BURO"_s, u"NO"_s, u"NO"_s, QString()},
        {u"EA4XYZ"_s, u"José \"Pepe\""_s, u" Córdoba "_s, u"Ñuble"_s, QString(), QString(), QString(), u"599"_s,
         u"01/01/2002"_s, u"00:00:00"_s, u"14.200"_s, u"CW"_s, u"Directa"_s, u"SI"_s, u"NO"_s,
         u"primera línea\nsegunda"_s},
        {QString(), QString(), QString(), QString(), QString(), QString(), QString(), QString(), QString(),
         QString(), QString(), QString(), QString(), QString(), QString(), u"€ ¿?"_s},
    };
    return rows;
}

// A plain decimal with few enough digits that a double holds it on the right side of every
// half: its nearest whole number, halves to even, is the offset.
bool plainDecimal(const QString &text, double &value)
{
    int digits = 0;
    bool point = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if ((c == u'+' || c == u'-') && i == 0)
            continue;
        if (c == u'.' && !point) {
            point = true;
            continue;
        }
        if (c < u'0' || c > u'9')
            return false;
        ++digits;
    }
    if (digits == 0 || digits > 15)
        return false;
    value = std::strtod(text.toLatin1().constData(), nullptr);
    return true;
}

QString checkOffset(const QString &text)
{
    const OffsetResult result = offsetFromText(text);
    QString bare = text;
    bare.remove(u' ').remove(u'\t').remove(u'\n');

    double value = 0;
    if (plainDecimal(bare, value)) {
        const double rounded = std::nearbyint(value); // the default rounding mode: halves to even
        const bool fits = rounded >= -32768 && rounded <= 32767;
        if (result.ok != fits || (fits && result.value != qint16(rounded))) {
            return u"offset of %1 is %2 (ok %3), not %4"_s.arg(shown(text))
                .arg(result.value).arg(result.ok).arg(rounded);
        }
    }
    // A minus sign in front mirrors the value; only +32768 has no mirror image that fits.
    if (!bare.isEmpty() && ((bare.front() >= u'0' && bare.front() <= u'9') || bare.front() == u'.')) {
        const OffsetResult negated = offsetFromText(u'-' + bare);
        const bool mirrors = result.ok ? negated.ok && negated.value == -result.value
                                       : !negated.ok || negated.value == -32768;
        if (!mirrors) {
            return u"offset of %1 is %2 (ok %3) but of its negation %4 (ok %5)"_s.arg(shown(text))
                .arg(result.value).arg(result.ok).arg(negated.value).arg(negated.ok);
        }
    }
    return {};
}

} // namespace

CheckFiles::CheckFiles(const QString &folder)
    : m_input(QDir(folder).filePath(u"entrada.dat"_s)), m_output(QDir(folder).filePath(u"salida.dat"_s))
{
}

bool CheckFiles::writeInput(const QByteArray &bytes) const
{
    QFile file(m_input);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QString checkLibroIntoEmpty(const CheckFiles &files, const QByteArray &bytes)
{
    if (!files.writeInput(bytes))
        return u"could not write the input file"_s;
    const Expected expected = expectedContent(bytes, kLibroCols - 1, true);
    LibroRead read = LeerLibro(files.input());
    if (QString fault = checkLibroVerdict(read, expected); !fault.isEmpty())
        return fault;
    if (!read.ok)
        return {};

    GridModel libro(kLibroCols, 1);
    const int64_t n = read.rows.rows();
    if (n > 0)
        libro.appendRows(std::move(read.rows));
    NumerarFilas(libro);
    if (libro.Rows() != 1 + n)
        return u"the table has %1 rows after appending %2"_s.arg(libro.Rows()).arg(n);

    const LibroWrite written = EscribirLibro(libro, files.output());
    if (!written.ok && expected.utf8 && !fitsWindows1252(expected))
        return {}; // refused as it should be: the log book's own encoding cannot hold it
    if (!written.ok)
        return u"writing the accepted table back failed: "_s + written.error;
    if (QString fault = checkCrLfLines(readFile(files.output()), 1 + 16 * n); !fault.isEmpty())
        return fault;
    const LibroRead back = LeerLibro(files.output());
    if (!back.ok)
        return u"the table written back is refused: "_s + back.error;
    if (back.rows.rows() != n)
        return u"the table written back reads as %1 rows, not %2"_s.arg(back.rows.rows()).arg(n);
    for (int64_t r = 0; r < n; ++r) {
        for (int c = 1; c < kLibroCols; ++c) {
            const std::string got(back.rows.cell(r, c));
            if (got != libro.store().cell(r + 1, c))
                return u"written back and read again, row %1 column %2 changed"_s.arg(r + 1).arg(c);
        }
    }
    return {};
}

QString checkLibroAppend(const CheckFiles &files, const QByteArray &bytes)
{
    if (!files.writeInput(bytes))
        return u"could not write the input file"_s;
    GridModel libro(kLibroCols, 1);
    for (const QStringList &row : oldContacts())
        libro.appendRow(QStringList{QString()} + row);
    NumerarFilas(libro);
    const int oldRows = libro.Rows();
    std::vector<QString> before;
    for (int r = 0; r < oldRows; ++r) {
        for (int c = 0; c < kLibroCols; ++c)
            before.push_back(libro.TextMatrix(r, c));
    }

    const Expected expected = expectedContent(bytes, kLibroCols - 1, true);
    LibroRead read = LeerLibro(files.input());
    if (QString fault = checkLibroVerdict(read, expected); !fault.isEmpty())
        return fault;
    int64_t added = 0;
    if (read.ok) {
        added = read.rows.rows();
        if (added > 0)
            libro.appendRows(std::move(read.rows));
        NumerarFilas(libro);
    }

    if (libro.Rows() != oldRows + added)
        return u"%1 rows after adding %2 to %3"_s.arg(libro.Rows()).arg(added).arg(oldRows);
    for (int r = 0; r < oldRows; ++r) {
        for (int c = 0; c < kLibroCols; ++c) {
            if (libro.TextMatrix(r, c) != before[size_t(r * kLibroCols + c)])
                return u"old row %1, column %2 changed"_s.arg(r).arg(c);
        }
    }
    for (int r = 1; r < libro.Rows(); ++r) {
        if (libro.TextMatrix(r, 0) != QString::number(r))
            return u"row %1 is numbered %2"_s.arg(r).arg(libro.TextMatrix(r, 0));
    }
    if (read.ok)
        return compareRows(libro.store(), oldRows, 1, expected);
    return {};
}

QString checkUserConfig(const CheckFiles &files, const QByteArray &bytes)
{
    if (!files.writeInput(bytes))
        return u"could not write the input file"_s;
    const ConfigRead read = readUserConfig(files.input());
    if (read.items.size() > kUserConfigItems)
        return u"%1 items read"_s.arg(read.items.size());
    for (const QString &item : read.items) {
        if (item.contains(u'\r') || item.contains(u'\n') || item.contains(QChar(u'\0')))
            return u"an item holds a line break or a NUL: %1"_s.arg(shown(item));
        if (QString fault = checkOffset(item); !fault.isEmpty())
            return fault;
    }
    offsetFromText(cp1252::toUnicode(std::string_view(bytes.constData(), size_t(bytes.size()))));
    if (read.damaged)
        return read.problem.isEmpty() ? u"damaged without a problem text"_s : QString();
    if (read.items.size() != kUserConfigItems)
        return u"undamaged with %1 items"_s.arg(read.items.size());

    QStringList stored;
    for (const QString &item : read.items)
        stored << storableValue(item);
    const WriteResult written = writeUserConfig(files.output(), stored);
    if (!written.ok)
        return u"writing the values back failed: "_s + written.error;
    if (QString fault = checkCrLfLines(readFile(files.output()), kUserConfigItems); !fault.isEmpty())
        return fault;
    const ConfigRead back = readUserConfig(files.output());
    if (back.damaged)
        return u"the values written back read as damaged: "_s + back.problem;
    for (int i = 0; i < kUserConfigItems; ++i) {
        if (back.items.value(i) != stored.at(i)) {
            return u"item %1 written back as %2 reads as %3"_s.arg(i + 1).arg(
                shown(stored.at(i)), shown(back.items.value(i)));
        }
    }
    return {};
}

QString checkDxcc(const CheckFiles &files, const QByteArray &bytes)
{
    if (!files.writeInput(bytes))
        return u"could not write the input file"_s;
    const Expected expected = expectedContent(bytes, kDxccCols, false);
    const DxccRead read = readDxccFile(files.input());
    if (read.ok && !expected.ok)
        return u"accepted a file that is not well formed: "_s + expected.why;
    if (!read.ok && expected.ok)
        return u"refused a well-formed file of %1 entries: %2"_s.arg(expected.rows).arg(read.error);
    if (!read.ok) {
        if (read.error.isEmpty())
            return u"refused without an error text"_s;
        if (read.entries.rows() != 0)
            return u"refused the file but gave %1 rows"_s.arg(read.entries.rows());
        return {};
    }
    if (read.entries.rows() != int64_t(expected.rows))
        return u"%1 rows where the file announces %2"_s.arg(read.entries.rows()).arg(expected.rows);
    return compareRows(read.entries, 0, 0, expected);
}

ReaderCheck readerCheck(const QString &harness)
{
    if (harness == u"fuzz_lbr_empty")
        return checkLibroIntoEmpty;
    if (harness == u"fuzz_lbr_append")
        return checkLibroAppend;
    if (harness == u"fuzz_usuario")
        return checkUserConfig;
    if (harness == u"fuzz_dxcc")
        return checkDxcc;
    if (harness == u"fuzz_cty")
        return checkCountryFile;
    if (harness == u"fuzz_journal")
        return checkJournal;
    if (harness == u"fuzz_adi" || harness == u"fuzz_adx")
        return checkAdif;
    if (harness == u"fuzz_udp")
        return checkDatagram;
    if (harness == u"fuzz_rig")
        return checkRigReplies;
    if (harness == u"fuzz_cluster")
        return checkClusterLines;
    return nullptr;
}
