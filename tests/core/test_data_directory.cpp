#include "common/data_directory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace cuemora;

// Where the room's files go when the program starts: named, beside the program, or in the user's
// data location; each under a home of the test's own.
class TestDataDirectory : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;

    QString userDataLocation() const { return m_home.filePath(QStringLiteral("data/cuemora")); }

    // A path under a plain file: no directory can be made there and no file made in it, whoever
    // runs the test (root writes through any permission bits).
    QString unwritable() const { return m_home.filePath(QStringLiteral("a-file/bin")); }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_home.isValid());
        QFile blocker(m_home.filePath(QStringLiteral("a-file")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("data"))));
    }

    void init() { QDir(userDataLocation()).removeRecursively(); }

    // The directory given on the command line wins, and is made with its parents when missing; a
    // relative one is taken from the current directory.
    void namedDirectory() {
        QTemporaryDir work;
        const QString named = work.filePath(QStringLiteral("room/2013"));
        QCOMPARE(chooseDataDirectory(named, work.path()), named);
        QVERIFY(QFileInfo(named).isDir());

        const QString current = QDir::currentPath();
        QVERIFY(QDir::setCurrent(work.path()));
        const QString relative = chooseDataDirectory(QStringLiteral("./room/../房间/"), unwritable());
        QDir::setCurrent(current);
        QCOMPARE(relative, work.filePath(QStringLiteral("房间")));
        QVERIFY(QFileInfo(relative).isDir());
        QVERIFY(!QFileInfo::exists(userDataLocation()));
    }

    // A program in a folder of its own keeps its room beside itself, as it always has.
    void besideTheProgram() {
        QTemporaryDir program;
        QCOMPARE(chooseDataDirectory(QString(), program.path() + QStringLiteral("/")), program.path());
        QCOMPARE(QDir(program.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList()); // the probe leaves nothing behind
        QVERIFY(!QFileInfo::exists(userDataLocation()));
    }

    // A directory the program cannot write, and the system's program folders even for root, send
    // the room to the user's data location, made on the first start and found again on the next.
    void intoTheUserDataLocation_data() {
        QTest::addColumn<QString>("programDirectory");
        QTest::newRow("cannot be written") << unwritable();
        QTest::newRow("/usr/bin") << QStringLiteral("/usr/bin");
        QTest::newRow("/bin, a link to it") << QStringLiteral("/bin");
        QTest::newRow("/usr/local/bin") << QStringLiteral("/usr/local/bin");
    }

    void intoTheUserDataLocation() {
        QFETCH(QString, programDirectory);
        QCOMPARE(chooseDataDirectory(QString(), programDirectory), userDataLocation());
        QVERIFY(QFileInfo(userDataLocation()).isDir());
        QVERIFY(canMakeFilesIn(userDataLocation()));
        QCOMPARE(chooseDataDirectory(QString(), programDirectory), userDataLocation());
    }

    // Nowhere to go: the place is still named, so that the start-up check can say why it fails.
    void nowhereToWrite() {
        const QByteArray saved = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("a-file/data"))));
        const QString chosen = chooseDataDirectory(QString(), unwritable());
        qputenv("XDG_DATA_HOME", saved);
        QCOMPARE(chosen, m_home.filePath(QStringLiteral("a-file/data/cuemora")));
        QString reason;
        QVERIFY(!canMakeFilesIn(chosen, &reason));
        QVERIFY(!reason.isEmpty());
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("cuemora")); // as the program names itself
    TestDataDirectory test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_data_directory.moc"
