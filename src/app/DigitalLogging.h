#pragma once
// The digital-mode programs wired to the log. Each contact they log is added below the log as
// one step of the history, as a typed one is, unless the log holds it already (the programs
// send every contact twice, as "QSO Logged" and "Logged ADIF", and send again after a restart);
// it is in the recovery journal before the next datagram is read. Their state is shown at the
// status bar's right end, with the worked/needed line of the call each is working.
#include "adif/AdifImport.h"
#include "net/ConnectionSettings.h"
#include "net/DigitalClients.h"
#include "net/DigitalListener.h"
#include <QObject>
#include <QTimer>
#include <memory>

class CallIndex;
class ContactLog;
class LoggedContacts;
class MainFrame;
class RecoveryCommands;
struct Variables;

class DigitalLogging : public QObject
{
    Q_OBJECT
public:
    DigitalLogging(MainFrame &main, ContactLog &log, CallIndex &calls, RecoveryCommands &recovery,
                   const Variables &variables, QObject *parent = nullptr);
    ~DigitalLogging() override;

    // Listens, or stops, as the settings say; false when on and unable to listen.
    bool apply(const DigitalSettings &settings);
    DigitalListener &listener() { return m_listener; }
    DigitalClients &clients() { return m_clients; }
    LoggedContacts &known() { return *m_known; }
    int logged() const { return m_logged; }
    int refused() const { return m_refused; }     // datagrams refused, contacts among them
    // What "Conexiones" says of it: where it listens, or why it cannot; the contacts logged and
    // already in the log; the datagrams refused, with the latest reason. Empty while off.
    QString stateText() const;

signals:
    void stateChanged();

private:
    void take(const digital::Read &read);
    void logContact(const digital::Message &message);
    void refuse(const QString &reason);
    void drained();
    void showClients();

    MainFrame &m_main;
    ContactLog &m_log;
    CallIndex &m_calls;
    RecoveryCommands &m_recovery;
    const Variables &m_variables;
    std::unique_ptr<LoggedContacts> m_known;
    DigitalListener m_listener;
    DigitalClients m_clients;
    QTimer m_showLater;                 // the status bar's section, once for a burst
    DigitalSettings m_settings;
    AdifImportOptions m_options;        // as "Importar" reads ADIF
    bool m_unsynced = false;            // contacts written to the journal, not yet synced
    int m_logged = 0, m_repeated = 0, m_refused = 0;
    QString m_lastReason;
};
