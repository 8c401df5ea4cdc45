#include "GridView.h"
#include "GridPainting.h"
#include "Twips.h"
#include "common/GridModel.h"
#include <QAbstractButton>
#include <QEvent>
#include <QHeaderView>
#include <QPainter>
#include <QStyleOptionHeader>

GridView::GridView(QWidget *parent) : QTableView(parent)
{
    setHorizontalHeader(new GridHeader(Qt::Horizontal, this));
    setVerticalHeader(new GridHeader(Qt::Vertical, this));
    setItemDelegate(new GridCellDelegate(this));
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    QHeaderView *rows = verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(fontMetrics().height() + 4);
    rows->setMinimumSectionSize(1);
    horizontalHeader()->setHighlightSections(false);
    rows->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setMinimumSectionSize(1);
    m_corner = findChild<QAbstractButton *>();
    if (m_corner)
        m_corner->installEventFilter(this);
}

void GridView::setGridModel(GridModel *model)
{
    m_model = model;
    setModel(model);
    QItemSelectionModel *old = selectionModel();
    setSelectionModel(model->selectionModel());
    if (old && old != model->selectionModel())
        old->deleteLater();
    verticalHeader()->setVisible(model->fixedCols() > 0);
    for (int col = 0; col < model->Cols(); ++col) {
        if (model->ColWidth(col) >= 0)
            applyColWidth(col, model->ColWidth(col));
    }
    connect(model, &GridModel::colWidthChanged, this, &GridView::applyColWidth);
    // A heading click selects the whole column (or row) and leaves the current cell where the
    // frame shows it: that cell is where the selection starts, and what the commands act on.
    for (QHeaderView *header : {horizontalHeader(), verticalHeader()}) {
        const Qt::Orientation o = header->orientation();
        connect(header, &QHeaderView::sectionPressed, model, [model, o] { model->headingSelected(o); });
        connect(header, &QHeaderView::sectionEntered, model, [model, o] { model->headingSelected(o); });
    }
    connect(model, &GridModel::currentCellMoved, this, [this](int row, int col) {
        const QModelIndex index = m_model->indexFor(row, col);
        if (index.isValid())
            scrollTo(index);
    });
}

void GridView::applyColWidth(int col, int twips)
{
    const int pixels = std::max(1, twipsToPixels(twips));
    if (col < m_model->fixedCols())
        verticalHeader()->setFixedWidth(pixels);
    else
        horizontalHeader()->resizeSection(col - m_model->fixedCols(), pixels);
}

bool GridView::eventFilter(QObject *watched, QEvent *event)
{
    // The corner button belongs to the fixed column: it carries that column's heading.
    if (watched == m_corner && event->type() == QEvent::Paint && m_model && m_model->fixedCols() > 0) {
        QPainter painter(m_corner);
        QStyleOptionHeader option;
        option.initFrom(m_corner);
        option.rect = m_corner->rect();
        option.position = QStyleOptionHeader::OnlyOneSection;
        option.text = m_model->TextMatrix(0, 0);
        option.textAlignment = Qt::AlignLeft | Qt::AlignVCenter;
        m_corner->style()->drawControl(QStyle::CE_Header, &option, &painter, m_corner);
        return true;
    }
    return QTableView::eventFilter(watched, event);
}
