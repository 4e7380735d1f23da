#pragma once

#include "app/app_services.h"
#include "goods/goods_stock.h"
#include "goods/sale_list.h"
#include "tables/table_register.h"
#include "takings/takings_book.h"

#include <QWidget>

#include <memory>

namespace Ui {
class SalesWindow;
}

namespace cuemora {

// Selling goods and keeping the goods stock. Created hidden with the main window; "卖东西" shows
// it and "关     闭" hides it again, keeping the sale in progress as it is. It owns the goods stock
// and the list of goods to sell; a sale goes into the day's takings or onto a table's account.
class SalesWindow : public QWidget {
    Q_OBJECT

public:
    explicit SalesWindow(const AppServices& services, QWidget* parent = nullptr);
    ~SalesWindow() override;

    // The controls by their names: ui()->GoodsListBox, ui()->完成按钮, ui()->开台组合框1, ...
    Ui::SalesWindow* ui() const { return m_ui.get(); }
    const AppServices& services() const { return m_services; }
    GoodsStock& goods() { return m_goods; }
    SaleList& saleList() { return m_sale; }
    // The register whose tables in use take goods on account, and the takings of the day.
    void setRoom(TableRegister& tables, TakingsBook& takings);

private:
    void ConnectStock(); // sales_window_goods.cpp
    void ConnectSale();  // sales_window_sale.cpp

    // Loads the goods file and rebuilds the goods list from it; the sale list keeps its entries.
    void ReloadGoods();

    // --- The page "库存管理" (sales_window_goods.cpp) -------------------------------------------

    void AddGoods();
    void DeleteGoods();
    // Reloads only after a save that landed: a failed one keeps the unsaved goods on screen.
    void SaveGoods();
    void FindGoods();

    // --- The page "商品销售" (sales_window_sale.cpp) ---------------------------------------------

    void PickGoods(int item);
    void AddToSaleList();
    void RemoveFromSaleList();
    void UpdateLineAmount();
    void UpdateChange();
    void FillTableList();
    void CashCheckout();
    void ChargeToTable();
    // Empties the page and the sale list, hides the window and reloads the goods: a sale is over.
    void ResetSalePage();

    std::unique_ptr<Ui::SalesWindow> m_ui;
    AppServices m_services;
    GoodsStock m_goods;
    SaleList m_sale;
    TableRegister* m_tables = nullptr;
    TakingsBook* m_takings = nullptr;
};

} // namespace cuemora
