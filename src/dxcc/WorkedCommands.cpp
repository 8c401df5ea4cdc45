#include "WorkedCommands.h"
#include "EntityNames.h"
#include "CallResolver.h"
#include "CallStatus.h"
#include "common/GridModel.h"
#include "ui/ClassicCombo.h"
#include "ui/GridView.h"
#include "ui/Layouts.h"
#include "ui/MainFrame.h"
#include "ui/Twips.h"
#include <QAction>
#include <QCheckBox>
#include <QEvent>
#include <QKeyEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>

using namespace Qt::StringLiterals;

namespace {
constexpr int kTextColumns = 3; // prefix, entity, continent
constexpr int kEntityRole = Qt::UserRole + 1;
const QRect kTableTwips(120, 900, 13260, 6780);
} // namespace

WorkedCommands::WorkedCommands(MainFrame &main, CallIndex &index, QObject *parent)
    : QObject(parent), m_main(main), m_index(index), m_slot([this] { return create(); }, this)
{
    m_later.setSingleShot(true);
    m_later.setInterval(250);
    connect(&m_later, &QTimer::timeout, this, [this] {
        // While the index is built in the background, wait for it rather than hurry it.
        if (!m_index.ready()) {
            m_later.start();
            return;
        }
        if (m_slot.isShown())
            refresh();
        // The line of the call typed, brought up to date; other news (a contact logged from
        // outside) stays.
        if (m_main.status()->text() == m_statusLine)
            showStatus();
    });
    connect(&index, &CallIndex::changed, &m_later, qOverload<>(&QTimer::start));
    connect(main.action(u"mTrabajados"_s), &QAction::triggered, this, &WorkedCommands::mTrabajados_Click);
    // The status bar follows the call sign, frequency and mode of the entry form.
    for (const QString &field : {u"dato(0)"_s, u"dato(10)"_s})
        connect(main.control<QLineEdit>(field), &QLineEdit::textChanged, this, &WorkedCommands::showStatus);
    connect(main.control<ClassicCombo>(u"Datos(0)"_s), &QComboBox::currentTextChanged, this, &WorkedCommands::showStatus);
}

void WorkedCommands::showStatus()
{
    const QString call = m_main.control<QLineEdit>(u"dato(0)"_s)->text();
    const QString frequency = m_main.control<QLineEdit>(u"dato(10)"_s)->text();
    const QString mode = m_main.control<ClassicCombo>(u"Datos(0)"_s)->text();
    m_statusLine = callStatus(m_index, m_main.libro(), call, frequency, mode);
    m_main.showNews(m_statusLine);
}

FormWindow *WorkedCommands::create()
{
    auto *window = new FormWindow(layouts::fTrabajados(), &m_main);
    m_model = new QStandardItemModel(window);
    m_sorted = new QSortFilterProxyModel(window);
    m_sorted->setSourceModel(m_model);
    m_sorted->setSortRole(Qt::UserRole);
    m_view = new QTableView(window);
    m_view->setObjectName(u"Tabla"_s);
    m_view->setAccessibleName(u"Entidades trabajadas"_s);
    m_view->setModel(m_sorted);
    m_view->setSortingEnabled(true);
    m_view->sortByColumn(-1, Qt::AscendingOrder); // the country file's order until a heading is clicked
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_view->verticalHeader()->setVisible(false);
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 4);
    m_view->setGeometry(twipsToPixels(kTableTwips.left()), twipsToPixels(kTableTwips.top()),
                        twipsToPixels(kTableTwips.width()), twipsToPixels(kTableTwips.height()));
    QWidget::setTabOrder(window->control(u"Check1"_s), m_view);
    connect(m_view, &QTableView::doubleClicked, this, &WorkedCommands::goToContact);
    m_view->installEventFilter(this);
    auto *mode = window->control<ClassicCombo>(u"Modo"_s);
    mode->setEditable(false);
    connect(mode, &QComboBox::currentIndexChanged, this, &WorkedCommands::refresh);
    connect(window->control<QCheckBox>(u"Check1"_s), &QCheckBox::toggled, this, &WorkedCommands::refresh);
    window->installEventFilter(this);
    return window;
}

bool WorkedCommands::eventFilter(QObject *watched, QEvent *event)
{
    // Enter on a mark does what a double click does, for whoever works without a mouse.
    if (watched == m_view && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            goToContact(m_view->currentIndex());
            return true;
        }
    }
    // The table takes the room the window gains, as the main window's does.
    if (event->type() == QEvent::Resize && watched == m_slot.window() && m_view) {
        const QSize designed(twipsToPixels(13500), twipsToPixels(7800));
        const QSize gained = m_slot.window()->size() - designed;
        m_view->resize(twipsToPixels(kTableTwips.width()) + std::max(0, gained.width()),
                       twipsToPixels(kTableTwips.height()) + std::max(0, gained.height()));
    }
    return QObject::eventFilter(watched, event);
}

ModeFilter WorkedCommands::filter() const
{
    switch (m_slot.window()->control<ClassicCombo>(u"Modo"_s)->currentIndex()) {
    case 1:
        return ModeFilter::Phone;
    case 2:
        return ModeFilter::Cw;
    case 3:
        return ModeFilter::Digital;
    default:
        return ModeFilter::All;
    }
}

bool WorkedCommands::onlyConfirmed() const
{
    return m_slot.window()->control<QCheckBox>(u"Check1"_s)->isChecked();
}

void WorkedCommands::mTrabajados_Click()
{
    m_slot.show();
    refresh();
}

void WorkedCommands::refresh()
{
    FormWindow *window = m_slot.window();
    if (!window)
        return;
    m_shown = workedEntities(m_index, filter(), onlyConfirmed());
    const CallResolver *resolver = m_index.resolver();
    QStringList headings{u"Prefijo"_s, u"Entidad"_s, u"Continente"_s};
    for (size_t c = 0; c < m_shown.bands.size(); ++c) {
        const QString band = m_shown.bands[c] == WorkedTable::kNoBand ? u"Sin banda"_s : bandLabel(m_shown.bands[c]);
        headings << u"%1\n%2/%3"_s.arg(band).arg(m_shown.workedOn[c]).arg(m_shown.confirmedOn[c]);
    }
    m_model->clear();
    m_model->setHorizontalHeaderLabels(headings);
    for (const WorkedTable::Entity &e : m_shown.entities) {
        QList<QStandardItem *> items;
        const auto text = [&items](const QString &t) {
            auto *item = new QStandardItem(t);
            item->setData(t, Qt::UserRole);
            items << item;
        };
        if (e.entity >= 0 && resolver) {
            const CountryEntity &entity = resolver->entities().at(size_t(e.entity));
            text(entity.prefix);
            text(entityName(entity));
            text(entity.continent);
        } else {
            text(QString());
            text(u"Sin entidad"_s);
            text(QString());
        }
        for (uint8_t mark : e.marks) {
            text(mark == 2 ? u"C"_s : mark == 1 ? u"T"_s : QString());
            if (mark)
                items.last()->setData(mark == 2 ? u"Confirmada"_s : u"Trabajada"_s, Qt::AccessibleTextRole);
        }
        items.first()->setData(e.entity, kEntityRole);
        m_model->appendRow(items);
    }
    window->control<QLabel>(u"Totales"_s)
        ->setText(u"Entidades trabajadas: %1 — confirmadas: %2"_s.arg(m_shown.worked).arg(m_shown.confirmed));
    m_view->resizeColumnsToContents();
}

void WorkedCommands::goToContact(const QModelIndex &index)
{
    const QModelIndex source = m_sorted->mapToSource(index);
    const int column = source.column() - kTextColumns;
    if (column < 0 || size_t(column) >= m_shown.bands.size())
        return;
    const int entity = m_model->item(source.row(), 0)->data(kEntityRole).toInt();
    GridModel &table = m_main.libro();
    const int row = latestContact(m_index, table, entity, m_shown.bands[size_t(column)], filter(), onlyConfirmed());
    if (row < 1)
        return;
    table.setCol(1);
    table.setRow(row);
    m_main.activateWindow();
    m_main.libroView()->setFocus(Qt::OtherFocusReason); // where a screen reader reads the contact
}
