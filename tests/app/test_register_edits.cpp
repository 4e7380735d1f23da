#include "app/main_window.h"
#include "app/sales_window.h"
#include "common/cp936.h"
#include "common/text_rules.h"
#include "shell_fixture.h"

#include <QApplication>
#include <QFile>
#include <QInputMethodEvent>
#include <QLineEdit>

using namespace cuemora;
namespace col = RegisterColumn;

namespace {

// The register of a running evening: table 2 in use with goods on its account, tables 1 and 3 free.
struct Evening {
    Shell shell;
    MainWindow* window = nullptr;
    GridView* view = nullptr;

    Evening() {
        saveRegister(shell.dir.path(), 3, {2});
        window = &shell.resume();
        GridStore& grid = shell.tables().grid();
        grid.setCell(2, col::GoodsNames, QStringLiteral("、可乐"));
        grid.setCell(2, col::GoodsTotal, QStringLiteral("3"));
        view = MainWindowControls(window).TableRegister;
        view->setFocus();
    }
    ~Evening() { shell.window.reset(); }

    GridStore& grid() { return shell.tables().grid(); }

    QRect cellRect(int row, int column) const { return view->visualRect(view->viewIndex(row, column)); }

    // Every text and tick of the register.
    QStringList state() {
        QStringList cells;
        for (int r = 0; r < grid().rowCount(); ++r) {
            for (int c = 1; c < grid().columnCount(); ++c)
                cells.append(c == col::InUse && r > 0 ? truthToText(grid().isChecked(r, c)) : grid().cellText(r, c));
        }
        return cells;
    }

    QByteArray registerFile() const {
        QFile file(shell.dir.filePath(TableRegister::fileName()));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // The register as the next start would read it.
    QString savedCell(int row, int column) const {
        TableRegister saved;
        saved.LoadRegister(shell.data);
        return saved.grid().cellText(row, column);
    }

    // The editor a double-click opened on a cell, or nullptr when none opened.
    QLineEdit* doubleClick(int row, int column) {
        const QPoint at = cellRect(row, column).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
        return view->viewport()->findChild<QLineEdit*>();
    }
};

// Types into an editor in place of its text: keys for Latin text, an input method's commit for
// the rest.
void typeOver(QLineEdit* editor, const QString& text) {
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Backspace);
    bool latin = true;
    for (QChar c : text)
        latin = latin && c.unicode() < 0x80;
    if (latin) {
        QTest::keyClicks(editor, text);
    } else {
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QApplication::sendEvent(editor, &commit);
    }
    QCOMPARE(editor->text(), text);
}

enum class Touch { Click, DoubleClick, Digit, Space, Delete, F2 };

} // namespace

Q_DECLARE_METATYPE(Touch)

class TestRegisterEdits : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QCOMPARE(visibleWindows(), QStringList()); }

    // The program's own bookkeeping of a table's use: no click and no key changes it, whether the
    // table is in use or free, and nothing is saved.
    void bookkeepingCellsStayAsTheyAre_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<Touch>("touch");
        const struct {
            int column;
            const char* name;
        } columns[] = {{col::Start, "开始时间"},
                       {col::Seconds, "使用时长"},
                       {col::GoodsNames, "记录商品名称"},
                       {col::GoodsTotal, "记录总价"},
                       {col::InUse, "是否使用"}};
        const struct {
            Touch touch;
            const char* name;
        } touches[] = {{Touch::Click, "click"},   {Touch::DoubleClick, "double-click"},
                       {Touch::Digit, "a digit"}, {Touch::Space, "space"},
                       {Touch::Delete, "delete"}, {Touch::F2, "F2"}};
        for (const auto& column : columns) {
            for (const auto& touch : touches)
                QTest::addRow("%s, %s", column.name, touch.name) << column.column << touch.touch;
        }
    }

    void bookkeepingCellsStayAsTheyAre() {
        QFETCH(int, column);
        QFETCH(Touch, touch);
        Evening evening;
        const QStringList before = evening.state();
        const QByteArray file = evening.registerFile();
        for (int row : {2, 1}) { // in use, free
            const QRect cell = evening.cellRect(row, column);
            QWidget* viewport = evening.view->viewport();
            evening.view->setCurrentIndex(evening.view->viewIndex(row, column));
            switch (touch) {
            case Touch::Click:
                // Across the cell's left part too, where a check box draws its box.
                for (int x = cell.left() + 2; x < cell.left() + 30; x += 4)
                    QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(x, cell.center().y()));
                QTest::mouseClick(viewport, Qt::LeftButton, {}, cell.center());
                break;
            case Touch::DoubleClick:
                QVERIFY(!evening.doubleClick(row, column));
                break;
            case Touch::Digit:
                QTest::keyClicks(evening.view, QStringLiteral("5"));
                QTest::keyClick(evening.view, Qt::Key_Return);
                QCoreApplication::processEvents();
                break;
            case Touch::Space:
                QTest::keyClick(evening.view, Qt::Key_Space);
                break;
            case Touch::Delete:
                QTest::keyClick(evening.view, Qt::Key_Delete);
                QTest::keyClick(evening.view, Qt::Key_Backspace);
                break;
            case Touch::F2:
                QTest::keyClick(evening.view, Qt::Key_F2);
                break;
            }
            QVERIFY(!evening.view->viewport()->findChild<QLineEdit*>());
        }
        QCOMPARE(evening.state(), before);
        QCOMPARE(evening.registerFile(), file);
        QVERIFY(evening.shell.messages.shown().isEmpty());
        QVERIFY(evening.shell.tables().isInUse(2));
    }

    // What a table is can be corrected in place, by a double-click and Enter, under the rule of
    // "添加": a refused text is told and the old one stays; an accepted one is in the file at once.
    void editWhatATableIs_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message"); // empty: accepted
        QTest::newRow("price 25") << int(col::Price) << "25"
                                  << "";
        QTest::newRow("price with its unit") << int(col::Price) << "25元"
                                             << "";
        QTest::newRow("price full-width") << int(col::Price) << "２５"
                                          << "";
        QTest::newRow("price abc") << int(col::Price) << "abc"
                                   << "单价“abc”不是数字，请输入每小时的价钱";
        QTest::newRow("price empty") << int(col::Price) << ""
                                     << "没有设置单价";
        QTest::newRow("rate 8") << int(col::Rate) << "8"
                                << "";
        QTest::newRow("rate x") << int(col::Rate) << "x"
                                << "折率“x”不是数字，请输入折率（10就是100%）";
        QTest::newRow("name 包间") << int(col::Name) << "2号包间"
                                   << "";
        QTest::newRow("name empty") << int(col::Name) << ""
                                    << "没有设置名称";
        QTest::newRow("name GBK cannot hold") << int(col::Name) << "2号🎱" << unfitTextMessage(u"2号🎱"_qs);
        QTest::newRow("type") << int(col::Type) << "桌球台"
                              << "";
    }

    void editWhatATableIs() {
        QFETCH(int, column);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        Evening evening;
        const QString old = evening.grid().cellText(2, column);
        const QByteArray file = evening.registerFile();
        QLineEdit* editor = evening.doubleClick(2, column);
        QVERIFY(editor);
        QCOMPARE(editor->text(), old);
        typeOver(editor, typed);
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents(); // the view commits an edit closed by Enter once the key is done
        QCOMPARE(evening.shell.messages.shownTexts(), message.isEmpty() ? QStringList() : QStringList{message});
        if (message.isEmpty()) {
            QCOMPARE(evening.grid().cellText(2, column), typed);
            QCOMPARE(evening.savedCell(2, column), typed);
        } else {
            QCOMPARE(evening.grid().cellText(2, column), old);
            QCOMPARE(evening.registerFile(), file);
        }
        QVERIFY(evening.shell.tables().isInUse(2)); // an edit never touches the table's use
    }

    // Escape leaves the cell as it was: nothing told, nothing saved.
    void escapeCancelsAnEdit() {
        Evening evening;
        const QByteArray file = evening.registerFile();
        QLineEdit* editor = evening.doubleClick(1, col::Price);
        QVERIFY(editor);
        typeOver(editor, QStringLiteral("3"));
        QTest::keyClick(editor, Qt::Key_Escape);
        QCoreApplication::processEvents();
        QCOMPARE(evening.grid().cellText(1, col::Price), QStringLiteral("20"));
        QCOMPARE(evening.registerFile(), file);
        QVERIFY(evening.shell.messages.shown().isEmpty());
        QVERIFY(evening.window->isVisible()); // Escape on the main window closes nothing
    }

    // The goods, the list of goods to sell and the day's takings are shown, not edited: even a
    // grid whose file asks for editing in place opens no editor.
    void listsOfTheSalesWindowAreReadOnly() {
        Shell shell;
        MainWindow& window = shell.start();
        Room& room = *shell.room;
        room.goods().AddGoods(u"可乐"_qs, u"10"_qs, u"3"_qs, u"A1"_qs, shell.messages);
        room.goods().grid().setLookSetting(5, 1);
        room.saleList().AddToSaleList(u"可乐"_qs, u"3"_qs, u"1"_qs, u"3"_qs);
        room.saleList().grid().setLookSetting(5, 1);
        SalesWindow* sales = window.salesWindow();
        sales->show();
        const SalesWindowControls ui(sales);
        for (GridView* view : {ui.GoodsGrid, ui.SaleListGrid}) {
            view->window()->findChild<QTabWidget*>()->setCurrentWidget(view == ui.GoodsGrid ? ui.stockPage
                                                                                            : ui.salesPage);
            const QPoint at = view->visualRect(view->model()->index(0, 1)).center();
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
            QTest::keyClicks(view, QStringLiteral("9"));
            QVERIFY(!view->viewport()->findChild<QLineEdit*>());
            QVERIFY(!(view->model()->flags(view->model()->index(0, 1)) & Qt::ItemIsEditable));
            QVERIFY(!view->model()->setData(view->model()->index(0, 1), u"9"_qs));
        }
        QCOMPARE(room.goods().grid().cellText(1, 1), u"10"_qs);
        QCOMPARE(room.saleList().grid().cellText(1, 1), u"3"_qs);
        sales->hide();
        shell.window.reset();
    }
};

CUEMORA_WINDOW_TEST_MAIN(TestRegisterEdits)
#include "test_register_edits.moc"
