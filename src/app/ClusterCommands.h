#pragma once
#include "SpotTable.h"
#include "net/ClusterClient.h"
#include "net/ConnectionSettings.h"
#include "ui/FormWindow.h"
#include "ui/WindowSlot.h"
#include <QObject>
#include <QStringList>
#include <QTimer>

class CallIndex;
class ConnectionCommands;
class EntryForm;
class MainFrame;
class QTableView;
class RigCommands;

// "Cluster DX": the node set in "Conexiones" connected at once (or at start), its spots in a
// table marked against the log, what it says in a console and a command line to it; a double
// click takes a spot to the entry form and, when the radio is connected, tunes it there. The
// spots and the console are kept while the window is closed.
class ClusterCommands : public QObject
{
    Q_OBJECT
public:
    static constexpr int kConsoleLines = 500;
    ClusterCommands(MainFrame &main, EntryForm &entry, RigCommands &rig, CallIndex &index,
                    ConnectionCommands &connections, QObject *parent = nullptr);

    void apply(const ClusterSettings &settings);  // connects, reconnects or lets go
    void mCluster_Click();
    void Orden_Enter();                           // the command line sent as typed
    void takeSpot(int sourceRow);                 // a double click on a spot
    void received(const QStringList &lines, const QList<Spot> &spots); // what the node said
    FormWindow *window() const { return m_slot.window(); }
    QTableView *table() const { return m_view; }
    ClusterClient &client() { return m_client; }
    SpotTable &spots() { return m_spots; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    FormWindow *create();
    void applyFilters();
    void showConsole();
    void showState();

    MainFrame &m_main;
    EntryForm &m_entry;
    RigCommands &m_rig;
    ConnectionCommands &m_connections;
    ClusterClient m_client;
    SpotTable m_spots;
    Slot<FormWindow> m_slot;
    SpotFilter *m_filter = nullptr;
    QTableView *m_view = nullptr;
    QStringList m_console;                        // the last kConsoleLines lines
    qsizetype m_unshown = 0;                      // of them, not yet in the window
    QTimer m_showConsole;
    QTimer m_later;                               // the log changes in bursts: one new judgement
};
