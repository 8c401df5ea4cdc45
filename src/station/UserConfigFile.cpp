#include "UserConfigFile.h"

#include "common/Cp1252.h"
#include "common/FileErrors.h"
#include "common/FileLookup.h"
#include "common/QuotedLines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <string_view>
#include <vector>

namespace {

// Seven short values fit many times over; a larger file is not read into memory whole.
// Room for seven values of the longest text a field holds, so what is saved reads back.
constexpr qint64 kReadLimit = 256 * 1024;

// The labels of the configuration window, so a message points at the box to correct.
const char16_t *const kFieldLabels[kUserConfigItems] = {
    u"Pais", u"UTC", u"Provincia", u"Ciudad", u"Dirección", u"Código Postal",
    u"Casilla de Correo",
};

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

struct ItemScan
{
    std::vector<std::string_view> items;
    int unclosed = -1;     // the first quoted item whose closing quote is missing
    size_t consumed = 0;   // bytes that belong to the items read
    bool cutShort = false; // the read limit fell inside an item
};

// `complete` tells whether `bytes` is the whole file; if not, its end is not an item end.
ItemScan scanItems(std::string_view bytes, bool complete)
{
    ItemScan scan;
    const size_t n = bytes.size();
    size_t p = 0;
    while (scan.items.size() < size_t(kUserConfigItems) && p < n) {
        while (p < n && (bytes[p] == ' ' || bytes[p] == '\t'))
            ++p;
        size_t begin = p;
        size_t end = p;
        if (p < n && bytes[p] == '"') {
            begin = ++p;
            while (p < n && bytes[p] != '"' && !isLineEnd(bytes[p]))
                ++p;
            end = p;
            if (p < n && bytes[p] == '"')
                ++p;
            else if (scan.unclosed < 0 && (p < n || complete))
                scan.unclosed = int(scan.items.size());
            while (p < n && bytes[p] != ',' && !isLineEnd(bytes[p]))
                ++p;
        } else {
            while (p < n && bytes[p] != ',' && !isLineEnd(bytes[p]))
                ++p;
            end = p;
        }
        if (p == n && !complete) {
            scan.cutShort = true;
            break;
        }
        scan.items.push_back(bytes.substr(begin, end - begin));
        if (p < n) {
            const char terminator = bytes[p++];
            if (terminator == '\r' && p < n && bytes[p] == '\n')
                ++p;
        }
    }
    scan.consumed = p;
    return scan;
}

QString displayName(const QString &path)
{
    return QFileInfo(path).fileName();
}

ConfigRead unreadable(const QString &path, const QString &reason)
{
    ConfigRead result;
    result.damaged = true;
    result.problem = QStringLiteral("No se pudo leer el archivo %1: %2.").arg(displayName(path), spanishReason(reason));
    return result;
}

WriteResult notSaved(const QString &path, const QString &reason)
{
    return {false, QStringLiteral("No se pudo guardar el archivo %1: %2.").arg(displayName(path), spanishReason(reason))};
}

} // namespace

QString userConfigFileName()
{
    return QStringLiteral("USUARIO.CFG");
}

QString findConfigFile(const QString &folder)
{
    return findFileAnyCase(folder, userConfigFileName());
}

QString configFileForWriting(const QString &folder)
{
    const QString found = findConfigFile(folder);
    if (!found.isEmpty())
        return found;
    return QDir(folder.isEmpty() ? QStringLiteral(".") : folder).filePath(userConfigFileName());
}

ConfigRead readUserConfig(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return unreadable(path, QStringLiteral("no existe"));
    if (info.isDir())
        return unreadable(path, QStringLiteral("es una carpeta"));
    // A FIFO or device would block or never end.
    if (!info.isFile())
        return unreadable(path, QStringLiteral("no es un archivo común"));
    if (!info.isReadable())
        return unreadable(path, QStringLiteral("no hay permiso para leerlo"));

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return unreadable(path, file.errorString());
    const QByteArray bytes = file.read(kReadLimit + 1);
    if (file.error() != QFileDevice::NoError)
        return unreadable(path, file.errorString());
    const bool complete = bytes.size() <= kReadLimit;

    const std::string_view view(bytes.constData(), size_t(complete ? bytes.size() : kReadLimit));
    const ItemScan scan = scanItems(view, complete);

    ConfigRead result;
    for (std::string_view item : scan.items)
        result.items.append(cp1252::toUnicode(item).remove(QChar(u'\0')));

    const QString name = displayName(path);
    if (view.substr(0, scan.consumed).find('\0') != std::string_view::npos) {
        result.damaged = true;
        result.problem = QStringLiteral("El archivo %1 está dañado: contiene bytes nulos.").arg(name);
    } else if (scan.cutShort) {
        result.damaged = true;
        result.problem = QStringLiteral("El archivo %1 está dañado: sus %2 datos no caben en los primeros %3 KiB.")
                             .arg(name).arg(kUserConfigItems).arg(kReadLimit / 1024);
    } else if (scan.unclosed >= 0) {
        // The line end closes it, so the values after it stay in their places; but the value
        // may be cut short, and the user should know.
        result.damaged = true;
        result.problem = QStringLiteral("El archivo %1 está dañado: al dato «%2» le falta la comilla de cierre.")
                             .arg(name, QString::fromUtf16(kFieldLabels[scan.unclosed]));
    } else if (result.items.isEmpty()) {
        result.damaged = true;
        result.problem = QStringLiteral("El archivo %1 está vacío.").arg(name);
    } else if (result.items.size() < kUserConfigItems) {
        result.damaged = true;
        result.problem = QStringLiteral("El archivo %1 está dañado: tiene %2 de los %3 datos.")
                             .arg(name).arg(result.items.size()).arg(kUserConfigItems);
    }
    return result;
}

bool hasUnstorableQuote(const QString &value)
{
    return value.contains(u'"');
}

QString storableValue(const QString &value)
{
    QString stored = value;
    stored.replace(u'"', u'\'');
    stored.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    stored.replace(u'\r', u' ');
    stored.replace(u'\n', u' ');
    return stored;
}

WriteResult writeUserConfig(const QString &path, const QStringList &seven)
{
    // Encode everything first: a value that cannot be stored must not cost the old file.
    QByteArray lines[kUserConfigItems];
    for (int i = 0; i < kUserConfigItems; ++i) {
        const QString value = storableValue(i < seven.size() ? seven.at(i) : QString());
        qsizetype bad = value.indexOf(QChar(u'\0'));
        if (bad < 0)
            lines[i] = cp1252::fromUnicode(value, &bad);
        if (bad >= 0) {
            return notSaved(path, QStringLiteral("el dato «%1» contiene el carácter %2, que el archivo no admite")
                                      .arg(QString::fromUtf16(kFieldLabels[i]), describeCharacter(value, bad)));
        }
    }

    // What the reader would not take back in full is not saved either.
    qint64 total = 0;
    for (const QByteArray &line : lines)
        total += line.size() + 4;
    if (total > kReadLimit)
        return notSaved(path, QStringLiteral("los datos ocupan más de %1 KiB").arg(kReadLimit / 1024));

    QuotedLineWriter writer(path);
    if (!writer.open())
        return notSaved(path, writer.errorString());
    for (const QByteArray &line : lines)
        writer.writeQuoted(std::string_view(line.constData(), size_t(line.size())));
    if (!writer.commit())
        return notSaved(path, writer.errorString());
    return {};
}
