#include "common/controls/gridmodel.h"

#include "common/controls/dialogs.h"
#include "db/error.h"

#include <QHeaderView>
#include <QPainter>

namespace ui {

// --- DatasetTableModel -----------------------------------------------------------------------

void DatasetTableModel::recompute() {
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

void DatasetTableModel::resetAll() {
    beginResetModel();
    recompute();
    endResetModel();
}

void DatasetTableModel::setColumns(const QList<GridColumn>& cols) {
    beginResetModel();
    columns = cols;
    recompute();
    endResetModel();
}

bool DatasetTableModel::rowReadable(int row) const {
    db::Dataset* ds = m_grid->m_ds;
    return ds && ds->isOpen() && row >= 0 && row < ds->recordCount();
}

QVariant DatasetTableModel::data(const QModelIndex& index, int role) const {
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

QVariant DatasetTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < columns.size())
        return columns[section].title;
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags DatasetTableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!m_grid->m_readOnly && index.isValid()) {
        const int fi = field(index.column());
        db::Dataset* ds = m_grid->m_ds;
        if (fi >= 0 && ds && !ds->field(fi).table.isEmpty() && !ds->field(fi).autoNumber)
            f |= Qt::ItemIsEditable;
    }
    return f;
}

bool DatasetTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
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

// --- GridDelegate ----------------------------------------------------------------------------

void GridDelegate::paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const {
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

} // namespace ui
