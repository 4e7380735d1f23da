#pragma once

#include "common/messages.h"

namespace cuemora {

// Message boxes on screen: a QMessageBox modal to the whole program, with the title "信息：" unless
// the message has its own, its icon and buttons, and Enter on the default button. Escape and the
// close box answer OK, or No to a question.
class MessageBoxService : public MessageService {
public:
    MessageButton show(const Message& message) override;
};

} // namespace cuemora
