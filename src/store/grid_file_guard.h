#pragma once

#include "common/data_directory.h"
#include "common/messages.h"
#include "store/grid_store.h"

#include <QString>

namespace cuemora {

// How reading one of the room's grid files went.
enum class GridFileLoad {
    Missing,    // no such file: the grid is as it was
    Loaded,     // the grid holds the file
    SetAside,   // the file could not be read and was moved aside; the grid is as it was
    Unreadable, // the file could not be read, nor moved: it must not be written over
};

// Reads a grid file of the data directory into the grid. A file that exists but cannot be read is
// never written over: it is moved aside under a new name beside it ("表格设置.无法读取1", then 2,
// ...) so that nothing of it is lost, and the operator is told once where it went.
GridFileLoad loadKeepingDamaged(GridStore& grid, const DataDirectory& data, const QString& fileName,
                                MessageService& messages);

} // namespace cuemora
