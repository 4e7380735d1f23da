// The Room without a window: the start-up in its order, the tables that come back in use, every
// change of a table reaching the register file at once, and the files it must never write over.

#include "common/safe_save.h"
#include "room/instance_lock.h"
#include "room/stray_saves.h"
#include "support/register_file.h"
#include "support/room_fixture.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>

#include <functional>

using namespace cuemora;
namespace col = RegisterColumn;
using Change = std::function<void(TestRoom&)>;
Q_DECLARE_METATYPE(Change)

namespace {

// Every cell of a register as text, pictures by their bytes.
QStringList stateOf(const GridStore& grid) {
    QStringList cells;
    for (int r = 0; r < grid.rowCount(); ++r) {
        for (int c = 0; c < grid.columnCount(); ++c)
            cells.append(c == col::Picture && r > 0 ? QString::fromLatin1(grid.getCell(r, c).toByteArray().toBase64())
                                                    : grid.cellText(r, c));
    }
    return cells;
}

// The register as the next start would read it from the file.
QStringList savedState(const DataDirectory& data) {
    TableRegister saved;
    if (!saved.LoadRegister(data))
        return {QStringLiteral("the register file cannot be read")};
    return stateOf(saved.grid());
}

void writeRegister(const DataDirectory& data, int tables, const QList<int>& inUse = {},
                   const QString& start = QStringLiteral("2013年5月20日14时30分5秒")) {
    testing::RegisterFile file;
    file.tables = tables;
    file.inUse = inUse;
    file.start = start;
    QVERIFY(testing::writeRegisterFile(data, file));
}

QStringList filesOf(const QString& directory) {
    return QDir(directory).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

// A directory whose path is so long that the data files fit in it while the names a damaged file
// would be set aside under ("表格设置.无法读取1") do not: a damaged file there can be neither read
// nor moved aside, whoever runs the program (root included). The start-up's probe still fits.
QString directoryTooDeepToSetAside(const QString& base) {
    constexpr int kLength = 4071; // in bytes: 4071 + "/表格设置" fits in 4095, + ".无法读取1" does not
    QString path = base;
    while (path.toUtf8().size() < kLength) {
        const int left = kLength - int(path.toUtf8().size()) - 1;
        path += QLatin1Char('/') + QString(std::min(left, 200), QLatin1Char('d'));
    }
    return QDir().mkpath(path) ? path : QString();
}

} // namespace

class TestRoomOwner : public QObject {
    Q_OBJECT

private Q_SLOTS:

    // A second start on the same data directory says so and goes no further, touching no file;
    // once the first has ended, the next one starts.
    void secondStartIsRefused() {
        QTemporaryDir dir;
        const DataDirectory data(dir.path());
        ManualClock clock;
        {
            ScriptedMessages firstMessages;
            Room first(data, clock, firstMessages);
            QVERIFY(first.open());
            const QStringList files = filesOf(dir.path());
            QCOMPARE(files, (QStringList{InstanceLock::fileName(), AccountBook::fileName()}));
            QFile lockFile(data.filePath(InstanceLock::fileName()));
            QVERIFY(lockFile.open(QIODevice::ReadWrite));
            const QByteArray lock = lockFile.readAll();
            // The first program has run for an hour: its lock is still its own.
            QVERIFY(
                lockFile.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
            lockFile.close();

            ScriptedMessages messages;
            Room second(data, clock, messages);
            QVERIFY(!second.open());
            QCOMPARE(messages.shown().size(), 1);
            QVERIFY2(messages.lastText().startsWith(u"Cuemora 已经在运行"_qs), qPrintable(messages.lastText()));
            QCOMPARE(filesOf(dir.path()), files);
            QVERIFY(lockFile.open(QIODevice::ReadOnly));
            QCOMPARE(lockFile.readAll(), lock);
        }
        ScriptedMessages messages;
        Room next(data, clock, messages);
        QVERIFY(next.open());
        QVERIFY(messages.shown().isEmpty());
    }

    // A lock file that names no program (a start killed, or a power cut, before its bytes were
    // written) keeps no later start out.
    void lockFileOfAStartCutShort_data() {
        QTest::addColumn<QByteArray>("lock");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("cut short") << QByteArray("12");
        QTest::newRow("nothing but zeros") << QByteArray(64, '\0');
    }

    void lockFileOfAStartCutShort() {
        QFETCH(QByteArray, lock);
        TestRoom room(TestRoom::NotOpened);
        QVERIFY(saveWholeFile(room.data.filePath(InstanceLock::fileName()), lock));
        QVERIFY(room->open());
        QVERIFY(room.messages.shown().isEmpty());
        QVERIFY(room.fileBytes(InstanceLock::fileName()) != lock);
        ScriptedMessages messages;
        Room second(room.data, room.clock, messages);
        QVERIFY(!second.open()); // and the lock is this program's own now
    }

    // A data directory where nothing can be written (here: a path under a regular file, which
    // stops even root) is reported at start, and the room opens all the same, empty.
    void unwritableDirectoryIsReported() {
        QTemporaryDir dir;
        const QString file = dir.filePath(u"文件"_qs);
        QVERIFY(saveWholeFile(file, QByteArray("x")));
        const DataDirectory data(file + u"/数据"_qs);
        QString reason;
        QVERIFY(!canWriteDataDirectory(data, &reason));
        QVERIFY(!reason.isEmpty());
        ScriptedMessages messages;
        ManualClock clock;
        Room room(data, clock, messages);
        QVERIFY(room.open());
        QCOMPARE(messages.shown().size(), 1);
        QVERIFY2(messages.lastText().startsWith(u"数据目录不能写入"_qs), qPrintable(messages.lastText()));
        QVERIFY(messages.lastText().contains(u"数据"_qs) && messages.lastText().contains(reason));
        QCOMPARE(room.tables().tableCount(), 0);
    }

    // The start-up in its order: the register with the pictures of its rows, the goods, the account
    // file made with the default account; damaged files are told in that order, and the tables
    // that came back in use last, in one message. Nothing more is written.
    void startUpOrder() {
        TestRoom room(TestRoom::NotOpened);
        writeRegister(room.data, 3, {2});
        {
            GoodsStock goods(room.data);
            ScriptedMessages quiet;
            QVERIFY(goods.AddGoods(u"可乐"_qs, u"10"_qs, u"3"_qs, u"A1"_qs, quiet));
            QVERIFY(goods.SaveGoods(quiet));
        }
        const QByteArray registerFile = room.fileBytes(TableRegister::fileName());
        QVERIFY(!room.fileExists(AccountBook::fileName()));
        QVERIFY(room->open());
        QCOMPARE(room.tables.tableCount(), 3);
        QCOMPARE(shownPicture(room.tables, 1), pictureCell(StatusPicture::BilliardFree));
        QCOMPARE(shownPicture(room.tables, 2), pictureCell(StatusPicture::MahjongInUse));
        QCOMPARE(room->goods().names(), QStringList{u"可乐"_qs});
        QVERIFY(room.fileExists(AccountBook::fileName()));
        QVERIFY(room->Login(u"tulip"_qs, u"947"_qs));
        QCOMPARE(room.messages.shown().size(), 1);
        QVERIFY(room.messages.lastText().startsWith(u"上次程序没有正常结束"_qs));
        QVERIFY(room->clockRunning());
        QCOMPARE(room.fileBytes(TableRegister::fileName()), registerFile);

        // Damaged files: each is set aside and told, in the order of the start-up.
        TestRoom damaged(TestRoom::NotOpened);
        QVERIFY(saveWholeFile(damaged.data.filePath(TableRegister::fileName()), QByteArray(600, 'x')));
        QVERIFY(saveWholeFile(damaged.data.filePath(GoodsStock::fileName()), QByteArray(600, 'y')));
        QVERIFY(damaged->open());
        const QStringList told = damaged.messages.shownTexts();
        QCOMPARE(told.size(), 2);
        QVERIFY2(told[0].contains(TableRegister::fileName() + u".无法读取1"_qs), qPrintable(told[0]));
        QVERIFY2(told[1].contains(GoodsStock::fileName() + u".无法读取1"_qs), qPrintable(told[1]));
        QVERIFY(!damaged->clockRunning());
    }

    // A table that comes back in use counts the larger of its saved seconds and the whole seconds
    // from its start time to now; a start time that cannot be read, or lies ahead, keeps the saved
    // count and is named so. Now is 2013年5月20日14时30分5秒.
    void tablesComeBackInUse_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("saved");
        QTest::addColumn<QString>("seconds");
        QTest::addColumn<QString>("told");
        QTest::newRow("the start time tells more") << "2013年5月20日14时"
                                                   << "60"
                                                   << "1805"
                                                   << "第1台 1号大厅：2013年5月20日14时开台，已用30分5秒（1805秒）";
        QTest::newRow("the saved count tells more") << "2013年5月20日14时30分"
                                                    << "600"
                                                    << "600"
                                                    << "第1台 1号大厅：2013年5月20日14时30分开台，已用10分0秒（600秒）";
        QTest::newRow("since yesterday") << "2013年5月19日23时"
                                         << "1"
                                         << "55805"
                                         << "第1台 1号大厅：2013年5月19日23时开台，已用15小时30分（55805秒）";
        QTest::newRow("opened this very second") << "2013年5月20日14时30分5秒"
                                                 << "1"
                                                 << "1"
                                                 << "第1台 1号大厅：2013年5月20日14时30分5秒开台，已用1秒（1秒）";
        QTest::newRow("unreadable start") << "下午两点"
                                          << "75"
                                          << "75"
                                          << "第1台 1号大厅：开始时间“下午两点”读不出，按保存的75秒接着计时";
        QTest::newRow("no such day") << "2013年2月30日14时"
                                     << "75"
                                     << "75"
                                     << "第1台 1号大厅：开始时间“2013年2月30日14时”读不出，按保存的75秒接着计时";
        QTest::newRow("empty start") << ""
                                     << "75"
                                     << "75"
                                     << "第1台 1号大厅：开始时间“”读不出，按保存的75秒接着计时";
        QTest::newRow("start ahead") << "2013年5月21日9时"
                                     << "75"
                                     << "75"
                                     << "第1台 1号大厅：开始时间2013年5月21日9时在现在之后，按保存的75秒接着计时";
    }

    void tablesComeBackInUse() {
        QFETCH(QString, start);
        QFETCH(QString, saved);
        QFETCH(QString, seconds);
        QFETCH(QString, told);
        TestRoom room(TestRoom::NotOpened);
        testing::RegisterFile file;
        file.tables = 2;
        file.inUse = {1};
        file.start = start;
        file.seconds = [&saved](int) { return saved.toLongLong(); };
        QVERIFY(testing::writeRegisterFile(room.data, file));
        QVERIFY(room->open());
        QCOMPARE(room.cell(1, col::Seconds), seconds);
        QCOMPARE(room.cell(1, col::Start), start);
        QVERIFY(!room.tables.isInUse(2));
        QCOMPARE(
            room.messages.shownTexts(),
            QStringList{u"上次程序没有正常结束（停电或出错），这1张台还在使用中，已经接着计时，请核对：\n"_qs + told});
        QVERIFY(room->clockRunning());
        room.tick();
        QCOMPARE(room.cell(1, col::Seconds), QString::number(seconds.toLongLong() + 1));
    }

    // With a room full of tables in use the message names the first twenty and counts the rest.
    void manyTablesComeBackInOneMessage() {
        TestRoom room(TestRoom::NotOpened);
        writeRegister(room.data, 25, testing::allTables(25));
        QVERIFY(room->open());
        QCOMPARE(room.messages.shown().size(), 1);
        const QStringList lines = room.messages.lastText().split(u'\n');
        QCOMPARE(lines.size(), 22);
        QVERIFY(lines[20].startsWith(u"第20台 20号大厅："_qs));
        QCOMPARE(lines[21], u"……还有5张台，见下面的表格。"_qs);
    }

    // Each change of a table's live state reaches the file at once, and the file then holds what
    // the screen shows.
    void everyChangeIsSaved_data() {
        QTest::addColumn<Change>("change");
        QTest::newRow("opening from the list")
            << Change([](TestRoom& room) { QVERIFY(room->OpenFreeTable(TableType::Billiard, 3).started); });
        QTest::newRow("opening by number")
            << Change([](TestRoom& room) { QVERIFY(room->OpenTableByNumber(u"4"_qs).started); });
        QTest::newRow("opening afresh") << Change([](TestRoom& room) {
            room.tick(60);
            room.messages.setNextAnswers({MessageButton::Yes});
            QVERIFY(room->OpenTableByNumber(u"2"_qs).started);
        });
        QTest::newRow("changing tables") << Change(
            [](TestRoom& room) { QVERIFY(room->ChangeTable(TableType::Mahjong, 2, 4).moved); });
        QTest::newRow("charging goods") << Change([](TestRoom& room) {
            room->saleList().AddToSaleList(u"可乐"_qs, u"3"_qs, u"1"_qs, u"3"_qs);
            QVERIFY(room->ChargeToTable(2));
        });
        QTest::newRow("checking out") << Change([](TestRoom& room) {
            room.messages.setNextAnswers({MessageButton::Yes});
            QVERIFY(room->ConfirmCheckout({u"2"_qs, u"0.1"_qs, u"2"_qs}));
        });
        QTest::newRow("an edit in place") << Change([](TestRoom& room) {
            GridStore& grid = room.tables.grid();
            QVERIFY(grid.setData(grid.index(3, col::Price), u"25"_qs));
        });
        QTest::newRow("a type typed in place") << Change([](TestRoom& room) {
            GridStore& grid = room.tables.grid();
            QVERIFY(grid.setData(grid.index(1, col::Type), mahjongType()));
            QCOMPARE(shownPicture(room.tables, 1), pictureCell(StatusPicture::MahjongFree));
        });
        QTest::newRow("adding tables") << Change([](TestRoom& room) {
            room.logIn();
            QCOMPARE(room->AddTables({u"2"_qs, mahjongType(), u"包间"_qs, u"30"_qs, u"10"_qs}), 2);
        });
    }

    void everyChangeIsSaved() {
        QFETCH(Change, change);
        TestRoom room(TestRoom::NotOpened);
        writeRegister(room.data, 4, {2});
        QVERIFY(room->open());
        room.messages.clear();
        const QStringList before = savedState(room.data);
        change(room);
        for (const Message& asked : room.messages.shown())
            QCOMPARE(asked.buttons, MessageButtons::YesNo); // a question at most, no warning
        const QStringList after = savedState(room.data);
        QVERIFY(after != before);
        QCOMPARE(after, stateOf(room.tables.grid()));
    }

    // The clock, the lists and the refusals change nothing the file keeps: no save for them.
    void nothingElseIsSaved() {
        TestRoom room(TestRoom::NotOpened);
        writeRegister(room.data, 4, {2});
        QVERIFY(room->open());
        const QDateTime saved = QFileInfo(room.data.filePath(TableRegister::fileName())).lastModified();
        const QByteArray bytes = room.fileBytes(TableRegister::fileName());
        room.tick(5);
        room->OpenTableByNumber(u"9"_qs);
        room->OpenFreeTable(TableType::Billiard, -1);
        room->ChangeTable(TableType::Billiard, 1, 3); // table 1 is free: refused
        QVERIFY(!room->ChargeToTable(1));
        room.messages.setNextAnswers({MessageButton::No});
        QVERIFY(!room->ConfirmCheckout({u"2"_qs, u"1"_qs, u"20"_qs}));
        QCOMPARE(room.fileBytes(TableRegister::fileName()), bytes);
        QCOMPARE(QFileInfo(room.data.filePath(TableRegister::fileName())).lastModified(), saved);
    }

    // The setup page's routines act only after a login, whoever reaches their buttons (the hidden
    // controls can still be pressed through the accessibility interface): before one, "添加",
    // "重设", "统计" and "修改" are refused and no file changes.
    void setupRefusedBeforeALogin() {
        TestRoom room(TestRoom::NotOpened);
        writeRegister(room.data, 4, {2});
        QVERIFY(room->open());
        room.messages.clear();
        const QByteArray tables = room.fileBytes(TableRegister::fileName());
        const QByteArray account = room.fileBytes(AccountBook::fileName());
        QCOMPARE(room->AddTables({u"2"_qs, mahjongType(), u"包间"_qs, u"30"_qs, u"10"_qs}), 0);
        room.messages.setNextAnswers({MessageButton::Yes});
        QVERIFY(!room->ResetRegister());
        QVERIFY(!room->ShowDayTotals(u"2013年5月20日"_qs));
        QVERIFY(!room->ChangeAccount(u""_qs, u""_qs).changed);
        QCOMPARE(room.messages.shown().size(), 3); // one refusal each; 修改 answers in its result
        QCOMPARE(room.tables.tableCount(), 4);
        QVERIFY(room.tables.isInUse(2));
        QCOMPARE(room.fileBytes(TableRegister::fileName()), tables);
        QCOMPARE(room.fileBytes(AccountBook::fileName()), account);
    }

    // A save that fails is told once, with the system's reason; the tables on screen stay as they
    // are, and the next change saves them all.
    void failedSaveIsToldOnceAndTriedAgain() {
        TestRoom room(TestRoom::NotOpened);
        writeRegister(room.data, 4);
        QVERIFY(room->open());
        const QByteArray before = room.fileBytes(TableRegister::fileName());
        room.writer.failAfter(10);
        QVERIFY(room->OpenTableByNumber(u"1"_qs).started);
        QVERIFY(room->OpenTableByNumber(u"2"_qs).started);
        QCOMPARE(room.messages.shown().size(), 1);
        const Message& told = room.messages.shown().first();
        QVERIFY2(told.text.contains(u"“表格设置”"_qs) && told.text.contains(u"设备已满"_qs), qPrintable(told.text));
        QCOMPARE(told.icon, MessageIcon::Warning);
        QCOMPARE(room.fileBytes(TableRegister::fileName()), before);
        QVERIFY(room.tables.isInUse(1) && room.tables.isInUse(2));

        room.writer.failAfter(-1);
        QVERIFY(room->OpenTableByNumber(u"3"_qs).started);
        QCOMPARE(savedState(room.data), stateOf(room.tables.grid()));
        // A new failure after a save that landed is told again.
        room.writer.failAfter(10);
        QVERIFY(room->OpenTableByNumber(u"4"_qs).started);
        QCOMPARE(room.messages.shown().size(), 2);
    }

    // The operator's place in the register outlives the save of an opening.
    void focusOutlivesTheSave() {
        TestRoom room(TestRoom::NotOpened);
        writeRegister(room.data, 4);
        QVERIFY(room->open());
        room.tables.grid().setFocusCell(3, col::Price);
        QVERIFY(room->OpenTableByNumber(u"1"_qs).started);
        QCOMPARE(room.tables.grid().focusRow(), 3);
        QCOMPARE(room.tables.grid().focusColumn(), int(col::Price));
    }

    // The temporary file of a save cut short is removed at start: only its exact shape (the data
    // file's name, a dot, six letters), only beside a data file that is there.
    void straySavesAreRemoved() {
        TestRoom room(TestRoom::NotOpened);
        writeRegister(room.data, 1);
        QVERIFY(saveWholeFile(room.data.filePath(u"2013年5月20日收入统计"_qs), QByteArray(600, 'x')));
        QVERIFY(saveWholeFile(room.data.filePath(AccountBook::fileName()), QByteArray("[账号密码]\r\n")));
        const QStringList stray = {u"表格设置.TTbsiw"_qs, u"2013年5月20日收入统计.QwErTy"_qs, u"账号密码.abcdef"_qs,
                                   u".cuemora-write-AbCdEf"_qs};
        const QStringList kept = {u"商品库存.TTbsiw"_qs,    // no goods file beside it: the day's first save, maybe
                                  u"表格设置.TTbsi"_qs,     // five letters
                                  u"表格设置.TTbs1w"_qs,    // a digit
                                  u"表格设置.无法读取1"_qs, // a damaged file set aside
                                  u"表格设置.TTbsiw.bak"_qs, u"notes.TTbsiw"_qs, u"2013年5月20日.TTbsiw"_qs};
        QCOMPARE(isDataFileName(u"2013年5月20日收入统计"_qs), true);
        QCOMPARE(isDataFileName(u"统计"_qs), false);
        const auto leaveThem = [&] {
            for (const QString& name : stray + kept)
                QVERIFY(saveWholeFile(room.data.filePath(name), name.toUtf8()));
        };
        // Not while another program holds the directory: its saves may be running.
        {
            ScriptedMessages messages;
            Room other(room.data, room.clock, messages);
            QVERIFY(other.open());
            leaveThem();
            Room refused(room.data, room.clock, messages);
            QVERIFY(!refused.open());
            for (const QString& name : stray)
                QVERIFY(room.fileExists(name));
        }
        QVERIFY(room->open());
        for (const QString& name : stray)
            QVERIFY2(!room.fileExists(name), qPrintable(name));
        for (const QString& name : kept)
            QCOMPARE(room.fileBytes(name), name.toUtf8());
        QCOMPARE(room.tables.tableCount(), 1);
    }

    // A damaged register or goods file that cannot even be moved aside is never written over: the
    // operator is told at start, and the room runs on without saving to it.
    void unmovableDamagedFilesAreNeverWrittenOver() {
        // Qt says aloud that the set-aside names are too long; that is the point here.
        static QtMessageHandler previous = nullptr;
        previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& text) {
            if (!text.contains(u"File name too long"_qs))
                previous(type, context, text);
        });
        const auto restore = qScopeGuard([] { qInstallMessageHandler(previous); });
        QTemporaryDir base;
        const QString deep = directoryTooDeepToSetAside(base.path());
        QVERIFY(!deep.isEmpty());
        const DataDirectory data(deep);
        const QByteArray damaged = QByteArray("EGRD\x06\0\0\0", 8) + QByteArray(700, '\xee');
        for (const QString& name : {TableRegister::fileName(), GoodsStock::fileName()})
            QVERIFY(saveWholeFile(data.filePath(name), damaged));
        ScriptedMessages messages;
        ManualClock clock;
        Room room(data, clock, messages);
        QVERIFY(room.open());
        const QStringList told = messages.shownTexts();
        QCOMPARE(told.size(), 3);
        // The day's backup, first, finds no room for its names either.
        QVERIFY2(told[0].contains(u"备份/2013-05-20"_qs), qPrintable(told[0]));
        QVERIFY2(told[1].contains(u"“表格设置”无法读取"_qs) && told[1].contains(u"重新启动程序"_qs),
                 qPrintable(told[1]));
        QVERIFY2(told[2].contains(u"“商品库存”无法读取"_qs), qPrintable(told[2]));

        QVERIFY(room.Login(u"tulip"_qs, u"947"_qs));
        QCOMPARE(room.AddTables({u"2"_qs, billiardType(), u"大厅"_qs, u"20"_qs, u"10"_qs}), 2);
        QVERIFY(room.OpenTableByNumber(u"1"_qs).started);
        QVERIFY(room.goods().AddGoods(u"可乐"_qs, u"1"_qs, u"3"_qs, u"A"_qs, messages));
        QVERIFY(!room.SaveGoods());
        QVERIFY2(messages.lastText().startsWith(u"商品没有保存"_qs), qPrintable(messages.lastText()));
        QCOMPARE(messages.shown().size(), 4); // the register was not written, and says nothing more
        room.EndSale();                       // a reload after a sale does not try the file again
        QCOMPARE(messages.shown().size(), 4);
        for (const QString& name : {TableRegister::fileName(), GoodsStock::fileName()}) {
            QFile file(data.filePath(name));
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), damaged);
        }
    }
};

QTEST_APPLESS_MAIN(TestRoomOwner)
#include "test_room.moc"
