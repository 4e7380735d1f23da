#include "common/file_aside.h"

#include <QFile>
#include <QFileInfo>

namespace cuemora {

QString setFileAside(const QString& path) {
    for (int k = 1; k < 10000; ++k) {
        const QString candidate = QStringLiteral("%1.无法读取%2").arg(path).arg(k);
        if (QFileInfo::exists(candidate))
            continue;
        return QFile::rename(path, candidate) ? candidate : QString();
    }
    return {};
}

QString setAsideMessage(const QString& fileName, const QString& reason, const QString& asidePath) {
    return QStringLiteral("文件“%1”无法读取（%2），已改名为“%3”保留，程序用新的文件继续。")
        .arg(fileName, reason, QFileInfo(asidePath).fileName());
}

} // namespace cuemora
