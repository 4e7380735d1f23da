#include "takings/takings_day.h"

#include "common/cp936.h"
#include "takings/takings_book.h"

#include <QFileInfo>

namespace cuemora {

namespace {

const QByteArray& timeSuffix() {
    static const QByteArray suffix = toCp936(QStringLiteral("号台收费"));
    return suffix;
}

// A row with no text in any of its three cells records no sale (a file of another hand may hold
// one); it adds 0 as "统计" adds it, and is not counted as a line of goods.
bool isEmptyRow(const GridStore& grid, int row) {
    for (int c = 0; c < 3; ++c) {
        const Cell* cell = grid.cell(row, c);
        if (cell && !cell->text.isEmpty())
            return false;
    }
    return true;
}

} // namespace

DayFileRead readTakingsDay(const DataDirectory& data, const QString& day, GridStore& grid) {
    DayFileRead read;
    read.fileName = TakingsBook::fileNameFor(day);
    const bool plainName =
        !day.contains(QLatin1Char('/')) && !day.contains(QLatin1Char('\\')) && !day.contains(QChar(0));
    if (!plainName)
        return read;
    const QString path = data.filePath(read.fileName);
    if (!QFileInfo::exists(path))
        return read;
    if (grid.loadFromFile(path)) {
        read.state = DayFileState::Read;
    } else {
        read.state = DayFileState::Unreadable;
        read.reason = grid.errorString();
    }
    return read;
}

bool isTimeTakingsName(const QByteArray& cp936Name) {
    return cp936Name.endsWith(timeSuffix());
}

bool isTimeTakingsName(const QString& name) {
    return name.endsWith(QStringLiteral("号台收费"));
}

DaySums sumTakingsDay(const GridStore& grid) {
    DaySums sums;
    const int rows = grid.rowCount();
    for (int r = 1; r < rows; ++r) {
        const Cell* name = grid.cell(r, 0);
        const double charge = grid.cellNumber(r, 2);
        sums.total += charge;
        if (name && isTimeTakingsName(name->text)) {
            sums.time += charge;
            sums.hours += grid.cellNumber(r, 1);
            ++sums.checkouts;
        } else {
            sums.goods += charge;
            if (!isEmptyRow(grid, r))
                ++sums.goodsLines;
        }
    }
    return sums;
}

} // namespace cuemora
