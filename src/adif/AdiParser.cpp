// An ADI file's bytes, read piece by piece from the start or from a record boundary, checked
// and hashed on the way.
#include "AdiParser.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace adif {
namespace {

constexpr size_t kChunk = size_t(1) << 18;

} // namespace

AdiParser::AdiParser(ByteSource &source, bool utf8, const DecodeOptions &options, GridStore &rows,
                     ReadTally &tally, ContentHash *hash, Refusal &refusal)
    : m_source(source), m_utf8(utf8), m_decoder(options), m_rows(rows), m_tally(tally), m_hash(hash),
      m_refusal(refusal)
{
}

AdiParser::Progress AdiParser::begin()
{
    m_buf.fileSize = m_source.size();
    if (const QByteArray *all = m_source.memory()) {
        m_buf.data = all->constData();
        m_buf.end = size_t(all->size());
        m_buf.eof = true;
        m_lt.reset(m_buf.data, m_buf.end);
        if (m_hash)
            m_hash->add(m_buf.data, m_buf.end);
        if (m_utf8 && (!m_check.add(m_buf.data, m_buf.end) || !m_check.finish())) {
            m_outcome = AdiOutcome::NotUtf8;
            return Progress::Failed;
        }
    } else {
        m_buffer.resize(size_t(std::clamp<qint64>(m_buf.fileSize + 1, 4096, qint64(kChunk))));
        m_buf.data = m_buffer.data();
        if (!fill())
            return Progress::Failed;
    }
    if (m_buf.end == 0)
        return refuse(0, QStringLiteral("el archivo está vacío"));
    // A file that does not open with a tag opens with a header, free text up to <EOH>.
    m_inHeader = m_buf.data[0] != '<';
    return Progress::Paused;
}

void AdiParser::takeHeader(const HeaderState &state)
{
    m_decoder.setWrittenByOrvanel(state.own);
    m_userDefined = state.userDefined;
}

AdiParser::Progress AdiParser::beginAt(qint64 from, qint64 until, const std::atomic<bool> *cancel)
{
    m_cancel = cancel;
    m_until = until;
    m_sawEnd = true;
    m_buf.fileSize = m_source.size();
    // Five bytes back: an <EOR> that ends right at `from` counts.
    from = std::clamp<qint64>(from - 5, 0, m_buf.fileSize);
    m_checking = false; // the bytes before the first record are the other parser's
    m_hashFrom = std::numeric_limits<qint64>::max();
    if (const QByteArray *all = m_source.memory()) {
        m_buf.data = all->constData() + from;
        m_buf.end = size_t(all->size() - std::min<qint64>(from, all->size()));
        m_buf.base = from;
        m_buf.eof = true;
    } else {
        m_buffer.resize(kChunk);
        m_buf.data = m_buffer.data();
        m_buf.base = from;
        if (!m_source.seek(from)) {
            m_outcome = AdiOutcome::Refused;
            return Progress::Failed;
        }
        if (!fill())
            return Progress::Failed;
    }
    if (!findRecordStart())
        return m_outcome == AdiOutcome::Ok ? Progress::Ended : Progress::Failed;
    m_start = recordStart();
    m_hashFrom = (m_start + qint64(kHashPiece) - 1) / qint64(kHashPiece) * qint64(kHashPiece);
    if (m_hash && m_hashFrom < bytesRead())
        m_hash->add(m_buf.data + (m_hashFrom - m_buf.base), size_t(bytesRead() - m_hashFrom));
    m_check = Utf8Check(uint64_t(m_start));
    m_checking = true;
    if (!checkUtf8(m_buf.data + m_recordStart, m_buf.end - m_recordStart))
        return Progress::Failed;
    if (m_buf.eof && m_utf8 && !m_check.finish()) {
        m_outcome = AdiOutcome::NotUtf8;
        return Progress::Failed;
    }
    m_lt.reset(m_buf.data, m_buf.end);
    return Progress::Paused;
}

// The byte after the first <EOR> in the bytes at hand on, reading more as needed. False at
// the end of the file (m_outcome Ok) or when the reading has to stop.
bool AdiParser::findRecordStart()
{
    size_t at = 0;
    for (;;) {
        const auto *lt = static_cast<const char *>(std::memchr(m_buf.data + at, '<', m_buf.end - at));
        at = lt ? size_t(lt - m_buf.data) : m_buf.end;
        if (at + 5 <= m_buf.end) {
            if (sameLetters(std::string_view(lt + 1, 4), "EOR>")) {
                m_recordStart = at + 5;
                return true;
            }
            ++at;
            continue;
        }
        if (m_buf.eof) {
            m_outcome = AdiOutcome::Ok;
            return false;
        }
        if (!fill(at))
            return false;
        at = 0;
    }
}

AdiParser::Progress AdiParser::readUntil(qint64 limit)
{
    m_limit = limit;
    for (;;) {
        m_paused = false;
        const Step step = parseRecords();
        if (step == Step::Stop)
            return Progress::Failed;
        if (step == Step::Done) {
            if (m_paused)
                return Progress::Paused;
            m_outcome = AdiOutcome::Ok;
            return Progress::Ended;
        }
        // The record reaches past the bytes at hand: read more, and the record again from its
        // start.
        if (!fill(m_recordStart))
            return Progress::Failed;
        m_recordStart = 0;
    }
}

Step AdiParser::stop(size_t at, const QString &reason)
{
    m_refusal.offset = m_buf.base + qint64(at);
    m_refusal.reason = reason;
    m_outcome = AdiOutcome::Refused;
    return Step::Stop;
}

// Text skipped as the header's was not one: no <EOH> closed it. Refused for its first tag.
Step AdiParser::notHeader()
{
    m_refusal.offset = m_skipped.offset;
    m_refusal.reason = m_skipped.reason;
    m_outcome = AdiOutcome::Refused;
    return Step::Stop;
}

AdiParser::Progress AdiParser::refuse(qint64 offset, const QString &reason)
{
    m_refusal.offset = offset;
    m_refusal.reason = reason;
    m_outcome = AdiOutcome::Refused;
    return Progress::Failed;
}

bool AdiParser::checkUtf8(const char *data, size_t size)
{
    if (m_utf8 && m_checking && !m_check.add(data, size)) {
        m_outcome = AdiOutcome::NotUtf8;
        return false;
    }
    return true;
}

// Bytes just read, after those at hand, to the hash: those from m_hashFrom on.
void AdiParser::hashNew(const char *data, size_t size)
{
    const qint64 at = bytesRead();
    if (!m_hash || at + qint64(size) <= m_hashFrom)
        return;
    const size_t skip = at >= m_hashFrom ? 0 : size_t(m_hashFrom - at);
    m_hash->add(data + skip, size - skip);
}

// More bytes after m_buf.end, keeping those from `keep` on (moved to the front). False when
// the reading has to stop: m_outcome says why. At the end of the file m_buf.eof is set.
bool AdiParser::fill(size_t keep)
{
    if (m_buf.eof)
        return true;
    if (m_cancel && m_cancel->load(std::memory_order_relaxed)) {
        m_outcome = AdiOutcome::Refused;
        return false;
    }
    if (keep > 0) {
        std::memmove(m_buffer.data(), m_buffer.data() + keep, m_buf.end - keep);
        m_buf.end -= keep;
        m_buf.base += qint64(keep);
    }
    if (m_buf.end == m_buffer.size())
        m_buffer.resize(m_buffer.size() * 2);
    m_buf.data = m_buffer.data();
    const qint64 n = m_source.read(m_buffer.data() + m_buf.end, qint64(m_buffer.size() - m_buf.end));
    if (n < 0) {
        m_refusal.unreadable = true;
        m_refusal.offset = m_buf.base + qint64(m_buf.end);
        m_refusal.reason = m_source.errorString();
        m_outcome = AdiOutcome::Refused;
        return false;
    }
    hashNew(m_buffer.data() + m_buf.end, size_t(n));
    if (!checkUtf8(m_buffer.data() + m_buf.end, size_t(n)))
        return false;
    m_buf.end += size_t(n);
    m_lt.reset(m_buf.data, m_buf.end);
    if (n == 0) {
        m_buf.eof = true;
        m_buf.fileSize = bytesRead(); // a file that changed meanwhile ends where its bytes end
        if (m_utf8 && m_checking && !m_check.finish()) {
            m_outcome = AdiOutcome::NotUtf8;
            return false;
        }
    }
    return true;
}

} // namespace adif
