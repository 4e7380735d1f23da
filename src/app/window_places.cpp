#include "app/window_places.h"

#include <QEvent>
#include <QScreen>
#include <QStandardPaths>
#include <QWidget>

#include <algorithm>
#include <tuple>

namespace cuemora {

namespace {

QString& settingsFileOverride() {
    static QString path;
    return path;
}

qint64 overlap(const QRect& a, const QRect& b) {
    const QRect both = a.intersected(b);
    return both.isEmpty() ? 0 : qint64(both.width()) * both.height();
}

// Moves a rectangle's top-left so that the rectangle lies on the screen; one larger than the
// screen keeps its top-left corner on it.
QPoint keptOnScreen(QPoint at, const QSize& size, const QRect& screen) {
    at.setX(std::max(screen.left(), std::min(at.x(), screen.right() + 1 - size.width())));
    at.setY(std::max(screen.top(), std::min(at.y(), screen.bottom() + 1 - size.height())));
    return at;
}

} // namespace

QString windowSettingsFile() {
    if (!settingsFileOverride().isEmpty())
        return settingsFileOverride();
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/windows.ini");
}

void setWindowSettingsFile(const QString& path) {
    settingsFileOverride() = path;
}

QPoint placeBeside(const QRect& mainFrame, const QRect& keepClear, const QSize& size, const QRect& screen) {
    // The places worth trying: against each edge of the main window, of the register and of the
    // screen. The best of them is as good as any place: overlaps change only at such edges.
    const int w = size.width();
    const int h = size.height();
    const int xs[] = {mainFrame.right() + 1, mainFrame.left() - w, mainFrame.left(), mainFrame.right() + 1 - w,
                      keepClear.right() + 1, keepClear.left() - w, screen.left(),    screen.right() + 1 - w};
    const int ys[] = {mainFrame.top(),        mainFrame.bottom() + 1, mainFrame.top() - h, mainFrame.bottom() + 1 - h,
                      keepClear.bottom() + 1, keepClear.top() - h,    screen.top(),        screen.bottom() + 1 - h};
    const QPoint wanted(mainFrame.right() + 1, mainFrame.top());
    QPoint best;
    std::tuple<qint64, qint64, int> bestScore{-1, 0, 0};
    for (int x : xs) {
        for (int y : ys) {
            const QPoint at = keptOnScreen(QPoint(x, y), size, screen);
            const QRect placed(at, size);
            const std::tuple<qint64, qint64, int> score{overlap(placed, keepClear), overlap(placed, mainFrame),
                                                        (at - wanted).manhattanLength()};
            if (std::get<0>(bestScore) < 0 || score < bestScore) {
                bestScore = score;
                best = at;
            }
        }
    }
    return best;
}

WindowPlaces::WindowPlaces(QWidget* main, QWidget* keepClear)
    : QObject(main)
    , m_main(main)
    , m_keepClear(keepClear)
    , m_settings(std::make_unique<QSettings>(windowSettingsFile(), QSettings::IniFormat)) {}

WindowPlaces::~WindowPlaces() = default;

QString WindowPlaces::keyOf(const QWidget* window) {
    return window->objectName() + QStringLiteral("/geometry");
}

void WindowPlaces::restoreMain() {
    const QByteArray kept = m_settings->value(keyOf(m_main)).toByteArray();
    if (!kept.isEmpty())
        m_main->restoreGeometry(kept); // Qt brings a place off every screen back onto one
    m_main->installEventFilter(this);
}

void WindowPlaces::manage(QWidget* window) {
    window->installEventFilter(this);
}

bool WindowPlaces::eventFilter(QObject* watched, QEvent* event) {
    auto* window = static_cast<QWidget*>(watched);
    if (event->type() == QEvent::Show && window != m_main && !m_placed.contains(window)) {
        m_placed.insert(window);
        placeSecondary(window);
    } else if (event->type() == QEvent::Hide && window->isWindow()) {
        remember(window);
    }
    return QObject::eventFilter(watched, event);
}

void WindowPlaces::placeSecondary(QWidget* window) {
    const QByteArray kept = m_settings->value(keyOf(window)).toByteArray();
    if (!kept.isEmpty() && window->restoreGeometry(kept))
        return;
    const QScreen* screen = m_main->screen();
    if (!screen)
        return;
    // The frame of a window not yet shown is not known: the main window's tells its width.
    const QSize frame = m_main->frameGeometry().size() - m_main->geometry().size();
    const QRect keepClear(m_keepClear->mapToGlobal(QPoint(0, 0)), m_keepClear->size());
    const QPoint at =
        placeBeside(m_main->frameGeometry(), keepClear, window->size() + frame, screen->availableGeometry());
    window->move(at);
}

void WindowPlaces::remember(const QWidget* window) {
    m_settings->setValue(keyOf(window), window->saveGeometry());
    m_settings->sync();
}

} // namespace cuemora
