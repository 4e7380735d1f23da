#pragma once

// The controls of the five windows, found by the names their forms give them.

#include "app/grid_view.h"
#include "app/table_board.h"
#include "app/table_list_box.h"
#include "support/controls.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QWidget>

struct MainWindowControls {
    explicit MainWindowControls(const QWidget* window)
        : m_window(window) {}
    const QWidget* m_window;
    CUEMORA_CONTROL(QTabWidget, tabWidget);
    CUEMORA_CONTROL(QWidget, openPage);
    CUEMORA_CONTROL(QGroupBox, openGroup);
    CUEMORA_CONTROL(QRadioButton, 单选框1);
    CUEMORA_CONTROL(QRadioButton, 单选框2);
    CUEMORA_CONTROL(QLabel, openListLabel);
    CUEMORA_CONTROL(cuemora::TableListBox, 开台组合框);
    CUEMORA_CONTROL(QPushButton, 空闲开台按钮);
    CUEMORA_CONTROL(QGroupBox, openNumberGroup);
    CUEMORA_CONTROL(QLabel, openNumberLabel);
    CUEMORA_CONTROL(QLineEdit, openNumberEdit);
    CUEMORA_CONTROL(QPushButton, 输号开台按钮);
    CUEMORA_CONTROL(QGroupBox, checkoutGroup);
    CUEMORA_CONTROL(QRadioButton, 单选框3);
    CUEMORA_CONTROL(QRadioButton, 单选框4);
    CUEMORA_CONTROL(QLabel, checkoutListLabel);
    CUEMORA_CONTROL(cuemora::TableListBox, 结账组合框);
    CUEMORA_CONTROL(QPushButton, 结账按钮);
    CUEMORA_CONTROL(QGroupBox, checkoutNumberGroup);
    CUEMORA_CONTROL(QLabel, checkoutNumberLabel);
    CUEMORA_CONTROL(QLineEdit, checkoutNumberEdit);
    CUEMORA_CONTROL(QPushButton, 输号结账按钮);
    CUEMORA_CONTROL(QGroupBox, changeGroup);
    CUEMORA_CONTROL(QRadioButton, 单选框5);
    CUEMORA_CONTROL(QRadioButton, 单选框6);
    CUEMORA_CONTROL(QLabel, changeFromLabel);
    CUEMORA_CONTROL(cuemora::TableListBox, 开台组合框1);
    CUEMORA_CONTROL(QLabel, changeToLabel);
    CUEMORA_CONTROL(cuemora::TableListBox, 开台组合框2);
    CUEMORA_CONTROL(QPushButton, 换台按钮);
    CUEMORA_CONTROL(QPushButton, sellButton);
    CUEMORA_CONTROL(QPushButton, minimizeButton);
    CUEMORA_CONTROL(QWidget, setupPage);
    CUEMORA_CONTROL(QGroupBox, setupGroup);
    CUEMORA_CONTROL(QLabel, tableCountLabel);
    CUEMORA_CONTROL(QLineEdit, tableCountEdit);
    CUEMORA_CONTROL(QLabel, tableTypeLabel);
    CUEMORA_CONTROL(QComboBox, tableTypeCombo);
    CUEMORA_CONTROL(QLabel, tableNameLabel);
    CUEMORA_CONTROL(QLineEdit, tableNameEdit);
    CUEMORA_CONTROL(QLabel, tablePriceLabel);
    CUEMORA_CONTROL(QLineEdit, tablePriceEdit);
    CUEMORA_CONTROL(QLabel, tableRateLabel);
    CUEMORA_CONTROL(QLineEdit, tableRateEdit);
    CUEMORA_CONTROL(QLabel, tableRateHint);
    CUEMORA_CONTROL(QPushButton, 添加按钮);
    CUEMORA_CONTROL(QPushButton, 按钮6);
    CUEMORA_CONTROL(QGroupBox, statisticsGroup);
    CUEMORA_CONTROL(QLabel, queryDateLabel);
    CUEMORA_CONTROL(QLineEdit, queryDateEdit);
    CUEMORA_CONTROL(QPushButton, findButton);
    CUEMORA_CONTROL(cuemora::GridView, TableRegister);
    CUEMORA_CONTROL(QPushButton, boardButton);
    CUEMORA_CONTROL(cuemora::TableBoard, TableBoard);
};

struct CheckoutWindowControls {
    explicit CheckoutWindowControls(const QWidget* window)
        : m_window(window) {}
    const QWidget* m_window;
    CUEMORA_CONTROL(QGroupBox, chargeGroup);
    CUEMORA_CONTROL(QLabel, 作用透明标签);
    CUEMORA_CONTROL(QLabel, 作用透明标签1);
    CUEMORA_CONTROL(QLabel, startLabel);
    CUEMORA_CONTROL(QLineEdit, startEdit);
    CUEMORA_CONTROL(QLabel, hoursLabel);
    CUEMORA_CONTROL(QLineEdit, hoursEdit);
    CUEMORA_CONTROL(QLabel, hoursUnit);
    CUEMORA_CONTROL(QLabel, rateLabel);
    CUEMORA_CONTROL(QLineEdit, rateEdit);
    CUEMORA_CONTROL(QLabel, rateUnit);
    CUEMORA_CONTROL(QLabel, priceLabel);
    CUEMORA_CONTROL(QLineEdit, priceEdit);
    CUEMORA_CONTROL(QLabel, priceUnit);
    CUEMORA_CONTROL(QLabel, dueLabel);
    CUEMORA_CONTROL(QLineEdit, dueEdit);
    CUEMORA_CONTROL(QLabel, dueUnit);
    CUEMORA_CONTROL(QLabel, discountedLabel);
    CUEMORA_CONTROL(QLineEdit, discountedEdit);
    CUEMORA_CONTROL(QLabel, discountedUnit);
    CUEMORA_CONTROL(QGroupBox, goodsGroup);
    CUEMORA_CONTROL(QLabel, goodsSubtotalLabel);
    CUEMORA_CONTROL(QLineEdit, goodsSubtotalEdit);
    CUEMORA_CONTROL(QLabel, goodsSubtotalUnit);
    CUEMORA_CONTROL(QPushButton, detailsButton);
    CUEMORA_CONTROL(QLabel, totalLabel);
    CUEMORA_CONTROL(QLineEdit, totalEdit);
    CUEMORA_CONTROL(QLabel, totalUnit);
    CUEMORA_CONTROL(QLabel, paymentLabel);
    CUEMORA_CONTROL(QLineEdit, paymentEdit);
    CUEMORA_CONTROL(QLabel, paymentUnit);
    CUEMORA_CONTROL(QLabel, changeLabel);
    CUEMORA_CONTROL(QLineEdit, changeEdit);
    CUEMORA_CONTROL(QLabel, changeUnit);
    CUEMORA_CONTROL(QPushButton, 结账结束按钮);
    CUEMORA_CONTROL(QPushButton, printReceiptButton);
};

struct SalesWindowControls {
    explicit SalesWindowControls(const QWidget* window)
        : m_window(window) {}
    const QWidget* m_window;
    CUEMORA_CONTROL(QTabWidget, salesTabs);
    CUEMORA_CONTROL(QWidget, salesPage);
    CUEMORA_CONTROL(QLabel, goodsListLabel);
    CUEMORA_CONTROL(QListWidget, GoodsListBox);
    CUEMORA_CONTROL(QLabel, searchLabel);
    CUEMORA_CONTROL(QLineEdit, searchEdit);
    CUEMORA_CONTROL(QPushButton, 查找按钮);
    CUEMORA_CONTROL(QLabel, goodsNameLabel);
    CUEMORA_CONTROL(QLineEdit, goodsNameEdit);
    CUEMORA_CONTROL(QLabel, goodsPriceLabel);
    CUEMORA_CONTROL(QLineEdit, goodsPriceEdit);
    CUEMORA_CONTROL(QLabel, goodsQuantityLabel);
    CUEMORA_CONTROL(QLineEdit, goodsQuantityEdit);
    CUEMORA_CONTROL(QLabel, lineAmountLabel);
    CUEMORA_CONTROL(QLineEdit, lineAmountEdit);
    CUEMORA_CONTROL(QLabel, saleTotalLabel);
    CUEMORA_CONTROL(QLineEdit, saleTotalEdit);
    CUEMORA_CONTROL(QPushButton, 多个商品按钮);
    CUEMORA_CONTROL(QPushButton, 删除按钮);
    CUEMORA_CONTROL(QGroupBox, cashGroup);
    CUEMORA_CONTROL(QLabel, paidLabel);
    CUEMORA_CONTROL(QLineEdit, paidEdit);
    CUEMORA_CONTROL(QLabel, cashChangeLabel);
    CUEMORA_CONTROL(QLineEdit, cashChangeEdit);
    CUEMORA_CONTROL(QPushButton, 完成按钮);
    CUEMORA_CONTROL(QPushButton, printSaleReceiptButton);
    CUEMORA_CONTROL(QLabel, saleListLabel);
    CUEMORA_CONTROL(cuemora::GridView, SaleListGrid);
    CUEMORA_CONTROL(QGroupBox, tableChargeGroup);
    CUEMORA_CONTROL(QRadioButton, 单选框5);
    CUEMORA_CONTROL(QRadioButton, 单选框6);
    CUEMORA_CONTROL(QLabel, tableChargeListLabel);
    CUEMORA_CONTROL(cuemora::TableListBox, 开台组合框1);
    CUEMORA_CONTROL(QPushButton, 完成按钮1);
    CUEMORA_CONTROL(QWidget, stockPage);
    CUEMORA_CONTROL(cuemora::GridView, GoodsGrid);
    CUEMORA_CONTROL(QGroupBox, stockGroup);
    CUEMORA_CONTROL(QLabel, stockNameLabel);
    CUEMORA_CONTROL(QLineEdit, stockNameEdit);
    CUEMORA_CONTROL(QLabel, stockQuantityLabel);
    CUEMORA_CONTROL(QLineEdit, stockQuantityEdit);
    CUEMORA_CONTROL(QLabel, stockPriceLabel);
    CUEMORA_CONTROL(QLineEdit, stockPriceEdit);
    CUEMORA_CONTROL(QLabel, stockCodeLabel);
    CUEMORA_CONTROL(QLineEdit, stockCodeEdit);
    CUEMORA_CONTROL(QPushButton, 添加商品按钮);
    CUEMORA_CONTROL(QLabel, deleteNameLabel);
    CUEMORA_CONTROL(QLineEdit, deleteNameEdit);
    CUEMORA_CONTROL(QLabel, deleteNameUnit);
    CUEMORA_CONTROL(QPushButton, 删除商品按钮);
    CUEMORA_CONTROL(QLabel, stockAlarmLabel);
    CUEMORA_CONTROL(QLineEdit, stockAlarmEdit);
    CUEMORA_CONTROL(QLabel, stockAlarmUnit);
    CUEMORA_CONTROL(QPushButton, 保存数据按钮);
    CUEMORA_CONTROL(QPushButton, closeButton);
};

struct StatisticsWindowControls {
    explicit StatisticsWindowControls(const QWidget* window)
        : m_window(window) {}
    const QWidget* m_window;
    CUEMORA_CONTROL(cuemora::GridView, TakingsGrid);
    CUEMORA_CONTROL(QPushButton, statisticsButton);
    CUEMORA_CONTROL(QPushButton, dayCloseButton);
    CUEMORA_CONTROL(QPushButton, exportButton);
    CUEMORA_CONTROL(QPushButton, closeButton);
    CUEMORA_CONTROL(QTabBar, statisticsTabs);
    CUEMORA_CONTROL(QWidget, spanPage);
    CUEMORA_CONTROL(QLabel, spanFromLabel);
    CUEMORA_CONTROL(QDateEdit, spanFromEdit);
    CUEMORA_CONTROL(QLabel, spanToLabel);
    CUEMORA_CONTROL(QDateEdit, spanToEdit);
    CUEMORA_CONTROL(QPushButton, spanButton);
    CUEMORA_CONTROL(QLabel, spanNotice);
    CUEMORA_CONTROL(QTableView, spanTable);
};

struct AccountWindowControls {
    explicit AccountWindowControls(const QWidget* window)
        : m_window(window) {}
    const QWidget* m_window;
    CUEMORA_CONTROL(QGroupBox, loginGroup);
    CUEMORA_CONTROL(QLabel, accountLabel);
    CUEMORA_CONTROL(QLineEdit, accountEdit);
    CUEMORA_CONTROL(QLabel, accountHint);
    CUEMORA_CONTROL(QLabel, passwordLabel);
    CUEMORA_CONTROL(QLineEdit, passwordEdit);
    CUEMORA_CONTROL(QLabel, passwordHint);
    CUEMORA_CONTROL(QPushButton, enterButton);
    CUEMORA_CONTROL(QPushButton, changeButton);
    CUEMORA_CONTROL(QPushButton, closeButton);
};
