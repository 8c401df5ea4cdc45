#include "AdiParser.h"

#include <algorithm>
#include <atomic>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

namespace adif {
namespace {

std::mutex g_splitsLock;
std::vector<qint64> g_splits; // forced, for tests
// Files from 8 MB on are read in parts of 16 MB or more, on as many threads as there are
// cores (up to eight), six parts to a thread: a core that falls behind (busy with another
// program, or slower) then leaves little undone at the end. Not more, as each part has a file
// handle, a buffer and rows of its own, and parts done ahead of a slow one wait with theirs.
constexpr qint64 kSplitFloor = qint64(8) << 20;
constexpr qint64 kPartSize = qint64(16) << 20;
constexpr unsigned kMaxThreads = 8;
constexpr qint64 kPartsPerThread = 6;

constexpr qint64 kToTheEnd = std::numeric_limits<qint64>::max();
using Progress = AdiParser::Progress;

// The bytes after those read, into `hash`, up to where its next piece starts or the file ends
// (`ended`): false on a read error.
bool hashToPieceEnd(ByteSource &source, ContentHash &hash, bool &ended)
{
    std::vector<char> buffer(size_t(1) << 16);
    for (;;) {
        const uint64_t left = (kHashPiece - hash.size() % kHashPiece) % kHashPiece;
        if (left == 0)
            return true;
        const qint64 n = source.read(buffer.data(), qint64(std::min<uint64_t>(left, buffer.size())));
        if (n < 0)
            return false;
        if (n == 0) {
            ended = true;
            return true;
        }
        hash.add(buffer.data(), size_t(n));
    }
}

// A part of a large file after the first, read into rows of its own: from the first record
// boundary after byte `from` to the first record that ends at or after `until`, in the state
// the header left. It counts only when the part before it ended a record at that same boundary
// in that same state.
struct Part
{
    std::unique_ptr<ByteSource> source;
    GridStore rows{kColumns};
    ReadTally tally;
    ContentHash hash;
    Refusal refusal;
    std::optional<AdiParser> parser;
    qint64 from = 0, until = kToTheEnd;
    Progress progress = Progress::Failed;
    bool ended = false; // its hash reaches the end of the file
    std::atomic<bool> done{false};

    // False when it cannot count, whatever came before it.
    bool read(bool utf8, const DecodeOptions &options, const AdiParser::HeaderState &header,
              const std::atomic<bool> &cancel)
    {
        const bool memory = source->memory() != nullptr; // hashed at once, by the first part
        parser.emplace(*source, utf8, options, rows, tally, memory ? nullptr : &hash, refusal);
        parser->takeHeader(header);
        progress = parser->beginAt(from, until, &cancel);
        if (progress == Progress::Paused)
            progress = parser->readUntil(until);
        if (progress == Progress::Ended)
            ended = true;
        else if (progress == Progress::Paused && !memory && !hashToPieceEnd(*source, hash, ended))
            return false;
        return progress != Progress::Failed;
    }
};

// A large file read in parts on every core at once. The first part is the caller's, read on
// the calling thread; the others are taken in turn by whichever thread is free, and joined to
// the first in order as soon as each one and those before it are done. Anything that does
// not fit (an <EOR> inside a value where a part starts, a header field among the records, a
// refusal, bytes that are not UTF-8) ends it: the file is then read again in one go, as if
// there were no parts.
class PartedRead
{
public:
    PartedRead(AdiParser &first, ByteSource &source, bool utf8, const DecodeOptions &options, GridStore &rows,
               ReadTally &tally, ContentHash &hash)
        : m_first(first), m_source(source), m_utf8(utf8), m_options(options), m_rows(rows), m_tally(tally),
          m_hash(hash), m_header(first.headerState())
    {
    }
    ~PartedRead()
    {
        m_cancel = true;
        stopThreads();
    }

    // The first part's limit, or none when the file is read in one go.
    qint64 start(const std::vector<qint64> &forced)
    {
        const qint64 size = m_source.size(), at = m_first.recordStart();
        std::vector<qint64> starts;
        if (!forced.empty()) {
            for (qint64 s : forced)
                starts.push_back(std::max(s, starts.empty() ? at + 1 : starts.back() + 1));
        } else if (size - at >= kSplitFloor) {
            const unsigned threads = std::clamp(std::thread::hardware_concurrency(), 2u, kMaxThreads);
            const auto count = std::clamp<qint64>((size - at) / kPartSize, 2, kPartsPerThread * threads);
            for (qint64 k = 1; k < count; ++k)
                starts.push_back(at + (size - at) / count * k);
        } else {
            return kToTheEnd;
        }
        for (size_t k = 0; k < starts.size(); ++k) {
            auto part = std::make_unique<Part>();
            part->source = m_source.another();
            if (!part->source)
                return kToTheEnd;
            part->from = starts[k];
            part->until = k + 1 < starts.size() ? starts[k + 1] : kToTheEnd;
            m_parts.push_back(std::move(part));
        }
        const unsigned threads = forced.empty() ? std::clamp(std::thread::hardware_concurrency(), 2u, kMaxThreads) : 2u;
        try {
            for (unsigned t = 1; t < threads && t <= m_parts.size(); ++t)
                m_threads.emplace_back([this] { work(false); });
        } catch (const std::system_error &) {
            if (m_threads.empty())
                return kToTheEnd;
        }
        return m_parts.front()->from;
    }

    // With the first part paused at its limit: true when every part was read and joined.
    bool finish()
    {
        bool ended = false;
        m_joinedHash = m_hash;
        if (!m_first.fromMemory() && !hashToPieceEnd(m_source, m_joinedHash, ended))
            m_cancel = true;
        m_hashEnded = ended || m_first.fromMemory();
        m_current = &m_first;
        work(true);
        stopThreads();
        join();
        return !m_cancel && m_joined == m_parts.size();
    }

private:
    // Parts in turn while there are any; `joining` on the calling thread.
    void work(bool joining)
    {
        for (size_t k; !m_cancel && (k = m_next++) < m_parts.size();) {
            Part &part = *m_parts[k];
            if (!part.read(m_utf8, m_options, m_header, m_cancel))
                m_cancel = true;
            part.done = true;
            if (joining)
                join();
        }
    }

    // The parts done after those joined, while each fits the one before: on the calling
    // thread, so the rows need no lock.
    void join()
    {
        while (!m_cancel && m_joined < m_parts.size() && m_parts[m_joined]->done) {
            Part &part = *m_parts[m_joined];
            const bool fits = part.progress != Progress::Failed && part.parser->start() == m_current->recordStart()
                              && m_current->headerState() == m_header
                              && (m_hashEnded || m_joinedHash.append(part.hash, uint64_t(part.parser->hashFrom())));
            if (!fits) {
                m_cancel = true;
                return;
            }
            m_rows.reserveRows(m_rows.rows() + part.rows.rows());
            m_rows.appendStore(std::move(part.rows));
            m_tally.append(part.tally);
            m_hashEnded = m_hashEnded || part.ended;
            m_current = &*part.parser;
            ++m_joined;
            if (part.progress == Progress::Ended)
                m_joined = m_parts.size(); // the file ended here: any parts after it hold nothing
        }
        if (m_joined == m_parts.size())
            m_hash = m_joinedHash;
    }

    void stopThreads()
    {
        for (std::thread &t : m_threads)
            t.join();
        m_threads.clear();
    }

    AdiParser &m_first;
    ByteSource &m_source;
    const bool m_utf8;
    const DecodeOptions &m_options;
    GridStore &m_rows;
    ReadTally &m_tally;
    ContentHash &m_hash;
    const AdiParser::HeaderState m_header;
    std::vector<std::unique_ptr<Part>> m_parts;
    std::vector<std::thread> m_threads;
    std::atomic<size_t> m_next{0};
    std::atomic<bool> m_cancel{false};
    // What has been joined to the first part, in order.
    const AdiParser *m_current = nullptr;
    size_t m_joined = 0;
    ContentHash m_joinedHash;
    bool m_hashEnded = false;
};

// How a read that went to the end, or stopped, turns out.
AdiOutcome outcomeOf(const AdiParser &parser, Progress progress, Refusal &refusal)
{
    if (progress == Progress::Failed)
        return parser.outcome();
    if (!parser.anyTag()) {
        refusal.offset = 0;
        refusal.reason = QStringLiteral("no contiene ningún campo ADIF");
        return AdiOutcome::Refused;
    }
    return AdiOutcome::Ok;
}

} // namespace

std::vector<qint64> setSplits(std::vector<qint64> at)
{
    const std::lock_guard<std::mutex> lock(g_splitsLock);
    std::swap(at, g_splits);
    return at;
}

AdiOutcome readAdi(ByteSource &source, bool utf8, const DecodeOptions &options, GridStore &rows,
                   ReadTally &tally, ContentHash &hash, Refusal &refusal)
{
    // A time zone's changes are read once, here, and not by several threads at once.
    DecodeOptions read = options;
    read.utc.localSeconds(0);
    std::vector<qint64> forced;
    {
        const std::lock_guard<std::mutex> lock(g_splitsLock);
        forced = g_splits;
    }
    {
        AdiParser first(source, utf8, read, rows, tally, &hash, refusal);
        Progress progress = first.begin();
        if (progress == Progress::Paused) // the header, or the first record
            progress = first.readUntil(1);
        if (progress != Progress::Paused)
            return outcomeOf(first, progress, refusal);
        PartedRead parts(first, source, utf8, read, rows, tally, hash);
        const qint64 limit = parts.start(forced);
        progress = first.readUntil(limit);
        if (limit == kToTheEnd || progress != Progress::Paused)
            return outcomeOf(first, progress, refusal);
        if (parts.finish())
            return AdiOutcome::Ok;
    }
    // The parts did not fit: everything again, in one go.
    rows = GridStore(kColumns);
    tally = ReadTally();
    hash = ContentHash(hash.kind());
    refusal = Refusal();
    if (!source.rewind()) {
        refusal.unreadable = true;
        refusal.offset = 0;
        refusal.reason = source.errorString();
        return AdiOutcome::Refused;
    }
    AdiParser alone(source, utf8, read, rows, tally, &hash, refusal);
    Progress progress = alone.begin();
    if (progress == Progress::Paused)
        progress = alone.readUntil(kToTheEnd);
    return outcomeOf(alone, progress, refusal);
}

} // namespace adif
