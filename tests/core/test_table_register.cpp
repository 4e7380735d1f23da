#include "tables/table_register.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace cuemora;

namespace {

struct Table {
    QString type;
    QString name;
    QString start; // empty for a free table
    QString seconds;
};

void addTables(TableRegister& tables, const QList<Table>& rows) {
    GridStore& grid = tables.grid();
    for (const Table& table : rows) {
        QVERIFY(grid.insertRow());
        const int r = grid.rowCount() - 1;
        grid.setCell(r, RegisterColumn::Type, table.type);
        grid.setCell(r, RegisterColumn::Name, table.name);
        grid.setCell(r, RegisterColumn::Price, QStringLiteral("20"));
        grid.setCell(r, RegisterColumn::Rate, QStringLiteral("10"));
        if (!table.start.isEmpty()) {
            grid.setCell(r, RegisterColumn::Start, table.start);
            grid.setCell(r, RegisterColumn::Seconds, table.seconds);
            QVERIFY(grid.setChecked(r, RegisterColumn::InUse, true));
        }
    }
    tables.RenumberTables();
    tables.RefreshPictures();
}

quint32 le32(const QByteArray& bytes, int at) {
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

quint16 le16(const QByteArray& bytes, int at) {
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

} // namespace

class TestTableRegister : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A fresh register: the header row alone, eleven captions and widths, pictures in the one fixed
    // column and check boxes in "是否使用", every row 30 pixels high.
    void freshRegister_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("width");
        const QList<std::pair<QString, int>> heads = {
            {u"图片"_qs, 40},     {u"序号"_qs, 30},      {u"类型"_qs, 50},     {u"台名称"_qs, 120},
            {u"单价/h"_qs, 60},   {u"开始时间"_qs, 120}, {u"使用时长"_qs, 60}, {u"记录商品名称"_qs, 120},
            {u"记录总价"_qs, 60}, {u"是否使用"_qs, 60},  {u"折率"_qs, 40},
        };
        for (int column = 0; column < heads.size(); ++column)
            QTest::addRow("%d %s", column, qPrintable(heads[column].first))
                << column << heads[column].first << heads[column].second;
    }

    void freshRegister() {
        QFETCH(int, column);
        QFETCH(QString, caption);
        QFETCH(int, width);
        // As built, and as "重设" leaves a register that held tables.
        TableRegister fresh;
        TableRegister reset;
        addTables(reset, {{billiardType(), u"1号大厅"_qs, u"2013年5月20日9时"_qs, u"60"_qs}});
        reset.reset();
        for (TableRegister* tables : {&fresh, &reset}) {
            const GridStore& grid = tables->grid();
            QCOMPARE(grid.rowCount(), 1);
            QCOMPARE(grid.columnCount(), 11);
            QCOMPARE(grid.fixedRowCount(), 1);
            QCOMPARE(grid.fixedColumnCount(), 1);
            QCOMPARE(grid.rowHeight(0), 30);
            QCOMPARE(tables->tableCount(), 0);
            QCOMPARE(grid.cellText(0, column), caption);
            QCOMPARE(grid.columnWidth(column), width);
            const int kind = column == RegisterColumn::Picture ? ImageColumn
                             : column == RegisterColumn::InUse ? CheckBoxColumn
                                                               : 0;
            QCOMPARE(grid.columnKindCode(column), kind);
            QCOMPARE(grid.lookSetting(5), 1); // the operator edits cells in place
            QCOMPARE(grid.gridLineColour(), 0xC0C0C0u);
        }
        QCOMPARE(reset.grid().toBytes(), fresh.grid().toBytes());
    }

    void tablesAreNumberedByTheirRows() {
        TableRegister tables;
        addTables(tables, {{billiardType(), u"1号大厅"_qs, {}, {}},
                           {billiardType(), u"2号大厅"_qs, {}, {}},
                           {mahjongType(), u"1号包间"_qs, {}, {}}});
        QCOMPARE(tables.tableCount(), 3);
        for (int n = 1; n <= 3; ++n)
            QCOMPARE(tables.grid().cellText(n, RegisterColumn::Number), QString::number(n));
        QCOMPARE(tables.name(3), u"1号包间"_qs);
        QVERIFY(tables.isTable(3));
        QVERIFY(!tables.isTable(0));
        QVERIFY(!tables.isTable(4));
    }

    // A register saved with tables in use comes back at the next start with their ticks, start
    // times, seconds and the in-use picture of each row's type.
    void savedRegisterComesBack() {
        QTemporaryDir dir;
        const DataDirectory data(dir.path());
        {
            TableRegister saved;
            addTables(saved, {{billiardType(), u"1号大厅"_qs, {}, {}},
                              {billiardType(), u"2号大厅"_qs, u"2013年5月7日14时3分27秒"_qs, u"65"_qs},
                              {mahjongType(), u"1号包间"_qs, u"2013年5月7日9时"_qs, u"3600"_qs},
                              {mahjongType(), u"2号包间"_qs, {}, {}}});
            QString error;
            QVERIFY2(saved.SaveRegister(data, &error), qPrintable(error));
        }
        QVERIFY(QFile::exists(dir.filePath(TableRegister::fileName())));

        TableRegister loaded;
        QVERIFY(loaded.LoadRegister(data));
        loaded.RefreshPictures();
        const GridStore& grid = loaded.grid();
        QCOMPARE(loaded.tableCount(), 4);
        QCOMPARE(grid.cellText(0, RegisterColumn::Start), u"开始时间"_qs);
        QCOMPARE(grid.columnKindCode(RegisterColumn::InUse), int(CheckBoxColumn));
        const QList<bool> inUse = {false, true, true, false};
        const QList<StatusPicture> pictures = {StatusPicture::BilliardFree, StatusPicture::BilliardInUse,
                                               StatusPicture::MahjongInUse, StatusPicture::MahjongFree};
        for (int n = 1; n <= 4; ++n) {
            QCOMPARE(loaded.isInUse(n), inUse[n - 1]);
            QCOMPARE(grid.getCell(n, RegisterColumn::Picture).toByteArray(), statusPictureBitmap(pictures[n - 1]));
        }
        QCOMPARE(grid.cellText(2, RegisterColumn::Start), u"2013年5月7日14时3分27秒"_qs);
        QCOMPARE(grid.cellText(2, RegisterColumn::Seconds), u"65"_qs);
        QCOMPARE(grid.cellText(3, RegisterColumn::Start), u"2013年5月7日9时"_qs);
        QCOMPARE(grid.cellText(4, RegisterColumn::Start), QString());
        QCOMPARE(loaded.lastTableInUse(), 3);
    }

    // No file, or a file the grid refuses: the empty register stays as it was.
    void unreadableFileLeavesTheEmptyRegister_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<bool>("present");
        QTest::newRow("no file") << QByteArray() << false;
        QTest::newRow("empty file") << QByteArray() << true;
        QTest::newRow("not a grid file") << QByteArray("桌球台 1号大厅 20 10\r\n") << true;
        QTest::newRow("cut short") << QByteArray(37, '\x01') << true;
    }

    void unreadableFileLeavesTheEmptyRegister() {
        QFETCH(QByteArray, contents);
        QFETCH(bool, present);
        QTemporaryDir dir;
        if (present) {
            QFile file(dir.filePath(TableRegister::fileName()));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(contents);
        }
        TableRegister tables;
        QVERIFY(!tables.LoadRegister(DataDirectory(dir.path())));
        tables.RefreshPictures();
        QCOMPARE(tables.grid().rowCount(), 1);
        QCOMPARE(tables.grid().cellText(0, RegisterColumn::Name), u"台名称"_qs);
        QCOMPARE(tables.grid().columnWidth(RegisterColumn::Name), 120);
    }

    // Only the exact text "桌球台" gets the billiard pictures; every other type the mahjong ones.
    void pictureFollowsTypeAndState_data() {
        QTest::addColumn<QString>("type");
        QTest::addColumn<bool>("inUse");
        QTest::addColumn<int>("picture");
        QTest::newRow("billiard free") << billiardType() << false << int(StatusPicture::BilliardFree);
        QTest::newRow("billiard in use") << billiardType() << true << int(StatusPicture::BilliardInUse);
        QTest::newRow("mahjong free") << mahjongType() << false << int(StatusPicture::MahjongFree);
        QTest::newRow("mahjong in use") << mahjongType() << true << int(StatusPicture::MahjongInUse);
        QTest::newRow("other type free") << u"斯诺克"_qs << false << int(StatusPicture::MahjongFree);
        QTest::newRow("other type in use") << u"斯诺克"_qs << true << int(StatusPicture::MahjongInUse);
        QTest::newRow("empty type") << QString() << true << int(StatusPicture::MahjongInUse);
        QTest::newRow("billiard with a blank") << u"桌球台 "_qs << false << int(StatusPicture::MahjongFree);
        QTest::newRow("full-width look-alike") << u"桌球台　"_qs << true << int(StatusPicture::MahjongInUse);
    }

    void pictureFollowsTypeAndState() {
        QFETCH(QString, type);
        QFETCH(bool, inUse);
        QFETCH(int, picture);
        const auto expected = StatusPicture(picture);
        QCOMPARE(statusPictureFor(type, inUse), expected);

        TableRegister tables;
        addTables(tables, {{type, u"1号"_qs, inUse ? u"2013年5月7日"_qs : QString(), u"1"_qs}});
        QCOMPARE(tables.grid().getCell(1, RegisterColumn::Picture).toByteArray(), statusPictureBitmap(expected));
    }

    // The four pictures are 32 x 32, 32-bit icons of 4,286 bytes, distinct from each other, and the
    // grid keeps each as a 24-bit bitmap of the same size.
    void statusPicturesAreTheProgramsIcons() {
        QSet<QByteArray> seen;
        for (StatusPicture picture : {StatusPicture::BilliardFree, StatusPicture::BilliardInUse,
                                      StatusPicture::MahjongFree, StatusPicture::MahjongInUse}) {
            const QByteArray icon = statusPictureIcon(picture);
            QCOMPARE(icon.size(), 4286);
            QCOMPARE(le16(icon, 0), quint16(0));
            QCOMPARE(le16(icon, 2), quint16(1)); // an icon
            QCOMPARE(le16(icon, 4), quint16(1)); // one image
            QCOMPARE(quint8(icon[6]), quint8(32));
            QCOMPARE(quint8(icon[7]), quint8(32));
            QCOMPARE(le16(icon, 12), quint16(32)); // bits per pixel
            QCOMPARE(le32(icon, 14), 4286u - 22u);
            QCOMPARE(le32(icon, 18), 22u);
            QCOMPARE(le32(icon, 22), 40u);
            QCOMPARE(le32(icon, 30), 64u); // the height counts the mask
            seen.insert(icon);

            const QByteArray bitmap = statusPictureBitmap(picture);
            QVERIFY(bitmap.startsWith("BM"));
            QCOMPARE(bitmap.size(), 3126);
        }
        QCOMPARE(seen.size(), 4);
    }

    // The program may end only when no table is in use; the highest one in use is named.
    void exitIsRefusedWhileATableIsInUse_data() {
        QTest::addColumn<QList<int>>("inUse");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("none") << QList<int>{} << QString();
        QTest::newRow("tables 2 and 5") << QList<int>{2, 5} << u"还有第5台没有结账，不能退出"_qs;
        QTest::newRow("only the first") << QList<int>{1} << u"还有第1台没有结账，不能退出"_qs;
    }

    void exitIsRefusedWhileATableIsInUse() {
        QFETCH(QList<int>, inUse);
        QFETCH(QString, refusal);
        TableRegister tables;
        QList<Table> rows;
        for (int n = 1; n <= 6; ++n)
            rows.append({n % 2 ? billiardType() : mahjongType(), QString::number(n) + u"号"_qs,
                         inUse.contains(n) ? u"2013年5月7日"_qs : QString(), u"1"_qs});
        addTables(tables, rows);
        QCOMPARE(exitRefusal(tables), refusal);
    }
};

QTEST_APPLESS_MAIN(TestTableRegister)
#include "test_table_register.moc"
