#include "StationClock.h"
#include "ClockCaption.h"
#include "common/Platform.h"
#include <QLabel>

using namespace Qt::StringLiterals;

StationClock::StationClock(QLabel *local, QLabel *utc, const ClockSeam &clock, QObject *parent)
    : QObject(parent), m_local(local), m_utc(utc), m_clock(clock)
{
    m_timer.setInterval(500);
    m_timer.setTimerType(Qt::CoarseTimer);
    connect(&m_timer, &QTimer::timeout, this, &StationClock::Timer1_Timer);
}

void StationClock::start()
{
    m_timer.start();
    QTimer::singleShot(0, this, &StationClock::Timer1_Timer);
}

void StationClock::Timer1_Timer()
{
    const QTime now = m_clock.now().time(); // one reading for hour and minute
    show(m_local, u"Hora local "_s, clockCaption(now.hour(), now.minute()));
    show(m_utc, u"Hora UTC "_s, clockCaption(utcHour(now.hour(), m_difUtc), now.minute()));
}

// A screen reader reads a clock as "Hora local 14:02": the caption alone would not say which.
void StationClock::show(QLabel *label, const QString &name, const QString &caption)
{
    if (label->text() == caption && !label->accessibleName().isEmpty())
        return;
    label->setText(caption);
    label->setAccessibleName(name + caption);
}
