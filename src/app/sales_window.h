#pragma once

#include "room/room.h"

#include <QWidget>

#include <memory>

namespace Ui {
class SalesWindow;
}

namespace cuemora {

class Printing;

// Selling goods and keeping the goods stock. Created hidden with the main window; "卖东西" shows
// it and "关     闭" hides it again, keeping the sale in progress as it is. It shows the room's goods
// stock and list of goods to sell; a sale goes into the day's takings or onto a table's account.
class SalesWindow : public QWidget {
    Q_OBJECT

public:
    SalesWindow(Room& room, Printing& printing, QWidget* parent = nullptr);
    ~SalesWindow() override;

private:
    void ConnectStock(); // sales_window_goods.cpp
    void ConnectSale();  // sales_window_sale.cpp

    // Rebuilds the goods list from the names given; item k stands for row k + 1 of the goods from
    // here until the next reload, even while the operator adds or deletes goods in between.
    void ShowGoodsList(const QStringList& names);

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
    // "打印小票" (Ctrl+P) of the cash payment: the cash sale, then the preview of its receipt, then
    // the page emptied as after "结账".
    void PrintSaleReceipt();
    void ChargeToTable();
    // Empties the page and the sale list, hides the window and reloads the goods: a sale is over.
    void ResetSalePage();

    std::unique_ptr<Ui::SalesWindow> m_ui;
    Room& m_room;
    Printing& m_printing;
};

} // namespace cuemora
