// The statistics window's "汇总" over a year, 365 day files of 1,000 rows each: the sum, the table
// by day and the stacked bar chart, against the sum alone in the same run (medians of several
// rounds, wall and processor time), so that what the window adds to the reading shows as a ratio.
// Also a receipt put on paper as a PDF against its layout alone.

#include "app/main_window.h"
#include "app/printing.h"
#include "app/statistics_window.h"
#include "common/text_rules.h"
#include "room/room.h"
#include "store/grid_store.h"
#include "support/manual_clock.h"
#include "support/scripted_messages.h"
#include "takings/takings_book.h"
#include "takings/takings_span.h"

#include "busy_day.h"
#include "median.h"

#include <QApplication>
#include <QDateEdit>
#include <QPushButton>
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
    std::printf("%-34s %8.2f ms wall %8.2f ms cpu   %-22s %7.2f ms wall %7.2f ms cpu   ratio %5.2f wall %5.2f cpu\n",
                what, t.wallMs, t.cpuMs, baseline, b.wallMs, b.cpuMs, t.wallMs / b.wallMs, t.cpuMs / b.cpuMs);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const DataDirectory data(dir.path());
    const QDate from(2013, 1, 1);
    const QDate to = from.addDays(kDays - 1);
    for (int d = 0; d < kDays; ++d)
        writeDay(data, from.addDays(d), d);

    ScriptedMessages messages;
    ManualClock clock(QDateTime(to, QTime(23, 0)));
    Room room(data, clock, messages);
    if (!room.open() || !room.Login(QStringLiteral("tulip"), QStringLiteral("947")))
        return 1;
    MainWindow window(room, [] { return true; });
    StatisticsWindow* statistics = window.statisticsWindow();
    statistics->show();
    statistics->findChild<QDateEdit*>(QStringLiteral("spanFromEdit"))->setDate(from);
    statistics->findChild<QDateEdit*>(QStringLiteral("spanToEdit"))->setDate(to);
    QPushButton* sum = statistics->findChild<QPushButton*>(QStringLiteral("spanButton"));
    std::printf("%d day files of %d rows; medians of %d rounds\n\n", kDays, kRowsPerDay, kRounds);

    const MedianTimes alone = medianTimes([&] { SumTakingsSpan(data, from, to); }, kRounds);
    const MedianTimes shown = medianTimes(
        [&] {
            sum->click();
            QApplication::processEvents();
        },
        kRounds);
    report("\"汇总\" of 365 days, table and chart", shown, "SumTakingsSpan alone", alone);

    CheckoutReceiptInput input{QString(),
                               QDateTime(to, QTime(22, 0)),
                               QStringLiteral("3"),
                               QStringLiteral("3号大厅"),
                               QStringLiteral("2013年12月31日20时30分0秒"),
                               QStringLiteral("1.5"),
                               QStringLiteral("20"),
                               QStringLiteral("8"),
                               QStringLiteral("30"),
                               QStringLiteral("24"),
                               QStringLiteral("、可乐、花生"),
                               QStringLiteral("12.5"),
                               QStringLiteral("36.5"),
                               QStringLiteral("50"),
                               QStringLiteral("13.5")};
    const Receipt receipt = checkoutReceipt(input);
    const MedianTimes layout = medianTimes([&] { layOutReceipt(receipt, 32); }, 15);
    const MedianTimes pdf = medianTimes([&] { receiptPdf(receipt, PaperWidth::Roll58mm, QStringLiteral("小票")); }, 15);
    report("a receipt as a 58 mm PDF", pdf, "its layout alone", layout);
    statistics->hide();
    return 0;
}
