#pragma once

#include "common/clock.h"
#include "common/messages.h"
#include "tables/table_lists.h"
#include "tables/table_register.h"

#include <QString>

namespace cuemora {

// What a press of "开    台" or "输号开台" leads to, for the window to carry out.
struct OpenOutcome {
    bool started = false;     // a table was started: the clock must run
    bool clearList = false;   // the list of free tables is to be emptied
    bool clearNumber = false; // the number box is to be emptied
};

// Starts the use of the table in row r: start time now, box ticked, one second used, the in-use
// picture given. The caller makes sure the clock runs.
void StartTable(TableRegister& tables, int r, StatusPicture picture, const Clock& clock);

// "开    台": opens the table picked from the list of free tables (chosen = its number, or -1 when
// nothing is picked). The picture follows the chosen radio button. A table that was opened since
// the list dropped down is refused, so its guests keep their time.
OpenOutcome OpenFreeTable(TableRegister& tables, TableType type, int chosen, const Clock& clock,
                          MessageService& messages);

// "输号开台": opens the table whose number is typed. A number that names no table is refused; a
// table in use is started afresh only when the operator says so, since that wipes its time.
OpenOutcome OpenTableByNumber(TableRegister& tables, const QString& typed, const Clock& clock,
                              MessageService& messages);

// The clock counts `seconds` more: every table in use gets them added to its "使用时长".
void ClockTick(TableRegister& tables, qint64 seconds = 1);

// The message for a typed number that names no table.
QString noSuchTableMessage(const QString& typed);

// The table number a typed text stands for (its leading number, truncated toward zero), or 0
// when it names no table of the register.
int typedTableNumber(const TableRegister& tables, const QString& typed);

} // namespace cuemora
