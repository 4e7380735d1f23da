#pragma once

// A real filesystem that can be filled to the last byte: a tmpfs of its own, mounted for one test
// on a mount point under a temporary directory of its own, and always unmounted. Only root may
// mount (CI runs as root); where the mount is refused, mounted() is false and whyNot() says why,
// for the test to skip with.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_LINUX
#include <sys/mount.h>
#include <unistd.h>
#endif

class SmallFilesystem {
public:
    // Mounted on a directory of its own, or on `over`, an empty directory that a test already uses
    // (such as the data directory of a window test).
    explicit SmallFilesystem(int kilobytes = 256, const QString& over = QString()) {
        if (!m_dir.isValid()) {
            m_whyNot = QStringLiteral("no temporary directory");
            return;
        }
        m_root = over.isEmpty() ? m_dir.filePath(QStringLiteral("fs")) : over;
        QDir().mkpath(m_root);
#ifdef Q_OS_LINUX
        if (geteuid() != 0) {
            m_whyNot = QStringLiteral("mounting a small tmpfs needs root");
            return;
        }
        const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k,mode=0755";
        if (::mount("tmpfs", QFile::encodeName(m_root).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                    options.constData()) != 0) {
            m_whyNot = QStringLiteral("mounting a tmpfs was refused: ") + QString::fromLocal8Bit(std::strerror(errno));
            return;
        }
        m_mounted = true;
#else
        Q_UNUSED(kilobytes);
        m_whyNot = QStringLiteral("a tmpfs is mounted on Linux only");
#endif
    }

    ~SmallFilesystem() {
#ifdef Q_OS_LINUX
        // Detached, so that it goes even while a file in it is still open.
        if (m_mounted)
            ::umount2(QFile::encodeName(m_root).constData(), MNT_DETACH);
#endif
    }

    SmallFilesystem(const SmallFilesystem&) = delete;
    SmallFilesystem& operator=(const SmallFilesystem&) = delete;

    bool mounted() const {
        return m_mounted;
    }
    const QString& whyNot() const {
        return m_whyNot;
    }
    QString path() const {
        return m_root;
    }
    QString filePath(const QString& name) const {
        return m_root + QLatin1Char('/') + name;
    }

    // Takes every byte that is left, down to the last one, in a file of its own. False when the
    // filesystem still took bytes after that.
    bool fill() {
        QFile filler(filePath(QStringLiteral("filler")));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
            return false;
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size()) {
        }
        while (filler.write("f", 1) == 1) {
        }
        return filler.write("f", 1) <= 0;
    }

private:
    QTemporaryDir m_dir;
    QString m_root;
    QString m_whyNot;
    bool m_mounted = false;
};
