// Draws each of the five windows over a small room of demonstration data and saves them as PNG
// files for the README: scripts/screenshots runs it under a virtual screen with Chinese fonts.
#include "app/account_window.h"
#include "app/checkout_window.h"
#include "app/main_window.h"
#include "app/printing.h"
#include "app/sales_window.h"
#include "app/startup.h"
#include "app/statistics_window.h"
#include "app/window_places.h"
#include "common/text_rules.h"
#include "goods/goods_stock.h"
#include "takings/takings_book.h"
#include "ui_account_window.h"
#include "ui_checkout_window.h"
#include "ui_main_window.h"
#include "ui_sales_window.h"
#include "ui_statistics_window.h"

#include <QDateEdit>
#include <QTabBar>

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QPixmap>
#include <QScreen>
#include <QSettings>
#include <QPrintPreviewDialog>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

using namespace cuemora;

namespace {

// The evening of the pictures: 10 December 2026, a quarter past eight.
class FixedClock : public Clock {
public:
    QDateTime now() const override { return QDateTime(QDate(2026, 12, 10), QTime(20, 15, 40)); }
    qint64 steadyMs() const override { return 0; }
};

// The evening of an earlier day, for its takings.
class DayClock : public Clock {
public:
    explicit DayClock(QDateTime at)
        : m_at(std::move(at)) {}
    QDateTime now() const override { return m_at; }
    qint64 steadyMs() const override { return 0; }

private:
    QDateTime m_at;
};

// Nothing here asks the operator anything; a message would only stand in front of the pictures.
class QuietMessages : public MessageService {
public:
    MessageButton show(const Message& message) override {
        std::printf("message: %s\n", qPrintable(message.text));
        return message.defaultButton;
    }
};

// A control of a window by the name its form gives it.
template <typename T>
T* control(const QWidget* window, const char* name) {
    T* found = window->findChild<T*>(QString::fromUtf8(name));
    if (!found)
        qFatal("%s has no control %s", window->metaObject()->className(), name);
    return found;
}

void settle() {
    for (int k = 0; k < 20; ++k) {
        QApplication::processEvents();
        QThread::msleep(10);
    }
}

bool save(QWidget* window, const QString& directory, const QString& name) {
    window->show();
    window->raise();
    settle();
    const QString path = QDir(directory).filePath(name + QStringLiteral(".png"));
    const bool saved = window->grab().save(path);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
    return saved;
}

// Eight tables (three in use, one with drinks on its account), four goods, and the day's takings.
void demoRoom(const DataDirectory& data, const Clock& clock) {
    QuietMessages quiet;
    TableRegister tables;
    GridStore& grid = tables.grid();
    const QStringList names = {"1号大厅", "2号大厅", "3号大厅", "4号大厅", "5号大厅", "1号包间", "2号包间", "3号包间"};
    for (int n = 1; n <= names.size(); ++n) {
        grid.insertRow();
        grid.setCell(n, RegisterColumn::Type, n <= 5 ? billiardType() : mahjongType());
        grid.setCell(n, RegisterColumn::Name, names[n - 1]);
        grid.setCell(n, RegisterColumn::Price, n <= 5 ? QStringLiteral("20") : QStringLiteral("30"));
        grid.setCell(n, RegisterColumn::Rate, n == 3 ? QStringLiteral("8") : QStringLiteral("10"));
    }
    const struct {
        int n;
        int seconds;
    } inUse[] = {{2, 2017}, {3, 5400}, {7, 6017}};
    for (const auto& use : inUse) {
        grid.setCell(use.n, RegisterColumn::Start, dateTimeToText(clock.now().addSecs(-use.seconds)));
        grid.setCell(use.n, RegisterColumn::Seconds, QString::number(use.seconds));
        grid.setChecked(use.n, RegisterColumn::InUse, true);
    }
    grid.setCell(3, RegisterColumn::GoodsNames, QStringLiteral("、可乐、矿泉水"));
    grid.setCell(3, RegisterColumn::GoodsTotal, QStringLiteral("8.5"));
    tables.RenumberTables();
    tables.RefreshPictures();
    tables.SaveRegister(data);

    GoodsStock goods(data);
    goods.ReloadGoods(quiet);
    goods.AddGoods("矿泉水", "48", "2", "6901", quiet);
    goods.AddGoods("瓜子", "20", "5", "6902", quiet);
    goods.AddGoods("啤酒", "24", "8", "6903", quiet);
    goods.AddGoods("可乐", "36", "3", "6904", quiet);
    goods.SaveGoods(quiet);

    TakingsBook takings(data, clock);
    takings.AddTakingsRows({{"5号台收费", "2.25", "45"}, {"可乐", "1", "3"}, {"1号台收费", "1.5", "30"}}, quiet);

    // The days of the month before, for the span: the room was closed on the 4th.
    const QList<QList<TakingsRow>> days = {
        {{"1号台收费", "3", "60"}, {"啤酒", "4", "32"}, {"6号台收费", "4", "120"}},
        {{"2号台收费", "2.5", "50"}, {"可乐", "2", "6"}},
        {{"7号台收费", "5", "150"}, {"瓜子", "3", "15"}, {"3号台收费", "2", "32"}},
        {},
        {{"4号台收费", "1.5", "30"}, {"啤酒", "6", "48"}},
        {{"6号台收费", "6", "180"}, {"8号台收费", "4", "120"}, {"可乐", "5", "15"}, {"啤酒", "8", "64"}},
        {{"5号台收费", "3.5", "70"}, {"瓜子", "2", "10"}, {"矿泉水", "4", "8"}},
        {{"1号台收费", "2", "40"}, {"2号台收费", "1", "20"}},
        {{"7号台收费", "3", "90"}, {"啤酒", "5", "40"}, {"可乐", "3", "9"}},
    };
    for (int d = 0; d < days.size(); ++d) {
        if (days[d].isEmpty())
            continue;
        const DayClock dayClock(QDateTime(QDate(2026, 12, d + 1), QTime(22, 0)));
        TakingsBook(data, dayClock).AddTakingsRows(days[d], quiet);
    }
}

// A preview as the operator sees it, taken and closed unprinted.
Printing::PreviewRunner grabPreview(const QString& directory, const QString& name, bool* ok) {
    return [directory, name, ok](QPrintPreviewDialog& dialog, QPrinter&) {
        dialog.resize(720, 640);
        *ok = save(&dialog, directory, name) && *ok;
        return int(QDialog::Rejected);
    };
}

} // namespace

int main(int argc, char** argv) {
    // The pictures start from the program's first look, whatever the user chose: settings of their own.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    loadQtChineseTranslations(app);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/screenshots");
    QDir().mkpath(out);

    QTemporaryDir dir;
    QTemporaryDir settings; // the pictures show the windows where they first open, whatever the user's settings say
    setWindowSettingsFile(settings.filePath(QStringLiteral("windows.ini")));
    QuietMessages messages;
    FixedClock clock;
    const DataDirectory data(dir.path());
    demoRoom(data, clock);
    Room room(data, clock, messages);
    if (!room.open())
        return 1;
    MainWindow window(room, [] { return true; });
    bool ok = save(&window, out, QStringLiteral("main_window"));
    control<QPushButton>(&window, "boardButton")->click();
    ok = save(&window, out, QStringLiteral("main_window_board")) && ok;
    control<QPushButton>(&window, "boardButton")->click();

    control<QTabWidget>(&window, "tabWidget")->setCurrentWidget(control<QWidget>(&window, "setupPage"));
    AccountWindow* account = window.accountWindow();
    control<QLineEdit>(account, "accountEdit")->setText(QStringLiteral("tulip"));
    ok = save(account, out, QStringLiteral("account_window")) && ok;
    control<QLineEdit>(account, "passwordEdit")->setText(QStringLiteral("947"));
    control<QPushButton>(account, "enterButton")->click();
    account->hide();
    control<QLineEdit>(&window, "tableCountEdit")->setText(QStringLiteral("2"));
    control<QComboBox>(&window, "tableTypeCombo")->setCurrentIndex(1);
    control<QLineEdit>(&window, "tableNameEdit")->setText(QStringLiteral("包间"));
    control<QLineEdit>(&window, "tablePriceEdit")->setText(QStringLiteral("30"));
    ok = save(&window, out, QStringLiteral("main_window_setup")) && ok;
    control<QTabWidget>(&window, "tabWidget")->setCurrentWidget(control<QWidget>(&window, "openPage"));

    control<QLineEdit>(&window, "checkoutNumberEdit")->setText(QStringLiteral("3"));
    control<QPushButton>(&window, "输号结账按钮")->click();
    control<QLineEdit>(window.checkoutWindow(), "paymentEdit")->setText(QStringLiteral("50"));
    ok = save(window.checkoutWindow(), out, QStringLiteral("checkout_window")) && ok;
    // "打印小票": the checkout is confirmed (the quiet messages answer Yes) and its receipt previewed.
    window.printing().setPreviewRunner(grabPreview(out, QStringLiteral("receipt_preview"), &ok));
    control<QPushButton>(window.checkoutWindow(), "printReceiptButton")->click();
    window.checkoutWindow()->hide();

    control<QPushButton>(&window, "sellButton")->click();
    SalesWindow* sales = window.salesWindow();
    QListWidget* list = control<QListWidget>(sales, "GoodsListBox");
    for (int k : {0, 2}) {
        list->setCurrentRow(k);
        Q_EMIT list->itemDoubleClicked(list->item(k));
    }
    control<QLineEdit>(sales, "paidEdit")->setText(QStringLiteral("20"));
    ok = save(sales, out, QStringLiteral("sales_window")) && ok;
    control<QTabWidget>(sales, "salesTabs")->setCurrentIndex(1);
    ok = save(sales, out, QStringLiteral("sales_window_stock")) && ok;
    sales->hide();

    control<QPushButton>(&window, "findButton")->click();
    control<QPushButton>(window.statisticsWindow(), "statisticsButton")->click();
    ok = save(window.statisticsWindow(), out, QStringLiteral("statistics_window")) && ok;
    window.statisticsWindow()->hide();

    window.printing().setPreviewRunner(grabPreview(out, QStringLiteral("day_close"), &ok));
    control<QPushButton>(window.statisticsWindow(), "dayCloseButton")->click();

    StatisticsWindow* statistics = window.statisticsWindow();
    control<QTabBar>(statistics, "statisticsTabs")->setCurrentIndex(1);
    control<QDateEdit>(statistics, "spanFromEdit")->setDate(QDate(2026, 12, 1));
    control<QPushButton>(statistics, "spanButton")->click();
    ok = save(statistics, out, QStringLiteral("statistics_span")) && ok;
    statistics->hide();

    // The whole desk: the checkout window where it opens, beside the main window and clear of the
    // register.
    control<QLineEdit>(&window, "checkoutNumberEdit")->setText(QStringLiteral("3"));
    control<QPushButton>(&window, "输号结账按钮")->click();
    control<QLineEdit>(window.checkoutWindow(), "paymentEdit")->setText(QStringLiteral("40"));
    window.raise();
    window.checkoutWindow()->raise();
    settle();
    const QString desk = QDir(out).filePath(QStringLiteral("desk.png"));
    const bool deskSaved = window.screen()->grabWindow(0).save(desk);
    std::printf("%s %s\n", deskSaved ? "wrote" : "could not write", qPrintable(desk));
    return ok && deskSaved ? 0 : 1;
}
