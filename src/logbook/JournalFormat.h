#pragma once
// The recovery journal's file format. A header names the table the journal starts from
// (nothing, or a file by its name, size and hash); then one frame per step, appended as the
// step is made. Every frame is length-prefixed and carries a checksum, so a frame cut short
// by a crash, and everything after it, is told apart from the whole frames before it.
//
//   file    = "ORVANELJ" version:u8 hash:u8 headerLength:u32 checksum:u32 header frame*
//   header  = firstChange:i64 created:i64 fromFile:u8 [source] title:str save:u8 numbers:list
//   source  = name:str path:str size:i64 hash:i64 format:u8 conversion:u8 hours:var locale:str
//             [zone:str, when the conversion is by time zone]
//   frame   = length:u32 checksum:u32 payload
//   payload = time:i64 count:var op*
//
// Numbers are little-endian; var is a LEB128 unsigned number, str a var length and UTF-8
// bytes. `hash` names the ContentHash kind of the journal: the checksum is the low half of
// that hash of what follows it, and the files it names are recognised by that hash too.
// Version 1 journals have no `hash` byte and use XXH64.
#include "common/ContentHash.h"
#include "history/ChangeObserver.h"
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

namespace journal {

inline constexpr char kMagic[] = "ORVANELJ";
inline constexpr uint8_t kVersion = 2;

enum class Op : uint8_t {
    RowInserted = 1,
    RowRemoved,
    RowsNumbered,
    NumbersSet,
    CellsSet,
    RowsPermuted,
    ChromeSet,
    RowsCut,
    RowsRestored,
    RowsReadFrom,
    TableReadFrom,
    TableEmptied,
    TableRestored,
    RowsReadSkipping,                    // RowsReadFrom, some of the file's rows left out
};

// One change as read back. Which fields mean something depends on `op`.
struct Change
{
    Op op = Op::RowsNumbered;
    int64_t row = 0;                     // RowInserted, RowRemoved, RowsCut; first row of RowsPermuted
    std::vector<std::string> cells;      // RowInserted
    std::vector<int64_t> numbers;        // NumbersSet; the order of RowsPermuted
    std::vector<CellText> texts;         // CellsSet
    QString title;                       // ChromeSet
    bool saveEnabled = false;            // ChromeSet
    FileSource file;                     // RowsReadFrom, RowsReadSkipping, TableReadFrom
    ChangeId earlier = kNoChange;        // RowsRestored, TableRestored: the change whose rows come back
    bool hasRows = false;                // RowsRestored, TableRestored: the rows themselves follow
    std::vector<std::vector<std::string>> rows;
};

struct Frame
{
    QDateTime time;
    std::vector<Change> changes;
};

struct Header
{
    HashKind hash = kHashKind;           // of the checksums and of the files named
    ChangeId firstChange = 0;            // the id of the journal's first change
    QDateTime created;
    TableOrigin origin;
};

// --- writing ---

class Encoder
{
public:
    void clear() { m_bytes.clear(); }
    const std::string &bytes() const { return m_bytes; }

    void u8(uint8_t v) { m_bytes.push_back(char(v)); }
    void u32(uint32_t v);
    void i64(int64_t v);
    void var(uint64_t v);
    void str(std::string_view s);
    void str(const QString &s);
    void file(const FileSource &f);
    void cells(const std::string_view *cells, int count);
    void rows(const GridStore &store, int64_t first);

private:
    std::string m_bytes;
};

QByteArray headerBytes(const Header &header);
// The file's start around a header already encoded.
QByteArray headerAround(const std::string &payload, HashKind hash = kHashKind);
// A frame around `payload` (time and changes already encoded).
void appendFrame(std::string &out, const std::string &payload, HashKind hash = kHashKind);

// --- reading ---

struct Read
{
    bool ok = false;                     // the header could be read
    QString problem;                     // why not, in Spanish, when !ok
    Header header;
    std::vector<Frame> frames;           // every whole frame, in order
    bool damagedEnd = false;             // bytes after the last whole frame
    int64_t wholeBytes = 0;              // where the last whole frame ends
};

Read read(const QByteArray &bytes);

} // namespace journal
