#include "app/table_board.h"

#include "app/register_presentation.h"
#include "checkout/checkout.h"
#include "checkout/table_glance.h"
#include "common/clock.h"
#include "tables/table_register.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>

namespace cuemora {

namespace {

constexpr int kGap = 6;
constexpr int kPadding = 6;
constexpr int kPicture = 32;
// A name of hundreds of characters is cut before it is measured; the tile shows a few dozen.
constexpr qsizetype kMostNameCharacters = 200;

QString shortName(const QString& name) {
    return name.size() > kMostNameCharacters ? name.left(kMostNameCharacters) : name;
}

} // namespace

TableBoard::TableBoard(QWidget* parent)
    : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setBackgroundRole(QPalette::Window);
    viewport()->setAutoFillBackground(true);
}

TableBoard::~TableBoard() {
    setRegister(nullptr, nullptr);
}

void TableBoard::setRegister(const TableRegister* tables, const Clock* clock) {
    for (const QMetaObject::Connection& connection : std::as_const(m_connections))
        disconnect(connection);
    m_connections.clear();
    m_tables = tables;
    m_clock = clock;
    m_current = 0;
    if (m_tables) {
        const GridStore* grid = &m_tables->grid();
        auto structure = [this] {
            layOut();
            redraw();
        };
        m_connections = {
            connect(grid, &QAbstractItemModel::dataChanged, this, &TableBoard::cellsChanged),
            connect(grid, &QAbstractItemModel::rowsInserted, this, structure),
            connect(grid, &QAbstractItemModel::rowsRemoved, this, structure),
            connect(grid, &QAbstractItemModel::modelReset, this, structure),
            connect(grid, &QAbstractItemModel::layoutChanged, this, structure),
            connect(grid, &GridStore::geometryChanged, this, structure),
            // A register that goes first leaves the board empty rather than dangling.
            connect(grid, &QObject::destroyed, this, [this] { setRegister(nullptr, nullptr); }),
        };
    }
    layOut();
    redraw();
}

int TableBoard::tableCount() const {
    return m_tables ? m_tables->tableCount() : 0;
}

QSize TableBoard::tileSize() const {
    if (m_tileSize.isValid())
        return m_tileSize;
    const QFontMetrics metrics = fontMetrics();
    const int line = metrics.height();
    const int width = qMax(160, kPicture + 3 * kPadding + metrics.horizontalAdvance(QStringLiteral("应付 88888.88")));
    return {width, 2 * kPadding + qMax(kPicture, 2 * line) + 2 * line + kPadding};
}

int TableBoard::columns() const {
    return qMax(1, (viewport()->width() - kGap) / (tileSize().width() + kGap));
}

void TableBoard::layOut() {
    m_tileSize = QSize();
    m_tileSize = tileSize();
    const int step = tileSize().height() + kGap;
    const int rows = (tableCount() + columns() - 1) / columns();
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, qMax(0, kGap + rows * step - viewport()->height()));
    bar->setPageStep(viewport()->height());
    bar->setSingleStep(step);
    if (m_current > tableCount())
        m_current = 0;
}

void TableBoard::redraw() {
    if (!isVisible() || m_redrawQueued)
        return;
    m_redrawQueued = true;
    viewport()->update();
}

void TableBoard::cellsChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight) {
    if (!isVisible() || m_redrawQueued || !topLeft.isValid() || !bottomRight.isValid())
        return;
    // A tick changes the seconds of every table in use: only the clock lines of the tiles in sight
    // are drawn again, and nothing is done for the others.
    const bool clockOnly = topLeft.column() == bottomRight.column() && topLeft.column() == RegisterColumn::Seconds;
    const int step = tileSize().height() + kGap;
    const int top = verticalScrollBar()->value();
    const qint64 firstInSight = qint64(qMax(0, (top - kGap) / step)) * columns() + 1;
    const qint64 lastInSight = qint64((top + viewport()->height()) / step + 1) * columns();
    const int first = int(qMax<qint64>(topLeft.row(), firstInSight));
    const int last = int(qMin<qint64>(bottomRight.row(), qMin<qint64>(lastInSight, tableCount())));
    if (!clockOnly && last - first > 8) {
        redraw();
        return;
    }
    for (int n = first; n <= last; ++n) {
        const QRect tile = tileRect(n);
        viewport()->update(clockOnly ? clockRect(tile) : tile);
    }
}

QRect TableBoard::clockRect(const QRect& tile) const {
    const int line = fontMetrics().height();
    const int lower = tile.top() + kPadding + qMax(kPicture, 2 * line) + kPadding / 2;
    return {tile.left() + 1, lower, tile.width() - 2, 2 * line};
}

QRect TableBoard::tileRect(int n) const {
    if (n < 1 || n > tableCount())
        return {};
    const QSize size = tileSize();
    const int index = n - 1;
    const int x = kGap + (index % columns()) * (size.width() + kGap);
    const int y = kGap + (index / columns()) * (size.height() + kGap) - verticalScrollBar()->value();
    return {QPoint(x, y), size};
}

int TableBoard::tableAt(const QPoint& point) const {
    const QSize size = tileSize();
    const int x = point.x() - kGap;
    const int y = point.y() + verticalScrollBar()->value() - kGap;
    if (x < 0 || y < 0 || x % (size.width() + kGap) >= size.width() || y % (size.height() + kGap) >= size.height())
        return 0;
    const int column = x / (size.width() + kGap);
    if (column >= columns())
        return 0;
    const qint64 n = qint64(y / (size.height() + kGap)) * columns() + column + 1;
    return n <= tableCount() ? int(n) : 0;
}

void TableBoard::setCurrentTable(int n) {
    if (n < 0 || n > tableCount() || n == m_current)
        return;
    const QRect before = tileRect(m_current);
    m_current = n;
    const QRect tile = tileRect(n);
    QScrollBar* bar = verticalScrollBar();
    if (tile.top() < 0)
        bar->setValue(bar->value() + tile.top() - kGap);
    else if (tile.bottom() > viewport()->height())
        bar->setValue(bar->value() + tile.bottom() - viewport()->height() + kGap);
    viewport()->update(before.adjusted(-2, -2, 2, 2));
    viewport()->update(tileRect(n).adjusted(-2, -2, 2, 2));
}

QStringList TableBoard::tileTexts(int n) const {
    if (!m_tables || !m_tables->isTable(n))
        return {};
    const bool inUse = m_tables->isInUse(n);
    // "第N台", as the program names a table in its messages: the name may hold a number of its own.
    const QString head = QStringLiteral("第%1台 ").arg(n) + shortName(m_tables->name(n));
    if (!inUse)
        return {head, QStringLiteral("空闲"), QString(), QString()};
    return {head, QStringLiteral("使用中"), clockText(m_tables->grid().cellText(n, RegisterColumn::Seconds)),
            QStringLiteral("应付 ") + owedNowText(*m_tables, n)};
}

const QPixmap& TableBoard::pictureFor(int n) const {
    // The picture the register's own refresh gives the row, by its type and state.
    const StatusPicture which = statusPictureFor(m_tables->type(n), m_tables->isInUse(n));
    QPixmap& picture = const_cast<QPixmap&>(m_pictures[size_t(which)]);
    if (picture.isNull())
        picture.loadFromData(statusPictureIcon(which));
    return picture;
}

void TableBoard::paintTile(QPainter& painter, int n, const QRect& rect, const QRegion& dirty) const {
    const QPalette& colours = palette();
    const bool inUse = m_tables->isInUse(n);
    const QColor base = colours.color(QPalette::Base);
    painter.setPen(n == m_current && hasFocus() ? QPen(colours.color(QPalette::Highlight), 2)
                                                : QPen(colours.color(QPalette::Mid), 1));
    painter.setBrush(inUse ? RegisterPresentation::inUseTint(base) : base);
    const QRect clock = clockRect(rect);
    const QRegion part = dirty.intersected(rect);
    if (QRegion(clock).intersected(part) == part) {
        // Only the clock lines: drawn over their own background, the rest of the tile as it was.
        painter.fillRect(clock, inUse ? RegisterPresentation::inUseTint(base) : base);
        if (!inUse)
            return;
        const QStringList texts = tileTexts(n);
        paintClockLines(painter, texts, clock);
        return;
    }
    painter.drawRoundedRect(QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);

    const QPixmap& picture = pictureFor(n);
    if (!picture.isNull())
        painter.drawPixmap(QRect(rect.left() + kPadding, rect.top() + kPadding, kPicture, kPicture), picture);

    const QStringList texts = tileTexts(n);
    const QFontMetrics metrics = painter.fontMetrics();
    const int line = metrics.height();
    const int textLeft = rect.left() + 2 * kPadding + kPicture;
    const int textWidth = rect.right() - kPadding - textLeft;
    painter.setPen(colours.color(QPalette::Text));
    QFont bold = painter.font();
    bold.setBold(true);
    const QFont plain = painter.font();

    painter.setFont(bold);
    const QRect head(textLeft, rect.top() + kPadding, textWidth, line);
    painter.drawText(head, Qt::AlignLeft | Qt::AlignVCenter,
                     QFontMetrics(bold).elidedText(texts[0], Qt::ElideRight, textWidth));
    painter.setFont(plain);
    painter.drawText(head.translated(0, line), Qt::AlignLeft | Qt::AlignVCenter, texts[1]);
    if (inUse)
        paintClockLines(painter, texts, clock);
}

void TableBoard::paintClockLines(QPainter& painter, const QStringList& texts, const QRect& clock) const {
    const QFontMetrics metrics = painter.fontMetrics();
    const int line = metrics.height();
    const int width = clock.width() - 2 * kPadding + 2;
    const QRect time(clock.left() + kPadding - 1, clock.top(), width, line);
    painter.setPen(palette().color(QPalette::Text));
    QFont bold = painter.font();
    bold.setBold(true);
    const QFont plain = painter.font();
    painter.setFont(bold);
    painter.drawText(time, Qt::AlignLeft | Qt::AlignVCenter,
                     QFontMetrics(bold).elidedText(texts[2], Qt::ElideRight, width));
    painter.setFont(plain);
    painter.drawText(time.translated(0, line), Qt::AlignRight | Qt::AlignVCenter,
                     metrics.elidedText(texts[3], Qt::ElideLeft, width));
}

void TableBoard::paintEvent(QPaintEvent* event) {
    m_redrawQueued = false;
    if (!m_tables)
        return;
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const int step = tileSize().height() + kGap;
    const int top = verticalScrollBar()->value();
    const int firstRow = qMax(0, (top - kGap) / step);
    const int lastRow = (top + viewport()->height()) / step;
    const int count = tableCount();
    for (int row = firstRow; row <= lastRow; ++row) {
        for (int column = 0; column < columns(); ++column) {
            const qint64 n = qint64(row) * columns() + column + 1;
            if (n > count)
                return;
            const QRect tile = tileRect(int(n));
            if (event->region().intersects(tile))
                paintTile(painter, int(n), tile, event->region());
        }
    }
}

void TableBoard::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    layOut();
}

void TableBoard::showEvent(QShowEvent* event) {
    QAbstractScrollArea::showEvent(event);
    m_redrawQueued = false;
    layOut();
    redraw();
}

void TableBoard::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        layOut();
        redraw();
    }
}

void TableBoard::mousePressEvent(QMouseEvent* event) {
    const int n = tableAt(event->position().toPoint());
    if (n > 0)
        setCurrentTable(n);
    QAbstractScrollArea::mousePressEvent(event);
}

void TableBoard::mouseDoubleClickEvent(QMouseEvent* event) {
    const int n = tableAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && n > 0) {
        setCurrentTable(n);
        Q_EMIT tableActivated(n);
        return;
    }
    QAbstractScrollArea::mouseDoubleClickEvent(event);
}

void TableBoard::keyPressEvent(QKeyEvent* event) {
    const int count = tableCount();
    if (count == 0) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    const int at = m_current > 0 ? m_current : 1;
    switch (event->key()) {
    case Qt::Key_Left:
        setCurrentTable(qMax(1, at - 1));
        break;
    case Qt::Key_Right:
        setCurrentTable(qMin(count, m_current > 0 ? at + 1 : 1));
        break;
    case Qt::Key_Up:
        setCurrentTable(at - columns() >= 1 ? at - columns() : at);
        break;
    case Qt::Key_Down:
        setCurrentTable(at + columns() <= count ? at + columns() : at);
        break;
    case Qt::Key_Home:
        setCurrentTable(1);
        break;
    case Qt::Key_End:
        setCurrentTable(count);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_current > 0)
            Q_EMIT tableActivated(m_current);
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

bool TableBoard::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip && m_tables) {
        // The whole of what a tile may cut: its name, the start time with its date, the seconds.
        const auto* help = static_cast<QHelpEvent*>(event);
        const int n = tableAt(help->pos());
        if (n == 0) {
            QToolTip::hideText();
            return true;
        }
        QString tip = QStringLiteral("第%1台 ").arg(n) + shortName(m_tables->name(n));
        if (m_tables->isInUse(n)) {
            const GridStore& grid = m_tables->grid();
            tip += QStringLiteral("\n开始时间：") + shortName(grid.cellText(n, RegisterColumn::Start)) +
                   QStringLiteral("\n使用时长：") + shortName(grid.cellText(n, RegisterColumn::Seconds)) +
                   QStringLiteral(" 秒\n共付：") + FillCheckout(*m_tables, n).total;
        }
        QToolTip::showText(help->globalPos(), tip, viewport(), tileRect(n));
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

} // namespace cuemora
