#include "room/daily_backup.h"

#include "accounts/account_book.h"
#include "common/safe_save.h"
#include "common/text_rules.h"
#include "goods/goods_stock.h"
#include "tables/table_register.h"
#include "takings/takings_book.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace cuemora {

namespace {

QString dayFolderName(const QDate& day) {
    return day.toString(QStringLiteral("yyyy-MM-dd"));
}

// Only a folder named by a real day is one of ours: anything else the operator keeps there stays.
bool isDayFolder(const QString& name) {
    static const QRegularExpression shape(QStringLiteral("^[0-9]{4}-[0-9]{2}-[0-9]{2}$"));
    return shape.match(name).hasMatch() && QDate::fromString(name, QStringLiteral("yyyy-MM-dd")).isValid();
}

} // namespace

DailyBackup::DailyBackup(const DataDirectory& data, const Clock& clock)
    : m_data(data)
    , m_clock(clock) {}

QString DailyBackup::folderName() {
    return QStringLiteral("备份");
}

QStringList DailyBackup::fileNames(const QDate& today) {
    return {TableRegister::fileName(), GoodsStock::fileName(), AccountBook::fileName(),
            TakingsBook::fileNameFor(dayText(today.addDays(-1))), TakingsBook::fileNameFor(dayText(today))};
}

QString DailyBackup::todayFolder() const {
    return folderName() + QLatin1Char('/') + dayFolderName(m_clock.now().date());
}

bool DailyBackup::hasToday() const {
    return QFileInfo(m_data.filePath(todayFolder())).isDir();
}

bool DailyBackup::backUp(QString* error) {
    const QDate today = m_clock.now().date();
    const QString folder = m_data.filePath(todayFolder());
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("无法建立文件夹“%1”").arg(todayFolder());
        return false;
    }
    QStringList failures;
    for (const QString& name : fileNames(today)) {
        QFile source(m_data.filePath(name));
        if (!source.exists())
            continue;
        if (!source.open(QIODevice::ReadOnly)) {
            failures.append(QStringLiteral("“%1”无法读取：%2").arg(name, source.errorString()));
            continue;
        }
        const QByteArray bytes = source.readAll();
        QString why;
        if (!saveWholeFile(folder + QLatin1Char('/') + name, bytes, &why, m_data.writer()))
            failures.append(QStringLiteral("“%1”：%2").arg(name, why));
    }
    removeOldest();
    if (!failures.isEmpty() && error)
        *error = failures.join(QLatin1Char('\n'));
    return failures.isEmpty();
}

void DailyBackup::removeOldest() const {
    QDir root(m_data.filePath(folderName()));
    QStringList days;
    for (const QString& name : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        if (isDayFolder(name))
            days.append(name);
    }
    // Named year-month-day, they sort by name as they do by day.
    for (qsizetype i = 0; i + kDaysKept < days.size(); ++i)
        QDir(root.filePath(days[i])).removeRecursively();
}

} // namespace cuemora
