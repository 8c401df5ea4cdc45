#pragma once
// The one line layer under .LBR, USUARIO.CFG and dxcc.dat: 8-bit text, one value per line,
// lines ended by CR LF. Values stand between two enclosing characters that the reader drops
// without looking at them.
#include "ContentHash.h"
#include <QString>
#include <QFile>
#include <QSaveFile>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Reads a file line by line in large chunks into one reused buffer: no allocation per line.
// The file's first line end sets the convention for the whole file: after a CR LF, lines end
// only at CR LF (a lone CR or a lone LF belongs to the line, so a value keeps its line breaks);
// after a lone CR, lines end at CR LF or at a lone CR (a lone LF belongs to the line); after
// a lone LF, lines end at LF (written on a system that ends lines with LF).
class QuotedLineReader
{
public:
    // chunkSize is the read size and the buffer's size; the buffer grows only for a line
    // longer than it.
    explicit QuotedLineReader(qint64 chunkSize = 1 << 20);
    ~QuotedLineReader();

    // False with errorString() set when the file cannot be opened or is not a plain file.
    // errorString() is Qt's text for the failure; callers put it into their own sentence.
    // Opening again starts afresh on the new file.
    bool open(const QString &path);
    // Next line without its line end, valid until the next call. False at the end of the
    // file or on a read error (then hasError() is true).
    bool next(std::string_view &line);
    // The next n lines at once, exactly as n calls of next() would give them, side by side in
    // the buffer in file order and valid until the next call. False, with nothing taken, when
    // fewer than n lines ended by a line end are left (end of file, read error, or lines too
    // long for the buffer); next() then gives what is left one line at a time.
    bool nextLines(std::string_view *lines, int n);
    qint64 lineNumber() const { return m_lineNumber; } // 1-based number of the last line returned
    bool hasError() const { return !m_error.isEmpty(); }
    QString errorString() const { return m_error; }
    qint64 fileSize() const { return m_fileSize; }
    // Reads whatever the lines did not need and gives the hash (ContentHash) and size of
    // every byte of the file. The lines already given are no longer valid, and no more follow.
    bool hashToEnd(uint64_t &hash, int64_t &size);

    // The value of a quoted line: the line without its first and last character.
    // False when the line is shorter than two characters.
    static bool value(std::string_view line, std::string_view &value);

private:
    bool fill();
    QFile m_file;
    std::vector<char> m_buffer;
    size_t m_begin = 0, m_end = 0;
    qint64 m_chunkSize;
    qint64 m_lineNumber = 0;
    qint64 m_fileSize = 0;
    bool m_eof = false;
    bool m_reading = false;                  // open and no error so far
    enum class LineEnds { CrLf, Cr, Lf };
    bool settleLineEnds();
    LineEnds m_lineEnds = LineEnds::CrLf;
    ContentHash m_hash;                      // of every byte read so far
    QString m_error;
};

// Writes quoted lines through QSaveFile: the old file is replaced only by a complete new one.
class QuotedLineWriter
{
public:
    explicit QuotedLineWriter(const QString &path);
    bool open();                               // false with errorString() set
    // Bytes are written exactly as given; after a failure further writes are dropped and
    // commit() reports the first error.
    void writeBare(std::string_view bytes);    // bytes then CR LF (the count line)
    void writeQuoted(std::string_view bytes);  // '"' bytes '"' CR LF
    // Writes buffered bytes and renames into place; false with errorString() set on failure,
    // and then the previous file is untouched.
    bool commit();
    QString errorString() const { return m_error; }
    // ContentHash and size of every byte written, for telling the file again later.
    uint64_t hash() const { return m_hash.value(); }
    int64_t size() const { return int64_t(m_hash.size()); }

private:
    void flushIfFull();
    bool flush();
    ContentHash m_hash;
    QSaveFile m_file;
    std::string m_buffer;
    bool m_failed = false;
    QString m_error;
};
