#include "FormFrequency.h"

QString formFrequency(quint64 hz)
{
    QString hertz = QString::number(hz % 1000000).rightJustified(6, u'0');
    while (hertz.size() > 3 && hertz.endsWith(u'0'))
        hertz.chop(1);
    return QString::number(hz / 1000000) + u'.' + hertz;
}
