#include "accounts/scrambling.h"
#include "common/cp936.h"

#include <QTest>

using namespace cuemora;

class TestScrambling : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void lines_data();
    void lines();
    void textLevel();
    void positionStartsOverAfter128Bytes();
    void everyByteComesBack();
    void hexRoutines_data();
    void hexRoutines();
};

// Rows marked "both ways" are lines the program writes; the others are lines it only has to read
// (edited by hand or written by other tools).
void TestScrambling::lines_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<bool>("bothWays");

    const QByteArray zhong = toCp936(QStringLiteral("中"));
    QTest::newRow("abc") << QByteArray("abc") << QByteArray("70,E9,09,") << QByteArray() << true;
    QTest::newRow("empty") << QByteArray() << QByteArray() << QByteArray() << true;
    QTest::newRow("default account") << QByteArray("tulip") << QByteArray("65,FE,06,1E,C9,") << QByteArray() << true;
    QTest::newRow("default password") << QByteArray("947") << QByteArray("28,BF,5D,") << QByteArray() << true;
    QTest::newRow("chinese character: two groups") << zhong << QByteArray("C7,5B,") << QByteArray() << true;
    QTest::newRow("with a key") << QByteArray("abc") << QByteArray("DC,16,0C,") << QByteArray("k") << true;
    QTest::newRow("lower-case digits") << QByteArray("abc") << QByteArray("70,e9,09,") << QByteArray() << false;
    QTest::newRow("no commas") << QByteArray("abc") << QByteArray("70E909") << QByteArray() << false;
    QTest::newRow("commas anywhere") << QByteArray("abc") << QByteArray(",7,0E9,,09") << QByteArray() << false;
    // "G0" reads as -2 * 16 + 0 = -32, whose low byte 0xE0 meets the first keystream byte 0x11.
    QTest::newRow("non-hex counts as -2") << QByteArray("\xF1"
                                                        "bc")
                                          << QByteArray("G0,E9,09,") << QByteArray() << false;
    // "0" alone is the byte 0, which comes out as the third keystream byte 0x6A.
    QTest::newRow("final single character") << QByteArray("ab\x6A") << QByteArray("70,E9,0") << QByteArray() << false;
}

void TestScrambling::lines() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, key);
    QFETCH(bool, bothWays);
    if (bothWays) {
        QCOMPARE(scrambleBytes(text, key), line);
        QCOMPARE(line.size(), text.size() * 3);
    }
    QCOMPARE(unscrambleBytes(line, key), text);
    // Each call starts its own keystream: the calls before leave no trace.
    if (bothWays)
        QCOMPARE(scrambleBytes(text, key), line);
    QCOMPARE(unscrambleBytes(line, key), text);
}

void TestScrambling::textLevel() {
    QCOMPARE(scrambleText(QStringLiteral("abc")), QStringLiteral("70,E9,09,"));
    QCOMPARE(unscrambleText(QStringLiteral("70,e9,09,")), QStringLiteral("abc"));
    QCOMPARE(scrambleText(QStringLiteral("中")), QStringLiteral("C7,5B,"));
    QCOMPARE(unscrambleText(QStringLiteral("C7,5B,")), QStringLiteral("中"));
    QCOMPARE(scrambleText(QString()), QString());
    QCOMPARE(unscrambleText(QString()), QString());
}

void TestScrambling::positionStartsOverAfter128Bytes() {
    // i visits 2, 4, ..., 256 and then 2 again; the tail of a 130-byte line pins that step.
    QCOMPARE(scrambleBytes(QByteArray(130, 'x')).right(9), QByteArray("5E,E6,15,"));
}

void TestScrambling::everyByteComesBack() {
    QByteArray all;
    for (int n = 0; n < 256; ++n)
        all += static_cast<char>(n);
    const QByteArray text = all + all + all;
    QCOMPARE(unscrambleBytes(scrambleBytes(text)), text);
    QCOMPARE(unscrambleBytes(scrambleBytes(text, "key"), "key"), text);
    QCOMPARE(byteToHex(0x0A), QByteArray("0A"));
    for (int n = 0; n < 256; ++n)
        QCOMPARE(hexToNumber(byteToHex(static_cast<quint8>(n))), n);
}

void TestScrambling::hexRoutines_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<qint64>("number");
    QTest::newRow("empty") << QByteArray() << qint64(0);
    QTest::newRow("upper") << QByteArray("E9") << qint64(0xE9);
    QTest::newRow("lower") << QByteArray("e9") << qint64(0xE9);
    QTest::newRow("single digit") << QByteArray("7") << qint64(7);
    QTest::newRow("non-hex letter") << QByteArray("G") << qint64(-2);
    QTest::newRow("two non-hex") << QByteArray("GG") << qint64(-34);
    QTest::newRow("non-hex after a digit") << QByteArray("1 ") << qint64(14);
    QTest::newRow("beyond 32 bits") << QByteArray("FFFFFFFFF") << qint64(0xFFFFFFFFF);
}

void TestScrambling::hexRoutines() {
    QFETCH(QByteArray, text);
    QFETCH(qint64, number);
    QCOMPARE(hexToNumber(text), number);
}

QTEST_APPLESS_MAIN(TestScrambling)
#include "test_scrambling.moc"
