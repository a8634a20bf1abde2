#pragma once

#include "db/dataset.h"

#include <QColor>
#include <QList>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QTableView>
#include <functional>
#include <vector>

#include <QMenu>

namespace ui {

class DatasetTableModel;

// One column of a grid: the dataset column it shows, its title caption and its width in
// pixels. A field the dataset does not have shows empty cells.
struct GridColumn {
    QString field;
    QString title;
    int width = DefaultWidth;

    static constexpr int DefaultWidth = 64;
    bool operator==(const GridColumn&) const = default;
};

// What the draw-cell hook sees and may change for one cell (DBGrid1DrawColumnCell).
struct CellStyle {
    int row = -1;          // view row of the dataset (Dataset::valueAt/displayTextAt)
    int column = -1;       // display index of the grid column
    int fieldIndex = -1;   // dataset column, -1 when the field is missing
    QString field;
    bool selected = false; // marked by multi-selection (or the current row without it)
    bool current = false;  // the dataset's current row
    QColor background;     // white, or the highlight when selected and no hook is set
    QColor foreground;     // black, or the highlighted text
    QString text;          // the field's text; drawn 2 px right of and below the top-left corner
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop;
};

// Data-aware grid (TDBGrid) over a db::Dataset: one row per visible row of the dataset,
// no copy of the data, the current row following the dataset both ways. Columns are set by
// code (the design-time columns) or by the layout operations (gridlayout.h); the user can
// move and resize them. Until the user resizes a column or a layout of the user's own is
// applied (setAutoFit(false)), every showing widens the columns to their title and to the
// text of the first rows, and the last column takes the width left. Amount columns
// (CURRENCY) show two decimals. A dataset opened deferred is read when the grid is first shown. Read-only unless setReadOnly(false): then a cell is typed into and
// written with Dataset::setText, the row being posted when it is left.
class DBGrid : public QTableView {
    Q_OBJECT
public:
    using CellStyler = std::function<void(CellStyle& cell)>;

    explicit DBGrid(QWidget* parent = nullptr);
    ~DBGrid() override;

    void setDataset(db::Dataset* dataset);
    db::Dataset* dataset() const { return m_ds; }

    // --- columns, in display order, with their current widths
    int columnCount() const;
    QList<GridColumn> columns() const;
    GridColumn gridColumn(int displayIndex) const;
    void setColumns(const QList<GridColumn>& columns);
    void addColumn(const GridColumn& column);
    void addColumn(const QString& field, const QString& title, int width = GridColumn::DefaultWidth) {
        addColumn(GridColumn{field, title, width});
    }
    void removeColumn(int displayIndex);
    void clearColumns() { setColumns({}); }
    void moveColumn(int fromDisplay, int toDisplay);
    void setGridColumnWidth(int displayIndex, int width);
    int gridColumnWidth(int displayIndex) const;
    void setColumnTitle(int displayIndex, const QString& title);
    // Display index of the column named `field` (case ignored), -1 when none.
    int columnOfField(const QString& field) const;
    // The selected column: the column of the current cell, -1 when there is none.
    int selectedColumn() const;
    void setSelectedColumn(int displayIndex);

    // --- behaviour
    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return m_readOnly; }
    // The draw-cell hook (row colours); an empty function restores the default drawing.
    void setCellStyler(CellStyler styler);
    bool hasCellStyler() const { return bool(m_styler); }
    // Draw numbers as typed ("1234,5") instead of the display text ("1.234,5").
    void setDrawEditText(bool on);
    // The style a cell gets (the hook applied): what paint uses, for tests and windows.
    CellStyle cellStyle(int row, int displayColumn) const;
    // Text of a cell as drawn.
    QString cellText(int row, int displayColumn) const;

    // --- multi-row selection (dgMultiSelect): click selects one row, Ctrl+click toggles,
    // Shift+click or Shift+arrows extend. Rows are remembered by the dataset's key column
    // (auto-number or "ID"), so they survive sorting, filtering and requery.
    void setMultiSelect(bool on);
    bool multiSelect() const { return m_multi; }
    void setKeyField(const QString& field); // default: the auto-number of the first table, or ID
    bool isRowSelected(int viewRow) const;
    void setRowSelected(int viewRow, bool selected);
    // Selects every visible row, or every visible row for which `which` is true; rows
    // already selected stay selected. The dataset does not move.
    void selectAllRows(const std::function<bool(int viewRow)>& which = {});
    void clearRowSelection();
    int selectedRowCount() const;
    QList<int> selectedRows() const;      // visible selected rows, in view order
    QList<QVariant> selectedKeys() const; // key values of the visible selected rows, same order

    // --- pop-up menu shown on a right click over cells or titles (not owned)
    void setPopupMenu(QMenu* menu);
    QMenu* popupMenu() const { return m_popup; }

    int rowHeight() const;

    // --- widths from titles and contents
    void setAutoFit(bool on) { m_autoFit = on; }
    bool autoFit() const { return m_autoFit; }
    // Widens every column to its title and to its widest text among the first rows (up to
    // a limit for long texts); never narrows one.
    void fitColumns();

Q_SIGNALS:
    void titleClicked(int displayIndex, const QString& field); // DBGrid1TitleClick
    void dblClicked();                                          // DBGrid1DblClick on a row
    void rowSelectionChanged();
    void columnsChanged(); // set, added, removed, moved or resized

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    friend class DatasetTableModel;
    friend class GridDelegate;
    void onLayoutReset();
    void onCurrentChanged(int pos);
    void onRowChanged(int row);
    void syncCurrentFromDataset();
    void normaliseHeader();
    bool isAmount(int field) const;
    void stretchLast(); // the last column takes the width left, never less than its own
    void applyWidths(const QList<GridColumn>& columns);
    int logicalOf(int displayIndex) const;
    int keyColumn() const;     // cached on every reset
    int findKeyColumn() const;
    // The entry of a row in the selection: its key value, or -(physical row + 1) when the
    // dataset has no integer key column (or the row has no key yet).
    qlonglong selectionKeyAt(int viewRow) const;
    void selectRange(int from, int to);
    void showPopup(const QPoint& globalPos);

    QPointer<db::Dataset> m_ds;
    DatasetTableModel* m_model = nullptr;
    QList<QMetaObject::Connection> m_connections;
    bool m_readOnly = true;
    bool m_syncing = false;
    bool m_restructuring = false;
    bool m_drawEditText = false;
    CellStyler m_styler;
    bool m_multi = false;
    QString m_keyField;
    int m_keyColumn = -1;
    QSet<qlonglong> m_selected;
    int m_anchor = -1;
    int m_lastColumn = -1; // display index of the last current column (kept over resets)
    bool m_deferredSeen = false; // bound to a deferred dataset while hidden
    bool m_autoFit = true;
    bool m_fittedRows = false; // fitted to rows once: a filter typed letter by letter does not widen it again
    int m_stretched = -1; // logical index of the column drawn stretched
    mutable std::vector<char> m_amountFields; // per dataset column, found on first use
    QPointer<QMenu> m_popup;
};

} // namespace ui
