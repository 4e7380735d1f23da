#pragma once

#include "common/clock.h"

namespace cuemora {

// A clock that shows what it is set to. advance() lets time pass, on the wall clock and the steady
// clock alike; set() only moves the wall clock, as an operator or a time server does.
class ManualClock : public Clock {
public:
    explicit ManualClock(QDateTime moment = QDateTime(QDate(2013, 5, 20), QTime(14, 30, 5)))
        : m_moment(std::move(moment)) {}
    QDateTime now() const override { return m_moment; }
    qint64 steadyMs() const override { return m_steadyMs; }
    void set(const QDateTime& moment) { m_moment = moment; }
    void advance(qint64 seconds) { advanceMs(seconds * 1000); }
    void advanceMs(qint64 ms) {
        m_moment = m_moment.addMSecs(ms);
        m_steadyMs += ms;
    }

private:
    QDateTime m_moment;
    qint64 m_steadyMs = 1'000'000;
};

} // namespace cuemora
