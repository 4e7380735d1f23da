#include "room/instance_lock.h"

#include <QTemporaryFile>

namespace cuemora {

InstanceLock::InstanceLock(const DataDirectory& data)
    : m_lock(data.filePath(fileName())) {
    // The program runs for days: only a lock whose program has died counts as stale, never an old one.
    m_lock.setStaleLockTime(0);
}

QString InstanceLock::fileName() {
    return QStringLiteral(".cuemora.lock");
}

InstanceLock::Result InstanceLock::tryLock() {
    if (m_lock.tryLock(0))
        return Result::Locked;
    if (m_lock.error() != QLockFile::LockFailedError)
        return Result::NotPossible;
    // A lock file that names no program is what a start cut short leaves: killed between making
    // the file and writing its few bytes, or a power cut before they reached the disk. Without an
    // age that counts as stale it would keep every later start out for good.
    qint64 pid = 0;
    QString host;
    QString application;
    if (!m_lock.getLockInfo(&pid, &host, &application) && m_lock.removeStaleLockFile() && m_lock.tryLock(0))
        return Result::Locked;
    return Result::HeldElsewhere;
}

bool canWriteDataDirectory(const DataDirectory& data, QString* reason) {
    QTemporaryFile probe(data.filePath(QStringLiteral(".cuemora-write-XXXXXX")));
    if (!probe.open() || probe.write("0", 1) != 1 || !probe.flush()) {
        if (reason)
            *reason = probe.errorString();
        return false;
    }
    return true;
}

} // namespace cuemora
