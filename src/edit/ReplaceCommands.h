#pragma once
#include "common/Platform.h"
#include "ui/FormWindow.h"
#include "ui/WindowSlot.h"
#include <QObject>

class ContactLog;
class MainFrame;
class CellReplacer;
struct ReplaceScope;

// "Reemplazar": a window in the style of the search window. "Reemplazar" changes the current
// cell when it matches and moves to the next match; "Reemplazar todo" changes every match in
// one step and says how many cells changed.
class ReplaceCommands : public QObject
{
    Q_OBJECT
public:
    ReplaceCommands(MainFrame &main, ContactLog &log, MessageSeam &messages, QObject *parent = nullptr);

    void mRemplazar_Click();
    void Command1_Click();              // "Reemplazar"
    void Command2_Click();              // "Reemplazar todo"
    void Command3_Click();              // "Cancelar"
    FormWindow *window() const { return m_slot.window(); }

private:
    FormWindow *create();
    // The window's texts as a replacer; false, with a message, when they cannot be used.
    bool rule(CellReplacer *&replacer, ReplaceScope &scope);
    void say(const QString &text);

    MainFrame &m_main;
    ContactLog &m_log;
    MessageSeam &m_messages;
    Slot<FormWindow> m_slot;
};
