#pragma once

#include <QAbstractScrollArea>
#include <QMetaObject>
#include <QPixmap>

#include <array>

namespace cuemora {

class Clock;
class TableRegister;

// The register as a board: one tile per table in register order, each with its number, name,
// picture, state, the time in use as h:mm:ss and what it would owe if checked out now. It draws
// the register's cells as they are at each paint and keeps nothing of its own, so that it can
// never show another state than the register's.
class TableBoard : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit TableBoard(QWidget* parent = nullptr);
    ~TableBoard() override;

    // Shows the register (nullptr shows nothing); it must outlive the board or be set back first.
    void setRegister(const TableRegister* tables, const Clock* clock);

    // The table whose tile is at a point of the viewport, 0 for none.
    int tableAt(const QPoint& point) const;
    // The tile of table n in viewport coordinates (scrolled), an empty rectangle for no table.
    QRect tileRect(int n) const;
    // The table the keyboard is on, 0 for none.
    int currentTable() const { return m_current; }
    void setCurrentTable(int n);

    // The texts a tile draws, top to bottom: "第N台" and the name, the state, h:mm:ss, the amount.
    QStringList tileTexts(int n) const;

Q_SIGNALS:
    // A double-click on a tile, or Enter on the current one.
    void tableActivated(int n);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    int tableCount() const;
    QSize tileSize() const;
    int columns() const;
    void layOut();
    void redraw();
    void cellsChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight);
    // The part of a tile that changes with the clock: the time and the amount.
    QRect clockRect(const QRect& tile) const;
    void paintTile(QPainter& painter, int n, const QRect& rect, const QRegion& dirty) const;
    void paintClockLines(QPainter& painter, const QStringList& texts, const QRect& clock) const;
    const QPixmap& pictureFor(int n) const;

    const TableRegister* m_tables = nullptr;
    const Clock* m_clock = nullptr;
    QList<QMetaObject::Connection> m_connections;
    int m_current = 0;
    QSize m_tileSize; // from the font; empty until measured
    // A tick changes a thousand cells: the board is drawn again once for all of them.
    bool m_redrawQueued = false;
    std::array<QPixmap, 4> m_pictures;
};

} // namespace cuemora
