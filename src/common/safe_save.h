#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QIODevice>
#include <QString>

#include <functional>

namespace cuemora {

// Every data file of the room is written whole through a temporary file that takes the place of
// the old one only when every byte has landed on the disk. A save that cannot be made, or that
// fails half way, leaves the previous file exactly as it was; the day's takings are never half
// written, and a save is never reported done for a file that a power cut could still take back.
//
// The file's size is reserved first where the filesystem can do that, so that a full disk refuses
// the save before anything is written; the bytes then go to the disk unbuffered and every write is
// checked; the file is flushed to the disk, takes the old one's place, and the directory that
// holds the new name is flushed too. On failure `error` gets the reason: what failed, in the
// program's Chinese, then the system's own words ("磁盘空间不够：No space left on device"), to
// stand after a sentence that names the file.
using WholeFileWriter = std::function<bool(QIODevice& out)>;

// How the bytes of a save reach the disk: the two steps in which a disk shows that it is full or
// failing. The program always saves through diskWriter(); the data directory hands it to every
// save of the room's files (DataDirectory::writer()), so that a test can hand in a disk that fills
// up and see the program tell it and keep the old file.
class FileWriter {
public:
    virtual ~FileWriter() = default;
    // Puts every byte into the open temporary file, or says why not.
    virtual bool write(QFileDevice& file, const QByteArray& bytes, QString& why) const;
    // Flushes what was written to the disk itself, or says why not.
    virtual bool sync(QFileDevice& file, QString& why) const;
};

// The real disk.
const FileWriter& diskWriter();

// The reason of a save refused for want of space, followed by the system's words.
QString diskFullReason(const QString& system);

bool saveWholeFile(const QString& path, const WholeFileWriter& write, QString* error = nullptr,
                   const FileWriter& writer = diskWriter());
bool saveWholeFile(const QString& path, const QByteArray& bytes, QString* error = nullptr,
                   const FileWriter& writer = diskWriter());

} // namespace cuemora
