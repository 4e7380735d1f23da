#include "tables/table_lists.h"

namespace cuemora {

QString typeText(TableType type) {
    switch (type) {
    case TableType::Billiard:
        return billiardType();
    case TableType::Mahjong:
        return mahjongType();
    case TableType::None:
        break;
    }
    return {};
}

QList<TableItem> FillTableList(const TableRegister& tables, ListedTables which, TableType type) {
    QList<TableItem> items;
    if (type == TableType::None)
        return items;
    const QString wanted = typeText(type);
    const int rows = tables.grid().rowCount();
    for (int i = 1; i < rows; ++i) {
        const bool inUse = tables.isInUse(i);
        if (inUse != (which == ListedTables::InUse))
            continue;
        if (tables.type(i) == wanted)
            items.append({tables.name(i), i});
    }
    return items;
}

} // namespace cuemora
