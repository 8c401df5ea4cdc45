#pragma once
#include "common/Platform.h"
#include "common/Variables.h"
#include <QObject>
#include <memory>

class MainFrame;
class UserConfig;
class StationClock;
class EntryForm;
class CommentEditor;
class LogbookCommands;
class EditCommands;
class DxccCommands;
class HelpCommands;
class ContactLog;
class FolderCommands;
class RecoveryCommands;
class ExportCommands;
class CallIndex;
class WorkedCommands;
class ClosingQuestion;
class MainChrome;
class ConfirmationCommands;
class LabelCommands;
class Greeting;
class ConnectionCommands;

// The program: the main window with every command attached, started and ended as a whole.
class Kavento : public QObject
{
    Q_OBJECT
public:
    Kavento(Platform platform, QString folder, QObject *parent = nullptr);
    ~Kavento() override;

    void Form_Load();        // the start-up sequence, before the window is first shown
    void show();
    void loadCountryFile();

    MainFrame &frame() { return *m_frame; }
    Variables &variables() { return m_variables; }
    UserConfig &userConfig() { return *m_userConfig; }
    StationClock &clock() { return *m_clock; }
    EntryForm &entry() { return *m_entry; }
    CommentEditor &comments() { return *m_comments; }
    LogbookCommands &logbook() { return *m_logbook; }
    EditCommands &edit() { return *m_edit; }
    DxccCommands &dxcc() { return *m_dxcc; }
    HelpCommands &help() { return *m_help; }
    ContactLog &log() { return *m_log; }
    FolderCommands &folders() { return *m_folders; }
    RecoveryCommands &recovery() { return *m_recovery; }
    ExportCommands &exporting() { return *m_export; }
    CallIndex &calls() { return *m_calls; }
    WorkedCommands &worked() { return *m_worked; }
    ClosingQuestion &closing() { return *m_closing; }
    ConfirmationCommands &confirmations() { return *m_confirmations; }
    LabelCommands &labels() { return *m_labels; }
    Greeting &greeting() { return *m_greeting; }
    ConnectionCommands &connections() { return *m_connections; }

private:
    Platform m_platform;
    QString m_folder;
    Variables m_variables;
    std::unique_ptr<MainFrame> m_frame;
    std::unique_ptr<MainChrome> m_chrome;
    ContactLog *m_log;
    UserConfig *m_userConfig;
    StationClock *m_clock;
    EntryForm *m_entry;
    CommentEditor *m_comments;
    LogbookCommands *m_logbook;
    EditCommands *m_edit;
    DxccCommands *m_dxcc;
    HelpCommands *m_help;
    FolderCommands *m_folders;
    RecoveryCommands *m_recovery;
    ExportCommands *m_export;
    CallIndex *m_calls;
    WorkedCommands *m_worked;
    ClosingQuestion *m_closing;
    ConfirmationCommands *m_confirmations;
    LabelCommands *m_labels;
    Greeting *m_greeting;
    ConnectionCommands *m_connections;
};
