#include "common/cp936.h"
#include "common/text_rules.h"

#include <QTest>

#include <limits>

using namespace cuemora;

class TestTextRules : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void realToText_data();
    void realToText();
    void integerToText();
    void textToNumber_data();
    void textToNumber();
    void readsAsNumber_data();
    void readsAsNumber();
    void truncateToWhole_data();
    void truncateToWhole();
    void dateTimeToText_data();
    void dateTimeToText();
    void dateTimeFromOtherTexts_data();
    void dateTimeFromOtherTexts();
    void valueRules();
    void cp936_data();
    void cp936();
};

void TestTextRules::realToText_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("fraction") << 1.5 << "1.5";
    QTest::newRow("whole real") << 30.0 << "30";
    QTest::newRow("thirteen digits") << 1000 / 3600.0 << "0.2777777777778";
    QTest::newRow("from the text before") << 0.2777777777778 * 15 << "4.166666666667";
    QTest::newRow("discounted") << 4.166666666667 * 8 / 10.0 << "3.333333333334";
    QTest::newRow("sum") << 36.5 + 4.166666666667 << "40.66666666667";
    QTest::newRow("negative change") << 30 - 36.5 << "-6.5";
    QTest::newRow("negative zero") << -0.0 << "0";
    QTest::newRow("large") << 1e21 << "1e+21";
    QTest::newRow("small") << 0.00001 << "1e-05";
    QTest::newRow("fourteen digits round") << 123456789012345.0 << "1.234567890123e+14";
}

void TestTextRules::realToText() {
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(cuemora::realToText(value), text);
}

void TestTextRules::integerToText() {
    QCOMPARE(cuemora::integerToText(0), QStringLiteral("0"));
    QCOMPARE(cuemora::integerToText(61), QStringLiteral("61"));
    QCOMPARE(cuemora::integerToText(-3), QStringLiteral("-3"));
    QCOMPARE(cuemora::integerToText(std::numeric_limits<qint64>::max()), QStringLiteral("9223372036854775807"));
    QCOMPARE(truthToText(true), QStringLiteral("真"));
    QCOMPARE(truthToText(false), QStringLiteral("假"));
}

void TestTextRules::textToNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("number");
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("plain") << "20" << 20.0;
    QTest::newRow("fraction") << "12.5" << 12.5;
    QTest::newRow("leading blanks") << "  \t7" << 7.0;
    QTest::newRow("signs") << "-3.5" << -3.5;
    QTest::newRow("plus") << "+4" << 4.0;
    QTest::newRow("trailing text") << "15元" << 15.0;
    QTest::newRow("not a number") << "abc" << 0.0;
    QTest::newRow("sign alone") << "-" << 0.0;
    QTest::newRow("point alone") << "." << 0.0;
    QTest::newRow("leading point") << ".5" << 0.5;
    QTest::newRow("trailing point") << "5." << 5.0;
    QTest::newRow("exponent") << "1.5e3" << 1500.0;
    QTest::newRow("exponent without digits") << "2e" << 2.0;
    QTest::newRow("exponent sign without digits") << "2e+x" << 2.0;
    QTest::newRow("hex is not read") << "0x1A" << 0.0;
    QTest::newRow("infinity is not a number") << "inf" << 0.0;
    QTest::newRow("too large to hold") << "1e400" << 0.0;
    QTest::newRow("minus zero") << "-0" << 0.0;
    QTest::newRow("many digits") << "999999999999999999999" << 1e21;
    QTest::newRow("full-width digits") << "１２．５" << 12.5;
    QTest::newRow("full-width sign") << "－３" << -3.0;
    QTest::newRow("ideographic space") << "\u3000８" << 8.0;
    QTest::newRow("chinese first") << "共5" << 0.0;
    QTest::newRow("blank inside") << "1 2" << 1.0;
}

void TestTextRules::textToNumber() {
    QFETCH(QString, text);
    QFETCH(double, number);
    QCOMPARE(cuemora::textToNumber(text), number);
}

void TestTextRules::readsAsNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("reads");
    QTest::newRow("plain") << "20" << true;
    QTest::newRow("zero") << "0" << true;
    QTest::newRow("with its unit") << "15元" << true;
    QTest::newRow("leading point") << ".5" << true;
    QTest::newRow("blanks and a sign") << "  -3" << true;
    QTest::newRow("full-width") << "８" << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("letters") << "abc" << false;
    QTest::newRow("sign alone") << "-" << false;
    QTest::newRow("point alone") << "." << false;
    QTest::newRow("chinese first") << "共5" << false;
}

void TestTextRules::readsAsNumber() {
    QFETCH(QString, text);
    QFETCH(bool, reads);
    QCOMPARE(cuemora::readsAsNumber(text), reads);
}

void TestTextRules::truncateToWhole_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<qint64>("whole");
    QTest::newRow("down") << 3.9 << qint64(3);
    QTest::newRow("toward zero") << -3.9 << qint64(-3);
    QTest::newRow("exact") << 2.0 << qint64(2);
    QTest::newRow("too large") << 1e300 << std::numeric_limits<qint64>::max();
    QTest::newRow("too small") << -1e300 << std::numeric_limits<qint64>::min();
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << qint64(0);
}

void TestTextRules::truncateToWhole() {
    QFETCH(double, value);
    QFETCH(qint64, whole);
    QCOMPARE(cuemora::truncateToWhole(value), whole);
}

void TestTextRules::dateTimeToText_data() {
    QTest::addColumn<QDateTime>("moment");
    QTest::addColumn<QString>("text");
    const QDate day(2013, 5, 7);
    QTest::newRow("seconds") << QDateTime(day, QTime(14, 3, 27)) << "2013年5月7日14时3分27秒";
    QTest::newRow("seconds at midnight") << QDateTime(day, QTime(0, 0, 5)) << "2013年5月7日0时0分5秒";
    QTest::newRow("minutes") << QDateTime(day, QTime(14, 3, 0)) << "2013年5月7日14时3分";
    QTest::newRow("hour") << QDateTime(day, QTime(14, 0, 0)) << "2013年5月7日14时";
    QTest::newRow("midnight") << QDateTime(day, QTime(0, 0, 0)) << "2013年5月7日";
    QTest::newRow("two-digit day") << QDateTime(QDate(2013, 12, 20), QTime(9, 30, 0)) << "2013年12月20日9时30分";
}

void TestTextRules::dateTimeToText() {
    QFETCH(QDateTime, moment);
    QFETCH(QString, text);
    QCOMPARE(cuemora::dateTimeToText(moment), text);
    QCOMPARE(cuemora::dayText(moment.date()), text.left(text.indexOf(QStringLiteral("日")) + 1));
    QCOMPARE(cuemora::dateTimeFromText(text), moment); // and back, as a start time is read at a restart
}

// Texts that name no moment: a start time edited by hand, or damaged, is never read as one.
void TestTextRules::dateTimeFromOtherTexts_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDateTime>("moment");
    const QDateTime none;
    QTest::newRow("leading zeros") << "2013年05月07日09时03分07秒" << QDateTime(QDate(2013, 5, 7), QTime(9, 3, 7));
    QTest::newRow("a zero written out") << "2013年5月7日14时0分5秒" << QDateTime(QDate(2013, 5, 7), QTime(14, 0, 5));
    QTest::newRow("empty") << "" << none;
    QTest::newRow("no such day") << "2013年2月29日14时" << none;
    QTest::newRow("hour 24") << "2013年5月7日24时" << none;
    QTest::newRow("seconds without minutes") << "2013年5月7日14时5秒" << none;
    QTest::newRow("full-width digits") << "２０１３年5月7日" << none;
    QTest::newRow("text after") << "2013年5月7日14时3分27秒 " << none;
    QTest::newRow("huge year") << "99999年5月7日" << none;
    QTest::newRow("words") << "下午两点" << none;
}

void TestTextRules::dateTimeFromOtherTexts() {
    QFETCH(QString, text);
    QFETCH(QDateTime, moment);
    QCOMPARE(cuemora::dateTimeFromText(text), moment);
}

void TestTextRules::valueRules() {
    QCOMPARE(valueToText(QVariant(true)), QStringLiteral("真"));
    QCOMPARE(valueToText(QVariant(42)), QStringLiteral("42"));
    QCOMPARE(valueToText(QVariant(2.5)), QStringLiteral("2.5"));
    QCOMPARE(valueToText(QVariant(QStringLiteral("大厅"))), QStringLiteral("大厅"));
    QCOMPARE(valueToText(QVariant()), QString());
    QCOMPARE(valueToNumber(QVariant(true)), 1.0);
    QCOMPARE(valueToNumber(QVariant(false)), 0.0);
    QCOMPARE(valueToNumber(QVariant(QStringLiteral("１０"))), 10.0);
}

void TestTextRules::cp936_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ascii") << "abc" << QByteArray("abc");
    QTest::newRow("caption") << "名称" << QByteArray("\xc3\xfb\xb3\xc6");
    QTest::newRow("euro") << "€" << QByteArray("\x80");
    QTest::newRow("full-width one") << "１" << QByteArray("\xa3\xb1");
}

void TestTextRules::cp936() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    bool lossless = false;
    QCOMPARE(toCp936(text, &lossless), bytes);
    QVERIFY(lossless);
    QCOMPARE(fromCp936(bytes), text);
    QVERIFY(fitsCp936(text));
}

QTEST_APPLESS_MAIN(TestTextRules)
#include "test_text_rules.moc"
