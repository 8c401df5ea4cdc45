#include "RecoveryJournal.h"
#include "LogFileReading.h"
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

using journal::Op;

RecoveryJournal::RecoveryJournal(QString path) : m_path(std::move(path)) {}

RecoveryJournal::~RecoveryJournal()
{
    closeFile();
}

bool RecoveryJournal::fileExists() const
{
    return QFileInfo::exists(m_path);
}

void RecoveryJournal::closeFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_unsynced = false;
}

void RecoveryJournal::fail(const QString &reason)
{
    closeFile();
    if (!m_failed && m_onFailure)
        m_onFailure(reason);
    m_failed = true;
}

bool RecoveryJournal::writeAll(const char *data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(m_fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            fail(QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
        data += n;
        size -= size_t(n);
    }
    return true;
}

// The file is made when the first step after a save needs it: header first, on the disk, and
// the folder's entry for it too, before any step is counted on.
bool RecoveryJournal::openFile()
{
    if (m_fd >= 0)
        return true;
    if (m_failed)
        return false;
    const QByteArray name = QFile::encodeName(m_path);
    m_fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (m_fd < 0) {
        fail(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    journal::Header header{m_hash, m_firstChange, QDateTime::currentDateTime(), m_origin};
    const QByteArray bytes = journal::headerBytes(header);
    if (!writeAll(bytes.constData(), size_t(bytes.size())) || ::fdatasync(m_fd) != 0) {
        fail(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    const QByteArray folder = QFile::encodeName(QFileInfo(m_path).absolutePath());
    const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

bool RecoveryJournal::resume(const journal::Read &read, ChangeId nextChange)
{
    closeFile();
    m_failed = false;
    m_origin = read.header.origin;
    m_hash = read.header.hash; // what is added goes on in the kind the journal names
    m_firstChange = read.header.firstChange;
    m_nextChange = nextChange;
    const QByteArray name = QFile::encodeName(m_path);
    m_fd = ::open(name.constData(), O_WRONLY | O_CLOEXEC);
    // A frame cut short by the crash would hide every later one: it goes.
    if (m_fd < 0 || ::ftruncate(m_fd, read.wholeBytes) != 0 || ::lseek(m_fd, 0, SEEK_END) < 0) {
        fail(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    return true;
}

void RecoveryJournal::end()
{
    closeFile();
    m_pending.clear();
    QFile::remove(m_path);
    m_failed = false;
}

bool RecoveryJournal::flush()
{
    if (m_pending.empty())
        return m_fd >= 0 || !m_failed;
    if (!openFile())
        return false;
    const bool written = writeAll(m_pending.data(), m_pending.size());
    m_pending.clear();
    m_unsynced = m_unsynced || written;
    return written;
}

bool RecoveryJournal::sync()
{
    if (!flush() || !m_unsynced)
        return m_fd >= 0 || !m_failed;
    m_unsynced = false;
    if (::fdatasync(m_fd) != 0) {
        fail(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    return true;
}

void RecoveryJournal::rebased(const TableOrigin &origin)
{
    end();
    m_hash = kHashKind;
    m_origin = origin;
    m_origin.file = named(origin.file);
    m_firstChange = m_nextChange;
}

// The file as this journal names files: its hash of the kind the journal uses, which a file
// read while an older journal goes on was not hashed with.
FileSource RecoveryJournal::named(const FileSource &file) const
{
    FileSource same = file;
    if (file.hashKind != m_hash && !file.path.isEmpty()) {
        int64_t size = 0;
        if (hashFile(file.path, m_hash, same.hash, size))
            same.hashKind = m_hash;
    }
    return same;
}

// --- steps ---

void RecoveryJournal::stepBegins()
{
    if (m_depth++ == 0) {
        m_changes.clear();
        m_changeCount = 0;
    }
}

void RecoveryJournal::stepEnds()
{
    if (--m_depth > 0 || m_changeCount == 0)
        return;
    journal::Encoder payload;
    payload.i64(QDateTime::currentMSecsSinceEpoch());
    payload.var(m_changeCount);
    std::string bytes = payload.bytes();
    bytes += m_changes.bytes();
    journal::appendFrame(m_pending, bytes, m_hash);
    if (m_syncEachStep)
        sync();
}

void RecoveryJournal::begin(Op op)
{
    ++m_changeCount;
    m_changes.u8(uint8_t(op));
}

void RecoveryJournal::rowInserted(int64_t row, const std::string_view *cells, int count)
{
    begin(Op::RowInserted);
    m_changes.var(uint64_t(row));
    m_changes.cells(cells, count);
}

void RecoveryJournal::rowRemoved(int64_t row)
{
    begin(Op::RowRemoved);
    m_changes.var(uint64_t(row));
}

void RecoveryJournal::rowsNumbered()
{
    begin(Op::RowsNumbered);
}

void RecoveryJournal::numbersSet(const std::vector<int64_t> &numbers)
{
    begin(Op::NumbersSet);
    m_changes.var(numbers.size());
    for (int64_t n : numbers)
        m_changes.var(uint64_t(n));
}

void RecoveryJournal::cellsSet(const std::vector<CellText> &cells)
{
    begin(Op::CellsSet);
    m_changes.var(cells.size());
    for (const CellText &c : cells) {
        m_changes.var(uint64_t(c.row));
        m_changes.var(uint64_t(c.col));
        m_changes.str(c.text);
    }
}

void RecoveryJournal::rowsPermuted(int64_t first, const std::vector<int64_t> &order)
{
    begin(Op::RowsPermuted);
    m_changes.var(uint64_t(first));
    m_changes.var(order.size());
    for (int64_t v : order)
        m_changes.var(uint64_t(v - first));
}

void RecoveryJournal::chromeSet(const QString &title, bool saveEnabled)
{
    begin(Op::ChromeSet);
    m_changes.str(title);
    m_changes.u8(saveEnabled ? 1 : 0);
}

ChangeId RecoveryJournal::rowsCut(int64_t row)
{
    begin(Op::RowsCut);
    m_changes.var(uint64_t(row));
    return nextId();
}

ChangeId RecoveryJournal::rowsRestored(ChangeId cut, const GridStore &rows)
{
    begin(Op::RowsRestored);
    m_changes.i64(cut);
    // Rows cut before the journal began are not in it: they travel whole.
    m_changes.u8(known(cut) ? 0 : 1);
    if (!known(cut))
        m_changes.rows(rows, 0);
    return nextId();
}

ChangeId RecoveryJournal::rowsReadFrom(const FileSource &file)
{
    begin(file.skipped.empty() ? Op::RowsReadFrom : Op::RowsReadSkipping);
    m_changes.file(named(file));
    if (!file.skipped.empty()) {
        m_changes.var(file.skipped.size());
        for (int64_t row : file.skipped)
            m_changes.var(uint64_t(row));
    }
    return nextId();
}

ChangeId RecoveryJournal::tableReadFrom(const FileSource &file)
{
    begin(Op::TableReadFrom);
    m_changes.file(named(file));
    return nextId();
}

ChangeId RecoveryJournal::tableEmptied()
{
    begin(Op::TableEmptied);
    return nextId();
}

ChangeId RecoveryJournal::tableRestored(ChangeId replaced, const GridStore &table)
{
    begin(Op::TableRestored);
    m_changes.i64(replaced);
    m_changes.u8(known(replaced) ? 0 : 1);
    if (!known(replaced))
        m_changes.rows(table, 0);
    return nextId();
}
