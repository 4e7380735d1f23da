#include "app/grid_view.h"
#include "app/main_window.h"
#include "app/sales_window.h"
#include "app/table_list_box.h"
#include "common/safe_save.h"
#include "common/text_rules.h"
#include "goods/goods_stock.h"
#include "shell_fixture.h"
#include "takings/takings_book.h"

#include <QFile>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

using namespace cuemora;
namespace col = RegisterColumn;

namespace {

struct Goods {
    QString name, quantity, price, code;
};

// Saves a goods file with these rows, the first one on top, as "保存数据" leaves it.
void saveGoods(const QString& directory, const QList<Goods>& rows) {
    const DataDirectory data(directory);
    ScriptedMessages messages;
    GoodsStock stock(data);
    stock.ReloadGoods(messages); // the headings, as the program writes them
    for (auto it = rows.crbegin(); it != rows.crend(); ++it)
        QVERIFY(stock.AddGoods(it->name, it->quantity, it->price, it->code, messages));
    QVERIFY(stock.SaveGoods(messages));
}

const QList<Goods> kThreeGoods = {{u"可乐"_qs, u"10"_qs, u"2.5"_qs, u"A1"_qs},
                                  {u"啤酒"_qs, u"20"_qs, u"5"_qs, u"B2"_qs},
                                  {u"雪碧"_qs, u"30"_qs, u"3"_qs, u"C3"_qs}};

QStringList listItems(const QListWidget* list) {
    QStringList texts;
    for (int k = 0; k < list->count(); ++k)
        texts.append(list->item(k)->text());
    return texts;
}

// The data rows of a grid, each as its cells' texts joined by "|".
QStringList gridRows(const GridStore& grid) {
    QStringList rows;
    for (int r = 1; r < grid.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < grid.columnCount(); ++c)
            cells.append(grid.cellText(r, c));
        rows.append(cells.join(u'|'));
    }
    return rows;
}

QStringList headerOf(const GridStore& grid) {
    QStringList cells;
    for (int c = 0; c < grid.columnCount(); ++c)
        cells.append(grid.cellText(0, c));
    return cells;
}

// The texts of the sales page's boxes, in the order of the page.
QStringList pageTexts(const std::unique_ptr<SalesWindowControls>& ui) {
    QStringList texts;
    for (const QLineEdit* box : {ui->goodsNameEdit, ui->goodsPriceEdit, ui->goodsQuantityEdit, ui->lineAmountEdit,
                                 ui->saleTotalEdit, ui->searchEdit, ui->paidEdit, ui->cashChangeEdit})
        texts.append(box->text());
    return texts;
}

const QStringList kEmptyPage = {u""_qs, u""_qs, u"1"_qs, u""_qs, u""_qs, u""_qs, u""_qs, u""_qs};

// Types the text into the box one character at a time, those beyond the keyboard's reach as an
// input method commits them.
void type(QLineEdit* box, const QString& text) {
    for (const QChar ch : text) {
        if (ch.unicode() < 0x80) {
            QTest::keyClick(box, ch.toLatin1());
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(ch);
            QApplication::sendEvent(box, &commit);
        }
    }
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The program with its sales window at hand. open() shows it on its sales page, so that the
// operator's clicks land on its lists; create() leaves it hidden, for the buttons alone.
struct SalesShell : Shell {
    SalesWindow* sales = nullptr;
    std::unique_ptr<SalesWindowControls> ui;

    // The program started, the sales window still hidden.
    SalesWindow& create() {
        start();
        sales = window->salesWindow();
        ui = std::make_unique<SalesWindowControls>(sales);
        return *sales;
    }

    SalesWindow& open() {
        create();
        MainWindowControls(window.get()).sellButton->click();
        ui->salesTabs->setCurrentWidget(ui->salesPage);
        return *sales;
    }

    // A double-click on item k of the goods list.
    void pick(int k) {
        QListWidget* list = ui->GoodsListBox;
        QVERIFY(k < list->count());
        const QPoint at = list->visualItemRect(list->item(k)).center();
        // What the desktop delivers for a double-click: press, release, double-click, release.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
    }

    // A click on a cell of the sale list, as the operator chooses the entry to remove.
    void clickEntry(int row, int column = 0) {
        GridView* view = ui->SaleListGrid;
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(view->viewIndex(row, column)).center());
    }

    // Fills the four boxes of the stock page and clicks "添加商品".
    void addGoods(const Goods& goods) {
        ui->stockNameEdit->setText(goods.name);
        ui->stockQuantityEdit->setText(goods.quantity);
        ui->stockPriceEdit->setText(goods.price);
        ui->stockCodeEdit->setText(goods.code);
        ui->添加商品按钮->click();
    }

    // Puts table n of the register in use, as opening it does.
    void useTable(int n) {
        GridStore& grid = tables().grid();
        grid.setCell(n, col::Start, u"2013年5月20日14时30分5秒"_qs);
        grid.setCell(n, col::Seconds, u"1"_qs);
        grid.setChecked(n, col::InUse, true);
    }

    // Drops the list of tables in use down and chooses item k (-1: none).
    void chooseTable(int k) {
        TableListBox* list = ui->开台组合框1;
        list->showPopup();
        list->hidePopup();
        list->setCurrentIndex(k);
    }

    QStringList tableItems() const {
        QStringList names;
        for (int k = 0; k < ui->开台组合框1->count(); ++k)
            names.append(ui->开台组合框1->itemText(k));
        return names;
    }

    QString todaysFile() const { return dir.filePath(TakingsBook::fileNameFor(dayText(clock.now().date()))); }
};

} // namespace

class TestSalesWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() {
        QCOMPARE(visibleWindows(), QStringList());
    }

    // At start the goods list holds the saved names in their order, item k for row k + 1, the sale
    // list its header, and the search box waits for the operator.
    void startShowsTheSavedGoods() {
        SalesShell shell;
        saveGoods(shell.dir.path(), kThreeGoods);
        SalesWindow& sales = shell.open();
        QCOMPARE(listItems(shell.ui->GoodsListBox), (QStringList{u"可乐"_qs, u"啤酒"_qs, u"雪碧"_qs}));
        QCOMPARE(gridRows(shell.room->goods().grid()),
                 (QStringList{u"可乐|10|2.5|A1"_qs, u"啤酒|20|5|B2"_qs, u"雪碧|30|3|C3"_qs}));
        QCOMPARE(headerOf(shell.room->goods().grid()),
                 (QStringList{u"商品名称"_qs, u"库存数量"_qs, u"单价"_qs, u"商品编码"_qs}));
        QCOMPARE(headerOf(shell.room->saleList().grid()),
                 (QStringList{u"名称"_qs, u"单价"_qs, u"数量"_qs, u"总价"_qs}));
        QCOMPARE(shell.room->saleList().grid().rowCount(), 1);
        QCOMPARE(sales.focusWidget(), shell.ui->searchEdit);
        QCOMPARE(pageTexts(shell.ui), kEmptyPage);
        QVERIFY(shell.ui->goodsQuantityEdit->isHidden() && shell.ui->多个商品按钮->isHidden());
        QVERIFY(shell.ui->lineAmountEdit->isVisible());
        QVERIFY(shell.messages.shown().isEmpty());
    }

    // Each double-click adds an entry on top, never merged; "<<删除" removes the entry whose cell
    // the operator clicked and the total follows; with no entry clicked nothing goes.
    void pickAndRemoveEntries() {
        SalesShell shell;
        saveGoods(shell.dir.path(), kThreeGoods);
        SalesWindow& sales = shell.open();
        const GridStore& list = shell.room->saleList().grid();

        shell.pick(0);
        QCOMPARE(sales.focusWidget(), shell.ui->paidEdit);
        QCOMPARE(pageTexts(shell.ui),
                 (QStringList{u"可乐"_qs, u"2.5"_qs, u"1"_qs, u"2.5"_qs, u"2.5"_qs, u""_qs, u""_qs, u""_qs}));
        shell.pick(0);
        QCOMPARE(gridRows(list), (QStringList{u"可乐|2.5|1|2.5"_qs, u"可乐|2.5|1|2.5"_qs}));
        QCOMPARE(shell.ui->saleTotalEdit->text(), u"5"_qs);
        shell.pick(2);
        QCOMPARE(gridRows(list), (QStringList{u"雪碧|3|1|3"_qs, u"可乐|2.5|1|2.5"_qs, u"可乐|2.5|1|2.5"_qs}));
        QCOMPARE(shell.ui->saleTotalEdit->text(), u"8"_qs);

        shell.ui->删除按钮->click(); // no entry clicked yet
        QCOMPARE(list.rowCount(), 4);
        QCOMPARE(shell.ui->saleTotalEdit->text(), u"8"_qs);

        // Closing keeps the sale in progress.
        shell.ui->closeButton->click();
        sales.show();
        QCOMPARE(list.rowCount(), 4);

        shell.clickEntry(3, 2);
        QCOMPARE(list.focusRow(), 3);
        shell.ui->删除按钮->click();
        QCOMPARE(gridRows(list), (QStringList{u"雪碧|3|1|3"_qs, u"可乐|2.5|1|2.5"_qs}));
        QCOMPARE(shell.ui->saleTotalEdit->text(), u"5.5"_qs);
        shell.clickEntry(1);
        shell.ui->删除按钮->click();
        QCOMPARE(shell.ui->saleTotalEdit->text(), u"2.5"_qs);
        shell.clickEntry(1);
        shell.ui->删除按钮->click();
        QCOMPARE(list.rowCount(), 1);
        QCOMPARE(shell.ui->saleTotalEdit->text(), u"0"_qs);
        QCOMPARE(headerOf(list), (QStringList{u"名称"_qs, u"单价"_qs, u"数量"_qs, u"总价"_qs}));

        // The quantity box is hidden, but a change of it still gives the line amount; the list
        // keeps the entry as it was picked.
        shell.pick(0);
        shell.ui->goodsQuantityEdit->setText(u"3"_qs);
        QCOMPARE(shell.ui->lineAmountEdit->text(), u"7.5"_qs);
        QCOMPARE(gridRows(list), QStringList{u"可乐|2.5|1|2.5"_qs});
        QCOMPARE(shell.ui->saleTotalEdit->text(), u"2.5"_qs);
        sales.hide();
    }

    // The change follows every keystroke of the payment.
    void paymentGivesChange_data() {
        QTest::addColumn<QList<int>>("picks");
        QTest::addColumn<QString>("paid");
        QTest::addColumn<QString>("change");
        QTest::newRow("more than the total") << QList<int>{0, 1} << u"10"_qs << u"2.5"_qs;
        QTest::newRow("less than the total") << QList<int>{0, 1} << u"5"_qs << u"-2.5"_qs;
        QTest::newRow("full-width digits") << QList<int>{0, 1} << u"１０"_qs << u"2.5"_qs;
        QTest::newRow("not a number") << QList<int>{0} << u"abc"_qs << u"-2.5"_qs;
        QTest::newRow("nothing picked") << QList<int>{} << u"3"_qs << u"3"_qs;
    }

    void paymentGivesChange() {
        QFETCH(QList<int>, picks);
        QFETCH(QString, paid);
        QFETCH(QString, change);
        SalesShell shell;
        saveGoods(shell.dir.path(), kThreeGoods);
        SalesWindow& sales = shell.open();
        for (int k : picks)
            shell.pick(k);
        type(shell.ui->paidEdit, paid);
        QCOMPARE(shell.ui->paidEdit->text(), paid);
        QCOMPARE(shell.ui->cashChangeEdit->text(), change);
        QCOMPARE(shell.room->saleList().grid().rowCount(), picks.size() + 1);
        sales.hide();
    }

    // "结账" in cash: one row per entry on top of today's file, the last entry of the list (the
    // first picked) first; then the page is empty, the window hidden and the goods as last saved.
    void cashCheckoutRecordsEveryEntry() {
        SalesShell shell;
        saveGoods(shell.dir.path(), kThreeGoods);
        TakingsBook earlier(shell.data, shell.clock);
        QVERIFY(earlier.AddTakingsRows({{u"3号台收费"_qs, u"2"_qs, u"40"_qs}}, shell.messages));
        SalesWindow& sales = shell.open();
        shell.pick(0);
        shell.pick(1);
        shell.pick(2);
        shell.addGoods({u"茶"_qs, u"1"_qs, u"9"_qs, u"D4"_qs}); // not saved: the sale's reload drops it
        type(shell.ui->paidEdit, u"20"_qs);
        shell.ui->完成按钮->click();

        GridStore file;
        QVERIFY(file.loadFromFile(shell.todaysFile()));
        QCOMPARE(gridRows(file), (QStringList{u"可乐|1|2.5"_qs, u"啤酒|1|5"_qs, u"雪碧|1|3"_qs, u"3号台收费|2|40"_qs}));
        QVERIFY(sales.isHidden());
        QCOMPARE(pageTexts(shell.ui), kEmptyPage);
        QCOMPARE(gridRows(shell.room->saleList().grid()), QStringList());
        QCOMPARE(headerOf(shell.room->saleList().grid()),
                 (QStringList{u"名称"_qs, u"单价"_qs, u"数量"_qs, u"总价"_qs}));
        QCOMPARE(gridRows(shell.room->goods().grid()),
                 (QStringList{u"可乐|10|2.5|A1"_qs, u"啤酒|20|5|B2"_qs, u"雪碧|30|3|C3"_qs}));
        QCOMPARE(listItems(shell.ui->GoodsListBox), (QStringList{u"可乐"_qs, u"啤酒"_qs, u"雪碧"_qs}));
        QCOMPARE(sales.focusWidget(), shell.ui->searchEdit);
        QVERIFY(shell.messages.shown().isEmpty());
    }

    // Takings that cannot be saved are shown to the operator with their texts to write down, as at a
    // table's checkout; the cash has been taken, so the sale is over and the page is emptied.
    void cashCheckoutThatCannotBeSaved() {
        SalesShell shell;
        saveGoods(shell.dir.path(), kThreeGoods);
        SalesWindow& sales = shell.open();
        shell.pick(0);
        shell.pick(2);
        shell.writer.failAfter(0);
        shell.ui->完成按钮->click();
        QCOMPARE(shell.messages.shown().size(), 1);
        const QString shown = shell.messages.lastText();
        QVERIFY2(shown.contains(u"可乐    1    2.5"_qs) && shown.contains(u"雪碧    1    3"_qs), qPrintable(shown));
        QVERIFY(!QFile::exists(shell.todaysFile()));
        QVERIFY(sales.isHidden());
        QCOMPARE(pageTexts(shell.ui), kEmptyPage);
        QCOMPARE(shell.room->saleList().grid().rowCount(), 1);
    }

    // "记录" puts every entry on the account of the table chosen among the tables in use of the
    // type chosen in this window: "、" and the name per entry, the amounts added. The register is
    // saved at once, and the choice stays for the next sale.
    void chargeToTable() {
        SalesShell shell;
        saveGoods(shell.dir.path(), {{u"A"_qs, u"1"_qs, u"2.5"_qs, u"1"_qs}, {u"B"_qs, u"1"_qs, u"4"_qs, u"2"_qs}});
        saveRegister(shell.dir.path(), 4, {});
        SalesWindow& sales = shell.open();
        for (int n : {1, 2, 3})
            shell.useTable(n);

        shell.chooseTable(-1);
        QCOMPARE(shell.tableItems(), QStringList()); // no type chosen
        shell.ui->单选框6->setChecked(true);
        shell.chooseTable(-1);
        QCOMPARE(shell.tableItems(), QStringList{u"2号大厅"_qs});
        MainWindowControls(shell.window.get())
            .单选框6->setChecked(true); // the main window's radios choose nothing here
        shell.ui->单选框5->setChecked(true);
        shell.chooseTable(1);
        QCOMPARE(shell.tableItems(), (QStringList{u"1号大厅"_qs, u"3号大厅"_qs}));
        QCOMPARE(shell.ui->开台组合框1->chosenTable(), 3);

        shell.pick(1); // the list's order: A on top
        shell.pick(0);
        shell.ui->完成按钮1->click();
        const TableRegister& tables = shell.tables();
        QCOMPARE(tables.grid().cellText(3, col::GoodsNames), u"、A、B"_qs);
        QCOMPARE(tables.grid().cellText(3, col::GoodsTotal), u"6.5"_qs);
        QVERIFY(sales.isHidden());
        QCOMPARE(pageTexts(shell.ui), kEmptyPage);
        QCOMPARE(shell.room->saleList().grid().rowCount(), 1);

        sales.show();
        shell.pick(1);
        shell.ui->完成按钮1->click(); // the same table, still chosen
        QCOMPARE(tables.grid().cellText(3, col::GoodsNames), u"、A、B、B"_qs);
        QCOMPARE(tables.grid().cellText(3, col::GoodsTotal), u"10.5"_qs);
        for (int n : {1, 2, 4}) {
            QCOMPARE(tables.grid().cellText(n, col::GoodsNames), QString());
            QCOMPARE(tables.grid().cellText(n, col::GoodsTotal), QString());
        }
        QVERIFY(tables.isInUse(3));
        // Each charge reached the register file at once.
        TableRegister saved;
        QVERIFY(saved.LoadRegister(shell.data));
        QCOMPARE(saved.grid().cellText(3, col::GoodsNames), u"、A、B、B"_qs);
        QCOMPARE(saved.grid().cellText(3, col::GoodsTotal), u"10.5"_qs);
        QVERIFY(shell.messages.shown().isEmpty());
    }

    // "记录" with no table chosen, or with one that has been checked out since the list dropped
    // down, is refused: the sale stays on screen for another table and no register cell changes.
    void chargeRefused_data() {
        QTest::addColumn<int>("item");
        QTest::addColumn<bool>("freedSince");
        QTest::addColumn<QString>("message");
        QTest::newRow("no table chosen") << -1 << false << u"请选择要记账的台"_qs;
        QTest::newRow("no longer in use") << 0 << true << u"“1号大厅”已经没有在使用，不能记账，请重新选择使用中的台"_qs;
    }

    void chargeRefused() {
        QFETCH(int, item);
        QFETCH(bool, freedSince);
        QFETCH(QString, message);
        SalesShell shell;
        saveGoods(shell.dir.path(), kThreeGoods);
        saveRegister(shell.dir.path(), 2, {});
        SalesWindow& sales = shell.open();
        shell.useTable(1);
        shell.ui->单选框5->setChecked(true);
        shell.chooseTable(item);
        if (freedSince)
            shell.tables().grid().setChecked(1, col::InUse, false);
        shell.pick(0);
        shell.pick(1);
        type(shell.ui->paidEdit, u"10"_qs);
        const QStringList page = pageTexts(shell.ui);

        shell.ui->完成按钮1->click();
        QCOMPARE(shell.messages.shownTexts(), QStringList{message});
        QVERIFY(sales.isVisible());
        QCOMPARE(pageTexts(shell.ui), page);
        QCOMPARE(gridRows(shell.room->saleList().grid()), (QStringList{u"啤酒|5|1|5"_qs, u"可乐|2.5|1|2.5"_qs}));
        for (int n : {1, 2})
            QCOMPARE(shell.tables().grid().cellText(n, col::GoodsNames), QString());
        sales.hide();
    }

    // "添加商品": the same name and code add to the stock and keep the price; another code is new
    // goods on top. The boxes keep what was typed; nothing is written before "保存数据".
    void addGoods_data() {
        QTest::addColumn<QString>("stock");
        QTest::addColumn<QString>("added");
        QTest::addColumn<QString>("result");
        QTest::newRow("fraction") << u"10"_qs << u"2.5"_qs << u"12.5"_qs;
        QTest::newRow("whole numbers") << u"2"_qs << u"3"_qs << u"5"_qs;
    }

    void addGoods() {
        QFETCH(QString, stock);
        QFETCH(QString, added);
        QFETCH(QString, result);
        SalesShell shell;
        shell.create();
        shell.addGoods({u"可乐"_qs, stock, u"3"_qs, u"A1"_qs});
        shell.addGoods({u"可乐"_qs, added, u"9"_qs, u"A1"_qs});
        QCOMPARE(gridRows(shell.room->goods().grid()), QStringList{u"可乐|"_qs + result + u"|3|A1"_qs});
        shell.addGoods({u"可乐"_qs, u"1"_qs, u"4"_qs, u"A2"_qs});
        QCOMPARE(gridRows(shell.room->goods().grid()),
                 (QStringList{u"可乐|1|4|A2"_qs, u"可乐|"_qs + result + u"|3|A1"_qs}));
        QCOMPARE(shell.ui->stockNameEdit->text(), u"可乐"_qs);
        QCOMPARE(shell.ui->stockQuantityEdit->text(), u"1"_qs);
        QCOMPARE(shell.ui->stockPriceEdit->text(), u"4"_qs);
        QCOMPARE(shell.ui->stockCodeEdit->text(), u"A2"_qs);
        QCOMPARE(shell.ui->GoodsListBox->count(), 0);
        QVERIFY(!QFile::exists(shell.dir.filePath(GoodsStock::fileName())));

        shell.ui->保存数据按钮->click(); // the first save makes the file
        QCOMPARE(listItems(shell.ui->GoodsListBox), (QStringList{u"可乐"_qs, u"可乐"_qs}));
        GridStore file;
        QVERIFY(file.loadFromFile(shell.dir.filePath(GoodsStock::fileName())));
        QCOMPARE(gridRows(file), gridRows(shell.room->goods().grid()));
        QVERIFY(shell.messages.shown().isEmpty());
    }

    // Deleting a name removes every row of it, adjacent ones included; the goods list keeps the old
    // names until "保存数据", and a pick meanwhile takes the name from the list and the price from
    // the stock row at the same place (none at all past the last row).
    void listFollowsTheStockOnlyAtASave() {
        SalesShell shell;
        saveGoods(shell.dir.path(), {{u"可乐"_qs, u"1"_qs, u"2.5"_qs, u"A1"_qs},
                                     {u"可乐"_qs, u"1"_qs, u"2.5"_qs, u"A2"_qs},
                                     {u"雪碧"_qs, u"1"_qs, u"3"_qs, u"C3"_qs}});
        SalesWindow& sales = shell.open();
        const QStringList before = {u"可乐"_qs, u"可乐"_qs, u"雪碧"_qs};

        shell.addGoods({u"茶"_qs, u"5"_qs, u"8"_qs, u"D4"_qs});
        QCOMPARE(listItems(shell.ui->GoodsListBox), before);
        shell.pick(2);
        QCOMPARE(gridRows(shell.room->saleList().grid()), QStringList{u"雪碧|2.5|1|2.5"_qs});

        shell.ui->deleteNameEdit->setText(u"可乐"_qs);
        shell.ui->删除商品按钮->click();
        QCOMPARE(gridRows(shell.room->goods().grid()), (QStringList{u"茶|5|8|D4"_qs, u"雪碧|1|3|C3"_qs}));
        QCOMPARE(listItems(shell.ui->GoodsListBox), before);
        shell.pick(2);
        QCOMPARE(gridRows(shell.room->saleList().grid()).first(), u"雪碧||1|0"_qs);
        QCOMPARE(shell.ui->saleTotalEdit->text(), u"2.5"_qs);

        shell.ui->searchEdit->setText(u"雪"_qs);
        shell.ui->保存数据按钮->click();
        QCOMPARE(listItems(shell.ui->GoodsListBox), (QStringList{u"茶"_qs, u"雪碧"_qs}));
        QCOMPARE(sales.focusWidget(), shell.ui->searchEdit);
        QCOMPARE(shell.ui->searchEdit->text(), u"雪"_qs);
        QCOMPARE(shell.room->saleList().grid().rowCount(), 3); // a save leaves the sale in progress alone
        GridStore file;
        QVERIFY(file.loadFromFile(shell.dir.filePath(GoodsStock::fileName())));
        QCOMPARE(gridRows(file), (QStringList{u"茶|5|8|D4"_qs, u"雪碧|1|3|C3"_qs}));
        QVERIFY(shell.messages.shown().isEmpty());
        sales.hide();
    }

    // A save that fails is reported; the unsaved goods stay on screen and the file as it was.
    void failedSaveKeepsTheUnsavedGoods() {
        SalesShell shell;
        saveGoods(shell.dir.path(), kThreeGoods);
        const QString path = shell.dir.filePath(GoodsStock::fileName());
        const QByteArray saved = fileBytes(path);
        shell.create();
        shell.addGoods({u"茶"_qs, u"5"_qs, u"8"_qs, u"D4"_qs});
        shell.writer.failAfter(0);
        shell.ui->保存数据按钮->click();
        // The full disk refuses the day's backup first, then the save.
        QCOMPARE(shell.messages.shown().size(), 2);
        QVERIFY(shell.messages.shown().first().text.contains(u"备份"_qs));
        QVERIFY(shell.messages.lastText().startsWith(u"商品没有保存到文件“商品库存”"_qs));
        QCOMPARE(gridRows(shell.room->goods().grid()).first(), u"茶|5|8|D4"_qs);
        QCOMPARE(shell.room->goods().grid().rowCount(), 5);
        QCOMPARE(listItems(shell.ui->GoodsListBox), (QStringList{u"可乐"_qs, u"啤酒"_qs, u"雪碧"_qs}));
        QCOMPARE(fileBytes(path), saved);

        shell.writer.failAfter(-1);
        shell.ui->保存数据按钮->click(); // the goods are still there to be saved again
        QCOMPARE(listItems(shell.ui->GoodsListBox), (QStringList{u"茶"_qs, u"可乐"_qs, u"啤酒"_qs, u"雪碧"_qs}));
    }

    // "查找" selects the goods whose whole name or code is the text, the last match winning; with no
    // match the selection stays. The stock is searched, so unsaved goods shift what is found.
    void findGoods_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("unsavedGoods");
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("selected");
        QTest::newRow("name") << u"雪碧"_qs << false << 0 << 2;
        QTest::newRow("code") << u"A1"_qs << false << 2 << 0;
        QTest::newRow("a name, and a later code") << u"可乐"_qs << false << 0 << 2;
        QTest::newRow("part of a name") << u"可"_qs << false << 1 << 1;
        QTest::newRow("case counts") << u"a1"_qs << false << 1 << 1;
        QTest::newRow("empty") << u""_qs << false << 1 << 1;
        QTest::newRow("unsaved goods on top") << u"B2"_qs << true << 0 << 2;
        QTest::newRow("found past the list") << u"可乐"_qs << true << 0 << 0;
    }

    void findGoods() {
        QFETCH(QString, text);
        QFETCH(bool, unsavedGoods);
        QFETCH(int, before);
        QFETCH(int, selected);
        SalesShell shell;
        saveGoods(shell.dir.path(), {{u"可乐"_qs, u"1"_qs, u"2.5"_qs, u"A1"_qs},
                                     {u"啤酒"_qs, u"1"_qs, u"5"_qs, u"B2"_qs},
                                     {u"雪碧"_qs, u"1"_qs, u"3"_qs, u"可乐"_qs}});
        shell.create();
        QListWidget* list = shell.ui->GoodsListBox;
        if (unsavedGoods)
            shell.addGoods({u"茶"_qs, u"5"_qs, u"8"_qs, u"D4"_qs});
        list->setCurrentRow(before);
        shell.ui->searchEdit->setText(text);
        shell.ui->查找按钮->click();
        QCOMPARE(list->currentRow(), selected);
        QCOMPARE(list->selectedItems(), QList<QListWidgetItem*>{list->item(selected)});
    }

    // A text with a character the goods file cannot hold names no goods: "删除商品" deletes nothing
    // and "查找" finds nothing, even goods that are really called "?", the byte such a character
    // would become.
    void textTheFileCannotHoldMatchesNothing() {
        SalesShell shell;
        saveGoods(shell.dir.path(), {{u"?"_qs, u"1"_qs, u"2"_qs, u"?"_qs}, {u"可乐"_qs, u"1"_qs, u"2.5"_qs, u"A1"_qs}});
        shell.create();
        QListWidget* list = shell.ui->GoodsListBox;
        list->setCurrentRow(1);
        shell.ui->searchEdit->setText(u"🍦"_qs);
        shell.ui->查找按钮->click();
        QCOMPARE(list->currentRow(), 1);
        shell.ui->deleteNameEdit->setText(u"🍦"_qs);
        shell.ui->删除商品按钮->click();
        QCOMPARE(gridRows(shell.room->goods().grid()), (QStringList{u"?|1|2|?"_qs, u"可乐|1|2.5|A1"_qs}));
        QVERIFY(shell.messages.shown().isEmpty());
    }
};

CUEMORA_WINDOW_TEST_MAIN(TestSalesWindow)
#include "test_sales_window.moc"
