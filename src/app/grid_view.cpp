#include "app/grid_view.h"

#include "store/grid_store.h"

#include <QAccessible>
#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPainter>
#include <QShowEvent>
#include <QStyledItemDelegate>

#include <algorithm>
#include <limits>

namespace cuemora {

namespace {

// However tall or wide a grid file says a row or a column is, the view draws it at most this
// size, so that a flipped bit in a file cannot make a header millions of pixels tall. The grid
// keeps its own numbers and writes them back as they came.
constexpr int kMostPixels = 1000;

int drawnSize(int size) {
    return std::clamp(size, 0, kMostPixels);
}

// The most of a cell's text the view draws: a cell at its widest shows a few hundred characters,
// and laying out a text of tens of thousands took a second at every paint.
constexpr qsizetype kMostDrawnCharacters = 1000;

// Columns are fitted to their contents in grids of a sane size only: a file that claims thousands
// of columns keeps its own widths, since measuring them all would take minutes. Each column is
// measured over at most this many of the rows in sight.
constexpr int kMostFittedColumns = 64;
constexpr int kMostMeasuredRows = 50;

QString drawnText(const QString& text) {
    return text.size() > kMostDrawnCharacters ? text.left(kMostDrawnCharacters) + QStringLiteral("…") : text;
}

// Holds a header's repainting while its sections are sized one by one: a section resized while
// the header repaints has its place worked out anew from every section before it, and a grid of
// many rows of many heights would cost rows times rows.
class HeldUpdates {
public:
    explicit HeldUpdates(QWidget* widget)
        : m_widget(widget)
        , m_was(widget->updatesEnabled()) {
        m_widget->setUpdatesEnabled(false);
    }
    ~HeldUpdates() {
        if (m_was)
            m_widget->setUpdatesEnabled(true);
    }
    HeldUpdates(const HeldUpdates&) = delete;
    HeldUpdates& operator=(const HeldUpdates&) = delete;

private:
    QWidget* m_widget;
    bool m_was;
};

// DrawText flags as Qt alignment: DT_CENTER 1, DT_RIGHT 2, DT_VCENTER 4, DT_BOTTOM 8.
Qt::Alignment alignmentFromFormat(qint32 format) {
    Qt::Alignment alignment = (format & 2) ? Qt::AlignRight : (format & 1) ? Qt::AlignHCenter : Qt::AlignLeft;
    alignment |= (format & 4) ? Qt::AlignVCenter : (format & 8) ? Qt::AlignBottom : Qt::AlignTop;
    return alignment;
}

// Draws pictures centred in their cells and gives the fixed columns the look of a header.
class GridDelegate : public QStyledItemDelegate {
public:
    explicit GridDelegate(GridView* view)
        : QStyledItemDelegate(view)
        , m_view(view) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const GridStore* grid = m_view->store();
        const bool fixedColumn = grid && index.column() < grid->fixedColumnCount();
        if (fixedColumn && !index.data(Qt::BackgroundRole).isValid())
            painter->fillRect(option.rect, option.palette.button());
        const QVariant decoration = index.data(Qt::DecorationRole);
        if (decoration.userType() == QMetaType::QPixmap && index.data(Qt::DisplayRole).toString().isEmpty()) {
            QStyleOptionViewItem plain = option;
            initStyleOption(&plain, index);
            plain.icon = QIcon();
            plain.features &= ~QStyleOptionViewItem::HasDecoration;
            QStyledItemDelegate::paint(painter, plain, QModelIndex()); // focus frame and selection only
            // At its own size where the cell has room, else made smaller, never out of shape.
            const QPixmap picture = decoration.value<QPixmap>();
            QSize size = picture.deviceIndependentSize().toSize();
            if (size.width() > option.rect.width() || size.height() > option.rect.height())
                size.scale(option.rect.size(), Qt::KeepAspectRatio);
            QRect target(QPoint(0, 0), size);
            target.moveCenter(option.rect.center());
            painter->save();
            painter->setRenderHint(QPainter::SmoothPixmapTransform);
            painter->drawPixmap(target, picture);
            painter->restore();
            return;
        }
        QStyledItemDelegate::paint(painter, option, index);
    }

private:
    GridView* m_view;
};

} // namespace

QColor fromColorRef(quint32 colour) {
    return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

QString GridPresentation::extraColumnCaption(int) const {
    return {};
}

std::pair<int, int> GridPresentation::columnsDrawnFrom(int) const {
    return {0, std::numeric_limits<int>::max()};
}

// --- GridRowsModel -------------------------------------------------------------------------------

GridRowsModel::GridRowsModel(QObject* parent)
    : QAbstractProxyModel(parent) {}

void GridRowsModel::setSourceModel(QAbstractItemModel* source) {
    beginResetModel();
    for (const QMetaObject::Connection& connection : std::as_const(m_connections))
        disconnect(connection);
    m_connections.clear();
    m_store = qobject_cast<GridStore*>(source);
    QAbstractProxyModel::setSourceModel(m_store);
    m_fixed = m_store ? m_store->fixedRowCount() : 0;
    m_pending = Pending::None;
    m_pictures.clear();
    m_refreshFirst = m_refreshLast = -1;
    if (m_store) {
        m_connections = {
            connect(m_store, &QAbstractItemModel::dataChanged, this, &GridRowsModel::sourceDataChanged),
            connect(m_store, &QAbstractItemModel::rowsAboutToBeInserted, this,
                    &GridRowsModel::sourceRowsAboutToBeInserted),
            connect(m_store, &QAbstractItemModel::rowsInserted, this, &GridRowsModel::sourceRowsInserted),
            connect(m_store, &QAbstractItemModel::rowsAboutToBeRemoved, this,
                    &GridRowsModel::sourceRowsAboutToBeRemoved),
            connect(m_store, &QAbstractItemModel::rowsRemoved, this, &GridRowsModel::sourceRowsRemoved),
            connect(m_store, &QAbstractItemModel::columnsAboutToBeInserted, this,
                    [this](const QModelIndex&, int first, int last) { beginInsertColumns({}, first, last); }),
            connect(m_store, &QAbstractItemModel::columnsInserted, this, [this] { endInsertColumns(); }),
            connect(m_store, &QAbstractItemModel::columnsAboutToBeRemoved, this,
                    [this](const QModelIndex&, int first, int last) { beginRemoveColumns({}, first, last); }),
            connect(m_store, &QAbstractItemModel::columnsRemoved, this, [this] { endRemoveColumns(); }),
            connect(m_store, &QAbstractItemModel::modelAboutToBeReset, this, &GridRowsModel::beginStructureReset),
            connect(m_store, &QAbstractItemModel::modelReset, this, &GridRowsModel::endStructureReset),
            connect(m_store, &QAbstractItemModel::layoutAboutToBeChanged, this, &GridRowsModel::beginStructureReset),
            connect(m_store, &QAbstractItemModel::layoutChanged, this, &GridRowsModel::endStructureReset),
            connect(m_store, &QAbstractItemModel::rowsAboutToBeMoved, this, &GridRowsModel::beginStructureReset),
            connect(m_store, &QAbstractItemModel::rowsMoved, this, &GridRowsModel::endStructureReset),
            connect(m_store, &QAbstractItemModel::columnsAboutToBeMoved, this, &GridRowsModel::beginStructureReset),
            connect(m_store, &QAbstractItemModel::columnsMoved, this, &GridRowsModel::endStructureReset),
            connect(m_store, &GridStore::geometryChanged, this, &GridRowsModel::resync),
            // A grid that goes first leaves the view empty rather than dangling.
            connect(m_store, &QObject::destroyed, this, [this] { setSourceModel(nullptr); }),
        };
    }
    endResetModel();
}

void GridRowsModel::setPresentation(const GridPresentation* presentation) {
    beginResetModel();
    m_presentation = presentation;
    m_refreshFirst = m_refreshLast = -1;
    endResetModel();
}

int GridRowsModel::extraColumns() const {
    return m_presentation ? qMax(0, m_presentation->extraColumnCount()) : 0;
}

QModelIndex GridRowsModel::index(int row, int column, const QModelIndex& parent) const {
    if (parent.isValid() || row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
        return {};
    return createIndex(row, column);
}

QModelIndex GridRowsModel::parent(const QModelIndex&) const {
    return {};
}

int GridRowsModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !m_store)
        return 0;
    return qMax(0, m_store->rowCount() - m_fixed);
}

int GridRowsModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid() || !m_store)
        return 0;
    return m_store->columnCount() + extraColumns();
}

QModelIndex GridRowsModel::mapToSource(const QModelIndex& proxyIndex) const {
    if (!m_store || !proxyIndex.isValid() || proxyIndex.column() >= m_store->columnCount())
        return {}; // the presentation's own columns have no cell
    return m_store->index(proxyIndex.row() + m_fixed, proxyIndex.column());
}

QModelIndex GridRowsModel::mapFromSource(const QModelIndex& sourceIndex) const {
    if (!m_store || !sourceIndex.isValid() || sourceIndex.row() < m_fixed)
        return {};
    return index(sourceIndex.row() - m_fixed, sourceIndex.column());
}

QPixmap GridRowsModel::pictureFor(const QByteArray& bytes) const {
    auto found = m_pictures.constFind(bytes);
    if (found != m_pictures.constEnd())
        return *found;
    QPixmap picture;
    picture.loadFromData(bytes);
    if (m_pictures.size() >= 64) // the register has four; a grid of other pictures must not grow it forever
        m_pictures.clear();
    m_pictures.insert(bytes, picture);
    return picture;
}

QVariant GridRowsModel::data(const QModelIndex& index, int role) const {
    if (!m_store || !index.isValid())
        return {};
    if (m_presentation) {
        const QVariant shown = m_presentation->data(index.row() + m_fixed, index.column(), role);
        if (shown.isValid())
            return shown.typeId() == QMetaType::QString ? QVariant(drawnText(shown.toString())) : shown;
        if (index.column() >= m_store->columnCount()) {
            // A column of the view alone looks like the grid's plain cells.
            if (role == Qt::BackgroundRole)
                return QBrush(fromColorRef(m_store->defaultBackground()));
            if (role == Qt::ForegroundRole)
                return QBrush(fromColorRef(m_store->defaultForeground()));
            return {};
        }
    }
    const QModelIndex cell = mapToSource(index);
    switch (role) {
    case Qt::DecorationRole: {
        if (m_store->columnKindCode(index.column()) != ImageColumn)
            return {};
        const QByteArray bytes = m_store->data(cell, GridStore::PictureRole).toByteArray();
        if (bytes.isEmpty())
            return {};
        const QPixmap picture = pictureFor(bytes);
        return picture.isNull() ? QVariant() : QVariant(picture);
    }
    case Qt::BackgroundRole: {
        const QVariant own = m_store->data(cell, GridStore::BackgroundRgbRole);
        if (own.isValid())
            return QBrush(fromColorRef(own.toUInt()));
        if (index.column() < m_store->fixedColumnCount())
            return {}; // the view gives fixed columns the header's colour
        return QBrush(fromColorRef(m_store->defaultBackground()));
    }
    case Qt::ForegroundRole: {
        const QVariant own = m_store->data(cell, GridStore::ForegroundRgbRole);
        return QBrush(fromColorRef(own.isValid() ? own.toUInt() : m_store->defaultForeground()));
    }
    case Qt::TextAlignmentRole: {
        const QVariant format = m_store->data(cell, GridStore::FormatRole);
        if (!format.isValid())
            return {};
        return QVariant::fromValue(alignmentFromFormat(format.toInt()));
    }
    case Qt::DisplayRole:
    case Qt::ToolTipRole: {
        // The register's columns are narrower than a full start time: hovering shows the whole text.
        const QVariant text = m_store->data(cell, Qt::DisplayRole);
        return text.typeId() == QMetaType::QString ? QVariant(drawnText(text.toString())) : text;
    }
    default:
        // Texts, check marks and the rest are the grid's own answers.
        return m_store->data(cell, role);
    }
}

bool GridRowsModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!m_store || !index.isValid() || m_readOnly)
        return false;
    return m_store->setData(mapToSource(index), value, role);
}

Qt::ItemFlags GridRowsModel::flags(const QModelIndex& index) const {
    if (!m_store || !index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags flags = m_store->flags(mapToSource(index));
    return m_readOnly ? flags & ~(Qt::ItemIsEditable | Qt::ItemIsUserCheckable) : flags;
}

QVariant GridRowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (!m_store || orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QAbstractProxyModel::headerData(section, orientation, role);
    if (section >= m_store->columnCount())
        return role == Qt::DisplayRole ? QVariant(m_presentation->extraColumnCaption(section - m_store->columnCount()))
                                       : QVariant();
    if (role == Qt::DisplayRole)
        return m_fixed > 0 ? drawnText(m_store->cellText(0, section)) : QString();
    return {};
}

void GridRowsModel::resync() {
    if (m_store && m_store->fixedRowCount() != m_fixed && m_pending == Pending::None) {
        beginResetModel();
        m_fixed = m_store->fixedRowCount();
        endResetModel();
    }
}

void GridRowsModel::sourceDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                      const QList<int>& roles) {
    if (m_store->fixedRowCount() != m_fixed) {
        resync();
        return;
    }
    if (!topLeft.isValid() || !bottomRight.isValid())
        return;
    if (topLeft.row() == 0 && m_fixed > 0)
        Q_EMIT headerDataChanged(Qt::Horizontal, topLeft.column(), bottomRight.column());
    const int first = qMax(topLeft.row(), m_fixed);
    if (first > bottomRight.row())
        return;
    Q_EMIT dataChanged(index(first - m_fixed, topLeft.column()),
                       index(bottomRight.row() - m_fixed, bottomRight.column()), roles);
    if (m_presentation) {
        int left = std::numeric_limits<int>::max();
        int right = -1;
        for (int column = topLeft.column(); column <= bottomRight.column(); ++column) {
            const auto [from, to] = m_presentation->columnsDrawnFrom(column);
            if (from <= to) {
                left = qMin(left, from);
                right = qMax(right, to);
            }
        }
        if (left <= right)
            refreshPresented(first - m_fixed, bottomRight.row() - m_fixed, left, right);
    }
}

void GridRowsModel::refreshPresented(int firstRow, int lastRow, int firstColumn, int lastColumn) {
    const bool queued = m_refreshFirst >= 0;
    m_refreshFirst = queued ? qMin(m_refreshFirst, firstRow) : firstRow;
    m_refreshLast = queued ? qMax(m_refreshLast, lastRow) : lastRow;
    m_refreshLeft = queued ? qMin(m_refreshLeft, firstColumn) : firstColumn;
    m_refreshRight = queued ? qMax(m_refreshRight, lastColumn) : lastColumn;
    if (!queued)
        QMetaObject::invokeMethod(this, &GridRowsModel::flushPresentedRows, Qt::QueuedConnection);
}

void GridRowsModel::flushPresentedRows() {
    const int first = std::exchange(m_refreshFirst, -1);
    const int last = std::min(std::exchange(m_refreshLast, -1), rowCount() - 1);
    const int left = qMax(0, m_refreshLeft);
    const int right = std::min(m_refreshRight, columnCount() - 1);
    if (first < 0 || first > last || left > right || changingStructure())
        return; // the rows came or went since: the views draw them anew anyway
    Q_EMIT dataChanged(index(first, left), index(last, right));
}

void GridRowsModel::sourceRowsAboutToBeInserted(const QModelIndex&, int first, int last) {
    // The pending mark comes first: the view must not pass on the current cell that Qt moves
    // while rows come and go, since the grid moves its focus by its own rule.
    if (first >= m_fixed) {
        m_pending = Pending::Rows;
        beginInsertRows({}, first - m_fixed, last - m_fixed);
    } else {
        m_pending = Pending::Reset;
        beginResetModel();
    }
}

void GridRowsModel::sourceRowsInserted() {
    const Pending pending = std::exchange(m_pending, Pending::None);
    if (pending == Pending::Rows) {
        endInsertRows();
        resync(); // a grid without rows gets its header row with the first one
    } else if (pending == Pending::Reset) {
        m_fixed = m_store->fixedRowCount();
        endResetModel();
    }
}

void GridRowsModel::sourceRowsAboutToBeRemoved(const QModelIndex&, int first, int last) {
    if (first >= m_fixed) {
        m_pending = Pending::Rows;
        beginRemoveRows({}, first - m_fixed, last - m_fixed);
    } else {
        m_pending = Pending::Reset;
        beginResetModel();
    }
}

void GridRowsModel::sourceRowsRemoved() {
    const Pending pending = std::exchange(m_pending, Pending::None);
    if (pending == Pending::Rows) {
        endRemoveRows();
        resync();
    } else if (pending == Pending::Reset) {
        m_fixed = m_store->fixedRowCount();
        endResetModel();
    }
}

void GridRowsModel::beginStructureReset() {
    if (m_pending != Pending::None)
        return;
    m_pending = Pending::Reset;
    beginResetModel();
}

void GridRowsModel::endStructureReset() {
    if (m_pending != Pending::Reset)
        return;
    m_pending = Pending::None;
    m_fixed = m_store->fixedRowCount();
    m_pictures.clear();
    endResetModel();
}

// --- GridView ------------------------------------------------------------------------------------

GridView::GridView(QWidget* parent)
    : QTableView(parent)
    , m_rows(new GridRowsModel(this)) {
    setItemDelegate(new GridDelegate(this));
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    setWordWrap(false);
    setEditTriggers(QAbstractItemView::DoubleClicked);
    setModel(m_rows);
    connectSelection();
    connect(m_rows, &QAbstractItemModel::rowsInserted, this, &GridView::sizeInsertedRows);
    connect(m_rows, &QAbstractItemModel::columnsInserted, this, &GridView::applyGeometry);
    // After rows came or went, or the whole grid changed, the current cell is the grid's focus again.
    auto followFocus = [this] {
        if (const GridStore* grid = store())
            storeFocusChanged(grid->focusRow(), grid->focusColumn());
    };
    connect(m_rows, &QAbstractItemModel::rowsInserted, this, followFocus);
    connect(m_rows, &QAbstractItemModel::rowsRemoved, this, followFocus);
    connect(m_rows, &QAbstractItemModel::modelReset, this, [this, followFocus] {
        applyGeometry();
        followFocus();
    });
    connect(m_rows, &QAbstractItemModel::rowsInserted, this, &GridView::scheduleFit);
}

GridView::~GridView() = default;

void GridView::connectSelection() {
    disconnect(m_selectionConnection);
    m_selectionConnection = connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
                                    [this](const QModelIndex& current) { currentCellChanged(current); });
}

void GridView::setStore(GridStore* grid) {
    for (const QMetaObject::Connection& connection : std::as_const(m_storeConnections))
        disconnect(connection);
    m_storeConnections.clear();
    m_rows->setSourceModel(grid);
    if (grid) {
        m_storeConnections = {
            connect(grid, &GridStore::geometryChanged, this, &GridView::applyGeometry),
            connect(grid, &GridStore::focusChanged, this, &GridView::storeFocusChanged),
        };
        setSelectionMode(grid->lookSetting(7) ? QAbstractItemView::ExtendedSelection
                                              : QAbstractItemView::SingleSelection);
    }
    applyGeometry();
    storeFocusChanged(grid ? grid->focusRow() : -1, grid ? grid->focusColumn() : -1);
}

void GridView::setReadOnly(bool readOnly) {
    m_rows->setReadOnly(readOnly);
    setEditTriggers(readOnly ? QAbstractItemView::NoEditTriggers : QAbstractItemView::DoubleClicked);
}

GridStore* GridView::store() const {
    return m_rows->store();
}

QModelIndex GridView::viewIndex(int row, int column) const {
    return m_rows->index(row - m_rows->fixedRows(), column);
}

int GridView::gridRow(const QModelIndex& index) const {
    return index.isValid() ? index.row() + m_rows->fixedRows() : -1;
}

void GridView::applyGeometry() {
    const GridStore* grid = store();
    if (!grid)
        return;
    QHeaderView* columns = horizontalHeader();
    if (fitting()) {
        scheduleFit();
    } else {
        const HeldUpdates held(columns);
        for (int column = 0; column < grid->columnCount(); ++column) {
            const int wanted = drawnSize(grid->columnWidth(column));
            if (columns->sectionSize(column) != wanted)
                columns->resizeSection(column, wanted);
        }
        // The presentation's own columns, which the grid gives no width: wide enough for their captions.
        for (int column = grid->columnCount(); column < m_rows->columnCount(); ++column)
            columns->resizeSection(column, qMax(columns->sectionSizeHint(column), 60));
    }
    const int fixed = m_rows->fixedRows();
    if (fixed > 0) {
        // The header row keeps the height the grid gives it, but never clips its captions.
        columns->setFixedHeight(qMax(drawnSize(grid->rowHeight(0)), columns->sizeHint().height()));
    }
    // Most grids give every row the same height: one default size then serves all of them (and
    // the rows appended later), which keeps a register of many rows cheap.
    QHeaderView* rows = verticalHeader();
    const int count = grid->rowCount();
    const int height = drawnSize(count > fixed ? grid->rowHeight(fixed) : grid->everyRowHeight());
    bool uniform = true;
    for (int row = fixed + 1; row < count && uniform; ++row)
        uniform = drawnSize(grid->rowHeight(row)) == height;
    const HeldUpdates held(rows);
    // Setting the default size resizes every row: for rows of many heights each is sized below.
    if (height > 0 && uniform)
        rows->setDefaultSectionSize(height);
    for (int row = fixed; row < count; ++row) {
        const int wanted = uniform ? height : drawnSize(grid->rowHeight(row));
        if (rows->sectionSize(row - fixed) != wanted)
            rows->resizeSection(row - fixed, wanted);
    }
    if (m_gridLineColour != grid->gridLineColour()) {
        m_gridLineColour = grid->gridLineColour();
        setStyleSheet(QStringLiteral("QTableView { gridline-color: %1; }").arg(fromColorRef(m_gridLineColour).name()));
    }
}

void GridView::setPresentation(const GridPresentation* presentation) {
    m_rows->setPresentation(presentation); // a reset: the geometry is taken again
}

void GridView::setFitColumnsToContents(bool fit) {
    m_fit = fit;
    m_fitted.clear();
    horizontalHeader()->setResizeContentsPrecision(fit ? kMostMeasuredRows : 1000);
    applyGeometry();
}

bool GridView::fitting() const {
    return m_fit && m_rows->columnCount() <= kMostFittedColumns;
}

void GridView::scheduleFit() {
    if (!fitting())
        return;
    m_fitPending = true;
    if (m_fitQueued)
        return;
    // Once the changes of the moment are done: a load and its rows fit once, not row by row.
    m_fitQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_fitQueued = false;
            fitColumns();
        },
        Qt::QueuedConnection);
}

void GridView::fitColumns() {
    if (!fitting() || !m_fitPending || !store() || m_rows->changingStructure())
        return;
    // A hidden view would measure every row, and a register of thousands of rows at every start is
    // too many; shown, it measures the rows in sight, and the first show fits it.
    if (!isVisible())
        return;
    m_fitPending = false;
    const int count = m_rows->columnCount();
    m_fitted.resize(count);
    for (int column = 0; column < count; ++column)
        m_fitted[column] = contentWidth(column);
    stretchColumns();
}

int GridView::contentWidth(int column) const {
    return qMin(kMostPixels, qMax(sizeHintForColumn(column), horizontalHeader()->sectionSizeHint(column)));
}

void GridView::stretchColumns() {
    const GridStore* grid = store();
    if (!fitting() || !grid || m_fitted.size() != m_rows->columnCount() || m_fitted.isEmpty())
        return;
    // The room left over goes to the grid's own columns in proportion to their widths; the fixed
    // columns (the pictures) keep theirs.
    const int fixed = qMin(grid->fixedColumnCount(), int(m_fitted.size()));
    int total = 0;
    int shared = 0;
    for (int column = 0; column < m_fitted.size(); ++column) {
        total += m_fitted[column];
        if (column >= fixed)
            shared += m_fitted[column];
    }
    const int room = qMax(0, viewport()->width() - total);
    QHeaderView* columns = horizontalHeader();
    const HeldUpdates held(columns);
    int given = 0;
    for (int column = 0; column < m_fitted.size(); ++column) {
        int extra = 0;
        if (column >= fixed && shared > 0) {
            extra = column == m_fitted.size() - 1 ? room - given : int(qint64(room) * m_fitted[column] / shared);
            given += extra;
        }
        const int wanted = m_fitted[column] + extra;
        if (columns->sectionSize(column) != wanted)
            columns->resizeSection(column, wanted);
    }
}

void GridView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles) {
    // Qt draws the whole view again for a change of more than one cell. A tick changes a column of
    // a thousand rows of which a dozen are in sight: only the cells in sight between the corners
    // are drawn again. An open editor takes Qt's own way, which gives it the new text.
    if (topLeft == bottomRight || !topLeft.isValid() || !bottomRight.isValid() || state() == EditingState ||
        !isVisible()) {
        QTableView::dataChanged(topLeft, bottomRight, roles);
        return;
    }
    const QRect first = visualRect(topLeft);
    const QRect last = visualRect(bottomRight);
    if (first.isEmpty() || last.isEmpty()) { // a hidden row or column at a corner
        QTableView::dataChanged(topLeft, bottomRight, roles);
        return;
    }
    const QRect changed = (first | last) & viewport()->rect();
    if (!changed.isEmpty())
        viewport()->update(changed);
#if QT_CONFIG(accessibility)
    if (QAccessible::isActive()) {
        QAccessibleTableModelChangeEvent event(this, QAccessibleTableModelChangeEvent::DataChanged);
        event.setFirstRow(topLeft.row());
        event.setFirstColumn(topLeft.column());
        event.setLastRow(bottomRight.row());
        event.setLastColumn(bottomRight.column());
        QAccessible::updateAccessibility(&event);
    }
#endif
}

void GridView::showEvent(QShowEvent* event) {
    QTableView::showEvent(event);
    if (fitting() && (m_fitPending || m_fitted.isEmpty())) {
        m_fitPending = true;
        fitColumns();
    }
}

bool GridView::viewportEvent(QEvent* event) {
    const bool handled = QTableView::viewportEvent(event);
    // The window grew or shrank, or a scroll bar came or went.
    if (event->type() == QEvent::Resize)
        stretchColumns();
    return handled;
}

void GridView::sizeInsertedRows(const QModelIndex&, int first, int last) {
    const GridStore* grid = store();
    if (!grid)
        return;
    const int fixed = m_rows->fixedRows();
    for (int row = first; row <= last; ++row) {
        const int wanted = drawnSize(grid->rowHeight(row + fixed));
        if (wanted > 0 && verticalHeader()->sectionSize(row) != wanted)
            verticalHeader()->resizeSection(row, wanted);
    }
}

void GridView::currentCellChanged(const QModelIndex& current) {
    GridStore* grid = store();
    if (!grid || m_followingStore || m_rows->changingStructure())
        return;
    if (current.isValid())
        grid->setFocusCell(gridRow(current), current.column());
    else
        grid->setFocusCell(-1, -1);
}

void GridView::storeFocusChanged(int row, int column) {
    if (m_followingStore)
        return;
    m_followingStore = true;
    const QModelIndex wanted = viewIndex(row, column);
    if (wanted != currentIndex()) {
        if (wanted.isValid())
            selectionModel()->setCurrentIndex(wanted, QItemSelectionModel::NoUpdate);
        else
            selectionModel()->clearCurrentIndex();
    }
    m_followingStore = false;
}

} // namespace cuemora
