// Hostile grid files against the two roads every file of the room takes: loading, and the
// checkout's load, insert and save. Each either loads and costs what its cells cost, or is refused
// like a damaged file; none runs for seconds, asks for gigabytes or makes a save grow.
#include "support/manual_clock.h"
#include "support/scripted_messages.h"
#include "takings/takings_book.h"
#include "common/clock.h"
#include "common/data_directory.h"
#include "common/messages.h"
#include "hostile_grid_files.h"
#include "store/grid_store.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace cuemora;
using namespace testgrid;

namespace {

// Well past what these files cost (a few milliseconds each in a release build), far below what
// they cost before they were bounded (seconds to minutes): room for a debug build under the
// sanitizers on a busy machine, none for a walk over rows times columns.
#if defined(__SANITIZE_ADDRESS__)
constexpr qint64 kMostMilliseconds = 5000;
#else
constexpr qint64 kMostMilliseconds = 1000;
#endif

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

const QString kToday = QStringLiteral("2013年5月20日收入统计");

} // namespace

class TestGridHostile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void hostileFiles_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("refusal"); // empty: the file loads
        using namespace hostile;
        QTest::newRow("row 0 with bit 24 of its height") << tallHeaderRow(takingsFile(40)).bytes() << QString();
        QTest::newRow("20,000 x 20,000 coloured") << vastColoured(takingsFile(40), 20000).bytes() << QString();
        QTest::newRow("3,000 x 3,000 coloured") << vastColoured(takingsFile(40), 3000).bytes() << QString();
        QTest::newRow("200,000 rows of many heights") << manyHeights(takingsFile(40), 200000).bytes() << QString();
        QTest::newRow("twenty 4096 x 4096 one-bit pictures")
            << bigPictures(takingsFile(40), 20, 4096).bytes() << QStringLiteral("文件太大：最多 32 MB");
        QTest::newRow("three 4096 x 4096 one-bit pictures")
            << bigPictures(takingsFile(40), 3, 4096).bytes() << QStringLiteral("图片太大：一个文件的图片最多 32 MB");
        GridFile tooManyRows = takingsFile(40);
        tooManyRows.rows = 1000001;
        QTest::newRow("1,000,001 rows") << tooManyRows.bytes()
                                        << QStringLiteral("行数太多：1000001 行，最多 1000000 行");
    }

    // Loading: quick, or refused without a change to the grid.
    void hostileFiles() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, refusal);
        GridStore grid(GridStore::Definition::list(3, 100));
        const QByteArray before = grid.toBytes();
        QElapsedTimer clock;
        clock.start();
        const bool loaded = grid.loadFromBytes(bytes);
        const qint64 spent = clock.elapsed();
        QVERIFY2(spent < kMostMilliseconds, qPrintable(QStringLiteral("%1 ms").arg(spent)));
        QCOMPARE(loaded, refusal.isEmpty());
        if (!loaded) {
            QCOMPARE(grid.errorString(), refusal);
            QCOMPARE(grid.toBytes(), before);
            return;
        }
        // The grid keeps every number of the file, whatever a view makes of them.
        QCOMPARE(grid.toBytes(), bytes);
    }

    // The checkout's road: the day's file read, one row put in under the header, the file written
    // back. A file that loads grows by its new row, not by rows times columns; one that is refused
    // is put aside whole and the day begins anew.
    void checkoutOverHostileDay_data() { hostileFiles_data(); }

    void checkoutOverHostileDay() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, refusal);
        QTemporaryDir dir;
        const DataDirectory data(dir.path());
        QVERIFY(writeFile(data.filePath(kToday), bytes));
        ManualClock clock;
        ScriptedMessages messages;
        TakingsBook book(data, clock);
        QElapsedTimer timer;
        timer.start();
        QVERIFY(book.AddTakingsRows({{QStringLiteral("3号台收费"), QStringLiteral("1.5"), QStringLiteral("30")}},
                                    messages));
        const qint64 spent = timer.elapsed();
        QVERIFY2(spent < kMostMilliseconds, qPrintable(QStringLiteral("%1 ms").arg(spent)));

        const QByteArray after = fileBytes(data.filePath(kToday));
        GridStore day;
        QVERIFY(day.loadFromBytes(after));
        QCOMPARE(day.cellText(1, 0), QStringLiteral("3号台收费"));
        if (refusal.isEmpty()) {
            QVERIFY(messages.shown().isEmpty());
            GridStore old;
            QVERIFY(old.loadFromBytes(bytes));
            QCOMPARE(day.rowCount(), old.rowCount() + 1);
            QCOMPARE(day.cellText(2, 0), QStringLiteral("1号台收费"));
            // A new row of three cells and its four bytes of height, and the line colour of the
            // cells that hold something; nothing for the empty ones.
            QVERIFY2(after.size() < bytes.size() + 200 + 12 * 3 * 41, qPrintable(QString::number(after.size())));
        } else {
            QCOMPARE(day.rowCount(), 2);
            QCOMPARE(fileBytes(data.filePath(kToday + QStringLiteral(".无法读取1"))), bytes);
            QCOMPARE(messages.shown().size(), 1);
            QVERIFY2(messages.lastText().contains(refusal), qPrintable(messages.lastText()));
        }
    }
};

QTEST_APPLESS_MAIN(TestGridHostile)
#include "test_grid_hostile.moc"
