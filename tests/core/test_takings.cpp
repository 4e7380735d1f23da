#include "checkout/checkout.h"
#include "takings/takings_book.h"
#include "common/safe_save.h"
#include "common/text_rules.h"
#include "csv_reader.h"
#include "goods/sale_list.h"
#include "support/room_fixture.h"
#include "takings/day_close.h"
#include "takings/receipt.h"
#include "takings/takings_csv.h"
#include "takings/takings_span.h"

#include <QDir>

using namespace cuemora;

namespace {

const QDate kDay(2013, 5, 20);

// Records rows on a day the way checkouts and cash sales do, each batch on top of the file.
void record(TestRoom& room, const QDate& day, const QList<QList<TakingsRow>>& batches) {
    room.clock.set(QDateTime(day, QTime(12, 0)));
    TakingsBook takings(room.data, room.clock);
    for (const QList<TakingsRow>& batch : batches)
        QVERIFY(takings.AddTakingsRows(batch, room.messages));
}

// A day of both kinds of rows, oldest first. 纸巾, 口香糖 and 矿泉水 sell one each for 1 yuan: of
// the three, 纸巾 was sold first. A full-width quantity and a charge that is no number follow the
// program's value rules.
const QList<QList<TakingsRow>> kPreparedDay{
    {{"纸巾", "1", "1"}},
    {{"香烟", "1", "15"}, {"口香糖", "1", "1"}},
    {{"12号台收费", "0.2777777777778", "4.166666666667"}},
    {{"矿泉水", "1", "1"}, {"花生", "1", "2.5"}},
    {{"啤酒", "２", "12"}, {"可乐", "1", "3"}},
    {{"花生", "1", "2.5"}, {"可乐", "1", "3"}},
    {{"3号台收费", "1.5", "36.5"}},
    {{"赠品", "0", "免单"}, {"", "", ""}},
};

QStringList namesOf(const QList<BestSeller>& best) {
    QStringList names;
    for (const BestSeller& b : best)
        names.append(b.name);
    return names;
}

// The value of a caption on a laid-out receipt: right of it, or right-aligned on the line below
// when it did not fit beside it. A null text when no line begins with the caption.
QString fieldOn(const QStringList& lines, const QString& caption) {
    for (qsizetype k = 0; k < lines.size(); ++k) {
        if (!lines[k].startsWith(caption))
            continue;
        const QString beside = lines[k].mid(caption.size()).trimmed();
        if (beside.isEmpty() && k + 1 < lines.size() && lines[k + 1].startsWith(QLatin1Char(' ')))
            return lines[k + 1].trimmed();
        return beside;
    }
    return {};
}

bool everyLineFits(const QStringList& lines, int width) {
    for (const QString& line : lines) {
        if (textCells(line) > width || line.contains(QLatin1Char('\n')) || line.contains(QLatin1Char('\r')))
            return false;
    }
    return true;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestTakings : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void closeOfAPreparedDay();
    void closeOfADayWithoutReadableTakings();
    void spanWithMissingAndUnreadableDays();
    void spanRefusals_data();
    void spanRefusals();
    void daysAsTyped_data();
    void daysAsTyped();

    void csvRoundTripsTheTexts();
    void exportWritesWholeOrNothing();

    void checkoutReceiptOfTheWorkedExample_data();
    void checkoutReceiptOfTheWorkedExample();
    void checkoutReceiptOnA58mmRoll();
    void receiptOfACashSale();
    void layoutKeepsEveryLineOnThePaper_data();
    void layoutKeepsEveryLineOnThePaper();
};

// The split, the close and the best sellers of one day, and the whole equal to what "统计" shows.
void TestTakings::closeOfAPreparedDay() {
    TestRoom room(TestRoom::NotOpened);
    record(room, kDay, kPreparedDay);
    const DayClose close = CloseDay(room.data, dayText(kDay));
    QCOMPARE(close.file.state, DayFileState::Read);
    QCOMPARE(close.sums.checkouts, 2);
    QCOMPARE(close.sums.goodsLines, 10);
    QCOMPARE(realToText(close.sums.hours), QStringLiteral("1.777777777778"));
    QCOMPARE(realToText(close.sums.time), QStringLiteral("40.66666666667"));
    QCOMPARE(realToText(close.sums.goods), QStringLiteral("41"));
    QCOMPARE(realToText(close.sums.total), QStringLiteral("81.66666666667"));
    QCOMPARE(namesOf(close.bestSellers), (QStringList{"啤酒", "可乐", "花生", "香烟", "纸巾"}));
    QCOMPARE(close.bestSellers[0].quantity, 2.0);
    QCOMPARE(close.bestSellers[2].takings, 5.0);

    TakingsBook takings(room.data, room.clock);
    takings.ShowDayTotals(dayText(kDay), room.messages);
    const GridStore& shown = takings.grid();
    QCOMPARE(shown.cellText(shown.rowCount() - 1, 2), realToText(close.sums.total));

    const QStringList printed = receiptTextLines(dayCloseReceipt(close, QString(), QDateTime(kDay, QTime(23, 5))),
                                                 paperCharacters(PaperWidth::Roll58mm));
    QCOMPARE(printed.first().trimmed(), QStringLiteral("Cuemora"));
    QCOMPARE(fieldOn(printed, "结账次数："), QStringLiteral("2"));
    QCOMPARE(fieldOn(printed, "售出时长："), QStringLiteral("1.777777777778时"));
    QCOMPARE(fieldOn(printed, "台费收入："), QStringLiteral("40.66666666667元"));
    QCOMPARE(fieldOn(printed, "商品收入："), QStringLiteral("41元"));
    QCOMPARE(fieldOn(printed, "总收入："), QStringLiteral("81.66666666667元"));
    QCOMPARE(fieldOn(printed, "啤酒"), QStringLiteral("2    12"));
    QCOMPARE(fieldOn(printed, "打印时间："), QStringLiteral("2013年5月20日23时5分"));
}

void TestTakings::closeOfADayWithoutReadableTakings() {
    TestRoom room(TestRoom::NotOpened);
    QVERIFY(saveWholeFile(room.data.filePath("2013年5月21日收入统计"), QByteArray(600, 'x')));
    for (const char* day : {"2013年5月19日", "2013年5月21日", "2013年05月19日"}) {
        const DayClose close = CloseDay(room.data, QString::fromUtf8(day));
        QCOMPARE(close.sums.total, 0.0);
        QVERIFY(close.bestSellers.isEmpty());
        const QStringList printed = receiptTextLines(dayCloseReceipt(close, "台球馆", {}), 48);
        QCOMPARE(fieldOn(printed, "总收入："), QStringLiteral("0元"));
        QVERIFY(printed.contains("没有卖出商品。"));
        const bool damaged = close.file.state == DayFileState::Unreadable;
        QCOMPARE(damaged, QByteArray(day) == "2013年5月21日");
        QCOMPARE(printed.join(QString()).contains("“2013年5月21日收入统计”无法读取（不是表格文件）"), damaged);
    }
    // Reading for a report never sets a damaged file aside: it stays where it is, byte for byte.
    QCOMPARE(readAll(room.data.filePath("2013年5月21日收入统计")), QByteArray(600, 'x'));
}

// A missing day counts 0 without a word; an unreadable one counts 0 and is named with its reason.
void TestTakings::spanWithMissingAndUnreadableDays() {
    TestRoom room(TestRoom::NotOpened);
    record(room, QDate(2013, 5, 18), {{{"3号台收费", "1.5", "36.5"}, {"可乐", "1", "3"}}});
    record(room, QDate(2013, 5, 20), kPreparedDay);
    QVERIFY(saveWholeFile(room.data.filePath("2013年5月21日收入统计"), QByteArrayLiteral("EGRD")));
    QVERIFY(QDir(room.dir.path()).mkdir("2013年5月22日收入统计"));

    const TakingsSpan span = SumTakingsSpan(room.data, QDate(2013, 5, 18), QDate(2013, 5, 22));
    QVERIFY(span.summed());
    QCOMPARE(span.days.size(), 5);
    QCOMPARE(span.days[1].state, DayFileState::Missing);
    QCOMPARE(spanTable(span), (QList<QStringList>{
                                  {"日期", "台费收入", "商品收入", "总收入", "说明"},
                                  {"2013年5月18日", "36.5", "3", "39.5", ""},
                                  {"2013年5月19日", "0", "0", "0", ""},
                                  {"2013年5月20日", "40.66666666667", "41", "81.66666666667", ""},
                                  {"2013年5月21日", "0", "0", "0", "无法读取：文件太短"},
                                  {"2013年5月22日", "0", "0", "0", "无法读取：无法读取文件"},
                                  {"合计", "77.16666666667", "44", "121.1666666667", ""},
                              }));
    QCOMPARE(span.unreadableDays().size(), 2);
    QCOMPARE(unreadableDaysNotice(span), QStringLiteral("这些收入文件无法读取，按0计入：\n"
                                                        "“2013年5月21日收入统计”（文件太短）\n"
                                                        "“2013年5月22日收入统计”（无法读取文件）"));
    // Each day's total is the one "统计" shows for that day.
    TakingsBook takings(room.data, room.clock);
    takings.ShowDayTotals(QStringLiteral("2013年5月20日"), room.messages);
    QCOMPARE(takings.grid().cellText(takings.grid().rowCount() - 1, 2), spanTable(span)[3][3]);

    const TakingsSpan oneDay = SumTakingsSpan(room.data, QDate(2013, 5, 19), QDate(2013, 5, 19));
    QCOMPARE(spanTable(oneDay).size(), 3);
    QVERIFY(unreadableDaysNotice(oneDay).isEmpty());
}

void TestTakings::spanRefusals_data() {
    QTest::addColumn<QDate>("from");
    QTest::addColumn<QDate>("to");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("from after to") << QDate(2013, 5, 21) << QDate(2013, 5, 20)
                                   << "开始日期2013年5月21日在结束日期2013年5月20日之后，请重新选择。";
    QTest::newRow("a day beyond the longest span")
        << QDate(2013, 1, 1) << QDate(2013, 1, 1).addDays(kLongestTakingsSpan)
        << "一次最多统计1830天（约五年），从2013年1月1日到2018年1月5日是1831天，请缩短时间段。";
    QTest::newRow("a year typed wrong") << QDate(2013, 1, 1) << QDate(20130, 1, 1) << "";
    QTest::newRow("no date") << QDate() << QDate(2013, 1, 1) << "请选择有效的开始日期和结束日期。";
}

void TestTakings::spanRefusals() {
    QFETCH(QDate, from);
    QFETCH(QDate, to);
    QFETCH(QString, refusal);
    TestRoom room(TestRoom::NotOpened);
    const TakingsSpan span = SumTakingsSpan(room.data, from, to);
    QVERIFY(!span.summed());
    QVERIFY(span.days.isEmpty());
    if (!refusal.isEmpty())
        QCOMPARE(span.refusal, refusal);
    // The longest span itself is summed.
    QCOMPARE(
        SumTakingsSpan(room.data, QDate(2013, 1, 1), QDate(2013, 1, 1).addDays(kLongestTakingsSpan - 1)).days.size(),
        kLongestTakingsSpan);
}

void TestTakings::daysAsTyped_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QDate>("day");
    QTest::newRow("ISO") << "2013-05-20" << kDay;
    QTest::newRow("ISO without zeros") << "2013-5-20" << kDay;
    QTest::newRow("day text") << "2013年5月20日" << kDay;
    QTest::newRow("day text with zeros and blanks") << " 2013年05月20日 " << kDay;
    QTest::newRow("leap day") << "2012-02-29" << QDate(2012, 2, 29);
    QTest::newRow("no such day") << "2013-02-29" << QDate();
    QTest::newRow("month 13") << "2013年13月1日" << QDate();
    QTest::newRow("slashes") << "2013/05/20" << QDate();
    QTest::newRow("trailing text") << "2013-05-20x" << QDate();
    QTest::newRow("full-width digits") << "２０１３-05-20" << QDate();
    QTest::newRow("empty") << "" << QDate();
}

void TestTakings::daysAsTyped() {
    QFETCH(QString, typed);
    QFETCH(QDate, day);
    const std::optional<QDate> read = dayFromText(typed);
    QCOMPARE(read.value_or(QDate()), day);
}

// CSV parsed back by a strict reader gives every text as it was; the spreadsheet file begins with
// the byte order mark and defuses texts a spreadsheet would run as formulas.
void TestTakings::csvRoundTripsTheTexts() {
    const QList<QStringList> rows{
        {"名称", "明细表", "收费"}, {"大厅,一号", "say \"hi\"", "两行\r\n文字"}, {"", " 空格 ", "\n"},
        {"-6.5", "+3", "1e+15"},    {"=SUM(A1:A3)", "@cmd", "-x", "\t=1"},       {"🎱 台球", "\"", ","},
    };
    const std::optional<QList<QStringList>> plain = testcsv::read(csvRecords(rows));
    QVERIFY(plain);
    QCOMPARE(*plain, rows);
    QVERIFY(csvRecords(rows).startsWith("名称,明细表,收费\r\n"));

    const QByteArray file = spreadsheetCsv(rows);
    QVERIFY(file.startsWith("\xEF\xBB\xBF"));
    const std::optional<QList<QStringList>> sheet = testcsv::read(file.mid(3));
    QVERIFY(sheet);
    QList<QStringList> expected = rows;
    expected[4] = QStringList{"'=SUM(A1:A3)", "'@cmd", "'-x", "'\t=1"};
    QCOMPARE(*sheet, expected);

    // One day's rows as the statistics window shows them, total row included.
    TestRoom room(TestRoom::NotOpened);
    record(room, kDay, {{{"3号台收费", "1.5", "36.5"}}, {{"可乐,大", "1", "3"}}});
    TakingsBook takings(room.data, room.clock);
    takings.ShowDayTotals(dayText(kDay), room.messages);
    QCOMPARE(
        testcsv::read(spreadsheetCsv(gridRows(takings.grid())).mid(3)).value(),
        (QList<QStringList>{
            {"名称", "明细表", "收费"}, {"可乐,大", "1", "3"}, {"3号台收费", "1.5", "36.5"}, {"总收入", "2", "39.5"}}));
}

void TestTakings::exportWritesWholeOrNothing() {
    TestRoom room(TestRoom::NotOpened);
    const QList<QStringList> rows{{"日期", "总收入"}, {"2013年5月20日", "39.5"}};
    const QString path = room.data.filePath("收入.csv");
    QCOMPARE(ExportCsv(path, rows), QString());
    QCOMPARE(readAll(path), spreadsheetCsv(rows));

    const QString underAFile = path + "/收入.csv";
    const QString refused = ExportCsv(underAFile, rows);
    QVERIFY(refused.startsWith(QStringLiteral("无法导出到文件“%1”：").arg(underAFile)));
    QVERIFY(refused.size() > QStringLiteral("无法导出到文件“%1”：").arg(underAFile).size()); // the reason
    QCOMPARE(readAll(path), spreadsheetCsv(rows));
}

void TestTakings::checkoutReceiptOfTheWorkedExample_data() {
    QTest::addColumn<int>("width");
    QTest::newRow("58 mm") << paperCharacters(PaperWidth::Roll58mm);
    QTest::newRow("80 mm") << paperCharacters(PaperWidth::Roll80mm);
    QTest::newRow("A4") << paperCharacters(PaperWidth::A4);
}

// 5400 s at 20 an hour, rate 8, goods 12.5, paid 50: the receipt shows the checkout's own texts.
void TestTakings::checkoutReceiptOfTheWorkedExample() {
    QFETCH(int, width);
    TestRoom room(TestRoom::NotOpened);
    room.add(3, billiardType(), QStringLiteral("大厅"), "20", "8");
    room.use(3, "5400");
    room.tables.grid().setCell(3, RegisterColumn::GoodsNames, "、可乐、花生");
    room.tables.grid().setCell(3, RegisterColumn::GoodsTotal, "12.5");
    const CheckoutTexts shown = FillCheckout(room.tables, 3);
    const CheckoutReceiptInput input{.roomName = "",
                                     .checkedOut = QDateTime(kDay, QTime(16, 0, 5)),
                                     .tableNumber = shown.tableNumber,
                                     .tableName = room.cell(3, RegisterColumn::Name),
                                     .start = shown.start,
                                     .hours = shown.hours,
                                     .price = shown.price,
                                     .rate = shown.rate,
                                     .due = shown.due,
                                     .afterDiscount = shown.afterDiscount,
                                     .goodsNames = room.cell(3, RegisterColumn::GoodsNames),
                                     .goods = shown.goods,
                                     .total = shown.total,
                                     .payment = "50",
                                     .change = ChangeText("50", shown.total)};
    const QStringList lines = receiptTextLines(checkoutReceipt(input), width);
    QVERIFY(everyLineFits(lines, width));
    QCOMPARE(lines.first().trimmed(), QStringLiteral("Cuemora"));
    const QList<std::pair<const char*, const char*>> fields{
        {"台号：", "3号台"},
        {"台名称：", "3号大厅"},
        {"开时：", "2013年5月20日14时30分5秒"},
        {"结账时间：", "2013年5月20日16时0分5秒"},
        {"时长：", "1.5时"},
        {"单价：", "20元"},
        {"折率：", "8折"},
        {"应付：", "30元"},
        {"实付：", "24元"},
        {"小计：", "12.5元"},
        {"共付：", "36.5元"},
        {"付款：", "50元"},
        {"找零：", "13.5元"},
    };
    for (const auto& [caption, value] : fields)
        QCOMPARE(fieldOn(lines, QString::fromUtf8(caption)), QString::fromUtf8(value));
    QVERIFY(lines.contains("商品：可乐、花生"));
}

// The whole slip as a 58 mm roll prints it.
void TestTakings::checkoutReceiptOnA58mmRoll() {
    const CheckoutReceiptInput input{.roomName = "星光桌球",
                                     .checkedOut = QDateTime(kDay, QTime(16, 0, 5)),
                                     .tableNumber = "12",
                                     .tableName = "",
                                     .start = "2013年5月20日15时43分25秒",
                                     .hours = "0.2777777777778",
                                     .price = "15",
                                     .rate = "8",
                                     .due = "4.166666666667",
                                     .afterDiscount = "3.333333333334",
                                     .goodsNames = "",
                                     .goods = "",
                                     .total = "3.333333333334",
                                     .payment = "",
                                     .change = "-3.333333333334"};
    const QList<LaidOutLine> laid = layOutReceipt(checkoutReceipt(input), 32);
    QStringList lines;
    for (const LaidOutLine& line : laid)
        lines.append(line.text);
    QCOMPARE(lines, (QStringList{
                        "    星光桌球",
                        "            结账小票",
                        "台号：                    12号台",
                        "开时： 2013年5月20日15时43分25秒",
                        "结账时间：",
                        "         2013年5月20日16时0分5秒",
                        "--------------------------------",
                        "时长：         0.2777777777778时",
                        "单价：                      15元",
                        "折率：                       8折",
                        "应付：          4.166666666667元",
                        "实付：          3.333333333334元",
                        "--------------------------------",
                        "共付：          3.333333333334元",
                        "付款：",
                        "找零：         -3.333333333334元",
                        "--------------------------------",
                        "            谢谢惠顾",
                    }));
    QCOMPARE(laid.first().style, LaidOutLine::Style::Heading);
    QCOMPARE(laid[13].style, LaidOutLine::Style::Emphasised);
}

void TestTakings::receiptOfACashSale() {
    SaleList sale;
    sale.AddToSaleList("可乐", "3", "1", "3");
    sale.AddToSaleList("进口精酿啤酒（大瓶装，冰镇）", "12.5", "1", "12.5");
    sale.AddToSaleList("花生", "2.5", "1", "2.5");
    const CashSaleReceiptInput input{.roomName = "",
                                     .sold = QDateTime(kDay, QTime(21, 30)),
                                     .lines = saleReceiptLines(sale.grid()),
                                     .total = sale.UpdateSaleTotal(),
                                     .payment = "20",
                                     .change = SaleChange("20", sale.UpdateSaleTotal(), "")};
    const QStringList lines = receiptTextLines(cashSaleReceipt(input), 32);
    QVERIFY(everyLineFits(lines, 32));
    const qsizetype header = lines.indexOf(QRegularExpression("^商品 +单价  数量  金额$"));
    QVERIFY(header > 0);
    QCOMPARE(lines.mid(header + 1, 4), (QStringList{
                                           "花生             2.5     1   2.5",
                                           "进口精酿啤酒（大瓶装，冰镇）",
                                           "                12.5     1  12.5",
                                           "可乐               3     1     3",
                                       }));
    QCOMPARE(fieldOn(lines, "时间："), QStringLiteral("2013年5月20日21时30分"));
    QCOMPARE(fieldOn(lines, "合计："), QStringLiteral("18元"));
    QCOMPARE(fieldOn(lines, "付款："), QStringLiteral("20元"));
    QCOMPARE(fieldOn(lines, "找零："), QStringLiteral("2元"));

    // An empty list says so, and an empty total is the sum of the lines.
    const QStringList empty = receiptTextLines(cashSaleReceipt({}), 48);
    QVERIFY(empty.contains("没有商品"));
    QCOMPARE(fieldOn(empty, "合计："), QStringLiteral("0元"));
}

void TestTakings::layoutKeepsEveryLineOnThePaper_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("a long Chinese name") << QString(40, QChar(0x6842));
    QTest::newRow("line breaks and tabs") << "一\r\n二\t三\n";
    QTest::newRow("a long Latin name") << "Golden Cue Billiards and Mahjong Club Downtown";
    QTest::newRow("combining marks and emoji") << "Cafe\u0301 🎱🎱🎱🎱🎱🎱🎱🎱🎱🎱🎱🎱🎱🎱🎱🎱🎱🎱";
    QTest::newRow("direction overrides") << "可乐\u202E啤酒\u200B";
    QTest::newRow("huge figures") << "x";
}

// Whatever the texts, no line is wider than the paper or breaks it, and nothing is lost: the
// texts' characters all come out, in order.
void TestTakings::layoutKeepsEveryLineOnThePaper() {
    QFETCH(QString, name);
    const QString huge = "-1.234567890123e+300";
    const CashSaleReceiptInput input{.roomName = name,
                                     .sold = {},
                                     .lines = {{name, huge, huge, huge}, {"茶", "5", "1", "5"}},
                                     .total = huge,
                                     .payment = name,
                                     .change = "0"};
    for (int width : {16, 32, 48, 72}) {
        const QStringList lines = receiptTextLines(cashSaleReceipt(input), width);
        QVERIFY2(everyLineFits(lines, width), qPrintable(lines.join('\n')));
        QString all = lines.join(QString());
        all.remove(QLatin1Char(' '));
        QString wanted = name;
        wanted.remove(QRegularExpression("[\\s\\p{Cf}]"));
        QVERIFY(!all.contains(QChar(0x202E)));
        QVERIFY2(all.contains(wanted), qPrintable(lines.join('\n')));
        if (width >= textCells(huge))
            QCOMPARE(all.count(huge), 4);
    }
}

QTEST_APPLESS_MAIN(TestTakings)
#include "test_takings.moc"
