#include "store/grid_data.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <limits>

namespace cuemora {

bool CellExtras::isDefault() const {
    return picture.isEmpty() && !font && background == kDefaultColour && foreground == kDefaultColour &&
           format == 0x824 && margin == 9 && state == 0 && valueE == 0 && imageIndex == -1 && !flagG;
}

namespace {

const auto columnLess = [](const HeldCell& held, qint32 column) { return held.column < column; };

// Offsets into the text store are 32 bits wide.
constexpr quint64 kMostTextStore = std::numeric_limits<quint32>::max();

// A pool or an arena is packed once this much of it, and half of it, is unused: small grids are
// never packed, and a large one at most once for every half of it that its changes left behind.
constexpr quint64 kPackCellsFrom = 1024;
constexpr quint64 kPackTextsFrom = 64 * 1024;

} // namespace

const HeldCell* GridData::find(qint32 row, qint32 column) const {
    const std::span<const HeldCell> run = rowCells(row);
    const auto it = std::lower_bound(run.begin(), run.end(), column, columnLess);
    return it != run.end() && it->column == column ? &*it : nullptr;
}

HeldCell* GridData::find(qint32 row, qint32 column) {
    const std::span<HeldCell> run = rowCells(row);
    const auto it = std::lower_bound(run.begin(), run.end(), column, columnLess);
    return it != run.end() && it->column == column ? &*it : nullptr;
}

size_t GridData::obtain(qint32 row, qint32 column) {
    GridRow& r = rows[static_cast<size_t>(row)];
    const std::span<HeldCell> run = rowCells(row);
    const auto it = std::lower_bound(run.begin(), run.end(), column, columnLess);
    const size_t at = static_cast<size_t>(it - run.begin());
    if (it != run.end() && it->column == column)
        return r.first + at;
    if (r.count == r.room) {
        const quint32 room = std::max<quint32>(4, 2 * r.count);
        if (size_t(r.first) + r.room == cells.size()) {
            cells.resize(size_t(r.first) + room); // the run ends the pool: it grows where it is
        } else {
            const size_t to = cells.size();
            cells.resize(to + room);
            std::copy_n(cells.begin() + r.first, r.count, cells.begin() + static_cast<qsizetype>(to));
            unusedCells += r.room;
            r.first = static_cast<quint32>(to);
        }
        r.room = room;
    }
    HeldCell* held = cells.data() + r.first;
    std::copy_backward(held + at, held + r.count, held + r.count + 1);
    held[at] = HeldCell{};
    held[at].column = column;
    ++r.count;
    return r.first + at;
}

void GridData::forgetCell(const HeldCell& cell) {
    if (cell.textSize > 0) {
        if (cell.textAt < static_cast<quint64>(file.size()))
            fileTextBytes -= cell.textSize;
        else
            unusedArena += cell.textSize;
    }
    if (cell.extras) {
        extras[cell.extras - 1] = CellExtras();
        freeExtras.push_back(cell.extras - 1);
    }
}

void GridData::prune(qint32 row, qint32 column) {
    HeldCell* held = find(row, column);
    if (!held || !holdsNothing(*held))
        return;
    forgetCell(*held);
    GridRow& r = rows[static_cast<size_t>(row)];
    HeldCell* end = cells.data() + r.first + r.count;
    std::copy(held + 1, end, held);
    --r.count;
}

void GridData::pruneRow(qint32 row) {
    const std::span<HeldCell> run = rowCells(row);
    const auto kept = std::remove_if(run.begin(), run.end(), [this](const HeldCell& held) {
        if (!holdsNothing(held))
            return false;
        forgetCell(held);
        return true;
    });
    rows[static_cast<size_t>(row)].count = static_cast<quint32>(kept - run.begin());
}

void GridData::dropCells(qint32 row, qint32 column) {
    const std::span<HeldCell> run = rowCells(row);
    const auto from = std::lower_bound(run.begin(), run.end(), column, columnLess);
    for (auto it = from; it != run.end(); ++it)
        forgetCell(*it);
    rows[static_cast<size_t>(row)].count = static_cast<quint32>(from - run.begin());
}

bool GridData::setText(HeldCell& cell, QByteArrayView text) {
    const quint64 fileSize = static_cast<quint64>(file.size());
    const bool inArena = cell.textSize > 0 && cell.textAt >= fileSize;
    const quint32 size = static_cast<quint32>(text.size());
    if (inArena && static_cast<quint64>(text.size()) <= cell.textSize) {
        // The clock's seconds keep their length for hours at a time: they are written where the
        // old ones were.
        if (size > 0)
            std::memmove(arena.data() + (cell.textAt - fileSize), text.data(), size);
        else
            cell.textAt = 0;
        unusedArena += cell.textSize - size;
        cell.textSize = size;
        return true;
    }
    if (!text.isEmpty() && fileSize + arena.size() + static_cast<quint64>(text.size()) > kMostTextStore)
        return false;
    if (cell.textSize > 0) {
        if (inArena)
            unusedArena += cell.textSize;
        else
            fileTextBytes -= cell.textSize;
    }
    cell.textSize = 0;
    cell.textAt = 0;
    if (text.isEmpty())
        return true;
    // The text may be one of this grid's own, in the arena that is about to grow and move.
    const std::less<const char*> before;
    QByteArray copy;
    if (!arena.empty() && !before(text.data(), arena.data()) && before(text.data(), arena.data() + arena.capacity())) {
        copy = text.toByteArray();
        text = copy;
    }
    const size_t at = arena.size();
    arena.insert(arena.end(), text.begin(), text.end());
    cell.textAt = static_cast<quint32>(fileSize + at);
    cell.textSize = size;
    return true;
}

CellExtras& GridData::obtainExtras(HeldCell& cell) {
    if (!cell.extras) {
        if (!freeExtras.empty()) {
            cell.extras = freeExtras.back() + 1;
            freeExtras.pop_back();
        } else {
            extras.emplace_back();
            cell.extras = static_cast<quint32>(extras.size());
        }
    }
    return extras[cell.extras - 1];
}

void GridData::releaseDefaultExtras(HeldCell& cell) {
    if (cell.extras && extras[cell.extras - 1].isDefault()) {
        freeExtras.push_back(cell.extras - 1);
        cell.extras = 0;
    }
}

void GridData::clearCells() {
    for (GridRow& row : rows)
        row.first = row.count = row.room = 0;
    cells = {};
    unusedCells = 0;
    file = QByteArray();
    fileTextBytes = 0;
    arena = {};
    unusedArena = 0;
    extras = {};
    freeExtras = {};
    selected = {};
}

void GridData::tidy() {
    if (unusedCells >= kPackCellsFrom && unusedCells > cells.size() / 2)
        packCells();
    // A file that is mostly not texts (the pictures of a register, texts that cells no longer
    // have) is not kept for the few texts left in it.
    const bool fileMostlyUnused = !file.isEmpty() && fileTextBytes < static_cast<quint64>(file.size()) / 8;
    if (fileMostlyUnused || (unusedArena >= kPackTextsFrom && unusedArena > arena.size() / 2))
        packTexts();
}

void GridData::packCells() {
    size_t used = 0;
    for (const GridRow& row : rows)
        used += row.count;
    std::vector<HeldCell> packed;
    packed.reserve(used);
    for (GridRow& row : rows) {
        const auto from = cells.begin() + row.first;
        row.first = static_cast<quint32>(packed.size());
        row.room = row.count;
        packed.insert(packed.end(), from, from + row.count);
    }
    cells = std::move(packed);
    unusedCells = 0;
}

void GridData::packTexts() {
    const quint64 arenaTexts = arena.size() - unusedArena;
    std::vector<char> packed;
    packed.reserve(fileTextBytes + arenaTexts);
    for (const GridRow& row : rows) {
        for (HeldCell& held : std::span<HeldCell>(cells.data() + row.first, row.count)) {
            if (held.textSize == 0) {
                held.textAt = 0;
                continue;
            }
            const QByteArrayView bytes = text(held);
            held.textAt = static_cast<quint32>(packed.size());
            packed.insert(packed.end(), bytes.begin(), bytes.end());
        }
    }
    arena = std::move(packed);
    unusedArena = 0;
    file = QByteArray();
    fileTextBytes = 0;
}

} // namespace cuemora
