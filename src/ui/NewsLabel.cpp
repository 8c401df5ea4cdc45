#include "NewsLabel.h"
#include <QAccessible>

NewsLabel::NewsLabel(QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    m_quiet.setSingleShot(true);
    m_quiet.setInterval(kQuietMs);
    connect(&m_quiet, &QTimer::timeout, this, &NewsLabel::tell);
}

void NewsLabel::showNews(const QString &text)
{
    setText(text);
    announce(text);
}

void NewsLabel::announce(const QString &text)
{
    m_pending = text;
    m_quiet.start();
}

void NewsLabel::tell()
{
    if (m_pending == m_announced)
        return;
    m_announced = m_pending; // an empty news lets the same text be told again later
    if (m_announced.isEmpty())
        return;
    emit announcing(m_announced);
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QAccessibleAnnouncementEvent event(this, m_announced);
#else
    // Before Qt had announcements, a notification that shows itself is what screen readers
    // speak unasked.
    QAccessibleEvent event(this, QAccessible::ObjectShow);
#endif
    QAccessible::updateAccessibility(&event);
}
