#include "ConnectionSettings.h"
#include <QSettings>

using namespace Qt::StringLiterals;

namespace {
// A port kept from an older run, or edited by hand, that is no port falls back to the default.
quint16 portFrom(const QSettings &settings, const QString &key, quint16 fallback)
{
    bool ok = false;
    const uint port = settings.value(key).toUInt(&ok);
    return ok && port > 0 && port <= 65535 ? quint16(port) : fallback;
}
} // namespace

ConnectionSettings ConnectionSettings::load(const QSettings &settings)
{
    ConnectionSettings s;
    s.rig.enabled = settings.value(u"equipo/leer"_s, false).toBool();
    s.rig.host = settings.value(u"equipo/servidor"_s, s.rig.host).toString();
    s.rig.port = portFrom(settings, u"equipo/puerto"_s, s.rig.port);
    s.digital.enabled = settings.value(u"digital/registrar"_s, false).toBool();
    s.digital.address = settings.value(u"digital/direccion"_s, s.digital.address).toString();
    s.digital.port = portFrom(settings, u"digital/puerto"_s, s.digital.port);
    s.cluster.host = settings.value(u"cluster/servidor"_s).toString();
    s.cluster.port = portFrom(settings, u"cluster/puerto"_s, s.cluster.port);
    s.cluster.call = settings.value(u"cluster/indicativo"_s).toString();
    s.cluster.connectAtStart = settings.value(u"cluster/alIniciar"_s, false).toBool();
    return s;
}

void ConnectionSettings::save(QSettings &settings) const
{
    settings.setValue(u"equipo/leer"_s, rig.enabled);
    settings.setValue(u"equipo/servidor"_s, rig.host);
    settings.setValue(u"equipo/puerto"_s, rig.port);
    settings.setValue(u"digital/registrar"_s, digital.enabled);
    settings.setValue(u"digital/direccion"_s, digital.address);
    settings.setValue(u"digital/puerto"_s, digital.port);
    settings.setValue(u"cluster/servidor"_s, cluster.host);
    settings.setValue(u"cluster/puerto"_s, cluster.port);
    settings.setValue(u"cluster/indicativo"_s, cluster.call);
    settings.setValue(u"cluster/alIniciar"_s, cluster.connectAtStart);
}
