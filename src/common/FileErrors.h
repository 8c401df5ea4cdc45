#pragma once
// The reason a file operation failed, in the user's language. Qt's own texts are English
// unless its translations are installed; the common system errors are said here.
#include <QString>

QString spanishReason(const QString &qtReason);
