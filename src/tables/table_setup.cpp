#include "tables/table_setup.h"

#include "common/cp936.h"
#include "common/text_rules.h"

#include <utility>

namespace cuemora {

QString tableTextRefusal(int column, const QString& text) {
    if (text.isEmpty()) {
        switch (column) {
        case RegisterColumn::Type:
            return QStringLiteral("没有设置台类型");
        case RegisterColumn::Name:
            return QStringLiteral("没有设置名称");
        case RegisterColumn::Price:
            return QStringLiteral("没有设置单价");
        case RegisterColumn::Rate:
            return QStringLiteral("没有设置折率");
        default:
            return QString();
        }
    }
    if (!fitsCp936(text))
        return unfitTextMessage(text);
    if (column == RegisterColumn::Price && !readsAsNumber(text))
        return QStringLiteral("单价“%1”不是数字，请输入每小时的价钱").arg(text);
    if (column == RegisterColumn::Rate && !readsAsNumber(text))
        return QStringLiteral("折率“%1”不是数字，请输入折率（10就是100%）").arg(text);
    return QString();
}

int AddTables(TableRegister& tables, const AddTablesInput& input, MessageService& messages) {
    // A price such as 15元 is kept as typed and read by its leading number at checkout.
    const struct {
        bool missing;
        const char16_t* message;
    } checks[] = {
        {input.count.isEmpty(), u"没有设置数量"}, {input.type.isEmpty(), u"没有设置台类型"},
        {input.name.isEmpty(), u"没有设置名称"},  {input.price.isEmpty(), u"没有设置单价"},
        {input.rate.isEmpty(), u"没有设置折率"},
    };
    for (const auto& check : checks) {
        if (check.missing) {
            messages.inform(QString::fromUtf16(check.message));
            return 0;
        }
    }
    for (const QString& text : {input.name, input.price, input.rate}) {
        if (!fitsCp936(text)) {
            messages.inform(unfitTextMessage(text));
            return 0;
        }
    }
    for (const auto& [column, text] :
         {std::pair{RegisterColumn::Price, input.price}, {RegisterColumn::Rate, input.rate}}) {
        if (const QString refusal = tableTextRefusal(column, text); !refusal.isEmpty()) {
            messages.inform(refusal);
            return 0;
        }
    }
    const qint64 count = truncateToWhole(textToNumber(input.count));
    if (count > kMostTablesPerBatch) {
        messages.inform(QStringLiteral("台数量太大：一次最多添加%1台").arg(kMostTablesPerBatch));
        return 0;
    }
    GridStore& grid = tables.grid();
    for (int i = 1; i <= count; ++i) {
        grid.insertRow();
        const int r = grid.rowCount() - 1;
        grid.setCell(r, RegisterColumn::Type, input.type);
        grid.setCell(r, RegisterColumn::Name, integerToText(i) + QStringLiteral("号") + input.name);
        grid.setCell(r, RegisterColumn::Price, input.price);
        grid.setCell(r, RegisterColumn::Rate, input.rate);
    }
    tables.RenumberTables();
    return count > 0 ? static_cast<int>(count) : 0;
}

} // namespace cuemora
