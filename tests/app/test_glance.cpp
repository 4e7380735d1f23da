// The register, the board and the day's takings as the operator reads them: the texts drawn over
// the cells, the column of what a table owes now, the tint of tables in use, the widths, and a
// register that holds what no counter ever typed.
#include "app/checkout_window.h"
#include "app/register_presentation.h"
#include "app/statistics_window.h"
#include "checkout/table_glance.h"
#include "shell_fixture.h"
#include "store/grid_store.h"

#include <QFile>
#include <QHeaderView>
#include <QSettings>
#include <QSignalSpy>

using namespace cuemora;
namespace col = RegisterColumn;

namespace {

struct TableRow {
    QString name;
    QString price;
    QString rate;
    QString start; // empty: free
    QString seconds;
    QString goodsTotal;
};

TableRow freeTable(const QString& name) {
    return {name, u"20"_qs, u"10"_qs, QString(), QString(), QString()};
}

// A register as "添加" and the openings would leave it, every table a billiard table.
void writeRegister(const QString& directory, const QList<TableRow>& rows) {
    TableRegister tables;
    GridStore& grid = tables.grid();
    for (int n = 1; n <= rows.size(); ++n) {
        const TableRow& row = rows[n - 1];
        grid.insertRow();
        grid.setCell(n, col::Type, billiardType());
        grid.setCell(n, col::Name, row.name);
        grid.setCell(n, col::Price, row.price);
        grid.setCell(n, col::Rate, row.rate);
        if (!row.start.isEmpty()) {
            grid.setCell(n, col::Start, row.start);
            grid.setCell(n, col::Seconds, row.seconds);
            grid.setCell(n, col::GoodsTotal, row.goodsTotal);
            grid.setChecked(n, col::InUse, true);
        }
    }
    tables.RenumberTables();
    tables.RefreshPictures();
    QVERIFY(tables.SaveRegister(DataDirectory(directory)));
}

// The shell's clock shows 2013年5月20日14时30分5秒. Table 1 sat down an hour and a half ago at 20
// an hour with a rate of 8 and 8.5 of drinks; table 2 is free; table 3 has stayed since yesterday.
QList<TableRow> eveningTables() {
    return {{u"1号大厅"_qs, u"20"_qs, u"8"_qs, u"2013年5月20日13时0分5秒"_qs, u"5400"_qs, u"8.5"_qs},
            freeTable(u"2号大厅"_qs),
            {u"3号大厅"_qs, u"20"_qs, u"10"_qs, u"2013年5月19日23时10分0秒"_qs, u"55205"_qs, QString()}};
}

QString shown(const GridView* view, int n, int column, int role = Qt::DisplayRole) {
    return view->model()->index(n - 1, column).data(role).toString();
}

QColor brushColour(const QModelIndex& index, int role) {
    return index.data(role).value<QBrush>().color();
}

// WCAG's contrast of two colours: 4.5 and more is readable text.
double contrast(const QColor& a, const QColor& b) {
    auto luminance = [](const QColor& c) {
        auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QPalette darkPalette() {
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x30, 0x30, 0x30));
    dark.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
    dark.setColor(QPalette::Text, QColor(0xEE, 0xEE, 0xEE));
    dark.setColor(QPalette::WindowText, QColor(0xEE, 0xEE, 0xEE));
    dark.setColor(QPalette::Button, QColor(0x40, 0x40, 0x40));
    dark.setColor(QPalette::Mid, QColor(0x60, 0x60, 0x60));
    return dark;
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestGlance : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() {
        QSettings(QSettings::IniFormat, QSettings::UserScope, u"Cuemora"_qs, u"cuemora"_qs).clear();
        QCOMPARE(visibleWindows(), QStringList());
    }

    // The seconds as h:mm:ss, the start as the time of day, and what each table owes now, with
    // the cells' own texts in the tooltips.
    void registerTexts() {
        Shell shell;
        writeRegister(shell.dir.path(), eveningTables());
        MainWindow& window = shell.resume();
        const GridView* view = MainWindowControls(&window).TableRegister;
        QCOMPARE(view->model()->columnCount(), 12);
        QCOMPARE(view->model()->headerData(RegisterPresentation::OwedColumn, Qt::Horizontal).toString(), u"当前应付"_qs);

        QCOMPARE(shown(view, 1, col::Seconds), u"1:30:00"_qs);
        QCOMPARE(shown(view, 1, col::Seconds, Qt::ToolTipRole), u"5400 秒"_qs);
        QCOMPARE(shown(view, 1, col::Start), u"13:00:05"_qs);
        QCOMPARE(shown(view, 1, col::Start, Qt::ToolTipRole), u"2013年5月20日13时0分5秒"_qs);
        QCOMPARE(shown(view, 1, RegisterPresentation::OwedColumn), u"32.50"_qs);
        QCOMPARE(shown(view, 1, RegisterPresentation::OwedColumn, Qt::ToolTipRole), u"共付：32.5"_qs);
        QCOMPARE(shown(view, 3, col::Seconds), u"15:20:05"_qs);
        QCOMPARE(shown(view, 3, col::Start), u"5月19日 23:10:00"_qs);
        QCOMPARE(shown(view, 3, RegisterPresentation::OwedColumn), u"306.69"_qs);
        for (const int column : {int(col::Start), int(col::Seconds), int(RegisterPresentation::OwedColumn)})
            QCOMPARE(shown(view, 2, column), QString()); // free
        // The cells keep their own texts.
        QCOMPARE(shell.tables().grid().cellText(1, col::Seconds), u"5400"_qs);
        QVERIFY(view->model()->index(0, RegisterPresentation::OwedColumn).data(Qt::TextAlignmentRole).value<Qt::Alignment>() &
                Qt::AlignRight);

        // Each tick draws the new time and the new amount, once for all the rows it changed, and
        // nothing else of those rows.
        QSignalSpy changed(view->model(), &QAbstractItemModel::dataChanged);
        shell.tick(3600);
        QCOMPARE(shown(view, 1, col::Seconds), u"2:30:00"_qs);
        QCOMPARE(shown(view, 1, RegisterPresentation::OwedColumn), u"48.50"_qs);
        auto owedOfRows = [&changed](int first, int last, int left) {
            return std::any_of(changed.cbegin(), changed.cend(), [=](const QList<QVariant>& signal) {
                return signal[0].toModelIndex().column() == left &&
                       signal[1].toModelIndex().column() == RegisterPresentation::OwedColumn &&
                       signal[0].toModelIndex().row() == first && signal[1].toModelIndex().row() == last;
            });
        };
        QTRY_VERIFY(owedOfRows(0, 2, RegisterPresentation::OwedColumn));
        // A table opened or freed changes the tint of its whole row.
        changed.clear();
        QVERIFY(shell.room->OpenTableByNumber(u"2"_qs).started);
        QTRY_VERIFY(owedOfRows(1, 1, 0));
        QVERIFY(!window.grab().isNull());
    }

    // The extra column and the widths the view chose never reach the file: what the room saves
    // after ticks, a resize and a paint is the register's own grid, eleven columns at the file's
    // widths.
    void fileKeepsItsOwnColumns() {
        Shell shell;
        writeRegister(shell.dir.path(), eveningTables());
        MainWindow& window = shell.resume();
        const QList<int> widths = {40, 30, 50, 120, 60, 120, 60, 120, 60, 60, 40};
        window.resize(1200, 700);
        shell.tick();
        (void)window.grab();
        QVERIFY(shell.room->OpenTableByNumber(u"2"_qs).started); // saves the register
        const QByteArray saved = fileBytes(shell.data.filePath(TableRegister::fileName()));
        QCOMPARE(saved, shell.tables().grid().toBytes());
        GridStore back;
        QVERIFY(back.loadFromFile(shell.data.filePath(TableRegister::fileName())));
        QCOMPARE(back.columnCount(), 11);
        for (int column = 0; column < 11; ++column)
            QCOMPARE(back.columnWidth(column), widths[column]);
        QCOMPARE(back.cellText(1, col::Seconds), u"5401"_qs);
    }

    // Columns as wide as their contents at start, sharing out the rest of the window's width, and
    // following the window as it grows.
    void columnsFitAndStretch() {
        Shell shell;
        writeRegister(shell.dir.path(), eveningTables());
        MainWindow& window = shell.resume();
        GridView* view = MainWindowControls(&window).TableRegister;
        auto total = [view] {
            int sum = 0;
            for (int column = 0; column < view->model()->columnCount(); ++column)
                sum += view->columnWidth(column);
            return sum;
        };
        QTRY_COMPARE(total(), view->viewport()->width());
        for (int column = 0; column < view->model()->columnCount(); ++column) {
            QVERIFY2(view->columnWidth(column) >= view->contentWidth(column), qPrintable(QString::number(column)));
            QVERIFY(view->columnWidth(column) >= view->horizontalHeader()->sectionSizeHint(column));
        }
        const int nameWidth = view->columnWidth(col::Name);
        window.resize(window.width() + 400, window.height());
        QTRY_COMPARE(total(), view->viewport()->width());
        QVERIFY(view->columnWidth(col::Name) > nameWidth);
        QCOMPARE(view->columnWidth(col::Picture), view->horizontalHeader()->sectionSize(col::Picture));
        QCOMPARE(shell.tables().grid().columnWidth(col::Name), 120); // the grid keeps the file's width
    }

    // Tables in use stand out by a tint that keeps the text readable, in a light or a dark palette.
    void inUseRowsTinted() {
        Shell shell;
        writeRegister(shell.dir.path(), eveningTables());
        MainWindow& window = shell.resume();
        window.setPalette(darkPalette());
        GridView* view = MainWindowControls(&window).TableRegister;
        const QModelIndex busy = view->model()->index(0, col::Name);
        const QModelIndex free = view->model()->index(1, col::Name);
        const QColor busyBackground = brushColour(busy, Qt::BackgroundRole);
        QCOMPARE(brushColour(free, Qt::BackgroundRole), QColor(Qt::white));
        QVERIFY(busyBackground != QColor(Qt::white));
        QVERIFY(contrast(busyBackground, brushColour(busy, Qt::ForegroundRole)) >= 4.5);
        QVERIFY(contrast(busyBackground, QColor(Qt::white)) >= 1.15); // seen at a glance
        QCOMPARE(brushColour(view->model()->index(0, RegisterPresentation::OwedColumn), Qt::BackgroundRole),
                 busyBackground);
        const QImage drawn = view->viewport()->grab().toImage();
        QCOMPARE(drawn.pixelColor(view->visualRect(busy).topLeft() + QPoint(3, 3)).rgb(), busyBackground.rgb());
        QCOMPARE(drawn.pixelColor(view->visualRect(free).topLeft() + QPoint(3, 3)).rgb(), QColor(Qt::white).rgb());

        for (const QColor& base : {QColor(Qt::white), QColor(0x20, 0x20, 0x20), QColor(0xF0, 0xF0, 0xE0)}) {
            const QColor text = base.lightnessF() >= 0.5 ? QColor(Qt::black) : QColor(0xEE, 0xEE, 0xEE);
            QVERIFY(contrast(RegisterPresentation::inUseTint(base), text) >= 4.5);
        }
    }

    // The day's takings: the amounts whole and right-aligned, the total row in bold.
    void statisticsGrid() {
        Shell shell;
        shell.start();
        shell.logIn();
        QVERIFY(shell.room->takings().AddTakingsRows(
            {{u"1号台收费"_qs, u"1.5"_qs, u"36.5"_qs}, {u"2号台收费"_qs, u"0.2777777777778"_qs, u"4.166666666667"_qs}},
            shell.messages));
        MainWindowControls main(shell.window.get());
        main.findButton->click();
        StatisticsWindow* statistics = shell.window->statisticsWindow();
        StatisticsWindowControls(statistics).statisticsButton->click();
        GridView* view = StatisticsWindowControls(statistics).TakingsGrid;
        const int last = view->model()->rowCount() - 1;
        QCOMPARE(view->model()->index(last, 2).data().toString(), u"40.66666666667"_qs);
        QVERIFY(view->model()->index(last, 0).data(Qt::FontRole).value<QFont>().bold());
        QVERIFY(!view->model()->index(0, 0).data(Qt::FontRole).value<QFont>().bold());
        for (const int column : {1, 2})
            QVERIFY(view->model()->index(0, column).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight);
        for (const int column : {0, 1, 2}) {
            QTRY_VERIFY(view->columnWidth(column) >= view->contentWidth(column));
        }
        const QFontMetrics bold(view->model()->index(last, 0).data(Qt::FontRole).value<QFont>());
        QVERIFY(view->columnWidth(1) > bold.horizontalAdvance(u"0.2777777777778"_qs));
        QVERIFY(view->columnWidth(2) > bold.horizontalAdvance(u"40.66666666667"_qs));
        statistics->hide();
    }

    // The board: one tile per table in register order, each with what the register holds.
    void boardTiles() {
        Shell shell;
        writeRegister(shell.dir.path(), eveningTables());
        MainWindow& window = shell.resume();
        MainWindowControls controls(&window);
        TableBoard* board = controls.TableBoard;
        QVERIFY(!board->isVisible());
        controls.boardButton->click();
        QVERIFY(board->isVisible());
        QVERIFY(!controls.TableRegister->isVisible());
        QCOMPARE(board->tileTexts(1), (QStringList{u"第1台 1号大厅"_qs, u"使用中"_qs, u"1:30:00"_qs, u"应付 32.50"_qs}));
        QCOMPARE(board->tileTexts(2), (QStringList{u"第2台 2号大厅"_qs, u"空闲"_qs, QString(), QString()}));
        QVERIFY(board->tileRect(1).right() < board->tileRect(2).left()); // in register order, left to right
        QCOMPARE(board->tableAt(board->tileRect(3).center()), 3);
        QCOMPARE(board->tableAt(board->tileRect(3).bottomRight() + QPoint(3, 3)), 0); // the gap
        QVERIFY(board->tileRect(4).isEmpty());
        shell.tick(60);
        QCOMPARE(board->tileTexts(1)[2], u"1:31:00"_qs);

        // Readable in a dark palette: the tint follows the palette's own base.
        board->setPalette(darkPalette());
        const QImage drawn = board->viewport()->grab().toImage();
        const QColor tile = drawn.pixelColor(board->tileRect(1).topLeft() + QPoint(4, 40));
        QCOMPARE(tile.rgb(), RegisterPresentation::inUseTint(darkPalette().color(QPalette::Base)).rgb());
        QVERIFY(contrast(tile, darkPalette().color(QPalette::Text)) >= 4.5);
        controls.boardButton->click();
        QVERIFY(controls.TableRegister->isVisible());
    }

    // A double-click on a free tile opens the table as "输号开台" does; on a busy one it starts its
    // checkout as "输号结账" does. Enter does the same for the tile the keyboard is on.
    void boardOpensAndChecksOut() {
        Shell shell;
        writeRegister(shell.dir.path(), eveningTables());
        MainWindow& window = shell.resume();
        MainWindowControls controls(&window);
        controls.boardButton->click();
        TableBoard* board = controls.TableBoard;
        QTest::mouseDClick(board->viewport(), Qt::LeftButton, {}, board->tileRect(2).center());
        QVERIFY(shell.tables().isInUse(2));
        QCOMPARE(shell.tables().grid().cellText(2, col::Start), u"2013年5月20日14时30分5秒"_qs);
        QCOMPARE(board->tileTexts(2)[1], u"使用中"_qs);
        QCOMPARE(shell.messages.shownTexts(), QStringList());
        QVERIFY(!window.checkoutWindow()->isVisible());

        QTest::mouseDClick(board->viewport(), Qt::LeftButton, {}, board->tileRect(1).center());
        CheckoutWindowControls checkout(window.checkoutWindow());
        QVERIFY(window.checkoutWindow()->isVisible());
        QCOMPARE(checkout.作用透明标签->text(), u"1"_qs);
        QCOMPARE(checkout.totalEdit->text(), u"32.5"_qs);
        QVERIFY(shell.tables().isInUse(1)); // nothing is checked out until "结账"
        window.checkoutWindow()->hide();

        board->setFocus();
        board->setCurrentTable(3);
        QTest::keyClick(board, Qt::Key_Return);
        QVERIFY(window.checkoutWindow()->isVisible());
        QCOMPARE(checkout.作用透明标签->text(), u"3"_qs);
        window.checkoutWindow()->hide();

        QTest::mouseDClick(board->viewport(), Qt::LeftButton, {}, board->tileRect(3).bottomRight() + QPoint(3, 3));
        QVERIFY(!window.checkoutWindow()->isVisible());
    }

    // The board or the grid, as the operator left it at the last start.
    void boardRemembered() {
        Shell shell;
        writeRegister(shell.dir.path(), eveningTables());
        MainWindowControls(&shell.resume()).boardButton->click();
        MainWindow& again = shell.resume();
        QVERIFY(MainWindowControls(&again).boardButton->isChecked());
        QVERIFY(MainWindowControls(&again).TableBoard->isVisible());
        QVERIFY(!MainWindowControls(&again).TableRegister->isVisible());
        MainWindowControls(&again).boardButton->click();
        MainWindow& third = shell.resume();
        QVERIFY(!MainWindowControls(&third).boardButton->isChecked());
        QVERIFY(MainWindowControls(&third).TableRegister->isVisible());
    }

    // What no counter ever typed, from a file: seconds that are no number, a price of "abc", a
    // time of 10^9 seconds and a name of 200 characters. The grid and the board draw them, and
    // every amount is one the checkout would give.
    void badCellsDrawnSanely() {
        Shell shell;
        const QString longName = QString(200, u'长');
        writeRegister(shell.dir.path(), {{u"1号大厅"_qs, u"20"_qs, u"10"_qs, u"abc"_qs, u"abc"_qs, QString()},
                                         {u"2号大厅"_qs, u"abc"_qs, u"10"_qs, u"abc"_qs, u"600"_qs, u"8.5"_qs},
                                         {u"3号大厅"_qs, u"20"_qs, u"10"_qs, u"abc"_qs, u"1000000000"_qs, QString()},
                                         {longName, u"20"_qs, u"10"_qs, u"abc"_qs, u"60"_qs, QString()},
                                         freeTable(longName)});
        MainWindow& window = shell.resume();
        MainWindowControls controls(&window);
        const GridView* view = controls.TableRegister;
        QCOMPARE(shown(view, 1, col::Seconds), u"abc"_qs);
        QCOMPARE(shown(view, 1, col::Start), u"abc"_qs);
        QCOMPARE(shown(view, 1, RegisterPresentation::OwedColumn), u"0.00"_qs);
        QCOMPARE(shown(view, 2, RegisterPresentation::OwedColumn), u"8.50"_qs);
        QCOMPARE(shown(view, 3, col::Seconds), u"277777:46:40"_qs);
        QCOMPARE(shown(view, 3, RegisterPresentation::OwedColumn), u"5555555.56"_qs);
        QCOMPARE(shown(view, 4, col::Name), longName);
        QVERIFY(!window.grab().isNull());
        for (int column = 0; column < view->model()->columnCount(); ++column)
            QVERIFY(view->columnWidth(column) <= 1000);

        controls.boardButton->click();
        TableBoard* board = controls.TableBoard;
        QCOMPARE(board->tileTexts(1)[2], u"abc"_qs);
        QCOMPARE(board->tileTexts(3)[2], u"277777:46:40"_qs);
        QVERIFY(board->tileTexts(4)[0].startsWith(u"第4台 长长"_qs));
        QVERIFY(!window.grab().isNull());
        for (int n = 1; n <= 5; ++n)
            QCOMPARE(board->tileRect(n).size(), board->tileRect(1).size()); // a long name never widens a tile
        controls.boardButton->click();
    }
};

CUEMORA_WINDOW_TEST_MAIN(TestGlance)
#include "test_glance.moc"
