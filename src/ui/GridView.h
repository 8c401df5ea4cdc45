#pragma once
#include <QTableView>

class GridModel;

// The view of a GridModel: the heading row is the horizontal header, the fixed number
// column the vertical header (its corner shows "Nº"); rows have one fixed height so that
// painting and scrolling cost the same on a log of any size.
class GridView : public QTableView
{
    Q_OBJECT
public:
    explicit GridView(QWidget *parent = nullptr);
    void setGridModel(GridModel *model);
    GridModel *gridModel() const { return m_model; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyColWidth(int col, int twips);
    GridModel *m_model = nullptr;
    QWidget *m_corner = nullptr;
};
