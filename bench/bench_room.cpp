// The program at the scale of a large room and a busy day, each figure against a baseline measured
// in the same run (absolute times on a shared machine move from run to run):
//   startup   the room opened and the main window shown with a register of 1,000 tables, against a
//             bare Qt window
//   tick      one clock tick with 1,000 tables in use and the register on screen, against one
//             full redraw of the register view; then through the event loop with the register
//             drawn as the operator reads it (h:mm:ss, the owed column, the tint) and with the
//             board of 1,000 tiles in its place
//   lists     a drop-down list of tables rebuilt over 1,000 tables, against reading their names
//   takings   one takings row added to a day file of 10,000 rows, against reading and writing the
//             file's bytes raw
//   save      opening a table, which saves the register, with 200 and 1,000 tables, against the
//             raw write of the same bytes (and against the opening alone, without its save)
//   memory    peak memory with 1,000 tables and 10,000 goods, against a bare Qt window
// Run with no argument for all of them. Times are medians of several rounds, wall and CPU.

#include "app/grid_view.h"
#include "app/main_window.h"
#include "app/table_list_box.h"
#include "common/safe_save.h"
#include "room/room.h"
#include "support/controls.h"
#include "support/manual_clock.h"
#include "support/register_file.h"
#include "support/scripted_messages.h"

#include "median.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSaveFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using namespace cuemora;

namespace {

constexpr int kTables = 1000;
constexpr int kTakingsRows = 10000;
constexpr int kGoods = 10000;

void report(const char* what, double value, const char* baseline, double baselineValue, const char* unit = "ms") {
    std::printf("%-44s %10.3f %s   %-34s %10.3f %s   ratio %7.2f\n", what, value, unit, baseline, baselineValue, unit,
                value / baselineValue);
    std::fflush(stdout);
}

void reportTiming(const char* what, const Timing& value, const char* baseline, const Timing& base) {
    std::printf("%-44s %8.3f ms (CPU %7.3f)   %-30s %8.3f ms (CPU %7.3f)   ratio %6.2f (CPU %6.2f)\n", what,
                value.wallMs, value.cpuMs, baseline, base.wallMs, base.cpuMs, value.wallMs / base.wallMs,
                value.cpuMs / base.cpuMs);
    std::fflush(stdout);
}

// A register of `count` tables in the directory, every one of them in use when asked.
void writeRegister(const DataDirectory& data, int count, bool inUse) {
    testing::RegisterFile file;
    file.tables = count;
    file.inUse = inUse ? testing::allTables(count) : QList<int>();
    file.start = QStringLiteral("2013年5月20日9时30分5秒");
    file.seconds = [](int n) { return qint64(n) * 7; };
    testing::writeRegisterFile(data, file);
}

void writeGoods(const DataDirectory& data, int count) {
    GoodsStock goods(data);
    ScriptedMessages messages;
    GridStore& grid = goods.grid();
    goods.ReloadGoods(messages);
    grid.setRowCount(count + 1);
    for (int r = 1; r <= count; ++r) {
        grid.setCell(r, 0, QStringLiteral("商品%1").arg(r));
        grid.setCell(r, 1, QString::number(r % 50));
        grid.setCell(r, 2, QString::number(0.5 * (r % 40 + 1)));
        grid.setCell(r, 3, QStringLiteral("C%1").arg(r));
    }
    goods.SaveGoods(messages);
}

// The real room over a data directory of its own, a clock that the bench moves, and message boxes
// that answer by themselves.
struct BenchRoom {
    QTemporaryDir dir;
    DataDirectory data{dir.path()};
    ScriptedMessages messages;
    ManualClock clock;
    std::unique_ptr<Room> room;

    Room& open() {
        room.reset();
        room = std::make_unique<Room>(data, clock, messages);
        room->open();
        return *room;
    }
};

void startup() {
    BenchRoom bench;
    writeRegister(bench.data, kTables, false);
    const double shown = medianMs(
        [&] {
            Room& room = bench.open();
            MainWindow window(room, [] { return true; });
            window.show();
            (void)QTest::qWaitForWindowExposed(&window);
            QApplication::processEvents();
        },
        7);
    const double bare = medianMs(
        [] {
            QWidget window;
            window.resize(810, 534);
            window.show();
            (void)QTest::qWaitForWindowExposed(&window);
            QApplication::processEvents();
        },
        7);
    report("startup: main window, 1,000 tables", shown, "bare Qt window", bare);
}

void tick() {
    BenchRoom bench;
    writeRegister(bench.data, kTables, true);
    Room& room = bench.open();
    MainWindow window(room, [] { return true; });
    window.show();
    (void)QTest::qWaitForWindowExposed(&window);
    QWidget* viewport = testing::control<QAbstractItemView>(&window, "TableRegister")->viewport();
    const double ticked = medianMs([&] {
        bench.clock.advance(1);
        room.ClockTick();
        viewport->repaint(); // what the operator sees change, drawn before the next event
    });
    const double redraw = medianMs([&] {
        viewport->update();
        viewport->repaint();
    });
    const double coreOnly = medianMs([&] {
        bench.clock.advance(1);
        room.ClockTick();
        QApplication::processEvents();
    });
    report("tick: 1,000 tables in use, view drawn", ticked, "one full redraw of the register", redraw);
    report("tick: 1,000 tables in use, events handled", coreOnly, "one full redraw of the register", redraw);

    // Through the event loop, what an operator's second costs: the tick, the rows redrawn once for
    // the thousand cells it changed, and the paint that follows.
    auto throughTheLoop = [&] {
        bench.clock.advance(1);
        room.ClockTick();
        QApplication::processEvents();
    };
    const Timing fullRedraw = medianTiming([&] {
        viewport->update();
        viewport->repaint();
    });
    const Timing registerTick = medianTiming(throughTheLoop);
    window.ShowBoard(true);
    QApplication::processEvents();
    const Timing boardTick = medianTiming(throughTheLoop);
    window.ShowBoard(false);
    QApplication::processEvents();
    // The baseline: the same grid with its cells' own texts and nothing drawn over them.
    testing::control<GridView>(&window, "TableRegister")->setPresentation(nullptr);
    QApplication::processEvents();
    const Timing plainTick = medianTiming(throughTheLoop);
    reportTiming("tick: register with owed column, event loop", registerTick, "the plain register's tick", plainTick);
    reportTiming("tick: board of 1,000 tiles, event loop", boardTick, "the plain register's tick", plainTick);
    reportTiming("tick: the plain register, event loop", plainTick, "one full redraw", fullRedraw);
}

void lists() {
    BenchRoom bench;
    writeRegister(bench.data, kTables, false);
    const TableRegister& tables = bench.open().tables();
    TableListBox box;
    const double filled =
        medianMs([&] { box.setTables(FillTableList(tables, ListedTables::Free, TableType::Billiard)); });
    QStringList names;
    const double read = medianMs([&] {
        names.clear();
        for (int n = 1; n <= tables.tableCount(); ++n)
            names.append(tables.name(n));
    });
    report("lists: free billiard tables of 1,000", filled, "reading the 1,000 names", read);
}

void takings() {
    BenchRoom bench;
    TakingsBook& book = bench.open().takings();
    GridStore& grid = book.grid();
    grid.setRowCount(kTakingsRows + 1);
    for (int r = 1; r <= kTakingsRows; ++r) {
        grid.setCell(r, 0, QStringLiteral("%1号台收费").arg(r % 40 + 1));
        grid.setCell(r, 1, QString::number(0.25 * (r % 17 + 1)));
        grid.setCell(r, 2, QString::number(12.5 * (r % 23 + 1)));
    }
    const QString path = bench.data.filePath(TakingsBook::fileNameFor(QStringLiteral("2013年5月20日")));
    grid.saveToFile(path);
    const double added = medianMs([&] { book.AddTakingsRows({{"3号台收费", "1.5", "36.5"}}, bench.messages); });
    const double raw = medianMs([&] {
        QFile in(path);
        in.open(QIODevice::ReadOnly);
        const QByteArray bytes = in.readAll();
        QSaveFile out(path + QStringLiteral(".raw"));
        out.open(QIODevice::WriteOnly);
        out.write(bytes);
        out.commit();
    });
    report("takings: one row into a day of 10,000", added, "raw read and safe write", raw);
}

// Every opening writes the whole register: with 3,126 bytes of picture per row that is 0.6 MB for
// 200 tables and 3 MB for 1,000. Each round opens the next free table by its number.
void save() {
    for (const int count : {200, 1000}) {
        BenchRoom bench;
        writeRegister(bench.data, count, false);
        // The opening alone, on a register of the same size that nothing saves; loaded before the
        // room's openings reach the file.
        TableRegister alone;
        alone.LoadRegister(bench.data);
        int other = 0;
        const Timing unsaved =
            medianTiming([&] { OpenTableByNumber(alone, QString::number(++other), bench.clock, bench.messages); });
        Room& room = bench.open();
        const QByteArray bytes = room.tables().grid().toBytes();
        int next = 0;
        const Timing opening = medianTiming([&] { room.OpenTableByNumber(QString::number(++next)); });
        const QString rawPath = bench.data.filePath(QStringLiteral("raw"));
        const Timing raw = medianTiming([&] {
            QFile out(rawPath);
            out.open(QIODevice::WriteOnly | QIODevice::Truncate);
            out.write(bytes);
            out.close();
        });
        const Timing safe = medianTiming([&] { saveWholeFile(rawPath, bytes); });
        if (!bench.messages.shown().isEmpty() || room.tables().lastTableInUse() != next)
            std::printf("the openings did not go through: %s\n", qPrintable(bench.messages.lastText()));
        std::printf("save: %d tables, register file %lld bytes\n", count, static_cast<long long>(bytes.size()));
        reportTiming("  opening a table, register saved", opening, "raw write of the same bytes", raw);
        reportTiming("  opening a table, register saved", opening, "the opening without its save", unsaved);
        reportTiming("  the whole-file save of those bytes", safe, "raw write of the same bytes", raw);
    }
}

qint64 peakKilobytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return 0;
}

int memoryOf(const QString& what) {
    if (what == u"bare") {
        QWidget window;
        window.resize(810, 534);
        window.show();
        (void)QTest::qWaitForWindowExposed(&window);
        QApplication::processEvents();
    } else {
        BenchRoom bench;
        writeRegister(bench.data, kTables, true);
        writeGoods(bench.data, kGoods);
        Room& room = bench.open();
        MainWindow window(room, [] { return true; });
        window.show();
        (void)QTest::qWaitForWindowExposed(&window);
        bench.clock.advance(1);
        room.ClockTick();
        QApplication::processEvents();
    }
    std::printf("%lld\n", static_cast<long long>(peakKilobytes()));
    return 0;
}

void memory(const QString& self) {
    auto measure = [&](const QString& what) {
        QProcess child;
        child.start(self, {QStringLiteral("memory-of"), what});
        child.waitForFinished(-1);
        return child.readAllStandardOutput().trimmed().toDouble() / 1024.0;
    };
    report("memory: 1,000 tables in use, 10,000 goods", measure(QStringLiteral("room")), "bare Qt window",
           measure(QStringLiteral("bare")), "MB");
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The main window reads the user's settings (the board or the grid): the bench's are its own.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const QStringList args = app.arguments();
    if (args.size() > 2 && args[1] == u"memory-of")
        return memoryOf(args[2]);
    const QString only = args.size() > 1 ? args[1] : QString();
    if (only.isEmpty() || only == u"startup")
        startup();
    if (only.isEmpty() || only == u"tick")
        tick();
    if (only.isEmpty() || only == u"lists")
        lists();
    if (only.isEmpty() || only == u"takings")
        takings();
    if (only.isEmpty() || only == u"save")
        save();
    if (only.isEmpty() || only == u"memory")
        memory(app.applicationFilePath());
    return 0;
}
