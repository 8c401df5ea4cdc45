// Reading a country file into a resolver, with what went wrong said for the user.
#include "CallResolver.h"
#include "CountryFileParser.h"
#include "common/FileErrors.h"

#include <QFile>
#include <QFileInfo>

namespace {

// The country file is a few hundred kilobytes; anything far larger is some other file, and is
// not read into memory whole.
constexpr qint64 kMaxFileBytes = qint64(64) << 20;

CountryFileRead failure(qint64 line, const QString &error)
{
    CountryFileRead r;
    r.line = line;
    r.error = error;
    return r;
}

QString quoted(const QString &name)
{
    return QStringLiteral("«%1»").arg(name);
}

} // namespace

CountryFileRead CallResolver::read(const QString &path, const QString &shownName)
{
    const QString name = shownName.isEmpty() ? path : shownName;
    const auto unreadable = [&name](const QString &reason) {
        return failure(0, QStringLiteral("No se pudo leer el archivo %1: %2.").arg(quoted(name), reason));
    };
    const QFileInfo info(path);
    if (info.exists() && !info.isDir() && !info.isFile())
        return unreadable(QStringLiteral("no es un archivo común"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return unreadable(spanishReason(file.errorString()));
    if (file.size() > kMaxFileBytes) {
        return failure(0, QStringLiteral("El archivo %1 ocupa %2 bytes: es demasiado grande para ser un archivo de países.")
                              .arg(quoted(name)).arg(file.size()));
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return unreadable(spanishReason(file.errorString()));
    return fromBytes(bytes, name);
}

CountryFileRead CallResolver::fromBytes(const QByteArray &bytes, const QString &shownName)
{
    CountryFileContent content = parseCountryFile(std::string_view(bytes.constData(), size_t(bytes.size())));
    if (!content.problem.isEmpty()) {
        return failure(content.badLine, QStringLiteral("El archivo %1 no es un archivo de países válido. Línea %2: %3.")
                                            .arg(quoted(shownName), QString::number(content.badLine), content.problem));
    }
    if (content.entities.empty())
        return failure(0, QStringLiteral("El archivo %1 no tiene ninguna entidad DXCC: no es un archivo de países.").arg(quoted(shownName)));

    std::shared_ptr<CallResolver> resolver(new CallResolver);
    resolver->m_entities = std::move(content.entities);
    resolver->m_prefixes.build(std::move(content.prefixes));
    resolver->m_wholeCalls.build(std::move(content.wholeCalls));
    CountryFileRead result;
    result.ok = true;
    result.resolver = std::move(resolver);
    return result;
}
