#include "db/dataset.h"

#include "db/collation.h"
#include "db/connection.h"
#include "db/error.h"
#include "db/values.h"

#include <QHash>
#include <QLocale>
#include <algorithm>

namespace db {

Dataset::Dataset(Connection* connection, QObject* parent) : QObject(parent), m_conn(connection) {}
Dataset::~Dataset() = default;

void Dataset::setConnection(Connection* connection) {
    close();
    m_conn = connection;
}

void Dataset::setSql(const QString& jetSql) {
    close();
    m_sql = jetSql;
}

void Dataset::requireOpen() const {
    if (!isOpen()) throw DatabaseError(QStringLiteral("La query non è aperta"));
}

// --- life cycle -----------------------------------------------------------------------

void Dataset::open() {
    if (isOpen() && !m_deferred) return;
    load();
}

void Dataset::openDeferred() {
    if (isOpen()) return;
    if (!m_conn) throw DatabaseError(QStringLiteral("La query non ha una connessione"));
    m_deferred = true;
    m_state = State::Browse;
}

void Dataset::load() {
    if (!m_conn) throw DatabaseError(QStringLiteral("La query non ha una connessione"));
    // A deferred dataset was already open for its users: reading its rows is silent.
    const bool silent = m_deferred;
    m_deferred = false;
    RowStore store;
    sql::Translation t = m_conn->load(m_sql, store);
    // Filter and sort texts survive a reopen; one that no longer fits the columns is dropped
    // rather than leaving the dataset unusable.
    CompiledFilter filter;
    std::vector<SortKey> keys;
    if (!m_filterText.isEmpty()) {
        try {
            filter = CompiledFilter::compile(m_filterText, store);
        } catch (const DatabaseError&) {
            m_filterText.clear();
        }
    }
    if (!m_sortText.isEmpty()) {
        try {
            keys = parseSort(m_sortText, store);
        } catch (const DatabaseError&) {
            m_sortText.clear();
        }
    }
    m_store = std::move(store);
    m_scratch = RowStore(m_store.columnInfos());
    m_scratch.appendRow();
    m_changed.assign(size_t(m_store.columnCount()), 0);
    m_translation = std::move(t);
    m_filter = filter;
    m_sortKeys = std::move(keys);
    m_baseOrder.resize(size_t(m_store.rowCount()));
    for (int i = 0; i < m_store.rowCount(); ++i) m_baseOrder[size_t(i)] = i;
    m_insertRow = -1;
    m_eqColumn = -1;
    m_eqIndex.clear();
    m_state = State::Browse;
    rebuildView(-1);
    if (silent) return;
    notifyReset();
    if (!controlsDisabled()) Q_EMIT stateChanged(m_state);
}

void Dataset::close() {
    if (!isOpen()) return;
    m_deferred = false;
    m_state = State::Inactive;
    m_store = RowStore();
    m_scratch = RowStore();
    m_baseOrder.clear();
    m_view.clear();
    m_pos = -1;
    m_bof = m_eof = true;
    m_insertRow = -1;
    notifyReset();
    if (!controlsDisabled()) Q_EMIT stateChanged(m_state);
}

void Dataset::requery() {
    requireOpen();
    if (m_deferred) return; // nothing read yet: the first use reads fresh rows
    checkBrowse();
    m_state = State::Inactive;
    open();
}

// --- view and navigation ------------------------------------------------------------------

void Dataset::invalidateIndexes() {
    m_findColumn = -1;
    m_findInts.clear();
    m_findTexts.clear();
}

void Dataset::rebuildView(int keepPhysical) {
    invalidateIndexes();
    m_view.clear();
    const bool filtering = m_filtered && !m_filter.isEmpty();
    int eqColumn = -1;
    long long eqValue = 0;
    if (filtering && m_filter.integerEquality(eqColumn, eqValue) &&
        m_store.column(eqColumn).type == FieldType::Integer) {
        if (m_eqColumn != eqColumn) {
            m_eqIndex.clear();
            for (int r : m_baseOrder)
                if (!m_store.isNull(r, eqColumn)) m_eqIndex[m_store.integer(r, eqColumn)].push_back(r);
            m_eqColumn = eqColumn;
        }
        const auto it = m_eqIndex.find(eqValue);
        if (it != m_eqIndex.end())
            for (int r : it->second)
                if (!m_store.isDead(r)) m_view.push_back(r);
    } else {
        m_view.reserve(m_baseOrder.size());
        for (int r : m_baseOrder) {
            if (m_store.isDead(r)) continue;
            if (filtering && !m_filter.matches(m_store, r)) continue;
            m_view.push_back(r);
        }
    }
    if (!m_sortKeys.empty()) sortRows(m_view, m_store, m_sortKeys);
    m_pos = m_view.empty() ? -1 : 0;
    if (keepPhysical >= 0) {
        auto it = std::find(m_view.begin(), m_view.end(), keepPhysical);
        if (it != m_view.end()) m_pos = int(it - m_view.begin());
    }
    m_bof = m_eof = m_view.empty();
}

void Dataset::notifyReset() {
    if (controlsDisabled()) return;
    Q_EMIT layoutReset();
    Q_EMIT currentChanged(m_pos);
}

void Dataset::notifyCurrent() {
    if (!controlsDisabled()) Q_EMIT currentChanged(m_pos);
}

void Dataset::setState(State s) {
    if (m_state == s) return;
    m_state = s;
    if (!controlsDisabled()) Q_EMIT stateChanged(s);
}

void Dataset::checkBrowse() {
    if (editing()) post();
}

void Dataset::moveTo(int pos) {
    requireOpen();
    touch();
    checkBrowse();
    m_bof = m_eof = false;
    if (m_view.empty()) {
        m_pos = -1;
        m_bof = m_eof = true;
    } else if (pos < 0) {
        m_pos = 0;
        m_bof = true;
    } else if (pos >= int(m_view.size())) {
        m_pos = int(m_view.size()) - 1;
        m_eof = true;
    } else {
        m_pos = pos;
    }
    notifyCurrent();
}

void Dataset::setPosition(int viewRow) { moveTo(viewRow); }
void Dataset::first() { moveTo(0); }
void Dataset::last() {
    touch();
    moveTo(int(m_view.size()) - 1);
}
void Dataset::next() {
    touch();
    const int before = m_pos;
    moveTo(m_pos + 1);
    m_bof = false;
    if (m_pos == before) m_eof = true;
}
void Dataset::prior() {
    touch();
    const int before = m_pos;
    moveTo(m_pos - 1);
    m_eof = false;
    if (m_pos == before) m_bof = true;
}

bool Dataset::locate(const QString& column, const QVariant& value) {
    requireOpen();
    touch();
    const int c = requireField(column);
    checkBrowse();
    const int row = findRow(c, value);
    if (row < 0) return false;
    moveTo(row);
    return true;
}

int Dataset::findRow(int c, const QVariant& value) const {
    touch();
    // Compare through a scratch cell so the value is converted to the column's type once.
    RowStore probe(std::vector<ColumnInfo>{m_store.column(c)});
    probe.appendRow();
    try {
        probe.setValue(0, 0, value);
    } catch (const DatabaseError&) {
        return -1; // a value that cannot be of this type matches no row
    }
    const bool wantNull = probe.isNull(0, 0);
    const FieldType type = m_store.column(c).type;
    const bool indexed = !wantNull && (type == FieldType::Integer || isTextual(type));
    if (indexed) {
        if (m_findColumn != c) {
            m_findInts.clear();
            m_findTexts.clear();
            for (size_t i = 0; i < m_view.size(); ++i) {
                const int r = m_view[i];
                if (m_store.isNull(r, c)) continue;
                if (type == FieldType::Integer) m_findInts.emplace(m_store.integer(r, c), int(i));
                else m_findTexts.emplace(text::fold(m_store.text(r, c)), int(i));
            }
            m_findColumn = c;
        }
        if (type == FieldType::Integer) {
            const auto it = m_findInts.find(probe.integer(0, 0));
            return it == m_findInts.end() ? -1 : it->second;
        }
        const auto it = m_findTexts.find(text::fold(probe.text(0, 0)));
        return it == m_findTexts.end() ? -1 : it->second;
    }
    for (size_t i = 0; i < m_view.size(); ++i) {
        const int r = m_view[i];
        bool match;
        if (m_store.isNull(r, c) || wantNull)
            match = m_store.isNull(r, c) && wantNull;
        else if (type == FieldType::Double)
            match = m_store.real(r, c) == probe.real(0, 0);
        else if (type == FieldType::Blob)
            match = m_store.text(r, c) == probe.text(0, 0);
        else
            match = m_store.integer(r, c) == probe.integer(0, 0);
        if (match) return int(i);
    }
    return -1;
}

Record Dataset::currentRecord() const {
    touch();
    Record rec;
    const int r = physicalCurrent();
    if (r < 0) return rec;
    auto row = std::make_shared<RowStore>(m_store.columnInfos());
    row->appendRow();
    for (int c = 0; c < m_store.columnCount(); ++c) row->setValue(0, c, value(c));
    rec.m_row = std::move(row);
    return rec;
}

QVariant Record::value(const QString& name) const {
    const int c = m_row ? m_row->findColumn(name) : -1;
    return c < 0 ? QVariant() : m_row->value(0, c);
}

bool Record::hasField(const QString& name) const { return m_row && m_row->findColumn(name) >= 0; }

ViewState Dataset::viewState(const QString& keyField) const {
    ViewState s;
    s.filtered = m_filtered;
    s.filter = m_filterText;
    s.sort = m_sortText;
    s.keyField = keyField;
    if (isOpen() && !m_deferred && physicalCurrent() >= 0 && hasField(keyField)) s.key = value(keyField);
    return s;
}

void Dataset::restoreViewState(const ViewState& s) {
    if (!isOpen() || m_deferred) {
        // Nothing read yet: the texts apply when the rows are.
        m_filtered = s.filtered;
        m_filterText = s.filter;
        m_filter = CompiledFilter();
        m_sortText = s.sort;
        m_sortKeys.clear();
        return;
    }
    checkBrowse();
    CompiledFilter filter;
    QString filterText = s.filter;
    try {
        if (!filterText.trimmed().isEmpty()) filter = CompiledFilter::compile(filterText, m_store);
    } catch (const DatabaseError&) {
        filterText.clear();
    }
    std::vector<SortKey> keys;
    QString sortText = s.sort;
    try {
        keys = parseSort(sortText, m_store);
    } catch (const DatabaseError&) {
        sortText.clear();
    }
    m_filtered = s.filtered;
    m_filterText = filterText;
    m_filter = filter;
    m_sortText = sortText;
    m_sortKeys = std::move(keys);
    rebuildView(-1);
    const int keyColumn = s.key.isValid() ? fieldIndex(s.keyField) : -1;
    if (keyColumn >= 0) {
        const int row = findRow(keyColumn, s.key);
        if (row >= 0) m_pos = row;
    }
    notifyReset();
}

ViewStateScope::~ViewStateScope() {
    try {
        m_ds.restoreViewState(m_state);
    } catch (...) {
        // Giving a borrowed query back must not hide why the borrower stopped.
    }
}

// --- fields -----------------------------------------------------------------------------------

int Dataset::fieldIndex(const QString& name) const {
    touch();
    if (name.startsWith(u'[') && name.endsWith(u']')) return fieldIndex(name.mid(1, name.size() - 2));
    const int c = m_store.findColumn(name);
    if (c >= 0) return c;
    // "Table.Column" reaches a column whose result name is the bare column name.
    const qsizetype dot = name.indexOf(u'.');
    if (dot > 0) {
        const QStringView table = QStringView(name).left(dot), column = QStringView(name).mid(dot + 1);
        for (int i = 0; i < m_store.columnCount(); ++i) {
            const ColumnInfo& info = m_store.column(i);
            if (table.compare(info.table, Qt::CaseInsensitive) == 0 &&
                column.compare(info.origin, Qt::CaseInsensitive) == 0)
                return i;
        }
    }
    return -1;
}

int Dataset::requireField(const QString& name) const {
    const int c = fieldIndex(name);
    if (c < 0)
        throw DatabaseError(QStringLiteral("Il campo %1 non esiste nella query").arg(name));
    return c;
}

QVariant Dataset::value(const QString& name) const { return value(requireField(name)); }

QVariant Dataset::value(int c) const {
    touch();
    if (editing()) return m_scratch.value(0, c);
    const int r = physicalCurrent();
    return r < 0 ? QVariant() : m_store.value(r, c);
}

bool Dataset::isNull(const QString& name) const {
    const int c = requireField(name);
    if (editing()) return m_scratch.isNull(0, c);
    const int r = physicalCurrent();
    return r < 0 || m_store.isNull(r, c);
}

namespace {

QString formatCell(const RowStore& s, int r, int c, bool forEditing) {
    if (s.isNull(r, c)) return QString();
    switch (s.column(c).type) {
    case FieldType::Integer:
        return QString::number(s.integer(r, c));
    case FieldType::Bool:
        return s.integer(r, c) ? QStringLiteral("True") : QStringLiteral("False");
    case FieldType::Double:
        return displayNumber(s.real(r, c), forEditing ? Grouping::None : Grouping::Thousands);
    case FieldType::Date:
        return displayDate(s.date(r, c));
    case FieldType::Text:
    case FieldType::Memo: {
        const auto t = s.text(r, c);
        return QString::fromUtf8(t.data(), qsizetype(t.size()));
    }
    case FieldType::Blob:
        return QStringLiteral("(Immagine)");
    }
    return QString();
}

} // namespace

QString Dataset::displayText(const QString& name) const { return displayText(requireField(name)); }

QString Dataset::displayText(int c) const {
    touch();
    if (editing()) return formatCell(m_scratch, 0, c, false);
    const int r = physicalCurrent();
    return r < 0 ? QString() : formatCell(m_store, r, c, false);
}

QString Dataset::editText(int c) const {
    touch();
    if (editing()) return formatCell(m_scratch, 0, c, true);
    const int r = physicalCurrent();
    return r < 0 ? QString() : formatCell(m_store, r, c, true);
}

QVariant Dataset::valueAt(int viewRow, int c) const {
    touch();
    if (editing() && viewRow == m_pos) return m_scratch.value(0, c);
    return m_store.value(m_view[size_t(viewRow)], c);
}

QString Dataset::displayTextAt(int viewRow, int c) const {
    touch();
    if (editing() && viewRow == m_pos) return formatCell(m_scratch, 0, c, false);
    return formatCell(m_store, m_view[size_t(viewRow)], c, false);
}

// --- filter and sort ---------------------------------------------------------------------------

void Dataset::setFiltered(bool on) {
    if (m_filtered == on) return;
    if (isOpen() && !m_deferred) checkBrowse();
    m_filtered = on;
    if (!isOpen() || m_deferred) return;
    rebuildView(-1);
    notifyReset();
}

void Dataset::setFilter(const QString& text) {
    // A filter is checked against the columns it names, so only clearing one can wait for
    // the rows of a deferred dataset.
    if (m_deferred && text.trimmed().isEmpty()) {
        m_filterText = text;
        m_filter = CompiledFilter();
        return;
    }
    touch();
    if (!isOpen()) {
        m_filterText = text;
        m_filter = CompiledFilter();
        return;
    }
    checkBrowse();
    CompiledFilter compiled = text.trimmed().isEmpty() ? CompiledFilter()
                                                       : CompiledFilter::compile(text, m_store);
    m_filterText = text;
    m_filter = compiled;
    rebuildView(-1);
    notifyReset();
}

void Dataset::setSort(const QString& text) {
    if (m_deferred && text.trimmed().isEmpty()) {
        m_sortText = text;
        m_sortKeys.clear();
        return;
    }
    touch();
    if (!isOpen()) {
        m_sortText = text;
        return;
    }
    checkBrowse();
    std::vector<SortKey> keys = parseSort(text, m_store);
    m_sortText = text;
    m_sortKeys = std::move(keys);
    rebuildView(physicalCurrent());
    notifyReset();
}

// --- bound controls ------------------------------------------------------------------------------

void Dataset::disableControls() { ++m_disabled; }

void Dataset::enableControls() {
    if (m_disabled == 0) return;
    if (--m_disabled == 0) {
        Q_EMIT controlsEnabled();
        Q_EMIT layoutReset();
        Q_EMIT currentChanged(m_pos);
        Q_EMIT stateChanged(m_state);
    }
}

} // namespace db
