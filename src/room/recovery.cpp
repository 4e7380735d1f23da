#include "room/recovery.h"

#include "common/text_rules.h"

#include <QStringList>

namespace cuemora {

namespace {

// A message box has to fit the screen: past this many tables the rest are counted, not named.
constexpr int kNamedTables = 20;

QString durationText(qint64 seconds) {
    const qint64 hours = seconds / 3600;
    const qint64 minutes = seconds % 3600 / 60;
    if (hours > 0)
        return QStringLiteral("%1小时%2分").arg(hours).arg(minutes);
    if (minutes > 0)
        return QStringLiteral("%1分%2秒").arg(minutes).arg(seconds % 60);
    return QStringLiteral("%1秒").arg(seconds);
}

QString shown(const QString& text) {
    return text.size() > 40 ? text.left(40) + QStringLiteral("…") : text;
}

} // namespace

QList<RecoveredTable> RecoverTablesInUse(TableRegister& tables, const QDateTime& now) {
    QList<RecoveredTable> recovered;
    GridStore& grid = tables.grid();
    for (int n = 1; n <= tables.tableCount(); ++n) {
        if (!tables.isInUse(n))
            continue;
        RecoveredTable table;
        table.number = n;
        table.name = tables.name(n);
        table.start = grid.cellText(n, RegisterColumn::Start);
        const qint64 saved = truncateToWhole(grid.cellNumber(n, RegisterColumn::Seconds));
        const QDateTime start = dateTimeFromText(table.start);
        if (!start.isValid()) {
            table.how = RecoveredTable::Start::Unreadable;
            table.seconds = saved;
        } else if (start > now) {
            table.how = RecoveredTable::Start::InFuture;
            table.seconds = saved;
        } else {
            table.seconds = std::max(saved, start.secsTo(now));
        }
        if (table.seconds != saved)
            grid.setCell(n, RegisterColumn::Seconds, integerToText(table.seconds));
        recovered.append(table);
    }
    return recovered;
}

// Texts from the file go in by one arg() call per line, so a "%1" in a table's name stays as it is.
QString recoveryMessage(const QList<RecoveredTable>& tables) {
    QStringList lines;
    lines.append(QStringLiteral("上次程序没有正常结束（停电或出错），这%1张台还在使用中，已经接着计时，请核对：")
                     .arg(tables.size()));
    for (qsizetype k = 0; k < tables.size() && k < kNamedTables; ++k) {
        const RecoveredTable& t = tables[k];
        QString line = QStringLiteral("第%1台 %2：").arg(QString::number(t.number), shown(t.name));
        switch (t.how) {
        case RecoveredTable::Start::Read:
            line += QStringLiteral("%1开台，已用%2（%3秒）")
                        .arg(t.start, durationText(t.seconds), QString::number(t.seconds));
            break;
        case RecoveredTable::Start::Unreadable:
            line += QStringLiteral("开始时间“%1”读不出，按保存的%2秒接着计时")
                        .arg(shown(t.start), QString::number(t.seconds));
            break;
        case RecoveredTable::Start::InFuture:
            line +=
                QStringLiteral("开始时间%1在现在之后，按保存的%2秒接着计时").arg(t.start, QString::number(t.seconds));
            break;
        }
        lines.append(line);
    }
    if (tables.size() > kNamedTables)
        lines.append(QStringLiteral("……还有%1张台，见下面的表格。").arg(tables.size() - kNamedTables));
    return lines.join(QStringLiteral("\n"));
}

} // namespace cuemora
