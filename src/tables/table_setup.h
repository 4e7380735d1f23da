#pragma once

#include "common/data_directory.h"
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

// Appends the tables of one batch to the register and renumbers it: n rows of the chosen type,
// named "1号" + name, "2号" + name, ... Checks the fields in order and shows the first failure.
// Returns the number of tables added.
int AddTables(TableRegister& tables, const AddTablesInput& input, MessageService& messages);

// The button "添加": AddTables, then the picture refresh and the save of the register file, every
// time. A save that fails is reported: the tables stay on screen but are not yet on disk.
int AddTablesAndSave(TableRegister& tables, const AddTablesInput& input, const DataDirectory& data,
                     MessageService& messages);

// At start-up: reads the register file. A missing file leaves the register as it is; a file that
// cannot be read is put aside under a new name and the operator is told, so that the next "添加"
// does not write over the tables it may still hold.
void LoadRegisterAtStart(TableRegister& tables, const DataDirectory& data, MessageService& messages);

// The button "重设": empties the register on screen. The file keeps the tables of the last save.
void ResetRegister(TableRegister& tables);

} // namespace cuemora
