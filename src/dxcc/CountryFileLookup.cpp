#include "CallResolver.h"
#include "common/FileLookup.h"

#include <QDir>
#include <QFileInfo>

// Where the build installs its data (CMake's full data folder, /orvanel), so an installed
// program finds its country file from any working folder.
#ifndef ORVANEL_INSTALLED_DATA_DIR
#error "ORVANEL_INSTALLED_DATA_DIR must name the installed data folder"
#endif

QString installedDataFolder()
{
    return QStringLiteral(ORVANEL_INSTALLED_DATA_DIR);
}

QString findCountryFile(const QString &workingFolder)
{
    const QString name = QStringLiteral("cty.csv");
    const QString own = findFileAnyCase(workingFolder, name);
    if (!own.isEmpty())
        return own;
    const QString installed = QDir(installedDataFolder()).filePath(name);
    return QFileInfo(installed).isFile() ? installed : QString();
}
