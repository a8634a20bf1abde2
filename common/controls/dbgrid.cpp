#include "common/controls/dbgrid.h"

#include "common/controls/dialogs.h"
#include "db/error.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QPainter>
#include <QStyledItemDelegate>

namespace ui {

// The rows of the dataset as a table: nothing is copied; every cell is read from the
// dataset when it is painted. Columns are kept in logical order; the header maps them to
// display order.
class DatasetTableModel : public QAbstractTableModel {
public:
    explicit DatasetTableModel(DBGrid* grid) : QAbstractTableModel(grid), m_grid(grid) {}

    QList<GridColumn> columns;
    std::vector<int> fieldIndex;
    int rows = 0;

    void recompute() {
        db::Dataset* ds = m_grid->m_ds;
        bool open = ds && ds->isOpen();
        if (open && ds->deferred() && !m_grid->isVisible()) {
            // Not read yet and nobody looking: read it when the grid is shown.
            m_grid->m_deferredSeen = true;
            open = false;
        }
        rows = open ? ds->recordCount() : 0;
        fieldIndex.assign(size_t(columns.size()), -1);
        if (open)
            for (int i = 0; i < columns.size(); ++i)
                fieldIndex[size_t(i)] = columns[i].field.isEmpty() ? -1 : ds->fieldIndex(columns[i].field);
    }
    void resetAll() {
        beginResetModel();
        recompute();
        endResetModel();
    }
    void setColumns(const QList<GridColumn>& cols) {
        beginResetModel();
        columns = cols;
        recompute();
        endResetModel();
    }
    int field(int logical) const {
        return logical >= 0 && size_t(logical) < fieldIndex.size() ? fieldIndex[size_t(logical)] : -1;
    }
    bool rowReadable(int row) const {
        db::Dataset* ds = m_grid->m_ds;
        return ds && ds->isOpen() && row >= 0 && row < ds->recordCount();
    }

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : rows; }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(columns.size());
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid()) return {};
        if (role == Qt::DisplayRole) {
            const int visual = m_grid->horizontalHeader()->visualIndex(index.column());
            return m_grid->cellText(index.row(), visual);
        }
        if (role == Qt::EditRole) {
            const int f = field(index.column());
            if (f < 0 || !rowReadable(index.row())) return QString();
            db::Dataset* ds = m_grid->m_ds;
            return index.row() == ds->position() ? ds->editText(f) : ds->displayTextAt(index.row(), f);
        }
        return {};
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
            section < columns.size())
            return columns[section].title;
        return QAbstractTableModel::headerData(section, orientation, role);
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (!m_grid->m_readOnly && index.isValid()) {
            const int fi = field(index.column());
            db::Dataset* ds = m_grid->m_ds;
            if (fi >= 0 && ds && !ds->field(fi).table.isEmpty() && !ds->field(fi).autoNumber)
                f |= Qt::ItemIsEditable;
        }
        return f;
    }

    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        if (role != Qt::EditRole || !index.isValid()) return false;
        const int f = field(index.column());
        db::Dataset* ds = m_grid->m_ds;
        if (f < 0 || !rowReadable(index.row())) return false;
        try {
            if (ds->position() != index.row()) ds->setPosition(index.row());
            const QString text = value.toString();
            if (text == ds->editText(f)) return true; // unchanged: nothing to write
            ds->setText(f, text);
        } catch (const db::DatabaseError& e) {
            dialogs().message(m_grid->window(), e.text(), QStringLiteral("Errore"), MessageIcon::Error);
            return false;
        }
        return true;
    }

private:
    DBGrid* m_grid;
};

// Paints every cell: background and text colour from the draw-cell hook, text 2 px right of
// and below the top-left corner.
class GridDelegate : public QStyledItemDelegate {
public:
    explicit GridDelegate(DBGrid* grid) : QStyledItemDelegate(grid), m_grid(grid) {}

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const int visual = m_grid->horizontalHeader()->visualIndex(index.column());
        const CellStyle st = m_grid->cellStyle(index.row(), visual);
        p->save();
        p->setClipRect(option.rect);
        p->fillRect(option.rect, st.background);
        if (st.selected && m_grid->hasCellStyler()) {
            // The hook's colours stay visible under a light highlight.
            QColor h = m_grid->palette().color(QPalette::Active, QPalette::Highlight);
            h.setAlpha(110);
            p->fillRect(option.rect, h);
        }
        p->setFont(option.font);
        p->setPen(st.foreground);
        const QRect textRect = option.rect.adjusted(2, 2, -2, 0);
        // A memo shows on one line, clipped by the cell.
        const QString text = QString(st.text).replace(u'\n', u' ').remove(u'\r');
        p->drawText(textRect, int(st.alignment) | Qt::TextSingleLine, text);
        if (st.current && (m_grid->multiSelect() || m_grid->hasCellStyler())) {
            // The current row, when its colours come from the hook or the selection:
            // a line above and below it.
            p->setPen(QPen(m_grid->palette().color(QPalette::Active, QPalette::Highlight).darker(150), 1));
            p->drawLine(option.rect.topLeft(), option.rect.topRight());
            p->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
        }
        if (m_grid->hasFocus() && index == m_grid->currentIndex()) {
            QPen pen(st.foreground);
            pen.setStyle(Qt::DotLine);
            p->setPen(pen);
            p->drawRect(option.rect.adjusted(0, 0, -1, -1));
        }
        p->restore();
    }

private:
    DBGrid* m_grid;
};

// --- DBGrid ------------------------------------------------------------------------------

DBGrid::DBGrid(QWidget* parent) : QTableView(parent) {
    m_model = new DatasetTableModel(this);
    setModel(m_model);
    setItemDelegate(new GridDelegate(this));
    setSelectionMode(QAbstractItemView::NoSelection);
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
    h->setStretchLastSection(false);
    h->setMinimumSectionSize(0);
    h->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    h->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(h, &QHeaderView::customContextMenuRequested, this,
            [this, h](const QPoint& pos) { showPopup(h->mapToGlobal(pos)); });
    connect(h, &QHeaderView::sectionClicked, this, [this, h](int logical) {
        if (logical < 0 || logical >= m_model->columns.size()) return;
        Q_EMIT titleClicked(h->visualIndex(logical), m_model->columns[logical].field);
    });
    connect(h, &QHeaderView::sectionResized, this, [this] {
        if (!m_restructuring) Q_EMIT columnsChanged();
    });
    connect(h, &QHeaderView::sectionMoved, this, [this] {
        if (!m_restructuring) Q_EMIT columnsChanged();
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
    m_restructuring = true;
    m_model->resetAll(); // same column count: the header keeps order and widths
    m_restructuring = false;
    m_keyColumn = findKeyColumn();
    // Entries made of physical row numbers do not survive a new set of rows.
    for (auto it = m_selected.begin(); it != m_selected.end();)
        it = *it < 0 ? m_selected.erase(it) : std::next(it);
    if (m_anchor >= m_model->rows) m_anchor = -1;
    syncCurrentFromDataset();
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
    c.width = horizontalHeader()->sectionSize(l);
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
    m_restructuring = false;
    m_lastColumn = cols.isEmpty() ? -1 : qBound(0, keepColumn, int(cols.size()) - 1);
    syncCurrentFromDataset();
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
    if (l >= 0) horizontalHeader()->resizeSection(l, qMax(0, width));
}

int DBGrid::gridColumnWidth(int displayIndex) const {
    const int l = logicalOf(displayIndex);
    return l < 0 ? 0 : horizontalHeader()->sectionSize(l);
}

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
        static const QLocale edit = [] {
            QLocale l(QLocale::Italian, QLocale::Italy);
            l.setNumberOptions(QLocale::OmitGroupSeparator);
            return l;
        }();
        return edit.toString(v.toDouble(), 'f', QLocale::FloatingPointShortest);
    }
    return m_ds->displayTextAt(row, f);
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

// --- multi-selection

void DBGrid::setMultiSelect(bool on) {
    m_multi = on;
    if (!on) m_selected.clear();
    viewport()->update();
}

void DBGrid::setKeyField(const QString& field) {
    m_keyField = field;
    m_keyColumn = findKeyColumn();
    m_selected.clear();
    viewport()->update();
}

int DBGrid::keyColumn() const {
    return (m_ds && m_ds->isOpen() && m_keyColumn < m_ds->fieldCount()) ? m_keyColumn : -1;
}

int DBGrid::findKeyColumn() const {
    if (!m_ds || !m_ds->isOpen() || (m_ds->deferred() && !isVisible())) return -1;
    int c = -1;
    if (!m_keyField.isEmpty()) {
        c = m_ds->fieldIndex(m_keyField);
    } else {
        const QString first = m_ds->translation().tables.isEmpty() ? QString()
                                                                    : m_ds->translation().tables.first();
        for (int i = 0; i < m_ds->fieldCount() && c < 0; ++i)
            if (m_ds->field(i).autoNumber && m_ds->field(i).table.compare(first, Qt::CaseInsensitive) == 0)
                c = i;
        if (c < 0) c = m_ds->fieldIndex(QStringLiteral("ID"));
    }
    if (c >= 0 && m_ds->field(c).type != db::FieldType::Integer) c = -1;
    return c;
}

qlonglong DBGrid::selectionKeyAt(int viewRow) const {
    const int kc = keyColumn();
    if (kc >= 0) {
        const QVariant v = m_ds->valueAt(viewRow, kc);
        if (v.isValid() && !v.isNull()) return v.toLongLong();
    }
    return -qlonglong(m_ds->physicalRow(viewRow)) - 1;
}

bool DBGrid::isRowSelected(int viewRow) const {
    if (m_selected.isEmpty() || !m_model->rowReadable(viewRow)) return false;
    return m_selected.contains(selectionKeyAt(viewRow));
}

void DBGrid::setRowSelected(int viewRow, bool selected) {
    if (!m_model->rowReadable(viewRow)) return;
    if (selected)
        m_selected.insert(selectionKeyAt(viewRow));
    else
        m_selected.remove(selectionKeyAt(viewRow));
    viewport()->update();
    Q_EMIT rowSelectionChanged();
}

void DBGrid::selectAllRows(const std::function<bool(int)>& which) {
    if (!m_ds || !m_ds->isOpen()) return;
    const int n = m_ds->recordCount();
    m_selected.reserve(m_selected.size() + n);
    for (int r = 0; r < n; ++r)
        if (!which || which(r)) m_selected.insert(selectionKeyAt(r));
    viewport()->update();
    Q_EMIT rowSelectionChanged();
}

void DBGrid::clearRowSelection() {
    if (m_selected.isEmpty()) return;
    m_selected.clear();
    viewport()->update();
    Q_EMIT rowSelectionChanged();
}

QList<int> DBGrid::selectedRows() const {
    QList<int> out;
    if (m_selected.isEmpty() || !m_ds || !m_ds->isOpen()) return out;
    const int n = m_ds->recordCount();
    for (int r = 0; r < n; ++r)
        if (m_selected.contains(selectionKeyAt(r))) out << r;
    return out;
}

QList<QVariant> DBGrid::selectedKeys() const {
    QList<QVariant> out;
    const int kc = keyColumn();
    for (int r : selectedRows()) out << (kc >= 0 ? m_ds->valueAt(r, kc) : QVariant(r));
    return out;
}

int DBGrid::selectedRowCount() const { return int(selectedRows().size()); }

void DBGrid::selectRange(int from, int to) {
    if (from > to) std::swap(from, to);
    for (int r = qMax(0, from); r <= to && r < m_model->rows; ++r)
        if (m_model->rowReadable(r)) m_selected.insert(selectionKeyAt(r));
}

// --- mouse, keys, painting

void DBGrid::mousePressEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    QTableView::mousePressEvent(event);
    if (!m_multi || !index.isValid() || event->button() != Qt::LeftButton) return;
    const int row = index.row();
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (mods & Qt::ControlModifier) {
        const qlonglong k = selectionKeyAt(row);
        if (m_selected.contains(k))
            m_selected.remove(k);
        else
            m_selected.insert(k);
        m_anchor = row;
    } else if ((mods & Qt::ShiftModifier) && m_anchor >= 0) {
        selectRange(m_anchor, row);
    } else {
        m_selected.clear();
        m_selected.insert(selectionKeyAt(row));
        m_anchor = row;
    }
    viewport()->update();
    Q_EMIT rowSelectionChanged();
}

void DBGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    QTableView::mouseDoubleClickEvent(event);
    if (index.isValid() && event->button() == Qt::LeftButton) Q_EMIT dblClicked();
}

void DBGrid::keyPressEvent(QKeyEvent* event) {
    const int before = currentIndex().row();
    QTableView::keyPressEvent(event);
    if (!m_multi || !(event->modifiers() & Qt::ShiftModifier)) return;
    const int after = currentIndex().row();
    if (after < 0 || after == before) return;
    if (m_anchor < 0) m_anchor = before >= 0 ? before : after;
    selectRange(m_anchor, after);
    viewport()->update();
    Q_EMIT rowSelectionChanged();
}

void DBGrid::showEvent(QShowEvent* event) {
    QTableView::showEvent(event);
    if (m_deferredSeen) {
        m_deferredSeen = false;
        onLayoutReset(); // the deferred dataset is read now
    }
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
