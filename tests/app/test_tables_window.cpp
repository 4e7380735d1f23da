// The tables through the main window: the setup group's "添加" and "重设", the group "开台" with
// its list and number box, the clock, and the group "换台和销售", all driven by their controls.

#include "app/grid_view.h"
#include "app/main_window.h"
#include "app/table_list_box.h"
#include "checkout/checkout.h"
#include "common/safe_save.h"
#include "goods/sale_list.h"
#include "shell_fixture.h"
#include "support/room_fixture.h"

#include <QElapsedTimer>
#include <QFile>
#include <QInputMethodEvent>
#include <QSignalSpy>
#include <QThread>
#include <QTimer>

#include <functional>
#include <memory>

using namespace cuemora;
namespace col = RegisterColumn;

namespace {

// The main window of a room whose register file holds `tables` tables (billiard tables at odd
// numbers, mahjong tables at even ones, named "n号大厅"), the tables in `inUse` in use.
struct Desk {
    Shell shell;
    MainWindow* window = nullptr;
    std::unique_ptr<MainWindowControls> ui;

    // The tables in use were opened as the program last ended, at this very moment (14:30:05), so
    // that their saved seconds stand; the message that names them is taken as read.
    enum Clock { ManualClock, RealClock };
    explicit Desk(int tables = 0, const QList<int>& inUse = {}, Clock clock = ManualClock) {
        if (tables > 0)
            saveRegister(shell.dir.path(), tables, inUse, u"2013年5月20日14时30分5秒"_qs);
        if (clock == RealClock)
            shell.roomClock = &shell.systemClock;
        window = &shell.start();
        ui = std::make_unique<MainWindowControls>(window);
        if (!inUse.isEmpty()) {
            QCOMPARE(shell.messages.shown().size(), 1);
            QVERIFY(shell.messages.lastText().startsWith(u"上次程序没有正常结束"_qs));
            shell.messages.clear();
        }
    }

    Room& room() { return *shell.room; }
    GridStore& grid() { return shell.tables().grid(); }
    QString cell(int row, int column) { return grid().cellText(row, column); }
    int tableCount() { return shell.tables().tableCount(); }

    // A login, then the setup page.
    void toSetupPage() {
        if (!room().loggedIn())
            shell.logIn();
        ui->tabWidget->setCurrentWidget(ui->setupPage);
    }
    void toOpenPage() { ui->tabWidget->setCurrentWidget(ui->openPage); }

    // Types into a box: keys for Latin text, what an input method commits for Chinese.
    static void type(QLineEdit* box, const QString& text) {
        box->clear();
        for (qsizetype k = 0; k < text.size();) {
            const bool latin = text[k].unicode() < 0x80;
            qsizetype end = k;
            while (end < text.size() && (text[end].unicode() < 0x80) == latin)
                ++end;
            const QString run = text.mid(k, end - k);
            if (latin) {
                QTest::keyClicks(box, run);
            } else {
                QInputMethodEvent commit;
                commit.setCommitString(run);
                QApplication::sendEvent(box, &commit);
            }
            k = end;
        }
        QCOMPARE(box->text(), text);
    }
    static void press(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    // Fills the five boxes of "设置台数、类型、单价" (type: the item index, -1 for none) and presses
    // "添加".
    void add(const QString& count, int typeIndex, const QString& name, const QString& price = QStringLiteral("20"),
             const QString& rate = QStringLiteral("10")) {
        toSetupPage();
        type(ui->tableCountEdit, count);
        ui->tableTypeCombo->setCurrentIndex(typeIndex);
        type(ui->tableNameEdit, name);
        type(ui->tablePriceEdit, price);
        type(ui->tableRateEdit, rate);
        press(ui->添加按钮);
    }

    // Drops a list down and up again, as the operator does before picking; returns the table
    // numbers it shows.
    static QList<int> dropDown(TableListBox* list) {
        list->showPopup();
        list->hidePopup();
        return shownNumbers(list);
    }
    static QList<int> shownNumbers(const TableListBox* list) {
        QList<int> numbers;
        for (int k = 0; k < list->count(); ++k)
            numbers.append(list->itemData(k).toInt());
        return numbers;
    }
    // Drops the list down and picks the item of table n.
    static void pick(TableListBox* list, int n) {
        dropDown(list);
        const int index = list->findData(n);
        QVERIFY2(index >= 0, "the table is not in the list");
        list->setCurrentIndex(index);
    }

    void openByNumber(const QString& typed) {
        toOpenPage();
        type(ui->openNumberEdit, typed);
        press(ui->输号开台按钮);
    }

    // Every cell of the register as the operator would see it, pictures by their bytes.
    QStringList registerState() { return stateOf(grid()); }
    static QStringList stateOf(const GridStore& grid) {
        QStringList cells;
        for (int r = 0; r < grid.rowCount(); ++r) {
            for (int c = 0; c < grid.columnCount(); ++c)
                cells.append(c == col::Picture && r > 0
                                 ? QString::fromLatin1(grid.getCell(r, c).toByteArray().toBase64())
                                 : grid.cellText(r, c));
        }
        return cells;
    }

    QByteArray registerFile() const {
        QFile file(shell.dir.filePath(TableRegister::fileName()));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // The register as the file holds it, as the next start-up would read it.
    std::unique_ptr<TableRegister> savedRegister() const {
        auto saved = std::make_unique<TableRegister>();
        saved->LoadRegister(shell.data);
        return saved;
    }
    // The file's register cell by cell, as registerState() reads the screen.
    QStringList savedState() const { return stateOf(savedRegister()->grid()); }
};

// What happens between the drop-downs and the press of the button.
using Meanwhile = std::function<void(Desk&)>;

QString nameOf(int n) {
    return QString::number(n) + QStringLiteral("号大厅");
}

} // namespace

Q_DECLARE_METATYPE(Meanwhile)

class TestTablesWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() {
        QCOMPARE(visibleWindows(), QStringList());
    }

    // Two batches of 大厅: the rows, their numbers, names, pictures and view, and the register
    // file after each press; the boxes keep what was typed.
    void addTablesInBatches() {
        Desk desk;
        QCOMPARE(desk.ui->tableRateEdit->text(), u"10"_qs);
        QCOMPARE(desk.ui->tableTypeCombo->currentIndex(), -1);
        desk.add(u"3"_qs, 0, u"大厅"_qs);
        QCOMPARE(desk.savedRegister()->tableCount(), 3);
        desk.add(u"2"_qs, 0, u"大厅"_qs, u"15元"_qs, u"8"_qs);

        QCOMPARE(desk.shell.messages.shownTexts(), QStringList());
        QCOMPARE(desk.tableCount(), 5);
        QCOMPARE(desk.ui->TableRegister->model()->rowCount(), 5);
        const QStringList names = {u"1号大厅"_qs, u"2号大厅"_qs, u"3号大厅"_qs, u"1号大厅"_qs, u"2号大厅"_qs};
        const auto saved = desk.savedRegister();
        QCOMPARE(saved->tableCount(), 5);
        for (int r = 1; r <= 5; ++r) {
            QCOMPARE(desk.cell(r, col::Number), QString::number(r));
            QCOMPARE(desk.cell(r, col::Type), billiardType());
            QCOMPARE(desk.cell(r, col::Name), names[r - 1]);
            QCOMPARE(desk.cell(r, col::Price), r <= 3 ? u"20"_qs : u"15元"_qs);
            QCOMPARE(desk.cell(r, col::Rate), r <= 3 ? u"10"_qs : u"8"_qs);
            for (int c : {col::Start, col::Seconds, col::GoodsNames, col::GoodsTotal})
                QCOMPARE(desk.cell(r, c), QString());
            QVERIFY(!desk.grid().isChecked(r, col::InUse));
            QCOMPARE(shownPicture(desk.shell.tables(), r), pictureCell(StatusPicture::BilliardFree));
            for (int c : {col::Number, col::Type, col::Name, col::Price, col::Rate})
                QCOMPARE(saved->grid().cellText(r, c), desk.cell(r, c));
        }
        // Ready for the next batch as they stand.
        QCOMPARE(desk.ui->tableCountEdit->text(), u"2"_qs);
        QCOMPARE(desk.ui->tableTypeCombo->currentText(), billiardType());
        QCOMPARE(desk.ui->tableNameEdit->text(), u"大厅"_qs);
        QCOMPARE(desk.ui->tablePriceEdit->text(), u"15元"_qs);
        QCOMPARE(desk.ui->tableRateEdit->text(), u"8"_qs);
    }

    // The first empty box is reported, in the order of the group; no table is added, but the
    // register is still written, unchanged.
    void addTablesReportsTheFirstEmptyBox_data() {
        QTest::addColumn<QString>("count");
        QTest::addColumn<int>("typeIndex");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QString>("message");
        QTest::newRow("all empty") << "" << -1 << ""
                                   << ""
                                   << ""
                                   << "没有设置数量";
        QTest::newRow("count given") << "3" << -1 << ""
                                     << ""
                                     << ""
                                     << "没有设置台类型";
        QTest::newRow("type chosen") << "3" << 1 << ""
                                     << ""
                                     << ""
                                     << "没有设置名称";
        QTest::newRow("name given") << "3" << 1 << "大厅"
                                    << ""
                                    << ""
                                    << "没有设置单价";
        QTest::newRow("rate emptied") << "3" << 1 << "大厅"
                                      << "20"
                                      << ""
                                      << "没有设置折率";
    }

    void addTablesReportsTheFirstEmptyBox() {
        QFETCH(QString, count);
        QFETCH(int, typeIndex);
        QFETCH(QString, name);
        QFETCH(QString, price);
        QFETCH(QString, rate);
        QFETCH(QString, message);
        Desk desk(2);
        const QStringList before = desk.registerState();
        desk.add(count, typeIndex, name, price, rate);
        QCOMPARE(desk.shell.messages.shownTexts(), QStringList{message});
        QCOMPARE(desk.shell.messages.shown().first().title, u"信息："_qs);
        QCOMPARE(desk.shell.messages.shown().first().buttons, MessageButtons::Ok);
        QCOMPARE(desk.registerState(), before);
        QCOMPARE(desk.savedRegister()->tableCount(), 2);
    }

    // The count is read by its leading number, truncated; a count that is no positive number
    // adds nothing and says nothing; a count above what one batch may add is refused.
    void addTablesCount_data() {
        QTest::addColumn<QString>("count");
        QTest::addColumn<int>("added");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("2.9") << "2.9" << 2 << QStringList();
        QTest::newRow("0") << "0" << 0 << QStringList();
        QTest::newRow("-1") << "-1" << 0 << QStringList();
        QTest::newRow("abc") << "abc" << 0 << QStringList();
        QTest::newRow("999, the most") << "999" << 999 << QStringList();
        QTest::newRow("1000") << "1000" << 0 << QStringList{u"台数量太大：一次最多添加999台"_qs};
    }

    void addTablesCount() {
        QFETCH(QString, count);
        QFETCH(int, added);
        QFETCH(QStringList, messages);
        Desk desk;
        desk.add(count, 1, u"包间"_qs);
        QCOMPARE(desk.shell.messages.shownTexts(), messages);
        QCOMPARE(desk.tableCount(), added);
        QCOMPARE(desk.savedRegister()->tableCount(), added); // written either way
        if (added > 0) {
            QCOMPARE(desk.cell(added, col::Name), QString::number(added) + u"号包间"_qs);
            QCOMPARE(shownPicture(desk.shell.tables(), added), pictureCell(StatusPicture::MahjongFree));
        }
    }

    // A save that fails is told, the new tables stay on screen, and the file keeps the last
    // good save.
    void failedSaveIsReported() {
        Desk desk;
        desk.add(u"1"_qs, 0, u"大厅"_qs);
        const QByteArray good = desk.registerFile();
        QVERIFY(!good.isEmpty());
        desk.shell.writer.failAfter(10);
        desk.add(u"2"_qs, 1, u"包间"_qs);
        QCOMPARE(desk.shell.messages.shown().size(), 1);
        const Message& told = desk.shell.messages.shown().first();
        QVERIFY2(told.text.contains(u"没有保存到文件“表格设置”"_qs), qPrintable(told.text));
        QCOMPARE(told.icon, MessageIcon::Warning);
        QCOMPARE(desk.tableCount(), 3);
        QCOMPARE(desk.registerFile(), good);
    }

    // "重设" is refused while a table is in use; otherwise it asks, and on Yes empties the screen
    // and leaves the file as it was.
    void resetEmptiesTheScreenOnly() {
        Desk desk(3, {2});
        const QByteArray file = desk.registerFile();
        desk.toSetupPage();
        Desk::press(desk.ui->按钮6);
        QCOMPARE(desk.shell.messages.shownTexts(),
                 QStringList{u"第2台还在使用中，不能重设。请先给使用中的台结账。"_qs});
        QCOMPARE(desk.tableCount(), 3);

        FreeTable(desk.shell.tables(), 2); // as its checkout leaves it
        desk.shell.messages.clear();
        desk.shell.messages.setNextAnswers({MessageButton::Yes});
        Desk::press(desk.ui->按钮6);
        QCOMPARE(desk.shell.messages.shown().size(), 1);
        QCOMPARE(desk.shell.messages.shown().first().buttons, MessageButtons::YesNo);
        QCOMPARE(desk.tableCount(), 0);
        QCOMPARE(desk.ui->TableRegister->model()->rowCount(), 0);
        QCOMPARE(desk.cell(0, col::Name), u"台名称"_qs);
        QCOMPARE(desk.registerFile(), file);
        // The boxes are the operator's, not the register's.
        QCOMPARE(desk.ui->tableRateEdit->text(), u"10"_qs);
    }

    // Each list shows, as it drops down, the tables of the type its own radio pair chooses, free
    // or in use, in register order; a radio button of another group does not count.
    void listsFollowTheirRadioButtons_data() {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("radio");
        QTest::addColumn<QString>("otherGroupRadio");
        QTest::addColumn<QList<int>>("numbers");
        // Tables 1, 3, 5 are billiard tables, 2, 4, 6 mahjong tables; 2 and 3 are in use.
        QTest::newRow("开台, no type") << "开台组合框"
                                       << ""
                                       << "单选框5" << QList<int>{};
        QTest::newRow("开台, 桌球台") << "开台组合框"
                                      << "单选框1"
                                      << "单选框6" << QList<int>{1, 5};
        QTest::newRow("开台, 麻雀台") << "开台组合框"
                                      << "单选框2"
                                      << "单选框5" << QList<int>{4, 6};
        QTest::newRow("换台 in use, no type") << "开台组合框1"
                                              << ""
                                              << "单选框1" << QList<int>{};
        QTest::newRow("换台 in use, 桌球台") << "开台组合框1"
                                             << "单选框5"
                                             << "单选框2" << QList<int>{3};
        QTest::newRow("换台 in use, 麻雀台") << "开台组合框1"
                                             << "单选框6"
                                             << "单选框1" << QList<int>{2};
        QTest::newRow("换台 free, no type") << "开台组合框2"
                                            << ""
                                            << "单选框2" << QList<int>{};
        QTest::newRow("换台 free, 桌球台") << "开台组合框2"
                                           << "单选框5"
                                           << "单选框2" << QList<int>{1, 5};
        QTest::newRow("换台 free, 麻雀台") << "开台组合框2"
                                           << "单选框6"
                                           << "单选框1" << QList<int>{4, 6};
    }

    void listsFollowTheirRadioButtons() {
        QFETCH(QString, list);
        QFETCH(QString, radio);
        QFETCH(QString, otherGroupRadio);
        QFETCH(QList<int>, numbers);
        Desk desk(6, {2, 3});
        auto* box = desk.window->findChild<TableListBox*>(list);
        QVERIFY(box);
        if (!radio.isEmpty())
            desk.window->findChild<QRadioButton*>(radio)->setChecked(true);
        desk.window->findChild<QRadioButton*>(otherGroupRadio)->setChecked(true);
        QCOMPARE(Desk::dropDown(box), numbers);
        for (int k = 0; k < box->count(); ++k)
            QCOMPARE(box->itemText(k), nameOf(numbers[k]));
        QCOMPARE(box->currentIndex(), -1); // nothing is picked for the operator
    }

    // A list is a snapshot: a change of radio button or of the register shows only at the next
    // drop-down.
    void listsChangeOnlyWhenDroppedDown() {
        Desk desk(6);
        TableListBox* box = desk.ui->开台组合框;
        desk.ui->单选框1->setChecked(true);
        QCOMPARE(Desk::dropDown(box), (QList<int>{1, 3, 5}));
        box->setCurrentIndex(1);
        desk.ui->单选框2->setChecked(true);
        QCOMPARE(Desk::shownNumbers(box), (QList<int>{1, 3, 5}));
        QCOMPARE(box->chosenTable(), 3);
        QCOMPARE(Desk::dropDown(box), (QList<int>{2, 4, 6}));
        desk.openByNumber(u"4"_qs);
        QCOMPARE(Desk::shownNumbers(box), (QList<int>{2, 4, 6}));
        QCOMPARE(Desk::dropDown(box), (QList<int>{2, 6}));
        // The two lists of "换台和销售" follow their own pair, each at its own drop-down.
        desk.ui->单选框6->setChecked(true);
        QCOMPARE(Desk::dropDown(desk.ui->开台组合框1), QList<int>{4});
        desk.ui->单选框5->setChecked(true);
        QCOMPARE(Desk::shownNumbers(desk.ui->开台组合框1), QList<int>{4});
        QCOMPARE(Desk::dropDown(desk.ui->开台组合框2), (QList<int>{1, 3, 5}));
    }

    // "开    台" starts the picked table with the picture of the radio button chosen at the
    // press, empties the list, starts the clock and saves the register as the screen shows it.
    void openFreeTable_data() {
        QTest::addColumn<bool>("switchToMahjong");
        QTest::addColumn<StatusPicture>("picture");
        QTest::newRow("桌球台") << false << StatusPicture::BilliardInUse;
        QTest::newRow("radio switched to 麻雀台 before the press") << true << StatusPicture::MahjongInUse;
    }

    void openFreeTable() {
        QFETCH(bool, switchToMahjong);
        QFETCH(StatusPicture, picture);
        Desk desk(4);
        const QByteArray file = desk.registerFile();
        desk.ui->单选框1->setChecked(true);
        Desk::pick(desk.ui->开台组合框, 3);
        if (switchToMahjong)
            desk.ui->单选框2->setChecked(true);
        Desk::press(desk.ui->空闲开台按钮);

        QCOMPARE(desk.shell.messages.shownTexts(), QStringList());
        QCOMPARE(desk.cell(3, col::Start), u"2013年5月20日14时30分5秒"_qs);
        QCOMPARE(desk.cell(3, col::Seconds), u"1"_qs);
        QVERIFY(desk.grid().isChecked(3, col::InUse));
        QCOMPARE(shownPicture(desk.shell.tables(), 3), pictureCell(picture));
        QCOMPARE(desk.ui->开台组合框->count(), 0);
        QVERIFY(desk.window->clock()->isActive());
        QCOMPARE(desk.window->clock()->interval(), 1000);
        for (int r : {1, 2, 4})
            QVERIFY(!desk.shell.tables().isInUse(r));
        QVERIFY(desk.registerFile() != file);
        QCOMPARE(desk.savedState(), desk.registerState());
    }

    // "开    台" refuses a missing choice, and a pick that no longer holds since the list dropped
    // down; nothing changes, and a stale list is emptied so that it is dropped down afresh.
    void openFreeTableRefuses_data() {
        QTest::addColumn<bool>("chooseType");
        QTest::addColumn<int>("picked");
        QTest::addColumn<Meanwhile>("meanwhile");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("listEmptied");
        const Meanwhile nothing = [](Desk&) {};
        QTest::newRow("no type") << false << 0 << nothing << "请选择类型" << false;
        QTest::newRow("no table picked") << true << 0 << nothing << "请选择空闲的台" << false;
        QTest::newRow("opened by number since")
            << true << 3 << Meanwhile([](Desk& desk) { desk.openByNumber(u"3"_qs); })
            << "“3号大厅”已经开台了，请重新选择空闲的台" << true;
        QTest::newRow("register reset since") << true << 3 << Meanwhile([](Desk& desk) {
            desk.toSetupPage();
            desk.shell.messages.setNextAnswers({MessageButton::Yes});
            Desk::press(desk.ui->按钮6);
            desk.toOpenPage();
        }) << "这张台已经不在台的列表里了，请重新选择空闲的台"
                                              << true;
    }

    void openFreeTableRefuses() {
        QFETCH(bool, chooseType);
        QFETCH(int, picked);
        QFETCH(Meanwhile, meanwhile);
        QFETCH(QString, message);
        QFETCH(bool, listEmptied);
        Desk desk(4);
        TableListBox* box = desk.ui->开台组合框;
        if (chooseType)
            desk.ui->单选框1->setChecked(true);
        Desk::dropDown(box);
        if (picked > 0)
            Desk::pick(box, picked);
        meanwhile(desk);
        const QStringList before = desk.registerState();
        const bool clockRan = desk.window->clock()->isActive();
        const int items = box->count();
        desk.shell.messages.clear();

        Desk::press(desk.ui->空闲开台按钮);
        QCOMPARE(desk.shell.messages.shownTexts(), QStringList{message});
        QCOMPARE(desk.shell.messages.shown().first().buttons, MessageButtons::Ok);
        QCOMPARE(desk.registerState(), before);
        QCOMPARE(desk.window->clock()->isActive(), clockRan);
        QCOMPARE(box->count(), listEmptied ? 0 : items);
    }

    // "输号开台" starts the typed table with the picture of its own type, whatever the radio
    // buttons say, and empties the number box.
    void openTableByNumber_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("table");
        QTest::addColumn<StatusPicture>("picture");
        QTest::newRow("3, a billiard table") << "3" << 3 << StatusPicture::BilliardInUse;
        QTest::newRow("2, a mahjong table, 桌球台 chosen") << "2" << 2 << StatusPicture::MahjongInUse;
        QTest::newRow("4 with text after it") << "4号" << 4 << StatusPicture::MahjongInUse;
    }

    void openTableByNumber() {
        QFETCH(QString, typed);
        QFETCH(int, table);
        QFETCH(StatusPicture, picture);
        Desk desk(4);
        desk.ui->单选框1->setChecked(true);
        desk.openByNumber(typed);
        QCOMPARE(desk.shell.messages.shownTexts(), QStringList());
        QCOMPARE(desk.cell(table, col::Start), u"2013年5月20日14时30分5秒"_qs);
        QCOMPARE(desk.cell(table, col::Seconds), u"1"_qs);
        QVERIFY(desk.grid().isChecked(table, col::InUse));
        QCOMPARE(shownPicture(desk.shell.tables(), table), pictureCell(picture));
        QCOMPARE(desk.ui->openNumberEdit->text(), QString());
        QVERIFY(desk.window->clock()->isActive());
        QCOMPARE(desk.shell.tables().lastTableInUse(), table);
    }

    // A number that names no table is refused and stays in the box to be corrected; the header
    // row and every table stay as they are and the clock is not started.
    void openTableByNumberRefuses_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty") << ""
                               << "请输入序号";
        QTest::newRow("0, the header row") << "0"
                                           << "没有序号为“0”的台，请输入台的序号";
        QTest::newRow("beyond the last table") << "5"
                                               << "没有序号为“5”的台，请输入台的序号";
        QTest::newRow("negative") << "-1"
                                  << "没有序号为“-1”的台，请输入台的序号";
        QTest::newRow("no number") << "abc"
                                   << "没有序号为“abc”的台，请输入台的序号";
    }

    void openTableByNumberRefuses() {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        Desk desk(4);
        const QStringList before = desk.registerState();
        desk.openByNumber(typed);
        QCOMPARE(desk.shell.messages.shownTexts(), QStringList{message});
        QCOMPARE(desk.registerState(), before);
        QCOMPARE(desk.ui->openNumberEdit->text(), typed);
        QVERIFY(!desk.window->clock()->isActive());
    }

    // Opening by number a table in use asks first, No by default; only Yes starts it afresh.
    void openTableInUseAsksFirst_data() {
        QTest::addColumn<QList<MessageButton>>("answers");
        QTest::addColumn<bool>("afresh");
        QTest::newRow("是") << QList<MessageButton>{MessageButton::Yes} << true;
        QTest::newRow("否") << QList<MessageButton>{MessageButton::No} << false;
        QTest::newRow("Enter, the default") << QList<MessageButton>{} << false;
    }

    void openTableInUseAsksFirst() {
        QFETCH(QList<MessageButton>, answers);
        QFETCH(bool, afresh);
        Desk desk(4, {2});
        const QStringList before = desk.registerState();
        desk.shell.messages.setNextAnswers(answers);
        desk.openByNumber(u"2"_qs);
        QCOMPARE(desk.shell.messages.shown().size(), 1);
        const Message& question = desk.shell.messages.shown().first();
        QCOMPARE(question.text,
                 u"第2台（2号大厅）正在使用中。\r\n重新开台会从头计时，已用的时间就没有了。是否重新开台？"_qs);
        QCOMPARE(question.buttons, MessageButtons::YesNo);
        QCOMPARE(question.defaultButton, MessageButton::No);
        QCOMPARE(question.icon, MessageIcon::Question);
        if (afresh) {
            QCOMPARE(desk.cell(2, col::Start), u"2013年5月20日14时30分5秒"_qs);
            QCOMPARE(desk.cell(2, col::Seconds), u"1"_qs);
            QCOMPARE(desk.ui->openNumberEdit->text(), QString());
        } else {
            QCOMPARE(desk.registerState(), before);
            QCOMPARE(desk.cell(2, col::Seconds), u"120"_qs);
            QCOMPARE(desk.ui->openNumberEdit->text(), u"2"_qs);
        }
        QVERIFY(desk.grid().isChecked(2, col::InUse));
        QVERIFY(desk.window->clock()->isActive()); // table 2 came back in use: it counts from the start
    }

    // Sixty ticks after an opening the table reads 61; free tables are left alone, tables in
    // use from the file count along at once.
    void clockCountsTheTablesInUse() {
        Desk desk(4, {2});
        desk.shell.tick(); // table 2 came back in use from the file and counts at once
        desk.openByNumber(u"3"_qs);
        for (int i = 0; i < 60; ++i)
            desk.shell.tick();
        QCOMPARE(desk.cell(3, col::Seconds), u"61"_qs);
        QCOMPARE(desk.cell(2, col::Seconds), u"181"_qs);
        for (int r : {1, 4})
            QCOMPARE(desk.cell(r, col::Seconds), QString());
    }

    // The real clock: started once by the first opening, precise, ticking the tables; a later
    // opening does not restart it, which would hold back every other table's count.
    void realClockRunsFromTheFirstOpening() {
        Desk desk(4, {}, Desk::RealClock);
        QTimer* clock = desk.window->clock();
        QVERIFY(!clock->isActive());
        desk.openByNumber(u"1"_qs);
        QElapsedTimer sinceFirst;
        sinceFirst.start();
        QVERIFY(clock->isActive());
        QCOMPARE(clock->interval(), 1000);
        QCOMPARE(clock->timerType(), Qt::PreciseTimer);
        QTest::qWait(300);
        desk.openByNumber(u"2"_qs);
        const qint64 waited = sinceFirst.elapsed();
        const int remaining = clock->remainingTime();
        if (waited >= 900)
            QSKIP("the machine was too busy to tell a restart from a running clock");
        QVERIFY2(remaining <= 1000 - waited + 50, qPrintable(u"%1 ms left after %2 ms"_qs.arg(remaining).arg(waited)));
        QSignalSpy ticks(clock, &QTimer::timeout);
        QVERIFY(ticks.wait(2000));
        QCOMPARE(desk.cell(1, col::Seconds), u"2"_qs);
        QCOMPARE(desk.cell(2, col::Seconds), u"2"_qs);
    }

    // The window's event loop stands still for five seconds (a hostile file, a slow disk): no
    // tick comes, and the first one after brings the count up to the time that passed.
    void clockCatchesUpAfterAStall() {
        Desk desk(1, {}, Desk::RealClock);
        desk.openByNumber(u"1"_qs);
        QElapsedTimer sinceOpening;
        sinceOpening.start();
        QThread::sleep(5);
        QCOMPARE(desk.cell(1, col::Seconds), u"1"_qs); // nothing ran meanwhile
        QSignalSpy ticks(desk.window->clock(), &QTimer::timeout);
        QVERIFY(ticks.wait(2000));
        const qint64 counted = desk.cell(1, col::Seconds).toLongLong();
        const qint64 passed = sinceOpening.elapsed() / 1000;
        QVERIFY2(counted >= passed && counted <= passed + 2,
                 qPrintable(u"%1 counted after %2 s"_qs.arg(counted).arg(passed)));
        QVERIFY(counted >= 6);
    }

    // "换台" carries the start time, the seconds and the goods on the account to the free table,
    // which keeps its own price and rate; the old table is free, both lists empty, and the clock
    // counts on from the moved seconds. Names may repeat: the list item tells the tables apart.
    void changeTableMovesTheGuests() {
        Desk desk;
        desk.add(u"3"_qs, 0, u"大厅"_qs);
        desk.add(u"2"_qs, 0, u"大厅"_qs, u"30"_qs, u"8"_qs); // tables 4 and 5: 1号大厅, 2号大厅 again
        const QByteArray file = desk.registerFile();
        desk.openByNumber(u"4"_qs);
        for (int i = 0; i < 99; ++i)
            desk.shell.tick();
        SaleList sale;
        sale.AddToSaleList(u"可乐"_qs, u"3"_qs, u"2"_qs, u"6"_qs);
        sale.AddToSaleList(u"花生"_qs, u"3.5"_qs, u"1"_qs, u"3.5"_qs);
        QVERIFY(ChargeToTable(sale, desk.shell.tables(), 4, desk.shell.messages));
        const QStringList moving = {u"2013年5月20日14时30分5秒"_qs, u"100"_qs, u"、花生、可乐"_qs, u"9.5"_qs};
        const int columns[] = {col::Start, col::Seconds, col::GoodsNames, col::GoodsTotal};
        for (int k = 0; k < 4; ++k)
            QCOMPARE(desk.cell(4, columns[k]), moving[k]);

        desk.ui->单选框5->setChecked(true);
        Desk::pick(desk.ui->开台组合框1, 4);
        Desk::pick(desk.ui->开台组合框2, 1);
        QCOMPARE(desk.ui->开台组合框1->currentText(), desk.ui->开台组合框2->currentText()); // both 1号大厅
        Desk::press(desk.ui->换台按钮);

        QCOMPARE(desk.shell.messages.shownTexts(), QStringList());
        for (int k = 0; k < 4; ++k) {
            QCOMPARE(desk.cell(1, columns[k]), moving[k]);
            QCOMPARE(desk.cell(4, columns[k]), QString());
        }
        QVERIFY(desk.grid().isChecked(1, col::InUse));
        QVERIFY(!desk.grid().isChecked(4, col::InUse));
        QCOMPARE(shownPicture(desk.shell.tables(), 1), pictureCell(StatusPicture::BilliardInUse));
        QCOMPARE(shownPicture(desk.shell.tables(), 4), pictureCell(StatusPicture::BilliardFree));
        QCOMPARE(desk.cell(1, col::Price), u"20"_qs);
        QCOMPARE(desk.cell(4, col::Price), u"30"_qs);
        QCOMPARE(desk.cell(4, col::Rate), u"8"_qs);
        QCOMPARE(desk.ui->开台组合框1->count(), 0);
        QCOMPARE(desk.ui->开台组合框2->count(), 0);
        QVERIFY(desk.registerFile() != file);
        QCOMPARE(desk.savedState(), desk.registerState());

        desk.shell.tick();
        QCOMPARE(desk.cell(1, col::Seconds), u"101"_qs);
        QCOMPARE(desk.cell(4, col::Seconds), QString());
    }

    // "换台" reports a missing choice, in order, and refuses picks that no longer hold since the
    // lists dropped down: no running table's time or goods are overwritten, nothing changes, and
    // stale lists are emptied.
    void changeTableRefuses_data() {
        QTest::addColumn<bool>("chooseType");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<Meanwhile>("meanwhile");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("listsEmptied");
        const Meanwhile nothing = [](Desk&) {};
        // Tables 1, 3, 5 are billiard tables; 3 is in use.
        QTest::newRow("no type") << false << 0 << 0 << nothing << "请选择类型" << false;
        QTest::newRow("no table in use picked") << true << 0 << 5 << nothing << "请选择现在用的台号" << false;
        QTest::newRow("no free table picked") << true << 3 << 0 << nothing << "请选择现在要换的台号" << false;
        QTest::newRow("free table opened since")
            << true << 3 << 5 << Meanwhile([](Desk& desk) { desk.openByNumber(u"5"_qs); })
            << "“5号大厅”已经有人在使用，没有换台。请重新选择。" << true;
        QTest::newRow("table in use checked out since")
            << true << 3 << 5 << Meanwhile([](Desk& desk) { FreeTable(desk.shell.tables(), 3); })
            << "“3号大厅”已经结账，没有在使用，没有换台。请重新选择。" << true;
        QTest::newRow("register reset since") << true << 3 << 5 << Meanwhile([](Desk& desk) {
            FreeTable(desk.shell.tables(), 3); // "重设" waits for the table's checkout
            desk.toSetupPage();
            desk.shell.messages.setNextAnswers({MessageButton::Yes});
            Desk::press(desk.ui->按钮6);
            desk.toOpenPage();
        }) << "选择的台已经不在台的列表里了，没有换台。请重新选择。"
                                              << true;
    }

    void changeTableRefuses() {
        QFETCH(bool, chooseType);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(Meanwhile, meanwhile);
        QFETCH(QString, message);
        QFETCH(bool, listsEmptied);
        Desk desk(6, {3});
        TableListBox* inUse = desk.ui->开台组合框1;
        TableListBox* free = desk.ui->开台组合框2;
        if (chooseType)
            desk.ui->单选框5->setChecked(true);
        Desk::dropDown(inUse);
        Desk::dropDown(free);
        if (from > 0)
            Desk::pick(inUse, from);
        if (to > 0)
            Desk::pick(free, to);
        meanwhile(desk);
        const QStringList before = desk.registerState();
        const QList<int> counts = {inUse->count(), free->count()};
        desk.shell.messages.clear();

        Desk::press(desk.ui->换台按钮);
        QCOMPARE(desk.shell.messages.shownTexts(), QStringList{message});
        QCOMPARE(desk.shell.messages.shown().first().buttons, MessageButtons::Ok);
        QCOMPARE(desk.registerState(), before);
        QCOMPARE((QList<int>{inUse->count(), free->count()}), listsEmptied ? (QList<int>{0, 0}) : counts);
    }

    // A table checked out between the two drop-downs stands in both lists; picking it on both
    // sides is refused rather than emptying what it holds.
    void changeTableToItselfIsRefused() {
        Desk desk(6, {3});
        desk.ui->单选框5->setChecked(true);
        Desk::pick(desk.ui->开台组合框1, 3);
        FreeTable(desk.shell.tables(), 3);
        Desk::pick(desk.ui->开台组合框2, 3);
        desk.openByNumber(u"3"_qs); // the next guests
        const QStringList before = desk.registerState();
        Desk::press(desk.ui->换台按钮);
        QCOMPARE(desk.shell.messages.shownTexts(),
                 QStringList{u"现在用的台和要换的台是同一张台“3号大厅”，没有换台。请重新选择。"_qs});
        QCOMPARE(desk.registerState(), before);
        QVERIFY(desk.shell.tables().isInUse(3));
        QCOMPARE(desk.ui->开台组合框1->count() + desk.ui->开台组合框2->count(), 0);
    }
};

CUEMORA_WINDOW_TEST_MAIN(TestTablesWindow)
#include "test_tables_window.moc"
