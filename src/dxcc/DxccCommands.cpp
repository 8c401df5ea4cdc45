#include "DxccCommands.h"
#include "DxccFile.h"
#include "common/GridModel.h"
#include "ui/FormBuilder.h"
#include "ui/GridView.h"
#include "ui/Layouts.h"
#include "ui/MainFrame.h"
#include "ui/MenuBuilder.h"
#include "ui/Twips.h"
#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {
constexpr int kTwipsPerPixel = 15;
}

DxccCommands::DxccCommands(MainFrame &main, Platform platform, QString folder, QObject *parent)
    : QObject(parent), m_main(main), m_platform(platform), m_folder(std::move(folder)),
      m_slot([this] { return create(); }, this)
{
    connect(main.action(u"mVer_DXCC"_s), &QAction::triggered, this, &DxccCommands::mVer_DXCC_Click);
}

QString DxccCommands::formatText()
{
    return u"Prefijo  |Zona                                       |Continente"_s;
}

QStringList DxccCommands::headings()
{
    return formatText().split(u'|');
}

GridModel *DxccCommands::list() const
{
    FormWindow *window = m_slot.window();
    return window ? window->control<GridView>(u"DXCC"_s)->gridModel() : nullptr;
}

void DxccCommands::mVer_DXCC_Click()
{
    if (!m_main.action(u"mVer_DXCC"_s)->isEnabled())
        return; // once the file was missing the list stays out of reach
    const QString path = findDxccFile(m_folder);
    if (path.isEmpty()) {
        reportMissingFile();
        return;
    }
    if (!m_slot.exists()) {
        // Read before the window exists: a damaged file gets a message, not a half-filled list.
        DxccRead read = readDxccFile(path);
        if (!read.ok) {
            m_platform.messages->ask(read.error, u"Error"_s, MessageSeam::Buttons::Ok, MessageSeam::Icon::Warning);
            return;
        }
        m_loaded.emplace(std::move(read.entries));
    }
    m_slot.show(); // an open window only comes forward, with its current order
}

void DxccCommands::reportMissingFile()
{
    m_platform.messages->ask(u"Error: No se encuentra el archivo DXCC.DAT"_s, u"Error"_s, MessageSeam::Buttons::Ok,
                             MessageSeam::Icon::None);
    // The list only: the menu's other item, the cluster, needs no dxcc.dat.
    m_main.action(u"mVer_DXCC"_s)->setEnabled(false);
}

FormWindow *DxccCommands::create()
{
    const WindowLayout layout = layouts::fDxcc();
    auto *window = new FormWindow(layout, &m_main);

    // The layout places the grid in the area below the menu bar: make room for the bar.
    auto *bar = new QMenuBar(window);
    const BuiltMenus menus = buildMenus(bar, layouts::fDxccMenus());
    connect(menus.actions.value(u"mPrefijo"_s), &QAction::triggered, this, &DxccCommands::mPrefijo_Click);
    connect(menus.actions.value(u"mZona"_s), &QAction::triggered, this, &DxccCommands::mZona_Click);
    connect(menus.actions.value(u"mContinente"_s), &QAction::triggered, this, &DxccCommands::mContinente_Click);
    const int barHeight = bar->sizeHint().height();
    bar->setGeometry(0, 0, twipsToPixels(layout.clientWidth), barHeight);
    FormBuilder::applyWindow(window, layout, barHeight);
    auto *view = window->control<GridView>(u"DXCC"_s);
    view->move(view->x(), view->y() + barHeight);

    // Each column as wide as its heading text in the grid's font, trailing blanks included:
    // the blanks after "Zona" make the zone and name column the wide one. Where the font is
    // wider than the one the grid was drawn for, that column gives up blanks so the three
    // still fit side by side (a full list shows a vertical scroll bar).
    auto *model = new GridModel(kDxccCols, 0, window);
    const QStringList titles = headings();
    QHeaderView *header = view->horizontalHeader();
    const QFontMetrics metrics = header->fontMetrics();
    const int margins = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    int pixels[kDxccCols];
    int total = 0;
    for (int c = 0; c < kDxccCols; ++c) {
        pixels[c] = metrics.horizontalAdvance(titles.at(c)) + margins;
        total += pixels[c];
    }
    const int room = view->width() - 2 * view->frameWidth() - view->verticalScrollBar()->sizeHint().width();
    const int least = metrics.horizontalAdvance(titles.at(1).trimmed()) + margins;
    pixels[1] = std::max(least, pixels[1] - std::max(0, total - room));
    for (int c = 0; c < kDxccCols; ++c) {
        model->setTextMatrix(0, c, titles.at(c));
        model->setColWidth(c, pixels[c] * kTwipsPerPixel);
    }
    view->setGridModel(model);
    if (m_loaded) {
        model->appendRows(std::move(*m_loaded));
        m_loaded.reset();
    }
    return window;
}

void DxccCommands::sortBy(int col)
{
    GridModel *model = list();
    if (!model)
        return;
    // Making the column current collapses any selection, so every entry is sorted on it.
    model->setCol(col);
    model->Sort();
}
