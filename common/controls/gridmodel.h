#pragma once

// The table model and the cell painter behind DBGrid; internal to common/controls.

#include "common/controls/dbgrid.h"

#include <QAbstractTableModel>
#include <QStyledItemDelegate>
#include <vector>

namespace ui {

// The rows of the dataset as a table: nothing is copied; every cell is read from the
// dataset when it is painted. Columns are kept in logical order; the header maps them to
// display order.
class DatasetTableModel : public QAbstractTableModel {
public:
    explicit DatasetTableModel(DBGrid* grid) : QAbstractTableModel(grid), m_grid(grid) {}

    QList<GridColumn> columns;
    std::vector<int> fieldIndex; // dataset column of each logical column, -1 when missing
    int rows = 0;

    // Reads the row count and the field indexes again (a deferred dataset stays unread while
    // the grid is hidden).
    void recompute();
    void resetAll();
    void setColumns(const QList<GridColumn>& cols);
    int field(int logical) const {
        return logical >= 0 && size_t(logical) < fieldIndex.size() ? fieldIndex[size_t(logical)] : -1;
    }
    bool rowReadable(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : rows; }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(columns.size());
    }
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // A typed cell: the dataset moves to its row and gets the text; a bad text is shown
    // through the dialog service and refused.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    DBGrid* m_grid;
};

// Paints every cell: background and text colour from the draw-cell hook, text 2 px right of
// and below the top-left corner.
class GridDelegate : public QStyledItemDelegate {
public:
    explicit GridDelegate(DBGrid* grid) : QStyledItemDelegate(grid), m_grid(grid) {}
    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    DBGrid* m_grid;
};

} // namespace ui
