#pragma once
#include "common/Platform.h"
#include "common/Variables.h"
#include "ui/FormWindow.h"
#include "ui/WindowSlot.h"
#include <QObject>

class ContactLog;
class GridStore;
class MainFrame;
struct FileSource;

// Open, new, save, save as and import, with their windows.
// The current file name lives only in the main window's title, after kTitlePrefix.
class LogbookCommands : public QObject
{
    Q_OBJECT
public:
    // Relative file names are taken in `folder` (the working folder).
    // Names typed without a folder are taken in variables.logFolder.
    LogbookCommands(MainFrame &main, ContactLog &log, Platform platform, const Variables &variables,
                    QObject *parent = nullptr);

    static QString titlePrefix();
    QString currentFileName() const;          // what Guardar writes to; empty when none

    // The menu items.
    void nAbrir_Click();
    void mNuevo_Click();
    void mGuardar_Click();
    void mGuardar_como_Click();
    void mImportar_Click();

    // The buttons of the three windows.
    void Abre_Command1_Click();               // "Abrir"
    void Abre_Abre_Facil_Click();             // "Cancelar"
    void Guarda_Command1_Click();             // "Guardar"
    void Guarda_Abre_Facil_Click();           // "Cancelar"
    void Importar_Abrir_Click();              // "Abrir"
    void Importar_Abre_Facil_Click();         // "Cancelar"

    FormWindow *abreWindow() const { return m_abre.window(); }
    FormWindow *guardaWindow() const { return m_guarda.window(); }
    FormWindow *importarWindow() const { return m_importar.window(); }

private:
    FormWindow *createAbre();
    FormWindow *createGuarda();
    FormWindow *createImportar();
    QString resolve(const QString &name) const;
    bool nameGiven(const QString &name, const QString &title, const QString &text);
    // Reads `name` for a table that keeps `keep` contacts; false, with a message, when the file
    // is refused.
    bool read(const QString &name, int64_t keep, const QString &title, GridStore &rows, FileSource &source);
    bool save(const QString &name, const QString &title);

    MainFrame &m_main;
    ContactLog &m_log;
    Platform m_platform;
    const Variables &m_variables;
    Slot<FormWindow> m_abre;
    Slot<FormWindow> m_guarda;
    Slot<FormWindow> m_importar;
};
