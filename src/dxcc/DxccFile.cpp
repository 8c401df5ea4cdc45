#include "DxccFile.h"
#include "common/FileErrors.h"
#include "common/FileLookup.h"
#include "common/Cp1252.h"
#include "common/QuotedLines.h"
#include <QDir>
#include <QFileInfo>
#include <climits>
#include <string>

namespace {

// The list is small: one modest buffer instead of the reader's default megabyte.
constexpr qint64 kChunk = 64 * 1024;

// The fewest bytes an entry can take: three lines of two enclosing characters, each ended by
// one byte (a lone CR), the line end of the count line or of the entry before included.
constexpr qint64 kMinEntryBytes = 3 * (2 + 1);

// Damaged text is quoted back to the user, but not at any length.
constexpr int kQuoteChars = 20;

QString quoted(std::string_view bytes)
{
    QString text = cp1252::toUnicode(bytes.substr(0, kQuoteChars + 1));
    if (text.size() > kQuoteChars)
        text = text.left(kQuoteChars) + u'…';
    return text;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// The whole line is the count: decimal digits, blanks around them allowed. Returns -1 for
// anything else, LLONG_MAX for a number too large to hold.
qint64 parseCount(std::string_view line)
{
    size_t b = 0, e = line.size();
    while (b < e && isBlank(line[b]))
        ++b;
    while (e > b && isBlank(line[e - 1]))
        --e;
    if (b == e)
        return -1;
    qint64 n = 0;
    for (size_t i = b; i < e; ++i) {
        const char c = line[i];
        if (c < '0' || c > '9')
            return -1;
        if (n > (LLONG_MAX - (c - '0')) / 10)
            n = LLONG_MAX;
        else if (n != LLONG_MAX)
            n = n * 10 + (c - '0');
    }
    return n;
}

} // namespace

QString dxccFileName()
{
    return QStringLiteral("dxcc.dat");
}

QString findDxccFile(const QString &folder)
{
    return findFileAnyCase(folder, dxccFileName());
}

DxccRead readDxccFile(const QString &path)
{
    DxccRead result;
    const QString name = QFileInfo(path).fileName();
    const auto fail = [&](qint64 line, const QString &text) {
        result.entries = GridStore(kDxccCols);
        result.line = line;
        result.error = text;
        return std::move(result);
    };

    QuotedLineReader reader(kChunk);
    if (!reader.open(path))
        return fail(0, QStringLiteral("No se pudo leer el archivo %1: %2.").arg(name, spanishReason(reader.errorString())));

    const auto readFailure = [&](qint64 line) {
        return fail(line, QStringLiteral("No se pudo leer el archivo %1 en la línea %2: %3.")
                              .arg(name).arg(line).arg(spanishReason(reader.errorString())));
    };

    std::string_view line;
    if (!reader.next(line)) {
        if (reader.hasError())
            return readFailure(1);
        return fail(1, QStringLiteral("El archivo %1 está vacío: falta el número de entradas de la línea 1.").arg(name));
    }
    const qint64 count = parseCount(line);
    if (count < 0) {
        return fail(1, QStringLiteral("El archivo %1 está dañado: la línea 1 («%2») no es un número de entradas.")
                           .arg(name, quoted(line)));
    }
    // Checked against the size before anything is reserved: a damaged count line must not
    // be able to ask for gigabytes.
    const qint64 room = std::max<qint64>(0, reader.fileSize() - qint64(line.size()));
    if (count > room / kMinEntryBytes || count > INT_MAX - 1) {
        return fail(1, QStringLiteral("El archivo %1 está dañado: la línea 1 anuncia %2 entradas, más de las "
                                      "que caben en sus %3 bytes.")
                           .arg(name, quoted(line)).arg(reader.fileSize()));
    }

    result.entries.reserveRows(count);
    std::string cells[kDxccCols];
    std::string_view views[kDxccCols];
    for (qint64 i = 0; i < count; ++i) {
        for (int j = 0; j < kDxccCols; ++j) {
            if (!reader.next(line)) {
                const qint64 missing = reader.lineNumber() + 1;
                if (reader.hasError())
                    return readFailure(missing);
                return fail(missing, QStringLiteral("El archivo %1 está incompleto: termina antes de la línea %2 "
                                                    "y anuncia %3 entradas en la línea 1.")
                                         .arg(name).arg(missing).arg(count));
            }
            std::string_view value;
            if (!QuotedLineReader::value(line, value)) {
                return fail(reader.lineNumber(),
                            QStringLiteral("El archivo %1 está dañado: la línea %2 es demasiado corta para "
                                           "tener un valor entre comillas.")
                                .arg(name).arg(reader.lineNumber()));
            }
            cells[j].clear();
            cp1252::appendAsUtf8(cells[j], value);
            views[j] = cells[j];
        }
        result.entries.appendRow(views, kDxccCols);
    }
    result.ok = true;
    return result;
}
