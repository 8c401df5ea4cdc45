#pragma once
// The recovery journal: every step made to the table since it was last saved, appended to a
// file in the working folder as it is made and flushed to the disk before the step returns.
// After a crash or a power cut the next start finds it and can rebuild the table.
#include "JournalFormat.h"
#include "history/ChangeObserver.h"
#include <QString>
#include <functional>

class RecoveryJournal : public ChangeObserver
{
public:
    explicit RecoveryJournal(QString path);
    ~RecoveryJournal() override;

    const QString &path() const { return m_path; }
    bool fileExists() const;
    // Goes on appending to a journal read back at start (its damaged end cut off).
    bool resume(const journal::Read &read, ChangeId nextChange);
    // The table was saved, or the program ends without anything to keep: no journal.
    void end();
    // Each step is on the disk before it returns (the default). Off, steps are only written,
    // and sync() flushes them: for measuring the two apart.
    void setSyncEachStep(bool on) { m_syncEachStep = on; }
    bool sync();
    // Writes the steps made so far without waiting for the disk: they outlive the program
    // being killed, and the next sync() puts them beyond a power cut too.
    bool flush();
    // Told once, when the journal cannot be written (a full disk, say).
    void setOnFailure(std::function<void(const QString &)> onFailure) { m_onFailure = std::move(onFailure); }

    // --- ChangeObserver ---
    void stepBegins() override;
    void stepEnds() override;
    void rebased(const TableOrigin &origin) override;
    void rowInserted(int64_t row, const std::string_view *cells, int count) override;
    void rowRemoved(int64_t row) override;
    void rowsNumbered() override;
    void numbersSet(const std::vector<int64_t> &numbers) override;
    void cellsSet(const std::vector<CellText> &cells) override;
    void rowsPermuted(int64_t first, const std::vector<int64_t> &order) override;
    void chromeSet(const QString &title, bool saveEnabled) override;
    ChangeId rowsCut(int64_t row) override;
    ChangeId rowsRestored(ChangeId cut, const GridStore &rows) override;
    ChangeId rowsReadFrom(const FileSource &file) override;
    ChangeId tableReadFrom(const FileSource &file) override;
    ChangeId tableEmptied() override;
    ChangeId tableRestored(ChangeId replaced, const GridStore &table) override;

private:
    void begin(journal::Op op);
    ChangeId nextId() { return m_nextChange++; }
    bool known(ChangeId id) const { return id >= m_firstChange && id < m_nextChange; }
    bool openFile();
    bool writeAll(const char *data, size_t size);
    void fail(const QString &reason);
    void closeFile();
    FileSource named(const FileSource &file) const;

    QString m_path;
    int m_fd = -1;
    HashKind m_hash = kHashKind;
    TableOrigin m_origin;
    ChangeId m_firstChange = 0, m_nextChange = 0;
    journal::Encoder m_changes;         // of the step being made
    uint64_t m_changeCount = 0;
    int m_depth = 0;
    std::string m_pending;              // whole frames not yet written
    bool m_syncEachStep = true;
    bool m_unsynced = false;            // written, not yet on the disk
    bool m_failed = false;
    std::function<void(const QString &)> m_onFailure;
};
