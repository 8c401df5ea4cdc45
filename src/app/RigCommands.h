#pragma once
#include "net/ConnectionSettings.h"
#include "net/RigClient.h"
#include <QObject>
#include <memory>

class ConnectionCommands;
class EntryForm;
class MainFrame;

// The radio in the log: while "Leer frecuencia y modo del equipo" is checked, the form's
// "Frecuencia" and "Modo" follow the radio, each until the operator types into it and again
// once the contact is added or the form cleared. The status bar's "equipo" section tells the
// radio's state; "Probar" connects once and says what it found; tune() sets the radio.
class RigCommands : public QObject
{
    Q_OBJECT
public:
    RigCommands(MainFrame &main, EntryForm &entry, ConnectionCommands &connections, QObject *parent = nullptr);

    void apply(const RigSettings &settings);     // starts or stops following the radio
    void probe(const RigSettings &settings);     // "Probar"
    // Sets the radio to a frequency and the form's mode there; false when it is not connected.
    bool tune(qint64 hertz, const QString &formMode);
    RigClient &client() { return m_client; }
    RigClient *prober() const { return m_probe.get(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void follow(qint64 hertz, const QString &mode);

    MainFrame &m_main;
    EntryForm &m_entry;
    ConnectionCommands &m_connections;
    RigClient m_client;
    std::unique_ptr<RigClient> m_probe;
    bool m_frequencyTyped = false, m_modeTyped = false;
    qint64 m_lastHertz = -1;
    QString m_lastMode;
};
