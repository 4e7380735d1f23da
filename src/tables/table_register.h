#pragma once

#include "common/data_directory.h"
#include "store/grid_store.h"

#include <QByteArray>
#include <QString>

#include <functional>

namespace cuemora {

// The columns of the register of the room's tables. The row number is the table number.
namespace RegisterColumn {
enum : int {
    Picture = 0,    // "图片": the status picture (image column, the one fixed column)
    Number = 1,     // "序号": the table number as text
    Type = 2,       // "类型": "桌球台" or "麻雀台"
    Name = 3,       // "台名称": e.g. 3号大厅
    Price = 4,      // "单价/h": the hourly price as typed
    Start = 5,      // "开始时间": start of the current use, empty while free
    Seconds = 6,    // "使用时长": seconds in use as whole-number text, empty while free
    GoodsNames = 7, // "记录商品名称": goods on the table's account, each after "、"
    GoodsTotal = 8, // "记录总价": their total
    InUse = 9,      // "是否使用": check-box column, ticked while in use
    Rate = 10,      // "折率": discount rate in tenths, "10" is full price
    Count = 11
};
} // namespace RegisterColumn

// The two table types, compared byte for byte.
QString billiardType(); // "桌球台"
QString mahjongType();  // "麻雀台"

enum class StatusPicture { BilliardFree, BilliardInUse, MahjongFree, MahjongInUse };

// The picture a row shows: only the type "桌球台" gets the billiard pictures.
StatusPicture statusPictureFor(const QString& type, bool inUse);
// The picture as the icon file the program carries (32 x 32, 32-bit).
QByteArray statusPictureIcon(StatusPicture picture);
// The picture as the grid keeps it: the icon made into a bitmap once, shared by every row.
QByteArray statusPictureBitmap(StatusPicture picture);

// The register of the room's tables: one row per table under the header row, shown below the tabs
// of the main window and kept in the file "表格设置". Every part of the program that opens, times,
// moves or checks out a table works on its cells.
class TableRegister {
public:
    // The empty register: the header row alone, eleven columns, rows 30 pixels high, pictures in
    // column 0 and check boxes in "是否使用".
    TableRegister();

    GridStore& grid() { return m_grid; }
    const GridStore& grid() const { return m_grid; }

    static QString fileName(); // "表格设置"

    // Back to the empty register, look and header as at start; every table goes.
    void reset();
    // Writes every data row's own number into "序号".
    void RenumberTables();
    // Gives every data row the status picture of its type and state.
    void RefreshPictures();
    // Reads the register file; a missing or refused file leaves the register as it was.
    bool LoadRegister(const DataDirectory& data);
    // Writes the register file; false (with the reason in *error) when it could not be written,
    // and then the file on disk is as it was.
    bool SaveRegister(const DataDirectory& data, QString* error = nullptr);

    // The operator changes in place only what a table is: its type, name, price and rate. The rest
    // is the program's own bookkeeping of the table's use (start, seconds, goods, the tick): a stray
    // click or key there would stop a clock or change a bill, so views can change none of it.
    static bool isEditableInPlace(int column);
    // Asked before an edit in place lands, with the column and the text typed: false refuses it
    // (the check has told the operator why) and the cell keeps its text.
    void setEditCheck(std::function<bool(int column, const QString& text)> check) { m_grid.check = std::move(check); }
    // Called after the operator changed a cell in place through a view of the grid, never after
    // the program's own changes: such an edit is the register's content like any other and must
    // reach the file.
    void setEditedInPlace(std::function<void()> edited) { m_grid.edited = std::move(edited); }

    // The number of tables (data rows).
    int tableCount() const;
    // True when n names a table: 1 <= n <= tableCount().
    bool isTable(qint64 n) const;
    bool isInUse(int n) const;
    // The highest table number in use, 0 when every table is free.
    int lastTableInUse() const;
    QString type(int n) const;
    QString name(int n) const;
    void showPicture(int row, StatusPicture picture);

private:
    // Size and look: the header row only, eleven columns, rows 30 pixels high.
    void InitRegisterLook();
    // Captions and widths of the eleven columns; column 0 an image column, column 9 check boxes.
    void WriteRegisterHeader();

    // The grid as views edit it: views change cells through setData alone, and see as editable
    // only the cells they may change.
    class Grid : public GridStore {
    public:
        using GridStore::GridStore;
        bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
        Qt::ItemFlags flags(const QModelIndex& index) const override;
        std::function<bool(int, const QString&)> check;
        std::function<void()> edited;
    };

    Grid m_grid;
};

// Why the program may not end now: "还有第N台没有结账，不能退出" for the highest table N in use, or the
// empty text when every table is free.
QString exitRefusal(const TableRegister& tables);

} // namespace cuemora
