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
    const QDateTime moment = m_clock.now(); // one reading for hour and minute
    const QTime now = moment.time();
    m_local->setText(clockCaption(now.hour(), now.minute()));
    if (m_conversion.kind() == UtcConversion::Kind::Zone) {
        const QTime utc = m_conversion.toUtc(moment.date(), now).time();
        m_utc->setText(clockCaption(utc.hour(), utc.minute()));
    } else {
        // The fixed offset as the classic clock added it: hours only, corrected once.
        m_utc->setText(clockCaption(utcHour(now.hour(), m_conversion.hours()), now.minute()));
    }
}
