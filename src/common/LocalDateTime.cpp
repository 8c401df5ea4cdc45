#include "LocalDateTime.h"

namespace localtext {

QString shortDate(const QDateTime &moment, const QLocale &locale)
{
    return locale.toString(moment.date(), QLocale::ShortFormat);
}

QString longTime(const QDateTime &moment, const QLocale &locale)
{
    // The format worked out once per locale: a log's contacts come in their thousands.
    static thread_local QLocale lastLocale = QLocale::c();
    static thread_local QString lastFormat;
    if (lastFormat.isEmpty() || locale != lastLocale) {
        lastLocale = locale;
        lastFormat = formTimeFormat(locale);
    }
    return locale.toString(moment.time(), lastFormat);
}

QString formTimeFormat(const QLocale &locale)
{
    // Drop the time-zone fields ('t', 'tt', ...) and the blanks or commas before them.
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString cleaned;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar ch = format.at(i);
        if (ch == u'\'')
            quoted = !quoted;
        if (!quoted && ch == u't') {
            while (!cleaned.isEmpty() && (cleaned.back() == u' ' || cleaned.back() == u','))
                cleaned.chop(1);
            continue;
        }
        cleaned.append(ch);
    }
    // A zone in brackets ("H:mm:ss (t)", Spanish of Spain) leaves its brackets behind.
    cleaned.remove(QStringLiteral("()"));
    if (!cleaned.contains(u's'))
        cleaned = QStringLiteral("HH:mm:ss");
    return cleaned.trimmed();
}

} // namespace localtext
