#pragma once

#include "tables/table_register.h"

#include <QList>
#include <QString>

namespace cuemora {

// Which radio button of a pair ("桌球台", "麻雀台") is chosen.
enum class TableType { None, Billiard, Mahjong };

// The text of a type, or the empty text for none.
QString typeText(TableType type);

// Which tables a list shows.
enum class ListedTables { Free, InUse };

// One item of a list of tables: the table's name, and its number as the item data. Names may
// repeat; the number tells the tables apart.
struct TableItem {
    QString name;
    int number = 0;
    friend bool operator==(const TableItem&, const TableItem&) = default;
};

// The items of a list of tables as it drops down: the free tables or the tables in use of the
// chosen type, in register order; nothing when no type is chosen. Every list of tables in the
// program is built by this one routine.
QList<TableItem> FillTableList(const TableRegister& tables, ListedTables which, TableType type);

} // namespace cuemora
