#include "common/clock.h"

namespace cuemora {

QDateTime SystemClock::now() const {
    return QDateTime::currentDateTime();
}

} // namespace cuemora
