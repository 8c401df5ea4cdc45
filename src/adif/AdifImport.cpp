#include "AdifImport.h"

#include "AdifReaders.h"
#include "LogFileKind.h"
#include "common/Cp1252.h"
#include "common/FileErrors.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

#include <algorithm>
#include <cstring>

namespace adif {
namespace {

// Dates and times in figures, as most are: plain ASCII without NUL is held as it is. Eight
// bytes at a time, the last word overlapping the one before.
bool plainText(std::string_view s)
{
    constexpr uint64_t kHigh = 0x8080808080808080ull, kLow7 = 0x7F7F7F7F7F7F7F7Full;
    const auto odd = [](const char *p) {
        uint64_t w;
        std::memcpy(&w, p, 8);
        return (w & kHigh) | ~(((w & kLow7) + kLow7) | w | kLow7); // high bit or NUL
    };
    const size_t n = s.size();
    if (n >= 8) {
        uint64_t found = odd(s.data() + n - 8);
        for (size_t k = 0; k + 8 < n; k += 8)
            found |= odd(s.data() + k);
        return found == 0;
    }
    for (const char c : s) {
        if (static_cast<unsigned char>(c) - 1u >= 0x7Fu)
            return false;
    }
    return true;
}

} // namespace

void ReadTally::add(std::string_view name)
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

void ReadTally::addUnused(uint32_t fieldBits)
{
    for (int f = 0; fieldBits != 0; ++f, fieldBits >>= 1) {
        if (fieldBits & 1u)
            add(fieldName(Field(f)));
    }
}

void ReadTally::addRow(const std::string_view *cells, bool own, bool storableRecord)
{
    const bool hasCall = !cells[Call].empty();
    m_anyContact = m_anyContact || own || hasCall || !cells[Date].empty() || !cells[Time].empty();
    if (!hasCall && ++m_withoutCall <= int64_t(kNamed))
        m_firstWithoutCall.push_back(m_rows);
    // In a record whose bytes a log book can hold, only the date and time may be text of the
    // reader's own (turned to local time), so only they are looked at.
    const auto look = [&](int c) {
        if (!plainText(cells[c]) && !cp1252::storable(cells[c]) && ++m_unstorable <= int64_t(kNamed))
            m_firstUnstorable.emplace_back(m_rows, c);
    };
    if (storableRecord) {
        look(Date);
        look(Time);
    } else {
        for (int c = 1; c < kColumns; ++c)
            look(c);
    }
    ++m_rows;
}

void ReadTally::append(const ReadTally &later)
{
    for (const auto &[name, count] : later.m_counts)
        m_counts[name] += count;
    for (int64_t row : later.m_firstWithoutCall) {
        if (m_firstWithoutCall.size() < kNamed)
            m_firstWithoutCall.push_back(m_rows + row);
    }
    for (const auto &[row, column] : later.m_firstUnstorable) {
        if (m_firstUnstorable.size() < kNamed)
            m_firstUnstorable.emplace_back(m_rows + row, column);
    }
    m_withoutCall += later.m_withoutCall;
    m_unstorable += later.m_unstorable;
    m_anyContact = m_anyContact || later.m_anyContact;
    m_rows += later.m_rows;
}

void ReadTally::resultsInto(AdifRead &read) const
{
    read.leftOut.clear();
    for (const auto &[name, count] : m_counts)
        read.leftOut.emplace_back(QString::fromStdString(name), count);
    read.withoutCall = m_withoutCall;
    read.firstWithoutCall = m_firstWithoutCall;
    read.unstorable = m_unstorable;
    read.firstUnstorable = m_firstUnstorable;
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
    bool seek(qint64 offset) override { return m_file.seek(offset); }
    QString errorString() const override { return m_file.errorString(); }
    QFile &file() { return m_file; }
    std::unique_ptr<ByteSource> another() const override
    {
        auto other = std::make_unique<FileSource>(m_file.fileName());
        // The same file, not one put in its place since it was opened.
        struct stat mine, theirs;
        if (!other->open() || fstat(m_file.handle(), &mine) != 0 || fstat(other->m_file.handle(), &theirs) != 0
            || mine.st_dev != theirs.st_dev || mine.st_ino != theirs.st_ino)
            return nullptr;
        return other;
    }

private:
    QFile m_file;
};

class MemorySource final : public ByteSource
{
public:
    explicit MemorySource(const QByteArray &bytes) : m_bytes(bytes) {}
    qint64 size() const override { return m_bytes.size(); }
    qint64 read(char *, qint64) override { return 0; }
    bool seek(qint64) override { return true; }
    QString errorString() const override { return {}; }
    const QByteArray *memory() const override { return &m_bytes; }
    std::unique_ptr<ByteSource> another() const override { return std::make_unique<MemorySource>(m_bytes); }

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

// Rows, but nothing that makes a contact of any: a damaged file, or not a log at all.
AdifRead withoutContacts(const QString &name, int64_t rows)
{
    AdifRead r;
    r.error = QStringLiteral("El archivo %1 no contiene contactos: %2 indicativo (CALL), fecha (QSO_DATE) ni hora "
                             "(TIME_ON).")
                  .arg(quotedName(name), rows == 1 ? QStringLiteral("su único registro no tiene")
                                                   : QStringLiteral("ninguno de sus %1 registros tiene").arg(rows));
    return r;
}

// A read that went through, with what its tally found.
AdifRead accepted(AdifRead &&r, const QString &name, const ReadTally &tally)
{
    if (tally.rows() > 0 && !tally.anyContact())
        return withoutContacts(name, tally.rows());
    r.ok = true;
    tally.resultsInto(r);
    return std::move(r);
}

DecodeOptions decodeOptions(const AdifImportOptions &options)
{
    return {options.utc, options.locale, options.asWritten};
}

// ADI through its source: as UTF-8, and as Windows-1252 when the bytes are not UTF-8.
AdifRead readAdiFrom(ByteSource &source, const QString &name, const AdifImportOptions &options)
{
    for (const bool utf8 : {true, false}) {
        AdifRead r;
        ReadTally tally;
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
        r.hash = hash.value();
        r.size = qint64(hash.size());
        r.rows.fitRows();
        return accepted(std::move(r), name, tally);
    }
    return {}; // not reached: Windows-1252 takes every byte
}

AdifRead readAdxBytes(const QByteArray &bytes, const QString &name, const AdifImportOptions &options)
{
    AdifRead r;
    ReadTally tally;
    Refusal refusal;
    if (!readAdx(bytes, decodeOptions(options), r.rows, tally, refusal))
        return refused(name, refusal, nullptr);
    ContentHash hash;
    hash.add(bytes.constData(), size_t(bytes.size()));
    r.hash = hash.value();
    r.size = bytes.size();
    return accepted(std::move(r), name, tally);
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
