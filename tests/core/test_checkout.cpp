#include "checkout/checkout.h"
#include "checkout/table_glance.h"
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
    void stalePickIsRefused_data();
    void stalePickIsRefused();
    void checkoutByNumber_data();
    void checkoutByNumber();
    void change_data();
    void change();
    void confirmYesRecordsAndFrees();
    void confirmNoRecordsNothing_data();
    void confirmNoRecordsNothing();

    void takingsNewestFirst();
    void unreadableDayFileIsKept();
    void failedTakingsSaveShowsTheRows();
    void rowsTheFileCannotHoldAreShown();
    void dayTotals();
    void dayTotalsWithoutAFile_data();
    void dayTotalsWithoutAFile();

    void clockTexts_data();
    void clockTexts();
    void timeOfDay_data();
    void timeOfDay();
    void owedNow_data();
    void owedNow();
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
    room.add(2, mahjongType());
    room.use(2);
    const CheckoutStart noType = StartCheckout(room.tables, TableType::None, 2, room.messages);
    QCOMPARE(noType.table, 0);
    QVERIFY(!noType.clearList); // the pick stays for the operator to choose the type
    QCOMPARE(StartCheckout(room.tables, TableType::Billiard, -1, room.messages).table, 0);
    QCOMPARE(room.messages.shownTexts(), (QStringList{"请选择类型", "请选择要结账的台号"}));
    const CheckoutStart chosen = StartCheckout(room.tables, TableType::Mahjong, 2, room.messages);
    QCOMPARE(chosen.table, 2);
    QVERIFY(chosen.clearList);
}

void TestCheckout::stalePickIsRefused_data() {
    QTest::addColumn<int>("chosen");
    QTest::addColumn<QString>("message");
    QTest::newRow("checked out since") << 1 << "“1号大厅”已经没有在使用，不能结账，请重新选择使用中的台";
    QTest::newRow("gone with the reset") << 3 << "这张台已经不在台的列表里了，请重新选择使用中的台";
}

void TestCheckout::stalePickIsRefused() {
    QFETCH(int, chosen);
    QFETCH(QString, message);
    TestRoom room;
    room.add(2, billiardType());
    const CheckoutStart start = StartCheckout(room.tables, TableType::Billiard, chosen, room.messages);
    QCOMPARE(start.table, 0);
    QVERIFY(start.clearList);
    QCOMPARE(room.messages.shownTexts(), QStringList{message});
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

// No, and the question closed without an answer (Escape, its close box), which answers No though
// Enter would answer Yes.
void TestCheckout::confirmNoRecordsNothing_data() {
    QTest::addColumn<QList<MessageButton>>("answers");
    QTest::newRow("No") << QList<MessageButton>{MessageButton::No};
    QTest::newRow("closed") << QList<MessageButton>{};
}

void TestCheckout::confirmNoRecordsNothing() {
    QFETCH(QList<MessageButton>, answers);
    TestRoom room;
    room.add(1, billiardType());
    room.use(1, QStringLiteral("100"));
    TakingsBook& takings = room->takings();
    room.messages.setNextAnswers(answers);
    QVERIFY(!ConfirmCheckout(room.tables, takings, {"1", "0.02777777777778", "0.5555555555556"}, room.messages));
    QCOMPARE(room.messages.shown().size(), 1);
    QCOMPARE(room.messages.shown().first().defaultButton, MessageButton::Yes);
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

void TestCheckout::clockTexts_data() {
    QTest::addColumn<QString>("seconds");
    QTest::addColumn<QString>("shown");
    QTest::newRow("just opened") << "1" << "0:00:01";
    QTest::newRow("an hour and a bit") << "6017" << "1:40:17";
    QTest::newRow("a whole hour") << "3600" << "1:00:00";
    QTest::newRow("10^9 seconds") << "1000000000" << "277777:46:40";
    QTest::newRow("the most a count holds") << "999999999999999999" << "277777777777777:46:39";
    QTest::newRow("free") << "" << "";
    QTest::newRow("not a number") << "abc" << "abc";
    QTest::newRow("a number with more") << "12abc" << "12abc";
    QTest::newRow("negative") << "-5" << "-5";
    QTest::newRow("a fraction") << "1.5" << "1.5";
    QTest::newRow("too long to count") << "12345678901234567890" << "12345678901234567890";
}

void TestCheckout::clockTexts() {
    QFETCH(QString, seconds);
    QFETCH(QString, shown);
    QCOMPARE(clockText(seconds), shown);
}

void TestCheckout::timeOfDay_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("shown");
    QTest::newRow("today") << "2026年12月10日18时45分40秒" << "18:45:40";
    QTest::newRow("today, on the hour") << "2026年12月10日9时" << "09:00:00";
    QTest::newRow("yesterday") << "2026年12月9日23时5分7秒" << "12月9日 23:05:07";
    QTest::newRow("free") << "" << "";
    QTest::newRow("not a moment") << "abc" << "abc";
    QTest::newRow("no such day") << "2026年2月30日8时" << "2026年2月30日8时";
}

void TestCheckout::timeOfDay() {
    QFETCH(QString, start);
    QFETCH(QString, shown);
    QCOMPARE(timeOfDayText(start, QDate(2026, 12, 10)), shown);
}

void TestCheckout::owedNow_data() {
    QTest::addColumn<QString>("seconds");
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("rate");
    QTest::addColumn<QString>("goods");
    QTest::addColumn<QString>("owed");
    QTest::newRow("the worked example") << "5400" << "20" << "8" << "12.5" << "36.50";
    QTest::newRow("with drinks") << "5400" << "20" << "8" << "8.5" << "32.50";
    QTest::newRow("a third of a cent") << "1000" << "15" << "8" << "" << "3.33";
    QTest::newRow("half a cent up") << "1000" << "15" << "10" << "" << "4.17";
    QTest::newRow("price abc") << "5400" << "abc" << "10" << "8.5" << "8.50";
    QTest::newRow("seconds abc") << "abc" << "20" << "10" << "" << "0.00";
    QTest::newRow("10^9 seconds") << "1000000000" << "20" << "10" << "" << "5555555.56";
    QTest::newRow("beyond cents") << "3600" << "1e20" << "10" << "" << "1e+20";
}

void TestCheckout::owedNow() {
    QFETCH(QString, seconds);
    QFETCH(QString, price);
    QFETCH(QString, rate);
    QFETCH(QString, goods);
    QFETCH(QString, owed);
    TestRoom room;
    room.add(2, billiardType());
    room.use(1, seconds);
    room.tables.grid().setCell(1, col::Price, price);
    room.tables.grid().setCell(1, col::Rate, rate);
    room.tables.grid().setCell(1, col::GoodsTotal, goods);
    QCOMPARE(owedNowText(room.tables, 1), owed);
    // The view's figure leaves the checkout's own texts as they are.
    QCOMPARE(room.cell(1, col::Seconds), seconds);
    QCOMPARE(owedNowText(room.tables, 2), QString()); // free
    QCOMPARE(owedNowText(room.tables, 3), QString()); // no such table
    QCOMPARE(owedNowText(room.tables, 0), QString()); // the header row
}

QTEST_APPLESS_MAIN(TestCheckout)
#include "test_checkout.moc"
