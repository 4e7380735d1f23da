#include "app/checkout_window.h"
#include "app/main_window.h"
#include "app/statistics_window.h"
#include "common/safe_save.h"
#include "shell_fixture.h"
#include "takings/takings_book.h"

#include <QFile>
#include <QSignalSpy>

using namespace cuemora;
namespace col = RegisterColumn;

namespace {

const QString kToday = QStringLiteral("2013年5月20日收入统计");
const QStringList kHeader{"名称", "明细表", "收费"};

// Puts table n in use with the given cells, as opening it and charging goods to it would leave it.
void putInUse(Shell& shell, int n, const QString& seconds, const QString& price = QStringLiteral("20"),
              const QString& rate = QStringLiteral("10"), const QString& goods = QString()) {
    GridStore& grid = shell.tables().grid();
    grid.setCell(n, col::Start, QStringLiteral("2013年5月20日14时30分5秒"));
    grid.setCell(n, col::Seconds, seconds);
    grid.setCell(n, col::Price, price);
    grid.setCell(n, col::Rate, rate);
    grid.setCell(n, col::GoodsNames, goods.isEmpty() ? QString() : QStringLiteral("、可乐"));
    grid.setCell(n, col::GoodsTotal, goods);
    grid.setChecked(n, col::InUse, true);
    shell.tables().RefreshPictures();
}

// Chooses the type, drops the list of tables in use down and picks its item k.
void pickFromList(MainWindow& window, QRadioButton* type, int k) {
    type->click();
    TableListBox* list = MainWindowControls(&window).结账组合框;
    list->showPopup();
    list->hidePopup();
    list->setCurrentIndex(k);
}

void checkOutByNumber(MainWindow& window, const QString& typed) {
    MainWindowControls(&window).checkoutNumberEdit->setText(typed);
    MainWindowControls(&window).输号结账按钮->click();
}

// The checkout window's boxes in the order the charge fills them.
QStringList chargeShown(const CheckoutWindow* checkout) {
    const auto ui = std::make_unique<CheckoutWindowControls>(checkout);
    return {ui->作用透明标签->text(), ui->startEdit->text(),      ui->hoursEdit->text(),
            ui->rateEdit->text(),     ui->priceEdit->text(),      ui->goodsSubtotalEdit->text(),
            ui->dueEdit->text(),      ui->discountedEdit->text(), ui->totalEdit->text()};
}

QStringList namesIn(const QComboBox* list) {
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names.append(list->itemText(i));
    return names;
}

// The takings as the statistics window shows them: its header, then its rows.
QList<QStringList> shownTakings(MainWindow& window) {
    const QAbstractItemModel* model = StatisticsWindowControls(window.statisticsWindow()).TakingsGrid->model();
    QList<QStringList> rows;
    QStringList header;
    for (int c = 0; c < model->columnCount(); ++c)
        header.append(model->headerData(c, Qt::Horizontal).toString());
    rows.append(header);
    for (int r = 0; r < model->rowCount(); ++r) {
        QStringList texts;
        for (int c = 0; c < model->columnCount(); ++c)
            texts.append(model->index(r, c).data().toString());
        rows.append(texts);
    }
    return rows;
}

QList<QStringList> rowsOfFile(const Shell& shell, const QString& name) {
    GridStore grid;
    QList<QStringList> rows;
    if (!grid.loadFromFile(shell.dir.filePath(name)))
        return rows;
    for (int r = 0; r < grid.rowCount(); ++r)
        rows.append({grid.cellText(r, 0), grid.cellText(r, 1), grid.cellText(r, 2)});
    return rows;
}

QByteArray fileBytes(const Shell& shell, const QString& name) {
    QFile file(shell.dir.filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes the takings of another day, the last row given on top, as that day's checkouts left them.
void writeDay(const Shell& shell, QDate day, const QList<TakingsRow>& rows) {
    ManualClock clock(QDateTime(day, QTime(20, 0)));
    ScriptedMessages quiet;
    TakingsBook book(shell.data, clock);
    QVERIFY(book.AddTakingsRows(rows, quiet));
    QVERIFY(quiet.shown().isEmpty());
}

bool isFreeRow(Shell& shell, int n) {
    const GridStore& grid = shell.tables().grid();
    for (int c : {col::Start, col::Seconds, col::GoodsNames, col::GoodsTotal}) {
        if (!grid.cellText(n, c).isEmpty())
            return false;
    }
    return !shell.tables().isInUse(n) && grid.getCell(n, col::Picture).toByteArray() ==
                                             statusPictureBitmap(statusPictureFor(shell.tables().type(n), false));
}

QByteArray pictureOf(Shell& shell, int n) {
    return shell.tables().grid().getCell(n, col::Picture).toByteArray();
}

} // namespace

class TestCheckoutWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() {
        QCOMPARE(visibleWindows(), QStringList());
    }

    // The road of one table: picked from the list of tables in use, its charge shown to the
    // character, the payment typed key by key with the change following each key, then "结账" and
    // Yes: the day's file holds the row and the table is free again with its free picture.
    void roadOfOneTable_data() {
        QTest::addColumn<QStringList>("cells");   // 使用时长, 单价/h, 折率, 记录总价
        QTest::addColumn<QStringList>("charge");  // 时长, 应付, 实付, 共付
        QTest::addColumn<QStringList>("changes"); // after "5", "50", and each of two backspaces
        QTest::newRow("goods and a discount")
            << QStringList{"5400", "20", "8", "12.5"} << QStringList{"1.5", "30", "24", "36.5"}
            << QStringList{"-31.5", "13.5", "-31.5", "-36.5"};
        QTest::newRow("1000 seconds at full price")
            << QStringList{"1000", "15", "10", ""}
            << QStringList{"0.2777777777778", "4.166666666667", "4.166666666667", "4.166666666667"}
            << QStringList{"0.833333333333", "45.83333333333", "0.833333333333", "-4.166666666667"};
        QTest::newRow("1000 seconds at 8 tenths")
            << QStringList{"1000", "15", "8", ""}
            << QStringList{"0.2777777777778", "4.166666666667", "3.333333333334", "3.333333333334"}
            << QStringList{"1.666666666666", "46.66666666667", "1.666666666666", "-3.333333333334"};
    }

    void roadOfOneTable() {
        QFETCH(QStringList, cells);
        QFETCH(QStringList, charge);
        QFETCH(QStringList, changes);
        Shell shell;
        saveRegister(shell.dir.path(), 4, {1});
        MainWindow& window = shell.resume();
        putInUse(shell, 3, cells[0], cells[1], cells[2], cells[3]);
        CheckoutWindow* checkout = window.checkoutWindow();
        const auto ui = std::make_unique<CheckoutWindowControls>(checkout);

        pickFromList(window, MainWindowControls(&window).单选框3, 1); // 1号大厅, 3号大厅
        MainWindowControls(&window).结账按钮->click();
        QVERIFY(checkout->isVisible());
        QVERIFY(!checkout->isModal());
        QCOMPARE(chargeShown(checkout), (QStringList{"3", "2013年5月20日14时30分5秒", charge[0], cells[2], cells[1],
                                                     cells[3], charge[1], charge[2], charge[3]}));
        QVERIFY(!ui->rateEdit->isEnabled());
        QCOMPARE(checkout->focusWidget(), static_cast<QWidget*>(ui->paymentEdit));
        QCOMPARE(MainWindowControls(&window).结账组合框->count(), 0);
        QCOMPARE(ui->paymentEdit->text(), QString()); // a first fill leaves the payment empty
        QCOMPARE(ui->changeEdit->text(), QString());

        QSignalSpy shownChanges(ui->changeEdit, &QLineEdit::textChanged);
        QTest::keyClicks(ui->paymentEdit, QStringLiteral("50"));
        QTest::keyClick(ui->paymentEdit, Qt::Key_Backspace);
        QTest::keyClick(ui->paymentEdit, Qt::Key_Backspace);
        QStringList seen;
        for (const QList<QVariant>& change : shownChanges)
            seen.append(change.first().toString());
        QCOMPARE(seen, changes);
        QVERIFY(shell.messages.shown().isEmpty());

        shell.messages.setNextAnswers({MessageButton::Yes});
        ui->结账结束按钮->click();
        QCOMPARE(shell.messages.shown().size(), 1);
        const Message& question = shell.messages.shown().first();
        QCOMPARE(question.text, QStringLiteral("   是否结账？\r\n按 “ 是 ” 钮,关闭程序？。"));
        QCOMPARE(question.icon, MessageIcon::Information);
        QCOMPARE(question.buttons, MessageButtons::YesNo);
        QCOMPARE(question.title, QStringLiteral("信息："));
        QVERIFY(checkout->isHidden());
        QCOMPARE(rowsOfFile(shell, kToday), (QList<QStringList>{kHeader, {"3号台收费", charge[0], charge[3]}}));
        QVERIFY(isFreeRow(shell, 3));
        QVERIFY(shell.tables().isInUse(1)); // the other table goes on
        QCOMPARE(shell.tables().grid().cellText(0, col::Start), QStringLiteral("开始时间"));
        shell.window.reset();
    }

    // A second fill while the window is open shows the other table with the payment and the change
    // of the first one gone, so no guest is told another's change; what the operator corrects in
    // "时长：" and "共付：" is what is recorded; the later checkout's row stands on top of the
    // earlier one.
    void editsCountAndTheNewestRowIsOnTop() {
        Shell shell;
        saveRegister(shell.dir.path(), 4, {});
        MainWindow& window = shell.start();
        putInUse(shell, 1, QStringLiteral("3600"));
        putInUse(shell, 3, QStringLiteral("5400"), QStringLiteral("20"), QStringLiteral("8"), QStringLiteral("12.5"));
        CheckoutWindow* checkout = window.checkoutWindow();
        const auto ui = std::make_unique<CheckoutWindowControls>(checkout);

        pickFromList(window, MainWindowControls(&window).单选框3, 1);
        MainWindowControls(&window).结账按钮->click();
        QTest::keyClicks(ui->paymentEdit, QStringLiteral("100"));
        QCOMPARE(ui->changeEdit->text(), QStringLiteral("63.5"));
        checkOutByNumber(window, QStringLiteral("1"));
        QCOMPARE(chargeShown(checkout),
                 (QStringList{"1", "2013年5月20日14时30分5秒", "1", "10", "20", "", "20", "20", "20"}));
        QCOMPARE(ui->paymentEdit->text(), QString());
        QCOMPARE(ui->changeEdit->text(), QString());
        QCOMPARE(checkout->focusWidget(), static_cast<QWidget*>(ui->paymentEdit));

        ui->hoursEdit->setText(QStringLiteral("0.5"));
        ui->totalEdit->setText(QStringLiteral("10"));
        shell.messages.setNextAnswers({MessageButton::Yes});
        ui->结账结束按钮->click();
        pickFromList(window, MainWindowControls(&window).单选框3, 0); // table 3 is the only one left
        MainWindowControls(&window).结账按钮->click();
        shell.messages.setNextAnswers({MessageButton::Yes});
        ui->结账结束按钮->click();

        QCOMPARE(rowsOfFile(shell, kToday),
                 (QList<QStringList>{kHeader, {"3号台收费", "1.5", "36.5"}, {"1号台收费", "0.5", "10"}}));
        QVERIFY(isFreeRow(shell, 1) && isFreeRow(shell, 3));
        QCOMPARE(shell.messages.shown().size(), 2);
        shell.window.reset();
    }

    // The number box: the table it names, by the integer part of its number; a number that names
    // no table is refused with a message, nothing is shown and the number stays to be corrected.
    void checkoutByNumber_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("table"); // 0: refused
        QTest::addColumn<QString>("message");
        const auto noSuchTable = [](const QString& typed) {
            return QStringLiteral("没有序号为“%1”的台，请输入台的序号").arg(typed);
        };
        QTest::newRow("a table in use") << "3" << 3 << "";
        QTest::newRow("its integer part") << "3.9" << 3 << "";
        QTest::newRow("full-width digits") << "３" << 3 << "";
        QTest::newRow("a free table") << "2" << 2 << "";
        QTest::newRow("nothing typed") << "" << 0 << "请输入序号";
        QTest::newRow("the header row") << "0" << 0 << noSuchTable("0");
        QTest::newRow("negative") << "-1" << 0 << noSuchTable("-1");
        QTest::newRow("beyond the last table") << "5" << 0 << noSuchTable("5");
        QTest::newRow("not a number") << "abc" << 0 << noSuchTable("abc");
        QTest::newRow("a blank") << " " << 0 << noSuchTable(" ");
    }

    void checkoutByNumber() {
        QFETCH(QString, typed);
        QFETCH(int, table);
        QFETCH(QString, message);
        Shell shell;
        saveRegister(shell.dir.path(), 4, {3});
        MainWindow& window = shell.resume();
        const QByteArray registerBefore = shell.tables().grid().getCell(0, col::Start).toByteArray();
        CheckoutWindow* checkout = window.checkoutWindow();
        checkOutByNumber(window, typed);
        QCOMPARE(shell.messages.shownTexts(), message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(checkout->isVisible(), table != 0);
        QCOMPARE(MainWindowControls(&window).checkoutNumberEdit->text(), table ? QString() : typed);
        if (table) {
            QCOMPARE(CheckoutWindowControls(checkout).作用透明标签->text(), QString::number(table));
            QCOMPARE(CheckoutWindowControls(checkout).hoursEdit->text(),
                     table == 3 ? QStringLiteral("0.05") : QStringLiteral("0"));
            QCOMPARE(CheckoutWindowControls(checkout).startEdit->text(),
                     table == 3 ? u"2013年5月20日14时30分5秒"_qs : QString());
            checkout->close();
        }
        QCOMPARE(shell.tables().grid().getCell(0, col::Start).toByteArray(), registerBefore);
        QVERIFY(!QFile::exists(shell.dir.filePath(kToday)));
        shell.window.reset();
    }

    // The list follows the radio buttons only when it drops down; the checks come in their order;
    // a pick stays the pick when the type is changed afterwards.
    void listOfTablesInUse() {
        Shell shell;
        saveRegister(shell.dir.path(), 6, {1, 2, 4, 5});
        MainWindow& window = shell.resume();
        TableListBox* list = MainWindowControls(&window).结账组合框;

        list->showPopup();
        list->hidePopup();
        QCOMPARE(list->count(), 0);
        MainWindowControls(&window).结账按钮->click();
        QCOMPARE(shell.messages.lastText(), QStringLiteral("请选择类型"));

        pickFromList(window, MainWindowControls(&window).单选框4, -1);
        QCOMPARE(namesIn(list), (QStringList{"2号大厅", "4号大厅"}));
        MainWindowControls(&window).结账按钮->click();
        QCOMPARE(shell.messages.lastText(), QStringLiteral("请选择要结账的台号"));
        QCOMPARE(list->count(), 2); // a refusal leaves the list as it was

        pickFromList(window, MainWindowControls(&window).单选框3, 1);
        QCOMPARE(namesIn(list), (QStringList{"1号大厅", "5号大厅"}));
        MainWindowControls(&window).单选框4->click();
        MainWindowControls(&window).结账按钮->click();
        QCOMPARE(CheckoutWindowControls(window.checkoutWindow()).作用透明标签->text(), QStringLiteral("5"));
        QCOMPARE(shell.messages.shown().size(), 2);
        window.checkoutWindow()->close();
        shell.window.reset();
    }

    // A pick from the list of tables in use that is stale by the time of "开始结账" (the table was
    // checked out by its number meanwhile, or is gone with "重设") is refused: nothing is shown or
    // recorded, and the list is emptied for a fresh pick.
    void stalePickIsRefused_data() {
        QTest::addColumn<bool>("reset");
        QTest::addColumn<QString>("message");
        QTest::newRow("checked out meanwhile") << false << "“1号大厅”已经没有在使用，不能结账，请重新选择使用中的台";
        QTest::newRow("gone with the reset") << true << "这张台已经不在台的列表里了，请重新选择使用中的台";
    }

    void stalePickIsRefused() {
        QFETCH(bool, reset);
        QFETCH(QString, message);
        Shell shell;
        saveRegister(shell.dir.path(), 2, {1});
        MainWindow& window = shell.resume();
        const MainWindowControls ui(&window);
        CheckoutWindow* checkout = window.checkoutWindow();
        pickFromList(window, ui.单选框3, 0);
        checkOutByNumber(window, QStringLiteral("1"));
        shell.messages.setNextAnswers({MessageButton::Yes});
        CheckoutWindowControls(checkout).结账结束按钮->click();
        if (reset) {
            shell.logIn();
            shell.messages.setNextAnswers({MessageButton::Yes});
            ui.按钮6->click();
            QCOMPARE(shell.tables().tableCount(), 0);
        }
        shell.messages.clear();
        const QList<QStringList> takings = rowsOfFile(shell, kToday);
        QCOMPARE(ui.结账组合框->chosenTable(), 1);
        ui.结账按钮->click();
        QCOMPARE(shell.messages.shownTexts(), QStringList{message});
        QVERIFY(checkout->isHidden());
        QCOMPARE(ui.结账组合框->count(), 0);
        QCOMPARE(rowsOfFile(shell, kToday), takings);
        shell.window.reset();
    }

    // No, and the close box, record nothing and leave the table in use with its clock running; the
    // window hides and every picture is refreshed. A later checkout shows the longer time.
    void noAndTheCloseBoxRecordNothing_data() {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("No") << false;
        QTest::newRow("close box") << true;
    }

    void noAndTheCloseBoxRecordNothing() {
        QFETCH(bool, closeBox);
        Shell shell;
        saveRegister(shell.dir.path(), 4, {1});
        MainWindow& window = shell.resume();
        putInUse(shell, 3, QStringLiteral("5400"), QStringLiteral("20"), QStringLiteral("8"), QStringLiteral("12.5"));
        CheckoutWindow* checkout = window.checkoutWindow();
        checkOutByNumber(window, QStringLiteral("3"));
        const auto useOf = [&shell] {
            const GridStore& grid = shell.tables().grid();
            return QStringList{grid.cellText(3, col::Start), grid.cellText(3, col::Seconds),
                               grid.cellText(3, col::GoodsNames), grid.cellText(3, col::GoodsTotal)};
        };
        const QStringList useBefore = useOf();
        const QByteArray busy = pictureOf(shell, 3);
        // Table 1 freed behind the register's back: only a refresh shows its free picture.
        shell.tables().grid().setChecked(1, col::InUse, false);

        if (closeBox) {
            QVERIFY(checkout->close());
        } else {
            shell.messages.setNextAnswers({MessageButton::No});
            CheckoutWindowControls(checkout).结账结束按钮->click();
        }
        QCOMPARE(shell.messages.shown().size(), closeBox ? 0 : 1);
        QVERIFY(checkout->isHidden());
        QVERIFY(!QFile::exists(shell.dir.filePath(kToday)));
        QVERIFY(shell.tables().isInUse(3));
        QCOMPARE(useOf(), useBefore);
        QCOMPARE(pictureOf(shell, 3), busy);
        QCOMPARE(pictureOf(shell, 1), statusPictureBitmap(StatusPicture::BilliardFree));

        shell.tick();
        checkOutByNumber(window, QStringLiteral("3"));
        QCOMPARE(CheckoutWindowControls(checkout).hoursEdit->text(), QStringLiteral("1.500277777778"));
        checkout->close();
        shell.window.reset();
    }

    // "查找" captions the window with the day and shows what it holds under the header; "统计"
    // loads the day and adds the total row, once however often it is pressed.
    void dayTotals() {
        Shell shell;
        writeDay(shell, QDate(2013, 5, 19),
                 {{"1号台收费", "0.2777777777778", "4.166666666667"}, {"3号台收费", "1.5", "36.5"}});
        MainWindow& window = shell.start();
        StatisticsWindow* statistics = window.statisticsWindow();
        QCOMPARE(statistics->windowTitle(), QStringLiteral("统计窗口"));
        MainWindowControls(&window).queryDateEdit->setText(QStringLiteral("2013年5月19日"));
        shell.logIn(); // the group opens with a login; its tests are the account window's
        MainWindowControls(&window).findButton->click();
        QVERIFY(statistics->isVisible());
        QCOMPARE(statistics->windowTitle(), QStringLiteral("统计窗口查询：2013年5月19日"));
        QCOMPARE(shownTakings(window), QList<QStringList>{kHeader});
        const QList<QStringList> day{kHeader,
                                     {"3号台收费", "1.5", "36.5"},
                                     {"1号台收费", "0.2777777777778", "4.166666666667"},
                                     {"总收入", "1", "40.66666666667"}};
        for (int press = 0; press < 2; ++press) {
            StatisticsWindowControls(statistics).statisticsButton->click();
            QCOMPARE(shownTakings(window), day);
        }
        QVERIFY(shell.messages.shown().isEmpty());
        StatisticsWindowControls(statistics).closeButton->click();
        QVERIFY(statistics->isHidden());
        QCOMPARE(shownTakings(window), day); // hiding keeps what it shows
        shell.window.reset();
    }

    // The query box is read when "统计" is pressed, exactly as typed, while the caption keeps the
    // day of "查找"; "查找" itself loads nothing. A day without a readable file shows the header and
    // a total of 0, never the rows or the total of the day shown before.
    void dayTotalsOfOtherQueries_data() {
        QTest::addColumn<QString>("found");
        QTest::addColumn<QString>("counted");
        QTest::addColumn<QList<QStringList>>("shown");
        QTest::addColumn<QString>("message");
        const QList<QStringList> none{kHeader, {"总收入", "0", "0"}};
        QTest::newRow("query changed after 查找")
            << "2013年5月19日"
            << "2013年5月17日" << QList<QStringList>{kHeader, {"可乐", "2", "6"}, {"总收入", "2", "6"}} << "";
        QTest::newRow("leading zeros") << "2013年05月17日"
                                       << "2013年05月17日" << none << "";
        QTest::newRow("a day without takings") << "2013年5月16日"
                                               << "2013年5月16日" << none << "";
        QTest::newRow("not a day") << "abc"
                                   << "abc" << none << "";
        QTest::newRow("unreadable file") << "2013年5月18日"
                                         << "2013年5月18日" << none << "收入文件“2013年5月18日收入统计”无法读取";
    }

    void dayTotalsOfOtherQueries() {
        QFETCH(QString, found);
        QFETCH(QString, counted);
        QFETCH(QList<QStringList>, shown);
        QFETCH(QString, message);
        Shell shell;
        writeDay(shell, QDate(2013, 5, 19), {{"3号台收费", "1.5", "36.5"}});
        writeDay(shell, QDate(2013, 5, 17), {{"可乐", "2", "6"}});
        QVERIFY(saveWholeFile(shell.dir.filePath(QStringLiteral("2013年5月18日收入统计")), QByteArray(600, 'x')));
        MainWindow& window = shell.start();
        shell.logIn();
        StatisticsWindow* statistics = window.statisticsWindow();
        MainWindowControls(&window).queryDateEdit->setText(QStringLiteral("2013年5月19日"));
        MainWindowControls(&window).findButton->click();
        StatisticsWindowControls(statistics).statisticsButton->click();
        const QList<QStringList> before = shownTakings(window);
        QCOMPARE(before.size(), 3);

        MainWindowControls(&window).queryDateEdit->setText(found);
        MainWindowControls(&window).findButton->click();
        QCOMPARE(shownTakings(window), before);
        MainWindowControls(&window).queryDateEdit->setText(counted);
        StatisticsWindowControls(statistics).statisticsButton->click();
        QCOMPARE(shownTakings(window), shown);
        QCOMPARE(statistics->windowTitle(), QStringLiteral("统计窗口查询：") + found);
        QCOMPARE(shell.messages.shown().size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty())
            QVERIFY2(shell.messages.lastText().startsWith(message), qPrintable(shell.messages.lastText()));
        QVERIFY(statistics->close()); // the close box hides it
        QVERIFY(statistics->isHidden());
        shell.window.reset();
    }

    // A checkout while the statistics window shows another day makes it show today's rows.
    void takingsWhileAnotherDayIsShown() {
        Shell shell;
        writeDay(shell, QDate(2013, 5, 19), {{"3号台收费", "1.5", "36.5"}});
        saveRegister(shell.dir.path(), 2, {2});
        MainWindow& window = shell.resume();
        shell.logIn();
        StatisticsWindow* statistics = window.statisticsWindow();
        MainWindowControls(&window).queryDateEdit->setText(QStringLiteral("2013年5月19日"));
        MainWindowControls(&window).findButton->click();
        StatisticsWindowControls(statistics).statisticsButton->click();
        checkOutByNumber(window, QStringLiteral("2"));
        shell.messages.setNextAnswers({MessageButton::Yes});
        CheckoutWindowControls(window.checkoutWindow()).结账结束按钮->click();
        QVERIFY(statistics->isVisible());
        QCOMPARE(shownTakings(window),
                 (QList<QStringList>{kHeader, {"2号台收费", "0.03333333333333", "0.6666666666666"}}));
        StatisticsWindowControls(statistics).closeButton->click();
        shell.window.reset();
    }

    // Today's file that cannot be read is kept under a new name, the operator is told once, and
    // the day goes on in a fresh file.
    void unreadableDayFileIsKept() {
        Shell shell;
        const QByteArray damaged("EGRD\x06\x00\x00\x00 the rest of a day that was cut short", 45);
        QVERIFY(saveWholeFile(shell.dir.filePath(kToday), damaged));
        saveRegister(shell.dir.path(), 2, {1, 2});
        MainWindow& window = shell.resume();
        for (const QString& number : {u"1"_qs, u"2"_qs}) {
            checkOutByNumber(window, number);
            shell.messages.setNextAnswers({MessageButton::Yes});
            CheckoutWindowControls(window.checkoutWindow()).结账结束按钮->click();
        }
        const QStringList texts = shell.messages.shownTexts();
        QCOMPARE(texts.size(), 3); // the question, the notice, the question
        QVERIFY2(texts[1].contains(kToday + QStringLiteral(".无法读取1")), qPrintable(texts[1]));
        QCOMPARE(texts[2], texts[0]);
        QCOMPARE(fileBytes(shell, kToday + QStringLiteral(".无法读取1")), damaged);
        QCOMPARE(rowsOfFile(shell, kToday), (QList<QStringList>{kHeader,
                                                                {"2号台收费", "0.03333333333333", "0.6666666666666"},
                                                                {"1号台收费", "0.01666666666667", "0.3333333333334"}}));
        QVERIFY(isFreeRow(shell, 1) && isFreeRow(shell, 2));
        shell.window.reset();
    }

    // A takings row that cannot be saved is shown with its texts, and the table is freed all the
    // same; the register, which the full disk refuses as well, says so with the disk's reason.
    void unsavedTakingsAreShown() {
        Shell shell;
        saveRegister(shell.dir.path(), 4, {});
        MainWindow& window = shell.start();
        putInUse(shell, 3, QStringLiteral("5400"), QStringLiteral("20"), QStringLiteral("8"), QStringLiteral("12.5"));
        checkOutByNumber(window, QStringLiteral("3"));
        shell.writer.failAfter(0);
        shell.messages.setNextAnswers({MessageButton::Yes});
        CheckoutWindowControls(window.checkoutWindow()).结账结束按钮->click();
        QCOMPARE(shell.messages.shown().size(), 3);
        const Message& notice = shell.messages.shown()[1];
        QCOMPARE(notice.buttons, MessageButtons::Ok);
        QVERIFY2(notice.text.contains(kToday) && notice.text.contains(QStringLiteral("3号台收费    1.5    36.5")),
                 qPrintable(notice.text));
        const QString registerNotice = shell.messages.lastText();
        QVERIFY2(registerNotice.contains(TableRegister::fileName()) && registerNotice.contains(u"设备已满"_qs),
                 qPrintable(registerNotice));
        QVERIFY(!QFile::exists(shell.dir.filePath(kToday)));
        QVERIFY(window.checkoutWindow()->isHidden());
        QVERIFY(isFreeRow(shell, 3));
        shell.window.reset();
    }
};

CUEMORA_WINDOW_TEST_MAIN(TestCheckoutWindow)
#include "test_checkout_window.moc"
