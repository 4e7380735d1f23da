#pragma once

#include "accounts/profile_text.h"
#include "common/safe_save.h"

#include <QString>
#include <QStringList>

namespace cuemora {

// A profile (INI) file on disk, read and written whole at each call as the Windows profile
// routines do, so that no state is held between calls and a file changed by hand meanwhile is
// taken as it now stands. New files are CP936 with CRLF line breaks.
class ProfileFile {
public:
    // Saves reach the disk through `writer`, which must outlive the ProfileFile.
    explicit ProfileFile(QString path, const FileWriter& writer = diskWriter());

    const QString& path() const { return m_path; }

    // The file's text. A missing file reads as an empty one; false, and why, only when a file is
    // there but cannot be read.
    bool read(ProfileText* text, QString* error = nullptr) const;

    // The section names in file order; none when the file is missing or unreadable.
    QStringList sectionNames() const;
    // The key's value; the empty text when the key, the section or the file is absent.
    QString readKey(const QString& section, const QString& key) const;

    // Sets the keys in one whole-file save: the file and the section are created when missing,
    // every line but the keys' own stays as it was, and a failed save leaves the old file byte
    // for byte. A file that was hidden stays hidden. False, and why, when nothing was written.
    bool writeKeys(const QString& section, const QList<ProfileKey>& keys, QString* error = nullptr) const;
    bool writeKey(const QString& section, const QString& key, const QString& value, QString* error = nullptr) const;

private:
    QString m_path;
    const FileWriter* m_writer;
};

// Gives the file the hidden attribute and no other where the file system has one (Windows); a
// no-op that succeeds elsewhere, where being hidden is a matter of the name.
bool setFileHidden(const QString& path, QString* error = nullptr);

} // namespace cuemora
