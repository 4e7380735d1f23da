#pragma once

#include <QHash>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSet>
#include <QSettings>
#include <QSize>
#include <QString>

#include <memory>

class QWidget;

namespace cuemora {

// The file where the windows' places and sizes are kept between starts: "windows.ini" in the
// user's settings directory for Cuemora, never among the room's files in the data directory.
// Tests and the screenshots tool set a file of their own.
QString windowSettingsFile();
void setWindowSettingsFile(const QString& path);

// Where a window of `size` (its frame included) opens on `screen`: beside the main window's frame
// where the screen has room, so that it hides nothing of the main window; otherwise where it
// covers as little as it can of `keepClear` (the register), then of the rest of the main window,
// and stays nearest the main window's right edge. The window is kept on the screen.
QPoint placeBeside(const QRect& mainFrame, const QRect& keepClear, const QSize& size, const QRect& screen);

// Looks after the places of the program's windows: the main window and each secondary window
// come back where the operator left them, at the size they had; a secondary window with no place
// kept yet opens beside the main window (placeBeside). A place is kept each time a window hides.
class WindowPlaces : public QObject {
    Q_OBJECT

public:
    // `keepClear` is the part of the main window that the others should not cover.
    WindowPlaces(QWidget* main, QWidget* keepClear);
    ~WindowPlaces() override;

    // Puts the main window back where it was kept, if anywhere, and looks after it from now on.
    void restoreMain();
    // Looks after a secondary window from its next showing on.
    void manage(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placeSecondary(QWidget* window);
    void remember(const QWidget* window);
    static QString keyOf(const QWidget* window);

    QWidget* m_main;
    QWidget* m_keepClear;
    std::unique_ptr<QSettings> m_settings;
    QSet<QWidget*> m_placed; // shown at least once: Qt keeps their places from then on
};

} // namespace cuemora
