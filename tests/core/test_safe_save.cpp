#include "common/safe_save.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace cuemora;

class TestSafeSave : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { testing::setSaveFailureAfter(-1); }

    void replacesWhole() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("表格设置"));
        QVERIFY(saveWholeFile(path, QByteArray("old")));
        QVERIFY(saveWholeFile(path, QByteArray("new contents")));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("new contents"));
    }

    // A disk that fills up half way, a writer that gives up, and a place where no file can be made
    // all leave the old file exactly as it was and say why.
    void failuresKeepTheOldFile_data() {
        QTest::addColumn<int>("failAfter");
        QTest::addColumn<bool>("writerGivesUp");
        QTest::newRow("full after 0 bytes") << 0 << false;
        QTest::newRow("full half way") << 5 << false;
        QTest::newRow("writer gives up") << -1 << true;
    }

    void failuresKeepTheOldFile() {
        QFETCH(int, failAfter);
        QFETCH(bool, writerGivesUp);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("商品库存"));
        QVERIFY(saveWholeFile(path, QByteArray("the old stock")));
        testing::setSaveFailureAfter(failAfter);
        QString error;
        const bool saved = saveWholeFile(
            path, [&](QIODevice& out) { return out.write(QByteArray("a new stock list")) == 16 && !writerGivesUp; },
            &error);
        QVERIFY(!saved);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("the old stock"));
        QCOMPARE(dir.path(), QFileInfo(path).absolutePath());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1); // no temporary left
    }

    void placeThatCannotBeWritten() {
        QTemporaryDir dir;
        const QString blocker = dir.filePath(QStringLiteral("not-a-directory"));
        QVERIFY(saveWholeFile(blocker, QByteArray("x")));
        QString error;
        QVERIFY(!saveWholeFile(blocker + QStringLiteral("/账号密码"), QByteArray("y"), &error));
        QVERIFY(!error.isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestSafeSave)
#include "test_safe_save.moc"
