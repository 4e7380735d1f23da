#pragma once

#include "store/grid_store.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace cuemora {

// What a receipt, or the printed close of a day, says: lines of a few kinds that a printer lays
// out at the width of its paper. The texts are those the windows showed, with the units their
// labels carry; nothing here is computed anew.
enum class ReceiptLineKind {
    Heading, // the room's name: centred, large
    Centred, // a title under the heading, or the closing words
    Text,    // a sentence, wrapped at the paper's width
    Field,   // a caption on the left ("共付："), its value on the right ("36.5元")
    Columns, // a row of goods: the name on the left, then figures right-aligned in columns
    Rule,    // a dashed line across the paper
};

struct ReceiptLine {
    ReceiptLineKind kind = ReceiptLineKind::Text;
    QString text{};          // Heading, Centred, Text: the text; Field: the caption
    QString value{};         // Field: the value with its unit
    QStringList columns{};   // Columns: the name, then the figures
    bool emphasised = false; // the sum that was paid: printed bold
};

struct Receipt {
    QList<ReceiptLine> lines;
};

// The widths the room prints at.
enum class PaperWidth { Roll58mm, Roll80mm, A4 };

// The characters a line of the paper holds: 32 on a 58 mm roll and 48 on an 80 mm roll (the
// printers' 12-dot font), 72 on an A4 page in a 10-point font.
int paperCharacters(PaperWidth paper);

// The cells a text takes in a monospaced font: an ASCII character one, a combining mark none,
// every other character two, as Chinese and full-width characters print on the room's roll
// printers (a character that is in truth narrower only leaves some room).
int textCells(const QString& text);

struct LaidOutLine {
    // Heading: printed in a font twice as wide and high, as roll printers print a title, so its
    // text holds at most half the paper's characters. Emphasised: printed bold.
    enum class Style { Normal, Heading, Emphasised };
    QString text; // never wider than the paper, never holding a line break
    Style style = Style::Normal;
};

// The receipt as lines of text for a paper `characters` cells wide (at least 16), to be printed in
// a monospaced font: long texts wrap, values stand right-aligned, and a row of goods whose name
// does not fit beside its figures puts the name on a line of its own above them. Line breaks and
// other control characters in the texts print as blanks; invisible format characters are left out.
QList<LaidOutLine> layOutReceipt(const Receipt& receipt, int characters);
// The same as plain text, one line each: a preview, a test, a printer that takes text.
QStringList receiptTextLines(const Receipt& receipt, int characters);

// The room's name as the receipts print it when none is set.
QString defaultRoomName();

// Puts a receipt together line by line, so that every receipt of the room reads alike.
class ReceiptBuilder {
public:
    void heading(const QString& words);
    // The room's name as heading; an empty name gives defaultRoomName().
    void roomHeading(const QString& roomName);
    void centred(const QString& words);
    void text(const QString& words);
    void field(const QString& caption, const QString& value, bool emphasised = false);
    void columns(const QStringList& columns);
    void rule();
    // A field of a date and time by the program's date-time rule; nothing for an invalid moment.
    void moment(const QString& caption, const QDateTime& when);
    Receipt take() { return std::move(m_receipt); }

private:
    void add(ReceiptLine line);
    Receipt m_receipt;
};

// The checkout window's texts at the moment "结账" was confirmed.
struct CheckoutReceiptInput {
    QString roomName;      // the setting; empty gives defaultRoomName()
    QDateTime checkedOut;  // when the checkout was confirmed
    QString tableNumber;   // the label in front of " 号台收费"
    QString tableName;     // the register's "台名称"
    QString start;         // "开时："
    QString hours;         // "时长："
    QString price;         // "单价："
    QString rate;          // "折率："
    QString due;           // "应付："
    QString afterDiscount; // "实付："
    QString goodsNames;    // the register's "记录商品名称": "、" before each name
    QString goods;         // "小计："
    QString total;         // "共付："
    QString payment;       // "付款："
    QString change;        // "找零："
};

Receipt checkoutReceipt(const CheckoutReceiptInput& input);

// One line of a cash sale: the sale list's "名称", "单价", "数量", "总价".
struct SaleReceiptLine {
    QString name;
    QString price;
    QString quantity;
    QString amount;
};

// The lines of the list of goods to sell, in the order the list shows them (newest first).
QList<SaleReceiptLine> saleReceiptLines(const GridStore& saleList);

struct CashSaleReceiptInput {
    QString roomName; // empty gives defaultRoomName()
    QDateTime sold;
    QList<SaleReceiptLine> lines;
    QString total;   // "总共付款："; when empty, the sum of the line amounts
    QString payment; // "付款金额："
    QString change;  // "找    零："
};

Receipt cashSaleReceipt(const CashSaleReceiptInput& input);

} // namespace cuemora
