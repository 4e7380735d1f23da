#include "checkout/checkout.h"

#include "common/text_rules.h"
#include "tables/table_opening.h"

namespace cuemora {

CheckoutTexts FillCheckout(const TableRegister& tables, int n) {
    const GridStore& grid = tables.grid();
    CheckoutTexts t;
    t.start = grid.cellText(n, RegisterColumn::Start);
    t.hours = realToText(grid.cellNumber(n, RegisterColumn::Seconds) / 3600.0);
    t.rate = grid.cellText(n, RegisterColumn::Rate);
    t.price = grid.cellText(n, RegisterColumn::Price);
    t.goods = grid.cellText(n, RegisterColumn::GoodsTotal);
    t.due = realToText(textToNumber(t.hours) * textToNumber(t.price));
    t.afterDiscount = realToText(textToNumber(t.due) * textToNumber(t.rate) / 10.0);
    t.total = realToText(textToNumber(t.afterDiscount) + textToNumber(t.goods));
    t.tableNumber = integerToText(n);
    return t;
}

CheckoutStart StartCheckout(const TableRegister& tables, TableType type, int chosen, MessageService& messages) {
    if (type == TableType::None) {
        messages.inform(QStringLiteral("请选择类型"));
        return {};
    }
    if (chosen < 1) {
        messages.inform(QStringLiteral("请选择要结账的台号"));
        return {};
    }
    if (!tables.isTable(chosen)) {
        messages.inform(QStringLiteral("这张台已经不在台的列表里了，请重新选择使用中的台"));
        return {0, true};
    }
    if (!tables.isInUse(chosen)) {
        messages.inform(QStringLiteral("“%1”已经没有在使用，不能结账，请重新选择使用中的台").arg(tables.name(chosen)));
        return {0, true};
    }
    return {chosen, true};
}

int CheckoutByNumber(const TableRegister& tables, const QString& typed, MessageService& messages) {
    if (typed.isEmpty()) {
        messages.inform(QStringLiteral("请输入序号"));
        return 0;
    }
    const int n = typedTableNumber(tables, typed);
    if (n == 0)
        messages.inform(noSuchTableMessage(typed));
    return n;
}

QString ChangeText(const QString& payment, const QString& total) {
    return realToText(textToNumber(payment) - textToNumber(total));
}

QString checkoutQuestion() {
    return QStringLiteral("   是否结账？\r\n按 “ 是 ” 钮,关闭程序？。");
}

void FreeTable(TableRegister& tables, qint64 n) {
    if (!tables.isTable(n))
        return;
    const int row = static_cast<int>(n);
    GridStore& grid = tables.grid();
    for (int c :
         {RegisterColumn::Start, RegisterColumn::Seconds, RegisterColumn::GoodsNames, RegisterColumn::GoodsTotal})
        grid.setCell(row, c, QString());
    grid.setChecked(row, RegisterColumn::InUse, false);
}

bool ConfirmCheckout(TableRegister& tables, TakingsBook& takings, const ConfirmInput& input, MessageService& messages) {
    Message question{checkoutQuestion(), MessageButtons::YesNo, MessageIcon::Information};
    question.defaultButton = MessageButton::Yes;
    if (messages.show(question) != MessageButton::Yes)
        return false;
    takings.AddTakingsRows({{input.tableNumber + QStringLiteral("号台收费"), input.hours, input.total}}, messages);
    FreeTable(tables, truncateToWhole(textToNumber(input.tableNumber)));
    return true;
}

} // namespace cuemora
