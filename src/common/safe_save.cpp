#include "common/safe_save.h"

#include <QSaveFile>

#include <algorithm>
#include <memory>

namespace cuemora {

namespace {

qint64 g_failAfter = -1;

} // namespace

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

bool saveWholeFile(const QString& path, const WholeFileWriter& write, QString* error) {
    QSaveFile file(path);
    // Writing straight into the old file would lose it when the write fails half way.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    bool written = false;
    if (g_failAfter >= 0) {
        FailingDevice device(&file, g_failAfter);
        written = write(device);
        if (!written && error)
            *error = device.errorString();
    } else {
        written = write(file);
        if (!written && error)
            *error = file.errorString();
    }
    if (!written) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool saveWholeFile(const QString& path, const QByteArray& bytes, QString* error) {
    return saveWholeFile(
        path, [&bytes](QIODevice& out) { return out.write(bytes) == bytes.size(); }, error);
}

namespace testing {

void setSaveFailureAfter(qint64 bytes) {
    g_failAfter = bytes;
}

} // namespace testing

} // namespace cuemora
