#include "goods/goods_stock.h"

#include "common/cp936.h"
#include "common/text_rules.h"
#include "store/grid_file_guard.h"

namespace cuemora {

namespace {

enum GoodsColumn { Name = 0, Quantity = 1, Price = 2, Code = 3 };

const QByteArray& textOf(const Cell* cell) {
    static const QByteArray empty;
    return cell ? cell->text : empty;
}

} // namespace

GoodsStock::GoodsStock(const DataDirectory& data)
    : m_grid(GridStore::Definition::list(4, 76)) // the four columns fit the stock page
    , m_data(data) {}

QString GoodsStock::fileName() {
    return QStringLiteral("商品库存");
}

void GoodsStock::WriteGoodsHeader() {
    m_grid.setCell(0, Name, QStringLiteral("商品名称"));
    m_grid.setCell(0, Quantity, QStringLiteral("库存数量"));
    m_grid.setCell(0, Price, QStringLiteral("单价"));
    m_grid.setCell(0, Code, QStringLiteral("商品编码"));
}

QStringList GoodsStock::ReloadGoods(MessageService& messages) {
    WriteGoodsHeader();
    // A file that could be neither read nor moved aside is not read again: the stock on screen is
    // what this run has, and it is never saved over that file.
    if (!m_keptAside && loadKeepingDamaged(m_grid, m_data, fileName(), messages) == GridFileLoad::Unreadable) {
        m_keptAside = true;
        messages.show(
            Message{QStringLiteral("文件“%1”无法读取（%2），也无法改名保留。为了不覆盖它，这次运行不会保存商品；"
                                   "请把这个文件移走，然后重新启动程序。")
                        .arg(fileName(), m_grid.errorString()),
                    MessageButtons::Ok, MessageIcon::Warning});
    }
    return names();
}

QStringList GoodsStock::names() const {
    QStringList names;
    const int rows = m_grid.rowCount();
    names.reserve(rows);
    for (int r = 1; r < rows; ++r)
        names.append(m_grid.cellText(r, Name));
    return names;
}

bool GoodsStock::AddGoods(const QString& name, const QString& quantity, const QString& price, const QString& code,
                          MessageService& messages) {
    // The file keeps CP936 texts: a character it cannot hold would come back as "?".
    for (const QString& text : {name, quantity, price, code}) {
        if (!fitsCp936(text)) {
            messages.inform(unfitTextMessage(text));
            return false;
        }
    }
    const QByteArray nameBytes = toCp936(name);
    const QByteArray codeBytes = toCp936(code);
    bool found = false;
    const int rows = m_grid.rowCount();
    for (int r = 1; r < rows; ++r) {
        if (textOf(m_grid.cell(r, Name)) == nameBytes && textOf(m_grid.cell(r, Code)) == codeBytes) {
            found = true;
            m_grid.setCell(r, Quantity, realToText(m_grid.cellNumber(r, Quantity) + textToNumber(quantity)));
        }
    }
    if (found)
        return true;
    m_grid.insertRow(QString(), 1);
    m_grid.setCell(1, Name, name);
    m_grid.setCell(1, Quantity, quantity);
    m_grid.setCell(1, Price, price);
    m_grid.setCell(1, Code, code);
    return true;
}

void GoodsStock::DeleteGoods(const QString& name) {
    // A name the file cannot hold names no goods: its bytes, with "?" in place of the character,
    // would match goods that are really called so.
    if (!fitsCp936(name))
        return;
    const QByteArray nameBytes = toCp936(name);
    for (int r = 1; r < m_grid.rowCount();) {
        if (textOf(m_grid.cell(r, Name)) == nameBytes)
            m_grid.deleteRow(r); // the row below moves up into r and is looked at next
        else
            ++r;
    }
}

bool GoodsStock::SaveGoods(MessageService& messages) {
    if (m_keptAside) {
        messages.show(Message{
            QStringLiteral("商品没有保存：文件“%1”启动时无法读取，也无法改名保留，为了不覆盖它，这次运行不保存商品。"
                           "请把这个文件移走，然后重新启动程序。")
                .arg(fileName()),
            MessageButtons::Ok, MessageIcon::Warning});
        return false;
    }
    if (m_grid.saveToFile(m_data.filePath(fileName()), m_data.writer()))
        return true;
    messages.show(Message{QStringLiteral("商品没有保存到文件“%1”：%2\n商品还在屏幕上，但还没有存到磁盘。")
                              .arg(fileName(), m_grid.errorString()),
                          MessageButtons::Ok, MessageIcon::Warning});
    return false;
}

int GoodsStock::FindGoods(const QString& text) const {
    if (!fitsCp936(text))
        return -1; // as for DeleteGoods: no goods can be named so
    const QByteArray wanted = toCp936(text);
    int found = -1;
    const int rows = m_grid.rowCount();
    for (int r = 1; r < rows; ++r) {
        if (textOf(m_grid.cell(r, Name)) == wanted)
            found = r - 1;
        if (textOf(m_grid.cell(r, Code)) == wanted)
            found = r - 1;
    }
    return found;
}

int GoodsStock::itemStartingWith(const QString& typed) const {
    if (typed.isEmpty())
        return -1;
    const int rows = m_grid.rowCount();
    for (int r = 1; r < rows; ++r) {
        if (m_grid.cellText(r, Name).startsWith(typed, Qt::CaseInsensitive) ||
            m_grid.cellText(r, Code).startsWith(typed, Qt::CaseInsensitive))
            return r - 1;
    }
    return -1;
}

QString GoodsStock::itemPrice(int k) const {
    // After goods were deleted the list may hold more items than the stock has rows: such an item
    // has no price, and the text of an absent cell ("假") must not be shown as one.
    if (k < 0 || k + 1 >= m_grid.rowCount())
        return QString();
    return m_grid.cellText(k + 1, Price);
}

} // namespace cuemora
