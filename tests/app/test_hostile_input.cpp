// Whatever the operator types or pastes, and whatever lies on disk, the program keeps running,
// shows what the rules make of it, and loses nothing that was saved.

#include "accounts/account_book.h"
#include "app/account_window.h"
#include "app/checkout_window.h"
#include "app/main_window.h"
#include "app/sales_window.h"
#include "app/statistics_window.h"
#include "common/cp936.h"
#include "goods/goods_stock.h"
#include "shell_fixture.h"
#include "tables/table_setup.h"
#include "takings/takings_book.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QRandomGenerator>

using namespace cuemora;
namespace col = RegisterColumn;

namespace {

const QString kToday = QStringLiteral("2013年5月20日收入统计");

QByteArray fileBytes(const Shell& shell, const QString& name) {
    QFile file(shell.dir.filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const Shell& shell, const QString& name, const QByteArray& bytes) {
    QFile file(shell.dir.filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Every file of the directory that a grid store can read back.
bool everyGridFileLoads(const Shell& shell) {
    for (const QString& name : {TableRegister::fileName(), GoodsStock::fileName(), kToday}) {
        if (!QFile::exists(shell.dir.filePath(name)))
            continue;
        GridStore grid;
        if (!grid.loadFromFile(shell.dir.filePath(name)))
            return false;
    }
    return true;
}

// What a paste puts into a box: the text at the cursor, with the box's change signal.
void paste(QLineEdit* box, const QString& text) {
    box->clear();
    box->insert(text);
}

// Three saved tables, table 1 in use for an hour, two saved goods.
void setUpRoom(const Shell& shell) {
    saveRegister(shell.dir.path(), 3, {1});
    const DataDirectory data(shell.dir.path());
    GoodsStock goods(data);
    ScriptedMessages quiet;
    goods.ReloadGoods(quiet);
    goods.AddGoods(QStringLiteral("可乐"), QStringLiteral("10"), QStringLiteral("3"), QStringLiteral("A1"), quiet);
    goods.AddGoods(QStringLiteral("瓜子"), QStringLiteral("5"), QStringLiteral("2.5"), QStringLiteral("B2"), quiet);
    QVERIFY(goods.SaveGoods(quiet));
}

} // namespace

class TestHostileInput : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QCOMPARE(visibleWindows(), QStringList()); }

    void typedNumbers_data();
    void typedNumbers();
    void damagedFilesAtStart_data();
    void damagedFilesAtStart();
    void damagedAccountFile();
};

void TestHostileInput::typedNumbers_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("not a number") << QStringLiteral("abc");
    QTest::newRow("full width") << QStringLiteral("１２.５");
    QTest::newRow("too large to hold") << QStringLiteral("1e400");
    QTest::newRow("minus zero") << QStringLiteral("-0");
    QTest::newRow("many digits") << QStringLiteral("999999999999999999999");
    QTest::newRow("10,000 digits") << QString(10000, QLatin1Char('9'));
    QString junk;
    QRandomGenerator random(936);
    for (int k = 0; k < 10000; ++k)
        junk.append(QChar(static_cast<char16_t>(random.bounded(0x20, 0x9fff))));
    QTest::newRow("10,000 characters of anything") << junk;
}

// The text goes into every box that a rule reads as a number, and every button that reads it is
// pressed. Each refusal is a message; each acceptance shows what the rules make of the text.
void TestHostileInput::typedNumbers() {
    QFETCH(QString, text);
    Shell shell;
    setUpRoom(shell);
    MainWindow& window = shell.start();
    const MainWindowControls ui(&window);
    shell.logIn();
    shell.messages.setNextAnswers({});

    // "添加" with the text as the count, and as the price and rate of one table.
    ui.tableTypeCombo->setCurrentIndex(0);
    ui.tableNameEdit->setText(QStringLiteral("大厅"));
    ui.tablePriceEdit->setText(QStringLiteral("20"));
    ui.tableRateEdit->setText(QStringLiteral("10"));
    paste(ui.tableCountEdit, text);
    ui.添加按钮->click();
    QVERIFY(shell.tables().tableCount() <= 3 + kMostTablesPerBatch);
    ui.tableCountEdit->setText(QStringLiteral("1"));
    paste(ui.tablePriceEdit, text);
    paste(ui.tableRateEdit, text);
    ui.添加按钮->click();
    const int added = shell.tables().tableCount();
    QVERIFY(everyGridFileLoads(shell));

    // The numbers typed to open and to check out a table.
    paste(ui.openNumberEdit, text);
    ui.输号开台按钮->click();
    paste(ui.checkoutNumberEdit, text);
    ui.输号结账按钮->click();
    QVERIFY(shell.tables().grid().cellText(0, col::Start) == QStringLiteral("开始时间"));

    // The last table added carries the text as its price and rate; its checkout reads them.
    shell.tables().grid().setCell(added, col::Seconds, QStringLiteral("3600"));
    shell.tables().grid().setChecked(added, col::InUse, true);
    ui.checkoutNumberEdit->setText(QString::number(added));
    ui.输号结账按钮->click();
    CheckoutWindow* checkout = window.checkoutWindow();
    QVERIFY(checkout->isVisible());
    paste(CheckoutWindowControls(checkout).paymentEdit, text);
    QVERIFY(!CheckoutWindowControls(checkout).changeEdit->text().isEmpty());
    paste(CheckoutWindowControls(checkout).totalEdit, text); // edited by hand before the confirmation
    shell.messages.setNextAnswers({MessageButton::Yes});
    CheckoutWindowControls(checkout).结账结束按钮->click();
    QVERIFY(checkout->isHidden());
    QVERIFY(!shell.tables().isInUse(added));
    GridStore day;
    QVERIFY(day.loadFromFile(shell.dir.filePath(kToday)));
    if (fitsCp936(text)) {
        QCOMPARE(day.cellText(1, 2), text);
    } else { // shown to be written down, never recorded as an empty amount
        QCOMPARE(day.rowCount(), 1);
        QVERIFY(shell.messages.lastText().contains(text.left(60)));
    }

    // The stock page adds the text as a quantity, twice; the sale takes it as a payment.
    ui.sellButton->click();
    SalesWindow* sales = window.salesWindow();
    const SalesWindowControls shop(sales);
    for (int k = 0; k < 2; ++k) {
        shop.stockNameEdit->setText(QStringLiteral("可乐"));
        paste(shop.stockQuantityEdit, text);
        paste(shop.stockPriceEdit, text);
        shop.stockCodeEdit->setText(QStringLiteral("A1"));
        shop.添加商品按钮->click();
    }
    paste(shop.goodsQuantityEdit, text);
    paste(shop.paidEdit, text);
    paste(shop.searchEdit, text);
    shop.查找按钮->click();
    shop.保存数据按钮->click();
    QVERIFY(everyGridFileLoads(shell));
    shop.closeButton->click();

    // The day query takes the text as a day.
    paste(ui.queryDateEdit, text);
    ui.findButton->click();
    StatisticsWindowControls(window.statisticsWindow()).statisticsButton->click();
    const GridStore& shown = shell.room->takings().grid();
    QCOMPARE(shown.cellText(shown.rowCount() - 1, 0), QStringLiteral("总收入"));
    window.statisticsWindow()->hide();

    // The program still works: a table opens and its clock runs.
    ui.openNumberEdit->setText(QStringLiteral("2"));
    ui.输号开台按钮->click();
    QVERIFY(shell.tables().isInUse(2));
    shell.tick();
    QCOMPARE(shell.tables().grid().cellText(2, col::Seconds), QStringLiteral("2"));
    shell.window.reset();
}

void TestHostileInput::damagedFilesAtStart_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("bytes");
    QByteArray good;
    {
        GridStore grid;
        grid.setRowCount(40);
        grid.setColumnCount(3);
        for (int r = 0; r < 40; ++r)
            grid.setCell(r, 0, QStringLiteral("第%1行").arg(r));
        good = grid.toBytes();
    }
    QByteArray wrongVersion = good;
    wrongVersion[4] = 7;
    QByteArray random(4096, '\0');
    QRandomGenerator generator(20130520);
    for (char& b : random)
        b = static_cast<char>(generator.bounded(256));
    QByteArray randomWithMagic = QByteArray("EGRD\x06\0\0\0", 8) + random;
    for (const QString& file : {TableRegister::fileName(), GoodsStock::fileName(), kToday}) {
        const QByteArray name = file.toUtf8();
        QTest::newRow(name + " cut short") << file << good.left(good.size() - 3);
        QTest::newRow(name + " empty") << file << QByteArray();
        QTest::newRow(name + " wrong version") << file << wrongVersion;
        QTest::newRow(name + " random bytes") << file << random;
        QTest::newRow(name + " random after the magic") << file << randomWithMagic;
    }
}

// A damaged file is kept, byte for byte, under a new name beside it; the operator is told once;
// the program starts and goes on with a new file.
void TestHostileInput::damagedFilesAtStart() {
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    Shell shell;
    writeFile(shell, file, bytes);
    MainWindow& window = shell.start();
    const MainWindowControls ui(&window);

    // What reads each file: the start for the register and the goods, a checkout for the day.
    shell.logIn();
    ui.tableCountEdit->setText(QStringLiteral("2"));
    ui.tableTypeCombo->setCurrentIndex(1);
    ui.tableNameEdit->setText(QStringLiteral("包间"));
    ui.tablePriceEdit->setText(QStringLiteral("30"));
    ui.添加按钮->click();
    ui.openNumberEdit->setText(QStringLiteral("1"));
    ui.输号开台按钮->click();
    ui.checkoutNumberEdit->setText(QStringLiteral("1"));
    ui.输号结账按钮->click();
    shell.messages.setNextAnswers({MessageButton::Yes});
    CheckoutWindowControls(window.checkoutWindow()).结账结束按钮->click();
    SalesWindowControls(window.salesWindow()).保存数据按钮->click();

    const QStringList aside = QDir(shell.dir.path()).entryList({file + QStringLiteral(".无法读取*")}, QDir::Files);
    QCOMPARE(aside.size(), 1);
    QCOMPARE(fileBytes(shell, aside.first()), bytes);
    const QStringList told = shell.messages.shownTexts().filter(aside.first());
    QCOMPARE(told.size(), 1);
    QVERIFY(everyGridFileLoads(shell));
    QCOMPARE(shell.tables().tableCount(), 2);
    QVERIFY(!shell.tables().isInUse(1));
    shell.window.reset();
}

// An account file damaged by hand is never rewritten: nobody logs in, not even with both boxes
// empty, until it is deleted (the message says so) or mended, and the program runs on.
void TestHostileInput::damagedAccountFile() {
    for (const QByteArray& bytes : {QByteArray(), QByteArray("\xff\xfe[\0x\0]\0", 8), QByteArray(20000, '['),
                                    QByteArray("[账号密码]\n账号=ZZ,\n")}) {
        Shell shell;
        writeFile(shell, AccountBook::fileName(), bytes);
        MainWindow& window = shell.start();
        AccountWindow* account = window.accountWindow();
        account->show();
        AccountWindowControls(account).accountEdit->setText(QStringLiteral("tulip"));
        AccountWindowControls(account).passwordEdit->setText(QStringLiteral("947"));
        AccountWindowControls(account).enterButton->click();
        AccountWindowControls(account).accountEdit->clear();
        AccountWindowControls(account).passwordEdit->clear();
        AccountWindowControls(account).enterButton->click();
        QVERIFY(MainWindowControls(&window).setupGroup->isHidden());
        QVERIFY(!MainWindowControls(&window).setupGroup->isEnabled());
        QCOMPARE(shell.messages.shown().size(), 2);
        for (const Message& told : shell.messages.shown()) {
            QVERIFY2(told.text.contains(u"删除这个文件，然后重新启动程序"_qs), qPrintable(told.text));
            QCOMPARE(told.icon, MessageIcon::Warning);
        }
        QCOMPARE(fileBytes(shell, AccountBook::fileName()), bytes);
        account->hide();
        shell.window.reset();
    }
}

CUEMORA_WINDOW_TEST_MAIN(TestHostileInput)
#include "test_hostile_input.moc"
