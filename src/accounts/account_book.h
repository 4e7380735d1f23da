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

// The one account that guards the setup page: the account file "账号密码" in the data directory,
// the login, and changing the account. The window holds no rule of its own; it passes the typed
// texts here and shows what comes back.
class AccountBook {
public:
    // Makes the account file with the default account (tulip / 947) when there is none. A file
    // that is there is never rewritten, whatever it holds.
    explicit AccountBook(const DataDirectory& directory);

    static QString fileName();
    static QString sectionName();
    const QString& filePath() const { return m_path; }

    // Empty, or why the default account file could not be made at start.
    const QString& creationError() const { return m_creationError; }

    // Reads the account file afresh and compares the typed texts with its account, exactly: case
    // and blanks count. When the file or its section has gone, the values last read still hold
    // (the empty account before any was read).
    bool login(const QString& name, const QString& password);

    // Stores the new account. The old one stays valid unless both values were written.
    AccountChange change(const QString& name, const QString& password) const;

    // The texts the window shows.
    static QString loginFailedMessage();     // "账号或密码错误"
    static QString loggedInCaption();        // "登陆成功", the login group's new caption
    static QString changedMessage();         // "修改成功"
    static QString unsupportedTextMessage(); // refused characters
    static QString notChangedPrefix();       // "账号没有修改：", before the reason

private:
    void readAccountFile();

    QString m_path;
    QString m_creationError;
    // The scrambled values as last read from the file, kept from one login to the next.
    QByteArray m_storedName;
    QByteArray m_storedPassword;
};

} // namespace cuemora
