#pragma once

#include "common/safe_save.h"

#include <QString>

namespace cuemora {

// The directory that holds every data file of the room: the one chooseDataDirectory() picks when
// the program runs for real, a temporary one in tests. It also carries the writer through which
// every file of the room is saved: the real disk, or in a test a disk that fails on purpose; the
// writer must outlive every copy of the directory.
class DataDirectory {
public:
    explicit DataDirectory(const QString& directory, const FileWriter& writer = diskWriter());

    // The directory followed by "/".
    const QString& prefix() const { return m_prefix; }
    // The prefix followed by the file name.
    QString filePath(const QString& fileName) const { return m_prefix + fileName; }
    const FileWriter& writer() const { return *m_writer; }

private:
    QString m_prefix;
    const FileWriter* m_writer;
};

// Where the room's files live, as an absolute path:
// - the directory named on the command line (`named`, made when missing), when there is one;
// - else the program's own directory, while files can be made there: a build, or a copy of the
//   program carried in a folder of its own, keeps its room beside itself;
// - else the user's data location (QStandardPaths::AppDataLocation, made when missing): an
//   installed program's directory belongs to the system.
// The system's own program folders (/usr/bin and the like) never hold a room, even for root,
// who could write there: the room's files would lie among other programs and outlive the package.
// A directory that cannot be made is still returned; the start-up check reports it.
QString chooseDataDirectory(const QString& named, const QString& programDirectory);

// True when files can be made in the directory; otherwise false, with the system's reason.
bool canMakeFilesIn(const QString& directory, QString* reason = nullptr);

} // namespace cuemora
