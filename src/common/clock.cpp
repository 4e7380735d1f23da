#include "common/clock.h"

#include <QElapsedTimer>

#if defined(Q_OS_LINUX)
#include <time.h>
#endif

namespace cuemora {

QDateTime SystemClock::now() const {
    return QDateTime::currentDateTime();
}

qint64 SystemClock::steadyMs() const {
#if defined(Q_OS_LINUX)
    // CLOCK_BOOTTIME goes on while the computer sleeps, where CLOCK_MONOTONIC (QElapsedTimer's)
    // stands still; the guests play on either way.
    timespec ts{};
    if (clock_gettime(CLOCK_BOOTTIME, &ts) == 0)
        return qint64(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
#endif
    QElapsedTimer timer;
    timer.start();
    return timer.msecsSinceReference();
}

} // namespace cuemora
