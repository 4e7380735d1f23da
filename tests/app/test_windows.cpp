#include "app/account_window.h"
#include "app/checkout_window.h"
#include "app/grid_view.h"
#include "app/main_window.h"
#include "app/sales_window.h"
#include "app/statistics_window.h"
#include "shell_fixture.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>

using namespace cuemora;

namespace {

QWidget* windowNamed(MainWindow& main, const QString& name) {
    if (name == u"MainWindow")
        return &main;
    if (name == u"CheckoutWindow")
        return main.checkoutWindow();
    if (name == u"StatisticsWindow")
        return main.statisticsWindow();
    if (name == u"SalesWindow")
        return main.salesWindow();
    if (name == u"AccountWindow")
        return main.accountWindow();
    return nullptr;
}

const QStringList kWindows = {u"MainWindow"_qs, u"CheckoutWindow"_qs, u"StatisticsWindow"_qs, u"SalesWindow"_qs,
                              u"AccountWindow"_qs};

// The caption a control shows, whatever its kind.
QString captionOf(QObject* object) {
    if (auto* button = qobject_cast<QAbstractButton*>(object))
        return button->text();
    if (auto* label = qobject_cast<QLabel*>(object))
        return label->text();
    if (auto* group = qobject_cast<QGroupBox*>(object))
        return group->title();
    if (auto* edit = qobject_cast<QLineEdit*>(object))
        return edit->text();
    return {};
}

bool isKind(QObject* object, const QString& kind) {
    if (kind == u"button")
        return qobject_cast<QPushButton*>(object);
    if (kind == u"radio")
        return qobject_cast<QRadioButton*>(object);
    if (kind == u"edit")
        return qobject_cast<QLineEdit*>(object);
    if (kind == u"combo")
        return qobject_cast<QComboBox*>(object);
    if (kind == u"label")
        return qobject_cast<QLabel*>(object);
    if (kind == u"group")
        return qobject_cast<QGroupBox*>(object);
    if (kind == u"timer")
        return qobject_cast<QTimer*>(object);
    if (kind == u"grid")
        return qobject_cast<GridView*>(object);
    if (kind == u"list")
        return qobject_cast<QListWidget*>(object);
    if (kind == u"tabs")
        return qobject_cast<QTabWidget*>(object);
    return false;
}

// Every widget of the window that an operator sees now (inside the shown pages of its tabs).
QList<QWidget*> shownControls(QWidget* window) {
    QList<QWidget*> shown;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (widget->isVisible() && widget->window() == window)
            shown.append(widget);
    }
    return shown;
}

} // namespace

class TestWindows : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QCOMPARE(visibleWindows(), QStringList()); }

    // Every control that the rest of the program names is there under that name, of its kind,
    // with its caption and its state at start ("" for a caption not looked at).
    void namedControls_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("state");
        struct Row {
            const char16_t *window, *name, *kind, *caption, *state;
        };
        const Row rows[] = {
            // the open page
            {u"MainWindow", u"tabWidget", u"tabs", u"", u""},
            {u"MainWindow", u"openGroup", u"group", u"开台", u""},
            {u"MainWindow", u"单选框1", u"radio", u"桌球台", u""},
            {u"MainWindow", u"单选框2", u"radio", u"麻雀台", u""},
            {u"MainWindow", u"openListLabel", u"label", u"有空闲的台：", u""},
            {u"MainWindow", u"开台组合框", u"combo", u"", u""},
            {u"MainWindow", u"空闲开台按钮", u"button", u"开    台", u""},
            {u"MainWindow", u"openNumberGroup", u"group", u"输入序号", u""},
            {u"MainWindow", u"openNumberLabel", u"label", u"输入  序号：", u""},
            {u"MainWindow", u"openNumberEdit", u"edit", u"", u""},
            {u"MainWindow", u"输号开台按钮", u"button", u"输号开台", u""},
            {u"MainWindow", u"时钟1", u"timer", u"", u""},
            {u"MainWindow", u"checkoutGroup", u"group", u"结账", u""},
            {u"MainWindow", u"单选框3", u"radio", u"桌球台", u""},
            {u"MainWindow", u"单选框4", u"radio", u"麻雀台", u""},
            {u"MainWindow", u"checkoutListLabel", u"label", u"使用中的台：", u""},
            {u"MainWindow", u"结账组合框", u"combo", u"", u""},
            {u"MainWindow", u"结账按钮", u"button", u"开始结账", u""},
            {u"MainWindow", u"checkoutNumberGroup", u"group", u"输入序号", u""},
            {u"MainWindow", u"checkoutNumberLabel", u"label", u"输入  序号：", u""},
            {u"MainWindow", u"checkoutNumberEdit", u"edit", u"", u""},
            {u"MainWindow", u"输号结账按钮", u"button", u"输号结账", u""},
            {u"MainWindow", u"changeGroup", u"group", u"换台和销售", u""},
            {u"MainWindow", u"单选框5", u"radio", u"桌球台", u""},
            {u"MainWindow", u"单选框6", u"radio", u"麻雀台", u""},
            {u"MainWindow", u"changeFromLabel", u"label", u"使用中的台：", u""},
            {u"MainWindow", u"开台组合框1", u"combo", u"", u""},
            {u"MainWindow", u"changeToLabel", u"label", u"有空闲的台：", u""},
            {u"MainWindow", u"开台组合框2", u"combo", u"", u""},
            {u"MainWindow", u"换台按钮", u"button", u"换台", u""},
            {u"MainWindow", u"时钟2", u"timer", u"", u""},
            {u"MainWindow", u"sellButton", u"button", u"卖东西", u""},
            {u"MainWindow", u"minimizeButton", u"button", u"最小化程序", u""},
            // the setup page, locked until a login
            {u"MainWindow", u"setupGroup", u"group", u"设置台数、类型、单价", u"hidden, disabled"},
            {u"MainWindow", u"tableCountLabel", u"label", u"台数量：", u""},
            {u"MainWindow", u"tableCountEdit", u"edit", u"", u""},
            {u"MainWindow", u"tableTypeLabel", u"label", u"台类型：", u""},
            {u"MainWindow", u"tableTypeCombo", u"combo", u"", u""},
            {u"MainWindow", u"tableNameLabel", u"label", u"台名称：", u""},
            {u"MainWindow", u"tableNameEdit", u"edit", u"", u""},
            {u"MainWindow", u"tablePriceLabel", u"label", u"单价/h：", u""},
            {u"MainWindow", u"tablePriceEdit", u"edit", u"", u""},
            {u"MainWindow", u"tableRateLabel", u"label", u"折  率：", u""},
            {u"MainWindow", u"tableRateEdit", u"edit", u"10", u""},
            {u"MainWindow", u"tableRateHint", u"label", u"10就是100%", u""},
            {u"MainWindow", u"添加按钮", u"button", u"添加", u""},
            {u"MainWindow", u"按钮6", u"button", u"重设", u""},
            {u"MainWindow", u"statisticsGroup", u"group", u"营业统计", u"hidden, disabled"},
            {u"MainWindow", u"queryDateLabel", u"label", u"要查询的日期：", u""},
            {u"MainWindow", u"queryDateEdit", u"edit", u"2013年5月20日", u""},
            {u"MainWindow", u"findButton", u"button", u"查找", u""},
            {u"MainWindow", u"TableRegister", u"grid", u"", u""},
            // the checkout window
            {u"CheckoutWindow", u"chargeGroup", u"group", u"收费", u""},
            {u"CheckoutWindow", u"作用透明标签", u"label", u"", u""},
            {u"CheckoutWindow", u"作用透明标签1", u"label", u" 号台收费", u""},
            {u"CheckoutWindow", u"startLabel", u"label", u"开时：", u""},
            {u"CheckoutWindow", u"startEdit", u"edit", u"", u""},
            {u"CheckoutWindow", u"hoursLabel", u"label", u"时长：", u""},
            {u"CheckoutWindow", u"hoursEdit", u"edit", u"", u""},
            {u"CheckoutWindow", u"hoursUnit", u"label", u"时", u""},
            {u"CheckoutWindow", u"rateLabel", u"label", u"折率：", u""},
            {u"CheckoutWindow", u"rateEdit", u"edit", u"", u"disabled"},
            {u"CheckoutWindow", u"rateUnit", u"label", u"折", u""},
            {u"CheckoutWindow", u"priceLabel", u"label", u"单价：", u""},
            {u"CheckoutWindow", u"priceEdit", u"edit", u"", u""},
            {u"CheckoutWindow", u"priceUnit", u"label", u"元", u""},
            {u"CheckoutWindow", u"dueLabel", u"label", u"应付：", u""},
            {u"CheckoutWindow", u"dueEdit", u"edit", u"", u""},
            {u"CheckoutWindow", u"discountedLabel", u"label", u"实付：", u""},
            {u"CheckoutWindow", u"discountedEdit", u"edit", u"", u""},
            {u"CheckoutWindow", u"goodsGroup", u"group", u"销售物品部分", u""},
            {u"CheckoutWindow", u"goodsSubtotalLabel", u"label", u"小计：", u""},
            {u"CheckoutWindow", u"goodsSubtotalEdit", u"edit", u"", u""},
            {u"CheckoutWindow", u"detailsButton", u"button", u"明细表", u""},
            {u"CheckoutWindow", u"totalLabel", u"label", u"共付：", u""},
            {u"CheckoutWindow", u"totalEdit", u"edit", u"", u""},
            {u"CheckoutWindow", u"paymentLabel", u"label", u"付款：", u""},
            {u"CheckoutWindow", u"paymentEdit", u"edit", u"", u""},
            {u"CheckoutWindow", u"changeLabel", u"label", u"找零：", u""},
            {u"CheckoutWindow", u"changeEdit", u"edit", u"", u""},
            {u"CheckoutWindow", u"changeUnit", u"label", u"元", u""},
            {u"CheckoutWindow", u"结账结束按钮", u"button", u"结账", u""},
            // the statistics window
            {u"StatisticsWindow", u"TakingsGrid", u"grid", u"", u""},
            {u"StatisticsWindow", u"statisticsButton", u"button", u"统计", u""},
            {u"StatisticsWindow", u"closeButton", u"button", u"关闭", u""},
            // the sales window: selling
            {u"SalesWindow", u"salesTabs", u"tabs", u"", u""},
            {u"SalesWindow", u"goodsListLabel", u"label", u"商品列表（双击卖出）", u""},
            {u"SalesWindow", u"GoodsListBox", u"list", u"", u""},
            {u"SalesWindow", u"searchLabel", u"label", u"名称或编码：", u""},
            {u"SalesWindow", u"searchEdit", u"edit", u"", u""},
            {u"SalesWindow", u"查找按钮", u"button", u"查找", u""},
            {u"SalesWindow", u"goodsNameLabel", u"label", u"商品名称：", u""},
            {u"SalesWindow", u"goodsNameEdit", u"edit", u"", u""},
            {u"SalesWindow", u"goodsPriceLabel", u"label", u"商品单价：", u""},
            {u"SalesWindow", u"goodsPriceEdit", u"edit", u"", u""},
            {u"SalesWindow", u"goodsQuantityLabel", u"label", u"商品数量：", u"hidden"},
            {u"SalesWindow", u"goodsQuantityEdit", u"edit", u"1", u"hidden"},
            {u"SalesWindow", u"lineAmountLabel", u"label", u"商品付款：", u""},
            {u"SalesWindow", u"lineAmountEdit", u"edit", u"", u""},
            {u"SalesWindow", u"saleTotalLabel", u"label", u"总共付款：", u""},
            {u"SalesWindow", u"saleTotalEdit", u"edit", u"", u""},
            {u"SalesWindow", u"多个商品按钮", u"button", u">>加", u"hidden"},
            {u"SalesWindow", u"删除按钮", u"button", u"<<删除", u""},
            {u"SalesWindow", u"cashGroup", u"group", u"现金付款", u""},
            {u"SalesWindow", u"paidLabel", u"label", u"付款金额：", u""},
            {u"SalesWindow", u"paidEdit", u"edit", u"", u""},
            {u"SalesWindow", u"cashChangeLabel", u"label", u"找    零：", u""},
            {u"SalesWindow", u"cashChangeEdit", u"edit", u"", u""},
            {u"SalesWindow", u"完成按钮", u"button", u"结账", u""},
            {u"SalesWindow", u"saleListLabel", u"label", u"要卖商品列表", u""},
            {u"SalesWindow", u"SaleListGrid", u"grid", u"", u""},
            {u"SalesWindow", u"tableChargeGroup", u"group", u"台号记账", u""},
            {u"SalesWindow", u"单选框5", u"radio", u"桌球台", u""},
            {u"SalesWindow", u"单选框6", u"radio", u"麻雀台", u""},
            {u"SalesWindow", u"tableChargeListLabel", u"label", u"使用中台：", u""},
            {u"SalesWindow", u"开台组合框1", u"combo", u"", u""},
            {u"SalesWindow", u"完成按钮1", u"button", u"记录", u""},
            // the sales window: the stock
            {u"SalesWindow", u"GoodsGrid", u"grid", u"", u""},
            {u"SalesWindow", u"stockNameLabel", u"label", u"名称：", u""},
            {u"SalesWindow", u"stockNameEdit", u"edit", u"", u""},
            {u"SalesWindow", u"stockQuantityLabel", u"label", u"数量：", u""},
            {u"SalesWindow", u"stockQuantityEdit", u"edit", u"", u""},
            {u"SalesWindow", u"stockPriceLabel", u"label", u"单价：", u""},
            {u"SalesWindow", u"stockPriceEdit", u"edit", u"", u""},
            {u"SalesWindow", u"stockCodeLabel", u"label", u"编码：", u""},
            {u"SalesWindow", u"stockCodeEdit", u"edit", u"", u""},
            {u"SalesWindow", u"添加商品按钮", u"button", u"添加商品", u""},
            {u"SalesWindow", u"deleteNameLabel", u"label", u"要删除的：", u""},
            {u"SalesWindow", u"deleteNameEdit", u"edit", u"", u""},
            {u"SalesWindow", u"deleteNameUnit", u"label", u"商品名称", u""},
            {u"SalesWindow", u"删除商品按钮", u"button", u"删除商品", u""},
            {u"SalesWindow", u"stockAlarmLabel", u"label", u"库存报警：", u"hidden"},
            {u"SalesWindow", u"stockAlarmEdit", u"edit", u"", u"hidden"},
            {u"SalesWindow", u"stockAlarmUnit", u"label", u"个数", u"hidden"},
            {u"SalesWindow", u"保存数据按钮", u"button", u"保存数据", u""},
            {u"SalesWindow", u"closeButton", u"button", u"关     闭", u""},
            // the account window
            {u"AccountWindow", u"loginGroup", u"group", u"登陆", u""},
            {u"AccountWindow", u"accountLabel", u"label", u"账号：", u""},
            {u"AccountWindow", u"accountEdit", u"edit", u"", u""},
            {u"AccountWindow", u"accountHint", u"label", u"默认tulip", u""},
            {u"AccountWindow", u"passwordLabel", u"label", u"密码：", u""},
            {u"AccountWindow", u"passwordEdit", u"edit", u"", u""},
            {u"AccountWindow", u"passwordHint", u"label", u"默认947", u""},
            {u"AccountWindow", u"enterButton", u"button", u"进入", u""},
            {u"AccountWindow", u"changeButton", u"button", u"修改", u"hidden"},
            {u"AccountWindow", u"closeButton", u"button", u"关闭", u"hidden"},
        };
        for (const Row& row : rows) {
            const QString window = QString::fromUtf16(row.window);
            const QString name = QString::fromUtf16(row.name);
            QTest::addRow("%s %s", qPrintable(window), qPrintable(name))
                << window << name << QString::fromUtf16(row.kind) << QString::fromUtf16(row.caption)
                << QString::fromUtf16(row.state);
        }
    }

    void namedControls() {
        QFETCH(QString, window);
        QFETCH(QString, name);
        QFETCH(QString, kind);
        QFETCH(QString, caption);
        QFETCH(QString, state);
        Shell shell;
        MainWindow& main = shell.build();
        QWidget* owner = windowNamed(main, window);
        QVERIFY(owner);
        const QList<QObject*> found = owner->findChildren<QObject*>(name);
        QCOMPARE(found.size(), 1);
        QObject* control = found.first();
        QVERIFY2(isKind(control, kind), control->metaObject()->className());
        if (kind != u"timer" && kind != u"tabs" && kind != u"grid" && kind != u"list" && kind != u"combo")
            QCOMPARE(captionOf(control), caption);
        if (auto* widget = qobject_cast<QWidget*>(control)) {
            QCOMPARE(widget->isHidden(), state.contains(u"hidden"));
            // The control's own state; the controls of a disabled group are disabled with it.
            QCOMPARE(widget->testAttribute(Qt::WA_ForceDisabled), state.contains(u"disabled"));
        }
        if (auto* timer = qobject_cast<QTimer*>(control))
            QVERIFY(!timer->isActive());
    }

    // The windows' captions, first sizes and the contents of their lists and boxes at start.
    void windowsAtStart() {
        Shell shell;
        MainWindow& main = shell.build();
        const QList<std::tuple<QString, QString, QSize>> windows = {
            {u"MainWindow"_qs, u"Brellix>>Cuemora1.0 主页：https://cuemora.example/"_qs, QSize(810, 534)},
            {u"CheckoutWindow"_qs, QString(), QSize(393, 611)},
            {u"StatisticsWindow"_qs, u"统计窗口"_qs, QSize(473, 365)},
            {u"SalesWindow"_qs, u"销售窗口"_qs, QSize(613, 453)},
            {u"AccountWindow"_qs, u"账号密码窗口"_qs, QSize(342, 173)},
        };
        for (const auto& [name, title, size] : windows) {
            QWidget* window = windowNamed(main, name);
            QCOMPARE(window->objectName(), name);
            QCOMPARE(window->windowTitle(), title);
            QCOMPARE(window->size(), size);
            QVERIFY(window->isHidden());
        }
        const auto ui = std::make_unique<MainWindowControls>(&main);
        QCOMPARE(ui->tabWidget->count(), 2);
        QCOMPARE(ui->tabWidget->tabText(0), u"开台"_qs);
        QCOMPARE(ui->tabWidget->tabText(1), u"设置"_qs);
        QCOMPARE(ui->tabWidget->currentIndex(), 0);
        QCOMPARE(ui->tableTypeCombo->count(), 2);
        QCOMPARE(ui->tableTypeCombo->itemText(0), u"桌球台"_qs);
        QCOMPARE(ui->tableTypeCombo->itemText(1), u"麻雀台"_qs);
        QCOMPARE(ui->tableTypeCombo->currentIndex(), -1);
        for (QRadioButton* radio : main.findChildren<QRadioButton*>())
            QVERIFY(!radio->isChecked());
        QCOMPARE(main.findChild<QTimer*>(u"时钟2"_qs)->parent(), ui->changeGroup);
        QCOMPARE(AccountWindowControls(main.accountWindow()).passwordEdit->echoMode(), QLineEdit::Password);
        const auto sales = std::make_unique<SalesWindowControls>(main.salesWindow());
        QCOMPARE(sales->salesTabs->tabText(0), u"商品销售"_qs);
        QCOMPARE(sales->salesTabs->tabText(1), u"库存管理"_qs);
        for (QRadioButton* radio : main.salesWindow()->findChildren<QRadioButton*>())
            QVERIFY(!radio->isChecked());
    }

    // Every box and list is named by the label in front of it (its buddy) or, without one, by
    // an accessible name of its own, so that a screen reader and Alt+key reach it.
    void everyBoxHasAName_data() {
        QTest::addColumn<QString>("window");
        for (const QString& window : kWindows)
            QTest::newRow(qPrintable(window)) << window;
    }

    void everyBoxHasAName() {
        QFETCH(QString, window);
        Shell shell;
        MainWindow& main = shell.build();
        QWidget* owner = windowNamed(main, window);
        QSet<QWidget*> named;
        for (QLabel* label : owner->findChildren<QLabel*>()) {
            if (label->buddy())
                named.insert(label->buddy());
        }
        for (QWidget* widget : owner->findChildren<QWidget*>()) {
            const bool box = qobject_cast<QLineEdit*>(widget) || qobject_cast<QComboBox*>(widget) ||
                             qobject_cast<QAbstractItemView*>(widget) || qobject_cast<QAbstractSpinBox*>(widget);
            if (!box || qobject_cast<QComboBox*>(widget->parentWidget()) ||
                qobject_cast<QAbstractItemView*>(widget->parentWidget()) ||
                qobject_cast<QAbstractSpinBox*>(widget->parentWidget()) || widget->window() != owner)
                continue; // parts of another control
            QVERIFY2(named.contains(widget) || !widget->accessibleName().isEmpty(), qPrintable(widget->objectName()));
        }
    }

    // On screen, with Chinese captions, no caption is cut off: every label, button and group gets
    // at least the room it asks for, inside its window, on every page.
    void nothingIsCutOff_data() { everyBoxHasAName_data(); }

    void nothingIsCutOff() {
        QFETCH(QString, window);
        Shell shell;
        MainWindow& main = shell.build();
        shell.logIn(); // the setup page as after a login
        QWidget* owner = windowNamed(main, window);
        owner->show();
        QVERIFY(QTest::qWaitForWindowExposed(owner));
        QList<QTabWidget*> tabs = owner->findChildren<QTabWidget*>();
        const int pages = tabs.isEmpty() ? 1 : tabs.first()->count();
        for (int page = 0; page < pages; ++page) {
            if (!tabs.isEmpty())
                tabs.first()->setCurrentIndex(page);
            QCoreApplication::processEvents();
            const QRect inside = owner->rect();
            for (QWidget* widget : shownControls(owner)) {
                const QRect at(widget->mapTo(owner, QPoint(0, 0)), widget->size());
                QVERIFY2(inside.contains(at), qPrintable(widget->objectName()));
                if (qobject_cast<QLabel*>(widget) || qobject_cast<QAbstractButton*>(widget) ||
                    qobject_cast<QGroupBox*>(widget)) {
                    const QSize wanted = widget->minimumSizeHint();
                    QVERIFY2(widget->width() >= wanted.width() && widget->height() >= wanted.height(),
                             qPrintable(widget->objectName() + QLatin1Char(' ') + captionOf(widget)));
                }
            }
        }
        owner->hide();
        main.accountWindow()->hide();
    }
};

CUEMORA_WINDOW_TEST_MAIN(TestWindows)
#include "test_windows.moc"
