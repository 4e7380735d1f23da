// Saves and loads a day's takings grid of 10,000 rows and prints how long that takes against
// reading and writing the same bytes raw, measured in the same run (medians of several rounds,
// wall and processor time), since absolute times on a shared machine move from run to run. The
// raw writes are named with and without the flush to the disk that a safe save waits for.
//
// `bench_grid_file --once WHAT` runs one piece of work once inside measuredWork(), for
// bench/callgrind_counts.sh to count its instructions: figures that do not move with the
// machine's load.

#include "common/text_rules.h"
#include "store/grid_store.h"
#include "tables/table_opening.h"
#include "tables/table_register.h"

#include "median.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <unistd.h>

using namespace cuemora;

namespace {

constexpr int kRows = 10000;
constexpr int kRounds = 15;

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

QByteArray rawRead(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The least a replacing write can do: the bytes into a new file, renamed over the old one; with
// `flush`, also each waited for on the disk (the file's bytes, then the directory's entry), as a
// save that survives a power cut must.
void rawReplace(const QString& path, const QByteArray& bytes, bool flush) {
    const QByteArray target = QFile::encodeName(path);
    const QByteArray temporary = target + ".new";
    const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    const bool written = ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    if (flush)
        ::fsync(fd);
    ::close(fd);
    if (!written || ::rename(temporary.constData(), target.constData()) != 0)
        return;
    if (flush) {
        const QByteArray directory = target.left(target.lastIndexOf('/'));
        const int dir = ::open(directory.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
    }
}

// What every checkout does with the day's file: load it, put the new row under the header, save
// it. The row is taken out again, so that every round starts from the same file.
void checkout(const QString& path) {
    GridStore day;
    day.loadFromFile(path);
    day.insertRow(QStringLiteral("1号大厅"), 1);
    day.deleteRow(1);
    day.saveToFile(path);
}

// The register with every one of 1,000 tables in use, as the clock finds it (a new register
// already has its look and header).
void busyRegister(TableRegister& tables) {
    GridStore& grid = tables.grid();
    grid.setRowCount(1001);
    for (int n = 1; n <= 1000; ++n) {
        grid.setChecked(n, RegisterColumn::InUse, true);
        grid.setCell(n, RegisterColumn::Seconds, QString::number(3600 + n));
    }
}

void report(const char* what, const MedianTimes& t, const char* baseline, const MedianTimes& b) {
    std::printf("%-36s %8.3f ms wall %8.3f ms CPU | %-36s %8.3f ms wall %8.3f ms CPU | ratio %6.1f wall %6.1f CPU\n",
                what, t.wallMs, t.cpuMs, baseline, b.wallMs, b.cpuMs, t.wallMs / b.wallMs, t.cpuMs / b.cpuMs);
}

MedianTimes sum(const MedianTimes& a, const MedianTimes& b) {
    return {a.wallMs + b.wallMs, a.cpuMs + b.cpuMs};
}

} // namespace

// The work that callgrind counts (by its name, so not inlined).
extern "C" __attribute__((noinline)) void measuredWork(const std::function<void()>& work) {
    work();
}

int main(int argc, char** argv) {
    QTemporaryDir dir;
    const QString gridPath = dir.filePath(QStringLiteral("2013年5月20日收入统计"));
    const QString rawPath = dir.filePath(QStringLiteral("raw"));

    GridStore grid;
    takingsGrid(grid);
    if (!grid.saveToFile(gridPath))
        return 1;
    const QByteArray bytes = grid.toBytes();
    rawReplace(rawPath, bytes, false);

    if (argc == 3 && std::strcmp(argv[1], "--once") == 0) {
        const QByteArray what = argv[2];
        GridStore loaded;
        if (what == "raw-read")
            measuredWork([&] { rawRead(gridPath); });
        else if (what == "load")
            measuredWork([&] { loaded.loadFromFile(gridPath); });
        else if (what == "raw-checkout")
            measuredWork([&] { rawReplace(rawPath, rawRead(gridPath), true); });
        else if (what == "checkout")
            measuredWork([&] { checkout(gridPath); });
        else
            return 2;
        return 0;
    }

    std::printf("takings grid: %d rows, 3 columns, %lld bytes; medians of %d rounds\n\n", kRows + 1,
                static_cast<long long>(bytes.size()), kRounds);
    const MedianTimes read = medianTimes([&] { rawRead(rawPath); }, kRounds);
    const MedianTimes write = medianTimes([&] { rawReplace(rawPath, bytes, false); }, kRounds);
    const MedianTimes flushedWrite = medianTimes([&] { rawReplace(rawPath, bytes, true); }, kRounds);
    const MedianTimes encode = medianTimes([&] { grid.toBytes(); }, kRounds);
    const MedianTimes save = medianTimes([&] { grid.saveToFile(gridPath); }, kRounds);
    GridStore loaded;
    const MedianTimes decode = medianTimes([&] { loaded.loadFromBytes(bytes); }, kRounds);
    const MedianTimes load = medianTimes([&] { loaded.loadFromFile(gridPath); }, kRounds);
    const MedianTimes saveAndLoad = medianTimes(
        [&] {
            loaded.saveToFile(gridPath);
            loaded.loadFromFile(gridPath);
        },
        kRounds);
    const MedianTimes oneRow = medianTimes([&] { checkout(gridPath); }, kRounds);

    report("loadFromFile", load, "raw read", read);
    report("  of which loadFromBytes", decode, "raw read", read);
    report("saveToFile", save, "raw write + rename, flushed", flushedWrite);
    report("saveToFile", save, "raw write + rename, not flushed", write);
    report("  of which toBytes", encode, "raw write + rename, not flushed", write);
    report("save + load", saveAndLoad, "raw flushed write + read", sum(flushedWrite, read));
    report("load + insert row 1 + save", oneRow, "raw read + flushed write", sum(read, flushedWrite));

    // The register's clock: every table in use counts one more second.
    TableRegister tables;
    busyRegister(tables);
    const MedianTimes tick = medianTimes([&] { ClockTick(tables, 1); }, kRounds);
    std::printf("\nclock tick, 1,000 tables in use (no view): %.3f ms wall %.3f ms CPU\n", tick.wallMs, tick.cpuMs);
    return 0;
}
