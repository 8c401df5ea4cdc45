#include "FileLookup.h"
#include <QDir>
#include <QFileInfo>

QString findFileAnyCase(const QString &folder, const QString &name)
{
    const QDir dir(folder.isEmpty() ? QStringLiteral(".") : folder);
    const QString exact = dir.filePath(name);
    if (QFileInfo(exact).isFile())
        return exact;
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString &candidate : names) {
        if (candidate.compare(name, Qt::CaseInsensitive) == 0 && QFileInfo(dir.filePath(candidate)).isFile())
            return dir.filePath(candidate);
    }
    return {};
}
