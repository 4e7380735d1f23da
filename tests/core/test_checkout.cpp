#include "checkout/checkout.h"
#include "common/safe_save.h"
#include "support/room_fixture.h"
#include "tables/table_opening.h"
#include "takings/takings_book.h"

#include <QDir>

using namespace cuemora;
namespace col = RegisterColumn;

namespace {

const QString kToday = QStringLiteral("2013年5月20日收入统计");

// The rows of a grid file, each as its texts.
QList<QStringList> rowsOfFile(const QString& path) {
    GridStore grid;
    QList<QStringList> rows;
    if (!grid.loadFromFile(path))
        return rows;
    for (int r = 0; r < grid.rowCount(); ++r) {
        QStringList texts;
        for (int c = 0; c < grid.columnCount(); ++c)
            texts.append(grid.cellText(r, c));
        rows.append(texts);
    }
    return rows;
}

QList<QStringList> rowsOf(const GridStore& grid) {
    QList<QStringList> rows;
    for (int r = 0; r < grid.rowCount(); ++r)
        rows.append({grid.cellText(r, 0), grid.cellText(r, 1), grid.cellText(r, 2)});
    return rows;
}

const QStringList kHeader{"名称", "明细表", "收费"};

} // namespace

class TestCheckout : public QObject {
    Q_OBJECT

private Q_SLOTS:

    void charge_data();
    void charge();
    void chooseTable();
    void checkoutByNumber_data();
    void checkoutByNumber();
    void change_data();
    void change();
    void confirmYesRecordsAndFrees();
    void confirmNoRecordsNothing();

    void takingsNewestFirst();
    void unreadableDayFileIsKept();
    void failedTakingsSaveShowsTheRows();
    void rowsTheFileCannotHoldAreShown();
    void dayTotals();
    void dayTotalsWithoutAFile_data();
    void dayTotalsWithoutAFile();
};

void TestCheckout::charge_data() {
    QTest::addColumn<QString>("seconds");
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("rate");
    QTest::addColumn<QString>("goods");
    QTest::addColumn<QStringList>("boxes"); // hours, due, after discount, total
    QTest::newRow("an hour and a half") << "5400"
                                        << "20"
                                        << "8"
                                        << "12.5" << QStringList{"1.5", "30", "24", "36.5"};
    QTest::newRow("full price") << "1000"
                                << "15"
                                << "10"
                                << ""
                                << QStringList{"0.2777777777778", "4.166666666667", "4.166666666667", "4.166666666667"};
    QTest::newRow("discount on the shown text")
        << "1000"
        << "15"
        << "8"
        << "" << QStringList{"0.2777777777778", "4.166666666667", "3.333333333334", "3.333333333334"};
    QTest::newRow("just opened: goods only") << "0"
                                             << "20"
                                             << "10"
                                             << "6" << QStringList{"0", "0", "0", "6"};
    QTest::newRow("rate never applies to goods") << "3600"
                                                 << "20"
                                                 << "5"
                                                 << "10" << QStringList{"1", "20", "10", "20"};
    QTest::newRow("price with its unit") << "3600"
                                         << "15元"
                                         << "10"
                                         << "" << QStringList{"1", "15", "15", "15"};
    QTest::newRow("full-width price") << "7200"
                                      << "１２.５"
                                      << "10"
                                      << "" << QStringList{"2", "25", "25", "25"};
}

void TestCheckout::charge() {
    QFETCH(QString, seconds);
    QFETCH(QString, price);
    QFETCH(QString, rate);
    QFETCH(QString, goods);
    QFETCH(QStringList, boxes);
    TestRoom room;
    room.add(3, billiardType(), QStringLiteral("大厅"), price, rate);
    room.use(3, seconds);
    room.tables.grid().setCell(3, col::GoodsTotal, goods);
    const CheckoutTexts t = FillCheckout(room.tables, 3);
    QCOMPARE((QStringList{t.hours, t.due, t.afterDiscount, t.total}), boxes);
    QCOMPARE(t.tableNumber, QStringLiteral("3"));
    QCOMPARE(t.start, QStringLiteral("2013年5月20日14时30分5秒"));
    QCOMPARE(t.price, price);
    QCOMPARE(t.rate, rate);
    QCOMPARE(t.goods, goods);
}

void TestCheckout::chooseTable() {
    TestRoom room;
    QCOMPARE(StartCheckout(TableType::None, 2, room.messages), 0);
    QCOMPARE(StartCheckout(TableType::Billiard, -1, room.messages), 0);
    QCOMPARE(room.messages.shownTexts(), (QStringList{"请选择类型", "请选择要结账的台号"}));
    QCOMPARE(StartCheckout(TableType::Mahjong, 2, room.messages), 2);
}

void TestCheckout::checkoutByNumber_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("table");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty") << "" << 0 << "请输入序号";
    QTest::newRow("fraction truncated") << "3.9" << 3 << "";
    QTest::newRow("free table") << "1" << 1 << "";
    QTest::newRow("header row") << "0" << 0 << "没有序号为“0”的台，请输入台的序号";
    QTest::newRow("negative") << "-2" << 0 << "没有序号为“-2”的台，请输入台的序号";
    QTest::newRow("beyond the last") << "4" << 0 << "没有序号为“4”的台，请输入台的序号";
    QTest::newRow("not a number") << "abc" << 0 << "没有序号为“abc”的台，请输入台的序号";
}

void TestCheckout::checkoutByNumber() {
    QFETCH(QString, typed);
    QFETCH(int, table);
    QFETCH(QString, message);
    TestRoom room;
    room.add(3, billiardType());
    QCOMPARE(CheckoutByNumber(room.tables, typed, room.messages), table);
    QCOMPARE(room.messages.lastText(), message);
}

void TestCheckout::change_data() {
    QTest::addColumn<QString>("payment");
    QTest::addColumn<QString>("total");
    QTest::addColumn<QString>("change");
    QTest::newRow("more") << "50"
                          << "36.5"
                          << "13.5";
    QTest::newRow("less") << "30"
                          << "36.5"
                          << "-6.5";
    QTest::newRow("first key") << "5"
                               << "36.5"
                               << "-31.5";
    QTest::newRow("empty") << ""
                           << "36.5"
                           << "-36.5";
    QTest::newRow("not a number") << "abc"
                                  << "4.166666666667"
                                  << "-4.166666666667";
    QTest::newRow("full-width") << "１００"
                                << "36.5"
                                << "63.5";
}

void TestCheckout::change() {
    QFETCH(QString, payment);
    QFETCH(QString, total);
    QFETCH(QString, change);
    QCOMPARE(ChangeText(payment, total), change);
}

void TestCheckout::confirmYesRecordsAndFrees() {
    TestRoom room;
    room.add(3, billiardType());
    room.use(3, QStringLiteral("5400"));
    room.tables.grid().setCell(3, col::GoodsNames, QStringLiteral("、可乐"));
    room.tables.grid().setCell(3, col::GoodsTotal, QStringLiteral("12.5"));
    TakingsBook& takings = room->takings();
    room.messages.setNextAnswers({MessageButton::Yes});
    QVERIFY(ConfirmCheckout(room.tables, takings, {"3", "1.5", "36.5"}, room.messages));
    const Message& question = room.messages.shown().first();
    QCOMPARE(question.text, QStringLiteral("   是否结账？\r\n按 “ 是 ” 钮,关闭程序？。"));
    QCOMPARE(question.icon, MessageIcon::Information);
    QCOMPARE(question.buttons, MessageButtons::YesNo);
    QCOMPARE(question.title, QStringLiteral("信息："));
    QCOMPARE(room.messages.shown().size(), 1);
    for (int c : {col::Start, col::Seconds, col::GoodsNames, col::GoodsTotal})
        QCOMPARE(room.cell(3, c), QString());
    QVERIFY(!room.tables.isInUse(3));
    QCOMPARE(room.cell(0, col::Start), QStringLiteral("开始时间"));
    QCOMPARE(rowsOfFile(room.data.filePath(kToday)), (QList<QStringList>{kHeader, {"3号台收费", "1.5", "36.5"}}));
}

void TestCheckout::confirmNoRecordsNothing() {
    TestRoom room;
    room.add(1, billiardType());
    room.use(1, QStringLiteral("100"));
    TakingsBook& takings = room->takings();
    room.messages.setNextAnswers({MessageButton::No});
    QVERIFY(!ConfirmCheckout(room.tables, takings, {"1", "0.02777777777778", "0.5555555555556"}, room.messages));
    QVERIFY(room.tables.isInUse(1));
    QVERIFY(!room.fileExists(kToday));
    ClockTick(room.tables);
    QCOMPARE(FillCheckout(room.tables, 1).hours, QStringLiteral("0.02805555555556"));
}

void TestCheckout::takingsNewestFirst() {
    TestRoom room;
    TakingsBook& takings = room->takings();
    QVERIFY(takings.AddTakingsRows({{"3号台收费", "1.5", "36.5"}}, room.messages));
    QVERIFY(takings.AddTakingsRows({{"1号台收费", "0.5", "10"}}, room.messages));
    QVERIFY(takings.AddTakingsRows({{"可乐", "1", "3"}, {"瓜子", "1", "2"}, {"啤酒", "1", "5"}}, room.messages));
    const QList<QStringList> expected{kHeader,
                                      {"啤酒", "1", "5"},
                                      {"瓜子", "1", "2"},
                                      {"可乐", "1", "3"},
                                      {"1号台收费", "0.5", "10"},
                                      {"3号台收费", "1.5", "36.5"}};
    QCOMPARE(rowsOfFile(room.data.filePath(kToday)), expected);
    QCOMPARE(rowsOf(takings.grid()), expected); // the statistics window shows today's rows
    // The next day starts its own file.
    room.clock.advance(24 * 3600);
    QVERIFY(takings.AddTakingsRows({{"2号台收费", "1", "20"}}, room.messages));
    QCOMPARE(rowsOfFile(room.data.filePath(QStringLiteral("2013年5月21日收入统计"))),
             (QList<QStringList>{kHeader, {"2号台收费", "1", "20"}}));
    QVERIFY(room.messages.shown().isEmpty());
}

void TestCheckout::unreadableDayFileIsKept() {
    TestRoom room;
    const QByteArray damaged("EGRD\x06\x00\x00\x00 the rest of a day that was cut short", 45);
    QVERIFY(saveWholeFile(room.data.filePath(kToday), damaged));
    TakingsBook& takings = room->takings();
    QVERIFY(takings.AddTakingsRows({{"3号台收费", "1.5", "36.5"}}, room.messages));
    QCOMPARE(room.messages.shown().size(), 1);
    QVERIFY(room.messages.lastText().contains(kToday + QStringLiteral(".无法读取1")));
    QCOMPARE(room.fileBytes(kToday + QStringLiteral(".无法读取1")), damaged);
    QCOMPARE(rowsOfFile(room.data.filePath(kToday)), (QList<QStringList>{kHeader, {"3号台收费", "1.5", "36.5"}}));
    // Told once: the next row goes into the new file without a word.
    QVERIFY(takings.AddTakingsRows({{"1号台收费", "1", "20"}}, room.messages));
    QCOMPARE(room.messages.shown().size(), 1);
}

void TestCheckout::failedTakingsSaveShowsTheRows() {
    TestRoom room;
    TakingsBook& takings = room->takings();
    QVERIFY(takings.AddTakingsRows({{"1号台收费", "1", "20"}}, room.messages));
    const QByteArray before = room.fileBytes(kToday);
    room.writer.failAfter(600);
    QVERIFY(!takings.AddTakingsRows({{"3号台收费", "1.5", "36.5"}}, room.messages));
    QCOMPARE(room.fileBytes(kToday), before);
    QCOMPARE(room.messages.shown().size(), 1);
    const QString text = room.messages.lastText();
    QVERIFY(text.contains(QStringLiteral("3号台收费")) && text.contains(QStringLiteral("1.5")) &&
            text.contains(QStringLiteral("36.5")));
}

void TestCheckout::rowsTheFileCannotHoldAreShown() {
    TestRoom room;
    TakingsBook& takings = room->takings();
    // An amount edited by hand into something the file cannot hold would be recorded as nothing.
    QVERIFY(!takings.AddTakingsRows({{"3号台收费", "1.5", "36.5😀"}, {"可乐", "1", "3"}}, room.messages));
    QCOMPARE(rowsOfFile(room.data.filePath(kToday)), (QList<QStringList>{kHeader, {"可乐", "1", "3"}}));
    QCOMPARE(room.messages.shown().size(), 1);
    QVERIFY(room.messages.lastText().contains(QStringLiteral("3号台收费    1.5    36.5😀")));
}

void TestCheckout::dayTotals() {
    TestRoom room;
    TakingsBook& takings = room->takings();
    takings.AddTakingsRows({{"1号台收费", "0.2777777777778", "4.166666666667"}}, room.messages);
    takings.AddTakingsRows({{"3号台收费", "1.5", "36.5"}}, room.messages);
    for (int press = 0; press < 2; ++press) { // a second press shows one total row, not two
        takings.ShowDayTotals(QStringLiteral("2013年5月20日"), room.messages);
        QCOMPARE(rowsOf(takings.grid()), (QList<QStringList>{kHeader,
                                                             {"3号台收费", "1.5", "36.5"},
                                                             {"1号台收费", "0.2777777777778", "4.166666666667"},
                                                             {"总收入", "1", "40.66666666667"}}));
    }
    // Details add their whole parts one by one: 0.5 three times gives 0.
    takings.AddTakingsRows({{"a", "0.5", "1"}, {"b", "0.5", "1"}, {"c", "0.5", "1"}}, room.messages);
    room.clock.advance(24 * 3600);
    takings.AddTakingsRows({{"a", "0.5", "1"}, {"b", "0.5", "1"}, {"c", "0.5", "1"}}, room.messages);
    takings.ShowDayTotals(QStringLiteral("2013年5月21日"), room.messages);
    QCOMPARE(rowsOf(takings.grid()).last(), (QStringList{"总收入", "0", "3"}));
    QVERIFY(room.messages.shown().isEmpty());
}

void TestCheckout::dayTotalsWithoutAFile_data() {
    QTest::addColumn<QString>("query");
    QTest::addColumn<bool>("damaged");
    QTest::newRow("leading zeros") << "2013年05月20日" << false;
    QTest::newRow("a day without takings") << "2013年5月19日" << false;
    QTest::newRow("not a day") << "abc" << false;
    QTest::newRow("a path") << "sub/2013年5月20日" << false;
    QTest::newRow("unreadable file") << "2013年5月18日" << true;
}

void TestCheckout::dayTotalsWithoutAFile() {
    QFETCH(QString, query);
    QFETCH(bool, damaged);
    TestRoom room;
    TakingsBook& takings = room->takings();
    takings.AddTakingsRows({{"3号台收费", "1.5", "36.5"}}, room.messages);
    QVERIFY(saveWholeFile(room.data.filePath(QStringLiteral("2013年5月18日收入统计")), QByteArray(600, 'x')));
    // A readable takings file one folder down, which a query must not reach.
    QVERIFY(QDir(room.dir.path()).mkpath(QStringLiteral("sub")));
    QVERIFY(QFile::copy(room.data.filePath(kToday), room.data.filePath(QStringLiteral("sub/") + kToday)));
    takings.ShowDayTotals(query, room.messages);
    QCOMPARE(rowsOf(takings.grid()), (QList<QStringList>{kHeader, {"总收入", "0", "0"}}));
    QCOMPARE(room.messages.shown().size(), damaged ? 1 : 0);
}

QTEST_APPLESS_MAIN(TestCheckout)
#include "test_checkout.moc"
