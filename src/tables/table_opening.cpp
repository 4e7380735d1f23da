#include "tables/table_opening.h"

#include "common/text_rules.h"

#include <charconv>
#include <limits>

namespace cuemora {

void StartTable(TableRegister& tables, int r, StatusPicture picture, const Clock& clock) {
    GridStore& grid = tables.grid();
    grid.setCell(r, RegisterColumn::Start, dateTimeToText(clock.now()));
    grid.setChecked(r, RegisterColumn::InUse, true);
    grid.setCell(r, RegisterColumn::Seconds, QStringLiteral("1"));
    tables.showPicture(r, picture);
}

OpenOutcome OpenFreeTable(TableRegister& tables, TableType type, int chosen, const Clock& clock,
                          MessageService& messages) {
    if (type == TableType::None) {
        messages.inform(QStringLiteral("请选择类型"));
        return {};
    }
    if (chosen < 0) {
        messages.inform(QStringLiteral("请选择空闲的台"));
        return {};
    }
    // The list is a snapshot of the moment it dropped down.
    if (!tables.isTable(chosen)) {
        messages.inform(QStringLiteral("这张台已经不在台的列表里了，请重新选择空闲的台"));
        return {false, true, false};
    }
    if (tables.isInUse(chosen)) {
        messages.inform(QStringLiteral("“%1”已经开台了，请重新选择空闲的台").arg(tables.name(chosen)));
        return {false, true, false};
    }
    StartTable(tables, chosen, type == TableType::Billiard ? StatusPicture::BilliardInUse : StatusPicture::MahjongInUse,
               clock);
    return {true, true, false};
}

int typedTableNumber(const TableRegister& tables, const QString& typed) {
    const qint64 n = truncateToWhole(textToNumber(typed));
    return tables.isTable(n) ? static_cast<int>(n) : 0;
}

QString noSuchTableMessage(const QString& typed) {
    return QStringLiteral("没有序号为“%1”的台，请输入台的序号").arg(typed.left(40));
}

OpenOutcome OpenTableByNumber(TableRegister& tables, const QString& typed, const Clock& clock,
                              MessageService& messages) {
    if (typed.isEmpty()) {
        messages.inform(QStringLiteral("请输入序号"));
        return {};
    }
    const int n = typedTableNumber(tables, typed);
    if (n == 0) {
        messages.inform(noSuchTableMessage(typed));
        return {};
    }
    if (tables.isInUse(n)) {
        const bool again = messages.ask(
            QStringLiteral("第%1台（%2）正在使用中。\r\n重新开台会从头计时，已用的时间就没有了。是否重新开台？")
                .arg(n)
                .arg(tables.name(n)),
            MessageIcon::Question, MessageButton::No);
        if (!again)
            return {};
    }
    StartTable(tables, n, statusPictureFor(tables.type(n), true), clock);
    return {true, false, true};
}

void ClockTick(TableRegister& tables, qint64 seconds) {
    if (seconds <= 0)
        return;
    GridStore& grid = tables.grid();
    // Every table's new count is one change to the views, over the rows whose count moved.
    const GridStore::Batch batch(grid);
    const int rows = grid.rowCount();
    char text[24];
    for (int i = 1; i < rows; ++i) {
        if (!grid.isChecked(i, RegisterColumn::InUse))
            continue;
        const qint64 used = truncateToWhole(textToNumber(grid.cellBytes(i, RegisterColumn::Seconds)));
        const qint64 counted =
            used > std::numeric_limits<qint64>::max() - seconds ? std::numeric_limits<qint64>::max() : used + seconds;
        if (counted != used) {
            const auto written = std::to_chars(text, text + sizeof text, counted);
            grid.setCellBytes(i, RegisterColumn::Seconds, QByteArrayView(text, written.ptr - text));
        }
    }
}

} // namespace cuemora
