#include "AdiParser.h"

#include <algorithm>
#include <atomic>
#include <limits>
#include <memory>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

namespace adif {
namespace {

std::atomic<qint64> g_splitAt{-1};
constexpr qint64 kSplitFloor = qint64(8) << 20;

constexpr qint64 kToTheEnd = std::numeric_limits<qint64>::max();
constexpr qint64 kUnknown = -1, kNone = -2;

// The second part of a large file, read on a thread of its own into rows of its own. It starts
// at the first record boundary it finds after a byte chosen in the middle. It counts only when
// the first part, read to there, ends a record at that same byte in the state the second
// started with; otherwise the first part reads on alone, as if there were no second part.
struct SecondPart
{
    std::unique_ptr<ByteSource> source;
    GridStore rows{kColumns};
    ReadTally tally;
    ContentHash hash;
    Refusal refusal;
    std::optional<AdiParser> parser;
    AdiParser::HeaderState startedWith; // as the first part had it where this one started
    AdiParser::Progress progress = AdiParser::Progress::Failed;
    std::atomic<bool> cancel{false};
    std::atomic<qint64> start{kUnknown}; // where its records start, once it knows
    qint64 from = 0;
    std::thread thread;

    ~SecondPart()
    {
        cancel = true;
        if (thread.joinable())
            thread.join();
    }
    void read()
    {
        progress = parser->beginAt(from, &cancel);
        start = progress == AdiParser::Progress::Paused ? parser->start() : kNone;
        if (progress == AdiParser::Progress::Paused)
            progress = parser->readUntil(kToTheEnd);
    }
};

std::unique_ptr<SecondPart> startSecondPart(const AdiParser &first, ByteSource &source, bool utf8,
                                            const DecodeOptions &options)
{
    const qint64 size = source.size(), at = first.recordStart(), forced = g_splitAt.load();
    if (forced < 0 && size - at < kSplitFloor)
        return nullptr;
    auto second = std::make_unique<SecondPart>();
    second->source = source.another();
    if (!second->source)
        return nullptr;
    // Bytes in memory were hashed at once; a file's second part hashes its own.
    ContentHash *hash = first.fromMemory() ? nullptr : &second->hash;
    second->parser.emplace(*second->source, utf8, options, second->rows, second->tally, hash, second->refusal);
    second->startedWith = first.headerState();
    second->parser->takeHeader(second->startedWith);
    second->from = forced >= 0 ? std::max(forced, at + 1) : at + (size - at) / 2;
    try {
        second->thread = std::thread([part = second.get()] { part->read(); });
    } catch (const std::system_error &) {
        return nullptr;
    }
    return second;
}

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

// The first part has paused at the second part's byte, or past it: the second part's rows
// after its own when it read what the first would have. False when the first part has to read
// on (from where it paused).
bool takeSecondPart(const AdiParser &first, SecondPart &second, ByteSource &source, GridStore &rows,
                    ReadTally &tally, ContentHash &hash, Refusal &refusal, bool &failed)
{
    const qint64 start = second.start.load();
    if (start != kUnknown && start != first.recordStart())
        second.cancel = true; // no use waiting for it
    // The first part's hash goes on with the second's from the piece after its last byte read.
    ContentHash all = hash;
    bool ended = false;
    const bool hashed = second.cancel || first.fromMemory() || hashToPieceEnd(source, all, ended);
    second.thread.join();
    if (hashed && !second.cancel && second.progress == AdiParser::Progress::Ended && second.parser->start() == first.recordStart()
        && first.headerState() == second.startedWith
        && (first.fromMemory() || ended || all.append(second.hash, uint64_t(second.parser->hashFrom())))) {
        rows.reserveRows(rows.rows() + second.rows.rows());
        rows.appendStore(std::move(second.rows));
        tally.append(second.tally);
        hash = std::move(all);
        return true;
    }
    if (!first.fromMemory() && !source.seek(first.bytesRead())) {
        refusal.unreadable = true;
        refusal.offset = first.bytesRead();
        refusal.reason = source.errorString();
        failed = true;
    }
    return false;
}

} // namespace

qint64 setSplitAt(qint64 at)
{
    return g_splitAt.exchange(at);
}

AdiOutcome readAdi(ByteSource &source, bool utf8, const DecodeOptions &options, GridStore &rows,
                   ReadTally &tally, ContentHash &hash, Refusal &refusal)
{
    using Progress = AdiParser::Progress;
    // A time zone's changes are read once, here, and not by two threads at once.
    DecodeOptions read = options;
    read.utc.localSeconds(0);
    AdiParser first(source, utf8, read, rows, tally, &hash, refusal);
    Progress progress = first.begin();
    if (progress == Progress::Paused) // the header, or the first record
        progress = first.readUntil(1);
    std::unique_ptr<SecondPart> second;
    if (progress == Progress::Paused)
        second = startSecondPart(first, source, utf8, read);
    if (second) {
        progress = first.readUntil(second->from);
        if (progress == Progress::Paused) {
            bool failed = false;
            if (takeSecondPart(first, *second, source, rows, tally, hash, refusal, failed))
                return AdiOutcome::Ok;
            if (failed)
                return AdiOutcome::Refused;
        }
        second.reset();
    }
    if (progress == Progress::Paused)
        progress = first.readUntil(kToTheEnd);
    if (progress == Progress::Failed)
        return first.outcome();
    if (!first.anyTag()) {
        refusal.offset = 0;
        refusal.reason = QStringLiteral("no contiene ningún campo ADIF");
        return AdiOutcome::Refused;
    }
    return AdiOutcome::Ok;
}

} // namespace adif
