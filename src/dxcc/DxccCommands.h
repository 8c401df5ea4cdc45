#pragma once
#include "common/GridStore.h"
#include "common/Platform.h"
#include "ui/WindowSlot.h"
#include "ui/FormWindow.h"
#include <QObject>
#include <QStringList>
#include <optional>

class MainFrame;
class GridModel;

// The DXCC list: "Ver" opens its window, read from dxcc.dat in the working folder.
class DxccCommands : public QObject
{
    Q_OBJECT
public:
    DxccCommands(MainFrame &main, Platform platform, QString folder, QObject *parent = nullptr);

    // The column headings and widths come from one format text, as the grid's designer wrote it.
    static QString formatText();
    static QStringList headings();            // formatText() split at its bars, blanks kept

    void mVer_DXCC_Click();                   // main window: DXCC > Ver
    void mPrefijo_Click() { sortBy(0); }      // the list's Ordenar menu
    void mZona_Click() { sortBy(1); }
    void mContinente_Click() { sortBy(2); }

    FormWindow *window() const { return m_slot.window(); }
    bool windowExists() const { return m_slot.exists(); }
    GridModel *list() const;                  // the open window's table, null without one

private:
    FormWindow *create();
    void sortBy(int col);
    void reportMissingFile();

    MainFrame &m_main;
    Platform m_platform;
    QString m_folder;
    Slot<FormWindow> m_slot;
    std::optional<GridStore> m_loaded;        // read before the window is created, moved into it
};
