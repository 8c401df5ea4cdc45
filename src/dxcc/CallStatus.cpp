#include "CallStatus.h"
#include "CallIndex.h"
#include "CallResolver.h"
#include "EntityNames.h"
#include "WorkedEntities.h"
#include "adif/BandTable.h"
#include "common/GridModel.h"
#include <QStringList>

using namespace Qt::StringLiterals;

QString bandLabel(int band)
{
    QString name = bandName(band);
    const qsizetype unit = name.indexOf(u'm') == name.size() - 1 ? name.size() - 1 : name.size() - 2;
    if (name.isEmpty() || unit <= 0)
        return name;
    name.replace(u'.', u',');
    return name.left(unit) + u' ' + name.mid(unit);
}

EntityNeed entityNeed(CallIndex &index, int entity, int band, ModeClass mode)
{
    const CallIndex::Worked worked = index.workedEntity(entity, band, mode);
    const bool newBand = band >= 0 && !worked.onBand;
    const bool newMode = mode != ModeClass::Unknown && !worked.inMode;
    if (worked.contacts == 0)
        return EntityNeed::NewEntity;
    if (newBand && newMode)
        return EntityNeed::NewBandAndMode;
    if (newBand)
        return EntityNeed::NewBand;
    return newMode ? EntityNeed::NewMode : EntityNeed::Worked;
}

QString callStatus(CallIndex &index, const GridModel &table, const QString &call, const QString &frequency,
                   const QString &mode)
{
    const QString typed = call.trimmed();
    if (typed.isEmpty())
        return {};
    QStringList parts;
    const CallResolver *resolver = index.resolver();
    const CallEntity entity = resolver ? resolver->resolve(QStringView(typed)) : CallEntity();
    if (!resolver) {
        parts << u"Sin archivo de países (cty.csv)"_s;
    } else if (!entity.found()) {
        const QString upper = typed.toUpper();
        parts << (upper.endsWith(u"/MM"_s) || upper.endsWith(u"/AM"_s) ? u"Móvil marítimo o aeronáutico: sin entidad"_s
                                                                         : u"Entidad desconocida"_s);
    } else {
        const CountryEntity &e = resolver->entities().at(size_t(entity.entity));
        parts << u"%1 (%2), zona CQ %3, %4"_s.arg(entityName(e), e.prefix).arg(entity.cqZone).arg(QString::fromLatin1(entity.continent));
    }

    const std::vector<int> rows = index.rowsOf(typed);
    if (rows.empty()) {
        parts << u"No trabajado"_s;
    } else {
        const int latest = latestOf(table, rows);
        QStringList what{table.TextMatrix(latest, 9)};
        const int band = bandOfFrequency(QStringView(table.TextMatrix(latest, 11)));
        if (band >= 0)
            what << bandLabel(band);
        what << table.TextMatrix(latest, 12);
        const QString times = rows.size() == 1 ? u"1 vez"_s : u"%1 veces"_s.arg(rows.size());
        parts << u"Trabajado %1; último %2"_s.arg(times, what.join(u", "_s));
    }

    if (entity.found()) {
        switch (entityNeed(index, entity.entity, bandOfFrequency(QStringView(frequency)), modeClassOf(QStringView(mode)))) {
        case EntityNeed::NewEntity: parts << u"Entidad nueva"_s; break;
        case EntityNeed::NewBandAndMode: parts << u"Banda y modo nuevos para esta entidad"_s; break;
        case EntityNeed::NewBand: parts << u"Banda nueva para esta entidad"_s; break;
        case EntityNeed::NewMode: parts << u"Modo nuevo para esta entidad"_s; break;
        case EntityNeed::Worked: break;
        }
    }
    return parts.join(u" — "_s);
}
