// The program at the scale of a large room and a busy day, each figure against a baseline measured
// in the same run (absolute times on a shared machine move from run to run):
//   startup   the main window shown with a register of 1,000 tables, against a bare Qt window
//   tick      one clock tick with 1,000 tables in use and the register on screen, against one
//             full redraw of the register view
//   lists     a drop-down list of tables rebuilt over 1,000 tables, against reading their names
//   takings   one takings row added to a day file of 10,000 rows, against reading and writing the
//             file's bytes raw
//   memory    peak memory with 1,000 tables and 10,000 goods, against a bare Qt window
// Run with no argument for all of them.

#include "app/main_window.h"
#include "app/startup.h"
#include "app/table_list_box.h"
#include "goods/goods_stock.h"
#include "tables/table_lists.h"
#include "tables/table_opening.h"
#include "takings/takings_book.h"
#include "ui_main_window.h"

#include "median.h"
#include <QApplication>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <functional>
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

// A register of `count` tables in the directory, every one of them in use when asked.
void writeRegister(const QString& directory, int count, bool inUse) {
    TableRegister tables;
    tables.InitRegisterLook();
    tables.RenumberTables();
    tables.WriteRegisterHeader();
    GridStore& grid = tables.grid();
    for (int n = 1; n <= count; ++n) {
        grid.insertRow();
        grid.setCell(n, RegisterColumn::Type, n % 2 ? billiardType() : mahjongType());
        grid.setCell(n, RegisterColumn::Name, QStringLiteral("%1号大厅").arg(n));
        grid.setCell(n, RegisterColumn::Price, QStringLiteral("20"));
        grid.setCell(n, RegisterColumn::Rate, QStringLiteral("10"));
        if (inUse) {
            grid.setCell(n, RegisterColumn::Start, QStringLiteral("2013年5月20日9时30分5秒"));
            grid.setCell(n, RegisterColumn::Seconds, QString::number(n * 7));
            grid.setChecked(n, RegisterColumn::InUse, true);
        }
    }
    tables.RenumberTables();
    tables.RefreshPictures();
    tables.SaveRegister(DataDirectory(directory));
}

void writeGoods(const QString& directory, int count) {
    const DataDirectory data(directory);
    GoodsStock goods(data);
    ScriptedMessages messages;
    goods.ReloadGoods(messages);
    GridStore& grid = goods.grid();
    grid.setRowCount(count + 1);
    for (int r = 1; r <= count; ++r) {
        grid.setCell(r, 0, QStringLiteral("商品%1").arg(r));
        grid.setCell(r, 1, QString::number(r % 50));
        grid.setCell(r, 2, QString::number(0.5 * (r % 40 + 1)));
        grid.setCell(r, 3, QStringLiteral("C%1").arg(r));
    }
    goods.SaveGoods(messages);
}

struct Room {
    QTemporaryDir dir;
    ScriptedMessages messages;
    SystemClock clock;
    AppServices services{messages, clock, DataDirectory(dir.path()), [] { return true; }};
};

void startup() {
    Room room;
    writeRegister(room.dir.path(), kTables, false);
    const double shown = medianMs(
        [&] {
            MainWindow window(room.services);
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
    Room room;
    writeRegister(room.dir.path(), kTables, true);
    MainWindow window(room.services);
    window.show();
    (void)QTest::qWaitForWindowExposed(&window);
    QWidget* viewport = window.ui()->TableRegister->viewport();
    const double ticked = medianMs([&] {
        window.ClockTick();
        viewport->repaint(); // what the operator sees change, drawn before the next event
    });
    const double redraw = medianMs([&] {
        viewport->update();
        viewport->repaint();
    });
    const double coreOnly = medianMs([&] {
        cuemora::ClockTick(window.tables());
        QApplication::processEvents();
    });
    report("tick: 1,000 tables in use, view drawn", ticked, "one full redraw of the register", redraw);
    report("tick: 1,000 tables in use, events handled", coreOnly, "one full redraw of the register", redraw);
}

void lists() {
    Room room;
    writeRegister(room.dir.path(), kTables, false);
    TableRegister tables;
    tables.InitRegisterLook();
    tables.LoadRegister(room.services.data);
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
    Room room;
    ManualClock clock;
    TakingsBook book(room.services.data, clock);
    GridStore& grid = book.grid();
    grid.setRowCount(kTakingsRows + 1);
    for (int r = 1; r <= kTakingsRows; ++r) {
        grid.setCell(r, 0, QStringLiteral("%1号台收费").arg(r % 40 + 1));
        grid.setCell(r, 1, QString::number(0.25 * (r % 17 + 1)));
        grid.setCell(r, 2, QString::number(12.5 * (r % 23 + 1)));
    }
    const QString path = room.services.data.filePath(TakingsBook::fileNameFor(QStringLiteral("2013年5月20日")));
    grid.saveToFile(path);
    const double added = medianMs([&] { book.AddTakingsRows({{"3号台收费", "1.5", "36.5"}}, room.messages); });
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
        Room room;
        writeRegister(room.dir.path(), kTables, true);
        writeGoods(room.dir.path(), kGoods);
        MainWindow window(room.services);
        window.show();
        (void)QTest::qWaitForWindowExposed(&window);
        window.ClockTick();
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
    if (only.isEmpty() || only == u"memory")
        memory(app.applicationFilePath());
    return 0;
}
