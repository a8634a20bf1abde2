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

void Dataset::rebuildView(int keepPhysical) {
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
    // Compare through a scratch cell so the value is converted to the column's type once.
    RowStore probe(std::vector<ColumnInfo>{m_store.column(c)});
    probe.appendRow();
    try {
        probe.setValue(0, 0, value);
    } catch (const DatabaseError&) {
        return false; // a value that cannot be of this type matches no row
    }
    const bool wantNull = probe.isNull(0, 0);
    const FieldType type = m_store.column(c).type;
    for (size_t i = 0; i < m_view.size(); ++i) {
        const int r = m_view[i];
        bool match;
        if (m_store.isNull(r, c) || wantNull)
            match = m_store.isNull(r, c) && wantNull;
        else if (type == FieldType::Double)
            match = m_store.real(r, c) == probe.real(0, 0);
        else if (isTextual(type))
            match = text::equal(m_store.text(r, c), probe.text(0, 0));
        else if (type == FieldType::Blob)
            match = m_store.text(r, c) == probe.text(0, 0);
        else
            match = m_store.integer(r, c) == probe.integer(0, 0);
        if (match) {
            moveTo(int(i));
            return true;
        }
    }
    return false;
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
    static const QLocale display(QLocale::Italian, QLocale::Italy);
    static const QLocale edit = [] {
        QLocale l(QLocale::Italian, QLocale::Italy);
        l.setNumberOptions(QLocale::OmitGroupSeparator);
        return l;
    }();
    switch (s.column(c).type) {
    case FieldType::Integer:
        return QString::number(s.integer(r, c));
    case FieldType::Bool:
        return s.integer(r, c) ? QStringLiteral("True") : QStringLiteral("False");
    case FieldType::Double:
        return (forEditing ? edit : display)
            .toString(s.real(r, c), 'f', QLocale::FloatingPointShortest);
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

void Dataset::setValue(const QString& name, const QVariant& v) { setValue(requireField(name), v); }

void Dataset::setValue(int c, const QVariant& v) {
    requireOpen();
    touch();
    if (!editing()) edit();
    m_scratch.setValue(0, c, v); // throws on a value of the wrong kind, nothing changed
    m_changed[size_t(c)] = 1;
    if (!controlsDisabled()) Q_EMIT rowChanged(m_pos);
}

void Dataset::setText(int c, const QString& typed) {
    const QString t = typed.trimmed();
    if (t.isEmpty()) return setValue(c, QVariant());
    const ColumnInfo& info = m_store.column(c);
    auto bad = [&](const QString& what, const QString& valid) {
        return DatabaseError(QStringLiteral("\"%1\" non è %2 %3 per il campo %4")
                                 .arg(typed, what, valid, info.name));
    };
    switch (info.type) {
    case FieldType::Date: {
        const std::optional<CivilTime> d = readDate(t, DateOrder::DayFirst);
        if (!d) throw bad(QStringLiteral("una data"), QStringLiteral("valida"));
        return setValue(c, qDateTimeFromCivil(*d));
    }
    case FieldType::Integer:
        if (const std::optional<long long> n = readInteger(t)) return setValue(c, qlonglong(*n));
        [[fallthrough]];
    case FieldType::Double: {
        const std::optional<double> d = readNumber(t);
        if (!d) throw bad(QStringLiteral("un numero"), QStringLiteral("valido"));
        return setValue(c, *d); // an Integer column rounds it half away from zero
    }
    default:
        return setValue(c, typed);
    }
}

long long Dataset::keyValue(const QString& keyField) const {
    const QVariant v = value(keyField);
    return v.isValid() ? v.toLongLong() : 0;
}

// --- editing ---------------------------------------------------------------------------------

void Dataset::edit() {
    requireOpen();
    touch();
    if (editing()) return;
    const int r = physicalCurrent();
    if (r < 0) throw DatabaseError(QStringLiteral("Impossibile modificare: la query è vuota"));
    for (int c = 0; c < m_store.columnCount(); ++c) {
        if (m_store.isNull(r, c)) {
            m_scratch.setNull(0, c);
            continue;
        }
        switch (m_store.column(c).type) {
        case FieldType::Double: m_scratch.setReal(0, c, m_store.real(r, c)); break;
        case FieldType::Text:
        case FieldType::Memo:
        case FieldType::Blob: m_scratch.setText(0, c, m_store.text(r, c)); break;
        default: m_scratch.setInteger(0, c, m_store.integer(r, c));
        }
    }
    std::fill(m_changed.begin(), m_changed.end(), 0);
    setState(State::Edit);
}

void Dataset::append() {
    requireOpen();
    touch();
    checkBrowse();
    m_scratch.clear();
    m_scratch.appendRow();
    std::fill(m_changed.begin(), m_changed.end(), 0);
    m_insertRow = m_store.appendRow();
    m_eqColumn = -1; // a new row the index does not know
    m_baseOrder.push_back(m_insertRow);
    m_view.push_back(m_insertRow);
    m_pos = int(m_view.size()) - 1;
    m_bof = m_eof = false;
    setState(State::Insert);
    notifyReset();
}

void Dataset::updateRecord() {
    if (!controlsDisabled()) Q_EMIT updateRecordRequested();
}

void Dataset::post() {
    requireOpen();
    if (!editing()) return;
    // Bound controls hand over what the user typed before the row is written.
    updateRecord();
    const bool inserting = m_state == State::Insert;
    const int r = inserting ? m_insertRow : physicalCurrent();
    writeRow(r, inserting);
    if (inserting) m_insertRow = -1;
    setState(State::Browse);
    if (!controlsDisabled()) Q_EMIT rowChanged(m_pos);
}

void Dataset::cancel() {
    if (!editing()) return;
    if (m_state == State::Insert) {
        m_store.markDead(m_insertRow);
        m_baseOrder.erase(std::remove(m_baseOrder.begin(), m_baseOrder.end(), m_insertRow),
                          m_baseOrder.end());
        m_view.erase(std::remove(m_view.begin(), m_view.end(), m_insertRow), m_view.end());
        m_insertRow = -1;
        m_pos = m_view.empty() ? -1 : std::min(m_pos, int(m_view.size()) - 1);
        m_bof = m_eof = m_view.empty();
        m_state = State::Browse;
        notifyReset();
        if (!controlsDisabled()) Q_EMIT stateChanged(m_state);
        return;
    }
    setState(State::Browse);
    if (!controlsDisabled()) Q_EMIT rowChanged(m_pos);
}

void Dataset::remove() {
    requireOpen();
    touch();
    if (m_state == State::Insert) return cancel();
    if (m_state == State::Edit) cancel();
    const int r = physicalCurrent();
    if (r < 0) throw DatabaseError(QStringLiteral("Impossibile eliminare: la query è vuota"));
    // Only the first table of the query loses its row; tables joined for their
    // descriptions are looked up, never deleted from.
    if (m_translation.tables.isEmpty())
        throw DatabaseError(QStringLiteral("La query non ha una tabella da cui eliminare"));
    const QString table = m_translation.tables.first();
    const int key = keyColumnOf(table);
    if (key < 0)
        throw DatabaseError(
            QStringLiteral("Impossibile eliminare: la chiave della tabella %1 non è nella query").arg(table));
    m_conn->executeEngine(QStringLiteral("DELETE FROM \"%1\" WHERE \"%2\" = ?")
                              .arg(table, m_store.column(key).origin),
                          {m_store.value(r, key)});
    m_store.markDead(r);
    m_baseOrder.erase(std::remove(m_baseOrder.begin(), m_baseOrder.end(), r), m_baseOrder.end());
    m_view.erase(m_view.begin() + m_pos);
    if (m_pos >= int(m_view.size())) m_pos = int(m_view.size()) - 1;
    m_bof = m_eof = m_view.empty();
    notifyReset();
}

int Dataset::keyColumnOf(const QString& table) const {
    int byName = -1;
    for (int c = 0; c < m_store.columnCount(); ++c) {
        const ColumnInfo& info = m_store.column(c);
        if (info.table.compare(table, Qt::CaseInsensitive) != 0) continue;
        if (info.autoNumber) return c;
        if (byName < 0 && info.origin.compare(u"ID", Qt::CaseInsensitive) == 0) byName = c;
    }
    return byName;
}

void Dataset::writeRow(int r, bool inserting) {
    m_eqColumn = -1; // values change below
    // Group the changed base columns by their table.
    QStringList tables;
    QHash<QString, QList<int>> columns;
    for (int c = 0; c < m_store.columnCount(); ++c) {
        const ColumnInfo& info = m_store.column(c);
        if (!m_changed[size_t(c)] || info.table.isEmpty()) continue;
        const QString key = info.table.toLower();
        if (!columns.contains(key)) tables << info.table;
        columns[key] << c;
    }
    if (inserting && tables.isEmpty() && !m_translation.tables.isEmpty())
        tables << m_translation.tables.first();

    const bool several = tables.size() > 1;
    if (several) m_conn->begin();
    try {
        for (const QString& table : tables) {
            const QList<int> cols = columns.value(table.toLower());
            QVariantList params;
            QStringList names, marks;
            for (int c : cols) {
                names << QStringLiteral("\"%1\"").arg(m_store.column(c).origin);
                marks << QStringLiteral("?");
                params << m_scratch.value(0, c);
            }
            if (inserting) {
                const QString sql = names.isEmpty()
                    ? QStringLiteral("INSERT INTO \"%1\" DEFAULT VALUES").arg(table)
                    : QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                          .arg(table, names.join(u','), marks.join(u','));
                m_conn->executeEngine(sql, params);
                resyncRow(r, table, m_conn->lastInsertId());
            } else {
                const int key = keyColumnOf(table);
                if (key < 0)
                    throw DatabaseError(QStringLiteral(
                        "Impossibile salvare: la chiave della tabella %1 non è nella query").arg(table));
                QStringList sets;
                for (const QString& n : names) sets << n + QStringLiteral(" = ?");
                params << m_store.value(r, key);
                const int changed = m_conn->executeEngine(
                    QStringLiteral("UPDATE \"%1\" SET %2 WHERE \"%3\" = ?")
                        .arg(table, sets.join(u','), m_store.column(key).origin),
                    params);
                if (changed == 0)
                    throw DatabaseError(QStringLiteral(
                        "Il record da salvare non esiste più nella tabella %1: forse è stato eliminato da un'altra postazione").arg(table));
            }
        }
        if (several) m_conn->commit();
    } catch (...) {
        if (several) m_conn->rollback();
        throw;
    }
    // The row in memory takes the values written (and, for a new row, what the database
    // filled in: key and defaults, already set by resyncRow).
    for (int c = 0; c < m_store.columnCount(); ++c) {
        if (!m_changed[size_t(c)] && inserting) continue;
        if (m_scratch.isNull(0, c)) {
            m_store.setNull(r, c);
            continue;
        }
        switch (m_store.column(c).type) {
        case FieldType::Double: m_store.setReal(r, c, m_scratch.real(0, c)); break;
        case FieldType::Text:
        case FieldType::Memo:
        case FieldType::Blob: m_store.setText(r, c, m_scratch.text(0, c)); break;
        default: m_store.setInteger(r, c, m_scratch.integer(0, c));
        }
    }
}

void Dataset::resyncRow(int r, const QString& table, long long rowid) {
    QStringList names;
    QList<int> cols;
    for (int c = 0; c < m_store.columnCount(); ++c) {
        const ColumnInfo& info = m_store.column(c);
        if (info.table.compare(table, Qt::CaseInsensitive) != 0) continue;
        names << QStringLiteral("\"%1\"").arg(info.origin);
        cols << c;
    }
    if (cols.isEmpty()) return;
    // Read back what the database stored: the new key and the columns' defaults.
    RowStore fresh;
    m_conn->loadEngine(QStringLiteral("SELECT %1 FROM \"%2\" WHERE rowid = ?")
                           .arg(names.join(u','), table),
                       {rowid}, fresh);
    if (fresh.rowCount() != 1) return;
    for (int i = 0; i < cols.size(); ++i) m_store.setValue(r, cols[i], fresh.value(0, i));
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
