#include "support/manual_clock.h"
#include "support/scripted_messages.h"
#include "takings/takings_book.h"
#include "common/safe_save.h"
#include "grid_tool_run.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace cuemora;
using testtool::runGridTool;

// `cuemora-grid days FROM TO DIR`: the span's table as CSV for scripts, with the tool's exit codes.
class TestDaysTool : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QStringList days(const char* from, const char* to) const {
        return {QStringLiteral("days"), QString::fromUtf8(from), QString::fromUtf8(to), m_dir.path()};
    }

private Q_SLOTS:
    void initTestCase() {
        DataDirectory data(m_dir.path());
        ManualClock clock(QDateTime(QDate(2013, 5, 20), QTime(12, 0)));
        TakingsBook takings(data, clock);
        ScriptedMessages quiet;
        QVERIFY(takings.AddTakingsRows({{"可乐,大", "1", "3"}, {"3号台收费", "1.5", "36.5"}}, quiet));
        clock.advance(2 * 24 * 3600);
        QVERIFY(takings.AddTakingsRows({{"5号台收费", "0.5", "10"}}, quiet));
        QVERIFY(saveWholeFile(data.filePath(QStringLiteral("2013年5月21日收入统计")), QByteArray(600, 'x')));
    }

    // The table as the statistics window shows it, whichever way the dates are written.
    void printsTheSpan_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("ISO") << days("2013-05-19", "2013-05-20");
        QTest::newRow("day texts") << days("2013年5月19日", "2013年5月20日");
    }

    void printsTheSpan() {
        QFETCH(QStringList, arguments);
        const testtool::Run run = runGridTool(arguments);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(QString::fromUtf8(run.out), QStringLiteral("日期,台费收入,商品收入,总收入,说明\r\n"
                                                            "2013年5月19日,0,0,0,\r\n"
                                                            "2013年5月20日,36.5,3,39.5,\r\n"
                                                            "合计,36.5,3,39.5,\r\n"));
        QVERIFY(run.err.isEmpty());
    }

    // The table still comes out, the unreadable day at 0 with its reason; the file is named on
    // stderr and the exit code says that something could not be read.
    void unreadableDay() {
        const testtool::Run run = runGridTool(days("2013-05-20", "2013-05-22"));
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(QString::fromUtf8(run.out), QStringLiteral("日期,台费收入,商品收入,总收入,说明\r\n"
                                                            "2013年5月20日,36.5,3,39.5,\r\n"
                                                            "2013年5月21日,0,0,0,无法读取：不是表格文件\r\n"
                                                            "2013年5月22日,10,0,10,\r\n"
                                                            "合计,46.5,3,49.5,\r\n"));
        QCOMPARE(QString::fromUtf8(run.err),
                 QDir(m_dir.path()).filePath(QStringLiteral("2013年5月21日收入统计: 不是表格文件\n")));
    }

    void missingDirectory() {
        const QString nowhere = m_dir.filePath(QStringLiteral("没有"));
        const testtool::Run run =
            runGridTool({QStringLiteral("days"), QStringLiteral("2013-05-20"), QStringLiteral("2013-05-20"), nowhere});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.out.isEmpty());
        QCOMPARE(QString::fromUtf8(run.err), nowhere + QStringLiteral(": 找不到目录\n"));
    }

    void usageErrors_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("said");
        QTest::newRow("no DIR") << QStringList{"days", "2013-05-20", "2013-05-21"} << "";
        QTest::newRow("a date not understood") << days("2013/05/20", "2013-05-21") << "无法识别的日期“2013/05/20”";
        QTest::newRow("no such day") << days("2013-05-20", "2013-02-30") << "无法识别的日期“2013-02-30”";
        QTest::newRow("from after to") << days("2013-05-21", "2013-05-20") << "在结束日期2013年5月20日之后";
        QTest::newRow("too long a span") << days("2013-05-20", "3013-05-20") << "一次最多统计1830天";
    }

    void usageErrors() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, said);
        const testtool::Run run = runGridTool(arguments);
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.out.isEmpty());
        QVERIFY(run.err.contains("cuemora-grid days FROM TO DIR"));
        QVERIFY2(QString::fromUtf8(run.err).contains(said), run.err.constData());
    }
};

QTEST_GUILESS_MAIN(TestDaysTool)
#include "test_days_tool.moc"
