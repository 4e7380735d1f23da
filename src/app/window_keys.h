#pragma once

#include <QListWidget>

#include <QElapsedTimer>
#include <functional>

class QWidget;

namespace cuemora {

// Escape closes the window as its close box does (for the checkout window: nothing is recorded).
void closeOnEscape(QWidget* window);

// The goods list of the sales window. Enter picks the current goods as a double-click does, and
// typing jumps to goods by the first letters of a name or of a code: the list shows names only, so
// the window tells it where a typed text leads.
class GoodsListView : public QListWidget {
    Q_OBJECT

public:
    using QListWidget::QListWidget;

    // The item that a typed text leads to, -1 for none.
    void setFinder(std::function<int(const QString& typed)> finder) { m_finder = std::move(finder); }
    void keyboardSearch(const QString& search) override;

Q_SIGNALS:
    // Enter or Return on the current item.
    void picked(int item);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::function<int(const QString&)> m_finder;
    QString m_typed;
    QElapsedTimer m_sinceLastKey;
};

} // namespace cuemora
