// The road of one evening at the desk, through the real controls: log in, add the tables, stock
// the goods, open a table, let its clock run, put drinks on its account, check it out, sell a
// drink for cash, look up the day, and leave. With CUEMORA_ROAD_DIR set, the files it leaves stay
// in that directory for the script that reads them back with cuemora-grid.

#include "app/account_window.h"
#include "app/checkout_window.h"
#include "app/grid_view.h"
#include "app/main_window.h"
#include "app/sales_window.h"
#include "app/statistics_window.h"
#include "app/table_list_box.h"
#include "common/safe_save.h"
#include "shell_fixture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QListWidget>
#include <QProcess>
#include <QMenu>
#include <QSignalSpy>
#include <QTimer>

using namespace cuemora;

namespace {

// Drops the list down as the operator does, and picks the item that shows `name`.
void choose(TableListBox* list, const QString& name) {
    list->showPopup();
    list->hidePopup();
    const int index = list->findText(name);
    QVERIFY2(index >= 0, qPrintable(name));
    list->setCurrentIndex(index);
}

void doubleClick(QListWidget* list, const QString& name) {
    const QList<QListWidgetItem*> found = list->findItems(name, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(name));
    const QPoint at = list->visualItemRect(found.first()).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
}

// The grid file as cuemora-grid dump shows it, the program that people who keep these files use.
QJsonObject dumped(const QString& path) {
    QProcess tool;
    tool.start(QStringLiteral(CUEMORA_GRID_TOOL), {QStringLiteral("dump"), path});
    if (!tool.waitForFinished(30000) || tool.exitCode() != 0)
        return {};
    return QJsonDocument::fromJson(tool.readAllStandardOutput()).object();
}

// The text of a cell as a dump shows it; empty for a cell it does not list.
QString dumpedCell(const QJsonObject& dump, int r, int c) {
    for (const QJsonValue& cell : dump.value(QStringLiteral("cells")).toArray()) {
        const QJsonObject object = cell.toObject();
        if (object.value(QStringLiteral("row")).toInt() == r && object.value(QStringLiteral("column")).toInt() == c)
            return object.value(QStringLiteral("checked")).toBool() ? QStringLiteral("真")
                                                                    : object.value(QStringLiteral("text")).toString();
    }
    return {};
}

// The register file read back with cuemora-grid is exactly the register on screen.
QJsonObject fileMatchesScreen(Shell& shell) {
    const QString screen = shell.dir.filePath(QStringLiteral("screen.grd"));
    GridStore& grid = shell.tables().grid();
    const int focusRow = grid.focusRow();
    const int focusColumn = grid.focusColumn();
    if (!saveWholeFile(screen, grid.toBytes()))
        return {};
    grid.setFocusCell(focusRow, focusColumn);
    const QJsonObject file = dumped(shell.data.filePath(TableRegister::fileName()));
    const QJsonObject shown = dumped(screen);
    QFile::remove(screen);
    return file == shown && !file.isEmpty() ? file : QJsonObject();
}

QStringList row(const GridStore& grid, int r) {
    QStringList texts;
    for (int c = 0; c < grid.columnCount(); ++c)
        texts.append(grid.cellText(r, c));
    return texts;
}

} // namespace

class TestRoad : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QCOMPARE(visibleWindows(), QStringList()); }

    void oneEvening() {
        Shell shell;
        const QString keep = qEnvironmentVariable("CUEMORA_ROAD_DIR");
        if (!keep.isEmpty()) {
            QDir().mkpath(keep);
            shell.data = DataDirectory(keep);
        }
        MainWindow& window = shell.start();
        const MainWindowControls ui(&window);

        // The setup page asks for the login first.
        ui.tabWidget->setCurrentWidget(ui.setupPage);
        AccountWindow* account = window.accountWindow();
        QVERIFY(account->isVisible());
        AccountWindowControls(account).accountEdit->setText(QStringLiteral("tulip"));
        AccountWindowControls(account).passwordEdit->setText(QStringLiteral("947"));
        AccountWindowControls(account).enterButton->click();
        AccountWindowControls(account).closeButton->click();
        QVERIFY(ui.setupGroup->isVisible());

        // Three billiard tables at 20 an hour, eight tenths; two mahjong tables at 30.
        auto addTables = [&](const char* count, int type, const char* name, const char* price, const char* rate) {
            ui.tableCountEdit->setText(QString::fromUtf8(count));
            ui.tableTypeCombo->setCurrentIndex(type);
            ui.tableNameEdit->setText(QString::fromUtf8(name));
            ui.tablePriceEdit->setText(QString::fromUtf8(price));
            ui.tableRateEdit->setText(QString::fromUtf8(rate));
            ui.添加按钮->click();
        };
        addTables("3", 0, "大厅", "20", "8");
        addTables("2", 1, "包间", "30", "10");
        QCOMPARE(shell.tables().tableCount(), 5);
        ui.tabWidget->setCurrentWidget(ui.openPage);

        // The goods, saved.
        ui.sellButton->click();
        SalesWindow* sales = window.salesWindow();
        const SalesWindowControls shop(sales);
        auto stock = [&](const char* name, const char* quantity, const char* price, const char* code) {
            shop.stockNameEdit->setText(QString::fromUtf8(name));
            shop.stockQuantityEdit->setText(QString::fromUtf8(quantity));
            shop.stockPriceEdit->setText(QString::fromUtf8(price));
            shop.stockCodeEdit->setText(QString::fromUtf8(code));
            shop.添加商品按钮->click();
        };
        stock("可乐", "10", "3", "A1");
        stock("瓜子", "5", "2.5", "B2");
        shop.保存数据按钮->click();
        QCOMPARE(shop.GoodsListBox->count(), 2);
        shop.closeButton->click();

        // Guests at 2号大厅: opened from the list of free billiard tables; 90 minutes pass.
        ui.单选框1->click();
        choose(ui.开台组合框, QStringLiteral("2号大厅"));
        ui.空闲开台按钮->click();
        QCOMPARE(shell.tables().grid().cellText(2, RegisterColumn::Start), QStringLiteral("2013年5月20日14时30分5秒"));
        QVERIFY(window.clock()->isActive());
        for (int tick = 1; tick < 5400; ++tick)
            shell.tick();
        QCOMPARE(shell.tables().grid().cellText(2, RegisterColumn::Seconds), QStringLiteral("5400"));

        // A cola and seeds onto the table's account.
        ui.sellButton->click();
        doubleClick(shop.GoodsListBox, QStringLiteral("可乐"));
        doubleClick(shop.GoodsListBox, QStringLiteral("瓜子"));
        QCOMPARE(shop.saleTotalEdit->text(), QStringLiteral("5.5"));
        shop.单选框5->click();
        choose(shop.开台组合框1, QStringLiteral("2号大厅"));
        shop.完成按钮1->click();
        QVERIFY(sales->isHidden());
        QCOMPARE(shell.tables().grid().cellText(2, RegisterColumn::GoodsNames), QStringLiteral("、瓜子、可乐"));
        QCOMPARE(shell.tables().grid().cellText(2, RegisterColumn::GoodsTotal), QStringLiteral("5.5"));

        // The guests leave: 1.5 hours at 20 and eight tenths is 24, with the goods 29.5.
        ui.单选框3->click();
        choose(ui.结账组合框, QStringLiteral("2号大厅"));
        ui.结账按钮->click();
        CheckoutWindow* checkout = window.checkoutWindow();
        const CheckoutWindowControls bill(checkout);
        QVERIFY(checkout->isVisible());
        QCOMPARE((QStringList{bill.hoursEdit->text(), bill.dueEdit->text(), bill.discountedEdit->text(),
                              bill.goodsSubtotalEdit->text(), bill.totalEdit->text()}),
                 (QStringList{"1.5", "30", "24", "5.5", "29.5"}));
        QTest::keyClicks(bill.paymentEdit, QStringLiteral("50"));
        QCOMPARE(bill.changeEdit->text(), QStringLiteral("20.5"));
        shell.messages.setNextAnswers({MessageButton::Yes});
        bill.结账结束按钮->click();
        QVERIFY(checkout->isHidden());
        QVERIFY(!shell.tables().isInUse(2));

        // A cola for cash at the counter.
        ui.sellButton->click();
        doubleClick(shop.GoodsListBox, QStringLiteral("可乐"));
        QTest::keyClicks(shop.paidEdit, QStringLiteral("5"));
        QCOMPARE(shop.cashChangeEdit->text(), QStringLiteral("2"));
        shop.完成按钮->click();
        QVERIFY(sales->isHidden());

        // The day's figures: whole hours and pieces in one column, the money in the other.
        ui.tabWidget->setCurrentWidget(ui.setupPage);
        ui.findButton->click();
        StatisticsWindow* statistics = window.statisticsWindow();
        QCOMPARE(statistics->windowTitle(), QStringLiteral("统计窗口查询：2013年5月20日"));
        StatisticsWindowControls(statistics).statisticsButton->click();
        const GridStore& day = shell.room->takings().grid();
        QCOMPARE(day.rowCount(), 4);
        QCOMPARE(row(day, 1), (QStringList{"可乐", "1", "3"}));
        QCOMPARE(row(day, 2), (QStringList{"2号台收费", "1.5", "29.5"}));
        QCOMPARE(row(day, 3), (QStringList{"总收入", "2", "32.5"}));
        QCOMPARE(shell.messages.shownTexts(), QStringList{checkoutQuestionText()});

        // No table in use: the program may end.
        QSignalSpy ended(&window, &MainWindow::ended);
        window.findChild<QAction*>(u"exitAction"_qs)->trigger();
        QCOMPARE(ended.count(), 1);
        shell.window.reset();
    }

    // The live state on disk, step by step through the controls: after each opening, charge,
    // change of table and checkout, the register file read back with cuemora-grid dump is exactly
    // what the window shows.
    void theFileFollowsEveryStep() {
        Shell shell;
        MainWindow& window = shell.start();
        const MainWindowControls ui(&window);
        shell.logIn();
        ui.tabWidget->setCurrentWidget(ui.setupPage);
        ui.tableCountEdit->setText(QStringLiteral("3"));
        ui.tableTypeCombo->setCurrentIndex(0);
        ui.tableNameEdit->setText(QStringLiteral("大厅"));
        ui.tablePriceEdit->setText(QStringLiteral("20"));
        ui.添加按钮->click();
        QJsonObject file = fileMatchesScreen(shell);
        QCOMPARE(dumpedCell(file, 3, RegisterColumn::Name), QStringLiteral("3号大厅"));
        ui.tabWidget->setCurrentWidget(ui.openPage);
        const SalesWindowControls shop(window.salesWindow());
        shop.stockNameEdit->setText(QStringLiteral("可乐"));
        shop.stockPriceEdit->setText(QStringLiteral("3"));
        shop.添加商品按钮->click();
        shop.保存数据按钮->click();

        // Table 1 by its number, table 2 from the list a minute later.
        ui.openNumberEdit->setText(QStringLiteral("1"));
        ui.输号开台按钮->click();
        file = fileMatchesScreen(shell);
        QCOMPARE(dumpedCell(file, 1, RegisterColumn::Start), QStringLiteral("2013年5月20日14时30分5秒"));
        QCOMPARE(dumpedCell(file, 1, RegisterColumn::InUse), QStringLiteral("真"));
        shell.tick(60);
        ui.单选框1->click();
        choose(ui.开台组合框, QStringLiteral("2号大厅"));
        ui.空闲开台按钮->click();
        file = fileMatchesScreen(shell);
        QCOMPARE(dumpedCell(file, 2, RegisterColumn::Start), QStringLiteral("2013年5月20日14时31分5秒"));
        QCOMPARE(dumpedCell(file, 1, RegisterColumn::Seconds), QStringLiteral("61")); // saved with the change

        // A cola onto table 2's account.
        ui.sellButton->click();
        doubleClick(shop.GoodsListBox, QStringLiteral("可乐"));
        shop.单选框5->click();
        choose(shop.开台组合框1, QStringLiteral("2号大厅"));
        shop.完成按钮1->click();
        file = fileMatchesScreen(shell);
        QCOMPARE(dumpedCell(file, 2, RegisterColumn::GoodsNames), QStringLiteral("、可乐"));
        QCOMPARE(dumpedCell(file, 2, RegisterColumn::GoodsTotal), QStringLiteral("3"));

        // Table 2's guests move to table 3, with their time and their cola.
        ui.单选框5->click();
        choose(ui.开台组合框1, QStringLiteral("2号大厅"));
        choose(ui.开台组合框2, QStringLiteral("3号大厅"));
        ui.换台按钮->click();
        file = fileMatchesScreen(shell);
        QCOMPARE(dumpedCell(file, 3, RegisterColumn::Start), QStringLiteral("2013年5月20日14时31分5秒"));
        QCOMPARE(dumpedCell(file, 3, RegisterColumn::GoodsNames), QStringLiteral("、可乐"));
        QCOMPARE(dumpedCell(file, 2, RegisterColumn::Start), QString());
        QCOMPARE(dumpedCell(file, 2, RegisterColumn::InUse), QString());

        // Table 1 checks out.
        ui.checkoutNumberEdit->setText(QStringLiteral("1"));
        ui.输号结账按钮->click();
        shell.messages.setNextAnswers({MessageButton::Yes});
        CheckoutWindowControls(window.checkoutWindow()).结账结束按钮->click();
        file = fileMatchesScreen(shell);
        QCOMPARE(dumpedCell(file, 1, RegisterColumn::Start), QString());
        QCOMPARE(dumpedCell(file, 1, RegisterColumn::InUse), QString());
        QCOMPARE(dumpedCell(file, 3, RegisterColumn::InUse), QStringLiteral("真"));
        QCOMPARE(shell.messages.shownTexts(), QStringList{checkoutQuestionText()});
        shell.stop();
    }

private:
    static QString checkoutQuestionText() { return QStringLiteral("   是否结账？\r\n按 “ 是 ” 钮,关闭程序？。"); }
};

CUEMORA_WINDOW_TEST_MAIN(TestRoad)
#include "test_road.moc"
