#pragma once
#include "common/Platform.h"
#include "common/Variables.h"
#include "ui/FormWindow.h"
#include "ui/WindowSlot.h"
#include <QObject>
#include <functional>
#include <vector>

class ContactLog;
class GridStore;
class MainFrame;
struct FileSource;
struct LogFileRead;

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

    // A file given when the program starts: a log book opened as "Abrir" opens it, an ADIF file
    // imported as "Importar" brings it in.
    void openGiven(const QString &path);

    // Which rows of an ADIF file read for "Importar" the log holds already (ascending).
    void setAlreadyInLog(std::function<std::vector<int64_t>(const GridStore &rows)> check)
    {
        m_alreadyInLog = std::move(check);
    }

    // Reads a file a recovery journal names, checking it is still the file it was.
    bool readForJournal(const FileSource &file, GridStore &rows, QString &problem) const;
    // "Guardar" before the program closes: true once saved. Without a name to save to (or with
    // the save commands withdrawn) the "Guardar como..." window opens instead, and
    // savedAfterAsking() follows when it saves.
    bool saveBeforeClosing();

    FormWindow *abreWindow() const { return m_abre.window(); }
    FormWindow *guardaWindow() const { return m_guarda.window(); }
    FormWindow *importarWindow() const { return m_importar.window(); }

signals:
    void savedAfterAsking();

private:
    FormWindow *createAbre();
    FormWindow *createGuarda();
    FormWindow *createImportar();
    QString resolve(const QString &name) const;
    // The commands' work once a name is given: false, with its message, when refused; the
    // command's window is hidden when done.
    bool openNamed(const QString &name);
    bool importNamed(const QString &name);
    bool nameGiven(const QString &name, const QString &title, const QString &text);
    // Reads `name` for a table that keeps `keep` contacts; false, with a message, when the file
    // is refused.
    bool read(const QString &name, int64_t keep, const QString &title, LogFileRead &read);
    // Writes the log to `name`; on success the window takes `windowTitle` and the log counts as
    // saved.
    bool save(const QString &name, const QString &title, const QString &windowTitle);

    MainFrame &m_main;
    ContactLog &m_log;
    Platform m_platform;
    const Variables &m_variables;
    Slot<FormWindow> m_abre;
    Slot<FormWindow> m_guarda;
    Slot<FormWindow> m_importar;
    bool m_closingSave = false;               // "Guardar como..." opened by the closing question
    std::function<std::vector<int64_t>(const GridStore &rows)> m_alreadyInLog;
};
