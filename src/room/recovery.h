#pragma once

#include "tables/table_register.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace cuemora {

// A table that came back in use from the register file at start.
struct RecoveredTable {
    enum class Start {
        Read,       // the start time was read: the seconds run from it
        Unreadable, // no start time can be read from column "开始时间": the saved count stays
        InFuture,   // the start time lies after now: the saved count stays
    };
    int number = 0;
    QString name;
    QString start; // the text of "开始时间"
    qint64 seconds = 0;
    Start how = Start::Read;
};

// The register comes back with tables in use only when the program ended without their checkout
// (the exit guard refuses otherwise): a power cut or a crash, while the guests played on. Each such
// table's "使用时长" becomes the larger of the saved count and the whole seconds from its start time
// to now, since the saved count is only that of its last change. Returns the tables, in register
// order.
QList<RecoveredTable> RecoverTablesInUse(TableRegister& tables, const QDateTime& now);

// The one message that names every table that came back and its time, for the operator to check.
QString recoveryMessage(const QList<RecoveredTable>& tables);

} // namespace cuemora
