#include "app/grid_view.h"
#include "shell_fixture.h"
#include "store/grid_store.h"
#include "tables/table_register.h"

#include <QHeaderView>
#include <QSignalSpy>
#include <QTemporaryDir>

using namespace cuemora;

namespace {

// A small grid like the goods stock: a header row and three rows of four text columns.
GridStore::Definition goodsDefinition() {
    GridStore::Definition definition;
    definition.rows = 4;
    definition.columns = 4;
    definition.fixedRows = 1;
    definition.rowHeight = 22;
    definition.columnWidth = 70;
    definition.look[4] = 1; // look setting 5: edit in place
    return definition;
}

void fillGoods(GridStore& grid) {
    const QStringList heads = {u"商品名称"_qs, u"库存数量"_qs, u"单价"_qs, u"商品编码"_qs};
    for (int column = 0; column < 4; ++column)
        grid.setCell(0, column, heads[column]);
    for (int row = 1; row < 4; ++row)
        grid.setCell(row, 0, u"可乐"_qs + QString::number(row));
}

} // namespace

class TestGridView : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QCOMPARE(visibleWindows(), QStringList()); }

    // Row 0 is the header; view row k is grid row k + 1; widths and heights are the grid's and
    // follow it when they change.
    void headerRowAndGeometry() {
        GridStore grid(goodsDefinition());
        fillGoods(grid);
        GridView view;
        view.setStore(&grid);
        QAbstractItemModel* model = view.model();
        QCOMPARE(model->rowCount(), 3);
        QCOMPARE(model->columnCount(), 4);
        QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), u"商品名称"_qs);
        QCOMPARE(model->headerData(3, Qt::Horizontal).toString(), u"商品编码"_qs);
        QCOMPARE(model->index(0, 0).data().toString(), u"可乐1"_qs);
        QCOMPARE(model->index(0, 0).data(Qt::ToolTipRole).toString(), u"可乐1"_qs);
        QCOMPARE(view.columnWidth(2), 70);
        QCOMPARE(view.rowHeight(0), 22);

        QSignalSpy header(model, &QAbstractItemModel::headerDataChanged);
        grid.setCell(0, 1, u"数量"_qs);
        QCOMPARE(header.count(), 1);
        QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), u"数量"_qs);

        grid.setColumnWidth(2, 33);
        QCOMPARE(view.columnWidth(2), 33);
        grid.setEveryRowHeight(40);
        QCOMPARE(view.rowHeight(2), 40);

        grid.insertRow(u"雪碧"_qs, 1);
        QCOMPARE(model->rowCount(), 4);
        QCOMPARE(model->index(0, 0).data().toString(), u"雪碧"_qs);
        QCOMPARE(model->index(1, 0).data().toString(), u"可乐1"_qs);
        grid.deleteRow(2);
        QCOMPARE(model->rowCount(), 3);
        QCOMPARE(model->index(1, 0).data().toString(), u"可乐2"_qs);
        grid.setRowCount(1);
        QCOMPARE(model->rowCount(), 0);
        QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), u"商品名称"_qs);
    }

    // The register through the view: ticks as check states, pictures as pixmaps; the tick is the
    // program's own and no view changes it, while a price typed in place is told as an edit in
    // place (the program's own changes are not).
    void checkBoxesAndPictures() {
        TableRegister tables;
        int edits = 0;
        tables.setEditedInPlace([&edits] { ++edits; });
        GridStore& grid = tables.grid();
        grid.insertRow();
        grid.insertRow();
        grid.setCell(1, RegisterColumn::Type, billiardType());
        grid.setCell(2, RegisterColumn::Type, mahjongType());
        grid.setChecked(2, RegisterColumn::InUse, true);
        tables.RenumberTables();
        tables.RefreshPictures();
        GridView view;
        view.setStore(&grid);
        QAbstractItemModel* model = view.model();
        const QModelIndex free = model->index(0, RegisterColumn::InUse);
        const QModelIndex busy = model->index(1, RegisterColumn::InUse);
        QCOMPARE(free.data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        QCOMPARE(busy.data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QCOMPARE(busy.data().toString(), QString()); // no 真 beside the tick
        QVERIFY(!(model->flags(free) & Qt::ItemIsUserCheckable));
        QVERIFY(!(model->flags(free) & Qt::ItemIsEditable));
        QVERIFY(!model->setData(free, Qt::Checked, Qt::CheckStateRole));
        QVERIFY(!tables.isInUse(1));
        QVERIFY(!model->setData(model->index(1, RegisterColumn::InUse), u"x"_qs)); // refused: no edit
        QCOMPARE(edits, 0);
        QVERIFY(model->setData(model->index(0, RegisterColumn::Price), u"25"_qs));
        QCOMPARE(edits, 1);

        for (int row = 0; row < 2; ++row) {
            const QVariant picture = model->index(row, RegisterColumn::Picture).data(Qt::DecorationRole);
            QCOMPARE(picture.userType(), int(QMetaType::QPixmap));
            QCOMPARE(picture.value<QPixmap>().size(), QSize(32, 32));
            QCOMPARE(model->index(row, RegisterColumn::Picture).data().toString(), QString());
        }
        QCOMPARE(model->index(0, RegisterColumn::Number).data().toString(), u"1"_qs);
        QVERIFY(!(model->flags(model->index(0, RegisterColumn::Picture)) & Qt::ItemIsEditable));
    }

    // A cell typed into in place lands in the grid; the grid's colours reach the view.
    void editingAndColours() {
        GridStore grid(goodsDefinition());
        fillGoods(grid);
        GridView view;
        view.setStore(&grid);
        QAbstractItemModel* model = view.model();
        const QModelIndex price = model->index(1, 2);
        QVERIFY(model->flags(price) & Qt::ItemIsEditable);
        QVERIFY(model->setData(price, u"2.5"_qs));
        QCOMPARE(grid.cellText(2, 2), u"2.5"_qs);

        grid.editCell(1, 1, [](Cell& cell) {
            cell.background = 0x0000FF; // COLORREF red
            cell.foreground = 0xFF0000; // COLORREF blue
            cell.format = 0x826;        // right-aligned
        });
        const QModelIndex coloured = model->index(0, 1);
        QCOMPARE(coloured.data(Qt::BackgroundRole).value<QBrush>().color(), QColor(Qt::red));
        QCOMPARE(coloured.data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::blue));
        QVERIFY(coloured.data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight);
        QCOMPARE(model->index(0, 0).data(Qt::BackgroundRole).value<QBrush>().color(), QColor(Qt::white));
    }

    // The view's current cell is the grid's focus cell, both ways, so that a routine reading
    // focusRow sees what the operator clicked.
    void currentCellIsTheFocusCell() {
        GridStore grid(goodsDefinition());
        fillGoods(grid);
        GridView view;
        view.setStore(&grid);
        view.setCurrentIndex(view.model()->index(2, 1));
        QCOMPARE(grid.focusRow(), 3);
        QCOMPARE(grid.focusColumn(), 1);
        grid.setFocusCell(1, 3);
        QCOMPARE(view.currentIndex(), view.model()->index(0, 3));
        grid.setFocusCell(-1, -1);
        QVERIFY(!view.currentIndex().isValid());

        // Deleting the focused row: the grid moves its focus by its own rule (the row that takes
        // its place, or the one above the last), and the view follows rather than leads.
        grid.insertRow(u"雪碧"_qs);
        view.setCurrentIndex(view.model()->index(1, 0));
        QCOMPARE(grid.focusRow(), 2);
        grid.deleteRow(2);
        QCOMPARE(grid.focusRow(), 2);
        QCOMPARE(grid.cellText(2, 0), u"可乐3"_qs);
        QCOMPARE(view.gridRow(view.currentIndex()), 2);
        view.setCurrentIndex(view.model()->index(2, 0));
        QCOMPARE(grid.focusRow(), 3);
        grid.deleteRow(3);
        QCOMPARE(grid.focusRow(), 2);
        QCOMPARE(view.gridRow(view.currentIndex()), grid.focusRow());
    }

    // A load swaps the whole grid in: the view shows the file's rows, header and widths.
    void loadShowsTheFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"商品库存"_qs);
        {
            GridStore saved(goodsDefinition());
            fillGoods(saved);
            saved.insertRow();
            saved.setColumnWidth(0, 111);
            QVERIFY(saved.saveToFile(path));
        }
        GridStore grid(goodsDefinition());
        GridView view;
        view.setStore(&grid);
        QCOMPARE(view.model()->rowCount(), 3);
        QVERIFY(grid.loadFromFile(path));
        QCOMPARE(view.model()->rowCount(), 4);
        QCOMPARE(view.model()->headerData(0, Qt::Horizontal).toString(), u"商品名称"_qs);
        QCOMPARE(view.columnWidth(0), 111);
    }

    // A grid that goes before its view leaves it empty, not dangling.
    void gridDestroyedFirst() {
        GridView view;
        {
            GridStore grid(goodsDefinition());
            view.setStore(&grid);
            QCOMPARE(view.model()->rowCount(), 3);
        }
        QCOMPARE(view.store(), nullptr);
        QCOMPARE(view.model()->rowCount(), 0);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.hide();
    }
};

CUEMORA_WINDOW_TEST_MAIN(TestGridView)
#include "test_grid_view.moc"
