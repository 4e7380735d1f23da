#include "app/window_keys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QShortcut>
#include <QWidget>

namespace cuemora {

void closeOnEscape(QWidget* window) {
    auto* shortcut = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, window, &QWidget::close);
}

void GoodsListView::keyboardSearch(const QString& search) {
    if (search.isEmpty())
        return;
    // Keys typed in quick succession make one text, as in any list; a pause starts a new one.
    if (!m_sinceLastKey.isValid() || m_sinceLastKey.elapsed() > QApplication::keyboardInputInterval())
        m_typed.clear();
    m_sinceLastKey.start();
    m_typed += search;
    const int item = m_finder ? m_finder(m_typed) : -1;
    if (item >= 0 && item < count())
        setCurrentRow(item);
}

void GoodsListView::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentRow() >= 0) {
        Q_EMIT picked(currentRow());
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

} // namespace cuemora
