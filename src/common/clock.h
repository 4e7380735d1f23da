#pragma once

#include <QDateTime>

namespace cuemora {

// The local date and time. Start times and the day of a takings file come from here, so tests can
// set the day.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock : public Clock {
public:
    QDateTime now() const override;
};

// A clock that shows what it is set to.
class ManualClock : public Clock {
public:
    explicit ManualClock(QDateTime moment = QDateTime(QDate(2013, 5, 20), QTime(14, 30, 5)))
        : m_moment(std::move(moment)) {}
    QDateTime now() const override { return m_moment; }
    void set(const QDateTime& moment) { m_moment = moment; }
    void advance(qint64 seconds) { m_moment = m_moment.addSecs(seconds); }

private:
    QDateTime m_moment;
};

} // namespace cuemora
