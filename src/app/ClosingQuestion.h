#pragma once
#include "common/Platform.h"
#include <QObject>

class ContactLog;
class LogbookCommands;
class MainFrame;
class QSessionManager;
class RecoveryCommands;

// Closing the program ("Salir", the window's close button, the session ending) with changes
// not saved: asks whether to save them, and ends only when they are saved or dropped.
class ClosingQuestion : public QObject
{
    Q_OBJECT
public:
    ClosingQuestion(MainFrame &main, ContactLog &log, LogbookCommands &logbook, RecoveryCommands &recovery,
                    MessageSeam &messages, QObject *parent = nullptr);

    static QString question();
    // True when the program may end now.
    bool mayClose();
    void commitData(QSessionManager &manager);

private:
    enum class Answer { Save, Drop, Cancel };
    Answer ask();

    MainFrame &m_main;
    ContactLog &m_log;
    LogbookCommands &m_logbook;
    RecoveryCommands &m_recovery;
    MessageSeam &m_messages;
    bool m_dropped = false;             // "No guardar" was answered for the session's end
};
