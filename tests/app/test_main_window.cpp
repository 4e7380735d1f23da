#include "app/account_window.h"
#include "app/checkout_window.h"
#include "app/grid_view.h"
#include "app/main_window.h"
#include "app/sales_window.h"
#include "app/statistics_window.h"
#include "shell_fixture.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

using namespace cuemora;

class TestMainWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QCOMPARE(visibleWindows(), QStringList()); }

    // A first start in an empty directory: the register's header row with its eleven captions
    // and widths, today's date in the query box, the clock stopped, no message and no file.
    void freshStart() {
        Shell shell;
        MainWindow& window = shell.start();
        QCOMPARE(window.windowTitle(), u"Brellix>>Cuemora1.0 主页：https://cuemora.example/"_qs);
        QCOMPARE(window.pos(), QPoint(50, 50));
        QVERIFY(window.width() >= 810 && window.height() >= 534);

        GridView* view = MainWindowControls(&window).TableRegister;
        QCOMPARE(view->model()->rowCount(), 0);
        QCOMPARE(view->model()->columnCount(), 12); // the view's own "当前应付" after the eleven
        const GridStore& grid = shell.tables().grid();
        const QStringList captions = {u"图片"_qs,     u"序号"_qs,     u"类型"_qs,     u"台名称"_qs,
                                      u"单价/h"_qs,   u"开始时间"_qs, u"使用时长"_qs, u"记录商品名称"_qs,
                                      u"记录总价"_qs, u"是否使用"_qs, u"折率"_qs};
        const QList<int> widths = {40, 30, 50, 120, 60, 120, 60, 120, 60, 60, 40};
        for (int column = 0; column < 11; ++column) {
            QCOMPARE(view->model()->headerData(column, Qt::Horizontal).toString(), captions[column]);
            QCOMPARE(grid.columnWidth(column), widths[column]); // the view fits its own widths
        }
        QVERIFY(view->horizontalHeader()->isVisible());
        QVERIFY(!view->verticalHeader()->isVisible());

        QCOMPARE(MainWindowControls(&window).queryDateEdit->text(), u"2013年5月20日"_qs);
        QCOMPARE(window.clock()->interval(), 0);
        QVERIFY(!window.clock()->isActive());
        QCOMPARE(window.clock()->timerType(), Qt::PreciseTimer);
        QCOMPARE(window.trayIcon()->toolTip(), u"Brellix>>Cuemora1.0"_qs);
        QVERIFY(!window.trayIcon()->icon().isNull());
        QCOMPARE(window.trayIcon()->icon().availableSizes().size(), 6);
        QCOMPARE(window.trayMenu()->title(), u"菜单"_qs);

        // The four secondary windows exist from the start, hidden.
        QVERIFY(window.checkoutWindow() && window.salesWindow() && window.statisticsWindow() && window.accountWindow());
        QCOMPARE(visibleWindows(), QStringList{u"MainWindow"_qs});
        QCOMPARE(shell.messages.shownTexts(), QStringList());
        QVERIFY(!QFileInfo::exists(shell.dir.filePath(TableRegister::fileName())));
        shell.window.reset();
    }

    // A register saved with tables 2 and 3 in use comes back with their ticks, start times and the
    // in-use picture of each row's type: the program ended without their checkout (the exit guard
    // refuses otherwise), so their guests played on. Their seconds run from their start time at
    // 9:30 to now (14:30:05), the larger than the saved count, the clock counts on at once, and one
    // message names the tables and their time.
    void savedRegisterComesBack() {
        Shell shell;
        saveRegister(shell.dir.path(), 4, {2, 3}, u"2013年5月20日9时30分"_qs);
        MainWindow& window = shell.start();
        QAbstractItemModel* rows = MainWindowControls(&window).TableRegister->model();
        QCOMPARE(rows->rowCount(), 4);
        const GridStore& grid = shell.tables().grid();
        const QList<StatusPicture> pictures = {StatusPicture::BilliardFree, StatusPicture::MahjongInUse,
                                               StatusPicture::BilliardInUse, StatusPicture::MahjongFree};
        for (int n = 1; n <= 4; ++n) {
            const bool inUse = n == 2 || n == 3;
            const int row = n - 1; // the view's rows start under the header row
            QCOMPARE(rows->index(row, RegisterColumn::InUse).data(Qt::CheckStateRole).toInt(),
                     int(inUse ? Qt::Checked : Qt::Unchecked));
            QCOMPARE(grid.cellText(n, RegisterColumn::Start), inUse ? u"2013年5月20日9时30分"_qs : QString());
            QCOMPARE(grid.cellText(n, RegisterColumn::Seconds), inUse ? u"18005"_qs : QString());
            // Drawn as the time of day and as h:mm:ss.
            QCOMPARE(rows->index(row, RegisterColumn::Start).data().toString(), inUse ? u"09:30:00"_qs : QString());
            QCOMPARE(rows->index(row, RegisterColumn::Seconds).data().toString(), inUse ? u"5:00:05"_qs : QString());
            QCOMPARE(rows->index(row, RegisterColumn::Number).data().toString(), QString::number(n));
            QCOMPARE(grid.getCell(n, RegisterColumn::Picture).toByteArray(), statusPictureBitmap(pictures[n - 1]));
            QCOMPARE(rows->index(row, RegisterColumn::Picture).data(Qt::DecorationRole).userType(),
                     int(QMetaType::QPixmap));
        }
        QCOMPARE(shell.messages.shownTexts(),
                 QStringList{u"上次程序没有正常结束（停电或出错），这2张台还在使用中，已经接着计时，请核对：\n"
                             "第2台 2号大厅：2013年5月20日9时30分开台，已用5小时0分（18005秒）\n"
                             "第3台 3号大厅：2013年5月20日9时30分开台，已用5小时0分（18005秒）"_qs});
        QCOMPARE(shell.messages.shown().first().icon, MessageIcon::Warning);
        QVERIFY(window.clock()->isActive()); // their time counts on at once
        QCOMPARE(window.clock()->interval(), 1000);
        shell.tick();
        QCOMPARE(grid.cellText(2, RegisterColumn::Seconds), u"18006"_qs);
        shell.window.reset();
    }

    // The close box and "最小化程序" hide the window into the notification area (or minimise it
    // where there is none); the program and its clock go on. A double-click on the icon brings the
    // window back, a single click does nothing.
    void hidingAndComingBack_data() {
        QTest::addColumn<bool>("trayAvailable");
        QTest::addColumn<bool>("byButton");
        QTest::newRow("close box") << true << false;
        QTest::newRow("最小化程序") << true << true;
        QTest::newRow("close box, no notification area") << false << false;
        QTest::newRow("最小化程序, no notification area") << false << true;
    }

    void hidingAndComingBack() {
        QFETCH(bool, trayAvailable);
        QFETCH(bool, byButton);
        Shell shell;
        shell.trayAvailable = trayAvailable;
        MainWindow& window = shell.start();
        QSignalSpy ended(&window, &MainWindow::ended);
        window.clock()->start(1000);
        if (byButton)
            MainWindowControls(&window).minimizeButton->click();
        else
            QVERIFY(!window.close()); // the close is refused
        QVERIFY(window.clock()->isActive());
        QVERIFY(shell.window); // nothing destroyed it
        QCOMPARE(ended.count(), 0);
        QVERIFY(window.trayIcon()->isVisible());
        QCOMPARE(window.findChildren<QSystemTrayIcon*>().size(), 1); // refreshed, never a second icon
        if (trayAvailable) {
            QVERIFY(window.isHidden());
            Q_EMIT window.trayIcon()->activated(QSystemTrayIcon::Trigger);
            QVERIFY(window.isHidden());
            Q_EMIT window.trayIcon()->activated(QSystemTrayIcon::DoubleClick);
            QVERIFY(window.isVisible());
        } else {
            // Still on screen, minimised, so that it can be reached and ended.
            QVERIFY(window.isVisible());
            QVERIFY(window.isMinimized());
        }
        QCOMPARE(shell.messages.shownTexts(), QStringList());
        shell.window.reset();
    }

    // The right button or the context key pops the menu up: "关于", then "退出" last.
    void trayMenu() {
        Shell shell;
        MainWindow& window = shell.start();
        QMenu* menu = window.trayMenu();
        QStringList items;
        for (const QAction* action : menu->actions())
            items.append(action->text());
        QCOMPARE(items, (QStringList{u"关于"_qs, u"退出"_qs}));
        Q_EMIT window.trayIcon()->activated(QSystemTrayIcon::Context);
        QVERIFY(menu->isVisible());
        menu->close();
        shell.window.reset();
    }

    // "关于" names the program, its version and the directory its files are in, and changes nothing.
    void aboutNamesTheDataDirectory() {
        Shell shell;
        MainWindow& window = shell.start();
        const QStringList files = shell.files();
        window.findChild<QAction*>(u"aboutAction"_qs)->trigger();
        QCOMPARE(shell.messages.shown().size(), 1);
        const Message& about = shell.messages.shown().first();
        QCOMPARE(about.title, u"关于 Cuemora"_qs);
        QVERIFY2(about.text.startsWith(u"Cuemora " CUEMORA_VERSION "\n"), qPrintable(about.text));
        QVERIFY2(about.text.endsWith(u"\n"_qs + QDir::cleanPath(shell.dir.path())), qPrintable(about.text));
        QCOMPARE(shell.files(), files);
        QVERIFY(window.isVisible());
        shell.window.reset();
    }

    // Turning to the setup page before a login shows the account window, turning back hides it;
    // after a login the setup page opens without it.
    void pageGuard() {
        Shell shell;
        MainWindow& window = shell.start();
        QTabWidget* tabs = MainWindowControls(&window).tabWidget;
        AccountWindow* account = window.accountWindow();
        QVERIFY(MainWindowControls(&window).setupGroup->isHidden());
        QVERIFY(MainWindowControls(&window).statisticsGroup->isHidden());
        tabs->setCurrentWidget(MainWindowControls(&window).setupPage);
        QVERIFY(account->isVisible());
        tabs->setCurrentWidget(MainWindowControls(&window).openPage);
        QVERIFY(account->isHidden());
        tabs->setCurrentWidget(MainWindowControls(&window).setupPage);
        QVERIFY(account->isVisible());
        AccountWindowControls(account).closeButton->show(); // as after a login
        AccountWindowControls(account).closeButton->click();
        QVERIFY(account->isHidden());

        tabs->setCurrentWidget(MainWindowControls(&window).openPage);
        shell.logIn();
        tabs->setCurrentWidget(MainWindowControls(&window).setupPage);
        QVERIFY(account->isHidden());
        QVERIFY(MainWindowControls(&window).setupGroup->isVisible());
        shell.window.reset();
    }

    void sellButtonShowsSalesWindow() {
        Shell shell;
        MainWindow& window = shell.start();
        MainWindowControls(&window).sellButton->click();
        QVERIFY(window.salesWindow()->isVisible());
        SalesWindowControls(window.salesWindow()).closeButton->click();
        QVERIFY(window.salesWindow()->isHidden());
        window.statisticsWindow()->show();
        StatisticsWindowControls(window.statisticsWindow()).closeButton->click();
        QVERIFY(window.statisticsWindow()->isHidden());
        window.statisticsWindow()->show();
        QVERIFY(window.statisticsWindow()->close()); // the close box only hides it
        QVERIFY(window.statisticsWindow()->isHidden());
        QCOMPARE(StatisticsWindowControls(window.statisticsWindow()).TakingsGrid->parentWidget(),
                 window.statisticsWindow());
        shell.window.reset();
    }

    // "退出" while tables 2 and 5 are in use names table 5 and leaves everything as it was.
    void exitRefusedWhileTablesAreInUse() {
        Shell shell;
        saveRegister(shell.dir.path(), 6, {2, 5});
        const QString registerPath = shell.dir.filePath(TableRegister::fileName());
        const QDateTime saved = QFileInfo(registerPath).lastModified();
        MainWindow& window = shell.resume();
        window.salesWindow()->show();
        QSignalSpy ended(&window, &MainWindow::ended);
        window.findChild<QAction*>(u"exitAction"_qs)->trigger();
        QCOMPARE(shell.messages.shownTexts(), QStringList{u"还有第5台没有结账，不能退出"_qs});
        QCOMPARE(shell.messages.shown().first().buttons, MessageButtons::Ok);
        QCOMPARE(shell.messages.shown().first().title, u"信息："_qs);
        QCOMPARE(ended.count(), 0);
        QVERIFY(window.isVisible());
        QVERIFY(window.salesWindow()->isVisible());
        QVERIFY(shell.tables().isInUse(2) && shell.tables().isInUse(5));
        QCOMPARE(QFileInfo(registerPath).lastModified(), saved);
        window.salesWindow()->hide();
        shell.window.reset();
    }

    // "退出" with no table in use closes all five windows, ends the program and writes nothing.
    void exitClosesEverythingAndWritesNothing() {
        Shell shell;
        saveRegister(shell.dir.path(), 3, {});
        const QDateTime saved = QFileInfo(shell.dir.filePath(TableRegister::fileName())).lastModified();
        MainWindow& window = shell.start();
        const QStringList before = shell.files(); // the account file is made at start, not at exit
        window.checkoutWindow()->show();
        window.salesWindow()->show();
        window.statisticsWindow()->show();
        window.accountWindow()->show();
        QSignalSpy ended(&window, &MainWindow::ended);
        window.findChild<QAction*>(u"exitAction"_qs)->trigger();
        QCOMPARE(ended.count(), 1);
        QCOMPARE(visibleWindows(), QStringList());
        QVERIFY(window.isHidden());
        QVERIFY(!window.trayIcon()->isVisible());
        QCOMPARE(shell.messages.shownTexts(), QStringList());
        QCOMPARE(shell.files(), before);
        QCOMPARE(QFileInfo(shell.dir.filePath(TableRegister::fileName())).lastModified(), saved);
        shell.window.reset();
    }

    // A register of many tables in use: each tick changes every row's seconds, and the window must
    // keep up with that while it is on screen.
    void aThousandTablesTickQuickly() {
        Shell shell;
        QList<int> all;
        for (int n = 1; n <= 1000; ++n)
            all.append(n);
        saveRegister(shell.dir.path(), 1000, all);
        QElapsedTimer startUp;
        startUp.start();
        MainWindow& window = shell.start();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const qint64 startMs = startUp.elapsed();
        GridStore& grid = shell.tables().grid();

        auto tick = [&grid] {
            for (int n = 1; n < grid.rowCount(); ++n)
                grid.setCell(n, RegisterColumn::Seconds,
                             QString::number(grid.cellNumber(n, RegisterColumn::Seconds) + 1));
        };
        // The same tick on a register that no view shows: what the grid alone costs.
        TableRegister alone;
        alone.grid().setColumnCount(11);
        alone.grid().setRowCount(1001);
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < 5; ++i) {
            for (int n = 1; n < alone.grid().rowCount(); ++n)
                alone.grid().setCell(n, RegisterColumn::Seconds, QString::number(i + n));
        }
        const double bareMs = double(timer.nsecsElapsed()) / 1e6;
        timer.restart();
        for (int i = 0; i < 5; ++i) {
            tick();
            QCoreApplication::processEvents(); // paint what changed
        }
        const double shownMs = double(timer.nsecsElapsed()) / 1e6;
        qInfo("start-up with 1000 tables in use: %lld ms; 5 ticks of 1000 rows: %.1f ms shown, %.1f ms bare (%.1fx)",
              startMs, shownMs, bareMs, bareMs > 0 ? shownMs / bareMs : 0.0);
        // A picture refresh of every row shares four bitmaps made once; giving each row the icon to
        // decode instead is the baseline.
        timer.restart();
        shell.tables().RefreshPictures();
        QCoreApplication::processEvents();
        const double refreshMs = double(timer.nsecsElapsed()) / 1e6;
        timer.restart();
        const QByteArray icon = statusPictureIcon(StatusPicture::BilliardInUse);
        for (int n = 1; n < grid.rowCount(); ++n)
            grid.setPicture(n, RegisterColumn::Picture, icon);
        QCoreApplication::processEvents();
        const double decodingMs = double(timer.nsecsElapsed()) / 1e6;
        qInfo("picture refresh of 1000 rows: %.1f ms, decoding every row's icon: %.1f ms (%.2fx)", refreshMs,
              decodingMs, decodingMs > 0 ? refreshMs / decodingMs : 0.0);
        QVERIFY2(refreshMs < 250, "a refresh of 1000 rows must be quick");
        QCOMPARE(alone.grid().cellText(1000, RegisterColumn::Seconds), u"1004"_qs);
        QCOMPARE(grid.cellText(1000, RegisterColumn::Seconds), u"60005"_qs);
        QVERIFY2(shownMs / 5 < 250, "one tick of 1000 tables must take well under its second");
        shell.window.reset();
    }
};

CUEMORA_WINDOW_TEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
