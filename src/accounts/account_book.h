#pragma once

#include "common/data_directory.h"

#include <QByteArray>
#include <QString>

namespace cuemora {

// What the account window does after "修改": show the message, and hide itself when the
// account was changed.
struct AccountChange {
    bool changed = false;
    QString message;
};

// How a try at the login went.
enum class LoginResult {
    LoggedIn,
    Wrong,      // the typed account or password is not the stored one
    Unreadable, // the account file holds no account that can be read: nobody gets in
};

// The one account that guards the setup page: the account file "账号密码" in the data directory,
// the login, and changing the account. The window holds no rule of its own; it passes the typed
// texts here and shows what comes back.
class AccountBook {
public:
    explicit AccountBook(const DataDirectory& directory);

    static QString fileName();
    static QString sectionName();
    const QString& filePath() const { return m_path; }

    // At start: makes the account file with the default account (tulip / 947) when there is none,
    // and reads the account it holds. A file that is there is never rewritten, whatever it holds.
    void EnsureAccountFile();
    // Empty, or why the default account file could not be made at start.
    const QString& creationError() const { return m_creationError; }

    // Reads the account file afresh and compares the typed texts with its account, exactly: case
    // and blanks count. When the file has gone (or something that cannot be read stands in its
    // place), the account last read still holds; with no file ever made, the default one. A file
    // that is there but holds no section "账号密码" with both keys lets nobody in: an empty or
    // damaged file must not open the setup page to empty boxes.
    LoginResult login(const QString& name, const QString& password);

    // Stores the new account. The old one stays valid unless both values were written. An empty
    // account name or password is an account like any other.
    AccountChange change(const QString& name, const QString& password);

    // The texts the window shows.
    static QString loginFailedMessage();     // "账号或密码错误"
    static QString loggedInCaption();        // "登陆成功", the login group's new caption
    static QString changedMessage();         // "修改成功"
    static QString unsupportedTextMessage(); // refused characters
    static QString notChangedPrefix();       // "账号没有修改：", before the reason
    // Why nobody can log in, and how to get the default account back.
    QString unreadableMessage() const;

private:
    enum class FileRead { Read, Absent, NoAccount };
    FileRead readAccountFile();

    QString m_path;
    const FileWriter* m_writer;
    QString m_creationError;
    // The scrambled values as last read from the file, kept from one login to the next.
    QByteArray m_storedName;
    QByteArray m_storedPassword;
};

} // namespace cuemora
