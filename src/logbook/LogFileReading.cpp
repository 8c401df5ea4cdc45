#include "LogFileReading.h"
#include "LibroFile.h"
#include "adif/AdifImport.h"
#include "adif/LogFileKind.h"
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <vector>

using namespace Qt::StringLiterals;

LogFormat logFormatOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return LogFormat::Libro; // its reader says why it cannot be read
    switch (sniffLogFile(file.read(8192))) {
    case LogFileKind::Adi:
        return LogFormat::Adi;
    case LogFileKind::Adx:
        return LogFormat::Adx;
    case LogFileKind::Libro:
        break;
    }
    return LogFormat::Libro;
}

namespace {

LogFileRead readAs(const FileSource &source)
{
    LogFileRead result;
    result.source = source;
    if (source.format == LogFormat::Libro) {
        LibroRead read = LeerLibro(source.path, source.name);
        result.ok = read.ok;
        result.error = read.error;
        result.rows = std::move(read.rows);
        result.source.size = read.size;
        result.source.hash = read.hash;
        result.source.hashKind = kHashKind;
        return result;
    }
    AdifImportOptions options;
    options.utc = source.utc;
    options.locale = QLocale(source.locale);
    AdifRead read = importAdif(source.path, source.name, options);
    result.ok = read.ok;
    result.error = read.error;
    result.rows = std::move(read.rows);
    result.findings = std::move(static_cast<AdifFindings &>(read));
    result.source.size = read.size;
    result.source.hash = read.hash;
    result.source.hashKind = kHashKind;
    return result;
}

} // namespace

LogFileRead readLogFile(const QString &path, const QString &name, const UtcConversion &utc)
{
    FileSource source;
    source.name = name;
    source.path = QFileInfo(path).absoluteFilePath();
    source.format = logFormatOf(path);
    source.utc = utc;
    source.locale = QLocale::system().name();
    return readAs(source);
}

bool rereadLogFile(const FileSource &file, GridStore &rows, QString &problem)
{
    const QString shown = u"«%1»"_s.arg(file.name);
    const QFileInfo info(file.path);
    if (!info.isFile()) {
        problem = u"el archivo %1 ya no se encuentra"_s.arg(shown);
        return false;
    }
    if (info.size() != file.size) {
        problem = u"el archivo %1 cambió desde entonces"_s.arg(shown);
        return false;
    }
    LogFileRead read = readAs(file);
    if (!read.ok) {
        problem = read.error;
        return false;
    }
    // A file named by an older journal is told by the hash that journal used.
    uint64_t hash = read.source.hash;
    int64_t size = read.source.size;
    if (file.hashKind != read.source.hashKind && !hashFile(file.path, file.hashKind, hash, size)) {
        problem = u"el archivo %1 ya no se puede leer"_s.arg(shown);
        return false;
    }
    if (hash != file.hash || size != file.size) {
        problem = u"el archivo %1 cambió desde entonces"_s.arg(shown);
        return false;
    }
    if (!dropRows(read.rows, file.skipped)) {
        problem = u"el registro está dañado"_s;
        return false;
    }
    rows = std::move(read.rows);
    return true;
}

bool hashFile(const QString &path, HashKind kind, uint64_t &hash, int64_t &size)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return false;
    ContentHash content(kind);
    std::vector<char> buffer(size_t(1) << 20);
    for (qint64 n; (n = file.read(buffer.data(), qint64(buffer.size()))) != 0;) {
        if (n < 0)
            return false;
        content.add(buffer.data(), size_t(n));
    }
    hash = content.value();
    size = int64_t(content.size());
    return true;
}

bool dropRows(GridStore &rows, const std::vector<int64_t> &ascending)
{
    for (size_t k = 0; k < ascending.size(); ++k) {
        if (ascending[k] < 0 || ascending[k] >= rows.rows() || (k > 0 && ascending[k] <= ascending[k - 1]))
            return false;
    }
    if (ascending.empty())
        return true;
    GridStore kept(rows.cols());
    kept.reserveRows(rows.rows() - int64_t(ascending.size()));
    std::vector<std::string_view> cells(size_t(rows.cols()));
    for (int64_t r = 0, next = 0; r < rows.rows(); ++r) {
        if (size_t(next) < ascending.size() && ascending[size_t(next)] == r) {
            ++next;
            continue;
        }
        rows.rowCells(r, cells.data());
        kept.appendRow(cells.data(), rows.cols());
    }
    rows = std::move(kept);
    return true;
}
