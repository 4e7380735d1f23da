#include "accounts/profile_file.h"

#include "common/safe_save.h"

#include <QFile>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace cuemora {

namespace {

bool isFileHidden(const QString& path) {
#ifdef Q_OS_WIN
    const DWORD attributes = GetFileAttributesW(reinterpret_cast<const wchar_t*>(path.utf16()));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN);
#else
    Q_UNUSED(path);
    return false;
#endif
}

} // namespace

bool setFileHidden(const QString& path, QString* error) {
#ifdef Q_OS_WIN
    if (SetFileAttributesW(reinterpret_cast<const wchar_t*>(path.utf16()), FILE_ATTRIBUTE_HIDDEN))
        return true;
    if (error)
        *error = QStringLiteral("无法把文件设为隐藏（错误 %1）").arg(GetLastError());
    return false;
#else
    Q_UNUSED(path);
    Q_UNUSED(error);
    return true;
#endif
}

ProfileFile::ProfileFile(QString path, const FileWriter& writer)
    : m_path(std::move(path))
    , m_writer(&writer) {}

bool ProfileFile::read(ProfileText* text, QString* error) const {
    QFile file(m_path);
    if (!file.exists()) {
        *text = ProfileText();
        return true;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return false;
    }
    *text = ProfileText(std::move(bytes));
    return true;
}

QStringList ProfileFile::sectionNames() const {
    ProfileText text;
    return read(&text) ? text.sectionNames() : QStringList();
}

QString ProfileFile::readKey(const QString& section, const QString& key) const {
    ProfileText text;
    return read(&text) ? text.value(section, key) : QString();
}

bool ProfileFile::writeKeys(const QString& section, const QList<ProfileKey>& keys, QString* error) const {
    // A file that is there but cannot be read is not replaced: its other lines would be lost.
    ProfileText text;
    if (!read(&text, error))
        return false;
    if (!text.setValues(section, keys, error))
        return false;
    // The new file takes the old one's place and with it would lose the hidden attribute.
    const bool hidden = isFileHidden(m_path);
    if (!saveWholeFile(m_path, text.bytes(), error, *m_writer))
        return false;
    if (hidden)
        setFileHidden(m_path);
    return true;
}

bool ProfileFile::writeKey(const QString& section, const QString& key, const QString& value, QString* error) const {
    return writeKeys(section, {ProfileKey{key, value}}, error);
}

} // namespace cuemora
