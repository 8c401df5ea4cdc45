#include "FileErrors.h"
#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

QString spanishReason(const QString &qtReason)
{
    static const struct { const char *english; const char16_t *spanish; } known[] = {
        {"No space left on device", u"el disco está lleno"},
        {"File too large", u"el archivo supera el tamaño máximo permitido"},
        {"Permission denied", u"no hay permiso"},
        {"No such file or directory", u"no existe"},
        {"Read-only file system", u"el disco es de solo lectura"},
        {"Disk quota exceeded", u"se agotó la cuota de disco"},
        {"Is a directory", u"es una carpeta"},
        {"file to open is a directory", u"es una carpeta"},
        {"Not a directory", u"una parte del camino no es una carpeta"},
        {"Input/output error", u"error de lectura o escritura en el disco"},
        {"Not a regular file", u"no es un archivo común"},
        // The C library's own texts when the system speaks Spanish.
        {"No queda espacio en el dispositivo", u"el disco está lleno"},
        {"Fichero demasiado grande", u"el archivo supera el tamaño máximo permitido"},
        {"Archivo demasiado grande", u"el archivo supera el tamaño máximo permitido"},
        {"Permiso denegado", u"no hay permiso"},
        {"No existe el fichero o el directorio", u"no existe"},
        {"No existe el archivo o el directorio", u"no existe"},
        {"Sistema de ficheros de sólo lectura", u"el disco es de solo lectura"},
        {"Sistema de archivos de solo lectura", u"el disco es de solo lectura"},
        {"Se ha excedido la cuota de disco", u"se agotó la cuota de disco"},
        {"Es un directorio", u"es una carpeta"},
        {"No es un directorio", u"una parte del camino no es una carpeta"},
        {"Error de entrada/salida", u"error de lectura o escritura en el disco"},
    };
    for (const auto &k : known) {
        if (qtReason.contains(QLatin1StringView(k.english), Qt::CaseInsensitive))
            return QString::fromUtf16(k.spanish);
    }
    // Whatever else the system says, in the words the program uses.
    QString reason = qtReason;
    reason.replace(QStringLiteral("ficheros"), QStringLiteral("archivos"));
    reason.replace(QStringLiteral("fichero"), QStringLiteral("archivo"));
    reason.replace(QStringLiteral("Ficheros"), QStringLiteral("Archivos"));
    reason.replace(QStringLiteral("Fichero"), QStringLiteral("Archivo"));
    return reason;
}

// The character the user has to change, as they would recognise it; invisible ones by code.
QString describeCharacter(const QString &value, qsizetype index)
{
    const QChar c = value.at(index);
    if (c.isHighSurrogate() && index + 1 < value.size() && value.at(index + 1).isLowSurrogate())
        return QStringLiteral("«%1»").arg(value.mid(index, 2));
    if (c.category() == QChar::Other_Control || c.isSurrogate() || c.isSpace() || c.isNull()
        || c.category() == QChar::Other_Format)
        return QStringLiteral("U+%1").arg(QString::number(c.unicode(), 16).toUpper().rightJustified(4, u'0'));
    return QStringLiteral("«%1»").arg(c);
}

QString quotedName(const QString &name)
{
    return QStringLiteral("«%1»").arg(name);
}

QString writeReason(const QString &path, const QString &qtReason)
{
    const QFileInfo info(path);
    if (info.isDir())
        return QStringLiteral("ese nombre es el de una carpeta");
    const QFileInfo folder(info.absolutePath());
    const QString folderName = quotedName(QDir::toNativeSeparators(folder.absoluteFilePath()));
    if (!folder.exists())
        return QStringLiteral("la carpeta %1 no existe").arg(folderName);
    if (!folder.isDir())
        return QStringLiteral("%1 no es una carpeta").arg(folderName);
    // A write-protected card or a disc is what the user has to change, not the file.
    if (QStorageInfo(folder.absoluteFilePath()).isReadOnly())
        return QStringLiteral("el disco es de solo lectura");
    if (info.exists() && !info.isWritable())
        return QStringLiteral("el archivo es de solo lectura");
    if (!folder.isWritable())
        return QStringLiteral("no hay permiso para escribir en la carpeta %1").arg(folderName);
    return spanishReason(qtReason);
}

QString readReason(const QString &path, const QString &qtReason)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("no existe");
    if (info.isDir())
        return QStringLiteral("es una carpeta");
    if (!info.isFile())
        return QStringLiteral("no es un archivo común");
    if (!info.isReadable())
        return QStringLiteral("no hay permiso para leerlo");
    return spanishReason(qtReason);
}
