#include "ClockCaption.h"

QString clockCaption(int hour, int minute)
{
    QString caption = QString::number(hour);
    caption += minute < 10 ? QStringLiteral(":0") : QStringLiteral(":");
    caption += QString::number(minute);
    return caption;
}

int utcHour(int localHour, int difUtc)
{
    const int sum = localHour + difUtc;
    if (sum >= 24)
        return sum - 24;
    if (sum < 0)
        return sum + 24;
    return sum;
}
