#include "accounts/account_book.h"
#include "accounts/scrambling.h"
#include "common/cp936.h"
#include "common/safe_save.h"
#include "support/failing_writer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace cuemora;
Q_DECLARE_METATYPE(cuemora::LoginResult)

namespace {

QByteArray gbk(const QString& text) {
    return toCp936(text);
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// The account file as the program writes it.
QByteArray accountFile(const QString& name, const QString& password) {
    return gbk(QStringLiteral("[账号密码]\r\n账号=%1\r\n密码=%2\r\n").arg(scrambleText(name), scrambleText(password)));
}

const QString kBall = QString::fromUtf8("\xF0\x9F\x8E\xB1"); // a character CP936 cannot hold

// An account book as the room makes it at start.
struct StartedBook {
    explicit StartedBook(const QString& directory, const FileWriter& writer = diskWriter())
        : book(DataDirectory(directory, writer)) {
        book.EnsureAccountFile();
    }
    AccountBook book;
    AccountBook* operator->() { return &book; }
};

bool in(AccountBook& book, const QString& name, const QString& password) {
    return book.login(name, password) == LoginResult::LoggedIn;
}

} // namespace

class TestAccountBook : public QObject {
    Q_OBJECT

private Q_SLOTS:

    void firstStart();
    void typedTexts_data();
    void typedTexts();
    void existingFiles_data();
    void existingFiles();
    void storedValuesOutliveTheFile();
    void change_data();
    void change();
    void failedChangeKeepsTheOldAccount_data();
    void failedChangeKeepsTheOldAccount();
    void changeRecreatesADeletedFile();
    void startWhereNoFileCanBeMade();
};

void TestAccountBook::firstStart() {
    QTemporaryDir dir;
    AccountBook book{DataDirectory(dir.path())};
    QVERIFY(!QFile::exists(book.filePath())); // nothing is made before the room opens
    book.EnsureAccountFile();
    QCOMPARE(book.creationError(), QString());
    QCOMPARE(book.filePath(), dir.filePath(QStringLiteral("账号密码")));
    QCOMPARE(fileBytes(book.filePath()),
             gbk(QStringLiteral("[账号密码]\r\n账号=65,FE,06,1E,C9,\r\n密码=28,BF,5D,\r\n")));
    QVERIFY(in(book, QStringLiteral("tulip"), QStringLiteral("947")));
}

// What the operator types against the default account: the comparison is exact.
void TestAccountBook::typedTexts_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("success");
    QTest::newRow("default account") << "tulip"
                                     << "947" << true;
    QTest::newRow("trailing blank in the name") << "tulip "
                                                << "947" << false;
    QTest::newRow("trailing blank in the password") << "tulip"
                                                    << "947 " << false;
    QTest::newRow("leading blank") << " tulip"
                                   << "947" << false;
    QTest::newRow("upper case") << "Tulip"
                                << "947" << false;
    QTest::newRow("full-width digits") << "tulip"
                                       << "９４７" << false;
    QTest::newRow("swapped") << "947"
                             << "tulip" << false;
    QTest::newRow("both empty") << ""
                                << "" << false;
}

void TestAccountBook::typedTexts() {
    QFETCH(QString, name);
    QFETCH(QString, password);
    QFETCH(bool, success);
    QTemporaryDir dir;
    StartedBook book(dir.path());
    QCOMPARE(book->login(name, password), success ? LoginResult::LoggedIn : LoginResult::Wrong);
    // A failed try changes nothing: the right account still gets in.
    QVERIFY(in(book.book, QStringLiteral("tulip"), QStringLiteral("947")));
}

// Files already there, some edited by hand or by other tools: they are read as they stand and
// never rewritten at start.
void TestAccountBook::existingFiles_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("password");
    QTest::addColumn<LoginResult>("result");
    const LoginResult in = LoginResult::LoggedIn;
    const LoginResult wrong = LoginResult::Wrong;
    const LoginResult unreadable = LoginResult::Unreadable;

    const QByteArray plain = gbk(QStringLiteral("[账号密码]\r\n账号=tulip\r\n密码=947\r\n"));
    QTest::newRow("values edited to plain text") << plain << "tulip"
                                                 << "947" << wrong;
    QTest::newRow("one digit edited") << gbk(QStringLiteral("[账号密码]\r\n账号=65,FE,06,1E,C8,\r\n密码=28,BF,5D,\r\n"))
                                      << "tulip"
                                      << "947" << wrong;
    QTest::newRow("lower case, no commas, blanks, LF")
        << gbk(QStringLiteral("[ 账号密码 ]\n账号 = 65fe061ec9\n密码= 28bf5d\n")) << "tulip"
        << "947" << in;
    QTest::newRow("saved as UTF-8") << QByteArray("\xEF\xBB\xBF") + fromCp936(accountFile("tulip", "947")).toUtf8()
                                    << "tulip"
                                    << "947" << in;
    QTest::newRow("empty account set by 修改") << accountFile("", "") << ""
                                               << "" << in;
    QTest::newRow("first of two sections") << accountFile("a", "1") + accountFile("b", "2") << "a"
                                           << "1" << in;
    QTest::newRow("second of two sections") << accountFile("a", "1") + accountFile("b", "2") << "b"
                                            << "2" << wrong;
    QTest::newRow("stored question mark") << accountFile("a?", "1") << "a?"
                                          << "1" << in;
    // The typed ball would become "?" in CP936: it must not pass for the stored "?".
    QTest::newRow("typed character CP936 cannot hold") << accountFile("a?", "1") << "a" + kBall << "1" << wrong;
    // A file that holds no account lets nobody in, empty boxes least of all.
    QTest::newRow("password key gone") << gbk(QStringLiteral("[账号密码]\r\n账号=65,FE,06,1E,C9,\r\n")) << "tulip"
                                       << "" << unreadable;
    QTest::newRow("no account section, empty boxes") << QByteArray("[other]\r\nx=1\r\n") << ""
                                                     << "" << unreadable;
    QTest::newRow("no account section, default") << QByteArray("[other]\r\nx=1\r\n") << "tulip"
                                                 << "947" << unreadable;
    QTest::newRow("binary junk") << QByteArray("\x81\0[\xFF=\n", 6) << ""
                                 << "" << unreadable;
    QTest::newRow("empty file") << QByteArray() << ""
                                << "" << unreadable;
    QTest::newRow("UTF-16") << QByteArray("\xFF\xFE[\0a\0]\0", 8) << ""
                            << "" << unreadable;
}

void TestAccountBook::existingFiles() {
    QFETCH(QByteArray, file);
    QFETCH(QString, name);
    QFETCH(QString, password);
    QFETCH(LoginResult, result);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("账号密码"));
    QVERIFY(saveWholeFile(path, file));
    StartedBook book(dir.path());
    QCOMPARE(book->login(name, password), result);
    QCOMPARE(fileBytes(path), file);
    if (result == LoginResult::Unreadable) {
        QVERIFY(book->unreadableMessage().contains(QDir::toNativeSeparators(path)));
        QVERIFY(book->unreadableMessage().contains(QStringLiteral("删除这个文件")));
        QCOMPARE(book->login(QStringLiteral("tulip"), QStringLiteral("947")), LoginResult::Unreadable);
    }
    // A later start leaves the file as it is too.
    StartedBook again(dir.path());
    QCOMPARE(fileBytes(path), file);
}

void TestAccountBook::storedValuesOutliveTheFile() {
    QTemporaryDir dir;
    StartedBook book(dir.path());
    QVERIFY(QFile::remove(book->filePath()));
    // Gone before any login: the account read at start still holds.
    QVERIFY(in(book.book, QStringLiteral("tulip"), QStringLiteral("947")));
    // Something that cannot be read in the file's place changes nothing either.
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("账号密码")));
    QVERIFY(in(book.book, QStringLiteral("tulip"), QStringLiteral("947")));
    QCOMPARE(book->login(QString(), QString()), LoginResult::Wrong);
}

void TestAccountBook::change_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<QString>("message");

    const QString done = AccountBook::changedMessage();
    const QString refused = AccountBook::unsupportedTextMessage();
    QTest::newRow("chinese name, password with blanks") << "前台"
                                                        << " p@ss 1 " << true << done;
    QTest::newRow("euro sign fits CP936") << "€"
                                          << "947" << true << done;
    QTest::newRow("empty account") << ""
                                   << "" << true << done;
    QTest::newRow("name CP936 cannot hold") << "tulip" + kBall << "1" << false << refused;
    QTest::newRow("password CP936 cannot hold") << "new"
                                                << "1" + kBall << false << refused;
}

void TestAccountBook::change() {
    QFETCH(QString, name);
    QFETCH(QString, password);
    QFETCH(bool, changed);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString tulip = QStringLiteral("tulip");
    const QString old = QStringLiteral("947");
    StartedBook book(dir.path());
    const QByteArray before = fileBytes(book->filePath());
    QVERIFY(in(book.book, tulip, old));

    const AccountChange result = book->change(name, password);
    QCOMPARE(result.changed, changed);
    QCOMPARE(result.message, message);
    QCOMPARE(fileBytes(book->filePath()), changed ? accountFile(name, password) : before);
    // And again after a restart, which leaves the file alone.
    StartedBook restarted(dir.path());
    for (AccountBook* b : {&book.book, &restarted.book}) {
        QCOMPARE(in(*b, tulip, old), !changed);
        if (changed)
            QVERIFY(in(*b, name, password));
    }
}

void TestAccountBook::failedChangeKeepsTheOldAccount_data() {
    QTest::addColumn<int>("failAfter");
    QTest::newRow("nothing written") << 0;
    QTest::newRow("account name written, password not") << 30;
}

void TestAccountBook::failedChangeKeepsTheOldAccount() {
    QFETCH(int, failAfter);
    QTemporaryDir dir;
    FailingWriter disk;
    StartedBook book(dir.path(), disk);
    const QByteArray before = fileBytes(book->filePath());
    disk.failAfter(failAfter);
    const AccountChange result = book->change(QStringLiteral("new"), QStringLiteral("123"));
    QVERIFY(!result.changed);
    QVERIFY2(result.message.startsWith(QStringLiteral("账号没有修改：")), qPrintable(result.message));
    QVERIFY(result.message.size() > AccountBook::notChangedPrefix().size()); // the reason follows
    QCOMPARE(fileBytes(book->filePath()), before);
    QVERIFY(in(book.book, QStringLiteral("tulip"), QStringLiteral("947")));
    QVERIFY(!in(book.book, QStringLiteral("new"), QStringLiteral("123")));
}

void TestAccountBook::changeRecreatesADeletedFile() {
    QTemporaryDir dir;
    StartedBook book(dir.path());
    QVERIFY(QFile::remove(book->filePath()));
    QVERIFY(book->change(QStringLiteral("new"), QStringLiteral("123")).changed);
    QCOMPARE(fileBytes(book->filePath()), accountFile("new", "123"));
    QVERIFY(in(book.book, QStringLiteral("new"), QStringLiteral("123")));
    // and the new account holds should the file go again
    QVERIFY(QFile::remove(book->filePath()));
    QVERIFY(in(book.book, QStringLiteral("new"), QStringLiteral("123")));
}

void TestAccountBook::startWhereNoFileCanBeMade() {
    QTemporaryDir dir;
    const QString notADirectory = dir.filePath(QStringLiteral("not-a-directory"));
    QVERIFY(saveWholeFile(notADirectory, QByteArray("x")));
    StartedBook book(notADirectory);
    QVERIFY(!book->creationError().isEmpty());
    // No file could be made: the account is the one it would have held, and nothing else.
    QVERIFY(in(book.book, QStringLiteral("tulip"), QStringLiteral("947")));
    QCOMPARE(book->login(QString(), QString()), LoginResult::Wrong);
    const AccountChange result = book->change(QStringLiteral("new"), QStringLiteral("123"));
    QVERIFY(!result.changed);
    QVERIFY(result.message.startsWith(AccountBook::notChangedPrefix()));
}

QTEST_APPLESS_MAIN(TestAccountBook)
#include "test_account_book.moc"
