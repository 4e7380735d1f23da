#pragma once

#include "common/messages.h"
#include "tables/table_register.h"

#include <QString>

namespace cuemora {

// What the group "设置台数、类型、单价" holds when "添加" is pressed.
struct AddTablesInput {
    QString count; // "台数量："
    QString type;  // the chosen item of "台类型：", empty when none is chosen
    QString name;  // "台名称："
    QString price; // "单价/h："
    QString rate;  // "折  率："
};

// The most tables one press of "添加" adds; a larger count is a typing slip, not a room.
constexpr int kMostTablesPerBatch = 999;

// Why a table's type, name, price or rate (a column of the register) may not hold `text`, or the
// empty text when it may: not empty, only characters the file can hold, and for the price and the
// rate a leading number ("15元" is kept as typed and read as 15; "abc" would charge nothing).
// "添加" and an edit of the register in place keep to the same rule.
QString tableTextRefusal(int column, const QString& text);

// Appends the tables of one batch to the register and renumbers it: n rows of the chosen type,
// named "1号" + name, "2号" + name, ... Checks the fields in order and shows the first failure.
// Returns the number of tables added. (Room::AddTables refreshes the pictures and saves the register
// when tables were added.)
int AddTables(TableRegister& tables, const AddTablesInput& input, MessageService& messages);

} // namespace cuemora
