#include "common/safe_save.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace cuemora {

namespace {

// A reason as the windows show it after their own sentence: what failed, then the system's words.
QString reason(const QString& what, const QString& system) {
    return system.isEmpty() ? what : what + QStringLiteral("：") + system;
}

#ifdef Q_OS_UNIX
bool diskFull(int err) {
    return err == ENOSPC || err == EDQUOT;
}

QString systemReason(int err, const QString& what) {
    return reason(diskFull(err) ? QStringLiteral("磁盘空间不够") : what, qt_error_string(err));
}

// Reserves the file's blocks before a byte is written, so that a full disk says so here, where the
// old file is still whole, and not after the bytes seemed to be taken. A filesystem that cannot
// reserve is written without: every write and the flush are checked all the same.
bool reserveSpace(int fd, qint64 size, QString& why) {
#ifdef Q_OS_LINUX
    if (size <= 0)
        return true;
    int err = 0;
    do {
        err = posix_fallocate(fd, 0, static_cast<off_t>(size));
    } while (err == EINTR);
    if (err == 0 || err == EOPNOTSUPP || err == ENOSYS || err == EINVAL)
        return true;
    why = systemReason(err, QStringLiteral("无法为文件预留磁盘空间"));
    return false;
#else
    Q_UNUSED(fd);
    Q_UNUSED(size);
    Q_UNUSED(why);
    return true;
#endif
}

bool syncFile(int fd, QString& why) {
    while (::fsync(fd) != 0) {
        if (errno != EINTR) {
            why = systemReason(errno, QStringLiteral("文件无法写到磁盘上"));
            return false;
        }
    }
    return true;
}

// The new name lives in the directory: until the directory is on the disk as well, a power cut
// can bring back the old file, or no file at all for the first takings of a day.
bool syncDirectory(const QString& path, QString& why) {
    const QByteArray directory = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(directory.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        why = systemReason(errno, QStringLiteral("无法确认文件已写到磁盘上"));
        return false;
    }
    bool synced = true;
    while (::fsync(fd) != 0) {
        // A directory that cannot be flushed at all (some network filesystems) says EINVAL: its
        // entries are then as lasting as the filesystem makes them.
        if (errno == EINTR)
            continue;
        if (errno != EINVAL && errno != EROFS) {
            why = systemReason(errno, QStringLiteral("无法确认文件已写到磁盘上"));
            synced = false;
        }
        break;
    }
    ::close(fd);
    return synced;
}
#endif

// Writes every byte or says why not: a device may take part of the bytes and refuse the rest, and
// only the refusal carries the reason.
bool writeAll(QIODevice& out, const QByteArray& bytes) {
    const char* at = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const qint64 written = out.write(at, left);
        if (written <= 0)
            return false;
        at += written;
        left -= written;
    }
    return true;
}

} // namespace

bool FileWriter::write(QFileDevice& file, const QByteArray& bytes, QString& why) const {
    if (writeAll(file, bytes))
        return true;
    const bool full = file.error() == QFileDevice::ResourceError;
    why = reason(full ? QStringLiteral("磁盘空间不够") : QStringLiteral("无法写入文件"), file.errorString());
    return false;
}

bool FileWriter::sync(QFileDevice& file, QString& why) const {
#ifdef Q_OS_UNIX
    // QSaveFile flushes to the disk too, but does not say when that fails.
    return syncFile(file.handle(), why);
#else
    Q_UNUSED(file);
    Q_UNUSED(why);
    return true;
#endif
}

const FileWriter& diskWriter() {
    static const FileWriter disk;
    return disk;
}

QString diskFullReason(const QString& system) {
    return reason(QStringLiteral("磁盘空间不够"), system);
}

bool saveWholeFile(const QString& path, const QByteArray& bytes, QString* error, const FileWriter& writer) {
    QString why;
    QSaveFile file(path);
    const auto fail = [&] {
        file.cancelWriting(); // the temporary goes, the old file stays
        if (error)
            *error = why;
        return false;
    };
    // Writing straight into the old file would lose it when the write fails half way.
    file.setDirectWriteFallback(false);
    // Unbuffered, so that every write reaches the system and its answer is checked here, not in a
    // final flush whose failure would go unseen.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        why = reason(QStringLiteral("无法建立文件"), file.errorString());
        return fail();
    }
#ifdef Q_OS_UNIX
    if (!reserveSpace(file.handle(), bytes.size(), why))
        return fail();
#endif
    if (!writer.write(file, bytes, why))
        return fail();
    if (!file.flush()) {
        why = reason(QStringLiteral("无法写入文件"), file.errorString());
        return fail();
    }
    if (!writer.sync(file, why))
        return fail();
    if (!file.commit()) {
        why = reason(QStringLiteral("无法替换原来的文件"), file.errorString());
        if (error)
            *error = why;
        return false;
    }
#ifdef Q_OS_UNIX
    // The new file has taken the old one's place; only the disk's word that the new name lasts is
    // still missing, and without it the save is not done.
    if (!syncDirectory(path, why)) {
        if (error)
            *error = why;
        return false;
    }
#endif
    return true;
}

bool saveWholeFile(const QString& path, const WholeFileWriter& write, QString* error, const FileWriter& writer) {
    // The whole file first, so that its size is known and reserved before the old file is touched.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!write(buffer)) {
        if (error)
            *error = QStringLiteral("文件内容没有写完");
        return false;
    }
    buffer.close();
    return saveWholeFile(path, bytes, error, writer);
}

} // namespace cuemora
