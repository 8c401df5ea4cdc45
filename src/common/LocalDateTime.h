#pragma once
// The date and time texts of the entry form: the locale's short date, and its long time
// reduced to hours, minutes and seconds (Qt's long format may carry a time zone).
#include <QDateTime>
#include <QLocale>
#include <QString>

namespace localtext {
QString shortDate(const QDateTime &moment, const QLocale &locale = QLocale::system());
QString longTime(const QDateTime &moment, const QLocale &locale = QLocale::system());
// The format longTime writes with.
QString formTimeFormat(const QLocale &locale);
}
