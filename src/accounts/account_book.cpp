#include "accounts/account_book.h"

#include "accounts/profile_file.h"
#include "accounts/scrambling.h"
#include "common/cp936.h"

#include <QDir>
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

QString defaultName() {
    return QStringLiteral("tulip");
}

QString defaultPassword() {
    return QStringLiteral("947");
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
    : m_path(directory.filePath(fileName()))
    , m_writer(&directory.writer())
    // Until a file is read, the account is the one a first start writes.
    , m_storedName(toCp936(scrambleText(defaultName())))
    , m_storedPassword(toCp936(scrambleText(defaultPassword()))) {}

QString AccountBook::fileName() {
    return QStringLiteral("账号密码");
}

QString AccountBook::sectionName() {
    return QStringLiteral("账号密码");
}

void AccountBook::EnsureAccountFile() {
    if (!QFileInfo::exists(m_path)) {
        // Both keys go into one save, so the file is never there with the account name alone.
        const ProfileFile file(m_path, *m_writer);
        if (file.writeKeys(sectionName(), accountKeys(defaultName(), defaultPassword()), &m_creationError))
            setFileHidden(m_path, &m_creationError);
    }
    readAccountFile();
}

AccountBook::FileRead AccountBook::readAccountFile() {
    if (!QFileInfo(m_path).isFile())
        return FileRead::Absent;
    ProfileText text;
    if (!ProfileFile(m_path).read(&text))
        return FileRead::Absent; // unreadable for now (no permission): what was read last holds
    const std::optional<QByteArray> name =
        text.hasSection(sectionName()) ? text.rawValue(sectionName(), nameKey()) : std::nullopt;
    const std::optional<QByteArray> password =
        text.hasSection(sectionName()) ? text.rawValue(sectionName(), passwordKey()) : std::nullopt;
    if (!name || !password)
        return FileRead::NoAccount;
    m_storedName = text.valueCp936(sectionName(), nameKey());
    m_storedPassword = text.valueCp936(sectionName(), passwordKey());
    return FileRead::Read;
}

LoginResult AccountBook::login(const QString& name, const QString& password) {
    if (readAccountFile() == FileRead::NoAccount)
        return LoginResult::Unreadable;
    const bool same =
        typedBytes(name) == unscrambleBytes(m_storedName) && typedBytes(password) == unscrambleBytes(m_storedPassword);
    return same ? LoginResult::LoggedIn : LoginResult::Wrong;
}

AccountChange AccountBook::change(const QString& name, const QString& password) {
    // A character CP936 cannot hold would be stored as "?" and could never be typed back.
    if (!fitsCp936(name) || !fitsCp936(password))
        return {false, unsupportedTextMessage()};
    QString error;
    if (!ProfileFile(m_path, *m_writer).writeKeys(sectionName(), accountKeys(name, password), &error))
        return {false, notChangedPrefix() + error};
    m_storedName = toCp936(scrambleText(name));
    m_storedPassword = toCp936(scrambleText(password));
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

QString AccountBook::unreadableMessage() const {
    return QStringLiteral("账号文件里没有能读出的账号和密码，不能登陆：\n%1\n"
                          "要恢复默认的账号和密码，请删除这个文件，然后重新启动程序。")
        .arg(QDir::toNativeSeparators(m_path));
}

} // namespace cuemora
