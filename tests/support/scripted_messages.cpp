#include "support/scripted_messages.h"

namespace cuemora {

MessageButton ScriptedMessages::show(const Message& message) {
    m_shown.append(message);
    if (!m_answers.isEmpty())
        return m_answers.takeFirst();
    return closedAnswer(message);
}

QStringList ScriptedMessages::shownTexts() const {
    QStringList texts;
    for (const Message& message : m_shown)
        texts.append(message.text);
    return texts;
}

QString ScriptedMessages::lastText() const {
    return m_shown.isEmpty() ? QString() : m_shown.constLast().text;
}

void ScriptedMessages::clear() {
    m_shown.clear();
    m_answers.clear();
}

} // namespace cuemora
