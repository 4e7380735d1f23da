#pragma once

#include "common/messages.h"
#include "tables/table_lists.h"
#include "tables/table_register.h"

namespace cuemora {

struct ChangeOutcome {
    bool moved = false;
    bool clearLists = false; // both lists of the group are to be emptied
};

// "换台": moves the guests of the table `from` (picked from the tables in use) to the free table
// `to`, with their start time, seconds and goods; -1 means nothing was picked. Both tables are
// looked at again at the click, since the lists are snapshots: a stale pick is refused, so that
// no running table's time or goods are overwritten.
ChangeOutcome ChangeTable(TableRegister& tables, TableType type, int from, int to, MessageService& messages);

} // namespace cuemora
