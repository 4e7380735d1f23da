#include "app/message_box_service.h"
#include "app/startup.h"
#include "shell_fixture.h"

#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

using namespace cuemora;

namespace {

// Qt's Chinese buttons carry their Alt keys: "是(&Y)" reads 是.
QString withoutShortcut(QString text) {
    return text.remove(QRegularExpression(QStringLiteral("\\(&.\\)$")));
}

// Answers the message box that is about to open, once it is up, after noting what it shows.
struct BoxReader {
    QString title;
    QString text;
    QStringList buttons;
    QString defaultButton;
    QMessageBox::Icon icon = QMessageBox::NoIcon;

    void answer(std::function<void(QMessageBox&)> press) {
        QTimer::singleShot(0, qApp, [this, press] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            for (QAbstractButton* button : box->buttons())
                buttons.append(withoutShortcut(button->text()));
            buttons.sort();
            if (box->defaultButton())
                defaultButton = withoutShortcut(box->defaultButton()->text());
            press(*box);
        });
    }
};

} // namespace

class TestStartup : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QCOMPARE(visibleWindows(), QStringList()); }

    // A second start on the same data directory says so and goes no further, touching no file.
    void secondStartIsRefused() {
        Shell first;
        InstanceLock held(first.services.data);
        QVERIFY(claimDataDirectory(first.services, held));
        QCOMPARE(first.messages.shownTexts(), QStringList());
        const QStringList files = first.files();
        QCOMPARE(files, QStringList{InstanceLock::fileName()});
        const QByteArray lockBytes = [&] {
            QFile file(first.dir.filePath(InstanceLock::fileName()));
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }();

        // The first program has run for an hour: its lock is still its own.
        QFile lockFile(first.dir.filePath(InstanceLock::fileName()));
        QVERIFY(lockFile.open(QIODevice::ReadWrite));
        QVERIFY(lockFile.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
        lockFile.close();

        ScriptedMessages messages;
        ManualClock clock;
        const AppServices second{messages, clock, first.services.data};
        InstanceLock again(second.data);
        QVERIFY(!claimDataDirectory(second, again));
        QCOMPARE(messages.shown().size(), 1);
        QVERIFY2(messages.lastText().startsWith(u"Cuemora 已经在运行"_qs), qPrintable(messages.lastText()));
        QCOMPARE(first.files(), files);
        QFile file(first.dir.filePath(InstanceLock::fileName()));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), lockBytes);
    }

    // Once the first program has ended, the next start goes ahead.
    void lockIsFreedAtTheEnd() {
        Shell shell;
        {
            InstanceLock first(shell.services.data);
            QCOMPARE(first.tryLock(), InstanceLock::Result::Locked);
        }
        InstanceLock next(shell.services.data);
        QCOMPARE(next.tryLock(), InstanceLock::Result::Locked);
    }

    // A data directory where nothing can be written (here: a path under a regular file, which
    // stops even root) is reported at start, and the program still starts.
    void unwritableDirectoryIsReported() {
        QTemporaryDir dir;
        const QString file = dir.filePath(u"文件"_qs);
        QFile plain(file);
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        ScriptedMessages messages;
        ManualClock clock;
        const AppServices services{messages, clock, DataDirectory(file + u"/数据"_qs)};
        QString reason;
        QVERIFY(!canWriteDataDirectory(services.data, &reason));
        QVERIFY(!reason.isEmpty());
        InstanceLock lock(services.data);
        QVERIFY(claimDataDirectory(services, lock));
        QCOMPARE(messages.shown().size(), 1);
        QVERIFY2(messages.lastText().startsWith(u"数据目录不能写入"_qs), qPrintable(messages.lastText()));
        QVERIFY(messages.lastText().contains(u"数据"_qs));

        // and the main window comes up all the same, with an empty register
        MainWindow window(services);
        QCOMPARE(window.tables().tableCount(), 0);
    }

    void writableDirectoryLeavesNoTrace() {
        Shell shell;
        QVERIFY(canWriteDataDirectory(shell.services.data));
        QCOMPARE(shell.files(), QStringList());
    }

    // A notice: the title "信息：", Qt's Chinese "确定", and OK as the answer.
    void noticeOnScreen() {
        MessageBoxService service;
        BoxReader reader;
        reader.answer([](QMessageBox& box) { box.button(QMessageBox::Ok)->click(); });
        Message message{u"请选择类型"_qs};
        QCOMPARE(service.show(message), MessageButton::Ok);
        QCOMPARE(reader.title, u"信息："_qs);
        QCOMPARE(reader.text, u"请选择类型"_qs);
        QCOMPARE(reader.buttons, QStringList{u"确定"_qs});
        QCOMPARE(reader.icon, QMessageBox::NoIcon);
    }

    // A question: 是 and 否 with the given default and icon; Escape answers No whatever the default.
    void questionOnScreen_data() {
        QTest::addColumn<int>("defaultButton");
        QTest::addColumn<bool>("pressEscape");
        QTest::addColumn<int>("answer");
        QTest::newRow("Enter on Yes") << int(MessageButton::Yes) << false << int(MessageButton::Yes);
        QTest::newRow("Enter on No") << int(MessageButton::No) << false << int(MessageButton::No);
        QTest::newRow("Escape with Yes as default") << int(MessageButton::Yes) << true << int(MessageButton::No);
    }

    void questionOnScreen() {
        QFETCH(int, defaultButton);
        QFETCH(bool, pressEscape);
        QFETCH(int, answer);
        MessageBoxService service;
        BoxReader reader;
        reader.answer(
            [pressEscape](QMessageBox& box) { QTest::keyClick(&box, pressEscape ? Qt::Key_Escape : Qt::Key_Return); });
        Message message{u"   是否结账？"_qs, MessageButtons::YesNo, MessageIcon::Information, u"结账"_qs};
        message.defaultButton = MessageButton(defaultButton);
        QCOMPARE(int(service.show(message)), answer);
        QCOMPARE(reader.title, u"结账"_qs);
        QCOMPARE(reader.text, u"   是否结账？"_qs);
        QCOMPARE(reader.icon, QMessageBox::Information);
        QCOMPARE(reader.buttons, (QStringList{u"否"_qs, u"是"_qs}));
        QCOMPARE(reader.defaultButton, defaultButton == int(MessageButton::Yes) ? u"是"_qs : u"否"_qs);
    }
};

CUEMORA_WINDOW_TEST_MAIN(TestStartup)
#include "test_startup.moc"
