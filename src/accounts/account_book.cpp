#include "accounts/account_book.h"

#include "accounts/profile_file.h"
#include "accounts/scrambling.h"
#include "common/cp936.h"

#include <QFileInfo>

#include <optional>

namespace cuemora {

namespace {

QString nameKey() {
    return QStringLiteral("账号");
}

QString passwordKey() {
    return QStringLiteral("密码");
}

QList<ProfileKey> accountKeys(const QString& name, const QString& password) {
    return {ProfileKey{nameKey(), scrambleText(name)}, ProfileKey{passwordKey(), scrambleText(password)}};
}

// The typed text as the bytes it is compared by; nothing when CP936 cannot hold it, since such a
// text can equal no stored account.
std::optional<QByteArray> typedBytes(const QString& text) {
    if (!fitsCp936(text))
        return std::nullopt;
    return toCp936(text);
}

} // namespace

AccountBook::AccountBook(const DataDirectory& directory)
    : m_path(directory.filePath(fileName())) {
    if (QFileInfo::exists(m_path))
        return;
    // Both keys go into one save, so the file is never there with the account name alone.
    const ProfileFile file(m_path);
    if (!file.writeKeys(sectionName(), accountKeys(QStringLiteral("tulip"), QStringLiteral("947")), &m_creationError))
        return;
    setFileHidden(m_path, &m_creationError);
}

QString AccountBook::fileName() {
    return QStringLiteral("账号密码");
}

QString AccountBook::sectionName() {
    return QStringLiteral("账号密码");
}

void AccountBook::readAccountFile() {
    ProfileText text;
    if (!ProfileFile(m_path).read(&text) || !text.hasSection(sectionName()))
        return;
    m_storedName = text.valueCp936(sectionName(), nameKey());
    m_storedPassword = text.valueCp936(sectionName(), passwordKey());
}

bool AccountBook::login(const QString& name, const QString& password) {
    readAccountFile();
    return typedBytes(name) == unscrambleBytes(m_storedName) &&
           typedBytes(password) == unscrambleBytes(m_storedPassword);
}

AccountChange AccountBook::change(const QString& name, const QString& password) const {
    // A character CP936 cannot hold would be stored as "?" and could never be typed back.
    if (!fitsCp936(name) || !fitsCp936(password))
        return {false, unsupportedTextMessage()};
    QString error;
    if (!ProfileFile(m_path).writeKeys(sectionName(), accountKeys(name, password), &error))
        return {false, notChangedPrefix() + error};
    return {true, changedMessage()};
}

QString AccountBook::loginFailedMessage() {
    return QStringLiteral("账号或密码错误");
}

QString AccountBook::loggedInCaption() {
    return QStringLiteral("登陆成功");
}

QString AccountBook::changedMessage() {
    return QStringLiteral("修改成功");
}

QString AccountBook::unsupportedTextMessage() {
    return QStringLiteral("账号和密码只能用中文、字母、数字和常用符号");
}

QString AccountBook::notChangedPrefix() {
    return QStringLiteral("账号没有修改：");
}

} // namespace cuemora
