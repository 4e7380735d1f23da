#pragma once

#include "common/messages.h"
#include "tables/table_lists.h"
#include "tables/table_register.h"
#include "takings/takings_book.h"

#include <QString>

namespace cuemora {

// The boxes of the checkout window for one table, as texts.
struct CheckoutTexts {
    QString tableNumber;   // the label in front of " 号台收费"
    QString start;         // "开时："
    QString hours;         // "时长：": seconds used / 3600
    QString rate;          // "折率："
    QString price;         // "单价："
    QString goods;         // "小计：": goods on the table's account
    QString due;           // "应付：": hours x price
    QString afterDiscount; // "实付：": due x rate / 10
    QString total;         // "共付：": after discount + goods
};

// The charge of table n. Each box is computed from the text of the box before it, so every step
// works on the 13-digit text the operator sees, and no amount is rounded to whole units.
CheckoutTexts FillCheckout(const TableRegister& tables, int n);

// What a press of "开始结账" leads to, for the window to carry out.
struct CheckoutStart {
    int table = 0;          // the table to check out, 0 after a message
    bool clearList = false; // the list of tables in use is to be emptied
};

// "开始结账": the table picked from the list of tables in use (chosen = its number, -1 when none).
// The list is a snapshot of the moment it dropped down: a table checked out since (by its number,
// say) or gone with "重设" is refused, so that it is never charged twice nor a row of nothing.
CheckoutStart StartCheckout(const TableRegister& tables, TableType type, int chosen, MessageService& messages);

// "输号结账": the table the typed number names; 0 after a message when it names none, so that a
// checkout never acts on the header row or on a row that does not exist.
int CheckoutByNumber(const TableRegister& tables, const QString& typed, MessageService& messages);

// "找零：" for a payment against the total.
QString ChangeText(const QString& payment, const QString& total);

// The question "结账" asks.
QString checkoutQuestion();

// What the checkout window holds when "结账" is pressed.
struct ConfirmInput {
    QString tableNumber;
    QString hours;
    QString total;
};

// "结账": asks, and on Yes records the takings row "N号台收费" | hours | total of today and frees
// table N. True when the operator said Yes. Whatever the answer the window then hides and the
// pictures are refreshed (the caller does both).
bool ConfirmCheckout(TableRegister& tables, TakingsBook& takings, const ConfirmInput& input, MessageService& messages);

// Frees table n: its use columns emptied and its box unticked.
void FreeTable(TableRegister& tables, qint64 n);

} // namespace cuemora
