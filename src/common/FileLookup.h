#pragma once
#include <QString>

// The plain file in `folder` named `name` in any letter case, as a path; empty when there is
// none. The exact spelling wins when several casings exist. Folders never match.
QString findFileAnyCase(const QString &folder, const QString &name);
