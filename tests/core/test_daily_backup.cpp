#include "accounts/account_book.h"
#include "goods/goods_stock.h"
#include "room/daily_backup.h"
#include "room/room.h"
#include "support/failing_writer.h"
#include "support/manual_clock.h"
#include "support/register_file.h"
#include "support/scripted_messages.h"
#include "tables/table_register.h"
#include "takings/takings_book.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace cuemora;

namespace {

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A data directory whose program is started, ended and started again, on the days the clock says.
struct Desk {
    QTemporaryDir dir;
    FailingWriter writer;
    DataDirectory data{dir.path(), writer};
    ScriptedMessages messages;
    ManualClock clock;
    std::unique_ptr<Room> room;

    void start() {
        room.reset();
        room = std::make_unique<Room>(data, clock, messages);
        QVERIFY(room->open());
    }
    QString backup(const QString& day, const QString& name) const {
        return data.filePath(DailyBackup::folderName() + QLatin1Char('/') + day + QLatin1Char('/') + name);
    }
    QStringList backupFolders() const {
        return QDir(data.filePath(DailyBackup::folderName())).entryList(QDir::AllEntries | QDir::NoDotAndDotDot,
                                                                         QDir::Name);
    }
};

} // namespace

class TestDailyBackup : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The day's first start copies the register, the goods, the account and the takings of the day
    // and the day before, as they were; a later start that day leaves the copy alone; the next
    // day's first start makes a folder of its own.
    void firstStartOfTheDay() {
        Desk desk;
        testing::RegisterFile file;
        file.tables = 3;
        QVERIFY(testing::writeRegisterFile(desk.data, file));
        AccountBook(desk.data).EnsureAccountFile();
        for (const QDate& day : {QDate(2013, 5, 17), QDate(2013, 5, 19), QDate(2013, 5, 20)}) {
            ManualClock then(QDateTime(day, QTime(20, 0)));
            QVERIFY(TakingsBook(desk.data, then).AddTakingsRows({{u"1号台收费"_qs, u"1"_qs, u"20"_qs}}, desk.messages));
        }
        const QStringList copied{TableRegister::fileName(), AccountBook::fileName(),
                                 TakingsBook::fileNameFor(u"2013年5月19日"_qs),
                                 TakingsBook::fileNameFor(u"2013年5月20日"_qs)};
        QMap<QString, QByteArray> before;
        for (const QString& name : copied)
            before[name] = fileBytes(desk.data.filePath(name));

        desk.start();
        QCOMPARE(desk.messages.shown().size(), 0);
        QStringList inFolder = QDir(desk.data.filePath(u"备份/2013-05-20"_qs)).entryList(QDir::Files | QDir::Hidden);
        QStringList expected = copied;
        inFolder.sort();
        expected.sort();
        QCOMPARE(inFolder, expected); // the goods file does not exist yet, the 17th is too old
        for (const QString& name : copied)
            QCOMPARE(fileBytes(desk.backup(u"2013-05-20"_qs, name)), before[name]);

        QVERIFY(desk.room->OpenTableByNumber(u"2"_qs).started);
        desk.start(); // the same day: the morning's copy stays
        QCOMPARE(fileBytes(desk.backup(u"2013-05-20"_qs, TableRegister::fileName())),
                 before[TableRegister::fileName()]);

        const QByteArray opened = fileBytes(desk.data.filePath(TableRegister::fileName()));
        desk.clock.set(QDateTime(QDate(2013, 5, 21), QTime(9, 0)));
        desk.start();
        QCOMPARE(desk.backupFolders(), (QStringList{u"2013-05-20"_qs, u"2013-05-21"_qs}));
        QCOMPARE(fileBytes(desk.backup(u"2013-05-21"_qs, TableRegister::fileName())), opened);
        QVERIFY(QFile::exists(desk.backup(u"2013-05-21"_qs, TakingsBook::fileNameFor(u"2013年5月20日"_qs))));
        QVERIFY(!QFile::exists(desk.backup(u"2013-05-21"_qs, TakingsBook::fileNameFor(u"2013年5月19日"_qs))));
    }

    // "保存数据" and "修改" copy the files as they stood before the change.
    void beforeEachSaveAndChange() {
        Desk desk;
        desk.start();
        QVERIFY(desk.room->Login(u"tulip"_qs, u"947"_qs));
        desk.room->goods().AddGoods(u"可乐"_qs, u"10"_qs, u"3"_qs, u"A1"_qs, desk.messages);
        QVERIFY(desk.room->SaveGoods());
        const QByteArray goods = fileBytes(desk.data.filePath(GoodsStock::fileName()));
        desk.room->goods().AddGoods(u"瓜子"_qs, u"5"_qs, u"2"_qs, u"B1"_qs, desk.messages);
        QVERIFY(desk.room->SaveGoods());
        QCOMPARE(fileBytes(desk.backup(u"2013-05-20"_qs, GoodsStock::fileName())), goods);

        const QByteArray account = fileBytes(desk.data.filePath(AccountBook::fileName()));
        QVERIFY(desk.room->ChangeAccount(u"new"_qs, u"1"_qs).changed);
        QCOMPARE(fileBytes(desk.backup(u"2013-05-20"_qs, AccountBook::fileName())), account);
        QVERIFY(fileBytes(desk.data.filePath(AccountBook::fileName())) != account);
    }

    // The 60 newest day folders stay; anything in the backup folder not named by a day is left.
    void sixtyDaysKept() {
        Desk desk;
        const QDate today(2013, 5, 20);
        for (int back = 1; back <= 70; ++back)
            QVERIFY(QDir().mkpath(desk.data.filePath(u"备份/"_qs + today.addDays(-back).toString(u"yyyy-MM-dd"_qs))));
        const QStringList strangers{u"2013-5-1"_qs, u"2013-02-30"_qs, u"旧的"_qs, u"2000-01-01 副本"_qs};
        for (const QString& name : strangers)
            QVERIFY(QDir().mkpath(desk.data.filePath(u"备份/"_qs + name)));
        QVERIFY(QFile(desk.data.filePath(u"备份/1999-01-01"_qs)).open(QIODevice::WriteOnly)); // a file, not a folder

        desk.start();
        QStringList expected = strangers + QStringList{u"1999-01-01"_qs};
        for (int back = 0; back < DailyBackup::kDaysKept; ++back)
            expected.append(today.addDays(-back).toString(u"yyyy-MM-dd"_qs));
        expected.sort();
        QStringList folders = desk.backupFolders();
        folders.sort();
        QCOMPARE(folders, expected);
    }

    // A backup that cannot be made is told once and stops nothing: the room opens, the goods and
    // the account are saved; once a backup works again, the next failure is told again.
    void failedBackupIsToldOnce() {
        Desk desk;
        QVERIFY(QFile(desk.data.filePath(DailyBackup::folderName())).open(QIODevice::WriteOnly)); // no folder there
        desk.start();
        QCOMPARE(desk.messages.shown().size(), 1);
        const Message told = desk.messages.shown().first();
        QVERIFY2(told.text.contains(u"备份/2013-05-20"_qs), qPrintable(told.text));
        QCOMPARE(told.icon, MessageIcon::Warning);

        QVERIFY(desk.room->Login(u"tulip"_qs, u"947"_qs));
        desk.room->goods().AddGoods(u"可乐"_qs, u"10"_qs, u"3"_qs, u"A1"_qs, desk.messages);
        QVERIFY(desk.room->SaveGoods());
        QVERIFY(desk.room->ChangeAccount(u"new"_qs, u"1"_qs).changed);
        QCOMPARE(desk.messages.shown().size(), 1);

        QVERIFY(QFile::remove(desk.data.filePath(DailyBackup::folderName())));
        QVERIFY(desk.room->SaveGoods());
        QVERIFY(QFile::exists(desk.backup(u"2013-05-20"_qs, GoodsStock::fileName())));
        desk.writer.failAfter(0); // a full disk: the backup and then the save itself fail
        QVERIFY(!desk.room->SaveGoods());
        QVERIFY2(desk.messages.shown().size() == 3, qPrintable(desk.messages.shownTexts().join(u'\n')));
        QVERIFY(desk.messages.shown()[1].text.contains(u"磁盘空间不够"_qs));
        QVERIFY(desk.messages.shown()[2].text.startsWith(u"商品没有保存到文件“商品库存”"_qs));
    }
};

QTEST_GUILESS_MAIN(TestDailyBackup)
#include "test_daily_backup.moc"
