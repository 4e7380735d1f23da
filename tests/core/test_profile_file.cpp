#include "accounts/profile_file.h"
#include "accounts/profile_text.h"
#include "common/cp936.h"
#include "common/safe_save.h"
#include "support/failing_writer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace cuemora;

namespace {

QByteArray gbk(const char* text) {
    return toCp936(QString::fromUtf8(text));
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

QByteArray windowsWritten() {
    return fileBytes(QStringLiteral(CUEMORA_TEST_DATA "/accounts/windows_written.ini"));
}

const QByteArray kBom("\xEF\xBB\xBF");
const QString kBall = QString::fromUtf8("\xF0\x9F\x8E\xB1"); // a character CP936 cannot hold

} // namespace

class TestProfileFile : public QObject {
    Q_OBJECT

private Q_SLOTS:

    void reading_data();
    void reading();
    void windowsWrittenFile_data();
    void windowsWrittenFile();
    void writing_data();
    void writing();
    void refusedWrites_data();
    void refusedWrites();
    void fileRoundTrip();
    void failedSaveKeepsTheOldFile_data();
    void failedSaveKeepsTheOldFile();
    void unreadableFileIsNeverReplaced();
    void hostileBytes_data();
    void hostileBytes();
};

void TestProfileFile::reading_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("present");
    QTest::addColumn<QString>("value");

    const QString s = QStringLiteral("s");
    const QString k = QStringLiteral("k");
    const QString v = QStringLiteral("v");
    QTest::newRow("CRLF") << QByteArray("[s]\r\nk=v\r\n") << s << k << true << v;
    QTest::newRow("LF") << QByteArray("[s]\nk=v\n") << s << k << true << v;
    QTest::newRow("no final line break") << QByteArray("[s]\nk=v") << s << k << true << v;
    QTest::newRow("blanks trimmed") << QByteArray(" \t[ s ] \r\n  k \t= v  \r\n") << s << k << true << v;
    QTest::newRow("ASCII case ignored") << QByteArray("[S]\nK=v") << s << k << true << v;
    QTest::newRow("empty value") << QByteArray("[s]\nk=\n") << s << k << true << QString();
    QTest::newRow("quotes dropped") << QByteArray("[s]\nk=\" v w \"\n") << s << k << true << " v w ";
    QTest::newRow("semicolon inside a value") << QByteArray("[s]\nk=a;b") << s << k << true << "a;b";
    QTest::newRow("second equals sign in the value") << QByteArray("[s]\nk=a=b") << s << k << true << "a=b";
    QTest::newRow("first key wins") << QByteArray("[s]\nk=1\nk=2") << s << k << true << "1";
    QTest::newRow("line without equals sign") << QByteArray("[s]\nk\nk=v") << s << k << true << v;
    QTest::newRow("chinese names") << gbk("[账号密码]\r\n账号=70,\r\n") << "账号密码"
                                   << "账号" << true << "70,";
    // 乚 is 81 5D: its second byte is "]", which closes no section name.
    QTest::newRow("second byte is a bracket") << gbk("[乚]乚\nk=v") << "乚" << k << true << v;
    QTest::newRow("UTF-8 with byte-order mark") << kBom + QByteArray("[账号密码]\n账号 = x\n") << "账号密码"
                                                << "账号" << true << "x";
    QTest::newRow("UTF-16") << QByteArray("\xFF\xFE[\0s\0]\0\n\0k\0=\0v\0", 16) << s << k << false << QString();
    QTest::newRow("absent key") << QByteArray("[s]\nj=v\n") << s << k << false << QString();
    QTest::newRow("absent section") << QByteArray("[t]\nk=v\n") << s << k << false << QString();
    QTest::newRow("empty text") << QByteArray() << s << k << false << QString();
    QTest::newRow("commented out") << QByteArray("[s]\n  ;k=v\n") << s << k << false << QString();
    QTest::newRow("key before any section") << QByteArray("k=v\n[s]\n") << s << k << false << QString();
    QTest::newRow("key of a later section") << QByteArray("[s]\n[t]\nk=v\n") << s << k << false << QString();
    QTest::newRow("only the first section of a name") << QByteArray("[s]\n[s]\nk=v\n") << s << k << false << QString();
    QTest::newRow("bracket without close") << QByteArray("[s\nk=v\n") << s << k << false << QString();
    // 丄 (81 41) and 乤 (81 61) differ in a second byte that looks like "A" and "a".
    QTest::newRow("second bytes keep their case") << gbk("[s]\n丄=v\n") << s << "乤" << false << QString();
}

void TestProfileFile::reading() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(bool, present);
    QFETCH(QString, value);
    const ProfileText text(bytes);
    QCOMPARE(text.rawValue(section, key).has_value(), present);
    QCOMPARE(text.value(section, key), value);
}

// The same file as Notepad leaves it (CP936, CRLF), with LF line breaks, and saved as UTF-8.
void TestProfileFile::windowsWrittenFile_data() {
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray crlf = windowsWritten();
    QTest::newRow("CRLF") << crlf;
    QTest::newRow("LF") << QByteArray(crlf).replace("\r\n", "\n");
    QTest::newRow("UTF-8 with byte-order mark") << kBom + fromCp936(crlf).toUtf8();
}

void TestProfileFile::windowsWrittenFile() {
    QFETCH(QByteArray, bytes);
    ProfileText text(bytes);
    QCOMPARE(text.sectionNames(), QStringList({"桌球台", "麻雀台", "桌球台"}));
    QCOMPARE(text.value("桌球台", "单价"), "15");
    QCOMPARE(text.value("桌球台", "discount"), "10");
    QCOMPARE(text.value("麻雀台", "名称"), "大厅 一号");
    QVERIFY(!text.rawValue("麻雀台", "; 旧价").has_value());
    QCOMPARE(text.valueCp936("麻雀台", "名称"), gbk("大厅 一号"));

    // A new value lands in its own line and a new key after its section's last entry; every
    // other byte stays.
    const bool utf8 = bytes.startsWith(kBom);
    const QByteArray lineBreak = bytes.contains("\r\n") ? "\r\n" : "\n";
    const auto encoded = [utf8](const char* t) { return utf8 ? QByteArray(t) : gbk(t); };
    QByteArray expected = bytes;
    expected.replace(encoded("单价=20"), encoded("单价=25"));
    expected.replace("Discount=10" + lineBreak, "Discount=10" + lineBreak + encoded("折率=8") + lineBreak);
    QString error;
    QVERIFY2(text.setValues("麻雀台", {{"单价", "25"}}, &error), qPrintable(error));
    QVERIFY2(text.setValues("桌球台", {{"折率", "8"}}, &error), qPrintable(error));
    QCOMPARE(text.bytes(), expected);
}

void TestProfileFile::writing_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");

    const QString s = QStringLiteral("s");
    const QString k = QStringLiteral("k");
    const QString v = QStringLiteral("v");
    QTest::newRow("empty text") << QByteArray() << s << k << v << QByteArray("[s]\r\nk=v\r\n");
    QTest::newRow("chinese in CP936") << QByteArray() << "账号密码"
                                      << "账号"
                                      << "70," << gbk("[账号密码]\r\n账号=70,\r\n");
    QTest::newRow("value replaced in its line") << QByteArray("; c\r\n[s]\r\n  k = old  \r\nx=1\n") << s << k << v
                                                << QByteArray("; c\r\n[s]\r\n  k = v  \r\nx=1\n");
    QTest::newRow("quoted value replaced") << QByteArray("[s]\nk='old'\n") << s << k << v << QByteArray("[s]\nk=v\n");
    QTest::newRow("empty value filled") << QByteArray("[s]\nk=\n") << s << k << v << QByteArray("[s]\nk=v\n");
    QTest::newRow("spelling in the file kept") << QByteArray("[S]\nK=1\n") << s << k << v << QByteArray("[S]\nK=v\n");
    QTest::newRow("only the first section of a name")
        << QByteArray("[s]\nk=1\n[s]\nk=2\n") << s << k << v << QByteArray("[s]\nk=v\n[s]\nk=2\n");
    QTest::newRow("new key before the next section's comment")
        << QByteArray("[s]\r\na=1\r\n\r\n; about t\r\n[t]\r\n") << s << k << v
        << QByteArray("[s]\r\na=1\r\nk=v\r\n\r\n; about t\r\n[t]\r\n");
    QTest::newRow("new key in an empty section")
        << QByteArray("[s]\n[t]\n") << s << k << v << QByteArray("[s]\nk=v\n[t]\n");
    QTest::newRow("new key, last line without break")
        << QByteArray("[s]\na=1") << s << k << v << QByteArray("[s]\na=1\r\nk=v");
    QTest::newRow("new section after LF lines")
        << QByteArray("[t]\nb=2\n") << s << k << v << QByteArray("[t]\nb=2\n[s]\nk=v\n");
    QTest::newRow("new section, last line without break")
        << QByteArray("[t]\nb=2") << s << k << v << QByteArray("[t]\nb=2\r\n[s]\r\nk=v\r\n");
    QTest::newRow("UTF-8 file stays UTF-8")
        << kBom + QByteArray("[s]\n") << s << "账号" << v << kBom + QByteArray("[s]\n账号=v\n");
    QTest::newRow("emoji in a UTF-8 file")
        << kBom << s << k << kBall << kBom + QByteArray("[s]\r\nk=\xF0\x9F\x8E\xB1\r\n");
}

void TestProfileFile::writing() {
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    ProfileText text(before);
    QString error;
    QVERIFY2(text.setValues(section, {{key, value}}, &error), qPrintable(error));
    QCOMPARE(text.bytes(), after);
    QCOMPARE(text.value(section, key), value);
}

// Names and values that would not read back as given are refused, and the text stays as it was.
void TestProfileFile::refusedWrites_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");

    const QByteArray cp936("[s]\r\nk=old\r\n");
    const QString s = QStringLiteral("s");
    const QString k = QStringLiteral("k");
    QTest::newRow("line break in a value") << cp936 << s << k << QStringLiteral("a\r\nb=c");
    QTest::newRow("blank at a value's end") << cp936 << s << k << QStringLiteral("v ");
    QTest::newRow("quoted value") << cp936 << s << k << QStringLiteral("\"v\"");
    QTest::newRow("equals sign in a key") << cp936 << s << QStringLiteral("k=j") << QStringLiteral("v");
    QTest::newRow("key that reads as a comment") << cp936 << s << QStringLiteral(";k") << QStringLiteral("v");
    QTest::newRow("line break in a section") << cp936 << QStringLiteral("s\n[t") << k << QStringLiteral("v");
    QTest::newRow("emoji in a CP936 file") << cp936 << s << k << kBall;
    QTest::newRow("UTF-16 file") << QByteArray("\xFF\xFE[\0s\0]\0", 8) << s << k << QStringLiteral("v");
}

void TestProfileFile::refusedWrites() {
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    ProfileText text(before);
    QString error;
    QVERIFY(!text.setValues(section, {{QStringLiteral("other"), QStringLiteral("1")}, {key, value}}, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(text.bytes(), before);
}

void TestProfileFile::fileRoundTrip() {
    QTemporaryDir dir;
    const ProfileFile file(dir.filePath(QStringLiteral("账号密码")));
    QCOMPARE(file.sectionNames(), QStringList());
    QCOMPARE(file.readKey("账号密码", "账号"), QString());

    QString error;
    QVERIFY2(file.writeKeys("账号密码", {{"账号", "1,"}, {"密码", "2,"}}, &error), qPrintable(error));
    QCOMPARE(fileBytes(file.path()), gbk("[账号密码]\r\n账号=1,\r\n密码=2,\r\n"));
    QVERIFY(file.writeKey("账号密码", "密码", "3,"));
    QVERIFY(file.writeKey("台费", "桌球台", "15"));
    QCOMPARE(fileBytes(file.path()), gbk("[账号密码]\r\n账号=1,\r\n密码=3,\r\n[台费]\r\n桌球台=15\r\n"));
    QCOMPARE(file.sectionNames(), QStringList({"账号密码", "台费"}));
    QCOMPARE(file.readKey("账号密码", "密码"), "3,");
    QVERIFY(setFileHidden(file.path())); // nothing to do where files have no hidden attribute
}

void TestProfileFile::failedSaveKeepsTheOldFile_data() {
    QTest::addColumn<int>("failAfter");
    QTest::newRow("nothing written") << 0;
    QTest::newRow("half written") << 30;
}

void TestProfileFile::failedSaveKeepsTheOldFile() {
    QFETCH(int, failAfter);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("设置"));
    QVERIFY(saveWholeFile(path, windowsWritten()));
    FailingWriter disk;
    disk.failAfter(failAfter);
    QString error;
    QVERIFY(!ProfileFile(path, disk).writeKeys("桌球台", {{"单价", "16"}, {"新键", "1"}}, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(fileBytes(path), windowsWritten());
}

void TestProfileFile::unreadableFileIsNeverReplaced() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("账号密码"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("账号密码")));
    const ProfileFile file(path);
    ProfileText text;
    QString error;
    QVERIFY(!file.read(&text, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!file.writeKey("s", "k", "v", &error));
    QVERIFY(QFileInfo(path).isDir());
    QCOMPARE(file.sectionNames(), QStringList());
}

void TestProfileFile::hostileBytes_data() {
    QTest::addColumn<QByteArray>("bytes");
    QRandomGenerator random(936);
    QByteArray junk(10 * 1024 * 1024, Qt::Uninitialized);
    random.fillRange(reinterpret_cast<quint32*>(junk.data()), junk.size() / 4);
    QTest::newRow("10 MB of random bytes") << junk;
    QTest::newRow("10 MB on one line") << QByteArray(10 * 1024 * 1024, '[');
    QTest::newRow("10 MB of line breaks") << QByteArray(10 * 1024 * 1024, '\n');
    QTest::newRow("10 MB of sections") << QByteArray("[s]\r\n").repeated(2 * 1024 * 1024);
    QTest::newRow("10 MB of lines without equals sign")
        << QByteArray("[s]\r\n") + QByteArray("k\r\n").repeated(3500000);
    QTest::newRow("lead byte at the very end") << QByteArray("[s]\nk=v\n[\x81");
    QTest::newRow("lead byte before the bracket") << QByteArray("[s\x81]\nk=v\n");
    QTest::newRow("NUL bytes") << QByteArray("[s\0]\nk\0=v\0\n", 12);
    QTest::newRow("byte-order mark alone") << kBom;
    QTest::newRow("half a byte-order mark") << QByteArray("\xEF\xBB");
    QTest::newRow("brackets and equals signs only") << QByteArray("[]=][=[\r\r\n=\n[=]\n]");
}

// The reader takes any bytes: none may crash it, hang it or make it read out of bounds (the
// sanitizer build watches the latter), and writing into such a file still works.
void TestProfileFile::hostileBytes() {
    QFETCH(QByteArray, bytes);
    QElapsedTimer timer;
    timer.start();
    ProfileText text(bytes);
    text.sectionNames();
    text.hasSection(QStringLiteral("s"));
    text.value(QStringLiteral("s"), QStringLiteral("k"));
    QString error;
    QVERIFY2(text.setValues(QStringLiteral("账号密码"), {{QStringLiteral("账号"), QStringLiteral("70,")}}, &error),
             qPrintable(error));
    QCOMPARE(text.value(QStringLiteral("账号密码"), QStringLiteral("账号")), QStringLiteral("70,"));
    QVERIFY(text.bytes().startsWith(bytes.left(qMin<qsizetype>(bytes.size(), 1000))));
    qDebug("%lld ms", static_cast<long long>(timer.elapsed()));
}

QTEST_APPLESS_MAIN(TestProfileFile)
#include "test_profile_file.moc"
