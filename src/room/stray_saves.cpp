#include "room/stray_saves.h"

#include "accounts/account_book.h"
#include "goods/goods_stock.h"
#include "tables/table_register.h"
#include "takings/takings_book.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace cuemora {

bool isDataFileName(const QString& name) {
    if (name == TableRegister::fileName() || name == GoodsStock::fileName() || name == AccountBook::fileName())
        return true;
    static const QRegularExpression day(QStringLiteral("^[0-9]{1,4}年[0-9]{1,2}月[0-9]{1,2}日$"));
    const QString suffix = TakingsBook::fileNameFor(QString());
    return name.endsWith(suffix) && day.match(name.chopped(suffix.size())).hasMatch();
}

QStringList removeStraySaves(const DataDirectory& data) {
    static const QRegularExpression temporary(QStringLiteral("^(.+)\\.[A-Za-z]{6}$"));
    // The probe of the start-up's check that the directory can be written, if that was cut short.
    static const QRegularExpression probe(QStringLiteral("^\\.cuemora-write-[A-Za-z]{6}$"));
    const QDir directory(data.prefix());
    QStringList removed;
    for (const QString& name : directory.entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks)) {
        const QRegularExpressionMatch match = temporary.match(name);
        const bool stray = probe.match(name).hasMatch() || (match.hasMatch() && isDataFileName(match.captured(1)) &&
                                                            QFileInfo(directory.filePath(match.captured(1))).isFile());
        if (stray && QFileInfo(directory.filePath(name)).isFile() && QFile::remove(directory.filePath(name)))
            removed.append(name);
    }
    return removed;
}

} // namespace cuemora
