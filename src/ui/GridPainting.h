#pragma once
// How the grids paint what the program marks: a cell or heading with colours of its own keeps
// them exactly, selected or not, and the current cell is shown by a frame around it rather than
// filled with the selection colour, so the last match of find next stays dark red.
#include <QHeaderView>
#include <QStyledItemDelegate>

class QAbstractItemView;

class GridCellDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit GridCellDelegate(QAbstractItemView *view);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;

private:
    QAbstractItemView *m_view;
};

class GridHeader : public QHeaderView
{
    Q_OBJECT
public:
    GridHeader(Qt::Orientation orientation, QWidget *parent = nullptr);

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;
};
