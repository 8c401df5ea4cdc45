#include "SpotTable.h"
#include "adif/BandTable.h"
#include "dxcc/CallIndex.h"
#include "dxcc/CallResolver.h"
#include "net/FormFrequency.h"
#include <QColor>

using namespace Qt::StringLiterals;

SpotTable::SpotTable(CallIndex &index, QObject *parent) : QAbstractTableModel(parent), m_index(index)
{
}

QString SpotTable::markText(Mark mark)
{
    switch (mark) {
    case Mark::NewEntity: return u"Entidad nueva"_s;
    case Mark::NewBand: return u"Banda nueva"_s;
    case Mark::NewMode: return u"Modo nuevo"_s;
    case Mark::Worked: return u"Trabajado"_s;
    case Mark::NoEntity: return u"Sin entidad"_s;
    case Mark::Pending: break;
    }
    return {};
}

void SpotTable::judge(Row &row)
{
    // A log still being indexed is not waited for: the marks come when it is ready.
    if (!m_index.ready()) {
        row.mark = Mark::Pending;
        return;
    }
    if (row.entity < 0) {
        row.mark = Mark::NoEntity;
        return;
    }
    switch (entityNeed(m_index, row.entity, row.band, modeClassOf(QStringView(row.formMode)))) {
    case EntityNeed::NewEntity: row.mark = Mark::NewEntity; break;
    case EntityNeed::NewBandAndMode: // a new band is the bigger news
    case EntityNeed::NewBand: row.mark = Mark::NewBand; break;
    case EntityNeed::NewMode: row.mark = Mark::NewMode; break;
    case EntityNeed::Worked: row.mark = Mark::Worked; break;
    }
}

void SpotTable::add(const QList<Spot> &spots)
{
    // More than the table keeps at once: only the newest of them go in.
    const qsizetype first = std::max<qsizetype>(0, spots.size() - kMaxSpots);
    const int count = int(spots.size() - first);
    if (count == 0)
        return;
    const CallResolver *resolver = m_index.resolver();
    beginInsertRows({}, 0, count - 1);
    for (qsizetype i = first; i < spots.size(); ++i) {
        Row row;
        row.spot = spots[i];
        row.entity = resolver ? resolver->resolve(QStringView(row.spot.call)).entity : -1;
        row.band = bandOfFrequency(QStringView(formFrequency(row.spot.hertz)));
        row.formMode = spotFormMode(row.spot);
        judge(row);
        m_rows.push_front(std::move(row));
    }
    endInsertRows();
    if (m_rows.size() > size_t(kMaxSpots)) {
        beginRemoveRows({}, kMaxSpots, int(m_rows.size()) - 1);
        m_rows.resize(size_t(kMaxSpots));
        endRemoveRows();
    }
}

void SpotTable::rejudge()
{
    if (m_rows.empty())
        return;
    for (Row &row : m_rows)
        judge(row);
    emit dataChanged(index(0, 0), index(rowCount() - 1, Columns - 1));
}

int SpotTable::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int SpotTable::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Columns;
}

QVariant SpotTable::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || size_t(index.row()) >= m_rows.size())
        return {};
    const Row &r = m_rows[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case Hora: return r.spot.time;
        case Frecuencia: return QString::number(double(r.spot.hertz) / 1000.0, 'f', 1);
        case Indicativo: return r.spot.call;
        case Entidad: return r.entity >= 0 && m_index.resolver() ? m_index.resolver()->entities().at(size_t(r.entity)).name : QString();
        case Estado: return markText(r.mark);
        case Comentario: return r.spot.comment;
        case Spotter: return r.spot.spotter;
        }
        return {};
    case Qt::BackgroundRole:
        // Told apart by lightness as well as hue; the words say it too.
        switch (r.mark) {
        case Mark::NewEntity: return QColor(0xF4, 0x9A, 0x9A);
        case Mark::NewBand: return QColor(0xFF, 0xD8, 0x6B);
        case Mark::NewMode: return QColor(0xB8, 0xD8, 0xFF);
        default: return {};
        }
    case Qt::ForegroundRole:
        return r.mark == Mark::NewEntity || r.mark == Mark::NewBand || r.mark == Mark::NewMode ? QColor(Qt::black) : QVariant();
    case Qt::TextAlignmentRole:
        return index.column() == Frecuencia ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    case BandRole: return r.band;
    case MarkRole: return int(r.mark);
    case ModeRole: return int(modeClassOf(QStringView(r.formMode)));
    }
    return {};
}

QVariant SpotTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char16_t *const kHeadings[Columns] = {u"Hora (UTC)", u"Frecuencia (kHz)", u"Indicativo", u"Entidad",
                                                       u"Estado", u"Comentario", u"Spotter"};
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < Columns)
        return QString::fromUtf16(kHeadings[section]);
    return QAbstractTableModel::headerData(section, orientation, role);
}

void SpotFilter::setFilters(int band, bool onlyNeeded, ModeClass mode)
{
    m_band = band;
    m_onlyNeeded = onlyNeeded;
    m_mode = mode;
    invalidateFilter();
}

bool SpotFilter::filterAcceptsRow(int sourceRow, const QModelIndex &) const
{
    const QModelIndex at = sourceModel()->index(sourceRow, 0);
    return (m_band < 0 || at.data(SpotTable::BandRole).toInt() == m_band)
           && (!m_onlyNeeded || at.data(SpotTable::MarkRole).toInt() != int(SpotTable::Mark::Worked))
           && (m_mode == ModeClass::Unknown || at.data(SpotTable::ModeRole).toInt() == int(m_mode));
}
