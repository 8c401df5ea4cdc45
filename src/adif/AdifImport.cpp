#include "AdifImport.h"

#include "AdifReaders.h"
#include "LogFileKind.h"
#include "common/FileErrors.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace adif {

void LeftOutTally::add(std::string_view name)
{
    char upper[64];
    if (name.size() <= sizeof upper) {
        for (size_t i = 0; i < name.size(); ++i)
            upper[i] = name[i] >= 'a' && name[i] <= 'z' ? char(name[i] - 'a' + 'A') : name[i];
        const std::string_view key(upper, name.size());
        const auto hit = m_counts.find(key);
        if (hit != m_counts.end()) {
            ++hit->second;
            return;
        }
        m_counts.emplace(std::string(key), 1);
        return;
    }
    std::string key(name);
    for (char &c : key)
        c = c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
    ++m_counts[key];
}

void LeftOutTally::addUnused(uint32_t fieldBits)
{
    for (int f = 0; fieldBits != 0; ++f, fieldBits >>= 1) {
        if (fieldBits & 1u)
            add(fieldName(Field(f)));
    }
}

std::vector<std::pair<QString, int64_t>> LeftOutTally::result() const
{
    std::vector<std::pair<QString, int64_t>> out;
    out.reserve(m_counts.size());
    for (const auto &[name, count] : m_counts)
        out.emplace_back(QString::fromStdString(name), count);
    return out;
}

QString shownName(std::string_view name)
{
    QString out;
    const size_t shown = std::min<size_t>(name.size(), 40);
    for (size_t i = 0; i < shown; ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        out += c >= 0x20 && c < 0x7F ? QChar(char16_t(c)) : QChar(u'?');
    }
    return name.size() > shown ? out + u'…' : out;
}

namespace {

class FileSource final : public ByteSource
{
public:
    explicit FileSource(const QString &path) : m_file(path) {}
    bool open() { return m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered); }
    qint64 size() const override { return m_file.size(); }
    qint64 read(char *to, qint64 n) override { return m_file.read(to, n); }
    bool rewind() override { return m_file.seek(0); }
    QString errorString() const override { return m_file.errorString(); }
    QFile &file() { return m_file; }

private:
    QFile m_file;
};

class MemorySource final : public ByteSource
{
public:
    explicit MemorySource(const QByteArray &bytes) : m_bytes(bytes) {}
    qint64 size() const override { return m_bytes.size(); }
    qint64 read(char *, qint64) override { return 0; }
    bool rewind() override { return true; }
    QString errorString() const override { return {}; }
    const QByteArray *memory() const override { return &m_bytes; }

private:
    const QByteArray &m_bytes;
};

// The line of a byte: line ends before it, plus one.
qint64 lineOf(ByteSource &source, qint64 offset)
{
    qint64 line = 1;
    if (const QByteArray *all = source.memory()) {
        const qint64 end = std::min<qint64>(offset, all->size());
        return 1 + qint64(std::count(all->constData(), all->constData() + end, '\n'));
    }
    if (!source.rewind())
        return 0;
    std::vector<char> buffer(size_t(1) << 16);
    for (qint64 done = 0; done < offset;) {
        const qint64 n = source.read(buffer.data(), std::min<qint64>(qint64(buffer.size()), offset - done));
        if (n <= 0)
            break;
        line += qint64(std::count(buffer.data(), buffer.data() + n, '\n'));
        done += n;
    }
    return line;
}

AdifRead refused(const QString &name, Refusal &refusal, ByteSource *source)
{
    AdifRead r;
    if (refusal.line == 0 && refusal.offset >= 0 && source)
        refusal.line = lineOf(*source, refusal.offset);
    r.line = refusal.line;
    if (refusal.unreadable && r.line <= 0) {
        r.error = QStringLiteral("No se pudo leer el archivo %1: %2.").arg(quotedName(name), spanishReason(refusal.reason));
    } else if (refusal.unreadable) {
        r.error = QStringLiteral("No se pudo leer el archivo %1 (línea %2): %3.")
                      .arg(quotedName(name), QString::number(r.line), spanishReason(refusal.reason));
    } else {
        r.error = QStringLiteral("El archivo %1 no es un archivo ADIF válido. Línea %2: %3.")
                      .arg(quotedName(name), QString::number(r.line), refusal.reason);
    }
    return r;
}

DecodeOptions decodeOptions(const AdifImportOptions &options)
{
    return {options.utcToLocal, options.difUtc, options.locale, options.asWritten};
}

// ADI through its source: as UTF-8, and as Windows-1252 when the bytes are not UTF-8.
AdifRead readAdiFrom(ByteSource &source, const QString &name, const AdifImportOptions &options)
{
    for (const bool utf8 : {true, false}) {
        AdifRead r;
        LeftOutTally tally;
        ContentHash hash;
        Refusal refusal;
        if (!utf8 && !source.rewind()) {
            refusal.unreadable = true;
            refusal.reason = source.errorString();
            return refused(name, refusal, nullptr);
        }
        const AdiOutcome outcome = readAdi(source, utf8, decodeOptions(options), r.rows, tally, hash, refusal);
        if (outcome == AdiOutcome::NotUtf8)
            continue;
        if (outcome == AdiOutcome::Refused)
            return refused(name, refusal, &source);
        r.ok = true;
        r.leftOut = tally.result();
        r.hash = hash.value();
        r.size = qint64(hash.size());
        r.rows.fitRows();
        return r;
    }
    return {}; // not reached: Windows-1252 takes every byte
}

AdifRead readAdxBytes(const QByteArray &bytes, const QString &name, const AdifImportOptions &options)
{
    AdifRead r;
    LeftOutTally tally;
    Refusal refusal;
    if (!readAdx(bytes, decodeOptions(options), r.rows, tally, refusal))
        return refused(name, refusal, nullptr);
    ContentHash hash;
    hash.add(bytes.constData(), size_t(bytes.size()));
    r.ok = true;
    r.leftOut = tally.result();
    r.hash = hash.value();
    r.size = bytes.size();
    return r;
}


} // namespace
} // namespace adif

AdifRead importAdifBytes(const QByteArray &bytes, const QString &shownName, const AdifImportOptions &options)
{
    if (sniffLogFile(bytes.left(4096)) == LogFileKind::Adx)
        return adif::readAdxBytes(bytes, shownName, options);
    adif::MemorySource source(bytes);
    return adif::readAdiFrom(source, shownName, options);
}

AdifRead importAdif(const QString &path, const QString &shownName, const AdifImportOptions &options)
{
    const QString name = shownName.isEmpty() ? path : shownName;
    adif::FileSource source(path);
    const QFileInfo info(path);
    if (!info.isFile() || !source.open()) {
        AdifRead r;
        r.error = QStringLiteral("No se pudo leer el archivo %1: %2.")
                      .arg(quotedName(name), readReason(path, source.file().errorString()));
        return r;
    }
    const QByteArray start = source.file().read(4096);
    if (sniffLogFile(start) == LogFileKind::Adx) {
        QByteArray all = start + source.file().readAll();
        if (source.file().error() != QFileDevice::NoError) {
            AdifRead r;
            r.error = QStringLiteral("No se pudo leer el archivo %1: %2.")
                          .arg(quotedName(name), spanishReason(source.file().errorString()));
            return r;
        }
        return adif::readAdxBytes(all, name, options);
    }
    if (!source.rewind()) {
        AdifRead r;
        r.error = QStringLiteral("No se pudo leer el archivo %1: %2.")
                      .arg(quotedName(name), spanishReason(source.file().errorString()));
        return r;
    }
    return adif::readAdiFrom(source, name, options);
}
