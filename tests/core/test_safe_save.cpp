#include "accounts/account_book.h"
#include "takings/takings_book.h"
#include "common/clock.h"
#include "common/data_directory.h"
#include "common/messages.h"
#include "common/safe_save.h"
#include "goods/goods_stock.h"
#include "small_filesystem.h"
#include "store/grid_store.h"
#include "tables/table_register.h"
#include "tables/table_setup.h"
#include "room/room.h"
#include "support/failing_writer.h"
#include "support/manual_clock.h"
#include "support/scripted_messages.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace cuemora;

namespace {

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList filesIn(const QString& directory) {
    return QDir(directory).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

// The real room on a data directory, opened and logged in as an operator starts the day.
struct Desk {
    explicit Desk(const QString& directory)
        : data(directory) {
        room.open();
        room.Login(QStringLiteral("tulip"), QStringLiteral("947"));
        messages.clear();
    }
    DataDirectory data;
    ManualClock clock;
    ScriptedMessages messages;
    Room room{data, clock, messages};
};

// One save of a file through the routine a window calls: true when it reported the save done. Each
// call saves something new. `why` gets the reason the routine gave, or the message it showed.
using Save = std::function<bool(Desk& desk, QString& why)>;

// The saves of every file the program writes.
Save registerSave() {
    return [](Desk& desk, QString& why) {
        desk.messages.clear();
        const AddTablesInput input{QStringLiteral("3"), billiardType(), QStringLiteral("大厅"), QStringLiteral("20"),
                                   QStringLiteral("10")};
        desk.room.AddTables(input);
        why = desk.messages.lastText();
        return desk.messages.shown().isEmpty();
    };
}

Save goodsSave() {
    auto added = std::make_shared<int>(0);
    return [added](Desk& desk, QString& why) {
        desk.messages.clear();
        desk.room.goods().AddGoods(QStringLiteral("可乐%1").arg(++*added), QStringLiteral("10"), QStringLiteral("3"),
                                   QStringLiteral("A%1").arg(*added), desk.messages);
        const bool saved = desk.room.SaveGoods();
        why = desk.messages.lastText();
        return saved;
    };
}

Save takingsSave() {
    return [](Desk& desk, QString& why) {
        desk.messages.clear();
        const bool saved = desk.room.takings().AddTakingsRows(
            {{QStringLiteral("3号台收费"), QStringLiteral("1.5"), QStringLiteral("30")}}, desk.messages);
        why = desk.messages.lastText();
        return saved;
    };
}

// The room's start made the account file with the default account; these are "修改".
Save accountSave() {
    auto changes = std::make_shared<int>(0);
    return [changes](Desk& desk, QString& why) {
        const AccountChange change =
            desk.room.ChangeAccount(QStringLiteral("店长%1").arg(++*changes), QStringLiteral("1234"));
        why = change.message;
        return change.changed;
    };
}

Save gridSave() {
    auto grid = std::make_shared<GridStore>(GridStore::Definition::list(3, 100));
    return [grid](Desk& desk, QString& why) {
        grid->insertRow(QStringLiteral("红茶"), 1);
        const bool saved = grid->saveToFile(desk.data.filePath(QStringLiteral("表格")));
        why = grid->errorString();
        return saved;
    };
}

} // namespace

Q_DECLARE_METATYPE(Save)

class TestSafeSave : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void replacesWhole() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("表格设置"));
        QVERIFY(saveWholeFile(path, QByteArray("old")));
        QVERIFY(saveWholeFile(path, QByteArray("new contents")));
        QCOMPARE(fileBytes(path), QByteArray("new contents"));
        QVERIFY(saveWholeFile(path, QByteArray()));
        QCOMPARE(fileBytes(path), QByteArray());
        QCOMPARE(filesIn(dir.path()), QStringList{QStringLiteral("表格设置")});
    }

    // A disk that fills up half way or at the flush, a writer that gives up, and a place where no
    // file can be made all leave the old file exactly as it was, leave no temporary, and say why.
    void failuresKeepTheOldFile_data() {
        QTest::addColumn<int>("failAfter");
        QTest::addColumn<bool>("failAtFlush");
        QTest::addColumn<bool>("writerGivesUp");
        QTest::addColumn<QString>("reason");
        const QString full = QStringLiteral("磁盘空间不够：设备已满");
        QTest::newRow("full after 0 bytes") << 0 << false << false << full;
        QTest::newRow("full half way") << 5 << false << false << full;
        QTest::newRow("full when flushed")
            << -1 << true << false << QStringLiteral("磁盘空间不够：") + qt_error_string(ENOSPC);
        QTest::newRow("writer gives up") << -1 << false << true << QStringLiteral("文件内容没有写完");
    }

    void failuresKeepTheOldFile() {
        QFETCH(int, failAfter);
        QFETCH(bool, failAtFlush);
        QFETCH(bool, writerGivesUp);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("商品库存"));
        QVERIFY(saveWholeFile(path, QByteArray("the old stock")));
        FailingWriter disk;
        disk.failAfter(failAfter);
        disk.failAtSync(failAtFlush);
        QString error;
        const bool saved = saveWholeFile(
            path, [&](QIODevice& out) { return out.write(QByteArray("a new stock list")) == 16 && !writerGivesUp; },
            &error, disk);
        QVERIFY(!saved);
        QCOMPARE(error, reason);
        QCOMPARE(fileBytes(path), QByteArray("the old stock"));
        QCOMPARE(filesIn(dir.path()), QStringList{QStringLiteral("商品库存")}); // no temporary left
    }

    void placeThatCannotBeWritten() {
        QTemporaryDir dir;
        const QString blocker = dir.filePath(QStringLiteral("not-a-directory"));
        QVERIFY(saveWholeFile(blocker, QByteArray("x")));
        QString error;
        QVERIFY(!saveWholeFile(blocker + QStringLiteral("/账号密码"), QByteArray("y"), &error));
        QVERIFY2(error.startsWith(QStringLiteral("无法建立文件：")), qPrintable(error));
    }

    // The repro of a full disk with the real filesystem: every file the program writes, saved
    // through the routine its window calls, once while there is room and once when there is none.
    // The second save says it failed and why, names the file, and the first file stays byte for
    // byte with no temporary beside it.
    void fullDiskKeepsEveryFile_data() {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<Save>("save");
        QTest::addColumn<QString>("prefix"); // what the routine says before the reason
        QTest::newRow("register, 添加") << TableRegister::fileName() << registerSave()
                                        << QStringLiteral("台的状态没有保存到文件“表格设置”：");
        QTest::newRow("goods, 保存数据") << GoodsStock::fileName() << goodsSave()
                                         << QStringLiteral("商品没有保存到文件“商品库存”：");
        QTest::newRow("takings, a checkout")
            << TakingsBook::fileNameFor(QStringLiteral("2013年5月20日")) << takingsSave()
            << QStringLiteral("收入没有保存到文件“2013年5月20日收入统计”（");
        QTest::newRow("account, 修改") << AccountBook::fileName() << accountSave() << AccountBook::notChangedPrefix();
        QTest::newRow("any grid") << QStringLiteral("表格") << gridSave() << QString();
    }

    void fullDiskKeepsEveryFile() {
        QFETCH(QString, fileName);
        QFETCH(Save, save);
        QFETCH(QString, prefix);
        SmallFilesystem disk;
        if (!disk.mounted())
            QSKIP(qPrintable(disk.whyNot()));
        Desk desk(disk.path());
        QString why;
        QVERIFY2(save(desk, why), qPrintable(why));
        const QString path = desk.data.filePath(fileName);
        const QByteArray before = fileBytes(path);
        QVERIFY(!before.isEmpty());
        const QStringList files = filesIn(disk.path());

        QVERIFY(disk.fill());
        QVERIFY(!save(desk, why));
        const QString reason = QStringLiteral("磁盘空间不够：") + qt_error_string(ENOSPC);
        QVERIFY2(why.startsWith(prefix + reason), qPrintable(why));
        QCOMPARE(fileBytes(path), before);
        QStringList expected = files + QStringList{QStringLiteral("filler")};
        expected.sort();
        QCOMPARE(filesIn(disk.path()), expected); // no temporary left beside it
    }

    // A disk with room for part of the new file only: the save is refused before a byte is
    // written, and the old file stays.
    void roomForPartOfTheFile() {
        SmallFilesystem disk;
        if (!disk.mounted())
            QSKIP(qPrintable(disk.whyNot()));
        const QString path = disk.filePath(QStringLiteral("2013年5月20日收入统计"));
        QVERIFY(saveWholeFile(path, QByteArray(3000, 'o')));
        QVERIFY(disk.fill());
        QFile filler(disk.filePath(QStringLiteral("filler")));
        QVERIFY(filler.resize(filler.size() - 8192)); // two pages free again
        QString error;
        QVERIFY(!saveWholeFile(path, QByteArray(20000, 'n'), &error));
        QCOMPARE(error, QStringLiteral("磁盘空间不够：") + qt_error_string(ENOSPC));
        QCOMPARE(fileBytes(path), QByteArray(3000, 'o'));
        QVERIFY(saveWholeFile(path, QByteArray(4000, 'n'), &error)); // what fits is saved
        QCOMPARE(fileBytes(path), QByteArray(4000, 'n'));
    }
};

QTEST_APPLESS_MAIN(TestSafeSave)
#include "test_safe_save.moc"
