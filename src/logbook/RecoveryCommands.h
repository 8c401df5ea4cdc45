#pragma once
#include "JournalReplay.h"
#include "RecoveryJournal.h"
#include "common/Platform.h"
#include <QLockFile>
#include <QObject>
#include <memory>

class ContactLog;

// What keeps a log's unsaved changes through a crash: the journal beside the program, and at
// start the question whether to bring back what a run that did not end cleanly left in it.
class RecoveryCommands : public QObject
{
    Q_OBJECT
public:
    // The journal lives in `workingFolder`; `readFile` reads the files a journal names.
    RecoveryCommands(ContactLog &log, Platform platform, const QString &workingFolder, JournalFileReader readFile,
                     QObject *parent = nullptr);
    ~RecoveryCommands() override;

    static QString journalName();
    RecoveryJournal *journal() { return m_journal.get(); }

    // A journal left behind by the last run: offers to rebuild the table from it.
    void offerRecovery();
    // The program ends cleanly, or the changes are dropped on purpose: no journal stays.
    void endJournal();

private:
    void setAside(const QString &why);

    ContactLog &m_log;
    Platform m_platform;
    QString m_folder;
    JournalFileReader m_readFile;
    QLockFile m_lock;
    std::unique_ptr<RecoveryJournal> m_journal; // null when another run keeps the journal
};
