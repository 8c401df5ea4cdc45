#pragma once
// What the operator set in "Conexiones" for each outside program. Kept in the platform's
// settings beside the folder choice, never in USUARIO.CFG. Everything is off until set.
#include <QString>

class QSettings;

struct RigSettings
{
    bool enabled = false;               // "Leer frecuencia y modo del equipo"
    QString host = QStringLiteral("127.0.0.1");
    quint16 port = 4532;
};

struct DigitalSettings
{
    bool enabled = false;               // "Registrar los contactos del programa digital"
    QString address = QStringLiteral("127.0.0.1"); // a multicast group is joined
    quint16 port = 2237;
};

struct ClusterSettings
{
    QString host;                       // empty: no cluster
    quint16 port = 7300;
    QString call;                       // sent at the login prompt
    bool connectAtStart = false;
};

struct ConnectionSettings
{
    RigSettings rig;
    DigitalSettings digital;
    ClusterSettings cluster;

    static ConnectionSettings load(const QSettings &settings);
    void save(QSettings &settings) const;
};
