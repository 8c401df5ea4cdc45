#pragma once
#include "common/Platform.h"
#include "common/Variables.h"
#include <QObject>

class ContactLog;
class MainFrame;
class SearchCommands;
class SortDeleteCommands;
class ClipboardCommands;
class ReplaceCommands;

// Undo and redo, search and find next, sort and delete line, cut, copy and paste of one cell:
// the "Edición" menu's commands, attached to its items.
class EditCommands : public QObject
{
    Q_OBJECT
public:
    EditCommands(MainFrame &main, ContactLog &log, Variables &variables, MessageSeam &messages,
                 QObject *parent = nullptr);

    SearchCommands &search() { return *m_search; }
    SortDeleteCommands &sortDelete() { return *m_sortDelete; }
    ClipboardCommands &clipboard() { return *m_clipboard; }
    ReplaceCommands &replace() { return *m_replace; }

private:
    void showHistory();              // the captions and states of "Deshacer" and "Rehacer"

    MainFrame &m_main;
    ContactLog &m_log;
    SearchCommands *m_search;
    SortDeleteCommands *m_sortDelete;
    ClipboardCommands *m_clipboard;
    ReplaceCommands *m_replace;
};
