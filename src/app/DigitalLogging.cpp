#include "DigitalLogging.h"
#include "adif/AdifFields.h"
#include "common/GridModel.h"
#include "common/Variables.h"
#include "dxcc/CallIndex.h"
#include "dxcc/CallStatus.h"
#include "dxcc/LoggedContacts.h"
#include "history/ContactLog.h"
#include "logbook/RecoveryCommands.h"
#include "net/DigitalContact.h"
#include "net/FormFrequency.h"
#include "ui/MainFrame.h"
#include <QLabel>
#include <QStatusBar>

using namespace Qt::StringLiterals;

namespace {

// "14.074512" as the status bar says it: "14.074", to the kHz.
QString toKilohertz(const QString &mhz)
{
    const qsizetype dot = mhz.indexOf(u'.');
    return dot < 0 ? mhz : (mhz + u"000"_s).left(dot + 4);
}


} // namespace

DigitalLogging::DigitalLogging(MainFrame &main, ContactLog &log, CallIndex &calls, RecoveryCommands &recovery,
                               const Variables &variables, QObject *parent)
    : QObject(parent), m_main(main), m_log(log), m_calls(calls), m_recovery(recovery), m_variables(variables),
      m_known(std::make_unique<LoggedContacts>(calls, main.libro(), QLocale(QLocale::system().name())))
{
    m_options.locale = QLocale(QLocale::system().name());
    connect(&m_listener, &DigitalListener::received, this, &DigitalLogging::take);
    connect(&m_listener, &DigitalListener::drained, this, &DigitalLogging::drained);
    m_showLater.setSingleShot(true);
    m_showLater.setInterval(100);
    connect(&m_showLater, &QTimer::timeout, this, &DigitalLogging::showClients);
    connect(&m_clients, &DigitalClients::changed, &m_showLater, qOverload<>(&QTimer::start));
    // A contact added or taken back changes what the line of a DX call says.
    connect(&calls, &CallIndex::changed, &m_showLater, qOverload<>(&QTimer::start));
}

DigitalLogging::~DigitalLogging() = default;

bool DigitalLogging::apply(const DigitalSettings &settings)
{
    const bool same = settings.enabled == m_settings.enabled && settings.address == m_settings.address
                      && settings.port == m_settings.port;
    if (same && (!settings.enabled || m_listener.isListening()))
        return true;
    m_settings = settings;
    m_listener.stop();
    m_clients.clear();
    const bool ok = !settings.enabled || m_listener.listen(settings.address, settings.port);
    if (!ok)
        m_main.showNews(m_listener.problem());
    showClients();
    emit stateChanged();
    return ok;
}

QString DigitalLogging::stateText() const
{
    if (!m_settings.enabled)
        return {};
    if (!m_listener.isListening())
        return m_listener.problem();
    QString text = u"Escuchando en %1:%2."_s.arg(m_settings.address.trimmed()).arg(m_listener.port());
    if (m_logged > 0 || m_repeated > 0)
        text += u" Registrados: %1; ya estaban en el libro: %2."_s.arg(m_logged).arg(m_repeated);
    if (m_refused > 0)
        text += u" Descartados: %1; el último: %2."_s.arg(m_refused).arg(m_lastReason.chopped(m_lastReason.endsWith(u'.')));
    return text;
}

void DigitalLogging::take(const digital::Read &read)
{
    if (read.outcome == digital::Outcome::Refused)
        return refuse(read.reason);
    if (read.outcome != digital::Outcome::Read)
        return; // a type of no use here, passed over as the protocol asks
    m_clients.heard(read.message);
    const digital::Type type = read.message.type;
    if (type == digital::Type::QsoLogged || type == digital::Type::LoggedAdif)
        logContact(read.message);
}

void DigitalLogging::logContact(const digital::Message &message)
{
    // The way "Importar" turns an ADIF file's UTC into the table's local dates and times.
    m_options.utc = m_variables.utc;
    digital::ContactCells contact = digital::contactCells(message, m_options);
    if (!contact.ok)
        return refuse(contact.reason);
    const std::vector<std::string_view> cells(contact.cells.begin(), contact.cells.end());
    if (m_known->contains(cells.data())) {
        ++m_repeated;
        emit stateChanged();
        return;
    }
    // Written to the journal before the next datagram is read, so a crash loses none; on the
    // disk once the slice of datagrams is done, not once each, so a burst is not held up.
    RecoveryJournal *journal = m_recovery.journal();
    if (journal)
        journal->setSyncEachStep(false);
    const QString call = contact.cell(adif::Call), frequency = toKilohertz(contact.cell(adif::Frequency)),
                  mode = contact.cell(adif::Mode);
    m_log.addRow(std::move(contact.cells));
    if (journal)
        journal->flush();
    m_unsynced = true;
    ++m_logged;
    m_main.showNews(u"Registrado desde %1: %2, %3 %4"_s
                        .arg(message.id, call, frequency.isEmpty() ? QString() : frequency + u" MHz"_s, mode)
                        .simplified());
    emit stateChanged();
}

void DigitalLogging::refuse(const QString &reason)
{
    ++m_refused;
    m_lastReason = reason;
    emit stateChanged();
}

void DigitalLogging::drained()
{
    if (!m_unsynced)
        return;
    m_unsynced = false;
    if (RecoveryJournal *journal = m_recovery.journal()) {
        journal->sync();
        journal->setSyncEachStep(true);
    }
}

void DigitalLogging::showClients()
{
    using State = DigitalClients::Client::State;
    QStringList lines;
    for (const DigitalClients::Client &c : m_clients.clients()) {
        if (c.state != State::Present) {
            lines << c.id + (c.state == State::Closed ? u": cerrado"_s : u": sin noticias"_s);
        } else if (!c.hasStatus) {
            lines << c.id + u": conectado"_s;
        } else {
            const QString dial = formFrequency(qint64(c.status.dialFrequency));
            QString line = (dial.isEmpty() ? u"%1:%2 %3"_s : u"%1: %2 MHz %3"_s).arg(c.id, toKilohertz(dial), c.status.mode);
            const QString dx = c.status.dxCall.trimmed();
            if (!dx.isEmpty())
                line += u" — %1: %2"_s.arg(dx, callStatus(m_calls, m_main.libro(), dx, dial, c.status.mode));
            lines << line;
        }
    }
    if (lines.isEmpty() && m_settings.enabled)
        lines << (m_listener.isListening() ? u"Programa digital: escuchando en el puerto %1"_s.arg(m_listener.port())
                                           : u"Programa digital: sin escuchar"_s);
    if (lines.isEmpty() && !m_main.statusSection(u"digital"_s))
        return;
    // The DX call's line is long: cut to leave the news its room, whole in the tooltip.
    const QString text = lines.join(u" | "_s);
    m_main.setStatusSection(u"digital"_s, text);
    QLabel *section = m_main.statusSection(u"digital"_s);
    section->setText(section->fontMetrics().elidedText(text, Qt::ElideRight, m_main.statusBar()->width() * 3 / 5));
    section->setToolTip(text);
}
