#include "app/sales_window.h"

#include "app/window_keys.h"
#include "ui_sales_window.h"

namespace cuemora {

SalesWindow::SalesWindow(Room& room, Printing& printing, QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::SalesWindow>())
    , m_room(room)
    , m_printing(printing) {
    m_ui->setupUi(this);
    m_ui->GoodsGrid->setStore(&m_room.goods().grid());
    m_ui->SaleListGrid->setStore(&m_room.saleList().grid());
    // The stock changes through the boxes of its page and the sale list through picking goods.
    m_ui->GoodsGrid->setReadOnly(true);
    m_ui->SaleListGrid->setReadOnly(true);
    // The quantity is always 1: its box and ">>加" stay hidden, and the line amount stands in their
    // place. Nothing uses the stock alarm.
    m_ui->goodsQuantityLabel->hide();
    m_ui->goodsQuantityEdit->hide();
    m_ui->多个商品按钮->hide();
    m_ui->stockAlarmLabel->hide();
    m_ui->stockAlarmEdit->hide();
    m_ui->stockAlarmUnit->hide();
    connect(m_ui->closeButton, &QPushButton::clicked, this, &QWidget::hide);
    closeOnEscape(this);
    ConnectStock();
    ConnectSale();
    // The room loaded the goods as it opened.
    ShowGoodsList(m_room.goods().names());
}

SalesWindow::~SalesWindow() {
    m_ui->GoodsGrid->setStore(nullptr);
    m_ui->SaleListGrid->setStore(nullptr);
}

void SalesWindow::ShowGoodsList(const QStringList& names) {
    m_ui->searchEdit->setFocus();
    m_ui->GoodsListBox->clear();
    m_ui->GoodsListBox->addItems(names);
    m_room.saleList().WriteSaleHeader();
}

} // namespace cuemora
