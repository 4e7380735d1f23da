#include "store/grid_store.h"

#include "common/cp936.h"
#include "common/safe_save.h"
#include "common/text_rules.h"
#include "store/grid_data.h"
#include "store/picture.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QtEndian>

#include <algorithm>
#include <charconv>
#include <cstring>

namespace cuemora {

// ---- LogFont ----------------------------------------------------------------------------------------

namespace {

// LOGFONTA: lfHeight, lfWidth, lfEscapement, lfOrientation, lfWeight (4 bytes each), lfItalic,
// lfUnderline, lfStrikeOut, lfCharSet, four more bytes, then lfFaceName[32].
constexpr int kHeightAt = 0;
constexpr int kWeightAt = 16;
constexpr int kItalicAt = 20;
constexpr int kUnderlineAt = 21;
constexpr int kStrikeOutAt = 22;
constexpr int kCharSetAt = 23;
constexpr int kFaceAt = 28;
constexpr int kFaceBytes = 32;
constexpr char kChineseCharSet = char(134); // GB2312_CHARSET

qint32 fontInt(const LogFont& font, int at) {
    return qFromLittleEndian<qint32>(font.bytes.data() + at);
}

} // namespace

LogFont LogFont::make(const QByteArray& faceName, qint32 height, qint32 weight) {
    LogFont font;
    qToLittleEndian(height, font.bytes.data() + kHeightAt);
    qToLittleEndian(weight, font.bytes.data() + kWeightAt);
    font.bytes[kCharSetAt] = kChineseCharSet;
    std::memcpy(font.bytes.data() + kFaceAt, faceName.constData(),
                std::min<qsizetype>(faceName.size(), kFaceBytes - 1));
    return font;
}

qint32 LogFont::height() const {
    return fontInt(*this, kHeightAt);
}

qint32 LogFont::weight() const {
    return fontInt(*this, kWeightAt);
}

bool LogFont::italic() const {
    return bytes[kItalicAt] != 0;
}

bool LogFont::underline() const {
    return bytes[kUnderlineAt] != 0;
}

bool LogFont::strikeOut() const {
    return bytes[kStrikeOutAt] != 0;
}

QByteArray LogFont::faceName() const {
    const char* face = bytes.data() + kFaceAt;
    const void* nul = std::memchr(face, '\0', kFaceBytes);
    return QByteArray(face, nul ? static_cast<const char*>(nul) - face : kFaceBytes);
}

bool LogFont::sameLook(const LogFont& other) const {
    return height() == other.height() && weight() == other.weight() && italic() == other.italic() &&
           underline() == other.underline() && strikeOut() == other.strikeOut() && faceName() == other.faceName();
}

// ---- Cell ------------------------------------------------------------------------------------------

bool Cell::isDefault() const {
    return text.isEmpty() && check == 0 && picture.isEmpty() && imageIndex == -1 && !font &&
           background == kDefaultColour && foreground == kDefaultColour && format == 0x824 && margin == 9 &&
           state == 0 && valueE == 0 && !flagG && !master && !covered;
}

// ---- the store ----------------------------------------------------------------------------------------

namespace {

// The CP936 bytes of a text, or false when CP936 cannot hold it (or it holds a NUL, which would
// end the text in the file): a text is kept whole or not at all.
bool textBytes(const QString& text, QByteArray& bytes) {
    const auto isAscii = [](QChar ch) { return ch.unicode() < 0x80; };
    if (std::all_of(text.cbegin(), text.cend(), isAscii)) {
        bytes = text.toLatin1(); // CP936 is ASCII below 0x80; the clock writes digits every second
    } else if (fitsCp936(text)) {
        bytes = toCp936(text);
    } else {
        return false;
    }
    return !bytes.contains('\0');
}

QString bytesText(QByteArrayView bytes) {
    const auto isAscii = [](char ch) { return static_cast<uchar>(ch) < 0x80; };
    if (std::all_of(bytes.begin(), bytes.end(), isAscii))
        return QString::fromLatin1(bytes);
    return fromCp936(QByteArray::fromRawData(bytes.data(), bytes.size()));
}

QByteArray formatReal(double value, std::chars_format format, int precision) {
    char buffer[400]; // "%.9f" of the largest double is 319 characters
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format, precision);
    if (result.ec != std::errc())
        return QByteArray("0");
    return QByteArray(buffer, result.ptr - buffer);
}

// A value given to setCell kind 1 as the text it becomes.
bool valueBytes(const QVariant& value, QByteArray& bytes) {
    switch (value.typeId()) {
    case QMetaType::QByteArray:
        bytes = value.toByteArray(); // CP936 bytes as they are
        return !bytes.contains('\0');
    case QMetaType::QString:
        return textBytes(value.toString(), bytes);
    case QMetaType::Float: // "%.6g"
        bytes = formatReal(value.toFloat(), std::chars_format::general, 6);
        if (value.toFloat() == 0.0f)
            bytes = "0";
        return true;
    case QMetaType::Bool:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double: // whole numbers by "%d", reals by "%.13g", truth values as 真/假
        return textBytes(valueToText(value), bytes);
    default:
        return false;
    }
}

bool isZeroText(const QByteArray& text) {
    return text.isEmpty() || text == "0";
}

constexpr qint64 kLargestPictureFile = 64 * 1024 * 1024;

// How many cells cell() shows at once: the pointer it gives stays good for this many more calls.
constexpr size_t kShownCells = 16;

// Sets bytes into a QByteArray that is reused call after call: no allocation once it has room,
// and a copy that a caller kept is left as it was.
void assignBytes(QByteArray& to, QByteArrayView from) {
    to.resize(from.size());
    if (!from.isEmpty())
        std::memcpy(to.data(), from.data(), static_cast<size_t>(from.size()));
}

const CellExtras& defaultExtras() {
    static const CellExtras extras;
    return extras;
}

// A cell as its full value, from what the grid holds of it (nullptr: an empty cell). `cell`'s
// text keeps its buffer when it can.
void fillCell(Cell& cell, const GridData& d, const HeldCell* held) {
    assignBytes(cell.text, held ? d.text(*held) : QByteArrayView());
    cell.check = held ? held->check : 0;
    const CellExtras& x = held && held->extras ? d.extras[held->extras - 1] : defaultExtras();
    cell.picture = x.picture;
    cell.imageIndex = x.imageIndex;
    cell.font = x.font;
    cell.background = x.background;
    cell.foreground = x.foreground;
    cell.format = x.format;
    cell.margin = x.margin;
    cell.state = x.state;
    cell.valueE = x.valueE;
    cell.flagG = x.flagG;
    cell.master = false;
    cell.covered = false;
}

void takeExtras(CellExtras& x, const Cell& cell) {
    x.picture = cell.picture;
    x.imageIndex = cell.imageIndex;
    x.font = cell.font;
    x.background = cell.background;
    x.foreground = cell.foreground;
    x.format = cell.format;
    x.margin = cell.margin;
    x.state = cell.state;
    x.valueE = cell.valueE;
    x.flagG = cell.flagG;
}

} // namespace

struct GridStore::State {
    GridData data;
    Definition initial; // the definition, following every later change of its settings
    int gridLineWidth = 1;
    bool showZero = false;
    int enterKey = 0;
    int pageNumberPosition = 0;
    int datePosition = 0;
    LogFont font;
    QList<QByteArray> choiceItems;
    int focusRow = -1;
    int focusColumn = -1;
    std::optional<Stripes> stripes; // the colours the last alternate-line colouring gave
    // No data cell has had a background of its own since the colouring was last applied: applying
    // it again changes no cell.
    bool stripesClean = false;
    QHash<qint32, qint32> kindOf; // column -> kind code, the first entry of a column
    QString error;
    int loadedVersion = 0;
    // What cell() has shown, the oldest overwritten first.
    mutable std::array<Cell, kShownCells> shown;
    mutable size_t nextShown = 0;
    // The cells changed while a Batch lives, told to the views as one range when it ends.
    int batches = 0;
    bool pending = false;
    int top = 0, left = 0, bottom = 0, right = 0;

    qint32 minimumSize() const { return gridLineWidth + 6; }
    bool inGrid(int row, int column) const {
        return row >= 0 && column >= 0 && row < data.rowCount() && column < data.columnCount();
    }
    int codeOf(int column) const { return kindOf.isEmpty() ? 0 : kindOf.value(column, 0); }
    const ColumnKind* kindEntry(int column) const {
        for (const ColumnKind& kind : data.kinds) {
            if (kind.column == column)
                return &kind;
        }
        return nullptr;
    }
    void reindexKinds() {
        kindOf.clear();
        for (const ColumnKind& kind : data.kinds) {
            if (!kindOf.contains(kind.column))
                kindOf.insert(kind.column, kind.code);
        }
    }
    const CellExtras& extrasAt(int row, int column) const {
        const HeldCell* held = data.find(row, column);
        return held && held->extras ? data.extras[held->extras - 1] : defaultExtras();
    }
    quint32 background(int row, int column, quint32 own) const {
        return stripes && data.isDataCell(row, column) ? stripes->colourAt(row, column) : own;
    }
    // Clears the selection bit of the cells that may have it, and of no other; true when some cell
    // had it. A cell left with nothing is forgotten when it next changes, and no file holds it.
    bool clearSelection() {
        bool any = false;
        for (quint32 index : data.selected) {
            if (index < data.extras.size() && (data.extras[index].state & Cell::SelectedState)) {
                data.extras[index].state &= ~Cell::SelectedState;
                any = true;
            }
        }
        data.selected.clear();
        return any;
    }
};

GridStore::GridStore(QObject* parent)
    : GridStore(Definition(), parent) {}

GridStore::GridStore(const Definition& definition, QObject* parent)
    : QAbstractTableModel(parent)
    , m_state(std::make_unique<State>()) {
    State& s = *m_state;
    s.initial = definition;
    s.gridLineWidth = definition.gridLineWidth;
    s.font = definition.font;
    GridData& d = s.data;
    d.fixedRows = std::max(0, definition.fixedRows);
    d.fixedColumns = std::max(0, definition.fixedColumns);
    d.rowHeight = definition.rowHeight;
    d.columnWidth = definition.columnWidth;
    d.gridLineColour = definition.gridLineColour;
    d.background = definition.background;
    d.foreground = definition.foreground;
    d.look = definition.look;
    GridRow row;
    row.height = std::max(definition.rowHeight, s.minimumSize());
    d.rows.assign(static_cast<size_t>(std::max(0, definition.rows)), row);
    d.columnWidths.assign(static_cast<size_t>(std::max(0, definition.columns)),
                          std::max(definition.columnWidth, s.minimumSize()));
}

GridStore::~GridStore() = default;

// ---- batches of changes -------------------------------------------------------------------------------

GridStore::Batch::Batch(GridStore& grid)
    : m_grid(grid) {
    ++grid.m_state->batches;
}

GridStore::Batch::~Batch() {
    if (--m_grid.m_state->batches == 0)
        m_grid.flushChanges();
}

void GridStore::cellChanged(int row, int column) {
    State& s = *m_state;
    if (s.batches == 0) {
        const QModelIndex at = index(row, column);
        Q_EMIT dataChanged(at, at);
        return;
    }
    if (!s.pending) {
        s.pending = true;
        s.top = s.bottom = row;
        s.left = s.right = column;
        return;
    }
    s.top = std::min(s.top, row);
    s.bottom = std::max(s.bottom, row);
    s.left = std::min(s.left, column);
    s.right = std::max(s.right, column);
}

void GridStore::flushChanges() {
    State& s = *m_state;
    if (!s.pending)
        return;
    s.pending = false;
    Q_EMIT dataChanged(index(s.top, s.left), index(s.bottom, s.right));
}

// ---- cells ----------------------------------------------------------------------------------------------

bool GridStore::storeText(int row, int column, QByteArrayView text) {
    GridData& d = m_state->data;
    const HeldCell* held = d.find(row, column);
    if (held ? d.text(*held) == text : text.isEmpty())
        return true; // the same text again: nothing to tell
    const size_t at = d.obtain(row, column);
    const bool stored = d.setText(d.cells[at], text);
    d.prune(row, column);
    d.tidy();
    if (stored)
        cellChanged(row, column);
    return stored;
}

bool GridStore::setCellBytes(int row, int column, QByteArrayView cp936) {
    State& s = *m_state;
    if (!s.inGrid(row, column))
        return false;
    const int code = s.codeOf(column);
    if (code != 0 && s.data.isDataCell(row, column) &&
        (code == CheckBoxColumn || code == ImageColumn || code == NumberColumn || code == MoneyColumn))
        return setCell(row, column, CellKind::Text, cp936.toByteArray()); // the rules of those columns
    if (cp936.size() > gridfile::kMostTextBytes || cp936.contains('\0'))
        return false;
    return storeText(row, column, cp936);
}

bool GridStore::setCell(int row, int column, const QString& text) {
    if (!m_state->inGrid(row, column))
        return false;
    QByteArray bytes;
    if (!textBytes(text, bytes))
        return false;
    return setCellBytes(row, column, bytes);
}

bool GridStore::setCell(int row, int column, CellKind kind, const QVariant& value) {
    State& s = *m_state;
    if (!s.inGrid(row, column))
        return false;
    const int code = s.codeOf(column);
    GridData& d = s.data;
    switch (kind) {
    case CellKind::Text: {
        const bool dataCell = d.isDataCell(row, column);
        if (dataCell && (code == CheckBoxColumn || code == ImageColumn))
            return false;
        QByteArray text;
        if (!valueBytes(value, text) || text.size() > gridfile::kMostTextBytes)
            return false;
        if (dataCell && (code == NumberColumn || code == MoneyColumn)) {
            const double number = textToNumber(text);
            if (number == 0.0 && !isZeroText(text))
                return false; // neither empty, nor "0", nor a number
            const ColumnKind* entry = s.kindEntry(column);
            const int decimals = std::clamp(entry ? entry->y : 0, 0, 9);
            if (number == 0.0)
                text = s.showZero ? formatReal(0.0, std::chars_format::fixed, decimals) : QByteArray();
            else
                text = formatReal(number, std::chars_format::fixed, decimals);
        }
        return storeText(row, column, text);
    }
    case CellKind::Check: {
        if (code != CheckBoxColumn || value.typeId() != QMetaType::Bool)
            return false;
        const qint32 check = value.toBool() ? 1 : 0;
        const HeldCell* held = d.find(row, column);
        if (held ? held->check == check : check == 0)
            return true;
        d.cells[d.obtain(row, column)].check = check;
        d.prune(row, column);
        break;
    }
    case CellKind::Picture: {
        if (code != ImageColumn)
            return false;
        QByteArray data;
        if (value.typeId() == QMetaType::QByteArray) {
            data = value.toByteArray();
        } else if (value.typeId() == QMetaType::QString) {
            // The path of a picture file.
            const QFileInfo info(value.toString());
            QFile file(info.filePath());
            if (!info.isFile() || info.size() > kLargestPictureFile || !file.open(QIODevice::ReadOnly))
                return false;
            data = file.readAll();
        } else {
            return false;
        }
        QByteArray bmp = picture::toBmp24(data);
        if (bmp.isEmpty() || bmp.size() > gridfile::kMostPictureBytes)
            return false;
        if (s.extrasAt(row, column).picture == bmp)
            return true; // the picture it shows already: a refresh of the register changes no row
        HeldCell& held = d.cells[d.obtain(row, column)];
        d.obtainExtras(held).picture = std::move(bmp);
        break;
    }
    default:
        return false;
    }
    d.tidy();
    cellChanged(row, column);
    return true;
}

QVariant GridStore::getCell(int row, int column) const {
    const State& s = *m_state;
    const int code = s.codeOf(column);
    if (!s.inGrid(row, column))
        return code == ImageColumn ? QVariant(QByteArray()) : QVariant(false);
    if (row >= s.data.fixedRows) {
        if (code == CheckBoxColumn)
            return isChecked(row, column);
        if (code == ImageColumn)
            return s.extrasAt(row, column).picture;
    }
    return bytesText(cellBytes(row, column));
}

QString GridStore::cellText(int row, int column) const {
    const State& s = *m_state;
    const int code = s.codeOf(column);
    if (!s.inGrid(row, column))
        return code == ImageColumn ? QString() : truthToText(false); // what getCell yields there
    if (row >= s.data.fixedRows) {
        if (code == CheckBoxColumn)
            return truthToText(isChecked(row, column));
        if (code == ImageColumn)
            return QString(); // a picture is no text
    }
    return bytesText(cellBytes(row, column));
}

double GridStore::cellNumber(int row, int column) const {
    const State& s = *m_state;
    if (!s.inGrid(row, column))
        return 0.0;
    const int code = s.codeOf(column);
    if (row >= s.data.fixedRows) {
        if (code == CheckBoxColumn)
            return truthToNumber(isChecked(row, column));
        if (code == ImageColumn)
            return 0.0;
    }
    return textToNumber(cellBytes(row, column));
}

QByteArrayView GridStore::cellBytes(int row, int column) const {
    const State& s = *m_state;
    if (!s.inGrid(row, column))
        return {};
    const HeldCell* held = s.data.find(row, column);
    return held ? s.data.text(*held) : QByteArrayView();
}

bool GridStore::isChecked(int row, int column) const {
    const State& s = *m_state;
    if (!s.inGrid(row, column))
        return false;
    const HeldCell* held = s.data.find(row, column);
    return held && held->check != 0;
}

const Cell* GridStore::cell(int row, int column) const {
    const State& s = *m_state;
    if (!s.inGrid(row, column))
        return nullptr;
    Cell& shown = s.shown[s.nextShown++ % kShownCells];
    fillCell(shown, s.data, s.data.find(row, column));
    return &shown;
}

Cell GridStore::cellAt(int row, int column) const {
    const State& s = *m_state;
    if (!s.inGrid(row, column))
        return Cell();
    Cell cell;
    fillCell(cell, s.data, s.data.find(row, column));
    cell.background = s.background(row, column, cell.background);
    for (const MergedRange& m : s.data.merges) {
        if (m.masterRow == row && m.masterColumn == column)
            cell.master = true;
        else if (row >= m.firstRow && row <= m.lastRow && column >= m.firstColumn && column <= m.lastColumn)
            cell.covered = true;
    }
    return cell;
}

bool GridStore::editCell(int row, int column, const std::function<void(Cell&)>& edit) {
    State& s = *m_state;
    if (!s.inGrid(row, column))
        return false;
    GridData& d = s.data;
    Cell cell;
    fillCell(cell, d, d.find(row, column));
    const bool wasSelected = cell.state & Cell::SelectedState;
    edit(cell);
    const size_t at = d.obtain(row, column);
    if (d.text(d.cells[at]) != QByteArrayView(cell.text) && !d.setText(d.cells[at], cell.text)) {
        d.prune(row, column);
        return false;
    }
    HeldCell& held = d.cells[at];
    held.check = cell.check;
    CellExtras& x = d.obtainExtras(held);
    takeExtras(x, cell);
    if ((x.state & Cell::SelectedState) && !wasSelected)
        d.selected.push_back(held.extras - 1);
    if (x.background != kDefaultColour && d.isDataCell(row, column))
        s.stripesClean = false;
    d.releaseDefaultExtras(held);
    d.prune(row, column);
    d.tidy();
    cellChanged(row, column);
    return true;
}

// ---- rows and columns -------------------------------------------------------------------------------------

bool GridStore::insertRow(const QString& heading, int position) {
    State& s = *m_state;
    GridData& d = s.data;
    QByteArray headingBytes;
    if (!textBytes(heading, headingBytes))
        return false;
    flushChanges();
    if (d.rows.empty() && d.fixedRows == 0 && d.fixedColumns == 0) {
        d.fixedRows = 1;
        d.fixedColumns = 1;
        s.stripesClean = false;
    }
    const int rows = d.rowCount();
    const int at = position < 0 || position < d.fixedRows || position >= rows ? rows : position;
    const bool noColumn = d.columnWidths.empty();
    if (noColumn)
        beginResetModel();
    else
        beginInsertRows(QModelIndex(), at, at);
    if (noColumn)
        d.columnWidths.push_back(std::max(d.columnWidth, s.minimumSize()));
    GridRow row;
    row.height = d.rows.empty() ? 24 : d.rows.front().height;
    d.rows.insert(d.rows.begin() + at, row); // 16 bytes a row move; no cell is visited
    if (!headingBytes.isEmpty() && !d.setText(d.cells[d.obtain(at, 0)], headingBytes))
        d.prune(at, 0);
    // The focus keeps its row and column numbers: it does not move with the rows.
    s.clearSelection();
    if (noColumn)
        endResetModel();
    else
        endInsertRows();
    if (s.data.alternate.enabled)
        applyAlternateColouring();
    return true;
}

bool GridStore::deleteRow(int row) {
    State& s = *m_state;
    GridData& d = s.data;
    if (row < 0 || row >= d.rowCount())
        return false;
    flushChanges();
    const int lastRow = d.rowCount() - 1;
    beginRemoveRows(QModelIndex(), row, row);
    d.dropCells(row);
    d.unusedCells += d.rows[static_cast<size_t>(row)].room;
    d.rows.erase(d.rows.begin() + row);
    if (row < d.fixedRows) {
        --d.fixedRows;
        s.stripesClean = false;
    }
    d.tidy();
    endRemoveRows();
    for (RangeRule& rule : d.rulesB) {
        if (rule.firstRow <= row && row <= rule.lastRow) {
            --rule.lastRow;
            --rule.resultRow;
        }
    }
    // The focus stays on its row number, so the row that took the deleted one's place has it; from
    // the last row it goes one up, and not into the fixed rows.
    if (s.focusRow >= 0) {
        const int focus = s.focusRow == lastRow ? s.focusRow - 1 : s.focusRow;
        if (focus < d.fixedRows)
            setFocusCell(-1, -1);
        else
            setFocusCell(focus, s.focusColumn);
    }
    if (d.alternate.enabled)
        applyAlternateColouring();
    return true;
}

int GridStore::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_state->data.rowCount();
}

int GridStore::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_state->data.columnCount();
}

namespace {

// Merged ranges lose what lies past the last row (column); a range that starts there goes.
void trimMerges(QList<MergedRange>& merges, int rows, int columns) {
    merges.removeIf([rows, columns](const MergedRange& m) {
        return m.firstRow >= rows || m.masterRow >= rows || m.firstColumn >= columns || m.masterColumn >= columns;
    });
    for (MergedRange& m : merges) {
        m.lastRow = std::min(m.lastRow, rows - 1);
        m.lastColumn = std::min(m.lastColumn, columns - 1);
    }
}

} // namespace

bool GridStore::setRowCount(int rows) {
    State& s = *m_state;
    GridData& d = s.data;
    if (rows <= 0)
        return false;
    flushChanges();
    beginResetModel();
    for (qint32 r = rows; r < d.rowCount(); ++r) {
        d.dropCells(r);
        d.unusedCells += d.rows[static_cast<size_t>(r)].room;
    }
    d.rows.resize(static_cast<size_t>(rows));
    if (d.fixedRows > rows) {
        d.fixedRows = rows;
        s.stripesClean = false;
    }
    trimMerges(d.merges, rows, d.columnCount());
    const qint32 height = std::max(d.rowHeight, s.minimumSize());
    for (GridRow& row : d.rows)
        row.height = height;
    d.tidy();
    endResetModel();
    if (s.focusRow >= rows)
        setFocusCell(-1, -1);
    Q_EMIT geometryChanged();
    if (d.alternate.enabled)
        applyAlternateColouring();
    return true;
}

bool GridStore::setColumnCount(int columns) {
    State& s = *m_state;
    GridData& d = s.data;
    if (columns <= 0)
        return false;
    flushChanges();
    beginResetModel();
    d.columnWidths.assign(static_cast<size_t>(columns), std::max(d.columnWidth, s.minimumSize()));
    for (qint32 r = 0; r < d.rowCount(); ++r)
        d.dropCells(r, columns);
    if (d.fixedColumns > columns) {
        d.fixedColumns = columns;
        s.stripesClean = false;
    }
    // A column that comes back later comes back as plain text.
    d.kinds.removeIf([columns](const ColumnKind& kind) { return kind.column >= columns; });
    s.reindexKinds();
    trimMerges(d.merges, d.rowCount(), columns);
    d.tidy();
    endResetModel();
    if (s.focusColumn >= columns)
        setFocusCell(-1, -1);
    Q_EMIT geometryChanged();
    if (d.alternate.enabled)
        applyAlternateColouring();
    return true;
}

int GridStore::fixedRowCount() const {
    return m_state->data.fixedRows;
}

int GridStore::fixedColumnCount() const {
    return m_state->data.fixedColumns;
}

void GridStore::setFixedRowCount(int rows) {
    if (rows < 0)
        return;
    m_state->stripesClean = m_state->stripesClean && rows == m_state->data.fixedRows;
    m_state->data.fixedRows = rows;
    m_state->initial.fixedRows = rows;
    allDataChanged();
}

void GridStore::setFixedColumnCount(int columns) {
    if (columns < 0)
        return;
    m_state->stripesClean = m_state->stripesClean && columns == m_state->data.fixedColumns;
    m_state->data.fixedColumns = columns;
    m_state->initial.fixedColumns = columns;
    allDataChanged();
}

int GridStore::rowHeight(int row) const {
    const GridData& d = m_state->data;
    return row >= 0 && row < d.rowCount() ? d.rows[static_cast<size_t>(row)].height : 0;
}

int GridStore::columnWidth(int column) const {
    const GridData& d = m_state->data;
    return column >= 0 && column < d.columnCount() ? d.columnWidths[static_cast<size_t>(column)] : 0;
}

void GridStore::setColumnWidth(int column, int width) {
    GridData& d = m_state->data;
    if (column < 0 || column >= d.columnCount() || width < 0)
        return;
    d.columnWidths[static_cast<size_t>(column)] = width;
    Q_EMIT geometryChanged();
}

int GridStore::everyRowHeight() const {
    return m_state->data.rowHeight;
}

int GridStore::everyColumnWidth() const {
    return m_state->data.columnWidth;
}

void GridStore::setEveryRowHeight(int height) {
    State& s = *m_state;
    s.data.rowHeight = height;
    s.initial.rowHeight = height;
    for (GridRow& row : s.data.rows)
        row.height = std::max(height, s.minimumSize());
    Q_EMIT geometryChanged();
}

void GridStore::setEveryColumnWidth(int width) {
    State& s = *m_state;
    s.data.columnWidth = width;
    s.initial.columnWidth = width;
    for (qint32& w : s.data.columnWidths)
        w = std::max(width, s.minimumSize());
    Q_EMIT geometryChanged();
}

bool GridStore::setColumnKind(int column, int kind) {
    State& s = *m_state;
    GridData& d = s.data;
    if (column < 0 || column >= d.columnCount() || kind < 1 || kind > 8)
        return false;
    ColumnKind entry;
    entry.column = column;
    entry.code = 100 + kind;
    switch (entry.code) {
    case NumberColumn:
        entry.y = 2;
        break;
    case DateColumn:
        entry.textB = QByteArrayLiteral("%Y-%m-%d");
        break;
    case ChoiceColumn:
    case SecondChoiceColumn:
        entry.items = s.choiceItems;
        break;
    case ImageColumn:
        entry.x = 201;
        break;
    case MoneyColumn:
        entry.textA = toCp936(QStringLiteral("￥"));
        entry.y = 2;
        break;
    default:
        break;
    }
    const auto first =
        std::find_if(d.kinds.begin(), d.kinds.end(), [column](const ColumnKind& k) { return k.column == column; });
    if (first == d.kinds.end()) {
        d.kinds.append(entry);
    } else {
        *first = entry;
        const qsizetype keep = first - d.kinds.begin();
        for (qsizetype k = d.kinds.size() - 1; k > keep; --k) {
            if (d.kinds[k].column == column)
                d.kinds.removeAt(k);
        }
    }
    s.reindexKinds();
    if (d.rowCount() > 0)
        Q_EMIT dataChanged(index(0, column), index(d.rowCount() - 1, column));
    return true;
}

int GridStore::columnKindCode(int column) const {
    return m_state->codeOf(column);
}

const QList<ColumnKind>& GridStore::columnKinds() const {
    return m_state->data.kinds;
}

void GridStore::setChoiceItems(const QList<QByteArray>& items) {
    m_state->choiceItems = items;
}

const QList<MergedRange>& GridStore::mergedRanges() const {
    return m_state->data.merges;
}

const QList<CalculationRule>& GridStore::calculationRules() const {
    return m_state->data.rulesA;
}

const QList<RangeRule>& GridStore::rangeRules() const {
    return m_state->data.rulesB;
}

// ---- focus, selection and keys ---------------------------------------------------------------------------

int GridStore::focusRow() const {
    return m_state->focusRow;
}

int GridStore::focusColumn() const {
    return m_state->focusColumn;
}

void GridStore::setFocusCell(int row, int column) {
    State& s = *m_state;
    if (!s.inGrid(row, column))
        row = column = -1;
    if (row == s.focusRow && column == s.focusColumn)
        return;
    s.focusRow = row;
    s.focusColumn = column;
    Q_EMIT focusChanged(row, column);
}

void GridStore::clearSelection() {
    if (m_state->clearSelection())
        allDataChanged();
}

int GridStore::enterKeySetting() const {
    return m_state->enterKey;
}

void GridStore::setEnterKeySetting(int setting) {
    if (setting >= 0 && setting <= 3)
        m_state->enterKey = setting;
}

bool GridStore::pressEnter() {
    const State& s = *m_state;
    const int rows = s.data.rowCount();
    const int columns = s.data.columnCount();
    const int r = s.focusRow;
    const int c = s.focusColumn;
    switch (s.enterKey) {
    case 1: // one cell right, from the last column to the first data column of the next row
        if (r < 0)
            return true;
        if (c + 1 < columns)
            setFocusCell(r, c + 1);
        else if (r + 1 < rows)
            setFocusCell(r + 1, std::min(s.data.fixedColumns, columns - 1));
        return true;
    case 2: // one cell down, from the last row to the first data row of the next column
        if (r < 0)
            return true;
        if (r + 1 < rows)
            setFocusCell(r + 1, c);
        else if (c + 1 < columns)
            setFocusCell(std::min(s.data.fixedRows, rows - 1), c + 1);
        return true;
    case 3:
        return false;
    default:
        return true;
    }
}

// ---- look -------------------------------------------------------------------------------------------------

qint32 GridStore::lookSetting(int number) const {
    return number >= 1 && number <= 8 ? m_state->data.look[static_cast<size_t>(number - 1)] : 0;
}

void GridStore::setLookSetting(int number, qint32 value) {
    if (number < 1 || number > 8)
        return;
    m_state->data.look[static_cast<size_t>(number - 1)] = value;
    m_state->initial.look[static_cast<size_t>(number - 1)] = value;
    if (number == 7)
        m_state->clearSelection();
    if (number == 5 || number == 7)
        allDataChanged(); // what may be edited or selected changed
}

quint32 GridStore::gridLineColour() const {
    return m_state->data.gridLineColour;
}

quint32 GridStore::defaultBackground() const {
    return m_state->data.background;
}

quint32 GridStore::defaultForeground() const {
    return m_state->data.foreground;
}

void GridStore::setGridLineColour(quint32 colour) {
    m_state->data.gridLineColour = colour;
    m_state->initial.gridLineColour = colour;
    allDataChanged();
}

void GridStore::setDefaultBackground(quint32 colour) {
    m_state->data.background = colour;
    m_state->initial.background = colour;
    allDataChanged();
}

void GridStore::setDefaultForeground(quint32 colour) {
    m_state->data.foreground = colour;
    m_state->initial.foreground = colour;
    allDataChanged();
}

int GridStore::gridLineWidth() const {
    return m_state->gridLineWidth;
}

void GridStore::setGridLineWidth(int width) {
    if (width < 0)
        return;
    m_state->gridLineWidth = width;
    m_state->initial.gridLineWidth = width;
}

bool GridStore::showZero() const {
    return m_state->showZero;
}

void GridStore::setShowZero(bool show) {
    m_state->showZero = show;
}

int GridStore::pageNumberPosition() const {
    return m_state->pageNumberPosition;
}

void GridStore::setPageNumberPosition(int position) {
    m_state->pageNumberPosition = position;
}

int GridStore::datePosition() const {
    return m_state->datePosition;
}

void GridStore::setDatePosition(int position) {
    m_state->datePosition = position;
}

const AlternateColouring& GridStore::alternateColouring() const {
    return m_state->data.alternate;
}

void GridStore::setAlternateColouring(const AlternateColouring& colouring) {
    m_state->data.alternate = colouring;
    if (colouring.enabled) {
        applyAlternateColouring();
    } else if (m_state->stripes) {
        m_state->stripes.reset(); // switched off: the cells show their own colours again
        allDataChanged();
    }
}

const PrintSettings& GridStore::printSettings() const {
    return m_state->data.print;
}

void GridStore::setPrintSettings(const PrintSettings& settings) {
    m_state->data.print = settings;
}

const LogFont& GridStore::font() const {
    return m_state->font;
}

void GridStore::resetGrid() {
    State& s = *m_state;
    GridData& d = s.data;
    flushChanges();
    beginResetModel();
    d.clearCells();
    d.kinds.clear();
    d.merges.clear();
    d.rulesA.clear();
    s.stripes.reset();
    s.stripesClean = false;
    s.reindexKinds();
    d.fixedRows = std::max(0, s.initial.fixedRows);
    d.fixedColumns = std::max(0, s.initial.fixedColumns);
    d.gridLineColour = s.initial.gridLineColour;
    d.background = s.initial.background;
    d.foreground = s.initial.foreground;
    d.rowHeight = s.initial.rowHeight;
    d.columnWidth = s.initial.columnWidth;
    d.look = s.initial.look;
    endResetModel();
    setFocusCell(-1, -1);
    Q_EMIT geometryChanged(); // the default sizes are the definition's again
}

void GridStore::applyAlternateColouring() {
    State& s = *m_state;
    GridData& d = s.data;
    const AlternateColouring& a = d.alternate;
    s.stripes = Stripes{a.byRows, a.oddColour, a.evenColour};
    // The line colour takes the place of every data cell's own background. Only cells with extras
    // have one, and none has had one since the last time unless stripesClean says otherwise: an
    // insert under the colouring visits no cell.
    if (!s.stripesClean && !d.extras.empty()) {
        for (qint32 r = d.fixedRows; r < d.rowCount(); ++r) {
            bool emptied = false;
            for (HeldCell& held : d.rowCells(r)) {
                if (held.column < d.fixedColumns || !held.extras)
                    continue;
                d.extras[held.extras - 1].background = kDefaultColour;
                d.releaseDefaultExtras(held);
                emptied = emptied || d.holdsNothing(held);
            }
            if (emptied)
                d.pruneRow(r);
        }
    }
    s.stripesClean = true;
    allDataChanged();
}

void GridStore::allDataChanged() {
    // What a batch gathered is inside the whole grid: it is told with it.
    m_state->pending = false;
    const GridData& d = m_state->data;
    if (d.rowCount() > 0 && d.columnCount() > 0)
        Q_EMIT dataChanged(index(0, 0), index(d.rowCount() - 1, d.columnCount() - 1));
}

// ---- files -------------------------------------------------------------------------------------------------

QByteArray GridStore::toBytes() {
    State& s = *m_state;
    // After a save no cell is focused or selected.
    clearSelection();
    setFocusCell(-1, -1);
    return gridfile::write(s.data, s.font, s.stripes);
}

bool GridStore::fileBytes(QByteArray& bytes) {
    // After a save no cell is focused or selected, whether the file could be written or not.
    clearSelection();
    setFocusCell(-1, -1);
    // A grid the store could not read back is not written: a save that seemed to work would leave
    // a file that the next start puts aside.
    QString beyond = gridfile::beyondBounds(m_state->data);
    if (beyond.isEmpty()) {
        bytes = toBytes();
        if (bytes.size() > gridfile::kLargestFile)
            beyond = gridfile::fileTooLarge();
    }
    m_state->error = beyond;
    return beyond.isEmpty();
}

bool GridStore::saveToDevice(QIODevice& device) {
    QByteArray bytes;
    if (!fileBytes(bytes))
        return false;
    if (device.write(bytes) != bytes.size()) {
        m_state->error = device.errorString();
        return false;
    }
    return true;
}

bool GridStore::saveToFile(const QString& path, const FileWriter& writer) {
    QByteArray bytes;
    if (!fileBytes(bytes))
        return false;
    QString why;
    if (!saveWholeFile(path, bytes, &why, writer)) {
        m_state->error = why;
        return false;
    }
    m_state->error.clear();
    return true;
}

void GridStore::forEachHeldCell(const std::function<void(int row, int column, const Cell& cell)>& visit) const {
    const GridData& d = m_state->data;
    Cell cell;
    for (qint32 r = 0; r < d.rowCount(); ++r) {
        for (const HeldCell& held : d.rowCells(r)) {
            if (d.holdsNothing(held))
                continue;
            fillCell(cell, d, &held);
            visit(r, held.column, cell);
        }
    }
}

bool GridStore::loadFromFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_state->error = QFileInfo::exists(path) ? QStringLiteral("无法读取文件") : QStringLiteral("找不到文件");
        return false;
    }
    if (file.size() > gridfile::kLargestFile) { // refused by the reader too, but here unread
        m_state->error = gridfile::fileTooLarge();
        return false;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        m_state->error = QStringLiteral("无法读取文件");
        return false;
    }
    return loadOwnBytes(std::move(bytes));
}

bool GridStore::loadFromBytes(const QByteArray& bytes) {
    // The cells keep their texts where they lie in the bytes: bytes that only lend their place
    // (QByteArray::fromRawData) are copied first.
    if (bytes.capacity() < bytes.size())
        return loadOwnBytes(QByteArray(bytes.constData(), bytes.size()));
    return loadOwnBytes(bytes);
}

bool GridStore::loadOwnBytes(QByteArray bytes) {
    State& s = *m_state;
    // Read into a grid of its own and take it only when the whole file was read: a refused or cut
    // file leaves this grid exactly as it was.
    GridData loaded;
    loaded.print = s.data.print; // a file before version 5 holds no print settings
    const gridfile::ReadResult result = gridfile::read(bytes, s.minimumSize(), loaded);
    if (!result.ok) {
        s.error = result.error;
        return false;
    }
    flushChanges();
    beginResetModel();
    s.data = std::move(loaded);
    s.stripes.reset(); // the colours the file holds are the cells' own
    s.stripesClean = false;
    s.reindexKinds();
    s.loadedVersion = result.version;
    s.error.clear();
    endResetModel();
    setFocusCell(-1, -1);
    Q_EMIT geometryChanged();
    return true;
}

QString GridStore::errorString() const {
    return m_state->error;
}

int GridStore::loadedVersion() const {
    return m_state->loadedVersion;
}

// ---- QAbstractTableModel -------------------------------------------------------------------------------------

QVariant GridStore::data(const QModelIndex& index, int role) const {
    const State& s = *m_state;
    if (!index.isValid() || !s.inGrid(index.row(), index.column()))
        return {};
    const int row = index.row();
    const int column = index.column();
    const HeldCell* held = s.data.find(row, column);
    const CellExtras& x = held && held->extras ? s.data.extras[held->extras - 1] : defaultExtras();
    const int code = s.codeOf(column);
    const bool dataCell = s.data.isDataCell(row, column);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        if (dataCell && (code == CheckBoxColumn || code == ImageColumn))
            return {};
        return bytesText(held ? s.data.text(*held) : QByteArrayView());
    case Qt::CheckStateRole:
        if (dataCell && code == CheckBoxColumn)
            return held && held->check != 0 ? Qt::Checked : Qt::Unchecked;
        return {};
    case PictureRole:
        return x.picture.isEmpty() ? QVariant() : QVariant(x.picture);
    case BackgroundRgbRole: {
        const quint32 colour = s.background(row, column, x.background);
        return colour <= 0xFFFFFF ? QVariant(colour) : QVariant();
    }
    case ForegroundRgbRole:
        return x.foreground <= 0xFFFFFF ? QVariant(x.foreground) : QVariant();
    case FormatRole:
        return x.format;
    default:
        return {};
    }
}

bool GridStore::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid())
        return false;
    if (role == Qt::EditRole)
        return setCell(index.row(), index.column(), CellKind::Text, value);
    if (role == Qt::CheckStateRole)
        return setCell(index.row(), index.column(), CellKind::Check, value.toInt() == Qt::Checked);
    return false;
}

Qt::ItemFlags GridStore::flags(const QModelIndex& index) const {
    const State& s = *m_state;
    if (!index.isValid() || !s.inGrid(index.row(), index.column()))
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled;
    if (s.data.look[6] != 0)
        flags |= Qt::ItemIsSelectable;
    const int code = s.codeOf(index.column());
    const CellExtras& x = s.extrasAt(index.row(), index.column());
    if (s.data.look[4] != 0 && !(x.state & Cell::ReadOnlyState) && code != CheckBoxColumn && code != ImageColumn)
        flags |= Qt::ItemIsEditable;
    if (code == CheckBoxColumn && s.data.isDataCell(index.row(), index.column()))
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

} // namespace cuemora
