#pragma once

#include "common/data_directory.h"
#include "store/grid_store.h"

#include <QByteArray>
#include <QString>

namespace cuemora {

// How the takings file of one day was found.
enum class DayFileState {
    Missing,    // the day has no file: no takings were recorded, every figure is 0
    Read,       // the grid holds the file
    Unreadable, // the file is there but could not be read: its figures count as 0, and it is named
};

struct DayFileRead {
    DayFileState state = DayFileState::Missing;
    QString fileName; // "2013年5月20日收入统计"
    QString reason;   // why an unreadable file could not be read, in the operator's words
};

// Reads the takings file that a day text names ("2013年5月20日" names "2013年5月20日收入统计") into
// the grid, for looking only: nothing is written, renamed or set aside, since a report must never
// change the files it reports on. A text that holds a path names no day of this directory.
DayFileRead readTakingsDay(const DataDirectory& data, const QString& day, GridStore& grid);

// A checkout's row is named by its table number and "号台收费" (3号台收费); every other row is a
// line of goods.
bool isTimeTakingsName(const QByteArray& cp936Name);
bool isTimeTakingsName(const QString& name);

// The sums of one day's rows. Each figure adds its rows in the order they stand in the file, from
// row 1 down, as "统计" adds them, so `total` is the very number "统计" shows for the day; `time`
// and `goods` add the same rows split by kind.
struct DaySums {
    double time = 0.0;  // the charges of the checkout rows
    double goods = 0.0; // the charges of the goods rows
    double total = 0.0; // the charges of every row
    double hours = 0.0; // the details of the checkout rows: hours with their fraction
    int checkouts = 0;  // rows of "号台收费"
    int goodsLines = 0; // the other rows, but for rows with no text at all
};

DaySums sumTakingsDay(const GridStore& grid);

} // namespace cuemora
