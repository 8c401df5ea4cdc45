#pragma once
// The reason a file operation failed, in the user's language. Qt's own texts are English
// unless its translations are installed; the common system errors are said here.
#include <QString>

QString spanishReason(const QString &qtReason);

// A character the file cannot hold, as the user would recognise it: «x», or U+XXXX for an
// invisible one.
QString describeCharacter(const QString &value, qsizetype index);
