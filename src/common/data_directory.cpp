#include "common/data_directory.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace cuemora {

namespace {

bool isSystemProgramFolder(const QString& directory) {
    // Resolved, so that /bin (a link to /usr/bin on Debian) and the like count too.
    const QString canonical = QFileInfo(directory).canonicalFilePath();
    for (const char* folder : {"/usr/bin", "/usr/sbin", "/usr/games", "/usr/local/bin", "/usr/local/sbin",
                               "/usr/local/games", "/bin", "/sbin"}) {
        const QString system = QString::fromLatin1(folder);
        if (directory == system || (!canonical.isEmpty() && canonical == QFileInfo(system).canonicalFilePath()))
            return true;
    }
    return false;
}

QString madeIfMissing(const QString& directory) {
    const QString absolute = QDir::cleanPath(QDir::current().absoluteFilePath(directory));
    QDir().mkpath(absolute); // a failure shows at the start-up check, with its reason
    return absolute;
}

} // namespace

DataDirectory::DataDirectory(const QString& directory, const FileWriter& writer)
    : m_prefix(directory.endsWith(QLatin1Char('/')) ? directory : directory + QLatin1Char('/'))
    , m_writer(&writer) {}

QString chooseDataDirectory(const QString& named, const QString& programDirectory) {
    if (!named.isEmpty())
        return madeIfMissing(named);
    if (!isSystemProgramFolder(programDirectory) && canMakeFilesIn(programDirectory))
        return QDir::cleanPath(QDir::current().absoluteFilePath(programDirectory));
    return madeIfMissing(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

bool canMakeFilesIn(const QString& directory, QString* reason) {
    // A file really made, not the permission bits: root may write where the bits say no, and a
    // read-only disk refuses what the bits allow.
    QTemporaryFile probe(DataDirectory(directory).filePath(QStringLiteral(".cuemora-write-XXXXXX")));
    if (!probe.open() || probe.write("0", 1) != 1 || !probe.flush()) {
        if (reason)
            *reason = probe.errorString();
        return false;
    }
    return true;
}

} // namespace cuemora
