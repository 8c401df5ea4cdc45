#pragma once
// Shared by the reliability tests: log files made quickly in bulk, things planted where a file
// is looked for, and snapshots of a folder to prove that a failed command left every file as it was.
#include "FileHelpers.h"
#include <QByteArray>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QString>

#include <sys/resource.h>
#include <sys/stat.h>
#include <algorithm>
#include <csignal>
#include <unistd.h>

namespace faults {

// Size and SHA-1 of a file, read in pieces: logs here run to a hundred megabytes.
inline QByteArray fingerprint(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    QCryptographicHash hash(QCryptographicHash::Sha1);
    if (!hash.addData(&f))
        return QByteArray("<unreadable>");
    return QByteArray::number(f.size()) + ':' + hash.result().toHex();
}

// A log file as the program writes it: `contacts` records whose texts depend on `variant`,
// so two variants of the same size still differ. Built directly, about 140 bytes a contact.
inline QByteArray makeLog(qint64 contacts, int variant)
{
    QByteArray bytes;
    bytes.reserve(qsizetype(contacts) * 150 + 32);
    bytes += QByteArray::number(contacts) + "\r\n";
    const char *const modes[] = {"SSB", "CW", "FM", "RTTY"};
    const QByteArray v = QByteArray::number(variant);
    for (qint64 r = 0; r < contacts; ++r) {
        const QByteArray n = QByteArray::number(r);
        bytes += "\"LU" + v + "X" + n + "\"\r\n\"Juan " + n + "\"\r\n\"Rosario\"\r\n\"Santa Fe\"\r\n"
                 "\"C\xf3rdoba\"\r\n\"2000\"\r\n\"\"\r\n\"59\"\r\n\"12/02/2001\"\r\n\"22:52:30\"\r\n\"7.050\"\r\n\"";
        bytes += modes[(r + variant) % 4];
        bytes += "\"\r\n\"BURO\"\r\n\"NO\"\r\n\"SI\"\r\n\"variante " + v + "\"\r\n";
    }
    return bytes;
}

// Puts what `kind` names where a file is looked for: "folder", "fifo", "link to nowhere",
// "link to a folder", "empty", "unreadable" (a log no one may read), or nothing ("missing").
inline bool plant(const QString &path, const QString &kind)
{
    const QDir folder = QFileInfo(path).dir();
    if (kind == QLatin1String("folder"))
        return folder.mkdir(QFileInfo(path).fileName());
    if (kind == QLatin1String("fifo"))
        return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    if (kind == QLatin1String("link to nowhere"))
        return QFile::link(folder.filePath(QStringLiteral("no-existe")), path);
    if (kind == QLatin1String("link to a folder"))
        return folder.mkdir(QStringLiteral("otra")) && QFile::link(folder.filePath(QStringLiteral("otra")), path);
    if (kind == QLatin1String("empty"))
        return writeFile(path, QByteArray());
    if (kind == QLatin1String("unreadable"))
        return writeFile(path, makeLog(3, 2)) && QFile::setPermissions(path, QFileDevice::WriteOwner);
    return kind == QLatin1String("missing");
}

// Every file and folder under `folder` with its fingerprint: equal snapshots mean nothing was
// created, removed or changed.
inline QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info(path);
        QByteArray what = "<special>"; // opening a FIFO to read it would wait for a writer
        if (info.isSymLink())
            what = "<link to " + QFile::encodeName(info.symLinkTarget()) + '>';
        else if (info.isDir())
            what = "<folder>";
        else if (info.isFile())
            what = fingerprint(path);
        files.insert(QDir(folder).relativeFilePath(path), what);
    }
    return files;
}

// Permissions stop nobody running as root: the cases that rely on them are skipped there.
inline bool permissionsApply()
{
    return geteuid() != 0;
}

// Files this process (or a child about to start) writes may grow to `bytes` only, RLIM_INFINITY
// for as far as the hard limit allows; a write beyond fails with EFBIG instead of the signal
// that would end the process.
inline bool limitFileSize(rlim_t bytes)
{
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = std::min(bytes, limit.rlim_max);
    return setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

} // namespace faults
