#pragma once

#include "store/grid_store.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <array>
#include <optional>
#include <span>
#include <vector>

namespace cuemora {

// The store's own parts, shared by the grid store and its file reader and writer; nothing outside
// src/store includes this.

// What a cell holds beyond its text and check state. Few cells have any of it (the register's
// pictures, a file's own fonts and colours), so it lives in a side table and a cell costs only an
// index into it.
struct CellExtras {
    QByteArray picture;          // a 24-bit BMP file image, or empty for none
    std::optional<LogFont> font; // none: the grid's font
    quint32 background = kDefaultColour;
    quint32 foreground = kDefaultColour;
    qint32 format = 0x824;
    qint32 margin = 9;
    qint32 state = 0;
    qint32 valueE = 0;
    qint32 imageIndex = -1;
    bool flagG = false;

    bool isDefault() const;
};

// A cell as the grid holds it: 20 bytes beside its text, which lies in the grid's text store (the
// bytes of the file it was loaded from, or the arena of texts set since).
struct HeldCell {
    qint32 column = 0;
    qint32 check = 0;     // the check state as the file holds it
    quint32 textAt = 0;   // where the text starts in the text store
    quint32 textSize = 0; // without a NUL
    quint32 extras = 0;   // 1 + the index of its CellExtras, or 0 for none
};

// A row holds its cells in column order, as one run of the grid's pool of cells: `count` cells from
// `first`, with room for `room` before the run must move to the end of the pool. Rows cost 16
// bytes each, so that inserting one moves 16 bytes a row and loading makes no allocation per row.
struct GridRow {
    qint32 height = 24;
    quint32 first = 0;
    quint32 count = 0;
    quint32 room = 0;
};

// The line colour that alternate-line colouring gave the data cells when it was last applied: one
// colour for even lines and one for odd lines, by row or by column number. The store keeps it once
// for the whole grid, not in every cell, so that colouring a vast empty grid costs nothing.
struct Stripes {
    bool byRows = true;
    quint32 odd = 0;
    quint32 even = 0;

    quint32 colourAt(int row, int column) const { return ((byRows ? row : column) % 2) ? odd : even; }
};

// Everything a grid file holds, and the cells in their compact form.
struct GridData {
    std::vector<GridRow> rows;
    std::vector<qint32> columnWidths;
    qint32 fixedRows = 0;
    qint32 fixedColumns = 0;
    qint32 rowHeight = 24;   // the height of every row
    qint32 columnWidth = 60; // the width of every column
    quint32 gridLineColour = 0xC0C0C0;
    quint32 background = 0xFFFFFF;
    quint32 foreground = 0x000000;
    std::array<qint32, 8> look{};
    AlternateColouring alternate;
    QList<ColumnKind> kinds;
    QList<MergedRange> merges;
    QList<CalculationRule> rulesA;
    QList<RangeRule> rulesB;
    PrintSettings print;

    // --- the cells ---------------------------------------------------------------------------------
    //
    // Every row's run of cells lies in one pool; a run that outgrows its room moves to the end and
    // leaves its old place unused, and the pool is packed again once half of it is unused.
    std::vector<HeldCell> cells;
    quint64 unusedCells = 0;
    // The texts: those of the cells a file brought are views into the file's bytes, kept whole
    // while its texts are at least an eighth of it; texts set later go to the arena, which is
    // packed again once half of it is texts no cell has any more. Offsets below the file's size
    // are in the file, the others in the arena after it.
    QByteArray file;
    quint64 fileTextBytes = 0; // the bytes of the file that cells' texts still are
    std::vector<char> arena;
    quint64 unusedArena = 0;
    std::vector<CellExtras> extras;
    std::vector<quint32> freeExtras;
    // The extras whose state may carry the selected bit: clearing the selection visits these and
    // no other cell.
    std::vector<quint32> selected;

    qint32 rowCount() const { return static_cast<qint32>(rows.size()); }
    qint32 columnCount() const { return static_cast<qint32>(columnWidths.size()); }
    bool isDataCell(qint64 row, qint64 column) const { return row >= fixedRows && column >= fixedColumns; }

    std::span<const HeldCell> rowCells(qint32 row) const {
        const GridRow& r = rows[static_cast<size_t>(row)];
        return {cells.data() + r.first, r.count};
    }
    std::span<HeldCell> rowCells(qint32 row) {
        const GridRow& r = rows[static_cast<size_t>(row)];
        return {cells.data() + r.first, r.count};
    }
    // The cell of a row and column, or nullptr when the row holds none there.
    const HeldCell* find(qint32 row, qint32 column) const;
    HeldCell* find(qint32 row, qint32 column);
    // The index in the pool of the cell of a row and column, made empty first when the row holds
    // none there. Indices and pointers into the pool are good until the next obtain or removal.
    size_t obtain(qint32 row, qint32 column);
    // Forgets the cell of a row and column when it holds nothing any more.
    void prune(qint32 row, qint32 column);
    // Forgets every cell of a row that holds nothing, after several of them changed.
    void pruneRow(qint32 row);
    // Forgets the cells of a row from `column` on (all of them for 0).
    void dropCells(qint32 row, qint32 column = 0);

    QByteArrayView text(const HeldCell& cell) const {
        if (cell.textSize == 0)
            return {}; // where an empty text once lay may be in bytes the grid no longer has
        const size_t fileSize = static_cast<size_t>(file.size());
        const char* at =
            cell.textAt < fileSize ? file.constData() + cell.textAt : arena.data() + (cell.textAt - fileSize);
        return {at, static_cast<qsizetype>(cell.textSize)};
    }
    // Gives the cell a text of its own, in the arena (or in its old place when it fits there);
    // `text` may be a view into this grid's own texts. False, with nothing changed, only when the
    // texts of the grid would pass the 4 GB that their offsets reach.
    bool setText(HeldCell& cell, QByteArrayView text);
    const CellExtras* extrasOf(const HeldCell& cell) const { return cell.extras ? &extras[cell.extras - 1] : nullptr; }
    // The extras of a cell, made default first when it has none.
    CellExtras& obtainExtras(HeldCell& cell);
    // Gives back a cell's extras when every one of them is the default.
    void releaseDefaultExtras(HeldCell& cell);
    bool holdsNothing(const HeldCell& cell) const {
        return cell.textSize == 0 && cell.check == 0 && (!cell.extras || extras[cell.extras - 1].isDefault());
    }
    // Empties every cell; the rows stay with their heights.
    void clearCells();
    // Packs the pool and the texts once they are half unused (or the file's bytes are mostly not
    // texts any more); what that costs, spread over the changes that left them unused, is a small
    // constant for each.
    void tidy();

private:
    void forgetCell(const HeldCell& cell);
    void packCells();
    void packTexts();
};

namespace gridfile {

// The bounds of a grid that the store reads, holds and writes. No room's file comes near them (a
// register of 1,000 tables is 1,001 rows of 11 columns with 1,000 pictures of 3,126 bytes, about
// 3 MB; a busy day's takings a few thousand rows), yet a damaged or hostile file stays within what
// the program can hold and draw at once. A file beyond them is refused like a damaged one, before
// anything is allocated for it, and the store never writes one, so that every file it saves loads
// back.
//
// A whole file, ten times that register: what all the texts, pictures and override lists together
// cost, and what is read before a byte of it is looked at.
constexpr qint64 kLargestFile = qint64(32) << 20;
// A thousand times the rows of that register; at the views' 1,000 pixels at most a row (or a
// column), the whole grid still measures within the 2^31 pixels a view can address.
constexpr qint32 kMostRows = 1'000'000;
constexpr qint32 kMostColumns = 1'000'000;
// Ten times the pictures of that register, as the cells keep them (24-bit BMP images); what one
// file's pictures cost in memory, and again on screen.
constexpr qint64 kMostPictureBytes = qint64(32) << 20;
// The text of one cell: 32,768 Chinese characters. The longest text the program writes is the list
// of goods put on a table's account; a version 1 to 5 file holds 255 bytes.
constexpr qint64 kMostTextBytes = qint64(64) << 10;

// Why a grid cannot be written as a file the store reads back, or empty when it can.
QString beyondBounds(const GridData& grid);
// Why a file of more than kLargestFile bytes is refused.
QString fileTooLarge();

// The bytes of a version-6 grid file. `gridFont` is the font a cell's own font is compared with;
// `stripes`, when given, is the background of every data cell that holds something (the file keeps
// the line colour where the grid has cells, and none for the empty ones).
QByteArray write(const GridData& grid, const LogFont& gridFont, const std::optional<Stripes>& stripes);

struct ReadResult {
    bool ok = false;
    int version = 0;
    QString error; // for the operator, in the program's Chinese
};

// Reads a grid file of version 1 to 6 into `grid`, which starts as the caller wants the parts the
// file does not hold (the print settings of a file before version 5). `bytes` must own its bytes:
// the cells' texts stay views into them. Row heights and column widths below `minimumSize` are
// raised to it. On failure `grid` is of no use.
ReadResult read(const QByteArray& bytes, qint32 minimumSize, GridData& grid);

} // namespace gridfile

} // namespace cuemora
