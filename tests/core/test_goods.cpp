#include "common/safe_save.h"
#include "goods/goods_stock.h"
#include "goods/sale_list.h"
#include "support/room_fixture.h"
#include "takings/takings_book.h"

using namespace cuemora;
namespace col = RegisterColumn;

namespace {

QStringList column(const GridStore& grid, int c) {
    QStringList texts;
    for (int r = 1; r < grid.rowCount(); ++r)
        texts.append(grid.cellText(r, c));
    return texts;
}

} // namespace

class TestGoods : public QObject {
    Q_OBJECT

private Q_SLOTS:

    void addGoods_data();
    void addGoods();
    void addGoodsRefusesTextTheFileCannotHold();
    void deleteEveryRowOfTheName();
    void findGoodsLastMatchWins();
    void textTheFileCannotHoldMatchesNothing();
    void saveAndReload();
    void failedSaveKeepsTheFile();
    void unreadableStockFileIsKept();

    void saleList();
    void saleChange_data();
    void saleChange();
    void cashCheckoutLastEntryOnTop();
    void chargeToTable();
    void chargeToTableRefusesStalePick();
};

void TestGoods::addGoods_data() {
    QTest::addColumn<QString>("stock");
    QTest::addColumn<QString>("added");
    QTest::addColumn<QString>("result");
    QTest::newRow("fraction") << "10"
                              << "2.5"
                              << "12.5";
    QTest::newRow("whole numbers stay whole") << "2"
                                              << "3"
                                              << "5";
    QTest::newRow("stock not a number") << "abc"
                                        << "5"
                                        << "5";
    QTest::newRow("full-width quantity") << "1"
                                         << "２"
                                         << "3";
}

void TestGoods::addGoods() {
    QFETCH(QString, stock);
    QFETCH(QString, added);
    QFETCH(QString, result);
    TestRoom room;
    GoodsStock& goods = room->goods();
    QVERIFY(goods.AddGoods("可乐", stock, "3", "A1", room.messages));
    QVERIFY(goods.AddGoods("可乐", added, "9", "A1", room.messages)); // same goods: price kept
    QCOMPARE(goods.grid().rowCount(), 2);
    QCOMPARE(goods.grid().cellText(1, 1), result);
    QCOMPARE(goods.grid().cellText(1, 2), QStringLiteral("3"));
    QVERIFY(goods.AddGoods("可乐", "4", "3.5", "A2", room.messages)); // another code: new goods on top
    QCOMPARE(column(goods.grid(), 3), (QStringList{"A2", "A1"}));
    QVERIFY(goods.AddGoods("", "1", "1", "", room.messages));
    QVERIFY(goods.AddGoods("", "1", "1", "", room.messages)); // empty name and code match each other
    QCOMPARE(column(goods.grid(), 1), (QStringList{"2", "4", result}));
    QVERIFY(room.messages.shown().isEmpty());
}

void TestGoods::addGoodsRefusesTextTheFileCannotHold() {
    TestRoom room;
    GoodsStock& goods = room->goods();
    QVERIFY(!goods.AddGoods(QStringLiteral("冰淇淋🍦"), "1", "5", "B", room.messages));
    QCOMPARE(goods.grid().rowCount(), 1);
    QCOMPARE(room.messages.shown().size(), 1);
}

void TestGoods::deleteEveryRowOfTheName() {
    TestRoom room;
    GoodsStock& goods = room->goods();
    for (const QString& code : {u"1"_qs, u"2"_qs})
        goods.AddGoods("瓜子", "1", "2", code, room.messages);
    goods.AddGoods("可乐", "1", "3", "3", room.messages);
    goods.AddGoods("瓜子", "1", "2", "4", room.messages);
    // rows: 瓜子(4), 可乐, 瓜子(2), 瓜子(1): two adjacent rows of the name at the end
    goods.DeleteGoods("瓜子");
    QCOMPARE(column(goods.grid(), 0), QStringList{"可乐"});
    goods.DeleteGoods("没有的");
    QCOMPARE(goods.grid().rowCount(), 2);
}

void TestGoods::findGoodsLastMatchWins() {
    TestRoom room;
    GoodsStock& goods = room->goods();
    goods.AddGoods("X9", "1", "1", "c1", room.messages);
    goods.AddGoods("茶", "1", "1", "X9", room.messages);
    goods.AddGoods("X9", "1", "1", "c3", room.messages);
    // Rows (newest first): 1 X9/c3, 2 茶/X9, 3 X9/c1. X9 is a name in rows 1 and 3 and a code in
    // row 2; the last match, row 3, is item 2 of the list.
    QCOMPARE(goods.FindGoods("X9"), 2);
    QCOMPARE(goods.FindGoods("茶"), 1);
    QCOMPARE(goods.FindGoods("x9"), -1); // whole text, case counts
    QCOMPARE(goods.FindGoods("X"), -1);
}

void TestGoods::textTheFileCannotHoldMatchesNothing() {
    TestRoom room;
    GoodsStock& goods = room->goods();
    // Goods really named "?" and coded "?": a typed character CP936 lacks would become that byte.
    goods.AddGoods("?", "1", "1", "?", room.messages);
    QCOMPARE(goods.FindGoods(QStringLiteral("🍦")), -1);
    goods.DeleteGoods(QStringLiteral("🍦"));
    QCOMPARE(column(goods.grid(), 0), QStringList{"?"});
    QCOMPARE(goods.FindGoods("?"), 0);
}

void TestGoods::saveAndReload() {
    TestRoom room;
    GoodsStock& goods = room->goods();
    QVERIFY(goods.ReloadGoods(room.messages).isEmpty());
    goods.AddGoods("可乐", "10", "3", "A1", room.messages);
    goods.AddGoods("瓜子", "5", "2.5", "B1", room.messages);
    QVERIFY(goods.SaveGoods(room.messages));
    GoodsStock again(room.data);
    QCOMPARE(again.ReloadGoods(room.messages), (QStringList{"瓜子", "可乐"}));
    QCOMPARE(again.itemPrice(0), QStringLiteral("2.5"));
    // An item with no row behind it (the list is older than the stock) has no price: neither the
    // text of the absent cell ("假") nor the header's caption.
    QCOMPARE(again.itemPrice(2), QString());
    QCOMPARE(again.itemPrice(-1), QString());
    QCOMPARE(again.grid().cellText(0, 3), QStringLiteral("商品编码"));
    QVERIFY(room.messages.shown().isEmpty());
}

void TestGoods::failedSaveKeepsTheFile() {
    TestRoom room;
    GoodsStock& goods = room->goods();
    goods.AddGoods("可乐", "10", "3", "A1", room.messages);
    QVERIFY(goods.SaveGoods(room.messages));
    const QByteArray saved = room.fileBytes(GoodsStock::fileName());
    goods.AddGoods("瓜子", "5", "2.5", "B1", room.messages);
    room.writer.failAfter(10);
    QVERIFY(!goods.SaveGoods(room.messages));
    QCOMPARE(room.fileBytes(GoodsStock::fileName()), saved);
    QCOMPARE(room.messages.shown().size(), 1);
    QCOMPARE(goods.grid().rowCount(), 3); // the unsaved goods are still there
}

void TestGoods::unreadableStockFileIsKept() {
    TestRoom room(TestRoom::NotOpened);
    const QByteArray junk = QByteArray("EGRD") + QByteArray(700, '\xff');
    QVERIFY(saveWholeFile(room.data.filePath(GoodsStock::fileName()), junk));
    QVERIFY(room->open());
    QVERIFY(room->goods().names().isEmpty());
    QCOMPARE(room.messages.shown().size(), 1);
    QCOMPARE(room.fileBytes(GoodsStock::fileName() + QStringLiteral(".无法读取1")), junk);
    QVERIFY(!room.fileExists(GoodsStock::fileName()));
}

void TestGoods::saleList() {
    SaleList sale;
    QCOMPARE(sale.UpdateSaleTotal(), QStringLiteral("0"));
    QCOMPARE(sale.AddToSaleList("瓜子", "2.5", "1", LineAmount("2.5", "1")), QStringLiteral("2.5"));
    QCOMPARE(sale.AddToSaleList("瓜子", "2.5", "1", LineAmount("2.5", "1")), QStringLiteral("5"));
    QCOMPARE(sale.AddToSaleList("啤酒", "", "1", LineAmount("", "1")), QStringLiteral("5"));
    QCOMPARE(column(sale.grid(), 0), (QStringList{"啤酒", "瓜子", "瓜子"}));
    // Without a focus nothing goes; the header row never does.
    QCOMPARE(sale.RemoveFromSaleList(), QStringLiteral("5"));
    sale.grid().setFocusCell(0, 0);
    QCOMPARE(sale.RemoveFromSaleList(), QStringLiteral("5"));
    QCOMPARE(sale.grid().cellText(0, 3), QStringLiteral("总价"));
    sale.grid().setFocusCell(2, 1);
    QCOMPARE(sale.RemoveFromSaleList(), QStringLiteral("2.5"));
    QCOMPARE(column(sale.grid(), 0), (QStringList{"啤酒", "瓜子"}));
    sale.clearList();
    QCOMPARE(sale.grid().rowCount(), 1);
    QCOMPARE(sale.grid().cellText(0, 0), QStringLiteral("名称"));
}

void TestGoods::saleChange_data() {
    QTest::addColumn<QString>("paid");
    QTest::addColumn<QString>("total");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("change");
    QTest::newRow("more") << "10"
                          << "7.5"
                          << "2.5"
                          << "2.5";
    QTest::newRow("less") << "5"
                          << "7.5"
                          << "2.5"
                          << "-2.5";
    QTest::newRow("no total yet: the line") << "5"
                                            << ""
                                            << "2.5"
                                            << "2.5";
    QTest::newRow("nothing paid") << ""
                                  << "7.5"
                                  << ""
                                  << "-7.5";
}

void TestGoods::saleChange() {
    QFETCH(QString, paid);
    QFETCH(QString, total);
    QFETCH(QString, line);
    QFETCH(QString, change);
    QCOMPARE(SaleChange(paid, total, line), change);
}

void TestGoods::cashCheckoutLastEntryOnTop() {
    TestRoom room;
    TakingsBook& takings = room->takings();
    SaleList& sale = room->saleList();
    sale.AddToSaleList("可乐", "3", "1", "3");
    sale.AddToSaleList("瓜子", "2.5", "1", "2.5");
    sale.AddToSaleList("啤酒", "5", "1", "5");
    // The list reads 啤酒, 瓜子, 可乐; each entry goes in under the header, so 可乐 ends on top.
    QVERIFY(CashCheckout(sale, takings, room.messages));
    GridStore day;
    QVERIFY(day.loadFromFile(room.data.filePath(QStringLiteral("2013年5月20日收入统计"))));
    QCOMPARE(column(day, 0), (QStringList{"可乐", "瓜子", "啤酒"}));
    QCOMPARE(column(day, 1), (QStringList{"1", "1", "1"}));
    QCOMPARE(column(day, 2), (QStringList{"3", "2.5", "5"}));
}

void TestGoods::chargeToTable() {
    TestRoom room;
    room.add(2, billiardType());
    room.use(2);
    SaleList& sale = room->saleList();
    sale.AddToSaleList("B", "2.5", "1", "2.5");
    sale.AddToSaleList("A", "3", "1", "3");
    QVERIFY(ChargeToTable(sale, room.tables, 2, room.messages));
    QCOMPARE(room.cell(2, col::GoodsNames), QStringLiteral("、A、B"));
    QCOMPARE(room.cell(2, col::GoodsTotal), QStringLiteral("5.5"));
    QVERIFY(ChargeToTable(sale, room.tables, 2, room.messages));
    QCOMPARE(room.cell(2, col::GoodsNames), QStringLiteral("、A、B、A、B"));
    QCOMPARE(room.cell(2, col::GoodsTotal), QStringLiteral("11"));
    QCOMPARE(room.cell(1, col::GoodsNames), QString());
    QVERIFY(room.messages.shown().isEmpty());
}

void TestGoods::chargeToTableRefusesStalePick() {
    TestRoom room;
    room.add(2, billiardType());
    room.use(1);
    SaleList& sale = room->saleList();
    sale.AddToSaleList("A", "3", "1", "3");
    const QByteArray before = room.tables.grid().toBytes();
    QVERIFY(!ChargeToTable(sale, room.tables, -1, room.messages)); // no table chosen
    QVERIFY(!ChargeToTable(sale, room.tables, 2, room.messages));  // checked out since the list dropped down
    QVERIFY(!ChargeToTable(sale, room.tables, 5, room.messages));  // gone
    QCOMPARE(room.messages.shown().size(), 3);
    QCOMPARE(room.tables.grid().toBytes(), before);
    QCOMPARE(sale.grid().rowCount(), 2);
}

QTEST_APPLESS_MAIN(TestGoods)
#include "test_goods.moc"
