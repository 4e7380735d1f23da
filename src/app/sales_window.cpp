#include "app/sales_window.h"

#include "ui_sales_window.h"

namespace cuemora {

SalesWindow::SalesWindow(const AppServices& services, QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::SalesWindow>())
    , m_services(services)
    , m_goods(m_services.data) {
    m_ui->setupUi(this);
    m_ui->GoodsGrid->setStore(&m_goods.grid());
    m_ui->SaleListGrid->setStore(&m_sale.grid());
    // The quantity is always 1: its box and ">>加" stay hidden, and the line amount stands in their
    // place. Nothing uses the stock alarm.
    m_ui->goodsQuantityLabel->hide();
    m_ui->goodsQuantityEdit->hide();
    m_ui->多个商品按钮->hide();
    m_ui->stockAlarmLabel->hide();
    m_ui->stockAlarmEdit->hide();
    m_ui->stockAlarmUnit->hide();
    connect(m_ui->closeButton, &QPushButton::clicked, this, &QWidget::hide);
    ConnectStock();
    ConnectSale();
    ReloadGoods();
}

SalesWindow::~SalesWindow() {
    m_ui->GoodsGrid->setStore(nullptr);
    m_ui->SaleListGrid->setStore(nullptr);
}

void SalesWindow::setRoom(TableRegister& tables, TakingsBook& takings) {
    m_tables = &tables;
    m_takings = &takings;
}

void SalesWindow::ReloadGoods() {
    m_ui->searchEdit->setFocus();
    m_ui->GoodsListBox->clear();
    // Item k of the list stands for row k + 1 of the goods from here until the next reload, even
    // while the operator adds or deletes goods in between.
    m_ui->GoodsListBox->addItems(m_goods.ReloadGoods(m_services.messages));
    m_sale.WriteSaleHeader();
}

} // namespace cuemora
