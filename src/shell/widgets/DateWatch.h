#pragma once
// The date watch (Timer1): notices when the system date changes while the
// program runs. It wakes 30 seconds before midnight and then every second
// until the day changes; a probe compares, once a second, the date and the
// wall clock with a steady clock, so that a clock set by hand is noticed
// within a second or two as well.

#include <QDate>
#include <QElapsedTimer>
#include <QObject>

class QTimer;

namespace brisden {

struct Calendar;

class DateWatch final : public QObject {
    Q_OBJECT
public:
    DateWatch(Calendar& calendar, QObject* parent = nullptr);

    // One look at the clock: sets today's date in the calendar and announces
    // a new day (not on the first look); then waits for the next.
    void Timer1_Timer();
    void stop();

    int dateWatchDay() const { return m_dateWatchDay; }
    // The wait armed for the next look, in milliseconds (0 when stopped).
    int dateWatchInterval() const;

signals:
    void dateChanged();

private:
    void probeClock();

    Calendar& m_calendar;
    QTimer* m_timer1 = nullptr;
    QTimer* m_clockProbe = nullptr;
    int m_dateWatchDay = 0;
    QDate m_probeDate;
    qint64 m_probeWall = 0;
    qint64 m_probeSteady = 0;
    QElapsedTimer m_steady;
};

}  // namespace brisden
