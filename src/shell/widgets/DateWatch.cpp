#include "shell/widgets/DateWatch.h"

#include "data/Dates.h"

#include <QDateTime>
#include <QTime>
#include <QTimer>
#include <cmath>

namespace brisden {

DateWatch::DateWatch(Calendar& calendar, QObject* parent) : QObject(parent), m_calendar(calendar)
{
    m_timer1 = new QTimer(this);
    m_timer1->setSingleShot(true);
    connect(m_timer1, &QTimer::timeout, this, &DateWatch::Timer1_Timer);
    m_steady.start();
    m_probeDate = QDate::currentDate();
    m_probeWall = QDateTime::currentMSecsSinceEpoch();
    m_probeSteady = m_steady.elapsed();
    m_clockProbe = new QTimer(this);
    m_clockProbe->setInterval(1000);
    connect(m_clockProbe, &QTimer::timeout, this, &DateWatch::probeClock);
    m_clockProbe->start();
    Timer1_Timer();
}

void DateWatch::Timer1_Timer()
{
    m_timer1->stop();
    // Wake 30 seconds before midnight, then every second until the day changes.
    const double t = QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
    const qint64 wait = 86400000 - 1000 * qint64(std::floor(t + 30));
    m_timer1->start(int(wait > 1000 ? wait : 1000));
    m_calendar.SetToday();
    const bool changed = m_calendar.TodayYMD != m_dateWatchDay && m_dateWatchDay != 0;
    m_dateWatchDay = m_calendar.TodayYMD;
    if (changed)
        emit dateChanged();
}

void DateWatch::stop()
{
    m_timer1->stop();
    m_clockProbe->stop();
}

int DateWatch::dateWatchInterval() const
{
    return m_timer1->isActive() ? m_timer1->interval() : 0;
}

void DateWatch::probeClock()
{
    const QDate date = QDate::currentDate();
    const qint64 wall = QDateTime::currentMSecsSinceEpoch();
    const qint64 steady = m_steady.elapsed();
    const qint64 drift = (wall - m_probeWall) - (steady - m_probeSteady);
    if (date != m_probeDate || drift > 2000 || drift < -2000)
        m_timer1->start(200);
    m_probeDate = date;
    m_probeWall = wall;
    m_probeSteady = steady;
}

}  // namespace brisden
