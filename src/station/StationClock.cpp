#include "StationClock.h"
#include "ClockCaption.h"
#include "common/Platform.h"
#include <QLabel>

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
    m_local->setText(clockCaption(now.hour(), now.minute()));
    m_utc->setText(clockCaption(utcHour(now.hour(), m_difUtc), now.minute()));
}
