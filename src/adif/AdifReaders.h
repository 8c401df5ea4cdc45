#pragma once
// The two encodings of a log on their way in. Each reader fills rows and the tally of fields
// left out, or says where and why it refuses the file; importAdif() turns that into the
// message.
#include "AdifFields.h"
#include "AdifImport.h"
#include "ContactMapping.h"
#include "common/ContentHash.h"
#include "common/GridStore.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace adif {

struct Refusal
{
    qint64 offset = -1;    // byte of the file at fault, when the reader knows it
    qint64 line = 0;       // or the line, when it knows that instead
    QString reason;        // a Spanish phrase to put after "Línea N: "
    bool unreadable = false; // a read error, not a malformed file
};

// What a read finds beside its rows: the values of standard fields no column took (by
// upper-case field name), the rows without a call sign, and cells a log book cannot hold.
class ReadTally
{
public:
    void add(std::string_view name);
    void addUnused(uint32_t fieldBits);
    // A row as it goes into the store; `own` when Orvanel wrote it, as a row of its table.
    // `storableRecord`: a log book can hold the record's values, and so the cells made of them
    // (dates and times in the locale's words are checked all the same).
    void addRow(const std::string_view *cells, bool own, bool storableRecord = false);
    int64_t rows() const { return m_rows; }
    // Whether a row holds a contact: a call sign, a date or a time, or a row of Orvanel's.
    bool anyContact() const { return m_anyContact; }
    void resultsInto(AdifRead &read) const;
    // What a read of the records after these found.
    void append(const ReadTally &later);

private:
    static constexpr size_t kNamed = 5; // rows or cells named in a message
    std::map<std::string, int64_t, std::less<>> m_counts;
    int64_t m_rows = 0;
    bool m_anyContact = false;
    int64_t m_withoutCall = 0, m_unstorable = 0;
    std::vector<int64_t> m_firstWithoutCall;
    std::vector<std::pair<int64_t, int>> m_firstUnstorable;
};

// Where the ADI reader takes its bytes from: a file read in pieces, or bytes in memory.
class ByteSource
{
public:
    virtual ~ByteSource() = default;
    virtual qint64 size() const = 0;
    // Up to n bytes into `to`: 0 at the end, -1 on a read error.
    virtual qint64 read(char *to, qint64 n) = 0;
    virtual bool seek(qint64 offset) = 0;
    bool rewind() { return seek(0); }
    virtual QString errorString() const = 0;
    // All the bytes when they are in memory already (then read() is never called).
    virtual const QByteArray *memory() const { return nullptr; }
    // A second source of the same bytes, to read another part of them at the same time; null
    // when there can be none.
    virtual std::unique_ptr<ByteSource> another() const = 0;
};

// Where reads hand parts of a file to other threads: by the usual rule (none given: files of
// 8 MB or more, in parts of 16 MB or more, up to six to a core), or, for tests, every file in
// parts that start at the bytes given. Returns the setting before.
std::vector<qint64> setSplits(std::vector<qint64> at);

enum class AdiOutcome { Ok, NotUtf8, Refused };

// Reads ADI with its text as UTF-8 (`utf8`) or Windows-1252. In UTF-8, bytes that are not
// UTF-8 anywhere in the file stop the reading with NotUtf8, for the caller to start again.
// `hash` receives the bytes as they are read. A large file is read in parts on several threads,
// each through `another` source of the same bytes.
AdiOutcome readAdi(ByteSource &source, bool utf8, const DecodeOptions &options, GridStore &rows,
                   ReadTally &tally, ContentHash &hash, Refusal &refusal);

// Reads a whole ADX document.
bool readAdx(const QByteArray &bytes, const DecodeOptions &options, GridStore &rows, ReadTally &tally,
             Refusal &refusal);

// A name for a message: its start, with anything unprintable shown as '?'.
QString shownName(std::string_view name);

} // namespace adif
