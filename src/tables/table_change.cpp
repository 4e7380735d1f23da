#include "tables/table_change.h"

namespace cuemora {

namespace {

// The columns that travel with the guests; price and rate stay with their table.
constexpr int kMovingColumns[] = {RegisterColumn::Start, RegisterColumn::Seconds, RegisterColumn::GoodsNames,
                                  RegisterColumn::GoodsTotal};

QString staleReason(const TableRegister& tables, int from, int to) {
    if (!tables.isTable(from) || !tables.isTable(to))
        return QStringLiteral("选择的台已经不在台的列表里了");
    if (from == to)
        return QStringLiteral("现在用的台和要换的台是同一张台“%1”").arg(tables.name(from));
    if (!tables.isInUse(from))
        return QStringLiteral("“%1”已经结账，没有在使用").arg(tables.name(from));
    if (tables.isInUse(to))
        return QStringLiteral("“%1”已经有人在使用").arg(tables.name(to));
    return {};
}

} // namespace

ChangeOutcome ChangeTable(TableRegister& tables, TableType type, int from, int to, MessageService& messages) {
    if (type == TableType::None) {
        messages.inform(QStringLiteral("请选择类型"));
        return {};
    }
    if (from < 0) {
        messages.inform(QStringLiteral("请选择现在用的台号"));
        return {};
    }
    if (to < 0) {
        messages.inform(QStringLiteral("请选择现在要换的台号"));
        return {};
    }
    const QString reason = staleReason(tables, from, to);
    if (!reason.isEmpty()) {
        messages.inform(reason + QStringLiteral("，没有换台。请重新选择。"));
        return {false, true};
    }
    GridStore& grid = tables.grid();
    for (int c : kMovingColumns)
        grid.setCell(to, c, CellKind::Text, grid.cell(from, c) ? grid.cell(from, c)->text : QByteArray());
    grid.setChecked(to, RegisterColumn::InUse, true);
    for (int c : kMovingColumns)
        grid.setCell(from, c, QString());
    grid.setChecked(from, RegisterColumn::InUse, false);
    tables.RefreshPictures();
    return {true, true};
}

} // namespace cuemora
