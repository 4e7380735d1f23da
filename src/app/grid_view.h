#pragma once

#include <QAbstractProxyModel>
#include <QHash>
#include <QList>
#include <QPixmap>
#include <QTableView>

namespace cuemora {

class GridStore;

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

    enum class Pending { None, Rows, Reset };

    GridStore* m_store = nullptr;
    int m_fixed = 0;
    Pending m_pending = Pending::None;
    bool m_readOnly = false;
    QList<QMetaObject::Connection> m_connections;
    // The register shows only a few distinct pictures on many rows: decode each once.
    mutable QHash<QByteArray, QPixmap> m_pictures;
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

private:
    void currentCellChanged(const QModelIndex& current);
    void storeFocusChanged(int row, int column);
    void sizeInsertedRows(const QModelIndex& parent, int first, int last);
    void connectSelection();

    GridRowsModel* m_rows;
    QList<QMetaObject::Connection> m_storeConnections;
    QMetaObject::Connection m_selectionConnection;
    bool m_followingStore = false;
    quint32 m_gridLineColour = 0xFFFFFFFFu;
};

} // namespace cuemora
