#pragma once

#include "common/data_directory.h"
#include "takings/receipt.h"
#include "takings/takings_day.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace cuemora {

// How many goods the close names as the day's best sellers.
constexpr int kBestSellerCount = 5;

struct BestSeller {
    QString name;
    double quantity = 0.0; // the quantities of its rows, added
    double takings = 0.0;  // the line amounts of its rows, added
};

// The day's close ("日结"): what one day took, time and goods apart.
struct DayClose {
    QString day; // the day text, as queried
    DayFileRead file;
    DaySums sums; // checkouts, hours sold, time, goods and whole takings (the total "统计" shows)
    // At most kBestSellerCount goods, by the quantity sold; of two with the same quantity the one
    // that took more comes first, and of two that took the same, the one first sold that day. Goods
    // whose quantities add up to nothing or less are not best sellers (their takings still count).
    QList<BestSeller> bestSellers;
};

// The close of the day that the day text names, exactly as typed, the way "统计" names it. A day
// without a file closes at 0; so does a file that cannot be read, and the close says why.
DayClose CloseDay(const DataDirectory& data, const QString& day);

// The close as it prints, on a roll or an A4 page: the room's name (empty gives the default), the
// day, the figures, the best sellers, and when it was printed.
Receipt dayCloseReceipt(const DayClose& close, const QString& roomName, const QDateTime& printedAt);

} // namespace cuemora
