#pragma once
#include <QObject>

class ContactLog;
struct Variables;

// Cut, copy and paste of the current cell through the program's own one-cell buffer (not
// the desktop clipboard). They act only from the second contact row on.
class ClipboardCommands : public QObject
{
    Q_OBJECT
public:
    ClipboardCommands(ContactLog &log, Variables &variables, QObject *parent = nullptr);

    void mCortar_Click();
    void mCopiar_Click();
    void mPegar_Click();

private:
    bool rowAllowed() const;

    ContactLog &m_log;
    Variables &m_variables;
};
