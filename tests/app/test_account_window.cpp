#include "accounts/account_book.h"
#include "app/account_window.h"
#include "app/main_window.h"
#include "common/safe_save.h"
#include "shell_fixture.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>

using namespace cuemora;

namespace {

// Types the pair into the account window and presses "进入".
void logIn(AccountWindow* account, const QString& name, const QString& password) {
    AccountWindowControls(account).accountEdit->setText(name);
    AccountWindowControls(account).passwordEdit->setText(password);
    AccountWindowControls(account).enterButton->click();
}

bool loggedIn(MainWindow& window) {
    AccountWindow* account = window.accountWindow();
    return AccountWindowControls(account).loginGroup->title() == QStringLiteral("登陆成功") &&
           !MainWindowControls(&window).setupGroup->isHidden() &&
           !MainWindowControls(&window).statisticsGroup->isHidden() &&
           !AccountWindowControls(account).changeButton->isHidden() &&
           !AccountWindowControls(account).closeButton->isHidden();
}

QByteArray accountFile(const Shell& shell) {
    QFile file(shell.dir.filePath(AccountBook::fileName()));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestAccountWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() {
        QCOMPARE(visibleWindows(), QStringList());
    }

    // The setup page asks for the login, the open page sends the window away, and after the login
    // the setup page opens at once with both groups.
    void loginUnlocksTheSetupPage() {
        Shell shell;
        MainWindow& window = shell.start();
        QVERIFY(!accountFile(shell).isEmpty()); // made at the first start, with the default account
        AccountWindow* account = window.accountWindow();
        QCOMPARE(AccountWindowControls(account).passwordEdit->echoMode(), QLineEdit::Password);
        MainWindowControls(&window).tabWidget->setCurrentWidget(MainWindowControls(&window).setupPage);
        QVERIFY(account->isVisible());
        MainWindowControls(&window).tabWidget->setCurrentWidget(MainWindowControls(&window).openPage);
        QVERIFY(account->isHidden());
        MainWindowControls(&window).tabWidget->setCurrentWidget(MainWindowControls(&window).setupPage);

        logIn(account, QStringLiteral("tulip "), QStringLiteral("947")); // a trailing blank counts
        QCOMPARE(shell.messages.shownTexts(), QStringList{QStringLiteral("账号或密码错误")});
        QVERIFY(!loggedIn(window));
        QVERIFY(account->isVisible());

        logIn(account, QStringLiteral("tulip"), QStringLiteral("947"));
        QVERIFY(loggedIn(window));
        QCOMPARE(shell.messages.shown().size(), 1);
        QVERIFY(account->isVisible()); // it stays open, for a change of the account
        AccountWindowControls(account).closeButton->click();
        QVERIFY(account->isHidden());
        MainWindowControls(&window).tabWidget->setCurrentWidget(MainWindowControls(&window).openPage);
        MainWindowControls(&window).tabWidget->setCurrentWidget(MainWindowControls(&window).setupPage);
        QVERIFY(account->isHidden());
        QVERIFY(MainWindowControls(&window).setupGroup->isVisible() &&
                MainWindowControls(&window).statisticsGroup->isVisible());
        shell.window.reset();
    }

    // After "修改" the old pair fails and the new one succeeds, also after a restart.
    void changeTheAccount() {
        Shell shell;
        {
            MainWindow& window = shell.start();
            AccountWindow* account = window.accountWindow();
            account->show();
            logIn(account, QStringLiteral("tulip"), QStringLiteral("947"));
            AccountWindowControls(account).accountEdit->setText(QStringLiteral("前台"));
            AccountWindowControls(account).passwordEdit->setText(QStringLiteral("abc123"));
            AccountWindowControls(account).changeButton->click();
            QCOMPARE(shell.messages.lastText(), QStringLiteral("修改成功"));
            QVERIFY(account->isHidden());
            QVERIFY(!accountFile(shell).contains("\xc7\xb0")); // scrambled, not readable
            account->show();
            logIn(account, QStringLiteral("tulip"), QStringLiteral("947"));
            QCOMPARE(shell.messages.lastText(), QStringLiteral("账号或密码错误"));
            account->hide();
            shell.window.reset();
        }
        shell.messages.clear();
        MainWindow& window = shell.start(); // a restart on the same directory
        AccountWindow* account = window.accountWindow();
        account->show();
        logIn(account, QStringLiteral("tulip"), QStringLiteral("947"));
        QVERIFY(!loggedIn(window));
        logIn(account, QStringLiteral("前台"), QStringLiteral("abc123"));
        QVERIFY(loggedIn(window));
        account->hide();
        shell.window.reset();
    }

    // A change that cannot be written, or that holds a character the file cannot keep, says so;
    // the window stays open and the old account stays valid.
    void refusedChangesKeepTheOldAccount_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("diskFull");
        QTest::newRow("disk full") << QStringLiteral("前台") << true;
        QTest::newRow("character the file cannot hold") << QStringLiteral("前台😀") << false;
    }

    void refusedChangesKeepTheOldAccount() {
        QFETCH(QString, name);
        QFETCH(bool, diskFull);
        Shell shell;
        MainWindow& window = shell.start();
        const QByteArray before = accountFile(shell);
        AccountWindow* account = window.accountWindow();
        account->show();
        logIn(account, QStringLiteral("tulip"), QStringLiteral("947"));
        AccountWindowControls(account).accountEdit->setText(name);
        AccountWindowControls(account).passwordEdit->setText(QStringLiteral("1"));
        if (diskFull)
            shell.writer.failAfter(3);
        AccountWindowControls(account).changeButton->click();
        shell.writer.failAfter(-1);
        QVERIFY(shell.messages.lastText() != QStringLiteral("修改成功"));
        QVERIFY(account->isVisible());
        QCOMPARE(accountFile(shell), before);
        shell.messages.clear();
        logIn(account, QStringLiteral("tulip"), QStringLiteral("947"));
        QVERIFY(shell.messages.shown().isEmpty());
        account->hide();
        shell.window.reset();
    }

    // Values edited by hand unscramble to other texts: neither the default nor the typed text fits.
    void handEditedFileRefusesEveryone() {
        Shell shell;
        QFile file(shell.dir.filePath(AccountBook::fileName()));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[\xd5\xcb\xba\xc5\xc3\xdc\xc2\xeb]\r\n\xd5\xcb\xba\xc5=tulip\r\n\xc3\xdc\xc2\xeb=947\r\n");
        file.close();
        MainWindow& window = shell.start();
        AccountWindow* account = window.accountWindow();
        account->show();
        logIn(account, QStringLiteral("tulip"), QStringLiteral("947"));
        logIn(account, QString(), QString());
        QCOMPARE(shell.messages.shownTexts(),
                 (QStringList{QStringLiteral("账号或密码错误"), QStringLiteral("账号或密码错误")}));
        QVERIFY(!loggedIn(window));
        account->hide();
        shell.window.reset();
    }
};

CUEMORA_WINDOW_TEST_MAIN(TestAccountWindow)
#include "test_account_window.moc"
