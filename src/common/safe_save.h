#pragma once

#include <QByteArray>
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

bool saveWholeFile(const QString& path, const WholeFileWriter& write, QString* error = nullptr);
bool saveWholeFile(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// A device over another that passes on the first `limit` bytes and then refuses every write, like
// a disk that fills up in the middle of a save.
class FailingDevice : public QIODevice {
public:
    FailingDevice(QIODevice* target, qint64 limit);
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 size) override;

private:
    QIODevice* m_target;
    qint64 m_left;
};

namespace testing {
// Makes every later saveWholeFile fail once it has written `bytes` bytes, to prove that a failed
// save is reported and leaves the old file; a negative count ends the fault.
void setSaveFailureAfter(qint64 bytes);
// Makes every later saveWholeFile take all its bytes and then fail as it flushes them to the disk,
// the way a full disk shows itself on a filesystem that finds room for the bytes only then; false
// ends the fault.
void setSaveFailureAtFlush(bool fail);
} // namespace testing

} // namespace cuemora
