#include "common/messages.h"

namespace cuemora {

QString defaultMessageTitle() {
    return QStringLiteral("信息：");
}

MessageButton closedAnswer(const Message& message) {
    return message.buttons == MessageButtons::YesNo ? MessageButton::No : MessageButton::Ok;
}

void MessageService::inform(const QString& text) {
    show(Message{text});
}

bool MessageService::ask(const QString& text, MessageIcon icon, MessageButton defaultButton) {
    Message message{text, MessageButtons::YesNo, icon};
    message.defaultButton = defaultButton;
    return show(message) == MessageButton::Yes;
}

} // namespace cuemora
