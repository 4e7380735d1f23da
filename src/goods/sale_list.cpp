#include "goods/sale_list.h"

#include "common/cp936.h"
#include "common/text_rules.h"

namespace cuemora {

namespace {

enum SaleColumn { Name = 0, Price = 1, Quantity = 2, Amount = 3 };

} // namespace

SaleList::SaleList()
    : m_grid(GridStore::Definition::list(4, 56)) { // the four columns fit the sales page
    WriteSaleHeader();
}

void SaleList::WriteSaleHeader() {
    m_grid.setCell(0, Name, QStringLiteral("名称"));
    m_grid.setCell(0, Price, QStringLiteral("单价"));
    m_grid.setCell(0, Quantity, QStringLiteral("数量"));
    m_grid.setCell(0, Amount, QStringLiteral("总价"));
}

QString SaleList::AddToSaleList(const QString& name, const QString& price, const QString& quantity,
                                const QString& amount) {
    m_grid.insertRow(QString(), 1);
    m_grid.setCell(1, Name, name);
    m_grid.setCell(1, Price, price);
    m_grid.setCell(1, Quantity, quantity);
    m_grid.setCell(1, Amount, amount);
    return UpdateSaleTotal();
}

QString SaleList::RemoveFromSaleList() {
    const int r = m_grid.focusRow();
    // Only entries go; the header row is never removed.
    if (r >= m_grid.fixedRowCount())
        m_grid.deleteRow(r);
    return UpdateSaleTotal();
}

QString SaleList::UpdateSaleTotal() const {
    double total = 0.0;
    const int rows = m_grid.rowCount();
    for (int r = 1; r < rows; ++r)
        total += m_grid.cellNumber(r, Amount);
    return realToText(total);
}

QList<TakingsRow> SaleList::takingsRows() const {
    QList<TakingsRow> rows;
    const int count = m_grid.rowCount();
    for (int r = 1; r < count; ++r)
        rows.append({m_grid.cellText(r, Name), m_grid.cellText(r, Quantity), m_grid.cellText(r, Amount)});
    return rows;
}

void SaleList::clearList() {
    m_grid.resetGrid();
    m_grid.setRowCount(1);
    WriteSaleHeader();
}

QString LineAmount(const QString& price, const QString& quantity) {
    return realToText(textToNumber(price) * textToNumber(quantity));
}

QString SaleChange(const QString& paid, const QString& total, const QString& lineAmount) {
    const QString& against = total.isEmpty() ? lineAmount : total;
    return realToText(textToNumber(paid) - textToNumber(against));
}

bool CashCheckout(const SaleList& sale, TakingsBook& takings, MessageService& messages) {
    return takings.AddTakingsRows(sale.takingsRows(), messages);
}

bool ChargeToTable(const SaleList& sale, TableRegister& tables, int chosen, MessageService& messages) {
    if (chosen < 0) {
        messages.inform(QStringLiteral("请选择要记账的台"));
        return false;
    }
    // The list of tables in use is a snapshot; goods put on a table that has been checked out
    // since would be charged to its next guests.
    if (!tables.isTable(chosen)) {
        messages.inform(QStringLiteral("这张台已经不在台的列表里了，不能记账，请重新选择使用中的台"));
        return false;
    }
    if (!tables.isInUse(chosen)) {
        messages.inform(QStringLiteral("“%1”已经没有在使用，不能记账，请重新选择使用中的台").arg(tables.name(chosen)));
        return false;
    }
    GridStore& grid = tables.grid();
    const GridStore& entries = sale.grid();
    const QByteArray separator = toCp936(QStringLiteral("、"));
    const int rows = entries.rowCount();
    for (int r = 1; r < rows; ++r) {
        // Joined as the bytes the cells hold, so the names already there stay exactly as they were.
        const Cell* names = grid.cell(chosen, RegisterColumn::GoodsNames);
        const Cell* name = entries.cell(r, Name);
        grid.setCell(chosen, RegisterColumn::GoodsNames, CellKind::Text,
                     (names ? names->text : QByteArray()) + separator + (name ? name->text : QByteArray()));
        grid.setCell(chosen, RegisterColumn::GoodsTotal,
                     realToText(grid.cellNumber(chosen, RegisterColumn::GoodsTotal) + entries.cellNumber(r, Amount)));
    }
    return true;
}

} // namespace cuemora
