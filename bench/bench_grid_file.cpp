// Saves and loads a day's takings grid of 10,000 rows and prints how long that takes against
// writing and reading the same bytes raw, measured in the same run (medians of several rounds),
// since absolute times on a shared machine move from run to run.

#include "common/cp936.h"
#include "store/grid_store.h"

#include "median.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace cuemora;

namespace {

constexpr int kRows = 10000;
constexpr int kRounds = 15; // the rounds medianMs takes by default

void takingsGrid(GridStore& grid) {
    grid.setColumnCount(3);
    grid.setCell(0, 0, QStringLiteral("台名称或商品"));
    grid.setCell(0, 1, QStringLiteral("时长(小时)"));
    grid.setCell(0, 2, QStringLiteral("金额"));
    grid.setRowCount(kRows + 1);
    for (int r = 1; r <= kRows; ++r) {
        grid.setCell(r, 0, QStringLiteral("%1号大厅桌球台").arg(r % 40 + 1));
        grid.setCell(r, 1, QString::number(0.25 * (r % 17 + 1)));
        grid.setCell(r, 2, QString::number(12.5 * (r % 23 + 1)));
    }
}

void report(const char* what, double ms, double baselineMs, const char* baseline) {
    std::printf("%-34s %8.3f ms   %-22s %8.3f ms   ratio %6.1f\n", what, ms, baseline, baselineMs, ms / baselineMs);
}

} // namespace

int main() {
    QTemporaryDir dir;
    const QString gridPath = dir.filePath(QStringLiteral("2013年5月20日收入统计"));
    const QString rawPath = dir.filePath(QStringLiteral("raw"));

    GridStore grid;
    takingsGrid(grid);
    if (!grid.saveToFile(gridPath))
        return 1;
    const QByteArray bytes = grid.toBytes();
    std::printf("takings grid: %d rows, 3 columns, %lld bytes; median of %d rounds\n\n", kRows + 1,
                static_cast<long long>(bytes.size()), kRounds);

    const double rawWrite = medianMs([&] {
        QFile file(rawPath);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(bytes);
    });
    const double rawSafeWrite = medianMs([&] {
        QSaveFile file(rawPath);
        file.setDirectWriteFallback(false);
        if (file.open(QIODevice::WriteOnly)) {
            file.write(bytes);
            file.commit();
        }
    });
    const double rawRead = medianMs([&] {
        QFile file(rawPath);
        if (file.open(QIODevice::ReadOnly))
            file.readAll();
    });
    const double encode = medianMs([&] { grid.toBytes(); });
    const double save = medianMs([&] { grid.saveToFile(gridPath); });
    GridStore loaded;
    const double decode = medianMs([&] { loaded.loadFromBytes(bytes); });
    const double load = medianMs([&] { loaded.loadFromFile(gridPath); });
    // What every checkout does with the day's file: load it, put the new row under the header,
    // save it.
    const double checkout = medianMs([&] {
        GridStore day;
        day.loadFromFile(gridPath);
        day.insertRow(QStringLiteral("1号大厅"), 1);
        day.deleteRow(1);
        day.saveToFile(gridPath);
    });

    report("saveToFile (QSaveFile, rename)", save, rawWrite, "raw QFile write");
    report("saveToFile (QSaveFile, rename)", save, rawSafeWrite, "raw QSaveFile write");
    report("  of which toBytes", encode, rawWrite, "raw QFile write");
    report("loadFromFile", load, rawRead, "raw QFile read");
    report("  of which loadFromBytes", decode, rawRead, "raw QFile read");
    report("load + insert row 1 + save", checkout, rawRead + rawSafeWrite, "raw read + safe write");

    // The register's clock: 1,000 cells rewritten every second.
    GridStore::Definition definition;
    definition.rows = 1001;
    definition.columns = 11;
    GridStore register_(definition);
    int second = 0;
    const double tick = medianMs([&] {
        ++second;
        const QString text = QString::number(second);
        for (int r = 1; r <= 1000; ++r)
            register_.setCell(r, 6, text);
    });
    std::printf("\nclock tick: 1,000 setCell calls   %8.3f ms (%.2f us each)\n", tick, tick * 1000 / 1000);
    return 0;
}
