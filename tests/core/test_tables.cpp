#include "common/safe_save.h"
#include "support/room_fixture.h"
#include "tables/table_change.h"
#include "tables/table_opening.h"

using namespace cuemora;
Q_DECLARE_METATYPE(cuemora::AddTablesInput)
namespace col = RegisterColumn;

class TestTables : public QObject {
    Q_OBJECT

private Q_SLOTS:

    void addTablesChecksInOrder_data();
    void addTablesChecksInOrder();
    void addTablesInBatches();
    void addTablesCount_data();
    void addTablesCount();
    void addTablesRefusesTextTheFileCannotHold();
    void failedSaveIsReported();
    void setupWaitsForALogin();
    void resetEmptiesTheScreenOnly();

    void listsFollowTypeAndState();
    void openFreeTable();
    void openFreeTableRefusesStalePick();
    void openTableByNumber_data();
    void openTableByNumber();
    void openTableInUseAsksFirst();
    void clockCountsOnlyTablesInUse();
    void clockCatchesUp();

    void changeTableChecksInOrder();
    void changeTableMovesTheUse();
    void changeTableRefusesStalePicks_data();
    void changeTableRefusesStalePicks();
};

void TestTables::addTablesChecksInOrder_data() {
    QTest::addColumn<AddTablesInput>("input");
    QTest::addColumn<QString>("message");
    const AddTablesInput full{"3", billiardType(), "大厅", "20", "10"};
    auto without = [&](QString AddTablesInput::*field) {
        AddTablesInput input = full;
        input.*field = QString();
        return input;
    };
    QTest::newRow("count") << AddTablesInput{"", "", "", "", ""} << "没有设置数量";
    QTest::newRow("type") << without(&AddTablesInput::type) << "没有设置台类型";
    QTest::newRow("name") << without(&AddTablesInput::name) << "没有设置名称";
    QTest::newRow("price") << without(&AddTablesInput::price) << "没有设置单价";
    QTest::newRow("rate") << without(&AddTablesInput::rate) << "没有设置折率";
    AddTablesInput price = full;
    price.price = "abc";
    QTest::newRow("price not a number") << price << "单价“abc”不是数字，请输入每小时的价钱";
    AddTablesInput rate = full;
    rate.rate = "八";
    QTest::newRow("rate not a number") << rate << "折率“八”不是数字，请输入折率（10就是100%）";
}

void TestTables::addTablesChecksInOrder() {
    QFETCH(AddTablesInput, input);
    QFETCH(QString, message);
    TestRoom room;
    room.logIn();
    QCOMPARE(room->AddTables(input), 0);
    QCOMPARE(room.messages.shownTexts(), QStringList{message});
    QCOMPARE(room.messages.shown().first().title, QStringLiteral("信息："));
    QCOMPARE(room.tables.tableCount(), 0);
    // Nothing was added, so nothing is written: after "重设" that would empty the file for good.
    QVERIFY(!room.fileExists(TableRegister::fileName()));
}

void TestTables::addTablesInBatches() {
    TestRoom room;
    room.logIn();
    QCOMPARE(room->AddTables({"3", billiardType(), "大厅", "20", "10"}), 3);
    QCOMPARE(room->AddTables({"2", mahjongType(), "大厅", "15元", "8"}), 2);
    QVERIFY(room.messages.shown().isEmpty());
    const QStringList names{"1号大厅", "2号大厅", "3号大厅", "1号大厅", "2号大厅"};
    for (int r = 1; r <= 5; ++r) {
        QCOMPARE(room.cell(r, col::Number), QString::number(r));
        QCOMPARE(room.cell(r, col::Name), names[r - 1]);
        QCOMPARE(room.cell(r, col::Type), r <= 3 ? billiardType() : mahjongType());
        QCOMPARE(room.cell(r, col::Price), r <= 3 ? QStringLiteral("20") : QStringLiteral("15元"));
        QCOMPARE(room.cell(r, col::Rate), r <= 3 ? QStringLiteral("10") : QStringLiteral("8"));
        QCOMPARE(room.tables.isInUse(r), false);
        QCOMPARE(shownPicture(room.tables, r),
                 pictureCell(r <= 3 ? StatusPicture::BilliardFree : StatusPicture::MahjongFree));
    }
    TableRegister reloaded;
    QVERIFY(reloaded.LoadRegister(room.data));
    QCOMPARE(reloaded.tableCount(), 5);
    QCOMPARE(reloaded.grid().cellText(4, col::Name), QStringLiteral("1号大厅"));
}

void TestTables::addTablesCount_data() {
    QTest::addColumn<QString>("count");
    QTest::addColumn<int>("added");
    QTest::addColumn<bool>("message");
    QTest::newRow("fraction truncated") << "2.9" << 2 << false;
    QTest::newRow("full-width digits") << "１２" << 12 << false;
    QTest::newRow("zero") << "0" << 0 << false;
    QTest::newRow("negative") << "-1" << 0 << false;
    QTest::newRow("not a number") << "abc" << 0 << false;
    QTest::newRow("most of one batch") << "999" << 999 << false;
    QTest::newRow("more than a room") << "1000" << 0 << true;
    QTest::newRow("huge") << "999999999999999999999" << 0 << true;
}

void TestTables::addTablesCount() {
    QFETCH(QString, count);
    QFETCH(int, added);
    QFETCH(bool, message);
    TestRoom room;
    room.logIn();
    QCOMPARE(room->AddTables({count, billiardType(), "大厅", "20", "10"}), added);
    QCOMPARE(room.tables.tableCount(), added);
    QCOMPARE(room.messages.shown().size(), message ? 1 : 0);
    QCOMPARE(room.fileExists(TableRegister::fileName()), added > 0);
}

void TestTables::addTablesRefusesTextTheFileCannotHold() {
    TestRoom room;
    QCOMPARE(AddTables(room.tables, {"2", billiardType(), QStringLiteral("大厅😀"), "20", "10"}, room.messages), 0);
    QCOMPARE(room.tables.tableCount(), 0);
    QVERIFY(room.messages.lastText().contains(QStringLiteral("😀")));
}

void TestTables::failedSaveIsReported() {
    TestRoom room;
    room.logIn();
    room->AddTables({"2", billiardType(), "大厅", "20", "10"});
    const QByteArray saved = room.fileBytes(TableRegister::fileName());
    room.writer.failAfter(100);
    QCOMPARE(room->AddTables({"1", mahjongType(), "包间", "30", "10"}), 1);
    QCOMPARE(room.tables.tableCount(), 3); // still on screen
    QCOMPARE(room.messages.shown().size(), 1);
    QVERIFY(room.messages.lastText().contains(TableRegister::fileName()));
    QVERIFY2(room.messages.lastText().contains(QStringLiteral("设备已满")), qPrintable(room.messages.lastText()));
    QCOMPARE(room.fileBytes(TableRegister::fileName()), saved);
}

// Setup is refused before a login, with a message, changing nothing.
void TestTables::setupWaitsForALogin() {
    TestRoom room;
    QCOMPARE(room->AddTables({"2", billiardType(), "大厅", "20", "10"}), 0);
    QVERIFY(!room->ResetRegister());
    QVERIFY(!room->ShowDayTotals(QStringLiteral("2013年5月20日")));
    QVERIFY(!room->ChangeAccount(QStringLiteral("x"), QStringLiteral("y")).changed);
    QCOMPARE(room.messages.shownTexts(), QStringList(3, QStringLiteral("还没有登陆，请先在“设置”页登陆")));
    QCOMPARE(room.tables.tableCount(), 0);
    QVERIFY(!room.fileExists(TableRegister::fileName()));
    QCOMPARE(room->takings().grid().rowCount(), 1);
}

// "重设" asks first, No by default; it is refused while a table is in use; and it stays on screen
// until the next "添加" that adds tables: nothing in between, not even an empty "添加", reaches the
// file.
void TestTables::resetEmptiesTheScreenOnly() {
    TestRoom room;
    room.logIn();
    room->AddTables({"3", billiardType(), "大厅", "20", "10"});
    room->OpenTableByNumber(QStringLiteral("2"));
    const QByteArray saved = room.fileBytes(TableRegister::fileName());
    room.messages.clear();
    QVERIFY(!room->ResetRegister());
    QCOMPARE(room.messages.shownTexts(), QStringList{"第2台还在使用中，不能重设。请先给使用中的台结账。"});
    QCOMPARE(room.tables.tableCount(), 3);

    room.messages.setNextAnswers({MessageButton::Yes});
    QVERIFY(room->ConfirmCheckout({"2", "0.1", "2"}));
    const QByteArray before = room.fileBytes(TableRegister::fileName());
    room.messages.clear();
    QVERIFY(!room->ResetRegister()); // the default answer: No
    const Message& question = room.messages.shown().first();
    QCOMPARE(question.buttons, MessageButtons::YesNo);
    QCOMPARE(question.defaultButton, MessageButton::No);
    QVERIFY(question.text.contains(QStringLiteral("清空屏幕上的全部3张台")));
    QCOMPARE(room.tables.tableCount(), 3);

    room.messages.setNextAnswers({MessageButton::Yes});
    QVERIFY(room->ResetRegister());
    QCOMPARE(room.tables.grid().rowCount(), 1);
    QCOMPARE(room.cell(0, col::Name), QStringLiteral("台名称"));
    QCOMPARE(room.tables.grid().columnKindCode(col::InUse), int(CheckBoxColumn));
    QCOMPARE(room->AddTables({"", billiardType(), "大厅", "20", "10"}), 0); // "没有设置数量"
    QCOMPARE(room.fileBytes(TableRegister::fileName()), before);
    QVERIFY(before != saved);

    // The next batch defines the room afresh.
    QCOMPARE(room->AddTables({"1", mahjongType(), "包间", "30", "10"}), 1);
    TableRegister reloaded;
    QVERIFY(reloaded.LoadRegister(room.data));
    QCOMPARE(reloaded.tableCount(), 1);
    QCOMPARE(reloaded.name(1), QStringLiteral("1号包间"));
}

void TestTables::listsFollowTypeAndState() {
    TestRoom room;
    room.add(3, billiardType());
    room.add(2, mahjongType());
    room.add(1, billiardType()); // a second "1号大厅"
    room.use(2);
    room.use(5);
    QCOMPARE(numbersOf(FillTableList(room.tables, ListedTables::Free, TableType::Billiard)), (QList<int>{1, 3, 6}));
    QCOMPARE(numbersOf(FillTableList(room.tables, ListedTables::InUse, TableType::Billiard)), QList<int>{2});
    QCOMPARE(numbersOf(FillTableList(room.tables, ListedTables::Free, TableType::Mahjong)), QList<int>{4});
    QCOMPARE(numbersOf(FillTableList(room.tables, ListedTables::InUse, TableType::Mahjong)), QList<int>{5});
    QVERIFY(FillTableList(room.tables, ListedTables::Free, TableType::None).isEmpty());
    const auto free = FillTableList(room.tables, ListedTables::Free, TableType::Billiard);
    QCOMPARE(free.first().name, free.last().name); // same names, told apart by number
}

void TestTables::openFreeTable() {
    TestRoom room;
    room.add(3, billiardType());
    QCOMPARE(OpenFreeTable(room.tables, TableType::None, 2, room.clock, room.messages).started, false);
    QCOMPARE(OpenFreeTable(room.tables, TableType::Billiard, -1, room.clock, room.messages).started, false);
    QCOMPARE(room.messages.shownTexts(), (QStringList{"请选择类型", "请选择空闲的台"}));

    room.clock.set(QDateTime(QDate(2013, 5, 7), QTime(14, 3, 27)));
    // The picture follows the radio button at the moment of the press.
    const OpenOutcome outcome = OpenFreeTable(room.tables, TableType::Mahjong, 2, room.clock, room.messages);
    QVERIFY(outcome.started);
    QVERIFY(outcome.clearList);
    QCOMPARE(room.cell(2, col::Start), QStringLiteral("2013年5月7日14时3分27秒"));
    QCOMPARE(room.cell(2, col::Seconds), QStringLiteral("1"));
    QVERIFY(room.tables.isInUse(2));
    QCOMPARE(shownPicture(room.tables, 2), pictureCell(StatusPicture::MahjongInUse));
    QVERIFY(!room.tables.isInUse(1) && !room.tables.isInUse(3));
}

void TestTables::openFreeTableRefusesStalePick() {
    TestRoom room;
    room.add(2, billiardType());
    room.use(1, QStringLiteral("600"));
    const OpenOutcome outcome = OpenFreeTable(room.tables, TableType::Billiard, 1, room.clock, room.messages);
    QVERIFY(!outcome.started);
    QVERIFY(outcome.clearList);
    QCOMPARE(room.cell(1, col::Seconds), QStringLiteral("600"));
    QCOMPARE(room.messages.shown().size(), 1);
    QVERIFY(!OpenFreeTable(room.tables, TableType::Billiard, 7, room.clock, room.messages).started); // gone
}

void TestTables::openTableByNumber_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("opened");
    QTest::newRow("number") << "3" << 3;
    QTest::newRow("fraction truncated") << "2.9" << 2;
    QTest::newRow("full-width") << "１" << 1;
    QTest::newRow("header row") << "0" << 0;
    QTest::newRow("negative") << "-1" << 0;
    QTest::newRow("beyond the last") << "4" << 0;
    QTest::newRow("not a number") << "abc" << 0;
    QTest::newRow("huge") << "1e400" << 0;
    QTest::newRow("long paste") << QString(10000, QLatin1Char('9')) << 0;
}

void TestTables::openTableByNumber() {
    QFETCH(QString, typed);
    QFETCH(int, opened);
    TestRoom room;
    room.add(2, billiardType());
    room.add(1, QStringLiteral("包间")); // neither type: mahjong pictures
    const QByteArray header = room.tables.grid().toBytes();
    const OpenOutcome outcome = OpenTableByNumber(room.tables, typed, room.clock, room.messages);
    QCOMPARE(outcome.started, opened != 0);
    QCOMPARE(outcome.clearNumber, opened != 0);
    for (int r = 1; r <= 3; ++r)
        QCOMPARE(room.tables.isInUse(r), r == opened);
    if (opened) {
        QVERIFY(room.messages.shown().isEmpty());
        QCOMPARE(shownPicture(room.tables, opened),
                 pictureCell(opened == 3 ? StatusPicture::MahjongInUse : StatusPicture::BilliardInUse));
    } else {
        QCOMPARE(room.messages.shown().size(), 1);
        QVERIFY(room.messages.lastText().startsWith(QStringLiteral("没有序号为")));
        QCOMPARE(room.tables.grid().toBytes(), header); // nothing changed, the header row least of all
    }
}

void TestTables::openTableInUseAsksFirst() {
    TestRoom room;
    room.add(2, billiardType());
    QCOMPARE(OpenTableByNumber(room.tables, "", room.clock, room.messages).started, false);
    QCOMPARE(room.messages.lastText(), QStringLiteral("请输入序号"));
    room.use(2, QStringLiteral("3600"));
    room.messages.clear();
    room.messages.setNextAnswers({MessageButton::No});
    QVERIFY(!OpenTableByNumber(room.tables, "2", room.clock, room.messages).started);
    QCOMPARE(room.cell(2, col::Seconds), QStringLiteral("3600"));
    QCOMPARE(room.messages.shown().first().buttons, MessageButtons::YesNo);
    QCOMPARE(room.messages.shown().first().defaultButton, MessageButton::No);
    room.messages.setNextAnswers({MessageButton::Yes});
    QVERIFY(OpenTableByNumber(room.tables, "2", room.clock, room.messages).started);
    QCOMPARE(room.cell(2, col::Seconds), QStringLiteral("1"));
}

void TestTables::clockCountsOnlyTablesInUse() {
    TestRoom room;
    room.add(3, billiardType());
    room->OpenTableByNumber(QStringLiteral("1"));
    room.use(3, QStringLiteral("abc"));
    for (int tick = 0; tick < 60; ++tick)
        room.tick();
    QCOMPARE(room.cell(1, col::Seconds), QStringLiteral("61"));
    QCOMPARE(room.cell(2, col::Seconds), QString());
    QCOMPARE(room.cell(3, col::Seconds), QStringLiteral("60"));
}

// Each tick counts the whole seconds the steady clock says have passed since the last one counted:
// a tick that comes late, or after a stall, catches up; ticks that come early or twice count
// nothing more; the wall clock set back or forward changes nothing.
void TestTables::clockCatchesUp() {
    TestRoom room;
    room.add(1, billiardType());
    room->ClockTick(); // before any opening the clock does not count
    room->OpenTableByNumber(QStringLiteral("1"));
    QVERIFY(room->clockRunning());
    room->ClockTick(); // no time has passed
    QCOMPARE(room.cell(1, col::Seconds), QStringLiteral("1"));
    room.clock.advanceMs(950); // a precise timer a little early: its second counts
    room->ClockTick();
    QCOMPARE(room.cell(1, col::Seconds), QStringLiteral("2"));
    room.clock.advanceMs(1050); // ... and the next one a little late: no second twice, none lost
    room->ClockTick();
    QCOMPARE(room.cell(1, col::Seconds), QStringLiteral("3"));
    room.clock.advanceMs(20'000); // the program stopped for 20 s: one tick brings the time back
    room->ClockTick();
    QCOMPARE(room.cell(1, col::Seconds), QStringLiteral("23"));
    room.clock.advanceMs(400);
    room->ClockTick();
    QCOMPARE(room.cell(1, col::Seconds), QStringLiteral("23"));
    room.clock.set(room.clock.now().addSecs(-3600)); // the wall clock goes back an hour
    room.tick(1);
    QCOMPARE(room.cell(1, col::Seconds), QStringLiteral("24"));
    room.clock.set(room.clock.now().addDays(1));
    room.tick(1);
    QCOMPARE(room.cell(1, col::Seconds), QStringLiteral("25"));
}

void TestTables::changeTableChecksInOrder() {
    TestRoom room;
    room.add(2, billiardType());
    room.use(1);
    QVERIFY(!ChangeTable(room.tables, TableType::None, 1, 2, room.messages).moved);
    QVERIFY(!ChangeTable(room.tables, TableType::Billiard, -1, 2, room.messages).moved);
    QVERIFY(!ChangeTable(room.tables, TableType::Billiard, 1, -1, room.messages).moved);
    QCOMPARE(room.messages.shownTexts(), (QStringList{"请选择类型", "请选择现在用的台号", "请选择现在要换的台号"}));
    QVERIFY(room.tables.isInUse(1));
}

void TestTables::changeTableMovesTheUse() {
    TestRoom room;
    room.add(2, billiardType());
    room.add(1, mahjongType(), QStringLiteral("包间"), QStringLiteral("30"), QStringLiteral("8"));
    room.use(1, QStringLiteral("1200"));
    room.tables.grid().setCell(1, col::GoodsNames, QStringLiteral("、可乐、瓜子"));
    room.tables.grid().setCell(1, col::GoodsTotal, QStringLiteral("7.5"));
    // Across types: the lists showed the type chosen when each dropped down.
    const ChangeOutcome outcome = ChangeTable(room.tables, TableType::Mahjong, 1, 3, room.messages);
    QVERIFY(outcome.moved && outcome.clearLists);
    QCOMPARE(room.cell(3, col::Start), QStringLiteral("2013年5月20日14时30分5秒"));
    QCOMPARE(room.cell(3, col::Seconds), QStringLiteral("1200"));
    QCOMPARE(room.cell(3, col::GoodsNames), QStringLiteral("、可乐、瓜子"));
    QCOMPARE(room.cell(3, col::GoodsTotal), QStringLiteral("7.5"));
    QCOMPARE(room.cell(3, col::Price), QStringLiteral("30")); // price and rate stay with their table
    QVERIFY(room.tables.isInUse(3));
    for (int c : {col::Start, col::Seconds, col::GoodsNames, col::GoodsTotal})
        QCOMPARE(room.cell(1, c), QString());
    QVERIFY(!room.tables.isInUse(1));
    QCOMPARE(shownPicture(room.tables, 1), pictureCell(StatusPicture::BilliardFree));
    QCOMPARE(shownPicture(room.tables, 3), pictureCell(StatusPicture::MahjongInUse));
    ClockTick(room.tables);
    QCOMPARE(room.cell(3, col::Seconds), QStringLiteral("1201"));
}

void TestTables::changeTableRefusesStalePicks_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::newRow("source checked out since") << 2 << 3;
    QTest::newRow("target opened since") << 1 << 4;
    QTest::newRow("same table") << 1 << 1;
    QTest::newRow("target gone") << 1 << 9;
}

void TestTables::changeTableRefusesStalePicks() {
    QFETCH(int, from);
    QFETCH(int, to);
    TestRoom room;
    room.add(4, billiardType());
    room.use(1, QStringLiteral("500"));
    room.use(4, QStringLiteral("70"));
    const QByteArray before = room.tables.grid().toBytes();
    const ChangeOutcome outcome = ChangeTable(room.tables, TableType::Billiard, from, to, room.messages);
    QVERIFY(!outcome.moved);
    QVERIFY(outcome.clearLists);
    QCOMPARE(room.messages.shown().size(), 1);
    QCOMPARE(room.tables.grid().toBytes(), before);
}

QTEST_APPLESS_MAIN(TestTables)
#include "test_tables.moc"
