// The page "商品销售" of the sales window: the list of goods to sell, settled in cash or on the
// account of a table in use.
#include "app/sales_window.h"

#include "app/printing.h"
#include "app/table_list_box.h"
#include "app/window_keys.h"
#include "tables/table_lists.h"
#include "ui_sales_window.h"

namespace cuemora {

void SalesWindow::ConnectSale() {
    connect(m_ui->GoodsListBox, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { PickGoods(m_ui->GoodsListBox->row(item)); });
    connect(m_ui->多个商品按钮, &QPushButton::clicked, this, &SalesWindow::AddToSaleList);
    connect(m_ui->删除按钮, &QPushButton::clicked, this, &SalesWindow::RemoveFromSaleList);
    connect(m_ui->goodsQuantityEdit, &QLineEdit::textChanged, this, &SalesWindow::UpdateLineAmount);
    connect(m_ui->paidEdit, &QLineEdit::textChanged, this, &SalesWindow::UpdateChange);
    connect(m_ui->完成按钮, &QPushButton::clicked, this, &SalesWindow::CashCheckout);
    connect(m_ui->paidEdit, &QLineEdit::returnPressed, this, &SalesWindow::CashCheckout);
    connect(m_ui->GoodsListBox, &GoodsListView::picked, this, &SalesWindow::PickGoods);
    m_ui->GoodsListBox->setFinder([this](const QString& typed) { return m_room.goods().itemStartingWith(typed); });
    m_ui->printSaleReceiptButton->setShortcut(QKeySequence::Print);
    connect(m_ui->printSaleReceiptButton, &QPushButton::clicked, this, &SalesWindow::PrintSaleReceipt);
    connect(m_ui->开台组合框1, &TableListBox::aboutToDropDown, this, &SalesWindow::FillTableList);
    connect(m_ui->完成按钮1, &QPushButton::clicked, this, &SalesWindow::ChargeToTable);
}

void SalesWindow::PickGoods(int item) {
    if (item < 0)
        return;
    m_ui->paidEdit->setFocus();
    // The name comes from the list and the price from the stock row at the same place: until the
    // next reload the two may differ, after goods were added or deleted.
    m_ui->goodsNameEdit->setText(m_ui->GoodsListBox->item(item)->text());
    m_ui->goodsPriceEdit->setText(m_room.goods().itemPrice(item));
    m_ui->lineAmountEdit->setText(LineAmount(m_ui->goodsPriceEdit->text(), m_ui->goodsQuantityEdit->text()));
    AddToSaleList();
}

void SalesWindow::AddToSaleList() {
    m_ui->saleTotalEdit->setText(
        m_room.saleList().AddToSaleList(m_ui->goodsNameEdit->text(), m_ui->goodsPriceEdit->text(),
                                        m_ui->goodsQuantityEdit->text(), m_ui->lineAmountEdit->text()));
}

void SalesWindow::RemoveFromSaleList() {
    m_ui->saleTotalEdit->setText(m_room.saleList().RemoveFromSaleList());
}

void SalesWindow::UpdateLineAmount() {
    m_ui->lineAmountEdit->setText(LineAmount(m_ui->goodsPriceEdit->text(), m_ui->goodsQuantityEdit->text()));
}

void SalesWindow::UpdateChange() {
    m_ui->cashChangeEdit->setText(
        SaleChange(m_ui->paidEdit->text(), m_ui->saleTotalEdit->text(), m_ui->lineAmountEdit->text()));
}

void SalesWindow::FillTableList() {
    m_ui->开台组合框1->setTables(
        cuemora::FillTableList(m_room.tables(), ListedTables::InUse, chosenType(m_ui->单选框5, m_ui->单选框6)));
}

void SalesWindow::CashCheckout() {
    // The cash has been taken: when the rows could not be saved the operator has been shown them to
    // write down, as at a table's checkout, and the sale is over all the same.
    m_room.CashCheckout();
    ResetSalePage();
}

void SalesWindow::PrintSaleReceipt() {
    // The lines and the boxes as the customer saw them, before the sale empties them.
    CashSaleReceiptInput receipt;
    receipt.lines = saleReceiptLines(m_room.saleList().grid());
    receipt.total = m_ui->saleTotalEdit->text();
    receipt.payment = m_ui->paidEdit->text();
    receipt.change = m_ui->cashChangeEdit->text();
    // The cash is taken whether or not its rows reached the file (the operator has then been shown
    // them to write down), so the customer gets the receipt all the same.
    m_room.CashCheckout();
    receipt.sold = m_room.clock().now();
    m_printing.PreviewAndPrint(this, PrintKind::Receipt, QStringLiteral("打印小票"),
                               [receipt](const QString& roomName) {
                                   CashSaleReceiptInput named = receipt;
                                   named.roomName = roomName;
                                   return cashSaleReceipt(named);
                               });
    ResetSalePage();
}

void SalesWindow::ChargeToTable() {
    // A refused charge (no table chosen, or one that is no longer in use) keeps the sale on screen
    // for another table.
    if (m_room.ChargeToTable(m_ui->开台组合框1->chosenTable()))
        ResetSalePage();
}

void SalesWindow::ResetSalePage() {
    // The payment is emptied before the change, so that the change it recomputes does not stay.
    for (QLineEdit* box : {m_ui->goodsNameEdit, m_ui->goodsPriceEdit, m_ui->lineAmountEdit, m_ui->searchEdit,
                           m_ui->paidEdit, m_ui->cashChangeEdit, m_ui->saleTotalEdit})
        box->clear();
    hide();
    ShowGoodsList(m_room.EndSale());
}

} // namespace cuemora
