// Soak run of the one-second clock: the real main window (offscreen, a data directory of its own,
// scripted message boxes) adds tables and opens them through its buttons, then the real timer runs
// with the event loop for a while. The count of a table's "使用时长" is a count of ticks, so any
// tick that comes late or is lost shows as seconds the guests are not charged for; here it is put
// against the wall clock (the baseline, measured in the same run).
//
//   bench_clock_soak [SECONDS] [--tables N]
//
// SECONDS defaults to 600. --tables N puts N tables in use (for instance 1000) while the window,
// with the register view, stays on screen, so that every tick also repaints the view. The first
// table opened is the one measured. The run fails (exit code 1) when the count has drifted a second
// or more from the wall clock.

#include "app/main_window.h"
#include "app/table_list_box.h"
#include "common/clock.h"
#include "common/data_directory.h"
#include "room/room.h"
#include "support/scripted_messages.h"
#include "support/window_controls.h"
#include "tables/table_register.h"
#include "tables/table_setup.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <memory>

using namespace cuemora;

namespace {

struct Options {
    int seconds = 600;
    int tables = 1;
    bool valid = true;
};

Options parse(const QStringList& arguments) {
    Options options;
    for (qsizetype k = 1; k < arguments.size(); ++k) {
        bool ok = true;
        if (arguments[k] == QLatin1String("--tables") && k + 1 < arguments.size())
            options.tables = arguments[++k].toInt(&ok);
        else
            options.seconds = arguments[k].toInt(&ok);
        if (!ok)
            options.valid = false;
    }
    if (options.seconds < 1 || options.tables < 1 || options.tables > 100000)
        options.valid = false;
    return options;
}

// Counts the paintings of a widget, to show that the view really redraws what the ticks change.
class PaintCounter : public QObject {
public:
    using QObject::QObject;
    qint64 paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

double cpuSeconds() {
    return double(std::clock()) / CLOCKS_PER_SEC;
}

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const Options options = parse(QApplication::arguments());
    if (!options.valid) {
        std::fprintf(stderr, "usage: bench_clock_soak [SECONDS] [--tables N]\n");
        return 2;
    }

    QTemporaryDir dir;
    ScriptedMessages messages;
    SystemClock clock;
    Room room(DataDirectory(dir.path()), clock, messages);
    if (!room.open())
        return 2;
    MainWindow window(room, [] { return true; });
    window.show();
    const auto ui = std::make_unique<MainWindowControls>(&window);

    // The operator logs in and adds the tables, a batch at a time.
    room.Login(QStringLiteral("tulip"), QStringLiteral("947"));
    ui->tabWidget->setCurrentWidget(ui->setupPage);
    ui->tableTypeCombo->setCurrentIndex(0);
    ui->tableNameEdit->setText(QStringLiteral("大厅"));
    ui->tablePriceEdit->setText(QStringLiteral("20"));
    for (int left = options.tables; left > 0; left -= kMostTablesPerBatch) {
        ui->tableCountEdit->setText(QString::number(std::min(left, kMostTablesPerBatch)));
        ui->添加按钮->click();
    }
    ui->tabWidget->setCurrentWidget(ui->openPage);
    QApplication::processEvents();

    // Table 1 from the list of free tables; that starts the clock, and the measure with it.
    ui->单选框1->setChecked(true);
    ui->开台组合框->showPopup();
    ui->开台组合框->hidePopup();
    ui->开台组合框->setCurrentIndex(0);
    ui->空闲开台按钮->click();
    QElapsedTimer wall;
    wall.start();
    const double cpuAtStart = cpuSeconds();
    PaintCounter viewPaints;
    ui->TableRegister->viewport()->installEventFilter(&viewPaints);
    for (int n = 2; n <= options.tables; ++n) {
        ui->openNumberEdit->setText(QString::number(n));
        ui->输号开台按钮->click();
    }
    const qint64 openingMs = wall.elapsed();
    const GridStore& grid = room.tables().grid();
    if (!messages.shown().isEmpty() || room.tables().tableCount() != options.tables ||
        room.tables().lastTableInUse() != options.tables || !window.clock()->isActive()) {
        std::fprintf(stderr, "the tables could not be added and opened: %s\n",
                     qPrintable(messages.shownTexts().join(QLatin1Char('\n'))));
        return 2;
    }
    std::printf("%d table(s) in use (opening them took %lld ms), clock every %d ms, precise: %s; running %d s\n",
                options.tables, openingMs, window.clock()->interval(),
                window.clock()->timerType() == Qt::PreciseTimer ? "yes" : "no", options.seconds);
    std::fflush(stdout);

    // After ClockTick (connected first): how late each tick is against its place on the wall clock.
    qint64 ticks = 0;
    qint64 worstLateMs = 0;
    double lateSumMs = 0;
    QObject::connect(window.clock(), &QTimer::timeout, &window, [&] {
        ++ticks;
        const double lateMs = double(wall.nsecsElapsed()) / 1e6 - 1000.0 * double(ticks);
        worstLateMs = std::max(worstLateMs, qint64(std::ceil(lateMs)));
        lateSumMs += lateMs;
        if (ticks % 60 == 0) {
            std::printf("  %5lld ticks: 使用时长 %s, wall clock %.3f s\n", ticks,
                        qPrintable(grid.cellText(1, RegisterColumn::Seconds)), double(wall.nsecsElapsed()) / 1e9);
            std::fflush(stdout);
        }
    });
    // Read half way between two ticks, where a count that keeps up is beyond doubt.
    // exit(), not quit(): quit() asks the windows first, and the main window only hides.
    QTimer::singleShot(std::max<qint64>(0, options.seconds * 1000LL + 500 - wall.elapsed()), Qt::PreciseTimer, &app,
                       [] { QCoreApplication::exit(0); });
    QApplication::exec();

    const double elapsed = double(wall.nsecsElapsed()) / 1e9;
    const double cpu = cpuSeconds() - cpuAtStart;
    const qint64 count = grid.cellText(1, RegisterColumn::Seconds).toLongLong();
    // The opening writes 1 for the first second, and the reading falls half way between two ticks:
    // a count that keeps up stands half a second ahead of the wall clock.
    const double difference = double(count) - elapsed;
    std::printf("使用时长 %lld against %.3f s of wall clock: difference %+.3f s (keeping up: +0.500), "
                "ratio %.5f\n",
                count, elapsed, difference, elapsed > 0 ? double(count) / (elapsed + 0.5) : 0.0);
    std::printf("ticks seen %lld; lateness against the wall clock: mean %.1f ms, worst %lld ms; "
                "CPU %.2f s in %.1f s (%.1f%%); the register view painted %lld times\n",
                ticks, ticks > 0 ? lateSumMs / double(ticks) : 0.0, worstLateMs, cpu, elapsed,
                elapsed > 0 ? 100.0 * cpu / elapsed : 0.0, viewPaints.paints);
    const bool kept = std::abs(difference) <= 1.0;
    std::printf("%s\n", kept ? "the count kept to the wall clock within one second"
                             : "FAILED: the count drifted a second or more from the wall clock");
    return kept ? 0 : 1;
}
