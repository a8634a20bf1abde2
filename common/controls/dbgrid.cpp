#include "common/controls/dbgrid.h"

#include "db/connection.h"
#include "db/sql/translator.h"
#include "db/values.h"

#include "common/controls/gridmodel.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>

namespace ui {

// --- DBGrid ------------------------------------------------------------------------------

DBGrid::DBGrid(QWidget* parent) : QTableView(parent) {
    m_model = new DatasetTableModel(this);
    setModel(m_model);
    setItemDelegate(new GridDelegate(this));
    // Rows are drawn selected from the dataset (cellStyle); the view's own selection is kept
    // so that a screen reader can select a row, which then becomes the current one.
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const QModelIndexList rows = selectionModel()->selectedRows();
        if (m_syncing || rows.isEmpty() || rows[0].row() == currentIndex().row()) return;
        const int column = currentIndex().isValid() ? currentIndex().column() : logicalOf(0);
        selectionModel()->setCurrentIndex(m_model->index(rows[0].row(), qMax(0, column)), QItemSelectionModel::NoUpdate);
    });
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setTabKeyNavigation(false);

    QHeaderView* v = verticalHeader();
    v->hide();
    v->setMinimumSectionSize(1);
    v->setSectionResizeMode(QHeaderView::Fixed);
    v->setDefaultSectionSize(fontMetrics().height() + 5);

    QHeaderView* h = horizontalHeader();
    h->setSectionsMovable(true);
    h->setSectionsClickable(true);
    h->setHighlightSections(false);
    h->setSectionResizeMode(QHeaderView::Interactive);
    h->setStretchLastSection(false); // stretchLast(): never narrower than its own width
    h->setMinimumSectionSize(0);
    h->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    h->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(h, &QHeaderView::customContextMenuRequested, this,
            [this, h](const QPoint& pos) { showPopup(h->mapToGlobal(pos)); });
    connect(h, &QHeaderView::sectionClicked, this, [this, h](int logical) {
        if (logical < 0 || logical >= m_model->columns.size()) return;
        Q_EMIT titleClicked(h->visualIndex(logical), m_model->columns[logical].field);
    });
    connect(h, &QHeaderView::sectionResized, this, [this, h](int logical, int, int size) {
        if (m_restructuring) return;
        // A width the user dragged stays: no more fitting.
        if ((QApplication::mouseButtons() & Qt::LeftButton) && h->underMouse()) m_autoFit = false;
        if (logical == logicalOf(columnCount() - 1)) m_model->columns[logical].width = size;
        stretchLast();
        Q_EMIT columnsChanged();
    });
    connect(h, &QHeaderView::sectionMoved, this, [this] {
        if (m_restructuring) return;
        stretchLast();
        Q_EMIT columnsChanged();
    });
}

DBGrid::~DBGrid() = default;

void DBGrid::setDataset(db::Dataset* dataset) {
    if (m_ds == dataset) return;
    for (const auto& c : m_connections) disconnect(c);
    m_connections.clear();
    m_ds = dataset;
    m_selected.clear();
    m_anchor = -1;
    if (dataset) {
        m_connections << connect(dataset, &db::Dataset::layoutReset, this, &DBGrid::onLayoutReset);
        m_connections << connect(dataset, &db::Dataset::currentChanged, this, &DBGrid::onCurrentChanged);
        m_connections << connect(dataset, &db::Dataset::rowChanged, this, &DBGrid::onRowChanged);
        m_connections << connect(dataset, &db::Dataset::stateChanged, this,
                                 [this] { viewport()->update(); });
        m_connections << connect(dataset, &QObject::destroyed, this, [this] {
            m_ds = nullptr;
            onLayoutReset();
        });
    }
    onLayoutReset();
}

// --- dataset to view

void DBGrid::onLayoutReset() {
    m_amountFields.clear(); // the query may have changed
    m_restructuring = true;
    m_model->resetAll(); // same column count: the header keeps order and widths
    m_restructuring = false;
    m_keyColumn = findKeyColumn();
    // Entries made of physical row numbers do not survive a new set of rows.
    for (auto it = m_selected.begin(); it != m_selected.end();)
        it = *it < 0 ? m_selected.erase(it) : std::next(it);
    if (m_anchor >= m_model->rows) m_anchor = -1;
    syncCurrentFromDataset();
    if (m_autoFit && !m_fittedRows && isVisible()) fitColumns(); // the first rows it is shown with
    viewport()->update();
}

void DBGrid::onCurrentChanged(int) {
    if (m_syncing) return;
    syncCurrentFromDataset();
    viewport()->update();
}

void DBGrid::onRowChanged(int row) {
    if (row < 0 || row >= m_model->rows || m_model->columns.isEmpty()) return;
    Q_EMIT m_model->dataChanged(m_model->index(row, 0),
                                m_model->index(row, int(m_model->columns.size()) - 1));
}

void DBGrid::syncCurrentFromDataset() {
    const bool wasSyncing = m_syncing;
    m_syncing = true;
    QModelIndex target;
    if (m_ds && m_ds->isOpen() && m_model->rows > 0 && !m_model->columns.isEmpty()) {
        const int pos = m_ds->position();
        if (pos >= 0 && pos < m_model->rows) {
            int col = currentIndex().isValid() ? currentIndex().column() : logicalOf(m_lastColumn);
            if (col < 0 || col >= m_model->columns.size()) col = logicalOf(0);
            target = m_model->index(pos, col);
        }
    }
    if (target != currentIndex()) selectionModel()->setCurrentIndex(target, QItemSelectionModel::NoUpdate);
    if (target.isValid()) scrollTo(target);
    m_syncing = wasSyncing;
}

// --- view to dataset

void DBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (current.isValid()) m_lastColumn = horizontalHeader()->visualIndex(current.column());
    viewport()->update();
    if (m_syncing || !current.isValid() || !m_ds || !m_ds->isOpen()) return;
    if (current.row() == m_ds->position()) return;
    m_syncing = true;
    try {
        m_ds->setPosition(current.row());
    } catch (...) {
        // The row could not be left (its pending edit failed to post): stay where the
        // dataset is, and let the error reach the default handler.
        m_syncing = false;
        syncCurrentFromDataset();
        throw;
    }
    m_syncing = false;
    if (m_ds->position() != current.row()) syncCurrentFromDataset();
}

// --- columns

int DBGrid::logicalOf(int displayIndex) const {
    if (displayIndex < 0 || displayIndex >= m_model->columns.size()) return -1;
    return horizontalHeader()->logicalIndex(displayIndex);
}

int DBGrid::columnCount() const { return int(m_model->columns.size()); }

GridColumn DBGrid::gridColumn(int displayIndex) const {
    const int l = logicalOf(displayIndex);
    if (l < 0) return {};
    GridColumn c = m_model->columns[l];
    // The last column is drawn stretched to the grid's width; its own width is kept apart,
    // so that layouts store what was designed or chosen, not the size of the window.
    if (displayIndex != columnCount() - 1) c.width = horizontalHeader()->sectionSize(l);
    return c;
}

QList<GridColumn> DBGrid::columns() const {
    QList<GridColumn> out;
    for (int v = 0; v < columnCount(); ++v) out << gridColumn(v);
    return out;
}

void DBGrid::normaliseHeader() {
    QHeaderView* h = horizontalHeader();
    for (int l = 0; l < h->count(); ++l)
        if (h->visualIndex(l) != l) h->moveSection(h->visualIndex(l), l);
}

void DBGrid::applyWidths(const QList<GridColumn>& cols) {
    QHeaderView* h = horizontalHeader();
    for (int i = 0; i < cols.size() && i < h->count(); ++i) h->resizeSection(i, qMax(0, cols[i].width));
}

void DBGrid::setColumns(const QList<GridColumn>& cols) {
    const int keepColumn = selectedColumn();
    m_restructuring = true;
    m_model->setColumns(cols);
    normaliseHeader();
    applyWidths(cols);
    m_stretched = -1;
    m_restructuring = false;
    stretchLast();
    m_lastColumn = cols.isEmpty() ? -1 : qBound(0, keepColumn, int(cols.size()) - 1);
    syncCurrentFromDataset();
    if (m_autoFit && isVisible()) fitColumns();
    viewport()->update();
    Q_EMIT columnsChanged();
}

void DBGrid::addColumn(const GridColumn& column) {
    QList<GridColumn> cols = columns();
    cols << column;
    setColumns(cols);
}

void DBGrid::removeColumn(int displayIndex) {
    QList<GridColumn> cols = columns();
    if (displayIndex < 0 || displayIndex >= cols.size()) return;
    cols.removeAt(displayIndex);
    setColumns(cols);
}

void DBGrid::moveColumn(int fromDisplay, int toDisplay) {
    QList<GridColumn> cols = columns();
    if (fromDisplay < 0 || fromDisplay >= cols.size() || toDisplay < 0 || toDisplay >= cols.size())
        return;
    cols.move(fromDisplay, toDisplay);
    setColumns(cols);
}

void DBGrid::setGridColumnWidth(int displayIndex, int width) {
    const int l = logicalOf(displayIndex);
    if (l < 0) return;
    m_model->columns[l].width = qMax(0, width);
    horizontalHeader()->resizeSection(l, qMax(0, width));
    stretchLast();
}

int DBGrid::gridColumnWidth(int displayIndex) const { return gridColumn(displayIndex).width; }

void DBGrid::setColumnTitle(int displayIndex, const QString& title) {
    const int l = logicalOf(displayIndex);
    if (l < 0) return;
    m_model->columns[l].title = title;
    Q_EMIT m_model->headerDataChanged(Qt::Horizontal, l, l);
    Q_EMIT columnsChanged();
}

int DBGrid::columnOfField(const QString& field) const {
    for (int v = 0; v < columnCount(); ++v)
        if (gridColumn(v).field.compare(field, Qt::CaseInsensitive) == 0) return v;
    return -1;
}

int DBGrid::selectedColumn() const {
    const QModelIndex c = currentIndex();
    if (!c.isValid()) {
        // No current cell (empty dataset): the last one chosen, else the first column.
        if (columnCount() == 0) return -1;
        return m_lastColumn >= 0 && m_lastColumn < columnCount() ? m_lastColumn : 0;
    }
    return horizontalHeader()->visualIndex(c.column());
}

void DBGrid::setSelectedColumn(int displayIndex) {
    const int l = logicalOf(displayIndex);
    if (l < 0) return;
    m_lastColumn = displayIndex;
    if (!currentIndex().isValid()) return;
    m_syncing = true;
    selectionModel()->setCurrentIndex(m_model->index(currentIndex().row(), l), QItemSelectionModel::NoUpdate);
    m_syncing = false;
    viewport()->update();
}

// --- behaviour

void DBGrid::setReadOnly(bool readOnly) {
    m_readOnly = readOnly;
    setEditTriggers(readOnly ? QAbstractItemView::NoEditTriggers
                             : QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                   QAbstractItemView::AnyKeyPressed);
}

void DBGrid::setCellStyler(CellStyler styler) {
    m_styler = std::move(styler);
    viewport()->update();
}

void DBGrid::setDrawEditText(bool on) {
    m_drawEditText = on;
    viewport()->update();
}

int DBGrid::rowHeight() const { return verticalHeader()->defaultSectionSize(); }

QString DBGrid::cellText(int row, int displayColumn) const {
    const int f = m_model->field(logicalOf(displayColumn));
    if (f < 0 || !m_model->rowReadable(row)) return QString();
    if (m_drawEditText && m_ds->field(f).type == db::FieldType::Double) {
        const QVariant v = m_ds->valueAt(row, f);
        if (!v.isValid() || v.isNull()) return QString();
        return db::displayNumber(v.toDouble(), db::Grouping::None);
    }
    if (isAmount(f)) {
        const QVariant v = m_ds->valueAt(row, f);
        if (!v.isValid() || v.isNull()) return QString();
        static const QLocale italian(QLocale::Italian, QLocale::Italy);
        return italian.toString(v.toDouble(), 'f', 2);
    }
    return m_ds->displayTextAt(row, f);
}

bool DBGrid::isAmount(int field) const {
    // Which dataset columns are amounts, from the declared types of their base columns.
    if (int(m_amountFields.size()) != m_ds->fieldCount()) {
        m_amountFields.assign(size_t(m_ds->fieldCount()), 0);
        for (int f = 0; f < m_ds->fieldCount() && m_ds->connection(); ++f) {
            const db::ColumnInfo& info = m_ds->field(f);
            if (info.type != db::FieldType::Double || info.table.isEmpty()) continue;
            for (const auto& col : m_ds->connection()->catalog().columns(info.table))
                if (col.name.compare(info.origin, Qt::CaseInsensitive) == 0) m_amountFields[size_t(f)] = col.amount;
        }
    }
    return m_amountFields[size_t(field)] != 0;
}

CellStyle DBGrid::cellStyle(int row, int displayColumn) const {
    CellStyle st;
    st.row = row;
    st.column = displayColumn;
    const int l = logicalOf(displayColumn);
    if (l >= 0) st.field = m_model->columns[l].field;
    st.fieldIndex = m_model->field(l);
    st.current = m_ds && row == m_ds->position();
    st.selected = m_multi ? isRowSelected(row) : st.current;
    if (st.selected && !m_styler) {
        const QPalette::ColorGroup g = hasFocus() ? QPalette::Active : QPalette::Inactive;
        st.background = palette().color(g, QPalette::Highlight);
        st.foreground = palette().color(g, QPalette::HighlightedText);
    } else {
        st.background = Qt::white;
        st.foreground = Qt::black;
    }
    st.text = cellText(row, displayColumn);
    if (!m_styler && st.fieldIndex >= 0 && m_ds) {
        const db::FieldType t = m_ds->field(st.fieldIndex).type;
        if (t == db::FieldType::Integer || t == db::FieldType::Double)
            st.alignment = Qt::AlignRight | Qt::AlignTop;
    }
    if (m_styler) m_styler(st);
    return st;
}

// --- mouse, painting, pop-up menu (the selection gestures are in gridselection.cpp)

void DBGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    QTableView::mouseDoubleClickEvent(event);
    if (index.isValid() && event->button() == Qt::LeftButton) Q_EMIT dblClicked();
}

void DBGrid::showEvent(QShowEvent* event) {
    QTableView::showEvent(event);
    if (m_deferredSeen) {
        m_deferredSeen = false;
        onLayoutReset(); // the deferred dataset is read now
    }
    if (m_autoFit) fitColumns();
}

void DBGrid::fitColumns() {
    constexpr int kRows = 200;      // enough rows to see the usual width of a column
    constexpr int kMaxContent = 320; // a long text (a note, an address) does not take the grid
    QHeaderView* h = horizontalHeader();
    const QFontMetrics fm(font());
    const int rows = std::min(m_model->rows, kRows);
    m_fittedRows = rows > 0;
    const bool restructuring = m_restructuring;
    m_restructuring = true;
    for (int v = 0; v < columnCount(); ++v) {
        const int l = logicalOf(v);
        int content = 0;
        for (int r = 0; r < rows && content < kMaxContent; ++r)
            content = std::max(content, fm.horizontalAdvance(cellText(r, v)) + 8);
        const int wanted = std::max(h->sectionSizeHint(l), std::min(content, kMaxContent));
        if (gridColumnWidth(v) < wanted) setGridColumnWidth(v, wanted);
    }
    m_restructuring = restructuring;
    stretchLast();
}

void DBGrid::stretchLast() {
    QHeaderView* h = horizontalHeader();
    const int n = columnCount();
    const bool restructuring = m_restructuring;
    m_restructuring = true;
    // The header holds the widths of the columns not stretched.
    for (int l = 0; l < n; ++l)
        if (l != m_stretched) m_model->columns[l].width = h->sectionSize(l);
    // A column that was stretched and is no longer the last (moved) gets its own width back.
    const int last = n > 0 ? logicalOf(n - 1) : -1;
    if (m_stretched >= 0 && m_stretched != last && m_stretched < n)
        h->resizeSection(m_stretched, m_model->columns[m_stretched].width);
    m_stretched = last;
    if (last >= 0) {
        int others = 0;
        for (int v = 0; v < n - 1; ++v) others += h->sectionSize(logicalOf(v));
        const int size = std::max(m_model->columns[last].width, viewport()->width() - others);
        if (h->sectionSize(last) != size) h->resizeSection(last, size);
    }
    m_restructuring = restructuring;
}

void DBGrid::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    stretchLast();
}

void DBGrid::paintEvent(QPaintEvent* event) {
    // While the dataset's controls are disabled its rows may be changing under us.
    if (m_ds && m_ds->controlsDisabled()) return;
    QTableView::paintEvent(event);
}

void DBGrid::setPopupMenu(QMenu* menu) { m_popup = menu; }

void DBGrid::showPopup(const QPoint& globalPos) {
    if (m_popup) m_popup->exec(globalPos);
}

void DBGrid::contextMenuEvent(QContextMenuEvent* event) {
    if (!m_popup) return QTableView::contextMenuEvent(event);
    showPopup(event->globalPos());
    event->accept();
}

} // namespace ui
