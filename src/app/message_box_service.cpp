#include "app/message_box_service.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace cuemora {

namespace {

QMessageBox::Icon iconFor(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton standardButton(MessageButton button) {
    switch (button) {
    case MessageButton::Ok:
        return QMessageBox::Ok;
    case MessageButton::Cancel:
        return QMessageBox::Cancel;
    case MessageButton::Abort:
        return QMessageBox::Abort;
    case MessageButton::Retry:
        return QMessageBox::Retry;
    case MessageButton::Ignore:
        return QMessageBox::Ignore;
    case MessageButton::Yes:
        return QMessageBox::Yes;
    case MessageButton::No:
        return QMessageBox::No;
    }
    return QMessageBox::Ok;
}

} // namespace

MessageButton MessageBoxService::show(const Message& message) {
    const QList<MessageButton> offered = message.buttons == MessageButtons::YesNo
                                             ? QList<MessageButton>{MessageButton::Yes, MessageButton::No}
                                             : QList<MessageButton>{MessageButton::Ok};
    QMessageBox box(iconFor(message.icon), message.title.isEmpty() ? defaultMessageTitle() : message.title,
                    message.text, QMessageBox::NoButton, QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    QHash<QAbstractButton*, MessageButton> answers;
    for (MessageButton button : offered)
        answers.insert(box.addButton(standardButton(button)), button);
    // A default that the box does not offer falls back to its first button.
    const MessageButton fallback = offered.contains(message.defaultButton) ? message.defaultButton : offered.first();
    auto* defaultButton = qobject_cast<QPushButton*>(box.button(standardButton(fallback)));
    box.setDefaultButton(defaultButton);
    // Escape and the close box answer OK to a notice and No to a question, whatever Enter does: a
    // question such as the checkout's must never be confirmed by closing it.
    const MessageButton escape = closedAnswer(message);
    box.setEscapeButton(box.button(standardButton(escape)));
    box.exec();
    return answers.value(box.clickedButton(), escape);
}

} // namespace cuemora
