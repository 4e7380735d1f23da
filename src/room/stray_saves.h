#pragma once

#include "common/data_directory.h"

#include <QStringList>

namespace cuemora {

// A save that was cut short (the program killed, the power gone) can leave its temporary file
// beside the data file it was to replace: the data file's name, a dot and six letters, the name
// QSaveFile gives it where the file system cannot make a nameless one. Such files hold nothing
// the data file lacks (it was only replaced once its temporary was whole), so at start they are
// removed: only beside the register, the goods, the account file and the day files of the
// takings, and only where that data file is there. Nothing else of the directory is touched.
// Returns the names removed.
QStringList removeStraySaves(const DataDirectory& data);

// True for the name of one of the room's data files.
bool isDataFileName(const QString& name);

} // namespace cuemora
