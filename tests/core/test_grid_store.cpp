#include "common/cp936.h"
#include "common/text_rules.h"
#include "grid_file_builder.h"
#include "store/grid_store.h"

#include <QDate>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

#include <array>
#include <utility>
#include <vector>

using namespace cuemora;

namespace {

// A grid with one column of each kind the program relies on, under a header row:
// 0 plain text, 1 check box, 2 image, 3 number (two decimals), 4 money (two decimals).
enum Column { Plain, Check, Image, Number, Money, ColumnCount };

GridStore::Definition kindsDefinition(int rows = 3) {
    GridStore::Definition d;
    d.rows = rows;
    d.columns = ColumnCount;
    return d;
}

void giveKinds(GridStore& grid) {
    QVERIFY(grid.setColumnKind(Check, 5));
    QVERIFY(grid.setColumnKind(Image, 6));
    QVERIFY(grid.setColumnKind(Number, 2));
    QVERIFY(grid.setColumnKind(Money, 7));
}

// A grid whose number column keeps `decimals` decimals, as a file brings it.
void loadNumberColumn(GridStore& grid, int code, int decimals) {
    testgrid::GridFile f;
    f.rows = 3;
    f.columns = 2;
    f.kinds = {{1, code, {}, {}, 0, decimals}};
    f.cells = {{0, 0, QByteArray(80, 'h')}};
    QVERIFY(grid.loadFromBytes(f.bytes()));
}

// Every row's column-0 text, to see where rows went.
QStringList columnTexts(const GridStore& grid, int column = 0) {
    QStringList texts;
    for (int r = 0; r < grid.rowCount(); ++r)
        texts << grid.cellText(r, column);
    return texts;
}

} // namespace

class TestGridStore : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void setCell_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QVariant>("after"); // getCell afterwards

        const QVariant text = QStringLiteral("桌球台");
        QTest::newRow("text") << 1 << int(Plain) << 1 << text << true << text;
        QTest::newRow("CP936 bytes as they are")
            << 1 << int(Plain) << 1 << QVariant(QByteArray("\xd7\xc0")) << true << QVariant(QStringLiteral("桌"));
        QTest::newRow("text into a check-box cell") << 1 << int(Check) << 1 << text << false << QVariant(false);
        QTest::newRow("text into an image cell") << 1 << int(Image) << 1 << text << false << QVariant(QByteArray());
        QTest::newRow("caption of a check-box column") << 0 << int(Check) << 1 << QVariant(QStringLiteral("是否使用"))
                                                       << true << QVariant(QStringLiteral("是否使用"));
        QTest::newRow("caption of an image column")
            << 0 << int(Image) << 1 << QVariant(QStringLiteral("图片")) << true << QVariant(QStringLiteral("图片"));
        QTest::newRow("check mark") << 1 << int(Check) << 5 << QVariant(true) << true << QVariant(true);
        QTest::newRow("check mark from a number") << 1 << int(Check) << 5 << QVariant(1) << false << QVariant(false);
        QTest::newRow("check mark from text")
            << 1 << int(Check) << 5 << QVariant(QStringLiteral("真")) << false << QVariant(false);
        QTest::newRow("check mark in a text column")
            << 1 << int(Plain) << 5 << QVariant(true) << false << QVariant(QString());
        QTest::newRow("picture in a text column")
            << 1 << int(Plain) << 6 << QVariant(QByteArray("BM")) << false << QVariant(QString());
        QTest::newRow("kind 2") << 1 << int(Plain) << 2 << text << false << QVariant(QString());
        QTest::newRow("row past the grid") << 3 << int(Plain) << 1 << text << false << QVariant(false);
        QTest::newRow("negative row") << -1 << int(Plain) << 1 << text << false << QVariant(false);
        QTest::newRow("column past the grid") << 1 << int(ColumnCount) << 1 << text << false << QVariant(false);
        QTest::newRow("text CP936 cannot hold")
            << 1 << int(Plain) << 1 << QVariant(QStringLiteral("台😀")) << false << QVariant(QString());
        QTest::newRow("text with a NUL") << 1 << int(Plain) << 1 << QVariant(QString::fromLatin1("a\0b", 3)) << false
                                         << QVariant(QString());
        QTest::newRow("a date") << 1 << int(Plain) << 1 << QVariant(QDate(2013, 5, 20)) << false << QVariant(QString());
        QTest::newRow("nothing") << 1 << int(Plain) << 1 << QVariant() << false << QVariant(QString());
    }

    // What each kind of setCell takes and refuses; a refusal changes nothing.
    void setCell() {
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(int, kind);
        QFETCH(QVariant, value);
        QFETCH(bool, accepted);
        QFETCH(QVariant, after);
        GridStore grid(kindsDefinition());
        giveKinds(grid);
        const QByteArray before = grid.toBytes();
        QSignalSpy changes(&grid, &QAbstractItemModel::dataChanged);
        QCOMPARE(grid.setCell(row, column, static_cast<CellKind>(kind), value), accepted);
        QCOMPARE(grid.getCell(row, column), after);
        QCOMPARE(changes.size(), accepted ? 1 : 0);
        if (!accepted)
            QCOMPARE(grid.toBytes(), before);
    }

    void numbersAsText_data() {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("int") << QVariant(42) << "42";
        QTest::newRow("short") << QVariant::fromValue<short>(-7) << "-7";
        QTest::newRow("byte") << QVariant::fromValue<uchar>(200) << "200";
        QTest::newRow("unsigned") << QVariant(4000000000u) << "4000000000";
        QTest::newRow("64-bit") << QVariant(Q_INT64_C(1000000000000000)) << "1000000000000000";
        QTest::newRow("single precision") << QVariant(1.0f / 3) << "0.333333";
        QTest::newRow("single precision whole") << QVariant(30.0f) << "30";
        QTest::newRow("single precision large") << QVariant(1.5e7f) << "1.5e+07";
        QTest::newRow("double precision") << QVariant(1.0 / 3) << "0.3333333333333";
        QTest::newRow("double precision whole") << QVariant(30.0) << "30";
        QTest::newRow("truth value") << QVariant(true) << "真";
    }

    void numbersAsText() {
        QFETCH(QVariant, value);
        QFETCH(QString, text);
        GridStore grid(kindsDefinition());
        QVERIFY(grid.setCell(1, Plain, CellKind::Text, value));
        QCOMPARE(grid.getCell(1, Plain).toString(), text);
    }

    void numberColumns_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<bool>("showZero");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("text");
        QTest::newRow("two decimals") << 102 << 2 << false << QVariant("3.14159") << true << "3.14";
        QTest::newRow("whole") << 102 << 2 << false << QVariant("7") << true << "7.00";
        QTest::newRow("full-width digits") << 102 << 2 << false << QVariant("１２") << true << "12.00";
        QTest::newRow("leading number") << 102 << 2 << false << QVariant("12元") << true << "12.00";
        QTest::newRow("negative") << 102 << 2 << false << QVariant("-3") << true << "-3.00";
        QTest::newRow("a number value") << 102 << 2 << false << QVariant(1.5) << true << "1.50";
        QTest::newRow("no decimals") << 102 << 0 << false << QVariant("2.6") << true << "3";
        QTest::newRow("nine decimals") << 102 << 9 << false << QVariant("1.5") << true << "1.500000000";
        QTest::newRow("decimals held at nine") << 102 << 12 << false << QVariant("1") << true << "1.000000000";
        QTest::newRow("negative decimals held at none") << 102 << -2 << false << QVariant("1.4") << true << "1";
        QTest::newRow("empty") << 102 << 2 << false << QVariant("") << true << "";
        QTest::newRow("zero hidden") << 102 << 2 << false << QVariant("0") << true << "";
        QTest::newRow("zero shown") << 102 << 2 << true << QVariant("0") << true << "0.00";
        QTest::newRow("empty shown as zero") << 102 << 2 << true << QVariant("") << true << "0.00";
        QTest::newRow("zero number value") << 102 << 2 << false << QVariant(0) << true << "";
        QTest::newRow("zero with decimals") << 102 << 2 << false << QVariant("0.00") << false << "old";
        QTest::newRow("not a number") << 102 << 2 << false << QVariant("abc") << false << "old";
        QTest::newRow("money") << 107 << 2 << false << QVariant("36.5") << true << "36.50";
        QTest::newRow("money refuses text") << 107 << 2 << false << QVariant("免费") << false << "old";
    }

    // Number and money columns keep their data cells as numbers with the column's decimals.
    void numberColumns() {
        QFETCH(int, code);
        QFETCH(int, decimals);
        QFETCH(bool, showZero);
        QFETCH(QVariant, value);
        QFETCH(bool, accepted);
        QFETCH(QString, text);
        GridStore grid;
        loadNumberColumn(grid, code, decimals);
        grid.setShowZero(showZero);
        grid.editCell(1, 1, [](Cell& c) {
            c.text = "old";
            c.format = 0x25;
        });
        QCOMPARE(grid.setCell(1, 1, CellKind::Text, value), accepted);
        QCOMPARE(grid.cellText(1, 1), text);
        QCOMPARE(grid.cell(1, 1)->format, 0x25);             // the cell keeps its text format
        QVERIFY(grid.setCell(0, 1, QStringLiteral("单价"))); // the header is free text
        QCOMPARE(grid.cellText(0, 1), QStringLiteral("单价"));
    }

    void setColumnKind() {
        GridStore grid(kindsDefinition());
        grid.setChoiceItems({"a", "b"});
        QVERIFY(!grid.setColumnKind(ColumnCount, 1));
        QVERIFY(!grid.setColumnKind(-1, 1));
        QVERIFY(!grid.setColumnKind(0, 0));
        QVERIFY(!grid.setColumnKind(0, 9));
        QVERIFY(grid.columnKinds().isEmpty());
        QVERIFY(grid.setColumnKind(0, 4));
        QCOMPARE(grid.columnKinds()[0].items, (QList<QByteArray>{"a", "b"}));
        QVERIFY(grid.setColumnKind(1, 3));
        QCOMPARE(grid.columnKinds()[1].textB, QByteArray("%Y-%m-%d"));
        QVERIFY(grid.setColumnKind(0, 6)); // in place of the column's entry
        QCOMPARE(grid.columnKinds().size(), 2);
        QCOMPARE(grid.columnKinds()[0].code, 106);
        QCOMPARE(grid.columnKinds()[0].x, 201);
        QVERIFY(grid.columnKinds()[0].items.isEmpty());
        QVERIFY(grid.setColumnKind(2, 7));
        QCOMPARE(grid.columnKinds()[2].textA, toCp936(QStringLiteral("￥")));
        QCOMPARE(grid.columnKindCode(2), 107);
        QCOMPARE(grid.columnKindCode(3), 0);
    }

    // The cells of check-box and image columns read as what they hold; outside the grid they read
    // as false, or as no picture in an image column.
    void getCell() {
        GridStore grid(kindsDefinition());
        giveKinds(grid);
        QVERIFY(grid.setCell(0, Check, QStringLiteral("是否使用")));
        QVERIFY(grid.setChecked(0, Check, true)); // a header cell may carry a check mark too
        QCOMPARE(grid.getCell(0, Check), QVariant(QStringLiteral("是否使用")));
        QVERIFY(grid.isChecked(0, Check));
        QCOMPARE(grid.getCell(2, Check), QVariant(false));
        QCOMPARE(grid.cellText(2, Check), QStringLiteral("假"));
        QVERIFY(grid.setChecked(2, Check, true));
        QCOMPARE(grid.cellText(2, Check), QStringLiteral("真"));
        QCOMPARE(grid.cellNumber(2, Check), 1.0);
        QCOMPARE(grid.getCell(1, Image), QVariant(QByteArray()));
        QCOMPARE(grid.getCell(9, Image), QVariant(QByteArray()));
        QCOMPARE(grid.getCell(9, Plain), QVariant(false));
        QCOMPARE(grid.getCell(1, Plain), QVariant(QString()));
        QVERIFY(grid.setCell(1, Plain, QStringLiteral("１５元")));
        QCOMPARE(grid.cellNumber(1, Plain), 15.0);
        QVERIFY(grid.cell(9, Plain) == nullptr);
        QVERIFY(grid.cell(1, Number)->isDefault());
    }

    void insertRow_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("fixedRows");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("at");
        QTest::newRow("omitted: appended") << 3 << 1 << -1 << 3;
        QTest::newRow("into the header: appended") << 3 << 1 << 0 << 3;
        QTest::newRow("under the header") << 3 << 1 << 1 << 1;
        QTest::newRow("between data rows") << 4 << 1 << 2 << 2;
        QTest::newRow("at the row count: appended") << 3 << 1 << 3 << 3;
        QTest::newRow("past the end: appended") << 3 << 1 << 9 << 3;
        QTest::newRow("no fixed rows: on top") << 3 << 0 << 0 << 0;
        QTest::newRow("two fixed rows") << 4 << 2 << 1 << 4;
    }

    // A new row goes before the position, gets the heading and the height of row 0; the selection
    // goes, and the focus keeps its row and column numbers.
    void insertRow() {
        QFETCH(int, rows);
        QFETCH(int, fixedRows);
        QFETCH(int, position);
        QFETCH(int, at);
        GridStore::Definition d;
        d.rows = rows;
        d.columns = 2;
        d.fixedRows = fixedRows;
        d.rowHeight = 30;
        GridStore grid(d);
        QStringList expected;
        for (int r = 0; r < rows; ++r) {
            grid.setCell(r, 0, QString::number(r));
            expected << QString::number(r);
        }
        expected.insert(at, QStringLiteral("新"));
        grid.setFocusCell(1, 1);
        grid.editCell(2, 1, [](Cell& c) { c.state = Cell::SelectedState; });
        QSignalSpy inserted(&grid, &QAbstractItemModel::rowsInserted);
        QVERIFY(grid.insertRow(QStringLiteral("新"), position));
        QCOMPARE(columnTexts(grid), expected);
        QCOMPARE(grid.rowHeight(at), 30);
        QCOMPARE(grid.focusRow(), 1);
        QCOMPARE(grid.focusColumn(), 1);
        QCOMPARE(inserted.size(), 1);
        QCOMPARE(inserted[0][1].toInt(), at);
        for (int r = 0; r < grid.rowCount(); ++r)
            QCOMPARE(grid.cell(r, 1)->state, 0);
    }

    // An empty grid gets a fixed row and column and one column first.
    void insertIntoEmptyGrid() {
        GridStore::Definition d;
        d.rows = 0;
        d.columns = 0;
        d.fixedRows = 0;
        GridStore grid(d);
        QVERIFY(grid.insertRow(QStringLiteral("名称")));
        QCOMPARE(grid.rowCount(), 1);
        QCOMPARE(grid.columnCount(), 1);
        QCOMPARE(grid.fixedRowCount(), 1);
        QCOMPARE(grid.fixedColumnCount(), 1);
        QCOMPARE(grid.rowHeight(0), 24);
        QCOMPARE(grid.cellText(0, 0), QStringLiteral("名称"));
        QVERIFY(grid.insertRow());
        QCOMPARE(grid.rowCount(), 2);
        QVERIFY(!grid.insertRow(QStringLiteral("😀"))); // a heading CP936 cannot hold
        QCOMPARE(grid.rowCount(), 2);
    }

    void deleteRow_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("fixedRows");
        QTest::addColumn<int>("focus");
        QTest::addColumn<int>("deleted");
        QTest::addColumn<int>("focusAfter");
        QTest::addColumn<int>("fixedAfter");
        QTest::newRow("focused row: the next takes its place") << 5 << 1 << 2 << 2 << 2 << 1;
        QTest::newRow("last row focused and deleted: one up") << 5 << 1 << 4 << 4 << 3 << 1;
        QTest::newRow("last row focused, another deleted") << 5 << 1 << 4 << 1 << 3 << 1;
        QTest::newRow("focus above the deleted row") << 5 << 1 << 1 << 3 << 1 << 1;
        QTest::newRow("focus below the deleted row keeps its number") << 5 << 1 << 3 << 1 << 3 << 1;
        QTest::newRow("only data row") << 2 << 1 << 1 << 1 << -1 << 1;
        QTest::newRow("no focus") << 5 << 1 << -1 << 2 << -1 << 1;
        QTest::newRow("header deleted") << 5 << 1 << 1 << 0 << 1 << 0;
        QTest::newRow("last row under two fixed rows") << 5 << 2 << 4 << 4 << 3 << 2;
        QTest::newRow("only data row under two fixed rows") << 3 << 2 << 2 << 2 << -1 << 2;
    }

    void deleteRow() {
        QFETCH(int, rows);
        QFETCH(int, fixedRows);
        QFETCH(int, focus);
        QFETCH(int, deleted);
        QFETCH(int, focusAfter);
        QFETCH(int, fixedAfter);
        GridStore::Definition d;
        d.rows = rows;
        d.columns = 2;
        d.fixedRows = fixedRows;
        GridStore grid(d);
        QStringList expected;
        for (int r = 0; r < rows; ++r) {
            grid.setCell(r, 0, QString::number(r));
            expected << QString::number(r);
        }
        expected.removeAt(deleted);
        grid.setFocusCell(focus, focus < 0 ? -1 : 1);
        QSignalSpy removed(&grid, &QAbstractItemModel::rowsRemoved);
        QVERIFY(grid.deleteRow(deleted));
        QCOMPARE(columnTexts(grid), expected);
        QCOMPARE(grid.focusRow(), focusAfter);
        QCOMPARE(grid.focusColumn(), focusAfter < 0 ? -1 : 1);
        QCOMPARE(grid.fixedRowCount(), fixedAfter);
        QCOMPARE(removed.size(), 1);
    }

    void deleteRowOutsideTheGrid() {
        GridStore grid(kindsDefinition());
        grid.setFocusCell(2, 0);
        QVERIFY(!grid.deleteRow(3));
        QVERIFY(!grid.deleteRow(-1));
        QCOMPARE(grid.rowCount(), 3);
        QCOMPARE(grid.focusRow(), 2);
    }

    // Setting the row or column count: rows (columns) past it go with what they held, every row
    // (column) gets the height (width) of every row (column); 0 or less is refused.
    void rowAndColumnCounts() {
        GridStore::Definition d;
        d.rows = 4;
        d.columns = 3;
        d.fixedRows = 2;
        d.rowHeight = 30;
        GridStore grid(d);
        grid.setCell(3, 2, QStringLiteral("丢"));
        QVERIFY(grid.setColumnKind(2, 5));
        grid.setFocusCell(3, 1);
        QSignalSpy resets(&grid, &QAbstractItemModel::modelReset);
        QSignalSpy geometry(&grid, &GridStore::geometryChanged);
        QVERIFY(!grid.setRowCount(0));
        QVERIFY(!grid.setColumnCount(-1));
        QCOMPARE(resets.size(), 0);
        QVERIFY(grid.setRowCount(1));
        QCOMPARE(grid.rowCount(), 1);
        QCOMPARE(grid.fixedRowCount(), 1);
        QCOMPARE(grid.focusRow(), -1);
        QVERIFY(grid.setRowCount(4));
        QVERIFY(grid.cell(3, 2)->isDefault());
        grid.setCell(1, 2, QStringLiteral("也丢"));
        QVERIFY(grid.setColumnCount(2));
        QVERIFY(grid.setColumnCount(3));
        QVERIFY(grid.cell(1, 2)->isDefault());
        QCOMPARE(grid.columnKindCode(2), 0); // a column that comes back is plain text
        QCOMPARE(resets.size(), 4);
        QVERIFY(geometry.size() >= 4);
        for (int r = 0; r < 4; ++r)
            QCOMPARE(grid.rowHeight(r), 30);
        QCOMPARE(grid.columnWidth(2), 60);
    }

    // Heights and widths set for every row or column are raised to grid-line width + 6; a single
    // column's width is set exactly.
    void sizes() {
        GridStore::Definition d;
        d.rows = 2;
        d.columns = 2;
        d.gridLineWidth = 2;
        GridStore grid(d);
        QSignalSpy geometry(&grid, &GridStore::geometryChanged);
        grid.setEveryRowHeight(3);
        QCOMPARE(grid.rowHeight(0), 8);
        QCOMPARE(grid.rowHeight(1), 8);
        QCOMPARE(grid.everyRowHeight(), 3);
        grid.setEveryColumnWidth(80);
        QCOMPARE(grid.columnWidth(1), 80);
        grid.setColumnWidth(1, 2);
        QCOMPARE(grid.columnWidth(1), 2);
        grid.setColumnWidth(1, -1);
        grid.setColumnWidth(2, 50);
        QCOMPARE(grid.columnWidth(1), 2);
        QCOMPARE(geometry.size(), 3);
        grid.setGridLineWidth(10);
        QVERIFY(grid.setRowCount(3));
        QCOMPARE(grid.rowHeight(2), 16);
        QCOMPARE(grid.rowHeight(9), 0);
        QCOMPARE(grid.columnWidth(-1), 0);
    }

    void pressEnter_data() {
        QTest::addColumn<int>("setting");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("used");
        QTest::addColumn<int>("rowAfter");
        QTest::addColumn<int>("columnAfter");
        QTest::newRow("right") << 1 << 1 << 1 << true << 1 << 2;
        QTest::newRow("right from the last column") << 1 << 1 << 2 << true << 2 << 1;
        QTest::newRow("right in the last cell") << 1 << 2 << 2 << true << 2 << 2;
        QTest::newRow("down") << 2 << 1 << 1 << true << 2 << 1;
        QTest::newRow("down from the last row") << 2 << 2 << 1 << true << 1 << 2;
        QTest::newRow("down in the last cell") << 2 << 2 << 2 << true << 2 << 2;
        QTest::newRow("passed on") << 3 << 1 << 1 << false << 1 << 1;
        QTest::newRow("nothing") << 0 << 1 << 1 << true << 1 << 1;
        QTest::newRow("right without focus") << 1 << -1 << -1 << true << -1 << -1;
    }

    void pressEnter() {
        QFETCH(int, setting);
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(bool, used);
        QFETCH(int, rowAfter);
        QFETCH(int, columnAfter);
        GridStore::Definition d;
        d.rows = 3;
        d.columns = 3;
        d.fixedColumns = 1;
        GridStore grid(d);
        grid.setEnterKeySetting(setting);
        grid.setEnterKeySetting(7); // not a setting: ignored
        QCOMPARE(grid.enterKeySetting(), setting);
        grid.setFocusCell(row, column);
        QSignalSpy focus(&grid, &GridStore::focusChanged);
        QCOMPARE(grid.pressEnter(), used);
        QCOMPARE(grid.focusRow(), rowAfter);
        QCOMPARE(grid.focusColumn(), columnAfter);
        QCOMPARE(focus.size(), rowAfter == row && columnAfter == column ? 0 : 1);
    }

    // Alternate-line colouring colours every data cell by its line, again after every insert and
    // delete; the file holds those colours for the cells that hold something, and nothing for the
    // empty ones, so that a vast empty grid costs nothing to colour or to save.
    void alternateLines() {
        GridStore::Definition d;
        d.rows = 4;
        d.columns = 3;
        d.fixedColumns = 1;
        GridStore grid(d);
        grid.editCell(2, 2, [](Cell& c) { c.background = 0x0000FF; });
        for (int r = 0; r < 4; ++r)
            grid.setCell(r, 1, QStringLiteral("行%1").arg(r));
        grid.setCell(3, 0, QStringLiteral("固定列"));
        grid.setAlternateColouring({true, true, 0x00FFFF, 0xFF00FF});
        const auto colour = [&](int r, int c) { return grid.data(grid.index(r, c), GridStore::BackgroundRgbRole); };
        QCOMPARE(colour(1, 1), QVariant(0x00FFFFu));
        QCOMPARE(colour(2, 2), QVariant(0xFF00FFu));
        QCOMPARE(colour(0, 1), QVariant());
        QCOMPARE(colour(1, 0), QVariant());
        QCOMPARE(grid.cellAt(3, 2).background, 0x00FFFFu);
        QVERIFY(grid.insertRow(QString(), 1));
        QVERIFY(grid.insertRow());
        QCOMPARE(colour(5, 1), QVariant(0x00FFFFu));
        QCOMPARE(colour(4, 2), QVariant(0xFF00FFu));
        QVERIFY(grid.cell(2, 2)->isDefault()); // the line colour took the place of its own
        const QByteArray bytes = grid.toBytes();
        QCOMPARE(testgrid::peek(bytes, testgrid::at::backgrounds), 3); // rows 2, 3 and 4 of column 1
        GridStore back;
        QVERIFY(back.loadFromBytes(bytes));
        QCOMPARE(back.cell(2, 1)->background, 0xFF00FFu);
        QCOMPARE(back.cell(3, 1)->background, 0x00FFFFu);
        QCOMPARE(back.cell(4, 1)->background, 0xFF00FFu);
        QVERIFY(back.cell(5, 1)->isDefault());
        QCOMPARE(back.cell(4, 0)->text, toCp936(QStringLiteral("固定列")));
        QCOMPARE(back.cell(4, 0)->background, kDefaultColour); // a fixed column keeps its own
        QCOMPARE(back.toBytes(), bytes);

        grid.setAlternateColouring({false, true, 0x00FFFF, 0xFF00FF});
        QCOMPARE(colour(5, 1), QVariant());
        QVERIFY(grid.cell(2, 2)->isDefault());
        grid.setAlternateColouring({true, false, 0x111111, 0x222222});
        QCOMPARE(colour(1, 1), QVariant(0x111111u));
        QCOMPARE(colour(1, 2), QVariant(0x222222u));
    }

    // The model shows one row per grid row, header included.
    void modelRoles() {
        GridStore grid(kindsDefinition());
        giveKinds(grid);
        grid.setCell(0, Check, QStringLiteral("是否使用"));
        grid.setCell(1, Plain, QStringLiteral("红茶"));
        grid.setChecked(1, Check, true);
        grid.editCell(1, Plain, [](Cell& c) {
            c.foreground = 0x0000FF;
            c.format = 0x25;
        });
        const auto data = [&](int r, int c, int role) { return grid.data(grid.index(r, c), role); };
        QCOMPARE(grid.rowCount(), 3);
        QCOMPARE(grid.columnCount(), int(ColumnCount));
        QCOMPARE(grid.rowCount(grid.index(0, 0)), 0);
        QCOMPARE(data(1, Plain, Qt::DisplayRole), QVariant(QStringLiteral("红茶")));
        QCOMPARE(data(1, Plain, Qt::EditRole), QVariant(QStringLiteral("红茶")));
        QCOMPARE(data(1, Plain, GridStore::ForegroundRgbRole), QVariant(0x0000FFu));
        QCOMPARE(data(1, Plain, GridStore::BackgroundRgbRole), QVariant());
        QCOMPARE(data(1, Plain, GridStore::FormatRole), QVariant(0x25));
        QCOMPARE(data(1, Plain, Qt::CheckStateRole), QVariant());
        QCOMPARE(data(1, Check, Qt::CheckStateRole), QVariant(Qt::Checked));
        QCOMPARE(data(2, Check, Qt::CheckStateRole), QVariant(Qt::Unchecked));
        QCOMPARE(data(1, Check, Qt::DisplayRole), QVariant());
        QCOMPARE(data(0, Check, Qt::DisplayRole), QVariant(QStringLiteral("是否使用")));
        QCOMPARE(data(0, Check, Qt::CheckStateRole), QVariant());
        QCOMPARE(data(1, Image, GridStore::PictureRole), QVariant());
        QCOMPARE(data(9, Plain, Qt::DisplayRole), QVariant());
    }

    void modelFlagsAndEdits() {
        GridStore grid(kindsDefinition());
        giveKinds(grid);
        const auto flags = [&](int r, int c) { return grid.flags(grid.index(r, c)); };
        QCOMPARE(flags(1, Plain), Qt::ItemIsEnabled);
        grid.setLookSetting(5, 1);
        grid.setLookSetting(7, 1);
        QCOMPARE(flags(1, Plain), Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
        QCOMPARE(flags(1, Check), Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        QCOMPARE(flags(1, Image), Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        QCOMPARE(flags(0, Check), Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        grid.editCell(2, Plain, [](Cell& c) { c.state = Cell::ReadOnlyState; });
        QCOMPARE(flags(2, Plain), Qt::ItemIsEnabled | Qt::ItemIsSelectable);

        QVERIFY(grid.setData(grid.index(1, Number), QStringLiteral("８"), Qt::EditRole));
        QCOMPARE(grid.cellText(1, Number), QStringLiteral("8.00"));
        QVERIFY(!grid.setData(grid.index(1, Number), QStringLiteral("八"), Qt::EditRole));
        QVERIFY(grid.setData(grid.index(1, Check), Qt::Checked, Qt::CheckStateRole));
        QVERIFY(grid.isChecked(1, Check));
        QVERIFY(grid.setData(grid.index(1, Check), Qt::Unchecked, Qt::CheckStateRole));
        QVERIFY(!grid.isChecked(1, Check));
        QVERIFY(!grid.setData(grid.index(1, Plain), Qt::Checked, Qt::CheckStateRole));
        QVERIFY(!grid.setData(grid.index(1, Plain), QStringLiteral("x"), Qt::ToolTipRole));
    }

    // The register's clock rewrites the seconds of every table in use each second: each of those
    // writes tells the views about its one cell, and nothing more.
    void everySecondOneChangePerCell() {
        GridStore::Definition d;
        d.rows = 1001;
        d.columns = 11;
        GridStore grid(d);
        QSignalSpy changes(&grid, &QAbstractItemModel::dataChanged);
        QSignalSpy resets(&grid, &QAbstractItemModel::modelReset);
        QSignalSpy layouts(&grid, &QAbstractItemModel::layoutChanged);
        for (int second = 1; second <= 3; ++second) {
            for (int r = 1; r <= 1000; ++r)
                QVERIFY(grid.setCell(r, 6, integerToText(second)));
        }
        QCOMPARE(changes.size(), 3000);
        QCOMPARE(changes[1234][0].value<QModelIndex>(), grid.index(235, 6));
        QCOMPARE(changes[1234][1].value<QModelIndex>(), grid.index(235, 6));
        QCOMPARE(resets.size(), 0);
        QCOMPARE(layouts.size(), 0);
        QVERIFY(grid.setCell(5, 6, QStringLiteral("3"))); // the same text again: nothing to tell
        QCOMPARE(changes.size(), 3000);
    }

    // Inside a batch the changed cells are told as one range when the last batch ends, as the
    // clock's count of every table in use is; a row put in meanwhile first tells what was gathered
    // before the rows moved.
    void batchTellsOneRange() {
        GridStore::Definition d;
        d.rows = 1001;
        d.columns = 11;
        GridStore grid(d);
        QSignalSpy changes(&grid, &QAbstractItemModel::dataChanged);
        const auto range = [&changes](int k) {
            return std::pair(changes[k][0].value<QModelIndex>(), changes[k][1].value<QModelIndex>());
        };
        {
            const GridStore::Batch outer(grid);
            for (int r = 1; r <= 1000; r += 3) {
                const GridStore::Batch inner(grid);
                QVERIFY(grid.setCellBytes(r, 6, "7"));
            }
            QVERIFY(grid.setCell(499, 6, QStringLiteral("7"))); // the same text again: no change
            QCOMPARE(changes.size(), 0);
        }
        QCOMPARE(changes.size(), 1);
        QCOMPARE(range(0), std::pair(grid.index(1, 6), grid.index(1000, 6)));
        {
            const GridStore::Batch batch(grid);
            QVERIFY(grid.setCell(5, 2, QStringLiteral("甲")));
            QVERIFY(grid.insertRow(QStringLiteral("新"), 3));
            QCOMPARE(changes.size(), 2);
            QVERIFY(grid.setCell(8, 4, QStringLiteral("乙")));
            QVERIFY(!grid.setCellBytes(8, 5, QByteArrayView("a\0b", 3))); // refused: nothing to tell
        }
        QCOMPARE(changes.size(), 3);
        QCOMPARE(range(1), std::pair(grid.index(5, 2), grid.index(5, 2)));
        QCOMPARE(range(2), std::pair(grid.index(8, 4), grid.index(8, 4)));
        QCOMPARE(grid.cellText(6, 2), QStringLiteral("甲")); // moved down with its row
        { const GridStore::Batch nothing(grid); }
        QCOMPARE(changes.size(), 3);
    }

    // A text given as a view into the grid's own texts, while they grow and move to make room.
    void textFromItsOwnCells() {
        GridStore grid({.rows = 300, .columns = 2});
        QVERIFY(grid.setCell(1, 0, QStringLiteral("台")));
        for (int r = 2; r < 300; ++r) {
            QVERIFY(grid.setCellBytes(r, 1, grid.cellBytes(r - 1, 0)));
            QVERIFY(grid.setCellBytes(r, 0, grid.cellBytes(r, 1).toByteArray() + QByteArray(r % 7 + 1, 'x')));
            QVERIFY(grid.setCellBytes(r, 1, grid.cellBytes(r, 1).first(2))); // shorter, in its place
        }
        QByteArray expected = toCp936(QStringLiteral("台"));
        for (int r = 2; r < 300; ++r) {
            QCOMPARE(grid.cellText(r, 1), QStringLiteral("台"));
            expected += QByteArray(r % 7 + 1, 'x');
            QCOMPARE(grid.cellBytes(r, 0), expected);
        }
    }

    // A long day's changes to a loaded grid: texts set and emptied, attributes given and taken
    // back, rows put in and taken out, as many times as make the grid pack its cells and texts
    // and let go of the file's bytes. It holds exactly what was last set, and saves that.
    void longChurnKeepsEveryCell() {
        constexpr int kColumns = 4;
        testgrid::GridFile f;
        f.rows = 1501;
        f.columns = kColumns;
        std::vector<std::array<QByteArray, kColumns>> texts(f.rows);
        std::vector<std::array<int, kColumns>> margins(f.rows, {9, 9, 9, 9});
        for (int r = 1; r < f.rows; ++r) {
            texts[r] = {"T" + QByteArray::number(r), QByteArray::number(r % 17), "x", {}};
            for (int c = 0; c < 3; ++c)
                f.cells.append({r, c, texts[r][c]});
        }
        f.lists[testgrid::Margin] = {{7, 1, 4}};
        margins[7][1] = 4;
        GridStore grid;
        QVERIFY(grid.loadFromBytes(f.bytes()));

        QRandomGenerator random(15);
        for (int step = 0; step < 30000; ++step) {
            const int rows = grid.rowCount();
            const int r = 1 + int(random.bounded(rows - 1));
            const int c = int(random.bounded(kColumns));
            const quint32 what = random.bounded(20);
            if (what == 0) {
                const QByteArray heading = "H" + QByteArray::number(step);
                QVERIFY(grid.insertRow(QString::fromLatin1(heading), r));
                texts.insert(texts.begin() + r, {heading, {}, {}, {}});
                margins.insert(margins.begin() + r, {9, 9, 9, 9});
            } else if (what == 1 && rows > 2) {
                QVERIFY(grid.deleteRow(r));
                texts.erase(texts.begin() + r);
                margins.erase(margins.begin() + r);
            } else if (what <= 3) {
                const int margin = int(random.bounded(3)) == 0 ? 9 : int(random.bounded(20));
                QVERIFY(grid.editCell(r, c, [margin](Cell& cell) { cell.margin = margin; }));
                margins[r][c] = margin;
            } else {
                const QByteArray text = what == 4 ? QByteArray() : QByteArray(int(random.bounded(40)), char('a' + c));
                QVERIFY(grid.setCellBytes(r, c, text));
                texts[r][c] = text;
            }
        }
        const auto holdsTheModel = [&](const GridStore& g) {
            if (g.rowCount() != int(texts.size()))
                return false;
            for (int r = 0; r < g.rowCount(); ++r) {
                for (int c = 0; c < kColumns; ++c) {
                    if (g.cellBytes(r, c) != texts[r][c] || g.cell(r, c)->margin != margins[r][c])
                        return false;
                }
            }
            return true;
        };
        QVERIFY(holdsTheModel(grid));
        const QByteArray saved = grid.toBytes();
        GridStore back;
        QVERIFY(back.loadFromBytes(saved));
        QVERIFY(holdsTheModel(back));
        QCOMPARE(back.toBytes(), saved);
    }

    // The selection is a state bit of cells: clearSelection and look setting 7 clear it.
    void selection() {
        GridStore grid(kindsDefinition());
        grid.editCell(1, 1, [](Cell& c) { c.state = Cell::SelectedState; });
        grid.editCell(2, 1, [](Cell& c) { c.state = Cell::SelectedState | Cell::ReadOnlyState; });
        grid.clearSelection();
        QVERIFY(grid.cell(1, 1)->isDefault());
        QCOMPARE(grid.cell(2, 1)->state, Cell::ReadOnlyState);
        grid.editCell(1, 1, [](Cell& c) { c.state = Cell::SelectedState; });
        grid.setLookSetting(7, 0);
        QCOMPARE(grid.cell(1, 1)->state, 0);
        QVERIFY(!grid.editCell(3, 0, [](Cell& c) { c.state = 1; }));
    }

    void focus() {
        GridStore grid(kindsDefinition());
        QSignalSpy focus(&grid, &GridStore::focusChanged);
        grid.setFocusCell(2, 3);
        QCOMPARE(grid.focusRow(), 2);
        QCOMPARE(grid.focusColumn(), 3);
        grid.setFocusCell(2, 3);
        grid.setFocusCell(3, 0); // outside the grid: no focus
        QCOMPARE(grid.focusRow(), -1);
        QCOMPARE(grid.focusColumn(), -1);
        QCOMPARE(focus.size(), 2);
        QCOMPARE(focus[1][0].toInt(), -1);
    }

    // A reset empties every cell and brings back the definition's settings, including the ones
    // set as properties since.
    void resetGrid() {
        GridStore::Definition d = kindsDefinition();
        d.look[0] = 3;
        GridStore grid(d);
        giveKinds(grid);
        grid.setFixedColumnCount(1);
        grid.setDefaultForeground(0x00FF00);
        grid.setCell(1, Plain, QStringLiteral("红茶"));
        grid.setChecked(1, Check, true);
        grid.setFocusCell(1, 1);
        grid.resetGrid();
        QCOMPARE(grid.rowCount(), 3);
        QCOMPARE(grid.columnCount(), int(ColumnCount));
        QCOMPARE(grid.fixedColumnCount(), 1);
        QCOMPARE(grid.defaultForeground(), 0x00FF00u);
        QCOMPARE(grid.lookSetting(1), 3);
        QCOMPARE(grid.focusRow(), -1);
        QVERIFY(grid.columnKinds().isEmpty());
        QVERIFY(grid.cell(1, Check)->isDefault());
        QVERIFY(grid.cell(1, Plain)->isDefault());
    }
};

QTEST_APPLESS_MAIN(TestGridStore)
#include "test_grid_store.moc"
