#pragma once

#include "tables/table_register.h"

#include <QDate>
#include <QString>

namespace cuemora {

// The register's cells as the operator reads them at a glance. The cells keep their own texts;
// these are only what the views draw over them.

// "使用时长" as hours, minutes and seconds: "6017" gives "1:40:17", "1000000000" gives
// "277777:46:40". A text that is not plain decimal digits is given back as it is, so that a cell
// that holds something else shows what it holds rather than a made-up time.
QString clockText(const QString& seconds);

// "开始时间" cut to the time of day: "2026年12月10日18时45分40秒" gives "18:45:40" on that day and
// "12月10日 18:45:40" on any other (a table that stayed open past midnight). A text that names no
// moment is given back as it is.
QString timeOfDayText(const QString& start, const QDate& today);

// What table n would owe if it were checked out now: the checkout's own total ("共付："), shown
// to the cent; the empty text for a table that is not in use or does not exist. Amounts too large
// for cents keep the checkout's 13 digits.
QString owedNowText(const TableRegister& tables, int n);

} // namespace cuemora
