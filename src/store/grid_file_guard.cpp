#include "store/grid_file_guard.h"

#include <QFile>
#include <QFileInfo>

namespace cuemora {

namespace {

// A name beside the file that no file has yet; empty when the file could not be moved there.
QString setFileAside(const QString& path) {
    for (int k = 1; k < 10000; ++k) {
        // Put together piece by piece: a directory whose name holds "%1" must not take the number.
        const QString candidate = path + QStringLiteral(".无法读取") + QString::number(k);
        if (QFileInfo::exists(candidate))
            continue;
        return QFile::rename(path, candidate) ? candidate : QString();
    }
    return {};
}

} // namespace

GridFileLoad loadKeepingDamaged(GridStore& grid, const DataDirectory& data, const QString& fileName,
                                MessageService& messages) {
    const QString path = data.filePath(fileName);
    if (!QFileInfo::exists(path))
        return GridFileLoad::Missing;
    if (grid.loadFromFile(path))
        return GridFileLoad::Loaded;
    const QString reason = grid.errorString();
    const QString aside = setFileAside(path);
    if (aside.isEmpty())
        return GridFileLoad::Unreadable;
    messages.show(Message{QStringLiteral("文件“%1”无法读取（%2），已改名为“%3”保留，程序用新的文件继续。")
                              .arg(fileName, reason, QFileInfo(aside).fileName()),
                          MessageButtons::Ok, MessageIcon::Warning});
    return GridFileLoad::SetAside;
}

} // namespace cuemora
