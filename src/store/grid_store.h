#pragma once

#include "common/safe_save.h"

#include <QAbstractTableModel>
#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QVariant>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QIODevice;

namespace cuemora {

// How setCell reads its value: as the cell's text, as its check mark, or as its picture.
enum class CellKind { Text = 1, Check = 5, Picture = 6 };

// The column kinds a grid file carries (kind code = 100 + the setColumnKind argument). The program
// itself gives only check-box and image columns; the others are kept as the file brings them.
enum ColumnKindCode {
    PlainTextColumn = 101,
    NumberColumn = 102,
    DateColumn = 103,
    ChoiceColumn = 104,
    CheckBoxColumn = 105,
    ImageColumn = 106,
    MoneyColumn = 107,
    SecondChoiceColumn = 108,
};

struct ColumnKind {
    qint32 column = 0;
    qint32 code = PlainTextColumn;
    QByteArray textA; // at most 8 bytes in the file
    QByteArray textB; // at most 12 bytes in the file
    qint32 x = 0;
    qint32 y = 0;            // number of decimals of number and money columns
    QList<QByteArray> items; // at most 100 bytes each in the file
};

struct MergedRange {
    qint32 masterRow = 0, masterColumn = 0;
    qint32 firstRow = 0, firstColumn = 0;
    qint32 lastRow = 0, lastColumn = 0;
};

struct CalculationRule { // rules A: kept and written back, never evaluated
    std::array<qint32, 4> values{};
};

struct RangeRule { // rules B
    qint32 column = 0, firstRow = 0, lastRow = 0, resultRow = 0;
};

// A Windows LOGFONTA, kept as its 60 bytes so that it is written back exactly as it was read.
struct LogFont {
    std::array<char, 60> bytes{};

    static LogFont make(const QByteArray& faceName, qint32 height, qint32 weight);
    qint32 height() const;
    qint32 weight() const;
    bool italic() const;
    bool underline() const;
    bool strikeOut() const;
    QByteArray faceName() const;
    // Equal in face name, height, weight, italic, underline and strike-out: the fields by which a
    // cell's font counts as its own.
    bool sameLook(const LogFont& other) const;
};

struct PrintSettings {
    QByteArray titleText;     // at most 256 bytes
    QByteArray titleFontFace; // at most 32 bytes
    qint32 titleFontHeight = 0;
    qint32 titleBold = 0;
    qint32 titleAlignment = 2;
    std::array<qint32, 7> pageLayout{};
};

struct AlternateColouring {
    bool enabled = false;
    bool byRows = true;
    quint32 oddColour = 0xFFFFFF;
    quint32 evenColour = 0xFFFFFF;
};

// Colours are COLORREF values, 0x00BBGGRR; this one stands for the grid's own default colour.
constexpr quint32 kDefaultColour = 0xFF000000u;

// One cell of a grid as a whole value: what cellAt() and cell() show and editCell() changes. The
// text is the CP936 bytes that the file holds, so that a file loads and saves back byte for byte
// whatever it holds. The grid itself holds its cells in a compact form (a cell costs 20 bytes beside
// its text, and its text stays where it lay in the file it was loaded from) and makes one of these
// only when asked for it.
struct Cell {
    QByteArray text;
    qint32 check = 0;
    QByteArray picture;          // a 24-bit BMP file image, or empty for none
    qint32 imageIndex = -1;      // not kept in the file
    std::optional<LogFont> font; // none: the grid's font
    quint32 background = kDefaultColour;
    quint32 foreground = kDefaultColour;
    qint32 format = 0x824; // DrawText flags: left, vertically centred, single line, no prefix
    qint32 margin = 9;
    qint32 state = 0; // bit 2: selected, bit 8: read-only
    qint32 valueE = 0;
    bool flagG = false;
    // The merge marks. The grid keeps them in its merged ranges, not in every cell, so that a range
    // over a vast area costs nothing: GridStore::cellAt fills them in, GridStore::cell leaves them
    // false.
    bool master = false;  // master cell of a merged range
    bool covered = false; // covered by a merged range

    static constexpr qint32 SelectedState = 2;
    static constexpr qint32 ReadOnlyState = 8;

    bool isDefault() const;
};

// A grid of rows and columns of cells: every list the program shows and keeps (the register of the
// tables, the day's takings, the goods, the list of goods to sell). Row 0 is the header row; it and
// any further fixed rows and columns are cells like any other. It shows itself through
// QAbstractTableModel, one model row per grid row, fixed rows included; the windows decide how to
// draw the fixed ones.
//
// Every operation takes row and column numbers from 0 and treats a cell outside the grid as absent:
// nothing changes and the result says so.
class GridStore : public QAbstractTableModel {
    Q_OBJECT

public:
    // The grid's definition in its window: what it is created with and what resetGrid returns to.
    struct Definition {
        int rows = 1;
        int columns = 1;
        int fixedRows = 1;
        int fixedColumns = 0;
        int rowHeight = 24;
        int columnWidth = 60;
        quint32 gridLineColour = 0xC0C0C0;
        quint32 background = 0xFFFFFF;
        quint32 foreground = 0x000000;
        int gridLineWidth = 1;
        std::array<qint32, 8> look{};                                                  // look settings 1 to 8
        LogFont font = LogFont::make(QByteArrayLiteral("\xcb\xce\xcc\xe5"), -12, 400); // SimSun, 9 pt

        // A list of the program's own: the header row alone, over `columnCount` columns of a width.
        static Definition list(int columnCount, int width) {
            Definition definition;
            definition.columns = columnCount;
            definition.columnWidth = width;
            return definition;
        }
    };

    // Model roles beyond Qt's own.
    enum Role {
        PictureRole = Qt::UserRole + 1, // QByteArray: the cell's picture as a BMP file image
        BackgroundRgbRole,              // quint32 COLORREF, absent for the default colour
        ForegroundRgbRole,              // quint32 COLORREF, absent for the default colour
        FormatRole,                     // qint32 DrawText flags
    };

    // A grid of the default definition (the definition cannot be a default argument here, since its
    // member initialisers are only usable once the class is complete).
    explicit GridStore(QObject* parent = nullptr);
    explicit GridStore(const Definition& definition, QObject* parent = nullptr);
    ~GridStore() override;

    // --- cells -----------------------------------------------------------------------------------

    // Kind 1: the value (text, or a number written as text: whole numbers by "%d", single
    // precision by "%.6g", double precision by "%.13g"; a QByteArray is taken as CP936 bytes)
    // becomes the cell's text; refused in a data cell of a check-box or image column, and for a
    // text that CP936 cannot hold whole, that holds a NUL (the file could not give it back) or that
    // is longer than a cell of a grid file may be (64 KB). In a data cell of a number or money
    // column the text must be empty, "0" or a non-zero number and is written with the column's
    // decimals. Kind 5: a truth value becomes the check state of a check-box column. Kind 6:
    // picture data (BMP or icon/cursor bytes) or the path of a picture file becomes the picture of
    // an image column, unless it is larger than all the pictures of a grid file may be (32 MB).
    // True on success.
    bool setCell(int row, int column, CellKind kind, const QVariant& value);
    // Kind 1 with a text, without a QVariant.
    bool setCell(int row, int column, const QString& text);
    // Kind 1 with the CP936 bytes of a text, as they are: the clock's seconds, a text copied from
    // another cell. The bytes may be a view into this grid's own texts.
    bool setCellBytes(int row, int column, QByteArrayView cp936);
    bool setChecked(int row, int column, bool checked) { return setCell(row, column, CellKind::Check, checked); }
    bool setPicture(int row, int column, const QByteArray& data) {
        return setCell(row, column, CellKind::Picture, data);
    }

    // A data cell of a check-box column yields its check mark (bool), of an image column its
    // picture (QByteArray, empty for none); every other cell its text (QString). A cell outside
    // the grid yields false, or empty bytes in an image column.
    QVariant getCell(int row, int column) const;
    // getCell turned into text by the program's value rules (真/假 for check marks).
    QString cellText(int row, int column) const;
    // The number a cell stands for, by the program's value rules, read from its bytes as they lie.
    double cellNumber(int row, int column) const;
    // The CP936 bytes of a cell's text as the grid holds them, without a copy: good until the grid
    // next changes. Empty for an empty cell and outside the grid. With isChecked, what loops over
    // many rows (the clock, the lists of tables, the totals) read.
    QByteArrayView cellBytes(int row, int column) const;
    // The check state of a cell, whatever its column (0 outside the grid).
    bool isChecked(int row, int column) const;
    // The cell as a whole value, or nullptr outside the grid (an empty cell inside the grid is one
    // with every attribute at its default). The value is made for the call and held by the grid:
    // the pointer stays good while the grid lives, and shows the cell as it was until cell() has
    // been called 16 times more. Code that reads a few cells at once uses it; loops over rows read
    // cellBytes() and isChecked(), which make nothing.
    const Cell* cell(int row, int column) const;
    // The cell as it shows: with its merge marks, and with the line colour of the alternate-line
    // colouring as its background. An empty cell outside the grid.
    Cell cellAt(int row, int column) const;
    // Changes a cell's attributes (font, colours, format, margin, state flags...) directly, without
    // the rules of setCell; false outside the grid. Its merge marks are the grid's merged ranges'
    // and are not changed here.
    bool editCell(int row, int column, const std::function<void(Cell&)>& edit);

    // While a Batch lives, the cells that setCell, setCellBytes and editCell change are told to the
    // views as one dataChanged over the rows and columns they span, when the last Batch ends: a
    // refresh of every row's picture, or the clock's seconds, is one change and not one per row.
    // Rows inserted or deleted meanwhile first tell what was gathered before them.
    class Batch {
    public:
        explicit Batch(GridStore& grid);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        GridStore& m_grid;
    };

    // --- rows and columns ------------------------------------------------------------------------

    // Inserts one empty row before `position`; a position that is omitted (-1), below the fixed
    // rows or not below the row count appends it. The cell in column 0 gets the heading.
    bool insertRow(const QString& heading = QString(), int position = -1);
    // Removes one row; false for a row outside the grid.
    bool deleteRow(int row);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    // n >= 1: rows (columns) from n on go, new ones are empty; every row (column) then gets the
    // height of every row (width of every column). 0 or less is refused.
    bool setRowCount(int rows);
    bool setColumnCount(int columns);

    int fixedRowCount() const;
    int fixedColumnCount() const;
    void setFixedRowCount(int rows);
    void setFixedColumnCount(int columns);

    int rowHeight(int row) const;      // 0 outside the grid
    int columnWidth(int column) const; // 0 outside the grid
    // Sets the width exactly, without the grid-line minimum; nothing for a column out of range or a
    // negative width.
    void setColumnWidth(int column, int width);
    // The height of every row and the width of every column: set every row (column) now, raised to
    // grid-line width + 6 pixels, and again whenever the row (column) count is set.
    int everyRowHeight() const;
    int everyColumnWidth() const;
    void setEveryRowHeight(int height);
    void setEveryColumnWidth(int width);

    // Puts an entry of code 100 + kind in place of the column's kind; false for a column out of
    // range or a kind outside 1..8. Number and money columns get 2 decimals, date columns the
    // format "%Y-%m-%d", money columns the sign "￥", image columns X = 201, choice columns a copy
    // of the grid's item list.
    bool setColumnKind(int column, int kind);
    // The kind code of a column, or 0 for a plain text column without an entry.
    int columnKindCode(int column) const;
    const QList<ColumnKind>& columnKinds() const;
    // The item texts that choice columns copy when they are given.
    void setChoiceItems(const QList<QByteArray>& items);

    const QList<MergedRange>& mergedRanges() const;
    const QList<CalculationRule>& calculationRules() const;
    const QList<RangeRule>& rangeRules() const;

    // --- focus, selection and keys ---------------------------------------------------------------

    int focusRow() const; // -1 when no cell has the focus
    int focusColumn() const;
    // Moves the focus to a cell of the grid; (-1, -1), or a cell outside the grid, clears it.
    void setFocusCell(int row, int column);
    void clearSelection();

    // The Enter-key setting: 1 moves the focus one cell right (from the last column to the first
    // data column of the next row), 2 one cell down (from the last row to the first data row of the
    // next column), 3 passes the key on, 0 does nothing.
    int enterKeySetting() const;
    void setEnterKeySetting(int setting);
    // Runs the Enter key on the focus; true when the grid used the key (settings 0, 1 and 2).
    bool pressEnter();

    // --- look ------------------------------------------------------------------------------------

    qint32 lookSetting(int number) const; // 1..8; 0 for any other number
    void setLookSetting(int number, qint32 value);
    quint32 gridLineColour() const;
    quint32 defaultBackground() const;
    quint32 defaultForeground() const;
    void setGridLineColour(quint32 colour);
    void setDefaultBackground(quint32 colour);
    void setDefaultForeground(quint32 colour);
    int gridLineWidth() const;
    void setGridLineWidth(int width);
    bool showZero() const;
    void setShowZero(bool show);
    int pageNumberPosition() const;
    void setPageNumberPosition(int position);
    int datePosition() const;
    void setDatePosition(int position);
    const AlternateColouring& alternateColouring() const;
    void setAlternateColouring(const AlternateColouring& colouring);
    const PrintSettings& printSettings() const;
    void setPrintSettings(const PrintSettings& settings);
    const LogFont& font() const;

    // Empties the grid but keeps its size: every cell empty, column kinds, merged ranges and rules A
    // gone; fixed counts, colours, default sizes and look settings back to the definition's.
    void resetGrid();

    // --- files -----------------------------------------------------------------------------------

    // Clears the selection and the focus, then writes the grid file (version 6). The old file is
    // replaced only when every byte is on the disk; a failed save leaves it as it was, and
    // errorString() says why (the system's reason for a disk that is full or cannot be written). A
    // grid beyond what a grid file may hold (rows, columns, a cell's text, the pictures) is not
    // written at all, since it could not be read back. The bytes reach the disk through `writer`.
    bool saveToFile(const QString& path, const FileWriter& writer = diskWriter());
    bool saveToDevice(QIODevice& device);
    // The bytes of the grid file, within its bounds or not.
    QByteArray toBytes();

    // Visits the cells that hold something (a text, a check mark, a picture or an attribute of
    // their own), row by row and in column order: what the grid holds, never rows times columns.
    void forEachHeldCell(const std::function<void(int row, int column, const Cell& cell)>& visit) const;

    // Reads a grid file of version 1 to 6. All or nothing: a file that is missing, unreadable,
    // refused by the checks, cut short or beyond the bounds of a grid file (more than 1,000,000
    // rows or columns, 64 KB of text in a cell, 32 MB of pictures or 32 MB in all) leaves the grid
    // exactly as it was, and errorString() says which.
    bool loadFromFile(const QString& path);
    bool loadFromBytes(const QByteArray& bytes);

    // Why the last load or save failed, in words for the operator; empty after a success.
    QString errorString() const;
    // The version of the file last loaded, 0 when none was.
    int loadedVersion() const;

    // --- QAbstractTableModel -----------------------------------------------------------------------

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

Q_SIGNALS:
    // A row height or a column width changed (also after a load or a reset).
    void geometryChanged();
    void focusChanged(int row, int column);

private:
    // toBytes for a save: false, with the reason in errorString(), for a grid beyond a file's bounds.
    bool fileBytes(QByteArray& bytes);
    bool loadOwnBytes(QByteArray bytes);
    // Stores a text that setCell's rules let through.
    bool storeText(int row, int column, QByteArrayView text);
    // Tells the views of one changed cell now, or when the batch ends.
    void cellChanged(int row, int column);
    void flushChanges();
    void applyAlternateColouring();
    void allDataChanged();

    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace cuemora
