#pragma once

#include <QString>

namespace cuemora {

// The directory that holds every data file of the room: the program's own directory when it runs
// for real, a temporary one in tests.
class DataDirectory {
public:
    explicit DataDirectory(const QString& directory);

    // The directory followed by "/".
    const QString& prefix() const { return m_prefix; }
    // The prefix followed by the file name.
    QString filePath(const QString& fileName) const { return m_prefix + fileName; }

private:
    QString m_prefix;
};

} // namespace cuemora
