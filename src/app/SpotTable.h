#pragma once
// The spots of the cluster as the window shows them: newest on top, at most the last
// kMaxSpots, each marked by what the log still needs of its entity on its band and in its
// mode (the status bar's rule), in words and in colour. The marks follow the log.
#include "dxcc/CallStatus.h"
#include "net/ClusterLines.h"
#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <deque>

class CallIndex;

class SpotTable : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int kMaxSpots = 1000;
    enum Column { Hora, Frecuencia, Indicativo, Entidad, Estado, Comentario, Spotter, Columns };
    enum class Mark { Pending, NoEntity, NewEntity, NewBand, NewMode, Worked };
    enum Role { BandRole = Qt::UserRole, MarkRole, ModeRole };
    struct Row
    {
        Spot spot;
        int entity = -1;
        int band = -1;
        QString formMode;               // "CW", "SSB", "DIGIMODOS"; empty when unknown
        Mark mark = Mark::Pending;
    };

    explicit SpotTable(CallIndex &index, QObject *parent = nullptr);

    void add(const QList<Spot> &spots);  // in the order they came
    void rejudge();                      // the log changed: every mark again
    const Row &row(int r) const { return m_rows[size_t(r)]; }
    static QString markText(Mark mark);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    void judge(Row &row);

    CallIndex &m_index;
    std::deque<Row> m_rows;
};

// The window's filters: a band, only what the log still needs, a class of mode.
class SpotFilter : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void setFilters(int band, bool onlyNeeded, ModeClass mode); // band -1: all; Unknown: any mode

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    int m_band = -1;
    bool m_onlyNeeded = false;
    ModeClass m_mode = ModeClass::Unknown;
};
