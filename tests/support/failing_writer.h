#pragma once

// Disks that fail on purpose: a device that fills up after a number of bytes, and the writer that a
// test hands to the data directory so that the room's saves meet such a disk.

#include "common/safe_save.h"

#include <QIODevice>

namespace cuemora {

// A device over another that passes on the first `limit` bytes and then refuses every write, like
// a disk that fills up in the middle of a save.
class FailingDevice : public QIODevice {
public:
    FailingDevice(QIODevice* target, qint64 limit);
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 size) override;

private:
    QIODevice* m_target;
    qint64 m_left;
};

// The real disk until told otherwise; then every later save fails as told, until told again.
class FailingWriter : public FileWriter {
public:
    // Every save takes `bytes` bytes and then finds the disk full; a negative count ends the fault.
    void failAfter(qint64 bytes) { m_failAfter = bytes; }
    // Every save takes all its bytes and then finds the disk full as it flushes them, the way a
    // filesystem that finds room for the bytes only then shows it; false ends the fault.
    void failAtSync(bool fail) { m_failAtSync = fail; }

    bool write(QFileDevice& file, const QByteArray& bytes, QString& why) const override;
    bool sync(QFileDevice& file, QString& why) const override;

private:
    qint64 m_failAfter = -1;
    bool m_failAtSync = false;
};

} // namespace cuemora
