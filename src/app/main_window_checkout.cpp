// The group "结账" of the main window, and the day query of "营业统计".
#include "app/main_window.h"

#include "app/checkout_window.h"
#include "app/statistics_window.h"
#include "checkout/checkout.h"
#include "tables/table_lists.h"
#include "ui_main_window.h"

namespace cuemora {

void MainWindow::ConnectCheckout() {
    connect(m_ui->结账组合框, &TableListBox::aboutToDropDown, this, &MainWindow::FillCheckoutList);
    connect(m_ui->结账按钮, &QPushButton::clicked, this, &MainWindow::StartCheckout);
    connect(m_ui->输号结账按钮, &QPushButton::clicked, this, &MainWindow::CheckoutByNumber);
    connect(m_ui->checkoutNumberEdit, &QLineEdit::returnPressed, this, &MainWindow::CheckoutByNumber);
    connect(m_ui->findButton, &QPushButton::clicked, this, &MainWindow::FindDay);
    connect(m_ui->queryDateEdit, &QLineEdit::returnPressed, this, &MainWindow::FindDay);
    m_statistics->setQuery([this] { return m_ui->queryDateEdit->text(); });
}

void MainWindow::FillCheckoutList() {
    m_ui->结账组合框->setTables(
        FillTableList(m_room.tables(), ListedTables::InUse, chosenType(m_ui->单选框3, m_ui->单选框4)));
}

void MainWindow::StartCheckout() {
    const CheckoutStart start = cuemora::StartCheckout(m_room.tables(), chosenType(m_ui->单选框3, m_ui->单选框4),
                                                       m_ui->结账组合框->chosenTable(), m_room.messages());
    if (start.table != 0)
        m_checkout->FillCheckout(start.table);
    if (start.clearList)
        m_ui->结账组合框->clear(); // the next checkout starts from a list built anew
}

void MainWindow::CheckoutByNumber() {
    const int n = cuemora::CheckoutByNumber(m_room.tables(), m_ui->checkoutNumberEdit->text(), m_room.messages());
    if (n == 0)
        return; // refused with a message; the number stays for the operator to correct
    m_checkout->FillCheckout(n);
    m_ui->checkoutNumberEdit->clear();
}

void MainWindow::FindDay() {
    if (!m_room.requireLogin())
        return;
    m_statistics->FindDay(m_ui->queryDateEdit->text());
}

} // namespace cuemora
