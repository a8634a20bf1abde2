#include "common/controls/dbgrid.h"

#include "common/controls/gridmodel.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace ui {

// Multi-row selection (dgMultiSelect): the rows are kept as key values, so they survive
// sorting, filtering and requery.

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

// --- selection gestures: Ctrl+click toggles, Shift+click and Shift+arrows extend

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

} // namespace ui
