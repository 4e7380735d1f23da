#include "support/failing_writer.h"

#include <algorithm>
#include <cerrno>

namespace cuemora {

FailingDevice::FailingDevice(QIODevice* target, qint64 limit)
    : m_target(target)
    , m_left(limit) {
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 FailingDevice::readData(char*, qint64) {
    return -1;
}

qint64 FailingDevice::writeData(const char* data, qint64 size) {
    const qint64 passed = std::min(size, m_left);
    if (passed > 0) {
        if (m_target->write(data, passed) != passed)
            return -1;
        m_left -= passed;
    }
    if (passed < size) {
        setErrorString(QStringLiteral("设备已满"));
        return passed > 0 ? passed : -1;
    }
    return size;
}

bool FailingWriter::write(QFileDevice& file, const QByteArray& bytes, QString& why) const {
    if (m_failAfter < 0)
        return FileWriter::write(file, bytes, why);
    FailingDevice device(&file, m_failAfter);
    const char* at = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const qint64 written = device.write(at, left);
        if (written <= 0) {
            why = diskFullReason(device.errorString());
            return false;
        }
        at += written;
        left -= written;
    }
    return true;
}

bool FailingWriter::sync(QFileDevice& file, QString& why) const {
    if (m_failAtSync) {
        why = diskFullReason(qt_error_string(ENOSPC));
        return false;
    }
    return FileWriter::sync(file, why);
}

} // namespace cuemora
