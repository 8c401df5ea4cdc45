#include "EntityNames.h"
#include "CallResolver.h"

#include <QFile>
#include <QHash>

#include <unicode/locid.h>
#include <unicode/unistr.h>

namespace {

// The Spanish name of an ISO 3166 country or territory, from ICU's copy of the CLDR.
QString regionName(const QByteArray &iso)
{
    icu::UnicodeString name;
    icu::Locale("", iso.constData()).getDisplayCountry(icu::Locale("es"), name);
    return QString(reinterpret_cast<const QChar *>(name.getBuffer()), name.length());
}

// The shipped table (data/entidades.csv): "code,ISO" or "code,,name".
QHash<int, QString> readNames()
{
    QHash<int, QString> names;
    QFile file(QStringLiteral(":/data/entidades.csv"));
    if (!file.open(QIODevice::ReadOnly))
        return names;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        const QList<QByteArray> fields = line.split(',');
        if (line.startsWith('#') || fields.size() < 2)
            continue;
        const int code = fields.at(0).toInt();
        names.insert(code, fields.at(1).isEmpty() ? QString::fromUtf8(line.mid(line.indexOf(",,") + 2))
                                                  : regionName(fields.at(1)));
    }
    return names;
}

} // namespace

QString entityName(const CountryEntity &entity)
{
    static const QHash<int, QString> names = readNames(); // constant data, read once
    const auto known = names.constFind(entity.dxcc);
    return known != names.constEnd() && !known->isEmpty() ? *known : entity.name;
}
