#pragma once

#include <QAbstractProxyModel>
#include <QColor>
#include <QHash>
#include <QList>
#include <QPixmap>
#include <QTableView>

#include <utility>

namespace cuemora {

class GridStore;

// A grid's COLORREF colour (0x00BBGGRR) as Qt's.
QColor fromColorRef(quint32 colour);

// What a grid's view draws beyond the grid's own answers, for the grids that want more than their
// cells: other texts for some cells, a look for whole rows, and columns that only the view shows.
// It only answers what the view asks: the grid, its cells and its file never change for it.
class GridPresentation {
public:
    virtual ~GridPresentation() = default;
    // Columns drawn after the grid's own; they are never part of the grid.
    virtual int extraColumnCount() const { return 0; }
    virtual QString extraColumnCaption(int extra) const;
    // The view's answer for `role` of the grid cell (row, column), the extra columns counted on
    // after the grid's own; an invalid QVariant leaves the grid's own answer.
    virtual QVariant data(int row, int column, int role) const = 0;
    // The columns, first and last, whose drawing in a row hangs on the cell of `column` in that
    // row, beyond that cell itself; first > last for none. By default the whole row.
    virtual std::pair<int, int> columnsDrawnFrom(int column) const;
};

// A grid's data rows as a plain table for QTableView: view row k is grid row k + fixedRowCount, and
// the horizontal header carries the texts of grid row 0. Texts and check marks are the grid's own
// answers; its pictures become pixmaps, and its COLORREF colours and DrawText flags Qt's brushes
// and alignments.
class GridRowsModel : public QAbstractProxyModel {
    Q_OBJECT

public:
    explicit GridRowsModel(QObject* parent = nullptr);

    void setSourceModel(QAbstractItemModel* source) override;
    GridStore* store() const { return m_store; }
    // Draws the grid through `presentation` (nullptr: the grid's own answers alone); it must
    // outlive the model or be set back first.
    void setPresentation(const GridPresentation* presentation);
    // The number of grid rows above the view's first row.
    int fixedRows() const { return m_fixed; }

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex mapToSource(const QModelIndex& proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex& sourceIndex) const override;

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // A read-only model offers no cell for editing or ticking and refuses every change.
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool isReadOnly() const { return m_readOnly; }

    // Starts over when the grid's fixed row count changed behind the model's back.
    void resync();
    // True while rows come or go or the grid is being replaced.
    bool changingStructure() const { return m_pending != Pending::None; }

private:
    void sourceDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles);
    void sourceRowsAboutToBeInserted(const QModelIndex& parent, int first, int last);
    void sourceRowsInserted();
    void sourceRowsAboutToBeRemoved(const QModelIndex& parent, int first, int last);
    void sourceRowsRemoved();
    void beginStructureReset();
    void endStructureReset();
    QPixmap pictureFor(const QByteArray& bytes) const;
    int extraColumns() const;
    void refreshPresented(int firstRow, int lastRow, int firstColumn, int lastColumn);
    void flushPresentedRows();

    enum class Pending { None, Rows, Reset };

    GridStore* m_store = nullptr;
    int m_fixed = 0;
    Pending m_pending = Pending::None;
    bool m_readOnly = false;
    QList<QMetaObject::Connection> m_connections;
    // The register shows only a few distinct pictures on many rows: decode each once.
    mutable QHash<QByteArray, QPixmap> m_pictures;
    const GridPresentation* m_presentation = nullptr;
    // What a presentation draws in a row hangs on any of its cells: the rows whose cells changed
    // are drawn again, whole, once the changes of the moment are done (a tick changes a thousand).
    int m_refreshFirst = -1;
    int m_refreshLast = -1;
    int m_refreshLeft = -1;
    int m_refreshRight = -1;
};

// The view every grid of the program is shown in: the register, the day's takings, the goods and
// the list of goods to sell. Column widths and row heights come from the grid; the current cell is
// the grid's focus cell, so that routines reading focusRow see the cell the operator clicked. A cell
// the grid lets the operator edit opens for editing only on a double-click: a key pressed on a
// cell starts no edit (F2 belongs to the window's shortcuts), and Escape leaves the cell as it was.
class GridView : public QTableView {
    Q_OBJECT

public:
    explicit GridView(QWidget* parent = nullptr);
    ~GridView() override;

    // Shows the grid (nullptr shows nothing). The grid must outlive the view or be set back first.
    void setStore(GridStore* store);
    GridStore* store() const;
    GridRowsModel* rowsModel() const { return m_rows; }

    // The view index of a grid cell; invalid for fixed rows and cells outside the grid.
    QModelIndex viewIndex(int gridRow, int column) const;
    // The grid row of a view index, -1 for an invalid one.
    int gridRow(const QModelIndex& index) const;

    // Takes the column widths, row heights and grid-line colour from the grid again.
    void applyGeometry();

    // A view that only shows its grid: nothing in it can be edited, ticked or pasted.
    void setReadOnly(bool readOnly);
    // See GridRowsModel::setPresentation.
    void setPresentation(const GridPresentation* presentation);

    // Columns as wide as their contents and captions (at the first show, after rows came and after
    // the grid changed), the grid's own columns sharing whatever room is left; the widths the grid
    // holds stay as they are. Off: the grid's widths.
    void setFitColumnsToContents(bool fit);
    // The width a column's caption and the texts of the rows in sight ask for, at most 1000 pixels.
    int contentWidth(int column) const;

protected:
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles = QList<int>()) override;
    void showEvent(QShowEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    bool fitting() const;
    void scheduleFit();
    void fitColumns();
    void stretchColumns();
    void currentCellChanged(const QModelIndex& current);
    void storeFocusChanged(int row, int column);
    void sizeInsertedRows(const QModelIndex& parent, int first, int last);
    void connectSelection();

    GridRowsModel* m_rows;
    QList<QMetaObject::Connection> m_storeConnections;
    QMetaObject::Connection m_selectionConnection;
    bool m_followingStore = false;
    quint32 m_gridLineColour = 0xFFFFFFFFu;
    bool m_fit = false;
    bool m_fitQueued = false;
    bool m_fitPending = false;
    QList<int> m_fitted; // the widths the contents ask for, before the room left is shared out
};

} // namespace cuemora
