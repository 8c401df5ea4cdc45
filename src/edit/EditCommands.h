#pragma once
#include "common/Variables.h"
#include <QObject>

class MainFrame;
class SearchCommands;
class SortDeleteCommands;
class ClipboardCommands;

// Search and find next, sort and delete line, cut, copy and paste of one cell: the
// "Edición" menu's commands, attached to its items.
class EditCommands : public QObject
{
    Q_OBJECT
public:
    EditCommands(MainFrame &main, Variables &variables, QObject *parent = nullptr);

    SearchCommands &search() { return *m_search; }
    SortDeleteCommands &sortDelete() { return *m_sortDelete; }
    ClipboardCommands &clipboard() { return *m_clipboard; }

private:
    SearchCommands *m_search;
    SortDeleteCommands *m_sortDelete;
    ClipboardCommands *m_clipboard;
};
