#pragma once
#include <QObject>
#include <QTimer>

class QLabel;
class ClockSeam;

// The local and UTC clocks of the main window. A few ticks a second are enough for a
// change of minute to show at once, and keep the program idle at rest.
class StationClock : public QObject
{
    Q_OBJECT
public:
    StationClock(QLabel *local, QLabel *utc, const ClockSeam &clock, QObject *parent = nullptr);
    void setDifUtc(qint16 difUtc) { m_difUtc = difUtc; }
    void start();
    void Timer1_Timer();
    const QTimer &timer() const { return m_timer; }

private:
    static void show(QLabel *label, const QString &name, const QString &caption);
    QLabel *m_local;
    QLabel *m_utc;
    const ClockSeam &m_clock;
    qint16 m_difUtc = 0;
    QTimer m_timer;
};
