#pragma once

#include <QDateTime>

namespace cuemora {

// The time as the program reads it. Tests set it; the program reads the system's.
class Clock {
public:
    virtual ~Clock() = default;
    // The local date and time, as the wall clock of the desk shows it. Start times and the day of a
    // takings file come from here.
    virtual QDateTime now() const = 0;
    // Milliseconds on a clock that only runs forward, at the pace of real time, whatever the wall
    // clock is set to, and on through a stopped program or a sleeping computer: the guests' seconds
    // are counted on it, so that neither a stall nor a change of the wall clock takes time away.
    virtual qint64 steadyMs() const = 0;
};

class SystemClock : public Clock {
public:
    QDateTime now() const override;
    qint64 steadyMs() const override;
};

} // namespace cuemora
