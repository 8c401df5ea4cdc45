#pragma once
#include "Confirmations.h"
#include "common/Platform.h"
#include "common/Variables.h"
#include "ui/FormWindow.h"
#include "ui/WindowSlot.h"
#include <QObject>

class CallIndex;
class ContactLog;
class MainFrame;

// "Importar confirmaciones": a report of confirmed contacts from a confirmation service marks
// the matching contacts' "Recibida" as "SI", in one step of the history; the records that
// matched nothing can be seen and copied in a window of their own.
class ConfirmationCommands : public QObject
{
    Q_OBJECT
public:
    ConfirmationCommands(MainFrame &main, ContactLog &log, CallIndex &index, Platform platform,
                         const Variables &variables, QObject *parent = nullptr);

    void mConfirmaciones_Click();
    void Importar_Click();
    void Cancelar_Click();
    void Examinar_Click();
    FormWindow *window() const { return m_slot.window(); }
    FormWindow *unmatchedWindow() const { return m_unmatched.window(); }

private:
    FormWindow *create();
    FormWindow *createUnmatched();
    QString report(const QString &name, const ConfirmationMatch &match) const;
    void showUnmatched(const std::vector<UnmatchedRecord> &records);

    MainFrame &m_main;
    ContactLog &m_log;
    CallIndex &m_index;
    Platform m_platform;
    const Variables &m_variables;
    Slot<FormWindow> m_slot;
    Slot<FormWindow> m_unmatched;
};

// The label before a field names it, for the keyboard (its access key) and for a screen reader.
void nameByLabel(FormWindow *window, const QString &label, const QString &field);
