// The page "库存管理" of the sales window, and finding goods on the page "商品销售".
#include "app/sales_window.h"

#include "ui_sales_window.h"

namespace cuemora {

void SalesWindow::ConnectStock() {
    connect(m_ui->添加商品按钮, &QPushButton::clicked, this, &SalesWindow::AddGoods);
    connect(m_ui->删除商品按钮, &QPushButton::clicked, this, &SalesWindow::DeleteGoods);
    connect(m_ui->保存数据按钮, &QPushButton::clicked, this, &SalesWindow::SaveGoods);
    connect(m_ui->查找按钮, &QPushButton::clicked, this, &SalesWindow::FindGoods);
    connect(m_ui->searchEdit, &QLineEdit::returnPressed, this, &SalesWindow::FindGoods);
}

void SalesWindow::AddGoods() {
    // The boxes keep what was typed, so that the same goods can be added again at once.
    m_room.goods().AddGoods(m_ui->stockNameEdit->text(), m_ui->stockQuantityEdit->text(), m_ui->stockPriceEdit->text(),
                            m_ui->stockCodeEdit->text(), m_room.messages());
}

void SalesWindow::DeleteGoods() {
    m_room.goods().DeleteGoods(m_ui->deleteNameEdit->text());
}

void SalesWindow::SaveGoods() {
    if (m_room.SaveGoods())
        ShowGoodsList(m_room.ReloadGoods());
}

void SalesWindow::FindGoods() {
    const int item = m_room.goods().FindGoods(m_ui->searchEdit->text());
    // The goods are found in the stock, which may hold more rows than the list until the next save.
    if (item >= 0 && item < m_ui->GoodsListBox->count())
        m_ui->GoodsListBox->setCurrentRow(item);
}

} // namespace cuemora
