#pragma once

#include "common/data_directory.h"
#include "common/messages.h"
#include "store/grid_store.h"

#include <QString>
#include <QStringList>

namespace cuemora {

// The goods the room sells: one row per kind of goods under the header row ("商品名称",
// "库存数量", "单价", "商品编码"), newest first, kept in the file "商品库存" and written only by
// "保存数据".
class GoodsStock {
public:
    explicit GoodsStock(const DataDirectory& data);

    GridStore& grid() { return m_grid; }
    const GridStore& grid() const { return m_grid; }

    static QString fileName(); // "商品库存"

    // Writes the headings and loads the file; returns the names for the goods list, item k
    // standing for row k + 1. A file that exists but cannot be read is put aside under a new name
    // (the operator is told), so that the next save does not write over it; one that cannot even
    // be moved is never written over: the operator is told once, and saves are refused until the
    // program is started again.
    QStringList ReloadGoods(MessageService& messages);
    // The names for the goods list as the stock stands.
    QStringList names() const;

    // Same name and code, byte for byte: the quantity is added to every such row; otherwise new
    // goods are inserted as row 1 with the texts as typed. A text with a character that the file
    // cannot hold is refused with a message (false), and nothing changes.
    bool AddGoods(const QString& name, const QString& quantity, const QString& price, const QString& code,
                  MessageService& messages);
    // Removes every row of that name. A name with a character the file cannot hold matches nothing.
    void DeleteGoods(const QString& name);
    // Writes the file. A save that fails is reported and the file stays as it was; the caller then
    // keeps the unsaved goods on screen instead of reloading.
    bool SaveGoods(MessageService& messages);
    // The item of the goods list whose name or code is the search text, the last match winning;
    // -1 when nothing matches (always for a text with a character the file cannot hold).
    int FindGoods(const QString& text) const;
    // The first item of the goods list whose name or code begins with the typed text, case aside
    // (as typing into a list jumps); -1 when none does.
    int itemStartingWith(const QString& typed) const;
    // The unit price of the goods that item k of the list stands for; empty when no row stands behind
    // the item.
    QString itemPrice(int k) const;

private:
    void WriteGoodsHeader();

    GridStore m_grid;
    const DataDirectory& m_data;
    bool m_keptAside = false; // the file could be neither read nor moved aside
};

} // namespace cuemora
