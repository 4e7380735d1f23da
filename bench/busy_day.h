#pragma once

// A busy day's takings file as the desk writes it, for the benchmarks that read a year of them.

#include "common/data_directory.h"
#include "common/text_rules.h"
#include "store/grid_store.h"
#include "takings/takings_book.h"

#include <QDate>

namespace benchdays {

// A checkout in every third row, goods in the others; `seed` varies the day.
inline void writeBusyDay(const cuemora::DataDirectory& data, const QDate& day, int seed, int rows) {
    using namespace cuemora;
    static const char* const kGoods[] = {"可乐", "雪碧", "矿泉水", "红茶",   "啤酒",
                                         "花生", "瓜子", "香烟",   "口香糖", "纸巾"};
    GridStore grid(GridStore::Definition::list(3, 100));
    grid.setCell(0, 0, QStringLiteral("名称"));
    grid.setCell(0, 1, QStringLiteral("明细表"));
    grid.setCell(0, 2, QStringLiteral("收费"));
    grid.setRowCount(rows + 1);
    for (int r = 1; r <= rows; ++r) {
        const int k = r + seed;
        if (k % 3 == 0) {
            const double hours = (k % 17 + 1) * 0.2777777777778;
            grid.setCell(r, 0, QStringLiteral("%1号台收费").arg(k % 40 + 1));
            grid.setCell(r, 1, realToText(hours));
            grid.setCell(r, 2, realToText(hours * 20 * 0.8));
        } else {
            grid.setCell(r, 0, QString::fromUtf8(kGoods[k % 10]));
            grid.setCell(r, 1, QStringLiteral("1"));
            grid.setCell(r, 2, realToText(2.5 * (k % 7 + 1)));
        }
    }
    grid.saveToFile(data.filePath(TakingsBook::fileNameFor(dayText(day))));
}

} // namespace benchdays
