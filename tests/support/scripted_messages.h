#pragma once

#include "common/messages.h"

#include <QList>
#include <QStringList>

namespace cuemora {

// Records every message and answers from a script; with the script used up it answers as the real
// box does when it is closed without a button: No to a question, OK to a notice. It never blocks.
class ScriptedMessages : public MessageService {
public:
    MessageButton show(const Message& message) override;

    void setNextAnswers(QList<MessageButton> answers) { m_answers = std::move(answers); }
    const QList<Message>& shown() const { return m_shown; }
    QStringList shownTexts() const;
    // The text of the last message, or the empty text when none was shown.
    QString lastText() const;
    void clear();

private:
    QList<Message> m_shown;
    QList<MessageButton> m_answers;
};

} // namespace cuemora
