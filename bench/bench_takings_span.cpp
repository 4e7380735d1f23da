// Sums a year of takings, 365 day files of 1,000 rows each, and prints how long that takes against
// reading the same files raw in the same run (medians of several rounds, wall and processor
// time), since absolute times on a shared machine move from run to run. Also the close of one
// such day against reading its file raw.

#include "common/data_directory.h"
#include "common/text_rules.h"
#include "store/grid_store.h"
#include "takings/day_close.h"
#include "takings/takings_book.h"
#include "takings/takings_span.h"

#include "busy_day.h"
#include "median.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

using namespace cuemora;

namespace {

constexpr int kDays = 365;
constexpr int kRowsPerDay = 1000;
constexpr int kRounds = 7;

// A busy day as the desk writes it.
void writeDay(const DataDirectory& data, const QDate& day, int seed) {
    benchdays::writeBusyDay(data, day, seed, kRowsPerDay);
}

void report(const char* what, const MedianTimes& t, const char* baseline, const MedianTimes& b) {
    std::printf("%-36s %8.2f ms wall %8.2f ms cpu   %-26s %7.2f ms wall %7.2f ms cpu   ratio %5.1f wall %5.1f cpu\n",
                what, t.wallMs, t.cpuMs, baseline, b.wallMs, b.cpuMs, t.wallMs / b.wallMs, t.cpuMs / b.cpuMs);
}

} // namespace

int main() {
    QTemporaryDir dir;
    const DataDirectory data(dir.path());
    const QDate from(2013, 1, 1);
    const QDate to = from.addDays(kDays - 1);
    for (int d = 0; d < kDays; ++d)
        writeDay(data, from.addDays(d), d);
    qint64 bytes = 0;
    for (int d = 0; d < kDays; ++d)
        bytes += QFile(data.filePath(TakingsBook::fileNameFor(dayText(from.addDays(d))))).size();
    std::printf("%d day files of %d rows, %lld bytes in all; medians of %d rounds\n\n", kDays, kRowsPerDay,
                static_cast<long long>(bytes), kRounds);

    auto readRaw = [&](const QDate& first, int count) {
        for (int d = 0; d < count; ++d) {
            QFile file(data.filePath(TakingsBook::fileNameFor(dayText(first.addDays(d)))));
            if (file.open(QIODevice::ReadOnly))
                file.readAll();
        }
    };
    const MedianTimes raw = medianTimes([&] { readRaw(from, kDays); }, kRounds);
    double total = 0.0;
    const MedianTimes span = medianTimes([&] { total = SumTakingsSpan(data, from, to).total; }, kRounds);
    GridStore grid;
    const MedianTimes load = medianTimes(
        [&] {
            for (int d = 0; d < kDays; ++d)
                grid.loadFromFile(data.filePath(TakingsBook::fileNameFor(dayText(from.addDays(d)))));
        },
        kRounds);
    const MedianTimes rawDay = medianTimes([&] { readRaw(from, 1); }, kRounds);
    const MedianTimes close = medianTimes([&] { CloseDay(data, dayText(from)); }, kRounds);

    report("SumTakingsSpan, 365 days", span, "raw read of the 365 files", raw);
    report("  of which loading the grids", load, "raw read of the 365 files", raw);
    report("CloseDay, one day of 1,000 rows", close, "raw read of its file", rawDay);
    std::printf("\nthe year's takings: %s\n", realToText(total).toUtf8().constData());
    return 0;
}
