// The checkout's road over a day file from disk: the file read, a takings row put in under the
// header, the file written again. No file may make that road crash, hang or run away with memory,
// and what the store writes at its end must read back to the same bytes: the next checkout reads
// it.
#include "store/grid_store.h"

#include <QBuffer>
#include <QByteArray>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    cuemora::GridStore grid(cuemora::GridStore::Definition::list(3, 100));
    if (!grid.loadFromBytes(bytes))
        return 0;
    grid.insertRow(QString(), 1);
    grid.setCell(1, 0, QStringLiteral("3号台收费"));
    grid.setCell(1, 1, QStringLiteral("1.5"));
    grid.setCell(1, 2, QStringLiteral("30"));
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    if (!grid.saveToDevice(out)) {
        // Only a grid that the new row (and the line colour of its cells) took past a bound of the
        // format is not written.
        const QString why = grid.errorString();
        if (!why.startsWith(QStringLiteral("行数太多")) && !why.startsWith(QStringLiteral("文件太大")))
            std::abort();
        return 0;
    }
    const QByteArray saved = out.data();
    // The format refuses files under 540 bytes, which the store writes for nearly empty grids.
    if (saved.size() < 540)
        return 0;
    cuemora::GridStore again;
    if (!again.loadFromBytes(saved) || again.toBytes() != saved)
        std::abort();
    return 0;
}
