#include "store/grid_data.h"
#include "store/picture.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace cuemora {

namespace {

constexpr char kMagic[4] = {'E', 'G', 'R', 'D'};
constexpr int kWrittenVersion = 6;
constexpr int kHeaderBytes = 12;
constexpr qint64 kShortestFile = 540;
constexpr int kKindRecordBytes = 40;
constexpr int kItemBytes = 100;
constexpr int kMergeBytes = 24;
constexpr int kFontOverrideBytes = 68;
constexpr int kValueOverrideBytes = 12;
constexpr int kRuleBytes = 16;
constexpr int kOldTextBytes = 256;
constexpr qint32 kDefaultFormat = 0x824;
constexpr qint32 kDefaultMargin = 9;

// The settings block grew with the versions: 124, 128, 132 and 136 bytes in versions 1 to 4, then
// 464 with the print settings.
int settingsBytes(int version) {
    switch (version) {
    case 1:
        return 124;
    case 2:
        return 128;
    case 3:
        return 132;
    case 4:
        return 136;
    default:
        return 464;
    }
}

// ---- bounds ---------------------------------------------------------------------------------------

// What stands beyond the bounds, in the same words for a file that is refused and a grid that
// cannot be saved.
QString tooManyRows(qint64 rows) {
    return QStringLiteral("行数太多：%1 行，最多 %2 行").arg(rows).arg(gridfile::kMostRows);
}

QString tooManyColumns(qint64 columns) {
    return QStringLiteral("列数太多：%1 列，最多 %2 列").arg(columns).arg(gridfile::kMostColumns);
}

QString textTooLong(qint64 bytes) {
    return QStringLiteral("单元格的文字太长：%1 字节，最多 %2 字节").arg(bytes).arg(gridfile::kMostTextBytes);
}

QString picturesTooLarge() {
    return QStringLiteral("图片太大：一个文件的图片最多 %1 MB").arg(gridfile::kMostPictureBytes >> 20);
}

// ---- writing --------------------------------------------------------------------------------------

// Appends to a buffer through a cursor: a grid file is written in many small pieces (12 of them
// per cell), and growing a QByteArray piece by piece costs more than the bytes themselves.
class Out {
public:
    explicit Out(qsizetype expected) { grow(std::max<qsizetype>(expected, 64)); }

    void i32(qint32 value) {
        reserve(4);
        qToLittleEndian(value, m_at);
        m_at += 4;
    }
    void u32(quint32 value) { i32(static_cast<qint32>(value)); }
    void raw(const char* data, qsizetype size) {
        reserve(size);
        std::memcpy(m_at, data, static_cast<size_t>(size));
        m_at += size;
    }
    // A text in a fixed field: cut to the field, the rest NUL.
    void fixed(const QByteArray& text, qsizetype width) {
        const qsizetype n = std::min(text.size(), width);
        reserve(width);
        std::memcpy(m_at, text.constData(), static_cast<size_t>(n));
        std::memset(m_at + n, 0, static_cast<size_t>(width - n));
        m_at += width;
    }
    // Room for n bytes, to be written at the pointer it gives.
    char* claim(qsizetype n) {
        reserve(n);
        char* at = m_at;
        m_at += n;
        return at;
    }
    void patch(qsizetype offset, qint32 value) { qToLittleEndian(value, m_bytes.data() + offset); }
    qsizetype size() const { return m_at - m_bytes.data(); }
    QByteArray take() {
        m_bytes.truncate(size());
        m_at = nullptr;
        return std::move(m_bytes);
    }

private:
    void reserve(qsizetype n) {
        if (m_end - m_at < n)
            grow(std::max(2 * m_bytes.size(), size() + n));
    }
    void grow(qsizetype capacity) {
        const qsizetype used = m_at ? size() : 0;
        m_bytes.resize(capacity);
        m_at = m_bytes.data() + used;
        m_end = m_bytes.data() + capacity;
    }

    QByteArray m_bytes;
    char* m_at = nullptr;
    char* m_end = nullptr;
};

// The override lists after the cell records, each filled in the same visit of the cells.
struct Overrides {
    Out fonts{0}, backgrounds{0}, foregrounds{0}, formats{0}, valuesE{0}, margins{0}, flagsG{0}, states{0};
    qint32 fontCount = 0, backgroundCount = 0, foregroundCount = 0, formatCount = 0, valueECount = 0, marginCount = 0,
           flagGCount = 0, stateCount = 0;
};

void addValue(Out& list, qint32& count, qint32 row, qint32 column, qint32 value) {
    list.i32(row);
    list.i32(column);
    list.i32(value);
    ++count;
}

} // namespace

namespace gridfile {

QByteArray write(const GridData& grid, const LogFont& gridFont, const std::optional<Stripes>& stripes) {
    // Every part's size is known but the override lists', which grow as they must.
    qint64 pictureBytes = 0;
    for (const CellExtras& extras : grid.extras)
        pictureBytes += extras.picture.size();
    const qint64 textBytes = static_cast<qint64>(grid.fileTextBytes + grid.arena.size() - grid.unusedArena);
    const qint64 cellRoom = static_cast<qint64>(grid.cells.size() - grid.unusedCells);
    qsizetype expected =
        kHeaderBytes + settingsBytes(kWrittenVersion) + 4 * qsizetype(grid.rows.size() + grid.columnWidths.size()) +
        qsizetype(grid.kinds.size()) * kKindRecordBytes + qsizetype(grid.merges.size()) * kMergeBytes + 21 * cellRoom +
        textBytes + pictureBytes + kRuleBytes * qsizetype(grid.rulesA.size() + grid.rulesB.size());
    for (const ColumnKind& kind : grid.kinds)
        expected += kind.items.size() * kItemBytes;
    Out out(expected);
    out.raw(kMagic, 4);
    out.i32(kWrittenVersion);
    out.i32(0); // two reserved 16-bit words

    const qsizetype settings = out.size();
    out.i32(grid.rowCount());
    out.i32(grid.columnCount());
    out.i32(grid.fixedRows);
    out.i32(grid.fixedColumns);
    out.i32(grid.rowHeight);
    out.i32(grid.columnWidth);
    out.u32(grid.gridLineColour);
    out.u32(grid.background);
    out.u32(grid.foreground);
    for (qint32 look : grid.look)
        out.i32(look);
    out.i32(grid.alternate.enabled ? 1 : 0);
    out.i32(grid.alternate.byRows ? 1 : 0);
    out.u32(grid.alternate.oddColour);
    out.u32(grid.alternate.evenColour);
    out.i32(static_cast<qint32>(grid.kinds.size()));
    out.i32(static_cast<qint32>(grid.merges.size()));
    const qsizetype counts = out.size(); // cell records and override lists, filled in below
    for (int k = 0; k < 9; ++k)
        out.i32(0);
    out.i32(static_cast<qint32>(grid.rulesA.size()));
    out.i32(static_cast<qint32>(grid.rulesB.size()));
    out.fixed(grid.print.titleText, 256);
    out.fixed(grid.print.titleFontFace, 32);
    out.i32(grid.print.titleFontHeight);
    out.i32(grid.print.titleBold);
    out.i32(grid.print.titleAlignment);
    for (qint32 value : grid.print.pageLayout)
        out.i32(value);
    Q_ASSERT(out.size() == settings + settingsBytes(kWrittenVersion));

    {
        char* at = out.claim(4 * qsizetype(grid.rows.size()));
        for (const GridRow& row : grid.rows) {
            qToLittleEndian(row.height, at);
            at += 4;
        }
    }
    {
        char* at = out.claim(4 * qsizetype(grid.columnWidths.size()));
        for (qint32 width : grid.columnWidths) {
            qToLittleEndian(width, at);
            at += 4;
        }
    }
    for (const ColumnKind& kind : grid.kinds) {
        out.i32(kind.column);
        out.i32(kind.code);
        out.fixed(kind.textA, 8);
        out.fixed(kind.textB, 12);
        out.i32(kind.x);
        out.i32(kind.y);
        out.i32(static_cast<qint32>(kind.items.size()));
        for (const QByteArray& item : kind.items)
            out.fixed(item, kItemBytes);
    }
    for (const MergedRange& m : grid.merges) {
        for (qint32 v : {m.masterRow, m.masterColumn, m.firstRow, m.firstColumn, m.lastRow, m.lastColumn})
            out.i32(v);
    }

    qint32 cellCount = 0;
    Overrides o;
    // Only the cells the grid holds: an empty cell has no record and no override, whatever the
    // line colour it shows.
    for (qint32 r = 0; r < grid.rowCount(); ++r) {
        for (const HeldCell& held : grid.rowCells(r)) {
            const CellExtras* extras = grid.extrasOf(held);
            const qsizetype pictureSize = extras ? extras->picture.size() : 0;
            const QByteArrayView text = grid.text(held);
            const qint32 c = held.column;
            if (!text.isEmpty() || held.check != 0 || pictureSize > 0) {
                char* at = out.claim(20 + text.size() + 1 + pictureSize);
                qToLittleEndian(r, at);
                qToLittleEndian(c, at + 4);
                qToLittleEndian(static_cast<qint32>(text.size() + 1), at + 8);
                at += 12;
                if (!text.isEmpty())
                    std::memcpy(at, text.data(), static_cast<size_t>(text.size()));
                at += text.size();
                *at++ = '\0';
                qToLittleEndian(held.check, at);
                qToLittleEndian(static_cast<qint32>(pictureSize), at + 4);
                if (pictureSize > 0)
                    std::memcpy(at + 8, extras->picture.constData(), static_cast<size_t>(pictureSize));
                ++cellCount;
            } else if (!extras || extras->isDefault()) {
                continue; // a cell left with nothing in it, whose selection was cleared
            }
            const quint32 own = extras ? extras->background : kDefaultColour;
            const quint32 background = stripes && grid.isDataCell(r, c) ? stripes->colourAt(r, c) : own;
            if (background <= 0xFFFFFF && background != grid.background)
                addValue(o.backgrounds, o.backgroundCount, r, c, static_cast<qint32>(background));
            if (!extras)
                continue;
            const CellExtras& x = *extras;
            if (x.font && !x.font->sameLook(gridFont)) {
                o.fonts.i32(r);
                o.fonts.i32(c);
                o.fonts.raw(x.font->bytes.data(), qsizetype(x.font->bytes.size()));
                ++o.fontCount;
            }
            if (x.foreground <= 0xFFFFFF && x.foreground != grid.foreground)
                addValue(o.foregrounds, o.foregroundCount, r, c, static_cast<qint32>(x.foreground));
            if (x.format != kDefaultFormat)
                addValue(o.formats, o.formatCount, r, c, x.format);
            if (x.valueE != 0)
                addValue(o.valuesE, o.valueECount, r, c, x.valueE);
            if (x.margin != kDefaultMargin)
                addValue(o.margins, o.marginCount, r, c, x.margin);
            if (x.flagG)
                addValue(o.flagsG, o.flagGCount, r, c, 1);
            if (x.state != 0)
                addValue(o.states, o.stateCount, r, c, x.state);
        }
    }
    for (Out* list :
         {&o.fonts, &o.backgrounds, &o.foregrounds, &o.formats, &o.valuesE, &o.margins, &o.flagsG, &o.states}) {
        const QByteArray bytes = list->take();
        out.raw(bytes.constData(), bytes.size());
    }
    for (const CalculationRule& rule : grid.rulesA) {
        for (qint32 v : rule.values)
            out.i32(v);
    }
    for (const RangeRule& rule : grid.rulesB) {
        for (qint32 v : {rule.column, rule.firstRow, rule.lastRow, rule.resultRow})
            out.i32(v);
    }
    qsizetype at = counts;
    for (qint32 count : {cellCount, o.fontCount, o.backgroundCount, o.foregroundCount, o.formatCount, o.valueECount,
                         o.marginCount, o.flagGCount, o.stateCount}) {
        out.patch(at, count);
        at += 4;
    }
    return out.take();
}

QString fileTooLarge() {
    return QStringLiteral("文件太大：最多 %1 MB").arg(kLargestFile >> 20);
}

QString beyondBounds(const GridData& grid) {
    if (grid.rowCount() > kMostRows)
        return tooManyRows(grid.rowCount());
    if (grid.columnCount() > kMostColumns)
        return tooManyColumns(grid.columnCount());
    for (qint32 r = 0; r < grid.rowCount(); ++r) {
        for (const HeldCell& held : grid.rowCells(r)) {
            if (held.textSize > kMostTextBytes)
                return textTooLong(held.textSize);
        }
    }
    qint64 pictures = 0;
    for (const CellExtras& extras : grid.extras)
        pictures += extras.picture.size();
    return pictures > kMostPictureBytes ? picturesTooLarge() : QString();
}

} // namespace gridfile

// ---- reading ----------------------------------------------------------------------------------------

namespace {

const QString& incomplete() {
    static const QString text = QStringLiteral("文件不完整");
    return text;
}

const QString& damaged() {
    static const QString text = QStringLiteral("文件已损坏");
    return text;
}

// Every read is checked against the end of the file; nothing is reserved before the bytes that
// the count stands for are known to be there.
class In {
public:
    explicit In(const QByteArray& bytes)
        : m_p(bytes.constData())
        , m_left(bytes.size()) {}
    qint64 left() const { return m_left; }
    const char* at() const { return m_p; }
    void skip(qint64 size) {
        m_p += size;
        m_left -= size;
    }
    bool i32(qint32& value) {
        if (m_left < 4)
            return false;
        value = qFromLittleEndian<qint32>(m_p);
        m_p += 4;
        m_left -= 4;
        return true;
    }
    bool u32(quint32& value) {
        qint32 v = 0;
        if (!i32(v))
            return false;
        value = static_cast<quint32>(v);
        return true;
    }
    const char* take(qint64 size) {
        if (size < 0 || size > m_left)
            return nullptr;
        const char* at = m_p;
        m_p += size;
        m_left -= size;
        return at;
    }
    // A text in a fixed field: up to its first NUL within the field.
    bool fixed(qint64 width, QByteArray& text) {
        const char* at = take(width);
        if (!at)
            return false;
        const void* nul = std::memchr(at, '\0', static_cast<size_t>(width));
        text = QByteArray(at, nul ? static_cast<const char*>(nul) - at : width);
        return true;
    }
    // True when `count` records of `size` bytes each can still be there.
    bool covers(qint64 count, qint64 size) const { return count >= 0 && count <= m_left / size; }

private:
    const char* m_p;
    qint64 m_left;
};

// Where the parts of a cell record lie in the file.
struct CellRecord {
    qint32 row, column, check;
    qint32 textSize, pictureSize;
    const char* text;
    const char* picture;

    bool empty() const { return textSize == 0 && check == 0 && pictureSize == 0; }
};

// Picture data of a record as the cell keeps it. A register's rows show four pictures between
// them: each one met again shares the bytes it was given the first time.
class Pictures {
public:
    QByteArray operator()(const char* data, qint32 size) {
        for (const Seen& seen : m_seen) {
            if (seen.source.size() == size && std::memcmp(seen.source.constData(), data, size_t(size)) == 0)
                return seen.picture;
        }
        Seen& seen = m_seen[m_next++ % m_seen.size()];
        seen.source = QByteArray(data, size);
        seen.picture = picture::toBmp24(seen.source); // the same bytes, shared, for a plain BMP
        return seen.picture;
    }

private:
    struct Seen {
        QByteArray source, picture;
    };
    std::array<Seen, 4> m_seen;
    size_t m_next = 0;
};

// Gives a cell the picture a record brings; data that is no picture brings none.
void givePicture(GridData& grid, HeldCell& cell, const CellRecord& rec, Pictures& pictures) {
    if (rec.pictureSize <= 0)
        return;
    QByteArray bmp = pictures(rec.picture, rec.pictureSize);
    if (!bmp.isEmpty())
        grid.obtainExtras(cell).picture = std::move(bmp);
}

// Appends a row's next cell, in column order, to the end of the pool.
void appendCell(GridData& grid, qint32 row, const HeldCell& cell) {
    GridRow& r = grid.rows[static_cast<size_t>(row)];
    if (r.count == 0)
        r.first = static_cast<quint32>(grid.cells.size());
    ++r.count;
    r.room = r.count;
    grid.cells.push_back(cell);
    grid.fileTextBytes += cell.textSize;
}

// Builds the cells from records in any order, after a stable sort, so that a later record of a
// cell still wins: it sets the picture (when it brings one), then the text, then the check state.
void buildCellsInAnyOrder(GridData& grid, const QByteArray& file, std::vector<CellRecord>& records,
                          Pictures& pictures) {
    std::stable_sort(records.begin(), records.end(), [](const CellRecord& a, const CellRecord& b) {
        return a.row != b.row ? a.row < b.row : a.column < b.column;
    });
    auto rec = records.begin();
    while (rec != records.end()) {
        HeldCell cell;
        cell.column = rec->column;
        const qint32 row = rec->row;
        bool made = false;
        for (; rec != records.end() && rec->row == row && rec->column == cell.column; ++rec) {
            if (!made && rec->empty())
                continue;
            made = true;
            givePicture(grid, cell, *rec, pictures);
            cell.textAt = rec->textSize > 0 ? static_cast<quint32>(rec->text - file.constData()) : 0;
            cell.textSize = static_cast<quint32>(rec->textSize);
            cell.check = rec->check;
        }
        if (!made)
            continue;
        if (grid.holdsNothing(cell))
            grid.releaseDefaultExtras(cell);
        else
            appendCell(grid, row, cell);
    }
}

// Records that change one part of some cells, applied to each row's cells in one merge: a file of
// any order costs n log n and never one shift of a row per record. `apply` sets the part in the
// cell's extras (and is told their index).
template <class Record, class Apply>
void applyRecords(GridData& grid, std::vector<Record>& records, Apply apply) {
    const auto before = [](const Record& a, const Record& b) {
        return a.row != b.row ? a.row < b.row : a.column < b.column;
    };
    if (!std::is_sorted(records.begin(), records.end(), before))
        std::stable_sort(records.begin(), records.end(), before); // a later record of a cell wins
    std::vector<HeldCell> merged;
    auto rec = records.begin();
    while (rec != records.end()) {
        const qint32 r = rec->row;
        const std::span<const HeldCell> run = grid.rowCells(r);
        merged.clear();
        merged.reserve(run.size() + 1);
        auto held = run.begin();
        for (; rec != records.end() && rec->row == r;) {
            while (held != run.end() && held->column < rec->column)
                merged.push_back(*held++);
            if (held != run.end() && held->column == rec->column) {
                merged.push_back(*held++);
            } else {
                HeldCell fresh;
                fresh.column = rec->column;
                merged.push_back(fresh);
            }
            HeldCell& cell = merged.back();
            for (const qint32 column = rec->column; rec != records.end() && rec->row == r && rec->column == column;
                 ++rec) {
                CellExtras& extras = grid.obtainExtras(cell);
                apply(extras, cell.extras - 1, *rec);
            }
            // A record may leave a cell's extras all default (a margin of 9).
            grid.releaseDefaultExtras(cell);
        }
        merged.insert(merged.end(), held, run.end());
        GridRow& row = grid.rows[static_cast<size_t>(r)];
        if (merged.size() > row.room) {
            if (size_t(row.first) + row.room != grid.cells.size()) {
                grid.unusedCells += row.room;
                row.first = static_cast<quint32>(grid.cells.size());
            }
            grid.cells.resize(size_t(row.first) + merged.size());
            row.room = static_cast<quint32>(merged.size());
        }
        std::copy(merged.begin(), merged.end(), grid.cells.begin() + row.first);
        row.count = static_cast<quint32>(merged.size());
        grid.pruneRow(r); // cells that a record left with nothing in them
    }
}

// Walks the cell records once, checking each as it goes: every read within the file, the bounds
// of a text and of the pictures. In order (row, then column, as the store writes them) each record
// becomes its cell at once; with `unordered`, the records are gathered to be sorted instead.
struct CellReader {
    enum Outcome { Read, OutOfOrder, Failed };

    GridData& grid;
    const QByteArray& file;
    qint32 version;
    Pictures& pictures;
    QString error;

    Outcome fail(const QString& why) {
        error = why;
        return Failed;
    }

    Outcome read(const char* p, const char* const end, qint32 count, std::vector<CellRecord>* unordered,
                 const char*& after) {
        const quint32 rows = static_cast<quint32>(grid.rowCount());
        const quint32 columns = static_cast<quint32>(grid.columnCount());
        const char* const base = file.constData();
        const qint64 head = version >= 6 ? 12 : 8;
        qint64 lastKey = -1;
        qint64 pictureBytes = 0;
        quint64 textBytes = 0;
        qint32 lastRow = -1;
        GridRow* row = nullptr;
        // The cells are written in place into room for all of them, then the room is cut to them.
        std::vector<HeldCell>& cells = grid.cells;
        const size_t first = cells.size();
        if (!unordered)
            cells.resize(first + static_cast<size_t>(count));
        HeldCell* out = cells.data() + first;
        const auto made = [&] { return static_cast<size_t>(out - cells.data()); };
        const auto keepMade = [&] { cells.resize(made()); };
        for (qint32 k = 0; k < count; ++k) {
            if (end - p < head)
                return fail(incomplete());
            CellRecord rec;
            rec.row = qFromLittleEndian<qint32>(p);
            rec.column = qFromLittleEndian<qint32>(p + 4);
            qint32 length = kOldTextBytes; // versions 1 to 5: a fixed field
            if (version >= 6) {
                length = qFromLittleEndian<qint32>(p + 8);
                if (length < 1)
                    return fail(damaged());
            }
            p += head;
            if (end - p < qint64(length) + 8)
                return fail(incomplete());
            rec.text = p;
            // The text ends at its NUL within its bytes.
            const void* nul = std::memchr(p, '\0', static_cast<size_t>(length));
            rec.textSize = nul ? static_cast<qint32>(static_cast<const char*>(nul) - p) : length;
            p += length;
            rec.check = qFromLittleEndian<qint32>(p);
            rec.pictureSize = qFromLittleEndian<qint32>(p + 4);
            p += 8;
            if (rec.pictureSize < 0)
                return fail(damaged());
            if (end - p < rec.pictureSize)
                return fail(incomplete());
            rec.picture = p;
            p += rec.pictureSize;
            // Records of cells outside the grid take their bytes and change nothing.
            if (static_cast<quint32>(rec.row) >= rows || static_cast<quint32>(rec.column) >= columns)
                continue;
            if (rec.textSize > gridfile::kMostTextBytes)
                return fail(textTooLong(rec.textSize));
            if (rec.pictureSize > 0) {
                // What the picture costs once it is decoded, from its headers: a small picture of
                // few colours can stand for a vast one.
                pictureBytes += picture::heldSize(QByteArray::fromRawData(rec.picture, rec.pictureSize));
                if (pictureBytes > gridfile::kMostPictureBytes)
                    return fail(picturesTooLarge());
            }
            if (unordered) {
                unordered->push_back(rec);
                continue;
            }
            const qint64 key = (qint64(rec.row) << 32) | quint32(rec.column);
            if (key <= lastKey)
                return OutOfOrder;
            lastKey = key;
            if (rec.empty())
                continue;
            HeldCell cell;
            cell.column = rec.column;
            cell.check = rec.check;
            if (rec.textSize > 0) {
                cell.textAt = static_cast<quint32>(rec.text - base);
                cell.textSize = static_cast<quint32>(rec.textSize);
            }
            if (rec.pictureSize > 0) {
                givePicture(grid, cell, rec, pictures);
                if (grid.holdsNothing(cell)) // only picture data that is no picture
                    continue;
            }
            if (rec.row != lastRow) {
                lastRow = rec.row;
                row = &grid.rows[static_cast<size_t>(rec.row)];
                row->first = static_cast<quint32>(made());
            }
            ++row->count;
            row->room = row->count;
            *out++ = cell;
            textBytes += cell.textSize;
        }
        if (!unordered)
            keepMade();
        grid.fileTextBytes = textBytes;
        after = p;
        return Read;
    }
};

struct FontRecord {
    qint32 row, column;
    LogFont font;
};

struct ValueRecord {
    qint32 row, column, value;
};

} // namespace

namespace gridfile {

ReadResult read(const QByteArray& bytes, qint32 minimumSize, GridData& grid) {
    ReadResult result;
    const auto fail = [&result](const QString& why) {
        result.error = why;
        return result;
    };
    if (bytes.size() < kShortestFile)
        return fail(QStringLiteral("文件太短"));
    if (bytes.size() > kLargestFile)
        return fail(fileTooLarge());
    In in(bytes);
    const char* magic = in.take(4);
    if (std::memcmp(magic, kMagic, 4) != 0)
        return fail(QStringLiteral("不是表格文件"));
    qint32 version = 0;
    in.i32(version);
    if (version < 1 || version > kWrittenVersion)
        return fail(QStringLiteral("不支持的版本 %1").arg(version));
    result.version = version;
    in.take(4); // reserved

    // The settings block: always there, since the file is at least 540 bytes long.
    qint32 rows = 0, columns = 0, height = 0, width = 0;
    qint32 kindCount = 0, mergeCount = 0, cellCount = 0;
    std::array<qint32, 8> overrideCounts{}; // font, background, text colour, format, E, margin, G, state
    qint32 ruleACount = 0, ruleBCount = 0;
    qint32 alternateOn = 0, alternateByRows = 0;
    in.i32(rows);
    in.i32(columns);
    in.i32(grid.fixedRows);
    in.i32(grid.fixedColumns);
    in.i32(height);
    in.i32(width);
    in.u32(grid.gridLineColour);
    in.u32(grid.background);
    in.u32(grid.foreground);
    for (qint32& look : grid.look)
        in.i32(look);
    in.i32(alternateOn);
    in.i32(alternateByRows);
    in.u32(grid.alternate.oddColour);
    in.u32(grid.alternate.evenColour);
    grid.alternate.enabled = alternateOn != 0;
    grid.alternate.byRows = alternateByRows != 0;
    in.i32(kindCount);
    in.i32(mergeCount);
    in.i32(cellCount);
    for (int k = 0; k < 7; ++k)
        in.i32(overrideCounts[static_cast<size_t>(k)]);
    if (version >= 2)
        in.i32(overrideCounts[7]);
    if (version >= 3)
        in.i32(ruleACount);
    if (version >= 4)
        in.i32(ruleBCount);
    if (version >= 5) {
        in.fixed(256, grid.print.titleText);
        in.fixed(32, grid.print.titleFontFace);
        in.i32(grid.print.titleFontHeight);
        in.i32(grid.print.titleBold);
        in.i32(grid.print.titleAlignment);
        for (qint32& value : grid.print.pageLayout)
            in.i32(value);
    }
    grid.rowHeight = height;
    grid.columnWidth = width;
    for (qint32 count :
         {rows, columns, grid.fixedRows, grid.fixedColumns, kindCount, mergeCount, cellCount, ruleACount, ruleBCount}) {
        if (count < 0)
            return fail(damaged());
    }
    for (qint32 count : overrideCounts) {
        if (count < 0)
            return fail(damaged());
    }

    // Rows and columns cost their 4 bytes each in the file before any of them is made.
    if (!in.covers(qint64(rows) + columns, 4))
        return fail(incomplete());
    if (rows > kMostRows)
        return fail(tooManyRows(rows));
    if (columns > kMostColumns)
        return fail(tooManyColumns(columns));
    // Room for one more: a checkout puts its row in at once, and a full vector would move every row.
    grid.rows.reserve(static_cast<size_t>(rows) + 1);
    grid.rows.assign(static_cast<size_t>(rows), GridRow());
    for (GridRow& row : grid.rows) {
        in.i32(row.height);
        row.height = std::max(row.height, minimumSize);
    }
    grid.columnWidths.assign(static_cast<size_t>(columns), 0);
    for (qint32& w : grid.columnWidths) {
        in.i32(w);
        w = std::max(w, minimumSize);
    }

    if (!in.covers(kindCount, kKindRecordBytes))
        return fail(incomplete());
    grid.kinds.reserve(kindCount);
    for (qint32 k = 0; k < kindCount; ++k) {
        ColumnKind kind;
        qint32 items = 0;
        if (!in.i32(kind.column) || !in.i32(kind.code) || !in.fixed(8, kind.textA) || !in.fixed(12, kind.textB) ||
            !in.i32(kind.x) || !in.i32(kind.y) || !in.i32(items))
            return fail(incomplete());
        if (items < 0)
            return fail(damaged());
        if (!in.covers(items, kItemBytes))
            return fail(incomplete());
        kind.items.reserve(items);
        for (qint32 i = 0; i < items; ++i) {
            QByteArray item;
            in.fixed(kItemBytes, item);
            kind.items.append(item);
        }
        grid.kinds.append(std::move(kind));
    }

    if (!in.covers(mergeCount, kMergeBytes))
        return fail(incomplete());
    grid.merges.reserve(mergeCount);
    for (qint32 k = 0; k < mergeCount; ++k) {
        MergedRange m;
        for (qint32* v : {&m.masterRow, &m.masterColumn, &m.firstRow, &m.firstColumn, &m.lastRow, &m.lastColumn})
            in.i32(*v);
        grid.merges.append(m);
    }

    // Cell records of cells outside the grid take their bytes and change nothing.
    const auto inside = [&grid](qint32 r, qint32 c) {
        return r >= 0 && c >= 0 && r < grid.rowCount() && c < grid.columnCount();
    };
    const qint64 shortestCell = version >= 6 ? 21 : 16 + kOldTextBytes;
    if (!in.covers(cellCount, shortestCell))
        return fail(incomplete());
    // The cells keep their texts where they lie in the file.
    grid.file = bytes;
    // Room for one more row of cells: a checkout puts its row in at once.
    grid.cells.reserve(static_cast<size_t>(cellCount) + 8);
    Pictures pictures;
    CellReader reader{grid, bytes, version, pictures, {}};
    const char* const cellsStart = in.at();
    const char* const fileEnd = cellsStart + in.left();
    // Files come in row and column order, as the store writes them, and their cells are made in
    // that one pass; a file in any other order is read again, into records that are sorted first.
    std::vector<CellRecord> unordered;
    const char* cellsEnd = nullptr;
    switch (reader.read(cellsStart, fileEnd, cellCount, nullptr, cellsEnd)) {
    case CellReader::Read:
        break;
    case CellReader::OutOfOrder:
        grid.cells.clear();
        grid.extras.clear();
        grid.freeExtras.clear();
        grid.fileTextBytes = 0;
        for (GridRow& row : grid.rows)
            row.first = row.count = row.room = 0;
        unordered.reserve(static_cast<size_t>(cellCount));
        if (reader.read(cellsStart, fileEnd, cellCount, &unordered, cellsEnd) != CellReader::Read)
            return fail(reader.error);
        break;
    default:
        return fail(reader.error);
    }
    in.skip(cellsEnd - cellsStart);
    if (!unordered.empty())
        buildCellsInAnyOrder(grid, bytes, unordered, pictures);
    unordered = {};

    if (!in.covers(overrideCounts[0], kFontOverrideBytes))
        return fail(incomplete());
    std::vector<FontRecord> fonts;
    fonts.reserve(static_cast<size_t>(overrideCounts[0]));
    for (qint32 k = 0; k < overrideCounts[0]; ++k) {
        FontRecord rec;
        in.i32(rec.row);
        in.i32(rec.column);
        std::memcpy(rec.font.bytes.data(), in.take(60), 60);
        if (inside(rec.row, rec.column))
            fonts.push_back(rec);
    }
    applyRecords(grid, fonts, [](CellExtras& x, quint32, const FontRecord& rec) { x.font = rec.font; });
    fonts = {};

    using Setter = void (*)(GridData&, CellExtras&, quint32, qint32);
    const Setter setters[8] = {
        nullptr,
        [](GridData&, CellExtras& x, quint32, qint32 v) { x.background = static_cast<quint32>(v); },
        [](GridData&, CellExtras& x, quint32, qint32 v) { x.foreground = static_cast<quint32>(v); },
        [](GridData&, CellExtras& x, quint32, qint32 v) { x.format = v; },
        [](GridData&, CellExtras& x, quint32, qint32 v) { x.valueE = v; },
        [](GridData&, CellExtras& x, quint32, qint32 v) { x.margin = v; },
        [](GridData&, CellExtras& x, quint32, qint32 v) { x.flagG = v != 0; },
        [](GridData& g, CellExtras& x, quint32 index, qint32 v) {
            x.state = v;
            if (v & Cell::SelectedState)
                g.selected.push_back(index);
        },
    };
    std::vector<ValueRecord> values;
    for (int list = 1; list < 8; ++list) {
        const qint32 count = overrideCounts[static_cast<size_t>(list)];
        if (!in.covers(count, kValueOverrideBytes))
            return fail(incomplete());
        values.clear();
        values.reserve(static_cast<size_t>(count));
        for (qint32 k = 0; k < count; ++k) {
            ValueRecord rec{};
            in.i32(rec.row);
            in.i32(rec.column);
            in.i32(rec.value);
            if (inside(rec.row, rec.column))
                values.push_back(rec);
        }
        const Setter set = setters[list];
        applyRecords(grid, values, [set, &grid](CellExtras& x, quint32 index, const ValueRecord& rec) {
            set(grid, x, index, rec.value);
        });
    }

    if (!in.covers(ruleACount, kRuleBytes))
        return fail(incomplete());
    grid.rulesA.reserve(ruleACount);
    for (qint32 k = 0; k < ruleACount; ++k) {
        CalculationRule rule;
        for (qint32& v : rule.values)
            in.i32(v);
        grid.rulesA.append(rule);
    }
    if (!in.covers(ruleBCount, kRuleBytes))
        return fail(incomplete());
    grid.rulesB.reserve(ruleBCount);
    for (qint32 k = 0; k < ruleBCount; ++k) {
        RangeRule rule;
        for (qint32* v : {&rule.column, &rule.firstRow, &rule.lastRow, &rule.resultRow})
            in.i32(*v);
        grid.rulesB.append(rule);
    }

    grid.tidy();
    result.ok = true;
    return result;
}

} // namespace gridfile

} // namespace cuemora
