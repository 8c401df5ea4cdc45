#pragma once
// The reason a file operation failed, in the user's language. Qt's own texts are English
// unless its translations are installed; the common system errors are said here.
#include <QString>

QString spanishReason(const QString &qtReason);

// Why `path` could not be written or read, said from what is found at its place (a folder, a
// missing folder, a disk that is read-only, a permission), or else from Qt's reason.
QString writeReason(const QString &path, const QString &qtReason);
QString readReason(const QString &path, const QString &qtReason);

// A file name as messages quote it: «name».
QString quotedName(const QString &name);

// A character the file cannot hold, as the user would recognise it: «x», or U+XXXX for an
// invisible one.
QString describeCharacter(const QString &value, qsizetype index);
