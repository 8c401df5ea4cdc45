#include "AboutWindow.h"
#include "FormWindow.h"
#include <QLabel>

using namespace Qt::StringLiterals;

ProgramIdentity programIdentity()
{
    return {u"Orvanel"_s, 9, 0, 44};
}

QString versionLine(const ProgramIdentity &id)
{
    return u"Versión %1.%2.%3"_s.arg(id.major).arg(id.minor).arg(id.revision);
}

void loadAboutTexts(FormWindow &window, const ProgramIdentity &id)
{
    window.setWindowTitle(u"Acerca de "_s + id.title);
    window.control<QLabel>(u"lblVersion"_s)->setText(versionLine(id));
    window.control<QLabel>(u"lblTitle"_s)->setText(id.title);
}
