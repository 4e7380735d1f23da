#include "common/cp936.h"
#include "grid_file_builder.h"
#include "grid_tool_run.h"
#include "hostile_grid_files.h"
#include "picture_builder.h"
#include "small_filesystem.h"
#include "store/grid_store.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <limits>

using namespace cuemora;

namespace {

using testtool::Run;
constexpr auto runTool = &testtool::runGridTool;

QByteArray gbk(const char* utf8) {
    return toCp936(QString::fromUtf8(utf8));
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A register-like grid: a picture column, names that need quoting, and a check-box column.
testgrid::GridFile registerFile(int version) {
    testgrid::GridFile f;
    f.version = version;
    f.rows = 3;
    f.columns = 3;
    f.kinds = {{0, 106, {}, {}, 201}, {2, 105}};
    const QByteArray icon = testpicture::iconFile(
        32, 32, 32,
        [](int, int) {
            return testpicture::Rgba{0, 128, 0, 255};
        },
        [](int, int) { return false; });
    f.cells = {{0, 0, gbk("图片")},      {0, 1, gbk("台名称")}, {0, 2, gbk("是否使用")},        {1, 0, {}, 0, icon},
               {1, 1, gbk("大厅,一号")}, {1, 2, {}, 1},         {2, 1, "say \"hi\"\r\nthen go"}};
    return f;
}

} // namespace

class TestGridTool : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }

private Q_SLOTS:
    void usageErrors_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("nothing") << QStringList();
        QTest::newRow("unknown command") << QStringList{QStringLiteral("list"), QStringLiteral("x")};
        QTest::newRow("csv without a file") << QStringList{QStringLiteral("csv")};
        QTest::newRow("dump with two files")
            << QStringList{QStringLiteral("dump"), QStringLiteral("a"), QStringLiteral("b")};
        QTest::newRow("copy without OUT") << QStringList{QStringLiteral("copy"), QStringLiteral("a")};
    }

    void usageErrors() {
        QFETCH(QStringList, arguments);
        const Run run = runTool(arguments);
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.err.contains("cuemora-grid csv FILE"));
        QVERIFY(run.out.isEmpty());
    }

    // Every row, header included, as UTF-8 CSV: check marks as 真/假, pictures as empty fields.
    void csv() {
        const QString file = path("表格设置");
        QVERIFY(writeFile(file, registerFile(6).bytes()));
        const Run run = runTool({QStringLiteral("csv"), file});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(QString::fromUtf8(run.out), QStringLiteral("图片,台名称,是否使用\r\n"
                                                            ",\"大厅,一号\",真\r\n"
                                                            ",\"say \"\"hi\"\"\r\nthen go\",假\r\n"));
        QVERIFY(run.err.isEmpty());
    }

    void dump() {
        const QString file = path("dump");
        QVERIFY(writeFile(file, registerFile(3).bytes()));
        const Run run = runTool({QStringLiteral("dump"), file});
        QCOMPARE(run.exitCode, 0);
        const QJsonObject root = QJsonDocument::fromJson(run.out).object();
        QCOMPARE(root.value(QStringLiteral("version")).toInt(), 3);
        QCOMPARE(root.value(QStringLiteral("rows")).toInt(), 3);
        QCOMPARE(root.value(QStringLiteral("columns")).toInt(), 3);
        QCOMPARE(root.value(QStringLiteral("fixedRows")).toInt(), 1);
        QCOMPARE(root.value(QStringLiteral("fixedColumns")).toInt(), 0);
        QCOMPARE(root.value(QStringLiteral("rowHeights")).toArray(), (QJsonArray{24, 24, 24}));
        QCOMPARE(root.value(QStringLiteral("columnWidths")).toArray(), (QJsonArray{60, 60, 60}));
        const QJsonArray kinds = root.value(QStringLiteral("columnKinds")).toArray();
        QCOMPARE(kinds.size(), 2);
        QCOMPARE(kinds[1].toObject().value(QStringLiteral("code")).toInt(), 105);
        QVERIFY(root.value(QStringLiteral("merges")).toArray().isEmpty());
        const QJsonArray cells = root.value(QStringLiteral("cells")).toArray();
        QCOMPARE(cells.size(), 7);
        QCOMPARE(cells[1].toObject().value(QStringLiteral("text")).toString(), QStringLiteral("台名称"));
        const QJsonObject picture = cells[3].toObject();
        QCOMPARE(picture.value(QStringLiteral("row")).toInt(), 1);
        QCOMPARE(picture.value(QStringLiteral("column")).toInt(), 0);
        QCOMPARE(picture.value(QStringLiteral("pictureBytes")).toInt(), 3126);
        QCOMPARE(cells[5].toObject().value(QStringLiteral("checked")).toBool(), true);
    }

    // A file the store wrote comes out of a copy byte for byte.
    void copyKeepsEveryByte() {
        GridStore grid({.rows = 3, .columns = 4});
        grid.setColumnKind(3, 5);
        grid.setCell(0, 0, QStringLiteral("商品名称"));
        grid.setCell(1, 0, QStringLiteral("红茶"));
        grid.setChecked(2, 3, true);
        grid.editCell(1, 1, [](Cell& c) { c.background = 0x00FFFF; });
        const QString in = path("商品库存");
        const QString out = path("商品库存-副本");
        QVERIFY(grid.saveToFile(in));
        const Run run = runTool({QStringLiteral("copy"), in, out});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(readFile(out), readFile(in));
    }

    void copyUpgradesOldVersions_data() {
        QTest::addColumn<int>("version");
        for (int v = 1; v <= 5; ++v)
            QTest::addRow("version %d", v) << v;
    }

    // An older file comes out as the version-6 file of the same grid.
    void copyUpgradesOldVersions() {
        QFETCH(int, version);
        testgrid::GridFile f = registerFile(version);
        const QString in = path("old");
        const QString out = path("new");
        QVERIFY(writeFile(in, f.bytes()));
        const Run run = runTool({QStringLiteral("copy"), in, out});
        QCOMPARE(run.exitCode, 0);
        GridStore icon; // the picture of the record as a cell keeps it
        f.version = 6;
        icon.setColumnCount(1);
        icon.setRowCount(2);
        icon.setColumnKind(0, 6);
        QVERIFY(icon.setPicture(1, 0, f.cells[3].picture));
        f.cells[3].picture = icon.getCell(1, 0).toByteArray();
        QCOMPARE(readFile(out), f.bytes());
    }

    // A refused or missing file: exit 1, one line naming the file and why, OUT untouched.
    void refusedFiles() {
        const QString shortFile = path("短");
        QVERIFY(writeFile(shortFile, QByteArray("EGRD") + QByteArray(500, '\0')));
        const QString out = path("out");
        Run run = runTool({QStringLiteral("copy"), shortFile, out});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err.count('\n'), 1);
        QVERIFY(run.err.contains(shortFile.toUtf8()));
        QVERIFY(run.err.contains("文件太短"));
        QVERIFY(!QFile::exists(out));

        QVERIFY(writeFile(out, "the old file"));
        QByteArray version7 = registerFile(6).bytes();
        testgrid::patch(version7, testgrid::at::version, 7);
        const QString newer = path("新版");
        QVERIFY(writeFile(newer, version7));
        run = runTool({QStringLiteral("copy"), newer, out});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.err.contains("不支持的版本 7"));
        QCOMPARE(readFile(out), QByteArray("the old file"));

        for (const char* command : {"csv", "dump"}) {
            run = runTool({QString::fromLatin1(command), path("没有")});
            QCOMPARE(run.exitCode, 1);
            QVERIFY(run.err.contains("找不到文件"));
            QVERIFY(run.out.isEmpty());
        }
    }

    // The full disk of the repro: a copy onto a filesystem with no room left exits 1 with the
    // file and the system's reason, and the file there stays byte for byte as it was.
    void copyOntoAFullDisk() {
        SmallFilesystem disk(64);
        if (!disk.mounted())
            QSKIP(qPrintable(disk.whyNot()));
        const QString takings = QStringLiteral(CUEMORA_TEST_DATA "/grid/takings.grd");
        const QString target = disk.filePath(QStringLiteral("t"));
        QCOMPARE(runTool({QStringLiteral("copy"), takings, target}).exitCode, 0);
        const QByteArray before = readFile(target);
        QCOMPARE(before, readFile(takings));
        QVERIFY(disk.fill());
        const Run run =
            runTool({QStringLiteral("copy"), QStringLiteral(CUEMORA_TEST_DATA "/grid/register.grd"), target});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(QString::fromUtf8(run.err),
                 target + QStringLiteral(": 磁盘空间不够：") + qt_error_string(ENOSPC) + QLatin1Char('\n'));
        QCOMPARE(readFile(target), before);
        QCOMPARE(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden).size(), 2); // t and the filler
    }

    // A dump shows the cells that are there: a file that claims 20,000 x 20,000 cells is dumped
    // about as quickly as the same forty rows in a grid of their own size (a walk over every place
    // of the grid took sixty times as long).
    void dumpOfAVastGrid() {
        const QString plain = path("plain");
        QVERIFY(writeFile(plain, testgrid::hostile::takingsFile(40).bytes()));
        const QString file = path("vast");
        QVERIFY(writeFile(file, testgrid::hostile::vastColoured(testgrid::hostile::takingsFile(40), 20000).bytes()));
        const auto fastestOfThree = [](const QString& dumped) {
            qint64 fastest = std::numeric_limits<qint64>::max();
            for (int k = 0; k < 3; ++k) {
                QElapsedTimer clock;
                clock.start();
                runTool({QStringLiteral("dump"), dumped});
                fastest = std::min(fastest, clock.elapsed());
            }
            return fastest;
        };
        const qint64 plainMs = fastestOfThree(plain);
        const qint64 vastMs = fastestOfThree(file);
        QVERIFY2(vastMs < 5 * plainMs + 100,
                 qPrintable(QStringLiteral("%1 ms against %2 ms").arg(vastMs).arg(plainMs)));
        const Run run = runTool({QStringLiteral("dump"), file});
        QCOMPARE(run.exitCode, 0);
        const QJsonObject root = QJsonDocument::fromJson(run.out).object();
        QCOMPARE(root.value(QStringLiteral("rows")).toInt(), 20000);
        QCOMPARE(root.value(QStringLiteral("cells")).toArray().size(), 3 + 3 * 40);
        QCOMPARE(root.value(QStringLiteral("cells")).toArray().last().toObject().value(QStringLiteral("row")).toInt(),
                 40);
    }

    // OUT that cannot be written: exit 1, naming OUT.
    void unwritableOut() {
        const QString in = path("in");
        QVERIFY(writeFile(in, registerFile(6).bytes()));
        const QString out = in + QStringLiteral("/under-a-file");
        const Run run = runTool({QStringLiteral("copy"), in, out});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.err.contains(out.toUtf8()));
        QCOMPARE(readFile(in), registerFile(6).bytes());
    }
};

QTEST_APPLESS_MAIN(TestGridTool)
#include "test_grid_tool.moc"
