#include "ConnectionCommands.h"
#include "ui/Layouts.h"
#include "ui/MainFrame.h"
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>

using namespace Qt::StringLiterals;

namespace {
const QString kTitle = u"Conexiones"_s;
} // namespace

ConnectionCommands::ConnectionCommands(MainFrame &main, Platform platform, QObject *parent)
    : QObject(parent), m_main(main), m_platform(platform), m_slot([this] { return create(); }, this)
{
    if (m_platform.settings)
        m_settings = ConnectionSettings::load(*m_platform.settings);
    connect(main.action(u"mConexiones"_s), &QAction::triggered, this, &ConnectionCommands::mConexiones_Click);
}

FormWindow *ConnectionCommands::create()
{
    auto *window = new FormWindow(layouts::conexiones(), &m_main);
    connect(window->button(u"Aceptar"_s), &QPushButton::clicked, this, &ConnectionCommands::Aceptar_Click);
    connect(window->button(u"Cancelar"_s), &QPushButton::clicked, this, &ConnectionCommands::Cancelar_Click);
    connect(window->button(u"Probar"_s), &QPushButton::clicked, this, &ConnectionCommands::Probar_Click);
    for (auto it = m_states.cbegin(); it != m_states.cend(); ++it)
        window->control<QLabel>(it.key())->setText(it.value());
    showSettings(window, m_settings);
    return window;
}

void ConnectionCommands::showSettings(FormWindow *w, const ConnectionSettings &s)
{
    w->control<QCheckBox>(u"LeerEquipo"_s)->setChecked(s.rig.enabled);
    w->lineEdit(u"EquipoServidor"_s)->setText(s.rig.host);
    w->lineEdit(u"EquipoPuerto"_s)->setText(QString::number(s.rig.port));
    w->control<QCheckBox>(u"RegistrarDigital"_s)->setChecked(s.digital.enabled);
    w->lineEdit(u"DigitalDireccion"_s)->setText(s.digital.address);
    w->lineEdit(u"DigitalPuerto"_s)->setText(QString::number(s.digital.port));
    w->lineEdit(u"ClusterServidor"_s)->setText(s.cluster.host);
    w->lineEdit(u"ClusterPuerto"_s)->setText(QString::number(s.cluster.port));
    w->lineEdit(u"ClusterIndicativo"_s)->setText(s.cluster.call);
    w->control<QCheckBox>(u"ClusterAlIniciar"_s)->setChecked(s.cluster.connectAtStart);
}

bool ConnectionCommands::portOf(const QString &field, const QString &group, quint16 &into)
{
    QLineEdit *edit = m_slot.get()->lineEdit(field);
    bool ok = false;
    const uint value = edit->text().trimmed().toUInt(&ok);
    if (ok && value >= 1 && value <= 65535) {
        into = quint16(value);
        return true;
    }
    m_platform.messages->ask(u"El «Puerto» de «%1» debe ser un número entre 1 y 65535."_s.arg(group), kTitle,
                             MessageSeam::Buttons::Ok, MessageSeam::Icon::Warning);
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
    return false;
}

bool ConnectionCommands::typed(ConnectionSettings &s)
{
    FormWindow *w = m_slot.get();
    s.rig.enabled = w->control<QCheckBox>(u"LeerEquipo"_s)->isChecked();
    s.rig.host = w->lineEdit(u"EquipoServidor"_s)->text().trimmed();
    s.digital.enabled = w->control<QCheckBox>(u"RegistrarDigital"_s)->isChecked();
    s.digital.address = w->lineEdit(u"DigitalDireccion"_s)->text().trimmed();
    s.cluster.host = w->lineEdit(u"ClusterServidor"_s)->text().trimmed();
    s.cluster.call = w->lineEdit(u"ClusterIndicativo"_s)->text().trimmed();
    s.cluster.connectAtStart = w->control<QCheckBox>(u"ClusterAlIniciar"_s)->isChecked();
    return portOf(u"EquipoPuerto"_s, u"Equipo (rigctld)"_s, s.rig.port)
           && portOf(u"DigitalPuerto"_s, u"Programa digital (UDP)"_s, s.digital.port)
           && portOf(u"ClusterPuerto"_s, u"Cluster DX"_s, s.cluster.port);
}

void ConnectionCommands::setGroupState(const QString &label, const QString &text)
{
    m_states.insert(label, text);
    if (FormWindow *w = m_slot.window())
        w->control<QLabel>(label)->setText(text);
}

void ConnectionCommands::mConexiones_Click()
{
    // Shown afresh with the settings in use, not with changes left unaccepted.
    if (FormWindow *w = m_slot.get(); !w->isVisible())
        showSettings(w, m_settings);
    m_slot.show();
}

void ConnectionCommands::Aceptar_Click()
{
    ConnectionSettings s = m_settings;
    if (!typed(s))
        return;
    m_settings = s;
    if (m_platform.settings) {
        s.save(*m_platform.settings);
        m_platform.settings->sync();
    }
    m_slot.hide();
    emit accepted(m_settings);
}

void ConnectionCommands::Cancelar_Click()
{
    m_slot.hide();
}

void ConnectionCommands::Probar_Click()
{
    RigSettings rig = m_settings.rig;
    rig.host = m_slot.get()->lineEdit(u"EquipoServidor"_s)->text().trimmed();
    if (portOf(u"EquipoPuerto"_s, u"Equipo (rigctld)"_s, rig.port))
        emit probeAsked(rig);
}
