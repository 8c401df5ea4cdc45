#include "ClusterCommands.h"
#include "ConnectionCommands.h"
#include "EntryForm.h"
#include "RigCommands.h"
#include "adif/BandTable.h"
#include "dxcc/CallIndex.h"
#include "net/FormFrequency.h"
#include "ui/ClassicCombo.h"
#include "ui/Layouts.h"
#include "ui/MainFrame.h"
#include "ui/Twips.h"
#include <QAction>
#include <QCheckBox>
#include <QEvent>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTableView>

using namespace Qt::StringLiterals;

namespace {
const QRect kTableTwips(120, 600, 10560, 4200);
const QString kSection = u"cluster"_s;
// A frequency in each band the filter offers, from 160 m to 70 cm.
const char16_t *const kBandFrequencies[] = {u"1.9", u"3.6", u"5.36", u"7.1", u"10.12", u"14.1", u"18.1",
                                            u"21.1", u"24.9", u"28.5", u"50.1", u"145", u"435"};
} // namespace

ClusterCommands::ClusterCommands(MainFrame &main, EntryForm &entry, RigCommands &rig, CallIndex &index,
                                 ConnectionCommands &connections, QObject *parent)
    : QObject(parent), m_main(main), m_entry(entry), m_rig(rig), m_connections(connections), m_spots(index),
      m_slot([this] { return create(); }, this)
{
    m_later.setSingleShot(true);
    m_later.setInterval(250);
    m_showConsole.setSingleShot(true);
    m_showConsole.setInterval(150);
    connect(&m_showConsole, &QTimer::timeout, this, &ClusterCommands::showConsole);
    connect(&m_later, &QTimer::timeout, this, [this, &index] {
        if (!index.ready())
            return m_later.start(); // built in the background: wait for it rather than hurry it
        m_spots.rejudge();
    });
    connect(&index, &CallIndex::changed, &m_later, qOverload<>(&QTimer::start));
    connect(&m_client, &ClusterClient::received, this, &ClusterCommands::received);
    connect(&m_client, &ClusterClient::statusChanged, this, &ClusterCommands::showState);
    connect(&connections, &ConnectionCommands::accepted, this, [this](const ConnectionSettings &s) { apply(s.cluster); });
    connect(main.action(u"mCluster"_s), &QAction::triggered, this, &ClusterCommands::mCluster_Click);
    const ClusterSettings &kept = connections.settings().cluster;
    if (kept.connectAtStart)
        apply(kept);
}

void ClusterCommands::apply(const ClusterSettings &s)
{
    if (s.host.isEmpty()) {
        m_client.stop();
        return;
    }
    const bool same = s.host == m_client.server() && s.port == m_client.port() && s.call == m_client.call();
    if (same && m_client.state() != ClusterClient::State::Off)
        return; // already there, or on its way
    m_client.setServer(s.host, s.port, s.call);
    m_client.start();
}

void ClusterCommands::showState()
{
    m_main.setStatusSection(kSection, m_client.statusText());
    const bool waiting = m_client.state() == ClusterClient::State::Waiting;
    m_connections.setGroupState(u"ClusterEstado"_s, waiting ? m_client.statusText() + u". "_s + m_client.problem()
                                                            : m_client.statusText());
}

FormWindow *ClusterCommands::create()
{
    auto *window = new FormWindow(layouts::fCluster(), &m_main);
    m_filter = new SpotFilter(window);
    m_filter->setSourceModel(&m_spots);
    m_view = new QTableView(window);
    m_view->setObjectName(u"Spots"_s);
    m_view->setAccessibleName(u"Spots"_s);
    m_view->setModel(m_filter);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->verticalHeader()->setVisible(false);
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 4);
    const int widths[SpotTable::Columns] = {75, 105, 80, 125, 95, 150, 70};
    for (int c = 0; c < SpotTable::Columns; ++c)
        m_view->setColumnWidth(c, widths[c]);
    m_view->horizontalHeader()->setStretchLastSection(true);
    m_view->setGeometry(twipsToPixels(kTableTwips.left()), twipsToPixels(kTableTwips.top()),
                        twipsToPixels(kTableTwips.width()), twipsToPixels(kTableTwips.height()));
    QWidget::setTabOrder(window->control(u"Falta"_s), m_view);
    QWidget::setTabOrder(m_view, window->control(u"Consola"_s));
    connect(m_view, &QTableView::doubleClicked, this,
            [this](const QModelIndex &index) { takeSpot(m_filter->mapToSource(index).row()); });

    auto *band = window->control<ClassicCombo>(u"Banda"_s);
    band->setEditable(false);
    for (const char16_t *frequency : kBandFrequencies) {
        const int b = bandOfFrequency(QStringView(frequency));
        band->addItem(bandLabel(b), b);
    }
    band->insertItem(0, u"Todas"_s, -1);
    band->setCurrentIndex(0);
    auto *mode = window->control<ClassicCombo>(u"Modo"_s);
    mode->setEditable(false);
    mode->setCurrentIndex(0);
    connect(band, &QComboBox::currentIndexChanged, this, &ClusterCommands::applyFilters);
    connect(mode, &QComboBox::currentIndexChanged, this, &ClusterCommands::applyFilters);
    connect(window->control<QCheckBox>(u"Falta"_s), &QCheckBox::toggled, this, &ClusterCommands::applyFilters);

    auto *console = window->control<QPlainTextEdit>(u"Consola"_s);
    console->setReadOnly(true);
    console->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont)); // the nodes line their columns up
    console->setMaximumBlockCount(kConsoleLines);
    console->setPlainText(m_console.join(u'\n'));
    console->verticalScrollBar()->setValue(console->verticalScrollBar()->maximum());
    m_unshown = 0;
    connect(window->lineEdit(u"Orden"_s), &QLineEdit::returnPressed, this, &ClusterCommands::Orden_Enter);
    window->installEventFilter(this);
    return window;
}

bool ClusterCommands::eventFilter(QObject *watched, QEvent *event)
{
    // The table takes the room the window gains; the console and the command line keep to its foot.
    FormWindow *window = m_slot.window();
    if (watched == window && event->type() == QEvent::Resize && m_view) {
        const WindowLayout layout = layouts::fCluster();
        const QSize gained = (window->size() - QSize(twipsToPixels(layout.clientWidth), twipsToPixels(layout.clientHeight)))
                                 .expandedTo(QSize(0, 0));
        m_view->resize(twipsToPixels(kTableTwips.width()) + gained.width(), twipsToPixels(kTableTwips.height()) + gained.height());
        for (const ControlLayout &c : layout.controls) {
            if (c.top > kTableTwips.bottom()) {
                QWidget *control = window->control(c.name);
                const int width = c.type == ControlType::Label ? control->width() : twipsToPixels(c.width) + gained.width();
                control->setGeometry(twipsToPixels(c.left), twipsToPixels(c.top) + gained.height(), width, control->height());
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

void ClusterCommands::applyFilters()
{
    FormWindow *window = m_slot.window();
    static const ModeClass kModes[] = {ModeClass::Unknown, ModeClass::Phone, ModeClass::Cw, ModeClass::Digital};
    const int mode = window->control<ClassicCombo>(u"Modo"_s)->currentIndex();
    m_filter->setFilters(window->control<ClassicCombo>(u"Banda"_s)->currentData().toInt(),
                         window->control<QCheckBox>(u"Falta"_s)->isChecked(), kModes[std::clamp(mode, 0, 3)]);
}

void ClusterCommands::received(const QStringList &lines, const QList<Spot> &spots)
{
    m_spots.add(spots);
    // A new entity is the news a DXer waits for: told to a screen reader while the window is open.
    for (int r = 0; m_slot.isShown() && r < std::min<int>(int(spots.size()), m_spots.rowCount()); ++r) {
        const SpotTable::Row &row = m_spots.row(r);
        if (row.mark == SpotTable::Mark::NewEntity) {
            m_main.announce(u"Cluster DX: entidad nueva, %1 en %2 kHz, %3"_s
                                .arg(row.spot.call, m_spots.index(r, SpotTable::Frecuencia).data().toString(),
                                     m_spots.index(r, SpotTable::Entidad).data().toString()));
            break;
        }
    }
    m_console << lines;
    if (m_console.size() > kConsoleLines)
        m_console.remove(0, m_console.size() - kConsoleLines);
    m_unshown = std::min<qsizetype>(m_unshown + lines.size(), m_console.size());
    if (!m_showConsole.isActive())
        m_showConsole.start();
}

// Laying out text is what a flood costs most: the console catches up a few times a second,
// with only what it can still show.
void ClusterCommands::showConsole()
{
    FormWindow *window = m_slot.window();
    if (window && m_unshown > 0) {
        auto *console = window->control<QPlainTextEdit>(u"Consola"_s);
        if (m_unshown == m_console.size())
            console->setPlainText(m_console.join(u'\n'));
        else
            console->appendPlainText(m_console.sliced(m_console.size() - m_unshown).join(u'\n'));
        console->verticalScrollBar()->setValue(console->verticalScrollBar()->maximum());
    }
    m_unshown = 0;
}

void ClusterCommands::mCluster_Click()
{
    m_slot.show();
}

void ClusterCommands::Orden_Enter()
{
    QLineEdit *line = m_slot.get()->lineEdit(u"Orden"_s);
    const QString command = line->text();
    if (command.trimmed().isEmpty())
        return;
    const bool sent = m_client.send(command);
    received({sent ? u"> "_s + command : u"(sin conexión con el cluster: «%1» no se envió)"_s.arg(command)}, {});
    if (sent)
        line->clear();
}

void ClusterCommands::takeSpot(int sourceRow)
{
    if (sourceRow < 0 || sourceRow >= m_spots.rowCount())
        return;
    const SpotTable::Row &row = m_spots.row(sourceRow);
    m_entry.dato(0)->setText(row.spot.call);
    m_entry.dato(10)->setText(formFrequency(row.spot.hertz));
    if (!row.formMode.isEmpty())
        m_entry.datos(0)->setText(row.formMode);
    m_rig.tune(row.spot.hertz, row.formMode.isEmpty() ? m_entry.datos(0)->text() : row.formMode);
    m_main.activateWindow();
    m_entry.dato(0)->setFocus(Qt::OtherFocusReason);
}
