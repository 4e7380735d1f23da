#pragma once

#include "common/clock.h"
#include "common/data_directory.h"
#include "common/messages.h"
#include "store/grid_store.h"

#include <QList>
#include <QString>

namespace cuemora {

// One payment taken at the desk: a table's checkout (3号台收费 | hours | amount) or one line of a
// cash sale (goods name | quantity | line amount).
struct TakingsRow {
    QString name;
    QString detail;
    QString charge;
};

// The takings of a day: the grid of the statistics window, the one working copy through which every
// takings row passes, and the file of each day, named by the day text and "收入统计", newest row
// first.
class TakingsBook {
public:
    TakingsBook(const DataDirectory& data, const Clock& clock);

    GridStore& grid() { return m_grid; }
    const GridStore& grid() const { return m_grid; }

    // "2013年5月20日" gives "2013年5月20日收入统计".
    static QString fileNameFor(const QString& day);

    // The captions "名称", "明细表", "收费" in row 0.
    void WriteTakingsHeader();

    // Adds the rows to today's file, each directly under the header, so the last one given ends on
    // top. A file of today that cannot be read is never written over: it is put aside under a new
    // name and today starts a new file. Rows that could not be saved are shown to the operator with
    // their texts. True when the rows are on disk.
    bool AddTakingsRows(const QList<TakingsRow>& rows, MessageService& messages);

    // "统计": loads the day that the query text names, exactly as typed, and appends the row
    // "总收入" with the whole-number total of the details and the total of the charges. A day
    // without a file shows the header and a total of 0; so does a file that cannot be read, and
    // the operator is told why.
    void ShowDayTotals(const QString& query, MessageService& messages);

private:
    void startEmptyDay();

    GridStore m_grid;
    const DataDirectory& m_data;
    const Clock& m_clock;
};

} // namespace cuemora
