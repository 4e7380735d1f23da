#pragma once

#include "store/grid_store.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace cuemora {

// Tables of texts as CSV (RFC 4180): fields separated by commas, a field that holds a comma, a
// quote or a line break quoted with its quotes doubled, every record ended by CR LF, in UTF-8.

// The records alone, for scripts and pipes (cuemora-grid prints these).
QByteArray csvRecords(const QList<QStringList>& rows);

// The file "导出" writes, for a spreadsheet: the UTF-8 byte order mark first, so that the Chinese
// opens right, then the records. A text that a spreadsheet would run as a formula (beginning with
// "=", "@", a tab or a carriage return, or with "+" or "-" and not a plain number such as -6.5) is
// written with an apostrophe in front,
// so that a goods name can never run as a formula on the accountant's machine; every other text is
// written exactly as it is.
QByteArray spreadsheetCsv(const QList<QStringList>& rows);

// Every row of a grid, the header included, as the texts it shows (check marks as 真 or 假,
// pictures as nothing): one day's takings as the statistics window shows them.
QList<QStringList> gridRows(const GridStore& grid);

// Writes spreadsheetCsv(rows) to the file at `path`, whole or not at all (a failed write leaves a
// file that was there as it was). Empty on success; otherwise the message for the operator, with
// the system's reason.
QString ExportCsv(const QString& path, const QList<QStringList>& rows);

} // namespace cuemora
