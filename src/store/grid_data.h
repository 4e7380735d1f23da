#pragma once

#include "store/grid_store.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <optional>
#include <utility>
#include <vector>

namespace cuemora {

// The store's own parts, shared by the grid store and its file reader and writer; nothing outside
// src/store includes this.

// A row keeps only the cells that hold something (Cell::isDefault() is false), in column order, so
// that a grid costs memory by the cells it holds and not by rows times columns: a register of a
// thousand rows and eleven columns, or a file that claims a vast empty grid, costs its rows.
struct GridRow {
    qint32 height = 24;
    std::vector<std::pair<qint32, Cell>> cells;

    const Cell* find(qint32 column) const;
    Cell* find(qint32 column);
    // The cell of a column, made empty first when the row holds none.
    Cell& obtain(qint32 column);
    // Forgets the cell of a column when it holds nothing any more.
    void prune(qint32 column);
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

// Everything a grid file holds.
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

    qint32 rowCount() const { return static_cast<qint32>(rows.size()); }
    qint32 columnCount() const { return static_cast<qint32>(columnWidths.size()); }
    bool isDataCell(qint64 row, qint64 column) const { return row >= fixedRows && column >= fixedColumns; }
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
// file does not hold (the print settings of a file before version 5). Row heights and column
// widths below `minimumSize` are raised to it. On failure `grid` is of no use.
ReadResult read(const QByteArray& bytes, qint32 minimumSize, GridData& grid);

} // namespace gridfile

} // namespace cuemora
