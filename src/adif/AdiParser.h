#pragma once
// The records of an ADI file, one after the other, into rows. A parser reads from the start of
// the file, or from a record boundary found after some byte on, in the state another parser
// had there, so that two of them can read the two parts of a large file at once.
#include "AdiTags.h"
#include "AdifReaders.h"
#include "ByteSearch.h"
#include "Utf8Check.h"

#include <QSet>

#include <atomic>
#include <limits>
#include <string>
#include <vector>

namespace adif {

class AdiParser
{
public:
    // `hash`, when given, receives every byte read (after beginAt(), from hashFrom() on).
    AdiParser(ByteSource &source, bool utf8, const DecodeOptions &options, GridStore &rows, ReadTally &tally,
              ContentHash *hash, Refusal &refusal);

    enum class Progress { Ended, Paused, Failed };

    // From the start of the file. Failed: outcome() says why.
    Progress begin();
    // What was learnt from the header (and may change after it): whether Orvanel wrote the
    // file, and the user's own field names.
    struct HeaderState
    {
        bool own = false;
        QSet<QString> userDefined;
        bool operator==(const HeaderState &o) const { return own == o.own && userDefined == o.userDefined; }
    };
    HeaderState headerState() const { return {m_decoder.writtenByOrvanel(), m_userDefined}; }
    // For reading records after those of another parser, as it would.
    void takeHeader(const HeaderState &state);
    // From the first record that follows an <EOR> ending at or after byte `from`, to be read
    // up to about byte `until`; the reading stops early when `cancel` turns true. Ended when no
    // such record was found.
    Progress beginAt(qint64 from, qint64 until, const std::atomic<bool> *cancel);
    // Records until the file ends, or until a record (or the header) ends at or after byte
    // `limit` of the file: Paused there, and the next call goes on from there.
    Progress readUntil(qint64 limit);

    AdiOutcome outcome() const { return m_outcome; }
    bool anyTag() const { return m_anyTag; }
    // The byte of the file where the next record starts, when paused; where the first record
    // starts after beginAt().
    qint64 recordStart() const { return m_buf.base + qint64(m_recordStart); }
    qint64 start() const { return m_start; }
    // After beginAt(): the first byte hashed, the first piece boundary of the hash at or after
    // start(), so that the hash can go on another hash of the bytes before it.
    qint64 hashFrom() const { return m_hashFrom; }
    // How many bytes of the file were read.
    qint64 bytesRead() const { return m_buf.base + qint64(m_buf.end); }
    bool fromMemory() const { return m_source.memory() != nullptr; }

private:
    Step stop(size_t at, const QString &reason);
    Step notHeader();
    Progress refuse(qint64 offset, const QString &reason);
    bool fill(size_t keep = 0);
    bool checkUtf8(const char *data, size_t size);
    void hashNew(const char *data, size_t size);
    bool findRecordStart();
    void startRecord();
    Step parseRecords();
    bool atLimit();
    QString noLength() const;
    Step skipToEnd();
    void takeField(std::string_view name, std::string_view value);
    void store(int index, bool app, std::string_view value);
    void finishRecord(size_t end);

    struct Pending
    {
        int index;
        bool app;
        size_t offset, size;
    };

    ByteSource &m_source;
    const bool m_utf8;
    ContactDecoder m_decoder;
    GridStore &m_rows;
    ReadTally &m_tally;
    ContentHash *m_hash;
    Refusal &m_refusal;
    AdiOutcome m_outcome = AdiOutcome::Refused;
    const std::atomic<bool> *m_cancel = nullptr;

    std::vector<char> m_buffer;
    AdiBuffer m_buf;
    size_t m_pos = 0, m_recordStart = 0;
    qint64 m_start = 0;       // where this parser's records start
    qint64 m_hashFrom = 0;
    qint64 m_until = std::numeric_limits<qint64>::max(); // where the reading is meant to end
    qint64 m_limit = 0;
    bool m_paused = false;
    bool m_checking = true;   // whether bytes read go through the UTF-8 check
    bool m_anyTag = false;
    bool m_hasFields = false;
    bool m_sawEnd = false;    // an <EOR> or <EOH> came
    bool m_ended = false;     // a tag without a length ended the data
    qint64 m_endTag = 0;
    QString m_endName;
    bool m_inHeader = false;
    struct Skipped
    {
        qint64 offset = -1;
        QString reason;
    };
    Skipped m_skipped;                        // the first tag of the header's text, skipped
    Utf8Check m_check;

    TagScanner m_tags{m_buf};
    LtFinder m_lt;
    Fields m_fields;
    std::string_view m_cells[kColumns];
    std::vector<std::string_view> m_foreign;
    std::vector<Pending> m_pending;
    std::string m_arena;
    QSet<QString> m_userDefined;
};

} // namespace adif
