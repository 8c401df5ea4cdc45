#include "common/QuotedLines.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <QtAlgorithms>

#include <algorithm>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
    m_lineEnds = LineEnds::CrLf;
    m_hash = ContentHash();
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

    if (!settleLineEnds()) {
        m_file.close();
        return false;
    }
    m_reading = true;
    return true;
}

// The first line end decides how lines end. Usually the first chunk holds it and is kept;
// otherwise read on to find it, then start over from the beginning.
bool QuotedLineReader::settleLineEnds()
{
    bool first = true;
    char last = 0; // the last byte of the previous chunk, when it was a CR
    for (;;) {
        const qint64 n = m_file.read(m_buffer.data(), qint64(m_buffer.size()));
        if (n < 0) {
            m_error = m_file.errorString();
            return false;
        }
        m_hash.add(m_buffer.data(), size_t(n));
        const char *p = m_buffer.data();
        if (last == '\r') {
            m_lineEnds = n > 0 && p[0] == '\n' ? LineEnds::CrLf : LineEnds::Cr;
            break;
        }
        if (n == 0) {
            m_lineEnds = LineEnds::CrLf; // no line end at all: one line, whatever the rule
            break;
        }
        const char *end = p + n;
        const char *cr = static_cast<const char *>(std::memchr(p, '\r', size_t(n)));
        const char *lf = static_cast<const char *>(std::memchr(p, '\n', size_t(cr ? cr - p : n)));
        if (lf) {
            m_lineEnds = LineEnds::Lf;
        } else if (cr && cr + 1 < end) {
            m_lineEnds = cr[1] == '\n' ? LineEnds::CrLf : LineEnds::Cr;
        } else if (cr) {
            last = '\r'; // its LF, if any, is in the next chunk
            first = false;
            continue;
        } else {
            first = false;
            continue;
        }
        if (first) {
            m_end = size_t(n);
            return true;
        }
        break;
    }
    if (!m_file.seek(0)) {
        m_error = m_file.errorString();
        return false;
    }
    m_hash = ContentHash();
    return true;
}

bool QuotedLineReader::fill()
{
    // After a read error the lines already in the buffer are still given; nothing more is read.
    if (hasError())
        return false;
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
        return false;
    }
    m_hash.add(m_buffer.data() + m_end, size_t(n));
    if (n == 0)
        m_eof = true;
    m_end += size_t(n);
    return true;
}

bool QuotedLineReader::next(std::string_view &line)
{
    if (!m_reading)
        return false;
    const char endByte = m_lineEnds == LineEnds::Cr ? '\r' : '\n';
    size_t scanFrom = m_begin;
    for (;;) {
        const char *base = m_buffer.data();
        const void *hit = std::memchr(base + scanFrom, endByte, m_end - scanFrom);
        if (hit) {
            const size_t p = size_t(static_cast<const char *>(hit) - base);
            size_t after = p + 1;
            size_t lineEnd = p;
            if (m_lineEnds == LineEnds::CrLf) {
                // Only CR LF ends a line; a lone LF is part of it.
                if (p == m_begin || base[p - 1] != '\r') {
                    scanFrom = p + 1;
                    continue;
                }
                lineEnd = p - 1;
            } else if (m_lineEnds == LineEnds::Cr) {
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
            line = std::string_view(base + m_begin, lineEnd - m_begin);
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

namespace {

// The first `byte` in [p, end), or null. Lines are a few bytes long, so a call into memchr per
// line costs more than the search; sixteen bytes at a time inline instead.
inline const char *findByte(const char *p, const char *end, char byte)
{
#if defined(__SSE2__)
    const __m128i needle = _mm_set1_epi8(byte);
    for (; end - p >= 16; p += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        const unsigned mask = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(block, needle)));
        if (mask)
            return p + qCountTrailingZeroBits(mask);
    }
#endif
    return static_cast<const char *>(std::memchr(p, byte, size_t(end - p)));
}

} // namespace

bool QuotedLineReader::nextLines(std::string_view *lines, int n)
{
    if (!m_reading || n <= 0)
        return false;
    const char endByte = m_lineEnds == LineEnds::Cr ? '\r' : '\n';
    for (;;) {
        const char *const base = m_buffer.data();
        const char *const end = base + m_end;
        const char *start = base + m_begin;
        int got = 0;
#if defined(__SSE2__)
        // Line ends are found 64 bytes at a time, as a bit mask walked one set bit per line;
        // the last few dozen bytes of the buffer one search per line. Bytes between a line end
        // and the next line (an LF after a CR) are never line ends themselves.
        const __m128i needle = _mm_set1_epi8(endByte);
        const char *block = start; // the bytes before it are in `mask` or used up
        uint64_t mask = 0;
#else
        const char *searchFrom = start;
#endif
        // The next end byte after the last one found, or null.
        const auto nextHit = [&]() -> const char * {
#if defined(__SSE2__)
            for (;;) {
                if (mask) {
                    const char *hit = block - 64 + qCountTrailingZeroBits(mask);
                    mask &= mask - 1;
                    return hit;
                }
                if (end - block < 64) {
                    const char *hit = findByte(block, end, endByte);
                    if (hit)
                        block = hit + 1;
                    return hit;
                }
                const auto bits = [&needle](const char *at) {
                    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(at));
                    return uint64_t(uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, needle))));
                };
                mask = bits(block) | bits(block + 16) << 16 | bits(block + 32) << 32 | bits(block + 48) << 48;
                block += 64;
            }
#else
            const char *hit = findByte(searchFrom, end, endByte);
            if (hit)
                searchFrom = hit + 1;
            return hit;
#endif
        };
        while (got < n) {
            const char *hit = nextHit();
            if (!hit)
                break;
            const char *after = hit + 1;
            const char *lineEnd = hit;
            if (m_lineEnds == LineEnds::CrLf) {
                if (hit == start || hit[-1] != '\r')
                    continue; // a lone LF belongs to the line
                lineEnd = hit - 1;
            } else if (m_lineEnds == LineEnds::Cr) {
                if (after == end) // its LF may be in the next chunk
                    break;
                if (*after == '\n')
                    ++after;
            }
            lines[got++] = std::string_view(start, size_t(lineEnd - start));
            start = after;
        }
        if (got == n) {
            m_begin = size_t(start - base);
            m_lineNumber += n;
            return true;
        }
        // Whatever is left is read one line at a time, as next() reads it; the buffer only
        // grows for a single line too long for it.
        if (m_eof || hasError() || (m_begin == 0 && m_end == m_buffer.size()))
            return false;
        if (!fill())
            return false;
    }
}

bool QuotedLineReader::hashToEnd(uint64_t &hash, int64_t &size)
{
    if (!m_file.isOpen() || hasError())
        return false;
    // What the lines did not need is read now, in the buffer the lines no longer use.
    while (!m_eof) {
        const qint64 n = m_file.read(m_buffer.data(), qint64(m_buffer.size()));
        if (n < 0) {
            m_error = m_file.errorString();
            return false;
        }
        if (n == 0)
            m_eof = true;
        m_hash.add(m_buffer.data(), size_t(n));
    }
    m_begin = m_end = 0;
    hash = m_hash.value();
    size = int64_t(m_hash.size());
    return true;
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
    m_hash.add(p, size_t(left));
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
