#pragma once

#include <QList>
#include <QString>

namespace cuemora {

// The buttons a message box can report, with the numbers the program has always used for them.
enum class MessageButton { Ok = 0, Cancel = 1, Abort = 2, Retry = 3, Ignore = 4, Yes = 5, No = 6 };

enum class MessageButtons { Ok, YesNo };

enum class MessageIcon { None, Information, Question, Warning, Critical };

// The title every message box carries unless it is given another.
QString defaultMessageTitle();

struct Message {
    QString text;
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;
    QString title = defaultMessageTitle();
    // The button that Enter presses. A box closed without a button (Escape, its close box) answers
    // No to a question and OK to a notice, whatever this says: a question such as the checkout's
    // is never confirmed by closing it.
    MessageButton defaultButton = MessageButton::Ok;
};

// The answer of a box closed without a button: No to a question, OK to a notice.
MessageButton closedAnswer(const Message& message);

// Message boxes, modal to the program. The windows show them with QMessageBox; tests script the
// answers and read what was shown.
class MessageService {
public:
    virtual ~MessageService() = default;
    virtual MessageButton show(const Message& message) = 0;

    // A message with the OK button only and the default title.
    void inform(const QString& text);
    // A Yes/No question; true for Yes.
    bool ask(const QString& text, MessageIcon icon, MessageButton defaultButton);
};

} // namespace cuemora
