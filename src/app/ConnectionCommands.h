#pragma once
#include "common/Platform.h"
#include "net/ConnectionSettings.h"
#include "ui/FormWindow.h"
#include "ui/WindowSlot.h"
#include <QHash>
#include <QObject>

class MainFrame;

// "Conexiones": where the operator sets the outside programs up, one group each (the radio's
// rigctld, the digital-mode program, the DX cluster). "Aceptar" keeps the settings and says
// so; what each program does with them is its own commands' business. Under each group a
// line tells how that program is doing.
class ConnectionCommands : public QObject
{
    Q_OBJECT
public:
    ConnectionCommands(MainFrame &main, Platform platform, QObject *parent = nullptr);

    const ConnectionSettings &settings() const { return m_settings; } // as last accepted
    void mConexiones_Click();
    void Aceptar_Click();
    void Cancelar_Click();
    void Probar_Click();
    FormWindow *window() const { return m_slot.window(); }

    // The line under a group: "EquipoEstado", "DigitalEstado" or "ClusterEstado". Kept while
    // the window is closed and shown when it opens.
    void setGroupState(const QString &label, const QString &text);

    // What the window holds now; false (with the operator told) when a port is no port.
    bool typed(ConnectionSettings &settings);

signals:
    void accepted(const ConnectionSettings &settings);
    void probeAsked(const RigSettings &rig);   // "Probar" with the server and port as typed

private:
    FormWindow *create();
    void showSettings(FormWindow *window, const ConnectionSettings &settings);
    bool portOf(const QString &field, const QString &group, quint16 &into);

    MainFrame &m_main;
    Platform m_platform;
    Slot<FormWindow> m_slot;
    ConnectionSettings m_settings;
    QHash<QString, QString> m_states;
};
