#include "RigCommands.h"
#include "ConnectionCommands.h"
#include "EntryForm.h"
#include "net/FormFrequency.h"
#include "ui/ClassicCombo.h"
#include "ui/MainFrame.h"
#include <QEvent>
#include <QLabel>
#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace {
const QString kSection = u"equipo"_s;
const QString kProbeState = u"EquipoEstado"_s;
} // namespace

RigCommands::RigCommands(MainFrame &main, EntryForm &entry, ConnectionCommands &connections, QObject *parent)
    : QObject(parent), m_main(main), m_entry(entry), m_connections(connections)
{
    connect(&m_client, &RigClient::reading, this, &RigCommands::follow);
    connect(&m_client, &RigClient::statusChanged, this, [this](const QString &text) {
        m_main.setStatusSection(kSection, text);
        if (QLabel *section = m_main.statusSection(kSection))
            section->setToolTip(m_client.state() == RigClient::State::Waiting ? m_client.problem() : QString());
    });
    // Typing into a field makes it the operator's; the program's own changes do not.
    connect(entry.dato(10), &QLineEdit::textEdited, this, [this] { m_frequencyTyped = true; });
    connect(entry.datos(0)->lineEdit(), &QLineEdit::textEdited, this, [this] { m_modeTyped = true; });
    connect(entry.datos(0), &ClassicCombo::picked, this, [this] { m_modeTyped = true; });
    connect(&entry, &EntryForm::formTaken, this, [this] {
        m_frequencyTyped = m_modeTyped = false;
        if (m_client.state() == RigClient::State::Connected && m_lastHertz > 0)
            follow(m_lastHertz, m_lastMode);
    });
    connect(&connections, &ConnectionCommands::accepted, this, [this](const ConnectionSettings &s) { apply(s.rig); });
    connect(&connections, &ConnectionCommands::probeAsked, this, &RigCommands::probe);
    main.installEventFilter(this);
    apply(connections.settings().rig);
}

void RigCommands::apply(const RigSettings &settings)
{
    if (!settings.enabled) {
        m_client.stop();
        return;
    }
    m_client.setServer(settings.host, settings.port);
    m_client.start();
}

bool RigCommands::eventFilter(QObject *watched, QEvent *event)
{
    // Back at the log after turning the dial: ask at once rather than within the second.
    if (watched == &m_main && event->type() == QEvent::WindowActivate)
        m_client.pollNow();
    return QObject::eventFilter(watched, event);
}

void RigCommands::follow(qint64 hertz, const QString &mode)
{
    m_lastHertz = hertz;
    m_lastMode = mode;
    const QString frequency = formFrequency(hertz);
    QLineEdit *field = m_entry.dato(10);
    if (!m_frequencyTyped && !frequency.isEmpty() && field->text() != frequency)
        field->setText(frequency);
    const QString word = formModeOfRig(mode);
    ClassicCombo *combo = m_entry.datos(0);
    if (!m_modeTyped && !word.isEmpty() && combo->text() != word)
        combo->setText(word);
}

bool RigCommands::tune(qint64 hertz, const QString &formMode)
{
    return m_client.tune(hertz, rigModeOfForm(formMode, hertz));
}

void RigCommands::probe(const RigSettings &settings)
{
    m_probe = std::make_unique<RigClient>();
    m_probe->setOnce(true);
    m_probe->setServer(settings.host, settings.port);
    m_connections.setGroupState(kProbeState, u"Probando %1…"_s.arg(m_probe->where()));
    connect(m_probe.get(), &RigClient::reading, this, [this](qint64 hertz, const QString &mode) {
        m_connections.setGroupState(kProbeState, u"Conectado: %1 MHz, %2"_s.arg(formFrequency(hertz), mode));
    });
    connect(m_probe.get(), &RigClient::failed, this,
            [this](const QString &problem) { m_connections.setGroupState(kProbeState, problem); });
    m_probe->start();
}
