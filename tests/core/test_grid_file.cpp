#include "support/failing_writer.h"
#include "support/manual_clock.h"
#include "support/scripted_messages.h"
#include "common/cp936.h"
#include "common/safe_save.h"
#include "grid_file_builder.h"
#include "picture_builder.h"
#include "store/grid_file_guard.h"
#include "store/grid_store.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <limits>

using namespace cuemora;
using testgrid::GridFile;

namespace {

QByteArray gbk(const char* utf8) {
    return toCp936(QString::fromUtf8(utf8));
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray plainBmp() {
    return testpicture::bmpFile(3, 2, 24, [](int x, int y) { return testpicture::Rgba{x * 80, y * 100, 9}; });
}

// A grid file with something in every section and every override list.
GridFile fullFile() {
    GridFile f;
    f.rows = 4;
    f.columns = 4;
    f.fixedRows = 1;
    f.fixedColumns = 1;
    f.rowHeight = 30;
    f.heights = {30, 31, 32, 33};
    f.widths = {60, 61, 62, 63};
    f.gridLineColour = 0x808080;
    f.background = 0xF0F0F0;
    f.foreground = 0x101010;
    f.look = {1, 2, 3, 4, 1, 6, 1, 8};
    f.alternateOn = 1;
    f.alternateOdd = 0x00FFFF;
    f.alternateEven = 0xFF00FF;
    f.kinds = {{0, 106, {}, {}, 201, 0, {}},
               {1, 104, {}, {}, 0, 0, {gbk("甲"), gbk("乙"), QByteArray(100, 'x')}},
               {2, 107, gbk("￥"), {}, 0, 2, {}},
               {3, 103, {}, "%Y-%m-%d", 0, 0, {}}};
    f.merges = {{1, 1, 1, 1, 2, 2}};
    f.cells = {{0, 0, gbk("图片")},   {0, 1, gbk("名称")}, {1, 0, {}, 0, plainBmp()},
               {1, 1, gbk("桌球台")}, {2, 2, "36.50"},     {3, 3, "x", 1}};
    f.fonts = {{1, 1, testgrid::logFont(-16, 700, false, false, false, gbk("黑体"))},
               {2, 1, testgrid::logFont(-12, 400, true, false, true, gbk("宋体"), 0, 5)}};
    f.lists[testgrid::Background] = {{1, 2, 0x00FF00}, {3, 1, 0}};
    f.lists[testgrid::Foreground] = {{2, 1, 0x0000FF}};
    f.lists[testgrid::Format] = {{2, 2, 0x825}};
    f.lists[testgrid::ValueE] = {{3, 1, 7}};
    f.lists[testgrid::Margin] = {{3, 2, 4}};
    f.lists[testgrid::FlagG] = {{1, 3, 1}};
    f.lists[testgrid::State] = {{2, 3, 8}};
    f.rulesA = {{1, 2, 3, 4}};
    f.rulesB = {{2, 1, 3, 4}};
    f.title = gbk("收入统计");
    f.titleFace = gbk("宋体");
    f.titleHeight = -20;
    f.titleBold = 1;
    f.titleAlignment = 3;
    f.pageLayout = {1, 2, 3, 4, 5, 6, 7};
    return f;
}

// The file the store writes for what a version-1..5 file holds.
GridFile upgraded(GridFile f) {
    if (f.version < 2)
        f.lists[testgrid::State].clear();
    if (f.version < 3)
        f.rulesA.clear();
    if (f.version < 4)
        f.rulesB.clear();
    if (f.version < 5) {
        const GridFile defaults;
        f.title = defaults.title;
        f.titleFace = defaults.titleFace;
        f.titleHeight = defaults.titleHeight;
        f.titleBold = defaults.titleBold;
        f.titleAlignment = defaults.titleAlignment;
        f.pageLayout = defaults.pageLayout;
    }
    f.version = 6;
    return f;
}

using Mutation = std::function<void(QByteArray&)>;

} // namespace

Q_DECLARE_METATYPE(Mutation)

class TestGridFile : public QObject {
    Q_OBJECT

private Q_SLOTS:

    // Two rows, three columns, a check-box column and three captions: 611 bytes, byte for byte.
    void workedExample() {
        GridStore grid;
        QVERIFY(grid.setRowCount(2));
        QVERIFY(grid.setColumnCount(3));
        QVERIFY(grid.setColumnKind(2, 5));
        QVERIFY(grid.setCell(0, 0, QStringLiteral("名称")));
        QVERIFY(grid.setCell(0, 1, QStringLiteral("单价")));
        QVERIFY(grid.setCell(0, 2, QStringLiteral("数量")));
        QVERIFY(grid.setChecked(1, 2, false));
        GridFile f;
        f.rows = 2;
        f.columns = 3;
        f.kinds = {{2, 105}};
        f.cells = {{0, 0, gbk("名称")}, {0, 1, gbk("单价")}, {0, 2, gbk("数量")}};
        const QByteArray bytes = grid.toBytes();
        QCOMPARE(bytes.size(), 611);
        QCOMPARE(bytes, f.bytes());

        GridStore back;
        QVERIFY(back.loadFromBytes(bytes));
        QCOMPARE(back.rowCount(), 2);
        QCOMPARE(back.getCell(0, 2), QVariant(QStringLiteral("数量"))); // a caption, not a check mark
        QCOMPARE(back.getCell(1, 2), QVariant(false));
        QCOMPARE(back.loadedVersion(), 6);
    }

    // One row, two columns, nothing in them: 488 bytes, which no load takes.
    void emptyGridIsRefused() {
        GridStore::Definition d;
        d.columns = 2;
        GridStore empty(d);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("表格设置"));
        QVERIFY(empty.saveToFile(path));
        QCOMPARE(fileBytes(path).size(), 488);
        GridStore grid;
        grid.setCell(0, 0, QStringLiteral("台名称"));
        QVERIFY(!grid.loadFromFile(path));
        QCOMPARE(grid.errorString(), QStringLiteral("文件太短"));
        QCOMPARE(grid.cellText(0, 0), QStringLiteral("台名称"));
        QCOMPARE(grid.columnCount(), 1);
    }

    // Every section and every override list comes back and is written back byte for byte.
    void roundTripOfEverySection() {
        const QByteArray bytes = fullFile().bytes();
        GridStore grid;
        QVERIFY(grid.loadFromBytes(bytes));
        QCOMPARE(grid.rowCount(), 4);
        QCOMPARE(grid.columnCount(), 4);
        QCOMPARE(grid.fixedColumnCount(), 1);
        QCOMPARE(grid.rowHeight(3), 33);
        QCOMPARE(grid.columnWidth(2), 62);
        QCOMPARE(grid.columnKinds().size(), 4);
        QCOMPARE(grid.columnKinds()[1].items.size(), 3);
        QCOMPARE(grid.columnKinds()[1].items[2], QByteArray(100, 'x'));
        QCOMPARE(grid.columnKinds()[2].textA, gbk("￥"));
        QCOMPARE(grid.getCell(1, 0).toByteArray(), plainBmp());
        QCOMPARE(grid.cellText(1, 1), QStringLiteral("桌球台"));
        QCOMPARE(grid.cell(3, 3)->check, 1);
        QVERIFY(grid.cellAt(1, 1).master);
        QVERIFY(grid.cellAt(2, 2).covered);
        QVERIFY(!grid.cellAt(3, 3).covered);
        QCOMPARE(QByteArray(grid.cell(2, 1)->font->bytes.data(), 60), fullFile().fonts[1].logFont);
        QCOMPARE(grid.cell(2, 1)->foreground, 0x0000FFu);
        QCOMPARE(grid.cell(2, 3)->state, Cell::ReadOnlyState);
        QCOMPARE(grid.cell(1, 3)->flagG, true);
        QCOMPARE(grid.calculationRules().size(), 1);
        QCOMPARE(grid.rangeRules()[0].resultRow, 4);
        QCOMPARE(grid.printSettings().titleText, gbk("收入统计"));
        QVERIFY(grid.alternateColouring().enabled);
        QCOMPARE(grid.toBytes(), bytes);
    }

    // The override lists say where a cell differs from the grid, and nothing more.
    void overridesOfStoreMadeCells() {
        GridStore grid({.rows = 2, .columns = 3});
        const LogFont sameLook = [&] {
            LogFont f = grid.font();
            f.bytes[4] = 9; // width and character set are not part of a font's look
            f.bytes[23] = 0;
            return f;
        }();
        const LogFont bold = LogFont::make(grid.font().faceName(), -12, 700);
        grid.editCell(1, 0, [&](Cell& c) {
            c.font = sameLook;
            c.background = 0xFFFFFF; // the grid's own background
            c.foreground = kDefaultColour;
        });
        grid.editCell(1, 1, [&](Cell& c) {
            c.font = bold;
            c.background = 0x123456;
            c.margin = 2;
            c.state = Cell::ReadOnlyState | Cell::SelectedState; // a save clears the selection
        });
        grid.editCell(1, 2, [&](Cell& c) {
            c.imageIndex = 3; // not kept in the file
            c.valueE = -1;
            c.flagG = true;
            c.format = 0x25;
        });
        GridFile f;
        f.rows = 2;
        f.columns = 3;
        f.fonts = {{1, 1, QByteArray(bold.bytes.data(), 60)}};
        f.lists[testgrid::Background] = {{1, 1, 0x123456}};
        f.lists[testgrid::Format] = {{1, 2, 0x25}};
        f.lists[testgrid::ValueE] = {{1, 2, -1}};
        f.lists[testgrid::Margin] = {{1, 1, 2}};
        f.lists[testgrid::FlagG] = {{1, 2, 1}};
        f.lists[testgrid::State] = {{1, 1, Cell::ReadOnlyState}};
        QCOMPARE(grid.toBytes(), f.bytes());
    }

    void oldVersions_data() {
        QTest::addColumn<int>("version");
        QTest::addColumn<int>("settingsBytes");
        QTest::newRow("version 1") << 1 << 124;
        QTest::newRow("version 2") << 2 << 128;
        QTest::newRow("version 3") << 3 << 132;
        QTest::newRow("version 4") << 4 << 136;
        QTest::newRow("version 5") << 5 << 464;
    }

    // Versions 1 to 5 keep texts in a fixed 256-byte field and have shorter settings blocks; a load
    // takes what the version holds and a save writes version 6.
    void oldVersions() {
        QFETCH(int, version);
        QFETCH(int, settingsBytes);
        GridFile f = fullFile();
        f.version = version;
        f.cells.insert(5, {3, 1, QByteArray(255, 'a')}); // the longest text such a file holds, in row order
        const QByteArray bytes = f.bytes();
        QCOMPARE(testgrid::peek(bytes, 12 + settingsBytes), 30); // the first row height follows the block
        GridStore grid;
        QVERIFY(grid.loadFromBytes(bytes));
        QCOMPARE(grid.loadedVersion(), version);
        QCOMPARE(grid.cellText(1, 1), QStringLiteral("桌球台"));
        QCOMPARE(grid.cell(3, 1)->text.size(), 255);
        QCOMPARE(grid.toBytes(), upgraded(f).bytes());
    }

    void refusals_data() {
        QTest::addColumn<Mutation>("mutate");
        QTest::addColumn<QString>("error");
        const QString tooShort = QStringLiteral("文件太短");
        const QString incomplete = QStringLiteral("文件不完整");
        const QString damaged = QStringLiteral("文件已损坏");
        const qint32 most = std::numeric_limits<qint32>::max();
        using namespace testgrid;
        const auto set = [](int offset, qint32 value) {
            return Mutation([=](QByteArray& b) { patch(b, offset, value); });
        };
        // Offsets into fullFile(): the first kind record follows the 476 bytes of header and
        // settings and the 16 + 16 bytes of row heights and column widths.
        const int kind = 12 + 464 + 32;
        const int secondKindItems = kind + 40 + 36;
        const int cellRecords = kind + 4 * 40 + 3 * 100 + 24;
        QTest::newRow("539 bytes") << Mutation([](QByteArray& b) { b.truncate(539); }) << tooShort;
        QTest::newRow("wrong magic") << Mutation([](QByteArray& b) { b[3] = 'X'; }) << QStringLiteral("不是表格文件");
        QTest::newRow("version 0") << set(at::version, 0) << QStringLiteral("不支持的版本 0");
        QTest::newRow("version 7") << set(at::version, 7) << QStringLiteral("不支持的版本 7");
        QTest::newRow("version -1") << set(at::version, -1) << QStringLiteral("不支持的版本 -1");
        QTest::newRow("rows past the end") << set(at::rows, 1000) << incomplete;
        QTest::newRow("vast row count") << set(at::rows, most) << incomplete;
        QTest::newRow("vast column count") << set(at::columns, most) << incomplete;
        QTest::newRow("rows and columns together past the end") << Mutation([](QByteArray& b) {
            patch(b, at::rows, (b.size() - 476) / 8 + 1);
            patch(b, at::columns, (b.size() - 476) / 8 + 1);
        }) << incomplete;
        QTest::newRow("negative rows") << set(at::rows, -1) << damaged;
        QTest::newRow("negative columns") << set(at::columns, -4) << damaged;
        QTest::newRow("negative fixed rows") << set(at::fixedRows, -1) << damaged;
        QTest::newRow("negative fixed columns") << set(at::fixedColumns, std::numeric_limits<qint32>::min()) << damaged;
        QTest::newRow("kind records past the end") << set(at::kinds, 200) << incomplete;
        QTest::newRow("vast kind count") << set(at::kinds, most) << incomplete;
        QTest::newRow("negative kind count") << set(at::kinds, -1) << damaged;
        QTest::newRow("vast item count") << set(secondKindItems, most) << incomplete;
        QTest::newRow("items past the end") << set(secondKindItems, 60) << incomplete;
        QTest::newRow("negative item count") << set(secondKindItems, -3) << damaged;
        QTest::newRow("merges past the end") << set(at::merges, 1000) << incomplete;
        QTest::newRow("negative merge count") << set(at::merges, -1) << damaged;
        QTest::newRow("vast cell count") << set(at::cells, most) << incomplete;
        QTest::newRow("negative cell count") << set(at::cells, -1) << damaged;
        QTest::newRow("vast text length") << set(cellRecords + 8, most) << incomplete;
        QTest::newRow("negative text length") << set(cellRecords + 8, -1) << damaged;
        QTest::newRow("text length 0") << set(cellRecords + 8, 0) << damaged;
        QTest::newRow("vast picture length") << set(cellRecords + 21, most) << incomplete;
        QTest::newRow("negative picture length") << set(cellRecords + 21, -1) << damaged;
        QTest::newRow("vast font count") << set(at::fonts, most) << incomplete;
        QTest::newRow("vast background count") << set(at::backgrounds, most) << incomplete;
        QTest::newRow("negative state count") << set(at::states, -1) << damaged;
        QTest::newRow("vast rule A count") << set(at::rulesA, most) << incomplete;
        QTest::newRow("one rule B too many") << set(at::rulesB, 2) << incomplete;
        QTest::newRow("negative rule B count") << set(at::rulesB, -2) << damaged;
    }

    // A refused file leaves the grid exactly as it was and says why.
    void refusals() {
        QFETCH(Mutation, mutate);
        QFETCH(QString, error);
        QByteArray bytes = fullFile().bytes();
        QCOMPARE(testgrid::peek(bytes, 12 + 464 + 32 + 4), 106); // the offsets above still hold
        mutate(bytes);
        GridStore grid;
        GridFile before;
        before.rows = 2;
        before.cells = {{1, 0, QByteArray(80, 'k')}}; // a grid file is at least 540 bytes long
        QVERIFY(grid.loadFromBytes(before.bytes()));
        QSignalSpy resets(&grid, &QAbstractItemModel::modelReset);
        QVERIFY(!grid.loadFromBytes(bytes));
        QCOMPARE(grid.errorString(), error);
        QCOMPARE(resets.size(), 0);
        QCOMPARE(grid.toBytes(), before.bytes());
        QCOMPARE(grid.loadedVersion(), 6);
    }

    // The bounds of a grid file, at and one past each: a file beyond one is refused and says
    // which, before anything is made for it.
    void bounds_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("refusal"); // empty: the file loads
        GridFile rows;
        rows.rows = 1000000;
        QTest::newRow("1,000,000 rows") << rows.bytes() << QString();
        rows.rows = 1000001;
        QTest::newRow("1,000,001 rows") << rows.bytes() << QStringLiteral("行数太多：1000001 行，最多 1000000 行");
        GridFile columns;
        columns.columns = 1000000;
        columns.cells = {{0, 999999, "corner"}};
        QTest::newRow("1,000,000 columns") << columns.bytes() << QString();
        columns.columns = 1000001;
        QTest::newRow("1,000,001 columns")
            << columns.bytes() << QStringLiteral("列数太多：1000001 列，最多 1000000 列");
        GridFile text;
        text.rows = 2;
        text.cells = {{1, 0, QByteArray(65536, 'x')}};
        QTest::newRow("a text of 64 KB") << text.bytes() << QString();
        text.cells = {{1, 0, QByteArray(65537, 'x')}};
        QTest::newRow("a text of 64 KB and a byte")
            << text.bytes() << QStringLiteral("单元格的文字太长：65537 字节，最多 65536 字节");
        // 2,048 x 2,048 at one bit a pixel is 512 KB in the file and 12 MB once a cell's.
        const QByteArray big = testpicture::plainIndexedBmp(2048, 2048, 1);
        GridFile pictures;
        pictures.rows = 4;
        pictures.cells = {{1, 0, {}, 0, big}, {2, 0, {}, 0, big}};
        QTest::newRow("two pictures of 12 MB") << pictures.bytes() << QString();
        pictures.cells.append({3, 0, {}, 0, big});
        QTest::newRow("three pictures of 12 MB")
            << pictures.bytes() << QStringLiteral("图片太大：一个文件的图片最多 32 MB");
        QByteArray wide = testpicture::plainIndexedBmp(2, 2, 1);
        testgrid::patch(wide, 18, 65536); // a header that claims 65,536 x 65,536 pixels
        testgrid::patch(wide, 22, 65536);
        pictures.cells = {{1, 0, {}, 0, wide}};
        QTest::newRow("a picture that claims to be vast")
            << pictures.bytes() << QStringLiteral("图片太大：一个文件的图片最多 32 MB");
        QByteArray file = GridFile().bytes();
        file.append(32 * 1024 * 1024 - file.size() + 1, '\0');
        QTest::newRow("32 MB and a byte") << file << QStringLiteral("文件太大：最多 32 MB");
    }

    void bounds() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, refusal);
        GridStore grid;
        QCOMPARE(grid.loadFromBytes(bytes), refusal.isEmpty());
        QCOMPARE(grid.errorString(), refusal);
        if (refusal.isEmpty()) {
            // What loads saves, and loads back (its pictures now at 24 bits a pixel).
            const QByteArray saved = grid.toBytes();
            GridStore back;
            QVERIFY(back.loadFromBytes(saved));
            QCOMPARE(back.toBytes(), saved);
        }
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("表格设置"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
        file.close();
        QCOMPARE(GridStore().loadFromFile(path), refusal.isEmpty());
    }

    // The store never writes a file it would refuse: a grid grown past a bound is not saved, and the
    // old file stays; setCell refuses a text or a picture that no file may hold.
    void gridsBeyondTheBoundsAreNotSaved() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("2013年5月20日收入统计"));
        GridStore grid({.rows = 3, .columns = 3});
        grid.setCell(1, 0, QStringLiteral("3号台收费"));
        QVERIFY(grid.saveToFile(path));
        const QByteArray old = fileBytes(path);

        QVERIFY(!grid.setCell(1, 1, QString(65537, QLatin1Char('x'))));
        QVERIFY(grid.setCell(1, 1, QString(65536, QLatin1Char('x'))));
        QVERIFY(grid.editCell(1, 2, [](Cell& c) { c.text = QByteArray(65537, 'y'); })); // past setCell's rules
        QVERIFY(!grid.saveToFile(path));
        QCOMPARE(grid.errorString(), QStringLiteral("单元格的文字太长：65537 字节，最多 65536 字节"));
        QCOMPARE(fileBytes(path), old);
        QBuffer buffer;
        QVERIFY(buffer.open(QIODevice::WriteOnly));
        QVERIFY(!grid.saveToDevice(buffer));
        QCOMPARE(buffer.size(), 0);
        grid.editCell(1, 2, [](Cell& c) { c.text.clear(); });

        QVERIFY(grid.setColumnKind(0, 6));
        const QByteArray big = testpicture::plainIndexedBmp(2048, 2048, 1);
        QVERIFY(grid.setPicture(1, 0, big));
        QVERIFY(grid.setPicture(2, 0, big));
        QVERIFY(grid.saveToFile(path)); // 25 MB of pictures
        const QByteArray withPictures = fileBytes(path);
        QVERIFY(grid.insertRow());
        QVERIFY(grid.setPicture(3, 0, big));
        QVERIFY(!grid.saveToFile(path));
        QCOMPARE(grid.errorString(), QStringLiteral("图片太大：一个文件的图片最多 32 MB"));
        QCOMPARE(fileBytes(path), withPictures);
        QVERIFY(!grid.setPicture(3, 0, testpicture::plainIndexedBmp(4096, 3000, 1))); // 36 MB alone

        QVERIFY(grid.setRowCount(1000001));
        QVERIFY(!grid.saveToFile(path));
        QCOMPARE(grid.errorString(), QStringLiteral("行数太多：1000001 行，最多 1000000 行"));
        QCOMPARE(fileBytes(path), withPictures);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }

    // All or nothing: cut anywhere, the file changes nothing.
    void fileCutAtEveryLength() {
        GridFile f = fullFile();
        f.cells.append({3, 2, QByteArray("1.5")});
        const QByteArray full = f.bytes();
        GridStore grid({.rows = 3, .columns = 2});
        grid.setCell(2, 1, QStringLiteral("在用"));
        grid.setFocusCell(2, 1);
        const QByteArray before = grid.toBytes();
        grid.setFocusCell(2, 1);
        for (qsizetype n = 540; n < full.size(); ++n) {
            QVERIFY2(!grid.loadFromBytes(full.left(n)), qPrintable(QString::number(n)));
            QCOMPARE(grid.focusRow(), 2);
        }
        QCOMPARE(grid.errorString(), QStringLiteral("文件不完整"));
        QCOMPARE(grid.toBytes(), before);
        QVERIFY(grid.loadFromBytes(full));
        QCOMPARE(grid.focusRow(), -1);
        QVERIFY(grid.errorString().isEmpty());
    }

    // A file may claim a vast grid: its rows and columns cost their four bytes each, its cells only
    // those that are there.
    void vastSparseGrid() {
        GridFile f;
        f.rows = 100000;
        f.columns = 100000;
        f.cells = {{0, 0, "header"},
                   {99999, 99999, "corner"},
                   {100000, 0, "below the grid"},
                   {0, -1, "left of it"},
                   {5, 100000, "right of it"}};
        f.lists[testgrid::Margin] = {{99999, 0, 3}, {-1, 0, 3}};
        GridStore grid;
        QVERIFY(grid.loadFromBytes(f.bytes()));
        QCOMPARE(grid.rowCount(), 100000);
        QCOMPARE(grid.columnCount(), 100000);
        QCOMPARE(grid.cellText(99999, 99999), QStringLiteral("corner"));
        QCOMPARE(grid.cell(99999, 0)->margin, 3);
        QVERIFY(grid.insertRow(QStringLiteral("新"), 1));
        QCOMPARE(grid.cellText(100000, 99999), QStringLiteral("corner"));
        f.rows = 100001;
        f.cells = {{0, 0, "header"}, {1, 0, "\xd0\xc2"}, {100000, 99999, "corner"}};
        f.lists[testgrid::Margin] = {{100000, 0, 3}};
        QCOMPARE(grid.toBytes(), f.bytes());
    }

    // Records in any order: a later record of a cell wins, and cells with only an override exist.
    void recordsInAnyOrder() {
        GridFile f;
        f.rows = 3;
        f.columns = 3;
        f.cells = {{2, 2, "c"}, {2, 0, "a"}, {1, 1, "first"}, {2, 1, "b"}, {1, 1, "second", 1}};
        f.lists[testgrid::Margin] = {{2, 1, 5}, {0, 2, 1}, {2, 1, 6}};
        f.lists[testgrid::State] = {{1, 2, 8}};
        GridStore grid;
        QVERIFY(grid.loadFromBytes(f.bytes()));
        QCOMPARE(grid.cellText(1, 1), QStringLiteral("second"));
        QCOMPARE(grid.cell(1, 1)->check, 1);
        QCOMPARE(grid.cell(2, 1)->margin, 6);
        QCOMPARE(grid.cell(2, 1)->text, QByteArray("b"));
        QCOMPARE(grid.cell(0, 2)->margin, 1);
        QCOMPARE(grid.cell(1, 2)->state, 8);
        GridFile sorted = f;
        sorted.cells = {{1, 1, "second", 1}, {2, 0, "a"}, {2, 1, "b"}, {2, 2, "c"}};
        sorted.lists[testgrid::Margin] = {{0, 2, 1}, {2, 1, 6}};
        QCOMPARE(grid.toBytes(), sorted.bytes());
    }

    // Sizes read from a file are raised to the grid-line minimum (grid-line width + 6).
    void sizesRaisedOnLoad() {
        GridFile f;
        f.rows = 2;
        f.columns = 2;
        f.heights = {3, 40};
        f.widths = {-5, 6};
        f.cells = {{0, 0, QByteArray(80, 'x')}};
        GridStore::Definition d;
        d.gridLineWidth = 2;
        GridStore grid(d);
        QVERIFY(grid.loadFromBytes(f.bytes()));
        QCOMPARE(grid.rowHeight(0), 8);
        QCOMPARE(grid.rowHeight(1), 40);
        QCOMPARE(grid.columnWidth(0), 8);
        QCOMPARE(grid.columnWidth(1), 8);
    }

    // Picture data in a record is read as setCell reads it: an icon becomes its BMP, and data that
    // is no picture leaves the cell without one (its text still comes).
    void picturesInRecords() {
        const QByteArray icon = testpicture::iconFile(
            32, 32, 32,
            [](int, int) {
                return testpicture::Rgba{255, 0, 0, 255};
            },
            [](int, int) { return false; });
        GridFile f;
        f.rows = 3;
        f.columns = 1;
        f.kinds = {{0, 106, {}, {}, 201}};
        f.cells = {{1, 0, {}, 0, icon}, {2, 0, "text", 0, QByteArray("GIF89a\x20\0\x20\0\0\0\0", 13)}};
        GridStore grid;
        QVERIFY(grid.loadFromBytes(f.bytes()));
        const QByteArray bmp = grid.getCell(1, 0).toByteArray();
        QCOMPARE(bmp.size(), 3126);
        QCOMPARE(testpicture::Bmp24{bmp}.at(5, 5), (testpicture::Rgba{255, 0, 0}));
        QVERIFY(grid.getCell(2, 0).toByteArray().isEmpty());
        QCOMPARE(grid.cell(2, 0)->text, QByteArray("text"));
        f.cells = {{1, 0, {}, 0, bmp}, {2, 0, "text"}};
        QCOMPARE(grid.toBytes(), f.bytes());
    }

    // A file of cells without texts (check marks only) is not kept once loaded, since no text lies
    // in it; those cells read, change and save as the cells without text they are.
    void cellsWithoutTextOutliveTheirFile() {
        GridFile f;
        f.rows = 400;
        f.columns = 2;
        for (int r = 1; r < f.rows; ++r)
            f.cells.append({r, 1, {}, 1});
        GridStore grid;
        QVERIFY(grid.loadFromBytes(f.bytes()));
        for (int r = 1; r < f.rows; ++r) {
            QVERIFY(grid.cellBytes(r, 1).isEmpty());
            QVERIFY(grid.isChecked(r, 1));
        }
        QVERIFY(grid.setCell(2, 1, QStringLiteral("b")));
        QVERIFY(grid.setCell(2, 1, QString()));
        QVERIFY(grid.cellBytes(2, 1).isEmpty());
        QCOMPARE(grid.toBytes(), f.bytes());
    }

    // Deleting a row shortens every range rule B that spans it; a load, then a reset, brings back
    // the grid's own definition but keeps rules B and the print settings.
    void rulesAndReset() {
        GridFile f = fullFile();
        f.rulesB = {{1, 1, 3, 4}, {1, 2, 2, 3}, {2, 3, 3, 5}};
        GridStore::Definition d;
        d.rows = 2;
        d.columns = 2;
        GridStore grid(d);
        grid.setLookSetting(5, 1); // follows into the settings a reset returns to
        QVERIFY(grid.loadFromBytes(f.bytes()));
        QVERIFY(grid.deleteRow(2));
        QCOMPARE(grid.rangeRules()[0].lastRow, 2);
        QCOMPARE(grid.rangeRules()[0].resultRow, 3);
        QCOMPARE(grid.rangeRules()[1].lastRow, 1);
        QCOMPARE(grid.rangeRules()[2].lastRow, 3);
        QCOMPARE(grid.rangeRules()[2].resultRow, 5);

        QSignalSpy resets(&grid, &QAbstractItemModel::modelReset);
        QSignalSpy geometry(&grid, &GridStore::geometryChanged);
        grid.resetGrid();
        QCOMPARE(resets.size(), 1);
        QCOMPARE(geometry.size(), 1);
        QCOMPARE(grid.rowCount(), 3);
        QCOMPARE(grid.columnCount(), 4);
        QCOMPARE(grid.fixedColumnCount(), 0);
        QCOMPARE(grid.defaultBackground(), 0xFFFFFFu);
        QCOMPARE(grid.lookSetting(5), 1);
        QCOMPARE(grid.lookSetting(1), 0);
        QCOMPARE(grid.rowHeight(2), 33); // each row keeps its height
        QVERIFY(grid.columnKinds().isEmpty());
        QVERIFY(grid.mergedRanges().isEmpty());
        QVERIFY(grid.calculationRules().isEmpty());
        QCOMPARE(grid.rangeRules().size(), 3);
        QCOMPARE(grid.printSettings().titleAlignment, 3);
        QVERIFY(grid.cell(1, 1)->isDefault());
        QVERIFY(grid.getCell(1, 0).typeId() == QMetaType::QString); // no image column any more
    }

    void unreadableFiles() {
        QTemporaryDir dir;
        GridStore grid;
        QVERIFY(!grid.loadFromFile(dir.filePath(QStringLiteral("商品库存"))));
        QCOMPARE(grid.errorString(), QStringLiteral("找不到文件"));
        QVERIFY(!grid.loadFromFile(dir.path()));
        QCOMPARE(grid.errorString(), QStringLiteral("无法读取文件"));
    }

    // A damaged file is put aside beside itself under the first free number, in any directory: one
    // whose name holds "%1" keeps its own name.
    void damagedFileIsSetAside_data() {
        QTest::addColumn<QString>("directory");
        QTest::newRow("plain") << QStringLiteral("台球室");
        QTest::newRow("with %1") << QStringLiteral("店%1号");
        QTest::newRow("with %2 and %1") << QStringLiteral("%2%1");
    }

    void damagedFileIsSetAside() {
        QFETCH(QString, directory);
        QTemporaryDir root;
        const QString path = root.filePath(directory);
        QVERIFY(QDir().mkpath(path));
        const DataDirectory data(path);
        const QByteArray damaged(600, 'x');
        QVERIFY(saveWholeFile(data.filePath(QStringLiteral("表格设置")), damaged));
        QVERIFY(saveWholeFile(data.filePath(QStringLiteral("表格设置.无法读取1")), QByteArray("an earlier one")));
        GridStore grid;
        const QByteArray before = grid.toBytes();
        ScriptedMessages messages;
        QCOMPARE(loadKeepingDamaged(grid, data, QStringLiteral("表格设置"), messages), GridFileLoad::SetAside);
        QCOMPARE(grid.toBytes(), before);
        QVERIFY(!QFile::exists(data.filePath(QStringLiteral("表格设置"))));
        QCOMPARE(fileBytes(data.filePath(QStringLiteral("表格设置.无法读取1"))), QByteArray("an earlier one"));
        QCOMPARE(fileBytes(data.filePath(QStringLiteral("表格设置.无法读取2"))), damaged);
        QCOMPARE(
            messages.shownTexts(),
            QStringList{QStringLiteral(
                "文件“表格设置”无法读取（不是表格文件），已改名为“表格设置.无法读取2”保留，程序用新的文件继续。")});
    }

    // A save that fails half way leaves the previous file exactly as it was.
    void failedSaveKeepsTheOldFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("2013年5月20日收入统计"));
        GridStore grid({.rows = 40, .columns = 3});
        for (int r = 1; r < 40; ++r)
            grid.setCell(r, 0, QStringLiteral("红茶"));
        QVERIFY(grid.saveToFile(path));
        const QByteArray old = fileBytes(path);
        grid.insertRow(QStringLiteral("绿茶"), 1);
        FailingWriter disk;
        disk.failAfter(100);
        QVERIFY(!grid.saveToFile(path, disk));
        QCOMPARE(grid.errorString(), QStringLiteral("磁盘空间不够：设备已满")); // the reason, passed on
        QCOMPARE(fileBytes(path), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);

        QBuffer buffer;
        QVERIFY(buffer.open(QIODevice::WriteOnly));
        FailingDevice full(&buffer, 600);
        QVERIFY(!grid.saveToDevice(full));
        QVERIFY(!grid.errorString().isEmpty());
        QBuffer whole;
        QVERIFY(whole.open(QIODevice::WriteOnly));
        QVERIFY(grid.saveToDevice(whole));
        QVERIFY(grid.errorString().isEmpty());
        QCOMPARE(whole.data(), grid.toBytes());
        QVERIFY(!grid.saveToFile(dir.filePath(QStringLiteral("没有的目录/表格设置"))));
    }

    // The cells a file brings selected are no longer selected once it is saved, and keep the rest
    // of their state.
    void selectionFromAFileIsCleared() {
        testgrid::GridFile f;
        f.rows = 4;
        f.columns = 2;
        f.cells = {{1, 1, "a"}, {2, 1, "b"}};
        f.lists[testgrid::State] = {{1, 1, Cell::SelectedState},
                                    {2, 1, Cell::SelectedState | Cell::ReadOnlyState},
                                    {3, 0, Cell::SelectedState}};
        GridStore grid;
        QVERIFY(grid.loadFromBytes(f.bytes()));
        QCOMPARE(grid.cell(3, 0)->state, Cell::SelectedState);
        testgrid::GridFile expected = f;
        expected.lists[testgrid::State] = {{2, 1, Cell::ReadOnlyState}};
        QCOMPARE(grid.toBytes(), expected.bytes());
        QCOMPARE(grid.cell(1, 1)->state, 0);
        QCOMPARE(grid.cell(2, 1)->state, Cell::ReadOnlyState);
        QVERIFY(grid.cell(3, 0)->isDefault());
    }

    // After a save no cell is focused or selected.
    void saveClearsFocusAndSelection() {
        GridStore grid({.rows = 3, .columns = 2});
        grid.setFocusCell(1, 1);
        grid.editCell(2, 1, [](Cell& c) { c.state = Cell::SelectedState | Cell::ReadOnlyState; });
        QSignalSpy focus(&grid, &GridStore::focusChanged);
        grid.toBytes();
        QCOMPARE(grid.focusRow(), -1);
        QCOMPARE(grid.cell(2, 1)->state, Cell::ReadOnlyState);
        QCOMPARE(focus.size(), 1);
    }
};

QTEST_APPLESS_MAIN(TestGridFile)
#include "test_grid_file.moc"
