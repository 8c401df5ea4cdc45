#include "GridPainting.h"
#include <QAbstractItemView>
#include <QPainter>

GridCellDelegate::GridCellDelegate(QAbstractItemView *view) : QStyledItemDelegate(view), m_view(view) {}

void GridCellDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    const bool current = index == m_view->currentIndex();
    if (current || index.data(Qt::BackgroundRole).isValid())
        option->state &= ~QStyle::State_Selected;
    option->state &= ~QStyle::State_HasFocus; // the frame is drawn below, focus or not
}

void GridCellDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const bool current = index == m_view->currentIndex();
    // The view has already filled a selected cell's row panel with the selection colour.
    if (current && !index.data(Qt::BackgroundRole).isValid())
        painter->fillRect(option.rect, option.palette.brush(QPalette::Base));
    QStyledItemDelegate::paint(painter, option, index);
    if (!current)
        return;
    // Two lines, dark outside and light inside, so the frame shows on any cell colour.
    painter->save();
    const QRect r = option.rect.adjusted(0, 0, -1, -1);
    painter->setPen(QPen(option.palette.color(QPalette::Highlight), 1));
    painter->drawRect(r);
    painter->setPen(QPen(option.palette.color(QPalette::Base), 1));
    painter->drawRect(r.adjusted(1, 1, -1, -1));
    painter->restore();
}

GridHeader::GridHeader(Qt::Orientation orientation, QWidget *parent) : QHeaderView(orientation, parent)
{
    setSectionsClickable(true); // a click selects the column or row, as on the view's own headers
}

void GridHeader::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    const QVariant back = model() ? model()->headerData(logicalIndex, orientation(), Qt::BackgroundRole) : QVariant();
    if (!back.isValid()) {
        QHeaderView::paintSection(painter, rect, logicalIndex);
        return;
    }
    // A marked heading shows its colours exactly; the style would shade them.
    painter->save();
    painter->fillRect(rect, back.value<QColor>());
    const QVariant fore = model()->headerData(logicalIndex, orientation(), Qt::ForegroundRole);
    painter->setPen(fore.isValid() ? fore.value<QColor>() : palette().color(QPalette::ButtonText));
    const QString text = model()->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString();
    painter->drawText(rect.adjusted(4, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter, text);
    painter->setPen(palette().color(QPalette::Mid));
    painter->drawLine(rect.topRight(), rect.bottomRight());
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    painter->restore();
}
