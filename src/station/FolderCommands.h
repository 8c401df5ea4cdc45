#pragma once
#include "common/Platform.h"
#include "common/Variables.h"
#include "ui/FormWindow.h"
#include "ui/WindowSlot.h"
#include <QObject>

class MainFrame;

// "Directorios": the folder where the file windows look for the names typed in them. Kept
// between runs in the platform's settings; the working folder until one is chosen.
class FolderCommands : public QObject
{
    Q_OBJECT
public:
    FolderCommands(MainFrame &main, Variables &variables, Platform platform, QString workingFolder,
                   QObject *parent = nullptr);

    void load();                        // the folder kept from the last run
    void mDirectorios_Click();
    void Examinar_Click();
    void Aceptar_Click();
    void Cancelar_Click();
    FormWindow *window() const { return m_slot.window(); }

private:
    FormWindow *create();
    QString problemWith(const QString &folder) const; // empty when usable

    MainFrame &m_main;
    Variables &m_variables;
    Platform m_platform;
    QString m_workingFolder;
    Slot<FormWindow> m_slot;
};
