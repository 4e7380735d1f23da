#include "app/account_window.h"
#include "app/checkout_window.h"
#include "app/main_window.h"
#include "app/sales_window.h"
#include "app/statistics_window.h"
#include "goods/goods_stock.h"
#include "shell_fixture.h"

#include <QLineEdit>
#include <QListWidget>
#include <QTabBar>
#include <QTabWidget>

using namespace cuemora;
namespace col = RegisterColumn;

namespace {

const QString kToday = QStringLiteral("2013年5月20日收入统计");

// The takings rows of today's file.
QStringList todaysRows(const Shell& shell) {
    GridStore grid;
    QStringList rows;
    if (!grid.loadFromFile(shell.dir.filePath(kToday)))
        return rows;
    for (int r = 1; r < grid.rowCount(); ++r)
        rows.append(grid.cellText(r, 0) + u'|' + grid.cellText(r, 1) + u'|' + grid.cellText(r, 2));
    return rows;
}

// Makes a window the active one, as the operator's click would, so that its keys reach it.
void activate(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

// Four goods on sale, saved as "保存数据" saves them; the list shows 瓜子, Pepsi, 啤酒, 可乐.
void stockGoods(Shell& shell) {
    GoodsStock& goods = shell.room->goods();
    for (const auto& [name, code] : {std::pair{u"可乐"_qs, u"6904"_qs},
                                     {u"啤酒"_qs, u"6903"_qs},
                                     {u"Pepsi"_qs, u"7001"_qs},
                                     {u"瓜子"_qs, u"6902"_qs}})
        QVERIFY(goods.AddGoods(name, u"10"_qs, u"3"_qs, code, shell.messages));
    SalesWindowControls(shell.window->salesWindow()).保存数据按钮->click();
    QCOMPARE(SalesWindowControls(shell.window->salesWindow()).GoodsListBox->count(), 4);
}

} // namespace

class TestDeskKeys : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QCOMPARE(visibleWindows(), QStringList()); }

    // Enter in the login boxes is "进入".
    void enterLogsIn() {
        Shell shell;
        MainWindow& window = shell.start();
        AccountWindow* account = window.accountWindow();
        account->show();
        const AccountWindowControls ui(account);
        QTest::keyClicks(ui.accountEdit, QStringLiteral("tulip"));
        QTest::keyClick(ui.accountEdit, Qt::Key_Return);
        QCOMPARE(shell.messages.lastText(), AccountBook::loginFailedMessage()); // no password yet
        QTest::keyClicks(ui.passwordEdit, QStringLiteral("947"));
        QTest::keyClick(ui.passwordEdit, Qt::Key_Enter);
        QVERIFY(shell.room->loggedIn());
        QCOMPARE(ui.loginGroup->title(), AccountBook::loggedInCaption());
        account->hide();
        shell.window.reset();
    }

    // Enter in the number box of "开台" opens the table; in the one of "结账" it shows its charge,
    // and Enter after the payment is "结账" itself, which asks first.
    void enterOpensAndChecksOut() {
        Shell shell;
        saveRegister(shell.dir.path(), 3, {});
        MainWindow& window = shell.start();
        const MainWindowControls ui(&window);
        QTest::keyClicks(ui.openNumberEdit, QStringLiteral("2"));
        QTest::keyClick(ui.openNumberEdit, Qt::Key_Return);
        QVERIFY(shell.tables().isInUse(2));
        QCOMPARE(ui.openNumberEdit->text(), QString());
        shell.tick(3599);

        QTest::keyClicks(ui.checkoutNumberEdit, QStringLiteral("2"));
        QTest::keyClick(ui.checkoutNumberEdit, Qt::Key_Return);
        CheckoutWindow* checkout = window.checkoutWindow();
        QVERIFY(checkout->isVisible());
        const CheckoutWindowControls pay(checkout);
        QCOMPARE(pay.totalEdit->text(), QStringLiteral("20"));
        QTest::keyClicks(pay.paymentEdit, QStringLiteral("50"));
        QCOMPARE(pay.changeEdit->text(), QStringLiteral("30"));
        QTest::keyClick(pay.paymentEdit, Qt::Key_Return); // the question, closed: nothing recorded
        QCOMPARE(shell.messages.lastText(), checkoutQuestion());
        QVERIFY(shell.tables().isInUse(2));
        QVERIFY(todaysRows(shell).isEmpty());

        QTest::keyClick(ui.checkoutNumberEdit, Qt::Key_2);
        QTest::keyClick(ui.checkoutNumberEdit, Qt::Key_Return);
        QTest::keyClicks(pay.paymentEdit, QStringLiteral("20"));
        shell.messages.setNextAnswers({MessageButton::Yes});
        QTest::keyClick(pay.paymentEdit, Qt::Key_Return);
        QVERIFY(checkout->isHidden());
        QCOMPARE(todaysRows(shell), QStringList{u"2号台收费|1|20"_qs});
        QVERIFY(!shell.tables().isInUse(2));
        shell.window.reset();
    }

    // Enter in the payment of the cash sale is its "结账"; Enter in "名称或编码：" is "查找"; Enter
    // on the goods list picks the goods there as a double-click does.
    void enterInTheSalesWindow() {
        Shell shell;
        MainWindow& window = shell.start();
        stockGoods(shell);
        SalesWindow* sales = window.salesWindow();
        const SalesWindowControls ui(sales);
        MainWindowControls(&window).sellButton->click();
        QCOMPARE(ui.GoodsListBox->count(), 4);

        QTest::keyClicks(ui.searchEdit, QStringLiteral("6903"));
        QTest::keyClick(ui.searchEdit, Qt::Key_Return);
        QCOMPARE(ui.GoodsListBox->currentRow(), 2);
        QCOMPARE(ui.GoodsListBox->currentItem()->text(), u"啤酒"_qs);
        QTest::keyClick(ui.GoodsListBox, Qt::Key_Return);
        ui.GoodsListBox->setCurrentRow(0);
        QTest::keyClick(ui.GoodsListBox, Qt::Key_Enter);
        QCOMPARE(ui.saleTotalEdit->text(), QStringLiteral("6"));
        QCOMPARE(shell.room->saleList().grid().rowCount(), 3);

        QTest::keyClicks(ui.paidEdit, QStringLiteral("10"));
        QCOMPARE(ui.cashChangeEdit->text(), QStringLiteral("4"));
        QTest::keyClick(ui.paidEdit, Qt::Key_Return);
        QVERIFY(sales->isHidden());
        QCOMPARE(todaysRows(shell), (QStringList{u"啤酒|1|3"_qs, u"瓜子|1|3"_qs}));
        shell.window.reset();
    }

    // Typing on the goods list jumps to the first goods whose name or code begins so.
    void typingOnTheGoodsListJumps_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("item");
        QTest::newRow("first letters of a name") << "pe" << 1;
        QTest::newRow("the start of a code") << "690" << 0;
        QTest::newRow("a whole code") << "6904" << 3;
        QTest::newRow("nothing begins so") << "zz" << -1;
    }

    void typingOnTheGoodsListJumps() {
        QFETCH(QString, typed);
        QFETCH(int, item);
        Shell shell;
        MainWindow& window = shell.start();
        stockGoods(shell);
        MainWindowControls(&window).sellButton->click();
        QListWidget* list = SalesWindowControls(window.salesWindow()).GoodsListBox;
        list->setCurrentRow(-1);
        QTest::keyClicks(list, typed);
        QCOMPARE(list->currentRow(), item);
        QCOMPARE(shell.room->saleList().grid().rowCount(), 1); // jumping sells nothing
        window.salesWindow()->hide();
        shell.window.reset();
    }

    // Enter in the query box of "营业统计" is "查找".
    void enterFindsTheDay() {
        Shell shell;
        MainWindow& window = shell.start();
        shell.logIn();
        QLineEdit* query = MainWindowControls(&window).queryDateEdit;
        query->setText(QStringLiteral("2013年5月19日"));
        QTest::keyClick(query, Qt::Key_Return);
        QVERIFY(window.statisticsWindow()->isVisible());
        QCOMPARE(window.statisticsWindow()->windowTitle(), QStringLiteral("统计窗口查询：2013年5月19日"));
        window.statisticsWindow()->hide();
        shell.window.reset();
    }

    // The keys of the counter on the main window, each told in its buttons' tooltips: F2 and F3
    // bring the number boxes of "开台" and "结账" (from the setup page too), F4 the sales window,
    // F5 the group "换台和销售".
    void shortcutsOfTheMainWindow_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("focused");  // the control that gets the focus, empty for none
        QTest::addColumn<QStringList>("told"); // the buttons whose tooltips name the key
        QTest::newRow("F2 开台") << int(Qt::Key_F2) << "openNumberEdit" << QStringList{"空闲开台按钮", "输号开台按钮"};
        QTest::newRow("F3 结账") << int(Qt::Key_F3) << "checkoutNumberEdit" << QStringList{"结账按钮", "输号结账按钮"};
        QTest::newRow("F4 卖东西") << int(Qt::Key_F4) << "" << QStringList{"sellButton"};
        QTest::newRow("F5 换台") << int(Qt::Key_F5) << "单选框5" << QStringList{"换台按钮"};
    }

    void shortcutsOfTheMainWindow() {
        QFETCH(int, key);
        QFETCH(QString, focused);
        QFETCH(QStringList, told);
        Shell shell;
        MainWindow& window = shell.start();
        shell.logIn();
        const MainWindowControls ui(&window);
        ui.tabWidget->setCurrentWidget(ui.setupPage);
        activate(&window);
        ui.tableCountEdit->setFocus();
        QTest::keyClick(ui.tableCountEdit, Qt::Key(key));
        if (focused.isEmpty()) {
            QVERIFY(window.salesWindow()->isVisible());
            window.salesWindow()->hide();
        } else {
            QCOMPARE(ui.tabWidget->currentWidget(), ui.openPage);
            QCOMPARE(window.focusWidget()->objectName(), focused);
        }
        const QString name = QKeySequence(key).toString(QKeySequence::NativeText);
        for (const QString& button : told) {
            const QString tip = window.findChild<QPushButton*>(button)->toolTip();
            QVERIFY2(tip.contains(name), qPrintable(button + u": "_qs + tip));
        }
        shell.window.reset();
    }

    // F2 in the register is "开台" like anywhere in the window, never an edit of a cell.
    void f2InTheRegisterIsTheShortcut() {
        Shell shell;
        saveRegister(shell.dir.path(), 2, {});
        MainWindow& window = shell.start();
        GridView* view = MainWindowControls(&window).TableRegister;
        activate(&window);
        view->setFocus();
        view->setCurrentIndex(view->viewIndex(1, col::Price));
        QTest::keyClick(view, Qt::Key_F2);
        QVERIFY(!view->viewport()->findChild<QLineEdit*>());
        QCOMPARE(window.focusWidget(), MainWindowControls(&window).openNumberEdit);
        shell.window.reset();
    }

    // Escape closes a secondary window as its close box does; the checkout window records nothing.
    void escapeClosesASecondaryWindow_data() {
        QTest::addColumn<QString>("which");
        QTest::newRow("checkout") << "CheckoutWindow";
        QTest::newRow("sales") << "SalesWindow";
        QTest::newRow("statistics") << "StatisticsWindow";
        QTest::newRow("account") << "AccountWindow";
    }

    void escapeClosesASecondaryWindow() {
        QFETCH(QString, which);
        Shell shell;
        saveRegister(shell.dir.path(), 2, {1});
        MainWindow& window = shell.resume();
        QWidget* secondary = nullptr;
        for (QWidget* candidate : std::initializer_list<QWidget*>{window.checkoutWindow(), window.salesWindow(),
                                                                  window.statisticsWindow(), window.accountWindow()}) {
            if (candidate->objectName() == which)
                secondary = candidate;
        }
        QVERIFY(secondary);
        if (secondary == window.checkoutWindow())
            window.checkoutWindow()->FillCheckout(1);
        activate(secondary);
        QTest::keyClick(secondary->focusWidget() ? secondary->focusWidget() : secondary, Qt::Key_Escape);
        QVERIFY(secondary->isHidden());
        QVERIFY(window.isVisible());
        QVERIFY(shell.tables().isInUse(1));
        QVERIFY(shell.messages.shown().isEmpty());
        shell.window.reset();
    }

    // Tab goes through each window's controls in the order they stand on screen: down a column,
    // and up again only into a column further right.
    void tabFollowsTheScreen_data() {
        QTest::addColumn<QString>("which");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QStringList>("visits"); // some of the controls on the way, in their order
        QTest::newRow("main window") << "MainWindow"
                                     << "tabWidget"
                                     << QStringList{"输号开台按钮", "checkoutNumberEdit", "换台按钮", "sellButton"};
        QTest::newRow("checkout") << "CheckoutWindow"
                                  << "startEdit"
                                  << QStringList{"hoursEdit", "totalEdit", "paymentEdit", "结账结束按钮"};
        QTest::newRow("sales") << "SalesWindow"
                               << "GoodsListBox" << QStringList{"searchEdit", "查找按钮",  "paidEdit",
                                                                "完成按钮",   "完成按钮1", "closeButton"};
        QTest::newRow("account") << "AccountWindow"
                                 << "accountEdit" << QStringList{"passwordEdit", "enterButton"};
    }

    void tabFollowsTheScreen() {
        QFETCH(QString, which);
        QFETCH(QString, first);
        QFETCH(QStringList, visits);
        Shell shell;
        saveRegister(shell.dir.path(), 2, {1});
        MainWindow& window = shell.resume();
        QWidget* shown = &window;
        for (QWidget* candidate : std::initializer_list<QWidget*>{window.checkoutWindow(), window.salesWindow(),
                                                                  window.statisticsWindow(), window.accountWindow()}) {
            if (candidate->objectName() == which)
                shown = candidate;
        }
        if (shown == window.checkoutWindow())
            window.checkoutWindow()->FillCheckout(1);
        activate(shown);
        // Where a control stands, and the right edge of the group box that holds it on its page.
        const auto place = [shown](const QWidget* control) {
            if (const auto* tabs = qobject_cast<const QTabWidget*>(control))
                control = tabs->tabBar(); // a tab control takes the focus on its tabs
            return QRect(control->mapTo(shown, QPoint(0, 0)), control->size());
        };
        const auto columnRight = [shown, &place](const QWidget* control) {
            const QWidget* outer = control;
            for (const QWidget* up = control->parentWidget(); up && up != shown; up = up->parentWidget()) {
                if (qobject_cast<const QGroupBox*>(up))
                    outer = up;
            }
            return place(outer).right();
        };
        QWidget* at = shown->findChild<QWidget*>(first);
        QVERIFY(at);
        at->setFocus();
        QStringList visited;
        while (!visited.contains(at->objectName()) && visited.size() < 60) {
            visited.append(at->objectName());
            QTest::keyClick(at, Qt::Key_Tab);
            QWidget* next = shown->focusWidget();
            const bool below = place(next).center().y() >= place(at).center().y() - 4;
            const bool furtherRight = place(next).left() > columnRight(at);
            // Tab wraps from the last control to the first, or to the tabs at the window's top.
            const bool wraps =
                visited.contains(next->objectName()) || qobject_cast<QTabBar*>(next) || qobject_cast<QTabWidget*>(next);
            QVERIFY2(below || furtherRight || wraps, qPrintable(at->objectName() + u" -> "_qs + next->objectName()));
            at = next;
        }
        qsizetype from = 0;
        for (const QString& control : visits) {
            const qsizetype found = visited.indexOf(control, from);
            QVERIFY2(found >= 0, qPrintable(control + u" in "_qs + visited.join(u' ')));
            from = found;
        }
        if (shown != &window)
            shown->hide();
        shell.window.reset();
    }
};

CUEMORA_WINDOW_TEST_MAIN(TestDeskKeys)
#include "test_desk_keys.moc"
