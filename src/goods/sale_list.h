#pragma once

#include "common/messages.h"
#include "store/grid_store.h"
#include "tables/table_register.h"
#include "takings/takings_book.h"

#include <QList>
#include <QString>

namespace cuemora {

// What the sales page shows of the goods picked last.
struct PickedGoods {
    QString name;   // "商品名称："
    QString price;  // "商品单价："
    QString amount; // "商品付款：": price x quantity
};

// The list of goods to sell: one entry per pick under the header ("名称", "单价", "数量",
// "总价"), newest first. It is settled in cash or put on a table's account, and then emptied.
class SaleList {
public:
    SaleList();

    GridStore& grid() { return m_grid; }
    const GridStore& grid() const { return m_grid; }

    void WriteSaleHeader();
    // Inserts an entry as row 1; returns the new "总共付款：".
    QString AddToSaleList(const QString& name, const QString& price, const QString& quantity, const QString& amount);
    // Removes the entry that has the focus (nothing when no entry has it); returns the new total.
    QString RemoveFromSaleList();
    // The sum of the line amounts, as text ("0" for none).
    QString UpdateSaleTotal() const;
    // One takings row per entry, in list order: name, quantity, line amount.
    QList<TakingsRow> takingsRows() const;
    // Empties the list down to its header row.
    void clearList();

private:
    GridStore m_grid;
};

// "商品付款：" for a price and a quantity.
QString LineAmount(const QString& price, const QString& quantity);

// "找    零：": the payment against the total, or against the line amount while the total is empty.
QString SaleChange(const QString& paid, const QString& total, const QString& lineAmount);

// "结账" of the cash group: records every entry in today's takings, the last entry on top.
// Returns whether they are on disk (a failure has been shown with the entries' texts).
bool CashCheckout(const SaleList& sale, TakingsBook& takings, MessageService& messages);

// "记录": puts every entry on the account of table n (chosen = its number, -1 when none):
// "、" and the name appended to its goods names, the amount added to its goods total. Refused
// with a message, changing nothing, when no table is chosen or the table is no longer in use.
bool ChargeToTable(const SaleList& sale, TableRegister& tables, int chosen, MessageService& messages);

} // namespace cuemora
