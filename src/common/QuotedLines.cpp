#include "common/QuotedLines.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>
#include <cstring>

QuotedLineReader::QuotedLineReader(qint64 chunkSize)
    : m_chunkSize(std::max<qint64>(chunkSize, 1))
{
}

QuotedLineReader::~QuotedLineReader() = default;

bool QuotedLineReader::open(const QString &path)
{
    m_file.close();
    m_reading = false;
    m_begin = m_end = 0;
    m_lineNumber = 0;
    m_fileSize = 0;
    m_eof = false;
    m_lfOnly = false;
    m_error.clear();

    // Checked before opening: opening a pipe would wait for a writer.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        m_error = info.isDir()
                ? QCoreApplication::translate("QIODevice", "file to open is a directory")
                : QCoreApplication::translate("QIODevice", "Not a regular file");
        return false;
    }
    m_file.setFileName(path);
    // Unbuffered: we read in large chunks ourselves, so Qt's own buffer would only copy.
    if (!m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        m_error = m_file.errorString();
        return false;
    }
    m_fileSize = m_file.size();
    // A small file does not need a whole chunk; a file that grows meanwhile still reads
    // correctly, the buffer grows when a line needs it.
    const qint64 wanted = std::min(m_chunkSize, std::max<qint64>(m_fileSize + 1, 4096));
    if (m_buffer.size() != size_t(wanted))
        m_buffer.resize(size_t(wanted));

    // A file without a single CR was written with LF line ends. Usually the first line
    // settles it and the chunk already read is kept; otherwise scan on, then start over.
    bool sawCr = false;
    bool first = true;
    for (;;) {
        const qint64 n = m_file.read(m_buffer.data(), qint64(m_buffer.size()));
        if (n < 0) {
            m_error = m_file.errorString();
            m_file.close();
            return false;
        }
        if (n == 0)
            break;
        if (std::memchr(m_buffer.data(), '\r', size_t(n))) {
            sawCr = true;
            if (first) {
                m_end = size_t(n);
                m_reading = true;
                return true;
            }
            break;
        }
        first = false;
    }
    m_lfOnly = !sawCr;
    if (!m_file.seek(0)) {
        m_error = m_file.errorString();
        m_file.close();
        return false;
    }
    m_reading = true;
    return true;
}

bool QuotedLineReader::fill()
{
    if (m_begin > 0) {
        std::memmove(m_buffer.data(), m_buffer.data() + m_begin, m_end - m_begin);
        m_end -= m_begin;
        m_begin = 0;
    }
    if (m_end == m_buffer.size()) // one line fills the whole buffer
        m_buffer.resize(m_buffer.size() * 2);
    const qint64 n = m_file.read(m_buffer.data() + m_end, qint64(m_buffer.size() - m_end));
    if (n < 0) {
        m_error = m_file.errorString();
        m_reading = false;
        return false;
    }
    if (n == 0)
        m_eof = true;
    m_end += size_t(n);
    return true;
}

bool QuotedLineReader::next(std::string_view &line)
{
    if (!m_reading)
        return false;
    const char endByte = m_lfOnly ? '\n' : '\r';
    size_t scanFrom = m_begin;
    for (;;) {
        const char *base = m_buffer.data();
        const void *hit = std::memchr(base + scanFrom, endByte, m_end - scanFrom);
        if (hit) {
            const size_t p = size_t(static_cast<const char *>(hit) - base);
            size_t after = p + 1;
            if (!m_lfOnly) {
                // A CR that ends the data read so far may have its LF in the next chunk.
                if (after == m_end && !m_eof) {
                    const size_t offset = p - m_begin;
                    if (!fill())
                        return false;
                    scanFrom = m_begin + offset; // found again at once
                    continue;
                }
                if (after < m_end && m_buffer[after] == '\n')
                    ++after;
            }
            line = std::string_view(base + m_begin, p - m_begin);
            m_begin = after;
            ++m_lineNumber;
            return true;
        }
        if (m_eof) {
            if (m_begin == m_end)
                return false;
            line = std::string_view(base + m_begin, m_end - m_begin); // last line, no line end
            m_begin = m_end;
            ++m_lineNumber;
            return true;
        }
        const size_t scanned = m_end - m_begin;
        if (!fill())
            return false;
        scanFrom = m_begin + scanned;
    }
}

bool QuotedLineReader::value(std::string_view line, std::string_view &value)
{
    if (line.size() < 2)
        return false;
    value = line.substr(1, line.size() - 2);
    return true;
}

// Output goes to the file in pieces of about this size.
static constexpr size_t kWritePiece = 1 << 20;

QuotedLineWriter::QuotedLineWriter(const QString &path)
    : m_file(path)
{
    // Never fall back to writing over the old file in place: that is what loses logs.
    m_file.setDirectWriteFallback(false);
}

bool QuotedLineWriter::open()
{
    // Unbuffered: we buffer ourselves, and a failed final flush inside commit() would
    // otherwise go unnoticed and rename a cut-short file over the old one.
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        m_failed = true;
        m_error = m_file.errorString();
        return false;
    }
    m_buffer.reserve(kWritePiece + 4096);
    return true;
}

void QuotedLineWriter::writeBare(std::string_view bytes)
{
    if (m_failed)
        return;
    m_buffer.append(bytes);
    m_buffer.append("\r\n", 2);
    flushIfFull();
}

void QuotedLineWriter::writeQuoted(std::string_view bytes)
{
    if (m_failed)
        return;
    m_buffer.push_back('"');
    m_buffer.append(bytes);
    m_buffer.append("\"\r\n", 3);
    flushIfFull();
}

void QuotedLineWriter::flushIfFull()
{
    if (m_buffer.size() >= kWritePiece)
        flush();
}

bool QuotedLineWriter::flush()
{
    if (m_failed)
        return false;
    if (!m_file.isOpen()) {
        m_failed = true;
        m_error = QCoreApplication::translate("QIODevice", "device not open");
        return false;
    }
    const char *p = m_buffer.data();
    qint64 left = qint64(m_buffer.size());
    while (left > 0) {
        const qint64 n = m_file.write(p, left);
        if (n <= 0) {
            m_failed = true;
            m_error = m_file.errorString();
            m_buffer.clear();
            return false;
        }
        p += n;
        left -= n;
    }
    m_buffer.clear();
    return true;
}

bool QuotedLineWriter::commit()
{
    if (!flush()) {
        if (m_file.isOpen()) {
            m_file.cancelWriting();
            m_file.commit(); // removes the temporary file now rather than at destruction
        }
        return false;
    }
    if (!m_file.commit()) {
        m_failed = true;
        m_error = m_file.errorString();
        return false;
    }
    return true;
}
