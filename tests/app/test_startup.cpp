// The message boxes on screen: Qt's Chinese buttons, the default title and the answers.
#include "app/message_box_service.h"
#include "app/startup.h"
#include "shell_fixture.h"

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
