#pragma once
#include "ui/FormWindow.h"
#include "ui/WindowSlot.h"
#include <QObject>
#include <QPersistentModelIndex>

class ContactLog;
class FormWindow;
class MainFrame;

// Edits one contact's comment in a window of its own. The editor keeps hold of the
// contact, not of a row number: if rows are sorted or deleted meanwhile, "Aceptar" still
// writes to that contact, and if the contact is gone nothing is written.
class CommentEditor : public QObject
{
    Q_OBJECT
public:
    CommentEditor(MainFrame &main, ContactLog &log, QObject *parent = nullptr);

    void Comentario_Click();
    void Aceptar_Click();
    void Cancelar_Click();
    FormWindow *window() const { return m_slot.window(); }
    int editorRow() const;                    // 0 when no contact is held

private:
    FormWindow *create();
    void dropIfGone();

    MainFrame &m_main;
    ContactLog &m_log;
    Slot<FormWindow> m_slot;
    QPersistentModelIndex m_contact;
    QString m_opened;                         // the comment as the editor received it
    QString m_openedAsShown;                  // and as the box gives it back
};
